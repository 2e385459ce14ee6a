#include "pictures/ImgLB.h"

#include "pictures/Image.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"

IMPLEMENT_DYNCREATE(CImgLB, CListBox)

CImgLB::~CImgLB()
{
    for (CImage* pImage : m_images)
        delete pImage;
    m_images.clear();
}

int CImgLB::AddImage(CImage* pImage)
{
    m_images.push_back(pImage);
    const DWORD_PTR nData = m_images.size() - 1;
    const int nIndex = AddString("");
    if (nIndex < 0 || SetItemData(nIndex, nData) == LB_ERR) {
        delete pImage;
        m_images.back() = nullptr;
        return LB_ERR;
    }
    return nIndex;
}

CImage* CImgLB::GetImage(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    const DWORD_PTR nData = GetItemData(nIndex);
    return nData < m_images.size() ? m_images[nData] : nullptr;
}

void CImgLB::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    lpMIS->itemWidth = static_cast<UINT>(rcClient.Width());
    lpMIS->itemHeight = static_cast<UINT>(rcClient.Width());
}

int CImgLB::CompareItem(LPCOMPAREITEMSTRUCT)
{
    // Items keep the order in which they were added.
    return -1;
}

namespace {

void DoubleFrame(CDC* pDC, const CRect& rcItem, COLORREF colour)
{
    CBrush brush(colour);
    CRect rc = rcItem;
    rc.DeflateRect(1, 1);
    pDC->FrameRect(&rc, &brush);
    rc.DeflateRect(1, 1);
    pDC->FrameRect(&rc, &brush);
}

} // namespace

void CImgLB::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS == nullptr || lpDIS->hDC == NULL)
        return;
    const DWORD_PTR nData = lpDIS->itemData;
    CImage* pImage = nData < m_images.size() ? m_images[nData] : nullptr;
    if (pImage == nullptr)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rcItem(lpDIS->rcItem);
    const BOOL bFocus = (lpDIS->itemState & ODS_FOCUS) != 0;
    const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    const COLORREF crFrame = ::GetSysColor(bFocus ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);

    if (lpDIS->itemAction & ODA_DRAWENTIRE) {
        if (pImage->m_nHandle > 0) {
            CRect rcPicture = rcItem;
            rcPicture.DeflateRect(kPictureInset, kPictureInset);
            pImage->Draw(pDC, rcPicture, rcPicture, rcPicture);
        }
    }
    if (lpDIS->itemAction & ODA_FOCUS)
        DoubleFrame(pDC, rcItem, crFrame);
    if (bSelected && (lpDIS->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        DoubleFrame(pDC, rcItem, crFrame);
    if (!bSelected && (lpDIS->itemAction & ODA_SELECT))
        DoubleFrame(pDC, rcItem, ::GetSysColor(COLOR_WINDOW));
}
