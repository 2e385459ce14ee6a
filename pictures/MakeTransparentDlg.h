#pragma once
// Make Transparent: the user picks the colour of a picture that is to show
// what lies behind it, with an eyedropper over a view of the picture. The
// dialog is given a picture (not owned) and a starting colour, and changes
// the picture only when it refuses it: displays and picture formats that
// cannot carry a transparent colour get a message, the picture's
// transparency switched off, and the dialog ends at once with Cancel
// (IsRefused tells that case from the user's Cancel).

#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

class CImage;

// The picture of Make Transparent, drawn fitted inside a white sunken
// frame; the eyedropper cursor over it and a left-button release on the
// picture tell the dialog (its parent) where the user picked.
class CEyedropperView : public CWnd {
public:
    // Not owned; NULL shows an empty frame.
    void SetPicture(CImage* pImage) { m_pImage = pImage; }
    // Where the picture lies in the client area (empty without a picture).
    CRect GetPictureRect();

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    CImage* m_pImage = nullptr;
};

// A plain patch of one colour framed in black.
class CColorSwatch : public CWnd {
public:
    COLORREF m_crColor = 0;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

class CMakeTransparentDlg : public CDialog {
public:
    enum { IDD = 652 };

    CMakeTransparentDlg(CImage* pImage, COLORREF crColor, CWnd* pParent = NULL);

    COLORREF GetColor() const { return m_crColor; }
    // The display or the picture's format cannot take a transparent colour.
    BOOL IsRefused() const { return m_bRefused; }
    // Takes the colour on screen at a point of the dialog's client area.
    void PickColorAt(CPoint pointClient);

    BOOL OnInitDialog() override;

    CEyedropperView m_view;
    CColorSwatch m_swatch;

private:
    // The reason the picture cannot be made transparent here (a string
    // id), or 0.
    UINT RefusalReason() const;

    CImage* m_pImage;
    COLORREF m_crColor;
    BOOL m_bRefused = FALSE;
    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
};
