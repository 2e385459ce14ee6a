// The built-in support modules: loading by path, exports by name, load
// counts, stale handles, and everything that is not built in.

#include "platform/services/Modules.h"

#include "platform/base/GlobalMemory.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/services/Sound.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ModulesTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_program = testing_support::MakeTempDir("modules");
        platform::SetProgramFolderForTests(m_program);
        m_support = platform::WindowsPathFor(m_program) + "\\support\\";
    }
    void TearDown() override { platform::SetProgramFolderForTests(std::string()); }

    std::string m_program;
    std::string m_support;
};

TEST_F(ModulesTest, LoadsTheSoundModuleAndFindsItsExport)
{
    HMODULE module = LoadLibrary((m_support + "sndkit32.dll").c_str());
    ASSERT_NE(module, nullptr);
    FARPROC proc = GetProcAddress(module, "dllPlaySound");
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(reinterpret_cast<platform::DllPlaySoundProc>(proc), &platform::DllPlaySound);

    // Export names keep their case; ordinals are not offered.
    EXPECT_EQ(GetProcAddress(module, "DLLPLAYSOUND"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(ModulesTest, CountsLoadsAndRefusesAHandleAfterTheLastFree)
{
    HMODULE first = LoadLibrary((m_support + "SNDKIT32.DLL").c_str());
    HMODULE second = LoadLibrary((m_support + "sndkit32").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(platform::BuiltInModuleLoadCount("sndkit32.dll"), 2);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_NE(GetProcAddress(first, "dllPlaySound"), nullptr);
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(platform::BuiltInModuleLoadCount("sndkit32.dll"), 0);
    EXPECT_EQ(GetProcAddress(first, "dllPlaySound"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    // Loading again gives a new handle; the old one stays dead.
    HMODULE again = LoadLibrary((m_support + "sndkit32.dll").c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    EXPECT_EQ(GetProcAddress(first, "dllPlaySound"), nullptr);
    EXPECT_TRUE(FreeLibrary(again));
}

TEST_F(ModulesTest, TheCgmFilterLoadsWithItsTwoEntries)
{
    HMODULE module = LoadLibrary((m_support + "CGMOLV32.FLT").c_str());
    ASSERT_NE(module, nullptr);
    auto pfnInfo = reinterpret_cast<int (*)(short, LPSTR, HGLOBAL*, DWORD)>(GetProcAddress(module, "GetFilterInfo"));
    ASSERT_NE(pfnInfo, nullptr);
    EXPECT_NE(GetProcAddress(module, "ImportGr"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "dllPlaySound"), nullptr);
    // An import filter, with a preference block for its caller to free.
    HGLOBAL hPrefs = NULL;
    EXPECT_EQ(pfnInfo(0, nullptr, &hPrefs, 0), 2);
    EXPECT_NE(hPrefs, nullptr);
    EXPECT_EQ(GlobalFree(hPrefs), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(ModulesTest, OtherSupportModulesLoadWithoutExportsYet)
{
    for (const char* name : { "kqawr321.dll", "kqawm321.dll" }) {
        SCOPED_TRACE(name);
        HMODULE module = LoadLibrary((m_support + name).c_str());
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(GetProcAddress(module, "dllPlaySound"), nullptr);
        EXPECT_TRUE(FreeLibrary(module));
    }
}

TEST_F(ModulesTest, AnythingNotBuiltInIsNotFound)
{
    testing_support::WriteFileBytes(m_program + "/real.dll", "MZ");
    const std::string names[] = {
        m_support + "cgmolv32.dll", // the filter is a ".flt".
        m_support + "other.dll",
        platform::WindowsPathFor(m_program) + "\\sndkit32.dll", // not in support\ .
        platform::WindowsPathFor(m_program) + "\\real.dll",
        "sndkit32.dll", // the current folder is not support\ .
        "",
        std::string(2000, 'a'),
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        SetLastError(0);
        EXPECT_EQ(LoadLibrary(name.c_str()), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    EXPECT_EQ(LoadLibrary(NULL), nullptr);
    EXPECT_EQ(GetProcAddress(NULL, "dllPlaySound"), nullptr);
    EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(0x12345670), "dllPlaySound"), nullptr);
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(0x10)));
}

} // namespace
