// Pictures written to files: the whole surface (Export Surface as Picture,
// and RenderToImage for logos and uploads) and the one selected picture (Save
// Picture As), in a raster format the user chooses from the formats the
// picture engine writes.

#include "surface/Surface.h"

#include "app/Paths.h"
#include "app/RectGeometry.h"
#include "model/DrawObj.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "platform/files/FileApi.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/export.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// What takes the place of the last pattern of "All Picture files": the
// patterns of the formats that are written but not read.
constexpr const char kWritablePatternsEnd[] = "*.wpg;*.cal;*.cmp;*.img;*.mac;*.msp;*.pct;*.ras|BMP";

void RemoveString(CString& filter, UINT nID)
{
    CString piece;
    if (piece.LoadString(nID) && !piece.IsEmpty())
        filter.Replace(piece, "");
}

void ReplaceString(CString& filter, UINT nID, const CString& strWith)
{
    CString piece;
    if (piece.LoadString(nID) && !piece.IsEmpty())
        filter.Replace(piece, strWith);
}

// The '|'-separated fields of a filter ("name|patterns|name|patterns|...").
std::vector<CString> FilterFields(const CString& strFilter)
{
    std::vector<CString> fields;
    int nStart = 0;
    for (int i = 0; i < strFilter.GetLength(); ++i) {
        if (strFilter[i] != '|')
            continue;
        fields.push_back(strFilter.Mid(nStart, i - nStart));
        nStart = i + 1;
    }
    if (nStart < strFilter.GetLength())
        fields.push_back(strFilter.Mid(nStart));
    return fields;
}

// The extension (without the dot) of each "*.ext" pattern of a pattern list.
std::vector<CString> PatternExtensions(const CString& strPatterns)
{
    std::vector<CString> extensions;
    int nStart = 0;
    const int nLength = strPatterns.GetLength();
    for (int i = 0; i <= nLength; ++i) {
        if (i < nLength && strPatterns[i] != ';')
            continue;
        const CString strPattern = strPatterns.Mid(nStart, i - nStart);
        if (strPattern.GetLength() > 2 && strPattern.Left(2) == "*.")
            extensions.push_back(strPattern.Mid(2));
        nStart = i + 1;
    }
    return extensions;
}

// The extension a name without one takes for the chosen type (1-based, as
// the dialog counts): its first pattern's, which for "All Picture files" is
// the bitmap's.
CString TypeExtension(const std::vector<CString>& fields, DWORD nType)
{
    const size_t nPatterns = size_t(std::max<DWORD>(nType, 1) - 1) * 2 + 1;
    if (nPatterns < fields.size()) {
        const std::vector<CString> extensions = PatternExtensions(fields[nPatterns]);
        if (!extensions.empty())
            return extensions.front();
    }
    return "bmp";
}

// The file-name part's extension (without the dot), empty when it has none.
CString NameExtension(const CString& strPath)
{
    const int nSlash = std::max(strPath.ReverseFind('\\'), strPath.ReverseFind('/'));
    const int nDot = strPath.ReverseFind('.');
    return nDot > nSlash ? strPath.Mid(nDot + 1) : CString();
}

BOOL OffersExtension(const std::vector<CString>& fields, const CString& strExtension)
{
    if (strExtension.IsEmpty())
        return FALSE;
    for (size_t i = 1; i < fields.size(); i += 2) {
        for (const CString& ext : PatternExtensions(fields[i])) {
            if (ext.CompareNoCase(strExtension) == 0)
                return TRUE;
        }
    }
    return FALSE;
}

// The save dialog with picture preview. A name typed without one of the
// offered extensions gets the chosen type's, since the engine picks the
// format by the extension alone; the user confirms replacing a file of that
// full name as the dialog asks for the name typed. FALSE on Cancel.
BOOL PromptPictureSavePath(CString& strPath, LPCTSTR lpszTitle, const CString& strFilter, CWnd* pParent)
{
    const std::vector<CString> fields = FilterFields(strFilter);
    CString strName;
    DWORD nType = 1;
    for (;;) {
        std::unique_ptr<CFileDialog> dialog = MakeProgramFileDialog(FALSE, nullptr, strName,
            OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, strFilter, pParent);
        dialog->m_ofn.lpstrTitle = lpszTitle;
        dialog->m_ofn.nFilterIndex = nType;
        if (dialog->DoModal() != IDOK)
            return FALSE;
        CString strChosen = dialog->GetPathName();
        nType = dialog->m_ofn.nFilterIndex;
        if (strChosen.IsEmpty())
            return FALSE;
        if (!OffersExtension(fields, NameExtension(strChosen))) {
            // "name." is a name without an extension, not one with an empty one.
            strChosen.TrimRight('.');
            strChosen += "." + TypeExtension(fields, nType);
            if (::GetFileAttributes(strChosen) != INVALID_FILE_ATTRIBUTES) {
                const CString strAsk = strChosen + " already exists.\nDo you want to replace it?";
                if (AfxMessageBox(strAsk, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
                    strName = strChosen;
                    continue;
                }
            }
        }
        strPath = strChosen;
        return TRUE;
    }
}

// The message the engine gives when it has no room for a picture.
void ReportNoMemory()
{
    CString strText;
    GetPicErrorText(kPicErrNoMemory, strText);
    AfxMessageBox(strText);
}

// On screens of 256 colours or fewer a picture of the surface keeps the
// palette of the first object with a picture; deeper screens need none.
void TakeObjectPalette(const CObList& objects, CPalette& palette)
{
    if (GetScreenColorDepth() > 8)
        return;
    for (POSITION pos = objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(objects.GetNext(pos));
        if (pObj == NULL || !pObj->HasPicture())
            continue;
        if (pObj->m_pPicture != nullptr && pObj->m_pPicture->IsRaster()) {
            CClientDC screen(nullptr);
            const HBITMAP hBitmap = CreatePicDDB(&screen, pObj->m_pPicture->m_nHandle, &palette);
            if (hBitmap != NULL)
                ::DeleteObject(hBitmap);
        }
        return;
    }
}

// The surface's export area drawn at the view's zoom, made into a picture;
// FALSE when no bitmap could be made.
BOOL MakeSurfaceImage(CSurface* pView, CImage& image, CRect& area)
{
    area = pView->GetExportArea();
    CBitmap bitmap;
    if (!pView->RenderObjectsPicture(&bitmap, &area))
        return FALSE;
    CPalette palette;
    TakeObjectPalette(pView->GetObjects(), palette);
    return image.CreateFromBitmap(&bitmap, static_cast<HPALETTE>(palette.GetSafeHandle()), FALSE,
        CImage::kDefaultLoadMode);
}

} // namespace

CString CSurface::BuildPictureSaveFilter()
{
    CString filter = BuildPictureFilter();
    RemoveString(filter, IDS_EXPORT_ICO_PATTERN);
    RemoveString(filter, IDS_EXPORT_ICO_ENTRY);
    RemoveString(filter, IDS_EXPORT_CGM_ENTRY);
    RemoveString(filter, IDS_EXPORT_CGM_PATTERN);
    RemoveString(filter, IDS_EXPORT_DIB_ENTRY);
    RemoveString(filter, IDS_EXPORT_DIB_PATTERN);
    RemoveString(filter, IDS_EXPORT_WMF_PATTERN);
    RemoveString(filter, IDS_EXPORT_WMF_ENTRY);
    CString strWriteOnly;
    strWriteOnly.LoadString(IDS_EXPORT_WRITE_ONLY_ENTRIES);
    ReplaceString(filter, IDS_EXPORT_EMF_ENTRY, strWriteOnly);
    ReplaceString(filter, IDS_EXPORT_LAST_PATTERN, kWritablePatternsEnd);
    RemoveString(filter, IDS_EXPORT_EMF_PATTERN);
    // The engine has no Photo CD writer: a file named .pcd would get a
    // bitmap's bytes.
    filter.Replace("PCD - Photo CD|*.pcd|", "");
    filter.Replace("*.pcd;", "");
    return filter;
}

CRect CSurface::GetExportArea()
{
    CRect area = CDrawObj::NormalizeUp(GetPageRect());
    if (m_objects.IsEmpty())
        return area;
    // Both rectangles have the larger y as top.
    const CRect objects = GetObjectsBounds(&m_objects);
    area.left = std::min(area.left, objects.left);
    area.right = std::max(area.right, objects.right);
    area.top = std::max(area.top, objects.top);
    area.bottom = std::min(area.bottom, objects.bottom);
    return area;
}

BOOL CSurface::RenderToImage(LPCTSTR lpszPath)
{
    if (lpszPath == nullptr || *lpszPath == '\0')
        return FALSE;
    CImage image;
    CRect area;
    if (!MakeSurfaceImage(this, image, area))
        return FALSE;
    return image.Export(lpszPath, FALSE, FALSE, 0, area) >= 0;
}

void CSurface::OnExportSurface()
{
    CImage image;
    CRect area;
    if (!MakeSurfaceImage(this, image, area)) {
        ReportNoMemory();
        return;
    }
    CString strPath;
    if (!PromptPictureSavePath(strPath, "Save As", BuildPictureSaveFilter(), this))
        return;
    image.Export(strPath, FALSE, FALSE, 0, area);
}

void CSurface::OnUpdateExportSurface(CCmdUI* pCmdUI)
{
    // Only what the user can select and what a picture of the surface
    // draws counts: guides and hidden tiles alone would give a blank page.
    constexpr WORD kNotExported = OBJ_FLAG_UNSELECTABLE | OBJ_FLAG_GUIDE | OBJ_FLAG_TILE_HIDDEN;
    BOOL bAny = FALSE;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL && !bAny;) {
        const CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        bAny = pObj != NULL && (pObj->m_wFlags & kNotExported) == 0;
    }
    pCmdUI->Enable(bAny);
}

void CSurface::OnSavePictureAs()
{
    CDrawObj* pObj = GetSingleSelection();
    if (pObj == NULL || pObj->m_pPicture == nullptr || !pObj->HasPicture())
        return;
    CString strPath;
    if (!PromptPictureSavePath(strPath, "Save Picture As", BuildPictureSaveFilter(), this))
        return;
    // The dialog may have ended the selection's life (a repaint does not,
    // but a closing design would).
    if (GetSingleSelection() != pObj || pObj->m_pPicture == nullptr)
        return;
    WriteObjectPicture(pObj, strPath);
}

CString CSurface::SavePictureAs(CDrawObj* pObj)
{
    CString strPath;
    if (pObj == NULL || pObj->m_pPicture == nullptr || !pObj->HasPicture())
        return CString();
    if (!PromptPictureSavePath(strPath, "Save Picture As", BuildPictureSaveFilter(), this))
        return CString();
    if (pObj->m_pPicture == nullptr || !WriteObjectPicture(pObj, strPath))
        return CString();
    return strPath;
}

BOOL CSurface::WriteObjectPicture(CDrawObj* pObj, const CString& strPath)
{
    CImage& picture = *pObj->m_pPicture;
    CRect rect = pObj->m_position;
    rect.NormalizeRect();
    if (picture.IsRaster())
        return picture.Export(strPath, FALSE, FALSE, 0, rect) >= 0;
    // A metafile or a composite is made into a raster to be written; a copy
    // is, so that the design keeps its picture as it was.
    if (picture.m_nHandle == kImageMetafile)
        FlipRect(&rect, FALSE, TRUE);
    CImage copy;
    copy.Copy(picture);
    copy.SetDisplaySize(std::abs(rect.Width()), std::abs(rect.Height()));
    copy.SetFlip(picture.m_nFlipX, picture.m_nFlipY);
    return copy.Export(strPath, FALSE, FALSE, 0, rect) >= 0;
}
