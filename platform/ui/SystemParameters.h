#pragma once
// Who sets the desktop's wallpaper for SystemParametersInfo
// (SPI_SETDESKWALLPAPER). The window system has no desktop of its own: the
// desktop services install a handler at start-up; without one every
// wallpaper is refused.

#include <functional>
#include <string>

namespace platform {

// Given the picture's host path (UTF-8), answers whether the desktop took
// it. An empty function removes the handler.
using DesktopWallpaperHandler = std::function<bool(const std::string& hostPath)>;
void SetDesktopWallpaperHandler(DesktopWallpaperHandler handler);

} // namespace platform
