#include "platform/services/InstanceProtocol.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

InstanceRequest Message(const std::string& name, WPARAM wParam, LPARAM lParam)
{
    InstanceRequest request;
    request.kind = InstanceRequestKind::RegisteredMessage;
    request.name = name;
    request.wParam = wParam;
    request.lParam = lParam;
    return request;
}

std::optional<InstanceRequest> Decode(const std::string& bytes)
{
    return DecodeInstanceRequest(bytes.data(), bytes.size());
}

} // namespace

TEST(InstanceProtocol, RequestKeepsNameAndFullWidthParameters)
{
    std::string packet = EncodeInstanceRequest(Message("tovell", ~WPARAM(0) - 5, LPARAM(-2)));
    ASSERT_EQ(packet.size(), kInstanceRequestHeader + 6);
    // The length leads, little-endian, so a reader can check it first.
    EXPECT_EQ(static_cast<unsigned char>(packet[0]), packet.size());
    EXPECT_EQ(packet[1], 0);

    auto decoded = Decode(packet);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->kind, InstanceRequestKind::RegisteredMessage);
    EXPECT_EQ(decoded->name, "tovell");
    EXPECT_EQ(decoded->wParam, ~WPARAM(0) - 5);
    EXPECT_EQ(decoded->lParam, LPARAM(-2));

    // Names are bytes: Windows-1252 letters pass unchanged.
    auto accented = Decode(EncodeInstanceRequest(Message("caf\xE9 1.0", 0, 1)));
    ASSERT_TRUE(accented);
    EXPECT_EQ(accented->name, "caf\xE9 1.0");

    InstanceRequest activate;
    auto decodedActivate = Decode(EncodeInstanceRequest(activate));
    ASSERT_TRUE(decodedActivate);
    EXPECT_EQ(decodedActivate->kind, InstanceRequestKind::Activate);
}

TEST(InstanceProtocol, DropsEveryMalformedRequest)
{
    const std::string good = EncodeInstanceRequest(Message("tovell", 1, 2));
    ASSERT_TRUE(Decode(good));

    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    cases.push_back({ "empty", "" });
    cases.push_back({ "header cut short", good.substr(0, kInstanceRequestHeader - 1) });
    cases.push_back({ "name cut short", good.substr(0, good.size() - 1) });
    cases.push_back({ "trailing byte", good + "x" });
    cases.push_back({ "too big", std::string(kMaxInstancePacket + 1, '\0') });
    auto patched = [&](size_t offset, char value) {
        std::string bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    cases.push_back({ "length field disagrees", patched(0, static_cast<char>(good.size() + 1)) });
    cases.push_back({ "wrong magic", patched(4, 'X') });
    cases.push_back({ "unknown kind", patched(8, 7) });
    cases.push_back({ "name length disagrees", patched(9, 5) });
    cases.push_back({ "reserved bits set", patched(10, 1) });
    cases.push_back({ "NUL inside the name", patched(kInstanceRequestHeader + 2, '\0') });
    cases.push_back({ "activate carrying a name", patched(8, 1) });
    {
        std::string nameless = good.substr(0, kInstanceRequestHeader);
        nameless[0] = static_cast<char>(kInstanceRequestHeader);
        nameless[9] = 0;
        cases.push_back({ "message without a name", nameless });
    }
    for (const Case& c : cases)
        EXPECT_FALSE(Decode(c.bytes)) << c.what;
    EXPECT_FALSE(DecodeInstanceRequest(nullptr, 40));
}

TEST(InstanceProtocol, ReplyRoundTripsAndRejectsDamage)
{
    InstanceReply reply;
    reply.handled = true;
    reply.result = LRESULT(-7);
    std::string packet = EncodeInstanceReply(reply);
    ASSERT_EQ(packet.size(), kInstanceReplySize);
    auto decoded = DecodeInstanceReply(packet.data(), packet.size());
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->handled);
    EXPECT_EQ(decoded->result, LRESULT(-7));

    std::string badFlag = packet;
    badFlag[9] = 2;
    EXPECT_FALSE(DecodeInstanceReply(badFlag.data(), badFlag.size()));
    std::string request = EncodeInstanceRequest(Message("tovell", 0, 0));
    EXPECT_FALSE(DecodeInstanceReply(request.data(), request.size()));
    EXPECT_FALSE(DecodeInstanceReply(packet.data(), packet.size() - 1));
}

TEST(InstanceProtocol, ShellCommandCarriesItsTextUpToTheBound)
{
    InstanceRequest request;
    request.kind = InstanceRequestKind::ShellCommand;
    request.command = "[open(\"C:\\My Designs\\caf\xE9.shr\")]";
    std::string packet = EncodeInstanceRequest(request);
    ASSERT_EQ(packet.size(), kInstanceRequestHeader + request.command.size());
    auto decoded = Decode(packet);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->kind, InstanceRequestKind::ShellCommand);
    EXPECT_EQ(decoded->command, request.command);
    EXPECT_TRUE(decoded->name.empty());

    request.command = std::string(kMaxInstanceShellCommand, 'x');
    packet = EncodeInstanceRequest(request);
    ASSERT_EQ(packet.size(), kMaxInstancePacket);
    ASSERT_TRUE(Decode(packet));
    EXPECT_EQ(Decode(packet)->command.size(), kMaxInstanceShellCommand);

    // What cannot travel is not encoded.
    InstanceRequest bad = request;
    bad.command += 'x';
    EXPECT_TRUE(EncodeInstanceRequest(bad).empty()) << "one byte over";
    bad.command = "";
    EXPECT_TRUE(EncodeInstanceRequest(bad).empty()) << "empty";
    bad.command = std::string("a\0b", 3);
    EXPECT_TRUE(EncodeInstanceRequest(bad).empty()) << "NUL";
    bad = request;
    bad.name = "tovell";
    EXPECT_TRUE(EncodeInstanceRequest(bad).empty()) << "with a name";
    bad = request;
    bad.lParam = 1;
    EXPECT_TRUE(EncodeInstanceRequest(bad).empty()) << "with a parameter";
    InstanceRequest message = Message("tovell", 0, 0);
    message.command = "x";
    EXPECT_TRUE(EncodeInstanceRequest(message).empty()) << "a message carrying a command";
}

TEST(InstanceProtocol, DropsEveryMalformedShellCommand)
{
    InstanceRequest request;
    request.kind = InstanceRequestKind::ShellCommand;
    request.command = "[open(\"C:\\a.shr\")]";
    const std::string good = EncodeInstanceRequest(request);
    ASSERT_TRUE(Decode(good));
    auto patched = [&](size_t offset, char value) {
        std::string bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        { "text cut short", good.substr(0, good.size() - 1) },
        { "trailing byte", good + "x" },
        { "text length disagrees", patched(10, static_cast<char>(good[10] + 1)) },
        { "text length overflows the packet", patched(11, 0x7F) },
        { "a name length as well", patched(9, 1) },
        { "NUL inside the text", patched(kInstanceRequestHeader + 3, '\0') },
        { "wParam set", patched(12, 1) },
        { "lParam set", patched(27, 1) },
        { "activate carrying text", patched(8, 1) },
        { "message carrying text", patched(8, 2) },
        { "too big", std::string(kMaxInstancePacket + 1, '\0') },
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Decode(c.bytes)) << c.what;

    // The old kinds keep their own bound: a name never grows past 255 bytes.
    std::string longName = EncodeInstanceRequest(Message(std::string(255, 'n'), 0, 0));
    ASSERT_FALSE(longName.empty());
    EXPECT_TRUE(EncodeInstanceRequest(Message(std::string(256, 'n'), 0, 0)).empty());
}
