#include "pictures/TwainSource.h"

#include "platform/framework/Afx.h"
#include "platform/services/Twain.h"

namespace {

// The service reports here; nothing of the program listens yet, so the
// report is accepted and dropped.
int OnTwainReport(HWND, void*)
{
    return 0;
}

} // namespace

LONG InitTwainSource()
{
    CWnd* pMain = AfxGetMainWnd();
    HWND hOwner = pMain != nullptr ? pMain->m_hWnd : NULL;
    return platform::TwainInit(hOwner, &OnTwainReport, nullptr);
}
