#include "platform/profile/PrivateProfile.h"

#include "platform/files/UserFolders.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

std::string WindowsFolder()
{
    std::string folder = platform::ConfigDir() + "/windows";
    ::mkdir(folder.c_str(), 0755);
    return folder;
}

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = WindowsFolder() + "/VELMORA.INI";
        testing_support::WriteFileBytes(m_path, "; kits found on this machine\r\n"
                                                "[Tovell Kits]\r\n"
                                                "Kit1 = C:\\KITS\\ONE.KQA  \r\n"
                                                "kit2=\"  quoted  \"\r\n"
                                                "not an entry\r\n"
                                                "\r\n"
                                                "[Other]\r\n"
                                                "Count=0x10 apples\n");
    }
    void TearDown() override
    {
        std::remove(m_path.c_str());
        std::remove((WindowsFolder() + "/win.ini").c_str());
    }

    std::string m_path;
};

TEST_F(PrivateProfileTest, FindsSectionsKeysAndTheFileWithoutCase)
{
    char buffer[64];
    EXPECT_EQ(GetPrivateProfileString("tovell kits", "KIT1", "", buffer, sizeof(buffer), "velmora.ini"), 15u);
    EXPECT_STREQ(buffer, "C:\\KITS\\ONE.KQA");
    EXPECT_EQ(GetPrivateProfileString("Tovell Kits", "Kit2", "", buffer, sizeof(buffer), "VELMORA.INI"), 10u);
    EXPECT_STREQ(buffer, "  quoted  ");
    EXPECT_EQ(GetPrivateProfileInt("OTHER", "count", 5, "Velmora.ini"), 16u);
    EXPECT_EQ(GetPrivateProfileInt("Other", "Missing", 5, "Velmora.ini"), 5u);

    // The default, less its trailing blanks, when the key or file is missing.
    EXPECT_EQ(GetPrivateProfileString("Tovell Kits", "Kit3", "none  ", buffer, sizeof(buffer), "VELMORA.INI"), 4u);
    EXPECT_STREQ(buffer, "none");
    SetLastError(0);
    EXPECT_EQ(GetPrivateProfileString("Tovell Kits", "Kit1", nullptr, buffer, sizeof(buffer), "ABSENT.INI"), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PrivateProfileTest, ListsNamesAndEntriesAndCutsThemToFit)
{
    char buffer[64];
    DWORD length = GetPrivateProfileString(nullptr, nullptr, nullptr, buffer, sizeof(buffer), "VELMORA.INI");
    EXPECT_EQ(std::string(buffer, length + 1), std::string("Tovell Kits\0Other\0\0", 19));
    length = GetPrivateProfileString("Tovell Kits", nullptr, nullptr, buffer, sizeof(buffer), "VELMORA.INI");
    EXPECT_EQ(std::string(buffer, length + 1), std::string("Kit1\0kit2\0\0", 11));
    length = GetPrivateProfileSection("Tovell Kits", buffer, sizeof(buffer), "VELMORA.INI");
    EXPECT_EQ(std::string(buffer, length + 1), std::string("Kit1=C:\\KITS\\ONE.KQA\0kit2=\"  quoted  \"\0\0", 40));

    // Cut to fit: a value gives nSize - 1, a list nSize - 2 and two zeros.
    EXPECT_EQ(GetPrivateProfileString("Tovell Kits", "Kit1", "", buffer, 6, "VELMORA.INI"), 5u);
    EXPECT_STREQ(buffer, "C:\\KI");
    EXPECT_EQ(GetPrivateProfileString(nullptr, nullptr, nullptr, buffer, 8, "VELMORA.INI"), 6u);
    EXPECT_EQ(std::string(buffer, 8), std::string("Tovell\0\0", 8));
    EXPECT_EQ(GetPrivateProfileSection("Tovell Kits", buffer, 24, "VELMORA.INI"), 22u);
    EXPECT_EQ(std::string(buffer, 24), std::string("Kit1=C:\\KITS\\ONE.KQA\0k\0\0", 24));

    // A section that is not there lists nothing.
    EXPECT_EQ(GetPrivateProfileSection("Missing", buffer, sizeof(buffer), "VELMORA.INI"), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(PrivateProfileTest, WritesKeepTheOtherLines)
{
    ASSERT_TRUE(WritePrivateProfileString("tovell kits", "KIT1", "D:\\ONE.KQA", "VELMORA.INI"));
    ASSERT_TRUE(WritePrivateProfileString("Tovell Kits", "Kit3", "E:\\THREE.KQA", "VELMORA.INI"));
    ASSERT_TRUE(WritePrivateProfileString("Other", "Count", nullptr, "VELMORA.INI"));
    ASSERT_TRUE(WritePrivateProfileString("New", "Key", "Value", "VELMORA.INI"));
    EXPECT_EQ(testing_support::ReadFileBytes(m_path), "; kits found on this machine\r\n"
                                                      "[Tovell Kits]\r\n"
                                                      "KIT1=D:\\ONE.KQA\r\n"
                                                      "kit2=\"  quoted  \"\r\n"
                                                      "not an entry\r\n"
                                                      "Kit3=E:\\THREE.KQA\r\n"
                                                      "\r\n"
                                                      "[Other]\r\n"
                                                      "\r\n"
                                                      "[New]\r\n"
                                                      "Key=Value\r\n");

    ASSERT_TRUE(WritePrivateProfileString("Tovell Kits", nullptr, nullptr, "VELMORA.INI"));
    char buffer[32];
    EXPECT_EQ(GetPrivateProfileString("Tovell Kits", "Kit3", "gone", buffer, sizeof(buffer), "VELMORA.INI"), 4u);
    EXPECT_EQ(GetPrivateProfileString("New", "key", "", buffer, sizeof(buffer), "VELMORA.INI"), 5u);

    // Text that would break the file's lines is refused.
    EXPECT_FALSE(WritePrivateProfileString("New", "Key", "two\nlines", "VELMORA.INI"));
    EXPECT_FALSE(WritePrivateProfileString("Bad]", "Key", "x", "VELMORA.INI"));
    EXPECT_FALSE(WritePrivateProfileString("New", "a=b", "x", "VELMORA.INI"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(PrivateProfileTest, WinIniIsCreatedOnFirstWrite)
{
    char buffer[32];
    EXPECT_EQ(GetProfileString("windows", "device", "none", buffer, sizeof(buffer)), 4u);
    ASSERT_TRUE(WriteProfileString("windows", "device", "PDF,pdf,FILE:"));
    EXPECT_EQ(GetProfileString("Windows", "Device", "none", buffer, sizeof(buffer)), 13u);
    EXPECT_STREQ(buffer, "PDF,pdf,FILE:");
    EXPECT_EQ(testing_support::ReadFileBytes(WindowsFolder() + "/win.ini"), "[windows]\r\ndevice=PDF,pdf,FILE:\r\n");
}

TEST_F(PrivateProfileTest, OverlongLinesAreCut)
{
    testing_support::WriteFileBytes(m_path, "[S]\nk=" + std::string(70000, 'v') + "\n[T]\nk=1\n");
    std::string buffer(80000, '\0');
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", buffer.data(), 80000, "VELMORA.INI"), 65533u);
    EXPECT_EQ(GetPrivateProfileInt("T", "k", 0, "VELMORA.INI"), 1u);
}

TEST(ProfileIntTest, ReadsTheLeadingNumber)
{
    const struct {
        const char* text;
        UINT value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"  42  ", 42},
        {"+7", 7},
        {"-1", 0xFFFFFFFFu},
        {"0x7381", 0x7381},
        {"0XfF", 255},
        {"55zz", 55},
        {"0x", 0},
        {"x12", 0},
        {"", 0},
        {"4294967297", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::ParseProfileInt(c.text), c.value) << '"' << c.text << '"';
}

} // namespace
