#include "model/UndoList.h"

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "platform/base/Exception.h"
#include "surface/Surface.h"

namespace {

const char kGroupedLabel[] = "paste into";

} // namespace

CUndoRecord::CUndoRecord(UINT nLabelId)
{
    m_strLabel.LoadString(nLabelId);
}

CUndoRecord::~CUndoRecord() = default;

CUndoList::CUndoList() = default;

CUndoList::~CUndoList()
{
    Clear();
}

void CUndoList::Enable(BOOL bEnable)
{
    if (!bEnable)
        ++m_nSuspend;
    else if (m_nSuspend > 0)
        --m_nSuspend;
}

CUndoRecord* CUndoList::RecordAt(POSITION pos) const
{
    return pos != nullptr ? static_cast<CUndoRecord*>(m_records.GetAt(pos)) : nullptr;
}

BOOL CUndoList::Add(CUndoRecord** ppRecord)
{
    if (ppRecord == nullptr)
        return FALSE;
    CUndoRecord* pRecord = *ppRecord;
    *ppRecord = nullptr;
    if (m_nSuspend > 0) {
        delete pRecord;
        return TRUE;
    }
    if (pRecord == nullptr)
        return FALSE;
    try {
        // The steps that were undone cannot come back after a new one.
        while (!m_records.IsEmpty() && m_records.GetTailPosition() != m_posCurrent)
            delete static_cast<CUndoRecord*>(m_records.RemoveTail());
        m_posCurrent = m_records.AddTail(pRecord);
    } catch (CException* e) {
        e->Delete();
        delete pRecord;
        return FALSE;
    }
    while (m_records.GetCount() > kMaxSteps) {
        const POSITION posHead = m_records.GetHeadPosition();
        if (posHead == m_posCurrent)
            m_posCurrent = nullptr;
        delete static_cast<CUndoRecord*>(m_records.RemoveHead());
    }
    return TRUE;
}

BOOL CUndoList::CanRedo() const
{
    return !m_records.IsEmpty() && m_posCurrent != m_records.GetTailPosition();
}

BOOL CUndoList::Undo(CDrawDoc* pDoc)
{
    if (!CanUndo()) {
        m_bInGroup = FALSE;
        return FALSE;
    }
    CUndoRecord* pRecord = RecordAt(m_posCurrent);
    POSITION posBefore = m_posCurrent;
    m_records.GetPrev(posBefore);
    if (m_bInGroup) {
        if (!pRecord->m_bGrouped || (posBefore != nullptr && pRecord->m_nGroup != m_nGroup - 1)) {
            m_bInGroup = FALSE;
            return FALSE;
        }
        if (posBefore == nullptr)
            m_bInGroup = FALSE;
    } else if (pRecord->m_bGrouped && pRecord->m_nGroup >= 1) {
        m_bInGroup = TRUE;
    }
    if (m_bInGroup)
        m_nGroup = pRecord->m_nGroup;
    m_posCurrent = posBefore;
    try {
        return pRecord->Execute(pDoc, FALSE);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
}

BOOL CUndoList::Redo(CDrawDoc* pDoc)
{
    if (!CanRedo()) {
        m_bInGroup = FALSE;
        return FALSE;
    }
    POSITION posRecord = m_posCurrent;
    if (posRecord == nullptr)
        posRecord = m_records.GetHeadPosition();
    else
        m_records.GetNext(posRecord);
    CUndoRecord* pRecord = RecordAt(posRecord);
    POSITION posAfter = posRecord;
    m_records.GetNext(posAfter);
    if (m_bInGroup) {
        if (!pRecord->m_bGrouped || (posAfter != nullptr && pRecord->m_nGroup != m_nGroup + 1)) {
            m_bInGroup = FALSE;
            return FALSE;
        }
        if (posAfter == nullptr)
            m_bInGroup = FALSE;
    } else if (pRecord->m_bGrouped && pRecord->m_nGroup >= 1) {
        m_bInGroup = TRUE;
    }
    if (m_bInGroup)
        m_nGroup = pRecord->m_nGroup;
    m_posCurrent = posRecord;
    // A step redone while text is edited in place ends that editing first.
    if (pDoc != nullptr) {
        if (CSurface* pView = pDoc->GetSurfaceView(-1)) {
            if (CDrawObj* pObj = pView->GetFirstSelected(); pObj != nullptr && pObj->IsTextEditActive())
                pView->Deselect(pObj);
        }
    }
    return pRecord->Execute(pDoc, TRUE);
}

CString CUndoList::GetUndoLabel() const
{
    const CUndoRecord* pRecord = RecordAt(m_posCurrent);
    if (pRecord == nullptr)
        return CString();
    return pRecord->m_bGrouped ? CString(kGroupedLabel) : pRecord->m_strLabel;
}

CString CUndoList::GetRedoLabel() const
{
    if (!CanRedo())
        return CString();
    POSITION pos = m_posCurrent;
    if (pos == nullptr)
        pos = m_records.GetHeadPosition();
    else
        m_records.GetNext(pos);
    const CUndoRecord* pRecord = RecordAt(pos);
    return pRecord->m_bGrouped ? CString(kGroupedLabel) : pRecord->m_strLabel;
}

void CUndoList::Clear()
{
    while (!m_records.IsEmpty()) {
        auto* pRecord = static_cast<CUndoRecord*>(m_records.RemoveHead());
        pRecord->m_bDiscard = TRUE;
        delete pRecord;
    }
    m_posCurrent = nullptr;
    m_bInGroup = FALSE;
}
