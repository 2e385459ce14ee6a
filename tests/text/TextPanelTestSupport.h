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

class TextPanelTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        fwtest::FrameworkTest::SetUp();
        threadwick::RegisterResources();
        ResetSurfaceGlobals();
        m_savedAddlFlags = thePrefs.AddlFlags;
        m_savedFont = thePrefs.DefaultFont;
        m_savedColor = thePrefs.DefaultTextColor;
        thePrefs.AddlFlags = 0;
        CDesignerApp& app = MakeApp<CDesignerApp>();
        m_pMain = new surfacetest::CRecordingMainFrame;
        ASSERT_TRUE(m_pMain->Create(NULL, "Threadwick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1600, 1400)));
        if (m_pMain->m_hWndMDIClient == NULL) {
            ASSERT_TRUE(m_pMain->CreateClient(nullptr, nullptr));
        }
        app.m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        app.AddDocTemplate(pTemplate);
        m_pDoc = static_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(NULL));
        Pump();
        ASSERT_NE(m_pDoc, nullptr);
        POSITION pos = m_pDoc->GetFirstViewPosition();
        m_pView = static_cast<CSurface*>(m_pDoc->GetNextView(pos));
        ASSERT_NE(m_pView, nullptr);
        ASSERT_EQ(GetActiveSurface(), m_pView);
    }

    void TearDown() override
    {
        thePrefs.AddlFlags = m_savedAddlFlags;
        thePrefs.DefaultFont = m_savedFont;
        thePrefs.DefaultTextColor = m_savedColor;
        ResetSurfaceGlobals();
        fwtest::FrameworkTest::TearDown();
    }

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

    surfacetest::CRecordingMainFrame* m_pMain = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;

private:
    WORD m_savedAddlFlags = 0;
    LOGFONT m_savedFont{};
    COLORREF m_savedColor = 0;
};

} // namespace textpaneltest
