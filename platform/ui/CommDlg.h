#pragma once
// The file open and save dialogs. The record, the OFN_ flags, OFNOTIFY and the
// CDN_ codes are in platform/base/UiRecords.h. The dialog is our own
// Explorer-style one: it lists the folders and files of the Linux file system
// in Windows form, and hands back Windows-form paths.

#include "platform/base/Types.h"
#include "platform/base/UiRecords.h"
#include "platform/ui/Messages.h"

// Messages the hook sends the dialog (the parent of its child window).
#define CDM_FIRST (WM_USER + 100)
#define CDM_LAST (WM_USER + 200)
#define CDM_GETSPEC (CDM_FIRST + 0x0000)
#define CDM_GETFILEPATH (CDM_FIRST + 0x0001)
#define CDM_GETFOLDERPATH (CDM_FIRST + 0x0002)
#define CDM_GETFOLDERIDLIST (CDM_FIRST + 0x0003)
#define CDM_SETCONTROLTEXT (CDM_FIRST + 0x0004)
#define CDM_HIDECONTROL (CDM_FIRST + 0x0005)
#define CDM_SETDEFEXT (CDM_FIRST + 0x0006)

// Ids of the dialog's standard controls.
#define chx1 0x0410     // "Open as read-only"
#define pshHelp 0x040e
#define stc2 0x0441     // "Files of type:" label
#define stc3 0x0442     // "File name:" label
#define stc4 0x0443     // "Look in:" label
#define stc32 0x045f    // a child template's placeholder for the standard controls
#define lst1 0x0460     // folders and files
#define cmb1 0x0470     // file types
#define cmb2 0x0471     // folders and drives
#define edt1 0x0480     // file name

// Registered messages: Help posts HELPMSGSTRING to the owner (wParam the
// dialog, lParam the record).
#define HELPMSGSTRING "commdlg_help"
#define FILEOKSTRING "commdlg_FileNameOK"

// CommDlgExtendedError values.
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define CDERR_NOTEMPLATE 0x0003
#define CDERR_NOHINSTANCE 0x0004
#define CDERR_FINDRESFAILURE 0x0006
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

// The longest text a multiple selection can give.
#define OFN_MULTISELECT_LIMIT 10240

// Modal; TRUE with the chosen path in lpstrFile, FALSE on Cancel (error 0) or
// failure (CommDlgExtendedError). When lpstrFile is too small the first two
// bytes hold the size needed (FNERR_BUFFERTOOSMALL). With
// OFN_ALLOWMULTISELECT several names come as "folder\0name\0...\0\0".
BOOL GetOpenFileName(LPOPENFILENAME lpofn);
BOOL GetSaveFileName(LPOPENFILENAME lpofn);
#define GetOpenFileNameA GetOpenFileName
#define GetSaveFileNameA GetSaveFileName
// The error of this thread's last file dialog, 0 when it ended normally.
DWORD CommDlgExtendedError();
// The name part of a path. 0 when copied; the size needed (with the zero)
// when the buffer is too small; negative for an empty or invalid name.
short GetFileTitle(LPCSTR lpszFile, LPSTR lpszTitle, WORD cchSize);
#define GetFileTitleA GetFileTitle
