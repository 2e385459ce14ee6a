#include "platform/ui/CommCtrl.h"

#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/internal/CtlMore.h"
#include "platform/ui/internal/CommCtrlShared.h"
#include "platform/ui/internal/Window.h"

void InitCommonControls()
{
    platform::RegisterStatusBarClass();
    platform::RegisterTooltipClass();
    platform::RegisterToolbarClass();
    platform::RegisterTreeViewClass();
    platform::RegisterUpDownClass();
    platform::RegisterTrackbarClass();
    platform::RegisterTabControlClass();
    platform::RegisterProgressClass();
}

namespace platform {

LRESULT SendControlNotify(HWND control, NMHDR& header, UINT code, HWND to)
{
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    HWND target = to ? to : GetParent(control);
    if (!target)
        return 0;
    return SendMessage(target, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void RegisterControlClass(LPCSTR name, WNDPROC proc, UINT style, int background)
{
    if (FindClass(name))
        return;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = sizeof(void*);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = background >= 0 ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1)) : NULL;
    wc.lpszClassName = name;
    RegisterClass(&wc);
}

HFONT ControlFont(HFONT given)
{
    return given ? given : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string ResolveItemText(HINSTANCE instance, LPCSTR text)
{
    if (!text || text == LPSTR_TEXTCALLBACK)
        return std::string();
    if (IS_INTRESOURCE(text)) {
        char buffer[512];
        int n = LoadString(instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)), buffer, sizeof buffer);
        return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    }
    return std::string(text);
}

} // namespace platform
