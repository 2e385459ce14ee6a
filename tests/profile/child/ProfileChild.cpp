// A second process for the profile tests. It runs in the test's home folder
// (THREADWICK_HOME is inherited) and works on the application profile:
//
//   profile_child get-string <registry key> <section> <entry>
//   profile_child get-int    <registry key> <section> <entry>
//   profile_child set-string <registry key> <section> <entry> <value>
//   profile_child set-int    <registry key> <section> <entry> <value>
//   profile_child load-problem
//
// A value read is printed on stdout ("<missing>" for a missing string);
// load-problem prints 1 or 0. The exit status is 0 on success.

#include "platform/profile/AppProfile.h"
#include "platform/profile/Registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "load-problem") == 0) {
        std::printf("%d", platform::RegistryLoadProblem() ? 1 : 0);
        return 0;
    }
    if (argc < 5)
        return 2;
    platform::AppProfile profile;
    profile.SetRegistryKey(argv[2]);
    const char* command = argv[1];
    if (std::strcmp(command, "get-string") == 0) {
        std::printf("%s", static_cast<LPCTSTR>(profile.GetProfileString(argv[3], argv[4], "<missing>")));
        return 0;
    }
    if (std::strcmp(command, "get-int") == 0) {
        std::printf("%d", static_cast<int>(profile.GetProfileInt(argv[3], argv[4], -1)));
        return 0;
    }
    if (argc < 6)
        return 2;
    if (std::strcmp(command, "set-string") == 0)
        return profile.WriteProfileString(argv[3], argv[4], argv[5]) ? 0 : 1;
    if (std::strcmp(command, "set-int") == 0)
        return profile.WriteProfileInt(argv[3], argv[4], std::atoi(argv[5])) ? 0 : 1;
    return 2;
}
