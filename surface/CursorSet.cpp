#include "surface/CursorSet.h"

#include "platform/base/Resources.h"
#include "platform/ui/User.h"

#include <cstdlib>

// Slot order is fixed: the tools, the objects and the text code ask for
// their cursors by slot.
const UINT CCursorSet::kResourceIds[CCursorSet::kResourceCount] = {
    264, 337, 335, 336, 334, 424, 425, 428, 427, 519, 599, 614, 616, 596,
    620, 600, 601, 522, 622, 602, 603, 598, 615, 604, 605, 521, 617, 606,
    607, 595, 618, 608, 609, 520, 619, 610, 611, 597, 621, 612, 613,
};

CCursorSet theCursorSet;

namespace {

// The global set is emptied by an exit handler registered after its first
// load: the window system's cursor tables are made on first use, after the
// set, and so would be gone before the set's own destructor ran.
void UnloadGlobalSetAtExit()
{
    theCursorSet.Unload();
}

} // namespace

CCursorSet::CCursorSet()
{
    for (HCURSOR& h : m_cursors)
        h = NULL;
}

CCursorSet::~CCursorSet()
{
    Unload();
}

void CCursorSet::Load()
{
    LoadFrom(NULL);
}

void CCursorSet::LoadFrom(HINSTANCE hInst)
{
    Unload();
    if (hInst == NULL)
        hInst = AfxGetResourceHandle();
    m_cursors[kArrowSlot] = ::LoadCursor(NULL, IDC_ARROW);
    m_cursors[kIBeamSlot] = ::LoadCursor(NULL, IDC_IBEAM);
    for (int i = 0; i < kResourceCount; ++i)
        m_cursors[kFirstResourceSlot + i] = ::LoadCursor(hInst, MAKEINTRESOURCE(kResourceIds[i]));

    static bool s_bExitHandlerSet = false;
    if (this == &theCursorSet && !s_bExitHandlerSet) {
        s_bExitHandlerSet = true;
        std::atexit(UnloadGlobalSetAtExit);
    }
}

void CCursorSet::Unload()
{
    // The system cursors are shared by the whole program: only the slots
    // loaded from resources are destroyed.
    for (int i = kFirstResourceSlot; i < kSlotCount; ++i) {
        if (m_cursors[i] != NULL)
            ::DestroyCursor(m_cursors[i]);
        m_cursors[i] = NULL;
    }
    m_cursors[kArrowSlot] = NULL;
    m_cursors[kIBeamSlot] = NULL;
}

HCURSOR CCursorSet::GetCursor(int nSlot) const
{
    if (nSlot < 0 || nSlot >= kSlotCount)
        return NULL;
    return m_cursors[nSlot];
}

HCURSOR CCursorSet::GetResourceCursor(UINT nResourceId) const
{
    return GetCursor(SlotOfResource(nResourceId));
}

int CCursorSet::SlotOfResource(UINT nResourceId)
{
    for (int i = 0; i < kResourceCount; ++i)
        if (kResourceIds[i] == nResourceId)
            return kFirstResourceSlot + i;
    return -1;
}
