#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/files/FileApi.h"
#include "platform/framework/OleDoc.h"
#include "platform/framework/OleInternal.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CDocItem, CObject)
IMPLEMENT_DYNAMIC(COleDocument, CDocument)

BEGIN_MESSAGE_MAP(COleDocument, CDocument)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE_LINK, OnUpdatePasteLinkMenu)
    ON_UPDATE_COMMAND_UI(ID_OLE_INSERT_NEW, OnUpdateInsertObject)
    ON_UPDATE_COMMAND_UI(ID_OLE_EDIT_LINKS, OnUpdateEditLinksMenu)
    ON_UPDATE_COMMAND_UI(ID_OLE_EDIT_CONVERT, OnUpdateObjectVerbMenu)
    ON_UPDATE_COMMAND_UI(ID_OLE_EDIT_CHANGE_ICON, OnUpdateEditChangeIcon)
    ON_UPDATE_COMMAND_UI_RANGE(ID_OLE_VERB_FIRST, ID_OLE_VERB_LAST, OnUpdateObjectVerbMenu)
    ON_COMMAND(ID_OLE_EDIT_LINKS, OnEditLinks)
    ON_COMMAND(ID_OLE_EDIT_CONVERT, OnEditConvert)
    ON_COMMAND(ID_OLE_EDIT_CHANGE_ICON, OnEditChangeIcon)
END_MESSAGE_MAP()

namespace {

constexpr char kContentsStream[] = "Contents";

// The root of a document's file is kept open for the document's life, as
// the class library does: transacted, so nothing reaches the file until a
// save, and denying other writers. A file that cannot be written is opened
// for reading only.
HRESULT OpenRootStorage(LPCTSTR lpszPathName, IStorage** ppRoot)
{
    const std::u16string wide = platform::Utf16From1252(lpszPathName);
    HRESULT hr = StgOpenStorage(wide.c_str(), NULL, STGM_READWRITE | STGM_TRANSACTED | STGM_SHARE_DENY_WRITE, NULL, 0,
        ppRoot);
    if (hr == STG_E_ACCESSDENIED || hr == STG_E_DISKISWRITEPROTECTED)
        hr = StgOpenStorage(wide.c_str(), NULL, STGM_READ | STGM_TRANSACTED | STGM_SHARE_DENY_WRITE, NULL, 0, ppRoot);
    return hr;
}

// The folder part of a Windows-form path, "." when it has none.
CString FolderOf(LPCTSTR lpszPathName)
{
    const CString path = lpszPathName;
    const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    if (slash < 0)
        return CString(path.GetLength() >= 2 && path[1] == ':' ? path.Left(2) : CString("."));
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.Left(slash + 1);
    return path.Left(slash);
}

[[noreturn]] void ThrowStorageError(HRESULT hr, LPCTSTR lpszPathName)
{
    AfxThrowFileException(CFileException::StorageErrorToException(hr), hr, lpszPathName);
}

// Reports a failure that is not an exception thrown by the document's own
// code (file and storage errors found here).
void ReportFileError(COleDocument* pDoc, LPCTSTR lpszPathName, int cause, LONG lOsError, BOOL bSaving)
{
    CFileException fe(cause, lOsError, lpszPathName);
    fe.m_bAutoDelete = FALSE;
    pDoc->ReportSaveLoadException(lpszPathName, &fe, bSaving,
        bSaving ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_FAILED_TO_OPEN_DOC);
}

} // namespace

// ---- CDocItem ---------------------------------------------------------------------------------

CDocument* CDocItem::GetDocument() const
{
    return m_pDocument;
}

CDocItem::~CDocItem()
{
    if (m_pDocument != NULL)
        m_pDocument->RemoveItem(this);
}

// ---- COleDocument -----------------------------------------------------------------------------

COleDocument::COleDocument() = default;

COleDocument::~COleDocument()
{
    // The items still listed belong to the document. Each leaves the list
    // as it is deleted, so take them from the head one at a time.
    while (!m_docItemList.IsEmpty()) {
        auto* pItem = static_cast<CDocItem*>(m_docItemList.RemoveHead());
        pItem->m_pDocument = NULL;
        delete pItem;
    }
    ReleaseRootStorage();
}

void COleDocument::AddItem(CDocItem* pItem)
{
    if (pItem == NULL || pItem->m_pDocument == this)
        return;
    if (pItem->m_pDocument != NULL)
        pItem->m_pDocument->RemoveItem(pItem);
    m_docItemList.AddTail(pItem);
    pItem->m_pDocument = this;
    if (auto* pClient = dynamic_cast<COleClientItem*>(pItem)) {
        if (pClient->m_dwItemNumber >= m_dwNextItemNumber && pClient->m_dwItemNumber < 0xFFFFFFFF)
            m_dwNextItemNumber = pClient->m_dwItemNumber + 1;
    }
}

void COleDocument::RemoveItem(CDocItem* pItem)
{
    if (pItem == NULL || pItem->m_pDocument != this)
        return;
    POSITION pos = m_docItemList.Find(pItem);
    if (pos != NULL)
        m_docItemList.RemoveAt(pos);
    pItem->m_pDocument = NULL;
}

CDocItem* COleDocument::GetNextItem(POSITION& pos) const
{
    return static_cast<CDocItem*>(m_docItemList.GetNext(pos));
}

COleClientItem* COleDocument::GetNextClientItem(POSITION& pos) const
{
    while (pos != NULL) {
        if (auto* pItem = dynamic_cast<COleClientItem*>(GetNextItem(pos)))
            return pItem;
    }
    return NULL;
}

BOOL COleDocument::HasBlankItems() const
{
    POSITION pos = GetStartPosition();
    while (pos != NULL) {
        if (GetNextItem(pos)->IsBlank())
            return TRUE;
    }
    return FALSE;
}

DWORD COleDocument::GetNewItemNumber()
{
    // Numbers are never given twice in a document's life, so a storage
    // name of a deleted item is never taken by a new one.
    while (FindItemByNumber(m_dwNextItemNumber) != NULL)
        ++m_dwNextItemNumber;
    return m_dwNextItemNumber++;
}

COleClientItem* COleDocument::FindItemByNumber(DWORD dwItemNumber) const
{
    POSITION pos = GetStartPosition();
    while (COleClientItem* pItem = GetNextClientItem(pos)) {
        if (pItem->m_dwItemNumber == dwItemNumber)
            return pItem;
    }
    return NULL;
}

void COleDocument::UpdateModifiedFlag()
{
    // A running object would report its changes here; ours never change.
}

void COleDocument::OnShowViews(BOOL)
{
}

void COleDocument::ReleaseRootStorage()
{
    if (m_lpRootStg != NULL) {
        m_lpRootStg->Release();
        m_lpRootStg = NULL;
    }
}

BOOL COleDocument::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    ReleaseRootStorage();
    if (!m_bCompoundFile)
        return TRUE;
    // A new document lives in a temporary compound file until its first
    // save, so that its items have a root to keep their storages under.
    IStorage* pRoot = NULL;
    const HRESULT hr = StgCreateDocfile(NULL,
        STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_DELETEONRELEASE | STGM_TRANSACTED, 0, &pRoot);
    if (FAILED(hr)) {
        ReportFileError(this, NULL, CFileException::StorageErrorToException(hr), hr, FALSE);
        return FALSE;
    }
    m_lpRootStg = pRoot;
    return TRUE;
}

BOOL COleDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    if (!m_bCompoundFile)
        return CDocument::OnOpenDocument(lpszPathName);

    const std::u16string wide = platform::Utf16From1252(lpszPathName != NULL ? lpszPathName : "");
    HRESULT hr = StgIsStorageFile(wide.c_str());
    if (hr == S_FALSE) {
        // Not a compound file: not a document of this kind.
        CArchiveException ae(CArchiveException::badClass, lpszPathName);
        ae.m_bAutoDelete = FALSE;
        ReportSaveLoadException(lpszPathName, &ae, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    IStorage* pRoot = NULL;
    if (SUCCEEDED(hr))
        hr = OpenRootStorage(lpszPathName, &pRoot);
    if (FAILED(hr)) {
        ReportFileError(this, lpszPathName, CFileException::StorageErrorToException(hr), hr, FALSE);
        return FALSE;
    }

    DeleteContents();
    SetModifiedFlag(TRUE);
    ReleaseRootStorage();
    m_lpRootStg = pRoot;
    try {
        COleStreamFile file;
        CFileException fe;
        if (!file.OpenStream(pRoot, kContentsStream, CFile::modeRead | CFile::shareExclusive, &fe))
            AfxThrowFileException(fe.m_cause, fe.m_lOsError, lpszPathName);
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        ar.m_strFileName = lpszPathName;
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        DeleteContents();
        ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL COleDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    if (!m_bCompoundFile)
        return CDocument::OnSaveDocument(lpszPathName);

    if (lpszPathName == NULL || *lpszPathName == '\0') {
        ReportFileError(this, lpszPathName, CFileException::badPath, -1, TRUE);
        return FALSE;
    }
    // The new file is made complete beside the target, then renamed over
    // it: until the rename the old file is untouched.
    char temp[MAX_PATH];
    if (::GetTempFileName(FolderOf(lpszPathName), "tws", 0, temp) == 0) {
        const DWORD err = ::GetLastError();
        ReportFileError(this, lpszPathName, CFileException::OsErrorToException(LONG(err)), LONG(err), TRUE);
        return FALSE;
    }
    const std::u16string wideTemp = platform::Utf16From1252(temp);
    IStorage* pNewRoot = NULL;
    HRESULT hr = StgCreateDocfile(wideTemp.c_str(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_TRANSACTED,
        0, &pNewRoot);
    if (FAILED(hr)) {
        ::DeleteFile(temp);
        ReportFileError(this, lpszPathName, CFileException::StorageErrorToException(hr), hr, TRUE);
        return FALSE;
    }

    // While the document writes itself, its root is the new file, so that
    // what it adds to the root itself (streams, the class) goes there.
    IStorage* pOldRoot = m_lpRootStg;
    m_lpRootStg = pNewRoot;
    try {
        {
            COleStreamFile file;
            CFileException fe;
            if (!file.CreateStream(pNewRoot, kContentsStream,
                    CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate, &fe))
                AfxThrowFileException(fe.m_cause, fe.m_lOsError, lpszPathName);
            CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
            ar.m_pDocument = this;
            ar.m_strFileName = lpszPathName;
            Serialize(ar);
            ar.Close();
            file.Close();
        }
        CommitItems(pNewRoot);
        hr = pNewRoot->Commit(STGC_ONLYIFCURRENT);
        if (FAILED(hr))
            ThrowStorageError(hr, lpszPathName);
    } catch (CException* e) {
        m_lpRootStg = pOldRoot;
        pNewRoot->Release();
        ::DeleteFile(temp);
        ReportSaveLoadException(lpszPathName, e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        e->Delete();
        return FALSE;
    }
    pNewRoot->Release();

    if (!::MoveFileEx(temp, lpszPathName, MOVEFILE_REPLACE_EXISTING)) {
        const DWORD err = ::GetLastError();
        m_lpRootStg = pOldRoot;
        ::DeleteFile(temp);
        ReportFileError(this, lpszPathName, CFileException::OsErrorToException(LONG(err)), LONG(err), TRUE);
        return FALSE;
    }

    // From now on the document is the new file. Should it not open again
    // (it was just written, so hardly), the old root stays: the items keep
    // their storages for the next save.
    IStorage* pReopened = NULL;
    if (SUCCEEDED(OpenRootStorage(lpszPathName, &pReopened))) {
        m_lpRootStg = pReopened;
        ReopenItemStorages();
        if (pOldRoot != NULL)
            pOldRoot->Release();
    } else {
        m_lpRootStg = pOldRoot;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void COleDocument::CommitItems(LPSTORAGE lpNewRoot)
{
    POSITION pos = GetStartPosition();
    while (COleClientItem* pItem = GetNextClientItem(pos)) {
        if (pItem->m_lpStorage == NULL)
            continue;
        const std::u16string wide = platform::EmbeddingStorageName(pItem->m_dwItemNumber);
        IStorage* pDest = NULL;
        HRESULT hr = lpNewRoot->CreateStorage(wide.c_str(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0,
            0, &pDest);
        if (SUCCEEDED(hr)) {
            // The object's data is copied element by element, unread.
            hr = pItem->m_lpStorage->CopyTo(0, NULL, NULL, pDest);
            if (SUCCEEDED(hr))
                hr = pDest->Commit(STGC_DEFAULT);
            pDest->Release();
        }
        if (FAILED(hr))
            ThrowStorageError(hr, NULL);
    }
}

void COleDocument::ReopenItemStorages()
{
    if (m_lpRootStg == NULL)
        return;
    POSITION pos = GetStartPosition();
    while (COleClientItem* pItem = GetNextClientItem(pos)) {
        if (pItem->m_lpStorage == NULL)
            continue;
        const std::u16string wide = platform::EmbeddingStorageName(pItem->m_dwItemNumber);
        IStorage* pStorage = NULL;
        if (SUCCEEDED(m_lpRootStg->OpenStorage(wide.c_str(), NULL, STGM_READ | STGM_SHARE_EXCLUSIVE, NULL, 0,
                &pStorage))) {
            pItem->m_lpStorage->Release();
            pItem->m_lpStorage = pStorage;
        }
    }
}

void COleDocument::OnCloseDocument()
{
    // The items close with the document; they have no running servers to
    // tell. The base may delete the document.
    CDocument::OnCloseDocument();
}

void COleDocument::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        DWORD dwCount = 0;
        POSITION pos = GetStartPosition();
        while (pos != NULL) {
            if (!GetNextItem(pos)->IsBlank())
                ++dwCount;
        }
        ar << dwCount;
        pos = GetStartPosition();
        while (pos != NULL) {
            CDocItem* pItem = GetNextItem(pos);
            if (!pItem->IsBlank())
                ar.WriteObject(pItem);
        }
        return;
    }

    // A file that ends before the list has no items of its own to list.
    if (ar.GetBytesRemaining() == 0)
        return;
    DWORD dwCount = 0;
    ar >> dwCount;
    // Each entry takes at least a two-byte tag.
    if (dwCount > ar.GetBytesRemaining() / 2)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    for (DWORD i = 0; i < dwCount; ++i) {
        CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CDocItem));
        if (pObject == NULL)
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
        auto* pItem = static_cast<CDocItem*>(pObject);
        // An item read here for the first time belongs to the document.
        if (pItem->m_pDocument == NULL)
            AddItem(pItem);
        else if (pItem->m_pDocument != this)
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    }
}

// ---- Container commands ---------------------------------------------------------------------

void COleDocument::OnUpdatePasteMenu(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(COleClientItem::CanPaste());
}

void COleDocument::OnUpdatePasteLinkMenu(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(COleClientItem::CanPasteLink());
}

void COleDocument::OnUpdateEditLinksMenu(CCmdUI* pCmdUI)
{
    // Links cannot be updated without their programs.
    pCmdUI->Enable(FALSE);
}

void COleDocument::OnUpdateObjectVerbMenu(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void COleDocument::OnUpdateEditChangeIcon(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void COleDocument::OnUpdateInsertObject(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void COleDocument::OnEditLinks()
{
    AfxMessageBox("Links to other programs' files cannot be edited here.", MB_OK | MB_ICONINFORMATION);
}

void COleDocument::OnEditConvert()
{
    AfxMessageBox("Objects cannot be converted here.", MB_OK | MB_ICONINFORMATION);
}

void COleDocument::OnEditChangeIcon()
{
    AfxMessageBox("Object icons cannot be changed here.", MB_OK | MB_ICONINFORMATION);
}
