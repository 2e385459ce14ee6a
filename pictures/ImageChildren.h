#pragma once
// CImageChildren: the content of a composite picture (CImage handle
// kImageComposite): an image and its mask, drawn together so that the mask's
// white areas stay transparent. Icons are imported this way; temporary
// "o4i" files carry composites between operations.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CArchive;
class CDC;
class CImage;

class CImageChildren : public CObject {
public:
    CImageChildren();
    ~CImageChildren() override;
    CImageChildren(const CImageChildren&) = delete;
    CImageChildren& operator=(const CImageChildren&) = delete;

    // All three fields zero, nothing freed.
    void Init();
    // Deletes both children, then Init.
    void Clear();

    // ---- ImageChildren.cpp -------------------------------------------------------------
    // The file's first icon as image and mask (a colour icon's colour and
    // mask bitmaps; a monochrome icon's double-height mask split into the
    // lower half, the image, and the upper half, the mask). An icon with
    // alpha takes its mask from that alpha. TRUE when a first child was made;
    // a file without icons leaves the holder empty.
    BOOL ImportIcon(LPCTSTR lpszPath);
    // Per child, a 32-bit presence flag (1 or 0) and the child's CImage
    // stored form. Loading clears first.
    void Serialize(CArchive& ar) override;
    // The "o4i" temporary form: per child a 32-bit length and that many
    // bytes of a path of the child's own temporary file (0: absent).
    void SaveTemp(LPCTSTR lpszPath);
    // Lengths 1..259 load a child from that path; other lengths leave it
    // absent, their bytes skipped (bounded by the file's size).
    BOOL LoadTemp(LPCTSTR lpszPath);
    void Copy(const CImageChildren& other);
    // The first child's size; (0, 0) without one.
    CSize GetSize() const;
    // The first child's device bitmap; NULL without one.
    HBITMAP CreateDDB(CDC* pDC) const;

    // ---- ImageDraw.cpp --------------------------------------------------------------------
    // With a mask, three passes over the destination: the image with
    // SRCINVERT, the mask with SRCAND, the image again with SRCINVERT (on
    // paper: the mask becomes the image's alpha, so paper shows through);
    // without a mask the image alone.
    BOOL Draw(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, const CRect& rectClip, BOOL bPalette,
        BOOL bThroughMemory, BOOL bNoPolygonClip);
    // The same through CImage::DrawTranslucent, handing m_nTranslucent to
    // the image and clearing it.
    BOOL DrawTranslucent(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, BOOL bPalette);

    CImage* m_pImage = nullptr; // owned
    CImage* m_pMask = nullptr;  // owned
    int m_nTranslucent = 0;
};
