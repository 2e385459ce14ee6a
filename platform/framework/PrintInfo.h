#pragma once
// CPrintInfo: what one print or print-preview job knows about itself, handed
// to every print virtual of the view. It owns its print dialog (m_pPD) and,
// through that dialog, the printer DC the job made: both go with it.
//
// Page numbers count from 1. Until the view sets a maximum, the page count is
// unknown (0xFFFF) and the print loop asks OnPrepareDC page by page whether
// to go on.

#include "platform/base/Geometry.h"
#include "platform/base/String.h"

class CPrintDialog;

class CPrintInfo {
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    CPrintDialog* m_pPD;     // the print dialog of the job
    BOOL m_bDocObject = FALSE;
    BOOL m_bDirect = FALSE;  // print without showing the print dialog
    BOOL m_bPreview = FALSE; // the job is a print preview
    BOOL m_bContinuePrinting = TRUE; // cleared to stop after this page
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 0; // 1 or 2 once the preview runs; 0 = the application's choice
    CString m_strPageDesc;   // "Page %u\nPages %u-%u\n": the preview's page indicator
    LPVOID m_lpUserData = nullptr;
    CRect m_rectDraw;        // the printable area of the page, in logical units
    UINT m_nOffsetPage = 0;
    UINT m_nJobNumber = 0;   // StartDoc's answer while printing

    void SetMinPage(UINT nMinPage);
    void SetMaxPage(UINT nMaxPage);
    UINT GetMinPage() const;
    UINT GetMaxPage() const;
    UINT GetFromPage() const;
    UINT GetToPage() const;
    UINT GetOffsetPage() const { return m_nOffsetPage; }
};

// Whether the user has cancelled the print job that runs (the Printing
// window's Cancel, or the program being asked to end). Long drawing on a page
// asks it between waiting messages it lets through; FALSE when no job runs.
BOOL IsPrintJobCancelled();

// Whether the job that is ending did not print whole: the printer refused
// it or a page, or the user cancelled. Meant for OnEndPrinting; FALSE when
// no job runs.
BOOL IsPrintJobFailed();
