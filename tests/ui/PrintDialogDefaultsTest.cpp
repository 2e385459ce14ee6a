// The print dialogs start from the default printer and hand back the
// printer's own settings, and the printing services installed together
// reach the DEVMODE, the DEVNAMES and the printer DC.

#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/services/PrintServices.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

HWND g_dialog = NULL;

UINT_PTR CALLBACK FindDialog(HWND hDlg, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG)
        g_dialog = hDlg;
    return msg == WM_INITDIALOG ? TRUE : 0;
}

std::string DeviceOf(HGLOBAL names, WORD* isDefault = nullptr)
{
    auto* block = static_cast<const char*>(GlobalLock(names));
    DEVNAMES dn;
    std::memcpy(&dn, block, sizeof dn);
    std::string device = block + dn.wDeviceOffset;
    if (isDefault)
        *isDefault = dn.wDefault;
    GlobalUnlock(names);
    return device;
}

DEVMODE ModeOf(HGLOBAL h)
{
    DEVMODE dm;
    std::memcpy(&dm, GlobalLock(h), sizeof dm);
    GlobalUnlock(h);
    return dm;
}

class PrintDialogDefaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InstallDialogClasses();
        g_dialog = NULL;
        owner = uitest::MakeTopLevel();
        pd.lStructSize = sizeof pd;
        pd.hwndOwner = owner;
        pd.lpfnSetupHook = FindDialog;
        pd.lpfnPrintHook = FindDialog;
        // Three printers; the default is the last one.
        platform::SetPrinterListProvider([] {
            return std::vector<platform::PrinterChoice>{
                {"Office", "CUPS", "CUPS:", false}, {"Lab", "CUPS", "CUPS:", true}, {"Hall", "CUPS", "CUPS:", true}};
        });
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetPrinterListProvider(nullptr);
        platform::SetPrinterDevModeProvider(nullptr);
        platform::SetPrinterMetricsProvider(nullptr);
        platform::SetSpoolHandler(nullptr);
        platform::SetPrinterSourceForTests(nullptr);
        GlobalFree(pd.hDevMode);
        GlobalFree(pd.hDevNames);
    }

    // "Lab" is a Legal landscape printer at 300 dpi with driver version 4.0.
    void DescribeLab()
    {
        platform::SetPrinterDevModeProvider([](const std::string& device, DEVMODE& dm) {
            if (device != "Lab")
                return false;
            dm.dmSpecVersion = DM_SPECVERSION;
            dm.dmDriverVersion = 0x0400;
            dm.dmSize = sizeof dm;
            dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
            dm.dmOrientation = DMORIENT_LANDSCAPE;
            dm.dmPaperSize = DMPAPER_LEGAL;
            dm.dmCopies = 1;
            dm.dmPrintQuality = 300;
            dm.dmYResolution = 300;
            return true;
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

    BOOL ReturnDefault()
    {
        pd.Flags |= PD_RETURNDEFAULT;
        BOOL ok = PrintDlg(&pd);
        pd.Flags &= ~DWORD(PD_RETURNDEFAULT);
        return ok;
    }

    HWND owner = NULL;
    PRINTDLG pd{};
};

TEST_F(PrintDialogDefaults, OnlyTheFirstMarkedPrinterIsTheDefault)
{
    auto printers = platform::AvailablePrinters();
    ASSERT_EQ(printers.size(), 4u);
    EXPECT_FALSE(printers[0].isDefault);
    EXPECT_TRUE(printers[2].isDefault);
    EXPECT_FALSE(printers[3].isDefault);

    // Nothing marked: the PDF-file printer is the default.
    platform::SetPrinterListProvider([] { return std::vector<platform::PrinterChoice>{{"Office", "CUPS", "CUPS:"}}; });
    EXPECT_TRUE(platform::AvailablePrinters()[0].isDefault);
}

TEST_F(PrintDialogDefaults, ReturnDefaultAndTheDialogsStartFromTheDefaultPrinter)
{
    ASSERT_TRUE(ReturnDefault());
    WORD isDefault = 0;
    EXPECT_EQ(DeviceOf(pd.hDevNames, &isDefault), "Lab");
    EXPECT_EQ(isDefault, DN_DEFAULTPRN);
    EXPECT_STREQ(reinterpret_cast<const char*>(ModeOf(pd.hDevMode).dmDeviceName), "Lab");
    GlobalFree(pd.hDevMode);
    GlobalFree(pd.hDevNames);
    pd.hDevMode = pd.hDevNames = NULL;

    for (DWORD flags : {DWORD(PD_ENABLEPRINTHOOK), DWORD(PD_PRINTSETUP | PD_ENABLESETUPHOOK)}) {
        pd.Flags = flags;
        LRESULT shown = -1;
        WhileOpen([&](HWND dlg) {
            shown = SendDlgItemMessage(dlg, PD_ID_PRINTER, CB_GETCURSEL, 0, 0);
            SendDlgItemMessage(dlg, PD_ID_PRINTER, CB_SETCURSEL, 1, 0);
            SendMessage(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
        });
        ASSERT_TRUE(PrintDlg(&pd));
        EXPECT_EQ(shown, 2) << flags;
        // Another printer chosen is not marked as the default.
        EXPECT_EQ(DeviceOf(pd.hDevNames, &isDefault), "Office");
        EXPECT_EQ(isDefault, 0);
        GlobalFree(pd.hDevMode);
        GlobalFree(pd.hDevNames);
        pd.hDevMode = pd.hDevNames = NULL;
    }
}

TEST_F(PrintDialogDefaults, DevModeCarriesThePrintersOwnSettingsUnderTheUsersChoices)
{
    DescribeLab();
    ASSERT_TRUE(ReturnDefault());
    DEVMODE dm = ModeOf(pd.hDevMode);
    EXPECT_EQ(dm.dmDriverVersion, 0x0400);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_LEGAL);
    EXPECT_EQ(dm.dmPrintQuality, 300);
    EXPECT_EQ(dm.dmYResolution, 300);
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODE));

    // The setup dialog shows the printer's paper (offered after the usual
    // two) and orientation; the user's choice goes over them and the rest
    // of the printer's settings stay.
    pd.Flags = PD_PRINTSETUP | PD_ENABLESETUPHOOK;
    LRESULT papers = 0, paper = -1;
    UINT landscape = 0;
    WhileOpen([&](HWND dlg) {
        papers = SendDlgItemMessage(dlg, PD_ID_PAPER, CB_GETCOUNT, 0, 0);
        paper = SendDlgItemMessage(dlg, PD_ID_PAPER, CB_GETCURSEL, 0, 0);
        landscape = IsDlgButtonChecked(dlg, PD_ID_LANDSCAPE);
        SendDlgItemMessage(dlg, PD_ID_PAPER, CB_SETCURSEL, 1, 0);
        SendMessage(GetDlgItem(dlg, PD_ID_PORTRAIT), BM_CLICK, 0, 0);
        SendMessage(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_EQ(papers, 3);
    EXPECT_EQ(paper, 2);
    EXPECT_EQ(landscape, UINT(BST_CHECKED));
    dm = ModeOf(pd.hDevMode);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm.dmDriverVersion, 0x0400);
    EXPECT_EQ(dm.dmPrintQuality, 300);
}

TEST_F(PrintDialogDefaults, WhatTheProviderWritesIsBoundedToTheRecord)
{
    platform::SetPrinterDevModeProvider([](const std::string&, DEVMODE& dm) {
        std::memset(&dm, 'x', sizeof dm);
        dm.dmSize = 9;
        dm.dmDriverExtra = 4000;
        dm.dmOrientation = 77;
        return true;
    });
    ASSERT_TRUE(ReturnDefault());
    ASSERT_EQ(GlobalSize(pd.hDevMode), sizeof(DEVMODE));
    DEVMODE dm = ModeOf(pd.hDevMode);
    EXPECT_STREQ(reinterpret_cast<const char*>(dm.dmDeviceName), "Lab");
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODE));
    EXPECT_EQ(dm.dmDriverExtra, 0);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_LETTER);
    EXPECT_EQ(dm.dmFields & (DM_PAPERWIDTH | DM_PAPERLENGTH), 0u);
    EXPECT_EQ(dm.dmCopies, 1);
}

// The services installed as at start-up, over a fake print system whose
// default printer prints to half an inch of each edge.
TEST_F(PrintDialogDefaults, InstalledServicesDescribeTheDefaultPrinter)
{
    platform::SetPrinterSourceForTests([](platform::PrinterQuery) {
        platform::PrinterDestination office;
        office.name = "office";
        platform::PrinterDestination lab;
        lab.name = "lab";
        lab.isDefault = true;
        lab.options = {{"media", "A4"}};
        platform::PrinterSheet sheet;
        sheet.media = "A4";
        sheet.width = 210000;
        sheet.length = 297000;
        sheet.margins = platform::SheetMargins{12700, 12700, 12700, 12700};
        lab.sheet = sheet;
        return std::vector<platform::PrinterDestination>{office, lab};
    });
    platform::InstallPrinterServices();

    pd.Flags = PD_RETURNDC;
    ASSERT_TRUE(ReturnDefault());
    EXPECT_EQ(DeviceOf(pd.hDevNames), "lab");
    DEVMODE dm = ModeOf(pd.hDevMode);
    platform::DriverVersionNumbers version = platform::SplitDriverVersion(dm.dmDriverVersion);
    EXPECT_EQ(dm.dmDriverVersion, 0x0400);
    EXPECT_EQ(version.major, 4);
    EXPECT_EQ(version.minor, 0);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(dm.dmPrintQuality, 600);

    // The DC made with them has the printer's half-inch margins.
    ASSERT_NE(pd.hDC, nullptr);
    EXPECT_EQ(GetDeviceCaps(pd.hDC, PHYSICALOFFSETX), 300);
    EXPECT_EQ(GetDeviceCaps(pd.hDC, PHYSICALOFFSETY), 300);
    EXPECT_EQ(GetDeviceCaps(pd.hDC, HORZRES), GetDeviceCaps(pd.hDC, PHYSICALWIDTH) - 600);
    DeleteDC(pd.hDC);
}

} // namespace
