// Typed text reaches the program in Windows-1252; what 1252 cannot hold is
// refused, never turned into a question mark.

#include "platform/ui/internal/TypedText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TypedTextTest, CharactersWithout1252FormAreRefusedNotReplaced)
{
    struct Case {
        std::string utf8;
        std::string windows1252;
        bool refused;
    };
    const Case cases[] = {
        {"plain", "plain", false},
        {"caf\xC3\xA9 \xE2\x82\xAC" "5", "caf\xE9 \x80" "5", false},
        {"a?b", "a?b", false},
        {"\xE4\xB8\xAD\xE6\x96\x87" "a", "a", true},      // two CJK characters, then a letter
        {"x\xF0\x9F\x98\x80y", "xy", true},               // a character outside the BMP
        {"\xFF" "ok", "ok", true},                         // not UTF-8 at all
        {"\xC3", "", true},                                // a sequence cut short
        {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        bool refused = !c.refused;
        EXPECT_EQ(platform::TypedTextTo1252(c.utf8, refused), c.windows1252);
        EXPECT_EQ(refused, c.refused);
    }
}

} // namespace
