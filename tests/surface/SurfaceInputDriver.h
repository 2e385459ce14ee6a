#pragma once
// Drives an open design's surface view with bytes read as mouse and key
// events through the headless back end, and checks what must hold whatever
// the events were: the selection lies inside the objects, and undoing every
// step and redoing them all gives back each object field by field. Used by
// the input fuzz target and by the seeded run of the surface tests; free of
// the test framework so that both can include it.

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace surfaceinput {

// Fifty objects in a grid over the page: every shape kind the tools draw,
// some grouped in pairs, a few locked, one with block text.
inline void PopulateDesign(CSurface* pView, int nCount = 50)
{
    const CRect page = pView->GetPageRect();
    const int nColumns = 10;
    const int nRows = (nCount + nColumns - 1) / nColumns;
    const int cx = std::max(1, page.Width() / nColumns);
    const int cy = std::max(1, (page.top - page.bottom) / std::max(1, nRows));
    for (int i = 0; i < nCount; ++i) {
        const int x = page.left + (i % nColumns) * cx + cx / 8;
        const int y = page.top - (i / nColumns) * cy - cy / 8;
        const CRect rect(x, y, x + cx * 3 / 4, y - cy * 3 / 4);
        auto* pObj = new CDrawRect(rect, i % 4 == 3 ? SHAPE_LINE : i % 4);
        if (i % 7 == 0)
            pObj->m_wObjectWord = static_cast<WORD>(1 + i / 7);
        if (i % 7 == 1)
            pObj->m_wObjectWord = static_cast<WORD>(1 + i / 7);
        if (i % 11 == 5)
            pObj->m_wFlags |= OBJ_FLAG_LOCKED;
        if (i == 12)
            pObj->SetText("Fuzz", TRUE);
        pView->Add(pObj);
    }
}

// The keys an event can press.
constexpr UINT kKeys[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_DELETE, VK_RETURN, VK_ESCAPE, 'F', 'R', 'M', 'C',
    'G', 'L', 'A', 'Z', 'Y', '2', VK_ADD, VK_SUBTRACT, VK_TAB, 'E', VK_APPS};
// The commands an event can send to the design's frame.
constexpr UINT kCommands[] = {ID_ARRANGE_SELECT_TOOL, ID_DRAW_LINE, ID_DRAW_RECT, ID_DRAW_ROUNDRECT, ID_DRAW_ELLIPSE,
    ID_DRAW_POLYGON, ID_DRAW_TEXT_TOOL, ID_TOOL_DRAW_RECT, ID_EDIT_CLEAR, ID_SURFACE_ESCAPE, ID_BAND_SELECT,
    ID_BAND_CANCEL, ID_NUDGE_UP, ID_NUDGE_LEFT_BIG, ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_SELECTION_TEXT,
    ID_VIEW_ZOOM_FIT, ID_VIEW_ZOOM_200, ID_VIEW_ZOOM_50};

// Takes bytes off the front of the input, zero once it is used up.
class ByteReader {
public:
    ByteReader(const uint8_t* pData, size_t nSize)
        : m_pData(pData)
        , m_nSize(nSize)
    {
    }
    bool AtEnd() const { return m_nPos >= m_nSize; }
    uint8_t Next() { return m_nPos < m_nSize ? m_pData[m_nPos++] : 0; }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
};

// Dispatches what is queued; a WM_QUIT that a modal loop left behind (the
// headless loop quits when it would wait forever) is taken off again so
// that the next event still runs.
inline void PumpQueue()
{
    AfxPumpMessagesUntilIdle();
    MSG msg;
    while (::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Every menu, dialog or drag loop that would wait for the user gets
// Escape, at most a few times per event, then the loop is left to quit.
class EscapeWhenIdle {
public:
    EscapeWhenIdle()
    {
        platform::headless::SetIdleHandler([this] {
            if (m_nLeft <= 0)
                return false;
            --m_nLeft;
            platform::headless::TypeKey(VK_ESCAPE);
            return true;
        });
    }
    ~EscapeWhenIdle() { platform::headless::SetIdleHandler(nullptr); }
    void Rearm() { m_nLeft = 4; }

private:
    int m_nLeft = 4;
};

// Runs one event of three bytes (kind, then two values) on the view.
inline void RunEvent(CSurface* pView, ByteReader& in)
{
    const uint8_t kind = in.Next();
    const uint8_t a = in.Next();
    const uint8_t b = in.Next();
    CRect client;
    pView->GetClientRect(&client);
    const int w = std::max<LONG>(1, client.Width());
    const int h = std::max<LONG>(1, client.Height());
    CPoint pt(a * w / 256, b * h / 256);
    pView->ClientToScreen(&pt);
    namespace hl = platform::headless;
    switch (kind % 12) {
    case 0:
        hl::PressMouse(0, pt.x, pt.y);
        break;
    case 1:
    case 2:
        hl::MoveMouse(pt.x, pt.y);
        break;
    case 3:
        hl::ReleaseMouse(0, pt.x, pt.y);
        break;
    case 4:
        hl::Click(pt.x, pt.y);
        hl::Click(pt.x, pt.y);
        break;
    case 5:
        hl::PressMouse(1, pt.x, pt.y);
        hl::ReleaseMouse(1, pt.x, pt.y);
        break;
    case 6:
    case 7: {
        const UINT vk = kKeys[a % (sizeof(kKeys) / sizeof(kKeys[0]))];
        const BOOL bShift = (b & 1) != 0;
        const BOOL bCtrl = (b & 2) != 0;
        if (bShift)
            hl::KeyDown(VK_SHIFT);
        if (bCtrl)
            hl::KeyDown(VK_CONTROL);
        hl::TypeKey(vk);
        if (bCtrl)
            hl::KeyUp(VK_CONTROL);
        if (bShift)
            hl::KeyUp(VK_SHIFT);
        break;
    }
    case 8:
        hl::KeyDown(b & 1 ? VK_SHIFT : VK_CONTROL);
        break;
    case 9:
        hl::KeyUp(VK_SHIFT);
        hl::KeyUp(VK_CONTROL);
        break;
    case 10:
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->SendMessage(WM_COMMAND, kCommands[a % (sizeof(kCommands) / sizeof(kCommands[0]))], 0);
        break;
    default:
        hl::MoveMouse(pt.x, pt.y);
        hl::PressMouse(0, pt.x, pt.y);
        break;
    }
    PumpQueue();
}

// An object's stored record with the fields the record leaves out that
// editing changes: two objects in the same state give the same string.
inline std::string ObjectFields(CDrawObj* pObj)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        pObj->Serialize(ar);
        ar.Close();
    }
    const DWORD nLength = file.GetLength();
    BYTE* pBytes = file.Detach();
    std::string out(reinterpret_cast<const char*>(pBytes), nLength);
    free(pBytes);
    const CRect& p = pObj->m_position;
    const CRect& u = pObj->m_rectUnrotated;
    out += " pos " + std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.right) + ","
        + std::to_string(p.bottom) + " unrot " + std::to_string(u.left) + "," + std::to_string(u.top) + ","
        + std::to_string(u.right) + "," + std::to_string(u.bottom) + " flags " + std::to_string(pObj->m_wFlags)
        + " group " + std::to_string(pObj->m_wObjectWord) + " serial " + std::to_string(pObj->m_nSerial);
    return out + " " + pObj->GetRuntimeClass()->m_lpszClassName;
}

// Every object of the view in list order.
inline std::vector<std::string> SurfaceState(CSurface* pView)
{
    std::vector<std::string> out;
    const CObList& objects = pView->GetObjects();
    for (POSITION pos = objects.GetHeadPosition(); pos != NULL;)
        out.push_back(ObjectFields(static_cast<CDrawObj*>(objects.GetNext(pos))));
    return out;
}

// Empty when the selection holds each of its objects once and only objects
// of the view; else what is wrong.
inline std::string CheckSelection(CSurface* pView)
{
    std::set<const CObject*> objects;
    const CObList& list = pView->GetObjects();
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        objects.insert(list.GetNext(pos));
    std::set<const CObject*> seen;
    CObList& selection = pView->GetSelection();
    for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
        const CObject* pObj = selection.GetNext(pos);
        if (objects.count(pObj) == 0)
            return "a selected object is not on the surface";
        if (!seen.insert(pObj).second)
            return "an object is selected twice";
    }
    return std::string();
}

// Empty when undoing every step and redoing as many gives back each object
// as it was; else the first difference.
inline std::string CheckUndoRedo(CSurface* pView)
{
    CDrawDoc* pDoc = pView->GetDocument();
    if (pDoc == nullptr)
        return std::string();
    // Whatever is being dragged or edited ends first, as the user would
    // let go of the mouse before choosing Undo: a drag still running holds
    // an object that no step has recorded yet.
    if (pView->m_bButtonDown) {
        const POINT cursor = platform::headless::CursorPosition();
        platform::headless::ReleaseMouse(0, cursor.x, cursor.y);
        PumpQueue();
    }
    if (::GetCapture() != NULL)
        ::ReleaseCapture();
    const CObList& objects = pView->GetObjects();
    for (POSITION pos = objects.GetHeadPosition(); pos != NULL;) {
        auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
        if (pObj->IsTextEditActive())
            pObj->EndTextEdit();
    }
    pView->Select(NULL, FALSE);
    PumpQueue();
    const std::vector<std::string> before = SurfaceState(pView);
    // A step whose objects are gone answers FALSE but is passed all the
    // same; the bound only stops a list that would not move.
    CUndoList& undo = pDoc->GetUndoList();
    int nSteps = 0;
    while (undo.CanUndo() && nSteps < 64) {
        undo.Undo(pDoc);
        ++nSteps;
    }
    PumpQueue();
    // Steps undone before the check stay undone: redo as many as were
    // undone here.
    int nRedone = 0;
    while (undo.CanRedo() && nRedone < nSteps) {
        undo.Redo(pDoc);
        ++nRedone;
    }
    PumpQueue();
    const std::vector<std::string> after = SurfaceState(pView);
    if (nRedone != nSteps)
        return "undid " + std::to_string(nSteps) + " steps but redid " + std::to_string(nRedone);
    if (before.size() != after.size())
        return "undo and redo leave " + std::to_string(after.size()) + " objects, not " +
            std::to_string(before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            // The readable fields, or the stored record's first differing byte.
            const size_t b = before[i].rfind(" pos ");
            const size_t a = after[i].rfind(" pos ");
            size_t nByte = 0;
            while (nByte < before[i].size() && nByte < after[i].size() && before[i][nByte] == after[i][nByte])
                ++nByte;
            return "object " + std::to_string(i) + " differs after undo and redo at byte " + std::to_string(nByte)
                + ": " + (b != std::string::npos ? before[i].substr(b) : "") + " | "
                + (a != std::string::npos ? after[i].substr(a) : "");
        }
    }
    return std::string();
}

} // namespace surfaceinput
