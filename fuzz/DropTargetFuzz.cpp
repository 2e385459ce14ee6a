// Drops fuzzed data onto an open design's surface view through the view's
// drop-target operations, as the drop target plays a drop: drag enter with
// keys at a point, then the drop or the leave. What is dropped is any mix of
// standard-format blocks (a packed DIB, a metafile picture, text), a file
// list block taken as it comes, and a well-formed file list naming fuzzed
// files written to a scratch folder under picture and design names.
//
// Input: byte 0 chooses the formats offered, byte 1 the keys and whether the
// point lies on the page; then each part is a 16-bit little-endian length
// and its bytes: up to three scratch files (each after one byte choosing its
// name), the DIB, the metafile bits, the text and the raw file list.
//
// Any drop must run without a crash or a leak and add at most one object
// for the standard formats or for each regular file it names.

#include "fuzz/FuzzDesignSession.h"
#include "fuzz/FuzzProgramFolder.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/gdi/Metafile.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "tests/surface/SurfaceInputDriver.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using fuzzdesign::Fail;

class Reader {
public:
    Reader(const uint8_t* data, size_t size)
        : m_p(data)
        , m_left(size)
    {
    }
    uint8_t Byte()
    {
        if (m_left == 0)
            return 0;
        --m_left;
        return *m_p++;
    }
    std::vector<uint8_t> Part()
    {
        const size_t n = std::min<size_t>(size_t(Byte()) | size_t(Byte()) << 8, m_left);
        std::vector<uint8_t> bytes(m_p, m_p + n);
        m_p += n;
        m_left -= n;
        return bytes;
    }

private:
    const uint8_t* m_p;
    size_t m_left;
};

HGLOBAL BlockOf(const std::vector<uint8_t>& bytes)
{
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (hBlock != NULL && !bytes.empty()) {
        std::memcpy(::GlobalLock(hBlock), bytes.data(), bytes.size());
        ::GlobalUnlock(hBlock);
    }
    return hBlock;
}

// Blocks offered as they are; the data object copies what it hands out.
class FuzzOffer final : public platform::DataOffer {
public:
    ~FuzzOffer() override
    {
        for (auto& [cf, hBlock] : m_blocks)
            Free(cf, hBlock);
    }
    void Add(CLIPFORMAT cf, HGLOBAL hBlock)
    {
        if (hBlock == NULL)
            return;
        if (m_blocks.count(cf) != 0)
            Free(cf, m_blocks[cf]);
        else
            m_order.push_back(cf);
        m_blocks[cf] = hBlock;
    }
    bool IsAvailable(CLIPFORMAT cf) override { return m_blocks.count(cf) != 0; }
    HGLOBAL CopyGlobal(CLIPFORMAT cf) override
    {
        auto it = m_blocks.find(cf);
        if (it == m_blocks.end())
            return NULL;
        const size_t size = ::GlobalSize(it->second);
        std::vector<uint8_t> bytes(size);
        if (size != 0) {
            std::memcpy(bytes.data(), ::GlobalLock(it->second), size);
            ::GlobalUnlock(it->second);
        }
        HGLOBAL hCopy = BlockOf(bytes);
        if (cf == CF_METAFILEPICT && hCopy != NULL && size >= sizeof(METAFILEPICT)) {
            auto* pPict = static_cast<METAFILEPICT*>(::GlobalLock(hCopy));
            pPict->hMF = pPict->hMF != NULL ? ::CopyMetaFile(pPict->hMF, NULL) : NULL;
            ::GlobalUnlock(hCopy);
        }
        return hCopy;
    }
    std::vector<CLIPFORMAT> Formats() override { return m_order; }

private:
    static void Free(CLIPFORMAT cf, HGLOBAL hBlock)
    {
        if (cf == CF_METAFILEPICT && ::GlobalSize(hBlock) >= sizeof(METAFILEPICT)) {
            auto* pPict = static_cast<METAFILEPICT*>(::GlobalLock(hBlock));
            if (pPict->hMF != NULL)
                ::DeleteMetaFile(pPict->hMF);
            ::GlobalUnlock(hBlock);
        }
        ::GlobalFree(hBlock);
    }
    std::map<CLIPFORMAT, HGLOBAL> m_blocks;
    std::vector<CLIPFORMAT> m_order;
};

const char* const kNames[] = {"a.png", "b.bmp", "c.jpg", "d.gif", "e.wmf", "f.shr", "g.txt", "h.pcx", "i.tga",
    "Name With Blanks.png", "j", "k.emf"};

std::string& ScratchFolder()
{
    static std::string folder;
    return folder;
}

} // namespace

// fontconfig keeps its configuration for the life of the process; that is
// not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static FuzzProgramFolder folder("droptarget");
    ScratchFolder() = folder.host + "/drops";
    fuzzdesign::TargetName() = "DropTargetFuzz";
    threadwick::RegisterResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    Reader in(data, size);
    const uint8_t formats = in.Byte();
    const uint8_t keys = in.Byte();

    std::error_code ec;
    std::filesystem::remove_all(ScratchFolder(), ec);
    std::filesystem::create_directories(ScratchFolder(), ec);
    std::vector<CString> files;
    const int nFiles = formats & 3;
    for (int i = 0; i < nFiles; ++i) {
        const uint8_t nName = in.Byte();
        const std::vector<uint8_t> bytes = in.Part();
        const std::string path = ScratchFolder() + "/" + std::to_string(i) + kNames[nName % std::size(kNames)];
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        // Some names point at what is not a regular file.
        if (nName & 0x80)
            files.emplace_back(platform::WindowsPathFor(ScratchFolder()).c_str());
        else
            files.emplace_back(platform::WindowsPathFor(path).c_str());
    }
    const std::vector<uint8_t> dib = in.Part();
    const std::vector<uint8_t> metafile = in.Part();
    std::vector<uint8_t> text = in.Part();
    const std::vector<uint8_t> rawList = in.Part();

    auto offer = std::make_shared<FuzzOffer>();
    if (formats & 0x04)
        offer->Add(CF_DIB, BlockOf(dib));
    if (formats & 0x08) {
        METAFILEPICT pict{};
        pict.mm = MM_ANISOTROPIC;
        pict.xExt = int(keys) * 37;
        pict.yExt = int(formats) * 29;
        pict.hMF = metafile.empty() ? NULL : ::SetMetaFileBitsEx(UINT(metafile.size()), metafile.data());
        std::vector<uint8_t> block(sizeof pict);
        std::memcpy(block.data(), &pict, sizeof pict);
        // A short block must be refused, not read past.
        if (formats & 0x40)
            block.resize(block.size() / 2);
        if (block.size() < sizeof pict && pict.hMF != NULL)
            ::DeleteMetaFile(pict.hMF);
        offer->Add(CF_METAFILEPICT, BlockOf(block));
    }
    if (formats & 0x10)
        offer->Add(CF_TEXT, BlockOf(text));
    int nNamed = 0;
    if (formats & 0x20) {
        offer->Add(CF_HDROP, BlockOf(rawList));
        nNamed = 256;
    } else if (!files.empty()) {
        offer->Add(CF_HDROP, platform::MakeDropFilesBlock(files, POINT{0, 0}, FALSE));
        nNamed = int(files.size());
    }

    {
        fuzzdesign::Session session;
        CSurface* pView = session.View();
        surfaceinput::EscapeWhenIdle escapes;
        COleDataObject dataObject;
        dataObject.AttachOffer(offer);
        const CRect page = CDrawObj::NormalizeUp(pView->GetPageRect());
        CPoint point = keys & 0x80 ? CPoint(page.right + 50, 0) : CPoint(0, 0);
        pView->LPtoDPPoint(&point);
        DWORD dwKeys = MK_LBUTTON;
        if (keys & 1)
            dwKeys |= MK_SHIFT;
        if (keys & 2)
            dwKeys |= MK_CONTROL;
        const INT_PTR nBefore = pView->GetObjects().GetCount();
        const DROPEFFECT effect = pView->OnDragEnter(&dataObject, dwKeys, point);
        if (effect == DROPEFFECT_NONE)
            pView->OnDragLeave();
        else
            pView->OnDrop(&dataObject, effect, point);
        escapes.Rearm();
        surfaceinput::PumpQueue();
        const INT_PTR nAdded = pView->GetObjects().GetCount() - nBefore;
        if (effect == DROPEFFECT_NONE && nAdded != 0)
            Fail("a refused drop added objects");
        if (nAdded > std::max(1, nNamed))
            Fail("one drop added " + std::to_string(nAdded) + " objects");
        if (pView->m_flags & CSurface::SurfaceDragOver)
            Fail("the drag-over flag outlived the drop");
        const std::string problem = surfaceinput::CheckSelection(pView);
        if (!problem.empty())
            Fail(problem);
    }
    return 0;
}
