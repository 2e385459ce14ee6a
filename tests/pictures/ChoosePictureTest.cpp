// The picture chooser leading between its three pickers, driven by real
// messages on the headless back end: where it starts, which picker each
// switch button gives, the Preview hint, the answers and the path, and the
// option boxes of a caller without an option array.

#include "app/PrefData.h"
#include "assist/PreviewGrid.h"
#include "pictures/ChoosePicture.h"
#include "resources/assist.h"
#include "resources/filedlg.h"
#include "resources/gallery.h"
#include "resources/pictureopen.h"
#include "tests/pictures/PickerTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pickertest::FindDescendant;
using pickertest::HasChild;
using testing_support::DialogStep;
using testing_support::DriveActiveWindow;
using testing_support::WindowTitle;

enum class Picker { Gallery, OpenDialog, FileDialog, Hint, Other };

Picker Which(HWND hWnd)
{
    if (WindowTitle(hWnd) == "Picture Gallery")
        return Picker::Gallery;
    if (WindowTitle(hWnd) == "Picture Preview")
        return Picker::Hint;
    if (HasChild(hWnd, IDC_PICTURE_OPEN_FRAME))
        return Picker::OpenDialog;
    if (FindDescendant(hWnd, IDC_FILEIMG_FRAME) != NULL)
        return Picker::FileDialog;
    return Picker::Other;
}

// A button anywhere in the active picker (the file dialog's are in its
// child dialog, which gets the command).
void Click(HWND hWnd, int nID)
{
    HWND hButton = FindDescendant(hWnd, nID);
    HWND hOwner = hButton != NULL ? ::GetParent(hButton) : hWnd;
    ::PostMessage(hOwner, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(hButton));
}

class ChoosePictureTest : public pickertest::PickerTest {
protected:
    // Waits for the picker, records it, checks the option boxes and
    // presses the button.
    DialogStep In(Picker picker, int nButton)
    {
        return [this, picker, nButton](HWND hWnd) {
            const Picker now = Which(hWnd);
            if (now != picker)
                return false;
            m_seen.push_back(now);
            if (now != Picker::Hint) {
                for (int nID : {IDC_PICTURE_OPTION_PROPORTIONAL, IDC_PICTURE_OPTION_NATURAL_SIZE}) {
                    HWND hBox = FindDescendant(hWnd, nID);
                    if (hBox == NULL || ::SendMessage(hBox, BM_GETCHECK, 0, 0) != BST_UNCHECKED
                        || ::IsWindowEnabled(hBox) || !::IsWindowVisible(hBox))
                        m_boxesWrong.push_back(now);
                }
            }
            // The file dialog's cancel is the dialog's own.
            if (nButton == IDCANCEL || nButton == IDOK)
                ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
            else
                Click(hWnd, nButton);
            return true;
        };
    }

    int Choose(CString& strPath, BOOL bStartInGallery)
    {
        return ChoosePictureSource(&m_main, strPath, kPictureDialogPickOne, bStartInGallery);
    }

    std::vector<Picker> m_seen;
    std::vector<Picker> m_boxesWrong;
};

TEST_F(ChoosePictureTest, BrowseFromTheGalleryGivesTheOpenDialogAndTheSwitchesGoRound)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.AddlFlags &= ~PREF_ADDL_PREVIEW_HINT;
    CString strPath = m_strPics + "b.bmp";
    DriveActiveWindow({
        In(Picker::Gallery, IDC_GALLERY_BROWSE),
        In(Picker::OpenDialog, IDC_PICTURE_OPEN_SINGLE),
        In(Picker::FileDialog, IDC_FILEIMG_MULTIPLE),
        In(Picker::OpenDialog, IDC_PICTURE_OPEN_GALLERY),
        In(Picker::Gallery, IDC_GALLERY_BROWSE),
        // Browse returns to the picker that was current, not the other one.
        In(Picker::OpenDialog, IDC_PICTURE_OPEN_SINGLE),
        In(Picker::FileDialog, IDC_FILEIMG_GALLERY),
        In(Picker::Gallery, IDC_GALLERY_BROWSE),
        In(Picker::FileDialog, IDCANCEL),
    });
    EXPECT_EQ(kPictureNotChosen, Choose(strPath, TRUE));
    EXPECT_EQ((std::vector<Picker>{Picker::Gallery, Picker::OpenDialog, Picker::FileDialog, Picker::OpenDialog,
                  Picker::Gallery, Picker::OpenDialog, Picker::FileDialog, Picker::Gallery, Picker::FileDialog}),
        m_seen);
    EXPECT_TRUE(strPath.IsEmpty());
    // No option array: both boxes cleared and disabled in every picker.
    for (Picker picker : m_boxesWrong)
        ADD_FAILURE() << "option boxes not cleared and disabled in picker " << int(picker);
}

TEST_F(ChoosePictureTest, AMachineTooWeakForPreviewsBrowsesToTheFileDialog)
{
    thePrefs.Flags |= PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.AddlFlags &= ~PREF_ADDL_PREVIEW_HINT;
    CString strPath;
    DriveActiveWindow({
        In(Picker::Gallery, IDC_GALLERY_BROWSE),
        In(Picker::FileDialog, IDC_FILEIMG_MULTIPLE),
        In(Picker::OpenDialog, IDCANCEL),
    });
    EXPECT_EQ(kPictureNotChosen, Choose(strPath, TRUE));
    EXPECT_EQ((std::vector<Picker>{Picker::Gallery, Picker::FileDialog, Picker::OpenDialog}), m_seen);
}

TEST_F(ChoosePictureTest, ThePreviewHintComesBetweenPickersWhileItsBitIsSet)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.AddlFlags |= PREF_ADDL_PREVIEW_HINT;
    CString strPath;
    DriveActiveWindow({
        In(Picker::OpenDialog, IDC_PICTURE_OPEN_SINGLE),
        In(Picker::Hint, IDOK),
        In(Picker::FileDialog, IDCANCEL),
    });
    EXPECT_EQ(kPictureNotChosen, Choose(strPath, FALSE));
    EXPECT_EQ((std::vector<Picker>{Picker::OpenDialog, Picker::Hint, Picker::FileDialog}), m_seen);

    // Without the bit the file dialog follows at once.
    thePrefs.AddlFlags &= ~PREF_ADDL_PREVIEW_HINT;
    m_seen.clear();
    DriveActiveWindow({
        In(Picker::OpenDialog, IDC_PICTURE_OPEN_SINGLE),
        In(Picker::FileDialog, IDCANCEL),
    });
    EXPECT_EQ(kPictureNotChosen, Choose(strPath, FALSE));
    EXPECT_EQ((std::vector<Picker>{Picker::OpenDialog, Picker::FileDialog}), m_seen);
}

TEST_F(ChoosePictureTest, OkChoosesTheGridsFileAndRemembersItsFolder)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.SetPictureFolder(m_strEmpty);
    CString strPath = m_strPics + "b.bmp";
    DriveActiveWindow({In(Picker::OpenDialog, IDOK)});
    EXPECT_EQ(kPictureChosen, Choose(strPath, FALSE));
    EXPECT_EQ(m_strPics + "b.bmp", strPath);
    EXPECT_EQ(m_strPics, thePrefs.GetPictureFolder());
}

TEST_F(ChoosePictureTest, OkWithoutAFileAndCancelBothAnswerNotChosen)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    // An empty folder: OK has no file to give.
    thePrefs.SetPictureFolder(m_strEmpty);
    CString strPath;
    DriveActiveWindow({In(Picker::OpenDialog, IDOK)});
    EXPECT_EQ(kPictureNotChosen, Choose(strPath, FALSE));
    EXPECT_TRUE(strPath.IsEmpty());

    strPath = m_strPics + "a.bmp";
    DriveActiveWindow({In(Picker::OpenDialog, IDCANCEL)});
    EXPECT_EQ(kPictureNotChosen, Choose(strPath, FALSE));
    EXPECT_TRUE(strPath.IsEmpty());
}

TEST_F(ChoosePictureTest, TheCallersOptionsAndTypeTravelBothWays)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    DWORD options[kPictureOptionCount] = {0, 1};
    CString strType;
    int nType = 0;
    CString strPath = m_strPics + "c.bmp";
    UINT nNaturalShown = BST_UNCHECKED;
    DriveActiveWindow({[&](HWND hDlg) {
        if (Which(hDlg) != Picker::OpenDialog)
            return false;
        nNaturalShown = ::IsDlgButtonChecked(hDlg, IDC_PICTURE_OPTION_NATURAL_SIZE);
        ::CheckDlgButton(hDlg, IDC_PICTURE_OPTION_PROPORTIONAL, BST_CHECKED);
        ::CheckDlgButton(hDlg, IDC_PICTURE_OPTION_NATURAL_SIZE, BST_UNCHECKED);
        const int nLast = int(::SendDlgItemMessage(hDlg, IDC_PICTURE_OPEN_TYPE, CB_GETCOUNT, 0, 0)) - 1;
        ::SendDlgItemMessage(hDlg, IDC_PICTURE_OPEN_TYPE, CB_SETCURSEL, nLast, 0);
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICTURE_OPEN_TYPE, CBN_SELCHANGE),
            LPARAM(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_TYPE)));
        ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
        return true;
    }});
    ChoosePictureSource(&m_main, strPath, kPictureDialogPickOne, FALSE, FALSE, &strType, &nType, options);
    EXPECT_EQ(UINT(BST_CHECKED), nNaturalShown);
    EXPECT_EQ(1u, options[kOptionProportional]);
    EXPECT_EQ(0u, options[kOptionNaturalSize]);
    EXPECT_GT(nType, 0);
    EXPECT_FALSE(strType.IsEmpty());
}

TEST_F(ChoosePictureTest, TheScrapbookFlagRunsTheOpenDialogAsTheScrapbook)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    picture_files::WriteBmp(picture_files::Raster(4, 4), m_root + "/program/kept.bmp");
    std::string title;
    DriveActiveWindow({[&](HWND hDlg) {
        if (Which(hDlg) != Picker::OpenDialog)
            return false;
        title = WindowTitle(hDlg);
        // A click on the first cell, then OK.
        HWND hGrid = ::GetDlgItem(hDlg, CPreviewGrid::kGridId);
        ::PostMessage(hGrid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ::PostMessage(hGrid, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        ::PostMessage(hDlg, WM_COMMAND, IDOK, 0);
        return true;
    }});
    CString strPath;
    EXPECT_EQ(kPictureChosen, ChoosePictureSource(&m_main, strPath, kPictureDialogPickOne, FALSE, TRUE));
    EXPECT_EQ("Scrapbook", title);
    EXPECT_EQ(CString(pickertest::WindowsPath(m_root + "/program/kept.bmp").c_str()), strPath);
}

} // namespace
