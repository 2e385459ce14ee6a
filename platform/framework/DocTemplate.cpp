#include "platform/framework/DocTemplate.h"

#include "platform/base/CharClass.h"
#include "platform/base/Resources.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/Document.h"
#include "platform/framework/Frame.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/AfxMessageBox.h"

#include <vector>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

namespace {

bool EndsWithNoCase(const CString& text, const CString& tail)
{
    const int n = text.GetLength();
    const int m = tail.GetLength();
    return m > 0 && n >= m && text.Right(m).CompareNoCase(tail) == 0;
}

std::vector<CDocument*> DocumentsOf(const CDocTemplate& tpl)
{
    std::vector<CDocument*> docs;
    POSITION pos = tpl.GetFirstDocPosition();
    while (pos != NULL)
        docs.push_back(tpl.GetNextDoc(pos));
    return docs;
}

bool StillListed(const CDocTemplate& tpl, const CDocument* pDoc)
{
    POSITION pos = tpl.GetFirstDocPosition();
    while (pos != NULL) {
        if (tpl.GetNextDoc(pos) == pDoc)
            return true;
    }
    return false;
}

// Takes down what OpenDocumentFile made when the new or opened document
// cannot be used: the frame (with its views) and the document, whatever
// the document's m_bAutoDelete says.
void DiscardDocumentAndFrame(CDocument* pDoc, CFrameWnd* pFrame)
{
    pDoc->m_bAutoDelete = FALSE;
    if (pFrame != NULL)
        pFrame->DestroyWindow();
    delete pDoc;
}

} // namespace

// ---- CDocTemplate ----------------------------------------------------------------------------

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
    CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
    // The document string is needed before the template is added (titles,
    // filters), so it is read at once; menus wait for LoadTemplate.
    m_strDocStrings.LoadString(m_nIDResource);
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
    m_bTemplateLoaded = TRUE;
}

void CDocTemplate::SetContainerInfo(UINT nIDOleInPlaceContainer)
{
    m_nIDContainerResource = nIDOleInPlaceContainer;
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = NULL;
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const
{
    return platform::GetDocString(m_strDocStrings, static_cast<int>(index), rString);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = NULL;
    if (lpszPathName == NULL || *lpszPathName == '\0')
        return noAttempt;

    POSITION pos = GetFirstDocPosition();
    while (pos != NULL) {
        CDocument* pDoc = GetNextDoc(pos);
        const CString& open = pDoc->GetPathName();
        if (!open.IsEmpty() && platform::IsSameFile(open, lpszPathName)) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }

    CString ext;
    if (GetDocString(ext, filterExt) && ext.GetLength() > 1 && ext[0] == '.'
        && EndsWithNoCase(CString(lpszPathName), ext))
        return yesAttemptNative;
    return yesAttemptForeign;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (m_pDocClass == NULL)
        return NULL;
    CObject* pObject = m_pDocClass->CreateObject();
    auto* pDoc = dynamic_cast<CDocument*>(pObject);
    if (pDoc == NULL) {
        delete pObject;
        return NULL;
    }
    AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;

    if (m_pFrameClass == NULL)
        return NULL;
    CObject* pObject = m_pFrameClass->CreateObject();
    auto* pFrame = dynamic_cast<CFrameWnd*>(pObject);
    if (pFrame == NULL) {
        delete pObject;
        return NULL;
    }
    // A frame that fails to load has deleted itself (PostNcDestroy).
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, NULL, &context))
        return NULL;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    for (CDocument* pDoc : DocumentsOf(*this)) {
        if (StillListed(*this, pDoc) && !pDoc->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL bEndSession)
{
    (void)bEndSession;
    // Closing one document may close others (a document that owns
    // another's frames); ask the list again before each close.
    for (CDocument* pDoc : DocumentsOf(*this)) {
        if (StillListed(*this, pDoc))
            pDoc->OnCloseDocument();
    }
}

BOOL CDocTemplate::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- CMultiDocTemplate -----------------------------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
    CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    // Documents still open lose their template rather than point at a
    // deleted one.
    POSITION pos = m_docList.GetHeadPosition();
    while (pos != NULL)
        CDocTemplate::RemoveDocument(static_cast<CDocument*>(m_docList.GetNext(pos)));
    m_docList.RemoveAll();
    if (m_hMenuShared != NULL)
        ::DestroyMenu(m_hMenuShared);
    if (m_hAccelTable != NULL)
        ::DestroyAcceleratorTable(m_hAccelTable);
}

void CMultiDocTemplate::LoadTemplate()
{
    const BOOL bLoaded = m_bTemplateLoaded;
    CDocTemplate::LoadTemplate();
    if (bLoaded)
        return;
    HINSTANCE hInst = AfxGetResourceHandle();
    if (m_hMenuShared == NULL)
        m_hMenuShared = ::LoadMenu(hInst, MAKEINTRESOURCE(m_nIDResource));
    if (m_hAccelTable == NULL)
        m_hAccelTable = ::LoadAccelerators(hInst, MAKEINTRESOURCE(m_nIDResource));
}

POSITION CMultiDocTemplate::GetFirstDocPosition() const
{
    return m_docList.GetHeadPosition();
}

CDocument* CMultiDocTemplate::GetNextDoc(POSITION& rPos) const
{
    return static_cast<CDocument*>(m_docList.GetNext(rPos));
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    if (pDoc == NULL || m_docList.Find(pDoc) != NULL)
        return;
    CDocTemplate::AddDocument(pDoc);
    m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    POSITION pos = m_docList.Find(pDoc);
    if (pos == NULL)
        return;
    m_docList.RemoveAt(pos);
    CDocTemplate::RemoveDocument(pDoc);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = CreateNewDocument();
    if (pDoc == NULL) {
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_CREATE_DOC), MB_ICONEXCLAMATION, AFX_IDP_FAILED_TO_CREATE_DOC);
        return NULL;
    }

    // A frame that fails half way destroys the views it made; the document
    // must not close itself when they go.
    const BOOL bAutoDelete = pDoc->m_bAutoDelete;
    pDoc->m_bAutoDelete = FALSE;
    CFrameWnd* pFrame = CreateNewFrame(pDoc, NULL);
    pDoc->m_bAutoDelete = bAutoDelete;
    if (pFrame == NULL) {
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_CREATE_DOC), MB_ICONEXCLAMATION, AFX_IDP_FAILED_TO_CREATE_DOC);
        DiscardDocumentAndFrame(pDoc, NULL);
        return NULL;
    }

    if (lpszPathName == NULL) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            DiscardDocumentAndFrame(pDoc, pFrame);
            return NULL;
        }
        ++m_nUntitledCount;
    } else {
        BOOL bOpened;
        {
            CWaitCursor wait;
            bOpened = pDoc->OnOpenDocument(lpszPathName);
        }
        if (!bOpened) {
            DiscardDocumentAndFrame(pDoc, pFrame);
            return NULL;
        }
        pDoc->SetPathName(lpszPathName);
    }

    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (GetDocString(title, docName) && !title.IsEmpty()) {
        CString number;
        number.Format("%u", m_nUntitledCount + 1);
        title += number;
    } else {
        title = AfxFrameworkString(AFX_IDS_UNTITLED);
    }
    pDocument->SetTitle(title);
}

// ---- CSingleDocTemplate ----------------------------------------------------------------------

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
    CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc != NULL)
        CDocTemplate::RemoveDocument(m_pOnlyDoc);
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    // Any non-null value serves as the position of the one document.
    return m_pOnlyDoc != NULL ? reinterpret_cast<POSITION>(m_pOnlyDoc) : NULL;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = rPos != NULL ? m_pOnlyDoc : NULL;
    rPos = NULL;
    return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    if (pDoc == NULL || m_pOnlyDoc != NULL)
        return;
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc == NULL || pDoc != m_pOnlyDoc)
        return;
    CDocTemplate::RemoveDocument(pDoc);
    m_pOnlyDoc = NULL;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = NULL;
    CFrameWnd* pFrame = NULL;
    BOOL bDocCreated = FALSE;
    BOOL bFrameCreated = FALSE;

    if (m_pOnlyDoc != NULL) {
        pDoc = m_pOnlyDoc;
        if (!pDoc->SaveModified())
            return NULL;
        POSITION pos = pDoc->GetFirstViewPosition();
        if (pos != NULL)
            pFrame = pDoc->GetNextView(pos)->GetParentFrame();
    } else {
        pDoc = CreateNewDocument();
        if (pDoc == NULL) {
            AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_CREATE_DOC), MB_ICONEXCLAMATION, AFX_IDP_FAILED_TO_CREATE_DOC);
            return NULL;
        }
        bDocCreated = TRUE;
    }

    if (pFrame == NULL) {
        const BOOL bAutoDelete = pDoc->m_bAutoDelete;
        pDoc->m_bAutoDelete = FALSE;
        pFrame = CreateNewFrame(pDoc, NULL);
        pDoc->m_bAutoDelete = bAutoDelete;
        if (pFrame == NULL) {
            AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_CREATE_DOC), MB_ICONEXCLAMATION, AFX_IDP_FAILED_TO_CREATE_DOC);
            if (bDocCreated)
                DiscardDocumentAndFrame(pDoc, NULL);
            return NULL;
        }
        bFrameCreated = TRUE;
    }

    // What this call made goes again when the document cannot be used; a
    // document that was there before stays.
    auto discardNew = [&] {
        if (bDocCreated) {
            DiscardDocumentAndFrame(pDoc, pFrame);
        } else if (bFrameCreated) {
            const BOOL bAutoDelete = pDoc->m_bAutoDelete;
            pDoc->m_bAutoDelete = FALSE;
            pFrame->DestroyWindow();
            pDoc->m_bAutoDelete = bAutoDelete;
        }
    };

    if (lpszPathName == NULL) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            discardNew();
            return NULL;
        }
    } else {
        const BOOL bWasModified = pDoc->IsModified();
        pDoc->SetModifiedFlag(FALSE);
        BOOL bOpened;
        {
            CWaitCursor wait;
            bOpened = pDoc->OnOpenDocument(lpszPathName);
        }
        if (!bOpened) {
            if (bDocCreated) {
                discardNew();
            } else if (!pDoc->IsModified()) {
                // The file could not even be opened: the old contents stand.
                pDoc->SetModifiedFlag(bWasModified);
            } else {
                // The old contents are gone: start afresh rather than show
                // half a file.
                SetDefaultTitle(pDoc);
                pDoc->OnNewDocument();
            }
            return NULL;
        }
        pDoc->SetPathName(lpszPathName);
    }

    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == NULL)
        pApp->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    pDocument->SetTitle(AfxFrameworkString(AFX_IDS_UNTITLED));
}
