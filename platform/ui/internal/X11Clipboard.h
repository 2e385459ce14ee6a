#pragma once
// The desktop's CLIPBOARD selection on X11 (XWayland too), which SDL carries
// as text only. It keeps its own Xlib connection and an unmapped window that
// owns the selection while the program's clipboard is the desktop's: it
// answers TARGETS, TIMESTAMP, text (UTF8_STRING, text/plain;charset=utf-8,
// STRING, TEXT) and image/png, the picture encoded only when asked and sent
// incrementally (INCR) when it is larger than one request. Another program's
// offer is read on demand, each wait at most a second, and read again only
// after XFixes reports a new owner.
//
// The driver that makes it owns it and calls Service() whenever the
// connection is readable (its descriptor is watched by the loop). Everything
// runs on the user-interface thread. A requestor that goes away mid-transfer,
// or an owner that answers with nonsense, costs a dropped transfer, never
// the program: X errors on this connection are ignored.

#include "platform/ui/internal/Driver.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class X11Clipboard {
public:
    // Opens a connection to `displayName` (null: $DISPLAY); null when no X
    // server answers there or it lacks XFixes.
    static std::unique_ptr<X11Clipboard> Open(const char* displayName);
    ~X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    int ConnectionFd() const;
    // Answers every request and notice that arrived; never blocks.
    void Service();

    // Takes the selection with this text and, when `picture` is set,
    // image/png. False when the server did not give it to us.
    bool Offer(const std::string& utf8, ClipboardPngSource picture);

    // Another program's text as UTF-8 ("" when it offers none); false when
    // nobody owns the selection or it is ours. Read once per owner.
    bool GetText(std::string& utf8);
    // Driver::ClipboardPictureSerial and GetClipboardPicture.
    uint64_t PictureSerial();
    bool GetPicture(std::string& mime, std::vector<unsigned char>& bytes);

    struct State;

private:
    explicit X11Clipboard(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace platform
