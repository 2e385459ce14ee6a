#include "app/RegKeyHelper.h"
#include "platform/profile/Registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class RegKeyHelperTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::remove(platform::RegistryFilePath().c_str());
        platform::ResetRegistryForTests();
    }

    // What a new run of the program would see under HKCU\path.
    static bool KeyExistsAfterRestart(const char* path)
    {
        // This run ends as the program does, writing what it changed.
        platform::FlushRegistry();
        platform::ResetRegistryForTests();
        HKEY hKey = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
        return true;
    }

    static std::string RawValue(const char* path, const char* name, DWORD* type)
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return "<no key>";
        BYTE data[1024];
        DWORD cb = sizeof(data);
        LONG rc = RegQueryValueEx(hKey, name, nullptr, type, data, &cb);
        RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
            return "<no value>";
        return std::string(reinterpret_cast<const char*>(data), cb);
    }
};

TEST(RegKeyPath, SplitsAtBackslashes)
{
    CRegKeyPath path("Software\\A\\B");
    CString part;
    ASSERT_TRUE(path.Next(part));
    EXPECT_EQ(part, "Software");
    ASSERT_TRUE(path.Next(part));
    EXPECT_EQ(part, "A");
    ASSERT_TRUE(path.Next(part));
    EXPECT_EQ(part, "B");
    EXPECT_FALSE(path.Next(part));

    CRegKeyPath single("Software");
    ASSERT_TRUE(single.Next(part));
    EXPECT_EQ(part, "Software");
    EXPECT_FALSE(single.Next(part));

    CRegKeyPath empty("");
    EXPECT_FALSE(empty.Next(part));
}

TEST_F(RegKeyHelperTest, EnsureCreatesEveryLevelAndTheKeysSurviveARestart)
{
    const char* path = "Software\\Velmora Technology\\Common\\Tovell Kits";
    {
        CRegKeyHelper helper;
        helper.Ensure(path);
        ASSERT_NE(helper.GetKey(), nullptr);
        EXPECT_TRUE(helper.SetString("Kit0", "C:\\kits\\one"));
    }
    EXPECT_TRUE(KeyExistsAfterRestart(path));

    CRegKeyHelper again;
    again.Ensure(path);
    CString value;
    EXPECT_EQ(again.EnumValue(0, value), "Kit0");
    EXPECT_EQ(value, "C:\\kits\\one");
}

TEST_F(RegKeyHelperTest, StringsAreStoredWithoutTheirTerminator)
{
    CRegKeyHelper helper;
    helper.Ensure("Software\\T");
    ASSERT_TRUE(helper.SetString("Name", "abc"));
    DWORD type = 0;
    EXPECT_EQ(RawValue("Software\\T", "Name", &type), "abc");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    char buffer[260];
    memset(buffer, 'x', sizeof(buffer));
    ASSERT_TRUE(helper.QueryValue("Name", buffer));
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(RegKeyHelperTest, EnumValueGivesLongValuesWholeAndNothingPastTheEnd)
{
    CRegKeyHelper helper;
    helper.Ensure("Software\\Long");
    std::string longName(300, 'n');
    std::string longData(1000, 'd');
    ASSERT_TRUE(helper.SetString(longName.c_str(), longData.c_str()));
    ASSERT_TRUE(helper.SetString("short", "s"));

    CString data;
    EXPECT_EQ(std::string(helper.EnumValue(0, data)), longName);
    EXPECT_EQ(std::string(data), longData);
    EXPECT_EQ(helper.EnumValue(1, data), "short");
    EXPECT_EQ(data, "s");

    data = "left over";
    EXPECT_TRUE(helper.EnumValue(2, data).IsEmpty());
    EXPECT_TRUE(data.IsEmpty());

    // The caller's fixed buffer cannot take the long value: refused, not cut
    // short without its terminator.
    char buffer[260];
    EXPECT_FALSE(helper.QueryValue(longName.c_str(), buffer));
    EXPECT_STREQ(buffer, "");
}

TEST_F(RegKeyHelperTest, CreateKeyPathReadsTheFirstValueOfAnExistingKey)
{
    CString first;
    EXPECT_TRUE(CreateKeyPath("Software\\New\\Path", first));
    EXPECT_TRUE(first.IsEmpty());
    EXPECT_TRUE(KeyExistsAfterRestart("Software\\New\\Path"));

    // An existing key without values: the read fails.
    EXPECT_FALSE(CreateKeyPath("Software\\New\\Path", first));

    CRegKeyHelper helper;
    helper.Ensure("Software\\New\\Path");
    helper.SetString("First", "one");
    helper.SetString("Second", "two");
    EXPECT_TRUE(CreateKeyPath("Software\\New\\Path", first));
    EXPECT_EQ(first, "one");
}

TEST_F(RegKeyHelperTest, DeleteSubKeyAndCallsWithoutAKeyFail)
{
    CRegKeyHelper helper;
    EXPECT_FALSE(helper.SetString("x", "y"));
    EXPECT_FALSE(helper.DeleteSubKey("x"));
    CString data;
    EXPECT_TRUE(helper.EnumValue(0, data).IsEmpty());
    EXPECT_FALSE(helper.Open("Software\\Missing"));

    helper.Ensure("Software\\App\\1.0\\1.0-Summary");
    helper.Ensure("Software\\App\\1.0\\1.0-Bar0");
    helper.Ensure("Software\\App\\1.0");
    EXPECT_TRUE(helper.DeleteSubKey("1.0-Summary"));
    EXPECT_TRUE(helper.DeleteSubKey("1.0-Bar0"));
    EXPECT_FALSE(helper.DeleteSubKey("1.0-Bar1"));
    EXPECT_FALSE(KeyExistsAfterRestart("Software\\App\\1.0\\1.0-Summary"));
    EXPECT_TRUE(KeyExistsAfterRestart("Software\\App\\1.0"));
}

} // namespace
