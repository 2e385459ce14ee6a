#pragma once
// CTextContentHolder: carries the block text of a drawing object. It holds
// one CTextBlock, built with the owning object, and is the only way the
// object reaches it. The object owns the holder; the holder owns the block
// and destroys it with itself.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDC;
class CDrawObj;
class CRgn;
class CTextBlock;

class CTextContentHolder : public CObject {
public:
    explicit CTextContentHolder(CDrawObj* pOwner);
    ~CTextContentHolder() override;
    CTextContentHolder(const CTextContentHolder&) = delete;
    CTextContentHolder& operator=(const CTextContentHolder&) = delete;

    CTextBlock* GetBlock() const { return m_pBlock; }
    // The block's text as a string, and its font (height, face, character
    // set) passed to the block.
    CString GetText() const;
    void SetFont(int nHeight, LPCTSTR lpszFaceName, BYTE nCharSet);

    // Lays the block into the rectangle (its frame, logical units) and
    // draws it, clipped by the region when one is given. A frame that did
    // not change keeps the block's cached rendering.
    void Draw(CDC* pDC, const CRect& rect, CRgn* pClipRgn = nullptr);

    // Forwards to the block; a block read turns the owner to its angle.
    void Serialize(CArchive& ar) override;

    // The text extent measured when the holder was last laid out; a clone
    // carries it over.
    CSize m_sizeCached;

private:
    CTextBlock* m_pBlock; // owned
};
