#include "CursorArt.h"

#include "resources/resource.h"

#include <string>

namespace artgen {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Pt kCentre{16, 16};
constexpr double kRim = 1.5;

void WhiteShape(Scene& s, std::vector<Pt> contour)
{
    s.Shape(std::move(contour), kWhite, kBlack, kRim);
}

// A black stroke with a white rim.
void BlackStroke(Scene& s, std::vector<Pt> path, double width)
{
    s.Stroke(path, width + 2.5, kWhite);
    s.Stroke(std::move(path), width, kBlack);
}

std::vector<Pt> Turned(std::vector<Pt> points, double degrees)
{
    for (Pt& p : points)
        p = Turn(p, kCentre, degrees);
    return points;
}

// A two-headed arrow along the x axis through the centre.
std::vector<Pt> DoubleArrow(double reach)
{
    double tip = reach;
    return {{16 - tip, 16}, {22.5 - tip, 9.5}, {22.5 - tip, 14}, {9.5 + tip, 14}, {9.5 + tip, 9.5}, {16 + tip, 16},
        {9.5 + tip, 22.5}, {9.5 + tip, 18}, {22.5 - tip, 18}, {22.5 - tip, 22.5}};
}

std::vector<Pt> FourWayArrow()
{
    return {{16, 1}, {22, 7}, {18, 7}, {18, 14}, {25, 14}, {25, 10}, {31, 16}, {25, 22}, {25, 18}, {18, 18}, {18, 25},
        {22, 25}, {16, 31}, {10, 25}, {14, 25}, {14, 18}, {7, 18}, {7, 22}, {1, 16}, {7, 10}, {7, 14}, {14, 14}, {14, 7},
        {10, 7}};
}

std::vector<Pt> ArrowPointer(double x, double y, double scale)
{
    std::vector<Pt> shape = {{0, 0}, {0, 22}, {5, 17}, {9, 26}, {13, 24}, {9, 15.5}, {16, 15.5}};
    for (Pt& p : shape)
        p = {x + p.x * scale, y + p.y * scale};
    return shape;
}

Scene SizingCursor(double degrees)
{
    Scene s;
    WhiteShape(s, Turned(DoubleArrow(14.5), degrees));
    return s;
}

Scene HandCursor()
{
    // The parts are outlined first and filled afterwards, so that only the
    // outline of their union shows.
    std::vector<std::vector<Pt>> parts = {
        Join(ArcPoints({13.25, 4.5}, 2.25, 2.25, 180, 360, 8), {{15.5, 18}, {11, 18}}),
        Join(ArcPoints({17.5, 11}, 2, 2, 180, 360, 6), {{19.5, 18}, {15.5, 18}}),
        Join(ArcPoints({21.5, 12}, 2, 2, 180, 360, 6), {{23.5, 18}, {19.5, 18}}),
        Join(ArcPoints({25.25, 14}, 1.75, 1.75, 180, 360, 6), {{27, 20}, {23.5, 20}}),
        {{7, 17}, {27, 17}, {27, 23}, {24, 28}, {11, 28}, {7, 23}},
        {{2.5, 17}, {5, 14.5}, {11, 19.5}, {11, 24}, {7, 24}},
        {{11, 27}, {24, 27}, {24, 31}, {11, 31}},
    };
    Scene s;
    for (const std::vector<Pt>& part : parts)
        s.Stroke(part, kRim * 2, kBlack, true);
    for (const std::vector<Pt>& part : parts)
        s.Fill(part, kWhite);
    s.Stroke({{15.5, 13}, {15.5, 18}}, 1.2, kBlack);
    s.Stroke({{19.5, 14}, {19.5, 18}}, 1.2, kBlack);
    s.Stroke({{23.5, 16}, {23.5, 19}}, 1.2, kBlack);
    return s;
}

Scene CropMarks(double scale, double dx, double dy)
{
    Scene marks;
    BlackStroke(marks, {{8, 1}, {8, 24}, {31, 24}}, 2.5);
    BlackStroke(marks, {{1, 8}, {24, 8}, {24, 31}}, 2.5);
    Scene s;
    s.Add(marks, scale, dx, dy);
    return s;
}

// An arc about the centre with a head at each end, around the direction
// `degrees` counter-clockwise from straight up; the exact steps also show
// the radius to the arc.
Scene RotationCursor(double degrees, bool exact)
{
    const double middle = -90 - degrees; // the picture's angle, clockwise from +x
    const double spread = 42;
    const double radius = 11;
    Scene s;
    std::vector<Pt> arc = ArcPoints(kCentre, radius, radius, middle - spread, middle + spread, 16);
    Pt radial = Turn({16 + radius, 16}, kCentre, middle);
    if (exact)
        BlackStroke(s, {kCentre, radial}, 1.5);
    BlackStroke(s, arc, 2.2);
    for (int end = 0; end < 2; ++end) {
        double at = end == 0 ? middle - spread : middle + spread;
        double toward = end == 0 ? -1 : 1; // along the arc, out of it
        Pt tip = Turn({16 + radius, 16 + toward * 6}, kCentre, at);
        Pt outer = Turn({16 + radius + 4, 16 - toward * 0.5}, kCentre, at);
        Pt inner = Turn({16 + radius - 4, 16 - toward * 0.5}, kCentre, at);
        s.Shape({tip, outer, inner}, kBlack, kWhite, 1.2);
    }
    s.Ellipse(kCentre, 2, 2, kBlack, kWhite, 1.2);
    return s;
}

CursorArt Rotation(int id, int degrees, bool exact)
{
    std::string name = std::string("cursor-rotate-") + (exact ? "" : "sector-") + std::to_string(degrees) + ".png";
    return {id, 16, 16, name, RotationCursor(degrees, exact)};
}

} // namespace

std::vector<CursorArt> MakeCursors()
{
    std::vector<CursorArt> cursors;
    cursors.push_back({IDC_OBJECT_HAND, 13, 2, "cursor-hand.png", HandCursor()});
    cursors.push_back({IDC_HANDLE_WE, 16, 16, "cursor-size-we.png", SizingCursor(0)});
    cursors.push_back({IDC_HANDLE_NS, 16, 16, "cursor-size-ns.png", SizingCursor(90)});
    cursors.push_back({IDC_HANDLE_NESW, 16, 16, "cursor-size-nesw.png", SizingCursor(-45)});
    cursors.push_back({IDC_HANDLE_NWSE, 16, 16, "cursor-size-nwse.png", SizingCursor(45)});
    {
        Scene s;
        WhiteShape(s, FourWayArrow());
        cursors.push_back({IDC_OBJECT_MOVE, 16, 16, "cursor-move.png", s});
    }
    {
        Scene s;
        WhiteShape(s, ArrowPointer(1, 1, 0.9));
        Scene arrows;
        WhiteShape(arrows, FourWayArrow());
        s.Add(arrows, 0.5, 15.5, 15.5);
        cursors.push_back({IDC_OBJECT_DRAG, 1, 1, "cursor-drag.png", s});
    }
    {
        Scene s = CropMarks(0.45, 17, 0);
        WhiteShape(s, Turned(DoubleArrow(10), 45));
        cursors.push_back({IDC_CROP_HANDLE, 16, 16, "cursor-crop-handle.png", s});
    }
    cursors.push_back({IDC_CROP, 8, 8, "cursor-crop.png", CropMarks(1, 0, 0)});
    static const int kSteps[24] = {IDC_ROTATE_0, IDC_ROTATE_15, IDC_ROTATE_30, IDC_ROTATE_45, IDC_ROTATE_60,
        IDC_ROTATE_75, IDC_ROTATE_90, IDC_ROTATE_105, IDC_ROTATE_120, IDC_ROTATE_135, IDC_ROTATE_150, IDC_ROTATE_165,
        IDC_ROTATE_180, IDC_ROTATE_195, IDC_ROTATE_210, IDC_ROTATE_225, IDC_ROTATE_240, IDC_ROTATE_255, IDC_ROTATE_270,
        IDC_ROTATE_285, IDC_ROTATE_300, IDC_ROTATE_315, IDC_ROTATE_330, IDC_ROTATE_345};
    for (int i = 0; i < 24; ++i)
        cursors.push_back(Rotation(kSteps[i], i * 15, true));
    static const int kSectors[8] = {IDC_ROTATE_SECTOR_0, IDC_ROTATE_SECTOR_45, IDC_ROTATE_SECTOR_90,
        IDC_ROTATE_SECTOR_135, IDC_ROTATE_SECTOR_180, IDC_ROTATE_SECTOR_225, IDC_ROTATE_SECTOR_270,
        IDC_ROTATE_SECTOR_315};
    for (int i = 0; i < 8; ++i)
        cursors.push_back(Rotation(kSectors[i], i * 45, false));
    return cursors;
}

// A pipette lying from its tip at the lower left up to its bulb.
Scene EyedropperCursor()
{
    const Pt tip{3, 28};
    const double k = 0.70710678;
    auto at = [&](double along, double across) {
        return Pt{tip.x + (along + across) * k, tip.y + (across - along) * k};
    };
    Scene s;
    s.Ellipse(at(26, 0), 4.2, 4.2, kWhite, kBlack, kRim);
    WhiteShape(s, {at(0, -0.8), at(9, -1.6), at(9, -3), at(20, -3), at(20, -5), at(22.5, -5), at(22.5, 5),
                      at(20, 5), at(20, 3), at(9, 3), at(9, 1.6), at(0, 0.8)});
    return s;
}

std::vector<CursorArt> MakeToolCursors()
{
    // A magnifying glass with a plus, its hot spot the middle of the lens.
    Scene s;
    BlackStroke(s, {{18, 18}, {28, 28}}, 3.5);
    s.Ellipse({12, 12}, 9, 9, kWhite, kBlack, kRim);
    s.Stroke({{8, 12}, {16, 12}}, 1.8, kBlack);
    s.Stroke({{12, 8}, {12, 16}}, 1.8, kBlack);
    return {{IDC_ZOOM_TOOL, 12, 12, "cursor-zoom.png", s},
        {IDC_STUDIO_EYEDROPPER, 3, 28, "cursor-eyedropper.png", EyedropperCursor()}};
}

Image DrawCursor(const CursorArt& cursor)
{
    return Harden(Render(cursor.scene, kCursorSize, kCursorSize, 1, 0, 0));
}

std::vector<ArtFile> MakeCursorFiles()
{
    std::vector<ArtFile> files;
    for (const CursorArt& cursor : MakeCursors())
        files.push_back({cursor.file, EncodePng(DrawCursor(cursor))});
    for (const CursorArt& cursor : MakeToolCursors())
        files.push_back({cursor.file, EncodePng(DrawCursor(cursor))});
    return files;
}

} // namespace artgen
