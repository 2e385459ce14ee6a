#include "Glyphs.h"

#include "Lettering.h"

namespace artgen {
namespace {

using namespace palette;

Scene MirrorX(const Scene& s)
{
    Scene out;
    out.AddMapped(s, [](Pt p) { return Pt{kGlyphBox - p.x, p.y}; });
    return out;
}

Scene MirrorY(const Scene& s)
{
    Scene out;
    out.AddMapped(s, [](Pt p) { return Pt{p.x, kGlyphBox - p.y}; });
    return out;
}

Scene Transpose(const Scene& s)
{
    Scene out;
    out.AddMapped(s, [](Pt p) { return Pt{p.y, p.x}; });
    return out;
}

// A sheet of paper with its top-right corner folded down.
void Page(Scene& s, double x0, double y0, double x1, double y1, Rgb fill = kPaper)
{
    const double fold = (x1 - x0) * 0.32;
    s.Shape({{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}}, fill, kInk, kOutline);
    s.Shape({{x1 - fold, y0}, {x1 - fold, y0 + fold}, {x1, y0 + fold}}, kPaperShade, kInk, kOutline * 0.8);
}

// A coloured stroke with a dark rim.
void RimmedStroke(Scene& s, std::vector<Pt> path, double width, Rgb colour)
{
    s.Stroke(path, width + kOutline * 1.2, kInk);
    s.Stroke(std::move(path), width, colour);
}

// A filled triangle of an arrow: tip, and the base's two corners.
void Head(Scene& s, Pt tip, Pt a, Pt b, Rgb colour)
{
    s.Shape({tip, a, b}, colour, kInk, kOutline * 0.8);
}

void Magnifier(Scene& s, Pt centre, double radius, bool plus)
{
    RimmedStroke(s, {{centre.x + radius * 0.7, centre.y + radius * 0.7}, {centre.x + radius * 1.75, centre.y + radius * 1.75}},
        3.6, kBrown);
    s.Ellipse(centre, radius, radius, kSky, kInk, kOutline);
    s.Ellipse({centre.x - radius * 0.3, centre.y - radius * 0.3}, radius * 0.3, radius * 0.3, kPaper, kPaper, 0);
    if (plus) {
        s.Stroke({{centre.x - radius * 0.55, centre.y}, {centre.x + radius * 0.55, centre.y}}, 2.2, kInk);
        s.Stroke({{centre.x, centre.y - radius * 0.55}, {centre.x, centre.y + radius * 0.55}}, 2.2, kInk);
    }
}

// The curved arrow of Undo, pointing back to the left.
Scene UndoArrow()
{
    Scene s;
    RimmedStroke(s, ArcPoints({16, 19}, 10, 9, 40, -180, 24), 3.4, kBlue);
    Head(s, {6, 27}, {0.5, 17}, {11.5, 17}, kBlue);
    return s;
}

void Pointer(Scene& s, double x, double y, double scale)
{
    std::vector<Pt> shape = {{0, 0}, {0, 22}, {5, 17}, {9, 26}, {13, 24}, {9, 15.5}, {16, 15.5}};
    for (Pt& p : shape)
        p = {x + p.x * scale, y + p.y * scale};
    s.Shape(shape, kPaper, kInk, kOutline);
}

void Padlock(Scene& s, bool open)
{
    if (open)
        RimmedStroke(s, Join(ArcPoints({22, 10}, 6, 6, 180, 360, 12), {{28, 13}}), 3, kSteel);
    else
        RimmedStroke(s, Join(Join({{10, 16}}, ArcPoints({16, 11}, 6, 6, 180, 360, 12)), {{22, 16}}), 3, kSteel);
    double x0 = open ? 3 : 7;
    s.Rect(x0, 15, x0 + 18, 29, kYellow, kInk, kOutline);
    s.Ellipse({x0 + 9, 21}, 2, 2, kInk, kInk, 0);
    s.Stroke({{x0 + 9, 21}, {x0 + 9, 25.5}}, 1.8, kInk);
}

// Two objects, a round one and a square one.
void TwoShapes(Scene& s, double apart)
{
    s.Ellipse({11 - apart, 12 - apart}, 6.5, 6.5, kRed, kInk, kOutline);
    s.Rect(14 + apart, 15 + apart, 27 + apart, 27 + apart, kSky, kInk, kOutline);
}

void DashedFrame(Scene& s, double x0, double y0, double x1, double y1)
{
    auto dashes = [&](Pt a, Pt b) {
        const int n = 5;
        for (int i = 0; i < n; ++i) {
            double t0 = (i * 2.0) / (2 * n - 1);
            double t1 = (i * 2.0 + 1) / (2 * n - 1);
            s.Stroke({{a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0}, {a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1}},
                1.8, kInk);
        }
    };
    dashes({x0, y0}, {x1, y0});
    dashes({x1, y0}, {x1, y1});
    dashes({x1, y1}, {x0, y1});
    dashes({x0, y1}, {x0, y0});
}

Scene AlignLeftScene()
{
    Scene s;
    s.Stroke({{5, 2}, {5, 30}}, 2.4, kInk);
    s.Rect(8, 6, 27, 13, kBlue, kInk, kOutline);
    s.Rect(8, 19, 19, 26, kSky, kInk, kOutline);
    return s;
}

Scene FlipHorizontalScene()
{
    Scene s;
    s.Shape({{14, 5}, {14, 27}, {2, 27}}, kBlue, kInk, kOutline);
    s.Shape({{18, 5}, {18, 27}, {30, 27}}, kPaper, kInk, kOutline);
    for (int i = 0; i < 4; ++i)
        s.Stroke({{16, 2.0 + i * 8}, {16, 6.0 + i * 8}}, 1.6, kInk);
    return s;
}

// A window with a title bar.
void Window(Scene& s, double x0, double y0, double x1, double y1)
{
    s.Rect(x0, y0, x1, y1, kPaper, kInk, kOutline);
    s.Rect(x0, y0, x1, y0 + 5, kBlue, kInk, kOutline);
}

void Sparkle(Scene& s, Pt c, double r)
{
    s.Shape({{c.x, c.y - r}, {c.x + r * 0.3, c.y - r * 0.3}, {c.x + r, c.y}, {c.x + r * 0.3, c.y + r * 0.3}, {c.x, c.y + r},
                {c.x - r * 0.3, c.y + r * 0.3}, {c.x - r, c.y}, {c.x - r * 0.3, c.y - r * 0.3}},
        kYellow, kInk, kOutline * 0.7);
}

void RoundedRect(Scene& s, double x0, double y0, double x1, double y1, double r, Rgb fill)
{
    std::vector<Pt> points;
    auto corner = [&](Pt c, double a0) {
        std::vector<Pt> arc = ArcPoints(c, r, r, a0, a0 + 90, 6);
        points.insert(points.end(), arc.begin(), arc.end());
    };
    corner({x1 - r, y0 + r}, -90);
    corner({x1 - r, y1 - r}, 0);
    corner({x0 + r, y1 - r}, 90);
    corner({x0 + r, y0 + r}, 180);
    s.Shape(points, fill, kInk, kOutline);
}

void QuestionMark(Scene& s, double x, double y, double scale, double width, Rgb colour)
{
    AddLettering(s, "?", x, y, scale, width, colour);
}

} // namespace

Scene DrawGlyph(Glyph glyph)
{
    Scene s;
    switch (glyph) {
    case Glyph::New:
        Page(s, 6, 3, 24, 29);
        Sparkle(s, {24, 8}, 6.5);
        break;
    case Glyph::Open:
        s.Shape({{2, 7}, {11, 7}, {14, 10}, {26, 10}, {26, 27}, {2, 27}}, kOchre, kInk, kOutline);
        s.Shape({{2, 27}, {8, 15}, {31, 15}, {25, 27}}, kYellow, kInk, kOutline);
        break;
    case Glyph::Save:
        s.Shape({{3, 3}, {26, 3}, {29, 6}, {29, 29}, {3, 29}}, kBlue, kInk, kOutline);
        s.Rect(9, 3, 23, 12, kSilver, kInk, kOutline * 0.8);
        s.Rect(18, 5, 21, 10, kBlue, kBlue, 0);
        s.Rect(7, 17, 25, 29, kPaper, kInk, kOutline * 0.8);
        s.Stroke({{10, 21}, {22, 21}}, 1.4, kSky);
        s.Stroke({{10, 25}, {22, 25}}, 1.4, kSky);
        break;
    case Glyph::Print:
        s.Rect(9, 3, 23, 14, kPaper, kInk, kOutline);
        s.Rect(2, 12, 30, 25, kSilver, kInk, kOutline);
        s.Rect(8, 20, 24, 30, kPaper, kInk, kOutline);
        s.Stroke({{11, 24}, {21, 24}}, 1.4, kSteel);
        s.Ellipse({26, 16}, 1.6, 1.6, kGreen, kGreen, 0);
        break;
    case Glyph::PrintPreview:
        Page(s, 3, 2, 21, 28);
        for (int i = 0; i < 3; ++i)
            s.Stroke({{6, 11.0 + i * 4}, {14, 11.0 + i * 4}}, 1.4, kSteel);
        Magnifier(s, {20, 19}, 6, false);
        break;
    case Glyph::Cut:
        RimmedStroke(s, {{12, 20}, {22, 2}}, 2.6, kSilver);
        RimmedStroke(s, {{20, 20}, {10, 2}}, 2.6, kSilver);
        s.Ellipse({9, 24}, 4.5, 4.5, kPaper, kRed, 3);
        s.Ellipse({23, 24}, 4.5, 4.5, kPaper, kRed, 3);
        break;
    case Glyph::Copy:
        Page(s, 3, 2, 19, 22);
        Page(s, 13, 10, 29, 30);
        break;
    case Glyph::Paste:
        s.Rect(4, 5, 23, 29, kBrown, kInk, kOutline);
        s.Rect(9, 2, 18, 8, kSilver, kInk, kOutline);
        Page(s, 13, 12, 29, 30);
        break;
    case Glyph::Undo:
        s = UndoArrow();
        break;
    case Glyph::Redo:
        s = MirrorX(UndoArrow());
        break;
    case Glyph::Zoom:
        Magnifier(s, {13, 13}, 9, false);
        break;
    case Glyph::ContextHelp:
        Pointer(s, 2, 3, 0.95);
        QuestionMark(s, 18, 6, 1.0, 3.4, kBlue);
        break;
    case Glyph::Select:
        Pointer(s, 9, 3, 1.1);
        break;
    case Glyph::TextTool:
        AddLettering(s, "T", 4, 4, 1.2, 4.4, kInk);
        s.Stroke({{22, 14}, {22, 29}}, 1.8, kBlue);
        s.Stroke({{19, 14}, {25, 14}}, 1.8, kBlue);
        s.Stroke({{19, 29}, {25, 29}}, 1.8, kBlue);
        break;
    case Glyph::Line:
        RimmedStroke(s, {{5, 27}, {27, 5}}, 2.6, kBlue);
        break;
    case Glyph::Rectangle:
        s.Rect(3, 7, 29, 25, kSky, kInk, kOutline);
        break;
    case Glyph::RoundRectangle:
        RoundedRect(s, 3, 7, 29, 25, 6, kSky);
        break;
    case Glyph::Ellipse:
        s.Ellipse({16, 16}, 13, 10, kSky, kInk, kOutline);
        break;
    case Glyph::Polygon: {
        std::vector<Pt> points = ArcPoints({16, 16.5}, 13, 13, -90, 270, 6);
        points.pop_back();
        s.Shape(points, kLeaf, kInk, kOutline);
        break;
    }
    case Glyph::ZoomTool:
        Magnifier(s, {13, 13}, 9, true);
        break;
    case Glyph::Font:
        AddLettering(s, "A", 2, 5, 1.15, 4.0, kInk);
        AddLettering(s, "a", 20, 8, 0.9, 3.0, kBlue);
        break;
    case Glyph::TextEffects:
        AddLettering(s, "A", 6, 7, 1.15, 4.6, kSteel);
        AddLettering(s, "A", 4, 4, 1.15, 4.6, kRed);
        break;
    case Glyph::LineColour:
        s.Rect(2, 25, 30, 30, kRed, kInk, kOutline);
        s.Shape({{4, 22}, {7, 15}, {21, 1}, {26, 6}, {12, 20}}, kYellow, kInk, kOutline);
        s.Shape({{4, 22}, {7, 15}, {12, 20}}, kSilver, kInk, kOutline * 0.8);
        break;
    case Glyph::MoveToFront:
        s.Rect(3, 3, 20, 20, kSilver, kInk, kOutline);
        s.Rect(12, 12, 29, 29, kBlue, kInk, kOutline);
        break;
    case Glyph::MoveToBottom:
        s.Rect(12, 12, 29, 29, kBlue, kInk, kOutline);
        s.Rect(3, 3, 20, 20, kSilver, kInk, kOutline);
        break;
    case Glyph::Group:
        DashedFrame(s, 2, 2, 30, 30);
        TwoShapes(s, 0);
        break;
    case Glyph::Ungroup:
        TwoShapes(s, 2.5);
        break;
    case Glyph::Lock:
        Padlock(s, false);
        break;
    case Glyph::Unlock:
        Padlock(s, true);
        break;
    case Glyph::AlignLeft:
        s = AlignLeftScene();
        break;
    case Glyph::AlignRight:
        s = MirrorX(AlignLeftScene());
        break;
    case Glyph::AlignTop:
        s = Transpose(AlignLeftScene());
        break;
    case Glyph::AlignBottom:
        s = MirrorY(Transpose(AlignLeftScene()));
        break;
    case Glyph::CenterOnPage:
        s.Rect(3, 3, 29, 29, kPaper, kInk, kOutline);
        s.Rect(11, 11, 21, 21, kBlue, kInk, kOutline);
        s.Stroke({{16, 3}, {16, 8}}, 1.6, kInk);
        s.Stroke({{16, 24}, {16, 29}}, 1.6, kInk);
        s.Stroke({{3, 16}, {8, 16}}, 1.6, kInk);
        s.Stroke({{24, 16}, {29, 16}}, 1.6, kInk);
        break;
    case Glyph::FlipHorizontal:
        s = FlipHorizontalScene();
        break;
    case Glyph::FlipVertical:
        s = Transpose(FlipHorizontalScene());
        break;
    case Glyph::Rotate:
        RimmedStroke(s, ArcPoints({16, 17}, 10, 10, -50, 215, 30), 3.2, kGreen);
        Head(s, {24.5, 3}, {20, 14}, {31, 11}, kGreen);
        break;
    case Glyph::Properties:
        Page(s, 4, 2, 24, 30);
        for (int i = 0; i < 4; ++i)
            s.Stroke({{8, 11.0 + i * 4.5}, {18, 11.0 + i * 4.5}}, 1.4, kSteel);
        RimmedStroke(s, {{17, 22}, {21, 27}, {30, 15}}, 2.4, kGreen);
        break;
    case Glyph::Duplicate:
        s.Rect(3, 3, 19, 19, kSky, kInk, kOutline);
        s.Rect(13, 13, 29, 29, kSky, kInk, kOutline);
        break;
    case Glyph::Fill:
        s.Shape({{4, 14}, {15, 3}, {27, 15}, {16, 26}}, kSilver, kInk, kOutline);
        s.Shape({{22, 10}, {27, 15}, {29, 22}, {29, 27}, {26, 27}, {26, 20}}, kBlue, kInk, kOutline * 0.8);
        break;
    case Glyph::Shapes:
        s.Shape({{16, 2}, {28, 22}, {4, 22}}, kLeaf, kInk, kOutline);
        s.Ellipse({10, 23}, 7, 7, kRed, kInk, kOutline);
        s.Rect(17, 17, 29, 29, kSky, kInk, kOutline);
        break;
    case Glyph::SpellCheck:
        AddLettering(s, "Aa", 2, 1, 0.75, 2.6, kInk);
        RimmedStroke(s, {{6, 22}, {12, 28}, {27, 12}}, 3.2, kGreen);
        break;
    case Glyph::TileHorizontal:
        Window(s, 3, 3, 29, 15);
        Window(s, 3, 17, 29, 29);
        break;
    case Glyph::TileVertical:
        Window(s, 2, 4, 15, 28);
        Window(s, 17, 4, 30, 28);
        break;
    case Glyph::Cascade:
        Window(s, 2, 2, 20, 18);
        Window(s, 7, 8, 25, 24);
        Window(s, 12, 14, 30, 30);
        break;
    case Glyph::NewWindow:
        Window(s, 2, 6, 26, 29);
        Sparkle(s, {25, 7}, 6.5);
        break;
    case Glyph::About:
        s.Ellipse({16, 16}, 13.5, 13.5, kBlue, kInk, kOutline);
        AddLettering(s, "i", 16, 4, 1.05, 4.0, kPaper);
        break;
    case Glyph::HelpTopics:
        s.Shape({{5, 3}, {25, 3}, {25, 29}, {5, 29}}, kBlue, kInk, kOutline);
        s.Rect(5, 24, 25, 29, kPaper, kInk, kOutline * 0.8);
        QuestionMark(s, 10, 5, 0.8, 2.8, kPaper);
        break;
    case Glyph::HowDoI:
        s.Shape(Join(ArcPoints({16, 13}, 14, 11, 120, 420, 30), {{9, 30}}), kYellow, kInk, kOutline);
        QuestionMark(s, 11.5, 4.5, 0.8, 3.0, kInk);
        break;
    case Glyph::CropTool:
        // A picture with the corner marks of the part that is kept.
        s.Rect(4, 4, 28, 28, kSky, kInk, kOutline * 0.6);
        s.Shape({{4, 28}, {13, 17}, {19, 23}, {23, 19}, {28, 24}, {28, 28}}, kLeaf, kInk, kOutline * 0.6);
        s.Ellipse({21, 10}, 3, 3, kYellow, kInk, kOutline * 0.5);
        RimmedStroke(s, {{9, 1}, {9, 23}, {31, 23}}, 2.4, kRed);
        RimmedStroke(s, {{1, 9}, {23, 9}, {23, 31}}, 2.4, kRed);
        break;
    }
    return s;
}

Scene DrawShirt(bool back)
{
    Scene s;
    std::vector<Pt> neck = back ? ArcPoints({16, 3}, 4.5, 2, 180, 0, 10) : ArcPoints({16, 3}, 4.5, 6, 180, 0, 12);
    std::vector<Pt> outline = Join({{11.5, 3}}, neck);
    outline = Join(outline, {{20.5, 3}, {23, 3}, {31, 9}, {27.5, 15}, {24.5, 12.5}, {24.5, 30}, {7.5, 30}, {7.5, 12.5},
                                {4.5, 15}, {1, 9}, {9, 3}});
    s.Shape(outline, kPaper, kInk, kOutline);
    if (back) {
        s.Rect(14.5, 5.5, 17.5, 8, kRed, kInk, kOutline * 0.5);
    } else {
        std::vector<Pt> star;
        for (int i = 0; i < 10; ++i) {
            double r = i % 2 == 0 ? 5.5 : 2.3;
            star.push_back(Turn({16, 18 - r}, {16, 18}, i * 36));
        }
        s.Shape(star, kYellow, kInk, kOutline * 0.6);
    }
    return s;
}

} // namespace artgen
