#pragma once
// One running copy of the program per user, and the channel through which
// later copies talk to it.
//
// Open() takes a lock file named after the instance name in the runtime
// folder (RuntimeFolder.h). The copy that gets the lock is the first: it
// writes its process id into the lock file and listens on a Unix socket
// beside it (mode 0600 in a 0700 folder; peers of another user are refused).
// Every later copy is a second one: it can ask the first to activate, can
// deliver registered window messages to it by name, waiting for the answer
// as SendMessage waits, and can hand it shell commands (documents to open). A lock left by a dead process is free, so the next
// copy becomes the first and replaces the socket file left behind. A first
// copy that closes removes its socket and lock files while it still holds
// the lock (LockFile.h says why that is safe).
//
// The first copy's message loop watches WaitFd() and calls Dispatch() when
// it is readable (or at any time: Dispatch never blocks). Dispatch hands each
// request to the handlers and answers the sender after the handler returns,
// so a handler that sends (not posts) the message to the main window gives
// the sender the result and the ordering of SendMessage. Handlers may run
// nested message loops that call Dispatch again, and may Close the channel,
// but must not destroy it.
//
// Requests are small bounded packets (InstanceProtocol.h); a malformed or
// oversized one is dropped and its connection closed. Not thread-safe: the
// user-interface thread owns the object.

#include "platform/base/Types.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace platform {

class LockFile;

class SingleInstance {
public:
    enum class Role {
        None,   // not opened, or the folder, lock or socket could not be had
        First,  // this copy holds the lock and listens
        Second, // another live copy holds the lock
    };

    // (message name, wParam, lParam) -> the result the sender receives.
    using MessageHandler = std::function<LRESULT(const std::string& name, WPARAM wParam, LPARAM lParam)>;
    using ActivateHandler = std::function<void()>;
    // (shell command) -> the result the sender receives.
    using ShellCommandHandler = std::function<LRESULT(const std::string& command)>;

    static constexpr int kDefaultTimeoutMs = 5000;

    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock for the instance name (any bytes; the file names are
    // made from it). Role::None with ErrorText() when the channel cannot be
    // had; the program may then run without it.
    Role Open(const std::string& instanceName);
    // Gives up the lock and the socket (the destructor does this too).
    void Close();

    Role GetRole() const { return m_role; }
    const std::string& ErrorText() const { return m_error; }
    // The first copy's process id as written in the lock file (our own when
    // we are first); 0 when unknown.
    long OwnerPid() const;

    // The channel opened last in this process, for the window system
    // (broadcasts and the loop's wait); null once that one is closed.
    static SingleInstance* Current();

    // --- First copy ---
    void SetMessageHandler(MessageHandler handler) { m_messageHandler = std::move(handler); }
    void SetActivateHandler(ActivateHandler handler) { m_activateHandler = std::move(handler); }
    void SetShellCommandHandler(ShellCommandHandler handler) { m_shellCommandHandler = std::move(handler); }
    // Readable while requests wait; -1 unless this is the first copy.
    int WaitFd() const;
    // Accepts connections and handles every complete request waiting now;
    // the number of requests handed to a handler.
    int Dispatch();

    // --- Second copy ---
    // Delivers a registered message by name to the first copy and waits at
    // most timeoutMs for its answer. False when this is not a second copy,
    // the first copy cannot be reached or does not answer in time, or the
    // name is empty or longer than 255 bytes. *handled (optional) tells
    // whether the first copy had a handler; *result gets its result.
    bool SendRegisteredMessage(const std::string& name, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr,
        bool* handled = nullptr, int timeoutMs = kDefaultTimeoutMs);
    // Asks the first copy to bring its main window to the front.
    bool RequestActivate(int timeoutMs = kDefaultTimeoutMs);
    // Hands a shell command to the first copy, as SendRegisteredMessage
    // does a message; false also for an empty command, one longer than
    // kMaxInstanceShellCommand bytes or one holding a NUL.
    bool SendShellCommand(const std::string& command, LRESULT* result = nullptr, bool* handled = nullptr,
        int timeoutMs = kDefaultTimeoutMs);

private:
    struct Connection {
        int fd = -1;
        bool busy = false; // a handler is running for its request
    };

    bool Listen();
    void AcceptAll();
    void CloseConnection(uint64_t id);
    bool HandleReadable(uint64_t id, int* handled);
    bool Transact(const std::string& request, bool* handled, LRESULT* result, int timeoutMs);
    bool ConnectUntil(long long deadlineMs);

    Role m_role = Role::None;
    std::string m_error;
    std::unique_ptr<LockFile> m_lock;
    std::string m_socketPath;

    // First copy.
    int m_listenFd = -1;
    int m_epollFd = -1;
    uint64_t m_nextConnection = 1;
    std::map<uint64_t, Connection> m_connections;
    MessageHandler m_messageHandler;
    ActivateHandler m_activateHandler;
    ShellCommandHandler m_shellCommandHandler;

    // Second copy: one connection, kept for later requests.
    int m_clientFd = -1;
};

} // namespace platform
