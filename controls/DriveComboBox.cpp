#include "controls/DriveComboBox.h"

#include "controls/DriveHelpers.h"
#include "platform/framework/DataExchange.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/User.h"

#include <cctype>

IMPLEMENT_DYNCREATE(CDriveComboBox, CComboBox)

namespace {

constexpr int kIconSize = 16;
constexpr int kTextOffset = 20;
constexpr int kSelectedTextOffset = 21;

BOOL IsDriveText(LPCTSTR lpszPath)
{
    return lpszPath != nullptr && std::isalpha(static_cast<unsigned char>(lpszPath[0])) && lpszPath[1] == ':'
        && lpszPath[2] == '\0';
}

} // namespace

void CDriveComboBox::InitDrives(UINT nID, CWnd* pDialog)
{
    m_nID = nID;
    m_pDialog = pDialog;
    FillDrives(FALSE);
}

CString CDriveComboBox::EntryText(LPCTSTR lpszDrive) const
{
    return m_bLongNames ? GetDriveDisplayName(lpszDrive) : GetDriveShortName(lpszDrive);
}

void CDriveComboBox::FillDrives(BOOL bForce)
{
    if (m_pDialog == nullptr || m_hWnd == NULL || (m_bFilled && !bForce))
        return;
    char spec[] = "";
    if (!::DlgDirListComboBox(m_pDialog->GetSafeHwnd(), spec, int(m_nID), 0, DDL_DRIVES))
        return;
    // The list holds "[-c-]" per drive; each becomes the drive's own text.
    int nCount = GetCount();
    for (int i = 0; i < nCount; ++i) {
        CString raw;
        GetLBText(i, raw);
        if (raw.GetLength() < 3)
            continue;
        char drive[3] = {raw[2], ':', '\0'};
        DeleteString(UINT(i));
        InsertString(i, EntryText(drive));
    }
    m_bFilled = TRUE;
}

CString CDriveComboBox::GetDrivePath(int nIndex) const
{
    CString text;
    if (m_hWnd == NULL)
        return text;
    if (nIndex < 0)
        nIndex = GetCurSel();
    if (nIndex < 0 || nIndex >= GetCount()) {
        GetWindowText(text);
        return text;
    }
    GetLBText(nIndex, text);
    if (!m_bLongNames)
        return text.Left(2);
    int nOpen = text.ReverseFind('(');
    int nClose = text.ReverseFind(')');
    if (nOpen < 0 || nClose <= nOpen)
        return CString();
    return text.Mid(nOpen + 1, nClose - nOpen - 1);
}

void CDriveComboBox::SelectPath(LPCTSTR lpszPath)
{
    if (m_hWnd == NULL)
        return;
    if (IsDriveText(lpszPath)) {
        CString entry = EntryText(lpszPath);
        int nIndex = int(SendMessage(CB_FINDSTRING, WPARAM(-1), LPARAM(LPCTSTR(entry))));
        if (nIndex != CB_ERR) {
            SetCurSel(nIndex);
            return;
        }
    }
    SetCurSel(-1);
    SetWindowText(lpszPath != nullptr ? lpszPath : "");
}

void CDriveComboBox::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    if (lpMIS != nullptr)
        lpMIS->itemHeight = kItemHeight;
}

void CDriveComboBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS == nullptr || lpDIS->hDC == NULL || m_hWnd == NULL)
        return;
    int nIndex = int(lpDIS->itemID);
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CString drive = GetDrivePath(nIndex);
    CString text;
    GetLBText(nIndex, text);
    CRect rcItem(lpDIS->rcItem);
    int nSaved = pDC->SaveDC();
    pDC->SetBkMode(OPAQUE);

    UINT action = lpDIS->itemAction;
    BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    if (action & ODA_DRAWENTIRE) {
        pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_WINDOW));
        ::DrawIconEx(pDC->GetSafeHdc(), rcItem.left, rcItem.top, GetDriveIcon(drive), kIconSize, kIconSize, 0,
            NULL, DI_NORMAL);
        pDC->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
        pDC->SetBkColor(::GetSysColor(COLOR_WINDOW));
        CRect rcText(rcItem);
        rcText.left += kTextOffset;
        pDC->DrawText(text, &rcText, DT_SINGLELINE | DT_VCENTER);
    }
    if ((action & (ODA_DRAWENTIRE | ODA_SELECT)) != 0) {
        // The selection colours start one pixel further right than the
        // plain text, so the icon keeps its own background.
        CRect rcText(rcItem);
        rcText.left += kSelectedTextOffset;
        if (bSelected) {
            pDC->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
            pDC->SetBkColor(::GetSysColor(COLOR_HIGHLIGHT));
            pDC->FillSolidRect(&rcText, ::GetSysColor(COLOR_HIGHLIGHT));
            pDC->DrawText(text, &rcText, DT_SINGLELINE | DT_VCENTER);
        } else if (action & ODA_SELECT) {
            pDC->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
            pDC->SetBkColor(::GetSysColor(COLOR_WINDOW));
            pDC->FillSolidRect(&rcText, ::GetSysColor(COLOR_WINDOW));
            pDC->DrawText(text, &rcText, DT_SINGLELINE | DT_VCENTER);
        }
    }
    pDC->RestoreDC(nSaved);
}

void DDX_DriveCombo(CDataExchange* pDX, int nIDC, CString& strPath)
{
    HWND hCombo = pDX->PrepareCtrl(nIDC);
    auto* pCombo = dynamic_cast<CDriveComboBox*>(CWnd::FromHandlePermanent(hCombo));
    if (pCombo == nullptr)
        return;
    if (pDX->m_bSaveAndValidate) {
        strPath = pCombo->GetDrivePath(-1);
        return;
    }
    if (pCombo->m_pDialog == nullptr)
        pCombo->InitDrives(UINT(nIDC), pDX->m_pDlgWnd);
    else
        pCombo->FillDrives(FALSE);
    pCombo->SelectPath(strPath);
}
