#include "platform/files/FileApi.h"
#include "platform/services/FileMapping.h"

#include "tests/services/ChildProcess.h"

#include <gtest/gtest.h>

#include <string>

using namespace platform;
using services_test::Signal;
using services_test::StartChild;
using services_test::WaitChild;

namespace {

HANDLE Create(const char* name, DWORD protect = PAGE_READWRITE)
{
    return CreateFileMapping(INVALID_HANDLE_VALUE, NULL, protect, 0, 32, name);
}

// 0 when the name was new, 1 when it existed, 2 on failure; for children.
int Probe(const char* name)
{
    HANDLE mapping = Create(name, PAGE_READONLY);
    if (!mapping)
        return 2;
    int existed = GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0;
    CloseHandle(mapping);
    return existed;
}

} // namespace

TEST(FileMapping, NameExistsWhileAnyHandleHereIsOpen)
{
    HANDLE a = Create("Mapping local");
    ASSERT_NE(a, HANDLE(NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(IsFileMappingHandle(a));

    HANDLE b = Create("Mapping local", PAGE_READONLY);
    ASSERT_NE(b, HANDLE(NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_NE(a, b);

    // Names are case-sensitive.
    HANDLE other = Create("mapping local");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(CloseHandle(other));

    EXPECT_TRUE(CloseHandle(a));
    EXPECT_EQ(Probe("Mapping local"), 1) << "b still holds it";
    EXPECT_TRUE(CloseHandle(b));
    EXPECT_EQ(Probe("Mapping local"), 0);

    // A closed handle is dead.
    EXPECT_FALSE(CloseHandle(b));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(IsFileMappingHandle(b));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(FileMapping, NameHeldByAnotherProcessExistsUntilThatProcessEnds)
{
    const char* name = "Mapping shared";
    // Forked before anything here holds the name, so that what it sees comes
    // from the other processes and not from a copy of this one's handles.
    Signal probe;
    pid_t prober = StartChild([&] {
        probe.Wait();
        return Probe(name);
    });
    Signal created;
    Signal release;
    pid_t holder = StartChild([&] {
        if (!Create(name))
            return 1;
        created.Raise();
        release.Wait();
        _exit(0); // the handle is never closed: dying must release it
    });
    ASSERT_TRUE(created.Wait());
    EXPECT_EQ(Probe(name), 1);

    // Holding it here too keeps it alive after the other process is gone.
    HANDLE mine = Create(name);
    ASSERT_NE(mine, HANDLE(NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    release.Raise();
    ASSERT_EQ(WaitChild(holder), 0);
    probe.Raise();
    EXPECT_EQ(WaitChild(prober), 1);
    CloseHandle(mine);

    EXPECT_EQ(WaitChild(StartChild([&] { return Probe(name); })), 0);
    EXPECT_EQ(Probe(name), 0);
}

TEST(FileMapping, RefusesWhatItDoesNotProvide)
{
    struct Case {
        const char* what;
        HANDLE file;
        DWORD protect;
        DWORD sizeLow;
        const char* name;
        DWORD error;
    };
    std::string longName(MAX_PATH + 1, 'n');
    const Case cases[] = {
        { "file-backed", reinterpret_cast<HANDLE>(uintptr_t(5)), PAGE_READWRITE, 32, "x", ERROR_NOT_SUPPORTED },
        { "unnamed", INVALID_HANDLE_VALUE, PAGE_READWRITE, 32, NULL, ERROR_NOT_SUPPORTED },
        { "empty name", INVALID_HANDLE_VALUE, PAGE_READWRITE, 32, "", ERROR_NOT_SUPPORTED },
        { "zero size", INVALID_HANDLE_VALUE, PAGE_READWRITE, 0, "x", ERROR_INVALID_PARAMETER },
        { "execute protection", INVALID_HANDLE_VALUE, 0x10, 32, "x", ERROR_INVALID_PARAMETER },
        { "name too long", INVALID_HANDLE_VALUE, PAGE_READONLY, 32, longName.c_str(), ERROR_FILENAME_EXCED_RANGE },
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CreateFileMapping(c.file, NULL, c.protect, 0, c.sizeLow, c.name), HANDLE(NULL)) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    // Names made only of characters a file name cannot hold still work.
    HANDLE odd = Create("Local\\..\\/*?");
    ASSERT_NE(odd, HANDLE(NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(odd);
}
