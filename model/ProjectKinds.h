#pragma once
// The class IDs that mark a design file's project kind. A design's root
// storage carries the ID of its kind; the document templates match files to
// kinds by it and the open dialogs recognise designs by it. Kinds run 0..5
// (shirt, apparel, mouse pad, calendar, label, general); any other kind,
// including 6 for "no kind", has the all-zero class ID.
//
// There are two tables: each kind has a pair of IDs (the first table, which
// writers use, and the second), and a design is recognised by either member
// of its pair. The second table is also consulted on its own. Both tables
// hold the same six IDs today; they stay separate so that a kind can change
// its written ID while files with the old one keep opening.

#include "platform/base/Guid.h"

constexpr int kDocKindCount = 6;
constexpr int kDocKindNone = 6;

struct DocKindClassIds {
    CLSID clsid;    // written into new files
    CLSID clsidAlt; // also recognised
};

// The pair of kind nKind; both zero outside 0..5.
DocKindClassIds GetDocKindClassId(int nKind);
// The second table's entry for nKind; zero outside 0..5.
CLSID GetDocKindAltClassId(int nKind);
// Whether clsid is either member of the pair.
BOOL IsDocKindClassId(const DocKindClassIds& pair, REFCLSID clsid);
