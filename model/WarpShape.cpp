#include "model/WarpShape.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <cmath>
#include <cstdlib>

namespace {

// Pi to full precision: with a value cut to seven places the arches stop a
// unit short of their height (sin of a half turn falls just under 1 and the
// column is truncated).
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

int Trunc(double d)
{
    return static_cast<int>(std::trunc(d));
}

// Kinds 7-15: A and the kind; results shifted by minus the origin's y.
class CCurveWarpShape : public CWarpShape {
protected:
    CCurveWarpShape(CDC* pDC, const CRect& rect, int nKind, int nAmplitude)
        : CWarpShape(pDC, rect)
        , m_nAmplitude(nAmplitude)
        , m_nKind(nKind)
    {
    }
    // How far across the column lies, 0 at the measuring edge.
    double Across(int x, BOOL bFromRight) const
    {
        const int nEdge = bFromRight ? m_rect.right : m_rect.left;
        return std::abs(static_cast<double>(x) - nEdge) / (static_cast<double>(m_rect.right) - m_rect.left);
    }
    void Shift(int& nTop, int& nBottom) const
    {
        nTop -= m_ptOrigin.y;
        nBottom -= m_ptOrigin.y;
    }
    int m_nAmplitude;
    int m_nKind;
};

class CArcWarpShape : public CCurveWarpShape {
public:
    CArcWarpShape(CDC* pDC, const CRect& rect, int nKind)
        : CCurveWarpShape(pDC, rect, nKind, std::abs(rect.bottom - rect.top) / 2)
    {
    }
    void GetColumn(int x, int& nTop, int& nBottom) const override
    {
        const int a = m_nAmplitude;
        const double u = Across(x, TRUE);
        switch (m_nKind) {
        case 7:
            nTop = a - Trunc(a * std::sin(u * kPi));
            nBottom = nTop + a;
            break;
        case 8:
            nTop = Trunc(a * std::sin(u * kPi));
            nBottom = nTop + a;
            break;
        case 9: {
            const double s = std::sin(u * kPi + kPi);
            nTop = Trunc(a * s) + a;
            nBottom = 2 * a - Trunc(a * s * (-1.0 / 12));
            break;
        }
        case 10: {
            const double s = std::sin(u * kPi);
            nTop = -Trunc(a * s * (-1.0 / 12));
            nBottom = Trunc(a * s) + a;
            break;
        }
        default: // 11
            nTop = Trunc(a * std::sin(u * kPi + kPi)) + a;
            nBottom = Trunc(a * std::sin(u * kPi)) + a;
            break;
        }
        Shift(nTop, nBottom);
    }
};

class CSineWarpShape : public CCurveWarpShape {
public:
    CSineWarpShape(CDC* pDC, const CRect& rect, int nKind)
        : CCurveWarpShape(pDC, rect, nKind, std::abs((rect.bottom - rect.top) / 3))
    {
    }
    void GetColumn(int x, int& nTop, int& nBottom) const override
    {
        const double u = Across(x, FALSE);
        const double theta = m_nKind == 12 ? kTwoPi * u + kPi : kTwoPi * u;
        nTop = Trunc(m_nAmplitude * std::sin(theta)) + m_nAmplitude;
        nBottom = nTop + m_nAmplitude;
        Shift(nTop, nBottom);
    }
};

class CFlagWarpShape : public CCurveWarpShape {
public:
    CFlagWarpShape(CDC* pDC, const CRect& rect, int nKind)
        : CCurveWarpShape(pDC, rect, nKind, std::abs(rect.bottom - rect.top) / 2)
    {
    }
    void GetColumn(int x, int& nTop, int& nBottom) const override
    {
        const int A = m_nAmplitude;
        const double u = Across(x, FALSE);
        int a = (5 * A) / 6;
        int h = A / 2;
        if (u >= 0.38) {
            const double w = (u - 0.38) * 1.612903213401739;
            a = Trunc(a - std::cos(1 - w) * w * a);
            h = A / 2 + Trunc((A / 2) / 3 * w);
        }
        nTop = A / 4 + a + Trunc(std::sin((2 * u - 0.75) * kPi) * h / 6);
        nBottom = nTop + A;
        if (m_nKind == 15 && u >= 0.25 && u <= 0.65) {
            const double d = 0.2 - std::abs(u - 0.45);
            nTop += Trunc(std::cos(1 - 5 * d) * 4 * d * (A / 5));
        }
        Shift(nTop, nBottom);
    }
};

class CFlatWarpShape : public CWarpShape {
public:
    CFlatWarpShape(CDC* pDC, const CRect& rect)
        : CWarpShape(pDC, rect)
    {
    }
    void GetColumn(int x, int& nTop, int& nBottom) const override
    {
        (void)x;
        const int h = std::abs(m_rect.bottom - m_rect.top);
        nTop = m_pDC != nullptr ? 0 : m_rect.top;
        nBottom = h + nTop;
    }
};

class CLineWarpShape : public CWarpShape {
public:
    CLineWarpShape(CDC* pDC, const CRect& rect, int nKind, BOOL bRelative)
        : CWarpShape(pDC, rect)
    {
        const int top = rect.top;
        const int bottom = rect.bottom;
        const int mid = (top + bottom) / 2;
        const int h = std::abs(bottom - top);
        const int q = h / 4;
        const int f = h / 5;
        int lt = top, lb = bottom, rt = top, rb = bottom;
        switch (nKind) {
        case 1: rt = mid; rb = mid; break;
        case 2: lt = mid; lb = mid; break;
        case 3: rt = mid - f; rb = mid + f; break;
        case 4: lt = mid - f; lb = mid + f; break;
        case 5: lt = top + q; rb = bottom - q; break;
        default: lb = bottom - q; rt = top + q; break; // 6
        }
        const double width = static_cast<double>(rect.right) - rect.left;
        m_dTopSlope = (rt - lt) / width;
        m_dBottomSlope = (rb - lb) / width;
        if (bRelative) {
            rt -= top;
            rb -= top;
        }
        m_nTopOffset = rt - Trunc(m_dTopSlope * rect.right);
        m_nBottomOffset = rb - Trunc(m_dBottomSlope * rect.right);
    }
    void GetColumn(int x, int& nTop, int& nBottom) const override
    {
        nTop = Trunc(m_dTopSlope * x) + m_nTopOffset;
        nBottom = Trunc(m_dBottomSlope * x) + m_nBottomOffset;
    }

private:
    double m_dTopSlope = 0;
    double m_dBottomSlope = 0;
    int m_nTopOffset = 0;
    int m_nBottomOffset = 0;
};

} // namespace

CWarpShape::CWarpShape(CDC* pDC, const CRect& rect)
    : m_pDC(pDC)
    , m_rect(rect)
{
    POINT origin{0, 0};
    if (pDC != nullptr && pDC->m_hAttribDC != NULL)
        ::GetViewportOrgEx(pDC->m_hAttribDC, &origin);
    m_ptOrigin = CPoint(origin.x, origin.y);
}

CWarpShape* CreateWarpShape(int nKind, const CRect& rect, CDC* pDC, BOOL bRelative)
{
    // The shapes measure columns across the width: a rectangle without one
    // has no columns to ask for.
    if (rect.right == rect.left)
        return nullptr;
    if (nKind >= 1 && nKind <= 6)
        return new CLineWarpShape(pDC, rect, nKind, bRelative);
    if (nKind >= 7 && nKind <= 11)
        return new CArcWarpShape(pDC, rect, nKind);
    if (nKind == 12 || nKind == 13)
        return new CSineWarpShape(pDC, rect, nKind);
    if (nKind == 14 || nKind == 15)
        return new CFlagWarpShape(pDC, rect, nKind);
    if (nKind == 16)
        return new CFlatWarpShape(pDC, rect);
    return nullptr;
}
