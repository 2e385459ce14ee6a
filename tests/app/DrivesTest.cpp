#include "app/Drives.h"

#include "platform/files/DriveTable.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

namespace {

class DrivesTest : public testing::Test {
protected:
    void TearDown() override { platform::ResetDriveTable(); }

    static void UseDrives(const std::string& spec)
    {
        platform::SetDriveTable(platform::DriveTable::Build("/dev/sda1 / ext4 rw 0 0\n", spec, {}));
    }
};

TEST_F(DrivesTest, NoCdDriveLeavesLetterZero)
{
    std::string usb = MakeTempDir("usb");
    UseDrives("E=" + usb + ":removable:STICK");
    char letter = 'X';
    EXPECT_FALSE(FindCdDrive(letter, ""));
    EXPECT_EQ(letter, 0);
    letter = 'X';
    EXPECT_FALSE(FindCdDrive(letter, ":\\kit\\kit.dat"));
    EXPECT_EQ(letter, 0);
}

TEST_F(DrivesTest, FindsFirstCdDriveOrTheOneHoldingTheFile)
{
    std::string first = MakeTempDir("cd1");
    std::string second = MakeTempDir("cd2");
    std::filesystem::create_directories(second + "/kit");
    WriteFileBytes(second + "/kit/kit.dat", "x");
    UseDrives("E=" + first + ":cdrom:DISC1;G=" + second + ":cdrom:DISC2");

    char letter = 0;
    EXPECT_TRUE(FindCdDrive(letter, ""));
    EXPECT_EQ(letter, 'E');
    EXPECT_TRUE(FindCdDrive(letter, nullptr));
    EXPECT_EQ(letter, 'E');

    EXPECT_TRUE(FindCdDrive(letter, ":\\kit\\kit.dat"));
    EXPECT_EQ(letter, 'G');

    // Held by none: the last CD drive seen.
    EXPECT_FALSE(FindCdDrive(letter, ":\\kit\\other.dat"));
    EXPECT_EQ(letter, 'G');
}

TEST_F(DrivesTest, VolumeLabelReportsSuccess)
{
    std::string disc = MakeTempDir("disc");
    UseDrives("E=" + disc + ":cdrom:KITDISC");
    BOOL ok = FALSE;
    EXPECT_EQ(GetVolumeLabel("E:\\", &ok), "KITDISC");
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetVolumeLabel("Q:\\", &ok), "");
    EXPECT_FALSE(ok);

    // A drive whose medium is gone.
    std::filesystem::remove_all(disc);
    EXPECT_EQ(GetVolumeLabel("E:\\", &ok), "");
    EXPECT_FALSE(ok);
}

} // namespace
