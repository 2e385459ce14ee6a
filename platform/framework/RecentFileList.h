#pragma once
// CRecentFileList: the most recently used files, newest first, as the File
// menu shows them ("&1 name" ... in place of the ID_FILE_MRU_FILE1 item)
// and as the application profile keeps them.
//
// The application owns its list (CWinApp::m_pRecentFileList, made by
// LoadStdProfileSettings). Adding a file already in the list moves it to the
// front (the same file whatever the spelling of its path); a full list drops
// its oldest entry. Entries read from the profile are taken as they are,
// cut to the longest path; empty entries are holes that Add fills first.

#include "platform/base/String.h"

#include <vector>

class CCmdUI;

// The longest name the menu shows for an entry, in characters.
#define AFX_ABBREV_FILENAME_LEN 30

class CRecentFileList {
public:
    // nStart: the first command id (ID_FILE_MRU_FILE1); lpszSection and
    // lpszEntryFormat: where the profile keeps the list ("Recent File List",
    // "File%d"); nSize: how many entries (1 to 16).
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
        int nMaxDispLen = AFX_ABBREV_FILENAME_LEN);
    virtual ~CRecentFileList();

    CRecentFileList(const CRecentFileList&) = delete;
    CRecentFileList& operator=(const CRecentFileList&) = delete;

    int GetSize() const { return m_nSize; }
    // Entry nIndex (0 is the newest); an empty string is an empty slot.
    CString& operator[](int nIndex);

    virtual void Remove(int nIndex);
    // Puts the file's full path at the front.
    virtual void Add(LPCTSTR lpszPathName);

    // The text the menu shows for entry nIndex: the file name alone when
    // the file lies in lpszCurDir (nCurDir characters, with its final
    // backslash) or when the whole path is longer than the display limit
    // and bAtLeastName is set; otherwise the path, shortened in its middle
    // with "..." to fit. FALSE for an empty slot.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
        BOOL bAtLeastName = TRUE) const;

    // Replaces the menu item of pCmdUI (ID_FILE_MRU_FILE1) by one item per
    // entry, "&1 name" to "&9 name" and then "1&0 name"; an empty list keeps
    // the original item, disabled.
    virtual void UpdateMenu(CCmdUI* pCmdUI);

    // The profile of the application (AfxGetApp()).
    virtual void ReadList();
    virtual void WriteList();

    UINT m_nStart;
    CString m_strSectionName;
    CString m_strEntryFormat;
    int m_nSize;
    int m_nMaxDisplayLength;
    CString m_strOriginal; // the menu item's text before the list replaced it

protected:
    std::vector<CString> m_arrNames;
};
