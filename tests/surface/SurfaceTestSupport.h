#pragma once
// A headless program for the design surface's tests: the program's
// resources, an MDI main window that records the private messages it gets,
// and a design template of the general kind with the real surface frame
// and view.

#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/CommandProbe.h"

#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"
#include "surface/SurfaceGlobals.h"

#include <vector>

namespace surfacetest {

class CRecordingMainFrame : public CMDIFrameWnd {
public:
    std::vector<UINT> m_messages; // the private messages, in order of arrival

    int Count(UINT message) const
    {
        int n = 0;
        for (UINT m : m_messages)
            n += m == message ? 1 : 0;
        return n;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_TW_NEW_CALENDAR_ITEM && message <= WM_TW_DOC_SAVE)
            m_messages.push_back(message);
        return CMDIFrameWnd::WindowProc(message, wParam, lParam);
    }
};

// An object that counts its drawings and deletions.
class CCountingObj : public CDrawObj {
public:
    explicit CCountingObj(const CRect& position, int* pDeleted = nullptr)
        : CDrawObj(position)
        , m_pDeleted(pDeleted)
    {
    }
    ~CCountingObj() override
    {
        if (m_pDeleted != nullptr)
            ++*m_pDeleted;
    }
    void Draw(CDC* pDC) override
    {
        (void)pDC;
        ++m_nDrawn;
    }
    int m_nDrawn = 0;
    int* m_pDeleted;
};

class SurfaceTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        fwtest::FrameworkTest::SetUp();
        threadwick::RegisterResources();
        ResetSurfaceGlobals();
        m_savedAddlFlags = thePrefs.AddlFlags;
        thePrefs.AddlFlags = 0;
        CWinApp& app = MakeProgramApp();
        m_pMain = new CRecordingMainFrame;
        ASSERT_TRUE(m_pMain->Create(NULL, "Threadwick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1600, 1400)));
        if (m_pMain->m_hWndMDIClient == NULL) {
            ASSERT_TRUE(m_pMain->CreateClient(nullptr, nullptr));
        }
        app.m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        m_pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc), RUNTIME_CLASS(CSurfaceFrame),
            RUNTIME_CLASS(CSurface));
        app.AddDocTemplate(m_pTemplate);
    }

    void TearDown() override
    {
        thePrefs.AddlFlags = m_savedAddlFlags;
        ResetSurfaceGlobals();
        fwtest::FrameworkTest::TearDown();
    }

    // The application object; a fixture that needs the program's own
    // application (its font list, its commands) makes that instead.
    virtual CWinApp& MakeProgramApp() { return MakeApp(); }

    CDrawDoc* NewDesign(CMultiDocTemplate* pTemplate = nullptr)
    {
        CDocument* pDoc = (pTemplate != nullptr ? pTemplate : m_pTemplate)->OpenDocumentFile(NULL);
        Pump();
        return static_cast<CDrawDoc*>(pDoc);
    }

    // A template of the two-sided (shirt) kind, added to the application.
    CMultiDocTemplate* AddShirtTemplate()
    {
        auto* pShirts = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CTovellDoc), RUNTIME_CLASS(CSurfaceFrame),
            RUNTIME_CLASS(CSurface));
        App()->AddDocTemplate(pShirts);
        return pShirts;
    }

    static CSurface* FirstView(CDrawDoc* pDoc)
    {
        POSITION pos = pDoc->GetFirstViewPosition();
        return pos != NULL ? static_cast<CSurface*>(pDoc->GetNextView(pos)) : nullptr;
    }

    static CSurfaceFrame* FrameOf(CDrawDoc* pDoc)
    {
        CSurface* pView = FirstView(pDoc);
        return pView != nullptr ? static_cast<CSurfaceFrame*>(pView->GetParentFrame()) : nullptr;
    }

    // What a command's update handler says of its item, asked through
    // pTarget as a menu asks.
    using CommandState = testing_support::CommandState;
    static CommandState CommandStateOf(CCmdTarget* pTarget, UINT nID, BOOL bDisableIfNoHandler = TRUE)
    {
        return testing_support::CommandStateOf(pTarget, nID, bDisableIfNoHandler);
    }

    // Prints the view's design with nCommand to the PDF-file printer,
    // answering each dialog that asks (the printer's file dialog is given
    // the path). Answers how many dialogs were answered.
    int PrintViewToPdf(CSurface* pView, const CString& path, UINT nCommand = ID_FILE_PRINT_DIRECT)
    {
        const HWND hMain = m_pMain->GetSafeHwnd();
        int nAnswered = 0;
        platform::headless::SetIdleHandler([path, hMain, &nAnswered]() {
            HWND hDlg = ::GetActiveWindow();
            HWND hOk = hDlg != NULL ? ::GetDlgItem(hDlg, IDOK) : NULL;
            if (hDlg == NULL || hDlg == hMain || hOk == NULL)
                return false;
            if (::GetDlgItem(hDlg, edt1) != NULL)
                ::SetDlgItemText(hDlg, edt1, path);
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(hOk));
            ++nAnswered;
            return true;
        });
        pView->SendMessage(WM_COMMAND, nCommand, 0);
        platform::headless::SetIdleHandler(nullptr);
        return nAnswered;
    }

    CRecordingMainFrame* m_pMain = nullptr;
    CMultiDocTemplate* m_pTemplate = nullptr;
    WORD m_savedAddlFlags = 0;
};

} // namespace surfacetest
