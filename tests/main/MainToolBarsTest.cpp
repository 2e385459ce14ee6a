// The main frame's toolbars: the zoom combo, the right-click Hide popup and
// the Toolbars dialog, on a started program.

#include "MainFrameTestSupport.h"

#include "app/main/AppMessages.h"
#include "app/main/DocTemplates.h"
#include "app/main/ToolbarsDlg.h"
#include "resources/resource.h"
#include "surface/ToolpadBar.h"

namespace mainframetest {
namespace {

using apptest::TakePosted;

TEST(ZoomComboTable, PercentagesMapToTheirEntriesAndAFittedViewToFit)
{
    struct Case {
        int nPercent;
        BOOL bFit;
        int nEntry;
    };
    const Case cases[] = {
        {200, FALSE, kZoom200}, {150, FALSE, kZoom150}, {100, FALSE, kZoom100}, {75, FALSE, kZoom75},
        {50, FALSE, kZoom50}, {25, FALSE, kZoom25}, {66, FALSE, kZoomCustom}, {101, FALSE, kZoomCustom},
        {0, FALSE, kZoomCustom}, {-5, FALSE, kZoomCustom}, {100, TRUE, kZoomFit}, {66, TRUE, kZoomFit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CZoomToolBar::ZoomEntryFor(c.nPercent, c.bFit), c.nEntry) << c.nPercent << " fit " << c.bFit;

    EXPECT_EQ(CZoomToolBar::ZoomEntryCommand(kZoomFit), UINT(ID_VIEW_ZOOM_FIT));
    EXPECT_EQ(CZoomToolBar::ZoomEntryCommand(kZoom200), UINT(174));
    EXPECT_EQ(CZoomToolBar::ZoomEntryCommand(kZoom25), UINT(32848));
    EXPECT_EQ(CZoomToolBar::ZoomEntryCommand(kZoomCustom), UINT(33202));
    EXPECT_EQ(CZoomToolBar::ZoomEntryCommand(-1), 0u);
    EXPECT_EQ(CZoomToolBar::ZoomEntryCommand(kZoomEntryCount), 0u);
}

class MainToolBarsTest : public MainFrameTest {};

TEST_F(MainToolBarsTest, ZoomComboFollowsTheViewsAndPostsTheChosenCommand)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CComboBox& combo = pFrame->GetStandardBar()->GetZoomCombo();
    ASSERT_NE(combo.m_hWnd, HWND(NULL));
    ASSERT_EQ(combo.GetCount(), 8);
    CString text;
    combo.GetLBText(0, text);
    EXPECT_EQ(text, "Fit in Window");
    combo.GetLBText(7, text);
    EXPECT_EQ(text, "Custom Zoom");
    EXPECT_EQ(combo.GetCurSel(), kZoomFit);

    UpdateZoomCombo(66);
    EXPECT_EQ(combo.GetCurSel(), kZoomCustom);
    UpdateZoomCombo(150);
    EXPECT_EQ(combo.GetCurSel(), kZoom150);
    UpdateZoomCombo(150, TRUE);
    EXPECT_EQ(combo.GetCurSel(), kZoomFit);

    // Choosing an entry tells the main window through the queue.
    combo.SetCurSel(kZoom50);
    ::SendMessage(pFrame->GetStandardBar()->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_VIEW_ZOOM_COMBO, CBN_SELCHANGE),
        LPARAM(combo.m_hWnd));
    std::vector<MSG> posted = TakePosted(MainWindow(), WM_COMMAND);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(LOWORD(posted[0].wParam), UINT(ID_VIEW_ZOOM_50));
}

TEST_F(MainToolBarsTest, ClosingTheZoomListGivesTheKeysBackToTheDesign)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(5);
    ASSERT_NE(pTemplate, nullptr);
    ASSERT_NE(pTemplate->OpenDocumentFile(nullptr), nullptr);
    CView* pView = pFrame->GetActiveFrame()->GetActiveView();
    ASSERT_NE(pView, nullptr);

    CComboBox& combo = pFrame->GetStandardBar()->GetZoomCombo();
    pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE); // enabled with a design
    combo.SetFocus();
    ASSERT_EQ(::GetFocus(), combo.m_hWnd);
    ::SendMessage(pFrame->GetStandardBar()->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_VIEW_ZOOM_COMBO, CBN_CLOSEUP),
        LPARAM(combo.m_hWnd));
    EXPECT_EQ(::GetFocus(), pView->m_hWnd);
}

TEST_F(MainToolBarsTest, HidingBothBarsFromTheirPopupKeepsThemHiddenAtTheNextStart)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CMainToolBar* pFormatting = pFrame->GetFormattingBar();
    CMenu* pPopup = pFormatting->GetPopupMenu();
    ASSERT_NE(pPopup, nullptr);
    ASSERT_EQ(pPopup->GetMenuItemCount(), 1u);
    EXPECT_EQ(pPopup->GetMenuItemID(0), UINT(ID_TOOLBAR_HIDE));
    CString label;
    pPopup->GetMenuString(0, label, MF_BYPOSITION);
    EXPECT_EQ(label, "&Hide");

    ::SendMessage(pFormatting->m_hWnd, WM_COMMAND, ID_TOOLBAR_HIDE, 0);
    EXPECT_FALSE(pFormatting->IsVisible());
    EXPECT_TRUE(pFrame->GetStandardBar()->IsVisible());
    EXPECT_EQ(thePrefs.AddlFlags & (PREF_ADDL_FORMAT_BAR_HIDDEN | PREF_ADDL_STANDARD_BAR_HIDDEN),
        PREF_ADDL_FORMAT_BAR_HIDDEN);
    ::SendMessage(pFrame->GetStandardBar()->m_hWnd, WM_COMMAND, ID_TOOLBAR_HIDE, 0);
    EXPECT_FALSE(pFrame->GetStandardBar()->IsVisible());
    EXPECT_NE(thePrefs.AddlFlags & PREF_ADDL_STANDARD_BAR_HIDDEN, 0);

    pFrame = Restart();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_FALSE(pFrame->GetStandardBar()->IsVisible());
    EXPECT_FALSE(pFrame->GetFormattingBar()->IsVisible());
}

TEST_F(MainToolBarsTest, ToolbarsDialogShowsTheCurrentChoicesAndAppliesThem)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    thePrefs.Flags &= WORD(~PREF_FLAG_SMALL_BUTTONS);
    thePrefs.AddlFlags &= WORD(~PREF_ADDL_TOOL_PAD);
    ASSERT_TRUE(pFrame->CreateToolbars());
    const CSize largeButton = pFrame->GetStandardBar()->GetButtonSize();
    int nEntries = -1;
    int selected[3] = {-1, -1, -1};
    UINT nLarge = 99;
    Drive({
        [&](HWND hDlg) {
            HWND hList = ::GetDlgItem(hDlg, IDC_TOOLBARS_LIST);
            nEntries = int(::SendMessage(hList, LB_GETCOUNT, 0, 0));
            for (int i = 0; i < 3; ++i)
                selected[i] = int(::SendMessage(hList, LB_GETSEL, i, 0));
            nLarge = ::IsDlgButtonChecked(hDlg, IDC_LARGE_BUTTONS);
            // Hide the formatting bar, ask for the tool pad, small buttons,
            // no tips.
            ::SendMessage(hList, LB_SETSEL, FALSE, 1);
            ::SendMessage(hList, LB_SETSEL, TRUE, 2);
            ::CheckDlgButton(hDlg, IDC_LARGE_BUTTONS, BST_UNCHECKED);
            ::CheckDlgButton(hDlg, IDC_SHOW_TOOLTIPS, BST_UNCHECKED);
            return true;
        },
        Press(IDOK),
    });
    ::SendMessage(MainWindow(), WM_COMMAND, ID_VIEW_TOOLBARS, 0);

    EXPECT_EQ(nEntries, 3);
    EXPECT_GT(selected[0], 0);
    EXPECT_GT(selected[1], 0);
    EXPECT_EQ(selected[2], 0);
    EXPECT_EQ(nLarge, UINT(BST_CHECKED));

    // The bars were made again from the new choices.
    EXPECT_TRUE(pFrame->GetStandardBar()->IsVisible());
    EXPECT_FALSE(pFrame->GetFormattingBar()->IsVisible());
    EXPECT_LT(pFrame->GetStandardBar()->GetButtonSize().cx, largeButton.cx);
    EXPECT_EQ(pFrame->GetStandardBar()->GetBarStyle() & CBRS_TOOLTIPS, 0u);
    EXPECT_NE(thePrefs.AddlFlags & PREF_ADDL_FORMAT_BAR_HIDDEN, 0);
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_STANDARD_BAR_HIDDEN, 0);
    EXPECT_NE(thePrefs.Flags & PREF_FLAG_SMALL_BUTTONS, 0);
    EXPECT_NE(thePrefs.AddlFlags & PREF_ADDL_NO_TOOLTIPS, 0);
    // No design is open: the tool pad stays hidden, the wish is kept.
    EXPECT_NE(thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD, 0);
    ASSERT_NE(pFrame->GetToolpad(), nullptr);
    EXPECT_FALSE(pFrame->GetToolpad()->IsVisible());
    // The zoom combo came back with the new bar.
    EXPECT_EQ(pFrame->GetStandardBar()->GetZoomCombo().GetCount(), 8);
}

TEST_F(MainToolBarsTest, CancelledToolbarsDialogChangesNothing)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    const WORD wFlags = thePrefs.Flags;
    const WORD wAddlFlags = thePrefs.AddlFlags;
    CZoomToolBar* pStandard = pFrame->GetStandardBar();
    Drive({
        [](HWND hDlg) {
            ::SendDlgItemMessage(hDlg, IDC_TOOLBARS_LIST, LB_SETSEL, FALSE, 0);
            ::CheckDlgButton(hDlg, IDC_COLOR_BUTTONS, BST_CHECKED);
            return true;
        },
        Press(IDCANCEL),
    });
    ::SendMessage(MainWindow(), WM_COMMAND, ID_VIEW_TOOLBARS, 0);
    EXPECT_EQ(thePrefs.Flags, wFlags);
    EXPECT_EQ(thePrefs.AddlFlags, wAddlFlags);
    EXPECT_EQ(pFrame->GetStandardBar(), pStandard);
    EXPECT_TRUE(pStandard->IsVisible());
}

} // namespace
} // namespace mainframetest
