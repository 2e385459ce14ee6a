#include "platform/services/SingleInstance.h"

#include "platform/files/FileApi.h"
#include "platform/services/FileMapping.h"
#include "platform/services/InstanceProtocol.h"
#include "platform/services/RuntimeFolder.h"
#include "tests/services/ChildProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

using namespace platform;
using services_test::Signal;
using services_test::StartChild;
using services_test::WaitChild;

namespace {

struct Received {
    std::string name;
    WPARAM wParam;
    LPARAM lParam;
};

// Each test uses a name of its own, so a lock or socket one test leaves
// behind never meets another.
std::string UniqueName(const char* stem)
{
    static int counter = 0;
    return std::string("KQ Threadwick; ") + stem + " " + std::to_string(++counter);
}

std::string SocketPathOf(const std::string& name)
{
    return RuntimeDir(nullptr) + "/" + RuntimeFileStem(name) + ".sock";
}

// Runs the first copy's side of the loop until the child has ended: wait on
// the channel's descriptor, dispatch what arrived.
int ServeUntilChildEnds(SingleInstance& first, pid_t child)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        pollfd entry = { first.WaitFd(), POLLIN, 0 };
        if (poll(&entry, 1, 5) > 0)
            first.Dispatch();
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (std::chrono::steady_clock::now() > deadline)
            return WaitChild(child, 0);
    }
}

// A raw client, for bytes that our own sender would never produce.
int ConnectRaw(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    strcpy(address.sun_path, path.c_str());
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    return fd;
}

// What the first copy did with a raw connection: the reply it sent, or
// nothing when it closed the connection (recv then sees the end).
enum class Outcome { Replied, Closed, Silent };

Outcome OutcomeOf(int fd, SingleInstance& first, InstanceReply* reply = nullptr)
{
    for (int i = 0; i < 200; ++i) {
        first.Dispatch();
        char buffer[64];
        ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0)
            return Outcome::Closed;
        if (n > 0) {
            auto decoded = DecodeInstanceReply(buffer, static_cast<size_t>(n));
            if (decoded && reply)
                *reply = *decoded;
            return decoded ? Outcome::Replied : Outcome::Silent;
        }
        usleep(1000);
    }
    return Outcome::Silent;
}

} // namespace

TEST(SingleInstance, FirstOpenListensAndLaterOpensAreSecond)
{
    std::string name = UniqueName("roles");
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First) << first.ErrorText();
    EXPECT_EQ(SingleInstance::Current(), &first);
    EXPECT_GE(first.WaitFd(), 0);
    EXPECT_EQ(first.OwnerPid(), static_cast<long>(getpid()));

    // The lock is per open, so a second open in this process counts as
    // another copy; it learns who the first is from the lock file.
    SingleInstance second;
    EXPECT_EQ(second.Open(name), SingleInstance::Role::Second);
    EXPECT_EQ(second.OwnerPid(), static_cast<long>(getpid()));
    EXPECT_EQ(second.WaitFd(), -1);
    EXPECT_EQ(second.Dispatch(), 0);
    EXPECT_FALSE(first.SendRegisteredMessage("tovell", 0, 0));

    SingleInstance other;
    EXPECT_EQ(other.Open(UniqueName("roles")), SingleInstance::Role::First);

    // Only the socket's owner may reach it.
    struct stat st;
    ASSERT_EQ(stat(SocketPathOf(name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Closing the first frees the name and takes its socket away.
    second.Close();
    first.Close();
    EXPECT_NE(stat(SocketPathOf(name).c_str(), &st), 0);
    SingleInstance again;
    EXPECT_EQ(again.Open(name), SingleInstance::Role::First);
}

TEST(SingleInstance, SecondProcessDeliversRegisteredMessagesAndActivationThenExits)
{
    std::string name = UniqueName("deliver");
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First) << first.ErrorText();
    std::vector<Received> received;
    int activations = 0;
    first.SetMessageHandler([&](const std::string& message, WPARAM wParam, LPARAM lParam) {
        received.push_back({ message, wParam, lParam });
        return LRESULT(100 + received.size());
    });
    first.SetActivateHandler([&] { ++activations; });

    pid_t child = StartChild([&] {
        SingleInstance second;
        if (second.Open(name) != SingleInstance::Role::Second)
            return 10;
        if (second.OwnerPid() != static_cast<long>(getppid()))
            return 11;
        LRESULT result = 0;
        bool handled = false;
        if (!second.SendRegisteredMessage(name, 0, 0, &result, &handled) || !handled || result != 101)
            return 12;
        if (!second.RequestActivate())
            return 13;
        // The same connection carries later messages.
        if (!second.SendRegisteredMessage("tovell", 3, -1, &result) || result != 102)
            return 14;
        return 0;
    });
    EXPECT_EQ(ServeUntilChildEnds(first, child), 0);

    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].name, name);
    EXPECT_EQ(received[0].lParam, 0);
    EXPECT_EQ(received[1].name, "tovell");
    EXPECT_EQ(received[1].wParam, 3u);
    EXPECT_EQ(received[1].lParam, -1);
    EXPECT_EQ(activations, 1);
}

TEST(SingleInstance, SecondProcessHandsOverShellCommandsInOrder)
{
    std::string name = UniqueName("shell");
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First) << first.ErrorText();
    std::vector<std::string> commands;
    int messages = 0;
    first.SetMessageHandler([&](const std::string&, WPARAM, LPARAM) { return LRESULT(++messages); });
    first.SetShellCommandHandler([&](const std::string& command) {
        commands.push_back(command);
        return LRESULT(1);
    });
    const std::string longest = "[open(\"" + std::string(kMaxInstanceShellCommand - 10, 'x') + "\")]";

    pid_t child = StartChild([&] {
        SingleInstance second;
        if (second.Open(name) != SingleInstance::Role::Second)
            return 10;
        LRESULT result = 0;
        bool handled = false;
        if (!second.SendShellCommand("[open(\"C:\\a b.shr\")]", &result, &handled) || !handled || result != 1)
            return 11;
        if (!second.SendShellCommand(longest))
            return 12;
        // What cannot travel is refused here, and the connection goes on.
        if (second.SendShellCommand(longest + "x", nullptr, nullptr, 100) || second.SendShellCommand(""))
            return 13;
        if (!second.SendRegisteredMessage("tovell", 0, 0))
            return 14;
        return 0;
    });
    EXPECT_EQ(ServeUntilChildEnds(first, child), 0);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], "[open(\"C:\\a b.shr\")]");
    EXPECT_EQ(commands[1], longest);
    EXPECT_EQ(messages, 1);

    // A first copy that takes no shell commands says so.
    first.SetShellCommandHandler(nullptr);
    child = StartChild([&] {
        SingleInstance second;
        bool handled = true;
        if (second.Open(name) != SingleInstance::Role::Second || !second.SendShellCommand("[open(\"C:\\a\")]", nullptr, &handled))
            return 10;
        return handled ? 11 : 0;
    });
    EXPECT_EQ(ServeUntilChildEnds(first, child), 0);
    EXPECT_EQ(commands.size(), 2u);
}

TEST(SingleInstance, SecondCopyFindsFirstThroughMappingHeldDuringTheBroadcast)
{
    // The start-up handshake: the first copy holds a mapping of the instance
    // name while it handles the broadcast with lParam 0 and lets it go on
    // lParam 1. The starting copy sees the mapping exist only because the
    // answer to its first message waits for the handler.
    std::string name = UniqueName("handshake");
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First) << first.ErrorText();
    HANDLE held = NULL;
    first.SetMessageHandler([&](const std::string& message, WPARAM, LPARAM lParam) -> LRESULT {
        if (message != name)
            return 0;
        if (lParam == 0 && !held)
            held = CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READONLY, 0, 32, name.c_str());
        if (lParam != 0 && held) {
            CloseHandle(held);
            held = NULL;
        }
        return 1;
    });

    auto startingCopy = [&] {
        SingleInstance second;
        if (second.Open(name) != SingleInstance::Role::Second)
            return 10;
        if (!second.SendRegisteredMessage(name, 0, 0))
            return 11;
        HANDLE mapping = CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READONLY, 0, 32, name.c_str());
        bool another = mapping && GetLastError() == ERROR_ALREADY_EXISTS;
        CloseHandle(mapping);
        if (!second.SendRegisteredMessage(name, 0, 1))
            return 12;
        return another ? 0 : 1;
    };
    EXPECT_EQ(ServeUntilChildEnds(first, StartChild(startingCopy)), 0);
    EXPECT_EQ(held, HANDLE(NULL));

    // Outside the handshake nobody holds the name.
    HANDLE mapping = CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READONLY, 0, 32, name.c_str());
    ASSERT_NE(mapping, HANDLE(NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(mapping);
}

TEST(SingleInstance, LockAndSocketOfDeadCopyAreRecovered)
{
    std::string name = UniqueName("stale");
    Signal opened;
    pid_t dead = StartChild([&] {
        SingleInstance first;
        if (first.Open(name) != SingleInstance::Role::First)
            return 1;
        opened.Raise();
        _exit(0); // no Close: the files stay behind as after a crash
    });
    ASSERT_TRUE(opened.Wait());
    ASSERT_EQ(WaitChild(dead), 0);
    struct stat st;
    ASSERT_EQ(stat(SocketPathOf(name).c_str(), &st), 0) << "the dead copy's socket should still be there";

    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First) << first.ErrorText();
    EXPECT_EQ(first.OwnerPid(), static_cast<long>(getpid()));
    int messages = 0;
    first.SetMessageHandler([&](const std::string&, WPARAM, LPARAM) { return LRESULT(++messages); });

    // The replaced socket is live: a new copy reaches it.
    pid_t child = StartChild([&] {
        SingleInstance second;
        LRESULT result = 0;
        bool ok = second.Open(name) == SingleInstance::Role::Second && second.OwnerPid() == getppid()
            && second.SendRegisteredMessage("tovell", 0, 0, &result) && result == 1;
        return ok ? 0 : 1;
    });
    EXPECT_EQ(ServeUntilChildEnds(first, child), 0);
    EXPECT_EQ(messages, 1);
}

TEST(SingleInstance, SenderGivesUpOnSilentOrVanishedFirstCopy)
{
    std::string name = UniqueName("silent");
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First);
    SingleInstance second;
    ASSERT_EQ(second.Open(name), SingleInstance::Role::Second);

    // A first copy that never dispatches: the wait is bounded.
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.SendRegisteredMessage("tovell", 0, 0, nullptr, nullptr, 100));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(90));
    EXPECT_LT(waited, std::chrono::seconds(2));

    // Once the first copy is gone there is nobody to wait for.
    first.Close();
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.SendRegisteredMessage("tovell", 0, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // Names that cannot travel are refused before anything is sent.
    SingleInstance other;
    ASSERT_EQ(other.Open(name), SingleInstance::Role::First);
    EXPECT_FALSE(second.SendRegisteredMessage("", 0, 0, nullptr, nullptr, 100));
    EXPECT_FALSE(second.SendRegisteredMessage(std::string(256, 'x'), 0, 0, nullptr, nullptr, 100));
}

TEST(SingleInstance, MalformedAndOversizedPacketsAreDroppedAndServingGoesOn)
{
    std::string name = UniqueName("malformed");
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First);
    std::vector<Received> received;
    first.SetMessageHandler([&](const std::string& message, WPARAM wParam, LPARAM lParam) {
        received.push_back({ message, wParam, lParam });
        return LRESULT(5);
    });
    std::string path = SocketPathOf(name);
    std::string good = EncodeInstanceRequest({ InstanceRequestKind::RegisteredMessage, "tovell", 1, 2, "" });

    std::string wrongMagic = good;
    wrongMagic[4] = 'Z';
    std::vector<std::string> bad = {
        "hello",
        std::string(4096, 'A'),
        good.substr(0, good.size() - 1),
        wrongMagic,
    };
    for (const std::string& bytes : bad) {
        int fd = ConnectRaw(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(send(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        EXPECT_EQ(OutcomeOf(fd, first), Outcome::Closed) << bytes.size() << " bytes";
        close(fd);
    }
    EXPECT_TRUE(received.empty());

    // A well-formed request on a fresh connection is still served, and a
    // connection stays usable for the next one.
    int fd = ConnectRaw(path);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(send(fd, good.data(), good.size(), 0), static_cast<ssize_t>(good.size()));
        InstanceReply reply;
        ASSERT_EQ(OutcomeOf(fd, first, &reply), Outcome::Replied);
        EXPECT_TRUE(reply.handled);
        EXPECT_EQ(reply.result, 5);
    }
    close(fd);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].name, "tovell");
    EXPECT_EQ(received[0].wParam, 1u);
    EXPECT_EQ(received[0].lParam, 2);

    // Without a handler the request is answered as not handled.
    first.SetMessageHandler(nullptr);
    fd = ConnectRaw(path);
    ASSERT_EQ(send(fd, good.data(), good.size(), 0), static_cast<ssize_t>(good.size()));
    InstanceReply reply;
    reply.handled = true;
    ASSERT_EQ(OutcomeOf(fd, first, &reply), Outcome::Replied);
    EXPECT_FALSE(reply.handled);
    close(fd);
}

TEST(SingleInstance, NestedDispatchInsideHandlerLeavesPendingRequestAlone)
{
    // A handler that runs a modal loop pumps the channel again. The request
    // being handled is answered once, after its handler returns, and a
    // second request queued behind it waits for that answer.
    std::string name = UniqueName("nested");
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First);
    int calls = 0;
    int nestedHandled = -1;
    first.SetMessageHandler([&](const std::string&, WPARAM, LPARAM) {
        ++calls;
        if (calls == 1)
            nestedHandled = first.Dispatch();
        return LRESULT(calls);
    });
    std::string good = EncodeInstanceRequest({ InstanceRequestKind::RegisteredMessage, "tovell", 0, 0, "" });
    int fd = ConnectRaw(SocketPathOf(name));
    ASSERT_GE(fd, 0);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(send(fd, good.data(), good.size(), 0), static_cast<ssize_t>(good.size()));
    InstanceReply reply;
    ASSERT_EQ(OutcomeOf(fd, first, &reply), Outcome::Replied);
    EXPECT_EQ(reply.result, 1);
    EXPECT_EQ(nestedHandled, 0);
    ASSERT_EQ(OutcomeOf(fd, first, &reply), Outcome::Replied);
    EXPECT_EQ(reply.result, 2);
    EXPECT_EQ(calls, 2);
    close(fd);
}
