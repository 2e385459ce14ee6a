// Feeds arbitrary bytes to the registry file reader. Whatever it accepts must
// write back to text that reads again into the same tree.

#include "platform/profile/RegistryFile.h"
#include "platform/profile/RegistryKey.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::RegistryKey root{std::string()};
    std::string error;
    if (!platform::ParseRegistryFile(text, root, &error))
        return 0;

    // Deep trees write longer than they read (every key line repeats its
    // path); the store refuses to write such a file, so it is not compared.
    std::string written = platform::FormatRegistryFile(root);
    if (written.size() > platform::registrylimits::kMaxFileBytes)
        return 0;
    platform::RegistryKey again{std::string()};
    if (!platform::ParseRegistryFile(written, again, &error) || platform::FormatRegistryFile(again) != written)
        __builtin_trap();
    return 0;
}
