#pragma once
// CRulerBar: one of the two rulers of a design frame, a dialog bar docked
// along the top (horizontal ruler) or the left (vertical ruler). It draws a
// scale in inches or centimetres that follows the view's zoom and
// scrolling, marks the mouse position with an inverted line, lets the user
// drag a guideline out of it onto the view (or back onto it to remove one)
// and offers a context menu. The top ruler's corner box opens Ruler Setup on
// its Units page.
//
// Ownership: the frame makes both rulers with `new` and deletes them in its
// destructor; the bar's window is a child of the frame. The view a ruler
// measures must outlive the ruler's use of it (the frame's view does).

#include "platform/framework/Afx.h"

class CSurface;

// Control ids of the two rulers.
constexpr UINT ID_RULER_HORZ = 59412;
constexpr UINT ID_RULER_VERT = 59413;

class CRulerBar : public CDialogBar {
    DECLARE_DYNAMIC(CRulerBar)
public:
    enum : WORD {
        RulerMetric = 0x1,       // centimetres; clear: inches
        RulerVertical = 0x2,     // along the left edge
        RulerCornerPress = 0x4,  // the left press began in the corner box
    };

    CRulerBar();
    ~CRulerBar() override;

    // Makes the bar from the empty template in pView's frame with the given
    // control id; bVertical picks the left ruler. FALSE when the view has no
    // frame or the bar cannot be made.
    BOOL Create(CSurface* pView, UINT nID, BOOL bVertical);

    // The view reports each mouse move (view client coordinates): the mouse
    // mark follows it inside the view's client area and goes outside it.
    void OnViewMouseMove(int x, int y, UINT nFlags);

    void SetMetric(BOOL bMetric);
    BOOL IsMetric() const { return (m_wFlags & RulerMetric) != 0; }
    BOOL IsVertical() const { return (m_wFlags & RulerVertical) != 0; }
    WORD GetRulerFlags() const { return m_wFlags; }
    CSurface* GetView() const { return m_pView; }
    // The mouse mark (ruler client coordinates; empty when none).
    const CRect& GetMouseMark() const { return m_rectMouseMark; }
    // The drag line (view client coordinates; empty when none).
    const CRect& GetDragLine() const { return m_rectDragLine; }
    BOOL HasCornerBitmap() const { return m_bmpCorner.GetSafeHandle() != NULL; }

    // The thickness of both rulers in pixels: one and a half times the
    // larger side of "10" in the label face at its normal size.
    static int GetThickness();
    // The label height in pixels at a zoom: it follows the zoom, held
    // between 6 px and the thickness less 2 px.
    static int CalcLabelHeight(int nZoom);
    // The rulers of pView's frame (NULL when it has none, or they measure
    // another view).
    static CRulerBar* FromView(CSurface* pView, BOOL bVertical);
    // The view's hook: each mouse move goes to the marks of both rulers
    // while they are shown.
    static void ViewMouseMove(CSurface* pView, int x, int y, UINT nFlags);
    // Forgets the shared thickness (tests that change the screen).
    static void ResetShared();

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void DoPaint(CDC* pDC) override;

    // Draws the scale into pDC (a DC of the ruler's client size, in
    // MM_TEXT): background, ticks, labels, the corner box and the mouse
    // mark. Kept apart from painting so the pixels can be checked.
    void DrawRuler(CDC* pDC, const CRect& rectClient);

    // A point of the view's client area as a guideline position
    // (thousandths of an inch from the page's left or top edge; 0 before
    // the page).
    DWORD ViewPointToGuideline(CPoint ptView) const;

protected:
    WORD m_wFlags = 0;
    CSurface* m_pView = nullptr;
    CRect m_rectMouseMark;
    CRect m_rectDragLine;
    CBitmap m_bmpCorner;
    CSize m_sizeCorner;

    // The coordinate along the ruler of a view client point, in ruler
    // client pixels.
    int ViewToRulerPixel(CPoint ptView) const;
    void InvertMouseMark();
    void SetMouseMark(int nAt);
    void InvertDragLine();
    // Takes the drag line away and forgets a press in the corner box.
    void EndDrag();
    BOOL InCornerBox(CPoint point) const;

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
