#pragma once
// Shared set-up of the files tests: a drive table with only C: (so that the
// machine's own mounts never matter), the executable's program folder, and
// Windows-form spellings of host paths.

#include "platform/files/DriveTable.h"
#include "platform/files/ProgramFolder.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>

namespace files_test {

class FilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::SetDriveTable(platform::DriveTable());
        platform::SetProgramFolderForTests("");
        platform::ResetProgramFolderWritable();
    }
    void TearDown() override
    {
        platform::SetProgramFolderForTests("");
        platform::ResetProgramFolderWritable();
        platform::ResetDriveTable();
    }
};

// "/tmp/x/y" as "C:\tmp\x\y" (C: is the Linux root).
inline std::string Win(const std::string& hostPath)
{
    std::string out = "C:";
    for (char ch : hostPath)
        out += ch == '/' ? '\\' : ch;
    return out;
}

} // namespace files_test
