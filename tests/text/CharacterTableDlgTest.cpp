// Special Characters: the list's order and layout, what the selection and
// keystroke fields show, the fonts, and Insert.

#include "tests/text/SmallDlgTestSupport.h"

#include "resources/resource.h"
#include "text/dialogs/CharacterTableDlg.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace smalldlgtest {
namespace {

class SpecialCharDlgTest : public SmallDlgTest {
};

// Selects the entry of nCode as a click would, with its notification.
void SelectCode(HWND hDlg, int nCode)
{
    HWND hList = ::GetDlgItem(hDlg, IDC_SPECIAL_CHARS_LIST);
    const int nCount = static_cast<int>(::SendMessage(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        if (static_cast<int>(::SendMessage(hList, LB_GETITEMDATA, i, 0)) + 32 == nCode) {
            ::SendMessage(hList, LB_SETCURSEL, i, 0);
            Notify(hDlg, IDC_SPECIAL_CHARS_LIST, LBN_SELCHANGE);
            return;
        }
    }
    ADD_FAILURE() << "no entry for " << nCode;
}

} // namespace

TEST(SpecialCharTexts, KeystrokesAndSelectionFollowTheCode)
{
    struct Row {
        int code;
        const char* keystroke;
    };
    const Row rows[] = {
        {32, " "}, {65, "A"}, {126, "~"}, {127, "Ctrl + 1"}, {128, "Ctrl + 2"},
        {129, "Alt + 0129"}, {169, "Alt + 0169"}, {255, "Alt + 0255"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(CSpecialCharDlg::KeystrokeText(row.code), row.keystroke) << row.code;
}

TEST_F(SpecialCharDlgTest, TheListShowsSevenRowsOfThirtyTwoConsecutiveCodesInsideTheDialog)
{
    // The dialog's own face, and a wide one the template did not allow for.
    for (const char* pszFace : {"", "Courier New"}) {
        CSpecialCharDlg dlg(&m_main);
        if (*pszFace != '\0') {
            LOGFONT lf {};
            std::strncpy(lf.lfFaceName, pszFace, LF_FACESIZE - 1);
            lf.lfWeight = FW_BOLD;
            dlg.SetFont(lf);
        }
        std::map<int, std::vector<std::pair<int, int>>> rows; // top -> (left, code)
        bool allInside = true, clearOfTheRest = true;
        Run(dlg, [&](HWND hDlg) {
            HWND hList = ::GetDlgItem(hDlg, IDC_SPECIAL_CHARS_LIST);
            RECT rcInside {}, rcList {}, rcDlg {};
            ::GetClientRect(hList, &rcInside);
            const int nCount = static_cast<int>(::SendMessage(hList, LB_GETCOUNT, 0, 0));
            for (int i = 0; i < nCount; ++i) {
                RECT rc {};
                ::SendMessage(hList, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc));
                char text[4] = {};
                ::SendMessage(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
                rows[rc.top].push_back({rc.left, static_cast<unsigned char>(text[0])});
                allInside = allInside && rc.left >= 0 && rc.right <= rcInside.right && rc.bottom <= rcInside.bottom;
            }
            ::GetWindowRect(hList, &rcList);
            ::GetWindowRect(hDlg, &rcDlg);
            for (int nID : {IDC_SPECIAL_CHARS_FONT, IDOK}) {
                RECT rc {};
                ::GetWindowRect(::GetDlgItem(hDlg, nID), &rc);
                clearOfTheRest = clearOfTheRest && rc.top >= rcList.bottom;
            }
            clearOfTheRest = clearOfTheRest && rcList.right <= rcDlg.right;
            Click(hDlg, IDCANCEL);
        });
        EXPECT_TRUE(allInside) << pszFace;
        EXPECT_TRUE(clearOfTheRest) << pszFace;
        ASSERT_EQ(rows.size(), 7u) << pszFace;
        int nRow = 0;
        for (auto& [top, cells] : rows) {
            std::sort(cells.begin(), cells.end());
            ASSERT_EQ(cells.size(), 32u) << "row at " << top;
            for (int c = 0; c < 32; ++c)
                EXPECT_EQ(cells[c].second, 32 + 32 * nRow + c) << "row " << nRow << " column " << c;
            ++nRow;
        }
    }
}

TEST_F(SpecialCharDlgTest, ChosenCodesShowThemselvesAndHowToTypeThem)
{
    LOGFONT lf {};
    std::strncpy(lf.lfFaceName, "Times New Roman", LF_FACESIZE - 1);
    lf.lfHeight = -30;
    lf.lfWeight = FW_BOLD;
    CSpecialCharDlg dlg(&m_main);
    dlg.SetFont(lf);
    struct Shown {
        std::string selection, keystroke;
    };
    std::map<int, Shown> shown;
    std::string face, insert, first;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        face = ItemText(hDlg, IDC_SPECIAL_CHARS_FONT);
        insert = ItemText(hDlg, IDOK);
        first = ItemText(hDlg, IDC_SPECIAL_CHARS_KEYSTROKE);
        for (int nCode : {169, 65, 38, 127}) {
            SelectCode(hDlg, nCode);
            shown[nCode] = {ItemText(hDlg, IDC_SPECIAL_CHARS_SELECTION), ItemText(hDlg, IDC_SPECIAL_CHARS_KEYSTROKE)};
        }
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(face, "Times New Roman");
    EXPECT_EQ(insert, "&Insert");
    EXPECT_EQ(first, " ");
    EXPECT_EQ(shown[169].selection, "\xA9");
    EXPECT_EQ(shown[169].keystroke, "Alt + 0169");
    EXPECT_EQ(shown[65].selection, "A");
    EXPECT_EQ(shown[65].keystroke, "A");
    EXPECT_EQ(shown[38].selection, "Ampersand");
    EXPECT_EQ(shown[38].keystroke, "&");
    EXPECT_EQ(shown[127].keystroke, "Ctrl + 1");
    EXPECT_EQ(dlg.GetChar(), 127);
}

TEST_F(SpecialCharDlgTest, InsertWithoutASelectionSaysSoAndStaysOpen)
{
    CSpecialCharDlg dlg(&m_main);
    bool stillOpen = false;
    std::string face;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        face = ItemText(hDlg, IDC_SPECIAL_CHARS_FONT);
        ::SendDlgItemMessage(hDlg, IDC_SPECIAL_CHARS_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        Click(hDlg, IDOK);
        stillOpen = ::IsWindow(hDlg) && ::IsWindowVisible(hDlg);
        SelectCode(hDlg, 233);
        Click(hDlg, IDOK);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(m_boxes, std::vector<std::string> {"Invalid Selection!"});
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(dlg.GetChar(), 233);
    // Without a font from the caller the dialog's own small face is used.
    EXPECT_EQ(face, "MS Sans Serif");
}

} // namespace smalldlgtest
