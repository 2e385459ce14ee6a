// The clear-text encoding of CGM (ISO 8632-4): elements are a keyword and
// its parameters, ended by ';' or '/'. Keywords are read without regard to
// case and to '_' and '$'; parentheses and commas only separate; comments
// sit between '%' signs; strings are quoted with ' or " and double their
// quote inside. Numbers may carry a radix ("16#FF") and an exponent. The
// precision elements say nothing a reader of text needs.

#include "platform/imaging/CgmInternal.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace platform::cgm {

namespace {

// The longest element read, in bytes of text.
constexpr size_t kMaxElementText = 32u << 20;

struct Token {
    enum class Kind { Number, Word, Text } kind;
    double number = 0;
    std::string text; // a word folded to lower case without '_' and '$'
};

std::string FoldWord(std::string_view word)
{
    std::string folded;
    for (char c : word) {
        if (c == '_' || c == '$')
            continue;
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

struct KeywordEntry {
    const char* word;
    int elementClass;
    int elementId;
};

// Class -1 marks keywords that bracket other elements and mean nothing by
// themselves.
constexpr KeywordEntry kKeywords[] = {
    {"begmf", 0, 1}, {"endmf", 0, 2}, {"begpic", 0, 3}, {"begpicbody", 0, 4}, {"endpic", 0, 5},
    {"begseg", 0, 6}, {"endseg", 0, 7}, {"begfigure", 0, 8}, {"endfigure", 0, 9},
    {"begprotregion", 0, 13}, {"endprotregion", 0, 14}, {"begcompoline", 0, 15}, {"endcompoline", 0, 16},
    {"begcomptextpath", 0, 17}, {"endcomptextpath", 0, 18}, {"begtilearray", 0, 19}, {"endtilearray", 0, 20},
    {"begaps", 0, 21}, {"begapsbody", 0, 22}, {"endaps", 0, 23},
    {"mfversion", 1, 1}, {"mfdesc", 1, 2}, {"vdctype", 1, 3}, {"integerprec", 1, 4}, {"realprec", 1, 5},
    {"indexprec", 1, 6}, {"colrprec", 1, 7}, {"colrindexprec", 1, 8}, {"maxcolrindex", 1, 9},
    {"colrvalueext", 1, 10}, {"mfelemlist", 1, 11}, {"begmfdefaults", -1, 0}, {"endmfdefaults", -1, 0},
    {"fontlist", 1, 13}, {"charsetlist", 1, 14}, {"charcoding", 1, 15},
    {"scalemode", 2, 1}, {"colrmode", 2, 2}, {"linewidthmode", 2, 3}, {"markersizemode", 2, 4},
    {"edgewidthmode", 2, 5}, {"vdcext", 2, 6}, {"backcolr", 2, 7},
    {"vdcintegerprec", 3, 1}, {"vdcrealprec", 3, 2}, {"auxcolr", 3, 3}, {"transparency", 3, 4},
    {"cliprect", 3, 5}, {"clip", 3, 6},
    {"line", 4, 1}, {"disjtline", 4, 2}, {"marker", 4, 3}, {"text", 4, 4}, {"restrtext", 4, 5},
    {"apndtext", 4, 6}, {"polygon", 4, 7}, {"polygonset", 4, 8}, {"cellarray", 4, 9}, {"gdp", 4, 10},
    {"rect", 4, 11}, {"circle", 4, 12}, {"arc3pt", 4, 13}, {"arc3ptclose", 4, 14}, {"arcctr", 4, 15},
    {"arcctrclose", 4, 16}, {"ellipse", 4, 17}, {"elliparc", 4, 18}, {"elliparcclose", 4, 19},
    {"arcctrrev", 4, 20}, {"polybezier", 4, 26},
    {"lineindex", 5, 1}, {"linetype", 5, 2}, {"linewidth", 5, 3}, {"linecolr", 5, 4}, {"markerindex", 5, 5},
    {"markertype", 5, 6}, {"markersize", 5, 7}, {"markercolr", 5, 8}, {"textindex", 5, 9},
    {"textfontindex", 5, 10}, {"textprec", 5, 11}, {"charexpan", 5, 12}, {"charspace", 5, 13},
    {"textcolr", 5, 14}, {"charheight", 5, 15}, {"charori", 5, 16}, {"textpath", 5, 17},
    {"textalign", 5, 18}, {"charsetindex", 5, 19}, {"altcharsetindex", 5, 20}, {"fillindex", 5, 21},
    {"intstyle", 5, 22}, {"fillcolr", 5, 23}, {"hatchindex", 5, 24}, {"patindex", 5, 25},
    {"edgeindex", 5, 26}, {"edgetype", 5, 27}, {"edgewidth", 5, 28}, {"edgecolr", 5, 29}, {"edgevis", 5, 30},
    {"fillrefpt", 5, 31}, {"pattable", 5, 32}, {"patsize", 5, 33}, {"colrtable", 5, 34}, {"asf", 5, 35},
};

class TextParams final : public ParamReader {
public:
    explicit TextParams(std::vector<Token>& tokens)
        : m_tokens(tokens)
    {
    }

    bool IsBinary() const override { return false; }
    bool AtEnd() override { return m_next >= m_tokens.size(); }
    bool Integer(int64_t& value) override
    {
        double number = 0;
        if (!Number(number) || std::fabs(number) > 9.0e15)
            return false;
        value = static_cast<int64_t>(std::llround(number));
        return true;
    }
    bool Index(int64_t& value) override { return Integer(value); }
    bool Enum(int& value, std::initializer_list<std::string_view> names) override
    {
        if (AtEnd())
            return false;
        const Token& token = m_tokens[m_next];
        if (token.kind == Token::Kind::Number) {
            int64_t raw = 0;
            if (!Integer(raw) || raw < -32768 || raw > 32767)
                return false;
            value = static_cast<int>(raw);
            return true;
        }
        if (token.kind != Token::Kind::Word)
            return false;
        int i = 0;
        for (std::string_view name : names) {
            if (Spells(name, token.text)) {
                value = i;
                ++m_next;
                return true;
            }
            ++i;
        }
        return false;
    }
    bool Real(double& value) override { return Number(value); }
    bool FloatingReal(double& value) override { return Number(value); }
    bool Vdc(double& value) override { return Number(value); }
    bool ColourIndex(int64_t& value) override { return Integer(value); }
    bool DirectColour(double rgb[3]) override { return Number(rgb[0]) && Number(rgb[1]) && Number(rgb[2]); }
    bool String(std::string& value) override
    {
        if (AtEnd() || m_tokens[m_next].kind != Token::Kind::Text)
            return false;
        value = std::move(m_tokens[m_next++].text);
        return true;
    }
    bool CellColours(int64_t nx, int64_t ny, int64_t, bool direct, std::vector<uint32_t>& values) override
    {
        if (nx <= 0 || ny <= 0 || nx * ny > kMaxCells)
            return false;
        const size_t count = static_cast<size_t>(nx * ny * (direct ? 3 : 1));
        if (count > m_tokens.size() - m_next)
            return false;
        values.clear();
        values.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            double number = 0;
            if (!Number(number) || number < 0 || number > 4294967295.0)
                return false;
            values.push_back(static_cast<uint32_t>(number));
        }
        return true;
    }
    bool Nested(Interpreter&) override { return false; }

private:
    // Whether the word is one of the '|'-separated spellings of a value.
    static bool Spells(std::string_view spellings, std::string_view word)
    {
        while (!spellings.empty()) {
            const size_t bar = spellings.find('|');
            if (spellings.substr(0, bar) == word)
                return true;
            if (bar == std::string_view::npos)
                break;
            spellings.remove_prefix(bar + 1);
        }
        return false;
    }

    bool Number(double& value)
    {
        if (AtEnd() || m_tokens[m_next].kind != Token::Kind::Number)
            return false;
        value = m_tokens[m_next++].number;
        return true;
    }

    std::vector<Token>& m_tokens;
    size_t m_next = 0;
};

class Scanner {
public:
    Scanner(const BYTE* data, size_t size)
        : m_text(reinterpret_cast<const char*>(data), size)
    {
    }

    // The next element's keyword and parameters; false at the end of the
    // text, with `damaged` set when what is left is not an element.
    bool NextElement(std::string& keyword, std::vector<Token>& tokens, bool& damaged)
    {
        keyword.clear();
        tokens.clear();
        damaged = false;
        SkipSpace();
        if (m_pos >= m_text.size())
            return false;
        const size_t start = m_pos;
        while (m_pos < m_text.size() && IsWordChar(m_text[m_pos]))
            ++m_pos;
        if (m_pos == start) {
            damaged = true;
            return false;
        }
        keyword = FoldWord(m_text.substr(start, m_pos - start));
        const size_t elementStart = start;
        for (;;) {
            if (m_pos - elementStart > kMaxElementText) {
                damaged = true;
                return false;
            }
            SkipSpace();
            if (m_pos >= m_text.size()) {
                // The last element may lack its terminator.
                return true;
            }
            const char c = m_text[m_pos];
            if (c == ';' || c == '/') {
                ++m_pos;
                return true;
            }
            if (c == '(' || c == ')' || c == ',') {
                ++m_pos;
                continue;
            }
            Token token{Token::Kind::Number, 0, {}};
            if (c == '\'' || c == '"') {
                token.kind = Token::Kind::Text;
                if (!QuotedText(token.text)) {
                    damaged = true;
                    return false;
                }
            } else if (c == '+' || c == '-' || c == '.' || std::isdigit(static_cast<unsigned char>(c))) {
                if (!NumberText(token.number)) {
                    damaged = true;
                    return false;
                }
            } else if (IsWordChar(c)) {
                const size_t wordStart = m_pos;
                while (m_pos < m_text.size() && IsWordChar(m_text[m_pos]))
                    ++m_pos;
                token.kind = Token::Kind::Word;
                token.text = FoldWord(m_text.substr(wordStart, m_pos - wordStart));
            } else {
                damaged = true;
                return false;
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    static bool IsWordChar(char c)
    {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
    }
    void SkipSpace()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '%') {
                const size_t end = m_text.find('%', m_pos + 1);
                m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
            } else if (std::isspace(static_cast<unsigned char>(c)) || c == '\0') {
                ++m_pos;
            } else {
                return;
            }
        }
    }
    bool QuotedText(std::string& out)
    {
        const char quote = m_text[m_pos++];
        for (;;) {
            if (m_pos >= m_text.size())
                return false;
            const char c = m_text[m_pos++];
            if (c == quote) {
                if (m_pos < m_text.size() && m_text[m_pos] == quote) {
                    out += quote;
                    ++m_pos;
                    continue;
                }
                return true;
            }
            out += c;
        }
    }
    bool NumberText(double& value)
    {
        const size_t start = m_pos;
        bool negative = false;
        if (m_text[m_pos] == '+' || m_text[m_pos] == '-') {
            negative = m_text[m_pos] == '-';
            ++m_pos;
        }
        size_t digits = m_pos;
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        // An integer with its radix: "16#1F".
        if (m_pos < m_text.size() && m_text[m_pos] == '#' && m_pos > digits && m_pos - digits <= 2) {
            const int radix = std::atoi(std::string(m_text.substr(digits, m_pos - digits)).c_str());
            if (radix < 2 || radix > 16)
                return false;
            ++m_pos;
            double number = 0;
            size_t used = 0;
            while (m_pos < m_text.size() && std::isxdigit(static_cast<unsigned char>(m_text[m_pos]))) {
                const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(m_text[m_pos])));
                const int digit = std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : d - 'a' + 10;
                if (digit >= radix)
                    return false;
                number = number * radix + digit;
                ++m_pos;
                ++used;
            }
            if (used == 0 || !std::isfinite(number))
                return false;
            value = negative ? -number : number;
            return true;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
        }
        if (m_pos == digits || (m_pos == digits + 1 && m_text[digits] == '.'))
            return false;
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            size_t exponent = m_pos + 1;
            if (exponent < m_text.size() && (m_text[exponent] == '+' || m_text[exponent] == '-'))
                ++exponent;
            if (exponent < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[exponent]))) {
                m_pos = exponent;
                while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                    ++m_pos;
            }
        }
        // strtod reads the decimal point of the C locale, which the
        // program never changes.
        const std::string number(m_text.substr(start, m_pos - start));
        char* end = nullptr;
        value = std::strtod(number.c_str(), &end);
        return end != nullptr && *end == '\0' && std::isfinite(value);
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

bool FindKeyword(const std::string& keyword, int& elementClass, int& elementId)
{
    for (const KeywordEntry& entry : kKeywords) {
        if (keyword == entry.word) {
            elementClass = entry.elementClass;
            elementId = entry.elementId;
            return true;
        }
    }
    return false;
}

} // namespace

bool LooksClearText(const BYTE* data, size_t size)
{
    Scanner scanner(data, std::min<size_t>(size, 4096));
    std::string keyword;
    std::vector<Token> tokens;
    bool damaged = false;
    scanner.NextElement(keyword, tokens, damaged);
    return keyword == "begmf";
}

bool ReadClearText(const BYTE* data, size_t size, Interpreter& interpreter)
{
    Scanner scanner(data, size);
    std::string keyword;
    std::vector<Token> tokens;
    bool damaged = false;
    while (!interpreter.IsDone() && scanner.NextElement(keyword, tokens, damaged)) {
        int elementClass = 0;
        int elementId = 0;
        // Keywords we have no use for are passed over, as unknown binary
        // elements are.
        if (!FindKeyword(keyword, elementClass, elementId) || elementClass < 0)
            continue;
        TextParams reader(tokens);
        if (!interpreter.Element(elementClass, elementId, reader))
            return false;
    }
    return !damaged || interpreter.IsDone();
}

} // namespace platform::cgm
