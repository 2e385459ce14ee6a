#include "controls/DriveHelpers.h"

#include "app/Drives.h"
#include "platform/base/Resources.h"
#include "platform/files/Drives.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"

#include <cctype>
#include <vector>

namespace {

// The enumeration answers in a buffer of this size, grown while it asks for
// more, but never past the cap: a connection's record and two strings.
constexpr DWORD kEnumBufferSize = 1600;
constexpr DWORD kEnumBufferCap = 1 << 20;

BOOL IsDriveText(LPCTSTR lpszDrive)
{
    return lpszDrive != nullptr && std::isalpha(static_cast<unsigned char>(lpszDrive[0])) && lpszDrive[1] == ':';
}

CString DriveRoot(LPCTSTR lpszDrive)
{
    CString root(lpszDrive != nullptr ? lpszDrive : "");
    int nSlash = root.Find('\\');
    if (nSlash >= 0)
        root = root.Left(nSlash + 1);
    else
        root += '\\';
    return root;
}

UINT DriveTypeOf(LPCTSTR lpszDrive)
{
    return ::GetDriveType(DriveRoot(lpszDrive));
}

CString LabelOf(LPCTSTR lpszDrive)
{
    BOOL bRead = FALSE;
    CString label = GetVolumeLabel(DriveRoot(lpszDrive), &bRead);
    if (!bRead)
        label.Empty();
    return label;
}

} // namespace

UINT GetDriveTypeIconId(UINT nDriveType)
{
    switch (nDriveType) {
    case DRIVE_REMOVABLE:
        return IDI_DRIVE_REMOVABLE;
    case DRIVE_REMOTE:
        return IDI_DRIVE_REMOTE;
    case DRIVE_CDROM:
        return IDI_DRIVE_CDROM;
    case DRIVE_RAMDISK:
        return IDI_DRIVE_RAMDISK;
    default:
        return IDI_DRIVE_FIXED;
    }
}

HICON GetDriveTypeIcon(UINT nDriveType)
{
    LPCSTR name = MAKEINTRESOURCE(GetDriveTypeIconId(nDriveType));
    return ::LoadIcon(AfxFindResourceHandle(name, RT_GROUP_ICON), name);
}

HICON GetDriveIcon(LPCTSTR lpszPath)
{
    return GetDriveTypeIcon(DriveTypeOf(lpszPath));
}

CString GetNetworkPath(LPCTSTR lpszDrive)
{
    CString result;
    if (!IsDriveText(lpszDrive))
        return result;
    char letter = char(std::toupper(static_cast<unsigned char>(lpszDrive[0])));
    HANDLE hEnum = NULL;
    if (::WNetOpenEnum(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, nullptr, &hEnum) != NO_ERROR)
        return result;
    std::vector<char> buffer(kEnumBufferSize);
    for (;;) {
        DWORD dwCount = 0xFFFFFFFF;
        DWORD dwSize = DWORD(buffer.size());
        DWORD dwResult = ::WNetEnumResource(hEnum, &dwCount, buffer.data(), &dwSize);
        if (dwResult == ERROR_MORE_DATA) {
            if (dwSize <= buffer.size() || dwSize > kEnumBufferCap)
                break;
            buffer.resize(dwSize);
            continue;
        }
        if (dwResult != NO_ERROR)
            break;
        const auto* records = reinterpret_cast<const NETRESOURCE*>(buffer.data());
        for (DWORD i = 0; i < dwCount && result.IsEmpty(); ++i) {
            // Connections without a drive letter have no local name.
            const char* local = records[i].lpLocalName;
            const char* remote = records[i].lpRemoteName;
            if (local == nullptr || remote == nullptr)
                continue;
            if (char(std::toupper(static_cast<unsigned char>(local[0]))) == letter)
                result = remote;
        }
        if (!result.IsEmpty())
            break;
    }
    ::WNetCloseEnum(hEnum);
    return result;
}

CString GetDriveDisplayName(LPCTSTR lpszDrive)
{
    CString name;
    switch (DriveTypeOf(lpszDrive)) {
    case DRIVE_FIXED:
    case DRIVE_CDROM:
        name = LabelOf(lpszDrive);
        break;
    case DRIVE_REMOTE: {
        // "\\server\share" reads as "share on 'server'".
        CString path = GetNetworkPath(lpszDrive);
        int nLast = path.ReverseFind('\\');
        if (path.GetLength() > 2 && nLast > 2) {
            CString server = path.Mid(2, nLast - 2);
            name = path.Mid(nLast + 1) + " on '" + server + "'";
        }
        break;
    }
    default:
        break;
    }
    CString drive(lpszDrive != nullptr ? lpszDrive : "");
    drive.MakeUpper();
    return name + " (" + drive + ")";
}

CString GetDriveShortName(LPCTSTR lpszDrive)
{
    CString text(lpszDrive != nullptr ? lpszDrive : "");
    switch (DriveTypeOf(lpszDrive)) {
    case DRIVE_FIXED:
    case DRIVE_CDROM: {
        CString label = LabelOf(lpszDrive);
        if (!label.IsEmpty())
            text += " " + label;
        break;
    }
    case DRIVE_REMOTE:
        text += " " + GetNetworkPath(lpszDrive);
        break;
    default:
        break;
    }
    return text;
}

BOOL MakeIconBitmap(CDC* pDC, HICON hIcon, int nWidth, int nHeight, CBitmap& bitmap)
{
    if (pDC == nullptr || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, nWidth, nHeight))
        return FALSE;
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    CRect rc(0, 0, nWidth, nHeight);
    memDC.FillSolidRect(&rc, ::GetSysColor(COLOR_WINDOW));
    if (hIcon != NULL)
        memDC.DrawIcon(0, 0, hIcon);
    memDC.SelectObject(pOld);
    return TRUE;
}

BOOL StretchBitmap(CDC* pDC, CBitmap& source, int nSrcWidth, int nSrcHeight, CBitmap& result, int nWidth,
    int nHeight)
{
    if (pDC == nullptr || source.GetSafeHandle() == NULL || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    CDC srcDC;
    CDC dstDC;
    if (!srcDC.CreateCompatibleDC(pDC) || !dstDC.CreateCompatibleDC(pDC)
        || !result.CreateCompatibleBitmap(pDC, nWidth, nHeight))
        return FALSE;
    CBitmap* pOldSrc = srcDC.SelectObject(&source);
    CBitmap* pOldDst = dstDC.SelectObject(&result);
    dstDC.StretchBlt(0, 0, nWidth, nHeight, &srcDC, 0, 0, nSrcWidth, nSrcHeight, SRCCOPY);
    dstDC.SelectObject(pOldDst);
    srcDC.SelectObject(pOldSrc);
    return TRUE;
}
