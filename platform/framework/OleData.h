#pragma once
// Data transfer in the class library's OLE form, over our own clipboard.
//
// COleDataSource gathers formats of data (global memory blocks) and puts
// them on the clipboard. It owns what it caches. Once SetClipboard has run,
// the clipboard owns the data source object itself, as with OLE: it is
// deleted when another data source takes the clipboard or on
// FlushClipboard, so it must have been made with new and the caller must not
// delete it.
//
// COleDataObject reads offered data: the clipboard (AttachClipboard) or the
// files of a drop. Every format answers only for itself: nothing is made
// from another (CF_DIB is not offered as CF_BITMAP, nor the other way).
// GetGlobalData hands out a copy that the caller frees with GlobalFree.

#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/framework/OleTypes.h"

#include <memory>
#include <vector>

namespace platform {
class DataOffer;
}

class COleDataSource : public CObject {
    DECLARE_DYNAMIC(COleDataSource)
public:
    COleDataSource();
    ~COleDataSource() override;
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Takes ownership of hGlobal (a global memory block). A format cached
    // twice keeps the later block. Only TYMED_HGLOBAL is carried; a
    // FORMATETC asking for another medium is refused (the block is freed).
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = NULL);
    // Frees every cached block.
    void Empty();

    // Empties the clipboard and puts a copy of every cached format on it,
    // in the order cached. Raises COleException when the clipboard cannot
    // be opened. The clipboard owns this object from here on.
    void SetClipboard();
    // Lets go of the data source that owns the clipboard (its data stays on
    // the clipboard).
    static void PASCAL FlushClipboard();
    // The data source that put the current clipboard data there, if any.
    static COleDataSource* PASCAL GetClipboardOwner();

    // There is nothing to drag to outside the program, so a drag ends at
    // once with nothing done.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
        LPCRECT lpRectStartDrag = NULL, void* pDropSource = NULL);

    // Tests and the clipboard code: what is cached.
    int GetFormatCount() const;

private:
    struct Entry {
        CLIPFORMAT cfFormat;
        HGLOBAL hGlobal;
    };
    std::vector<Entry> m_entries;
};

class COleDataObject {
public:
    COleDataObject();
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // Reads from the clipboard from now on (its content at the time of each
    // question). Always TRUE.
    BOOL AttachClipboard();
    // Lets go of what was attached; every question then answers "no data".
    void Release();
    BOOL IsAttached() const { return m_offer != nullptr; }

    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
    // A copy of the format's global memory block, which the caller frees;
    // NULL when the format is not offered or is not a memory block (bitmap,
    // enhanced metafile and palette handles). A CF_METAFILEPICT copy holds a
    // copy of the metafile too.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);

    // The offered formats in order: BeginEnumFormats takes the list,
    // GetNextFormat hands out one entry (TYMED_HGLOBAL, or TYMED_GDI /
    // TYMED_MFPICT / TYMED_ENHMF for handle formats) per call until FALSE.
    void BeginEnumFormats();
    BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

    // The drop target's: offers the dropped files as CF_HDROP.
    void AttachOffer(std::shared_ptr<platform::DataOffer> offer);

private:
    std::shared_ptr<platform::DataOffer> m_offer;
    std::vector<CLIPFORMAT> m_enumFormats;
    size_t m_nEnumNext = 0;
};

namespace platform {

// What a COleDataObject reads: the live clipboard or a fixed set of blocks.
class DataOffer {
public:
    virtual ~DataOffer() = default;
    virtual bool IsAvailable(CLIPFORMAT cf) = 0;
    virtual HGLOBAL CopyGlobal(CLIPFORMAT cf) = 0;
    virtual std::vector<CLIPFORMAT> Formats() = 0;
};

// The files of a drop as the Windows DROPFILES block of CF_HDROP: a 20-byte
// header (offset of the names, drop point, non-client flag, wide flag 0)
// and the 1252 names, each ending in a zero, with one more zero at the end.
HGLOBAL MakeDropFilesBlock(const std::vector<CString>& files, POINT point, BOOL bNonClient);
std::shared_ptr<DataOffer> MakeFileDropOffer(const std::vector<CString>& files, POINT point);

// The tymed a clipboard format travels in.
DWORD TymedOfFormat(CLIPFORMAT cf);

} // namespace platform
