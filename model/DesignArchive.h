#pragma once
// What an object's record needs to know of the design file it is read from
// or written to: the file version and whether pens and brushes come in the
// native (32-bit) layout. An archive without a design document (the
// clipboard, undo records, tests) reads and writes the current format.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "text/DesignArchive.h"

class CArchive;

// The oldest version read (kDesignFileVersion, written, is the text
// subsystem's, which stands below and reads the same files).
constexpr LONG kOldestDesignFileVersion = 7;

// 1 from the start to the end of a design file's read or write; the
// pictures read it while they serialize themselves.
extern BOOL g_bInDesignSerialize;
// The design being read or written came from the design library.
extern BOOL g_bSerializingPredesigned;

// Coordinates a design can use: ten thousand inches either way, far beyond
// any page, and far enough inside the int range that the geometry's sums
// and products never overflow on what a damaged file holds.
constexpr LONG kMaxDesignCoordinate = 1000000;
inline LONG ClampDesignCoordinate(LONG n)
{
    return n < -kMaxDesignCoordinate ? -kMaxDesignCoordinate : (n > kMaxDesignCoordinate ? kMaxDesignCoordinate : n);
}

// The file version of the design document the archive belongs to.
LONG GetDesignVersion(const CArchive& ar);
// FALSE while reading a design whose records hold 16-bit pens and brushes.
BOOL HasNativeRecords(const CArchive& ar);

// Pens and brushes in the file's layouts: 16 and 12 bytes, or the 10- and
// 8-byte layouts of old 16-bit designs when bNative is FALSE (reading only;
// writing always writes the native layout).
void StoreLogPen(CArchive& ar, const LOGPEN& pen);
void LoadLogPen(CArchive& ar, LOGPEN& pen, BOOL bNative);
void StoreLogBrush(CArchive& ar, const LOGBRUSH& brush);
void LoadLogBrush(CArchive& ar, LOGBRUSH& brush, BOOL bNative);
