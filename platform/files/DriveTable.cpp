#include "platform/files/DriveTable.h"

#include "platform/base/CodePage.h"
#include "platform/files/Drives.h"
#include "platform/files/WindowsPath.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <mutex>

namespace platform {

namespace {

// Bounds for what is read from the machine: /proc/mounts is small, but it is
// outside data all the same.
constexpr size_t kMaxMountsBytes = 4 * 1024 * 1024;
constexpr size_t kMaxLabelBytes = 255;

DWORD Fnv1a(std::string_view text)
{
    uint32_t hash = 2166136261u;
    for (unsigned char ch : text) {
        hash ^= ch;
        hash *= 16777619u;
    }
    return hash;
}

// /proc/mounts writes space, tab, newline and backslash in a field as \NNN.
std::string UnescapeMountField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool octal = true;
            int value = 0;
            for (size_t k = 1; k <= 3; ++k) {
                if (field[i + k] < '0' || field[i + k] > '7') {
                    octal = false;
                    break;
                }
                value = value * 8 + (field[i + k] - '0');
            }
            if (octal && value < 256) {
                out += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

struct MountLine {
    std::string device;
    std::string folder;
    std::string type;
};

std::vector<MountLine> ParseMounts(std::string_view text)
{
    std::vector<MountLine> mounts;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;

        std::vector<std::string_view> fields;
        size_t f = 0;
        while (f < line.size() && fields.size() < 3) {
            while (f < line.size() && (line[f] == ' ' || line[f] == '\t'))
                ++f;
            size_t start = f;
            while (f < line.size() && line[f] != ' ' && line[f] != '\t')
                ++f;
            if (f > start)
                fields.push_back(line.substr(start, f - start));
        }
        if (fields.size() < 3)
            continue;
        MountLine mount { UnescapeMountField(fields[0]), UnescapeMountField(fields[1]), std::string(fields[2]) };
        if (mount.folder.empty() || mount.folder[0] != '/')
            continue;
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

std::string FileSystemName(const std::string& type)
{
    if (type == "vfat")
        return "FAT32";
    if (type == "msdos")
        return "FAT";
    if (type == "exfat")
        return "exFAT";
    if (type == "ntfs" || type == "ntfs3" || type == "fuseblk")
        return "NTFS";
    if (type == "iso9660")
        return "CDFS";
    std::string upper = type;
    for (char& ch : upper)
        ch = static_cast<char>((ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch);
    return upper;
}

bool StartsWithFolder(std::string_view path, std::string_view folder)
{
    if (folder == "/")
        return !path.empty() && path[0] == '/';
    if (path.size() < folder.size() || path.substr(0, folder.size()) != folder)
        return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

std::string LastFolderName(std::string_view folder)
{
    size_t slash = folder.rfind('/');
    return std::string(slash == std::string_view::npos ? folder : folder.substr(slash + 1));
}

std::string TrimFolder(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string ClampLabel(std::string label)
{
    if (label.size() > kMaxLabelBytes)
        label.resize(kMaxLabelBytes);
    return label;
}

// "//server/share[/more]" (cifs) or "server:/path" (nfs) into server and share.
bool SplitRemoteDevice(const std::string& device, const std::string& type, std::string& server, std::string& share)
{
    if (type == "nfs" || type == "nfs4") {
        size_t colon = device.rfind(":/");
        if (colon == std::string::npos || colon == 0)
            return false;
        server = device.substr(0, colon);
        if (server.size() > 2 && server.front() == '[' && server.back() == ']')
            server = server.substr(1, server.size() - 2);
        share = device.substr(colon + 2);
        while (!share.empty() && share.back() == '/')
            share.pop_back();
        std::replace(share.begin(), share.end(), '/', '\\');
        return !share.empty();
    }
    if (device.size() < 3 || !IsPathSeparator(device[0]) || !IsPathSeparator(device[1]))
        return false;
    PathRoot root = ParsePathRoot(device);
    server = root.server;
    share = root.share;
    return !server.empty() && !share.empty();
}

UINT ClassifyMount(const MountLine& mount, const MountEnvironment& env)
{
    const std::string& type = mount.type;
    if (type == "iso9660" || type == "udf")
        return DRIVE_CDROM;
    if (type == "cifs" || type == "smb3" || type == "smbfs" || type == "nfs" || type == "nfs4")
        return DRIVE_REMOTE;
    if (StartsWithFolder(mount.folder, "/media") || StartsWithFolder(mount.folder, "/run/media")) {
        if (mount.folder != "/media" && mount.folder != "/run/media")
            return DRIVE_REMOVABLE;
    }
    bool fatLike = type == "vfat" || type == "msdos" || type == "exfat" || type == "ntfs" || type == "ntfs3" || type == "fuseblk";
    if (fatLike && env.isRemovable && env.isRemovable(mount.device))
        return DRIVE_REMOVABLE;
    return DRIVE_UNKNOWN;
}

bool ParseDriveType(std::string_view word, UINT& type, std::string& fileSystem)
{
    struct Kind {
        std::string_view word;
        UINT type;
        const char* fileSystem;
    };
    static const Kind kinds[] = {
        { "fixed", DRIVE_FIXED, "EXT4" },
        { "removable", DRIVE_REMOVABLE, "FAT32" },
        { "cdrom", DRIVE_CDROM, "CDFS" },
        { "remote", DRIVE_REMOTE, "NTFS" },
        { "ramdisk", DRIVE_RAMDISK, "FAT" },
    };
    for (const Kind& kind : kinds) {
        if (EqualsNoCase(word, kind.word)) {
            type = kind.type;
            fileSystem = kind.fileSystem;
            return true;
        }
    }
    return false;
}

std::string ReadSmallFile(const std::string& path, size_t limit)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::string text;
    char buffer[8192];
    while (text.size() < limit) {
        in.read(buffer, sizeof buffer);
        if (in.gcount() <= 0)
            break;
        text.append(buffer, static_cast<size_t>(in.gcount()));
    }
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return path;
    return resolved;
}

// Names in /dev/disk/by-label escape unsafe bytes as \xNN.
std::string UnescapeLabel(std::string_view name)
{
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            auto hex = [](char c) -> int {
                if (c >= '0' && c <= '9')
                    return c - '0';
                if (c >= 'a' && c <= 'f')
                    return c - 'a' + 10;
                if (c >= 'A' && c <= 'F')
                    return c - 'A' + 10;
                return -1;
            };
            int hi = hex(name[i + 2]);
            int lo = hex(name[i + 3]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

std::mutex g_tableMutex;
std::shared_ptr<const DriveTable> g_table;

} // namespace

std::string DriveInfo::RemoteName() const
{
    if (server.empty())
        return {};
    return "\\\\" + server + "\\" + share;
}

MountEnvironment MountEnvironment::FromSystem()
{
    MountEnvironment env;
    if (DIR* dir = opendir("/dev/disk/by-label")) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            std::string device = RealPath("/dev/disk/by-label/" + name);
            env.labelsByDevice[device] = ClampLabel(UnescapeLabel(name));
        }
        closedir(dir);
    }
    env.isRemovable = [](const std::string& device) {
        std::string name = LastFolderName(RealPath(device));
        if (name.empty())
            return false;
        std::string sys = RealPath("/sys/class/block/" + name);
        std::string flagFile = access((sys + "/partition").c_str(), F_OK) == 0 ? sys + "/../removable" : sys + "/removable";
        return ReadSmallFile(flagFile, 16).starts_with("1");
    };
    return env;
}

DriveTable::DriveTable()
{
    DriveInfo c;
    c.letter = 'C';
    c.type = DRIVE_FIXED;
    c.hostRoot = "/";
    c.fileSystem = "EXT4";
    c.serial = Fnv1a("/");
    m_drives.push_back(std::move(c));
}

bool DriveTable::Add(DriveInfo drive)
{
    if (Find(drive.letter))
        return false;
    auto at = std::lower_bound(m_drives.begin(), m_drives.end(), drive.letter,
        [](const DriveInfo& d, char letter) { return d.letter < letter; });
    m_drives.insert(at, std::move(drive));
    return true;
}

char DriveTable::NextFreeLetter() const
{
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        if (!Find(letter))
            return letter;
    }
    return 0;
}

DriveTable DriveTable::Build(std::string_view mountsText, std::string_view drivesSpec, const MountEnvironment& env)
{
    DriveTable table;
    auto labelOf = [&](const std::string& device) -> const std::string* {
        auto it = env.labelsByDevice.find(device);
        return it == env.labelsByDevice.end() ? nullptr : &it->second;
    };

    std::vector<MountLine> mounts = ParseMounts(mountsText);
    for (const MountLine& mount : mounts) {
        if (mount.folder != "/")
            continue;
        DriveInfo& c = table.m_drives.front();
        c.fileSystem = FileSystemName(mount.type);
        c.serial = Fnv1a(mount.device + "|/");
        const std::string* label = labelOf(mount.device);
        c.label = label ? Utf8To1252(*label) : std::string();
    }

    size_t pos = 0;
    while (pos <= drivesSpec.size()) {
        size_t end = drivesSpec.find(';', pos);
        if (end == std::string_view::npos)
            end = drivesSpec.size();
        std::string_view entry = drivesSpec.substr(pos, end - pos);
        pos = end + 1;
        while (!entry.empty() && (entry.front() == ' ' || entry.front() == '\t'))
            entry.remove_prefix(1);
        while (!entry.empty() && (entry.back() == ' ' || entry.back() == '\t'))
            entry.remove_suffix(1);
        if (entry.empty())
            continue;

        std::string quoted(entry.size() + 2, '"');
        entry.copy(quoted.data() + 1, entry.size());
        char letter = entry[0];
        if (letter >= 'a' && letter <= 'z')
            letter = static_cast<char>(letter - 'a' + 'A');
        if (entry.size() < 3 || letter < 'A' || letter > 'Z' || entry[1] != '=') {
            table.m_errors.push_back(quoted + ": expected <letter>=<folder>:<type>[:<label>]");
            continue;
        }
        if (letter == 'C' || table.Find(letter)) {
            table.m_errors.push_back(quoted + ": drive " + std::string(1, letter) + ": is taken");
            continue;
        }
        std::string_view rest = entry.substr(2);
        size_t colon = rest.find(':');
        std::string folder = TrimFolder(std::string(rest.substr(0, colon)));
        if (folder.empty() || folder[0] != '/' || colon == std::string_view::npos) {
            table.m_errors.push_back(quoted + ": the folder must be an absolute Linux path followed by ':' and a type");
            continue;
        }
        rest = rest.substr(colon + 1);
        colon = rest.find(':');
        std::string_view typeWord = rest.substr(0, colon);
        std::string text = colon == std::string_view::npos ? std::string() : std::string(rest.substr(colon + 1));

        DriveInfo drive;
        drive.letter = letter;
        drive.hostRoot = folder;
        drive.serial = Fnv1a("drive|" + folder);
        if (!ParseDriveType(typeWord, drive.type, drive.fileSystem)) {
            table.m_errors.push_back(quoted + ": unknown type \"" + std::string(typeWord) + "\" (fixed, removable, cdrom, remote, ramdisk)");
            continue;
        }
        if (drive.type == DRIVE_REMOTE) {
            if (!SplitRemoteDevice(text, "cifs", drive.server, drive.share)) {
                table.m_errors.push_back(quoted + ": a remote drive needs \\\\server\\share");
                continue;
            }
            drive.server = Utf8To1252(drive.server);
            drive.share = Utf8To1252(drive.share);
            drive.label = drive.share;
        } else {
            drive.label = Utf8To1252(ClampLabel(text.empty() ? LastFolderName(folder) : text));
        }
        table.Add(std::move(drive));
    }

    for (const MountLine& mount : mounts) {
        if (mount.folder == "/")
            continue;
        UINT type = ClassifyMount(mount, env);
        if (type == DRIVE_UNKNOWN)
            continue;
        std::string folder = TrimFolder(mount.folder);
        bool known = std::any_of(table.m_drives.begin(), table.m_drives.end(),
            [&](const DriveInfo& d) { return d.hostRoot == folder; });
        if (known)
            continue;
        char letter = table.NextFreeLetter();
        if (!letter)
            break;

        DriveInfo drive;
        drive.letter = letter;
        drive.type = type;
        drive.hostRoot = folder;
        drive.fileSystem = FileSystemName(mount.type);
        drive.serial = Fnv1a(mount.device + "|" + folder);
        if (type == DRIVE_REMOTE) {
            std::string server;
            std::string share;
            if (!SplitRemoteDevice(mount.device, mount.type, server, share))
                continue;
            drive.server = Utf8To1252(server);
            drive.share = Utf8To1252(share);
            drive.label = drive.share;
        } else {
            const std::string* label = labelOf(mount.device);
            drive.label = Utf8To1252(ClampLabel(label ? *label : LastFolderName(folder)));
        }
        table.Add(std::move(drive));
    }
    return table;
}

DriveTable DriveTable::FromSystem()
{
    std::string mounts = ReadSmallFile("/proc/mounts", kMaxMountsBytes);
    const char* spec = getenv("THREADWICK_DRIVES");
    DriveTable table = Build(mounts, spec ? spec : "", MountEnvironment::FromSystem());
    for (const std::string& error : table.Errors())
        fprintf(stderr, "threadwick: THREADWICK_DRIVES: %s\n", error.c_str());
    return table;
}

const DriveInfo* DriveTable::Find(char letter) const
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    for (const DriveInfo& drive : m_drives) {
        if (drive.letter == letter)
            return &drive;
    }
    return nullptr;
}

const DriveInfo* DriveTable::FindRemote(std::string_view server, std::string_view share) const
{
    for (const DriveInfo& drive : m_drives) {
        if (drive.type == DRIVE_REMOTE && EqualsNoCase(drive.server, server) && EqualsNoCase(drive.share, share))
            return &drive;
    }
    return nullptr;
}

const DriveInfo* DriveTable::FindByHostPath(std::string_view hostPath) const
{
    const DriveInfo* best = nullptr;
    for (const DriveInfo& drive : m_drives) {
        if (StartsWithFolder(hostPath, drive.hostRoot) && (!best || drive.hostRoot.size() > best->hostRoot.size()))
            best = &drive;
    }
    return best;
}

DWORD DriveTable::LogicalDrives() const
{
    DWORD mask = 0;
    for (const DriveInfo& drive : m_drives)
        mask |= 1u << (drive.letter - 'A');
    return mask;
}

std::shared_ptr<const DriveTable> CurrentDriveTable()
{
    std::lock_guard<std::mutex> lock(g_tableMutex);
    if (!g_table)
        g_table = std::make_shared<const DriveTable>(DriveTable::FromSystem());
    return g_table;
}

void SetDriveTable(DriveTable table)
{
    std::lock_guard<std::mutex> lock(g_tableMutex);
    g_table = std::make_shared<const DriveTable>(std::move(table));
}

void ResetDriveTable()
{
    std::lock_guard<std::mutex> lock(g_tableMutex);
    g_table.reset();
}

} // namespace platform
