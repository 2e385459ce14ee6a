#pragma once
// CPictureMirrorWnd: a child window that shows a picture mirrored left to
// right, as a transfer prints it. The window owns its picture; without one
// (no picture handle of 1 or more) it paints only its background.

#include "platform/framework/Wnd.h"

#include <memory>

class CImage;

class CPictureMirrorWnd : public CWnd {
public:
    CPictureMirrorWnd();
    ~CPictureMirrorWnd() override;

    BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle = WS_CHILD | WS_VISIBLE);
    using CWnd::Create;

    // The picture shown; changing it is followed by Invalidate.
    CImage& GetPicture() { return *m_pImage; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    std::unique_ptr<CImage> m_pImage;
};
