#include "pictures/MetaFileInfo.h"

#include "controls/PaletteSelector.h"
#include "pictures/CgmFilter.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"

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
    m_nTileRequest = 0;
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
        std::vector<BYTE> bits;
        BOOL bEnhanced = FALSE;
        if (!GetBits(bits, bEnhanced))
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
        ar << BYTE(1) << static_cast<LONG>(m_cxFrame) << static_cast<LONG>(m_cyFrame)
           << (bEnhanced ? kKindEnhanced : kKindWindows) << static_cast<DWORD>(bits.size());
        ar.Write(bits.data(), static_cast<UINT>(bits.size()));
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
    if (!SetBits(bits.data(), nSize, nKind != kKindWindows, cx, cy))
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
}

BOOL CMetaFileInfo::GetBits(std::vector<BYTE>& bits, BOOL& bEnhanced) const
{
    bits.clear();
    bEnhanced = m_hEnhMetaFile != NULL;
    const UINT nSize = bEnhanced ? ::GetEnhMetaFileBits(m_hEnhMetaFile, 0, NULL)
                                 : m_hMetaFile != NULL ? ::GetMetaFileBitsEx(m_hMetaFile, 0, NULL) : 0;
    if (nSize == 0)
        return FALSE;
    bits.resize(nSize);
    const UINT nRead = bEnhanced ? ::GetEnhMetaFileBits(m_hEnhMetaFile, nSize, bits.data())
                                 : ::GetMetaFileBitsEx(m_hMetaFile, nSize, bits.data());
    if (nRead != nSize) {
        bits.clear();
        return FALSE;
    }
    return TRUE;
}

BOOL CMetaFileInfo::SetBits(const BYTE* pBits, UINT nSize, BOOL bEnhanced, int cx, int cy)
{
    Clear();
    if (nSize == 0)
        return FALSE;
    m_cxFrame = cx;
    m_cyFrame = cy;
    if (!bEnhanced) {
        m_hMetaFile = ::SetMetaFileBitsEx(nSize, pBits);
    } else {
        m_hEnhMetaFile = ::SetEnhMetaFileBits(nSize, pBits);
        if (m_hEnhMetaFile != NULL)
            ReadEnhHeader();
    }
    if (!HasMetaFile()) {
        Init();
        return FALSE;
    }
    return TRUE;
}

namespace {

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderBytes = 22;
// A Windows metafile's own header.
constexpr size_t kMetaHeaderBytes = 18;
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

DWORD ReadDword(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
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
    if (bytes.size() >= 4 && ReadDword(bytes.data()) == kPlaceableKey) {
        // A placeable file cut inside its own header has no metafile.
        if (bytes.size() < kPlaceableHeaderBytes)
            return FALSE;
        // The bounding box follows the key and the handle word.
        const int left = ReadShort(&bytes[6]);
        const int top = ReadShort(&bytes[8]);
        const int right = ReadShort(&bytes[10]);
        const int bottom = ReadShort(&bytes[12]);
        cx = std::max(1, std::abs(right - left));
        cy = std::max(1, std::abs(bottom - top));
        nStart = kPlaceableHeaderBytes;
    }
    // Fewer bytes than a metafile header are no metafile, whatever the
    // metafile maker would accept.
    if (bytes.size() < nStart + kMetaHeaderBytes)
        return FALSE;
    return SetBits(bytes.data() + nStart, static_cast<UINT>(bytes.size() - nStart), FALSE, cx, cy);
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
    // From 0 x 0, so that the header gives the picture its own proportions
    // and its palette.
    m_cxFrame = 0;
    m_cyFrame = 0;
    ReadEnhHeader();
    return TRUE;
}

void CMetaFileInfo::SetEnhMetaFile(HENHMETAFILE hEnhMetaFile)
{
    SetEnhMetaFileSized(hEnhMetaFile, 0, 0);
}

BOOL CMetaFileInfo::ImportCgm(LPCTSTR lpszPath)
{
    Clear();
    CSize size(500, 500);
    const HMETAFILE hMetaFile = TheCgmFilter().Import(lpszPath, size);
    if (hMetaFile == NULL)
        return FALSE;
    m_hMetaFile = hMetaFile;
    m_cxFrame = size.cx;
    m_cyFrame = size.cy;
    return TRUE;
}

namespace {

void WriteDword(BYTE* p, DWORD dw)
{
    p[0] = static_cast<BYTE>(dw & 0xFF);
    p[1] = static_cast<BYTE>((dw >> 8) & 0xFF);
    p[2] = static_cast<BYTE>((dw >> 16) & 0xFF);
    p[3] = static_cast<BYTE>((dw >> 24) & 0xFF);
}

constexpr UINT kTempHeaderBytes = 16;

} // namespace

void CMetaFileInfo::SaveTemp(LPCTSTR lpszPath) const
{
    std::vector<BYTE> bits;
    BOOL bEnhanced = FALSE;
    if (!GetBits(bits, bEnhanced))
        AfxThrowFileException(CFileException::genericException, -1, lpszPath);
    BYTE header[kTempHeaderBytes];
    WriteDword(header, static_cast<DWORD>(m_cxFrame));
    WriteDword(header + 4, static_cast<DWORD>(m_cyFrame));
    WriteDword(header + 8, bEnhanced ? 1 : 0);
    WriteDword(header + 12, static_cast<DWORD>(bits.size()));
    CFile file(lpszPath, CFile::modeCreate | CFile::modeWrite);
    file.Write(header, sizeof(header));
    file.Write(bits.data(), static_cast<UINT>(bits.size()));
    file.Close();
}

void CMetaFileInfo::LoadTemp(LPCTSTR lpszPath)
{
    Clear();
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(lpszPath, bytes) || bytes.size() < kTempHeaderBytes)
        AfxThrowFileException(CFileException::genericException, -1, lpszPath);
    const int cx = static_cast<int>(ReadDword(bytes.data()));
    const int cy = static_cast<int>(ReadDword(bytes.data() + 4));
    const DWORD nKind = ReadDword(bytes.data() + 8);
    const DWORD nSize = ReadDword(bytes.data() + 12);
    // The count may not run past the file; a Windows metafile stays one.
    if (nSize > bytes.size() - kTempHeaderBytes
        || !SetBits(bytes.data() + kTempHeaderBytes, nSize, nKind != 0, cx, cy))
        AfxThrowFileException(CFileException::genericException, -1, lpszPath);
}

void CMetaFileInfo::GetTileCounts(const CDC* pDC, const CRect& rectDest, int& nAcross, int& nDown,
    CSize& sizeTile) const
{
    const int cxDest = rectDest.Width();
    const int cyDest = rectDest.Height();
    if (m_nTileRequest != 0 && (pDC == nullptr || !pDC->IsPrinting())) {
        nAcross = nDown = 2;
        sizeTile = CSize(cxDest / 2, cyDest / 2);
        return;
    }
    // Tiles of the frame, counted as pictures are: enough to cover the
    // destination, the last ones cut by it; one picture that grows when the
    // frame is unusable or would be repeated past the bound.
    auto count = [](int nExtent, int nFrame, int& nCount, LONG& nTile) {
        const LONGLONG nAbs = std::abs(static_cast<LONGLONG>(nExtent));
        const LONGLONG nSign = nExtent < 0 ? -1 : 1;
        LONGLONG nSide = nFrame;
        if (nSide < 1 || nAbs == 0) {
            nCount = 1;
            nTile = nExtent;
            return;
        }
        if (nAbs / nSide >= kMaxTilesPerSide)
            nSide = (nAbs + kMaxTilesPerSide - 1) / kMaxTilesPerSide;
        nCount = static_cast<int>(std::max<LONGLONG>(1, (nAbs + nSide - 1) / nSide));
        nTile = static_cast<LONG>(nSign * nSide);
    };
    count(cxDest, m_cxFrame, nAcross, sizeTile.cx);
    count(cyDest, m_cyFrame, nDown, sizeTile.cy);
}

namespace {

// The caller's clip and the preview page in device units, selected into the
// DC (inside the caller's saved state).
void SelectDrawClip(CDC* pDC, const CRect& rectClip, const CRect& rectPage)
{
    if (pDC->IsPrinting())
        return;
    const BOOL bClip = rectClip.left != rectClip.right && rectClip.top != rectClip.bottom;
    if (!bClip && rectPage.IsRectEmpty())
        return;
    CRect clip = rectPage;
    if (bClip) {
        clip = rectClip;
        pDC->LPtoDP(&clip);
        clip.NormalizeRect();
        if (!rectPage.IsRectEmpty() && !clip.IntersectRect(&clip, &rectPage))
            clip = CRect(rectPage.left, rectPage.top, rectPage.left, rectPage.top);
    }
    CRgn region;
    if (region.CreateRectRgnIndirect(&clip))
        pDC->SelectClipRgn(&region, RGN_AND);
}

// A palette made from the enhanced metafile's entries, realised for one
// play and put back after it.
class EntriesPalette {
public:
    EntriesPalette(CDC* pDC, const std::vector<PALETTEENTRY>& entries)
        : m_pDC(pDC)
    {
        if (entries.empty() || entries.size() > 256)
            return;
        std::vector<BYTE> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
        auto* pLog = reinterpret_cast<LOGPALETTE*>(block.data());
        pLog->palVersion = 0x300;
        pLog->palNumEntries = static_cast<WORD>(entries.size());
        std::copy(entries.begin(), entries.end(), pLog->palPalEntry);
        if (!m_palette.CreatePalette(pLog))
            return;
        m_pOld = pDC->SelectPalette(&m_palette, FALSE);
        pDC->RealizePalette();
        m_bSelected = TRUE;
    }
    ~EntriesPalette()
    {
        if (m_bSelected && m_pOld != nullptr)
            m_pDC->SelectPalette(m_pOld, FALSE);
    }
    EntriesPalette(const EntriesPalette&) = delete;
    EntriesPalette& operator=(const EntriesPalette&) = delete;

private:
    CDC* m_pDC;
    CPalette m_palette;
    CPalette* m_pOld = nullptr;
    BOOL m_bSelected = FALSE;
};

BOOL IsPaletteScreen(CDC* pDC)
{
    return !pDC->IsPrinting() && pDC->GetDeviceCaps(BITSPIXEL) * pDC->GetDeviceCaps(PLANES) <= 8;
}

// The application's palette, selected and realised for a Windows metafile
// on a palette screen while it plays.
class AppPalette {
public:
    AppPalette(CDC* pDC, BOOL bWanted)
        : m_pDC(pDC)
    {
        CPalette* pApp = bWanted && IsPaletteScreen(pDC) ? GetAppPaletteForDrawing() : nullptr;
        if (pApp == nullptr)
            return;
        m_pOld = pDC->SelectPalette(pApp, FALSE);
        pDC->RealizePalette();
    }
    ~AppPalette()
    {
        if (m_pOld != nullptr)
            m_pDC->SelectPalette(m_pOld, FALSE);
    }
    AppPalette(const AppPalette&) = delete;
    AppPalette& operator=(const AppPalette&) = delete;

private:
    CDC* m_pDC;
    CPalette* m_pOld = nullptr;
};

// The palettes a metafile plays in: the application's for a Windows
// metafile on a palette screen, an enhanced metafile's own entries when
// they are asked for. Put back in the opposite order.
class PlayPalettes {
public:
    PlayPalettes(CDC* pDC, const CMetaFileInfo& info, BOOL bPalette)
        : m_app(pDC, info.GetMetaFile() != NULL)
        , m_entries(pDC, info.GetEnhMetaFile() != NULL && bPalette ? info.GetPaletteEntries()
                                                                   : std::vector<PALETTEENTRY>())
    {
    }

private:
    AppPalette m_app;
    EntriesPalette m_entries;
};

} // namespace

void CMetaFileInfo::PlayOnce(CDC* pDC, const CRect& rectDevice) const
{
    // In device units from here: the DC's own mapping was applied to the
    // destination already.
    const int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    if (m_hEnhMetaFile != NULL) {
        pDC->PlayMetaFile(m_hEnhMetaFile, &rectDevice);
    } else {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(m_cxFrame, m_cyFrame);
        if (rectDevice.Width() != 0 && rectDevice.Height() != 0)
            pDC->SetViewportExt(rectDevice.Width(), rectDevice.Height());
        pDC->SetViewportOrg(rectDevice.left, rectDevice.top);
        pDC->PlayMetaFile(m_hMetaFile);
    }
    pDC->RestoreDC(nSaved);
}

void CMetaFileInfo::Draw(CDC* pDC, const CRect& rectDest, const CRect& rectClip, BOOL bPalette,
    const CRect& rectPage) const
{
    if (pDC == nullptr || !HasMetaFile())
        return;
    const int nSaved = pDC->SaveDC();
    SelectDrawClip(pDC, rectClip, rectPage);
    CRect device = rectDest;
    pDC->LPtoDP(&device);
    // A metafile may draw past the frame its header claims; the picture
    // never paints outside its own rectangle.
    {
        CRect bounds = rectDest;
        bounds.NormalizeRect();
        pDC->IntersectClipRect(&bounds);
    }
    {
        const PlayPalettes palettes(pDC, *this, bPalette);
        PlayOnce(pDC, device);
    }
    pDC->RestoreDC(nSaved);
}

void CMetaFileInfo::DrawTiled(CDC* pDC, const CRect& rectDest, const CRect& rectClip, BOOL bPalette,
    const CRect& rectPage) const
{
    if (pDC == nullptr || !HasMetaFile())
        return;
    const int nSaved = pDC->SaveDC();
    SelectDrawClip(pDC, rectClip, rectPage);
    CRect device = rectDest;
    pDC->LPtoDP(&device);
    // Tiles stay inside the destination: the last row and column are cut.
    CRect bounds = device;
    bounds.NormalizeRect();
    pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    pDC->IntersectClipRect(&bounds);
    int nAcross = 1;
    int nDown = 1;
    CSize sizeTile;
    GetTileCounts(pDC, rectDest, nAcross, nDown, sizeTile);
    // The tile in device units, keeping the destination's direction.
    CSize sizeDevice(sizeTile);
    if (rectDest.Width() != 0)
        sizeDevice.cx = static_cast<LONG>(static_cast<LONGLONG>(sizeTile.cx) * device.Width() / rectDest.Width());
    if (rectDest.Height() != 0)
        sizeDevice.cy = static_cast<LONG>(static_cast<LONGLONG>(sizeTile.cy) * device.Height() / rectDest.Height());
    {
        const PlayPalettes palettes(pDC, *this, bPalette);
        for (int j = 0; j < nDown; ++j) {
            for (int i = 0; i < nAcross; ++i) {
                const CRect tile(device.left + i * sizeDevice.cx, device.top + j * sizeDevice.cy,
                    device.left + (i + 1) * sizeDevice.cx, device.top + (j + 1) * sizeDevice.cy);
                PlayOnce(pDC, tile);
            }
        }
    }
    pDC->RestoreDC(nSaved);
}

void CMetaFileInfo::Play(CDC* pDC, const CRect& rect) const
{
    Draw(pDC, rect, CRect(), FALSE);
}
