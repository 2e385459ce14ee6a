// The headless side of the spelling and replacing end-to-end road.
//
// With THREADWICK_SPELL_ROAD_MAKE set (a host path), it makes a new shirt
// design whose front holds the wrapped text "Teh cat sat. teh end" and whose
// back holds the block text "recieve the cat", and saves it there through
// the program's own save.
//
// With THREADWICK_SPELL_ROAD_FILE (a design, a host path) and
// THREADWICK_SPELL_ROAD_OUT (a folder) set, it opens the design as File >
// Open does and writes texts.txt there: per surface, per object holding
// text, a line "<surface> <wrapped 0/1> <text>".

#include "tests/pictures/RoadDesignSupport.h"

#include "model/DrawRect.h"
#include "platform/files/HostPath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

class SpellRoadDesign : public road_design::RoadDesignTest {
protected:
    SpellRoadDesign()
        : RoadDesignTest("THREADWICK_SPELL_ROAD_OUT", "spellroad")
    {
    }

    // A text object across the middle of the surface's page.
    static void AddText(CDrawDoc* pDoc, CSurface* pView, const char* pszText, BOOL bBlockText)
    {
        const CRect page = CDrawObj::NormalizeUp(pView->GetPageRect());
        const int cx = page.Width();
        const int cy = page.top - page.bottom;
        auto* pObj = new CDrawRect(CRect(page.left + cx / 10, page.top - cy * 3 / 10, page.right - cx / 10,
            page.top - cy * 5 / 10));
        pObj->m_bOutline = FALSE;
        pObj->SetText(pszText, bBlockText);
        pDoc->AddObject(pObj, pView);
    }
};

TEST_F(SpellRoadDesign, MakesTheShirtDesign)
{
    const char* pszMake = std::getenv("THREADWICK_SPELL_ROAD_MAKE");
    if (pszMake == nullptr)
        GTEST_SKIP() << "made only for the end-to-end road";
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CTovellDoc));
    ASSERT_NE(pDoc, nullptr);
    ASSERT_GE(pDoc->GetSurfaceCount(), 2);
    CSurface* pFront = ViewOf(pDoc, 0);
    CSurface* pBack = ViewOf(pDoc, 1);
    ASSERT_NE(pFront, nullptr);
    ASSERT_NE(pBack, nullptr);
    AddText(pDoc, pFront, "Teh cat sat. teh end", FALSE);
    AddText(pDoc, pBack, "recieve the cat", TRUE);
    Pump();
    ASSERT_TRUE(pDoc->OnSaveDocument(platform::WindowsPathFor(pszMake).c_str()));
    pDoc->OnCloseDocument();
    Pump();
}

TEST_F(SpellRoadDesign, WritesTheSavedTexts)
{
    const char* pszFile = std::getenv("THREADWICK_SPELL_ROAD_FILE");
    if (pszFile == nullptr || std::getenv("THREADWICK_SPELL_ROAD_OUT") == nullptr)
        GTEST_SKIP() << "read only for the end-to-end road";
    // Opened as a shirt, as the program's own template for the file's
    // kind opens it, so that both surfaces come back.
    auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CTovellDoc), RUNTIME_CLASS(CSurfaceFrame),
        RUNTIME_CLASS(CSurface));
    App()->AddDocTemplate(pTemplate);
    auto* pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(platform::WindowsPathFor(pszFile).c_str()));
    Pump();
    ASSERT_NE(pDoc, nullptr);
    std::ofstream out(m_dir + "/texts.txt");
    for (int n = 0; n < pDoc->GetSurfaceCount(); ++n) {
        CSurface* pView = ViewOf(pDoc, n);
        if (pView == nullptr)
            continue;
        const CObList& objects = pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
            auto* pObj = dynamic_cast<CDrawObj*>(objects.GetNext(pos));
            if (pObj != nullptr && pObj->HasText())
                out << n << " " << (pObj->HasWrappedText() ? 1 : 0) << " " << static_cast<LPCTSTR>(pObj->GetText()) << "\n";
        }
    }
    ASSERT_TRUE(bool(out));
}

} // namespace
