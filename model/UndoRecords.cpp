// The records of the undo history and the functions that record them.
//
// A record that must bring an object back (creation, deletion, duplication)
// keeps a copy of the whole object written through the archive, class and
// all, and reads it back into an object of the same class: a polygon keeps
// its points, a plain picture item stays one, a calendar keeps its cells.

#include "app/RectGeometry.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawOleObj.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"
#include "text/TextBlock.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

BOOL g_bUndoRecordingOff = FALSE;
BOOL g_bUndoGrouping = FALSE;
int g_nUndoGroupCounter = 0;

namespace {

// Bits of m_wFlags a step sets while it moves an object.
constexpr WORD kFlagUndoing = 0x2000;
constexpr WORD kFlagSizedToPicture = 0x0010;

CSurface* CurrentView(CDrawDoc* pDoc)
{
    return pDoc != nullptr ? pDoc->GetSurfaceView(-1) : nullptr;
}

// ---- Block text as it was laid out

// Block text lays itself out afresh whenever it is drawn after a change,
// and where it lands depends on where it was: a step that moves or sizes
// such an object keeps the text as it was laid out and puts it back whole
// with the object, so that the text is neither laid out nor fitted again.
std::shared_ptr<const CTextBlock> LaidTextOf(const CDrawObj* pObj)
{
    const CTextBlock* pBlock = pObj->m_bBlockText ? pObj->GetTextBlock() : nullptr;
    if (pBlock == nullptr)
        return nullptr;
    auto pText = std::make_shared<CTextBlock>(nullptr);
    pText->CopyFrom(*pBlock);
    // CopyFrom marks the copy for laying out; the copy keeps the original's
    // marks.
    pText->m_wFlags = pBlock->m_wFlags;
    return pText;
}

void PutLaidText(CDrawObj* pObj, const std::shared_ptr<const CTextBlock>& pText)
{
    CTextBlock* pBlock = pText != nullptr && pObj->m_bBlockText ? pObj->GetTextBlock() : nullptr;
    if (pBlock == nullptr)
        return;
    pBlock->CopyFrom(*pText);
    pBlock->m_wFlags = pText->m_wFlags;
}

// ---- Whole objects through the archive

std::string Snapshot(CDrawDoc* pDoc, CDrawObj* pObj)
{
    CMemFile file;
    try {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = pDoc;
        ar.WriteObject(pObj);
        ar.Close();
    } catch (CException* e) {
        // What cannot be written cannot be brought back: the step keeps
        // nothing for it.
        e->Delete();
        return {};
    }
    const DWORD nLength = file.GetLength();
    BYTE* pBytes = file.Detach();
    std::string bytes(reinterpret_cast<const char*>(pBytes), nLength);
    free(pBytes);
    return bytes;
}

CDrawObj* Rebuild(CDrawDoc* pDoc, const std::string& bytes, DWORD nSerial)
{
    if (bytes.empty())
        return nullptr;
    std::string copy = bytes;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CDrawObj* pObj = nullptr;
    try {
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = pDoc;
        ar.SetAllowedClasses({RUNTIME_CLASS(CDrawObj), RUNTIME_CLASS(CDrawRect), RUNTIME_CLASS(CDrawPoly)});
        pObj = static_cast<CDrawObj*>(ar.ReadObject(RUNTIME_CLASS(CDrawObj)));
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        delete pObj;
        return nullptr;
    }
    if (pObj != nullptr)
        pObj->m_nSerial = nSerial;
    return pObj;
}

// Every object's place in the current view's list, counted from the
// bottom.
std::unordered_map<const CObject*, int> ListIndexes(CDrawDoc* pDoc)
{
    std::unordered_map<const CObject*, int> indexes;
    if (CSurface* pView = CurrentView(pDoc)) {
        int nIndex = 0;
        for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != nullptr; ++nIndex)
            indexes.emplace(pView->GetObjects().GetNext(pos), nIndex);
    }
    return indexes;
}

int IndexIn(const std::unordered_map<const CObject*, int>& indexes, const CObject* pObj)
{
    const auto it = indexes.find(pObj);
    return it != indexes.end() ? it->second : -1;
}

// The list as it is after putting each object in turn at its place
// (before the element there, at the tail when the list is shorter), the
// places ascending: found in one pass, whatever the number of objects.
// The objects are on the list already, where Add put them.
void PutAtPlaces(CObList& list, const std::vector<std::pair<CDrawObj*, int>>& placed)
{
    std::unordered_map<const CObject*, int> moving;
    for (const auto& [pObj, nIndex] : placed)
        moving.emplace(pObj, nIndex);
    std::vector<CObject*> staying;
    staying.reserve(static_cast<size_t>(list.GetCount()));
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CObject* pObject = list.GetNext(pos);
        if (moving.find(pObject) == moving.end())
            staying.push_back(pObject);
    }
    std::vector<CObject*> result;
    result.reserve(staying.size() + placed.size());
    size_t nNext = 0;
    for (const auto& [pObj, nIndex] : placed) {
        const size_t nAt = static_cast<size_t>(nIndex);
        while (result.size() < nAt && nNext < staying.size())
            result.push_back(staying[nNext++]);
        // Only objects given the same place sit beyond it: the later one
        // goes before them, as it would put in turn.
        result.insert(result.begin() + static_cast<std::ptrdiff_t>(std::min(nAt, result.size())), pObj);
    }
    result.insert(result.end(), staying.begin() + static_cast<std::ptrdiff_t>(nNext), staying.end());
    list.RemoveAll();
    for (CObject* pObject : result)
        list.AddTail(pObject);
}

// Puts rebuilt objects (in ascending places, those of unknown place, -1,
// last) back on the current view, each at its place in the view's list
// when that is known, so that it comes back in the layer it left whatever
// the stacking commands did meanwhile, and selects them with their groups.
// The view brings its extent up to date and repaints once for all of them.
void RestoreObjects(CDrawDoc* pDoc, const std::vector<std::pair<CDrawObj*, int>>& objects)
{
    CSurface* pView = CurrentView(pDoc);
    if (pView == nullptr) {
        for (const auto& entry : objects)
            delete entry.first;
        return;
    }
    std::vector<std::pair<CDrawObj*, int>> placed;
    std::vector<CDrawObj*> restored;
    {
        CSurface::CAddBatch batch(pView);
        for (const auto& [pObj, nIndex] : objects) {
            if (pObj == nullptr || !pDoc->AddObject(pObj, pView))
                continue;
            restored.push_back(pObj);
            if (nIndex >= 0)
                placed.emplace_back(pObj, nIndex);
        }
        if (!placed.empty()) {
            // Those without a place stay where Add put them, at either end.
            CObList& list = pView->GetObjects();
            std::vector<CObject*> head;
            std::vector<CObject*> tail;
            std::unordered_map<const CObject*, int> unplaced;
            for (CDrawObj* pObj : restored)
                unplaced.emplace(pObj, 0);
            for (const auto& entry : placed)
                unplaced.erase(entry.first);
            if (!unplaced.empty()) {
                BOOL bHead = TRUE;
                for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
                    const POSITION posThis = pos;
                    CObject* pObject = list.GetNext(pos);
                    if (unplaced.find(pObject) == unplaced.end()) {
                        bHead = FALSE;
                        continue;
                    }
                    (bHead ? head : tail).push_back(pObject);
                    list.RemoveAt(posThis);
                }
            }
            PutAtPlaces(list, placed);
            for (auto it = head.rbegin(); it != head.rend(); ++it)
                list.AddHead(*it);
            for (CObject* pObject : tail)
                list.AddTail(pObject);
        }
    }
    // Each object selected in turn, the first alone, and with it the other
    // members of its group that can be selected.
    std::unordered_map<WORD, std::vector<CDrawObj*>> groups;
    for (CDrawObj* pObj : restored) {
        if (pObj->m_wObjectWord != 0)
            groups.emplace(pObj->m_wObjectWord, std::vector<CDrawObj*>());
    }
    if (!groups.empty()) {
        const CObList& list = pView->GetObjects();
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
            auto* pObj = dynamic_cast<CDrawObj*>(list.GetNext(pos));
            if (pObj == nullptr || (pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE) != 0)
                continue;
            const auto it = groups.find(pObj->m_wObjectWord);
            if (it != groups.end())
                it->second.push_back(pObj);
        }
    }
    std::vector<CDrawObj*> selection;
    std::unordered_map<const CDrawObj*, int> chosen;
    for (CDrawObj* pObj : restored) {
        if ((pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE) != 0 || !chosen.emplace(pObj, 0).second)
            continue;
        selection.push_back(pObj);
        const auto it = pObj->m_wObjectWord != 0 ? groups.find(pObj->m_wObjectWord) : groups.end();
        if (it == groups.end())
            continue;
        for (CDrawObj* pOther : it->second) {
            if (chosen.emplace(pOther, 0).second)
                selection.push_back(pOther);
        }
    }
    pView->Select(nullptr, FALSE);
    pView->SelectObjects(selection, TRUE);
}

// Takes the object off its view and deletes it. With pKeep, its picture is
// kept there rather than deleted with it.
void Discard(CDrawDoc* pDoc, CDrawObj* pObj, std::unique_ptr<CImage>* pKeep = nullptr)
{
    pObj->Invalidate();
    if (CSurface* pView = CurrentView(pDoc))
        pView->Remove(pObj, TRUE);
    if (pKeep != nullptr) {
        pKeep->reset(pObj->m_pPicture);
        pObj->m_pPicture = nullptr;
    }
    delete pObj;
}

// Gives a rebuilt object the very picture it had when it left, in place of
// the one read back from its record: a picture read again is decoded and
// rebuilt afresh (a linked file at its own size, an embedded one from its
// stored form, on new engine handles), which is not always what was there.
void GiveBackPicture(CDrawObj* pObj, std::unique_ptr<CImage>& kept)
{
    if (pObj == nullptr || kept == nullptr)
        return;
    if (pObj->m_pPicture != nullptr)
        kept->m_pView = pObj->m_pPicture->m_pView;
    delete pObj->m_pPicture;
    pObj->m_pPicture = kept.release();
}

std::vector<DWORD> IdsOf(const CObList* pObjects)
{
    std::vector<DWORD> ids;
    if (pObjects == nullptr)
        return ids;
    for (POSITION pos = pObjects->GetHeadPosition(); pos != nullptr;) {
        if (auto* pObj = dynamic_cast<CDrawObj*>(pObjects->GetNext(pos)))
            ids.push_back(pObj->m_nSerial);
    }
    return ids;
}

template <typename Fn>
void ForEachObject(const CObList* pObjects, Fn&& fn)
{
    if (pObjects == nullptr)
        return;
    for (POSITION pos = pObjects->GetHeadPosition(); pos != nullptr;) {
        if (auto* pObj = dynamic_cast<CDrawObj*>(pObjects->GetNext(pos)))
            fn(pObj);
    }
}

void Select(CDrawDoc* pDoc, CDrawObj* pObj, BOOL bAdd)
{
    if (CSurface* pView = CurrentView(pDoc))
        pView->Select(pObj, bAdd);
}

void UpdateMoved(CDrawDoc* pDoc)
{
    pDoc->UpdateAllViews(nullptr, CSurface::HintExtent, CurrentView(pDoc));
}

// Finds a step's objects by serial number in one pass over the view's list,
// and selects the ones found with one update at the end.
class CStepObjects {
public:
    explicit CStepObjects(CDrawDoc* pDoc)
        : m_pView(CurrentView(pDoc))
    {
    }
    CSurface* View() const { return m_pView; }
    CDrawObj* Find(DWORD nId)
    {
        if (m_pView == nullptr)
            return nullptr;
        if (!m_bIndexed) {
            const CObList& objects = m_pView->GetObjects();
            m_index.reserve(static_cast<size_t>(objects.GetCount()));
            for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
                auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
                m_index.emplace_back(pObj->m_nSerial, pObj);
            }
            std::sort(m_index.begin(), m_index.end(),
                [](const auto& a, const auto& b) { return a.first < b.first; });
            m_bIndexed = TRUE;
        }
        const auto it = std::lower_bound(m_index.begin(), m_index.end(), nId,
            [](const auto& entry, DWORD n) { return entry.first < n; });
        return it != m_index.end() && it->first == nId ? it->second : nullptr;
    }
    void Select(CDrawObj* pObj) { m_selected.push_back(pObj); }
    // The first alone and the others added, or all added to what was
    // selected.
    void Commit(BOOL bAdd = FALSE)
    {
        if (m_pView != nullptr && !m_selected.empty())
            m_pView->SelectObjects(m_selected, bAdd);
    }

private:
    CSurface* m_pView;
    std::vector<std::pair<DWORD, CDrawObj*>> m_index; // by serial number
    BOOL m_bIndexed = FALSE;
    std::vector<CDrawObj*> m_selected;
};

// Moves an object by an offset as an undo step moves it.
void MoveBy(CDrawObj* pObj, CSize offset, CSurface* pView)
{
    pObj->m_wFlags |= kFlagUndoing;
    CRect position = pObj->m_position;
    position.OffsetRect(offset);
    CRect unrotated = pObj->m_rectUnrotated;
    unrotated.OffsetRect(offset);
    pObj->MoveTo(position, pView, -1, &unrotated);
    pObj->m_wFlags &= ~kFlagUndoing;
}

// Sets an object's rectangles as a sizing step left them.
void SetRects(CDrawObj* pObj, const CRect& position, const CRect& unrotated, CSurface* pView)
{
    pObj->m_wFlags |= kFlagUndoing;
    pObj->MoveTo(position, pView, -1, &unrotated);
    pObj->m_rectUnrotated = unrotated;
    pObj->m_wFlags &= ~kFlagUndoing;
}

// Swaps the object's picture with the stored copy (none on either side
// is a picture too).
void SwapPicture(CDrawObj* pObj, std::unique_ptr<CImage>& stored)
{
    CImage* pPresent = pObj->m_pPicture;
    pObj->m_pPicture = stored.release();
    stored.reset(pPresent);
}

std::unique_ptr<CImage> CopyPicture(const CImage* pPicture)
{
    if (pPicture == nullptr)
        return nullptr;
    auto pCopy = std::make_unique<CImage>();
    pCopy->Copy(*pPicture);
    return pCopy;
}

// ---- Picture frames

// A copy of a picture that draws, stores and turns as the original does:
// Copy leaves out what only drawing and storing read, which a step that
// hands the copy to the object in the original's place must carry over.
std::unique_ptr<CImage> ClonePicture(const CImage& picture)
{
    auto pClone = std::make_unique<CImage>();
    pClone->Copy(picture);
    pClone->m_wFlags = picture.m_wFlags;
    pClone->m_crTransparent = picture.m_crTransparent;
    pClone->m_nPaletteValue = picture.m_nPaletteValue;
    pClone->m_nFileBitsPerPixel = picture.m_nFileBitsPerPixel;
    std::copy(std::begin(picture.m_corners), std::end(picture.m_corners), std::begin(pClone->m_corners));
    pClone->m_nValue1 = picture.m_nValue1;
    pClone->m_nValue2 = picture.m_nValue2;
    pClone->m_rectClip = picture.m_rectClip;
    pClone->m_sizeDisplay = picture.m_sizeDisplay;
    pClone->m_nPlainPaint = picture.m_nPlainPaint;
    pClone->m_nOneShot1 = picture.m_nOneShot1;
    pClone->m_nOneShot2 = picture.m_nOneShot2;
    pClone->m_nTileOverride = picture.m_nTileOverride;
    pClone->m_nForceReverse = picture.m_nForceReverse;
    pClone->m_pView = picture.m_pView;
    return pClone;
}

// What a frame step changes on a picture object: the frame (rectangles,
// angle, markers, mirrors, crop) and, for a turn, the picture itself, whose
// pixels a turn rebuilds and whose unaltered raster it reshapes to the
// frame. A picture is kept as the very object it was, so that its rasters,
// engine handles and stored bytes come back unchanged; the object goes on
// with a copy. A frame is put back whole rather than worked out again from
// the rectangles: a cropped picture's whole-picture rectangle and a frame
// fitted to its picture's proportions do not come back exactly by sizing.
class CPictureFrame {
public:
    enum class Picture { Keep, Leave };

    // The object's frame, or pBefore (what the press of a drag found) when
    // given; with Picture::Keep the object's picture moves into the step and
    // the object takes a copy of it.
    CPictureFrame(CDrawObj* pObj, const ObjectFrame* pBefore, Picture picture)
        : m_frame(pBefore != nullptr ? *pBefore : GetObjectFrame(pObj))
    {
        if (picture == Picture::Keep && pObj->m_pPicture != nullptr) {
            m_pPicture.reset(pObj->m_pPicture);
            pObj->m_pPicture = ClonePicture(*m_pPicture).release();
            m_bPicture = TRUE;
        }
    }

    // Puts the kept frame (and picture) on the object and keeps the
    // object's.
    void Swap(CDrawObj* pObj)
    {
        const ObjectFrame present = GetObjectFrame(pObj);
        // The picture first: the frame's picture values (display size,
        // cropped mark) belong to the picture that comes back.
        if (m_bPicture) {
            CImage* pPresent = pObj->m_pPicture;
            pObj->m_pPicture = m_pPicture.release();
            m_pPicture.reset(pPresent);
        }
        SetObjectFrame(pObj, m_frame);
        m_frame = present;
    }

private:
    ObjectFrame m_frame;
    std::unique_ptr<CImage> m_pPicture;
    BOOL m_bPicture = FALSE;
};

// ---- The records

class CUndoStep : public CUndoRecord {
protected:
    CUndoStep(CDrawDoc* pDoc, UINT nLabelId)
        : CUndoRecord(nLabelId)
    {
        m_nSurface = pDoc->GetSurfaceView(-1) != nullptr ? pDoc->GetCurrentSurfaceNumber() : -1;
    }
    // The surface the step was recorded on becomes current.
    void Begin(CDrawDoc* pDoc) const
    {
        if (m_nSurface >= 0 && m_nSurface != pDoc->GetCurrentSurfaceIndex())
            pDoc->SetCurrentSurface(m_nSurface);
    }
    BOOL Done()
    {
        m_bUndone = !m_bUndone;
        return TRUE;
    }
};

// Creation and duplication: the objects go on undo and come back on redo.
class CUndoCreateRecord : public CUndoStep {
public:
    struct Saved {
        DWORD nId;
        std::string bytes;
        // The object's place in the list while it was there; -1 unknown.
        int nIndex = -1;
        // The object's own picture while the object is away.
        std::unique_ptr<CImage> pPicture;
    };
    // Each object's place before any of them leaves.
    static void NoteIndexes(CDrawDoc* pDoc, std::vector<Saved>& objects)
    {
        const auto indexes = ListIndexes(pDoc);
        CStepObjects step(pDoc);
        for (Saved& saved : objects) {
            if (CDrawObj* pObj = step.Find(saved.nId))
                saved.nIndex = IndexIn(indexes, pObj);
        }
    }
    // Back in ascending places, each then lands where it was.
    static void RestoreAll(CDrawDoc* pDoc, std::vector<Saved>& objects)
    {
        std::vector<Saved*> order;
        for (Saved& saved : objects)
            order.push_back(&saved);
        std::stable_sort(order.begin(), order.end(), [](const Saved* a, const Saved* b) {
            return static_cast<unsigned>(a->nIndex) < static_cast<unsigned>(b->nIndex);
        });
        if (CurrentView(pDoc) == nullptr)
            return;
        std::vector<std::pair<CDrawObj*, int>> rebuilt;
        rebuilt.reserve(order.size());
        for (Saved* pSaved : order) {
            CDrawObj* pObj = Rebuild(pDoc, pSaved->bytes, pSaved->nId);
            GiveBackPicture(pObj, pSaved->pPicture);
            if (pObj != nullptr)
                rebuilt.emplace_back(pObj, pSaved->nIndex);
        }
        RestoreObjects(pDoc, rebuilt);
    }
    // Takes the object away, keeping its record for its return and its
    // picture itself.
    static void TakeAway(CDrawDoc* pDoc, CDrawObj* pObj, Saved& saved)
    {
        saved.bytes = Snapshot(pDoc, pObj);
        Discard(pDoc, pObj, saved.bytes.empty() ? nullptr : &saved.pPicture);
    }
    CUndoCreateRecord(CDrawDoc* pDoc, UINT nLabelId, std::vector<Saved> objects)
        : CUndoStep(pDoc, nLabelId)
        , m_objects(std::move(objects))
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        BOOL bFound = FALSE;
        if (!m_bUndone) {
            NoteIndexes(pDoc, m_objects);
            CStepObjects step(pDoc);
            for (Saved& saved : m_objects) {
                CDrawObj* pObj = step.Find(saved.nId);
                if (pObj == nullptr)
                    continue;
                bFound = TRUE;
                // The object as it is now comes back on redo.
                TakeAway(pDoc, pObj, saved);
            }
        } else {
            RestoreAll(pDoc, m_objects);
            bFound = TRUE;
        }
        Done();
        return bFound;
    }

private:
    std::vector<Saved> m_objects;
};

class CUndoDeleteRecord : public CUndoStep {
public:
    CUndoDeleteRecord(CDrawDoc* pDoc, std::vector<CUndoCreateRecord::Saved> objects)
        : CUndoStep(pDoc, IDS_UNDO_DELETE)
        , m_objects(std::move(objects))
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        Begin(pDoc);
        if (!bRedo) {
            CUndoCreateRecord::RestoreAll(pDoc, m_objects);
        } else {
            CUndoCreateRecord::NoteIndexes(pDoc, m_objects);
            CStepObjects step(pDoc);
            for (auto& saved : m_objects) {
                if (CDrawObj* pObj = step.Find(saved.nId))
                    CUndoCreateRecord::TakeAway(pDoc, pObj, saved);
            }
        }
        return Done();
    }

private:
    std::vector<CUndoCreateRecord::Saved> m_objects;
};

// Objects moved each by its own offset (a move gives all the same one).
class CUndoMoveRecord : public CUndoStep {
public:
    CUndoMoveRecord(CDrawDoc* pDoc, UINT nLabelId, std::vector<std::pair<DWORD, CSize>> moves)
        : CUndoStep(pDoc, nLabelId)
        , m_moves(std::move(moves))
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        CStepObjects step(pDoc);
        for (auto& [nId, offset] : m_moves) {
            // Undo moves back; the offset then points the other way.
            const CSize back(-offset.cx, -offset.cy);
            if (CDrawObj* pObj = step.Find(nId)) {
                MoveBy(pObj, back, step.View());
                step.Select(pObj);
            }
            offset = back;
        }
        step.Commit();
        UpdateMoved(pDoc);
        return Done();
    }

private:
    std::vector<std::pair<DWORD, CSize>> m_moves;
};

struct SavedRects {
    DWORD nId;
    CRect position;
    CRect unrotated;
};

// Sizing and scaling: each object's rectangles swap with the stored ones.
class CUndoResizeRecord : public CUndoStep {
public:
    CUndoResizeRecord(CDrawDoc* pDoc, UINT nLabelId, std::vector<SavedRects> rects, BOOL bScale)
        : CUndoStep(pDoc, nLabelId)
        , m_rects(std::move(rects))
        , m_bScale(bScale)
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        CStepObjects step(pDoc);
        for (SavedRects& saved : m_rects) {
            CDrawObj* pObj = step.Find(saved.nId);
            if (pObj == nullptr || (m_bScale && (pObj->m_wFlags & OBJ_FLAG_LOCKED)))
                continue;
            const SavedRects present{saved.nId, pObj->m_position, pObj->m_rectUnrotated};
            SetRects(pObj, saved.position, saved.unrotated, step.View());
            saved = present;
            step.Select(pObj);
        }
        step.Commit();
        UpdateMoved(pDoc);
        return Done();
    }

private:
    std::vector<SavedRects> m_rects;
    BOOL m_bScale;
};

// Sizing a selection: each object goes between its stored rectangle and
// the one it keeps beside its position (its saved rectangle).
class CUndoResizeSelectionRecord : public CUndoStep {
public:
    CUndoResizeSelectionRecord(CDrawDoc* pDoc, UINT nLabelId, std::vector<std::pair<DWORD, CRect>> rects)
        : CUndoStep(pDoc, nLabelId)
        , m_rects(std::move(rects))
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        Begin(pDoc);
        CStepObjects step(pDoc);
        CSurface* pView = step.View();
        for (auto& [nId, rect] : m_rects) {
            CDrawObj* pObj = step.Find(nId);
            if (pObj == nullptr)
                continue;
            // The record keeps the other rectangle itself: kept in the
            // object, it was overwritten by later steps of the same objects
            // (and spoiled a cropped picture's whole-picture rectangle).
            (void)bRedo;
            const CRect target = rect;
            rect = pObj->m_position;
            const WORD wSized = pObj->m_wFlags & kFlagSizedToPicture;
            pObj->m_wFlags = static_cast<WORD>((pObj->m_wFlags | kFlagUndoing) & ~kFlagSizedToPicture);
            pObj->MoveTo(target, pView);
            pObj->m_wFlags = static_cast<WORD>((pObj->m_wFlags & ~kFlagUndoing & ~kFlagSizedToPicture) | wSized);
            step.Select(pObj);
        }
        step.Commit();
        UpdateMoved(pDoc);
        return Done();
    }

private:
    std::vector<std::pair<DWORD, CRect>> m_rects;
};

class CUndoCropRecord : public CUndoStep {
public:
    CUndoCropRecord(CDrawDoc* pDoc, DWORD nId, const PictureCropState& state)
        : CUndoStep(pDoc, IDS_UNDO_CROP)
        , m_nId(nId)
        , m_state(state)
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        if (CDrawObj* pObj = pDoc->FindObjectById(m_nId)) {
            // Each run puts the kept state back and keeps the one it
            // replaced for the run the other way.
            const PictureCropState now = GetPictureCropState(pObj);
            pObj->Invalidate();
            pObj->m_position = m_state.position;
            pObj->m_rectUnrotated = m_state.unrotated;
            pObj->m_rectUncropped = m_state.uncropped;
            pObj->SetPictureCropped(m_state.bCropped, FALSE);
            pObj->m_dCropLeft = m_state.crop[0];
            pObj->m_dCropTop = m_state.crop[1];
            pObj->m_dCropWidth = m_state.crop[2];
            pObj->m_dCropHeight = m_state.crop[3];
            pObj->FreeRenderCache();
            pObj->Invalidate();
            m_state = now;
            Select(pDoc, pObj, FALSE);
        }
        UpdateMoved(pDoc);
        return Done();
    }

private:
    DWORD m_nId;
    PictureCropState m_state;
};

class CUndoGroupRecord : public CUndoStep {
public:
    CUndoGroupRecord(CDrawDoc* pDoc, WORD wNewGroup, std::vector<std::pair<DWORD, WORD>> previous)
        : CUndoStep(pDoc, wNewGroup != 0 ? IDS_UNDO_GROUP : IDS_UNDO_UNGROUP)
        , m_wNewGroup(wNewGroup)
        , m_previous(std::move(previous))
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        // Undoing puts the old numbers back; redoing forms the group again.
        const BOOL bUndo = !m_bUndone;
        CStepObjects step(pDoc);
        for (const auto& [nId, wPrevious] : m_previous) {
            CDrawObj* pObj = step.Find(nId);
            if (pObj == nullptr)
                continue;
            pObj->m_wObjectWord = bUndo ? wPrevious : m_wNewGroup;
            pObj->Invalidate();
            if (!bUndo && m_wNewGroup != 0)
                step.Select(pObj);
        }
        step.Commit(TRUE);
        return Done();
    }

private:
    WORD m_wNewGroup;
    std::vector<std::pair<DWORD, WORD>> m_previous;
};

// Mirroring objects: undo and redo mirror them the same way again, which
// brings back their rectangles, their flip state and a cropped picture's
// place together.
class CUndoFlipRecord : public CUndoStep {
public:
    CUndoFlipRecord(CDrawDoc* pDoc, std::vector<DWORD> ids, BOOL bHorizontal, BOOL bVertical)
        : CUndoStep(pDoc, IDS_UNDO_FLIP)
        , m_ids(std::move(ids))
        , m_bHorizontal(bHorizontal)
        , m_bVertical(bVertical)
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        CStepObjects step(pDoc);
        for (DWORD nId : m_ids) {
            if (CDrawObj* pObj = step.Find(nId)) {
                pObj->Invalidate();
                pObj->Flip(m_bHorizontal, m_bVertical);
                pObj->FreeTextCache();
                pObj->FreeRenderCache();
                pObj->Invalidate();
                step.Select(pObj);
            }
        }
        step.Commit();
        return Done();
    }

private:
    std::vector<DWORD> m_ids;
    BOOL m_bHorizontal;
    BOOL m_bVertical;
};

class CUndoLockRecord : public CUndoStep {
public:
    CUndoLockRecord(CDrawDoc* pDoc, std::vector<DWORD> ids)
        : CUndoStep(pDoc, IDS_UNDO_LOCK)
        , m_ids(std::move(ids))
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        CStepObjects step(pDoc);
        for (DWORD nId : m_ids) {
            if (CDrawObj* pObj = step.Find(nId)) {
                pObj->m_wFlags ^= OBJ_FLAG_LOCKED;
                pObj->Invalidate();
                step.Select(pObj);
            }
        }
        step.Commit();
        return Done();
    }

private:
    std::vector<DWORD> m_ids;
};

// Properties, picture effects and edits in dialogs: the attribute record
// and the picture swap with the stored ones.
class CUndoAttributesRecord : public CUndoStep {
public:
    // How the step keeps the object's picture: not at all, as a copy, or
    // the picture itself (the object going on with a copy), which is the
    // only way its stored bytes come back unchanged.
    enum class Picture { None, Copy, Keep };

    CUndoAttributesRecord(CDrawDoc* pDoc, UINT nLabelId, CDrawObj* pObj, const CObjectAttributes* pBefore,
        BOOL bPicture, BOOL bRotation)
        : CUndoAttributesRecord(pDoc, nLabelId, pObj, pBefore, bPicture ? Picture::Copy : Picture::None, bRotation)
    {
    }
    CUndoAttributesRecord(CDrawDoc* pDoc, UINT nLabelId, CDrawObj* pObj, const CObjectAttributes* pBefore,
        Picture picture, BOOL bRotation, const ObjectFrame* pFrame = nullptr)
        : CUndoStep(pDoc, nLabelId)
        , m_nId(pObj->m_nSerial)
        , m_bPicture(picture != Picture::None)
        , m_bRotation(bRotation)
    {
        if (pBefore != nullptr)
            CopyAttributes(*pBefore, m_attrs, CellCopyFreeTarget);
        else
            pObj->GetAttributes(m_attrs);
        if (picture == Picture::Copy) {
            m_pPicture = CopyPicture(pObj->m_pPicture);
        } else if (picture == Picture::Keep && pObj->m_pPicture != nullptr) {
            m_pPicture.reset(pObj->m_pPicture);
            pObj->m_pPicture = ClonePicture(*m_pPicture).release();
        }
        if (pFrame != nullptr)
            m_pFrame = std::make_unique<ObjectFrame>(*pFrame);
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        if (CDrawObj* pObj = pDoc->FindObjectById(m_nId)) {
            pObj->Invalidate();
            const ObjectFrame present = m_pFrame != nullptr ? GetObjectFrame(pObj) : ObjectFrame();
            // What the object has now is read before its picture goes:
            // the record kept for the other way must describe the picture
            // that goes with it (its line colour, its flags).
            CObjectAttributes attrsPresent;
            pObj->GetAttributes(attrsPresent);
            if (m_bPicture)
                SwapPicture(pObj, m_pPicture);
            const double dAngleBefore = pObj->m_dAngle;
            pObj->SetAttributes(m_attrs, TRUE, FALSE, TRUE, FALSE, FALSE);
            CopyAttributes(attrsPresent, m_attrs, CellCopyFreeTarget);
            if (m_bRotation) {
                // A whole turn is no turn; an unturned object shows its
                // unrotated rectangle.
                double dAngle = pObj->m_dAngle;
                if (dAngle == 360.0)
                    dAngle = 0.0;
                pObj->SetAngle(dAngle);
                if (dAngle == 0.0) {
                    pObj->m_position = pObj->m_rectUnrotated;
                } else if (dAngle != dAngleBefore) {
                    // The attribute record holds no position: a shape
                    // turned to another angle is laid out again as turning
                    // lays it, else it keeps the bounds of its old angle.
                    if (auto* pRect = dynamic_cast<CDrawRect*>(pObj)) {
                        pRect->m_position = pRect->m_rectUnrotated;
                        pRect->RelayOutline();
                    }
                }
            }
            if (m_pFrame != nullptr) {
                // The frame as it was, whole: laying the object out again
                // does not give back the rectangles a press or a drag left.
                pObj->FreeRenderCache();
                pObj->FreeTextCache();
                SetObjectFrame(pObj, *m_pFrame);
                // No drag is under way while a step runs: the marks of the
                // one that made the step go too.
                pObj->m_wFlags = m_pFrame->wFlags;
                *m_pFrame = present;
            }
            pObj->Invalidate();
            Select(pDoc, pObj, FALSE);
        }
        return Done();
    }

private:
    DWORD m_nId;
    CObjectAttributes m_attrs;
    std::unique_ptr<CImage> m_pPicture;
    std::unique_ptr<ObjectFrame> m_pFrame;
    BOOL m_bPicture;
    BOOL m_bRotation;
};

// A picture turned or sized: the object's frame (and, for a turn, its
// picture) swap with the kept ones.
class CUndoPictureFrameRecord : public CUndoStep {
public:
    CUndoPictureFrameRecord(CDrawDoc* pDoc, UINT nLabelId, CDrawObj* pObj, const ObjectFrame* pBefore,
        CPictureFrame::Picture picture)
        : CUndoStep(pDoc, nLabelId)
        , m_nId(pObj->m_nSerial)
        , m_frame(pObj, pBefore, picture)
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        if (CDrawObj* pObj = pDoc->FindObjectById(m_nId)) {
            pObj->Invalidate();
            pObj->FreeRenderCache();
            pObj->FreeTextCache();
            m_frame.Swap(pObj);
            pObj->Invalidate();
            pDoc->SetModifiedFlag(TRUE);
            Select(pDoc, pObj, FALSE);
        }
        UpdateMoved(pDoc);
        return Done();
    }

private:
    DWORD m_nId;
    CPictureFrame m_frame;
};

// Objects sized, scaled or mirrored together: each object's whole frame
// swaps with the kept one, so that a picture's whole-picture rectangle, its
// crop and a frame fitted to its proportions come back exactly, which
// working the change out again from the rectangles does not give.
class CUndoFramesRecord : public CUndoStep {
public:
    struct Kept {
        DWORD nId;
        CPictureFrame frame;
    };
    CUndoFramesRecord(CDrawDoc* pDoc, UINT nLabelId, std::vector<Kept> frames, BOOL bSkipLocked)
        : CUndoStep(pDoc, nLabelId)
        , m_frames(std::move(frames))
        , m_bSkipLocked(bSkipLocked)
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        (void)bRedo;
        Begin(pDoc);
        CStepObjects step(pDoc);
        for (Kept& kept : m_frames) {
            CDrawObj* pObj = step.Find(kept.nId);
            if (pObj == nullptr || (m_bSkipLocked && (pObj->m_wFlags & OBJ_FLAG_LOCKED)))
                continue;
            pObj->Invalidate();
            // The caches go first: the frame brings its laid-out text.
            pObj->FreeRenderCache();
            pObj->FreeTextCache();
            kept.frame.Swap(pObj);
            pObj->Invalidate();
            step.Select(pObj);
        }
        step.Commit();
        pDoc->SetModifiedFlag(TRUE);
        UpdateMoved(pDoc);
        return Done();
    }

private:
    std::vector<Kept> m_frames;
    BOOL m_bSkipLocked;
};

class CUndoTextRemovalRecord : public CUndoStep {
public:
    CUndoTextRemovalRecord(CDrawDoc* pDoc, DWORD nId, const CString& strText, WORD wPosition)
        : CUndoStep(pDoc, IDS_UNDO_TEXT_REMOVAL)
        , m_nId(nId)
        , m_strText(strText)
        , m_wPosition(wPosition)
    {
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        Begin(pDoc);
        CDrawObj* pObj = pDoc->FindObjectById(m_nId);
        CTextBlock* pBlock = pObj != nullptr && pObj->m_bBlockText ? pObj->GetTextBlock() : nullptr;
        if (pBlock != nullptr) {
            // The step is undone and redone where it was made: in the text
            // being edited.
            if (!pObj->IsTextEditActive()) {
                Select(pDoc, pObj, FALSE);
                // Beginning records a step of its own, which must not land
                // in the list while it runs this one.
                CUndoList& list = pDoc->GetUndoList();
                list.Enable(FALSE);
                pObj->BeginTextEdit();
                list.Enable(TRUE);
            }
            // Positions and text count without soft breaks, which the
            // next layout puts back wherever the text then breaks.
            CString strRemoved = m_strText;
            strRemoved.Remove('\r');
            strRemoved.Remove('\f');
            CString strText = pBlock->GetText();
            const int nPosition = std::min<int>(m_wPosition, strText.GetLength());
            if (!bRedo) {
                strText.Insert(nPosition, strRemoved);
                pBlock->SetText(strText);
                const int nEnd = nPosition + strRemoved.GetLength();
                pBlock->SetSel(nEnd, nEnd);
            } else {
                // The removal again, without a step of its own: the list
                // is in the middle of executing this one.
                strText.Delete(nPosition, strRemoved.GetLength());
                pBlock->SetText(strText);
                pBlock->SetSel(nPosition, nPosition);
            }
            pBlock->FreeCache();
            // An object that could not be edited (turned since) is left
            // unlocked; one being edited stays locked as editing keeps it.
            if (!pObj->IsTextEditActive())
                pObj->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
            pDoc->SetModifiedFlag(TRUE);
            pObj->Invalidate();
        }
        return Done();
    }

private:
    DWORD m_nId;
    CString m_strText;
    WORD m_wPosition;
};

// Steps made by one command: undo runs them from the last to the first,
// redo from the first to the last.
class CUndoCompoundRecord : public CUndoRecord {
public:
    explicit CUndoCompoundRecord(std::vector<CUndoRecord*> records)
        : CUndoRecord(0)
        , m_records(std::move(records))
    {
        // The label of the last step: the command's own, where the first
        // may be one that puts frames back behind it.
        m_strLabel = m_records.back()->m_strLabel;
        m_nSurface = m_records.front()->m_nSurface;
    }
    ~CUndoCompoundRecord() override
    {
        for (CUndoRecord* pRecord : m_records) {
            pRecord->m_bDiscard = m_bDiscard;
            delete pRecord;
        }
    }
    BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) override
    {
        BOOL bRan = FALSE;
        if (!m_bUndone) {
            for (auto it = m_records.rbegin(); it != m_records.rend(); ++it)
                bRan |= (*it)->Execute(pDoc, bRedo);
        } else {
            for (CUndoRecord* pRecord : m_records)
                bRan |= pRecord->Execute(pDoc, bRedo);
        }
        m_bUndone = !m_bUndone;
        return bRan;
    }

private:
    std::vector<CUndoRecord*> m_records;
};

CUndoCompound* g_pUndoCompound = nullptr;

// ---- Recording

CUndoList* ListOf(CDrawDoc* pDoc)
{
    return (pDoc == nullptr || g_bUndoRecordingOff) ? nullptr : &pDoc->GetUndoList();
}

void AddRecord(CDrawDoc* pDoc, CUndoRecord* pRecord)
{
    if (!CUndoCompound::Take(pDoc, pRecord))
        pDoc->GetUndoList().Add(&pRecord);
}

void StampGroup(CUndoRecord* pRecord)
{
    if (!g_bUndoGrouping)
        return;
    pRecord->m_nGroup = ++g_nUndoGroupCounter;
    pRecord->m_bGrouped = TRUE;
}

// The objects' ids and places; with bStore their stored forms too (objects
// about to go must be stored now, new ones only when their step is undone).
std::vector<CUndoCreateRecord::Saved> SaveObjects(CDrawDoc* pDoc, const CObList* pObjects, BOOL bStore)
{
    std::vector<CUndoCreateRecord::Saved> saved;
    const auto indexes = ListIndexes(pDoc);
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        if (!pObj->IsOleObject())
            saved.push_back(
                {pObj->m_nSerial, bStore ? Snapshot(pDoc, pObj) : std::string(), IndexIn(indexes, pObj), nullptr});
    });
    return saved;
}

UINT SizeLabel(const CRect& a, const CRect& b)
{
    CRect na = a;
    CRect nb = b;
    na.NormalizeRect();
    nb.NormalizeRect();
    return na == nb ? IDS_UNDO_FLIP : IDS_UNDO_SIZE;
}

// Each object's frame, or the one pFrameOf kept for it (what a press
// found) when it kept one.
std::vector<CUndoFramesRecord::Kept> FramesOf(const CObList* pObjects,
    const ObjectFrame* (*pFrameOf)(const CDrawObj*))
{
    std::vector<CUndoFramesRecord::Kept> frames;
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        const ObjectFrame* pKept = pFrameOf != nullptr ? pFrameOf(pObj) : nullptr;
        frames.push_back({pObj->m_nSerial, CPictureFrame(pObj, pKept, CPictureFrame::Picture::Leave)});
    });
    return frames;
}

} // namespace

void RecordUndoCreate(CDrawDoc* pDoc, CDrawObj** ppObj, UINT nLabelId)
{
    if (ListOf(pDoc) == nullptr || ppObj == nullptr || *ppObj == nullptr || (*ppObj)->IsOleObject())
        return;
    g_bUndoObjectCreated = TRUE;
    // The object is stored only when the step is undone (it is there then,
    // as it stands): storing a large picture at every creation would cost
    // as much as the creation itself.
    std::vector<CUndoCreateRecord::Saved> saved;
    saved.push_back({(*ppObj)->m_nSerial, std::string(), -1, nullptr});
    auto* pRecord =
        new CUndoCreateRecord(pDoc, nLabelId != 0 ? nLabelId : IDS_UNDO_CREATE, std::move(saved));
    StampGroup(pRecord);
    AddRecord(pDoc, pRecord);
}

void RecordUndoDuplicate(CDrawDoc* pDoc, const CObList* pClones)
{
    if (ListOf(pDoc) == nullptr)
        return;
    std::vector<CUndoCreateRecord::Saved> saved = SaveObjects(pDoc, pClones, FALSE);
    if (saved.empty())
        return;
    g_bUndoObjectCreated = TRUE;
    AddRecord(pDoc, new CUndoCreateRecord(pDoc, IDS_UNDO_CREATE, std::move(saved)));
}

void RecordUndoDelete(CDrawDoc* pDoc, const CObList* pObjects)
{
    if (ListOf(pDoc) == nullptr)
        return;
    std::vector<CUndoCreateRecord::Saved> saved = SaveObjects(pDoc, pObjects, TRUE);
    if (saved.empty())
        return;
    // The step keeps each picture itself for Undo; the object, about to be
    // deleted, goes with a copy.
    size_t nNext = 0;
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        if (nNext >= saved.size() || saved[nNext].nId != pObj->m_nSerial || pObj->IsOleObject())
            return;
        CUndoCreateRecord::Saved& entry = saved[nNext++];
        if (pObj->m_pPicture != nullptr && !entry.bytes.empty()) {
            entry.pPicture.reset(pObj->m_pPicture);
            pObj->m_pPicture = ClonePicture(*entry.pPicture).release();
        }
    });
    auto* pRecord = new CUndoDeleteRecord(pDoc, std::move(saved));
    if (g_bUndoGrouping) {
        // The deletion that opens a paste into an object starts the run.
        g_nUndoGroupCounter = 1;
        pRecord->m_nGroup = 1;
        pRecord->m_bGrouped = TRUE;
    }
    AddRecord(pDoc, pRecord);
}

void RecordUndoMove(CDrawDoc* pDoc, const CObList* pObjects, int dx, int dy)
{
    if (ListOf(pDoc) == nullptr || (dx == 0 && dy == 0))
        return;
    std::vector<std::pair<DWORD, CSize>> moves;
    for (DWORD nId : IdsOf(pObjects))
        moves.emplace_back(nId, CSize(dx, dy));
    if (moves.empty())
        return;
    g_bUndoObjectMoved = TRUE;
    auto* pRecord = new CUndoMoveRecord(pDoc, IDS_UNDO_MOVE, std::move(moves));
    StampGroup(pRecord);
    AddRecord(pDoc, pRecord);
}

void RecordUndoResize(CDrawDoc* pDoc, CDrawObj** ppObj, const CRect& rectOld, const CRect* pNew)
{
    (void)pNew;
    if (ListOf(pDoc) == nullptr || ppObj == nullptr || *ppObj == nullptr)
        return;
    CDrawObj* pObj = *ppObj;
    if (pObj->m_position == rectOld)
        return;
    g_bUndoObjectMoved = TRUE;
    // The unrotated rectangle before the change is not known here; it is
    // taken as the old position for an unturned object and kept otherwise.
    const CRect unrotated = pObj->GetRoundedAngle() == 0 ? rectOld : pObj->m_rectUnrotated;
    AddRecord(pDoc, new CUndoResizeRecord(pDoc, SizeLabel(pObj->m_position, rectOld),
                        {{pObj->m_nSerial, rectOld, unrotated}}, FALSE));
}

void RecordUndoResizeSelection(CDrawDoc* pDoc, const CObList* pObjects, const CRect& rectOldFirst)
{
    if (ListOf(pDoc) == nullptr)
        return;
    std::vector<std::pair<DWORD, CRect>> rects;
    CDrawObj* pFirst = nullptr;
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        if (pFirst == nullptr)
            pFirst = pObj;
        rects.emplace_back(pObj->m_nSerial, pObj->m_rectUncropped);
    });
    if (pFirst == nullptr)
        return;
    g_bUndoObjectMoved = TRUE;
    AddRecord(pDoc, new CUndoResizeSelectionRecord(pDoc, SizeLabel(pFirst->m_position, rectOldFirst), std::move(rects)));
}

void RecordUndoScale(CDrawDoc* pDoc, const CObList* pObjects)
{
    if (ListOf(pDoc) != nullptr)
        AddRecord(pDoc, new CUndoFramesRecord(pDoc, IDS_UNDO_SCALE, FramesOf(pObjects, nullptr), TRUE));
}

void RecordUndoSameSize(CDrawDoc* pDoc, const CObList* pObjects)
{
    if (ListOf(pDoc) != nullptr)
        AddRecord(pDoc, new CUndoFramesRecord(pDoc, IDS_UNDO_SAME_SIZE, FramesOf(pObjects, nullptr), TRUE));
}

void RecordUndoSizeSelection(CDrawDoc* pDoc, const CObList* pObjects, const CRect& rectOldFirst,
    const ObjectFrame* (*pFrameAtPress)(const CDrawObj*))
{
    if (ListOf(pDoc) == nullptr)
        return;
    CDrawObj* pFirst = nullptr;
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        if (pFirst == nullptr)
            pFirst = pObj;
    });
    if (pFirst == nullptr)
        return;
    g_bUndoObjectMoved = TRUE;
    AddRecord(pDoc, new CUndoFramesRecord(pDoc, SizeLabel(pFirst->m_position, rectOldFirst),
                        FramesOf(pObjects, pFrameAtPress), FALSE));
}

bool PictureCropState::ShowsSame(const PictureCropState& other) const
{
    return position == other.position && unrotated == other.unrotated && crop[0] == other.crop[0]
        && crop[1] == other.crop[1] && crop[2] == other.crop[2] && crop[3] == other.crop[3];
}

PictureCropState GetPictureCropState(const CDrawObj* pObj)
{
    PictureCropState state;
    state.position = pObj->m_position;
    state.unrotated = pObj->m_rectUnrotated;
    state.uncropped = pObj->m_rectUncropped;
    state.bCropped = pObj->IsPictureCropped();
    state.crop[0] = pObj->m_dCropLeft;
    state.crop[1] = pObj->m_dCropTop;
    state.crop[2] = pObj->m_dCropWidth;
    state.crop[3] = pObj->m_dCropHeight;
    return state;
}

void RecordUndoCrop(CDrawDoc* pDoc, CDrawObj** ppObj, double dLeft, double dTop, double dWidth, double dHeight)
{
    if (ListOf(pDoc) == nullptr || ppObj == nullptr || *ppObj == nullptr)
        return;
    PictureCropState before = GetPictureCropState(*ppObj);
    before.crop[0] = dLeft;
    before.crop[1] = dTop;
    before.crop[2] = dWidth;
    before.crop[3] = dHeight;
    AddRecord(pDoc, new CUndoCropRecord(pDoc, (*ppObj)->m_nSerial, before));
}

void RecordUndoCropState(CDrawDoc* pDoc, CDrawObj* pObj, const PictureCropState& before)
{
    if (ListOf(pDoc) == nullptr || pObj == nullptr || GetPictureCropState(pObj).ShowsSame(before))
        return;
    AddRecord(pDoc, new CUndoCropRecord(pDoc, pObj->m_nSerial, before));
}

void RecordUndoGroup(CDrawDoc* pDoc, const CObList* pObjects, WORD wNewGroup)
{
    if (ListOf(pDoc) == nullptr)
        return;
    std::vector<std::pair<DWORD, WORD>> previous;
    ForEachObject(pObjects, [&](CDrawObj* pObj) { previous.emplace_back(pObj->m_nSerial, pObj->m_wObjectWord); });
    AddRecord(pDoc, new CUndoGroupRecord(pDoc, wNewGroup, std::move(previous)));
}

void RecordUndoAlign(CDrawDoc* pDoc, const CObList* pObjects, int nKind, int nReference, int nExtent)
{
    if (ListOf(pDoc) == nullptr)
        return;
    std::vector<std::pair<DWORD, CSize>> moves;
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        const CRect& r = pObj->m_position;
        CSize offset(0, 0);
        // The alignment's own arithmetic, so that a reversed rectangle and
        // an odd size come back exactly; a locked object does not move.
        switch (nKind) {
        case 0: offset.cx = nReference - std::min(r.left, r.right); break;
        case 1: offset.cy = nReference - std::max(r.top, r.bottom); break;
        case 2: offset.cx = nReference - std::max(r.left, r.right); break;
        case 3: offset.cy = nReference - std::min(r.top, r.bottom); break;
        case 4: offset.cx = nExtent / 2 - (r.right - r.left) / 2 - r.left + nReference; break;
        case 5: offset.cy = nExtent / 2 - (r.bottom - r.top) / 2 - r.top + nReference; break;
        default: break;
        }
        if (pObj->m_wFlags & OBJ_FLAG_LOCKED)
            offset = CSize(0, 0);
        // Executing moves the objects back, so the step stores the way
        // they will have come.
        moves.emplace_back(pObj->m_nSerial, offset);
    });
    AddRecord(pDoc, new CUndoMoveRecord(pDoc, IDS_UNDO_ALIGN, std::move(moves)));
}

void RecordUndoFlip(CDrawDoc* pDoc, const CObList* pObjects, BOOL bHorizontal, BOOL bVertical)
{
    if (ListOf(pDoc) != nullptr && (bHorizontal || bVertical))
        AddRecord(pDoc, new CUndoFlipRecord(pDoc, IdsOf(pObjects), bHorizontal, bVertical));
}

void RecordUndoFlipFrames(CDrawDoc* pDoc, const CObList* pObjects, const std::vector<ObjectFrame>& before)
{
    if (ListOf(pDoc) == nullptr)
        return;
    std::vector<CUndoFramesRecord::Kept> frames;
    size_t n = 0;
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        const ObjectFrame* pBefore = n < before.size() ? &before[n] : nullptr;
        ++n;
        frames.push_back({pObj->m_nSerial, CPictureFrame(pObj, pBefore, CPictureFrame::Picture::Leave)});
    });
    if (!frames.empty())
        AddRecord(pDoc, new CUndoFramesRecord(pDoc, IDS_UNDO_FLIP, std::move(frames), FALSE));
}

void RecordUndoLock(CDrawDoc* pDoc, const CObList* pObjects)
{
    if (ListOf(pDoc) != nullptr)
        AddRecord(pDoc, new CUndoLockRecord(pDoc, IdsOf(pObjects)));
}

void RecordUndoProperties(CDrawDoc* pDoc, CDrawObj* pObj, const CObjectAttributes* pBefore)
{
    if (ListOf(pDoc) != nullptr && pObj != nullptr)
        AddRecord(pDoc, new CUndoAttributesRecord(pDoc, IDS_UNDO_PROPERTIES, pObj, pBefore, pObj->m_pPicture != nullptr, TRUE));
}

void RecordUndoTurn(CDrawDoc* pDoc, CDrawObj* pObj, const CObjectAttributes& before, const ObjectFrame& frame)
{
    if (ListOf(pDoc) == nullptr || pObj == nullptr)
        return;
    using Picture = CUndoAttributesRecord::Picture;
    AddRecord(pDoc, new CUndoAttributesRecord(pDoc, IDS_UNDO_PROPERTIES, pObj, &before,
                        pObj->m_pPicture != nullptr ? Picture::Copy : Picture::None, TRUE, &frame));
}

void RecordUndoPictureChange(CDrawDoc* pDoc, CDrawObj* pObj, const CObjectAttributes* pBefore, UINT nLabelId)
{
    // A suspended list would drop the step: the picture is not handed over
    // for it.
    if (ListOf(pDoc) == nullptr || pObj == nullptr || pDoc->GetUndoList().IsSuspended())
        return;
    const ObjectFrame frame = GetObjectFrame(pObj);
    AddRecord(pDoc, new CUndoAttributesRecord(pDoc, nLabelId, pObj, pBefore, CUndoAttributesRecord::Picture::Keep,
                        TRUE, &frame));
}

void RecordUndoPictureEffect(CDrawDoc* pDoc, CDrawObj* pObj, int nKind)
{
    if (ListOf(pDoc) == nullptr || pObj == nullptr)
        return;
    UINT nLabel = 0;
    switch (nKind) {
    case UndoPictureGrayscale: nLabel = IDS_UNDO_GRAYSCALE; break;
    case UndoPictureEmboss: nLabel = IDS_UNDO_EMBOSS; break;
    case UndoPictureBlur: nLabel = IDS_UNDO_BLUR; break;
    case UndoPictureMosaic: nLabel = IDS_UNDO_MOSAIC; break;
    case UndoPictureLighten: nLabel = IDS_UNDO_LIGHTEN; break;
    case UndoPictureDarken: nLabel = IDS_UNDO_DARKEN; break;
    case UndoPictureInsert: nLabel = IDS_UNDO_PICTURE_INSERT; break;
    case UndoPictureRemove: nLabel = IDS_UNDO_PICTURE_REMOVE; break;
    case UndoPictureRotate: nLabel = IDS_UNDO_PICTURE_ROTATE; break;
    case UndoPictureLineColor: {
        BOOL bOn = FALSE;
        COLORREF cr = 0;
        if (pObj->m_pPicture != nullptr)
            pObj->m_pPicture->GetTransparency(bOn, cr);
        nLabel = bOn ? IDS_UNDO_LINE_COLOR : IDS_UNDO_TRANSPARENT;
        break;
    }
    default: return; // kinds 9, 10 and above 11 are not steps
    }
    // The effect changes the picture in place: the step keeps the picture
    // itself and the object goes on with a copy (a suspended list would
    // drop the step, so the picture is then left where it is).
    const auto picture = pDoc->GetUndoList().IsSuspended() ? CUndoAttributesRecord::Picture::Copy
                                                          : CUndoAttributesRecord::Picture::Keep;
    const ObjectFrame frame = GetObjectFrame(pObj);
    AddRecord(pDoc, new CUndoAttributesRecord(pDoc, nLabel, pObj, nullptr, picture, TRUE, &frame));
}

ObjectFrame GetObjectFrame(const CDrawObj* pObj)
{
    ObjectFrame frame;
    frame.position = pObj->m_position;
    frame.unrotated = pObj->m_rectUnrotated;
    frame.uncropped = pObj->m_rectUncropped;
    frame.rotateRef = pObj->m_rectRotateRef;
    frame.nRotateHandleOffset = pObj->m_nRotateHandleOffset;
    frame.wFlags = pObj->m_wFlags;
    frame.bFlipX = pObj->m_bFlipX;
    frame.bFlipY = pObj->m_bFlipY;
    frame.crop[0] = pObj->m_dCropLeft;
    frame.crop[1] = pObj->m_dCropTop;
    frame.crop[2] = pObj->m_dCropWidth;
    frame.crop[3] = pObj->m_dCropHeight;
    frame.base[0] = pObj->m_dBaseLeft;
    frame.base[1] = pObj->m_dBaseTop;
    frame.base[2] = pObj->m_dBaseWidth;
    frame.base[3] = pObj->m_dBaseHeight;
    frame.dAngle = pObj->m_dAngle;
    frame.nAngle = pObj->m_nAngle;
    std::copy(std::begin(pObj->m_handles), std::end(pObj->m_handles), std::begin(frame.handles));
    if (const auto* pRect = dynamic_cast<const CDrawRect*>(pObj)) {
        frame.nShapeRotation = pRect->m_nRotation;
        const POINT* pCorners = pRect->m_corners.GetData();
        if (pCorners != nullptr)
            frame.outline.assign(pCorners, pCorners + pRect->m_corners.GetCount());
    }
    if (pObj->m_pPicture != nullptr) {
        frame.wPictureFlags = pObj->m_pPicture->m_wFlags;
        frame.pictureDisplay = pObj->m_pPicture->m_sizeDisplay;
    }
    frame.text = LaidTextOf(pObj);
    return frame;
}

BOOL FrameChanged(const CDrawObj* pObj, const ObjectFrame& frame)
{
    const ObjectFrame now = GetObjectFrame(pObj);
    return now.position != frame.position || now.unrotated != frame.unrotated || now.uncropped != frame.uncropped
        || now.dAngle != frame.dAngle || now.nAngle != frame.nAngle || now.nShapeRotation != frame.nShapeRotation
        || now.wFlags != frame.wFlags || now.bFlipX != frame.bFlipX || now.bFlipY != frame.bFlipY;
}

void SetObjectFrame(CDrawObj* pObj, const ObjectFrame& frame)
{
    // The marks of a drag under way are the object's own, not the frame's.
    constexpr WORD kTransient = OBJ_FLAG_SIZING | OBJ_FLAG_DRAGGING;
    pObj->m_position = frame.position;
    pObj->m_rectUnrotated = frame.unrotated;
    pObj->m_rectUncropped = frame.uncropped;
    pObj->m_rectRotateRef = frame.rotateRef;
    pObj->m_nRotateHandleOffset = frame.nRotateHandleOffset;
    pObj->m_wFlags = static_cast<WORD>((frame.wFlags & ~kTransient) | (pObj->m_wFlags & kTransient));
    pObj->m_bFlipX = frame.bFlipX;
    pObj->m_bFlipY = frame.bFlipY;
    pObj->m_dCropLeft = frame.crop[0];
    pObj->m_dCropTop = frame.crop[1];
    pObj->m_dCropWidth = frame.crop[2];
    pObj->m_dCropHeight = frame.crop[3];
    pObj->m_dBaseLeft = frame.base[0];
    pObj->m_dBaseTop = frame.base[1];
    pObj->m_dBaseWidth = frame.base[2];
    pObj->m_dBaseHeight = frame.base[3];
    pObj->m_dAngle = frame.dAngle;
    pObj->m_nAngle = frame.nAngle;
    std::copy(std::begin(frame.handles), std::end(frame.handles), std::begin(pObj->m_handles));
    if (auto* pRect = dynamic_cast<CDrawRect*>(pObj)) {
        pRect->m_nRotation = frame.nShapeRotation;
        // The outline a turned picture is drawn through comes back with the
        // frame it was laid from.
        if (!frame.outline.empty()) {
            pRect->m_corners.SetSize(static_cast<int>(frame.outline.size()));
            std::copy(frame.outline.begin(), frame.outline.end(), pRect->m_corners.GetData());
        }
    }
    // The cropped mark lives on the picture too.
    if (pObj->m_pPicture != nullptr) {
        pObj->m_pPicture->m_wFlags = static_cast<WORD>((pObj->m_pPicture->m_wFlags & ~WORD(IMAGE_FLAG_CROPPED))
            | (frame.wPictureFlags & IMAGE_FLAG_CROPPED));
        // Sizing the object sizes the picture's display with it.
        pObj->m_pPicture->m_sizeDisplay = frame.pictureDisplay;
    }
    PutLaidText(pObj, frame.text);
}

void RecordUndoPictureTurn(CDrawDoc* pDoc, CDrawObj* pObj, const ObjectFrame* pBefore)
{
    // A suspended list would drop the step: the picture is not copied for it.
    if (ListOf(pDoc) == nullptr || pObj == nullptr || pObj->m_pPicture == nullptr || pDoc->GetUndoList().IsSuspended())
        return;
    AddRecord(pDoc,
        new CUndoPictureFrameRecord(pDoc, IDS_UNDO_PICTURE_ROTATE, pObj, pBefore, CPictureFrame::Picture::Keep));
}

void RecordUndoPictureSize(CDrawDoc* pDoc, CDrawObj* pObj, const ObjectFrame& before)
{
    if (ListOf(pDoc) == nullptr || pObj == nullptr || pObj->m_position == before.position)
        return;
    g_bUndoObjectMoved = TRUE;
    AddRecord(pDoc, new CUndoPictureFrameRecord(pDoc, SizeLabel(pObj->m_position, before.position), pObj, &before,
                        CPictureFrame::Picture::Leave));
}

void RecordUndoObjectEdit(CDrawDoc* pDoc, CDrawObj* pObj, UINT nLabelId)
{
    if (ListOf(pDoc) != nullptr && pObj != nullptr)
        AddRecord(pDoc, new CUndoAttributesRecord(pDoc, nLabelId, pObj, nullptr, FALSE, FALSE));
}

void RecordUndoTextRemoval(CDrawDoc* pDoc, CDrawObj* pObj, const CString& strRemoved, WORD wPosition)
{
    if (ListOf(pDoc) != nullptr && pObj != nullptr && !strRemoved.IsEmpty())
        AddRecord(pDoc, new CUndoTextRemovalRecord(pDoc, pObj->m_nSerial, strRemoved, wPosition));
}

CUndoCompound::CUndoCompound(CDrawDoc* pDoc)
    : m_pDoc(pDoc)
{
    if (g_pUndoCompound == nullptr && pDoc != nullptr) {
        g_pUndoCompound = this;
        m_bCollecting = TRUE;
    }
}

CUndoCompound::~CUndoCompound()
{
    if (!m_bCollecting)
        return;
    g_pUndoCompound = nullptr;
    if (m_records.empty())
        return;
    CUndoRecord* pRecord = m_records.size() == 1 ? m_records.front() : new CUndoCompoundRecord(std::move(m_records));
    m_pDoc->GetUndoList().Add(&pRecord);
}

BOOL CUndoCompound::Take(CDrawDoc* pDoc, CUndoRecord* pRecord, BOOL bFirst)
{
    CUndoCompound* pCompound = g_pUndoCompound;
    if (pCompound == nullptr || pCompound->m_pDoc != pDoc || pRecord == nullptr || pDoc->GetUndoList().IsSuspended())
        return FALSE;
    if (bFirst)
        pCompound->m_records.insert(pCompound->m_records.begin(), pRecord);
    else
        pCompound->m_records.push_back(pRecord);
    return TRUE;
}

void RecordUndoTurnFrames(CDrawDoc* pDoc, const CObList* pObjects, const ObjectFrame* (*pFrameAtPress)(const CDrawObj*))
{
    if (ListOf(pDoc) == nullptr || pFrameAtPress == nullptr)
        return;
    std::vector<CUndoFramesRecord::Kept> frames;
    ForEachObject(pObjects, [&](CDrawObj* pObj) {
        const ObjectFrame* pFrame = pFrameAtPress(pObj);
        if (pFrame != nullptr && FrameChanged(pObj, *pFrame))
            frames.push_back({pObj->m_nSerial, CPictureFrame(pObj, pFrame, CPictureFrame::Picture::Leave)});
    });
    if (frames.empty())
        return;
    CUndoRecord* pRecord = new CUndoFramesRecord(pDoc, IDS_UNDO_PROPERTIES, std::move(frames), FALSE);
    // Undone after the turns' own steps, whatever they put back.
    if (!CUndoCompound::Take(pDoc, pRecord, TRUE))
        pDoc->GetUndoList().Add(&pRecord);
}
