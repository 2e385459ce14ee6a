#include "assist/SplashDlg.h"

#include "platform/framework/Afx.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CSplashDlg, CDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CSplashDlg::CSplashDlg() = default;

CSplashDlg::~CSplashDlg()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CSplashDlg::Create(CWnd* pParent)
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        return TRUE;
    return CDialog::Create(IDD_SPLASH, pParent);
}

BOOL CSplashDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_bitmap.GetSafeHandle() == NULL)
        m_bHasPicture = m_bitmap.LoadBitmap(IDB_SPLASH);
    if (m_bHasPicture) {
        BITMAP bm{};
        m_bitmap.GetBitmap(&bm);
        if (bm.bmWidth > 0 && bm.bmHeight > 0) {
            // The window takes the picture's size; the name line is only for
            // when there is no picture.
            CRect rect(0, 0, bm.bmWidth, bm.bmHeight);
            CalcWindowRect(&rect);
            SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (CWnd* pName = GetDlgItem(IDC_SPLASH_PICTURE))
                pName->ShowWindow(SW_HIDE);
        } else {
            m_bHasPicture = FALSE;
        }
    }
    CenterWindow();
    return TRUE;
}

void CSplashDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bHasPicture)
        return;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc))
        return;
    CBitmap* pOld = memDC.SelectObject(&m_bitmap);
    dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOld);
}
