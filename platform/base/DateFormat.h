#pragma once
// Dates as text in the user's language: GetDateFormat with a picture.

#include "platform/base/Types.h"

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define DATE_SHORTDATE 0x00000001
#define DATE_LONGDATE 0x00000002
#define LOCALE_NOUSEROVERRIDE 0x80000000

#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif

// Formats lpDate (today's local date when null; only the year, month and day
// are used, the day of the week being worked out from them) with the picture
// lpFormat:
//   d, dd      day of month, without and with a leading zero
//   ddd, dddd  abbreviated and full day name
//   M, MM      month number, without and with a leading zero
//   MMM, MMMM  abbreviated and full month name
//   y, yy      year in two digits, without and with a leading zero
//   yyyy       year in full (as do y runs longer than two)
//   '...'      literal text; '' inside or outside quotes is one quote
// Any other character is copied. Without a picture, DATE_SHORTDATE gives
// "M/d/yyyy" and DATE_LONGDATE "dddd, MMMM d, yyyy"; with one, flags must
// be 0 (else ERROR_INVALID_FLAGS). Names come from the LC_TIME locale of the
// process, in 1252; every LCID answers with that locale.
// Returns the characters written including the terminating zero; with cchDate
// 0 the size needed. 0 with ERROR_INSUFFICIENT_BUFFER when it does not fit,
// ERROR_INVALID_PARAMETER for an invalid date or arguments.
int GetDateFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr,
    int cchDate);
inline int GetDateFormat(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr,
    int cchDate)
{
    return GetDateFormatA(Locale, dwFlags, lpDate, lpFormat, lpDateStr, cchDate);
}
