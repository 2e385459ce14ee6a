// Picture effects: the steps of a rebuild in their order with their scaled
// values (through recording filters), effects switched off giving the base
// back, the parameters each kind keeps, rotation's corner points and bounds
// and the turned raster filling them, and designs that reopen with their
// effects, rotation and mirror.

#include "pictures/Image.h"
#include "pictures/ImageEffects.h"
#include "pictures/PictureEngine.h"

#include "model/DrawObj.h"

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "tests/pictures/ImageTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/pictures/RecordingEffectFilters.h"
#include "tools/artgen/MetafileBuilder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using image_test::HandlePixel;
using image_test::Near;
using image_test::Pixel;
using picture_files::Raster;
using namespace text_store;

constexpr COLORREF kRed = RGB(220, 30, 40);
constexpr COLORREF kBlue = RGB(20, 40, 200);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr const char* kUnimplemented = "An unimplemented image effect was requested.";

using recording_effects::g_nLibraryResult;
using recording_effects::g_steps;
using recording_effects::kRecording;
using recording_effects::Step;


class ImageEffectsTest : public image_test::ImageTest {
protected:
    void TearDown() override
    {
        SetEffectFiltersForTests(nullptr);
        image_test::ImageTest::TearDown();
    }
    // Red on the left half, blue on the right, written as a BMP.
    std::string HalvesFile(const char* name, int w = 40, int h = 20, int nBits = 8)
    {
        Raster r(w, h, kBlue);
        r.Fill(0, 0, w / 2, h, kRed);
        r.Fill(0, 0, w, 2, kWhite); // a white top band shows flips
        return WriteBytes(name, picture_files::BmpBytes(r, nBits));
    }
    void LoadHalves(CImage& image, int w = 40, int h = 20, int nBits = 8)
    {
        image.LoadFile(HalvesFile("halves.bmp", w, h, nBits).c_str(), 2);
        ASSERT_TRUE(image.IsRaster());
    }
    static void Recording()
    {
        g_steps.clear();
        g_nLibraryResult = LT_SUCCESS;
        SetEffectFiltersForTests(&kRecording);
    }
    static size_t UnimplementedBoxes()
    {
        const auto& boxes = platform::headless::MessageBoxes();
        return size_t(std::count_if(
            boxes.begin(), boxes.end(), [](const auto& box) { return box.text == kUnimplemented; }));
    }
};

// Every pixel of two rasters equal, and their sizes.
::testing::AssertionResult SamePixels(int nFirst, int nSecond)
{
    int cx1 = 0, cy1 = 0, b1 = 0, cx2 = 0, cy2 = 0, b2 = 0;
    GetPicSize(nFirst, &cx1, &cy1, &b1);
    GetPicSize(nSecond, &cx2, &cy2, &b2);
    if (cx1 != cx2 || cy1 != cy2)
        return ::testing::AssertionFailure() << cx1 << "x" << cy1 << " against " << cx2 << "x" << cy2;
    for (int y = 0; y < cy1; ++y) {
        for (int x = 0; x < cx1; ++x) {
            if (HandlePixel(nFirst, x, y) != HandlePixel(nSecond, x, y))
                return ::testing::AssertionFailure() << "differs at " << x << "," << y;
        }
    }
    return ::testing::AssertionSuccess();
}

// ---- The rebuild ------------------------------------------------------------------------------------

TEST_F(ImageEffectsTest, EveryActiveEffectRunsInItsFixedOrderWithItsScaledValues)
{
    CImage image;
    LoadHalves(image);
    Recording();
    // Set in an order of their own: the rebuild's order does not follow it.
    ASSERT_TRUE(image.SetEffect(20, 60, 0x00123456));
    ASSERT_TRUE(image.SetEffect(19, 15, 1));
    ASSERT_TRUE(image.SetEffect(13, 4, 0));
    ASSERT_TRUE(image.SetEffect(22, 1, int(kWhite)));
    ASSERT_TRUE(image.SetEffect(1, 10, 20));
    ASSERT_TRUE(image.SetEffect(10, 30, 40));
    ASSERT_TRUE(image.SetEffect(3, 1, 0));
    ASSERT_TRUE(image.SetEffect(18, 5, 0));
    ASSERT_TRUE(image.SetEffect(0, 3, 0));
    ASSERT_TRUE(image.SetEffect(4, 2, 7));
    ASSERT_TRUE(image.SetEffect(14, 6, 2));
    ASSERT_TRUE(image.SetEffect(11, 1, 0));
    ASSERT_TRUE(image.SetEffect(12, 5, 0));
    ASSERT_TRUE(image.SetEffect(15, 8, 0));
    ASSERT_TRUE(image.SetEffect(7, 1, 0));
    ASSERT_TRUE(image.SetEffect(2, 4, 0x10001));
    ASSERT_TRUE(image.SetEffect(8, 45, 0));
    ASSERT_TRUE(image.SetEffect(9, 30, 0));
    ASSERT_TRUE(image.SetEffect(6, 150, 0));
    image.m_nRotation = 30;
    ASSERT_TRUE(image.ApplyEffect(23, 0, 0));
    const std::vector<std::string> expected = {
        "gamma 150",
        "halftone 1 3000",
        "halftone 0 4500",
        "colorres 4 65537",
        "gray 8",
        "posterize 8",
        "median 5",
        "invert",
        "noise 60 2",
        "emboss 2 70",
        "blur 3",
        "sharpen 50",
        "edge",
        Step("tint", {0x00123456, 60}),
        "hue 30",
        "saturation 400",
        "brightness 100",
        "contrast 200",
        Step("transparent", {1, kWhite}),
        "mosaic 4",
        Step("shear", {1500, 1, kWhite}),
        Step("rotate", {-30, kWhite}),
    };
    EXPECT_EQ(g_steps, expected);

    // Kind 17 turns by its own angle for this rebuild only.
    g_steps.clear();
    ASSERT_TRUE(image.ApplyEffect(17, -90, 0));
    ASSERT_FALSE(g_steps.empty());
    EXPECT_EQ(g_steps.back(), Step("rotate", {-90, kWhite}));
    EXPECT_EQ(image.m_nRotation, 30);

    // Only the last library filter's result decides; the others still run.
    g_steps.clear();
    g_nLibraryResult = -7;
    EXPECT_FALSE(image.ApplyEffect(23, 0, 0));
    EXPECT_EQ(g_steps.size(), expected.size());
}

TEST_F(ImageEffectsTest, EffectsAreActiveOnlyByTheirDecidingValue)
{
    CImage image;
    LoadHalves(image);
    Recording();
    // Brightness 0 with contrast 20: the contrast call alone.
    ASSERT_TRUE(image.ApplyEffect(1, 0, 20));
    EXPECT_EQ(g_steps, std::vector<std::string>{"contrast 200"});
    int nFirst = -1;
    int nSecond = -1;
    EXPECT_TRUE(image.GetEffect(1, &nFirst, &nSecond));
    EXPECT_EQ(nFirst, 0);
    EXPECT_EQ(nSecond, 20);

    // Emboss with a direction but no depth, tint with a colour but no
    // amount, hue 0 with a saturation: only the saturation runs.
    g_steps.clear();
    ASSERT_TRUE(image.SetEffect(1, 0, 0));
    ASSERT_TRUE(image.SetEffect(4, 3, 0));
    ASSERT_TRUE(image.SetEffect(20, 0, 0x00FF0000));
    ASSERT_TRUE(image.ApplyEffect(10, 0, 25));
    EXPECT_EQ(g_steps, std::vector<std::string>{"saturation 250"});
    EXPECT_FALSE(image.GetEffect(4, &nFirst, &nSecond));
    EXPECT_EQ(nFirst, 3);
    EXPECT_FALSE(image.GetEffect(20, &nFirst, &nSecond));
    EXPECT_EQ(nSecond, 0x00FF0000);
    // After a reset the tint colour is the grey it starts with.
    CImage fresh;
    EXPECT_FALSE(fresh.GetEffect(20, &nFirst, &nSecond));
    EXPECT_EQ(nSecond, 0x00C0C0C0);
    // Colour resolution with no depth is off, whatever its flags.
    EXPECT_FALSE(image.GetEffect(2, &nFirst, &nSecond));

    // A missing out pointer answers FALSE; the on/off kinds need none.
    CImage other;
    EXPECT_FALSE(other.GetEffect(1, &nFirst, nullptr));
    EXPECT_FALSE(other.GetEffect(0, nullptr, nullptr));
    other.SetEffect(11, 1, 0);
    EXPECT_TRUE(other.GetEffect(11, nullptr, nullptr));
    other.SetEffect(16, 1, 0);
    EXPECT_TRUE(other.GetEffect(16, nullptr, nullptr));
    EXPECT_EQ(other.m_nFlipX, 1);
    EXPECT_EQ(other.m_nFlipY, 0);
}

TEST_F(ImageEffectsTest, TurningWithoutAStoredRotationDoesNotTurn)
{
    CImage image;
    LoadHalves(image);
    Recording();
    ASSERT_TRUE(image.SetEffect(11, 1, 0));
    ASSERT_TRUE(image.ApplyEffect(17, 90, 0));
    EXPECT_EQ(g_steps, std::vector<std::string>{"invert"});
    EXPECT_EQ(image.m_nRotation, 0);
    EXPECT_TRUE(CImage::IsEngineHandle(image.m_nBaseHandle));
}

TEST_F(ImageEffectsTest, UnknownKindsShowTheMessageAndChangeNothing)
{
    CImage image;
    LoadHalves(image);
    Recording();
    int n = 0;
    EXPECT_FALSE(image.GetEffect(21, &n, &n));
    EXPECT_EQ(UnimplementedBoxes(), 1u);
    EXPECT_FALSE(image.SetEffect(17, 90, 0));
    EXPECT_EQ(UnimplementedBoxes(), 2u);
    EXPECT_FALSE(image.ApplyEffect(24, 1, 1));
    EXPECT_FALSE(image.ApplyEffect(-1, 1, 1));
    EXPECT_EQ(UnimplementedBoxes(), 4u);
    EXPECT_TRUE(g_steps.empty());
    EXPECT_FALSE(CImage::IsEngineHandle(image.m_nBaseHandle));
    EXPECT_EQ(image.m_nRotation, 0);

    // Kinds 21 and 22 are flags: translucency and the transparent colour.
    EXPECT_TRUE(image.SetEffect(21, 1, 0));
    EXPECT_TRUE(image.m_wFlags & IMAGE_FLAG_TRANSLUCENT);
    EXPECT_TRUE(image.SetEffect(22, 1, int(kRed)));
    EXPECT_TRUE(image.HasTransparency());
    EXPECT_EQ(image.m_crTransparent, kRed);

    // Switched off, the transparency stays off through later rebuilds.
    ASSERT_TRUE(image.ApplyEffect(11, 1, 0));
    EXPECT_TRUE(image.HasTransparency());
    EXPECT_TRUE(image.SetEffect(22, 0, int(kRed)));
    ASSERT_TRUE(image.ApplyEffect(11, 0, 0));
    EXPECT_FALSE(image.HasTransparency());

    // An empty picture has nothing to rebuild.
    CImage empty;
    EXPECT_FALSE(empty.ApplyEffect(0, 3, 0));
    EXPECT_EQ(empty.m_effectParams[0], 0);
}

TEST_F(ImageEffectsTest, SwitchingAnEffectOffGivesTheBaseBackExactly)
{
    CImage image;
    LoadHalves(image, 40, 20, 24);
    const int nOriginal = DuplicatePic(image.m_nHandle);
    ASSERT_GE(nOriginal, 1);
    ASSERT_TRUE(image.ApplyEffect(0, 3, 0));
    // Blurred: the edge between the halves is mixed.
    EXPECT_FALSE(SamePixels(image.m_nHandle, nOriginal));
    EXPECT_TRUE(SamePixels(image.m_nBaseHandle, nOriginal));
    ASSERT_TRUE(image.ApplyEffect(0, 0, 0));
    EXPECT_TRUE(SamePixels(image.m_nHandle, nOriginal));

    // Rebuilding twice gives the same pixels (no rounding accumulates).
    ASSERT_TRUE(image.ApplyEffect(11, 1, 0));
    const int nOnce = DuplicatePic(image.m_nHandle);
    ASSERT_TRUE(image.ApplyEffect(23, 0, 0));
    EXPECT_TRUE(SamePixels(image.m_nHandle, nOnce));
    ReleasePicHandle(nOnce);
    ReleasePicHandle(nOriginal);
}

TEST_F(ImageEffectsTest, ARebuildKeepsTheMirrorsAndTheBaseStaysUnmirrored)
{
    CImage image;
    LoadHalves(image, 40, 20, 24);
    image.SetMirror(TRUE, TRUE);
    ASSERT_TRUE(Near(Pixel(image, 0, 10), kBlue));
    ASSERT_TRUE(image.ApplyEffect(11, 1, 0));
    // The negative of the mirrored picture: blue's negative at the left,
    // white's at the bottom.
    EXPECT_TRUE(Near(Pixel(image, 0, 10), RGB(235, 215, 55)));
    EXPECT_TRUE(Near(Pixel(image, 39, 10), RGB(35, 225, 215)));
    EXPECT_TRUE(Near(Pixel(image, 10, 19), RGB(0, 0, 0)));
    // The base is the picture as it came.
    EXPECT_TRUE(Near(HandlePixel(image.m_nBaseHandle, 0, 10), kRed));
    EXPECT_TRUE(Near(HandlePixel(image.m_nBaseHandle, 10, 0), kWhite));
    ASSERT_TRUE(image.ApplyEffect(11, 0, 0));
    EXPECT_TRUE(Near(Pixel(image, 0, 10), kBlue));
    EXPECT_TRUE(Near(Pixel(image, 10, 19), kWhite));
}

TEST_F(ImageEffectsTest, QuickLightenMovesOnlyATransparentColour)
{
    CImage image;
    LoadHalves(image, 40, 20, 24);
    const COLORREF crWhite = kWhite;
    image.SetTransparency(TRUE, &crWhite);
    EXPECT_TRUE(image.ApplyQuickEffect(4, CRect(0, 0, 40, 20)));
    EXPECT_EQ(image.m_crTransparent, kWhite);
    EXPECT_TRUE(Near(Pixel(image, 0, 10), kRed, 0));
    EXPECT_TRUE(image.ApplyQuickEffect(5, CRect(0, 0, 40, 20)));
    EXPECT_EQ(image.m_crTransparent, RGB(230, 230, 230));
    const COLORREF crDark = RGB(10, 200, 30);
    image.SetTransparency(TRUE, &crDark);
    image.ApplyQuickEffect(5, CRect());
    EXPECT_EQ(image.m_crTransparent, RGB(0, 175, 5));
    // Without transparency the raster itself changes, unrecorded.
    image.SetTransparency(FALSE, nullptr);
    image.ApplyQuickEffect(0, CRect());
    const COLORREF grey = Pixel(image, 0, 10);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_FALSE(CImage::IsEngineHandle(image.m_nBaseHandle));
}

// ---- Rotation ---------------------------------------------------------------------------------------

TEST_F(ImageEffectsTest, RotationSetsTheCornersByTheFlipsAndTheBoundsByTheQuarter)
{
    const CRect object(100, 50, 300, 150);
    const CPoint centre = object.CenterPoint();
    for (int nAngle : {45, 135, 200, 300}) {
        // The unflipped corners: top-left, top-right, bottom-right,
        // bottom-left, turned about the centre.
        CImage plain;
        LoadHalves(plain);
        CRect bounds(0, 0, 200, 100);
        // Callers turn by minus the angle to store.
        ASSERT_EQ(plain.Rotate(nAngle - 360, bounds, object, kWhite, TRUE), 1);
        const int nStored = nAngle;
        EXPECT_EQ(plain.m_nRotation, nStored);
        const POINT* c = plain.m_corners;
        // Opposite corners stay opposite about the centre, sides keep their
        // lengths (within rounding).
        EXPECT_NEAR(c[0].x + c[2].x, 2 * centre.x, 1) << nAngle;
        EXPECT_NEAR(c[1].y + c[3].y, 2 * centre.y, 1) << nAngle;
        auto length = [](POINT a, POINT b) { return std::hypot(double(a.x - b.x), double(a.y - b.y)); };
        EXPECT_NEAR(length(c[0], c[1]), 200.0, 1.5) << nAngle;
        EXPECT_NEAR(length(c[1], c[2]), 100.0, 1.5) << nAngle;
        // Without flips the quarter's corners give the true bounds.
        LONG minX = c[0].x, maxX = c[0].x, minY = c[0].y, maxY = c[0].y;
        for (int i = 1; i < 4; ++i) {
            minX = std::min(minX, c[i].x);
            maxX = std::max(maxX, c[i].x);
            minY = std::min(minY, c[i].y);
            maxY = std::max(maxY, c[i].y);
        }
        EXPECT_EQ(bounds, CRect(minX, minY, maxX, maxY)) << nAngle;

        // Each flip pair puts the same four points in its own order.
        const int orders[3][4] = {{1, 0, 3, 2}, {3, 2, 1, 0}, {2, 3, 0, 1}};
        const int flips[3][2] = {{1, 0}, {0, 1}, {1, 1}};
        // The corners turn counter-clockwise by the stored angle: turned by
        // less than a quarter, the first unflipped corner is the topmost of
        // this rectangle (whose top is the smaller y), the last the leftmost.
        const int k = nStored <= 90 ? 3 : nStored < 180 ? 2 : nStored <= 270 ? 1 : 0;
        for (int f = 0; f < 3; ++f) {
            CImage flipped;
            LoadHalves(flipped);
            flipped.SetFlip(flips[f][0], flips[f][1]);
            CRect rect(0, 0, 200, 100);
            ASSERT_EQ(flipped.Rotate(nAngle - 360, rect, object, kWhite, TRUE), 1);
            const POINT* d = flipped.m_corners;
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(d[i].x, c[orders[f][i]].x) << nAngle << " flip " << f << " corner " << i;
                EXPECT_EQ(d[i].y, c[orders[f][i]].y) << nAngle << " flip " << f << " corner " << i;
            }
            EXPECT_EQ(rect, CRect(d[k].x, d[(k + 1) % 4].y, d[(k + 2) % 4].x, d[(k + 3) % 4].y));
        }
    }
}

TEST_F(ImageEffectsTest, RotationRecordsOrResetsAndResizesTheBaseToTheObject)
{
    CImage image;
    LoadHalves(image);
    CRect rect(0, 0, 40, 20);
    // Only recorded, brought into 0..359.
    EXPECT_EQ(image.Rotate(-90, rect, CRect(0, 0, 40, 20), kWhite, FALSE), 1);
    EXPECT_EQ(image.m_nRotation, 270);
    EXPECT_FALSE(CImage::IsEngineHandle(image.m_nBaseHandle));
    EXPECT_EQ(image.Rotate(-1000, rect, CRect(0, 0, 40, 20), kWhite, FALSE), 1);
    EXPECT_EQ(image.m_nRotation, 80);
    // A whole turn clears the rotation and gives the object's rectangle.
    const CRect object(10, 10, 90, 50);
    EXPECT_EQ(image.Rotate(0, rect, object, kWhite, TRUE), 1);
    EXPECT_EQ(image.m_nRotation, 0);
    EXPECT_EQ(rect, object);
    // Nothing to do: no rotation and a whole turn, or no picture.
    EXPECT_EQ(image.Rotate(720, rect, object, kWhite, TRUE), 0);
    CImage empty;
    EXPECT_EQ(empty.Rotate(30, rect, object, kWhite, TRUE), 0);

    // The base takes the object's proportions: its height kept, its width
    // height x 80 / 40; the turned raster is built from it.
    CRect bounds(0, 0, 80, 40);
    ASSERT_EQ(image.Rotate(-90, bounds, object, kWhite, TRUE), 1);
    int cx = 0, cy = 0, nBits = 0;
    GetPicSize(image.m_nBaseHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 40);
    EXPECT_EQ(cy, 20);
    GetPicSize(image.m_nHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 20);
    EXPECT_EQ(cy, 40);
    const CRect wide(0, 0, 300, 100);
    ASSERT_EQ(image.Rotate(-90, bounds, wide, kWhite, TRUE), 1);
    GetPicSize(image.m_nBaseHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 60);
    EXPECT_EQ(cy, 20);
    // A zero-high rasterising rectangle only stores the angle.
    CRect flat(0, 0, 50, 0);
    ASSERT_EQ(image.Rotate(-45, flat, CRect(0, 0, 10, 10), kWhite, TRUE), 1);
    EXPECT_EQ(image.m_nRotation, 315);
    GetPicSize(image.m_nBaseHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 60);
}

TEST_F(ImageEffectsTest, TheTurnedRasterFillsItsCornerPolygon)
{
    // Designs map with y growing upwards, as here: device y = 220 - y.
    CImage image;
    image.LoadFile(WriteBytes("red.bmp", picture_files::BmpBytes(Raster(60, 30, kRed))).c_str(), 2);
    ASSERT_TRUE(image.IsRaster());
    const CRect object(60, 140, 180, 80);
    for (int nAngle : {30, 120, 250, 330}) {
        CRect bounds(0, 0, 120, 60);
        ASSERT_EQ(image.Rotate(-nAngle, bounds, object, kWhite, TRUE), 1);
        CDC screen;
        screen.Attach(::GetDC(NULL));
        CDC dc;
        dc.CreateCompatibleDC(&screen);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&screen, 240, 220);
        ::ReleaseDC(NULL, screen.Detach());
        CBitmap* pOld = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 240, 220, kBlue);
        const int nSaved = dc.SaveDC();
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1, 1);
        dc.SetViewportExt(1, -1);
        dc.SetViewportOrg(0, 220);
        // The bounds come normalised; drawn the way the design's rectangles
        // run (top above bottom).
        const CRect dest(bounds.left, bounds.bottom, bounds.right, bounds.top);
        ASSERT_TRUE(image.Draw(&dc, dest, dest, CRect()));
        dc.RestoreDC(nSaved);
        auto at = [&](int x, int y) { return dc.GetPixel(x, 220 - y) & 0xFFFFFF; };
        const POINT* c = image.m_corners;
        CRect norm = object;
        norm.NormalizeRect();
        const CPoint centre = norm.CenterPoint();
        // Inside: most of the way from the centre to each corner and to
        // the middle of each side. Outside: beyond each side's middle.
        for (int i = 0; i < 4; ++i) {
            const POINT a = c[i];
            const POINT b = c[(i + 1) % 4];
            const int mx = (a.x + b.x) / 2;
            const int my = (a.y + b.y) / 2;
            const int ix = centre.x + (a.x - centre.x) * 8 / 10;
            const int iy = centre.y + (a.y - centre.y) * 8 / 10;
            EXPECT_TRUE(Near(at(ix, iy), kRed)) << nAngle << " corner " << i;
            const int sx = centre.x + (mx - centre.x) * 8 / 10;
            const int sy = centre.y + (my - centre.y) * 8 / 10;
            EXPECT_TRUE(Near(at(sx, sy), kRed)) << nAngle << " side " << i;
            const int ox = centre.x + (mx - centre.x) * 13 / 10;
            const int oy = centre.y + (my - centre.y) * 13 / 10;
            EXPECT_FALSE(Near(at(ox, oy), kRed)) << nAngle << " outside " << i;
        }
        dc.SelectObject(pOld);
    }
}

// ---- Designs ----------------------------------------------------------------------------------------

TEST_F(ImageEffectsTest, ADesignWithEffectsARotationAndAMirrorReopensTheSame)
{
    SetVersion(29);
    for (BOOL bEmbed : {TRUE, FALSE}) {
        CImage image;
        image.LoadFile(HalvesFile(bEmbed ? "embedded.bmp" : "linked.bmp").c_str(), 2);
        ASSERT_TRUE(image.IsRaster());
        image.SetWordFlag(IMAGE_FLAG_EMBED, bEmbed);
        image.SetMirror(TRUE, FALSE);
        ASSERT_TRUE(image.ApplyEffect(0, 3, 0));
        ASSERT_TRUE(image.ApplyEffect(11, 1, 0));
        CRect bounds(0, 0, 40, 20);
        ASSERT_EQ(image.Rotate(-30, bounds, CRect(0, 0, 400, 200), kWhite, TRUE), 1);

        const std::string bytes = Store(image);
        CImage back;
        ASSERT_EQ(Load(back, bytes), -1) << bEmbed;
        ASSERT_TRUE(back.IsRaster()) << bEmbed;
        EXPECT_EQ(back.m_nRotation, 330);
        EXPECT_EQ(back.m_wFlags & IMAGE_FLAG_MIRROR_X, IMAGE_FLAG_MIRROR_X) << bEmbed;
        EXPECT_EQ(back.m_effectParams[0], 3);
        EXPECT_EQ(back.m_effectParams[13], 1);
        EXPECT_TRUE(SamePixels(back.m_nHandle, image.m_nHandle)) << bEmbed;
        EXPECT_TRUE(SamePixels(back.m_nBaseHandle, image.m_nBaseHandle)) << bEmbed;
        // A recorded angle on a mirrored picture is stored with its base
        // and turns the reopened picture once.
        if (bEmbed) {
            CImage recorded;
            recorded.LoadFile(HalvesFile("recorded.bmp").c_str(), 2);
            recorded.SetMirror(TRUE, FALSE);
            CRect rect(0, 0, 40, 20);
            recorded.Rotate(90, rect, rect, kWhite, FALSE);
            CImage turned;
            ASSERT_EQ(Load(turned, Store(recorded)), -1);
            ASSERT_TRUE(turned.IsRaster());
            int cx = 0, cy = 0, nBits = 0;
            GetPicSize(turned.m_nHandle, &cx, &cy, &nBits);
            EXPECT_EQ(cx, 20);
            // Unmirrored, the base has red on its left.
            EXPECT_TRUE(Near(HandlePixel(turned.m_nBaseHandle, 0, 10), kRed));
        }
        // Stored again, it opens the same once more (the embedded base
        // goes back as the bytes it came from).
        CImage again;
        ASSERT_EQ(Load(again, Store(back)), -1) << bEmbed;
        EXPECT_TRUE(SamePixels(again.m_nHandle, image.m_nHandle)) << bEmbed;
    }
}

TEST_F(ImageEffectsTest, WrittenOutPicturesAreUnturnedAndStayTurnedInMemory)
{
    CImage image;
    LoadHalves(image, 40, 20, 24);
    CRect bounds(0, 0, 40, 20);
    ASSERT_EQ(image.Rotate(-90, bounds, CRect(0, 0, 40, 20), kWhite, TRUE), 1);
    int cx = 0, cy = 0, nBits = 0;
    GetPicSize(image.m_nHandle, &cx, &cy, &nBits);
    ASSERT_EQ(cx, 20);
    CString strPath;
    image.SaveToTempFile(strPath, TRUE);
    CImage written;
    written.LoadFile(strPath, 2);
    EXPECT_EQ(image_test::NaturalSize(written).cx, 40);
    EXPECT_TRUE(Near(Pixel(written, 0, 10), kRed));
    GetPicSize(image.m_nHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 20);
    HGLOBAL hMemory = NULL;
    DWORD nSize = 0;
    ASSERT_TRUE(image.SaveToMemory(&hMemory, &nSize, TRUE));
    CImage fromMemory;
    const auto* pBytes = static_cast<const BYTE*>(GlobalLock(hMemory));
    ASSERT_GE(fromMemory.LoadFromMemory(pBytes, nSize, 2), 1);
    GlobalUnlock(hMemory);
    GlobalFree(hMemory);
    EXPECT_EQ(image_test::NaturalSize(fromMemory).cx, 40);
    GetPicSize(image.m_nHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 20);
}

TEST_F(ImageEffectsTest, MetafilesTravelAsTheirOwnTemporaryFiles)
{
    artgen::MetafileBuilder mf(0, 0, 100, 50, 100);
    mf.SetWindowExt(100, 50);
    mf.SelectObject(mf.CreateBrushIndirect(0, 0x0000FF00, 0));
    mf.Rectangle(0, 0, 100, 50);
    const std::vector<uint8_t> bytes = mf.Finish();
    CImage image;
    image.LoadFile(WriteBytes("green.wmf", std::string(bytes.begin(), bytes.end())).c_str(), 2);
    ASSERT_EQ(image.m_nHandle, kImageMetafile);
    CString strTemp;
    image.SaveToTempFile(strTemp, FALSE);
    const std::string host = platform::HostPathForReading(strTemp.Std());
    EXPECT_EQ(std::filesystem::path(host).filename().string().substr(0, 3), "o4m");
    CImage back;
    back.LoadFile(strTemp, 2);
    ASSERT_EQ(back.m_nHandle, kImageMetafile);
    EXPECT_EQ(back.m_metafile.m_cxFrame, image.m_metafile.m_cxFrame);
    EXPECT_EQ(back.m_metafile.m_cyFrame, image.m_metafile.m_cyFrame);

    // A damaged one raises the file exception and leaves the picture empty.
    std::filesystem::resize_file(host, 10);
    bool bRaised = false;
    try {
        back.LoadFile(strTemp, 2);
    } catch (CFileException* e) {
        bRaised = true;
        e->Delete();
    }
    EXPECT_TRUE(bRaised);
    EXPECT_EQ(back.m_nHandle, kImageNoPicture);
    std::filesystem::remove(host);
}

TEST_F(ImageEffectsTest, AnOldDesignsTurnedPictureIsTurnedIntoItsFrame)
{
    // A version-12 object record whose embedded picture carries a turn of
    // 90 degrees; the frame (its position) is unturned, 200 x 100.
    CImage source;
    LoadHalves(source, 40, 20, 24);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        source.WriteRasterData(ar, TRUE, TRUE);
        ar.Close();
    }
    std::string data(size_t(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(data.data(), UINT(data.size()));
    std::string record = U32(0) + U32(100) + U32(200) + U32(0); // position, y up
    record += U32(0) + U32(100) + U32(200) + U32(0);             // uncropped
    record += U16(0) + U16(0x0100) + U16(3);
    record += U32(1) + U32(PS_SOLID) + U32(1) + U32(0) + U32(0);  // pen
    record += U32(1) + U32(BS_SOLID) + U32(0) + U32(0);           // brush
    record += U32(0xFFFFFFFF) + U16(1);
    record += U32(7) + Str("C:\\Pictures\\halves.png") + U16(IMAGE_FLAG_EMBED) + U32(0) + U32(90) + data;
    record += U16(0);
    SetVersion(12);
    CDrawObj obj(CRect(0, 100, 100, 0));
    ASSERT_EQ(Load(obj, record), -1);
    ASSERT_NE(obj.m_pPicture, nullptr);
    CImage& picture = *obj.m_pPicture;
    ASSERT_TRUE(picture.IsRaster());
    // The picture keeps its angle; the raster is turned a quarter, and the
    // position is the turned bounds about the same centre, running upwards
    // as designs do.
    EXPECT_EQ(picture.m_nRotation, 90);
    int cx = 0, cy = 0, nBits = 0;
    GetPicSize(picture.m_nHandle, &cx, &cy, &nBits);
    EXPECT_EQ(cx, 20);
    EXPECT_EQ(cy, 40);
    EXPECT_EQ(obj.m_position, CRect(50, 150, 150, -50));
    EXPECT_EQ(obj.m_rectUnrotated, obj.m_position);

    // Saved as a current design and opened again, the picture is turned
    // the same way: the converted angle means what every later design's
    // angle means.
    SetVersion(29);
    CImage reopened;
    ASSERT_EQ(Load(reopened, Store(picture)), -1);
    EXPECT_EQ(reopened.m_nRotation, 90);
    EXPECT_TRUE(SamePixels(reopened.m_nHandle, picture.m_nHandle));
}

} // namespace
