#pragma once
// CDocument: the data of one open file, shown by one or more views.
//
// A document is made by its template (CDocTemplate::CreateNewDocument) and
// belongs to it; it keeps a list of its views but does not own them (their
// frames do). It deletes itself in OnCloseDocument when m_bAutoDelete is
// set, which is also what happens when its last view goes away. Saving
// writes the whole file to memory first and replaces the old file only once
// that worked, so a failed save never damages the file the user had.

#include "platform/base/ObList.h"
#include "platform/base/String.h"
#include "platform/framework/CmdTarget.h"

class CArchive;
class CDocTemplate;
class CException;
class CFile;
class CFileException;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    // Sets the title and refreshes the caption of every frame showing it.
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Makes the path absolute, takes its file name as the title and, with
    // bAddToMRU, enters it in the application's recent-file list.
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);

    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified();
    virtual void SetModifiedFlag(BOOL bModified = TRUE);

    // Views. AddView and RemoveView keep the view's document pointer in
    // step and call OnChangedViewList.
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    virtual POSITION GetFirstViewPosition() const;
    virtual CView* GetNextView(POSITION& rPosition) const;
    // OnUpdate for every view but pSender, visible or not.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = NULL);

    // ---- The file's life
    virtual void DeleteContents();
    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Destroys every frame showing the document, empties it, and deletes it
    // when m_bAutoDelete is set: do not touch the document afterwards.
    virtual void OnCloseDocument();
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault);
    // The file OnOpenDocument reads; NULL with *pError filled on failure.
    virtual CFile* GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
    virtual void ReleaseFile(CFile* pFile, BOOL bAbort);

    // ---- Closing frames and saving on the user's word
    // TRUE when pFrame may close: always for a frame that is not the last
    // one showing the document; for the last one, SaveModified decides.
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    // Asks "Save changes to <name>?" when modified: Yes saves (FALSE when the
    // save fails), No answers TRUE, Cancel FALSE.
    virtual BOOL SaveModified();
    virtual void PreCloseFrame(CFrameWnd* pFrame);

    // Routes a command to the document, then to its template.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    BOOL m_bAutoDelete = TRUE; // delete the document when it is closed
    BOOL m_bEmbedded = FALSE;  // an embedded (OLE server) document; never one here

    // The saves behind Save and Save As. A NULL path, or bReplace, asks the
    // user for a name with the application's DoPromptFileName; bReplace
    // FALSE saves a copy and leaves the document's path as it is.
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
    // Save to the current path; a document without a path or with a
    // read-only file asks for a name.
    virtual BOOL DoFileSave();

    // Called after a view is added or removed: closing the document when
    // the last view went away (only for m_bAutoDelete documents), else
    // renumbering the frames.
    virtual void OnChangedViewList();
    // Numbers the frames showing the document (CFrameWnd::m_nWindow: 0 for
    // a single frame, else 1, 2, ... shown as ":n") and updates their titles.
    virtual void UpdateFrameCounts();

protected:
    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = NULL;
    CObList m_viewList; // of CView*, not owned
    BOOL m_bModified = FALSE;

    friend class CDocTemplate;

    afx_msg void OnFileClose();
    afx_msg void OnFileSave();
    afx_msg void OnFileSaveAs();
    DECLARE_MESSAGE_MAP()
};
