#include "platform/profile/PrivateProfile.h"

#include "platform/base/CharClass.h"
#include "platform/files/FileApi.h"
#include "platform/files/HostPath.h"
#include "platform/files/SafeReplace.h"
#include "platform/files/WindowsPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr size_t kMaxLineBytes = 65535;
constexpr size_t kMaxFileBytes = size_t(16) << 20;

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToUpper1252(static_cast<unsigned char>(a[i])) != ToUpper1252(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// ---- One INI file as lines ------------------------------------------------

enum class LineKind { Section, Entry, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section name or key
    std::string_view value; // for entries, blanks dropped
};

ParsedLine ParseLine(std::string_view line)
{
    ParsedLine parsed;
    std::string_view text = Trim(line);
    if (text.empty() || text.front() == ';')
        return parsed;
    if (text.front() == '[') {
        text.remove_prefix(1);
        parsed.kind = LineKind::Section;
        parsed.name = Trim(text.substr(0, text.find(']')));
        return parsed;
    }
    size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.name = Trim(text.substr(0, equals));
    if (parsed.name.empty())
        return parsed;
    parsed.kind = LineKind::Entry;
    parsed.value = Trim(text.substr(equals + 1));
    return parsed;
}

// A value as the caller gets it: one pair of matching quotes dropped.
std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

enum class LoadResult { Loaded, Missing, Unreadable };

struct IniFile {
    std::vector<std::string> lines;

    // The first section of that name: its header line and the line after
    // its last one. False when there is none.
    bool FindSection(std::string_view name, size_t& header, size_t& end) const
    {
        for (size_t i = 0; i < lines.size(); ++i) {
            ParsedLine parsed = ParseLine(lines[i]);
            if (parsed.kind != LineKind::Section || !SameName(parsed.name, name))
                continue;
            header = i;
            end = i + 1;
            while (end < lines.size() && ParseLine(lines[end]).kind != LineKind::Section)
                ++end;
            return true;
        }
        return false;
    }

    // The line of a key inside [begin, end), or end.
    size_t FindEntry(size_t begin, size_t end, std::string_view key) const
    {
        for (size_t i = begin; i < end; ++i) {
            ParsedLine parsed = ParseLine(lines[i]);
            if (parsed.kind == LineKind::Entry && SameName(parsed.name, key))
                return i;
        }
        return end;
    }
};

LoadResult LoadIniFile(const std::string& path, IniFile& ini)
{
    ini.lines.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return errno == ENOENT || errno == ENOTDIR ? LoadResult::Missing : LoadResult::Unreadable;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || static_cast<unsigned long long>(info.st_size) > kMaxFileBytes) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return LoadResult::Unreadable;
    }
    std::string text;
    char buffer[65536];
    while (true) {
        ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || text.size() + static_cast<size_t>(got) > kMaxFileBytes) {
            ::close(fd);
            if (got == 0)
                break;
            SetLastError(ERROR_ACCESS_DENIED);
            return LoadResult::Unreadable;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    std::string_view rest(text);
    while (!rest.empty()) {
        size_t newline = rest.find('\n');
        std::string_view line = rest.substr(0, newline);
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ini.lines.emplace_back(line.substr(0, kMaxLineBytes));
    }
    return LoadResult::Loaded;
}

bool SaveIniFile(const std::string& path, const IniFile& ini)
{
    std::string text;
    for (const std::string& line : ini.lines) {
        text += line;
        text += "\r\n";
    }
    int osError = 0;
    if (!ReplaceFileContents(path, text, KeepBackup::No, &osError)) {
        SetLastError(osError == ENOSPC ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

// ---- Where a file is -------------------------------------------------------

// The host path of an INI file. A name that is not a full path lives in the
// Windows folder; names are looked up without case through the drive table.
// Empty (with the last error set) when the path cannot be resolved.
std::string IniHostPath(LPCSTR fileName, bool forWriting)
{
    std::string windowsPath(fileName);
    PathRootKind kind = ParsePathRoot(windowsPath).kind;
    if (kind != PathRootKind::DriveAbsolute && kind != PathRootKind::Unc) {
        char folder[MAX_PATH + 1];
        UINT length = GetWindowsDirectory(folder, sizeof(folder));
        if (length == 0 || length >= sizeof(folder)) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return std::string();
        }
        windowsPath = std::string(folder, length) + "\\" + windowsPath;
    }
    return forWriting ? HostPathForWriting(windowsPath, false) : HostPathForReading(windowsPath);
}

bool LoadNamedIni(LPCSTR fileName, IniFile& ini)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    std::string path = IniHostPath(fileName, false);
    if (path.empty())
        return false;
    return LoadIniFile(path, ini) == LoadResult::Loaded;
}

// ---- Copying into the caller's buffer --------------------------------------

DWORD CopyText(std::string_view text, LPSTR out, DWORD size)
{
    size_t count = std::min<size_t>(text.size(), size - 1);
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
    return static_cast<DWORD>(count);
}

// Strings each followed by a zero, then one more zero. When they do not fit,
// the last one that starts is cut and the buffer ends with two zeros.
DWORD CopyList(const std::vector<std::string>& items, LPSTR out, DWORD size)
{
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    size_t limit = size - 2; // characters before the two closing zeros
    size_t used = 0;
    for (const std::string& item : items) {
        if (used + item.size() + 1 > size - 1) {
            size_t room = limit > used ? limit - used : 0;
            std::memcpy(out + used, item.data(), std::min(room, item.size()));
            out[size - 2] = '\0';
            out[size - 1] = '\0';
            return static_cast<DWORD>(size - 2);
        }
        std::memcpy(out + used, item.data(), item.size());
        used += item.size();
        out[used++] = '\0';
    }
    out[used] = '\0';
    return static_cast<DWORD>(used);
}

bool HasLineBreak(LPCSTR text)
{
    return text && std::strpbrk(text, "\r\n");
}

} // namespace

UINT ParseProfileInt(std::string_view text)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    UINT value = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        for (char ch : text.substr(2)) {
            int digit = (ch >= '0' && ch <= '9')   ? ch - '0'
                : (ch >= 'a' && ch <= 'f') ? ch - 'a' + 10
                : (ch >= 'A' && ch <= 'F') ? ch - 'A' + 10
                                           : -1;
            if (digit < 0)
                break;
            value = value * 16 + static_cast<UINT>(digit);
        }
    } else {
        for (char ch : text) {
            if (ch < '0' || ch > '9')
                break;
            value = value * 10 + static_cast<UINT>(ch - '0');
        }
    }
    return negative ? 0u - value : value;
}

} // namespace platform

using platform::IniFile;
using platform::LineKind;
using platform::ParsedLine;

DWORD GetPrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
    DWORD nSize, LPCSTR lpFileName)
{
    if (!lpReturnedString || nSize == 0)
        return 0;
    IniFile ini;
    platform::LoadNamedIni(lpFileName, ini);

    if (!lpAppName) {
        std::vector<std::string> names;
        for (const std::string& line : ini.lines) {
            ParsedLine parsed = platform::ParseLine(line);
            if (parsed.kind == LineKind::Section)
                names.emplace_back(parsed.name);
        }
        return platform::CopyList(names, lpReturnedString, nSize);
    }
    size_t header = 0;
    size_t end = 0;
    bool haveSection = ini.FindSection(lpAppName, header, end);
    if (!lpKeyName) {
        std::vector<std::string> keys;
        for (size_t i = header + 1; haveSection && i < end; ++i) {
            ParsedLine parsed = platform::ParseLine(ini.lines[i]);
            if (parsed.kind == LineKind::Entry)
                keys.emplace_back(parsed.name);
        }
        return platform::CopyList(keys, lpReturnedString, nSize);
    }
    if (haveSection) {
        size_t line = ini.FindEntry(header + 1, end, lpKeyName);
        if (line < end)
            return platform::CopyText(platform::Unquote(platform::ParseLine(ini.lines[line]).value), lpReturnedString,
                nSize);
    }
    std::string_view fallback = lpDefault ? lpDefault : "";
    while (!fallback.empty() && platform::IsBlank(fallback.back()))
        fallback.remove_suffix(1);
    return platform::CopyText(fallback, lpReturnedString, nSize);
}

UINT GetPrivateProfileInt(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName)
{
    IniFile ini;
    size_t header = 0;
    size_t end = 0;
    if (!lpAppName || !lpKeyName || !platform::LoadNamedIni(lpFileName, ini)
        || !ini.FindSection(lpAppName, header, end))
        return static_cast<UINT>(nDefault);
    size_t line = ini.FindEntry(header + 1, end, lpKeyName);
    if (line == end)
        return static_cast<UINT>(nDefault);
    return platform::ParseProfileInt(platform::Unquote(platform::ParseLine(ini.lines[line]).value));
}

DWORD GetPrivateProfileSection(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName)
{
    if (!lpReturnedString || nSize == 0)
        return 0;
    IniFile ini;
    std::vector<std::string> entries;
    size_t header = 0;
    size_t end = 0;
    if (lpAppName && platform::LoadNamedIni(lpFileName, ini) && ini.FindSection(lpAppName, header, end)) {
        for (size_t i = header + 1; i < end; ++i) {
            ParsedLine parsed = platform::ParseLine(ini.lines[i]);
            if (parsed.kind == LineKind::Entry)
                entries.push_back(std::string(parsed.name) + "=" + std::string(parsed.value));
        }
    }
    return platform::CopyList(entries, lpReturnedString, nSize);
}

BOOL WritePrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName)
{
    if (!lpAppName || !lpFileName || !*lpFileName || std::strchr(lpAppName, ']') || platform::HasLineBreak(lpAppName)
        || platform::HasLineBreak(lpKeyName) || platform::HasLineBreak(lpString)
        || (lpKeyName && std::strchr(lpKeyName, '='))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = platform::IniHostPath(lpFileName, true);
    IniFile ini;
    if (path.empty() || platform::LoadIniFile(path, ini) == platform::LoadResult::Unreadable)
        return FALSE;

    size_t header = 0;
    size_t end = 0;
    bool haveSection = ini.FindSection(lpAppName, header, end);
    if (!lpKeyName) {
        if (!haveSection)
            return TRUE;
        ini.lines.erase(ini.lines.begin() + static_cast<ptrdiff_t>(header), ini.lines.begin() + static_cast<ptrdiff_t>(end));
        return platform::SaveIniFile(path, ini);
    }
    size_t line = haveSection ? ini.FindEntry(header + 1, end, lpKeyName) : end;
    if (!lpString) {
        if (!haveSection || line == end)
            return TRUE;
        ini.lines.erase(ini.lines.begin() + static_cast<ptrdiff_t>(line));
        return platform::SaveIniFile(path, ini);
    }

    std::string entry = std::string(lpKeyName) + "=" + lpString;
    if (haveSection && line < end) {
        ini.lines[line] = std::move(entry);
    } else if (haveSection) {
        // After the section's last line that is not blank, so the blank line
        // that separates it from the next section stays where it is.
        size_t insert = end;
        while (insert > header + 1 && platform::Trim(ini.lines[insert - 1]).empty())
            --insert;
        ini.lines.insert(ini.lines.begin() + static_cast<ptrdiff_t>(insert), std::move(entry));
    } else {
        if (!ini.lines.empty() && !platform::Trim(ini.lines.back()).empty())
            ini.lines.emplace_back();
        ini.lines.push_back(std::string("[") + lpAppName + "]");
        ini.lines.push_back(std::move(entry));
    }
    return platform::SaveIniFile(path, ini);
}

DWORD GetProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString, DWORD nSize)
{
    return GetPrivateProfileString(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize, "win.ini");
}

BOOL WriteProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString)
{
    return WritePrivateProfileString(lpAppName, lpKeyName, lpString, "win.ini");
}
