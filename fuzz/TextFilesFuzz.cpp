// Feeds untrusted bytes to the program's small text-file readers that take
// what a user or another program wrote: the holiday list (each line parsed,
// each rule's date worked out over a span of years) and the text-file merge
// source (the bytes written as its file and read as a table). Any input
// must end in a clean return with every count, date and field in its
// bounds.

#include "calendar/Holidays.h"
#include "fuzz/FuzzProgramFolder.h"
#include "platform/base/StringArray.h"
#include "print/MergeSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

FuzzProgramFolder& Folder()
{
    static FuzzProgramFolder folder("textfiles");
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The holiday list, line by line.
    size_t nStart = 0;
    while (nStart <= bytes.size()) {
        size_t nEnd = bytes.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = bytes.size();
        const std::string line = bytes.substr(nStart, nEnd - nStart);
        HolidayRule rule;
        if (line.find('\0') == std::string::npos && ParseHolidayLine(line.c_str(), rule)) {
            Check(rule.nMonth >= 1 && rule.nMonth <= 12);
            Check(rule.strName.GetLength() <= kMaxHolidayName);
            for (int nYear : {1601, 1900, 2024, 2100, 9999}) {
                const int nDay = HolidayDayInYear(rule, nYear);
                Check(nDay >= 0 && nDay <= 31);
            }
        }
        nStart = nEnd + 1;
    }

    // The same bytes as a merge file.
    const std::string host = Folder().host + "/merge.txt";
    std::ofstream(host, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
    CTextMergeSource source(nullptr);
    source.SetFileName((Folder().windows + "merge.txt").c_str());
    CStringArray names;
    const int nNames = source.GetFieldNames(names);
    Check(nNames >= 0 && nNames <= CMergeSource::kMaxFields);
    const int nRecords = source.GetRecordCount();
    Check(nRecords >= 0 && nRecords <= CMergeSource::kMaxRecords);
    CString strText;
    for (int nRecord = 0; nRecord < nRecords && nRecord < 8; ++nRecord) {
        for (int nField = 0; nField < nNames && nField < 8; ++nField)
            source.GetFieldText(nRecord, nField, strText);
    }
    Check(!source.GetFieldText(nRecords, 0, strText) && strText.IsEmpty());
    return 0;
}
