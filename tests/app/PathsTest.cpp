#include "app/Paths.h"
#include "app/PrinterHelpers.h"
#include "app/ResourceBitmaps.h"

#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PrinterDc.h"
#include "platform/services/PrintServices.h"
#include "platform/services/Printers.h"
#include "platform/ui/CommDlgMisc.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <string>
#include <sys/resource.h>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

CString Win(const std::string& host)
{
    return CString(platform::WindowsPathFor(host).c_str());
}

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

class PathsTest : public testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        program = MakeTempDir("program");
        platform::SetProgramFolderForTests(program);
        platform::SetProgramFolderWritable(true);
        work = MakeTempDir("work");
    }
    void TearDown() override { platform::SetProgramFolderForTests(""); }

    std::string program;
    std::string work;
};

TEST_F(PathsTest, ProgramPathEndsInBackslashAndAppendsPartsAsGiven)
{
    CString folder = GetProgramPath();
    EXPECT_EQ(folder, Win(program) + "\\");
    EXPECT_EQ(GetProgramPath("support\\", "x.dat"), folder + "support\\x.dat");
    EXPECT_EQ(GetProgramPath(nullptr, "a", nullptr, "b"), folder + "ab");
    EXPECT_EQ(GetProgramDriveRoot(), "C:\\");
}

TEST_F(PathsTest, UserDataFolderIsCreatedWhenMissing)
{
    CString userData = GetProgramPath("UserData");
    EXPECT_FALSE(IsDirectory(userData));
    EXPECT_FALSE(IsDirectory(GetProgramPath("nothing\\here")));
    ASSERT_TRUE(CreateUserDataFolder("\\User1"));
    EXPECT_TRUE(std::filesystem::is_directory(program + "/UserData/User1"));
    // Already there: still fine.
    EXPECT_TRUE(CreateUserDataFolder("\\User1"));

    // A file where the folder should be cannot become one.
    WriteFileBytes(program + "/UserData/User2", "x");
    EXPECT_FALSE(IsDirectory(GetProgramPath("UserData\\User2")));
    EXPECT_FALSE(CreateUserDataFolder("\\User2"));
}

TEST_F(PathsTest, EnsureTrailingChar)
{
    CString empty;
    EXPECT_FALSE(EnsureTrailingChar(empty, '\\', TRUE));
    EXPECT_TRUE(empty.IsEmpty());

    CString folder("C:\\a");
    EXPECT_FALSE(EnsureTrailingChar(folder, '\\', FALSE));
    EXPECT_EQ(folder, "C:\\a");
    EXPECT_TRUE(EnsureTrailingChar(folder, '\\', TRUE));
    EXPECT_EQ(folder, "C:\\a\\");
    EXPECT_TRUE(EnsureTrailingChar(folder, '\\', TRUE));
    EXPECT_EQ(folder, "C:\\a\\");
}

TEST_F(PathsTest, FileTestsAndCompanionMarker)
{
    EXPECT_FALSE(HasCompanionMarker());
    WriteFileBytes(program + "/olvw.dat", "");
    EXPECT_TRUE(HasCompanionMarker());
    EXPECT_TRUE(FileExists(GetProgramPath("OLVW.DAT")));
    EXPECT_TRUE(PathExists(GetProgramPath("olvw.dat"), 0));
    EXPECT_FALSE(FileExists(nullptr));

    EXPECT_TRUE(RemoveFile(GetProgramPath("olvw.dat")));
    EXPECT_FALSE(HasCompanionMarker());
    EXPECT_FALSE(RemoveFile(GetProgramPath("olvw.dat")));
}

TEST_F(PathsTest, CopyFileBufferedCopiesThroughSmallBuffer)
{
    const std::string bytes = Pattern(10007);
    WriteFileBytes(work + "/src.bin", bytes);
    WriteFileBytes(work + "/dst.bin", "old and longer than nothing");
    ASSERT_TRUE(CopyFileBuffered(Win(work + "/src.bin"), Win(work + "/dst.bin"), 64));
    EXPECT_EQ(ReadFileBytes(work + "/dst.bin"), bytes);

    // Empty files and a buffer size of 0 work too.
    WriteFileBytes(work + "/empty.bin", "");
    ASSERT_TRUE(CopyFileBuffered(Win(work + "/empty.bin"), Win(work + "/dst.bin"), 0));
    EXPECT_EQ(ReadFileBytes(work + "/dst.bin"), "");

    EXPECT_FALSE(CopyFileBuffered(Win(work + "/missing.bin"), Win(work + "/dst2.bin"), 64));
    EXPECT_FALSE(std::filesystem::exists(work + "/dst2.bin"));
}

TEST_F(PathsTest, CopyFileBufferedRefusesTheSameFileHoweverSpelled)
{
    const std::string bytes = Pattern(5000);
    WriteFileBytes(work + "/Table.dat", bytes);
    std::filesystem::create_symlink(work + "/Table.dat", work + "/link.dat");
    std::filesystem::create_hard_link(work + "/Table.dat", work + "/hard.dat");

    CString source = Win(work + "/Table.dat");
    EXPECT_FALSE(CopyFileBuffered(source, source, 512));
    CString upper = source;
    upper.MakeUpper();
    EXPECT_FALSE(CopyFileBuffered(source, upper, 512));
    EXPECT_FALSE(CopyFileBuffered(source, Win(work + "/link.dat"), 512));
    EXPECT_FALSE(CopyFileBuffered(Win(work + "/hard.dat"), source, 512));
    EXPECT_FALSE(CopyFileBuffered(source, Win(work + "/./Table.dat"), 512));

    // Had any of these opened the destination, the table would be empty now.
    EXPECT_EQ(ReadFileBytes(work + "/Table.dat"), bytes);
}

TEST_F(PathsTest, CopyFileBufferedRemovesPartialDestinationAfterWriteFailure)
{
    const std::string bytes = Pattern(64 * 1024);
    WriteFileBytes(work + "/big.bin", bytes);

    // Limit the size of files this process may write, so the copy fails
    // part way as on a full disk.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    BOOL copied = CopyFileBuffered(Win(work + "/big.bin"), Win(work + "/partial.bin"), 1024);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(copied);
    EXPECT_FALSE(std::filesystem::exists(work + "/partial.bin"));
    EXPECT_EQ(ReadFileBytes(work + "/big.bin"), bytes);
}

TEST_F(PathsTest, ReadTextFileKeepsFirst10240Bytes)
{
    const std::string bytes = Pattern(20000);
    WriteFileBytes(work + "/long.txt", bytes);
    CString text;
    ASSERT_TRUE(ReadTextFile(Win(work + "/long.txt"), text));
    ASSERT_EQ(text.GetLength(), 10240);
    EXPECT_EQ(std::string(static_cast<LPCTSTR>(text), 10240), bytes.substr(0, 10240));

    WriteFileBytes(work + "/short.txt", "hello\r\nworld");
    ASSERT_TRUE(ReadTextFile(Win(work + "/short.txt"), text));
    EXPECT_EQ(text, "hello\r\nworld");

    text = "stale";
    EXPECT_FALSE(ReadTextFile(Win(work + "/none.txt"), text));
    EXPECT_TRUE(text.IsEmpty());
}

TEST_F(PathsTest, TempFilePathMakesAnEmptyFileWithThePrefix)
{
    CString first;
    CString second;
    GetTempFilePath(first);
    GetTempFilePath(second, "abc");
    EXPECT_NE(first, second);
    CString name = first.Mid(first.ReverseFind('\\') + 1);
    EXPECT_EQ(name.Left(3), "ov4");
    EXPECT_EQ(name.Right(4), ".tmp");
    EXPECT_EQ(second.Mid(second.ReverseFind('\\') + 1).Left(3), "abc");
    EXPECT_TRUE(FileExists(first));
    EXPECT_TRUE(FileExists(second));
    RemoveFile(first);
    RemoveFile(second);
}

class AbbreviatePathTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        ASSERT_TRUE(font.CreateFont(-16, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
        old = dc.SelectObject(&font);
    }
    void TearDown() override { dc.SelectObject(old); }
    int Width(LPCTSTR text) { return dc.GetTextExtent(CString(text)).cx; }

    CDC dc;
    CFont font;
    CFont* old = nullptr;
};

TEST_F(AbbreviatePathTest, DropsFoldersFromTheLeftUntilThePathFits)
{
    const CString path("C:\\alpha\\beta\\gamma\\file.txt");
    const char* candidates[] = { "C:\\...\\beta\\gamma\\file.txt", "C:\\...\\gamma\\file.txt", "C:\\...\\file.txt" };
    ASSERT_GT(Width(path), Width(candidates[0]));
    ASSERT_GT(Width(candidates[0]), Width(candidates[1]));
    ASSERT_GT(Width(candidates[1]), Width(candidates[2]));

    EXPECT_EQ(AbbreviatePath(&dc, path, Width(path)), path);
    EXPECT_EQ(AbbreviatePath(&dc, path, 10000), path);
    EXPECT_EQ(AbbreviatePath(&dc, path, Width(candidates[0])), candidates[0]);
    EXPECT_EQ(AbbreviatePath(&dc, path, Width(candidates[1]) + 1), candidates[1]);
    EXPECT_EQ(AbbreviatePath(&dc, path, Width(candidates[1]) - 1), candidates[2]);
    // Nothing fits: the last try.
    EXPECT_EQ(AbbreviatePath(&dc, path, 1), candidates[2]);
}

TEST_F(AbbreviatePathTest, KeepsServerAndShareHead)
{
    const CString path("\\\\server\\share\\folder\\file.txt");
    EXPECT_EQ(AbbreviatePath(&dc, path, 1), "\\\\server\\...\\file.txt");
    EXPECT_EQ(AbbreviatePath(&dc, path, Width("\\\\server\\...\\folder\\file.txt")),
        "\\\\server\\...\\folder\\file.txt");
    // No folder to drop, or no head: unchanged.
    EXPECT_EQ(AbbreviatePath(&dc, "C:\\averyveryverylongname.txt", 1), "C:\\averyveryverylongname.txt");
    EXPECT_EQ(AbbreviatePath(&dc, "plain name without head", 1), "plain name without head");
}

TEST(PictureFilter, ShowsTheThreeStringsWithoutTheLzwNoteAndReadsJpegAndTiffSpellingsToo)
{
    threadwick::RegisterResources();
    EXPECT_EQ(BuildPictureFilter(),
        "All Picture files|*.bmp;*.dib;*.emf;*.gif;*.ico;*.jpg;*.pcd;*.pcx;*.png;*.psd;*.ras;*.tga;*.tif;*.wmf;*.wpg|"
        "BMP - OS/2 or Windows Bitmap|*.bmp|DIB - OS/2 or Windows DIB|*.dib|EMF - Enhanced Metafile|*.emf|"
        "GIF - Graphics Interchange Format|*.gif|ICO - Icon file|*.ico|JPG - JPEG|*.jpg|PCD - Photo CD|*.pcd|"
        "PCT - Microsoft Pict|*.pct|PCX - ZSoft Paintbrush|*.pcx|PNG - Portable Network Graphics file|*.png|"
        "PSD - PhotoShop 3.0|*.psd|RAS - Sun Raster Image|*.ras|TGA - Truevision Targa|*.tga|"
        "TIF - Tagged Image File Format |*.tif|WMF - Windows Metafile|*.wmf|WPG - Wordperfect Bitmap|*.wpg||");
    // The patterns of every picture read: *.jpeg and *.tiff too.
    EXPECT_EQ(GetPictureFilePatterns(),
        "*.bmp;*.dib;*.emf;*.gif;*.ico;*.jpg;*.jpeg;*.pcd;*.pcx;*.png;*.psd;*.ras;*.tga;*.tif;*.tiff;*.wmf;*.wpg;");
}

TEST(StringTokenizer, SplitsAResourceAtItsSeparator)
{
    threadwick::RegisterResources();
    CString token;
    CStringTokenizer surfaces(IDS_SURFACE_NAMES, '|'); // "|Front|Back|"
    ASSERT_TRUE(surfaces.GetFirst(token));
    EXPECT_EQ(token, "Front");
    ASSERT_TRUE(surfaces.GetNext(token));
    EXPECT_EQ(token, "Back");
    EXPECT_FALSE(surfaces.GetNext(token));
    // GetFirst starts over.
    ASSERT_TRUE(surfaces.GetFirst(token));
    EXPECT_EQ(token, "Front");

    // Separators are added at both ends when missing.
    CStringTokenizer filter(IDS_TEXT_FILE_FILTER, ';');
    ASSERT_TRUE(filter.GetFirst(token));
    EXPECT_EQ(token, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_FALSE(filter.GetNext(token));

    CStringTokenizer missing(1, ',');
    token = "x";
    EXPECT_TRUE(missing.GetFirst(token));
    EXPECT_TRUE(token.IsEmpty());
    EXPECT_FALSE(missing.GetNext(token));
}

TEST(RectCenter, TruncatesTowardZero)
{
    EXPECT_EQ(GetRectCenter(0, 0, 5, 7), CPoint(2, 3));
    EXPECT_EQ(GetRectCenter(-5, -7, 0, 0), CPoint(-3, -4));
    EXPECT_EQ(GetRectCenter(10, 10, 10, 10), CPoint(10, 10));
}

} // namespace

namespace {

TEST(PrinterDescription, VersionFromDriverWord)
{
    int major = 0;
    int minor = 0;
    SplitDriverVersion(0x0400, major, minor);
    EXPECT_EQ(major, 4);
    EXPECT_EQ(minor, 0);
    SplitDriverVersion(0x030A, major, minor);
    EXPECT_EQ(major, 3);
    EXPECT_EQ(minor, 10);
    // Old drivers kept major * 100 + minor in the low byte.
    SplitDriverVersion(0x00FA, major, minor);
    EXPECT_EQ(major, 2);
    EXPECT_EQ(minor, 50);
}

TEST(PrinterDescription, DescribesTheDefaultPrinter)
{
    threadwick::RegisterResources();
    // The printer services as the program installs them, over an empty
    // print system: the PDF-file printer is the default.
    platform::SetPrinterSourceForTests([](platform::PrinterQuery) { return std::vector<platform::PrinterDestination>{}; });
    platform::InstallPrinterServices();
    CString text;
    ASSERT_TRUE(GetPrinterDescription(text));
    EXPECT_STREQ("Printer: PDF File version 4.0", text);
    platform::SetPrinterListProvider(nullptr);
    platform::SetPrinterDevModeProvider(nullptr);
    platform::SetPrinterMetricsProvider(nullptr);
    platform::SetSpoolHandler(nullptr);
    platform::SetPrinterSourceForTests(nullptr);
}

TEST(DibPalette, TakesTheColourTableForEightBitsOrFewer)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[4];
    } dib = {};
    dib.header.biSize = sizeof(BITMAPINFOHEADER);
    dib.header.biWidth = 1;
    dib.header.biHeight = 1;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = 2;
    dib.colors[0] = { 0x10, 0x20, 0x30, 0 };
    dib.colors[3] = { 0xFF, 0x80, 0x01, 0x99 };

    int count = -1;
    HPALETTE palette = CreateDIBPalette(&dib.header, &count);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(count, 4);
    PALETTEENTRY entries[4] = {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 4, entries), 4u);
    EXPECT_EQ(entries[0].peRed, 0x30);
    EXPECT_EQ(entries[0].peBlue, 0x10);
    EXPECT_EQ(entries[3].peRed, 0x01);
    EXPECT_EQ(entries[3].peGreen, 0x80);
    EXPECT_EQ(entries[3].peFlags, 0);
    DeleteObject(palette);

    // A shorter table given in biClrUsed is not read past.
    dib.header.biClrUsed = 3;
    palette = CreateDIBPalette(&dib.header, &count);
    EXPECT_EQ(count, 3);
    DeleteObject(palette);

    dib.header.biBitCount = 24;
    EXPECT_EQ(CreateDIBPalette(&dib.header, &count), nullptr);
    EXPECT_EQ(count, 0);
}

TEST(DibResource, MissingResourceGivesNull)
{
    threadwick::RegisterResources();
    CPalette palette;
    EXPECT_EQ(LoadDIBResource(AfxGetResourceHandle(), 9999, palette), nullptr);
    CBitmap bitmap;
    EXPECT_FALSE(LoadBitmapObject(AfxGetResourceHandle(), 9999, &bitmap, nullptr));
}

// One colour the default palette of an 8-bit screen does not hold.
constexpr COLORREF kAppOnlyColour = RGB(0x12, 0x34, 0x56);

CPalette* AppPaletteOfOneColour()
{
    static CPalette palette;
    if (palette.GetSafeHandle() == NULL) {
        LOGPALETTE log = {0x300, 1, {{GetRValue(kAppOnlyColour), GetGValue(kAppOnlyColour), GetBValue(kAppOnlyColour), 0}}};
        palette.CreatePalette(&log);
    }
    return &palette;
}

class PaletteScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        platform::ResetDisplayForTesting();
        ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    }
    void TearDown() override
    {
        SetAppPaletteSource(nullptr);
        platform::ResetDisplayForTesting();
    }

    // Whether the bitmap's colour table holds the colour.
    static bool TableHolds(CBitmap& bitmap, COLORREF colour)
    {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[256];
        } info = {};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biBitCount = 8;
        info.header.biWidth = 1;
        info.header.biHeight = 1;
        info.header.biPlanes = 1;
        HDC dc = GetDC(NULL);
        const int nLines = GetDIBits(dc, static_cast<HBITMAP>(bitmap.GetSafeHandle()), 0, 0, nullptr,
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
        ReleaseDC(NULL, dc);
        if (nLines == 0)
            return false;
        for (const RGBQUAD& quad : info.colors) {
            if (RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue) == colour)
                return true;
        }
        return false;
    }
};

// A bitmap resource loaded without a palette of its own is made with the
// application's palette realised, so that it keeps the program's colours.
TEST_F(PaletteScreenTest, ABitmapWithoutItsOwnPaletteLoadsWithTheApplicationPalette)
{
    CBitmap plain;
    ASSERT_TRUE(LoadBitmapWithPalette(plain, IDR_STANDARD_SMALL));
    EXPECT_FALSE(TableHolds(plain, kAppOnlyColour));

    SetAppPaletteSource(&AppPaletteOfOneColour);
    CBitmap withApp;
    ASSERT_TRUE(LoadBitmapWithPalette(withApp, IDR_STANDARD_SMALL));
    EXPECT_TRUE(TableHolds(withApp, kAppOnlyColour));
}

} // namespace
