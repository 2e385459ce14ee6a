#pragma once
// Drags from other programs over our windows on X11, followed while they
// happen (the protocol is XdndTarget's). SDL answers the protocol itself,
// accepting everything and telling us only of the drop; so the messages
// are taken away from it: an unmapped window of our own Xlib connection is
// every top-level window's drag-and-drop proxy (XdndProxy), and sources
// send to it instead. A source that ignores proxies still reaches SDL, and
// its files arrive at the drop as before.
//
// The driver that makes it owns it, names each top-level X window it shows
// (AddWindow) and calls Service() whenever the connection is readable.
// Reading a drop's files waits at most a second for each step of the
// transfer; X errors on this connection are ignored.

#include "platform/base/Types.h"

#include <memory>

namespace platform {

class X11DragDrop {
public:
    // Null when no X server answers at `displayName` (null: $DISPLAY).
    static std::unique_ptr<X11DragDrop> Open(const char* displayName);
    ~X11DragDrop();
    X11DragDrop(const X11DragDrop&) = delete;
    X11DragDrop& operator=(const X11DragDrop&) = delete;

    int ConnectionFd() const;
    void Service();

    // A top-level window shown as X window `window` (made on another
    // connection, already known to the server).
    void AddWindow(unsigned long window, HWND hwnd);
    void RemoveWindow(unsigned long window);

    struct State;

private:
    explicit X11DragDrop(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace platform
