// Feeds bytes to an open design's surface view as mouse and key events
// through the headless window system: presses, drags, double clicks, right
// clicks with their menus, keys with Shift and Ctrl, tool and undo commands.
// The first byte picks the preferences that change input handling; every
// three bytes after it are one event on a design of fifty objects. Any input
// must run without a crash, keep the selection inside the objects after
// every event, and leave every object as it was after undoing every step
// and redoing as many.

#include "app/PrefData.h"
#include "fuzz/FuzzDesignSession.h"
#include "fuzz/FuzzProgramFolder.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "tests/surface/SurfaceInputDriver.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The longest run one input drives.
constexpr size_t kMaxEvents = 1500;

using fuzzdesign::Fail;

} // namespace

// fontconfig keeps its configuration for the life of the process; that is
// not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static FuzzProgramFolder folder("surfaceinput");
    fuzzdesign::TargetName() = "SurfaceInputFuzz";
    threadwick::RegisterResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // Sizing about the centre, a tool that returns after each drag, no
    // deferred redraw, and the diagnostic corner.
    const uint8_t options = data[0];
    thePrefs.Flags = WORD((options & 1 ? PREF_FLAG_RESIZE_FROM_CENTER : 0) | (options & 2 ? PREF_FLAG_RESET_TOOL : 0)
        | (options & 4 ? PREF_FLAG_MOVE_FILLED : 0) | (options & 8 ? PREF_FLAG_GRID_LINES : 0));
    thePrefs.AddlFlags = WORD(options & 16 ? PREF_ADDL_SWITCH_I : 0);
    {
        fuzzdesign::SessionOptions options;
        options.bAccelerators = true;
        options.bPopulate = true;
        fuzzdesign::Session session(options);
        CSurface* pView = session.View();
        const HWND hView = pView->m_hWnd;
        surfaceinput::EscapeWhenIdle escapes;
        surfaceinput::ByteReader in(data + 1, size - 1);
        for (size_t n = 0; n < kMaxEvents && !in.AtEnd(); ++n) {
            escapes.Rearm();
            surfaceinput::RunEvent(pView, in);
            if (!::IsWindow(hView))
                Fail("the design closed");
            const std::string problem = surfaceinput::CheckSelection(pView);
            if (!problem.empty())
                Fail(problem);
        }
        escapes.Rearm();
        const std::string undo = surfaceinput::CheckUndoRedo(pView);
        if (!undo.empty())
            Fail(undo);
    }
    return 0;
}
