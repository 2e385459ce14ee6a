#include "pictures/MetafilePicture.h"

#include "app/DcStateSaver.h"
#include "app/RectGeometry.h"
#include "pictures/ResourceBlob.h"
#include "platform/gdi/Dc.h"

#include <algorithm>

namespace {

RECT Normalized(const RECT& r)
{
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

void ResetMapping(CDC* pDC)
{
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
}

} // namespace

CMetafilePicture::CMetafilePicture(int left, int top, int right, int bottom, UINT nResourceId, CMappingObject* pOwner,
    int nNameIndex)
    : m_pOwner(pOwner)
    , m_rectDraw{left, top, right, bottom}
    , m_rectFrame{left, top, right, bottom}
    , m_nResourceId(nResourceId)
    , m_nNameIndex(nNameIndex)
{
    if (nResourceId == 0)
        return;
    CResourceBlob blob(nResourceId, TRUE);
    if (blob.Load(MAKEINTRESOURCE(nResourceId), "METAFILE")) {
        m_hMetaFile = blob.CreateMetafile();
        m_nPictureWidth = blob.GetPictureWidth();
        m_nPictureHeight = blob.GetPictureHeight();
    }
    m_strName = blob.GetName(nNameIndex);
    if (m_bKeepAspect)
        FitDrawRect();
}

CMetafilePicture::~CMetafilePicture()
{
    if (m_hMetaFile)
        ::DeleteMetaFile(m_hMetaFile);
}

void CMetafilePicture::SetRect(int left, int top, int right, int bottom)
{
    m_rectFrame = m_rectDraw = RECT{left, top, right, bottom};
    if (m_bKeepAspect)
        FitDrawRect();
    // The cache holds the picture at the old size.
    m_bCacheValid = FALSE;
}

void CMetafilePicture::FitDrawRect()
{
    // The screen stands for the window the picture is shown in: the same
    // resolution, and the owner sets the mapping.
    HDC screen = ::GetDC(NULL);
    if (!screen)
        return;
    CDC dc;
    dc.Attach(screen);
    if (m_pOwner)
        m_pOwner->PrepareDC(&dc);
    else
        ResetMapping(&dc);
    FitAspectRect(&m_rectDraw, &dc, m_nPictureWidth, m_nPictureHeight, m_rectFrame.left, m_rectFrame.top,
        m_rectFrame.right, m_rectFrame.bottom);
    dc.Detach();
    ::ReleaseDC(NULL, screen);
}

RECT CMetafilePicture::DeviceDrawRect(CDC* pDC) const
{
    RECT device = m_rectDraw;
    pDC->LPtoDP(&device);
    return Normalized(device);
}

void CMetafilePicture::Draw(CDC* pDC)
{
    if (!m_hMetaFile)
        return;
    if (!m_bCacheValid) {
        RECT clip{0, 0, 0, 0};
        pDC->GetClipBox(&clip);
        clip = Normalized(clip);
        RECT draw = Normalized(m_rectDraw);
        RECT visible;
        ::IntersectRect(&visible, &clip, &draw);
        if (::EqualRect(&visible, &draw)) {
            RenderCache(pDC);
        } else {
            PlayInto(pDC, DeviceDrawRect(pDC));
            if (!m_bCacheValid)
                return;
        }
    }
    if (m_bCacheValid)
        BlitCache(pDC);
}

void CMetafilePicture::RenderCache(CDC* pDC)
{
    CDCStateSaver saver(pDC);
    RECT device = DeviceDrawRect(pDC);
    int width = device.right - device.left;
    int height = device.bottom - device.top;
    if (width <= 0 || height <= 0)
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(pDC))
        return;
    ResetMapping(pDC);
    ResetMapping(&memory);
    m_bitmapCache.DeleteObject();
    if (!m_bitmapCache.CreateCompatibleBitmap(pDC, width, height))
        return;
    CBitmap* pOld = memory.SelectObject(&m_bitmapCache);
    memory.SetBrushOrg(device.left % 8, device.top % 8);
    m_nCacheWidth = width;
    m_nCacheHeight = height;
    m_bCacheValid = TRUE;
    // The picture is drawn over what the DC already shows there.
    memory.BitBlt(0, 0, width, height, pDC, device.left, device.top, SRCCOPY);
    PlayInto(&memory, RECT{0, 0, width, height});
    memory.SelectObject(pOld);
}

void CMetafilePicture::BlitCache(CDC* pDC)
{
    CDCStateSaver saver(pDC);
    RECT device = DeviceDrawRect(pDC);
    CDC memory;
    if (!memory.CreateCompatibleDC(pDC))
        return;
    ResetMapping(pDC);
    ResetMapping(&memory);
    CBitmap* pOld = memory.SelectObject(&m_bitmapCache);
    pDC->StretchBlt(device.left, device.top, device.right - device.left, device.bottom - device.top, &memory, 0, 0,
        m_nCacheWidth, m_nCacheHeight, SRCCOPY);
    memory.SelectObject(pOld);
}

void CMetafilePicture::PlayInto(CDC* pDC, const RECT& device)
{
    CDCStateSaver saver(pDC);
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetViewportOrg(device.left, device.top);
    // Two pixels less than the rectangle keep the picture's right and bottom
    // outlines inside it.
    pDC->SetViewportExt(std::max(1, int(device.right - device.left) - 2), std::max(1, int(device.bottom - device.top) - 2));
    pDC->PlayMetaFile(m_hMetaFile);
}
