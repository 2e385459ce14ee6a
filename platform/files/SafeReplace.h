#pragma once
// Replacing a file's contents without ever leaving a damaged file behind:
// the bytes go to a new temporary file in the target's folder, which is
// flushed to disk and then renamed over the target. When anything fails, the
// old file is untouched and the temporary file is removed.

#include <string>
#include <string_view>

namespace platform {

enum class KeepBackup { No, Yes };

// Host (UTF-8 Linux) path. With KeepBackup::Yes an existing target is kept as
// "<name>.bak" first. False with errno in *osError on failure.
bool ReplaceFileContents(const std::string& hostPath, std::string_view bytes, KeepBackup keep, int* osError);

} // namespace platform
