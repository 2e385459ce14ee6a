// Playing enhanced-metafile records into a DC.
//
// The records are in the metafile's own logical units, under its own
// mapping and world transform, on the reference device the header
// describes. Our DCs have no world transform, so the player keeps the whole
// chain itself (world, then page mapping, then the frame-to-rectangle
// placement) as one affine transform, sets the target DC to plain device
// units for the duration, and hands it device coordinates. Shapes that the
// transform rotates or shears are drawn as polygons; paths are flattened
// here. Pens and fonts are made per scale when they are used, since the
// transform may change between selecting and drawing.
//
// What the DC itself has no call for is drawn here: gradient fills are
// shaded into a bitmap laid in under a clip of their shape, alpha blends go
// through a memory DC holding the record's bitmap, and wide dashed pens are
// cut into their dashes, each outlined with its caps and joins and filled.

#include "platform/gdi/internal/EmfPlayer.h"

#include "platform/base/CodePage.h"
#include "platform/gdi/internal/MetafileCommon.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

namespace platform {

namespace {

enum EmrType : DWORD {
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_SETBRUSHORGEX = 13,
    EMR_EOF = 14,
    EMR_SETPIXELV = 15,
    EMR_SETMAPPERFLAGS = 16,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_OFFSETCLIPRGN = 26,
    EMR_MOVETOEX = 27,
    EMR_SETMETARGN = 28,
    EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SCALEVIEWPORTEXTEX = 31,
    EMR_SCALEWINDOWEXTEX = 32,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_SELECTPALETTE = 48,
    EMR_CREATEPALETTE = 49,
    EMR_SETPALETTEENTRIES = 50,
    EMR_REALIZEPALETTE = 52,
    EMR_LINETO = 54,
    EMR_ARCTO = 55,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_FLATTENPATH = 65,
    EMR_WIDENPATH = 66,
    EMR_SELECTCLIPPATH = 67,
    EMR_ABORTPATH = 68,
    EMR_GDICOMMENT = 70,
    EMR_FILLRGN = 71,
    EMR_FRAMERGN = 72,
    EMR_INVERTRGN = 73,
    EMR_PAINTRGN = 74,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_CREATEMONOBRUSH = 93,
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95,
    EMR_SMALLTEXTOUT = 108,
    EMR_ALPHABLEND = 114,
    EMR_GRADIENTFILL = 118,
};

constexpr DWORD MWT_IDENTITY = 1;
constexpr DWORD MWT_LEFTMULTIPLY = 2;
constexpr DWORD MWT_RIGHTMULTIPLY = 3;
constexpr DWORD MWT_SET = 4;
constexpr DWORD kStockObjectFlag = 0x80000000u;
constexpr UINT ETO_PDY = 0x2000;
constexpr UINT ETO_NO_RECT = 0x0100;
constexpr UINT ETO_SMALL_CHARS = 0x0200;
constexpr DWORD PS_STYLE_MASK = 0x0000000F;
constexpr DWORD PS_GEOMETRIC = 0x00010000;
constexpr int PS_USERSTYLE = 7;
constexpr DWORD PS_ENDCAP_ROUND = 0x00000000;
constexpr DWORD PS_ENDCAP_SQUARE = 0x00000100;
constexpr DWORD PS_ENDCAP_FLAT = 0x00000200;
constexpr DWORD PS_ENDCAP_MASK = 0x00000F00;
constexpr DWORD PS_JOIN_ROUND = 0x00000000;
constexpr DWORD PS_JOIN_BEVEL = 0x00001000;
constexpr DWORD PS_JOIN_MITER = 0x00002000;
constexpr DWORD PS_JOIN_MASK = 0x0000F000;
constexpr DWORD GRADIENT_FILL_RECT_H = 0;
constexpr DWORD GRADIENT_FILL_RECT_V = 1;
constexpr DWORD GRADIENT_FILL_TRIANGLE = 2;
// A user style holds at most this many dash and gap lengths.
constexpr size_t kMaxStyleEntries = 16;
// The default miter limit: longer miters are cut to bevels.
constexpr double kMiterLimit = 10;
// A dash pattern shorter than this (device pixels) is drawn as a solid line,
// and a line cut into more dashes than this stops there: damage, not drawing.
constexpr double kMinDashPeriod = 1;
constexpr size_t kMaxDashes = 1 << 14;
// A shaded fill larger than this many pixels is shaded coarser and
// stretched; a gradient does not need every pixel worked out.
constexpr int64_t kMaxShadePixels = int64_t(1) << 22;

// Device coordinates are kept well inside what the shape code can take.
constexpr double kMaxCoordinate = double(1 << 27);
// Wider pens and taller fonts than this are damage, not drawing.
constexpr double kMaxPenWidth = 16384;
constexpr double kMaxFontHeight = 16384;
constexpr size_t kMaxObjectSlots = 65536;
constexpr double kPi = 3.14159265358979323846;

struct DPoint {
    double x = 0;
    double y = 0;
};

// x' = x * m11 + y * m21 + dx, y' = x * m12 + y * m22 + dy (XFORM's layout).
struct Affine {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    DPoint Apply(double x, double y) const { return DPoint{x * m11 + y * m21 + dx, x * m12 + y * m22 + dy}; }
    DPoint ApplyVector(double x, double y) const { return DPoint{x * m11 + y * m21, x * m12 + y * m22}; }
    double Determinant() const { return m11 * m22 - m12 * m21; }
    bool AxisAligned() const { return std::fabs(m12) < 1e-9 && std::fabs(m21) < 1e-9; }
    // The average stretch of a length, for pen widths.
    double LinearScale() const { return std::sqrt(std::fabs(Determinant())); }
    double ScaleX() const { return std::hypot(m11, m12); }
    double ScaleY() const { return std::hypot(m21, m22); }

    // `first`, then `then`.
    static Affine Then(const Affine& first, const Affine& then)
    {
        Affine r;
        r.m11 = first.m11 * then.m11 + first.m12 * then.m21;
        r.m12 = first.m11 * then.m12 + first.m12 * then.m22;
        r.m21 = first.m21 * then.m11 + first.m22 * then.m21;
        r.m22 = first.m21 * then.m12 + first.m22 * then.m22;
        r.dx = first.dx * then.m11 + first.dy * then.m21 + then.dx;
        r.dy = first.dx * then.m12 + first.dy * then.m22 + then.dy;
        return r;
    }
};

LONG ToDeviceInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    v = std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
    return LONG(std::lround(v));
}

POINT Round(DPoint p)
{
    return POINT{ToDeviceInt(p.x), ToDeviceInt(p.y)};
}

struct PenSpec {
    HGDIOBJ stock = NULL; // a stock pen, used as it is
    int style = PS_SOLID; // PS_USERSTYLE with `dashes`
    double width = 0; // logical units; 0 for one pixel
    COLORREF color = 0;
    bool geometric = false;
    DWORD cap = PS_ENDCAP_ROUND;
    DWORD join = PS_JOIN_ROUND;
    std::vector<double> dashes; // a user style: dash, gap, dash... in logical units
};

struct FontSpec {
    HGDIOBJ stock = NULL;
    LOGFONT log{};
};

struct EmfObject {
    enum class Kind : uint8_t { Empty, Pen, Font, Brush, Palette };
    Kind kind = Kind::Empty;
    PenSpec pen;
    FontSpec font;
    HGDIOBJ handle = NULL; // brushes and palettes
};

// The state SAVEDC keeps beside the DC's own (which holds the brush,
// palette and attributes).
struct EmfState {
    int mapMode = MM_TEXT;
    POINT windowOrg{0, 0};
    SIZE windowExt{1, 1};
    POINT viewportOrg{0, 0};
    SIZE viewportExt{1, 1};
    Affine world;
    PenSpec pen;
    FontSpec font;
    HRGN clip = NULL; // device units; null: no clip of the metafile's own
    DPoint current;   // logical
};

struct Figure {
    std::vector<DPoint> points; // device units
    bool closed = false;
};

class EmfPlayer {
public:
    EmfPlayer(HDC hdc, const EnhMetaFileObject& metafile, const RECT& deviceRect)
        : m_dc(hdc)
        , m_metafile(metafile)
        , m_header(metafile.header)
        , m_objects(std::clamp<size_t>(metafile.header.nHandles, 1, kMaxObjectSlots))
    {
        SetUpReference(deviceRect);
        m_baseClip = CreateRectRgn(0, 0, 0, 0);
        if (m_baseClip && GetClipRgn(hdc, m_baseClip) != 1) {
            DeleteObject(m_baseClip);
            m_baseClip = NULL;
        }
        m_firstSave = SaveDC(hdc);
        if (!m_firstSave)
            return;
        SetMapMode(hdc, MM_TEXT);
        SetWindowOrgEx(hdc, 0, 0, NULL);
        SetViewportOrgEx(hdc, 0, 0, NULL);
        // Playback starts from the default attributes, whatever the DC had.
        SelectObject(hdc, GetStockObject(WHITE_BRUSH));
        SelectObject(hdc, GetStockObject(BLACK_PEN));
        SelectObject(hdc, GetStockObject(SYSTEM_FONT));
        SetTextColor(hdc, RGB(0, 0, 0));
        SetBkColor(hdc, RGB(255, 255, 255));
        SetBkMode(hdc, OPAQUE);
        SetROP2(hdc, R2_COPYPEN);
        SetPolyFillMode(hdc, ALTERNATE);
        SetStretchBltMode(hdc, BLACKONWHITE);
        SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        SetTextCharacterExtra(hdc, 0);
        m_state.pen.stock = GetStockObject(BLACK_PEN);
        m_state.font.stock = GetStockObject(SYSTEM_FONT);
        MoveToEx(hdc, 0, 0, NULL);
    }

    ~EmfPlayer()
    {
        if (m_firstSave)
            RestoreDC(m_dc, m_firstSave);
        for (EmfObject& object : m_objects)
            if (object.handle)
                DeleteObject(object.handle);
        for (HGDIOBJ h : m_deferred)
            DeleteObject(h);
        for (auto& entry : m_pens)
            DeleteObject(entry.second);
        for (auto& entry : m_fonts)
            DeleteObject(entry.second);
        for (EmfState& state : m_saved)
            if (state.clip)
                DeleteObject(state.clip);
        if (m_state.clip)
            DeleteObject(m_state.clip);
        if (m_baseClip)
            DeleteObject(m_baseClip);
    }

    bool Ready() const { return m_firstSave != 0; }
    // A rectangle of no width or height shows nothing.
    bool Empty() const { return m_empty; }

    void Play()
    {
        ByteReader all(m_metafile.bits.data(), m_metafile.bits.size());
        size_t at = all.U32(4); // past the header record
        while (all.Has(at, 8)) {
            size_t bytes = all.U32(at + 4);
            if (bytes < 8 || !all.Has(at, bytes))
                return;
            DWORD type = all.U32(at);
            if (type == EMR_EOF)
                return;
            Dispatch(type, all.Sub(at, bytes));
            at += bytes;
        }
    }

private:
    void Dispatch(DWORD type, ByteReader r);

    // ---- Transforms ---------------------------------------------------------------

    // Reference-device pixels per millimetre, from the header (96 dpi when
    // it says nothing usable).
    double PixelsPerMm(bool vertical) const
    {
        LONG pixels = vertical ? m_header.szlDevice.cy : m_header.szlDevice.cx;
        LONG mm = vertical ? m_header.szlMillimeters.cy : m_header.szlMillimeters.cx;
        if (pixels <= 0 || mm <= 0)
            return 96.0 / 25.4;
        return double(pixels) / double(mm);
    }

    // The frame (0.01 mm) in reference pixels is placed onto the rectangle.
    void SetUpReference(const RECT& device)
    {
        double pxX = PixelsPerMm(false) / 100.0;
        double pxY = PixelsPerMm(true) / 100.0;
        const RECTL& f = m_header.rclFrame;
        double left = f.left * pxX, right = f.right * pxX;
        double top = f.top * pxY, bottom = f.bottom * pxY;
        if (!(std::fabs(right - left) >= 1e-6) || !(std::fabs(bottom - top) >= 1e-6)) {
            // No usable frame: the bounds, inclusive, are the picture.
            const RECTL& b = m_header.rclBounds;
            left = b.left;
            top = b.top;
            right = double(b.right) + 1;
            bottom = double(b.bottom) + 1;
        }
        m_empty = device.right == device.left || device.bottom == device.top;
        m_reference.m11 = (right - left) != 0 ? (device.right - device.left) / (right - left) : 1;
        m_reference.m22 = (bottom - top) != 0 ? (device.bottom - device.top) / (bottom - top) : 1;
        m_reference.dx = device.left - left * m_reference.m11;
        m_reference.dy = device.top - top * m_reference.m22;
    }

    Affine PageTransform() const
    {
        const EmfState& s = m_state;
        double sx = 1, sy = 1;
        switch (s.mapMode) {
        case MM_ANISOTROPIC:
        case MM_ISOTROPIC:
            sx = double(s.viewportExt.cx) / double(s.windowExt.cx);
            sy = double(s.viewportExt.cy) / double(s.windowExt.cy);
            if (s.mapMode == MM_ISOTROPIC) {
                double m = std::min(std::fabs(sx), std::fabs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
            break;
        case MM_LOMETRIC:
        case MM_HIMETRIC:
        case MM_LOENGLISH:
        case MM_HIENGLISH:
        case MM_TWIPS: {
            double unitsPerMm = s.mapMode == MM_LOMETRIC ? 10
                : s.mapMode == MM_HIMETRIC               ? 100
                : s.mapMode == MM_LOENGLISH              ? 100 / 25.4
                : s.mapMode == MM_HIENGLISH              ? 1000 / 25.4
                                                         : 1440 / 25.4;
            sx = PixelsPerMm(false) / unitsPerMm;
            sy = -PixelsPerMm(true) / unitsPerMm;
            break;
        }
        default:
            break;
        }
        Affine page;
        page.m11 = sx;
        page.m22 = sy;
        page.dx = s.viewportOrg.x - s.windowOrg.x * sx;
        page.dy = s.viewportOrg.y - s.windowOrg.y * sy;
        return page;
    }

    const Affine& T()
    {
        if (m_dirty) {
            m_transform = Affine::Then(Affine::Then(m_state.world, PageTransform()), m_reference);
            m_dirty = false;
        }
        return m_transform;
    }

    DPoint DevD(double x, double y) { return T().Apply(x, y); }
    POINT Dev(double x, double y) { return Round(DevD(x, y)); }

    // ---- Objects ----------------------------------------------------------------------

    EmfObject* ObjectAt(DWORD index)
    {
        if (index == 0 || index >= m_objects.size() || m_objects[index].kind == EmfObject::Kind::Empty)
            return nullptr;
        return &m_objects[index];
    }

    // A slot for a new object; a damaged table size is grown up to the
    // largest a word index can name.
    EmfObject* NewObject(DWORD index)
    {
        if (index == 0 || index >= kMaxObjectSlots)
            return nullptr;
        if (index >= m_objects.size())
            m_objects.resize(index + 1);
        DeleteIndex(index);
        return &m_objects[index];
    }

    void DeleteIndex(DWORD index)
    {
        if (index == 0 || index >= m_objects.size())
            return;
        EmfObject& object = m_objects[index];
        if (object.handle && !DeleteObject(object.handle))
            m_deferred.push_back(object.handle); // still selected: at the end
        object = EmfObject();
    }

    void SelectIndex(DWORD index)
    {
        if (index & kStockObjectFlag) {
            HGDIOBJ stock = GetStockObject(int(index & ~kStockObjectFlag));
            if (!stock)
                return;
            switch (GetObjectType(stock)) {
            case OBJ_PEN:
                m_state.pen = PenSpec();
                m_state.pen.stock = stock;
                break;
            case OBJ_FONT:
                m_state.font = FontSpec{stock, {}};
                break;
            case OBJ_PAL:
                SelectPalette(m_dc, static_cast<HPALETTE>(stock), FALSE);
                break;
            default:
                SelectObject(m_dc, stock);
                break;
            }
            return;
        }
        EmfObject* object = ObjectAt(index);
        if (!object)
            return;
        switch (object->kind) {
        case EmfObject::Kind::Pen:
            m_state.pen = object->pen;
            break;
        case EmfObject::Kind::Font:
            m_state.font = object->font;
            break;
        case EmfObject::Kind::Brush:
            SelectObject(m_dc, object->handle);
            break;
        case EmfObject::Kind::Palette:
            SelectPalette(m_dc, static_cast<HPALETTE>(object->handle), FALSE);
            break;
        case EmfObject::Kind::Empty:
            break;
        }
    }

    // The pen of the current state at the current scale, selected.
    void UsePen()
    {
        const PenSpec& p = m_state.pen;
        if (p.stock) {
            SelectObject(m_dc, p.stock);
            return;
        }
        int width = 0;
        if (p.width > 0)
            width = int(std::lround(std::min(p.width * T().LinearScale(), kMaxPenWidth)));
        // The DC's own pens know no user styles; a thin one draws solid.
        int style = p.style <= PS_INSIDEFRAME ? p.style : PS_SOLID;
        auto key = std::make_tuple(style, width, p.color);
        auto it = m_pens.find(key);
        if (it == m_pens.end()) {
            HPEN pen = CreatePen(style, width, p.color);
            if (!pen)
                return;
            it = m_pens.emplace(key, pen).first;
        }
        SelectObject(m_dc, it->second);
    }

    void UseFont()
    {
        const FontSpec& f = m_state.font;
        if (f.stock) {
            SelectObject(m_dc, f.stock);
            return;
        }
        const Affine& t = T();
        LOGFONT log = f.log;
        double height = std::clamp(log.lfHeight * t.ScaleY(), -kMaxFontHeight, kMaxFontHeight);
        log.lfHeight = LONG(std::lround(height));
        if (log.lfHeight == 0 && f.log.lfHeight != 0)
            log.lfHeight = f.log.lfHeight < 0 ? -1 : 1;
        log.lfWidth = LONG(std::lround(std::clamp(log.lfWidth * t.ScaleX(), 0.0, kMaxFontHeight)));
        // A rotating transform turns the text with it; the angle is measured
        // counter-clockwise on the device, whose y runs down.
        double angle = std::atan2(-t.m12, t.m11) * 1800.0 / kPi;
        if (std::fabs(angle) >= 0.5) {
            log.lfEscapement = (log.lfEscapement + LONG(std::lround(angle))) % 3600;
            log.lfOrientation = (log.lfOrientation + LONG(std::lround(angle))) % 3600;
        }
        std::string key(reinterpret_cast<const char*>(&log), sizeof log);
        auto it = m_fonts.find(key);
        if (it == m_fonts.end()) {
            HFONT font = CreateFontIndirect(&log);
            if (!font)
                return;
            it = m_fonts.emplace(key, font).first;
        }
        SelectObject(m_dc, it->second);
    }

    HBRUSH BrushFromDib(ByteReader r, bool monochrome)
    {
        UINT usage = r.U32(12);
        auto dib = ReadMetaDib(r.Sub(r.U32(16), r.U32(20)), r.Sub(r.U32(24), r.U32(28)), usage);
        if (!dib)
            return NULL;
        HBITMAP bitmap;
        if (monochrome) {
            // A mono brush paints in the text and background colours, which
            // a 1-bpp pattern bitmap does.
            bitmap = CreateBitmap(dib->width, int(dib->AbsHeight()), 1, 1, NULL);
            if (bitmap)
                SetDIBits(m_dc, bitmap, 0, UINT(dib->AbsHeight()), dib->Bits(), dib->Info(), usage);
        } else {
            bitmap = CreateDIBitmap(m_dc, &dib->Header(), CBM_INIT, dib->Bits(), dib->Info(), usage);
        }
        if (!bitmap)
            return NULL;
        HBRUSH brush = CreatePatternBrush(bitmap);
        DeleteObject(bitmap);
        return brush;
    }

    // ---- Clipping ------------------------------------------------------------------------

    // The metafile's clip, kept in device units and never reaching outside
    // the clip the caller gave.
    void ApplyClip()
    {
        if (!m_state.clip) {
            SelectClipRgn(m_dc, m_baseClip);
            return;
        }
        HRGN effective = CreateRectRgn(0, 0, 0, 0);
        if (!effective)
            return;
        CombineRgn(effective, m_state.clip, m_baseClip ? m_baseClip : NULL, m_baseClip ? RGN_AND : RGN_COPY);
        SelectClipRgn(m_dc, effective);
        DeleteObject(effective);
    }

    static HRGN Everything()
    {
        return CreateRectRgn(-(1 << 28), -(1 << 28), 1 << 28, 1 << 28);
    }

    // Combines a device-unit region (taken over) into the metafile's clip.
    void CombineClip(HRGN region, int mode)
    {
        if (!region)
            return;
        if (mode == RGN_COPY) {
            if (m_state.clip)
                DeleteObject(m_state.clip);
            m_state.clip = region;
        } else if (mode >= RGN_AND && mode <= RGN_DIFF) {
            if (!m_state.clip)
                m_state.clip = Everything();
            if (m_state.clip)
                CombineRgn(m_state.clip, m_state.clip, region, mode);
            DeleteObject(region);
        } else {
            DeleteObject(region);
            return;
        }
        ApplyClip();
    }

    // Rectangles as a region, each through `transform` (rotated ones stay
    // exact as quadrilaterals).
    HRGN RegionFromRects(const std::vector<RECTL>& rects, const Affine& transform)
    {
        if (rects.empty())
            return CreateRectRgn(0, 0, 0, 0);
        std::vector<POINT> points;
        std::vector<INT> counts;
        points.reserve(rects.size() * 4);
        for (const RECTL& r : rects) {
            points.push_back(Round(transform.Apply(r.left, r.top)));
            points.push_back(Round(transform.Apply(r.right, r.top)));
            points.push_back(Round(transform.Apply(r.right, r.bottom)));
            points.push_back(Round(transform.Apply(r.left, r.bottom)));
            counts.push_back(4);
        }
        return CreatePolyPolygonRgn(points.data(), counts.data(), int(counts.size()), WINDING);
    }

    // RGNDATA: a 32-byte header (size, type, count, bytes, bounds), then
    // the rectangles.
    static bool ReadRegionData(ByteReader data, std::vector<RECTL>& rects)
    {
        if (!data.Has(0, 32))
            return false;
        size_t headerBytes = std::max<size_t>(data.U32(0), 32);
        size_t count = data.U32(8);
        if (!data.Has(headerBytes, 0) || count > (data.Size() - headerBytes) / 16)
            return false;
        rects.resize(count);
        for (size_t i = 0; i < count; ++i) {
            size_t at = headerBytes + 16 * i;
            rects[i] = RECTL{data.S32(at), data.S32(at + 4), data.S32(at + 8), data.S32(at + 12)};
        }
        return true;
    }

    HRGN LogicalRegion(ByteReader r, size_t cbAt, size_t dataAt)
    {
        std::vector<RECTL> rects;
        if (!ReadRegionData(r.Sub(dataAt, std::min<size_t>(r.U32(cbAt), r.Size() - std::min(dataAt, r.Size()))), rects))
            return NULL;
        return RegionFromRects(rects, T());
    }

    // ---- Paths ---------------------------------------------------------------------------

    void PathMoveTo(DPoint device)
    {
        m_path.push_back(Figure{{device}, false});
    }

    void PathLineTo(DPoint device)
    {
        if (m_path.empty() || m_path.back().closed)
            PathMoveTo(DevD(m_state.current.x, m_state.current.y));
        m_path.back().points.push_back(device);
    }

    void PathAddFigure(std::vector<DPoint> points, bool closed)
    {
        if (!points.empty())
            m_path.push_back(Figure{std::move(points), closed});
    }

    // A figure in device units: added to the path while one is being
    // recorded, else drawn with the current pen (and brush, when closed).
    void PutFigure(const std::vector<DPoint>& points, bool closed)
    {
        if (m_inPath) {
            PathAddFigure(points, closed);
            return;
        }
        if (DashedWide()) {
            if (closed) {
                SelectObject(m_dc, GetStockObject(NULL_PEN));
                DrawPolygons({points});
            }
            DashLine(points, closed);
            return;
        }
        UsePen();
        if (closed)
            DrawPolygons({points});
        else
            DrawLine(points);
    }

    // An open line with the current pen.
    void StrokeLine(const std::vector<DPoint>& line)
    {
        if (DashedWide()) {
            DashLine(line, false);
            return;
        }
        UsePen();
        DrawLine(line);
    }

    void DrawFigures(const std::vector<Figure>& figures, bool fill, bool stroke)
    {
        if (fill) {
            std::vector<std::vector<DPoint>> rings;
            for (const Figure& f : figures)
                if (f.points.size() >= 2)
                    rings.push_back(f.points);
            SelectObject(m_dc, GetStockObject(NULL_PEN));
            DrawPolygons(rings);
        }
        if (stroke && DashedWide()) {
            for (const Figure& f : figures)
                DashLine(f.points, f.closed);
        } else if (stroke) {
            UsePen();
            for (const Figure& f : figures) {
                std::vector<DPoint> line = f.points;
                if (f.closed && !line.empty())
                    line.push_back(line.front());
                DrawLine(line);
            }
        }
    }

    // ---- Guarding the shape code from far-away coordinates ----------------------------------

    // Shapes are cut to a box around the visible area before they are
    // handed on: a metafile may place points millions of pixels away, and
    // the rasteriser's work grows with the extent it is given. The margin
    // keeps the widest pen's outline of a cut edge out of sight.
    void UpdateGuard()
    {
        RECT box{0, 0, 0, 0};
        GetClipBox(m_dc, &box);
        double margin = kMaxPenWidth + 16;
        m_guard[0] = box.left - margin;
        m_guard[1] = box.top - margin;
        m_guard[2] = box.right + margin;
        m_guard[3] = box.bottom + margin;
    }

    bool Inside(const DPoint& p) const
    {
        return p.x >= m_guard[0] && p.y >= m_guard[1] && p.x <= m_guard[2] && p.y <= m_guard[3];
    }

    bool AllInside(const std::vector<DPoint>& points) const
    {
        return std::all_of(points.begin(), points.end(), [this](const DPoint& p) { return Inside(p); });
    }

    // Sutherland-Hodgman against the guard box: what is inside the box
    // keeps its winding, so fills look the same wherever they can be seen.
    std::vector<DPoint> ClipRing(const std::vector<DPoint>& ring) const
    {
        std::vector<DPoint> current = ring;
        for (int edge = 0; edge < 4 && !current.empty(); ++edge) {
            auto inside = [&](const DPoint& p) {
                switch (edge) {
                case 0: return p.x >= m_guard[0];
                case 1: return p.y >= m_guard[1];
                case 2: return p.x <= m_guard[2];
                default: return p.y <= m_guard[3];
                }
            };
            auto cut = [&](const DPoint& a, const DPoint& b) {
                double limit = m_guard[edge];
                double t = (edge % 2 == 0) ? (limit - a.x) / (b.x - a.x) : (limit - a.y) / (b.y - a.y);
                return DPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            };
            std::vector<DPoint> next;
            for (size_t i = 0; i < current.size(); ++i) {
                const DPoint& a = current[i];
                const DPoint& b = current[(i + 1) % current.size()];
                bool ina = inside(a), inb = inside(b);
                if (ina)
                    next.push_back(a);
                if (ina != inb)
                    next.push_back(cut(a, b));
            }
            current.swap(next);
        }
        return current;
    }

    // Liang-Barsky on each segment; the visible runs as separate lines.
    std::vector<std::vector<DPoint>> ClipLine(const std::vector<DPoint>& line) const
    {
        std::vector<std::vector<DPoint>> runs;
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            DPoint a = line[i], b = line[i + 1];
            double t0 = 0, t1 = 1, dx = b.x - a.x, dy = b.y - a.y;
            const double p[4] = {-dx, dx, -dy, dy};
            const double q[4] = {a.x - m_guard[0], m_guard[2] - a.x, a.y - m_guard[1], m_guard[3] - a.y};
            bool visible = true;
            for (int k = 0; k < 4 && visible; ++k) {
                if (p[k] == 0) {
                    visible = q[k] >= 0;
                } else {
                    double t = q[k] / p[k];
                    if (p[k] < 0)
                        t0 = std::max(t0, t);
                    else
                        t1 = std::min(t1, t);
                    visible = t0 <= t1;
                }
            }
            if (!visible)
                continue;
            DPoint from{a.x + dx * t0, a.y + dy * t0}, to{a.x + dx * t1, a.y + dy * t1};
            if (runs.empty() || t0 > 0 || runs.back().empty())
                runs.push_back({from});
            runs.back().push_back(to);
            if (t1 < 1)
                runs.push_back({});
        }
        runs.erase(std::remove_if(runs.begin(), runs.end(), [](const auto& r) { return r.size() < 2; }), runs.end());
        return runs;
    }

    void DrawPolygons(const std::vector<std::vector<DPoint>>& rings)
    {
        UpdateGuard();
        std::vector<POINT> points;
        std::vector<INT> counts;
        for (const auto& ring : rings) {
            std::vector<DPoint> clipped = AllInside(ring) ? ring : ClipRing(ring);
            if (clipped.size() < 2)
                continue;
            for (const DPoint& p : clipped)
                points.push_back(Round(p));
            counts.push_back(INT(clipped.size()));
        }
        if (counts.size() == 1)
            Polygon(m_dc, points.data(), counts[0]);
        else if (!counts.empty())
            PolyPolygon(m_dc, points.data(), counts.data(), int(counts.size()));
    }

    void DrawLine(const std::vector<DPoint>& line)
    {
        UpdateGuard();
        if (AllInside(line)) {
            std::vector<POINT> device = Rounded(line);
            if (device.size() >= 2)
                Polyline(m_dc, device.data(), int(device.size()));
            return;
        }
        for (const auto& run : ClipLine(line)) {
            std::vector<POINT> device = Rounded(run);
            Polyline(m_dc, device.data(), int(device.size()));
        }
    }

    // ---- Wide dashed pens ------------------------------------------------------------------

    double PenWidthOnDevice()
    {
        return std::min(m_state.pen.width * T().LinearScale(), kMaxPenWidth);
    }

    // A geometric pen with a dash style, wider than a pixel: the DC would
    // draw it solid, so its dashes are made here.
    bool DashedWide()
    {
        const PenSpec& p = m_state.pen;
        if (p.stock || !p.geometric)
            return false;
        bool styled = (p.style >= PS_DASH && p.style <= PS_DASHDOTDOT) || p.style == PS_USERSTYLE;
        return styled && PenWidthOnDevice() > 1.5;
    }

    // Dash, gap, dash... in device pixels: the named styles in multiples of
    // the pen's width, a user style in the metafile's units. Empty when the
    // pattern is too fine to show.
    std::vector<double> DashPattern()
    {
        const PenSpec& p = m_state.pen;
        double w = PenWidthOnDevice();
        std::vector<double> pattern;
        switch (p.style) {
        case PS_DASH: pattern = {3, 1}; break;
        case PS_DOT: pattern = {1, 1}; break;
        case PS_DASHDOT: pattern = {3, 1, 1, 1}; break;
        case PS_DASHDOTDOT: pattern = {3, 1, 1, 1, 1, 1}; break;
        default: break;
        }
        for (double& d : pattern)
            d *= w;
        if (p.style == PS_USERSTYLE) {
            double scale = T().LinearScale();
            for (double d : p.dashes)
                pattern.push_back(std::min(d * scale, kMaxCoordinate));
            // An odd count repeats with dashes and gaps swapped.
            if (pattern.size() % 2)
                pattern.insert(pattern.end(), pattern.begin(), pattern.end());
        }
        double period = 0;
        for (double d : pattern)
            period += d;
        if (!(period >= kMinDashPeriod))
            pattern.clear();
        return pattern;
    }

    // The line cut into dashes (device units), each a run of points; a
    // dash of no length is one point with the direction it lies along. Only
    // the part of the line near the clip box is cut, the pattern running on
    // over the rest.
    struct Dash {
        std::vector<DPoint> points;
        DPoint direction{1, 0};
    };
    std::vector<Dash> CutDashes(const std::vector<DPoint>& line, const std::vector<double>& pattern, double margin)
    {
        std::vector<Dash> dashes;
        RECT box{0, 0, 0, 0};
        GetClipBox(m_dc, &box);
        const double lo[2] = {box.left - margin, box.top - margin};
        const double hi[2] = {box.right + margin, box.bottom + margin};
        double period = 0;
        for (double d : pattern)
            period += d;
        size_t index = 0;
        double left = pattern[0];
        Dash current;
        bool drawing = false; // `current` holds the dash being laid
        auto finish = [&]() {
            if (drawing && dashes.size() < kMaxDashes)
                dashes.push_back(current);
            drawing = false;
            current.points.clear();
        };
        auto next = [&]() {
            index = (index + 1) % pattern.size();
            left = pattern[index];
        };
        // Moves the pattern on without drawing.
        auto skip = [&](double d) {
            finish();
            if (d < left) {
                left -= d;
                return;
            }
            d -= left;
            next();
            d = std::fmod(d, period);
            for (size_t guard = 0; guard <= pattern.size() && d >= left; ++guard) {
                d -= left;
                next();
            }
            left -= std::min(d, left);
        };
        for (size_t i = 0; i + 1 < line.size() && dashes.size() < kMaxDashes; ++i) {
            DPoint a = line[i], b = line[i + 1];
            double dx = b.x - a.x, dy = b.y - a.y;
            double length = std::hypot(dx, dy);
            if (!(length > 1e-9) || !std::isfinite(length))
                continue;
            DPoint unit{dx / length, dy / length};
            // The part of the segment near the clip box, as distances along it.
            double t0 = 0, t1 = length;
            const double from[2] = {a.x, a.y}, step[2] = {unit.x, unit.y};
            for (int k = 0; k < 2; ++k) {
                if (std::fabs(step[k]) < 1e-12) {
                    if (from[k] < lo[k] || from[k] > hi[k])
                        t1 = -1;
                    continue;
                }
                double u = (lo[k] - from[k]) / step[k], v = (hi[k] - from[k]) / step[k];
                t0 = std::max(t0, std::min(u, v));
                t1 = std::min(t1, std::max(u, v));
            }
            if (t1 <= t0) {
                skip(length);
                continue;
            }
            if (t0 > 0)
                skip(t0);
            auto at = [&](double t) { return DPoint{a.x + unit.x * t, a.y + unit.y * t}; };
            double t = t0;
            bool on = index % 2 == 0;
            if (on && !drawing) {
                current.points = {at(t)};
                current.direction = unit;
                drawing = true;
            }
            while (dashes.size() < kMaxDashes) {
                double stepLength = std::min(left, t1 - t);
                t += stepLength;
                left -= stepLength;
                if (on) {
                    current.points.push_back(at(t));
                    current.direction = unit;
                }
                if (left > 1e-9)
                    break; // the segment's visible part ends inside this entry
                if (on)
                    finish();
                next();
                on = index % 2 == 0;
                if (on) {
                    current.points = {at(t)};
                    current.direction = unit;
                    drawing = true;
                }
                if (t >= t1 && left > 0)
                    break;
            }
            if (t1 < length)
                skip(length - t1);
        }
        finish();
        return dashes;
    }

    static void AddRing(std::vector<std::vector<DPoint>>& rings, std::vector<DPoint> ring)
    {
        double area = 0;
        for (size_t i = 0; i < ring.size(); ++i) {
            const DPoint& p = ring[i];
            const DPoint& q = ring[(i + 1) % ring.size()];
            area += p.x * q.y - q.x * p.y;
        }
        if (!(std::fabs(area) > 1e-9))
            return;
        // All one way round, so that where they overlap the winding adds up.
        if (area < 0)
            std::reverse(ring.begin(), ring.end());
        rings.push_back(std::move(ring));
    }

    static std::vector<DPoint> Disc(DPoint centre, double radius)
    {
        int n = int(std::clamp(radius * 2, 8.0, 64.0));
        std::vector<DPoint> ring(size_t(n), centre);
        for (int i = 0; i < n; ++i) {
            double a = 2 * kPi * i / n;
            ring[size_t(i)] = DPoint{centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)};
        }
        return ring;
    }

    // The outline of one dash: a band along each of its segments, the pen's
    // joins at its corners and its caps at both ends.
    void OutlineDash(const Dash& dash, double half, DWORD cap, DWORD join, std::vector<std::vector<DPoint>>& rings)
    {
        std::vector<DPoint> pts;
        for (const DPoint& p : dash.points)
            if (pts.empty() || std::hypot(p.x - pts.back().x, p.y - pts.back().y) > 1e-9)
                pts.push_back(p);
        auto unitOf = [](DPoint a, DPoint b) {
            double l = std::hypot(b.x - a.x, b.y - a.y);
            return DPoint{(b.x - a.x) / l, (b.y - a.y) / l};
        };
        DPoint first = pts.size() >= 2 ? unitOf(pts[0], pts[1]) : dash.direction;
        DPoint last = pts.size() >= 2 ? unitOf(pts[pts.size() - 2], pts.back()) : dash.direction;
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            DPoint d = unitOf(pts[i], pts[i + 1]);
            DPoint n{-d.y * half, d.x * half};
            const DPoint& a = pts[i];
            const DPoint& b = pts[i + 1];
            AddRing(rings,
                {{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}});
        }
        for (size_t i = 1; i + 1 < pts.size(); ++i) {
            const DPoint& v = pts[i];
            DPoint d1 = unitOf(pts[i - 1], v), d2 = unitOf(v, pts[i + 1]);
            DPoint n1{-d1.y, d1.x}, n2{-d2.y, d2.x};
            double turn = n1.x * d2.x + n1.y * d2.y;
            if (std::fabs(turn) < 1e-9)
                continue; // straight on
            if (join == PS_JOIN_ROUND) {
                AddRing(rings, Disc(v, half));
                continue;
            }
            // The outer side is the one the next segment turns away from.
            double side = turn < 0 ? 1 : -1;
            DPoint o1{v.x + side * n1.x * half, v.y + side * n1.y * half};
            DPoint o2{v.x + side * n2.x * half, v.y + side * n2.y * half};
            double cosine = n1.x * n2.x + n1.y * n2.y;
            double ratio = std::sqrt(2 / std::max(1 + cosine, 1e-12));
            if (join == PS_JOIN_MITER && ratio <= kMiterLimit) {
                double k = side * half / (1 + cosine);
                DPoint tip{v.x + (n1.x + n2.x) * k, v.y + (n1.y + n2.y) * k};
                AddRing(rings, {v, o1, tip, o2});
            } else {
                AddRing(rings, {v, o1, o2});
            }
        }
        auto capAt = [&](DPoint p, DPoint outward) {
            DPoint n{-outward.y * half, outward.x * half};
            DPoint e{outward.x * half, outward.y * half};
            if (cap == PS_ENDCAP_ROUND)
                AddRing(rings, Disc(p, half));
            else if (cap == PS_ENDCAP_SQUARE)
                AddRing(rings, {{p.x + n.x, p.y + n.y}, {p.x + n.x + e.x, p.y + n.y + e.y},
                                   {p.x - n.x + e.x, p.y - n.y + e.y}, {p.x - n.x, p.y - n.y}});
        };
        capAt(pts.front(), DPoint{-first.x, -first.y});
        capAt(pts.back(), last);
    }

    // A line (device units; closed figures come back to their start) with
    // the current wide dashed pen: every dash outlined, all filled at once
    // in the pen's colour.
    void DashLine(std::vector<DPoint> line, bool closed)
    {
        std::vector<double> pattern = DashPattern();
        if (pattern.empty()) {
            UsePen();
            if (closed && !line.empty())
                line.push_back(line.front());
            DrawLine(line);
            return;
        }
        if (closed && !line.empty())
            line.push_back(line.front());
        const PenSpec& p = m_state.pen;
        double half = PenWidthOnDevice() / 2;
        std::vector<std::vector<DPoint>> rings;
        for (const Dash& dash : CutDashes(line, pattern, 6 * half + 2))
            OutlineDash(dash, half, p.cap, p.join, rings);
        if (rings.empty())
            return;
        std::vector<POINT> points;
        std::vector<INT> counts;
        for (const auto& ring : rings) {
            for (const DPoint& q : ring)
                points.push_back(Round(q));
            counts.push_back(INT(ring.size()));
        }
        HBRUSH brush = CreateSolidBrush(p.color);
        if (!brush)
            return;
        HGDIOBJ oldBrush = SelectObject(m_dc, brush);
        SelectObject(m_dc, GetStockObject(NULL_PEN));
        int oldFill = SetPolyFillMode(m_dc, WINDING);
        PolyPolygon(m_dc, points.data(), counts.data(), int(counts.size()));
        SetPolyFillMode(m_dc, oldFill);
        SelectObject(m_dc, oldBrush);
        DeleteObject(brush);
    }

    // ---- Shading and blending --------------------------------------------------------------

    // Paints the device polygon with the colour `shade` gives at each
    // device point, inside the metafile's clip.
    template <typename Shade>
    void PaintShaded(const std::vector<DPoint>& polygon, Shade shade)
    {
        if (polygon.size() < 3)
            return;
        double minX = polygon[0].x, maxX = minX, minY = polygon[0].y, maxY = minY;
        for (const DPoint& p : polygon) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        RECT box{0, 0, 0, 0};
        GetClipBox(m_dc, &box);
        LONG left = std::max<LONG>(box.left, ToDeviceInt(std::floor(minX)));
        LONG top = std::max<LONG>(box.top, ToDeviceInt(std::floor(minY)));
        LONG right = std::min<LONG>(box.right, ToDeviceInt(std::ceil(maxX)));
        LONG bottom = std::min<LONG>(box.bottom, ToDeviceInt(std::ceil(maxY)));
        if (right <= left || bottom <= top)
            return;
        int64_t area = int64_t(right - left) * int64_t(bottom - top);
        int step = 1;
        while (area / (int64_t(step) * step) > kMaxShadePixels)
            ++step;
        int width = int((right - left + step - 1) / step);
        int height = int((bottom - top + step - 1) / step);
        std::vector<uint32_t> pixels(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y) {
            double py = top + (y + 0.5) * step;
            for (int x = 0; x < width; ++x) {
                double rgb[3];
                shade(left + (x + 0.5) * step, py, rgb);
                uint32_t c = 0;
                for (int k = 0; k < 3; ++k) {
                    double v = std::isfinite(rgb[k]) ? std::clamp(rgb[k], 0.0, 255.0) : 0.0;
                    c = (c << 8) | uint32_t(std::lround(v));
                }
                pixels[size_t(y) * size_t(width) + size_t(x)] = c; // 0x00RRGGBB
            }
        }
        std::vector<POINT> points = Rounded(polygon);
        HRGN shape = CreatePolygonRgn(points.data(), int(points.size()), WINDING);
        if (!shape)
            return;
        if (m_state.clip)
            CombineRgn(shape, shape, m_state.clip, RGN_AND);
        if (m_baseClip)
            CombineRgn(shape, shape, m_baseClip, RGN_AND);
        SelectClipRgn(m_dc, shape);
        DeleteObject(shape);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        int oldMode = SetStretchBltMode(m_dc, COLORONCOLOR);
        StretchDIBits(m_dc, left, top, right - left, bottom - top, 0, 0, width, height, pixels.data(), &info,
            DIB_RGB_COLORS, SRCCOPY);
        SetStretchBltMode(m_dc, oldMode);
        ApplyClip();
    }

    void GradientFill(ByteReader r);
    void AlphaBlendRecord(ByteReader r);

    // ---- Geometry ---------------------------------------------------------------------------

    // Steps for a curve of about this many device pixels.
    static int Steps(double length)
    {
        if (!std::isfinite(length))
            return 8;
        return int(std::clamp(length / 3, 8.0, 256.0));
    }

    static void FlattenBezier(DPoint p0, DPoint p1, DPoint p2, DPoint p3, std::vector<DPoint>& out)
    {
        double length = std::hypot(p1.x - p0.x, p1.y - p0.y) + std::hypot(p2.x - p1.x, p2.y - p1.y)
            + std::hypot(p3.x - p2.x, p3.y - p2.y);
        int n = std::isfinite(length) ? int(std::clamp(length / 4, 1.0, 128.0)) : 1;
        if (!std::isfinite(length))
            n = 1;
        for (int i = 1; i <= n; ++i) {
            double t = double(i) / n, u = 1 - t;
            double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            out.push_back(DPoint{a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
        }
    }

    // Points on the ellipse inscribed in the box (logical), from the angle
    // of `start` to that of `end` as the arc runs: counter-clockwise on the
    // device, which is the other way in logical units when the transform
    // mirrors. A full turn when start and end coincide.
    std::vector<DPoint> ArcPoints(const RECTL& box, DPoint start, DPoint end, bool full)
    {
        double cx = (double(box.left) + box.right) / 2, cy = (double(box.top) + box.bottom) / 2;
        double a = std::fabs(double(box.right) - box.left) / 2, b = std::fabs(double(box.bottom) - box.top) / 2;
        std::vector<DPoint> points;
        if (a <= 0 || b <= 0)
            return points;
        double t0 = std::atan2((start.y - cy) / b, (start.x - cx) / a);
        double t1 = std::atan2((end.y - cy) / b, (end.x - cx) / a);
        // Counter-clockwise on a y-down device is a falling angle.
        bool falling = T().Determinant() > 0;
        double sweep = falling ? t0 - t1 : t1 - t0;
        while (sweep <= 1e-9)
            sweep += 2 * kPi;
        if (full)
            sweep = 2 * kPi;
        double length = (a + b) * T().LinearScale() * sweep / 2;
        int n = Steps(length);
        for (int i = 0; i <= n; ++i) {
            double t = t0 + (falling ? -sweep : sweep) * i / n;
            points.push_back(DevD(cx + a * std::cos(t), cy + b * std::sin(t)));
        }
        return points;
    }

    std::vector<DPoint> RectPoints(const RECTL& box)
    {
        return {DevD(box.left, box.top), DevD(box.right, box.top), DevD(box.right, box.bottom), DevD(box.left, box.bottom)};
    }

    std::vector<DPoint> RoundRectPoints(const RECTL& box, double w, double h)
    {
        double l = std::min(box.left, box.right), r = std::max(box.left, box.right);
        double t = std::min(box.top, box.bottom), b = std::max(box.top, box.bottom);
        double rx = std::min(std::fabs(w) / 2, (r - l) / 2), ry = std::min(std::fabs(h) / 2, (b - t) / 2);
        // Four quarter turns, counter-clockwise on a y-down page, starting
        // at the top-right corner.
        const DPoint centres[4] = {{r - rx, t + ry}, {l + rx, t + ry}, {l + rx, b - ry}, {r - rx, b - ry}};
        std::vector<DPoint> points;
        int n = std::max(2, Steps((rx + ry) * T().LinearScale()) / 4);
        for (int c = 0; c < 4; ++c) {
            double from = -c * kPi / 2;
            for (int i = 0; i <= n; ++i) {
                double angle = from - (kPi / 2) * i / n;
                points.push_back(DevD(centres[c].x + rx * std::cos(angle), centres[c].y + ry * std::sin(angle)));
            }
        }
        return points;
    }

    // ---- Records -----------------------------------------------------------------------------

    std::vector<DPoint> ReadPoints(ByteReader r, size_t at, size_t count, bool small)
    {
        std::vector<DPoint> points(count);
        for (size_t i = 0; i < count; ++i) {
            if (small)
                points[i] = DevD(r.S16(at + 4 * i), r.S16(at + 4 * i + 2));
            else
                points[i] = DevD(r.S32(at + 8 * i), r.S32(at + 8 * i + 4));
        }
        return points;
    }

    DPoint ReadLogicalPoint(ByteReader r, size_t at, size_t index, bool small)
    {
        if (small)
            return DPoint{double(r.S16(at + 4 * index)), double(r.S16(at + 4 * index + 2))};
        return DPoint{double(r.S32(at + 8 * index)), double(r.S32(at + 8 * index + 4))};
    }

    static std::vector<POINT> Rounded(const std::vector<DPoint>& points)
    {
        std::vector<POINT> out(points.size());
        std::transform(points.begin(), points.end(), out.begin(), Round);
        return out;
    }

    void Poly(DWORD type, ByteReader r);
    void PolyPoly(DWORD type, ByteReader r);
    void Shape(DWORD type, ByteReader r);
    void Text(DWORD type, ByteReader r);
    // The string of a text record as ExtTextOut takes it: 1252 characters,
    // or with ETO_GLYPH_INDEX 16-bit glyph indices in the machine's order.
    struct TextString {
        std::string bytes;
        size_t count = 0;
    };
    static TextString ReadString(ByteReader r, size_t at, size_t count, bool wide, UINT options);
    void DrawString(DPoint reference, UINT options, const RECTL* clip, const TextString& text,
        const std::vector<double>* dx);
    void Blit(DWORD type, ByteReader r);
    void SetMapping(DWORD type, ByteReader r);
    void Restore(int relative);

    HDC m_dc;
    const EnhMetaFileObject& m_metafile;
    const ENHMETAHEADER& m_header;
    std::vector<EmfObject> m_objects;
    std::vector<HGDIOBJ> m_deferred;
    std::map<std::tuple<int, int, COLORREF>, HPEN> m_pens;
    std::map<std::string, HFONT> m_fonts;
    EmfState m_state;
    std::vector<EmfState> m_saved;
    Affine m_reference;
    Affine m_transform;
    bool m_dirty = true;
    bool m_empty = false;
    HRGN m_baseClip = NULL;
    int m_firstSave = 0;
    bool m_inPath = false;
    double m_guard[4] = {0, 0, 0, 0};
    std::vector<Figure> m_path;
};

void EmfPlayer::Poly(DWORD type, ByteReader r)
{
    // Bounds, a count and the points.
    bool small = type >= EMR_POLYBEZIER16;
    size_t size = small ? 4 : 8;
    size_t count = r.U32(24);
    if (count == 0 || count > (r.Size() - std::min<size_t>(28, r.Size())) / size)
        return;
    std::vector<DPoint> points = ReadPoints(r, 28, count, small);
    DPoint lastLogical = ReadLogicalPoint(r, 28, count - 1, small);
    DWORD kind = small ? type - (EMR_POLYBEZIER16 - EMR_POLYBEZIER) : type;

    std::vector<DPoint> line;
    bool from = kind == EMR_POLYLINETO || kind == EMR_POLYBEZIERTO;
    if (from)
        line.push_back(DevD(m_state.current.x, m_state.current.y));
    if (kind == EMR_POLYBEZIER || kind == EMR_POLYBEZIERTO) {
        size_t i = 0;
        if (!from)
            line.push_back(points[i++]);
        for (; i + 3 <= count; i += 3)
            FlattenBezier(line.back(), points[i], points[i + 1], points[i + 2], line);
    } else {
        line.insert(line.end(), points.begin(), points.end());
    }

    if (m_inPath && from) {
        for (size_t i = 1; i < line.size(); ++i)
            PathLineTo(line[i]);
    } else {
        PutFigure(line, kind == EMR_POLYGON);
    }
    if (from) {
        m_state.current = lastLogical;
        POINT p = Round(line.back());
        MoveToEx(m_dc, p.x, p.y, NULL);
    }
}

void EmfPlayer::PolyPoly(DWORD type, ByteReader r)
{
    // Bounds, the number of polygons, the number of points, the counts, the
    // points.
    bool small = type == EMR_POLYPOLYLINE16 || type == EMR_POLYPOLYGON16;
    bool polygon = type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16;
    size_t size = small ? 4 : 8;
    size_t polys = r.U32(24);
    size_t total = r.U32(28);
    if (polys == 0 || polys > r.Size() / 4 || total > r.Size() / size)
        return;
    size_t pointsAt = 32 + 4 * polys;
    if (!r.Has(pointsAt, total * size))
        return;
    std::vector<Figure> figures;
    size_t used = 0;
    for (size_t i = 0; i < polys; ++i) {
        size_t n = r.U32(32 + 4 * i);
        if (n > total - used)
            return;
        figures.push_back(Figure{ReadPoints(r, pointsAt + used * size, n, small), polygon});
        used += n;
    }
    if (m_inPath) {
        for (Figure& f : figures)
            PathAddFigure(std::move(f.points), polygon);
        return;
    }
    if (polygon && DashedWide()) {
        std::vector<std::vector<DPoint>> rings;
        for (Figure& f : figures)
            rings.push_back(f.points);
        SelectObject(m_dc, GetStockObject(NULL_PEN));
        DrawPolygons(rings);
        DrawFigures(figures, false, true);
    } else if (polygon) {
        UsePen();
        std::vector<std::vector<DPoint>> rings;
        for (Figure& f : figures)
            rings.push_back(std::move(f.points));
        DrawPolygons(rings);
    } else {
        DrawFigures(figures, false, true);
    }
}

void EmfPlayer::Shape(DWORD type, ByteReader r)
{
    if (!r.Has(0, 24))
        return;
    RECTL box{r.S32(8), r.S32(12), r.S32(16), r.S32(20)};
    UpdateGuard();
    // Shapes reaching far beyond the visible area go the polygon way, which
    // cuts them down to it.
    bool aligned = T().AxisAligned() && Inside(DevD(box.left, box.top)) && Inside(DevD(box.right, box.bottom))
        && !DashedWide();
    switch (type) {
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
        if (m_inPath || !aligned) {
            std::vector<DPoint> points = type == EMR_RECTANGLE ? RectPoints(box)
                                                               : ArcPoints(box, DPoint{double(box.right), 0}, DPoint{double(box.right), 0}, true);
            PutFigure(points, true);
            return;
        }
        {
            UsePen();
            POINT a = Dev(box.left, box.top), b = Dev(box.right, box.bottom);
            if (type == EMR_RECTANGLE)
                Rectangle(m_dc, a.x, a.y, b.x, b.y);
            else
                Ellipse(m_dc, a.x, a.y, b.x, b.y);
        }
        return;
    case EMR_ROUNDRECT: {
        if (!r.Has(0, 32))
            return;
        double w = r.S32(24), h = r.S32(28);
        if (m_inPath || !aligned) {
            PutFigure(RoundRectPoints(box, w, h), true);
            return;
        }
        UsePen();
        POINT a = Dev(box.left, box.top), b = Dev(box.right, box.bottom);
        DPoint corner = T().ApplyVector(w, h);
        RoundRect(m_dc, a.x, a.y, b.x, b.y, ToDeviceInt(std::fabs(corner.x)), ToDeviceInt(std::fabs(corner.y)));
        return;
    }
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: {
        if (!r.Has(0, 40))
            return;
        DPoint start{double(r.S32(24)), double(r.S32(28))};
        DPoint end{double(r.S32(32)), double(r.S32(36))};
        if (m_inPath || !aligned || type == EMR_ARCTO) {
            std::vector<DPoint> points = ArcPoints(box, start, end, false);
            if (points.empty())
                return;
            if (type == EMR_ARCTO) {
                // A line to the arc's start, the arc, and the end becomes current.
                if (m_inPath) {
                    PathLineTo(points.front());
                    for (const DPoint& p : points)
                        PathLineTo(p);
                } else {
                    points.insert(points.begin(), DevD(m_state.current.x, m_state.current.y));
                    StrokeLine(points);
                    POINT last = Round(points.back());
                    MoveToEx(m_dc, last.x, last.y, NULL);
                }
                // The end point of the arc in logical units: back through
                // nothing but the arc itself, so take the ray's point.
                double cx = (double(box.left) + box.right) / 2, cy = (double(box.top) + box.bottom) / 2;
                double a = std::fabs(double(box.right) - box.left) / 2, b = std::fabs(double(box.bottom) - box.top) / 2;
                double t = std::atan2((end.y - cy) / b, (end.x - cx) / a);
                m_state.current = DPoint{cx + a * std::cos(t), cy + b * std::sin(t)};
                return;
            }
            if (type == EMR_PIE)
                points.insert(points.begin(), DevD((double(box.left) + box.right) / 2, (double(box.top) + box.bottom) / 2));
            PutFigure(points, type != EMR_ARC);
            return;
        }
        UsePen();
        POINT a = Dev(box.left, box.top), b = Dev(box.right, box.bottom);
        POINT s = Dev(start.x, start.y), e = Dev(end.x, end.y);
        if (type == EMR_ARC)
            Arc(m_dc, a.x, a.y, b.x, b.y, s.x, s.y, e.x, e.y);
        else if (type == EMR_CHORD)
            Chord(m_dc, a.x, a.y, b.x, b.y, s.x, s.y, e.x, e.y);
        else
            Pie(m_dc, a.x, a.y, b.x, b.y, s.x, s.y, e.x, e.y);
        return;
    }
    default:
        return;
    }
}

EmfPlayer::TextString EmfPlayer::ReadString(ByteReader r, size_t at, size_t count, bool wide, UINT options)
{
    TextString out;
    out.count = count;
    if (options & ETO_GLYPH_INDEX) {
        out.bytes.resize(count * sizeof(WORD));
        for (size_t i = 0; i < count; ++i) {
            WORD glyph = wide ? r.U16(at + 2 * i) : r.Data()[at + i];
            std::memcpy(&out.bytes[i * sizeof(WORD)], &glyph, sizeof(WORD));
        }
    } else if (wide) {
        std::u16string units(count, u'\0');
        for (size_t i = 0; i < count; ++i)
            units[i] = char16_t(r.U16(at + 2 * i));
        out.bytes = Utf16To1252(units);
        out.count = out.bytes.size();
    } else {
        out.bytes.assign(reinterpret_cast<const char*>(r.Data() + at), count);
    }
    return out;
}

void EmfPlayer::DrawString(DPoint reference, UINT options, const RECTL* clip, const TextString& text,
    const std::vector<double>* dx)
{
    UseFont();
    POINT p = Round(reference);
    RECT rect{};
    UINT flags = options & (ETO_OPAQUE | ETO_CLIPPED);
    if (clip && flags) {
        POINT a = Dev(clip->left, clip->top), b = Dev(clip->right, clip->bottom);
        rect = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    } else {
        flags = 0;
    }
    std::vector<INT> deviceDx;
    if (dx && dx->size() == text.count) {
        // Rounded from the running sum, so that errors do not add up.
        double scale = T().ScaleX(), sum = 0;
        LONG previous = 0;
        for (double d : *dx) {
            sum += d;
            LONG at = ToDeviceInt(sum * scale);
            deviceDx.push_back(INT(at - previous));
            previous = at;
        }
    }
    flags |= options & ETO_GLYPH_INDEX;
    ExtTextOut(m_dc, p.x, p.y, flags, flags & (ETO_OPAQUE | ETO_CLIPPED) ? &rect : NULL, text.bytes.data(),
        UINT(text.count), deviceDx.empty() ? NULL : deviceDx.data());
}

void EmfPlayer::Text(DWORD type, ByteReader r)
{
    if (type == EMR_SMALLTEXTOUT) {
        // x, y, count, options, graphics mode, two scales, an optional clip
        // rectangle, then the characters (bytes or UTF-16 units).
        if (!r.Has(0, 36))
            return;
        size_t count = r.U32(16);
        UINT options = r.U32(20);
        size_t at = 36;
        RECTL clip{};
        bool hasRect = !(options & ETO_NO_RECT);
        if (hasRect) {
            clip = RECTL{r.S32(36), r.S32(40), r.S32(44), r.S32(48)};
            at += 16;
        }
        bool bytes = options & ETO_SMALL_CHARS;
        if (count > r.Size() || !r.Has(at, count * (bytes ? 1 : 2)))
            return;
        TextString text = ReadString(r, at, count, !bytes, options);
        DrawString(DevD(r.S32(8), r.S32(12)), options, hasRect ? &clip : NULL, text, nullptr);
        return;
    }
    // Bounds, graphics mode, two scales, then the text record: reference
    // point, count, string offset, options, rectangle, offset of the
    // advances.
    if (!r.Has(0, 76))
        return;
    DPoint reference{double(r.S32(36)), double(r.S32(40))};
    size_t count = r.U32(44);
    size_t offString = r.U32(48);
    UINT options = r.U32(52);
    RECTL rect{r.S32(56), r.S32(60), r.S32(64), r.S32(68)};
    size_t offDx = r.U32(72);
    bool wide = type == EMR_EXTTEXTOUTW;
    if (count == 0 && !(options & ETO_OPAQUE))
        return;
    if (count > r.Size() || !r.Has(offString, count * (wide ? 2 : 1)))
        return;
    TextString text = ReadString(r, offString, count, wide, options);
    std::vector<double> dx;
    size_t step = (options & ETO_PDY) ? 8 : 4;
    if (offDx && r.Has(offDx, count * step)) {
        dx.resize(count);
        for (size_t i = 0; i < count; ++i)
            dx[i] = r.S32(offDx + step * i);
    }
    DrawString(DevD(reference.x, reference.y), options, &rect, text, dx.empty() ? nullptr : &dx);
}

void EmfPlayer::Blit(DWORD type, ByteReader r)
{
    auto drawDib = [&](DPoint a, DPoint b, LONG xSrc, LONG ySrc, LONG cxSrc, LONG cySrc, const MetaDib& dib, UINT usage, DWORD rop, bool topDown) {
        POINT p = Round(a), q = Round(b);
        if (topDown && dib.height > 0)
            ySrc = dib.height - ySrc - cySrc;
        StretchDIBits(m_dc, p.x, p.y, q.x - p.x, q.y - p.y, xSrc, ySrc, cxSrc, cySrc, dib.Bits(), dib.Info(), usage, rop);
    };
    switch (type) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT: {
        if (!r.Has(0, type == EMR_BITBLT ? 100 : 108))
            return;
        LONG x = r.S32(24), y = r.S32(28), cx = r.S32(32), cy = r.S32(36);
        DWORD rop = r.U32(40);
        LONG xSrc = r.S32(44), ySrc = r.S32(48);
        UINT usage = r.U32(80);
        DPoint a = DevD(x, y), b = DevD(double(x) + cx, double(y) + cy);
        if (r.U32(88) == 0) {
            // No source: the operation combines the brush and the target.
            POINT p = Round(a), q = Round(b);
            PatBlt(m_dc, std::min(p.x, q.x), std::min(p.y, q.y), std::abs(q.x - p.x), std::abs(q.y - p.y), rop);
            return;
        }
        auto dib = ReadMetaDib(r.Sub(r.U32(84), r.U32(88)), r.Sub(r.U32(92), r.U32(96)), usage);
        if (!dib)
            return;
        LONG cxSrc = type == EMR_BITBLT ? cx : r.S32(100);
        LONG cySrc = type == EMR_BITBLT ? cy : r.S32(104);
        drawDib(a, b, xSrc, ySrc, cxSrc, cySrc, *dib, usage, rop, true);
        return;
    }
    case EMR_STRETCHDIBITS: {
        if (!r.Has(0, 80))
            return;
        LONG x = r.S32(24), y = r.S32(28);
        LONG xSrc = r.S32(32), ySrc = r.S32(36), cxSrc = r.S32(40), cySrc = r.S32(44);
        UINT usage = r.U32(64);
        DWORD rop = r.U32(68);
        LONG cx = r.S32(72), cy = r.S32(76);
        auto dib = ReadMetaDib(r.Sub(r.U32(48), r.U32(52)), r.Sub(r.U32(56), r.U32(60)), usage);
        if (!dib)
            return;
        drawDib(DevD(x, y), DevD(double(x) + cx, double(y) + cy), xSrc, ySrc, cxSrc, cySrc, *dib, usage, rop, false);
        return;
    }
    case EMR_SETDIBITSTODEVICE: {
        if (!r.Has(0, 76))
            return;
        LONG x = r.S32(24), y = r.S32(28);
        LONG xSrc = r.S32(32), ySrc = r.S32(36), cxSrc = r.S32(40), cySrc = r.S32(44);
        UINT usage = r.U32(64);
        LONG startScan = r.S32(68), scans = r.S32(72);
        auto dib = ReadMetaDib(r.Sub(r.U32(48), r.U32(52)), r.Sub(r.U32(56), r.U32(60)), usage);
        if (!dib || scans <= 0 || scans > dib->AbsHeight())
            return;
        // The record holds the band of rows from startScan; the bitmap as
        // stored is that band, so the source rows are counted within it.
        drawDib(DevD(x, y), DevD(double(x) + cxSrc, double(y) + cySrc), xSrc, ySrc - startScan, cxSrc, cySrc, *dib,
            usage, SRCCOPY, false);
        return;
    }
    default:
        return;
    }
}

void EmfPlayer::GradientFill(ByteReader r)
{
    // Bounds, the vertex and shape counts, the mode; vertices of 16 bytes
    // (a point and 16-bit red, green, blue and alpha); then the shapes as
    // vertex indices, two for a rectangle, three for a triangle.
    if (!r.Has(0, 36))
        return;
    size_t vertices = r.U32(24);
    size_t shapes = r.U32(28);
    DWORD mode = r.U32(32);
    if (mode > GRADIENT_FILL_TRIANGLE || vertices == 0 || vertices > (r.Size() - 36) / 16)
        return;
    size_t shapesAt = 36 + 16 * vertices;
    size_t shapeBytes = mode == GRADIENT_FILL_TRIANGLE ? 12 : 8;
    shapes = std::min(shapes, (r.Size() - shapesAt) / shapeBytes);
    struct Vertex {
        DPoint logical;
        double rgb[3];
    };
    std::vector<Vertex> v(vertices);
    for (size_t i = 0; i < vertices; ++i) {
        size_t at = 36 + 16 * i;
        v[i].logical = DPoint{double(r.S32(at)), double(r.S32(at + 4))};
        for (int k = 0; k < 3; ++k)
            v[i].rgb[k] = r.U16(at + 8 + 2 * size_t(k)) / 256.0;
    }
    const Affine& t = T();
    double det = t.Determinant();
    if (!(std::fabs(det) > 1e-12))
        return;
    // Device back to logical, for the rectangles' colour runs along the
    // metafile's own axes.
    auto logical = [&t, det](double x, double y) {
        x -= t.dx;
        y -= t.dy;
        return DPoint{(x * t.m22 - y * t.m21) / det, (y * t.m11 - x * t.m12) / det};
    };
    for (size_t s = 0; s < shapes; ++s) {
        size_t at = shapesAt + shapeBytes * s;
        if (mode != GRADIENT_FILL_TRIANGLE) {
            size_t i0 = r.U32(at), i1 = r.U32(at + 4);
            if (i0 >= vertices || i1 >= vertices)
                continue;
            const Vertex& a = v[i0];
            const Vertex& b = v[i1];
            RECTL box{LONG(a.logical.x), LONG(a.logical.y), LONG(b.logical.x), LONG(b.logical.y)};
            bool across = mode == GRADIENT_FILL_RECT_H;
            double from = across ? a.logical.x : a.logical.y;
            double span = (across ? b.logical.x : b.logical.y) - from;
            PaintShaded(RectPoints(box), [&](double x, double y, double* rgb) {
                DPoint l = logical(x, y);
                double f = span != 0 ? std::clamp(((across ? l.x : l.y) - from) / span, 0.0, 1.0) : 0.0;
                for (int k = 0; k < 3; ++k)
                    rgb[k] = a.rgb[k] + (b.rgb[k] - a.rgb[k]) * f;
            });
            continue;
        }
        size_t i0 = r.U32(at), i1 = r.U32(at + 4), i2 = r.U32(at + 8);
        if (i0 >= vertices || i1 >= vertices || i2 >= vertices)
            continue;
        const Vertex* corner[3] = {&v[i0], &v[i1], &v[i2]};
        DPoint p[3];
        for (int k = 0; k < 3; ++k)
            p[k] = DevD(corner[k]->logical.x, corner[k]->logical.y);
        double area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x);
        if (!(std::fabs(area) > 1e-9))
            continue;
        // Each corner's share of a point, its colour weighed by them.
        PaintShaded({p[0], p[1], p[2]}, [&](double x, double y, double* rgb) {
            double w1 = ((x - p[0].x) * (p[2].y - p[0].y) - (y - p[0].y) * (p[2].x - p[0].x)) / area;
            double w2 = ((p[1].x - p[0].x) * (y - p[0].y) - (p[1].y - p[0].y) * (x - p[0].x)) / area;
            w1 = std::clamp(w1, 0.0, 1.0);
            w2 = std::clamp(w2, 0.0, 1.0 - w1);
            double w0 = 1 - w1 - w2;
            for (int k = 0; k < 3; ++k)
                rgb[k] = corner[0]->rgb[k] * w0 + corner[1]->rgb[k] * w1 + corner[2]->rgb[k] * w2;
        });
    }
}

void EmfPlayer::AlphaBlendRecord(ByteReader r)
{
    // The destination, the blend (operation, flags, constant alpha, alpha
    // format), the source's origin, transform, background and colour use,
    // the bitmap's header and bits, and the source's extent.
    if (!r.Has(0, 108))
        return;
    LONG x = r.S32(24), y = r.S32(28), cx = r.S32(32), cy = r.S32(36);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, r.U8(42), BYTE(r.U8(43) & AC_SRC_ALPHA)};
    LONG xSrc = r.S32(44), ySrc = r.S32(48);
    UINT usage = r.U32(80);
    LONG cxSrc = r.S32(100), cySrc = r.S32(104);
    if (r.U8(40) != AC_SRC_OVER || blend.SourceConstantAlpha == 0 || cxSrc <= 0 || cySrc <= 0)
        return;
    auto dib = ReadMetaDib(r.Sub(r.U32(84), r.U32(88)), r.Sub(r.U32(92), r.U32(96)), usage);
    if (!dib)
        return;
    POINT p = Round(DevD(x, y)), q = Round(DevD(double(x) + cx, double(y) + cy));
    int width = std::abs(q.x - p.x), height = std::abs(q.y - p.y);
    if (width == 0 || height == 0)
        return;
    // The bitmap goes into a memory DC of its own depth or more: 32 bits
    // keep a per-pixel alpha.
    HDC source = CreateCompatibleDC(m_dc);
    HBITMAP bitmap = source ? CreateBitmap(dib->width, int(dib->AbsHeight()), 1, 32, NULL) : NULL;
    if (bitmap) {
        HGDIOBJ old = SelectObject(source, bitmap);
        if (SetDIBits(source, bitmap, 0, UINT(dib->AbsHeight()), dib->Bits(), dib->Info(), usage) > 0)
            ::AlphaBlend(m_dc, std::min(p.x, q.x), std::min(p.y, q.y), width, height, source, xSrc, ySrc, cxSrc, cySrc,
                blend);
        SelectObject(source, old);
        DeleteObject(bitmap);
    }
    if (source)
        DeleteDC(source);
}

void EmfPlayer::SetMapping(DWORD type, ByteReader r)
{
    if (!r.Has(0, 16))
        return;
    LONG x = r.S32(8), y = r.S32(12);
    bool fixed = m_state.mapMode != MM_ISOTROPIC && m_state.mapMode != MM_ANISOTROPIC;
    switch (type) {
    case EMR_SETWINDOWORGEX:
        m_state.windowOrg = POINT{x, y};
        break;
    case EMR_SETVIEWPORTORGEX:
        m_state.viewportOrg = POINT{x, y};
        break;
    case EMR_SETWINDOWEXTEX:
        // Extents only count in the scalable modes, and never as zero.
        if (!fixed && x && y)
            m_state.windowExt = SIZE{x, y};
        break;
    case EMR_SETVIEWPORTEXTEX:
        if (!fixed && x && y)
            m_state.viewportExt = SIZE{x, y};
        break;
    case EMR_SCALEWINDOWEXTEX:
    case EMR_SCALEVIEWPORTEXTEX: {
        if (fixed || !r.Has(0, 24))
            break;
        LONG xNum = r.S32(8), xDenom = r.S32(12), yNum = r.S32(16), yDenom = r.S32(20);
        if (!xNum || !xDenom || !yNum || !yDenom)
            break;
        SIZE& ext = type == EMR_SCALEWINDOWEXTEX ? m_state.windowExt : m_state.viewportExt;
        int64_t cx = int64_t(ext.cx) * xNum / xDenom, cy = int64_t(ext.cy) * yNum / yDenom;
        if (cx && cy && std::llabs(cx) <= INT32_MAX && std::llabs(cy) <= INT32_MAX)
            ext = SIZE{LONG(cx), LONG(cy)};
        break;
    }
    default:
        break;
    }
    m_dirty = true;
}

void EmfPlayer::Restore(int relative)
{
    // Only states this metafile saved; -1 is the newest.
    if (relative >= 0 || size_t(-int64_t(relative)) > m_saved.size())
        return;
    if (!RestoreDC(m_dc, relative))
        return;
    size_t keep = m_saved.size() - size_t(-int64_t(relative));
    if (m_state.clip)
        DeleteObject(m_state.clip);
    m_state = m_saved[keep];
    for (size_t i = keep + 1; i < m_saved.size(); ++i)
        if (m_saved[i].clip)
            DeleteObject(m_saved[i].clip);
    m_saved.resize(keep);
    m_dirty = true;
    ApplyClip();
}

void EmfPlayer::Dispatch(DWORD type, ByteReader r)
{
    switch (type) {
    // ---- Attributes ------------------------------------------------------------
    case EMR_SETBKMODE:
        SetBkMode(m_dc, int(r.U32(8)));
        break;
    case EMR_SETPOLYFILLMODE:
        SetPolyFillMode(m_dc, int(r.U32(8)));
        break;
    case EMR_SETROP2:
        SetROP2(m_dc, int(r.U32(8)));
        break;
    case EMR_SETSTRETCHBLTMODE:
        SetStretchBltMode(m_dc, int(r.U32(8)));
        break;
    case EMR_SETTEXTALIGN:
        SetTextAlign(m_dc, r.U32(8));
        break;
    case EMR_SETTEXTCOLOR:
        if (r.Has(8, 4))
            SetTextColor(m_dc, r.U32(8));
        break;
    case EMR_SETBKCOLOR:
        if (r.Has(8, 4))
            SetBkColor(m_dc, r.U32(8));
        break;
    case EMR_SETBRUSHORGEX:
        if (r.Has(8, 8)) {
            POINT p = Round(m_reference.Apply(r.S32(8), r.S32(12)));
            SetBrushOrgEx(m_dc, p.x, p.y, NULL);
        }
        break;

    // ---- Mapping and state -------------------------------------------------------
    case EMR_SETMAPMODE: {
        int mode = int(r.U32(8));
        if (mode >= MM_TEXT && mode <= MM_ANISOTROPIC) {
            m_state.mapMode = mode;
            m_dirty = true;
        }
        break;
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
        SetMapping(type, r);
        break;
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: {
        if (!r.Has(0, type == EMR_SETWORLDTRANSFORM ? 32 : 36))
            break;
        Affine x{r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28)};
        DWORD mode = type == EMR_SETWORLDTRANSFORM ? MWT_SET : r.U32(32);
        if (mode == MWT_IDENTITY) {
            m_state.world = Affine();
            m_dirty = true;
            break;
        }
        bool finite = std::isfinite(x.m11) && std::isfinite(x.m12) && std::isfinite(x.m21) && std::isfinite(x.m22)
            && std::isfinite(x.dx) && std::isfinite(x.dy);
        if (!finite || std::fabs(x.Determinant()) < 1e-12)
            break;
        if (mode == MWT_SET)
            m_state.world = x;
        else if (mode == MWT_LEFTMULTIPLY)
            m_state.world = Affine::Then(x, m_state.world);
        else if (mode == MWT_RIGHTMULTIPLY)
            m_state.world = Affine::Then(m_state.world, x);
        m_dirty = true;
        break;
    }
    case EMR_SAVEDC: {
        if (!SaveDC(m_dc))
            break;
        EmfState copy = m_state;
        if (copy.clip) {
            copy.clip = CreateRectRgn(0, 0, 0, 0);
            if (copy.clip)
                CombineRgn(copy.clip, m_state.clip, NULL, RGN_COPY);
        }
        m_saved.push_back(copy);
        break;
    }
    case EMR_RESTOREDC:
        Restore(r.S32(8));
        break;

    // ---- Objects -----------------------------------------------------------------
    case EMR_CREATEPEN:
        if (r.Has(0, 28)) {
            if (EmfObject* object = NewObject(r.U32(8))) {
                object->kind = EmfObject::Kind::Pen;
                DWORD style = r.U32(12);
                object->pen.style = style <= PS_INSIDEFRAME ? int(style) : PS_SOLID;
                object->pen.width = std::max(0, r.S32(16));
                object->pen.color = r.U32(24);
            }
        }
        break;
    case EMR_EXTCREATEPEN:
        if (r.Has(0, 52)) {
            if (EmfObject* object = NewObject(r.U32(8))) {
                object->kind = EmfObject::Kind::Pen;
                DWORD style = r.U32(28);
                DWORD base = style & PS_STYLE_MASK;
                PenSpec& pen = object->pen;
                pen.style = base <= PS_INSIDEFRAME ? int(base) : PS_SOLID;
                pen.geometric = (style & PS_GEOMETRIC) != 0;
                pen.width = pen.geometric ? double(r.U32(32)) : 0;
                pen.cap = style & PS_ENDCAP_MASK;
                pen.join = style & PS_JOIN_MASK;
                // A user style's lengths follow the pen; alternate dots,
                // and user styles of thin pens, draw solid.
                size_t entries = r.U32(48);
                if (int(base) == PS_USERSTYLE && pen.geometric && entries > 0 && entries <= kMaxStyleEntries
                    && r.Has(52, 4 * entries)) {
                    for (size_t i = 0; i < entries; ++i)
                        pen.dashes.push_back(double(r.U32(52 + 4 * i)));
                    pen.style = PS_USERSTYLE;
                }
                if (r.U32(36) == BS_NULL)
                    object->pen.style = PS_NULL;
                object->pen.color = r.U32(40);
            }
        }
        break;
    case EMR_CREATEBRUSHINDIRECT:
        if (r.Has(0, 24)) {
            if (EmfObject* object = NewObject(r.U32(8))) {
                LOGBRUSH brush{r.U32(12), r.U32(16), r.U32(20)};
                if (brush.lbStyle != BS_NULL && brush.lbStyle != BS_HATCHED)
                    brush.lbStyle = BS_SOLID;
                object->kind = EmfObject::Kind::Brush;
                object->handle = CreateBrushIndirect(&brush);
                if (!object->handle)
                    object->kind = EmfObject::Kind::Empty;
            }
        }
        break;
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH:
        if (r.Has(0, 32)) {
            if (EmfObject* object = NewObject(r.U32(8))) {
                object->handle = BrushFromDib(r, type == EMR_CREATEMONOBRUSH);
                object->kind = object->handle ? EmfObject::Kind::Brush : EmfObject::Kind::Empty;
            }
        }
        break;
    case EMR_EXTCREATEFONTINDIRECTW:
        if (r.Has(0, 104)) {
            if (EmfObject* object = NewObject(r.U32(8))) {
                LOGFONT& log = object->font.log;
                log.lfHeight = r.S32(12);
                log.lfWidth = r.S32(16);
                log.lfEscapement = r.S32(20);
                log.lfOrientation = r.S32(24);
                log.lfWeight = r.S32(28);
                log.lfItalic = r.U8(32);
                log.lfUnderline = r.U8(33);
                log.lfStrikeOut = r.U8(34);
                log.lfCharSet = r.U8(35);
                log.lfOutPrecision = r.U8(36);
                log.lfClipPrecision = r.U8(37);
                log.lfQuality = r.U8(38);
                log.lfPitchAndFamily = r.U8(39);
                std::u16string face;
                for (size_t i = 0; i < LF_FACESIZE; ++i) {
                    char16_t c = char16_t(r.U16(40 + 2 * i));
                    if (!c)
                        break;
                    face.push_back(c);
                }
                std::string name = Utf16To1252(face).substr(0, LF_FACESIZE - 1);
                std::memcpy(log.lfFaceName, name.c_str(), name.size() + 1);
                object->kind = EmfObject::Kind::Font;
            }
        }
        break;
    case EMR_CREATEPALETTE:
        if (r.Has(0, 16)) {
            size_t count = std::min<size_t>({r.U16(14), (r.Size() - 16) / 4, 256});
            if (count == 0)
                break;
            if (EmfObject* object = NewObject(r.U32(8))) {
                std::vector<uint32_t> storage(1 + count + 1, 0);
                LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
                palette->palVersion = PALVERSION;
                palette->palNumEntries = WORD(count);
                std::memcpy(palette->palPalEntry, r.Data() + 16, count * 4);
                object->handle = CreatePalette(palette);
                object->kind = object->handle ? EmfObject::Kind::Palette : EmfObject::Kind::Empty;
            }
        }
        break;
    case EMR_SETPALETTEENTRIES:
        if (r.Has(0, 20)) {
            EmfObject* object = ObjectAt(r.U32(8));
            size_t count = std::min<size_t>(r.U32(16), (r.Size() - 20) / 4);
            if (object && object->kind == EmfObject::Kind::Palette && count) {
                std::vector<PALETTEENTRY> entries(count);
                std::memcpy(entries.data(), r.Data() + 20, count * 4);
                SetPaletteEntries(static_cast<HPALETTE>(object->handle), r.U32(12), UINT(count), entries.data());
            }
        }
        break;
    case EMR_SELECTOBJECT:
    case EMR_SELECTPALETTE:
        if (r.Has(8, 4))
            SelectIndex(r.U32(8));
        break;
    case EMR_DELETEOBJECT:
        if (r.Has(8, 4))
            DeleteIndex(r.U32(8));
        break;
    case EMR_REALIZEPALETTE:
        RealizePalette(m_dc);
        break;

    // ---- Drawing ----------------------------------------------------------------------
    case EMR_MOVETOEX:
        if (r.Has(8, 8)) {
            m_state.current = DPoint{double(r.S32(8)), double(r.S32(12))};
            DPoint d = DevD(m_state.current.x, m_state.current.y);
            if (m_inPath)
                PathMoveTo(d);
            POINT p = Round(d);
            MoveToEx(m_dc, p.x, p.y, NULL);
        }
        break;
    case EMR_LINETO:
        if (r.Has(8, 8)) {
            DPoint to{double(r.S32(8)), double(r.S32(12))};
            DPoint d = DevD(to.x, to.y);
            if (m_inPath) {
                PathLineTo(d);
            } else if (DashedWide()) {
                DashLine({DevD(m_state.current.x, m_state.current.y), d}, false);
                POINT p = Round(d);
                MoveToEx(m_dc, p.x, p.y, NULL);
            } else {
                UsePen();
                POINT from = Dev(m_state.current.x, m_state.current.y);
                POINT p = Round(d);
                MoveToEx(m_dc, from.x, from.y, NULL);
                LineTo(m_dc, p.x, p.y);
            }
            m_state.current = to;
        }
        break;
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
        Poly(type, r);
        break;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
        PolyPoly(type, r);
        break;
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT:
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO:
        Shape(type, r);
        break;
    case EMR_SETPIXELV:
        if (r.Has(8, 12)) {
            POINT p = Dev(r.S32(8), r.S32(12));
            SetPixelV(m_dc, p.x, p.y, r.U32(16));
        }
        break;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
    case EMR_SMALLTEXTOUT:
        Text(type, r);
        break;
    case EMR_GRADIENTFILL:
        GradientFill(r);
        break;
    case EMR_ALPHABLEND:
        AlphaBlendRecord(r);
        break;
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE:
        Blit(type, r);
        break;

    // ---- Paths ------------------------------------------------------------------------
    case EMR_BEGINPATH:
        m_path.clear();
        m_inPath = true;
        break;
    case EMR_ENDPATH:
        m_inPath = false;
        break;
    case EMR_ABORTPATH:
        m_path.clear();
        m_inPath = false;
        break;
    case EMR_CLOSEFIGURE:
        if (!m_path.empty())
            m_path.back().closed = true;
        break;
    case EMR_FILLPATH:
    case EMR_STROKEPATH:
    case EMR_STROKEANDFILLPATH:
        if (!m_inPath) {
            for (Figure& f : m_path)
                if (type != EMR_STROKEPATH)
                    f.closed = true;
            DrawFigures(m_path, type != EMR_STROKEPATH, type != EMR_FILLPATH);
            m_path.clear();
        }
        break;
    case EMR_SELECTCLIPPATH:
        if (!m_inPath) {
            std::vector<POINT> points;
            std::vector<INT> counts;
            for (const Figure& f : m_path) {
                if (f.points.size() < 3)
                    continue;
                for (const DPoint& p : f.points)
                    points.push_back(Round(p));
                counts.push_back(INT(f.points.size()));
            }
            HRGN region = counts.empty() ? CreateRectRgn(0, 0, 0, 0)
                                         : CreatePolyPolygonRgn(points.data(), counts.data(), int(counts.size()), GetPolyFillMode(m_dc));
            CombineClip(region, int(r.U32(8)));
            m_path.clear();
        }
        break;
    case EMR_FLATTENPATH: // the path is already made of lines
    case EMR_WIDENPATH:
        break;

    // ---- Clipping and regions ------------------------------------------------------------
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT:
        if (r.Has(8, 16)) {
            std::vector<RECTL> rect{RECTL{r.S32(8), r.S32(12), r.S32(16), r.S32(20)}};
            CombineClip(RegionFromRects(rect, T()), type == EMR_INTERSECTCLIPRECT ? RGN_AND : RGN_DIFF);
        }
        break;
    case EMR_EXTSELECTCLIPRGN:
        // Device units of the reference device: only the placement applies.
        if (r.Has(0, 16)) {
            size_t bytes = r.U32(8);
            int mode = int(r.U32(12));
            if (bytes == 0 || !r.Has(16, 32)) {
                if (mode == RGN_COPY) {
                    if (m_state.clip)
                        DeleteObject(m_state.clip);
                    m_state.clip = NULL;
                    ApplyClip();
                }
                break;
            }
            std::vector<RECTL> rects;
            if (ReadRegionData(r.Sub(16, std::min(bytes, r.Size() - 16)), rects))
                CombineClip(RegionFromRects(rects, m_reference), mode);
        }
        break;
    case EMR_OFFSETCLIPRGN:
        if (r.Has(8, 8) && m_state.clip) {
            DPoint d = T().ApplyVector(r.S32(8), r.S32(12));
            OffsetRgn(m_state.clip, ToDeviceInt(d.x), ToDeviceInt(d.y));
            ApplyClip();
        }
        break;
    case EMR_SETMETARGN:
        // The clip so far becomes the bound of everything after it.
        if (m_state.clip) {
            if (m_baseClip)
                CombineRgn(m_baseClip, m_baseClip, m_state.clip, RGN_AND);
            else
                std::swap(m_baseClip, m_state.clip);
            if (m_state.clip)
                DeleteObject(m_state.clip);
            m_state.clip = NULL;
            ApplyClip();
        }
        break;
    case EMR_FILLRGN:
        if (r.Has(0, 32)) {
            EmfObject* brush = ObjectAt(r.U32(28));
            HGDIOBJ handle = brush && brush->kind == EmfObject::Kind::Brush ? brush->handle : NULL;
            if (r.U32(28) & kStockObjectFlag)
                handle = GetStockObject(int(r.U32(28) & ~kStockObjectFlag));
            HRGN region = handle ? LogicalRegion(r, 24, 32) : NULL;
            if (region) {
                FillRgn(m_dc, region, static_cast<HBRUSH>(handle));
                DeleteObject(region);
            }
        }
        break;
    case EMR_FRAMERGN:
        if (r.Has(0, 40)) {
            EmfObject* brush = ObjectAt(r.U32(28));
            HGDIOBJ handle = brush && brush->kind == EmfObject::Kind::Brush ? brush->handle : NULL;
            if (r.U32(28) & kStockObjectFlag)
                handle = GetStockObject(int(r.U32(28) & ~kStockObjectFlag));
            HRGN region = handle ? LogicalRegion(r, 24, 40) : NULL;
            if (region) {
                DPoint stroke = T().ApplyVector(r.S32(32), r.S32(36));
                FrameRgn(m_dc, region, static_cast<HBRUSH>(handle), std::max(1, ToDeviceInt(std::fabs(stroke.x))),
                    std::max(1, ToDeviceInt(std::fabs(stroke.y))));
                DeleteObject(region);
            }
        }
        break;
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
        if (r.Has(0, 28)) {
            if (HRGN region = LogicalRegion(r, 24, 28)) {
                if (type == EMR_PAINTRGN)
                    PaintRgn(m_dc, region);
                else
                    InvertRgn(m_dc, region);
                DeleteObject(region);
            }
        }
        break;

    // ---- Passed over -----------------------------------------------------------------------
    case EMR_GDICOMMENT:     // application data, including EMF+ records
    case EMR_SETMAPPERFLAGS: // a font-matching hint
    default:
        break;
    }
}

} // namespace

bool PlayEnhMetaFileRecords(HDC hdc, const EnhMetaFileObject& metafile, const RECT& deviceRect)
{
    EmfPlayer player(hdc, metafile, deviceRect);
    if (!player.Ready())
        return false;
    if (!player.Empty())
        player.Play();
    return true;
}

} // namespace platform
