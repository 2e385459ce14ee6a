#pragma once
// CTwoSidedPrintDlg: the pause between the passes of a design printed one
// side at a time whose sheet goes back in turned over. It names the surface
// printed next and asks for the sheet to be put back; OK prints that side,
// Cancel ends the job.
//
// The caller owns the dialog and keeps the view and the document alive
// while it runs; the dialog only reads the document's pass count and
// surface names.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

class CDrawDoc;
class CSurface;

class CTwoSidedPrintDlg : public CDialog {
public:
    CTwoSidedPrintDlg(CSurface* pView, CDrawDoc* pDoc);

    // The surface the next pass prints: the one after the pass that has
    // just ended, by the document's count of passes still to come.
    static int NextSurfaceOf(const CDrawDoc* pDoc);
    // "Next to print: the Back." (the surface's name, else its number).
    static CString DescribeNextSurface(CDrawDoc* pDoc);

protected:
    BOOL OnInitDialog() override;

    CDrawDoc* m_pDoc;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
};
