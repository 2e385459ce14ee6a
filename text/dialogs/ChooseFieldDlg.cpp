#include "text/dialogs/ChooseFieldDlg.h"

#include "resources/resource.h"

std::vector<std::string> SplitFieldList(const char* pText, size_t nLength)
{
    std::vector<std::string> names;
    if (pText == NULL || nLength == 0)
        return names;
    const char chSeparator = pText[0];
    size_t nStart = 1;
    while (nStart < nLength && names.size() < CChooseFieldDlg::kMaxNames) {
        size_t nEnd = nStart;
        while (nEnd < nLength && pText[nEnd] != chSeparator)
            ++nEnd;
        // A NUL ends a name as it would end the list box's string.
        size_t nNameLength = 0;
        while (nNameLength < nEnd - nStart && pText[nStart + nNameLength] != '\0')
            ++nNameLength;
        if (nNameLength > CChooseFieldDlg::kMaxNameLength)
            nNameLength = CChooseFieldDlg::kMaxNameLength;
        if (nNameLength > 0)
            names.emplace_back(pText + nStart, nNameLength);
        nStart = nEnd + 1;
    }
    return names;
}

BEGIN_MESSAGE_MAP(CChooseFieldDlg, CDialog)
    ON_LBN_DBLCLK(IDC_CHOOSE_FIELD_LIST, OnListDblClk)
END_MESSAGE_MAP()

CChooseFieldDlg::CChooseFieldDlg(CWnd* pParent, const CString& strFieldList)
    : CDialog(IDD_CHOOSE_FIELD, pParent)
    , m_strFieldList(strFieldList)
{
}

BOOL CChooseFieldDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_list.SubclassDlgItem(IDC_CHOOSE_FIELD_LIST, this)) {
        const std::string_view text = m_strFieldList.View();
        for (const std::string& name : SplitFieldList(text.data(), text.size()))
            m_list.AddString(name.c_str());
        if (m_list.GetCount() > 0)
            m_list.SetCurSel(0);
    }
    return TRUE;
}

void CChooseFieldDlg::OnOK()
{
    m_strField.Empty();
    const int nSel = m_list.GetSafeHwnd() != NULL ? m_list.GetCurSel() : LB_ERR;
    if (nSel != LB_ERR)
        m_list.GetText(nSel, m_strField);
    CDialog::OnOK();
}

void CChooseFieldDlg::OnListDblClk() { OnOK(); }
