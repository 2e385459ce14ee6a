#pragma once
// Character classes and case of Windows-1252, independent of the C library's
// locale: letters include the accented letters of 0xC0-0xFF (but not the
// multiplication and division signs) and Š, Œ, Ž, š, œ, ž, Ÿ, ƒ, ª, º, µ, ß.
// ß, µ, ƒ, ª and º are lower case without an upper-case partner in 1252; ÿ
// pairs with Ÿ at 0x9F. Digits are 0-9 only. A NULL string reads as empty.

#include "platform/base/Types.h"

#include <string_view>

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
// lstrcmp and lstrcmpi order the way the system's word sort does for Western
// text: punctuation before digits before letters, letters by their base letter
// (accents, then lower before upper case, break ties), hyphens and apostrophes
// counting only when all else is equal ("coop" < "co-op" < "cop").
int lstrcmpi(LPCSTR a, LPCSTR b);
int lstrcmp(LPCSTR a, LPCSTR b);
int lstrlen(LPCSTR a);
LPSTR _strupr(LPSTR s);
LPSTR _strlwr(LPSTR s);

namespace platform {
unsigned char ToUpper1252(unsigned char ch);
unsigned char ToLower1252(unsigned char ch);
// The word sort of lstrcmp/lstrcmpi over counted text (zero bytes included):
// <0, 0, >0.
enum class CollateCase { Sensitive, Ignore };
int Collate1252(std::string_view a, std::string_view b, CollateCase mode);
} // namespace platform
