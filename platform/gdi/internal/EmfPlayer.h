#pragma once
// The enhanced metafile behind an HENHMETAFILE: its bytes (the header record
// and the records after it, checked when it was made), its header, and the
// description and palette found in it.

#include "platform/gdi/Gdi.h"

#include <string>
#include <vector>

namespace platform {

struct EnhMetaFileObject {
    // From the header record up to and including the end record, or up to
    // the first record whose size does not fit.
    std::vector<BYTE> bits;
    // The header as stored; a shorter header record is padded with zeros.
    ENHMETAHEADER header{};
    // The description's UTF-16 units (the application and picture names,
    // each ended by a zero), when the header's offset and length lie inside
    // the header record.
    std::u16string description;
    // The palette of the end record, when its offset and count fit inside it.
    std::vector<PALETTEENTRY> palette;
};

// The metafile, or nullptr (last error ERROR_INVALID_HANDLE).
EnhMetaFileObject* LookupEnhMetaFile(HENHMETAFILE hemf);

// Plays the records so that the header's frame fills `deviceRect` (device
// units of hdc, corners as given: an inverted rectangle mirrors). The DC's
// state is put back afterwards; false when it could not be saved.
bool PlayEnhMetaFileRecords(HDC hdc, const EnhMetaFileObject& metafile, const RECT& deviceRect);

} // namespace platform
