#pragma once
// Registration of the tab control, the progress bar and the procedure of
// the standard "ScrollBar" class.

namespace platform {

void RegisterTabControlClass();
void RegisterProgressClass();
// Puts the control's procedure on the built-in "ScrollBar" class; again
// after every reset of the window system.
void InstallScrollBarControl();

} // namespace platform
