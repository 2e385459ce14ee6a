#pragma once
// The document templates of the six project kinds (shirt, apparel, mouse
// pad, calendar, label, general). Each kind has its own document class,
// document strings, file extension and class ID; all of them share one
// child frame class, one view class and the first template's menu.

#include "platform/framework/DocTemplate.h"

class CWinApp;

class CDesignDocTemplate : public CMultiDocTemplate {
    DECLARE_DYNAMIC(CDesignDocTemplate)
public:
    // nIDResource: the shared menu, icon and accelerators; nIDDocString: the
    // template's own document strings; nKind: its project kind (0..5).
    CDesignDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
        CRuntimeClass* pViewClass, UINT nIDDocString, int nKind);
    // A template that borrowed another's menu lets go of it first, so that
    // the menu is destroyed once, by its owner.
    ~CDesignDocTemplate() override;

    // Substring index of the template's own document string (never of the
    // shared resource's).
    BOOL GetDocString(CString& rString, enum DocStringIndex index) const override;
    // yesAlreadyOpen for one of this template's open documents, yesAttemptNative
    // for a compound file of this kind's class ID, else noAttempt.
    Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch) override;
    // Clears the new-design mode; the document is made visible unless the
    // template is hidden (bMakeVisible is not used).
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    // Destroys the template's own menu and takes hMenu as its shared menu.
    void ShareMenu(HMENU hMenu);

    int GetKind() const { return m_nKind; }
    UINT GetDocStringId() const { return m_nIDDocString; }

    BOOL m_bOwnsMenu = TRUE;
    UINT m_nIDDocString = 0;
    int m_nKind = 6;
    BOOL m_bHidden = FALSE;
};

// Builds the six templates in kind order and adds them to pApp; all share the
// first template's menu, which is answered (the application keeps it).
HMENU RegisterDocTemplates(CWinApp* pApp);

// The template of project kind nKind, or NULL.
CDesignDocTemplate* FindDocTemplateByKind(int nKind);
// The open document of that path (asked of every template), or NULL.
CDocument* FindOpenDocument(LPCTSTR lpszPathName);
// Brings the document's first view's frame forward, and the main frame when
// that is another window.
void ActivateDocumentFrames(CDocument* pDoc);
// The open documents of every template.
int CountOpenDocuments();
// Every view of every open document of every template gets the hint.
void UpdateAllDesignViews(LPARAM lHint, CObject* pHint = nullptr);
// How many designs may be open: 15 while the Design Wizard runs modally,
// else 6 on current systems and 3 on the oldest.
int MaxOpenDocuments();
