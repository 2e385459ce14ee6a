// The application's printer: the DEVNAMES and DEVMODE blocks of the printer
// the user chose last (or the default printer), shared by every print job
// and by Print Setup. The application owns the two blocks.

#include "platform/base/GlobalMemory.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/PrinterDc.h"
#include "platform/ui/CommDlgMisc.h"

#include <algorithm>

void CWinApp::SelectPrinter(HANDLE hDevNames, HANDLE hDevMode, BOOL bFreeOld)
{
    if (bFreeOld) {
        if (m_hDevNames != NULL && m_hDevNames != hDevNames)
            ::GlobalFree(m_hDevNames);
        if (m_hDevMode != NULL && m_hDevMode != hDevMode)
            ::GlobalFree(m_hDevMode);
    }
    m_hDevNames = static_cast<HGLOBAL>(hDevNames);
    m_hDevMode = static_cast<HGLOBAL>(hDevMode);
}

void CWinApp::UpdatePrinterSelection(BOOL bForceDefaults)
{
    if (!bForceDefaults && m_hDevNames != NULL) {
        // Keep the chosen printer while the system still offers it.
        CPrintDialog current(TRUE);
        current.m_pd.hDevNames = m_hDevNames;
        CString device = current.GetDeviceName();
        current.m_pd.hDevNames = NULL;
        std::vector<platform::PrinterChoice> printers = platform::AvailablePrinters();
        bool known = std::any_of(printers.begin(), printers.end(),
            [&](const platform::PrinterChoice& p) { return device == p.device.c_str(); });
        if (known)
            return;
    }
    CPrintDialog pd(TRUE);
    if (pd.GetDefaults())
        SelectPrinter(pd.m_pd.hDevNames, pd.m_pd.hDevMode);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg)
{
    UpdatePrinterSelection(FALSE);
    if (m_hDevNames == NULL || pPrintDlg == nullptr)
        return FALSE;
    // The blocks stay the application's; the record only refers to them.
    pPrintDlg->hDevNames = m_hDevNames;
    pPrintDlg->hDevMode = m_hDevMode;
    return TRUE;
}

BOOL CWinApp::CreatePrinterDC(CDC& dc)
{
    UpdatePrinterSelection(FALSE);
    HDC hDC = ::AfxCreateDC(m_hDevNames, m_hDevMode);
    if (hDC == NULL)
        return FALSE;
    // The caller deletes it (CDC::DeleteDC).
    if (!dc.Attach(hDC)) {
        ::DeleteDC(hDC);
        return FALSE;
    }
    return TRUE;
}

int CWinApp::DoPrintDialog(CPrintDialog* pPD)
{
    UpdatePrinterSelection(FALSE);
    pPD->m_pd.hDevMode = m_hDevMode;
    pPD->m_pd.hDevNames = m_hDevNames;
    INT_PTR nResponse = pPD->DoModal();
    // On OK the dialog freed the old blocks and made new ones.
    m_hDevMode = pPD->m_pd.hDevMode;
    m_hDevNames = pPD->m_pd.hDevNames;
    return int(nResponse);
}

void CWinApp::OnFilePrintSetup()
{
    CPrintDialog pd(TRUE);
    DoPrintDialog(&pd);
}
