#include "model/TextContentHolder.h"

#include "model/DrawObj.h"
#include "platform/base/Archive.h"
#include "text/TextBlock.h"

CTextContentHolder::CTextContentHolder(CDrawObj* pOwner)
    : m_pBlock(new CTextBlock(pOwner))
{
}

CTextContentHolder::~CTextContentHolder()
{
    delete m_pBlock;
}

CString CTextContentHolder::GetText() const
{
    return m_pBlock->GetText();
}

void CTextContentHolder::SetFont(int nHeight, LPCTSTR lpszFaceName, BYTE nCharSet)
{
    m_pBlock->SetFont(nHeight, lpszFaceName, nCharSet);
}

void CTextContentHolder::Draw(CDC* pDC, const CRect& rect, CRgn* pClipRgn)
{
    if (pDC == nullptr)
        return;
    // Setting the frame drops the rendering; a repeated paint of an
    // unchanged frame draws from the cache.
    if (rect != m_pBlock->m_rectFrame)
        m_pBlock->SetRect(rect);
    m_pBlock->Draw(pDC, pClipRgn);
}

void CTextContentHolder::Serialize(CArchive& ar)
{
    m_pBlock->Serialize(ar);
    // The object turns with the text it read.
    if (ar.IsLoading() && m_pBlock->m_pOwner != nullptr)
        m_pBlock->m_pOwner->SetAngle(m_pBlock->m_nAngle);
}
