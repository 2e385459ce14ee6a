#pragma once
// Turning a text file into the text of the Text Effects dialog. A file may
// come from anywhere: Linux line ends, old Mac line ends, UTF-8, stray NULs
// and page breaks are all usual. The conversion gives text the dialog's
// edit shows as written: every line end a CR LF pair, no NUL or form feed,
// UTF-8 turned into the program's 1252 ('?' for a character 1252 has not),
// never more than kImportedTextMax characters (a CR LF pair is never cut in
// two). Bytes that are not valid UTF-8 are taken as 1252 already.

#include "platform/base/String.h"

#include <cstddef>
#include <string>

// The longest text the dialog holds.
constexpr int kImportedTextMax = 10240;
// The most bytes read from a file: enough for the longest text however
// its bytes are spent (UTF-8 sequences, NULs), without reading a huge file
// whole.
constexpr size_t kImportReadLimit = size_t(1) << 20;

// The conversion over bytes. bTruncated says the bytes are the start of a
// longer file, so a UTF-8 sequence cut at their end does not make the
// whole text invalid UTF-8.
std::string ConvertImportedText(const void* pData, size_t nSize, bool bTruncated = false);

// Reads at most kImportReadLimit bytes of the file and converts them.
// FALSE, with strText untouched, when the file cannot be opened or read.
BOOL ReadImportedTextFile(LPCTSTR lpszPath, CString& strText);
