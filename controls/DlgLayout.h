#pragma once
// CDlgLayout: the size of a resizable dialog kept in the profile, and the
// layout of its controls after a resize. A dialog (or a file dialog's hook
// window) embeds one and drives it: RestoreSize when it opens, SaveSize
// when it closes, MoveControl and SizeControl after each size change. The
// helper does not own the window; every call does nothing while it has
// none.
//
// A placement that cannot be read, that is larger than the screen or that
// does not lie on it (the display's resolution changed since) is replaced
// by the default one: the set share of the screen at its top left corner.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/base/UiRecords.h"

class CWnd;

class CDlgLayout : public CObject {
public:
    // Where MoveControl puts a control, and which edge SizeControl moves.
    enum Side : int {
        sideBefore = 0, // right edge a margin left of the anchor
        sideRight = 1,  // right edge a margin left of the anchor (SizeControl: the right edge)
        sideTop = 2,    // stays where it is
        sideBottom = 3, // bottom edge a margin above the anchor (SizeControl: the bottom edge)
        sideAfter = 4,  // left edge a margin right of the anchor
    };
    // The anchor id that names the dialog's client area.
    static constexpr int kClientArea = -1;
    static constexpr int kDefaultMargin = 8;
    static constexpr int kDefaultPercent = 90;

    CDlgLayout();
    CDlgLayout(LPCTSTR lpszValueName, int nPercent);

    // Attaches to the window with no value name and 90 percent.
    void Init(CWnd* pWnd);
    void Init(CWnd* pWnd, LPCTSTR lpszValueName, int nPercent);
    // Attaches to the window keeping the value name and percent.
    void SetWindow(CWnd* pWnd) { m_pWnd = pWnd; }
    CWnd* GetWindow() const { return m_pWnd; }

    // The window's size the first time this is asked; the same afterwards.
    CSize GetInitialSize();

    // The placement to the profile (section "Application", the value name);
    // nothing is written without a value name.
    void SaveSize();
    // The stored placement, or the default one when none fits the screen;
    // TRUE when the default was used.
    BOOL RestoreSize();
    // The default placement: SW_SHOWNORMAL at (0, 0), the percent of the
    // screen's width and height.
    WINDOWPLACEMENT GetDefaultPlacement() const;
    // Whether a stored normal rectangle may be used on the present screen.
    static BOOL FitsScreen(const RECT& rcNormal);

    // Keep the control's size and move it against the anchor (a control id
    // or kClientArea); bFlag picks the anchor control's other corner.
    void MoveControl(int nID, int nSide, int nAnchorID, BOOL bFlag);
    // Keep the control's left and top and move its right (sideRight) or
    // bottom (sideBottom) edge to a margin from the anchor.
    void SizeControl(int nID, int nSide, int nAnchorID, BOOL bFlag);
    // The point a control is laid out against; FALSE when the anchor
    // control does not exist.
    BOOL GetAnchorPoint(int nSide, int nAnchorID, BOOL bFlag, CPoint& point) const;

    CWnd* m_pWnd = nullptr;
    int m_nPercent = kDefaultPercent;
    CString m_strValueName;
    int m_cxInitial = -1;
    int m_cyInitial = -1;
    int m_nMargin = kDefaultMargin;

private:
    BOOL GetControlRect(int nID, CRect& rc) const;
};
