#pragma once
// The desktop's background picture, set the way each desktop offers: GNOME
// and the desktops built on its settings (Unity, Budgie, Pantheon) through
// the settings store (GSettings) org.gnome.desktop.background, Cinnamon
// through org.cinnamon.desktop.background and MATE through
// org.mate.background; KDE Plasma through its shell's scripting interface
// on the session bus (dbus-send), Xfce through its settings daemon
// (xfconf-query), LXQt and LXDE through their desktop programs
// (pcmanfm-qt, pcmanfm). Anywhere else (no desktop) setting fails; so does
// a desktop whose schema or program is missing, or that refuses the value.
//
// InstallWallpaperService hooks this into SystemParametersInfo's
// SPI_SETDESKWALLPAPER (platform/ui); it is inline, as the printer services
// are, because platform/ui links after this module.

#include <string>
#include <string_view>

namespace platform {

// Which settings a desktop keeps its background in.
enum class WallpaperDesktop { Unsupported, Gnome, Cinnamon, Mate, Kde, Xfce, Lxqt, Lxde };

// The desktop named by an XDG_CURRENT_DESKTOP value: a colon-separated
// list, the first entry that names a served desktop winning (letter case
// ignored). Unsupported for empty or unknown values.
WallpaperDesktop WallpaperDesktopFrom(std::string_view currentDesktop);

// The file: URI of an absolute host path, every byte outside the unreserved
// set and '/' escaped (a blank is %20); empty for a relative path.
std::string FileUriFor(std::string_view hostPath);

// Sets the picture file (absolute host path, UTF-8) as the background of
// the desktop XDG_CURRENT_DESKTOP names. False when that desktop is not
// served, its schema, key or program is missing, or it refuses the value.
bool SetDesktopWallpaper(const std::string& hostPath);

// The script that KDE Plasma's shell runs to show the picture (a file: URI)
// on every desktop it has.
std::string PlasmaWallpaperScript(const std::string& fileUri);

} // namespace platform

#include "platform/ui/SystemParameters.h"

namespace platform {

inline void InstallWallpaperService()
{
    SetDesktopWallpaperHandler(&SetDesktopWallpaper);
}

} // namespace platform
