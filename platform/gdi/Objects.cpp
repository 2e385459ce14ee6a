// The GDI object table, stock objects, and the calls that work on any kind
// of object: selection, deletion and GetObject; and the class library's
// CGdiObject with its handle maps.

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/GdiHandleTable.h"
#include "platform/gdi/internal/GdiObjects.h"

#include "platform/base/Exception.h"

#include <cstring>
#include <unordered_map>

namespace platform {

namespace {

constexpr uint8_t kGdiObjectTag = 0x47;

GdiHandleTable<GdiObject, HGDIOBJ>& Objects()
{
    static GdiHandleTable<GdiObject, HGDIOBJ> table(kGdiObjectTag, 1 << 20);
    return table;
}

RGBQUAD Quad(BYTE r, BYTE g, BYTE b)
{
    return RGBQUAD{b, g, r, 0};
}

std::vector<RGBQUAD> StaticColors()
{
    return {Quad(0, 0, 0), Quad(128, 0, 0), Quad(0, 128, 0), Quad(128, 128, 0), Quad(0, 0, 128), Quad(128, 0, 128),
        Quad(0, 128, 128), Quad(192, 192, 192), Quad(192, 220, 192), Quad(166, 202, 240), Quad(255, 251, 240),
        Quad(160, 160, 164), Quad(128, 128, 128), Quad(255, 0, 0), Quad(0, 255, 0), Quad(255, 255, 0), Quad(0, 0, 255),
        Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
}

HGDIOBJ AddStock(std::unique_ptr<GdiObject> object)
{
    object->stock = true;
    return AddGdiObject(std::move(object));
}

HGDIOBJ MakeStockPen(UINT style, COLORREF color)
{
    auto pen = std::make_unique<PenObject>();
    pen->log.lopnStyle = style;
    pen->log.lopnColor = color;
    return AddStock(std::move(pen));
}

HGDIOBJ MakeStockBrush(UINT style, COLORREF color)
{
    auto brush = std::make_unique<BrushObject>();
    brush->log.lbStyle = style;
    brush->log.lbColor = color;
    return AddStock(std::move(brush));
}

HGDIOBJ MakeStockFont(LONG height, LONG weight, BYTE pitchAndFamily, const char* face)
{
    auto font = std::make_unique<FontObject>();
    font->log.lfHeight = height;
    font->log.lfWeight = weight;
    font->log.lfCharSet = ANSI_CHARSET;
    font->log.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(font->log.lfFaceName, face, LF_FACESIZE - 1);
    return AddStock(std::move(font));
}

HGDIOBJ MakeStockObject(int index)
{
    switch (index) {
    case WHITE_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH:
        return MakeStockBrush(BS_NULL, 0);
    case WHITE_PEN:
        return MakeStockPen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN:
        return MakeStockPen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN:
        return MakeStockPen(PS_NULL, 0);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
        return MakeStockFont(-13, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier New");
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT:
        return MakeStockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        return MakeStockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
    case DEFAULT_PALETTE: {
        auto palette = std::make_unique<PaletteObject>();
        for (const RGBQUAD& q : StaticColors())
            palette->entries.push_back(PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
        return AddStock(std::move(palette));
    }
    default:
        return NULL;
    }
}

} // namespace

HGDIOBJ AddGdiObject(std::unique_ptr<GdiObject> object)
{
    return Objects().Add(std::move(object));
}

GdiObject* LookupGdiObject(HGDIOBJ handle)
{
    return Objects().Lookup(handle);
}

HGDIOBJ StockObject(int index)
{
    static HGDIOBJ stock[STOCK_LAST + 1] = {};
    static bool made[STOCK_LAST + 1] = {};
    if (index < 0 || index > STOCK_LAST)
        return NULL;
    if (!made[index]) {
        stock[index] = MakeStockObject(index);
        made[index] = true;
    }
    return stock[index];
}

const std::vector<RGBQUAD>& DefaultColorTable(int bitsPixel)
{
    static const std::vector<RGBQUAD> none;
    static const std::vector<RGBQUAD> mono{Quad(0, 0, 0), Quad(255, 255, 255)};
    static const std::vector<RGBQUAD> vga = [] {
        std::vector<RGBQUAD> all = StaticColors();
        std::vector<RGBQUAD> out(all.begin(), all.begin() + 8);
        out.push_back(Quad(128, 128, 128));
        out.insert(out.end(), all.begin() + 13, all.end());
        return out;
    }();
    static const std::vector<RGBQUAD> eight = [] {
        std::vector<RGBQUAD> all = StaticColors();
        std::vector<RGBQUAD> out(256, Quad(0, 0, 0));
        for (int i = 0; i < 10; ++i) {
            out[size_t(i)] = all[size_t(i)];
            out[size_t(246 + i)] = all[size_t(10 + i)];
        }
        return out;
    }();
    switch (bitsPixel) {
    case 1:
        return mono;
    case 4:
        return vga;
    case 8:
        return eight;
    default:
        return none;
    }
}

HBITMAP CreateBitmapObject(int width, int height, int bitsPixel, uint32_t fill, std::vector<RGBQUAD> colorTable)
{
    if (bitsPixel != 1 && bitsPixel != 4 && bitsPixel != 8 && bitsPixel != 16 && bitsPixel != 24 && bitsPixel != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->bitsPixel = bitsPixel;
    if (bitsPixel <= 8)
        bitmap->colorTable = colorTable.empty() ? DefaultColorTable(bitsPixel) : std::move(colorTable);
    if (!bitmap->pixels.Allocate(width, height, fill & 0x00FFFFFF)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    return (HBITMAP)AddGdiObject(std::move(bitmap));
}

HBITMAP StockBitmap()
{
    static HBITMAP stock = [] {
        HBITMAP h = CreateBitmapObject(1, 1, 1, 0);
        if (GdiObject* object = LookupGdiObject(h))
            object->stock = true;
        return h;
    }();
    return stock;
}

} // namespace platform

using namespace platform;

HGDIOBJ GetStockObject(int i)
{
    return StockObject(i);
}

DWORD GetObjectType(HGDIOBJ h)
{
    if (GdiObject* object = Objects().Find(h))
        return DWORD(object->kind);
    if (DeviceContext* dc = LookupDc((HDC)h))
        return dc->kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    DeviceContext* dc = LookupDc(hdc);
    GdiObject* object = dc ? LookupGdiObject(h) : nullptr;
    if (!object)
        return NULL;
    DcState& state = dc->state;
    HGDIOBJ previous = NULL;
    switch (object->kind) {
    case GdiKind::Pen:
        previous = state.pen;
        state.pen = (HPEN)h;
        break;
    case GdiKind::Brush:
        previous = state.brush;
        state.brush = (HBRUSH)h;
        break;
    case GdiKind::Font:
        previous = state.font;
        state.font = (HFONT)h;
        break;
    case GdiKind::Bitmap:
        // Only memory DCs hold bitmaps, and a bitmap sits in one DC at a time.
        if (dc->kind != DcKind::Memory)
            return NULL;
        if (h != state.bitmap && !object->stock && IsSelectedInAnyDc(h))
            return NULL;
        previous = state.bitmap;
        state.bitmap = (HBITMAP)h;
        break;
    case GdiKind::Region:
        return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(hdc, (HRGN)h)));
    case GdiKind::Palette:
        // Palettes go in through SelectPalette only.
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return previous;
}

BOOL DeleteObject(HGDIOBJ ho)
{
    GdiObject* object = LookupGdiObject(ho);
    if (!object)
        return FALSE;
    if (object->stock)
        return TRUE;
    if (IsSelectedInAnyDc(ho))
        return FALSE;
    Objects().Remove(ho);
    return TRUE;
}

int GetObject(HANDLE h, int c, LPVOID pv)
{
    GdiObject* object = LookupGdiObject(h);
    if (!object)
        return 0;
    auto copy = [&](const void* record, int size) {
        if (!pv)
            return size;
        if (c <= 0)
            return 0;
        int n = c < size ? c : size;
        std::memcpy(pv, record, size_t(n));
        return n;
    };
    switch (object->kind) {
    case GdiKind::Pen:
        return copy(&static_cast<PenObject*>(object)->log, sizeof(LOGPEN));
    case GdiKind::Brush:
        return copy(&static_cast<BrushObject*>(object)->log, sizeof(LOGBRUSH));
    case GdiKind::Font:
        return copy(&static_cast<FontObject*>(object)->log, sizeof(LOGFONT));
    case GdiKind::Bitmap: {
        const BitmapObject* bitmap = static_cast<BitmapObject*>(object);
        BITMAP bm{};
        bm.bmType = 0;
        bm.bmWidth = bitmap->pixels.width;
        bm.bmHeight = bitmap->pixels.height;
        // Device-dependent rows are padded to a whole number of 16-bit words.
        bm.bmWidthBytes = ((bm.bmWidth * bitmap->bitsPixel + 15) / 16) * 2;
        bm.bmPlanes = WORD(bitmap->planes);
        bm.bmBitsPixel = WORD(bitmap->bitsPixel);
        bm.bmBits = nullptr;
        return copy(&bm, sizeof(BITMAP));
    }
    case GdiKind::Palette: {
        WORD count = WORD(static_cast<PaletteObject*>(object)->entries.size());
        return copy(&count, sizeof(WORD));
    }
    case GdiKind::Region:
        return 0;
    }
    return 0;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return NULL;
    switch (type) {
    case OBJ_PEN:
        return dc->state.pen;
    case OBJ_BRUSH:
        return dc->state.brush;
    case OBJ_FONT:
        return dc->state.font;
    case OBJ_PAL:
        return dc->state.palette;
    case OBJ_BITMAP:
        return dc->state.bitmap;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
}

BOOL UnrealizeObject(HGDIOBJ h)
{
    GdiObject* object = LookupGdiObject(h);
    if (!object)
        return FALSE;
    // Brushes are realised afresh (with the DC's brush origin) at every use,
    // and palettes at every RealizePalette, so there is nothing to forget.
    return object->kind == GdiKind::Brush || object->kind == GdiKind::Palette;
}

// ---- CGdiObject ------------------------------------------------------------------

namespace {

std::unordered_map<HGDIOBJ, CGdiObject*>& PermanentMap()
{
    static std::unordered_map<HGDIOBJ, CGdiObject*> map;
    return map;
}

// Temporary wrappers never own their objects. The map may outlive the
// object table at exit (it can be made first), so it lets go of the handles
// before its wrappers die rather than have them delete through a table
// already gone.
struct TemporaryWrappers {
    std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>> map;
    ~TemporaryWrappers()
    {
        for (auto& entry : map)
            entry.second->m_hObject = NULL;
    }
};

std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>>& TemporaryMap()
{
    static TemporaryWrappers wrappers;
    return wrappers.map;
}

std::unique_ptr<CGdiObject> MakeWrapper(GdiKind kind)
{
    switch (kind) {
    case GdiKind::Pen:
        return std::make_unique<CPen>();
    case GdiKind::Brush:
        return std::make_unique<CBrush>();
    case GdiKind::Font:
        return std::make_unique<CFont>();
    case GdiKind::Bitmap:
        return std::make_unique<CBitmap>();
    case GdiKind::Palette:
        return std::make_unique<CPalette>();
    case GdiKind::Region:
        return std::make_unique<CRgn>();
    }
    return std::make_unique<CGdiObject>();
}

} // namespace

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CGdiObject::~CGdiObject()
{
    // A wrapper that dies while its object is still selected leaves the
    // object alive (the call refuses), but must not stay in the map.
    if (m_hObject)
        ::DeleteObject(Detach());
}

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    auto permanent = PermanentMap().find(hObject);
    if (permanent != PermanentMap().end())
        return permanent->second;
    auto& temps = TemporaryMap();
    auto temp = temps.find(hObject);
    if (temp != temps.end())
        return temp->second.get();
    GdiObject* object = Objects().Find(hObject);
    if (!object)
        return nullptr;
    std::unique_ptr<CGdiObject> wrapper = MakeWrapper(object->kind);
    wrapper->m_hObject = hObject;
    CGdiObject* result = wrapper.get();
    temps.emplace(hObject, std::move(wrapper));
    return result;
}

void PASCAL CGdiObject::DeleteTempMap()
{
    auto& temps = TemporaryMap();
    for (auto& entry : temps)
        entry.second->m_hObject = NULL; // temporary wrappers never own
    temps.clear();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject || m_hObject)
        return FALSE;
    m_hObject = hObject;
    PermanentMap()[hObject] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (h) {
        auto it = PermanentMap().find(h);
        if (it != PermanentMap().end() && it->second == this)
            PermanentMap().erase(it);
    }
    m_hObject = NULL;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    HGDIOBJ h = m_hObject;
    if (!::DeleteObject(h))
        return FALSE;
    Detach();
    return TRUE;
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const
{
    return ::GetObject(m_hObject, nCount, lpObject);
}

UINT CGdiObject::GetObjectType() const
{
    return UINT(::GetObjectType(m_hObject));
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    return Attach(::GetStockObject(nIndex));
}

BOOL CGdiObject::UnrealizeObject()
{
    return ::UnrealizeObject(m_hObject);
}

// ---- Pens, brushes and regions of the class library ------------------------------

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (!CreatePen(nPenStyle, nWidth, crColor))
        AfxThrowResourceException();
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen)
{
    return Attach(::CreatePenIndirect(lpLogPen));
}

CBrush::CBrush(COLORREF crColor)
{
    if (!CreateSolidBrush(crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor)
{
    if (!CreateHatchBrush(nIndex, crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* pBitmap)
{
    if (!CreatePatternBrush(pBitmap))
        AfxThrowResourceException();
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor)
{
    return Attach(::CreateHatchBrush(nIndex, crColor));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush)
{
    return Attach(::CreateBrushIndirect(lpLogBrush));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return Attach(::CreatePatternBrush((HBITMAP)platform::SafeHandle(pBitmap)));
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return Attach(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return Attach(::CreateRectRgnIndirect(lpRect));
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    return Attach(::CreateEllipticRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect)
{
    return Attach(::CreateEllipticRgnIndirect(lpRect));
}

BOOL CRgn::CreatePolygonRgn(LPPOINT lpPoints, int nCount, int nMode)
{
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}

BOOL CRgn::CreatePolyPolygonRgn(LPPOINT lpPoints, LPINT lpPolyCounts, int nCount, int nPolyFillMode)
{
    return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2)
{
    ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2);
}

void CRgn::SetRectRgn(LPCRECT lpRect)
{
    ::SetRectRgn((HRGN)m_hObject, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CRgn::CombineRgn(CRgn* pRgn1, CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn((HRGN)m_hObject, (HRGN)platform::SafeHandle(pRgn1), (HRGN)platform::SafeHandle(pRgn2), nCombineMode);
}

int CRgn::CopyRgn(CRgn* pRgnSrc)
{
    return ::CombineRgn((HRGN)m_hObject, (HRGN)platform::SafeHandle(pRgnSrc), NULL, RGN_COPY);
}

BOOL CRgn::EqualRgn(CRgn* pRgn) const
{
    return ::EqualRgn((HRGN)m_hObject, (HRGN)platform::SafeHandle(pRgn));
}

int CRgn::OffsetRgn(int x, int y)
{
    return ::OffsetRgn((HRGN)m_hObject, x, y);
}

int CRgn::OffsetRgn(POINT point)
{
    return ::OffsetRgn((HRGN)m_hObject, point.x, point.y);
}

int CRgn::GetRgnBox(LPRECT lpRect) const
{
    return ::GetRgnBox((HRGN)m_hObject, lpRect);
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return ::PtInRegion((HRGN)m_hObject, x, y);
}

BOOL CRgn::PtInRegion(POINT point) const
{
    return ::PtInRegion((HRGN)m_hObject, point.x, point.y);
}

BOOL CRgn::RectInRegion(LPCRECT lpRect) const
{
    return ::RectInRegion((HRGN)m_hObject, lpRect);
}
