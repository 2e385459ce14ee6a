// Serving the single-instance channel from the message loop.

#include "platform/ui/InstanceChannel.h"

#include "platform/services/SingleInstance.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/Queue.h"

namespace platform {

namespace {

struct ChannelState {
    HWND mainWindow = NULL;
    // Only compared with SingleInstance::Current(), never followed unless
    // equal: the channel may be gone without telling us.
    SingleInstance* channel = nullptr;
    int fd = -1;
};

ChannelState& State()
{
    static ChannelState state;
    return state;
}

void ActivateMainWindow();

LRESULT DeliverRegisteredMessage(const std::string& name, WPARAM wParam, LPARAM lParam)
{
    UINT message = FindRegisteredMessage(name);
    HWND main = State().mainWindow;
    if (!message || !IsWindow(main))
        return 0;
    LRESULT result = SendForeignMessage(main, message, wParam, lParam);
    // The user started the other copy to reach this one, and that copy's
    // own windows may have taken the desktop's keyboard on their way.
    ActivateMainWindow();
    return result;
}

void ActivateMainWindow()
{
    HWND main = State().mainWindow;
    if (!IsWindow(main))
        return;
    if (IsIconic(main))
        ShowWindow(main, SW_RESTORE);
    if (!IsWindow(main))
        return;
    HWND target = GetLastActivePopup(main);
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = main;
    SetForegroundWindow(target);
}

void ServeChannel(SingleInstance* channel, int fd)
{
    ChannelState& s = State();
    if (SingleInstance::Current() != channel || channel->WaitFd() != fd) {
        UnwatchDescriptor(fd);
        if (s.channel == channel && s.fd == fd) {
            s.channel = nullptr;
            s.fd = -1;
        }
        return;
    }
    channel->Dispatch();
}

} // namespace

void SetInstanceMainWindow(HWND hwnd)
{
    State().mainWindow = hwnd;
}

HWND GetInstanceMainWindow()
{
    return State().mainWindow;
}

bool ConnectInstanceChannel(SingleInstance& channel)
{
    if (channel.GetRole() != SingleInstance::Role::First || channel.WaitFd() < 0)
        return false;
    DisconnectInstanceChannel();
    channel.SetMessageHandler(DeliverRegisteredMessage);
    channel.SetActivateHandler(ActivateMainWindow);
    ChannelState& s = State();
    s.channel = &channel;
    s.fd = channel.WaitFd();
    SingleInstance* watched = &channel;
    int fd = s.fd;
    WatchDescriptor(fd, [watched, fd] { ServeChannel(watched, fd); });
    return true;
}

void DisconnectInstanceChannel()
{
    ChannelState& s = State();
    if (s.fd >= 0)
        UnwatchDescriptor(s.fd);
    s.channel = nullptr;
    s.fd = -1;
}

} // namespace platform
