// Pictures made from device bitmaps and from file images in memory, and the
// raster's file image written into an archive and read back: the road a
// rendered surface takes into a design's preview streams, and the embedded
// pictures of designs.

#include "pictures/Image.h"

#include "pictures/PictureEngine.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/GdiObject.h"
#include "platform/imaging/Imaging.h"

#include <algorithm>
#include <cstring>

namespace {

// Archive reads and writes go in pieces no larger than this.
constexpr DWORD kPieceBytes = 16384;

// A global block freed on every way out.
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

int CImage::s_nStoringDesign = 0;

BOOL CImage::CreateFromBitmap(CBitmap* pBitmap, HPALETTE hPalette, BOOL bConvert, int nLoadMode)
{
    const int nMode = NormalizeLoadMode(nLoadMode);
    Release();
    m_nLoadMode = nMode;
    if (pBitmap == nullptr || pBitmap->GetSafeHandle() == NULL)
        return FALSE;
    TakeNewRaster(CreatePicFromDDB(static_cast<HBITMAP>(pBitmap->GetSafeHandle()), hPalette, bConvert, nMode));
    return IsRaster();
}

int CImage::LoadFromMemory(const void* pData, DWORD nSize, int nLoadMode)
{
    const int nMode = NormalizeLoadMode(nLoadMode);
    Release();
    m_nLoadMode = nMode;
    if (pData == nullptr || nSize == 0)
        return kPicErrBadHandle;
    const int nResult = LoadPicFromMemory(pData, nSize, nMode);
    m_nHandle = nResult >= 1 ? nResult : kImageNoPicture;
    return nResult;
}

BOOL CImage::SaveToMemory(HGLOBAL* phMemory, DWORD* pnSize, BOOL bEightBit)
{
    if (phMemory == nullptr || pnSize == nullptr)
        return FALSE;
    *phMemory = NULL;
    *pnSize = 0;
    // A design stores a turned picture's unturned base with its angle;
    // one whose angle was only recorded gets its base now.
    if (s_nStoringDesign > 0 && IsRaster() && !IsEngineHandle(m_nBaseHandle) && m_nRotation % 360 != 0)
        MakeBaseFromWorking();
    const BOOL bBase = s_nStoringDesign > 0 && IsEngineHandle(m_nBaseHandle);
    if (!IsEngineHandle(bBase ? m_nBaseHandle : m_nHandle))
        return FALSE;
    // The working raster is saved unturned (the base never is turned).
    const BOOL bTurned = !bBase && m_nRotation % 360 != 0;
    if (bTurned)
        ApplyEffect(kEffectRotate, 0, 0);
    const BOOL bSaved = SavePicToMemory(bBase ? m_nBaseHandle : m_nHandle, phMemory, pnSize, bEightBit);
    if (bTurned)
        ApplyEffect(kEffectRotate, -m_nRotation, 0);
    return bSaved;
}

BOOL CImage::IsUndecoded() const
{
    return m_nHandle < 0 && m_nHandle != kImageNoPicture && m_nStoredHandle != kImageNoPicture;
}

BOOL CImage::HasUnchangedRasterData() const
{
    return IsUndecoded() || (!m_rasterData.empty() && !m_bRasterChanged);
}

void CImage::WriteRasterData(CArchive& ar, BOOL bEightBit, BOOL bWriteCount)
{
    // A raster read from a design and not changed since goes back as the
    // very bytes it came from: re-encoding would lose quality at each save
    // (and bytes this build could not decode must not be lost at all).
    if (IsUndecoded() || (HasUnchangedRasterData() && !bEightBit)) {
        const DWORD nSize = static_cast<DWORD>(m_rasterData.size());
        if (bWriteCount)
            ar << nSize;
        for (DWORD nDone = 0; nDone < nSize;) {
            const DWORD nPiece = std::min(nSize - nDone, kPieceBytes);
            ar.Write(m_rasterData.data() + nDone, nPiece);
            nDone += nPiece;
        }
        return;
    }
    HGLOBAL hBlock = NULL;
    DWORD nSize = 0;
    const BOOL bSaved = SaveToMemory(&hBlock, &nSize, bEightBit);
    GlobalBlock block(hBlock);
    if (!bSaved || hBlock == NULL || nSize == 0)
        AfxThrowFileException(CFileException::genericException, -1, m_strPath);
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
    if (nBytes == 0 || nBytes > ar.GetBytesRemaining()) {
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
    const int nResult = LoadFromMemory(bytes.data(), nBytes, nLoadMode);
    m_rasterData = std::move(bytes);
    m_bRasterChanged = FALSE;
    return nResult;
}
