// CALS raster (type 1): sixteen 128-byte text records and then the picture
// as one Group 4 fax stream. The decoder library's own CALS writer hands the
// stream to a coder of its own that our policy does not allow, so the stream
// is taken from a one-strip Group 4 TIFF that the library writes for us.

#include "platform/imaging/EncodeInternal.h"

#include <Magick++.h>

#include <cstdio>

namespace platform::imaging {
namespace {

void Record(std::string& out, const std::string& text)
{
    std::string record = text.substr(0, 128);
    record.resize(128, ' ');
    out += record;
}

} // namespace

bool WriteCals(const OutputRaster& raster, std::string& out)
{
    const size_t count = size_t(raster.width) * size_t(raster.height);
    std::vector<uint8_t> levels(count);
    for (size_t i = 0; i < count; ++i)
        levels[i] = raster.palette[raster.indexes[i]][0] >= 128 ? 255 : 0;
    EnsureLibrary();
    Magick::Image image(size_t(raster.width), size_t(raster.height), "I", Magick::CharPixel, levels.data());
    image.quiet(true);
    image.type(MagickCore::BilevelType);
    image.compressType(MagickCore::Group4Compression);
    image.defineValue("tiff", "rows-per-strip", std::to_string(raster.height));
    image.defineValue("quantum", "polarity", "min-is-white");
    image.magick("TIFF");
    Magick::Blob tiff;
    image.write(&tiff);
    TiffLayout layout;
    if (!ReadTiffLayout(static_cast<const uint8_t*>(tiff.data()), tiff.length(), layout) || layout.compression != 4
        || layout.photometric != 0 || layout.fillOrder != 1)
        return false;
    const std::string stream(static_cast<const char*>(tiff.data()) + layout.stripOffset, layout.stripLength);

    out.clear();
    out.reserve(2048 + stream.size());
    for (const char* name : { "srcdocid", "dstdocid", "txtfilid", "figid", "srcgph", "docls" })
        Record(out, std::string(name) + ": NONE");
    Record(out, "rtype: 1");
    // Pixels run left to right, lines top to bottom.
    Record(out, "rorient: 000,270");
    char size[64];
    std::snprintf(size, sizeof size, "rpelcnt: %06d,%06d", raster.width, raster.height);
    Record(out, size);
    Record(out, "rdensty: 0200");
    Record(out, "notes: NONE");
    while (out.size() < 2048)
        Record(out, "");
    out += stream;
    return true;
}

} // namespace platform::imaging
