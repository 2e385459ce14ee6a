#pragma once
// CPrintState: how the last pass of a view's print loop ended. A design
// printed one side at a time goes on to its next side only after a pass
// that printed: one that was refused (the print or file dialog cancelled,
// no printer DC made) or aborted (the user's Cancel, a printer or page that
// failed, an exception) ends the whole job.
//
// One program-wide record, since only one job runs at a time (the main
// window is disabled while it prints). Each pass starts it afresh.

#include "platform/base/Types.h"

class CPrintState {
public:
    // A pass begins: refused until the job actually starts, not aborted.
    static void BeginPass();
    // The job started: the dialogs were answered and a printer DC is made.
    static void JobStarted();
    static void SetAborted();

    static BOOL IsRefused();
    static BOOL IsAborted();
    // Neither flag set: the pass printed.
    static BOOL PassPrinted() { return !IsRefused() && !IsAborted(); }

    // Both flags clear, as before any printing.
    static void Reset();
};
