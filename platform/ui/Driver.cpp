// Choosing the back end, and the outside descriptors the loop watches.

#include "platform/ui/internal/Driver.h"

#include "platform/ui/Backend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace platform {

namespace {

std::unique_ptr<Driver>& Current()
{
    static std::unique_ptr<Driver> driver;
    return driver;
}

std::vector<WatchedDescriptor>& Watched()
{
    static std::vector<WatchedDescriptor> list;
    return list;
}

} // namespace

std::string ChooseBackendName(const char* requested, bool displayReachable, std::string& error)
{
    error.clear();
    if (!requested || !*requested)
        return displayReachable ? "sdl" : "headless";
    if (std::strcmp(requested, "sdl") == 0 || std::strcmp(requested, "headless") == 0)
        return requested;
    error = std::string("THREADWICK_BACKEND=") + requested + " is not a back end; use sdl or headless";
    return std::string();
}

Driver& GetDriver()
{
    std::unique_ptr<Driver>& driver = Current();
    if (driver)
        return *driver;
    std::string error;
    std::string name = ChooseBackendName(std::getenv("THREADWICK_BACKEND"), DisplayReachable(), error);
    if (name == "sdl")
        driver = CreateSdlDriver(error);
    else if (name == "headless")
        driver = CreateHeadlessDriver();
    if (!driver) {
        std::fprintf(stderr, "threadwick: %s\n", error.empty() ? "no window back end could be opened" : error.c_str());
        std::exit(2);
    }
    return *driver;
}

void OpenProgramBackend()
{
    // A copy that runs unseen would hold the single-instance lock and answer
    // every later start in place of a window.
    const char* requested = std::getenv("THREADWICK_BACKEND");
    if ((!requested || !*requested) && !DisplayReachable()) {
        std::fprintf(stderr,
            "threadwick: cannot open display: neither DISPLAY nor WAYLAND_DISPLAY is set "
            "(THREADWICK_BACKEND=headless runs without a display)\n");
        std::exit(2);
    }
    GetDriver();
}

bool DisplayReachable()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

bool HasDriver()
{
    return Current() != nullptr;
}

void SetDriver(std::unique_ptr<Driver> driver)
{
    Current() = std::move(driver);
}

void WatchDescriptor(int fd, std::function<void()> readable)
{
    if (fd < 0)
        return;
    UnwatchDescriptor(fd);
    Watched().push_back(WatchedDescriptor{fd, std::move(readable)});
}

void UnwatchDescriptor(int fd)
{
    auto& list = Watched();
    list.erase(std::remove_if(list.begin(), list.end(), [fd](const WatchedDescriptor& d) { return d.fd == fd; }),
        list.end());
}

const std::vector<WatchedDescriptor>& WatchedDescriptors()
{
    return Watched();
}

bool PollWatchedDescriptors(int milliseconds)
{
    const auto& list = Watched();
    if (list.empty())
        return false;
    std::vector<pollfd> fds;
    for (const WatchedDescriptor& d : list)
        fds.push_back(pollfd{d.fd, POLLIN, 0});
    if (poll(fds.data(), fds.size(), milliseconds) <= 0)
        return false;
    // Callbacks may change the list; run from a copy of the ready ones.
    std::vector<std::function<void()>> ready;
    std::vector<int> closed;
    for (size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents & POLLNVAL)
            closed.push_back(fds[i].fd);
        else if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
            ready.push_back(list[i].readable);
    }
    // A descriptor closed behind the loop's back would make every wait
    // return at once; nothing can arrive on it any more.
    for (int fd : closed)
        UnwatchDescriptor(fd);
    for (auto& callback : ready)
        if (callback)
            callback();
    return !ready.empty();
}

} // namespace platform
