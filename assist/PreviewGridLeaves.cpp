// The two kinds of grid: the files of a folder, and the gallery's category.

#include "assist/PreviewGrid.h"

#include "model/DocQuickInfoFile.h"
#include "pictures/GalleryDB.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/files/FileApi.h"
#include "platform/framework/Dialog.h"
#include "print/CatalogPrinter.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CSavedDesignGrid, CPreviewGrid)
IMPLEMENT_DYNAMIC(CCdDesignGrid, CPreviewGrid)

namespace {

// The part after the last backslash or colon.
CString NameOfPath(const CString& strPath)
{
    const int nSlash = std::max(strPath.ReverseFind('\\'), strPath.ReverseFind(':'));
    return nSlash < 0 ? strPath : strPath.Mid(nSlash + 1);
}

std::string FoldCase(LPCTSTR lpsz)
{
    std::string folded(lpsz);
    for (char& ch : folded)
        if (ch >= 'A' && ch <= 'Z')
            ch = char(ch - 'A' + 'a');
    return folded;
}

} // namespace

// ---- The files of a folder ------------------------------------------------------------------

CSavedDesignGrid::CSavedDesignGrid(CDialog* pDialog, CScrollBar* pScrollBar, int nLeafKind)
    : CPreviewGrid(pDialog, pScrollBar, nLeafKind)
    , m_bPictures(nLeafKind != kGridLeafDesigns)
{
}

int CSavedDesignGrid::FillFromFolder(LPCTSTR lpszFolder, LPCTSTR lpszPatterns)
{
    m_strFolder = lpszFolder != nullptr ? lpszFolder : "";
    if (!m_strFolder.IsEmpty() && m_strFolder.Right(1) != "\\")
        m_strFolder += '\\';
    m_names.RemoveAll();

    std::vector<CString> patterns;
    CString strPatterns = lpszPatterns != nullptr ? lpszPatterns : "";
    for (int nStart = 0; nStart <= strPatterns.GetLength();) {
        int nEnd = strPatterns.Find(';', nStart);
        if (nEnd < 0)
            nEnd = strPatterns.GetLength();
        CString pattern = strPatterns.Mid(nStart, nEnd - nStart);
        pattern.TrimLeft();
        pattern.TrimRight();
        if (!pattern.IsEmpty())
            patterns.push_back(pattern);
        nStart = nEnd + 1;
    }

    // A file that two patterns match is listed once.
    std::set<std::string> seen;
    std::vector<CString> names;
    for (const CString& pattern : patterns) {
        if (m_strFolder.IsEmpty())
            break;
        WIN32_FIND_DATA data{};
        HANDLE hFind = ::FindFirstFile(m_strFolder + pattern, &data);
        if (hFind == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            if (int(names.size()) >= kMaxFiles)
                break;
            if (seen.insert(FoldCase(data.cFileName)).second)
                names.push_back(data.cFileName);
        } while (::FindNextFile(hFind, &data));
        ::FindClose(hFind);
    }
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    for (const CString& name : names)
        m_names.Add(name);
    SetItemCount(int(names.size()));
    return int(names.size());
}

BOOL CSavedDesignGrid::SelectByName(LPCTSTR lpszName)
{
    if (lpszName == nullptr)
        return FALSE;
    const CString name = NameOfPath(lpszName);
    if (name.IsEmpty())
        return FALSE;
    for (int i = 0; i < int(m_names.GetSize()); ++i) {
        if (m_names.GetAt(i).CompareNoCase(name) == 0) {
            SetCurSel(i);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CSavedDesignGrid::PrintCatalog()
{
    CStringArray files;
    for (int i = 0; i < int(m_names.GetSize()); ++i)
        files.Add(GetFilePath(i));
    if (files.GetSize() == 0)
        return FALSE;
    CCatalogPrinter printer(m_pDialog, files, 3);
    printer.SetTitle(m_strFolder);
    return printer.Print();
}

CString CSavedDesignGrid::GetFilePath(int nItem) const
{
    if (nItem < 0 || nItem >= int(m_names.GetSize()))
        return CString();
    return m_strFolder + m_names.GetAt(nItem);
}

CString CSavedDesignGrid::GetCurrentFile() const
{
    return GetFilePath(GetCurSel());
}

CString CSavedDesignGrid::GetItemName(int nItem) const
{
    if (nItem < 0 || nItem >= int(m_names.GetSize()))
        return CString();
    return m_names.GetAt(nItem);
}

std::unique_ptr<CImage> CSavedDesignGrid::MakeThumbnail(int nItem, int nSize)
{
    const CString path = GetFilePath(nItem);
    if (path.IsEmpty())
        return nullptr;
    auto pImage = std::make_unique<CImage>();
    // The grid reads every file the user scrolls past: one that cannot be
    // previewed keeps an empty frame rather than stopping the user with a
    // message.
    pImage->SetWordFlag(IMAGE_FLAG_QUIET, TRUE);
    try {
        if (!m_bPictures) {
            if (ReadDesignPreview(path, pImage.get(), -1, CImage::kDefaultLoadMode, nullptr) != S_OK)
                return nullptr;
        } else if (IsMetafileName(path)) {
            if (!LoadMetafileThumbnail(*pImage, path, nSize))
                return nullptr;
        } else if (!pImage->LoadThumbnail(nSize, path)) {
            return nullptr;
        }
    } catch (CException* e) {
        e->Delete();
        return nullptr;
    }
    if (!pImage->IsRaster() && pImage->m_nHandle != kImageMetafile && pImage->m_nHandle != kImageComposite)
        return nullptr;
    return pImage;
}

BOOL CSavedDesignGrid::IsMetafileName(const CString& strPath)
{
    const CString strTail = FoldCase(strPath.Right(4)).c_str();
    return strTail == ".wmf" || strTail == ".emf";
}

// A metafile is played once into a raster of the cell's size: the picture
// library reads no metafiles, and playing a large one at every paint would
// slow the scrolling.
BOOL CSavedDesignGrid::LoadMetafileThumbnail(CImage& image, const CString& strPath, int nSize)
{
    image.LoadFile(strPath, CImage::kDefaultLoadMode);
    if (image.m_nHandle != kImageMetafile)
        return FALSE;
    SIZE size{0, 0};
    image.GetSize(size, TRUE);
    const int cxFrame = std::max<int>(1, std::abs(static_cast<int>(size.cx)));
    const int cyFrame = std::max<int>(1, std::abs(static_cast<int>(size.cy)));
    const int nMax = std::max(1, nSize);
    const double scale = std::min(double(nMax) / cxFrame, double(nMax) / cyFrame);
    const int cx = std::clamp(int(cxFrame * scale + 0.5), 1, nMax);
    const int cy = std::clamp(int(cyFrame * scale + 0.5), 1, nMax);
    // A metafile that cannot be rasterised still draws itself.
    image.RasterizeMetaFile(cx, cy);
    return TRUE;
}

// ---- The gallery's category -----------------------------------------------------------------

CCdDesignGrid::CCdDesignGrid(CDialog* pDialog, CScrollBar* pScrollBar, CGalleryDB* pDatabase)
    : CPreviewGrid(pDialog, pScrollBar, kGridLeafPictures)
    , m_pDatabase(pDatabase)
{
}

CString CCdDesignGrid::GetCurrentFile() const
{
    if (m_pDatabase == nullptr || GetCurSel() < 0)
        return CString();
    return m_pDatabase->GetPictureFile(GetCurSel());
}

CString CCdDesignGrid::GetItemName(int nItem) const
{
    if (m_pDatabase == nullptr)
        return CString();
    return NameOfPath(m_pDatabase->GetPictureFile(nItem));
}

// The database keeps thumbnails made at the size of their day; they are
// drawn fitted into the cell like any other picture.
std::unique_ptr<CImage> CCdDesignGrid::MakeThumbnail(int nItem, int)
{
    if (m_pDatabase == nullptr)
        return nullptr;
    return m_pDatabase->GetPicture(nItem);
}
