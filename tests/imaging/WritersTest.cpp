// The writers of Windows metafiles, WordPerfect graphics, MacPaint,
// Microsoft Paint and GEM raster: pictures of every depth written and read
// back by our own readers and metafile player, by outside readers, and
// damaged files of the formats we read ourselves refused without harm.

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Metafile.h"
#include "platform/imaging/Imaging.h"
#include "tests/gdi/DrawTestSupport.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

using gditest::MemoryCanvas;
using namespace imaging_test;

namespace {

std::string Saved(const LTBITMAP& picture, int format, int bits)
{
    HGLOBAL memory = nullptr;
    DWORD size = 0;
    const int result = LtSaveToMemory(&memory, &picture, format, bits, 0, &size);
    EXPECT_EQ(result, LT_SUCCESS) << "format " << format << " at " << bits;
    if (result != LT_SUCCESS)
        return {};
    std::string bytes(static_cast<const char*>(GlobalLock(memory)), size);
    GlobalUnlock(memory);
    GlobalFree(memory);
    return bytes;
}

// The colours of a picture, row by row, as "r,g,b" words (alpha left out:
// none of these formats has any).
std::vector<COLORREF> ColoursOf(const LTBITMAP& bitmap, int width, int height)
{
    std::vector<COLORREF> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto c = RgbaAt(bitmap, x, y);
            out.push_back(RGB(c[0], c[1], c[2]));
        }
    }
    return out;
}

// Where two pictures first differ, or "" when they do not.
std::string Difference(const std::vector<COLORREF>& got, const std::vector<COLORREF>& want, int width)
{
    if (got.size() != want.size())
        return "sizes " + std::to_string(got.size()) + " and " + std::to_string(want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "at %d,%d: %06lx for %06lx", int(i % size_t(width)),
                int(i / size_t(width)), (unsigned long)got[i], (unsigned long)want[i]);
            return text;
        }
    }
    return "";
}

LTBITMAP Loaded(const std::string& bytes)
{
    LTBITMAP back;
    EXPECT_EQ(LtMemLoad(bytes.data(), &back, 24, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
    return back;
}

// Black and white at 24 bits, made for the run coders: flat stretches longer
// than a count holds, a dithered-looking band, rows repeated more often than
// a repeat count holds, and a width that is no multiple of 8.
LTBITMAP BlackAndWhite(int width, int height)
{
    LTBITMAP bitmap;
    LtAllocateBitmap(&bitmap, width, height, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool black = false;
            if (y < height / 3)
                black = (x * 7 + y * 3) % 11 < 4;
            else if (y < height / 3 + 2)
                black = x > width / 2;
            else if (y > height - 3)
                black = (x / 3) % 2 == 0;
            else
                black = x % 64 < 20; // the same row hundreds of times
            BYTE* p = &bitmap.Pixels[size_t(y) * size_t(bitmap.BytesPerLine) + size_t(x) * 3];
            p[0] = p[1] = p[2] = black ? 0 : 255;
        }
    }
    return bitmap;
}

// The same picture at another depth, every colour kept.
LTBITMAP AtDepth(const LTBITMAP& picture, int bits)
{
    LTBITMAP out;
    EXPECT_EQ(LtColorRes(&out, &picture, bits, LT_COLORRES_OPTIMIZED, nullptr, 0, 0, 0), LT_SUCCESS);
    return out;
}

// What the library makes of a picture at one bit of black and white for a
// format that knows only those two: PCX's, read back.
std::vector<COLORREF> EngineBlackAndWhite(const LTBITMAP& picture)
{
    const LTBITMAP back = Loaded(Saved(picture, LT_FORMAT_PCX, 1));
    return ColoursOf(back, picture.Width, picture.Height);
}

struct Case {
    std::string name;
    LTBITMAP picture;
};

// Pictures of 1, 4, 8 and 24 bits of black and white (kept exactly by every
// writer) and of colour.
std::vector<Case> BlackAndWhiteCases()
{
    const LTBITMAP bw = BlackAndWhite(700, 300);
    return { { "bw1", AtDepth(bw, 1) }, { "bw4", AtDepth(bw, 4) }, { "bw8", AtDepth(bw, 8) }, { "bw24", bw } };
}

std::vector<Case> ColourCases()
{
    // 15 x 11 pixels at 24 bits are fewer colours than 8 bits hold.
    return { { "c1", Pattern(37, 21, 1) }, { "c4", Pattern(37, 21, 4) }, { "c8", Pattern(37, 21, 8) },
        { "c24", Pattern(15, 11, 24) } };
}

constexpr int kBilevelFormats[] = { LT_FORMAT_MAC, LT_FORMAT_MSP, LT_FORMAT_IMG };

const char* NameOf(int format)
{
    switch (format) {
    case LT_FORMAT_MAC:
        return "mac";
    case LT_FORMAT_MSP:
        return "msp";
    case LT_FORMAT_IMG:
        return "img";
    case LT_FORMAT_WPG:
        return "wpg";
    default:
        return "wmf";
    }
}

// A MacPaint page read back: the picture at its top left, white elsewhere.
std::vector<COLORREF> OnMacPaintPage(const std::vector<COLORREF>& picture, int width, int height)
{
    std::vector<COLORREF> page(576 * 720, RGB(255, 255, 255));
    for (int y = 0; y < height && y < 720; ++y)
        for (int x = 0; x < width && x < 576; ++x)
            page[size_t(y) * 576 + size_t(x)] = picture[size_t(y) * size_t(width) + size_t(x)];
    return page;
}

std::vector<COLORREF> Expected(int format, const std::vector<COLORREF>& picture, int width, int height)
{
    return format == LT_FORMAT_MAC ? OnMacPaintPage(picture, width, height) : picture;
}

// ---- Outside readers ----------------------------------------------------------------------

bool HaveTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A PBM, PGM or PPM file's size and colours.
bool ReadPnm(const std::string& bytes, int& width, int& height, std::vector<COLORREF>& colours)
{
    std::istringstream in(bytes);
    auto field = [&in]() {
        std::string token;
        while (in >> token && token[0] == '#')
            std::getline(in, token);
        return token;
    };
    const std::string magic = field();
    width = std::atoi(field().c_str());
    height = std::atoi(field().c_str());
    const int maximum = magic == "P4" ? 1 : std::atoi(field().c_str());
    in.get();
    if (width <= 0 || height <= 0 || maximum != (magic == "P4" ? 1 : 255))
        return false;
    colours.clear();
    if (magic == "P4") {
        const size_t rowBytes = (size_t(width) + 7) / 8;
        std::string row(rowBytes, '\0');
        for (int y = 0; y < height; ++y) {
            if (!in.read(row.data(), std::streamsize(rowBytes)))
                return false;
            for (int x = 0; x < width; ++x) {
                const bool black = (uint8_t(row[size_t(x) / 8]) >> (7 - x % 8)) & 1;
                colours.push_back(black ? RGB(0, 0, 0) : RGB(255, 255, 255));
            }
        }
        return true;
    }
    const int channels = magic == "P6" ? 3 : magic == "P5" ? 1 : 0;
    if (channels == 0)
        return false;
    std::string pixel(size_t(channels), '\0');
    for (int i = 0; i < width * height; ++i) {
        if (!in.read(pixel.data(), channels))
            return false;
        const auto c = [&](int k) { return uint8_t(pixel[size_t(channels == 3 ? k : 0)]); };
        colours.push_back(RGB(c(0), c(1), c(2)));
    }
    return true;
}

} // namespace

// Every writer, every depth it holds, read back by our own reader. Black and
// white stays as it is; colour pictures keep their colours where the format
// has a palette, and become the same black and white the library makes for
// PCX where it has none.
TEST(ImagingWriters, OurReadersReadBackWhatEachWriterWrote)
{
    for (Case& c : BlackAndWhiteCases()) {
        const std::vector<COLORREF> want = ColoursOf(c.picture, c.picture.Width, c.picture.Height);
        for (int format : kBilevelFormats) {
            SCOPED_TRACE(c.name + " as " + NameOf(format));
            const LTBITMAP back = Loaded(Saved(c.picture, format, 1));
            ASSERT_EQ(back.Width, format == LT_FORMAT_MAC ? 576 : c.picture.Width);
            ASSERT_EQ(back.Height, format == LT_FORMAT_MAC ? 720 : c.picture.Height);
            EXPECT_EQ(Difference(ColoursOf(back, back.Width, back.Height),
                          Expected(format, want, c.picture.Width, c.picture.Height), back.Width),
                "");
        }
    }
    for (Case& c : ColourCases()) {
        const int width = c.picture.Width;
        const int height = c.picture.Height;
        const std::vector<COLORREF> want = ColoursOf(c.picture, width, height);
        const std::vector<COLORREF> dithered = EngineBlackAndWhite(c.picture);
        for (int format : kBilevelFormats) {
            SCOPED_TRACE(c.name + " as " + NameOf(format));
            const LTBITMAP back = Loaded(Saved(c.picture, format, 1));
            EXPECT_EQ(Difference(ColoursOf(back, back.Width, back.Height), Expected(format, dithered, width, height),
                          back.Width),
                "");
        }
        // WordPerfect graphics at the picture's own depth (8 for 24 bits).
        const int bits = c.picture.BitsPerPixel == 24 ? 8 : c.picture.BitsPerPixel;
        SCOPED_TRACE(c.name + " as wpg");
        const std::string wpg = Saved(c.picture, LT_FORMAT_WPG, bits);
        LTFILEINFO info;
        ASSERT_EQ(LtMemInfo(wpg.data(), &info, DWORD(wpg.size()), 0), LT_SUCCESS);
        EXPECT_EQ(info.Format, LT_FORMAT_WPG);
        EXPECT_EQ(Difference(ColoursOf(Loaded(wpg), width, height), want, width), "");
    }
}

// Microsoft Paint and GEM raster come back with their own format codes and
// sizes from files; GEM raster, which has no signature, by its extension.
TEST(ImagingWriters, FileFactsOfTheBlackAndWhiteFormats)
{
    const std::string folder = testing_support::MakeTempDir("bilevel-facts");
    const LTBITMAP picture = BlackAndWhite(45, 17);
    for (int format : kBilevelFormats) {
        const std::string path = folder + "/p." + NameOf(format);
        ASSERT_EQ(LtSaveFile(WindowsPath(path).c_str(), &picture, format, 1, 0), LT_SUCCESS);
        LTFILEINFO info;
        ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS) << path;
        EXPECT_EQ(info.Format, format);
        EXPECT_EQ(info.BitsPerPixel, 1);
        EXPECT_EQ(info.Width, format == LT_FORMAT_MAC ? 576 : 45);
        LTBITMAP back;
        ASSERT_EQ(LtLoadFile(WindowsPath(path).c_str(), &back, 0, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
                      nullptr, nullptr),
            LT_SUCCESS);
        EXPECT_EQ(back.BitsPerPixel, 1);
    }
    // Under another name a GEM raster is not guessed at.
    const std::string renamed = folder + "/p.dat";
    std::rename((folder + "/p.img").c_str(), renamed.c_str());
    LTFILEINFO info;
    EXPECT_EQ(LtFileInfo(WindowsPath(renamed).c_str(), &info), LT_ERR_FORMAT);
}

// A picture larger than MacPaint's page keeps the part that fits, from the
// top left.
TEST(ImagingWriters, MacPaintKeepsThePartOfALargePictureThatFitsItsPage)
{
    const LTBITMAP large = BlackAndWhite(650, 800);
    const LTBITMAP back = Loaded(Saved(large, LT_FORMAT_MAC, 1));
    ASSERT_EQ(back.Width, 576);
    ASSERT_EQ(back.Height, 720);
    for (int y = 0; y < 720; y += 7)
        for (int x = 0; x < 576; ++x)
            ASSERT_EQ(RgbaAt(back, x, y), RgbaAt(large, x, y)) << x << "," << y;
}

// The exported metafile, played by our own player at its frame's size,
// shows the picture's pixels at every depth it is written at.
TEST(ImagingWriters, OurPlayerShowsTheMetafileAsThePicture)
{
    const std::string folder = testing_support::MakeTempDir("wmf");
    std::vector<Case> cases = ColourCases();
    cases.push_back({ "c24-many", Pattern(61, 29, 24) });
    for (Case& c : cases) {
        const int bits = c.picture.BitsPerPixel;
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/" + c.name + ".wmf";
        ASSERT_EQ(LtSaveFile(WindowsPath(path).c_str(), &c.picture, LT_FORMAT_WMF, bits, 0), LT_SUCCESS);
        HMETAFILE mf = GetMetaFile(WindowsPath(path).c_str());
        ASSERT_NE(mf, nullptr);
        platform::PlaceableMetaHeader header;
        ASSERT_TRUE(platform::GetMetaFilePlaceableHeader(mf, &header));
        EXPECT_TRUE(header.checksumValid);
        EXPECT_EQ(header.unitsPerInch, 96);
        const SIZE natural = platform::PlaceableMetaSize(header, 96);
        ASSERT_EQ(natural.cx, c.picture.Width);
        ASSERT_EQ(natural.cy, c.picture.Height);
        MemoryCanvas canvas(c.picture.Width, c.picture.Height, 24);
        ASSERT_TRUE(platform::PlayPlaceableMetaFile(canvas.dc, mf, RECT { 0, 0, natural.cx, natural.cy }));
        DeleteMetaFile(mf);
        std::vector<COLORREF> drawn;
        for (int y = 0; y < c.picture.Height; ++y)
            for (int x = 0; x < c.picture.Width; ++x)
                drawn.push_back(canvas.At(x, y));
        EXPECT_EQ(Difference(drawn, ColoursOf(c.picture, c.picture.Width, c.picture.Height), c.picture.Width), "");
    }
}

// The files read by programs that are not ours, all in one run: the decoder
// library's command line reads WordPerfect graphics, MacPaint and Windows
// metafiles, netpbm reads MacPaint and GEM raster, Pillow reads Microsoft
// Paint.
TEST(ImagingWriters, OutsideReadersSeeTheSamePictures)
{
    const bool magick = HaveTool("convert");
    const bool netpbm = HaveTool("macptopbm") && HaveTool("gemtopnm");
    const bool pillow = std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") == 0;
    if (!magick && !netpbm && !pillow)
        GTEST_SKIP() << "none of ImageMagick, netpbm and Pillow is installed";
    const std::string folder = testing_support::MakeTempDir("outside");

    struct Written {
        std::string file;
        std::vector<COLORREF> want;
        int width;
        int height;
        std::string tool; // the command that reads the file to PNM on its output
    };
    std::vector<Written> written;
    auto add = [&](const std::string& name, int format, int bits, const LTBITMAP& picture,
                   const std::vector<COLORREF>& colours) {
        const std::string file = folder + "/" + name + "." + NameOf(format);
        ASSERT_EQ(LtSaveFile(WindowsPath(file).c_str(), &picture, format, bits, 0), LT_SUCCESS);
        const bool mac = format == LT_FORMAT_MAC;
        const int width = mac ? 576 : picture.Width;
        const int height = mac ? 720 : picture.Height;
        const std::vector<COLORREF> want = Expected(format, colours, picture.Width, picture.Height);
        if (magick && (format == LT_FORMAT_WPG || mac))
            written.push_back({ file, want, width, height, std::string("convert ") + (mac ? "MAC:" : "WPG:") });
        // Windows metafiles through libwmf, at the 96 units to the inch
        // they are written with, one pixel to a unit.
        if (magick && format == LT_FORMAT_WMF)
            written.push_back({ file, want, width, height, "convert -density 96 WMF:" });
        if (netpbm && mac)
            written.push_back({ file, want, width, height, "macptopbm -extraskip 128 " });
        if (netpbm && format == LT_FORMAT_IMG)
            written.push_back({ file, want, width, height, "gemtopnm " });
        if (pillow && format == LT_FORMAT_MSP)
            written.push_back({ file, want, width, height, "pillow " });
    };
    for (Case& c : BlackAndWhiteCases()) {
        const auto colours = ColoursOf(c.picture, c.picture.Width, c.picture.Height);
        add(c.name, LT_FORMAT_MAC, 1, c.picture, colours);
        add(c.name, LT_FORMAT_IMG, 1, c.picture, colours);
        add(c.name, LT_FORMAT_MSP, 1, c.picture, colours);
        add(c.name, LT_FORMAT_WPG, 1, c.picture, colours);
    }
    for (Case& c : ColourCases()) {
        const auto dithered = EngineBlackAndWhite(c.picture);
        add(c.name, LT_FORMAT_MAC, 1, c.picture, dithered);
        add(c.name, LT_FORMAT_IMG, 1, c.picture, dithered);
        add(c.name, LT_FORMAT_MSP, 1, c.picture, dithered);
        const int bits = c.picture.BitsPerPixel == 24 ? 8 : c.picture.BitsPerPixel;
        add(c.name, LT_FORMAT_WPG, bits, c.picture, ColoursOf(c.picture, c.picture.Width, c.picture.Height));
        add(c.name, LT_FORMAT_WMF, c.picture.BitsPerPixel, c.picture,
            ColoursOf(c.picture, c.picture.Width, c.picture.Height));
    }

    // One shell for the whole batch; each reading goes to a file of its own.
    std::string script;
    std::string pillowFiles;
    for (size_t i = 0; i < written.size(); ++i) {
        const Written& w = written[i];
        const std::string out = folder + "/out" + std::to_string(i) + ".pnm";
        if (w.tool.rfind("convert", 0) == 0)
            script += w.tool + "'" + w.file + "[0]' -depth 8 'ppm:" + out + "'\n";
        else if (w.tool == "pillow ")
            pillowFiles += " '" + w.file + "' '" + out + "'";
        else
            script += w.tool + "'" + w.file + "' > '" + out + "'\n";
    }
    if (!pillowFiles.empty()) {
        script += "/usr/bin/python3 -c 'import sys\nfrom PIL import Image\nfor a, b in zip(sys.argv[1::2], "
                  "sys.argv[2::2]): Image.open(a).convert(\"RGB\").save(b, \"PPM\")'"
            + pillowFiles + "\n";
    }
    const std::string scriptPath = folder + "/read.sh";
    testing_support::WriteFileBytes(scriptPath, script);
    ASSERT_EQ(std::system(("sh '" + scriptPath + "' 2>/dev/null").c_str()), 0);
    for (size_t i = 0; i < written.size(); ++i) {
        const Written& w = written[i];
        SCOPED_TRACE(w.tool + w.file);
        int width = 0;
        int height = 0;
        std::vector<COLORREF> colours;
        ASSERT_TRUE(ReadPnm(ReadBytes(folder + "/out" + std::to_string(i) + ".pnm"), width, height, colours));
        ASSERT_EQ(width, w.width);
        ASSERT_EQ(height, w.height);
        EXPECT_EQ(Difference(colours, w.want, width), "");
    }
}

// MacPaint, Microsoft Paint and GEM raster files, which our own code reads: cut short
// anywhere, with any byte changed, or declaring sizes past every limit,
// they are refused with a code or read as some picture, never more.
TEST(ImagingWriters, DamagedBlackAndWhiteFilesAreRefusedSafely)
{
    const LTBITMAP picture = BlackAndWhite(70, 40);
    const std::string folder = testing_support::MakeTempDir("bilevel-damage");
    for (int format : kBilevelFormats) {
        SCOPED_TRACE(NameOf(format));
        const std::string good = Saved(picture, format, 1);
        const std::string path = folder + "/d." + NameOf(format);
        auto load = [&](const std::string& bytes) {
            testing_support::WriteFileBytes(path, bytes);
            LTBITMAP back;
            const int result = LtLoadFile(WindowsPath(path).c_str(), &back, 0, LT_ORDER_BGR,
                LT_LOAD_ALLOCATE | LT_LOAD_STORE, nullptr, nullptr);
            if (result == LT_SUCCESS) {
                EXPECT_LE(back.Width, 0xFFFF);
                EXPECT_EQ(back.Pixels.size(), size_t(back.BytesPerLine) * size_t(back.Height));
            } else {
                EXPECT_TRUE(back.Pixels.empty());
            }
            return result;
        };
        // MacPaint's last block is padding.
        const size_t whole = format == LT_FORMAT_MAC ? good.size() - 128 : good.size();
        for (size_t cut = 0; cut < whole; cut += 3)
            EXPECT_NE(load(good.substr(0, cut)), LT_SUCCESS) << "cut at " << cut;
        for (size_t at = 0; at < good.size(); ++at) {
            std::string bad = good;
            bad[at] = char(bad[at] ^ 0xA5);
            load(bad);
        }
        if (format == LT_FORMAT_MAC)
            continue; // its page has one size
        // Sides of 65535 (width and height words at 4 and 6 for Paint, 12 and
        // 14 for GEM) are over the pixel limit.
        std::string huge = good;
        const size_t sides = format == LT_FORMAT_MSP ? 4 : 12;
        for (size_t i = sides; i < sides + 4; ++i)
            huge[i] = char(0xFF);
        EXPECT_EQ(load(huge), LT_ERR_TOO_LARGE);
    }
}

// MacPaint files from elsewhere, raw and in their MacBinary envelope, read
// as netpbm reads them (one shell for the batch).
TEST(ImagingWriters, MacPaintFilesReadAsNetpbmReadsThem)
{
    const std::string folder = TestData("macpaint");
    if (!std::ifstream(folder + "/github-haraldk_TwelveMonkeys__MARBLES.MAC"))
        GTEST_SKIP() << "no test data";
    if (!HaveTool("macptopbm"))
        GTEST_SKIP() << "netpbm is not installed";
    const std::string out = testing_support::MakeTempDir("macpaint");
    const char* const files[] = { "github-haraldk_TwelveMonkeys__MARBLES.MAC", "github-haraldk_TwelveMonkeys__porsches.mac",
        "src-graphicsmagick__input.mac" };
    std::string script;
    for (size_t i = 0; i < std::size(files); ++i) {
        // netpbm is told of the envelope; it does not look for one itself.
        const bool wrapped = ReadBytes(folder + "/" + files[i]).substr(65, 4) == "PNTG";
        script += std::string("macptopbm ") + (wrapped ? "-extraskip 128 " : "") + "'" + folder + "/" + files[i]
            + "' > '" + out + "/" + std::to_string(i) + ".pbm'\n";
    }
    testing_support::WriteFileBytes(out + "/read.sh", script);
    ASSERT_EQ(std::system(("sh '" + out + "/read.sh' 2>/dev/null").c_str()), 0);
    for (size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(files[i]);
        int width = 0;
        int height = 0;
        std::vector<COLORREF> want;
        ASSERT_TRUE(ReadPnm(ReadBytes(out + "/" + std::to_string(i) + ".pbm"), width, height, want));
        LTBITMAP back;
        ASSERT_EQ(LtLoadFile(WindowsPath(folder + "/" + files[i]).c_str(), &back, 0, LT_ORDER_BGR,
                      LT_LOAD_ALLOCATE | LT_LOAD_STORE, nullptr, nullptr),
            LT_SUCCESS);
        ASSERT_EQ(back.Width, width);
        ASSERT_EQ(back.Height, height);
        EXPECT_EQ(Difference(ColoursOf(back, width, height), want, width), "");
    }
}
