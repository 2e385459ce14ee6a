#include "platform/framework/OleData.h"

#include "platform/base/Exception.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Metafile.h"
#include "platform/ui/User.h"

#include <cstring>
#include <map>

IMPLEMENT_DYNAMIC(COleDataSource, CObject)

#ifndef CLIPBRD_E_CANT_OPEN
#define CLIPBRD_E_CANT_OPEN ((SCODE)0x800401D0L)
#endif
#ifndef ERROR_CLIPBOARD_NOT_OPEN
#define ERROR_CLIPBOARD_NOT_OPEN 1418L
#endif

namespace {

constexpr UINT kDspBitmap = 0x0082;
constexpr UINT kDspMetafilePict = 0x0083;
constexpr UINT kDspEnhMetafile = 0x008E;

COleDataSource*& ClipboardOwnerSource()
{
    static COleDataSource* s_pOwner = nullptr;
    return s_pOwner;
}

// Uses the clipboard for one call: opens it unless someone has it open
// already (then reading works as it is), and closes only what it opened.
class ClipboardUse {
public:
    ClipboardUse()
    {
        ::SetLastError(NO_ERROR);
        ::EnumClipboardFormats(0);
        m_bWasOpen = ::GetLastError() != ERROR_CLIPBOARD_NOT_OPEN;
        if (!m_bWasOpen)
            m_bOpened = ::OpenClipboard(NULL) != FALSE;
    }
    ~ClipboardUse()
    {
        if (m_bOpened)
            ::CloseClipboard();
    }
    ClipboardUse(const ClipboardUse&) = delete;
    ClipboardUse& operator=(const ClipboardUse&) = delete;

    bool CanRead() const { return m_bWasOpen || m_bOpened; }
    bool OpenedHere() const { return m_bOpened; }

private:
    bool m_bWasOpen = false;
    bool m_bOpened = false;
};

// A copy of a memory block. A metafile picture's block points at a metafile,
// which is copied too, so that each block can be freed on its own.
HGLOBAL CopyBlock(HGLOBAL hSource, CLIPFORMAT cf)
{
    if (hSource == NULL)
        return NULL;
    const SIZE_T size = ::GlobalSize(hSource);
    const void* pSource = ::GlobalLock(hSource);
    if (pSource == NULL && size != 0)
        return NULL;
    HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    void* pCopy = hCopy != NULL ? ::GlobalLock(hCopy) : NULL;
    if (hCopy == NULL || (pCopy == NULL && size != 0)) {
        if (hCopy != NULL)
            ::GlobalFree(hCopy);
        ::GlobalUnlock(hSource);
        return NULL;
    }
    if (size != 0)
        std::memcpy(pCopy, pSource, size);
    if ((cf == CF_METAFILEPICT || cf == kDspMetafilePict) && size >= sizeof(METAFILEPICT)) {
        auto* pPict = static_cast<METAFILEPICT*>(pCopy);
        pPict->hMF = pPict->hMF != NULL ? ::CopyMetaFile(pPict->hMF, NULL) : NULL;
    }
    ::GlobalUnlock(hCopy);
    ::GlobalUnlock(hSource);
    return hCopy;
}

void FreeBlock(HGLOBAL hBlock, CLIPFORMAT cf)
{
    if (hBlock == NULL)
        return;
    if ((cf == CF_METAFILEPICT || cf == kDspMetafilePict) && ::GlobalSize(hBlock) >= sizeof(METAFILEPICT)) {
        if (auto* pPict = static_cast<METAFILEPICT*>(::GlobalLock(hBlock))) {
            if (pPict->hMF != NULL)
                ::DeleteMetaFile(pPict->hMF);
            ::GlobalUnlock(hBlock);
        }
    }
    ::GlobalFree(hBlock);
}

// The live clipboard.
class ClipboardOffer final : public platform::DataOffer {
public:
    bool IsAvailable(CLIPFORMAT cf) override { return ::IsClipboardFormatAvailable(cf) != FALSE; }
    HGLOBAL CopyGlobal(CLIPFORMAT cf) override
    {
        if (platform::TymedOfFormat(cf) != TYMED_HGLOBAL && platform::TymedOfFormat(cf) != TYMED_MFPICT)
            return NULL;
        ClipboardUse use;
        if (!use.CanRead())
            return NULL;
        return CopyBlock(::GetClipboardData(cf), cf);
    }
    std::vector<CLIPFORMAT> Formats() override
    {
        std::vector<CLIPFORMAT> formats;
        ClipboardUse use;
        if (!use.CanRead())
            return formats;
        for (UINT cf = ::EnumClipboardFormats(0); cf != 0; cf = ::EnumClipboardFormats(cf))
            formats.push_back(CLIPFORMAT(cf));
        return formats;
    }
};

// Blocks fixed when the offer was made (the files of a drop).
class BlockOffer final : public platform::DataOffer {
public:
    ~BlockOffer() override
    {
        for (auto& [cf, hBlock] : m_blocks)
            FreeBlock(hBlock, cf);
    }
    void Add(CLIPFORMAT cf, HGLOBAL hBlock)
    {
        m_order.push_back(cf);
        m_blocks[cf] = hBlock;
    }
    bool IsAvailable(CLIPFORMAT cf) override { return m_blocks.count(cf) != 0; }
    HGLOBAL CopyGlobal(CLIPFORMAT cf) override
    {
        auto it = m_blocks.find(cf);
        return it == m_blocks.end() ? NULL : CopyBlock(it->second, cf);
    }
    std::vector<CLIPFORMAT> Formats() override { return m_order; }

private:
    std::map<CLIPFORMAT, HGLOBAL> m_blocks; // owned
    std::vector<CLIPFORMAT> m_order;
};

} // namespace

namespace platform {

DWORD TymedOfFormat(CLIPFORMAT cf)
{
    if (cf == CF_BITMAP || cf == CF_PALETTE || cf == kDspBitmap || (cf >= CF_GDIOBJFIRST && cf <= CF_GDIOBJLAST))
        return TYMED_GDI;
    if (cf == CF_METAFILEPICT || cf == kDspMetafilePict)
        return TYMED_MFPICT;
    if (cf == CF_ENHMETAFILE || cf == kDspEnhMetafile)
        return TYMED_ENHMF;
    return TYMED_HGLOBAL;
}

HGLOBAL MakeDropFilesBlock(const std::vector<CString>& files, POINT point, BOOL bNonClient)
{
    constexpr size_t kHeader = 20;
    size_t size = kHeader + 1;
    for (const CString& file : files)
        size += size_t(file.GetLength()) + 1;
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* p = hBlock != NULL ? static_cast<BYTE*>(::GlobalLock(hBlock)) : NULL;
    if (p == NULL) {
        if (hBlock != NULL)
            ::GlobalFree(hBlock);
        return NULL;
    }
    auto put32 = [p](size_t at, DWORD value) {
        for (int i = 0; i < 4; ++i)
            p[at + size_t(i)] = BYTE(value >> (8 * i));
    };
    put32(0, DWORD(kHeader));
    put32(4, DWORD(point.x));
    put32(8, DWORD(point.y));
    put32(12, bNonClient ? 1 : 0);
    put32(16, 0); // the names are 8-bit
    size_t at = kHeader;
    for (const CString& file : files) {
        std::memcpy(p + at, static_cast<LPCTSTR>(file), size_t(file.GetLength()));
        at += size_t(file.GetLength()) + 1;
    }
    ::GlobalUnlock(hBlock);
    return hBlock;
}

std::shared_ptr<DataOffer> MakeFileDropOffer(const std::vector<CString>& files, POINT point)
{
    auto offer = std::make_shared<BlockOffer>();
    if (HGLOBAL hBlock = MakeDropFilesBlock(files, point, FALSE))
        offer->Add(CF_HDROP, hBlock);
    return offer;
}

} // namespace platform

// ---- COleDataSource ---------------------------------------------------------------------------

COleDataSource::COleDataSource() = default;

COleDataSource::~COleDataSource()
{
    if (ClipboardOwnerSource() == this)
        ClipboardOwnerSource() = nullptr;
    Empty();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    if (hGlobal == NULL)
        return;
    if (cfFormat == 0 || (lpFormatEtc != NULL && !(lpFormatEtc->tymed & (TYMED_HGLOBAL | TYMED_MFPICT)))) {
        FreeBlock(hGlobal, cfFormat);
        return;
    }
    for (Entry& entry : m_entries) {
        if (entry.cfFormat == cfFormat) {
            if (entry.hGlobal != hGlobal)
                FreeBlock(entry.hGlobal, cfFormat);
            entry.hGlobal = hGlobal;
            return;
        }
    }
    m_entries.push_back(Entry{cfFormat, hGlobal});
}

void COleDataSource::Empty()
{
    for (Entry& entry : m_entries)
        FreeBlock(entry.hGlobal, entry.cfFormat);
    m_entries.clear();
}

int COleDataSource::GetFormatCount() const
{
    return int(m_entries.size());
}

void COleDataSource::SetClipboard()
{
    {
        ClipboardUse use;
        if (!use.OpenedHere())
            AfxThrowOleException(CLIPBRD_E_CANT_OPEN);
        ::EmptyClipboard();
        for (const Entry& entry : m_entries) {
            HGLOBAL hCopy = CopyBlock(entry.hGlobal, entry.cfFormat);
            if (hCopy != NULL && ::SetClipboardData(entry.cfFormat, hCopy) == NULL)
                FreeBlock(hCopy, entry.cfFormat);
        }
    }
    // The clipboard holds on to its data source until another one takes
    // its place.
    COleDataSource*& owner = ClipboardOwnerSource();
    if (owner != this) {
        COleDataSource* previous = owner;
        owner = this;
        delete previous;
    }
}

void PASCAL COleDataSource::FlushClipboard()
{
    COleDataSource*& owner = ClipboardOwnerSource();
    COleDataSource* previous = owner;
    owner = nullptr;
    delete previous;
}

COleDataSource* PASCAL COleDataSource::GetClipboardOwner()
{
    return ClipboardOwnerSource();
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD, LPCRECT, void*)
{
    return DROPEFFECT_NONE;
}

// ---- COleDataObject ---------------------------------------------------------------------------

COleDataObject::COleDataObject() = default;

COleDataObject::~COleDataObject() = default;

BOOL COleDataObject::AttachClipboard()
{
    Release();
    m_offer = std::make_shared<ClipboardOffer>();
    return TRUE;
}

void COleDataObject::AttachOffer(std::shared_ptr<platform::DataOffer> offer)
{
    Release();
    m_offer = std::move(offer);
}

void COleDataObject::Release()
{
    m_offer.reset();
    m_enumFormats.clear();
    m_nEnumNext = 0;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_offer == nullptr || cfFormat == 0)
        return FALSE;
    if (lpFormatEtc != NULL && !(lpFormatEtc->tymed & platform::TymedOfFormat(cfFormat)))
        return FALSE;
    return m_offer->IsAvailable(cfFormat) ? TRUE : FALSE;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC)
{
    if (m_offer == nullptr || cfFormat == 0)
        return NULL;
    return m_offer->CopyGlobal(cfFormat);
}

void COleDataObject::BeginEnumFormats()
{
    m_enumFormats.clear();
    m_nEnumNext = 0;
    if (m_offer != nullptr)
        m_enumFormats = m_offer->Formats();
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
    if (lpFormatEtc == NULL || m_nEnumNext >= m_enumFormats.size())
        return FALSE;
    const CLIPFORMAT cf = m_enumFormats[m_nEnumNext++];
    lpFormatEtc->cfFormat = cf;
    lpFormatEtc->ptd = NULL;
    lpFormatEtc->dwAspect = DVASPECT_CONTENT;
    lpFormatEtc->lindex = -1;
    lpFormatEtc->tymed = platform::TymedOfFormat(cf);
    return TRUE;
}
