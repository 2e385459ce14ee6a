#pragma once
// Registration of the program's document types with the desktop shell, which
// the application object asks for at start-up. The program is started with
// its documents through its desktop entry and the command line, so nothing
// is registered and opening documents needs no registration: both calls do
// nothing.

#include "platform/base/Types.h"

namespace platform {

void EnableShellOpen();
void RegisterShellFileTypes(BOOL bCompat);

} // namespace platform
