#include "app/KitFinder.h"

#include "app/FolderScan.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/profile/Registry.h"
#include "tests/app/TableTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using table_test::WinPath;
using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

namespace {

using Registered = std::vector<std::pair<std::string, std::string>>;

class KitFinderTest : public table_test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        // Copies of kit tables go through the files of drive letters, as in
        // the program.
        platform::InitFileSystem();
        std::remove(platform::RegistryFilePath().c_str());
        platform::ResetRegistryForTests();
        WriteFileBytes(program + "/support/QVN.kqa", "own");
        cd = MakeTempDir("cd");
        std::filesystem::create_directories(cd + "/KITS");
        std::filesystem::create_directories(cd + "/Occasion");
        WriteFileBytes(cd + "/KITS/design.kqa", "kit");
        WriteFileBytes(cd + "/Occasion/occasion.kqa", "mine");
    }
    void TearDown() override
    {
        platform::ResetDriveTable();
        ProgramFolderTest::TearDown();
    }

    // A fixed root and a CD-ROM drive on the given letter holding `cd`.
    void UseCdDrive(char letter)
    {
        const std::string spec = std::string(1, letter) + "=" + cd + ":cdrom:KITDISC";
        platform::SetDriveTable(platform::DriveTable::Build("/dev/sda1 / ext4 rw 0 0\n", spec, {}));
    }

    static void Register(const std::string& name, const std::string& path)
    {
        CRegKeyHelper key;
        key.Ensure(kKitsRegistryKey);
        ASSERT_TRUE(key.SetString(name.c_str(), path.c_str()));
    }

    // What a new run of the program finds under the kits key.
    static Registered RegisteredAfterRestart()
    {
        // This run ends as the program does, writing what it changed.
        platform::FlushRegistry();
        platform::ResetRegistryForTests();
        CRegKeyHelper key;
        key.Ensure(kKitsRegistryKey);
        Registered values;
        CString data;
        for (DWORD i = 0;; ++i) {
            CString name = key.EnumValue(i, data);
            if (name.IsEmpty())
                break;
            values.emplace_back(name.Std(), data.Std());
        }
        return values;
    }

    static std::vector<std::string> Kits(CKitFinder& finder)
    {
        std::vector<std::string> paths;
        CString path;
        int kind = -1;
        for (BOOL ok = finder.GetFirstKit(path, kind); ok; ok = finder.GetNextKit(path, kind))
            paths.push_back(path.Std() + "#" + std::to_string(kind));
        return paths;
    }

    std::string OwnTable() const { return WinPath(program) + "\\support\\QVN.kqa#0"; }

    std::string cd;
};

TEST_F(KitFinderTest, WithNoKitsOnlyTheProgramsOwnTableIsListed)
{
    CKitFinder finder(kDesignTableStem);
    EXPECT_EQ(Kits(finder), (std::vector<std::string>{OwnTable()}));
    CString category;
    CString path;
    EXPECT_FALSE(finder.GetFirstCDKit(category, path));
    EXPECT_EQ(finder.GetCurrentKit(), 0);
    EXPECT_EQ(finder.GetKitFileName(0), (WinPath(program) + "\\support\\QVN.kqa").c_str());
    EXPECT_EQ(finder.GetKitFileName(1), "");
}

TEST_F(KitFinderTest, DriveSearchRegistersTheCdKitOnceAndLaterRunsFindIt)
{
    UseCdDrive('D');
    int ranges = 0;
    SetScanProgressFactory([&ranges] {
        struct Progress : CScanProgress {
            int& ranges;
            explicit Progress(int& r)
                : ranges(r)
            {
            }
            void SetMessage(UINT) override {}
            void SetText(const CString&) override {}
            void SetRange(int) override { ++ranges; }
            void SetPos(int) override {}
            void Step() override {}
            BOOL IsCancelled() override { return FALSE; }
            void PumpMessages() override {}
        };
        return std::make_unique<Progress>(ranges);
    });
    {
        CKitFinder finder(kDesignTableStem);
        // C: is the whole Linux root; the search starts at the CD.
        EXPECT_EQ(finder.SearchDrives('D'), 1);
        // A second search meets the same kit and adds nothing.
        EXPECT_EQ(finder.SearchDrives('D'), 0);
    }
    SetScanProgressFactory({});
    EXPECT_EQ(ranges, 2);

    const std::string kit = "D:\\KITS\\design.kqa";
    // The user's own table in "Occasion" is no kit.
    EXPECT_EQ(RegisteredAfterRestart(), (Registered{{kit, kit}}));

    CKitFinder later(kDesignTableStem);
    EXPECT_EQ(Kits(later), (std::vector<std::string>{OwnTable(), kit + "#1"}));
    CString category;
    CString path;
    ASSERT_TRUE(later.GetFirstCDKit(category, path));
    EXPECT_EQ(category, "");
    EXPECT_EQ(path, kit.c_str());
    EXPECT_FALSE(later.GetNextCDKit(category, path));
    EXPECT_EQ(later.GetKitFileName(1), "D:\\KITS\\design.kqa");

    // Another kind's locator looks for the sibling table of each kit.
    CKitFinder occasions(kOccasionTableStem);
    EXPECT_EQ(occasions.GetKitCount(), 0); // neither QVN.kqb nor design.kqb exist
    WriteFileBytes(cd + "/KITS/design.kqb", "kit");
    occasions.FindKits();
    EXPECT_EQ(occasions.GetKitCount(), 1);
}

TEST_F(KitFinderTest, CaseDuplicatesAndMissingKitsAreLeftOut)
{
    UseCdDrive('D');
    Register("one", "D:\\KITS\\design.kqa");
    Register("two", "d:\\kits\\DESIGN.KQA");
    Register("three", "D:\\KITS\\gone.kqa");
    Register("four", "D:\\KITS\\design.dat"); // same table by another extension

    CKitFinder finder(kDesignTableStem);
    EXPECT_EQ(Kits(finder), (std::vector<std::string>{OwnTable(), "D:\\KITS\\design.kqa#1"}));
    CString category;
    CString path;
    std::vector<std::string> cdKits;
    for (BOOL ok = finder.GetFirstCDKit(category, path); ok; ok = finder.GetNextCDKit(category, path))
        cdKits.push_back(path.Std());
    // The missing kit is still on the disc's list: its drive is a CD-ROM.
    EXPECT_EQ(cdKits, (std::vector<std::string>{"D:\\KITS\\design.kqa", "D:\\KITS\\gone.kqa"}));
    // A search does not register a kit again under another spelling.
    EXPECT_EQ(finder.SearchDrives('D'), 0);
    EXPECT_EQ(RegisteredAfterRestart().size(), 4u);
}

TEST_F(KitFinderTest, FirstRegisteredKitFollowsItsDiscToAnotherLetter)
{
    UseCdDrive('F');
    Register("disc", "E:\\KITS\\design.kqa");

    CKitFinder finder(kDesignTableStem);
    EXPECT_EQ(Kits(finder), (std::vector<std::string>{OwnTable(), "F:\\KITS\\design.kqa#1"}));
    EXPECT_EQ(RegisteredAfterRestart(), (Registered{{"disc", "F:\\KITS\\design.kqa"}}));
}

TEST_F(KitFinderTest, SearchModeZeroCopiesCdTablesIntoTheSupportFolder)
{
    UseCdDrive('D');
    Register("disc", "D:\\KITS\\design.kqa");
    CKitFinder finder(kDesignTableStem);
    EXPECT_FALSE(std::filesystem::exists(program + "/support/design.kqa"));
    finder.SetSearchMode(0);
    finder.FindKits();
    EXPECT_TRUE(std::filesystem::exists(program + "/support/design.kqa"));

    // With the disc gone, the copy keeps the kit listed.
    platform::ResetDriveTable();
    UseCdDrive('G');
    std::filesystem::remove_all(cd + "/KITS");
    finder.SetSearchMode(1);
    finder.FindKits();
    EXPECT_EQ(finder.GetKitCount(), 2);
}

TEST_F(KitFinderTest, FilterSkipsKitsWhoseFlagIsClear)
{
    UseCdDrive('D');
    Register("disc", "D:\\KITS\\design.kqa");
    CKitFinder finder(kDesignTableStem);
    CFlagSet128 filter;
    filter.Set(1);
    finder.SetFilter(filter);
    EXPECT_EQ(Kits(finder), (std::vector<std::string>{"D:\\KITS\\design.kqa#1"}));
    EXPECT_EQ(finder.GetCurrentKit(), 1);
}

TEST(KitFileToCategoryNameTest, OnlyTheUsersOccasionTableHasAKnownCategory)
{
    EXPECT_EQ(KitFileToCategoryName("C:\\My Kits\\Occasion\\OCCASION.KQA"), "User defined");
    EXPECT_EQ(KitFileToCategoryName("occasion.kqa"), "User defined");
    EXPECT_EQ(KitFileToCategoryName("C:\\occasion.kqa\\other.kqa"), "");
    EXPECT_EQ(KitFileToCategoryName(""), "");
}

} // namespace
