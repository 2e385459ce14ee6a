#include "pictures/CgmFilter.h"

#include "app/Paths.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Gdi.h"
#include "platform/services/Modules.h"
#include "platform/ui/AfxMessageBox.h"

#include <cstdlib>
#include <cstring>

CCgmFilter& TheCgmFilter()
{
    static CCgmFilter filter;
    return filter;
}

CCgmFilter::~CCgmFilter()
{
    if (m_hModule != NULL)
        ::FreeLibrary(m_hModule);
    if (m_hPrefs != NULL)
        ::GlobalFree(m_hPrefs);
}

BOOL CCgmFilter::IsPathShortEnough(LPCTSTR lpszPath)
{
    return lpszPath != nullptr && std::strlen(lpszPath) <= static_cast<size_t>(kMaxPathChars);
}

void CCgmFilter::Load()
{
    if (m_bLoadTried)
        return;
    m_bLoadTried = TRUE;
    const CString strLibrary = GetProgramPath("support\\cgmolv32.flt");
    m_hModule = ::LoadLibrary(strLibrary);
    if (m_hModule == NULL)
        return;
    auto pfnInfo = reinterpret_cast<GetFilterInfoProc>(::GetProcAddress(m_hModule, "GetFilterInfo"));
    if (pfnInfo == nullptr || pfnInfo(0, nullptr, &m_hPrefs, 0) != 2)
        return;
    m_pfnImport = reinterpret_cast<ImportProc>(::GetProcAddress(m_hModule, "ImportGr"));
}

HMETAFILE CCgmFilter::Import(LPCTSTR lpszPath, CSize& size)
{
    if (lpszPath == nullptr)
        return NULL;
    if (!IsPathShortEnough(lpszPath)) {
        CString strMessage;
        strMessage.Format("The complete path name of a CGM file must be no longer than %d characters.",
            kMaxPathChars);
        AfxMessageBox(strMessage);
        return NULL;
    }
    Load();
    if (m_pfnImport == nullptr)
        return NULL;

    CWnd* pMain = AfxGetMainWnd();
    const HWND hWnd = pMain != nullptr ? pMain->GetSafeHwnd() : NULL;
    const HDC hDC = ::GetDC(hWnd);
    BYTE fileRecord[kFileRecordBytes] = {};
    std::memcpy(fileRecord + kFileRecordPathOffset, lpszPath, std::strlen(lpszPath) + 1);
    PictureInfo info{};
    const int nResult = m_pfnImport(hDC, fileRecord, &info, m_hPrefs);
    ::ReleaseDC(hWnd, hDC);
    if (nResult > 0 || info.hMetaFile == NULL)
        return NULL;
    size.cx = std::abs(info.bbox[2] - info.bbox[0]);
    size.cy = std::abs(info.bbox[3] - info.bbox[1]);
    if (size.cx == 0 || size.cy == 0)
        size = CSize(500, 500);
    return info.hMetaFile;
}
