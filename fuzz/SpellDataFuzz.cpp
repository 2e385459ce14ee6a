// Feeds the same bytes to the three readers of outside data of the spelling
// check and of search and replace:
//
// 1. the personal dictionary as read when the engine loads: written as the
//    user's userdict.dic, read directly and then through a reload of the
//    engine, whose words must all be words and must survive an added one;
// 2. 1252 text: StParseLine to its end, each word checked with SpellDict
//    and the first few unknown ones' suggestions read with StLoadResult;
//    every word must lie inside the text and be a word by the rules, and the
//    result record must hold at most twelve terminated suggestions;
// 3. the Replace dialog's two lists of recent strings, read from a profile
//    made of the bytes: split at line feeds into the "MRU List" value and
//    the entries "0".."9" of "FindWhatMRU" and then of "ReplaceWithMRU" (a
//    part starting with 0x04 is stored as a REG_DWORD of the rest, an empty
//    part is left out); at most ten names, each a digit, each once.
//
// The engine loads a dictionary of the run's own (en_US's rules with its
// first few thousand words), small enough to load again for every input.

#include "platform/base/CharClass.h"
#include "platform/files/UserFolders.h"
#include "platform/framework/Afx.h"
#include "platform/profile/Registry.h"
#include "platform/services/Spell32.h"
#include "platform/services/internal/UserDictionary.h"
#include "text/dialogs/ReplaceTextDlg.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kMaxCheckedWords = 200;
constexpr int kMaxSuggestedWords = 4;

[[noreturn]] void Fail(const char* problem)
{
    std::fprintf(stderr, "SpellDataFuzz: %s\n", problem);
    abort();
}

class SpellFuzzApp : public CWinApp {
public:
    SpellFuzzApp()
        : CWinApp("SpellDataFuzz")
    {
        SetRegistryKey("Threadwick");
    }
    BOOL InitInstance() override { return TRUE; }
};

std::unique_ptr<SpellFuzzApp> g_pApp;
std::string g_dictionaryBase;

void WriteFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// en_US's affix rules with its first words, or a small dictionary of our
// own when en_US is not installed.
void MakeDictionary(const std::string& folder)
{
    g_dictionaryBase = folder + "/fuzz_en";
    std::ifstream aff("/usr/share/hunspell/en_US.aff", std::ios::binary);
    std::ifstream dic("/usr/share/hunspell/en_US.dic", std::ios::binary);
    if (!aff || !dic) {
        WriteFile(g_dictionaryBase + ".aff", "SET UTF-8\nTRY esianrtolcdugmfphbyvkw\nICONV 1\nICONV \xE2\x80\x99 '\n");
        WriteFile(g_dictionaryBase + ".dic", "6\nthe\ncat\nsat\ndon't\nLondon\ncaf\xC3\xA9\n");
        return;
    }
    std::filesystem::copy_file("/usr/share/hunspell/en_US.aff", g_dictionaryBase + ".aff",
        std::filesystem::copy_options::overwrite_existing);
    std::string line;
    std::getline(dic, line);
    std::vector<std::string> entries;
    while (entries.size() < 3000 && std::getline(dic, line))
        entries.push_back(line);
    std::string text = std::to_string(entries.size()) + "\n";
    for (const std::string& entry : entries)
        text += entry + "\n";
    WriteFile(g_dictionaryBase + ".dic", text);
}

void CheckUserDictionary(std::string_view bytes)
{
    const std::vector<std::string> words = platform::UserDictionaryWords(bytes);
    if (words.size() > platform::kUserDictionaryMaxWords)
        Fail("too many words");
    for (const std::string& word : words) {
        if (!platform::IsSpellWord(word))
            Fail("a line that is no word was taken");
    }
    // A word added keeps every word the file had and is read back.
    if (words.size() < platform::kUserDictionaryMaxWords) {
        const std::vector<std::string> after = platform::UserDictionaryWords(
            platform::UserDictionaryWithWord(bytes, "zorblax"));
        bool bFound = false;
        for (const std::string& word : after)
            bFound = bFound || word == "zorblax";
        if (!bFound || after.size() < words.size() || !std::equal(words.begin(), words.end(), after.begin()))
            Fail("the added word changed the words before it");
    }

    WriteFile(platform::UserDictionaryPath(), bytes);
    platform::SetSpellDictionaryBase(g_dictionaryBase);
    // A few words show the load; all of them would cost time.
    for (size_t i = 0; i < words.size() && i < 16; ++i) {
        if (SpellDict(words[i].data(), int(words[i].size()), 0) != 1)
            Fail("a word of the personal dictionary is not known");
    }
}

void CheckText(std::string_view text)
{
    const int nLength = int(std::min<size_t>(text.size(), 1 << 20));
    // A buffer of exactly the text's length, so that a read past it is seen.
    std::vector<char> owned(text.begin(), text.begin() + nLength);
    std::vector<char> word(size_t(nLength) + 1);
    int nStart = 0;
    int nEnd = 0;
    int nPreviousEnd = 0;
    int nChecked = 0;
    int nSuggested = 0;
    unsigned char record[kSpellResultSize];
    while (StParseLine(owned.data(), word.data(), &nStart, &nEnd, nLength) > 0) {
        if (nStart < nPreviousEnd || nEnd <= nStart || nEnd > nLength)
            Fail("a word outside the text or behind the previous one");
        nPreviousEnd = nEnd;
        const std::string_view found(word.data(), size_t(nEnd - nStart));
        if (std::strlen(word.data()) != found.size() || found != std::string_view(owned.data() + nStart, found.size()))
            Fail("the word is not the text's");
        if (found.size() <= platform::kSpellWordMaxBytes && !platform::IsSpellWord(found))
            Fail("a word that is no word by the rules");
        if (nChecked++ >= kMaxCheckedWords)
            continue;
        CharLowerBuff(word.data(), DWORD(found.size()));
        const int nKnown = SpellDict(word.data(), int(found.size()), 1);
        if (nKnown < 0 || nKnown > 1)
            Fail("an answer other than known or unknown");
        if (nKnown == 0 && nSuggested++ < kMaxSuggestedWords) {
            StLoadResult(record);
            uint32_t nCount = 0;
            std::memcpy(&nCount, record + kSpellResultCountOffset, sizeof nCount);
            if (nCount > uint32_t(kSpellResultMaxSlots))
                Fail("more suggestions than slots");
            for (uint32_t i = 0; i < nCount; ++i) {
                const unsigned char* pSlot = record + kSpellResultFirstSlot + i * kSpellResultSlotSize;
                if (pSlot[kSpellResultSlotSize - 1] != 0 || pSlot[0] == 0)
                    Fail("an empty or unterminated suggestion");
            }
        }
    }
    StResetUserDict(0, 0);
}

void CheckMruLists(std::string_view bytes)
{
    platform::ResetRegistryForTests();
    static const char* const kSections[] = { "FindWhatMRU", "ReplaceWithMRU" };
    static const char* const kNames[] = { "MRU List", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9" };
    size_t pos = 0;
    for (const char* pSection : kSections) {
        HKEY hKey = NULL;
        const std::string path = std::string("Software\\Threadwick\\SpellDataFuzz\\") + pSection;
        if (RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) !=
            ERROR_SUCCESS)
            Fail("no profile key");
        for (const char* pName : kNames) {
            if (pos > bytes.size())
                break;
            size_t end = bytes.find('\n', pos);
            if (end == std::string_view::npos)
                end = bytes.size();
            std::string_view part = bytes.substr(pos, end - pos);
            pos = end + 1;
            if (part.empty())
                continue;
            DWORD dwType = REG_SZ;
            if (part[0] == '\x04') {
                dwType = REG_DWORD;
                part.remove_prefix(1);
            }
            RegSetValueEx(hKey, pName, 0, dwType, reinterpret_cast<const BYTE*>(part.data()), DWORD(part.size()));
        }
        RegCloseKey(hKey);
    }
    for (const char* pSection : kSections) {
        CStringArray names;
        CStringArray strings;
        CReplaceTextDlg::ReadMruList(pSection, names, strings);
        if (names.GetSize() != strings.GetSize() || names.GetSize() > 10)
            Fail("the list's names and strings differ in number, or there are too many");
        bool bSeen[10] = {};
        for (INT_PTR i = 0; i < names.GetSize(); ++i) {
            const CString& name = names[i];
            if (name.GetLength() != 1 || name[0] < '0' || name[0] > '9' || bSeen[name[0] - '0'])
                Fail("a name that is not a new digit");
            bSeen[name[0] - '0'] = true;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string home = std::filesystem::temp_directory_path().string() + "/tw-SpellDataFuzz-" +
        std::to_string(getpid());
    std::filesystem::create_directories(home);
    setenv("THREADWICK_HOME", home.c_str(), 1);
    platform::ResetUserFolders();
    std::filesystem::create_directories(platform::DataDir());
    MakeDictionary(home);
    g_pApp = std::make_unique<SpellFuzzApp>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckUserDictionary(bytes);
    CheckText(bytes);
    CheckMruLists(bytes);
    return 0;
}
