#pragma once
// The bar of the progress dialog: blue blocks for the part done and the
// percentage centred over them. A child window of the dialog, owned by it
// (the dialog deletes the object after its window is gone).
//
// Nothing is repainted while the number of lit blocks stays the same, so
// a long run of small steps costs no painting; the percentage therefore
// only changes together with a block. A position beyond the full count
// lights more blocks than fit (the window clips them) while the percentage
// stays at 100.

#include "platform/base/Geometry.h"
#include "platform/framework/Wnd.h"

#define ID_PROGRESS_BAR 0xE800

class CProgressBar : public CWnd {
public:
    // Creates the window over the rectangle (in pOwner's client
    // coordinates); throws CResourceException when it cannot be created.
    CProgressBar(CWnd* pOwner, int left, int top, int right, int bottom);
    ~CProgressBar() override;

    // Full count and position 0, blocks of 10 pixels with a gap of 1.
    // bRepaint clears the bar at once.
    void Reset(BOOL bRepaint);
    void SetRange(int nCount);
    void SetPos(int nPos);

    // Position / full count; 0.0 for a full count of 0.
    double GetFraction() const;
    // How many blocks the fraction lights across the block rectangle
    // (truncated; saturates instead of overflowing for absurd positions).
    int GetLitBlocks() const;
    // What the bar shows for the percentage: " 42% " (0 to 100).
    CString GetPercentText() const;

    CWnd* m_pOwner = nullptr;
    int m_nFullCount = 0;
    int m_nPos = 0;
    int m_nBlockWidth = 10;
    int m_nBlockGap = 1;
    CRect m_rectBlocks; // the client rectangle less a quarter of its height above and below
    CRect m_rectText;   // the client rectangle less 2 pixels above and below
    BOOL m_bEraseOnPaint = FALSE;

protected:
    afx_msg void OnPaint();

    DECLARE_MESSAGE_MAP()

private:
    // Repaints at once when the lit blocks differ from nLitBefore.
    void RedrawIfChanged(int nLitBefore);
};
