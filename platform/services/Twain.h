#pragma once
// The scanner calls the program makes, over the system's scanner access
// library. One scanner thread owns every call into that library: it starts
// the library, lists the local devices, opens them, reads their settings and
// scans. The user-interface thread never waits on it except inside a modal
// dialog, which keeps pumping messages.
//
// What happens at the edges: with no device, selecting answers
// kTwainNoSource and acquiring kTwainNothingAcquired; a scan that fails or is
// cancelled answers kTwainNothingAcquired and hands out no picture.

#include "platform/base/Types.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Selecting found no source (or the user picked none).
constexpr int kTwainNoSource = -5;
// Acquiring brought no picture: cancelled, or the scan failed.
constexpr int kTwainNothingAcquired = -4;

// Called on the user-interface thread once for every device the scanner
// thread finds; the answer is ignored.
using TwainCallback = int (*)(HWND owner, void* userData);

// Starts the scanner thread for a main window and returns at once with a
// positive session value; the device search runs behind it. A later call
// registers its window and callback in place of the earlier ones; the
// callback then hears of every device already found (TwainShutdown first
// to search afresh).
LONG TwainInit(HWND owner, TwainCallback callback, void* userData);

// Lets the user pick the device to scan with. No device found (or the
// search not yet done) gives kTwainNoSource; one device is taken without
// asking; several are offered in a list, and cancelling it gives
// kTwainNoSource. 1 when a device is selected.
int TwainSelectSource(HWND owner);

// Shows the scan dialog for the selected device (the first one when none
// was selected) with its mode and resolution. 1 and `*packedDib` set to a
// moveable global block holding a packed DIB (BITMAPINFOHEADER, colour table
// for 8 bits, bottom-up rows) that the caller now owns; otherwise
// kTwainNothingAcquired and `*packedDib` NULL.
int TwainAcquire(HWND owner, HGLOBAL* packedDib);

// ---- The user-interface side ----------------------------------------------
// The window system lies above this module, so the program installs how the
// scanner's news reaches the user-interface thread and the two dialogs.

// One device's settings as the scan dialog offers them.
struct TwainSettings {
    std::vector<std::string> modes; // as the device names them ("Color", "Gray")
    std::vector<int> resolutions;   // dots per inch, ascending
    std::string mode;               // the current values
    int resolution = 0;
};

struct TwainHost {
    // Called on the user-interface thread when the scanner thread has work
    // under way: the host calls TwainServeEvents on that thread (from its
    // message loop) until it answers false.
    std::function<void()> serveWhileBusy;
    // The list of several devices: the index picked, or -1.
    std::function<int(HWND owner, const std::vector<std::string>& labels)> chooseSource;
    // The modal scan dialog for the selected device; it uses the requests
    // below. 1 and the packed DIB, or kTwainNothingAcquired.
    std::function<int(HWND owner, HGLOBAL* packedDib)> runScanDialog;
};
// Replaces the host; an empty one removes it (nothing can then be shown and
// acquiring gives kTwainNothingAcquired).
void SetTwainHost(TwainHost host);

// Runs on the calling (user-interface) thread what the scanner thread has
// finished: device callbacks and the answers to requests. False once
// nothing is under way any more.
bool TwainServeEvents();
// Whether the device search has finished, and the devices it found
// ("vendor model" labels, in the order found).
bool TwainSearchDone();
std::vector<std::string> TwainSourceLabels();
// The index of the device selected (what acquiring uses), -1 for none.
int TwainSelectedSource();

// Requests for the selected device (the first when none was selected),
// made on the user-interface thread and run in turn on the scanner thread;
// each answer is delivered by TwainServeEvents, or at once as a failure
// when there is no device.
using TwainSettingsReply = std::function<void(bool ok, const TwainSettings& settings)>;
void TwainRequestSettings(TwainSettingsReply reply);
// The DIB handed to the reply is the reply's to keep (NULL on failure or
// cancel).
using TwainScanReply = std::function<void(HGLOBAL packedDib)>;
void TwainRequestScan(const std::string& mode, int resolution, TwainScanReply reply);
// Asks a scan under way (and any queued) to stop; its reply then comes with
// NULL at the next TwainServeEvents, however long the device takes to stop.
void TwainCancelScan();

// Stops the scanner thread and ends the library's use; pending replies are
// dropped. It waits a few seconds at most for the job under way: a thread
// still inside the library after that is left to finish on its own, and
// until it does a new session finds no device. Harmless when nothing was
// started.
void TwainShutdown();

} // namespace platform
