#pragma once
// The headless back end as tests see it: no display, everything in memory
// and deterministic. Reset() makes it the back end and empties the window
// system; the rest injects what a user or the desktop would do and reads
// back what the program showed.

#include "platform/base/Types.h"

#include <functional>
#include <string>
#include <vector>

namespace platform::headless {

// The headless driver becomes the back end; every window is destroyed,
// queue, timers, input state (keys held too), the clipboard and registered
// classes are cleared, the screen is 1024 x 768 x 32 again.
void Reset();

void SetScreen(int width, int height, int bitsPixel = 32);

// Called when the loop would wait with nothing to do; it may inject input
// or post messages and answers whether it did. Without one (or when it did
// nothing) a loop that could wait forever gets WM_QUIT instead of hanging.
void SetIdleHandler(std::function<bool()> handler);

// Called after each frame of a top-level window is presented.
void SetPresentHandler(std::function<void(HWND)> handler);

// Input, in screen coordinates; the same path as real input.
void MoveMouse(int x, int y);
void PressMouse(int button, int x, int y); // 0 left, 1 right, 2 middle
void ReleaseMouse(int button, int x, int y);
void Click(int x, int y);
// The keyboard has the US layout: `character` 0 types what the key types
// there with the keys held; another value is what a different layout made
// of the key.
void KeyDown(UINT vk, BYTE character = 0);
void KeyUp(UINT vk);
// Down and up; letters and digits type themselves, with Shift when
// `character` is upper case.
void TypeKey(UINT vk, BYTE character = 0);
void TypeText(const std::string& windows1252);
// Down and up of a key of the numeric keypad: VK_NUMPAD0..9 as with NumLock
// on, or with it off the navigation key it sends there (VK_END for 1,
// VK_CLEAR for 5), delivered as the keypad's copy (not extended).
void TypeKeypadKey(UINT vk);
void DropFiles(HWND topLevel, const std::vector<std::string>& linuxPaths, int x, int y);

void SetCursorPosition(int x, int y);
POINT CursorPosition();

// The desktop clipboard's text (UTF-8). Setting it is another program
// copying text: a picture offered before is gone.
void SetClipboardText(const std::string& utf8);
std::string ClipboardText();
// Another program copies a picture: file bytes of the MIME type (image/png,
// image/bmp, image/jpeg), with `textUtf8` as the desktop's text beside it.
// The bytes are handed over as they are, damaged or not.
void SetClipboardPicture(const std::string& mime, std::vector<unsigned char> bytes, const std::string& textUtf8 = "");
// The picture the program offers the desktop, encoded as PNG now; false
// when its clipboard offers none or it cannot be encoded.
bool ClipboardPicturePng(std::vector<unsigned char>& png);

// Message boxes answer these in order, then the default button.
void PushMessageBoxAnswer(int id);
struct ShownMessageBox {
    HWND owner;
    std::string text; // UTF-8
    std::string caption;
    UINT type;
    int answer;
};
const std::vector<ShownMessageBox>& MessageBoxes();

// The pixel of a window at client (x, y), as COLORREF; CLR_INVALID outside
// its surface. `whole` measures from the window's top-left corner instead.
COLORREF WindowPixel(HWND hwnd, int x, int y, bool whole = false);
// The top-level window last brought in front of the desktop's other
// windows (SetForegroundWindow); NULL when none was.
HWND FrontSurface();

// Frames presented so far and surfaces that exist.
int PresentCount();
bool HasSurface(HWND topLevel);
// The title the back end was last told for a top-level window (UTF-8).
std::string SurfaceTitle(HWND topLevel);

} // namespace platform::headless
