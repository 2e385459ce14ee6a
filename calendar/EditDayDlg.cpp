#include "calendar/EditDayDlg.h"

#include "calendar/DayCellObj.h"
#include "resources/calendar.h"

BEGIN_MESSAGE_MAP(CEditDayDlg, CDialog)
    ON_BN_CLICKED(IDC_DAY_TEXT_COLOR, OnTextColor)
    ON_BN_CLICKED(IDC_DAY_BACK_COLOR, OnBackColor)
END_MESSAGE_MAP()

CEditDayDlg::CEditDayDlg(CWnd* pParent)
    : CEditDayDlg(IDD_EDIT_DAY, pParent)
{
}

CEditDayDlg::CEditDayDlg(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent)
{
    // White is a cell's usual background: no hint about choosing it.
    m_btnBack.m_bNoWhiteHint = TRUE;
}

void CEditDayDlg::SetCell(CDayCellObj* pCell)
{
    m_pCell = pCell;
    if (pCell == nullptr)
        return;
    m_strText = pCell->m_strText;
    m_crText = pCell->m_crText;
    m_crBack = pCell->m_crBack;
}

BOOL CEditDayDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnText.m_crColor = m_crText;
    m_btnBack.m_crColor = m_crBack;
    return TRUE;
}

void CEditDayDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DAY_TEXT_COLOR, m_btnText);
    DDX_Control(pDX, IDC_DAY_BACK_COLOR, m_btnBack);
    DDX_Text(pDX, IDC_DAY_TEXT, m_strText);
    DDV_MaxChars(pDX, m_strText, CDayCellObj::kMaxCellText);
}

void CEditDayDlg::OnTextColor()
{
    if (m_btnText.PickColor() != 0) {
        m_crText = m_btnText.m_crColor;
        m_btnText.Invalidate();
    }
}

void CEditDayDlg::OnBackColor()
{
    if (m_btnBack.PickColor() != 0) {
        m_crBack = m_btnBack.m_crColor;
        m_btnBack.Invalidate();
    }
}

void CEditDayDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_pCell != nullptr) {
        m_pCell->m_strText = m_strText;
        m_pCell->m_crText = m_crText;
        m_pCell->m_crBack = m_crBack;
        m_pCell->m_nInUse = CDayCellObj::kInUse;
    }
    EndDialog(IDOK);
}

CEditDayItemDlg::CEditDayItemDlg(CWnd* pParent)
    : CEditDayDlg(IDD_EDIT_DAY_ITEM, pParent)
{
}

CEditDayContentDlg::CEditDayContentDlg(CWnd* pParent)
    : CEditDayDlg(IDD_EDIT_DAY_CONTENT, pParent)
{
}
