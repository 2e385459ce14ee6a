#pragma once
// CChooseFieldDlg: picks one mail-merge field name from a list. The list text
// starts with its separator character and each name after it ends with that
// separator (";a;b;"). The caller gives the text at construction, runs
// DoModal and on IDOK reads GetFieldName(); an empty list text opens an
// empty list, and OK on an empty list returns an empty name.

#include "platform/framework/Afx.h"

#include <string>
#include <vector>

class CChooseFieldDlg : public CDialog {
public:
    // Longest name kept from the list text, and most names listed: the text
    // comes from a merge source the user picked.
    static constexpr size_t kMaxNameLength = 255;
    static constexpr size_t kMaxNames = 4096;

    CChooseFieldDlg(CWnd* pParent, const CString& strFieldList);

    const CString& GetFieldName() const { return m_strField; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnListDblClk();
    DECLARE_MESSAGE_MAP()

private:
    CString m_strFieldList;
    CString m_strField;
    CListBox m_list;
};

// Splits a field list text into its names: the first character is the
// separator, every name runs to the next separator (or the end of the text).
// Empty names are dropped; names are cut to kMaxNameLength and the list to
// kMaxNames entries. An empty text gives no names.
std::vector<std::string> SplitFieldList(const char* pText, size_t nLength);
