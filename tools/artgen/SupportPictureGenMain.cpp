// threadwick_supportpicgen: writes the border and background pictures of
// the support folder (normally into resources/support/).
//
//   threadwick_supportpicgen support-folder

#include "SupportPictureArt.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

bool WriteAll(const std::filesystem::path& folder, const std::vector<artgen::ArtFile>& files)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const artgen::ArtFile& file : files) {
        const std::filesystem::path path = folder / file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const auto* data = reinterpret_cast<const char*>(file.bytes.data());
        if (file.bytes.empty() || !out || !out.write(data, static_cast<std::streamsize>(file.bytes.size()))) {
            std::cerr << "threadwick_supportpicgen: cannot write " << path << "\n";
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: threadwick_supportpicgen support-folder\n";
        return 2;
    }
    const std::filesystem::path support = argv[1];
    const bool ok = WriteAll(support / "borders", artgen::MakeBorderFiles())
        && WriteAll(support / "backgrnd", artgen::MakeBackgroundFiles());
    return ok ? 0 : 1;
}
