// The design file: the document's settings, its surfaces with their
// objects, the quick-information stream, the summary information and the
// embedded items, written as version 29 and read from version 7 on.

#include "model/DesignArchive.h"
#include "app/main/DocTemplates.h"
#include "model/DocKinds.h"
#include "model/DocQuickInfoFile.h"
#include "model/DrawDoc.h"
#include "model/DrawOleObj.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "model/ProjectKinds.h"
#include "model/SurfaceInfo.h"
#include "app/ArchiveHelpers.h"
#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/FileApi.h"
#include "platform/gdi/GdiObject.h"
#include "pictures/Image.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "platform/ui/AfxMessageBox.h"
#include "print/MergeSource.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>
#include <cstring>
#include <utility>

BOOL g_bInDesignSerialize = FALSE;
BOOL g_bSerializingPredesigned = FALSE;

namespace {

// Quick-info record lengths a design may hold: the current one, the one
// before value 21 was added, and the two 16-bit forms.
constexpr DWORD kQuickInfoBytes = 88;
constexpr DWORD kQuickInfoBytesShort = 84;
constexpr DWORD kQuickInfo16Bytes = 48;
constexpr DWORD kQuickInfo16BytesShort = 44;

// Puts the serialization state back on every way out of a read or write:
// a read stopped by a message, bad data or an exception must not leave
// later pictures believing a design is being read, nor later objects
// reading 16-bit pens.
class SerializeState {
public:
    explicit SerializeState(CDrawDoc& doc)
        : m_doc(doc)
        , m_bWasInSerialize(g_bInDesignSerialize)
        , m_bWasPredesigned(g_bSerializingPredesigned)
    {
        g_bInDesignSerialize = TRUE;
        g_bSerializingPredesigned = (doc.m_wDocFlags & DOC_FLAG_PREDESIGNED) != 0;
    }
    ~SerializeState()
    {
        m_doc.m_nFileVersion = kDesignFileVersion;
        m_doc.m_bNativeRecord = TRUE;
        g_bInDesignSerialize = m_bWasInSerialize;
        g_bSerializingPredesigned = m_bWasPredesigned;
    }
    SerializeState(const SerializeState&) = delete;
    SerializeState& operator=(const SerializeState&) = delete;

private:
    CDrawDoc& m_doc;
    BOOL m_bWasInSerialize;
    BOOL m_bWasPredesigned;
};

[[noreturn]] void RefuseDesign(UINT nMessage)
{
    AfxMessageBox(nMessage, MB_OK);
    AfxThrowUserException();
}

[[noreturn]] void ThrowBadDesign(CArchive& ar)
{
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
}

// The label offsets and gaps are kept as they lie in portrait.
void ExchangeLabelValues(DocQuickInfo& info)
{
    std::swap(info[DocQuickInfo::OffsetX], info[DocQuickInfo::OffsetY]);
    std::swap(info[DocQuickInfo::GapX], info[DocQuickInfo::GapY]);
}

} // namespace

void CDrawDoc::Serialize(CArchive& ar)
{
    SerializeState state(*this);
    if (ar.IsStoring())
        StoreDesign(ar);
    else
        LoadDesign(ar);
}

void CDrawDoc::StoreDesign(CArchive& ar)
{
    if (m_lpRootStg != nullptr)
        WriteClassStg(m_lpRootStg, GetDocKindClassId(GetDocKind()).clsid);

    ar << static_cast<DWORD>(kDesignFileVersion) << static_cast<DWORD>(m_nLayoutChoice)
       << static_cast<DWORD>(m_crPaper) << static_cast<DWORD>(GetCurrentSurfaceIndex() < 0 ? 0 : GetCurrentSurfaceIndex())
       << m_nZoom << static_cast<DWORD>(m_crMarginLine) << m_wDocFlags << m_wSecondFlags
       << static_cast<DWORD>(m_nGridSpacing) << static_cast<DWORD>(m_crValueB) << static_cast<DWORD>(m_crValueD)
       << static_cast<DWORD>(m_nPaperFeed);

    DocQuickInfo info = m_quickInfo;
    if (m_bLabelValuesLandscape)
        ExchangeLabelValues(info);
    ar << kQuickInfoBytes;
    for (LONG nValue : info.values)
        ar << nValue;

    auto* pMerge = dynamic_cast<CMergeSource*>(m_pMergeSource);
    ar << static_cast<DWORD>(pMerge != nullptr ? 1 : 0);
    if (pMerge != nullptr) {
        ar << pMerge->GetType();
        pMerge->Serialize(ar);
    }
    if (m_lpRootStg != nullptr)
        m_summary.WriteSummary(m_lpRootStg, TRUE);

    m_rectSavedMargins = m_rectMargins;
    ArchiveWriteRect(ar, m_rectSavedMargins);
    ar << m_nZoom << static_cast<DWORD>(m_nZoomCompanion) << m_strExtraText;

    for (POSITION pos = m_surfaces.GetHeadPosition(); pos != nullptr;)
        static_cast<CSurfaceInfo*>(m_surfaces.GetNext(pos))->Serialize(ar);

    if (m_lpRootStg != nullptr) {
        if (FAILED(m_lpRootStg->Commit(STGC_ONLYIFCURRENT)))
            ThrowBadDesign(ar);
        CDocQuickInfo quick;
        quick.WriteToStorage(this, m_lpRootStg);
        WritePreviews();
    }
    COleDocument::Serialize(ar);
}

void CDrawDoc::LoadDesign(CArchive& ar)
{
    // A design holds drawing objects and nothing else the archive could
    // be made to create.
    ar.SetAllowedClasses({RUNTIME_CLASS(CDrawObj), RUNTIME_CLASS(CDrawRect), RUNTIME_CLASS(CDrawPoly),
        RUNTIME_CLASS(CDrawOleObj), RUNTIME_CLASS(CDrawItem)});
    if (m_lpRootStg != nullptr) {
        CLSID clsid{};
        if (FAILED(ReadClassStg(m_lpRootStg, &clsid))
            || !IsDocKindClassId(GetDocKindClassId(GetDocKind()), clsid))
            RefuseDesign(IDP_FILE_NOT_DESIGN);
    }

    DWORD dwVersion = 0;
    ar >> dwVersion;
    DWORD dwPaper = 0;
    BOOL bPaperRead = FALSE;
    m_nLayoutChoice = 0;
    if (dwVersion >= 19) {
        DWORD dwLayout = 0;
        ar >> dwLayout;
        // Files that had no layout choice there hold the paper colour.
        if (dwLayout == 0 || dwLayout == 1) {
            m_nLayoutChoice = static_cast<LONG>(dwLayout);
        } else {
            dwPaper = dwLayout;
            bPaperRead = TRUE;
        }
    }
    if (dwVersion < static_cast<DWORD>(kOldestDesignFileVersion))
        RefuseDesign(IDP_DESIGN_TOO_OLD);
    if (dwVersion > static_cast<DWORD>(kDesignFileVersion))
        RefuseDesign(IDP_DESIGN_TOO_NEW);
    const LONG nVersion = static_cast<LONG>(dwVersion);
    m_nFileVersion = nVersion;

    if (!bPaperRead)
        ar >> dwPaper;
    DWORD dwCurrent = 0;
    WORD wZoom = 0;
    DWORD dwMarginLine = 0;
    ar >> dwCurrent >> wZoom >> dwMarginLine >> m_wDocFlags;
    m_wDocFlags &= ~WORD(DOC_FLAG_SAVING_PREDESIGNED);
    if (nVersion >= 11)
        ar >> m_wSecondFlags;
    DWORD dwGrid = 0;
    DWORD dwValueB = 0;
    DWORD dwValueD = 0;
    DWORD dwFeed = 0;
    ar >> dwGrid >> dwValueB >> dwValueD >> dwFeed;
    SetPaperColor(dwPaper);
    m_crMarginLine = dwMarginLine;
    m_crValueB = dwValueB;
    m_crValueD = dwValueD;
    m_nPaperFeed = static_cast<LONG>(dwFeed);
    SetZoom(wZoom);
    SetGridSpacing(static_cast<int>(dwGrid));
    if (nVersion < 10) {
        CString strMergeFile;
        ar >> strMergeFile;
        if (!strMergeFile.IsEmpty() && ::GetFileAttributes(strMergeFile) != INVALID_FILE_ATTRIBUTES) {
            auto* pSource = new CTextMergeSource(this);
            pSource->SetFileName(strMergeFile);
            SetMergeSource(pSource);
        }
    }
    g_bSerializingPredesigned = (m_wDocFlags & DOC_FLAG_PREDESIGNED) != 0;

    LoadQuickInfoRecord(ar);

    if (nVersion >= 10) {
        DWORD dwHasMerge = 0;
        ar >> dwHasMerge;
        if (dwHasMerge != 0) {
            DWORD dwType = 0;
            ar >> dwType;
            CMergeSource* pSource = CMergeSource::Create(dwType, this);
            if (pSource == nullptr)
                ThrowBadDesign(ar);
            SetMergeSource(pSource);
            pSource->Serialize(ar);
        }
    }

    CreatePageGuideLines();
    CreateSurfaces();
    m_posCurrentView = GetFirstViewPosition();
    m_nCurrentSurface = 0;
    if (m_lpRootStg != nullptr)
        m_summary.ReadSummary(m_lpRootStg);

    if (nVersion >= 22) {
        CRect margins;
        ArchiveReadRect(ar, margins);
        m_rectMargins = margins;
        m_rectSavedMargins = margins;
    }
    if (nVersion >= 24) {
        WORD wZoomAgain = 0;
        DWORD dwCompanion = 0;
        ar >> wZoomAgain >> dwCompanion;
        SetZoom(wZoomAgain);
        m_nZoomCompanion = static_cast<LONG>(dwCompanion);
    }
    if (nVersion >= 23)
        ar >> m_strExtraText;

    for (POSITION pos = m_surfaces.GetHeadPosition(); pos != nullptr;)
        static_cast<CSurfaceInfo*>(m_surfaces.GetNext(pos))->Serialize(ar);
    // The item list refers back to the items the surfaces' objects read, so
    // it is read before the guide lines replace the fixed objects: a damaged
    // file may mark any object fixed, and deleting it would leave the list
    // a reference to a deleted item.
    COleDocument::Serialize(ar);

    UpdatePrinterMetrics();
    CreatePageGuideLines();
    if (m_lpRootStg != nullptr) {
        CDocQuickInfo quick;
        if (quick.ReadFromStorage(this, m_lpRootStg))
            m_strDesignText = quick.m_strText;
        CollectStorageNumbers();
    }
    if (m_strDesignText.IsEmpty())
        // The document takes its path only once the read has succeeded.
        m_strDesignText = DescribeDesignFile(ar.m_strFileName.IsEmpty() ? GetPathName() : ar.m_strFileName);
}

BOOL CDrawDoc::CheckDesignFile(LPCTSTR lpszPathName)
{
    // The class is checked before anything is read, so that another
    // program's file (a compound file or not) gets this one message rather
    // than one about a stream it lacks.
    const std::u16string wide = platform::Utf16From1252(lpszPathName != nullptr ? lpszPathName : "");
    const HRESULT hrKind = StgIsStorageFile(wide.c_str());
    if (FAILED(hrKind))
        return TRUE; // unreadable: the framework reports why
    BOOL bOurs = FALSE;
    // The class lies in the header's first directory sector, so a design is
    // told without reading the whole file; any other answer is confirmed by
    // opening it, which alone tells a damaged file from another program's.
    CLSID clsidPeek{};
    if (hrKind == S_OK && SUCCEEDED(GetClassFile(wide.c_str(), &clsidPeek))
        && IsDocKindClassId(GetDocKindClassId(GetDocKind()), clsidPeek))
        return TRUE;
    if (hrKind == S_OK) {
        IStorage* pRoot = nullptr;
        if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pRoot)))
            return TRUE;
        CLSID clsid{};
        bOurs = SUCCEEDED(ReadClassStg(pRoot, &clsid)) && IsDocKindClassId(GetDocKindClassId(GetDocKind()), clsid);
        pRoot->Release();
    }
    if (!bOurs)
        AfxMessageBox(IDP_FILE_NOT_DESIGN, MB_OK);
    return bOurs;
}

void CDrawDoc::LoadQuickInfoRecord(CArchive& ar)
{
    DWORD dwLength = 0;
    ar >> dwLength;
    DocQuickInfo info = m_quickInfo;
    switch (dwLength) {
    case kQuickInfoBytes:
    case kQuickInfoBytesShort: {
        const int nValues = static_cast<int>(dwLength / 4);
        for (int i = 0; i < nValues; ++i)
            ar >> info.values[i];
        break;
    }
    case kQuickInfo16Bytes:
    case kQuickInfo16BytesShort: {
        BYTE record[kQuickInfo16Bytes] = {};
        if (ar.Read(record, dwLength) != dwLength)
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        DWORD fields[kDocQuickInfoFields] = {};
        ConvertDocQuickInfo16(record, fields);
        for (int i = 0; i < kDocQuickInfoFields; ++i)
            info.values[i] = static_cast<LONG>(fields[i]);
        // The objects of such a design hold 16-bit pens and brushes too.
        m_bNativeRecord = FALSE;
        break;
    }
    default:
        ThrowBadDesign(ar);
    }
    // The record holds the label values as they lie in portrait; the page
    // set-up exchanges them once for a landscape sheet.
    m_bLabelValuesLandscape = FALSE;
    SetQuickInfo(info);
}

void CDrawDoc::SetMergeSource(CObject* pSource)
{
    if (pSource == m_pMergeSource)
        return;
    delete m_pMergeSource;
    m_pMergeSource = pSource;
}

namespace {

// Hands each element of the storage (name and kind) to fn.
template <typename Fn>
void ForEachElement(IStorage* pStorage, Fn&& fn)
{
    IEnumSTATSTG* pEnum = nullptr;
    if (FAILED(pStorage->EnumElements(0, nullptr, 0, &pEnum)))
        return;
    STATSTG stat{};
    while (pEnum->Next(1, &stat, nullptr) == S_OK) {
        if (stat.pwcsName != nullptr)
            fn(std::u16string(reinterpret_cast<const char16_t*>(stat.pwcsName)), stat.type);
        CoTaskMemFree(stat.pwcsName);
        stat.pwcsName = nullptr;
    }
    pEnum->Release();
}

// The names of a storage's elements.
std::vector<std::u16string> ElementNames(IStorage* pStorage)
{
    std::vector<std::u16string> names;
    ForEachElement(pStorage, [&names](const std::u16string& name, DWORD) { names.push_back(name); });
    return names;
}

bool StartsWith(const std::u16string& name, const char* pszPrefix)
{
    const std::u16string prefix = platform::Utf16From1252(pszPrefix);
    return name.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

void CDrawDoc::CollectStorageNumbers()
{
    ForEachElement(m_lpRootStg, [this](const std::u16string& wide, DWORD dwType) {
        const std::string name = platform::Utf16To1252(wide);
        if (dwType == STGTY_STORAGE && name.size() > 5 && strncasecmp(name.c_str(), "XSTOR", 5) == 0)
            m_storageNumbers.Add(static_cast<DWORD>(std::strtoul(name.c_str() + 5, nullptr, 10)));
    });
}

void CDrawDoc::CommitItems(LPSTORAGE lpNewRoot)
{
    COleDocument::CommitItems(lpNewRoot);
    if (m_pSaveSourceRoot == nullptr || m_pSaveSourceRoot == lpNewRoot)
        return;
    // What the writer does not write itself is carried over unread: the
    // designs of a collection file ("XSTOR<n>") and anything unknown. The
    // items write their own storages, and the previews are made afresh.
    const std::vector<std::u16string> written = ElementNames(lpNewRoot);
    for (const std::u16string& name : ElementNames(m_pSaveSourceRoot)) {
        if (std::find(written.begin(), written.end(), name) != written.end() || StartsWith(name, "Embedding ")
            || StartsWith(name, "Surface Preview"))
            continue;
        const auto* pName = reinterpret_cast<const OLECHAR*>(name.c_str());
        const HRESULT hr = m_pSaveSourceRoot->MoveElementTo(pName, lpNewRoot, pName, STGMOVE_COPY);
        if (FAILED(hr))
            AfxThrowArchiveException(CArchiveException::genericException);
    }
}

void CDrawDoc::WritePreviews()
{
    // A surface's preview fits a square of this many pixels.
    constexpr int kPreviewSide = 250;
    // A predesigned design shows each of its surfaces in the design
    // library; any other design shows its first surface only.
    const int nCount = (m_wDocFlags & DOC_FLAG_PREDESIGNED) != 0 ? GetSurfaceCount() : 1;
    for (int nSurface = 0; nSurface < nCount; ++nSurface) {
        const CString strName = SurfacePreviewStreamName(nSurface);
        const std::u16string wideName = platform::Utf16From1252(static_cast<LPCTSTR>(strName));
        // A picture from an earlier save of this storage must not outlive
        // the surface it showed.
        m_lpRootStg->DestroyElement(reinterpret_cast<const OLECHAR*>(wideName.c_str()));

        // A surface that gives no picture gets no stream; the design itself
        // is saved all the same.
        CSurface* pView = GetSurfaceView(nSurface);
        CBitmap bitmap;
        if (pView == nullptr || !pView->RenderPreview(&bitmap, kPreviewSide, kPreviewSide))
            continue;
        CImage image;
        if (!image.CreateFromBitmap(&bitmap))
            continue;
        CMemFile memory;
        try {
            CArchive ar(&memory, CArchive::store);
            image.WriteRasterData(ar, FALSE, FALSE);
            ar.Close();
        } catch (CException* e) {
            e->Delete();
            continue;
        }
        const DWORD nLength = memory.GetLength();
        BYTE* pBytes = memory.Detach();
        COleStreamFile file;
        CFileException fe;
        if (!file.CreateStream(m_lpRootStg, strName, CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate,
                &fe)) {
            free(pBytes);
            AfxThrowFileException(fe.m_cause, fe.m_lOsError);
        }
        try {
            file.Write(pBytes, nLength);
            file.Close();
        } catch (CException*) {
            free(pBytes);
            throw;
        }
        free(pBytes);
    }
}

CString DescribeDesignFile(LPCTSTR lpszPathName)
{
    if (lpszPathName == nullptr || *lpszPathName == '\0')
        return CString();
    CString strName;
    const int nKind = IdentifyDocumentFile(lpszPathName);
    if (nKind >= 0 && nKind < kDocKindCount) {
        if (CDesignDocTemplate* pTemplate = FindDocTemplateByKind(nKind))
            if (pTemplate->GetDocString(strName, CDocTemplate::docName) && !strName.IsEmpty())
                return strName;
    }

    // Otherwise the extension names the kind; the card and poster files of
    // the sibling programs carry extensions of their own.
    const std::string path(lpszPathName);
    const size_t nDot = path.find_last_of('.');
    const size_t nSeparator = path.find_last_of("\\/:");
    if (nDot == std::string::npos || (nSeparator != std::string::npos && nDot < nSeparator))
        return CString();
    std::string ext = path.substr(nDot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "crd")
        ext = "car";
    else if (ext == "pcd")
        ext = "pcr";
    if (ext.empty())
        return CString();
    for (int nTry = 0; nTry < kDocKindCount; ++nTry) {
        CDesignDocTemplate* pTemplate = FindDocTemplateByKind(nTry);
        CString strExt;
        if (pTemplate == nullptr || !pTemplate->GetDocString(strExt, CDocTemplate::filterExt))
            continue;
        const char* pszExt = strExt;
        if (*pszExt == '.')
            ++pszExt;
        if (strcasecmp(pszExt, ext.c_str()) == 0 && pTemplate->GetDocString(strName, CDocTemplate::docName))
            return strName;
    }
    return CString();
}
