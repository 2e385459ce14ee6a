#pragma once
// Compound files as bytes: reading a whole file into a StorageNode tree and
// writing a tree out as a version 3 file (512-byte sectors, streams below
// 4096 bytes in the mini stream). Internal to the storage module.

#include "platform/base/Types.h"

#include <memory>
#include <span>
#include <string>

namespace platform {

struct StorageNode;

// Files are read whole; anything larger is refused before it is read.
constexpr ULONGLONG kMaxCompoundFileSize = ULONGLONG(1) << 30;

// Whether the bytes begin with the compound-file signature.
bool HasCompoundFileSignature(std::span<const BYTE> bytes);

// The tree of a compound file. STG_E_FILEALREADYEXISTS when the bytes are not
// a compound file at all (the answer opening gives for a flat file),
// STG_E_INVALIDHEADER for a header that cannot be one, STG_E_DOCFILECORRUPT
// for broken chains, impossible sizes or counts and unreadable directories.
HRESULT ReadCompoundFile(std::span<const BYTE> bytes, std::shared_ptr<StorageNode>& root);

// The whole tree as the bytes of a new file, each storage's elements a
// balanced tree in the directory; STG_E_INSUFFICIENTMEMORY or
// STG_E_WRITEFAULT when it cannot be made.
HRESULT WriteCompoundFile(const StorageNode& root, std::string& out);

} // namespace platform
