#include "app/Utilities.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "platform/files/CrtFiles.h"
#include "platform/framework/Afx.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/DocTemplate.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/services/SystemInfo.h"
#include "platform/ui/User.h"
#include "resources/resource.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* kOwnDisplayFonts[] = {
    "FRANK", "REFINED", "MOOK", "GRAFFITI", "CARTOONIST", "TANGIERS", "TECHNO", "CATCHUP", "SHELL", "PHOENIX",
    "NORWAY", "MYSTIC", "LISTE", "LYNDA", "KIEV", "KOSHER", "IRONWORK", "INDY", "HALO", "GALLERY", "GEO 112",
    "FUSI", "FLAIR", "FLAT BRUSH", "ENGRAVED", "ENVIEW", "EXPOSE", "ENG GOTHIC", "DOLPHIN", "DANTO", "COBALT",
    "CUPID", "CHANEY", "BID ROMAN", "BILLBOARD 11", "BIMINI", "BRANDO", "BRUSHSTROKE 35", "BUSSO", "BART", "BEAU",
    "BLISS", "ACHE", "ANTIQUA 101", "ALPS", "AMOS", "AMAZE", "ALOR", "AIDAN", "ALOE",
};

CString SectionName(UINT nSectionID)
{
    CString section;
    section.LoadString(nSectionID);
    return section;
}

// Reads an unsigned or signed decimal number as the C library's scanf does
// (leading blanks, an optional sign), refusing one that does not fit.
bool ReadNumber(const char*& p, long long low, long long high, long long& value)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (!isdigit(static_cast<unsigned char>(*p)))
        return false;
    long long number = 0;
    while (isdigit(static_cast<unsigned char>(*p))) {
        number = number * 10 + (*p++ - '0');
        if (number > high - low + 1)
            return false;
    }
    value = negative ? -number : number;
    return value >= low && value <= high;
}

bool ReadLiteral(const char*& p, char ch)
{
    if (*p != ch)
        return false;
    ++p;
    return true;
}

} // namespace

// Fonts

CFontList::~CFontList()
{
    RemoveAll();
}

void CFontList::RemoveAll()
{
    for (int i = 0; i < GetCount(); ++i)
        delete GetAt(i);
    m_entries.RemoveAll();
    m_bReceivedAny = FALSE;
}

BOOL IsOwnDisplayFont(LPCTSTR lpszFaceName)
{
    if (!lpszFaceName)
        return FALSE;
    CString face(lpszFaceName);
    return std::any_of(std::begin(kOwnDisplayFonts), std::end(kOwnDisplayFonts),
        [&](const char* name) { return face.CompareNoCase(name) == 0; });
}

int CALLBACK EnumTrueTypeFontProc(const LOGFONT* pLogFont, const TEXTMETRIC* pMetric, DWORD dwFontType, LPARAM lParam)
{
    auto* pList = reinterpret_cast<CFontList*>(lParam);
    if (!(dwFontType & TRUETYPE_FONTTYPE) || !pLogFont || !pMetric || !pList)
        return TRUE;
    // TrueType fonts are reported with the longer metric record.
    DWORD flags = reinterpret_cast<const NEWTEXTMETRIC*>(pMetric)->ntmFlags;
    BYTE style = 0;
    if ((flags & (NTM_ITALIC | NTM_BOLD)) == (NTM_ITALIC | NTM_BOLD))
        style = CFontEntry::kBoldItalic;
    else if (flags & NTM_ITALIC)
        style = CFontEntry::kItalic;
    else if (flags & NTM_BOLD)
        style = CFontEntry::kBold;
    pList->m_bReceivedAny = TRUE;
    if ((thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) && !IsOwnDisplayFont(pLogFont->lfFaceName))
        return TRUE;
    // Wrapped text stores its faces in a run string where "," and ")" end
    // a face: a face holding either could not be kept.
    const std::string_view face(pLogFont->lfFaceName, strnlen(pLogFont->lfFaceName, LF_FACESIZE));
    if (face.find_first_of(",)") != std::string_view::npos)
        return TRUE;
    pList->m_entries.Add(new CFontEntry(style, *pLogFont));
    return TRUE;
}

// Platform check

int GetPlatform(CString& strDescription, BOOL bDescribe)
{
    // Every Linux system we build for is supported, so the old "unsupported
    // platform" box has nothing left to catch.
    if (!bDescribe) {
        strDescription.Empty();
        return kPlatformCurrent;
    }
    platform::OperatingSystem os = platform::DescribeOperatingSystem();
    strDescription.Format(IDS_PLATFORM_DESCRIPTION, os.name.c_str(), os.major, os.minor, os.build & 0xFFFF,
        os.machine.c_str());
    return kPlatformCurrent;
}

// Window placement

CString FormatPlacementText(const WINDOWPLACEMENT& placement)
{
    CString text;
    text.Format("%u,%u,(%d,%d),(%d,%d,%d,%d)", placement.flags, placement.showCmd, (int)placement.ptMinPosition.x,
        (int)placement.ptMinPosition.y, (int)placement.rcNormalPosition.left, (int)placement.rcNormalPosition.top,
        (int)placement.rcNormalPosition.right, (int)placement.rcNormalPosition.bottom);
    return text;
}

int ParsePlacementText(LPCTSTR lpszText, WINDOWPLACEMENT& placement)
{
    if (!lpszText)
        return 0;
    const char* p = lpszText;
    long long values[8] = {};
    // The literal characters that precede each field.
    static const char* const kBefore[8] = { "", ",", ",(", ",", "),(", ",", ",", "," };
    int fields = 0;
    for (; fields < 8; ++fields) {
        bool matched = true;
        for (const char* lit = kBefore[fields]; *lit && matched; ++lit)
            matched = ReadLiteral(p, *lit);
        long long low = fields < 2 ? 0 : INT_MIN;
        long long high = fields < 2 ? UINT_MAX : INT_MAX;
        if (!matched || !ReadNumber(p, low, high, values[fields]))
            break;
    }
    if (fields == 8) {
        placement.flags = static_cast<UINT>(values[0]);
        placement.showCmd = static_cast<UINT>(values[1]);
        placement.ptMinPosition = { static_cast<LONG>(values[2]), static_cast<LONG>(values[3]) };
        placement.rcNormalPosition = { static_cast<LONG>(values[4]), static_cast<LONG>(values[5]),
            static_cast<LONG>(values[6]), static_cast<LONG>(values[7]) };
    }
    return fields;
}

void SaveWindowPlacement(CWnd* pWnd, UINT nSectionID, LPCTSTR lpszValue)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    CString section = SectionName(nSectionID);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (pWnd && pWnd->GetSafeHwnd() && pWnd->GetWindowPlacement(&placement))
        pApp->WriteProfileString(section, lpszValue, FormatPlacementText(placement));
    else
        pApp->WriteProfileString(section, lpszValue, nullptr);
}

void LoadWindowPlacement(CWnd* pWnd, UINT nSectionID, LPCTSTR lpszValue, WINDOWPLACEMENT* pPlacement, int nShowCmd,
    BOOL* pbDefaulted)
{
    if (pbDefaulted)
        *pbDefaulted = FALSE;
    if (!pPlacement)
        return;
    WINDOWPLACEMENT current = {};
    current.length = sizeof current;
    BOOL haveCurrent = pWnd && pWnd->GetSafeHwnd() && pWnd->GetWindowPlacement(&current);
    CString section;
    CWinApp* pApp = AfxGetApp();
    if (haveCurrent && pApp && section.LoadString(nSectionID)) {
        CString text = pApp->GetProfileString(section, lpszValue);
        WINDOWPLACEMENT stored = {};
        if (ParsePlacementText(text, stored) == 8) {
            pPlacement->length = sizeof *pPlacement;
            pPlacement->flags = stored.flags;
            pPlacement->showCmd = stored.showCmd;
            pPlacement->ptMinPosition = stored.ptMinPosition;
            pPlacement->rcNormalPosition = stored.rcNormalPosition;
        } else {
            *pPlacement = current;
            pPlacement->showCmd = nShowCmd;
            if (pbDefaulted)
                *pbDefaulted = TRUE;
        }
    }
    if (haveCurrent)
        pPlacement->ptMaxPosition = current.ptMaxPosition;
}

// Design-file filter

void AppendFilterSuffix(CString& strFilter, CDocTemplate* pTemplate, CString* pstrDefaultExt, BOOL bSelect,
    int* pnFilterIndex)
{
    CString name;
    CString ext;
    if (!pTemplate || !pTemplate->GetDocString(name, CDocTemplate::filterName) || name.IsEmpty()
        || !pTemplate->GetDocString(ext, CDocTemplate::filterExt) || ext.IsEmpty())
        return;
    strFilter += name;
    strFilter += '|';
    strFilter += '*';
    strFilter += ext;
    strFilter += '|';
    if (bSelect) {
        if (pstrDefaultExt)
            *pstrDefaultExt = ext[0] == '.' ? ext.Mid(1) : ext;
        if (pnFilterIndex) {
            // Entries are "name|pattern|" pairs: two separators each.
            int separators = 0;
            for (int i = 0; i < strFilter.GetLength(); ++i)
                separators += strFilter[i] == '|';
            *pnFilterIndex = separators / 2;
        }
    }
}

void BuildDesignFileFilter(CString& strFilter, CString& strDefaultExt, CDocTemplate* pSelect, int& nFilterIndex)
{
    CString allDesigns;
    allDesigns.LoadString(IDS_ALL_DESIGNS);
    // The "All Designs" entry leads, so a template's entry counts from 2.
    CString entries = allDesigns + "|*|";
    CString patterns;
    CWinApp* pApp = AfxGetApp();
    POSITION pos = pApp ? pApp->GetFirstDocTemplatePosition() : nullptr;
    while (pos) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(pos);
        CString name;
        CString ext;
        if (!pTemplate->GetDocString(name, CDocTemplate::filterName) || name.IsEmpty()
            || !pTemplate->GetDocString(ext, CDocTemplate::filterExt) || ext.IsEmpty())
            continue;
        AppendFilterSuffix(entries, pTemplate, &strDefaultExt, pTemplate == pSelect, &nFilterIndex);
        if (!patterns.IsEmpty())
            patterns += ';';
        patterns += "*" + ext;
    }
    strFilter = allDesigns + "|" + patterns + "|" + entries.Mid(allDesigns.GetLength() + 3) + "|";
}

// Profile colours

COLORREF GetProfileColor(LPCTSTR lpszSection, LPCTSTR lpszKey, COLORREF crDefault)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return crDefault;
    auto read = [&](const char* suffix, int fallback) {
        int value = static_cast<int>(pApp->GetProfileInt(lpszSection, CString(lpszKey) + suffix, fallback));
        return static_cast<BYTE>(std::clamp(value, 0, 255));
    };
    return RGB(read("-R", GetRValue(crDefault)), read("-G", GetGValue(crDefault)), read("-B", GetBValue(crDefault)));
}

void WriteProfileColor(LPCTSTR lpszSection, LPCTSTR lpszKey, COLORREF crColor)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    pApp->WriteProfileInt(lpszSection, CString(lpszKey) + "-R", GetRValue(crColor));
    pApp->WriteProfileInt(lpszSection, CString(lpszKey) + "-G", GetGValue(crColor));
    pApp->WriteProfileInt(lpszSection, CString(lpszKey) + "-B", GetBValue(crColor));
}

// Strings

void DeleteSpan(CString& str, int nStart, int nCount)
{
    if (nStart < 0 || nStart >= str.GetLength() || nCount == 0 || nCount < -1)
        return;
    if (nCount == -1 || nCount > str.GetLength() - nStart)
        nCount = str.GetLength() - nStart;
    str.Delete(nStart, nCount);
}

void ReplaceAllInString(CString& str, const CString& strOld, const CString& strNew)
{
    if (strOld.IsEmpty())
        return;
    str.Replace(strOld, strNew);
}

void ReplaceAll(CString& str, LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    ReplaceAllInString(str, CString(lpszOld ? lpszOld : ""), CString(lpszNew ? lpszNew : ""));
}

// Dialogs

void ShowDialogControl(CDialog* pDialog, int nID, BOOL bShow, BOOL bEnable)
{
    if (!pDialog)
        return;
    CWnd* pControl = pDialog->GetDlgItem(nID);
    if (!pControl)
        return;
    // A hidden control keeping the focus would leave the keyboard nowhere.
    if (!bShow && CWnd::GetFocus() == pControl)
        pDialog->NextDlgCtrl();
    pControl->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    pControl->EnableWindow(bEnable);
}

double ScaleToFit(const RECT& rcA, const RECT& rcB, BOOL bInverse)
{
    double widthA = double(rcA.right) - rcA.left;
    double heightA = double(rcA.bottom) - rcA.top;
    double widthB = double(rcB.right) - rcB.left;
    double heightB = double(rcB.bottom) - rcB.top;
    // An empty rectangle on either side has no factor; 1 keeps callers
    // from dividing by zero.
    if (widthA <= 0 || heightA <= 0 || widthB <= 0 || heightB <= 0)
        return 1.0;
    double m = std::max(widthA / widthB, heightA / heightB);
    return bInverse ? m : 1.0 / m;
}

BOOL IsPreviewCapableMachine()
{
    HDC screen = GetDC(NULL);
    int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) : 0;
    if (screen)
        ReleaseDC(NULL, screen);
    if (bits < 5) // 16 colours or fewer
        return FALSE;
    return CPrefData::GetProcessor() != 386;
}

void DisablePreviewsIfWeak()
{
    if (IsPreviewCapableMachine())
        return;
    thePrefs.Flags |= PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.SavePreferences();
}

BOOL PromptSaveFileName(CString& strPath, LPCTSTR lpszDefaultName, LPCTSTR lpszFilter, LPCTSTR lpszFolder,
    CWnd* pParent)
{
    CString name(lpszDefaultName ? lpszDefaultName : "");
    CString ext;
    int dot = name.ReverseFind('.');
    if (dot >= 0)
        ext = name.Mid(dot + 1, 3);
    CString folder(lpszFolder ? lpszFolder : "");
    if (folder.IsEmpty())
        folder = GetCurrentFolder();
    if (folder.IsEmpty())
        folder = GetProgramPath();

    int previousDrive = _getdrive();
    if (folder.GetLength() >= 2 && folder[1] == ':') {
        int letter = toupper(static_cast<unsigned char>(folder[0]));
        if (letter >= 'A' && letter <= 'Z')
            _chdrive(letter - 'A' + 1);
    }
    _chdir(folder);

    std::unique_ptr<CFileDialog> dialog = MakeProgramFileDialog(FALSE, ext.IsEmpty() ? nullptr : (LPCTSTR)ext, name,
        OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, lpszFilter, pParent);
    dialog->m_ofn.lpstrInitialDir = folder;
    BOOL ok = dialog->DoModal() == IDOK;
    if (ok)
        strPath = dialog->GetPathName();
    if (previousDrive > 0)
        _chdrive(previousDrive);
    return ok;
}
