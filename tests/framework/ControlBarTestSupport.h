#pragma once
// A frame with a view, an application with a registry profile, and the
// resources (a toolbar with its bitmap, a dialog-bar template, command
// strings) that the control-bar tests share. Defined in ControlBarTest.cpp.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/ControlBar.h"
#include "platform/framework/Frame.h"
#include "platform/framework/MiniDockFrame.h"
#include "platform/framework/WinApp.h"
#include "platform/profile/Registry.h"
#include "platform/ui/Headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace bartest {

constexpr UINT kToolbarResource = 7700; // buttons A, B, separator, C, D
constexpr UINT kDialogResource = 7710;  // buttons A, C (no handler), E (disabled by its handler)

constexpr UINT kCmdA = 7701;    // handled; its update handler enables it while m_aEnabled
constexpr UINT kCmdB = 7702;    // handled; checked while m_bChecked
constexpr UINT kCmdC = 7703;    // nobody handles it
constexpr UINT kCmdD = 7704;    // handled, without an update handler
constexpr UINT kCmdE = 7706;    // handled, but its update handler disables it
constexpr UINT kCmdZoom = 7705; // a control hosted in a bar; enabled while m_zoomEnabled
constexpr UINT kPaneOutside = 7014; // a status pane emptied and disabled by its handler

class CBarTestApp : public CWinApp {
public:
    CBarTestApp() : CWinApp("BarTests") { SetRegistryKey("Threadwick Tests"); }
};

class CBarFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CBarFrame)
public:
    BOOL m_aEnabled = TRUE;
    BOOL m_bChecked = FALSE;
    BOOL m_zoomEnabled = TRUE;
    std::vector<UINT> m_commands; // commands carried out, in order
    std::vector<UINT> m_prompts;  // WM_SETMESSAGESTRING ids, in order

protected:
    afx_msg void OnCommandRange(UINT nID) { m_commands.push_back(nID); }
    afx_msg void OnUpdateA(CCmdUI* pCmdUI) { pCmdUI->Enable(m_aEnabled); }
    afx_msg void OnUpdateB(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bChecked); }
    afx_msg void OnUpdateE(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateZoom(CCmdUI* pCmdUI) { pCmdUI->Enable(m_zoomEnabled); }
    afx_msg void OnUpdateOutside(CCmdUI* pCmdUI)
    {
        pCmdUI->SetText("");
        pCmdUI->Enable(FALSE);
    }
    afx_msg LRESULT OnPrompt(WPARAM wParam, LPARAM lParam)
    {
        m_prompts.push_back(static_cast<UINT>(wParam));
        return CFrameWnd::OnSetMessageString(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

void RegisterBarTestResources();

class BarFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        // No profile file of an earlier test: the registry starts empty.
        std::remove(platform::RegistryFilePath().c_str());
        platform::ResetRegistryForTests();
        RegisterBarTestResources();
        m_app = std::make_unique<CBarTestApp>();
    }

    void TearDown() override
    {
        if (m_pFrame != nullptr && ::IsWindow(m_hWndFrame))
            m_pFrame->DestroyWindow();
        m_pFrame = nullptr;
        m_view.reset();
        platform::headless::Reset();
        m_app.reset();
    }

    // A 640 x 480 frame at (100, 50) with a view as the leftover pane.
    CBarFrame* MakeFrame()
    {
        m_pFrame = new CBarFrame;
        EXPECT_TRUE(m_pFrame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 50, 740, 530)));
        m_hWndFrame = m_pFrame->m_hWnd;
        m_view = std::make_unique<CWnd>();
        EXPECT_TRUE(m_view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), m_pFrame, AFX_IDW_PANE_FIRST));
        return m_pFrame;
    }

    // The view's rectangle in the frame's client coordinates.
    CRect ViewRect() const { return ChildRect(m_view->m_hWnd); }

    CRect ChildRect(HWND hWnd) const
    {
        CRect rect;
        ::GetWindowRect(hWnd, &rect);
        ::MapWindowPoints(NULL, m_hWndFrame, reinterpret_cast<LPPOINT>(&rect), 2);
        return rect;
    }

    CRect ClientRect() const
    {
        CRect rect;
        ::GetClientRect(m_hWndFrame, &rect);
        return rect;
    }

    void IdleUpdate() const
    {
        ::SendMessage(m_hWndFrame, WM_IDLEUPDATECMDUI, TRUE, 0);
        CWnd::SendMessageToDescendants(m_hWndFrame, WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }

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

    std::unique_ptr<CBarTestApp> m_app;
    CBarFrame* m_pFrame = nullptr;
    HWND m_hWndFrame = NULL;
    std::unique_ptr<CWnd> m_view;
};

// A bar of a fixed size, laid out by alignment: what the layout code sees
// of any bar. m_size is its shape in a row (length, thickness); in a column
// it is turned round.
class CBlockBar : public CControlBar {
public:
    CBlockBar(int cx, int cy) : m_size(cx, cy) {}
    BOOL Create(CWnd* pParent, DWORD dwStyle, UINT nID)
    {
        m_dwStyle = dwStyle & CBRS_ALL;
        if (!CWnd::CreateEx(0, AfxDefaultWndClass(), nullptr, (dwStyle & ~CBRS_ALL) | WS_CHILD, CRect(0, 0, 0, 0), pParent, nID))
            return FALSE;
        AttachToDockSite(pParent);
        return TRUE;
    }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        if (bStretch)
            return bHorz ? CSize(32767, m_size.cy) : CSize(m_size.cy, 32767);
        return bHorz ? m_size : CSize(m_size.cy, m_size.cx);
    }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override { ++m_updates; }
    CSize m_size;
    int m_updates = 0;
};

} // namespace bartest
