// Strings of the resource bundle for CString and the prompt formatters.

#include "platform/base/Resources.h"
#include "platform/base/String.h"

BOOL CString::LoadString(UINT nID)
{
    const char* text = nullptr;
    int length = 0;
    // The current resource module first, then the program's own, as the
    // class library looks for strings.
    if (platform::FindStringResource(AfxGetResourceHandle(), nID, text, length)
        || platform::FindStringResource(AfxGetInstanceHandle(), nID, text, length)) {
        *this = CString(text, length);
        return TRUE;
    }
    Empty();
    return FALSE;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    CString format;
    format.LoadString(nIDS);
    LPCTSTR strings[] = {lpsz1};
    AfxFormatStrings(rString, format, strings, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString format;
    format.LoadString(nIDS);
    LPCTSTR strings[] = {lpsz1, lpsz2};
    AfxFormatStrings(rString, format, strings, 2);
}
