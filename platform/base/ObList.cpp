#include "platform/base/ObList.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"

IMPLEMENT_SERIAL(CObList, CObject, 0)

namespace {

POSITION ToPosition(void* pNode)
{
    return reinterpret_cast<POSITION>(pNode);
}

} // namespace

CObList::CObList(INT_PTR) : m_pNodeHead(nullptr), m_pNodeTail(nullptr), m_nCount(0)
{
}

CObList::~CObList()
{
    RemoveAll();
}

CObList::CNode* CObList::NodeAt(POSITION position)
{
    if (position == nullptr)
        AfxThrowInvalidArgException();
    return reinterpret_cast<CNode*>(position);
}

INT_PTR CObList::GetCount() const
{
    return m_nCount;
}

INT_PTR CObList::GetSize() const
{
    return m_nCount;
}

BOOL CObList::IsEmpty() const
{
    return m_nCount == 0;
}

CObject*& CObList::GetHead()
{
    return NodeAt(ToPosition(m_pNodeHead))->data;
}

CObject* CObList::GetHead() const
{
    return NodeAt(ToPosition(m_pNodeHead))->data;
}

CObject*& CObList::GetTail()
{
    return NodeAt(ToPosition(m_pNodeTail))->data;
}

CObject* CObList::GetTail() const
{
    return NodeAt(ToPosition(m_pNodeTail))->data;
}

CObject* CObList::RemoveHead()
{
    CObject* data = GetHead();
    RemoveAt(ToPosition(m_pNodeHead));
    return data;
}

CObject* CObList::RemoveTail()
{
    CObject* data = GetTail();
    RemoveAt(ToPosition(m_pNodeTail));
    return data;
}

POSITION CObList::AddHead(CObject* newElement)
{
    CNode* pNode = new CNode{m_pNodeHead, nullptr, newElement};
    if (m_pNodeHead != nullptr)
        m_pNodeHead->pPrev = pNode;
    else
        m_pNodeTail = pNode;
    m_pNodeHead = pNode;
    ++m_nCount;
    return ToPosition(pNode);
}

POSITION CObList::AddTail(CObject* newElement)
{
    CNode* pNode = new CNode{nullptr, m_pNodeTail, newElement};
    if (m_pNodeTail != nullptr)
        m_pNodeTail->pNext = pNode;
    else
        m_pNodeHead = pNode;
    m_pNodeTail = pNode;
    ++m_nCount;
    return ToPosition(pNode);
}

void CObList::AddHead(CObList* pNewList)
{
    if (pNewList == nullptr)
        AfxThrowInvalidArgException();
    // Walking backwards from the tail keeps the order; a list added to itself
    // stops at the element that was its head.
    CNode* pStop = pNewList->m_pNodeHead;
    for (CNode* p = pNewList->m_pNodeTail; p != nullptr; p = p->pPrev) {
        AddHead(p->data);
        if (p == pStop)
            break;
    }
}

void CObList::AddTail(CObList* pNewList)
{
    if (pNewList == nullptr)
        AfxThrowInvalidArgException();
    CNode* pStop = pNewList->m_pNodeTail;
    for (CNode* p = pNewList->m_pNodeHead; p != nullptr; p = p->pNext) {
        AddTail(p->data);
        if (p == pStop)
            break;
    }
}

void CObList::RemoveAll()
{
    CNode* p = m_pNodeHead;
    while (p != nullptr) {
        CNode* pNext = p->pNext;
        delete p;
        p = pNext;
    }
    m_pNodeHead = m_pNodeTail = nullptr;
    m_nCount = 0;
}

POSITION CObList::GetHeadPosition() const
{
    return ToPosition(m_pNodeHead);
}

POSITION CObList::GetTailPosition() const
{
    return ToPosition(m_pNodeTail);
}

CObject*& CObList::GetNext(POSITION& rPosition)
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = ToPosition(pNode->pNext);
    return pNode->data;
}

CObject* CObList::GetNext(POSITION& rPosition) const
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = ToPosition(pNode->pNext);
    return pNode->data;
}

CObject*& CObList::GetPrev(POSITION& rPosition)
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = ToPosition(pNode->pPrev);
    return pNode->data;
}

CObject* CObList::GetPrev(POSITION& rPosition) const
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = ToPosition(pNode->pPrev);
    return pNode->data;
}

CObject*& CObList::GetAt(POSITION position)
{
    return NodeAt(position)->data;
}

CObject* CObList::GetAt(POSITION position) const
{
    return NodeAt(position)->data;
}

void CObList::SetAt(POSITION pos, CObject* newElement)
{
    NodeAt(pos)->data = newElement;
}

void CObList::RemoveAt(POSITION position)
{
    CNode* pNode = NodeAt(position);
    if (pNode->pPrev != nullptr)
        pNode->pPrev->pNext = pNode->pNext;
    else
        m_pNodeHead = pNode->pNext;
    if (pNode->pNext != nullptr)
        pNode->pNext->pPrev = pNode->pPrev;
    else
        m_pNodeTail = pNode->pPrev;
    delete pNode;
    --m_nCount;
}

POSITION CObList::InsertBefore(POSITION position, CObject* newElement)
{
    if (position == nullptr)
        return AddHead(newElement);
    CNode* pOld = NodeAt(position);
    CNode* pNode = new CNode{pOld, pOld->pPrev, newElement};
    if (pOld->pPrev != nullptr)
        pOld->pPrev->pNext = pNode;
    else
        m_pNodeHead = pNode;
    pOld->pPrev = pNode;
    ++m_nCount;
    return ToPosition(pNode);
}

POSITION CObList::InsertAfter(POSITION position, CObject* newElement)
{
    if (position == nullptr)
        return AddTail(newElement);
    CNode* pOld = NodeAt(position);
    CNode* pNode = new CNode{pOld->pNext, pOld, newElement};
    if (pOld->pNext != nullptr)
        pOld->pNext->pPrev = pNode;
    else
        m_pNodeTail = pNode;
    pOld->pNext = pNode;
    ++m_nCount;
    return ToPosition(pNode);
}

POSITION CObList::Find(CObject* searchValue, POSITION startAfter) const
{
    CNode* p = startAfter == nullptr ? m_pNodeHead : NodeAt(startAfter)->pNext;
    for (; p != nullptr; p = p->pNext) {
        if (p->data == searchValue)
            return ToPosition(p);
    }
    return nullptr;
}

POSITION CObList::FindIndex(INT_PTR nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return nullptr;
    CNode* p = m_pNodeHead;
    while (nIndex-- > 0)
        p = p->pNext;
    return ToPosition(p);
}

void CObList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
        for (CNode* p = m_pNodeHead; p != nullptr; p = p->pNext)
            ar << p->data;
        return;
    }
    DWORD_PTR nNewCount = ar.ReadCount();
    while (nNewCount-- > 0) {
        CObject* newData = nullptr;
        ar >> newData;
        AddTail(newData);
    }
}
