#pragma once
// How the program starts and runs: the platform modules come up as the
// program needs them, then the application object runs to its end. The
// executable's main() is these two calls; the start-up benchmark's probe
// runs the same two.

// Brings up the file system, the resources, the profile, the printer
// services and the program's own dialogs in the services that show them,
// and takes the command line (argv[1..]).
void StartPlatform(int argc, char** argv);

// Builds the application object, runs it to its end and releases the
// shared fonts; answers the exit code.
int RunDesignerApp();
