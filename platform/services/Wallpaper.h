#pragma once
// The desktop's background picture, set through the desktop's own settings
// store (GSettings). Only the desktops whose settings schema names the
// picture are served: GNOME and the desktops built on its settings (Unity,
// Budgie, Pantheon) through org.gnome.desktop.background, Cinnamon through
// org.cinnamon.desktop.background and MATE through org.mate.background.
// Anywhere else (KDE, Xfce, no desktop) setting fails; so does a desktop
// whose schema is not installed, or a key the store will not take.
//
// InstallWallpaperService hooks this into SystemParametersInfo's
// SPI_SETDESKWALLPAPER (platform/ui); it is inline, as the printer services
// are, because platform/ui links after this module.

#include <string>
#include <string_view>

namespace platform {

// Which settings a desktop keeps its background in.
enum class WallpaperDesktop { Unsupported, Gnome, Cinnamon, Mate };

// The desktop named by an XDG_CURRENT_DESKTOP value: a colon-separated
// list, the first entry that names a served desktop winning (letter case
// ignored). Unsupported for empty or unknown values.
WallpaperDesktop WallpaperDesktopFrom(std::string_view currentDesktop);

// The file: URI of an absolute host path, every byte outside the unreserved
// set and '/' escaped (a blank is %20); empty for a relative path.
std::string FileUriFor(std::string_view hostPath);

// Sets the picture file (absolute host path, UTF-8) as the background of
// the desktop XDG_CURRENT_DESKTOP names. False when that desktop is not
// served, its schema or key is missing, or the store refuses the value.
bool SetDesktopWallpaper(const std::string& hostPath);

} // namespace platform

#include "platform/ui/SystemParameters.h"

namespace platform {

inline void InstallWallpaperService()
{
    SetDesktopWallpaperHandler(&SetDesktopWallpaper);
}

} // namespace platform
