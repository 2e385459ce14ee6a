// CDC: the class library's device context over an output and an attribute
// handle.

#include "platform/gdi/Dc.h"

#include <memory>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CDC, CObject)

namespace {

std::unordered_map<HDC, CDC*>& PermanentDcs()
{
    static std::unordered_map<HDC, CDC*> map;
    return map;
}

std::unordered_map<HDC, std::unique_ptr<CDC>>& TemporaryDcs()
{
    static std::unordered_map<HDC, std::unique_ptr<CDC>> map;
    return map;
}

// Applies a setter to the output DC when it differs and to the attribute
// DC; the attribute DC's previous value wins, as queries read from it.
template <typename T, typename F>
T SetOnBoth(HDC output, HDC attrib, T failure, F set)
{
    T previous = failure;
    if (output && output != attrib)
        previous = set(output);
    if (attrib)
        previous = set(attrib);
    return previous;
}

} // namespace

CDC::~CDC()
{
    if (m_hDC && m_bOwnsDC)
        DeleteDC();
    else
        Detach();
}

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    if (!hDC)
        return nullptr;
    auto permanent = PermanentDcs().find(hDC);
    if (permanent != PermanentDcs().end())
        return permanent->second;
    auto& temps = TemporaryDcs();
    auto temp = temps.find(hDC);
    if (temp != temps.end())
        return temp->second.get();
    if (::GetObjectType(hDC) != OBJ_DC && ::GetObjectType(hDC) != OBJ_MEMDC)
        return nullptr;
    auto wrapper = std::make_unique<CDC>();
    wrapper->m_hDC = wrapper->m_hAttribDC = hDC;
    CDC* result = wrapper.get();
    temps.emplace(hDC, std::move(wrapper));
    return result;
}

void PASCAL CDC::DeleteTempMap()
{
    auto& temps = TemporaryDcs();
    for (auto& entry : temps)
        entry.second->m_hDC = entry.second->m_hAttribDC = NULL; // never owned
    temps.clear();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC || m_hDC)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    PermanentDcs()[hDC] = this;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    if (h) {
        auto it = PermanentDcs().find(h);
        if (it != PermanentDcs().end() && it->second == this)
            PermanentDcs().erase(it);
    }
    m_hDC = m_hAttribDC = NULL;
    m_bOwnsDC = false;
    return h;
}

void CDC::SetAttribDC(HDC hDC)
{
    m_hAttribDC = hDC;
}

void CDC::SetOutputDC(HDC hDC)
{
    m_hDC = hDC;
}

void CDC::ReleaseAttribDC()
{
    m_hAttribDC = NULL;
}

void CDC::ReleaseOutputDC()
{
    m_hDC = NULL;
}

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    if (!Attach(::CreateDC(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODE*>(lpInitData))))
        return FALSE;
    m_bOwnsDC = true;
    return TRUE;
}

BOOL CDC::CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    if (!Attach(::CreateIC(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODE*>(lpInitData))))
        return FALSE;
    m_bOwnsDC = true;
    return TRUE;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (!Attach(::CreateCompatibleDC(pDC ? pDC->GetSafeHdc() : NULL)))
        return FALSE;
    m_bOwnsDC = true;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC()
{
    int id = 0;
    if (m_hAttribDC)
        id = ::SaveDC(m_hAttribDC);
    // Two DCs saved together can only be restored together, by -1.
    if (m_hDC != m_hAttribDC && ::SaveDC(m_hDC) != 0)
        id = -1;
    return id;
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    BOOL ok = TRUE;
    if (m_hDC != m_hAttribDC)
        ok = ::RestoreDC(m_hDC, nSavedDC);
    if (m_hAttribDC)
        ok = ::RestoreDC(m_hAttribDC, nSavedDC) && ok;
    return ok;
}

CPoint CDC::GetBrushOrg() const
{
    POINT p{0, 0};
    ::GetBrushOrgEx(m_hDC, &p);
    return CPoint(p);
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT p{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &p);
    return CPoint(p);
}

// ---- Selection -------------------------------------------------------------------

HGDIOBJ PASCAL CDC::SelectGdiObject(HDC hDC, HGDIOBJ h)
{
    return ::SelectObject(hDC, h);
}

HGDIOBJ CDC::SelectBoth(HGDIOBJ h)
{
    HGDIOBJ old = NULL;
    if (m_hDC && m_hDC != m_hAttribDC)
        old = SelectGdiObject(m_hDC, h);
    if (m_hAttribDC) {
        HGDIOBJ oldAttrib = SelectGdiObject(m_hAttribDC, h);
        if (!old)
            old = oldAttrib;
    }
    return old;
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    HGDIOBJ h = ::GetStockObject(nIndex);
    return h ? CGdiObject::FromHandle(SelectBoth(h)) : nullptr;
}

CPen* CDC::SelectObject(CPen* pPen)
{
    return CPen::FromHandle((HPEN)SelectBoth(platform::SafeHandle(pPen)));
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return CBrush::FromHandle((HBRUSH)SelectBoth(platform::SafeHandle(pBrush)));
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return CFont::FromHandle((HFONT)SelectBoth(platform::SafeHandle(pFont)));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return CBitmap::FromHandle((HBITMAP)SelectBoth(platform::SafeHandle(pBitmap)));
}

int CDC::SelectObject(CRgn* pRgn)
{
    return SelectClipRgn(pRgn);
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    return CGdiObject::FromHandle(SelectBoth(platform::SafeHandle(pObject)));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    return SelectBoth(hObject);
}

// ---- Attributes --------------------------------------------------------------------

COLORREF CDC::SetBkColor(COLORREF crColor)
{
    return SetOnBoth(m_hDC, m_hAttribDC, COLORREF(CLR_INVALID), [&](HDC h) { return ::SetBkColor(h, crColor); });
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    return SetOnBoth(m_hDC, m_hAttribDC, COLORREF(CLR_INVALID), [&](HDC h) { return ::SetTextColor(h, crColor); });
}

int CDC::SetBkMode(int nBkMode)
{
    return SetOnBoth(m_hDC, m_hAttribDC, 0, [&](HDC h) { return ::SetBkMode(h, nBkMode); });
}

int CDC::SetPolyFillMode(int nPolyFillMode)
{
    return SetOnBoth(m_hDC, m_hAttribDC, 0, [&](HDC h) { return ::SetPolyFillMode(h, nPolyFillMode); });
}

int CDC::SetROP2(int nDrawMode)
{
    return SetOnBoth(m_hDC, m_hAttribDC, 0, [&](HDC h) { return ::SetROP2(h, nDrawMode); });
}

int CDC::SetStretchBltMode(int nStretchMode)
{
    return SetOnBoth(m_hDC, m_hAttribDC, 0, [&](HDC h) { return ::SetStretchBltMode(h, nStretchMode); });
}

UINT CDC::SetTextAlign(UINT nFlags)
{
    return SetOnBoth(m_hDC, m_hAttribDC, UINT(GDI_ERROR), [&](HDC h) { return ::SetTextAlign(h, nFlags); });
}

int CDC::SetTextCharacterExtra(int nCharExtra)
{
    return SetOnBoth(m_hDC, m_hAttribDC, int(0x80000000), [&](HDC h) { return ::SetTextCharacterExtra(h, nCharExtra); });
}

// ---- Mapping --------------------------------------------------------------------------

int CDC::SetMapMode(int nMapMode)
{
    return SetOnBoth(m_hDC, m_hAttribDC, 0, [&](HDC h) { return ::SetMapMode(h, nMapMode); });
}

CPoint CDC::GetViewportOrg() const
{
    POINT p{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CPoint(0, 0), [&](HDC h) {
        POINT p{0, 0};
        ::SetViewportOrgEx(h, x, y, &p);
        return CPoint(p);
    });
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CPoint(0, 0), [&](HDC h) {
        POINT p{0, 0};
        ::OffsetViewportOrgEx(h, nWidth, nHeight, &p);
        return CPoint(p);
    });
}

CSize CDC::GetViewportExt() const
{
    SIZE s{0, 0};
    ::GetViewportExtEx(m_hAttribDC, &s);
    return CSize(s);
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CSize(0, 0), [&](HDC h) {
        SIZE s{0, 0};
        ::SetViewportExtEx(h, cx, cy, &s);
        return CSize(s);
    });
}

CSize CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CSize(0, 0), [&](HDC h) {
        SIZE s{0, 0};
        ::ScaleViewportExtEx(h, xNum, xDenom, yNum, yDenom, &s);
        return CSize(s);
    });
}

CPoint CDC::GetWindowOrg() const
{
    POINT p{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CPoint(0, 0), [&](HDC h) {
        POINT p{0, 0};
        ::SetWindowOrgEx(h, x, y, &p);
        return CPoint(p);
    });
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CPoint(0, 0), [&](HDC h) {
        POINT p{0, 0};
        ::OffsetWindowOrgEx(h, nWidth, nHeight, &p);
        return CPoint(p);
    });
}

CSize CDC::GetWindowExt() const
{
    SIZE s{0, 0};
    ::GetWindowExtEx(m_hAttribDC, &s);
    return CSize(s);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CSize(0, 0), [&](HDC h) {
        SIZE s{0, 0};
        ::SetWindowExtEx(h, cx, cy, &s);
        return CSize(s);
    });
}

CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CSize(0, 0), [&](HDC h) {
        SIZE s{0, 0};
        ::ScaleWindowExtEx(h, xNum, xDenom, yNum, yDenom, &s);
        return CSize(s);
    });
}

void CDC::DPtoLP(LPSIZE lpSize) const
{
    POINT points[2] = {POINT{0, 0}, POINT{lpSize->cx, lpSize->cy}};
    ::DPtoLP(m_hAttribDC, points, 2);
    lpSize->cx = points[1].x - points[0].x;
    lpSize->cy = points[1].y - points[0].y;
}

void CDC::LPtoDP(LPSIZE lpSize) const
{
    POINT points[2] = {POINT{0, 0}, POINT{lpSize->cx, lpSize->cy}};
    ::LPtoDP(m_hAttribDC, points, 2);
    lpSize->cx = points[1].x - points[0].x;
    lpSize->cy = points[1].y - points[0].y;
}

// ---- Clipping ---------------------------------------------------------------------------

int CDC::SelectClipRgn(CRgn* pRgn)
{
    HRGN h = (HRGN)platform::SafeHandle(pRgn);
    return SetOnBoth(m_hDC, m_hAttribDC, int(ERROR), [&](HDC dc) { return ::SelectClipRgn(dc, h); });
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    HRGN h = (HRGN)platform::SafeHandle(pRgn);
    return SetOnBoth(m_hDC, m_hAttribDC, int(ERROR), [&](HDC dc) { return ::ExtSelectClipRgn(dc, h, nMode); });
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2)
{
    return SetOnBoth(m_hDC, m_hAttribDC, int(ERROR), [&](HDC dc) { return ::ExcludeClipRect(dc, x1, y1, x2, y2); });
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2)
{
    return SetOnBoth(m_hDC, m_hAttribDC, int(ERROR), [&](HDC dc) { return ::IntersectClipRect(dc, x1, y1, x2, y2); });
}

int CDC::OffsetClipRgn(int x, int y)
{
    return SetOnBoth(m_hDC, m_hAttribDC, int(ERROR), [&](HDC dc) { return ::OffsetClipRgn(dc, x, y); });
}

// ---- Lines ---------------------------------------------------------------------------------

CPoint CDC::GetCurrentPosition() const
{
    POINT p{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::MoveTo(int x, int y)
{
    return SetOnBoth(m_hDC, m_hAttribDC, CPoint(0, 0), [&](HDC h) {
        POINT p{0, 0};
        ::MoveToEx(h, x, y, &p);
        return CPoint(p);
    });
}

BOOL CDC::LineTo(int x, int y)
{
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::MoveToEx(m_hAttribDC, x, y, NULL);
    return ::LineTo(m_hDC, x, y);
}

BOOL CDC::PolylineTo(const POINT* lpPoints, int nCount)
{
    if (m_hAttribDC && m_hAttribDC != m_hDC && nCount > 0)
        ::MoveToEx(m_hAttribDC, lpPoints[nCount - 1].x, lpPoints[nCount - 1].y, NULL);
    return ::PolylineTo(m_hDC, lpPoints, nCount < 0 ? 0 : DWORD(nCount));
}

// ---- Helpers ---------------------------------------------------------------------------------

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    ::SetBkColor(m_hDC, clr);
    // An opaque fill in the background colour: no ROP2, no pattern.
    HBRUSH brush = ::CreateSolidBrush(clr);
    ::FillRect(m_hDC, lpRect, brush);
    ::DeleteObject(brush);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
        clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}
