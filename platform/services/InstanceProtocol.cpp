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

} // namespace

std::string EncodeInstanceRequest(const InstanceRequest& request)
{
    switch (request.kind) {
    case InstanceRequestKind::Activate:
        if (!request.name.empty())
            return {};
        break;
    case InstanceRequestKind::RegisteredMessage:
        if (!ValidName(request.name))
            return {};
        break;
    }
    std::string out;
    Put(out, kInstanceRequestHeader + request.name.size(), 4);
    Put(out, kMagic, 4);
    Put(out, static_cast<uint8_t>(request.kind), 1);
    Put(out, request.name.size(), 1);
    Put(out, 0, 2);
    Put(out, static_cast<uint64_t>(request.wParam), 8);
    Put(out, static_cast<uint64_t>(request.lParam), 8);
    out += request.name;
    return out;
}

std::optional<InstanceRequest> DecodeInstanceRequest(const void* data, size_t size)
{
    if (!data || size < kInstanceRequestHeader || size > kMaxInstancePacket)
        return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t nameLength = bytes[9];
    if (Get(bytes, 0, 4) != size || Get(bytes, 4, 4) != kMagic || Get(bytes, 10, 2) != 0
        || kInstanceRequestHeader + nameLength != size)
        return std::nullopt;
    InstanceRequest request;
    switch (bytes[8]) {
    case static_cast<uint8_t>(InstanceRequestKind::Activate):
        request.kind = InstanceRequestKind::Activate;
        break;
    case static_cast<uint8_t>(InstanceRequestKind::RegisteredMessage):
        request.kind = InstanceRequestKind::RegisteredMessage;
        break;
    default:
        return std::nullopt;
    }
    request.wParam = static_cast<WPARAM>(Get(bytes, 12, 8));
    request.lParam = static_cast<LPARAM>(Get(bytes, 20, 8));
    request.name.assign(reinterpret_cast<const char*>(bytes + kInstanceRequestHeader), nameLength);
    bool nameFits = request.kind == InstanceRequestKind::Activate ? request.name.empty() : ValidName(request.name);
    if (!nameFits)
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
