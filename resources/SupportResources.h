#pragma once
// The resources of the support library kqawr321.dll (kqawr321.rc): its
// menu bitmaps. LoadLibrary of that library answers the support module's
// handle, through which LoadBitmap finds them.

namespace threadwick {

// Registers the support library's resources with the resource bundle's
// support module. Call once at start, beside RegisterResources; further
// calls do nothing.
void RegisterSupportResources();

} // namespace threadwick
