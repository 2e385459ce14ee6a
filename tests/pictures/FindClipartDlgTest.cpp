// Find Clipart on the headless back end, driven by real messages: the
// folders a search lists over a test drive holding the outside picture
// folders, the message when nothing matches, Cancel during the walk, and
// Open folder through the picture chooser into the active design.

#include "tests/model/ModelTestSupport.h"

#include "app/FolderScan.h"
#include "app/PrefData.h"
#include "app/main/DocTemplates.h"
#include "controls/ProgressDlg.h"
#include "pictures/FindClipartDlg.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/CommDlg.h"
#include "resources/SupportResources.h"
#include "resources/filedlg.h"
#include "resources/findclipart.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testing_support::DialogStep;
using testing_support::DriveActiveWindow;

// The combo indexes of three types of the picture filter.
constexpr int kTypeAll = 0;
constexpr int kTypeBmp = 1;
constexpr int kTypePng = 10;

bool IsFindClipart(HWND hDlg)
{
    return ::GetDlgItem(hDlg, IDC_FINDCLIP_TREE) != NULL;
}

bool IsFileDialog(HWND hDlg)
{
    return testing_support::FindDescendant(hDlg, IDC_FILEIMG_FRAME) != NULL && ::GetDlgItem(hDlg, edt1) != NULL;
}

std::string ItemText(HWND hTree, HTREEITEM hItem)
{
    char text[1024] = {};
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessage(hTree, TVM_GETITEM, 0, LPARAM(&item));
    return text;
}

// The result items in order of their texts; or the item of one text.
std::vector<std::string> TreeTexts(HWND hTree, const std::string& wanted = {}, HTREEITEM* phWanted = nullptr)
{
    std::vector<std::string> texts;
    for (HTREEITEM hItem = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); hItem != NULL;
         hItem = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(hItem)))) {
        texts.push_back(ItemText(hTree, hItem));
        if (phWanted != nullptr && texts.back() == wanted)
            *phWanted = hItem;
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Presses Cancel after the given number of folder steps; keeps the messages
// the progress window is given.
class CancellingProgress : public CScanProgress {
public:
    explicit CancellingProgress(int nCancelAfter, std::vector<UINT>* pMessages = nullptr)
        : m_nCancelAfter(nCancelAfter)
        , m_pMessages(pMessages)
    {
    }
    void SetMessage(UINT nId) override
    {
        if (m_pMessages != nullptr)
            m_pMessages->push_back(nId);
    }
    void SetText(const CString&) override {}
    void SetRange(int) override {}
    void SetPos(int) override {}
    void Step() override { ++m_nSteps; }
    BOOL IsCancelled() override { return m_nSteps >= m_nCancelAfter; }
    void PumpMessages() override {}

private:
    int m_nCancelAfter;
    std::vector<UINT>* m_pMessages;
    int m_nSteps = 0;
};

// What a search showed, read while the dialog was up.
struct SearchResult {
    std::vector<std::string> folders;
    std::string found;
    std::string pattern;
    bool bOpenEnabled = false;
};

class FindClipartDlgTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        REQUIRE_TESTDATA();
        threadwick::RegisterSupportResources();
        InitCommonControls();
        platform::InitFileSystem();
        m_root = testing_support::MakeTempDir("clipart");
        std::filesystem::create_directories(m_root + "/program/support");
        platform::SetProgramFolderForTests(m_root + "/program");
        m_saved.Flags = thePrefs.Flags;
        m_saved.ImageDir = thePrefs.ImageDir;
        m_saved.CurPictureFolder = thePrefs.CurPictureFolder;

        // D: holds the three outside folders, two of them nested, and a
        // link back to its root; E: holds metafiles alone.
        namespace fs = std::filesystem;
        const fs::path data(THREADWICK_TESTDATA_DIR);
        const std::string drive = m_root + "/drive";
        fs::create_directories(drive + "/tree/deeper");
        fs::create_directories(m_root + "/wmfonly");
        fs::copy(data / "png", drive + "/png", fs::copy_options::recursive);
        fs::copy(data / "bmp", drive + "/tree/deeper/bmp", fs::copy_options::recursive);
        fs::copy(data / "wmf", drive + "/tree/wmf", fs::copy_options::recursive);
        fs::create_directory_symlink(drive, drive + "/tree/deeper/bmp/back");
        picture_files::WritePng(picture_files::Raster(12, 8, RGB(30, 160, 60)), drive + "/png/mine.png");
        fs::copy(data / "wmf", m_root + "/wmfonly/wmf", fs::copy_options::recursive);
        const std::string drives = "D=" + drive + ":fixed:CLIPART;E=" + m_root + "/wmfonly:fixed:METAFILES";
        platform::DriveTable table = platform::DriveTable::Build("", drives, {});
        ASSERT_TRUE(table.Errors().empty()) << table.Errors().front();
        platform::SetDriveTable(std::move(table));
        m_drive = drive;

        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
            m_messages.push_back(text);
            return IDOK;
        });
    }

    void TearDown() override
    {
        platform::SetAfxMessageBoxHandler(nullptr);
        platform::headless::SetIdleHandler(nullptr);
        SetScanProgressFactory({});
        thePrefs.Flags = m_saved.Flags;
        thePrefs.ImageDir = m_saved.ImageDir;
        thePrefs.CurPictureFolder = m_saved.CurPictureFolder;
        platform::SetProgramFolderForTests("");
        platform::ResetDriveTable();
        WindowModelTest::TearDown();
    }

    // The folders of D: that `find` says hold a file of the pattern, in
    // Windows form with their trailing backslash.
    std::vector<std::string> FoldersHolding(const std::string& pattern) const
    {
        const std::string out
            = testing_support::RunCommand("find '" + m_drive + "' -iname '" + pattern + "' -printf '%h\\n'");
        std::set<std::string> folders;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            std::string path = "D:" + line.substr(m_drive.size()) + "/";
            std::replace(path.begin(), path.end(), '/', '\\');
            folders.insert(path);
        }
        return {folders.begin(), folders.end()};
    }

    // A step that picks the type and drive, presses Find and keeps what
    // the dialog shows.
    static DialogStep Search(int nType, const char* pszDrive, SearchResult& result, CFindClipartDlg& dlg)
    {
        return [nType, pszDrive, &result, &dlg](HWND hDlg) {
            if (!IsFindClipart(hDlg))
                return false;
            ::SendDlgItemMessage(hDlg, IDC_FINDCLIP_TYPE, CB_SETCURSEL, WPARAM(nType), 0);
            const HWND hDrive = ::GetDlgItem(hDlg, IDC_FINDCLIP_LOOK_IN);
            const int nDrive = int(::SendMessage(hDrive, CB_FINDSTRING, WPARAM(-1), LPARAM(pszDrive)));
            ::SendMessage(hDrive, CB_SETCURSEL, WPARAM(nDrive), 0);
            testing_support::Click(hDlg, IDC_FINDCLIP_FIND);
            result.folders = TreeTexts(::GetDlgItem(hDlg, IDC_FINDCLIP_TREE));
            result.found = LPCTSTR(dlg.GetFoundFolder());
            result.pattern = LPCTSTR(dlg.GetSearchPattern());
            result.bOpenEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)) != FALSE;
            return true;
        };
    }

    static DialogStep SelectFolder(const std::string& folder)
    {
        return [folder](HWND hDlg) {
            const HWND hTree = ::GetDlgItem(hDlg, IDC_FINDCLIP_TREE);
            HTREEITEM hItem = NULL;
            TreeTexts(hTree, folder, &hItem);
            ::SendMessage(hTree, TVM_SELECTITEM, TVGN_CARET, LPARAM(hItem));
            return true;
        };
    }

    // Double-clicks the result folder as the mouse does.
    static DialogStep DoubleClickFolder(const std::string& folder)
    {
        return [folder](HWND hDlg) {
            const HWND hTree = ::GetDlgItem(hDlg, IDC_FINDCLIP_TREE);
            HTREEITEM hItem = NULL;
            TreeTexts(hTree, folder, &hItem);
            RECT rect{};
            std::memcpy(&rect, &hItem, sizeof hItem); // the item goes in, the rectangle comes out
            if (!::SendMessage(hTree, TVM_GETITEMRECT, TRUE, LPARAM(&rect)))
                return false;
            const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
            for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
                ::SendMessage(hTree, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
            return true;
        };
    }

    // Answers the file dialog: keeps its name box text and type index,
    // then chooses the file (or cancels when the path is empty).
    static DialogStep AnswerFileDialog(const CString& strPath, std::string& name, int& nTypeIndex)
    {
        return [strPath, &name, &nTypeIndex](HWND hDlg) {
            if (!IsFileDialog(hDlg))
                return false;
            name = testing_support::ItemText(hDlg, edt1);
            nTypeIndex = int(::SendDlgItemMessage(hDlg, cmb1, CB_GETCURSEL, 0, 0));
            if (strPath.IsEmpty()) {
                ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else {
                ::SetDlgItemText(hDlg, edt1, strPath);
                ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
            return true;
        };
    }

    std::string m_root;
    std::string m_drive;
    struct Saved {
        WORD Flags = 0;
        CString ImageDir;
        CString CurPictureFolder;
    } m_saved;
    std::vector<std::string> m_messages;
};

TEST_F(FindClipartDlgTest, FindListsEachFolderHoldingTheTypeOnceOrSaysNoneWasFound)
{
    CFindClipartDlg dlg;
    SearchResult png;
    SearchResult all;
    SearchResult none;
    DriveActiveWindow({Search(kTypePng, "d:", png, dlg), Search(kTypeAll, "d:", all, dlg),
        Search(kTypeBmp, "e:", none, dlg), testing_support::PressButton(IDCANCEL)});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    // Every folder holds a PNG file or many, and the link back to the
    // drive's root reaches them all again; each real folder shows once.
    const std::vector<std::string> expected = FoldersHolding("*.png");
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(png.folders, expected);
    EXPECT_EQ(png.pattern, "*.png");
    EXPECT_TRUE(png.bOpenEnabled);
    EXPECT_NE(std::find(expected.begin(), expected.end(), png.found), expected.end()) << png.found;
    EXPECT_EQ(all.pattern,
        "*.bmp;*.dib;*.emf;*.gif;*.ico;*.jpg;*.jpeg;*.pcd;*.pcx;*.png;*.psd;*.ras;*.tga;*.tif;*.tiff;*.wmf;*.wpg");
    EXPECT_EQ(all.folders, expected);

    // E: holds metafiles, GIF and PNG files but no bitmap.
    EXPECT_EQ(none.pattern, "*.bmp");
    EXPECT_TRUE(none.folders.empty());
    EXPECT_TRUE(none.found.empty());
    EXPECT_FALSE(none.bOpenEnabled);
    EXPECT_EQ(m_messages, (std::vector<std::string>{"No clipart was found"}));
}

TEST_F(FindClipartDlgTest, CancelStopsTheWalkAndKeepsWhatWasFound)
{
    // The first top folder (png) is walked; Cancel is seen before "tree".
    SetScanProgressFactory([] { return std::make_unique<CancellingProgress>(1); });
    CFindClipartDlg dlg;
    SearchResult png;
    DriveActiveWindow({Search(kTypePng, "d:", png, dlg), testing_support::PressButton(IDCANCEL)});
    dlg.DoModal();
    EXPECT_EQ(png.folders, (std::vector<std::string>{"D:\\png\\"}));
    EXPECT_TRUE(png.bOpenEnabled);
}

TEST_F(FindClipartDlgTest, TheWalksProgressWindowSaysWhatItIsDoing)
{
    std::vector<UINT> ids;
    SetScanProgressFactory([&ids] { return std::make_unique<CancellingProgress>(1000, &ids); });
    CFindClipartDlg dlg;
    SearchResult png;
    DriveActiveWindow({Search(kTypePng, "d:", png, dlg), testing_support::PressButton(IDCANCEL)});
    dlg.DoModal();
    SetScanProgressFactory({});
    ASSERT_FALSE(ids.empty());
    for (UINT nId : ids) {
        CString message, caption, line;
        ASSERT_TRUE(message.LoadString(nId)) << nId;
        CProgressDlg::SplitMessage(message, caption, line);
        EXPECT_STREQ(LPCTSTR(caption), "Find Clipart");
        EXPECT_FALSE(line.IsEmpty());
    }
}

TEST_F(FindClipartDlgTest, TheChooserGetsTheFolderPatternAndTheTypeIndexLessOne)
{
    // The plain file dialog first, so that its type list shows the index.
    thePrefs.Flags |= PREF_FLAG_NO_MULTI_PREVIEW;
    CFindClipartDlg dlg;
    SearchResult result;
    struct Run {
        int nType;
        std::string name;
        int nTypeIndex = -1;
    };
    Run runs[] = {{kTypeAll, {}}, {kTypeBmp, {}}, {kTypePng, {}}};
    std::vector<DialogStep> steps;
    for (Run& run : runs) {
        steps.push_back(Search(run.nType, "d:", result, dlg));
        steps.push_back(testing_support::PressButton(IDOK));
        // Cancelled in the chooser: Find Clipart stays up for the next run.
        steps.push_back(AnswerFileDialog("", run.name, run.nTypeIndex));
    }
    steps.push_back([](HWND hDlg) {
        if (!IsFindClipart(hDlg))
            return false;
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    });
    DriveActiveWindow(steps);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(runs[0].nTypeIndex, 0);
    EXPECT_EQ(runs[1].nTypeIndex, 0);
    EXPECT_EQ(runs[2].nTypeIndex, kTypePng - 1);
    // The folder is kept even though no picture was chosen.
    EXPECT_STREQ(LPCTSTR(thePrefs.ImageDir), "D:\\png\\");
    EXPECT_EQ(runs[1].name, "*.bmp");
    EXPECT_EQ(runs[2].name, "*.png");
}

TEST_F(FindClipartDlgTest, OpenFolderInsertsTheChosenPictureIntoTheActiveDesignIfAny)
{
    thePrefs.Flags |= PREF_FLAG_NO_MULTI_PREVIEW;
    std::string name;
    int nTypeIndex = -1;
    {
        // No design: a double click opens the folder, a picture is chosen
        // and the dialog ends all the same.
        CFindClipartDlg dlg;
        SearchResult png;
        DriveActiveWindow({Search(kTypePng, "d:", png, dlg), DoubleClickFolder("D:\\tree\\wmf\\"),
            AnswerFileDialog("src-pillow__drawing_wmf_ref.png", name, nTypeIndex)});
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_STREQ(LPCTSTR(thePrefs.ImageDir), "D:\\tree\\wmf\\");
    }

    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    const int nBefore = CountObjects(pView);
    CFindClipartDlg dlg;
    SearchResult png;
    // The name alone: the file dialog opened in the folder found.
    DriveActiveWindow({Search(kTypePng, "d:", png, dlg), SelectFolder("D:\\png\\"),
        testing_support::PressButton(IDOK), AnswerFileDialog("mine.png", name, nTypeIndex)});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    Pump();
    EXPECT_EQ(name, "*.png");
    EXPECT_STREQ(LPCTSTR(thePrefs.ImageDir), "D:\\png\\");
    ASSERT_EQ(CountObjects(pView), nBefore + 1);
    CDrawObj* pObj = pView->GetSingleSelection();
    ASSERT_NE(pObj, nullptr);
    EXPECT_EQ(pObj->GetPictureFileName().CompareNoCase("D:\\png\\mine.png"), 0) << pObj->GetPictureFileName();
}

} // namespace
