#include "surface/ObjectPropsDlg.h"

#include "model/DrawObj.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"

namespace {

constexpr int kFieldCount = 12;
// Drawn on screen, left off paper and off pictures of the surface: what a
// guide is, and what an object that must not print needs.
constexpr WORD kNotPrinted = OBJ_FLAG_GUIDE;

} // namespace

CObjectPropsDlg::CObjectPropsDlg(CWnd* pParent)
    : CDialog(IDD_OBJECT_PROPS, pParent)
{
}

int CObjectPropsDlg::TextFieldIndexOf(const CDrawObj* pObj)
{
    if (pObj == nullptr)
        return -1;
    for (int n = kFieldCount; n >= 1; --n)
        if (pObj->m_wExtraFlags & (1u << (n - 1)))
            return n;
    return 0;
}

int CObjectPropsDlg::PrintableIndexOf(const CDrawObj* pObj)
{
    if (pObj == nullptr)
        return -1;
    return (pObj->m_wFlags & kNotPrinted) != 0 ? 0 : 1;
}

void CObjectPropsDlg::ApplyTo(CDrawObj* pObj) const
{
    if (pObj == nullptr)
        return;
    if (m_nTextField >= 0 && m_nTextField <= kFieldCount && m_nTextField != TextFieldIndexOf(pObj))
        pObj->SetInfoField(m_nTextField);
    if (m_nPrintable == 0)
        pObj->m_wFlags |= kNotPrinted;
    else if (m_nPrintable == 1)
        pObj->m_wFlags &= WORD(~kNotPrinted);
}

void CObjectPropsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    // The buttons of each group run in the template's order: "None" first,
    // then fields 1 to 12; "No" then "Yes".
    DDX_Radio(pDX, IDC_OBJPROPS_NONE, m_nTextField);
    DDX_Radio(pDX, IDC_OBJPROPS_NOT_PRINTABLE, m_nPrintable);
}

BOOL CObjectPropsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    return TRUE;
}

BOOL EditObjectProperties(CDrawObj* pObj, CWnd* pParent)
{
    if (pObj == nullptr)
        return FALSE;
    CObjectPropsDlg dlg(pParent);
    dlg.m_nTextField = CObjectPropsDlg::TextFieldIndexOf(pObj);
    dlg.m_nPrintable = CObjectPropsDlg::PrintableIndexOf(pObj);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    dlg.ApplyTo(pObj);
    return TRUE;
}
