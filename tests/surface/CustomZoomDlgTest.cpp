// The Custom Zoom dialog: the range it takes, its radio buttons and help.

#include "tests/surface/SurfaceTestSupport.h"

#include "surface/CustomZoomDlg.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"

#include <string>
#include <vector>

namespace surfacetest {
namespace {

using testing_support::DialogStep;

DialogStep OnZoom(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_ZOOM_PERCENT, std::move(action));
}

DialogStep Type(const char* pszZoom)
{
    return OnZoom([pszZoom](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_ZOOM_PERCENT, pszZoom);
        Click(hDlg, IDOK);
    });
}

// What the main window is asked for help, kept from it.
std::vector<std::string>* s_pHelp = nullptr;
WNDPROC s_pMainProc = nullptr;

LRESULT CALLBACK HelpSpy(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (s_pHelp != nullptr) {
        if (message == WM_COMMAND && LOWORD(wParam) == ID_HELP) {
            s_pHelp->push_back("ID_HELP");
            return 0;
        }
        if (message == WM_KEYDOWN && wParam == VK_F1) {
            s_pHelp->push_back("F1");
            return 0;
        }
    }
    return ::CallWindowProc(s_pMainProc, hWnd, message, wParam, lParam);
}

class CustomZoomDlgTest : public SurfaceTest {
protected:
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        s_pHelp = nullptr;
        SurfaceTest::TearDown();
    }
    static size_t Boxes() { return platform::headless::MessageBoxes().size(); }
};

} // namespace

TEST_F(CustomZoomDlgTest, ZoomsOutsideTenToFiveHundredAreRefused)
{
    CCustomZoomDlg dlg(m_pMain);
    dlg.m_nZoom = 100;
    const size_t nBoxes = Boxes();
    testing_support::DriveActiveWindow({Type("5"), Type("501"), Type("9"), Type("500")});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nZoom, 500);
    EXPECT_EQ(Boxes(), nBoxes + 3);

    testing_support::DriveActiveWindow({Type("10")});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nZoom, 10);
}

TEST_F(CustomZoomDlgTest, TheRadioButtonOfTheZoomIsCheckedAndAClickFillsTheField)
{
    CCustomZoomDlg dlg(m_pMain);
    dlg.m_nZoom = 150;
    bool b150 = false;
    bool b100 = true;
    std::string before;
    std::string after;
    bool b50 = false;
    testing_support::DriveActiveWindow({
        OnZoom([&](HWND hDlg) {
            before = ItemText(hDlg, IDC_ZOOM_PERCENT);
            b150 = ::IsDlgButtonChecked(hDlg, IDC_ZOOM_150) == BST_CHECKED;
            b100 = ::IsDlgButtonChecked(hDlg, IDC_ZOOM_100) == BST_CHECKED;
            Click(hDlg, IDC_ZOOM_50);
            after = ItemText(hDlg, IDC_ZOOM_PERCENT);
            b50 = ::IsDlgButtonChecked(hDlg, IDC_ZOOM_50) == BST_CHECKED;
            Click(hDlg, IDOK);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(before, "150");
    EXPECT_TRUE(b150);
    EXPECT_FALSE(b100);
    EXPECT_EQ(after, "50");
    EXPECT_TRUE(b50);
    EXPECT_EQ(dlg.m_nZoom, 50);

    // A zoom of no button checks none.
    dlg.m_nZoom = 80;
    int nChecked = -1;
    testing_support::DriveActiveWindow({OnZoom([&](HWND hDlg) {
        nChecked = 0;
        for (int nID : {IDC_ZOOM_25, IDC_ZOOM_50, IDC_ZOOM_75, IDC_ZOOM_100, IDC_ZOOM_150, IDC_ZOOM_200})
            nChecked += ::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED ? 1 : 0;
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(nChecked, 0);
}

TEST_F(CustomZoomDlgTest, HelpAndCommand150AskTheMainWindowAndKeepTheDialogOpen)
{
    std::vector<std::string> help;
    s_pHelp = &help;
    s_pMainProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtr(m_pMain->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HelpSpy)));
    CCustomZoomDlg dlg(m_pMain);
    dlg.m_nZoom = 75;
    bool bStillUp = false;
    testing_support::DriveActiveWindow({
        OnZoom([](HWND hDlg) { Click(hDlg, ID_HELP); }),
        OnZoom([](HWND hDlg) { ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(CCustomZoomDlg::kHelpKeyCommand, 0), 0); }),
        OnZoom([&](HWND hDlg) {
            bStillUp = true;
            Click(hDlg, IDCANCEL);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bStillUp);
    EXPECT_EQ(help, (std::vector<std::string>{"ID_HELP", "F1"}));
    ::SetWindowLongPtr(m_pMain->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_pMainProc));
}

} // namespace surfacetest
