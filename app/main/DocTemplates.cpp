#include "app/main/DocTemplates.h"

#include "app/PrefData.h"
#include "app/Utilities.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "assist/HintDlgs.h"
#include "controls/DesignFileKind.h"
#include "model/DocKinds.h"
#include "model/ProjectKinds.h"
#include "pictures/ChoosePicture.h"
#include "pictures/FileImageDlg.h"
#include "pictures/PictureOpenDlg.h"
#include "platform/base/CodePage.h"
#include "platform/base/Resources.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/Document.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/View.h"
#include "platform/storage/Storage.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"

IMPLEMENT_DYNAMIC(CDesignDocTemplate, CMultiDocTemplate)

namespace {

// Help topic of the File Open dialog.
constexpr DWORD kFileOpenHelpContext = 0x1E101;
// Open-design limits.
constexpr int kMaxDocumentsOldPlatform = 3;
constexpr int kMaxDocuments = 6;
constexpr int kMaxDocumentsInWizard = 15;
// IsDesignStorageFile's answer for a compound file of another class.
constexpr HRESULT kNotDesignClass = HRESULT(-1);

template <typename Fn>
void ForEachDesignTemplate(Fn fn)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    POSITION pos = pApp->GetFirstDocTemplatePosition();
    while (pos) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(pos);
        if (!fn(pTemplate))
            return;
    }
}

// Whether some template of the application would open the file at all.
BOOL AnyTemplateClaims(LPCTSTR lpszPathName)
{
    BOOL bClaimed = FALSE;
    ForEachDesignTemplate([&](CDocTemplate* pTemplate) {
        CDocument* pMatch = NULL;
        bClaimed = pTemplate->MatchDocType(lpszPathName, pMatch) != CDocTemplate::noAttempt;
        return !bClaimed;
    });
    return bClaimed;
}

} // namespace

// ---- The template -----------------------------------------------------------

CDesignDocTemplate::CDesignDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
    CRuntimeClass* pViewClass, UINT nIDDocString, int nKind)
    : CMultiDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_nIDDocString(nIDDocString), m_nKind(nKind)
{
}

CDesignDocTemplate::~CDesignDocTemplate()
{
    if (!m_bOwnsMenu)
        m_hMenuShared = NULL;
}

BOOL CDesignDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const
{
    CString strFull;
    if (!strFull.LoadString(m_nIDDocString)) {
        rString.Empty();
        return FALSE;
    }
    return platform::GetDocString(strFull, static_cast<int>(index), rString);
}

CDocTemplate::Confidence CDesignDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = NULL;
    if (m_nKind < 0 || m_nKind >= kDocKindCount || !lpszPathName || !*lpszPathName)
        return noAttempt;

    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* pDoc = GetNextDoc(pos);
        const CString& strOpen = pDoc->GetPathName();
        if (!strOpen.IsEmpty() && platform::IsSameFile(strOpen, lpszPathName)) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }

    const std::u16string path = platform::Utf16From1252(lpszPathName);
    CLSID clsid{};
    if (StgIsStorageFile(path.c_str()) == S_OK && SUCCEEDED(GetClassFile(path.c_str(), &clsid))
        && IsDocKindClassId(GetDocKindClassId(m_nKind), clsid))
        return yesAttemptNative;
    return noAttempt;
}

CDocument* CDesignDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL)
{
    g_nNewDesignMode = 0;
    return CMultiDocTemplate::OpenDocumentFile(lpszPathName, !m_bHidden);
}

void CDesignDocTemplate::ShareMenu(HMENU hMenu)
{
    if (m_hMenuShared && m_hMenuShared != hMenu)
        ::DestroyMenu(m_hMenuShared);
    m_bOwnsMenu = FALSE;
    m_hMenuShared = hMenu;
}

// ---- Registration and lookups -----------------------------------------------

HMENU RegisterDocTemplates(CWinApp* pApp)
{
    if (!pApp)
        return NULL;
    struct Kind {
        CRuntimeClass* pDocClass;
        UINT nIDDocString;
        int nKind;
    };
    const Kind kinds[] = {
        {RUNTIME_CLASS(CTovellDoc), IDR_SHIRTTYPE, DOC_KIND_SHIRT},
        {RUNTIME_CLASS(CApparelDoc), IDR_APPARELTYPE, DOC_KIND_APPAREL},
        {RUNTIME_CLASS(CMousepadDoc), IDR_MOUSEPADTYPE, DOC_KIND_MOUSEPAD},
        {RUNTIME_CLASS(CCalendarDoc), IDR_CALENDARTYPE, DOC_KIND_CALENDAR},
        {RUNTIME_CLASS(CGiftTagDoc), IDR_LABELTYPE, DOC_KIND_LABEL},
        {RUNTIME_CLASS(CGeneralDoc), IDR_GENERALTYPE, DOC_KIND_GENERAL},
    };
    HMENU hSharedMenu = NULL;
    for (const Kind& kind : kinds) {
        CDesignDocTemplate* pTemplate = new CDesignDocTemplate(IDR_DESIGNTYPE, kind.pDocClass,
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface), kind.nIDDocString, kind.nKind);
        pTemplate->SetContainerInfo(IDR_INPLACE_CONTAINER);
        if (kind.nKind == DOC_KIND_SHIRT) {
            pApp->AddDocTemplate(pTemplate);
            hSharedMenu = pTemplate->m_hMenuShared;
        } else {
            pTemplate->ShareMenu(hSharedMenu);
            pApp->AddDocTemplate(pTemplate);
        }
    }
    return hSharedMenu;
}

CDesignDocTemplate* FindDocTemplateByKind(int nKind)
{
    CDesignDocTemplate* pFound = NULL;
    ForEachDesignTemplate([&](CDocTemplate* pTemplate) {
        CDesignDocTemplate* pDesign = dynamic_cast<CDesignDocTemplate*>(pTemplate);
        if (pDesign && pDesign->GetKind() == nKind)
            pFound = pDesign;
        return pFound == NULL;
    });
    return pFound;
}

CDocument* FindOpenDocument(LPCTSTR lpszPathName)
{
    CDocument* pFound = NULL;
    if (!lpszPathName || !*lpszPathName)
        return NULL;
    ForEachDesignTemplate([&](CDocTemplate* pTemplate) {
        CDocument* pMatch = NULL;
        if (pTemplate->MatchDocType(lpszPathName, pMatch) == CDocTemplate::yesAlreadyOpen)
            pFound = pMatch;
        return pFound == NULL;
    });
    return pFound;
}

void ActivateDocumentFrames(CDocument* pDoc)
{
    if (!pDoc)
        return;
    POSITION pos = pDoc->GetFirstViewPosition();
    CView* pView = pos ? pDoc->GetNextView(pos) : NULL;
    CFrameWnd* pFrame = pView ? pView->GetParentFrame() : NULL;
    if (!pFrame)
        return;
    pFrame->ActivateFrame(-1);
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain != pFrame && pMain->IsFrameWnd())
        static_cast<CFrameWnd*>(pMain)->ActivateFrame(-1);
}

int CountOpenDocuments()
{
    int nCount = 0;
    ForEachDesignTemplate([&](CDocTemplate* pTemplate) {
        POSITION pos = pTemplate->GetFirstDocPosition();
        while (pos) {
            pTemplate->GetNextDoc(pos);
            ++nCount;
        }
        return true;
    });
    return nCount;
}

int MaxOpenDocuments()
{
    // The wizard may open several designs at once.
    if (g_pCurrentWizardSheet)
        return kMaxDocumentsInWizard;
    return g_nPlatform > 0 ? kMaxDocuments : kMaxDocumentsOldPlatform;
}

// ---- The application's document commands ------------------------------------

CDocument* CDesignerApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    m_bReportOpenFailure = 1;
    CloseSplash(FALSE);
    if (!CanOpenAnotherDocument(lpszFileName == NULL))
        return NULL;

    if (lpszFileName && *lpszFileName) {
        const HRESULT hr = IsDesignStorageFile(lpszFileName);
        if (hr == S_FALSE || hr == kNotDesignClass) {
            if (CDocument* pOpen = FindOpenDocument(lpszFileName)) {
                ActivateDocumentFrames(pOpen);
                return pOpen;
            }
        } else if (hr == S_OK || hr == STG_E_SHAREVIOLATION || (hr == STG_E_INVALIDFUNCTION && g_nPlatform == 0)) {
            // The class library reports a file no template claims on its own;
            // one message is enough.
            if (AnyTemplateClaims(lpszFileName)) {
                if (CDocument* pDoc = CWinApp::OpenDocumentFile(lpszFileName))
                    return pDoc;
            }
        }
    }

    if (m_bReportOpenFailure)
        AfxMessageBox(IDP_OPEN_DESIGN_FAILED);
    return NULL;
}

BOOL CDesignerApp::CanOpenAnotherDocument(BOOL bCreating)
{
    if (!m_bLimitDocuments)
        return TRUE;
    const int nMax = MaxOpenDocuments();
    if (CountOpenDocuments() < nMax)
        return TRUE;
    CString strLimit;
    strLimit.Format("%d", nMax);
    CString strMessage;
    AfxFormatString1(strMessage, bCreating ? IDP_TOO_MANY_DESIGNS_NEW : IDP_TOO_MANY_DESIGNS_OPEN, strLimit);
    AfxMessageBox(strMessage);
    return FALSE;
}

BOOL CDesignerApp::IsDocumentOpen(LPCTSTR lpszPathName)
{
    if (!lpszPathName || !*lpszPathName)
        return FALSE;
    BOOL bOpen = FALSE;
    ForEachDesignTemplate([&](CDocTemplate* pTemplate) {
        POSITION pos = pTemplate->GetFirstDocPosition();
        while (pos && !bOpen) {
            CDocument* pDoc = pTemplate->GetNextDoc(pos);
            // The same file however its path is spelled, as the save
            // dialog's check tells its own design apart.
            const CString& strOpen = pDoc->GetPathName();
            bOpen = !strOpen.IsEmpty()
                && (strOpen.CompareNoCase(lpszPathName) == 0 || platform::IsSameFile(strOpen, lpszPathName));
        }
        return !bOpen;
    });
    return bOpen;
}

void CDesignerApp::RemoveFromRecentFileList(LPCTSTR lpszPathName)
{
    if (!m_pRecentFileList || !lpszPathName)
        return;
    for (int i = 0; i < m_pRecentFileList->GetSize(); ++i) {
        if ((*m_pRecentFileList)[i].CompareNoCase(lpszPathName) == 0) {
            m_pRecentFileList->Remove(i);
            return;
        }
    }
}

void CDesignerApp::OnFileOpen()
{
    EndTextEdit(FALSE);
    if (!CanOpenAnotherDocument(FALSE))
        return;
    CString strPath;
    if (PromptOpenDesign(m_pMainWnd, strPath))
        OpenDocumentFile(strPath);
}

BOOL CDesignerApp::OnOpenRecentFile(UINT nID)
{
    if (!CanOpenAnotherDocument(FALSE))
        return TRUE;
    return CWinApp::OnOpenRecentFile(nID);
}

BOOL CDesignerApp::PromptOpenDesign(CWnd* pParent, CString& strPath)
{
    // The design browser and the standard dialog take turns for as long as
    // the one shown asks for the other; a machine too weak for previews
    // starts in the standard one.
    BOOL bStandard = (thePrefs.Flags & PREF_FLAG_NO_MULTI_PREVIEW) != 0;
    int nResult = IDCANCEL;
    for (;;) {
        if (bStandard) {
            int nFilterIndex = 1;
            nResult = DoPromptFileName(strPath, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, NULL,
                &nFilterIndex);
        } else {
            CPictureOpenDlg dlg(pParent, strPath, CPictureOpenDlg::modeDesigns, CString(), 0, nullptr);
            dlg.DoModal();
            nResult = dlg.GetResult();
            if (nResult != kPickerCancelled) {
                const CString strFolder = dlg.GetFolder(strPath);
                if (!strFolder.IsEmpty())
                    thePrefs.SetDesignFolder(strFolder);
            }
        }
        if (nResult != kPickerSinglePreview)
            break;
        if ((thePrefs.AddlFlags & PREF_ADDL_PREVIEW_HINT) != 0)
            ShowPreviewHint(pParent);
        bStandard = !bStandard;
    }
    if (nResult == IDOK && !strPath.IsEmpty())
        return TRUE;
    strPath.Empty();
    return FALSE;
}

BOOL CDesignerApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
    CDocTemplate* pTemplate)
{
    return DoPromptFileName(fileName, nIDSTitle, lFlags, bOpenFileDialog, pTemplate, NULL);
}

BOOL CDesignerApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
    CDocTemplate* pTemplate, int* pnFilterIndex)
{
    CString strFilter;
    CString strDefExt;
    int nFilterIndex = 1;
    if (pTemplate)
        AppendFilterSuffix(strFilter, pTemplate, &strDefExt, TRUE, &nFilterIndex);
    else
        BuildDesignFileFilter(strFilter, strDefExt, NULL, nFilterIndex);
    // Both end their list with separators; All Files is added after one.
    strFilter.TrimRight('|');
    if (!strFilter.IsEmpty())
        strFilter += '|';
    strFilter += AfxFrameworkString(AFX_IDS_ALLFILTER);
    strFilter += "|*.*||";

    CString strTitle = AfxFrameworkString(nIDSTitle);
    if (strTitle.IsEmpty())
        strTitle.LoadString(nIDSTitle);

    const DWORD dwSavedContext = GetHelpContext();
    SetHelpContext(kFileOpenHelpContext);
    // The picture file dialog shows the stored preview of the design under
    // the cursor; the caller's title and flags stand, the mode does the rest.
    CFileImageDlgNested dlg(CFileImageDlgNested::modeOpenDesign, strFilter, nFilterIndex - 1, fileName, nullptr,
        m_pMainWnd);
    dlg.SetCallerSettings(strTitle, lFlags, bOpenFileDialog);
    dlg.SetDefaultExtension(strDefExt);
    const int nResult = dlg.DoModal();
    SetHelpContext(dwSavedContext);

    if (nResult == IDOK) {
        dlg.GetFolder(fileName);
        // The next design dialog starts where this one ended, unless the
        // user has named a Designs folder.
        const int nSlash = fileName.ReverseFind('\\');
        if (nSlash >= 0)
            thePrefs.CurDesignFolder = fileName.Left(nSlash + 1);
        if (pnFilterIndex)
            *pnFilterIndex = dlg.GetTypeIndex() + 1;
    }
    return BOOL(nResult);
}

void UpdateAllDesignViews(LPARAM lHint, CObject* pHint)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    POSITION posTemplate = pApp->GetFirstDocTemplatePosition();
    while (posTemplate != nullptr) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posTemplate);
        POSITION posDoc = pTemplate->GetFirstDocPosition();
        while (posDoc != nullptr) {
            if (CDocument* pDoc = pTemplate->GetNextDoc(posDoc))
                pDoc->UpdateAllViews(NULL, lHint, pHint);
        }
    }
}
