#include "pictures/GalleryDB.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/Controls.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstring>

namespace {

// Gallery thumbnails load this way: the picture as it is, not matched to the
// screen, so that the stored thumbnail keeps its colours.
constexpr int kThumbnailLoadMode = 4;
constexpr const char* kContentsStream = "Contents";
constexpr const char* kDatabaseFile = "support\\imagedb.olv";

DWORD ReadDword(CFile& file)
{
    DWORD value = 0;
    if (file.Read(&value, sizeof value) != sizeof value)
        AfxThrowFileException(CFileException::endOfFile);
    return value;
}

void WriteDword(CFile& file, DWORD value)
{
    file.Write(&value, sizeof value);
}

// A 32-bit length counting the zero, then the characters and the zero.
void WriteCountedString(CFile& file, const CString& text)
{
    const DWORD nLength = static_cast<DWORD>(text.GetLength()) + 1;
    WriteDword(file, nLength);
    file.Write(static_cast<LPCTSTR>(text), nLength);
}

// Reads a counted string whose bytes must lie within dwLimit bytes from the
// current position; dwLimit shrinks by what was read. FALSE for a length of
// 0, one beyond the limit, or bytes without their terminating zero.
BOOL ReadCountedString(CFile& file, DWORD& dwLimit, CString& text)
{
    if (dwLimit < 4)
        return FALSE;
    const DWORD nLength = ReadDword(file);
    dwLimit -= 4;
    if (nLength == 0 || nLength > dwLimit)
        return FALSE;
    std::vector<char> bytes(nLength);
    if (file.Read(bytes.data(), nLength) != nLength || bytes[nLength - 1] != '\0')
        return FALSE;
    dwLimit -= nLength;
    text = CString(bytes.data(), static_cast<int>(std::strlen(bytes.data())));
    return TRUE;
}

} // namespace

// ---- Category names ----------------------------------------------------------------------

CategoryNameFault CheckCategoryName(LPCTSTR lpszName)
{
    const CString strName = lpszName ? lpszName : "";
    if (strName.IsEmpty())
        return CategoryNameFault::Empty;
    if (strName.GetLength() > kMaxCategoryName)
        return CategoryNameFault::TooLong;
    if (strName.CompareNoCase(kContentsStream) == 0)
        return CategoryNameFault::Reserved;
    for (int i = 0; i < strName.GetLength(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(strName[i]);
        if (ch < 0x20 || ch == '\\' || ch == '/' || ch == ':' || ch == '!')
            return CategoryNameFault::BadCharacter;
    }
    return CategoryNameFault::None;
}

CString GetCategoryNameFaultText(CategoryNameFault fault)
{
    switch (fault) {
    case CategoryNameFault::None:
        return CString();
    case CategoryNameFault::Empty:
        return "Please specify a category name.";
    case CategoryNameFault::TooLong:
        return "A category name can have at most 25 characters.";
    case CategoryNameFault::Reserved:
        return "\"Contents\" cannot be used as a category name.";
    case CategoryNameFault::BadCharacter:
        return "A category name cannot contain \\ / : or !.";
    }
    return CString();
}

// ---- CGalleryEntry --------------------------------------------------------------------------

CGalleryEntry::~CGalleryEntry() = default;

void CGalleryEntry::Clear()
{
    m_offsets.clear();
    m_deleted.clear();
    m_live.clear();
    m_dwStreamLength = 0;
}

void CGalleryEntry::ReadIndex(CFile& file, BOOL bWritable)
{
    Clear();
    m_dwStreamLength = file.GetLength();
    if (m_dwStreamLength == 0) {
        if (bWritable) {
            file.SeekToBegin();
            WriteDword(file, 0);
            m_dwStreamLength = 4;
        }
        return;
    }
    if (m_dwStreamLength < 4)
        return;
    file.SeekToBegin();
    // A record takes at least its fixed fields, so N can be no larger than
    // what the stream holds of those; a damaged count allocates nothing.
    const DWORD nStored = ReadDword(file);
    const DWORD nMost = (m_dwStreamLength - 4) / (kRecordOverhead + 2);
    const DWORD nCount = std::min(nStored, nMost);
    m_offsets.reserve(nCount);
    m_deleted.reserve(nCount);
    DWORD dwPos = 4;
    for (DWORD i = 0; i < nCount; ++i) {
        if (m_dwStreamLength - dwPos < 8)
            break;
        file.Seek(static_cast<LONG>(dwPos), CFile::begin);
        const DWORD dwSize = ReadDword(file);
        const DWORD dwFlag = ReadDword(file);
        // A record smaller than its fixed fields, or reaching past the end,
        // would make the walk stall, go backwards or run off the stream.
        if (dwSize < kRecordOverhead || dwSize > m_dwStreamLength - dwPos - 2)
            break;
        m_offsets.push_back(dwPos);
        m_deleted.push_back(dwFlag == 1);
        dwPos += dwSize + 2;
    }
    for (size_t i = 0; i < m_offsets.size(); ++i) {
        if (!m_deleted[i])
            m_live.push_back(m_offsets[i]);
    }
}

DWORD CGalleryEntry::GetLiveOffset(int n) const
{
    if (n < 0 || static_cast<size_t>(n) >= m_live.size())
        return 0;
    return m_live[static_cast<size_t>(n)];
}

BOOL CGalleryEntry::Build(LPCTSTR lpszPath, LPCTSTR lpszLabel, int nMaxSide)
{
    m_strPath = lpszPath ? lpszPath : "";
    m_strLabel = lpszLabel ? lpszLabel : "";
    m_bDeleted = FALSE;
    m_data.clear();
    m_dwSize = 0;

    int nBits = 0;
    const int nHandle = LoadPic(m_strPath, kThumbnailLoadMode, &nBits);
    if (nHandle < 1)
        return FALSE;
    int cx = 0;
    int cy = 0;
    GetPicSize(nHandle, &cx, &cy, &nBits);
    nMaxSide = std::max(1, nMaxSide);
    if (cx > nMaxSide || cy > nMaxSide) {
        // Fitted as the screen shows it, so that pixels that are not square
        // keep the picture's shape.
        HDC hScreen = ::GetDC(NULL);
        CRect fitted(0, 0, nMaxSide, nMaxSide);
        if (hScreen) {
            FitAspectRect(&fitted, CDC::FromHandle(hScreen), cx, cy, 0, 0, nMaxSide, nMaxSide);
            ::ReleaseDC(NULL, hScreen);
        }
        ResizePic(nHandle, std::max(1, fitted.Width()), std::max(1, fitted.Height()));
    }
    HGLOBAL hMemory = NULL;
    DWORD nSize = 0;
    const BOOL bSaved = SavePicToMemory(nHandle, &hMemory, &nSize, FALSE);
    ReleasePicHandle(nHandle);
    if (!bSaved || hMemory == NULL)
        return FALSE;
    const void* pBytes = ::GlobalLock(hMemory);
    if (pBytes)
        m_data.assign(static_cast<const BYTE*>(pBytes), static_cast<const BYTE*>(pBytes) + nSize);
    ::GlobalUnlock(hMemory);
    ::GlobalFree(hMemory);
    if (pBytes == nullptr || m_data.empty())
        return FALSE;
    m_dwSize = static_cast<DWORD>(m_strPath.GetLength() + 1 + m_strLabel.GetLength() + 1 + m_data.size())
        + kRecordOverhead;
    return TRUE;
}

DWORD CGalleryEntry::FindFreeSlot() const
{
    // The last record's room has no next record to bound it, so it is never
    // reused; a new record goes after it.
    for (size_t i = 0; i + 1 < m_offsets.size(); ++i) {
        if (!m_deleted[i])
            continue;
        const DWORD dwRoom = m_offsets[i + 1] - m_offsets[i] - 2;
        if (dwRoom >= m_dwSize)
            return static_cast<DWORD>(i);
    }
    return static_cast<DWORD>(-1);
}

void CGalleryEntry::WriteRecord(CFile& file, DWORD dwOffset)
{
    file.Seek(static_cast<LONG>(dwOffset), CFile::begin);
    WriteDword(file, m_dwSize);
    WriteDword(file, 0);
    WriteCountedString(file, m_strPath);
    WriteCountedString(file, m_strLabel);
    WriteDword(file, static_cast<DWORD>(m_data.size()));
    file.Write(m_data.data(), static_cast<UINT>(m_data.size()));
}

void CGalleryEntry::WriteCount(CFile& file)
{
    file.SeekToBegin();
    WriteDword(file, static_cast<DWORD>(m_offsets.size()));
}

BOOL CGalleryEntry::AddRecord(CFile& file)
{
    if (m_data.empty())
        return FALSE;
    try {
        const DWORD iSlot = FindFreeSlot();
        if (iSlot != static_cast<DWORD>(-1)) {
            const size_t i = iSlot;
            // The record keeps the room's size, so the chain of sizes stays
            // intact; the bytes after it stay as they were.
            m_dwSize = m_offsets[i + 1] - m_offsets[i] - 2;
            WriteRecord(file, m_offsets[i]);
            m_deleted[i] = FALSE;
            m_live.clear();
            for (size_t k = 0; k < m_offsets.size(); ++k) {
                if (!m_deleted[k])
                    m_live.push_back(m_offsets[k]);
            }
        } else {
            // After the last record the index could read: a damaged tail is
            // overwritten rather than left between the chain and the new one.
            DWORD dwEnd = m_dwStreamLength < 4 ? 4 : m_dwStreamLength;
            if (!m_offsets.empty()) {
                file.Seek(static_cast<LONG>(m_offsets.back()), CFile::begin);
                dwEnd = m_offsets.back() + ReadDword(file) + 2;
            }
            if (m_dwStreamLength < 4) {
                file.SeekToBegin();
                WriteDword(file, 0);
            }
            WriteRecord(file, dwEnd);
            m_offsets.push_back(dwEnd);
            m_deleted.push_back(FALSE);
            m_live.push_back(dwEnd);
            m_dwStreamLength = std::max(m_dwStreamLength, dwEnd + m_dwSize + 2);
            WriteCount(file);
        }
    } catch (CException* e) {
        e->Delete();
        m_data.clear();
        return FALSE;
    }
    m_data.clear();
    return TRUE;
}

BOOL CGalleryEntry::ReadRecord(CFile& file, DWORD dwOffset, BOOL bFull, BOOL bLoadPicture)
{
    m_pPicture.reset();
    m_strPath.Empty();
    m_strLabel.Empty();
    m_data.clear();
    try {
        if (dwOffset < 4 || dwOffset > m_dwStreamLength || m_dwStreamLength - dwOffset < 8)
            return FALSE;
        file.Seek(static_cast<LONG>(dwOffset), CFile::begin);
        m_dwSize = ReadDword(file);
        m_bDeleted = ReadDword(file) == 1;
        if (m_dwSize < kRecordOverhead || m_dwSize > m_dwStreamLength - dwOffset - 2)
            return FALSE;
        if (!bFull || m_bDeleted)
            return TRUE;
        // Everything after the size and the flag must lie inside the record.
        DWORD dwLimit = m_dwSize + 2 - 8;
        if (!ReadCountedString(file, dwLimit, m_strPath) || !ReadCountedString(file, dwLimit, m_strLabel))
            return FALSE;
        if (dwLimit < 4)
            return FALSE;
        const DWORD nData = ReadDword(file);
        dwLimit -= 4;
        if (nData > dwLimit)
            return FALSE;
        if (!bLoadPicture)
            return TRUE;
        m_data.assign(std::max<DWORD>(nData, 1), 0);
        if (nData > 0 && file.Read(m_data.data(), nData) != nData)
            return FALSE;
        auto pPicture = std::make_unique<CImage>();
        if (nData > 0 && pPicture->LoadFromMemory(m_data.data(), nData, kThumbnailLoadMode) > 0)
            m_pPicture = std::move(pPicture);
        m_data.clear();
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
}

BOOL CGalleryEntry::MarkDeleted(CFile& file, int n)
{
    if (n < 0 || static_cast<size_t>(n) >= m_live.size())
        return FALSE;
    const DWORD dwOffset = m_live[static_cast<size_t>(n)];
    try {
        file.Seek(static_cast<LONG>(dwOffset + 4), CFile::begin);
        WriteDword(file, 1);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    const auto it = std::find(m_offsets.begin(), m_offsets.end(), dwOffset);
    if (it != m_offsets.end())
        m_deleted[static_cast<size_t>(it - m_offsets.begin())] = TRUE;
    m_live.erase(m_live.begin() + n);
    return TRUE;
}

std::unique_ptr<CImage> CGalleryEntry::TakePicture()
{
    return std::move(m_pPicture);
}

// ---- CGalleryDB ------------------------------------------------------------------------------

CGalleryDB::CGalleryDB()
{
    Init(GetProgramPath(kDatabaseFile));
}

CGalleryDB::CGalleryDB(LPCTSTR lpszPath)
{
    Init(lpszPath);
}

CGalleryDB::~CGalleryDB() = default;

void CGalleryDB::Init(LPCTSTR lpszPath)
{
    m_strPath = lpszPath;
    SetPath(m_strPath, nullptr);
    ReadCategoryNames();
    CountPictures();
}

BOOL CGalleryDB::ReadCategoryNames()
{
    m_names.RemoveAll();
    if (!FileExists(m_strPath))
        return FALSE;
    BOOL bOpened = FALSE;
    try {
        OpenForRead(kContentsStream, TRUE);
        if (GetArchive()) {
            bOpened = TRUE;
            m_names.Serialize(*GetArchive());
        }
    } catch (CException* e) {
        e->Delete();
        // The array was sized from the stored count before the names were
        // read; the slots a damaged list never filled are dropped.
        for (INT_PTR i = m_names.GetSize() - 1; i >= 0; --i) {
            if (m_names.GetAt(i).IsEmpty())
                m_names.RemoveAt(i);
        }
    }
    CloseCategory();
    return bOpened;
}

BOOL CGalleryDB::WriteCategoryNames()
{
    m_strCurrent.Empty();
    m_entry.Clear();
    try {
        OpenForWrite(kContentsStream, TRUE);
        if (GetArchive() == nullptr)
            return FALSE;
        m_names.Serialize(*GetArchive());
        Close();
        return TRUE;
    } catch (CException* e) {
        e->Delete();
    }
    CloseQuietly();
    return FALSE;
}

void CGalleryDB::FillListBox(CListBox* pList) const
{
    if (pList == nullptr)
        return;
    pList->ResetContent();
    for (INT_PTR i = 0; i < m_names.GetSize(); ++i)
        pList->AddString(m_names.GetAt(i));
}

int CGalleryDB::FindCategory(LPCTSTR lpszName) const
{
    for (INT_PTR i = 0; i < m_names.GetSize(); ++i) {
        if (m_names.GetAt(i).CompareNoCase(lpszName) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void CGalleryDB::AddCategoryName(LPCTSTR lpszName)
{
    m_names.Add(lpszName);
}

void CGalleryDB::CountPictures()
{
    m_counts.assign(static_cast<size_t>(m_names.GetSize()), 0);
    m_nTotalPictures = 0;
    for (INT_PTR i = 0; i < m_names.GetSize(); ++i) {
        int nCount = 0;
        OpenCategory(m_names.GetAt(i), FALSE, &nCount);
        m_counts[static_cast<size_t>(i)] = nCount;
        m_nTotalPictures += nCount;
    }
    CloseCategory();
}

int CGalleryDB::GetPictureCount(int iCategory) const
{
    if (iCategory < 0 || static_cast<size_t>(iCategory) >= m_counts.size())
        return 0;
    return m_counts[static_cast<size_t>(iCategory)];
}

BOOL CGalleryDB::StreamExists(LPCTSTR lpszName)
{
    if (!FileExists(m_strPath))
        return FALSE;
    try {
        OpenForRead(lpszName, FALSE);
        const BOOL bOpen = IsOpen();
        Close();
        return bOpen;
    } catch (CException* e) {
        e->Delete();
    }
    CloseQuietly();
    return FALSE;
}

BOOL CGalleryDB::CloseQuietly()
{
    try {
        Close();
        return TRUE;
    } catch (CException* e) {
        e->Delete();
    }
    return FALSE;
}

BOOL CGalleryDB::CloseCategory()
{
    const BOOL bClosed = CloseQuietly();
    m_strCurrent.Empty();
    m_entry.Clear();
    return bClosed;
}

BOOL CGalleryDB::OpenCategory(LPCTSTR lpszName, BOOL bWriting, int* pnCount)
{
    if (pnCount)
        *pnCount = 0;
    m_strCurrent = lpszName ? lpszName : "";
    m_bCurrentWritable = bWriting;
    m_entry.Clear();
    // "Contents" holds the names; it is never a category's stream.
    if (m_strCurrent.IsEmpty() || m_strCurrent.CompareNoCase(kContentsStream) == 0)
        return TRUE;
    if (!bWriting && !FileExists(m_strPath))
        return TRUE;
    try {
        if (bWriting)
            OpenForWrite(m_strCurrent, FALSE);
        else
            OpenForRead(m_strCurrent, FALSE);
    } catch (CFileException* e) {
        // A category without a stream simply has no pictures.
        const BOOL bMissing = e->m_cause == CFileException::fileNotFound;
        e->Delete();
        CloseQuietly();
        return !bWriting && bMissing;
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    if (!IsOpen())
        return TRUE;
    try {
        m_entry.ReadIndex(GetFile(), bWriting);
    } catch (CException* e) {
        // The index read so far stays.
        e->Delete();
    }
    if (pnCount)
        *pnCount = m_entry.GetLiveCount();
    return TRUE;
}

BOOL CGalleryDB::AddPicture(LPCTSTR lpszCategory, LPCTSTR lpszPath, LPCTSTR lpszLabel)
{
    int nCount = 0;
    if (!OpenCategory(lpszCategory, TRUE, &nCount) || !IsOpen())
        return FALSE;
    const BOOL bWritten = m_entry.Build(lpszPath, lpszLabel, CPrefData::GetMulImgPrevFixedSize())
        && m_entry.AddRecord(GetFile());
    const BOOL bClosed = CloseCategory();
    return bWritten && bClosed;
}

BOOL CGalleryDB::RemovePicture(LPCTSTR lpszCategory, int n)
{
    int nCount = 0;
    if (!OpenCategory(lpszCategory, TRUE, &nCount) || !IsOpen())
        return FALSE;
    const BOOL bDone = m_entry.MarkDeleted(GetFile(), n);
    const BOOL bClosed = CloseCategory();
    return bDone && bClosed;
}

void CGalleryDB::CopyCategoryStream(LPCTSTR lpszSource, LPCTSTR lpszTarget)
{
    CopyStream(lpszSource, lpszTarget);
    Close();
}

BOOL CGalleryDB::RenameCategory(LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    const int iOld = FindCategory(lpszOld);
    if (iOld < 0 || CheckCategoryName(lpszNew) != CategoryNameFault::None)
        return FALSE;
    const CString strOld = m_names.GetAt(iOld);
    const CString strNew = lpszNew;
    m_strCurrent.Empty();
    m_entry.Clear();
    const BOOL bHasStream = StreamExists(strOld);
    // Only a name that differs in more than capitals needs a new stream:
    // stream names ignore case, so the old stream already answers to it.
    if (bHasStream && strOld.CompareNoCase(strNew) != 0) {
        try {
            CopyCategoryStream(strOld, strNew);
        } catch (CException* e) {
            e->Delete();
            CloseQuietly();
            return FALSE;
        }
        if (!StreamExists(strNew))
            return FALSE;
        // Failing, the list on disk still names the old category, whose
        // stream is intact; the copy is an orphan no reader looks at.
        if (!RenameInList(iOld, strNew))
            return FALSE;
        try {
            DeleteStream(strOld);
            Close();
        } catch (CException* e) {
            e->Delete();
        }
        return TRUE;
    }
    return RenameInList(iOld, strNew);
}

BOOL CGalleryDB::RenameInList(int iOld, const CString& strNew)
{
    const CString strOld = m_names.GetAt(iOld);
    m_names.RemoveAt(iOld);
    m_names.Add(strNew);
    if (WriteCategoryNames())
        return TRUE;
    m_names.RemoveAt(m_names.GetSize() - 1);
    m_names.InsertAt(iOld, strOld);
    return FALSE;
}

BOOL CGalleryDB::RemoveCategory(LPCTSTR lpszName)
{
    const int i = FindCategory(lpszName);
    if (i < 0)
        return FALSE;
    const CString strName = m_names.GetAt(i);
    m_names.RemoveAt(i);
    if (!WriteCategoryNames())
        return FALSE;
    try {
        DeleteStream(strName);
        Close();
    } catch (CException* e) {
        e->Delete();
    }
    return TRUE;
}

BOOL CGalleryDB::ReadLive(int n, BOOL bLoadPicture)
{
    if (!IsOpen() || n < 0 || n >= m_entry.GetLiveCount())
        return FALSE;
    return m_entry.ReadRecord(GetFile(), m_entry.GetLiveOffset(n), TRUE, bLoadPicture);
}

std::unique_ptr<CImage> CGalleryDB::GetPicture(int n)
{
    if (!ReadLive(n, TRUE))
        return nullptr;
    return m_entry.TakePicture();
}

CString CGalleryDB::GetPictureFile(int n)
{
    return ReadLive(n, FALSE) ? m_entry.GetPath() : CString();
}

CString CGalleryDB::GetPictureLabel(int n)
{
    return ReadLive(n, FALSE) ? m_entry.GetLabel() : CString();
}
