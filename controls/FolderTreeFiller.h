#pragma once
// A tree filled from a folder scan: one top-level item per folder below the
// root (the root included) that holds an entry matching the pattern, listed
// once, with the folder's path ("C:\pics\cats\") as its text. Find Clipart
// lists the folders that hold pictures this way. The scan runs behind the
// progress display of the folder scan, and Cancel keeps what was listed.

#include "controls/TreeFiller.h"

class CFolderTreeFiller : public CTreeFiller {
public:
    // The pattern an empty pattern stands for: every entry ("*.*" would
    // miss names without a dot, since patterns match names literally).
    static constexpr const char* kDefaultPattern = "*";

    explicit CFolderTreeFiller(HWND hTree, LPCTSTR lpszPattern = nullptr);

    // Nothing to add by itself: the folders come from the scan in Refresh.
    void Fill() override {}
    // Scans the root path (when set) and lists its folders; after the base
    // Refresh selects the first and draws.
    void Refresh() override;

    // Keeps the root (a backslash added when missing), clears the tree and
    // fills it again from the root.
    void SetRootPath(LPCTSTR lpszPath);
    // The number of folders the last scan listed.
    int GetFolderCount() const { return m_nFolders; }

    CString m_strRootPath;
    CString m_strPattern;
    // The string ("|caption|line|") the scan's progress window shows; 0
    // leaves it without caption and message.
    UINT m_nMessageId = 0;

private:
    friend class CFolderTreeScan;
    BOOL AddFolder(const CString& strEntryPath);

    CString m_strLastFolder;
    int m_nFolders = 0;
};
