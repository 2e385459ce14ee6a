#include "platform/services/InstanceProtocol.h"

namespace platform {

namespace {

constexpr uint32_t kMagic = 0x31575754; // "TWW1"
constexpr uint8_t kReplyKind = 0x81;

void Put(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint64_t Get(const unsigned char* data, size_t offset, int bytes)
{
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | data[offset + i];
    return value;
}

bool ValidName(const std::string& name)
{
    return !name.empty() && name.size() <= kMaxInstanceMessageName && name.find('\0') == std::string::npos;
}

bool ValidCommand(const std::string& command)
{
    return !command.empty() && command.size() <= kMaxInstanceShellCommand
        && command.find('\0') == std::string::npos;
}

} // namespace

std::string EncodeInstanceRequest(const InstanceRequest& request)
{
    // The bytes after the header: the name, or a shell command's text.
    const std::string* payload = &request.name;
    switch (request.kind) {
    case InstanceRequestKind::Activate:
        if (!request.name.empty() || !request.command.empty())
            return {};
        break;
    case InstanceRequestKind::RegisteredMessage:
        if (!ValidName(request.name) || !request.command.empty())
            return {};
        break;
    case InstanceRequestKind::ShellCommand:
        if (!ValidCommand(request.command) || !request.name.empty() || request.wParam != 0 || request.lParam != 0)
            return {};
        payload = &request.command;
        break;
    }
    std::string out;
    Put(out, kInstanceRequestHeader + payload->size(), 4);
    Put(out, kMagic, 4);
    Put(out, static_cast<uint8_t>(request.kind), 1);
    Put(out, request.name.size(), 1);
    Put(out, request.command.size(), 2);
    Put(out, static_cast<uint64_t>(request.wParam), 8);
    Put(out, static_cast<uint64_t>(request.lParam), 8);
    out += *payload;
    return out;
}

std::optional<InstanceRequest> DecodeInstanceRequest(const void* data, size_t size)
{
    if (!data || size < kInstanceRequestHeader || size > kMaxInstancePacket)
        return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const size_t nameLength = bytes[9];
    const size_t commandLength = Get(bytes, 10, 2);
    // At most one of the two lengths is set, and it accounts for every byte.
    if (Get(bytes, 0, 4) != size || Get(bytes, 4, 4) != kMagic || (nameLength != 0 && commandLength != 0)
        || kInstanceRequestHeader + nameLength + commandLength != size)
        return std::nullopt;
    InstanceRequest request;
    switch (bytes[8]) {
    case static_cast<uint8_t>(InstanceRequestKind::Activate):
        request.kind = InstanceRequestKind::Activate;
        break;
    case static_cast<uint8_t>(InstanceRequestKind::RegisteredMessage):
        request.kind = InstanceRequestKind::RegisteredMessage;
        break;
    case static_cast<uint8_t>(InstanceRequestKind::ShellCommand):
        request.kind = InstanceRequestKind::ShellCommand;
        break;
    default:
        return std::nullopt;
    }
    request.wParam = static_cast<WPARAM>(Get(bytes, 12, 8));
    request.lParam = static_cast<LPARAM>(Get(bytes, 20, 8));
    const char* text = reinterpret_cast<const char*>(bytes + kInstanceRequestHeader);
    request.name.assign(text, nameLength);
    request.command.assign(text, commandLength);
    bool fits = false;
    switch (request.kind) {
    case InstanceRequestKind::Activate:
        fits = nameLength == 0 && commandLength == 0;
        break;
    case InstanceRequestKind::RegisteredMessage:
        fits = ValidName(request.name);
        break;
    case InstanceRequestKind::ShellCommand:
        fits = ValidCommand(request.command) && request.wParam == 0 && request.lParam == 0;
        break;
    }
    if (!fits)
        return std::nullopt;
    return request;
}

std::string EncodeInstanceReply(const InstanceReply& reply)
{
    std::string out;
    Put(out, kInstanceReplySize, 4);
    Put(out, kMagic, 4);
    Put(out, kReplyKind, 1);
    Put(out, reply.handled ? 1 : 0, 1);
    Put(out, 0, 2);
    Put(out, static_cast<uint64_t>(reply.result), 8);
    return out;
}

std::optional<InstanceReply> DecodeInstanceReply(const void* data, size_t size)
{
    if (!data || size != kInstanceReplySize)
        return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (Get(bytes, 0, 4) != size || Get(bytes, 4, 4) != kMagic || bytes[8] != kReplyKind || bytes[9] > 1
        || Get(bytes, 10, 2) != 0)
        return std::nullopt;
    InstanceReply reply;
    reply.handled = bytes[9] == 1;
    reply.result = static_cast<LRESULT>(Get(bytes, 12, 8));
    return reply;
}

} // namespace platform
