#pragma once
// Shared by the profile tests: a registry that starts empty, as on a first
// run, and access to its file.

#include "platform/profile/Registry.h"
#include "tests/support/TestHome.h"

#include <cstdio>
#include <string>

namespace profile_test {

inline std::string RegistryFile()
{
    return platform::RegistryFilePath();
}

inline std::string RegistryBadFile()
{
    return platform::RegistryFilePath() + ".bad";
}

// Removes the registry file and what a bad load set aside, and forgets the
// tree and its unwritten changes, so the next call starts as a first run.
inline void StartWithEmptyRegistry()
{
    std::remove(RegistryFile().c_str());
    std::remove(RegistryBadFile().c_str());
    platform::ResetRegistryForTests();
}

// This run ends as the program's runs end, writing what it changed, and the
// next calls load the file again, as a new process would.
inline void Reload()
{
    platform::FlushRegistry();
    platform::ResetRegistryForTests();
}

} // namespace profile_test
