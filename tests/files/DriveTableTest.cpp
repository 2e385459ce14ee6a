#include "platform/files/CrtFiles.h"
#include "platform/files/DriveTable.h"
#include "platform/files/Drives.h"
#include "platform/files/FileApi.h"
#include "tests/files/FilesTestSupport.h"

#include <unistd.h>

#include <cstring>
#include <vector>

using namespace platform;
using namespace files_test;

namespace {

const char* const kMounts =
    "/dev/sda2 / ext4 rw,relatime 0 0\n"
    "proc /proc proc rw,nosuid 0 0\n"
    "tmpfs /run tmpfs rw 0 0\n"
    "/dev/sda3 /home ext4 rw 0 0\n"
    "/dev/sdb1 /media/ann/MY\\040STICK vfat rw,uid=1000 0 0\n"
    "/dev/sr0 /media/ann/DESIGNS iso9660 ro 0 0\n"
    "//fileserver/pics /mnt/pics cifs rw 0 0\n"
    "nas:/export/clipart /mnt/clip nfs4 rw 0 0\n"
    "/dev/sdc1 /mnt/camera exfat rw 0 0\n"
    "/dev/sdd1 /mnt/backup exfat rw 0 0\n"
    "garbage\n";

MountEnvironment FakeEnvironment()
{
    MountEnvironment env;
    env.labelsByDevice["/dev/sr0"] = "KIT_VOL_1";
    env.labelsByDevice["/dev/sda2"] = "root";
    env.isRemovable = [](const std::string& device) { return device == "/dev/sdc1"; };
    return env;
}

TEST(DriveTable, GivesLettersToRemovableOpticalAndRemoteMounts)
{
    DriveTable table = DriveTable::Build(kMounts, "", FakeEnvironment());

    const DriveInfo* c = table.Find('C');
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->type, DRIVE_FIXED);
    EXPECT_EQ(c->hostRoot, "/");
    EXPECT_EQ(c->fileSystem, "EXT4");
    EXPECT_EQ(c->label, "root");

    struct Expected {
        char letter;
        UINT type;
        const char* root;
        const char* label;
        const char* remote;
        const char* fileSystem;
    } expected[] = {
        { 'D', DRIVE_REMOVABLE, "/media/ann/MY STICK", "MY STICK", "", "FAT32" },
        { 'E', DRIVE_CDROM, "/media/ann/DESIGNS", "KIT_VOL_1", "", "CDFS" },
        { 'F', DRIVE_REMOTE, "/mnt/pics", "pics", "\\\\fileserver\\pics", "CIFS" },
        { 'G', DRIVE_REMOTE, "/mnt/clip", "export\\clipart", "\\\\nas\\export\\clipart", "NFS4" },
        { 'H', DRIVE_REMOVABLE, "/mnt/camera", "camera", "", "exFAT" },
    };
    ASSERT_EQ(table.Drives().size(), 6u);
    for (const Expected& e : expected) {
        const DriveInfo* drive = table.Find(e.letter);
        ASSERT_NE(drive, nullptr) << e.letter;
        EXPECT_EQ(drive->type, e.type) << e.letter;
        EXPECT_EQ(drive->hostRoot, e.root) << e.letter;
        EXPECT_EQ(drive->label, e.label) << e.letter;
        EXPECT_EQ(drive->RemoteName(), e.remote) << e.letter;
        EXPECT_EQ(drive->fileSystem, e.fileSystem) << e.letter;
    }
    EXPECT_EQ(table.LogicalDrives(), 0xFCu); // C..H
    EXPECT_TRUE(table.Errors().empty());
}

TEST(DriveTable, TestDrivesComeFirstAndKeepTheirLetters)
{
    DriveTable table = DriveTable::Build(kMounts,
        "E=/tmp/cd:cdrom:KIT2; D=/tmp/usb/:removable ;K=/tmp/net:remote:\\\\srv\\share;R=/tmp/ram:ramdisk:RAM",
        FakeEnvironment());
    EXPECT_TRUE(table.Errors().empty());

    const DriveInfo* d = table.Find('d');
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->type, DRIVE_REMOVABLE);
    EXPECT_EQ(d->hostRoot, "/tmp/usb");
    EXPECT_EQ(d->label, "usb"); // no label given: the folder's name
    EXPECT_EQ(table.Find('E')->label, "KIT2");
    EXPECT_EQ(table.Find('K')->RemoteName(), "\\\\srv\\share");
    EXPECT_EQ(table.Find('R')->type, UINT(DRIVE_RAMDISK));
    // The mounts fill the free letters after them.
    EXPECT_EQ(table.Find('F')->hostRoot, "/media/ann/MY STICK");
    EXPECT_EQ(table.Find('G')->hostRoot, "/media/ann/DESIGNS");
}

TEST(DriveTable, ReportsBadTestDriveEntries)
{
    DriveTable table = DriveTable::Build("", "C=/tmp:fixed;D=relative:cdrom;E=/tmp/x:floppy;F/tmp:cdrom;G=/tmp/n:remote:nothing;H=/tmp/ok:cdrom", {});
    EXPECT_EQ(table.Errors().size(), 5u);
    EXPECT_EQ(table.Find('C')->hostRoot, "/");
    EXPECT_EQ(table.LogicalDrives(), (1u << 2) | (1u << 7));
}

TEST(DriveTable, FindsTheDriveOfAHostPathByTheLongestRoot)
{
    DriveTable table = DriveTable::Build(kMounts, "", FakeEnvironment());
    EXPECT_EQ(table.FindByHostPath("/media/ann/DESIGNS/kit/a.kqa")->letter, 'E');
    EXPECT_EQ(table.FindByHostPath("/media/ann/DESIGNS2/a")->letter, 'C');
    EXPECT_EQ(table.FindByHostPath("/home/ann")->letter, 'C');
    EXPECT_EQ(table.FindRemote("FILESERVER", "Pics")->letter, 'F');
    EXPECT_EQ(table.FindRemote("fileserver", "other"), nullptr);
}

class DriveCalls : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        m_cd = testing_support::MakeTempDir("cd");
        // Remote roots of their own: the tests run from a folder that must
        // stay on C: (a build under /tmp, say).
        std::string pics = testing_support::MakeTempDir("pics");
        std::string clip = testing_support::MakeTempDir("clip");
        std::string spec = "D=" + m_cd + ":cdrom:DESIGNS;E=/nonexistent-threadwick-drive:removable:GONE;"
            + "F=" + pics + ":remote:\\\\srv\\pics;G=" + clip + ":remote://nas/clip";
        SetDriveTable(DriveTable::Build("/dev/sda1 / ext4 rw 0 0\n", spec, {}));
    }
    std::string m_cd;
};

TEST_F(DriveCalls, GetDriveTypeAnswersFromTheTable)
{
    EXPECT_EQ(GetDriveType("C:\\"), UINT(DRIVE_FIXED));
    EXPECT_EQ(GetDriveType("d:\\"), UINT(DRIVE_CDROM));
    EXPECT_EQ(GetDriveType("D:"), UINT(DRIVE_CDROM));
    EXPECT_EQ(GetDriveType("E:\\"), UINT(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveType("\\\\srv\\pics\\"), UINT(DRIVE_REMOTE));
    EXPECT_EQ(GetDriveType("Q:\\"), UINT(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveType("C:\\home\\"), UINT(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveType(nullptr), UINT(DRIVE_FIXED));
}

TEST_F(DriveCalls, FindsTheCdDriveOverCToZ)
{
    // The program's search: every letter from C to Z, keeping CD-ROM drives.
    std::vector<char> cds;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        char root[] = { letter, ':', '\\', 0 };
        if (GetDriveType(root) == DRIVE_CDROM)
            cds.push_back(letter);
    }
    EXPECT_EQ(cds, std::vector<char> { 'D' });
}

TEST_F(DriveCalls, GetVolumeInformationGivesLabelSerialAndFileSystem)
{
    char label[285] = "x";
    char fileSystem[32] = "x";
    DWORD serial = 0;
    DWORD maxName = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetVolumeInformation("D:\\", label, sizeof label, &serial, &maxName, &flags, fileSystem, sizeof fileSystem));
    EXPECT_STREQ(label, "DESIGNS");
    EXPECT_STREQ(fileSystem, "CDFS");
    EXPECT_EQ(maxName, 255u);
    EXPECT_TRUE(flags & FILE_READ_ONLY_VOLUME);
    DWORD again = 0;
    ASSERT_TRUE(GetVolumeInformation("D:\\", nullptr, 0, &again, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(again, serial);

    EXPECT_FALSE(GetVolumeInformation("D:\\", label, 5, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_FALSE(GetVolumeInformation("E:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_READY));
    EXPECT_FALSE(GetVolumeInformation("Q:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(DriveCalls, ListsLogicalDrives)
{
    EXPECT_EQ(GetLogicalDrives(), 0x7Cu); // C, D, E, F, G
    char buffer[64];
    memset(buffer, 'x', sizeof buffer);
    DWORD length = GetLogicalDriveStrings(sizeof buffer, buffer);
    EXPECT_EQ(length, 20u);
    EXPECT_EQ(std::string(buffer, 21), std::string("C:\\\0D:\\\0E:\\\0F:\\\0G:\\\0\0", 21));
    EXPECT_EQ(GetLogicalDriveStrings(20, buffer), 21u);
}

TEST_F(DriveCalls, CurrentDriveFollowsTheCurrentFolder)
{
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    char start[285];
    ASSERT_NE(_getcwd(start, sizeof start), nullptr);
    EXPECT_EQ(_getdrive(), 3);
    ASSERT_EQ(_chdrive(4), 0);
    EXPECT_EQ(_getdrive(), 4);
    char folder[285];
    ASSERT_NE(_getcwd(folder, sizeof folder), nullptr);
    EXPECT_STREQ(folder, "D:\\");
    EXPECT_EQ(_chdrive(17), -1); // Q: does not exist
    EXPECT_EQ(_getdrive(), 4);
    ASSERT_EQ(_chdrive(3), 0);
    EXPECT_EQ(_getdrive(), 3);
    ASSERT_NE(_getcwd(folder, sizeof folder), nullptr);
    EXPECT_STREQ(folder, start) << "back on C: in the folder it left";
    ASSERT_EQ(chdir(saved), 0);
}

TEST_F(DriveCalls, EnumeratesConnectedNetworkDrives)
{
    HANDLE enumeration = nullptr;
    ASSERT_EQ(WNetOpenEnum(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, nullptr, &enumeration), DWORD(NO_ERROR));

    // Too small for one record: the size needed comes back.
    alignas(NETRESOURCE) char tiny[16];
    DWORD count = 0xFFFFFFFF;
    DWORD size = sizeof tiny;
    EXPECT_EQ(WNetEnumResource(enumeration, &count, tiny, &size), DWORD(ERROR_MORE_DATA));
    EXPECT_GT(size, DWORD(sizeof(NETRESOURCE)));

    alignas(NETRESOURCE) char buffer[1600];
    count = 0xFFFFFFFF;
    size = sizeof buffer;
    ASSERT_EQ(WNetEnumResource(enumeration, &count, buffer, &size), DWORD(NO_ERROR));
    ASSERT_EQ(count, 2u);
    const NETRESOURCE* records = reinterpret_cast<const NETRESOURCE*>(buffer);
    EXPECT_STREQ(records[0].lpLocalName, "F:");
    EXPECT_STREQ(records[0].lpRemoteName, "\\\\srv\\pics");
    EXPECT_STREQ(records[1].lpLocalName, "G:");
    EXPECT_STREQ(records[1].lpRemoteName, "\\\\nas\\clip");

    count = 0xFFFFFFFF;
    size = sizeof buffer;
    EXPECT_EQ(WNetEnumResource(enumeration, &count, buffer, &size), DWORD(ERROR_NO_MORE_ITEMS));
    EXPECT_EQ(WNetCloseEnum(enumeration), DWORD(NO_ERROR));
    EXPECT_EQ(WNetCloseEnum(enumeration), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(DriveCalls, PathsOnADriveMapBothWays)
{
    testing_support::WriteFileBytes(m_cd + "/Kit.kqa", "kit");
    EXPECT_EQ(GetFileAttributes("D:\\KIT.KQA"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(m_cd.c_str()), 0);
    char folder[285];
    EXPECT_EQ(GetCurrentDirectory(sizeof folder, folder), 3u);
    EXPECT_STREQ(folder, "D:\\");
    ASSERT_EQ(chdir(saved), 0);
}

} // namespace
