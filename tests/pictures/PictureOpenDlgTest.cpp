// The picture Open dialog on the headless back end, driven by real
// messages: its type lists and start folders, the folder edit, Preview Now,
// Preview Options and resizing.

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/Utilities.h"
#include "assist/PreviewGrid.h"
#include "controls/FolderTree.h"
#include "pictures/ChoosePicture.h"
#include "pictures/PictureOpenDlg.h"
#include "platform/files/DriveTable.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/pictureopen.h"
#include "resources/previewgrid.h"
#include "platform/ui/CommDlg.h"
#include "tests/pictures/PickerTestSupport.h"
#include "tests/print/CatalogPageSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using kittest::WindowsPath;
using testing_support::DriveActiveWindow;
using testing_support::PressButton;
using testing_support::WindowTitle;

// The Open dialog (not the Scrapbook, not another dialog) is up.
bool IsOpenDialog(HWND hDlg)
{
    return ::GetDlgItem(hDlg, IDC_PICTURE_OPEN_FRAME) != NULL;
}

CRect ClientRectOf(HWND hDlg, int nID)
{
    CRect rc;
    ::GetWindowRect(::GetDlgItem(hDlg, nID), &rc);
    ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

CString DlgText(HWND hDlg, int nID)
{
    char text[300] = {};
    ::GetDlgItemText(hDlg, nID, text, sizeof text);
    return text;
}

using PictureOpenDlgTest = pickertest::PickerTest;

TEST_F(PictureOpenDlgTest, EachModeHasItsTypeList)
{
    const CString strFilter = BuildPictureOpenFilter();
    CPictureOpenDlg pictures(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    ASSERT_GT(pictures.m_nTypes, 1);
    // Each name and pattern pair of the picture filter is one type.
    CString strJoined;
    for (int i = 0; i < pictures.m_nTypes; ++i)
        strJoined += pictures.m_typeNames[i] + "|" + pictures.m_typePatterns[i] + "|";
    EXPECT_EQ(0, strFilter.Find(strJoined));
    EXPECT_EQ(pictures.m_typePatterns[0], pictures.m_strPattern);

    CPictureOpenDlg designs(&m_main, CString(), CPictureOpenDlg::modeDesigns, CString(), 0, nullptr);
    ASSERT_GE(designs.m_nTypes, 1);
    EXPECT_STREQ("All Documents", designs.m_typeNames[0]);
    EXPECT_EQ(designs.m_typePatterns[0], designs.m_strPattern);

    CPictureOpenDlg scrapbook(&m_main, CString(), CPictureOpenDlg::modeScrapbook, CString(), 0, nullptr);
    EXPECT_EQ(0, scrapbook.m_nTypes);
    EXPECT_EQ(GetPictureFilePatterns(), scrapbook.m_strPattern);
}

TEST_F(PictureOpenDlgTest, TypeComboSelectsTheCallersTypeAndRefills)
{
    CPictureOpenDlg probe(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    ASSERT_GT(probe.m_nTypes, 2);
    // The Windows bitmap type lists only the .bmp files.
    int nBmp = -1;
    for (int i = 1; i < probe.m_nTypes; ++i) {
        if (probe.m_typePatterns[i].CompareNoCase("*.bmp") == 0)
            nBmp = i;
    }
    ASSERT_GE(nBmp, 1);
    CPictureOpenDlg dlg(&m_main, CString(), CPictureOpenDlg::modePictures, probe.m_typeNames[nBmp], 0, nullptr);
    int nComboCount = 0, nComboSel = -1, nItems = -1;
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            nComboCount = int(::SendDlgItemMessage(hDlg, IDC_PICTURE_OPEN_TYPE, CB_GETCOUNT, 0, 0));
            nComboSel = int(::SendDlgItemMessage(hDlg, IDC_PICTURE_OPEN_TYPE, CB_GETCURSEL, 0, 0));
            nItems = dlg.m_pGrid->GetItemCount();
            return true;
        },
        PressButton(IDCANCEL),
    });
    dlg.DoModal();
    EXPECT_EQ(probe.m_nTypes, nComboCount);
    EXPECT_EQ(nBmp, nComboSel);
    EXPECT_EQ(nBmp, dlg.m_nTypeIndex);
    EXPECT_EQ(3, nItems);
    EXPECT_EQ(kPickerCancelled, dlg.GetResult());
}

TEST_F(PictureOpenDlgTest, JpegAndTiffFilesAreListedUnderTheirTypesWhateverTheirExtensionsLength)
{
    const picture_files::Raster raster(8, 6, RGB(40, 40, 200));
    for (const char* name : {"/empty/photo.jpeg", "/empty/shot.jpg", "/empty/scan.TIFF", "/empty/old.tif"})
        picture_files::WriteBmp(raster, m_root + name);
    CPictureOpenDlg dlg(&m_main, m_strEmpty + "photo.jpeg", CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    std::vector<std::string> listed;
    auto listAs = [&](const char* type) {
        return [&, type](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            const LRESULT nType = ::SendDlgItemMessage(hDlg, IDC_PICTURE_OPEN_TYPE, CB_FINDSTRINGEXACT, WPARAM(-1),
                reinterpret_cast<LPARAM>(type));
            ::SendDlgItemMessage(hDlg, IDC_PICTURE_OPEN_TYPE, CB_SETCURSEL, WPARAM(nType), 0);
            ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICTURE_OPEN_TYPE, CBN_SELCHANGE),
                LPARAM(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_TYPE)));
            std::string names;
            for (int i = 0; i < dlg.m_pGrid->GetItemCount(); ++i)
                names += std::string(dlg.m_pGrid->GetFilePath(i).Mid(m_strEmpty.GetLength())) + " ";
            listed.push_back(names);
            return true;
        };
    };
    DriveActiveWindow({listAs("All Picture files"), listAs("JPG - JPEG"), listAs("TIF - Tagged Image File Format "),
        PressButton(IDCANCEL)});
    dlg.DoModal();
    EXPECT_EQ(listed, (std::vector<std::string>{"old.tif photo.jpeg scan.TIFF shot.jpg ", "photo.jpeg shot.jpg ",
                          "old.tif scan.TIFF "}));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PictureOpenDlgTest, StartFolderFallsBackToPreferencesThenTheUsersHome)
{
    const CString strFile = m_strPics + "b.bmp";
    CPictureOpenDlg existing(&m_main, strFile, CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    EXPECT_EQ(m_strPics, existing.m_strStartFolder);
    EXPECT_STREQ("b.bmp", existing.m_strStartFile);

    // A file that is gone: the preferences' folder of the mode.
    CPictureOpenDlg gone(&m_main, m_strPics + "gone.bmp", CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    EXPECT_EQ(m_strPics, gone.m_strStartFolder);
    EXPECT_TRUE(gone.m_strStartFile.IsEmpty());
    CPictureOpenDlg designs(&m_main, CString(), CPictureOpenDlg::modeDesigns, CString(), 0, nullptr);
    EXPECT_EQ(thePrefs.GetDesignFolder(), designs.m_strStartFolder);

    // A preferences folder that is gone: the user's home, never the
    // program's folder; the Scrapbook, whose pictures lie there, has none.
    thePrefs.SetPictureFolder(m_strPics + "missing\\");
    CPictureOpenDlg missing(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    EXPECT_EQ(GetUserHomeFolder(), missing.m_strStartFolder);
    CPictureOpenDlg scrapbook(&m_main, CString(), CPictureOpenDlg::modeScrapbook, CString(), 0, nullptr);
    EXPECT_EQ(GetProgramPath(), scrapbook.m_strStartFolder);
}

TEST_F(PictureOpenDlgTest, EnterInTheFolderEditMovesTheTreeAndStaysOpen)
{
    CPictureOpenDlg dlg(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    CString strStartLabel, strTreePath, strLabel, strEdit;
    int nItems = -1;
    BOOL bOpenAfterEnter = FALSE, bOpenAfterInvalid = FALSE;
    auto typeAndEnter = [](const CString& strText) {
        return [strText](HWND hDlg) {
            HWND hEdit = ::GetDlgItem(hDlg, IDC_PICTURE_OPEN_FOLDER);
            ::SetFocus(hEdit);
            ::SetWindowText(hEdit, strText);
            ::PostMessage(hEdit, WM_KEYDOWN, VK_RETURN, 0);
            return true;
        };
    };
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            strStartLabel = DlgText(hDlg, IDC_PICTURE_OPEN_LABEL);
            return true;
        },
        typeAndEnter(m_strOther.Left(m_strOther.GetLength() - 1)),
        [&](HWND hDlg) {
            bOpenAfterEnter = IsOpenDialog(hDlg);
            strTreePath = dlg.m_pTree->GetSelectedPath();
            strLabel = DlgText(hDlg, IDC_PICTURE_OPEN_LABEL);
            strEdit = DlgText(hDlg, IDC_PICTURE_OPEN_FOLDER);
            nItems = dlg.m_pGrid->GetItemCount();
            return true;
        },
        typeAndEnter(m_strPics + "nowhere"),
        [&](HWND hDlg) {
            bOpenAfterInvalid = IsOpenDialog(hDlg);
            ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    dlg.DoModal();
    EXPECT_STREQ("Pictures : 3", strStartLabel);
    EXPECT_TRUE(bOpenAfterEnter);
    EXPECT_EQ(m_strOther.Left(m_strOther.GetLength() - 1), strTreePath);
    EXPECT_EQ(m_strOther, strEdit);
    EXPECT_STREQ("Pictures : 2", strLabel);
    EXPECT_EQ(2, nItems);
    EXPECT_TRUE(bOpenAfterInvalid);
    ASSERT_EQ(1u, m_messages.size());
    EXPECT_EQ("Invalid Directory", m_messages[0]);
    EXPECT_EQ(UINT(MB_ICONSTOP), m_types[0] & MB_ICONMASK);
    EXPECT_EQ(kPickerCancelled, dlg.GetResult());
}

TEST_F(PictureOpenDlgTest, PreviewNowDrawsThePicturesWhenAutoPreviewIsOff)
{
    CPrefData::SetPreviewImage(0);
    CPictureOpenDlg dlg(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    BOOL bNowEnabled = FALSE, bAutoChecked = TRUE, bThumbBefore = TRUE, bThumbAfter = FALSE;
    BOOL bNowAfterAuto = TRUE;
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            bNowEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_PREVIEW_NOW));
            bAutoChecked = ::IsDlgButtonChecked(hDlg, IDC_PICTURE_OPEN_AUTO_PREVIEW) == BST_CHECKED;
            bThumbBefore = dlg.m_pGrid->HasThumbnail(0);
            return true;
        },
        PressButton(IDC_PICTURE_OPEN_PREVIEW_NOW),
        [&](HWND) {
            bThumbAfter = dlg.m_pGrid->HasThumbnail(0);
            return bThumbAfter == TRUE;
        },
        [](HWND hDlg) {
            ::PostMessage(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_AUTO_PREVIEW), BM_CLICK, 0, 0);
            return true;
        },
        [&](HWND hDlg) {
            bNowAfterAuto = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_PREVIEW_NOW));
            ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    dlg.DoModal();
    EXPECT_TRUE(bNowEnabled);
    EXPECT_FALSE(bAutoChecked);
    EXPECT_FALSE(bThumbBefore);
    EXPECT_TRUE(bThumbAfter);
    // Auto Preview turned on: Preview Now has nothing left to do, and the
    // choice is the user's from now on.
    EXPECT_FALSE(bNowAfterAuto);
    EXPECT_EQ(1, CPrefData::GetPreviewImage());
}

TEST_F(PictureOpenDlgTest, OptionsRefillsTheGridAndKeepsTheCurrentFile)
{
    CPictureOpenDlg dlg(&m_main, m_strPics + "b.bmp", CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    CString strBefore, strAfter;
    int nSizeAfter = 0, nItemsAfter = 0;
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            strBefore = dlg.m_pGrid->GetCurrentFile();
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICTURE_OPEN_OPTIONS, BN_CLICKED), 0);
            return true;
        },
        [&](HWND hDlg) {
            if (WindowTitle(hDlg) != "Preview Options")
                return false;
            ::CheckRadioButton(hDlg, IDC_PREVIEW_SMALL, IDC_PREVIEW_LARGE, IDC_PREVIEW_LARGE);
            ::PostMessage(hDlg, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            strAfter = dlg.m_pGrid->GetCurrentFile();
            nSizeAfter = dlg.m_pGrid->GetPreviewSize();
            nItemsAfter = dlg.m_pGrid->GetItemCount();
            ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    dlg.DoModal();
    EXPECT_EQ(m_strPics + "b.bmp", strBefore);
    EXPECT_EQ(strBefore, strAfter);
    EXPECT_EQ(160, nSizeAfter);
    EXPECT_EQ(3, nItemsAfter);
}

TEST_F(PictureOpenDlgTest, ResizingKeepsTheButtonsDistancesAndGrowsThePreview)
{
    CPictureOpenDlg dlg(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    const std::vector<int> buttons{IDOK, IDCANCEL, IDC_PICTURE_OPEN_HELP, IDC_PICTURE_OPEN_OPTIONS,
        IDC_PICTURE_OPEN_PRINT, IDC_PICTURE_OPEN_SINGLE};
    std::vector<CSize> before, after;
    CRect rcFrameBefore, rcFrameAfter, rcTreeBefore, rcTreeAfter, rcGrid;
    auto distances = [&](HWND hDlg, std::vector<CSize>& out) {
        CRect rcClient;
        ::GetClientRect(hDlg, &rcClient);
        for (int nID : buttons) {
            const CRect rc = ClientRectOf(hDlg, nID);
            out.push_back(CSize(rcClient.right - rc.right, rcClient.bottom - rc.bottom));
        }
    };
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            distances(hDlg, before);
            rcFrameBefore = ClientRectOf(hDlg, IDC_PICTURE_OPEN_FRAME);
            rcTreeBefore = ClientRectOf(hDlg, IDC_PICTURE_OPEN_TREE);
            CRect rcWindow;
            ::GetWindowRect(hDlg, &rcWindow);
            ::SetWindowPos(hDlg, NULL, 0, 0, rcWindow.Width() - 120, rcWindow.Height() - 60,
                SWP_NOZORDER | SWP_NOMOVE);
            return true;
        },
        [&](HWND hDlg) {
            distances(hDlg, after);
            rcFrameAfter = ClientRectOf(hDlg, IDC_PICTURE_OPEN_FRAME);
            rcTreeAfter = ClientRectOf(hDlg, IDC_PICTURE_OPEN_TREE);
            ::GetWindowRect(dlg.m_pGrid->m_hWnd, &rcGrid);
            ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rcGrid), 2);
            ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    dlg.DoModal();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].cx, after[i].cx) << "button " << buttons[i];
        EXPECT_EQ(before[i].cy, after[i].cy) << "button " << buttons[i];
    }
    EXPECT_EQ(rcFrameBefore.Width() - 120, rcFrameAfter.Width());
    EXPECT_EQ(rcFrameBefore.Height() - 60, rcFrameAfter.Height());
    EXPECT_EQ(rcTreeBefore.Height() - 60, rcTreeAfter.Height());
    EXPECT_EQ(rcFrameAfter.left + CPictureOpenDlg::kGridInset, rcGrid.left);
    EXPECT_EQ(rcFrameAfter.bottom - CPictureOpenDlg::kGridInset, rcGrid.bottom);
}

TEST_F(PictureOpenDlgTest, TheScrapbookShowsItsFolderWithoutTreeOrTypes)
{
    picture_files::WriteBmp(picture_files::Raster(4, 4), m_root + "/program/kept.bmp");
    CPictureOpenDlg dlg(&m_main, CString(), CPictureOpenDlg::modeScrapbook, CString(), 0, nullptr);
    std::string title;
    CString strLabel, strGallery;
    BOOL bTreeShown = TRUE, bEditShown = TRUE, bStatusShown = TRUE, bPrintEnabled = FALSE, bHasCombo = TRUE;
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            title = WindowTitle(hDlg);
            bTreeShown = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_TREE));
            bEditShown = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_FOLDER));
            bStatusShown = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_STATUS));
            bHasCombo = ::GetDlgItem(hDlg, IDC_PICTURE_OPEN_TYPE) != NULL;
            bPrintEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_PRINT));
            strLabel = DlgText(hDlg, IDC_PICTURE_OPEN_LABEL);
            strGallery = DlgText(hDlg, IDC_PICTURE_OPEN_GALLERY);
            return true;
        },
        PressButton(IDC_PICTURE_OPEN_GALLERY),
    });
    dlg.DoModal();
    EXPECT_EQ("Scrapbook", title);
    EXPECT_FALSE(bTreeShown || bEditShown || bStatusShown || bHasCombo);
    EXPECT_TRUE(bPrintEnabled);
    EXPECT_STREQ("Pictures : 1", strLabel);
    EXPECT_STREQ("&Picture Gallery", strGallery);
    EXPECT_EQ(kPickerGallery, dlg.GetResult());
}

TEST_F(PictureOpenDlgTest, AnEmptyFolderCannotBePrintedOrPreviewed)
{
    CPrefData::SetPreviewImage(0);
    thePrefs.SetPictureFolder(m_strEmpty);
    CPictureOpenDlg empty(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    BOOL bPrintEnabled = TRUE, bNowEnabled = TRUE;
    CString strLabel;
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            bPrintEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_PRINT));
            bNowEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_PREVIEW_NOW));
            strLabel = DlgText(hDlg, IDC_PICTURE_OPEN_LABEL);
            return true;
        },
        PressButton(IDOK),
    });
    empty.DoModal();
    EXPECT_FALSE(bPrintEnabled);
    EXPECT_FALSE(bNowEnabled);
    EXPECT_STREQ("Pictures : 0", strLabel);
    // OK without a file: the dialog says chosen, the path stays empty.
    CString strPath = "C:\\x.bmp";
    EXPECT_EQ(kPickerChosen, empty.GetResult());
    EXPECT_TRUE(empty.GetFolder(strPath).IsEmpty());
    EXPECT_TRUE(strPath.IsEmpty());
}

TEST_F(PictureOpenDlgTest, PrintPictureFolderPrintsTheFolderAsACatalog)
{
    REQUIRE_TESTDATA();
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    namespace fs = std::filesystem;
    const fs::path data(THREADWICK_TESTDATA_DIR);
    const std::string folder = m_root + "/catalog";
    fs::create_directories(folder);
    fs::copy_file(data / "bmp/src-pillow__hopper.bmp", folder + "/a-hopper.bmp");
    fs::copy_file(data / "bmp/github-haraldk_TwelveMonkeys__blauesglas_24.bmp", folder + "/b-glass.bmp");
    fs::copy_file(data / "png/bin-libsixel-examples__basi0g08.png", folder + "/c-grey.png");
    fs::copy_file(data / "jpeg/bin-gdk-pixbuf-tests__dpi.jpeg", folder + "/d-photo.jpg");
    fs::copy_file(data / "png/bin-libsixel-examples__basn2c08.png", folder + "/e-colours.png");
    thePrefs.SetPictureFolder((WindowsPath(folder) + "\\").c_str());
    const std::string pdf = m_root + "/catalog.pdf";

    CPictureOpenDlg dlg(&m_main, CString(), CPictureOpenDlg::modePictures, CString(), 0, nullptr);
    int nPrintDialogs = 0;
    DriveActiveWindow({
        [](HWND hDlg) {
            if (!IsOpenDialog(hDlg) || !::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_PRINT)))
                return false;
            PressButton(IDC_PICTURE_OPEN_PRINT)(hDlg);
            return true;
        },
        // The print dialog, then the PDF printer's file name.
        [&](HWND hDlg) {
            if (IsOpenDialog(hDlg) || ::GetDlgItem(hDlg, IDOK) == NULL || ::GetDlgItem(hDlg, edt1) != NULL)
                return false;
            ++nPrintDialogs;
            PressButton(IDOK)(hDlg);
            return true;
        },
        [&](HWND hDlg) {
            if (::GetDlgItem(hDlg, edt1) == NULL)
                return false;
            ::SetDlgItemText(hDlg, edt1, WindowsPath(pdf).c_str());
            PressButton(IDOK)(hDlg);
            return true;
        },
        [](HWND hDlg) {
            if (!IsOpenDialog(hDlg))
                return false;
            PressButton(IDCANCEL)(hDlg);
            return true;
        },
    });
    dlg.DoModal();
    EXPECT_EQ(nPrintDialogs, 1);

    const std::string prefix = m_root + "/page";
    ASSERT_EQ(0, std::system(("pdftoppm -r 50 '" + pdf + "' '" + prefix + "'").c_str()));
    fwtest::PpmImage page;
    ASSERT_TRUE(fwtest::ReadPpm(prefix + "-1.ppm", page));
    const auto cells = catalogtest::CellInk(page, 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cells[size_t(i)].first > 200, i < 5) << cells[size_t(i)].first;
        EXPECT_EQ(cells[size_t(i)].second > 5, i < 5) << cells[size_t(i)].second;
    }
}

} // namespace
