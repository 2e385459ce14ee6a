#include "model/DrawRect.h"

#include "platform/base/Exception.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <cstdlib>

IMPLEMENT_SERIAL(CDrawRect, CDrawObj, 1)

CDrawRect::CDrawRect() = default;

CDrawRect::CDrawRect(const CRect& position, int nShape) : CDrawObj(position)
{
    m_nShape = (nShape >= 0 && nShape < SHAPE_KIND_COUNT) ? nShape : SHAPE_RECTANGLE;
}

CDrawRect::~CDrawRect() = default;

void CDrawRect::Serialize(CArchive& ar)
{
    (void)ar;
    AfxThrowNotSupportedException();
}

void CDrawRect::Draw(CDC* pDC)
{
    if (pDC == nullptr || !m_bOutline)
        return;
    CPen pen;
    LOGPEN logpen = m_logpen;
    if (!pen.CreatePenIndirect(&logpen))
        return;
    CPen* pOldPen = pDC->SelectObject(&pen);
    if (m_nShape == SHAPE_LINE) {
        pDC->MoveTo(m_position.left, m_position.top);
        pDC->LineTo(m_position.right, m_position.bottom);
    } else {
        CGdiObject* pOldBrush = pDC->SelectStockObject(NULL_BRUSH);
        pDC->Rectangle(&m_position);
        if (pOldBrush != nullptr)
            pDC->SelectObject(pOldBrush);
    }
    pDC->SelectObject(pOldPen);
}

CSize CDrawRect::GetLinePadding() const
{
    int nWidth = std::abs(static_cast<int>(m_logpen.lopnWidth.x));
    return CSize(nWidth, nWidth);
}

CDrawObj* CDrawRect::Clone(CDrawDoc* pDoc, CSurface* pView)
{
    auto* pClone = new CDrawRect(m_position, m_nShape);
    pClone->m_nShape = m_nShape;
    pClone->m_nSides = m_nSides;
    return CloneInto(pClone, pDoc, pView);
}
