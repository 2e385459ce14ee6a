#pragma once
// The structure of a compound file checked before it is read: every chain
// of sectors (FAT, mini FAT, directory, each stream) stays inside the file,
// never runs into itself and is long enough for what it holds, and the
// directory is a tree in which every entry is reached once. The reader
// relies on this, since on its own it skips over damage it finds instead of
// failing. Internal to the storage module.

#include "platform/base/Types.h"

#include <span>

namespace platform {

// S_OK with the number of elements (storages and streams below the root)
// that the directory holds; STG_E_INVALIDHEADER or STG_E_DOCFILECORRUPT.
// The caller has checked the header's signature, byte order, sector size and
// counts against the file's size.
HRESULT CheckCompoundFile(std::span<const BYTE> bytes, size_t& elements);

} // namespace platform
