// Picture files out of bitmap records: which format stores which depths,
// and the writers of every format the library saves. Each picture is first
// brought to the depth asked for (EncodeDepth.cpp); the decoder library then
// writes it with its coder named explicitly, except JPEG (EncodeJpeg.cpp,
// through libjpeg), PostScript (EpsWriter.cpp), CALS (EncodeCals.cpp),
// Windows metafiles (EncodeMetafile.cpp), WordPerfect graphics
// (EncodeWpg.cpp) and the black-and-white formats (EncodeBilevel.cpp), which
// the library does not write.

#include "platform/imaging/EncodeInternal.h"

#include "platform/base/GlobalMemory.h"
#include "platform/files/SafeReplace.h"

#include <Magick++.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace platform::imaging {
namespace {

// The decoder library's quantum macros name the type unqualified.
using MagickCore::Quantum;

// Depths a format stores, as a set.
enum DepthSet : unsigned {
    Depth1 = 1,
    Depth4 = 2,
    Depth8 = 4,
    Depth24 = 8,
    Depth32 = 16,
    AnyDepth = Depth1 | Depth4 | Depth8 | Depth24 | Depth32,
};

unsigned DepthBit(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return Depth1;
    case 4:
        return Depth4;
    case 8:
        return Depth8;
    case 24:
        return Depth24;
    case 32:
        return Depth32;
    default:
        return 0; // 16 bits and anything else: no format here stores them
    }
}

// Where a format can say that a colour is transparent.
enum class ColourKey {
    Never,
    Always,       // a palette entry or a colour key
    At32BitsOnly, // through the alpha channel
};

enum class Writer {
    Bmp,
    Jpeg,
    Tiff,
    Png,
    Psd,
    Tga,
    Pcx,
    Gif,
    Cals,
    Pict,
    SunRaster,
    Eps,
    Wmf,
    Wpg,
    MacPaint,
    Msp,
    GemImage,
};

struct FormatRule {
    int format;
    Writer writer;
    unsigned depths;
    OneBitColours oneBit;
    ColourKey colourKey;
};

// Palette files of 1 bit keep a two-colour picture's colours where the
// format has a real palette at that depth; elsewhere 1 bit is black and white.
constexpr FormatRule Rules[] = {
    { LT_FORMAT_BMP, Writer::Bmp, AnyDepth, OneBitColours::TwoColours, ColourKey::Never },
    { LT_FORMAT_JPEG, Writer::Jpeg, Depth8 | Depth24, OneBitColours::BlackWhite, ColourKey::Never },
    { LT_FORMAT_TIF, Writer::Tiff, AnyDepth, OneBitColours::TwoColours, ColourKey::Never },
    { LT_FORMAT_PNG, Writer::Png, AnyDepth, OneBitColours::TwoColours, ColourKey::Always },
    // Two codes of formats we do not have; their pictures are kept as PNG.
    { LT_FORMAT_CMP, Writer::Png, AnyDepth, OneBitColours::TwoColours, ColourKey::Always },
    { LT_FORMAT_LEAD1BIT, Writer::Png, AnyDepth, OneBitColours::TwoColours, ColourKey::Always },
    // Only colour PSDs: the decoder library's indexed PSDs cannot be read
    // back, and with alpha its merged image is not matted the way its own
    // reader (and the format) expects, so colours would change.
    { LT_FORMAT_PSD, Writer::Psd, Depth24, OneBitColours::BlackWhite, ColourKey::Never },
    { LT_FORMAT_TGA, Writer::Tga, Depth8 | Depth24 | Depth32, OneBitColours::BlackWhite, ColourKey::At32BitsOnly },
    { LT_FORMAT_PCX, Writer::Pcx, Depth1 | Depth8 | Depth24, OneBitColours::BlackWhite, ColourKey::Never },
    { LT_FORMAT_GIF, Writer::Gif, Depth1 | Depth4 | Depth8, OneBitColours::TwoColours, ColourKey::Always },
    { LT_FORMAT_CALS, Writer::Cals, Depth1, OneBitColours::BlackWhite, ColourKey::Never },
    { LT_FORMAT_PCT, Writer::Pict, Depth8 | Depth24, OneBitColours::BlackWhite, ColourKey::Never },
    { LT_FORMAT_RAS, Writer::SunRaster, Depth1 | Depth8 | Depth24 | Depth32, OneBitColours::BlackWhite,
        ColourKey::Never },
    { LT_FORMAT_EPS, Writer::Eps, Depth1 | Depth4 | Depth8 | Depth24, OneBitColours::TwoColours, ColourKey::Never },
    { LT_FORMAT_WMF, Writer::Wmf, Depth1 | Depth4 | Depth8 | Depth24, OneBitColours::TwoColours, ColourKey::Never },
    { LT_FORMAT_WPG, Writer::Wpg, Depth1 | Depth4 | Depth8, OneBitColours::TwoColours, ColourKey::Never },
    { LT_FORMAT_MAC, Writer::MacPaint, Depth1, OneBitColours::BlackWhite, ColourKey::Never },
    { LT_FORMAT_MSP, Writer::Msp, Depth1, OneBitColours::BlackWhite, ColourKey::Never },
    { LT_FORMAT_IMG, Writer::GemImage, Depth1, OneBitColours::BlackWhite, ColourKey::Never },
};

const FormatRule* RuleFor(int format)
{
    for (const FormatRule& rule : Rules) {
        if (rule.format == format)
            return &rule;
    }
    return nullptr;
}

// Integer quality 1..100 of the encoder for the library's quality factor
// (0 is the best; each step up trades one point of quality for size).
size_t EncoderQuality(int qualityFactor)
{
    int q = 100 - std::max(qualityFactor, 0);
    return size_t(std::clamp(q, 1, 100));
}

MagickCore::Quantum QuantumOf(uint8_t value)
{
    return static_cast<Quantum>(value * (QuantumRange / 255));
}

Magick::Image DirectImage(const OutputRaster& raster, bool alpha)
{
    Magick::Image image(size_t(raster.width), size_t(raster.height), "RGBA", Magick::CharPixel, raster.rgba.data());
    image.matte(alpha);
    return image;
}

// An image of the decoder library that is the palette and the indexes
// exactly, so that its writers store those and size the file by the palette.
Magick::Image IndexedImage(const OutputRaster& raster)
{
    const size_t width = size_t(raster.width);
    // Made from bytes rather than from a colour, which would go through a
    // coder the library is not allowed to run; every pixel is set below.
    Magick::Image image(width, size_t(raster.height), "I", Magick::CharPixel, raster.indexes.data());
    image.modifyImage();
    MagickCore::Image* core = image.image();
    // Bytes read as "I" make a grey image; the palette is colour.
    core->colorspace = MagickCore::sRGBColorspace;
    if (!MagickCore::AcquireImageColormap(core, raster.palette.size()))
        throw std::bad_alloc();
    for (size_t i = 0; i < raster.palette.size(); ++i) {
        MagickCore::PixelPacket& entry = core->colormap[i];
        entry.red = QuantumOf(raster.palette[i][0]);
        entry.green = QuantumOf(raster.palette[i][1]);
        entry.blue = QuantumOf(raster.palette[i][2]);
        entry.opacity = raster.palette[i][3] == 0 ? TransparentOpacity : OpaqueOpacity;
    }
    core->matte = raster.transparent ? MagickCore::MagickTrue : MagickCore::MagickFalse;
    Magick::Pixels view(image);
    for (int y = 0; y < raster.height; ++y) {
        MagickCore::PixelPacket* pixels = view.get(0, y, width, 1);
        MagickCore::IndexPacket* indexes = view.indexes();
        const uint8_t* in = raster.indexes.data() + size_t(y) * width;
        for (size_t x = 0; x < width; ++x) {
            indexes[x] = in[x];
            pixels[x] = core->colormap[in[x]];
        }
        view.sync();
    }
    return image;
}

// PNG's colour type and sample depth, named rather than left to the coder's
// guess, which would store a few-colour picture as a palette whatever the
// depth asked for.
void PngLayout(const OutputRaster& raster, Magick::Image& image)
{
    const char* colourType = "2";
    const char* sampleDepth = "8";
    if (raster.Indexed()) {
        const bool greyFile = !raster.transparent && (raster.grey || raster.blackAndWhite);
        colourType = greyFile ? "0" : "3";
        sampleDepth = raster.bits == 1 ? "1" : raster.bits == 4 ? "4" : "8";
    } else if (raster.bits == 32) {
        colourType = "6";
    }
    // A named palette type drops the transparent entry's tRNS chunk; left
    // unnamed, the coder writes a palette with it for a palette image.
    if (!(raster.Indexed() && raster.transparent))
        image.defineValue("png", "color-type", colourType);
    image.defineValue("png", "bit-depth", sampleDepth);
    // No time stamps: the same picture always gives the same bytes.
    image.defineValue("png", "exclude-chunks", "date,time");
}

void WriteWithLibrary(const FormatRule& rule, const OutputRaster& raster, Magick::Blob& out)
{
    EnsureLibrary();
    Magick::Image image;
    if (raster.Indexed())
        image = IndexedImage(raster);
    else
        image = DirectImage(raster, raster.bits == 32 || raster.transparent);
    image.quiet(true);
    image.depth(8);

    const char* coder = "BMP3";
    switch (rule.writer) {
    case Writer::Bmp:
        // The older header has no alpha mask.
        coder = raster.bits == 32 ? "BMP" : "BMP3";
        break;
    case Writer::Tiff:
        coder = "TIFF";
        // Black and white goes as fax code, which is made from the pixels
        // alone: the coder's LZW path leaves the padding bits of 1-bit rows
        // undefined, so the same picture would not give the same bytes.
        image.compressType(raster.bits == 1 && raster.blackAndWhite ? MagickCore::Group4Compression
                                                                     : MagickCore::LZWCompression);
        // One strip, so that the file's layout is known (ClearTiffPadding).
        image.defineValue("tiff", "rows-per-strip", std::to_string(raster.height));
        break;
    case Writer::Png:
        coder = "PNG";
        PngLayout(raster, image);
        // Deflate level 4 with adaptive row filters: a 12-megapixel photo is
        // written in under a second instead of over three at the coder's
        // default, for files about 7 % larger. Designs embed such pictures as
        // PNG at every first save.
        image.quality(45);
        break;
    case Writer::Psd:
        coder = "PSD";
        break;
    case Writer::Tga:
        coder = "TGA";
        // The coder writes the rows top first whatever it declares; left
        // undefined it declares the bottom first, and every reader that
        // follows the header shows the picture upside down.
        image.orientation(MagickCore::TopLeftOrientation);
        break;
    case Writer::Pcx:
        coder = "PCX";
        break;
    case Writer::Gif:
        coder = "GIF";
        break;
    case Writer::Pict:
        coder = "PICT";
        break;
    case Writer::SunRaster:
        coder = "SUN";
        break;
    case Writer::Jpeg:
    case Writer::Cals:
    case Writer::Eps:
    case Writer::Wmf:
    case Writer::Wpg:
    case Writer::MacPaint:
    case Writer::Msp:
    case Writer::GemImage:
        throw std::logic_error("this format has a writer of its own");
    }
    image.magick(coder);
    image.write(&out);
}

// The writers of ours that take a raster and give the file's bytes.
bool (*OwnWriter(Writer writer))(const OutputRaster&, std::string&)
{
    switch (writer) {
    case Writer::Cals:
        return WriteCals;
    case Writer::Wmf:
        return WriteWmf;
    case Writer::Wpg:
        return WriteWpg;
    case Writer::MacPaint:
        return WriteMacPaint;
    case Writer::Msp:
        return WriteMsp;
    case Writer::GemImage:
        return WriteGemImage;
    default:
        return nullptr;
    }
}

int Encode(const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor, std::string& out)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    const FormatRule* rule = RuleFor(format);
    if (!rule)
        return LT_ERR_FORMAT;
    if (!(rule->depths & DepthBit(bitsPerPixel)))
        return LT_ERR_BITS_FOR_FORMAT;

    // JPEG's grey is made from the colours, not from a palette of them: the
    // raster of a grey JPEG is at 24 bits.
    const bool greyJpeg = rule->writer == Writer::Jpeg && bitsPerPixel == 8;
    DepthRequest request;
    request.bits = greyJpeg ? 24 : bitsPerPixel;
    request.oneBit = rule->oneBit;
    request.markTransparent = (bitmap->Flags & LT_BITMAP_TRANSPARENT)
        && (rule->colourKey == ColourKey::Always || (rule->colourKey == ColourKey::At32BitsOnly && bitsPerPixel == 32));
    request.transparentColor = bitmap->TransparentColor;
    try {
        // A 24-bit picture already holds the metafile's rows.
        if (rule->writer == Writer::Wmf && bitsPerPixel == 24 && bitmap->BitsPerPixel == 24
            && bitmap->Order == LT_ORDER_BGR)
            return WriteWmf24(*bitmap, out) ? LT_SUCCESS : LT_ERR_WRITE;
        // Before any object of the library exists: its start sets our policy.
        EnsureLibrary();
        OutputRaster raster;
        PrepareRaster(*bitmap, request, raster);
        if (rule->writer == Writer::Eps) {
            out = WriteEps(raster);
            return LT_SUCCESS;
        }
        if (rule->writer == Writer::Jpeg)
            return WriteJpeg(raster, greyJpeg, int(EncoderQuality(qualityFactor)), out);
        if (bool (*own)(const OutputRaster&, std::string&) = OwnWriter(rule->writer))
            return own(raster, out) ? LT_SUCCESS : LT_ERR_WRITE;
        Magick::Blob blob;
        WriteWithLibrary(*rule, raster, blob);
        if (blob.length() == 0)
            return LT_ERR_WRITE;
        out.assign(static_cast<const char*>(blob.data()), blob.length());
        if (rule->writer == Writer::Tiff)
            ClearTiffPadding(out);
        return LT_SUCCESS;
    } catch (const Magick::ErrorResourceLimit&) {
        return LT_ERR_NO_MEMORY;
    } catch (const Magick::Exception&) {
        return LT_ERR_WRITE;
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    } catch (const std::exception&) {
        return LT_ERR_WRITE;
    }
}

} // namespace
} // namespace platform::imaging

using namespace platform::imaging;

int LtSaveFile(LPCSTR path, const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor)
{
    if (!path || !*path)
        return LT_ERR_BAD_NAME;
    std::string bytes;
    int result = Encode(bitmap, format, bitsPerPixel, qualityFactor, bytes);
    if (result != LT_SUCCESS)
        return result;
    // The new file replaces the old one only once it is whole, so a failed
    // save leaves what was there.
    if (!platform::ReplaceWindowsFileContents(path, bytes, platform::KeepBackup::No))
        return GetLastError() == ERROR_INVALID_NAME ? LT_ERR_BAD_NAME : LT_ERR_WRITE;
    return LT_SUCCESS;
}

int LtSaveToMemory(HGLOBAL* memory, const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor,
    DWORD* size)
{
    if (!memory || !size)
        return LT_ERR_BAD_PARAM;
    *memory = nullptr;
    *size = 0;
    std::string bytes;
    int result = Encode(bitmap, format, bitsPerPixel, qualityFactor, bytes);
    if (result != LT_SUCCESS)
        return result;
    if (bytes.size() > std::numeric_limits<DWORD>::max())
        return LT_ERR_NO_MEMORY;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* p = block ? GlobalLock(block) : nullptr;
    if (!p) {
        if (block)
            GlobalFree(block);
        return LT_ERR_NO_MEMORY;
    }
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    *memory = block;
    *size = DWORD(bytes.size());
    return LT_SUCCESS;
}
