#pragma once
// A headless program for the text's small dialogs: the program's resources,
// an application with a main window, and a way to run one modal dialog with
// a test's actions on its real window.

#include "tests/framework/FrameworkTestSupport.h"

#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "tests/support/DialogDriver.h"

#include <functional>
#include <string>
#include <vector>

namespace smalldlgtest {

using testing_support::Click;
using testing_support::ItemText;

// A control's notification to its dialog, handled before this returns.
inline void Notify(HWND hDlg, int nID, int nCode)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, nCode), LPARAM(::GetDlgItem(hDlg, nID)));
}

class SmallDlgTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        InitCommonControls();
        CWinApp& app = MakeApp();
        ASSERT_TRUE(m_main.CreateEx(0, AfxDefaultWndClass(), "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 900,
            700, NULL, NULL));
        app.m_pMainWnd = &m_main;
        // A box on a real display takes the focus while it is up and gives
        // it back when it goes; dialogs that check a field as it loses the
        // focus must live with that.
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
            m_boxes.push_back(text != NULL ? text : "");
            HWND hFocus = ::GetFocus();
            ::SetFocus(NULL);
            if (hFocus != NULL && ::IsWindow(hFocus))
                ::SetFocus(hFocus);
            return IDOK;
        });
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetAfxMessageBoxHandler(nullptr);
        if (AfxGetApp() != NULL)
            AfxGetApp()->m_pMainWnd = NULL;
        if (m_main.m_hWnd != NULL)
            m_main.DestroyWindow();
        FrameworkTest::TearDown();
    }

    // Runs dlg modally; the action runs once on its window when the loop
    // first goes idle, and must end the dialog (or leave it to the loop's
    // end, which gives no answer).
    static INT_PTR Run(CDialog& dlg, std::function<void(HWND)> action)
    {
        CDialog* pDlg = &dlg;
        testing_support::DriveActiveWindow({[pDlg, action](HWND hActive) {
            if (pDlg->m_hWnd == NULL || hActive != pDlg->m_hWnd)
                return false;
            action(hActive);
            return true;
        }});
        return dlg.DoModal();
    }

    size_t Boxes() const { return m_boxes.size(); }
    std::string LastBox() const { return m_boxes.empty() ? std::string() : m_boxes.back(); }

    std::vector<std::string> m_boxes; // the message boxes' texts, in order

    CWnd m_main;
};

} // namespace smalldlgtest
