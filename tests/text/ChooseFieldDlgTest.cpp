// Choose Field: the field list text split into names, and the dialog that
// lists them.

#include "tests/text/SmallDlgTestSupport.h"

#include "resources/resource.h"
#include "text/dialogs/ChooseFieldDlg.h"

#include <string>
#include <vector>

namespace smalldlgtest {
namespace {

using Names = std::vector<std::string>;

Names Split(const std::string& text) { return SplitFieldList(text.data(), text.size()); }

std::vector<std::string> ListItems(HWND hList)
{
    std::vector<std::string> items;
    const int nCount = static_cast<int>(::SendMessage(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        char text[300] = {};
        ::SendMessage(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

} // namespace

TEST(FieldListSplit, TheFirstCharacterSeparatesTheNames)
{
    EXPECT_EQ(Split(";a;b;"), (Names {"a", "b"}));
    EXPECT_EQ(Split(""), Names {});
    EXPECT_EQ(Split(";"), Names {});
    EXPECT_EQ(Split(";;;"), Names {});
    // Another separator, a last name without its ending, empty names.
    EXPECT_EQ(Split("|First Name|Zip;Code"), (Names {"First Name", "Zip;Code"}));
    EXPECT_EQ(Split(",,a,,b,"), (Names {"a", "b"}));
    EXPECT_EQ(Split(std::string("\0a\0b\0", 5)), (Names {"a", "b"}));
    EXPECT_EQ(Split(std::string(";a\0x;b;", 7)), (Names {"a", "b"}));
    EXPECT_EQ(SplitFieldList(NULL, 10), Names {});
}

TEST(FieldListSplit, NamesAndTheirCountAreBounded)
{
    const std::string longName(CChooseFieldDlg::kMaxNameLength + 40, 'n');
    EXPECT_EQ(Split(";" + longName + ";z;"), (Names {std::string(CChooseFieldDlg::kMaxNameLength, 'n'), "z"}));

    std::string many = ";";
    for (size_t i = 0; i < CChooseFieldDlg::kMaxNames + 10; ++i)
        many += "f;";
    EXPECT_EQ(Split(many).size(), CChooseFieldDlg::kMaxNames);
}

class ChooseFieldDlgTest : public SmallDlgTest {
};

TEST_F(ChooseFieldDlgTest, ListsTheNamesWithTheFirstChosenAndOkReturnsIt)
{
    CChooseFieldDlg dlg(&m_main, ";Name;City;");
    std::vector<std::string> items;
    int nSel = -2;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        HWND hList = ::GetDlgItem(hDlg, IDC_CHOOSE_FIELD_LIST);
        items = ListItems(hList);
        nSel = static_cast<int>(::SendMessage(hList, LB_GETCURSEL, 0, 0));
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(items, (std::vector<std::string> {"Name", "City"}));
    EXPECT_EQ(nSel, 0);
    EXPECT_STREQ(dlg.GetFieldName(), "Name");
}

TEST_F(ChooseFieldDlgTest, ADoubleClickChoosesLikeOk)
{
    CChooseFieldDlg dlg(&m_main, ";a;b;");
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        ::SendDlgItemMessage(hDlg, IDC_CHOOSE_FIELD_LIST, LB_SETCURSEL, 1, 0);
        Notify(hDlg, IDC_CHOOSE_FIELD_LIST, LBN_DBLCLK);
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_STREQ(dlg.GetFieldName(), "b");
}

TEST_F(ChooseFieldDlgTest, AnEmptyListTextOpensAnEmptyListAndOkGivesNoName)
{
    CChooseFieldDlg dlg(&m_main, "");
    int nCount = -1;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        nCount = static_cast<int>(::SendDlgItemMessage(hDlg, IDC_CHOOSE_FIELD_LIST, LB_GETCOUNT, 0, 0));
        Notify(hDlg, IDC_CHOOSE_FIELD_LIST, LBN_DBLCLK);
    });
    EXPECT_EQ(nCount, 0);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_STREQ(dlg.GetFieldName(), "");
}

} // namespace smalldlgtest
