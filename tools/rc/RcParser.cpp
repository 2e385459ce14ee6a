// The statements of a resource script, parsed from the preprocessed tokens
// into the compiler's model.

#include "RcImages.h"
#include "RcLexer.h"

#include "platform/base/VirtualKeys.h"
#include "platform/base/WindowStyles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace rc {
namespace {

constexpr std::uintmax_t kMaxDataFileBytes = 64u << 20;

std::string Upper(std::string s)
{
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

bool IsMemoryFlag(const std::string& word)
{
    static const char* const kFlags[] = {"DISCARDABLE", "MOVEABLE", "FIXED", "PURE", "IMPURE",
                                         "PRELOAD", "LOADONCALL", "SHARED", "NONSHARED"};
    return std::any_of(std::begin(kFlags), std::end(kFlags), [&](const char* f) { return word == f; });
}

// Statements of the full language that this compiler does not take.
bool IsUnsupportedStatement(const std::string& word)
{
    static const char* const kWords[] = {"VERSIONINFO", "DLGINIT", "MESSAGETABLE", "FONT", "FONTDIR", "HTML",
                                         "PLUGPLAY", "VXD", "ANICURSOR", "ANIICON", "DLGINCLUDE", "TEXTINCLUDE",
                                         "STRINGTABLE", "MENUITEM", "POPUP", "CONTROL", "BEGIN", "END",
                                         "LANGUAGE", "CHARACTERISTICS", "VERSION", "STYLE", "CAPTION"};
    return std::any_of(std::begin(kWords), std::end(kWords), [&](const char* f) { return word == f; });
}

struct ControlKind {
    const char* keyword;
    const char* className;
    uint32_t style; // besides WS_CHILD | WS_VISIBLE
    bool hasText;
};

// The shorthand control statements and the styles each one implies.
const ControlKind kControlKinds[] = {
    {"LTEXT", "STATIC", SS_LEFT | WS_GROUP, true},
    {"RTEXT", "STATIC", SS_RIGHT | WS_GROUP, true},
    {"CTEXT", "STATIC", SS_CENTER | WS_GROUP, true},
    {"PUSHBUTTON", "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, true},
    {"DEFPUSHBUTTON", "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"CHECKBOX", "BUTTON", BS_CHECKBOX | WS_TABSTOP, true},
    {"AUTOCHECKBOX", "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, true},
    {"RADIOBUTTON", "BUTTON", BS_RADIOBUTTON, true},
    {"AUTORADIOBUTTON", "BUTTON", BS_AUTORADIOBUTTON, true},
    {"GROUPBOX", "BUTTON", BS_GROUPBOX, true},
    {"EDITTEXT", "EDIT", ES_LEFT | WS_BORDER | WS_TABSTOP, false},
    {"COMBOBOX", "COMBOBOX", CBS_SIMPLE | WS_TABSTOP, false},
    {"LISTBOX", "LISTBOX", LBS_NOTIFY | WS_BORDER, false},
    {"SCROLLBAR", "SCROLLBAR", SBS_HORZ, false},
};

const char* const kPredefinedClasses[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};

class Parser {
public:
    Parser(Lexer& lexer, std::vector<Token> tokens, Script& script)
        : m_lexer(lexer)
        , m_tokens(std::move(tokens))
        , m_script(script)
    {
    }

    void Run()
    {
        while (Peek().type != Token::Type::End)
            Statement();
        std::stable_sort(m_script.strings.begin(), m_script.strings.end(),
                         [](const StringDef& a, const StringDef& b) { return a.id < b.id; });
    }

private:
    const Token& Peek(size_t ahead = 0) const
    {
        size_t i = std::min(m_pos + ahead, m_tokens.size() - 1);
        return m_tokens[i];
    }
    const Token& Next()
    {
        const Token& t = Peek();
        if (m_pos < m_tokens.size() - 1)
            ++m_pos;
        return t;
    }
    bool IsWord(const char* word, size_t ahead = 0) const
    {
        const Token& t = Peek(ahead);
        return t.type == Token::Type::Identifier && Upper(t.text) == word;
    }
    bool IsPunct(const char* p) const { return Peek().type == Token::Type::Punct && Peek().text == p; }
    bool AcceptPunct(const char* p)
    {
        if (!IsPunct(p))
            return false;
        Next();
        return true;
    }
    void ExpectComma()
    {
        if (!AcceptPunct(","))
            Fail("expected ','");
    }
    [[noreturn]] void Fail(const std::string& reason) const { throw Error(Peek().where, reason + Found()); }
    std::string Found() const
    {
        const Token& t = Peek();
        switch (t.type) {
        case Token::Type::End:
            return " at the end of the file";
        case Token::Type::String:
            return ", found a string";
        case Token::Type::Identifier:
        case Token::Type::Punct:
        case Token::Type::Number:
            return ", found '" + t.text + "'";
        }
        return "";
    }

    uint32_t Number() { return EvaluateExpression(m_tokens, m_pos); }
    int16_t Coordinate()
    {
        Location where = Peek().where;
        auto v = static_cast<int32_t>(Number());
        if (v < -32768 || v > 32767)
            throw Error(where, "coordinate out of range");
        return static_cast<int16_t>(v);
    }
    uint16_t Word()
    {
        Location where = Peek().where;
        uint32_t v = Number();
        if (v > 0xFFFF)
            throw Error(where, "value " + std::to_string(v) + " does not fit in 16 bits");
        return static_cast<uint16_t>(v);
    }
    std::string String()
    {
        if (Peek().type != Token::Type::String)
            Fail("expected a string");
        return Next().text;
    }
    bool StartsNumber() const
    {
        const Token& t = Peek();
        return t.type == Token::Type::Number || (t.type == Token::Type::Punct && (t.text == "(" || t.text == "-" || t.text == "~"));
    }
    void Begin()
    {
        if (IsWord("BEGIN") || IsPunct("{")) {
            Next();
            return;
        }
        Fail("expected BEGIN");
    }
    bool AcceptEnd()
    {
        if (IsWord("END") || IsPunct("}")) {
            Next();
            return true;
        }
        if (Peek().type == Token::Type::End)
            Fail("expected END");
        return false;
    }
    void SkipMemoryFlags()
    {
        while (Peek().type == Token::Type::Identifier && IsMemoryFlag(Upper(Peek().text)))
            Next();
    }

    // A style: terms joined by '|', where "NOT term" clears bits from what
    // the statement implies.
    uint32_t Style(uint32_t base)
    {
        uint32_t value = base;
        for (;;) {
            if (IsWord("NOT")) {
                Next();
                value &= ~Term();
            } else {
                value |= Term();
            }
            if (!AcceptPunct("|"))
                return value;
        }
    }
    // One operand of a style, stopping before '|'.
    uint32_t Term()
    {
        // Evaluate a sub-range: find the extent up to a top-level '|' or ','.
        size_t start = m_pos;
        int depth = 0;
        size_t end = start;
        for (; end < m_tokens.size() - 1; ++end) {
            const Token& t = m_tokens[end];
            if (t.type != Token::Type::Punct)
                continue;
            if (t.text == "(")
                ++depth;
            else if (t.text == ")")
                --depth;
            else if (depth == 0 && (t.text == "|" || t.text == ","))
                break;
        }
        std::vector<Token> part(m_tokens.begin() + static_cast<long>(start), m_tokens.begin() + static_cast<long>(end));
        Token stop;
        stop.type = Token::Type::End;
        stop.where = Peek().where;
        part.push_back(stop);
        size_t p = 0;
        uint32_t v = EvaluateExpression(part, p);
        m_pos = start + p;
        return v;
    }

    NameOrId ResourceName()
    {
        NameOrId n;
        if (Peek().type == Token::Type::Identifier || Peek().type == Token::Type::String) {
            n.isNumber = false;
            n.name = Upper(Next().text);
            if (n.name.empty())
                Fail("empty resource name");
            return n;
        }
        n.id = Word();
        return n;
    }

    std::vector<uint8_t> ReadDataFile(const std::string& name, const Location& where)
    {
        std::string path = m_lexer.ResolvePath(name, where);
        std::error_code ec;
        auto size = std::filesystem::file_size(path, ec);
        if (ec)
            throw Error(where, "cannot read '" + name + "'");
        if (size > kMaxDataFileBytes)
            throw Error(where, "'" + name + "' is too large");
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            throw Error(where, "cannot read '" + name + "'");
        m_dataFiles.push_back(path);
        return bytes;
    }

    // Counts are 16-bit in the generated tables.
    static bool MenuFits(const std::vector<MenuItem>& items)
    {
        if (items.size() > 0xFFFF)
            return false;
        return std::all_of(items.begin(), items.end(), [](const MenuItem& m) { return MenuFits(m.items); });
    }

    void Add(Resource r)
    {
        if (!MenuFits(r.menu.items) || r.dialog.controls.size() > 0xFFFF || r.accelerators.size() > 0xFFFF
            || r.toolbar.items.size() > 0xFFFF)
            throw Error(r.where, "too many items in one resource");
        for (const Resource& other : m_script.resources) {
            bool sameType = other.type.isNumber == r.type.isNumber && other.type.id == r.type.id && other.type.name == r.type.name;
            bool sameName = other.name.isNumber == r.name.isNumber && other.name.id == r.name.id && other.name.name == r.name.name;
            if (sameType && sameName)
                throw Error(r.where, "resource defined twice (first at " + other.where.file + ":" + std::to_string(other.where.line) + ")");
        }
        m_script.resources.push_back(std::move(r));
    }

    void Statement()
    {
        Location where = Peek().where;
        if (IsWord("STRINGTABLE")) {
            Next();
            StringTable();
            return;
        }
        if (Peek().type == Token::Type::Identifier && IsUnsupportedStatement(Upper(Peek().text)))
            throw Error(where, "unknown or unsupported statement '" + Peek().text + "'");
        if (Peek().type == Token::Type::Punct && !StartsNumber())
            Fail("expected a resource name");
        Resource r;
        r.where = where;
        r.name = ResourceName();
        const Token& typeToken = Peek();
        if (typeToken.type == Token::Type::Identifier) {
            std::string word = Upper(typeToken.text);
            Next();
            if (word == "MENU" || word == "MENUEX")
                return MenuResource(std::move(r), word == "MENUEX");
            if (word == "DIALOG" || word == "DIALOGEX")
                return DialogResource(std::move(r), word == "DIALOGEX");
            if (word == "ACCELERATORS")
                return AcceleratorResource(std::move(r));
            if (word == "TOOLBAR")
                return ToolbarResource(std::move(r));
            if (word == "BITMAP" || word == "ICON" || word == "CURSOR")
                return ImageResource(std::move(r), word);
            if (word == "RCDATA") {
                r.type.id = kTypeRcData;
                return DataResource(std::move(r));
            }
            if (IsUnsupportedStatement(word))
                throw Error(where, "unknown or unsupported statement '" + word + "'");
            r.type.isNumber = false;
            r.type.name = word;
            return DataResource(std::move(r));
        }
        if (typeToken.type == Token::Type::String) {
            r.type.isNumber = false;
            r.type.name = Upper(Next().text);
            return DataResource(std::move(r));
        }
        if (StartsNumber()) {
            r.type.id = Word();
            return DataResource(std::move(r));
        }
        Fail("expected a resource type");
    }

    void StringTable()
    {
        SkipMemoryFlags();
        Begin();
        while (!AcceptEnd()) {
            Location where = Peek().where;
            uint32_t id = Number();
            if (id > 0xFFFF)
                throw Error(where, "string id " + std::to_string(id) + " out of range");
            AcceptPunct(",");
            StringDef s;
            s.where = where;
            s.id = static_cast<uint16_t>(id);
            s.text = String();
            if (s.text.size() > 0xFFFF)
                throw Error(where, "string too long");
            for (const StringDef& other : m_script.strings) {
                if (other.id == s.id)
                    throw Error(where, "string " + std::to_string(id) + " defined twice (first at " + other.where.file + ":"
                                           + std::to_string(other.where.line) + ")");
            }
            m_script.strings.push_back(std::move(s));
        }
    }

    void MenuResource(Resource r, bool extended)
    {
        r.type.id = kTypeMenu;
        r.kind = ResourceKind::Menu;
        r.menu.extended = extended;
        SkipMemoryFlags();
        MenuItems(r.menu.items, extended);
        Add(std::move(r));
    }

    // MENU item options: GRAYED, INACTIVE, CHECKED, HELP, MENUBREAK,
    // MENUBARBREAK, separated by commas or blanks.
    void MenuOptions(MenuItem& item)
    {
        for (;;) {
            size_t save = m_pos;
            bool comma = AcceptPunct(",");
            if (Peek().type != Token::Type::Identifier) {
                if (comma)
                    Fail("expected a menu item option");
                return;
            }
            std::string word = Upper(Peek().text);
            if (word == "GRAYED")
                item.state |= MF_GRAYED;
            else if (word == "INACTIVE")
                item.state |= MF_DISABLED;
            else if (word == "CHECKED")
                item.state |= MF_CHECKED;
            else if (word == "HELP")
                item.type |= MF_HELP;
            else if (word == "MENUBREAK")
                item.type |= MF_MENUBREAK;
            else if (word == "MENUBARBREAK")
                item.type |= MF_MENUBARBREAK;
            else {
                if (comma)
                    Fail("unknown menu item option");
                m_pos = save;
                return;
            }
            Next();
        }
    }

    // An optional numeric argument of a MENUEX item: present when a comma
    // follows, and empty (0) when the next comma follows at once.
    bool OptionalArgument(uint32_t& value)
    {
        if (!AcceptPunct(","))
            return false;
        if (IsPunct(",") || IsWord("BEGIN") || IsPunct("{") || IsWord("MENUITEM") || IsWord("POPUP") || IsWord("END")
            || IsPunct("}"))
            return true;
        value = Number();
        return true;
    }

    void MenuItems(std::vector<MenuItem>& items, bool extended)
    {
        Begin();
        while (!AcceptEnd()) {
            MenuItem item;
            if (IsWord("MENUITEM")) {
                Next();
                if (IsWord("SEPARATOR")) {
                    Next();
                    item.type = MF_SEPARATOR;
                } else {
                    item.text = String();
                    if (extended) {
                        if (OptionalArgument(item.id) && OptionalArgument(item.type))
                            OptionalArgument(item.state);
                    } else {
                        ExpectComma();
                        item.id = Number();
                        MenuOptions(item);
                    }
                }
            } else if (IsWord("POPUP")) {
                Next();
                item.popup = true;
                item.text = String();
                if (extended) {
                    if (OptionalArgument(item.id) && OptionalArgument(item.type) && OptionalArgument(item.state))
                        OptionalArgument(item.helpId);
                } else {
                    MenuOptions(item);
                }
                MenuItems(item.items, extended);
            } else {
                Fail("expected MENUITEM, POPUP or END");
            }
            items.push_back(std::move(item));
        }
    }

    void AcceleratorResource(Resource r)
    {
        r.type.id = kTypeAccelerator;
        r.kind = ResourceKind::Accelerators;
        SkipMemoryFlags();
        Begin();
        while (!AcceptEnd()) {
            Location where = Peek().where;
            Accelerator a;
            bool isString = Peek().type == Token::Type::String;
            std::string keyText;
            uint32_t key = 0;
            if (isString)
                keyText = Next().text;
            else
                key = Number();
            ExpectComma();
            a.cmd = Word();
            bool virtKey = false;
            bool ascii = false;
            while (AcceptPunct(",")) {
                std::string word = Peek().type == Token::Type::Identifier ? Upper(Peek().text) : "";
                if (word == "VIRTKEY")
                    virtKey = true;
                else if (word == "ASCII")
                    ascii = true;
                else if (word == "NOINVERT")
                    a.fVirt |= FNOINVERT;
                else if (word == "ALT")
                    a.fVirt |= FALT;
                else if (word == "SHIFT")
                    a.fVirt |= FSHIFT;
                else if (word == "CONTROL")
                    a.fVirt |= FCONTROL;
                else
                    Fail("expected an accelerator option");
                Next();
            }
            if (virtKey && ascii)
                throw Error(where, "an accelerator cannot be both VIRTKEY and ASCII");
            if (!virtKey && (a.fVirt & (FSHIFT | FCONTROL)))
                throw Error(where, "SHIFT and CONTROL need VIRTKEY");
            if (isString) {
                if (keyText.size() == 2 && keyText[0] == '^') {
                    char c = static_cast<char>(Upper(keyText.substr(1))[0]);
                    if (virtKey || c < '@' || c > '_')
                        throw Error(where, "bad control-key accelerator \"" + keyText + "\"");
                    key = static_cast<uint32_t>(c - '@');
                } else if (keyText.size() == 1) {
                    key = static_cast<unsigned char>(virtKey ? Upper(keyText)[0] : keyText[0]);
                } else {
                    throw Error(where, "an accelerator key is one character or \"^X\"");
                }
            }
            if (key > 0xFFFF)
                throw Error(where, "accelerator key out of range");
            a.key = static_cast<uint16_t>(key);
            if (virtKey)
                a.fVirt |= FVIRTKEY;
            r.accelerators.push_back(a);
        }
        Add(std::move(r));
    }

    void ToolbarResource(Resource r)
    {
        r.type.id = kTypeToolbar;
        r.kind = ResourceKind::Toolbar;
        SkipMemoryFlags();
        r.toolbar.width = Word();
        ExpectComma();
        r.toolbar.height = Word();
        Begin();
        while (!AcceptEnd()) {
            if (IsWord("BUTTON")) {
                Next();
                r.toolbar.items.push_back(Word());
            } else if (IsWord("SEPARATOR")) {
                Next();
                r.toolbar.items.push_back(0);
            } else {
                Fail("expected BUTTON, SEPARATOR or END");
            }
        }
        Add(std::move(r));
    }

    void ImageResource(Resource r, const std::string& word)
    {
        SkipMemoryFlags();
        Location where = Peek().where;
        std::string file = String();
        std::vector<uint8_t> bytes = ReadDataFile(file, where);
        int hotX = 0;
        int hotY = 0;
        if (IsWord("HOTSPOT")) {
            if (word != "CURSOR")
                Fail("HOTSPOT belongs to a CURSOR");
            Next();
            hotX = static_cast<int32_t>(Number());
            ExpectComma();
            hotY = static_cast<int32_t>(Number());
        }
        try {
            if (word == "BITMAP") {
                r.type.id = kTypeBitmap;
                r.bytes = MakeBitmapResource(bytes);
            } else if (word == "ICON") {
                r.type.id = kTypeIcon;
                r.bytes = MakeIconResource(bytes);
            } else {
                r.type.id = kTypeCursor;
                r.bytes = MakeCursorResource(bytes, hotX, hotY);
            }
        } catch (const ImageError& e) {
            throw Error(where, "'" + file + "': " + e.what());
        }
        Add(std::move(r));
    }

    // A file's bytes, or an inline block of numbers (16 bits, 32 with an L
    // suffix) and strings (their bytes, without a terminator).
    void DataResource(Resource r)
    {
        SkipMemoryFlags();
        if (Peek().type == Token::Type::String) {
            Location where = Peek().where;
            r.bytes = ReadDataFile(String(), where);
            Add(std::move(r));
            return;
        }
        if (!IsWord("BEGIN") && !IsPunct("{"))
            Fail("expected a file name or BEGIN");
        Begin();
        while (!AcceptEnd()) {
            if (Peek().type == Token::Type::String) {
                const std::string& s = Next().text;
                r.bytes.insert(r.bytes.end(), s.begin(), s.end());
            } else {
                bool isLong = false;
                uint32_t v = EvaluateExpression(m_tokens, m_pos, false, &isLong);
                int n = isLong ? 4 : 2;
                for (int i = 0; i < n; ++i)
                    r.bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
            }
            AcceptPunct(",");
        }
        Add(std::move(r));
    }

    void DialogResource(Resource r, bool extended)
    {
        r.type.id = kTypeDialog;
        r.kind = ResourceKind::Dialog;
        Dialog& d = r.dialog;
        d.extended = extended;
        SkipMemoryFlags();
        d.x = Coordinate();
        ExpectComma();
        d.y = Coordinate();
        ExpectComma();
        d.cx = Coordinate();
        ExpectComma();
        d.cy = Coordinate();
        if (extended && AcceptPunct(","))
            d.helpId = Number();
        uint32_t style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        bool hasCaption = false;
        bool hasFont = false;
        for (;;) {
            if (IsWord("STYLE")) {
                Next();
                style = Style(0);
            } else if (IsWord("EXSTYLE")) {
                Next();
                d.exStyle = Style(0);
            } else if (IsWord("CAPTION")) {
                Next();
                d.caption = String();
                hasCaption = true;
            } else if (IsWord("FONT")) {
                Next();
                hasFont = true;
                d.pointSize = Word();
                ExpectComma();
                d.faceName = String();
                if (AcceptPunct(",")) {
                    d.weight = Word();
                    ExpectComma();
                    d.italic = static_cast<uint8_t>(Number() != 0);
                    if (AcceptPunct(","))
                        d.charset = static_cast<uint8_t>(Number());
                }
            } else if (IsWord("MENU")) {
                Next();
                d.menu = ResourceName();
            } else if (IsWord("CLASS")) {
                Next();
                d.className = String();
            } else {
                break;
            }
        }
        if (hasCaption)
            style |= WS_CAPTION;
        if (hasFont)
            style |= DS_SETFONT;
        d.style = style;
        Begin();
        while (!AcceptEnd())
            d.controls.push_back(ControlStatement(extended));
        Add(std::move(r));
    }

    // The end of a control: [, style [, exstyle [, helpid]]].
    void ControlTail(Control& c, bool extended)
    {
        if (AcceptPunct(",")) {
            c.style = Style(c.style);
            if (AcceptPunct(",")) {
                c.exStyle = Number();
                if (extended && AcceptPunct(","))
                    c.helpId = Number();
            }
        }
    }

    void Rectangle(Control& c, bool withSize)
    {
        c.x = Coordinate();
        ExpectComma();
        c.y = Coordinate();
        if (withSize) {
            ExpectComma();
            c.cx = Coordinate();
            ExpectComma();
            c.cy = Coordinate();
        }
    }

    void ControlText(Control& c)
    {
        if (Peek().type == Token::Type::String) {
            c.text = Next().text;
        } else if (Peek().type == Token::Type::Identifier) {
            // A name of a resource (an ICON control's icon).
            c.text = Upper(Next().text);
        } else {
            c.textIsId = true;
            c.textId = Word();
        }
    }

    Control ControlStatement(bool extended)
    {
        Control c;
        c.style = WS_CHILD | WS_VISIBLE;
        if (Peek().type != Token::Type::Identifier)
            Fail("expected a control statement");
        std::string word = Upper(Peek().text);
        Location where = Peek().where;
        Next();
        if (word == "CONTROL") {
            ControlText(c);
            ExpectComma();
            c.id = static_cast<int32_t>(Number());
            ExpectComma();
            if (Peek().type == Token::Type::String) {
                c.className = Next().text;
                std::string upper = Upper(c.className);
                for (const char* name : kPredefinedClasses) {
                    if (upper == name)
                        c.className = upper;
                }
            } else if (Peek().type == Token::Type::Identifier) {
                std::string upper = Upper(Next().text);
                bool known = false;
                for (const char* name : kPredefinedClasses)
                    known = known || upper == name;
                if (!known)
                    throw Error(where, "unknown control class '" + upper + "'");
                c.className = upper;
            } else {
                Fail("expected a control class");
            }
            ExpectComma();
            c.style = Style(c.style);
            ExpectComma();
            Rectangle(c, true);
            if (AcceptPunct(",")) {
                c.exStyle = Number();
                if (extended && AcceptPunct(","))
                    c.helpId = Number();
            }
            return c;
        }
        if (word == "ICON") {
            // ICON icon, id, x, y [, cx, cy [, style [, exstyle]]]
            c.className = "STATIC";
            c.style |= SS_ICON;
            ControlText(c);
            ExpectComma();
            c.id = static_cast<int32_t>(Number());
            ExpectComma();
            Rectangle(c, false);
            if (AcceptPunct(",")) {
                c.cx = Coordinate();
                ExpectComma();
                c.cy = Coordinate();
                ControlTail(c, extended);
            }
            return c;
        }
        for (const ControlKind& kind : kControlKinds) {
            if (word != kind.keyword)
                continue;
            c.className = kind.className;
            c.style |= kind.style;
            if (kind.hasText) {
                ControlText(c);
                ExpectComma();
            }
            c.id = static_cast<int32_t>(Number());
            ExpectComma();
            Rectangle(c, true);
            ControlTail(c, extended);
            return c;
        }
        throw Error(where, "unknown control statement '" + word + "'");
    }

    Lexer& m_lexer;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    Script& m_script;

public:
    std::vector<std::string> m_dataFiles;
};

} // namespace

Script CompileScript(const std::string& path, const Options& options)
{
    Lexer lexer(options);
    std::vector<Token> tokens = lexer.Run(path);
    Script script;
    Parser parser(lexer, std::move(tokens), script);
    parser.Run();
    script.dependencies = lexer.Dependencies();
    for (const auto& f : parser.m_dataFiles)
        script.dependencies.push_back(f);
    return script;
}

} // namespace rc
