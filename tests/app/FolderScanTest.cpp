#include "app/FolderScan.h"

#include "tests/app/TableTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

using table_test::WinPath;
using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

namespace {

TEST(MatchWildcardTest, MatchesTheTable)
{
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"AXXB", "A*B", true},
        {"AB", "A*B", true},
        {"AXXBC", "A*B", false},
        {"A.JPG", "*.JPG", true},
        {"A.GIF", "*.JPG", false},
        {"ABC", "A?C", true},
        {"AC", "A?C", false},
        {"ABCD", "A?C", false},
        {"", "", true},
        {"A", "", false},
        {"", "*", true},
        {"", "**", true},
        {"ANY.THING", "*", true},
        // '*' followed by a wildcard: any one or more characters.
        {"A", "*?", true},
        {"ABC", "*?", true},
        {"", "*?", false},
        {"ABC", "*?C", true},
        {"AC", "*??C", false},
        {"ABC", "**C", true},
        {"ABC", "*?*", true},
        // The first place the letter after '*' occurs is not always the one.
        {"AAB", "*AB", true},
        {"ABAB", "*AB", true},
        {"ABABX", "*AB", false},
        {"MISSISSIPPI", "M*ISS*PI", true},
        {"MISSISSIPPI", "M*ISS*PX", false},
        // Exact comparison: callers upper-case both sides.
        {"abc", "ABC", false},
        {"A?C", "A?C", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchWildcard(c.name, c.pattern) != FALSE, c.match) << c.name << " ~ " << c.pattern;
}

TEST(MatchWildcardTest, ManyStarsOnALongNameFinishQuickly)
{
    const std::string name(250, 'A');
    EXPECT_FALSE(MatchWildcard(name.c_str(), "*A*A*A*A*A*A*A*A*A*A*A*A*B"));
    EXPECT_TRUE(MatchWildcard(name.c_str(), "*A*A*A*A*A*A*A*A*A*A*A*A*"));
}

class FileFinderTest : public testing::Test {
protected:
    void SetUp() override
    {
        host = MakeTempDir("finder");
        folder = WinPath(host);
        WriteFileBytes(host + "/a.jpg", "j");
        WriteFileBytes(host + "/B.BMP", "b");
        WriteFileBytes(host + "/a.gif", "g");
        std::filesystem::create_directories(host + "/sub");
    }

    static std::vector<std::string> List(CFileFinder& finder)
    {
        std::vector<std::string> names;
        CString path;
        int counter = 99;
        for (BOOL ok = finder.FindFirst(path, &counter); ok; ok = finder.FindNext(path, &counter)) {
            EXPECT_EQ(counter, static_cast<int>(names.size()));
            names.push_back(path.Std());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string host;
    std::string folder;
};

TEST_F(FileFinderTest, PatternListAcceptsAnyOfItsPatternsWithoutCase)
{
    CFileFinder finder(folder.c_str(), "*.bmp;*.JPG", kFindAnyEntry);
    EXPECT_EQ(List(finder), (std::vector<std::string>{folder + "\\B.BMP", folder + "\\a.jpg"}));
    EXPECT_EQ(finder.Count(), 2);

    CFileFinder none((folder + "\\").c_str(), "*.PNG", kFindAnyEntry);
    CString path;
    EXPECT_FALSE(none.FindFirst(path));
    EXPECT_FALSE(none.FindNext(path));
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(FileFinderTest, AttributeMaskAndDotEntries)
{
    CFileFinder folders(folder.c_str(), "", _A_SUBDIR);
    const std::vector<std::string> withDots = List(folders);
    EXPECT_NE(std::find(withDots.begin(), withDots.end(), folder + "\\.."), withDots.end());

    CFileFinder onlySub(folder.c_str(), "", _A_SUBDIR);
    onlySub.ExcludeDotEntries();
    EXPECT_EQ(List(onlySub), (std::vector<std::string>{folder + "\\sub"}));

    CFileFinder everything(folder.c_str(), "", kFindAnyEntry);
    everything.ExcludeDotEntries();
    EXPECT_EQ(everything.Count(), 4);
}

TEST_F(FileFinderTest, AttributesOfRootsFoldersAndMissingPaths)
{
    EXPECT_EQ(CFileFinder::GetAttributes("C:\\"), static_cast<DWORD>(_A_SUBDIR));
    EXPECT_EQ(CFileFinder::GetAttributes("Q:\\"), 0xFFFFFFFFu);
    EXPECT_TRUE(CFileFinder::GetAttributes((folder + "\\sub").c_str()) & _A_SUBDIR);
    EXPECT_FALSE(CFileFinder::GetAttributes((folder + "\\a.jpg").c_str()) & _A_SUBDIR);
    EXPECT_EQ(CFileFinder::GetAttributes((folder + "\\missing").c_str()), 0xFFFFFFFFu);
}

// Counts what the scan shows and presses Cancel after a number of steps.
struct ProgressLog {
    int range = -1;
    int steps = 0;
    int cancelAfter = -1;
};

class RecordingProgress : public CScanProgress {
public:
    explicit RecordingProgress(ProgressLog& log)
        : m_log(log)
    {
    }
    void SetMessage(UINT) override {}
    void SetText(const CString&) override {}
    void SetRange(int nFull) override { m_log.range = nFull; }
    void SetPos(int) override {}
    void Step() override { ++m_log.steps; }
    BOOL IsCancelled() override { return m_log.cancelAfter >= 0 && m_log.steps >= m_log.cancelAfter; }
    void PumpMessages() override {}

private:
    ProgressLog& m_log;
};

class RecordingScan : public CFolderScan {
public:
    using CFolderScan::CFolderScan;
    std::vector<std::string> seen;
    int stopAfter = -1;

protected:
    BOOL OnEntry(const CString& strPath) override
    {
        seen.push_back(strPath.Std());
        return stopAfter < 0 || static_cast<int>(seen.size()) < stopAfter;
    }
};

class FolderScanTest : public testing::Test {
protected:
    void SetUp() override
    {
        host = MakeTempDir("scan");
        folder = WinPath(host);
        for (const char* dir : {"/a/deep", "/b", "/c"})
            std::filesystem::create_directories(host + dir);
        WriteFileBytes(host + "/top.txt", "");
        WriteFileBytes(host + "/a/one.txt", "");
        WriteFileBytes(host + "/a/deep/two.TXT", "");
        WriteFileBytes(host + "/b/skip.bin", "");
        WriteFileBytes(host + "/c/three.txt", "");
        SetScanProgressFactory([this] { return std::make_unique<RecordingProgress>(log); });
    }
    void TearDown() override { SetScanProgressFactory({}); }

    std::string host;
    std::string folder;
    ProgressLog log;
};

TEST_F(FolderScanTest, RecursiveScanVisitsMatchingEntriesAtEveryDepth)
{
    RecordingScan scan(folder.c_str(), "*.TXT", TRUE, 0);
    scan.Scan();
    std::sort(scan.seen.begin(), scan.seen.end());
    EXPECT_EQ(scan.seen, (std::vector<std::string>{folder + "\\a\\deep\\two.TXT", folder + "\\a\\one.txt",
                             folder + "\\c\\three.txt", folder + "\\top.txt"}));
    // One level deep: the three top folders, each one step.
    EXPECT_EQ(log.range, 3);
    EXPECT_EQ(log.steps, 3);
    EXPECT_EQ(scan.GetDepthLimit(), 1);

    RecordingScan everyLevel(folder.c_str(), "", TRUE, 0);
    everyLevel.SetOneLevel(FALSE);
    everyLevel.Scan();
    EXPECT_TRUE(everyLevel.seen.empty());
    EXPECT_EQ(log.range, 4);
}

TEST_F(FolderScanTest, CancelAndStoppingEndTheWalk)
{
    log.cancelAfter = 1;
    RecordingScan cancelled(folder.c_str(), "*.TXT", TRUE, 0);
    cancelled.Scan();
    // The start folder's entry and the first folder's are kept; Cancel is
    // seen before the walk goes below "a".
    EXPECT_EQ(cancelled.seen, (std::vector<std::string>{folder + "\\top.txt", folder + "\\a\\one.txt"}));
    EXPECT_EQ(log.steps, 1);

    log = {};
    RecordingScan stopped(folder.c_str(), "*", TRUE, 0);
    stopped.stopAfter = 2;
    stopped.Scan();
    EXPECT_EQ(stopped.seen.size(), 2u);
}

TEST_F(FolderScanTest, WithoutRecursionTheStartFolderIsTheOnlyEntry)
{
    RecordingScan scan(folder.c_str(), "*.TXT", FALSE, 0);
    scan.Scan();
    EXPECT_EQ(scan.seen, (std::vector<std::string>{folder}));
    EXPECT_EQ(log.range, 6); // ".", "..", a, b, c, top.txt
}

TEST_F(FolderScanTest, FolderLinksAreFollowedOnlyIntoFoldersNotYetWalked)
{
    const std::string outside = MakeTempDir("scan-outside");
    WriteFileBytes(outside + "/four.txt", "");
    namespace fs = std::filesystem;
    fs::create_directory_symlink(host, host + "/a/deep/up");
    fs::create_directory_symlink(host + "/a", host + "/c/again");
    fs::create_directory_symlink(host + "/b", host + "/b/self");
    fs::create_directory_symlink(outside, host + "/c/out");
    fs::create_directory_symlink("/proc", host + "/b/proc");

    RecordingScan scan(folder.c_str(), "*.TXT", TRUE, 0);
    scan.SetOneLevel(FALSE);
    scan.Scan();
    std::sort(scan.seen.begin(), scan.seen.end());
    EXPECT_EQ(scan.seen, (std::vector<std::string>{folder + "\\a\\deep\\two.TXT", folder + "\\a\\one.txt",
                             folder + "\\c\\out\\four.txt", folder + "\\c\\three.txt", folder + "\\top.txt"}));
    // a, a\deep, b, c and c\out (not b\proc); the count follows the same
    // rules.
    EXPECT_EQ(log.range, 5);
    EXPECT_EQ(log.steps, 5);
}

TEST_F(FolderScanTest, WalkStopsSixtyFourLevelsDown)
{
    const std::string deep = MakeTempDir("scan-deep");
    std::string level = deep;
    for (int depth = 1; depth <= kMaxScanDepth + 3; ++depth) {
        level += "/d";
        std::filesystem::create_directory(level);
        WriteFileBytes(level + "/f.txt", "");
    }
    RecordingScan scan(WinPath(deep).c_str(), "*.TXT", TRUE, 0);
    scan.SetOneLevel(FALSE);
    scan.Scan();
    ASSERT_EQ(scan.seen.size(), size_t(kMaxScanDepth));
    std::string last = WinPath(deep);
    for (int depth = 1; depth <= kMaxScanDepth; ++depth)
        last += "\\d";
    EXPECT_EQ(*std::max_element(scan.seen.begin(), scan.seen.end(),
                  [](const std::string& x, const std::string& y) { return x.size() < y.size(); }),
        last + "\\f.txt");
    EXPECT_EQ(log.range, kMaxScanDepth);
}

TEST_F(FolderScanTest, UnreadableFoldersArePassedOver)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    ::chmod((host + "/a").c_str(), 0);
    RecordingScan scan(folder.c_str(), "*.TXT", TRUE, 0);
    scan.SetOneLevel(FALSE);
    scan.Scan();
    ::chmod((host + "/a").c_str(), 0755);
    std::sort(scan.seen.begin(), scan.seen.end());
    EXPECT_EQ(scan.seen, (std::vector<std::string>{folder + "\\c\\three.txt", folder + "\\top.txt"}));
}

TEST(IsSystemFolderTest, OnlyThePseudoFileSystemsOfTheRoot)
{
    for (const char* path : {"C:\\proc", "C:\\PROC\\", "c:\\Sys", "C:\\dev\\"})
        EXPECT_TRUE(IsSystemFolder(path)) << path;
    for (const char* path : {"C:\\", "C:\\proc\\1", "C:\\home\\proc", "D:\\proc", "C:\\devices", ""})
        EXPECT_FALSE(IsSystemFolder(path)) << path;
}

TEST_F(FolderScanTest, DriveCountLeavesOutTheSystemFolders)
{
    // The folders of the Linux root a walk of C: enters: each real folder
    // once, the pseudo file systems never.
    std::set<std::pair<dev_t, ino_t>> entered;
    struct stat st;
    ASSERT_EQ(::stat("/", &st), 0);
    entered.insert({st.st_dev, st.st_ino});
    int expected = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/")) {
        const std::string name = entry.path().filename().string();
        if (name == "proc" || name == "sys" || name == "dev" || ::stat(entry.path().c_str(), &st) != 0
            || !S_ISDIR(st.st_mode))
            continue;
        expected += entered.insert({st.st_dev, st.st_ino}).second ? 1 : 0;
    }
    // Cancelled at once: only the count runs.
    log.cancelAfter = 0;
    RecordingScan scan("C:\\", "", TRUE, 0);
    scan.Scan();
    EXPECT_EQ(log.range, expected);
    EXPECT_EQ(log.steps, 0);
}

TEST(SetArraySizeTest, AllocatesAtLeastOneAndRefusesHugeSizes)
{
    DwordArray array;
    ASSERT_TRUE(SetArraySize(array, 0, TRUE));
    EXPECT_EQ(array.nCount, 1);
    EXPECT_EQ(array.pData[0], 0u);

    ASSERT_TRUE(SetArraySize(array, 1000, TRUE));
    EXPECT_EQ(array.nCount, 1000);
    EXPECT_EQ(*std::max_element(array.pData, array.pData + 1000), 0u);

    EXPECT_FALSE(SetArraySize(array, kMaxDwordArray + 1, FALSE));
    EXPECT_EQ(array.pData, nullptr);
    EXPECT_EQ(array.nCount, 0);
    FreeArray(array);
}

} // namespace
