#pragma once
// CShadowDlg: the colour of a text's shadow and its horizontal and vertical
// offsets (-15..15 each), with a preview of the font's face name drawn with
// its shadow at 20 points. The caller sets the offsets (values beyond the
// range are taken as its ends), the LOGFONT (which stays the caller's and
// must live until DoModal returns; the dialog sets its height to -20 for the
// preview, so the caller rebuilds its font from its own size afterwards), the
// text colour and the shadow colour, runs DoModal and on IDOK reads the
// shadow colour and the offsets. On Cancel nothing the caller reads has
// changed.

#include "controls/ColorButton.h"
#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

class CShadowDlg : public CDialog {
public:
    static constexpr int kMinOffset = -15;
    static constexpr int kMaxOffset = 15;
    static constexpr int kDefaultOffset = 2;
    static constexpr COLORREF kDefaultShadowColor = RGB(128, 128, 128);
    static constexpr int kPreviewHeight = -20;

    explicit CShadowDlg(CWnd* pParent = NULL);
    ~CShadowDlg() override;

    void SetOffsets(int nHorz, int nVert);
    void SetLogFont(LOGFONT* pLogFont);
    void SetTextColor(COLORREF crText) { m_crText = crText; }
    void SetShadowColor(COLORREF crShadow);

    COLORREF GetShadowColor() const { return m_crShadow; }
    short GetHorzOffset() const { return m_nHorz; }
    short GetVertOffset() const { return m_nVert; }

    // An offset as typed: an optional sign and one or two digits, within
    // -15..15. Anything else (empty, a lone sign, a trailing sign, letters)
    // is refused and *pnValue is left alone.
    static BOOL ParseOffset(const char* pszText, int* pnValue);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnColor();
    afx_msg void OnReset();
    afx_msg void OnHorzKillFocus();
    afx_msg void OnVertKillFocus();
    afx_msg void OnHorzSelChange();
    afx_msg void OnVertSelChange();
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // Where the text goes inside the preview rectangle (already shrunk past
    // its frame): centred in the room the shadow leaves; when the text is
    // wider or taller than that room, half the offset's size in from the
    // edge instead.
    static CPoint PreviewTextOrigin(const CRect& rcPreview, CSize sizeText, int nHorz, int nVert);

    // Draws the preview into rcArea of pDC: frame, white ground, shadow,
    // text.
    void DrawPreview(CDC* pDC, const CRect& rcArea);

    enum class Which { Horz, Vert };
    static int ComboId(Which which);
    CComboBox& Combo(Which which);
    BOOL ValidateCombo(Which which);
    BOOL ValidateBoth();
    void SetComboOffset(Which which, int nValue);
    void TakeListChoice(Which which);
    void RedrawPreview();

    LOGFONT* m_pLogFont = NULL;
    LOGFONT m_lfDefault {};
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crShadow = kDefaultShadowColor;
    short m_nHorz = kDefaultOffset;
    short m_nVert = kDefaultOffset;
    // What the caller gave, handed back unchanged on Cancel.
    short m_nHorzGiven = kDefaultOffset;
    short m_nVertGiven = kDefaultOffset;
    COLORREF m_crShadowGiven = kDefaultShadowColor;
    CFont m_fontPreview;
    CColorButton m_btnColor;
    CComboBox m_comboHorz;
    CComboBox m_comboVert;
    CStatic m_iconHorz;
    CStatic m_iconVert;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    // A failed check shows its message and moves the focus, which itself
    // fires a kill-focus check; this keeps one message per mistake.
    BOOL m_bValidating = FALSE;
};
