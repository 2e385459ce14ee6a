#pragma once
// A fresh window system, application, MDI main window and one empty design
// for each fuzz input, so that nothing one input leaves behind reaches the
// next. Failures name the target and abort, which the fuzzer reports with
// the input that caused them.

#include "model/DocKinds.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/framework/WndInternal.h"
#include "platform/profile/Registry.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Hooks.h"
#include "resources/mainframe.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"
#include "surface/SurfaceGlobals.h"
#include "tests/surface/SurfaceInputDriver.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace fuzzdesign {

// Set once in LLVMFuzzerInitialize; names the application and prefixes
// every failure.
inline const char*& TargetName()
{
    static const char* pszName = "Fuzz";
    return pszName;
}

[[noreturn]] inline void Fail(const std::string& problem)
{
    std::fprintf(stderr, "%s: %s\n", TargetName(), problem.c_str());
    abort();
}

class FuzzApp : public CWinApp {
public:
    FuzzApp()
        : CWinApp(TargetName())
    {
    }
    BOOL InitInstance() override { return TRUE; }
};

struct SessionOptions {
    // The main menu's shortcut keys, for targets that send key strokes.
    bool bAccelerators = false;
    // A known zoom, so that page points map to device points the same way
    // on every run.
    bool bZoom100 = true;
    // Fifty objects of every kind instead of an empty page.
    bool bPopulate = false;
    // Render and drop what a paste or copy left on the clipboard before
    // the window system goes.
    bool bFlushClipboard = false;
};

class Session {
public:
    explicit Session(const SessionOptions& options = {})
        : m_bFlushClipboard(options.bFlushClipboard)
    {
        platform::headless::Reset();
        platform::ResetHooks();
        platform::ResetFrameworkWindowState();
        platform::ResetRegistryForTests();
        ResetSurfaceGlobals();
        m_app = std::make_unique<FuzzApp>();
        auto* pMain = new CMDIFrameWnd;
        if (!pMain->Create(NULL, "Threadwick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 640)))
            Fail("no main window");
        if (pMain->m_hWndMDIClient == NULL && !pMain->CreateClient(nullptr, nullptr))
            Fail("no MDI client");
        m_app->m_pMainWnd = pMain;
        if (options.bAccelerators)
            pMain->m_hAccelTable = ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
        pMain->ShowWindow(SW_SHOW);
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        m_app->AddDocTemplate(pTemplate);
        CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
        surfaceinput::PumpQueue();
        if (pDoc == nullptr)
            Fail("no design");
        POSITION pos = pDoc->GetFirstViewPosition();
        m_pView = pos != NULL ? static_cast<CSurface*>(pDoc->GetNextView(pos)) : nullptr;
        if (m_pView == nullptr)
            Fail("no view");
        if (options.bZoom100)
            static_cast<CDrawDoc*>(pDoc)->SetZoom(100);
        m_pView->SetFocus();
        if (options.bPopulate)
            surfaceinput::PopulateDesign(m_pView);
        surfaceinput::PumpQueue();
    }
    ~Session()
    {
        platform::headless::SetIdleHandler(nullptr);
        if (m_bFlushClipboard)
            COleDataSource::FlushClipboard();
        platform::headless::Reset();
        platform::FrameworkDeleteTempMaps();
        m_app.reset();
        platform::ResetFrameworkWindowState();
        platform::ResetHooks();
        ResetSurfaceGlobals();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    CSurface* View() const { return m_pView; }

private:
    std::unique_ptr<FuzzApp> m_app;
    CSurface* m_pView = nullptr;
    bool m_bFlushClipboard;
};

} // namespace fuzzdesign
