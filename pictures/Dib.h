#pragma once
// CDib: one ".bmp" file image held whole in memory, drawn plainly, stretched
// or with one colour left transparent. It is also a serialisable member of
// other records (a 32-bit byte count and the file image), which is how the
// gallery keeps its thumbnails.
//
// The object owns its file image (a locked moveable global block), its
// palette and, during a transparent draw only, a copy of the colours it
// changes. Only uncompressed images of 1, 4, 8 or 24 bits per pixel are
// held; anything else leaves the object empty, and an empty object draws
// nothing and measures 0 x 0. Every size in a stored image is checked
// against the bytes really there before anything is read or drawn.
//
// The DIB helpers at the end measure packed DIBs (an info or core header,
// its colour table and the pixels) for the picture engine.

#include "platform/base/GdiRecords.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/base/Types.h"
#include "platform/gdi/GdiObject.h"

class CDC;
class CSize;

class CDib : public CObject {
    DECLARE_SERIAL(CDib)
public:
    // Larger images are moved through the archive in pieces of this size.
    static constexpr DWORD kTransferBlock = 32768;

    CDib();
    ~CDib() override;
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // Storing: the byte count (DWORD) and the file image. Loading: the count,
    // then Read. A count beyond the bytes left in the archive shows the read
    // error and raises CArchiveException (endOfFile) without allocating; a
    // failing file underneath shows the read or write error and its
    // exception passes on. A count of 0 is an empty object.
    void Serialize(CArchive& ar) override;

    // Frees what is held, then reads a file image of dwSize bytes from the
    // archive and validates it. FALSE, with the object left empty, when the
    // memory cannot be had ("Unable to allocate DIB memory") or Validate
    // refuses the image.
    BOOL Read(CArchive& ar, DWORD dwSize);
    // Checks the image just read (nCount bytes of the size expected) and
    // sets the bits pointer, depth and transparent colour. A short read
    // shows the read error; a file that is not a bitmap, or whose headers,
    // colour table or pixel rows do not fit in it, shows "Invalid bitmap
    // file"; a depth other than 1, 4, 8 or 24 bits is refused silently.
    BOOL Validate(DWORD nCount);

    // Frees the image, the palette and any saved colours.
    void Free();
    BOOL IsValid() const { return m_pBits != nullptr; }

    // Width and height in pixels, or 0, 0 without an image.
    void GetSize(CSize& size) const;
    // Made once per image: the program's palette for deeper images, else the
    // image's colour table. NULL without an image or when it cannot be made.
    CPalette* GetPalette();

    // The whole image at (x, y). On palette screens the image's palette is
    // selected first, in the background unless bForeground is set, and the
    // previous palette selected back afterwards.
    void Draw(CDC* pDC, int x, int y, BOOL bForeground);
    // The image stretched into (x, y, cx, cy), on a fill of *pBackground
    // when given. bTransparent leaves the destination showing where the
    // image has its transparent colour (a mask drawn with SRCAND, then the
    // image with that colour black drawn with SRCPAINT); every colour is
    // restored afterwards.
    void StretchDraw(CDC* pDC, int x, int y, int cx, int cy, BOOL bTransparent, const COLORREF* pBackground);

    // The colour of the first pixel of the stored rows (the bottom-left one
    // of a bottom-up image): its table entry, or its own colour at 24 bits.
    COLORREF GetTransparentColor() const { return m_crTransparent; }
    int GetBitsPerPixel() const { return m_nBits; }
    DWORD GetImageSize() const { return m_dwSize; }
    // The file image (file header first), NULL without one.
    const BYTE* GetFileImage() const { return reinterpret_cast<const BYTE*>(m_pFileHeader); }

    CString m_strName;

private:
    // Rows of the pixel bits, each padded to four bytes.
    DWORD Stride() const;
    int Height() const;
    // The colour-table entries the image has (0 at 24 bits).
    UINT TableColors() const;
    BOOL ShowError(UINT nID) const;
    // Turns the colours into the mask (transparent white, others black) or
    // into the image with its transparent colour black; Restore puts the
    // saved colours back.
    void MakeMask();
    void MakeImageOverMask();
    BOOL SaveColors();
    void RestoreColors();
    void FreeSavedColors();

    // The colours a transparent draw changes: the colour table, or the pixel
    // bits of a 24-bit image.
    HGLOBAL m_hSavedColors = NULL;
    BYTE* m_pSavedColors = nullptr;
    BYTE* m_pChangedColors = nullptr; // where the saved bytes came from
    DWORD m_dwSavedBytes = 0;
    BOOL m_bPaletteMade = FALSE;
    CPalette m_palette;
    HGLOBAL m_hImage = NULL;
    DWORD m_dwSize = 0;
    int m_nBits = 0;
    BITMAPFILEHEADER* m_pFileHeader = nullptr;
    BITMAPINFOHEADER* m_pInfoHeader = nullptr; // file image + 14, not aligned
    BITMAPINFO* m_pInfo = nullptr;
    BYTE* m_pBits = nullptr;
    COLORREF m_crTransparent = 0;
    // A copy of the info header, since the one in the image is not aligned
    // for direct reads.
    BITMAPINFOHEADER m_header{};
};

// Packed-DIB measures. pDib points at a BITMAPINFOHEADER (40 bytes or one of
// its larger successors) or at an older 12-byte BITMAPCOREHEADER, which the
// caller has checked is readable; the results still need checking against
// the block they describe.
// The header's used-colour count when it gives one, else 2, 16 or 256 for 1,
// 4 or 8 bits, else 0. Core headers have no used count.
DWORD DibNumColors(const void* pDib);
// The colour table's bytes: 4 per colour after an info header, 3 after a
// core header.
DWORD DibPaletteSize(const void* pDib);
// The pixel bits: the header, then the colour table.
BYTE* DibBits(void* pDib);
const BYTE* DibBits(const void* pDib);
