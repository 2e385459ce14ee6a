#pragma once
// The prompts that data exchange and validation show (AFX_IDP_PARSE_*): the
// program's string of that id when it has one, else the class library's
// English text.

#include "platform/base/Types.h"

class CString;

namespace platform {

CString DataExchangePrompt(UINT nIDPrompt);
// Shows the prompt as the class library does: exclamation icon, OK.
void DataExchangeMessage(UINT nIDPrompt);
// The same with %1 and %2 replaced.
void DataExchangeMessage(UINT nIDPrompt, LPCTSTR lpsz1, LPCTSTR lpsz2 = nullptr);

} // namespace platform
