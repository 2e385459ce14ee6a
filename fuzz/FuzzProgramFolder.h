#pragma once
// A program folder of a fuzz run's own, in the temporary folder, with
// message boxes answered at once: readers that look for their files in the
// program folder find what the fuzzer wrote there.

#include "platform/files/ProgramFolder.h"
#include "platform/ui/AfxMessageBox.h"

#include <unistd.h>

#include <filesystem>
#include <string>

struct FuzzProgramFolder {
    std::string host;    // Linux path, no trailing slash
    std::string windows; // the same folder in Windows form, with a trailing backslash

    explicit FuzzProgramFolder(const char* name)
    {
        host = std::filesystem::temp_directory_path().string() + "/tw-" + name + "-" + std::to_string(getpid());
        std::filesystem::create_directories(host);
        platform::SetProgramFolderForTests(host);
        platform::SetAfxMessageBoxHandler([](LPCSTR, UINT, UINT) { return 1; });
        windows = "C:" + host + "\\";
        for (char& c : windows) {
            if (c == '/')
                c = '\\';
        }
    }
};
