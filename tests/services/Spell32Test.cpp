#include "platform/services/Spell32.h"

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/files/UserFolders.h"
#include "platform/services/internal/UserDictionary.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::WriteFileBytes;

const std::string kEnUs = "/usr/share/hunspell/en_US";

bool HaveEnUs()
{
    return std::filesystem::exists(kEnUs + ".aff") && std::filesystem::exists(kEnUs + ".dic");
}

bool HaveHunspellCommand()
{
    return std::system("command -v hunspell >/dev/null 2>&1") == 0;
}

// ---- Words of a text ------------------------------------------------------------------------------

struct Found {
    std::string word;
    int nStart;
    int nEnd;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& found)
{
    return out << '"' << found.word << "\" " << found.nStart << '-' << found.nEnd;
}

std::vector<Found> WordsOf(const std::string& text, int nLength = -1)
{
    if (nLength < 0)
        nLength = int(text.size());
    std::vector<Found> words;
    std::vector<char> word(size_t(nLength) + 1, 'x');
    int nStart = 0;
    int nEnd = 0;
    while (StParseLine(text.c_str(), word.data(), &nStart, &nEnd, nLength) > 0) {
        words.push_back({ word.data(), nStart, nEnd });
        if (words.size() > text.size())
            break; // no progress: fails below
    }
    return words;
}

TEST(SpellParse, FindsWordsByTheRules)
{
    const struct {
        std::string text;
        std::vector<Found> words;
    } cases[] = {
        { "", {} },
        { "Don't stop", { { "Don't", 0, 5 }, { "stop", 6, 10 } } },
        { "'quoted' words' end", { { "quoted", 1, 7 }, { "words", 9, 14 }, { "end", 16, 19 } } },
        { "rock\x92n\x92roll \x92tis", { { "rock\x92n\x92roll", 0, 11 }, { "tis", 13, 16 } } },
        { "a''b", { { "a", 0, 1 }, { "b", 3, 4 } } },
        { "mp3 2nd 42 it's x1y z", { { "it's", 11, 15 }, { "z", 20, 21 } } },
        { "... !!! -- ''", {} },
        { "caf\xE9 na\xEFve \x8A" "ar\x9F", { { "caf\xE9", 0, 4 }, { "na\xEFve", 5, 10 }, { "\x8A" "ar\x9F", 11, 15 } } },
        { "a\xD7" "b\xF7" "c", { { "a", 0, 1 }, { "b", 2, 3 }, { "c", 4, 5 } } },
        { "well-known, e.g.", { { "well", 0, 4 }, { "known", 5, 10 }, { "e", 12, 13 }, { "g", 14, 15 } } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WordsOf(c.text), c.words) << c.text;
}

TEST(SpellParse, StaysWithinTheGivenLength)
{
    // The length ends the text even inside a word, and a stale end past it
    // (or before the start) is taken back into the text.
    EXPECT_EQ(WordsOf("abc defgh", 6), (std::vector<Found>{ { "abc", 0, 3 }, { "de", 4, 6 } }));
    char word[16];
    int nStart = 7;
    int nEnd = 40;
    EXPECT_EQ(StParseLine("abc def", word, &nStart, &nEnd, 7), 0);
    EXPECT_STREQ(word, "");
    nEnd = -5;
    EXPECT_EQ(StParseLine("abc def", word, &nStart, &nEnd, 7), 3);
    EXPECT_EQ(std::make_tuple(std::string(word), nStart, nEnd), std::make_tuple(std::string("abc"), 0, 3));
    nEnd = 0;
    EXPECT_EQ(StParseLine("abc", word, &nStart, &nEnd, 0), 0);
    EXPECT_EQ(StParseLine(nullptr, word, &nStart, &nEnd, 3), 0);
}

// ---- The result record and the operations' engine -------------------------------------------------

class ScriptedEngine : public platform::SpellEngine {
public:
    int Check(std::string_view word, bool bChecking) override
    {
        checks.emplace_back(word, bChecking);
        return 0;
    }
    std::vector<std::string> Suggestions() override { return suggestions; }
    bool AddToUserDictionary(std::string_view word) override
    {
        added.emplace_back(word);
        return true;
    }
    void EndRun() override { ++nEndRuns; }

    std::vector<std::pair<std::string, bool>> checks;
    std::vector<std::string> suggestions;
    std::vector<std::string> added;
    int nEndRuns = 0;
};

struct InstalledEngine {
    explicit InstalledEngine(platform::SpellEngine& engine) { platform::SetSpellEngine(&engine); }
    ~InstalledEngine() { platform::SetSpellEngine(nullptr); }
};

uint32_t CountOf(const unsigned char* pRecord)
{
    const unsigned char* p = pRecord + kSpellResultCountOffset;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::vector<std::string> SuggestionsOf(const unsigned char* pRecord)
{
    std::vector<std::string> suggestions;
    const uint32_t nCount = std::min<uint32_t>(CountOf(pRecord), kSpellResultMaxSlots);
    for (uint32_t i = 0; i < nCount; ++i) {
        const char* pSlot = reinterpret_cast<const char*>(pRecord + kSpellResultFirstSlot + i * kSpellResultSlotSize);
        suggestions.emplace_back(pSlot, strnlen(pSlot, kSpellResultSlotSize));
    }
    return suggestions;
}

TEST(SpellRecord, HoldsTwelveSuggestionsThatFitTheirSlots)
{
    ScriptedEngine engine;
    const std::string longest(25, 'w');
    engine.suggestions = { "one", std::string(26, 'x'), "", longest, std::string("nul\0in", 6) };
    for (int i = 0; i < 12; ++i)
        engine.suggestions.push_back("s" + std::to_string(i));
    InstalledEngine installed(engine);

    unsigned char record[kSpellResultSize + 8];
    std::memset(record, 0xEE, sizeof record);
    StLoadResult(record);
    EXPECT_EQ(CountOf(record), 12u);
    std::vector<std::string> expected = { "one", longest };
    for (int i = 0; i < 10; ++i)
        expected.push_back("s" + std::to_string(i));
    EXPECT_EQ(SuggestionsOf(record), expected);
    // Everything else is zero, and nothing is written past the record.
    unsigned char expectedRecord[kSpellResultSize] = {};
    expectedRecord[kSpellResultCountOffset] = 12;
    for (size_t i = 0; i < expected.size(); ++i)
        std::memcpy(expectedRecord + kSpellResultFirstSlot + i * kSpellResultSlotSize, expected[i].data(),
            expected[i].size());
    EXPECT_EQ(std::memcmp(record, expectedRecord, kSpellResultSize), 0);
    for (size_t i = kSpellResultSize; i < sizeof record; ++i)
        EXPECT_EQ(record[i], 0xEE);

    engine.suggestions.clear();
    StLoadResult(record);
    EXPECT_EQ(CountOf(record), 0u);
}

TEST(SpellRecord, OperationsReachTheInstalledEngine)
{
    ScriptedEngine engine;
    InstalledEngine installed(engine);
    EXPECT_EQ(SpellDict("teh\0xyz", 7, 1), 0);
    EXPECT_EQ(SpellDict("thee", 4, 0), 0);
    EXPECT_EQ(ToUserDict("zorblax"), 1);
    StResetUserDict(0, 0);
    // A length past a terminating zero stops at the zero.
    EXPECT_EQ(engine.checks, (std::vector<std::pair<std::string, bool>>{ { "teh", true }, { "thee", false } }));
    EXPECT_EQ(engine.added, std::vector<std::string>{ "zorblax" });
    EXPECT_EQ(engine.nEndRuns, 1);
}

// ---- Hunspell ------------------------------------------------------------------------------------

// Puts the user's data folder (and so the personal dictionary) in a folder
// of the test, and has the engine load again from it.
class HunspellSpellTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveEnUs())
            GTEST_SKIP() << "the en_US dictionary is not installed";
        const char* pOld = getenv("THREADWICK_HOME");
        m_oldHome = pOld ? pOld : "";
        m_home = MakeTempDir("spellhome");
        setenv("THREADWICK_HOME", m_home.c_str(), 1);
        platform::ResetUserFolders();
        platform::SetSpellEngine(nullptr);
        Reload();
    }
    void TearDown() override
    {
        if (m_home.empty())
            return;
        StResetUserDict(0, 0);
        setenv("THREADWICK_HOME", m_oldHome.c_str(), 1);
        platform::ResetUserFolders();
        Reload();
    }
    static void Reload() { platform::SetSpellDictionaryBase(kEnUs); }
    static int Check(const std::string& word, short nFlag = 1) { return SpellDict(word.c_str(), int(word.size()), nFlag); }
    static std::vector<std::string> Suggestions()
    {
        unsigned char record[kSpellResultSize];
        StLoadResult(record);
        return SuggestionsOf(record);
    }

    std::string m_home;
    std::string m_oldHome;
};

TEST_F(HunspellSpellTest, KnowsNamesLowerCasedAndKeepsSuggestionsOfTheCheckedWord)
{
    EXPECT_EQ(Check("london"), 1);
    EXPECT_EQ(Check("the"), 1);
    EXPECT_EQ(Check("don\x92t"), 1);
    EXPECT_EQ(Check("teh"), 0);
    // Confirming a typed replacement leaves the suggestions of the word the
    // user is being asked about.
    EXPECT_EQ(Check("recieve", 0), 0);
    const std::vector<std::string> suggestions = Suggestions();
    ASSERT_FALSE(suggestions.empty());
    EXPECT_EQ(suggestions[0], "the");
    StResetUserDict(0, 0);
    EXPECT_TRUE(Suggestions().empty());

    // A word past any language's length is unknown without suggestions.
    EXPECT_EQ(Check(std::string(5000, 'a')), 0);
    EXPECT_TRUE(Suggestions().empty());
}

TEST_F(HunspellSpellTest, MissingDictionaryIsAnErrorUntilOneIsThere)
{
    platform::SetSpellDictionaryBase(MakeTempDir("nodict") + "/en_US");
    EXPECT_EQ(Check("the"), -1);
    EXPECT_EQ(Check("teh"), -1);
    EXPECT_TRUE(Suggestions().empty());
    Reload();
    EXPECT_EQ(Check("the"), 1);
}

TEST_F(HunspellSpellTest, ConvertsToTheDictionarysEncodingAndBack)
{
    const std::string folder = MakeTempDir("dicts");
    // A Latin-1 dictionary: 1252 words go to it and its suggestions come back.
    WriteFileBytes(folder + "/latin.aff", "SET ISO8859-1\nTRY esianrtolcdugmfphbyvkw\xE9\n");
    WriteFileBytes(folder + "/latin.dic", "2\ncaf\xE9\nna\xEFve\n");
    platform::SetSpellDictionaryBase(folder + "/latin");
    EXPECT_EQ(Check("na\xEFve"), 1);
    EXPECT_EQ(Check("cafe"), 0);
    EXPECT_EQ(Suggestions(), std::vector<std::string>{ "caf\xE9" });

    // A suggestion 1252 cannot hold is left out, not changed into another word.
    WriteFileBytes(folder + "/utf.aff", "SET UTF-8\nTRY \xC5\xBC" "aebn\nMAP 1\nMAP z\xC5\xBC\n");
    WriteFileBytes(folder + "/utf.dic", "2\n\xC5\xBC" "aba\nzabe\n");
    platform::SetSpellDictionaryBase(folder + "/utf");
    EXPECT_EQ(Check("zaba"), 0);
    EXPECT_EQ(Suggestions(), std::vector<std::string>{ "zabe" });
}

// ---- The engine against Hunspell's own command ---------------------------------------------------

std::string Lower(std::string word)
{
    for (char& ch : word)
        ch = char(platform::ToLower1252(static_cast<unsigned char>(ch)));
    return word;
}

std::string Capitalised(std::string word)
{
    word[0] = char(platform::ToUpper1252(static_cast<unsigned char>(word[0])));
    return word;
}

std::string Capitals(std::string word)
{
    for (char& ch : word)
        ch = char(platform::ToUpper1252(static_cast<unsigned char>(ch)));
    return word;
}

struct WordSample {
    std::vector<std::string> words;      // lower-cased 1252, for the dictionary
    std::vector<std::string> withDigits; // not words at all
};

// 2,000 words drawn the same way every run from the dictionary's entries
// (affix flags cut off): plain words, misspellings of some, names, words
// with either apostrophe, and words with digits.
WordSample SampleWords()
{
    std::ifstream in(kEnUs + ".dic", std::ios::binary);
    std::string line;
    std::getline(in, line); // the entry count
    std::vector<std::string> plain, names, apostrophes;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find_first_of("/\t \r"));
        bool bLossless = false;
        const std::string word = platform::Utf8To1252(line, &bLossless);
        if (!bLossless || !platform::IsSpellWord(word))
            continue;
        if (word.find('\'') != std::string::npos)
            apostrophes.push_back(word);
        else if (IsCharUpper(word[0]))
            names.push_back(word);
        else
            plain.push_back(word);
    }
    WordSample sample;
    if (plain.empty() || names.empty() || apostrophes.empty())
        return sample;
    uint32_t seed = 20261208;
    auto next = [&seed](size_t n) {
        seed = seed * 1664525u + 1013904223u;
        return size_t(seed >> 8) % n;
    };
    for (int i = 0; i < 1000; ++i)
        sample.words.push_back(Lower(plain[next(plain.size())]));
    for (int i = 0; i < 300; ++i) {
        std::string word = Lower(plain[next(plain.size())]);
        if (word.size() < 3)
            word += "qz";
        const size_t at = next(word.size() - 1);
        if (i % 2)
            std::swap(word[at], word[at + 1]);
        else
            word.erase(at, 1);
        sample.words.push_back(word);
    }
    for (int i = 0; i < 350; ++i)
        sample.words.push_back(Lower(names[next(names.size())]));
    for (int i = 0; i < 200; ++i) {
        std::string word = Lower(apostrophes[next(apostrophes.size())]);
        if (i % 2)
            std::replace(word.begin(), word.end(), '\'', '\x92');
        sample.words.push_back(word);
    }
    for (int i = 0; i < 150; ++i) {
        std::string word = Lower(plain[next(plain.size())]);
        word.insert(next(word.size() + 1), 1, char('0' + i % 10));
        sample.withDigits.push_back(word);
    }
    return sample;
}

struct CommandAnswer {
    bool bKnown = false;
    std::vector<std::string> suggestions; // UTF-8, as printed
};

// What "hunspell -a" says of each line, one answer per line; an empty
// result when the command's output does not pair up with the lines.
std::vector<std::vector<CommandAnswer>> AskHunspell(const std::vector<std::string>& utf8Words, const std::string& flags)
{
    const std::string folder = MakeTempDir("hunspell");
    std::string input;
    for (const std::string& word : utf8Words)
        input += "^" + word + "\n";
    WriteFileBytes(folder + "/in.txt", input);
    std::system(("hunspell -d en_US -i utf-8 " + flags + " -a < '" + folder + "/in.txt' > '" + folder + "/out.txt'").c_str());
    std::istringstream out(ReadFileBytes(folder + "/out.txt"));
    std::string line;
    std::getline(out, line); // the banner
    std::vector<std::vector<CommandAnswer>> answers(1);
    while (std::getline(out, line)) {
        if (line.empty()) {
            answers.emplace_back();
            continue;
        }
        CommandAnswer answer;
        answer.bKnown = line[0] == '*' || line[0] == '+' || line[0] == '-';
        if (line[0] == '&') {
            std::string list = line.substr(line.find(": ") + 2);
            for (size_t pos = 0; pos <= list.size();) {
                size_t end = list.find(", ", pos);
                if (end == std::string::npos)
                    end = list.size();
                answer.suggestions.push_back(list.substr(pos, end - pos));
                pos = end + 2;
            }
        }
        answers.back().push_back(answer);
    }
    answers.pop_back(); // after the last line's blank line
    if (answers.size() != utf8Words.size())
        return {};
    return answers;
}

// What "hunspell -l" lists as unknown among the words, given one a line:
// the command's check without its suggestions, which are what cost time.
std::set<std::string> UnknownToHunspell(const std::vector<std::string>& utf8Words)
{
    const std::string folder = MakeTempDir("hunspell-l");
    std::string input;
    for (const std::string& word : utf8Words)
        input += word + "\n";
    WriteFileBytes(folder + "/in.txt", input);
    std::istringstream listed(RunCommand("hunspell -d en_US -i utf-8 -l < '" + folder + "/in.txt'"));
    std::set<std::string> unknown;
    for (std::string line; std::getline(listed, line);)
        unknown.insert(line);
    return unknown;
}

TEST_F(HunspellSpellTest, AnswersAsHunspellsOwnCommand)
{
    if (!HaveHunspellCommand())
        GTEST_SKIP() << "the hunspell command is not installed";
    const WordSample sample = SampleWords();
    ASSERT_EQ(sample.words.size() + sample.withDigits.size(), 2000u);

    for (const std::string& word : sample.withDigits)
        EXPECT_TRUE(WordsOf(word).empty()) << word;

    // Every word as checked, capitalised and in capitals. A word is known
    // when any of its forms is; only the words unknown in all three are
    // asked for suggestions, the slow part on both sides, so names known
    // through their capital cost nothing more.
    std::vector<std::string> forms;
    for (const std::string& word : sample.words) {
        forms.push_back(platform::Utf8From1252(word));
        forms.push_back(platform::Utf8From1252(Capitalised(word)));
        forms.push_back(platform::Utf8From1252(Capitals(word)));
    }
    const std::set<std::string> unknownForms = UnknownToHunspell(forms);
    // Each listed word is a whole line: the command took no line apart.
    const std::set<std::string> allForms(forms.begin(), forms.end());
    for (const std::string& listed : unknownForms)
        EXPECT_TRUE(allForms.count(listed)) << listed;

    std::vector<bool> known(sample.words.size());
    std::vector<std::string> unknownWords;
    int nNames = 0;
    for (size_t i = 0; i < sample.words.size(); ++i) {
        const bool bLowerKnown = !unknownForms.count(forms[3 * i]);
        known[i] = bLowerKnown || !unknownForms.count(forms[3 * i + 1]) || !unknownForms.count(forms[3 * i + 2]);
        nNames += !bLowerKnown && known[i];
        if (!known[i])
            unknownWords.push_back(forms[3 * i]);
    }

    // The command's suggestions come in two batches that run while our
    // engine gives its own answers.
    const auto middle = unknownWords.begin() + std::ptrdiff_t(unknownWords.size() / 2);
    const std::vector<std::string> first(unknownWords.begin(), middle);
    const std::vector<std::string> second(middle, unknownWords.end());
    auto firstHalf = std::async(std::launch::async, [&first] { return AskHunspell(first, ""); });
    auto secondHalf = std::async(std::launch::async, [&second] { return AskHunspell(second, ""); });
    std::vector<int> checks;
    std::vector<std::vector<std::string>> ourSuggestions;
    for (size_t i = 0; i < sample.words.size(); ++i) {
        checks.push_back(Check(sample.words[i]));
        if (!known[i])
            ourSuggestions.push_back(Suggestions());
    }
    auto answers = firstHalf.get();
    for (auto& answer : secondHalf.get())
        answers.push_back(std::move(answer));
    ASSERT_EQ(answers.size(), unknownWords.size());

    int nUnknown = 0;
    for (size_t i = 0; i < sample.words.size(); ++i) {
        const std::string& word = sample.words[i];
        EXPECT_EQ(checks[i], known[i] ? 1 : 0) << word;
        if (known[i])
            continue;
        const size_t n = size_t(nUnknown++);
        ASSERT_EQ(answers[n].size(), 1u) << word;
        const CommandAnswer& answer = answers[n][0];
        EXPECT_FALSE(answer.bKnown) << word;
        std::vector<std::string> expected;
        for (const std::string& suggestion : answer.suggestions) {
            bool bLossless = false;
            const std::string text = platform::Utf8To1252(suggestion, &bLossless);
            if (bLossless && text.size() <= 25 && expected.size() < 12)
                expected.push_back(text);
        }
        EXPECT_EQ(ourSuggestions[n], expected) << word;
    }
    // The sample holds what it means to: misspellings, and names known
    // only through their capital.
    EXPECT_GT(nUnknown, 250);
    EXPECT_GT(nNames, 250);
}

// ---- The personal dictionary ---------------------------------------------------------------------

// ---- The user's language -----------------------------------------------------------------------

// The locale variables as the test found them, given back at its end; they
// start unset.
class LocaleVariables {
public:
    LocaleVariables()
    {
        for (const char* name : kNames) {
            const char* value = getenv(name);
            m_saved.emplace_back(value != nullptr, value != nullptr ? value : "");
            unsetenv(name);
        }
    }
    ~LocaleVariables()
    {
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (m_saved[i].first)
                setenv(kNames[i], m_saved[i].second.c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
        platform::SetSpellDictionaryBase(kEnUs);
    }
    static void Set(const char* name, const char* value)
    {
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<bool, std::string>> m_saved;
};

TEST(SpellDictionaryLocaleTest, TheUsersLanguageChoosesTheDictionaryElseAmericanEnglish)
{
    const std::string folder = MakeTempDir("localedicts");
    for (const char* name : {"en_GB", "de", "en_US"}) {
        WriteFileBytes(folder + "/" + name + ".aff", "SET UTF-8\n");
        WriteFileBytes(folder + "/" + name + ".dic", "1\nword\n");
    }
    // A language with only its .aff is not there.
    WriteFileBytes(folder + "/nl_NL.aff", "SET UTF-8\n");
    LocaleVariables variables;
    const struct {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    } cases[] = {
        {nullptr, nullptr, "en_GB.UTF-8", "en_GB"},
        // The messages' language before LANG, and the language alone when
        // its country has no dictionary.
        {nullptr, "de_AT.UTF-8@euro", "en_GB.UTF-8", "de"},
        {"en_GB", "de_DE", "nl_NL", "en_GB"},
        // Empty variables count as unset.
        {"", "", "nl_NL.UTF-8", "en_US"},
        {nullptr, nullptr, "fr_FR.UTF-8", "en_US"},
        {nullptr, nullptr, "C", "en_US"},
        {nullptr, nullptr, "../../etc/passwd", "en_US"},
        {nullptr, nullptr, nullptr, "en_US"},
    };
    for (const auto& c : cases) {
        LocaleVariables::Set("LC_ALL", c.lcAll);
        LocaleVariables::Set("LC_MESSAGES", c.lcMessages);
        LocaleVariables::Set("LANG", c.lang);
        EXPECT_EQ(platform::SpellDictionaryBaseForLocale(folder), folder + "/" + c.expected)
            << (c.lang != nullptr ? c.lang : "(unset)");
    }
}

TEST_F(HunspellSpellTest, TheSystemDictionaryOfTheUsersLanguageIsUsed)
{
    if (!std::filesystem::exists("/usr/share/hunspell/en_GB.dic"))
        GTEST_SKIP() << "the en_GB dictionary is not installed";
    LocaleVariables variables;
    LocaleVariables::Set("LANG", "en_GB.UTF-8");
    platform::SetSpellDictionaryBase("");
    EXPECT_EQ(Check("colour"), 1);
    EXPECT_EQ(Check("color"), 0);
    // No French dictionary: American English.
    LocaleVariables::Set("LANG", "fr_FR.UTF-8");
    platform::SetSpellDictionaryBase("");
    EXPECT_EQ(Check("color"), 1);
    EXPECT_EQ(Check("colour"), 0);
}

TEST_F(HunspellSpellTest, AddedWordIsKnownToHunspellAndToTheNextRun)
{
    EXPECT_EQ(Check("zorblax"), 0);
    EXPECT_EQ(ToUserDict("zorblax"), 1);
    EXPECT_EQ(Check("zorblax"), 1);
    EXPECT_EQ(Check("Zorblax"), 1);
    EXPECT_EQ(ToUserDict("zorblax"), 1);
    // Either apostrophe finds a word added with the other.
    EXPECT_EQ(ToUserDict("glom\x92pet"), 1);
    EXPECT_EQ(Check("glom\x92pet"), 1);
    EXPECT_EQ(Check("glom'pet"), 1);
    EXPECT_EQ(ToUserDict("vor'pt"), 1);
    EXPECT_EQ(Check("vor\x92pt"), 1);
    const std::string path = platform::UserDictionaryPath();
    EXPECT_EQ(path, platform::DataDir() + "/userdict.dic");
    EXPECT_EQ(ReadFileBytes(path), "zorblax\nglom\xE2\x80\x99pet\nvor'pt\n");

    if (HaveHunspellCommand()) {
        const std::string out = RunCommand("echo '^zorblax' | hunspell -d en_US -i utf-8 -p '" + path + "' -a");
        EXPECT_NE(out.find("\n*"), std::string::npos) << out;
    }

    // A new copy of this program, with the same data folder.
    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const std::string out = RunCommand("TW_SPELL_NEXT_RUN_HOME='" + m_home + "' '" + exe +
        "' --gtest_also_run_disabled_tests --gtest_filter=SpellNextRun.DISABLED_KnowsTheAddedWord 2>&1; echo rc=$?");
    EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << out;
    EXPECT_NE(out.find("rc=0"), std::string::npos) << out;
}

// Run by the test above in a new process.
TEST(SpellNextRun, DISABLED_KnowsTheAddedWord)
{
    const char* pHome = getenv("TW_SPELL_NEXT_RUN_HOME");
    ASSERT_NE(pHome, nullptr);
    setenv("THREADWICK_HOME", pHome, 1);
    platform::ResetUserFolders();
    EXPECT_EQ(SpellDict("zorblax", 7, 1), 1);
    EXPECT_EQ(SpellDict("zorblaxx", 8, 1), 0);
}

TEST_F(HunspellSpellTest, PassesOverLinesThatAreNoWordsAndKeepsThem)
{
    const std::string path = platform::UserDictionaryPath();
    const std::string old = "quexlim\n"
                            "\xC3\x28zz\n"       // not UTF-8
                            "flarbit/bar\n"      // a word with an affix model
                            "*vindrel\n"         // a forbidden word
                            "zindle mop\n"       // two words
                            "mp3\n\n" +
        std::string(150, 'q') +                  // too long
        "\nglompet\r\n"                          // a CR before the LF
        "\xC5\x81odzik\n"                        // not in 1252
        "na\xC3\xAFvet\xC3\xA9z";                // 1252 letters, no line end
    WriteFileBytes(path, old);
    Reload();
    for (const char* pKnown : { "quexlim", "glompet", "na\xEFvet\xE9z" })
        EXPECT_EQ(Check(pKnown), 1) << pKnown;
    for (const char* pUnknown : { "flarbit", "vindrel", "zindle" })
        EXPECT_EQ(Check(pUnknown), 0) << pUnknown;

    EXPECT_EQ(ToUserDict("vorpt"), 1);
    EXPECT_EQ(ReadFileBytes(path), old + "\nvorpt\n");
    EXPECT_EQ(ToUserDict("glompet"), 1);
    EXPECT_EQ(ReadFileBytes(path), old + "\nvorpt\n");
    EXPECT_EQ(ToUserDict("wr\xF6nk"), 1);
    EXPECT_EQ(ReadFileBytes(path), old + "\nvorpt\nwr\xC3\xB6nk\n");
}

TEST_F(HunspellSpellTest, MakesTheFolderAndRefusesWhatItCannotKeep)
{
    const std::string path = platform::UserDictionaryPath();
    std::filesystem::remove_all(platform::DataDir());
    for (const char* pNoWord : { "", "two words", "mp3", "'", "\xC5" "-x" })
        EXPECT_EQ(ToUserDict(pNoWord), 0) << pNoWord;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ToUserDict("vorpt"), 1);
    EXPECT_EQ(ReadFileBytes(path), "vorpt\n");

    // A file too large to read whole is never rewritten from its part.
    std::string huge;
    while (huge.size() <= platform::kUserDictionaryMaxBytes)
        huge += "glompet\n";
    WriteFileBytes(path, huge);
    EXPECT_EQ(ToUserDict("zorblax"), 0);
    EXPECT_EQ(Check("zorblax"), 1);
    EXPECT_EQ(ReadFileBytes(path).size(), huge.size());
}

} // namespace
