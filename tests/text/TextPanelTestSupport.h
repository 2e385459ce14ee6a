#pragma once
// A headless program for the text format panel's tests: the designer
// application (whose font list the panel shows), a main window, a design
// with its view, and text objects on it.

#include "tests/surface/SurfaceTestSupport.h"

#include "app/main/DesignerApp.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"
#include "text/dialogs/TextFormatPanel.h"

#include <cstring>

namespace textpaneltest {

class TextPanelTest : public surfacetest::SurfaceTest {
protected:
    void SetUp() override
    {
        m_savedFont = thePrefs.DefaultFont;
        m_savedColor = thePrefs.DefaultTextColor;
        surfacetest::SurfaceTest::SetUp();
        if (HasFatalFailure())
            return;
        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
        ASSERT_EQ(GetActiveSurface(), m_pView);
    }

    void TearDown() override
    {
        thePrefs.DefaultFont = m_savedFont;
        thePrefs.DefaultTextColor = m_savedColor;
        surfacetest::SurfaceTest::TearDown();
    }

    CWinApp& MakeProgramApp() override { return MakeApp<CDesignerApp>(); }

    // A selected block text of that size (points) in Arial, black.
    CDrawRect* AddBlockText(const char* pszText, int nSize, BOOL bSelect = TRUE)
    {
        auto* pObj = new CDrawRect(CRect(-200, 200, 200, -200));
        m_pView->Add(pObj);
        pObj->SetText(pszText, TRUE);
        CTextBlock* pBlock = pObj->GetTextBlock();
        pBlock->SetFont(-nSize, "Arial", 0);
        pBlock->m_crText = RGB(0, 0, 0);
        pBlock->m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
        if (bSelect)
            m_pView->Select(pObj);
        return pObj;
    }

    // A selected wrapped text in the default look.
    CDrawRect* AddWrappedText(const char* pszText, BOOL bSelect = TRUE)
    {
        auto* pObj = new CDrawRect(CRect(-300, 200, 300, -200));
        m_pView->Add(pObj);
        pObj->SetText(pszText, FALSE);
        if (bSelect)
            m_pView->Select(pObj);
        return pObj;
    }

    // Changes the object through its own record.
    template <typename Change>
    static void Edit(CDrawObj* pObj, Change change)
    {
        CObjectAttributes attrs;
        pObj->GetAttributes(attrs);
        change(attrs);
        pObj->SetAttributes(attrs);
    }

    static CString Face(const LOGFONT& lf)
    {
        char face[LF_FACESIZE + 1] = {};
        std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
        return CString(face);
    }

    int UndoSteps() { return m_pDoc->GetUndoList().GetCount(); }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;

private:
    LOGFONT m_savedFont{};
    COLORREF m_savedColor = 0;
};

} // namespace textpaneltest
