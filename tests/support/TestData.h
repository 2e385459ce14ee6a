#pragma once
#include <gtest/gtest.h>

#include <string>

namespace testing_support {

// The outside files (pictures, metafiles, compound files, fonts) live beside
// the project, not in it. A clone of the project alone has no such folder:
// the tests that read them then skip, and the test main says once which
// folder is missing.
bool TestDataPresent();

// The note each skipped test gives, naming the folder.
std::string TestDataMissingNote();

} // namespace testing_support

// Skips the calling test when the outside files are missing. For use in a
// test body or a fixture's SetUp.
#define REQUIRE_TESTDATA()                                                \
    do {                                                                  \
        if (!testing_support::TestDataPresent())                          \
            GTEST_SKIP() << testing_support::TestDataMissingNote();       \
    } while (0)
