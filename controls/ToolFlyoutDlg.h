#pragma once
// CToolFlyoutDlg: a captionless modal chooser that shows every frame of a
// strip bitmap (frames of equal height stacked from the top) in two columns
// beside the cursor and answers the one the user picks: IDOK with
// GetSelectedIndex, or IDCANCEL. It holds the mouse capture while it is up,
// so a click anywhere outside it cancels; the arrow keys, Tab and Shift+Tab
// move the selection round the frames, Enter and Space take it, and any
// other key but Shift cancels.
//
// The strip is borrowed: the caller keeps it alive while the dialog runs and
// it is never deleted here. A frame count below 1 is taken as 1; without a
// strip the cells are empty. With an odd count the last row's second cell is
// empty, and a click on it cancels.

#include "platform/framework/Dialog.h"

class CToolFlyoutDlg : public CDialog {
public:
    // The space round each frame in its cell, and how far the window sits
    // from the cursor.
    static constexpr int kCellMargin = 4;
    static constexpr int kCursorOffset = 16;
    static constexpr int kColumns = 2;

    CToolFlyoutDlg(HBITMAP hStrip, int nFrames, CWnd* pParent);
    ~CToolFlyoutDlg() override;

    int GetSelectedIndex() const { return m_nSelected; }
    int GetFrameCount() const { return m_nFrames; }
    CSize GetCellSize() const { return m_sizeCell; }

    // The selection after a step of nStep from nIndex among nCount frames,
    // wrapped round both ends.
    static int StepSelection(int nIndex, int nStep, int nCount);
    // The window's top-left corner for the cursor point: above and left of
    // it, or, when the window would reach the screen's right edge, with its
    // top-right corner to the cursor's right.
    static CPoint PlaceNearCursor(POINT ptCursor, int nWidth, int nScreenWidth);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();
    void OnPaint();
    void OnKeyDown(UINT nKey);
    void OnButtonUp(UINT message, CPoint point);
    void OnButtonDown(CPoint point);
    // The frame's rectangle in the client area.
    CRect FrameRect(int nIndex) const;
    void Close(int nResult);

    HBITMAP m_hStrip = NULL; // borrowed
    int m_nFrames = 1;
    CSize m_sizeFrame{0, 0};
    CSize m_sizeCell{0, 0};
    int m_nSelected = 0;
};
