#pragma once
// A design's page-layout record: 22 signed 32-bit values, stored as they
// are in the design file. The application keeps one for the design being
// created next; every new document starts as a copy of it.

#include "platform/base/Types.h"

struct DocQuickInfo {
    enum : int {
        Kind = 0,          // project kind 0..5; 6 when not known
        Unset = 1,         // -1 while the record was never set up
        Orientation = 2,   // above 0 portrait, 0 landscape
        SheetWidth = 5,    // hundredths of an inch
        SheetHeight = 6,
        Rulers = 8,        // a 0/1 switch; 0 shows the rulers
        TilesAcross = 9,
        TilesDown = 10,
        CardWidth = 11,    // card or tile size, hundredths of an inch
        CardHeight = 12,
        Centre = 13,       // centre the cards on the sheet (0/1)
        Tiled = 14,        // 0/1
        CardsAcross = 15,  // computed by the label layout
        CardsDown = 16,
        OffsetX = 17,      // first card's offset; -1 unset
        OffsetY = 18,
        GapX = 19,         // gaps between cards; -1 in GapX unset
        GapY = 20,
        Count = 22
    };

    LONG values[Count] = {};

    LONG& operator[](int index) { return values[index]; }
    LONG operator[](int index) const { return values[index]; }
};

// All zero, kind 6 (not known), value 1 -1.
inline void InitDocQuickInfo(DocQuickInfo& info)
{
    info = DocQuickInfo{};
    info[DocQuickInfo::Kind] = 6;
    info[DocQuickInfo::Unset] = -1;
}
