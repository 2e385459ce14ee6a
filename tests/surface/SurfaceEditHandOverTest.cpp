// Commands whose availability hangs on what the surface holds (Paste Into
// on the selection, Export Surface as Picture on the objects), and an
// object handed to the view to be edited.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "platform/framework/OleData.h"
#include "resources/calendar.h"
#include "tests/support/DialogDriver.h"
#include "platform/ui/AfxMessageBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace surfacetest {
namespace {

// A rectangle that records each opening of its editor instead of showing
// one.
class COpenRecordingRect : public CDrawRect {
public:
    explicit COpenRecordingRect(const CRect& rect)
        : CDrawRect(rect)
    {
    }
    BOOL OnOpen(CSurface* pView, int nPage, CWnd*, CObjectAttributes*, UINT) override
    {
        m_opened.push_back({pView, nPage});
        return FALSE;
    }
    struct Opening {
        CSurface* pView;
        int nPage;
    };
    std::vector<Opening> m_opened;
};

class SurfaceEditHandOverTest : public SurfaceCommandInputTest {
protected:
    static bool Holds(CSurface* pView, CDrawObj* pObj) { return pView->GetObjects().Find(pObj) != NULL; }

};

TEST_F(SurfaceEditHandOverTest, PasteIntoNeedsASelectionWithNothingLocked)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pFree = AddRect(pView, CRect(-400, 400, -200, 200));
    CDrawRect* pLocked = AddRect(pView, CRect(100, 400, 300, 200));
    pLocked->m_wFlags |= OBJ_FLAG_LOCKED;
    pView->Select(pFree);
    Command(pView, ID_EDIT_COPY);
    ASSERT_TRUE(pView->CanPaste());

    // A locked object among the selected ones: neither it nor the others
    // are deleted, and nothing is pasted.
    for (bool bFreeFirst : {true, false}) {
        SCOPED_TRACE(bFreeFirst ? "free first" : "locked first");
        if (bFreeFirst)
            pView->SelectObjects({pFree, pLocked}, FALSE);
        else
            pView->SelectObjects({pLocked, pFree}, FALSE);
        EXPECT_FALSE(IsEnabled(pView, ID_EDIT_PASTE_INTO));
        Command(pView, ID_EDIT_PASTE_INTO);
        EXPECT_EQ(pView->GetObjects().GetCount(), 2);
        ASSERT_TRUE(Holds(pView, pFree));
        ASSERT_TRUE(Holds(pView, pLocked));
    }
    pView->Select(pLocked);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_PASTE_INTO));

    // Nothing selected: nothing to paste into, not a plain paste.
    pView->Select(NULL);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_PASTE_INTO));
    Command(pView, ID_EDIT_PASTE_INTO);
    EXPECT_EQ(pView->GetObjects().GetCount(), 2);

    // The free object alone is replaced by the copy, in its place.
    pView->Select(pFree);
    const CRect place = pFree->m_position;
    ASSERT_TRUE(IsEnabled(pView, ID_EDIT_PASTE_INTO));
    Command(pView, ID_EDIT_PASTE_INTO);
    EXPECT_EQ(pView->GetObjects().GetCount(), 2);
    EXPECT_TRUE(Holds(pView, pLocked));
    ASSERT_EQ(pView->GetSelection().GetCount(), 1);
    EXPECT_EQ(pView->GetFirstSelected()->m_position, place);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SurfaceEditHandOverTest, ExportSurfaceIsOfferedOnlyWithAnObjectThePictureShows)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    EXPECT_FALSE(IsEnabled(pView, ID_FILE_EXPORT_SURFACE));

    // Objects the picture leaves out or the user cannot reach.
    for (WORD wFlag : {WORD(OBJ_FLAG_UNSELECTABLE), WORD(OBJ_FLAG_GUIDE), WORD(OBJ_FLAG_TILE_HIDDEN)}) {
        CDrawRect* pObj = AddRect(pView, CRect(-100, 100, 100, -100));
        pObj->m_wFlags |= wFlag;
    }
    EXPECT_FALSE(IsEnabled(pView, ID_FILE_EXPORT_SURFACE));

    // One it draws, locked or not.
    CDrawRect* pShown = AddRect(pView, CRect(200, 100, 300, -100));
    pShown->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_TRUE(IsEnabled(pView, ID_FILE_EXPORT_SURFACE));
    pView->Select(pShown);
    pView->DeleteSelection(FALSE);
    EXPECT_FALSE(IsEnabled(pView, ID_FILE_EXPORT_SURFACE));
}

TEST_F(SurfaceEditHandOverTest, AnObjectHandedOverIsSelectedAloneAndOpenedForEditing)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    auto* pOther = new COpenRecordingRect(CRect(-400, 400, -200, 200));
    auto* pHanded = new COpenRecordingRect(CRect(100, 400, 300, 200));
    pView->Add(pOther);
    pView->Add(pHanded);
    pView->Select(pOther);

    EXPECT_EQ(pView->SendMessage(WM_TW_NEW_CALENDAR_ITEM, 0, reinterpret_cast<LPARAM>(pHanded)), 0);
    Pump();
    ASSERT_EQ(pView->GetSelection().GetCount(), 1);
    EXPECT_EQ(pView->GetFirstSelected(), pHanded);
    ASSERT_EQ(pHanded->m_opened.size(), 1u);
    EXPECT_EQ(pHanded->m_opened[0].pView, pView);
    // The editor is chosen by what the object holds.
    EXPECT_EQ(pHanded->m_opened[0].nPage, CDrawObj::EditByContent);
    EXPECT_TRUE(pOther->m_opened.empty());

    // One the view does not hold is neither selected nor opened.
    COpenRecordingRect stranger(CRect(0, 100, 100, 0));
    EXPECT_EQ(pView->SendMessage(WM_TW_NEW_CALENDAR_ITEM, 0, reinterpret_cast<LPARAM>(&stranger)), 0);
    Pump();
    EXPECT_TRUE(stranger.m_opened.empty());
    EXPECT_EQ(pView->GetFirstSelected(), pHanded);
    EXPECT_EQ(pHanded->m_opened.size(), 1u);
}

TEST_F(SurfaceEditHandOverTest, ANewCalendarHandedOverOpensItsSetUp)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    auto* pCalendar = AddRect(pView, CRect(-300, 300, 300, -300));
    pCalendar->m_nCalendarStart = 2461376;
    pCalendar->m_nCalendarWords[CObjectAttributes::CalendarKindWord] = CALENDAR_MONTH;
    ASSERT_TRUE(pCalendar->IsCalendar());

    bool bSetUpShown = false;
    testing_support::DriveActiveWindow({[&](HWND hActive) {
        if (::GetDlgItem(hActive, IDC_CAL_KIND_MONTH) == NULL)
            return false;
        bSetUpShown = true;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    }});
    pView->PostMessage(WM_TW_NEW_CALENDAR_ITEM, 0, reinterpret_cast<LPARAM>(pCalendar));
    Pump();
    EXPECT_TRUE(bSetUpShown);
    // Cancelled: the calendar stays as it was, selected.
    EXPECT_EQ(pView->GetFirstSelected(), pCalendar);
    EXPECT_EQ(pCalendar->m_nCalendarStart, 2461376);
}

} // namespace
} // namespace surfacetest
