#include "pictures/ChoosePicture.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/Utilities.h"
#include "app/main/DesignerApp.h"
#include "assist/HintDlgs.h"
#include "pictures/FileImageDlg.h"
#include "pictures/Image.h"
#include "pictures/PictureGalleryDlg.h"
#include "pictures/PictureOpenDlg.h"
#include "platform/framework/Frame.h"
#include "platform/framework/View.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/pictureopen.h"

namespace {

// The sound of opening a picker.
constexpr int kPickerSound = 4;

} // namespace

int ChoosePictureFromOpenDialog(CWnd* pParent, CString& strPath, CString& strTypeName, int& nTypeIndex,
    BOOL bScrapbook, DWORD* pOptions)
{
    CPictureOpenDlg dlg(pParent, strPath,
        bScrapbook ? CPictureOpenDlg::modeScrapbook : CPictureOpenDlg::modePictures, strTypeName, nTypeIndex,
        pOptions);
    dlg.DoModal();
    if (pOptions != nullptr) {
        for (int i = 0; i < kPictureOptionCount; ++i)
            pOptions[i] = dlg.m_nOptions[i] > 0 ? 1 : 0;
    }
    const int nResult = dlg.GetResult();
    strTypeName = dlg.m_strTypeName;
    nTypeIndex = dlg.m_nTypeIndex;
    if (nResult != kPickerCancelled) {
        // The folder is kept on a switch too, so the next picker opens where
        // the user was.
        const CString strFolder = dlg.GetFolder(strPath);
        if (!strFolder.IsEmpty())
            thePrefs.SetPictureFolder(strFolder);
    } else {
        strPath.Empty();
    }
    return nResult;
}

int ChoosePictureSource(CWnd* pParent, CString& strPath, int nFileDialogMode, BOOL bStartInGallery,
    BOOL bScrapbook, CString* pstrTypeName, int* pnTypeIndex, DWORD* pOptions)
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(kPickerSound);
    DisablePreviewsIfWeak();

    CString strTypeName = pstrTypeName != nullptr ? *pstrTypeName : CString();
    int nTypeIndex = pnTypeIndex != nullptr ? *pnTypeIndex : 0;
    int nCode = bStartInGallery ? kPickerGallery : kPickerSinglePreview;
    BOOL bFileDialog = (thePrefs.Flags & PREF_FLAG_NO_MULTI_PREVIEW) != 0;
    int nResult = kPictureNotChosen;
    for (;;) {
        const int nRan = nCode;
        int nEnd;
        if (nRan == kPickerGallery)
            nEnd = ChoosePictureFromGallery(strPath, strTypeName, nTypeIndex, pOptions);
        else if (bFileDialog)
            nEnd = ChoosePictureFromFileDialog(pParent, strPath, nFileDialogMode, &strTypeName, &nTypeIndex,
                nullptr, pOptions);
        else
            nEnd = ChoosePictureFromOpenDialog(pParent, strPath, strTypeName, nTypeIndex, bScrapbook, pOptions);

        if (nEnd == kPickerSinglePreview || nEnd == kPickerGallery) {
            // Single Preview and its counterpart swap the two non-gallery
            // pickers; Browse in the gallery returns to the current one.
            if (nEnd == kPickerSinglePreview && nRan != kPickerGallery)
                bFileDialog = !bFileDialog;
            if (nEnd == kPickerSinglePreview && (thePrefs.AddlFlags & PREF_ADDL_PREVIEW_HINT) != 0)
                ShowPreviewHint(pParent);
            nCode = nEnd;
            continue;
        }
        if (nEnd == kPickerChosen && !strPath.IsEmpty()) {
            nResult = kPictureChosen;
        } else {
            if (nEnd != kPickerChosen)
                strPath.Empty();
            nResult = kPictureNotChosen;
        }
        break;
    }
    if (pstrTypeName != nullptr)
        *pstrTypeName = strTypeName;
    if (pnTypeIndex != nullptr)
        *pnTypeIndex = nTypeIndex;
    return nResult;
}

int ChoosePictureFromGallery(CString& strPath, CString& strTypeName, int& nTypeIndex, DWORD* pOptions)
{
    CWnd* pParent = nullptr;
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
        pParent = pFrame->GetActiveView();
    CImageCategoryDlg dlg(pParent, strTypeName, nTypeIndex, pOptions);
    dlg.DoModal();
    const int nResult = dlg.GetResult();
    strTypeName = dlg.GetTypeName();
    nTypeIndex = dlg.GetTypeIndex();
    dlg.CopyOptions(pOptions);
    if (nResult != kPickerChosen)
        return nResult;
    strPath = dlg.GetChosenPath();
    if (strPath.IsEmpty() || FileExists(strPath))
        return nResult;
    // A gallery keeps paths; pictures that moved with their folder are
    // looked for under the gallery's folder word first.
    CImage image;
    if (image.FindMovedPicture(strPath, "images") || image.FindMovedPicture(strPath, "art"))
        return nResult;
    CString strText;
    strText.LoadString(IDS_PICTURE_UNABLE_TO_FIND);
    AfxMessageBox(strText + strPath, MB_OK);
    return 0;
}
