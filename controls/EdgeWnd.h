#pragma once
// CEdgeWnd: an etched line round a control's rectangle, used as a separator
// in dialogs (a thin static subclassed with it). The edge is drawn when the
// background is erased; painting adds nothing. The dialog owns the object.

#include "platform/framework/Wnd.h"

class CEdgeWnd : public CWnd {
public:
    CEdgeWnd() = default;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
