// threadwick_toolpadgen: writes the tool pad's background picture into a folder
// (normally resources/support/).
//
//   threadwick_toolpadgen output-folder

#include "ToolpadArt.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: threadwick_toolpadgen output-folder\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const artgen::ArtFile file = artgen::MakeToolpadPicture();
    const std::filesystem::path path = folder / file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (file.bytes.empty() || !out
        || !out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()))) {
        std::cerr << "threadwick_toolpadgen: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
