#pragma once
// The tables that the resource compiler (tools/rc) generates from a resource
// script, and that the resource bundle (Resources.h) answers lookups from.
//
// How resources reach the program:
// - The build runs threadwick_rc on resources/threadwick.rc. It writes one C++
//   file holding constant tables and one registration function (for the
//   program, threadwick::RegisterResources, declared in resources/Resources.h).
//   That function hands a ResourceTable to platform::RegisterResourceModule
//   for one resource module: the program's own, or the support module that
//   stands in for the support libraries. Registering the same table twice
//   does nothing, so the function may be called more than once.
// - A module is an HINSTANCE value that names a set of registered tables.
//   FindResource / LoadResource / LockResource / SizeofResource, LoadString
//   and the typed accessors below look up a (type, name) pair in the tables
//   of one module.
//
// What each resource kind holds (what LockResource returns):
// - BITMAP: a packed DIB, as the system keeps it: BITMAPINFOHEADER, colour
//   table, bits. A BMP file is taken as it stands without its file header; a
//   PNG file becomes a bottom-up 24-bit DIB, or 32-bit (BI_RGB, alpha in the
//   fourth byte) when any pixel is not opaque.
// - ICON: one icon image: BITMAPINFOHEADER with biHeight doubled, colour
//   table, the colour bits, then the 1-bit AND mask (rows padded to 32 bits;
//   1 = transparent, set where a PNG pixel has alpha 0).
// - CURSOR: two WORDs, the hot spot x and y, followed by an icon image as
//   above. The hot spot comes from the script, our own extension of the
//   statement:  IDC_PEN CURSOR "art/pen.png" HOTSPOT 3, 28  (default 0, 0).
// - RCDATA and custom types (by name, e.g. SHAPEDATA, or by number): the
//   bytes of the file, or of the inline BEGIN ... END block.
// - MENU / MENUEX, DIALOG / DIALOGEX, ACCELERATORS, TOOLBAR: not the system's
//   binary layout but the structured tables below (MenuTemplate,
//   DialogTemplate, AcceleratorTable, ToolbarTemplate); the window system
//   reaches them through FindMenuTemplate and its siblings.
// - STRINGTABLE: StringEntry records of the table, looked up by LoadString.
//
// Names: a resource is named by a number (id) or by an upper-case name, as
// the compiler writes it; lookups compare names without case. Types are the
// standard numbers (RT_BITMAP, ...) or an upper-case custom type name.
// All text is Windows-1252; the compiler converts the UTF-8 script.

#include "platform/base/Types.h"

namespace platform {

// One named resource of a module.
struct ResourceEntry {
    const char* typeName; // custom type name, or nullptr when typeId is used
    WORD typeId;
    const char* name;     // resource name, or nullptr when id is used
    WORD id;
    const void* data;     // the bytes, or the structured table (see above)
    DWORD size;           // bytes of data; for a structured table, its sizeof
};

// One string of a string table; a table is sorted by id. Text may contain
// zero bytes, so its length is given.
struct StringEntry {
    WORD id;
    WORD length;
    const char* text;
};

// One item of a menu. A popup has popup set and its items below; a command
// has its id. type holds MFT_/MF_ type bits (MF_SEPARATOR, MF_MENUBREAK,
// MF_MENUBARBREAK, MF_HELP, MFT_RADIOCHECK, ...), state the MF_GRAYED,
// MF_DISABLED, MF_CHECKED bits (or MFS_ values of a MENUEX).
struct MenuItemTemplate {
    UINT type;
    UINT state;
    UINT id;
    DWORD helpId;
    const char* text; // never null; "" for a separator
    bool popup;
    const MenuItemTemplate* items;
    WORD count;
};

struct MenuTemplate {
    bool extended; // written as MENUEX
    DWORD helpId;
    const MenuItemTemplate* items;
    WORD count;
};

// The same fields as the system's ACCEL record: fVirt holds FVIRTKEY,
// FNOINVERT, FSHIFT, FCONTROL, FALT.
struct AcceleratorEntry {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

struct AcceleratorTable {
    const AcceleratorEntry* entries;
    WORD count;
};

// One control of a dialog, in dialog units. className is the upper-case
// name of a predefined class ("BUTTON", "EDIT", "STATIC", "LISTBOX",
// "SCROLLBAR", "COMBOBOX") or the registered class name given in the script.
// The title is text, or a resource number when text is null (an ICON
// control's icon).
struct DialogItemTemplate {
    DWORD style;
    DWORD exStyle;
    DWORD helpId;
    short x;
    short y;
    short cx;
    short cy;
    int id;
    const char* className;
    const char* text;
    WORD textId;
};

struct DialogTemplate {
    bool extended; // written as DIALOGEX
    DWORD style;
    DWORD exStyle;
    DWORD helpId;
    short x;
    short y;
    short cx;
    short cy;
    const char* caption;   // "" without CAPTION
    const char* menuName;  // nullptr: menuId (0 = no menu)
    WORD menuId;
    const char* className; // "" for the standard dialog class
    // FONT: pointSize 0 and an empty face without one. DS_SETFONT is part of
    // style whenever a font is given.
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    const char* faceName;
    const DialogItemTemplate* items;
    WORD count;
};

// A toolbar's button size and its buttons in order; a command id of 0 is a
// separator.
struct ToolbarTemplate {
    WORD width;
    WORD height;
    const WORD* items;
    WORD count;
};

// Everything one compiled script holds.
struct ResourceTable {
    const ResourceEntry* entries;
    size_t entryCount;
    const StringEntry* strings;
    size_t stringCount;
};

// The modules resources are registered in.
enum class ResourceModule {
    Program, // the program's own resources
    Support, // the support libraries' resources
};

// Adds a table to a module; a table already registered there is ignored.
// The table must outlive the program (the generated tables are constants).
void RegisterResourceModule(ResourceModule module, const ResourceTable& table);

} // namespace platform
