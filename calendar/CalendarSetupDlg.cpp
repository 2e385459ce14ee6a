#include "calendar/CalendarSetupDlg.h"

#include "app/JulianDate.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "resources/calendar.h"

#include <algorithm>

CCalendarSetupDlg::CCalendarSetupDlg(CWnd* pParent)
    : CDialog(IDD_CALENDAR_SETUP, pParent)
{
    CJulianDate today;
    today.SetToday();
    if (today.IsValid()) {
        m_nMonth = today.GetMonth();
        m_nYear = today.GetYear();
    }
}

void CCalendarSetupDlg::SetCalendarData(CDrawObj* pObj, CObjectAttributes& attrs, BOOL bFromRecord)
{
    m_pObject = pObj;
    m_pAttrs = &attrs;
    if (!bFromRecord)
        return;
    // The record may come from a file: values out of range show the
    // defaults instead.
    WORD nMonth = 0;
    WORD nDay = 0;
    WORD nYear = 0;
    if (attrs.m_nCalendarStart > 0)
        DateFromJulianDay(static_cast<DWORD>(attrs.m_nCalendarStart), nMonth, nDay, nYear);
    if (nMonth >= 1 && nYear >= kMinYear && nYear <= kMaxYear) {
        m_nMonth = nMonth;
        m_nYear = nYear;
    }
    const LONG nKind = attrs.m_nCalendarWords[CObjectAttributes::CalendarKindWord];
    m_nKind = nKind >= CALENDAR_DAY && nKind <= CALENDAR_YEAR ? nKind : CALENDAR_MONTH;
    const LONG nFirst = attrs.m_nCalendarWords[CObjectAttributes::FirstWeekdayWord];
    m_nFirstWeekday = nFirst >= 1 && nFirst <= 7 ? nFirst : 7;
}

BOOL CCalendarSetupDlg::OnInitDialog()
{
    for (int n = 1; n <= 12; ++n) {
        const CString strMonth = GetMonthName(n, FALSE);
        SendDlgItemMessage(IDC_CAL_MONTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strMonth)));
    }
    for (int n = 1; n <= 7; ++n) {
        const CString strDay = GetWeekdayName(n, FALSE);
        SendDlgItemMessage(IDC_CAL_FIRST_WEEKDAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strDay)));
    }
    CDialog::OnInitDialog();
    return TRUE;
}

void CCalendarSetupDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_CAL_KIND_DAY, m_nKind);
    int nMonthIndex = m_nMonth - 1;
    DDX_CBIndex(pDX, IDC_CAL_MONTH, nMonthIndex);
    DDX_Text(pDX, IDC_CAL_YEAR, m_nYear);
    DDV_MinMaxInt(pDX, m_nYear, kMinYear, kMaxYear);
    int nWeekdayIndex = m_nFirstWeekday - 1;
    DDX_CBIndex(pDX, IDC_CAL_FIRST_WEEKDAY, nWeekdayIndex);
    if (pDX->m_bSaveAndValidate) {
        // A list with nothing chosen keeps what was shown.
        if (m_nKind < CALENDAR_DAY || m_nKind > CALENDAR_YEAR)
            m_nKind = CALENDAR_MONTH;
        if (nMonthIndex >= 0 && nMonthIndex < 12)
            m_nMonth = nMonthIndex + 1;
        if (nWeekdayIndex >= 0 && nWeekdayIndex < 7)
            m_nFirstWeekday = nWeekdayIndex + 1;
    }
}

void CCalendarSetupDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_pAttrs != nullptr) {
        const DWORD nStart = JulianDayFromDate(static_cast<WORD>(m_nMonth), 1, static_cast<WORD>(m_nYear));
        m_pAttrs->m_nCalendarStart = static_cast<LONG>(nStart);
        m_pAttrs->m_nCalendarWords[CObjectAttributes::CalendarKindWord] = m_nKind;
        m_pAttrs->m_nCalendarWords[CObjectAttributes::FirstWeekdayWord] = m_nFirstWeekday;
        m_pAttrs->m_bIsCalendar = nStart > 0;
    }
    EndDialog(IDOK);
}
