// The spelling operations' own engine: Hunspell with the system's
// dictionary of the user's language (en_US when there is none) and the
// user's personal dictionary. Words arrive in 1252 and go to the
// dictionary's encoding.

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/SafeReplace.h"
#include "platform/files/UserFolders.h"
#include "platform/services/Spell32.h"
#include "platform/services/internal/SpellEngines.h"
#include "platform/services/internal/UserDictionary.h"

#include <hunspell.hxx>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace platform {

namespace {

constexpr const char* kDictionaryFolder = "/usr/share/hunspell";
constexpr const char* kFallbackDictionary = "en_US";

bool IsReadableFile(const std::string& hostPath)
{
    struct stat st;
    return stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(hostPath.c_str(), R_OK) == 0;
}

bool IsUtf8Name(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
    return name == "utf-8" || name == "utf8";
}

// Hunspell's names of its single-byte encodings are iconv's, but for the
// Windows code pages.
std::string IconvName(const std::string& dictionaryEncoding)
{
    static constexpr std::string_view kMicrosoft = "microsoft-cp";
    if (dictionaryEncoding.compare(0, kMicrosoft.size(), kMicrosoft) == 0)
        return "CP" + dictionaryEncoding.substr(kMicrosoft.size());
    return dictionaryEncoding;
}

// A conversion of a single-byte dictionary's text to and from UTF-8.
class Converter {
public:
    Converter() = default;
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() { Close(); }

    bool Open(const std::string& to, const std::string& from)
    {
        Close();
        m_cd = iconv_open(to.c_str(), from.c_str());
        return m_cd != Invalid();
    }
    // False when a character has no form in the target encoding or the
    // input is not valid in its own.
    bool Convert(std::string_view in, std::string& out) const
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.assign(in.size() * 4 + 8, '\0');
        char* pIn = const_cast<char*>(in.data());
        size_t nInLeft = in.size();
        char* pOut = out.data();
        size_t nOutLeft = out.size();
        if (iconv(m_cd, &pIn, &nInLeft, &pOut, &nOutLeft) == size_t(-1) ||
            iconv(m_cd, nullptr, nullptr, &pOut, &nOutLeft) == size_t(-1))
            return false;
        out.resize(out.size() - nOutLeft);
        return true;
    }

private:
    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }
    void Close()
    {
        if (m_cd != Invalid())
            iconv_close(m_cd);
        m_cd = Invalid();
    }
    iconv_t m_cd = Invalid();
};

class HunspellEngine final : public SpellEngine {
public:
    int Check(std::string_view word, bool bChecking) override
    {
        std::lock_guard lock(m_mutex);
        if (!EnsureLoaded())
            return -1;
        const bool bKnown = word.size() <= kSpellWordMaxBytes && !word.empty() && KnowsInAnyCase(word);
        // A typed replacement being confirmed is not the word the user is
        // being asked about; its suggestions stay.
        if (!bKnown && bChecking) {
            m_lastUnknown.assign(word);
            m_bHaveUnknown = true;
            m_bSuggested = false;
            m_suggestions.clear();
        }
        return bKnown ? 1 : 0;
    }

    std::vector<std::string> Suggestions() override
    {
        std::lock_guard lock(m_mutex);
        if (!m_bHaveUnknown)
            return {};
        if (!m_bSuggested && EnsureLoaded()) {
            m_bSuggested = true;
            m_suggestions.clear();
            std::string encoded;
            if (!m_lastUnknown.empty() && m_lastUnknown.size() <= kSpellWordMaxBytes &&
                ToDictionary(m_lastUnknown, encoded)) {
                for (const std::string& suggestion : m_pHunspell->suggest(encoded)) {
                    std::string text;
                    if (FromDictionary(suggestion, text))
                        m_suggestions.push_back(std::move(text));
                }
            }
        }
        return m_suggestions;
    }

    bool AddToUserDictionary(std::string_view word) override
    {
        std::lock_guard lock(m_mutex);
        if (!IsSpellWord(word))
            return false;
        // Known for this run even when the file cannot take it.
        if (EnsureLoaded())
            AddForTheRun(word);

        const std::string path = UserDictionaryPath();
        std::string oldBytes;
        switch (ReadUserDictionaryFile(path, oldBytes)) {
        case UserDictionaryRead::Read:
        case UserDictionaryRead::Missing:
            break;
        case UserDictionaryRead::Truncated:
        case UserDictionaryRead::Failed:
            // Writing what could be read would lose the rest of the file.
            return false;
        }
        const std::vector<std::string> kept = UserDictionaryWords(oldBytes);
        if (std::find(kept.begin(), kept.end(), word) != kept.end())
            return true;
        if (!MakeHostFolders(HostParent(path), 0700))
            return false;
        int nError = 0;
        return ReplaceFileContents(path, UserDictionaryWithWord(oldBytes, word), KeepBackup::No, &nError);
    }

    void EndRun() override
    {
        std::lock_guard lock(m_mutex);
        m_bHaveUnknown = false;
        m_bSuggested = false;
        m_lastUnknown.clear();
        m_suggestions.clear();
    }

    void SetDictionaryBase(const std::string& base)
    {
        std::lock_guard lock(m_mutex);
        m_base = base;
        m_bStale = true;
    }

private:
    // Loads the dictionary when it is not loaded yet or was moved; a failed
    // load is tried again at the next call, so a dictionary installed while
    // the program runs is found.
    bool EnsureLoaded()
    {
        if (m_pHunspell && !m_bStale)
            return true;
        m_bStale = false;
        m_pHunspell.reset();
        m_bSuggested = false;
        // The user's language is looked for at each load, so that a
        // dictionary installed while the program runs is taken.
        const std::string base = m_base.empty() ? SpellDictionaryBaseForLocale(kDictionaryFolder) : m_base;
        const std::string aff = base + ".aff";
        const std::string dic = base + ".dic";
        if (!IsReadableFile(aff) || !IsReadableFile(dic))
            return false;
        auto pHunspell = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
        const std::string& encoding = pHunspell->get_dict_encoding();
        m_bUtf8 = IsUtf8Name(encoding);
        if (!m_bUtf8 &&
            (!m_toDictionary.Open(IconvName(encoding), "UTF-8") || !m_fromDictionary.Open("UTF-8", IconvName(encoding))))
            return false;
        m_pHunspell = std::move(pHunspell);

        std::string bytes;
        ReadUserDictionaryFile(UserDictionaryPath(), bytes);
        for (const std::string& word : UserDictionaryWords(bytes))
            AddForTheRun(word);
        return true;
    }

    // Dictionaries map the typographic apostrophe of a checked word to the
    // plain one (en_US does), but not the words added at run time: a word
    // kept with 0x92 is added with ' as well, so that either finds it.
    void AddForTheRun(std::string_view word)
    {
        std::string encoded;
        if (ToDictionary(word, encoded))
            m_pHunspell->add(encoded);
        if (word.find('\x92') == std::string_view::npos)
            return;
        std::string plain(word);
        std::replace(plain.begin(), plain.end(), '\x92', '\'');
        if (ToDictionary(plain, encoded))
            m_pHunspell->add(encoded);
    }

    bool ToDictionary(std::string_view word, std::string& encoded) const
    {
        if (m_bUtf8) {
            encoded = Utf8From1252(word);
            return true;
        }
        return m_toDictionary.Convert(Utf8From1252(word), encoded);
    }

    // Only what 1252 holds exactly comes back: a suggestion with a letter
    // the program cannot show would be changed into something else.
    bool FromDictionary(const std::string& encoded, std::string& word) const
    {
        std::string utf8;
        if (m_bUtf8)
            utf8 = encoded;
        else if (!m_fromDictionary.Convert(encoded, utf8))
            return false;
        if (Utf8WellFormedLength(utf8) != utf8.size())
            return false;
        bool bLossless = false;
        word = Utf8To1252(utf8, &bLossless);
        return bLossless;
    }

    bool Spell(const std::string& word)
    {
        std::string encoded;
        return ToDictionary(word, encoded) && m_pHunspell->spell(encoded);
    }

    // The check is handed lower-cased words, which would make every proper
    // noun unknown ("london"); the forms with a capital first letter and all
    // in capitals count as well.
    bool KnowsInAnyCase(std::string_view word)
    {
        const std::string asGiven(word);
        if (Spell(asGiven))
            return true;
        std::string capitalised = asGiven;
        capitalised[0] = char(ToUpper1252(static_cast<unsigned char>(capitalised[0])));
        if (capitalised != asGiven && Spell(capitalised))
            return true;
        std::string capitals = asGiven;
        for (char& ch : capitals)
            ch = char(ToUpper1252(static_cast<unsigned char>(ch)));
        return capitals != asGiven && capitals != capitalised && Spell(capitals);
    }

    std::mutex m_mutex;
    std::string m_base; // empty: the user's language
    bool m_bStale = true;
    std::unique_ptr<Hunspell> m_pHunspell;
    bool m_bUtf8 = true;
    Converter m_toDictionary;
    Converter m_fromDictionary;
    std::string m_lastUnknown; // 1252
    bool m_bHaveUnknown = false;
    bool m_bSuggested = false;
    std::vector<std::string> m_suggestions; // 1252, Hunspell's order
};

HunspellEngine& Instance()
{
    static HunspellEngine engine;
    return engine;
}

} // namespace

SpellEngine& HunspellSpellEngine()
{
    return Instance();
}

std::string UserDictionaryPath()
{
    return DataDir() + "/userdict.dic";
}

void SetSpellDictionaryBase(const std::string& hostPathWithoutExtension)
{
    Instance().SetDictionaryBase(hostPathWithoutExtension);
}

std::string SpellDictionaryBaseForLocale(const std::string& folder)
{
    // The first of the variables that is set and not empty names the
    // messages' language, as the C library reads them.
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(name);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    // "ll_CC.codeset@modifier": the codeset and modifier do not choose the
    // dictionary. Anything but letters and one underscore names none.
    locale = locale.substr(0, locale.find_first_of(".@"));
    const bool bLetters = !locale.empty() && locale.size() <= 16 &&
        std::all_of(locale.begin(), locale.end(), [](unsigned char ch) { return std::isalpha(ch) || ch == '_'; });
    if (bLetters) {
        const std::string language = locale.substr(0, locale.find('_'));
        for (const std::string& name : {locale, language}) {
            const std::string base = folder + "/" + name;
            if (!name.empty() && IsReadableFile(base + ".aff") && IsReadableFile(base + ".dic"))
                return base;
        }
    }
    return folder + "/" + kFallbackDictionary;
}

} // namespace platform
