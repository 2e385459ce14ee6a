#include "platform/services/SingleInstance.h"

#include "platform/services/InstanceProtocol.h"
#include "platform/services/LockFile.h"
#include "platform/services/RuntimeFolder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace platform {

namespace {

// Enough for every copy a user could start at once; more are turned away
// rather than letting a runaway peer use up our descriptors.
constexpr size_t kMaxConnections = 16;
constexpr int kEventsPerRound = 16;
// Dispatch gives up the thread after this many rounds so that a peer that
// keeps sending cannot starve the message loop; the rest waits for the next
// call.
constexpr int kMaxRounds = 8;
constexpr int kConnectRetryMs = 10;

SingleInstance* g_current = nullptr;

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int RemainingMs(long long deadlineMs)
{
    long long left = deadlineMs - NowMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

sockaddr_un SocketAddress(const std::string& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

// Waits until fd is ready for `events` or the deadline passes.
bool WaitReady(int fd, short events, long long deadlineMs)
{
    for (;;) {
        pollfd entry = { fd, events, 0 };
        int n = poll(&entry, 1, RemainingMs(deadlineMs));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance()
{
    Close();
}

SingleInstance* SingleInstance::Current()
{
    return g_current;
}

SingleInstance::Role SingleInstance::Open(const std::string& instanceName)
{
    Close();
    m_error.clear();
    std::string folder = RuntimeDir(&m_error);
    if (folder.empty())
        return Role::None;
    std::string stem = RuntimeFileStem(instanceName);
    std::string lockPath = folder + "/" + stem + ".lock";
    m_socketPath = folder + "/" + stem + ".sock";
    if (m_socketPath.size() >= sizeof(sockaddr_un::sun_path)) {
        m_error = "the instance socket path is too long: " + m_socketPath;
        return Role::None;
    }

    m_lock = std::make_unique<LockFile>();
    if (!m_lock->Open(lockPath)) {
        m_error = "cannot open " + lockPath + ": " + strerror(errno);
        Close();
        return Role::None;
    }
    switch (m_lock->TryLock(LockFile::Kind::Exclusive)) {
    case LockFile::Result::Acquired:
        // A lock file left by a dead copy ends up here too: its lock went
        // with the process.
        m_lock->WriteOwnerPid(static_cast<long>(getpid()));
        if (!Listen()) {
            Close();
            return Role::None;
        }
        m_role = Role::First;
        break;
    case LockFile::Result::Busy:
        m_role = Role::Second;
        break;
    case LockFile::Result::Failed:
        m_error = "cannot lock " + lockPath + ": " + strerror(errno);
        Close();
        return Role::None;
    }
    g_current = this;
    return m_role;
}

bool SingleInstance::Listen()
{
    // Only the lock holder gets here, so a socket file in the way belongs to
    // a copy that is gone.
    if (unlink(m_socketPath.c_str()) != 0 && errno != ENOENT) {
        m_error = "cannot replace " + m_socketPath + ": " + strerror(errno);
        return false;
    }
    m_listenFd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address = SocketAddress(m_socketPath);
    if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || chmod(m_socketPath.c_str(), 0600) != 0 || listen(m_listenFd, static_cast<int>(kMaxConnections)) != 0) {
        m_error = "cannot listen on " + m_socketPath + ": " + strerror(errno);
        unlink(m_socketPath.c_str());
        return false;
    }
    m_epollFd = epoll_create1(EPOLL_CLOEXEC);
    epoll_event event = {};
    event.events = EPOLLIN;
    event.data.u64 = 0; // connections count from 1
    if (m_epollFd < 0 || epoll_ctl(m_epollFd, EPOLL_CTL_ADD, m_listenFd, &event) != 0) {
        m_error = std::string("cannot watch the instance socket: ") + strerror(errno);
        return false;
    }
    return true;
}

void SingleInstance::Close()
{
    while (!m_connections.empty())
        CloseConnection(m_connections.begin()->first);
    if (m_listenFd >= 0) {
        close(m_listenFd);
        m_listenFd = -1;
    }
    // The socket and lock files go while we still hold the lock, so they can
    // never remove the files of the copy that comes next.
    if (m_role == Role::First && m_lock)
        m_lock->CloseAndRemove(m_socketPath);
    if (m_epollFd >= 0) {
        close(m_epollFd);
        m_epollFd = -1;
    }
    if (m_clientFd >= 0) {
        close(m_clientFd);
        m_clientFd = -1;
    }
    m_lock.reset();
    m_role = Role::None;
    if (g_current == this)
        g_current = nullptr;
}

long SingleInstance::OwnerPid() const
{
    switch (m_role) {
    case Role::None:
        return 0;
    case Role::First:
        return static_cast<long>(getpid());
    case Role::Second:
        return m_lock->ReadOwnerPid();
    }
    return 0;
}

int SingleInstance::WaitFd() const
{
    return m_role == Role::First ? m_epollFd : -1;
}

int SingleInstance::Dispatch()
{
    if (m_role != Role::First)
        return 0;
    int handled = 0;
    for (int round = 0; round < kMaxRounds; ++round) {
        epoll_event events[kEventsPerRound];
        int n = epoll_wait(m_epollFd, events, kEventsPerRound, 0);
        if (n <= 0)
            break;
        for (int i = 0; i < n; ++i) {
            // A handler may have run a nested Dispatch, or closed the
            // channel, since the events were fetched: look everything up again.
            if (m_role != Role::First)
                return handled;
            uint64_t id = events[i].data.u64;
            if (id == 0) {
                AcceptAll();
                continue;
            }
            if (m_connections.find(id) == m_connections.end())
                continue;
            if (events[i].events & EPOLLIN)
                HandleReadable(id, &handled);
            else if (events[i].events & (EPOLLHUP | EPOLLERR))
                CloseConnection(id);
        }
    }
    return handled;
}

void SingleInstance::AcceptAll()
{
    for (;;) {
        int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        // The folder already keeps other users out; the credentials check
        // holds even if someone loosens it.
        ucred peer = {};
        socklen_t size = sizeof peer;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid()
            || m_connections.size() >= kMaxConnections) {
            close(fd);
            continue;
        }
        uint64_t id = m_nextConnection++;
        epoll_event event = {};
        event.events = EPOLLIN;
        event.data.u64 = id;
        if (epoll_ctl(m_epollFd, EPOLL_CTL_ADD, fd, &event) != 0) {
            close(fd);
            continue;
        }
        m_connections[id] = Connection { fd, false };
    }
}

void SingleInstance::CloseConnection(uint64_t id)
{
    auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    epoll_ctl(m_epollFd, EPOLL_CTL_DEL, it->second.fd, nullptr);
    close(it->second.fd);
    m_connections.erase(it);
}

bool SingleInstance::HandleReadable(uint64_t id, int* handled)
{
    Connection& connection = m_connections.at(id);
    if (connection.busy)
        return false;
    // One byte more than the largest packet, so that an oversized one shows
    // even where the kernel does not report truncation.
    unsigned char buffer[kMaxInstancePacket + 1];
    iovec part = { buffer, sizeof buffer };
    msghdr header = {};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    ssize_t n = recvmsg(connection.fd, &header, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return false;
    if (n <= 0 || (header.msg_flags & MSG_TRUNC) || static_cast<size_t>(n) > kMaxInstancePacket) {
        CloseConnection(id);
        return false;
    }
    std::optional<InstanceRequest> request = DecodeInstanceRequest(buffer, static_cast<size_t>(n));
    if (!request) {
        CloseConnection(id);
        return false;
    }

    // While the handler runs, the connection is left out of the wait so that
    // a nested loop neither spins on it nor reads a second request before
    // this one is answered.
    connection.busy = true;
    epoll_event quiet = {};
    quiet.data.u64 = id;
    epoll_ctl(m_epollFd, EPOLL_CTL_MOD, connection.fd, &quiet);

    InstanceReply reply;
    try {
        switch (request->kind) {
        case InstanceRequestKind::Activate:
            if (m_activateHandler) {
                m_activateHandler();
                reply.handled = true;
            }
            break;
        case InstanceRequestKind::RegisteredMessage:
            if (m_messageHandler) {
                reply.result = m_messageHandler(request->name, request->wParam, request->lParam);
                reply.handled = true;
            }
            break;
        case InstanceRequestKind::ShellCommand:
            if (m_shellCommandHandler) {
                reply.result = m_shellCommandHandler(request->command);
                reply.handled = true;
            }
            break;
        }
    } catch (...) {
        CloseConnection(id);
        throw;
    }
    ++*handled;

    auto it = m_connections.find(id);
    if (it == m_connections.end())
        return true; // the sender left, or the channel was closed, meanwhile
    it->second.busy = false;
    std::string packet = EncodeInstanceReply(reply);
    epoll_event ready = {};
    ready.events = EPOLLIN;
    ready.data.u64 = id;
    if (send(it->second.fd, packet.data(), packet.size(), MSG_DONTWAIT | MSG_NOSIGNAL)
            != static_cast<ssize_t>(packet.size())
        || epoll_ctl(m_epollFd, EPOLL_CTL_MOD, it->second.fd, &ready) != 0)
        CloseConnection(id);
    return true;
}

bool SingleInstance::ConnectUntil(long long deadlineMs)
{
    sockaddr_un address = SocketAddress(m_socketPath);
    for (;;) {
        int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            m_clientFd = fd;
            return true;
        }
        int err = errno;
        close(fd);
        // The first copy may have taken the lock but not be listening yet, or
        // have its queue full; once nobody holds the lock there is no one to
        // wait for.
        bool worthWaiting = err == ENOENT || err == ECONNREFUSED || err == EAGAIN || err == EINTR;
        if (!worthWaiting || !m_lock->IsLockedElsewhere() || RemainingMs(deadlineMs) == 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(kConnectRetryMs, RemainingMs(deadlineMs))));
    }
}

bool SingleInstance::Transact(const std::string& request, bool* handled, LRESULT* result, int timeoutMs)
{
    if (m_role != Role::Second || request.empty())
        return false;
    long long deadline = NowMs() + (timeoutMs > 0 ? timeoutMs : 0);
    // A kept connection may have been closed by a first copy that has since
    // gone; then one fresh connection is tried.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_clientFd < 0 && !ConnectUntil(deadline))
            return false;
        ssize_t sent = send(m_clientFd, request.data(), request.size(), MSG_NOSIGNAL);
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitReady(m_clientFd, POLLOUT, deadline))
            sent = send(m_clientFd, request.data(), request.size(), MSG_NOSIGNAL);
        if (sent != static_cast<ssize_t>(request.size())) {
            close(m_clientFd);
            m_clientFd = -1;
            continue;
        }
        unsigned char buffer[kInstanceReplySize + 1];
        ssize_t n = -1;
        if (WaitReady(m_clientFd, POLLIN, deadline))
            n = recv(m_clientFd, buffer, sizeof buffer, MSG_DONTWAIT);
        std::optional<InstanceReply> reply;
        if (n > 0)
            reply = DecodeInstanceReply(buffer, static_cast<size_t>(n));
        if (!reply) {
            // A late answer must not be taken for the answer to the next
            // request: the connection goes.
            close(m_clientFd);
            m_clientFd = -1;
            return false;
        }
        if (handled)
            *handled = reply->handled;
        if (result)
            *result = reply->result;
        return true;
    }
    return false;
}

bool SingleInstance::SendRegisteredMessage(const std::string& name, WPARAM wParam, LPARAM lParam, LRESULT* result,
    bool* handled, int timeoutMs)
{
    InstanceRequest request;
    request.kind = InstanceRequestKind::RegisteredMessage;
    request.name = name;
    request.wParam = wParam;
    request.lParam = lParam;
    return Transact(EncodeInstanceRequest(request), handled, result, timeoutMs);
}

bool SingleInstance::SendShellCommand(const std::string& command, LRESULT* result, bool* handled, int timeoutMs)
{
    InstanceRequest request;
    request.kind = InstanceRequestKind::ShellCommand;
    request.command = command;
    return Transact(EncodeInstanceRequest(request), handled, result, timeoutMs);
}

bool SingleInstance::RequestActivate(int timeoutMs)
{
    InstanceRequest request;
    request.kind = InstanceRequestKind::Activate;
    return Transact(EncodeInstanceRequest(request), nullptr, nullptr, timeoutMs);
}

} // namespace platform
