#include "JpegWriter.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace artgen {
namespace {

constexpr int kZigzag[64] = {0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34,
    27, 20, 13, 6, 7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38,
    31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

constexpr int kLumaQuant[64] = {16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57,
    69, 56, 14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64,
    78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

constexpr int kChromaQuant[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99,
    99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

constexpr uint8_t kDcLumaBits[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kDcChromaBits[16] = {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
constexpr uint8_t kDcValues[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

constexpr uint8_t kAcLumaBits[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d};
constexpr uint8_t kAcLumaValues[162] = {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13,
    0x51, 0x61, 0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0,
    0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34,
    0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57,
    0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
    0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3,
    0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4,
    0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4,
    0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};

constexpr uint8_t kAcChromaBits[16] = {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77};
constexpr uint8_t kAcChromaValues[162] = {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51,
    0x07, 0x61, 0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0,
    0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29,
    0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56,
    0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79,
    0x7a, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a,
    0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2,
    0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3,
    0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};

// cos(k * pi / 16) for k = 0 .. 7.
constexpr double kCos[8] = {1.0, 0.98078528040323043, 0.92387953251128674, 0.83146961230254524,
    0.70710678118654757, 0.55557023301960218, 0.38268343236508978, 0.19509032201612828};

// cos((2x + 1) u pi / 16) from the table: the angle folded into 0 .. 2 pi.
double CosTerm(int x, int u)
{
    int k = ((2 * x + 1) * u) % 32; // in sixteenths of pi
    double sign = 1.0;
    if (k >= 16) {
        k -= 16;
        sign = -sign;
    }
    if (k > 8) {
        k = 16 - k;
        sign = -sign;
    }
    return k == 8 ? 0.0 : sign * kCos[k];
}

struct Huffman {
    std::array<uint16_t, 256> code{};
    std::array<uint8_t, 256> length{};
};

Huffman BuildHuffman(const uint8_t* bits, const uint8_t* values)
{
    Huffman h;
    uint16_t code = 0;
    int k = 0;
    for (int len = 1; len <= 16; ++len) {
        for (int i = 0; i < bits[len - 1]; ++i) {
            h.code[values[k]] = code;
            h.length[values[k]] = uint8_t(len);
            ++code;
            ++k;
        }
        code = uint16_t(code << 1);
    }
    return h;
}

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out)
        : m_out(out)
    {
    }
    void Put(uint32_t bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = uint8_t((m_byte << 1) | ((bits >> i) & 1));
            if (++m_count == 8)
                Flush();
        }
    }
    // Pads the last byte with ones.
    void Finish()
    {
        while (m_count != 0)
            Put(1, 1);
    }

private:
    void Flush()
    {
        m_out.push_back(m_byte);
        if (m_byte == 0xFF)
            m_out.push_back(0);
        m_byte = 0;
        m_count = 0;
    }
    std::vector<uint8_t>& m_out;
    uint8_t m_byte = 0;
    int m_count = 0;
};

// The category of v and its bits as JPEG stores a coefficient.
int Category(int v)
{
    int a = v < 0 ? -v : v;
    int n = 0;
    while (a != 0) {
        ++n;
        a >>= 1;
    }
    return n;
}

uint32_t ValueBits(int v, int category)
{
    return uint32_t(v < 0 ? v + (1 << category) - 1 : v);
}

void PutMarker(std::vector<uint8_t>& out, uint8_t marker)
{
    out.push_back(0xFF);
    out.push_back(marker);
}

void Put16(std::vector<uint8_t>& out, int v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v & 0xFF));
}

void PutHuffmanTable(std::vector<uint8_t>& out, int cls, int id, const uint8_t* bits, const uint8_t* values, int n)
{
    PutMarker(out, 0xC4);
    Put16(out, 2 + 1 + 16 + n);
    out.push_back(uint8_t((cls << 4) | id));
    out.insert(out.end(), bits, bits + 16);
    out.insert(out.end(), values, values + n);
}

void EncodeBlock(BitWriter& bits, const double block[64], const int quant[64], int& previousDc, const Huffman& dc,
    const Huffman& ac)
{
    int coefficients[64];
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x)
                    sum += block[y * 8 + x] * CosTerm(x, u) * CosTerm(y, v);
            }
            const double cu = u == 0 ? 0.70710678118654757 : 1.0;
            const double cv = v == 0 ? 0.70710678118654757 : 1.0;
            const double value = 0.25 * cu * cv * sum / quant[v * 8 + u];
            coefficients[v * 8 + u] = int(value < 0 ? value - 0.5 : value + 0.5);
        }
    }
    const int diff = coefficients[0] - previousDc;
    previousDc = coefficients[0];
    const int dcCategory = Category(diff);
    bits.Put(dc.code[dcCategory], dc.length[dcCategory]);
    bits.Put(ValueBits(diff, dcCategory), dcCategory);
    int run = 0;
    for (int k = 1; k < 64; ++k) {
        const int c = coefficients[kZigzag[k]];
        if (c == 0) {
            ++run;
            continue;
        }
        while (run > 15) {
            bits.Put(ac.code[0xF0], ac.length[0xF0]);
            run -= 16;
        }
        const int category = Category(c);
        const int symbol = (run << 4) | category;
        bits.Put(ac.code[symbol], ac.length[symbol]);
        bits.Put(ValueBits(c, category), category);
        run = 0;
    }
    if (run > 0)
        bits.Put(ac.code[0x00], ac.length[0x00]);
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height, int quality)
{
    std::vector<uint8_t> out;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535
        || rgb.size() < size_t(width) * size_t(height) * 3)
        return out;
    quality = std::clamp(quality, 1, 100);
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    int quant[2][64];
    for (int i = 0; i < 64; ++i) {
        quant[0][i] = std::clamp((kLumaQuant[i] * scale + 50) / 100, 1, 255);
        quant[1][i] = std::clamp((kChromaQuant[i] * scale + 50) / 100, 1, 255);
    }

    PutMarker(out, 0xD8);
    // JFIF header: version 1.1, square pixels.
    PutMarker(out, 0xE0);
    Put16(out, 16);
    for (uint8_t b : {uint8_t('J'), uint8_t('F'), uint8_t('I'), uint8_t('F'), uint8_t(0), uint8_t(1), uint8_t(1),
             uint8_t(0), uint8_t(0), uint8_t(1), uint8_t(0), uint8_t(1), uint8_t(0), uint8_t(0)})
        out.push_back(b);
    for (int t = 0; t < 2; ++t) {
        PutMarker(out, 0xDB);
        Put16(out, 2 + 1 + 64);
        out.push_back(uint8_t(t));
        for (int k = 0; k < 64; ++k)
            out.push_back(uint8_t(quant[t][kZigzag[k]]));
    }
    PutMarker(out, 0xC0);
    Put16(out, 8 + 3 * 3);
    out.push_back(8);
    Put16(out, height);
    Put16(out, width);
    out.push_back(3);
    for (int c = 0; c < 3; ++c) {
        out.push_back(uint8_t(c + 1));
        out.push_back(0x11);
        out.push_back(uint8_t(c == 0 ? 0 : 1));
    }
    PutHuffmanTable(out, 0, 0, kDcLumaBits, kDcValues, 12);
    PutHuffmanTable(out, 1, 0, kAcLumaBits, kAcLumaValues, 162);
    PutHuffmanTable(out, 0, 1, kDcChromaBits, kDcValues, 12);
    PutHuffmanTable(out, 1, 1, kAcChromaBits, kAcChromaValues, 162);
    PutMarker(out, 0xDA);
    Put16(out, 6 + 2 * 3);
    out.push_back(3);
    for (int c = 0; c < 3; ++c) {
        out.push_back(uint8_t(c + 1));
        out.push_back(uint8_t(c == 0 ? 0x00 : 0x11));
    }
    out.push_back(0);
    out.push_back(63);
    out.push_back(0);

    const Huffman dc[2] = {BuildHuffman(kDcLumaBits, kDcValues), BuildHuffman(kDcChromaBits, kDcValues)};
    const Huffman ac[2] = {BuildHuffman(kAcLumaBits, kAcLumaValues), BuildHuffman(kAcChromaBits, kAcChromaValues)};
    BitWriter bits(out);
    int previousDc[3] = {0, 0, 0};
    for (int by = 0; by < height; by += 8) {
        for (int bx = 0; bx < width; bx += 8) {
            double blocks[3][64];
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    // Edges repeat the last row and column.
                    const int px = std::min(bx + x, width - 1);
                    const int py = std::min(by + y, height - 1);
                    const uint8_t* p = &rgb[(size_t(py) * size_t(width) + size_t(px)) * 3];
                    const double r = p[0], g = p[1], b = p[2];
                    blocks[0][y * 8 + x] = 0.299 * r + 0.587 * g + 0.114 * b - 128.0;
                    blocks[1][y * 8 + x] = -0.168735892 * r - 0.331264108 * g + 0.5 * b;
                    blocks[2][y * 8 + x] = 0.5 * r - 0.418687589 * g - 0.081312411 * b;
                }
            }
            for (int c = 0; c < 3; ++c) {
                const int t = c == 0 ? 0 : 1;
                EncodeBlock(bits, blocks[c], quant[t], previousDc[c], dc[t], ac[t]);
            }
        }
    }
    bits.Finish();
    PutMarker(out, 0xD9);
    return out;
}

} // namespace artgen
