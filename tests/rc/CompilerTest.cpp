// The resource compiler on small scripts: what it makes of strings, images
// and data, and how it fails.

#include "RcModel.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace {

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

const std::string kFixtureDir = RC_FIXTURE_DIR;

rc::Script CompileFixture()
{
    return rc::CompileScript(kFixtureDir + "/fixture.rc", rc::Options{});
}

const rc::Resource* FindBlob(const rc::Script& script, uint16_t typeId, uint16_t id)
{
    for (const auto& r : script.resources) {
        if (r.type.isNumber && r.type.id == typeId && r.name.isNumber && r.name.id == id)
            return &r;
    }
    return nullptr;
}

std::string StringOf(const rc::Script& script, uint16_t id)
{
    for (const auto& s : script.strings) {
        if (s.id == id)
            return s.text;
    }
    return "<missing>";
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// Compiles one script written into a fresh folder and answers the error
// message, or "" when it compiled.
std::string CompileError(const std::string& script, const std::string& header = "")
{
    std::string dir = MakeTempDir("rcbad");
    WriteFileBytes(dir + "/bad.rc", script);
    if (!header.empty())
        WriteFileBytes(dir + "/bad.h", header);
    WriteFileBytes(dir + "/data.bin", "xyz");
    std::filesystem::copy_file(kFixtureDir + "/pointer.png", dir + "/pointer.png");
    try {
        rc::CompileScript(dir + "/bad.rc", rc::Options{});
    } catch (const rc::Error& e) {
        std::string message = e.what();
        // Keep the message from the file name on.
        size_t at = message.find("bad.");
        return at == std::string::npos ? message : message.substr(at);
    }
    return "";
}

TEST(RcCompilerTest, DecodesStringEscapesAndConvertsUtf8To1252)
{
    rc::Script script = CompileFixture();
    EXPECT_EQ(StringOf(script, 1), "Hello");
    EXPECT_EQ(StringOf(script, 2), std::string("a\tb\\c\"d\"eAB\n\0end", 16));
    EXPECT_EQ(StringOf(script, 20), "Caf\xE9 \xE9\x80");
    EXPECT_EQ(StringOf(script, 61699), "Last id");
    // The #if / #elif chain of the header picked its second branch.
    EXPECT_EQ(StringOf(script, 12), "Branch two");
    ASSERT_EQ(script.strings.size(), 5u);
    EXPECT_TRUE(std::is_sorted(script.strings.begin(), script.strings.end(),
                               [](const auto& a, const auto& b) { return a.id < b.id; }));
}

TEST(RcCompilerTest, ListsEveryFileItReadAsDependency)
{
    rc::Script script = CompileFixture();
    std::vector<std::string> names;
    for (const auto& d : script.dependencies)
        names.push_back(std::filesystem::path(d).filename().string());
    for (const char* expected : {"fixture.rc", "fixture.h", "tiny.bmp", "pointer.png", "shape.bin"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
}

TEST(RcCompilerTest, KeepsBmpAsPackedDibAndDecodesPngBottomUp)
{
    rc::Script script = CompileFixture();
    const rc::Resource* bmp = FindBlob(script, rc::kTypeBitmap, 105);
    ASSERT_NE(bmp, nullptr);
    std::string file = ReadFileBytes(kFixtureDir + "/tiny.bmp");
    EXPECT_EQ(std::string(bmp->bytes.begin(), bmp->bytes.end()), file.substr(14));

    // The PNG has one transparent pixel, so its DIB keeps alpha: 32 bits.
    const rc::Resource* png = nullptr;
    for (const auto& r : script.resources) {
        if (!r.name.isNumber && r.name.name == "IDB_PNG")
            png = &r;
    }
    ASSERT_NE(png, nullptr);
    const auto& b = png->bytes;
    ASSERT_EQ(b.size(), 40u + 4 * 3 * 4);
    EXPECT_EQ(Get32(b, 4), 4u);
    EXPECT_EQ(Get32(b, 8), 3u); // positive height: bottom-up
    EXPECT_EQ(b[14], 32);
    // The PNG's top-left pixel (transparent) is the first pixel of the last
    // DIB row; its row-0 neighbour is opaque red (B, G, R = 0, 20, 255).
    size_t lastRow = 40 + 2 * 16;
    EXPECT_EQ(b[lastRow + 3], 0);
    EXPECT_EQ(b[lastRow + 4 + 0], 0);
    EXPECT_EQ(b[lastRow + 4 + 1], 20);
    EXPECT_EQ(b[lastRow + 4 + 2], 255);
    EXPECT_EQ(b[lastRow + 4 + 3], 255);
}

TEST(RcCompilerTest, BuildsIconMaskAndCursorHotSpot)
{
    rc::Script script = CompileFixture();
    const rc::Resource* icon = FindBlob(script, rc::kTypeIcon, 106);
    ASSERT_NE(icon, nullptr);
    const auto& b = icon->bytes;
    EXPECT_EQ(Get32(b, 8), 6u); // doubled height
    size_t maskStart = 40 + 4 * 3 * 4;
    ASSERT_EQ(b.size(), maskStart + 3 * 4);
    // Only the transparent top-left pixel is set: the top row is the last
    // mask row.
    EXPECT_EQ(b[maskStart + 0], 0);
    EXPECT_EQ(b[maskStart + 4], 0);
    EXPECT_EQ(b[maskStart + 8], 0x80);

    const rc::Resource* cursor = FindBlob(script, rc::kTypeCursor, 107);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->bytes[0] | cursor->bytes[1] << 8, 3);
    EXPECT_EQ(cursor->bytes[2] | cursor->bytes[3] << 8, 2);
    EXPECT_EQ(std::vector<uint8_t>(cursor->bytes.begin() + 4, cursor->bytes.end()), icon->bytes);
}

TEST(RcCompilerTest, WritesInlineDataAsWordsAndLongs)
{
    rc::Script script = CompileFixture();
    const rc::Resource* data = nullptr;
    for (const auto& r : script.resources) {
        if (!r.name.isNumber && r.name.name == "MYDATA")
            data = &r;
    }
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->type.id, rc::kTypeRcData);
    std::vector<uint8_t> expected = {1, 0, 3, 2, 0, 0, 'a', 'b', 0xFF, 0xFF};
    EXPECT_EQ(data->bytes, expected);
    const rc::Resource* numbered = FindBlob(script, 300, 5);
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(numbered->bytes, (std::vector<uint8_t>{7, 0}));
}

TEST(RcCompilerTest, ReportsFileLineAndReason)
{
    struct Case {
        const char* script;
        const char* expected;
    };
    const Case cases[] = {
        {"1 VERSIONINFO\nBEGIN\nEND\n", "bad.rc:1: error: unknown or unsupported statement 'VERSIONINFO'"},
        {"\nIDD_X DIALOGZ 0, 0, 10, 10\n", "bad.rc:2: error: expected a file name or BEGIN, found '0'"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  PUSHBUTTON \"OK\", IDC_MISSING, 1, 2, 3, 4\nEND\n",
         "bad.rc:3: error: undefined symbol 'IDC_MISSING'"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  BIGBUTTON \"OK\", 1, 1, 2, 3, 4\nEND\n",
         "bad.rc:3: error: unknown control statement 'BIGBUTTON'"},
        {"STRINGTABLE\nBEGIN\n 5 \"a\"\n 5 \"b\"\nEND\n", "bad.rc:4: error: string 5 defined twice (first at "},
        {"STRINGTABLE\nBEGIN\n 70000 \"a\"\nEND\n", "bad.rc:3: error: string id 70000 out of range"},
        {"STRINGTABLE\nBEGIN\n 1 \"open\nEND\n", "bad.rc:3: error: string not closed on this line"},
        {"STRINGTABLE\nBEGIN\n 1 \"a\\qb\"\nEND\n", "bad.rc:3: error: unknown escape sequence \\q"},
        {"STRINGTABLE\nBEGIN\n 1 \"\xC3\"\nEND\n", "bad.rc:3: error: string is not UTF-8"},
        {"STRINGTABLE\nBEGIN\n 1 \"a\"\n", "bad.rc:3: error: expected END at the end of the file"},
        {"1 BITMAP \"missing.bmp\"\n", "bad.rc:1: error: cannot find file 'missing.bmp'"},
        {"1 BITMAP \"data.bin\"\n", "bad.rc:1: error: 'data.bin': not a BMP or PNG file"},
        {"1 CURSOR \"pointer.png\" HOTSPOT 4, 0\n", "bad.rc:1: error: 'pointer.png': hot spot 4,0 lies outside"},
        {"1 ICON \"pointer.png\" HOTSPOT 1, 1\n", "bad.rc:1: error: HOTSPOT belongs to a CURSOR"},
        {"1 ACCELERATORS\nBEGIN\n \"a\", 5, SHIFT\nEND\n", "bad.rc:3: error: SHIFT and CONTROL need VIRTKEY"},
        {"1 ACCELERATORS\nBEGIN\n \"^1\", 5\nEND\n", "bad.rc:3: error: bad control-key accelerator"},
        {"1 MENU\nBEGIN\n MENUITEM \"a\", 1, SHADED\nEND\n", "bad.rc:3: error: unknown menu item option"},
        {"1 SHAPEDATA \"data.bin\"\n1 SHAPEDATA \"data.bin\"\n", "bad.rc:2: error: resource defined twice"},
        {"#include \"bad.h\"\n", "bad.h:2: error: macros with parameters are not supported"},
        {"#endif\n", "bad.rc:1: error: #endif without #if"},
        {"#ifdef X\n", "bad.rc:1: error: missing #endif"},
        {"1 RCDATA { 1 }\n/* open\n", "bad.rc:2: error: comment not closed"},
    };
    for (const Case& c : cases) {
        std::string header = "// ids\n#define MAKE(x) (x)\n";
        EXPECT_EQ(CompileError(c.script, header).rfind(c.expected, 0), 0u)
            << "script:\n" << c.script << "\ngot: " << CompileError(c.script, header);
    }
}

TEST(RcCompilerTest, AcceptsNamesFromPlatformHeadersWithoutInclude)
{
    EXPECT_EQ(CompileError("1 DIALOG 0, 0, 10, 10\nSTYLE WS_POPUP | DS_SHELLFONT | NOT WS_BORDER\n"
                           "BEGIN\n CONTROL \"\", 1, STATIC, SS_ICON | WS_GROUP, 0, 0, 1, 1\nEND\n"
                           "2 ACCELERATORS\nBEGIN\n VK_F12, 1, VIRTKEY\nEND\n"),
              "");
}

// The program itself: exit status, message on standard error, no output
// left after a failure, and a depfile after a success.
TEST(RcCompilerTest, ProgramFailsTheBuildOnErrorAndWritesDepfileOnSuccess)
{
    std::string dir = MakeTempDir("rcprog");
    WriteFileBytes(dir + "/bad.rc", "STRINGTABLE\nBEGIN\n 1 2\nEND\n");
    std::string out = dir + "/out.cpp";
    std::string command = std::string("\"") + THREADWICK_RC_PROGRAM + "\" -o \"" + out + "\" \"" + dir + "/bad.rc\" 2>\""
                          + dir + "/err.txt\"";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(ReadFileBytes(dir + "/err.txt").find("bad.rc:3: error: expected a string"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));

    command = std::string("\"") + THREADWICK_RC_PROGRAM + "\" --function a::b::Register --depfile \"" + dir
              + "/out.d\" -o \"" + out + "\" \"" + kFixtureDir + "/fixture.rc\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string generated = ReadFileBytes(out);
    EXPECT_NE(generated.find("namespace a {\nnamespace b {\nvoid Register()"), std::string::npos);
    std::string deps = ReadFileBytes(dir + "/out.d");
    EXPECT_EQ(deps.rfind(out + ":", 0), 0u);
    EXPECT_NE(deps.find("/fixture.h"), std::string::npos);
    EXPECT_NE(deps.find("/pointer.png"), std::string::npos);
}

} // namespace
