// Drags from other programs through our own Xlib connection. X11's headers
// stay in this file: their macros (None, Bool, Status) and types (Window)
// would clash with the window system's names.

#include "platform/ui/internal/X11DragDrop.h"

#include "platform/ui/internal/X11Connection.h"
#include "platform/ui/internal/XdndTarget.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// One step of a read (the source's answer, the next chunk of a long one),
// and a whole read.
constexpr int kStepMilliseconds = 1000;
constexpr int kTransferMilliseconds = 10000;
// Events that arrive while a read waits, kept for afterwards.
constexpr size_t kMaxDeferredEvents = 4096;

} // namespace

struct X11DragDrop::State final : XdndPeer {
    Display* display = nullptr;
    ::Window proxy = 0;
    XdndAtoms atoms;
    Atom xdndAware = 0, xdndProxy = 0, xdndTypeList = 0, xdndSelection = 0, transfer = 0, incr = 0;
    std::map<unsigned long, HWND> windows;
    ::Window watched = 0;
    std::deque<XEvent> deferred;
    std::unique_ptr<XdndTarget> target;
    std::string host;

    ~State() override
    {
        target.reset();
        if (display) {
            if (proxy)
                XDestroyWindow(display, proxy);
            XCloseDisplay(display);
            ReleaseX11Display(display);
        }
    }

    Atom Intern(const char* name) { return XInternAtom(display, name, False); }

    void Dispatch(XEvent& event)
    {
        if (event.type == ClientMessage && event.xclient.format == 32) {
            long data[5];
            for (int i = 0; i < 5; ++i)
                data[i] = event.xclient.data.l[i];
            target->OnClientMessage(event.xclient.window, event.xclient.message_type, data);
        } else if (event.type == DestroyNotify) {
            target->OnSourceGone(event.xdestroywindow.window);
        }
    }

    // Waits for an event that `match` takes; what else arrives is kept for
    // Service, so that no drag message is answered in the middle of a read.
    template <typename Match>
    bool WaitFor(XEvent& found, int milliseconds, Match match)
    {
        return WaitForX11Event(display, found, milliseconds, match, [this](XEvent& event) {
            if (deferred.size() < kMaxDeferredEvents)
                deferred.push_back(event);
        });
    }

    bool ReadProperty(size_t limit, std::string& bytes, bool& isIncr)
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const long longs = long(limit / 4 + 1);
        if (XGetWindowProperty(display, proxy, transfer, 0, longs, True, AnyPropertyType, &type, &format, &items,
                &after, &data)
            != Success)
            return false;
        bool ok = true;
        isIncr = type == incr;
        if (after != 0) {
            ok = false;
        } else if (!isIncr && data && items > 0) {
            // A URI list is text: anything but 8-bit items is nonsense.
            if (format != 8 || items > limit)
                ok = false;
            else
                bytes.append(reinterpret_cast<const char*>(data), items);
        }
        if (data)
            XFree(data);
        return ok;
    }

    // XdndPeer

    std::vector<unsigned long> TypeList(unsigned long source, size_t limit) override
    {
        std::vector<unsigned long> types;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, source, xdndTypeList, 0, long(limit), False, XA_ATOM, &type, &format,
                &items, &after, &data)
                == Success
            && data) {
            if (type == XA_ATOM && format == 32) {
                const auto* list = reinterpret_cast<const unsigned long*>(data);
                for (unsigned long i = 0; i < items && i < limit; ++i)
                    types.push_back(list[i]);
            }
            XFree(data);
        }
        return types;
    }

    void Send(unsigned long source, unsigned long type, const long data[5]) override
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.display = display;
        event.xclient.window = source;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        for (int i = 0; i < 5; ++i)
            event.xclient.data.l[i] = data[i];
        XSendEvent(display, source, False, NoEventMask, &event);
        XFlush(display);
    }

    bool FetchUriList(unsigned long time, std::string& bytes) override
    {
        bytes.clear();
        XDeleteProperty(display, proxy, transfer);
        XConvertSelection(display, xdndSelection, atoms.uriList, transfer, proxy, time ? Time(time) : CurrentTime);
        XEvent event;
        if (!WaitFor(event, kStepMilliseconds, [&](const XEvent& e) {
                return e.type == SelectionNotify && e.xselection.requestor == proxy
                    && e.xselection.selection == xdndSelection;
            }))
            return false;
        if (event.xselection.property == 0)
            return false;
        bool isIncr = false;
        if (!ReadProperty(kMaxXdndUriListBytes, bytes, isIncr))
            return false;
        if (!isIncr)
            return true;
        // Long lists come in chunks: deleting the property (done by the
        // read) asks for each; an empty one ends it.
        bytes.clear();
        const int64_t deadline = X11NowMilliseconds() + kTransferMilliseconds;
        for (;;) {
            if (!WaitFor(event, kStepMilliseconds, [&](const XEvent& e) {
                    return e.type == PropertyNotify && e.xproperty.window == proxy && e.xproperty.atom == transfer
                        && e.xproperty.state == PropertyNewValue;
                }))
                return false;
            const size_t before = bytes.size();
            if (!ReadProperty(kMaxXdndUriListBytes - bytes.size(), bytes, isIncr) || isIncr)
                return false;
            if (bytes.size() == before)
                return true;
            if (X11NowMilliseconds() > deadline)
                return false;
        }
    }

    DWORD KeysHeld() override
    {
        ::Window root = 0;
        ::Window child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int mask = 0;
        if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask))
            return 0;
        DWORD keys = 0;
        if (mask & Button1Mask)
            keys |= 0x0001; // MK_LBUTTON
        if (mask & Button3Mask)
            keys |= 0x0002; // MK_RBUTTON
        if (mask & ShiftMask)
            keys |= 0x0004; // MK_SHIFT
        if (mask & ControlMask)
            keys |= 0x0008; // MK_CONTROL
        if (mask & Button2Mask)
            keys |= 0x0010; // MK_MBUTTON
        if (mask & Mod1Mask)
            keys |= 0x0020; // MK_ALT
        return keys;
    }

    void WatchSource(unsigned long source) override
    {
        // Our own windows' events are SDL's business; a source's end is ours.
        if (watched && !windows.count(watched))
            XSelectInput(display, watched, NoEventMask);
        watched = source;
        if (watched && !windows.count(watched) && watched != proxy)
            XSelectInput(display, watched, StructureNotifyMask);
        XFlush(display);
    }

    HWND TopLevelOf(unsigned long window) override
    {
        auto it = windows.find(window);
        return it == windows.end() ? NULL : it->second;
    }

    std::string HostName() override { return host; }
};

std::unique_ptr<X11DragDrop> X11DragDrop::Open(const char* displayName)
{
    auto state = std::make_unique<State>();
    state->display = XOpenDisplay(displayName);
    if (!state->display)
        return nullptr;
    AdoptX11Display(state->display);
    State& s = *state;
    s.proxy = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), -10, -10, 1, 1, 0, 0, 0);
    if (!s.proxy)
        return nullptr;
    XSelectInput(s.display, s.proxy, PropertyChangeMask);
    s.atoms.enter = s.Intern("XdndEnter");
    s.atoms.position = s.Intern("XdndPosition");
    s.atoms.status = s.Intern("XdndStatus");
    s.atoms.leave = s.Intern("XdndLeave");
    s.atoms.drop = s.Intern("XdndDrop");
    s.atoms.finished = s.Intern("XdndFinished");
    s.atoms.uriList = s.Intern("text/uri-list");
    s.atoms.actionCopy = s.Intern("XdndActionCopy");
    s.atoms.actionMove = s.Intern("XdndActionMove");
    s.atoms.actionLink = s.Intern("XdndActionLink");
    s.xdndAware = s.Intern("XdndAware");
    s.xdndProxy = s.Intern("XdndProxy");
    s.xdndTypeList = s.Intern("XdndTypeList");
    s.xdndSelection = s.Intern("XdndSelection");
    s.transfer = s.Intern("THREADWICK_DROP");
    s.incr = s.Intern("INCR");
    // The proxy names itself, as the protocol asks of a proxy that is alive.
    long version = kXdndVersion;
    XChangeProperty(s.display, s.proxy, s.xdndAware, XA_ATOM, 32, PropModeReplace,
        reinterpret_cast<unsigned char*>(&version), 1);
    XChangeProperty(s.display, s.proxy, s.xdndProxy, XA_WINDOW, 32, PropModeReplace,
        reinterpret_cast<unsigned char*>(&s.proxy), 1);
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0)
        s.host = name;
    s.target = std::make_unique<XdndTarget>(s, s.atoms);
    XFlush(s.display);
    return std::unique_ptr<X11DragDrop>(new X11DragDrop(std::move(state)));
}

X11DragDrop::X11DragDrop(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

X11DragDrop::~X11DragDrop() = default;

int X11DragDrop::ConnectionFd() const
{
    return ConnectionNumber(m_state->display);
}

void X11DragDrop::Service()
{
    State& s = *m_state;
    // A drop's read keeps what arrives meanwhile; it is taken in order
    // before anything newer, and is already off the connection, so it is
    // not left for the next time the connection is readable.
    for (;;) {
        XEvent event;
        if (!s.deferred.empty()) {
            event = s.deferred.front();
            s.deferred.pop_front();
        } else if (XPending(s.display) > 0) {
            XNextEvent(s.display, &event);
        } else {
            break;
        }
        s.Dispatch(event);
    }
    XFlush(s.display);
}

void X11DragDrop::AddWindow(unsigned long window, HWND hwnd)
{
    State& s = *m_state;
    if (!window)
        return;
    s.windows[window] = hwnd;
    long version = kXdndVersion;
    XChangeProperty(s.display, window, s.xdndAware, XA_ATOM, 32, PropModeReplace,
        reinterpret_cast<unsigned char*>(&version), 1);
    XChangeProperty(s.display, window, s.xdndProxy, XA_WINDOW, 32, PropModeReplace,
        reinterpret_cast<unsigned char*>(&s.proxy), 1);
    XFlush(s.display);
}

void X11DragDrop::RemoveWindow(unsigned long window)
{
    State& s = *m_state;
    s.windows.erase(window);
    if (s.watched == window)
        s.watched = 0;
}

} // namespace platform
