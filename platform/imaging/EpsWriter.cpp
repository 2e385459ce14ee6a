// Encapsulated PostScript of a raster: the one format written by our own
// code, since the decoder library is not allowed to reach PostScript.
//
// The file draws one image, one point per pixel, with its origin at the
// lower left of the bounding box; the samples follow the image operator in
// ASCII85 so that the file stays plain text.

#include "platform/imaging/EncodeInternal.h"

#include <cstdio>

namespace platform::imaging {
namespace {

// ASCII85 of bytes appended to out in lines of at most 75 characters. No
// line starts with '%': document readers would take it for a comment of
// theirs, and the decoder skips the space put before it.
class Ascii85Writer {
public:
    explicit Ascii85Writer(std::string& out)
        : m_out(out)
    {
    }

    void Put(uint8_t byte)
    {
        m_group = m_group << 8 | byte;
        if (++m_count == 4)
            Flush(4);
    }

    void Finish()
    {
        if (m_count > 0) {
            const int count = m_count;
            m_group <<= 8 * (4 - count);
            Flush(count);
        }
        Emit('~');
        Emit('>');
        m_out += '\n';
    }

private:
    void Flush(int count)
    {
        if (count == 4 && m_group == 0) {
            Emit('z');
        } else {
            char digits[5];
            uint32_t v = m_group;
            for (int i = 4; i >= 0; --i) {
                digits[i] = char('!' + v % 85);
                v /= 85;
            }
            // A short final group writes only as many digits as it has bytes, plus one.
            for (int i = 0; i <= count; ++i)
                Emit(digits[i]);
        }
        m_group = 0;
        m_count = 0;
    }

    void Emit(char c)
    {
        if (m_column == 75) {
            m_out += '\n';
            m_column = 0;
        }
        if (m_column == 0 && c == '%') {
            m_out += ' ';
            ++m_column;
        }
        m_out += c;
        ++m_column;
    }

    std::string& m_out;
    uint32_t m_group = 0;
    int m_count = 0;
    int m_column = 0;
};

void Append(std::string& out, const char* format, long long a, long long b = 0)
{
    char line[128];
    std::snprintf(line, sizeof line, format, a, b);
    out += line;
}

} // namespace

std::string WriteEps(const OutputRaster& raster)
{
    const long long width = raster.width;
    const long long height = raster.height;
    const bool indexed = raster.Indexed();
    const bool grey = indexed && raster.grey;
    const int componentBits = indexed && !grey ? raster.bits : 8;

    std::string out;
    // Samples grow by 5/4 in ASCII85, plus line ends.
    const size_t rowBytes = indexed ? (size_t(width) * size_t(raster.bits) + 7) / 8 : size_t(width) * 3;
    out.reserve(rowBytes * size_t(height) / 4 * 5 * 76 / 75 + 2048 + raster.palette.size() * 6);

    out += "%!PS-Adobe-3.0 EPSF-3.0\n";
    Append(out, "%%%%BoundingBox: 0 0 %lld %lld\n", width, height);
    out += "%%LanguageLevel: 2\n"
           "%%Pages: 1\n"
           "%%EndComments\n"
           "%%BeginProlog\n"
           "%%EndProlog\n"
           "%%Page: 1 1\n"
           "save\n";
    Append(out, "%lld %lld scale\n", width, height);
    if (grey) {
        out += "/DeviceGray setcolorspace\n";
    } else if (indexed) {
        Append(out, "[/Indexed /DeviceRGB %lld <", (long long)raster.palette.size() - 1);
        static const char hex[] = "0123456789ABCDEF";
        for (size_t i = 0; i < raster.palette.size(); ++i) {
            if (i % 12 == 0)
                out += '\n';
            for (int c = 0; c < 3; ++c) {
                out += hex[raster.palette[i][size_t(c)] >> 4];
                out += hex[raster.palette[i][size_t(c)] & 15];
            }
        }
        out += "\n>] setcolorspace\n";
    } else {
        out += "/DeviceRGB setcolorspace\n";
    }
    out += "<<\n/ImageType 1\n";
    Append(out, "/Width %lld\n/Height %lld\n", width, height);
    Append(out, "/BitsPerComponent %lld\n", componentBits);
    if (grey)
        out += "/Decode [0 1]\n";
    else if (indexed)
        Append(out, "/Decode [0 %lld]\n", (1LL << raster.bits) - 1);
    else
        out += "/Decode [0 1 0 1 0 1]\n";
    // Rows run top-down in the data and the image space runs upwards.
    Append(out, "/ImageMatrix [%lld 0 0 %lld 0 ", width, -height);
    Append(out, "%lld]\n", height);
    out += "/DataSource currentfile /ASCII85Decode filter\n"
           ">>\nimage\n";

    Ascii85Writer data(out);
    for (long long y = 0; y < height; ++y) {
        const size_t row = size_t(y) * size_t(width);
        if (grey) {
            for (long long x = 0; x < width; ++x)
                data.Put(raster.palette[raster.indexes[row + size_t(x)]][0]);
        } else if (indexed) {
            // Each row starts on a byte; the last byte is padded with zeros.
            unsigned byte = 0;
            int filled = 0;
            for (long long x = 0; x < width; ++x) {
                byte = byte << raster.bits | raster.indexes[row + size_t(x)];
                filled += raster.bits;
                if (filled == 8) {
                    data.Put(uint8_t(byte));
                    byte = 0;
                    filled = 0;
                }
            }
            if (filled > 0)
                data.Put(uint8_t(byte << (8 - filled)));
        } else {
            const uint8_t* p = raster.rgba.data() + row * 4;
            for (long long x = 0; x < width; ++x, p += 4) {
                data.Put(p[0]);
                data.Put(p[1]);
                data.Put(p[2]);
            }
        }
    }
    data.Finish();
    out += "restore\n"
           "showpage\n"
           "%%Trailer\n"
           "%%EOF\n";
    return out;
}

} // namespace platform::imaging
