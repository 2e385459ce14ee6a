// Sizing and turning objects by their handles, giving them new rectangles
// and opening their editors, on a real view of a design in the program's
// main frame, with Shift and Ctrl held through the headless keyboard.

#include "tests/model/ContentTestSupport.h"
#include "tests/model/ModelTestSupport.h"

#include "app/JulianDate.h"
#include "app/main/MainFrame.h"
#include "calendar/DayCellObj.h"
#include "model/DrawObjTracking.h"
#include "platform/files/FileSystem.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/calendar.h"
#include "tests/support/DialogDriver.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing_support::DialogStep;

std::string WindowText(HWND hWnd)
{
    char text[256] = {};
    ::GetWindowText(hWnd, text, sizeof text);
    return text;
}

class SizingTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        modeltest::ModelTest::SetUp();
        platform::InitFileSystem();
        ResetSurfaceGlobals();
        ResetHandleDrag();
        CWinApp& app = MakeApp();
        m_pMain = new CMainFrame;
        ASSERT_TRUE(m_pMain->LoadFrame(IDR_MAINFRAME));
        app.m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        app.AddDocTemplate(pTemplate);
        // The view has the whole frame, without rulers.
        thePrefs.AddlFlags &= ~WORD(PREF_ADDL_RULERS);
        m_pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(NULL));
        ASSERT_NE(m_pDoc, nullptr);
        Pump();
        m_pView = m_pDoc->GetSurfaceView(0);
        ASSERT_NE(m_pView, nullptr);
        thePrefs.Flags &= ~WORD(PREF_FLAG_RESIZE_FROM_CENTER);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        for (UINT vk : m_held)
            platform::headless::KeyUp(vk);
        Pump();
        ResetSurfaceGlobals();
        ResetHandleDrag();
        modeltest::ModelTest::TearDown();
    }

    CDrawRect* Place(const CRect& rect, int nShape = SHAPE_RECTANGLE)
    {
        auto* pObj = new CDrawRect(rect, nShape);
        m_pView->Add(pObj);
        return pObj;
    }
    CDrawObj* PlacePicture(const CRect& rect)
    {
        auto* pObj = new CDrawObj(rect);
        pObj->m_pPicture = contenttest::NewLoadedPicture();
        m_pView->Add(pObj);
        return pObj;
    }
    CDrawRect* PlaceCalendar()
    {
        CDrawRect* pCalendar = Place(CRect(-300, 300, 400, -200));
        pCalendar->m_nCalendarStart = static_cast<LONG>(JulianDayFromDate(12, 1, 2026));
        pCalendar->m_nCalendarWords[1] = CALENDAR_MONTH;
        return pCalendar;
    }
    // The key stays down (as the program reads it) until the test ends.
    void Hold(UINT vk)
    {
        platform::headless::KeyDown(vk);
        Pump();
        m_held.push_back(vk);
    }
    void Release(UINT vk)
    {
        platform::headless::KeyUp(vk);
        Pump();
        std::erase(m_held, vk);
    }
    CString StatusText() { return m_pMain->GetStatusBar().GetPaneText(0); }

    // Where the mouse stands to make that angle about (0, 0).
    static CPoint PointAt(double dDegrees)
    {
        const double r = dDegrees * M_PI / 180.0;
        return CPoint(static_cast<int>(std::lround(10000 * std::cos(r))),
            static_cast<int>(std::lround(10000 * std::sin(r))));
    }

    CMainFrame* m_pMain = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    std::vector<UINT> m_held;
};

TEST_F(SizingTest, EachHandleMovesItsOwnSides)
{
    struct Case {
        int nHandle;
        CRect expected;
    };
    // From (0, 200, 300, 0) to the point (-20, -30) or (350, 260).
    const Case cases[] = {
        {1, CRect(-20, 200, 300, -30)},
        {2, CRect(0, 200, 300, -30)},
        {3, CRect(0, 200, 350, -30)},
        {4, CRect(0, 200, 350, 0)},
        {5, CRect(0, 260, 350, 0)},
        {6, CRect(0, 260, 300, 0)},
        {7, CRect(-20, 260, 300, 0)},
        {8, CRect(-20, 200, 300, 0)},
    };
    for (const Case& c : cases) {
        CDrawRect* pObj = Place(CRect(0, 200, 300, 0));
        const bool bLeftish = c.nHandle == 1 || c.nHandle == 7 || c.nHandle == 8;
        const bool bLow = c.nHandle >= 1 && c.nHandle <= 3;
        pObj->MoveHandleTo(c.nHandle, CPoint(bLeftish ? -20 : 350, bLow ? -30 : 260), m_pView);
        EXPECT_EQ(pObj->m_position, c.expected) << "handle " << c.nHandle;
        EXPECT_EQ(pObj->m_rectUnrotated, c.expected) << "handle " << c.nHandle;
    }
    EXPECT_TRUE(m_pDoc->IsModified());
}

TEST_F(SizingTest, SizingFromTheCentreMovesTheOppositeSidesTheOtherWay)
{
    thePrefs.Flags |= PREF_FLAG_RESIZE_FROM_CENTER;
    CDrawRect* pObj = Place(CRect(0, 200, 300, 0));
    pObj->MoveHandleTo(1, CPoint(-20, -30), m_pView);
    EXPECT_EQ(pObj->m_position, CRect(-20, 230, 320, -30));
    pObj->MoveHandleTo(4, CPoint(300, 0), m_pView);
    EXPECT_EQ(pObj->m_position, CRect(0, 230, 300, -30));
}

TEST_F(SizingTest, ATurnedObjectIgnoresTheSizingHandles)
{
    CDrawRect* pObj = Place(CRect(0, 200, 300, 0));
    pObj->SetAngle(30);
    const CRect before = pObj->m_position;
    for (int n = 1; n <= 8; ++n)
        pObj->MoveHandleTo(n, CPoint(900, 900), m_pView);
    EXPECT_EQ(pObj->m_position, before);
}

TEST_F(SizingTest, TheRotationHandleSnapsToEighthsWithShift)
{
    CDrawRect* pObj = Place(CRect(-100, 100, 100, -100));
    Hold(VK_SHIFT);
    struct Case {
        double dMouse;
        int nAngle;
    };
    const Case cases[] = {{50, 45}, {338, 0}, {21.99, 0}, {23, 45}, {100, 90}, {200, 180}, {250, 270}, {300, 315}};
    for (const Case& c : cases) {
        pObj->MoveHandleTo(kRotateHandle, PointAt(c.dMouse), m_pView);
        EXPECT_EQ(pObj->m_dAngle, c.nAngle) << c.dMouse;
        // The rectangle stays; only the angle turns.
        EXPECT_EQ(pObj->m_rectUnrotated, CRect(-100, 100, 100, -100)) << c.dMouse;
    }
    pObj->MoveHandleTo(kRotateHandle, PointAt(50), m_pView);
    EXPECT_STREQ(StatusText(), "Rotation: 45");
    pObj->MoveHandleTo(kRotateHandle, PointAt(338), m_pView);
    EXPECT_STREQ(StatusText(), "");
}

TEST_F(SizingTest, WithoutShiftOnlyAlmostUprightAnglesSnap)
{
    CDrawRect* pObj = Place(CRect(-100, 100, 100, -100));
    pObj->MoveHandleTo(kRotateHandle, PointAt(89.5), m_pView);
    EXPECT_EQ(pObj->m_dAngle, 90.0);
    EXPECT_STREQ(StatusText(), "Rotation: 90");
    pObj->MoveHandleTo(kRotateHandle, PointAt(269.5), m_pView);
    EXPECT_EQ(pObj->m_dAngle, 270.0);
    pObj->MoveHandleTo(kRotateHandle, PointAt(50), m_pView);
    EXPECT_NEAR(pObj->m_dAngle, 50.0, 0.01);
    EXPECT_EQ(pObj->GetRoundedAngle(), 50);
    pObj->MoveHandleTo(kRotateHandle, PointAt(90.6), m_pView);
    EXPECT_NEAR(pObj->m_dAngle, 90.6, 0.01);
    EXPECT_STREQ(StatusText(), "Rotation: 91");
    // An object without the rotation handle does not turn.
    CDrawRect* pLine = Place(CRect(0, 0, 100, 100), SHAPE_LINE);
    m_pView->Select(pLine);
    pLine->MoveHandleTo(kRotateHandle, PointAt(50), m_pView);
    EXPECT_EQ(pLine->m_dAngle, 0.0);
}

TEST_F(SizingTest, AGroupTurnsAboutTheFirstObjectWithAReference)
{
    CDrawRect* pFirst = Place(CRect(0, 100, 100, 0));
    CDrawRect* pSecond = Place(CRect(1000, 1100, 1100, 1000));
    CDrawRect* pThird = Place(CRect(2000, 100, 2100, 0));
    m_pView->SelectObjects({pFirst, pSecond, pThird}, FALSE);
    // The first selected object never had its handles drawn: the second
    // one's centre (1050, 1050) is the group's.
    pSecond->m_rectRotateRef = pSecond->m_position;
    pThird->m_rectRotateRef = pThird->m_position;
    for (CDrawRect* pObj : {pFirst, pSecond, pThird})
        pObj->MoveHandleTo(kRotateHandle, CPoint(150, 150), m_pView);
    for (CDrawRect* pObj : {pFirst, pSecond, pThird})
        EXPECT_NEAR(pObj->m_dAngle, 225.0, 0.01);
}

TEST_F(SizingTest, ACroppedPictureKeepsTenUnitsAndIsNeverTurnedOver)
{
    CDrawObj* pObj = PlacePicture(CRect(0, 300, 400, 0));
    pObj->SetCrop(0.25, 0.25, 0.5, 0.5);
    ASSERT_TRUE(pObj->IsPictureCropped());
    const CRect part = pObj->m_position;
    const CRect whole = pObj->m_rectUncropped;

    // 8 units wide, then turned over: both refused.
    pObj->MoveHandleTo(4, CPoint(part.left + 8, 0), m_pView);
    EXPECT_EQ(pObj->m_position, part);
    pObj->MoveHandleTo(4, CPoint(part.left - 50, 0), m_pView);
    EXPECT_EQ(pObj->m_position, part);
    pObj->MoveHandleTo(6, CPoint(0, part.bottom + 9), m_pView);
    EXPECT_EQ(pObj->m_position, part);
    EXPECT_EQ(pObj->m_rectUncropped, whole);

    // 10 units is allowed, and the whole picture follows its visible part.
    pObj->MoveHandleTo(4, CPoint(part.left + 10, 0), m_pView);
    EXPECT_EQ(pObj->m_position.Width(), 10);
    pObj->MoveHandleTo(4, CPoint(part.right + 100, 0), m_pView);
    const CRect full = pObj->GetFullPictureRect();
    EXPECT_LE(std::abs(full.left - pObj->m_rectUncropped.left), 2);
    EXPECT_LE(std::abs(full.right - pObj->m_rectUncropped.right), 2);
    EXPECT_LE(std::abs(full.top - pObj->m_rectUncropped.top), 2);
    EXPECT_LE(std::abs(full.bottom - pObj->m_rectUncropped.bottom), 2);

    // A move of the whole object carries the whole picture along.
    const CRect before = pObj->m_rectUncropped;
    CRect moved = pObj->m_position;
    moved.OffsetRect(30, -40);
    pObj->MoveTo(moved, m_pView);
    CRect expected = before;
    expected.OffsetRect(30, -40);
    EXPECT_EQ(pObj->m_rectUncropped, expected);
}

TEST_F(SizingTest, AResizedCroppedPictureShowsTheSamePartInEveryMirrorState)
{
    for (int nMirror = 0; nMirror < 4; ++nMirror) {
        CDrawObj* pObj = PlacePicture(CRect(0, 300, 400, 0));
        pObj->Flip((nMirror & 1) != 0, (nMirror & 2) != 0);
        pObj->SetCrop(0.25, 0.1, 0.5, 0.6);
        ASSERT_TRUE(pObj->IsPictureCropped()) << nMirror;
        // Twice as wide and half again as high, turned the same way.
        CRect grown = pObj->m_position;
        grown.right = grown.left + 2 * (grown.right - grown.left);
        grown.top = grown.bottom + (grown.top - grown.bottom) * 3 / 2;
        pObj->MoveTo(grown, m_pView, 5);
        ASSERT_EQ(pObj->m_position, grown) << nMirror;
        // The whole picture the object carries is the one its crop describes.
        const CRect full = pObj->GetFullPictureRect();
        EXPECT_LE(std::abs(full.left - pObj->m_rectUncropped.left), 2) << nMirror;
        EXPECT_LE(std::abs(full.right - pObj->m_rectUncropped.right), 2) << nMirror;
        EXPECT_LE(std::abs(full.top - pObj->m_rectUncropped.top), 2) << nMirror;
        EXPECT_LE(std::abs(full.bottom - pObj->m_rectUncropped.bottom), 2) << nMirror;
    }
}

TEST_F(SizingTest, TheCropToolNeverTurnsACroppedPictureOver)
{
    CDrawObj* pObj = PlacePicture(CRect(0, 300, 400, 0));
    pObj->SetCrop(0.25, 0.25, 0.5, 0.5);
    const CRect part = pObj->m_position;
    const CRect whole = pObj->m_rectUncropped;
    SetCurrentShape(kShapeCrop);
    pObj->MoveTo(CRect(part.right, part.top, part.left, part.bottom), m_pView, 4);
    EXPECT_EQ(pObj->m_position, part);
    // A new window onto the picture: the whole picture stays where it is.
    CRect smaller = part;
    smaller.right -= 20;
    pObj->MoveTo(smaller, m_pView, 4);
    EXPECT_EQ(pObj->m_position, smaller);
    EXPECT_EQ(pObj->m_rectUncropped, whole);
}

TEST_F(SizingTest, SelectedObjectsGrowByTheSameOffset)
{
    CDrawRect* pA = Place(CRect(0, 100, 100, 0));
    CDrawRect* pB = Place(CRect(300, 150, 350, 50));
    CDrawRect* pC = Place(CRect(-500, -100, -200, -400));
    m_pView->SelectObjects({pA, pB, pC}, FALSE);
    g_nSelectMode = SelectModeSize;
    ResetHandleDrag();
    // The views call the held object first, then the others with the same
    // point.
    for (CDrawRect* pObj : {pA, pB, pC})
        pObj->MoveHandleTo(5, CPoint(150, 130), m_pView);
    EXPECT_EQ(pA->m_position, CRect(0, 130, 150, 0));
    EXPECT_EQ(pB->m_position, CRect(300, 180, 400, 50));
    EXPECT_EQ(pC->m_position, CRect(-500, -70, -150, -400));
    for (CDrawRect* pObj : {pA, pB, pC})
        pObj->MoveHandleTo(5, CPoint(120, 100), m_pView);
    EXPECT_EQ(pA->m_position, CRect(0, 100, 120, 0));
    EXPECT_EQ(pB->m_position, CRect(300, 150, 370, 50));
    EXPECT_EQ(pC->m_position, CRect(-500, -100, -180, -400));

    // Outside a handle drag each object goes to the point itself.
    g_nSelectMode = SelectModeNone;
    pB->MoveHandleTo(4, CPoint(500, 0), m_pView);
    EXPECT_EQ(pB->m_position.right, 500);
}

TEST_F(SizingTest, CtrlKeepsTheProportionsUnlessTheObjectAsksForFreeOnes)
{
    CDrawObj* pObj = new CDrawObj(CRect(0, 100, 100, 0));
    m_pView->Add(pObj);
    Hold(VK_CONTROL);
    pObj->MoveHandleTo(5, CPoint(300, 150), m_pView);
    // An object without content is 100 x 100 by nature: square.
    EXPECT_EQ(std::abs(pObj->m_position.Width()), std::abs(pObj->m_position.Height()));
    EXPECT_GT(pObj->m_position.Width(), 100);

    CDrawObj* pFree = new CDrawObj(CRect(0, 100, 100, 0));
    pFree->m_wFlags |= OBJ_FLAG_FREE_PROPORTIONS;
    m_pView->Add(pFree);
    pFree->MoveHandleTo(5, CPoint(300, 150), m_pView);
    EXPECT_EQ(pFree->m_position, CRect(0, 150, 300, 0));

    // Sized from the centre, the proportional object keeps its centre.
    Release(VK_CONTROL);
    thePrefs.Flags |= PREF_FLAG_RESIZE_FROM_CENTER;
    CDrawObj* pNatural = new CDrawObj(CRect(-100, 100, 100, -100));
    pNatural->m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
    m_pView->Add(pNatural);
    pNatural->MoveHandleTo(4, CPoint(200, 0), m_pView);
    const CPoint centre = pNatural->m_position.CenterPoint();
    EXPECT_LE(std::abs(centre.x), 1);
    EXPECT_LE(std::abs(centre.y), 1);
    EXPECT_EQ(std::abs(pNatural->m_position.Width()), std::abs(pNatural->m_position.Height()));
}

TEST_F(SizingTest, ALineMovesOnlyWhenItIsSelectedAlone)
{
    CDrawRect* pLine = Place(CRect(0, 100, 100, 0), SHAPE_LINE);
    CDrawRect* pOther = Place(CRect(200, 100, 300, 0));
    m_pView->SelectObjects({pLine, pOther}, FALSE);
    pLine->MoveHandleTo(5, CPoint(150, 150), m_pView);
    EXPECT_EQ(pLine->m_position, CRect(0, 100, 100, 0));
    m_pView->Select(pLine);
    pLine->MoveHandleTo(5, CPoint(150, 150), m_pView);
    EXPECT_EQ(pLine->m_position, CRect(0, 150, 150, 0));
}

TEST_F(SizingTest, ALockedObjectIgnoresHandlesAndMoves)
{
    CDrawRect* pObj = Place(CRect(0, 100, 100, 0));
    pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    m_pDoc->SetModifiedFlag(FALSE);
    for (int n = 1; n <= 9; ++n)
        pObj->MoveHandleTo(n, CPoint(400, 400), m_pView);
    pObj->MoveTo(CRect(50, 150, 150, 50), m_pView);
    EXPECT_EQ(pObj->m_position, CRect(0, 100, 100, 0));
    EXPECT_EQ(pObj->m_dAngle, 0.0);
    EXPECT_FALSE(m_pDoc->IsModified());
}

TEST_F(SizingTest, MoveToEndsTheDragDrawingOnlyWhileTheToolsTrack)
{
    CDrawRect* pObj = Place(CRect(0, 100, 100, 0));
    pObj->m_wFlags |= OBJ_FLAG_DRAGGING;
    pObj->MoveTo(CRect(10, 110, 110, 10), m_pView);
    EXPECT_TRUE(pObj->m_wFlags & OBJ_FLAG_DRAGGING);
    SetToolTracking(TRUE);
    pObj->MoveTo(CRect(20, 120, 120, 20), m_pView);
    SetToolTracking(FALSE);
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_DRAGGING);
    EXPECT_EQ(pObj->m_position, CRect(20, 120, 120, 20));
    // An object not yet loaded is not moved.
    pObj->m_wFlags &= ~WORD(OBJ_FLAG_LOADED);
    pObj->MoveTo(CRect(0, 100, 100, 0), m_pView);
    EXPECT_EQ(pObj->m_position, CRect(20, 120, 120, 20));
}

// ---- Opening editors ----------------------------------------------------------------------------

class OpenEditorTest : public SizingTest {
protected:
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SizingTest::TearDown();
    }
    // Clicks through the calendar until the hit test selects cell nWanted;
    // 0 when no point shows it.
    int SelectCellUnder(CDrawObj* pCalendar, int nWanted)
    {
        const CRect r = CDrawObj::NormalizeUp(pCalendar->m_position);
        for (int y = r.top - 5; y > r.bottom; y -= 10) {
            for (int x = r.left + 5; x < r.right; x += 10) {
                if (pCalendar->HitTestCalendarCell(CPoint(x, y), m_pView, TRUE, TRUE) == nWanted)
                    return nWanted;
            }
        }
        return 0;
    }
    // Runs OnOpen with the steps driving whatever dialog comes up; the
    // caption of the first window the steps saw.
    BOOL Open(CDrawObj* pObj, int nKind, std::vector<DialogStep> steps, std::string* pCaption = nullptr)
    {
        auto caption = std::make_shared<std::string>();
        steps.insert(steps.begin(), [caption](HWND h) {
            *caption = WindowText(h);
            return true;
        });
        testing_support::DriveActiveWindow(std::move(steps));
        const BOOL bResult = pObj->OnOpen(m_pView, nKind);
        platform::headless::SetIdleHandler(nullptr);
        if (pCaption != nullptr)
            *pCaption = *caption;
        return bResult;
    }
};

TEST_F(OpenEditorTest, ACalendarOpensItsSetUpAndTheChangeCanBeUndone)
{
    CDrawRect* pCalendar = PlaceCalendar();
    const LONG nStart = pCalendar->m_nCalendarStart;
    std::string caption;
    const BOOL bChanged = Open(pCalendar, 5,
        {[](HWND h) {
             if (::GetDlgItem(h, IDC_CAL_YEAR) == NULL)
                 return false;
             ::SetDlgItemText(h, IDC_CAL_YEAR, "2027");
             return true;
         },
            testing_support::PressButton(IDOK)},
        &caption);
    EXPECT_TRUE(bChanged);
    EXPECT_EQ(caption, "Calendar");
    EXPECT_EQ(pCalendar->m_nCalendarStart, static_cast<LONG>(JulianDayFromDate(12, 1, 2027)));
    EXPECT_TRUE(m_pDoc->IsModified());
    ASSERT_TRUE(m_pDoc->GetUndoList().CanUndo());
    EXPECT_TRUE(m_pDoc->GetUndoList().Undo(m_pDoc));
    EXPECT_EQ(pCalendar->m_nCalendarStart, nStart);
}

TEST_F(OpenEditorTest, TheSelectedCellOpensTheDialogOfItsList)
{
    struct Case {
        int nKind;
        int nCell;
        const char* caption;
    };
    const Case cases[] = {
        {CALENDAR_MONTH, 9, "Day Content"},
        {CALENDAR_WEEK, 3, "Day Item"},
        {CALENDAR_DAY, 14, "Edit Hour"},
    };
    for (Case c : cases) {
        CDrawRect* pCalendar = PlaceCalendar();
        pCalendar->m_nCalendarWords[1] = c.nKind;
        // The cell the user clicked, found the way the tools find it.
        c.nCell = SelectCellUnder(pCalendar, c.nCell);
        ASSERT_GT(c.nCell, 0) << c.caption;
        ASSERT_EQ(pCalendar->FindDayCell(c.nKind, c.nCell), nullptr);
        std::string caption;
        const BOOL bChanged = Open(pCalendar, 3,
            {[](HWND h) {
                 if (::GetDlgItem(h, IDC_DAY_TEXT) == NULL)
                     return false;
                 ::SetDlgItemText(h, IDC_DAY_TEXT, "Dentist at nine");
                 return true;
             },
                testing_support::PressButton(IDOK)},
            &caption);
        EXPECT_TRUE(bChanged) << c.caption;
        EXPECT_EQ(caption, c.caption);
        // A cell never edited before is made for the dialog.
        EXPECT_STREQ(pCalendar->GetCellText(c.nKind, c.nCell), "Dentist at nine") << c.caption;
        EXPECT_TRUE(m_pDoc->GetUndoList().Undo(m_pDoc)) << c.caption;
        EXPECT_EQ(pCalendar->FindDayCell(c.nKind, c.nCell), nullptr) << c.caption;
    }
}

TEST_F(OpenEditorTest, CancellingChangesNothingAndKeepsTheLock)
{
    CDrawRect* pCalendar = PlaceCalendar();
    ASSERT_EQ(SelectCellUnder(pCalendar, 5), 5);
    pCalendar->SetCellText(CALENDAR_MONTH, 5, "Keep");
    pCalendar->m_wFlags |= OBJ_FLAG_LOCKED;
    const int nSteps = m_pDoc->GetUndoList().GetCount();
    const BOOL bChanged = Open(pCalendar, 5,
        {[](HWND h) {
             if (::GetDlgItem(h, IDC_DAY_TEXT) == NULL)
                 return false;
             ::SetDlgItemText(h, IDC_DAY_TEXT, "Changed");
             return true;
         },
            testing_support::PressButton(IDCANCEL)});
    EXPECT_FALSE(bChanged);
    EXPECT_STREQ(pCalendar->GetCellText(CALENDAR_MONTH, 5), "Keep");
    EXPECT_TRUE(pCalendar->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps);
}

TEST_F(OpenEditorTest, EachKindOpensItsEditorAndCancellingChangesNothing)
{
    CDrawObj* pText = new CDrawObj(CRect(0, 100, 200, 0));
    pText->SetText("Hello", TRUE);
    m_pView->Add(pText);
    CDrawObj* pWrapped = new CDrawObj(CRect(0, 100, 200, 0));
    pWrapped->SetText("Hello", FALSE);
    m_pView->Add(pWrapped);
    CDrawObj* pPicture = PlacePicture(CRect(0, 300, 400, 0));
    CDrawRect* pShape = Place(CRect(0, 100, 100, 0), SHAPE_ELLIPSE);
    CDrawRect* pLine = Place(CRect(0, 100, 100, 0), SHAPE_LINE);
    struct Case {
        CDrawObj* pObj;
        int nKind;
        bool bDialog;
    };
    // Wrapped text is edited in place instead (WrapTextObjectTest). Block
    // text opens Text Effects, a picture the Picture dialog, a shape the
    // Shape dialog and page 4 (and a line by content) the colour and fill
    // dialog.
    const Case cases[] = {
        {pText, 5, true}, {pText, 1, true}, {pPicture, 5, true}, {pPicture, 0, true}, {pShape, 5, true},
        {pShape, 2, true}, {pShape, 4, true}, {pLine, 5, true}, {pLine, 4, true},
    };
    const int nSteps = m_pDoc->GetUndoList().GetCount();
    for (const Case& c : cases) {
        bool bDialog = false;
        // Any window that takes over from the main frame is a dialog.
        testing_support::DriveActiveWindow({[this, &bDialog](HWND h) {
            if (h == m_pMain->m_hWnd)
                return false;
            bDialog = true;
            ::PostMessage(h, WM_COMMAND, IDCANCEL, 0);
            return true;
        }});
        const CRect before = c.pObj->m_position;
        EXPECT_FALSE(c.pObj->OnOpen(m_pView, c.nKind)) << c.nKind;
        Pump();
        platform::headless::SetIdleHandler(nullptr);
        EXPECT_EQ(bDialog, c.bDialog) << c.nKind;
        EXPECT_EQ(c.pObj->m_position, before);
        EXPECT_FALSE(c.pObj->m_wFlags & OBJ_FLAG_LOCKED);
    }
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps);
    EXPECT_STREQ(pText->GetText(), "Hello");
}

} // namespace
