#include "print/TwoSidedPrintDlg.h"

#include "model/DrawDoc.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>

CTwoSidedPrintDlg::CTwoSidedPrintDlg(CSurface* pView, CDrawDoc* pDoc)
    : CDialog(IDD_TWOSIDED_PRINT, pView)
    , m_pDoc(pDoc)
{
}

int CTwoSidedPrintDlg::NextSurfaceOf(const CDrawDoc* pDoc)
{
    if (pDoc == nullptr)
        return 0;
    const int nPasses = pDoc->GetPrintPassCount();
    // While the pause shows, the pass that ended is still counted out of
    // m_nRemainingPasses: the next one prints the surface after it.
    const int nRemaining = std::clamp(pDoc->m_nRemainingPasses, 1, std::max(1, nPasses - 1));
    return std::clamp(nPasses - nRemaining, 0, std::max(0, nPasses - 1));
}

CString CTwoSidedPrintDlg::DescribeNextSurface(CDrawDoc* pDoc)
{
    const int nSurface = NextSurfaceOf(pDoc);
    CString strName = pDoc != nullptr ? pDoc->GetSurfaceName(nSurface) : CString();
    if (strName.IsEmpty()) {
        CString strFormat;
        strFormat.LoadString(IDS_TWOSIDED_SIDE);
        strName.Format(strFormat, nSurface + 1);
    }
    CString strText;
    AfxFormatString1(strText, IDS_TWOSIDED_NEXT, strName);
    return strText;
}

BOOL CTwoSidedPrintDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    SetDlgItemText(IDC_TWOSIDED_NEXT, DescribeNextSurface(m_pDoc));
    return TRUE;
}
