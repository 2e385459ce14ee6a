// Text Columns: the count as five radios, never below one.

#include "tests/text/SmallDlgTestSupport.h"

#include "resources/resource.h"
#include "text/dialogs/TextColumnsDlg.h"

namespace smalldlgtest {

class TextColumnsDlgTest : public SmallDlgTest {
protected:
    // The checked radio's position (1..5), 0 when none is.
    static int Checked(HWND hDlg)
    {
        for (int i = 0; i < 5; ++i) {
            if (::IsDlgButtonChecked(hDlg, IDC_TEXT_COLUMNS_1 + i) == BST_CHECKED)
                return i + 1;
        }
        return 0;
    }
};

TEST_F(TextColumnsDlgTest, OpensOnTheCountAndReturnsTheCheckedRadio)
{
    CTextColumnsDlg dlg(&m_main);
    dlg.SetColumns(3);
    int nShown = -1;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        nShown = Checked(hDlg);
        ::CheckRadioButton(hDlg, IDC_TEXT_COLUMNS_1, IDC_TEXT_COLUMNS_5, IDC_TEXT_COLUMNS_5);
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(nShown, 3);
    EXPECT_EQ(dlg.GetColumns(), 5);

    CTextColumnsDlg cancelled(&m_main);
    cancelled.SetColumns(2);
    nResult = Run(cancelled, [&](HWND hDlg) {
        ::CheckRadioButton(hDlg, IDC_TEXT_COLUMNS_1, IDC_TEXT_COLUMNS_5, IDC_TEXT_COLUMNS_4);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(cancelled.GetColumns(), 2);
}

TEST_F(TextColumnsDlgTest, NoRadioCheckedGivesOneColumn)
{
    for (int nGiven : {0, 7, -3, 4}) {
        CTextColumnsDlg dlg(&m_main);
        dlg.SetColumns(nGiven);
        int nShown = -1;
        Run(dlg, [&](HWND hDlg) {
            nShown = Checked(hDlg);
            for (int i = 0; i < 5; ++i)
                ::CheckDlgButton(hDlg, IDC_TEXT_COLUMNS_1 + i, BST_UNCHECKED);
            Click(hDlg, IDOK);
        });
        EXPECT_EQ(nShown, nGiven >= 1 && nGiven <= 5 ? nGiven : 0) << nGiven;
        EXPECT_EQ(dlg.GetColumns(), 1) << nGiven;
    }
}

} // namespace smalldlgtest
