#include "text/TextBlock.h"

#include "app/DeviceColors.h"
#include "app/PrefData.h"
#include "app/Utilities.h"
#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "text/DesignArchive.h"

#include <algorithm>
#include <cstring>
#include <string>

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

namespace {

// The text in its wide form: a count of UTF-16 units including the
// terminating zero, then the units.
void StoreWideText(CArchive& ar, const CString& strText)
{
    std::u16string wide = platform::Utf16From1252(strText.View());
    wide.push_back(u'\0');
    ar << static_cast<DWORD>(wide.size());
    for (char16_t unit : wide)
        ar << static_cast<WORD>(unit);
}

// The count is bounded by the bytes left before anything is allocated. A
// file whose header value is 1 keeps the last unit as a character; the
// terminating zero never becomes part of the text wherever it lies, so a
// text read and stored again does not grow by a zero each time.
CString LoadWideText(CArchive& ar, BOOL bKeepLastUnit)
{
    DWORD nCount = 0;
    ar >> nCount;
    if (nCount > ar.GetBytesRemaining() / 2)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    std::u16string wide(nCount, u'\0');
    for (DWORD i = 0; i < nCount; ++i) {
        WORD unit = 0;
        ar >> unit;
        wide[i] = static_cast<char16_t>(unit);
    }
    if (!bKeepLastUnit && !wide.empty())
        wide.pop_back();
    const size_t nZero = wide.find(u'\0');
    if (nZero != std::u16string::npos)
        wide.resize(nZero);
    const std::string text = platform::Utf16To1252(wide);
    return CString(text.data(), static_cast<int>(text.size()));
}

BOOL PlatformHasWideText()
{
    CString strUnused;
    return GetPlatform(strUnused, FALSE) == kPlatformCurrent;
}

} // namespace

void CTextBlock::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (PlatformHasWideText())
            m_wFlags |= TEXTBLOCK_UTF16;
        else
            m_wFlags &= ~WORD(TEXTBLOCK_UTF16);
        ar << static_cast<DWORD>(m_nShape) << static_cast<DWORD>(m_nAlignment) << m_wFlags
           << static_cast<DWORD>(m_nLayoutWord) << static_cast<DWORD>(m_nLeftMargin)
           << static_cast<DWORD>(m_nRightMargin);
        ar << m_logfont.lfHeight << m_logfont.lfWidth << m_logfont.lfEscapement << m_logfont.lfOrientation
           << m_logfont.lfWeight;
        ar << m_logfont.lfItalic << m_logfont.lfUnderline << m_logfont.lfStrikeOut << m_logfont.lfCharSet
           << m_logfont.lfOutPrecision << m_logfont.lfClipPrecision << m_logfont.lfQuality
           << m_logfont.lfPitchAndFamily;
        ar << CString(m_logfont.lfFaceName);
        ar << static_cast<DWORD>(m_nFittedHeight) << static_cast<DWORD>(GetNearestScreenColor(m_crText, NULL));
        ar << m_dScaleX << m_dScaleY;
        ar << static_cast<DWORD>(m_nAngle) << static_cast<DWORD>(m_nColumns);
        if (m_wFlags & TEXTBLOCK_UTF16)
            StoreWideText(ar, m_strText);
        else
            ar << m_strText;
        ar << static_cast<DWORD>(m_crShadow);
        // The 16-bit offsets go out sign-extended to 32 bits.
        ar << static_cast<LONG>(m_nShadowX) << static_cast<LONG>(m_nShadowY);
        ar << static_cast<DWORD>(m_nStoredValue4) << static_cast<DWORD>(m_nStoredValue5);
        return;
    }

    const DesignArchiveInfo design = GetDesignArchiveInfo(ar);
    const LONG nVersion = design.nVersion;
    DWORD dw = 0;
    ar >> dw;
    m_nShape = static_cast<int>(dw);
    ar >> dw;
    m_nAlignment = static_cast<int>(dw);
    ar >> m_wFlags;
    ar >> dw;
    m_nLayoutWord = static_cast<int>(dw);
    ar >> dw;
    m_nLeftMargin = static_cast<int>(dw);
    ar >> dw;
    m_nRightMargin = static_cast<int>(dw);
    ar >> m_logfont.lfHeight >> m_logfont.lfWidth >> m_logfont.lfEscapement >> m_logfont.lfOrientation
        >> m_logfont.lfWeight;
    ar >> m_logfont.lfItalic >> m_logfont.lfUnderline >> m_logfont.lfStrikeOut >> m_logfont.lfCharSet
        >> m_logfont.lfOutPrecision >> m_logfont.lfClipPrecision >> m_logfont.lfQuality
        >> m_logfont.lfPitchAndFamily;
    CString strFace;
    ar >> strFace;
    // The face keeps what the record holds, with room for its zero.
    std::memset(m_logfont.lfFaceName, 0, sizeof(m_logfont.lfFaceName));
    std::strncpy(m_logfont.lfFaceName, strFace, sizeof(m_logfont.lfFaceName) - 1);
    ar >> dw;
    m_nFittedHeight = static_cast<int>(dw);
    ar >> dw;
    m_crText = GetNearestScreenColor(dw, NULL);
    ar >> m_dScaleX >> m_dScaleY;
    if (nVersion > 10) {
        // Angle and columns keep the block's own rules: 0..359 degrees and
        // at least one column, whatever a damaged file holds.
        LONG nAngle = 0;
        LONG nColumns = 0;
        ar >> nAngle >> nColumns;
        nAngle %= 360;
        m_nAngle = nAngle < 0 ? nAngle + 360 : nAngle;
        SetColumns(nColumns);
    }
    if (m_wFlags & TEXTBLOCK_UTF16) {
        m_strText = LoadWideText(ar, design.nHeaderValue == 1);
    } else {
        ar >> m_strText;
    }
    if (nVersion > 13) {
        ar >> dw;
        m_crShadow = dw;
    }
    if (nVersion > 15) {
        ar >> dw;
        m_nShadowX = static_cast<short>(dw);
        ar >> dw;
        m_nShadowY = static_cast<short>(dw);
    }
    if (nVersion >= 24) {
        ar >> dw;
        m_nStoredValue4 = static_cast<int>(dw);
        ar >> dw;
        m_nStoredValue5 = static_cast<int>(dw);
    }
    m_nCaret = std::min(m_nCaret, m_strText.GetLength());
    m_nAnchor = std::min(m_nAnchor, m_strText.GetLength());
    FreeCache();
}
