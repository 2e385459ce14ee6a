// Every ternary raster operation through BitBlt, StretchBlt and PatBlt,
// checked pixel by pixel against the operation's truth table evaluated bit
// by bit on random source, pattern and destination pixels.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "tests/gdi/DrawTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using gditest::MemoryCanvas;

constexpr int kW = 20;
constexpr int kH = 12;

// The reference: bit ((P << 2) | (S << 1) | D) of the code, per bit.
uint32_t Reference(uint8_t code, uint32_t s, uint32_t p, uint32_t d)
{
    uint32_t r = 0;
    for (int bit = 0; bit < 24; ++bit) {
        unsigned index = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
        r |= uint32_t((code >> index) & 1) << bit;
    }
    return r;
}

struct RopFixture : ::testing::Test {
    std::mt19937 random{12345};
    MemoryCanvas src{kW, kH};
    MemoryCanvas dst{kW, kH};
    uint32_t pattern[8][8] = {};
    HBRUSH brush = NULL;
    HGDIOBJ oldBrush = NULL;

    uint32_t Next() { return random() & 0x00FFFFFF; }

    void Fill(MemoryCanvas& c)
    {
        platform::BitmapObject* b = platform::LookupBitmap(c.bitmap);
        for (uint32_t& p : b->pixels.pixels)
            p = Next();
    }
    uint32_t Pixel(MemoryCanvas& c, int x, int y) { return platform::LookupBitmap(c.bitmap)->pixels.Row(y)[x]; }

    void SetUp() override
    {
        Fill(src);
        HBITMAP bits = CreateBitmap(8, 8, 1, 32, nullptr);
        platform::BitmapObject* b = platform::LookupBitmap(bits);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                b->pixels.Row(y)[x] = pattern[y][x] = Next();
        brush = CreatePatternBrush(bits);
        DeleteObject(bits);
        oldBrush = SelectObject(dst.dc, brush);
    }
    void TearDown() override
    {
        SelectObject(dst.dc, oldBrush);
        DeleteObject(brush);
    }

    // Runs `blit` for the code on fresh random destination pixels and
    // checks the rectangle (x0, y0, w, h) against the reference, the source
    // read from (sx0, sy0), and everything else untouched.
    template <typename Blit>
    void Check(uint8_t code, int x0, int y0, int w, int h, int sx0, int sy0, bool usesSource, Blit blit)
    {
        Fill(dst);
        std::vector<uint32_t> before = platform::LookupBitmap(dst.bitmap)->pixels.pixels;
        ASSERT_TRUE(blit(DWORD(code) << 16)) << "code " << int(code);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                uint32_t d = before[size_t(y) * kW + size_t(x)];
                uint32_t expected = d;
                if (x >= x0 && x < x0 + w && y >= y0 && y < y0 + h) {
                    uint32_t s = usesSource ? Pixel(src, sx0 + x - x0, sy0 + y - y0) : 0;
                    // The brush origin is the DC's (0, 0), not the blit's corner.
                    expected = Reference(code, s, pattern[y % 8][x % 8], d);
                }
                ASSERT_EQ(expected, Pixel(dst, x, y)) << "code 0x" << std::hex << int(code) << " at " << std::dec
                                                      << x << "," << y;
            }
        }
    }
};

TEST_F(RopFixture, BitBltMatchesTruthTableForAll256Codes)
{
    for (int code = 0; code < 256; ++code)
        Check(uint8_t(code), 3, 2, 11, 7, 5, 4, true,
            [&](DWORD rop) { return BitBlt(dst.dc, 3, 2, 11, 7, src.dc, 5, 4, rop); });
}

TEST_F(RopFixture, StretchBltAtOneToOneMatchesTruthTableForAll256Codes)
{
    for (int code = 0; code < 256; ++code)
        Check(uint8_t(code), 1, 3, 13, 6, 2, 0, true,
            [&](DWORD rop) { return StretchBlt(dst.dc, 1, 3, 13, 6, src.dc, 2, 0, 13, 6, rop); });
}

TEST_F(RopFixture, PatBltMatchesTruthTableForEveryCodeWithoutSource)
{
    int tested = 0;
    for (int code = 0; code < 256; ++code) {
        // Codes whose result ignores the source: S=0 and S=1 halves agree.
        if (((code >> 2) ^ code) & 0x33)
            continue;
        ++tested;
        Check(uint8_t(code), 2, 1, 15, 9, 0, 0, false, [&](DWORD rop) { return PatBlt(dst.dc, 2, 1, 15, 9, rop); });
    }
    EXPECT_EQ(16, tested);
}

TEST_F(RopFixture, PatBltRefusesOperationsThatReadTheSource)
{
    EXPECT_FALSE(PatBlt(dst.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 4, 4, NULL, 0, 0, SRCCOPY));
    // Without a source the pattern operations still work.
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 4, 4, NULL, 0, 0, PATCOPY));
}

TEST_F(RopFixture, NamedOperationsKeepTheirMeaning)
{
    struct Case {
        DWORD rop;
        uint32_t (*f)(uint32_t s, uint32_t p, uint32_t d);
    };
    const Case cases[] = {
        {SRCCOPY, [](uint32_t s, uint32_t, uint32_t) { return s; }},
        {SRCAND, [](uint32_t s, uint32_t, uint32_t d) { return s & d; }},
        {SRCPAINT, [](uint32_t s, uint32_t, uint32_t d) { return s | d; }},
        {SRCINVERT, [](uint32_t s, uint32_t, uint32_t d) { return s ^ d; }},
        {0x00B8074A, [](uint32_t s, uint32_t p, uint32_t d) { return (s & d) | (~s & p); }}, // PSDPxax
        {0x00BA0B09, [](uint32_t s, uint32_t p, uint32_t d) { return d | (p & ~s); }},       // DPSnao
        {PATCOPY, [](uint32_t, uint32_t p, uint32_t) { return p; }},
        {DSTINVERT, [](uint32_t, uint32_t, uint32_t d) { return ~d; }},
        {BLACKNESS, [](uint32_t, uint32_t, uint32_t) { return 0u; }},
        {WHITENESS, [](uint32_t, uint32_t, uint32_t) { return ~0u; }},
    };
    for (const Case& c : cases) {
        Fill(dst);
        std::vector<uint32_t> before = platform::LookupBitmap(dst.bitmap)->pixels.pixels;
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, c.rop));
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(c.f(Pixel(src, x, y), pattern[y % 8][x % 8], before[size_t(y) * kW + size_t(x)]) & 0xFFFFFF,
                    Pixel(dst, x, y))
                    << std::hex << c.rop;
    }
}

} // namespace
