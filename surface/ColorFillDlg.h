#pragma once
// CColorFillDlg: the "Color/Fill" dialog, where a drawing object's fill (none,
// solid, hatch or a stepped gradient of two to four colours) and outline
// (automatic, off or on, with width, colour and style) are chosen with a live
// preview. In text-gradient mode it edits the text's gradient instead and
// leaves the object's own fill and outline alone.
//
// The caller owns the attribute record and hands it to SetObject before
// DoModal; the dialog works on a copy and writes the record back only on OK
// (Cancel leaves it untouched). Number fields are checked on OK and after
// choices made with the mouse; while a number is being typed the preview
// follows only valid values and says nothing. EditColorFill is the usual way
// in.

#include "controls/ColorButton.h"
#include "controls/PictureButton.h"
#include "model/ObjectAttributes.h"
#include "platform/framework/Afx.h"

class CDC;
class CGridPicker;

class CColorFillDlg : public CDialog {
public:
    enum FillKind : int { FillNone = 0, FillSolid = 1, FillHatch = 2, FillGradient = 3 };
    enum OutlineMode : int { OutlineAutomatic = 0, OutlineOff = 1, OutlineOn = 2 };

    static constexpr int kMinSteps = 2;
    static constexpr int kMaxSteps = 100;
    static constexpr int kMinWidth = 1;
    static constexpr int kMaxWidth = 100;
    // The shape kind of a line object.
    static constexpr int kLineShape = 3;

    explicit CColorFillDlg(CWnd* pParent = NULL);
    ~CColorFillDlg() override;

    // Loads the copy from the record, which must outlive the dialog; OK
    // writes the result into it.
    void SetObject(CObjectAttributes* pAttrs, BOOL bTextGradient, BOOL bRestricted);

    // Paints the preview of the copy into rect (client coordinates of pDC):
    // a sunken white frame, and inside it the fill and outline as the object
    // would show them.
    void DrawPreview(CDC* pDC, const CRect& rect) const;

    // Whether the preview shows the outline and the fill.
    BOOL IsOutlineShown() const;
    BOOL IsFillable() const;

    // The copy the dialog edits.
    int m_nFillKind = -1;
    LOGBRUSH m_logbrush{};
    BOOL m_bSolidFill = FALSE;
    COLORREF m_crHatchBack = 0;
    BOOL m_bTransparent = FALSE;
    LOGPEN m_logpen{};
    int m_nOutlineMode = -1;
    int m_nOutlineWidth = 0;
    CFillInfo m_fill;
    int m_nSteps = 100;
    int m_nDirectionCell = -1;
    BOOL m_bTextGradient = FALSE;
    BOOL m_bHasText = FALSE;
    BOOL m_bHasPicture = FALSE;
    BOOL m_bIsCalendar = FALSE;
    BOOL m_bIsLine = FALSE;
    BOOL m_bRestricted = FALSE;
    // The line style chosen in the style popup, PS_SOLID..PS_DASHDOTDOT.
    int m_nLineStyle = PS_SOLID;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnPaint();
    afx_msg void OnFillKind(UINT nID);
    afx_msg void OnOutlineMode(UINT nID);
    afx_msg void OnColorButton(UINT nID);
    afx_msg void OnHatchStyle();
    afx_msg void OnLineStyle();
    afx_msg void OnTransparent();
    afx_msg void OnColorCount();
    afx_msg void OnDirection();
    afx_msg void OnNumberTyped();
    afx_msg void OnHelpButton();
    DECLARE_MESSAGE_MAP()

private:
    void EnableFillControls(int nKind);
    void EnableLineControls(int nMode);
    void EnableItem(int nID, BOOL bEnable);
    void ShowHatchStyle();
    void ShowLineStyle();
    // The colour count the combo shows; 0 when its text is not one of its items.
    int ReadColorCount() const;
    // Data exchange with its messages, then a repaint of the preview; used
    // after choices made with the mouse.
    void RefreshPreview();
    // UpdateData(TRUE) without the edits it writes starting another one.
    BOOL Exchange();
    void InvalidatePreview();
    BOOL IsShapedTextFillKept() const;

    CObjectAttributes* m_pAttrs = nullptr;
    BOOL m_bInitialized = FALSE;
    // Set while a colour popup runs: the click that closes it must not
    // also choose "No Fill".
    BOOL m_bPickingColor = FALSE;
    // Above 0 while the dialog itself writes into its edits.
    int m_nQuiet = 0;
    CRect m_rcPreview;
    CGridPicker* m_pDirection = nullptr; // deletes itself with its window

    CComboBox m_comboColors;
    CColorButton m_btnSolid;
    CColorButton m_btnHatchStyle;
    CColorButton m_btnHatchLine;
    CColorButton m_btnHatchFill;
    CColorButton m_btnStart;
    CColorButton m_btnMid1;
    CColorButton m_btnMid2;
    CColorButton m_btnEnd;
    CColorButton m_btnLineColor;
    CColorButton m_btnLineStyle;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;
};

// Runs the Color/Fill dialog on attrs. TRUE on OK, with attrs changed in
// place; FALSE on Cancel, attrs untouched. In text-gradient mode only the
// text gradient and its flag are written.
BOOL EditColorFill(CObjectAttributes& attrs, CWnd* pParent, BOOL bTextGradient, BOOL bRestricted);
