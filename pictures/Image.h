#pragma once
// CImage: the picture of a drawing object (and later of backgrounds,
// previews and catalogs). It holds a raster picture of the picture engine,
// a metafile or a composite of two pictures, with the file it came from,
// its flags, transparent colour, mirror state, rotation and display size.
// A drawing object owns its picture and deletes it.
//
// What is here is the state the drawing objects read and copy. The picture
// engine, loading, the stored form and drawing come with the picture
// subsystem: until then a picture has no handle (IsRaster FALSE), reports
// its display size only, and Draw draws nothing.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDC;
class CRgn;
class CSurface;

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
    // else the natural size, which needs the picture engine: (0, 0) until
    // then.
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

    // The stored form is not built yet: raises CNotSupportedException.
    void Serialize(CArchive& ar) override;

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
};
