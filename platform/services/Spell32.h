#pragma once
// The spelling library the spelling check calls: five operations on words
// of Windows-1252 text, answered by Hunspell with the system's en_US
// dictionary and a personal dictionary of the user's.
//
// A word is a run of letters, digits and inner apostrophes (' and the 1252
// right quote 0x92); a run holding a digit, or no letter, is not a word.
// A word is known when the dictionary knows it as given, with its first
// letter capitalised, or in capitals, so that a lower-cased "london" is
// known. Words the user adds are known at once and kept in the personal
// dictionary, a file of one UTF-8 word a line in the user's data folder.
//
// The operations run on one engine for the whole program; the tests put
// in a scripted one with SetSpellEngine.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The result record StLoadResult fills: a 32-bit count of suggestions at
// byte 30 and, from byte 34, the suggestions as NUL-terminated strings in
// slots of 26 bytes (at most 25 characters each), room for 12.
inline constexpr int kSpellResultSize = 348;
inline constexpr int kSpellResultCountOffset = 30;
inline constexpr int kSpellResultFirstSlot = 34;
inline constexpr int kSpellResultSlotSize = 26;
inline constexpr int kSpellResultMaxSlots = 12;

// The next word of the text (nLength characters of 1252): on entry *pnEnd
// holds the position after the previous word (0 at the start of a text); a
// word found is copied NUL-terminated into lpszWord (room for nLength + 1)
// and delimited by *pnStart and *pnEnd (one past its last character).
// Greater than 0 when a word was found, 0 when the text holds no more (both
// positions are then nLength). An end outside the text is taken as its
// nearer edge; nothing past nLength is read.
int StParseLine(const char* lpszText, char* lpszWord, int* pnStart, int* pnEnd, int nLength);

// 1 when the word (nLength characters of 1252) is known, 0 when it is
// not, -1 when no dictionary can be loaded. nFlag is 1 while checking and
// 0 when the user's own replacement is confirmed; only a word reported
// unknown while checking has suggestions for StLoadResult.
int SpellDict(const char* lpszWord, int nLength, short nFlag);

// Fills the record (kSpellResultSize bytes) with the suggestions for the
// word SpellDict last reported unknown, best first; a count of 0 when
// there are none.
void StLoadResult(unsigned char* pResult);

// Adds the word to the personal dictionary: known from now on and kept
// for later runs. The result is 1 when the word is kept in the file (it may
// have been there already); 0 for text that is not one word, and when the
// file cannot be written, the word then being known for this run only.
int ToUserDict(const char* lpszWord);

// Ends a check run (both arguments 0): the words that run was told about
// are forgotten; the personal dictionary stays.
int StResetUserDict(int nReserved1, int nReserved2);

namespace platform {

// What the operations above run on, words in Windows-1252.
class SpellEngine {
public:
    virtual ~SpellEngine() = default;
    // SpellDict's answer for the word; bChecking is its flag.
    virtual int Check(std::string_view word, bool bChecking) = 0;
    // The suggestions for the word last reported unknown, best first.
    virtual std::vector<std::string> Suggestions() = 0;
    // ToUserDict's work: TRUE when the word was kept.
    virtual bool AddToUserDictionary(std::string_view word) = 0;
    // StResetUserDict's work.
    virtual void EndRun() = 0;
};

// Puts an engine in place of Hunspell's (not owned); nullptr gives
// Hunspell's back.
void SetSpellEngine(SpellEngine* pEngine);

// The personal dictionary's host path: DataDir()/"userdict.dic".
std::string UserDictionaryPath();

// Where the Hunspell engine looks for its dictionary: the path of the .aff
// and .dic files without extension ("/usr/share/hunspell/en_US"); empty
// for the dictionary of the user's language, which is where it starts. The
// tests point it elsewhere; the engine loads again at its next call.
void SetSpellDictionaryBase(const std::string& hostPathWithoutExtension);

// The dictionary of the user's language in folder: the language and
// country that LC_ALL, else LC_MESSAGES, else LANG names ("en_GB.UTF-8"
// gives en_GB), else the language alone, when such a dictionary is there;
// else American English.
std::string SpellDictionaryBaseForLocale(const std::string& folder);

} // namespace platform
