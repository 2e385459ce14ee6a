// Feeds arbitrary text to both measurement parsers, as a user could type it
// into a size field. A parse either refuses with one of its messages and
// leaves the value alone, or stores a value other than "unknown" that
// prints and parses back to itself. Neither looks past the characters its
// field would hand it.

#include "controls/Measurement.h"
#include "resources/controls.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr DWORD kSentinel = 0x5A5A5A5A;

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void CheckDecimal(const std::string& text)
{
    DWORD value = kSentinel;
    UINT message = ParseMeasurementText(text.c_str(), value);
    Check(message == 0 || message == IDS_INVALID_MEASUREMENT || message == IDS_TWO_DECIMALS_ONLY);
    if (message != 0) {
        Check(value == kSentinel);
    } else {
        Check(value != kUnknownMeasurement);
        DWORD again = kSentinel;
        Check(ParseMeasurementText(FormatMeasurement(value), again) == 0 && again == value);
    }
    DWORD truncated = kSentinel;
    Check(ParseMeasurementText(text.substr(0, kMeasurementTextMax).c_str(), truncated) == message);
    Check(truncated == value);
}

void CheckWhole(const std::string& text)
{
    DWORD value = kSentinel;
    UINT message = ParseWholeMeasurementText(text.c_str(), value);
    Check(message == 0 || message == IDS_INVALID_MEASUREMENT || message == IDS_WHOLE_NUMBERS_ONLY);
    if (message != 0) {
        Check(value == kSentinel);
    } else {
        Check(value != kUnknownMeasurement);
        DWORD again = kSentinel;
        Check(ParseWholeMeasurementText(FormatWholeMeasurement(value), again) == 0 && again == value);
    }
    DWORD truncated = kSentinel;
    Check(ParseWholeMeasurementText(text.substr(0, kWholeMeasurementTextMax).c_str(), truncated) == message);
    Check(truncated == value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str(); // a window's text ends at its first NUL
    CheckDecimal(text);
    CheckWhole(text);
    return 0;
}
