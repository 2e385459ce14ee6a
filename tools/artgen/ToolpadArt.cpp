#include "ToolpadArt.h"

#include "Glyphs.h"
#include "JpegWriter.h"
#include "Lettering.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace artgen {
namespace {

using namespace palette;

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Small helpers

uint8_t Clamp8(double v)
{
    return uint8_t(std::clamp(int(std::lround(v)), 0, 255));
}

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {Clamp8(a.r + (b.r - a.r) * t), Clamp8(a.g + (b.g - a.g) * t), Clamp8(a.b + (b.b - a.b) * t)};
}

Image Blank(int width, int height, Rgb colour)
{
    Image image{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 4, 255)};
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        image.rgba[i] = colour.r;
        image.rgba[i + 1] = colour.g;
        image.rgba[i + 2] = colour.b;
    }
    return image;
}

void SetPixel(Image& image, int x, int y, Rgb c)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height)
        return;
    uint8_t* p = &image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = 255;
}

Rgb GetPixel(const Image& image, int x, int y)
{
    const uint8_t* p = &image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
    return {p[0], p[1], p[2]};
}

// Blends the straight-alpha picture `part` over the opaque `image`.
void Over(Image& image, const Image& part, int x, int y)
{
    for (int row = 0; row < part.height; ++row) {
        for (int col = 0; col < part.width; ++col) {
            const int tx = x + col;
            const int ty = y + row;
            if (tx < 0 || ty < 0 || tx >= image.width || ty >= image.height)
                continue;
            const uint8_t* s = &part.rgba[(size_t(row) * size_t(part.width) + size_t(col)) * 4];
            if (s[3] == 0)
                continue;
            SetPixel(image, tx, ty, Mix(GetPixel(image, tx, ty), Rgb{s[0], s[1], s[2]}, s[3] / 255.0));
        }
    }
}

// A glyph of the 32-unit box drawn into a square of `size` pixels at (x, y)
// of a scene in pixel units.
void AddGlyph(Scene& s, const Scene& glyph, double x, double y, double size)
{
    s.Add(glyph, size / kGlyphBox, x, y);
}

// The scene as a picture in its own pixel units.
Image RenderPixels(const Scene& s, int width, int height)
{
    return Render(s, width, height, 1, 0, 0);
}

// ---------------------------------------------------------------------------
// Scenes of the buttons, in the glyphs' 32-unit box and style

Scene PictureScene()
{
    Scene s;
    s.Rect(3, 6, 29, 26, kSky, kInk, kOutline);
    s.Ellipse({22, 12}, 3, 3, kYellow, kInk, kOutline * 0.5);
    s.Shape({{3, 26}, {3, 22}, {11, 13}, {17, 20}, {21, 17}, {29, 24}, {29, 26}}, kGreen, kInk, kOutline * 0.6);
    return s;
}

// A round badge at the lower right: a plus, a pencil or a sparkle.
void PlusBadge(Scene& s)
{
    s.Ellipse({25, 25}, 6.5, 6.5, kGreen, kInk, kOutline * 0.7);
    s.Stroke({{21.5, 25}, {28.5, 25}}, 2.2, kPaper);
    s.Stroke({{25, 21.5}, {25, 28.5}}, 2.2, kPaper);
}

void PencilBadge(Scene& s)
{
    s.Shape({{17, 29}, {18, 24}, {28, 14}, {31, 17}, {21, 27}}, kOrange, kInk, kOutline * 0.6);
    s.Shape({{17, 29}, {18, 24}, {21, 27}}, kPaper, kInk, kOutline * 0.4);
}

void SparkleBadge(Scene& s, Pt c, double r)
{
    std::vector<Pt> star;
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        const double rr = i % 2 == 0 ? r : r * 0.35;
        star.push_back({c.x + rr * std::cos(a), c.y + rr * std::sin(a)});
    }
    s.Shape(star, kYellow, kInk, kOutline * 0.5);
}

Scene SuppliesScene()
{
    // A parcel with its tape.
    Scene s;
    s.Shape({{4, 11}, {16, 6}, {28, 11}, {16, 16}}, Rgb{222, 180, 112}, kInk, kOutline);
    s.Shape({{4, 11}, {16, 16}, {16, 29}, {4, 24}}, kOchre, kInk, kOutline);
    s.Shape({{16, 16}, {28, 11}, {28, 24}, {16, 29}}, kBrown, kInk, kOutline);
    s.Stroke({{10, 8.5}, {22, 13.5}, {22, 26.5}}, 2.4, kRed);
    return s;
}

// The page with its red header and two rings, before what it shows.
void CalendarSheet(Scene& s)
{
    s.Rect(4, 6, 28, 28, kPaper, kInk, kOutline);
    s.Rect(4, 6, 28, 12, kRed, kInk, kOutline);
    s.Stroke({{10, 3}, {10, 8}}, 2.2, kSteel);
    s.Stroke({{22, 3}, {22, 8}}, 2.2, kSteel);
}

void CalendarPage(Scene& s, int highlight)
{
    CalendarSheet(s);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            const double x = 7.5 + col * 5;
            const double y = 15 + row * 4.2;
            const bool lit = row * 4 + col == highlight;
            s.Rect(x, y, x + 3, y + 2.6, lit ? kBlue : kSilver, lit ? kBlue : kSilver, 0);
        }
    }
}

Scene CalendarScene(int highlight)
{
    Scene s;
    CalendarPage(s, highlight);
    return s;
}

Scene CalendarPictureScene()
{
    Scene s;
    CalendarSheet(s);
    s.Rect(8, 15, 24, 25, kSky, kInk, kOutline * 0.5);
    s.Shape({{8, 25}, {13, 19}, {17, 22}, {20, 20}, {24, 24}, {24, 25}}, kGreen, kInk, kOutline * 0.4);
    return s;
}

Scene ClockScene()
{
    Scene s;
    s.Ellipse({16, 16}, 13, 13, kPaper, kInk, kOutline);
    for (int i = 0; i < 12; ++i) {
        const double a = i * kPi / 6;
        s.Stroke({{16 + 10 * std::cos(a), 16 + 10 * std::sin(a)}, {16 + 11.5 * std::cos(a), 16 + 11.5 * std::sin(a)}},
            1.2, kSteel);
    }
    s.Stroke({{16, 16}, {16, 7}}, 2.2, kInk);
    s.Stroke({{16, 16}, {22, 19}}, 2.2, kBlue);
    s.Ellipse({16, 16}, 1.6, 1.6, kRed, kRed, 0);
    return s;
}

Scene PictureInShapeScene()
{
    // A picture seen through an oval.
    Scene s;
    s.Ellipse({16, 16}, 13, 11, kSky, kSky, 0);
    std::vector<Pt> hill = ArcPoints({16, 16}, 13, 11, 10, 170, 24);
    hill.push_back({7, 13});
    hill.push_back({13, 19});
    hill.push_back({19, 12});
    hill.push_back({28.5, 19});
    s.Fill(hill, kGreen);
    s.Ellipse({21, 10}, 2.5, 2.5, kYellow, kInk, kOutline * 0.4);
    s.Stroke(ArcPoints({16, 16}, 13, 11, 0, 360, 40), kOutline, kInk, true);
    return s;
}

Scene SameSizeScene()
{
    Scene s;
    s.Rect(3, 12, 14, 28, kSky, kInk, kOutline);
    s.Rect(18, 12, 29, 28, kSky, kInk, kOutline);
    s.Stroke({{3, 6}, {14, 6}}, 1.6, kRed);
    s.Stroke({{18, 6}, {29, 6}}, 1.6, kRed);
    for (double x : {3.0, 14.0, 18.0, 29.0})
        s.Stroke({{x, 3.5}, {x, 8.5}}, 1.6, kRed);
    return s;
}

Scene ChangeShapeScene()
{
    Scene s;
    s.Add(DrawGlyph(Glyph::Shapes), 0.85, 0, 0);
    PencilBadge(s);
    return s;
}

Scene TextToolScene()
{
    return DrawGlyph(Glyph::TextTool);
}

// An arrow for the navigation panel, pointing left or right.
Scene ArrowScene(bool right)
{
    Scene s;
    std::vector<Pt> arrow{{3, 16}, {15, 4}, {15, 11}, {29, 11}, {29, 21}, {15, 21}, {15, 28}};
    if (right) {
        for (Pt& p : arrow)
            p.x = 32 - p.x;
    }
    s.Shape(arrow, kBlue, kInk, kOutline);
    return s;
}

// ---------------------------------------------------------------------------
// The background picture

// A small hash of a place, -1 .. 1, for the grain.
double Grain(int x, int y)
{
    uint32_t h = uint32_t(x * 73856093u) ^ uint32_t(y * 19349663u) ^ 0x2545F491u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h & 0xFFFF) / 32767.5 - 1.0;
}

struct Band {
    int top;
    int bottom; // last row + 1
};

// The panels' frames and the rows of the titles over the context and the
// navigation panels.
constexpr Band kWorkspaceFrame{1, 158};
constexpr Band kContextFrame{163, 310};
constexpr Band kNavigationFrame{315, kToolpadHeight - 1};
constexpr Band kContextTitleBand{kToolpadContextTop + 25, kToolpadContextTop + 45};
constexpr Band kNavigationTitleBand{kToolpadNavigationTop + 3, kToolpadNavigationTop + 14};

constexpr Rgb kFaceTop{212, 215, 222};
constexpr Rgb kFaceBottom{196, 200, 209};
constexpr Rgb kGrooveDark{150, 156, 170};
constexpr Rgb kGrooveLight{238, 240, 245};
constexpr Rgb kTitleBand{182, 190, 206};
constexpr Rgb kCaptionInk{44, 52, 72};
constexpr Rgb kTitleInk{22, 30, 60};

// Lettering of `text` centred on x = cx with its capitals from y, `cap`
// pixels high.
void AddCentredText(Scene& s, const char* text, double cx, double y, double cap, double stroke, Rgb colour)
{
    const double scale = cap / 20.0;
    AddLettering(s, text, cx - LetteringWidth(text) * scale / 2, y, scale, stroke, colour);
}

// Where the workspace panel's captions go: under the buttons of the left
// column and of the right column's lower rows.
struct Caption {
    const char* text;
    double cx;
    double y;
};
constexpr Caption kCaptions[] = {
    {"Picture", 26.5, 52},
    {"Print", 26.5, 99},
    {"Supplies", 83.5, 99},
    {"New", 26.5, 147},
    {"Open", 83.5, 147},
};

Image DrawToolpad()
{
    Image image = Blank(kToolpadWidth, kToolpadHeight, kFaceTop);
    for (int y = 0; y < kToolpadHeight; ++y) {
        const double t = double(y) / (kToolpadHeight - 1);
        const Rgb row = Mix(kFaceTop, kFaceBottom, t);
        for (int x = 0; x < kToolpadWidth; ++x) {
            const double g = 1.5 * Grain(x, y);
            SetPixel(image, x, y, {Clamp8(row.r + g), Clamp8(row.g + g), Clamp8(row.b + g)});
        }
    }
    // Title bands, a shade darker, with soft ends.
    // The context panels' band starts right of their "How Do I?" button.
    for (const Band& band : {kContextTitleBand, kNavigationTitleBand}) {
        const int left = band.top == kContextTitleBand.top ? 33 : 4;
        for (int y = band.top; y < band.bottom; ++y) {
            for (int x = left; x < kToolpadWidth - 4; ++x) {
                const double edge = std::min({x - left + 1.0, kToolpadWidth - 4.0 - x, 4.0}) / 4.0;
                SetPixel(image, x, y, Mix(GetPixel(image, x, y), kTitleBand, 0.8 * edge));
            }
        }
    }
    // Each panel in a shallow groove: dark on its outer edge, light inside.
    for (const Band& frame : {kWorkspaceFrame, kContextFrame, kNavigationFrame}) {
        const int x0 = 1;
        const int x1 = kToolpadWidth - 3;
        for (int x = x0; x <= x1; ++x) {
            SetPixel(image, x, frame.top, kGrooveDark);
            SetPixel(image, x, frame.bottom - 1, kGrooveDark);
            SetPixel(image, x + 1, frame.top + 1, kGrooveLight);
            SetPixel(image, x + 1, frame.bottom, kGrooveLight);
        }
        for (int y = frame.top; y < frame.bottom; ++y) {
            SetPixel(image, x0, y, kGrooveDark);
            SetPixel(image, x1, y, kGrooveDark);
            SetPixel(image, x0 + 1, y + 1, kGrooveLight);
            SetPixel(image, x1 + 1, y + 1, kGrooveLight);
        }
    }
    Scene text;
    AddCentredText(text, "Workspace", kToolpadWidth / 2.0, 5, 10, 2.2, kTitleInk);
    text.Stroke({{12, 19.5}, {118, 19.5}}, 1, kGrooveDark);
    for (const Caption& caption : kCaptions)
        AddCentredText(text, caption.text, caption.cx, caption.y, 7, 1.6, kCaptionInk);
    Over(image, RenderPixels(text, kToolpadWidth, kToolpadHeight), 0, 0);
    return image;
}

const Image& ToolpadImage()
{
    static const Image image = DrawToolpad();
    return image;
}

// ---------------------------------------------------------------------------
// Buttons drawn over the background (workspace and navigation panels)

// Turns a picture with alpha into one over the background at palette point
// (x, y): where nothing covers, the key colour; elsewhere the picture
// blended onto the background there, never exactly the key.
Image OntoBackground(const Image& picture, int x, int y)
{
    const Image& ground = ToolpadImage();
    Image out = Blank(picture.width, picture.height, kToolpadKey);
    for (int row = 0; row < picture.height; ++row) {
        for (int col = 0; col < picture.width; ++col) {
            const uint8_t* s = &picture.rgba[(size_t(row) * size_t(picture.width) + size_t(col)) * 4];
            if (s[3] == 0)
                continue;
            const int gx = std::clamp(x + col, 0, kToolpadWidth - 1);
            const int gy = std::clamp(y + row, 0, kToolpadHeight - 1);
            Rgb c = Mix(GetPixel(ground, gx, gy), Rgb{s[0], s[1], s[2]}, s[3] / 255.0);
            if (c == kToolpadKey)
                c.b = 129;
            SetPixel(out, col, row, c);
        }
    }
    return out;
}

// A rounded plate with a glyph and an optional word; pressed, it is darker,
// lit from below and its content sits a pixel lower and to the right.
Image Plate(int width, int height, const Scene& glyph, const char* word, bool pressed, int x, int y)
{
    Scene s;
    const double r = 4;
    std::vector<Pt> plate = Join(Join(ArcPoints({r + 0.5, r + 0.5}, r, r, 180, 270, 6),
                                     ArcPoints({width - r - 0.5, r + 0.5}, r, r, 270, 360, 6)),
        Join(ArcPoints({width - r - 0.5, height - r - 0.5}, r, r, 0, 90, 6),
            ArcPoints({r + 0.5, height - r - 0.5}, r, r, 90, 180, 6)));
    s.Shape(plate, pressed ? Rgb{200, 208, 224} : Rgb{246, 247, 251}, Rgb{92, 100, 122}, 1);
    const Rgb lit = pressed ? Rgb{150, 158, 178} : kPaper;
    const Rgb shade = pressed ? Rgb{232, 236, 244} : Rgb{168, 175, 192};
    s.Stroke({{2, height - r - 1.0}, {2, r + 1.0}}, 1, lit);
    s.Stroke({{r + 1.0, 2}, {width - r - 1.0, 2}}, 1, lit);
    s.Stroke({{width - 2.0, r + 1.0}, {width - 2.0, height - r - 1.0}}, 1, shade);
    s.Stroke({{r + 1.0, height - 2.0}, {width - r - 1.0, height - 2.0}}, 1, shade);
    const double shift = pressed ? 1 : 0;
    const double size = std::min(height - 6.0, 24.0);
    if (word == nullptr) {
        AddGlyph(s, glyph, (width - size) / 2 + shift, (height - size) / 2 + shift, size);
    } else {
        const double cap = height * 0.45;
        const double scale = cap / 20;
        const double textWidth = LetteringWidth(word) * scale;
        const double left = (width - size - 3 - textWidth) / 2;
        AddGlyph(s, glyph, left + shift, (height - size) / 2 + shift, size);
        AddLettering(s, word, left + size + 3 + shift, (height - cap) / 2 + shift, scale, 1.8, kInk);
    }
    return OntoBackground(RenderPixels(s, width, height), x, y);
}

// ---------------------------------------------------------------------------
// Buttons on the button face (context panels, text format panel)

constexpr Rgb kBevelLight{255, 255, 255};
constexpr Rgb kBevelInner{223, 223, 223};
constexpr Rgb kBevelShadow{128, 128, 128};
constexpr Rgb kBevelDark{64, 64, 64};

enum class Look { Normal, Pressed, Disabled };

Image Bevel(int width, int height, bool pressed)
{
    Image image = Blank(width, height, kToolpadFace);
    const Rgb outerTop = pressed ? kBevelDark : kBevelLight;
    const Rgb innerTop = pressed ? kBevelShadow : kBevelInner;
    const Rgb outerBottom = pressed ? kBevelLight : kBevelDark;
    const Rgb innerBottom = pressed ? kBevelInner : kBevelShadow;
    for (int x = 0; x < width; ++x) {
        SetPixel(image, x, 1, innerTop);
        SetPixel(image, x, height - 2, innerBottom);
    }
    for (int y = 0; y < height; ++y) {
        SetPixel(image, 1, y, innerTop);
        SetPixel(image, width - 2, y, innerBottom);
    }
    for (int x = 0; x < width; ++x) {
        SetPixel(image, x, 0, outerTop);
        SetPixel(image, x, height - 1, outerBottom);
    }
    for (int y = 0; y < height; ++y) {
        SetPixel(image, 0, y, outerTop);
        SetPixel(image, width - 1, y, outerBottom);
    }
    return image;
}

// The content's coverage in one colour: a disabled button draws it grey
// over a white copy a pixel down and to the right.
Image InColour(const Image& content, Rgb colour)
{
    Image out = content;
    for (size_t i = 0; i + 3 < out.rgba.size(); i += 4) {
        out.rgba[i] = colour.r;
        out.rgba[i + 1] = colour.g;
        out.rgba[i + 2] = colour.b;
    }
    return out;
}

// A face button: the bevel and the content scene (in the button's pixels);
// pressed moves the content a pixel down and to the right.
Image FaceButton(int width, int height, const Scene& content, Look look)
{
    Image image = Bevel(width, height, look == Look::Pressed);
    const Image drawn = RenderPixels(content, width, height);
    if (look == Look::Disabled) {
        Over(image, InColour(drawn, kBevelLight), 1, 1);
        Over(image, InColour(drawn, kGreyInk), 0, 0);
    } else {
        Over(image, drawn, look == Look::Pressed ? 1 : 0, look == Look::Pressed ? 1 : 0);
    }
    return image;
}

Image GlyphFaceButton(int width, int height, const Scene& glyph, Look look)
{
    Scene s;
    const double size = std::min(width, height) - 6.0;
    AddGlyph(s, glyph, (width - size) / 2, (height - size) / 2, size);
    return FaceButton(width, height, s, look);
}

// ---------------------------------------------------------------------------
// The text format panel's contents

// The letter of a style button (B, I, U or S) with its mark, in a box of
// `width` x `height` pixels; `ink` its colour.
Scene StyleLetter(char letter, double width, double height, Rgb ink)
{
    Scene s;
    const double cap = height * 0.62;
    const double scale = cap / 20;
    // Bold is drawn heavy, the others in a regular weight.
    const double stroke = cap * (letter == 'B' ? 0.22 : 0.14);
    const char text[2] = {letter, 0};
    const double w = LetteringWidth(text) * scale;
    const double x = (width - w) / 2;
    const double y = (height - cap) / 2 - (letter == 'U' ? height * 0.06 : 0);
    if (letter == 'I') {
        // Slanted, with serifs.
        const double top = y;
        const double bottom = y + cap;
        const double slant = cap * 0.25;
        const double cx = width / 2;
        s.Stroke({{cx + slant / 2, top}, {cx - slant / 2, bottom}}, stroke, ink);
        s.Stroke({{cx + slant / 2 - cap * 0.2, top}, {cx + slant / 2 + cap * 0.2, top}}, stroke * 0.8, ink);
        s.Stroke({{cx - slant / 2 - cap * 0.2, bottom}, {cx - slant / 2 + cap * 0.2, bottom}}, stroke * 0.8, ink);
        return s;
    }
    AddLettering(s, text, x, y, scale, stroke, ink);
    if (letter == 'U')
        s.Stroke({{x - 1, y + cap + height * 0.12}, {x + w + 1, y + cap + height * 0.12}}, stroke * 0.8, ink);
    if (letter == 'S')
        s.Stroke({{x - 1.5, y + cap / 2}, {x + w + 1.5, y + cap / 2}}, stroke * 0.8, kRed);
    return s;
}

// Lines of text set to one side, centred or justified (0 left, 1 right,
// 2 centre, 3 justify), crisp on whole pixels.
void AlignmentLines(int alignment, int x0, int y0, int width, int lines, int pitch,
    const std::function<void(int, int)>& ink)
{
    for (int i = 0; i < lines; ++i) {
        const bool last = i == lines - 1;
        int length = width;
        if (alignment != 3 || last)
            length = i % 2 == 0 ? width : width * 2 / 3;
        if (alignment == 3 && last)
            length = width / 2;
        int left = x0;
        if (alignment == 1)
            left = x0 + width - length;
        else if (alignment == 2)
            left = x0 + (width - length) / 2;
        for (int row = 0; row < 2; ++row) {
            for (int x = left; x < left + length; ++x)
                ink(x, y0 + i * pitch + row);
        }
    }
}

Image AlignButton(int alignment, Look look)
{
    constexpr int kWidth = 24;
    constexpr int kHeight = 25;
    Scene none;
    Image image = FaceButton(kWidth, kHeight, none, look);
    const int shift = look == Look::Pressed ? 1 : 0;
    const Rgb ink = look == Look::Disabled ? kGreyInk : kInk;
    if (look == Look::Disabled) {
        AlignmentLines(alignment, 6, 6, 12, 4, 4, [&](int x, int y) { SetPixel(image, x + 1, y + 1, kBevelLight); });
    }
    AlignmentLines(alignment, 6 + shift, 6 + shift, 12, 4, 4, [&](int x, int y) { SetPixel(image, x, y, ink); });
    return image;
}

// ---------------------------------------------------------------------------
// Picker cells: black on white

Image Mono(int width, int height, const std::function<bool(int, int)>& ink)
{
    Image image = Blank(width, height, kPaper);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (ink(x, y))
                SetPixel(image, x, y, Rgb{0, 0, 0});
        }
    }
    return image;
}

// A scene made black on white: a pixel is ink when the scene covers at
// least half of it.
Image MonoScene(const Scene& s, int width, int height)
{
    const Image drawn = Harden(RenderPixels(s, width, height));
    return Mono(width, height, [&](int x, int y) { return drawn.rgba[(size_t(y) * size_t(width) + size_t(x)) * 4 + 3] != 0; });
}

constexpr int kShapeCell = 24;
constexpr int kAlignCell = 20;
constexpr int kStyleCell = 18;
constexpr int kDirectionWidth = 32;
constexpr int kDirectionHeight = 24;

// A warp shape's cell: the envelope filled, scaled to fill the box, with
// two thin gaps that follow it like lines of text.
Image WarpShapeCell(int nKind)
{
    constexpr int kSamplesAcross = 64;
    double low = 1e9;
    double high = -1e9;
    for (int i = 0; i <= kSamplesAcross; ++i) {
        double top = 0;
        double bottom = 0;
        WarpEnvelope(nKind, double(i) / kSamplesAcross, top, bottom);
        low = std::min(low, top);
        high = std::max(high, bottom);
    }
    const double x0 = 2;
    const double x1 = kShapeCell - 2;
    const double y0 = 2;
    const double y1 = kShapeCell - 2;
    const double span = high > low ? high - low : 1;
    return Mono(kShapeCell, kShapeCell, [&](int x, int y) {
        const double cx = x + 0.5;
        const double cy = y + 0.5;
        if (cx < x0 || cx > x1)
            return false;
        double top = 0;
        double bottom = 0;
        WarpEnvelope(nKind, (cx - x0) / (x1 - x0), top, bottom);
        const double t = y0 + (top - low) / span * (y1 - y0);
        const double b = y0 + (bottom - low) / span * (y1 - y0);
        if (cy < t || cy > b)
            return false;
        if (b - t >= 7) {
            for (int k = 1; k <= 2; ++k) {
                if (std::fabs(cy - (t + (b - t) * k / 3)) < 0.5)
                    return false;
            }
        }
        return true;
    });
}

// The two gradient directions as a dithered ramp from black to white:
// across (left to right) for cell 0 and downwards for cell 1, as the
// shading draws them.
Image DirectionCell(bool downwards)
{
    static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return Mono(kDirectionWidth, kDirectionHeight, [downwards](int x, int y) {
        if (x == 0 || y == 0 || x == kDirectionWidth - 1 || y == kDirectionHeight - 1)
            return true;
        const double t = downwards ? double(y - 1) / (kDirectionHeight - 3) : double(x - 1) / (kDirectionWidth - 3);
        return t * 16 < kBayer[y % 4][x % 4] + 0.5;
    });
}

// ---------------------------------------------------------------------------
// The Shadow dialog's offset icons: a letter with its shadow moved along
// the arrow.

Image ShadowIcon(bool vertical)
{
    Scene s;
    const double dx = vertical ? 0 : 4;
    const double dy = vertical ? 4 : 0;
    const double lx = vertical ? 3 : 7;
    const double ly = vertical ? 4 : 2;
    AddLettering(s, "A", lx + dx, ly + dy, 0.95, 3.6, kSteel);
    AddLettering(s, "A", lx, ly, 0.95, 3.6, kInk);
    if (vertical) {
        s.Stroke({{26, 6}, {26, 26}}, 2.2, kBlue);
        s.Fill({{26, 2}, {21.5, 8}, {30.5, 8}}, kBlue);
        s.Fill({{26, 30}, {21.5, 24}, {30.5, 24}}, kBlue);
    } else {
        s.Stroke({{6, 27}, {26, 27}}, 2.2, kBlue);
        s.Fill({{2, 27}, {8, 22.5}, {8, 31.5}}, kBlue);
        s.Fill({{30, 27}, {24, 22.5}, {24, 31.5}}, kBlue);
    }
    return RenderPixels(s, 32, 32);
}

// ---------------------------------------------------------------------------
// The table of pictures

struct Entry {
    int id;
    std::string file;
    int width;
    int height;
    bool icon;
    std::function<Image()> draw;
};

// Places of the buttons drawn over the background, in palette pixels.
constexpr int kWorkspaceTop = 0;
constexpr int kNavigationTop = kToolpadNavigationTop;

std::vector<Entry> Entries()
{
    std::vector<Entry> e;
    auto add = [&e](int id, const std::string& file, int width, int height, std::function<Image()> draw) {
        e.push_back({id, file, width, height, false, std::move(draw)});
    };
    // A face button with a glyph, normal and pressed.
    auto face = [&add](int normal, int pressed, const std::string& name, int width, int height,
                    std::function<Scene()> glyph) {
        add(normal, "tp-" + name + ".png", width, height,
            [=] { return GlyphFaceButton(width, height, glyph(), Look::Normal); });
        add(pressed, "tp-" + name + "-pressed.png", width, height,
            [=] { return GlyphFaceButton(width, height, glyph(), Look::Pressed); });
    };
    // A plate over the background at palette point (x, y).
    auto plate = [&add](int normal, int pressed, const std::string& name, int width, int height, int x, int y,
                     std::function<Scene()> glyph, const char* word) {
        add(normal, "tp-" + name + ".png", width, height,
            [=] { return Plate(width, height, glyph(), word, false, x, y); });
        add(pressed, "tp-" + name + "-pressed.png", width, height,
            [=] { return Plate(width, height, glyph(), word, true, x, y); });
    };
    auto glyph = [](Glyph g) { return [g] { return DrawGlyph(g); }; };

    face(1106, 1145, "howdoi", 21, 27, glyph(Glyph::HowDoI));

    // Titles: the panel's name on the (transparent) face; the context
    // panels' start right of the "How Do I?" button.
    struct Title {
        int id;
        const char* name;
        const char* text;
        int y; // palette row of the title's top
        bool afterHowDoI;
    };
    const Title titles[] = {
        {1107, "hint", "Tips", kToolpadContextTop + 26, true},
        {1108, "surfaces", "Surfaces", kToolpadNavigationTop, false},
        {1111, "picture", "Picture", kToolpadContextTop + 26, true},
        {1142, "shape", "Shape", kToolpadContextTop + 26, true},
        {1143, "calendar", "Calendar", kToolpadContextTop + 26, true},
        {1144, "text", "Text", kToolpadContextTop + 26, true},
        {473, "arrange", "Arrange", kToolpadContextTop + 26, true},
    };
    for (const Title& title : titles) {
        add(title.id, std::string("tp-title-") + title.name + ".png", 123, 18, [title] {
            Scene s;
            const double left = title.afterHowDoI ? 30 : 0;
            AddCentredText(s, title.text, (left + 123) / 2, title.afterHowDoI ? 3.5 : 2, 11, 2.4, kTitleInk);
            Image out = OntoBackground(RenderPixels(s, 123, 18), 3, title.y);
            ReplaceColour(out, kToolpadFace, Rgb{192, 192, 193});
            // The title is drawn keyed on the face colour.
            for (size_t i = 0; i + 3 < out.rgba.size(); i += 4) {
                if (Rgb{out.rgba[i], out.rgba[i + 1], out.rgba[i + 2]} == kToolpadKey) {
                    out.rgba[i] = kToolpadFace.r;
                    out.rgba[i + 1] = kToolpadFace.g;
                    out.rgba[i + 2] = kToolpadFace.b;
                }
            }
            return out;
        });
    }

    // Workspace panel.
    auto insertPicture = [] {
        Scene s = PictureScene();
        PlusBadge(s);
        return s;
    };
    auto editPicture = [] {
        Scene s = PictureScene();
        PencilBadge(s);
        return s;
    };
    plate(1110, 1109, "insert-picture", 27, 26, 13, kWorkspaceTop + 24, insertPicture, nullptr);
    plate(416, 417, "edit-picture", 27, 26, 13, kWorkspaceTop + 24, editPicture, nullptr);
    plate(572, 571, "text-workspace", 54, 20, 70, kWorkspaceTop + 24, TextToolScene, "Text");
    plate(574, 575, "change-text-wrap", 54, 20, 70, kWorkspaceTop + 24, glyph(Glyph::Properties), "Edit");
    plate(418, 419, "text-dialog", 54, 20, 70, kWorkspaceTop + 44, glyph(Glyph::TextEffects), "Text");
    plate(1101, 1114, "change-text-block", 54, 20, 70, kWorkspaceTop + 44, glyph(Glyph::Properties), "Edit");
    plate(1150, 1149, "print", 27, 26, 13, kWorkspaceTop + 71, glyph(Glyph::Print), nullptr);
    plate(1152, 1151, "supplies", 27, 26, 70, kWorkspaceTop + 71, SuppliesScene, nullptr);
    plate(1156, 1155, "new-design", 27, 26, 13, kWorkspaceTop + 119, glyph(Glyph::New), nullptr);
    plate(1184, 1185, "open-design", 27, 26, 70, kWorkspaceTop + 119, glyph(Glyph::Open), nullptr);

    // Context panels: 43 x 30 buttons; the arrange panel's stand 22 apart,
    // so its buttons are 22 high.
    auto studio = [] {
        Scene s = PictureScene();
        SparkleBadge(s, {25, 7}, 7);
        return s;
    };
    auto addShape = [] {
        Scene s;
        s.Add(PictureScene(), 0.8, 0, 0);
        s.Add(DrawGlyph(Glyph::Shapes), 0.55, 14, 14);
        return s;
    };
    auto pictureInCalendar = [] { return CalendarPictureScene(); };
    face(413, 414, "picture-studio", 43, 30, studio);
    face(514, 515, "add-shape", 43, 30, addShape);
    face(401, 402, "change-shape", 43, 30, ChangeShapeScene);
    face(385, 391, "color-fill", 43, 30, glyph(Glyph::Fill));
    face(409, 410, "picture-in-shape", 43, 30, PictureInShapeScene);
    face(392, 393, "center", 43, 22, glyph(Glyph::CenterOnPage));
    face(384, 390, "align", 43, 22, glyph(Glyph::AlignLeft));
    face(405, 406, "flip", 43, 22, glyph(Glyph::FlipHorizontal));
    face(584, 583, "same-size", 43, 22, SameSizeScene);
    face(394, 400, "change-calendar", 43, 30, [] { return CalendarScene(-1); });
    face(407, 408, "picture-in-calendar", 43, 30, pictureInCalendar);
    face(581, 580, "edit-day", 43, 30, [] { return CalendarScene(6); });
    face(578, 579, "edit-hour", 43, 30, ClockScene);

    // Navigation panel arrows.
    plate(1115, 1133, "prev-surface", 25, 37, 3, kNavigationTop + 14, [] { return ArrowScene(false); }, nullptr);
    plate(1117, 1116, "next-surface", 26, 37, 94, kNavigationTop + 14, [] { return ArrowScene(true); }, nullptr);

    // Text format panel: normal, pressed (also "on") and disabled.
    struct Style {
        int normal, pressed, disabled;
        const char* name;
        char letter;
    };
    const Style styles[] = {
        {1140, 1139, 1221, "bold", 'B'},
        {1138, 1137, 1214, "italic", 'I'},
        {1136, 1134, 1219, "underline", 'U'},
        {1135, 1141, 1220, "strikeout", 'S'},
    };
    for (const Style& style : styles) {
        const std::string base = std::string("tf-") + style.name;
        const char letter = style.letter;
        add(style.normal, base + ".png", 24, 15,
            [letter] { return FaceButton(24, 15, StyleLetter(letter, 24, 15, kInk), Look::Normal); });
        add(style.pressed, base + "-pressed.png", 24, 15,
            [letter] { return FaceButton(24, 15, StyleLetter(letter, 24, 15, kInk), Look::Pressed); });
        add(style.disabled, base + "-disabled.png", 24, 15,
            [letter] { return FaceButton(24, 15, StyleLetter(letter, 24, 15, kInk), Look::Disabled); });
    }
    struct Alignment {
        int normal, pressed, disabled;
        const char* name;
        int alignment;
    };
    const Alignment alignments[] = {
        {1132, 1131, 1216, "align-left", 0},
        {1128, 1127, 1217, "align-right", 1},
        {1130, 1129, 1215, "align-center", 2},
        {1125, 1126, 1218, "justify", 3},
    };
    for (const Alignment& a : alignments) {
        const std::string base = std::string("tf-") + a.name;
        const int n = a.alignment;
        add(a.normal, base + ".png", 24, 25, [n] { return AlignButton(n, Look::Normal); });
        add(a.pressed, base + "-pressed.png", 24, 25, [n] { return AlignButton(n, Look::Pressed); });
        add(a.disabled, base + "-disabled.png", 24, 25, [n] { return AlignButton(n, Look::Disabled); });
    }

    // Picker cells.
    for (int cell = 0; cell < 16; ++cell) {
        const int kind = kWarpShapeOfCell[cell] + 1;
        const std::string file = "te-shape-" + std::string(cell < 10 ? "0" : "") + std::to_string(cell) + ".png";
        add(344 + cell, file, kShapeCell, kShapeCell, [kind] { return WarpShapeCell(kind); });
    }
    for (int cell = 0; cell < 4; ++cell) {
        add(360 + cell, "te-align-" + std::to_string(cell) + ".png", kAlignCell, kAlignCell, [cell] {
            Image image = Blank(kAlignCell, kAlignCell, kPaper);
            AlignmentLines(cell, 2, 3, 16, 4, 4, [&image](int x, int y) { SetPixel(image, x, y, Rgb{0, 0, 0}); });
            return image;
        });
    }
    add(365, "cf-direction-0.png", kDirectionWidth, kDirectionHeight, [] { return DirectionCell(false); });
    add(366, "cf-direction-1.png", kDirectionWidth, kDirectionHeight, [] { return DirectionCell(true); });
    const std::pair<int, char> toggles[] = {{386, 'B'}, {387, 'I'}, {388, 'S'}, {389, 'U'}};
    const char* toggleNames[] = {"bold", "italic", "strikeout", "underline"};
    for (size_t i = 0; i < 4; ++i) {
        const char letter = toggles[i].second;
        add(toggles[i].first, std::string("te-") + toggleNames[i] + ".png", kStyleCell, kStyleCell,
            [letter] { return MonoScene(StyleLetter(letter, kStyleCell, kStyleCell, Rgb{0, 0, 0}), kStyleCell, kStyleCell); });
    }

    e.push_back({646, "te-shadow-horz.png", 32, 32, true, [] { return ShadowIcon(false); }});
    e.push_back({647, "te-shadow-vert.png", 32, 32, true, [] { return ShadowIcon(true); }});
    return e;
}

} // namespace

void WarpEnvelope(int nKind, double u, double& top, double& bottom)
{
    u = std::clamp(u, 0.0, 1.0);
    top = 0;
    bottom = 1;
    if (nKind >= 1 && nKind <= 6) {
        // Straight edges: where they start on the left and end on the right.
        static constexpr double kEnds[6][4] = {
            {0, 1, 0.5, 0.5}, {0.5, 0.5, 0, 1}, {0, 1, 0.3, 0.7}, {0.3, 0.7, 0, 1}, {0.25, 1, 0, 0.75}, {0, 0.75, 0.25, 1},
        };
        const double* e = kEnds[nKind - 1];
        top = e[0] + (e[2] - e[0]) * u;
        bottom = e[1] + (e[3] - e[1]) * u;
        return;
    }
    if (nKind >= 7 && nKind <= 11) {
        const double a = 0.5;
        const double s = std::sin(u * kPi);
        switch (nKind) {
        case 7:
            top = a - a * s;
            bottom = top + a;
            break;
        case 8:
            top = a * s;
            bottom = top + a;
            break;
        case 9:
            top = a - a * s;
            bottom = 2 * a - a * s / 12;
            break;
        case 10:
            top = a * s / 12;
            bottom = a * s + a;
            break;
        default:
            top = a - a * s;
            bottom = a + a * s;
            break;
        }
        return;
    }
    if (nKind == 12 || nKind == 13) {
        const double a = 1.0 / 3;
        const double theta = 2 * kPi * u + (nKind == 12 ? kPi : 0);
        top = a * std::sin(theta) + a;
        bottom = top + a;
        return;
    }
    if (nKind == 14 || nKind == 15) {
        const double A = 0.5;
        double a = 5 * A / 6;
        double h = A / 2;
        if (u >= 0.38) {
            const double w = (u - 0.38) * 1.612903213401739;
            a = a - std::cos(1 - w) * w * a;
            h = A / 2 + (A / 2) / 3 * w;
        }
        top = A / 4 + a + std::sin((2 * u - 0.75) * kPi) * h / 6;
        bottom = top + A;
        if (nKind == 15 && u >= 0.25 && u <= 0.65) {
            const double d = 0.2 - std::fabs(u - 0.45);
            top += std::cos(1 - 5 * d) * 4 * d * (A / 5);
        }
        return;
    }
}

std::vector<uint8_t> ToolpadPixels()
{
    const Image& image = ToolpadImage();
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(image.width) * size_t(image.height) * 3);
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4)
        rgb.insert(rgb.end(), {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]});
    return rgb;
}

ArtFile MakeToolpadPicture()
{
    return {"toolpad.jpg", EncodeJpeg(ToolpadPixels(), kToolpadWidth, kToolpadHeight, 92)};
}

std::vector<ToolpadArtPicture> ToolpadArtPictures()
{
    std::vector<ToolpadArtPicture> pictures;
    for (const Entry& entry : Entries())
        pictures.push_back({entry.id, entry.file, entry.width, entry.height, entry.icon});
    return pictures;
}

std::vector<ArtFile> MakeToolpadArtFiles()
{
    std::vector<ArtFile> files;
    for (const Entry& entry : Entries())
        files.push_back({entry.file, EncodePng(entry.draw())});
    return files;
}

} // namespace artgen
