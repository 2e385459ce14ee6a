#pragma once
// The temporary picture files undo steps may hold. A composite picture's
// file (its name starts "o4i") lists its two parts' files first: each entry
// a u32 length (1..284) and that many bytes of path. Deleting it deletes
// the parts too.

#include "platform/base/String.h"

#include <string>
#include <vector>

// The part paths a composite temporary file lists, read from its bytes;
// the walk stops at the first entry whose length is out of range or runs
// past the end.
std::vector<CString> ReadCompositeParts(const std::string& bytes);
// Deletes the temporary picture file, and first its parts when it is a
// composite.
void DeleteTemporaryPicture(const CString& strPath);
