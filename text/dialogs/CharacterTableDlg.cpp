#include "text/dialogs/CharacterTableDlg.h"

#include "resources/resource.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CSpecialCharDlg, CDialog)
    ON_LBN_SELCHANGE(IDC_SPECIAL_CHARS_LIST, OnSelChange)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CSpecialCharDlg::CSpecialCharDlg(CWnd* pParent)
    : CDialog(IDD_SPECIAL_CHARS, pParent)
{
}

CSpecialCharDlg::~CSpecialCharDlg() = default;

void CSpecialCharDlg::SetFont(const LOGFONT& lf)
{
    m_lf = lf;
    m_lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    m_bFontGiven = TRUE;
}

int CSpecialCharDlg::ListCodeAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= kListCount)
        return -1;
    // Entry r * 7 + c (r 0..31, c 0..6) holds 32 + r + 32c; the list fills
    // column by column, so that entry shows in column r of row c.
    const int r = nIndex / kListRows;
    const int c = nIndex % kListRows;
    return kFirstCode + r + kListColumns * c;
}

CString CSpecialCharDlg::KeystrokeText(int nCode)
{
    CString str;
    if (nCode < 127)
        str = CString(static_cast<char>(nCode));
    else if (nCode <= 128)
        str.Format("Ctrl + %d", nCode - 126);
    else
        str.Format("Alt + %04d", nCode);
    return str;
}

CString CSpecialCharDlg::SelectionText(int nCode)
{
    if (nCode == '&') {
        CString str;
        str.LoadString(IDS_SPECIAL_CHARS_AMPERSAND);
        return str;
    }
    return CString(static_cast<char>(nCode));
}

BOOL CSpecialCharDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    LOGFONT lfList {};
    if (m_bFontGiven) {
        lfList = m_lf;
        lfList.lfHeight = -10;
        lfList.lfWidth = 0;
        lfList.lfWeight = FW_NORMAL;
    } else {
        std::strncpy(lfList.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
        lfList.lfHeight = -8;
        lfList.lfWeight = FW_NORMAL;
    }
    LOGFONT lfPreview = lfList;
    lfPreview.lfHeight = -18;
    if (m_bFontGiven)
        lfPreview.lfWeight = m_lf.lfWeight;
    m_fontList.DeleteObject();
    m_fontPreview.DeleteObject();
    m_fontList.CreateFontIndirect(&lfList);
    m_fontPreview.CreateFontIndirect(&lfPreview);

    CString strInsert;
    strInsert.LoadString(IDS_SPECIAL_CHARS_INSERT);
    SetDlgItemText(IDOK, strInsert);
    SetDlgItemText(IDC_SPECIAL_CHARS_FONT, lfList.lfFaceName);
    if (CWnd* pSelection = GetDlgItem(IDC_SPECIAL_CHARS_SELECTION))
        pSelection->SetFont(&m_fontPreview);

    if (m_list.SubclassDlgItem(IDC_SPECIAL_CHARS_LIST, this)) {
        m_list.SetFont(&m_fontList);
        for (int i = 0; i < kListCount; ++i) {
            const int nCode = ListCodeAt(i);
            const int nItem = m_list.AddString(CString(static_cast<char>(nCode)));
            if (nItem >= 0)
                m_list.SetItemData(nItem, static_cast<DWORD_PTR>(nCode - kFirstCode));
        }
        FitList();
        m_list.SetCurSel(0);
        OnSelChange();
    }
    return TRUE;
}

void CSpecialCharDlg::FitList()
{
    // Room for every column of "W"s and one more, and all seven rows.
    CClientDC dc(&m_list);
    CFont* pOld = dc.SelectObject(&m_fontList);
    const CSize sizeW = dc.GetTextExtent("W", 1);
    dc.SelectObject(pOld);
    CRect rcList;
    m_list.GetWindowRect(&rcList);
    ScreenToClient(&rcList);
    CRect rcInside;
    m_list.GetClientRect(&rcInside);
    const int nWidth = sizeW.cx * (kListColumns + 1) + rcList.Width() - rcInside.Width();
    const int nHeight = m_list.GetItemHeight(0) * kListRows + rcList.Height() - rcInside.Height();
    m_list.SetWindowPos(NULL, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER);
    m_list.SendMessage(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(sizeW.cx), 0);

    // The list never scrolls, so a face wider or taller than the template
    // allowed for pushes the controls below it down and grows the dialog.
    const int nGrowY = nHeight - rcList.Height() > 0 ? nHeight - rcList.Height() : 0;
    if (nGrowY > 0) {
        for (CWnd* pChild = GetWindow(GW_CHILD); pChild != NULL; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
            CRect rc;
            pChild->GetWindowRect(&rc);
            ScreenToClient(&rc);
            if (pChild->m_hWnd != m_list.m_hWnd && rc.top >= rcList.bottom)
                pChild->SetWindowPos(NULL, rc.left, rc.top + nGrowY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
    }
    CRect rcDlg;
    GetClientRect(&rcDlg);
    const int nGrowX = rcList.left * 2 + nWidth - rcDlg.Width();
    if (nGrowX > 0 || nGrowY > 0) {
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        SetWindowPos(NULL, 0, 0, rcWindow.Width() + (nGrowX > 0 ? nGrowX : 0), rcWindow.Height() + nGrowY,
            SWP_NOMOVE | SWP_NOZORDER);
    }
}

void CSpecialCharDlg::OnSelChange()
{
    const int nSel = m_list.GetSafeHwnd() != NULL ? m_list.GetCurSel() : LB_ERR;
    if (nSel == LB_ERR)
        return;
    const int nCode = static_cast<int>(m_list.GetItemData(nSel)) + kFirstCode;
    SetDlgItemText(IDC_SPECIAL_CHARS_SELECTION, SelectionText(nCode));
    SetDlgItemText(IDC_SPECIAL_CHARS_KEYSTROKE, KeystrokeText(nCode));
}

void CSpecialCharDlg::OnOK()
{
    const int nSel = m_list.GetSafeHwnd() != NULL ? m_list.GetCurSel() : LB_ERR;
    if (nSel == LB_ERR) {
        AfxMessageBox(IDS_SPECIAL_CHARS_INVALID, MB_OK | MB_ICONEXCLAMATION, 0);
        return;
    }
    m_chChar = static_cast<BYTE>(m_list.GetItemData(nSel) + kFirstCode);
    CDialog::OnOK();
}

void CSpecialCharDlg::OnDestroy()
{
    CDialog::OnDestroy();
    m_fontList.DeleteObject();
    m_fontPreview.DeleteObject();
}
