// SystemParametersInfo: the desktop wallpaper, handed to the desktop
// services.

#include "platform/ui/SystemParameters.h"

#include "platform/files/HostPath.h"
#include "platform/ui/User.h"

#include <cstring>

namespace platform {

namespace {

DesktopWallpaperHandler& WallpaperHandler()
{
    static DesktopWallpaperHandler handler;
    return handler;
}

// The picture last set, so that the calls that only ask for the change to
// be stored and announced (the desktop's store does both at once) do not
// set it again.
std::string& LastWallpaper()
{
    static std::string path;
    return path;
}

} // namespace

void SetDesktopWallpaperHandler(DesktopWallpaperHandler handler)
{
    WallpaperHandler() = std::move(handler);
    LastWallpaper().clear();
}

} // namespace platform

BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni)
{
    (void)uiParam;
    if (uiAction != SPI_SETDESKWALLPAPER || pvParam == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A Windows path is at most MAX_PATH characters; anything longer is not
    // a file this program wrote.
    const auto* pszPath = static_cast<const char*>(pvParam);
    const size_t nLength = strnlen(pszPath, MAX_PATH + 1);
    if (nLength == 0 || nLength > MAX_PATH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string hostPath = platform::HostPathForReading(std::string_view(pszPath, nLength));
    if (hostPath.empty())
        return FALSE;
    std::string& last = platform::LastWallpaper();
    if (fWinIni != 0 && hostPath == last)
        return TRUE;
    const platform::DesktopWallpaperHandler& handler = platform::WallpaperHandler();
    if (!handler || !handler(hostPath)) {
        last.clear();
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    last = hostPath;
    return TRUE;
}
