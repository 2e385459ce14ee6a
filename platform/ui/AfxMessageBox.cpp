#include "platform/ui/AfxMessageBox.h"

#include "platform/base/AfxResourceIds.h"
#include "platform/base/String.h"
#include "platform/ui/User.h"

namespace {

platform::MessageBoxHandler& Handler()
{
    static platform::MessageBoxHandler handler;
    return handler;
}

} // namespace

void platform::SetAfxMessageBoxHandler(MessageBoxHandler handler)
{
    Handler() = std::move(handler);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (Handler())
        return Handler()(lpszText, nType, nIDHelp);
    CString caption;
    if (!caption.LoadString(AFX_IDS_APP_TITLE))
        caption = "Threadwick";
    if (nIDHelp != 0)
        nType |= MB_HELP;
    return MessageBox(GetActiveWindow(), lpszText ? lpszText : "", caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString prompt;
    prompt.LoadString(nIDPrompt);
    if (nIDHelp == (UINT)-1)
        nIDHelp = nIDPrompt;
    return AfxMessageBox(static_cast<LPCSTR>(prompt), nType, nIDHelp);
}
