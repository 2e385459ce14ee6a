#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/framework/OleDoc.h"
#include "platform/framework/OleInternal.h"
#include "platform/storage/Storage.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"

#include <string>

IMPLEMENT_DYNAMIC(COleClientItem, CDocItem)

namespace {

bool IsAspect(DWORD value)
{
    return value == DVASPECT_CONTENT || value == DVASPECT_THUMBNAIL || value == DVASPECT_ICON
        || value == DVASPECT_DOCPRINT;
}

[[noreturn]] void ThrowBadRecord(CArchive& ar)
{
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
}

} // namespace

std::u16string platform::EmbeddingStorageName(DWORD dwItemNumber)
{
    CString name;
    name.Format("Embedding %lu", static_cast<unsigned long>(dwItemNumber));
    return Utf16From1252(static_cast<LPCTSTR>(name));
}

COleClientItem::COleClientItem(COleDocument* pContainerDoc)
{
    if (pContainerDoc != NULL)
        pContainerDoc->AddItem(this);
}

COleClientItem::~COleClientItem()
{
    Release();
}

void COleClientItem::Serialize(CArchive& ar)
{
    CDocItem::Serialize(ar);
    if (ar.IsStoring()) {
        // An item that never had a number gets one now, so that the record
        // can be read back; it has no storage and reads back empty.
        if (m_dwItemNumber == 0 && m_pDocument != NULL)
            m_dwItemNumber = m_pDocument->GetNewItemNumber();
        ar << static_cast<DWORD>(m_nItemType);
        ar << m_dwItemNumber;
        ar << static_cast<DWORD>(m_nCachedAspect);
        ar << m_bMoniker;
        ar << static_cast<DWORD>(m_nDrawAspect);
        return;
    }

    DWORD dwType = 0;
    DWORD dwItemNumber = 0;
    DWORD dwCachedAspect = 0;
    WORD wMoniker = 0;
    DWORD dwDrawAspect = 0;
    ar >> dwType;
    ar >> dwItemNumber;
    ar >> dwCachedAspect;
    ar >> wMoniker;
    ar >> dwDrawAspect;
    if (dwType > OT_STATIC || dwItemNumber == 0 || dwItemNumber == 0xFFFFFFFF || !IsAspect(dwCachedAspect)
        || wMoniker > 1 || !IsAspect(dwDrawAspect))
        ThrowBadRecord(ar);

    // An item made by the archive belongs to the document being read.
    COleDocument* pDoc = m_pDocument;
    if (pDoc == NULL) {
        pDoc = dynamic_cast<COleDocument*>(ar.m_pDocument);
        if (pDoc == NULL)
            ThrowBadRecord(ar);
    }
    // Two items cannot share one storage.
    COleClientItem* pSame = pDoc->FindItemByNumber(dwItemNumber);
    if (pSame != NULL && pSame != this)
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);

    Release();
    m_nItemType = dwType;
    m_dwItemNumber = dwItemNumber;
    m_nCachedAspect = dwCachedAspect;
    m_bMoniker = wMoniker;
    m_nDrawAspect = dwDrawAspect;
    if (m_pDocument == NULL)
        pDoc->AddItem(this);

    // The object's storage is kept as it is. Without one (a design that
    // lost it) the item is empty and draws as a placeholder.
    if (pDoc->m_lpRootStg != NULL) {
        const std::u16string name = platform::EmbeddingStorageName(m_dwItemNumber);
        IStorage* pStorage = NULL;
        if (SUCCEEDED(pDoc->m_lpRootStg->OpenStorage(name.c_str(), NULL, STGM_READ | STGM_SHARE_EXCLUSIVE, NULL, 0,
                &pStorage))) {
            m_lpStorage = pStorage;
            m_nItemState = loadedState;
        }
    }
}

void COleClientItem::GetClassID(CLSID* pClassID) const
{
    if (pClassID == NULL)
        return;
    *pClassID = CLSID_NULL;
    if (m_lpStorage == NULL)
        return;
    STATSTG stat{};
    if (SUCCEEDED(m_lpStorage->Stat(&stat, STATFLAG_NONAME)))
        *pClassID = stat.clsid;
}

BOOL COleClientItem::SetItemRects(LPCRECT, LPCRECT)
{
    return FALSE;
}

BOOL COleClientItem::DoVerb(LONG nVerb, CView* pView, MSG* lpMsg)
{
    Activate(nVerb, pView, lpMsg);
    return FALSE;
}

void COleClientItem::Activate(LONG, CView*, MSG*)
{
    AfxMessageBox("This object cannot be opened or edited here.", MB_OK | MB_ICONINFORMATION);
}

void COleClientItem::Close(OLECLOSE)
{
    // Nothing runs, so there is nothing to close: the item stays loaded.
}

void COleClientItem::Release(OLECLOSE)
{
    if (m_lpStorage != NULL) {
        m_lpStorage->Release();
        m_lpStorage = NULL;
    }
    m_pPicture.reset();
    m_nPictureAspect = 0;
    m_nItemState = emptyState;
}

void COleClientItem::Delete(BOOL bAutoDelete)
{
    Release();
    if (m_pDocument != NULL)
        m_pDocument->RemoveItem(this);
    if (bAutoDelete)
        delete this;
}

BOOL COleClientItem::CreateCloneFrom(const COleClientItem* pSrcItem)
{
    if (pSrcItem == NULL || pSrcItem == this || pSrcItem->m_lpStorage == NULL || m_pDocument == NULL)
        return FALSE;
    // The copy lives in a temporary storage of its own until the document
    // is saved, whatever the mode of the document's root.
    IStorage* pStorage = NULL;
    HRESULT hr = StgCreateDocfile(NULL, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_DELETEONRELEASE, 0,
        &pStorage);
    if (FAILED(hr))
        return FALSE;
    hr = pSrcItem->m_lpStorage->CopyTo(0, NULL, NULL, pStorage);
    if (FAILED(hr)) {
        pStorage->Release();
        return FALSE;
    }
    Release();
    m_lpStorage = pStorage;
    m_nItemState = loadedState;
    m_nItemType = pSrcItem->m_nItemType;
    m_nCachedAspect = pSrcItem->m_nCachedAspect;
    m_bMoniker = pSrcItem->m_bMoniker;
    m_nDrawAspect = pSrcItem->m_nDrawAspect;
    m_dwItemNumber = m_pDocument->GetNewItemNumber();
    return TRUE;
}

void COleClientItem::GetClipboardData(COleDataSource*, BOOL, LPPOINT, LPSIZE)
{
}

void COleClientItem::CopyToClipboard(BOOL)
{
}

void COleClientItem::OnChange(OLE_NOTIFICATION, DWORD)
{
}

BOOL COleClientItem::OnChangeItemPosition(const CRect&)
{
    // In-place active items move their windows here; none are active.
    return TRUE;
}

void COleClientItem::OnGetItemPosition(CRect&)
{
}

void COleClientItem::OnActivate()
{
}

void COleClientItem::OnDeactivate()
{
}
