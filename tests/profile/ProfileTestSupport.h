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
// tree, so the next call starts as a first run.
inline void StartWithEmptyRegistry()
{
    std::remove(RegistryFile().c_str());
    std::remove(RegistryBadFile().c_str());
    platform::ResetRegistryForTests();
}

// The next calls load the file again, as a new process would.
inline void Reload()
{
    platform::ResetRegistryForTests();
}

} // namespace profile_test
