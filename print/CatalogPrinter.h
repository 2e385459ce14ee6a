#pragma once
// CCatalogPrinter: prints a list of picture and design files as a catalog:
// the print dialog, then pages of three columns of cells, each cell holding
// the picture fitted with its proportions above the file's name, as many
// rows as fit the printable area. A design prints its stored preview; a
// file that cannot be read leaves its cell with only its name.
//
// The caller owns the printer; the printer owns nothing beyond the list of
// paths. Print answers FALSE when the dialog was cancelled, there was
// nothing to print or the printer could not start the job.

#include "platform/base/String.h"
#include "platform/base/Geometry.h"
#include "platform/base/StringArray.h"

class CDC;
class CWnd;

class CCatalogPrinter {
public:
    static constexpr int kColumns = 3;

    // Only layout 3 (three columns with names) is built; others print as 3.
    CCatalogPrinter(CWnd* pParent, const CStringArray& files, int nLayout = 3);

    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    int GetFileCount() const { return int(m_files.GetSize()); }

    // Runs the print dialog, then prints every page.
    BOOL Print();
    // Prints every page on a DC already in a document (no dialog, no
    // StartDoc); answers the number of pages.
    int PrintPages(CDC* pDC);
    // Pages needed for the files on a page of that printable size.
    int CountPages(CDC* pDC) const;

private:
    void LayoutCells(CDC* pDC, int& nRows, CSize& sizeCell, int& nNameHeight) const;
    void DrawCell(CDC* pDC, const CString& strPath, const CRect& rectCell, int nNameHeight) const;

    CWnd* m_pParent;
    CString m_strTitle;
    CStringArray m_files;
};
