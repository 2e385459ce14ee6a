#include "app/PrinterHelpers.h"

#include "platform/base/GlobalMemory.h"
#include "platform/framework/Afx.h"
#include "platform/framework/CommonDialogs.h"
#include "resources/resource.h"

void SplitDriverVersion(WORD wVersion, int& nMajor, int& nMinor)
{
    int high = HIBYTE(wVersion);
    int low = LOBYTE(wVersion);
    if (high == 0) {
        nMajor = low / 100;
        nMinor = low % 100;
    } else {
        nMajor = high;
        nMinor = low;
    }
}

BOOL GetPrinterDescription(CString& strDescription)
{
    CPrintDialog dialog(FALSE, 0x14000c);
    if (!dialog.GetDefaults())
        return FALSE;
    BOOL found = FALSE;
    if (LPDEVMODE pMode = dialog.GetDevMode()) {
        int major = 0;
        int minor = 0;
        SplitDriverVersion(pMode->dmDriverVersion, major, minor);
        strDescription.Format(IDS_PRINTER_DESCRIPTION, (LPCTSTR)dialog.GetDeviceName(), major, minor);
        found = TRUE;
    }
    // GetDefaults hands the printer's blocks to the caller.
    if (dialog.m_pd.hDevMode)
        GlobalFree(dialog.m_pd.hDevMode);
    if (dialog.m_pd.hDevNames)
        GlobalFree(dialog.m_pd.hDevNames);
    dialog.m_pd.hDevMode = NULL;
    dialog.m_pd.hDevNames = NULL;
    return found;
}
