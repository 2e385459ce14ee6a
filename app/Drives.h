#pragma once
// Volumes and CD-ROM drives as the program asks about them, without the
// system's error boxes.

#include "platform/base/String.h"

// The volume label of a root ("D:\"); *pbSuccess tells whether it could be
// read (an empty label is a success).
CString GetVolumeLabel(LPCTSTR lpszRoot, BOOL* pbSuccess);

// Looks through the drives C: to Z: for CD-ROM drives. With an empty
// relative path the first CD-ROM drive is the answer (TRUE); otherwise the
// first CD-ROM drive holding "<letter>" followed by lpszRelative (for
// example ":\kits\x.dat") is. FALSE when none matched; chDrive then holds
// the last CD-ROM drive seen, or 0 when there is none.
BOOL FindCdDrive(char& chDrive, LPCTSTR lpszRelative);
