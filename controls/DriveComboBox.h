#pragma once
// An owner-drawn combo box listing the machine's drives, each with the icon
// of its kind and a readable name: "c: LABEL" (short names), or, when
// m_bLongNames is set before filling, "LABEL (C:)". The dialog owns the
// object and subclasses its combo box (which must be CBS_OWNERDRAWFIXED with
// CBS_HASSTRINGS) with it; InitDrives fills the list once, so a second call
// does not add the drives again unless forced.

#include "platform/base/String.h"
#include "platform/framework/Controls.h"

class CDataExchange;

class CDriveComboBox : public CComboBox {
    DECLARE_DYNCREATE(CDriveComboBox)
public:
    static constexpr int kItemHeight = 16;

    CDriveComboBox() = default;

    // Keeps the control id and the dialog, and fills the list.
    void InitDrives(UINT nID, CWnd* pDialog);
    // Lists every drive (only with a dialog set, and only once unless
    // bForce is set).
    void FillDrives(BOOL bForce = FALSE);
    // The drive text ("c:") of entry nIndex, or of the selection for -1; the
    // window text when nothing is selected.
    CString GetDrivePath(int nIndex = -1) const;
    // Selects the entry of a drive text ("d:"); any other path, or a drive
    // that is not listed, clears the selection and becomes the window text.
    void SelectPath(LPCTSTR lpszPath);
    // The entry text of a drive text, as this box lists it.
    CString EntryText(LPCTSTR lpszDrive) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    UINT m_nID = 0;
    BOOL m_bFilled = FALSE;
    BOOL m_bLongNames = FALSE;
    CWnd* m_pDialog = nullptr;
};

// Loading fills the dialog's drive combo box nIDC and selects the path's
// drive; saving reads the chosen drive back. The control must be
// subclassed with a CDriveComboBox.
void DDX_DriveCombo(CDataExchange* pDX, int nIDC, CString& strPath);
