// Another program dragging files over the screen with the X drag-and-drop
// protocol, for the drop roads: it drags one file's URI over the points it
// is told and reports each answer, then drops and reports the finish.
//
// Usage: e2e_xdnd_source <display> <file> <step>...
//   over X Y copy|move|link   the pointer at root X, Y asking that action;
//                             prints "status X Y <accepted 0|1> <action>"
//   leave                     prints "left"
//   drop                      prints "finished <accepted 0|1> <action>"
// The pointer itself does not move: the protocol carries the point. The
// top-level window under the point is found as a source finds it, its
// XdndProxy followed. Each answer is awaited at most five seconds
// ("status X Y none", "finished none" when none came). Exit 0 when every
// step was sent, 2 on bad arguments, 3 when the display cannot be opened.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <time.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kAnswerMilliseconds = 5000;

struct Source {
    Display* display = nullptr;
    ::Window self = 0;
    ::Window target = 0; // the top-level window entered
    ::Window sendTo = 0; // it, or its proxy
    Atom enter = 0, position = 0, status = 0, leave = 0, drop = 0, finished = 0, aware = 0, proxy = 0,
         selection = 0, uriList = 0, textPlain = 0, copy = 0, move = 0, link = 0;
    std::string uris;
    Time lastTime = CurrentTime;
};

long long Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

std::string Escaped(const std::string& path)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/-_.~", c)) {
            out.push_back(char(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

::Window WindowProperty(Source& s, ::Window w, Atom property)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    ::Window found = 0;
    if (XGetWindowProperty(s.display, w, property, 0, 1, False, XA_WINDOW, &type, &format, &items, &after, &data)
            == Success
        && data) {
        if (type == XA_WINDOW && format == 32 && items == 1)
            found = *reinterpret_cast<::Window*>(data);
        XFree(data);
    }
    return found;
}

long Version(Source& s, ::Window w)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long version = -1;
    if (XGetWindowProperty(s.display, w, s.aware, 0, 1, False, XA_ATOM, &type, &format, &items, &after, &data)
            == Success
        && data) {
        if (format == 32 && items == 1)
            version = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return version;
}

void Send(Source& s, Atom type, long l0, long l1, long l2, long l3, long l4)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.display = s.display;
    e.xclient.window = s.target;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = l0;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(s.display, s.sendTo, False, NoEventMask, &e);
    XFlush(s.display);
}

void AnswerRequest(Source& s, const XSelectionRequestEvent& request)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = 0;
    if (request.selection == s.selection && request.target == s.uriList && request.property) {
        XChangeProperty(s.display, request.requestor, request.property, s.uriList, 8, PropModeReplace,
            reinterpret_cast<const unsigned char*>(s.uris.data()), int(s.uris.size()));
        reply.property = request.property;
    }
    XSendEvent(s.display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(s.display);
}

// Waits for a client message of `type` to us, answering selection requests
// meanwhile; false after the wait.
bool Await(Source& s, Atom type, XClientMessageEvent& found)
{
    const long long deadline = Now() + kAnswerMilliseconds;
    for (;;) {
        while (XPending(s.display) > 0) {
            XEvent e;
            XNextEvent(s.display, &e);
            if (e.type == SelectionRequest) {
                AnswerRequest(s, e.xselectionrequest);
            } else if (e.type == ClientMessage && e.xclient.message_type == type) {
                found = e.xclient;
                return true;
            }
        }
        const long long left = deadline - Now();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(s.display), POLLIN, 0};
        poll(&fd, 1, int(left));
    }
}

const char* ActionName(Source& s, long action)
{
    if (action == 0)
        return "none";
    if (Atom(action) == s.copy)
        return "copy";
    if (Atom(action) == s.move)
        return "move";
    if (Atom(action) == s.link)
        return "link";
    return "other";
}

// The top-level window under the root point, entered (with a leave from
// the last one) when it is not the one entered already.
bool EnterAt(Source& s, int x, int y)
{
    ::Window root = DefaultRootWindow(s.display);
    ::Window child = 0;
    int wx = 0, wy = 0;
    XTranslateCoordinates(s.display, root, root, x, y, &wx, &wy, &child);
    if (child == s.target && child)
        return true;
    if (s.target)
        Send(s, s.leave, long(s.self), 0, 0, 0, 0);
    s.target = 0;
    if (!child || Version(s, child) < 3)
        return false;
    s.target = child;
    s.sendTo = child;
    const ::Window proxy = WindowProperty(s, child, s.proxy);
    if (proxy && WindowProperty(s, proxy, s.proxy) == proxy)
        s.sendTo = proxy;
    Send(s, s.enter, long(s.self), 5L << 24, long(s.uriList), long(s.textPlain), 0);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    Source s;
    s.display = XOpenDisplay(argv[1]);
    if (!s.display)
        return 3;
    const std::string path = argv[2];
    s.uris = "file://" + Escaped(path) + "\r\n";
    auto intern = [&](const char* name) { return XInternAtom(s.display, name, False); };
    s.enter = intern("XdndEnter");
    s.position = intern("XdndPosition");
    s.status = intern("XdndStatus");
    s.leave = intern("XdndLeave");
    s.drop = intern("XdndDrop");
    s.finished = intern("XdndFinished");
    s.aware = intern("XdndAware");
    s.proxy = intern("XdndProxy");
    s.selection = intern("XdndSelection");
    s.uriList = intern("text/uri-list");
    s.textPlain = intern("text/plain");
    s.copy = intern("XdndActionCopy");
    s.move = intern("XdndActionMove");
    s.link = intern("XdndActionLink");
    s.self = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), -20, -20, 1, 1, 0, 0, 0);
    XSetSelectionOwner(s.display, s.selection, s.self, CurrentTime);
    XFlush(s.display);

    int x = 0, y = 0;
    for (int i = 3; i < argc; ++i) {
        const std::string step = argv[i];
        if (step == "over" && i + 3 < argc) {
            x = std::atoi(argv[i + 1]);
            y = std::atoi(argv[i + 2]);
            const std::string action = argv[i + 3];
            i += 3;
            const Atom asked = action == "move" ? s.move : action == "link" ? s.link : s.copy;
            if (!EnterAt(s, x, y)) {
                std::printf("status %d %d none\n", x, y);
                continue;
            }
            Send(s, s.position, long(s.self), 0, long(x) << 16 | y, CurrentTime, long(asked));
            XClientMessageEvent answer{};
            if (Await(s, s.status, answer))
                std::printf("status %d %d %ld %s\n", x, y, answer.data.l[1] & 1, ActionName(s, answer.data.l[4]));
            else
                std::printf("status %d %d none\n", x, y);
        } else if (step == "leave") {
            if (s.target)
                Send(s, s.leave, long(s.self), 0, 0, 0, 0);
            s.target = 0;
            std::printf("left\n");
        } else if (step == "drop") {
            if (!s.target) {
                std::printf("finished none\n");
                continue;
            }
            Send(s, s.drop, long(s.self), 0, CurrentTime, 0, 0);
            XClientMessageEvent answer{};
            if (Await(s, s.finished, answer))
                std::printf("finished %ld %s\n", answer.data.l[1] & 1, ActionName(s, answer.data.l[2]));
            else
                std::printf("finished none\n");
            s.target = 0;
        } else {
            return 2;
        }
        std::fflush(stdout);
    }
    XCloseDisplay(s.display);
    return 0;
}
