#pragma once
// CAlignDlg: lets the user pick one horizontal and one vertical alignment
// for the selection, with a drawn sample of two rectangles that shows the
// choice. Both choices start at None; the dialog only chooses, and
// RunAlignDialog turns the choice into the view's align commands.

#include "platform/framework/Afx.h"

class CAlignDlg : public CDialog {
public:
    // The choice codes; the horizontal and vertical ones share values.
    enum HorzChoice : int { HorzCenter = 0, HorzLeft = 1, HorzRight = 2, HorzNone = 3 };
    enum VertChoice : int { VertBottom = 0, VertCenter = 1, VertTop = 2, VertNone = 3 };

    explicit CAlignDlg(CWnd* pParent = NULL);

    int m_nHorz = HorzNone;
    int m_nVert = VertNone;

    // The command a choice sends to the active view; 0 for None (or a code
    // out of range).
    static UINT HorzCommand(int nChoice);
    static UINT VertCommand(int nChoice);

    // The sample area in dialog client pixels: the hidden static's place,
    // inset by 4. Empty before the window exists.
    CRect GetPreviewRect() const;
    // The two sample rectangles for a choice, in dialog client pixels;
    // the cyan one is drawn first, the magenta one over it.
    void GetSampleRects(CRect& rectCyan, CRect& rectMagenta) const;

protected:
    CButton m_btnVertNone;
    CButton m_btnHorzNone;
    CStatic m_preview;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void DrawPreview(CDC* pDC);
    void InvalidatePreview();

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnHorzChoice(UINT nID);
    afx_msg void OnVertChoice(UINT nID);
    afx_msg void OnHelpButton();
    DECLARE_MESSAGE_MAP()
};

// Runs the Align dialog; on OK posts the horizontal choice's command, then
// the vertical choice's, to the main window, which routes them to the
// active view. Nothing is posted for None or on Cancel. Answers DoModal's
// result.
INT_PTR RunAlignDialog(CWnd* pParent);
