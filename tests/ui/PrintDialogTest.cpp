#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

HWND g_dialog = NULL;
LPARAM g_initParam = 0;
UINT g_hookCalls = 0;

UINT_PTR CALLBACK RecordingHook(HWND hDlg, UINT msg, WPARAM, LPARAM lParam)
{
    ++g_hookCalls;
    if (msg == WM_INITDIALOG) {
        g_dialog = hDlg;
        g_initParam = lParam;
        return TRUE;
    }
    return 0;
}

struct Names {
    std::string driver, device, output;
    WORD isDefault;
};

Names ReadNames(HGLOBAL h)
{
    auto* block = static_cast<const char*>(GlobalLock(h));
    DEVNAMES dn;
    std::memcpy(&dn, block, sizeof dn);
    Names n{block + dn.wDriverOffset, block + dn.wDeviceOffset, block + dn.wOutputOffset, dn.wDefault};
    GlobalUnlock(h);
    return n;
}

DEVMODE ReadMode(HGLOBAL h)
{
    DEVMODE dm;
    EXPECT_GE(GlobalSize(h), sizeof dm);
    std::memcpy(&dm, GlobalLock(h), sizeof dm);
    GlobalUnlock(h);
    return dm;
}

class PrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InstallDialogClasses();
        platform::SetPrinterListProvider(nullptr);
        g_dialog = NULL;
        g_initParam = 0;
        g_hookCalls = 0;
        owner = uitest::MakeTopLevel();
        pd.lStructSize = sizeof pd;
        pd.hwndOwner = owner;
        pd.lpfnSetupHook = RecordingHook;
        pd.lpfnPrintHook = RecordingHook;
        blocksBefore = platform::GlobalBlockCount();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetPrinterListProvider(nullptr);
        GlobalFree(pd.hDevMode);
        GlobalFree(pd.hDevNames);
    }

    void OfferOfficePrinter()
    {
        platform::SetPrinterListProvider([] {
            return std::vector<platform::PrinterChoice>{{"Office Laser", "cups", "ipp://office"}};
        });
    }

    void WhileOpen(std::function<void(HWND)> steps)
    {
        platform::headless::SetIdleHandler([steps, done = false]() mutable {
            if (done || !g_dialog || !IsWindow(g_dialog))
                return false;
            done = true;
            steps(g_dialog);
            return true;
        });
    }

    static void Press(HWND dlg, int id) { SendMessage(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

    HWND owner = NULL;
    PRINTDLG pd{};
    size_t blocksBefore = 0;
};

TEST_F(PrintDialogTest, ReturnDefaultGivesThePdfPrinterWithoutADialog)
{
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_EQ(g_dialog, nullptr);
    Names n = ReadNames(pd.hDevNames);
    EXPECT_EQ(n.device, "PDF File");
    EXPECT_EQ(n.isDefault, DN_DEFAULTPRN);
    DEVMODE dm = ReadMode(pd.hDevMode);
    EXPECT_STREQ(reinterpret_cast<const char*>(dm.dmDeviceName), "PDF File");
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODE));
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_LETTER);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    ASSERT_NE(pd.hDC, nullptr);
    EXPECT_EQ(GetDeviceCaps(pd.hDC, LOGPIXELSX), 600);
    DeleteDC(pd.hDC);

    // Asking for defaults over existing blocks is refused and keeps them.
    HGLOBAL mode = pd.hDevMode;
    EXPECT_FALSE(PrintDlg(&pd));
    EXPECT_EQ(pd.hDevMode, mode);
}

TEST_F(PrintDialogTest, SetupReturnsTheChosenPrinterPaperAndOrientation)
{
    OfferOfficePrinter();
    pd.Flags = PD_PRINTSETUP | PD_ENABLESETUPHOOK;
    ASSERT_TRUE([&] {
        pd.Flags |= PD_RETURNDEFAULT;
        BOOL ok = PrintDlg(&pd);
        pd.Flags &= ~DWORD(PD_RETURNDEFAULT);
        return ok;
    }());
    size_t blocksWithDefaults = platform::GlobalBlockCount();
    LRESULT printers = 0;
    WhileOpen([&](HWND dlg) {
        printers = SendDlgItemMessage(dlg, PD_ID_PRINTER, CB_GETCOUNT, 0, 0);
        SendDlgItemMessage(dlg, PD_ID_PRINTER, CB_SETCURSEL, 1, 0);
        SendDlgItemMessage(dlg, PD_ID_PAPER, CB_SETCURSEL, 1, 0);
        Press(dlg, PD_ID_LANDSCAPE);
        Press(dlg, IDOK);
    });
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_EQ(g_initParam, LPARAM(&pd));
    EXPECT_EQ(printers, 2);
    Names n = ReadNames(pd.hDevNames);
    EXPECT_EQ(n.driver, "cups");
    EXPECT_EQ(n.device, "Office Laser");
    EXPECT_EQ(n.output, "ipp://office");
    EXPECT_EQ(n.isDefault, 0);
    DEVMODE dm = ReadMode(pd.hDevMode);
    EXPECT_STREQ(reinterpret_cast<const char*>(dm.dmDeviceName), "Office Laser");
    EXPECT_EQ(dm.dmFields & (DM_PAPERSIZE | DM_ORIENTATION), DWORD(DM_PAPERSIZE | DM_ORIENTATION));
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_LANDSCAPE);
    // The blocks given were replaced, not leaked.
    EXPECT_EQ(platform::GlobalBlockCount(), blocksWithDefaults);
}

TEST_F(PrintDialogTest, SetupStartsFromTheBlocksGivenAndCancelKeepsThem)
{
    OfferOfficePrinter();
    pd.Flags = PD_PRINTSETUP | PD_ENABLESETUPHOOK;
    WhileOpen([](HWND dlg) {
        SendDlgItemMessage(dlg, PD_ID_PRINTER, CB_SETCURSEL, 1, 0);
        SendDlgItemMessage(dlg, PD_ID_PAPER, CB_SETCURSEL, 1, 0);
        Press(dlg, PD_ID_LANDSCAPE);
        Press(dlg, IDOK);
    });
    ASSERT_TRUE(PrintDlg(&pd));
    HGLOBAL mode = pd.hDevMode, names = pd.hDevNames;

    LRESULT printer = -1, paper = -1;
    UINT landscape = 0;
    WhileOpen([&](HWND dlg) {
        printer = SendDlgItemMessage(dlg, PD_ID_PRINTER, CB_GETCURSEL, 0, 0);
        paper = SendDlgItemMessage(dlg, PD_ID_PAPER, CB_GETCURSEL, 0, 0);
        landscape = IsDlgButtonChecked(dlg, PD_ID_LANDSCAPE);
        Press(dlg, IDCANCEL);
    });
    EXPECT_FALSE(PrintDlg(&pd));
    EXPECT_EQ(printer, 1);
    EXPECT_EQ(paper, 1);
    EXPECT_EQ(landscape, UINT(BST_CHECKED));
    EXPECT_EQ(pd.hDevMode, mode);
    EXPECT_EQ(pd.hDevNames, names);
}

TEST_F(PrintDialogTest, CopiesGoToTheDevModeOnlyWhenAskedTo)
{
    pd.Flags = 0x14000C | PD_ENABLEPRINTHOOK;
    WhileOpen([](HWND dlg) {
        SetDlgItemInt(dlg, PD_ID_COPIES, 3, FALSE);
        Press(dlg, IDOK);
    });
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_GT(g_hookCalls, 1u);
    EXPECT_EQ(pd.nCopies, 1);
    EXPECT_EQ(ReadMode(pd.hDevMode).dmCopies, 3);

    // Without the flag the count starts from nCopies, not the DEVMODE.
    pd.Flags = PD_NOSELECTION | PD_NOPAGENUMS | PD_ENABLEPRINTHOOK;
    pd.nCopies = 2;
    UINT shown = 0;
    WhileOpen([&](HWND dlg) {
        shown = GetDlgItemInt(dlg, PD_ID_COPIES, nullptr, FALSE);
        SetDlgItemInt(dlg, PD_ID_COPIES, 4, FALSE);
        Press(dlg, IDOK);
    });
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_EQ(shown, 2u);
    EXPECT_EQ(pd.nCopies, 4);
    EXPECT_EQ(ReadMode(pd.hDevMode).dmCopies, 1);
}

TEST_F(PrintDialogTest, PrinterListAlwaysStartsWithThePdfPrinterAndDropsBadEntries)
{
    platform::SetPrinterListProvider([] {
        return std::vector<platform::PrinterChoice>{
            {"PDF File", "x", "y"}, {"", "cups", "p"}, {"Lab", "cups", "ipp://lab"}, {"Lab", "cups", "dup"}};
    });
    auto printers = platform::AvailablePrinters();
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_EQ(printers[0].device, "PDF File");
    EXPECT_EQ(printers[1].device, "Lab");
    EXPECT_EQ(printers[1].port, "ipp://lab");
}

TEST_F(PrintDialogTest, MalformedBlocksGivenAreIgnored)
{
    // A DEVNAMES whose device offset points past its end.
    pd.hDevNames = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVNAMES) + 2);
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames));
    dn->wDeviceOffset = 5000;
    GlobalUnlock(pd.hDevNames);
    pd.hDevMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 3);
    pd.Flags = PD_PRINTSETUP | PD_ENABLESETUPHOOK;
    WhileOpen([](HWND dlg) { Press(dlg, IDOK); });
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_EQ(ReadNames(pd.hDevNames).device, "PDF File");
    EXPECT_EQ(ReadMode(pd.hDevMode).dmPaperSize, DMPAPER_LETTER);

    pd.lStructSize = sizeof pd + 1;
    EXPECT_FALSE(PrintDlg(&pd));
}

} // namespace
