#pragma once
// A small vector painter for the generated pictures: a scene of filled
// polygons and stroked paths in its own coordinates (y down), drawn at any
// size with 4 x 4 samples a pixel. The result is straight RGBA whose alpha
// is the covered share of the pixel, so one scene serves transparent icons
// and cursors as well as pictures flattened onto a ground colour. Plain
// arithmetic only, so the same bytes come out on every machine.

#include "ButtonIcons.h"

#include <cstdint>
#include <vector>

namespace artgen {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Pt {
    double x = 0, y = 0;
};

using Image = IconPixels;

// Points of an elliptic arc from degree a0 to a1 (0 = +x, 90 = +y, so
// clockwise on screen), both ends included.
std::vector<Pt> ArcPoints(Pt centre, double rx, double ry, double a0, double a1, int segments);

// The points of a followed by those of b.
std::vector<Pt> Join(std::vector<Pt> a, const std::vector<Pt>& b);

// p turned about `centre` by `degrees` (clockwise on screen, y down).
Pt Turn(Pt p, Pt centre, double degrees);

class Scene {
public:
    // Even-odd fill of one or more closed contours.
    void Fill(std::vector<std::vector<Pt>> contours, Rgb colour);
    void Fill(std::vector<Pt> contour, Rgb colour) { Fill(std::vector<std::vector<Pt>>{std::move(contour)}, colour); }
    // A path of the given width with round ends and joins.
    void Stroke(std::vector<Pt> path, double width, Rgb colour, bool closed = false);
    // A filled shape with an outline centred on its edge.
    void Shape(std::vector<Pt> contour, Rgb fill, Rgb outline, double width);
    void Rect(double x0, double y0, double x1, double y1, Rgb fill, Rgb outline, double width);
    void Ellipse(Pt centre, double rx, double ry, Rgb fill, Rgb outline, double width);
    // Appends another scene moved by (dx, dy) and scaled about (0, 0) first.
    void Add(const Scene& other, double scale = 1, double dx = 0, double dy = 0);
    // Appends another scene with every point mapped; stroke widths are
    // multiplied by widthScale. The map must keep distances in proportion
    // (moves, turns, mirrors and even scaling).
    template <class Map>
    void AddMapped(const Scene& other, Map map, double widthScale = 1)
    {
        for (Item item : other.m_items) {
            for (std::vector<Pt>& c : item.contours) {
                for (Pt& p : c)
                    p = map(p);
            }
            item.halfWidth *= widthScale;
            Push(std::move(item));
        }
    }

    struct Item {
        std::vector<std::vector<Pt>> contours;
        double halfWidth = 0; // 0: filled; else a stroke
        bool closed = false;
        Rgb colour;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // bounds, widened by the stroke
    };
    const std::vector<Item>& Items() const { return m_items; }

private:
    void Push(Item item);
    std::vector<Item> m_items;
};

// Draws the scene into a width x height picture: scene point p lands on
// pixel p * scale + (dx, dy). Later items cover earlier ones.
Image Render(const Scene& scene, int width, int height, double scale, double dx, double dy);

// The scene's square design box of `box` units drawn centred into the
// picture, as large as fits.
Image RenderFitted(const Scene& scene, double box, int width, int height);

// Blends the picture onto an opaque ground.
Image Flatten(const Image& image, Rgb ground);

// Every pixel to a grey of its brightness, alpha kept.
Image ToGrey(const Image& image);

// Alpha to all or nothing (a cursor's mask), at half coverage.
Image Harden(const Image& image);

// Replaces every opaque pixel of colour `from` by `to`: keeps the glyphs of
// a toolbar strip clear of the colour that the strip uses as transparent.
void ReplaceColour(Image& image, Rgb from, Rgb to);

// Copies `part` into `image` with its top-left at (x, y), clipped.
void Paste(Image& image, const Image& part, int x, int y);

} // namespace artgen
