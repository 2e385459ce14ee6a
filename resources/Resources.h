#pragma once
// The program's compiled resources (threadwick.rc).

namespace threadwick {

// Registers the program's resources with the resource bundle. Call once at
// start; further calls do nothing.
void RegisterResources();

} // namespace threadwick
