// threadwick_soundgen: writes the program's sounds into a folder (normally
// resources/support/sounds/).
//
//   threadwick_soundgen output-folder

#include "SoundGen.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: threadwick_soundgen output-folder\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const artgen::ArtFile& file : artgen::MakeSoundFiles()) {
        std::filesystem::path path = folder / file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()))) {
            std::cerr << "threadwick_soundgen: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
