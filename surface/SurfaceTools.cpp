// What the mouse tools ask of the view: the object under a point, the one
// selected object, the objects inside a band, duplicates of the selection
// with groups of their own, and the selection put into drawing order.

#include "surface/Surface.h"

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoRecording.h"
#include "platform/base/Arithmetic.h"
#include "platform/framework/Afx.h"
#include "surface/SurfaceTool.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Whether an object's rectangle (edges included, so that a line without
// height or width can be hit) meets a square.
BOOL MeetsSquare(CDrawObj* pObj, const CRect& square)
{
    const CRect r = pObj->GetNormalizedPosition();
    return square.left <= r.right && square.right >= r.left && square.bottom <= r.top && square.top >= r.bottom;
}

BOOL IsSelectable(const CDrawObj* pObj)
{
    return pObj != NULL && !(pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE);
}

// The group numbers objects carry, as a set.
std::vector<bool> UsedGroups(const CObList& objects)
{
    std::vector<bool> used(0x10000, false);
    for (POSITION pos = objects.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(objects.GetNext(pos)))
            used[pObj->m_wObjectWord] = true;
    }
    return used;
}

WORD NextFree(const std::vector<bool>& used, WORD n)
{
    for (unsigned int candidate = static_cast<unsigned int>(n) + 1; candidate <= 0xFFFF; ++candidate) {
        if (!used[candidate])
            return static_cast<WORD>(candidate);
    }
    return 0;
}

} // namespace

BOOL CollectGroupNumbers(const CObList& list, std::vector<WORD>& table)
{
    BOOL bUngrouped = FALSE;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(list.GetNext(pos));
        if (pObj == NULL)
            continue;
        const WORD wGroup = pObj->m_wObjectWord;
        if (wGroup == 0)
            bUngrouped = TRUE;
        else if (std::find(table.begin(), table.end(), wGroup) == table.end())
            table.push_back(wGroup);
    }
    return bUngrouped;
}

CDrawObj* CSurface::HitTestObject(CPoint point)
{
    // A square of five pixels about the point, whatever the zoom.
    const int nSide = std::max(1, ::MulDiv(5, 100, std::max<int>(1, m_nZoom)));
    const int nHalf = nSide / 2;
    const CRect square(point.x - nHalf, point.y + nHalf, point.x - nHalf + nSide, point.y + nHalf - nSide);
    for (POSITION pos = m_objects.GetTailPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetPrev(pos));
        if (IsSelectable(pObj) && MeetsSquare(pObj, square))
            return pObj;
    }
    return NULL;
}

CDrawObj* CSurface::GetSingleSelection() const
{
    return m_selection.GetCount() == 1 ? AsDrawObj(m_selection.GetHead()) : NULL;
}

void CSurface::DeselectAllAndRedraw()
{
    CObList selected;
    selected.AddTail(&m_selection);
    for (POSITION pos = selected.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(selected.GetNext(pos))) {
            Deselect(pObj);
            pObj->Invalidate();
        }
    }
    m_selection.RemoveAll();
    if (m_hWnd != NULL)
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

int CSurface::CountObjectsInRect(const CRect& rect)
{
    int nCount = 0;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (IsSelectable(pObj) && pObj->IsInsideRect(rect))
            ++nCount;
    }
    return nCount;
}

void CSurface::SelectObjectsInRect(const CRect& rect)
{
    std::vector<CDrawObj*> inside;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (IsSelectable(pObj) && pObj->IsInsideRect(rect))
            inside.push_back(pObj);
    }
    SelectObjects(inside, FALSE);
}

WORD CSurface::NextFreeGroupNumber(WORD n)
{
    return NextFree(UsedGroups(m_objects), n);
}

void CSurface::SortInListOrder(CObList& list)
{
    if (list.GetCount() < 2)
        return;
    std::unordered_set<CObject*> members;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        members.insert(list.GetNext(pos));
    std::vector<CObject*> ordered;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CObject* pObject = m_objects.GetNext(pos);
        if (members.erase(pObject) != 0)
            ordered.push_back(pObject);
    }
    if (ordered.empty())
        return;
    // Members not on the surface keep their order at the front.
    const std::unordered_set<CObject*> onSurface(ordered.begin(), ordered.end());
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
        const POSITION posThis = pos;
        if (onSurface.count(list.GetNext(pos)) != 0)
            list.RemoveAt(posThis);
    }
    for (CObject* pObject : ordered)
        list.AddTail(pObject);
}

void CSurface::CloneObjects(CObList* pList)
{
    CObList sorted;
    const BOOL bSelection = pList == NULL;
    if (bSelection) {
        sorted.AddTail(&m_selection);
        SortInListOrder(sorted);
        pList = &sorted;
    }
    if (pList->IsEmpty())
        return;

    // Each group of the list gets a number no object on the surface
    // carries, so the copies form groups of their own.
    std::vector<WORD> groups;
    CollectGroupNumbers(*pList, groups);
    const std::vector<bool> used = UsedGroups(m_objects);
    std::vector<WORD> fresh;
    fresh.reserve(groups.size());
    WORD wLast = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        wLast = wLast == 0 && i > 0 ? 0 : NextFree(used, wLast);
        fresh.push_back(wLast);
    }
    auto freshOf = [&](WORD wGroup) -> WORD {
        for (size_t i = 0; i < groups.size(); ++i) {
            if (groups[i] == wGroup)
                return fresh[i];
        }
        return 0;
    };

    CDrawDoc* pDoc = GetDocument();
    CObList clones;
    // The copies of the selection come onto this view: its extent is
    // brought up to date once, when they are all there.
    CAddBatch batch(bSelection ? this : NULL);
    for (POSITION pos = pList->GetHeadPosition(); pos != NULL;) {
        const POSITION posThis = pos;
        CDrawObj* pObj = AsDrawObj(pList->GetNext(pos));
        if (pObj == NULL)
            continue;
        // Copies of the selection go on this surface; copies of another
        // list belong to its owner.
        CDrawObj* pClone = pObj->Clone(bSelection ? pDoc : NULL, bSelection ? this : NULL);
        if (pClone == NULL)
            continue;
        if (bSelection && pDoc == NULL)
            Add(pClone);
        if (pObj->m_wObjectWord != 0)
            pClone->m_wObjectWord = freshOf(pObj->m_wObjectWord);
        if (bSelection)
            clones.AddTail(pClone);
        else
            pList->SetAt(posThis, pClone);
    }
    if (bSelection) {
        RecordUndoDuplicate(pDoc, &clones);
        EndAllTextEdits();
        std::vector<CDrawObj*> newSelection;
        for (POSITION pos = clones.GetHeadPosition(); pos != NULL;)
            newSelection.push_back(AsDrawObj(clones.GetNext(pos)));
        SelectObjects(newSelection, FALSE);
        pList = &clones;
    }
    // A tenth and a half of an inch right and down, so the copies show.
    const CSelectionLookup lookup(this);
    OffsetObjects(this, *pList, CSize(15, -15));
}
