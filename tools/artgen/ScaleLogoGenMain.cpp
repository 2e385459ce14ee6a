// threadwick_scalelogogen: writes the Scale dialog's stand-in picture into
// a folder (normally resources/support/).
//
//   threadwick_scalelogogen output-folder

#include "ScaleLogoArt.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: threadwick_scalelogogen output-folder\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const artgen::ArtFile file = artgen::MakeScaleLogoPicture();
    const std::filesystem::path path = folder / file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (file.bytes.empty() || !out
        || !out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()))) {
        std::cerr << "threadwick_scalelogogen: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
