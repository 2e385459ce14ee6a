#pragma once
#include <string>

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

} // namespace testing_support
