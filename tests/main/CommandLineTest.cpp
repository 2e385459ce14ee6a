#include "app/main/CommandLine.h"

#include "app/FontHelpers.h"
#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/Resources.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

bool HostFileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        dir = MakeTempDir("cmdline");
        for (const char* name : {"plain.shr", "my-design.shr", "two words.shr"})
            WriteFileBytes(dir + "/" + name, "x");
        platform::SetProgramFolderForTests(dir);
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT type, UINT) {
            boxes.emplace_back(text);
            boxTypes.push_back(type);
            return IDOK;
        });
        thePrefs.AddlFlags = 0xFFFF;
        thePrefs.PaletteMethod = 7;
        g_defaultFaceName = "Arial";
        g_bCompanion = FALSE;
    }
    void TearDown() override
    {
        platform::SetAfxMessageBoxHandler({});
        platform::SetProgramFolderForTests("");
        thePrefs.Reset();
        g_defaultFaceName = "Arial";
        g_bCompanion = FALSE;
    }

    std::string Host(const char* name) const { return dir + "/" + name; }
    std::string Windows(const char* name) const { return platform::WindowsPathFor(Host(name)); }

    std::string dir;
    std::vector<std::string> boxes;
    std::vector<UINT> boxTypes;
};

TEST_F(CommandLineTest, SwitchTable)
{
    const int defaultPalette = CPrefData::DefaultPaletteMethod();
    const WORD cleared = WORD(0xFFFF & ~(PREF_ADDL_SWITCH_A | PREF_ADDL_SWITCH_I));
    struct Case {
        std::string line;
        std::string file; // Windows form; empty: no file
        WORD addlFlags;
        int palette;
        std::vector<std::string> boxes;
    };
    const std::string plain = Windows("plain.shr");
    const std::string hyphen = Windows("my-design.shr");
    const std::string spaced = Windows("two words.shr");
    const std::string unknown = "Unrecognized command line parameter -";
    const std::vector<Case> cases = {
        {"", "", cleared, defaultPalette, {}},
        {"   ", "", cleared, defaultPalette, {}},
        {"-ab " + plain, plain, WORD(cleared | PREF_ADDL_SWITCH_A), defaultPalette, {}},
        // Groups act in the order written: the later palette switch wins.
        {"/f -n", "", cleared, 1, {}},
        {"-n /f", "", cleared, 0, {}},
        {"-fnou", "", cleared, 3, {}},
        {"-a-o", "", WORD(cleared | PREF_ADDL_SWITCH_A), 2, {}},
        {"-I", "", WORD(cleared | PREF_ADDL_SWITCH_I), defaultPalette, {}},
        // A hyphen inside a word belongs to the file name.
        {hyphen, hyphen, cleared, defaultPalette, {}},
        {hyphen + " -u", hyphen, cleared, 3, {}},
        // A lone hyphen at the end is a group without letters.
        {plain + " -", plain, cleared, defaultPalette, {}},
        {"-x " + plain, plain, cleared, defaultPalette, {unknown + "x"}},
        {"-q9 -a", "", WORD(cleared | PREF_ADDL_SWITCH_A), defaultPalette, {unknown + "q", unknown + "9"}},
        // Quoted names lose their quotes and are never read as switches.
        {"\"" + spaced + "\"", spaced, cleared, defaultPalette, {}},
        {"\"" + spaced + "\" -a", spaced, WORD(cleared | PREF_ADDL_SWITCH_A), defaultPalette, {}},
        {"-n \"" + hyphen + "\"", hyphen, cleared, 1, {}},
        // Linux paths starting with '/' are names, converted to Windows form.
        {Host("plain.shr"), plain, cleared, defaultPalette, {}},
        {"-o " + Host("my-design.shr"), hyphen, cleared, 2, {}},
        {Host("two words.shr") + " -f", spaced, cleared, 0, {}},
        {"\"" + Host("two words.shr") + "\"", spaced, cleared, defaultPalette, {}},
        {"  " + plain + "  ", plain, cleared, defaultPalette, {}},
        // A name that does not exist is dropped with one message naming it.
        {"C:\\no such folder\\none.shr", "", cleared, defaultPalette,
            {"C:\\no such folder\\none.shr could not be found."}},
        {"-a " + Windows("missing.shr"), "", WORD(cleared | PREF_ADDL_SWITCH_A), defaultPalette,
            {Windows("missing.shr") + " could not be found."}},
        {dir, "", cleared, defaultPalette, {dir + " could not be found."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line: " + c.line);
        thePrefs.AddlFlags = 0xFFFF;
        thePrefs.PaletteMethod = 7;
        boxes.clear();
        CString file = ParseAppCommandLine(c.line.c_str());
        EXPECT_STREQ(file, c.file.c_str());
        EXPECT_EQ(thePrefs.AddlFlags, c.addlFlags);
        EXPECT_EQ(thePrefs.PaletteMethod, c.palette);
        EXPECT_EQ(boxes, c.boxes);
    }
    for (UINT type : boxTypes)
        EXPECT_EQ(type, UINT(MB_ICONEXCLAMATION));
}

TEST_F(CommandLineTest, AbsolutePathToAMissingFileIsANameWithOneMessage)
{
    struct Case {
        std::string line;
        WORD addlFlags;
        std::string named;
    };
    const WORD cleared = WORD(0xFFFF & ~(PREF_ADDL_SWITCH_A | PREF_ADDL_SWITCH_I));
    const std::vector<Case> cases = {
        {"/tmp/missing.kqa", cleared, "/tmp/missing.kqa"},
        {Host("gone/none.shr"), cleared, Host("gone/none.shr")},
        {"-a /tmp/missing.kqa", WORD(cleared | PREF_ADDL_SWITCH_A), "/tmp/missing.kqa"},
        {"/tmp/missing.kqa /a", WORD(cleared | PREF_ADDL_SWITCH_A), "/tmp/missing.kqa"},
        // Quoted by the shell's caller because of its blank.
        {"\"/tmp/no such/file.kqa\"", cleared, "/tmp/no such/file.kqa"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line: " + c.line);
        thePrefs.AddlFlags = 0xFFFF;
        boxes.clear();
        EXPECT_STREQ(ParseAppCommandLine(c.line.c_str()), "");
        EXPECT_EQ(thePrefs.AddlFlags, c.addlFlags);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], c.named + " could not be found.");
    }
}

TEST_F(CommandLineTest, SwitchIChangesTheDefaultFaceAndSwitchesGoInPlace)
{
    ParseAppCommandLine("-a");
    EXPECT_STREQ(g_defaultFaceName, "Arial");
    ParseAppCommandLine("/I");
    EXPECT_STREQ(g_defaultFaceName, "KQ Clearly Roman");

    CString line = "  -a C:\\x-y.shr  -n ";
    ParseCommandLineSwitches(line);
    EXPECT_STREQ(line, "C:\\x-y.shr");
}

TEST_F(CommandLineTest, SwitchBSetsCompanionOnlyWithTheMarkerFile)
{
    ParseAppCommandLine("-b");
    EXPECT_FALSE(g_bCompanion);
    WriteFileBytes(Host("olvw.dat"), std::string(4, '\0'));
    ParseAppCommandLine("-b");
    EXPECT_TRUE(g_bCompanion);
    EXPECT_TRUE(HostFileExists(Host("olvw.dat"))) << "the parser only looks for the request";
}

TEST_F(CommandLineTest, HostileLinesAreBoundedAndReportAtMostSixteenLetters)
{
    std::string letters = "-" + std::string(500, 'z');
    ParseAppCommandLine(letters.c_str());
    EXPECT_EQ(boxes.size(), 16u);

    boxes.clear();
    std::string huge(200000, ' ');
    huge += "-a";
    ParseAppCommandLine(huge.c_str()); // the switch lies beyond what is read
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_SWITCH_A, 0);

    std::string unterminated = "\"" + std::string(3000, 'q') + " -a";
    EXPECT_STREQ(ParseAppCommandLine(unterminated.c_str()), "");
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_SWITCH_A, 0) << "an open quote runs to the end";
    EXPECT_STREQ(ParseAppCommandLine(nullptr), "");
}

// ---- The companion request file ------------------------------------------

class CompanionRequestTest : public CommandLineTest {
protected:
    static std::string U32(uint32_t v)
    {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i)
            s[i] = char((v >> (8 * i)) & 0xFF);
        return s;
    }
    static std::string Counted(const std::string& text) { return U32(uint32_t(text.size())) + text; }

    BOOL Read(const std::string& bytes)
    {
        path = Host("olvw.dat");
        WriteFileBytes(path, bytes);
        mode = 77;
        item = "unchanged";
        preset = "unchanged";
        page2 = "unchanged";
        return ReadCompanionRequest(mode, platform::WindowsPathFor(path).c_str(), item, preset, page2);
    }

    std::string path;
    DWORD mode = 0;
    CString item;
    CString preset;
    CString page2;
};

TEST_F(CompanionRequestTest, WizardRequestGivesItsThreeStringsAndIsDeleted)
{
    ASSERT_TRUE(Read(U32(0) + Counted("Birthday") + Counted("Happy birthday, Ann") + Counted("For Ann")));
    EXPECT_EQ(mode, 0u);
    EXPECT_STREQ(item, "Birthday");
    EXPECT_STREQ(preset, "Happy birthday, Ann");
    EXPECT_STREQ(page2, "For Ann");
    EXPECT_FALSE(HostFileExists(path));

    ASSERT_TRUE(Read(U32(0) + Counted("") + Counted("") + Counted("")));
    EXPECT_STREQ(item, "");
    EXPECT_STREQ(preset, "");
    EXPECT_STREQ(page2, "");
}

TEST_F(CompanionRequestTest, CalendarRequestHasOnlyItsMode)
{
    ASSERT_TRUE(Read(U32(1)));
    EXPECT_EQ(mode, 1u);
    EXPECT_STREQ(item, "");
    EXPECT_FALSE(HostFileExists(path));
}

TEST_F(CompanionRequestTest, BadFilesAreNoRequestAndStayInPlace)
{
    struct Bad {
        const char* what;
        std::string bytes;
    };
    const std::vector<Bad> bad = {
        {"empty", ""},
        {"short mode", std::string(3, '\0')},
        {"no first length", U32(0)},
        {"truncated string", U32(0) + U32(10) + "abc"},
        {"oversized length", U32(0) + U32(0xFFFFFFFFu) + "abc"},
        {"length one past the end", U32(0) + Counted("a") + Counted("b") + U32(2) + "c"},
        {"third string missing", U32(0) + Counted("a") + Counted("b")},
        {"too large a file", U32(1) + std::string(kMaxCompanionRequestBytes, 'x')},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        EXPECT_FALSE(Read(b.bytes));
        EXPECT_TRUE(HostFileExists(path));
        EXPECT_EQ(ReadFileBytes(path), b.bytes);
        EXPECT_EQ(mode, 77u);
        EXPECT_STREQ(item, "unchanged");
    }
    unlink(path.c_str());
    EXPECT_FALSE(ReadCompanionRequest(mode, platform::WindowsPathFor(path).c_str(), item, preset, page2));
    EXPECT_FALSE(ReadCompanionRequest(mode, nullptr, item, preset, page2));
}

} // namespace
