#include "platform/files/UserFolders.h"

#include "platform/files/FileOps.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

namespace platform {

namespace {

struct Folders {
    std::string config;
    std::string data;
    std::string overlay;
    std::string temp;
};

std::mutex g_mutex;
Folders g_folders;

// An environment value that is usable as a base folder: set, absolute.
std::string AbsoluteEnv(const char* name)
{
    const char* value = getenv(name);
    if (!value || value[0] != '/')
        return {};
    std::string text = value;
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string HomeFolder()
{
    std::string home = AbsoluteEnv("HOME");
    if (!home.empty())
        return home;
    if (passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return "/tmp";
}

std::string ThreadwickHome()
{
    return AbsoluteEnv("THREADWICK_HOME");
}

// The shared temporary folder must be ours alone: a folder someone else made
// (or a link planted under our name) is not used; a private one is made
// beside it instead.
std::string PrivateTempFolder()
{
    std::string base = AbsoluteEnv("TMPDIR");
    if (base.empty())
        base = "/tmp";
    std::string folder = base + "/threadwick-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat st;
    if (lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid()) {
        if ((st.st_mode & 0777) != 0700)
            chmod(folder.c_str(), 0700);
        return folder;
    }
    std::string pattern = folder + "-XXXXXX";
    if (mkdtemp(pattern.data()))
        return pattern;
    return folder;
}

std::string& Slot(Folders& folders, int which)
{
    switch (which) {
    case 0:
        return folders.config;
    case 1:
        return folders.data;
    case 2:
        return folders.overlay;
    default:
        return folders.temp;
    }
}

std::string Folder(int which)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string& slot = Slot(g_folders, which);
    if (!slot.empty())
        return slot;
    std::string home = ThreadwickHome();
    std::string path;
    if (!home.empty()) {
        static const char* const names[] = { "/config", "/data", "/overlay", "/temp" };
        path = home + names[which];
    } else if (which == 3) {
        path = PrivateTempFolder();
    } else {
        std::string config = AbsoluteEnv("XDG_CONFIG_HOME");
        if (config.empty())
            config = HomeFolder() + "/.config";
        std::string data = AbsoluteEnv("XDG_DATA_HOME");
        if (data.empty())
            data = HomeFolder() + "/.local/share";
        if (which == 0)
            path = config + "/threadwick";
        else if (which == 1)
            path = data + "/threadwick";
        else
            path = data + "/threadwick/overlay";
    }
    // A folder that cannot be made is reported by the first file operation
    // in it; the path is still the right answer.
    MakeHostFolders(path, 0700);
    slot = path;
    return slot;
}

} // namespace

std::string ConfigDir()
{
    return Folder(0);
}

std::string DataDir()
{
    return Folder(1);
}

std::string OverlayDir()
{
    return Folder(2);
}

std::string TempDir()
{
    return Folder(3);
}

std::string UserHomeDir()
{
    return HomeFolder();
}

void ResetUserFolders()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_folders = Folders();
}

} // namespace platform
