#pragma once
// CMetafilePicture: a picture drawn from one of the program's METAFILE
// resources into a rectangle, keeping the picture's aspect ratio, with a
// bitmap cache so that repainting a grid of pictures is a blit.
//
// The cache is made only when the whole picture is visible: a picture drawn
// partly clipped is played straight into the DC, as a cache made from it
// would hold the clipped-away part's wrong background. A resource that is
// missing or does not unpack gives a picture that draws nothing.

#include "platform/base/String.h"
#include "platform/gdi/GdiObject.h"

class CDC;

// Prepares a DC for the logical coordinates a picture's rectangles are in
// (a grid's or a page's mapping); its owner keeps it.
class CMappingObject {
public:
    virtual ~CMappingObject() = default;
    virtual void PrepareDC(CDC* pDC) = 0;
};

class CMetafilePicture : public CObject {
public:
    // The frame in the owner's logical units; nResourceId 0 makes an empty
    // picture. nNameIndex picks the display name among the resource string's
    // names.
    CMetafilePicture(int left, int top, int right, int bottom, UINT nResourceId, CMappingObject* pOwner, int nNameIndex);
    ~CMetafilePicture() override;

    // A new frame, also the drawing rectangle until the picture is fitted in.
    virtual void SetRect(int left, int top, int right, int bottom);
    virtual void Draw(CDC* pDC);

    const CString& GetName() const { return m_strName; }
    const RECT& GetDrawRect() const { return m_rectDraw; }
    const RECT& GetFrameRect() const { return m_rectFrame; }
    BOOL HasPicture() const { return m_hMetaFile != NULL; }
    BOOL IsCacheValid() const { return m_bCacheValid; }
    void SetKeepAspect(BOOL bKeep) { m_bKeepAspect = bKeep; }

private:
    void FitDrawRect();
    void RenderCache(CDC* pDC);
    void BlitCache(CDC* pDC);
    // Plays the metafile into deviceRect (device units of pDC).
    void PlayInto(CDC* pDC, const RECT& deviceRect);
    RECT DeviceDrawRect(CDC* pDC) const;

    CMappingObject* m_pOwner;
    CString m_strName;
    CBitmap m_bitmapCache;
    RECT m_rectDraw;
    RECT m_rectFrame;
    BOOL m_bCacheValid = FALSE;
    HMETAFILE m_hMetaFile = NULL;
    BOOL m_bKeepAspect = TRUE;
    UINT m_nResourceId;
    int m_nPictureWidth = 1;
    int m_nPictureHeight = 1;
    int m_nCacheWidth = 0;
    int m_nCacheHeight = 0;
    int m_nNameIndex;
};
