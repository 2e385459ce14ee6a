#pragma once
// The class library's OLE container document and client items, as a
// program without OLE servers can have them.
//
// Designs may hold objects embedded by other programs. Threadwick cannot
// run those programs, so an item here is kept, not edited: its storage
// ("Embedding <n>" under the document's root storage) is carried byte for
// byte from file to file and never interpreted, and the item is drawn from
// the picture its program cached in that storage. Every OLE action (open,
// edit, create, paste, link) answers that it is not available.
//
// COleDocument keeps its data in a compound file: a root storage with the
// document's archive in the stream "Contents" and one sub-storage per
// client item. A save builds the complete new file beside the target and
// renames it over the target only when everything worked, so a failed save
// leaves the old file as it was. The document owns its items: those still
// listed when it is destroyed are deleted with it; an item deleted earlier
// leaves the list by itself.

#include "platform/base/Geometry.h"
#include "platform/base/Guid.h"
#include "platform/base/ObList.h"
#include "platform/framework/Document.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/OleTypes.h"

#include <memory>
#include <vector>

class CDC;
class CView;
class CCmdUI;
class COleDataObject;
class COleDataSource;
class COleDocument;
struct IStorage;
typedef IStorage* LPSTORAGE;
struct MSG;
class CWnd;

// How an item is closed.
typedef DWORD OLECLOSE;
#define OLECLOSE_SAVEIFDIRTY 0
#define OLECLOSE_NOSAVE 1
#define OLECLOSE_PROMPTSAVE 2

// A part of a document's data kept in the document's item list.
class CDocItem : public CObject {
    DECLARE_DYNAMIC(CDocItem)
public:
    ~CDocItem() override;

    CDocument* GetDocument() const;
    // Blank items are left out of the document's list of items when it is
    // stored.
    virtual BOOL IsBlank() const { return FALSE; }

protected:
    CDocItem() = default;

    COleDocument* m_pDocument = NULL; // set by COleDocument::AddItem
    friend class COleDocument;
};

// The client item: one embedded, linked or static object of the document.
class COleClientItem : public CDocItem {
    DECLARE_DYNAMIC(COleClientItem)
public:
    enum ItemState { emptyState = 0, loadedState = 1, openState = 2, activeState = 3, activeUIState = 4 };

    // Joins the document's item list when a document is given (one made
    // by the archive joins the archive's document when it is read).
    explicit COleClientItem(COleDocument* pContainerDoc = NULL);
    ~COleClientItem() override;

    // The item's record: type, item number, cached aspect, moniker flag and
    // draw aspect. Reading takes the item's storage from the document's root
    // storage; values out of range raise CArchiveException.
    void Serialize(CArchive& ar) override;

    COleDocument* GetDocument() const { return m_pDocument; }
    CView* GetActiveView() const { return NULL; }
    // Never more than loaded: empty without a storage, else loaded.
    UINT GetItemState() const { return m_nItemState; }
    OLE_OBJTYPE GetType() const { return m_nItemType; }
    DWORD GetItemNumber() const { return m_dwItemNumber; }
    BOOL IsInPlaceActive() const { return FALSE; }
    BOOL IsOpen() const { return FALSE; }
    BOOL IsRunning() const { return FALSE; }
    BOOL IsModified() const { return FALSE; }
    BOOL IsLinkUpToDate() const { return TRUE; }
    DVASPECT GetDrawAspect() const { return m_nDrawAspect; }
    void SetDrawAspect(DVASPECT nDrawAspect) { m_nDrawAspect = nDrawAspect; }
    // The class of the object's program, from its storage (CLSID_NULL
    // without one).
    void GetClassID(CLSID* pClassID) const;
    // The object kind's name ("Paintbrush Picture"), from its storage;
    // empty when the storage does not say.
    void GetUserType(CString& rString) const;
    // The storage kept for the item; NULL when it has none. Not to be
    // released by the caller.
    LPSTORAGE GetStorage() const { return m_lpStorage; }

    // The size of the cached picture in HIMETRIC; nDrawAspect -1 means the
    // item's draw aspect. FALSE when the storage holds no picture of that
    // aspect.
    BOOL GetExtent(LPSIZE lpSize, DVASPECT nDrawAspect = (DVASPECT)-1);
    BOOL GetCachedExtent(LPSIZE lpSize, DVASPECT nDrawAspect = (DVASPECT)-1);
    // Only in-place active items have rectangles to set: always FALSE.
    BOOL SetItemRects(LPCRECT lpPosRect = NULL, LPCRECT lpClipRect = NULL);

    // Draws the cached picture (a metafile, enhanced metafile or bitmap)
    // stretched into lpBounds; without one, a framed placeholder with a
    // cross and the object kind's name. TRUE when the cached picture drew.
    BOOL Draw(CDC* pDC, LPCRECT lpBounds, DVASPECT nDrawAspect = (DVASPECT)-1);

    // Tells the user "This object cannot be opened or edited here." and
    // answers FALSE.
    BOOL DoVerb(LONG nVerb, CView* pView, MSG* lpMsg = NULL);

    // Told before the program opens a modal dialog over the item's document
    // and after it has closed. An item active in place would keep its own
    // windows out of the dialog's way; none is ever active in place here.
    virtual void OnBeforeModalDialog() {}
    virtual void OnAfterModalDialog() {}
    void Activate(LONG nVerb, CView* pView, MSG* lpMsg = NULL);
    void Close(OLECLOSE dwCloseOption = OLECLOSE_SAVEIFDIRTY);
    void Deactivate() {}
    void DeactivateUI() {}
    // Lets go of the item's storage; the item becomes empty.
    void Release(OLECLOSE dwCloseOption = OLECLOSE_NOSAVE);
    // Release, leave the document, and (bAutoDelete) delete this object.
    void Delete(BOOL bAutoDelete = TRUE);

    // Becomes a copy of pSrcItem (type, aspects and a copy of its storage)
    // under a new item number of this item's document. FALSE when the
    // source has no storage or the copy fails.
    BOOL CreateCloneFrom(const COleClientItem* pSrcItem);

    // Nothing can be created, pasted or linked here.
    static BOOL PASCAL CanPaste() { return FALSE; }
    static BOOL PASCAL CanPasteLink() { return FALSE; }
    static BOOL PASCAL CanCreateFromData(const COleDataObject*) { return FALSE; }
    static BOOL PASCAL CanCreateLinkFromData(const COleDataObject*) { return FALSE; }
    BOOL CreateFromClipboard(OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL) { return FALSE; }
    BOOL CreateFromData(COleDataObject*, OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL)
    {
        return FALSE;
    }
    BOOL CreateFromFile(LPCTSTR, REFCLSID = CLSID_NULL, OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0,
        LPFORMATETC = NULL)
    {
        return FALSE;
    }
    BOOL CreateLinkFromFile(LPCTSTR, OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL)
    {
        return FALSE;
    }
    BOOL CreateLinkFromClipboard(OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL) { return FALSE; }
    BOOL CreateLinkFromData(COleDataObject*, OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL)
    {
        return FALSE;
    }
    BOOL CreateStaticFromClipboard(OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL) { return FALSE; }
    BOOL CreateStaticFromData(COleDataObject*, OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL)
    {
        return FALSE;
    }
    BOOL CreateNewItem(REFCLSID, OLERENDER = OLERENDER_DRAW, CLIPFORMAT = 0, LPFORMATETC = NULL) { return FALSE; }

    // The object's own clipboard formats: it has none to offer without its
    // program.
    void GetClipboardData(COleDataSource* pDataSource, BOOL bIncludeLink = FALSE, LPPOINT lpOffset = NULL,
        LPSIZE lpSize = NULL);
    void CopyToClipboard(BOOL bIncludeLink = FALSE);

    // Notifications a running object would send; kept so that overrides
    // keep their meaning.
    virtual void OnChange(OLE_NOTIFICATION nCode, DWORD dwParam);
    virtual BOOL OnChangeItemPosition(const CRect& rectPos);
    virtual void OnGetItemPosition(CRect& rPosition);
    virtual void OnActivate();
    virtual void OnDeactivate();

    // The picture cached in the storage (internal to the item's drawing).
    struct CachedPicture;

protected:
    // The item's cached picture of an aspect (the first presentation stream
    // of that aspect in its storage); NULL when there is none or it is
    // damaged. The answer is kept until the storage changes.
    const CachedPicture* CachedPictureOf(DVASPECT nAspect) const;

    UINT m_nItemState = emptyState;
    OLE_OBJTYPE m_nItemType = OT_UNKNOWN;
    DWORD m_dwItemNumber = 0;
    DVASPECT m_nCachedAspect = DVASPECT_CONTENT;
    WORD m_bMoniker = 0;
    DVASPECT m_nDrawAspect = DVASPECT_CONTENT;
    LPSTORAGE m_lpStorage = NULL; // one reference held
    mutable std::shared_ptr<const CachedPicture> m_pPicture; // what CachedPictureOf last found
    mutable DVASPECT m_nPictureAspect = 0;                   // the aspect it looked for; 0: not yet

    friend class COleDocument;
};

class COleDocument : public CDocument {
    DECLARE_DYNAMIC(COleDocument)
public:
    COleDocument();
    ~COleDocument() override;

    // Compound files on: the document is a root storage with "Contents";
    // off: a flat file, as a plain document.
    void EnableCompoundFile(BOOL bEnable = TRUE) { m_bCompoundFile = bEnable; }
    BOOL IsCompoundFile() const { return m_bCompoundFile; }

    // The item list.
    void AddItem(CDocItem* pItem);
    void RemoveItem(CDocItem* pItem);
    POSITION GetStartPosition() const { return m_docItemList.GetHeadPosition(); }
    CDocItem* GetNextItem(POSITION& pos) const;
    // The next client item (other items are stepped over); NULL at the end.
    COleClientItem* GetNextClientItem(POSITION& pos) const;
    BOOL HasBlankItems() const;
    // A number no item of this document has used yet.
    DWORD GetNewItemNumber();
    // The item with that number, or NULL.
    COleClientItem* FindItemByNumber(DWORD dwItemNumber) const;

    // No item is ever in place active here.
    COleClientItem* GetInPlaceActiveItem(CWnd* pWnd) { (void)pWnd; return NULL; }
    // Told before the program opens a modal dialog while one of the
    // document's views is active, and after it has closed, when no item of
    // the document is active in place (the item is told instead). Nothing
    // to do for a plain container.
    virtual void OnBeforeModalDialog() {}
    virtual void OnAfterModalDialog() {}
    // Items cannot change by themselves here: nothing to merge.
    void UpdateModifiedFlag();
    virtual void OnShowViews(BOOL bVisible);

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    BOOL OnSaveDocument(LPCTSTR lpszPathName) override;
    void OnCloseDocument() override;
    // Writes or reads the list of the document's non-blank items (a DWORD
    // count, then each item as an archive object); a derived document calls
    // it after its own data, as the class library's containers do. Reading
    // at the very end of the data finds an empty list.
    void Serialize(CArchive& ar) override;

    // The root storage of the open file (or the temporary one of a new
    // document); NULL for a flat document. Not to be released by others.
    LPSTORAGE m_lpRootStg = NULL;
    BOOL m_bCompoundFile = FALSE;

    // The handlers of the container commands; a program maps Paste to
    // OnUpdatePasteMenu in its own map when it has no Paste of its own.
    afx_msg void OnUpdatePasteMenu(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePasteLinkMenu(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditLinksMenu(CCmdUI* pCmdUI);
    afx_msg void OnUpdateObjectVerbMenu(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditChangeIcon(CCmdUI* pCmdUI);
    afx_msg void OnUpdateInsertObject(CCmdUI* pCmdUI);
    afx_msg void OnEditLinks();
    afx_msg void OnEditConvert();
    afx_msg void OnEditChangeIcon();

protected:
    // Copies every item's storage into the new root as "Embedding <n>".
    virtual void CommitItems(LPSTORAGE lpNewRoot);
    // Opens each item's storage again from the root (after a save).
    void ReopenItemStorages();
    void ReleaseRootStorage();

    CObList m_docItemList; // of CDocItem*, owned
    DWORD m_dwNextItemNumber = 1;

    DECLARE_MESSAGE_MAP()
};
