// The spelling check's walk over a text without its dialog, against Hunspell
// called directly on the same words in the same run:
//
// - "BM_CheckText": a text of 10,000 words in 1252 (5 % of them misspelled)
//   walked as the spelling check walks it: StParseLine from word to word,
//   each word lower-cased and given to SpellDict, and StLoadResult for each
//   unknown one; "x_hunspell" divides by Hunspell's spell() on the same
//   lower-cased words (in UTF-8, made beforehand) and suggest() on those it
//   does not know (target 1.5).
//
// The words come from the en_US dictionary the program uses; the personal
// dictionary is an empty one of the bench's own.
// Run from a Release build: bin/SpellBench

#include "bench/BenchSupport.h"
#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/files/UserFolders.h"
#include "platform/services/Spell32.h"

#include <benchmark/benchmark.h>
#include <hunspell.hxx>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kDictionaryBase = "/usr/share/hunspell/en_US";
constexpr int kWords = 10000;
constexpr int kMisspelledPercent = 5;
using Clock = std::chrono::steady_clock;

// The dictionary's plain lower-case words, affix flags cut off.
std::vector<std::string> DictionaryWords()
{
    std::vector<std::string> words;
    std::ifstream in(std::string(kDictionaryBase) + ".dic", std::ios::binary);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        line = line.substr(0, line.find_first_of("/\t \r"));
        if (line.size() >= 2 && std::all_of(line.begin(), line.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; }))
            words.push_back(line);
    }
    return words;
}

// Sentences of dictionary words with capitals, commas and full stops; every
// twentieth word has two letters swapped or one dropped. The same text on
// every run.
std::string MakeText()
{
    const std::vector<std::string> words = DictionaryWords();
    std::string text;
    if (words.empty())
        return text;
    uint32_t seed = 424242;
    auto next = [&seed](size_t n) {
        seed = seed * 1664525u + 1013904223u;
        return size_t(seed >> 8) % n;
    };
    bool bSentenceStart = true;
    for (int i = 0; i < kWords; ++i) {
        std::string word = words[next(words.size())];
        if (i % (100 / kMisspelledPercent) == 7) {
            const size_t at = next(word.size() - 1);
            if (i % 2)
                std::swap(word[at], word[at + 1]);
            else
                word.erase(at, 1);
        }
        if (bSentenceStart)
            word[0] = char(platform::ToUpper1252(static_cast<unsigned char>(word[0])));
        text += word;
        const size_t mark = next(12);
        bSentenceStart = mark == 0;
        text += mark == 0 ? ". " : mark == 1 ? ", " : " ";
    }
    return text;
}

// The text's words as the walk hands them over, lower-cased, in UTF-8.
std::vector<std::string> LowerCasedWords(const std::string& text)
{
    std::vector<std::string> words;
    std::vector<char> word(text.size() + 1);
    int nStart = 0;
    int nEnd = 0;
    while (StParseLine(text.data(), word.data(), &nStart, &nEnd, int(text.size())) > 0) {
        CharLowerBuff(word.data(), DWORD(nEnd - nStart));
        words.push_back(platform::Utf8From1252(std::string_view(word.data(), size_t(nEnd - nStart))));
    }
    return words;
}

struct WalkCounts {
    int nWords = 0;
    int nUnknown = 0;
    int nSuggestions = 0;
};

WalkCounts CheckText(const std::string& text)
{
    WalkCounts counts;
    std::vector<char> word(text.size() + 1);
    unsigned char record[kSpellResultSize];
    int nStart = 0;
    int nEnd = 0;
    while (StParseLine(text.data(), word.data(), &nStart, &nEnd, int(text.size())) > 0) {
        const int nLength = nEnd - nStart;
        CharLowerBuff(word.data(), DWORD(nLength));
        ++counts.nWords;
        if (SpellDict(word.data(), nLength, 1) == 0) {
            ++counts.nUnknown;
            StLoadResult(record);
            counts.nSuggestions += record[kSpellResultCountOffset];
        }
    }
    StResetUserDict(0, 0);
    return counts;
}

void BM_CheckText(benchmark::State& state)
{
    const std::string aff = std::string(kDictionaryBase) + ".aff";
    const std::string dic = std::string(kDictionaryBase) + ".dic";
    const std::string text = MakeText();
    if (text.empty() || !std::filesystem::exists(aff)) {
        state.SkipWithError("the en_US dictionary is not installed");
        return;
    }
    // Loaded before the clock starts, as it is at the program's first check.
    if (SpellDict("the", 3, 1) != 1) {
        state.SkipWithError("the spelling engine has no dictionary");
        return;
    }

    const std::vector<std::string> words = LowerCasedWords(text);
    Hunspell hunspell(aff.c_str(), dic.c_str());
    const double baseline = bench::BestSeconds(
        [&] {
            size_t nSuggestions = 0;
            for (const std::string& word : words) {
                if (!hunspell.spell(word))
                    nSuggestions += hunspell.suggest(word).size();
            }
            return nSuggestions;
        },
        2);

    double total = 0;
    WalkCounts counts;
    for (auto _ : state) {
        const auto start = Clock::now();
        counts = CheckText(text);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        total += elapsed.count();
        state.SetIterationTime(elapsed.count());
    }
    const double perIteration = total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_hunspell"] = perIteration / baseline;
    state.counters["hunspell_ms"] = baseline * 1000;
    state.counters["words"] = counts.nWords;
    state.counters["unknown"] = counts.nUnknown;
    state.counters["suggestions"] = counts.nSuggestions;
}
BENCHMARK(BM_CheckText)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    // The user's own personal dictionary stays out of the figures.
    std::string home = (std::filesystem::temp_directory_path() / "twspellbench-XXXXXX").string();
    if (mkdtemp(home.data()) != nullptr) {
        setenv("THREADWICK_HOME", home.c_str(), 1);
        platform::ResetUserFolders();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    std::filesystem::remove_all(home, error);
    return 0;
}
