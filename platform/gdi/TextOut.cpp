// Drawing text: TextOut and ExtTextOut with the text alignment, background
// mode, underline and strike-out, escapement and character spacing, glyph
// indices in place of characters, and GrayString. Glyphs are FreeType's
// hinted outlines rendered one bit a pixel (no antialiasing) at the font's
// device size; on a printer page the outlines go to the page as paths.

#include "platform/base/String.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/FontFace.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Raster.h"

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BITMAP_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Device coordinates as integers; text can be laid out far beyond any
// surface (huge spacing from a metafile), which must not overflow.
LONG ToDevice(double v)
{
    return LONG(std::lround(std::clamp(v, -1e8, 1e8)));
}

// Where a line of text lies on the device: the baseline starts at `origin`
// and runs along `along`; `down` points from the baseline towards the
// descenders (both unit vectors, device y down).
struct Placement {
    double originX = 0, originY = 0;
    double alongX = 1, alongY = 0;
    double downX = 0, downY = 1;
    bool rotated = false;

    // The device point at `a` pixels along the baseline and `d` below it.
    void At(double a, double d, double& x, double& y) const
    {
        x = originX + a * alongX + d * downX;
        y = originY + a * alongY + d * downY;
    }
};

// One glyph rendered one bit a pixel, one byte a pixel here, placed in
// device pixels.
struct GlyphImage {
    RECT box{0, 0, 0, 0};
    std::vector<uint8_t> bits;
};

// The four corners of the band from a0 to a1 along the baseline and d0 to
// d1 below it.
std::array<POINT, 4> Band(const Placement& at, double a0, double a1, double d0, double d1)
{
    std::array<POINT, 4> corners;
    const double as[4] = {a0, a1, a1, a0};
    const double ds[4] = {d0, d0, d1, d1};
    for (int i = 0; i < 4; ++i) {
        double x, y;
        at.At(as[i], ds[i], x, y);
        corners[size_t(i)] = POINT{ToDevice(x), ToDevice(y)};
    }
    return corners;
}

Region BandRegion(const Placement& at, double a0, double a1, double d0, double d1)
{
    if (!at.rotated) {
        double x0, y0, x1, y1;
        at.At(a0, d0, x0, y0);
        at.At(a1, d1, x1, y1);
        RECT r{ToDevice(std::min(x0, x1)), ToDevice(std::min(y0, y1)), ToDevice(std::max(x0, x1)),
            ToDevice(std::max(y0, y1))};
        return Region(r);
    }
    std::array<POINT, 4> corners = Band(at, a0, a1, d0, d1);
    return Region::FromPolygon(corners.data(), 4, WINDING);
}

// Renders only the part of the glyph inside `limit` (device units), so that a
// huge glyph costs no more than the pixels it can reach.
bool RenderGlyph(FontFace& face, SizedFont& sized, unsigned glyph, const GlyphTransform* rotation, double penX,
    double penY, const RECT& limit, GlyphImage& out)
{
    FT_GlyphSlot slot = LoadGlyphOutline(face, sized, glyph, true, rotation);
    if (!slot)
        return false;
    if (slot->outline.n_points == 0)
        return true;
    FT_BBox cbox;
    FT_Outline_Get_CBox(&slot->outline, &cbox);
    RECT box{LONG(std::floor(penX + cbox.xMin / 64.0)), LONG(std::floor(penY - cbox.yMax / 64.0)),
        LONG(std::ceil(penX + cbox.xMax / 64.0)), LONG(std::ceil(penY - cbox.yMin / 64.0))};
    box = RECT{std::max(box.left, limit.left), std::max(box.top, limit.top), std::min(box.right, limit.right),
        std::min(box.bottom, limit.bottom)};
    if (box.left >= box.right || box.top >= box.bottom)
        return true;
    const int w = box.right - box.left, h = box.bottom - box.top;
    // The bitmap's bottom-left corner is the outline's origin, y up.
    FT_Outline_Translate(&slot->outline, FT_Pos(std::lround((penX - box.left) * 64)),
        FT_Pos(std::lround((box.bottom - penY) * 64)));
    const int pitch = (w + 7) / 8;
    std::vector<unsigned char> bits(size_t(pitch) * size_t(h), 0);
    FT_Bitmap bitmap;
    FT_Bitmap_Init(&bitmap);
    bitmap.rows = unsigned(h);
    bitmap.width = unsigned(w);
    bitmap.pitch = pitch;
    bitmap.buffer = bits.data();
    bitmap.num_grays = 2;
    bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
    if (FT_Outline_Get_Bitmap(slot->library, &slot->outline, &bitmap) != 0)
        return false;
    out.box = box;
    out.bits.assign(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = bits.data() + size_t(y) * size_t(pitch);
        for (int x = 0; x < w; ++x)
            out.bits[size_t(y) * size_t(w) + size_t(x)] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return true;
}

// Glyphs taller or wider than this are rendered for each call, cut to what
// they can reach, rather than kept.
constexpr LONG kMaxRenderedGlyphSide = 256;

// The same as RenderGlyph for an upright glyph whose pen stands on a whole
// pixel, from the font's rendered glyphs: rasterising an outline is most of
// what drawing text costs, and a glyph at a whole pixel is the same bits
// wherever it goes.
bool RenderUprightGlyph(FontFace& face, SizedFont& sized, unsigned glyph, LONG penX, LONG penY, const RECT& limit,
    GlyphImage& out)
{
    // Large sizes are not kept: their glyphs may reach past what is kept.
    if (sized.ppem > kMaxRenderedGlyphSide / 2)
        return RenderGlyph(face, sized, glyph, nullptr, double(penX), double(penY), limit, out);
    auto it = sized.rendered.find(glyph);
    if (it == sized.rendered.end()) {
        const RECT reach{-kMaxRenderedGlyphSide - 1, -kMaxRenderedGlyphSide - 1, kMaxRenderedGlyphSide + 1,
            kMaxRenderedGlyphSide + 1};
        GlyphImage whole;
        if (!RenderGlyph(face, sized, glyph, nullptr, 0, 0, reach, whole))
            return false;
        const RECT& b = whole.box;
        if (b.left <= reach.left || b.top <= reach.top || b.right >= reach.right || b.bottom >= reach.bottom)
            return RenderGlyph(face, sized, glyph, nullptr, double(penX), double(penY), limit, out);
        if (sized.rendered.size() >= kMaxRenderedGlyphs)
            sized.rendered.clear();
        SizedFont::RenderedGlyph kept;
        kept.left = b.left;
        kept.top = b.top;
        kept.right = b.right;
        kept.bottom = b.bottom;
        kept.bits = std::move(whole.bits);
        it = sized.rendered.emplace(glyph, std::move(kept)).first;
    }
    const SizedFont::RenderedGlyph& g = it->second;
    if (g.bits.empty())
        return true;
    const RECT placed{LONG(g.left + penX), LONG(g.top + penY), LONG(g.right + penX), LONG(g.bottom + penY)};
    const RECT box{std::max(placed.left, limit.left), std::max(placed.top, limit.top),
        std::min(placed.right, limit.right), std::min(placed.bottom, limit.bottom)};
    if (box.left >= box.right || box.top >= box.bottom)
        return true;
    const int w = box.right - box.left, h = box.bottom - box.top;
    const int gw = placed.right - placed.left;
    out.box = box;
    out.bits.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = g.bits.data() + size_t(box.top - placed.top + y) * size_t(gw) + size_t(box.left - placed.left);
        std::copy(src, src + w, out.bits.data() + size_t(y) * size_t(w));
    }
    return true;
}

RECT UnionBox(const RECT& a, const RECT& b)
{
    if (a.left >= a.right || a.top >= a.bottom)
        return b;
    if (b.left >= b.right || b.top >= b.bottom)
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

RECT IntersectBox(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom)
        return RECT{0, 0, 0, 0};
    return r;
}

// ---- Printer pages: outlines as Cairo paths ---------------------------------------

struct PathSink {
    cairo_t* cr;
    double x, y; // the pen origin on the page
    double lastX = 0, lastY = 0;
};

double PathX(const PathSink* s, const FT_Vector* v)
{
    return s->x + v->x / 64.0;
}

double PathY(const PathSink* s, const FT_Vector* v)
{
    return s->y - v->y / 64.0;
}

int PathMove(const FT_Vector* to, void* user)
{
    auto* s = static_cast<PathSink*>(user);
    cairo_close_path(s->cr);
    s->lastX = PathX(s, to);
    s->lastY = PathY(s, to);
    cairo_move_to(s->cr, s->lastX, s->lastY);
    return 0;
}

int PathLine(const FT_Vector* to, void* user)
{
    auto* s = static_cast<PathSink*>(user);
    s->lastX = PathX(s, to);
    s->lastY = PathY(s, to);
    cairo_line_to(s->cr, s->lastX, s->lastY);
    return 0;
}

int PathConic(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* s = static_cast<PathSink*>(user);
    double cx = PathX(s, control), cy = PathY(s, control);
    double x = PathX(s, to), y = PathY(s, to);
    // The cubic with the same curve as the quadratic.
    cairo_curve_to(s->cr, s->lastX + 2.0 / 3.0 * (cx - s->lastX), s->lastY + 2.0 / 3.0 * (cy - s->lastY),
        x + 2.0 / 3.0 * (cx - x), y + 2.0 / 3.0 * (cy - y), x, y);
    s->lastX = x;
    s->lastY = y;
    return 0;
}

int PathCubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* s = static_cast<PathSink*>(user);
    s->lastX = PathX(s, to);
    s->lastY = PathY(s, to);
    cairo_curve_to(s->cr, PathX(s, c1), PathY(s, c1), PathX(s, c2), PathY(s, c2), s->lastX, s->lastY);
    return 0;
}

void SetSourceColor(cairo_t* cr, uint32_t pixel)
{
    cairo_set_source_rgb(cr, ((pixel >> 16) & 0xFF) / 255.0, ((pixel >> 8) & 0xFF) / 255.0, (pixel & 0xFF) / 255.0);
}

void AddBandPath(cairo_t* cr, const Placement& at, double a0, double a1, double d0, double d1)
{
    const double as[4] = {a0, a1, a1, a0};
    const double ds[4] = {d0, d0, d1, d1};
    for (int i = 0; i < 4; ++i) {
        double x, y;
        at.At(as[i], ds[i], x, y);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

// Everything a call draws, in device units.
struct TextJob {
    DeviceContext* dc = nullptr;
    TextRun run;
    Placement at;
    GlyphTransform rotation;
    bool hasOpaqueRect = false;
    RECT opaqueRect{0, 0, 0, 0}; // ETO_OPAQUE
    bool clipped = false;
    RECT clipRect{0, 0, 0, 0}; // ETO_CLIPPED
    bool fillCell = false;     // OPAQUE background mode
};

void DrawOnPage(TextJob& job)
{
    DeviceContext& dc = *job.dc;
    cairo_t* cr = dc.vector;
    cairo_save(cr);
    ApplyVectorClip(dc);
    uint32_t bk = PixelFromColor(dc.state.bkColor & 0x00FFFFFF);
    uint32_t fg = PixelFromColor(dc.state.textColor & 0x00FFFFFF);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    if (job.hasOpaqueRect) {
        SetSourceColor(cr, bk);
        cairo_rectangle(cr, job.opaqueRect.left, job.opaqueRect.top, job.opaqueRect.right - job.opaqueRect.left,
            job.opaqueRect.bottom - job.opaqueRect.top);
        cairo_fill(cr);
    }
    if (job.clipped) {
        cairo_rectangle(cr, job.clipRect.left, job.clipRect.top, job.clipRect.right - job.clipRect.left,
            job.clipRect.bottom - job.clipRect.top);
        cairo_clip(cr);
    }
    SizedFont* sized = job.run.sized;
    if (!sized) {
        cairo_restore(cr);
        return;
    }
    const TEXTMETRIC& tm = sized->tm;
    double width = double(job.run.width);
    if (job.fillCell) {
        SetSourceColor(cr, bk);
        AddBandPath(cr, job.at, 0, width, -tm.tmAscent, tm.tmDescent);
        cairo_fill(cr);
    }
    SetSourceColor(cr, fg);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    FT_Outline_Funcs funcs{PathMove, PathLine, PathConic, PathCubic, 0, 0};
    double pen = 0;
    for (size_t i = 0; i < job.run.advances.size(); ++i) {
        FT_GlyphSlot slot = LoadGlyphOutline(*job.run.face, *sized, job.run.glyphs[i], true, &job.rotation);
        if (slot && slot->outline.n_points > 0) {
            PathSink sink{cr, 0, 0};
            job.at.At(pen, 0, sink.x, sink.y);
            cairo_new_path(cr);
            FT_Outline_Decompose(&slot->outline, &funcs, &sink);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        pen += job.run.advances[i];
    }
    if (job.run.face->log.lfUnderline) {
        double top = -sized->underlinePosition;
        AddBandPath(cr, job.at, 0, width, top, top + sized->underlineThickness);
        cairo_fill(cr);
    }
    if (job.run.face->log.lfStrikeOut) {
        double top = -sized->strikeoutPosition;
        AddBandPath(cr, job.at, 0, width, top, top + sized->strikeoutThickness);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void DrawOnRaster(TextJob& job, RasterTarget& target)
{
    DeviceContext& dc = *job.dc;
    Region area = DrawableRegion(dc, target);
    if (job.hasOpaqueRect) {
        Paint bk = Paint::Solid(TargetPixel(dc, target, dc.state.bkColor));
        PaintRegion(target, area.Intersect(job.opaqueRect), bk, R2_COPYPEN);
    }
    if (job.clipped)
        area = area.Intersect(job.clipRect);
    SizedFont* sized = job.run.sized;
    if (!sized || area.IsEmpty())
        return;
    const TEXTMETRIC& tm = sized->tm;
    double width = double(job.run.width);
    if (job.fillCell) {
        Paint bk = Paint::Solid(TargetPixel(dc, target, dc.state.bkColor));
        PaintRegion(target, BandRegion(job.at, 0, width, -tm.tmAscent, tm.tmDescent).Intersect(area), bk, R2_COPYPEN);
    }

    // Glyphs that cannot touch the drawable area are not rendered at all.
    const RECT bounds = area.Bounds();
    const int reach = tm.tmHeight + tm.tmMaxCharWidth + 2;
    std::vector<GlyphImage> glyphs;
    RECT box{0, 0, 0, 0};
    double pen = 0;
    for (size_t i = 0; i < job.run.advances.size(); ++i) {
        double x, y;
        job.at.At(pen, 0, x, y);
        pen += job.run.advances[i];
        if (x < bounds.left - reach || x > bounds.right + reach || y < bounds.top - reach || y > bounds.bottom + reach)
            continue;
        GlyphImage image;
        bool rendered;
        if (!job.at.rotated && x == std::floor(x) && y == std::floor(y) && std::abs(x) < 1e8 && std::abs(y) < 1e8) {
            rendered = RenderUprightGlyph(*job.run.face, *sized, job.run.glyphs[i], LONG(x), LONG(y), bounds, image);
        } else {
            const GlyphTransform* rotation = job.at.rotated ? &job.rotation : nullptr;
            rendered = RenderGlyph(*job.run.face, *sized, job.run.glyphs[i], rotation, x, y, bounds, image);
        }
        if (!rendered || image.bits.empty())
            continue;
        box = UnionBox(box, image.box);
        glyphs.push_back(std::move(image));
    }
    Region decorations;
    if (job.run.face->log.lfUnderline) {
        double top = -sized->underlinePosition;
        decorations = decorations.Union(BandRegion(job.at, 0, width, top, top + sized->underlineThickness));
    }
    if (job.run.face->log.lfStrikeOut) {
        double top = -sized->strikeoutPosition;
        decorations = decorations.Union(BandRegion(job.at, 0, width, top, top + sized->strikeoutThickness));
    }
    if (!decorations.IsEmpty())
        box = UnionBox(box, decorations.Bounds());
    box = IntersectBox(box, bounds);
    if (box.right <= box.left || box.bottom <= box.top)
        return;

    Mask mask;
    mask.box = box;
    mask.bits.assign(size_t(mask.Width()) * size_t(mask.Height()), 0);
    for (const GlyphImage& g : glyphs) {
        RECT part = IntersectBox(g.box, box);
        int gw = g.box.right - g.box.left;
        for (LONG y = part.top; y < part.bottom; ++y) {
            const uint8_t* src = g.bits.data() + size_t(y - g.box.top) * size_t(gw);
            uint8_t* dst = mask.bits.data() + size_t(y - box.top) * size_t(mask.Width());
            for (LONG x = part.left; x < part.right; ++x)
                dst[x - box.left] |= src[x - g.box.left];
        }
    }
    const Region lines = decorations.Intersect(box);
    for (const RECT& r : lines.Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            uint8_t* dst = mask.bits.data() + size_t(y - box.top) * size_t(mask.Width());
            std::fill(dst + (r.left - box.left), dst + (r.right - box.left), uint8_t(1));
        }
    }
    PaintMask(target, mask, area, Paint::Solid(TargetPixel(dc, target, dc.state.textColor)), R2_COPYPEN);
}

} // namespace

} // namespace platform

using namespace platform;

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c, const INT* lpDx)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    if (c > UINT(kMaxTextLength) || (c > 0 && !lpString)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextJob job;
    job.dc = dc;
    bool laidOut;
    if (options & ETO_GLYPH_INDEX) {
        // The string holds 16-bit glyph indices of the selected font, one
        // per count, in the machine's order and not necessarily aligned.
        std::vector<WORD> glyphs(c);
        if (c > 0)
            std::memcpy(glyphs.data(), lpString, size_t(c) * sizeof(WORD));
        laidOut = LayOutGlyphs(*dc, glyphs.data(), int(c), lpDx, job.run);
    } else {
        laidOut = LayOutText(*dc, lpString, int(c), lpDx, job.run);
    }
    if (!laidOut) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DcState& state = dc->state;
    const UINT align = state.textAlign;
    POINT reference = (align & TA_UPDATECP) ? state.currentPos : POINT{x, y};
    POINT p = LogicalToDevice(state, reference);

    const LOGFONT& lf = job.run.face->log;
    double angle = (lf.lfEscapement % 3600) * kPi / 1800.0;
    job.at.rotated = lf.lfEscapement % 3600 != 0;
    if (job.at.rotated) {
        double cs = std::cos(angle), sn = std::sin(angle);
        job.at.alongX = cs;
        job.at.alongY = -sn;
        job.at.downX = sn;
        job.at.downY = cs;
        job.rotation = GlyphTransform{cs, -sn, sn, cs};
    }
    const long long width = job.run.width;
    double shift = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        shift = -double(width / 2);
    else if (align & TA_RIGHT)
        shift = -double(width);
    double drop = 0;
    if (job.run.sized) {
        const TEXTMETRIC& tm = job.run.sized->tm;
        if ((align & TA_BASELINE) == TA_BASELINE)
            drop = 0;
        else if (align & TA_BOTTOM)
            drop = -tm.tmDescent;
        else
            drop = tm.tmAscent;
    }
    job.at.originX = p.x;
    job.at.originY = p.y;
    job.at.At(shift, drop, job.at.originX, job.at.originY);
    if (!job.at.rotated) {
        job.at.originX = std::round(job.at.originX);
        job.at.originY = std::round(job.at.originY);
    }

    if (lprect && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
        RECT r = LogicalRectToDevice(state, *lprect);
        job.hasOpaqueRect = (options & ETO_OPAQUE) != 0;
        job.opaqueRect = r;
        job.clipped = (options & ETO_CLIPPED) != 0;
        job.clipRect = r;
    }
    job.fillCell = state.bkMode == OPAQUE && c > 0;

    if (align & TA_UPDATECP) {
        // The current position moves to the far end of left-aligned text and
        // the near end of right-aligned text; centred text leaves it.
        double advance = 0;
        if ((align & TA_CENTER) == TA_CENTER)
            advance = 0;
        else if (align & TA_RIGHT)
            advance = -double(width);
        else
            advance = double(width);
        POINT end{ToDevice(p.x + advance * job.at.alongX), ToDevice(p.y + advance * job.at.alongY)};
        state.currentPos = DeviceToLogical(state, end);
    }

    if (dc->vector) {
        DrawOnPage(job);
        return TRUE;
    }
    RasterTarget target;
    if (!AcquireRaster(*dc, target))
        return TRUE;
    DrawOnRaster(job, target);
    return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, LPCSTR lpString, int c)
{
    if (c < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ExtTextOut(hdc, x, y, 0, nullptr, lpString, UINT(c), nullptr);
}

// The text (or what the output function draws) is drawn black on white into
// a bitmap of its own, and every other covered pixel, in a checkerboard,
// is painted on the DC with the brush: the classic dimmed look.
BOOL GrayString(HDC hDC, HBRUSH hBrush, GRAYSTRINGPROC lpOutputFunc, LPARAM lpData, int nCount, int X, int Y,
    int nWidth, int nHeight)
{
    DeviceContext* dc = LookupDc(hDC);
    if (!dc)
        return FALSE;
    const char* text = reinterpret_cast<const char*>(lpData);
    if (!lpOutputFunc) {
        if (!text)
            return FALSE;
        if (nCount <= 0)
            nCount = int(strnlen(text, size_t(kMaxTextLength)));
    }
    if (nCount < 0 || nCount > kMaxTextLength)
        return FALSE;
    if ((nWidth == 0 || nHeight == 0) && !lpOutputFunc) {
        SIZE size{0, 0};
        GetTextExtentPoint32(hDC, text, nCount, &size);
        if (nWidth == 0)
            nWidth = size.cx;
        if (nHeight == 0)
            nHeight = size.cy;
    }
    POINT p = LogicalToDevice(dc->state, POINT{X, Y});
    int w = std::abs(DeviceLengthX(*dc, nWidth));
    int h = std::abs(DeviceLengthY(*dc, nHeight));
    if (w <= 0 || h <= 0)
        return TRUE;
    if (int64_t(w) * h > PixelBuffer::kMaxPixels)
        return FALSE;

    HDC memory = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateBitmapObject(w, h, 32, 0xFFFFFF);
    if (!memory || !bitmap) {
        if (memory)
            DeleteDC(memory);
        if (bitmap)
            DeleteObject(bitmap);
        return FALSE;
    }
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, dc->state.font ? (HGDIOBJ)dc->state.font : GetStockObject(SYSTEM_FONT));
    SetTextColor(memory, RGB(0, 0, 0));
    SetBkMode(memory, TRANSPARENT);
    BOOL drawn = lpOutputFunc ? lpOutputFunc(memory, lpData, nCount) : TextOut(memory, 0, 0, text, nCount);

    Mask mask;
    mask.box = RECT{p.x, p.y, p.x + w, p.y + h};
    mask.bits.assign(size_t(w) * size_t(h), 0);
    if (BitmapObject* pixels = LookupBitmap(bitmap)) {
        for (int y = 0; y < h; ++y) {
            const uint32_t* row = pixels->pixels.Row(y);
            for (int x = 0; x < w; ++x) {
                if (((p.x + x + p.y + y) & 1) == 0 && (row[x] & 0xFFFFFF) != 0xFFFFFF)
                    mask.bits[size_t(y) * size_t(w) + size_t(x)] = 1;
            }
        }
    }
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(bitmap);
    if (!drawn)
        return FALSE;

    RasterTarget target;
    if (!AcquireRaster(*dc, target))
        return TRUE;
    Paint paint;
    if (const BrushObject* brush = hBrush ? LookupBrush(hBrush) : nullptr)
        paint = ResolveBrush(*dc, target, *brush);
    else
        paint = Paint::Solid(TargetPixel(*dc, target, GetGdiSystemColor(8 /* COLOR_WINDOWTEXT */)));
    PaintMask(target, mask, DrawableRegion(*dc, target), paint, R2_COPYPEN);
    return TRUE;
}

// ---- The class library ------------------------------------------------------------

BOOL CDC::TextOut(int x, int y, const CString& str)
{
    return TextOut(x, y, str, str.GetLength());
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths)
{
    return ExtTextOut(x, y, nOptions, lpRect, str, UINT(str.GetLength()), lpDxWidths);
}
