// The drawing document's commands on the whole design: paper colour, page
// set-up, return to the saved design, the dialogs started from a design,
// and saving: the save-changes prompt, the file name asked for a new or
// predesigned design, logos and the collection file.

#include "model/DrawDoc.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/TextTable.h"
#include "app/Utilities.h"
#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "assist/HintDlgs.h"
#include "assist/SaveLogoDlg.h"
#include "assist/UploadDesignDlg.h"
#include "controls/DesignSaveDlg.h"
#include "controls/SaveAsDlg.h"
#include "html/TipOfDayDlg.h"
#include "model/ProjectKinds.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/Afx.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/storage/Storage.h"
#include "platform/ui/AfxMessageBox.h"
#include "print/PageSetup.h"
#include "resources/resource.h"
#include "resources/savedlg.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"
#include "text/dialogs/ReplaceTextDlg.h"
#include "text/dialogs/SpellChecker.h"

#include <algorithm>
#include <string>

namespace {

// Help topics of the save dialog: saving a design again, and a new one.
constexpr DWORD kHelpSaveAgain = 0x1E103;
constexpr DWORD kHelpSaveNew = 0x1E104;
// A proposed file name keeps at most this many characters before its
// extension.
constexpr int kShortNameLength = 8;
// The category a design saved through the Explorer dialog is filed under:
// that dialog has no field for one.
constexpr LPCTSTR kDefaultCategory = "Birthday";
constexpr LPCTSTR kCollectionFileName = "coorset.cst";

BOOL IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

BOOL PathEndsInLgo(const CString& strPath)
{
    CString strUpper = strPath;
    strUpper.MakeUpper();
    return strUpper.GetLength() >= 3 && strUpper.Right(3) == "LGO";
}

BOOL SameFile(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) == 0 || platform::IsSameFile(a, b);
}

// The name part of a path without its extension.
CString FileTitleOf(const CString& strPath)
{
    CString strName = strPath.Mid(strPath.ReverseFind('\\') + 1);
    const int nDot = strName.ReverseFind('.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}

// "name|patterns|...||" as the file dialogs' records take it.
std::string RecordFilter(const CString& strFilter)
{
    std::string filter(static_cast<LPCTSTR>(strFilter), static_cast<size_t>(strFilter.GetLength()));
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.push_back('\0');
    return filter;
}

// The filter of the template, or of every template with the first one
// chosen, followed by "All Files (*.*)".
CString SaveFilter(CDocTemplate* pTemplate, CString& strDefExt, int& nFilterIndex)
{
    CString strFilter;
    nFilterIndex = 1;
    if (pTemplate != nullptr) {
        AppendFilterSuffix(strFilter, pTemplate, &strDefExt, TRUE, &nFilterIndex);
    } else if (CWinApp* pApp = AfxGetApp()) {
        BOOL bFirst = TRUE;
        for (POSITION pos = pApp->GetFirstDocTemplatePosition(); pos != nullptr;) {
            CDocTemplate* pEach = pApp->GetNextDocTemplate(pos);
            const int nBefore = strFilter.GetLength();
            AppendFilterSuffix(strFilter, pEach, bFirst ? &strDefExt : nullptr, bFirst, bFirst ? &nFilterIndex : nullptr);
            bFirst = bFirst && strFilter.GetLength() == nBefore;
        }
    }
    strFilter += AfxFrameworkString(AFX_IDS_ALLFILTER);
    strFilter += "|*.*||";
    return strFilter;
}

// Releases a storage on every way out of the collection-file copy.
class StorageHolder {
public:
    StorageHolder() = default;
    ~StorageHolder()
    {
        if (m_p != nullptr)
            m_p->Release();
    }
    StorageHolder(const StorageHolder&) = delete;
    StorageHolder& operator=(const StorageHolder&) = delete;
    IStorage** operator&() { return &m_p; }
    IStorage* operator->() const { return m_p; }
    operator IStorage*() const { return m_p; }

private:
    IStorage* m_p = nullptr;
};

void ThrowIfFailed(HRESULT hr)
{
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

} // namespace

CString ShortenFileName(const CString& strName)
{
    const int nLength = strName.GetLength();
    if (nLength <= kShortNameLength)
        return strName;
    const BOOL bLastDigit = IsDigit(strName[nLength - 1]);
    const BOOL bBothDigits = bLastDigit && IsDigit(strName[nLength - 2]);
    if (bBothDigits)
        return strName.Left(kShortNameLength - 2) + strName.Right(2);
    if (bLastDigit)
        return strName.Left(kShortNameLength - 1) + strName.Right(1);
    return strName.Left(kShortNameLength);
}

// ---------------------------------------------------------------------------
// Saving

BOOL CDrawDoc::SaveModified()
{
    if (!IsModified())
        return TRUE;

    CString strName = GetPathName();
    if (IsLogo() || strName.IsEmpty())
        strName = GetTitle();
    if (strName.IsEmpty())
        strName = AfxFrameworkString(AFX_IDS_UNTITLED);
    CString strPrompt;
    LPCTSTR args[1] = {strName};
    AfxFormatStrings(strPrompt, AfxFrameworkString(AFX_IDP_ASK_TO_SAVE), args, 1);
    switch (AfxMessageBox(strPrompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        break;
    default:
        return TRUE;
    }

    // A file that cannot be written again is replaced by one the user
    // names.
    const CString strPath = GetPathName();
    const BOOL bWritable = !strPath.IsEmpty() && FileExists(strPath, 6);
    if (IsLogo()) {
        if (!SaveLogo(bWritable ? static_cast<LPCTSTR>(strPath) : nullptr))
            return FALSE;
        if (bWritable)
            SetTitle(strName);
        return TRUE;
    }
    // Through DoSave, so that a library design is saved under a new name
    // rather than over the library's file.
    return DoSave(bWritable ? static_cast<LPCTSTR>(strPath) : nullptr);
}

BOOL CDrawDoc::DoSaveBody(LPCTSTR lpszPathName, BOOL bReplace)
{
    CString strPath = lpszPathName != nullptr ? lpszPathName : "";
    if (strPath.IsEmpty()) {
        CDocTemplate* pTemplate = GetDocTemplate();
        // A library design never proposes the library's file.
        CString strProposed = m_bSavedAsPredesigned ? CString() : GetPathName();
        if (bReplace && strProposed.IsEmpty())
            strProposed = ProposeFileName();
        const CString strTitle = GetTitle();
        const UINT nTitle = bReplace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY;
        for (;;) {
            CString strChosen = strProposed;
            if (!PromptDesignFileName(strChosen, nTitle, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, bReplace, pTemplate)) {
                SetTitle(strTitle);
                return FALSE;
            }
            if (m_bSavedAsPredesigned && !GetPathName().IsEmpty() && SameFile(strChosen, GetPathName())
                && AfxMessageBox(IDP_OVERWRITE_PREDESIGNED, MB_YESNO) != IDYES)
                continue;
            strPath = strChosen;
            break;
        }
    }

    {
        CWaitCursor wait;
        if (!OnSaveDocument(strPath))
            return FALSE;
    }
    if (bReplace) {
        SetPathName(strPath, TRUE);
        UpdateTitle();
    }
    return TRUE;
}

CString CDrawDoc::ProposeFileName()
{
    CString strName = GetTitle();
    if (strName.GetLength() > kShortNameLength) {
        if (m_strDesignText.IsEmpty()) {
            strName = strName.Left(kShortNameLength);
        } else {
            const CString strEnding = " (" + m_strDesignText + ")";
            const int nEnding = strEnding.GetLength();
            if (strName.GetLength() >= nEnding && strName.Right(nEnding) == strEnding)
                strName = strName.Left(strName.GetLength() - nEnding);
            strName = ShortenFileName(strName);
        }
    }
    const int nCut = strName.FindOneOf(" #%;/\\.");
    if (nCut >= 0)
        strName = strName.Left(nCut);

    CString strExt;
    CDocTemplate* pTemplate = GetDocTemplate();
    if (pTemplate != nullptr && pTemplate->GetDocString(strExt, CDocTemplate::filterExt) && !strExt.IsEmpty())
        strName += strExt[0] == '.' ? strExt : "." + strExt;
    return strName;
}

BOOL CDrawDoc::PromptDesignFileName(CString& strPath, UINT nIDSTitle, DWORD dwFlags, BOOL bReplace,
    CDocTemplate* pTemplate)
{
    (void)bReplace;
    // As the framework's own save: without a running application there is
    // nobody to ask.
    if (AfxGetApp() == nullptr)
        return FALSE;
    CUserGuard users;

    CString strDefExt;
    int nFilterIndex = 1;
    const std::string filter = RecordFilter(SaveFilter(pTemplate, strDefExt, nFilterIndex));
    const CString strTitle = AfxFrameworkString(nIDSTitle);
    CWnd* pMain = AfxGetMainWnd();

    BOOL bOk = FALSE;
    CString strChosen;
    if (g_nPlatform == kPlatformCurrent) {
        CSaveAsDlg dlg(dwFlags);
        dlg.m_ofn.lpstrFilter = filter.c_str();
        dlg.m_ofn.nFilterIndex = static_cast<DWORD>(nFilterIndex);
        dlg.m_ofn.lpstrTitle = strTitle;
        // A name typed without an extension gets the kind's.
        dlg.m_ofn.lpstrDefExt = strDefExt.IsEmpty() ? nullptr : static_cast<LPCTSTR>(strDefExt);
        bOk = dlg.DoModal(strPath);
        if (bOk) {
            strChosen = dlg.GetPathName();
            if (pMain != nullptr)
                pMain->SendMessage(WM_WININICHANGE, 0, 0);
        }
    } else {
        CDesignSaveDlg dlg(FALSE, strDefExt.IsEmpty() ? nullptr : static_cast<LPCTSTR>(strDefExt), strPath, dwFlags,
            nullptr, pMain);
        dlg.m_ofn.lpstrFilter = filter.c_str();
        dlg.m_ofn.nFilterIndex = static_cast<DWORD>(nFilterIndex);
        dlg.m_ofn.lpstrTitle = strTitle;
        dlg.m_strCurrentPath = GetPathName();
        bOk = dlg.DoModal() == IDOK;
        if (bOk) {
            CString strFolder;
            dlg.GetFolder(strFolder, strChosen);
            m_strLastSaveLocation = strChosen;
        }
    }
    if (pMain != nullptr && pMain->GetSafeHwnd() != NULL)
        pMain->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    if (!bOk || strChosen.IsEmpty())
        return FALSE;
    strPath = strChosen;

    // Neither dialog asks for a name or a category: the design is filed
    // under its file title.
    DesignRecord record;
    record.nKind = GetDocKind();
    record.strPath = strChosen;
    record.strName = FileTitleOf(strChosen);
    record.strText = kDefaultCategory;
    CTableFile table;
    table.AddRecord(record, TRUE);
    return TRUE;
}

BOOL CDrawDoc::MakeLogoPath(const CString& strName, CString& strPath)
{
    CString strTrimmed = strName;
    strTrimmed.TrimLeft();
    strTrimmed.TrimRight();
    // The name becomes a file in the support folder and nothing else: no
    // folder, drive or way up may come in with it.
    if (!CSaveLogoDlg::IsValidLogoName(strTrimmed) || strTrimmed.Find("..") >= 0) {
        AfxMessageBox(IDP_LOGO_NAME_REFUSED, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    strPath = GetProgramPath("support\\", strTrimmed, ".lgo");
    return TRUE;
}

BOOL CDrawDoc::SaveLogo(LPCTSTR lpszPathName)
{
    CString strPath = lpszPathName != nullptr ? lpszPathName : "";
    if (strPath.IsEmpty()) {
        CSaveLogoDlg dlg(AfxGetMainWnd());
        if (dlg.DoModal() != IDOK)
            return FALSE;
        if (!MakeLogoPath(dlg.m_strName, strPath))
            return FALSE;
    }
    // The program knows a logo by its "(Logo)" title, which the path must
    // not replace.
    const CString strTitle = GetTitle();
    if (!OnSaveDocument(strPath))
        return FALSE;
    SetPathName(strPath, FALSE);
    SetTitle(strTitle);
    // A picture of the current surface goes beside the logo, its name
    // ending in "jpg"; the logo stays saved when the picture cannot be
    // written.
    if (CSurface* pView = GetSurfaceView(-1); pView != nullptr && strPath.GetLength() >= 3)
        pView->RenderToImage(strPath.Left(strPath.GetLength() - 3) + "jpg");
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->RemoveFromRecentFileList(strPath);
    return TRUE;
}

CString CDrawDoc::CollectionFilePath()
{
    char szFolder[MAX_PATH] = {};
    const DWORD nLength = ::GetTempPath(MAX_PATH, szFolder);
    CString strFolder = nLength > 0 && nLength < MAX_PATH ? CString(szFolder) : CString();
    if (!strFolder.IsEmpty() && strFolder[strFolder.GetLength() - 1] != '\\')
        strFolder += '\\';
    return strFolder + kCollectionFileName;
}

void CDrawDoc::WriteToCollectionFile()
{
    if (m_lpRootStg == nullptr)
        AfxThrowOleException(STG_E_INVALIDHANDLE);
    const CLSID clsid = GetDocKindClassId(GetDocKind()).clsid;
    const std::u16string path = platform::Utf16From1252(CollectionFilePath().View());

    StorageHolder pFile;
    if (FAILED(StgOpenStorage(path.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &pFile))) {
        ThrowIfFailed(StgCreateDocfile(path.c_str(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, &pFile));
        ThrowIfFailed(WriteClassStg(pFile, clsid));
    }
    CString strName;
    strName.Format("XSTOR%d", GetDocKind());
    const std::u16string name = platform::Utf16From1252(strName.View());
    StorageHolder pDesign;
    ThrowIfFailed(pFile->CreateStorage(name.c_str(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &pDesign));
    ThrowIfFailed(m_lpRootStg->CopyTo(0, nullptr, nullptr, pDesign));
    // Stamped after the copy, which brings the design root's own class.
    ThrowIfFailed(WriteClassStg(pDesign, clsid));
    ThrowIfFailed(pDesign->Commit(STGC_OVERWRITE));
    ThrowIfFailed(pFile->Commit(STGC_OVERWRITE));
}

BOOL CDrawDoc::WriteScratchStorage()
{
    try {
        WriteToCollectionFile();
        return TRUE;
    } catch (COleException* e) {
        const int nCause = CFileException::StorageErrorToException(e->m_sc);
        e->Delete();
        CString strText;
        const CString strPath = CollectionFilePath();
        LPCTSTR args[1] = {strPath};
        AfxFormatStrings(strText, AfxFrameworkString(AFX_IDP_FILE_NONE + static_cast<UINT>(nCause)), args, 1);
        AfxMessageBox(strText, MB_ICONEXCLAMATION);
        return FALSE;
    }
}

// ---------------------------------------------------------------------------
// Commands

void CDrawDoc::OnSaveDesign()
{
    CWaitCursor wait;
    if (IsLogo()) {
        SaveLogo(GetPathName());
        return;
    }
    const BOOL bHasPath = !GetPathName().IsEmpty();
    if ((thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) && bHasPath) {
        // The design frame saves in its own way.
        CView* pView = GetCurrentView();
        if (CFrameWnd* pFrame = pView != nullptr ? pView->GetParentFrame() : nullptr)
            pFrame->SendMessage(WM_TW_DOC_SAVE, 0, 0);
        return;
    }

    if (m_wDocFlags & DOC_FLAG_PREDESIGNED)
        m_wDocFlags |= DOC_FLAG_SAVING_PREDESIGNED;
    else
        m_wDocFlags &= ~WORD(DOC_FLAG_SAVING_PREDESIGNED);
    SetHelpContext(bHasPath ? kHelpSaveAgain : kHelpSaveNew);
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp != nullptr)
        pApp->LockMainWindowUpdate();
    DoFileSave();
    if (pApp != nullptr)
        pApp->UnlockMainWindowUpdate();
    auto* pMain = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    CFrameWnd* pActive = pMain != nullptr ? pMain->GetActiveFrame() : nullptr;
    if (CWnd* pChild = pActive != nullptr ? pActive->GetWindow(GW_CHILD) : nullptr)
        pChild->RedrawWindow();
    UpdateTitle();
    m_wDocFlags &= ~WORD(DOC_FLAG_SAVING_PREDESIGNED);
}

void CDrawDoc::OnUpdateSaveDesign(CCmdUI* pCmdUI)
{
    const BOOL bLogo = IsLogo();
    pCmdUI->SetText(bLogo ? "&Save Logo\tCtrl+S" : "&Save\tCtrl+S");
    pCmdUI->Enable(TRUE);
}

void CDrawDoc::OnUpdateSaveAs(CCmdUI* pCmdUI)
{
    const BOOL bAllowed = (thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) || !(m_wDocFlags & DOC_FLAG_FOLDING);
    pCmdUI->Enable(bAllowed && !PathEndsInLgo(GetPathName()) && !IsLogo());
}

void CDrawDoc::OnSaveLogo()
{
    SaveLogo(GetPathName());
}

void CDrawDoc::OnUpdateSaveLogo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!(PathEndsInLgo(GetPathName()) && !IsLogo()));
}

void CDrawDoc::OnPaperColor()
{
    COLORREF cr = m_crPaper;
    if (!ChooseColorDlg(AfxGetMainWnd(), cr, nullptr))
        return;
    m_crPaper = cr;
    SetModifiedFlag();
    UpdateAllViews(nullptr, HINT_PAPER_COLOR);
}

void CDrawDoc::OnPageSetup()
{
    DocQuickInfo copy = m_quickInfo;
    if (RunPageSetup(copy, AfxGetMainWnd()) != IDOK)
        return;
    const LONG nSetUpBefore = m_quickInfo[DocQuickInfo::Unset];
    // Value 8 is a switch: 0 shows the rulers.
    if (copy[DocQuickInfo::Rulers] == 0)
        m_wDocFlags |= DOC_FLAG_RULERS;
    else
        m_wDocFlags &= ~WORD(DOC_FLAG_RULERS);
    SetQuickInfo(copy);
    CreateSurfaces();
    UpdatePrinterMetrics();
    CreatePageGuideLines();
    if (m_nZoom == ZOOM_FIT) {
        m_sizeCachedSurface = CSize(0, 0);
        UpdatePrinterMetrics();
        UpdateAllViews(nullptr, HINT_ZOOM_OR_SURFACE);
    }
    if (m_quickInfo[DocQuickInfo::Unset] != nSetUpBefore) {
        CDWordArray order;
        AllocPageArray(order);
        SetCurrentSurface(order.GetSize() > 0 ? static_cast<int>(order[0]) : 0);
    }
    if (CView* pView = GetCurrentView())
        pView->Invalidate();
    SetModifiedFlag();
}

void CDrawDoc::OnUpdatePageSetup(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!IsLogo());
}

void CDrawDoc::OnRevert()
{
    const CString strPath = GetPathName();
    if (strPath.IsEmpty())
        return;
    if (AfxMessageBox(IDP_REVERT_CONFIRM, MB_YESNO) != IDYES)
        return;
    if (!FileExists(strPath)) {
        AfxMessageBox(IDP_REVERT_FAILED);
        return;
    }
    CWaitCursor wait;
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp != nullptr)
        pApp->LockMainWindowUpdate();
    // The document is gone after this; only locals from here on.
    OnCloseDocument();
    if (GetCurrentShape() == kShapeCrop)
        SetCurrentShape(kShapeSelect);
    if (CWinApp* pWinApp = AfxGetApp())
        pWinApp->OpenDocumentFile(strPath);
    if (pApp != nullptr)
        pApp->UnlockMainWindowUpdate();
}

void CDrawDoc::OnUpdateRevert(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!GetPathName().IsEmpty() && IsModified() && !IsLogo());
}

void CDrawDoc::OnTipOfTheDay()
{
    CTipOfDayDlg dlg(AfxGetMainWnd());
    dlg.DoModal();
}

void CDrawDoc::OnColorInformation()
{
    CColorHintDlg dlg(AfxGetMainWnd());
    dlg.DoModal();
}

void CDrawDoc::OnUploadDesign()
{
    CUploadDesignDlg dlg(AfxGetMainWnd());
    dlg.DoModal();
}

void CDrawDoc::OnSpellCheck()
{
    // The checker collects the texts and runs its dialog at once.
    CSpellChecker checker(this);
}

void CDrawDoc::OnReplaceText()
{
    CReplaceTextDlg dlg(this, AfxGetMainWnd());
    dlg.DoModal();
}
