#pragma once
// CImage: the picture of the program: the content of every picture drawing
// object, of surface backgrounds, of previews in dialogs. It holds a raster
// picture of the picture engine (one or two handles), a metafile
// (CMetaFileInfo) or a composite of an image and its mask (CImageChildren),
// with the file it came from, its flags, transparent colour, mirror state,
// rotation, display size and effect parameters, and stores itself in
// designs with its data or with its path only. Its owner deletes it.
//
// Files: Image.cpp (making, copying, queries, export, temporary files),
// ImageStore.cpp (the stored form, the moved-picture search), ImageRaster.cpp
// (pictures from bitmaps and file images in memory), ImageDraw.cpp (drawing),
// ImageChildren.cpp (composites).

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "pictures/ImageChildren.h"
#include "pictures/MetaFileInfo.h"

#include <memory>
#include <vector>

class CArchive;
class CBitmap;
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
#define IMAGE_FLAG_CROPPED 0x0080        // kept when a metafile is rasterised
#define IMAGE_FLAG_TRANSLUCENT 0x0100

class CImage : public CObject {
    DECLARE_SERIAL(CImage)
public:
    // The load mode that stands for the preferences' default.
    static constexpr int kDefaultLoadMode = 4;
    // Pictures read from a design's embedded data.
    static constexpr int kEmbeddedLoadMode = 3;
    static constexpr int kEffectParamCount = 25;

    // An empty picture, load mode 4.
    CImage();
    // A picture loaded from a file; one that cannot be loaded leaves the
    // picture empty, without a message.
    CImage(LPCTSTR lpszPath, int nLoadMode);
    ~CImage() override;
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // ---- Construction and reset (Image.cpp) ---------------------------------------
    // Both handles kImageNoPicture, flags IMAGE_FLAG_EMBED, no path, the
    // metafile and children cleared, effect parameters 0 but the tint colour
    // 0xC0C0C0, no flips, rotation, display size or transparency.
    void Reset();
    // Releases the engine handles (an error of the working handle's release
    // is reported without a box), the metafile and the children, then Reset;
    // IMAGE_FLAG_QUIET survives.
    void Release();

    // ---- Making a picture (each releases the picture first) ------------------------
    // By the path's last four characters (any case): ".wmf" (unless
    // bRasterizeWmf), ".emf", ".cgm" to the metafile member; ".ico" (unless
    // bRasterizeIcons) to the children; ".tmp" files by their prefix ("o4m",
    // "o4i", "wmf"); anything else, and an ".ico" without icons, to LoadPic.
    // A missing file throws CFileException (fileNotFound); any other engine
    // error is reported (ReportError) and throws CUserException. Either way
    // the picture is left empty.
    void LoadFile(LPCTSTR lpszPath, int nLoadMode, BOOL bRasterizeWmf = FALSE, BOOL bRasterizeIcons = FALSE);
    // From a packed DIB (copied, or taken over: hDib becomes NULL).
    BOOL CreateFromDIB(HGLOBAL& hDib, BOOL bCopy);
    // From a device bitmap. FALSE, with the picture left empty, when the
    // bitmap cannot be read.
    BOOL CreateFromBitmap(CBitmap* pBitmap, HPALETTE hPalette = NULL, BOOL bConvert = FALSE,
        int nLoadMode = kDefaultLoadMode);
    BOOL CreateFromMemory(const void* pData, DWORD nSize, int nLoadMode);
    // The new working handle, or the engine's negative code with the picture
    // left empty.
    int LoadFromMemory(const void* pData, DWORD nSize, int nLoadMode);
    // The picture becomes a copy of the metafile (handle kImageMetafile).
    void SetEnhMetaFile(HENHMETAFILE hEnhMetaFile);
    void SetMetaFile(const CMetaFileInfo& other);
    // TRUE when a page was scanned into the picture.
    BOOL AcquireFromScanner(int nLoadMode);
    // A deep copy: rasters duplicated, metafile and children copied; flags,
    // force-embedding, rotation, load mode, effect parameters, flips, source
    // id and path taken over (not the display size, file depth or view).
    void Copy(const CImage& other);

    // ---- Queries -------------------------------------------------------------------
    // An engine handle (1 and up, not a marker).
    BOOL IsRaster() const;
    CString GetPathName() const { return m_strPath; }
    // The display size when set (and the natural size is not asked for);
    // else the metafile's frame, the first child's size, or the engine size
    // of the base raster when there is one, else of the working raster.
    void GetSize(SIZE& size, BOOL bNatural = FALSE) const;
    // Stores absolute values.
    void SetDisplaySize(int cx, int cy);
    BOOL HasRotation() const { return m_nRotation != 0; }
    static BOOL IsMonochromeFile(LPCTSTR lpszPath);
    BOOL HasTransparency() const;
    void GetTransparency(BOOL& bOn, COLORREF& crColor) const;
    // Raster pictures only: the engine's switch, IMAGE_FLAG_TRANSPARENT and
    // (when given) the colour.
    void SetTransparency(BOOL bOn, const COLORREF* pColor);
    // Stores the two flip fields (the flips an effect asked for).
    void SetFlip(BOOL bHorizontal, BOOL bVertical);
    // Brings the raster in memory to the mirror state asked for (reversing
    // or flipping it where it differs from bits 3 and 4) and stores the
    // state in bits 3 and 4; metafiles and composites store the bits only.
    void SetMirror(BOOL bLeftRight, BOOL bTopBottom);
    // Whether the frame the picture shows in is mirrored once (its object
    // flipped one way, not both): a turned raster is then turned the other
    // way before it is mirrored in memory, so that it shows turned with its
    // frame. A change rebuilds a turned raster.
    void SetFrameMirrored(BOOL bMirrored);
    // The four corners the picture is drawn into (turned and mirrored), in
    // the order top-left, top-right, bottom-right, bottom-left.
    void SetCorners(const POINT corners[4]);
    // Sets or clears flag bits of m_wFlags.
    void SetWordFlag(WORD wBits, BOOL bOn);
    // kDefaultLoadMode becomes the preferences' palette method; other modes
    // stay.
    static int NormalizeLoadMode(int nLoadMode);
    // The engine's text for a code (-1: the working handle's value), in a
    // message box only with bShow, a text and IMAGE_FLAG_QUIET clear.
    void ReportError(int nCode, BOOL bShow) const;

    // ---- Effects (ImageEffects.cpp) ------------------------------------------------------
    // The base raster (the unaltered picture, always unmirrored) is made by
    // the first rebuild; the working raster is then the base with every
    // active effect re-applied in one fixed order, the rotation last, and
    // mirrored as bits 3 and 4 say.
    static constexpr int kEffectCount = 23;      // kinds 0..22
    static constexpr int kEffectRotate = 17;
    static constexpr int kEffectReapply = 23;
    // Records an effect's parameters (nothing is applied). Kind 21 sets or
    // clears the translucent bit, 22 sets the transparency; kind 17 and kinds
    // outside 0..22 show a message and answer FALSE.
    BOOL SetEffect(int nKind, int nFirst, int nSecond);
    // The stored parameters of kinds 0..20 (17: the rotation) and whether
    // the effect is active; FALSE too when a needed pointer is missing.
    // Kinds 21 and up show a message and answer FALSE.
    BOOL GetEffect(int nKind, int* pnFirst, int* pnSecond) const;
    // Records the effect (kind 17 only carries the angle for this rebuild,
    // kind 23 records nothing) and rebuilds the working raster from the
    // base. FALSE when the kind was refused, there is no raster, or the last
    // library filter that ran failed.
    BOOL ApplyEffect(int nKind, int nFirst, int nSecond);
    // Records the angle (bApply FALSE) or turns the picture: rasterised
    // first when it is a metafile (at rectRaster's size) or a composite,
    // the base resized to rectObject's proportions, rebuilt with the
    // rotation, the corner points set; rectRaster receives the turned
    // bounds. crFill is accepted for its callers; the turn fills with white.
    // Nonzero when something was recorded or turned.
    int Rotate(int nAngle, CRect& rectRaster, const CRect& rectObject, COLORREF crFill, BOOL bApply);
    int RotateWithWaitCursor(int nAngle, CRect& rectRaster, const CRect& rectObject, COLORREF crFill, BOOL bApply);
    // An immediate, unrecorded effect on the working raster: 0 grey, 1
    // filter, 2 blur, 3 mosaic, 4 lighten, 5 darken. Lighten and darken on a
    // picture with a transparent colour move only that colour.
    BOOL ApplyQuickEffect(int nCode, const CRect& rectRaster);

    // ---- Writing pictures out (Image.cpp) -------------------------------------------
    // Writes the picture as a file whose format the extension names; vector
    // and composite pictures are rasterised first at rectRender's size.
    int Export(LPCTSTR lpszPath, BOOL bUseDefault, BOOL bSetTransparent, COLORREF crTransparent,
        const CRect& rectRender);
    // A temporary file of the picture: "o4m" metafiles, "o4i" composites,
    // "ov4" rasters (mirrors and rotation taken off for the write). An
    // engine error is reported and throws CFileException.
    void SaveToTempFile(CString& strPath, BOOL bEightBit);
    // The raster's file image (the base when the design is being stored and
    // one exists, else the working raster), after a 32-bit count when
    // bWriteCount. A raster that cannot be saved throws CFileException.
    void WriteRasterData(CArchive& ar, BOOL bEightBit, BOOL bWriteCount);
    BOOL SaveToMemory(HGLOBAL* phMemory, DWORD* pnSize, BOOL bEightBit);
    // Reads a file image of nBytes (0: a 32-bit count first, bounded by the
    // bytes left) and loads it. Answers the new working handle or the
    // engine's code; the bytes are kept (m_rasterData) either way.
    int ReadRasterData(CArchive& ar, int nLoadMode, DWORD nBytes = 0);
    // A device bitmap of the picture for pDC (the screen's for NULL), owned
    // by the caller: rasters through the engine, metafiles rendered 200
    // pixels wide, composites from their first child. NULL without a picture.
    HBITMAP CreateDDB(CDC* pDC, BOOL bPalette) const;
    // Remakes a metafile or composite picture as a raster.
    BOOL RasterizeMetaFile(int cx, int cy);
    BOOL RasterizeComposite();
    // Loads a file as a thumbnail no larger than nMax on either side.
    BOOL LoadThumbnail(int nMax, LPCTSTR lpszPath);

    // ---- Drawing (ImageDraw.cpp) ------------------------------------------------------
    // Draws into rectDest (logical units; an inverted rectangle mirrors)
    // clipped to rectClip; rectSecond serves metafiles and composites.
    // FALSE only when the engine ran out of memory.
    BOOL Draw(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, const CRect& rectClip,
        BOOL bPalette = FALSE, BOOL bThroughMemory = FALSE, BOOL bNoPolygonClip = FALSE);
    // The raster alone, for callers that need no regions.
    BOOL DrawRaster(CDC* pDC, const CRect& rectDest, BOOL bSource = FALSE);
    // Dashed diagonals.
    static void DrawPlaceholder(CDC* pDC, const CRect& rect);
    // The word in Arial, its height lowered until it fits width x height.
    static void DrawCaption(CDC* pDC, int nWidth, int nHeight, LPCTSTR lpszText);
    // Drawing through raster operations (composite children).
    BOOL DrawTranslucent(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, BOOL bPalette,
        BOOL bThreePasses, DWORD dwRop1, DWORD dwRop2, DWORD dwRop3);
    // Tiles across and down, and the steps, for a destination.
    void GetTileCounts(const CRect& rectDest, const CSize& sizeTile, int& nAcross, int& nDown, int& nStepX,
        int& nStepY) const;
    // A white device bitmap of cx x cy with the picture drawn into it.
    HBITMAP RenderMetaFile(int cx, int cy);

    // ---- The stored form in designs and the moved-picture search (ImageStore.cpp)
    void Serialize(CArchive& ar) override;
    // Looks for a picture whose folder moved: by the folder word ("art", or
    // the gallery's "images") in the lower-cased path, under the program
    // folder, the design kit's or the design's "Document\" / "Predsgnd"
    // root; then "-" replaced by "_"; then the Locate Picture File prompt.
    // TRUE with strPath changed when a file was found.
    BOOL FindMovedPicture(CString& strPath, LPCTSTR lpszFolderWord = "art");

    // ---- Fields ------------------------------------------------------------------------
    int m_nHandle = kImageNoPicture;
    int m_nBaseHandle = kImageNoPicture;
    CMetaFileInfo m_metafile;     // the picture of kImageMetafile
    CImageChildren m_children;    // the picture of kImageComposite
    CString m_strPath;
    int m_nPaletteValue = 0;
    int m_nLoadMode = kDefaultLoadMode;
    int m_nFileBitsPerPixel = -1;
    POINT m_corners[4]{};
    int m_nValue1 = 1;
    int m_nValue2 = 1;
    CRect m_rectClip;             // the clip rectangle of the last draw
    CSize m_sizeDisplay;
    int m_nSourceId = 0;
    // The effect parameters in their stored order; the last is the tint
    // colour (0xC0C0C0 after Reset).
    int m_effectParams[kEffectParamCount]{};
    COLORREF m_crTransparent = 0;
    WORD m_wFlags = IMAGE_FLAG_EMBED;
    int m_nPlainPaint = 0;        // paint a transparent raster without its transparency
    int m_nFlipX = 0;
    int m_nFlipY = 0;
    int m_nRotation = 0;          // degrees, 1..360 when set, 0 none
    BOOL m_bFrameMirrored = FALSE; // see SetFrameMirrored; not stored
    int m_nOneShot1 = 0;          // handed to the next draw and cleared by it
    int m_nOneShot2 = 0;
    int m_nTileOverride = 0;
    int m_bForceEmbed = 0;        // keep the picture in the file: storing sets IMAGE_FLAG_EMBED
    int m_nForceReverse = 0;      // the next raster draw mirrors left-right once
    CSurface* m_pView = nullptr;  // not owned, not stored

    // What a design stored, kept to be written back: the base handle value
    // written with the effect parameters (kImageNoPicture when none; it is
    // written while no base raster exists, as for a picture that could not
    // be loaded), and the embedded raster's file image as read. The bytes are
    // written back as they came while the raster is unchanged, and always
    // when they could not be decoded.
    // The handle value a design stored with bytes that could not be
    // decoded (the working handle then holds the engine's negative code),
    // or for a linked file that could not be found (the picture is empty).
    // Whoever changes the pixels of a raster read from a design (a mirror,
    // a resize) sets m_bRasterChanged, so that the next save encodes it
    // anew instead of writing the old bytes.
    int m_nStoredBaseHandle = kImageNoPicture;
    int m_nStoredHandle = kImageNoPicture;
    std::vector<BYTE> m_rasterData;
    BOOL m_bRasterChanged = FALSE;
    // The mirror bits the picture had when m_rasterData was read: drawing
    // turns the raster in memory and its bits with it, and the bytes as read
    // are written back with the bits they were read with.
    WORD m_wReadMirrorBits = 0;

    // An engine handle value (1 and up, not a marker).
    static BOOL IsEngineHandle(int nHandle)
    {
        return nHandle >= 1 && nHandle != kImageMetafile && nHandle != kImageComposite;
    }
    // Embedded bytes a design gave that the engine could not decode.
    BOOL IsUndecoded() const;
    // A picture a design linked whose file was not found when it was read:
    // empty, but stored again as the design had it.
    BOOL IsMissingLink() const { return m_nHandle == kImageNoPicture && m_nStoredHandle != kImageNoPicture; }

private:
    // The engine's transparency from flag bit 2 and the colour (rasters).
    void ApplyTransparencyToEngine();
    // A creation's result becomes the working handle (failures leave the
    // picture empty); a new raster without a path is a memory-only one.
    void TakeNewRaster(int nResult);
    // After the metafile member was given a metafile.
    void TakeMetafile();
    // The bytes of m_rasterData may be written instead of encoding anew.
    BOOL HasUnchangedRasterData() const;
    // Loads a picture stored without its data from its path, looking for it
    // when its folder moved; empty when it cannot be found.
    void ReloadFromPath(int nStoredHandle);

    // The base becomes a copy of the working raster, unmirrored; FALSE when
    // it cannot be made.
    BOOL MakeBaseFromWorking();
    // A raster just read (the stored base, unmirrored whatever bits 3 and 4
    // say) becomes the base, the working raster a copy of it.
    BOOL AdoptRasterAsBase();
    // The rebuild of ApplyEffect after its kind was recorded.
    BOOL Rebuild(int nAngle, BOOL bRotate);
    // Re-applies what a design recorded once its raster is loaded: the
    // effects when it stored a base, else the rotation.
    void ReapplyStoredEffects(BOOL bStoredBase);

    // Nonzero while a design is being stored (SaveToMemory saves the base).
    static int s_nStoringDesign;
};

// The path of pictures made from memory ("<memory-only picture>").
CString MemoryOnlyPicturePath();
