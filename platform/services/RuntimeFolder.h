#pragma once
// The per-user folder for the files that running copies of the program use to
// find each other (lock files and the instance socket). It is
// THREADWICK_HOME/run when THREADWICK_HOME is set (tests), else
// $XDG_RUNTIME_DIR/threadwick, else a "run" folder in the private temporary
// folder. The folder is made on demand with mode 0700; one that is not a
// folder of ours is refused, so that no other user can reach the socket.

#include <string>
#include <string_view>

namespace platform {

// The folder (host path, made if missing); empty with *error set when no
// private folder can be had.
std::string RuntimeDir(std::string* error);

// Removes from the folder the lock files that no open holds, each with the
// socket file of the same stem: what copies that ended without closing left
// behind. Files that a running copy holds are never touched. The number of
// lock files removed.
int RemoveFilesOfEndedCopies();

// A file-name stem for an object name: the name's letters, digits, '.', '-'
// and '_' (others become '_'; at most 40 of them) followed by '-' and a hash
// of the exact name, so names that differ only in case or in replaced
// characters still get their own files.
std::string RuntimeFileStem(std::string_view name);

} // namespace platform
