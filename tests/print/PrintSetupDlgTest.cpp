// The print-setup dialog: setup only, the program's picture buttons, and
// the application's printer following the choice.

#include "print/PrintSetupDlg.h"

#include "platform/ui/CommDlgMisc.h"
#include "tests/main/AppTestSupport.h"

namespace {

class PrintSetupDlgTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeApp();
    }
};

// Presses nID when the dialog is up, after noting what its buttons are.
struct Presser {
    int nID;
    BOOL bOwnerDrawnOk = FALSE;
    BOOL bOwnerDrawnCancel = FALSE;
    bool done = false;
    void Install()
    {
        platform::headless::SetIdleHandler([this]() {
            HWND h = ::GetActiveWindow();
            if (done || !h || !::GetDlgItem(h, PD_ID_LANDSCAPE))
                return false;
            bOwnerDrawnOk = (::GetWindowLong(::GetDlgItem(h, IDOK), GWL_STYLE) & 0x0F) == BS_OWNERDRAW;
            bOwnerDrawnCancel = (::GetWindowLong(::GetDlgItem(h, IDCANCEL), GWL_STYLE) & 0x0F) == BS_OWNERDRAW;
            ::CheckRadioButton(h, PD_ID_PORTRAIT, PD_ID_LANDSCAPE, PD_ID_LANDSCAPE);
            ::PostMessage(h, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(h, nID)));
            done = true;
            return true;
        });
    }
};

bool AppPrinterIsLandscape(CWinApp& app)
{
    CDC dc;
    if (!app.CreatePrinterDC(dc))
        return false;
    return dc.GetDeviceCaps(HORZRES) > dc.GetDeviceCaps(VERTRES);
}

TEST_F(PrintSetupDlgTest, OkMakesTheChoiceTheApplicationsPrinter)
{
    CPrintSetupDlg dlg(nullptr);
    EXPECT_EQ(0x14000Cu | PD_PRINTSETUP, dlg.m_pd.Flags & ~DWORD(PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK));
    EXPECT_FALSE(AppPrinterIsLandscape(*m_app));

    Presser cancel{IDCANCEL};
    cancel.Install();
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(cancel.bOwnerDrawnOk);
    EXPECT_TRUE(cancel.bOwnerDrawnCancel);
    EXPECT_FALSE(AppPrinterIsLandscape(*m_app));

    // The same object runs again.
    Presser ok{IDOK};
    ok.Install();
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(ok.bOwnerDrawnOk);
    EXPECT_EQ(m_app->m_hDevNames, dlg.m_pd.hDevNames);
    EXPECT_EQ(HDC(NULL), dlg.GetPrinterDC());
    EXPECT_TRUE(AppPrinterIsLandscape(*m_app));
}

} // namespace
