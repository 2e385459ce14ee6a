#include "controls/FolderTreeFiller.h"

#include "app/FolderScan.h"
#include "app/Paths.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"

// The scan whose per-entry operation lists the entry's folder.
class CFolderTreeScan : public CFolderScan {
public:
    CFolderTreeScan(CFolderTreeFiller& filler, LPCTSTR lpszRoot, LPCTSTR lpszPattern, UINT nMessageId)
        : CFolderScan(lpszRoot, lpszPattern, TRUE, nMessageId)
        , m_filler(filler)
    {
    }

protected:
    BOOL OnEntry(const CString& strPath) override { return m_filler.AddFolder(strPath); }

private:
    CFolderTreeFiller& m_filler;
};

CFolderTreeFiller::CFolderTreeFiller(HWND hTree, LPCTSTR lpszPattern)
    : CTreeFiller(hTree)
    , m_strPattern(lpszPattern != nullptr ? lpszPattern : "")
{
    if (m_strPattern.IsEmpty())
        m_strPattern = kDefaultPattern;
}

BOOL CFolderTreeFiller::AddFolder(const CString& strEntryPath)
{
    int nLast = strEntryPath.ReverseFind('\\');
    if (nLast < 0)
        return TRUE;
    // A folder's entries all come before the scan goes below it, so the
    // folder last listed is the only one an entry can repeat.
    CString folder = strEntryPath.Left(nLast + 1);
    if (folder == m_strLastFolder)
        return TRUE;
    m_strLastFolder = folder;
    if (AddItem(TVI_ROOT, folder, DWORD(m_nFolders), 0) != NULL)
        ++m_nFolders;
    return TRUE;
}

void CFolderTreeFiller::Refresh()
{
    if (m_strRootPath.IsEmpty() || m_hTree == NULL) {
        CTreeFiller::Refresh();
        return;
    }
    m_strLastFolder.Empty();
    m_nFolders = 0;
    CFolderTreeScan scan(*this, m_strRootPath, m_strPattern, m_nMessageId);
    scan.Scan();
    // The base Refresh clears the selection (these items are never
    // checked), so the first folder is chosen after it: the results start
    // with a folder chosen, ready to open.
    CTreeFiller::Refresh();
    HTREEITEM hFirst = HTREEITEM(::SendMessage(m_hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (hFirst != NULL)
        ::SendMessage(m_hTree, TVM_SELECTITEM, TVGN_CARET, LPARAM(hFirst));
    ::RedrawWindow(m_hTree, nullptr, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CFolderTreeFiller::SetRootPath(LPCTSTR lpszPath)
{
    m_strRootPath = WithTrailingBackslash(lpszPath != nullptr ? lpszPath : "");
    ResetTree();
    CTreeFiller::Refresh();
    ResetTree();
    Refresh();
}
