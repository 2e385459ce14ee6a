#include "platform/base/Types.h"

#include <gtest/gtest.h>

TEST(Types, KeepWindowsSizes)
{
    EXPECT_EQ(sizeof(LONG), 4u);
    EXPECT_EQ(RGB(1, 2, 3), 0x00030201u);
    EXPECT_EQ(MAKELONG(0x1234, 0x5678), 0x56781234);
}
