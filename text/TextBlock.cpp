#include "text/TextBlock.h"

#include "app/PrefData.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <cstring>

namespace {

// The text without CR and form feeds: LF alone ends a line, and columns
// come from the column count, not from the text.
CString StripBreaks(const CString& strText)
{
    CString result;
    const int nLength = strText.GetLength();
    for (int i = 0; i < nLength; ++i) {
        const char ch = strText[i];
        if (ch != '\r' && ch != '\f')
            result += ch;
    }
    return result;
}

} // namespace

CTextBlock::CTextBlock(CDrawObj* pOwner)
    : m_pOwner(pOwner)
{
    m_wFlags = (thePrefs.Flags & 0x0001) ? TEXTBLOCK_AUTO_SIZE : (TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
    m_logfont = thePrefs.DefaultFont;
    m_crText = thePrefs.DefaultTextColor;
    m_crShadow = thePrefs.DefaultTextColor2;
    m_nShadowX = static_cast<short>(thePrefs.TextFormat1);
    m_nShadowY = static_cast<short>(thePrefs.TextFormat2);
}

CTextBlock::~CTextBlock() = default;

void CTextBlock::CopyFrom(const CTextBlock& other)
{
    if (&other == this)
        return;
    m_wFlags = other.m_wFlags;
    m_nShape = other.m_nShape;
    m_nAlignment = other.m_nAlignment;
    m_nLayoutWord = other.m_nLayoutWord;
    m_nLeftMargin = other.m_nLeftMargin;
    m_nRightMargin = other.m_nRightMargin;
    m_logfont = other.m_logfont;
    m_nFittedHeight = other.m_nFittedHeight;
    m_crText = other.m_crText;
    m_crShadow = other.m_crShadow;
    m_nShadowX = other.m_nShadowX;
    m_nShadowY = other.m_nShadowY;
    m_nStoredValue4 = other.m_nStoredValue4;
    m_nStoredValue5 = other.m_nStoredValue5;
    m_rectFrame = other.m_rectFrame;
    m_rectShape = other.m_rectShape;
    m_nAngle = other.m_nAngle;
    m_nColumns = other.m_nColumns;
    m_dScaleX = other.m_dScaleX;
    m_dScaleY = other.m_dScaleY;
    m_strText = other.m_strText;
    // The copy is not being edited and has its own rendering to build.
    m_nCaret = 0;
    m_nAnchor = 0;
    m_bEditing = FALSE;
    FreeCache();
}

CString CTextBlock::GetText() const
{
    return StripBreaks(m_strText);
}

BOOL CTextBlock::FindMergeField(const CString& strText, int& nStart, int& nEnd)
{
    constexpr int kMaxFieldLength = 100;
    nStart = -1;
    nEnd = -1;
    int nOpen = -1;
    BOOL bEscaped = FALSE;
    const int nLength = strText.GetLength();
    for (int i = 0; i < nLength; ++i) {
        const char ch = strText[i];
        if (ch == '\\') {
            bEscaped = !bEscaped;
            continue;
        }
        if (ch != '@') {
            bEscaped = FALSE;
            continue;
        }
        // An escaped '@' leaves the escape in force for a following one.
        if (bEscaped)
            continue;
        if (nOpen >= 0 && i - nOpen <= kMaxFieldLength) {
            nStart = nOpen;
            nEnd = i;
            return TRUE;
        }
        nOpen = i;
    }
    return FALSE;
}

void CTextBlock::SetText(const CString& strText)
{
    m_strText = StripBreaks(strText);
    int nStart = 0;
    int nEnd = 0;
    if (FindMergeField(m_strText, nStart, nEnd))
        m_wFlags |= TEXTBLOCK_MERGE_FIELDS;
    else
        m_wFlags &= ~WORD(TEXTBLOCK_MERGE_FIELDS);
    FreeCache();
    m_wFlags |= TEXTBLOCK_LAYOUT_STALE;
    m_nCaret = std::min(m_nCaret, m_strText.GetLength());
    m_nAnchor = std::min(m_nAnchor, m_strText.GetLength());
}

void CTextBlock::InsertText(int nPosition, const CString& strText)
{
    const int nAt = std::clamp(nPosition, 0, m_strText.GetLength());
    SetText(m_strText.Left(nAt) + strText + m_strText.Mid(nAt));
}

void CTextBlock::SetFont(int nHeight, LPCTSTR lpszFaceName, BYTE nCharSet)
{
    m_logfont.lfHeight = nHeight;
    m_logfont.lfCharSet = nCharSet;
    std::memset(m_logfont.lfFaceName, 0, sizeof(m_logfont.lfFaceName));
    if (lpszFaceName != nullptr)
        std::strncpy(m_logfont.lfFaceName, lpszFaceName, sizeof(m_logfont.lfFaceName) - 1);
    m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
    m_wFlags |= TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE;
}

void CTextBlock::SetSel(int nStart, int nEnd)
{
    const int nLength = m_strText.GetLength();
    if (nEnd < 0) {
        nStart = 0;
        nEnd = nLength;
    }
    m_nAnchor = std::clamp(nStart, 0, nLength);
    m_nCaret = std::clamp(nEnd, 0, nLength);
}

void CTextBlock::SetGeometry(int nAngle, const CRect& rectShape, const CRect& rectFrame)
{
    nAngle %= 360;
    m_nAngle = nAngle < 0 ? nAngle + 360 : nAngle;
    m_rectShape = rectShape;
    m_rectFrame = rectFrame;
    m_wFlags |= TEXTBLOCK_LAYOUT_STALE;
}

void CTextBlock::SetColumns(int nColumns)
{
    m_nColumns = std::max(1, nColumns);
}

void CTextBlock::SetLayoutParams(int nLeftMargin, int nRightMargin, int nLayoutWord)
{
    m_nLeftMargin = nLeftMargin;
    m_nRightMargin = nRightMargin;
    m_nLayoutWord = nLayoutWord;
}

void CTextBlock::SetShape(int nShape)
{
    if (nShape == m_nShape)
        return;
    m_nShape = nShape;
    FreeCache();
}

void CTextBlock::SetRect(const CRect& rect)
{
    FreeCache();
    m_wFlags |= TEXTBLOCK_LAYOUT_STALE;
    m_rectFrame = rect;
}

void CTextBlock::FreeCache()
{
    // FIXME: the cached bitmap, picture and font come with the block's
    // drawing; until then there is nothing to free.
    if (m_wFlags & TEXTBLOCK_AUTO_SIZE)
        m_wFlags &= ~WORD(TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
    else
        m_wFlags |= TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE;
}

void CTextBlock::PrepareFont(CSurface* pView)
{
    (void)pView;
}

CSize CTextBlock::CalcSize(CDC* pDC)
{
    (void)pDC;
    return CSize(0, 0);
}

void CTextBlock::Draw(CDC* pDC, const CRect* pClip)
{
    (void)pDC;
    (void)pClip;
}

BOOL CTextBlock::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    (void)nChar;
    (void)nRepCnt;
    (void)nFlags;
    return FALSE;
}

BOOL CTextBlock::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    (void)nChar;
    (void)nRepCnt;
    (void)nFlags;
    return FALSE;
}

BOOL CTextBlock::OnLButtonDown(UINT nFlags, CPoint point)
{
    (void)nFlags;
    (void)point;
    return FALSE;
}

BOOL CTextBlock::OnMouseMove(UINT nFlags, CPoint point)
{
    (void)nFlags;
    (void)point;
    return FALSE;
}

BOOL CTextBlock::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    (void)nFlags;
    (void)point;
    return FALSE;
}

void CTextBlock::Serialize(CArchive& ar)
{
    (void)ar;
    AfxThrowNotSupportedException();
}
