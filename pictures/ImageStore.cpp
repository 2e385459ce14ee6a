// The stored form of a picture in a design: its handle value, path, flags
// and settings, the picture data when it is embedded (the metafile's own
// form, or the file image of a raster), and the effect parameters of an
// edited raster. What is read is kept as read until the picture engine
// decodes it: a raster's file image and its effect parameters are stored
// again unchanged, and a picture without embedded data keeps its path and
// loads nothing.

#include "pictures/Image.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/imaging/Imaging.h"
#include "text/DesignArchive.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// The default of the tint colour, the last effect parameter.
constexpr COLORREF kDefaultTintColor = 0x00C0C0C0;

// A BMP file image of the pixels in memory; empty when they give no DIB.
std::vector<BYTE> BmpFileImage(const LTBITMAP& raster)
{
    const HGLOBAL hDib = LtConvertToDIB(&raster);
    if (hDib == NULL)
        return {};
    std::vector<BYTE> bytes;
    const SIZE_T nDib = GlobalSize(hDib);
    const auto* pDib = static_cast<const BYTE*>(GlobalLock(hDib));
    BITMAPINFOHEADER header{};
    if (pDib != nullptr && nDib >= sizeof(header) && nDib <= std::numeric_limits<DWORD>::max() - 14) {
        std::memcpy(&header, pDib, sizeof(header));
        const DWORD nColors
            = header.biClrUsed != 0 ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0u);
        const DWORD nFile = static_cast<DWORD>(14 + nDib);
        const DWORD nOffBits = 14 + header.biSize + nColors * 4;
        auto put16 = [&bytes](WORD v) {
            bytes.push_back(static_cast<BYTE>(v & 0xFF));
            bytes.push_back(static_cast<BYTE>(v >> 8));
        };
        auto put32 = [&put16](DWORD v) {
            put16(static_cast<WORD>(v & 0xFFFF));
            put16(static_cast<WORD>(v >> 16));
        };
        put16(0x4D42);
        put32(nFile);
        put32(0);
        put32(nOffBits);
        bytes.insert(bytes.end(), pDib, pDib + nDib);
    }
    if (pDib != nullptr)
        GlobalUnlock(hDib);
    GlobalFree(hDib);
    return bytes;
}

// The file image a raster picture stores as its data: the bytes a design
// gave it, else the file it was opened from, else its pixels in memory (a
// pasted bitmap never had a file, and a picture's file may have gone since
// it was put in). A picture with none of them cannot be stored with its
// data.
std::vector<BYTE> RasterFileImage(const CImage& image, const LTBITMAP* pRaster)
{
    if (!image.m_rasterData.empty())
        return image.m_rasterData;
    CFile file;
    CFileException error;
    if (!image.m_strPath.IsEmpty() && file.Open(image.m_strPath, CFile::modeRead | CFile::shareDenyNone, &error)) {
        const DWORD nLength = file.GetLength();
        std::vector<BYTE> bytes(nLength);
        if (nLength == 0 || file.Read(bytes.data(), nLength) != nLength)
            AfxThrowFileException(CFileException::endOfFile, -1, image.m_strPath);
        return bytes;
    }
    std::vector<BYTE> bytes = pRaster != nullptr ? BmpFileImage(*pRaster) : std::vector<BYTE>();
    if (bytes.empty())
        AfxThrowFileException(CFileException::fileNotFound, -1, image.m_strPath);
    return bytes;
}

} // namespace

void CImage::ResetStoredForm()
{
    m_metafile.Clear();
    std::fill(std::begin(m_effectParams), std::end(m_effectParams), 0);
    m_effectParams[kEffectParamCount - 1] = static_cast<int>(kDefaultTintColor);
    m_nStoredBaseHandle = kImageNoPicture;
    m_rasterData.clear();
}

void CImage::CopyStoredForm(const CImage& other)
{
    if (&other == this)
        return;
    m_metafile.Copy(other.m_metafile);
    std::copy(std::begin(other.m_effectParams), std::end(other.m_effectParams), std::begin(m_effectParams));
    m_nStoredBaseHandle = other.m_nStoredBaseHandle;
    m_rasterData = other.m_rasterData;
}

void CImage::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (m_bForceEmbed)
            m_wFlags |= IMAGE_FLAG_EMBED;
        ar << static_cast<LONG>(m_nHandle);
        if (m_nHandle == kImageNoPicture)
            return;
        ar << m_strPath << m_wFlags << static_cast<LONG>(m_nLoadMode) << static_cast<DWORD>(m_crTransparent)
           << static_cast<LONG>(m_nRotation) << static_cast<LONG>(m_nFileBitsPerPixel)
           << static_cast<LONG>(m_sizeDisplay.cx) << static_cast<LONG>(m_sizeDisplay.cy);
        if (m_wFlags & IMAGE_FLAG_EMBED) {
            if (m_nHandle == kImageMetafile) {
                m_metafile.Serialize(ar);
            } else if (m_nHandle != kImageComposite) {
                const std::vector<BYTE> bytes
                    = RasterFileImage(*this, m_nHandle == kOpenedRaster ? m_pRaster.get() : nullptr);
                if (bytes.size() > std::numeric_limits<DWORD>::max())
                    AfxThrowFileException(CFileException::diskFull, -1, m_strPath);
                ar << static_cast<DWORD>(bytes.size());
                ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
            }
        }
        ar << static_cast<LONG>(m_nSourceId);
        const int nBase = m_nBaseHandle != kImageNoPicture ? m_nBaseHandle : m_nStoredBaseHandle;
        ar << static_cast<LONG>(nBase);
        if (nBase != kImageNoPicture) {
            for (int value : m_effectParams)
                ar << static_cast<LONG>(value);
            ar << static_cast<DWORD>(m_crTransparent);
        }
        return;
    }

    const LONG nVersion = GetDesignArchiveInfo(ar).nVersion;
    Release();
    LONG nHandle = kImageNoPicture;
    ar >> nHandle;
    if (nHandle == kImageNoPicture)
        return;
    m_nHandle = nHandle;
    ar >> m_strPath >> m_wFlags;
    LONG value = 0;
    if (nVersion >= 13) {
        ar >> value;
        m_nLoadMode = value;
    } else {
        // Older designs kept the load mode in the tiling bit.
        m_nLoadMode = (m_wFlags & IMAGE_FLAG_TILED) ? 0 : 2;
    }
    DWORD dw = 0;
    ar >> dw;
    m_crTransparent = dw;
    ar >> value;
    m_nRotation = value;
    if (nVersion >= 20) {
        ar >> value;
        m_nFileBitsPerPixel = value;
    }
    if (nVersion >= 26) {
        LONG cx = 0;
        LONG cy = 0;
        ar >> cx >> cy;
        m_sizeDisplay = CSize(cx, cy);
    }
    if (m_wFlags & IMAGE_FLAG_EMBED) {
        if (nHandle == kImageMetafile) {
            m_metafile.Serialize(ar);
        } else if (nHandle != kImageComposite) {
            m_nLoadMode = 3;
            DWORD nSize = 0;
            ar >> nSize;
            if (nSize > ar.GetBytesRemaining())
                AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
            m_rasterData.resize(nSize);
            if (ar.Read(m_rasterData.data(), nSize) != nSize)
                AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        }
    }
    if (nVersion >= 27) {
        ar >> value;
        m_nSourceId = value;
    }
    if (nVersion >= 29) {
        ar >> value;
        m_nStoredBaseHandle = value;
        if (value != kImageNoPicture) {
            for (int& param : m_effectParams) {
                ar >> value;
                param = value;
            }
            ar >> dw;
            m_crTransparent = dw;
        }
    }
    // FIXME: the picture engine decodes the embedded raster, re-applies the
    // effects and the rotation, and reloads a picture without data from its
    // path; until then the picture keeps what it read.
}
