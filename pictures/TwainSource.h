#pragma once
// The program's start of the scanner: registers the main window with the
// scanner service, counts the devices it reports and shows the service's
// dialogs (the list of scanners, the scan) with the program's resources.

#include "platform/base/Types.h"

// Starts the scanner search for the application's main window and returns
// at once; its session value is kept by the application object. The
// devices found are counted as they are reported.
LONG InitTwainSource();

// How many scanners the search has reported so far (0 until it finishes,
// and for good on a machine without one); the Acquire command is offered
// when it is at least 1.
LONG GetTwainSourceCount();

// Ends the scanner when the application ends, while every library it uses
// is still whole: waits for the work under way (a search over the network
// can take seconds) and leaves the scanner library. No scanner is counted
// afterwards.
void ReleaseTwainSource();
