#include "controls/ProgressDlg.h"

#include "app/Paths.h"
#include "app/Utilities.h"
#include "controls/ProgressBar.h"
#include "platform/base/Exception.h"
#include "platform/framework/DataExchange.h"
#include "platform/framework/WinApp.h"

#include <new>

CProgressDlg::CProgressDlg(CWnd* pParent, BOOL bCancelOffered) : m_bCancelOffered(bCancelOffered)
{
    if (Create(IDD_PROGRESS, pParent))
        ShowWindow(SW_SHOW);
}

CProgressDlg::~CProgressDlg()
{
    if (m_hWnd != NULL)
        DestroyWindow();
    delete m_pBar;
}

void CProgressDlg::SplitMessage(const CString& strMessage, CString& strTitle, CString& strLine)
{
    strTitle.Empty();
    strLine.Empty();
    int nFirst = strMessage.Find('|');
    if (nFirst < 0) {
        strTitle = strMessage;
        return;
    }
    CString rest = strMessage.Mid(nFirst + 1);
    int nSecond = rest.Find('|');
    if (nSecond < 0)
        return;
    strTitle = rest.Left(nSecond);
    strLine = rest.Mid(nSecond + 1);
    // The messages close with a bar ("|title|line|"); it is not text.
    int nThird = strLine.Find('|');
    if (nThird >= 0)
        strLine = strLine.Left(nThird);
}

void CProgressDlg::SetMessage(UINT nID)
{
    CString message;
    message.LoadString(nID);
    CString title, line;
    SplitMessage(message, title, line);
    if (m_hWnd == NULL)
        return;
    SetWindowText(title);
    SetDlgItemText(IDC_PROGRESS_LINE1, line);
}

void CProgressDlg::PumpWaitingMessages()
{
    // WM_QUIT ends the pump early and is posted again for the outer loop;
    // the dialog's own keys reach IsDialogMessage through PreTranslateMessage.
    AfxPumpMessagesUntilIdle();
}

void CProgressDlg::SetRange(int nCount)
{
    if (!m_bBarExists)
        return;
    PumpWaitingMessages();
    m_pBar->SetRange(nCount);
}

void CProgressDlg::SetPos(int nPos)
{
    if (!m_bBarExists)
        return;
    PumpWaitingMessages();
    m_pBar->SetPos(nPos);
}

void CProgressDlg::SetLine(int nLine, LPCTSTR lpszText)
{
    if (nLine < 1 || nLine > 3 || m_hWnd == NULL || !::IsWindow(m_hWnd))
        return;
    SetDlgItemText(IDC_PROGRESS_LINE1 - 1 + nLine, lpszText);
}

void CProgressDlg::SetLineCompact(int nLine, LPCTSTR lpszText)
{
    if (nLine < 1 || nLine > 3 || m_hWnd == NULL || !::IsWindow(m_hWnd))
        return;
    SetWindowTextPath(GetDlgItem(IDC_PROGRESS_LINE1 - 1 + nLine), CString(lpszText));
}

void CProgressDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_PROGRESS_FRAME, m_wndBarFrame);
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    CRect rect;
    m_wndBarFrame.GetClientRect(&rect);
    m_wndBarFrame.MapWindowPoints(this, &rect);
    rect.DeflateRect(2, 2);
    try {
        m_pBar = new CProgressBar(this, rect.left, rect.top, rect.right, rect.bottom);
    } catch (CException* e) {
        e->Delete();
        m_pBar = nullptr;
    } catch (const std::bad_alloc&) {
        m_pBar = nullptr;
    }
    m_bBarExists = m_pBar != nullptr;
    if (!m_bBarExists)
        return TRUE;

    ShowDialogControl(this, IDCANCEL, m_bCancelOffered, m_bCancelOffered);
    CenterWindow();
    m_btnCancel.SetIcon(IDI_BUTTON_CANCEL);
    return TRUE;
}

void CProgressDlg::OnCancel()
{
    m_bCancelled = TRUE;
}
