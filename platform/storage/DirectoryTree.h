#pragma once
// The directory of a compound file we are writing, laid out again as
// balanced trees. libgsf links a storage's elements as one chain of right
// siblings, so a storage of n elements is a tree n deep, which readers that
// walk the tree recursively cannot follow far. Each storage's elements
// become a tree of least height (at most log2(n) + 1 deep) in the
// directory's name order (CompareNames), coloured as a valid red-black tree
// so that readers that check the colours accept it as well. Internal to the
// storage module.

#include "platform/base/Types.h"

#include <span>

namespace platform {

// Rewrites the sibling, child and colour fields of every storage's
// elements in the bytes of a whole file. S_OK, or STG_E_WRITEFAULT when the
// bytes are not laid out as the writer lays out a file (a sector table or
// the directory's chain out of range or running into itself, an entry
// reached twice, a name of impossible length); the bytes may then be part
// rewritten and must not be used.
HRESULT BalanceDirectory(std::span<BYTE> file);

} // namespace platform
