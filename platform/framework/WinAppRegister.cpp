#include "platform/framework/WinApp.h"

#include "platform/base/CodePage.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/Resources.h"
#include "platform/files/ProgramFolder.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Frame.h"
#include "platform/imaging/Imaging.h"
#include "platform/profile/ShellRegistration.h"
#include "platform/services/Spawn.h"

#include <unistd.h>

#include <cstring>

namespace {

// A tool that takes longer than this at start is ended; the next start
// finds its cache stale and runs it again.
constexpr int kToolTimeoutMs = 10000;

CString DocString(CDocTemplate* pTemplate, CDocTemplate::DocStringIndex index)
{
    CString text;
    if (!pTemplate->GetDocString(text, index))
        text.Empty();
    return text;
}

// ".shr" or "*.shr" to "shr"; a filter with several extensions gives its
// first. What is left is checked where the glob is written.
std::string ExtensionOfFilter(const CString& filterExt)
{
    std::string ext(static_cast<LPCTSTR>(filterExt));
    ext = ext.substr(0, ext.find(';'));
    if (!ext.empty() && ext[0] == '*')
        ext.erase(0, 1);
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    for (char& ch : ext)
        ch = (ch >= 'A' && ch <= 'Z') ? char(ch - 'A' + 'a') : ch;
    return ext;
}

// The executable the desktop is to start: the file this process runs, not
// the program folder a test or an odd install may have moved. A program
// replaced while it runs has no file to name.
std::string ExecutablePath()
{
    const std::string path = platform::ExecutableHostPath();
    return !path.empty() && access(path.c_str(), X_OK) == 0 ? path : std::string();
}

// Icon resource nID as PNG: the resource holds a square 32-bit image with
// its alpha in the fourth byte (and the AND mask after it, which the alpha
// already says).
platform::ShellIcon IconAsPng(UINT nID)
{
    platform::ShellIcon icon;
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCE(nID), RT_ICON);
    HRSRC hRes = ::FindResource(hInst, MAKEINTRESOURCE(nID), RT_ICON);
    if (hRes == NULL)
        return icon;
    const auto* pBytes = static_cast<const BYTE*>(::LockResource(::LoadResource(hInst, hRes)));
    const DWORD cb = ::SizeofResource(hInst, hRes);
    BITMAPINFOHEADER header;
    if (pBytes == nullptr || cb < sizeof header)
        return icon;
    std::memcpy(&header, pBytes, sizeof header);
    const LONG width = header.biWidth;
    if (header.biSize < sizeof header || header.biSize > cb || width <= 0 || width > 512
        || header.biHeight != 2 * width || header.biBitCount != 32 || header.biCompression != BI_RGB)
        return icon;
    const size_t bits = size_t(width) * size_t(width) * 4;
    if (cb - header.biSize < bits)
        return icon;
    header.biHeight = width;
    header.biSizeImage = DWORD(bits);

    LTBITMAP bitmap;
    if (LtCopyFromDIB(&bitmap, reinterpret_cast<const BITMAPINFO*>(&header), pBytes + header.biSize) != LT_SUCCESS)
        return icon;
    HGLOBAL hPng = NULL;
    DWORD cbPng = 0;
    if (LtSaveToMemory(&hPng, &bitmap, LT_FORMAT_PNG, 32, 0, &cbPng) == LT_SUCCESS && hPng != NULL) {
        if (const void* p = ::GlobalLock(hPng)) {
            icon.png.assign(static_cast<const char*>(p), cbPng);
            icon.size = int(width);
            ::GlobalUnlock(hPng);
        }
    }
    if (hPng != NULL)
        ::GlobalFree(hPng);
    return icon;
}

} // namespace

void CWinApp::RegisterShellFileTypes(BOOL bCompat)
{
    (void)bCompat; // the desktop has no print verbs to register
    platform::ShellRegistrationInfo info;
    info.programPath = ExecutablePath();
    if (info.programPath.empty())
        return;
    info.name = platform::Utf8From1252(m_pszAppName != nullptr ? m_pszAppName : "");

    UINT nDocumentIcon = 0;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != NULL) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        platform::ShellDocumentType type;
        type.extension = ExtensionOfFilter(DocString(pTemplate, CDocTemplate::filterExt));
        if (type.extension.empty())
            continue;
        type.mimeType = platform::ShellMimeTypeForDocName(
            platform::Utf8From1252(static_cast<LPCTSTR>(DocString(pTemplate, CDocTemplate::docName))));
        type.comment =
            platform::Utf8From1252(static_cast<LPCTSTR>(DocString(pTemplate, CDocTemplate::regFileTypeName)));
        if (nDocumentIcon == 0)
            nDocumentIcon = pTemplate->m_nIDResource;
        info.types.push_back(std::move(type));
    }
    if (info.types.empty())
        return;

    if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pMainWnd); pFrame != nullptr && pFrame->m_nIDHelp != 0)
        info.programIcon = IconAsPng(pFrame->m_nIDHelp);
    info.documentIcon = IconAsPng(nDocumentIcon);

    // Nothing is said either way: the program works without the desktop
    // knowing its files.
    platform::RegisterShellTypes(info, platform::ShellDataHome(),
        [](const std::vector<std::string>& argv) { return platform::RunQuietly(argv, kToolTimeoutMs); });
}
