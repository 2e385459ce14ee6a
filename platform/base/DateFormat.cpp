#include "platform/base/DateFormat.h"

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"

#include <climits>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <string>
#include <string_view>

namespace {

// The names of the process's LC_TIME locale, read with a locale object of
// that name so that the character set is the one the names are written in.
class TimeNames {
public:
    TimeNames()
    {
        const char* name = std::setlocale(LC_TIME, nullptr);
        m_locale = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name ? name : "C", locale_t(0));
        if (!m_locale)
            m_locale = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", locale_t(0));
    }
    ~TimeNames()
    {
        if (m_locale)
            freelocale(m_locale);
    }
    TimeNames(const TimeNames&) = delete;
    TimeNames& operator=(const TimeNames&) = delete;

    std::string Day(int dayOfWeek, bool abbreviated) const
    {
        return Item((abbreviated ? ABDAY_1 : DAY_1) + dayOfWeek);
    }
    std::string Month(int month, bool abbreviated) const
    {
        return Item((abbreviated ? ABMON_1 : MON_1) + month - 1);
    }

private:
    std::string Item(int item) const
    {
        if (!m_locale)
            return {};
        const char* text = nl_langinfo_l(nl_item(item), m_locale);
        if (!text)
            return {};
        std::string_view codeset = nl_langinfo_l(CODESET, m_locale);
        if (codeset == "UTF-8" || codeset == "utf8")
            return platform::Utf8To1252(text);
        std::string out = text;
        // The 8-bit Western sets agree with 1252 on their letters; in any
        // other set a byte above ASCII cannot be trusted.
        bool western = codeset == "ISO-8859-1" || codeset == "ISO-8859-15" || codeset == "CP1252";
        if (!western) {
            for (char& c : out) {
                if (static_cast<unsigned char>(c) >= 0x80)
                    c = '?';
            }
        }
        return out;
    }

    locale_t m_locale = locale_t(0);
};

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsValidDate(const SYSTEMTIME& date)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.wYear < 1601 || date.wYear > 30827 || date.wMonth < 1 || date.wMonth > 12 || date.wDay < 1)
        return false;
    int days = kDays[date.wMonth - 1] + (date.wMonth == 2 && IsLeapYear(date.wYear) ? 1 : 0);
    return date.wDay <= days;
}

void AppendNumber(std::string& out, int value, int minDigits)
{
    std::string digits = std::to_string(value);
    if (int(digits.size()) < minDigits)
        out.append(minDigits - digits.size(), '0');
    out += digits;
}

std::string Format(const SYSTEMTIME& date, std::string_view picture)
{
    TimeNames names;
    int dayOfWeek = platform::DayOfWeek(date.wYear, date.wMonth, date.wDay);
    std::string out;
    size_t i = 0;
    while (i < picture.size()) {
        char c = picture[i];
        if (c == '\'' && i + 1 < picture.size() && picture[i + 1] == '\'') {
            out += '\'';
            i += 2;
            continue;
        }
        if (c == '\'') {
            // A quoted run ends at the next lone quote; a doubled quote is a
            // quote character. An unterminated run takes the rest.
            ++i;
            while (i < picture.size()) {
                if (picture[i] == '\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        if (c != 'd' && c != 'M' && c != 'y') {
            out += c;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        i += run;
        switch (c) {
        case 'd':
            if (run <= 2)
                AppendNumber(out, date.wDay, int(run));
            else
                out += names.Day(dayOfWeek, run == 3);
            break;
        case 'M':
            if (run <= 2)
                AppendNumber(out, date.wMonth, int(run));
            else
                out += names.Month(date.wMonth, run == 3);
            break;
        case 'y':
            if (run <= 2)
                AppendNumber(out, date.wYear % 100, int(run));
            else
                AppendNumber(out, date.wYear, 1);
            break;
        }
    }
    return out;
}

} // namespace

int GetDateFormatA(LCID, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr, int cchDate)
{
    if (cchDate < 0 || (cchDate > 0 && !lpDateStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD formatFlags = dwFlags & ~DWORD(LOCALE_NOUSEROVERRIDE);
    const char* picture = lpFormat;
    if (picture) {
        if (dwFlags != 0) {
            SetLastError(ERROR_INVALID_FLAGS);
            return 0;
        }
    } else if (formatFlags == 0 || formatFlags == DATE_SHORTDATE) {
        picture = "M/d/yyyy";
    } else if (formatFlags == DATE_LONGDATE) {
        picture = "dddd, MMMM d, yyyy";
    } else {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }

    SYSTEMTIME date;
    if (lpDate)
        date = *lpDate;
    else
        GetLocalTime(&date);
    if (!IsValidDate(date)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }

    std::string text = Format(date, picture);
    if (text.size() >= size_t(INT_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int needed = int(text.size()) + 1;
    if (cchDate == 0)
        return needed;
    if (cchDate < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpDateStr, text.c_str(), text.size() + 1);
    return needed;
}
