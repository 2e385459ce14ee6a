// The hints: shown while their preference bit is set, and the "show again"
// box writes that bit back to the saved preferences.

#include "assist/HintDlgs.h"

#include "tests/assist/AssistTestSupport.h"

namespace assisttest {
namespace {

class HintDlgsTest : public AssistTest {
protected:
    Step Uncheck()
    {
        return [](HWND hDlg) {
            ::CheckDlgButton(hDlg, IDC_HINT_SHOW_AGAIN, BST_UNCHECKED);
            return true;
        };
    }
    int SavedAddlFlags() { return int(m_app->GetProfileInt("Preferences", "AddlFlags", -1)); }
};

TEST_F(HintDlgsTest, PreviewHintShowsUntilTurnedOff)
{
    thePrefs.AddlFlags |= PREF_ADDL_PREVIEW_HINT;
    Drive({Uncheck(), Press(IDOK)});
    EXPECT_TRUE(ShowPreviewHint());
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_PREVIEW_HINT, 0);
    EXPECT_EQ(SavedAddlFlags() & PREF_ADDL_PREVIEW_HINT, 0);

    // Off: nothing is shown (no steps: a dialog would end the test's loop).
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_FALSE(ShowPreviewHint());
}

TEST_F(HintDlgsTest, AddTextHintKeepsItsBitWhenLeftChecked)
{
    thePrefs.AddlFlags |= 0x2000;
    const int before = SavedAddlFlags();
    bool wasChecked = false;
    Drive({
        [&wasChecked](HWND hDlg) {
            wasChecked = ::IsDlgButtonChecked(hDlg, IDC_HINT_SHOW_AGAIN) == BST_CHECKED;
            return true;
        },
        Press(IDCANCEL),
    });
    EXPECT_TRUE(ShowAddTextHint());
    EXPECT_TRUE(wasChecked);
    EXPECT_NE(thePrefs.AddlFlags & 0x2000, 0);
    EXPECT_EQ(SavedAddlFlags(), before);
}

TEST_F(HintDlgsTest, ColorHintRunsAlwaysAndTurnsItsFlagsBitOnAgain)
{
    thePrefs.Flags &= static_cast<WORD>(~0x0010);
    CColorHintDlg dlg;
    Drive({
        [](HWND hDlg) {
            ::CheckDlgButton(hDlg, IDC_HINT_SHOW_AGAIN, BST_CHECKED);
            return true;
        },
        Press(IDOK),
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_NE(thePrefs.Flags & 0x0010, 0);
    EXPECT_NE(m_app->GetProfileInt("Preferences", "Flags", 0) & 0x0010, 0u);
}

} // namespace
} // namespace assisttest
