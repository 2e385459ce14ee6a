#include "platform/services/SystemInfo.h"

#include "platform/base/CodePage.h"

#include <sys/utsname.h>

#include <climits>

namespace platform {

void ParseReleaseNumbers(std::string_view release, int& major, int& minor, int& build)
{
    int* parts[] = { &major, &minor, &build };
    for (int* part : parts)
        *part = 0;
    size_t at = 0;
    for (int* part : parts) {
        if (at >= release.size() || release[at] < '0' || release[at] > '9')
            return;
        long long value = 0;
        while (at < release.size() && release[at] >= '0' && release[at] <= '9') {
            value = value * 10 + (release[at] - '0');
            if (value > INT_MAX)
                value = INT_MAX;
            ++at;
        }
        *part = static_cast<int>(value);
        if (at >= release.size() || release[at] != '.')
            return;
        ++at;
    }
}

OperatingSystem DescribeOperatingSystem()
{
    OperatingSystem os;
    struct utsname names;
    if (uname(&names) != 0) {
        os.name = "unknown";
        return os;
    }
    // The parts end up in the program's 1252 text.
    os.name = Utf8To1252(names.sysname);
    os.machine = Utf8To1252(names.machine);
    ParseReleaseNumbers(names.release, os.major, os.minor, os.build);
    return os;
}

} // namespace platform
