// The print-setup dialog: setup only, the program's picture buttons, and
// the application's printer following the choice.

#include "print/PrintSetupDlg.h"

#include "model/DocKinds.h"
#include "model/DocQuickInfo.h"
#include "platform/ui/CommDlgMisc.h"
#include "tests/main/AppTestSupport.h"
#include "tests/support/PictureButtonFit.h"

#include <memory>
#include <string>

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

// Runs the dialog once: notes the orientation it opens on and whether its
// buttons fit, optionally turns it to landscape, then presses nID.
struct SetupRun {
    SetupRun(int nButton, bool bLandscape = false) : nID(nButton), bChooseLandscape(bLandscape) {}
    int nID;
    bool bChooseLandscape;
    bool bOpenedLandscape = false;
    std::string clashes;
    bool done = false;
    void Install()
    {
        platform::headless::SetIdleHandler([this]() {
            HWND h = ::GetActiveWindow();
            if (done || !h || !::GetDlgItem(h, PD_ID_LANDSCAPE))
                return false;
            bOpenedLandscape = ::IsDlgButtonChecked(h, PD_ID_LANDSCAPE) == BST_CHECKED;
            clashes = testing_support::PictureButtonClashes(h);
            if (bChooseLandscape)
                ::CheckRadioButton(h, PD_ID_PORTRAIT, PD_ID_LANDSCAPE, PD_ID_LANDSCAPE);
            ::PostMessage(h, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(h, nID)));
            done = true;
            return true;
        });
    }
};

// A design of a kind, laid out on Letter in the given orientation.
std::unique_ptr<CDrawDoc> DesignOf(CRuntimeClass* pClass, int nKind, BOOL bLandscape)
{
    std::unique_ptr<CDrawDoc> pDoc(static_cast<CDrawDoc*>(pClass->CreateObject()));
    pDoc->m_bAutoDelete = FALSE;
    DocQuickInfo info;
    InitDocQuickInfo(info);
    info[DocQuickInfo::Kind] = nKind;
    info[DocQuickInfo::Orientation] = bLandscape ? 0 : 1;
    info[DocQuickInfo::SheetWidth] = bLandscape ? 1100 : 850;
    info[DocQuickInfo::SheetHeight] = bLandscape ? 850 : 1100;
    info[DocQuickInfo::CardWidth] = 925;
    info[DocQuickInfo::CardHeight] = 775;
    pDoc->SetQuickInfo(info);
    return pDoc;
}

TEST_F(PrintSetupDlgTest, ChosenOrientationIsKeptWhateverDesignsMeasureTheirPage)
{
    // A mouse pad measures its page on its side; the user's printer is not
    // turned by it.
    auto pPad = DesignOf(RUNTIME_CLASS(CMousepadDoc), 2, TRUE);
    pPad->UpdatePrinterMetrics();
    EXPECT_FALSE(AppPrinterIsLandscape(*m_app));
    {
        CPrintSetupDlg dlg(nullptr);
        SetupRun look{IDCANCEL};
        look.Install();
        dlg.DoModal();
        EXPECT_FALSE(look.bOpenedLandscape);
        EXPECT_EQ(look.clashes, "") << "the picture buttons' captions fit";
    }

    // Landscape chosen, then OK twice; a portrait design measuring its page
    // between the two leaves the choice alone.
    auto pGeneral = DesignOf(RUNTIME_CLASS(CGeneralDoc), 5, FALSE);
    for (int nTime = 0; nTime < 2; ++nTime) {
        SCOPED_TRACE(nTime);
        CPrintSetupDlg dlg(nullptr);
        SetupRun ok{IDOK, nTime == 0};
        ok.Install();
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(ok.bOpenedLandscape, nTime == 1);
        EXPECT_TRUE(AppPrinterIsLandscape(*m_app));
        pGeneral->UpdatePrinterMetrics();
        EXPECT_TRUE(AppPrinterIsLandscape(*m_app));
    }
}

} // namespace
