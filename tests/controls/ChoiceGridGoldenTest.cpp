// The look of a choice grid, compared pixel for pixel with the picture kept
// in tests/data/controls: the six project kinds of the page setup in two
// rows with their captions, the third selected and focused. Set
// THREADWICK_UPDATE_GOLDEN=1 to write it again after an intended change of
// look, then look at it and commit it.

#include "controls/ChoiceGrid.h"

#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/GoldenPicture.h"

namespace {

class ChoiceGridGoldenTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        MakeApp();
    }
};

class CSelectingController : public CChoiceGrid::Controller {
public:
    using Controller::Controller;
    void OnClick(UINT, int nCell) override { m_pGrid->SetCurSel(nCell, TRUE); }
};

TEST_F(ChoiceGridGoldenTest, KindsInTwoRowsWithCaptions)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)(COLOR_BTNFACE + 1)), "",
        WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
    CChoiceGrid grid(&parent, 6, 0, 0);
    grid.SetFlags(CChoiceGrid::kCaptions | CChoiceGrid::kDblClkConfirms);
    grid.SetController(new CSelectingController(&grid));
    grid.SetWindowPos(NULL, 10, 10, 360, 260, SWP_NOZORDER);
    grid.ArrangeCells(IDR_PS_KIND_SHIRT, IDR_PS_KIND_GENERAL, 2, nullptr, nullptr);
    grid.SetFocus();
    grid.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    grid.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    grid.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    ASSERT_EQ(2, grid.GetCurSel());
    grid.UpdateWindow();
    testing_support::ExpectLooksAsBefore(grid.m_hWnd, "controls", "choice-grid-kinds.png");
}

} // namespace
