// The preview pictures a saved design keeps of its surfaces: which streams a
// design gets, what the picture shows, that other readers take it as a
// small JPEG, and the page written to a picture file.

#include "tests/model/ModelTestSupport.h"

#include "model/DocQuickInfoFile.h"
#include "model/ProjectKinds.h"
#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/base/CodePage.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/imaging/Imaging.h"
#include "platform/storage/Storage.h"
#include "tests/app/StorageTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The names of the root storage's streams.
std::vector<std::string> StreamNames(const std::string& windowsPath)
{
    std::vector<std::string> names;
    const std::u16string wide = platform::Utf16From1252(windowsPath);
    IStorage* pRoot = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pRoot)))
        return names;
    IEnumSTATSTG* pEnum = nullptr;
    if (SUCCEEDED(pRoot->EnumElements(0, nullptr, 0, &pEnum))) {
        STATSTG stat{};
        while (pEnum->Next(1, &stat, nullptr) == S_OK) {
            if (stat.type == STGTY_STREAM && stat.pwcsName != nullptr)
                names.push_back(platform::Utf16To1252(stat.pwcsName));
            CoTaskMemFree(stat.pwcsName);
            stat.pwcsName = nullptr;
        }
        pEnum->Release();
    }
    pRoot->Release();
    return names;
}

bool Near(COLORREF a, COLORREF b, int nTolerance = 40)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance
        && std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

class DesignPreviewTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        m_dir = testing_support::MakeTempDir("designpreview");
    }
    std::string PathFor(const char* name) { return platform::WindowsPathFor(m_dir + "/" + name); }
    std::string HostPathFor(const char* name) { return m_dir + "/" + name; }

    // A filled rectangle without an outline.
    static CDrawRect* Block(const CRect& rect, COLORREF cr)
    {
        auto* pShape = new CDrawRect(rect, 0);
        pShape->m_bFill = TRUE;
        pShape->m_bOutline = FALSE;
        pShape->m_logbrush.lbStyle = BS_SOLID;
        pShape->m_logbrush.lbColor = cr;
        return pShape;
    }

    // A two-sided shirt with a block on each side, saved to name.
    std::string SaveShirt(const char* name, BOOL bPredesigned)
    {
        CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CTovellDoc));
        EXPECT_NE(pDoc, nullptr);
        if (pDoc == nullptr)
            return {};
        EXPECT_EQ(pDoc->GetSurfaceInfoCount(), 2);
        pDoc->AddObject(Block(CRect(-200, 200, 200, -200), RGB(255, 0, 0)), ViewOf(pDoc, 0));
        pDoc->AddObject(Block(CRect(-200, 200, 200, -200), RGB(0, 0, 255)), ViewOf(pDoc, 1));
        if (bPredesigned)
            pDoc->m_wDocFlags |= DOC_FLAG_PREDESIGNED;
        const std::string path = PathFor(name);
        EXPECT_TRUE(pDoc->OnSaveDocument(path.c_str()));
        pDoc->OnCloseDocument();
        Pump();
        return path;
    }

    // The colour of a picture's pixel.
    static COLORREF PixelOf(const CImage& image, int x, int y)
    {
        HBITMAP hBitmap = image.CreateDDB(nullptr, FALSE);
        if (hBitmap == NULL)
            return CLR_INVALID;
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), hBitmap);
        const COLORREF cr = dc.GetPixel(x, y) & 0xFFFFFF;
        ::SelectObject(dc.GetSafeHdc(), hOld);
        ::DeleteObject(hBitmap);
        return cr;
    }

    std::string m_dir;
};

TEST_F(DesignPreviewTest, APredesignedDesignKeepsOnePreviewPerSurfaceAndAnyOtherOnlyTheFirst)
{
    const std::string plain = SaveShirt("plain.shr", FALSE);
    std::vector<std::string> previews;
    for (const std::string& name : StreamNames(plain))
        if (name.rfind("Surface Preview", 0) == 0)
            previews.push_back(name);
    ASSERT_EQ(previews, std::vector<std::string>{"Surface Preview"});
    EXPECT_EQ(CountSurfacePreviews(plain.c_str()), 1);
    EXPECT_TRUE(HasSurfacePreviewStream(plain.c_str(), 0));
    EXPECT_FALSE(HasSurfacePreviewStream(plain.c_str(), 1));

    const std::string library = SaveShirt("library.shr", TRUE);
    EXPECT_EQ(CountSurfacePreviews(library.c_str()), 2);
    EXPECT_TRUE(HasSurfacePreviewStream(library.c_str(), 1));
    EXPECT_EQ(storage_test::ReadStreamBytes(library, "Surface Preview1").substr(0, 2), "\xFF\xD8");

    // Each side's picture shows that side.
    CImage front;
    CImage back;
    ASSERT_EQ(ReadSurfacePreview(library.c_str(), &front, 0, CImage::kDefaultLoadMode), 0);
    ASSERT_EQ(ReadSurfacePreview(library.c_str(), &back, 1, CImage::kDefaultLoadMode), 0);
    SIZE size{};
    front.GetSize(size, TRUE);
    EXPECT_TRUE(Near(PixelOf(front, size.cx / 2, size.cy / 2), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(PixelOf(back, size.cx / 2, size.cy / 2), RGB(0, 0, 255)));
}

TEST_F(DesignPreviewTest, ThePreviewShowsTheDesignsColoursWhereTheyLie)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    // Left half red, a green band across the top right, the rest paper.
    const CRect page = pView->GetPageRect();
    pDoc->AddObject(Block(CRect(page.left, page.top, 0, page.bottom), RGB(255, 0, 0)), pView);
    pDoc->AddObject(Block(CRect(0, page.top, page.right, page.top - 300), RGB(0, 160, 0)), pView);
    const CSize pageSize = pView->GetPageSize();
    // The picture the save keeps is the view's preview for 250 x 250.
    CBitmap rendered;
    ASSERT_TRUE(pView->RenderPreview(&rendered, 250, 250));
    BITMAP bm{};
    rendered.GetBitmap(&bm);
    const std::string path = PathFor("colours.gnl");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    // The open design holds its file against readers.
    CImage preview;
    EXPECT_EQ(ReadSurfacePreview(path.c_str(), &preview, 0, CImage::kDefaultLoadMode), STG_E_SHAREVIOLATION);
    pDoc->OnCloseDocument();
    Pump();

    ASSERT_EQ(ReadSurfacePreview(path.c_str(), &preview, 0, CImage::kDefaultLoadMode), 0);
    ASSERT_TRUE(preview.IsRaster());
    SIZE size{};
    preview.GetSize(size, TRUE);
    // The page keeps its proportions.
    EXPECT_EQ(size.cx, bm.bmWidth);
    EXPECT_EQ(size.cy, bm.bmHeight);
    EXPECT_NEAR(static_cast<double>(size.cx) / size.cy, static_cast<double>(pageSize.cx) / pageSize.cy, 0.01);

    auto at = [&](int x, int y) {
        return PixelOf(
            preview, ::MulDiv(x - page.left, size.cx, pageSize.cx), ::MulDiv(page.top - y, size.cy, pageSize.cy));
    };
    EXPECT_TRUE(Near(at(page.left / 2, 0), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(at(page.right / 2, page.top - 150), RGB(0, 160, 0)));
    EXPECT_TRUE(Near(at(page.right / 2, page.bottom / 2), RGB(255, 255, 255)));
}

TEST_F(DesignPreviewTest, AnotherReaderTakesThePreviewAsASmallJpeg)
{
    const std::string path = SaveShirt("other.shr", FALSE);
    // A landscape page in a window a little wider than tall, where fitting
    // the page to the window and scaling by the larger wanted ratio would
    // overshoot 250 by a quarter.
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    pView->SetPageSize(1100, 850);
    SetClientSize(pView, 1000, 850);
    pDoc->AddObject(Block(CRect(-300, 300, 300, -300), RGB(0, 128, 0)), pView);
    const std::string wide = PathFor("wide.gnl");
    ASSERT_TRUE(pDoc->OnSaveDocument(wide.c_str()));
    pDoc->OnCloseDocument();
    Pump();

    const bool bIdentify = std::system("identify -version > /dev/null 2>&1") == 0;
    for (const std::string& design : {path, wide}) {
        SCOPED_TRACE(design);
        const std::string bytes = storage_test::ReadStreamBytes(design, "Surface Preview");
        ASSERT_GT(bytes.size(), 3u);
        // What the readers recognise it by.
        EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
        EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xD8);
        if (!bIdentify)
            continue;
        const std::string file = HostPathFor("preview.bin");
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const std::string command = "identify -format '%m %w %h' '" + file + "' 2> /dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char format[16] = {};
        int nWidth = 0;
        int nHeight = 0;
        const int nFields = std::fscanf(pipe, "%15s %d %d", format, &nWidth, &nHeight);
        pclose(pipe);
        ASSERT_EQ(nFields, 3);
        EXPECT_STREQ(format, "JPEG");
        EXPECT_GT(nWidth, 0);
        EXPECT_GT(nHeight, 0);
        EXPECT_LE(nWidth, 250);
        EXPECT_LE(nHeight, 250);
        if (design == wide) {
            EXPECT_GE(nWidth, 240);
        }
    }
    if (!bIdentify)
        GTEST_SKIP() << "ImageMagick's identify is not installed";
}

TEST_F(DesignPreviewTest, ASurfaceIsWrittenToAJpegFileAtItsScreenSize)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    pDoc->AddObject(Block(CRect(-100, 100, 100, -100), RGB(0, 0, 255)), pView);
    // The picture is drawn at the view's zoom.
    pDoc->SetZoom(100);
    Pump();
    const std::string path = PathFor("logo.jpg");
    ASSERT_TRUE(pView->RenderToImage(path.c_str()));

    LTFILEINFO info;
    ASSERT_EQ(LtFileInfo(path.c_str(), &info), LT_SUCCESS);
    EXPECT_EQ(info.Format, LT_FORMAT_JPEG);
    HDC hdc = ::GetDC(NULL);
    const int ppi = ::GetDeviceCaps(hdc, LOGPIXELSX);
    ::ReleaseDC(NULL, hdc);
    EXPECT_EQ(info.Width, ::MulDiv(pView->GetPageSize().cx, ppi, 100));
    CImage picture(path.c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    EXPECT_TRUE(Near(PixelOf(picture, info.Width / 2, info.Height / 2), RGB(0, 0, 255)));

    // A folder that is not there leaves nothing behind.
    EXPECT_FALSE(pView->RenderToImage(PathFor("missing/logo.jpg").c_str()));
    pDoc->OnCloseDocument();
    Pump();
}

TEST_F(DesignPreviewTest, APictureRecordWithItsCountReadsBackAndACountPastTheEndReadsNothing)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    pDoc->AddObject(Block(CRect(-300, 300, 300, -300), RGB(0, 128, 0)), pView);
    CBitmap bitmap;
    ASSERT_TRUE(pView->RenderPreview(&bitmap, 100, 60));
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    // The page keeps its proportions.
    EXPECT_NEAR(double(bm.bmWidth) / bm.bmHeight, double(pView->GetPageSize().cx) / pView->GetPageSize().cy, 0.03);
    CImage picture;
    ASSERT_TRUE(picture.CreateFromBitmap(&bitmap));

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        picture.WriteRasterData(ar, FALSE, TRUE);
        ar << DWORD(0xFFFFFFF0);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CImage back;
    ASSERT_GE(back.ReadRasterData(ar, CImage::kDefaultLoadMode), 1);
    SIZE size{};
    back.GetSize(size, TRUE);
    EXPECT_EQ(size.cx, bm.bmWidth);
    EXPECT_EQ(size.cy, bm.bmHeight);
    EXPECT_TRUE(Near(PixelOf(back, size.cx / 2, size.cy / 2), RGB(0, 128, 0)));
    // The second count promises far more than the record holds.
    EXPECT_EQ(back.ReadRasterData(ar, CImage::kDefaultLoadMode), LT_ERR_CORRUPT);
    EXPECT_FALSE(back.IsRaster());
    ar.Close();

    // A picture without a raster has nothing to write.
    CImage empty;
    CMemFile nothing;
    CArchive arEmpty(&nothing, CArchive::store);
    bool bThrown = false;
    try {
        empty.WriteRasterData(arEmpty, FALSE, TRUE);
    } catch (CFileException* e) {
        e->Delete();
        bThrown = true;
    }
    EXPECT_TRUE(bThrown);
    arEmpty.Close();
    EXPECT_EQ(nothing.GetLength(), 0u);
    pDoc->OnCloseDocument();
    Pump();
}

} // namespace
