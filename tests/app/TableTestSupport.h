#pragma once
// Shared by the tests of the flat record file, the text tables and the
// content catalogs: table bytes built by hand, host paths in the program's
// own form, and a program folder of the test's own with a support folder.

#include "platform/files/ProgramFolder.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/Resources.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace table_test {

// A host path as the program names it: on drive C:, with backslashes.
inline std::string WinPath(const std::string& host)
{
    std::string path = "C:" + host;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

// A text column: the text filled out with spaces (or cut) to the width.
inline std::string Pad(const std::string& text, size_t width)
{
    std::string out = text;
    out.resize(width, ' ');
    return out;
}

// A header record: the text filled out with NULs (or cut) to the length.
inline std::string Header(const std::string& text, size_t length)
{
    std::string out = text;
    out.resize(length, '\0');
    return out;
}

// A fresh program folder with an empty support folder, the program's
// resources registered, and message boxes answered with 1 and kept in
// `boxes`.
class ProgramFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        program = testing_support::MakeTempDir("program");
        std::filesystem::create_directories(program + "/support");
        platform::SetProgramFolderForTests(program);
        platform::SetProgramFolderWritable(true);
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
            boxes.push_back(text);
            return 1;
        });
    }
    void TearDown() override
    {
        platform::SetAfxMessageBoxHandler({});
        platform::SetProgramFolderForTests("");
        platform::ResetProgramFolderWritable();
    }

    std::string program;
    std::vector<std::string> boxes;
};

} // namespace table_test
