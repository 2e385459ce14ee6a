#include "tests/framework/PrintTestSupport.h"

#include <cstring>

namespace printtest {
namespace {

using CommonDialogsTest = PrintFixture;

// Presses the button of whatever dialog is up, typing a file name first
// when it is a file dialog; keeps doing so each time the loop is idle.
void PressEachTime(int nID, const CString& fileName = CString(), int* pCount = nullptr)
{
    platform::headless::SetIdleHandler([nID, fileName, pCount]() {
        HWND hDlg = ::GetActiveWindow();
        HWND hButton = hDlg ? ::GetDlgItem(hDlg, nID) : NULL;
        if (!hButton)
            return false;
        if (!fileName.IsEmpty() && ::GetDlgItem(hDlg, edt1))
            ::SetDlgItemText(hDlg, edt1, fileName);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(hButton));
        if (pCount)
            ++*pCount;
        return true;
    });
}

TEST_F(CommonDialogsTest, FileDialogTurnsTheFilterAndSplitsTheName)
{
    CFileDialog dlg(FALSE, "txt", "draft.txt", OFN_HIDEREADONLY, "Text (*.txt)|*.txt|All (*.*)|*.*||");
    const char expected[] = "Text (*.txt)\0*.txt\0All (*.*)\0*.*\0";
    EXPECT_EQ(0, std::memcmp(dlg.m_ofn.lpstrFilter, expected, sizeof expected));
    EXPECT_STREQ("draft.txt", dlg.m_ofn.lpstrFile);
    EXPECT_TRUE(dlg.m_ofn.Flags & OFN_ENABLEHOOK);

    CString path = PathOf("report.final.txt");
    PressEachTime(IDOK, path);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ(path, dlg.GetPathName());
    EXPECT_STREQ("report.final.txt", dlg.GetFileName());
    EXPECT_STREQ("txt", dlg.GetFileExt());
    EXPECT_STREQ("report.final", dlg.GetFileTitle());
    EXPECT_EQ(HWND(NULL), dlg.m_hWnd); // let go of the window

    PressEachTime(IDCANCEL);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());

    // A default extension given as a temporary string is the dialog's own.
    CFileDialog saveDlg(FALSE, CString("prn"), NULL, OFN_HIDEREADONLY, "Printer files|*.prn||");
    CString bare = PathOf("catalog");
    PressEachTime(IDOK, bare);
    ASSERT_EQ(IDOK, saveDlg.DoModal());
    EXPECT_STREQ(bare + ".prn", saveDlg.GetPathName());
}

// A derived file dialog: its object is attached while the dialog is up and
// it may refuse a name.
class CRefusingFileDialog : public CFileDialog {
public:
    CRefusingFileDialog() : CFileDialog(FALSE) {}
    BOOL OnInitDialog() override
    {
        m_hWndAtInit = m_hWnd;
        m_bStandardControls = ::GetDlgItem(::GetParent(m_hWnd), edt1) != NULL;
        return CFileDialog::OnInitDialog();
    }
    BOOL OnFileNameOK() override
    {
        ++m_nChecks;
        m_strChecked = GetPathName();
        return m_nChecks == 1; // the first name is refused
    }
    void OnInitDone() override { ++m_nInitDone; }

    HWND m_hWndAtInit = NULL;
    bool m_bStandardControls = false;
    int m_nChecks = 0;
    int m_nInitDone = 0;
    CString m_strChecked;
};

TEST_F(CommonDialogsTest, DerivedFileDialogGetsItsMessages)
{
    CRefusingFileDialog dlg;
    int presses = 0;
    CString path = PathOf("kept.txt");
    PressEachTime(IDOK, path, &presses);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_NE(HWND(NULL), dlg.m_hWndAtInit);
    EXPECT_TRUE(dlg.m_bStandardControls);
    EXPECT_EQ(1, dlg.m_nInitDone);
    EXPECT_EQ(2, dlg.m_nChecks);
    EXPECT_EQ(2, presses);
    EXPECT_STREQ(path, dlg.m_strChecked);
    EXPECT_STREQ(path, dlg.GetPathName());
}

TEST_F(CommonDialogsTest, PrintDialogDefaultsAreThePdfPrinter)
{
    size_t blocks = platform::GlobalBlockCount();
    {
        CPrintDialog pd(FALSE);
        ASSERT_TRUE(pd.GetDefaults());
        EXPECT_STREQ("PDF File", pd.GetDeviceName());
        EXPECT_STREQ("PDF", pd.GetDriverName());
        EXPECT_STREQ("FILE:", pd.GetPortName());
        ASSERT_NE(nullptr, pd.GetDevMode());
        ASSERT_NE(HDC(NULL), pd.GetPrinterDC());
        EXPECT_EQ(600, ::GetDeviceCaps(pd.GetPrinterDC(), LOGPIXELSX));
        EXPECT_EQ(1, pd.GetCopies());
        EXPECT_TRUE(pd.PrintAll());
        EXPECT_EQ(-1, pd.GetFromPage());
        // As PrintDlg: not while the record holds blocks.
        EXPECT_FALSE(pd.GetDefaults());
        ::GlobalFree(pd.m_pd.hDevMode);
        ::GlobalFree(pd.m_pd.hDevNames);
    }
    EXPECT_EQ(blocks, platform::GlobalBlockCount());

    // A print job's record: pages 1 to "unknown", its own dialog.
    CPrintInfo info;
    EXPECT_EQ(1u, info.GetMinPage());
    EXPECT_EQ(0xFFFFu, info.GetMaxPage());
    EXPECT_EQ(1u, info.m_nCurPage);
    EXPECT_TRUE(info.m_bContinuePrinting);
    EXPECT_STREQ("Page %u\nPages %u-%u\n", info.m_strPageDesc);
    info.SetMaxPage(3);
    EXPECT_EQ(3u, info.m_pPD->m_pd.nMaxPage);
    EXPECT_FALSE(info.m_pPD->m_pd.Flags & PD_PRINTSETUP);
}

// A setup dialog of the program's own, which handles a button itself.
class CSetupDialog : public CPrintDialog {
public:
    CSetupDialog() : CPrintDialog(TRUE, PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE) {}
    BOOL OnInitDialog() override
    {
        m_bPrinterList = GetDlgItem(PD_ID_PRINTER) != nullptr;
        return CPrintDialog::OnInitDialog();
    }
    void OnOK() override
    {
        ++m_nOK;
        CPrintDialog::OnOK();
    }
    bool m_bPrinterList = false;
    int m_nOK = 0;
};

TEST_F(CommonDialogsTest, DerivedPrintSetupDialogRunsOverTheSystemOne)
{
    CSetupDialog dlg;
    EXPECT_EQ(0x14000Cu | PD_PRINTSETUP, dlg.m_pd.Flags & ~DWORD(PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK));
    PressEachTime(IDOK);
    ASSERT_EQ(IDOK, m_app->DoPrintDialog(&dlg));
    EXPECT_TRUE(dlg.m_bPrinterList);
    EXPECT_EQ(1, dlg.m_nOK);
    EXPECT_EQ(HDC(NULL), dlg.GetPrinterDC()); // setup makes no DC
    EXPECT_EQ(m_app->m_hDevNames, dlg.m_pd.hDevNames);
    EXPECT_STREQ("PDF File", dlg.GetDeviceName());
}

TEST_F(CommonDialogsTest, ApplicationKeepsOnePrinterAndPrintSetupChangesIt)
{
    PRINTDLG pd{};
    pd.lStructSize = sizeof pd;
    ASSERT_TRUE(m_app->GetPrinterDeviceDefaults(&pd));
    EXPECT_EQ(m_app->m_hDevNames, pd.hDevNames);
    size_t blocks = platform::GlobalBlockCount();
    PRINTDLG again{};
    ASSERT_TRUE(m_app->GetPrinterDeviceDefaults(&again));
    EXPECT_EQ(pd.hDevNames, again.hDevNames); // the same blocks, none new
    EXPECT_EQ(blocks, platform::GlobalBlockCount());

    CDC portrait;
    ASSERT_TRUE(m_app->CreatePrinterDC(portrait));
    EXPECT_LT(portrait.GetDeviceCaps(HORZRES), portrait.GetDeviceCaps(VERTRES));
    portrait.DeleteDC();

    // Print Setup: landscape, OK.
    platform::headless::SetIdleHandler([]() {
        HWND hDlg = ::GetActiveWindow();
        if (!hDlg || !::GetDlgItem(hDlg, PD_ID_LANDSCAPE))
            return false;
        ::CheckRadioButton(hDlg, PD_ID_PORTRAIT, PD_ID_LANDSCAPE, PD_ID_LANDSCAPE);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
        return true;
    });
    m_app->OnFilePrintSetup();
    platform::headless::SetIdleHandler(nullptr);
    CDC landscape;
    ASSERT_TRUE(m_app->CreatePrinterDC(landscape));
    EXPECT_GT(landscape.GetDeviceCaps(HORZRES), landscape.GetDeviceCaps(VERTRES));
    landscape.DeleteDC();
    EXPECT_EQ(blocks, platform::GlobalBlockCount()); // the old blocks were freed
}

TEST_F(CommonDialogsTest, ColorDialogAnswersTheColour)
{
    CColorDialog dlg(RGB(10, 20, 30), CC_FULLOPEN);
    EXPECT_TRUE(dlg.m_cc.Flags & CC_RGBINIT);
    EXPECT_EQ(CColorDialog::GetSavedCustomColors(), dlg.m_cc.lpCustColors);
    PressEachTime(IDOK);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(RGB(10, 20, 30), dlg.GetColor());
    PressEachTime(IDCANCEL);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

} // namespace
} // namespace printtest
