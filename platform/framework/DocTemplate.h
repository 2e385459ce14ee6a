#pragma once
// Document templates: what a kind of file is made of (document class, frame
// class, view class) and the resources of that kind (document string, menu,
// accelerators), all named by one resource id.
//
// The application owns its templates (AddDocTemplate) and deletes them at
// exit; a template owns the list of its open documents only as pointers:
// documents delete themselves when closed and leave the list then.
// CMultiDocTemplate keeps any number of documents, each in its own frame,
// and one menu and accelerator table shared by all its frames, loaded once
// by LoadTemplate and destroyed once in the destructor. CSingleDocTemplate
// keeps at most one document and reuses it for File New and File Open.

#include "platform/base/ObList.h"
#include "platform/base/String.h"
#include "platform/framework/CmdTarget.h"

class CDocument;
class CFrameWnd;
struct CRuntimeClass;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);

public:
    ~CDocTemplate() override;

    // The substrings of the document string, in order.
    enum DocStringIndex {
        windowTitle,     // the main window's title (single-document programs)
        docName,         // the root of default titles ("Untitled" without it)
        fileNewName,     // shown in File New's choice of templates
        filterName,      // "Shirts (*.shr)"
        filterExt,       // ".shr"
        regFileTypeId,   // registry file type
        regFileTypeName, // its readable name
    };

    // How sure a template is that it should open a file.
    enum Confidence {
        noAttempt,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen,
    };

    // Loads the resources named by the template's id; called by
    // CWinApp::AddDocTemplate. Loading twice loads nothing more.
    virtual void LoadTemplate();
    // The in-place container resources of OLE (kept, not used here).
    void SetContainerInfo(UINT nIDOleInPlaceContainer);

    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    // Substring `index` of the document string; FALSE (and an empty string)
    // when the string has no such substring.
    virtual BOOL GetDocString(CString& rString, enum DocStringIndex index) const;

    // yesAlreadyOpen (with rpDocMatch) when one of this template's
    // documents is that file, whatever the path's spelling; yesAttemptNative
    // when the name ends with the template's extension; else
    // yesAttemptForeign.
    virtual Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch);

    // A new document of the template's class, added to the template; NULL
    // (after a message) when the class cannot be created.
    virtual CDocument* CreateNewDocument();
    // A new frame for pDoc with its view, loaded from the template's
    // resources; NULL (after a message) on failure. pOther is a frame
    // whose view class is copied instead of the template's (a new window on
    // the same document) or NULL.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);

    // SaveModified of every document; FALSE as soon as one refuses.
    virtual BOOL SaveAllModified();
    // OnCloseDocument of every document.
    virtual void CloseAllDocuments(BOOL bEndSession);

    // NULL path: a new document (OnNewDocument); otherwise the file is
    // opened (OnOpenDocument). A failure destroys what was made and
    // answers NULL.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    // Gives a new, unnamed document its title.
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // The application deletes the template at exit while this is set.
    BOOL m_bAutoDelete = TRUE;

    UINT m_nIDResource;
    UINT m_nIDContainerResource = 0;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings; // the '\n'-separated document string

protected:
    BOOL m_bTemplateLoaded = FALSE;
};

class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    // Destroys the shared menu and accelerator table when still set. A
    // derived template that borrowed another's menu sets m_hMenuShared to
    // NULL first, so the menu is destroyed by its owner only.
    ~CMultiDocTemplate() override;

    // Loads menu and accelerator table m_nIDResource (either may be missing).
    void LoadTemplate() override;

    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    // docName followed by a number counting up from 1 for each new
    // document of this template; "Untitled" when there is no docName.
    void SetDefaultTitle(CDocument* pDocument) override;

    HMENU m_hMenuShared = NULL;  // the menu of every frame of this template
    HACCEL m_hAccelTable = NULL; // and their accelerators

protected:
    CObList m_docList; // of CDocument*, not owned
    UINT m_nUntitledCount = 0;
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    // Reuses the one document (and its frame) when there is one: it is
    // asked to save its changes, then emptied and reloaded.
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;

protected:
    CDocument* m_pOnlyDoc = NULL;
};
