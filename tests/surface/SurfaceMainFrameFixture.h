#pragma once
// The real main frame, with its toolbars and zoom combo, and a design
// template of the general kind with the real surface frame and view.

#include "tests/framework/FrameworkTestSupport.h"

#include "app/main/MainFrame.h"
#include "model/DocKinds.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"

namespace surfacetest {

class SurfaceMainFrameTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        fwtest::FrameworkTest::SetUp();
        threadwick::RegisterResources();
        CWinApp& app = MakeApp();
        m_pMain = new CMainFrame;
        ASSERT_TRUE(m_pMain->LoadFrame(IDR_MAINFRAME));
        app.m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        m_pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        app.AddDocTemplate(m_pTemplate);
    }

    CMainFrame* m_pMain = nullptr;
    CMultiDocTemplate* m_pTemplate = nullptr;
};

} // namespace surfacetest
