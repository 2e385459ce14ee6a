#pragma once
// The default printer described for the start-up report.

#include "platform/base/String.h"

// "Printer: <device> version <major>.<minor>" of the default printer, from
// its driver version (high byte major, low byte minor; a high byte of 0
// means the low byte holds major * 100 + minor). FALSE without a printer.
BOOL GetPrinterDescription(CString& strDescription);

// The version numbers GetPrinterDescription shows for a driver version.
void SplitDriverVersion(WORD wVersion, int& nMajor, int& nMinor);
