#pragma once
// Drive icons and readable drive names, shared by the drive combo box and
// the folder tree, and two small bitmap makers for tree and list images.
// Drive texts are a letter and a colon ("c:"); the answers come from the
// drive table, so nothing here touches a disk beyond reading its label.

#include "platform/base/String.h"

class CBitmap;
class CDC;

// The icon resources of the drive kinds.
#define IDI_DRIVE_REMOTE 148
#define IDI_DRIVE_REMOVABLE 149
#define IDI_DRIVE_FIXED 150
#define IDI_DRIVE_RAMDISK 152
#define IDI_DRIVE_CDROM 153

// The icon resource of a GetDriveType value; unknown kinds count as fixed.
UINT GetDriveTypeIconId(UINT nDriveType);
// The program's icon of the drive type (shared; never destroyed), or NULL
// when the resource is missing.
HICON GetDriveTypeIcon(UINT nDriveType);
// The icon of the drive a path lies on (its text up to the first
// backslash, which is added when missing).
HICON GetDriveIcon(LPCTSTR lpszPath);

// The "\\server\share" behind a mapped drive letter ("f:", "F:\x"), from the
// connected disk resources; empty for other texts, when no connection has
// that letter, or when the enumeration fails.
CString GetNetworkPath(LPCTSTR lpszDrive);

// "<name> (C:)": the volume label of a fixed or CD-ROM drive, or
// "share on 'server'" for a network drive; other drives, and drives that
// do not answer, have an empty name, so the text starts with the space.
CString GetDriveDisplayName(LPCTSTR lpszDrive);
// "c: LABEL" for a fixed or CD-ROM drive with a label, "f: \\srv\share"
// for a network drive, else the drive text alone.
CString GetDriveShortName(LPCTSTR lpszDrive);

// A bitmap of the given size filled with COLOR_WINDOW with the icon drawn
// at its top left, compatible with pDC; FALSE when it cannot be made.
BOOL MakeIconBitmap(CDC* pDC, HICON hIcon, int nWidth, int nHeight, CBitmap& bitmap);
// A copy of the bitmap's (nSrcWidth x nSrcHeight) picture stretched to
// nWidth x nHeight.
BOOL StretchBitmap(CDC* pDC, CBitmap& source, int nSrcWidth, int nSrcHeight, CBitmap& result, int nWidth,
    int nHeight);
