#include "pictures/MetaFileInfo.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_SERIAL(CMetaFileInfo, CObject, 1)

namespace {

constexpr BYTE kKindWindows = 0;
constexpr BYTE kKindEnhanced = 1;

} // namespace

CMetaFileInfo::CMetaFileInfo()
{
    Init();
}

CMetaFileInfo::~CMetaFileInfo()
{
    Clear();
}

void CMetaFileInfo::Init()
{
    m_cxFrame = 500;
    m_cyFrame = 500;
    m_hMetaFile = NULL;
    m_hEnhMetaFile = NULL;
    m_bHasHeader = FALSE;
    m_header = ENHMETAHEADER{};
    m_description.clear();
    m_paletteEntries.clear();
}

void CMetaFileInfo::Clear()
{
    if (m_hMetaFile != NULL)
        ::DeleteMetaFile(m_hMetaFile);
    if (m_hEnhMetaFile != NULL)
        ::DeleteEnhMetaFile(m_hEnhMetaFile);
    Init();
}

void CMetaFileInfo::Copy(const CMetaFileInfo& other)
{
    if (&other == this)
        return;
    if (other.m_hEnhMetaFile != NULL)
        SetEnhMetaFileSized(other.m_hEnhMetaFile, other.m_cxFrame, other.m_cyFrame);
    else if (other.m_hMetaFile != NULL)
        SetMetaFileSized(other.m_hMetaFile, other.m_cxFrame, other.m_cyFrame);
    else
        Clear();
}

void CMetaFileInfo::SetMetaFileSized(HMETAFILE hMetaFile, int cx, int cy)
{
    Clear();
    const UINT nSize = hMetaFile != NULL ? ::GetMetaFileBitsEx(hMetaFile, 0, NULL) : 0;
    if (nSize == 0)
        return;
    std::vector<BYTE> bits(nSize);
    if (::GetMetaFileBitsEx(hMetaFile, nSize, bits.data()) != nSize)
        return;
    m_hMetaFile = ::SetMetaFileBitsEx(nSize, bits.data());
    if (m_hMetaFile != NULL) {
        m_cxFrame = cx;
        m_cyFrame = cy;
    }
}

void CMetaFileInfo::SetEnhMetaFileSized(HENHMETAFILE hEnhMetaFile, int cx, int cy)
{
    Clear();
    const UINT nSize = hEnhMetaFile != NULL ? ::GetEnhMetaFileBits(hEnhMetaFile, 0, NULL) : 0;
    if (nSize == 0)
        return;
    std::vector<BYTE> bits(nSize);
    if (::GetEnhMetaFileBits(hEnhMetaFile, nSize, bits.data()) != nSize)
        return;
    m_hEnhMetaFile = ::SetEnhMetaFileBits(nSize, bits.data());
    if (m_hEnhMetaFile == NULL)
        return;
    m_cxFrame = cx;
    m_cyFrame = cy;
    ReadEnhHeader();
}

void CMetaFileInfo::ReadEnhHeader()
{
    m_bHasHeader = ::GetEnhMetaFileHeader(m_hEnhMetaFile, sizeof(m_header), &m_header) != 0;
    if (!m_bHasHeader || m_cxFrame != 0 || m_cyFrame != 0)
        return;
    m_cxFrame = m_header.rclBounds.right - m_header.rclBounds.left;
    m_cyFrame = m_header.rclBounds.bottom - m_header.rclBounds.top;
    const UINT nDescription = ::GetEnhMetaFileDescription(m_hEnhMetaFile, 0, NULL);
    if (nDescription != 0 && nDescription != GDI_ERROR) {
        m_description.resize(nDescription);
        if (::GetEnhMetaFileDescription(m_hEnhMetaFile, nDescription, m_description.data()) != nDescription)
            m_description.clear();
    }
    const UINT nEntries = ::GetEnhMetaFilePaletteEntries(m_hEnhMetaFile, 0, NULL);
    if (nEntries != 0 && nEntries != GDI_ERROR) {
        m_paletteEntries.resize(nEntries);
        if (::GetEnhMetaFilePaletteEntries(m_hEnhMetaFile, nEntries, m_paletteEntries.data()) != nEntries)
            m_paletteEntries.clear();
    }
}

void CMetaFileInfo::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!HasMetaFile()) {
            ar << BYTE(0);
            return;
        }
        const BOOL bEnhanced = m_hEnhMetaFile != NULL;
        const UINT nSize = bEnhanced ? ::GetEnhMetaFileBits(m_hEnhMetaFile, 0, NULL)
                                     : ::GetMetaFileBitsEx(m_hMetaFile, 0, NULL);
        std::vector<BYTE> bits(nSize);
        const UINT nRead = bEnhanced ? ::GetEnhMetaFileBits(m_hEnhMetaFile, nSize, bits.data())
                                     : ::GetMetaFileBitsEx(m_hMetaFile, nSize, bits.data());
        if (nSize == 0 || nRead != nSize)
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
        ar << BYTE(1) << static_cast<LONG>(m_cxFrame) << static_cast<LONG>(m_cyFrame)
           << (bEnhanced ? kKindEnhanced : kKindWindows) << static_cast<DWORD>(nSize);
        ar.Write(bits.data(), nSize);
        return;
    }

    Clear();
    BYTE bPresent = 0;
    ar >> bPresent;
    if (bPresent != 1)
        return;
    LONG cx = 0;
    LONG cy = 0;
    BYTE nKind = 0;
    DWORD nSize = 0;
    ar >> cx >> cy >> nKind >> nSize;
    if (nSize > ar.GetBytesRemaining())
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    std::vector<BYTE> bits(nSize);
    if (ar.Read(bits.data(), nSize) != nSize)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    m_cxFrame = cx;
    m_cyFrame = cy;
    if (nKind == kKindWindows) {
        m_hMetaFile = nSize != 0 ? ::SetMetaFileBitsEx(nSize, bits.data()) : NULL;
    } else {
        m_hEnhMetaFile = nSize != 0 ? ::SetEnhMetaFileBits(nSize, bits.data()) : NULL;
        if (m_hEnhMetaFile != NULL)
            ReadEnhHeader();
    }
    if (!HasMetaFile()) {
        Init();
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
}

namespace {

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr DWORD kPlaceableHeaderBytes = 22;
// Metafile files larger than this are not pictures anyone draws.
constexpr ULONGLONG kMaxMetafileBytes = 256ull * 1024 * 1024;

BOOL ReadWholeFile(LPCTSTR lpszPath, std::vector<BYTE>& bytes)
{
    bytes.clear();
    try {
        CFile file;
        CFileException error;
        if (lpszPath == nullptr || !file.Open(lpszPath, CFile::modeRead | CFile::shareDenyNone, &error))
            return FALSE;
        const ULONGLONG nLength = file.GetLength();
        if (nLength == 0 || nLength > kMaxMetafileBytes)
            return FALSE;
        bytes.resize(static_cast<size_t>(nLength));
        return file.Read(bytes.data(), static_cast<UINT>(nLength)) == nLength;
    } catch (CException* e) {
        e->Delete();
        bytes.clear();
        return FALSE;
    }
}

int ReadShort(const BYTE* p)
{
    return static_cast<short>(static_cast<WORD>(p[0] | (p[1] << 8)));
}

} // namespace

BOOL CMetaFileInfo::LoadWmf(LPCTSTR lpszPath)
{
    Clear();
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(lpszPath, bytes))
        return FALSE;
    size_t nStart = 0;
    int cx = 500;
    int cy = 500;
    if (bytes.size() >= kPlaceableHeaderBytes) {
        const DWORD dwKey = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
        if (dwKey == kPlaceableKey) {
            // The bounding box follows the key and the handle word.
            const int left = ReadShort(&bytes[6]);
            const int top = ReadShort(&bytes[8]);
            const int right = ReadShort(&bytes[10]);
            const int bottom = ReadShort(&bytes[12]);
            cx = std::max(1, std::abs(right - left));
            cy = std::max(1, std::abs(bottom - top));
            nStart = kPlaceableHeaderBytes;
        }
    }
    if (bytes.size() <= nStart)
        return FALSE;
    m_hMetaFile = ::SetMetaFileBitsEx(static_cast<UINT>(bytes.size() - nStart), bytes.data() + nStart);
    if (m_hMetaFile == NULL) {
        Init();
        return FALSE;
    }
    m_cxFrame = cx;
    m_cyFrame = cy;
    return TRUE;
}

BOOL CMetaFileInfo::LoadEmf(LPCTSTR lpszPath)
{
    Clear();
    if (lpszPath == nullptr)
        return FALSE;
    m_hEnhMetaFile = ::GetEnhMetaFile(lpszPath);
    if (m_hEnhMetaFile == NULL) {
        Init();
        return FALSE;
    }
    ReadEnhHeader();
    return TRUE;
}

void CMetaFileInfo::SetEnhMetaFile(HENHMETAFILE hEnhMetaFile)
{
    SetEnhMetaFileSized(hEnhMetaFile, 0, 0);
}

void CMetaFileInfo::Play(CDC* pDC, const CRect& rect) const
{
    if (pDC == nullptr || !HasMetaFile())
        return;
    if (m_hEnhMetaFile != NULL) {
        pDC->PlayMetaFile(m_hEnhMetaFile, &rect);
        return;
    }
    const int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(m_cxFrame, m_cyFrame);
    if (rect.Width() != 0 && rect.Height() != 0)
        pDC->SetViewportExt(rect.Width(), rect.Height());
    pDC->SetViewportOrg(rect.left, rect.top);
    pDC->PlayMetaFile(m_hMetaFile);
    pDC->RestoreDC(nSaved);
}
