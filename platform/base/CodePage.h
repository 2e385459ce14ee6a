#pragma once
// Text inside the program is Windows-1252; these convert at the edges of the
// system. 1252 to Unicode and back is lossless for every byte (the five
// unassigned bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D map to the C1 controls of the
// same value), so a name that went out as UTF-8 comes back byte for byte.

#include "platform/base/Types.h"

#include <string>
#include <string_view>

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_THREAD_ACP 3
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080
#ifndef ERROR_NO_UNICODE_TRANSLATION
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#endif

// As the system's: with cchWideChar (cbMultiByte) 0 the size needed is
// returned; -1 as the input length means "up to and including the zero".
// CP_ACP (and CP_THREAD_ACP, 1252) is Windows-1252; CP_UTF8 is supported
// too; any other code page is refused. 0 on failure with the last error set
// (ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_PARAMETER, and
// ERROR_NO_UNICODE_TRANSLATION for bad input under the error flags). Without
// the error flags, invalid UTF-8 and unpaired surrogates become U+FFFD; a
// character 1252 cannot hold becomes the default character ('?'), with no
// best-fit guessing. For CP_UTF8, lpDefaultChar and lpUsedDefaultChar must be
// NULL.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
    LPWSTR lpWideCharStr, int cchWideChar);
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
    LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);

namespace platform {

// The Unicode code point of a 1252 byte, and back; a code point 1252 cannot
// hold gives false.
char32_t CodePointFrom1252(unsigned char ch);
bool CodePointTo1252(char32_t cp, unsigned char& out);

// 1252 text to UTF-8, always exact.
std::string Utf8From1252(std::string_view text);
// UTF-8 to 1252: characters 1252 cannot hold become '?' and invalid UTF-8
// sequences become '?' too; *lossless (when given) tells whether any was.
std::string Utf8To1252(std::string_view utf8, bool* lossless = nullptr);
// How many leading bytes of text are well-formed UTF-8 (overlong forms,
// surrogates and code points past U+10FFFF are not); *cutShort (when given)
// tells whether what follows them is only a sequence the end cuts short.
size_t Utf8WellFormedLength(std::string_view text, bool* cutShort = nullptr);

// UTF-16 (as stored in files) to and from 1252, with the same rule.
std::string Utf16To1252(std::u16string_view text, bool* lossless = nullptr);
std::u16string Utf16From1252(std::string_view text);

} // namespace platform
