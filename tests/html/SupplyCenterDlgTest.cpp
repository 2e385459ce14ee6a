// The Supply Center opens the supplies page through the desktop, and says so
// when that fails.

#include "html/SupplyCenterDlg.h"

#include "platform/services/Shell.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <string>
#include <vector>

namespace {

class SupplyCenterDlgTest : public fwtest::FrameworkTest {
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
        platform::SetUrlOpener(nullptr);
        FrameworkTest::TearDown();
    }
};

TEST_F(SupplyCenterDlgTest, ButtonOpensTheSupplyPageOrSaysItCannot)
{
    std::vector<std::string> opened;
    bool bOpens = true;
    platform::SetUrlOpener([&](const std::string& target) {
        opened.push_back(target);
        return bOpens;
    });
    std::vector<std::string> messages;
    platform::SetAfxMessageBoxHandler([&](LPCSTR text, UINT, UINT) {
        messages.push_back(text);
        return IDOK;
    });
    int step = 0;
    platform::headless::SetIdleHandler([&]() {
        HWND h = ::GetActiveWindow();
        if (!h || step > 1)
            return false;
        int nID = step++ == 0 ? IDC_SUPPLY_VISIT : IDOK;
        ::SendMessage(h, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(h, nID)));
        return true;
    });
    CSupplyCenterDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(std::string(CSupplyCenterDlg::SupplyPageUrl()), opened[0]);
    EXPECT_TRUE(messages.empty());

    bOpens = false;
    step = 0;
    EXPECT_EQ(IDOK, dlg.DoModal());
    platform::SetAfxMessageBoxHandler(nullptr);
    CString expected;
    expected.LoadString(IDS_SUPPLY_OPEN_FAILED);
    EXPECT_EQ((std::vector<std::string>{std::string(expected)}), messages);
}

} // namespace
