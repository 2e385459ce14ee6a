// Threadwick's entry point. Until start-up is built, it brings up the platform
// modules (file system, resources, profile) and exits.

#include "platform/files/FileSystem.h"
#include "platform/profile/Registry.h"
#include "resources/Resources.h"

#include <clocale>

int main(int, char**)
{
    // Day and month names follow the user's locale; numbers are read and
    // written with '.' whatever the locale says.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    platform::InitFileSystem();
    threadwick::RegisterResources();

    // Loads the profile: a damaged registry file is set aside and reported
    // here rather than stopping the start.
    platform::RegistryLoadProblem();
    return 0;
}
