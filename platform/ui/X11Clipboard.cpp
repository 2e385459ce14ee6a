// The desktop's CLIPBOARD selection through our own Xlib connection. X11's
// headers stay in this file: their macros (None, Bool, Status) and types
// (Window) would clash with the window system's names.

#include "platform/ui/internal/X11Clipboard.h"

#include "platform/imaging/Imaging.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "platform/ui/internal/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

// How long one step of a read (the owner's answer, the next INCR chunk)
// may take before the read is given up, and how long a whole read may take.
constexpr int kStepMilliseconds = 1000;
constexpr int kTransferMilliseconds = 10000;
// An incremental send whose requestor stops taking chunks is dropped.
constexpr int kSendIdleMilliseconds = 5000;
// Largest chunk put in one property; smaller when the server's request
// size (without the big-requests extension) says so.
constexpr size_t kLargestChunk = 256 * 1024;
constexpr size_t kMaxTargets = 1024;

std::string Utf8FromLatin1(const unsigned char* p, size_t n)
{
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < 0x80) {
            out.push_back(char(p[i]));
        } else {
            out.push_back(char(0xC0 | (p[i] >> 6)));
            out.push_back(char(0x80 | (p[i] & 0x3F)));
        }
    }
    return out;
}

// Characters past Latin-1 become '?'.
std::string Latin1FromUtf8(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(char(c));
            ++i;
            continue;
        }
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length == 2 && i + 1 < utf8.size()) {
            unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            out.push_back(code <= 0xFF ? char(code) : '?');
        } else {
            out.push_back('?');
        }
        i += std::min(length, utf8.size() - i);
    }
    return out;
}

struct Outgoing {
    ::Window requestor = 0;
    Atom property = 0;
    Atom type = 0;
    std::shared_ptr<const std::vector<unsigned char>> data;
    size_t sent = 0;
    int64_t lastActivity = 0;
};

} // namespace

struct X11Clipboard::State {
    Display* display = nullptr;
    ::Window window = 0;
    int fixesEvent = 0;
    size_t chunk = kLargestChunk;

    Atom clipboard = 0, targets = 0, timestamp = 0, incr = 0, utf8String = 0, textAtom = 0, textPlainUtf8 = 0,
          png = 0, bmp = 0, xBmp = 0, jpeg = 0, transfer = 0, stamp = 0;

    // What we offer while we own the selection.
    bool owned = false;
    Time ownedSince = 0;
    std::string text;
    ClipboardPngSource picture;
    std::shared_ptr<const std::vector<unsigned char>> encodedPng;
    bool encodeFailed = false;
    std::vector<Outgoing> sending;

    // Another program's offer, read once per owner.
    uint64_t epoch = 0; // counts owners that were not us
    ::Window otherOwner = 0;
    uint64_t targetsEpoch = 0; // the epoch `offered` was read in
    std::vector<Atom> offered;
    uint64_t textEpoch = 0;
    std::string otherText;

    ~State()
    {
        if (display) {
            if (window)
                XDestroyWindow(display, window);
            XCloseDisplay(display);
            ReleaseX11Display(display);
        }
    }

    Atom Intern(const char* name) { return XInternAtom(display, name, False); }

    void Dispatch(XEvent& event);
    void AnswerRequest(const XSelectionRequestEvent& request);
    bool SendData(::Window requestor, Atom property, Atom type, std::shared_ptr<const std::vector<unsigned char>> data);
    void ContinueSend(const XPropertyEvent& event);
    void DropIdleSends();
    bool ServerTime(Time& time);

    // Waits for an event of our window that `match` takes, answering
    // everything else that arrives; false after `milliseconds` without one.
    template <typename Match>
    bool WaitFor(XEvent& found, int milliseconds, Match match);
    // Reads another owner's selection as `target`; false when refused,
    // timed out or larger than `limit`.
    bool Read(Atom target, size_t limit, Atom& type, std::vector<unsigned char>& bytes);
    bool ReadProperty(size_t limit, Atom& type, int& format, std::vector<unsigned char>& bytes, bool& incr);
    void ReadTargets();
};

void X11Clipboard::State::Dispatch(XEvent& event)
{
    if (event.type == fixesEvent + XFixesSelectionNotify) {
        const auto& notice = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
        if (notice.selection == clipboard && (notice.owner != window || notice.owner == 0)) {
            // A notice that was on its way while we took the selection back
            // is about an owner that is gone.
            if (owned && XGetSelectionOwner(display, clipboard) == window)
                return;
            // A new owner (even the same program copying again) is a new offer.
            owned = false;
            ++epoch;
            otherOwner = notice.owner;
        }
        return;
    }
    switch (event.type) {
    case SelectionRequest:
        AnswerRequest(event.xselectionrequest);
        break;
    case SelectionClear:
        if (event.xselectionclear.selection == clipboard && event.xselectionclear.window == window
            && XGetSelectionOwner(display, clipboard) != window)
            owned = false;
        break;
    case PropertyNotify:
        if (event.xproperty.state == PropertyDelete)
            ContinueSend(event.xproperty);
        break;
    default:
        break;
    }
}

bool X11Clipboard::State::SendData(::Window requestor, Atom property, Atom type,
    std::shared_ptr<const std::vector<unsigned char>> data)
{
    if (data->size() <= chunk) {
        XChangeProperty(display, requestor, property, type, 8, PropModeReplace, data->data(), int(data->size()));
        return true;
    }
    // Too large for one request: announce the size, then give a chunk each
    // time the requestor deletes the property.
    long size = long(data->size());
    XSelectInput(display, requestor, PropertyChangeMask);
    XChangeProperty(
        display, requestor, property, incr, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
    sending.push_back(Outgoing{requestor, property, type, std::move(data), 0, X11NowMilliseconds()});
    return true;
}

void X11Clipboard::State::ContinueSend(const XPropertyEvent& event)
{
    auto it = std::find_if(sending.begin(), sending.end(),
        [&](const Outgoing& o) { return o.requestor == event.window && o.property == event.atom; });
    if (it == sending.end())
        return;
    const size_t n = std::min(chunk, it->data->size() - it->sent);
    XChangeProperty(display, it->requestor, it->property, it->type, 8, PropModeReplace, it->data->data() + it->sent,
        int(n));
    it->sent += n;
    it->lastActivity = X11NowMilliseconds();
    // The zero-length chunk that ends the transfer has just gone.
    if (n == 0) {
        ::Window requestor = it->requestor;
        sending.erase(it);
        const bool more = std::any_of(
            sending.begin(), sending.end(), [&](const Outgoing& o) { return o.requestor == requestor; });
        if (!more)
            XSelectInput(display, requestor, NoEventMask);
    }
}

void X11Clipboard::State::DropIdleSends()
{
    const int64_t now = X11NowMilliseconds();
    for (auto it = sending.begin(); it != sending.end();) {
        if (now - it->lastActivity > kSendIdleMilliseconds) {
            XSelectInput(display, it->requestor, NoEventMask);
            it = sending.erase(it);
        } else {
            ++it;
        }
    }
}

void X11Clipboard::State::AnswerRequest(const XSelectionRequestEvent& request)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = 0;
    // Obsolete requestors name no property: the target is the property.
    const Atom property = request.property ? request.property : request.target;
    const bool ours = owned && request.selection == clipboard && request.owner == window
        && (request.time == CurrentTime || request.time >= ownedSince);
    const Atom target = request.target;
    // A picture without text offers no text: a program that prefers text
    // would otherwise paste nothing. With neither, the empty text stands so
    // that nothing older is pasted.
    const bool offersText = !text.empty() || !picture;
    const bool isText = target == utf8String || target == textPlainUtf8 || target == textAtom || target == XA_STRING;
    if (!ours) {
        // refused: property stays None
    } else if (target == targets) {
        std::vector<Atom> list{targets, timestamp};
        if (offersText)
            list.insert(list.end(), {utf8String, textPlainUtf8, XA_STRING, textAtom});
        if (picture)
            list.push_back(png);
        XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
            reinterpret_cast<unsigned char*>(list.data()), int(list.size()));
        reply.property = property;
    } else if (target == timestamp) {
        long value = long(ownedSince);
        XChangeProperty(display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
            reinterpret_cast<unsigned char*>(&value), 1);
        reply.property = property;
    } else if (isText && offersText) {
        const bool latin1 = target == XA_STRING;
        auto data = std::make_shared<std::vector<unsigned char>>();
        std::string bytes = latin1 ? Latin1FromUtf8(text) : text;
        data->assign(bytes.begin(), bytes.end());
        const Atom type = latin1 ? XA_STRING : target == textPlainUtf8 ? textPlainUtf8 : utf8String;
        if (SendData(request.requestor, property, type, std::move(data)))
            reply.property = property;
    } else if (target == png && picture) {
        if (!encodedPng && !encodeFailed) {
            auto bytes = std::make_shared<std::vector<unsigned char>>();
            if (picture(*bytes) && !bytes->empty())
                encodedPng = std::move(bytes);
            else
                encodeFailed = true;
        }
        if (encodedPng && SendData(request.requestor, property, png, encodedPng))
            reply.property = property;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
}

bool X11Clipboard::State::ServerTime(Time& time)
{
    // A zero-length append to our own window's property makes the server
    // report its current time.
    unsigned char nothing = 0;
    XChangeProperty(display, window, stamp, XA_STRING, 8, PropModeAppend, &nothing, 0);
    XEvent event;
    if (!WaitFor(event, kStepMilliseconds,
            [&](const XEvent& e) { return e.type == PropertyNotify && e.xproperty.atom == stamp; }))
        return false;
    time = event.xproperty.time;
    return true;
}

template <typename Match>
bool X11Clipboard::State::WaitFor(XEvent& found, int milliseconds, Match match)
{
    return WaitForX11Event(
        display, found, milliseconds, [&](const XEvent& event) { return event.xany.window == window && match(event); },
        [this](XEvent& event) { Dispatch(event); });
}

bool X11Clipboard::State::ReadProperty(size_t limit, Atom& type, int& format, std::vector<unsigned char>& bytes,
    bool& isIncr)
{
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const long longs = long(std::min<size_t>(limit / 4 + 1, 0x3FFFFFFF));
    if (XGetWindowProperty(display, window, transfer, 0, longs, True, AnyPropertyType, &actualType, &actualFormat,
            &items, &after, &data)
            != Success) {
        return false;
    }
    bool ok = true;
    isIncr = actualType == incr;
    if (after != 0) {
        ok = false; // more than the limit
    } else if (!isIncr && data && items > 0) {
        // Xlib hands 32-bit items over as longs.
        const size_t unit = actualFormat == 8 ? 1 : actualFormat == 16 ? sizeof(short) : sizeof(long);
        if (items > limit / unit) {
            ok = false;
        } else {
            const size_t n = items * unit;
            bytes.insert(bytes.end(), data, data + n);
        }
    }
    type = actualType;
    format = actualFormat;
    if (data)
        XFree(data);
    return ok;
}

bool X11Clipboard::State::Read(Atom target, size_t limit, Atom& type, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    XDeleteProperty(display, window, transfer);
    XConvertSelection(display, clipboard, target, transfer, window, CurrentTime);
    XEvent event;
    if (!WaitFor(event, kStepMilliseconds, [&](const XEvent& e) {
            return e.type == SelectionNotify && e.xselection.selection == clipboard && e.xselection.target == target;
        })) {
        return false;
    }
    if (event.xselection.property == 0)
        return false;
    int format = 0;
    bool isIncr = false;
    if (!ReadProperty(limit, type, format, bytes, isIncr))
        return false;
    if (!isIncr)
        return true;
    // Incremental: deleting the property (done by the read) asks for the
    // first chunk; each chunk arrives as a new value; an empty one ends it.
    bytes.clear();
    const int64_t deadline = X11NowMilliseconds() + kTransferMilliseconds;
    for (;;) {
        if (!WaitFor(event, kStepMilliseconds, [&](const XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.atom == transfer
                    && e.xproperty.state == PropertyNewValue;
            })) {
            return false;
        }
        std::vector<unsigned char> chunk;
        if (!ReadProperty(limit - bytes.size(), type, format, chunk, isIncr) || isIncr)
            return false;
        if (chunk.empty())
            return true;
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        if (X11NowMilliseconds() > deadline)
            return false;
    }
}

void X11Clipboard::State::ReadTargets()
{
    if (targetsEpoch == epoch)
        return;
    targetsEpoch = epoch;
    offered.clear();
    if (!otherOwner)
        return;
    Atom type = 0;
    std::vector<unsigned char> bytes;
    if (!Read(targets, kMaxTargets * sizeof(long), type, bytes) || type != XA_ATOM)
        return;
    const size_t n = bytes.size() / sizeof(long);
    for (size_t i = 0; i < n; ++i) {
        long atom = 0;
        std::memcpy(&atom, bytes.data() + i * sizeof(long), sizeof atom);
        offered.push_back(Atom(atom));
    }
}

std::unique_ptr<X11Clipboard> X11Clipboard::Open(const char* displayName)
{
    auto state = std::make_unique<State>();
    state->display = XOpenDisplay(displayName);
    if (!state->display)
        return nullptr;
    int errorBase = 0;
    if (!XFixesQueryExtension(state->display, &state->fixesEvent, &errorBase))
        return nullptr;
    AdoptX11Display(state->display);
    State& s = *state;
    s.window = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), -10, -10, 1, 1, 0, 0, 0);
    if (!s.window)
        return nullptr;
    XSelectInput(s.display, s.window, PropertyChangeMask);
    const size_t requestBytes = size_t(XMaxRequestSize(s.display)) * 4;
    if (requestBytes > 4096)
        s.chunk = std::min(kLargestChunk, requestBytes - 1024);
    s.clipboard = s.Intern("CLIPBOARD");
    s.targets = s.Intern("TARGETS");
    s.timestamp = s.Intern("TIMESTAMP");
    s.incr = s.Intern("INCR");
    s.utf8String = s.Intern("UTF8_STRING");
    s.textAtom = s.Intern("TEXT");
    s.textPlainUtf8 = s.Intern("text/plain;charset=utf-8");
    s.png = s.Intern("image/png");
    s.bmp = s.Intern("image/bmp");
    s.xBmp = s.Intern("image/x-bmp");
    s.jpeg = s.Intern("image/jpeg");
    s.transfer = s.Intern("THREADWICK_CLIPBOARD");
    s.stamp = s.Intern("THREADWICK_TIMESTAMP");
    XFixesSelectSelectionInput(s.display, s.window, s.clipboard,
        XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask
            | XFixesSelectionClientCloseNotifyMask);
    s.otherOwner = XGetSelectionOwner(s.display, s.clipboard);
    s.epoch = 1;
    XFlush(s.display);
    return std::unique_ptr<X11Clipboard>(new X11Clipboard(std::move(state)));
}

X11Clipboard::X11Clipboard(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

X11Clipboard::~X11Clipboard() = default;

int X11Clipboard::ConnectionFd() const
{
    return ConnectionNumber(m_state->display);
}

void X11Clipboard::Service()
{
    State& s = *m_state;
    while (XPending(s.display) > 0) {
        XEvent event;
        XNextEvent(s.display, &event);
        s.Dispatch(event);
    }
    if (!s.sending.empty())
        s.DropIdleSends();
    XFlush(s.display);
}

bool X11Clipboard::Offer(const std::string& utf8, ClipboardPngSource picture)
{
    State& s = *m_state;
    Service();
    s.text = utf8;
    s.picture = std::move(picture);
    s.encodedPng.reset();
    s.encodeFailed = false;
    Time now = CurrentTime;
    if (!s.ServerTime(now))
        now = CurrentTime;
    XSetSelectionOwner(s.display, s.clipboard, s.window, now);
    s.owned = XGetSelectionOwner(s.display, s.clipboard) == s.window;
    s.ownedSince = now;
    if (s.owned)
        s.otherOwner = 0;
    Service();
    return s.owned;
}

bool X11Clipboard::GetText(std::string& utf8)
{
    State& s = *m_state;
    Service();
    if (s.owned) {
        utf8 = s.text;
        return true;
    }
    if (!s.otherOwner)
        return false;
    if (s.textEpoch != s.epoch) {
        s.ReadTargets();
        s.textEpoch = s.epoch;
        s.otherText.clear();
        auto has = [&](Atom a) { return std::find(s.offered.begin(), s.offered.end(), a) != s.offered.end(); };
        Atom type = 0;
        std::vector<unsigned char> bytes;
        if (has(s.utf8String) && s.Read(s.utf8String, kMaxDesktopClipboardText, type, bytes))
            s.otherText.assign(bytes.begin(), bytes.end());
        else if (has(s.textPlainUtf8) && s.Read(s.textPlainUtf8, kMaxDesktopClipboardText, type, bytes))
            s.otherText.assign(bytes.begin(), bytes.end());
        else if (has(XA_STRING) && s.Read(XA_STRING, kMaxDesktopClipboardText, type, bytes))
            s.otherText = Utf8FromLatin1(bytes.data(), bytes.size());
        Service();
    }
    utf8 = s.otherText;
    return true;
}

uint64_t X11Clipboard::PictureSerial()
{
    State& s = *m_state;
    Service();
    if (s.owned || !s.otherOwner)
        return 0;
    s.ReadTargets();
    Service();
    for (Atom a : {s.png, s.bmp, s.xBmp, s.jpeg})
        if (std::find(s.offered.begin(), s.offered.end(), a) != s.offered.end())
            return s.epoch;
    return 0;
}

bool X11Clipboard::GetPicture(std::string& mime, std::vector<unsigned char>& bytes)
{
    State& s = *m_state;
    bytes.clear();
    if (PictureSerial() == 0)
        return false;
    const std::pair<Atom, const char*> kinds[] = {
        {s.png, "image/png"}, {s.bmp, "image/bmp"}, {s.xBmp, "image/bmp"}, {s.jpeg, "image/jpeg"}};
    for (const auto& [atom, name] : kinds) {
        if (std::find(s.offered.begin(), s.offered.end(), atom) == s.offered.end())
            continue;
        Atom type = 0;
        const bool read = s.Read(atom, size_t(LT_MAX_FILE_BYTES), type, bytes);
        Service();
        if (read && !bytes.empty()) {
            mime = name;
            return true;
        }
        bytes.clear();
    }
    return false;
}

} // namespace platform
