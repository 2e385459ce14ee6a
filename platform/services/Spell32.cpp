#include "platform/services/Spell32.h"

#include "platform/base/CharClass.h"
#include "platform/services/internal/SpellEngines.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

std::atomic<platform::SpellEngine*> g_pInstalledEngine{nullptr};

platform::SpellEngine& Engine()
{
    if (platform::SpellEngine* pEngine = g_pInstalledEngine.load())
        return *pEngine;
    return platform::HunspellSpellEngine();
}

bool IsApostrophe(char ch)
{
    return ch == '\'' || static_cast<unsigned char>(ch) == 0x92;
}

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

// A word is typed by hand; nothing longer reaches the engine.
constexpr size_t kAddedWordMaxBytes = 1024;

} // namespace

int StParseLine(const char* lpszText, char* lpszWord, int* pnStart, int* pnEnd, int nLength)
{
    if (lpszWord != nullptr && nLength >= 0)
        lpszWord[0] = '\0';
    if (lpszText == nullptr || pnEnd == nullptr || nLength <= 0)
        return 0;
    int nPos = std::clamp(*pnEnd, 0, nLength);
    while (nPos < nLength) {
        while (nPos < nLength && !IsCharAlphaNumeric(lpszText[nPos]))
            ++nPos;
        if (nPos == nLength)
            break;
        // The run starts at a letter or digit and takes an apostrophe only
        // between two of them, so quotes round a word stay outside it and
        // two apostrophes in a row part two words.
        const int nRunStart = nPos;
        bool bDigit = false;
        while (nPos < nLength) {
            const char ch = lpszText[nPos];
            if (IsCharAlphaNumeric(ch))
                bDigit = bDigit || IsDigit(ch);
            else if (!(IsApostrophe(ch) && nPos + 1 < nLength && IsCharAlphaNumeric(lpszText[nPos + 1])))
                break;
            ++nPos;
        }
        // Numbers, ordinals and codes such as "mp3" are not for the
        // dictionary; a run without a digit always holds a letter.
        if (bDigit)
            continue;
        if (lpszWord != nullptr) {
            std::memcpy(lpszWord, lpszText + nRunStart, size_t(nPos - nRunStart));
            lpszWord[nPos - nRunStart] = '\0';
        }
        if (pnStart != nullptr)
            *pnStart = nRunStart;
        *pnEnd = nPos;
        return nPos - nRunStart;
    }
    if (pnStart != nullptr)
        *pnStart = nLength;
    *pnEnd = nLength;
    return 0;
}

int SpellDict(const char* lpszWord, int nLength, short nFlag)
{
    if (lpszWord == nullptr || nLength < 0)
        return 0;
    const size_t nBytes = strnlen(lpszWord, size_t(nLength));
    return Engine().Check(std::string_view(lpszWord, nBytes), nFlag != 0);
}

void StLoadResult(unsigned char* pResult)
{
    if (pResult == nullptr)
        return;
    std::memset(pResult, 0, kSpellResultSize);
    uint32_t nCount = 0;
    for (const std::string& suggestion : Engine().Suggestions()) {
        if (nCount == kSpellResultMaxSlots)
            break;
        // A slot keeps its terminating zero; a suggestion that does not fit,
        // or that a zero would cut short, is left out rather than cut.
        if (suggestion.empty() || suggestion.size() >= size_t(kSpellResultSlotSize) ||
            suggestion.find('\0') != std::string::npos)
            continue;
        std::memcpy(pResult + kSpellResultFirstSlot + nCount * kSpellResultSlotSize, suggestion.data(),
            suggestion.size());
        ++nCount;
    }
    for (int i = 0; i < 4; ++i)
        pResult[kSpellResultCountOffset + i] = static_cast<unsigned char>(nCount >> (8 * i));
}

int ToUserDict(const char* lpszWord)
{
    if (lpszWord == nullptr)
        return 0;
    const size_t nBytes = strnlen(lpszWord, kAddedWordMaxBytes + 1);
    if (nBytes > kAddedWordMaxBytes)
        return 0;
    return Engine().AddToUserDictionary(std::string_view(lpszWord, nBytes)) ? 1 : 0;
}

int StResetUserDict(int /*nReserved1*/, int /*nReserved2*/)
{
    Engine().EndRun();
    return 1;
}

namespace platform {

void SetSpellEngine(SpellEngine* pEngine)
{
    g_pInstalledEngine.store(pEngine);
}

} // namespace platform
