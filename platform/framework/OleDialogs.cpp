#include "platform/framework/OleDialogs.h"

#include "platform/base/ResourceTables.h"
#include "platform/framework/OleData.h"
#include "platform/framework/OleDoc.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommDlgShared.h"

#include <vector>

IMPLEMENT_DYNAMIC(COleDialog, CObject)
IMPLEMENT_DYNAMIC(COleInsertDialog, COleDialog)
IMPLEMENT_DYNAMIC(COlePasteSpecialDialog, COleDialog)

namespace {

// The OLE dialogs' own result codes.
constexpr UINT kOleUiOk = 1;
constexpr UINT kOleUiCancel = 2;

bool IsEmbeddingFormat(CLIPFORMAT cf)
{
    return cf == ::RegisterClipboardFormat("Embed Source") || cf == ::RegisterClipboardFormat("Embedded Object");
}

bool IsPictureFormat(CLIPFORMAT cf)
{
    return cf == CF_METAFILEPICT || cf == CF_DIB || cf == CF_BITMAP || cf == CF_ENHMETAFILE;
}

// An entry that can only be linked cannot be pasted here.
bool CanPasteEntry(const OLEUIPASTEENTRY& entry)
{
    constexpr DWORD kLinkBits = 0xFF | OLEUIPASTE_LINKANYTYPE;
    return (entry.dwFlags & OLEUIPASTE_PASTE) != 0 || (entry.dwFlags & kLinkBits) == 0;
}

CString ResultText(const OLEUIPASTEENTRY& entry)
{
    CString text = "Inserts the contents of the clipboard into your document as ";
    text += entry.strResultText.IsEmpty() ? entry.strFormatName : entry.strResultText;
    text += ".";
    return text;
}

} // namespace

// What the dialog procedure works on while the dialog runs.
struct COlePasteSpecialDialog::Running {
    COlePasteSpecialDialog* dialog;
    std::vector<int> shown; // entries of m_ps listed, in list order
};

namespace {

void ShowResult(HWND hDlg, const COlePasteSpecialDialog::Running& run)
{
    const LRESULT sel = ::SendDlgItemMessage(hDlg, IDC_PS_DISPLAYLIST, LB_GETCURSEL, 0, 0);
    CString text;
    if (sel >= 0 && size_t(sel) < run.shown.size())
        text = ResultText(run.dialog->m_ps.arrPasteEntries[size_t(run.shown[size_t(sel)])]);
    ::SetDlgItemText(hDlg, IDC_PS_RESULTTEXT, text);
    ::EnableWindow(::GetDlgItem(hDlg, IDOK), sel >= 0);
}

INT_PTR CALLBACK PasteSpecialProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* run = reinterpret_cast<COlePasteSpecialDialog::Running*>(::GetWindowLongPtr(hDlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        run = reinterpret_cast<COlePasteSpecialDialog::Running*>(lParam);
        ::SetWindowLongPtr(hDlg, DWLP_USER, lParam);
        HWND hList = ::GetDlgItem(hDlg, IDC_PS_DISPLAYLIST);
        for (int index : run->shown) {
            const CString& name = run->dialog->m_ps.arrPasteEntries[size_t(index)].strFormatName;
            ::SendMessage(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(name)));
        }
        if (!run->shown.empty())
            ::SendMessage(hList, LB_SETCURSEL, 0, 0);
        ::CheckRadioButton(hDlg, IDC_PS_PASTE, IDC_PS_PASTELINK, IDC_PS_PASTE);
        ShowResult(hDlg, *run);
        ::SetFocus(hList);
        return FALSE;
    }
    case WM_COMMAND: {
        if (run == NULL)
            return FALSE;
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (id == IDC_PS_DISPLAYLIST && code == LBN_SELCHANGE) {
            ShowResult(hDlg, *run);
            return TRUE;
        }
        if (id == IDOK || (id == IDC_PS_DISPLAYLIST && code == LBN_DBLCLK)) {
            const LRESULT sel = ::SendDlgItemMessage(hDlg, IDC_PS_DISPLAYLIST, LB_GETCURSEL, 0, 0);
            if (sel < 0 || size_t(sel) >= run->shown.size())
                return TRUE;
            run->dialog->m_ps.nSelectedIndex = run->shown[size_t(sel)];
            run->dialog->m_ps.fLink = FALSE;
            ::EndDialog(hDlg, IDOK);
            return TRUE;
        }
        if (id == IDCANCEL) {
            ::EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace

HWND COleDialog::ParentWindow() const
{
    HWND hWnd = m_pParentWnd != NULL ? m_pParentWnd->GetSafeHwnd() : NULL;
    if (hWnd == NULL)
        hWnd = ::GetActiveWindow();
    return hWnd;
}

// ---- COleInsertDialog -------------------------------------------------------------------------

COleInsertDialog::COleInsertDialog(DWORD dwFlags, CWnd* pParentWnd) : COleDialog(pParentWnd), m_dwFlags(dwFlags)
{
}

INT_PTR COleInsertDialog::DoModal()
{
    AfxMessageBox("Inserting objects from other programs is not available.", MB_OK | MB_ICONINFORMATION);
    m_nLastError = kOleUiCancel;
    return IDCANCEL;
}

BOOL COleInsertDialog::CreateItem(COleClientItem*)
{
    return FALSE;
}

// ---- COlePasteSpecialDialog -------------------------------------------------------------------

COlePasteSpecialDialog::COlePasteSpecialDialog(DWORD dwFlags, COleDataObject* pDataObject, CWnd* pParentWnd)
    : COleDialog(pParentWnd), m_pDataObject(pDataObject)
{
    m_ps.dwFlags = dwFlags;
}

void COlePasteSpecialDialog::AddFormat(const FORMATETC& formatEtc, LPCTSTR lpszFormat, LPCTSTR lpszResult,
    DWORD flags)
{
    OLEUIPASTEENTRY entry{};
    entry.fmtetc = formatEtc;
    entry.strFormatName = lpszFormat != NULL ? lpszFormat : "";
    entry.strResultText = lpszResult != NULL ? lpszResult : "";
    entry.dwFlags = flags;
    entry.dwScratchSpace = 0;
    m_ps.arrPasteEntries.push_back(entry);
}

void COlePasteSpecialDialog::AddFormat(UINT cf, DWORD tymed, UINT nFormatID, BOOL bEnableIcon, BOOL bLink)
{
    // The string is "list text\nresult text".
    CString both;
    both.LoadString(nFormatID);
    CString name = both;
    CString result;
    const int newline = both.Find('\n');
    if (newline >= 0) {
        name = both.Left(newline);
        result = both.Mid(newline + 1);
    }
    if (name.IsEmpty()) {
        char registered[256] = {};
        if (::GetClipboardFormatName(cf, registered, int(sizeof registered)) > 0)
            name = registered;
        else
            name.Format("Format %u", cf);
    }
    FORMATETC fe{CLIPFORMAT(cf), NULL, DVASPECT_CONTENT, -1, tymed};
    DWORD flags = OLEUIPASTE_PASTE;
    if (bEnableIcon)
        flags |= OLEUIPASTE_ENABLEICON;
    if (bLink)
        flags |= OLEUIPASTE_LINKANYTYPE;
    AddFormat(fe, name, result, flags);
}

void COlePasteSpecialDialog::AddStandardFormats(BOOL bEnableLink)
{
    auto add = [this](CLIPFORMAT cf, DWORD tymed, LPCTSTR name, LPCTSTR result, DWORD flags) {
        FORMATETC fe{cf, NULL, DVASPECT_CONTENT, -1, tymed};
        AddFormat(fe, name, result, flags);
    };
    add(CLIPFORMAT(::RegisterClipboardFormat("Embed Source")), TYMED_ISTORAGE, "Object", "an object",
        OLEUIPASTE_PASTE | OLEUIPASTE_ENABLEICON);
    add(CLIPFORMAT(::RegisterClipboardFormat("Embedded Object")), TYMED_ISTORAGE, "Object", "an object",
        OLEUIPASTE_PASTE | OLEUIPASTE_ENABLEICON);
    if (bEnableLink) {
        add(CLIPFORMAT(::RegisterClipboardFormat("Link Source")), TYMED_ISTREAM, "Object", "a link",
            OLEUIPASTE_LINKTYPE1 | OLEUIPASTE_ENABLEICON);
    }
    add(CF_METAFILEPICT, TYMED_MFPICT, "Picture (Metafile)", "a picture", OLEUIPASTE_PASTEONLY);
    add(CF_ENHMETAFILE, TYMED_ENHMF, "Picture (Enhanced Metafile)", "a picture", OLEUIPASTE_PASTEONLY);
    add(CF_DIB, TYMED_HGLOBAL, "Device Independent Bitmap", "a device independent bitmap", OLEUIPASTE_PASTEONLY);
    add(CF_BITMAP, TYMED_GDI, "Bitmap", "a bitmap", OLEUIPASTE_PASTEONLY);
}

INT_PTR COlePasteSpecialDialog::DoModal()
{
    m_ps.nSelectedIndex = -1;
    m_ps.fLink = FALSE;

    COleDataObject clipboard;
    COleDataObject* pData = m_pDataObject;
    if (pData == NULL) {
        clipboard.AttachClipboard();
        pData = &clipboard;
    }
    Running run{this, {}};
    for (size_t i = 0; i < m_ps.arrPasteEntries.size(); ++i) {
        const OLEUIPASTEENTRY& entry = m_ps.arrPasteEntries[i];
        if (!CanPasteEntry(entry))
            continue;
        // The same format offered twice (an object under two names) is
        // listed once, under its first entry.
        bool listed = false;
        for (int shown : run.shown)
            listed = listed || m_ps.arrPasteEntries[size_t(shown)].fmtetc.cfFormat == entry.fmtetc.cfFormat;
        if (!listed && pData->IsDataAvailable(entry.fmtetc.cfFormat))
            run.shown.push_back(int(i));
    }

    using platform::AddDialogItem;
    std::vector<platform::DialogItemTemplate> items;
    AddDialogItem(items, SS_LEFT, 7, 7, 180, 9, IDC_PS_SOURCETEXT, "STATIC", "Source: the clipboard");
    AddDialogItem(items, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 7, 30, 55, 10, IDC_PS_PASTE, "BUTTON", "&Paste");
    AddDialogItem(items, BS_AUTORADIOBUTTON | WS_DISABLED, 7, 44, 55, 10, IDC_PS_PASTELINK, "BUTTON", "Paste &Link");
    AddDialogItem(items, SS_LEFT, 68, 20, 40, 9, -1, "STATIC", "&As:");
    AddDialogItem(items, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 68, 30, 119, 52, IDC_PS_DISPLAYLIST,
        "LISTBOX", "");
    AddDialogItem(items, BS_GROUPBOX, 7, 84, 180, 32, -1, "BUTTON", "Result");
    AddDialogItem(items, SS_LEFT, 13, 95, 168, 18, IDC_PS_RESULTTEXT, "STATIC", "");
    AddDialogItem(items, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 196, 7, 50, 14, IDOK, "BUTTON", "OK");
    AddDialogItem(items, BS_PUSHBUTTON | WS_TABSTOP, 196, 24, 50, 14, IDCANCEL, "BUTTON", "Cancel");

    const INT_PTR result = platform::RunCommonDialog("Paste Special", 253, 123, items, ParentWindow(),
        PasteSpecialProc, reinterpret_cast<LPARAM>(&run));
    if (result != IDOK)
        m_ps.nSelectedIndex = -1;
    m_nLastError = result == IDOK ? kOleUiOk : kOleUiCancel;
    return result == IDOK ? IDOK : IDCANCEL;
}

CLIPFORMAT COlePasteSpecialDialog::GetSelectedFormat() const
{
    const int index = m_ps.nSelectedIndex;
    if (index < 0 || size_t(index) >= m_ps.arrPasteEntries.size())
        return 0;
    return m_ps.arrPasteEntries[size_t(index)].fmtetc.cfFormat;
}

UINT COlePasteSpecialDialog::GetSelectionType() const
{
    const CLIPFORMAT cf = GetSelectedFormat();
    if (cf == 0)
        return 0;
    if (m_ps.fLink)
        return pasteLink;
    if (IsEmbeddingFormat(cf))
        return pasteNormal;
    if (IsPictureFormat(cf))
        return pasteStatic;
    return pasteOther;
}

BOOL COlePasteSpecialDialog::CreateItem(COleClientItem*)
{
    return FALSE;
}
