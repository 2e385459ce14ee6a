#pragma once
// Replacing a file's contents without ever leaving a damaged file behind:
// the bytes go to a new temporary file in the target's folder, which is
// flushed to disk and then renamed over the target. When anything fails, the
// old file is untouched and the temporary file is removed.

#include "platform/base/Types.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class KeepBackup { No, Yes };

// Host (UTF-8 Linux) path. With KeepBackup::Yes an existing target is kept as
// "<name>.bak" first. False with errno in *osError on failure. A target that
// is a symbolic link is replaced where the link points. A new file gets the
// usual permissions (0666 less the umask); a replaced one keeps its own.
bool ReplaceFileContents(const std::string& hostPath, std::string_view bytes, KeepBackup keep, int* osError);

// The same for a Windows-form path of the program (through the drive table
// and the overlay); FALSE with the last error set.
BOOL ReplaceWindowsFileContents(LPCSTR path, std::string_view bytes, KeepBackup keep);

// Tests: the step that writes the bytes to the temporary file, so that a
// failing disk can be imitated. Returns false with errno set; null restores
// the real one.
using ReplaceWriteStep = bool (*)(int fd, const void* data, size_t size);
void SetReplaceWriteStepForTests(ReplaceWriteStep step);

} // namespace platform
