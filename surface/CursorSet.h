#pragma once
// CCursorSet: the mouse cursors of the tools, handles and rotation, in 43
// slots. Slot 0 is the system arrow, slot 1 the system I-beam, slots 2-42
// the program's cursor resources (kResourceIds). One global instance,
// theCursorSet, is loaded once at start-up; its slots are empty before.
// A resource that is missing leaves its slot empty (NULL), and every
// lookup of an empty or unknown slot answers NULL. Destruction destroys the
// resource cursors only; the system cursors are shared and stay.

#include "platform/base/Types.h"

class CCursorSet {
public:
    static constexpr int kSlotCount = 43;
    static constexpr int kArrowSlot = 0;
    static constexpr int kIBeamSlot = 1;
    static constexpr int kFirstResourceSlot = 2;
    static constexpr int kResourceCount = kSlotCount - kFirstResourceSlot;
    // The cursor resource of slot kFirstResourceSlot + i.
    static const UINT kResourceIds[kResourceCount];

    CCursorSet();
    ~CCursorSet();
    CCursorSet(const CCursorSet&) = delete;
    CCursorSet& operator=(const CCursorSet&) = delete;

    // Loads all 43 slots from the program's resources. Loading again first
    // frees what the set holds.
    void Load();
    // The same from a given resource module (NULL: the program's).
    void LoadFrom(HINSTANCE hInst);
    // Destroys the resource cursors and empties every slot.
    void Unload();

    // The cursor of a slot; NULL for an empty slot or one out of range.
    HCURSOR GetCursor(int nSlot) const;
    // The cursor loaded from cursor resource nResourceId; NULL when the set
    // has no slot for it or it is missing.
    HCURSOR GetResourceCursor(UINT nResourceId) const;
    // The slot that holds cursor resource nResourceId, or -1.
    static int SlotOfResource(UINT nResourceId);

private:
    HCURSOR m_cursors[kSlotCount];
};

extern CCursorSet theCursorSet;
