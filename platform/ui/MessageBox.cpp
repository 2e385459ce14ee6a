// Message boxes, shown by the back end; the owner is disabled meanwhile.

#include "platform/base/CodePage.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/Window.h"

#include <cstring>

namespace platform {

// The buttons of a message-box type, in order, and the default one.
int DefaultMessageBoxAnswer(UINT type)
{
    static const int kButtons[][3] = {
        {IDOK, 0, 0},
        {IDOK, IDCANCEL, 0},
        {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, 0},
        {IDRETRY, IDCANCEL, 0},
    };
    UINT kind = type & MB_TYPEMASK;
    if (kind > 5)
        kind = 0;
    UINT index = (type & MB_DEFMASK) >> 8;
    if (index > 2 || kButtons[kind][index] == 0)
        index = 0;
    return kButtons[kind][index];
}

} // namespace platform

using namespace platform;

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    if (hWnd && !IsWindow(hWnd))
        hWnd = NULL;
    HWND owner = NULL;
    if (Window* w = PeekWindowRecord(hWnd)) {
        Window* top = TopLevelOf(*w);
        owner = top ? top->handle : NULL;
    }
    // On a real display the box is a dialog of ours, drawn like the rest of
    // the program; the headless back end answers from what the test queued.
    if (std::strcmp(GetDriver().Name(), "headless") != 0) {
        int answer = RunMessageBoxDialog(owner, lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType);
        if (answer > 0)
            return answer;
    }
    std::string text = Utf8From1252(lpText ? std::string_view(lpText, strnlen(lpText, 65536)) : std::string_view());
    std::string caption = Utf8From1252(lpCaption ? std::string_view(lpCaption, strnlen(lpCaption, 1024)) : "Error");
    bool reenable = owner && IsWindowEnabled(owner) && !(uType & MB_TASKMODAL);
    if (reenable)
        EnableWindow(owner, FALSE);
    int answer = GetDriver().ShowMessageBox(owner, text, caption, uType);
    if (answer == 0)
        answer = DefaultMessageBoxAnswer(uType);
    if (reenable && IsWindow(owner))
        EnableWindow(owner, TRUE);
    return answer;
}

BOOL MessageBeep(UINT)
{
    GetDriver().Beep();
    return TRUE;
}
