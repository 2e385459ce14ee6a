// The design of the effects' end-to-end road, made and saved through the
// program's own code: a Windows metafile and an enhanced metafile linked
// from the outside test files and an embedded picture of four coloured
// blocks under three effects (grey scale, negative and mosaic), inside a
// thin black frame that lets a screenshot find them. Opened again here,
// every object must come back with its picture and the effects recorded.
//
// With THREADWICK_EFFECTS_ROAD_DIR set, the design (effects.gen), the
// picture the test writes and layout.txt stay in that folder for the
// end-to-end script: a line "frame l t r b", then per object "object name
// l t r b", the rectangles in the surface's logical units (y up).

#include "tests/pictures/RoadDesignSupport.h"

#include "pictures/Image.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const CRect kFrame(-480, 370, -150, 150);
constexpr int kGrey = 7;
constexpr int kNegative = 11;
constexpr int kMosaic = 13;

// The place of object n: three across inside the frame.
CRect PlaceOf(int n)
{
    const int left = kFrame.left + 10 + n * 105;
    return CRect(left, kFrame.top - 10, left + 100, kFrame.bottom + 10);
}

// Four blocks, red, green, blue and yellow, large enough that a mosaic of
// a few pixels leaves their middles as they were.
picture_files::Raster Blocks()
{
    picture_files::Raster r(80, 160);
    r.Fill(0, 0, 40, 80, RGB(220, 30, 30));
    r.Fill(40, 0, 80, 80, RGB(30, 200, 40));
    r.Fill(0, 80, 40, 160, RGB(40, 50, 210));
    r.Fill(40, 80, 80, 160, RGB(240, 230, 20));
    return r;
}

class EffectsRoadDesignTest : public road_design::RoadDesignTest {
protected:
    EffectsRoadDesignTest()
        : RoadDesignTest("THREADWICK_EFFECTS_ROAD_DIR", "effectsroad")
    {
    }

};

TEST_F(EffectsRoadDesignTest, MetafilesAndAPictureWithEffectsSaveAndOpen)
{
    REQUIRE_TESTDATA();
    const std::string data = std::string(THREADWICK_TESTDATA_DIR) + "/";
    picture_files::WriteBmp(Blocks(), m_dir + "/blocks.bmp");
    struct Placed {
        const char* name;
        std::string path;
        BOOL bEmbed;
    };
    const std::vector<Placed> placed = {
        {"wmf", platform::WindowsPathFor(data + "wmf/bin-libreoffice-dev-doc__fish.wmf"), FALSE},
        {"emf", platform::WindowsPathFor(data + "emf/src-libemf2svg__test-000.emf"), FALSE},
        {"effects", platform::WindowsPathFor(m_dir + "/blocks.bmp"), TRUE},
    };

    CSurface* pView = nullptr;
    CDrawDoc* pDoc = NewFramedDesign(kFrame, &pView);
    ASSERT_NE(pDoc, nullptr);

    std::ofstream layout(m_dir + "/layout.txt");
    layout << "frame " << kFrame.left << " " << kFrame.top << " " << kFrame.right << " " << kFrame.bottom << "\n";
    for (size_t n = 0; n < placed.size(); ++n) {
        const CRect place = PlaceOf(int(n));
        auto* pObj = new CDrawRect(place);
        pObj->SetPictureFile(placed[n].path.c_str(), placed[n].bEmbed, FALSE, FALSE, FALSE, FALSE, 0);
        ASSERT_TRUE(pObj->HasPicture()) << placed[n].name;
        EXPECT_EQ(pObj->m_pPicture->IsRaster() != 0, n == 2) << placed[n].name;
        if (n == 2) {
            ASSERT_TRUE(pObj->m_pPicture->ApplyEffect(kGrey, 1, 0));
            ASSERT_TRUE(pObj->m_pPicture->ApplyEffect(kNegative, 1, 0));
            ASSERT_TRUE(pObj->m_pPicture->ApplyEffect(kMosaic, 4, 0));
        }
        pDoc->AddObject(pObj, pView);
        layout << "object " << placed[n].name << " " << place.left << " " << place.top << " " << place.right << " "
               << place.bottom << "\n";
    }
    layout.close();

    const std::string path = m_dir + "/effects.gen";
    ASSERT_TRUE(pDoc->OnSaveDocument(platform::WindowsPathFor(path).c_str()));
    pDoc->OnCloseDocument();
    Pump();

    CDrawDoc* pCopy = Reopen(path);
    ASSERT_NE(pCopy, nullptr);
    CSurface* pCopyView = ViewOf(pCopy, 0);
    ASSERT_EQ(pCopyView->GetObjects().GetCount(), INT_PTR(placed.size() + 1));
    POSITION pos = pCopyView->GetObjects().GetHeadPosition();
    pCopyView->GetObjects().GetNext(pos); // the frame
    for (size_t n = 0; pos != nullptr; ++n) {
        auto* pObj = static_cast<CDrawRect*>(pCopyView->GetObjects().GetNext(pos));
        SCOPED_TRACE(placed[n].name);
        ASSERT_TRUE(pObj->HasPicture());
        EXPECT_EQ(pObj->m_pPicture->IsRaster() != 0, n == 2);
        if (n != 2)
            continue;
        for (int nKind : {kGrey, kNegative, kMosaic}) {
            int nFirst = 0;
            int nSecond = 0;
            EXPECT_TRUE(pObj->m_pPicture->GetEffect(nKind, &nFirst, &nSecond)) << nKind;
            if (nKind == kMosaic) {
                EXPECT_EQ(nFirst, 4);
            }
        }
    }
    pCopy->OnCloseDocument();
    Pump();
}

} // namespace
