// The scanner calls before scanning exists: start-up works, nothing else.

#include "platform/services/Twain.h"

#include <gtest/gtest.h>

namespace {

TEST(TwainTest, StartsButHasNoSourceToSelectOrAcquire)
{
    EXPECT_GE(platform::TwainInit(NULL, nullptr, nullptr), 1);
    EXPECT_EQ(platform::TwainSelectSource(NULL), platform::kTwainNoSource);
    HANDLE bitmap = reinterpret_cast<HANDLE>(1);
    EXPECT_EQ(platform::TwainAcquire(NULL, &bitmap), platform::kTwainNoSource);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(platform::TwainAcquire(NULL, nullptr), platform::kTwainNoSource);
}

} // namespace
