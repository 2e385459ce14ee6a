#include "pictures/Dib.h"

#include "app/BitmapHelpers.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/Geometry.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/pictures.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

IMPLEMENT_SERIAL(CDib, CObject, 0)

namespace {

constexpr WORD kBitmapSignature = 0x4D42; // "BM"
constexpr DWORD kFileHeaderBytes = sizeof(BITMAPFILEHEADER);
constexpr DWORD kInfoHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr DWORD kCoreHeaderBytes = sizeof(BITMAPCOREHEADER);

WORD ReadWord(const BYTE* p)
{
    WORD w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

DWORD ReadDword(const BYTE* p)
{
    DWORD d;
    std::memcpy(&d, p, sizeof d);
    return d;
}

bool KnownInfoHeader(DWORD dwSize)
{
    return dwSize == 40 || dwSize == 52 || dwSize == 56 || dwSize == 108 || dwSize == 124;
}

COLORREF EntryColor(const BYTE* quad)
{
    return RGB(quad[2], quad[1], quad[0]); // stored blue, green, red
}

bool SameColor(const BYTE* bgr, COLORREF cr)
{
    return bgr[0] == GetBValue(cr) && bgr[1] == GetGValue(cr) && bgr[2] == GetRValue(cr);
}

void SetBgr(BYTE* bgr, BYTE value)
{
    bgr[0] = value;
    bgr[1] = value;
    bgr[2] = value;
}

// Selects the image's palette on palette devices for the length of a draw.
class PaletteScope {
public:
    PaletteScope(CDC* pDC, CDib& dib, BOOL bForceBackground)
        : m_pDC(pDC)
        , m_bForceBackground(bForceBackground)
    {
        if ((pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) == 0)
            return;
        CPalette* pPalette = dib.GetPalette();
        if (pPalette == nullptr)
            return;
        m_pOld = pDC->SelectPalette(pPalette, bForceBackground);
        pDC->RealizePalette();
        m_bSelected = true;
    }
    ~PaletteScope()
    {
        if (m_bSelected && m_pOld != nullptr)
            m_pDC->SelectPalette(m_pOld, m_bForceBackground);
    }
    PaletteScope(const PaletteScope&) = delete;
    PaletteScope& operator=(const PaletteScope&) = delete;

private:
    CDC* m_pDC;
    CPalette* m_pOld = nullptr;
    BOOL m_bForceBackground;
    bool m_bSelected = false;
};

} // namespace

CDib::CDib() = default;

CDib::~CDib()
{
    Free();
}

void CDib::Free()
{
    FreeSavedColors();
    m_palette.DeleteObject();
    m_bPaletteMade = FALSE;
    if (m_hImage != NULL) {
        GlobalUnlock(m_hImage);
        GlobalFree(m_hImage);
    }
    m_hImage = NULL;
    m_dwSize = 0;
    m_nBits = 0;
    m_pFileHeader = nullptr;
    m_pInfoHeader = nullptr;
    m_pInfo = nullptr;
    m_pBits = nullptr;
    m_crTransparent = 0;
    m_header = BITMAPINFOHEADER{};
}

BOOL CDib::ShowError(UINT nID) const
{
    AfxMessageBox(nID);
    return FALSE;
}

void CDib::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        // An image that failed to load is stored as none, so the record
        // reads back whole.
        const DWORD dwSize = IsValid() ? m_dwSize : 0;
        const BYTE* pImage = GetFileImage();
        try {
            ar << dwSize;
            for (DWORD nDone = 0; nDone < dwSize;) {
                const DWORD nPiece = std::min(kTransferBlock, dwSize - nDone);
                ar.Write(pImage + nDone, nPiece);
                nDone += nPiece;
            }
        } catch (CException*) {
            ShowError(IDS_DIB_WRITE_ERROR);
            throw;
        }
        return;
    }

    Free();
    DWORD dwSize = 0;
    try {
        ar >> dwSize;
    } catch (CException*) {
        ShowError(IDS_DIB_READ_ERROR);
        throw;
    }
    // The count cannot be trusted: nothing is allocated for bytes the
    // archive does not hold, and the record around this one is damaged.
    if (dwSize > ar.GetBytesRemaining()) {
        ShowError(IDS_DIB_READ_ERROR);
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    }
    try {
        Read(ar, dwSize);
    } catch (CException*) {
        Free();
        ShowError(IDS_DIB_READ_ERROR);
        throw;
    }
}

BOOL CDib::Read(CArchive& ar, DWORD dwSize)
{
    Free();
    if (dwSize == 0)
        return FALSE;
    if (ar.IsLoading() && dwSize > ar.GetBytesRemaining())
        return ShowError(IDS_DIB_READ_ERROR);

    m_hImage = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, dwSize);
    BYTE* pImage = m_hImage != NULL ? static_cast<BYTE*>(GlobalLock(m_hImage)) : nullptr;
    if (pImage == nullptr) {
        if (m_hImage != NULL)
            GlobalFree(m_hImage);
        m_hImage = NULL;
        m_dwSize = 0;
        m_nBits = 0;
        return ShowError(IDS_DIB_NO_MEMORY);
    }
    m_dwSize = dwSize;
    m_pFileHeader = reinterpret_cast<BITMAPFILEHEADER*>(pImage);

    DWORD nRead = 0;
    if (dwSize <= kTransferBlock) {
        nRead = ar.Read(pImage, dwSize);
    } else {
        while (nRead < dwSize) {
            const UINT nPiece = std::min(kTransferBlock, dwSize - nRead);
            const UINT nGot = ar.Read(pImage + nRead, nPiece);
            nRead += nGot;
            if (nGot < nPiece)
                break;
        }
    }
    return Validate(nRead);
}

BOOL CDib::Validate(DWORD nCount)
{
    const BYTE* pImage = GetFileImage();
    if (pImage == nullptr || nCount != m_dwSize) {
        Free();
        return ShowError(IDS_DIB_READ_ERROR);
    }
    auto refuse = [this]() {
        Free();
        return ShowError(IDS_DIB_INVALID);
    };
    if (m_dwSize < kFileHeaderBytes + kInfoHeaderBytes || ReadWord(pImage) != kBitmapSignature)
        return refuse();

    std::memcpy(&m_header, pImage + kFileHeaderBytes, kInfoHeaderBytes);
    const int nBits = m_header.biBitCount;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 24) {
        Free();
        return FALSE;
    }
    // Older core headers keep their depth elsewhere, so only the info header
    // and its documented successors are taken; compressed rows have no
    // fixed stride to check.
    if (!KnownInfoHeader(m_header.biSize) || m_header.biSize > m_dwSize - kFileHeaderBytes
        || m_header.biCompression != BI_RGB || m_header.biPlanes != 1 || m_header.biWidth <= 0
        || m_header.biHeight == 0 || m_header.biHeight == std::numeric_limits<LONG>::min())
        return refuse();
    m_nBits = nBits;

    const unsigned long long nTableEnd
        = static_cast<unsigned long long>(kFileHeaderBytes) + m_header.biSize + 4ull * TableColors();
    const DWORD dwOffBits = ReadDword(pImage + 10);
    const unsigned long long nRows = static_cast<unsigned long long>(Height());
    const unsigned long long nStride = (static_cast<unsigned long long>(m_header.biWidth) * m_nBits + 31) / 32 * 4;
    if (dwOffBits < nTableEnd || dwOffBits > m_dwSize || nStride * nRows > m_dwSize - dwOffBits)
        return refuse();

    BYTE* pMutable = reinterpret_cast<BYTE*>(m_pFileHeader);
    m_pInfoHeader = reinterpret_cast<BITMAPINFOHEADER*>(pMutable + kFileHeaderBytes);
    m_pInfo = reinterpret_cast<BITMAPINFO*>(m_pInfoHeader);
    m_pBits = pMutable + dwOffBits;

    if (m_nBits == 24) {
        m_crTransparent = RGB(m_pBits[2], m_pBits[1], m_pBits[0]);
    } else {
        // The first pixel sits in the high bits of the first byte.
        const UINT nIndex = m_pBits[0] >> (8 - m_nBits);
        const BYTE* pTable = pImage + kFileHeaderBytes + m_header.biSize;
        // An index past a short colour table draws black.
        m_crTransparent = nIndex < TableColors() ? EntryColor(pTable + 4 * nIndex) : RGB(0, 0, 0);
    }
    return TRUE;
}

UINT CDib::TableColors() const
{
    if (m_header.biBitCount > 8)
        return 0;
    const UINT nMax = 1u << m_header.biBitCount;
    return m_header.biClrUsed != 0 && m_header.biClrUsed < nMax ? m_header.biClrUsed : nMax;
}

DWORD CDib::Stride() const
{
    return DWORD((static_cast<unsigned long long>(m_header.biWidth) * m_nBits + 31) / 32 * 4);
}

int CDib::Height() const
{
    return std::abs(static_cast<int>(m_header.biHeight));
}

void CDib::GetSize(CSize& size) const
{
    if (!IsValid()) {
        size = CSize(0, 0);
        return;
    }
    size = CSize(m_header.biWidth, Height());
}

CPalette* CDib::GetPalette()
{
    if (!IsValid())
        return nullptr;
    if (!m_bPaletteMade) {
        m_bPaletteMade = TRUE;
        if (m_nBits > 8) {
            LoadPaletteResource(IDR_APP_PALETTE, m_palette, FALSE);
        } else {
            const UINT nColors = TableColors();
            std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * nColors, 0);
            auto* pLog = reinterpret_cast<LOGPALETTE*>(buffer.data());
            pLog->palVersion = 0x300;
            pLog->palNumEntries = WORD(nColors);
            const BYTE* pTable = GetFileImage() + kFileHeaderBytes + m_header.biSize;
            for (UINT i = 0; i < nColors; ++i) {
                const BYTE* pQuad = pTable + 4 * i;
                pLog->palPalEntry[i] = PALETTEENTRY{pQuad[2], pQuad[1], pQuad[0], 0};
            }
            m_palette.CreatePalette(pLog);
        }
    }
    return m_palette.GetSafeHandle() != NULL ? &m_palette : nullptr;
}

void CDib::Draw(CDC* pDC, int x, int y, BOOL bForeground)
{
    if (!IsValid() || pDC == nullptr)
        return;
    PaletteScope palette(pDC, *this, !bForeground);
    const int nHeight = Height();
    ::SetDIBitsToDevice(pDC->m_hDC, x, y, DWORD(m_header.biWidth), DWORD(nHeight), 0, 0, 0, UINT(nHeight), m_pBits,
        m_pInfo, DIB_RGB_COLORS);
}

void CDib::StretchDraw(CDC* pDC, int x, int y, int cx, int cy, BOOL bTransparent, const COLORREF* pBackground)
{
    if (!IsValid() || pDC == nullptr)
        return;
    if (pBackground != nullptr) {
        CBrush brush;
        if (brush.CreateSolidBrush(*pBackground)) {
            CRect rc(x, y, x + cx, y + cy);
            pDC->FillRect(&rc, &brush);
        }
    }
    PaletteScope palette(pDC, *this, FALSE);
    const int nWidth = m_header.biWidth;
    const int nHeight = Height();
    auto blit = [&](DWORD rop) {
        ::StretchDIBits(pDC->m_hDC, x, y, cx, cy, 0, 0, nWidth, nHeight, m_pBits, m_pInfo, DIB_RGB_COLORS, rop);
    };
    // Without memory for the saved colours the picture still shows, only
    // not transparent.
    if (!bTransparent || !SaveColors()) {
        blit(SRCCOPY);
        return;
    }
    MakeMask();
    blit(SRCAND);
    MakeImageOverMask();
    blit(SRCPAINT);
    RestoreColors();
    FreeSavedColors();
}

BOOL CDib::SaveColors()
{
    FreeSavedColors();
    BYTE* pChanged;
    DWORD dwBytes;
    if (m_nBits == 24) {
        pChanged = m_pBits;
        dwBytes = Stride() * DWORD(Height());
    } else {
        pChanged = reinterpret_cast<BYTE*>(m_pFileHeader) + kFileHeaderBytes + m_header.biSize;
        dwBytes = 4 * TableColors();
    }
    m_hSavedColors = GlobalAlloc(GMEM_MOVEABLE, dwBytes);
    m_pSavedColors = m_hSavedColors != NULL ? static_cast<BYTE*>(GlobalLock(m_hSavedColors)) : nullptr;
    if (m_pSavedColors == nullptr) {
        FreeSavedColors();
        return FALSE;
    }
    std::memcpy(m_pSavedColors, pChanged, dwBytes);
    m_pChangedColors = pChanged;
    m_dwSavedBytes = dwBytes;
    return TRUE;
}

void CDib::RestoreColors()
{
    if (m_pSavedColors != nullptr && m_pChangedColors != nullptr)
        std::memcpy(m_pChangedColors, m_pSavedColors, m_dwSavedBytes);
}

void CDib::FreeSavedColors()
{
    if (m_hSavedColors != NULL) {
        GlobalUnlock(m_hSavedColors);
        GlobalFree(m_hSavedColors);
    }
    m_hSavedColors = NULL;
    m_pSavedColors = nullptr;
    m_pChangedColors = nullptr;
    m_dwSavedBytes = 0;
}

void CDib::MakeMask()
{
    if (m_nBits == 24) {
        const DWORD dwStride = Stride();
        const int nRows = Height();
        for (int y = 0; y < nRows; ++y) {
            const BYTE* pSaved = m_pSavedColors + DWORD(y) * dwStride;
            BYTE* pRow = m_pChangedColors + DWORD(y) * dwStride;
            for (LONG x = 0; x < m_header.biWidth; ++x)
                SetBgr(pRow + 3 * x, SameColor(pSaved + 3 * x, m_crTransparent) ? 0xFF : 0x00);
        }
        return;
    }
    // Every entry changes, whether or not a pixel uses it, so no colour of
    // the image can slip through the mask.
    const UINT nColors = TableColors();
    for (UINT i = 0; i < nColors; ++i)
        SetBgr(m_pChangedColors + 4 * i, SameColor(m_pSavedColors + 4 * i, m_crTransparent) ? 0xFF : 0x00);
}

void CDib::MakeImageOverMask()
{
    if (m_nBits == 24) {
        const DWORD dwStride = Stride();
        const int nRows = Height();
        for (int y = 0; y < nRows; ++y) {
            const BYTE* pSaved = m_pSavedColors + DWORD(y) * dwStride;
            BYTE* pRow = m_pChangedColors + DWORD(y) * dwStride;
            for (LONG x = 0; x < m_header.biWidth; ++x) {
                if (SameColor(pSaved + 3 * x, m_crTransparent))
                    SetBgr(pRow + 3 * x, 0x00);
                else
                    std::memcpy(pRow + 3 * x, pSaved + 3 * x, 3);
            }
        }
        return;
    }
    const UINT nColors = TableColors();
    for (UINT i = 0; i < nColors; ++i) {
        if (SameColor(m_pSavedColors + 4 * i, m_crTransparent))
            SetBgr(m_pChangedColors + 4 * i, 0x00);
        else
            std::memcpy(m_pChangedColors + 4 * i, m_pSavedColors + 4 * i, 3);
    }
}

DWORD DibNumColors(const void* pDib)
{
    const auto* p = static_cast<const BYTE*>(pDib);
    WORD nBits;
    if (ReadDword(p) == kCoreHeaderBytes) {
        nBits = ReadWord(p + offsetof(BITMAPCOREHEADER, bcBitCount));
    } else {
        const DWORD dwUsed = ReadDword(p + offsetof(BITMAPINFOHEADER, biClrUsed));
        if (dwUsed != 0)
            return dwUsed;
        nBits = ReadWord(p + offsetof(BITMAPINFOHEADER, biBitCount));
    }
    switch (nBits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

DWORD DibPaletteSize(const void* pDib)
{
    const DWORD dwEntry = ReadDword(static_cast<const BYTE*>(pDib)) == kCoreHeaderBytes ? sizeof(RGBTRIPLE)
                                                                                        : sizeof(RGBQUAD);
    return DibNumColors(pDib) * dwEntry;
}

const BYTE* DibBits(const void* pDib)
{
    const auto* p = static_cast<const BYTE*>(pDib);
    return p + ReadDword(p) + DibPaletteSize(pDib);
}

BYTE* DibBits(void* pDib)
{
    return const_cast<BYTE*>(DibBits(static_cast<const void*>(pDib)));
}
