#pragma once
// The desktop's files that make the program's document kinds known to it, in
// the freedesktop way and per user: a shared-mime-info package with one MIME
// type per kind, the program's desktop entry naming those types, and the
// program and document icons in the hicolor theme. The caller (the
// application's RegisterShellFileTypes) describes the kinds; this module
// writes the files and runs the desktop's update tools.
//
// Only files of our own names are written, and only when their bytes differ
// from what is there, each through a new file renamed over the old; a start
// that finds everything in place writes nothing and runs nothing.
// Registration is a convenience: a folder that cannot be written ends it
// quietly, and the program works without it.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One document kind as the desktop is told of it. Texts are UTF-8.
struct ShellDocumentType {
    std::string mimeType;  // "application/x-threadwick-shirt"
    std::string extension; // "shr", without the dot
    std::string comment;   // the readable name of the file type
};

// An icon as PNG bytes, square, `size` pixels a side; empty when there is
// none to write.
struct ShellIcon {
    std::string png;
    int size = 0;
};

struct ShellRegistrationInfo {
    std::string programPath; // host path of the executable, absolute
    std::string name;        // the program's name on the desktop (the application's)
    std::vector<ShellDocumentType> types;
    ShellIcon programIcon;  // "threadwick" in apps/
    ShellIcon documentIcon; // named by every type, in mimetypes/
};

// What one registration did.
struct ShellRegistrationResult {
    bool written = false;         // at least one file was written
    bool failed = false;          // a folder or file could not be written
    std::vector<std::string> ran; // the update tools run (their names)
};

// Runs a desktop tool (argv[0] looked up in PATH, no shell) and waits for it
// within a time bound; true when it ran and ended with 0. A tool that is not
// installed is not an error worth telling.
using ShellToolRunner = std::function<bool(const std::vector<std::string>& argv)>;

// The folder the registration goes to: $THREADWICK_HOME/share when
// THREADWICK_HOME is set (a run kept under one folder, tests among them,
// never touches the user's desktop files), else $XDG_DATA_HOME, else
// $HOME/.local/share. Read from the environment at every call.
std::string ShellDataHome();

// The name of the icon every type names, and the MIME type name for a
// template's document name ("Mouse Pad" gives "application/x-threadwick-
// mousepad"); empty when the name leaves nothing usable.
extern const char kShellDocumentIconName[];
std::string ShellMimeTypeForDocName(std::string_view docName);

// The files' contents, exposed for tests. Every text is escaped for its
// file; a type whose extension or MIME name is unusable (empty, too long,
// characters a glob or a type name cannot hold) is left out.
std::string ShellMimePackage(const ShellRegistrationInfo& info);
std::string ShellDesktopEntry(const ShellRegistrationInfo& info);
// The program path as one argument of a desktop entry's Exec key, quoted
// when it holds a reserved character, and escaped as the entry's string
// values are; empty when the path cannot be written there (control
// characters, text that is not UTF-8).
std::string ShellExecArgument(std::string_view path);

// Writes what changed below dataHome and runs update-mime-database and
// update-desktop-database on the folders whose file changed (or whose cache
// is missing or older than our file).
ShellRegistrationResult RegisterShellTypes(const ShellRegistrationInfo& info, const std::string& dataHome,
    const ShellToolRunner& runTool);

} // namespace platform
