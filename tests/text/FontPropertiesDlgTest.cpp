// The Font Properties dialog run modally over a design: its layout once the
// panel is in, the focus ring of Tab and the arrow keys, the refresh from
// the view on keys, and Done.

#include "tests/text/TextPanelTestSupport.h"

#include "resources/resource.h"
#include "controls/PicButton.h"
#include "tests/support/DialogDriver.h"
#include "text/dialogs/FontPropertiesDlg.h"

#include <vector>

namespace textpaneltest {
namespace {

using testing_support::DialogStep;
using testing_support::DriveActiveWindow;
using testing_support::PressButton;

// A step that acts once the Font Properties dialog is up.
DialogStep OnFontProperties(std::function<void(HWND)> action)
{
    return [action](HWND hDlg) {
        if (testing_support::WindowTitle(hDlg) != "Font Properties")
            return false;
        action(hDlg);
        return true;
    };
}

// The control id of the window with the focus, or of the control it lies
// in (a combo's parts); 0 for none.
int FocusId(HWND hDlg)
{
    for (HWND hWnd = ::GetFocus(); hWnd != NULL && hWnd != hDlg; hWnd = ::GetParent(hWnd)) {
        const int nID = ::GetDlgCtrlID(hWnd);
        if (nID != 0 && nID != int(CTextFormatPanel::kPanelId))
            return nID;
    }
    return 0;
}

CRect ClientRectOf(HWND hDlg, HWND hControl)
{
    CRect rect;
    ::GetWindowRect(hControl, &rect);
    ::ScreenToClient(hDlg, reinterpret_cast<POINT*>(&rect.left));
    ::ScreenToClient(hDlg, reinterpret_cast<POINT*>(&rect.right));
    return rect;
}

class FontPropertiesDlgTest : public TextPanelTest {
protected:
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        TextPanelTest::TearDown();
    }

    // Steps that press a key (Shift held with bShift), then note where the
    // focus went.
    static void AddKey(std::vector<DialogStep>& steps, UINT vk, BOOL bShift, std::vector<int>& trail)
    {
        steps.push_back(OnFontProperties([vk, bShift](HWND) {
            if (bShift)
                platform::headless::KeyDown(VK_SHIFT);
            platform::headless::TypeKey(vk);
            if (bShift)
                platform::headless::KeyUp(VK_SHIFT);
        }));
        steps.push_back(OnFontProperties([&trail](HWND hDlg) { trail.push_back(FocusId(hDlg)); }));
    }
};

TEST_F(FontPropertiesDlgTest, ThePanelsControlsAndDoneMoveUpAndTheDialogShrinksByTheTitlesDistance)
{
    AddBlockText("Hello", 24);
    // The template as it is, without the panel.
    CDialog plain(IDD_FONT_PROPERTIES, m_pMain);
    ASSERT_TRUE(plain.Create(IDD_FONT_PROPERTIES, m_pMain));
    const CRect plainDone = ClientRectOf(plain.m_hWnd, plain.GetDlgItem(IDCANCEL)->m_hWnd);
    const CRect place = ClientRectOf(plain.m_hWnd, plain.GetDlgItem(IDC_FONTPROPS_PANEL)->m_hWnd);
    CRect plainWindow;
    plain.GetWindowRect(&plainWindow);
    plain.DestroyWindow();

    CFontPropertiesDlg dlg(m_pMain);
    CRect combo, bold, done, window;
    BOOL bTitleShown = TRUE, bHowDoIShown = TRUE, bPanelShown = FALSE;
    CString strSize;
    DriveActiveWindow({
        OnFontProperties([&](HWND hDlg) {
            CTextFormatPanel& panel = dlg.GetPanel();
            combo = ClientRectOf(hDlg, panel.m_fontCombo.m_hWnd);
            bold = ClientRectOf(hDlg, panel.GetDlgItem(CTextFormatPanel::kBold)->m_hWnd);
            done = ClientRectOf(hDlg, ::GetDlgItem(hDlg, IDCANCEL));
            ::GetWindowRect(hDlg, &window);
            bTitleShown = panel.GetDlgItem(CTextFormatPanel::kTitle)->IsWindowVisible();
            bHowDoIShown = panel.GetHowDoIButton()->IsWindowVisible();
            bPanelShown = panel.IsWindowVisible();
            strSize = panel.GetSizeText();
        }),
        PressButton(IDCANCEL),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    EXPECT_EQ(dlg.GetLift(), 43);
    EXPECT_EQ(combo.top, place.top) << "the font combo takes the title's place";
    EXPECT_EQ(bold.top, place.top + 92 - 43);
    EXPECT_EQ(done.top, plainDone.top - 43);
    EXPECT_EQ(done.left, plainDone.left);
    EXPECT_EQ(window.Height(), plainWindow.Height() - 43);
    EXPECT_EQ(window.Width(), plainWindow.Width());
    EXPECT_FALSE(bTitleShown);
    EXPECT_FALSE(bHowDoIShown);
    EXPECT_TRUE(bPanelShown);
    EXPECT_EQ(strSize, CString("24")) << "the dialog shows the selected text";
}

TEST_F(FontPropertiesDlgTest, TabAndTheArrowsWalkOneRingFromFontToDoneAndRound)
{
    AddBlockText("Hello", 12);
    std::vector<int> trail;
    std::vector<DialogStep> steps;
    steps.push_back(OnFontProperties([&](HWND hDlg) { trail.push_back(FocusId(hDlg)); }));
    for (int i = 0; i < 12; ++i)
        AddKey(steps, VK_TAB, FALSE, trail);
    AddKey(steps, VK_TAB, TRUE, trail);   // font, backwards: Done
    AddKey(steps, VK_RIGHT, FALSE, trail); // Done, forwards: font
    steps.push_back(PressButton(IDCANCEL));
    DriveActiveWindow(std::move(steps));
    // The way in that the view's Font command takes; Done ends it.
    RunFontProperties(m_pMain);

    const std::vector<int> expected = {1102, 1103, 1120, 1140, 1138, 1136, 1135, 1132, 1128, 1130, 1125, IDCANCEL,
        1102, IDCANCEL, 1102};
    EXPECT_EQ(trail, expected);
    EXPECT_EQ(::GetActiveWindow(), m_pMain->m_hWnd);
}

TEST_F(FontPropertiesDlgTest, ArrowsStayInsideAComboAndPassADisabledColourButton)
{
    CDrawRect* pText = AddBlockText("Hello", 12);
    Edit(pText, [](CObjectAttributes& a) { a.m_wFlags |= ATTR_FLAG_TEXT_GRADIENT; });
    std::vector<int> trail;
    std::vector<DialogStep> steps;
    CFontPropertiesDlg dlg(m_pMain);
    CString strBefore, strAfter;
    steps.push_back(OnFontProperties([&](HWND) {
        dlg.GetPanel().m_sizeCombo.SetFocus();
        strBefore = dlg.GetPanel().GetSizeText();
    }));
    AddKey(steps, VK_DOWN, FALSE, trail);  // inside the size combo
    steps.push_back(OnFontProperties([&](HWND) { strAfter = dlg.GetPanel().GetSizeText(); }));
    AddKey(steps, VK_TAB, FALSE, trail);   // over the disabled colour button
    AddKey(steps, VK_DOWN, FALSE, trail);  // Bold -> Italic
    AddKey(steps, VK_UP, FALSE, trail);    // Italic -> Bold
    AddKey(steps, VK_LEFT, FALSE, trail);  // Bold -> size, past the colour
    steps.push_back(PressButton(IDCANCEL));
    DriveActiveWindow(std::move(steps));
    dlg.DoModal();

    const std::vector<int> expected = {1103, 1140, 1138, 1140, 1103};
    EXPECT_EQ(trail, expected);
    EXPECT_EQ(strBefore, CString("12"));
    EXPECT_NE(strAfter, strBefore) << "the arrow chose the next size";
}

TEST_F(FontPropertiesDlgTest, AKeyRefreshesThePanelFromTheViewAndCommandsKeepTheFocusInTheDialog)
{
    CDrawRect* pText = AddBlockText("Hello", 12);
    CFontPropertiesDlg dlg(m_pMain);
    BOOL bBoldBefore = TRUE, bBoldAfterKey = FALSE;
    int nFocusAfterCommand = 0;
    std::vector<int> trail;
    std::vector<DialogStep> steps;
    steps.push_back(OnFontProperties([&](HWND) {
        bBoldBefore = dlg.GetPanel().IsStyleOn(0);
        // Changed behind the panel's back: the next key shows it.
        pText->GetTextBlock()->m_logfont.lfWeight = 700;
    }));
    AddKey(steps, VK_SHIFT, FALSE, trail);
    steps.push_back(OnFontProperties([&](HWND hDlg) {
        bBoldAfterKey = dlg.GetPanel().IsStyleOn(0);
        CWnd* pItalic = dlg.GetPanel().GetDlgItem(CTextFormatPanel::kItalic);
        pItalic->SetFocus();
        ::SendMessage(dlg.GetPanel().m_hWnd, WM_COMMAND, MAKEWPARAM(CTextFormatPanel::kItalic, BN_CLICKED),
            LPARAM(pItalic->m_hWnd));
        nFocusAfterCommand = FocusId(hDlg);
    }));
    steps.push_back(PressButton(IDCANCEL));
    DriveActiveWindow(std::move(steps));
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    EXPECT_FALSE(bBoldBefore);
    EXPECT_TRUE(bBoldAfterKey);
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfItalic, 1);
    EXPECT_EQ(nFocusAfterCommand, int(CTextFormatPanel::kItalic));
}

} // namespace
} // namespace textpaneltest
