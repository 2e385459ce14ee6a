// The spelling check's word rules that need no design: the case a
// replacement takes and the reading of the library's result record.

#include "text/dialogs/DocTextWalker.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(SpellCheckWordsTest, ReplacementTakesTheCaseOfTheReplacedWord)
{
    struct Case {
        const char* pszReplacement;
        const char* pszReplaced;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"the", "teh", "the"},
        {"the", "Teh", "The"},
        {"the", "TEH", "THE"},
        {"the", "tEH", "the"},       // first letter small, the rest mixed
        {"The", "teh", "the"},       // an all-small word makes it all small
        {"THE", "teh", "THE"},       // a replacement in capitals stays
        {"McCoy", "MCCOY", "MCCOY"},
        {"mcCoy", "Mccoy", "McCoy"}, // only the first letter changes
        {"\xF4te", "\xD4TE", "\xD4TE"}, // 1252 letters beyond ASCII
        {"\xE9lan", "Elan", "\xC9lan"},
        // Strings without letters count as all capitals and as all small.
        {"42", "teh", "42"},
        {"it's", "'Tis", "it's"},   // the word's first character is no letter: kept
        {"abc", "123", "ABC"},
        {"", "Teh", ""},
        {"x", "", "X"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDocTextWalker::MatchCase(c.pszReplacement, c.pszReplaced), CString(c.pszExpected))
            << c.pszReplacement << " for " << c.pszReplaced;
}

// A walker whose result record the test writes, as a library might.
class RecordWalker : public CDocTextWalker {
public:
    void SetCount(int32_t nCount)
    {
        const uint32_t n = uint32_t(nCount);
        for (int i = 0; i < 4; ++i)
            m_result[kSpellResultCountOffset + i] = static_cast<unsigned char>(n >> (8 * i));
    }
    void FillSlot(int nSlot, const char* pBytes, size_t nBytes)
    {
        std::memcpy(m_result + kSpellResultFirstSlot + nSlot * kSpellResultSlotSize, pBytes, nBytes);
    }
    void FillAll(char ch) { std::memset(m_result, ch, sizeof m_result); }
};

TEST(SpellCheckWordsTest, SuggestionsAreReadWithinTheRecord)
{
    RecordWalker walker;
    walker.SetCount(3);
    walker.FillSlot(0, "the", 4);
    walker.FillSlot(1, "", 1);
    walker.FillSlot(2, "ten\0junk", 8);
    EXPECT_EQ(walker.GetSuggestionCount(), 3);
    EXPECT_EQ(walker.GetSuggestion(2), CString("ten"));
    CString s;
    ASSERT_TRUE(walker.GetNextSuggestion(s));
    EXPECT_EQ(s, CString("the"));
    ASSERT_TRUE(walker.GetNextSuggestion(s)) << "an empty slot is passed over";
    EXPECT_EQ(s, CString("ten"));
    EXPECT_FALSE(walker.GetNextSuggestion(s));

    // A record of garbage: a huge count reads as the 12 slots, each slot
    // without a NUL as its 26 bytes, never into the next.
    walker.FillAll('x');
    EXPECT_EQ(walker.GetSuggestionCount(), kSpellResultMaxSlots);
    EXPECT_EQ(walker.GetSuggestion(kSpellResultMaxSlots - 1), CString(std::string(kSpellResultSlotSize, 'x')));
    EXPECT_EQ(walker.GetSuggestion(kSpellResultMaxSlots), CString());
    walker.SetCount(-5);
    EXPECT_EQ(walker.GetSuggestionCount(), 0);
    EXPECT_FALSE(walker.GetNextSuggestion(s));
}

} // namespace
