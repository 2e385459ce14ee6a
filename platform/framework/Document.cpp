#include "platform/framework/Document.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/FileApi.h"
#include "platform/files/SafeReplace.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Frame.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlg.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

namespace {

// The frames that show the document's views, each once, in view order.
std::vector<CFrameWnd*> FramesOf(const CDocument& doc)
{
    std::vector<CFrameWnd*> frames;
    POSITION pos = doc.GetFirstViewPosition();
    while (pos != NULL) {
        CView* pView = doc.GetNextView(pos);
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != NULL && std::find(frames.begin(), frames.end(), pFrame) == frames.end())
            frames.push_back(pFrame);
    }
    return frames;
}

CString FormatWithName(UINT nID, const CString& name)
{
    CString text;
    LPCTSTR args[1] = {name};
    AfxFormatStrings(text, AfxFrameworkString(nID), args, 1);
    return text;
}

} // namespace

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    // Views that outlive their document (a frame destroyed after the
    // document was deleted directly) must not point at it.
    POSITION pos = m_viewList.GetHeadPosition();
    while (pos != NULL)
        static_cast<CView*>(m_viewList.GetNext(pos))->m_pDocument = NULL;
    m_viewList.RemoveAll();
    if (m_pDocTemplate != NULL)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle != NULL ? lpszTitle : "";
    for (CFrameWnd* pFrame : FramesOf(*this))
        pFrame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU)
{
    CString path = lpszPathName != NULL ? lpszPathName : "";
    char full[MAX_PATH];
    const DWORD n = ::GetFullPathName(path, MAX_PATH, full, NULL);
    if (n > 0 && n < MAX_PATH)
        path = full;
    m_strPathName = path;

    char title[MAX_PATH];
    if (::GetFileTitle(path, title, MAX_PATH) == 0)
        SetTitle(title);
    else
        SetTitle(path);

    if (bAddToMRU) {
        if (CWinApp* pApp = AfxGetApp())
            pApp->AddToRecentFileList(m_strPathName);
    }
}

BOOL CDocument::IsModified()
{
    return m_bModified;
}

void CDocument::SetModifiedFlag(BOOL bModified)
{
    m_bModified = bModified;
}

// ---- Views -----------------------------------------------------------------------------------

void CDocument::AddView(CView* pView)
{
    if (pView == NULL || m_viewList.Find(pView) != NULL)
        return;
    if (pView->m_pDocument != NULL && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    POSITION pos = m_viewList.Find(pView);
    if (pos == NULL)
        return;
    m_viewList.RemoveAt(pos);
    pView->m_pDocument = NULL;
    OnChangedViewList();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.GetHeadPosition();
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    return static_cast<CView*>(m_viewList.GetNext(rPosition));
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A view's OnUpdate may add or remove views (a surface view made on
    // demand); walk a copy so that no POSITION goes stale under us.
    std::vector<CView*> views;
    POSITION pos = m_viewList.GetHeadPosition();
    while (pos != NULL)
        views.push_back(static_cast<CView*>(m_viewList.GetNext(pos)));
    for (CView* pView : views) {
        if (pView != pSender && m_viewList.Find(pView) != NULL)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::OnChangedViewList()
{
    if (m_viewList.IsEmpty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts()
{
    const std::vector<CFrameWnd*> frames = FramesOf(*this);
    int n = 0;
    for (CFrameWnd* pFrame : frames) {
        const int nWindow = frames.size() == 1 ? 0 : ++n;
        if (pFrame->m_nWindow != nWindow) {
            pFrame->m_nWindow = nWindow;
            pFrame->OnUpdateFrameTitle(TRUE);
        }
    }
}

// ---- The file's life -------------------------------------------------------------------------

void CDocument::DeleteContents()
{
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

CFile* CDocument::GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    auto pFile = std::make_unique<CFile>();
    if (!pFile->Open(lpszFileName, nOpenFlags, pError))
        return NULL;
    return pFile.release();
}

void CDocument::ReleaseFile(CFile* pFile, BOOL bAbort)
{
    if (pFile == NULL)
        return;
    if (bAbort)
        pFile->Abort();
    else
        pFile->Close();
    delete pFile;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    CFileException fe;
    fe.m_bAutoDelete = FALSE;
    CFile* pFile = GetFile(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe);
    if (pFile == NULL) {
        ReportSaveLoadException(lpszPathName, &fe, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }

    DeleteContents();
    // Modified while it is being read: a failure part way leaves a
    // document that must not pass for the file.
    SetModifiedFlag(TRUE);
    try {
        CArchive ar(pFile, CArchive::load | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        if (pFile->GetLength() != 0)
            Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        ReleaseFile(pFile, TRUE);
        DeleteContents();
        ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        e->Delete();
        return FALSE;
    }
    ReleaseFile(pFile, FALSE);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    // The whole file is made in memory first; the old file is replaced
    // only when that succeeded, and then by renaming a complete new file
    // over it.
    CMemFile mem;
    try {
        CArchive ar(&mem, CArchive::store | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        ReportSaveLoadException(lpszPathName, e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        e->Delete();
        return FALSE;
    }

    const DWORD nLength = mem.GetLength();
    BYTE* pBytes = mem.Detach();
    const BOOL bWritten = platform::ReplaceWindowsFileContents(lpszPathName,
        std::string_view(reinterpret_cast<const char*>(pBytes), pBytes != NULL ? nLength : 0), platform::KeepBackup::No);
    const DWORD dwError = ::GetLastError();
    std::free(pBytes);
    if (!bWritten) {
        CFileException fe(CFileException::OsErrorToException(static_cast<LONG>(dwError)), static_cast<LONG>(dwError),
            lpszPathName);
        fe.m_bAutoDelete = FALSE;
        ReportSaveLoadException(lpszPathName, &fe, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Destroying the frames removes the views one by one; the document must
    // not close itself again when the last one goes.
    const BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty()) {
        CView* pView = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != NULL) {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        } else {
            pView->DestroyWindow();
        }
        // A view whose window was already gone stays listed: let it go.
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;

    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault)
{
    (void)bSaving; // the file and archive texts already say what went wrong
    if (e != NULL && e->IsKindOf(RUNTIME_CLASS(CUserException)))
        return; // the user has been told already

    const CString path = lpszPathName != NULL ? lpszPathName : "";
    CString prompt;
    UINT nHelp = nIDPDefault;
    if (e != NULL && e->IsKindOf(RUNTIME_CLASS(CFileException))) {
        auto* pFE = static_cast<CFileException*>(e);
        const int cause = pFE->m_cause;
        if (cause >= CFileException::none && cause <= CFileException::endOfFile) {
            nHelp = AFX_IDP_FILE_NONE + static_cast<UINT>(cause);
            prompt = FormatWithName(nHelp, pFE->m_strFileName.IsEmpty() ? path : pFE->m_strFileName);
        }
    } else if (e != NULL && e->IsKindOf(RUNTIME_CLASS(CArchiveException))) {
        auto* pAE = static_cast<CArchiveException*>(e);
        const int cause = pAE->m_cause;
        if (cause >= CArchiveException::none && cause <= CArchiveException::badSchema) {
            nHelp = AFX_IDP_ARCH_NONE + static_cast<UINT>(cause);
            prompt = FormatWithName(nHelp, path);
        }
    } else if (e != NULL) {
        char text[512];
        if (e->GetErrorMessage(text, sizeof text))
            prompt = text;
    }
    if (prompt.IsEmpty()) {
        nHelp = nIDPDefault;
        prompt = FormatWithName(nIDPDefault, path);
    }
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, nHelp);
}

// ---- Closing frames and saving ---------------------------------------------------------------

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg)
{
    // Another frame still showing the document: closing this one loses nothing.
    for (CFrameWnd* pFrame : FramesOf(*this)) {
        if (pFrame != pFrameArg)
            return TRUE;
    }
    return SaveModified();
}

void CDocument::PreCloseFrame(CFrameWnd* pFrame)
{
    (void)pFrame;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;

    CString name = m_strPathName;
    if (name.IsEmpty())
        name = m_strTitle;
    if (name.IsEmpty())
        name = AfxFrameworkString(AFX_IDS_UNTITLED);

    switch (AfxMessageBox(FormatWithName(AFX_IDP_ASK_TO_SAVE, name), MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE;
    }
}

BOOL CDocument::DoFileSave()
{
    const DWORD dwAttrib = ::GetFileAttributes(m_strPathName);
    const bool readOnly = dwAttrib != INVALID_FILE_ATTRIBUTES && (dwAttrib & FILE_ATTRIBUTE_READONLY) != 0;
    if (m_strPathName.IsEmpty() || readOnly)
        return DoSave(NULL);
    return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace)
{
    CString newName = lpszPathName != NULL ? lpszPathName : "";
    if (newName.IsEmpty()) {
        CDocTemplate* pTemplate = GetDocTemplate();
        newName = m_strPathName;
        if (bReplace && newName.IsEmpty()) {
            // Propose the title, cut before characters a file name should
            // not carry, with the template's extension.
            newName = m_strTitle;
            const int iBad = newName.FindOneOf(" #%;/\\");
            if (iBad >= 0)
                newName = newName.Left(iBad);
            CString ext;
            if (pTemplate != NULL && pTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty()
                && ext[0] == '.')
                newName += ext;
        }
        CWinApp* pApp = AfxGetApp();
        if (pApp == NULL
            || !pApp->DoPromptFileName(newName, bReplace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, pTemplate))
            return FALSE;
    }

    {
        CWaitCursor wait;
        if (!OnSaveDocument(newName))
            return FALSE;
    }
    if (bReplace)
        SetPathName(newName);
    return TRUE;
}

// ---- Commands --------------------------------------------------------------------------------

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate != NULL && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(NULL);
}
