// The look of the grid picker's popups, compared pixel for pixel with the
// pictures kept in tests/data/controls: the colour popup (with the focus on
// Teal), the hatch-style popup and the line-style popup. Set THREADWICK_UPDATE_GOLDEN=1 to write
// them again after an intended change of look, then look at them and commit
// them.

#include "controls/ColorPopupDlg.h"
#include "controls/GridPicker.h"
#include "controls/HatchStylePopupDlg.h"
#include "controls/LineStylePopupDlg.h"

#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/GoldenPicture.h"
#include "tests/support/DialogDriver.h"

#include <string>

namespace {

class GridPickerGoldenTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        MakeApp();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        FrameworkTest::TearDown();
    }

    // Paints the active popup, compares it, then closes it with a click far
    // away.
    static testing_support::DialogStep Shoot(const std::string& name)
    {
        return [name](HWND hActive) {
            if (::GetDlgItem(hActive, IDC_GRID_PICKER_PLACEHOLDER) == NULL)
                return false;
            ::RedrawWindow(hActive, nullptr, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            testing_support::ExpectLooksAsBefore(hActive, "controls", name);
            platform::headless::PressMouse(0, 1000, 5);
            platform::headless::ReleaseMouse(0, 1000, 5);
            return true;
        };
    }
};

TEST_F(GridPickerGoldenTest, ColorPopupLooksAsItDid)
{
    CColorPopupDlg popup(CRect(300, 100, 340, 120), nullptr);
    popup.m_crColor = RGB(0, 128, 128);
    testing_support::DriveActiveWindow({Shoot("color_popup.png")});
    EXPECT_EQ(IDOK, popup.DoModal());
}

TEST_F(GridPickerGoldenTest, HatchPopupLooksAsItDid)
{
    CHatchStylePopupDlg popup(CRect(300, 100, 340, 120), nullptr);
    popup.m_nValue = 4;
    testing_support::DriveActiveWindow({Shoot("hatch_popup.png")});
    EXPECT_EQ(IDOK, popup.DoModal());
}

TEST_F(GridPickerGoldenTest, LinePopupLooksAsItDid)
{
    CLineStylePopupDlg popup(CRect(300, 100, 340, 120), nullptr);
    popup.m_nValue = 1;
    testing_support::DriveActiveWindow({Shoot("line_popup.png")});
    EXPECT_EQ(IDOK, popup.DoModal());
}

} // namespace
