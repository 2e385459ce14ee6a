#include "platform/ui/AfxMessageBox.h"
#include "platform/base/String.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

namespace {

class AfxMessageBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        platform::headless::Reset();
    }
    void TearDown() override { platform::SetAfxMessageBoxHandler({}); }
};

TEST_F(AfxMessageBoxTest, UsesTheApplicationTitleAndAddsHelpForAHelpId)
{
    platform::headless::PushMessageBoxAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("Replace it?", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), 1u);
    const auto& box = platform::headless::MessageBoxes().back();
    EXPECT_EQ(box.text, "Replace it?");
    EXPECT_FALSE(box.caption.empty());
    EXPECT_EQ(box.type & MB_HELP, 0u);

    AfxMessageBox("With help", MB_OK, 61699);
    EXPECT_NE(platform::headless::MessageBoxes().back().type & MB_HELP, 0u);
}

TEST_F(AfxMessageBoxTest, PromptByIdIsTheStringAndItsOwnHelpId)
{
    // String 145 is the text-file filter; any string of the table will do.
    CString expected;
    ASSERT_TRUE(expected.LoadString(145));
    AfxMessageBox(145u);
    const auto& box = platform::headless::MessageBoxes().back();
    EXPECT_EQ(box.text, std::string(expected));
    EXPECT_NE(box.type & MB_HELP, 0u);
}

TEST_F(AfxMessageBoxTest, TheApplicationCanTakeTheBoxesOver)
{
    UINT seenType = 0, seenHelp = 0;
    platform::SetAfxMessageBoxHandler([&](LPCSTR, UINT type, UINT help) {
        seenType = type;
        seenHelp = help;
        return IDCANCEL;
    });
    EXPECT_EQ(AfxMessageBox("x", MB_OKCANCEL, 7), IDCANCEL);
    EXPECT_EQ(seenType, UINT(MB_OKCANCEL));
    EXPECT_EQ(seenHelp, 7u);
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
}

} // namespace
