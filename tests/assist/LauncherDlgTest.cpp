// The new-design launcher and the New Design dialog: one record per project
// kind, the kind picked in the list and the way to start.

#include "assist/LauncherDlg.h"
#include "assist/NewDesignDlg.h"

#include "app/TextTable.h"
#include "tests/assist/AssistTestSupport.h"

namespace assisttest {
namespace {

class LauncherDlgTest : public AssistTest {
protected:
    // Picks list entry nKind and the radio button of nOption, then OK.
    void ChooseAndConfirm(int nKind, int nRadio)
    {
        Drive({
            [nKind, nRadio](HWND hDlg) {
                ::SendDlgItemMessage(hDlg, IDC_LAUNCH_KINDS, LB_SETCURSEL, WPARAM(nKind), 0);
                ::CheckRadioButton(hDlg, IDC_LAUNCH_PREDESIGNED, IDC_LAUNCH_WIZARD, nRadio);
                return true;
            },
            Press(IDOK),
        });
    }
};

TEST_F(LauncherDlgTest, HoldsARecordForEachOfTheSixKinds)
{
    CLauncherDlg dlg;
    const char* const names[] = {"T-Shirt", "Apparel", "Mousepad", "Calendar", "Label", "General"};
    for (int n = 0; n < 6; ++n) {
        DesignRequest* pRecord = dlg.GetTemplate(n);
        ASSERT_NE(pRecord, nullptr) << n;
        EXPECT_EQ(pRecord->nKind, n);
        EXPECT_EQ(pRecord->strFirst, names[n]);
    }
    EXPECT_EQ(dlg.GetTemplate(-1), nullptr);
    EXPECT_EQ(dlg.GetTemplate(7), nullptr);
}

TEST_F(LauncherDlgTest, RecordsTakeTheProjectKindTable)
{
    {
        CProjectKindTable table;
        ProjectKindRecord record;
        ASSERT_TRUE(table.ReadRecord(4, record));
        ASSERT_EQ(record.nId, 4);
        record.strDescription = "Labels for gifts";
        record.strPath1 = "C:\\kits\\label1.lbl";
        record.nNumber3 = 7;
        record.nNumber4 = 9;
        ASSERT_TRUE(table.WriteRecord(4, record));
        // A record of a kind the program does not have is passed over.
        record.nId = 42;
        record.strName = "Stranger";
        table.AddRecord(record);
    }
    CLauncherDlg dlg;
    DesignRequest* pLabel = dlg.GetTemplate(4);
    ASSERT_NE(pLabel, nullptr);
    EXPECT_EQ(pLabel->strFirst, "Label");
    EXPECT_EQ(pLabel->strSecond, "Labels for gifts");
    EXPECT_EQ(pLabel->strThird, "C:\\kits\\label1.lbl");
    EXPECT_EQ(pLabel->nTrailing1, 7);
    EXPECT_EQ(pLabel->nTrailing2, 9);
}

TEST_F(LauncherDlgTest, OkGivesThePickedKindAndTheWayToStart)
{
    CLauncherDlg dlg;
    ChooseAndConfirm(3, IDC_LAUNCH_WIZARD);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.m_nOption, LAUNCH_WIZARD);
    DesignRequest* pPicked = dlg.GetTemplate(6);
    ASSERT_NE(pPicked, nullptr);
    EXPECT_EQ(pPicked->nKind, 3);
    EXPECT_EQ(pPicked->nOption, LAUNCH_WIZARD);
}

TEST_F(LauncherDlgTest, EachWayToStartComesBack)
{
    const int radios[] = {IDC_LAUNCH_PREDESIGNED, IDC_LAUNCH_BLANK, IDC_LAUNCH_WIZARD};
    for (int option = 0; option < 3; ++option) {
        CLauncherDlg dlg;
        ChooseAndConfirm(option, radios[option]);
        ASSERT_EQ(IDOK, dlg.DoModal()) << option;
        EXPECT_EQ(dlg.m_nOption, option);
        EXPECT_EQ(dlg.GetTemplate(6)->nKind, option);
    }
}

TEST_F(LauncherDlgTest, OkWithoutAPickedKindKeepsTheDialogOpen)
{
    CLauncherDlg dlg;
    Drive({
        [](HWND hDlg) {
            ::SendDlgItemMessage(hDlg, IDC_LAUNCH_KINDS, LB_SETCURSEL, WPARAM(-1), 0);
            return true;
        },
        Press(IDOK),
        [](HWND hDlg) {
            // Still up: pick one now.
            ::SendDlgItemMessage(hDlg, IDC_LAUNCH_KINDS, LB_SETCURSEL, 5, 0);
            return true;
        },
        Press(IDOK),
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.GetTemplate(6)->nKind, 5);
}

TEST_F(LauncherDlgTest, CancelAnswersCancel)
{
    CLauncherDlg dlg;
    Drive({Press(IDCANCEL)});
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

TEST_F(LauncherDlgTest, NewDesignGivesTheRequestOfTheChosenKind)
{
    CNewDesignDlg dlg;
    ChooseAndConfirm(2, IDC_LAUNCH_BLANK);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.GetRequest().nKind, 2);
    EXPECT_EQ(dlg.GetRequest().nOption, LAUNCH_BLANK);
    EXPECT_EQ(dlg.GetRequest().strFirst, "Mousepad");

    DesignRequest app;
    CopyDesignRequest(app, dlg.GetRequest());
    EXPECT_EQ(app.nKind, 2);
}

} // namespace
} // namespace assisttest
