#pragma once
// The generated art of resources/art/: the application palette and the
// packed metafile pictures, made the same way every time so that a test can
// regenerate them and compare with the committed files.

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

// Pictures are packed with binary literals and a 2048-byte window.
constexpr int kMetafileDictionaryBits = 5;

// The logical palette of PALETTE resource 36: version 0x300, 256 entries
// (red, green, blue, flags): a 6 x 6 x 6 colour cube (index 36 r + 6 g + b,
// levels 0, 51, ..., 255), the 16 standard colours, and 24 greys from 8 to
// 238 in steps of 10, none of them a grey of the cube.
std::vector<uint8_t> MakeAppPalette();

struct MetafileArt {
    int id;                       // resource number, also the number of its string
    std::string title;            // display name in the string
    std::string file;             // file name under resources/art/
    std::vector<uint8_t> picture; // the unpacked metafile, placeable header first
};

std::vector<MetafileArt> MakeMetafiles();

// The resource's bytes: the stream length as a little-endian u32, then the
// stream.
std::vector<uint8_t> PackMetafileResource(const std::vector<uint8_t>& picture);

// The string of a picture's number: "unpacked size,title".
std::string MetafileString(const MetafileArt& art);

struct ArtFile {
    std::string name; // file name under resources/art/
    std::vector<uint8_t> bytes;
};

// Every file of resources/art/ that the generator makes.
std::vector<ArtFile> MakeArtFiles();

} // namespace artgen
