#pragma once
// The packets that copies of the program exchange over the instance socket.
// Every packet starts with its own length and a magic number and is at most
// kMaxInstancePacket bytes, so a reader never allocates by what the peer
// claims; anything that does not decode exactly is refused.
//
// Request (little-endian):  u32 length, u32 magic, u8 kind, u8 name length,
//   u16 zero, u64 wParam, u64 lParam, then the name's bytes (no NUL).
//   A shell command has name length 0, its text's length in place of the
//   u16 zero, both parameters 0, and the text's bytes (no NUL) after.
// Reply: u32 length (20), u32 magic, u8 kind 0x81, u8 handled (0 or 1),
//   u16 zero, u64 result.

#include "platform/base/Types.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

inline constexpr size_t kInstanceRequestHeader = 28;
inline constexpr size_t kInstanceReplySize = 20;
inline constexpr size_t kMaxInstanceMessageName = 255;
// A shell command names one path of up to 4096 bytes with room for its verb.
inline constexpr size_t kMaxInstanceShellCommand = 4096 + 16;
inline constexpr size_t kMaxInstancePacket = kInstanceRequestHeader + kMaxInstanceShellCommand;

enum class InstanceRequestKind : uint8_t {
    Activate = 1,          // bring the running copy's main window to the front
    RegisteredMessage = 2, // deliver a registered window message by its name
    ShellCommand = 3,      // a document handed over, as the shell's "[open(\"path\")]"
};

struct InstanceRequest {
    InstanceRequestKind kind = InstanceRequestKind::Activate;
    std::string name; // a registered message's name (Windows-1252), empty for Activate
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string command; // a shell command's text (Windows-1252); empty for the other kinds
};

struct InstanceReply {
    bool handled = false; // false when the running copy had no one to give it to
    LRESULT result = 0;
};

// Empty when the request cannot be sent: a registered message needs a name
// of 1 to kMaxInstanceMessageName bytes without NUL; a shell command a text
// of 1 to kMaxInstanceShellCommand bytes without NUL, no name and both
// parameters 0; Activate carries nothing.
std::string EncodeInstanceRequest(const InstanceRequest& request);
std::optional<InstanceRequest> DecodeInstanceRequest(const void* data, size_t size);

std::string EncodeInstanceReply(const InstanceReply& reply);
std::optional<InstanceReply> DecodeInstanceReply(const void* data, size_t size);

} // namespace platform
