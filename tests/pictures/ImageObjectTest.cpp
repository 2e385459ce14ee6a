// The picture object: each kind of file going to its reader, pictures made
// from memory and metafiles, deep copies, temporary files and exports, the
// embedded raster's format and bytes, the stored form of every version with
// real pictures, designs of the earlier code, undecodable bytes, the mirror
// bits, and the search for pictures whose folder moved.

#include "pictures/Image.h"
#include "pictures/PictureEngine.h"

#include "model/DrawObj.h"

#include "app/TextTable.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/MemFile.h"
#include "platform/files/ProgramFolder.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/resource.h"
#include "tests/pictures/ImageTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestData.h"
#include "tools/artgen/MetafileBuilder.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using image_test::Near;
using image_test::Pixel;
using picture_files::Raster;
using namespace text_store;

constexpr COLORREF kRed = RGB(220, 30, 40);
constexpr COLORREF kBlue = RGB(20, 40, 200);
constexpr COLORREF kGreen = RGB(30, 180, 60);

// Red on the left half, blue on the right: mirroring shows.
Raster Halves(int w = 32, int h = 16)
{
    Raster r(w, h, kBlue);
    r.Fill(0, 0, w / 2, h, kRed);
    return r;
}

CSize NaturalSizeOf(const CImage& image)
{
    return CSize(image_test::NaturalSize(image));
}

// A placeable Windows metafile of a green square on a 100 x 50 frame.
std::string PlaceableMetafile()
{
    artgen::MetafileBuilder mf(0, 0, 100, 50, 100);
    mf.SetWindowExt(100, 50);
    mf.SelectObject(mf.CreateBrushIndirect(0, 0x0000FF00, 0));
    mf.Rectangle(0, 0, 100, 50);
    const std::vector<uint8_t> bytes = mf.Finish();
    return std::string(bytes.begin(), bytes.end());
}

// A design record of a raster picture, in the layout every version shares
// (only the fields the version has).
struct RasterRecord {
    long long nHandle = 7;
    std::string strPath = "C:\\Pictures\\halves.png";
    WORD wFlags = IMAGE_FLAG_EMBED;
    long long nLoadMode = 2;
    DWORD crTransparent = 0;
    long long nRotation = 0;
    long long nBits = 24;
    long long cx = 64;
    long long cy = 32;
    std::string data;
    long long nSourceId = 5;

    std::string Bytes(int nVersion) const
    {
        std::string out = U32(nHandle) + Str(strPath) + U16(wFlags);
        if (nVersion >= 13)
            out += U32(nLoadMode);
        out += U32(crTransparent) + U32(nRotation);
        if (nVersion >= 20)
            out += U32(nBits);
        if (nVersion >= 26)
            out += U32(cx) + U32(cy);
        if (wFlags & IMAGE_FLAG_EMBED)
            out += U32(data.size()) + data;
        if (nVersion >= 27)
            out += U32(nSourceId);
        if (nVersion >= 29)
            out += U32(kImageNoPicture);
        return out;
    }
};

// The bytes WriteRasterData gives for the picture (without a count).
std::string RasterData(CImage& image, BOOL bEightBit = FALSE)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        image.WriteRasterData(ar, bEightBit, FALSE);
        ar.Close();
    }
    std::string bytes(size_t(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

bool IsPng(const std::string& bytes)
{
    return bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
}

bool IsJpeg(const std::string& bytes)
{
    return bytes.size() > 2 && BYTE(bytes[0]) == 0xFF && BYTE(bytes[1]) == 0xD8;
}

class ImageObjectTest : public image_test::ImageTest {
protected:
    std::string HalvesPng(const std::string& name = "halves.png") const
    {
        return picture_files::WritePng(Halves(), Host(name));
    }
};

// ---- Making pictures --------------------------------------------------------------------------

TEST_F(ImageObjectTest, EachKindOfFileGoesToItsReader)
{
    REQUIRE_TESTDATA();
    const std::string wmf = PlaceableMetafile();
    // The extension is told without case.
    const std::string strWmf = WriteBytes("Box.WMF", wmf);
    CImage image;
    image.LoadFile(strWmf.c_str(), CImage::kDefaultLoadMode);
    EXPECT_EQ(image.m_nHandle, kImageMetafile);
    EXPECT_EQ(NaturalSizeOf(image), CSize(100, 50));
    EXPECT_STREQ(image.GetPathName(), strWmf.c_str());

    // Asked to rasterise, the engine has the file: it does not read
    // metafiles, so the picture is refused and left empty.
    bool bRefused = false;
    try {
        image.LoadFile(strWmf.c_str(), CImage::kDefaultLoadMode, TRUE, FALSE);
    } catch (CUserException* e) {
        bRefused = true;
        e->Delete();
    }
    EXPECT_TRUE(bRefused);
    EXPECT_EQ(image.m_nHandle, kImageNoPicture);

    // A "wmf" temporary file is a Windows metafile too.
    image.LoadFile(WriteBytes("wmfA1.tmp", wmf).c_str(), 2);
    EXPECT_EQ(image.m_nHandle, kImageMetafile);

    // An enhanced metafile of the test data.
    image.LoadFile(image_test::TestDataFile("emf/src-libemf2svg__test-000.emf").c_str(), 2);
    EXPECT_EQ(image.m_nHandle, kImageMetafile);
    EXPECT_NE(image.m_metafile.GetEnhMetaFile(), nullptr);

    // An icon file becomes a composite; an ".ico" that holds no icons goes
    // to the engine, which knows what the file really is.
    image.LoadFile(image_test::TestDataFile("ico/src-pillow__python.ico").c_str(), 2);
    EXPECT_EQ(image.m_nHandle, kImageComposite);
    ASSERT_NE(image.m_children.m_pImage, nullptr);
    const std::string strPng = HalvesPng();
    const std::string strFake = WriteBytes("notanicon.ico", testing_support::ReadFileBytes(Host("halves.png")));
    image.LoadFile(strFake.c_str(), 2);
    ASSERT_TRUE(image.IsRaster());
    EXPECT_TRUE(Near(Pixel(image, 0, 0), kRed));
    // With the rasterise-icons flag the engine reads the icon itself.
    image.LoadFile(image_test::TestDataFile("ico/src-pillow__python.ico").c_str(), 2, FALSE, TRUE);
    EXPECT_TRUE(image.IsRaster());

    // Anything else is a raster, with its file's depth.
    image.LoadFile(strPng.c_str(), 2);
    ASSERT_TRUE(image.IsRaster());
    EXPECT_EQ(image.m_nFileBitsPerPixel, 24);
    EXPECT_EQ(image.m_nLoadMode, 2);
    EXPECT_EQ(NaturalSizeOf(image), CSize(32, 16));
}

TEST_F(ImageObjectTest, ACgmFileTheImportFilterRefusesIsOneUnsupportedFormat)
{
    // A binary CGM's BEGIN METAFILE element and nothing more: the import
    // filter finds no picture, so the engine is asked, which reads no such
    // format.
    const std::string strCgm = WriteBytes("drawing.cgm", std::string("\x00\x2A\x05Plans\x00\x00\x00\x00", 12));
    const int nPictures = GetPicCount();
    CImage image;
    bool bUser = false;
    try {
        image.LoadFile(strCgm.c_str(), 2);
    } catch (CUserException* e) {
        bUser = true;
        e->Delete();
    }
    EXPECT_TRUE(bUser);
    EXPECT_EQ(image.m_nHandle, kImageNoPicture);
    EXPECT_EQ(GetPicCount(), nPictures);
    ASSERT_EQ(Boxes(), 1u);
    EXPECT_EQ(platform::headless::MessageBoxes()[0].text, "Unsupported file format");
}

TEST_F(ImageObjectTest, MissingAndDamagedFilesLeaveThePictureEmpty)
{
    CImage image;
    image.LoadFile(HalvesPng().c_str(), 2);
    const int nPictures = GetPicCount();

    // Missing: the file exception, no message.
    int nCause = -1;
    try {
        image.LoadFile(Win("gone.png").c_str(), 2);
    } catch (CFileException* e) {
        nCause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(nCause, CFileException::fileNotFound);
    EXPECT_EQ(image.m_nHandle, kImageNoPicture);
    EXPECT_EQ(GetPicCount(), nPictures - 1);
    EXPECT_EQ(Boxes(), 0u);

    // Damaged: the engine's message, then the user exception.
    const std::string strBad = WriteBytes("bad.png", "\x89PNG\r\n\x1a\n but nothing more");
    bool bUser = false;
    try {
        image.LoadFile(strBad.c_str(), 2);
    } catch (CUserException* e) {
        bUser = true;
        e->Delete();
    }
    EXPECT_TRUE(bUser);
    EXPECT_EQ(image.m_nHandle, kImageNoPicture);
    EXPECT_EQ(Boxes(), 1u);
    // A quiet picture shows none, and stays quiet through the release.
    image.SetWordFlag(IMAGE_FLAG_QUIET, TRUE);
    try {
        image.LoadFile(strBad.c_str(), 2);
    } catch (CUserException* e) {
        e->Delete();
    }
    EXPECT_EQ(Boxes(), 1u);
    EXPECT_EQ(image.m_wFlags, IMAGE_FLAG_EMBED | IMAGE_FLAG_QUIET);

    // The constructor swallows the failures, without a box, and the picture
    // it leaves is not quiet.
    CImage missing(Win("gone.png").c_str(), 2);
    EXPECT_EQ(missing.m_nHandle, kImageNoPicture);
    const CImage damaged(strBad.c_str(), 2);
    EXPECT_EQ(damaged.m_wFlags & IMAGE_FLAG_QUIET, 0);
    EXPECT_EQ(Boxes(), 1u);
}

TEST_F(ImageObjectTest, ReleaseFreesEverythingAndResetRestoresTheDefaults)
{
    const int nPictures = GetPicCount();
    CImage image;
    image.LoadFile(HalvesPng().c_str(), 2);
    image.m_nBaseHandle = DuplicatePic(image.m_nHandle);
    ASSERT_EQ(GetPicCount(), nPictures + 2);
    image.m_nRotation = 90;
    image.m_nFlipX = 1;
    image.m_effectParams[3] = 17;
    image.m_nValue1 = 9;
    image.SetDisplaySize(-40, 30);
    EXPECT_EQ(image.m_sizeDisplay, CSize(40, 30));
    image.m_wFlags |= IMAGE_FLAG_QUIET | IMAGE_FLAG_TILED;
    image.Release();
    EXPECT_EQ(GetPicCount(), nPictures);
    EXPECT_EQ(image.m_nHandle, kImageNoPicture);
    EXPECT_EQ(image.m_nBaseHandle, kImageNoPicture);
    EXPECT_EQ(image.m_wFlags, IMAGE_FLAG_EMBED | IMAGE_FLAG_QUIET);
    EXPECT_EQ(image.m_nRotation, 0);
    EXPECT_EQ(image.m_nFlipX, 0);
    EXPECT_EQ(image.m_effectParams[3], 0);
    EXPECT_EQ(image.m_effectParams[CImage::kEffectParamCount - 1], 0x00C0C0C0);
    EXPECT_EQ(image.m_nValue1, 1);
    EXPECT_EQ(image.m_sizeDisplay, CSize(0, 0));
    EXPECT_TRUE(image.GetPathName().IsEmpty());
}

TEST_F(ImageObjectTest, PicturesFromMemoryAndMetafiles)
{
    REQUIRE_TESTDATA();
    // A packed DIB, copied or taken over.
    const std::string bmp = picture_files::BmpBytes(Halves());
    const size_t nDib = bmp.size() - 14;
    HGLOBAL hDib = GlobalAlloc(GMEM_MOVEABLE, nDib);
    std::memcpy(GlobalLock(hDib), bmp.data() + 14, nDib);
    GlobalUnlock(hDib);
    CImage image;
    ASSERT_TRUE(image.CreateFromDIB(hDib, TRUE));
    EXPECT_NE(hDib, nullptr);
    EXPECT_TRUE(Near(Pixel(image, 31, 0), kBlue));
    EXPECT_EQ(image.GetPathName(), MemoryOnlyPicturePath());
    EXPECT_STREQ(MemoryOnlyPicturePath(), "<memory-only picture>");
    ASSERT_TRUE(image.CreateFromDIB(hDib, FALSE));
    EXPECT_EQ(hDib, nullptr);
    EXPECT_TRUE(Near(Pixel(image, 0, 15), kRed));

    // A file image in memory.
    ASSERT_FALSE(HalvesPng("m.png").empty());
    const std::string png = testing_support::ReadFileBytes(Host("m.png"));
    ASSERT_TRUE(image.CreateFromMemory(png.data(), DWORD(png.size()), 2));
    EXPECT_EQ(NaturalSizeOf(image), CSize(32, 16));
    const int nHandle = image.LoadFromMemory(png.data(), DWORD(png.size()), 2);
    EXPECT_GE(nHandle, 1);
    EXPECT_EQ(image.m_nHandle, nHandle);
    EXPECT_LT(image.LoadFromMemory("garbage", 7, 2), 0);
    EXPECT_EQ(image.m_nHandle, kImageNoPicture);

    // Metafiles are copied: the caller's stays the caller's.
    const std::string wmf = PlaceableMetafile();
    HMETAFILE hmf = SetMetaFileBitsEx(UINT(wmf.size() - 22), reinterpret_cast<const BYTE*>(wmf.data()) + 22);
    ASSERT_NE(hmf, nullptr);
    CMetaFileInfo holder;
    holder.SetMetaFileSized(hmf, 300, 200);
    DeleteMetaFile(hmf);
    image.LoadFile(HalvesPng().c_str(), 2);
    const COLORREF crRed = kRed;
    image.SetTransparency(TRUE, &crRed);
    image.SetMetaFile(holder);
    EXPECT_EQ(image.m_nHandle, kImageMetafile);
    EXPECT_EQ(NaturalSizeOf(image), CSize(300, 200));
    EXPECT_FALSE(image.m_wFlags & IMAGE_FLAG_TRANSPARENT);
    EXPECT_EQ(image.m_crTransparent, 0u);
    EXPECT_NE(image.m_metafile.GetMetaFile(), holder.GetMetaFile());

    HENHMETAFILE hemf = GetEnhMetaFile(image_test::TestDataFile("emf/src-libemf2svg__test-000.emf").c_str());
    ASSERT_NE(hemf, nullptr);
    image.SetEnhMetaFile(hemf);
    DeleteEnhMetaFile(hemf);
    EXPECT_EQ(image.m_nHandle, kImageMetafile);
    ASSERT_NE(image.m_metafile.GetEnhMetaFile(), nullptr);
    EXPECT_GT(NaturalSizeOf(image).cx, 0);
    // A device bitmap of a metafile is 200 pixels wide.
    HBITMAP hBitmap = image.CreateDDB(nullptr, FALSE);
    ASSERT_NE(hBitmap, nullptr);
    BITMAP bm{};
    GetObject(hBitmap, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 200);
    DeleteObject(hBitmap);
}

TEST_F(ImageObjectTest, CopiesAreDeepAndKeepTheirOwnSize)
{
    REQUIRE_TESTDATA();
    CImage original;
    original.LoadFile(HalvesPng().c_str(), 2);
    const COLORREF crBlue = kBlue;
    original.SetTransparency(TRUE, &crBlue);
    original.m_nBaseHandle = DuplicatePic(original.m_nHandle);
    original.m_nRotation = 45;
    original.m_nSourceId = 12;
    original.m_effectParams[2] = 4;
    original.m_bForceEmbed = 1;
    original.SetDisplaySize(90, 45);

    auto pCopy = std::make_unique<CImage>();
    pCopy->Copy(original);
    ASSERT_TRUE(pCopy->IsRaster());
    EXPECT_NE(pCopy->m_nHandle, original.m_nHandle);
    EXPECT_NE(pCopy->m_nBaseHandle, original.m_nBaseHandle);
    EXPECT_TRUE(pCopy->HasTransparency());
    EXPECT_TRUE(pCopy->m_wFlags & IMAGE_FLAG_TRANSPARENT);
    EXPECT_EQ(pCopy->m_crTransparent, kBlue);
    EXPECT_EQ(pCopy->m_nRotation, 45);
    EXPECT_EQ(pCopy->m_nSourceId, 12);
    EXPECT_EQ(pCopy->m_effectParams[2], 4);
    EXPECT_EQ(pCopy->m_bForceEmbed, 1);
    EXPECT_EQ(pCopy->GetPathName(), original.GetPathName());
    EXPECT_EQ(pCopy->m_sizeDisplay, CSize(0, 0));
    EXPECT_EQ(pCopy->m_nFileBitsPerPixel, -1);
    original.Release();
    EXPECT_TRUE(Near(Pixel(*pCopy, 0, 0), kRed));

    // Metafiles and composites copy their members.
    original.LoadFile(WriteBytes("box.wmf", PlaceableMetafile()).c_str(), 2);
    pCopy->Copy(original);
    EXPECT_EQ(pCopy->m_nHandle, kImageMetafile);
    EXPECT_NE(pCopy->m_metafile.GetMetaFile(), original.m_metafile.GetMetaFile());
    original.LoadFile(image_test::TestDataFile("ico/src-pillow__python.ico").c_str(), 2);
    pCopy->Copy(original);
    EXPECT_EQ(pCopy->m_nHandle, kImageComposite);
    ASSERT_NE(pCopy->m_children.m_pImage, nullptr);
    EXPECT_NE(pCopy->m_children.m_pImage, original.m_children.m_pImage);
    EXPECT_EQ(pCopy->m_children.GetSize(), original.m_children.GetSize());
}

// ---- Writing pictures out ----------------------------------------------------------------------

TEST_F(ImageObjectTest, TemporaryFilesShowThePictureUnmirrored)
{
    REQUIRE_TESTDATA();
    CImage image;
    image.LoadFile(HalvesPng().c_str(), 2);
    // Mirrored in memory, as its bit says.
    ASSERT_EQ(ReversePic(image.m_nHandle), 0);
    image.SetWordFlag(IMAGE_FLAG_MIRROR_X, TRUE);
    ASSERT_TRUE(Near(Pixel(image, 0, 0), kBlue));
    CString strTemp;
    image.SaveToTempFile(strTemp, FALSE);
    const std::string name = std::filesystem::path(platform::HostPathForReading(strTemp.Std())).filename().string();
    EXPECT_EQ(name.substr(0, 3), "ov4");
    CImage back;
    back.LoadFile(strTemp, 2);
    EXPECT_TRUE(Near(Pixel(back, 0, 0), kRed));
    EXPECT_TRUE(Near(Pixel(back, 31, 0), kBlue));
    // The picture itself stays mirrored.
    EXPECT_TRUE(Near(Pixel(image, 0, 0), kBlue));

    // A composite travels as an "o4i" file with its children.
    image.LoadFile(image_test::TestDataFile("ico/src-pillow__python.ico").c_str(), 2);
    ASSERT_EQ(image.m_nHandle, kImageComposite);
    image.SaveToTempFile(strTemp, FALSE);
    EXPECT_EQ(std::filesystem::path(platform::HostPathForReading(strTemp.Std())).filename().string().substr(0, 3), "o4i");
    back.LoadFile(strTemp, 2);
    EXPECT_EQ(back.m_nHandle, kImageComposite);
    ASSERT_NE(back.m_children.m_pImage, nullptr);
    EXPECT_NE(back.m_children.m_pMask, nullptr);
    EXPECT_EQ(back.m_children.GetSize(), image.m_children.GetSize());

    // Nothing to write: the file exception.
    CImage empty;
    bool bRaised = false;
    try {
        empty.SaveToTempFile(strTemp, FALSE);
    } catch (CFileException* e) {
        bRaised = true;
        e->Delete();
    }
    EXPECT_TRUE(bRaised);
}

TEST_F(ImageObjectTest, ExportRasterisesVectorPicturesAtTheGivenSize)
{
    CImage image;
    image.LoadFile(WriteBytes("box.wmf", PlaceableMetafile()).c_str(), 2);
    ASSERT_EQ(image.m_nHandle, kImageMetafile);
    image.SetWordFlag(IMAGE_FLAG_CROPPED | IMAGE_FLAG_MIRROR_Y, TRUE);
    const std::string strOut = Win("out.bmp");
    EXPECT_GE(image.Export(strOut.c_str(), TRUE, FALSE, 0, CRect(0, 0, 40, 20)), 0);
    ASSERT_TRUE(image.IsRaster());
    EXPECT_TRUE(image.m_wFlags & IMAGE_FLAG_CROPPED);
    EXPECT_TRUE(image.m_wFlags & IMAGE_FLAG_MIRROR_Y);
    CImage back;
    back.LoadFile(strOut.c_str(), 2);
    EXPECT_EQ(NaturalSizeOf(back), CSize(40, 20));
    EXPECT_TRUE(Near(Pixel(back, 20, 10), RGB(0, 255, 0)));
}

TEST_F(ImageObjectTest, ThumbnailsFitTheSquareKeepingProportions)
{
    CImage image;
    ASSERT_TRUE(image.LoadThumbnail(8, HalvesPng().c_str()));
    EXPECT_EQ(NaturalSizeOf(image), CSize(8, 4));
    ASSERT_TRUE(image.LoadThumbnail(100, Win("halves.png").c_str()));
    EXPECT_EQ(NaturalSizeOf(image), CSize(32, 16));
}

// ---- The embedded raster ----------------------------------------------------------------------

TEST_F(ImageObjectTest, EmbeddedRastersArePngWhenSmallOrTransparentAndJpegElse)
{
    CImage image;
    image.LoadFile(HalvesPng().c_str(), 2);
    EXPECT_TRUE(IsJpeg(RasterData(image)));
    const COLORREF crRed = kRed;
    image.SetTransparency(TRUE, &crRed);
    EXPECT_TRUE(IsPng(RasterData(image)));
    image.LoadFile(picture_files::WriteBmp(Halves(), Host("eight.bmp"), 8).c_str(), 2);
    EXPECT_TRUE(IsPng(RasterData(image)));
    // The count comes first when asked for.
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        image.WriteRasterData(ar, FALSE, TRUE);
        ar.Close();
    }
    EXPECT_EQ(file.GetLength(), RasterData(image).size() + 4);

    // Read back, the bytes are kept and go out again as they came, until the
    // raster changes.
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CImage back;
    ASSERT_GE(back.ReadRasterData(ar, 2), 1);
    const std::string read(back.m_rasterData.begin(), back.m_rasterData.end());
    EXPECT_EQ(RasterData(back), read);
    ASSERT_EQ(ResizePic(back.m_nHandle, 8, 4), 0);
    back.m_bRasterChanged = TRUE;
    EXPECT_NE(RasterData(back), read);
}

TEST_F(ImageObjectTest, ReadRasterDataAllocatesNoMoreThanTheArchiveHolds)
{
    for (DWORD nCount : {DWORD(0xFFFFFFFF), DWORD(0x10000000), DWORD(9)}) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ar << nCount;
            ar.Write("12345678", 8);
            ar.Close();
        }
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load);
        CImage image;
        EXPECT_LT(image.ReadRasterData(ar, 2), 0) << nCount;
        EXPECT_EQ(image.m_nHandle, kImageNoPicture);
    }
}

// ---- The stored form with real pictures ---------------------------------------------------------

TEST_F(ImageObjectTest, EmbeddedPicturesOfEveryVersionLoadByTheirGates)
{
    RasterRecord record;
    ASSERT_FALSE(HalvesPng().empty());
    record.data = testing_support::ReadFileBytes(Host("halves.png"));
    record.wFlags = IMAGE_FLAG_EMBED | IMAGE_FLAG_TRANSPARENT;
    record.crTransparent = kRed;
    for (int nVersion : {12, 13, 20, 26, 27, 28, 29}) {
        SCOPED_TRACE(nVersion);
        SetVersion(nVersion);
        CImage image;
        ULONGLONG nLeft = 99;
        ASSERT_EQ(Load(image, record.Bytes(nVersion), &nLeft), -1);
        EXPECT_EQ(nLeft, 0u);
        ASSERT_TRUE(image.IsRaster());
        EXPECT_EQ(image.m_nLoadMode, CImage::kEmbeddedLoadMode);
        EXPECT_TRUE(image.HasTransparency());
        EXPECT_EQ(image.m_crTransparent, kRed);
        EXPECT_EQ(NaturalSizeOf(image), CSize(32, 16));
        EXPECT_EQ(image.m_nFileBitsPerPixel, nVersion >= 20 ? 24 : -1);
        EXPECT_EQ(image.m_sizeDisplay, nVersion >= 26 ? CSize(64, 32) : CSize(0, 0));
        EXPECT_EQ(image.m_nSourceId, nVersion >= 27 ? 5 : 0);
        EXPECT_TRUE(Near(Pixel(image, 31, 15), kBlue));

        // Stored again in today's form, the picture's bytes unchanged.
        SetVersion(29);
        RasterRecord today = record;
        today.nLoadMode = 3;
        today.nBits = image.m_nFileBitsPerPixel;
        today.cx = image.m_sizeDisplay.cx;
        today.cy = image.m_sizeDisplay.cy;
        today.nSourceId = image.m_nSourceId;
        EXPECT_EQ(Store(image), today.Bytes(29));
    }
}

TEST_F(ImageObjectTest, ADesignOfTheEarlierCodeOpensWithItsPicturesAndSavesTheSameBytes)
{
    // The earlier code wrote the JPEG file a picture was opened from as the
    // embedded data, behind the handle value 1.
    Raster photo(40, 20, kGreen);
    photo.Fill(0, 0, 20, 20, kRed);
    ASSERT_FALSE(picture_files::WriteJpeg(photo, Host("photo.jpg")).empty());
    RasterRecord record;
    record.nHandle = 1;
    record.strPath = "C:\\Users\\Me\\photo.jpg";
    record.nLoadMode = 2;
    record.data = testing_support::ReadFileBytes(Host("photo.jpg"));
    record.wFlags = IMAGE_FLAG_EMBED | IMAGE_FLAG_TILED;
    const std::string bytes = record.Bytes(29);

    CImage image;
    ASSERT_EQ(Load(image, bytes), -1);
    ASSERT_TRUE(image.IsRaster());
    EXPECT_EQ(NaturalSizeOf(image), CSize(40, 20));
    EXPECT_TRUE(Near(Pixel(image, 5, 10), kRed));
    EXPECT_TRUE(Near(Pixel(image, 35, 10), kGreen));
    EXPECT_EQ(image.m_wFlags, IMAGE_FLAG_EMBED | IMAGE_FLAG_TILED);
    RasterRecord again = record;
    again.nLoadMode = 3;
    EXPECT_EQ(Store(image), again.Bytes(29));
}

TEST_F(ImageObjectTest, UndecodableBytesAreKeptAndStoredBack)
{
    RasterRecord record;
    record.data = "\xFF\xD8\xFF\xE0 this is not a picture any reader takes";
    const std::string bytes = record.Bytes(29);
    CImage image;
    ASSERT_EQ(Load(image, bytes), -1);
    // The user hears of it once; the picture draws nothing.
    EXPECT_EQ(Boxes(), 1u);
    EXPECT_TRUE(image.IsUndecoded());
    EXPECT_FALSE(image.IsRaster());
    EXPECT_EQ(image.CreateDDB(nullptr, FALSE), nullptr);
    RasterRecord again = record;
    again.nLoadMode = 3;
    EXPECT_EQ(Store(image), again.Bytes(29));
    // A copy keeps them too; a quiet picture is read without the message.
    CImage copy;
    copy.Copy(image);
    copy.m_nFileBitsPerPixel = image.m_nFileBitsPerPixel;
    copy.m_sizeDisplay = image.m_sizeDisplay;
    EXPECT_EQ(Store(copy), again.Bytes(29));
    record.wFlags |= IMAGE_FLAG_QUIET;
    ASSERT_EQ(Load(image, record.Bytes(29)), -1);
    EXPECT_EQ(Boxes(), 1u);
}

TEST_F(ImageObjectTest, TheMirrorBitsSayHowTheRasterInMemoryIs)
{
    // An embedded raster mirrored in memory is stored mirrored, with its
    // bit, and opens the same way.
    CImage image;
    image.LoadFile(HalvesPng().c_str(), 2);
    ASSERT_EQ(ReversePic(image.m_nHandle), 0);
    image.SetWordFlag(IMAGE_FLAG_MIRROR_X, TRUE);
    const std::string bytes = Store(image);
    CImage back;
    ASSERT_EQ(Load(back, bytes), -1);
    EXPECT_TRUE(back.m_wFlags & IMAGE_FLAG_MIRROR_X);
    EXPECT_TRUE(Near(Pixel(back, 0, 0), kBlue));
    EXPECT_TRUE(Near(Pixel(back, 31, 0), kRed));

    // A raster read from a design that drawing turned in memory (its bits
    // turning with it) is stored as it was read: the bytes with the bits
    // they were read with.
    CImage turned;
    ASSERT_EQ(Load(turned, bytes), -1);
    const std::string asRead = Store(turned);
    ASSERT_EQ(ReversePic(turned.m_nHandle), 0);
    turned.SetWordFlag(IMAGE_FLAG_MIRROR_X, FALSE);
    EXPECT_EQ(Store(turned), asRead);
    // Mirrored on purpose, it is encoded anew as it now is.
    turned.SetMirror(TRUE, TRUE);
    EXPECT_TRUE(turned.m_bRasterChanged);
    ASSERT_EQ(Load(back, Store(turned)), -1);
    EXPECT_EQ(back.m_wFlags & (IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y), IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y);
    EXPECT_TRUE(Near(Pixel(back, 0, 0), kBlue));
    EXPECT_TRUE(Near(Pixel(back, 31, 0), kRed));

    // A linked picture comes from its file as the file is, and is mirrored
    // again as its bits say.
    image.m_wFlags = IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y | IMAGE_FLAG_TILED;
    ASSERT_EQ(Load(back, Store(image)), -1);
    ASSERT_TRUE(back.IsRaster());
    EXPECT_EQ(back.m_wFlags, IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y | IMAGE_FLAG_TILED);
    EXPECT_TRUE(Near(Pixel(back, 0, 0), kBlue));
    EXPECT_TRUE(Near(Pixel(back, 31, 0), kRed));
}

// ---- Drawing objects' pictures from the clipboard's formats -------------------------------------

TEST_F(ImageObjectTest, DrawingObjectsTakePicturesFromDibsAndMetafiles)
{
    const std::string bmp = picture_files::BmpBytes(Halves());
    HGLOBAL hDib = GlobalAlloc(GMEM_MOVEABLE, bmp.size() - 14);
    std::memcpy(GlobalLock(hDib), bmp.data() + 14, bmp.size() - 14);
    GlobalUnlock(hDib);
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.SetPictureFromDib(hDib, TRUE, TRUE);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_TRUE(obj.m_pPicture->IsRaster());
    EXPECT_EQ(obj.GetNaturalSize(), CSize(32, 16));
    EXPECT_TRUE(obj.IsPictureEmbedded());
    // The clipboard's block stays the clipboard's.
    EXPECT_NE(GlobalSize(hDib), 0u);
    GlobalFree(hDib);

    // The picture written to a temporary file reads back.
    const CString strTemp = obj.SavePictureToTempFile();
    ASSERT_FALSE(strTemp.IsEmpty());
    CImage back;
    back.LoadFile(strTemp, 2);
    EXPECT_TRUE(Near(Pixel(back, 0, 0), kRed));

    HENHMETAFILE hemf = GetEnhMetaFile(image_test::TestDataFile("emf/src-libemf2svg__test-000.emf").c_str());
    ASSERT_NE(hemf, nullptr);
    obj.SetPictureFromEnhMetaFile(hemf, FALSE, FALSE);
    DeleteEnhMetaFile(hemf);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_EQ(obj.m_pPicture->m_nHandle, kImageMetafile);

    const std::string wmf = PlaceableMetafile();
    HGLOBAL hPict = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    auto* pPict = static_cast<METAFILEPICT*>(GlobalLock(hPict));
    pPict->mm = MM_ANISOTROPIC;
    pPict->xExt = 120;
    pPict->yExt = 60;
    pPict->hMF = SetMetaFileBitsEx(UINT(wmf.size() - 22), reinterpret_cast<const BYTE*>(wmf.data()) + 22);
    const HMETAFILE hmf = pPict->hMF;
    GlobalUnlock(hPict);
    obj.SetPictureFromMetaFilePict(hPict, TRUE, TRUE);
    ASSERT_TRUE(obj.HasPicture());
    EXPECT_EQ(obj.m_pPicture->m_nHandle, kImageMetafile);
    EXPECT_EQ(obj.GetNaturalSize(), CSize(120, 60));
    EXPECT_NE(obj.m_pPicture->m_metafile.GetMetaFile(), hmf);
    DeleteMetaFile(hmf);
    GlobalFree(hPict);
}

TEST_F(ImageObjectTest, ACompositeIsStoredByItsPathAndReloadedFromIt)
{
    REQUIRE_TESTDATA();
    CImage image;
    image.LoadFile(image_test::TestDataFile("ico/src-pillow__python.ico").c_str(), 2);
    ASSERT_EQ(image.m_nHandle, kImageComposite);
    const std::string bytes = Store(image);
    // Handle, path, flags, load mode, colour, rotation, depth, size, source
    // id, base: no data even with the embed bit.
    ASSERT_TRUE(image.m_wFlags & IMAGE_FLAG_EMBED);
    EXPECT_EQ(bytes.size(), 4 + Str(image.GetPathName().Std()).size() + 2 + 4 * 8);
    CImage back;
    ASSERT_EQ(Load(back, bytes), -1);
    EXPECT_EQ(back.m_nHandle, kImageComposite);
    EXPECT_EQ(back.m_children.GetSize(), image.m_children.GetSize());
}

// ---- Pictures whose folder moved ---------------------------------------------------------------

class MovedPictureTest : public ImageObjectTest {
protected:
    void SetUp() override
    {
        ImageObjectTest::SetUp();
        m_program = testing_support::MakeTempDir("program");
        platform::SetProgramFolderForTests(m_program);
        SetCurrentKitFolder(CString());
    }
    void TearDown() override
    {
        SetCurrentKitFolder(CString());
        platform::SetProgramFolderForTests(std::string());
        ImageObjectTest::TearDown();
    }
    // Writes a picture at hostPath (folders made).
    static std::string Put(const std::string& hostPath)
    {
        std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
        return picture_files::WritePng(Halves(), hostPath);
    }

    std::string m_program;
};

TEST_F(MovedPictureTest, FoundUnderTheProgramsPicturesFolder)
{
    const std::string found = Put(m_program + "/Pictures/Flowers/rose.png");
    // The folder word ends any folder name ("Clipart" too), in any case.
    CString strPath = "D:\\Old Kit\\CLIPART\\Flowers\\rose.png";
    CImage image;
    ASSERT_TRUE(image.FindMovedPicture(strPath));
    EXPECT_EQ(platform::HostPathForReading(strPath.Std()), platform::HostPathForReading(found));
    // The gallery's word.
    strPath = "E:\\gallery\\Images\\Flowers\\rose.png";
    EXPECT_TRUE(image.FindMovedPicture(strPath, "images"));
    strPath = "E:\\gallery\\Images\\Flowers\\rose.png";
    EXPECT_FALSE(image.FindMovedPicture(strPath, "art"));
    // Without the word the search gives up at once.
    strPath = "D:\\Old Kit\\Flowers\\rose.png";
    EXPECT_FALSE(image.FindMovedPicture(strPath));
    EXPECT_EQ(strPath, "D:\\Old Kit\\Flowers\\rose.png");
}

TEST_F(MovedPictureTest, FoundBesideTheKitsDocumentOrPredsgndFolder)
{
    const std::string kit = testing_support::MakeTempDir("kit");
    const std::string found = Put(kit + "/Pictures/sun.png");
    CImage image;
    for (const std::string& folder : {kit + "/Document/Designs/", kit + "/PREDSGND/Cards/"}) {
        SCOPED_TRACE(folder);
        SetCurrentKitFolder(platform::WindowsPathFor(folder).c_str());
        CString strPath = "C:\\Somewhere\\Art\\sun.png";
        ASSERT_TRUE(image.FindMovedPicture(strPath));
        EXPECT_EQ(platform::HostPathForReading(strPath.Std()), platform::HostPathForReading(found));
    }
    // With a kit in use the program's folder is not searched.
    Put(m_program + "/Pictures/moon.png");
    CString strPath = "C:\\Somewhere\\Art\\moon.png";
    EXPECT_FALSE(image.FindMovedPicture(strPath));
}

TEST_F(MovedPictureTest, ReadingADesignLooksBesideItThenForUnderscoresThenAsks)
{
    // The design's own folder is the root while it is read.
    const std::string root = testing_support::MakeTempDir("designs");
    Put(root + "/Pictures/tree.png");
    RasterRecord linked;
    linked.wFlags = IMAGE_FLAG_TILED | IMAGE_FLAG_MIRROR_X;
    linked.strPath = "F:\\Old\\Art\\tree.png";
    CMemFile file;
    const std::string bytes = linked.Bytes(29);
    file.Write(bytes.data(), UINT(bytes.size()));
    file.SeekToBegin();
    CImage image;
    {
        CArchive ar(&file, CArchive::load);
        ar.m_strFileName = platform::WindowsPathFor(root + "/Document/card.dsg").c_str();
        image.Serialize(ar);
    }
    ASSERT_TRUE(image.IsRaster());
    EXPECT_EQ(image.m_wFlags, IMAGE_FLAG_TILED | IMAGE_FLAG_MIRROR_X);
    EXPECT_EQ(image.m_nSourceId, 5);

    // A path whose every "-" became "_" is tried next (in a folder of our
    // own: the test home's name has dashes of its own).
    const std::string plain = (std::filesystem::temp_directory_path() / ("twmoved" + std::to_string(getpid()))).string();
    Put(plain + "/new_folder/my_tree.png");
    linked.strPath = platform::WindowsPathFor(plain + "/new-folder/my-tree.png");
    ASSERT_EQ(Load(image, linked.Bytes(29)), -1);
    std::filesystem::remove_all(plain);
    ASSERT_TRUE(image.IsRaster());
    EXPECT_NE(image.GetPathName().Find("new_folder\\my_tree"), -1);
    EXPECT_EQ(Boxes(), 0u);

    // Then the user is told, and can only ignore it: the picture is empty
    // but keeps the design's record for the next save.
    linked.strPath = "G:\\nowhere\\lost-tree.png";
    const std::string lost = linked.Bytes(29);
    int nAsked = 0;
    std::string strNamed;
    platform::headless::SetIdleHandler([&] {
        const HWND hDlg = ::GetActiveWindow();
        const HWND hName = hDlg != NULL ? ::GetDlgItem(hDlg, IDC_LOCATE_PICTURE_FILE) : NULL;
        if (hName == NULL)
            return false;
        ++nAsked;
        char text[128] = {};
        ::GetWindowText(hName, text, sizeof(text));
        strNamed = text;
        ::SendMessage(hDlg, WM_COMMAND, IDCANCEL, 0); // Ignore
        return true;
    });
    ASSERT_EQ(Load(image, lost), -1);
    EXPECT_EQ(nAsked, 1);
    EXPECT_NE(strNamed.find("lost-tree.png"), std::string::npos);
    EXPECT_TRUE(image.IsMissingLink());
    EXPECT_FALSE(image.IsRaster());
    EXPECT_EQ(Store(image), lost);
    // A quiet picture does not ask.
    linked.wFlags |= IMAGE_FLAG_QUIET;
    ASSERT_EQ(Load(image, linked.Bytes(29)), -1);
    EXPECT_EQ(nAsked, 1);
    EXPECT_EQ(Boxes(), 0u);
    platform::headless::SetIdleHandler(nullptr);
}

} // namespace
