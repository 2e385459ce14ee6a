#include "tests/support/TestData.h"

#include <filesystem>

namespace testing_support {

bool TestDataPresent()
{
#ifdef THREADWICK_TESTDATA_DIR
    std::error_code error;
    return std::filesystem::is_directory(THREADWICK_TESTDATA_DIR, error);
#else
    return false;
#endif
}

std::string TestDataMissingNote()
{
#ifdef THREADWICK_TESTDATA_DIR
    return std::string("the outside test files are not there: ") + THREADWICK_TESTDATA_DIR;
#else
    return "the outside test files were not named to this build";
#endif
}

} // namespace testing_support
