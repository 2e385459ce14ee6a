#include "pictures/ImgeDB.h"

#include "app/Paths.h"
#include "app/main/DesignerApp.h"
#include "pictures/PictureEngine.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"

#include <algorithm>

IMPLEMENT_SERIAL(CImgeDB, CObject, 8)

namespace {

constexpr UINT kCopyPiece = 8192;

// The temporary file the bitmap passes through, removed when it goes.
class TempPicturePath {
public:
    TempPicturePath() { GetTempFilePath(m_strPath); }
    ~TempPicturePath() { RemoveFile(m_strPath); }
    TempPicturePath(const TempPicturePath&) = delete;
    TempPicturePath& operator=(const TempPicturePath&) = delete;
    const CString& Get() const { return m_strPath; }

private:
    CString m_strPath;
};

std::vector<RGBQUAD>& SharedTable()
{
    static std::vector<RGBQUAD> table;
    return table;
}

// Fills the shared table from the application palette once, on a display
// of exactly 256 colours.
void FillSharedTable()
{
    std::vector<RGBQUAD>& table = SharedTable();
    if (!table.empty())
        return;
    HDC hScreen = ::GetDC(NULL);
    if (hScreen == NULL)
        return;
    const int nBits = ::GetDeviceCaps(hScreen, BITSPIXEL) * ::GetDeviceCaps(hScreen, PLANES);
    ::ReleaseDC(NULL, hScreen);
    CDesignerApp* pApp = GetDesignerApp();
    CPalette* pPalette = pApp ? pApp->GetAppPalette() : nullptr;
    if (nBits != 8 || pPalette == nullptr || pPalette->GetSafeHandle() == NULL)
        return;
    PALETTEENTRY entries[256] = {};
    const UINT nCount = pPalette->GetPaletteEntries(0, 256, entries);
    for (UINT i = 0; i < nCount; ++i)
        table.push_back(RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
}

} // namespace

CImgeDB::CImgeDB()
{
    FillSharedTable();
}

const std::vector<RGBQUAD>& CImgeDB::GetSharedColorTable()
{
    return SharedTable();
}

CImgeDB::~CImgeDB()
{
    Free();
}

void CImgeDB::Free()
{
    if (m_nHandle > 0)
        ReleasePicHandle(m_nHandle);
    m_nHandle = 0;
}

BOOL CImgeDB::LoadBitmap(LPCTSTR lpszPath)
{
    Free();
    int nBits = 0;
    const int nHandle = LoadPic(lpszPath, 0, &nBits);
    if (nHandle < 1)
        return FALSE;
    m_nHandle = nHandle;
    GetPicSize(m_nHandle, &m_nWidth, &m_nHeight, &nBits);
    return TRUE;
}

BOOL CImgeDB::SaveBitmap(LPCTSTR lpszPath) const
{
    return m_nHandle > 0 && SavePicToFile(m_nHandle, lpszPath, FALSE) == 0;
}

void CImgeDB::Serialize(CArchive& ar)
{
    if (ar.IsLoading()) {
        m_strings1.RemoveAll();
        m_strings2.RemoveAll();
    }
    m_strings1.Serialize(ar);
    m_strings2.Serialize(ar);

    TempPicturePath temp;
    BYTE buffer[kCopyPiece];
    if (ar.IsStoring()) {
        if (m_nHandle < 1 || !SaveBitmap(temp.Get())) {
            ar << static_cast<DWORD>(0);
            return;
        }
        CFile in(temp.Get(), CFile::modeRead | CFile::shareExclusive);
        const DWORD dwLength = in.GetLength();
        ar << dwLength;
        DWORD dwLeft = dwLength;
        while (dwLeft > 0) {
            const UINT nRead = in.Read(buffer, std::min<DWORD>(dwLeft, kCopyPiece));
            if (nRead == 0)
                AfxThrowFileException(CFileException::endOfFile);
            ar.Write(buffer, nRead);
            dwLeft -= nRead;
        }
        in.Close();
        return;
    }

    Free();
    DWORD dwLength = 0;
    ar >> dwLength;
    if (dwLength < 1)
        return;
    if (dwLength > ar.GetBytesRemaining())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    {
        CFile out(temp.Get(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        DWORD dwLeft = dwLength;
        while (dwLeft > 0) {
            const UINT nPiece = std::min<DWORD>(dwLeft, kCopyPiece);
            if (ar.Read(buffer, nPiece) != nPiece)
                AfxThrowArchiveException(CArchiveException::endOfFile);
            out.Write(buffer, nPiece);
            dwLeft -= nPiece;
        }
        out.Close();
    }
    LoadBitmap(temp.Get());
}
