#pragma once
// Character classes and case of Windows-1252, independent of the C library's
// locale: letters include the accented letters of 0xC0-0xFF (but not the
// multiplication and division signs) and Š, Œ, Ž, š, œ, ž, Ÿ, ª, º, µ, ß.

#include "platform/base/Types.h"

BOOL IsCharAlpha(char ch);
BOOL IsCharAlphaNumeric(char ch);
BOOL IsCharUpper(char ch);
BOOL IsCharLower(char ch);
// In place on a zero-terminated string, returning it; as the system does, a
// pointer whose high word is zero is treated as a single character in its
// low byte and the converted character is returned the same way.
LPSTR CharUpper(LPSTR lpsz);
LPSTR CharLower(LPSTR lpsz);
DWORD CharUpperBuff(LPSTR lpsz, DWORD cchLength);
DWORD CharLowerBuff(LPSTR lpsz, DWORD cchLength);
LPSTR CharNext(LPCSTR lpsz);
LPSTR CharPrev(LPCSTR lpszStart, LPCSTR lpszCurrent);

// Comparison without case through the 1252 case map: <0, 0, >0.
int _stricmp(LPCSTR a, LPCSTR b);
int _strnicmp(LPCSTR a, LPCSTR b, size_t count);
int lstrcmpi(LPCSTR a, LPCSTR b);
int lstrcmp(LPCSTR a, LPCSTR b);
int lstrlen(LPCSTR a);
LPSTR _strupr(LPSTR s);
LPSTR _strlwr(LPSTR s);

namespace platform {
unsigned char ToUpper1252(unsigned char ch);
unsigned char ToLower1252(unsigned char ch);
} // namespace platform
