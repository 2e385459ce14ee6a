#include "app/main/AppGlobals.h"

#include "platform/framework/Afx.h"

UINT g_nCommDlgHelpMessage = 0;
UINT g_cfListBoxText = 0;
CString g_strPicturePath;
CDesignLoadInfo g_designLoadInfo;

void InitAppGlobals()
{
    g_nCommDlgHelpMessage = ::RegisterWindowMessage("commdlg_help");
    g_cfListBoxText = ::RegisterClipboardFormat("KQ Olvc 6 LstBox Text");
}

DWORD GetDisplayColorCount()
{
    CWnd* pWnd = AfxGetMainWnd();
    if (pWnd == nullptr || pWnd->m_hWnd == NULL)
        pWnd = CWnd::GetDesktopWindow();
    CClientDC dc(pWnd);
    int nBits = dc.GetDeviceCaps(BITSPIXEL) * dc.GetDeviceCaps(PLANES);
    if (nBits >= 32)
        return 0xFFFFFFFF;
    if (nBits <= 0)
        return 1;
    return DWORD(1) << nBits;
}

void DrawSunkenFrame(CDC* pDC, const SunkenFrame& frame)
{
    if (pDC == nullptr)
        return;
    POINT corners[2] = {{frame.left, frame.top}, {frame.right, frame.bottom}};
    pDC->LPtoDP(corners, 2);
    const int l = corners[0].x;
    const int t = corners[0].y;
    const int r = corners[1].x;
    const int b = corners[1].y;

    int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);

    auto bevel = [pDC](POINT a, POINT c, POINT d) {
        pDC->MoveTo(a.x, a.y);
        pDC->LineTo(c.x, c.y);
        pDC->LineTo(d.x, d.y);
    };
    pDC->SelectStockObject(WHITE_PEN);
    bevel({l - 2, b + 1}, {r + 1, b + 1}, {r + 1, t - 2});
    pDC->SelectStockObject(BLACK_PEN);
    bevel({l - 1, b}, {l - 1, t - 1}, {r + 1, t - 1});
    CPen penShadow(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
    pDC->SelectObject(&penShadow);
    bevel({l - 2, b}, {l - 2, t - 2}, {r + 2, t - 2});
    CPen penLight(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0));
    pDC->SelectObject(&penLight);
    bevel({l - 1, b}, {r, b}, {r, t - 1});

    if (frame.bFill != 0) {
        CRect rect(l, t, r, b);
        rect.NormalizeRect();
        CBrush brush(frame.crFill);
        pDC->FillRect(&rect, &brush);
    }
    // Selects the stock pen back before the local pens go.
    pDC->RestoreDC(nSaved);
}

void DeleteObjectThunk(CObject* pObject)
{
    delete pObject;
}
