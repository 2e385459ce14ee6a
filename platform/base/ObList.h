#pragma once
// CObList: a doubly linked list of CObject pointers, walked with POSITIONs.
// It does not own the objects: RemoveAll and the destructor only forget them.
//
// A POSITION stays valid until its element is removed. A NULL position, or
// taking an element of an empty list, raises CInvalidArgException; a
// position from another list or of a removed element cannot be detected and
// must not be used. Serialises as WriteCount and then WriteObject for each
// element; loading appends the objects read.

#include "platform/base/Object.h"

class CObList : public CObject {
    DECLARE_SERIAL(CObList)
public:
    // The node block size of the class library; nodes here are allocated one
    // at a time, so it is accepted and not used.
    explicit CObList(INT_PTR nBlockSize = 10);
    ~CObList() override;

    INT_PTR GetCount() const;
    INT_PTR GetSize() const;
    BOOL IsEmpty() const;

    CObject*& GetHead();
    CObject* GetHead() const;
    CObject*& GetTail();
    CObject* GetTail() const;
    CObject* RemoveHead();
    CObject* RemoveTail();

    POSITION AddHead(CObject* newElement);
    POSITION AddTail(CObject* newElement);
    // Adds the elements of another list, in order.
    void AddHead(CObList* pNewList);
    void AddTail(CObList* pNewList);
    void RemoveAll();

    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    // The element at rPosition; rPosition moves to the next (previous) one,
    // NULL after the last (first).
    CObject*& GetNext(POSITION& rPosition);
    CObject* GetNext(POSITION& rPosition) const;
    CObject*& GetPrev(POSITION& rPosition);
    CObject* GetPrev(POSITION& rPosition) const;

    CObject*& GetAt(POSITION position);
    CObject* GetAt(POSITION position) const;
    void SetAt(POSITION pos, CObject* newElement);
    void RemoveAt(POSITION position);
    // A NULL position inserts at the head (InsertBefore) or tail (InsertAfter).
    POSITION InsertBefore(POSITION position, CObject* newElement);
    POSITION InsertAfter(POSITION position, CObject* newElement);

    // The first element equal to searchValue after startAfter (from the head
    // when NULL); NULL when there is none.
    POSITION Find(CObject* searchValue, POSITION startAfter = NULL) const;
    // The position of the nIndex-th element from 0; NULL when out of range.
    POSITION FindIndex(INT_PTR nIndex) const;

    void Serialize(CArchive& ar) override;

protected:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        CObject* data;
    };

    static CNode* NodeAt(POSITION position);

    CNode* m_pNodeHead;
    CNode* m_pNodeTail;
    INT_PTR m_nCount;
};
