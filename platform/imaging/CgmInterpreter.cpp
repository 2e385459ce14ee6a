// The meaning of CGM elements, whichever encoding they came in: the
// descriptors set up the coordinate space and the colours, the attributes
// are kept, and each primitive becomes Windows metafile records.
//
// The metafile's logical space is the VDC extent scaled so that its longer
// side spans kLogicalSpan units, y downwards; the metafile sets that window
// itself, so a player's viewport alone places the picture. Curves (circles,
// ellipses and arcs) are drawn as polygons fine enough for their size, and
// every filled area is a polygon, so that fill and edge meet exactly.

#include "platform/imaging/CgmInternal.h"
#include "platform/imaging/CgmWmfWriter.h"
#include "platform/imaging/CgmImport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::cgm {

namespace {

constexpr double kLogicalSpan = 16000;
// The natural size of a picture in abstract units, on its longer side.
constexpr double kAbstractFramePixels = 500;
constexpr double kPixelsPerMm = 96 / 25.4;
constexpr int kMaxFramePixels = 8000;
constexpr size_t kMaxColourTable = 65536;
constexpr size_t kMaxTextBytes = 32767;

// Pen and brush styles of the Windows metafile.
constexpr int kPsSolid = 0;
constexpr int kPsNull = 5;
constexpr int kBsSolid = 0;
constexpr int kBsNull = 1;
constexpr int kBsHatched = 2;

// Text alignment flags.
constexpr WORD kTaLeft = 0;
constexpr WORD kTaRight = 2;
constexpr WORD kTaCenter = 6;
constexpr WORD kTaBaseline = 24;

struct Point {
    double x = 0;
    double y = 0;
};

// A colour as the metafile gave it: an index into the colour table
// (resolved when drawn) or a direct colour.
struct Colour {
    bool indexed = true;
    int64_t index = 1;
    COLORREF rgb = 0;
};

enum class SizeMode { Abstract = 0, Scaled = 1, Fractional = 2, Millimetres = 3 };

struct Attributes {
    int lineType = 1;
    double lineWidth = 1;
    Colour lineColour;
    int markerType = 3;
    double markerSize = 1;
    Colour markerColour;
    Colour textColour;
    double charHeight = 0; // 0 until the VDC extent is known
    Point charUp{0, 1};
    Point charBase{1, 0};
    int textHorizontal = 0;
    int textVertical = 0;
    int64_t fontIndex = 1;
    int interiorStyle = 0; // hollow
    Colour fillColour;
    int64_t hatchIndex = 1;
    int edgeType = 1;
    double edgeWidth = 1;
    Colour edgeColour;
    bool edgeVisible = false;
    bool clipOn = true;
    Point clip1{0, 0};
    Point clip2{0, 0};
    bool clipSet = false;
};

// Coordinates far outside the picture (or not numbers at all, from
// overflowing arithmetic on extreme reals) are pinned to the metafile's range.
double Clamp16(double value)
{
    return std::isnan(value) ? 0 : std::clamp(value, -32768.0, 32767.0);
}

} // namespace

struct Interpreter::State {
    BinaryPrecisions precisions;
    bool begun = false;
    bool done = false;
    bool inPicture = false;
    bool inBody = false;
    bool pictureSeen = false;
    bool damaged = false;

    // Descriptors.
    bool vdcReal = false;
    double colourMin[3] = {0, 0, 0};
    double colourMax[3] = {255, 255, 255};
    bool colourExtentGiven = false;
    std::vector<std::string> fonts;
    bool metric = false;
    double metricFactor = 1; // millimetres per VDC unit
    bool directColour = false;
    SizeMode lineWidthMode = SizeMode::Scaled;
    SizeMode markerSizeMode = SizeMode::Scaled;
    SizeMode edgeWidthMode = SizeMode::Scaled;
    Point vdc1{0, 0};
    Point vdc2{32767, 32767};
    COLORREF background = RGB(255, 255, 255);
    std::vector<COLORREF> colourTable;

    Attributes attributes;

    // The mapping to the metafile, set at BEGIN PICTURE BODY.
    double scaleX = 1;
    double scaleY = 1;
    int logicalWidth = 1;
    int logicalHeight = 1;
    SIZE frame{1, 1};
    bool clipEmitted = false;

    // Text not yet final (TEXT with its "not final" flag, then APPEND TEXT).
    std::string pendingText;
    Point pendingAt;
    bool textPending = false;

    WmfWriter writer{kMaxCgmMetafileBytes};

    State() { ResetColourTable(); }

    void ResetColourTable()
    {
        // Index 0 is the background, 1 the foreground; a few more so that
        // a metafile counting on the usual device table sees colours.
        colourTable = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
            RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255)};
    }

    COLORREF Resolve(const Colour& colour) const
    {
        if (!colour.indexed)
            return colour.rgb;
        if (colour.index >= 0 && static_cast<size_t>(colour.index) < colourTable.size())
            return colourTable[static_cast<size_t>(colour.index)];
        return RGB(0, 0, 0);
    }

    COLORREF Direct(const double rgb[3]) const
    {
        BYTE parts[3];
        for (int i = 0; i < 3; ++i) {
            const double span = colourMax[i] - colourMin[i];
            double v = span != 0 ? (rgb[i] - colourMin[i]) / span : 0;
            v = std::isnan(v) ? 0 : std::clamp(v, 0.0, 1.0);
            parts[i] = static_cast<BYTE>(std::lround(v * 255));
        }
        return RGB(parts[0], parts[1], parts[2]);
    }

    bool ReadColour(ParamReader& reader, Colour& colour)
    {
        if (directColour) {
            double rgb[3];
            if (!reader.DirectColour(rgb))
                return false;
            colour.indexed = false;
            colour.rgb = Direct(rgb);
            return true;
        }
        int64_t index = 0;
        if (!reader.ColourIndex(index))
            return false;
        colour.indexed = true;
        colour.index = index;
        return true;
    }

    bool ReadPoint(ParamReader& reader, Point& point) { return reader.Vdc(point.x) && reader.Vdc(point.y); }

    bool ReadPoints(ParamReader& reader, std::vector<Point>& points)
    {
        points.clear();
        while (!reader.AtEnd()) {
            Point point;
            if (!ReadPoint(reader, point))
                return false;
            points.push_back(point);
        }
        return true;
    }

    double LongerVdcSide() const
    {
        return std::max(std::fabs(vdc2.x - vdc1.x), std::fabs(vdc2.y - vdc1.y));
    }

    // A size given in the mode its size-mode element chose, in logical units.
    bool ReadSize(ParamReader& reader, SizeMode mode, double& size)
    {
        if (mode == SizeMode::Abstract)
            return reader.Vdc(size);
        return reader.Real(size);
    }

    double LogicalSize(SizeMode mode, double value, double nominal) const
    {
        const double scale = std::max(std::fabs(scaleX), std::fabs(scaleY));
        switch (mode) {
        case SizeMode::Abstract:
            return std::fabs(value) * scale;
        case SizeMode::Scaled:
            return std::fabs(value) * nominal;
        case SizeMode::Fractional:
            return std::fabs(value) * kLogicalSpan;
        case SizeMode::Millimetres:
            if (metric && metricFactor > 0)
                return std::fabs(value) / metricFactor * scale;
            return std::fabs(value) * kPixelsPerMm * LogicalPerPixel();
        }
        return 0;
    }

    double LogicalPerPixel() const
    {
        return static_cast<double>(std::max(logicalWidth, logicalHeight))
            / std::max<double>(1, std::max(frame.cx, frame.cy));
    }

    LogicalPoint ToLogical(const Point& p) const
    {
        const double x = Clamp16((p.x - vdc1.x) * scaleX);
        const double y = Clamp16((vdc2.y - p.y) * scaleY);
        return LogicalPoint{static_cast<int16_t>(std::lround(x)), static_cast<int16_t>(std::lround(y))};
    }

    std::vector<LogicalPoint> ToLogical(const std::vector<Point>& points) const
    {
        std::vector<LogicalPoint> out;
        out.reserve(points.size());
        for (const Point& p : points)
            out.push_back(ToLogical(p));
        return out;
    }

    bool BeginBody()
    {
        const double width = std::fabs(vdc2.x - vdc1.x);
        const double height = std::fabs(vdc2.y - vdc1.y);
        if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
            return false;
        const double longer = std::max(width, height);
        const double k = kLogicalSpan / longer;
        logicalWidth = std::max(1, static_cast<int>(std::lround(width * k)));
        logicalHeight = std::max(1, static_cast<int>(std::lround(height * k)));
        // The signs carry the direction of the extent: x grows from its
        // first corner to its second, y the other way round (upwards in VDC
        // when the second corner is above the first).
        scaleX = (vdc2.x - vdc1.x) / width * k;
        scaleY = (vdc2.y - vdc1.y) / height * k;
        double pixelsLonger = kAbstractFramePixels;
        if (metric && metricFactor > 0 && std::isfinite(metricFactor))
            pixelsLonger = longer * metricFactor * kPixelsPerMm;
        pixelsLonger = std::clamp(pixelsLonger, 1.0, static_cast<double>(kMaxFramePixels));
        frame.cx = std::max(1L, std::lround(pixelsLonger * width / longer));
        frame.cy = std::max(1L, std::lround(pixelsLonger * height / longer));
        if (attributes.charHeight <= 0)
            attributes.charHeight = longer / 100;
        writer.SetWindow(logicalWidth, logicalHeight);
        writer.SetBkModeTransparent();
        writer.SetPolyFillMode(1); // alternate: CGM fills by the odd-even rule
        // White is the page itself; any other background is painted.
        if (background != RGB(255, 255, 255)) {
            writer.SelectPen(kPsNull, 0, 0);
            writer.SelectBrush(kBsSolid, background, 0);
            writer.Polygon({{0, 0}, {static_cast<int16_t>(logicalWidth), 0},
                {static_cast<int16_t>(logicalWidth), static_cast<int16_t>(logicalHeight)},
                {0, static_cast<int16_t>(logicalHeight)}});
        }
        inBody = true;
        pictureSeen = true;
        return true;
    }

    // The clip rectangle, applied once before the next primitive after it
    // changed.
    void SyncClip()
    {
        if (!attributes.clipSet)
            return;
        attributes.clipSet = false;
        if (clipEmitted) {
            writer.RestoreDC();
            writer.ForgetSelection();
            clipEmitted = false;
        }
        if (!attributes.clipOn)
            return;
        const LogicalPoint a = ToLogical(attributes.clip1);
        const LogicalPoint b = ToLogical(attributes.clip2);
        const int left = std::min(a.x, b.x);
        const int right = std::max(a.x, b.x);
        const int top = std::min(a.y, b.y);
        const int bottom = std::max(a.y, b.y);
        if (left <= 0 && top <= 0 && right >= logicalWidth && bottom >= logicalHeight)
            return;
        writer.SaveDC();
        writer.IntersectClipRect(left, top, right + 1, bottom + 1);
        clipEmitted = true;
    }

    static int PenStyle(int type)
    {
        // Solid, dash, dot, dash-dot, dash-dot-dot; other types solid.
        return type >= 1 && type <= 5 ? type - 1 : kPsSolid;
    }

    int PenWidth(double logical) const
    {
        // Below a pixel the pen is the device's thinnest.
        if (!(logical >= LogicalPerPixel() * 1.5))
            return 0;
        return static_cast<int>(std::lround(std::min(logical, 32767.0)));
    }

    double NominalWidth() const { return LogicalPerPixel(); }

    void SelectLinePen()
    {
        const double width = LogicalSize(lineWidthMode, attributes.lineWidth, NominalWidth());
        writer.SelectPen(PenStyle(attributes.lineType), PenWidth(width), Resolve(attributes.lineColour));
    }

    void SelectEdgePen()
    {
        const double width = LogicalSize(edgeWidthMode, attributes.edgeWidth, NominalWidth());
        writer.SelectPen(PenStyle(attributes.edgeType), PenWidth(width), Resolve(attributes.edgeColour));
    }

    void PolylinePoints(const std::vector<Point>& points)
    {
        if (points.size() < 2)
            return;
        SyncClip();
        SelectLinePen();
        // Long lines go in pieces that share their end points.
        constexpr size_t kPiece = 16000;
        std::vector<LogicalPoint> logical = ToLogical(points);
        for (size_t start = 0; start + 1 < logical.size(); start += kPiece - 1) {
            const size_t end = std::min(logical.size(), start + kPiece);
            writer.Polyline(std::vector<LogicalPoint>(logical.begin() + static_cast<ptrdiff_t>(start),
                logical.begin() + static_cast<ptrdiff_t>(end)));
        }
    }

    // Selects the brush for the interior style; false when nothing is
    // filled.
    bool SelectFillBrush()
    {
        const COLORREF colour = Resolve(attributes.fillColour);
        switch (attributes.interiorStyle) {
        case 0: // hollow
        case 4: // empty
            writer.SelectBrush(kBsNull, 0, 0);
            return false;
        case 3: { // hatch: horizontal, vertical, /, \, +, x
            static constexpr int kHatches[] = {0, 1, 3, 2, 4, 5};
            const int64_t index = attributes.hatchIndex;
            const int hatch = index >= 1 && index <= 6 ? kHatches[index - 1] : 0;
            writer.SelectBrush(kBsHatched, colour, hatch);
            return true;
        }
        default: // solid, and the patterns drawn in their fill colour
            writer.SelectBrush(kBsSolid, colour, 0);
            return true;
        }
    }

    // The pen that outlines a filled area: the edge when visible, else the
    // fill colour for a hollow interior, else none.
    void SelectOutlinePen()
    {
        if (attributes.edgeVisible)
            SelectEdgePen();
        else if (attributes.interiorStyle == 0)
            writer.SelectPen(kPsSolid, 0, Resolve(attributes.fillColour));
        else
            writer.SelectPen(kPsNull, 0, 0);
    }

    void FillArea(const std::vector<Point>& points)
    {
        if (points.size() < 2 || points.size() > 0x7FFF)
            return;
        SyncClip();
        SelectFillBrush();
        SelectOutlinePen();
        writer.Polygon(ToLogical(points));
    }

    static Point At(const Point& centre, const Point& a, const Point& b, double t)
    {
        const double c = std::cos(t);
        const double s = std::sin(t);
        return Point{centre.x + a.x * c + b.x * s, centre.y + a.y * c + b.y * s};
    }

    // Points along the curve centre + a cos t + b sin t from t0 over
    // `sweep`, enough for its size.
    std::vector<Point> Curve(const Point& centre, const Point& a, const Point& b, double t0, double sweep) const
    {
        const double radius = std::max(std::hypot(a.x * scaleX, a.y * scaleY), std::hypot(b.x * scaleX, b.y * scaleY));
        const double perRevolution = std::clamp(radius / LogicalPerPixel() / 2, 24.0, 360.0);
        const double turns = std::fabs(sweep) / (2 * std::numbers::pi);
        const int steps = std::max(2, static_cast<int>(std::ceil(turns * perRevolution)));
        std::vector<Point> points;
        points.reserve(static_cast<size_t>(steps) + 2);
        for (int i = 0; i <= steps; ++i)
            points.push_back(At(centre, a, b, t0 + sweep * i / steps));
        return points;
    }

    // The parameter of the direction `v` on the curve centre + a cos t + b sin t.
    static bool Parameter(const Point& a, const Point& b, const Point& v, double& t)
    {
        const double det = a.x * b.y - a.y * b.x;
        if (det == 0 || !std::isfinite(det))
            return false;
        const double ca = (v.x * b.y - v.y * b.x) / det;
        const double cb = (a.x * v.y - a.y * v.x) / det;
        t = std::atan2(cb, ca);
        return std::isfinite(t);
    }

    void DrawArc(const Point& centre, const Point& a, const Point& b, const Point& start, const Point& end,
        bool reverse, int close, bool closed)
    {
        double t0 = 0;
        double t1 = 0;
        if (!Parameter(a, b, start, t0) || !Parameter(a, b, end, t1))
            return;
        double sweep = t1 - t0;
        if (!reverse) {
            while (sweep <= 0)
                sweep += 2 * std::numbers::pi;
        } else {
            while (sweep >= 0)
                sweep -= 2 * std::numbers::pi;
        }
        std::vector<Point> points = Curve(centre, a, b, t0, sweep);
        if (!closed) {
            PolylinePoints(points);
            return;
        }
        if (close == 0) // pie
            points.push_back(centre);
        FillArea(points);
    }

    void DrawMarkers(const std::vector<Point>& points)
    {
        SyncClip();
        const double size = std::max(LogicalSize(markerSizeMode, attributes.markerSize, LogicalPerPixel() * 5),
            LogicalPerPixel() * 2);
        const COLORREF colour = Resolve(attributes.markerColour);
        writer.SelectPen(kPsSolid, 0, colour);
        const double h = size / 2;
        for (const Point& p : points) {
            const LogicalPoint c = ToLogical(p);
            auto at = [&c](double dx, double dy) {
                return LogicalPoint{static_cast<int16_t>(Clamp16(c.x + dx)), static_cast<int16_t>(Clamp16(c.y + dy))};
            };
            switch (attributes.markerType) {
            case 1: // dot
                writer.SelectBrush(kBsSolid, colour, 0);
                writer.Polygon({at(-h / 4, -h / 4), at(h / 4, -h / 4), at(h / 4, h / 4), at(-h / 4, h / 4)});
                break;
            case 2: // plus
                writer.Polyline({at(-h, 0), at(h, 0)});
                writer.Polyline({at(0, -h), at(0, h)});
                break;
            case 4: { // circle
                writer.SelectBrush(kBsNull, 0, 0);
                std::vector<LogicalPoint> ring;
                for (int i = 0; i < 24; ++i) {
                    const double t = i * 2 * std::numbers::pi / 24;
                    ring.push_back(at(h * std::cos(t), h * std::sin(t)));
                }
                writer.Polygon(ring);
                break;
            }
            case 5: // cross
                writer.Polyline({at(-h, -h), at(h, h)});
                writer.Polyline({at(-h, h), at(h, -h)});
                break;
            default: // asterisk
                writer.Polyline({at(-h, 0), at(h, 0)});
                writer.Polyline({at(0, -h), at(0, h)});
                writer.Polyline({at(-h * 0.7, -h * 0.7), at(h * 0.7, h * 0.7)});
                writer.Polyline({at(-h * 0.7, h * 0.7), at(h * 0.7, -h * 0.7)});
                break;
            }
        }
    }

    std::string FaceOf(int64_t index, int& weight, bool& italic) const
    {
        const bool listed = index >= 1 && static_cast<size_t>(index) <= fonts.size();
        const std::string name = listed ? fonts[static_cast<size_t>(index - 1)] : std::string();
        std::string lower;
        for (char c : name)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        weight = lower.find("bold") != std::string::npos ? 700 : 400;
        italic = lower.find("italic") != std::string::npos || lower.find("oblique") != std::string::npos;
        if (lower.find("courier") != std::string::npos || lower.find("mono") != std::string::npos)
            return "Courier New";
        if ((lower.find("times") != std::string::npos || lower.find("roman") != std::string::npos
                || lower.find("serif") != std::string::npos)
            && lower.find("sans") == std::string::npos)
            return "Times New Roman";
        return "Arial";
    }

    void DrawText(const Point& at, const std::string& text)
    {
        if (text.empty())
            return;
        SyncClip();
        const Attributes& a = attributes;
        const double upLength = std::hypot(a.charUp.x, a.charUp.y);
        if (!(upLength > 0))
            return;
        // The character height is measured along the up vector (as a
        // capital letter's height); the font's em is a little taller.
        const double capLogical = a.charHeight * std::hypot(a.charUp.x * scaleX, a.charUp.y * scaleY) / upLength;
        const int emHeight = static_cast<int>(std::lround(Clamp16(std::max(capLogical / 0.72, 1.0))));
        // The base direction in logical units (y down) gives the angle.
        const double bx = a.charBase.x * scaleX;
        const double by = -a.charBase.y * scaleY;
        int escapement = 0;
        if (bx != 0 || by != 0)
            escapement = static_cast<int>(std::lround(std::atan2(-by, bx) * 1800 / std::numbers::pi));
        escapement = ((escapement % 3600) + 3600) % 3600;
        int weight = 400;
        bool italic = false;
        const std::string face = FaceOf(a.fontIndex, weight, italic);
        writer.SelectFont(-emHeight, escapement, weight, italic, face);
        writer.SetTextColor(Resolve(a.textColour));
        WORD align = kTaBaseline;
        switch (a.textHorizontal) {
        case 2:
            align |= kTaCenter;
            break;
        case 3:
            align |= kTaRight;
            break;
        default:
            align |= kTaLeft;
            break;
        }
        writer.SetTextAlign(align);
        // The vertical alignment moves the baseline along the up vector,
        // in fractions of the character height.
        double shift = 0;
        switch (a.textVertical) {
        case 1: // top
            shift = -1.25;
            break;
        case 2: // cap
            shift = -1;
            break;
        case 3: // half
            shift = -0.5;
            break;
        case 5: // bottom
            shift = 0.3;
            break;
        default: // normal, base, continuous
            break;
        }
        const Point base{at.x + a.charUp.x / upLength * a.charHeight * shift,
            at.y + a.charUp.y / upLength * a.charHeight * shift};
        const LogicalPoint p = ToLogical(base);
        writer.TextOut(p.x, p.y, text);
    }

    void TextElement(const Point& at, bool final, const std::string& text)
    {
        pendingAt = at;
        pendingText = text.substr(0, kMaxTextBytes);
        textPending = !final;
        if (final)
            DrawText(pendingAt, pendingText);
    }

    void AppendText(bool final, const std::string& text)
    {
        if (!textPending)
            return;
        pendingText += text.substr(0, kMaxTextBytes - std::min(kMaxTextBytes, pendingText.size()));
        if (final) {
            textPending = false;
            DrawText(pendingAt, pendingText);
        }
    }

    void CellArray(const Point& p, const Point& q, const Point& r, int64_t nx, int64_t ny,
        const std::vector<uint32_t>& values, bool direct, int localBits)
    {
        SyncClip();
        const LogicalPoint lp = ToLogical(p);
        const LogicalPoint lq = ToLogical(q);
        const LogicalPoint lr = ToLogical(r);
        // Rows run from P towards R; the rows follow each other towards Q.
        // Rows along x unless R lies straight above or below P.
        const bool rowsAlongX = std::abs(lr.x - lp.x) >= std::abs(lr.y - lp.y);
        const int width = static_cast<int>(rowsAlongX ? nx : ny);
        const int height = static_cast<int>(rowsAlongX ? ny : nx);
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
        std::vector<BYTE> bits(stride * static_cast<size_t>(height));
        const bool xForward = (rowsAlongX ? lr.x - lp.x : lq.x - lr.x) >= 0;
        const bool yForward = (rowsAlongX ? lq.y - lr.y : lr.y - lp.y) >= 0;
        const double maxValue = localBits >= 32 ? 4294967295.0 : std::ldexp(1.0, localBits) - 1;
        const int perCell = direct ? 3 : 1;
        for (int64_t row = 0; row < ny; ++row) {
            for (int64_t column = 0; column < nx; ++column) {
                const size_t at = static_cast<size_t>((row * nx + column) * perCell);
                COLORREF colour = 0;
                if (direct && localBits > 0) {
                    // A local precision is its own full scale.
                    const double scale = 255 / maxValue;
                    colour = RGB(static_cast<BYTE>(std::lround(values[at] * scale)),
                        static_cast<BYTE>(std::lround(values[at + 1] * scale)),
                        static_cast<BYTE>(std::lround(values[at + 2] * scale)));
                } else if (direct) {
                    const double rgb[3] = {double(values[at]), double(values[at + 1]), double(values[at + 2])};
                    colour = Direct(rgb);
                } else {
                    colour = Resolve(Colour{true, static_cast<int64_t>(values[at]), 0});
                }
                int x = static_cast<int>(rowsAlongX ? column : row);
                int y = static_cast<int>(rowsAlongX ? row : column);
                if (!xForward)
                    x = width - 1 - x;
                if (!yForward)
                    y = height - 1 - y;
                // Bottom-up rows.
                BYTE* pixel = bits.data() + stride * static_cast<size_t>(height - 1 - y) + static_cast<size_t>(x) * 3;
                pixel[0] = static_cast<BYTE>((colour >> 16) & 0xFF);
                pixel[1] = static_cast<BYTE>((colour >> 8) & 0xFF);
                pixel[2] = static_cast<BYTE>(colour & 0xFF);
            }
        }
        const int left = std::min({lp.x, lq.x, lr.x});
        const int right = std::max({lp.x, lq.x, lr.x});
        const int top = std::min({lp.y, lq.y, lr.y});
        const int bottom = std::max({lp.y, lq.y, lr.y});
        writer.StretchDib(left, top, std::max(1, right - left), std::max(1, bottom - top), width, height, bits);
    }
};

Interpreter::Interpreter()
    : m_state(std::make_unique<State>())
{
}

Interpreter::~Interpreter() = default;

BinaryPrecisions& Interpreter::Precisions()
{
    return m_state->precisions;
}

bool Interpreter::IsDone() const
{
    return m_state->done;
}

bool Interpreter::HasBegun() const
{
    return m_state->begun;
}

bool Interpreter::HasPicture() const
{
    return m_state->pictureSeen;
}

bool Interpreter::HasEnded() const
{
    return m_state->done;
}

bool Interpreter::IsTooLarge() const
{
    return m_state->writer.Overflowed();
}

bool Interpreter::Finish(std::vector<BYTE>& metafile, SIZE& frame)
{
    State& s = *m_state;
    if (!s.pictureSeen || s.writer.Overflowed())
        return false;
    if (s.textPending)
        s.DrawText(s.pendingAt, s.pendingText);
    if (s.clipEmitted)
        s.writer.RestoreDC();
    metafile = s.writer.Finish();
    frame = s.frame;
    return !s.writer.Overflowed();
}

namespace {

bool ValidBits(int64_t bits)
{
    return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool ReadRealFormat(ParamReader& reader, RealFormat& format)
{
    int form = 0;
    int64_t whole = 0;
    int64_t fraction = 0;
    if (!reader.Enum(form, {"floating", "fixed"}) || !reader.Integer(whole) || !reader.Integer(fraction))
        return false;
    if (form == 0 && ((whole == 9 && fraction == 23) || (whole == 12 && fraction == 52))) {
        format = RealFormat{false, static_cast<int>(whole), static_cast<int>(fraction)};
        return true;
    }
    if (form == 1 && ((whole == 16 && fraction == 16) || (whole == 32 && fraction == 32))) {
        format = RealFormat{true, static_cast<int>(whole), static_cast<int>(fraction)};
        return true;
    }
    return false;
}

} // namespace

bool Interpreter::Element(int elementClass, int elementId, ParamReader& reader)
{
    State& s = *m_state;
    if (!s.begun) {
        if (elementClass != 0 || elementId != 1)
            return false;
        s.begun = true;
        return true;
    }
    Attributes& a = s.attributes;
    const bool binary = reader.IsBinary();

    switch (elementClass) {
    case 0: // delimiters
        switch (elementId) {
        case 2: // END METAFILE
            s.done = true;
            return true;
        case 3: // BEGIN PICTURE
            s.inPicture = true;
            return true;
        case 4: // BEGIN PICTURE BODY
            if (!s.inPicture || s.inBody)
                return false;
            return s.BeginBody();
        case 5: // END PICTURE: only the first picture is imported
            if (s.inBody)
                s.done = true;
            s.inPicture = false;
            return true;
        default:
            return true;
        }

    case 1: { // metafile descriptor
        int64_t value = 0;
        switch (elementId) {
        case 3: { // VDC TYPE
            int type = 0;
            if (!reader.Enum(type, {"integer", "real"}) || type < 0 || type > 1)
                return false;
            s.vdcReal = type == 1;
            s.precisions.vdcIsReal = s.vdcReal;
            if (s.vdcReal) {
                s.vdc1 = {0, 0};
                s.vdc2 = {1, 1};
            }
            return true;
        }
        case 4: // INTEGER PRECISION
        case 6: // INDEX PRECISION
        case 7: // COLOUR PRECISION
        case 8: // COLOUR INDEX PRECISION
            if (!binary) {
                // Clear text gives the colour precision as the largest
                // component value, which scales direct colours.
                if (elementId == 7 && reader.Integer(value) && value > 0 && !s.colourExtentGiven)
                    for (double& max : s.colourMax)
                        max = static_cast<double>(value);
                return true;
            }
            if (!reader.Integer(value) || !ValidBits(value))
                return false;
            if (elementId == 4)
                s.precisions.integerBits = static_cast<int>(value);
            else if (elementId == 6)
                s.precisions.indexBits = static_cast<int>(value);
            else if (elementId == 7) {
                s.precisions.colourBits = static_cast<int>(value);
                if (!s.colourExtentGiven)
                    for (double& max : s.colourMax)
                        max = std::ldexp(1.0, static_cast<int>(value)) - 1;
            } else
                s.precisions.colourIndexBits = static_cast<int>(value);
            return true;
        case 5: // REAL PRECISION
            return !binary || ReadRealFormat(reader, s.precisions.real);
        case 10: { // COLOUR VALUE EXTENT
            double low[3];
            double high[3];
            if (!reader.DirectColour(low) || !reader.DirectColour(high))
                return false;
            for (int i = 0; i < 3; ++i) {
                s.colourMin[i] = low[i];
                s.colourMax[i] = high[i];
            }
            s.colourExtentGiven = true;
            return true;
        }
        case 12: // METAFILE DEFAULTS REPLACEMENT
            return !binary || reader.Nested(*this);
        case 13: { // FONT LIST
            s.fonts.clear();
            std::string name;
            while (!reader.AtEnd() && s.fonts.size() < 1024) {
                if (!reader.String(name))
                    return false;
                s.fonts.push_back(name);
            }
            return true;
        }
        default:
            return true;
        }
    }

    case 2: { // picture descriptor
        int mode = 0;
        switch (elementId) {
        case 1: { // SCALING MODE
            if (!reader.Enum(mode, {"abstract", "metric"}))
                return false;
            double factor = 1;
            if (!reader.AtEnd() && !reader.FloatingReal(factor))
                return false;
            s.metric = mode == 1;
            s.metricFactor = std::isfinite(factor) ? std::fabs(factor) : 0;
            return true;
        }
        case 2: // COLOUR SELECTION MODE
            if (!reader.Enum(mode, {"indexed", "direct"}) || mode < 0 || mode > 1)
                return false;
            s.directColour = mode == 1;
            if (s.directColour) {
                const double black[3] = {s.colourMin[0], s.colourMin[1], s.colourMin[2]};
                const COLORREF foreground = s.Direct(black);
                for (Colour* c : {&a.lineColour, &a.markerColour, &a.textColour, &a.fillColour, &a.edgeColour})
                    *c = Colour{false, 0, foreground};
            }
            return true;
        case 3:
        case 4:
        case 5: { // the size modes of line width, marker size and edge width
            if (!reader.Enum(mode, {"abs|abstract", "scaled", "fractional", "mm"}) || mode < 0 || mode > 3)
                return false;
            const SizeMode sizeMode = static_cast<SizeMode>(mode);
            (elementId == 3 ? s.lineWidthMode : elementId == 4 ? s.markerSizeMode : s.edgeWidthMode) = sizeMode;
            return true;
        }
        case 6: { // VDC EXTENT
            Point p1;
            Point p2;
            if (!s.ReadPoint(reader, p1) || !s.ReadPoint(reader, p2))
                return false;
            s.vdc1 = p1;
            s.vdc2 = p2;
            if (!s.attributes.clipSet) {
                a.clip1 = p1;
                a.clip2 = p2;
            }
            return true;
        }
        case 7: { // BACKGROUND COLOUR
            double rgb[3];
            if (!reader.DirectColour(rgb))
                return false;
            s.background = s.Direct(rgb);
            s.colourTable[0] = s.background;
            return true;
        }
        default:
            return true;
        }
    }

    case 3: { // control
        switch (elementId) {
        case 1: { // VDC INTEGER PRECISION
            if (!binary)
                return true;
            int64_t bits = 0;
            if (!reader.Integer(bits) || !ValidBits(bits))
                return false;
            s.precisions.vdcIntegerBits = static_cast<int>(bits);
            return true;
        }
        case 2: // VDC REAL PRECISION
            return !binary || ReadRealFormat(reader, s.precisions.vdcReal);
        case 5: { // CLIP RECTANGLE
            if (!s.ReadPoint(reader, a.clip1) || !s.ReadPoint(reader, a.clip2))
                return false;
            a.clipSet = s.inBody;
            return true;
        }
        case 6: { // CLIP INDICATOR
            int on = 0;
            if (!reader.Enum(on, {"off", "on"}))
                return false;
            a.clipOn = on != 0;
            a.clipSet = s.inBody;
            return true;
        }
        default:
            return true;
        }
    }

    case 4: { // graphical primitives
        // Primitives outside a picture body draw nothing.
        if (!s.inBody)
            return true;
        std::vector<Point> points;
        switch (elementId) {
        case 1: // POLYLINE
            if (!s.ReadPoints(reader, points))
                return false;
            s.PolylinePoints(points);
            return !s.writer.Overflowed();
        case 2: // DISJOINT POLYLINE
            if (!s.ReadPoints(reader, points))
                return false;
            for (size_t i = 0; i + 1 < points.size(); i += 2)
                s.PolylinePoints({points[i], points[i + 1]});
            return !s.writer.Overflowed();
        case 3: // POLYMARKER
            if (!s.ReadPoints(reader, points))
                return false;
            s.DrawMarkers(points);
            return !s.writer.Overflowed();
        case 4: { // TEXT
            Point at;
            int final = 1;
            std::string text;
            if (!s.ReadPoint(reader, at) || !reader.Enum(final, {"notfinal", "final"}) || !reader.String(text))
                return false;
            s.TextElement(at, final != 0, text);
            return !s.writer.Overflowed();
        }
        case 5: { // RESTRICTED TEXT: drawn as plain text at its point
            double dx = 0;
            double dy = 0;
            Point at;
            int final = 1;
            std::string text;
            if (!reader.Vdc(dx) || !reader.Vdc(dy) || !s.ReadPoint(reader, at)
                || !reader.Enum(final, {"notfinal", "final"}) || !reader.String(text))
                return false;
            s.TextElement(at, final != 0, text);
            return !s.writer.Overflowed();
        }
        case 6: { // APPEND TEXT
            int final = 1;
            std::string text;
            if (!reader.Enum(final, {"notfinal", "final"}) || !reader.String(text))
                return false;
            s.AppendText(final != 0, text);
            return !s.writer.Overflowed();
        }
        case 7: // POLYGON
            if (!s.ReadPoints(reader, points))
                return false;
            s.FillArea(points);
            return !s.writer.Overflowed();
        case 8: { // POLYGON SET
            std::vector<int> flags;
            while (!reader.AtEnd()) {
                Point point;
                int flag = 0;
                if (!s.ReadPoint(reader, point) || !reader.Enum(flag, {"invis", "vis", "closeinvis", "closevis"}))
                    return false;
                points.push_back(point);
                flags.push_back(flag);
            }
            // The polygons end at each "close" flag.
            std::vector<std::vector<Point>> polygons(1);
            for (size_t i = 0; i < points.size(); ++i) {
                polygons.back().push_back(points[i]);
                if ((flags[i] == 2 || flags[i] == 3) && i + 1 < points.size())
                    polygons.emplace_back();
            }
            s.SyncClip();
            const bool filled = s.SelectFillBrush();
            if (filled) {
                s.writer.SelectPen(kPsNull, 0, 0);
                std::vector<std::vector<LogicalPoint>> logical;
                for (const auto& polygon : polygons)
                    logical.push_back(s.ToLogical(polygon));
                s.writer.PolyPolygon(logical);
            }
            // Edges: each edge from a vertex to the next (or back to the
            // start of its polygon) that its flag makes visible.
            if (a.edgeVisible || a.interiorStyle == 0) {
                s.SelectOutlinePen();
                size_t first = 0;
                for (size_t i = 0; i < points.size(); ++i) {
                    const bool closes = flags[i] == 2 || flags[i] == 3 || i + 1 == points.size();
                    const Point& next = closes ? points[first] : points[i + 1];
                    const bool visible = a.interiorStyle == 0 && !a.edgeVisible ? true : (flags[i] & 1) != 0;
                    if (visible)
                        s.writer.Polyline({s.ToLogical(points[i]), s.ToLogical(next)});
                    if (closes)
                        first = i + 1;
                }
            }
            return !s.writer.Overflowed();
        }
        case 9: { // CELL ARRAY
            Point p;
            Point q;
            Point r;
            int64_t nx = 0;
            int64_t ny = 0;
            int64_t localBits = 0;
            if (!s.ReadPoint(reader, p) || !s.ReadPoint(reader, q) || !s.ReadPoint(reader, r) || !reader.Integer(nx)
                || !reader.Integer(ny) || !reader.Integer(localBits))
                return false;
            if (nx <= 0 || ny <= 0 || nx > 0xFFFF || ny > 0xFFFF || nx * ny > kMaxCells || localBits < 0
                || localBits > 32)
                return false;
            std::vector<uint32_t> values;
            if (!reader.CellColours(nx, ny, localBits, s.directColour, values))
                return false;
            s.CellArray(p, q, r, nx, ny, values, s.directColour, static_cast<int>(localBits));
            return !s.writer.Overflowed();
        }
        case 11: { // RECTANGLE
            Point p1;
            Point p2;
            if (!s.ReadPoint(reader, p1) || !s.ReadPoint(reader, p2))
                return false;
            s.FillArea({p1, {p2.x, p1.y}, p2, {p1.x, p2.y}});
            return !s.writer.Overflowed();
        }
        case 12: { // CIRCLE
            Point centre;
            double radius = 0;
            if (!s.ReadPoint(reader, centre) || !reader.Vdc(radius))
                return false;
            std::vector<Point> ring = s.Curve(centre, {radius, 0}, {0, radius}, 0, 2 * std::numbers::pi);
            ring.pop_back();
            s.FillArea(ring);
            return !s.writer.Overflowed();
        }
        case 13:
        case 14: { // CIRCULAR ARC 3 POINT (CLOSE)
            Point p1;
            Point p2;
            Point p3;
            int close = 0;
            if (!s.ReadPoint(reader, p1) || !s.ReadPoint(reader, p2) || !s.ReadPoint(reader, p3))
                return false;
            if (elementId == 14 && !reader.Enum(close, {"pie", "chord"}))
                return false;
            // The circle through the three points; on a straight line the
            // arc is the line from the first to the last.
            const double d = 2 * (p1.x * (p2.y - p3.y) + p2.x * (p3.y - p1.y) + p3.x * (p1.y - p2.y));
            if (std::fabs(d) < 1e-12) {
                s.PolylinePoints({p1, p3});
                return !s.writer.Overflowed();
            }
            const double n1 = p1.x * p1.x + p1.y * p1.y;
            const double n2 = p2.x * p2.x + p2.y * p2.y;
            const double n3 = p3.x * p3.x + p3.y * p3.y;
            const Point c{(n1 * (p2.y - p3.y) + n2 * (p3.y - p1.y) + n3 * (p1.y - p2.y)) / d,
                (n1 * (p3.x - p2.x) + n2 * (p1.x - p3.x) + n3 * (p2.x - p1.x)) / d};
            const double radius = std::hypot(p1.x - c.x, p1.y - c.y);
            if (!std::isfinite(radius))
                return true;
            // Counter-clockwise when the middle point turns left.
            const bool clockwise = d < 0;
            s.DrawArc(c, {radius, 0}, {0, radius}, {p1.x - c.x, p1.y - c.y}, {p3.x - c.x, p3.y - c.y}, clockwise, close,
                elementId == 14);
            return !s.writer.Overflowed();
        }
        case 15:
        case 16:
        case 20: { // CIRCULAR ARC CENTRE (CLOSE, REVERSED)
            Point c;
            Point start;
            Point end;
            double radius = 0;
            int close = 0;
            if (!s.ReadPoint(reader, c) || !reader.Vdc(start.x) || !reader.Vdc(start.y) || !reader.Vdc(end.x)
                || !reader.Vdc(end.y) || !reader.Vdc(radius))
                return false;
            if (elementId == 16 && !reader.Enum(close, {"pie", "chord"}))
                return false;
            s.DrawArc(c, {radius, 0}, {0, radius}, start, end, elementId == 20, close, elementId == 16);
            return !s.writer.Overflowed();
        }
        case 17: { // ELLIPSE
            Point c;
            Point d1;
            Point d2;
            if (!s.ReadPoint(reader, c) || !s.ReadPoint(reader, d1) || !s.ReadPoint(reader, d2))
                return false;
            std::vector<Point> ring
                = s.Curve(c, {d1.x - c.x, d1.y - c.y}, {d2.x - c.x, d2.y - c.y}, 0, 2 * std::numbers::pi);
            ring.pop_back();
            s.FillArea(ring);
            return !s.writer.Overflowed();
        }
        case 18:
        case 19: { // ELLIPTICAL ARC (CLOSE)
            Point c;
            Point d1;
            Point d2;
            Point start;
            Point end;
            int close = 0;
            if (!s.ReadPoint(reader, c) || !s.ReadPoint(reader, d1) || !s.ReadPoint(reader, d2)
                || !reader.Vdc(start.x) || !reader.Vdc(start.y) || !reader.Vdc(end.x) || !reader.Vdc(end.y))
                return false;
            if (elementId == 19 && !reader.Enum(close, {"pie", "chord"}))
                return false;
            const Point a1{d1.x - c.x, d1.y - c.y};
            const Point a2{d2.x - c.x, d2.y - c.y};
            s.DrawArc(c, a1, a2, start, end, false, close, elementId == 19);
            return !s.writer.Overflowed();
        }
        case 26: { // POLYBEZIER: separate curves of 4 points, or one of 4 then 3 per further curve
            int64_t continuity = 1;
            if (!reader.Index(continuity) || !s.ReadPoints(reader, points))
                return false;
            std::vector<Point> flat;
            const size_t step = continuity == 2 ? 3 : 4;
            for (size_t i = 0; i + 3 < points.size(); i += step) {
                if (continuity != 2 && !flat.empty()) {
                    s.PolylinePoints(flat);
                    flat.clear();
                }
                const Point* b = &points[i];
                constexpr int kSteps = 24;
                for (int k = flat.empty() ? 0 : 1; k <= kSteps; ++k) {
                    const double t = double(k) / kSteps;
                    const double u = 1 - t;
                    const double c0 = u * u * u;
                    const double c1 = 3 * u * u * t;
                    const double c2 = 3 * u * t * t;
                    const double c3 = t * t * t;
                    flat.push_back({c0 * b[0].x + c1 * b[1].x + c2 * b[2].x + c3 * b[3].x,
                        c0 * b[0].y + c1 * b[1].y + c2 * b[2].y + c3 * b[3].y});
                }
                if (continuity == 2 && flat.size() > 16000)
                    break;
            }
            s.PolylinePoints(flat);
            return !s.writer.Overflowed();
        }
        default:
            return true;
        }
    }

    case 5: { // attributes
        int value = 0;
        int64_t index = 0;
        switch (elementId) {
        case 2: // LINE TYPE
            if (!reader.Index(index))
                return false;
            a.lineType = static_cast<int>(std::clamp<int64_t>(index, -32768, 32767));
            return true;
        case 3: // LINE WIDTH
            return s.ReadSize(reader, s.lineWidthMode, a.lineWidth);
        case 4: // LINE COLOUR
            return s.ReadColour(reader, a.lineColour);
        case 6: // MARKER TYPE
            if (!reader.Index(index))
                return false;
            a.markerType = static_cast<int>(std::clamp<int64_t>(index, -32768, 32767));
            return true;
        case 7: // MARKER SIZE
            return s.ReadSize(reader, s.markerSizeMode, a.markerSize);
        case 8: // MARKER COLOUR
            return s.ReadColour(reader, a.markerColour);
        case 10: // TEXT FONT INDEX
            return reader.Index(a.fontIndex);
        case 14: // TEXT COLOUR
            return s.ReadColour(reader, a.textColour);
        case 15: // CHARACTER HEIGHT
            return reader.Vdc(a.charHeight);
        case 16: // CHARACTER ORIENTATION
            return reader.Vdc(a.charUp.x) && reader.Vdc(a.charUp.y) && reader.Vdc(a.charBase.x)
                && reader.Vdc(a.charBase.y);
        case 18: { // TEXT ALIGNMENT
            int horizontal = 0;
            int vertical = 0;
            if (!reader.Enum(horizontal, {"normhoriz", "left", "ctr", "right", "conthoriz"})
                || !reader.Enum(vertical, {"normvert", "top", "cap", "half", "base", "bottom", "contvert"}))
                return false;
            a.textHorizontal = horizontal;
            a.textVertical = vertical;
            return true;
        }
        case 22: // INTERIOR STYLE
            if (!reader.Enum(value, {"hollow", "solid", "pat", "hatch", "empty", "geopat", "interp"}))
                return false;
            a.interiorStyle = value;
            return true;
        case 23: // FILL COLOUR
            return s.ReadColour(reader, a.fillColour);
        case 24: // HATCH INDEX
            return reader.Index(a.hatchIndex);
        case 27: // EDGE TYPE
            if (!reader.Index(index))
                return false;
            a.edgeType = static_cast<int>(std::clamp<int64_t>(index, -32768, 32767));
            return true;
        case 28: // EDGE WIDTH
            return s.ReadSize(reader, s.edgeWidthMode, a.edgeWidth);
        case 29: // EDGE COLOUR
            return s.ReadColour(reader, a.edgeColour);
        case 30: // EDGE VISIBILITY
            if (!reader.Enum(value, {"off", "on"}))
                return false;
            a.edgeVisible = value != 0;
            return true;
        case 34: { // COLOUR TABLE
            int64_t start = 0;
            if (!reader.ColourIndex(start) || start < 0)
                return false;
            for (int64_t i = start; !reader.AtEnd(); ++i) {
                double rgb[3];
                if (!reader.DirectColour(rgb))
                    return false;
                if (static_cast<uint64_t>(i) >= kMaxColourTable)
                    continue;
                if (s.colourTable.size() <= static_cast<size_t>(i))
                    s.colourTable.resize(static_cast<size_t>(i) + 1, RGB(0, 0, 0));
                s.colourTable[static_cast<size_t>(i)] = s.Direct(rgb);
            }
            return true;
        }
        default:
            return true;
        }
    }

    default: // escapes, external elements, segments, application structures
        return true;
    }
}

} // namespace platform::cgm
