#include "PageSetupArt.h"

#include "PictureCanvas.h"
#include "resources/resource.h"

#include <array>

namespace artgen {

namespace {

constexpr uint32_t kInk = ColorRef(64, 64, 64);
constexpr uint32_t kPaper = ColorRef(255, 255, 255);
constexpr uint32_t kShade = ColorRef(200, 200, 200);

// A sheet of paper with a shadow, centred in the square.
void Sheet(MetafileBuilder& b, int16_t width, int16_t height)
{
    const int16_t left = static_cast<int16_t>((kPictureSize - width) / 2);
    const int16_t top = static_cast<int16_t>((kPictureSize - height) / 2);
    DrawFilled(b, kShade, 0, kShade, [&] {
        b.Rectangle(static_cast<int16_t>(left + 24), static_cast<int16_t>(top + 24),
            static_cast<int16_t>(left + width + 24), static_cast<int16_t>(top + height + 24));
    });
    DrawFilled(b, kInk, 10, kPaper, [&] {
        b.Rectangle(left, top, static_cast<int16_t>(left + width), static_cast<int16_t>(top + height));
    });
}

// Lines of text on a sheet, as grey bars.
void TextBars(MetafileBuilder& b, int16_t left, int16_t top, int16_t width, int count, int16_t pitch)
{
    DrawFilled(b, kShade, 0, kShade, [&] {
        for (int i = 0; i < count; ++i) {
            const int16_t y = static_cast<int16_t>(top + i * pitch);
            const int16_t w = static_cast<int16_t>(i % 3 == 2 ? width * 2 / 3 : width);
            b.Rectangle(left, y, static_cast<int16_t>(left + w), static_cast<int16_t>(y + pitch / 2));
        }
    });
}

constexpr std::array<Point16, 12> kShirt = {{{330, 140}, {420, 180}, {580, 180}, {670, 140}, {900, 290},
    {820, 430}, {730, 380}, {730, 880}, {270, 880}, {270, 380}, {180, 430}, {100, 290}}};

constexpr std::array<Point16, 14> kSweater = {{{340, 130}, {430, 170}, {570, 170}, {660, 130}, {880, 260},
    {960, 800}, {850, 820}, {760, 420}, {760, 900}, {240, 900}, {240, 420}, {150, 820}, {40, 800}, {120, 260}}};

constexpr std::array<Point16, 4> kCuffLeft = {{{40, 800}, {150, 820}, {140, 880}, {30, 860}}};
constexpr std::array<Point16, 4> kCuffRight = {{{960, 800}, {850, 820}, {860, 880}, {970, 860}}};

constexpr std::array<Point16, 3> kTriangle = {{{640, 380}, {780, 620}, {500, 620}}};

constexpr std::array<Point16, 10> kSmallStar = {{{500, 330}, {528, 411}, {614, 413}, {545, 465}, {570, 547},
    {500, 498}, {430, 547}, {455, 465}, {386, 413}, {472, 411}}};

std::vector<uint8_t> MakeShirt()
{
    MetafileBuilder b = StartPicture();
    DrawFilled(b, kInk, 12, ColorRef(170, 210, 250), [&] { b.Polygon(kShirt); });
    // The transfer's design on the chest.
    DrawFilled(b, ColorRef(128, 64, 0), 6, ColorRef(255, 204, 0), [&] { b.Polygon(kSmallStar); });
    return b.Finish();
}

std::vector<uint8_t> MakeApparel()
{
    MetafileBuilder b = StartPicture();
    DrawFilled(b, kInk, 12, ColorRef(90, 170, 110), [&] { b.Polygon(kSweater); });
    DrawFilled(b, kInk, 10, ColorRef(60, 130, 80), [&] {
        b.Polygon(kCuffLeft);
        b.Polygon(kCuffRight);
    });
    DrawFilled(b, ColorRef(128, 0, 0), 6, ColorRef(220, 20, 60), [&] { b.Ellipse(420, 360, 580, 520); });
    return b.Finish();
}

std::vector<uint8_t> MakeMousePad()
{
    MetafileBuilder b = StartPicture();
    DrawFilled(b, kInk, 12, ColorRef(40, 60, 140), [&] { b.Rectangle(60, 200, 940, 800); });
    DrawFilled(b, ColorRef(128, 64, 0), 6, ColorRef(255, 204, 0), [&] { b.Ellipse(140, 280, 420, 560); });
    // The mouse, resting on the pad.
    DrawFilled(b, kInk, 10, ColorRef(230, 230, 230), [&] { b.Ellipse(600, 420, 780, 700); });
    DrawFilled(b, kInk, 6, ColorRef(180, 180, 180), [&] { b.Rectangle(684, 430, 696, 520); });
    return b.Finish();
}

std::vector<uint8_t> MakeCalendar()
{
    MetafileBuilder b = StartPicture();
    Sheet(b, 760, 860);
    DrawFilled(b, kInk, 6, ColorRef(200, 40, 40), [&] { b.Rectangle(120, 70, 880, 250); });
    DrawFilled(b, kShade, 4, kPaper, [&] {
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 7; ++column) {
                const int16_t left = static_cast<int16_t>(150 + column * 100);
                const int16_t top = static_cast<int16_t>(290 + row * 120);
                b.Rectangle(left, top, static_cast<int16_t>(left + 90), static_cast<int16_t>(top + 110));
            }
        }
    });
    return b.Finish();
}

std::vector<uint8_t> MakeLabels()
{
    MetafileBuilder b = StartPicture();
    Sheet(b, 700, 900);
    DrawFilled(b, kInk, 6, ColorRef(255, 245, 200), [&] {
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 2; ++column) {
                const int16_t left = static_cast<int16_t>(190 + column * 320);
                const int16_t top = static_cast<int16_t>(100 + row * 165);
                b.Rectangle(left, top, static_cast<int16_t>(left + 300), static_cast<int16_t>(top + 140));
            }
        }
    });
    return b.Finish();
}

std::vector<uint8_t> MakeGeneral()
{
    MetafileBuilder b = StartPicture();
    Sheet(b, 700, 900);
    DrawFilled(b, ColorRef(0, 0, 128), 8, ColorRef(30, 100, 220), [&] { b.Ellipse(220, 380, 480, 640); });
    DrawFilled(b, ColorRef(0, 96, 0), 8, ColorRef(90, 190, 90), [&] { b.Polygon(kTriangle); });
    TextBars(b, 220, 160, 560, 3, 60);
    TextBars(b, 220, 700, 560, 3, 60);
    return b.Finish();
}

// A sheet of the paper's proportions, 900 units tall, with lines of text.
std::vector<uint8_t> MakePaper(int nWidth, int nHeight)
{
    MetafileBuilder b = StartPicture();
    const int16_t height = 880;
    const int16_t width = static_cast<int16_t>(height * nWidth / nHeight);
    Sheet(b, width, height);
    const int16_t left = static_cast<int16_t>((kPictureSize - width) / 2 + 60);
    TextBars(b, left, 120, static_cast<int16_t>(width - 120), 11, 66);
    return b.Finish();
}

// A sheet turned either way, with a figure upright on it.
std::vector<uint8_t> MakeOrientation(bool bLandscape)
{
    MetafileBuilder b = StartPicture();
    const int16_t longSide = 860;
    const int16_t shortSide = 660;
    Sheet(b, bLandscape ? longSide : shortSide, bLandscape ? shortSide : longSide);
    DrawFilled(b, kInk, 8, ColorRef(255, 204, 150), [&] { b.Ellipse(430, 300, 570, 440); });
    DrawFilled(b, kInk, 8, ColorRef(30, 100, 220), [&] { b.Rectangle(400, 460, 600, 700); });
    return b.Finish();
}

} // namespace

std::vector<MetafileArt> MakePageSetupMetafiles()
{
    return {
        {IDR_PS_KIND_SHIRT, "Shirt transfer", "ps-kind-shirt.implode", MakeShirt()},
        {IDR_PS_KIND_APPAREL, "Apparel", "ps-kind-apparel.implode", MakeApparel()},
        {IDR_PS_KIND_MOUSEPAD, "Mouse pad", "ps-kind-mousepad.implode", MakeMousePad()},
        {IDR_PS_KIND_CALENDAR, "Calendar", "ps-kind-calendar.implode", MakeCalendar()},
        {IDR_PS_KIND_LABEL, "Labels", "ps-kind-labels.implode", MakeLabels()},
        {IDR_PS_KIND_GENERAL, "General project", "ps-kind-general.implode", MakeGeneral()},
        {IDR_PS_PAPER_LETTER, "Letter (8.50 x 11.00 in)", "ps-paper-letter.implode", MakePaper(850, 1100)},
        {IDR_PS_PAPER_A4, "A4 (8.27 x 11.69 in)", "ps-paper-a4.implode", MakePaper(827, 1169)},
        {IDR_PS_PORTRAIT, "Portrait", "ps-portrait.implode", MakeOrientation(false)},
        {IDR_PS_LANDSCAPE, "Landscape", "ps-landscape.implode", MakeOrientation(true)},
    };
}

} // namespace artgen
