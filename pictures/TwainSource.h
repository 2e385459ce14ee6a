#pragma once
// The program's start of the scanning service: registers the main window
// with it so that scanner events reach the program.

#include "platform/base/Types.h"

// Starts the scanning service for the application's main window; its
// session value is kept by the application object.
LONG InitTwainSource();
