#pragma once
// The personal dictionary's file: one UTF-8 word a line, the form Hunspell
// takes as a personal dictionary. The file is the user's and may have been
// edited by hand or damaged, so it is read with bounds and only its lines
// that are words of our own rule are used; the others are left in it as
// they are, since a new word is written as the old bytes plus one line.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Longer words are not handed to the dictionary: no language has them, and
// the dictionary's suggestion search grows with the word.
inline constexpr size_t kSpellWordMaxBytes = 100;
// A personal dictionary beyond this is read only up to it, and never
// rewritten.
inline constexpr size_t kUserDictionaryMaxBytes = size_t(4) << 20;
inline constexpr size_t kUserDictionaryMaxWords = 100000;

// True when the 1252 text is exactly one word as StParseLine finds them and
// no longer than kSpellWordMaxBytes.
bool IsSpellWord(std::string_view word);

// The words of a personal dictionary's bytes, in 1252, each once, in file
// order: lines (a CR before the LF is allowed) that are well-formed UTF-8,
// hold only characters of 1252 and are one word. At most
// kUserDictionaryMaxWords.
std::vector<std::string> UserDictionaryWords(std::string_view bytes);

// The file's new bytes with the word (1252) added: the old bytes, a line end
// when they do not end with one, the word in UTF-8 and a line end.
std::string UserDictionaryWithWord(std::string_view oldBytes, std::string_view word);

enum class UserDictionaryRead {
    Read,      // the whole file is in bytes
    Missing,   // there is no file; bytes is empty
    Truncated, // larger than kUserDictionaryMaxBytes: bytes holds its complete lines up to that
    Failed,    // not a regular file, or it could not be read; bytes is empty
};
UserDictionaryRead ReadUserDictionaryFile(const std::string& hostPath, std::string& bytes);

} // namespace platform
