#include "platform/profile/RegistryFile.h"

#include "platform/profile/Registry.h"
#include "platform/profile/RegistryKey.h"

#include <cstdio>
#include <unordered_set>
#include <vector>

namespace platform {

namespace {

constexpr std::string_view kHeader = "threadwick-registry 1";
constexpr std::string_view kHeaderStem = "threadwick-registry ";
constexpr std::string_view kEnd = "end";
constexpr char kHexDigits[] = "0123456789abcdef";

// ---- Writing ---------------------------------------------------------------

void AppendQuoted(std::string& out, std::string_view bytes)
{
    out += '"';
    for (char ch : bytes) {
        unsigned char byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte > 0x7E || byte == '%' || byte == '"') {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        } else {
            out += ch;
        }
    }
    out += '"';
}

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

void AppendValue(std::string& out, const RegistryValue& value)
{
    out += "  value ";
    AppendQuoted(out, value.name);
    out += ' ';
    switch (value.type) {
    case REG_NONE:
        out += "none";
        break;
    case REG_SZ:
        out += "sz";
        break;
    case REG_EXPAND_SZ:
        out += "expand_sz";
        break;
    case REG_BINARY:
        out += "binary";
        break;
    case REG_DWORD:
        out += "dword";
        break;
    case REG_MULTI_SZ:
        out += "multi_sz";
        break;
    default:
        out += "type:" + std::to_string(value.type);
        break;
    }
    out += ' ';
    if (IsStringType(value.type)) {
        AppendQuoted(out, value.data);
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
        char text[16];
        std::snprintf(text, sizeof(text), "0x%08x", static_cast<unsigned>(number));
        out += text;
    } else {
        out += "hex:";
        for (char ch : value.data) {
            unsigned char byte = static_cast<unsigned char>(ch);
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        }
    }
    out += '\n';
}

void AppendKey(std::string& out, const RegistryKey& key, const std::string& path)
{
    out += "key ";
    AppendQuoted(out, path);
    out += '\n';
    for (size_t i = 0; i < key.ValueCount(); ++i)
        AppendValue(out, key.ValueAt(i));
    for (size_t i = 0; i < key.SubkeyCount(); ++i) {
        const RegistryKey& subkey = *key.SubkeyAt(i);
        AppendKey(out, subkey, path + '\\' + subkey.Name());
    }
}

// ---- Reading ---------------------------------------------------------------

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// A cursor over one line; every reader fails without moving on bad input.
class LineReader {
public:
    explicit LineReader(std::string_view line)
        : m_rest(line)
    {
    }

    bool AtEnd() const { return m_rest.empty(); }

    bool Literal(std::string_view word)
    {
        if (m_rest.substr(0, word.size()) != word)
            return false;
        m_rest.remove_prefix(word.size());
        return true;
    }

    // A quoted string with %XX escapes, at most maxBytes once decoded.
    bool Quoted(std::string& out, size_t maxBytes, std::string& error)
    {
        if (!Literal("\"")) {
            error = "a quoted string is expected";
            return false;
        }
        out.clear();
        while (!m_rest.empty()) {
            char ch = m_rest.front();
            m_rest.remove_prefix(1);
            if (ch == '"')
                return true;
            if (ch == '%') {
                int high = m_rest.size() >= 2 ? HexValue(m_rest[0]) : -1;
                int low = m_rest.size() >= 2 ? HexValue(m_rest[1]) : -1;
                if (high < 0 || low < 0) {
                    error = "a '%' is not followed by two hex digits";
                    return false;
                }
                ch = static_cast<char>(high * 16 + low);
                m_rest.remove_prefix(2);
            } else if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) {
                error = "a control character is not escaped";
                return false;
            }
            if (out.size() == maxBytes) {
                error = "a name or value is too long";
                return false;
            }
            out += ch;
        }
        error = "a quoted string is not closed";
        return false;
    }

    // Everything up to the next space (or the end).
    std::string_view Token()
    {
        size_t space = m_rest.find(' ');
        std::string_view token = m_rest.substr(0, space);
        m_rest.remove_prefix(token.size());
        return token;
    }

    std::string_view Rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

bool ParseType(std::string_view token, DWORD& type)
{
    static const struct {
        std::string_view name;
        DWORD type;
    } kNames[] = {
        {"none", REG_NONE},
        {"sz", REG_SZ},
        {"expand_sz", REG_EXPAND_SZ},
        {"binary", REG_BINARY},
        {"dword", REG_DWORD},
        {"multi_sz", REG_MULTI_SZ},
    };
    for (const auto& entry : kNames) {
        if (token == entry.name) {
            type = entry.type;
            return true;
        }
    }
    constexpr std::string_view kNumbered = "type:";
    if (token.substr(0, kNumbered.size()) != kNumbered)
        return false;
    std::string_view digits = token.substr(kNumbered.size());
    if (digits.empty() || digits.size() > 10)
        return false;
    unsigned long long number = 0;
    for (char ch : digits) {
        if (ch < '0' || ch > '9')
            return false;
        number = number * 10 + static_cast<unsigned>(ch - '0');
    }
    if (number > 0xFFFFFFFFull)
        return false;
    type = static_cast<DWORD>(number);
    return true;
}

bool ParseData(LineReader& reader, DWORD type, std::string& data, std::string& error)
{
    std::string_view rest = reader.Rest();
    if (!rest.empty() && rest.front() == '"') {
        if (!reader.Quoted(data, registrylimits::kMaxValueData, error))
            return false;
    } else if (reader.Literal("0x")) {
        std::string_view digits = reader.Token();
        if (type != REG_DWORD || digits.empty() || digits.size() > 8) {
            error = "a 0x number is only allowed for a dword, with 1 to 8 digits";
            return false;
        }
        DWORD number = 0;
        for (char ch : digits) {
            int digit = HexValue(ch);
            if (digit < 0) {
                error = "a dword has a bad hex digit";
                return false;
            }
            number = (number << 4) | static_cast<DWORD>(digit);
        }
        data.clear();
        for (int i = 0; i < 4; ++i)
            data += static_cast<char>((number >> (8 * i)) & 0xFF);
    } else if (reader.Literal("hex:")) {
        std::string_view digits = reader.Token();
        if (digits.size() % 2 != 0 || digits.size() / 2 > registrylimits::kMaxValueData) {
            error = "hex data has an odd number of digits or is too long";
            return false;
        }
        data.clear();
        data.reserve(digits.size() / 2);
        for (size_t i = 0; i < digits.size(); i += 2) {
            int high = HexValue(digits[i]);
            int low = HexValue(digits[i + 1]);
            if (high < 0 || low < 0) {
                error = "hex data has a bad digit";
                return false;
            }
            data += static_cast<char>(high * 16 + low);
        }
    } else {
        error = "the value's data is missing or malformed";
        return false;
    }
    if (!reader.AtEnd()) {
        error = "unexpected text after the value";
        return false;
    }
    return true;
}

// Splits a key path at its backslashes; every component must be a valid
// key name.
bool SplitPath(std::string_view path, std::vector<std::string_view>& parts, std::string& error)
{
    parts.clear();
    while (true) {
        size_t slash = path.find('\\');
        std::string_view part = path.substr(0, slash);
        if (part.empty() || part.size() > registrylimits::kMaxKeyName) {
            error = "a key name is empty or too long";
            return false;
        }
        if (parts.size() == registrylimits::kMaxDepth) {
            error = "keys are nested too deeply";
            return false;
        }
        parts.push_back(part);
        if (slash == std::string_view::npos)
            return true;
        path.remove_prefix(slash + 1);
    }
}

class Parser {
public:
    explicit Parser(RegistryKey& root)
        : m_root(root)
        , m_current(&root)
    {
    }

    bool Run(std::string_view text, std::string* errorOut)
    {
        std::string error;
        size_t lineNumber = 0;
        bool ended = false;
        bool ok = true;
        while (!text.empty()) {
            size_t newline = text.find('\n');
            std::string_view line = text.substr(0, newline);
            text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
            ++lineNumber;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);

            if (lineNumber == 1) {
                if (line != kHeader) {
                    error = line.substr(0, kHeaderStem.size()) == kHeaderStem ? "the file's version is not supported"
                                                                              : "the header line is missing";
                    ok = false;
                    break;
                }
                continue;
            }
            size_t indent = line.find_first_not_of(" \t");
            if (indent == std::string_view::npos || line[indent] == '#')
                continue;
            line.remove_prefix(indent);
            if (ended) {
                error = "text follows the end line";
                ok = false;
                break;
            }
            if (line == kEnd) {
                ended = true;
                continue;
            }
            if (!ParseLine(line, error)) {
                ok = false;
                break;
            }
        }
        if (ok && lineNumber == 0) {
            error = "the file is empty";
            ok = false;
        } else if (ok && !ended) {
            error = "the end line is missing (the file is cut short)";
            ok = false;
        }
        if (!ok && errorOut)
            *errorOut = "line " + std::to_string(lineNumber) + ": " + error;
        return ok;
    }

private:
    bool ParseLine(std::string_view line, std::string& error)
    {
        LineReader reader(line);
        if (reader.Literal("key "))
            return ParseKey(reader, error);
        if (reader.Literal("value "))
            return ParseValue(reader, error);
        error = "the line is neither a key nor a value";
        return false;
    }

    bool ParseKey(LineReader& reader, std::string& error)
    {
        std::string path;
        if (!reader.Quoted(path, registrylimits::kMaxDepth * (registrylimits::kMaxKeyName + 1), error))
            return false;
        if (!reader.AtEnd()) {
            error = "unexpected text after the key";
            return false;
        }
        std::vector<std::string_view> parts;
        if (!SplitPath(path, parts, error))
            return false;
        RegistryKey* key = &m_root;
        for (std::string_view part : parts) {
            std::shared_ptr<RegistryKey> next = key->FindSubkey(part);
            if (!next)
                next = key->AddSubkey(part);
            key = next.get();
        }
        if (!m_declared.insert(key).second) {
            error = "the key is listed twice";
            return false;
        }
        m_current = key;
        return true;
    }

    bool ParseValue(LineReader& reader, std::string& error)
    {
        std::string name;
        if (!reader.Quoted(name, registrylimits::kMaxValueName, error))
            return false;
        DWORD type = 0;
        if (!reader.Literal(" ") || !ParseType(reader.Token(), type) || !reader.Literal(" ")) {
            error = "the value's type is missing or unknown";
            return false;
        }
        std::string data;
        if (!ParseData(reader, type, data, error))
            return false;
        if (m_current->FindValue(name)) {
            error = "the value is listed twice";
            return false;
        }
        m_current->SetValue(name, type, std::move(data));
        return true;
    }

    RegistryKey& m_root;
    RegistryKey* m_current;
    std::unordered_set<const RegistryKey*> m_declared;
};

} // namespace

bool ParseRegistryFile(std::string_view text, RegistryKey& root, std::string* error)
{
    if (text.size() > registrylimits::kMaxFileBytes) {
        if (error)
            *error = "the file is too large";
        return false;
    }
    return Parser(root).Run(text, error);
}

std::string FormatRegistryFile(const RegistryKey& root)
{
    std::string out;
    out += kHeader;
    out += "\n# Threadwick's per-user settings (HKEY_CURRENT_USER), written back after each burst of changes.\n"
           "# Names and strings are Windows-1252 text; '%', '\"' and bytes outside printable\n"
           "# ASCII are written as %XX. Values belong to the key line above them.\n";
    for (size_t i = 0; i < root.ValueCount(); ++i)
        AppendValue(out, root.ValueAt(i));
    for (size_t i = 0; i < root.SubkeyCount(); ++i) {
        const RegistryKey& subkey = *root.SubkeyAt(i);
        AppendKey(out, subkey, subkey.Name());
    }
    out += kEnd;
    out += '\n';
    return out;
}

} // namespace platform
