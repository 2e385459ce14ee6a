#pragma once
// The scanner calls the program makes, answering as a machine with no
// scanner does: start-up succeeds, but no source can be selected and
// nothing is acquired. Scanning comes later; callers already handle these
// answers.

#include "platform/base/Types.h"

namespace platform {

// What selecting or acquiring answers when there is no source.
constexpr int kTwainNoSource = -5;

// Called by the scanner set-up each time the scanning service reports to
// the program; its answer is ignored for now.
using TwainCallback = int (*)(HWND owner, void* userData);

// Starts the scanning service for a main window. Never fails: answers a
// positive session value that the program keeps.
LONG TwainInit(HWND owner, TwainCallback callback, void* userData);

// Lets the user pick a scanner: 1 when one was picked, else kTwainNoSource.
int TwainSelectSource(HWND owner);

// Scans one picture into a bitmap handle of the picture engine: 1 when a
// picture came, else kTwainNoSource.
int TwainAcquire(HWND owner, HANDLE* bitmap);

} // namespace platform
