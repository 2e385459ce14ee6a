#include "pictures/ScanDlg.h"

#include "platform/base/GlobalMemory.h"
#include "platform/framework/Afx.h"

#include <algorithm>
#include <utility>

CScanDlg::CScanDlg(const CString& strDevice, CWnd* pParent)
    : CDialog(IDD_SCAN, pParent)
    , m_strDevice(strDevice)
    , m_self(std::make_shared<CScanDlg*>(this))
{
}

CScanDlg::~CScanDlg()
{
    *m_self = nullptr;
    if (m_hPage)
        GlobalFree(m_hPage);
}

HGLOBAL CScanDlg::TakePage()
{
    return std::exchange(m_hPage, HGLOBAL(NULL));
}

BOOL CScanDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bEnded = false;
    SetDlgItemText(IDC_SCAN_DEVICE, m_strDevice);
    CString strStatus;
    strStatus.LoadString(IDS_SCAN_READING);
    SetDlgItemText(IDC_SCAN_STATUS, strStatus);
    if (CWnd* pScan = GetDlgItem(IDOK))
        pScan->EnableWindow(FALSE);
    std::weak_ptr<CScanDlg*> self = m_self;
    platform::TwainRequestSettings([self](bool ok, const platform::TwainSettings& settings) {
        if (auto alive = self.lock(); alive && *alive)
            (*alive)->OnSettings(ok, settings);
    });
    CenterWindow();
    return TRUE;
}

void CScanDlg::OnSettings(bool ok, const platform::TwainSettings& settings)
{
    if (m_bEnded || !::IsWindow(m_hWnd))
        return;
    if (!ok) {
        CString strStatus;
        strStatus.LoadString(IDS_SCAN_NO_ANSWER);
        SetDlgItemText(IDC_SCAN_STATUS, strStatus);
        return;
    }
    m_settings = settings;
    m_bHaveSettings = true;
    for (const std::string& mode : m_settings.modes) {
        const int nItem = int(SendDlgItemMessage(IDC_SCAN_MODE, CB_ADDSTRING, 0, LPARAM(mode.c_str())));
        if (nItem >= 0 && mode == m_settings.mode)
            SendDlgItemMessage(IDC_SCAN_MODE, CB_SETCURSEL, WPARAM(nItem), 0);
    }
    CString strFormat;
    strFormat.LoadString(IDS_SCAN_DPI);
    for (int dpi : m_settings.resolutions) {
        CString strItem;
        strItem.Format(strFormat, dpi);
        const int nItem = int(SendDlgItemMessage(IDC_SCAN_RESOLUTION, CB_ADDSTRING, 0, LPARAM(LPCTSTR(strItem))));
        if (nItem < 0)
            continue;
        SendDlgItemMessage(IDC_SCAN_RESOLUTION, CB_SETITEMDATA, WPARAM(nItem), LPARAM(dpi));
        if (dpi == m_settings.resolution)
            SendDlgItemMessage(IDC_SCAN_RESOLUTION, CB_SETCURSEL, WPARAM(nItem), 0);
    }
    // A device whose current value is not offered starts at the first.
    for (int nID : {IDC_SCAN_MODE, IDC_SCAN_RESOLUTION})
        if (SendDlgItemMessage(nID, CB_GETCURSEL, 0, 0) < 0)
            SendDlgItemMessage(nID, CB_SETCURSEL, 0, 0);
    SetDlgItemText(IDC_SCAN_STATUS, "");
    if (CWnd* pScan = GetDlgItem(IDOK))
        pScan->EnableWindow(TRUE);
}

void CScanDlg::OnOK()
{
    if (!m_bHaveSettings || m_bScanning)
        return;
    std::string mode;
    const int nMode = int(SendDlgItemMessage(IDC_SCAN_MODE, CB_GETCURSEL, 0, 0));
    if (nMode >= 0 && size_t(nMode) < m_settings.modes.size()) {
        const int nLength = int(SendDlgItemMessage(IDC_SCAN_MODE, CB_GETLBTEXTLEN, WPARAM(nMode), 0));
        if (nLength > 0 && nLength < 256) {
            char text[256] = {};
            SendDlgItemMessage(IDC_SCAN_MODE, CB_GETLBTEXT, WPARAM(nMode), LPARAM(text));
            mode = text;
        }
    }
    int resolution = 0;
    const int nRes = int(SendDlgItemMessage(IDC_SCAN_RESOLUTION, CB_GETCURSEL, 0, 0));
    if (nRes >= 0)
        resolution = int(SendDlgItemMessage(IDC_SCAN_RESOLUTION, CB_GETITEMDATA, WPARAM(nRes), 0));
    resolution = std::max(resolution, 0);

    m_bScanning = true;
    for (int nID : {IDOK, IDC_SCAN_MODE, IDC_SCAN_RESOLUTION})
        if (CWnd* pItem = GetDlgItem(nID))
            pItem->EnableWindow(FALSE);
    CString strStatus;
    strStatus.LoadString(IDS_SCAN_SCANNING);
    SetDlgItemText(IDC_SCAN_STATUS, strStatus);
    std::weak_ptr<CScanDlg*> self = m_self;
    platform::TwainRequestScan(mode, resolution, [self](HGLOBAL page) {
        auto alive = self.lock();
        if (alive && *alive) {
            (*alive)->OnScanned(page);
            return;
        }
        if (page)
            GlobalFree(page);
    });
}

void CScanDlg::OnScanned(HGLOBAL page)
{
    m_bScanning = false;
    if (m_bEnded || !::IsWindow(m_hWnd)) {
        if (page)
            GlobalFree(page);
        return;
    }
    if (m_hPage)
        GlobalFree(m_hPage);
    m_hPage = page;
    Finish(page ? IDOK : IDABORT);
}

void CScanDlg::OnCancel()
{
    if (m_bScanning)
        platform::TwainCancelScan();
    Finish(IDCANCEL);
}

void CScanDlg::Finish(int nResult)
{
    m_bEnded = true;
    EndDialog(nResult);
}
