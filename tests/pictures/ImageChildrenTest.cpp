// Composite pictures: icons split into image and mask (monochrome, colour
// and alpha icons), the "o4i" temporary form and its damaged lengths, and
// the children's stored form and copies.

#include "pictures/ImageChildren.h"

#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/IconData.h"
#include "tests/pictures/ImageTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestData.h"

#include <string>

namespace {

using image_test::HandlePixel;
using text_store::U16;
using text_store::U32;
using text_store::U8;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A monochrome 32 x 32 icon file: its image white on the left half, its
// mask white (transparent) on the top half.
std::string MonochromeIcon()
{
    std::string s = U16(0) + U16(1) + U16(1);
    const std::string header = U32(40) + U32(32) + U32(64) + U16(1) + U16(1) + U32(0) + U32(256) + U32(0) + U32(0)
        + U32(2) + U32(0);
    const std::string palette = U32(0x00000000) + U32(0x00FFFFFF);
    std::string image;
    std::string mask;
    // Rows bottom-up, 4 bytes each.
    for (int y = 31; y >= 0; --y) {
        image += std::string("\xFF\xFF\x00\x00", 4);
        mask += y < 16 ? std::string("\xFF\xFF\xFF\xFF", 4) : std::string(4, '\0');
    }
    const std::string bitmap = header + palette + image + mask;
    s += U8(32) + U8(32) + U8(2) + U8(0) + U16(1) + U16(1) + U32(bitmap.size()) + U32(6 + 16);
    return s + bitmap;
}

// The first icon of a file as straight-alpha pixels.
platform::IconPixels FirstIcon(const std::string& path)
{
    platform::IconPixels pixels;
    const HICON hIcon = ExtractIcon(NULL, path.c_str(), 0);
    if (reinterpret_cast<UINT_PTR>(hIcon) > 1) {
        platform::GetIconPixels(hIcon, pixels);
        DestroyIcon(hIcon);
    }
    return pixels;
}

std::string Stored(CImageChildren& children)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        children.Serialize(ar);
        ar.Close();
    }
    std::string bytes(size_t(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

using ImageChildrenTest = image_test::ImageTest;

TEST_F(ImageChildrenTest, AMonochromeIconSplitsItsDoubleMaskIntoImageAndMask)
{
    CImageChildren children;
    ASSERT_TRUE(children.ImportIcon(WriteBytes("mono.ico", MonochromeIcon()).c_str()));
    ASSERT_NE(children.m_pImage, nullptr);
    ASSERT_NE(children.m_pMask, nullptr);
    EXPECT_EQ(children.GetSize(), CSize(32, 32));
    EXPECT_EQ(image_test::NaturalSize(*children.m_pMask).cy, 32);
    const int nImage = children.m_pImage->m_nHandle;
    const int nMask = children.m_pMask->m_nHandle;
    for (int y : {0, 15, 16, 31}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(HandlePixel(nImage, 0, y), kWhite);
        EXPECT_EQ(HandlePixel(nImage, 31, y), kBlack);
        EXPECT_EQ(HandlePixel(nMask, 0, y), y < 16 ? kWhite : kBlack);
        EXPECT_EQ(HandlePixel(nMask, 31, y), y < 16 ? kWhite : kBlack);
    }
}

TEST_F(ImageChildrenTest, ColourIconsKeepTheirMaskAndAlphaIconsTakeItFromTheirAlpha)
{
    REQUIRE_TESTDATA();
    for (const char* name : {"ico/github-haraldk_TwelveMonkeys__favicon.ico", "ico/src-pillow__python.ico"}) {
        SCOPED_TRACE(name);
        const std::string path = image_test::TestDataFile(name);
        const platform::IconPixels icon = FirstIcon(path);
        ASSERT_GT(icon.width, 0);
        CImageChildren children;
        ASSERT_TRUE(children.ImportIcon(path.c_str()));
        ASSERT_NE(children.m_pMask, nullptr);
        EXPECT_EQ(children.GetSize(), CSize(icon.width, icon.height));
        int nTransparent = 0;
        for (int y = 0; y < icon.height; ++y) {
            for (int x = 0; x < icon.width; ++x) {
                const uint32_t argb = icon.argb[size_t(y) * size_t(icon.width) + size_t(x)];
                const bool bShowsThrough = (argb >> 24) < 128;
                nTransparent += bShowsThrough ? 1 : 0;
                ASSERT_EQ(HandlePixel(children.m_pMask->m_nHandle, x, y), bShowsThrough ? kWhite : kBlack)
                    << x << "," << y;
                if (!bShowsThrough) {
                    const COLORREF crIcon = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
                    ASSERT_TRUE(image_test::Near(HandlePixel(children.m_pImage->m_nHandle, x, y), crIcon, 2))
                        << x << "," << y;
                }
            }
        }
        // Both icons have a transparent surround.
        EXPECT_GT(nTransparent, 0);
    }
}

TEST_F(ImageChildrenTest, AFileWithoutIconsLeavesTheHolderEmpty)
{
    CImageChildren children;
    const std::string strPng = picture_files::WritePng(picture_files::Raster(4, 4), Host("x.png"));
    EXPECT_FALSE(children.ImportIcon(strPng.c_str()));
    EXPECT_EQ(children.m_pImage, nullptr);
    EXPECT_EQ(children.GetSize(), CSize(0, 0));
    EXPECT_EQ(children.CreateDDB(nullptr), nullptr);
    EXPECT_FALSE(children.ImportIcon(Win("missing.ico").c_str()));
}

TEST_F(ImageChildrenTest, TemporaryFilesCarryBothChildrenAndSkipDamagedLengths)
{
    CImageChildren children;
    ASSERT_TRUE(children.ImportIcon(WriteBytes("mono.ico", MonochromeIcon()).c_str()));
    const std::string strTemp = Win("o4iTEST.tmp");
    children.SaveTemp(strTemp.c_str());
    CImageChildren back;
    ASSERT_TRUE(back.LoadTemp(strTemp.c_str()));
    ASSERT_NE(back.m_pMask, nullptr);
    EXPECT_EQ(HandlePixel(back.m_pMask->m_nHandle, 0, 0), kWhite);
    EXPECT_EQ(HandlePixel(back.m_pMask->m_nHandle, 0, 31), kBlack);

    // A first record of 260 bytes names no child, and its bytes are stepped
    // over: the second record is read where it is.
    const std::string maskPath = picture_files::WritePng(picture_files::Raster(6, 3, kBlack), Host("mask.png"));
    const std::string damaged = U32(260) + std::string(260, 'x') + U32(maskPath.size()) + maskPath;
    ASSERT_FALSE(back.LoadTemp(WriteBytes("o4iA.tmp", damaged).c_str()));
    EXPECT_EQ(back.m_pImage, nullptr);
    ASSERT_NE(back.m_pMask, nullptr);
    EXPECT_EQ(image_test::NaturalSize(*back.m_pMask).cx, 6);

    // Lengths past the file's end read nothing more.
    for (const std::string& bytes : {U32(0xFFFFFFFF) + "abc", U32(200) + "short", U32(0) + U32(0x7FFFFFFF), U32(7)}) {
        EXPECT_FALSE(back.LoadTemp(WriteBytes("o4iB.tmp", bytes).c_str()));
        EXPECT_EQ(back.m_pImage, nullptr);
        EXPECT_EQ(back.m_pMask, nullptr);
    }

    // A file naming itself ends, without a picture.
    const std::string strSelf = Win("o4iSELF.tmp");
    WriteBytes("o4iSELF.tmp", U32(strSelf.size()) + strSelf + U32(0));
    EXPECT_FALSE(back.LoadTemp(strSelf.c_str()));
}

TEST_F(ImageChildrenTest, TheStoredFormAndCopiesCarryEachChild)
{
    CImageChildren empty;
    EXPECT_EQ(Stored(empty), U32(0) + U32(0));

    CImageChildren children;
    ASSERT_TRUE(children.ImportIcon(WriteBytes("mono.ico", MonochromeIcon()).c_str()));
    const std::string bytes = Stored(children);
    CImageChildren back;
    back.m_nTranslucent = 3;
    ASSERT_EQ(text_store::Load(back, bytes), -1);
    ASSERT_NE(back.m_pImage, nullptr);
    ASSERT_NE(back.m_pMask, nullptr);
    EXPECT_EQ(HandlePixel(back.m_pImage->m_nHandle, 0, 5), kWhite);
    EXPECT_EQ(HandlePixel(back.m_pMask->m_nHandle, 0, 20), kBlack);

    // Only the mask present.
    delete back.m_pImage;
    back.m_pImage = nullptr;
    const std::string maskOnly = Stored(back);
    EXPECT_EQ(maskOnly.substr(0, 4), U32(0));
    ASSERT_EQ(text_store::Load(back, maskOnly), -1);
    EXPECT_EQ(back.m_pImage, nullptr);
    EXPECT_NE(back.m_pMask, nullptr);

    CImageChildren copy;
    copy.Copy(children);
    ASSERT_NE(copy.m_pImage, nullptr);
    EXPECT_NE(copy.m_pImage->m_nHandle, children.m_pImage->m_nHandle);
    children.Clear();
    EXPECT_EQ(HandlePixel(copy.m_pImage->m_nHandle, 0, 0), kWhite);
    HBITMAP hBitmap = copy.CreateDDB(nullptr);
    EXPECT_NE(hBitmap, nullptr);
    DeleteObject(hBitmap);
}

} // namespace
