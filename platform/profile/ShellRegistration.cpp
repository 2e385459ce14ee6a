#include "platform/profile/ShellRegistration.h"

namespace platform {

void EnableShellOpen()
{
}

void RegisterShellFileTypes(BOOL)
{
}

} // namespace platform
