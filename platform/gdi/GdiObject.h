#pragma once
// The class library's GDI object wrappers: CGdiObject and its pen, brush,
// font, bitmap, palette and region classes. A wrapper owns its handle: the
// destructor deletes the object (which must be selected out of every DC
// first, as with the Win32 call). FromHandle gives the permanent wrapper of
// a handle or a temporary one that DeleteTempMap (idle time) frees without
// deleting the object.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/gdi/Gdi.h"

class CDC;

namespace platform {
// The class library lets callers ask a null wrapper for its handle
// (pOld->GetSafeHandle()); the volatile read keeps the compiler from
// assuming `this` is never null and dropping the test.
inline bool IsNullWrapper(const void* p)
{
    const void* volatile v = p;
    return v == nullptr;
}
} // namespace platform

class CGdiObject : public CObject {
    DECLARE_DYNAMIC(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ m_hObject = NULL;

    operator HGDIOBJ() const { return platform::IsNullWrapper(this) ? NULL : m_hObject; }
    HGDIOBJ GetSafeHandle() const { return platform::IsNullWrapper(this) ? NULL : m_hObject; }

    static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();

    int GetObject(int nCount, LPVOID lpObject) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int nIndex);
    BOOL UnrealizeObject();
    BOOL operator==(const CGdiObject& obj) const { return obj.m_hObject == m_hObject; }
    BOOL operator!=(const CGdiObject& obj) const { return obj.m_hObject != m_hObject; }

    // Deletes the object and clears the handle; FALSE when there is none or
    // the object is still selected into a DC.
    BOOL DeleteObject();
};

namespace platform {
// The handle of a wrapper that may be null, without calling a member
// function through a null pointer (the library's own code uses this).
inline HGDIOBJ SafeHandle(const CGdiObject* pObject)
{
    return pObject ? pObject->m_hObject : NULL;
}
} // namespace platform

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    static CPen* PASCAL FromHandle(HPEN hPen) { return static_cast<CPen*>(CGdiObject::FromHandle(hPen)); }

    CPen() = default;
    // These throw CResourceException when the pen cannot be made.
    CPen(int nPenStyle, int nWidth, COLORREF crColor);

    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen);
    operator HPEN() const { return (HPEN)(platform::IsNullWrapper(this) ? NULL : m_hObject); }
    int GetLogPen(LOGPEN* pLogPen) { return GetObject(sizeof(LOGPEN), pLogPen); }
};

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    static CBrush* PASCAL FromHandle(HBRUSH hBrush) { return static_cast<CBrush*>(CGdiObject::FromHandle(hBrush)); }

    CBrush() = default;
    explicit CBrush(COLORREF crColor);
    CBrush(int nIndex, COLORREF crColor);
    explicit CBrush(class CBitmap* pBitmap);

    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
    BOOL CreatePatternBrush(class CBitmap* pBitmap);
    operator HBRUSH() const { return (HBRUSH)(platform::IsNullWrapper(this) ? NULL : m_hObject); }
    int GetLogBrush(LOGBRUSH* pLogBrush) { return GetObject(sizeof(LOGBRUSH), pLogBrush); }
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    static CFont* PASCAL FromHandle(HFONT hFont) { return static_cast<CFont*>(CGdiObject::FromHandle(hFont)); }

    CFont() = default;
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
    // Sizes in tenths of a point on pDC (the screen when NULL).
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = NULL);
    BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = NULL);
    operator HFONT() const { return (HFONT)(platform::IsNullWrapper(this) ? NULL : m_hObject); }
    int GetLogFont(LOGFONT* pLogFont) { return GetObject(sizeof(LOGFONT), pLogFont); }
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap) { return static_cast<CBitmap*>(CGdiObject::FromHandle(hBitmap)); }

    CBitmap() = default;
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadOEMBitmap(UINT nIDBitmap);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight);
    operator HBITMAP() const { return (HBITMAP)(platform::IsNullWrapper(this) ? NULL : m_hObject); }
    int GetBitmap(BITMAP* pBitMap) { return GetObject(sizeof(BITMAP), pBitMap); }
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits);
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const;
};

class CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    static CPalette* PASCAL FromHandle(HPALETTE hPalette) { return static_cast<CPalette*>(CGdiObject::FromHandle(hPalette)); }

    CPalette() = default;
    BOOL CreatePalette(LPLOGPALETTE lpLogPalette);
    operator HPALETTE() const { return (HPALETTE)(platform::IsNullWrapper(this) ? NULL : m_hObject); }
    int GetEntryCount();
    UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const;
    UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors);
    UINT GetNearestPaletteIndex(COLORREF crColor) const;
};

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    static CRgn* PASCAL FromHandle(HRGN hRgn) { return static_cast<CRgn*>(CGdiObject::FromHandle(hRgn)); }

    CRgn() = default;
    operator HRGN() const { return (HRGN)(platform::IsNullWrapper(this) ? NULL : m_hObject); }

    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
    BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
    BOOL CreatePolygonRgn(LPPOINT lpPoints, int nCount, int nMode);
    BOOL CreatePolyPolygonRgn(LPPOINT lpPoints, LPINT lpPolyCounts, int nCount, int nPolyFillMode);
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);

    void SetRectRgn(int x1, int y1, int x2, int y2);
    void SetRectRgn(LPCRECT lpRect);
    int CombineRgn(CRgn* pRgn1, CRgn* pRgn2, int nCombineMode);
    int CopyRgn(CRgn* pRgnSrc);
    BOOL EqualRgn(CRgn* pRgn) const;
    int OffsetRgn(int x, int y);
    int OffsetRgn(POINT point);
    int GetRgnBox(LPRECT lpRect) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT point) const;
    BOOL RectInRegion(LPCRECT lpRect) const;
};
