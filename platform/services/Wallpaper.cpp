#include "platform/services/Wallpaper.h"

#include "platform/services/Shell.h"
#include "platform/services/Spawn.h"

#include <gio/gio.h>

#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

namespace platform {

namespace {

bool SameName(std::string_view a, const char* b)
{
    return a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

WallpaperDesktop DesktopOfEntry(std::string_view entry)
{
    for (const char* name : {"GNOME", "Unity", "Budgie", "Pantheon"})
        if (SameName(entry, name))
            return WallpaperDesktop::Gnome;
    if (SameName(entry, "X-Cinnamon") || SameName(entry, "Cinnamon"))
        return WallpaperDesktop::Cinnamon;
    if (SameName(entry, "MATE"))
        return WallpaperDesktop::Mate;
    if (SameName(entry, "KDE"))
        return WallpaperDesktop::Kde;
    if (SameName(entry, "XFCE"))
        return WallpaperDesktop::Xfce;
    if (SameName(entry, "LXQt"))
        return WallpaperDesktop::Lxqt;
    if (SameName(entry, "LXDE"))
        return WallpaperDesktop::Lxde;
    return WallpaperDesktop::Unsupported;
}

// The desktops' own tools answer at once; one that hangs (a session bus
// that is not there) must not hold the program.
constexpr int kToolTimeoutMs = 5000;

bool SetPlasmaWallpaper(const std::string& hostPath)
{
    return RunQuietly({"dbus-send", "--session", "--print-reply", "--dest=org.kde.plasmashell", "--type=method_call",
                          "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript",
                          "string:" + PlasmaWallpaperScript(FileUriFor(hostPath))},
        kToolTimeoutMs);
}

// Xfce keeps a picture per monitor and workspace, each under a property
// ending in "/last-image"; all of them take the picture. A desktop that has
// shown none yet gets the first monitor's first workspace.
bool SetXfceWallpaper(const std::string& hostPath)
{
    std::string listing;
    if (!RunQuietly({"xfconf-query", "--channel", "xfce4-desktop", "--list"}, kToolTimeoutMs, &listing))
        return false;
    static constexpr std::string_view kSuffix = "/last-image";
    std::vector<std::string> properties;
    size_t start = 0;
    while (start < listing.size() && properties.size() < 256) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        std::string_view line(listing.data() + start, end - start);
        if (!line.empty() && line.front() == '/' && line.size() > kSuffix.size() &&
            line.compare(line.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0)
            properties.emplace_back(line);
        start = end + 1;
    }
    if (properties.empty()) {
        return RunQuietly({"xfconf-query", "--channel", "xfce4-desktop", "--property",
                              "/backdrop/screen0/monitor0/workspace0/last-image", "--create", "--type", "string",
                              "--set", hostPath},
            kToolTimeoutMs);
    }
    bool bAll = true;
    for (const std::string& property : properties)
        bAll = RunQuietly({"xfconf-query", "--channel", "xfce4-desktop", "--property", property, "--set", hostPath},
                   kToolTimeoutMs) &&
            bAll;
    return bAll;
}

// One schema of the store, looked up before any GSettings object is made:
// g_settings_new aborts the process for a schema that is not installed.
class SchemaSettings {
public:
    explicit SchemaSettings(const char* schemaId)
    {
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (source != nullptr)
            m_schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
        if (m_schema != nullptr)
            m_settings = g_settings_new_full(m_schema, nullptr, nullptr);
    }
    ~SchemaSettings()
    {
        if (m_settings != nullptr) {
            // The store writes in the background; the value must be there
            // when the caller tells the desktop.
            g_settings_sync();
            g_object_unref(m_settings);
        }
        if (m_schema != nullptr)
            g_settings_schema_unref(m_schema);
    }
    SchemaSettings(const SchemaSettings&) = delete;
    SchemaSettings& operator=(const SchemaSettings&) = delete;

    bool IsOpen() const { return m_settings != nullptr; }
    bool HasKey(const char* key) const { return m_schema != nullptr && g_settings_schema_has_key(m_schema, key); }
    // A string key the schema holds; false when it is missing or refused.
    bool SetString(const char* key, const std::string& value)
    {
        return IsOpen() && HasKey(key) && g_settings_set_string(m_settings, key, value.c_str());
    }

private:
    GSettingsSchema* m_schema = nullptr;
    GSettings* m_settings = nullptr;
};

} // namespace

WallpaperDesktop WallpaperDesktopFrom(std::string_view currentDesktop)
{
    while (!currentDesktop.empty()) {
        const size_t colon = currentDesktop.find(':');
        const WallpaperDesktop desktop = DesktopOfEntry(currentDesktop.substr(0, colon));
        if (desktop != WallpaperDesktop::Unsupported)
            return desktop;
        if (colon == std::string_view::npos)
            break;
        currentDesktop.remove_prefix(colon + 1);
    }
    return WallpaperDesktop::Unsupported;
}

std::string FileUriFor(std::string_view hostPath)
{
    if (hostPath.empty() || hostPath.front() != '/')
        return std::string();
    return FileUrlFromHostPath(hostPath);
}

bool SetDesktopWallpaper(const std::string& hostPath)
{
    if (hostPath.empty() || hostPath.front() != '/')
        return false;
    const char* current = std::getenv("XDG_CURRENT_DESKTOP");
    switch (WallpaperDesktopFrom(current != nullptr ? current : "")) {
    case WallpaperDesktop::Unsupported:
        return false;
    case WallpaperDesktop::Gnome: {
        SchemaSettings settings("org.gnome.desktop.background");
        if (!settings.SetString("picture-uri", FileUriFor(hostPath)))
            return false;
        // Older schemas have no dark-style picture; newer ones show it
        // whenever the dark style is on.
        if (settings.HasKey("picture-uri-dark"))
            settings.SetString("picture-uri-dark", FileUriFor(hostPath));
        return true;
    }
    case WallpaperDesktop::Cinnamon: {
        SchemaSettings settings("org.cinnamon.desktop.background");
        return settings.SetString("picture-uri", FileUriFor(hostPath));
    }
    case WallpaperDesktop::Mate: {
        SchemaSettings settings("org.mate.background");
        return settings.SetString("picture-filename", hostPath);
    }
    case WallpaperDesktop::Kde:
        return SetPlasmaWallpaper(hostPath);
    case WallpaperDesktop::Xfce:
        return SetXfceWallpaper(hostPath);
    case WallpaperDesktop::Lxqt:
        return RunQuietly({"pcmanfm-qt", "--set-wallpaper=" + hostPath}, kToolTimeoutMs);
    case WallpaperDesktop::Lxde:
        return RunQuietly({"pcmanfm", "--set-wallpaper=" + hostPath}, kToolTimeoutMs);
    }
    return false;
}

std::string PlasmaWallpaperScript(const std::string& fileUri)
{
    // The URI escapes every quote and backslash, so it stands in the
    // script's string as it is.
    return "var all = desktops();"
           "for (var i = 0; i < all.length; i++) {"
           " var d = all[i];"
           " d.wallpaperPlugin = \"org.kde.image\";"
           " d.currentConfigGroup = Array(\"Wallpaper\", \"org.kde.image\", \"General\");"
           " d.writeConfig(\"Image\", \"" +
        fileUri + "\");"
                  "}";
}

} // namespace platform
