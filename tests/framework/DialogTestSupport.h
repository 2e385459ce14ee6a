#pragma once
// Shared by the dialog, data-exchange and property-sheet tests: templates
// registered in the program's resources, a fixture on the headless back
// end that records message boxes, and a script of steps the modal loops
// run while they wait.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/Headless.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dlgtest {

// Template ids (kept clear of the program's own resources).
constexpr UINT kDataDialog = 30001;
constexpr UINT kPageOne = 30011;
constexpr UINT kPageTwo = 30012;
constexpr UINT kPageThree = 30013;
constexpr UINT kMissingDialog = 30099;

// Controls of the data dialog.
constexpr int kTextEdit = 101;
constexpr int kIntEdit = 102;
constexpr int kRealEdit = 103;
constexpr int kCheck = 104;
constexpr int kCombo = 105;
constexpr int kList = 106;
constexpr int kUintEdit = 107;
// The radio group lists 590 before 589 in tab order on purpose.
constexpr int kRadioPicture = 590;
constexpr int kRadioColour = 589;
constexpr int kScroll = 108;

// Controls of the pages.
constexpr int kPageEdit = 201;
constexpr int kPageCheck = 202;

// Registers the templates once.
void RegisterDialogTemplates();

// The application of the dialog tests: records the help it is asked for.
class CDialogTestApp : public CWinApp {
public:
    CDialogTestApp()
        : CWinApp("DialogTest")
    {
    }
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override
    {
        m_help.push_back(dwData);
        (void)nCmd;
    }
    std::vector<DWORD_PTR> m_help;
};

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Steps run one per idle wait of the loop; when none is left the
    // headless loop gets WM_QUIT (so a test that forgot to end fails
    // instead of hanging).
    void Script(std::vector<std::function<void()>> steps);
    int StepsLeft() const { return int(m_steps->size()); }

    std::vector<std::string> m_prompts; // texts of the message boxes shown
    std::vector<DWORD_PTR>& HelpAsked() { return m_app->m_help; }

private:
    // The loops pre-translate through the application object, as in the program.
    std::unique_ptr<CDialogTestApp> m_app;
    std::shared_ptr<std::deque<std::function<void()>>> m_steps
        = std::make_shared<std::deque<std::function<void()>>>();
};

// The text of a control.
std::string ItemText(HWND hDlg, int nID);
void SetItemText(HWND hDlg, int nID, const char* text);
// A click as the button sends it: WM_COMMAND with BN_CLICKED and its window.
void ClickButton(HWND hDlg, int nID);

} // namespace dlgtest
