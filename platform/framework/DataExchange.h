#pragma once
// Dialog data exchange: moving values between a dialog's member variables
// and its controls (DDX_*), and checking them on the way in (DDV_*).
//
// A CDataExchange is made by CWnd::UpdateData for one pass over
// DoDataExchange. Loading (m_bSaveAndValidate FALSE) writes the members into
// the controls; saving reads the controls back, and a value that does not
// parse or is out of range shows the class library's prompt, puts the focus
// on the control (an edit's text selected) and throws CUserException through
// Fail. UpdateData catches it and answers FALSE, so the dialog stays open.
//
// Numbers are written and read with '.' as the decimal point whatever the
// process locale is, as the program's stored values expect.

#include "platform/base/Types.h"

class CString;
class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate; // TRUE: controls to members, with validation
    CWnd* m_pDlgWnd;         // the dialog (or other parent) whose controls are exchanged

    // The control's window, remembered as the one a following DDV_* checks
    // and Fail focuses. A missing control id is a programming error: it is
    // reported and the exchange fails.
    HWND PrepareCtrl(int nIDC);
    // The same for an edit control: Fail also selects its text.
    HWND PrepareEditCtrl(int nIDC);
    // Focuses the last prepared control (selecting an edit's text when
    // saving) and throws CUserException. The user has already been told why.
    [[noreturn]] void Fail();

    HWND m_hWndLastControl = NULL;
    BOOL m_bEditLastControl = FALSE;
};

// ---- Exchange ----------------------------------------------------------------------

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// UINT also serves DWORD (the same type here), int also serves LONG.
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);

// A check box or 3-state button: BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// A radio group: nIDC is its first button (WS_GROUP); the group runs in tab
// (window) order up to the next WS_GROUP. value is the index of the checked
// button in that run, -1 when none is checked; loading -1 clears them all.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);

// Index of the selection (-1 for none).
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
// Text of the selection (an editable combo's own text). Loading selects the
// first entry that begins with the text, or for the *Exact forms the entry
// that is the whole text, without case; when none matches, an editable
// combo shows the text itself and the other boxes keep their selection.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value);
// Position of a scroll-bar control.
void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value);
// Subclasses the control into rControl the first time (while rControl has
// no window); later passes do nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// ---- Validation (after the DDX_ of the same control) -----------------------------------

// Loading limits the edit control's text; saving refuses longer text.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
