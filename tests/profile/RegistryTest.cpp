#include "platform/profile/Registry.h"

#include "tests/profile/ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { profile_test::StartWithEmptyRegistry(); }
    void TearDown() override { profile_test::StartWithEmptyRegistry(); }

    // Opens HKEY_CURRENT_USER\path, failing the test when that is not possible.
    static HKEY Open(const char* path)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS) << path;
        return key;
    }

    static HKEY Create(HKEY parent, const char* path, DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyEx(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      disposition),
            ERROR_SUCCESS)
            << path;
        return key;
    }

    static LONG SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes)
    {
        return RegSetValueEx(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
            static_cast<DWORD>(bytes.size()));
    }

    static std::string QueryBytes(HKEY key, const char* name, DWORD* type = nullptr)
    {
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueEx(key, name, nullptr, type, nullptr, &size), ERROR_SUCCESS) << name;
        std::string bytes(size, '\0');
        EXPECT_EQ(RegQueryValueEx(key, name, nullptr, type, reinterpret_cast<LPBYTE>(bytes.data()), &size),
            ERROR_SUCCESS);
        bytes.resize(size);
        return bytes;
    }
};

TEST_F(RegistryTest, CreatesAWholePathAndOpensItWithoutCase)
{
    DWORD disposition = 0;
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Velmora Technology\\Threadwick\\1.0", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);

    HKEY again = Create(HKEY_CURRENT_USER, "SOFTWARE\\velmora technology\\", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

    // The name keeps the spelling it was created with.
    char name[64];
    DWORD cchName = sizeof(name);
    ASSERT_EQ(RegEnumKeyEx(again, 0, name, &cchName, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Threadwick");
    EXPECT_EQ(cchName, 10u);
    cchName = sizeof(name);
    EXPECT_EQ(RegEnumKeyEx(again, 1, name, &cchName, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(again);

    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Other", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
}

TEST_F(RegistryTest, VolatileKeysCreatedLevelByLevelLastIntoTheNextRun)
{
    // The way the program creates its kits key: HKEY_CURRENT_USER itself
    // opened with an empty path, then one volatile level at a time.
    HKEY current = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, 0x20006, &current), ERROR_SUCCESS);
    for (const char* level : {"Software", "Velmora Technology", "Common", "Tovell Kits"}) {
        HKEY next = nullptr;
        ASSERT_EQ(RegCreateKeyEx(current, level, 0, nullptr, REG_OPTION_VOLATILE, 0x20006, nullptr, &next, nullptr),
            ERROR_SUCCESS);
        RegCloseKey(current);
        current = next;
    }
    RegCloseKey(current);

    profile_test::Reload();
    HKEY probe = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Velmora Technology\\Common\\Tovell Kits", 0, 0x20007, &probe),
        ERROR_SUCCESS);
    RegCloseKey(probe);
}

TEST_F(RegistryTest, StringsKeepTheirExactByteCount)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
    ASSERT_EQ(SetBytes(key, "Bare", REG_SZ, "abc"), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Terminated", REG_SZ, std::string("abc\0", 4)), ERROR_SUCCESS);
    RegCloseKey(key);

    profile_test::Reload();
    key = Open("Software\\Test");
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueEx(key, "Bare", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 3u);

    // Nothing is written past the stored bytes: no terminator is added.
    char buffer[8] = "XXXXXXX";
    size = sizeof(buffer);
    ASSERT_EQ(RegQueryValueEx(key, "Bare", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(buffer, 4), "abcX");

    EXPECT_EQ(QueryBytes(key, "Terminated"), std::string("abc\0", 4));
    RegCloseKey(key);
}

TEST_F(RegistryTest, QueryReportsSizesMissingValuesAndTheDefaultValue)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
    ASSERT_EQ(SetBytes(key, "Data", REG_BINARY, "0123456789"), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, nullptr, REG_SZ, "default"), ERROR_SUCCESS);

    BYTE small[4];
    DWORD size = sizeof(small);
    EXPECT_EQ(RegQueryValueEx(key, "DATA", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);

    DWORD type = 0;
    EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(QueryBytes(key, ""), "default");

    DWORD value = 0x00007381;
    ASSERT_EQ(RegSetValueEx(key, "Flags", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)),
        ERROR_SUCCESS);
    EXPECT_EQ(QueryBytes(key, "Flags", &type), std::string("\x81\x73\0\0", 4));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    EXPECT_EQ(RegDeleteValue(key, "data"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, "Data"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, EnumeratesValuesInCreationOrderWithLongNamesAndData)
{
    const std::string longName(300, 'n');
    const std::string longData(1000, 'd');
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Kits");
    ASSERT_EQ(SetBytes(key, "Kit0", REG_SZ, "C:\\kits\\one.kqa"), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, longName.c_str(), REG_SZ, longData), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Kit2", REG_SZ, "C:\\kits\\two.kqa"), ERROR_SUCCESS);
    // Rewriting a value keeps its place.
    ASSERT_EQ(SetBytes(key, "kit0", REG_SZ, "C:\\kits\\uno.kqa"), ERROR_SUCCESS);

    DWORD values = 0;
    DWORD maxName = 0;
    DWORD maxData = 0;
    ASSERT_EQ(RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &maxName,
                  &maxData, nullptr, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(maxName, 300u);
    EXPECT_EQ(maxData, 1000u);

    std::vector<char> name(maxName + 1);
    std::vector<BYTE> data(maxData);
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        DWORD cchName = static_cast<DWORD>(name.size());
        DWORD cbData = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG rc = RegEnumValue(key, index, name.data(), &cchName, nullptr, &type, data.data(), &cbData);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(rc, ERROR_SUCCESS);
        names.emplace_back(name.data(), cchName);
        std::string bytes(reinterpret_cast<char*>(data.data()), cbData);
        if (index == 0) {
            EXPECT_EQ(bytes, "C:\\kits\\uno.kqa");
        } else if (index == 1) {
            EXPECT_EQ(bytes, longData);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Kit0", longName, "Kit2"}));

    // A 260-character name buffer is too small for the long name, and the
    // size is left as it was; a short data buffer is told the size needed.
    char shortName[260];
    DWORD cchName = sizeof(shortName);
    BYTE shortData[260];
    DWORD cbData = sizeof(shortData);
    EXPECT_EQ(RegEnumValue(key, 1, shortName, &cchName, nullptr, nullptr, shortData, &cbData), ERROR_MORE_DATA);
    EXPECT_EQ(cchName, 260u);
    cchName = static_cast<DWORD>(name.size());
    EXPECT_EQ(RegEnumValue(key, 1, name.data(), &cchName, nullptr, nullptr, shortData, &cbData), ERROR_MORE_DATA);
    EXPECT_EQ(cbData, 1000u);
    // A NULL data pointer asks for the size alone.
    cchName = static_cast<DWORD>(name.size());
    cbData = 0;
    EXPECT_EQ(RegEnumValue(key, 1, name.data(), &cchName, nullptr, nullptr, nullptr, &cbData), ERROR_SUCCESS);
    EXPECT_EQ(cbData, 1000u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ClosedForgedAndStaleHandlesAreRefused)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    // The freed slot is used again, but the old handle stays dead.
    HKEY reused = Open("Software\\Test");
    EXPECT_NE(reused, key);
    EXPECT_EQ(SetBytes(key, "x", REG_SZ, "y"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetBytes(reused, "x", REG_SZ, "y"), ERROR_SUCCESS);

    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(reinterpret_cast<HKEY>(uintptr_t(0x1234))), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(reinterpret_cast<HKEY>(~uintptr_t(0))), ERROR_INVALID_HANDLE);

    // A reload (as a new process) leaves no handle of the old one valid.
    profile_test::Reload();
    EXPECT_EQ(RegFlushKey(reused), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(RegistryTest, DeletesLeafKeysOnlyAndOpenHandlesSeeTheDeletion)
{
    HKEY child = Create(HKEY_CURRENT_USER, "Software\\App\\1.0-Bar0");
    HKEY app = Open("Software\\App");
    HKEY software = Open("Software");

    EXPECT_EQ(RegDeleteKey(software, "App"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(app, "1.0-Bar9"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(app, "1.0-bar0"), ERROR_SUCCESS);

    EXPECT_EQ(SetBytes(child, "x", REG_SZ, "y"), ERROR_KEY_DELETED);
    DWORD values = 0;
    EXPECT_EQ(RegQueryInfoKey(child, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                  nullptr, nullptr),
        ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKey(software, "App"), ERROR_SUCCESS);
    RegCloseKey(app);
    RegCloseKey(software);

    profile_test::Reload();
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\App", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    HKEY kept = Open("Software");
    RegCloseKey(kept);
}

TEST_F(RegistryTest, OtherRootsAreEmptyAndReadOnly)
{
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS}) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyEx(root, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RegCreateKeyEx(root, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_ACCESS_DENIED);
        ASSERT_EQ(RegOpenKeyEx(root, nullptr, 0, KEY_READ, &key), ERROR_SUCCESS);
        EXPECT_EQ(SetBytes(key, "x", REG_SZ, "y"), ERROR_ACCESS_DENIED);
        RegCloseKey(key);
    }
}

TEST_F(RegistryTest, RefusesMalformedPathsAndOversizedNames)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "\\Lead", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "a\\\\b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_BAD_PATHNAME);
    const std::string longKey(256, 'k');
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, longKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_INVALID_PARAMETER);

    key = Create(HKEY_CURRENT_USER, "Software");
    const std::string longValue(16384, 'v');
    EXPECT_EQ(SetBytes(key, longValue.c_str(), REG_SZ, "x"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetBytes(key, "Huge", REG_BINARY, std::string((1 << 20) + 1, 'x')), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);

    // Nothing deeper than the file can hold is created.
    std::string deep;
    for (int i = 0; i < 513; ++i)
        deep += i ? "\\k" : "k";
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, deep.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, EveryTypeAndByteSurvivesTheNextRun)
{
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Bytes");
    ASSERT_EQ(SetBytes(key, everyByte.substr(1).c_str(), REG_SZ, everyByte), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Binary", REG_BINARY, everyByte), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Expand", REG_EXPAND_SZ, "%TEMP%\\x"), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Short dword", REG_DWORD, "ab"), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Qword", REG_QWORD, "12345678"), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, "Empty", REG_NONE, ""), ERROR_SUCCESS);
    RegCloseKey(key);

    profile_test::Reload();
    key = Open("Software\\Bytes");
    DWORD type = 0;
    EXPECT_EQ(QueryBytes(key, everyByte.substr(1).c_str(), &type), everyByte);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(QueryBytes(key, "Binary", &type), everyByte);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(QueryBytes(key, "Multi", &type), std::string("a\0b\0\0", 5));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(QueryBytes(key, "Expand", &type), "%TEMP%\\x");
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(QueryBytes(key, "Short dword", &type), "ab");
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(QueryBytes(key, "Qword", &type), "12345678");
    EXPECT_EQ(type, static_cast<DWORD>(REG_QWORD));
    EXPECT_EQ(QueryBytes(key, "Empty", &type), "");
    EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
    EXPECT_FALSE(platform::RegistryLoadProblem());
    RegCloseKey(key);
}

} // namespace
