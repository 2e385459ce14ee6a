// Effect values and rotations as a design keeps them are bounded before
// they are applied: a damaged or foreign design may hold any number in
// them, and the filters scale some by 10 or 100 and spend time by others.
// Each value at, just beyond and far beyond its bounds is applied as the
// nearest value in range (seen through recording filters), and whole
// designs holding every effect at its bounds open with the real filters.
//
// With THREADWICK_DESIGN_SEEDS_DIR set, the designs stay in that folder:
// they are the design-file fuzz target's seeds of effects at their bounds.

#include "pictures/Image.h"
#include "pictures/ImageEffects.h"
#include "pictures/PictureEngine.h"
#include "tests/pictures/ImageTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/pictures/RecordingEffectFilters.h"
#include "tests/pictures/RoadDesignSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

using picture_files::Raster;
using namespace text_store;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Indexes of the stored parameter list, in its stored order.
enum : int {
    kBlur,
    kBrightness,
    kColorBits,
    kColorFlags,
    kContrast,
    kEdge,
    kEmbossDepth,
    kEmbossDirection,
    kGamma,
    kGrey,
    kHalftoneView,
    kHalftonePrint,
    kHue,
    kNegative,
    kMedian,
    kMosaic,
    kNoiseAmount,
    kNoiseChannel,
    kPosterize,
    kSaturation,
    kSharpen,
    kShearAngle,
    kShearDirection,
    kTintAmount,
    kTintColor,
};

using recording_effects::g_steps;
using recording_effects::kRecording;

using Stored = std::vector<std::pair<int, int>>;

// A picture that has a base (so that its effects are stored with it),
// holding exactly the given stored values and rotation.
void MakeStoredPicture(CImage& image, const std::string& path, const Stored& values, int nRotation)
{
    image.LoadFile(path.c_str(), 2);
    ASSERT_TRUE(image.IsRaster());
    ASSERT_TRUE(image.ApplyEffect(11, 1, 0));
    std::fill(std::begin(image.m_effectParams), std::end(image.m_effectParams), 0);
    image.m_effectParams[kTintColor] = 0xC0C0C0;
    for (const auto& [nField, nValue] : values)
        image.m_effectParams[nField] = nValue;
    image.m_nRotation = nRotation;
}

class StoredEffectBoundsTest : public image_test::ImageTest {
protected:
    void TearDown() override
    {
        SetEffectFiltersForTests(nullptr);
        image_test::ImageTest::TearDown();
    }

    // The steps the stored values make when the picture is read back.
    std::vector<std::string> AppliedOnLoad(const Stored& values, int nRotation, CImage& back)
    {
        SetEffectFiltersForTests(nullptr);
        CImage image;
        MakeStoredPicture(image, m_strPicture, values, nRotation);
        const std::string bytes = Store(image);
        g_steps.clear();
        SetEffectFiltersForTests(&kRecording);
        EXPECT_EQ(Load(back, bytes), -1);
        EXPECT_TRUE(back.IsRaster());
        return g_steps;
    }

    void SetUp() override
    {
        image_test::ImageTest::SetUp();
        SetVersion(29);
        Raster r(40, 20, RGB(20, 40, 200));
        r.Fill(0, 0, 20, 20, RGB(220, 30, 40));
        m_strPicture = WriteBytes("halves.bmp", picture_files::BmpBytes(r, 24));
    }

    std::string m_strPicture;
};

TEST_F(StoredEffectBoundsTest, EachStoredValueIsAppliedAsTheNearestValueInItsRange)
{
    const std::string white = std::to_string(kWhite);
    struct Case {
        Stored values;
        std::vector<std::string> steps;
    };
    const std::vector<Case> cases = {
        // Gamma 1..501 (tenths).
        {{{kGamma, 1}}, {"gamma 1"}},
        {{{kGamma, 501}}, {"gamma 501"}},
        {{{kGamma, 502}}, {"gamma 501"}},
        {{{kGamma, -1}}, {"gamma 1"}},
        {{{kGamma, INT_MIN}}, {"gamma 1"}},
        // Halftone angles -400..400 degrees, passed in hundredths.
        {{{kHalftoneView, 400}}, {"halftone 1 40000"}},
        {{{kHalftoneView, 401}}, {"halftone 1 40000"}},
        {{{kHalftoneView, INT_MAX}}, {"halftone 1 40000"}},
        {{{kHalftonePrint, -401}}, {"halftone 0 -40000"}},
        {{{kHalftonePrint, INT_MIN}}, {"halftone 0 -40000"}},
        // Colour resolution: a depth the engine offers, and only the
        // palette and dither choices among the flags.
        {{{kColorBits, 2}, {kColorFlags, 0x10001}}, {"colorres 4 65537"}},
        {{{kColorBits, 16}, {kColorFlags, 4}}, {"colorres 16 4"}},
        {{{kColorBits, 25}, {kColorFlags, -1}}, {"colorres 24 983047"}},
        {{{kColorBits, INT_MIN}, {kColorFlags, 0x10}}, {"colorres 1 0"}},
        {{{kColorBits, 0}, {kColorFlags, -1}}, {}},
        // The on/off effects: any stored value switches them on.
        {{{kGrey, INT_MIN}, {kNegative, INT_MAX}, {kEdge, -1}}, {"gray 8", "invert", "edge"}},
        // Posterize and mosaic 2..64, median and blur 3..13.
        {{{kPosterize, 1}}, {"posterize 2"}},
        {{{kPosterize, 65}}, {"posterize 64"}},
        {{{kMosaic, 64}}, {"mosaic 64"}},
        {{{kMosaic, INT_MAX}}, {"mosaic 64"}},
        {{{kMosaic, -3}}, {"mosaic 2"}},
        {{{kMedian, 2}}, {"median 3"}},
        {{{kMedian, INT_MAX}}, {"median 13"}},
        {{{kBlur, 14}}, {"blur 13"}},
        {{{kBlur, INT_MIN}}, {"blur 3"}},
        // Noise 0..100 (a negative amount is none) on channels 0..3.
        {{{kNoiseAmount, 101}, {kNoiseChannel, 4}}, {"noise 1000 3"}},
        {{{kNoiseAmount, INT_MAX}, {kNoiseChannel, INT_MIN}}, {"noise 1000 0"}},
        {{{kNoiseAmount, -1}, {kNoiseChannel, 2}}, {}},
        // Emboss depth 0..100 from directions 0..7.
        {{{kEmbossDepth, 100}, {kEmbossDirection, 7}}, {"emboss 7 1000"}},
        {{{kEmbossDepth, INT_MAX}, {kEmbossDirection, -1}}, {"emboss 0 1000"}},
        {{{kEmbossDepth, INT_MIN}, {kEmbossDirection, 3}}, {}},
        // Percentages -100..100, passed in tenths.
        {{{kSharpen, 101}}, {"sharpen 1000"}},
        {{{kSharpen, INT_MIN}}, {"sharpen -1000"}},
        {{{kSaturation, INT_MAX}}, {"saturation 1000"}},
        {{{kBrightness, -101}}, {"brightness -1000"}},
        {{{kContrast, INT_MIN}}, {"contrast -1000"}},
        {{{kBrightness, INT_MAX}, {kContrast, 100}}, {"brightness 1000", "contrast 1000"}},
        // Hue -400..400 degrees.
        {{{kHue, 401}}, {"hue 400"}},
        {{{kHue, INT_MIN}}, {"hue -400"}},
        // Tint 0..100 percent of a colour.
        {{{kTintAmount, 101}, {kTintColor, -1}}, {"tint 16777215 100"}},
        {{{kTintAmount, INT_MAX}, {kTintColor, 0x12345678}}, {"tint 3430008 100"}},
        {{{kTintAmount, INT_MIN}, {kTintColor, 0xFF}}, {}},
        // Shear -45..45 degrees in hundredths, horizontally or not.
        {{{kShearAngle, 45}, {kShearDirection, 1}}, {"shear 4500 1 " + white}},
        {{{kShearAngle, 46}, {kShearDirection, 2}}, {"shear 4500 1 " + white}},
        {{{kShearAngle, INT_MIN}, {kShearDirection, INT_MIN}}, {"shear -4500 0 " + white}},
    };
    for (const Case& c : cases) {
        std::string name;
        for (const auto& [nField, nValue] : c.values)
            name += std::to_string(nField) + "=" + std::to_string(nValue) + " ";
        SCOPED_TRACE(name);
        CImage back;
        EXPECT_EQ(AppliedOnLoad(c.values, 0, back), c.steps);
        // The picture keeps the values it applied: a design saved again
        // holds them, and reading that applies the same.
        g_steps.clear();
        CImage again;
        EXPECT_EQ(Load(again, Store(back)), -1);
        EXPECT_EQ(g_steps, c.steps);
    }
}

TEST_F(StoredEffectBoundsTest, AStoredRotationIsBroughtIntoOneTurn)
{
    struct Case {
        int nStored;
        int nKept;
    };
    // 0 is none, a whole number of turns is kept as 360 and turns nothing.
    const Case cases[] = {
        {0, 0}, {360, 360}, {720, 360}, {361, 1}, {-1, 359}, {INT_MAX, 127}, {INT_MIN, 232}, {INT_MIN + 8, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nStored);
        CImage back;
        const std::vector<std::string> steps = AppliedOnLoad({}, c.nStored, back);
        EXPECT_EQ(back.m_nRotation, c.nKept);
        std::vector<std::string> expected;
        if (c.nKept % 360 != 0)
            expected.push_back("rotate " + std::to_string(-c.nKept) + " " + std::to_string(kWhite));
        EXPECT_EQ(steps, expected);
    }
    // A design without a stored base (older, or effects never used) turns
    // its raster by the bounded angle as well.
    SetEffectFiltersForTests(nullptr);
    CImage plain;
    plain.LoadFile(m_strPicture.c_str(), 2);
    ASSERT_TRUE(plain.IsRaster());
    plain.m_nRotation = INT_MIN;
    const std::string bytes = Store(plain);
    g_steps.clear();
    SetEffectFiltersForTests(&kRecording);
    CImage back;
    ASSERT_EQ(Load(back, bytes), -1);
    EXPECT_EQ(back.m_nRotation, 232);
    EXPECT_EQ(g_steps, std::vector<std::string>{"rotate -232 " + std::to_string(kWhite)});
}

// ---- Whole designs with the real filters ------------------------------------------------------------

// Every effect on, all at one extreme: the ranges' own ends, or values far
// beyond them.
struct BoundDesign {
    const char* name;
    int nRotation;
    Stored values;
};

std::vector<BoundDesign> BoundDesigns()
{
    auto all = [](int nValue, int nFlags, int nColor) {
        Stored values;
        for (int i = 0; i < CImage::kEffectParamCount; ++i)
            values.emplace_back(i, nValue);
        values[kColorFlags].second = nFlags;
        values[kTintColor].second = nColor;
        return values;
    };
    Stored low = {{kBlur, 3}, {kBrightness, -100}, {kColorBits, 1}, {kColorFlags, 0x70001}, {kContrast, -100},
        {kEdge, 1}, {kEmbossDepth, 1}, {kEmbossDirection, 0}, {kGamma, 1}, {kGrey, 1}, {kHalftoneView, -400},
        {kHalftonePrint, -400}, {kHue, -400}, {kNegative, 1}, {kMedian, 3}, {kMosaic, 2}, {kNoiseAmount, 1},
        {kNoiseChannel, 0}, {kPosterize, 2}, {kSaturation, -100}, {kSharpen, -100}, {kShearAngle, -45},
        {kShearDirection, 0}, {kTintAmount, 1}, {kTintColor, 0}};
    Stored high = {{kBlur, 13}, {kBrightness, 100}, {kColorBits, 24}, {kColorFlags, 4}, {kContrast, 100},
        {kEdge, 1}, {kEmbossDepth, 100}, {kEmbossDirection, 7}, {kGamma, 501}, {kGrey, 1}, {kHalftoneView, 400},
        {kHalftonePrint, 400}, {kHue, 400}, {kNegative, 1}, {kMedian, 13}, {kMosaic, 64}, {kNoiseAmount, 100},
        {kNoiseChannel, 3}, {kPosterize, 64}, {kSaturation, 100}, {kSharpen, 100}, {kShearAngle, 45},
        {kShearDirection, 1}, {kTintAmount, 100}, {kTintColor, 0xFFFFFF}};
    return {
        {"effects-low", 1, low},
        {"effects-high", 360, high},
        {"effects-max", INT_MAX, all(INT_MAX, INT_MAX, -1)},
        {"effects-min", INT_MIN, all(INT_MIN, INT_MIN, INT_MIN)},
        {"effects-minus-one", -1, all(-1, -1, -1)},
    };
}

class StoredEffectBoundsDesignTest : public road_design::RoadDesignTest {
protected:
    StoredEffectBoundsDesignTest()
        : RoadDesignTest("THREADWICK_DESIGN_SEEDS_DIR", "effectbounds")
    {
    }
};

TEST_F(StoredEffectBoundsDesignTest, DesignsWithEveryEffectAtItsBoundsOpenWithTheEffectsInRange)
{
    // A small picture with a transparent colour, so that every step of the
    // rebuild has something to do.
    Raster r(24, 16, RGB(20, 40, 200));
    r.Fill(0, 0, 12, 16, RGB(220, 30, 40));
    const std::string picture = picture_files::WriteBmp(r, testing_support::MakeTempDir("bounds") + "/bounds.bmp");
    for (const BoundDesign& design : BoundDesigns()) {
        SCOPED_TRACE(design.name);
        CSurface* pView = nullptr;
        CDrawDoc* pDoc = NewFramedDesign(CRect(-300, 300, 300, -300), &pView);
        ASSERT_NE(pDoc, nullptr);
        auto* pObj = new CDrawRect(CRect(-200, 200, 200, -100));
        pObj->SetPictureFile(picture.c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        ASSERT_TRUE(pObj->HasPicture());
        const COLORREF crTransparent = RGB(220, 30, 40);
        MakeStoredPicture(*pObj->m_pPicture, picture, design.values, design.nRotation);
        pObj->m_pPicture->SetTransparency(TRUE, &crTransparent);
        pDoc->AddObject(pObj, pView);
        const std::string path = m_dir + "/" + design.name + ".gen";
        ASSERT_TRUE(pDoc->OnSaveDocument(platform::WindowsPathFor(path).c_str()));
        pDoc->OnCloseDocument();
        Pump();

        CDrawDoc* pCopy = Reopen(path);
        ASSERT_NE(pCopy, nullptr);
        CSurface* pCopyView = ViewOf(pCopy, 0);
        ASSERT_EQ(pCopyView->GetObjects().GetCount(), 2);
        auto* pKept = static_cast<CDrawRect*>(pCopyView->GetObjects().GetTail());
        ASSERT_TRUE(pKept->HasPicture());
        const CImage& kept = *pKept->m_pPicture;
        ASSERT_TRUE(kept.IsRaster());
        EXPECT_GE(kept.m_nRotation, 0);
        EXPECT_LE(kept.m_nRotation, 360);
        int nFirst = 0;
        int nSecond = 0;
        struct Range {
            int nKind;
            int nFirstMin, nFirstMax, nSecondMin, nSecondMax;
        };
        const Range ranges[] = {
            {0, 0, 13, 0, 0}, {1, -100, 100, -100, 100}, {4, 0, 7, 0, 100}, {6, 0, 501, 0, 0},
            {8, -400, 400, 0, 0}, {9, -400, 400, 0, 0}, {10, -400, 400, -100, 100}, {12, 0, 13, 0, 0},
            {13, 0, 64, 0, 0}, {14, 0, 100, 0, 3}, {15, 0, 64, 0, 0}, {18, -100, 100, 0, 0},
            {19, -45, 45, 0, 1}, {20, 0, 100, 0, 0xFFFFFF},
        };
        for (const Range& range : ranges) {
            nFirst = nSecond = 0;
            kept.GetEffect(range.nKind, &nFirst, &nSecond);
            EXPECT_GE(nFirst, range.nFirstMin) << range.nKind;
            EXPECT_LE(nFirst, range.nFirstMax) << range.nKind;
            EXPECT_GE(nSecond, range.nSecondMin) << range.nKind;
            EXPECT_LE(nSecond, range.nSecondMax) << range.nKind;
        }
        // Sheared by at most 45 degrees and turned, the raster stays within
        // a few times the picture's own size.
        int cx = 0, cy = 0, nBits = 0;
        GetPicSize(kept.m_nHandle, &cx, &cy, &nBits);
        EXPECT_GT(cx, 0);
        EXPECT_GT(cy, 0);
        EXPECT_LE(cx, 4 * (24 + 16));
        EXPECT_LE(cy, 4 * (24 + 16));
        pCopy->OnCloseDocument();
        Pump();
    }
}

} // namespace
