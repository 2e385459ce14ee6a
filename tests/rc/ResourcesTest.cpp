// The resource bundle over generated tables: the test script (registered in
// the support module) and the program's own resources.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/base/String.h"
#include "platform/base/VirtualKeys.h"
#include "platform/base/WindowStyles.h"
#include "resources/Resources.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rctest {
void RegisterFixture();
}

namespace {

const std::string kFixtureDir = RC_FIXTURE_DIR;

class ResourcesTest : public testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        rctest::RegisterFixture();
        support = platform::GetResourceModuleHandle(platform::ResourceModule::Support);
        program = AfxGetInstanceHandle();
    }
    void TearDown() override { AfxSetResourceHandle(nullptr); }

    std::string Bytes(LPCSTR name, LPCSTR type)
    {
        HRSRC info = FindResource(support, name, type);
        if (!info)
            return "<missing>";
        HGLOBAL data = LoadResource(support, info);
        return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(support, info));
    }

    HINSTANCE support = nullptr;
    HINSTANCE program = nullptr;
};

TEST_F(ResourcesTest, FindsResourcesByNumberNameAndCustomTypeWithoutCase)
{
    std::string shape = testing_support::ReadFileBytes(kFixtureDir + "/shape.bin");
    EXPECT_EQ(Bytes(MAKEINTRESOURCE(10000), "SHAPEDATA"), shape);
    EXPECT_EQ(Bytes("#10000", "shapedata"), shape);
    EXPECT_EQ(Bytes(MAKEINTRESOURCE(37), "OccasionDB"), shape);
    EXPECT_EQ(Bytes(MAKEINTRESOURCE(1), "metafile"), shape);
    EXPECT_EQ(Bytes(MAKEINTRESOURCE(1), "METAFILE"), shape);
    EXPECT_EQ(Bytes("mydata", RT_RCDATA), std::string("\1\0\3\2\0\0ab\xFF\xFF", 10));
    EXPECT_EQ(Bytes("IDB_PNG", MAKEINTRESOURCE(2)).size(), 40u + 48u);

    // A numbered resource is not found by a name, nor in another module.
    EXPECT_EQ(FindResource(support, "10000", "SHAPEDATA"), nullptr);
    EXPECT_EQ(FindResource(program, MAKEINTRESOURCE(1), "METAFILE"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResource(program, MAKEINTRESOURCE(1), "NOSUCHTYPE"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResource(support, MAKEINTRESOURCE(10001), "SHAPEDATA"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResource(support, "#", "SHAPEDATA"), nullptr);
    EXPECT_EQ(FindResource(support, "#99999", "SHAPEDATA"), nullptr);
    EXPECT_NE(FindResourceEx(support, "SHAPEDATA", MAKEINTRESOURCE(10000), 0), nullptr);
}

TEST_F(ResourcesTest, RefusesHandlesItDidNotGiveOut)
{
    auto forged = reinterpret_cast<HRSRC>(uintptr_t(0x1234));
    EXPECT_EQ(LoadResource(support, forged), nullptr);
    EXPECT_EQ(SizeofResource(support, forged), 0u);
    EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(forged)), nullptr);
    auto badModule = reinterpret_cast<HMODULE>(uintptr_t(0x5000));
    EXPECT_EQ(FindResource(badModule, MAKEINTRESOURCE(1), "METAFILE"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LoadString(badModule, 1, nullptr, 0), 0);
}

TEST_F(ResourcesTest, RegisteringTwiceKeepsTheSameResources)
{
    HRSRC before = FindResource(support, "IDB_PNG", RT_BITMAP);
    rctest::RegisterFixture();
    threadwick::RegisterResources();
    EXPECT_EQ(FindResource(support, "IDB_PNG", RT_BITMAP), before);
}

TEST_F(ResourcesTest, LoadStringTruncatesToTheBufferAndTerminates)
{
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(LoadString(support, 1, buffer, 4), 3);
    EXPECT_STREQ(buffer, "Hel");
    EXPECT_EQ(LoadString(support, 1, buffer, 6), 5);
    EXPECT_STREQ(buffer, "Hello");
    EXPECT_EQ(LoadString(support, 1, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(LoadString(support, 61699, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "Last id");
    // A string holding a zero byte is copied with its full length.
    EXPECT_EQ(LoadString(support, 2, buffer, sizeof buffer), 15);
    EXPECT_EQ(std::memcmp(buffer, "a\tb\\c\"d\"eAB\n\0en", 16), 0);

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(LoadString(support, 3, buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(ResourcesTest, CStringLoadsFromTheCurrentModuleThenTheProgram)
{
    CString s;
    EXPECT_FALSE(s.LoadString(1));
    EXPECT_TRUE(s.IsEmpty());

    AfxSetResourceHandle(support);
    EXPECT_EQ(AfxGetResourceHandle(), support);
    EXPECT_TRUE(s.LoadString(1));
    EXPECT_EQ(s, "Hello");
    EXPECT_TRUE(s.LoadString(2));
    EXPECT_EQ(s.GetLength(), 16);
    // The program's strings are still found while the support module is
    // current.
    EXPECT_TRUE(s.LoadString(57340));
    EXPECT_EQ(s, "Threadwick");

    AfxSetResourceHandle(program);
    EXPECT_FALSE(s.LoadString(1));
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(1), "METAFILE"), support);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(1), "NOSUCHTYPE"), program);
}

TEST_F(ResourcesTest, MenuTemplatesKeepTheTreeAndItemFlags)
{
    const platform::MenuTemplate* menu = platform::FindMenuTemplate(support, MAKEINTRESOURCE(100));
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->extended);
    ASSERT_EQ(menu->count, 2);
    const platform::MenuItemTemplate& file = menu->items[0];
    EXPECT_TRUE(file.popup);
    EXPECT_STREQ(file.text, "&File");
    ASSERT_EQ(file.count, 5);
    EXPECT_STREQ(file.items[0].text, "&Open...\tCtrl+O");
    EXPECT_EQ(file.items[0].id, 0xE101u);
    EXPECT_EQ(file.items[1].type, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(file.items[2].state, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(file.items[3].state, static_cast<UINT>(MF_DISABLED | MF_CHECKED));
    EXPECT_EQ(file.items[4].type, static_cast<UINT>(MF_MENUBREAK));
    EXPECT_EQ(menu->items[1].type, static_cast<UINT>(MF_HELP));
    EXPECT_FALSE(menu->items[1].popup);

    const platform::MenuTemplate* ex = platform::FindMenuTemplate(support, MAKEINTRESOURCE(101));
    ASSERT_NE(ex, nullptr);
    EXPECT_TRUE(ex->extended);
    ASSERT_EQ(ex->count, 1);
    EXPECT_EQ(ex->items[0].id, 300u);
    EXPECT_EQ(ex->items[0].helpId, 55u);
    ASSERT_EQ(ex->items[0].count, 3);
    EXPECT_EQ(ex->items[0].items[0].state, static_cast<UINT>(MFS_CHECKED | MFS_DEFAULT));
    EXPECT_EQ(ex->items[0].items[1].type, static_cast<UINT>(MFT_SEPARATOR));
    EXPECT_EQ(ex->items[0].items[2].type, static_cast<UINT>(MFT_RADIOCHECK));

    EXPECT_EQ(platform::FindMenuTemplate(support, MAKEINTRESOURCE(102)), nullptr);
}

TEST_F(ResourcesTest, AcceleratorsTranslateKeyForms)
{
    const platform::AcceleratorTable* table = platform::FindAcceleratorTable(support, MAKEINTRESOURCE(102));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->count, 6);
    struct Expected {
        BYTE fVirt;
        WORD key;
        WORD cmd;
    };
    const Expected expected[] = {
        {0, 3, 0xE122},                                  // "^C": the control character
        {FVIRTKEY | FCONTROL | FNOINVERT, 'O', 0xE101}, // a virtual key is upper case
        {FVIRTKEY, VK_F1, 33},
        {FVIRTKEY | FSHIFT | FALT, VK_INSERT, 0xE122},
        {FALT, 'a', 34},
        {0, 65, 35},
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(table->entries[i].fVirt, expected[i].fVirt) << i;
        EXPECT_EQ(table->entries[i].key, expected[i].key) << i;
        EXPECT_EQ(table->entries[i].cmd, expected[i].cmd) << i;
    }
}

TEST_F(ResourcesTest, DialogControlsGetTheStylesTheirStatementsImply)
{
    const platform::DialogTemplate* d = platform::FindDialogTemplate(support, MAKEINTRESOURCE(103));
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->extended);
    EXPECT_EQ(d->style, static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(d->exStyle, static_cast<DWORD>(WS_EX_CONTEXTHELP));
    EXPECT_EQ(d->helpId, 77u);
    EXPECT_EQ(d->cx, 200);
    EXPECT_EQ(d->cy, 120);
    EXPECT_STREQ(d->caption, "About");
    EXPECT_EQ(d->menuName, nullptr);
    EXPECT_EQ(d->menuId, 100);
    EXPECT_STREQ(d->className, "MyDialogClass");
    EXPECT_EQ(d->pointSize, 8);
    EXPECT_EQ(d->weight, 700);
    EXPECT_EQ(d->italic, 1);
    EXPECT_STREQ(d->faceName, "MS Sans Serif");
    ASSERT_EQ(d->count, 18);

    const DWORD child = WS_CHILD | WS_VISIBLE;
    struct Expected {
        const char* className;
        DWORD style;
        int id;
    };
    const Expected expected[] = {
        {"BUTTON", child | BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK},
        {"BUTTON", child | BS_PUSHBUTTON | WS_DISABLED, IDCANCEL}, // NOT WS_TABSTOP
        {"STATIC", child | SS_LEFT | WS_GROUP, -1},
        {"STATIC", child | SS_RIGHT | WS_GROUP | SS_NOPREFIX, 1000},
        {"STATIC", child | SS_CENTER | WS_GROUP, 1001},
        {"EDIT", child | ES_LEFT | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 1002},
        {"BUTTON", child | BS_GROUPBOX, 1003},
        {"BUTTON", child | BS_CHECKBOX | WS_TABSTOP, 1004},
        {"BUTTON", child | BS_AUTOCHECKBOX | WS_TABSTOP, 1005},
        {"BUTTON", child | BS_RADIOBUTTON, 1006},
        {"BUTTON", child | BS_AUTORADIOBUTTON, 1007},
        {"COMBOBOX", child | CBS_SIMPLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 1008},
        {"LISTBOX", child | LBS_NOTIFY | WS_BORDER, 1009},
        {"SCROLLBAR", child | SBS_HORZ, 1010},
        {"STATIC", child | SS_ICON, 1011},
        {"STATIC", child | SS_ICON, 1012},
        {"msctls_progress32", child | 0x1, 1013},
        {"BUTTON", child | BS_OWNERDRAW | WS_TABSTOP, 1014},
    };
    for (int i = 0; i < 18; ++i) {
        EXPECT_STREQ(d->items[i].className, expected[i].className) << i;
        EXPECT_EQ(d->items[i].style, expected[i].style) << i;
        EXPECT_EQ(d->items[i].id, expected[i].id) << i;
    }
    EXPECT_EQ(d->items[5].exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(d->items[5].helpId, 9u);
    EXPECT_EQ(d->items[14].text, nullptr);
    EXPECT_EQ(d->items[14].textId, 106);
    EXPECT_STREQ(d->items[15].text, "POINTERNAME");
    EXPECT_EQ(d->items[16].exStyle, static_cast<DWORD>(WS_EX_STATICEDGE));
    EXPECT_EQ(d->items[16].x, 5);
    EXPECT_EQ(d->items[16].cx, 80);

    // A plain DIALOG without STYLE: popup, border, system menu, and a caption
    // bar because it has a caption. A predefined class given as a string is
    // written in upper case.
    const platform::DialogTemplate* classic = platform::FindDialogTemplate(support, MAKEINTRESOURCE(104));
    ASSERT_NE(classic, nullptr);
    EXPECT_FALSE(classic->extended);
    EXPECT_EQ(classic->style, static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION));
    EXPECT_EQ(classic->pointSize, 0);
    ASSERT_EQ(classic->count, 1);
    EXPECT_STREQ(classic->items[0].className, "STATIC");
}

TEST_F(ResourcesTest, ToolbarListsButtonsAndSeparators)
{
    const platform::ToolbarTemplate* bar = platform::FindToolbar(support, MAKEINTRESOURCE(108));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->width, 16);
    EXPECT_EQ(bar->height, 15);
    ASSERT_EQ(bar->count, 4);
    EXPECT_EQ(bar->items[0], 0xE101);
    EXPECT_EQ(bar->items[1], 0);
    EXPECT_EQ(bar->items[3], 33202);
}

TEST_F(ResourcesTest, CursorFromBmpHasOpaqueMaskAndDefaultHotSpot)
{
    std::string cursor = Bytes("IDC_ARROW2", RT_CURSOR);
    ASSERT_EQ(cursor.size(), 4u + 78u - 14u + 2u * 4u);
    EXPECT_EQ(cursor.substr(0, 4), std::string(4, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(cursor[4 + 8]), 4); // height 2 doubled
    EXPECT_EQ(cursor.substr(cursor.size() - 8), std::string(8, '\0'));
}

TEST(DocStringTest, SplitsSevenSubstrings)
{
    CString full("\nShirt\nShirt\nShirts (*.shr)\n.shr\nThreadwickShr.Document\nThreadwick Tovell");
    CString out("junk");
    EXPECT_TRUE(platform::GetDocString(full, 0, out));
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_TRUE(platform::GetDocString(full, 3, out));
    EXPECT_EQ(out, "Shirts (*.shr)");
    EXPECT_TRUE(platform::GetDocString(full, 6, out));
    EXPECT_EQ(out, "Threadwick Tovell");
    EXPECT_FALSE(platform::GetDocString(full, 7, out));
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_FALSE(platform::GetDocString(full, -1, out));

    // A trailing separator leaves an empty last substring.
    EXPECT_TRUE(platform::GetDocString(CString("a\nb\n"), 2, out));
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_FALSE(platform::GetDocString(CString("a\nb\n"), 3, out));
}

} // namespace
