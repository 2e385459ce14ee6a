// Picture files through the decoder and encoder library. Only BMP, PNG and
// JPEG bytes ever reach it: the format is recognised here from the first
// bytes and named to the library explicitly, so no other of its readers can
// be reached with outside data.

#include "platform/imaging/ImagingInternal.h"

#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"

#include <Magick++.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

namespace platform::imaging {
namespace {

void EnsureLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // The library's own limits back ours up inside its readers.
        Magick::ResourceLimits::width(LT_MAX_SIDE);
        Magick::ResourceLimits::height(LT_MAX_SIDE);
        Magick::ResourceLimits::area(MagickCore::MagickSizeType(LT_MAX_PIXELS));
    });
}

uint16_t U16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t U32(const BYTE* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int Sniff(const BYTE* data, size_t size)
{
    static const BYTE png[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (size >= 8 && std::memcmp(data, png, 8) == 0)
        return LT_FORMAT_PNG;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return LT_FORMAT_JPEG;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return LT_FORMAT_BMP;
    return 0;
}

const char* MagickName(int format)
{
    switch (format) {
    case LT_FORMAT_PNG:
        return "PNG";
    case LT_FORMAT_JPEG:
        return "JPEG";
    default:
        return "BMP";
    }
}

// A JPEG stream ends with its EOI marker. Walks the marker segments and the
// scans between them (where a 0xFF byte is always stuffed or a restart
// marker) to the EOI; a stream that runs out first was cut off.
bool JpegComplete(const BYTE* data, size_t size)
{
    size_t i = 2;
    while (i + 1 < size) {
        if (data[i] != 0xFF) {
            ++i; // stray bytes between segments are tolerated, as decoders do
            continue;
        }
        const BYTE marker = data[i + 1];
        if (marker == 0xD9)
            return true;
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += marker == 0xFF ? 1 : 2; // fill bytes and markers without a length
            continue;
        }
        if (i + 3 >= size)
            return false;
        const size_t length = size_t(data[i + 2]) << 8 | data[i + 3];
        if (length < 2)
            return false;
        i += 2 + length;
        if (marker != 0xDA)
            continue;
        // Scan data runs to the next marker that is neither stuffing nor a restart.
        while (i + 1 < size
            && !(data[i] == 0xFF && data[i + 1] != 0x00 && !(data[i + 1] >= 0xD0 && data[i + 1] <= 0xD7)))
            ++i;
    }
    return false;
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

// The picture as rows of R, G, B, A bytes. Without alpha only the colours
// are asked of the library, so no undefined byte reaches the record.
void ExportRgba(Magick::Image& image, int width, int height, AlphaChannel alpha, std::vector<uint8_t>& rgba)
{
    const size_t count = size_t(width) * size_t(height);
    switch (alpha) {
    case AlphaChannel::Kept:
    case AlphaChannel::OpaqueWhenEmpty:
        image.write(0, 0, size_t(width), size_t(height), "RGBA", Magick::CharPixel, rgba.data());
        if (alpha == AlphaChannel::Kept)
            return;
        for (size_t i = 0; i < count; ++i) {
            if (rgba[4 * i + 3] != 0)
                return;
        }
        for (size_t i = 0; i < count; ++i)
            rgba[4 * i + 3] = 255;
        return;
    case AlphaChannel::None: {
        // The colours go to the last three quarters of the buffer and are
        // spread out from its front, which never overtakes them.
        uint8_t* rgb = rgba.data() + count;
        image.write(0, 0, size_t(width), size_t(height), "RGB", Magick::CharPixel, rgb);
        for (size_t i = 0; i < count; ++i) {
            const uint8_t r = rgb[3 * i];
            const uint8_t g = rgb[3 * i + 1];
            const uint8_t b = rgb[3 * i + 2];
            rgba[4 * i] = r;
            rgba[4 * i + 1] = g;
            rgba[4 * i + 2] = b;
            rgba[4 * i + 3] = 255;
        }
        return;
    }
    }
}

// The depth a load at 0 bits gives, from the file's header. Masked 16-bit
// BMPs load at 24 (32 with alpha) because their masks need not be 5-5-5.
int HeaderDepth(int format, const BYTE* data, size_t size, const Magick::Image& pinged)
{
    if (format == LT_FORMAT_BMP && size >= 30) {
        uint32_t headerSize = U32(data + 14);
        int bits = headerSize == 12 ? U16(data + 24) : U16(data + 28);
        switch (bits) {
        case 1:
            return 1;
        case 2:
        case 4:
            return 4;
        case 8:
            return 8;
        case 16:
            return AlphaOf(format, data, size, pinged) != AlphaChannel::None ? 32 : 24;
        case 32:
            return 32;
        default:
            return 24;
        }
    }
    if (format == LT_FORMAT_PNG && size >= 26 && std::memcmp(data + 12, "IHDR", 4) == 0) {
        int depth = data[24];
        switch (data[25]) {
        case 0: // grey
        case 3: // palette
            return depth == 1 ? 1 : depth <= 4 ? 4 : 8;
        case 4: // grey and alpha
        case 6: // colour and alpha
            return 32;
        default:
            return 24;
        }
    }
    if (format == LT_FORMAT_JPEG)
        return pinged.colorSpace() == MagickCore::GRAYColorspace ? 8 : 24;
    return 24;
}

int CodeOf(const Magick::Exception& e)
{
    if (dynamic_cast<const Magick::ErrorResourceLimit*>(&e))
        return LT_ERR_NO_MEMORY;
    if (dynamic_cast<const Magick::ErrorCorruptImage*>(&e))
        return LT_ERR_CORRUPT;
    if (dynamic_cast<const Magick::ErrorMissingDelegate*>(&e))
        return LT_ERR_FORMAT;
    if (dynamic_cast<const Magick::ErrorCoder*>(&e))
        return LT_ERR_SUBTYPE;
    return LT_ERR_BAD_DATA;
}

// Checks the bytes and pings the picture: format, size and depth, without
// decoding any pixels.
int Probe(const BYTE* data, size_t size, LTFILEINFO& info)
{
    if (!data || size == 0)
        return LT_ERR_READ;
    if (size > size_t(LT_MAX_FILE_BYTES))
        return LT_ERR_READ;
    int format = Sniff(data, size);
    if (format == 0)
        return LT_ERR_FORMAT;
    if (format == LT_FORMAT_JPEG && !JpegComplete(data, size))
        return LT_ERR_CORRUPT;
    EnsureLibrary();
    try {
        Magick::Blob blob(data, size);
        Magick::Image image;
        image.quiet(true);
        image.magick(MagickName(format));
        image.ping(blob);
        long long width = static_cast<long long>(image.columns());
        long long height = static_cast<long long>(image.rows());
        if (width <= 0 || height <= 0)
            return LT_ERR_BAD_DATA;
        if (!SizeAllowed(width, height))
            return LT_ERR_NO_MEMORY;
        info = LTFILEINFO {};
        info.Format = format;
        info.Width = int(width);
        info.Height = int(height);
        info.BitsPerPixel = HeaderDepth(format, data, size, image);
        info.Order = LT_ORDER_BGR;
        info.FileSize = DWORD(size);
        return LT_SUCCESS;
    } catch (const Magick::Exception& e) {
        return CodeOf(e);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    } catch (const std::exception&) {
        return LT_ERR_BAD_DATA;
    }
}

// Decodes the whole picture into bitmap; bitmap is only touched on success.
int Decode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    if (bitsPerPixel != 0 && !ValidDepth(bitsPerPixel))
        return LT_ERR_BAD_PARAM;
    if (order != LT_ORDER_RGB && order != LT_ORDER_BGR)
        return LT_ERR_BAD_PARAM;
    LTFILEINFO info;
    int result = Probe(data, size, info);
    if (result != LT_SUCCESS)
        return result;
    const int bits = bitsPerPixel == 0 ? info.BitsPerPixel : bitsPerPixel;
    try {
        Magick::Blob blob(data, size);
        Magick::Image image;
        image.quiet(true);
        image.magick(MagickName(info.Format));
        image.read(blob);
        const int width = int(image.columns());
        const int height = int(image.rows());
        if (width != info.Width || height != info.Height || !SizeAllowed(width, height))
            return LT_ERR_BAD_DATA;
        if (image.colorSpace() == MagickCore::CMYKColorspace)
            image.colorSpace(MagickCore::sRGBColorspace);

        const AlphaChannel alpha = AlphaOf(info.Format, data, size, image);
        std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
        ExportRgba(image, width, height, alpha, rgba);
        LTBITMAP decoded;
        if (!PackRgba(rgba.data(), width, height, bits, order, PaletteFit::Exact, decoded)) {
            // Too many colours for the palette: let the library pick the best
            // ones, without dithering so that flat areas stay flat.
            image.quantizeDither(false);
            image.quantizeColors(size_t(1) << bits);
            image.quantize();
            ExportRgba(image, width, height, alpha, rgba);
            if (!PackRgba(rgba.data(), width, height, bits, order, PaletteFit::Nearest, decoded))
                return LT_ERR_NO_MEMORY;
        }
        decoded.TransparentColor = bitmap.TransparentColor;
        decoded.Flags = BYTE((bitmap.Flags & LT_BITMAP_TRANSPARENT) | LT_BITMAP_ALLOCATED);
        bitmap = std::move(decoded);
        return LT_SUCCESS;
    } catch (const Magick::Exception& e) {
        return CodeOf(e);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    } catch (const std::exception&) {
        return LT_ERR_BAD_DATA;
    }
}

// The whole file through platform/files, bounded by the largest picture we
// read.
int ReadWholeFile(LPCSTR path, std::vector<BYTE>& bytes)
{
    if (!path || !*path)
        return LT_ERR_BAD_NAME;
    HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return LT_ERR_NOT_FOUND;
        case ERROR_INVALID_NAME:
            return LT_ERR_BAD_NAME;
        default:
            return LT_ERR_FILE_ACCESS;
        }
    }
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    int result = LT_SUCCESS;
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        result = LT_ERR_FILE_ACCESS;
    } else if (high != 0 || low > DWORD(LT_MAX_FILE_BYTES)) {
        result = LT_ERR_READ;
    } else {
        try {
            bytes.resize(low);
        } catch (const std::bad_alloc&) {
            result = LT_ERR_NO_MEMORY;
        }
        DWORD done = 0;
        while (result == LT_SUCCESS && done < low) {
            DWORD got = 0;
            if (!ReadFile(file, bytes.data() + done, low - done, &got, nullptr)) {
                result = LT_ERR_FILE_ACCESS;
            } else if (got == 0) {
                bytes.resize(done); // the file shrank while we read it
                break;
            }
            done += got;
        }
    }
    CloseHandle(file);
    return result;
}

// Integer quality 1..100 of the encoder for the library's quality factor
// (0 is the best; each step up trades one point of quality for size).
size_t EncoderQuality(int qualityFactor)
{
    int q = 100 - std::max(qualityFactor, 0);
    return size_t(std::clamp(q, 1, 100));
}

int Encode(const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor, Magick::Blob& out)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (format != LT_FORMAT_JPEG)
        return LT_ERR_FORMAT;
    if (bitsPerPixel != 24 && bitsPerPixel != 8)
        return LT_ERR_BITS_FOR_FORMAT;
    EnsureLibrary();
    try {
        const int width = bitmap->Width;
        const int height = bitmap->Height;
        std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
        uint8_t px[4];
        size_t at = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                PixelRgba(*bitmap, x, y, px);
                rgb[at++] = px[0];
                rgb[at++] = px[1];
                rgb[at++] = px[2];
            }
        }
        Magick::Image image(size_t(width), size_t(height), "RGB", Magick::CharPixel, rgb.data());
        image.quiet(true);
        if (bitsPerPixel == 8)
            image.type(MagickCore::GrayscaleType);
        image.quality(EncoderQuality(qualityFactor));
        image.magick("JPEG");
        image.write(&out);
        return out.length() > 0 ? LT_SUCCESS : LT_ERR_WRITE;
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

int LtFileInfo(LPCSTR path, pLTFILEINFO info)
{
    if (!info)
        return LT_ERR_BAD_PARAM;
    std::vector<BYTE> bytes;
    int result = ReadWholeFile(path, bytes);
    if (result != LT_SUCCESS)
        return result;
    return Probe(bytes.data(), bytes.size(), *info);
}

int LtMemInfo(const void* buffer, pLTFILEINFO info, DWORD size, UINT flags)
{
    if (!info || flags != 0)
        return LT_ERR_BAD_PARAM;
    return Probe(static_cast<const BYTE*>(buffer), size, *info);
}

int LtLoadFile(LPCSTR path, pLTBITMAP bitmap, int bitsPerPixel, int order, UINT flags, LTLOADCALLBACK callback,
    void* userData)
{
    (void)callback;
    (void)userData;
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    std::vector<BYTE> bytes;
    int result = ReadWholeFile(path, bytes);
    if (result != LT_SUCCESS)
        return result;
    if (!(flags & LT_LOAD_STORE)) {
        LTFILEINFO info;
        result = Probe(bytes.data(), bytes.size(), info);
        if (result != LT_SUCCESS)
            return result;
        return LtInitBitmap(bitmap, info.Width, info.Height, bitsPerPixel == 0 ? info.BitsPerPixel : bitsPerPixel);
    }
    result = Decode(bytes.data(), bytes.size(), bitsPerPixel, order, *bitmap);
    if (result != LT_SUCCESS)
        LtFreeBitmap(bitmap);
    return result;
}

int LtMemLoad(const void* buffer, pLTBITMAP bitmap, int bitsPerPixel, int order, DWORD size)
{
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    int result = Decode(static_cast<const BYTE*>(buffer), size, bitsPerPixel, order, *bitmap);
    if (result != LT_SUCCESS)
        LtFreeBitmap(bitmap);
    return result;
}

int LtSaveFile(LPCSTR path, const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor)
{
    if (!path || !*path)
        return LT_ERR_BAD_NAME;
    Magick::Blob blob;
    int result = Encode(bitmap, format, bitsPerPixel, qualityFactor, blob);
    if (result != LT_SUCCESS)
        return result;
    HANDLE file = CreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_INVALID_NAME ? LT_ERR_BAD_NAME : LT_ERR_WRITE;
    const BYTE* data = static_cast<const BYTE*>(blob.data());
    size_t left = blob.length();
    while (left > 0 && result == LT_SUCCESS) {
        DWORD chunk = DWORD(std::min<size_t>(left, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0)
            result = LT_ERR_WRITE;
        data += written;
        left -= written;
    }
    if (!CloseHandle(file))
        result = LT_ERR_WRITE;
    if (result != LT_SUCCESS)
        DeleteFile(path);
    return result;
}

int LtSaveToMemory(HGLOBAL* memory, const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor,
    DWORD* size)
{
    if (!memory || !size)
        return LT_ERR_BAD_PARAM;
    *memory = nullptr;
    *size = 0;
    Magick::Blob blob;
    int result = Encode(bitmap, format, bitsPerPixel, qualityFactor, blob);
    if (result != LT_SUCCESS)
        return result;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, blob.length());
    void* p = block ? GlobalLock(block) : nullptr;
    if (!p) {
        if (block)
            GlobalFree(block);
        return LT_ERR_NO_MEMORY;
    }
    std::memcpy(p, blob.data(), blob.length());
    GlobalUnlock(block);
    *memory = block;
    *size = DWORD(blob.length());
    return LT_SUCCESS;
}
