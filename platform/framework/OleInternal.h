#pragma once
// Shared by the embedded items and their container document: the name of an
// item's storage below the document's root, which both must spell alike.

#include "platform/base/Types.h"

#include <string>

namespace platform {

// "Embedding <n>" for the item numbered n, as the storage layer names it.
std::u16string EmbeddingStorageName(DWORD dwItemNumber);

} // namespace platform
