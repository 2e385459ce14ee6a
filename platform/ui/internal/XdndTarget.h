#pragma once
// The X drag-and-drop protocol (versions 3 to 5) from the target's side,
// without Xlib: the client messages another program sends while it drags
// over our windows, the answers it gets, and the files it drops. The X11
// code (X11DragDrop.cpp) carries the messages; tests and the fuzz target
// play them directly.
//
// XdndEnter names the types offered (the first three, or the source's
// XdndTypeList). Each XdndPosition asks the window under the pointer (see
// DragTarget.h) with the keys held and answers XdndStatus: accepted or not
// and the action. XdndLeave, or the source window going away, ends the
// drag there. XdndDrop reads the selection as text/uri-list, gives the
// local files to the window and answers XdndFinished.
//
// The source's action stands for the keys its user holds (Ctrl copies,
// Shift moves, both link); where the desktop reports no keys, the action
// is turned into those keys, so the window answers as it does to the same
// keys in a drag of its own. The answer is the action asked for when the
// window's effect has it, else a copy (which every source allows). The
// finished drop always reports a copy: the files are read where they are
// and a source must never delete them because of us.
//
// Everything from the other program is untrusted: messages from a source
// that is not the one dragging, in the wrong order or with nonsense fields
// are ignored; type lists, the URI list and the files in it are bounded.

#include "platform/base/Types.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The protocol version we speak (XdndAware) and the oldest we take.
constexpr long kXdndVersion = 5;
constexpr long kXdndOldestVersion = 3;
constexpr size_t kMaxXdndTypes = 256;
constexpr size_t kMaxXdndUriListBytes = 1 << 20;
constexpr size_t kMaxXdndFiles = 1000;
constexpr size_t kMaxXdndPathBytes = 4096;

// The local files of a text/uri-list (Linux paths, UTF-8 as the names
// are): file URIs of this host ("", "localhost" or `hostName`), %-escapes
// decoded. Comments, other schemes, other hosts, bad escapes, escaped zero
// bytes and relative or overlong paths are left out; at most kMaxXdndFiles.
std::vector<std::string> LocalPathsFromUriList(std::string_view list, std::string_view hostName);

// The atoms the messages use, as the server numbers them.
struct XdndAtoms {
    unsigned long enter = 0, position = 0, status = 0, leave = 0, drop = 0, finished = 0;
    unsigned long uriList = 0;
    unsigned long actionCopy = 0, actionMove = 0, actionLink = 0;
};

// What the protocol needs of the X side.
class XdndPeer {
public:
    virtual ~XdndPeer() = default;
    // The source's XdndTypeList, at most `limit` atoms.
    virtual std::vector<unsigned long> TypeList(unsigned long source, size_t limit) = 0;
    // A client message of `type` to the source window.
    virtual void Send(unsigned long source, unsigned long type, const long data[5]) = 0;
    // The selection as text/uri-list, asked with the drop's time; false
    // when refused, late or larger than kMaxXdndUriListBytes.
    virtual bool FetchUriList(unsigned long time, std::string& bytes) = 0;
    // The MK_ bits of the keys and buttons the desktop says are held.
    virtual DWORD KeysHeld() = 0;
    // Report the source window's end (XdndTarget::OnSourceGone); 0: none.
    virtual void WatchSource(unsigned long source) = 0;
    // Our top-level window shown as this X window; NULL for any other.
    virtual HWND TopLevelOf(unsigned long window) = 0;
    virtual std::string HostName() = 0;
};

class XdndTarget {
public:
    XdndTarget(XdndPeer& peer, const XdndAtoms& atoms);
    ~XdndTarget();
    XdndTarget(const XdndTarget&) = delete;
    XdndTarget& operator=(const XdndTarget&) = delete;

    // A client message to one of our windows (or the proxy) of `type`.
    void OnClientMessage(unsigned long window, unsigned long type, const long data[5]);
    // A window went away; when it was the source, the drag ends here.
    void OnSourceGone(unsigned long window);
    // Ends a drag in progress as if the source left (shutting down).
    void Abandon();

    bool Dragging() const { return m_source != 0; }
    unsigned long Source() const { return m_source; }

private:
    void Enter(unsigned long window, const long data[5]);
    void Position(unsigned long window, const long data[5]);
    void Drop(unsigned long window, const long data[5]);
    void LeaveSite();
    void Reset();
    void Answer(bool accept, unsigned long action);
    void Finish(bool accepted);
    DWORD Keys(unsigned long action);
    unsigned long ActionFor(DWORD effect) const;

    XdndPeer& m_peer;
    XdndAtoms m_atoms;
    bool m_busy = false; // inside a window's callback or a read
    unsigned long m_source = 0;
    unsigned long m_window = 0; // the window the source addresses (ours or the proxy)
    long m_version = 0;
    bool m_offersFiles = false;
    unsigned long m_action = 0; // what the source asked last
    POINT m_point{0, 0};
    bool m_positioned = false;
    HWND m_site = NULL; // the window answering, or NULL
    bool m_siteHasTarget = false;
    DWORD m_effect = 0; // its last answer
};

} // namespace platform
