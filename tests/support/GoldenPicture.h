#pragma once
// Golden pictures of windows: a window's pixels compared with a PNG kept
// under tests/data, within a small tolerance for glyph edges. Set
// THREADWICK_UPDATE_GOLDEN=1 to write them again after an intended change of
// look, then look at them and commit them.

#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>
#include <cairo/cairo.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace testing_support {

// Compares the whole window with the golden picture tests/data/<folder>/<name>;
// writes it when it is missing or THREADWICK_UPDATE_GOLDEN=1.
inline void ExpectLooksAsBefore(HWND hwnd, const std::string& folder, const std::string& name)
{
    RECT wr{};
    ::GetWindowRect(hwnd, &wr);
    const int width = wr.right - wr.left;
    const int height = wr.bottom - wr.top;
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    cairo_surface_t* shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    unsigned char* data = cairo_image_surface_get_data(shot);
    const int stride = cairo_image_surface_get_stride(shot);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width; ++x) {
            COLORREF c = platform::headless::WindowPixel(hwnd, x, y, true);
            row[x] = 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
        }
    }
    cairo_surface_mark_dirty(shot);

    const std::string golden = std::string(THREADWICK_SOURCE_DIR) + "/tests/data/" + folder + "/" + name;
    cairo_surface_t* want = cairo_image_surface_create_from_png(golden.c_str());
    const char* update = std::getenv("THREADWICK_UPDATE_GOLDEN");
    if (cairo_surface_status(want) != CAIRO_STATUS_SUCCESS || (update != nullptr && std::string(update) == "1")) {
        cairo_surface_destroy(want);
        ASSERT_EQ(cairo_surface_write_to_png(shot, golden.c_str()), CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(shot);
        FAIL() << "wrote " << golden << "; look at it and commit it";
    }
    ASSERT_EQ(cairo_image_surface_get_width(want), width);
    ASSERT_EQ(cairo_image_surface_get_height(want), height);
    cairo_surface_flush(want);
    const unsigned char* wantData = cairo_image_surface_get_data(want);
    const int wantStride = cairo_image_surface_get_stride(want);
    // Glyph edges may shade a little differently with another build of the
    // font engine; anything beyond that is a change of look.
    constexpr int kTolerance = 24;
    int differing = 0;
    POINT first{-1, -1};
    for (int y = 0; y < height; ++y) {
        auto* got = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        auto* exp = reinterpret_cast<const uint32_t*>(wantData + size_t(y) * size_t(wantStride));
        for (int x = 0; x < width; ++x) {
            for (int shift : {0, 8, 16}) {
                int a = int((got[x] >> shift) & 0xFF);
                int b = int((exp[x] >> shift) & 0xFF);
                if (std::abs(a - b) > kTolerance) {
                    if (differing++ == 0)
                        first = POINT{x, y};
                    break;
                }
            }
        }
    }
    cairo_surface_destroy(want);
    cairo_surface_destroy(shot);
    EXPECT_EQ(0, differing) << name << " differs from its golden picture, first at (" << first.x << ", " << first.y
                            << "); set THREADWICK_UPDATE_GOLDEN=1 to write it again";
}

} // namespace testing_support
