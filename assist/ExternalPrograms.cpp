#include "assist/ExternalPrograms.h"

#include "app/Paths.h"
#include "platform/services/Shell.h"

namespace {

// Where the maker's programs would be installed beside this one.
constexpr LPCTSTR kFontViewerFile = "FontView.exe";
constexpr LPCTSTR kContaxFile = "Contax.exe";

BOOL FindInProgramFolder(LPCTSTR lpszFile, CString& strPath)
{
    CString path = GetProgramPath(lpszFile);
    if (!FileExists(path))
        return FALSE;
    strPath = path;
    return TRUE;
}

} // namespace

BOOL OpenURL(LPCTSTR lpszURL)
{
    if (lpszURL == nullptr || *lpszURL == '\0')
        return FALSE;
    return platform::OpenHtmlPage(lpszURL);
}

BOOL FindFontViewerExe(CString& strPath)
{
    return FindInProgramFolder(kFontViewerFile, strPath);
}

BOOL FindContaxExe(CString& strPath)
{
    return FindInProgramFolder(kContaxFile, strPath);
}
