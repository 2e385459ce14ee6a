#include "platform/base/ResourceTables.h"
#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "tests/support/TestHome.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Step = std::function<void(HWND dlg)>;

HWND g_dialog = NULL;
HWND g_hookWindow = NULL;
LPARAM g_initParam = 0;
std::vector<UINT> g_notes;
std::function<LRESULT(HWND, UINT)> g_onNotify;

UINT_PTR CALLBACK Hook(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        g_hookWindow = hwnd;
        g_dialog = GetParent(hwnd);
        g_initParam = lParam;
        return TRUE;
    }
    if (msg == WM_NOTIFY) {
        UINT code = reinterpret_cast<OFNOTIFY*>(lParam)->hdr.code;
        g_notes.push_back(code);
        LRESULT answer = g_onNotify ? g_onNotify(hwnd, code) : 0;
        SetWindowLongPtr(hwnd, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    return FALSE;
}

std::string Text(HWND dlg, int id)
{
    char buf[512] = {};
    GetDlgItemText(dlg, id, buf, sizeof(buf));
    return buf;
}

std::vector<std::string> ListItems(HWND dlg)
{
    std::vector<std::string> items;
    HWND list = GetDlgItem(dlg, lst1);
    int n = int(SendMessage(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buf[300] = {};
        SendMessage(list, LB_GETTEXT, WPARAM(i), LPARAM(buf));
        items.push_back(buf);
    }
    return items;
}

void Command(HWND dlg, int id, int code = BN_CLICKED)
{
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(GetDlgItem(dlg, id)));
}

void Choose(HWND dlg, const std::string& name)
{
    SetDlgItemText(dlg, edt1, name.c_str());
    Command(dlg, IDOK);
}

void SelectItem(HWND dlg, const std::string& name, bool multi = false)
{
    HWND list = GetDlgItem(dlg, lst1);
    int at = int(SendMessage(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(name.c_str())));
    ASSERT_GE(at, 0) << name;
    SendMessage(list, multi ? LB_SETSEL : LB_SETCURSEL, multi ? TRUE : WPARAM(at), multi ? LPARAM(at) : 0);
    Command(dlg, lst1, LBN_SELCHANGE);
}

const char kFilter[] = "Text files\0*.txt;*.doc\0All files\0*.*\0";

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        g_dialog = g_hookWindow = NULL;
        g_initParam = 0;
        g_notes.clear();
        g_onNotify = nullptr;
        root = testing_support::MakeTempDir("filedlg");
        mkdir((root + "/sub").c_str(), 0755);
        for (const char* f : {"a.txt", "b.doc", "c.bin", "sub/inner.txt"})
            testing_support::WriteFileBytes(root + "/" + f, "x");
        winRoot = platform::WindowsPathFor(root);
        std::memset(file, 0, sizeof(file));
        ofn = OPENFILENAME{};
        ofn.lStructSize = sizeof(OPENFILENAME);
        ofn.lpstrFilter = kFilter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = 263;
        ofn.lpstrInitialDir = winRoot.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK;
        ofn.lpfnHook = Hook;
    }
    void TearDown() override { platform::headless::SetIdleHandler(nullptr); }

    // Runs one step each time the dialog's loop goes idle, then cancels.
    void Script(std::vector<Step> steps)
    {
        auto queue = std::make_shared<std::deque<Step>>(steps.begin(), steps.end());
        platform::headless::SetIdleHandler([queue]() {
            if (!g_dialog || !IsWindow(g_dialog))
                return false;
            if (queue->empty()) {
                Command(g_dialog, IDCANCEL);
                return true;
            }
            Step step = queue->front();
            queue->pop_front();
            step(g_dialog);
            return true;
        });
    }

    std::string root;
    std::string winRoot;
    char file[300];
    OPENFILENAME ofn;
};

TEST_F(FileDialogTest, ListsFoldersThenFilteredFilesAndTakesATypedPatternAsFilter)
{
    std::vector<std::string> seen[3];
    Script({
        [&](HWND dlg) { seen[0] = ListItems(dlg); Choose(dlg, "*.bin"); },
        [&](HWND dlg) {
            seen[1] = ListItems(dlg);
            SendDlgItemMessage(dlg, cmb1, CB_SETCURSEL, 1, 0);
            Command(dlg, cmb1, CBN_SELCHANGE);
        },
        [&](HWND dlg) {
            seen[2] = ListItems(dlg);
            EXPECT_EQ(Text(dlg, cmb2), winRoot);
        },
    });
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(seen[0], (std::vector<std::string>{"sub", "a.txt", "b.doc"}));
    EXPECT_EQ(seen[1], (std::vector<std::string>{"sub", "c.bin"}));
    EXPECT_EQ(seen[2], (std::vector<std::string>{"sub", "a.txt", "b.doc", "c.bin"}));
}

TEST_F(FileDialogTest, HookSeesNotificationsAnswersCdmAndCanRefuseTheName)
{
    ofn.lCustData = 1234;
    char title[64] = {};
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof(title);
    int fileOks = 0;
    g_onNotify = [&](HWND, UINT code) -> LRESULT { return code == CDN_FILEOK && ++fileOks == 1; };
    std::string spec, folder, path;
    bool stillOpen = false;
    Script({
        [&](HWND dlg) { SelectItem(dlg, "a.txt"); },
        [&](HWND dlg) {
            EXPECT_EQ(Text(dlg, edt1), "a.txt");
            char buf[300];
            EXPECT_EQ(SendMessage(dlg, CDM_GETSPEC, sizeof(buf), LPARAM(buf)), 6);
            spec = buf;
            SendMessage(dlg, CDM_GETFOLDERPATH, sizeof(buf), LPARAM(buf));
            folder = buf;
            SendMessage(dlg, CDM_GETFILEPATH, sizeof(buf), LPARAM(buf));
            path = buf;
            // Too small a buffer: the size needed, nothing written.
            char tiny[2] = {'?', 0};
            EXPECT_EQ(SendMessage(dlg, CDM_GETSPEC, sizeof(tiny), LPARAM(tiny)), 6);
            EXPECT_EQ(tiny[0], '?');
            SendMessage(dlg, CDM_SETCONTROLTEXT, stc3, LPARAM("Design:"));
            EXPECT_EQ(Text(dlg, stc3), "Design:");
            SendMessage(dlg, CDM_HIDECONTROL, cmb1, 0);
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, cmb1)));
            Command(dlg, IDOK);
        },
        [&](HWND dlg) {
            stillOpen = IsWindow(dlg);
            Command(dlg, IDOK);
        },
    });
    ASSERT_TRUE(GetOpenFileName(&ofn));
    EXPECT_EQ(g_initParam, LPARAM(&ofn));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(fileOks, 2);
    ASSERT_GE(g_notes.size(), 3u);
    EXPECT_EQ(g_notes.front(), CDN_INITDONE);
    EXPECT_NE(std::find(g_notes.begin(), g_notes.end(), CDN_SELCHANGE), g_notes.end());
    EXPECT_EQ(spec, "a.txt");
    EXPECT_EQ(folder, winRoot);
    EXPECT_EQ(path, winRoot + "\\a.txt");
    EXPECT_EQ(std::string(file), winRoot + "\\a.txt");
    EXPECT_EQ(ofn.nFileOffset, winRoot.size() + 1);
    EXPECT_EQ(ofn.nFileExtension, winRoot.size() + 3);
    EXPECT_EQ(std::string(title), "a.txt");
    EXPECT_EQ(ofn.nFilterIndex, 1u);
}

TEST_F(FileDialogTest, RefusesMissingPathsAndFilesButKeepsTheDialogOpen)
{
    ofn.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    bool open[2] = {};
    Script({
        [&](HWND dlg) { Choose(dlg, "nowhere\\x.txt"); },
        [&](HWND dlg) { open[0] = IsWindow(dlg); Choose(dlg, "missing.txt"); },
        [&](HWND dlg) { open[1] = IsWindow(dlg); },
    });
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_TRUE(open[0] && open[1]);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), 2u);
    EXPECT_NE(platform::headless::MessageBoxes()[0].text.find("Path does not exist"), std::string::npos);
    EXPECT_NE(platform::headless::MessageBoxes()[1].text.find("File not found"), std::string::npos);
    EXPECT_EQ(std::find(g_notes.begin(), g_notes.end(), CDN_FILEOK), g_notes.end());
}

TEST_F(FileDialogTest, TakesLinuxPathsOpensFoldersAndAddsTheDefaultExtension)
{
    ofn.lpstrDefExt = "txt";
    ofn.Flags |= OFN_NOCHANGEDIR;
    std::string before = platform::CurrentWindowsFolder();
    std::string folderAfterTyping;
    Script({
        [&](HWND dlg) { Choose(dlg, "sub"); },
        [&](HWND dlg) {
            folderAfterTyping = Text(dlg, cmb2);
            SendDlgItemMessage(dlg, cmb1, CB_SETCURSEL, 1, 0);
            Command(dlg, cmb1, CBN_SELCHANGE);
            Choose(dlg, root + "/sub/inner");
        },
    });
    ASSERT_TRUE(GetOpenFileName(&ofn));
    EXPECT_EQ(folderAfterTyping, winRoot + "\\sub");
    EXPECT_EQ(std::string(file), winRoot + "\\sub\\inner.txt");
    EXPECT_EQ(ofn.nFilterIndex, 2u);
    EXPECT_EQ(platform::CurrentWindowsFolder(), before);
}

// Without a start folder the dialog opens in the current folder only when it
// holds files of the type shown; else in the user's home.
TEST_F(FileDialogTest, WithoutAStartFolderItOpensWhereFilesOfTheTypeAreElseInTheHome)
{
    const std::string home = testing_support::MakeTempDir("filedlg-home");
    const char* pszSavedHome = getenv("HOME");
    const std::string savedHome = pszSavedHome != nullptr ? pszSavedHome : "";
    setenv("HOME", home.c_str(), 1);
    const std::string before = platform::CurrentWindowsFolder();
    ofn.lpstrInitialDir = nullptr;
    ofn.Flags |= OFN_NOCHANGEDIR;

    struct Case {
        std::string current;
        DWORD filter;
        std::string expected;
    };
    const Case cases[] = {
        {winRoot, 1, winRoot},                       // a.txt and b.doc are there
        {winRoot + "\\sub", 1, winRoot + "\\sub"},   // inner.txt
        {winRoot + "\\sub", 3, platform::WindowsPathFor(home)}, // no picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        ASSERT_TRUE(platform::SetCurrentWindowsFolder(c.current));
        ofn.nFilterIndex = c.filter;
        ofn.lpstrFilter = "Text files\0*.txt;*.doc\0All files\0*.*\0Pictures\0*.png\0";
        std::string shown;
        Script({[&](HWND dlg) { shown = Text(dlg, cmb2); }});
        EXPECT_FALSE(GetOpenFileName(&ofn));
        EXPECT_EQ(shown, c.expected);
    }
    platform::SetCurrentWindowsFolder(before);
    if (pszSavedHome != nullptr)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAndReportsATooSmallBuffer)
{
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    platform::headless::PushMessageBoxAnswer(IDNO);
    platform::headless::PushMessageBoxAnswer(IDYES);
    Script({
        [&](HWND dlg) { Choose(dlg, "a.txt"); },
        [&](HWND dlg) { Choose(dlg, "a.txt"); },
    });
    ASSERT_TRUE(GetSaveFileName(&ofn));
    EXPECT_EQ(platform::headless::MessageBoxes().size(), 2u);
    EXPECT_EQ(std::string(file), winRoot + "\\a.txt");

    file[0] = '\0';
    ofn.nMaxFile = 4;
    Script({[&](HWND dlg) { Choose(dlg, "new.txt"); }});
    EXPECT_FALSE(GetSaveFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
    WORD needed = 0;
    std::memcpy(&needed, file, sizeof(needed));
    EXPECT_EQ(needed, winRoot.size() + 9);
}

TEST_F(FileDialogTest, MultipleSelectionGivesTheFolderThenEachName)
{
    ofn.Flags |= OFN_ALLOWMULTISELECT;
    Script({
        [&](HWND dlg) {
            SelectItem(dlg, "a.txt", true);
            SelectItem(dlg, "b.doc", true);
            EXPECT_EQ(Text(dlg, edt1), "\"a.txt\" \"b.doc\"");
            Command(dlg, IDOK);
        },
    });
    ASSERT_TRUE(GetOpenFileName(&ofn));
    std::string expected = winRoot + std::string("\0a.txt\0b.doc\0\0", 14);
    EXPECT_EQ(std::string(file, expected.size()), expected);
    EXPECT_EQ(ofn.nFileOffset, winRoot.size() + 1);
}

TEST_F(FileDialogTest, ChildTemplatePutsTheStandardControlsAtItsPlaceholder)
{
    std::vector<platform::DialogItemTemplate> items = {
        {WS_VISIBLE | SS_LEFT, 0, 0, 4, 10, 8, 20, stc32, "STATIC", "", 0},
        {WS_VISIBLE | SS_LEFT, 0, 0, 14, 10, 30, 8, 600, "STATIC", "Right", 0},
    };
    platform::DialogTemplate t{};
    t.style = WS_CHILD | DS_CONTROL | DS_SETFONT;
    t.cx = 50;
    t.cy = 40;
    t.caption = "";
    t.className = "";
    t.pointSize = 8;
    t.faceName = "MS Sans Serif";
    t.items = items.data();
    t.count = WORD(items.size());
    ofn.Flags |= OFN_ENABLETEMPLATEHANDLE;
    ofn.hInstance = reinterpret_cast<HINSTANCE>(const_cast<platform::DialogTemplate*>(&t));
    RECT placeholder{}, lookIn{}, right{}, okButton{}, client{}, lookInDu{7, 6, 7, 6};
    Script({
        [&](HWND dlg) {
            auto rectIn = [dlg](HWND w) {
                RECT r{};
                GetWindowRect(w, &r);
                MapWindowPoints(NULL, dlg, reinterpret_cast<POINT*>(&r), 2);
                return r;
            };
            placeholder = rectIn(GetDlgItem(g_hookWindow, stc32));
            lookIn = rectIn(GetDlgItem(dlg, stc4));
            right = rectIn(GetDlgItem(g_hookWindow, 600));
            okButton = rectIn(GetDlgItem(dlg, IDOK));
            GetClientRect(dlg, &client);
            MapDialogRect(dlg, &lookInDu);
        },
    });
    EXPECT_FALSE(GetOpenFileName(&ofn));
    ASSERT_GT(placeholder.left, 0);
    ASSERT_GT(placeholder.top, 0);
    // The standard controls keep their layout, moved by the placeholder's corner.
    EXPECT_EQ(lookIn.left, placeholder.left + lookInDu.left);
    EXPECT_EQ(lookIn.top, placeholder.top + lookInDu.top);
    // The child's control right of the placeholder moves past them.
    EXPECT_GE(right.left, okButton.right);
    EXPECT_GE(client.right, right.right);
    EXPECT_GE(client.bottom, okButton.bottom);
}

TEST_F(FileDialogTest, HelpPostsTheRegisteredMessageToTheOwnerAndFlagsHideButtons)
{
    HWND owner = uitest::MakeTopLevel();
    ofn.hwndOwner = owner;
    ofn.Flags |= OFN_SHOWHELP | OFN_HIDEREADONLY;
    bool helpShown = false, readOnlyShown = true;
    Script({
        [&](HWND dlg) {
            helpShown = IsWindowVisible(GetDlgItem(dlg, pshHelp));
            readOnlyShown = IsWindowVisible(GetDlgItem(dlg, chx1));
            Command(dlg, pshHelp);
        },
    });
    uitest::Rec().Clear();
    EXPECT_FALSE(GetOpenFileName(&ofn));
    uitest::Pump();
    EXPECT_TRUE(helpShown);
    EXPECT_FALSE(readOnlyShown);
    UINT help = RegisterWindowMessage(HELPMSGSTRING);
    std::vector<UINT> got = uitest::Rec().MessagesOf(owner);
    EXPECT_NE(std::find(got.begin(), got.end(), help), got.end());
    EXPECT_NE(std::find(g_notes.begin(), g_notes.end(), CDN_HELP), g_notes.end());
}

TEST(FileTitleTest, GivesTheNameOrTheSizeItNeeds)
{
    char title[12] = {};
    EXPECT_EQ(GetFileTitle("C:\\designs\\card.shr", title, sizeof(title)), 0);
    EXPECT_STREQ(title, "card.shr");
    EXPECT_EQ(GetFileTitle("C:\\designs\\birthday-party.shr", title, sizeof(title)), 19);
    EXPECT_LT(GetFileTitle("C:\\designs\\", title, sizeof(title)), 0);
}

} // namespace
