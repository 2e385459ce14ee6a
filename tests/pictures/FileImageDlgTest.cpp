// The picture file dialog with its preview pane, driven by real keys and
// button clicks on the headless back end with a fake clock: the pane waits
// one double-click time after the last move, shows nothing for several
// files, says why it shows nothing, and hands back what was chosen.

#include "pictures/FileImageDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "pictures/Image.h"
#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "resources/filedlg.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using testing_support::DialogStep;
using testing_support::DriveActiveWindow;

class FileImageDlgTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        App()->SetRegistryKey("Threadwick Tests");
        platform::SetClockSource(&m_clock);
        m_clock.SetTicks(100000);
        m_dir = testing_support::MakeTempDir("fileimagedlg");
        m_nSavedPreview = CPrefData::GetPreviewImage();
        m_strSavedPictureFolder = thePrefs.CurPictureFolder;
        CPrefData::SetPreviewImage(1);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        CPrefData::SetPreviewImage(m_nSavedPreview);
        thePrefs.CurPictureFolder = m_strSavedPictureFolder;
        WindowModelTest::TearDown();
    }

    // A picture of one colour, nWidth wide; its Windows-form path.
    std::string Picture(const std::string& name, int nWidth, COLORREF cr)
    {
        return picture_files::WriteBmp(picture_files::Raster(nWidth, 20, cr), m_dir + "/" + name);
    }
    CString Folder() const { return CString((platform::WindowsPathFor(m_dir) + "\\").c_str()); }

    static HWND List(HWND hDlg) { return ::GetDlgItem(hDlg, lst1); }
    // The user's keys in the file list.
    static void Key(HWND hDlg, UINT vk, bool shift = false)
    {
        ::SetFocus(List(hDlg));
        if (shift)
            platform::headless::KeyDown(VK_SHIFT);
        platform::headless::TypeKey(vk);
        if (shift)
            platform::headless::KeyUp(VK_SHIFT);
    }
    static void Click(HWND hWnd, int nID) { ::PostMessage(::GetDlgItem(hWnd, nID), BM_CLICK, 0, 0); }
    // The pane's centre pixel.
    static COLORREF PaneCentre(HWND hChild)
    {
        RECT rc{};
        ::GetWindowRect(::GetDlgItem(hChild, IDC_FILEIMG_FRAME), &rc);
        POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 + 4};
        ::ScreenToClient(hChild, &pt);
        return platform::headless::WindowPixel(hChild, pt.x, pt.y);
    }
    static bool Visible(HWND hChild, int nID) { return ::IsWindowVisible(::GetDlgItem(hChild, nID)) != FALSE; }
    static bool Enabled(HWND hChild, int nID) { return ::IsWindowEnabled(::GetDlgItem(hChild, nID)) != FALSE; }
    static std::string Text(HWND hWnd, int nID)
    {
        char text[256] = {};
        ::GetDlgItemText(hWnd, nID, text, sizeof text);
        return text;
    }

    platform::FakeClock m_clock;
    std::string m_dir;
    int m_nSavedPreview = 1;
    CString m_strSavedPictureFolder;
};

TEST_F(FileImageDlgTest, MovingThroughFiveFilesLoadsOnlyTheLastAfterTheDoubleClickTime)
{
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 150, 150)};
    for (int i = 0; i < 5; ++i)
        Picture("p" + std::to_string(i) + ".bmp", 10 + i, colours[i]);
    CFileImageDlgNested dlg(CFileImageDlgNested::modeOpenPicture, "Bitmaps|*.bmp||", 0, Folder(), nullptr, nullptr);

    int nLoadsBeforeWait = -1;
    DWORD dwLastMove = 0;
    DWORD dwShown = 0;
    SIZE shown{};
    COLORREF crPane = CLR_INVALID;
    std::vector<DialogStep> steps;
    for (int i = 0; i < 5; ++i) {
        steps.push_back([&, i](HWND hDlg) {
            if (dlg.GetChildWindow() == NULL)
                return false;
            // Less than a double-click time between moves.
            m_clock.Advance(::GetDoubleClickTime() / 3);
            Key(hDlg, i == 0 ? VK_HOME : VK_DOWN);
            dwLastMove = ::GetTickCount();
            return true;
        });
    }
    steps.push_back([&](HWND) {
        nLoadsBeforeWait = dlg.GetPreviewLoads();
        // Nothing is done now, so the loop waits for the timer.
        return true;
    });
    steps.push_back([&](HWND hDlg) {
        if (dlg.GetPreviewLoads() == 0)
            return false;
        dwShown = ::GetTickCount();
        if (const CImage* pPicture = dlg.GetPreviewPicture())
            pPicture->GetSize(shown, TRUE);
        crPane = PaneCentre(dlg.GetChildWindow());
        ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    DriveActiveWindow(std::move(steps));
    EXPECT_EQ(dlg.DoModal(), 2);

    EXPECT_EQ(nLoadsBeforeWait, 0) << "no file is read while the user moves";
    EXPECT_EQ(dlg.GetPreviewLoads(), 1);
    EXPECT_GE(dwShown - dwLastMove, ::GetDoubleClickTime());
    EXPECT_EQ(shown.cx, 14) << "the last file is the one shown";
    EXPECT_EQ(crPane, colours[4]);
    EXPECT_EQ(dlg.GetPreviewStatus(), CFileImageDlgNested::kStatusNothing) << "released when the dialog closed";
}

TEST_F(FileImageDlgTest, SeveralFilesInSelectModeEmptyThePaneAndDisablePreviewNow)
{
    CPrefData::SetPreviewImage(0);
    const std::string first = Picture("a.bmp", 16, RGB(220, 30, 30));
    Picture("b.bmp", 16, RGB(30, 30, 220));
    CFileImageDlgNested dlg(CFileImageDlgNested::modeSelectPictures, "Bitmaps|*.bmp||", 0, Folder(), nullptr, nullptr);

    struct Seen {
        std::string title, ok;
        bool previewNowForOne = false, previewNowForTwo = true;
        COLORREF paneForOne = CLR_INVALID, paneForTwo = CLR_INVALID;
        int statusForTwo = 0;
        bool galleryEnabled = true, multipleVisible = true;
    } seen;
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (dlg.GetChildWindow() == NULL)
                return false;
            HWND hChild = dlg.GetChildWindow();
            seen.title = testing_support::WindowTitle(hDlg);
            seen.ok = Text(hDlg, IDOK);
            seen.galleryEnabled = Enabled(hChild, IDC_FILEIMG_GALLERY);
            seen.multipleVisible = Visible(hChild, IDC_FILEIMG_MULTIPLE);
            Key(hDlg, VK_HOME);
            return true;
        },
        [&](HWND) {
            HWND hChild = dlg.GetChildWindow();
            seen.previewNowForOne = Enabled(hChild, IDC_FILEIMG_PREVIEW_NOW);
            Click(hChild, IDC_FILEIMG_PREVIEW_NOW);
            return true;
        },
        [&](HWND hDlg) {
            seen.paneForOne = PaneCentre(dlg.GetChildWindow());
            Key(hDlg, VK_DOWN, true);
            return true;
        },
        [&](HWND hDlg) {
            HWND hChild = dlg.GetChildWindow();
            seen.previewNowForTwo = Enabled(hChild, IDC_FILEIMG_PREVIEW_NOW);
            seen.statusForTwo = dlg.GetPreviewStatus();
            seen.paneForTwo = PaneCentre(hChild);
            ::PostMessage(hDlg, WM_COMMAND, IDOK, 0);
            return true;
        },
    });
    EXPECT_EQ(dlg.DoModal(), 1);

    EXPECT_EQ(seen.title, "Select Image(s)");
    EXPECT_EQ(seen.ok, "Select");
    EXPECT_FALSE(seen.galleryEnabled);
    EXPECT_FALSE(seen.multipleVisible);
    EXPECT_TRUE(seen.previewNowForOne);
    EXPECT_EQ(seen.paneForOne, RGB(220, 30, 30));
    EXPECT_FALSE(seen.previewNowForTwo);
    EXPECT_EQ(seen.statusForTwo, CFileImageDlgNested::kStatusNothing);
    EXPECT_EQ(seen.paneForTwo, ::GetSysColor(COLOR_BTNFACE));
    const CStringArray& paths = dlg.GetPaths();
    ASSERT_EQ(paths.GetSize(), 2);
    EXPECT_STREQ(paths[0], first.c_str());
    CString strPath;
    EXPECT_STREQ(dlg.GetFolder(strPath), Folder());
    EXPECT_STREQ(strPath, first.c_str());
}

// Runs the dialog on the folder, selects the first file of the list (or
// types a name), waits for the preview and keeps the pane's status text.
struct PaneCase {
    const char* name;
    int nMode;
    std::string file;
    std::string bytes;
    int nStatus;
    const char* text;
};

TEST_F(FileImageDlgTest, ThePaneSaysWhyItShowsNothing)
{
    const PaneCase cases[] = {
        {"a picture that cannot be read", CFileImageDlgNested::modeOpenPicture, "broken.bmp", "BMnot a bitmap",
            CFileImageDlgNested::kStatusLoading, "Unable to display picture"},
        {"a text file offered as a design", CFileImageDlgNested::modeOpenDesign, "notes.gnl", "plain text",
            -3, "Not anThreadwick design"},
        {"a folder", CFileImageDlgNested::modeOpenPicture, "sub", "", CFileImageDlgNested::kStatusNothing, ""},
    };
    for (const PaneCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        if (c.bytes.empty())
            std::filesystem::create_directories(m_dir + "/" + c.file);
        else
            testing_support::WriteFileBytes(m_dir + "/" + c.file, c.bytes);
        CFileImageDlgNested dlg(c.nMode, "All|*.*||", 0, Folder(), nullptr, nullptr);
        int nStatus = 99;
        std::string text = "?";
        COLORREF crPane = CLR_INVALID;
        DriveActiveWindow({
            [&](HWND hDlg) {
                if (dlg.GetChildWindow() == NULL)
                    return false;
                // A folder is only named; the list opens folders.
                if (c.bytes.empty())
                    ::SetDlgItemText(hDlg, edt1, c.file.c_str());
                else
                    Key(hDlg, VK_HOME);
                Click(dlg.GetChildWindow(), IDC_FILEIMG_AUTO_PREVIEW);
                return true;
            },
            [&](HWND) {
                Click(dlg.GetChildWindow(), IDC_FILEIMG_PREVIEW_NOW);
                return true;
            },
            [&](HWND hDlg) {
                nStatus = dlg.GetPreviewStatus();
                text = dlg.GetStatusText().operator LPCTSTR();
                crPane = PaneCentre(dlg.GetChildWindow());
                ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
        });
        EXPECT_EQ(dlg.DoModal(), 2);
        EXPECT_EQ(nStatus, c.nStatus);
        EXPECT_EQ(text, c.text);
        EXPECT_NE(crPane, CLR_INVALID);
        EXPECT_EQ(CPrefData::GetPreviewImage(), 0) << "the Auto Preview choice is kept";
        CPrefData::SetPreviewImage(1);
    }
}

TEST_F(FileImageDlgTest, APathTooLongForThePanePreviewsNothing)
{
    std::string deep = m_dir;
    while (platform::WindowsPathFor(deep).size() < 300)
        deep += "/" + std::string(60, 'd');
    std::filesystem::create_directories(deep);
    picture_files::WriteBmp(picture_files::Raster(8, 8, RGB(0, 0, 0)), deep + "/x.bmp");
    CPrefData::SetPreviewImage(0);
    CFileImageDlgNested dlg(CFileImageDlgNested::modeOpenPicture, "Bitmaps|*.bmp||", 0,
        CString((platform::WindowsPathFor(deep) + "\\").c_str()), nullptr, nullptr);
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (dlg.GetChildWindow() == NULL)
                return false;
            Key(hDlg, VK_HOME);
            Click(dlg.GetChildWindow(), IDC_FILEIMG_PREVIEW_NOW);
            return true;
        },
        testing_support::PressButton(IDCANCEL),
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.GetPreviewLoads(), 0);
}

TEST_F(FileImageDlgTest, PrintModeChoosesSeveralPicturesAndKeepsTheirFolder)
{
    const std::string a = Picture("a.bmp", 8, RGB(1, 2, 3));
    const std::string b = Picture("b.bmp", 8, RGB(1, 2, 3));
    DWORD options[2] = {1, 0};
    std::string title, ok;
    bool multipleVisible = true, galleryEnabled = true, proportional = false, natural = true;
    DriveActiveWindow({
        [&](HWND hDlg) {
            HWND hChild = ::GetWindow(hDlg, GW_CHILD);
            while (hChild != NULL && ::GetDlgItem(hChild, IDC_FILEIMG_FRAME) == NULL)
                hChild = ::GetWindow(hChild, GW_HWNDNEXT);
            if (hChild == NULL)
                return false;
            title = testing_support::WindowTitle(hDlg);
            ok = Text(hDlg, IDOK);
            multipleVisible = Visible(hChild, IDC_FILEIMG_MULTIPLE);
            galleryEnabled = Enabled(hChild, IDC_FILEIMG_GALLERY);
            proportional = ::IsDlgButtonChecked(hChild, IDC_FILEIMG_PROPORTIONAL) == BST_CHECKED;
            natural = ::IsDlgButtonChecked(hChild, IDC_FILEIMG_NATURAL_SIZE) == BST_CHECKED;
            ::SendMessage(::GetDlgItem(hChild, IDC_FILEIMG_NATURAL_SIZE), BM_CLICK, 0, 0);
            Key(hDlg, VK_HOME);
            Key(hDlg, VK_DOWN, true);
            return true;
        },
        testing_support::PressButton(IDOK),
    });
    CString strPath = Folder();
    CStringArray paths;
    CString strType;
    int nType = 0;
    EXPECT_EQ(ChoosePictureFromFileDialog(nullptr, strPath, CFileImageDlgNested::modePrintPictures, &strType, &nType,
                  &paths, options),
        1);
    EXPECT_EQ(title, "Print Selected Images");
    EXPECT_EQ(ok, "Print");
    EXPECT_FALSE(multipleVisible);
    EXPECT_FALSE(galleryEnabled);
    EXPECT_TRUE(proportional);
    EXPECT_FALSE(natural);
    ASSERT_EQ(paths.GetSize(), 2);
    EXPECT_STREQ(paths[0], a.c_str());
    EXPECT_STREQ(paths[1], b.c_str());
    EXPECT_STREQ(strPath, a.c_str());
    EXPECT_EQ(options[0], 1u);
    EXPECT_EQ(options[1], 1u) << "the flipped check box comes back";
    EXPECT_STREQ(thePrefs.GetPictureFolder(), Folder());
    EXPECT_EQ(GetHelpContext(), 98374u);
}

TEST_F(FileImageDlgTest, ASwitchButtonEndsWithItsCodeAndHandsOnTheFolderShown)
{
    Picture("a.bmp", 8, RGB(1, 2, 3));
    bool enabled = false;
    DriveActiveWindow({
        [&](HWND hDlg) {
            HWND hChild = ::GetWindow(hDlg, GW_CHILD);
            while (hChild != NULL && ::GetDlgItem(hChild, IDC_FILEIMG_GALLERY) == NULL)
                hChild = ::GetWindow(hChild, GW_HWNDNEXT);
            if (hChild == NULL)
                return false;
            enabled = Enabled(hChild, IDC_FILEIMG_GALLERY);
            Click(hChild, IDC_FILEIMG_GALLERY);
            return true;
        },
    });
    CString strPath = Folder() + "a.bmp";
    EXPECT_EQ(ChoosePictureFromFileDialog(nullptr, strPath, CFileImageDlgNested::modeOpenPicture), 33013);
    EXPECT_TRUE(enabled);
    EXPECT_STREQ(strPath, Folder()) << "the next picker starts in the folder shown";
    EXPECT_STREQ(thePrefs.GetPictureFolder(), Folder());
    EXPECT_EQ(GetHelpContext(), 98329u);
}

TEST_F(FileImageDlgTest, ASaveTakesTheCallersTitleAndOffersNoSwitch)
{
    CFileImageDlgNested dlg(CFileImageDlgNested::modeOpenDesign, "Generals (*.gnl)|*.gnl||", 0, Folder() + "new.gnl",
        nullptr, nullptr);
    dlg.SetCallerSettings("Save As", OFN_OVERWRITEPROMPT, FALSE);
    dlg.SetDefaultExtension("gnl");
    std::string title, name;
    bool galleryVisible = true, multipleVisible = true;
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (dlg.GetChildWindow() == NULL)
                return false;
            title = testing_support::WindowTitle(hDlg);
            name = Text(hDlg, edt1);
            galleryVisible = Visible(dlg.GetChildWindow(), IDC_FILEIMG_GALLERY);
            multipleVisible = Visible(dlg.GetChildWindow(), IDC_FILEIMG_MULTIPLE);
            ::SetDlgItemText(hDlg, edt1, "other");
            return true;
        },
        testing_support::PressButton(IDOK),
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(title, "Save As");
    EXPECT_EQ(name, "new.gnl");
    EXPECT_FALSE(galleryVisible);
    EXPECT_FALSE(multipleVisible) << "a save has no other picker to switch to";
    CString strPath;
    dlg.GetFolder(strPath);
    EXPECT_STREQ(strPath, Folder() + "other.gnl");
}

TEST(SplitMultiSelectResultTest, JoinsEveryNameToTheFolderWithinItsLimits)
{
    struct Case {
        const char* name;
        std::string buffer;
        int nLimit;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"one full path", std::string("C:\\p\\a.bmp\0\0", 12), -1, {"C:\\p\\a.bmp"}},
        {"folder and names", std::string("C:\\p\0a.bmp\0b.jpg\0\0", 19), -1, {"C:\\p\\a.bmp", "C:\\p\\b.jpg"}},
        {"a root keeps its one backslash", std::string("C:\\\0a.bmp\0b.bmp\0\0", 18), -1,
            {"C:\\a.bmp", "C:\\b.bmp"}},
        {"the limit stops the list", std::string("C:\\p\0a\0b\0c\0\0", 13), 2, {"C:\\p\\a", "C:\\p\\b"}},
        {"a limit of 0 is one path", std::string("C:\\p\0a\0b\0\0", 11), 0, {"C:\\p"}},
        {"an empty buffer", std::string("\0\0", 2), -1, {}},
        // No terminating zeros: nothing past the buffer is read.
        {"unterminated", std::string("C:\\p\0abc", 8), -1, {"C:\\p\\abc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CStringArray paths;
        paths.Add("stale");
        SplitMultiSelectResult(c.buffer.data(), int(c.buffer.size()), paths, c.nLimit);
        std::vector<std::string> got;
        for (int i = 0; i < paths.GetSize(); ++i)
            got.emplace_back(paths[i]);
        EXPECT_EQ(got, c.paths);
    }
}

} // namespace
