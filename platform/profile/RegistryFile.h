#pragma once
// The text form of the registry file. It starts with the line
// "threadwick-registry 1" and ends with the line "end"; in between, lines of
//
//     key "Software\Velmora Technology\Threadwick\1.0\Preferences"
//       value "Flags" dword 0x00007381
//       value "DocumentDir" sz "C:\home\ann%00"
//       value "Blob" binary hex:0a0b0c
//
// in which a value belongs to the key line above it (values before the first
// key line belong to the root). Names and string data are quoted; '%', '"'
// and every byte outside printable ASCII are written as %XX, so any byte
// round-trips. Other types are written as "type:<number>" with hex data.
// Blank lines and lines starting with '#' are ignored.
//
// The reader accepts nothing else: a missing header or end line, an unknown
// token, a bad escape, a duplicate key or value, or a name or value beyond
// the bounds of registrylimits makes the whole file bad.

#include <string>
#include <string_view>

namespace platform {

class RegistryKey;

// Fills root (which should be empty) from text. False with a message naming
// the line when the text is not a complete registry file.
bool ParseRegistryFile(std::string_view text, RegistryKey& root, std::string* error);

std::string FormatRegistryFile(const RegistryKey& root);

} // namespace platform
