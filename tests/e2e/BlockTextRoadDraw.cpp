// The headless side of the block-text end-to-end road.
//
// With THREADWICK_BLOCKTEXT_ROAD_MAKE set (a host path), it makes a new
// general design holding four block texts (one fitted to its frame, one of
// three justified columns, one turned by 30 degrees and one bent into warp
// shape 8) and saves it there through the program's own save.
//
// With THREADWICK_BLOCKTEXT_ROAD_FILE (a design, a host path),
// THREADWICK_BLOCKTEXT_ROAD_SIZE ("cx cy": the page's pixels on the screen)
// and THREADWICK_BLOCKTEXT_ROAD_OUT (a folder) set, it opens the design as
// File > Open does and writes there page.ppm, the page's objects on white at
// that size, and text.txt: the zoom drawn at, then per object holding block
// text a line "object <angle> <columns> <alignment> <shape> <fitted>"
// followed by its text, each character as its decimal code, so that line
// breaks and Windows-1252 signs survive.

#include "tests/e2e/RoadDrawSupport.h"

#include "model/DrawRect.h"
#include "platform/files/HostPath.h"
#include "text/TextBlock.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class BlockTextRoadDraw : public road_draw::RoadDrawTest {
protected:
    BlockTextRoadDraw()
        : RoadDrawTest("THREADWICK_BLOCKTEXT_ROAD_FILE", "THREADWICK_BLOCKTEXT_ROAD_SIZE",
              "THREADWICK_BLOCKTEXT_ROAD_OUT", "blocktextroad")
    {
    }

    // A block-text object on the rectangle, added to the view.
    static CDrawRect* AddBlock(CDrawDoc* pDoc, CSurface* pView, const CRect& rect, const char* pszText)
    {
        auto* pObj = new CDrawRect(rect);
        pObj->m_bOutline = FALSE;
        pObj->SetText(pszText, TRUE);
        pDoc->AddObject(pObj, pView);
        return pObj;
    }
};

TEST_F(BlockTextRoadDraw, MakesTheDesignOfFourBlocks)
{
    const char* pszMake = std::getenv("THREADWICK_BLOCKTEXT_ROAD_MAKE");
    if (pszMake == nullptr)
        GTEST_SKIP() << "made only for the end-to-end road";
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_NE(pView, nullptr);

    // The page's corners, y up: each block takes a part of the page given
    // in thousandths of its width and height from the top-left corner.
    const CRect page = CDrawObj::NormalizeUp(pView->GetPageRect());
    auto place = [&](int l, int t, int r, int b) {
        const int cx = page.Width();
        const int cy = page.top - page.bottom;
        return CRect(page.left + cx * l / 1000, page.top - cy * t / 1000, page.left + cx * r / 1000,
            page.top - cy * b / 1000);
    };

    CDrawRect* pFitted = AddBlock(pDoc, pView, place(100, 100, 450, 300), "Fitted");
    pFitted->GetTextBlock()->m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    pFitted->FreeTextCache();

    CDrawRect* pColumns = AddBlock(pDoc, pView, place(550, 100, 900, 450),
        "Three justified columns share this frame and each line is spread to the full width of its column "
        "while the text runs on from one column into the next one.");
    CTextBlock* pBlock = pColumns->GetTextBlock();
    pBlock->SetFont(-12, "Arial", 0);
    pBlock->SetColumns(3);
    pBlock->m_nAlignment = 3;
    pColumns->FreeTextCache();

    CDrawRect* pTurned = AddBlock(pDoc, pView, place(120, 500, 420, 650), "Turned");
    pTurned->GetTextBlock()->SetFont(-28, "Arial", 0);
    pTurned->SetTextRotation(30, TRUE);

    CDrawRect* pWarped = AddBlock(pDoc, pView, place(550, 550, 900, 900), "Warped");
    pWarped->GetTextBlock()->m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    pWarped->GetTextBlock()->SetShape(8);
    pWarped->FreeTextCache();
    // Fitting the window would fit the objects, not the page: the whole
    // page shows at a third of its size.
    pDoc->SetZoom(35);
    Pump();

    ASSERT_TRUE(pDoc->OnSaveDocument(platform::WindowsPathFor(pszMake).c_str()));
    pDoc->OnCloseDocument();
    Pump();
}

TEST_F(BlockTextRoadDraw, DrawsTheSavedDesignAsTheScreenShowedIt)
{
    DrawSavedDesign([](CDrawObj* pObj, std::ostream& text) {
        const CTextBlock* pBlock = pObj->m_bBlockText ? pObj->GetTextBlock() : nullptr;
        if (pBlock == nullptr || !pObj->HasText())
            return false;
        text << "object " << pObj->GetTextRotation() << " " << pObj->GetTextColumns() << " " << pBlock->m_nAlignment
             << " " << pBlock->m_nShape << " " << (pBlock->IsFixedSize() ? 1 : 0) << "\n";
        return true;
    });
}

} // namespace
