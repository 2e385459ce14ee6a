// The design of the pictures' end-to-end road, made and saved through the
// program's own code: pictures linked from six formats of the outside test
// files and two embedded ones (an alpha PNG and a BMP with a transparent
// colour), inside a thin black frame that lets a screenshot find them. Saved
// and opened again here, every picture must come back as it showed.
//
// With THREADWICK_PICTURE_ROAD_DIR set, the design (pictures.gen), the
// pictures the test writes and layout.txt stay in that folder for the
// end-to-end script: a line "frame l t r b", then per picture "picture
// name l t r b reference", the rectangles in the surface's logical units
// (y up) and the reference a file that shows the picture as it must look
// on white paper.

#include "tests/pictures/RoadDesignSupport.h"

#include "pictures/Image.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>
#include <cairo/cairo.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using picture_files::Raster;

constexpr COLORREF kKey = RGB(255, 0, 255);
const CRect kFrame(-480, 370, -150, 150);

struct Placed {
    const char* name;
    std::string path;      // Windows-form path given to the object
    std::string reference; // host path of the look on white
    BOOL bEmbed;
};

// The place of picture n: four across and two down inside the frame.
CRect PlaceOf(int n)
{
    const int left = kFrame.left + 10 + (n % 4) * 80;
    const int top = kFrame.top - 10 - (n / 4) * 105;
    return CRect(left, top, left + 70, top - 95);
}

// A PNG with alpha: a clear left third, then orange above and purple below
// with a blue corner at the top right, so that every mirror shows.
bool WriteAlphaPng(const std::string& path, const std::string& reference)
{
    constexpr int cx = 60;
    constexpr int cy = 40;
    bool written = true;
    for (bool bOnWhite : {false, true}) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cx, cy);
        unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < cy; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < cx; ++x) {
                uint32_t pixel = y < cy / 2 ? 0xFFFF8000u : 0xFF800080u;
                if (x >= 45 && y < 10)
                    pixel = 0xFF0000FFu;
                if (x < cx / 3)
                    pixel = bOnWhite ? 0xFFFFFFFFu : 0u;
                row[x] = pixel;
            }
        }
        cairo_surface_mark_dirty(surface);
        written = written
            && cairo_surface_write_to_png(surface, (bOnWhite ? reference : path).c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
    }
    return written;
}

// A BMP keyed by magenta around a dark green L.
Raster KeyedRaster(COLORREF crKeyShows)
{
    Raster r(40, 60, crKeyShows);
    r.Fill(6, 6, 16, 54, RGB(0, 100, 0));
    r.Fill(6, 44, 34, 54, RGB(0, 100, 0));
    return r;
}

class PictureRoadDesignTest : public road_design::RoadDesignTest {
protected:
    PictureRoadDesignTest()
        : RoadDesignTest("THREADWICK_PICTURE_ROAD_DIR", "pictureroad")
    {
    }

    std::vector<Placed> Pictures()
    {
        const std::string data = std::string(THREADWICK_TESTDATA_DIR) + "/";
        const std::string horse = data + "samepicture/bin-wx3.2-examples__horse.";
        std::vector<Placed> pictures = {
            {"tiff", platform::WindowsPathFor(horse + "tif"), horse + "tif", FALSE},
            {"png-alpha", platform::WindowsPathFor(m_dir + "/alpha.png"), m_dir + "/alpha-on-white.png", TRUE},
            {"bmp-transparent", platform::WindowsPathFor(m_dir + "/keyed.bmp"), m_dir + "/keyed-on-white.bmp", TRUE},
            // Stored from its bottom right corner; gdk-pixbuf's reading of
            // it is the reference.
            {"targa", platform::WindowsPathFor(data + "tga/bin-gdk-pixbuf-tests__gtk-logo-24bpp-bottom-right.tga"),
                data + "tga/bin-gdk-pixbuf-tests__gtk-logo-24bpp-bottom-right.tga.ref.png", FALSE},
            {"pcx", platform::WindowsPathFor(horse + "pcx"), horse + "pcx", FALSE},
            {"psd", platform::WindowsPathFor(data + "psd/github-haraldk_TwelveMonkeys__test_original.psd"),
                data + "psd/github-haraldk_TwelveMonkeys__test_original.psd", FALSE},
            {"gif", platform::WindowsPathFor(horse + "gif"), horse + "gif", FALSE},
            {"sun-raster", platform::WindowsPathFor(data + "sunras/src-pillow__hopper.ras"),
                data + "sunras/src-pillow__hopper.ras", FALSE},
        };
        return pictures;
    }

};

TEST_F(PictureRoadDesignTest, ADesignOfEveryKindOfPictureSavesAndOpensAsItShowed)
{
    REQUIRE_TESTDATA();
    ASSERT_TRUE(WriteAlphaPng(m_dir + "/alpha.png", m_dir + "/alpha-on-white.png"));
    picture_files::WriteBmp(KeyedRaster(kKey), m_dir + "/keyed.bmp");
    picture_files::WriteBmp(KeyedRaster(RGB(255, 255, 255)), m_dir + "/keyed-on-white.bmp");

    CSurface* pView = nullptr;
    CDrawDoc* pDoc = NewFramedDesign(kFrame, &pView);
    ASSERT_NE(pDoc, nullptr);

    const std::vector<Placed> pictures = Pictures();
    std::ofstream layout(m_dir + "/layout.txt");
    layout << "frame " << kFrame.left << " " << kFrame.top << " " << kFrame.right << " " << kFrame.bottom << "\n";
    std::vector<CDrawRect*> objects;
    for (size_t n = 0; n < pictures.size(); ++n) {
        const Placed& p = pictures[n];
        const CRect place = PlaceOf(int(n));
        auto* pObj = new CDrawRect(place);
        pObj->SetPictureFile(p.path.c_str(), p.bEmbed, FALSE, FALSE, FALSE, FALSE, 0);
        ASSERT_TRUE(pObj->HasPicture()) << p.name;
        ASSERT_TRUE(pObj->m_pPicture->IsRaster()) << p.name;
        if (std::string(p.name) == "bmp-transparent") {
            const COLORREF crKey = kKey;
            pObj->m_pPicture->SetTransparency(TRUE, &crKey);
        }
        pDoc->AddObject(pObj, pView);
        objects.push_back(pObj);
        layout << "picture " << p.name << " " << place.left << " " << place.top << " " << place.right << " "
               << place.bottom << " " << p.reference << "\n";
    }
    layout.close();

    // What each picture shows before the save, at five points of a bitmap
    // mapped as the surface maps its page at 100 %, the frame's corner in
    // its corner.
    auto looks = [](CSurface*, CDrawObj* pObj) {
        CDC screen;
        screen.Attach(::GetDC(NULL));
        CDC dc;
        CBitmap bitmap;
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, 400, 300);
        ::ReleaseDC(NULL, screen.Detach());
        CBitmap* pOld = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 400, 300, RGB(255, 255, 255));
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, -100);
        dc.SetViewportExt(96, 96);
        dc.SetWindowOrg(kFrame.left - 10, kFrame.top + 10);
        pObj->Draw(&dc);
        const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
        const int dx = r.Width() / 4;
        const int dy = (r.top - r.bottom) / 4;
        const CPoint c((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        std::vector<COLORREF> seen;
        for (const CPoint& d : {CPoint(0, 0), CPoint(-dx, dy), CPoint(dx, dy), CPoint(-dx, -dy), CPoint(dx, -dy)})
            seen.push_back(dc.GetPixel(c.x + d.x, c.y + d.y) & 0xFFFFFF);
        dc.SelectObject(pOld);
        return seen;
    };
    std::vector<std::vector<COLORREF>> before;
    for (CDrawRect* pObj : objects) {
        before.push_back(looks(pView, pObj));
        EXPECT_NE(before.back(), std::vector<COLORREF>(5, RGB(255, 255, 255))) << "nothing shows";
    }

    const std::string path = m_dir + "/pictures.gen";
    ASSERT_TRUE(pDoc->OnSaveDocument(platform::WindowsPathFor(path).c_str()));
    pDoc->OnCloseDocument();
    Pump();

    CDrawDoc* pCopy = Reopen(path);
    ASSERT_NE(pCopy, nullptr);
    CSurface* pCopyView = ViewOf(pCopy, 0);
    ASSERT_EQ(pCopyView->GetObjects().GetCount(), INT_PTR(pictures.size() + 1));
    size_t n = 0;
    POSITION pos = pCopyView->GetObjects().GetHeadPosition();
    pCopyView->GetObjects().GetNext(pos); // the frame
    for (; pos != nullptr; ++n) {
        auto* pObj = static_cast<CDrawRect*>(pCopyView->GetObjects().GetNext(pos));
        SCOPED_TRACE(pictures[n].name);
        ASSERT_TRUE(pObj->HasPicture());
        EXPECT_TRUE(pObj->m_pPicture->IsRaster());
        EXPECT_EQ((pObj->m_pPicture->m_wFlags & IMAGE_FLAG_EMBED) != 0, pictures[n].bEmbed != 0);
        EXPECT_EQ(looks(pCopyView, pObj), before[n]);
    }
    pCopy->OnCloseDocument();
    Pump();
}

} // namespace
