#include "model/DocQuickInfoFile.h"

#include "app/main/DesignerApp.h"
#include "controls/DesignFileKind.h"
#include "model/DrawDoc.h"
#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/CodePage.h"
#include "platform/base/File.h"
#include "platform/imaging/Imaging.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

constexpr char kStreamName[] = "Doc Quick Info";
constexpr char kPreviewStreamName[] = "Surface Preview";

// Where the flat files of the sibling program's versions 2 and 3.0 keep
// their preview's byte count.
constexpr DWORD kFlatV2PreviewOffset = 5294;
constexpr DWORD kFlatV3PreviewOffset = 0;
// An older file's preview is read in pieces of this size.
constexpr UINT kRawPieceBytes = 24576;

// Results of the preview readers besides the storage errors.
constexpr HRESULT kPreviewUnreadable = -1;
constexpr HRESULT kPreviewNotDesign = -3;
constexpr HRESULT kPreviewNone = -4;
constexpr HRESULT kPreviewEmpty = -6;

// Opens a design file for reading while others may read it too; NULL when
// it is not a compound file or cannot be opened.
IStorage* OpenDesignStorage(LPCTSTR lpszPathName, HRESULT* pResult = nullptr)
{
    HRESULT hr = STG_E_FILENOTFOUND;
    IStorage* pStorage = nullptr;
    if (lpszPathName != nullptr && *lpszPathName != '\0') {
        const std::u16string wide = platform::Utf16From1252(lpszPathName);
        hr = StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pStorage);
        if (FAILED(hr))
            pStorage = nullptr;
    }
    if (pResult != nullptr)
        *pResult = hr;
    return pStorage;
}

// The storage errors that mean another program, or this one, holds the
// file open.
bool IsHeldOpen(HRESULT hr)
{
    return hr == STG_E_SHAREVIOLATION || hr == STG_E_LOCKVIOLATION;
}

BOOL HasStream(IStorage* pStorage, const CString& strName)
{
    COleStreamFile file;
    if (!file.OpenStream(pStorage, strName, CFile::modeRead | CFile::shareExclusive))
        return FALSE;
    file.Close();
    return TRUE;
}

CString LoadText(UINT nID)
{
    CString str;
    str.LoadString(nID);
    return str;
}

} // namespace

CDocQuickInfo::CDocQuickInfo()
    : m_strStreamName(kStreamName)
{
    InitDocQuickInfo(m_info);
}

void CDocQuickInfo::FillFromDocument(CDrawDoc* pDoc)
{
    m_wSurfaceFlags = 0;
    pDoc->ForEachSurfaceView([this](CSurface* pView) {
        WORD wFlags = 0;
        pView->GetCombinedObjectFlags(&wFlags);
        m_wSurfaceFlags |= wFlags;
    });
    m_strText = pDoc->m_strDesignText;
    m_info = pDoc->GetQuickInfo();
}

void CDocQuickInfo::WriteToStorage(CDrawDoc* pDoc, IStorage* pStorage)
{
    FillFromDocument(pDoc);
    COleStreamFile file;
    CFileException fe;
    if (!file.CreateStream(pStorage, m_strStreamName, CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate,
            &fe))
        AfxThrowFileException(fe.m_cause, fe.m_lOsError);
    CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    ar << kRecordVersion << m_wSurfaceFlags << m_strText << DWORD(0);
    for (LONG nValue : m_info.values)
        ar << nValue;
    ar.Close();
    file.Close();
}

BOOL CDocQuickInfo::ReadFromStorage(CDrawDoc* pDoc, IStorage* pStorage)
{
    (void)pDoc;
    return ReadStream(pStorage);
}

BOOL CDocQuickInfo::ReadStream(IStorage* pStorage)
{
    // A file without the stream reads as no kind with an empty text.
    m_info[DocQuickInfo::Kind] = 6;
    if (pStorage == nullptr)
        return FALSE;
    COleStreamFile file;
    if (!file.OpenStream(pStorage, m_strStreamName, CFile::modeRead | CFile::shareExclusive))
        return FALSE;
    try {
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        DWORD dwVersion = 0;
        ar >> dwVersion;
        m_nVersion = static_cast<LONG>(dwVersion);
        ar >> m_wSurfaceFlags >> m_strText;
        if (dwVersion == kRecordVersion) {
            DWORD dwZero = 0;
            ar >> dwZero;
            DocQuickInfo info = m_info;
            for (LONG& nValue : info.values)
                ar >> nValue;
            m_info = info;
        }
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CDocQuickInfo::ReadFromFile(LPCTSTR lpszPathName)
{
    m_info[DocQuickInfo::Kind] = 6;
    IStorage* pStorage = OpenDesignStorage(lpszPathName);
    if (pStorage == nullptr)
        return FALSE;
    const BOOL bRead = ReadStream(pStorage);
    pStorage->Release();
    return bRead;
}

// ---- Previews and quick-information readers --------------------------------------------------

CString SurfacePreviewStreamName(int nSurface)
{
    CString strName(kPreviewStreamName);
    if (nSurface >= 1) {
        CString strNumber;
        strNumber.Format("%-*u", 1, static_cast<unsigned>(nSurface));
        strName += strNumber;
    }
    return strName;
}

int ReadSurfacePreview(LPCTSTR lpszPathName, CImage* pImage, int nSurface, int nLoadMode)
{
    if (pImage == nullptr || nSurface < 0)
        return kPreviewUnreadable;
    pImage->Release();
    HRESULT hrOpen = S_OK;
    IStorage* pStorage = OpenDesignStorage(lpszPathName, &hrOpen);
    if (pStorage == nullptr)
        return IsHeldOpen(hrOpen) ? hrOpen : kPreviewUnreadable;
    int nResult = kPreviewUnreadable;
    COleStreamFile file;
    if (file.OpenStream(pStorage, SurfacePreviewStreamName(nSurface), CFile::modeRead | CFile::shareExclusive)) {
        // The stream holds one picture's file image and nothing else.
        const DWORD nLength = file.GetLength();
        if (nLength > 0 && nLength <= static_cast<DWORD>(LT_MAX_FILE_BYTES)) {
            try {
                CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
                if (pImage->ReadRasterData(ar, nLoadMode, nLength) > 0 && pImage->IsRaster())
                    nResult = 0;
                ar.Close();
            } catch (CException* e) {
                e->Delete();
                pImage->Release();
                nResult = kPreviewUnreadable;
            }
        }
        file.Close();
    }
    pStorage->Release();
    return nResult;
}

CString GetDesignInfoText(LPCTSTR lpszPathName)
{
    CDocQuickInfo quick;
    quick.ReadFromFile(lpszPathName);
    if (!quick.m_strText.IsEmpty())
        return quick.m_strText;
    return DescribeDesignFile(lpszPathName);
}

BOOL HasSurfacePreviewStream(LPCTSTR lpszPathName, int nSurface)
{
    if (nSurface < 0)
        return FALSE;
    IStorage* pStorage = OpenDesignStorage(lpszPathName);
    if (pStorage == nullptr)
        return FALSE;
    const BOOL bHas = HasStream(pStorage, SurfacePreviewStreamName(nSurface));
    pStorage->Release();
    return bHas;
}

int CountSurfacePreviews(LPCTSTR lpszPathName)
{
    int nKind = DESIGNFILE_UNKNOWN;
    if (lpszPathName == nullptr || GetDesignFileKind(lpszPathName, &nKind) != S_OK)
        return -1;
    if (nKind != DESIGNFILE_DESIGN && nKind != DESIGNFILE_DESIGN_ALT)
        return 1;
    IStorage* pStorage = OpenDesignStorage(lpszPathName);
    if (pStorage == nullptr)
        return 0;
    int nCount = 0;
    while (nCount < INT_MAX && HasStream(pStorage, SurfacePreviewStreamName(nCount)))
        ++nCount;
    pStorage->Release();
    return nCount;
}

HRESULT ReadDesignPreview(LPCTSTR lpszPathName, CImage* pImage, int nSurface, int nLoadMode, LONG* pnValue)
{
    if (pnValue != nullptr)
        *pnValue = 0;
    if (lpszPathName == nullptr || pImage == nullptr)
        return kPreviewUnreadable;
    int nKind = DESIGNFILE_UNKNOWN;
    const HRESULT hrKind = GetDesignFileKind(lpszPathName, &nKind);
    if (hrKind != S_OK)
        return hrKind;
    switch (nKind) {
    case DESIGNFILE_FLAT_V1:
        return kPreviewNone;
    case DESIGNFILE_FLAT_V2:
        return ReadRawPreview(lpszPathName, kFlatV2PreviewOffset, pImage);
    case DESIGNFILE_FLAT_V3:
        return ReadRawPreview(lpszPathName, kFlatV3PreviewOffset, pImage);
    case DESIGNFILE_DESIGN:
    case DESIGNFILE_DESIGN_ALT: {
        if (nSurface == -1) {
            CDocQuickInfo quick;
            quick.ReadFromFile(lpszPathName);
            nSurface = 0;
            if (pnValue != nullptr)
                *pnValue = quick.m_info[DocQuickInfo::Unset];
        }
        const HRESULT hr = ReadSurfacePreview(lpszPathName, pImage, nSurface, nLoadMode);
        // A design held open is told apart, so that the dialog can say so.
        if (IsHeldOpen(hr))
            return hr;
        return pImage->IsRaster() ? 0 : kPreviewUnreadable;
    }
    default:
        return kPreviewNotDesign;
    }
}

namespace {

// The picture bytes of an older file's preview: a 32-bit count at nOffset,
// then that many bytes. The count comes from a file of another program: it
// is believed only as far as the file reaches. FALSE when the bytes cannot
// all be read.
BOOL ReadRawPreviewBytes(CFile& file, DWORD nOffset, std::vector<BYTE>& bytes)
{
    const DWORD nFileLength = file.GetLength();
    BYTE count[4] = {};
    if (nOffset > nFileLength || nFileLength - nOffset < sizeof(count) || nOffset > static_cast<DWORD>(LONG_MAX))
        return FALSE;
    file.Seek(static_cast<LONG>(nOffset), CFile::begin);
    if (file.Read(count, sizeof(count)) != sizeof(count))
        return FALSE;
    const DWORD nLength = DWORD(count[0]) | (DWORD(count[1]) << 8) | (DWORD(count[2]) << 16) | (DWORD(count[3]) << 24);
    if (nLength == 0 || nLength > nFileLength - nOffset - sizeof(count))
        return FALSE;
    bytes.resize(nLength);
    for (DWORD nRead = 0; nRead < nLength;) {
        const UINT nGot = file.Read(bytes.data() + nRead, std::min<UINT>(nLength - nRead, kRawPieceBytes));
        // A picture loaded from part of its bytes would show whatever the
        // library made of the rest.
        if (nGot == 0)
            return FALSE;
        nRead += nGot;
    }
    return TRUE;
}

} // namespace

int ReadRawPreview(LPCTSTR lpszPathName, DWORD nOffset, CImage* pImage)
{
    if (pImage == nullptr)
        return kPreviewUnreadable;
    pImage->Release();
    CFile file;
    if (lpszPathName == nullptr || !file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyNone))
        return kPreviewUnreadable;
    std::vector<BYTE> bytes;
    BOOL bRead = FALSE;
    try {
        bRead = ReadRawPreviewBytes(file, nOffset, bytes);
        file.Close();
    } catch (CException* e) {
        e->Delete();
        file.Abort();
        bRead = FALSE;
    }
    const DWORD nSize = static_cast<DWORD>(bytes.size());
    if (!bRead || pImage->LoadFromMemory(bytes.data(), nSize, CImage::kDefaultLoadMode) <= 0) {
        pImage->Release();
        return kPreviewUnreadable;
    }
    return 0;
}

CString GetPreviewErrorText(int nFileKind, HRESULT hrResult)
{
    switch (hrResult) {
    case kPreviewEmpty:
        return CString();
    case kPreviewNone:
        return LoadText(IDS_PREVIEW_NO_PICTURE);
    case kPreviewNotDesign:
        return LoadText(IDS_PREVIEW_NOT_DESIGN);
    case kPreviewUnreadable:
    case 1:
        return nFileKind >= DESIGNFILE_FLAT_V2 && nFileKind <= DESIGNFILE_DESIGN_ALT
            ? LoadText(IDS_PREVIEW_CANNOT_DISPLAY)
            : CString();
    case static_cast<HRESULT>(0x800401E6): // MK_E_INVALIDEXTENSION
        return LoadText(IDS_PREVIEW_BAD_EXTENSION);
    case STG_E_SHAREVIOLATION:
    case STG_E_LOCKVIOLATION:
        return LoadText(IDS_PREVIEW_FILE_OPEN);
    case static_cast<HRESULT>(0x80030000):
        // Older systems answered a file held open with this.
        return g_nPlatform != 1 ? LoadText(IDS_PREVIEW_FILE_OPEN) : CString();
    default:
        return CString();
    }
}
