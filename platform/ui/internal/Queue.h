#pragma once
// Putting messages into the queue from inside the platform.

#include "platform/base/Types.h"
#include "platform/base/UiRecords.h"

#include <functional>
#include <string>

namespace platform {

// Appends a keyboard or mouse message, already addressed to its window
// (time and pt are filled when zero). Input comes after posted messages.
void PostInputMessage(const MSG& msg);
// Sends a message as if from another process (InSendMessage is TRUE
// inside); used by the single-instance channel.
LRESULT SendForeignMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The number RegisterWindowMessage gave `name` (compared without case), or 0
// when nobody in this process registered it. Registers nothing, so names
// from outside cannot fill the table.
UINT FindRegisteredMessage(const std::string& name);
// Whether anything is waiting (posted, input, quit, paint or a due timer).
bool QueueHasWork();
// Whether a mouse loop begun with the left button should go on: the button
// is down, or it is up with its release (client or non-client) still
// waiting in the queue, which ends the loop in its turn.
bool LeftButtonStillHeld();
// Drops posted and input messages of a window that is gone.
void ForgetQueuedMessages(HWND hwnd);
// Timers of a window that is gone.
void KillWindowTimers(HWND hwnd);
// Milliseconds until the next timer is due (0: due now; INFINITE: none).
DWORD TimeToNextTimer();

} // namespace platform
