#include "controls/Measurement.h"

#include "platform/framework/DataExchange.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/controls.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

// The largest whole part a decimal entry may have: its hundredths still
// fit in 32 bits.
constexpr uint64_t kMaxWholePart = 42949672;
constexpr size_t kMaxWholeDigits = 8;
// A whole-number entry beyond this is refused without further arithmetic;
// it is far above any value whose tenths fit in 32 bits.
constexpr uint64_t kWholeScanLimit = 1000000000000ULL;
// Tenths are carried to centimetres and back, so that the stored value is
// one the other unit can express.
constexpr double kInchesPerCentimetre = 0.3937007874015748;
constexpr double kCentimetresPerInch = 2.54;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The C library's white space in the "C" locale, as atoi skips it.
bool IsCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Bounded(LPCTSTR lpszText, size_t nMax)
{
    if (lpszText == nullptr)
        return {};
    return std::string_view(lpszText, ::strnlen(lpszText, nMax));
}

// Rounding of the original arithmetic: x + 0.5 truncated.
uint64_t RoundHalfUp(double x)
{
    return uint64_t(x + 0.5);
}

void Complain(UINT nID)
{
    AfxMessageBox(nID, MB_OK, 0);
}

CString ReadText(CWnd* pEdit, int nMaxChars)
{
    CString text;
    if (pEdit == nullptr || pEdit->GetSafeHwnd() == NULL)
        return text;
    char buffer[kWholeMeasurementTextMax + 1] = {};
    int nMax = nMaxChars < kWholeMeasurementTextMax ? nMaxChars : kWholeMeasurementTextMax;
    pEdit->GetWindowText(buffer, nMax + 1);
    buffer[nMax] = '\0';
    text = buffer;
    return text;
}

} // namespace

UINT ParseMeasurementText(LPCTSTR lpszText, DWORD& dwHundredths)
{
    std::string_view text = Bounded(lpszText, kMeasurementTextMax);
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i == text.size()) {
        dwHundredths = 0;
        return 0;
    }

    // The whole part runs up to a point, a space or the end.
    size_t wholeStart = i;
    while (i < text.size() && text[i] != '.' && text[i] != ' ') {
        if (!IsDigit(text[i]))
            return IDS_INVALID_MEASUREMENT;
        ++i;
    }
    if (i - wholeStart > kMaxWholeDigits)
        return IDS_INVALID_MEASUREMENT;
    uint64_t whole = 0;
    for (size_t k = wholeStart; k < i; ++k)
        whole = whole * 10 + uint64_t(text[k] - '0');
    if (whole > kMaxWholePart)
        return IDS_INVALID_MEASUREMENT;

    // A space ends the whole part as the point does, so "12 34" is 12.34;
    // after the fraction only spaces may follow.
    uint64_t fraction = 0;
    if (i < text.size()) {
        ++i;
        size_t fractionStart = i;
        while (i < text.size() && text[i] != ' ') {
            if (!IsDigit(text[i]))
                return IDS_INVALID_MEASUREMENT;
            ++i;
        }
        size_t digits = i - fractionStart;
        for (; i < text.size(); ++i)
            if (text[i] != ' ')
                return IDS_INVALID_MEASUREMENT;
        if (digits > 2)
            return IDS_TWO_DECIMALS_ONLY;
        if (digits == 1)
            fraction = uint64_t(text[fractionStart] - '0') * 10;
        else if (digits == 2)
            fraction = uint64_t(text[fractionStart] - '0') * 10 + uint64_t(text[fractionStart + 1] - '0');
    }

    uint64_t total = whole * 100 + fraction;
    if (total >= kUnknownMeasurement)
        return IDS_INVALID_MEASUREMENT;
    dwHundredths = DWORD(total);
    return 0;
}

UINT ParseWholeMeasurementText(LPCTSTR lpszText, DWORD& dwTenths)
{
    std::string_view text = Bounded(lpszText, kWholeMeasurementTextMax);
    if (text.find('.') != std::string_view::npos)
        return IDS_WHOLE_NUMBERS_ONLY;

    // The leading integer as atoi reads it; text without digits is 0.
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    uint64_t n = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        n = n * 10 + uint64_t(text[i] - '0');
        if (n > kWholeScanLimit)
            return IDS_INVALID_MEASUREMENT;
    }
    if (negative && n != 0)
        return IDS_INVALID_MEASUREMENT;

    uint64_t inCentimetres = RoundHalfUp(double(n) * 10.0 * kInchesPerCentimetre);
    uint64_t tenths = RoundHalfUp(double(inCentimetres) * kCentimetresPerInch);
    if (tenths >= kUnknownMeasurement)
        return IDS_INVALID_MEASUREMENT;
    dwTenths = DWORD(tenths);
    return 0;
}

BOOL ParseMeasurement(CWnd* pEdit, DWORD& dwHundredths)
{
    CString text = ReadText(pEdit, kMeasurementTextMax);
    if (UINT nID = ParseMeasurementText(text, dwHundredths); nID != 0) {
        Complain(nID);
        return FALSE;
    }
    return TRUE;
}

BOOL ParseWholeMeasurement(CWnd* pEdit, DWORD& dwTenths)
{
    CString text = ReadText(pEdit, kWholeMeasurementTextMax);
    if (UINT nID = ParseWholeMeasurementText(text, dwTenths); nID != 0) {
        Complain(nID);
        return FALSE;
    }
    return TRUE;
}

DWORD RoundTenths(DWORD dwTenths)
{
    DWORD units = dwTenths % 10;
    return DWORD(double(units) * 0.1 + double((dwTenths - units) / 10) + 0.5);
}

CString FormatMeasurement(DWORD dwHundredths)
{
    CString text;
    if (dwHundredths == kUnknownMeasurement) {
        text.LoadString(IDS_UNKNOWN_MEASUREMENT);
        return text;
    }
    text.Format("%lu.%02u", (unsigned long)(dwHundredths / 100), unsigned(dwHundredths % 100));
    return text;
}

CString FormatWholeMeasurement(DWORD dwTenths)
{
    CString text;
    if (dwTenths == kUnknownMeasurement) {
        text.LoadString(IDS_UNKNOWN_MEASUREMENT);
        return text;
    }
    text.Format("%lu", (unsigned long)RoundTenths(dwTenths));
    return text;
}

void DDX_Measurement(CDataExchange* pDX, int nIDC, DWORD& dwHundredths)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseMeasurement(CWnd::FromHandle(hWndCtrl), dwHundredths))
            pDX->Fail();
    } else if (dwHundredths != kUnknownMeasurement) {
        ::SetWindowText(hWndCtrl, FormatMeasurement(dwHundredths));
    }
}

void DDX_WholeMeasurement(CDataExchange* pDX, int nIDC, DWORD& dwTenths)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseWholeMeasurement(CWnd::FromHandle(hWndCtrl), dwTenths))
            pDX->Fail();
    } else if (dwTenths != kUnknownMeasurement) {
        ::SetWindowText(hWndCtrl, FormatWholeMeasurement(dwTenths));
    }
}
