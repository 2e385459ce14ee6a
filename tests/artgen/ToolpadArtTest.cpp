// The tool pad's art as the program meets it: the committed files are what
// the generator makes, every picture id the panels and dialogs name has a
// resource of the size they lay out for, the key colour survives into the
// resources where the tool-pad picture must show through, the picker cells
// are the black-on-white masks the picker paints, the warp-shape cells
// follow the shapes the text is drawn into, and the tool-pad picture
// decodes at the size the palette is laid out for.

#include "tools/artgen/ToolpadArt.h"

#include "app/ResourceBitmaps.h"
#include "model/WarpShape.h"
#include "platform/base/Resources.h"
#include "platform/gdi/GdiObject.h"
#include "resources/Resources.h"
#include "resources/resource.h"

#include "tests/artgen/DecodedPicture.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

using artgen::ToolpadArtPicture;

int32_t I32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

const uint8_t* ResourceData(int id, LPCSTR type)
{
    HINSTANCE module = AfxGetInstanceHandle();
    HRSRC info = FindResource(module, MAKEINTRESOURCE(id), type);
    if (!info)
        return nullptr;
    return static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
}

// A bitmap resource's pixels as the resource compiler stored them.
struct Dib {
    int width = 0;
    int height = 0;
    const uint8_t* dib = nullptr;

    bool Load(int id)
    {
        dib = ResourceData(id, RT_BITMAP);
        if (!dib)
            return false;
        width = I32(dib + 4);
        height = I32(dib + 8);
        return true;
    }
    // Red, green, blue of pixel (x, y), y from the top.
    std::array<int, 3> At(int x, int y) const
    {
        const int bits = dib[14] | dib[15] << 8;
        const int bytes = bits / 8;
        const size_t stride = (size_t(width) * size_t(bytes) + 3) & ~size_t(3);
        const int row = height > 0 ? height - 1 - y : y;
        const uint8_t* p = dib + I32(dib) + size_t(row) * stride + size_t(x) * size_t(bytes);
        return {p[2], p[1], p[0]};
    }
};

const ToolpadArtPicture* Find(const std::vector<ToolpadArtPicture>& pictures, int id)
{
    for (const ToolpadArtPicture& p : pictures) {
        if (p.id == id)
            return &p;
    }
    return nullptr;
}

std::string ReadSource(const std::string& relative)
{
    return testing_support::ReadFileBytes(std::string(THREADWICK_SOURCE_DIR) + "/" + relative);
}

class ToolpadArtTest : public testing::Test {
protected:
    void SetUp() override { threadwick::RegisterResources(); }
};

TEST_F(ToolpadArtTest, CommittedPicturesAreWhatTheGeneratorMakes)
{
    for (const artgen::ArtFile& file : artgen::MakeToolpadArtFiles()) {
        SCOPED_TRACE(file.name);
        EXPECT_EQ(ReadSource("resources/art/" + file.name), std::string(file.bytes.begin(), file.bytes.end()))
            << "resources/art is stale: build the threadwick_art target";
    }
    const artgen::ArtFile picture = artgen::MakeToolpadPicture();
    EXPECT_EQ(ReadSource("resources/support/" + picture.name), std::string(picture.bytes.begin(), picture.bytes.end()))
        << "build the threadwick_toolpad_picture target";
}

TEST_F(ToolpadArtTest, EveryIdOfTheHeaderHasAResourceOfItsPicturesSize)
{
    const std::vector<ToolpadArtPicture> pictures = artgen::ToolpadArtPictures();
    // The header's ids; a picker's first id stands for all its cells.
    const std::map<std::string, int> cells{
        {"IDB_TE_SHAPE_FIRST", 16}, {"IDB_TE_ALIGN_FIRST", 4}, {"IDB_CF_DIRECTION_FIRST", 2}};
    const std::string header = ReadSource("resources/toolpadart.h");
    std::set<int> named;
    const std::regex define(R"(#define\s+(\w+)\s+(\d+))");
    for (auto it = std::sregex_iterator(header.begin(), header.end(), define); it != std::sregex_iterator(); ++it) {
        const int id = std::stoi((*it)[2]);
        const auto count = cells.find((*it)[1]);
        for (int k = 0; k < (count == cells.end() ? 1 : count->second); ++k)
            named.insert(id + k);
    }
    ASSERT_GE(named.size(), 100u);
    std::set<int> drawn;
    for (const ToolpadArtPicture& p : pictures)
        EXPECT_TRUE(drawn.insert(p.id).second) << p.id << " is drawn twice";
    EXPECT_EQ(named, drawn);

    for (const ToolpadArtPicture& p : pictures) {
        SCOPED_TRACE(p.file);
        if (p.icon) {
            const uint8_t* icon = ResourceData(p.id, RT_ICON);
            ASSERT_NE(icon, nullptr);
            EXPECT_EQ(I32(icon + 4), p.width);
            EXPECT_EQ(I32(icon + 8), 2 * p.height);
            continue;
        }
        // Loaded the way the panels and pickers load them.
        CBitmap bitmap;
        ASSERT_TRUE(LoadBitmapObject(AfxGetResourceHandle(), UINT(p.id), &bitmap, nullptr));
        BITMAP bm{};
        ASSERT_NE(bitmap.GetBitmap(&bm), 0);
        EXPECT_EQ(bm.bmWidth, p.width);
        EXPECT_EQ(bm.bmHeight, p.height);
    }
}

TEST_F(ToolpadArtTest, ButtonsFitThePlacesThePanelsGiveThem)
{
    const std::vector<ToolpadArtPicture> pictures = artgen::ToolpadArtPictures();
    auto expect = [&](std::initializer_list<int> ids, int width, int height) {
        for (int id : ids) {
            SCOPED_TRACE(id);
            const ToolpadArtPicture* p = Find(pictures, id);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->width, width);
            EXPECT_EQ(p->height, height);
        }
    };
    // Workspace: 13,24,40,50 and its row mates; the text buttons 70..124.
    expect({1110, 1109, 416, 417, 1150, 1149, 1152, 1151, 1156, 1155, 1184, 1185}, 27, 26);
    expect({572, 571, 574, 575, 418, 419, 1101, 1114}, 54, 20);
    // "How Do I?" 9,8,30,35; titles 3,26,126,44; context buttons 9,48,52,78.
    expect({1106, 1145}, 21, 27);
    expect({1107, 1108, 1111, 1142, 1143, 1144, 473}, 123, 18);
    expect({413, 414, 514, 515, 401, 402, 385, 391, 409, 410, 394, 400, 407, 408, 581, 580, 578, 579}, 43, 30);
    // The arrange buttons stand 22 apart: no taller, or they would overlap.
    expect({392, 393, 384, 390, 405, 406, 584, 583}, 43, 22);
    // Navigation 3,14,28,51 and 94,14,120,51.
    expect({1115, 1133}, 25, 37);
    expect({1117, 1116}, 26, 37);
    // Text panel: styles 24 x 15, alignments 24 x 25.
    expect({1140, 1139, 1221, 1138, 1137, 1214, 1136, 1134, 1219, 1135, 1141, 1220}, 24, 15);
    expect({1132, 1131, 1216, 1128, 1127, 1217, 1130, 1129, 1215, 1125, 1126, 1218}, 24, 25);
}

TEST_F(ToolpadArtTest, PicturesOverTheToolPadKeepTheKeyOutsideAndNeverDrawIt)
{
    const std::array<int, 3> key{0, 128, 128};
    const std::array<int, 3> face{192, 192, 192};
    // Pictures keyed on the key colour (the workspace and navigation
    // panels') and on the face colour (titles): the corners show through,
    // the middle does not.
    struct Keyed {
        std::initializer_list<int> ids;
        std::array<int, 3> colour;
    };
    for (const Keyed& keyed : {Keyed{{1110, 1109, 572, 571, 418, 1114, 1150, 1184, 1115, 1133, 1117, 1116}, key},
             Keyed{{1107, 1108, 1143, 473}, face}}) {
        for (int id : keyed.ids) {
            SCOPED_TRACE(id);
            Dib dib;
            ASSERT_TRUE(dib.Load(id));
            EXPECT_EQ(dib.At(0, 0), keyed.colour);
            EXPECT_EQ(dib.At(dib.width - 1, dib.height - 1), keyed.colour);
            int keyedPixels = 0;
            int drawn = 0;
            for (int y = 0; y < dib.height; ++y) {
                for (int x = 0; x < dib.width; ++x) {
                    if (dib.At(x, y) == keyed.colour)
                        ++keyedPixels;
                    else
                        ++drawn;
                }
            }
            EXPECT_GT(drawn, 40);
            EXPECT_GT(keyedPixels, 4);
        }
    }
    // Face buttons are opaque: nothing of them may vanish as the key.
    for (int id : {1106, 413, 392, 1140, 1221, 1125}) {
        SCOPED_TRACE(id);
        Dib dib;
        ASSERT_TRUE(dib.Load(id));
        for (int y = 0; y < dib.height; ++y) {
            for (int x = 0; x < dib.width; ++x)
                ASSERT_NE(dib.At(x, y), key) << x << ", " << y;
        }
    }
}

// Ink counts of a picker cell; fails unless every pixel is black or white.
int CountInk(const Dib& dib, int x0, int y0, int x1, int y1)
{
    int ink = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const std::array<int, 3> c = dib.At(x, y);
            const bool black = c == std::array<int, 3>{0, 0, 0};
            EXPECT_TRUE(black || c == (std::array<int, 3>{255, 255, 255})) << x << ", " << y;
            ink += black ? 1 : 0;
        }
    }
    return ink;
}

TEST_F(ToolpadArtTest, PickerCellsAreBlackOnWhiteMasksThatShowTheirChoice)
{
    for (int id = 344; id <= 366; ++id) {
        if (id == 364)
            continue;
        SCOPED_TRACE(id);
        Dib dib;
        ASSERT_TRUE(dib.Load(id));
        EXPECT_GT(CountInk(dib, 0, 0, dib.width, dib.height), 20);
    }
    for (int id : {386, 387, 388, 389}) {
        Dib dib;
        ASSERT_TRUE(dib.Load(id));
        EXPECT_GT(CountInk(dib, 0, 0, dib.width, dib.height), 10) << id;
    }
    // Gradient directions: cell 0 (kind 2) runs across, from dark on the
    // left; cell 1 (kind 1) runs downwards, from dark at the top.
    Dib across;
    Dib down;
    ASSERT_TRUE(across.Load(365));
    ASSERT_TRUE(down.Load(366));
    const int w = across.width;
    const int h = across.height;
    EXPECT_GT(CountInk(across, 1, 1, w / 3, h - 1), 2 * CountInk(across, 2 * w / 3, 1, w - 1, h - 1));
    EXPECT_NEAR(CountInk(across, 1, 1, w - 1, h / 2), CountInk(across, 1, h / 2, w - 1, h - 1), w / 2);
    EXPECT_GT(CountInk(down, 1, 1, w - 1, h / 3), 2 * CountInk(down, 1, 2 * h / 3, w - 1, h - 1));
    // Alignment cells 360..363: left, right, centre, justify. The first
    // line is full in all; the second starts at the left only for left and
    // justify, ends at the right only for right and justify.
    for (int cell = 0; cell < 4; ++cell) {
        SCOPED_TRACE(cell);
        Dib dib;
        ASSERT_TRUE(dib.Load(360 + cell));
        int first = -1;
        int last = -1;
        int row = -1;
        // The second line: the second run of inked rows from the top.
        int runs = 0;
        bool inRun = false;
        for (int y = 0; y < dib.height && row < 0; ++y) {
            const bool ink = CountInk(dib, 0, y, dib.width, y + 1) > 0;
            if (ink && !inRun && ++runs == 2)
                row = y;
            inRun = ink;
        }
        ASSERT_GE(row, 0);
        for (int x = 0; x < dib.width; ++x) {
            if (dib.At(x, row)[0] == 0) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        const bool fromLeft = cell == 0 || cell == 3;
        const bool toRight = cell == 1 || cell == 3;
        EXPECT_EQ(first == 2, fromLeft) << first;
        EXPECT_EQ(last == 17, toRight) << last;
    }
}

TEST_F(ToolpadArtTest, WarpShapeCellsFollowTheShapesTextIsDrawnInto)
{
    // The model's columns for a large rectangle, brought into the cell the
    // way the cell fits its shape: from the lowest top to the highest
    // bottom, between x 2 and width - 2.
    constexpr int kBig = 1200;
    for (int cell = 0; cell < 16; ++cell) {
        const int kind = artgen::kWarpShapeOfCell[cell] + 1;
        SCOPED_TRACE("cell " + std::to_string(cell) + ", kind " + std::to_string(kind));
        std::unique_ptr<CWarpShape> shape(CreateWarpShape(kind, CRect(0, 0, kBig, kBig), nullptr, TRUE));
        ASSERT_NE(shape, nullptr);
        Dib dib;
        ASSERT_TRUE(dib.Load(344 + cell));
        const double x0 = 2;
        const double x1 = dib.width - 2;
        double low = 1e9;
        double high = -1e9;
        for (int x = 0; x <= kBig; x += 4) {
            int top = 0;
            int bottom = 0;
            shape->GetColumn(x, top, bottom);
            low = std::min(low, double(top));
            high = std::max(high, double(bottom));
        }
        ASSERT_GT(high, low);
        int checked = 0;
        for (int x = int(x0) + 1; x < int(x1) - 1; ++x) {
            int top = 0;
            int bottom = 0;
            shape->GetColumn(int(std::lround((x + 0.5 - x0) / (x1 - x0) * kBig)), top, bottom);
            const double t = 2 + (top - low) / (high - low) * (dib.height - 4);
            const double b = 2 + (bottom - low) / (high - low) * (dib.height - 4);
            int first = -1;
            int last = -1;
            for (int y = 0; y < dib.height; ++y) {
                if (dib.At(x, y)[0] == 0) {
                    first = first < 0 ? y : first;
                    last = y;
                }
            }
            if (b - t < 1.5)
                continue; // a column that comes to a point
            ASSERT_GE(first, 0) << "column " << x;
            EXPECT_NEAR(first, t, 1.5) << "column " << x;
            EXPECT_NEAR(last + 1, b, 1.5) << "column " << x;
            ++checked;
        }
        EXPECT_GT(checked, 12);
    }
}

TEST_F(ToolpadArtTest, TextPanelButtonsShowPressedAndDisabledLooks)
{
    // normal, pressed, disabled of Bold and of Justify.
    for (const std::array<int, 3>& ids : {std::array<int, 3>{1140, 1139, 1221}, std::array<int, 3>{1125, 1126, 1218}}) {
        SCOPED_TRACE(ids[0]);
        Dib normal;
        Dib pressed;
        Dib disabled;
        ASSERT_TRUE(normal.Load(ids[0]));
        ASSERT_TRUE(pressed.Load(ids[1]));
        ASSERT_TRUE(disabled.Load(ids[2]));
        // Raised: lit top-left; pushed in: dark top-left, lit bottom-right.
        EXPECT_EQ(normal.At(0, 0), (std::array<int, 3>{255, 255, 255}));
        EXPECT_LT(pressed.At(0, 0)[0], 128);
        EXPECT_EQ(pressed.At(normal.width - 1, normal.height - 1), (std::array<int, 3>{255, 255, 255}));
        // Greyed: no dark ink left inside the bevel.
        int darkNormal = 0;
        int darkDisabled = 0;
        for (int y = 2; y < normal.height - 2; ++y) {
            for (int x = 2; x < normal.width - 2; ++x) {
                darkNormal += normal.At(x, y)[0] < 90 ? 1 : 0;
                darkDisabled += disabled.At(x, y)[0] < 90 ? 1 : 0;
            }
        }
        EXPECT_GT(darkNormal, 10);
        EXPECT_EQ(darkDisabled, 0);
    }
}

TEST_F(ToolpadArtTest, TheToolPadPictureDecodesAtThePalettesSizeWithCalmPanels)
{
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> decoded = artgentest::Decode(artgen::MakeToolpadPicture().bytes, width, height);
    ASSERT_EQ(width, artgen::kToolpadWidth);
    ASSERT_EQ(height, artgen::kToolpadHeight);
    ASSERT_EQ(width, 130);
    ASSERT_EQ(height, 370);
    const std::vector<uint8_t> meant = artgen::ToolpadPixels();
    ASSERT_EQ(decoded.size(), meant.size());
    double error = 0;
    for (size_t i = 0; i < meant.size(); ++i)
        error += std::abs(int(decoded[i]) - int(meant[i]));
    EXPECT_LT(error / double(meant.size()), 4.0) << "the encoder lost the picture";
    // Between the lettering and frames the face is light and even: the
    // empty right half of the context panel.
    auto at = [&](int x, int y, int c) { return int(decoded[(size_t(y) * size_t(width) + size_t(x)) * 3 + size_t(c)]); };
    for (int y = artgen::kToolpadContextTop + 60; y < artgen::kToolpadContextTop + 140; y += 7) {
        for (int x = 60; x < 120; x += 7) {
            EXPECT_NEAR(at(x, y, 0), 200, 14) << x << ", " << y;
            EXPECT_NEAR(at(x, y, 2), 212, 14) << x << ", " << y;
        }
    }
}

} // namespace
