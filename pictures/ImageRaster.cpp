// Pictures made from device bitmaps and from file images in memory, and the
// raster's file image written into an archive: the road a rendered surface
// takes into a design's preview streams and back out to the open dialogs.

#include "pictures/Image.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/imaging/Imaging.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Quality 90: small enough for a preview stream, close enough that the
// colours of a design survive.
constexpr int kJpegQualityFactor = 10;
// Archive reads and writes go in pieces no larger than this.
constexpr DWORD kPieceBytes = 16384;

// A moveable global block that is freed on every way out.
class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL hBlock)
        : m_hBlock(hBlock)
    {
    }
    ~GlobalBlock()
    {
        if (m_hBlock != NULL)
            GlobalFree(m_hBlock);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

private:
    HGLOBAL m_hBlock;
};

} // namespace

BOOL CImage::CreateFromBitmap(CBitmap* pBitmap, HPALETTE hPalette, BOOL bConvert, int nLoadMode)
{
    // FIXME: on screens of 256 colours or fewer the palette maps the
    // bitmap's indexes; a true-colour screen has none to map.
    (void)hPalette;
    (void)bConvert;
    const int nMode = NormalizeLoadMode(nLoadMode);
    Release();
    m_nLoadMode = nMode;
    BITMAP bm{};
    if (pBitmap == nullptr || pBitmap->GetSafeHandle() == NULL || pBitmap->GetBitmap(&bm) == 0 || bm.bmWidth <= 0
        || bm.bmHeight <= 0 || bm.bmWidth > LT_MAX_SIDE || bm.bmHeight > LT_MAX_SIDE
        || static_cast<long long>(bm.bmWidth) * bm.bmHeight > LT_MAX_PIXELS)
        return FALSE;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const size_t nStride = ((static_cast<size_t>(bm.bmWidth) * 24 + 31) / 32) * 4;
    std::vector<BYTE> bits(nStride * static_cast<size_t>(bm.bmHeight));
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return FALSE;
    const int nRows = ::GetDIBits(dc.GetSafeHdc(), static_cast<HBITMAP>(*pBitmap), 0,
        static_cast<UINT>(bm.bmHeight), bits.data(), &info, DIB_RGB_COLORS);
    if (nRows != bm.bmHeight)
        return FALSE;
    auto raster = std::make_unique<LTBITMAP>();
    if (LtCopyFromDIB(raster.get(), &info, bits.data()) != LT_SUCCESS)
        return FALSE;
    m_pRaster = std::move(raster);
    m_nHandle = kOpenedRaster;
    m_nFileBitsPerPixel = 24;
    return TRUE;
}

int CImage::LoadFromMemory(const void* pData, DWORD nSize, int nLoadMode)
{
    const int nMode = NormalizeLoadMode(nLoadMode);
    Release();
    m_nLoadMode = nMode;
    if (pData == nullptr || nSize == 0)
        return LT_ERR_READ;
    LTFILEINFO info;
    int result = LtMemInfo(pData, &info, nSize, 0);
    auto raster = std::make_unique<LTBITMAP>();
    if (result == LT_SUCCESS)
        result = LtMemLoad(pData, raster.get(), 0, LT_ORDER_BGR, nSize);
    if (result != LT_SUCCESS)
        return result;
    m_pRaster = std::move(raster);
    m_nHandle = kOpenedRaster;
    m_nFileBitsPerPixel = info.BitsPerPixel;
    return m_nHandle;
}

void CImage::WriteRasterData(CArchive& ar, BOOL bEightBit, BOOL bWriteCount)
{
    // FIXME: the picture engine takes the rotation off before saving and
    // saves the base raster of an edited picture while a design is stored.
    if (!m_pRaster || m_nHandle != kOpenedRaster)
        AfxThrowFileException(CFileException::genericException, -1, m_strPath);
    HGLOBAL hBlock = NULL;
    DWORD nSize = 0;
    const int result = LtSaveToMemory(&hBlock, m_pRaster.get(), LT_FORMAT_JPEG, bEightBit ? 8 : 24,
        kJpegQualityFactor, &nSize);
    GlobalBlock block(hBlock);
    if (result != LT_SUCCESS || hBlock == NULL)
        AfxThrowFileException(CFileException::genericException, result, m_strPath);
    const auto* pBytes = static_cast<const BYTE*>(GlobalLock(hBlock));
    if (pBytes == nullptr)
        AfxThrowFileException(CFileException::genericException, -1, m_strPath);
    if (bWriteCount)
        ar << nSize;
    for (DWORD nDone = 0; nDone < nSize;) {
        const DWORD nPiece = std::min(nSize - nDone, kPieceBytes);
        ar.Write(pBytes + nDone, nPiece);
        nDone += nPiece;
    }
    GlobalUnlock(hBlock);
}

int CImage::ReadRasterData(CArchive& ar, int nLoadMode, DWORD nBytes)
{
    if (nBytes == 0)
        ar >> nBytes;
    // The count comes from the file: nothing is allocated for bytes the
    // file does not hold.
    if (nBytes > ar.GetBytesRemaining()) {
        Release();
        return LT_ERR_CORRUPT;
    }
    std::vector<BYTE> bytes(nBytes);
    for (DWORD nDone = 0; nDone < nBytes;) {
        const UINT nRead = ar.Read(bytes.data() + nDone, std::min(nBytes - nDone, kPieceBytes));
        if (nRead == 0) {
            Release();
            return LT_ERR_CORRUPT;
        }
        nDone += nRead;
    }
    return LoadFromMemory(bytes.data(), nBytes, nLoadMode);
}
