#pragma once
// The text rules of Windows-form paths, with no file system behind them:
// both '\' and '/' separate, "X:\" is a drive root, "\\server\share\" is the
// root of a network share, "." and ".." fold away, and a full path is built
// from a relative one and the current folders. Text is Windows-1252.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline bool IsPathSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

enum class PathRootKind {
    Relative,      // "a\b": below the current folder
    RootRelative,  // "\a\b": below the root of the current drive
    DriveRelative, // "C:a": below the current folder of drive C
    DriveAbsolute, // "C:\a"
    Unc,           // "\\server\share\a"
};

struct PathRoot {
    PathRootKind kind = PathRootKind::Relative;
    char drive = 0;     // upper case, for the two drive kinds
    std::string server; // for Unc
    std::string share;  // for Unc; empty when the path names only a server
    size_t length = 0;  // characters the root takes, its separators included
};

PathRoot ParsePathRoot(std::string_view path);

// The names between separators, after the root; doubled separators give no
// empty names.
std::vector<std::string> SplitPathComponents(std::string_view path);

// Whether the path ends with a separator, and the same path with one added
// or taken away. A root ("C:\", "\", "\\server\share\") keeps its separator.
bool HasTrailingSeparator(std::string_view path);
std::string WithTrailingSeparator(std::string_view path);
std::string WithoutTrailingSeparator(std::string_view path);

// The folders a relative path is taken against: the current folder (a full
// path) and, for "X:name", the remembered folder of another drive.
struct CurrentFolders {
    std::string current;
    std::function<std::string(char drive)> folderOfDrive; // may be empty: the drive's root
};

// The full path as GetFullPathName gives it: "X:\a\b" or "\\server\share\a",
// backslashes only, no doubled separators, "." and ".." folded (never above
// the root), a trailing separator kept when the path had one. Empty when the
// path cannot be made full (empty text, a server without a share, a relative
// path with no usable current folder). A path that starts with a single '/'
// is a Linux path handed over from the host and lies below C:\ (drive C is
// the Linux root) whatever the current drive.
std::string MakeFullPath(std::string_view path, const CurrentFolders& folders);

// The last component of a path (after its last separator or drive colon).
std::string_view PathFileName(std::string_view path);

// Wildcard match of one name against one pattern, without case (1252): '*'
// matches any run of characters, '?' exactly one. As the system's listing
// does, a pattern ending in ".*" also matches names that have no dot ("*.*"
// is every name), and a pattern ending in a lone '.' matches only names
// without a dot ("*." lists names with no extension).
bool MatchFileNamePattern(std::string_view name, std::string_view pattern);

// Comparison of names without case through the 1252 case map.
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace platform
