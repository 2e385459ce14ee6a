// The Object Properties dialog, reached as the designer reaches it: a press
// on the first box of the view's diagnostic corner with one object
// selected.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "resources/resource.h"
#include "surface/ObjectPropsDlg.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PictureButtonFit.h"

#include <string>

namespace surfacetest {
namespace {

// What the dialog showed when it came up.
struct Shown {
    int nTextField = -2; // the checked field button, -1 none
    int nPrintable = -2;
    std::string caption;
    std::string clashes;
};

int CheckedIn(HWND hDlg, int nFirst, int nLast)
{
    for (int nID = nFirst; nID <= nLast; ++nID)
        if (::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED)
            return nID;
    return -1;
}

class ObjectPropsDlgTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        thePrefs.AddlFlags = PREF_ADDL_SWITCH_I;
        m_pView = NewView();
        ASSERT_NE(m_pView, nullptr);
        m_pObj = AddRect(m_pView, CRect(-300, 200, -100, 0));
        m_pView->Select(m_pObj);
        m_pView->GetDocument()->SetModifiedFlag(FALSE);
    }

    // Presses the first corner box; the dialog, when it comes up, is
    // recorded, given the field and printable buttons (0: leave them) and
    // closed with nButton.
    Shown PressCorner(int nFieldID, int nPrintableID, int nButton)
    {
        Shown shown;
        testing_support::DriveActiveWindow({OnDialogWith(IDC_OBJPROPS_NONE, [&](HWND hDlg) {
            shown.nTextField = CheckedIn(hDlg, IDC_OBJPROPS_TO, IDC_OBJPROPS_MISC);
            shown.nPrintable = CheckedIn(hDlg, IDC_OBJPROPS_NOT_PRINTABLE, IDC_OBJPROPS_PRINTABLE);
            shown.caption = testing_support::WindowTitle(hDlg);
            shown.clashes = testing_support::PictureButtonClashes(hDlg);
            if (nFieldID != 0)
                ::CheckRadioButton(hDlg, IDC_OBJPROPS_TO, IDC_OBJPROPS_MISC, nFieldID);
            if (nPrintableID != 0)
                ::CheckRadioButton(hDlg, IDC_OBJPROPS_NOT_PRINTABLE, IDC_OBJPROPS_PRINTABLE, nPrintableID);
            Click(hDlg, nButton);
        })});
        CPoint corner(10, 10);
        m_pView->ClientToScreen(&corner);
        m_clock.Advance(kApart);
        platform::headless::Click(corner.x, corner.y);
        Pump();
        return shown;
    }

    bool Modified() const { return m_pView->GetDocument()->IsModified() != FALSE; }

    CSurface* m_pView = nullptr;
    CDrawRect* m_pObj = nullptr;
};

} // namespace

TEST_F(ObjectPropsDlgTest, ShowsTheObjectsFieldAndPrintingAndStoresTheChoiceOnOk)
{
    // Two fields: the dialog names the higher one ("Professional Title:").
    m_pObj->m_wExtraFlags = 0x0401;
    Shown shown = PressCorner(0, IDC_OBJPROPS_NOT_PRINTABLE, IDOK);
    EXPECT_EQ(shown.caption, "Internal Build - Object Properties");
    EXPECT_EQ(shown.nTextField, IDC_OBJPROPS_TITLE);
    EXPECT_EQ(shown.nPrintable, IDC_OBJPROPS_PRINTABLE);
    EXPECT_EQ(shown.clashes, "");
    // The field stayed as it was shown: the object keeps both.
    EXPECT_EQ(m_pObj->m_wExtraFlags, 0x0401);
    EXPECT_NE(m_pObj->m_wFlags & OBJ_FLAG_GUIDE, 0);
    EXPECT_TRUE(Modified());
    EXPECT_EQ(SelectedCount(m_pView), 1);

    m_pView->GetDocument()->SetModifiedFlag(FALSE);
    shown = PressCorner(IDC_OBJPROPS_RETURN_ADDRESS, IDC_OBJPROPS_PRINTABLE, IDOK);
    EXPECT_EQ(shown.nPrintable, IDC_OBJPROPS_NOT_PRINTABLE);
    EXPECT_EQ(m_pObj->m_wExtraFlags, 0x0020);
    EXPECT_EQ(m_pObj->m_wFlags & OBJ_FLAG_GUIDE, 0);
    EXPECT_TRUE(Modified());

    PressCorner(IDC_OBJPROPS_NONE, 0, IDOK);
    EXPECT_EQ(m_pObj->m_wExtraFlags, 0);
}

TEST_F(ObjectPropsDlgTest, CancelChangesNothingAndWithoutOneSelectedObjectNoDialogOpens)
{
    m_pObj->m_wExtraFlags = 0x0001;
    Shown shown = PressCorner(IDC_OBJPROPS_MISC, IDC_OBJPROPS_NOT_PRINTABLE, IDCANCEL);
    EXPECT_EQ(shown.nTextField, IDC_OBJPROPS_TO);
    EXPECT_EQ(m_pObj->m_wExtraFlags, 0x0001);
    EXPECT_EQ(m_pObj->m_wFlags & OBJ_FLAG_GUIDE, 0);
    EXPECT_FALSE(Modified());

    // Two objects selected, then none: the press is the corner's, and no
    // dialog comes up.
    CDrawRect* pOther = AddRect(m_pView, CRect(100, 200, 300, 0));
    m_pView->Select(pOther, TRUE);
    ASSERT_EQ(SelectedCount(m_pView), 2);
    m_pView->GetDocument()->SetModifiedFlag(FALSE);
    shown = PressCorner(IDC_OBJPROPS_MISC, 0, IDOK);
    EXPECT_EQ(shown.nTextField, -2);
    EXPECT_EQ(SelectedCount(m_pView), 2);
    m_pView->Select(NULL);
    shown = PressCorner(IDC_OBJPROPS_MISC, 0, IDOK);
    EXPECT_EQ(shown.nTextField, -2);
    EXPECT_EQ(SelectedCount(m_pView), 0);
    EXPECT_EQ(m_pObj->m_wExtraFlags, 0x0001);
    EXPECT_FALSE(Modified());
}

// A caller that leaves an index at -1 leaves that property alone.
TEST_F(ObjectPropsDlgTest, UnsetIndexesLeaveTheObjectAlone)
{
    m_pObj->m_wExtraFlags = 0x0003;
    m_pObj->m_wFlags |= OBJ_FLAG_GUIDE;
    CObjectPropsDlg dlg;
    dlg.ApplyTo(m_pObj);
    EXPECT_EQ(m_pObj->m_wExtraFlags, 0x0003);
    EXPECT_NE(m_pObj->m_wFlags & OBJ_FLAG_GUIDE, 0);
    EXPECT_EQ(CObjectPropsDlg::TextFieldIndexOf(m_pObj), 2);
    EXPECT_EQ(CObjectPropsDlg::PrintableIndexOf(m_pObj), 0);
}

} // namespace surfacetest
