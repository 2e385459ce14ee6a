#pragma once
// What a program's start does about the window back end and the signals
// that ask it to end, before it takes anything another copy could see.

namespace platform {

// Opens the back end THREADWICK_BACKEND names ("sdl" or "headless");
// without it, the SDL back end on the display the environment names. When
// none can be opened (an unknown name, a display that does not answer, no
// display named and no back end asked for) it says why on standard error
// and ends the process with exit code 2: a program without a window must
// never run unless asked to.
void OpenProgramBackend();

// From now on SIGTERM and SIGINT end the program as the end of the session
// does: every top-level window is asked with WM_QUERYENDSESSION (one that
// answers FALSE keeps the program running), then the main window (the one
// SetInstanceMainWindow names) gets WM_CLOSE; with no main window the loop
// gets WM_QUIT. The handlers only write to a pipe that the message loop
// watches; the work is done there, on the user-interface thread.
void EndSessionOnSignals();

} // namespace platform
