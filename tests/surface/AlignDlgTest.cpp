// The Align dialog: what it sends for each choice, the sample it draws, and
// the view's Arrange > Align > Other command that runs it.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/UndoList.h"
#include "resources/resource.h"
#include "surface/AlignDlg.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"

#include <string>
#include <vector>

namespace surfacetest {
namespace {

using testing_support::DialogStep;

DialogStep OnAlign(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_ALIGN_PREVIEW, std::move(action));
}

// A click as the user makes it: the radio button checks itself and tells
// the dialog.
void Choose(HWND hDlg, int nID)
{
    ::SendMessage(::GetDlgItem(hDlg, nID), BM_CLICK, 0, 0);
}

DialogStep ChooseAndPress(std::vector<int> choices, int nButton)
{
    return OnAlign([choices, nButton](HWND hDlg) {
        for (int nID : choices)
            Choose(hDlg, nID);
        Click(hDlg, nButton);
    });
}

bool Contains(const CRect& outer, const CRect& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

class AlignDlgTest : public SurfaceInputTest {
protected:
    // The commands waiting in the main window's queue, in order, taken off.
    std::vector<UINT> TakePostedCommands()
    {
        std::vector<UINT> commands;
        MSG msg;
        while (::PeekMessage(&msg, m_pMain->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            commands.push_back(LOWORD(msg.wParam));
        return commands;
    }
};

} // namespace

TEST_F(AlignDlgTest, EachChoiceSendsItsCommandsHorizontalFirstAndNoneOrCancelSendNothing)
{
    struct Case {
        const char* pszName;
        std::vector<int> choices;
        int nButton;
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        {"left and top", {IDC_ALIGN_LEFT, IDC_ALIGN_TOP}, IDOK, {ID_ARRANGE_ALIGN_LEFT, ID_ARRANGE_ALIGN_TOP}},
        // The order of the clicks does not matter.
        {"top, then left", {IDC_ALIGN_TOP, IDC_ALIGN_LEFT}, IDOK, {ID_ARRANGE_ALIGN_LEFT, ID_ARRANGE_ALIGN_TOP}},
        {"centre and centre", {IDC_ALIGN_HORZ_CENTER, IDC_ALIGN_VERT_CENTER}, IDOK,
            {ID_ARRANGE_ALIGN_HCENTER, ID_ARRANGE_ALIGN_VCENTER}},
        {"right only", {IDC_ALIGN_RIGHT}, IDOK, {ID_ARRANGE_ALIGN_RIGHT}},
        {"bottom only", {IDC_ALIGN_BOTTOM}, IDOK, {ID_ARRANGE_ALIGN_BOTTOM}},
        {"right, then none again", {IDC_ALIGN_RIGHT, IDC_ALIGN_HORZ_NONE}, IDOK, {}},
        {"none and none", {}, IDOK, {}},
        {"cancelled", {IDC_ALIGN_LEFT, IDC_ALIGN_TOP}, IDCANCEL, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        TakePostedCommands();
        testing_support::DriveActiveWindow({ChooseAndPress(c.choices, c.nButton)});
        EXPECT_EQ(RunAlignDialog(m_pMain), c.nButton);
        EXPECT_EQ(TakePostedCommands(), c.expected);
    }
}

TEST_F(AlignDlgTest, TheDialogStartsAtNoneAndItsSampleShowsTheChoice)
{
    CAlignDlg dlg(m_pMain);
    struct Look {
        std::string name;
        CRect area;
        CRect cyan;
        CRect magenta;
        COLORREF crCyanInside = CLR_INVALID;
        COLORREF crMagentaInside = CLR_INVALID;
        COLORREF crEdge = CLR_INVALID;
        COLORREF crGround = CLR_INVALID;
    };
    std::vector<Look> looks;
    BOOL bStartsAtNone = FALSE;
    BOOL bPlaceHidden = FALSE;
    // Reads the pixels of the sample now on screen.
    auto look = [&](HWND hDlg, const char* pszName) {
        Look l;
        l.name = pszName;
        l.area = dlg.GetPreviewRect();
        dlg.GetSampleRects(l.cyan, l.magenta);
        namespace hl = platform::headless;
        // The magenta one lies over the cyan one: look where they do not
        // overlap (the cyan one is the wider).
        const int xCyan = l.magenta.left > l.cyan.left + 8 ? l.cyan.left + 4 : l.cyan.right - 4;
        l.crCyanInside = hl::WindowPixel(hDlg, xCyan, l.cyan.bottom - 5);
        l.crMagentaInside = hl::WindowPixel(hDlg, l.magenta.CenterPoint().x, l.magenta.CenterPoint().y);
        l.crEdge = hl::WindowPixel(hDlg, l.magenta.left + 1, l.magenta.CenterPoint().y);
        l.crGround = hl::WindowPixel(hDlg, l.area.left + 2, l.area.bottom - 2);
        looks.push_back(l);
    };
    const std::vector<std::pair<std::vector<int>, const char*>> choices = {
        {{IDC_ALIGN_LEFT, IDC_ALIGN_TOP}, "left top"},
        {{IDC_ALIGN_RIGHT, IDC_ALIGN_BOTTOM}, "right bottom"},
        {{IDC_ALIGN_HORZ_CENTER, IDC_ALIGN_VERT_CENTER}, "centre centre"},
    };
    std::vector<DialogStep> steps;
    steps.push_back(OnAlign([&](HWND hDlg) {
        bStartsAtNone = ::IsDlgButtonChecked(hDlg, IDC_ALIGN_HORZ_NONE) == BST_CHECKED
            && ::IsDlgButtonChecked(hDlg, IDC_ALIGN_VERT_NONE) == BST_CHECKED;
        bPlaceHidden = !::IsWindowVisible(::GetDlgItem(hDlg, IDC_ALIGN_PREVIEW));
    }));
    steps.push_back(OnAlign([&](HWND hDlg) { look(hDlg, "none none"); }));
    for (const auto& choice : choices) {
        steps.push_back(OnAlign([&choice](HWND hDlg) {
            for (int nID : choice.first)
                Choose(hDlg, nID);
        }));
        // The next idle comes after the sample was painted again.
        steps.push_back(OnAlign([&look, &choice](HWND hDlg) { look(hDlg, choice.second); }));
    }
    steps.push_back(testing_support::PressButton(IDCANCEL));
    testing_support::DriveActiveWindow(std::move(steps));
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bStartsAtNone);
    EXPECT_TRUE(bPlaceHidden);

    ASSERT_EQ(looks.size(), 4u);
    for (const Look& l : looks) {
        SCOPED_TRACE(l.name);
        // Both samples fit the area the template gives them.
        EXPECT_TRUE(Contains(l.area, l.cyan));
        EXPECT_TRUE(Contains(l.area, l.magenta));
        EXPECT_EQ(l.crCyanInside, RGB(0, 255, 255));
        EXPECT_EQ(l.crMagentaInside, RGB(255, 0, 255));
        EXPECT_EQ(l.crEdge, RGB(0, 0, 0));
        EXPECT_EQ(l.crGround, RGB(255, 255, 255));
    }
    // The samples line up as their choice says.
    const Look& none = looks[0];
    EXPECT_NE(none.cyan.left, none.magenta.left);
    EXPECT_NE(none.cyan.top, none.magenta.top);
    const Look& leftTop = looks[1];
    EXPECT_EQ(leftTop.cyan.left, leftTop.magenta.left);
    EXPECT_EQ(leftTop.cyan.top, leftTop.magenta.top);
    const Look& rightBottom = looks[2];
    EXPECT_EQ(rightBottom.cyan.right, rightBottom.magenta.right);
    EXPECT_EQ(rightBottom.cyan.bottom, rightBottom.magenta.bottom);
    // Centred within the pixel or two that whole-pixel sizes allow.
    const Look& centres = looks[3];
    EXPECT_LE(std::abs(centres.cyan.CenterPoint().x - centres.magenta.CenterPoint().x), 2);
    EXPECT_LE(std::abs(centres.cyan.CenterPoint().y - centres.magenta.CenterPoint().y), 2);
}

TEST_F(AlignDlgTest, OtherRunsTheDialogForTwoUnlockedObjectsAndTheViewAlignsThem)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pFirst = AddRect(pView, CRect(-300, 400, -100, 200));
    CDrawRect* pSecond = AddRect(pView, CRect(100, 100, 250, -50));
    pView->SelectObjects({pFirst}, FALSE);
    EXPECT_FALSE(IsEnabled(pView, ID_ARRANGE_ALIGN_OTHER));
    pView->SelectObjects({pFirst, pSecond}, FALSE);
    ASSERT_TRUE(IsEnabled(pView, ID_ARRANGE_ALIGN_OTHER));

    CUndoList& undo = pView->GetDocument()->GetUndoList();
    const int nSteps = undo.GetCount();
    testing_support::DriveActiveWindow({ChooseAndPress({IDC_ALIGN_LEFT, IDC_ALIGN_TOP}, IDOK)});
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_ARRANGE_ALIGN_OTHER);
    Pump();
    // Against the first selected object, one undo step each.
    EXPECT_EQ(pFirst->m_position, CRect(-300, 400, -100, 200));
    EXPECT_EQ(pSecond->m_position, CRect(-300, 400, -150, 250));
    EXPECT_EQ(undo.GetCount(), nSteps + 2);

    // None and None moves nothing.
    testing_support::DriveActiveWindow({ChooseAndPress({}, IDOK)});
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_ARRANGE_ALIGN_OTHER);
    Pump();
    EXPECT_EQ(pSecond->m_position, CRect(-300, 400, -150, 250));
    EXPECT_EQ(undo.GetCount(), nSteps + 2);

    pSecond->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_FALSE(IsEnabled(pView, ID_ARRANGE_ALIGN_OTHER));
}

} // namespace surfacetest
