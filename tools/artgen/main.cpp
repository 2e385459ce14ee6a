// threadwick_artgen: writes the generated art into a folder (normally
// resources/art/) and prints the METAFILE strings that threadwick.rc must
// hold for them.
//
//   threadwick_artgen output-folder

#include "Art.h"
#include "ToolpadArt.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: threadwick_artgen output-folder\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::vector<artgen::ArtFile> files = artgen::MakeArtFiles();
    for (artgen::ArtFile& file : artgen::MakeToolpadArtFiles())
        files.push_back(std::move(file));
    for (const artgen::ArtFile& file : files) {
        std::filesystem::path path = folder / file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()))) {
            std::cerr << "threadwick_artgen: cannot write " << path << "\n";
            return 1;
        }
    }
    for (const artgen::MetafileArt& art : artgen::MakeMetafiles())
        std::cout << art.id << " \"" << artgen::MetafileString(art) << "\"\n";
    return 0;
}
