// Reading CF_TEXT blocks for the program's paste commands.

#include "platform/ui/ClipboardText.h"

#include "platform/base/GlobalMemory.h"
#include "platform/ui/User.h"

#include <climits>
#include <cstring>

CString ClipboardBlockText(HANDLE hData)
{
    if (hData == NULL)
        return CString();
    const auto hMem = static_cast<HGLOBAL>(hData);
    const SIZE_T nSize = ::GlobalSize(hMem);
    const auto* p = static_cast<const char*>(::GlobalLock(hMem));
    if (p == nullptr)
        return CString();
    const auto* pZero = static_cast<const char*>(std::memchr(p, 0, nSize));
    SIZE_T nLength = pZero != nullptr ? SIZE_T(pZero - p) : nSize;
    // A CString counts in int; a block that large is not text anyone typed.
    if (nLength > SIZE_T(INT_MAX))
        nLength = SIZE_T(INT_MAX);
    CString strText(p, int(nLength));
    ::GlobalUnlock(hMem);
    return strText;
}

BOOL ReadClipboardText(HWND hWndOwner, CString& strText)
{
    strText.Empty();
    if (!::OpenClipboard(hWndOwner))
        return FALSE;
    HANDLE hData = ::GetClipboardData(CF_TEXT);
    if (hData != NULL)
        strText = ClipboardBlockText(hData);
    ::CloseClipboard();
    return hData != NULL;
}
