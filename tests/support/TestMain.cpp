#include <gtest/gtest.h>

#include <clocale>

namespace testing_support {
void CreateTestHome();
void RemoveTestHome();
} // namespace testing_support

int main(int argc, char** argv)
{
    // The program reads numbers with '.' whatever the user's locale; tests run
    // under a locale that would break that if anything used the C library's.
    std::setlocale(LC_ALL, "");
    testing::InitGoogleTest(&argc, argv);
    testing_support::CreateTestHome();
    int rc = RUN_ALL_TESTS();
    testing_support::RemoveTestHome();
    return rc;
}
