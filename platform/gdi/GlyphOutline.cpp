// GetGlyphOutline: a glyph's metrics and its outline in the buffer layout
// of TrueType polygons (a TTPOLYGONHEADER per contour followed by line and
// quadratic-spline TTPOLYCURVE records, or cubic ones for GGO_BEZIER), in
// 16.16 device units with y up, from FreeType's outline of the glyph at the
// font's device size.

#include "platform/base/CodePage.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/FontFace.h"
#include "platform/gdi/internal/GdiObjects.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A point in 16.16 fixed point.
struct FixedPoint {
    int32_t x = 0, y = 0;
};

struct Curve {
    WORD type = TT_PRIM_LINE;
    std::vector<FixedPoint> points;
};

struct Contour {
    FixedPoint start;
    std::vector<Curve> curves;
};

FixedPoint FromOutline(const FT_Vector& v)
{
    // 26.6 to 16.16.
    return FixedPoint{int32_t(uint32_t(int32_t(v.x)) << 10), int32_t(uint32_t(int32_t(v.y)) << 10)};
}

FixedPoint Midpoint(FixedPoint a, FixedPoint b)
{
    return FixedPoint{int32_t((int64_t(a.x) + b.x) / 2), int32_t((int64_t(a.y) + b.y) / 2)};
}

// TrueType contours as GDI hands them out: the polygon starts on an on-curve
// point (or the midpoint of two off-curve ends); runs of straight segments
// form one line record, and each run of off-curve points with the on-curve
// point ending it one spline record (consecutive off-curve points imply the
// on-curve midpoints between them). A contour closes on its start point: a
// closing curve ends there explicitly, a closing straight line is implied.
std::vector<Contour> NativeContours(const FT_Outline& outline)
{
    std::vector<Contour> contours;
    int first = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
        int last = outline.contours[c];
        if (last < first || last >= outline.n_points)
            break;
        int n = last - first + 1;
        auto on = [&](int i) { return FT_CURVE_TAG(outline.tags[first + i]) != FT_CURVE_TAG_CONIC; };
        auto point = [&](int i) { return FromOutline(outline.points[first + i]); };

        Contour contour;
        // The points walked after the start, ending back on the start.
        std::vector<std::pair<FixedPoint, bool>> walk;
        if (on(0)) {
            contour.start = point(0);
            for (int i = 1; i < n; ++i)
                walk.emplace_back(point(i), on(i));
        } else if (on(n - 1)) {
            contour.start = point(n - 1);
            for (int i = 0; i < n - 1; ++i)
                walk.emplace_back(point(i), on(i));
        } else {
            contour.start = Midpoint(point(n - 1), point(0));
            for (int i = 0; i < n; ++i)
                walk.emplace_back(point(i), on(i));
        }
        walk.emplace_back(contour.start, true);

        Curve current;
        bool open = false;
        for (const auto& [p, isOn] : walk) {
            if (!isOn) {
                if (open && current.type == TT_PRIM_LINE) {
                    contour.curves.push_back(std::move(current));
                    current = Curve();
                    open = false;
                }
                current.type = TT_PRIM_QSPLINE;
                current.points.push_back(p);
                open = true;
            } else if (open && current.type == TT_PRIM_QSPLINE) {
                current.points.push_back(p);
                contour.curves.push_back(std::move(current));
                current = Curve();
                open = false;
            } else {
                current.type = TT_PRIM_LINE;
                current.points.push_back(p);
                open = true;
            }
        }
        if (open && current.type == TT_PRIM_LINE) {
            // The closing line back to the start is implied.
            current.points.pop_back();
            if (!current.points.empty())
                contour.curves.push_back(std::move(current));
        }
        contours.push_back(std::move(contour));
        first = last + 1;
    }
    return contours;
}

// The same contours with each quadratic piece raised to the cubic that
// draws the same curve.
std::vector<Contour> BezierContours(const std::vector<Contour>& native)
{
    std::vector<Contour> result;
    for (const Contour& contour : native) {
        Contour out;
        out.start = contour.start;
        FixedPoint previous = contour.start;
        for (const Curve& curve : contour.curves) {
            if (curve.type == TT_PRIM_LINE) {
                out.curves.push_back(curve);
                previous = curve.points.back();
                continue;
            }
            Curve cubic;
            cubic.type = TT_PRIM_CSPLINE;
            for (size_t j = 0; j + 1 < curve.points.size(); ++j) {
                FixedPoint control = curve.points[j];
                FixedPoint end = j + 2 < curve.points.size() ? Midpoint(control, curve.points[j + 1]) : curve.points[j + 1];
                auto third = [](int32_t from, int32_t c) { return int32_t(std::lround(from + 2.0 * (double(c) - from) / 3.0)); };
                cubic.points.push_back(FixedPoint{third(previous.x, control.x), third(previous.y, control.y)});
                cubic.points.push_back(FixedPoint{third(end.x, control.x), third(end.y, control.y)});
                cubic.points.push_back(end);
                previous = end;
            }
            out.curves.push_back(std::move(cubic));
        }
        result.push_back(std::move(out));
    }
    return result;
}

size_t RecordsSize(const std::vector<Contour>& contours)
{
    size_t size = 0;
    for (const Contour& contour : contours) {
        size += sizeof(TTPOLYGONHEADER);
        for (const Curve& curve : contour.curves)
            size += 2 * sizeof(WORD) + curve.points.size() * sizeof(POINTFX);
    }
    return size;
}

POINTFX ToPointFx(FixedPoint p)
{
    POINTFX fx;
    fx.x.fract = WORD(uint32_t(p.x) & 0xFFFF);
    fx.x.value = SHORT(int16_t(uint16_t(uint32_t(p.x) >> 16)));
    fx.y.fract = WORD(uint32_t(p.y) & 0xFFFF);
    fx.y.value = SHORT(int16_t(uint16_t(uint32_t(p.y) >> 16)));
    return fx;
}

void WriteRecords(const std::vector<Contour>& contours, unsigned char* out)
{
    for (const Contour& contour : contours) {
        unsigned char* headerAt = out;
        out += sizeof(TTPOLYGONHEADER);
        for (const Curve& curve : contour.curves) {
            WORD type = curve.type;
            WORD count = WORD(curve.points.size());
            std::memcpy(out, &type, sizeof(WORD));
            std::memcpy(out + sizeof(WORD), &count, sizeof(WORD));
            out += 2 * sizeof(WORD);
            for (const FixedPoint& p : curve.points) {
                POINTFX fx = ToPointFx(p);
                std::memcpy(out, &fx, sizeof(POINTFX));
                out += sizeof(POINTFX);
            }
        }
        TTPOLYGONHEADER header;
        header.cb = DWORD(out - headerAt);
        header.dwType = TT_POLYGON_TYPE;
        header.pfxStart = ToPointFx(contour.start);
        std::memcpy(headerAt, &header, sizeof(header));
    }
}

double FromFixed(const FIXED& f)
{
    return double(int32_t(uint32_t(uint16_t(f.value)) << 16 | f.fract)) / 65536.0;
}

// The glyph under t: its metrics, and its contours when asked for. False
// when FreeType cannot load it.
bool LoadContours(FontFace& face, SizedFont& sized, unsigned glyph, bool hinted, const GlyphTransform& t,
    GLYPHMETRICS& gm, std::vector<Contour>* contours)
{
    FT_GlyphSlot slot = LoadGlyphOutline(face, sized, glyph, hinted, &t);
    if (!slot)
        return false;
    double advance = slot->advance.x / 64.0 + EmboldenPixels(face, sized);
    gm = GLYPHMETRICS{};
    gm.gmCellIncX = SHORT(std::lround(std::clamp(t.xx * advance, -32768.0, 32767.0)));
    gm.gmCellIncY = SHORT(std::lround(std::clamp(t.yx * advance, -32768.0, 32767.0)));
    const FT_Outline& outline = slot->outline;
    if (outline.n_points == 0) {
        gm.gmBlackBoxX = 1;
        gm.gmBlackBoxY = 1;
        gm.gmptGlyphOrigin = POINT{0, 0};
    } else {
        FT_BBox box;
        FT_Outline_Get_CBox(&outline, &box);
        LONG left = LONG(box.xMin >> 6), bottom = LONG(box.yMin >> 6);
        LONG right = LONG((box.xMax + 63) >> 6), top = LONG((box.yMax + 63) >> 6);
        gm.gmBlackBoxX = UINT(std::max<LONG>(1, right - left));
        gm.gmBlackBoxY = UINT(std::max<LONG>(1, top - bottom));
        gm.gmptGlyphOrigin = POINT{left, top};
    }
    if (contours)
        *contours = NativeContours(outline);
    return true;
}

// The upright glyph's metrics and GGO_NATIVE records, made once per size;
// null when the glyph cannot be loaded.
const SizedFont::NativeOutline* KeptOutline(FontFace& face, SizedFont& sized, unsigned glyph, bool hinted)
{
    const auto key = std::make_pair(glyph, hinted);
    auto it = sized.outlines.find(key);
    if (it != sized.outlines.end())
        return &it->second;
    SizedFont::NativeOutline kept;
    std::vector<Contour> contours;
    if (!LoadContours(face, sized, glyph, hinted, GlyphTransform{}, kept.metrics, &contours))
        return nullptr;
    kept.records.resize(RecordsSize(contours));
    WriteRecords(contours, kept.records.data());
    if (sized.outlines.size() >= kMaxRenderedGlyphs)
        sized.outlines.clear();
    return &sized.outlines.emplace(key, std::move(kept)).first->second;
}

} // namespace

} // namespace platform

using namespace platform;

DWORD GetGlyphOutline(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer, LPVOID pvBuffer,
    const MAT2* lpmat2)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return GDI_ERROR;
    const UINT format = fuFormat & ~UINT(GGO_GLYPH_INDEX | GGO_UNHINTED);
    if (!lpgm || !lpmat2 || (format != GGO_METRICS && format != GGO_NATIVE && format != GGO_BEZIER)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return GDI_ERROR;
    }
    FontFace& face = RealiseFontFace(CurrentFont(*dc));
    SizedFont* sized = SizedFontForDc(*dc);
    if (!sized) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return GDI_ERROR;
    }
    unsigned glyph;
    if (fuFormat & GGO_GLYPH_INDEX)
        glyph = uChar;
    else if (uChar <= 0xFF)
        glyph = CharMetricsOf(face, *sized, (unsigned char)uChar).glyphIndex;
    else
        glyph = GlyphIndexOf(face, char32_t(uChar));

    // The font's own rotation first, then the caller's matrix.
    GlyphTransform m{FromFixed(lpmat2->eM11), FromFixed(lpmat2->eM21), FromFixed(lpmat2->eM12), FromFixed(lpmat2->eM22)};
    GlyphTransform t = m;
    if (int escapement = face.log.lfEscapement % 3600) {
        double a = escapement * kPi / 1800.0;
        double cs = std::cos(a), sn = std::sin(a);
        t = GlyphTransform{m.xx * cs + m.xy * sn, -m.xx * sn + m.xy * cs, m.yx * cs + m.yy * sn, -m.yx * sn + m.yy * cs};
    }
    const bool hinted = (fuFormat & GGO_UNHINTED) == 0;
    if (t.IsIdentity() && format != GGO_BEZIER) {
        const SizedFont::NativeOutline* kept = KeptOutline(face, *sized, glyph, hinted);
        if (!kept) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return GDI_ERROR;
        }
        *lpgm = kept->metrics;
        if (format == GGO_METRICS)
            return 1;
        const size_t size = kept->records.size();
        if (!pvBuffer || cjBuffer == 0)
            return DWORD(size);
        if (cjBuffer < size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return GDI_ERROR;
        }
        if (size > 0)
            std::memcpy(pvBuffer, kept->records.data(), size);
        return DWORD(size);
    }
    GLYPHMETRICS gm{};
    std::vector<Contour> contours;
    if (!LoadContours(face, *sized, glyph, hinted, t, gm, format == GGO_METRICS ? nullptr : &contours)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return GDI_ERROR;
    }
    *lpgm = gm;
    if (format == GGO_METRICS)
        return 1;

    if (format == GGO_BEZIER)
        contours = BezierContours(contours);
    size_t size = RecordsSize(contours);
    if (!pvBuffer || cjBuffer == 0)
        return DWORD(size);
    if (cjBuffer < size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return GDI_ERROR;
    }
    WriteRecords(contours, static_cast<unsigned char*>(pvBuffer));
    return DWORD(size);
}
