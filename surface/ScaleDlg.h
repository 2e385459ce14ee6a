#pragma once
// The Scale dialog: a percentage chosen with an edit field, its spin
// control and a slider, a direction (all, horizontal only, vertical only)
// and a unit for the resulting width and height it shows, with a preview
// of the picture at that scale. The dialog only chooses; the view's Scale
// Selection command scales the objects with what it answers.
//
// The object is the caller's and must outlive the dialog. An object (or
// no object) without width or height cannot be scaled: the dialog says so
// and ends as cancelled. OK takes only a whole percentage within the
// dialog's range; anything else shows the framework's message and keeps
// the dialog open.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

#include <memory>

class CBitmap;
class CDrawObj;

// The picture of the Scale dialog at the chosen scale: fitted into the
// window by its aspect ratio, grown or shrunk by the scale on the axes the
// direction allows, centred, framed, and cut at the window's edge when it
// is larger. Owns its bitmap; without one it shows only its background.
class CScalePreviewWnd : public CWnd {
public:
    CScalePreviewWnd();
    ~CScalePreviewWnd() override;

    BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID);
    using CWnd::Create;

    // Takes over the bitmap (NULL: no picture) and repaints.
    void SetPicture(HBITMAP hBitmap);
    BOOL HasPicture() const { return m_pBitmap != nullptr; }
    // The scale to show; repaints.
    void SetScale(int nPercent, int nDirection);

    // Where a picture of `picture` pixels lands in a client area: as large
    // as fits with its proportions at 100 %, then scaled per axis, centred.
    // Empty for an empty picture or area.
    static CRect PictureRect(const CRect& client, CSize picture, int nPercent, int nDirection);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    std::unique_ptr<CBitmap> m_pBitmap;
    CSize m_pictureSize;
    int m_nPercent = 100;
    int m_nDirection = 0;
};

class CScaleDlg : public CDialog {
public:
    enum Direction : int { DirectionAll = 0, DirectionHorizontal = 1, DirectionVertical = 2 };
    enum Unit : int { UnitInches = 0, UnitCentimeters = 1 };

    CScaleDlg(int nMinPercent, int nMaxPercent, CWnd* pParent = NULL);
    ~CScaleDlg() override;

    // The object to scale; while the dialog is up its sizes and preview
    // are taken again (an object that cannot be scaled ends the dialog).
    void SetObject(CDrawObj* pObj);
    // TRUE: the member, after reading the controls when the dialog is up;
    // FALSE: the slider's position (the member without a window).
    int GetPercent(BOOL bFromMember);
    // TRUE: the member; FALSE: the checked direction button (the member
    // without a window).
    int GetDirection(BOOL bFromMember);

    // How much one axis grows: the percentage unless the direction leaves
    // that axis alone.
    static double AxisFactor(int nPercent, int nDirection, BOOL bHorizontalAxis);
    // "7.50 in", "19.05 cm".
    static CString FormatSize(double fValue, int nUnit);

    int m_nPercent = 100;
    int m_nDirection = DirectionAll;
    int m_nUnit = UnitCentimeters;
    int m_nMinPercent;
    int m_nMaxPercent;
    // The object's size, taken when the dialog comes up.
    float m_fWidthInches = 0.0f;
    float m_fHeightInches = 0.0f;
    float m_fWidthCm = 0.0f;
    float m_fHeightCm = 0.0f;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Sizes and the preview's picture from the object; FALSE (after the
    // message, with the dialog ending) when it cannot be scaled.
    BOOL ComputeSizes();
    void UpdateLabels();
    // The place of a template control that only marks where a control made
    // at run time goes: its rectangle, and the control after which the new
    // one keeps the template's tab order. The place itself is destroyed.
    BOOL TakePlace(int nID, CRect& rect, HWND& hAfter);

    afx_msg void OnPercentChange();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnDirection(UINT nID);
    afx_msg void OnUnit(UINT nID);
    afx_msg void OnHelpButton();
    DECLARE_MESSAGE_MAP()

    CDrawObj* m_pObject = nullptr;
    // Set while the edit moves the slider, so that the slider does not
    // write the edit back in the middle of the user's typing.
    BOOL m_bNoSpinUpdate = FALSE;
    CSpinButtonCtrl m_spin;
    CSliderCtrl m_slider;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;
    CScalePreviewWnd m_preview;
    CToolTipCtrl m_tips;
};
