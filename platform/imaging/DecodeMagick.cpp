// The formats read through the decoder library (all but JPEG and PNG), the
// library's lock-down, and the conversion of decoded pictures to the depth a
// caller asks for.
//
// The library is started with a security policy of our own: no coder but the
// ones named below, no outside (delegate) program, no filter module and no
// indirect "@file" names. Each read names its coder explicitly, so the bytes
// never choose a reader, and files that carry PostScript are refused before
// the library sees them.

#include "platform/imaging/Decoders.h"

#include <Magick++.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <unistd.h>

namespace platform::imaging {
namespace {

// Coders the library may run. Reading: the formats we take (DIB is the BMP
// coder without the file header) and the ones they embed (icons hold PNGs,
// PICTs hold JPEGs). Writing: the formats the save functions produce.
const char* const ReadCoders[] = { "BMP", "DIB", "GIF", "ICO", "CUR", "JPEG", "PCD", "PICT", "PCX", "DCX", "PNG", "PSD",
    "PSB", "SUN", "TIFF", "WPG" };
const char* const WriteCoders[] = { "BMP", "BMP2", "BMP3", "GIF", "GIF87", "JPEG", "JPG", "PNG", "PNG8", "PNG24",
    "PNG32", "PNG48", "PNG64", "PNG00", "TIFF", "TIF", "TIFF64", "PSD", "TGA", "PCX", "PICT", "PCT", "SUN", "RAS",
    "CALS", "CAL" };

std::string PolicyText()
{
    std::string text = "<policymap>\n"
                       "  <policy domain=\"delegate\" rights=\"none\" pattern=\"*\"/>\n"
                       "  <policy domain=\"filter\" rights=\"none\" pattern=\"*\"/>\n"
                       "  <policy domain=\"path\" rights=\"none\" pattern=\"@*\"/>\n"
                       "  <policy domain=\"coder\" rights=\"none\" pattern=\"*\"/>\n";
    auto allow = [&](const char* name, const char* rights) {
        text += std::string("  <policy domain=\"coder\" rights=\"") + rights + "\" pattern=\"" + name + "\"/>\n";
    };
    for (const char* name : ReadCoders) {
        const bool writable = std::any_of(std::begin(WriteCoders), std::end(WriteCoders),
            [&](const char* w) { return std::strcmp(w, name) == 0; });
        allow(name, writable ? "read|write" : "read");
    }
    for (const char* name : WriteCoders) {
        const bool readable = std::any_of(std::begin(ReadCoders), std::end(ReadCoders),
            [&](const char* r) { return std::strcmp(r, name) == 0; });
        if (!readable)
            allow(name, "write");
    }
    text += "</policymap>\n";
    return text;
}

// The library reads its policy from the folders in MAGICK_CONFIGURE_PATH
// (besides the system's, whose rules only forbid more). The file lives in a
// private folder only as long as the start takes.
void StartWithPolicy()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/threadwick-imaging-XXXXXX";
    std::vector<char> name(folder.begin(), folder.end());
    name.push_back('\0');
    const bool made = mkdtemp(name.data()) != nullptr;
    std::string file = std::string(name.data()) + "/policy.xml";
    if (made) {
        if (FILE* out = std::fopen(file.c_str(), "w")) {
            const std::string text = PolicyText();
            std::fwrite(text.data(), 1, text.size(), out);
            std::fclose(out);
        }
    }
    const char* previous = std::getenv("MAGICK_CONFIGURE_PATH");
    std::string saved = previous ? previous : "";
    if (made)
        setenv("MAGICK_CONFIGURE_PATH", name.data(), 1);
    Magick::InitializeMagick(nullptr);
    // The library may have read the system's policy already (its C++ layer
    // starts the core when the program loads): drop it and read again, now
    // with ours. Asking once loads it while the file is there.
    MagickCore::PolicyComponentTerminus();
    MagickCore::PolicyComponentGenesis();
    MagickCore::IsRightsAuthorized(MagickCore::CoderPolicyDomain, MagickCore::ReadPolicyRights, "GIF");
    if (previous)
        setenv("MAGICK_CONFIGURE_PATH", saved.c_str(), 1);
    else
        unsetenv("MAGICK_CONFIGURE_PATH");
    if (made) {
        unlink(file.c_str());
        rmdir(name.data());
    }
}

} // namespace

void EnsureLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        StartWithPolicy();
        // The library's own limits back ours up inside its readers.
        Magick::ResourceLimits::width(LT_MAX_SIDE);
        Magick::ResourceLimits::height(LT_MAX_SIDE);
        Magick::ResourceLimits::area(MagickCore::MagickSizeType(LT_MAX_PIXELS));
    });
}

bool LibraryLockedDown()
{
    EnsureLibrary();
    using namespace MagickCore;
    return IsRightsAuthorized(CoderPolicyDomain, ReadPolicyRights, "TIFF")
        && !IsRightsAuthorized(CoderPolicyDomain, ReadPolicyRights, "PS")
        && !IsRightsAuthorized(CoderPolicyDomain, ReadPolicyRights, "SVG")
        && !IsRightsAuthorized(CoderPolicyDomain, ReadPolicyRights, "MSL")
        && !IsRightsAuthorized(CoderPolicyDomain, ReadPolicyRights, "TXT")
        && !IsRightsAuthorized(DelegatePolicyDomain, ExecutePolicyRights, "ps:alpha");
}

std::vector<RGBQUAD> GreyRamp(int bitsPerPixel)
{
    const int n = 1 << bitsPerPixel;
    std::vector<RGBQUAD> ramp(size_t(n), RGBQUAD { 0, 0, 0, 0 });
    for (int i = 0; i < n; ++i) {
        const BYTE level = BYTE(n == 1 ? 0 : i * 255 / (n - 1));
        ramp[size_t(i)] = RGBQUAD { level, level, level, 0 };
    }
    return ramp;
}

int PackRgbaReduced(std::vector<uint8_t>& rgba, int width, int height, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    if (PackRgba(rgba.data(), width, height, bitsPerPixel, order, PaletteFit::Exact, bitmap))
        return LT_SUCCESS;
    if (bitsPerPixel > 8)
        return LT_ERR_NO_MEMORY;
    // Too many colours for the palette: the library picks the best ones,
    // without dithering so that flat areas stay flat.
    EnsureLibrary();
    try {
        Magick::Image image(size_t(width), size_t(height), "RGBA", Magick::CharPixel, rgba.data());
        image.quantizeDither(false);
        image.quantizeColors(size_t(1) << bitsPerPixel);
        image.quantize();
        image.write(0, 0, size_t(width), size_t(height), "RGBA", Magick::CharPixel, rgba.data());
    } catch (const Magick::Exception&) {
        return LT_ERR_NO_MEMORY;
    }
    if (!PackRgba(rgba.data(), width, height, bitsPerPixel, order, PaletteFit::Nearest, bitmap))
        return LT_ERR_NO_MEMORY;
    return LT_SUCCESS;
}

int ConvertDepth(LTBITMAP& bitmap, int bitsPerPixel, int order)
{
    if (!Usable(bitmap))
        return LT_ERR_BAD_BITMAP;
    const int width = bitmap.Width;
    const int height = bitmap.Height;
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            PixelRgba(bitmap, x, y, &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]);
    }
    LTBITMAP converted;
    int result = PackRgbaReduced(rgba, width, height, bitsPerPixel, order, converted);
    if (result != LT_SUCCESS)
        return result;
    bitmap = std::move(converted);
    return LT_SUCCESS;
}

// ---- Reading through the library ---------------------------------------------------

namespace {

uint16_t U16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t U32(const BYTE* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

const char* CoderOf(int format, const BYTE* data, size_t size)
{
    switch (format) {
    case LT_FORMAT_BMP:
        return "BMP";
    case LT_FORMAT_GIF:
        return "GIF";
    case LT_FORMAT_ICO:
        return "ICO";
    case LT_FORMAT_JPEG:
        return "JPEG";
    case LT_FORMAT_PCD:
        return "PCD";
    case LT_FORMAT_PCT:
        return "PICT";
    case LT_FORMAT_PCX:
        return size >= 4 && U32(data) == 0x3ADE68B1u ? "DCX" : "PCX";
    case LT_FORMAT_PNG:
        return "PNG";
    case LT_FORMAT_PSD:
        return "PSD";
    case LT_FORMAT_RAS:
        return "SUN";
    case LT_FORMAT_TIF:
        return "TIFF";
    case LT_FORMAT_WPG:
        return "WPG";
    default:
        return nullptr;
    }
}

// WPG records of embedded PostScript (level 1: types 0x11 and 0x1B; level 2:
// the object-image record 0x12, which embeds a whole file of another format).
// The records are walked as the reader walks them, to their end record or the
// end of the bytes. False also for a header the reader would refuse.
bool WpgVariableLength(const BYTE* data, size_t size, size_t& at, size_t& value)
{
    if (at >= size)
        return false;
    value = data[at++];
    if (value < 0xFF)
        return true;
    if (at + 2 > size)
        return false;
    value = U16(data + at);
    at += 2;
    if (value < 0x8000)
        return true;
    if (at + 2 > size)
        return false;
    value = (value & 0x7FFF) << 16 | U16(data + at);
    at += 2;
    return true;
}

bool WpgCarriesPostScript(const BYTE* data, size_t size)
{
    if (size < 16)
        return false;
    const int level = data[10];
    size_t at = U32(data + 4);
    while (at < size) {
        size_t length = 0;
        size_t extension = 0;
        int type = 0;
        if (level == 1) {
            type = data[at++];
            if (!WpgVariableLength(data, size, at, length))
                return false;
            if (type == 0x11 || type == 0x1B)
                return true;
            if (type == 0x10)
                return false;
        } else {
            if (at + 2 > size)
                return false;
            type = data[at + 1];
            at += 2;
            if (!WpgVariableLength(data, size, at, extension) || !WpgVariableLength(data, size, at, length))
                return false;
            if (type == 0x12)
                return true;
            if (type == 0x02)
                return false;
        }
        if (length > size - std::min(at, size))
            return false;
        at += length;
    }
    return false;
}

// A PICT carries PostScript in picture comments (kinds 192-196: handle, file,
// text-is-PostScript, resource, begin-without-save), which other readers hand
// to a PostScript interpreter. Opcodes of version 2 pictures sit at even
// offsets.
bool PictCarriesPostScript(const BYTE* data, size_t size)
{
    for (size_t i = 0; i + 4 <= size; i += 2) {
        if (data[i] == 0x00 && (data[i + 1] == 0xA0 || data[i + 1] == 0xA1) && data[i + 2] == 0x00
            && data[i + 3] >= 192 && data[i + 3] <= 196)
            return true;
    }
    return false;
}

// Text that starts PostScript or its binary wrapper, anywhere in the bytes.
bool HoldsPostScriptText(const BYTE* data, size_t size)
{
    static const BYTE text[4] = { '%', '!', 'P', 'S' };
    static const BYTE binary[4] = { 0xC5, 0xD0, 0xD3, 0xC6 };
    for (size_t i = 0; i + 4 <= size; ++i) {
        if (std::memcmp(data + i, text, 4) == 0 || std::memcmp(data + i, binary, 4) == 0)
            return true;
    }
    return false;
}

bool CarriesPostScript(int format, const BYTE* data, size_t size)
{
    if (format == LT_FORMAT_WPG)
        return WpgCarriesPostScript(data, size) || HoldsPostScriptText(data, size);
    if (format == LT_FORMAT_PCT)
        return PictCarriesPostScript(data, size) || HoldsPostScriptText(data, size);
    return false;
}

// A DIB file is a BMP without its 14-byte file header; the library reads it
// as a BMP once the header is put back in front.
std::vector<BYTE> WithFileHeader(const BYTE* data, size_t size)
{
    const uint32_t header = U32(data);
    int bits = header == 12 ? U16(data + 10) : U16(data + 14);
    uint32_t colours = 0;
    uint32_t masks = 0;
    if (header >= 40 && size >= 36) {
        colours = U32(data + 32);
        if (header == 40 && (U32(data + 16) == BI_BITFIELDS || U32(data + 16) == 6))
            masks = U32(data + 16) == 6 ? 16 : 12;
    }
    if (colours == 0 && bits <= 8)
        colours = 1u << bits;
    const uint32_t entry = header == 12 ? 3 : 4;
    const uint64_t offset = 14 + uint64_t(header) + masks + uint64_t(std::min<uint32_t>(colours, 256)) * entry;
    std::vector<BYTE> bytes(14 + size);
    bytes[0] = 'B';
    bytes[1] = 'M';
    const uint64_t total = 14 + uint64_t(size);
    for (int i = 0; i < 4; ++i) {
        bytes[2 + size_t(i)] = BYTE(total >> (8 * i));
        bytes[10 + size_t(i)] = BYTE(offset >> (8 * i));
    }
    std::memcpy(bytes.data() + 14, data, size);
    return bytes;
}

// A PICT's version opcode sits 10 bytes into the picture, which follows a
// 512-byte block in files.
bool PictHasHeaderBlock(const BYTE* data, size_t size)
{
    if (size < 526)
        return false;
    const BYTE* v = data + 522;
    return (v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x02 && v[3] == 0xFF) || (v[0] == 0x11 && v[1] == 0x01);
}

// True when a BMP's header gives its pixels an alpha channel: a 16- or
// 32-bit bit-field file with a non-zero alpha mask. The fourth byte of a
// plain 32-bit pixel is unused by the format, and OS/2 headers have no masks.
bool BmpDeclaresAlpha(const BYTE* data, size_t size)
{
    if (size < 34)
        return false;
    const uint32_t headerSize = U32(data + 14);
    const int bits = U16(data + 28);
    const uint32_t compression = U32(data + 30);
    if (headerSize < 40 || headerSize == 64 || (bits != 16 && bits != 32))
        return false;
    const uint32_t AlphaBitFields = 6; // bit fields with four masks
    size_t maskAt = 0;
    if (headerSize >= 56 && (compression == BI_BITFIELDS || compression == AlphaBitFields))
        maskAt = 14 + 52;
    else if (compression == AlphaBitFields)
        maskAt = 14 + headerSize + 12; // four masks after a short header
    else
        return false;
    return maskAt + 4 <= size && U32(data + maskAt) != 0;
}

// What the alpha values the library decodes are worth.
enum class AlphaChannel {
    None,            // undefined: the picture is opaque
    Kept,            // the picture's own
    OpaqueWhenEmpty, // the picture's own unless every value is 0
};

// A BMP whose every alpha value is 0 was written by a program that left the
// channel empty, not as an invisible picture; BMP readers take it as opaque.
AlphaChannel AlphaOf(int format, const BYTE* data, size_t size, const Magick::Image& image)
{
    if (!image.matte())
        return AlphaChannel::None;
    if (format != LT_FORMAT_BMP)
        return AlphaChannel::Kept;
    return BmpDeclaresAlpha(data, size) ? AlphaChannel::OpaqueWhenEmpty : AlphaChannel::None;
}

// The smallest depth of a record whose palette holds that many colours.
int IndexedDepth(size_t colours)
{
    return colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
}

// The logical screen of a GIF (its first frame is placed on it) or the
// picture's own size.
struct Canvas {
    long long width = 0;
    long long height = 0;
    long long x = 0; // where the picture sits on it
    long long y = 0;
    bool covered = true; // the picture covers the whole canvas
};

Canvas CanvasOf(int format, const Magick::Image& image)
{
    Canvas canvas;
    canvas.width = static_cast<long long>(image.columns());
    canvas.height = static_cast<long long>(image.rows());
    if (format != LT_FORMAT_GIF)
        return canvas;
    const MagickCore::RectangleInfo& page = image.constImage()->page;
    if (page.width == 0 || page.height == 0)
        return canvas;
    canvas.x = page.x;
    canvas.y = page.y;
    canvas.covered = canvas.x <= 0 && canvas.y <= 0 && canvas.x + canvas.width >= (long long)page.width
        && canvas.y + canvas.height >= (long long)page.height;
    canvas.width = (long long)page.width;
    canvas.height = (long long)page.height;
    return canvas;
}

// The depth a load at 0 bits gives, from the header as the library reads it.
// Masked 16-bit BMPs load at 24 (32 with alpha) because their masks need not
// be 5-5-5; 2-bit pictures load at 4.
int FileDepth(int format, const BYTE* data, size_t size, const Magick::Image& image, const Canvas& canvas)
{
    if (format == LT_FORMAT_BMP && size >= 30) {
        const uint32_t headerSize = U32(data + 14);
        const int bits = headerSize == 12 ? U16(data + 24) : U16(data + 28);
        switch (bits) {
        case 1:
            return 1;
        case 2:
        case 4:
            return 4;
        case 8:
            return 8;
        case 16:
            return AlphaOf(format, data, size, image) != AlphaChannel::None ? 32 : 24;
        case 32:
            return 32;
        default:
            return 24;
        }
    }
    if (image.matte() || !canvas.covered)
        return 32;
    const size_t colours = image.constImage()->colors;
    if (image.classType() == MagickCore::PseudoClass && colours > 0 && colours <= 256)
        return IndexedDepth(colours);
    if (image.colorSpace() == MagickCore::GRAYColorspace || image.type() == MagickCore::GrayscaleType
        || image.type() == MagickCore::BilevelType)
        return image.depth() == 1 || image.type() == MagickCore::BilevelType ? 1 : 8;
    return 24;
}

// The library refuses a picture over its width and height limits (ours)
// with the same kind of exception as memory that ran out; only its text
// tells the two apart.
bool SaysTooLarge(const Magick::Exception& e)
{
    std::string text = e.what();
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text.find("exceeds limit") != std::string::npos || text.find("exceedslimit") != std::string::npos;
}

int CodeOf(const Magick::Exception& e)
{
    if (SaysTooLarge(e))
        return LT_ERR_TOO_LARGE;
    if (dynamic_cast<const Magick::ErrorResourceLimit*>(&e) || dynamic_cast<const Magick::WarningResourceLimit*>(&e))
        return LT_ERR_NO_MEMORY;
    if (dynamic_cast<const Magick::ErrorCorruptImage*>(&e) || dynamic_cast<const Magick::WarningCorruptImage*>(&e))
        return LT_ERR_CORRUPT;
    if (dynamic_cast<const Magick::ErrorMissingDelegate*>(&e) || dynamic_cast<const Magick::ErrorPolicy*>(&e))
        return LT_ERR_SUBTYPE;
    if (dynamic_cast<const Magick::ErrorCoder*>(&e))
        return LT_ERR_SUBTYPE;
    return LT_ERR_BAD_DATA;
}

uint32_t BigU32(const BYTE* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Whether the header of a GIF, PSD, Sun raster or PCX declares a picture
// over the limits, read before the library sees the bytes: some of its
// readers answer such a size as memory that ran out, and the user is to
// hear that the picture is too large. Sizes that make no sense are left to
// the reader to refuse as damaged.
bool DeclaredTooLarge(int format, const BYTE* data, size_t size)
{
    auto over = [](long long width, long long height) { return width > 0 && height > 0 && !SizeAllowed(width, height); };
    switch (format) {
    case LT_FORMAT_GIF: {
        if (size < 13)
            return false;
        if (over(U16(data + 6), U16(data + 8)))
            return true;
        // The first image, after the global colour table and any extensions.
        size_t at = 13 + ((data[10] & 0x80) ? 3 * (size_t(2) << (data[10] & 7)) : 0);
        while (at < size && data[at] == 0x21) {
            at += 2;
            while (at < size && data[at] != 0)
                at += size_t(data[at]) + 1;
            ++at;
        }
        return at + 9 <= size && data[at] == 0x2C && over(U16(data + at + 5), U16(data + at + 7));
    }
    case LT_FORMAT_PSD:
        return size >= 22 && over(BigU32(data + 18), BigU32(data + 14));
    case LT_FORMAT_RAS:
        return size >= 12 && over(BigU32(data + 4), BigU32(data + 8));
    case LT_FORMAT_PCX:
        return size >= 12 && data[0] == 0x0A
            && over((long long)U16(data + 8) - U16(data + 4) + 1, (long long)U16(data + 10) - U16(data + 6) + 1);
    default:
        return false;
    }
}

// Reads the first picture of the bytes with the named coder.
// Warnings leave the picture usable, except those that say its data was
// damaged: the picture would be partly made up.
int Read(int format, const BYTE* data, size_t size, Magick::Image& image)
{
    const char* coder = CoderOf(format, data, size);
    if (!coder)
        return LT_ERR_FORMAT;
    if (CarriesPostScript(format, data, size))
        return LT_ERR_SUBTYPE;
    if (DeclaredTooLarge(format, data, size))
        return LT_ERR_TOO_LARGE;
    EnsureLibrary();
    std::vector<BYTE> wrapped;
    if (format == LT_FORMAT_BMP && !(size >= 2 && data[0] == 'B' && data[1] == 'M')) {
        wrapped = WithFileHeader(data, size);
        data = wrapped.data();
        size = wrapped.size();
    } else if (format == LT_FORMAT_PCT && !PictHasHeaderBlock(data, size)) {
        // The reader expects the 512-byte block that files from applications
        // carry; a bare picture gets an empty one.
        wrapped.assign(512, 0);
        wrapped.insert(wrapped.end(), data, data + size);
        data = wrapped.data();
        size = wrapped.size();
    }
    try {
        Magick::Blob blob(data, size);
        image.quiet(false);
        // The resolution of a Photo CD image is chosen by its scene number;
        // left alone, the reader takes the 768 x 512 base.
        if (format != LT_FORMAT_PCD)
            image.subRange(1);
        image.magick(coder);
        try {
            image.read(blob);
        } catch (const Magick::Warning& warning) {
            if (dynamic_cast<const Magick::WarningCorruptImage*>(&warning))
                return LT_ERR_CORRUPT;
        }
        if (image.columns() == 0 || image.rows() == 0)
            return LT_ERR_BAD_DATA;
        return LT_SUCCESS;
    } catch (const Magick::Exception& e) {
        return CodeOf(e);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    } catch (const std::exception&) {
        return LT_ERR_BAD_DATA;
    }
}

// The picture as rows of R, G, B, A bytes on its canvas (uncovered parts
// transparent). Without alpha only the colours are asked of the library, so
// no undefined byte reaches the record.
void ExportRgba(Magick::Image& image, const Canvas& canvas, AlphaChannel alpha, std::vector<uint8_t>& rgba)
{
    const size_t width = image.columns();
    const size_t height = image.rows();
    const size_t count = width * height;
    std::vector<uint8_t> own;
    const bool placed = canvas.width != (long long)width || canvas.height != (long long)height || canvas.x != 0
        || canvas.y != 0;
    std::vector<uint8_t>& out = placed ? own : rgba;
    out.assign(count * 4, 0);
    if (alpha == AlphaChannel::None) {
        std::vector<uint8_t> rgb(count * 3);
        image.write(0, 0, width, height, "RGB", Magick::CharPixel, rgb.data());
        for (size_t i = 0; i < count; ++i) {
            std::memcpy(&out[4 * i], &rgb[3 * i], 3);
            out[4 * i + 3] = 255;
        }
    } else {
        image.write(0, 0, width, height, "RGBA", Magick::CharPixel, out.data());
        if (alpha == AlphaChannel::OpaqueWhenEmpty) {
            bool empty = true;
            for (size_t i = 0; i < count && empty; ++i)
                empty = out[4 * i + 3] == 0;
            if (empty) {
                for (size_t i = 0; i < count; ++i)
                    out[4 * i + 3] = 255;
            }
        }
    }
    if (!placed)
        return;
    rgba.assign(size_t(canvas.width) * size_t(canvas.height) * 4, 0);
    for (long long y = 0; y < (long long)height; ++y) {
        const long long cy = canvas.y + y;
        if (cy < 0 || cy >= canvas.height)
            continue;
        for (long long x = 0; x < (long long)width; ++x) {
            const long long cx = canvas.x + x;
            if (cx < 0 || cx >= canvas.width)
                continue;
            std::memcpy(&rgba[(size_t(cy) * size_t(canvas.width) + size_t(cx)) * 4],
                &own[(size_t(y) * width + size_t(x)) * 4], 4);
        }
    }
}

// Colour spaces other than sRGB (Photo CD's YCC, CMYK, Lab) are turned into
// sRGB before their pixels are taken.
void ToSrgb(Magick::Image& image)
{
    const MagickCore::ColorspaceType space = image.colorSpace();
    if (space != MagickCore::sRGBColorspace && space != MagickCore::GRAYColorspace
        && space != MagickCore::UndefinedColorspace)
        image.colorSpace(MagickCore::sRGBColorspace);
}

} // namespace

namespace {

// The header facts of a picture the library has read or pinged.
int Examine(int format, const BYTE* data, size_t size, const Magick::Image& image, LTFILEINFO& info)
{
    const Canvas canvas = CanvasOf(format, image);
    if (canvas.width <= 0 || canvas.height <= 0)
        return LT_ERR_BAD_DATA;
    if (!SizeAllowed(canvas.width, canvas.height) || !SizeAllowed((long long)image.columns(), (long long)image.rows()))
        return LT_ERR_TOO_LARGE;
    info = LTFILEINFO {};
    info.Format = format;
    info.Width = int(canvas.width);
    info.Height = int(canvas.height);
    info.BitsPerPixel = FileDepth(format, data, size, image, canvas);
    info.Order = LT_ORDER_BGR;
    info.FileSize = DWORD(size);
    return LT_SUCCESS;
}

} // namespace

int MagickInfo(int format, const BYTE* data, size_t size, LTFILEINFO& info)
{
    // The readers' quick look at a header (a "ping") leaves out what their
    // reading finds: a PICT's true frame, a PCX's palette, a TIFF's or PSD's
    // alpha. The facts must be those a load gives, so the picture is read.
    Magick::Image image;
    int result = Read(format, data, size, image);
    if (result != LT_SUCCESS)
        return result;
    try {
        return Examine(format, data, size, image, info);
    } catch (const Magick::Exception& e) {
        return CodeOf(e);
    }
}

int MagickDecode(int format, const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    try {
        Magick::Image image;
        int result = Read(format, data, size, image);
        if (result != LT_SUCCESS)
            return result;
        LTFILEINFO info;
        result = Examine(format, data, size, image, info);
        if (result != LT_SUCCESS)
            return result;
        const int bits = bitsPerPixel == 0 ? info.BitsPerPixel : bitsPerPixel;
        const Canvas canvas = CanvasOf(format, image);
        ToSrgb(image);
        const AlphaChannel alpha = canvas.covered ? AlphaOf(format, data, size, image) : AlphaChannel::Kept;
        std::vector<uint8_t> rgba;
        ExportRgba(image, canvas, alpha, rgba);
        image = Magick::Image(); // the library's copy is no longer needed
        return PackRgbaReduced(rgba, info.Width, info.Height, bits, order, bitmap);
    } catch (const Magick::Exception& e) {
        return CodeOf(e);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    } catch (const std::exception&) {
        return LT_ERR_BAD_DATA;
    }
}

} // namespace platform::imaging
