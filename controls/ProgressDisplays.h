#pragma once
// The progress dialog as the progress display of the program's shared
// services (the drive search, the folder scans, the design index): they
// live below the control kit and take their display through a factory.

// Installs the progress dialog (with Cancel) as the display of the folder
// scans and of the design index; called once at start-up.
void InstallProgressDisplays();
