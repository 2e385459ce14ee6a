#pragma once
// The Picture Crop dialog and its rails window. The dialog crops the
// picture of one drawing object by fractions of the whole picture: four
// rails slide over a preview of the whole picture (or the visible region is
// dragged as a whole) and the offsets and size of the visible region are
// shown in inches, centimetres or percent. The caller gives the object
// (SetDrawObject), runs the dialog and, after OK, reads the rails' four
// fractions; the dialog changes nothing on the object itself.
//
// The rails window is a child the dialog creates over its placeholder
// static; it owns its copy of the picture. A picture area of less than a
// pixel in a direction leaves that direction's fractions as they were.

#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"
#include "platform/gdi/GdiObject.h"

class CDrawObj;

// One rail: a 6-pixel bar that moves along one axis between limits, kept a
// distance away from the other rail of its axis.
struct CCropRail {
    CRect rectBar;
    BOOL bDragging = FALSE;
    BOOL bFrozen = FALSE;
    int nPressOffset = 0;     // the press point less the bar's position
    BOOL bAlongY = FALSE;     // a horizontal bar moving up and down
    int nLower = 0;
    int nUpper = 0;
    int nLinked = -1;         // the other rail of the axis
    int nKeep = 1;            // the distance kept to it
};

class CCropRails : public CWnd {
public:
    // The rails' thickness and the band they take out of the window.
    static constexpr int kBar = 6;
    static constexpr int kBand = 2 * kBar;
    // Rails 0 and 1 run across the top and bottom of the visible region,
    // 2 and 3 down its left and right.
    enum Rail : int { RailTop = 0, RailBottom = 1, RailLeft = 2, RailRight = 3 };

    CCropRails();
    ~CCropRails() override;

    BOOL Create(const CRect& rect, CWnd* pParent, UINT nID);
    // Takes the picture (the bitmap's handle is owned from now on; NULL
    // shows none) of size cx x cy and sizes the window to its proportions
    // within the place it was created in.
    void SetPicture(HBITMAP hBitmap, int cx, int cy);

    // Each stores its fraction; a value that would take the region past the
    // picture's far side moves the offset (left with width, top with
    // height) back. With bRedraw the rails are placed again.
    void SetLeft(double x, BOOL bRedraw);
    void SetTop(double y, BOOL bRedraw);
    void SetWidth(double w, BOOL bRedraw);
    void SetHeight(double h, BOOL bRedraw);
    double GetLeft() const { return m_dLeft; }
    double GetTop() const { return m_dTop; }
    double GetWidth() const { return m_dWidth; }
    double GetHeight() const { return m_dHeight; }

    // Client rectangles, shared with tests.
    const CRect& GetPictureArea() const { return m_rectArea; }
    const CRect& GetCropRect() const { return m_rectCrop; }
    const CCropRail& GetRail(int n) const { return m_rails[n]; }

    // Places the rails and the crop rectangle from the fractions.
    void PlaceRails();

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void LayOut();
    void BarsFromCrop();
    void Follow(CPoint point);
    void EndDrag();
    void FractionsFromCrop();
    BOOL AnyDragging() const;
    HCURSOR CursorAt(CPoint point) const;

    CCropRail m_rails[4];
    CRect m_rectPlace;  // where the window may lie, in the parent
    CRect m_rectArea;   // the picture, in the client area
    CRect m_rectCrop;   // the visible region, in the client area
    double m_dLeft = 0.0;
    double m_dTop = 0.0;
    double m_dWidth = 1.0;
    double m_dHeight = 1.0;
    CBitmap m_bmpPicture;
    CSize m_sizePicture;
    BOOL m_bDragging = FALSE;
    BOOL m_bShown = FALSE;
};

class CCropDlg : public CDialog {
public:
    enum { IDD = 101 };
    // Unit radio indexes.
    enum Units : int { UnitInches = 0, UnitCentimeters = 1, UnitPercent = 2 };

    explicit CCropDlg(CWnd* pParent = NULL);

    // Keeps the object (not owned) and, with the window up, shows it.
    void SetDrawObject(CDrawObj* pObj);

    BOOL OnInitDialog() override;

    CCropRails m_rails;
    int m_nUnits;
    CDrawObj* m_pObj = NULL;
    // The whole picture's size.
    float m_fWidthInches = 0.0f;
    float m_fHeightInches = 0.0f;
    float m_fWidthCm = 0.0f;
    float m_fHeightCm = 0.0f;

protected:
    afx_msg void OnReset();
    afx_msg void OnUnits(UINT nID);
    afx_msg void OnRailsChanged();
    DECLARE_MESSAGE_MAP()

private:
    void LoadObject();
    void UpdateLabels();

    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
    C3DPicBtn m_btnHelp;
};
