#pragma once
// The user's Tools menu: up to eight entries "menu label|program path" kept
// in the profile section "Tools" under the keys "Tool0" ... "Tool7". The
// page edits that list (add, edit, remove); its OK operation writes the list
// back and removes the keys of entries that were removed. The static
// helpers seed the list at the first start and add the entries of the
// maker's add-on programs once each (remembered by "<name>_Init" = "yes").
//
// Profile values are untrusted: entries are read only up to the first
// missing key and at most kMaxTools of them, and each is cut to
// kMaxToolEntryLength characters.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/base/String.h"
#include "platform/framework/Controls.h"
#include "platform/framework/PropertySheet.h"

#include <vector>


class CToolsPage : public CPropertyPage {
public:
    static constexpr int kMaxTools = 8;
    static constexpr int kMaxToolEntryLength = 520;
    static constexpr int kFirstAddOn = 1;
    static constexpr int kLastAddOn = 4;

    CToolsPage();

    // Writes the default entries (the add-ons' entries, each marked "yes")
    // from "Tool0" on; with bSave they are written to the profile, else
    // only counted. Answers the number of entries.
    static int AddDefaultTools(BOOL bSave);
    // Writes add-on nAddOn's (1..4) entry as "Tool<nCount>", marks its key
    // "yes" and answers nCount + 1. An add-on number outside 1..4 or a full
    // list (nCount at kMaxTools or more, or below 0) adds nothing and
    // answers nCount unchanged.
    static int AddSiblingTool(int nAddOn, int nCount);
    // Splits "label|path": TRUE with both parts when there is a bar, else
    // FALSE with the whole entry as the label and an empty path. Both parts
    // are trimmed.
    static BOOL ParseToolEntry(const CString& strEntry, CString& strLabel, CString& strPath);
    // The entries "Tool0" ... up to the first missing one (at most
    // kMaxTools), each cut to kMaxToolEntryLength.
    static std::vector<CString> LoadToolEntries();
    // Writes the list as "Tool0" ... and deletes the keys after it up to
    // kMaxTools; entries beyond kMaxTools are dropped.
    static void SaveToolEntries(const std::vector<CString>& entries);
    // The add-on's profile key ("Contax_Init" ...) and its entry; empty
    // outside 1..4.
    static CString AddOnKey(int nAddOn);
    static CString AddOnEntry(int nAddOn);

    // The entries the page shows and edits.
    std::vector<CString> m_entries;

    // Adds, replaces or removes an entry of the page's list (the buttons
    // do the same from the edit fields). FALSE when refused: an empty label
    // or path, a full list, an index out of range.
    BOOL AddEntry(const CString& strLabel, const CString& strPath);
    BOOL ReplaceEntry(int nIndex, const CString& strLabel, const CString& strPath);
    BOOL RemoveEntry(int nIndex);

    // Writes the list back (the sheet's OK and Apply).
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnAdd();
    afx_msg void OnReplace();
    afx_msg void OnRemove();
    afx_msg void OnSelChange();
    DECLARE_MESSAGE_MAP()

private:
    void FillList();
    static CString MakeEntry(const CString& strLabel, const CString& strPath);
    CListBox m_wndList;
    C3DPicBtn m_btnAdd;
    C3DPicBtn m_btnReplace;
    C3DPicBtn m_btnRemove;
};
