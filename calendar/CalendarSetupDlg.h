#pragma once
// CCalendarSetupDlg: the Calendar dialog. It shows a calendar's kind (day,
// week, month or year), the month and year it starts with and the day its
// weeks start on; OK writes them into the attribute record the caller
// handed to SetCalendarData, which the caller then applies to the object.

#include "platform/framework/Afx.h"

class CDrawObj;
class CObjectAttributes;

class CCalendarSetupDlg : public CDialog {
public:
    // Years the dialog accepts.
    static constexpr int kMinYear = 1601;
    static constexpr int kMaxYear = 9999;

    explicit CCalendarSetupDlg(CWnd* pParent = NULL);

    // Loads the dialog from the record before DoModal. With bFromRecord the
    // record's start day, kind and first weekday are shown; without it (a
    // calendar still to be made) this month as a month calendar starting on
    // Sunday, the record's values being filled on OK only.
    void SetCalendarData(CDrawObj* pObj, CObjectAttributes& attrs, BOOL bFromRecord);

    // The values the dialog shows: kind 0 day .. 3 year; month 1..12;
    // first weekday 1 Monday .. 7 Sunday.
    int m_nKind = 2;
    int m_nMonth = 1;
    int m_nYear = 2000;
    int m_nFirstWeekday = 7;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    CDrawObj* m_pObject = nullptr;          // not owned
    CObjectAttributes* m_pAttrs = nullptr;  // not owned
};
