// The print and print-setup dialogs, and the printer list they offer.

#include "platform/base/DevModeValues.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTables.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PrinterDc.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommDlgShared.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

std::function<std::vector<PrinterChoice>()>& Provider()
{
    static std::function<std::vector<PrinterChoice>()> provider;
    return provider;
}

PrinterDevModeProvider& DevModeProvider()
{
    static PrinterDevModeProvider provider;
    return provider;
}

// Names longer than this are cut: a DEVNAMES offset is a WORD and the list
// comes from outside.
constexpr size_t kMaxName = 255;
constexpr size_t kMaxPrinters = 256;

} // namespace

void SetPrinterListProvider(std::function<std::vector<PrinterChoice>()> provider)
{
    Provider() = std::move(provider);
}

void SetPrinterDevModeProvider(PrinterDevModeProvider provider)
{
    DevModeProvider() = std::move(provider);
}

std::vector<PrinterChoice> AvailablePrinters()
{
    std::vector<PrinterChoice> printers{PrinterChoice{"PDF File", "PDF", "FILE:", false}};
    std::vector<PrinterChoice> offered;
    if (Provider())
        offered = Provider()();
    bool haveDefault = false;
    for (PrinterChoice p : offered) {
        if (printers.size() >= kMaxPrinters)
            break;
        for (std::string* s : {&p.device, &p.driver, &p.port}) {
            s->resize(strnlen(s->c_str(), std::min(s->size(), kMaxName)));
        }
        if (p.device.empty())
            continue;
        bool known = std::any_of(printers.begin(), printers.end(),
            [&](const PrinterChoice& q) { return q.device == p.device; });
        if (known)
            continue;
        p.isDefault = p.isDefault && !haveDefault;
        haveDefault = haveDefault || p.isDefault;
        printers.push_back(std::move(p));
    }
    printers.front().isDefault = !haveDefault;
    return printers;
}

} // namespace platform

namespace {

using platform::AddDialogItem;
using platform::PaperSizeOf;
using platform::DialogItemTemplate;
using platform::PostHelpToOwner;
using platform::PrinterChoice;

struct Paper {
    short code;
    const char* name;
};
// The papers the setup dialog always offers come first; a printer's or a
// caller's other paper is added after them.
const Paper kPapers[] = {
    {DMPAPER_LETTER, "Letter"},
    {DMPAPER_A4, "A4"},
    {DMPAPER_LEGAL, "Legal"},
    {DMPAPER_TABLOID, "Tabloid"},
    {DMPAPER_LEDGER, "Ledger"},
    {DMPAPER_STATEMENT, "Statement"},
    {DMPAPER_EXECUTIVE, "Executive"},
    {DMPAPER_A3, "A3"},
    {DMPAPER_A5, "A5"},
    {DMPAPER_B4, "B4"},
    {DMPAPER_B5, "B5"},
    {DMPAPER_FOLIO, "Folio"},
    {DMPAPER_QUARTO, "Quarto"},
    {DMPAPER_ENV_10, "Envelope #10"},
    {DMPAPER_USER, "Custom size"},
};
constexpr size_t kAlwaysOffered = 2;

const Paper* FindPaper(short code)
{
    for (const Paper& p : kPapers)
        if (p.code == code)
            return &p;
    return nullptr;
}

struct PrintState {
    PRINTDLG* pd = nullptr;
    std::vector<PrinterChoice> printers;
    size_t printer = 0;
    // Paper and orientation are the printer's own until the caller's
    // DEVMODE or the user chooses them.
    short paper = 0;
    short orientation = 0;
    int copies = 1;
    bool setup = false;
    std::vector<Paper> paperList; // as the setup dialog shows it
};

// The printer's own settings, from the printing services; only the device
// name and the record's size when they do not know the printer.
DEVMODE PrinterDefaults(const std::string& device)
{
    DEVMODE dm{};
    const platform::PrinterDevModeProvider& provider = platform::DevModeProvider();
    if (!provider || !provider(device, dm)) {
        dm = DEVMODE{};
        dm.dmSpecVersion = DM_SPECVERSION;
    }
    // Whatever the provider wrote, the record is ours: its own size, no
    // private bytes, and the device as listed.
    dm.dmSize = sizeof(DEVMODE);
    dm.dmDriverExtra = 0;
    dm.dmFormName[CCHFORMNAME - 1] = 0;
    std::memset(dm.dmDeviceName, 0, sizeof dm.dmDeviceName);
    std::memcpy(dm.dmDeviceName, device.data(), std::min<size_t>(device.size(), CCHDEVICENAME - 1));
    if (!(dm.dmFields & DM_ORIENTATION)
        || (dm.dmOrientation != DMORIENT_PORTRAIT && dm.dmOrientation != DMORIENT_LANDSCAPE)) {
        dm.dmFields |= DM_ORIENTATION;
        dm.dmOrientation = DMORIENT_PORTRAIT;
    }
    bool userSize = dm.dmPaperSize == DMPAPER_USER && (dm.dmFields & DM_PAPERWIDTH) && (dm.dmFields & DM_PAPERLENGTH)
        && dm.dmPaperWidth > 0 && dm.dmPaperLength > 0;
    if (!(dm.dmFields & DM_PAPERSIZE) || (!userSize && PaperSizeOf(dm.dmPaperSize).code == 0)) {
        dm.dmFields = (dm.dmFields | DM_PAPERSIZE) & ~DWORD(DM_PAPERWIDTH | DM_PAPERLENGTH);
        dm.dmPaperSize = DMPAPER_LETTER;
        dm.dmPaperWidth = 0;
        dm.dmPaperLength = 0;
    }
    dm.dmFields |= DM_COPIES;
    dm.dmCopies = 1;
    return dm;
}

size_t DefaultPrinterIndex(const std::vector<PrinterChoice>& printers)
{
    for (size_t i = 0; i < printers.size(); ++i)
        if (printers[i].isDefault)
            return i;
    return 0;
}

// Reads the caller's blocks, trusting nothing about their sizes.
void ReadBlocks(const PRINTDLG& pd, PrintState& s)
{
    bool named = false;
    if (pd.hDevNames) {
        SIZE_T size = GlobalSize(pd.hDevNames);
        auto* names = static_cast<const char*>(GlobalLock(pd.hDevNames));
        if (names && size > sizeof(DEVNAMES)) {
            DEVNAMES header;
            std::memcpy(&header, names, sizeof header);
            WORD offset = header.wDeviceOffset;
            if (offset >= sizeof(DEVNAMES) && offset < size && std::memchr(names + offset, '\0', size - offset)) {
                std::string device(names + offset);
                for (size_t i = 0; i < s.printers.size(); ++i)
                    if (s.printers[i].device == device) {
                        s.printer = i;
                        named = true;
                    }
            }
        }
        if (names)
            GlobalUnlock(pd.hDevNames);
    }
    if (pd.hDevMode) {
        SIZE_T size = GlobalSize(pd.hDevMode);
        const void* mode = GlobalLock(pd.hDevMode);
        if (mode && size >= offsetof(DEVMODE, dmCopies) + sizeof(SHORT)) {
            DEVMODE dm{};
            std::memcpy(&dm, mode, std::min<SIZE_T>(size, sizeof dm));
            if ((dm.dmFields & DM_ORIENTATION)
                && (dm.dmOrientation == DMORIENT_PORTRAIT || dm.dmOrientation == DMORIENT_LANDSCAPE))
                s.orientation = dm.dmOrientation;
            // A custom size is the printer's own; the caller's is not kept.
            if ((dm.dmFields & DM_PAPERSIZE) && PaperSizeOf(dm.dmPaperSize).code != 0 && FindPaper(dm.dmPaperSize))
                s.paper = dm.dmPaperSize;
            if ((dm.dmFields & DM_COPIES) && dm.dmCopies >= 1)
                s.copies = dm.dmCopies;
            // Without DEVNAMES the DEVMODE's device chooses the printer.
            if (!named) {
                std::string device(reinterpret_cast<const char*>(dm.dmDeviceName),
                    strnlen(reinterpret_cast<const char*>(dm.dmDeviceName), CCHDEVICENAME));
                for (size_t i = 0; i < s.printers.size(); ++i)
                    if (!device.empty() && s.printers[i].device == device)
                        s.printer = i;
            }
        }
        if (mode)
            GlobalUnlock(pd.hDevMode);
    }
}

HGLOBAL MakeDevMode(const PrintState& s, int copies)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODE));
    auto* out = static_cast<DEVMODE*>(GlobalLock(h));
    if (!out)
        return h;
    DEVMODE dm = PrinterDefaults(s.printers[s.printer].device);
    if (s.orientation != 0)
        dm.dmOrientation = s.orientation;
    // A custom size stays only where the printer itself has one.
    if (s.paper != 0 && (s.paper != DMPAPER_USER || dm.dmPaperSize != DMPAPER_USER)) {
        dm.dmPaperSize = s.paper == DMPAPER_USER ? DMPAPER_LETTER : s.paper;
        dm.dmFields &= ~DWORD(DM_PAPERWIDTH | DM_PAPERLENGTH);
        dm.dmPaperWidth = 0;
        dm.dmPaperLength = 0;
    }
    dm.dmCopies = SHORT(copies);
    std::memcpy(out, &dm, sizeof dm);
    GlobalUnlock(h);
    return h;
}

HGLOBAL MakeDevNames(const PrintState& s)
{
    const PrinterChoice& p = s.printers[s.printer];
    size_t size = sizeof(DEVNAMES) + p.driver.size() + p.device.size() + p.port.size() + 3;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* block = static_cast<char*>(GlobalLock(h));
    if (!block)
        return h;
    DEVNAMES header{};
    size_t at = sizeof(DEVNAMES);
    auto put = [&](const std::string& text) {
        WORD offset = WORD(at);
        std::memcpy(block + at, text.c_str(), text.size() + 1);
        at += text.size() + 1;
        return offset;
    };
    header.wDriverOffset = put(p.driver);
    header.wDeviceOffset = put(p.device);
    header.wOutputOffset = put(p.port);
    header.wDefault = p.isDefault ? DN_DEFAULTPRN : 0;
    std::memcpy(block, &header, sizeof header);
    GlobalUnlock(h);
    return h;
}

// Replaces the caller's blocks with the chosen printer's and makes the DC
// asked for.
BOOL Deliver(PRINTDLG& pd, const PrintState& s)
{
    int copies = s.copies;
    if (!s.setup) {
        if (pd.Flags & PD_USEDEVMODECOPIES) {
            pd.nCopies = 1;
        } else {
            pd.nCopies = WORD(copies);
            copies = 1;
        }
    }
    HGLOBAL mode = MakeDevMode(s, copies);
    HGLOBAL names = MakeDevNames(s);
    if (!mode || !names) {
        GlobalFree(mode);
        GlobalFree(names);
        return FALSE;
    }
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
    pd.hDevMode = mode;
    pd.hDevNames = names;
    pd.hDC = NULL;
    if (pd.Flags & PD_RETURNDC) {
        pd.hDC = AfxCreateDC(names, mode);
    } else if (pd.Flags & PD_RETURNIC) {
        const PrinterChoice& p = s.printers[s.printer];
        auto* dm = static_cast<DEVMODE*>(GlobalLock(mode));
        pd.hDC = CreateIC(p.driver.c_str(), p.device.c_str(), p.port.c_str(), dm);
        GlobalUnlock(mode);
    }
    return TRUE;
}

bool HasHook(const PrintState& s)
{
    const PRINTDLG& pd = *s.pd;
    return s.setup ? (pd.Flags & PD_ENABLESETUPHOOK) && pd.lpfnSetupHook
                   : (pd.Flags & PD_ENABLEPRINTHOOK) && pd.lpfnPrintHook;
}

UINT_PTR CallHook(const PrintState& s, HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const PRINTDLG& pd = *s.pd;
    if (s.setup && (pd.Flags & PD_ENABLESETUPHOOK) && pd.lpfnSetupHook)
        return pd.lpfnSetupHook(hDlg, msg, wParam, lParam);
    if (!s.setup && (pd.Flags & PD_ENABLEPRINTHOOK) && pd.lpfnPrintHook)
        return pd.lpfnPrintHook(hDlg, msg, wParam, lParam);
    return 0;
}

void Accept(HWND hDlg, PrintState& s)
{
    LRESULT printer = SendDlgItemMessage(hDlg, PD_ID_PRINTER, CB_GETCURSEL, 0, 0);
    if (printer >= 0 && size_t(printer) < s.printers.size())
        s.printer = size_t(printer);
    if (s.setup) {
        LRESULT paper = SendDlgItemMessage(hDlg, PD_ID_PAPER, CB_GETCURSEL, 0, 0);
        if (paper >= 0 && size_t(paper) < s.paperList.size())
            s.paper = s.paperList[size_t(paper)].code;
        s.orientation = IsDlgButtonChecked(hDlg, PD_ID_LANDSCAPE) == BST_CHECKED ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    } else {
        BOOL ok = FALSE;
        UINT copies = GetDlgItemInt(hDlg, PD_ID_COPIES, &ok, FALSE);
        s.copies = ok ? int(std::clamp<UINT>(copies, 1, 9999)) : 1;
    }
}

INT_PTR CALLBACK PrintProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        auto* s = reinterpret_cast<PrintState*>(lParam);
        SetWindowLongPtr(hDlg, DWLP_USER, LONG_PTR(s));
        for (const PrinterChoice& p : s->printers)
            SendDlgItemMessage(hDlg, PD_ID_PRINTER, CB_ADDSTRING, 0, LPARAM(p.device.c_str()));
        SendDlgItemMessage(hDlg, PD_ID_PRINTER, CB_SETCURSEL, WPARAM(s->printer), 0);
        if (s->setup) {
            // What is shown starts from the printer's own settings.
            DEVMODE own = PrinterDefaults(s->printers[s->printer].device);
            short paper = s->paper != 0 ? s->paper : own.dmPaperSize;
            short orientation = s->orientation != 0 ? s->orientation : own.dmOrientation;
            s->paperList.assign(kPapers, kPapers + kAlwaysOffered);
            if (const Paper* extra = FindPaper(paper); extra && extra - kPapers >= std::ptrdiff_t(kAlwaysOffered))
                s->paperList.push_back(*extra);
            for (size_t i = 0; i < s->paperList.size(); ++i) {
                SendDlgItemMessage(hDlg, PD_ID_PAPER, CB_ADDSTRING, 0, LPARAM(s->paperList[i].name));
                if (s->paperList[i].code == paper)
                    SendDlgItemMessage(hDlg, PD_ID_PAPER, CB_SETCURSEL, WPARAM(i), 0);
            }
            CheckRadioButton(hDlg, PD_ID_PORTRAIT, PD_ID_LANDSCAPE,
                orientation == DMORIENT_LANDSCAPE ? PD_ID_LANDSCAPE : PD_ID_PORTRAIT);
        } else {
            SetDlgItemInt(hDlg, PD_ID_COPIES, UINT(s->copies), FALSE);
        }
        // A hook's answer decides whether the default focus is set.
        if (HasHook(*s))
            return INT_PTR(CallHook(*s, hDlg, WM_INITDIALOG, wParam, LPARAM(s->pd)));
        return TRUE;
    }
    auto* s = reinterpret_cast<PrintState*>(GetWindowLongPtr(hDlg, DWLP_USER));
    if (!s)
        return FALSE;
    if (UINT_PTR handled = CallHook(*s, hDlg, msg, wParam, lParam))
        return INT_PTR(handled);
    if (msg != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        Accept(hDlg, *s);
        EndDialog(hDlg, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    case PD_ID_HELP:
        PostHelpToOwner(s->pd->hwndOwner, hDlg, s->pd);
        return TRUE;
    default:
        return FALSE;
    }
}

std::vector<DialogItemTemplate> PrintItems(bool setup, DWORD flags)
{
    std::vector<DialogItemTemplate> items;
    auto add = [&](DWORD style, short x, short y, short cx, short cy, int id, const char* cls, const char* text) {
        AddDialogItem(items, style, x, y, cx, cy, id, cls, text);
    };
    add(BS_GROUPBOX, 4, 4, 232, 32, -1, "BUTTON", "Printer");
    add(SS_LEFT, 10, 18, 30, 9, -1, "STATIC", "&Name:");
    add(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 44, 16, 186, 80, PD_ID_PRINTER, "COMBOBOX", "");
    if (setup) {
        add(BS_GROUPBOX, 4, 40, 140, 32, -1, "BUTTON", "Paper");
        add(SS_LEFT, 10, 54, 26, 9, -1, "STATIC", "Si&ze:");
        add(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 40, 52, 98, 60, PD_ID_PAPER, "COMBOBOX", "");
        add(BS_GROUPBOX, 150, 40, 86, 32, -1, "BUTTON", "Orientation");
        add(BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 156, 50, 70, 9, PD_ID_PORTRAIT, "BUTTON", "P&ortrait");
        add(BS_AUTORADIOBUTTON, 156, 60, 70, 9, PD_ID_LANDSCAPE, "BUTTON", "L&andscape");
    } else {
        add(BS_GROUPBOX, 4, 40, 232, 32, -1, "BUTTON", "Copies");
        add(SS_LEFT, 10, 54, 70, 9, -1, "STATIC", "Number of &copies:");
        add(ES_NUMBER | WS_BORDER | WS_TABSTOP | WS_GROUP, 84, 52, 30, 12, PD_ID_COPIES, "EDIT", "");
    }
    bool help = (flags & PD_SHOWHELP) != 0;
    short x = help ? 88 : 136;
    add(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, x, 78, 46, 14, IDOK, "BUTTON", "OK");
    add(BS_PUSHBUTTON | WS_TABSTOP, short(x + 50), 78, 46, 14, IDCANCEL, "BUTTON", "Cancel");
    if (help)
        add(BS_PUSHBUTTON | WS_TABSTOP, short(x + 100), 78, 46, 14, PD_ID_HELP, "BUTTON", "&Help");
    return items;
}

} // namespace

BOOL PrintDlg(LPPRINTDLG lppd)
{
    if (!lppd || lppd->lStructSize != sizeof(PRINTDLG)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PrintState state;
    state.pd = lppd;
    state.printers = platform::AvailablePrinters();
    state.setup = (lppd->Flags & PD_PRINTSETUP) != 0;
    state.printer = DefaultPrinterIndex(state.printers);
    if (lppd->Flags & PD_RETURNDEFAULT) {
        // The caller's blocks would be lost: asking for the defaults
        // requires that there are none yet.
        if (lppd->hDevMode || lppd->hDevNames) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        state.setup = true; // nCopies is left alone
        return Deliver(*lppd, state);
    }
    ReadBlocks(*lppd, state);
    if (!state.setup && !(lppd->Flags & PD_USEDEVMODECOPIES) && lppd->nCopies >= 1)
        state.copies = lppd->nCopies;

    std::vector<DialogItemTemplate> items = PrintItems(state.setup, lppd->Flags);
    const char* caption = state.setup ? "Print Setup" : "Print";
    if (platform::RunCommonDialog(caption, 240, 98, items, lppd->hwndOwner, PrintProc, LPARAM(&state)) != IDOK)
        return FALSE;
    return Deliver(*lppd, state);
}
