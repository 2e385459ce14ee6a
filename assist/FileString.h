#pragma once
// Length-prefixed strings inside the program's own binary files: a 32-bit
// little-endian length that counts the terminating zero, then the bytes
// with the zero.
//
// ReadFileString never trusts the length: it must be at least 1 (the zero),
// at most the bytes left in the file, and the last byte read must be the
// zero. Any other form is a failed read that leaves the string empty; the
// file position is then unspecified.

#include "platform/base/String.h"

class CFile;

// Raises what the file raises when it cannot write.
void WriteFileString(CFile* pFile, const CString& str);
// FALSE for a short, oversized or unterminated string.
BOOL ReadFileString(CFile* pFile, CString& str);
