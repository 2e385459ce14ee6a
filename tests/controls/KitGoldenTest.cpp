// The look of the kit's controls where the other golden tests do not reach,
// compared pixel for pixel with the pictures kept in tests/data/controls:
// the folder picker opened on a folder of a test drive, a grid picker in a
// window (the colour grid with its More and Grad buttons, and a bitmap grid
// with checked cells), a choice grid of one row centred with its text band,
// and a wizard's first page with its picture buttons. The fonts are the
// resources' own faces through the program's substitution table, as in the
// other golden tests. Set THREADWICK_UPDATE_GOLDEN=1 to write them again
// after an intended change of look, then look at them and commit them.

#include "controls/ChoiceGrid.h"
#include "controls/CustBtnSheet.h"
#include "controls/CustBtnWizPage.h"
#include "controls/GridPicker.h"
#include "controls/PickDirectoryDlg.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"
#include "resources/controls.h"
#include "resources/print.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/GoldenPicture.h"
#include "tests/support/TestHome.h"

#include <filesystem>
#include <string>

namespace {

constexpr int kPlaceholder = 900;
constexpr UINT kPageId = 30731;
constexpr int kPageNameId = 100;

const platform::DialogItemTemplate kPageItems[] = {
    {WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 10, 10, 180, 8, -1, "STATIC", "Name your design:", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 22, 120, 12, kPageNameId, "EDIT",
        "Team 2026", 0},
};
const platform::DialogTemplate kPage = {false, WS_CHILD | DS_SETFONT, 0, 0, 0, 0, 200, 100, "Start", nullptr, 0, "",
    8, 400, 0, 0, "MS Sans Serif", kPageItems, 2};

void RegisterPage()
{
    static const platform::ResourceEntry entries[] = {
        {nullptr, 5, nullptr, WORD(kPageId), &kPage, DWORD(sizeof kPage)},
    };
    static const platform::ResourceTable table{entries, sizeof entries / sizeof entries[0], nullptr, 0};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

class CFirstPage : public CCustBtnWizPage {
public:
    CFirstPage()
        : CCustBtnWizPage(kPageId)
    {
    }
    BOOL OnSetActive() override
    {
        if (auto* pSheet = dynamic_cast<CWizSheet*>(GetSheet()))
            pSheet->SetWizardButtons(PSWIZB_NEXT);
        return CCustBtnWizPage::OnSetActive();
    }
};

class CSelectingController : public CChoiceGrid::Controller {
public:
    using Controller::Controller;
    void OnClick(UINT, int nCell) override { m_pGrid->SetCurSel(nCell, TRUE); }
};

class KitGoldenTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        threadwick::RegisterSupportResources();
        InitCommonControls();
        MakeApp();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::ResetDriveTable();
        FrameworkTest::TearDown();
    }

    // A grey window of 400 x 300 to hold a control.
    void MakeParent()
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)(COLOR_BTNFACE + 1)), "",
            WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
    }

    // A picker over a placeholder of the given size at (20, 60); the colour
    // grid shows the custom colour above its top right corner.
    CGridPicker* MakePicker(BOOL bGradient, int cx, int cy)
    {
        ::CreateWindowEx(0, "STATIC", "", WS_CHILD | SS_LEFT, 20, 60, cx, cy, m_parent.m_hWnd,
            HMENU(INT_PTR(kPlaceholder)), NULL, NULL);
        auto* pPicker = new CGridPicker(bGradient);
        EXPECT_TRUE(pPicker->CreateOverControl(&m_parent, kPlaceholder, -1));
        return pPicker;
    }

    static void Repaint(HWND hwnd)
    {
        ::RedrawWindow(hwnd, nullptr, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }

    CWnd m_parent;
};

TEST_F(KitGoldenTest, FolderPickerOpenOnAFolderOfATestDrive)
{
    // Only C: and a fixed test drive whose folders the test makes, so that
    // nothing of the machine shows.
    const std::string root = testing_support::MakeTempDir("golden-folders");
    for (const char* folder : {"/Alpha/Beta/Gamma", "/Alpha/Other", "/Zeta"})
        std::filesystem::create_directories(root + folder);
    platform::DriveTable table = platform::DriveTable::Build("", "D=" + root + ":fixed:DESIGNS", {});
    ASSERT_TRUE(table.Errors().empty());
    platform::SetDriveTable(std::move(table));

    CPickDirectoryDlg dlg(nullptr, "D:\\Alpha\\Beta", FALSE);
    testing_support::DriveActiveWindow({
        [](HWND hDlg) {
            if (::GetDlgItem(hDlg, IDC_PICK_DIRECTORY_TREE) == NULL)
                return false;
            Repaint(hDlg);
            testing_support::ExpectLooksAsBefore(hDlg, "controls", "folder-picker.png");
            return true;
        },
        testing_support::PressButton(IDCANCEL),
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_STREQ(LPCTSTR(dlg.m_strPath), "D:\\Alpha\\Beta");
}

TEST_F(KitGoldenTest, ColorGridWithItsButtonsInAWindow)
{
    MakeParent();
    CGridPicker* pPicker = MakePicker(TRUE, 160, 150);
    pPicker->SetupColorCells(RGB(0, 0, 128), FALSE);
    pPicker->SetFocus();
    Repaint(m_parent.m_hWnd);
    testing_support::ExpectLooksAsBefore(m_parent.m_hWnd, "controls", "color-grid-window.png");
}

TEST_F(KitGoldenTest, BitmapGridWithCheckedCells)
{
    MakeParent();
    CGridPicker* pPicker = MakePicker(FALSE, 120, 80);
    pPicker->m_bCheckMode = TRUE;
    pPicker->SetupCells(IDB_HATCH_HORIZONTAL, 6, 2, 3, TRUE, TRUE);
    pPicker->SetCellCheck(1, TRUE);
    pPicker->SetCellCheck(5, TRUE);
    // In check mode the current cell's check flips as well.
    pPicker->SetCurSel(4, FALSE);
    Repaint(m_parent.m_hWnd);
    testing_support::ExpectLooksAsBefore(m_parent.m_hWnd, "controls", "hatch-grid-checked.png");
}

TEST_F(KitGoldenTest, ChoiceGridOfOneRowCentredWithItsTextBand)
{
    MakeParent();
    CChoiceGrid grid(&m_parent, 2, 0, 0);
    grid.SetFlags(CChoiceGrid::kTextBand);
    grid.SetController(new CSelectingController(&grid));
    grid.SetWindowPos(NULL, 10, 10, 360, 260, SWP_NOZORDER);
    grid.ArrangeCells(IDR_PS_PORTRAIT, IDR_PS_LANDSCAPE, 1, nullptr, nullptr);
    grid.SetCurSel(1, TRUE);
    grid.UpdateWindow();
    testing_support::ExpectLooksAsBefore(grid.m_hWnd, "controls", "choice-grid-one-row.png");
}

TEST_F(KitGoldenTest, WizardFirstPageWithItsPictureButtons)
{
    RegisterPage();
    CCustBtnSheet sheet(0);
    CFirstPage page;
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.Create(nullptr));
    Pump();
    Repaint(sheet.m_hWnd);
    testing_support::ExpectLooksAsBefore(sheet.m_hWnd, "controls", "wizard-first-page.png");
    sheet.DestroyWindow();
}

} // namespace
