#pragma once
// The Windows metafile behind an HMETAFILE: its bytes (header and records,
// checked when it was made) and the placeable header a file had in front.

#include "platform/gdi/Metafile.h"

#include <optional>
#include <vector>

namespace platform {

struct MetaFileObject {
    // The metafile header (18 bytes) and the records up to and including the
    // end record, or up to the first record that did not fit.
    std::vector<BYTE> bits;
    // The number of object-table slots the header asks for.
    WORD objectCount = 0;
    std::optional<PlaceableMetaHeader> placeable;
};

// The metafile, or nullptr (last error ERROR_INVALID_HANDLE).
MetaFileObject* LookupMetaFile(HMETAFILE hmf);

// Plays the records into the DC and puts its state back afterwards; false
// when the state could not be saved (nothing is played).
bool PlayMetaFileRecords(HDC hdc, const MetaFileObject& metafile);

} // namespace platform
