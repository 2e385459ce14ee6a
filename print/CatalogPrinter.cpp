#include "print/CatalogPrinter.h"

#include "model/DocQuickInfoFile.h"
#include "pictures/Image.h"
#include "platform/base/AfxResourceIds.h"
#include "platform/framework/Afx.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <memory>

namespace {

// Largest side a printed picture is read at: enough for a third of a page
// at printer resolution, without holding a whole photo per cell.
constexpr int kMaxPrintSide = 1600;

CString NameOfPath(const CString& strPath)
{
    const int nSlash = std::max(strPath.ReverseFind('\\'), strPath.ReverseFind(':'));
    return nSlash < 0 ? strPath : strPath.Mid(nSlash + 1);
}

// A design gives its stored preview; anything else is read as a picture.
std::unique_ptr<CImage> LoadCellPicture(const CString& strPath, int nMaxSide)
{
    auto pImage = std::make_unique<CImage>();
    if (ReadDesignPreview(strPath, pImage.get(), -1, CImage::kDefaultLoadMode, nullptr) == S_OK)
        return pImage;
    pImage = std::make_unique<CImage>();
    if (pImage->LoadThumbnail(nMaxSide, strPath))
        return pImage;
    return nullptr;
}

} // namespace

CCatalogPrinter::CCatalogPrinter(CWnd* pParent, const CStringArray& files, int /*nLayout*/)
    : m_pParent(pParent)
{
    m_files.Copy(files);
}

void CCatalogPrinter::LayoutCells(CDC* pDC, int& nRows, CSize& sizeCell, int& nNameHeight) const
{
    const int cx = std::max(1, pDC->GetDeviceCaps(HORZRES));
    const int cy = std::max(1, pDC->GetDeviceCaps(VERTRES));
    const int nDpiY = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    // A name line of 10 points with room around it.
    nNameHeight = nDpiY * 10 / 72 * 3 / 2;
    sizeCell.cx = cx / kColumns;
    sizeCell.cy = std::min(cy, sizeCell.cx + nNameHeight);
    nRows = std::max(1, cy / std::max(1, int(sizeCell.cy)));
}

int CCatalogPrinter::CountPages(CDC* pDC) const
{
    int nRows = 1;
    CSize sizeCell;
    int nNameHeight = 0;
    LayoutCells(pDC, nRows, sizeCell, nNameHeight);
    const int nPerPage = nRows * kColumns;
    return (int(m_files.GetSize()) + nPerPage - 1) / nPerPage;
}

void CCatalogPrinter::DrawCell(CDC* pDC, const CString& strPath, const CRect& rectCell, int nNameHeight) const
{
    const int nGap = std::max(1, rectCell.Width() / 24);
    CRect box(rectCell.left + nGap, rectCell.top + nGap, rectCell.right - nGap, rectCell.bottom - nNameHeight);
    if (box.Width() > 0 && box.Height() > 0) {
        if (auto pImage = LoadCellPicture(strPath, std::min(kMaxPrintSide, std::max(box.Width(), box.Height())))) {
            SIZE size{};
            pImage->GetSize(size);
            if (size.cx > 0 && size.cy > 0) {
                // Fitted with its proportions, centred in the cell's picture box.
                const double scale = std::min(double(box.Width()) / size.cx, double(box.Height()) / size.cy);
                const int cx = std::max(1, int(size.cx * scale));
                const int cy = std::max(1, int(size.cy * scale));
                CRect dest(box.left + (box.Width() - cx) / 2, box.top + (box.Height() - cy) / 2, 0, 0);
                dest.right = dest.left + cx;
                dest.bottom = dest.top + cy;
                pImage->Draw(pDC, dest, dest, box);
            }
        }
    }
    CRect name(rectCell.left + nGap, rectCell.bottom - nNameHeight, rectCell.right - nGap, rectCell.bottom);
    CString text = NameOfPath(strPath);
    pDC->DrawText(text, &name, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

int CCatalogPrinter::PrintPages(CDC* pDC)
{
    int nRows = 1;
    CSize sizeCell;
    int nNameHeight = 0;
    LayoutCells(pDC, nRows, sizeCell, nNameHeight);
    CFont font;
    font.CreateFont(-(nNameHeight * 2 / 3), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    const int nPerPage = nRows * kColumns;
    const int nFiles = int(m_files.GetSize());
    int nPages = 0;
    for (int nFirst = 0; nFirst < nFiles; nFirst += nPerPage) {
        if (pDC->StartPage() <= 0)
            break;
        CFont* pOldFont = pDC->SelectObject(&font);
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(0, 0, 0));
        for (int i = nFirst; i < std::min(nFiles, nFirst + nPerPage); ++i) {
            const int nCell = i - nFirst;
            const int x = (nCell % kColumns) * sizeCell.cx;
            const int y = (nCell / kColumns) * sizeCell.cy;
            DrawCell(pDC, m_files.GetAt(i), CRect(x, y, x + sizeCell.cx, y + sizeCell.cy), nNameHeight);
        }
        pDC->SelectObject(pOldFont);
        ++nPages;
        if (pDC->EndPage() <= 0)
            break;
    }
    return nPages;
}

BOOL CCatalogPrinter::Print()
{
    if (m_files.GetSize() == 0)
        return FALSE;
    CPrintDialog dlg(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
        m_pParent);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    if (dlg.GetPrinterDC() == NULL && dlg.CreatePrinterDC() == NULL) {
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_START_PRINT));
        return FALSE;
    }

    // A printer that writes a file needs the file's name.
    CString strOutput;
    if ((dlg.m_pd.Flags & PD_PRINTTOFILE) || dlg.GetPortName().CompareNoCase("FILE:") == 0) {
        CFileDialog fileDlg(FALSE, AfxFrameworkString(AFX_IDS_PRINTDEFAULTEXT), AfxFrameworkString(AFX_IDS_PRINTDEFAULT),
            OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, AfxFrameworkString(AFX_IDS_PRINTFILTER),
            m_pParent);
        CString strCaption = AfxFrameworkString(AFX_IDS_PRINTCAPTION);
        fileDlg.m_ofn.lpstrTitle = strCaption;
        if (fileDlg.DoModal() != IDOK)
            return FALSE;
        strOutput = fileDlg.GetPathName();
    }

    DOCINFO docInfo{};
    docInfo.cbSize = sizeof docInfo;
    docInfo.lpszDocName = m_strTitle.IsEmpty() ? "Catalog" : static_cast<LPCSTR>(m_strTitle);
    docInfo.lpszOutput = strOutput.IsEmpty() ? nullptr : static_cast<LPCSTR>(strOutput);

    CDC dc;
    dc.Attach(dlg.GetPrinterDC()); // the dialog deletes the DC
    dc.m_bPrinting = TRUE;
    if (dc.StartDoc(&docInfo) <= 0) {
        dc.Detach();
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_START_PRINT));
        return FALSE;
    }
    CWaitCursor wait;
    const int nPages = PrintPages(&dc);
    if (nPages == CountPages(&dc))
        dc.EndDoc();
    else
        dc.AbortDoc();
    dc.Detach();
    return nPages > 0;
}
