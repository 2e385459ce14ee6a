#include "calendar/DayCellObj.h"

#include "app/main/AppGlobals.h"
#include "model/DrawRect.h"
#include "platform/base/ObList.h"

IMPLEMENT_DYNAMIC(CDayCellObj, CObject)

CDayCellObj::CDayCellObj() = default;

CDayCellObj::~CDayCellObj()
{
    delete m_pItem;
}

void CDayCellObj::CopyFieldsTo(CDayCellObj* pCell) const
{
    pCell->m_nNumber = m_nNumber;
    pCell->m_strText = m_strText;
    pCell->m_logfont = m_logfont;
    pCell->m_crText = m_crText;
    pCell->m_crBack = m_crBack;
    pCell->m_wFlags = m_wFlags;
    pCell->m_nInUse = m_nInUse;
}

CDayCellObj* CDayCellObj::Clone() const
{
    auto* pCell = new CDayCellObj;
    CopyFieldsTo(pCell);
    if (m_pItem != nullptr)
        pCell->SetItem(static_cast<CDrawRect*>(m_pItem->Clone(nullptr, nullptr)));
    return pCell;
}

void CDayCellObj::SetItem(CDrawRect* pItem)
{
    if (pItem == m_pItem)
        return;
    delete m_pItem;
    m_pItem = pItem;
}

void DeleteCellList(CObList& cells)
{
    for (POSITION pos = cells.GetHeadPosition(); pos != nullptr;)
        DeleteObjectThunk(cells.GetNext(pos));
    cells.RemoveAll();
}

void CloneCellList(const CObList& source, CObList& target)
{
    target.RemoveAll();
    for (POSITION pos = source.GetHeadPosition(); pos != nullptr;) {
        const auto* pCell = static_cast<const CDayCellObj*>(source.GetNext(pos));
        if (pCell != nullptr)
            target.AddTail(pCell->Clone());
    }
}
