#pragma once
// The undo history of a design: at most eight steps, each a record holding
// the state its step changed. Executing a record swaps that state with the
// objects' present state, so the first execution undoes the step and the
// next redoes it. Records keep objects' serial numbers, never pointers, and
// find them again in the current view when they run; an object that is no
// longer there is skipped.
//
// A run of grouped steps (a paste into an object: a deletion numbered 1,
// then creations and moves numbered 2, 3 ...) is undone and redone by one
// command.

#include "platform/base/ObList.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDrawDoc;

class CUndoRecord : public CObject {
public:
    // The label is string nLabelId of the string table.
    explicit CUndoRecord(UINT nLabelId);
    ~CUndoRecord() override;
    CUndoRecord(const CUndoRecord&) = delete;
    CUndoRecord& operator=(const CUndoRecord&) = delete;

    // Swaps the stored state with the objects'; bRedo is FALSE from Undo
    // and TRUE from Redo. TRUE when it ran.
    virtual BOOL Execute(CDrawDoc* pDoc, BOOL bRedo) = 0;

    CString m_strLabel;
    BOOL m_bUndone = FALSE;
    int m_nSurface = -1;    // the surface current when recorded
    int m_nGroup = 0;       // the step's number within a grouped operation
    BOOL m_bGrouped = FALSE;
    BOOL m_bDiscard = FALSE; // set by CUndoList::Clear before deleting
};

class CUndoList : public CObject {
public:
    static constexpr int kMaxSteps = 8;

    CUndoList();
    ~CUndoList() override;
    CUndoList(const CUndoList&) = delete;
    CUndoList& operator=(const CUndoList&) = delete;

    // FALSE suspends recording (nesting); TRUE ends one suspension, never
    // going below none.
    void Enable(BOOL bEnable);
    BOOL IsSuspended() const { return m_nSuspend > 0; }
    // Takes the record (the caller's pointer becomes null in every case):
    // TRUE when it was stored, or dropped while suspended; FALSE for no
    // record or a failed insertion. The steps after the current one go,
    // and the oldest beyond eight.
    BOOL Add(CUndoRecord** ppRecord);
    BOOL CanUndo() const { return m_posCurrent != nullptr; }
    BOOL CanRedo() const;
    // One step each; the record's answer, FALSE when nothing was done.
    BOOL Undo(CDrawDoc* pDoc);
    BOOL Redo(CDrawDoc* pDoc);
    // Whether the last Undo or Redo left the list inside a grouped run.
    BOOL IsInGroup() const { return m_bInGroup; }
    // The label of the step Undo (Redo) would run, "paste into" for a
    // grouped step, empty when there is none.
    CString GetUndoLabel() const;
    CString GetRedoLabel() const;
    // Deletes every step.
    void Clear();
    int GetCount() const { return static_cast<int>(m_records.GetCount()); }

private:
    CUndoRecord* RecordAt(POSITION pos) const;

    CObList m_records{10}; // oldest first; owned
    POSITION m_posCurrent = nullptr;
    int m_nSuspend = 0;
    BOOL m_bInGroup = FALSE;
    int m_nGroup = 0;
};

// Suspends a list's recording for its own lifetime, resuming it however the
// scope is left (exceptions too). A NULL list is left alone.
class CUndoSuspension {
public:
    explicit CUndoSuspension(CUndoList* pList)
        : m_pList(pList)
    {
        if (m_pList != nullptr)
            m_pList->Enable(FALSE);
    }
    ~CUndoSuspension()
    {
        if (m_pList != nullptr)
            m_pList->Enable(TRUE);
    }
    CUndoSuspension(const CUndoSuspension&) = delete;
    CUndoSuspension& operator=(const CUndoSuspension&) = delete;

private:
    CUndoList* m_pList;
};
