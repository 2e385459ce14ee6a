#pragma once
// Program-wide objects made before the application starts, and two small
// drawing helpers that dialogs and controls share: the display colour count
// and the sunken frame.

#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/base/UiRecords.h"

class CDC;
class CWnd;

// Registered "commdlg_help": a common dialog's Help button; the main frame
// answers it with WinHelp and the application's help context.
extern UINT g_nCommDlgHelpMessage;
// Registered "KQ Olvc 6 LstBox Text" clipboard format, as the sibling
// program's list boxes name it; nothing in this program reads it.
extern UINT g_cfListBoxText;
// A folder for picture paths; nothing sets it, so it stays empty.
extern CString g_strPicturePath;

// Registers the message and clipboard format above. The entry point calls
// it before the application object is built; repeated calls are harmless.
void InitAppGlobals();

// Room for what a design reader learns about where a design came from;
// nothing in the program fills or reads it.
class CDesignLoadInfo : public CObject {
public:
    CDesignLoadInfo() = default;

    LONG m_nValue = 0;
    CString m_strPath;
    LONG m_nValue2 = 0;
    LONG m_nValue3 = 0;
    BOOL m_bFlag = FALSE;
};

extern CDesignLoadInfo g_designLoadInfo;

// 1 << (bits per pixel x planes) of the main window's display (the
// desktop's without a main window); 0xFFFFFFFF from 32 bits per pixel up.
DWORD GetDisplayColorCount();

// A rectangle in logical units with an optional fill.
struct SunkenFrame {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    COLORREF crFill = 0;
    WORD bFill = 0; // non-zero: fill the inside with crFill
};

// Draws a two-pixel sunken bevel just outside the rectangle, in device
// pixels whatever the DC's mapping; the DC's pen and mapping are restored.
void DrawSunkenFrame(CDC* pDC, const SunkenFrame& frame);

// Deletes the object through its own destructor; null is ignored. Lists
// that own their objects free them with it.
void DeleteObjectThunk(CObject* pObject);
