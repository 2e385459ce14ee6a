// A photograph whose camera recorded that it was held upright comes in
// upright on the page and in thumbnails, and a design keeps it upright:
// the pixels it stores are the upright ones, and the camera's own bytes,
// kept as they came, are turned again at each load and never twice.

#include "pictures/Image.h"
#include "pictures/PictureEngine.h"

#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "tests/pictures/ImageTestSupport.h"
#include "tests/pictures/PictureFiles.h"

#include <string>

namespace {

using image_test::Near;
using image_test::Pixel;
using picture_files::Raster;

constexpr COLORREF kRed = RGB(220, 30, 40);
constexpr COLORREF kBlue = RGB(20, 40, 200);

class PhotoOrientationTest : public image_test::ImageTest {
protected:
    // A 32 x 16 JPEG, red left and blue right, tagged as taken with the
    // camera turned a quarter (orientation 6: to be turned clockwise).
    std::string CameraBytes()
    {
        Raster r(32, 16, kBlue);
        r.Fill(0, 0, 16, 16, kRed);
        EXPECT_FALSE(picture_files::WriteJpeg(r, Host("plain.jpg")).empty());
        const std::string jpeg = testing_support::ReadFileBytes(Host("plain.jpg"));
        // An EXIF block: "Exif", then a little-endian TIFF header whose first
        // directory holds the orientation, one SHORT.
        std::string exif("Exif\0\0II\x2A\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32);
        const size_t length = exif.size() + 2;
        return jpeg.substr(0, 2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + exif + jpeg.substr(2);
    }
};

TEST_F(PhotoOrientationTest, UprightOnThePageInThumbnailsAndInTheDesign)
{
    const std::string path = WriteBytes("camera.jpg", CameraBytes());
    CImage image;
    image.LoadFile(path.c_str(), 2);
    ASSERT_EQ(CSize(image_test::NaturalSize(image)), CSize(16, 32));
    // The left half went to the top.
    EXPECT_TRUE(Near(Pixel(image, 8, 4), kRed));
    EXPECT_TRUE(Near(Pixel(image, 8, 28), kBlue));

    CImage thumbnail;
    ASSERT_TRUE(thumbnail.LoadThumbnail(8, path.c_str()));
    EXPECT_EQ(CSize(image_test::NaturalSize(thumbnail)), CSize(4, 8));

    // Embedded in a design: the upright pixels are stored, and come back
    // upright.
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        image.WriteRasterData(ar, FALSE, TRUE);
        ar.Close();
    }
    file.SeekToBegin();
    {
        CArchive ar(&file, CArchive::load);
        CImage back;
        ASSERT_GE(back.ReadRasterData(ar, 2), 1);
        EXPECT_EQ(CSize(image_test::NaturalSize(back)), CSize(16, 32));
        EXPECT_TRUE(Near(Pixel(back, 8, 4), kRed));
    }

    // The camera's own bytes in a design load upright and go out again as
    // they came.
    const std::string camera = CameraBytes();
    CMemFile cameraFile;
    {
        CArchive ar(&cameraFile, CArchive::store);
        ar << DWORD(camera.size());
        ar.Write(camera.data(), UINT(camera.size()));
        ar.Close();
    }
    cameraFile.SeekToBegin();
    CArchive ar(&cameraFile, CArchive::load);
    CImage stored;
    ASSERT_GE(stored.ReadRasterData(ar, 2), 1);
    EXPECT_EQ(CSize(image_test::NaturalSize(stored)), CSize(16, 32));
    EXPECT_TRUE(Near(Pixel(stored, 8, 4), kRed));
    EXPECT_EQ(std::string(stored.m_rasterData.begin(), stored.m_rasterData.end()), camera);
}

} // namespace
