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
//
// With bit 0x40 of byte 1 the drag comes from another X program instead:
// the rest of the input is a run of that protocol's client messages
// (enters with fuzzed versions and type lists, positions around the main
// window with fuzzed actions and keys, leaves, drops, strangers' messages,
// sources that vanish) played on the X target's protocol code, whose
// selection reads answer with fuzzed bytes, a well-formed list of the
// scratch files or a failure. Bit 0x20 makes the main window take whole
// drops too. Each status must accept exactly when it names an action, each
// drop be finished once, the view must not be left believing a drag is
// over it, and each drop may add at most one object per file.

#include "fuzz/FuzzDesignSession.h"
#include "fuzz/FuzzProgramFolder.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/gdi/Metafile.h"
#include "platform/ui/Headless.h"
#include "platform/ui/internal/XdndTarget.h"
#include "resources/Resources.h"
#include "tests/surface/SurfaceInputDriver.h"

#include <cctype>
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
    uint16_t Word() { return uint16_t(Byte() | Byte() << 8); }
    bool Empty() const { return m_left == 0; }
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

// The other program's side of an X drag: what it answers comes from the
// input, what we send it is checked.
namespace xdnd {

constexpr unsigned long kProxy = 0x40000001;
constexpr unsigned long kFirstSource = 0x50000001;

platform::XdndAtoms Atoms()
{
    platform::XdndAtoms a;
    a.enter = 11;
    a.position = 12;
    a.status = 13;
    a.leave = 14;
    a.drop = 15;
    a.finished = 16;
    a.uriList = 20;
    a.actionCopy = 31;
    a.actionMove = 32;
    a.actionLink = 33;
    return a;
}

class Peer final : public platform::XdndPeer {
public:
    Peer(Reader& in, const std::string& wellFormed, HWND topLevel)
        : m_in(in)
        , m_wellFormed(wellFormed)
        , m_topLevel(topLevel)
    {
    }
    std::vector<unsigned long> TypeList(unsigned long, size_t limit) override
    {
        std::vector<unsigned long> types;
        const size_t n = m_in.Byte();
        for (size_t i = 0; i < n && types.size() < limit; ++i)
            types.push_back(m_in.Byte());
        if (types.size() > limit)
            Fail("a type list past its limit");
        return types;
    }
    void Send(unsigned long source, unsigned long type, const long data[5]) override
    {
        const platform::XdndAtoms atoms = Atoms();
        if (source < kFirstSource || source > kFirstSource + 3)
            Fail("an answer to a window that never dragged");
        if (data[0] != long(kProxy))
            Fail("an answer naming another window than the one addressed");
        if (type == atoms.status) {
            if (((data[1] & 1) != 0) != (data[4] != 0))
                Fail("a status whose acceptance and action disagree");
            if (data[4] != 0 && data[4] != long(atoms.actionCopy) && data[4] != long(atoms.actionMove)
                && data[4] != long(atoms.actionLink))
                Fail("a status with an action of no one's");
        } else if (type == atoms.finished) {
            ++finished;
            if ((data[1] & 1) && data[2] != long(atoms.actionCopy))
                Fail("a finished drop that is not a copy");
        } else {
            Fail("a message of another kind sent to the source");
        }
    }
    bool FetchUriList(unsigned long, std::string& bytes) override
    {
        ++fetches;
        switch (m_in.Byte() % 4) {
        case 0: return false;
        case 1: bytes = m_wellFormed; return true;
        case 2: {
            const std::vector<uint8_t> raw = m_in.Part();
            bytes.assign(raw.begin(), raw.end());
            return true;
        }
        default: {
            const std::vector<uint8_t> raw = m_in.Part();
            bytes = m_wellFormed + std::string(raw.begin(), raw.end());
            return true;
        }
        }
    }
    DWORD KeysHeld() override { return m_in.Byte() & 0x3F; }
    void WatchSource(unsigned long) override {}
    HWND TopLevelOf(unsigned long) override
    {
        const uint8_t choice = m_in.Byte();
        return choice & 1 ? m_topLevel : choice & 2 ? HWND(uintptr_t(0x57000000u + choice)) : NULL;
    }
    std::string HostName() override { return "fuzzhost"; }

    int finished = 0;
    int fetches = 0;

private:
    Reader& m_in;
    std::string m_wellFormed;
    HWND m_topLevel;
};

std::string FileUri(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
            uri.push_back(char(c));
        } else {
            uri.push_back('%');
            uri.push_back(kHex[c >> 4]);
            uri.push_back(kHex[c & 15]);
        }
    }
    return uri + "\r\n";
}

// Plays the rest of the input as an X drag over the session's windows;
// answers how many drops were made.
int PlayDrag(Reader& in, const std::string& wellFormed, HWND topLevel)
{
    const platform::XdndAtoms atoms = Atoms();
    Peer peer(in, wellFormed, topLevel);
    platform::XdndTarget target(peer, atoms);
    RECT area{};
    ::GetWindowRect(topLevel, &area);
    const long width = area.right - area.left + 128;
    const long height = area.bottom - area.top + 128;
    const unsigned long actions[] = {atoms.actionCopy, atoms.actionMove, atoms.actionLink, 0, 99};
    int drops = 0;
    for (int step = 0; step < 64 && !in.Empty(); ++step) {
        const uint8_t op = in.Byte();
        const unsigned long source = kFirstSource + (op >> 5) % 3;
        long data[5] = {long(source), 0, 0, 0, 0};
        switch (op % 8) {
        case 0: {
            const uint8_t version = in.Byte();
            data[1] = long(version % 8) << 24 | (in.Byte() & 1);
            for (int i = 2; i < 5; ++i) {
                const uint8_t t = in.Byte();
                data[i] = t < 128 ? long(atoms.uriList) : long(t);
            }
            target.OnClientMessage(kProxy, atoms.enter, data);
            break;
        }
        case 1:
        case 6: {
            const long x = area.left - 64 + long(in.Word()) % width;
            const long y = area.top - 64 + long(in.Word()) % height;
            data[2] = (x & 0xFFFF) << 16 | (y & 0xFFFF);
            data[4] = long(actions[in.Byte() % std::size(actions)]);
            if (op % 8 == 6)
                data[0] = long(kFirstSource + 7);
            target.OnClientMessage(kProxy, atoms.position, data);
            break;
        }
        case 2: target.OnClientMessage(kProxy, atoms.leave, data); break;
        case 3: {
            const int before = peer.finished;
            const bool dragging = target.Dragging() && target.Source() == source;
            data[2] = long(in.Word());
            target.OnClientMessage(kProxy, atoms.drop, data);
            if (dragging && peer.finished != before + 1)
                Fail("a drop finished " + std::to_string(peer.finished - before) + " times");
            if (!dragging && peer.finished != before)
                Fail("a stranger's drop was answered");
            drops += dragging;
            break;
        }
        case 4: target.OnSourceGone(source); break;
        case 5: {
            for (long& l : data)
                l = long(in.Word()) << 16 | in.Word();
            target.OnClientMessage(kProxy, in.Byte() % 24, data);
            break;
        }
        default: target.Abandon(); break;
        }
        surfaceinput::PumpQueue();
    }
    return drops;
}

} // namespace xdnd

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
    std::string uriList;
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
        if (nName & 0x80) {
            files.emplace_back(platform::WindowsPathFor(ScratchFolder()).c_str());
            uriList += xdnd::FileUri(ScratchFolder());
        } else {
            files.emplace_back(platform::WindowsPathFor(path).c_str());
            uriList += xdnd::FileUri(path);
        }
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

    if (keys & 0x40) {
        fuzzdesign::Session session;
        CSurface* pView = session.View();
        surfaceinput::EscapeWhenIdle escapes;
        CWnd* pMain = AfxGetMainWnd();
        if (pMain == nullptr)
            Fail("no main window");
        if (keys & 0x20)
            pMain->DragAcceptFiles(TRUE);
        const INT_PTR nBefore = pView->GetObjects().GetCount();
        const int drops = xdnd::PlayDrag(in, uriList, pMain->GetSafeHwnd());
        escapes.Rearm();
        surfaceinput::PumpQueue();
        // The session's design may have gone with a design file dropped on
        // the main window; only a view that is still there is checked.
        if (::IsWindow(pView->GetSafeHwnd())) {
            const INT_PTR nAdded = pView->GetObjects().GetCount() - nBefore;
            if (nAdded > INT_PTR(drops) * std::max(1, nFiles))
                Fail(std::to_string(drops) + " drops added " + std::to_string(nAdded) + " objects");
            if (pView->m_flags & CSurface::SurfaceDragOver)
                Fail("the drag-over flag outlived the drag");
            const std::string problem = surfaceinput::CheckSelection(pView);
            if (!problem.empty())
                Fail(problem);
        }
        return 0;
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
