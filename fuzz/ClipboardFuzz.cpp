// Feeds bytes to a design view's Paste through the clipboard. The first byte
// picks the road, the rest is what arrives:
//   0  the program's private object format, read into the design;
//   1  a picture another program copied (second byte: PNG, BMP or JPEG as
//      its type), read at the desktop edge and pasted as CF_DIB/CF_BITMAP;
//   2  clipboard text beside a picture, taken as the picture's file name.
// Any input must paste whole or not at all: the selection stays inside the
// surface's objects, a refused clip leaves the surface and its undo list as
// they were, and undoing every step of a paste leaves no object that has
// steps (embedded objects have none).
//
// THREADWICK_CLIPBOARD_ROAD=0, 1 or 2 keeps a run on one road whatever the
// first byte says, so that each road can be given its own time.
//
// Seeds: surface_tests writes a private clip of every kind of object into
// the folder THREADWICK_CLIPBOARD_SEEDS names (the test
// EveryKindOfObjectComesBackFromTheClipboardAsItWas); pictures are the
// outside test files with a first byte 1 and a second byte 0 (PNG), 1 (BMP)
// or 2 (JPEG).

#include "fuzz/FuzzDesignSession.h"
#include "fuzz/FuzzProgramFolder.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoList.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "tests/surface/SurfaceInputDriver.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// Inputs past this are cut: a clip of a few hundred kilobytes reaches every
// reader, and larger ones only slow the run.
constexpr size_t kMaxInput = 1 << 20;

using fuzzdesign::Fail;

HGLOBAL Block(const uint8_t* data, size_t size)
{
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (hBlock == NULL)
        return NULL;
    if (size != 0) {
        if (void* p = ::GlobalLock(hBlock)) {
            std::memcpy(p, data, size);
            ::GlobalUnlock(hBlock);
        }
    }
    return hBlock;
}

// A picture of one white pixel as a packed DIB.
HGLOBAL OnePixelDib()
{
    std::vector<uint8_t> bytes(sizeof(BITMAPINFOHEADER) + 4, 0xFF);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = 1;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::memcpy(bytes.data(), &header, sizeof header);
    return Block(bytes.data(), bytes.size());
}

void SetClipboard(const std::vector<std::pair<UINT, HANDLE>>& formats)
{
    if (!::OpenClipboard(NULL))
        Fail("the clipboard cannot be opened");
    ::EmptyClipboard();
    for (const auto& [cf, h] : formats) {
        if (h != NULL)
            ::SetClipboardData(cf, h);
    }
    ::CloseClipboard();
}

void CheckSelectionOnSurface(CSurface* pView)
{
    std::unordered_set<const CObject*> objects;
    for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != NULL;)
        objects.insert(pView->GetObjects().GetNext(pos));
    for (POSITION pos = pView->GetSelection().GetHeadPosition(); pos != NULL;) {
        if (objects.count(pView->GetSelection().GetNext(pos)) == 0)
            Fail("a selected object is not on the surface");
    }
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
    static FuzzProgramFolder folder("clipboard");
    fuzzdesign::TargetName() = "ClipboardFuzz";
    threadwick::RegisterResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > kMaxInput)
        return 0;
    static const int nPinnedRoad = [] {
        const char* pszRoad = std::getenv("THREADWICK_CLIPBOARD_ROAD");
        return pszRoad != nullptr && pszRoad[0] >= '0' && pszRoad[0] <= '2' && pszRoad[1] == '\0' ? pszRoad[0] - '0' : -1;
    }();
    const int nRoad = nPinnedRoad >= 0 ? nPinnedRoad : data[0] % 3;
    const uint8_t* payload = data + 1;
    size_t nPayload = size - 1;

    fuzzdesign::SessionOptions options;
    options.bZoom100 = false;
    options.bFlushClipboard = true;
    fuzzdesign::Session session(options);
    CSurface* pView = session.View();
    CDrawDoc* pDoc = pView->GetDocument();
    switch (nRoad) {
    case 0: SetClipboard({{CSurface::GetPrivateFormat(), Block(payload, nPayload)}}); break;
    case 1: {
        static const char* const kTypes[] = {"image/png", "image/bmp", "image/jpeg"};
        const char* pszType = kTypes[nPayload > 0 ? payload[0] % 3 : 0];
        if (nPayload > 0) {
            ++payload;
            --nPayload;
        }
        platform::headless::SetClipboardPicture(pszType, std::vector<unsigned char>(payload, payload + nPayload));
        break;
    }
    default: SetClipboard({{CF_DIB, OnePixelDib()}, {CF_TEXT, Block(payload, nPayload)}}); break;
    }

    const int nStepsBefore = pDoc->GetUndoList().GetCount();
    pView->OnEditPaste();
    surfaceinput::PumpQueue();
    CheckSelectionOnSurface(pView);
    const int nObjects = static_cast<int>(pView->GetObjects().GetCount());
    if (nObjects != pView->GetSelection().GetCount())
        Fail("a paste on an empty surface selects other than what it placed");
    if (nObjects == 0) {
        if (pDoc->GetUndoList().GetCount() != nStepsBefore)
            Fail("a refused paste left an undo step");
        return 0;
    }

    // What came in goes out again, and every step of the paste undoes.
    pView->OnEditCopy();
    surfaceinput::PumpQueue();
    CheckSelectionOnSurface(pView);
    while (pDoc->GetUndoList().CanUndo())
        pDoc->GetUndoList().Undo(pDoc);
    surfaceinput::PumpQueue();
    CheckSelectionOnSurface(pView);
    // Embedded objects keep no steps of their own.
    if (nObjects <= CUndoList::kMaxSteps) {
        for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != NULL;) {
            auto* pObj = static_cast<CDrawObj*>(pView->GetObjects().GetNext(pos));
            if (!pObj->IsOleObject())
                Fail("undoing the paste left objects behind");
        }
    }
    return 0;
}
