#pragma once
// The system cursors' pictures (CursorImages.cpp), for LoadCursor.

#include <memory>

namespace platform {

struct IconObject;

// IDC_* numbers this program draws.
bool IsSystemCursorId(int id);
// A shared cursor picture for an IDC_* number (the arrow for unknown ones).
std::unique_ptr<IconObject> DrawSystemCursor(int id);

} // namespace platform
