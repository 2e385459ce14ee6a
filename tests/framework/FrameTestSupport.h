#pragma once
// A frame, its views and documents, and an application object that records
// help requests, for the frame and help-mode tests (headless back end). The
// classes are defined in FrameTest.cpp.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/Document.h"
#include "platform/framework/Frame.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/profile/Registry.h"
#include "platform/ui/Headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace frametest {

// Resource 7601: caption string, menu and accelerators. 7602: a caption
// only.
constexpr UINT kFrameResource = 7601;
constexpr UINT kBareResource = 7602;

// Commands of the test menu. The frame handles Recolor (enabled by a flag)
// and Lock (checked and relabelled); nobody handles Unhandled; the view
// handles ViewOnly; the application handles AppOnly.
constexpr UINT kRecolor = 7611;
constexpr UINT kLock = 7612;
constexpr UINT kUnhandled = 7613;
constexpr UINT kViewOnly = 7614;
constexpr UINT kAppOnly = 7615;
constexpr UINT kEverywhere = 7616; // handled by view, frame and application

// Shared log of what the test objects were told, in order.
std::vector<std::string>& Log();

class CFrameTestApp : public CWinApp {
public:
    CFrameTestApp() : CWinApp("FrameTests") {}

    void WinHelp(DWORD_PTR dwData, UINT nCmd) override { m_help.emplace_back(dwData, nCmd); }
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override
    {
        m_opened.push_back(lpszFileName);
        return NULL;
    }
    BOOL SaveAllModified() override
    {
        ++m_saveAllAsked;
        return m_saveAllAnswer;
    }

    std::vector<std::pair<DWORD_PTR, UINT>> m_help;
    std::vector<std::string> m_opened;
    int m_saveAllAsked = 0;
    BOOL m_saveAllAnswer = TRUE;

protected:
    afx_msg void OnAppOnly() { Log().push_back("app AppOnly"); }
    afx_msg void OnEverywhere() { Log().push_back("app Everywhere"); }
    DECLARE_MESSAGE_MAP()
};

class CTestDoc : public CDocument {
public:
    BOOL SaveModified() override
    {
        ++m_saveAsked;
        Log().push_back("doc SaveModified");
        return m_saveAnswer;
    }
    int m_saveAsked = 0;
    BOOL m_saveAnswer = TRUE;
    static inline int s_alive = 0;
    CTestDoc() { ++s_alive; }
    ~CTestDoc() override { --s_alive; }
};

class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)
public:
    void OnDraw(CDC*) override {}
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    std::string m_name = "view";
    // While set, being deactivated makes this view active again.
    CView* m_pStealOnDeactivate = nullptr;

protected:
    afx_msg void OnViewOnly() { Log().push_back(m_name + " ViewOnly"); }
    afx_msg void OnEverywhere() { Log().push_back(m_name + " Everywhere"); }
    DECLARE_MESSAGE_MAP()
};

// A view whose window refuses to be created.
class CFailingView : public CView {
    DECLARE_DYNCREATE(CFailingView)
public:
    void OnDraw(CDC*) override {}

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
public:
    CTestFrame() { ++s_alive; }
    ~CTestFrame() override { --s_alive; }
    static inline int s_alive = 0;

    BOOL m_recolorEnabled = TRUE;
    BOOL m_locked = FALSE;
    int m_recolored = 0;
    // Runs inside the File Open / Save / Save As command handlers.
    std::function<void()> m_duringCommand;

    using CFrameWnd::m_pViewActive;

protected:
    afx_msg void OnRecolor() { ++m_recolored; }
    afx_msg void OnUpdateRecolor(CCmdUI* pCmdUI) { pCmdUI->Enable(m_recolorEnabled); }
    afx_msg void OnLock() { m_locked = !m_locked; }
    afx_msg void OnUpdateLock(CCmdUI* pCmdUI)
    {
        pCmdUI->SetCheck(m_locked);
        pCmdUI->SetText(m_locked ? "&Unlock" : "&Lock");
    }
    afx_msg void OnEverywhere() { Log().push_back("frame Everywhere"); }
    afx_msg void OnFileCommand(UINT)
    {
        if (m_duringCommand)
            m_duringCommand();
    }
    DECLARE_MESSAGE_MAP()
};

// Registers the test resources once.
void RegisterFrameTestResources();

class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        // No profile file of an earlier test: the registry starts empty.
        std::remove(platform::RegistryFilePath().c_str());
        platform::ResetRegistryForTests();
        RegisterFrameTestResources();
        Log().clear();
        m_app = std::make_unique<CFrameTestApp>();
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::headless::Reset();
        m_app.reset();
    }

    // A frame loaded from kFrameResource; with a document, it shows one
    // CTestView of it.
    CTestFrame* MakeFrame(CDocument* pDoc = nullptr, DWORD dwStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)
    {
        auto* pFrame = new CTestFrame;
        CCreateContext context;
        context.m_pCurrentDoc = pDoc;
        context.m_pNewViewClass = pDoc != nullptr ? RUNTIME_CLASS(CTestView) : nullptr;
        EXPECT_TRUE(pFrame->LoadFrame(kFrameResource, dwStyle, NULL, pDoc != nullptr ? &context : NULL));
        return pFrame;
    }

    // Runs the queue until it is empty.
    static void Pump()
    {
        MSG msg;
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }

    static std::string TextOf(HWND hWnd)
    {
        char text[256] = {};
        ::GetWindowText(hWnd, text, sizeof(text));
        return text;
    }

    std::unique_ptr<CFrameTestApp> m_app;
};

} // namespace frametest
