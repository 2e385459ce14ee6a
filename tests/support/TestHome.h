#pragma once
#include <string>
#include <vector>

namespace testing_support {

// The folder this test program runs in: THREADWICK_HOME points at it, so
// configuration, data, overlay and temporary files of one run never meet
// another's. Made fresh by the test main and removed when the program ends.
const std::string& TestHome();

// A new empty folder below the test home, for one test's files.
std::string MakeTempDir(const std::string& stem);

// Reads or writes a whole file as bytes; a missing file reads as empty.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Runs a python3 script that reads compound files with olefile, each
// argument quoted, and gives what it printed; false when python3 or olefile
// is missing or the script fails.
bool RunOlefileScript(const std::string& script, const std::vector<std::string>& args, std::string& out);

// Runs a shell command and gives what it printed, without the line ends at
// the end; empty when the command cannot start.
std::string RunCommand(const std::string& command);

// Points glib's settings at a keyfile store in one folder below the test
// home, returned, so that tests that set the desktop's settings never touch
// the user's. The folder is the same for the whole run: glib takes it once
// per process.
std::string UseKeyfileSettings();

} // namespace testing_support
