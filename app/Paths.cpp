#include "app/Paths.h"

#include "app/PrefData.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/base/StringArray.h"
#include "platform/files/CrtFiles.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "platform/framework/Afx.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/MdiFrame.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/User.h"
#include "resources/resource.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Buffers of copies are bounded so that a caller's size cannot ask for an
// absurd allocation; 0 means a sensible default.
constexpr UINT kDefaultCopyBuffer = 8192;
constexpr UINT kMaxCopyBuffer = 1u << 20;

// Keeps the system's critical-error and open-file boxes away for a scope.
class QuietErrorMode {
public:
    QuietErrorMode() : m_previous(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) { }
    ~QuietErrorMode() { SetErrorMode(m_previous); }
    QuietErrorMode(const QuietErrorMode&) = delete;
    QuietErrorMode& operator=(const QuietErrorMode&) = delete;

private:
    UINT m_previous;
};

// The application's current help context: the application object keeps no
// copy of its own but reads and sets this one, so that the program-wide calls
// and its Help commands name the same topic.
DWORD g_dwHelpContext = 0;

BOOL EnsureDirectory(const CString& path)
{
    if (IsDirectory(path))
        return TRUE;
    return MakeDirectory(path);
}

} // namespace

CString GetModulePath()
{
    // Ask with a growing buffer: a program folder may be deeper than MAX_PATH.
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetModuleFileName(NULL, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return CString();
        if (length < buffer.size() - 1 || buffer.size() >= 32768)
            return CString(buffer.data(), static_cast<int>(std::min<size_t>(length, buffer.size() - 1)));
        buffer.resize(buffer.size() * 2);
    }
}

CString GetProgramPath(LPCTSTR lpszPart1, LPCTSTR lpszPart2, LPCTSTR lpszPart3, LPCTSTR lpszPart4)
{
    CString path = GetModulePath();
    path = path.Left(path.ReverseFind('\\') + 1);
    for (LPCTSTR part : { lpszPart1, lpszPart2, lpszPart3, lpszPart4 }) {
        if (part)
            path += part;
    }
    return path;
}

CString GetProgramDriveRoot()
{
    CString folder = GetProgramPath();
    if (folder.IsEmpty())
        return CString("C:\\");
    CString root(folder[0]);
    return root + ":\\";
}

CString GetCurrentFolder()
{
    char* folder = _getcwd(nullptr, 0);
    if (!folder)
        return CString();
    CString result(folder);
    free(folder);
    return result;
}

BOOL IsDirectory(LPCTSTR lpszPath)
{
    if (!lpszPath)
        return FALSE;
    QuietErrorMode quiet;
    DWORD attributes = GetFileAttributes(lpszPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL MakeDirectory(LPCTSTR lpszPath)
{
    return lpszPath && _mkdir(lpszPath) != -1;
}

BOOL CreateUserDataFolder(LPCTSTR lpszSubfolder)
{
    CString folder = GetProgramPath("UserData");
    if (!EnsureDirectory(folder))
        return FALSE;
    if (lpszSubfolder && *lpszSubfolder)
        return EnsureDirectory(folder + lpszSubfolder);
    return TRUE;
}

BOOL EnsureTrailingChar(CString& str, char ch, BOOL bAppend)
{
    if (str.IsEmpty())
        return FALSE;
    if (str[str.GetLength() - 1] == ch)
        return TRUE;
    if (!bAppend)
        return FALSE;
    str += ch;
    return TRUE;
}

CString WithTrailingBackslash(CString strFolder)
{
    EnsureTrailingChar(strFolder, '\\', TRUE);
    return strFolder;
}

BOOL HasCompanionMarker()
{
    return FileExists(GetProgramPath("olvw.dat"));
}

BOOL FileExists(LPCTSTR lpszPath, int nMode)
{
    if (!lpszPath)
        return FALSE;
    QuietErrorMode quiet;
    return _access(lpszPath, nMode) == 0;
}

BOOL PathExists(CString strPath, int nMode)
{
    return FileExists(strPath, nMode);
}

BOOL RemoveFile(LPCTSTR lpszPath)
{
    try {
        CFile::Remove(lpszPath);
        return TRUE;
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
}

BOOL CopyFileBuffered(LPCTSTR lpszSource, LPCTSTR lpszDestination, UINT nBufferSize)
{
    if (!lpszSource || !lpszDestination)
        return FALSE;
    // Opening the destination for writing would truncate the source when
    // both name one file, by another spelling, a link or another drive.
    if (CString(lpszSource).CompareNoCase(lpszDestination) == 0 || platform::IsSameFile(lpszSource, lpszDestination))
        return FALSE;
    if (nBufferSize == 0)
        nBufferSize = kDefaultCopyBuffer;
    nBufferSize = std::min(nBufferSize, kMaxCopyBuffer);

    CFile in;
    CFile out;
    bool created = false;
    try {
        std::vector<char> buffer(nBufferSize);
        CFileException error;
        if (!in.Open(lpszSource, CFile::modeRead | CFile::shareExclusive, &error))
            return FALSE;
        if (!out.Open(lpszDestination, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error))
            return FALSE;
        created = true;
        for (;;) {
            UINT got = in.Read(buffer.data(), nBufferSize);
            if (got == 0)
                break;
            out.Write(buffer.data(), got);
        }
        out.Close();
        in.Close();
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        out.Abort();
        in.Abort();
        if (created)
            DeleteFile(lpszDestination);
        return FALSE;
    }
}

void GetTempFilePath(CString& strPath, LPCTSTR lpszPrefix)
{
    strPath.Empty();
    DWORD needed = GetTempPath(0, nullptr);
    if (needed > 0 && needed < 32768) {
        std::vector<char> folder(needed + 1);
        DWORD length = GetTempPath(static_cast<DWORD>(folder.size()), folder.data());
        if (length > 0 && length < folder.size()) {
            // GetTempFileName writes at most MAX_PATH characters.
            std::vector<char> name(MAX_PATH + 1, '\0');
            if (GetTempFileName(folder.data(), lpszPrefix ? lpszPrefix : "ov4", 0, name.data()) != 0)
                strPath = name.data();
        }
    }
    if (strPath.IsEmpty())
        AfxThrowFileException(CFileException::generic);
}

BOOL ReadTextFile(LPCTSTR lpszPath, CString& strText)
{
    strText.Empty();
    try {
        CFile file;
        CFileException error;
        if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyWrite, &error))
            return FALSE;
        UINT size = static_cast<UINT>(std::min<ULONGLONG>(file.GetLength(), kMaxTextFileBytes));
        std::vector<char> bytes(size);
        UINT got = size ? file.Read(bytes.data(), size) : 0;
        strText = CString(bytes.data(), static_cast<int>(got));
        file.Close();
        return TRUE;
    } catch (CFileException* e) {
        e->Delete();
        strText.Empty();
        return FALSE;
    }
}

namespace {
ProgramFileDialogMaker& FileDialogMaker()
{
    static ProgramFileDialogMaker maker = nullptr;
    return maker;
}
} // namespace

void SetProgramFileDialogMaker(ProgramFileDialogMaker maker)
{
    FileDialogMaker() = maker;
}

std::unique_ptr<CFileDialog> MakeProgramFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
    DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd)
{
    if (ProgramFileDialogMaker maker = FileDialogMaker())
        return maker(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd);
    return std::make_unique<CFileDialog>(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd);
}

BOOL BrowseForTextFile(CString& strPath)
{
    strPath.Empty();
    CString filter;
    filter.LoadString(IDS_TEXT_FILE_FILTER);
    CString initial = GetProgramDriveRoot();
    std::unique_ptr<CFileDialog> dialog = MakeProgramFileDialog(TRUE, "txt", nullptr,
        OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, filter, AfxGetMainWnd());
    dialog->m_ofn.lpstrInitialDir = initial;
    if (dialog->DoModal() != IDOK)
        return FALSE;
    strPath = dialog->GetPathName();
    return !strPath.IsEmpty();
}

CString AbbreviatePath(CDC* pDC, const CString& strPath, int nMaxWidth)
{
    auto fits = [&](const CString& text) { return pDC->GetTextExtent(text).cx <= nMaxWidth; };
    if (!pDC || fits(strPath))
        return strPath;

    // The head that always stays: "C:\" or "\\server\".
    int headEnd;
    int colon = strPath.Find(':');
    if (colon >= 0) {
        headEnd = colon + 2;
    } else {
        int slash = strPath.Find('\\', 2);
        if (slash < 0)
            return strPath;
        headEnd = slash + 1;
    }
    if (headEnd <= 1 || headEnd > strPath.GetLength())
        return strPath;

    const CString head = strPath.Left(headEnd) + "...";
    CString rest = strPath.Mid(headEnd);
    CString text = strPath;
    for (;;) {
        int slash = rest.Find('\\');
        if (slash < 0 || fits(text))
            break;
        rest = rest.Mid(slash);
        text = head + rest;
        rest = rest.Mid(1);
    }
    return text;
}

void SetWindowTextPath(CWnd* pWnd, const CString& strPath)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    CRect client;
    pWnd->GetClientRect(&client);
    CClientDC dc(pWnd);
    // The text is drawn in the window's font, so measure in it.
    CFont* pFont = pWnd->GetFont();
    CFont* pOld = pFont ? dc.SelectObject(pFont) : nullptr;
    CString text = AbbreviatePath(&dc, strPath, client.Width());
    if (pOld)
        dc.SelectObject(pOld);
    pWnd->SetWindowText(text);
}

namespace {

// A ';'-separated pattern list with strLong after strShort wherever it has
// strShort and not strLong already.
CString WithLongExtension(const CString& strPatterns, LPCTSTR lpszShort, LPCTSTR lpszLong)
{
    CString strResult;
    BOOL bHasLong = FALSE;
    for (int nStart = 0; nStart <= strPatterns.GetLength();) {
        int nEnd = strPatterns.Find(';', nStart);
        if (nEnd < 0)
            nEnd = strPatterns.GetLength();
        bHasLong = bHasLong || strPatterns.Mid(nStart, nEnd - nStart).CompareNoCase(lpszLong) == 0;
        nStart = nEnd + 1;
    }
    for (int nStart = 0; nStart <= strPatterns.GetLength();) {
        int nEnd = strPatterns.Find(';', nStart);
        if (nEnd < 0)
            nEnd = strPatterns.GetLength();
        const CString strPattern = strPatterns.Mid(nStart, nEnd - nStart);
        strResult += strPattern;
        if (!bHasLong && strPattern.CompareNoCase(lpszShort) == 0) {
            strResult += ';';
            strResult += lpszLong;
        }
        if (nEnd < strPatterns.GetLength())
            strResult += ';';
        nStart = nEnd + 1;
    }
    return strResult;
}

} // namespace

CString BuildPictureFilter()
{
    CString filter;
    for (UINT id : { IDS_PICTURE_FILTER1, IDS_PICTURE_FILTER2, IDS_PICTURE_FILTER3 }) {
        CString part;
        part.LoadString(id);
        filter += part;
    }
    // Every reader we have takes compressed TIFF too.
    filter.Replace("(non-LZW)", "");
    return filter;
}

CString BuildPictureOpenFilter()
{
    const CString filter = BuildPictureFilter();
    // Linux users name their files *.jpeg and *.tiff as often as *.jpg and
    // *.tif: each pattern list takes both (the names the user reads stay).
    CString strWithLongNames;
    int nStart = 0;
    for (int nField = 0; nStart <= filter.GetLength(); ++nField) {
        int nEnd = filter.Find('|', nStart);
        if (nEnd < 0)
            nEnd = filter.GetLength();
        CString strField = filter.Mid(nStart, nEnd - nStart);
        if (nField % 2 == 1) {
            strField = WithLongExtension(strField, "*.jpg", "*.jpeg");
            strField = WithLongExtension(strField, "*.tif", "*.tiff");
        }
        strWithLongNames += strField;
        if (nEnd < filter.GetLength())
            strWithLongNames += '|';
        nStart = nEnd + 1;
    }
    return strWithLongNames;
}

void SplitFileFilter(const CString& strFilter, CStringArray& names, CStringArray& patterns)
{
    int nStart = 0;
    while (nStart < strFilter.GetLength()) {
        const int nBar = strFilter.Find('|', nStart);
        if (nBar < 0)
            break;
        const CString strName = strFilter.Mid(nStart, nBar - nStart);
        if (strName.IsEmpty())
            break;
        int nEnd = strFilter.Find('|', nBar + 1);
        if (nEnd < 0)
            nEnd = strFilter.GetLength();
        names.Add(strName);
        patterns.Add(strFilter.Mid(nBar + 1, nEnd - nBar - 1));
        nStart = nEnd + 1;
    }
}

CString GetPictureFilePatterns()
{
    CString filter = BuildPictureOpenFilter();
    int first = filter.Find('|');
    if (first < 0)
        return CString(";");
    int second = filter.Find('|', first + 1);
    CString patterns = second < 0 ? filter.Mid(first + 1) : filter.Mid(first + 1, second - first - 1);
    return patterns + ";";
}

int FitToMDIClient(CWnd* pWnd)
{
    CMDIFrameWnd* pFrame = nullptr;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
        pFrame = static_cast<CMDIFrameWnd*>(pMain);
    BOOL maximised = FALSE;
    if (pFrame && pFrame->m_hWndMDIClient) {
        CRect client;
        ::GetClientRect(pFrame->m_hWndMDIClient, &client);
        if (pWnd && pWnd->GetSafeHwnd())
            pWnd->SetWindowPos(nullptr, client.left, client.top, client.Width(), client.Height(), SWP_NOZORDER);
        pFrame->MDIGetActive(&maximised);
    }
    if (maximised || GetSystemMetrics(SM_CXFULLSCREEN) < 700)
        return SW_MAXIMIZE;
    return SW_SHOWNORMAL;
}

void SetHelpContext(DWORD dwContext)
{
    g_dwHelpContext = dwContext;
}

DWORD GetHelpContext()
{
    return g_dwHelpContext;
}

CPoint GetRectCenter(int left, int top, int right, int bottom)
{
    // Halving the difference in 64 bits keeps the centre of any rectangle,
    // however far apart its sides, inside the int range.
    return CPoint(static_cast<int>(left + (static_cast<long long>(right) - left) / 2),
        static_cast<int>(top + (static_cast<long long>(bottom) - top) / 2));
}

BOOL ChooseColorDlg(CWnd* pParent, COLORREF& crColor, COLORREF* pCustomColors)
{
    CHOOSECOLOR cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = pParent ? pParent->GetSafeHwnd() : NULL;
    cc.rgbResult = crColor;
    cc.lpCustColors = pCustomColors ? pCustomColors : thePrefs.CustomColors.data();
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColor(&cc))
        return FALSE;
    HDC hdc = ::GetDC(cc.hwndOwner);
    crColor = hdc ? ::GetNearestColor(hdc, cc.rgbResult) : cc.rgbResult;
    if (hdc)
        ::ReleaseDC(cc.hwndOwner, hdc);
    thePrefs.SaveCustomColors();
    return TRUE;
}

// CStringTokenizer

CStringTokenizer::CStringTokenizer(UINT nStringID, char chSeparator) : m_chSeparator(chSeparator)
{
    m_strText.LoadString(nStringID);
    if (m_strText.IsEmpty())
        return;
    if (m_strText[0] != m_chSeparator)
        m_strText.Insert(0, m_chSeparator);
    if (m_strText[m_strText.GetLength() - 1] != m_chSeparator)
        m_strText += m_chSeparator;
    for (int i = 0; i < m_strText.GetLength(); ++i) {
        if (m_strText[i] == m_chSeparator)
            m_separators.push_back(i);
    }
}

BOOL CStringTokenizer::GetFirst(CString& strToken)
{
    if (m_strText.IsEmpty()) {
        strToken.Empty();
        return TRUE;
    }
    m_nNext = 0;
    return GetNext(strToken);
}

BOOL CStringTokenizer::GetNext(CString& strToken)
{
    if (m_nNext >= static_cast<int>(m_separators.size()) - 1)
        return FALSE;
    int start = m_separators[m_nNext] + 1;
    strToken = m_strText.Mid(start, m_separators[m_nNext + 1] - start);
    ++m_nNext;
    return TRUE;
}
