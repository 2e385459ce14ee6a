#pragma once
// What the start-up platform check reports about the running system, taken
// from uname: the system's name, the first three numbers of its release and
// its machine type, in the parts the program's "%s version %d.%d build %d
// %s" text wants.

#include <string>
#include <string_view>

namespace platform {

struct OperatingSystem {
    std::string name;    // "Linux"
    int major = 0;       // release "6.1.0-18-amd64": 6
    int minor = 0;       // 1
    int build = 0;       // 0
    std::string machine; // "x86_64"
};

// The running system; a failed uname gives the name "unknown" and zeros.
OperatingSystem DescribeOperatingSystem();

// The numbers of a release text: up to three runs of digits separated by
// dots, read from its start; what is missing or unreadable is 0 and a
// number too large for an int is capped.
void ParseReleaseNumbers(std::string_view release, int& major, int& minor, int& build);

} // namespace platform
