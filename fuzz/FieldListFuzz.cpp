// Feeds bytes to the merge-field list splitter of the Choose Field dialog, as
// a merge source's field list would arrive. Whatever the bytes, the names
// must be bounded in count and length, non-empty, free of the separator and
// of NULs, and appear in the text in order.

#include "text/dialogs/ChooseFieldDlg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const std::vector<std::string> names = SplitFieldList(text, size);
    if (size == 0 && !names.empty())
        std::abort();
    if (names.size() > CChooseFieldDlg::kMaxNames)
        std::abort();
    const std::string_view whole(text, size);
    size_t nFrom = size > 0 ? 1 : 0;
    for (const std::string& name : names) {
        if (name.empty() || name.size() > CChooseFieldDlg::kMaxNameLength)
            std::abort();
        if (name.find(text[0]) != std::string::npos || name.find('\0') != std::string::npos)
            std::abort();
        const size_t nAt = whole.find(name, nFrom);
        if (nAt == std::string_view::npos)
            std::abort();
        nFrom = nAt + name.size();
    }
    return 0;
}
