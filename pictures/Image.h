#pragma once
// CImage: the picture of a drawing object (and later of backgrounds,
// previews and catalogs). It holds a raster picture of the picture engine,
// a metafile or a composite of two pictures, with the file it came from,
// its flags, transparent colour, mirror state, rotation and display size.
// A drawing object owns its picture and deletes it.
//
// What is here is the state the drawing objects read and copy, and the road
// from a picture file to a device bitmap that the kit's picture controls
// take (open a file, render it for a DC). The picture engine, the stored
// form and drawing come with the picture subsystem: until then a picture
// that was not opened from a file has no handle (IsRaster FALSE), reports
// its display size only, and Draw draws nothing.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "pictures/MetaFileInfo.h"

#include <memory>
#include <vector>

class CBitmap;
class CDC;
class CRgn;
class CSurface;
struct LTBITMAP;

// Values of CImage::m_nHandle besides engine handles (1 and up).
constexpr int kImageNoPicture = -14483;
constexpr int kImageMetafile = 33982;
constexpr int kImageComposite = 33983;

// Bits of CImage::m_wFlags.
#define IMAGE_FLAG_EMBED 0x0001        // store the picture data in the design
#define IMAGE_FLAG_PLACEHOLDER 0x0002  // only a placeholder on screen
#define IMAGE_FLAG_TRANSPARENT 0x0004  // a transparent colour is set
#define IMAGE_FLAG_MIRROR_X 0x0008
#define IMAGE_FLAG_MIRROR_Y 0x0010
#define IMAGE_FLAG_TILED 0x0020
#define IMAGE_FLAG_QUIET 0x0040        // show no error messages
#define IMAGE_FLAG_CROPPED 0x0080
#define IMAGE_FLAG_TRANSLUCENT 0x0100

class CImage : public CObject {
    DECLARE_SERIAL(CImage)
public:
    CImage();
    ~CImage() override;
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Member-wise copy of another picture's state (the view stays).
    void Copy(const CImage& other);
    // Back to an empty picture: no handle, flags IMAGE_FLAG_EMBED, no path,
    // no size, no rotation, flips or transparency.
    void Reset();
    // Frees the picture and resets it.
    void Release();

    // TRUE for an engine handle (1 and up, not a metafile or composite).
    BOOL IsRaster() const;
    // The display size when set (and the natural size is not asked for);
    // else the natural size: an opened file's pixel size, (0, 0) for other
    // pictures until the picture engine exists.
    void GetSize(SIZE& size, BOOL bNatural = FALSE) const;
    // Stores absolute values.
    void SetDisplaySize(int cx, int cy);
    BOOL HasRotation() const { return m_nRotation != 0; }
    BOOL HasTransparency() const;
    void GetTransparency(BOOL& bOn, COLORREF& crColor) const;
    // Raster pictures only.
    void SetTransparency(BOOL bOn, const COLORREF* pColor);
    void SetFlip(BOOL bHorizontal, BOOL bVertical);
    CString GetPathName() const { return m_strPath; }
    // The four corners the picture is drawn into (turned and mirrored), in
    // the order top-left, top-right, bottom-right, bottom-left.
    void SetCorners(const POINT corners[4]);

    // Draws the picture into the destination rectangle, clipped to the
    // region when given; nothing until the picture engine exists.
    void Draw(CDC* pDC, const CRect& rectDest, const CRect* pSource, CRgn* pClip, int nOptions);

    // The stored form in designs (ImageStore.cpp, see the block below).
    void Serialize(CArchive& ar) override;

    // ---- Opening a picture file and rendering it ------------------------------
    // The handle an opened file's raster has while the picture holds it itself.
    static constexpr int kOpenedRaster = 1;
    // The load mode that stands for the preferences' default.
    static constexpr int kDefaultLoadMode = 4;

    // A picture opened from a file (Windows-form path); one that cannot be
    // opened leaves the picture empty, without a message.
    CImage(LPCTSTR lpszPath, int nLoadMode);
    // Opens a BMP, PNG or JPEG file, told apart by its first bytes, and keeps
    // its path and depth. A file that is not there throws a CFileException
    // (fileNotFound); one that cannot be read or decoded throws a
    // CUserException. Either way the picture is left empty.
    void LoadFile(LPCTSTR lpszPath, int nLoadMode, BOOL bRasterizeWmf = FALSE, BOOL bRasterizeIcons = FALSE);
    // A new device bitmap of the picture in pDC's format (the screen's for
    // NULL), owned by the caller; NULL when there is no picture or the
    // bitmap cannot be made.
    HBITMAP CreateDDB(CDC* pDC, BOOL bPalette) const;
    // kDefaultLoadMode becomes the preferences' palette method; other modes
    // stay.
    static int NormalizeLoadMode(int nLoadMode);

    int m_nHandle = kImageNoPicture;
    int m_nBaseHandle = kImageNoPicture;
    CString m_strPath;
    int m_nPaletteValue = 0;
    int m_nLoadMode = 4;
    int m_nFileBitsPerPixel = -1;
    POINT m_corners[4]{};
    CRect m_rectClip;
    CSize m_sizeDisplay;
    int m_nSourceId = 0;
    COLORREF m_crTransparent = 0;
    WORD m_wFlags = IMAGE_FLAG_EMBED;
    int m_nPlainPaint = 0;
    int m_nFlipX = 0;
    int m_nFlipY = 0;
    int m_nRotation = 0; // degrees, 1..360 when set, 0 none
    int m_bForceEmbed = 0;
    BOOL m_bKeepInFile = FALSE;
    CSurface* m_pView = nullptr; // not owned

    // ---- Stored form in designs (ImageStore.cpp) ------------------------------
    // Serialize writes the current form: the handle value (an empty picture
    // is those four bytes alone), path, flags and settings, the data when
    // IMAGE_FLAG_EMBED is set (m_bForceEmbed sets it first): the metafile's
    // own form, or a raster's file image (the bytes a design gave it, else
    // the file it was opened from, else its pixels as a BMP file image; none
    // of them raises a CFileException), then
    // the source id and, for an edited raster, the effect parameters.
    // Loading follows the design's version (text/DesignArchive.h) and keeps
    // what it reads: the raster's file image and the effect parameters
    // undecoded, and a picture without data keeps its path and loads
    // nothing. Damaged or short data raises CArchiveException.
    static constexpr int kEffectParamCount = 25;
    // Reset's and Copy's share of the fields below.
    void ResetStoredForm();
    void CopyStoredForm(const CImage& other);

    CMetaFileInfo m_metafile; // the picture of kImageMetafile
    // The effect parameters in their stored order; the last is the tint
    // colour (0xC0C0C0 after Reset).
    int m_effectParams[kEffectParamCount]{};
    // The base handle value a design stored with the effect parameters;
    // kImageNoPicture when it stored none.
    int m_nStoredBaseHandle = kImageNoPicture;
    // The file image of an embedded raster as a design held it; empty for
    // a picture not read from a design.
    std::vector<BYTE> m_rasterData;

    // ---- Pictures made from bitmaps and file images in memory (ImageRaster.cpp)
    // The picture's raster as a JPEG file image is how previews are kept;
    // the readers know such an image by its first bytes.
    //
    // Remakes the picture from a device bitmap, its pixels taken at 24 bits.
    // The palette and the conversion flag matter on screens of 256 colours
    // or fewer only. FALSE, with the picture left empty, when the bitmap
    // cannot be read.
    BOOL CreateFromBitmap(CBitmap* pBitmap, HPALETTE hPalette = NULL, BOOL bConvert = FALSE,
        int nLoadMode = kDefaultLoadMode);
    // Remakes the picture from a BMP, PNG or JPEG file image in memory.
    // Answers kOpenedRaster, or the imaging library's negative code with
    // the picture left empty.
    int LoadFromMemory(const void* pData, DWORD nSize, int nLoadMode);
    // Writes the raster as a JPEG file image (8-bit grey with bEightBit),
    // after its 32-bit byte count when bWriteCount. A picture without a
    // raster, or one that cannot be encoded, throws a CFileException and
    // writes nothing.
    void WriteRasterData(CArchive& ar, BOOL bEightBit, BOOL bWriteCount);
    // Reads a file image of nBytes (0: a 32-bit count read first) and makes
    // it the picture. A count larger than the bytes left reads nothing and
    // answers LT_ERR_CORRUPT (-19); otherwise as LoadFromMemory.
    int ReadRasterData(CArchive& ar, int nLoadMode, DWORD nBytes = 0);

private:
    // The raster of an opened file (handle kOpenedRaster); null otherwise.
    // FIXME: the picture engine keeps rasters behind its handles; until it
    // exists the picture owns the one it opened.
    std::unique_ptr<LTBITMAP> m_pRaster;
};
