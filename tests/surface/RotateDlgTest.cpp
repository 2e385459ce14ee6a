// The Rotate dialog and the way in through RunRotateDialog.

#include "tests/surface/SurfaceTestSupport.h"

#include "resources/resource.h"
#include "surface/RotateDlg.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"

#include <string>

namespace surfacetest {
namespace {

using testing_support::DialogStep;

// A step on the Rotate dialog once it is up.
DialogStep OnRotate(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_ROTATE_ANGLE, std::move(action));
}

DialogStep Type(const char* pszAngle, int nButton)
{
    return OnRotate([pszAngle, nButton](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, pszAngle);
        Click(hDlg, nButton);
    });
}

class RotateDlgTest : public SurfaceTest {
protected:
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SurfaceTest::TearDown();
    }
    static size_t Boxes() { return platform::headless::MessageBoxes().size(); }
};

} // namespace

TEST_F(RotateDlgTest, AnglesBeyondAFullTurnAreRefusedAndMinus359IsTaken)
{
    int nAngle = 0;
    std::string shown;
    const size_t nBoxes = Boxes();
    testing_support::DriveActiveWindow({
        OnRotate([&](HWND hDlg) {
            shown = ItemText(hDlg, IDC_ROTATE_ANGLE);
            ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, "360");
            Click(hDlg, IDOK);
        }),
        Type("-360", IDOK),
        Type("ten", IDOK),
        Type("-359", IDOK),
    });
    EXPECT_TRUE(RunRotateDialog(m_pMain, &nAngle));
    EXPECT_EQ(shown, "0");
    EXPECT_EQ(nAngle, -359);
    // One range message each for 360, -360 and the word.
    EXPECT_EQ(Boxes(), nBoxes + 3);
}

TEST_F(RotateDlgTest, OkWithoutAChangeOrCancelAnswersFalseAndKeepsTheAngle)
{
    int nAngle = 45;
    std::string shown;
    testing_support::DriveActiveWindow({OnRotate([&](HWND hDlg) {
        shown = ItemText(hDlg, IDC_ROTATE_ANGLE);
        Click(hDlg, IDOK);
    })});
    EXPECT_FALSE(RunRotateDialog(m_pMain, &nAngle));
    EXPECT_EQ(shown, "45");
    EXPECT_EQ(nAngle, 45);

    testing_support::DriveActiveWindow({Type("90", IDCANCEL)});
    EXPECT_FALSE(RunRotateDialog(m_pMain, &nAngle));
    EXPECT_EQ(nAngle, 45);

    testing_support::DriveActiveWindow({Type("359", IDOK)});
    EXPECT_TRUE(RunRotateDialog(m_pMain, &nAngle));
    EXPECT_EQ(nAngle, 359);
    EXPECT_FALSE(RunRotateDialog(m_pMain, nullptr));
}

} // namespace surfacetest
