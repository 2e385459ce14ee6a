#pragma once
// The scan dialog: the selected scanner's mode and resolution, Scan and
// Cancel. It asks the scanner thread for the device's settings when it
// opens (Scan stays disabled until they come, and for good when the device
// does not answer) and for the page when Scan is pressed, and keeps
// pumping messages meanwhile. IDOK comes with the scanned page, which
// TakePage hands over; a failed scan ends with IDABORT, Cancel (which
// stops a scan under way) with IDCANCEL. A page nobody took is freed with
// the dialog.

#include "resources/scanner.h"
#include "platform/framework/Dialog.h"
#include "platform/services/Twain.h"

#include <memory>

class CScanDlg : public CDialog {
public:
    explicit CScanDlg(const CString& strDevice, CWnd* pParent = NULL);
    ~CScanDlg() override;

    // The scanned page (a packed DIB in a moveable block), once; NULL when
    // there is none.
    HGLOBAL TakePage();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnSettings(bool ok, const platform::TwainSettings& settings);
    void OnScanned(HGLOBAL page);
    void Finish(int nResult);

    CString m_strDevice;
    platform::TwainSettings m_settings;
    bool m_bHaveSettings = false;
    bool m_bScanning = false;
    bool m_bEnded = false;
    HGLOBAL m_hPage = NULL;
    // Replies of the scanner thread reach the dialog through this; they
    // find it empty once the dialog is gone.
    std::shared_ptr<CScanDlg*> m_self;
};
