#pragma once
// A small baseline JPEG writer for the generated pictures: 8-bit YCbCr
// without subsampling, the usual quantisation tables scaled by a quality
// and the usual Huffman tables. Plain arithmetic only (the cosines are
// constants), so the same pixels give the same bytes on every machine.

#include <cstdint>
#include <vector>

namespace artgen {

// rgb holds width x height pixels, three bytes each, rows top to bottom.
// quality runs from 1 to 100. Empty when the size is not positive or rgb
// is too short.
std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height, int quality);

} // namespace artgen
