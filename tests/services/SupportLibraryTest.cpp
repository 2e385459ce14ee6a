// The support library that carries resources: its handle is the support
// resource module's, so resource lookups through the handle LoadLibrary
// answered find what was registered there, and only while it is loaded do
// the module calls accept it.

#include "platform/services/Modules.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A resource of a type of its own, so it meets nothing of the program's.
const char kTestBytes[] = "support bytes";
const platform::ResourceEntry kTestEntries[] = {
    {"TWSUPPORTTEST", 0, nullptr, 7, kTestBytes, sizeof kTestBytes},
};
const platform::ResourceTable kTestTable = {kTestEntries, 1, nullptr, 0};

class SupportLibraryTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::RegisterResourceModule(platform::ResourceModule::Support, kTestTable);
        m_program = testing_support::MakeTempDir("supportlib");
        platform::SetProgramFolderForTests(m_program);
        m_library = platform::WindowsPathFor(m_program) + "\\support\\kqawr321.dll";
    }
    void TearDown() override { platform::SetProgramFolderForTests(std::string()); }

    std::string m_program;
    std::string m_library;
};

TEST_F(SupportLibraryTest, HandleFindsTheSupportModulesResourcesAndNotTheProgramsOwn)
{
    HMODULE library = LoadLibrary(m_library.c_str());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library, platform::GetResourceModuleHandle(platform::ResourceModule::Support));

    HRSRC info = FindResource(library, MAKEINTRESOURCE(7), "TWSUPPORTTEST");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(SizeofResource(library, info), sizeof kTestBytes);
    EXPECT_STREQ(static_cast<const char*>(LockResource(LoadResource(library, info))), kTestBytes);

    // The program's own module does not hold the library's resources.
    EXPECT_EQ(FindResource(AfxGetInstanceHandle(), MAKEINTRESOURCE(7), "TWSUPPORTTEST"), nullptr);
    EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(SupportLibraryTest, CountsLoadsOfTheOneHandleAndRefusesItWhenNoneIsLeft)
{
    HMODULE first = LoadLibrary(m_library.c_str());
    HMODULE second = LoadLibrary("kqawr321"); // not in the current folder
    EXPECT_EQ(second, nullptr);
    second = LoadLibrary((platform::WindowsPathFor(m_program) + "\\SUPPORT\\KQAWR321").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(platform::BuiltInModuleLoadCount("kqawr321.dll"), 2);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(platform::BuiltInModuleLoadCount("kqawr321.dll"), 0);
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetProcAddress(first, "anything"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    // The sound module keeps its own handles meanwhile.
    HMODULE sound = LoadLibrary((platform::WindowsPathFor(m_program) + "\\support\\sndkit32.dll").c_str());
    ASSERT_NE(sound, nullptr);
    EXPECT_NE(sound, first);
    EXPECT_NE(GetProcAddress(sound, "dllPlaySound"), nullptr);
    EXPECT_TRUE(FreeLibrary(sound));
}

} // namespace
