// Picture files in: recognising the format of the bytes and handing them to
// its decoder (DecodeJpeg.cpp, DecodePng.cpp, DecodeTarga.cpp, and
// DecodeMagick.cpp for the formats the decoder library reads).

#include "platform/imaging/Decoders.h"

#include "platform/files/FileApi.h"

#include <cctype>
#include <cstring>
#include <new>
#include <string>

namespace platform::imaging {

namespace {

uint16_t U16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t U32(const BYTE* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Starts(const BYTE* data, size_t size, size_t at, const char* text)
{
    const size_t n = std::strlen(text);
    return size >= at + n && std::memcmp(data + at, text, n) == 0;
}

// A PICT's picture starts with its size, its frame and the version opcode
// (0x0011 0x02FF for version 2, 0x1101 for version 1), after a 512-byte block
// that applications keep for themselves.
bool PictVersionAt(const BYTE* data, size_t size, size_t at)
{
    if (size < at + 14)
        return false;
    const BYTE* v = data + at + 10;
    return (v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x02 && v[3] == 0xFF) || (v[0] == 0x11 && v[1] == 0x01);
}

// A DIB file: a bitmap header of a known size, one plane, a known depth.
bool LooksLikeDib(const BYTE* data, size_t size)
{
    if (size < 16)
        return false;
    const uint32_t header = U32(data);
    if (header == 12)
        return U16(data + 8) == 1 && (U16(data + 10) == 1 || U16(data + 10) == 4 || U16(data + 10) == 8
                   || U16(data + 10) == 24);
    if (header != 40 && header != 52 && header != 56 && header != 64 && header != 108 && header != 124)
        return false;
    if (size < 40)
        return false;
    const int bits = U16(data + 14);
    const int32_t width = int32_t(U32(data + 4));
    return U16(data + 12) == 1 && width > 0 && U32(data + 8) != 0
        && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
}

// Targa has no signature: its header must describe a picture the format can
// hold, and the file must be long enough for the header's parts.
bool TargaHeaderSound(const BYTE* data, size_t size)
{
    if (size < 18)
        return false;
    const int idLength = data[0];
    const int mapType = data[1];
    const int imageType = data[2];
    const int mapLength = U16(data + 5);
    const int mapBits = data[7];
    const int width = U16(data + 12);
    const int height = U16(data + 14);
    const int bits = data[16];
    const int descriptor = data[17];
    if (mapType > 1 || width == 0 || height == 0 || (descriptor & 0xC0) != 0 || (descriptor & 0x0F) > 8)
        return false;
    size_t mapBytes = 0;
    if (mapType == 1) {
        if (mapLength == 0 || (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32))
            return false;
        mapBytes = size_t(mapLength) * size_t((mapBits + 7) / 8);
    }
    switch (imageType) {
    case 1: // colour-mapped
    case 9:
        if (mapType != 1 || (bits != 8 && bits != 16))
            return false;
        break;
    case 2: // true colour
    case 10:
        if (bits != 15 && bits != 16 && bits != 24 && bits != 32)
            return false;
        break;
    case 3: // grey
    case 11:
        if (bits != 8 && bits != 16)
            return false;
        break;
    default:
        return false;
    }
    return size > 18 + size_t(idLength) + mapBytes;
}

// Raw MacPaint: a 512-byte header (a version of 0, 2 or 3 and the patterns)
// and 720 rows of 72 bytes, each row packed with PackBits. The rows must all
// unpack from the bytes there are.
bool MacPaintSound(const BYTE* data, size_t size)
{
    constexpr size_t HeaderBytes = 512;
    constexpr size_t PictureBytes = 720 * 72;
    if (size <= HeaderBytes)
        return false;
    const uint32_t version = uint32_t(data[0]) << 24 | uint32_t(data[1]) << 16 | uint32_t(data[2]) << 8 | data[3];
    if (version != 0 && version != 2 && version != 3)
        return false;
    size_t at = HeaderBytes;
    size_t produced = 0;
    while (produced < PictureBytes) {
        if (at >= size)
            return false;
        const int count = int8_t(data[at++]);
        if (count >= 0) {
            produced += size_t(count) + 1;
            at += size_t(count) + 1;
            if (at > size)
                return false;
        } else if (count != -128) {
            if (at >= size)
                return false;
            produced += size_t(1 - count);
            ++at;
        }
    }
    return true;
}

} // namespace

NameHint HintOfPath(const char* path)
{
    if (!path)
        return NameHint::None;
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '\\');
    if (!dot || (slash && slash > dot))
        return NameHint::None;
    std::string ext;
    for (const char* p = dot + 1; *p; ++p)
        ext += char(std::tolower(static_cast<unsigned char>(*p)));
    if (ext == "tga" || ext == "vda" || ext == "icb" || ext == "vst")
        return NameHint::Targa;
    if (ext == "mac" || ext == "pnt" || ext == "pntg")
        return NameHint::MacPaint;
    if (ext == "img" || ext == "ximg")
        return NameHint::GemImage;
    return NameHint::None;
}

int SniffFormat(const BYTE* data, size_t size, NameHint hint)
{
    if (!data || size == 0)
        return 0;
    static const BYTE png[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (size >= 8 && std::memcmp(data, png, 8) == 0)
        return LT_FORMAT_PNG;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return LT_FORMAT_JPEG;
    if (Starts(data, size, 0, "BM"))
        return LT_FORMAT_BMP;
    if (Starts(data, size, 0, "GIF87a") || Starts(data, size, 0, "GIF89a"))
        return LT_FORMAT_GIF;
    if (Starts(data, size, 0, "II*") || Starts(data, size, 0, "MM")) {
        if (size >= 4 && ((data[0] == 'I' && data[3] == 0 && (data[2] == 0x2A || data[2] == 0x2B))
                || (data[0] == 'M' && data[2] == 0 && (data[3] == 0x2A || data[3] == 0x2B))))
            return LT_FORMAT_TIF;
    }
    if (Starts(data, size, 0, "8BPS") && size >= 6 && data[4] == 0 && (data[5] == 1 || data[5] == 2))
        return LT_FORMAT_PSD;
    if (size >= 4 && data[0] == 0x59 && data[1] == 0xA6 && data[2] == 0x6A && data[3] == 0x95)
        return LT_FORMAT_RAS;
    if (size >= 16 && data[0] == 0xFF && Starts(data, size, 1, "WPC") && data[9] == 0x16)
        return LT_FORMAT_WPG;
    if (Starts(data, size, 2048, "PCD_IPI"))
        return LT_FORMAT_PCD;
    if (size >= 22 && U16(data) == 0 && (U16(data + 2) == 1 || U16(data + 2) == 2) && U16(data + 4) != 0
        && 6 + 16 * size_t(U16(data + 4)) <= size)
        return LT_FORMAT_ICO;
    if (size >= 128 && data[0] == 0x0A && (data[1] <= 5 && data[1] != 1) && data[2] <= 1
        && (data[3] == 1 || data[3] == 2 || data[3] == 4 || data[3] == 8))
        return LT_FORMAT_PCX;
    if (size >= 4 && U32(data) == 0x3ADE68B1u)
        return LT_FORMAT_PCX; // a DCX: pages of PCX, the first is read
    if (PictVersionAt(data, size, 512) || PictVersionAt(data, size, 0))
        return LT_FORMAT_PCT;
    if (size > 128 + 512 && data[0] == 0 && data[1] >= 1 && data[1] <= 63 && Starts(data, size, 65, "PNTG"))
        return LT_FORMAT_MAC; // MacPaint in its MacBinary envelope
    if (IsMsp(data, size))
        return LT_FORMAT_MSP;
    if (LooksLikeDib(data, size))
        return LT_FORMAT_BMP;
    switch (hint) {
    case NameHint::Targa:
        return TargaHeaderSound(data, size) ? LT_FORMAT_TGA : 0;
    case NameHint::MacPaint:
        return MacPaintSound(data, size) ? LT_FORMAT_MAC : 0;
    case NameHint::Any:
        // The two checks cannot both pass: a raw MacPaint version puts a 0
        // where Targa keeps its picture type.
        if (MacPaintSound(data, size))
            return LT_FORMAT_MAC;
        if (TargaHeaderSound(data, size))
            return LT_FORMAT_TGA;
        return GemHeaderSound(data, size) ? LT_FORMAT_IMG : 0;
    case NameHint::GemImage:
        return GemHeaderSound(data, size) ? LT_FORMAT_IMG : 0;
    case NameHint::None:
        return 0;
    }
    return 0;
}

namespace {

// Checks the bytes and reads the header facts: format, size and depth.
int Probe(const BYTE* data, size_t size, NameHint hint, LTFILEINFO& info)
{
    if (!data || size == 0)
        return LT_ERR_READ;
    if (size > size_t(LT_MAX_FILE_BYTES))
        return LT_ERR_READ;
    const int format = SniffFormat(data, size, hint);
    switch (format) {
    case 0:
        return LT_ERR_FORMAT;
    case LT_FORMAT_JPEG:
        return JpegInfo(data, size, info);
    case LT_FORMAT_PNG:
        return PngInfo(data, size, info);
    case LT_FORMAT_TGA:
        return TargaInfo(data, size, info);
    case LT_FORMAT_MAC:
    case LT_FORMAT_MSP:
    case LT_FORMAT_IMG:
        return BilevelInfo(format, data, size, info);
    default:
        return MagickInfo(format, data, size, info);
    }
}

} // namespace

int DecodeBytes(const BYTE* data, size_t size, NameHint hint, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    if (bitsPerPixel != 0 && !ValidDepth(bitsPerPixel))
        return LT_ERR_BAD_PARAM;
    if (order != LT_ORDER_RGB && order != LT_ORDER_BGR)
        return LT_ERR_BAD_PARAM;
    if (!data || size == 0 || size > size_t(LT_MAX_FILE_BYTES))
        return LT_ERR_READ;
    const int format = SniffFormat(data, size, hint);
    LTBITMAP decoded;
    int result = LT_ERR_FORMAT;
    switch (format) {
    case 0:
        return LT_ERR_FORMAT;
    case LT_FORMAT_JPEG:
        result = JpegDecode(data, size, bitsPerPixel, order, decoded);
        break;
    case LT_FORMAT_PNG:
        result = PngDecode(data, size, bitsPerPixel, order, decoded);
        break;
    case LT_FORMAT_TGA:
        result = TargaDecode(data, size, bitsPerPixel, order, decoded);
        break;
    case LT_FORMAT_MAC:
    case LT_FORMAT_MSP:
    case LT_FORMAT_IMG:
        result = BilevelDecode(format, data, size, bitsPerPixel, order, decoded);
        break;
    default:
        result = MagickDecode(format, data, size, bitsPerPixel, order, decoded);
        break;
    }
    if (result != LT_SUCCESS)
        return result;
    decoded.TransparentColor = bitmap.TransparentColor;
    decoded.Flags = BYTE((bitmap.Flags & LT_BITMAP_TRANSPARENT) | LT_BITMAP_ALLOCATED);
    bitmap = std::move(decoded);
    return LT_SUCCESS;
}

namespace {

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
    return Probe(bytes.data(), bytes.size(), HintOfPath(path), *info);
}

int LtMemInfo(const void* buffer, pLTFILEINFO info, DWORD size, UINT flags)
{
    if (!info || flags != 0)
        return LT_ERR_BAD_PARAM;
    return Probe(static_cast<const BYTE*>(buffer), size, NameHint::Any, *info);
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
        result = Probe(bytes.data(), bytes.size(), HintOfPath(path), info);
        if (result != LT_SUCCESS)
            return result;
        return LtInitBitmap(bitmap, info.Width, info.Height, bitsPerPixel == 0 ? info.BitsPerPixel : bitsPerPixel);
    }
    result = DecodeBytes(bytes.data(), bytes.size(), HintOfPath(path), bitsPerPixel, order, *bitmap);
    if (result != LT_SUCCESS)
        LtFreeBitmap(bitmap);
    return result;
}

int LtMemLoad(const void* buffer, pLTBITMAP bitmap, int bitsPerPixel, int order, DWORD size)
{
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    int result = DecodeBytes(static_cast<const BYTE*>(buffer), size, NameHint::Any, bitsPerPixel, order, *bitmap);
    if (result != LT_SUCCESS)
        LtFreeBitmap(bitmap);
    return result;
}
