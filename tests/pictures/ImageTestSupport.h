#pragma once
// Shared by the picture-object tests: pixels of a picture's raster, files in
// a test's own folder, the shared test data and the message boxes shown.

#include "pictures/Image.h"
#include "pictures/PictureEngine.h"

#include "app/PrefData.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/imaging/Imaging.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "tests/support/TestHome.h"
#include "tests/text/TextStoreSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace image_test {

// The colour of the raster behind a handle at (x, y), by the record's
// documented layout; CLR_INVALID outside it or for an unknown handle.
inline COLORREF HandlePixel(int nHandle, int x, int y)
{
    LTBITMAP* pBitmap = nullptr;
    if (GetPicBitmap(nHandle, &pBitmap) != 1 || pBitmap == nullptr || x < 0 || y < 0 || x >= pBitmap->Width
        || y >= pBitmap->Height)
        return CLR_INVALID;
    const BYTE* row = pBitmap->Pixels.data() + size_t(y) * size_t(pBitmap->BytesPerLine);
    auto fromTable = [&](int index) {
        if (index < 0 || size_t(index) >= pBitmap->Palette.size())
            return COLORREF(CLR_INVALID);
        const RGBQUAD& q = pBitmap->Palette[size_t(index)];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };
    switch (pBitmap->BitsPerPixel) {
    case 1:
        return fromTable((row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return fromTable((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
    case 8:
        return fromTable(row[x]);
    case 24:
        return pBitmap->Order == LT_ORDER_BGR ? RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3])
                                              : RGB(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
    case 32:
        return pBitmap->Order == LT_ORDER_BGR ? RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4])
                                              : RGB(row[x * 4], row[x * 4 + 1], row[x * 4 + 2]);
    default:
        return CLR_INVALID;
    }
}

inline COLORREF Pixel(const CImage& image, int x, int y)
{
    return HandlePixel(image.m_nHandle, x, y);
}

// The alpha of a 32-bit raster at (x, y); 255 for other depths.
inline int HandleAlpha(int nHandle, int x, int y)
{
    LTBITMAP* pBitmap = nullptr;
    if (GetPicBitmap(nHandle, &pBitmap) != 1 || pBitmap == nullptr || pBitmap->BitsPerPixel != 32)
        return 255;
    return pBitmap->Pixels[size_t(y) * size_t(pBitmap->BytesPerLine) + size_t(x) * 4 + 3];
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 24)
{
    return a != CLR_INVALID && b != CLR_INVALID && std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= tolerance
        && std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= tolerance
        && std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= tolerance;
}

inline SIZE NaturalSize(const CImage& image)
{
    SIZE size{0, 0};
    image.GetSize(size, TRUE);
    return size;
}

// A file of the shared test data in Windows form.
inline std::string TestDataFile(const std::string& relative)
{
    return platform::WindowsPathFor(std::string(THREADWICK_TESTDATA_DIR) + "/" + relative);
}

// Archives carry a design of the version the test sets (SetVersion).
class ImageTest : public text_store::StoreTest {
protected:
    void SetUp() override
    {
        text_store::StoreTest::SetUp();
        // The engine's messages are string resources.
        threadwick::RegisterResources();
        platform::InitFileSystem();
        thePrefs.Reset();
        m_folder = testing_support::MakeTempDir("image");
    }
    void TearDown() override
    {
        thePrefs.Reset();
        text_store::StoreTest::TearDown();
    }

    std::string Host(const std::string& name) const { return m_folder + "/" + name; }
    std::string Win(const std::string& name) const { return platform::WindowsPathFor(Host(name)); }
    // Writes bytes as a file of the folder; its Windows-form path.
    std::string WriteBytes(const std::string& name, const std::string& bytes) const
    {
        testing_support::WriteFileBytes(Host(name), bytes);
        return Win(name);
    }
    static size_t Boxes() { return platform::headless::MessageBoxes().size(); }

    std::string m_folder;
};

} // namespace image_test
