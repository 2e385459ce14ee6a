#include "model/RotatedRect.h"

#include "app/Paths.h"
#include "app/RectGeometry.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

void CRotatedRect::Reset()
{
    m_ptPivot = POINT{0, 0};
    m_rect = RECT{0, 0, 0, 0};
    for (POINT& pt : m_corners)
        pt = POINT{0, 0};
    m_dAngle = 0.0;
}

void CRotatedRect::SetRect(int left, int top, int right, int bottom)
{
    m_dAngle = 0.0;
    m_rect = RECT{left, top, right, bottom};
    m_corners[0] = POINT{left, top};
    m_corners[1] = POINT{right, top};
    m_corners[2] = POINT{right, bottom};
    m_corners[3] = POINT{left, bottom};
}

void CRotatedRect::SetAngle(double dAngle)
{
    if (dAngle == m_dAngle)
        return;
    SetRect(m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
    m_dAngle = dAngle;
    RotatePoints(m_ptPivot, m_corners, 4, dAngle, FALSE);
}

CPoint CRotatedRect::GetRotatedCenter() const
{
    POINT center = GetRectCenter(m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
    RotatePoints(m_ptPivot, &center, 1, m_dAngle, FALSE);
    return center;
}

void CRotatedRect::Draw(CDC* pDC, COLORREF crColor, int nNumber) const
{
    if (pDC == nullptr)
        return;
    CBrush brush;
    if (!brush.CreateSolidBrush(crColor))
        return;
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->Polygon(m_corners, 4);
    if (pOldBrush != nullptr)
        pDC->SelectObject(pOldBrush);
    if (nNumber != -1) {
        CString strNumber;
        strNumber.Format("%d", nNumber);
        pDC->TextOut(m_corners[0].x, m_corners[0].y, strNumber);
    }
}
