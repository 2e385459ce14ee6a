// DDX_* for text, numbers, buttons, lists and controls, and CDataExchange.
// The range checks (DDV_*) are in DataValidation.cpp.

#include "platform/framework/DataExchange.h"

#include "platform/base/AfxResourceIds.h"
#include "platform/base/CrtParse.h"
#include "platform/base/Exception.h"
#include "platform/base/String.h"
#include "platform/framework/DataExchangePrompts.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"

#include <cfloat>
#include <climits>
#include <limits>
#include <cstdio>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate)
    , m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = NULL;
    if (m_pDlgWnd)
        hWndCtrl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (!hWndCtrl) {
        // A programming error in a DoDataExchange: say so and fail the
        // exchange rather than touching a control that is not there.
        std::fprintf(stderr, "data exchange: no control with id %d\n", nIDC);
        m_hWndLastControl = NULL;
        m_bEditLastControl = FALSE;
        Fail();
    }
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl && ::IsWindow(m_hWndLastControl)) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace platform {

CString DataExchangePrompt(UINT nIDPrompt)
{
    return AfxFrameworkString(nIDPrompt);
}

void DataExchangeMessage(UINT nIDPrompt)
{
    CString prompt = DataExchangePrompt(nIDPrompt);
    // No help context: a Help button on a data-entry prompt has nothing to show.
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, 0);
}

void DataExchangeMessage(UINT nIDPrompt, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString format = DataExchangePrompt(nIDPrompt);
    LPCTSTR args[2] = {lpsz1 ? lpsz1 : "", lpsz2 ? lpsz2 : ""};
    CString prompt;
    AfxFormatStrings(prompt, format, args, 2);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, 0);
}

} // namespace platform

namespace {

using platform::DataExchangeMessage;

CString ControlText(HWND hWnd)
{
    CString text;
    int len = ::GetWindowTextLength(hWnd);
    if (len > 0) {
        ::GetWindowText(hWnd, text.GetBuffer(len + 1), len + 1);
        text.ReleaseBuffer();
    }
    return text;
}

// Sets the text only when it differs, so that loading the same values
// again does not repaint or reset the caret.
void SetControlText(HWND hWnd, LPCTSTR text)
{
    if (ControlText(hWnd) != text)
        ::SetWindowText(hWnd, text);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Whole-number text: optional white space, an optional sign (a '-' only
// when `allowMinus`), digits, optional white space. Anything else, or a
// value outside [lo, hi], fails.
bool ParseInteger(const CString& text, bool allowMinus, long long lo, long long hi, long long& out)
{
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        if (*p == '-' && !allowMinus)
            return false;
        negative = *p == '-';
        ++p;
    }
    if (*p < '0' || *p > '9')
        return false;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > (1LL << 40))
            return false; // far outside every target type
    }
    while (IsSpace(*p))
        ++p;
    if (*p)
        return false;
    if (negative)
        value = -value;
    if (value < lo || value > hi)
        return false;
    out = value;
    return true;
}

bool ParseReal(const CString& text, double& out)
{
    const char* p = text;
    size_t used = 0;
    double value = platform::ParseDouble(std::string_view(p), &used);
    if (used == 0)
        return false;
    p += used;
    while (IsSpace(*p))
        ++p;
    if (*p)
        return false;
    out = value;
    return true;
}

template <typename T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, bool isSigned, UINT nIDPrompt)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long parsed = 0;
        long long lo = isSigned ? (long long)std::numeric_limits<T>::min() : 0;
        long long hi = (long long)std::numeric_limits<T>::max();
        if (!ParseInteger(ControlText(hWndCtrl), isSigned, lo, hi, parsed)) {
            DataExchangeMessage(nIDPrompt);
            pDX->Fail();
        }
        value = static_cast<T>(parsed);
    } else {
        CString text;
        if (isSigned)
            text.Format("%I64d", (long long)value);
        else
            text.Format("%I64u", (unsigned long long)value);
        SetControlText(hWndCtrl, text);
    }
}

template <typename T>
void ExchangeReal(CDataExchange* pDX, int nIDC, T& value, int digits)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double parsed = 0;
        if (!ParseReal(ControlText(hWndCtrl), parsed)) {
            DataExchangeMessage(AFX_IDP_PARSE_REAL);
            pDX->Fail();
        }
        value = static_cast<T>(parsed);
    } else {
        CString text;
        text.Format("%.*g", digits, (double)value);
        SetControlText(hWndCtrl, text);
    }
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWndCtrl);
    else
        SetControlText(hWndCtrl, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeInteger(pDX, nIDC, value, true, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeInteger(pDX, nIDC, value, false, AFX_IDP_PARSE_UINT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    // A Windows long is 32 bits; keep stored values in that range.
    int narrow = static_cast<int>(value);
    if (!pDX->m_bSaveAndValidate && (value < INT_MIN || value > INT_MAX))
        narrow = value < 0 ? INT_MIN : INT_MAX;
    ExchangeInteger(pDX, nIDC, narrow, true, AFX_IDP_PARSE_INT);
    if (pDX->m_bSaveAndValidate)
        value = narrow;
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    ExchangeInteger(pDX, nIDC, value, false, AFX_IDP_PARSE_BYTE);
}

void DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    ExchangeInteger(pDX, nIDC, value, true, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    ExchangeReal(pDX, nIDC, value, FLT_DIG);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    ExchangeReal(pDX, nIDC, value, DBL_DIG);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = int(::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2)
            value = 0; // a bad value would leave the box in no state at all
        ::SendMessage(hWndCtrl, BM_SETCHECK, WPARAM(value), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs in window (tab) order from the first button to the
    // next WS_GROUP; only radio buttons count.
    int index = 0;
    HWND h = hWndCtrl;
    do {
        if (::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessage(h, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
                    value = index;
            } else {
                ::SendMessage(h, BM_SETCHECK, WPARAM(index == value), 0);
            }
            ++index;
        }
        h = ::GetWindow(h, GW_HWNDNEXT);
    } while (h && !(::GetWindowLong(h, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = int(::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0));
    else
        ::SendMessage(hWndCtrl, CB_SETCURSEL, WPARAM(index), 0);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = int(::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0));
    else
        ::SendMessage(hWndCtrl, LB_SETCURSEL, WPARAM(index), 0);
}

namespace {

bool IsEditableCombo(HWND hWndCtrl)
{
    DWORD type = DWORD(::GetWindowLong(hWndCtrl, GWL_STYLE)) & 0x3;
    return type != CBS_DROPDOWNLIST;
}

CString ComboSelectionText(HWND hWndCtrl)
{
    // An editable combo's text is what the user typed, selection or not.
    if (IsEditableCombo(hWndCtrl))
        return ControlText(hWndCtrl);
    CString text;
    int sel = int(::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0));
    if (sel != CB_ERR) {
        int len = int(::SendMessage(hWndCtrl, CB_GETLBTEXTLEN, WPARAM(sel), 0));
        if (len > 0) {
            ::SendMessage(hWndCtrl, CB_GETLBTEXT, WPARAM(sel), LPARAM(text.GetBuffer(len + 1)));
            text.ReleaseBuffer();
        }
    }
    return text;
}

// Selects the matching entry; an editable combo that has none shows the
// value as its text, a drop-down list keeps its selection.
void LoadComboString(HWND hWndCtrl, const CString& value, bool exact)
{
    int found;
    if (exact) {
        found = int(::SendMessage(hWndCtrl, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(LPCTSTR(value))));
        if (found != CB_ERR)
            ::SendMessage(hWndCtrl, CB_SETCURSEL, WPARAM(found), 0);
    } else {
        found = int(::SendMessage(hWndCtrl, CB_SELECTSTRING, WPARAM(-1), LPARAM(LPCTSTR(value))));
    }
    if (found == CB_ERR && IsEditableCombo(hWndCtrl))
        SetControlText(hWndCtrl, value);
}

CString ListSelectionText(HWND hWndCtrl)
{
    CString text;
    int sel = int(::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0));
    if (sel != LB_ERR) {
        int len = int(::SendMessage(hWndCtrl, LB_GETTEXTLEN, WPARAM(sel), 0));
        if (len > 0) {
            ::SendMessage(hWndCtrl, LB_GETTEXT, WPARAM(sel), LPARAM(text.GetBuffer(len + 1)));
            text.ReleaseBuffer();
        }
    }
    return text;
}

// Selects the matching entry; without one the selection stays.
void LoadListString(HWND hWndCtrl, const CString& value, bool exact)
{
    if (exact) {
        int found = int(::SendMessage(hWndCtrl, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(LPCTSTR(value))));
        if (found != LB_ERR)
            ::SendMessage(hWndCtrl, LB_SETCURSEL, WPARAM(found), 0);
    } else {
        ::SendMessage(hWndCtrl, LB_SELECTSTRING, WPARAM(-1), LPARAM(LPCTSTR(value)));
    }
}

} // namespace

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ComboSelectionText(hWndCtrl);
    else
        LoadComboString(hWndCtrl, value, false);
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ComboSelectionText(hWndCtrl);
    else
        LoadComboString(hWndCtrl, value, true);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ListSelectionText(hWndCtrl);
    else
        LoadListString(hWndCtrl, value, false);
}

void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ListSelectionText(hWndCtrl);
    else
        LoadListString(hWndCtrl, value, true);
}

void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ::GetScrollPos(hWndCtrl, SB_CTL);
    else
        ::SetScrollPos(hWndCtrl, SB_CTL, value, TRUE);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.GetSafeHwnd())
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl)) {
        std::fprintf(stderr, "data exchange: control %d cannot be subclassed\n", nIDC);
        AfxThrowNotSupportedException();
    }
}
