#pragma once
// Sizes typed into dialog edit fields: a decimal measurement kept as an
// unsigned count of hundredths ("12.34"), and a whole-number measurement
// kept as tenths. 0xFFFFFFFF means that no value is known; it is never
// stored by a parse, so the highest entries (42949672.95 and above, or a
// whole number whose tenths would reach it) are refused.
//
// The parsers read the field's text strictly; on a bad entry they show one
// message box (OK only), leave the value untouched and answer FALSE, and the
// DDX_ routines then fail the exchange so that the dialog stays open with
// the focus on the field.

#include "platform/base/String.h"
#include "platform/base/Types.h"

class CDataExchange;
class CWnd;

constexpr DWORD kUnknownMeasurement = 0xFFFFFFFF;

// The longest text each form reads from its field.
constexpr int kMeasurementTextMax = 19;
constexpr int kWholeMeasurementTextMax = 20;

// Loading shows the value (an unknown one leaves the text as it is);
// saving parses the text and fails the exchange on a bad entry.
void DDX_Measurement(CDataExchange* pDX, int nIDC, DWORD& dwHundredths);
void DDX_WholeMeasurement(CDataExchange* pDX, int nIDC, DWORD& dwTenths);

// "12.34" for 1234, "0.05" for 5; the unknown value gives its message text.
CString FormatMeasurement(DWORD dwHundredths);
// The whole number nearest to the tenths ("2" for 15).
CString FormatWholeMeasurement(DWORD dwTenths);
// The whole number nearest to tenths / 10, halves upward (15 gives 2, 14
// gives 1).
DWORD RoundTenths(DWORD dwTenths);

// Parse the field's text; FALSE after telling the user why.
BOOL ParseMeasurement(CWnd* pEdit, DWORD& dwHundredths);
BOOL ParseWholeMeasurement(CWnd* pEdit, DWORD& dwTenths);

// The same rules over a text already read (at most the lengths above are
// looked at): 0 with the value stored, or the id of the string that says
// what is wrong, with the value untouched.
UINT ParseMeasurementText(LPCTSTR lpszText, DWORD& dwHundredths);
UINT ParseWholeMeasurementText(LPCTSTR lpszText, DWORD& dwTenths);
