#include "platform/files/HostPath.h"

#include "platform/base/CodePage.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileOps.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/UserFolders.h"
#include "platform/files/WindowsPath.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace platform {

namespace {

std::mutex g_driveFoldersMutex;
std::map<char, std::string> g_driveFolders;

std::string JoinHost(const std::string& folder, std::string_view name)
{
    std::string out = folder;
    if (out.empty() || out.back() != '/')
        out += '/';
    out += name;
    return out;
}

bool Exists(const std::string& hostPath)
{
    struct stat st;
    return lstat(hostPath.c_str(), &st) == 0;
}

bool IsBelow(std::string_view path, std::string_view folder)
{
    if (folder == "/")
        return !path.empty() && path[0] == '/';
    if (path.size() < folder.size() || path.substr(0, folder.size()) != folder)
        return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

// "/a/./b/../c" to "/a/c" without touching the disk.
std::string FoldHostPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

std::string CurrentHostFolder()
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return "/";
    return buffer;
}

} // namespace

std::string LookUpWithoutCase(const std::string& hostFolder, const std::vector<std::string>& names)
{
    std::string path = hostFolder;
    if (names.empty())
        return path;

    std::string exact = path;
    for (const std::string& name : names)
        exact = JoinHost(exact, name);
    if (Exists(exact))
        return exact;

    bool missing = false;
    for (const std::string& name : names) {
        std::string candidate = JoinHost(path, name);
        if (missing || Exists(candidate)) {
            path = std::move(candidate);
            continue;
        }
        std::string wanted = Utf8To1252(name);
        std::string best;
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir)) {
                std::string_view entryName = entry->d_name;
                if (entryName == "." || entryName == "..")
                    continue;
                bool lossless = false;
                std::string converted = Utf8To1252(entryName, &lossless);
                if (!lossless || !EqualsNoCase(converted, wanted))
                    continue;
                if (best.empty() || entryName < best)
                    best = entryName;
            }
            closedir(dir);
        }
        if (best.empty()) {
            missing = true;
            path = std::move(candidate);
        } else {
            path = JoinHost(path, best);
        }
    }
    return path;
}

std::string ResolvedPath::ForReading() const
{
    if (!overlay.empty() && Exists(overlay))
        return overlay;
    return host;
}

bool ResolvePath(std::string_view windowsPath, ResolvedPath& out, DWORD* error)
{
    out = ResolvedPath();
    std::string full = FullWindowsPath(windowsPath);
    if (full.empty()) {
        if (error)
            *error = ERROR_INVALID_NAME;
        return false;
    }
    PathRoot root = ParsePathRoot(full);
    std::shared_ptr<const DriveTable> table = CurrentDriveTable();
    const DriveInfo* drive = nullptr;
    if (root.kind == PathRootKind::Unc) {
        drive = table->FindRemote(root.server, root.share);
        if (!drive) {
            if (error)
                *error = ERROR_BAD_NETPATH;
            return false;
        }
    } else {
        drive = table->Find(root.drive);
        if (!drive) {
            if (error)
                *error = ERROR_PATH_NOT_FOUND;
            return false;
        }
    }

    std::vector<std::string> names;
    for (const std::string& part : SplitPathComponents(full))
        names.push_back(Utf8From1252(part));
    out.host = LookUpWithoutCase(drive->hostRoot, names);

    std::string program = ProgramFolder();
    if (IsBelow(out.host, program) && !IsProgramFolderWritable()) {
        std::vector<std::string> relative;
        std::string_view rest = std::string_view(out.host).substr(program == "/" ? 0 : program.size());
        size_t pos = 0;
        while (pos < rest.size()) {
            size_t end = rest.find('/', pos);
            if (end == std::string_view::npos)
                end = rest.size();
            if (end > pos)
                relative.emplace_back(rest.substr(pos, end - pos));
            pos = end + 1;
        }
        out.overlay = LookUpWithoutCase(OverlayDir(), relative);
    }
    return true;
}

std::string PathForWriting(const ResolvedPath& path, bool copyExisting)
{
    if (path.overlay.empty())
        return path.host;
    // The overlay mirrors the installation's folders as they are needed; a
    // folder that exists in neither must be made first, as anywhere else.
    std::string overlayParent = HostParent(path.overlay);
    struct stat folder;
    if (stat(overlayParent.c_str(), &folder) != 0 && stat(HostParent(path.host).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode))
        MakeHostFolders(overlayParent, 0777);
    if (copyExisting && !Exists(path.overlay)) {
        struct stat st;
        if (stat(path.host.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            CopyHostFile(path.host, path.overlay, true);
    }
    return path.overlay;
}

std::string HostPathForReading(std::string_view windowsPath)
{
    ResolvedPath resolved;
    DWORD error = 0;
    if (!ResolvePath(windowsPath, resolved, &error)) {
        SetLastError(error);
        return {};
    }
    return resolved.ForReading();
}

std::string HostPathForWriting(std::string_view windowsPath, bool copyExisting)
{
    ResolvedPath resolved;
    DWORD error = 0;
    if (!ResolvePath(windowsPath, resolved, &error)) {
        SetLastError(error);
        return {};
    }
    return PathForWriting(resolved, copyExisting);
}

std::string WindowsPathFor(std::string_view hostPath)
{
    std::string absolute = !hostPath.empty() && hostPath[0] == '/' ? std::string(hostPath) : JoinHost(CurrentHostFolder(), hostPath);
    absolute = FoldHostPath(absolute);

    std::string overlay = OverlayDir();
    if (IsBelow(absolute, overlay)) {
        std::string program = ProgramFolder();
        std::string rest = absolute.substr(overlay.size());
        absolute = program == "/" ? (rest.empty() ? "/" : rest) : program + rest;
    }

    std::shared_ptr<const DriveTable> table = CurrentDriveTable();
    const DriveInfo* drive = table->FindByHostPath(absolute);
    std::string rest = drive ? absolute.substr(drive->hostRoot == "/" ? 1 : drive->hostRoot.size()) : absolute.substr(1);
    if (!rest.empty() && rest[0] == '/')
        rest.erase(0, 1);
    for (char& ch : rest) {
        if (ch == '/')
            ch = '\\';
    }
    std::string out(1, drive ? drive->letter : 'C');
    out += ":\\";
    out += Utf8To1252(rest);
    return out;
}

std::string CurrentWindowsFolder()
{
    return WindowsPathFor(CurrentHostFolder());
}

char CurrentDriveLetter()
{
    return CurrentWindowsFolder()[0];
}

std::string FolderOfDrive(char letter)
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    std::string current = CurrentWindowsFolder();
    if (current[0] == letter)
        return current;
    std::lock_guard<std::mutex> lock(g_driveFoldersMutex);
    auto it = g_driveFolders.find(letter);
    if (it != g_driveFolders.end())
        return it->second;
    return std::string(1, letter) + ":\\";
}

std::string FullWindowsPath(std::string_view path)
{
    CurrentFolders folders;
    // Full paths need no current folder; asking for it costs a getcwd.
    PathRoot root = ParsePathRoot(path);
    bool absolute = root.kind == PathRootKind::DriveAbsolute || root.kind == PathRootKind::Unc
        || (root.kind == PathRootKind::RootRelative && path[0] == '/');
    if (!absolute)
        folders.current = CurrentWindowsFolder();
    folders.folderOfDrive = [](char letter) { return FolderOfDrive(letter); };
    return MakeFullPath(path, folders);
}

bool SetCurrentWindowsFolder(std::string_view path)
{
    std::string full = FullWindowsPath(path);
    ResolvedPath resolved;
    DWORD error = 0;
    if (full.empty() || !ResolvePath(full, resolved, &error)) {
        SetLastError(full.empty() ? ERROR_INVALID_NAME : error);
        return false;
    }
    std::string host = resolved.ForReading();
    // The folder being left stays the current folder of its drive, so that
    // coming back to the drive returns there.
    std::string leaving = CurrentWindowsFolder();
    if (chdir(host.c_str()) != 0) {
        SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno, host);
        return false;
    }
    std::string now = CurrentWindowsFolder();
    std::lock_guard<std::mutex> lock(g_driveFoldersMutex);
    g_driveFolders[leaving[0]] = leaving;
    g_driveFolders[now[0]] = now;
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace platform
