#pragma once
// "Design Kits": the design kits the program knows (the content locator's
// list for the design tables), one check box each with its category name,
// the counts of kits listed and checked, Check All, Uncheck All and Search
// Drives. The checked kits make the kit filter (flag n enables kit n);
// OK gives it to the design index, which reads the chosen kits at its next
// search. Cancel changes nothing.
//
// The dialog owns its tree filler from initialisation to destruction; the
// design index (may be null) is the caller's. Only the first 128 kits can
// be enabled, so no more are listed. A drive search keeps what the user has
// checked so far and lists the kits it found checked.

#include "app/TextTable.h"
#include "platform/base/String.h"
#include "platform/framework/Dialog.h"

#include <memory>
#include <vector>

class CDesignIndex;
class CKitTreeFiller;
class CKitTreeCtrl;

class CKitListDlg : public CDialog {
public:
    // Sent by the kit tree to its dialog after a click or a key that may
    // have changed a check state, so the counts follow.
    static constexpr UINT kRecountMessage = WM_APP + 0x124;

    // The start states come from the index's filter (every kit when the
    // index or its filter is missing).
    CKitListDlg(CWnd* pParent, CDesignIndex* pIndex);
    ~CKitListDlg() override;

    // Clears the four selection values and fills the tree again.
    void Reset();
    int GetListedCount() const;
    int GetCheckedCount() const;
    // The filter the checked kits make.
    CFlagSet128 GetCheckedFilter() const;

    // The selection values; -1 after every reset.
    int m_nSelection[4] = {-1, -1, -1, -1};
    // The filter: the start states in, the chosen kits after IDOK.
    CFlagSet128 m_filter;
    // The drive letters a search walks.
    char m_chFirstDrive = 'C';
    char m_chLastDrive = 'Z';
    // The paths of the listed kits, by kit number.
    std::vector<CString> m_kitPaths;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg LRESULT OnTreeItemActivated(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTreeItemExpanding(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRecount(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCheckAll();
    afx_msg void OnUncheckAll();
    afx_msg void OnSearchDrives();
    afx_msg void OnDestroy();
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()

private:
    void UpdateCounts();

    CDesignIndex* m_pIndex;
    std::unique_ptr<CKitTreeCtrl> m_pTreeCtrl;
    std::unique_ptr<CKitTreeFiller> m_pFiller;
    BOOL m_bFilled = FALSE;
};
