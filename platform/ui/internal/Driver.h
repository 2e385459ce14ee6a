#pragma once
// The back end: what differs between a real display and none. The window
// system draws everything into memory first; a driver only shows top-level
// surfaces, turns outside events into calls of the input code
// (InputEvents.h) or window-system calls, and answers a few questions about
// the screen, cursor, clipboard text and message boxes.
//
// Exactly one driver exists, chosen on first use by THREADWICK_BACKEND
// ("sdl" or "headless"; without it: sdl when a display is reachable, else
// headless). An unknown name, or sdl without a display, stops the program
// with a message saying so.

#include "platform/base/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct PixelBuffer;

// What a driver needs to know about a top-level window.
struct SurfaceInfo {
    RECT windowRect{}; // screen coordinates, frame included
    bool visible = false;
    bool popup = false; // WS_POPUP: no decoration by the desktop
    HWND owner = NULL;
    std::string title; // UTF-8
};

// A cursor to show: a system cursor (IDC_* number) or an image.
struct CursorShape {
    int systemId = 0; // 32512 (IDC_ARROW) .. 32651; 0 when `image` is set
    const PixelBuffer* image = nullptr; // 0x00RRGGBB pixels
    const PixelBuffer* mask = nullptr; // white where transparent, or null
    POINT hotSpot{0, 0};
    bool hidden = false; // ShowCursor count below 0
};

// Encodes what the program put on the clipboard as PNG, when another
// program asks for it; false when there is nothing to give.
using ClipboardPngSource = std::function<bool(std::vector<unsigned char>& png)>;

class Driver {
public:
    virtual ~Driver() = default;
    virtual const char* Name() const = 0;

    virtual void CreateSurface(HWND hwnd, const SurfaceInfo& info) = 0;
    virtual void UpdateSurface(HWND hwnd, const SurfaceInfo& info) = 0;
    virtual void DestroySurface(HWND hwnd) = 0;
    // `dirty` is in window coordinates; the buffer is the whole window.
    virtual void Present(HWND hwnd, const PixelBuffer& pixels, const RECT& dirty) = 0;

    // Hands every pending outside event to the window system; true when
    // there was one.
    virtual bool PollEvents() = 0;
    // Blocks until an outside event may be pending or `milliseconds` passed
    // (INFINITE: no limit). Returns false when nothing can ever arrive (a
    // headless driver with no idle handler and no timer), so that the
    // caller can end the loop instead of hanging.
    virtual bool WaitEvents(DWORD milliseconds) = 0;

    virtual void SetCursorShape(const CursorShape& shape) = 0;
    virtual POINT CursorPos() = 0;
    virtual void SetCursorPos(POINT screen) = 0;
    virtual void SetMouseCapture(bool captured) = 0;

    virtual bool SetClipboardText(const std::string& utf8) = 0;
    virtual bool GetClipboardText(std::string& utf8) = 0;
    // Offers the desktop text and, when `picture` is set, image/png, which
    // `picture` encodes only when another program asks for it. A driver
    // that carries text only offers the text.
    virtual bool SetClipboardContents(const std::string& utf8, ClipboardPngSource picture)
    {
        (void)picture;
        return SetClipboardText(utf8);
    }
    // Names the picture another program offers: the number changes each
    // time another program copies, and is 0 while none offers a picture
    // (or the desktop's clipboard is ours). The bytes are read only for a
    // number the caller has not seen.
    virtual uint64_t ClipboardPictureSerial() { return 0; }
    // That picture's file bytes and MIME type (image/png, image/bmp,
    // image/jpeg), at most LT_MAX_FILE_BYTES; false when it cannot be read.
    virtual bool GetClipboardPicture(std::string& mime, std::vector<unsigned char>& bytes)
    {
        (void)mime;
        (void)bytes;
        return false;
    }

    virtual SIZE ScreenSize() = 0;
    // An ID* answer, or 0 when the driver cannot show one (the window system
    // then answers the default button).
    virtual int ShowMessageBox(HWND owner, const std::string& textUtf8, const std::string& captionUtf8, UINT type) = 0;
    virtual void Beep() { }
    // Puts a top-level window's surface in front of the desktop's other
    // windows with the keyboard (SetForegroundWindow).
    virtual void BringSurfaceToFront(HWND) { }
};

// The driver, chosen and opened on first use.
Driver& GetDriver();
// Whether a driver has been chosen (without choosing one).
bool HasDriver();
// Replaces the driver (tests, and the back ends' own tests); null goes back
// to choosing on next use. Surfaces of existing windows are not moved over.
void SetDriver(std::unique_ptr<Driver> driver);
// The choice rule above, without opening anything: "sdl" or "headless", or
// empty with `error` set for an unknown name.
std::string ChooseBackendName(const char* requested, bool displayReachable, std::string& error);

// Made by the back-end files (Sdl*.cpp, HeadlessDriver.cpp). The SDL
// factory answers null with `error` set when it cannot open a display.
std::unique_ptr<Driver> CreateHeadlessDriver();
std::unique_ptr<Driver> CreateSdlDriver(std::string& error);
// Whether an X11 or Wayland display is named in the environment (Driver.cpp).
bool DisplayReachable();

// The session is ending (the desktop says so, or a signal): every top-level
// window is asked with WM_QUERYENDSESSION and may refuse; then the main
// window (SetInstanceMainWindow's, else `fallbackMain`) gets WM_CLOSE, or
// the loop WM_QUIT when there is none (EndSession.cpp).
void RequestEndSession(HWND fallbackMain);

// Outside file descriptors the loop watches while it waits (the
// single-instance channel); `readable` runs on the user-interface thread
// from inside the loop. Drivers poll these in WaitEvents.
struct WatchedDescriptor {
    int fd = -1;
    std::function<void()> readable;
};
void WatchDescriptor(int fd, std::function<void()> readable);
void UnwatchDescriptor(int fd);
const std::vector<WatchedDescriptor>& WatchedDescriptors();
// poll()s the watched descriptors for up to `milliseconds` and runs the
// callbacks of the readable ones; true when one ran.
bool PollWatchedDescriptors(int milliseconds);

} // namespace platform
