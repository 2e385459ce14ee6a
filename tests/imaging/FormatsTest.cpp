// Every picture format the library reads, checked against pictures decoded
// by other programs: gdk-pixbuf's reference PNGs (Targa, icons), the GIF
// suite's first frames, the same picture saved in several formats, and
// otherwise the `convert` program's PNG of the same file.

#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestData.h"
#include "tests/support/BackgroundTasks.h"
#include "tests/support/TestHome.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <set>
#include <sstream>

using namespace imaging_test;

namespace {

const char* const Folders[] = { "bmp", "dib", "gif", "ico", "jpeg", "pcd", "pcx", "pict", "png", "psd", "sunras",
    "tga", "tiff", "wpg", "macpaint", "samepicture" };

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    std::string dir = TestData(folder);
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] != '.')
                files.push_back(dir + "/" + e->d_name);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string BaseName(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

int Load(const std::string& path, LTBITMAP& bitmap, int bits = 0)
{
    return LtLoadFile(WindowsPath(path).c_str(), &bitmap, bits, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE, nullptr,
        nullptr);
}

// Pixels of a record against a reference, channel by channel within
// tolerance; the colour of a pixel the reference shows fully transparent
// does not count. Reports the first few differences.
int CountMismatches(const LTBITMAP& bitmap, const Reference& ref, int tolerance, bool withAlpha)
{
    int mismatches = 0;
    for (int y = 0; y < ref.height; ++y) {
        for (int x = 0; x < ref.width; ++x) {
            auto got = RgbaAt(bitmap, x, y);
            const uint8_t* want = &ref.rgba[(size_t(y) * size_t(ref.width) + size_t(x)) * 4];
            bool same = true;
            if (withAlpha && std::abs(int(got[3]) - int(want[3])) > tolerance)
                same = false;
            if (!withAlpha || want[3] != 0) {
                for (int c = 0; c < 3; ++c)
                    same = same && std::abs(int(got[size_t(c)]) - int(want[c])) <= tolerance;
            }
            if (!same && ++mismatches <= 3) {
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got[0]) << "," << int(got[1]) << ","
                              << int(got[2]) << "," << int(got[3]) << " not " << int(want[0]) << "," << int(want[1])
                              << "," << int(want[2]) << "," << int(want[3]);
            }
        }
    }
    return mismatches;
}

// One reading of the `convert` program: the first picture of a file, with
// the coder named, written as a PNG.
struct Conversion {
    std::string path;
    std::string coder;
    std::string out;
};

std::string ConvertCommand(const Conversion& c)
{
    // A Photo CD's scene number picks its resolution, not a page.
    const std::string first = c.coder == "PCD" ? "" : "[0]";
    return "convert '" + c.coder + ":" + c.path + first + "' -depth 8 png32:'" + c.out + "' >/dev/null 2>&1";
}

// A conversion in a process of its own; no PNG when it fails.
void ConvertAlone(const Conversion& c)
{
    if (std::system(ConvertCommand(c).c_str()) != 0)
        std::remove(c.out.c_str());
}

// Runs the conversions in a few batches at once, one `convert` per batch,
// each picture read and written inside parentheses whose settings end
// there. A batch that fails is done again one picture a process, so that a
// picture the program refuses costs only its own reference. The Sun raster
// coder gives other pixels when it is not the first picture of its process,
// so those files always get one of their own.
std::future<void> ConvertInBackground(const std::vector<Conversion>& conversions)
{
    const size_t nBatches = 4;
    std::vector<std::vector<Conversion>> batches(nBatches);
    std::vector<std::function<void()>> tasks;
    size_t nBatched = 0;
    for (const Conversion& c : conversions) {
        if (c.coder == "SUN")
            tasks.push_back([c] { ConvertAlone(c); });
        else
            batches[nBatched++ % nBatches].push_back(c);
    }
    for (std::vector<Conversion>& batch : batches) {
        if (batch.empty())
            continue;
        std::string command = "convert -respect-parentheses";
        for (size_t i = 0; i < batch.size(); ++i) {
            const Conversion& c = batch[i];
            const std::string first = c.coder == "PCD" ? "" : "[0]";
            command += " \\( '" + c.coder + ":" + c.path + first + "' -depth 8 -write png32:'" + c.out + "'";
            // The last picture stays for null:, which wants one.
            command += i + 1 < batch.size() ? " +delete \\)" : " \\)";
        }
        command += " null: >/dev/null 2>&1";
        tasks.push_back([command, batch = std::move(batch)] {
            if (std::system(command.c_str()) == 0)
                return;
            for (const Conversion& c : batch)
                ConvertAlone(c);
        });
    }
    return testing_support::RunInBackground(std::move(tasks));
}

// Files other programs refuse or that are damaged on purpose; each must be
// refused here too.
const std::set<std::string> MustRefuse = {
    "src-pillow__pcx_overrun.bin",
    "src-pillow__pcx_overrun2.bin",
    "bin-gdk-pixbuf-tests__DoS.tga",
    "bin-gdk-pixbuf-tests__androstanRezeptor.tga",
    "bin-gdk-pixbuf-tests__colormap-image-without-colormap.tga",
    "bin-gdk-pixbuf-tests__empty-file.tga",
    "github-haraldk_TwelveMonkeys__short-packbits.psd",
    "src-graphicsmagick__input1_8_1.wpg",
};

} // namespace

// Every file of the picture folders loads whole, from its file and from
// memory alike, at the depth the file information gives, or is refused with
// a code and no pixels. The refused ones are listed.
TEST(ImagingFormats, EveryTestDataFileLoadsOrIsRefusedWithACode)
{
    REQUIRE_TESTDATA();
    int loaded = 0;
    std::map<int, int> formats;
    std::ostringstream refusedList;
    for (const char* folder : Folders) {
        for (const std::string& path : FilesIn(folder)) {
            SCOPED_TRACE(path);
            const std::string bytes = ReadBytes(path);
            LTBITMAP bitmap;
            const int result = Load(path, bitmap);
            LTFILEINFO info;
            const int infoResult = LtFileInfo(WindowsPath(path).c_str(), &info);
            if (MustRefuse.count(BaseName(path))) {
                EXPECT_NE(result, LT_SUCCESS);
            }
            if (result != LT_SUCCESS) {
                EXPECT_TRUE(result < 0) << result;
                EXPECT_FALSE(bitmap.Flags & LT_BITMAP_ALLOCATED);
                EXPECT_TRUE(bitmap.Pixels.empty());
                refusedList << "  " << folder << "/" << BaseName(path) << ": " << result << "\n";
                continue;
            }
            ++loaded;
            ASSERT_EQ(infoResult, LT_SUCCESS);
            ++formats[info.Format];
            EXPECT_EQ(info.Width, bitmap.Width);
            EXPECT_EQ(info.Height, bitmap.Height);
            EXPECT_EQ(info.BitsPerPixel, bitmap.BitsPerPixel);
            EXPECT_EQ(info.FileSize, bytes.size());
            EXPECT_EQ(bitmap.BytesPerLine % 4, 0);
            EXPECT_EQ(bitmap.Pixels.size(), size_t(bitmap.BytesPerLine) * size_t(bitmap.Height));
            if (bitmap.BitsPerPixel <= 8) {
                EXPECT_EQ(bitmap.Palette.size(), size_t(1) << bitmap.BitsPerPixel);
            }

            // From memory alike, Targa and raw MacPaint (which have no
            // signature) among them.
            LTFILEINFO memoryInfo;
            ASSERT_EQ(LtMemInfo(bytes.data(), &memoryInfo, DWORD(bytes.size()), 0), LT_SUCCESS);
            EXPECT_EQ(memoryInfo.Format, info.Format);
            LTBITMAP fromMemory;
            const int memoryResult = LtMemLoad(bytes.data(), &fromMemory, 0, LT_ORDER_BGR, DWORD(bytes.size()));
            ASSERT_EQ(memoryResult, LT_SUCCESS);
            EXPECT_EQ(fromMemory.Width, bitmap.Width);
            EXPECT_EQ(fromMemory.BitsPerPixel, bitmap.BitsPerPixel);
            EXPECT_EQ(fromMemory.Pixels, bitmap.Pixels);
            EXPECT_EQ(fromMemory.Palette.size(), bitmap.Palette.size());
            EXPECT_TRUE(std::equal(fromMemory.Palette.begin(), fromMemory.Palette.end(), bitmap.Palette.begin(),
                bitmap.Palette.end(),
                [](const RGBQUAD& x, const RGBQUAD& y) { return std::memcmp(&x, &y, sizeof x) == 0; }));
        }
    }
    std::printf("Refused:\n%s", refusedList.str().c_str());
    EXPECT_GT(loaded, 500);
    for (int format : { LT_FORMAT_BMP, LT_FORMAT_GIF, LT_FORMAT_ICO, LT_FORMAT_JPEG, LT_FORMAT_PCD, LT_FORMAT_PCT,
             LT_FORMAT_PCX, LT_FORMAT_PNG, LT_FORMAT_PSD, LT_FORMAT_RAS, LT_FORMAT_TGA, LT_FORMAT_TIF, LT_FORMAT_WPG,
             LT_FORMAT_MAC })
        EXPECT_GT(formats[format], 0) << "format " << format;
}

// gdk-pixbuf's reference PNGs of its Targa and icon files, and Pillow's of
// its Targa files: every one that names a file is matched, alpha included.
TEST(ImagingFormats, TargaAndIconsMatchReferencesFromOtherDecoders)
{
    REQUIRE_TESTDATA();
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const char* folder : { "tga", "ico" }) {
        for (const std::string& path : FilesIn(folder)) {
            if (EndsWith(path, ".ref.png") && !MustRefuse.count(BaseName(path.substr(0, path.size() - 8))))
                pairs.emplace_back(path.substr(0, path.size() - 8), path);
        }
    }
    // Pillow's Targa files by mode: grey-alpha, colour and colour-alpha
    // pictures of one 200 x 32 drawing.
    for (const std::string& path : FilesIn("tga")) {
        const std::string name = BaseName(path);
        for (const char* mode : { "la", "rgb", "rgba" }) {
            const std::string prefix = std::string("src-pillow__200x32_") + mode + "_";
            if (name.rfind(prefix, 0) == 0 && EndsWith(name, ".tga"))
                pairs.emplace_back(path, TestData(std::string("tga/src-pillow__200x32_") + mode + ".png"));
        }
    }
    int compared = 0;
    for (const auto& [file, reference] : pairs) {
        SCOPED_TRACE(file);
        std::ifstream probe(file);
        if (!probe)
            continue; // a reference of a file the suite does not ship
        Reference ref = ReadReference(ReadBytes(reference), "PNG");
        ASSERT_TRUE(ref.ok);
        LTBITMAP bitmap;
        const int result = Load(file, bitmap);
        // Where the other decoder makes up for damage (pixels past the end,
        // indexes past the colour map) refusing is as sound.
        const std::string name = BaseName(file);
        if ((name == "bin-gdk-pixbuf-tests__rle-too-many-pixels.tga"
                || name == "bin-gdk-pixbuf-tests__colormap-too-small.tga")
            && result < 0)
            continue;
        ASSERT_EQ(result, LT_SUCCESS);
        // The other decoder shows an icon file's largest picture; ours is
        // its first.
        if (EndsWith(file, ".ico") && bitmap.Width != ref.width)
            continue;
        ASSERT_EQ(bitmap.Width, ref.width);
        ASSERT_EQ(bitmap.Height, ref.height);
        // 5-bit channels widen to 8 bits by slightly different roundings.
        EXPECT_EQ(CountMismatches(bitmap, ref, 8, true), 0);
        ++compared;
    }
    EXPECT_GT(compared, 30);
}

// The GIF suite describes each file and its first frame (a .conf naming the
// file, the screen size and the frame's R, G, B, A bytes). A frame smaller
// than the screen sits on it, the rest transparent; transparent entries load
// as alpha.
TEST(ImagingFormats, GifFirstFramesMatchTheSuite)
{
    REQUIRE_TESTDATA();
    // The suite's list of its own tests; those it marks off ('#') it does
    // not pass itself (several pictures in one frame, restore-previous).
    std::set<std::string> active;
    {
        std::ifstream list(TestData("gif/bin-gdk-pixbuf-tests__TESTS"));
        std::string name;
        while (std::getline(list, name)) {
            if (!name.empty() && name[0] != '#')
                active.insert(name);
        }
    }
    int compared = 0;
    for (const std::string& conf : FilesIn("gif")) {
        if (!EndsWith(conf, ".conf"))
            continue;
        const std::string test = BaseName(conf).substr(std::strlen("bin-gdk-pixbuf-tests__"));
        if (!active.count(test.substr(0, test.size() - 5)))
            continue;
        SCOPED_TRACE(conf);
        std::ifstream in(conf);
        std::map<std::string, std::string> values;
        std::string line;
        bool inFrame0 = false;
        while (std::getline(in, line)) {
            if (!line.empty() && line[0] == '[')
                inFrame0 = line == "[frame0]";
            const size_t eq = line.find(" = ");
            if (eq != std::string::npos)
                values[(inFrame0 ? "frame0." : "") + line.substr(0, eq)] = line.substr(eq + 3);
        }
        const std::string gif = TestData("gif/bin-gdk-pixbuf-tests__" + values["input"]);
        const std::string pixels = values["frame0.pixels"];
        if (pixels.empty() || !std::ifstream(gif))
            continue;
        Reference ref;
        ref.ok = true;
        ref.alpha = true;
        ref.width = std::atoi(values["width"].c_str());
        ref.height = std::atoi(values["height"].c_str());
        const std::string rgba = ReadBytes(TestData("gif/bin-gdk-pixbuf-tests__" + pixels));
        ref.rgba.assign(rgba.begin(), rgba.end());
        if (ref.rgba.size() != size_t(ref.width) * size_t(ref.height) * 4)
            continue;
        LTBITMAP bitmap;
        const int result = Load(gif, bitmap);
        if (result == LT_ERR_TOO_LARGE && ref.height > LT_MAX_SIDE)
            continue;
        ASSERT_EQ(result, LT_SUCCESS);
        ASSERT_EQ(bitmap.Width, ref.width);
        ASSERT_EQ(bitmap.Height, ref.height);
        bool transparent = false;
        for (size_t i = 3; i < ref.rgba.size(); i += 4)
            transparent = transparent || ref.rgba[i] != 255;
        EXPECT_EQ(bitmap.BitsPerPixel == 32, transparent);
        EXPECT_EQ(CountMismatches(bitmap, ref, 0, true), 0);
        ++compared;
    }
    EXPECT_GT(compared, 25);
}

TEST(ImagingFormats, SunRasterMatchesItsPng)
{
    REQUIRE_TESTDATA();
    LTBITMAP bitmap;
    ASSERT_EQ(Load(TestData("sunras/src-pillow__sunraster.im1"), bitmap), LT_SUCCESS);
    EXPECT_EQ(bitmap.BitsPerPixel, 1);
    Reference ref = ReadReference(ReadBytes(TestData("sunras/src-pillow__sunraster.im1.png")), "PNG");
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(bitmap.Width, ref.width);
    ASSERT_EQ(bitmap.Height, ref.height);
    EXPECT_EQ(CountMismatches(bitmap, ref, 0, false), 0);
}

// One picture saved by other programs in several formats reads the same from
// each: the horse as BMP, GIF, PCX and TIFF, the sample as BMP, PCX, icon and
// PNG (the icon's transparent pixels aside).
TEST(ImagingFormats, SamePictureInEveryFormatReadsTheSame)
{
    REQUIRE_TESTDATA();
    const std::vector<std::vector<std::string>> sets = {
        { "bin-wx3.2-examples__horse.bmp", "bin-wx3.2-examples__horse.gif", "bin-wx3.2-examples__horse.pcx",
            "bin-wx3.2-examples__horse.tif" },
        { "bin-libsdl2-image-tests__sample.bmp", "bin-libsdl2-image-tests__sample.pcx",
            "bin-libsdl2-image-tests__sample.ico", "bin-libsdl2-image-tests__sample.png" },
    };
    for (const auto& set : sets) {
        LTBITMAP first;
        ASSERT_EQ(Load(TestData("samepicture/" + set[0]), first), LT_SUCCESS);
        Reference ref;
        ref.ok = true;
        ref.alpha = true;
        ref.width = first.Width;
        ref.height = first.Height;
        for (int y = 0; y < first.Height; ++y) {
            for (int x = 0; x < first.Width; ++x) {
                auto p = RgbaAt(first, x, y);
                ref.rgba.insert(ref.rgba.end(), p.begin(), p.end());
            }
        }
        for (size_t i = 1; i < set.size(); ++i) {
            SCOPED_TRACE(set[i]);
            LTBITMAP other;
            ASSERT_EQ(Load(TestData("samepicture/" + set[i]), other), LT_SUCCESS);
            ASSERT_EQ(other.Width, first.Width);
            ASSERT_EQ(other.Height, first.Height);
            // Only the colours count: where the icon is transparent the
            // others show the background the icon's mask cuts away.
            Reference visible = ref;
            for (int y = 0; y < other.Height; ++y) {
                for (int x = 0; x < other.Width; ++x) {
                    if (RgbaAt(other, x, y)[3] == 0)
                        visible.rgba[(size_t(y) * size_t(ref.width) + size_t(x)) * 4 + 3] = 0;
                }
            }
            EXPECT_EQ(CountMismatches(other, visible, 0, false), 0);
        }
    }
}

// The files no outside reference comes with are checked against the
// `convert` program's reading of them (the coder named, the first picture).
TEST(ImagingFormats, OtherFormatsMatchTheConvertProgram)
{
    REQUIRE_TESTDATA();
    const std::map<int, const char*> coders = { { LT_FORMAT_PCD, "PCD" }, { LT_FORMAT_PCT, "PICT" },
        { LT_FORMAT_PCX, "PCX" }, { LT_FORMAT_PSD, "PSD" }, { LT_FORMAT_RAS, "SUN" }, { LT_FORMAT_TIF, "TIFF" },
        { LT_FORMAT_WPG, "WPG" }, { LT_FORMAT_MAC, "MAC" }, { LT_FORMAT_ICO, "ICO" } };
    const std::string folder = testing_support::MakeTempDir("convert");
    std::vector<Conversion> conversions;
    for (const char* pictures : { "dib", "pcd", "pcx", "pict", "psd", "sunras", "tiff", "wpg", "macpaint", "ico" }) {
        for (const std::string& path : FilesIn(pictures)) {
            if (std::ifstream(path + ".ref.png"))
                continue; // matched against its own reference
            LTFILEINFO info;
            if (LtFileInfo(WindowsPath(path).c_str(), &info) != LT_SUCCESS || !coders.count(info.Format)) {
                if (std::string(pictures) != "dib")
                    continue;
            }
            // The program reads raw MacPaint 128 bytes off, as if it were in
            // its MacBinary envelope; those files are checked against netpbm.
            if (info.Format == LT_FORMAT_MAC && ReadBytes(path).substr(65, 4) != "PNTG")
                continue;
            std::string coder = std::string(pictures) == "dib" ? "DIB" : coders.at(info.Format);
            if (coder == "PCX" && ReadBytes(path).rfind("\xB1\x68\xDE\x3A", 0) == 0)
                coder = "DCX";
            conversions.push_back({ path, coder, folder + "/ref-" + std::to_string(conversions.size()) + ".png" });
        }
    }
    // The references are made while the pictures load here.
    auto converted = ConvertInBackground(conversions);
    std::vector<LTBITMAP> bitmaps(conversions.size());
    std::vector<int> results;
    for (size_t i = 0; i < conversions.size(); ++i)
        results.push_back(Load(conversions[i].path, bitmaps[i]));
    converted.get();

    int compared = 0;
    for (size_t i = 0; i < conversions.size(); ++i) {
        SCOPED_TRACE(conversions[i].path);
        const LTBITMAP& bitmap = bitmaps[i];
        ASSERT_EQ(results[i], LT_SUCCESS);
        Reference ref = ReadReference(ReadBytes(conversions[i].out), "PNG");
        ASSERT_TRUE(ref.ok);
        ASSERT_EQ(bitmap.Width, ref.width);
        ASSERT_EQ(bitmap.Height, ref.height);
        // Rounding to 8 bits may go either way for deep pictures.
        EXPECT_EQ(CountMismatches(bitmap, ref, 1, bitmap.BitsPerPixel == 32), 0);
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

namespace {

std::string U32(uint32_t v)
{
    return std::string { char(v), char(v >> 8), char(v >> 16), char(v >> 24) };
}

// A WPG file of the given level holding one record of the given type (and
// the start and end records around it).
std::string WpgWith(int level, int type, const std::string& body)
{
    std::string bytes = std::string("\xFFWPC", 4) + U32(16) + std::string("\x01\x16", 2) + char(level)
        + std::string(5, '\0');
    if (level == 1) {
        bytes += std::string("\x0F\x06\x01\x00\x20\x00\x20\x00", 8);
        bytes += char(type) + std::string(1, char(body.size())) + body;
        bytes += std::string("\x10\x00", 2);
    } else {
        bytes += std::string("\x04\x01\x00\x04\x00\x00\x00\x00", 8);
        bytes += std::string("\x04", 1) + char(type) + std::string(1, '\0') + char(body.size()) + body;
        bytes += std::string("\x04\x02\x00\x00", 4);
    }
    return bytes;
}

// A version 2 PICT whose only content is a picture comment of that kind.
std::string PictWithComment(int kind)
{
    std::string bytes(512, '\0');
    bytes += std::string("\x00\x00\x00\x00\x00\x00\x00\x20\x00\x20", 10);
    bytes += std::string("\x00\x11\x02\xFF\x0C\x00", 6) + std::string(24, '\0');
    bytes += std::string("\x00\xA1\x00", 3) + char(kind) + std::string("\x00\x04", 2) + "abcd";
    bytes += std::string("\x00\xFF", 2);
    return bytes;
}

} // namespace

// Files that carry PostScript are refused before any decoding, and the
// decoder library itself is locked down to our coders: a program named like
// the PostScript interpreter, first on the search path, never runs.
TEST(ImagingFormats, PostScriptIsRefusedAndNoOutsideProgramRuns)
{
    const std::string bin = testing_support::MakeTempDir("fakebin");
    const std::string marker = bin + "/ran";
    for (const char* name : { "gs", "gsc", "gsx", "ghostscript", "sh", "inkscape", "rsvg-convert" }) {
        const std::string script = bin + "/" + name;
        testing_support::WriteFileBytes(script, "#!/bin/sh\n/usr/bin/touch '" + marker + "'\n");
        chmod(script.c_str(), 0755);
    }
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", bin.c_str(), 1);

    const std::string postscript = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\nshowpage\n";
    const std::vector<std::string> carriers = {
        WpgWith(1, 0x11, postscript),
        WpgWith(1, 0x11, "no text marker"),
        WpgWith(1, 0x1B, "level 2 data"),
        WpgWith(2, 0x12, "an embedded file"),
        PictWithComment(192),
        PictWithComment(194),
    };
    for (const std::string& bytes : carriers) {
        LTBITMAP bitmap;
        EXPECT_EQ(LtMemLoad(bytes.data(), &bitmap, 0, LT_ORDER_BGR, DWORD(bytes.size())), LT_ERR_SUBTYPE);
        LTFILEINFO info;
        EXPECT_EQ(LtMemInfo(bytes.data(), &info, DWORD(bytes.size()), 0), LT_ERR_SUBTYPE);
        EXPECT_TRUE(bitmap.Pixels.empty());
    }

    // Behind our own check, the library refuses the coders that would start
    // an interpreter, even when asked by name or by an embedded record.
    EXPECT_TRUE(platform::imaging::LibraryLockedDown());
    for (const auto& [coder, bytes] : std::vector<std::pair<std::string, std::string>> {
             { "PS", postscript }, { "EPS", postscript }, { "SVG", "<svg xmlns='http://www.w3.org/2000/svg'/>" },
             { "WPG", WpgWith(1, 0x11, postscript) } }) {
        SCOPED_TRACE(coder);
        Magick::Image image;
        try {
            image.quiet(true);
            image.magick(coder);
            image.read(Magick::Blob(bytes.data(), bytes.size()));
        } catch (const Magick::Exception&) {
        }
        EXPECT_EQ(image.columns() * image.rows(), 0u);
    }
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_FALSE(std::ifstream(marker)) << "an outside program ran";
}

// Targa and raw MacPaint have no signature: a name with their extension (in
// any case) lets them be tried, and only a sound header is taken. Bytes
// with no name to go by try them after every format with a signature.
TEST(ImagingFormats, TargaAndRawMacPaintAreKnownByTheirNameOnly)
{
    REQUIRE_TESTDATA();
    const std::string folder = testing_support::MakeTempDir("names");
    const std::string targa = ReadBytes(TestData("tga/github-haraldk_TwelveMonkeys__UTC24.TGA"));
    const std::string macPaint = ReadBytes(TestData("macpaint/github-haraldk_TwelveMonkeys__MARBLES.MAC"));
    struct Case {
        std::string name;
        const std::string* bytes;
        int format; // 0: refused as no format
    };
    const std::string words = "Just some words, long enough to pass for a header of eighteen bytes.";
    const Case cases[] = {
        { "a.tga", &targa, LT_FORMAT_TGA },
        { "b.TGA", &targa, LT_FORMAT_TGA },
        { "c.vst", &targa, LT_FORMAT_TGA },
        { "d.bin", &targa, 0 },
        { "e.tga", &words, 0 },
        { "f.pnt", &macPaint, LT_FORMAT_MAC },
        { "g.Mac", &macPaint, LT_FORMAT_MAC },
        { "h.dat", &macPaint, 0 },
        { "i.mac", &words, 0 },
        { "j.tga", &macPaint, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/" + c.name;
        testing_support::WriteFileBytes(path, *c.bytes);
        LTFILEINFO info;
        LTBITMAP bitmap;
        if (c.format == 0) {
            EXPECT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_ERR_FORMAT);
            EXPECT_EQ(Load(path, bitmap), LT_ERR_FORMAT);
            if (c.bytes == &words) {
                EXPECT_EQ(LtMemLoad(words.data(), &bitmap, 0, LT_ORDER_BGR, DWORD(words.size())), LT_ERR_FORMAT);
            }
            continue;
        }
        ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS);
        EXPECT_EQ(info.Format, c.format);
        EXPECT_EQ(Load(path, bitmap), LT_SUCCESS);
        LTFILEINFO memoryInfo;
        ASSERT_EQ(LtMemInfo(c.bytes->data(), &memoryInfo, DWORD(c.bytes->size()), 0), LT_SUCCESS);
        EXPECT_EQ(memoryInfo.Format, c.format);
        EXPECT_EQ(LtMemLoad(c.bytes->data(), &bitmap, 0, LT_ORDER_BGR, DWORD(c.bytes->size())), LT_SUCCESS);
    }
    LTBITMAP bitmap;
    ASSERT_EQ(Load(folder + "/f.pnt", bitmap), LT_SUCCESS);
    EXPECT_EQ(bitmap.Width, 576);
    EXPECT_EQ(bitmap.Height, 720);
    EXPECT_EQ(bitmap.BitsPerPixel, 1);
    // In its MacBinary envelope a MacPaint file has a signature.
    const std::string wrapped = ReadBytes(TestData("macpaint/github-haraldk_TwelveMonkeys__porsches.mac"));
    EXPECT_EQ(LtMemLoad(wrapped.data(), &bitmap, 0, LT_ORDER_BGR, DWORD(wrapped.size())), LT_SUCCESS);
}

// Palette PNGs keep their depth and their own palette; a transparent entry,
// an alpha channel or an icon's mask gives 32 bits with alpha.
TEST(ImagingFormats, PalettesAndTransparencyAreKept)
{
    REQUIRE_TESTDATA();
    struct Case {
        const char* file;
        int bits;
    };
    for (const Case& c : { Case { "png/bin-libsixel-examples__basn3p01.png", 1 },
             Case { "png/bin-libsixel-examples__basn3p02.png", 4 }, Case { "png/bin-libsixel-examples__basi3p04.png", 4 },
             Case { "png/bin-libsixel-examples__basn3p08.png", 8 }, Case { "png/bin-libsixel-examples__basi3p08.png", 8 } }) {
        SCOPED_TRACE(c.file);
        const std::string bytes = ReadBytes(TestData(c.file));
        LTBITMAP bitmap;
        ASSERT_EQ(Load(TestData(c.file), bitmap), LT_SUCCESS);
        EXPECT_EQ(bitmap.BitsPerPixel, c.bits);
        // The file's PLTE chunk, entry by entry.
        const size_t plte = bytes.find("PLTE");
        ASSERT_NE(plte, std::string::npos);
        const size_t length = size_t(uint8_t(bytes[plte - 2])) << 8 | uint8_t(bytes[plte - 1]);
        for (size_t i = 0; i < length / 3; ++i) {
            EXPECT_EQ(bitmap.Palette[i].rgbRed, uint8_t(bytes[plte + 4 + 3 * i]));
            EXPECT_EQ(bitmap.Palette[i].rgbGreen, uint8_t(bytes[plte + 5 + 3 * i]));
            EXPECT_EQ(bitmap.Palette[i].rgbBlue, uint8_t(bytes[plte + 6 + 3 * i]));
        }
    }
    for (const char* file : { "png/bin-libsixel-examples__tbbn3p08.png", "png/bin-libsixel-examples__tbbn2c16.png",
             "png/bin-libsixel-examples__tbbn0g04.png", "png/bin-libsixel-examples__basn4a08.png",
             "gif/bin-gdk-pixbuf-tests__transparent.gif", "ico/github-haraldk_TwelveMonkeys__favicon.ico",
             "samepicture/bin-wx3.2-examples__horse.cur" }) {
        SCOPED_TRACE(file);
        if (!std::ifstream(TestData(file)))
            continue;
        LTBITMAP bitmap;
        ASSERT_EQ(Load(TestData(file), bitmap), LT_SUCCESS);
        EXPECT_EQ(bitmap.BitsPerPixel, 32);
        bool seeThrough = false;
        for (int y = 0; y < bitmap.Height && !seeThrough; ++y) {
            for (int x = 0; x < bitmap.Width && !seeThrough; ++x)
                seeThrough = RgbaAt(bitmap, x, y)[3] == 0;
        }
        EXPECT_TRUE(seeThrough);
    }
}

// A file cut anywhere, or with bytes overwritten, gives a code or a whole
// picture, never a crash or a partly filled record.
TEST(ImagingFormats, DamagedCopiesAreRefusedOrWhole)
{
    REQUIRE_TESTDATA();
    using platform::imaging::NameHint;
    const std::pair<const char*, NameHint> files[] = {
        { "gif/bin-gdk-pixbuf-tests__interlace.gif", NameHint::None },
        { "pcx/github-haraldk_TwelveMonkeys__animals.pcx", NameHint::None },
        { "tga/src-pillow__200x32_rgba_tl_rle.tga", NameHint::Targa },
        { "tga/bin-gdk-pixbuf-tests__gtk-logo-cmap-rle-8bpp-top-left.tga", NameHint::Targa },
        { "psd/src-pillow__hopper.psd", NameHint::None },
        { "tiff/bin-golang-golang-x-image-dev__bw-packbits.tiff", NameHint::None },
        { "wpg/src-graphicsmagick__input2_4.wpg", NameHint::None },
        { "pict/github-haraldk_TwelveMonkeys__RED.PCT", NameHint::None },
        { "sunras/src-pillow__hopper.ras", NameHint::None },
        { "ico/src-pillow__hopper.ico", NameHint::None },
        { "macpaint/src-graphicsmagick__input.mac", NameHint::MacPaint },
    };
    for (const auto& [file, hint] : files) {
        SCOPED_TRACE(file);
        const std::string whole = ReadBytes(TestData(file));
        ASSERT_FALSE(whole.empty());
        std::vector<std::string> copies;
        for (size_t step = 1; step < 16; ++step)
            copies.push_back(whole.substr(0, whole.size() * step / 16));
        for (size_t step = 1; step < 8; ++step) {
            std::string damaged = whole;
            for (size_t i = whole.size() * step / 8; i < whole.size() && i < whole.size() * step / 8 + 16; ++i)
                damaged[i] = char(0xFF - damaged[i]);
            copies.push_back(damaged);
        }
        for (const std::string& bytes : copies) {
            LTBITMAP bitmap;
            const int result = platform::imaging::DecodeBytes(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(),
                hint, 0, LT_ORDER_BGR, bitmap);
            if (result == LT_SUCCESS) {
                EXPECT_GT(bitmap.Width, 0);
                EXPECT_EQ(bitmap.Pixels.size(), size_t(bitmap.BytesPerLine) * size_t(bitmap.Height));
            } else {
                EXPECT_LT(result, 0);
                EXPECT_TRUE(bitmap.Pixels.empty());
            }
        }
    }
}
