#include "pictures/TwainSource.h"

#include "pictures/ScanDlg.h"
#include "pictures/ScanSourceDlg.h"
#include "platform/framework/Afx.h"
#include "platform/services/Twain.h"

namespace {

LONG g_nSources = 0;
UINT_PTR g_nServeTimer = 0;

// The service reports each device once; the counter is what it was given.
int CountSource(HWND, void* pCounter)
{
    ++*static_cast<LONG*>(pCounter);
    return 1;
}

// The scanner thread's news is served from the message loop, modal loops
// included, for as long as anything is under way.
void CALLBACK ServeScanner(HWND, UINT, UINT_PTR, DWORD)
{
    if (!platform::TwainServeEvents() && g_nServeTimer != 0) {
        ::KillTimer(NULL, g_nServeTimer);
        g_nServeTimer = 0;
    }
}

void ServeWhileBusy()
{
    // Set afresh each time: a timer of an earlier window system (tests
    // reset it) is gone without a word.
    if (g_nServeTimer != 0)
        ::KillTimer(NULL, g_nServeTimer);
    g_nServeTimer = ::SetTimer(NULL, 0, 20, ServeScanner);
}

int ChooseSource(HWND hOwner, const std::vector<std::string>& labels)
{
    CScanSourceDlg dlg(labels, CWnd::FromHandle(hOwner));
    if (dlg.DoModal() != IDOK)
        return -1;
    return dlg.m_nPicked;
}

int RunScanDialog(HWND hOwner, HGLOBAL* pPage)
{
    std::vector<std::string> labels = platform::TwainSourceLabels();
    const int nSelected = platform::TwainSelectedSource();
    CString strDevice;
    if (nSelected >= 0 && size_t(nSelected) < labels.size())
        strDevice = labels[size_t(nSelected)].c_str();
    CScanDlg dlg(strDevice, CWnd::FromHandle(hOwner));
    if (dlg.DoModal() != IDOK)
        return platform::kTwainNothingAcquired;
    *pPage = dlg.TakePage();
    return *pPage != NULL ? 1 : platform::kTwainNothingAcquired;
}

} // namespace

LONG InitTwainSource()
{
    g_nSources = 0;
    platform::TwainHost host;
    host.serveWhileBusy = &ServeWhileBusy;
    host.chooseSource = &ChooseSource;
    host.runScanDialog = &RunScanDialog;
    platform::SetTwainHost(std::move(host));
    CWnd* pMain = AfxGetMainWnd();
    HWND hOwner = pMain != nullptr ? pMain->m_hWnd : NULL;
    return platform::TwainInit(hOwner, &CountSource, &g_nSources);
}

LONG GetTwainSourceCount()
{
    return g_nSources;
}

void ReleaseTwainSource()
{
    platform::TwainShutdown();
    // The devices went with the scanner thread: nothing is offered until
    // the next search.
    g_nSources = 0;
    platform::SetTwainHost(platform::TwainHost());
    if (g_nServeTimer != 0) {
        ::KillTimer(NULL, g_nServeTimer);
        g_nServeTimer = 0;
    }
}
