#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace testing_support {
void CreateTestHome();
void RemoveTestHome();
} // namespace testing_support

int main(int argc, char** argv)
{
    // The program reads numbers with '.' whatever the user's locale; tests run
    // under a locale that would break that if anything used the C library's.
    std::setlocale(LC_ALL, "");
    // Unit tests drive the headless back end, whose input they inject, even
    // when the developer's session has a display.
    setenv("THREADWICK_BACKEND", "headless", 0);
    testing::InitGoogleTest(&argc, argv);
    testing_support::CreateTestHome();
    // The scanner library reads an empty configuration of the run's own, so
    // no test searches the machine's scanners (tests that scan write theirs
    // into it).
    setenv("SANE_CONFIG_DIR", testing_support::MakeTempDir("sane").c_str(), 1);
    if (!testing_support::TestDataPresent())
        std::fprintf(stderr, "Tests of outside files skip: %s\n", testing_support::TestDataMissingNote().c_str());
    int rc = RUN_ALL_TESTS();
    testing_support::RemoveTestHome();
    return rc;
}
