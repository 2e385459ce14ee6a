#pragma once
// Where the program keeps per-user state. THREADWICK_HOME, when set, puts all
// of them under one folder (config/, data/, overlay/, temp/) so that a test
// run is isolated; otherwise the XDG base folders are used. The folders are
// created on first use. All paths are host (UTF-8 Linux) paths.

#include <string>

namespace platform {

std::string ConfigDir();  // $XDG_CONFIG_HOME/threadwick: the registry file, windows/ (INI files)
std::string DataDir();    // $XDG_DATA_HOME/threadwick
std::string OverlayDir(); // the per-user overlay of the program folder: DataDir()/overlay
std::string TempDir();    // $TMPDIR/threadwick-<uid> (temporary files of GetTempPath)
std::string UserHomeDir(); // $HOME, else the account's home folder: where the user's own files are

// Forgets the folders worked out so far (tests that change the environment).
void ResetUserFolders();

} // namespace platform
