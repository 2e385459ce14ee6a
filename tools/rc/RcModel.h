#pragma once
// The resource compiler's picture of a script: what the parser builds from
// the tokens and the emitter turns into C++ tables (see
// platform/base/ResourceTables.h for the tables and what each kind holds).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace rc {

struct Location {
    std::string file;
    int line = 0;
};

// Every error ends the compilation; its message names the file and line.
class Error : public std::runtime_error {
public:
    Error(const Location& where, const std::string& reason)
        : std::runtime_error(where.file + ":" + std::to_string(where.line) + ": error: " + reason)
    {
    }
    explicit Error(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// A resource name or type: a number, or an upper-case name.
struct NameOrId {
    bool isNumber = true;
    uint16_t id = 0;
    std::string name;
};

struct MenuItem {
    uint32_t type = 0;
    uint32_t state = 0;
    uint32_t id = 0;
    uint32_t helpId = 0;
    std::string text;
    bool popup = false;
    std::vector<MenuItem> items;
};

struct Menu {
    bool extended = false;
    uint32_t helpId = 0;
    std::vector<MenuItem> items;
};

struct Accelerator {
    uint8_t fVirt = 0;
    uint16_t key = 0;
    uint16_t cmd = 0;
};

struct Control {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    uint32_t helpId = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t cx = 0;
    int16_t cy = 0;
    int32_t id = 0;
    std::string className;
    bool textIsId = false;
    std::string text;
    uint16_t textId = 0;
};

struct Dialog {
    bool extended = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    uint32_t helpId = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t cx = 0;
    int16_t cy = 0;
    std::string caption;
    NameOrId menu; // id 0: no menu
    std::string className;
    uint16_t pointSize = 0;
    uint16_t weight = 0;
    uint8_t italic = 0;
    uint8_t charset = 0;
    std::string faceName;
    std::vector<Control> controls;
};

struct Toolbar {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint16_t> items; // 0 = separator
};

enum class ResourceKind { Blob, Menu, Dialog, Accelerators, Toolbar };

struct Resource {
    Location where;
    NameOrId type;
    NameOrId name;
    ResourceKind kind = ResourceKind::Blob;
    std::vector<uint8_t> bytes;
    Menu menu;
    Dialog dialog;
    std::vector<Accelerator> accelerators;
    Toolbar toolbar;
};

struct StringDef {
    Location where;
    uint16_t id = 0;
    std::string text; // Windows-1252
};

struct Script {
    std::vector<Resource> resources;
    std::vector<StringDef> strings; // sorted by id
    std::vector<std::string> dependencies; // every file read, the script first
};

struct Options {
    std::vector<std::string> includeDirs;
};

// Standard resource type numbers.
enum : uint16_t {
    kTypeCursor = 1,
    kTypeBitmap = 2,
    kTypeIcon = 3,
    kTypeMenu = 4,
    kTypeDialog = 5,
    kTypeString = 6,
    kTypeAccelerator = 9,
    kTypeRcData = 10,
    kTypeToolbar = 241,
};

// Reads and compiles a script; throws Error.
Script CompileScript(const std::string& path, const Options& options);

struct EmitOptions {
    std::string sourceName;   // shown in the generated file's header
    std::string functionName; // qualified, e.g. "threadwick::RegisterResources"
    bool supportModule = false;
};

// The C++ source of the tables and the registration function.
std::string EmitCpp(const Script& script, const EmitOptions& options);

} // namespace rc
