#pragma once
// The preprocessor and tokenizer of the resource compiler. It follows the
// subset of the C preprocessor that resource scripts use: #include "file",
// object-like #define and #undef, #ifdef / #ifndef / #if / #elif / #else /
// #endif (with defined()), #pragma (ignored). Included files ending in .h
// contribute only their directives, as with the system's compiler. The
// window-style and virtual-key headers of the platform are read before the
// script, so their names are always defined. Names
// defined by #define are replaced in the tokens; the parser sees numbers,
// strings, identifiers and punctuation, each with its file and line.

#include "RcModel.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace rc {

struct Token {
    enum class Type { Identifier, Number, String, Punct, End };
    Type type = Type::End;
    std::string text; // identifier, punctuation, or the string's 1252 bytes
    uint32_t value = 0;
    bool isLong = false; // a number with an L suffix
    Location where;
};

class Lexer {
public:
    explicit Lexer(const Options& options);

    // The tokens of the script after preprocessing, ending with an End token.
    std::vector<Token> Run(const std::string& path);

    const std::vector<std::string>& Dependencies() const { return m_dependencies; }

    // The file a script names, relative to the file naming it, then to the
    // include folders; throws when it cannot be found.
    std::string ResolvePath(const std::string& name, const Location& where) const;

private:
    struct Conditional {
        bool active;     // lines in this branch are used
        bool taken;      // some branch of this group was taken
        bool parentActive;
    };

    void ProcessFile(const std::string& path, const Location& from, int depth);
    void ProcessText(const std::string& path, const std::string& text, int depth);
    void Directive(const std::string& line, const Location& where, std::vector<Conditional>& conds, int depth);
    void Tokenize(const std::string& line, const Location& where, std::vector<Token>& out) const;
    void Expand(const Token& token, std::vector<Token>& out, std::set<std::string>& active) const;

    Options m_options;
    std::map<std::string, std::vector<Token>> m_macros;
    std::vector<Token> m_tokens;
    std::vector<std::string> m_dependencies;
};

// Evaluates a constant expression of the tokens from `pos` (|| && | ^ & ==
// != < > <= >= << >> + - * / % ~ ! unary minus, parentheses). Names were
// replaced by the preprocessor; an identifier left over is an error unless
// unknownIsZero.
// Advances pos past the expression. sawLong tells whether a number had an L
// suffix.
uint32_t EvaluateExpression(const std::vector<Token>& tokens, size_t& pos, bool unknownIsZero = false,
                            bool* sawLong = nullptr);

// UTF-8 text to Windows-1252; false when the text is not valid UTF-8 or
// holds a character 1252 lacks.
bool Utf8To1252(const std::string& in, std::string& out);

} // namespace rc
