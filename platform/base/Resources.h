#pragma once
// The resource bundle: the program's resources and those of the support
// libraries, compiled into the executable (see ResourceTables.h for how they
// get there). The Win32 calls answer by type and integer id or name; the
// class library's resource-handle switching picks the module that the
// framework loads from. Lookups that miss return NULL / 0 and set the last
// error, as the system does; a handle this bundle did not give out is
// refused the same way.

#include "platform/base/Types.h"

class CString;

namespace platform {
struct AcceleratorTable;
struct DialogTemplate;
struct MenuTemplate;
struct ToolbarTemplate;
enum class ResourceModule;
} // namespace platform

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_TOOLBAR MAKEINTRESOURCE(241)

// Names and types: an integer through MAKEINTRESOURCE, "#123" for the number
// 123, or a name compared without case. A NULL module means the program's.
HRSRC FindResource(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
// The same with the type first; the language is ignored (one language).
HRSRC FindResourceEx(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
// The resource's bytes (or structured table); they stay valid for the life
// of the program.
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
// Resources are constant: nothing to free.
BOOL FreeResource(HGLOBAL hResData);

// Copies string uID into the buffer: at most cchBufferMax - 1 characters
// and a terminating zero. Returns the characters copied; 0 when the string
// does not exist or the buffer has no room.
int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

// The module the framework loads resources from (the program's unless set),
// the program's own module, and the module that holds a given resource
// (the current resource module, then the program's, then the support
// module; the current one when none has it).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);

namespace platform {

HINSTANCE GetResourceModuleHandle(ResourceModule module);

// The text of string nID of a module, without copying; false when missing.
bool FindStringResource(HINSTANCE module, UINT nID, const char*& text, int& length);

// The structured tables of the window system's resource kinds, or nullptr.
const MenuTemplate* FindMenuTemplate(HINSTANCE module, LPCSTR lpName);
const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCSTR lpName);
const AcceleratorTable* FindAcceleratorTable(HINSTANCE module, LPCSTR lpName);
const ToolbarTemplate* FindToolbar(HINSTANCE module, LPCSTR lpName);

// Document-template strings hold seven substrings separated by '\n': window
// title, document name, file-new name, filter name, filter extension,
// registry file type id, registry file type name. Puts substring `index`
// of `full` into `out`; FALSE (and an empty out) when there are fewer
// substrings or the index is negative. An existing substring may be empty.
BOOL GetDocString(const CString& full, int index, CString& out);

} // namespace platform
