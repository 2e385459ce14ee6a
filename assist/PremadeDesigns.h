#pragma once
// Pre-made designs: the design files that the registered design kits and
// the discs in the CD-ROM drives offer, as the Design Wizard lists them.

#include "platform/base/String.h"

#include <vector>

struct PremadeDesign {
    WORD wKind = 0;      // project kind 0..5
    CString strName;     // shown in the list; a path when no name is known
    CString strPath;     // the design file; may be empty for items given by hand
};

using PremadeDesignList = std::vector<PremadeDesign>;

// Walks the design tables of the registered kits (and those found on the
// CD-ROM drives) and collects their valid design records whose file exists.
// At most kMaxPremadeDesigns are collected. An empty list is a normal
// answer when no kit holds any. Answers the number found.
inline constexpr int kMaxPremadeDesigns = 2000;
int FindPremadeDesigns(PremadeDesignList& list);
