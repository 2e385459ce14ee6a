#include "FontTestReference.h"

#include "platform/files/HostPath.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using gditest::MemoryCanvas;
using gditest::SelectedFont;

namespace {

std::string TextFace(HDC dc)
{
    char name[LF_FACESIZE] = {};
    GetTextFace(dc, LF_FACESIZE, name);
    return name;
}

TEST(FontResourceTest, AFontFileAddedByPathIsFoundByItsFamilyName)
{
    REQUIRE_TESTDATA();
    MemoryCanvas canvas(8, 8);
    {
        // Asked for before the file is added: some other face stands in.
        SelectedFont before(canvas.dc, -20, "glyfTest");
        EXPECT_NE(TextFace(canvas.dc), "glyfTest");
    }
    const std::string path = std::string(THREADWICK_TESTDATA_DIR) + "/ttf/bin-golang-golang-x-image-dev__glyfTest.ttf";
    ASSERT_EQ(AddFontResourceEx(platform::WindowsPathFor(path).c_str(), FR_PRIVATE, nullptr), 1);
    // The same request now finds the added face, not the stand-in it had.
    SelectedFont after(canvas.dc, -20, "glyfTest");
    EXPECT_EQ(TextFace(canvas.dc), "glyfTest");
}

TEST(FontResourceTest, RefusesWhatIsNoFontAndBadArguments)
{
    const std::string folder = platform::WindowsPathFor(::testing::TempDir());
    const std::string text = ::testing::TempDir() + "/not-a-font.ttf";
    std::ofstream(text) << "plain text, no tables";
    EXPECT_EQ(AddFontResourceEx(platform::WindowsPathFor(text).c_str(), FR_PRIVATE, nullptr), 0);
    EXPECT_EQ(AddFontResourceEx((folder + "\\no-such-file.ttf").c_str(), FR_PRIVATE, nullptr), 0);
    EXPECT_EQ(AddFontResourceEx(nullptr, FR_PRIVATE, nullptr), 0);
    int reserved = 0;
    EXPECT_EQ(AddFontResourceEx(platform::WindowsPathFor(text).c_str(), FR_PRIVATE, &reserved), 0);
    EXPECT_EQ(AddFontResourceEx(platform::WindowsPathFor(text).c_str(), 0x4000, nullptr), 0);
}

} // namespace
