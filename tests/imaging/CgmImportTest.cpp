// The CGM import filter: pictures written by an outside program (GNU
// plotutils, tests/data/cgm/make.sh) drawn against that program's own PNG
// of the same input; hand-made metafiles for the encodings plotutils does
// not write; damaged metafiles refused whole.

#include "platform/imaging/CgmImport.h"

#include "tests/gdi/DrawTestSupport.h"
#include "tests/imaging/PictureCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using gditest::MemoryCanvas;
using platform::CgmPicture;
using platform::CgmResult;
using platform::ConvertCgm;

std::string CgmData(const std::string& name)
{
    return std::string(THREADWICK_SOURCE_DIR) + "/tests/data/cgm/" + name;
}

CgmResult Convert(const std::string& bytes, CgmPicture& picture)
{
    return ConvertCgm(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), picture);
}

// Plays the picture's metafile into a white canvas of the given size, as
// the program draws a metafile picture: its frame as window, the canvas as
// viewport.
void Draw(const CgmPicture& picture, MemoryCanvas& canvas)
{
    HMETAFILE hmf = SetMetaFileBitsEx(static_cast<UINT>(picture.metafile.size()), picture.metafile.data());
    ASSERT_NE(hmf, nullptr);
    SetMapMode(canvas.dc, MM_ANISOTROPIC);
    SetWindowExtEx(canvas.dc, picture.frame.cx, picture.frame.cy, nullptr);
    SetViewportExtEx(canvas.dc, canvas.Width(), canvas.Height(), nullptr);
    EXPECT_TRUE(PlayMetaFile(canvas.dc, hmf));
    DeleteMetaFile(hmf);
}

// ---- Against plotutils' own drawing ---------------------------------------------

// Grey levels of a picture, blurred over 3 x 3 so that a line one pixel to
// the side or anti-aliased differently still meets its twin.
std::vector<double> BlurredGrey(const std::vector<double>& grey, int width, int height)
{
    std::vector<double> out(grey.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double sum = 0;
            int n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx;
                    const int yy = y + dy;
                    if (xx >= 0 && yy >= 0 && xx < width && yy < height) {
                        sum += grey[size_t(yy) * width + xx];
                        ++n;
                    }
                }
            out[size_t(y) * width + x] = sum / n;
        }
    return out;
}

// The share of the ink pixels of `a` (darker than mid-grey) that have ink
// of `b` within `reach` pixels.
double InkFound(const std::vector<double>& a, const std::vector<double>& b, int width, int height, int reach)
{
    int ink = 0;
    int found = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (a[size_t(y) * width + x] >= 128)
                continue;
            ++ink;
            bool near = false;
            for (int dy = -reach; dy <= reach && !near; ++dy)
                for (int dx = -reach; dx <= reach && !near; ++dx) {
                    const int xx = x + dx;
                    const int yy = y + dy;
                    near = xx >= 0 && yy >= 0 && xx < width && yy < height && b[size_t(yy) * width + xx] < 128;
                }
            found += near;
        }
    return ink == 0 ? 1.0 : double(found) / ink;
}

struct Agreement {
    double pixels = 0;   // share of pixels whose blurred channels are within the tolerance
    double inkFound = 0; // share of the reference's ink with ours within 2 px
    double inkMeant = 0; // share of our ink with the reference's within 2 px
};

constexpr double kGreyTolerance = 64; // of 255 in each channel, after the 3 x 3 blur

Agreement Compare(const MemoryCanvas& canvas, const imaging_test::Reference& reference)
{
    const int width = canvas.Width();
    const int height = canvas.Height();
    std::vector<double> ours(size_t(width) * height);
    std::vector<double> theirs(ours.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = canvas.At(x, y);
            ours[size_t(y) * width + x] = (GetRValue(c) * 0.299 + GetGValue(c) * 0.587 + GetBValue(c) * 0.114);
            const uint8_t* p = &reference.rgba[(size_t(y) * width + x) * 4];
            theirs[size_t(y) * width + x] = p[0] * 0.299 + p[1] * 0.587 + p[2] * 0.114;
        }
    Agreement agreement;
    agreement.inkFound = InkFound(theirs, ours, width, height, 2);
    agreement.inkMeant = InkFound(ours, theirs, width, height, 2);
    // Each colour channel on its own, so that a wrong colour of the same
    // grey is seen.
    std::vector<bool> same(ours.size(), true);
    for (int channel = 0; channel < 3; ++channel) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF c = canvas.At(x, y);
                const BYTE mine[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
                ours[size_t(y) * width + x] = mine[channel];
                theirs[size_t(y) * width + x] = reference.rgba[(size_t(y) * width + x) * 4 + channel];
            }
        const std::vector<double> a = BlurredGrey(ours, width, height);
        const std::vector<double> b = BlurredGrey(theirs, width, height);
        for (size_t i = 0; i < a.size(); ++i)
            same[i] = same[i] && std::fabs(a[i] - b[i]) <= kGreyTolerance;
    }
    agreement.pixels = double(std::count(same.begin(), same.end(), true)) / same.size();
    return agreement;
}

class CgmPlotutilsTest : public testing::TestWithParam<const char*> {};

TEST_P(CgmPlotutilsTest, BinaryAndClearTextDrawAsPlotutilsDrawsThem)
{
    const std::string name = GetParam();
    const imaging_test::Reference reference
        = imaging_test::ReadReference(imaging_test::ReadBytes(CgmData(name + ".png")));
    ASSERT_TRUE(reference.ok);
    for (const std::string& file : {name + ".cgm", name + ".txt.cgm"}) {
        SCOPED_TRACE(file);
        CgmPicture picture;
        ASSERT_EQ(Convert(imaging_test::ReadBytes(CgmData(file)), picture), CgmResult::Ok);
        // plotutils' page is 8 inches square, in millimetres: 768 pixels.
        EXPECT_EQ(picture.frame.cx, 768);
        EXPECT_EQ(picture.frame.cy, 768);
        ASSERT_EQ(reference.width, picture.frame.cx);
        ASSERT_EQ(reference.height, picture.frame.cy);
        MemoryCanvas canvas(picture.frame.cx, picture.frame.cy);
        Draw(picture, canvas);
        const Agreement agreement = Compare(canvas, reference);
        RecordProperty(file + ".pixels", std::to_string(agreement.pixels));
        RecordProperty(file + ".inkFound", std::to_string(agreement.inkFound));
        RecordProperty(file + ".inkMeant", std::to_string(agreement.inkMeant));
        EXPECT_GE(agreement.pixels, 0.95);
        // Text is drawn in another face than plotutils' own, so some ink of
        // either side has no twin; lines and areas have.
        EXPECT_GE(agreement.inkFound, 0.85);
        EXPECT_GE(agreement.inkMeant, 0.85);
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, CgmPlotutilsTest,
    testing::Values("graph-line", "graph-marks", "graph-fill", "pic-shapes", "plot-grid"),
    [](const testing::TestParamInfo<const char*>& info) {
        std::string name = info.param;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

// ---- Hand-made binary metafiles ----------------------------------------------------

// Writes binary CGM elements; parameters are appended big-endian.
class CgmWriter {
public:
    CgmWriter& I8(int v) { return Byte(v); }
    CgmWriter& I16(int v) { return Byte(v >> 8).Byte(v); }
    CgmWriter& I32(int64_t v) { return I16(int(v >> 16)).I16(int(v)); }
    CgmWriter& F32(float f)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        return I32(bits);
    }
    CgmWriter& Str(const std::string& text)
    {
        Byte(int(text.size()));
        m_params += text;
        return *this;
    }
    CgmWriter& Raw(const std::string& bytes)
    {
        m_params += bytes;
        return *this;
    }
    // Ends the element with the parameters given since the last one; a
    // partition size splits a long parameter list into partitions.
    CgmWriter& End(int elementClass, int elementId, size_t partition = 0)
    {
        const std::string params = std::move(m_params);
        m_params.clear();
        const int header = (elementClass << 12) | (elementId << 5);
        if (params.size() < 31 && partition == 0) {
            Word(header | int(params.size()));
            m_out += params;
            if (params.size() & 1)
                m_out += '\0';
            return *this;
        }
        Word(header | 31);
        const size_t piece = partition == 0 ? 0x7FFF : partition;
        for (size_t at = 0; at < params.size() || at == 0; at += piece) {
            const size_t n = std::min(piece, params.size() - at);
            Word(int(n) | (at + n < params.size() ? 0x8000 : 0));
            m_out += params.substr(at, n);
            if (n & 1)
                m_out += '\0';
            if (n == 0)
                break;
        }
        return *this;
    }
    std::string Bytes() const { return m_out; }

    // The usual opening: BEGIN METAFILE, then whatever descriptor elements
    // the caller adds, and later Picture() for the picture's start.
    CgmWriter& Begin() { return Str("test").End(0, 1).I16(2).End(1, 1); }
    CgmWriter& Picture() { return Str("p").End(0, 3); }
    CgmWriter& Body() { return End(0, 4); }
    CgmWriter& Close() { return End(0, 5).End(0, 2); }

private:
    CgmWriter& Byte(int v)
    {
        m_params += char(v & 0xFF);
        return *this;
    }
    void Word(int v)
    {
        m_out += char((v >> 8) & 0xFF);
        m_out += char(v & 0xFF);
    }

    std::string m_params;
    std::string m_out;
};

// Converts and draws at 100 x 100.
class Drawn {
public:
    explicit Drawn(const std::string& bytes)
        : canvas(100, 100)
    {
        result = Convert(bytes, picture);
        if (result == CgmResult::Ok)
            Draw(picture, canvas);
    }
    CgmResult result;
    CgmPicture picture;
    MemoryCanvas canvas;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// VDC 0..100 both ways (y up), solid interiors, direct 8-bit colour.
CgmWriter HundredSquare()
{
    CgmWriter w;
    w.Begin().Picture();
    w.I16(1).End(2, 2);                               // direct colour
    w.I16(0).I16(0).I16(100).I16(100).End(2, 6);      // VDC extent
    w.Body();
    w.I16(1).End(5, 22);                              // interior style solid
    return w;
}

TEST(CgmImportTest, RealCoordinatesIndexedColoursAndDefaultsReplacement)
{
    CgmWriter w;
    w.Begin();
    w.I16(1).End(1, 3);                // VDC type real
    // Inside METAFILE DEFAULTS REPLACEMENT: solid interiors in colour 2.
    CgmWriter defaults;
    defaults.I16(1).End(5, 22).I8(2).End(5, 23);
    w.Raw(defaults.Bytes()).End(1, 12);
    w.Picture();
    w.I16(0).I16(9).I16(23).End(3, 2); // VDC real precision: 32-bit floating point
    w.F32(0).F32(0).F32(1).F32(1).End(2, 6);
    w.Body();
    w.I8(2).I8(0).I8(0).I8(255).End(5, 34); // colour 2 is blue
    w.F32(0.5f).F32(0.5f).F32(1).F32(1).End(4, 11);
    w.Close();
    const Drawn d(w.Bytes());
    ASSERT_EQ(d.result, CgmResult::Ok);
    // Abstract units: 500 pixels on the longer side.
    EXPECT_EQ(d.picture.frame.cx, 500);
    EXPECT_EQ(d.picture.frame.cy, 500);
    EXPECT_EQ(d.canvas.At(75, 25), kBlue); // VDC y grows upwards
    EXPECT_EQ(d.canvas.At(25, 75), kWhite);
    EXPECT_EQ(d.canvas.At(75, 75), kWhite);
}

TEST(CgmImportTest, ThirtyTwoBitPrecisionsAndSixteenBitDirectColour)
{
    CgmWriter w;
    w.Begin();
    w.I16(32).End(1, 4);   // integer precision 32 (given at the old 16)
    w.I32(16).End(1, 7);   // colour precision 16, read at the new integer precision
    w.Picture();
    w.I16(1).End(2, 2);    // direct colour
    w.I32(32).End(3, 1);   // VDC integer precision 32 (also outside a body)
    w.I32(0).I32(0).I32(200000).I32(100000).End(2, 6);
    w.Body();
    w.I16(1).End(5, 22);
    w.I16(65535).I16(0).I16(0).End(5, 23);
    w.I32(100000).I32(50000).I32(25000).End(4, 12); // circle
    w.Close();
    const Drawn d(w.Bytes());
    ASSERT_EQ(d.result, CgmResult::Ok);
    EXPECT_EQ(d.picture.frame.cx, 500);
    EXPECT_EQ(d.picture.frame.cy, 250);
    EXPECT_EQ(d.canvas.At(50, 50), kRed);
    // Drawn at 100 x 100 the circle is an ellipse half as wide as high.
    EXPECT_EQ(d.canvas.At(50, 30), kRed);
    EXPECT_EQ(d.canvas.At(30, 50), kWhite);
    EXPECT_EQ(d.canvas.At(5, 5), kWhite);
}

TEST(CgmImportTest, CellArraysPackedAndRunLengthFillTheirParallelogram)
{
    // Rows go from P to R, the rows follow each other towards Q: the first
    // row at the top. Indexed colours through the table.
    for (int mode : {1, 0}) {
        SCOPED_TRACE(mode);
        CgmWriter w;
        w.Begin().Picture();
        w.I16(0).I16(0).I16(100).I16(100).End(2, 6);
        w.Body();
        w.I8(2).I8(255).I8(0).I8(0).I8(0).I8(255).I8(0).I8(0).I8(0).I8(255).End(5, 34); // 2 red, 3 green, 4 blue
        w.I16(0).I16(100).I16(100).I16(0).I16(100).I16(100); // P, Q, R
        w.I16(2).I16(2).I16(8).I16(mode);
        if (mode == 1)
            w.I8(2).I8(3).I8(4).I8(1); // packed: each row starts on a word
        else
            w.I16(1).I8(2).I16(1).I8(3).I16(1).I8(4).I16(1).I8(1); // count and colour runs
        w.End(4, 9);
        w.Close();
        const Drawn d(w.Bytes());
        ASSERT_EQ(d.result, CgmResult::Ok);
        EXPECT_EQ(d.canvas.At(25, 25), kRed);
        EXPECT_EQ(d.canvas.At(75, 25), kGreen);
        EXPECT_EQ(d.canvas.At(25, 75), kBlue);
        EXPECT_EQ(d.canvas.At(75, 75), kBlack);
    }
    // One bit a cell, direct colour: 1 is full intensity.
    CgmWriter w = HundredSquare();
    w.I16(0).I16(0).I16(100).I16(100).I16(100).I16(0); // first row at the bottom this time
    w.I16(2).I16(1).I16(1).I16(1).Raw(std::string("\xF0\x00", 2)).End(4, 9); // 111 then 100: white then red
    w.Close();
    const Drawn d(w.Bytes());
    ASSERT_EQ(d.result, CgmResult::Ok);
    EXPECT_EQ(d.canvas.At(25, 50), kWhite);
    EXPECT_EQ(d.canvas.At(75, 50), kRed);
}

TEST(CgmImportTest, PartitionedElementsReadAsOne)
{
    auto make = [](size_t partition) {
        CgmWriter w = HundredSquare();
        for (int i = 0; i < 20; ++i)
            w.I16(i * 5).I16(i % 2 == 0 ? 10 : 90);
        w.End(4, 1, partition);
        w.Close();
        return w.Bytes();
    };
    CgmPicture whole;
    CgmPicture pieces;
    ASSERT_EQ(Convert(make(0), whole), CgmResult::Ok);
    ASSERT_EQ(Convert(make(14), pieces), CgmResult::Ok);
    EXPECT_EQ(whole.metafile, pieces.metafile);
    MemoryCanvas canvas(100, 100);
    Draw(whole, canvas);
    EXPECT_GT(100 * 100 - canvas.Count(kWhite), 100);
}

TEST(CgmImportTest, CurvesFillTheirOwnSideOnly)
{
    struct Case {
        const char* name;
        std::function<void(CgmWriter&)> element;
        POINT inside;
        POINT outside;
    };
    const Case cases[] = {
        // A quarter pie from 0 to 90 degrees, counter-clockwise: upper right.
        {"arc centre pie",
            [](CgmWriter& w) { w.I16(50).I16(50).I16(1).I16(0).I16(0).I16(1).I16(40).I16(0).End(4, 16); },
            {70, 30}, {30, 70}},
        // Reversed: from 0 clockwise to 90 is the other three quarters.
        {"arc centre reversed",
            [](CgmWriter& w) {
                w.I16(4).End(5, 22); // empty: only the line
                w.I16(50).I16(50).I16(1).I16(0).I16(0).I16(1).I16(40).End(4, 20);
            },
            {50, 90}, {78, 22}},
        // Three points: through the top, a chord closes it.
        {"arc 3 point chord", [](CgmWriter& w) { w.I16(10).I16(50).I16(50).I16(90).I16(90).I16(50).I16(1).End(4, 14); },
            {50, 20}, {50, 80}},
        // An ellipse with tilted conjugate diameters.
        {"ellipse", [](CgmWriter& w) { w.I16(50).I16(50).I16(90).I16(90).I16(40).I16(60).End(4, 17); },
            {75, 25}, {20, 20}},
        // The upper half of an ellipse, closed as a pie.
        {"elliptical arc pie",
            [](CgmWriter& w) {
                w.I16(50).I16(50).I16(90).I16(50).I16(50).I16(70); // centre and conjugate diameters
                w.I16(1).I16(0).I16(-1).I16(0).I16(0).End(4, 19);  // from 0 to 180 degrees, pie
            },
            {50, 40}, {50, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CgmWriter w = HundredSquare();
        w.I8(255).I8(0).I8(0).End(5, 23);   // fill red
        w.I8(255).I8(0).I8(0).End(5, 4);    // lines red
        w.I16(8).I16(0).End(5, 3);          // line width 8.0 (scaled), a fixed-point real
        c.element(w);
        w.Close();
        const Drawn d(w.Bytes());
        ASSERT_EQ(d.result, CgmResult::Ok);
        EXPECT_EQ(d.canvas.At(c.inside.x, c.inside.y), kRed) << d.canvas.Picture(RECT{0, 0, 100, 100});
        EXPECT_EQ(d.canvas.At(c.outside.x, c.outside.y), kWhite) << d.canvas.Picture(RECT{0, 0, 100, 100});
    }
}

TEST(CgmImportTest, PolygonSetsFillOddEvenAndDrawOnlyVisibleEdges)
{
    CgmWriter w = HundredSquare();
    w.I8(0).I8(0).I8(255).End(5, 23); // fill blue
    w.I16(1).End(5, 30);              // edges visible, black by default
    w.I16(4).I16(0).End(5, 28);       // edge width 4.0 (scaled)
    // Outer square with visible edges; inner square with invisible ones.
    const int outer[][2] = {{10, 10}, {90, 10}, {90, 90}, {10, 90}};
    const int inner[][2] = {{30, 30}, {70, 30}, {70, 70}, {30, 70}};
    for (int i = 0; i < 4; ++i)
        w.I16(outer[i][0]).I16(outer[i][1]).I16(i == 3 ? 3 : 1);
    for (int i = 0; i < 4; ++i)
        w.I16(inner[i][0]).I16(inner[i][1]).I16(i == 3 ? 2 : 0);
    w.End(4, 8);
    w.Close();
    const Drawn d(w.Bytes());
    ASSERT_EQ(d.result, CgmResult::Ok);
    EXPECT_EQ(d.canvas.At(20, 50), kBlue);  // the ring
    EXPECT_EQ(d.canvas.At(50, 50), kWhite); // the hole
    EXPECT_EQ(d.canvas.At(10, 50), kBlack); // a visible edge
    // An invisible edge: the fill meets the hole, with no line between.
    EXPECT_EQ(d.canvas.At(28, 50), kBlue);
    EXPECT_NE(d.canvas.At(30, 50), kBlack);
}

TEST(CgmImportTest, TextIsDrawnAtItsPointInItsColourAndAppendedTextJoinsIt)
{
    // The alignment's two reals are fixed point by default: 32 bits each.
    CgmWriter v = HundredSquare();
    v.I8(0).I8(0).I8(255).End(5, 14);
    v.I16(12).End(5, 15);
    v.I16(2).I16(3).I32(0).I32(0).End(5, 18); // centre, half
    v.I16(50).I16(50).I16(0).Str("Hel").End(4, 4); // not final
    v.I16(1).Str("lo").End(4, 6);                    // append, final
    v.Close();
    const Drawn d(v.Bytes());
    ASSERT_EQ(d.result, CgmResult::Ok);
    const RECT ink = d.canvas.InkBox();
    // About the centre, wider than high: one word of five letters.
    EXPECT_LT(ink.left, 40);
    EXPECT_GT(ink.right, 60);
    EXPECT_GT(ink.top, 35);
    EXPECT_LT(ink.bottom, 65);
    EXPECT_GT(d.canvas.Count(kBlue), 0);
}

// ---- Refused --------------------------------------------------------------------------

TEST(CgmImportTest, DamagedOrForeignBytesAreRefusedWhole)
{
    auto body = [](const std::function<void(CgmWriter&)>& element) {
        CgmWriter w = HundredSquare();
        element(w);
        w.Close();
        return w.Bytes();
    };
    struct Case {
        const char* name;
        std::string bytes;
        CgmResult result;
    };
    CgmWriter onlyBegin;
    onlyBegin.Begin().End(0, 2);
    const Case cases[] = {
        {"empty", "", CgmResult::NotCgm},
        {"png", "\x89PNG\r\n\x1a\n", CgmResult::NotCgm},
        {"text", "hello; world;", CgmResult::NotCgm},
        {"no picture", onlyBegin.Bytes(), CgmResult::NoPicture},
        {"integer precision 12", body([](CgmWriter& w) { w.I16(12).End(1, 4); }), CgmResult::Damaged},
        {"real precision 10/20", body([](CgmWriter& w) { w.I16(0).I16(10).I16(20).End(1, 5); }), CgmResult::Damaged},
        {"odd coordinate count", body([](CgmWriter& w) { w.I16(1).I16(2).I16(3).End(4, 1); }), CgmResult::Damaged},
        {"string past its element", body([](CgmWriter& w) { w.I16(1).I16(2).I16(1).I8(40).Raw("abc").End(4, 4); }),
            CgmResult::Damaged},
        {"huge cell array", body([](CgmWriter& w) {
             w.I16(0).I16(0).I16(9).I16(9).I16(9).I16(0).I16(30000).I16(30000).I16(8).I16(1).End(4, 9);
         }),
            CgmResult::Damaged},
        {"cell runs past the row", body([](CgmWriter& w) {
             w.I16(0).I16(0).I16(9).I16(9).I16(9).I16(0).I16(2).I16(1).I16(8).I16(0).I16(3).I8(1).End(4, 9);
         }),
            CgmResult::Damaged},
        {"clear text string left open", "BEGMF 'x'; BEGPIC 'p; BEGPICBODY; ENDPIC;", CgmResult::Damaged},
        {"clear text short point", "BEGMF 'x'; BEGPIC 'p'; BEGPICBODY; LINE (1,2) (3); ENDPIC;", CgmResult::Damaged},
        {"clear text bad enumeration", "BEGMF 'x'; BEGPIC 'p'; BEGPICBODY; INTSTYLE sparkly; ENDPIC;",
            CgmResult::Damaged},
        {"clear text fine", "begmf 'x'; beg_pic 'p'; vdc_ext 0 0 10 10; begpicbody; line 0 0 10 10; endpic; endmf;",
            CgmResult::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CgmPicture picture;
        EXPECT_EQ(Convert(c.bytes, picture), c.result);
        if (c.result != CgmResult::Ok) {
            EXPECT_TRUE(picture.metafile.empty());
        }
    }
    CgmWriter flat;
    flat.Begin().Picture();
    flat.I16(0).I16(0).I16(100).I16(0).End(2, 6);
    flat.Body().Close();
    CgmPicture picture;
    EXPECT_EQ(Convert(flat.Bytes(), picture), CgmResult::Damaged);
}

TEST(CgmImportTest, APartitionThatPromisesMoreAtTheEndOfTheFileIsRefused)
{
    // END PICTURE in the long form, its one partition odd and flagged
    // "more follows" as the last bytes of the file. Past the end lie a
    // padding byte and a final empty partition, which must not be read.
    CgmWriter w = HundredSquare();
    const std::string file = w.Bytes() + std::string("\x00\xBF\x80\x01X", 5);
    const std::string beyond = file + std::string("\x00\x00\x00", 3);
    CgmPicture picture;
    EXPECT_EQ(ConvertCgm(reinterpret_cast<const BYTE*>(beyond.data()), file.size(), picture), CgmResult::Damaged);
}

TEST(CgmImportTest, AFileCutShortIsRefusedWhereverItIsCut)
{
    for (const char* name : {"graph-fill.cgm", "pic-shapes.txt.cgm"}) {
        SCOPED_TRACE(name);
        const std::string bytes = imaging_test::ReadBytes(CgmData(name));
        // The picture ends at END PICTURE; anything cut before it is short.
        const bool binary = bytes[0] == '\0';
        const size_t end = binary ? bytes.size() - 4 : bytes.find("ENDPIC");
        ASSERT_NE(end, std::string::npos);
        for (size_t cut = 0; cut < end; cut += binary ? 1 : 7) {
            CgmPicture picture;
            ASSERT_NE(Convert(bytes.substr(0, cut), picture), CgmResult::Ok) << cut;
        }
    }
}

} // namespace
