#include "platform/files/WindowsPath.h"

#include "platform/base/CharClass.h"

namespace platform {

namespace {

bool IsDriveLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

char UpperAscii(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool CharsEqualNoCase(char a, char b)
{
    return ToUpper1252(static_cast<unsigned char>(a)) == ToUpper1252(static_cast<unsigned char>(b));
}

// '*' and '?' with backtracking to the last star: linear in practice and
// never recursive, so a hostile pattern cannot exhaust the stack.
bool MatchPlain(std::string_view name, std::string_view pattern)
{
    size_t n = 0;
    size_t p = 0;
    size_t starP = std::string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && CharsEqualNoCase(pattern[p], name[n])))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

PathRoot ParsePathRoot(std::string_view path)
{
    PathRoot root;
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
        root.drive = UpperAscii(path[0]);
        if (path.size() >= 3 && IsPathSeparator(path[2])) {
            root.kind = PathRootKind::DriveAbsolute;
            root.length = 3;
        } else {
            root.kind = PathRootKind::DriveRelative;
            root.length = 2;
        }
        return root;
    }
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        root.kind = PathRootKind::Unc;
        size_t pos = 2;
        size_t end = pos;
        while (end < path.size() && !IsPathSeparator(path[end]))
            ++end;
        root.server = std::string(path.substr(pos, end - pos));
        pos = end < path.size() ? end + 1 : end;
        end = pos;
        while (end < path.size() && !IsPathSeparator(path[end]))
            ++end;
        root.share = std::string(path.substr(pos, end - pos));
        root.length = end < path.size() ? end + 1 : end;
        return root;
    }
    if (!path.empty() && IsPathSeparator(path[0])) {
        root.kind = PathRootKind::RootRelative;
        root.length = 1;
        return root;
    }
    return root;
}

std::vector<std::string> SplitPathComponents(std::string_view path)
{
    PathRoot root = ParsePathRoot(path);
    std::vector<std::string> parts;
    size_t pos = root.length;
    while (pos < path.size()) {
        size_t end = pos;
        while (end < path.size() && !IsPathSeparator(path[end]))
            ++end;
        if (end > pos)
            parts.emplace_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

bool HasTrailingSeparator(std::string_view path)
{
    return !path.empty() && IsPathSeparator(path.back());
}

std::string WithTrailingSeparator(std::string_view path)
{
    std::string out(path);
    if (!HasTrailingSeparator(out))
        out += '\\';
    return out;
}

std::string WithoutTrailingSeparator(std::string_view path)
{
    std::string out(path);
    size_t rootLength = ParsePathRoot(out).length;
    while (out.size() > rootLength && HasTrailingSeparator(out))
        out.pop_back();
    return out;
}

std::string MakeFullPath(std::string_view path, const CurrentFolders& folders)
{
    if (path.empty())
        return {};
    PathRoot root = ParsePathRoot(path);
    std::string prefix;
    std::vector<std::string> parts;

    auto takeBase = [&](std::string_view base) {
        PathRoot baseRoot = ParsePathRoot(base);
        if (baseRoot.kind == PathRootKind::DriveAbsolute) {
            prefix = std::string(base.substr(0, 2));
        } else if (baseRoot.kind == PathRootKind::Unc && !baseRoot.share.empty()) {
            prefix = "\\\\" + baseRoot.server + "\\" + baseRoot.share;
        } else {
            return false;
        }
        parts = SplitPathComponents(base);
        return true;
    };

    switch (root.kind) {
    case PathRootKind::Relative:
        if (!takeBase(folders.current))
            return {};
        break;
    case PathRootKind::RootRelative:
        // A lone leading '/' is a Linux path: drive C is the Linux root, so
        // paths handed over from the host stay where they point whatever the
        // current drive is.
        if (path[0] == '/') {
            prefix = "C:";
        } else {
            if (!takeBase(folders.current))
                return {};
            parts.clear();
        }
        break;
    case PathRootKind::DriveRelative: {
        std::string base;
        PathRoot currentRoot = ParsePathRoot(folders.current);
        if (currentRoot.kind == PathRootKind::DriveAbsolute && currentRoot.drive == root.drive)
            base = folders.current;
        else if (folders.folderOfDrive)
            base = folders.folderOfDrive(root.drive);
        PathRoot baseRoot = ParsePathRoot(base);
        if (baseRoot.kind != PathRootKind::DriveAbsolute || baseRoot.drive != root.drive)
            base = std::string(path.substr(0, 2)) + "\\";
        takeBase(base);
        prefix = std::string(path.substr(0, 2));
        break;
    }
    case PathRootKind::DriveAbsolute:
        prefix = std::string(path.substr(0, 2));
        break;
    case PathRootKind::Unc:
        if (root.server.empty() || root.share.empty())
            return {};
        prefix = "\\\\" + root.server + "\\" + root.share;
        break;
    }

    for (std::string& part : SplitPathComponents(path))
        parts.push_back(std::move(part));

    std::vector<std::string> folded;
    for (std::string& part : parts) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!folded.empty())
                folded.pop_back();
            continue;
        }
        folded.push_back(std::move(part));
    }

    std::string full = prefix;
    full += '\\';
    for (size_t i = 0; i < folded.size(); ++i) {
        if (i > 0)
            full += '\\';
        full += folded[i];
    }
    if (!folded.empty() && HasTrailingSeparator(path))
        full += '\\';
    return full;
}

std::string_view PathFileName(std::string_view path)
{
    size_t start = ParsePathRoot(path).length;
    for (size_t i = path.size(); i > start; --i) {
        if (IsPathSeparator(path[i - 1]))
            return path.substr(i);
    }
    return path.substr(start);
}

bool MatchFileNamePattern(std::string_view name, std::string_view pattern)
{
    bool nameHasDot = name.find('.') != std::string_view::npos;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
        if (MatchPlain(name, pattern))
            return true;
        return !nameHasDot && MatchPlain(name, pattern.substr(0, pattern.size() - 2));
    }
    if (!pattern.empty() && pattern.back() == '.' && pattern != "." && pattern != "..")
        return !nameHasDot && MatchPlain(name, pattern.substr(0, pattern.size() - 1));
    return MatchPlain(name, pattern);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!CharsEqualNoCase(a[i], b[i]))
            return false;
    }
    return true;
}

} // namespace platform
