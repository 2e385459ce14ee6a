// Every format the library writes, read back by outside programs: the
// decoder library's command-line tools and, for PostScript, ghostscript.

#include "platform/base/GlobalMemory.h"
#include "platform/files/SafeReplace.h"
#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace imaging_test;

namespace {

// A command's standard output; false when it could not run or failed.
bool RunCommand(const std::string& command, std::string& output)
{
    output.clear();
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return false;
    char buffer[65536];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool HaveTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

#define REQUIRE_TOOL(name)                                     \
    do {                                                       \
        if (!HaveTool(name))                                   \
            GTEST_SKIP() << name << " is not installed";       \
    } while (0)

struct Identified {
    int width = 0;
    int height = 0;
    std::string type; // the tool's view of the pixels: Bilevel, Palette, TrueColor...
    bool alpha = false;
};

// The first image of a file through `identify`, its coder named.
bool Identify(const std::string& coder, const std::string& path, Identified& out)
{
    std::string text;
    if (!RunCommand("identify -format '%w %h %[type] %A\\n' '" + coder + ":" + path + "[0]'", text))
        return false;
    std::istringstream in(text);
    std::string alpha;
    in >> out.width >> out.height >> out.type >> alpha;
    out.alpha = alpha == "True" || alpha == "Blend";
    return bool(in);
}

// The first image's pixels as R, G, B, A bytes through `convert`.
std::string PixelsOf(const std::string& coder, const std::string& path)
{
    std::string bytes;
    RunCommand("convert '" + coder + ":" + path + "[0]' -depth 8 rgba:-", bytes);
    return bytes;
}

// Ghostscript's rendering of an EPS at one pixel per point, as R, G, B, A
// bytes (alpha 255).
std::string Rendered(const std::string& path, int& width, int& height)
{
    std::string ppm;
    width = height = 0;
    if (!RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -r72 -sDEVICE=ppmraw -sOutputFile=- '" + path + "'", ppm))
        return {};
    // The header's fields are separated by white space and comments.
    std::istringstream in(ppm);
    auto field = [&in]() {
        std::string token;
        while (in >> token && token[0] == '#')
            std::getline(in, token);
        return token;
    };
    const std::string magic = field();
    width = std::atoi(field().c_str());
    height = std::atoi(field().c_str());
    const std::string maximum = field();
    in.get();
    if (magic != "P6" || maximum != "255")
        return {};
    std::string rgba;
    for (int i = 0; i < width * height; ++i) {
        char rgb[3];
        if (!in.read(rgb, 3))
            return {};
        rgba.append(rgb, 3);
        rgba += '\xFF';
    }
    return rgba;
}

std::string RgbaOf(const LTBITMAP& bitmap)
{
    std::string out;
    for (int y = 0; y < bitmap.Height; ++y) {
        for (int x = 0; x < bitmap.Width; ++x) {
            auto p = RgbaAt(bitmap, x, y);
            out.append(reinterpret_cast<const char*>(p.data()), 4);
        }
    }
    return out;
}

// Pictures whose look the tools name unambiguously: more colours than a
// palette holds (TrueColor), five colours (Palette), black and white
// (Bilevel). The widths are odd so that rows need padding in every format.
enum class Look { ManyColours, ManyColoursAlpha, FiveColours, BlackWhite, TwoColours, GreyRamp };

LTBITMAP Picture(Look look, int width = 37, int height = 21)
{
    LTBITMAP bitmap;
    LtAllocateBitmap(&bitmap, width, height, look == Look::ManyColoursAlpha ? 32 : 24);
    const int step = bitmap.BitsPerPixel / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* p = &bitmap.Pixels[size_t(y) * size_t(bitmap.BytesPerLine) + size_t(x * step)];
            BYTE r = 0;
            BYTE g = 0;
            BYTE b = 0;
            switch (look) {
            case Look::ManyColours:
            case Look::ManyColoursAlpha:
                r = BYTE(x * 7 + y);
                g = BYTE(y * 11 + 3);
                b = BYTE(x * 3 + y * 5);
                break;
            case Look::FiveColours: {
                const int c = (x / 3 + y / 2) % 5;
                r = BYTE(c * 17);
                g = BYTE(200 - c * 30);
                b = BYTE(c * 50);
                break;
            }
            case Look::BlackWhite:
                r = g = b = (x + 2 * y) % 3 ? 255 : 0;
                break;
            case Look::TwoColours:
                r = (x + y) % 2 ? 200 : 10;
                g = (x + y) % 2 ? 30 : 20;
                b = (x + y) % 2 ? 40 : 180;
                break;
            case Look::GreyRamp:
                r = g = b = BYTE((x * 37 + y * 101) % 256);
                break;
            }
            p[0] = b;
            p[1] = g;
            p[2] = r;
            if (step == 4)
                p[3] = BYTE(1 + (x * 13 + y * 7) % 255); // every level but 0
        }
    }
    return bitmap;
}

std::string Save(const LTBITMAP& bitmap, const std::string& path, int format, int bits, int quality = 0)
{
    const int result = LtSaveFile(WindowsPath(path).c_str(), &bitmap, format, bits, quality);
    EXPECT_EQ(result, LT_SUCCESS) << path;
    return ReadBytes(path);
}

bool StartsWith(const std::string& bytes, const std::string& prefix)
{
    return bytes.compare(0, prefix.size(), prefix) == 0;
}

// Empty when two R, G, B, A strings are equal, else where they first differ.
std::string Difference(const std::string& got, const std::string& want)
{
    if (got.size() != want.size())
        return "sizes " + std::to_string(got.size()) + " and " + std::to_string(want.size());
    for (size_t i = 0; i < got.size(); i += 4) {
        if (got.compare(i, 4, want, i, 4) == 0)
            continue;
        std::ostringstream text;
        text << "pixel " << i / 4 << ": got";
        for (size_t c = 0; c < 4; ++c)
            text << ' ' << int(uint8_t(got[i + c]));
        text << ", want";
        for (size_t c = 0; c < 4; ++c)
            text << ' ' << int(uint8_t(want[i + c]));
        return text.str();
    }
    return {};
}

double MeanError(const std::string& a, const std::string& b)
{
    if (a.size() != b.size() || a.empty())
        return 1e9;
    long long sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i % 4 != 3)
            sum += std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i])));
    }
    return double(sum) / double(a.size() / 4 * 3);
}

// Each 4 x 4 block of a square R, G, B, A picture replaced by its average.
std::string Averaged(const std::string& rgba, int side)
{
    std::string out = rgba;
    if (rgba.size() != size_t(side) * size_t(side) * 4)
        return out;
    for (int by = 0; by + 4 <= side; by += 4) {
        for (int bx = 0; bx + 4 <= side; bx += 4) {
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int y = by; y < by + 4; ++y) {
                    for (int x = bx; x < bx + 4; ++x)
                        sum += uint8_t(rgba[(size_t(y) * size_t(side) + size_t(x)) * 4 + size_t(c)]);
                }
                for (int y = by; y < by + 4; ++y) {
                    for (int x = bx; x < bx + 4; ++x)
                        out[(size_t(y) * size_t(side) + size_t(x)) * 4 + size_t(c)] = char(sum / 16);
                }
            }
        }
    }
    return out;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Written {
    int format;
    const char* extension;
    const char* coder; // the tool's name for the format
    int bits;
};

// Every format at every depth it stores.
const Written Lossless[] = {
    { LT_FORMAT_BMP, "bmp", "BMP", 1 },
    { LT_FORMAT_BMP, "bmp", "BMP", 4 },
    { LT_FORMAT_BMP, "bmp", "BMP", 8 },
    { LT_FORMAT_BMP, "bmp", "BMP", 24 },
    { LT_FORMAT_BMP, "bmp", "BMP", 32 },
    { LT_FORMAT_TIF, "tif", "TIFF", 1 },
    { LT_FORMAT_TIF, "tif", "TIFF", 4 },
    { LT_FORMAT_TIF, "tif", "TIFF", 8 },
    { LT_FORMAT_TIF, "tif", "TIFF", 24 },
    { LT_FORMAT_TIF, "tif", "TIFF", 32 },
    { LT_FORMAT_PNG, "png", "PNG", 1 },
    { LT_FORMAT_PNG, "png", "PNG", 4 },
    { LT_FORMAT_PNG, "png", "PNG", 8 },
    { LT_FORMAT_PNG, "png", "PNG", 24 },
    { LT_FORMAT_PNG, "png", "PNG", 32 },
    { LT_FORMAT_CMP, "cmp", "PNG", 8 },
    { LT_FORMAT_CMP, "cmp", "PNG", 24 },
    { LT_FORMAT_LEAD1BIT, "lead", "PNG", 1 },
    { LT_FORMAT_PSD, "psd", "PSD", 24 },
    { LT_FORMAT_TGA, "tga", "TGA", 8 },
    { LT_FORMAT_TGA, "tga", "TGA", 24 },
    { LT_FORMAT_TGA, "tga", "TGA", 32 },
    { LT_FORMAT_PCX, "pcx", "PCX", 1 },
    { LT_FORMAT_PCX, "pcx", "PCX", 8 },
    { LT_FORMAT_PCX, "pcx", "PCX", 24 },
    { LT_FORMAT_GIF, "gif", "GIF", 1 },
    { LT_FORMAT_GIF, "gif", "GIF", 4 },
    { LT_FORMAT_GIF, "gif", "GIF", 8 },
    { LT_FORMAT_CALS, "cal", "CALS", 1 },
    { LT_FORMAT_PCT, "pct", "PICT", 8 },
    { LT_FORMAT_PCT, "pct", "PICT", 24 },
    { LT_FORMAT_RAS, "ras", "SUN", 1 },
    { LT_FORMAT_RAS, "ras", "SUN", 8 },
    { LT_FORMAT_RAS, "ras", "SUN", 24 },
    { LT_FORMAT_RAS, "ras", "SUN", 32 },
};

Look LookFor(int bits)
{
    switch (bits) {
    case 1:
        return Look::BlackWhite;
    case 4:
    case 8:
        return Look::FiveColours;
    case 32:
        return Look::ManyColoursAlpha;
    default:
        return Look::ManyColours;
    }
}

const char* TypeFor(int bits)
{
    switch (bits) {
    case 1:
        return "Bilevel";
    case 4:
    case 8:
        return "Palette";
    case 32:
        return "TrueColorAlpha";
    default:
        return "TrueColor";
    }
}

} // namespace

// Each lossless format and depth reads back with the tools at its size, with
// the look of its depth, pixel for pixel; the memory form is the same bytes.
TEST(ImagingExport, EveryLosslessFormatReadsBackExactlyAtItsDepth)
{
    REQUIRE_TOOL("identify");
    const std::string folder = testing_support::MakeTempDir("export");
    for (const Written& w : Lossless) {
        SCOPED_TRACE(std::string(w.extension) + " at " + std::to_string(w.bits));
        const LTBITMAP picture = Picture(LookFor(w.bits));
        const std::string path = folder + "/p" + std::to_string(w.bits) + "." + w.extension;
        const std::string file = Save(picture, path, w.format, w.bits);
        ASSERT_FALSE(file.empty());

        Identified id;
        ASSERT_TRUE(Identify(w.coder, path, id));
        EXPECT_EQ(id.width, picture.Width);
        EXPECT_EQ(id.height, picture.Height);
        if (w.bits == 32)
            EXPECT_TRUE(id.type == "TrueColorAlpha" || id.type == "TrueColorMatte") << id.type;
        else
            EXPECT_EQ(id.type, TypeFor(w.bits));
        EXPECT_EQ(id.alpha, w.bits == 32);
        EXPECT_EQ(Difference(PixelsOf(w.coder, path), RgbaOf(picture)), "");

        HGLOBAL memory = nullptr;
        DWORD size = 0;
        ASSERT_EQ(LtSaveToMemory(&memory, &picture, w.format, w.bits, 0, &size), LT_SUCCESS);
        EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(memory)), size), file);
        GlobalFree(memory);

        // Our own reader gives the same picture back (CALS is written only).
        if (w.format == LT_FORMAT_CALS)
            continue;
        LTBITMAP back;
        ASSERT_EQ(LtLoadFile(WindowsPath(path).c_str(), &back, 0, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
                      nullptr, nullptr),
            LT_SUCCESS);
        EXPECT_EQ(Difference(RgbaOf(back), RgbaOf(picture)), "");
    }
}

// The two codes of formats we do not have are PNG files; BMPs of 24 bits
// or fewer have the plain header every reader knows, and 32 bits the one
// with an alpha mask.
TEST(ImagingExport, FileLayoutsAreTheUsualOnes)
{
    const std::string folder = testing_support::MakeTempDir("layout");
    const std::string png = "\x89PNG\r\n\x1A\n";
    const LTBITMAP few = Picture(Look::FiveColours);
    EXPECT_TRUE(StartsWith(Save(few, folder + "/a.cmp", LT_FORMAT_CMP, 8), png));
    EXPECT_TRUE(StartsWith(Save(Picture(Look::BlackWhite), folder + "/b.lead", LT_FORMAT_LEAD1BIT, 1), png));

    auto bmpHeader = [&](int bits) {
        std::string bytes = Save(bits == 32 ? Picture(Look::ManyColoursAlpha) : few, folder + "/c.bmp", LT_FORMAT_BMP, bits);
        EXPECT_GE(bytes.size(), 30u);
        const int headerSize = uint8_t(bytes[14]) | uint8_t(bytes[15]) << 8;
        const int depth = uint8_t(bytes[28]) | uint8_t(bytes[29]) << 8;
        return std::make_pair(headerSize, depth);
    };
    // The palette is as large as the depth asked for, even for five colours.
    EXPECT_EQ(bmpHeader(8), std::make_pair(40, 8));
    EXPECT_EQ(bmpHeader(4), std::make_pair(40, 4));
    EXPECT_EQ(bmpHeader(24), std::make_pair(40, 24));
    EXPECT_GT(bmpHeader(32).first, 40);

    // PNG says its depth: palette of 4 bits, grey of 1 and 8, colour and alpha.
    auto pngLayout = [&](Look look, int bits) {
        std::string bytes = Save(Picture(look), folder + "/d.png", LT_FORMAT_PNG, bits);
        EXPECT_GE(bytes.size(), 26u);
        return std::make_pair(int(uint8_t(bytes[24])), int(uint8_t(bytes[25])));
    };
    EXPECT_EQ(pngLayout(Look::FiveColours, 4), std::make_pair(4, 3));
    EXPECT_EQ(pngLayout(Look::BlackWhite, 1), std::make_pair(1, 0));
    EXPECT_EQ(pngLayout(Look::GreyRamp, 8), std::make_pair(8, 0));
    EXPECT_EQ(pngLayout(Look::FiveColours, 24), std::make_pair(8, 2));
    EXPECT_EQ(pngLayout(Look::FiveColours, 32), std::make_pair(8, 6));

    // Targa says its rows run from the top, as they are written.
    const std::string tga = Save(few, folder + "/e.tga", LT_FORMAT_TGA, 24);
    ASSERT_GE(tga.size(), 18u);
    EXPECT_EQ(tga[17] & 0x20, 0x20);
}

// Records of every depth and either colour order write their own colours.
TEST(ImagingExport, RecordsOfEveryDepthAndOrderWriteTheirColours)
{
    REQUIRE_TOOL("convert");
    const std::string folder = testing_support::MakeTempDir("depths");
    const std::string path = folder + "/p.png";
    for (int bits : { 1, 4, 8, 16, 24, 32 }) {
        for (int order : { LT_ORDER_BGR, LT_ORDER_RGB }) {
            SCOPED_TRACE(std::to_string(bits) + (order == LT_ORDER_RGB ? " RGB" : " BGR"));
            LTBITMAP picture = Pattern(19, 7, bits);
            picture.Order = order;
            // At 32 bits the record's alpha is kept (pictures without alpha
            // are opaque); 24 bits drop it.
            std::string want = RgbaOf(picture);
            Save(picture, path, LT_FORMAT_PNG, 32);
            EXPECT_EQ(Difference(PixelsOf("PNG", path), want), "");
            for (size_t i = 3; i < want.size(); i += 4)
                want[i] = '\xFF';
            Save(picture, path, LT_FORMAT_PNG, 24);
            EXPECT_EQ(Difference(PixelsOf("PNG", path), want), "");
        }
    }
}

// JPEG is lossy: it reads back at its size, in colour at 24 bits and grey at
// 8, close to the picture.
TEST(ImagingExport, JpegReadsBackCloseToThePicture)
{
    REQUIRE_TOOL("identify");
    const std::string folder = testing_support::MakeTempDir("jpeg");
    const LTBITMAP picture = Picture(Look::ManyColours, 64, 48);
    const std::string path = folder + "/p.jpg";
    Save(picture, path, LT_FORMAT_JPEG, 24, 5);
    Identified id;
    ASSERT_TRUE(Identify("JPEG", path, id));
    EXPECT_EQ(id.width, 64);
    EXPECT_EQ(id.height, 48);
    EXPECT_EQ(id.type, "TrueColor");
    EXPECT_LT(MeanError(PixelsOf("JPEG", path), RgbaOf(picture)), 6.0);

    const LTBITMAP grey = Picture(Look::GreyRamp, 64, 48);
    Save(grey, path, LT_FORMAT_JPEG, 8, 5);
    ASSERT_TRUE(Identify("JPEG", path, id));
    EXPECT_EQ(id.type, "Grayscale");
    EXPECT_LT(MeanError(PixelsOf("JPEG", path), RgbaOf(grey)), 12.0);
}

// PostScript renders with ghostscript pixel for pixel at one pixel per
// point, at every depth it stores; its bounding box is the picture's size.
TEST(ImagingExport, EpsRendersExactlyThroughGhostscript)
{
    REQUIRE_TOOL("gs");
    const std::string folder = testing_support::MakeTempDir("eps");
    struct Case {
        Look look;
        int bits;
    };
    for (Case c : { Case { Look::ManyColours, 24 }, Case { Look::FiveColours, 8 }, Case { Look::GreyRamp, 8 },
             Case { Look::FiveColours, 4 }, Case { Look::BlackWhite, 1 }, Case { Look::TwoColours, 1 } }) {
        SCOPED_TRACE(std::to_string(int(c.look)) + " at " + std::to_string(c.bits));
        const LTBITMAP picture = Picture(c.look, 45, 19);
        const std::string path = folder + "/p.eps";
        const std::string file = Save(picture, path, LT_FORMAT_EPS, c.bits);
        EXPECT_TRUE(StartsWith(file, "%!PS-Adobe-3.0 EPSF-3.0\n"));
        EXPECT_NE(file.find("\n%%BoundingBox: 0 0 45 19\n"), std::string::npos);
        EXPECT_EQ(file.find("\n%%", file.find("image\n")), file.find("\n%%Trailer"))
            << "no data line may look like a comment";
        int width = 0;
        int height = 0;
        const std::string rendered = Rendered(path, width, height);
        EXPECT_EQ(width, 45);
        EXPECT_EQ(height, 19);
        EXPECT_EQ(Difference(rendered, RgbaOf(picture)), "");
    }

    // A large dark picture: runs of zero groups, many data lines, a short
    // last group, and a first pixel whose data begins with '%', which must
    // not start a line.
    LTBITMAP black;
    ASSERT_EQ(LtAllocateBitmap(&black, 301, 77, 24), LT_SUCCESS);
    black.Pixels[2] = 13;
    black.Pixels[size_t(black.BytesPerLine) * 76 + 300 * 3] = 255;
    const std::string path = folder + "/black.eps";
    const std::string file = Save(black, path, LT_FORMAT_EPS, 24);
    const size_t data = file.find("image\n") + 6;
    EXPECT_EQ(file.substr(data, 2), " %");
    for (size_t line = file.find('\n', data); line < file.find("~>"); line = file.find('\n', line + 1)) {
        ASSERT_NE(file[line + 1], '%') << line;
        ASSERT_LE(file.find('\n', line + 1) - line, 77u) << line;
    }
    int width = 0;
    int height = 0;
    EXPECT_EQ(Difference(Rendered(path, width, height), RgbaOf(black)), "");
}

// A picture of many colours asked at a palette depth gets an optimised
// palette; at 1 bit it is dithered to black and white, keeping its
// brightness. Two colours stay two colours where the format has a palette
// at 1 bit and become black (the darker) and white where it has none.
TEST(ImagingExport, DepthsBelowThePictureReduceItFaithfully)
{
    REQUIRE_TOOL("identify");
    const std::string folder = testing_support::MakeTempDir("reduce");
    const LTBITMAP picture = Picture(Look::ManyColours, 64, 64);
    const std::string source = RgbaOf(picture);

    Save(picture, folder + "/p.gif", LT_FORMAT_GIF, 8);
    Identified id;
    ASSERT_TRUE(Identify("GIF", folder + "/p.gif", id));
    EXPECT_EQ(id.type, "Palette");
    // Dithering trades each pixel's error for the right colour on average.
    const std::string gif = PixelsOf("GIF", folder + "/p.gif");
    EXPECT_LT(MeanError(gif, source), 12.0);
    EXPECT_LT(MeanError(Averaged(gif, 64), Averaged(source, 64)), 2.0);

    Save(picture, folder + "/p.bmp", LT_FORMAT_BMP, 4);
    std::string text;
    ASSERT_TRUE(RunCommand("identify -format %k 'BMP:" + folder + "/p.bmp'", text));
    EXPECT_LE(std::stoi(text), 16);

    const LTBITMAP grey = Picture(Look::GreyRamp, 64, 64);
    Save(grey, folder + "/p.cal", LT_FORMAT_CALS, 1);
    const std::string bw = PixelsOf("CALS", folder + "/p.cal");
    ASSERT_EQ(bw.size(), size_t(64 * 64 * 4));
    long long sumBw = 0;
    long long sumGrey = 0;
    const std::string greyRgba = RgbaOf(grey);
    for (size_t i = 0; i < bw.size(); i += 4) {
        ASSERT_TRUE(bw[i] == '\0' || bw[i] == '\xFF');
        sumBw += uint8_t(bw[i]);
        sumGrey += uint8_t(greyRgba[i]);
    }
    EXPECT_NEAR(double(sumBw) / (64 * 64), double(sumGrey) / (64 * 64), 4.0);

    const LTBITMAP two = Picture(Look::TwoColours);
    Save(two, folder + "/two.png", LT_FORMAT_PNG, 1);
    EXPECT_EQ(Difference(PixelsOf("PNG", folder + "/two.png"), RgbaOf(two)), "");
    Save(two, folder + "/two.pcx", LT_FORMAT_PCX, 1);
    const std::string pcx = PixelsOf("PCX", folder + "/two.pcx");
    ASSERT_EQ(pcx.size(), size_t(two.Width * two.Height * 4));
    for (int i = 0; i < two.Width * two.Height; ++i) {
        const bool wasBlue = RgbaAt(two, i % two.Width, i / two.Width)[2] == 180;
        ASSERT_EQ(uint8_t(pcx[size_t(i) * 4]), wasBlue ? 0 : 255) << i;
    }
}

// With the transparency flag, GIF and PNG mark the colour transparent at
// every depth and Targa at 32 bits; formats and depths without a way to say
// it write the colour as it is.
TEST(ImagingExport, TransparentColourIsMarkedWhereTheFormatCanSayIt)
{
    REQUIRE_TOOL("convert");
    const std::string folder = testing_support::MakeTempDir("transparent");
    LTBITMAP picture = Picture(Look::FiveColours);
    const auto key = RgbaAt(picture, 3, 0); // the second of the five colours
    picture.Flags |= LT_BITMAP_TRANSPARENT;
    picture.TransparentColor = RGB(key[0], key[1], key[2]);
    std::string expected = RgbaOf(picture);
    int keyed = 0;
    for (size_t i = 0; i < expected.size(); i += 4) {
        if (expected.compare(i, 3, reinterpret_cast<const char*>(key.data()), 3) == 0) {
            expected[i + 3] = '\0';
            ++keyed;
        }
    }
    ASSERT_GT(keyed, 0);

    for (Written w : { Written { LT_FORMAT_GIF, "gif", "GIF", 8 }, Written { LT_FORMAT_GIF, "gif", "GIF", 4 },
             Written { LT_FORMAT_PNG, "png", "PNG", 8 }, Written { LT_FORMAT_PNG, "png", "PNG", 24 },
             Written { LT_FORMAT_PNG, "png", "PNG", 32 }, Written { LT_FORMAT_TGA, "tga", "TGA", 32 } }) {
        SCOPED_TRACE(std::string(w.extension) + " at " + std::to_string(w.bits));
        const std::string path = folder + "/t" + std::to_string(w.bits) + "." + w.extension;
        Save(picture, path, w.format, w.bits);
        const std::string back = PixelsOf(w.coder, path);
        ASSERT_EQ(back.size(), expected.size());
        for (size_t i = 0; i < back.size(); i += 4) {
            ASSERT_EQ(back[i + 3], expected[i + 3]) << "pixel " << i / 4;
            if (expected[i + 3] != '\0') {
                ASSERT_EQ(back.substr(i, 3), expected.substr(i, 3)) << "pixel " << i / 4;
            }
        }
    }
    for (Written w : { Written { LT_FORMAT_TGA, "tga", "TGA", 24 }, Written { LT_FORMAT_BMP, "bmp", "BMP", 32 } }) {
        SCOPED_TRACE(std::string(w.extension) + " at " + std::to_string(w.bits));
        const std::string path = folder + "/o" + std::to_string(w.bits) + "." + w.extension;
        Save(picture, path, w.format, w.bits);
        EXPECT_EQ(Difference(PixelsOf(w.coder, path), RgbaOf(picture)), "");
    }

    // A picture of more colours than the palette: the transparent colour
    // keeps an entry of its own while the others are reduced.
    LTBITMAP many = Picture(Look::ManyColours, 64, 64);
    const auto manyKey = RgbaAt(many, 5, 5);
    many.Flags |= LT_BITMAP_TRANSPARENT;
    many.TransparentColor = RGB(manyKey[0], manyKey[1], manyKey[2]);
    Save(many, folder + "/many.gif", LT_FORMAT_GIF, 8);
    const std::string manyBack = PixelsOf("GIF", folder + "/many.gif");
    ASSERT_EQ(manyBack.size(), size_t(64 * 64 * 4));
    for (int i = 0; i < 64 * 64; ++i) {
        const bool isKey = RgbaAt(many, i % 64, i / 64) == manyKey;
        ASSERT_EQ(uint8_t(manyBack[size_t(i) * 4 + 3]), isKey ? 0 : 255) << i;
    }

    // Without the flag nothing is transparent.
    picture.Flags &= BYTE(~LT_BITMAP_TRANSPARENT);
    Save(picture, folder + "/plain.gif", LT_FORMAT_GIF, 8);
    EXPECT_EQ(Difference(PixelsOf("GIF", folder + "/plain.gif"), RgbaOf(picture)), "");
}

// Depths a format cannot store and formats we do not write are refused with
// their codes before anything is written.
TEST(ImagingExport, UnwritableFormatsAndDepthsAreRefused)
{
    const LTBITMAP picture = Picture(Look::FiveColours);
    HGLOBAL memory = nullptr;
    DWORD size = 0;
    for (int format : { LT_FORMAT_PCD, LT_FORMAT_ICO, 0, 999 }) {
        EXPECT_EQ(LtSaveToMemory(&memory, &picture, format, 24, 0, &size), LT_ERR_FORMAT) << format;
        EXPECT_EQ(memory, nullptr);
    }
    struct Refused {
        int format;
        int bits;
    };
    for (Refused r : { Refused { LT_FORMAT_GIF, 24 }, Refused { LT_FORMAT_GIF, 32 }, Refused { LT_FORMAT_CALS, 8 },
             Refused { LT_FORMAT_JPEG, 1 }, Refused { LT_FORMAT_JPEG, 32 }, Refused { LT_FORMAT_PSD, 8 }, Refused { LT_FORMAT_PSD, 32 },
             Refused { LT_FORMAT_TGA, 1 }, Refused { LT_FORMAT_PCX, 32 }, Refused { LT_FORMAT_PCT, 32 },
             Refused { LT_FORMAT_EPS, 32 }, Refused { LT_FORMAT_PNG, 16 }, Refused { LT_FORMAT_BMP, 16 },
             Refused { LT_FORMAT_BMP, 0 }, Refused { LT_FORMAT_PNG, 7 }, Refused { LT_FORMAT_WMF, 32 },
             Refused { LT_FORMAT_WPG, 24 }, Refused { LT_FORMAT_MAC, 8 }, Refused { LT_FORMAT_MSP, 4 },
             Refused { LT_FORMAT_IMG, 24 } }) {
        EXPECT_EQ(LtSaveToMemory(&memory, &picture, r.format, r.bits, 0, &size), LT_ERR_BITS_FOR_FORMAT)
            << r.format << " at " << r.bits;
    }
}

// A save that fails for any reason leaves the file that was there byte for
// byte and no other file beside it; a new file appears only when whole.
TEST(ImagingExport, FailedSavesLeaveTheOldFileByteForByte)
{
    const std::string folder = testing_support::MakeTempDir("keep");
    const std::string path = folder + "/picture.png";
    const std::string old = "the old picture\n";
    testing_support::WriteFileBytes(path, old);
    const LTBITMAP picture = Picture(Look::FiveColours);
    const std::string target = WindowsPath(path);

    EXPECT_EQ(LtSaveFile(target.c_str(), &picture, LT_FORMAT_PCD, 24, 0), LT_ERR_FORMAT);
    EXPECT_EQ(LtSaveFile(target.c_str(), &picture, LT_FORMAT_GIF, 24, 0), LT_ERR_BITS_FOR_FORMAT);
    LTBITMAP empty;
    EXPECT_EQ(LtSaveFile(target.c_str(), &empty, LT_FORMAT_PNG, 24, 0), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(ReadBytes(path), old);

    // The disk fills up halfway through the new bytes.
    platform::SetReplaceWriteStepForTests([](int fd, const void* data, size_t size) {
        if (write(fd, data, size / 2) < 0)
            return false;
        errno = ENOSPC;
        return false;
    });
    EXPECT_EQ(LtSaveFile(target.c_str(), &picture, LT_FORMAT_PNG, 24, 0), LT_ERR_WRITE);
    EXPECT_EQ(LtSaveFile(target.c_str(), &picture, LT_FORMAT_EPS, 24, 0), LT_ERR_WRITE);
    for (int format : { LT_FORMAT_WMF, LT_FORMAT_WPG, LT_FORMAT_MAC, LT_FORMAT_MSP, LT_FORMAT_IMG })
        EXPECT_EQ(LtSaveFile(target.c_str(), &picture, format, 1, 0), LT_ERR_WRITE) << format;
    const std::string fresh = folder + "/fresh.bmp";
    EXPECT_EQ(LtSaveFile(WindowsPath(fresh).c_str(), &picture, LT_FORMAT_BMP, 24, 0), LT_ERR_WRITE);
    platform::SetReplaceWriteStepForTests(nullptr);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string> { "picture.png" });

    // Once the disk works the save replaces the file, still alone.
    EXPECT_EQ(LtSaveFile(target.c_str(), &picture, LT_FORMAT_PNG, 24, 0), LT_SUCCESS);
    EXPECT_TRUE(StartsWith(ReadBytes(path), "\x89PNG"));
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string> { "picture.png" });
}
