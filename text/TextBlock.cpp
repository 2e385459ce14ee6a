#include "text/TextBlock.h"

#include "app/DeviceColors.h"
#include "app/PrefData.h"
#include "app/Utilities.h"
#include "platform/base/Archive.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"
#include "text/DesignArchive.h"
#include "text/TextOwner.h"

#include <algorithm>
#include <cmath>
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

int NormalizeAngle(LONG nAngle)
{
    nAngle %= 360;
    return static_cast<int>(nAngle < 0 ? nAngle + 360 : nAngle);
}

// A point height keeps its sign (negative: character height) with a size
// of 1..999 points; a zero height would leave the font to the device.
int ClampPoints(LONG nHeight)
{
    const long long nSize = std::clamp<long long>(std::llabs(static_cast<long long>(nHeight)), kTextBlockMinPoints,
                                                  kTextBlockMaxPoints);
    return static_cast<int>(nHeight > 0 ? nSize : -nSize);
}

double ValidScale(double dScale)
{
    return std::isfinite(dScale) && dScale > 0.0 ? dScale : 1.0;
}

void CopyFaceName(LOGFONT& logfont, const char* pszFace)
{
    std::memset(logfont.lfFaceName, 0, sizeof(logfont.lfFaceName));
    if (pszFace == nullptr)
        return;
    constexpr size_t kRoom = std::min<size_t>(kTextBlockMaxFaceLength, sizeof(logfont.lfFaceName) - 1);
    std::strncpy(logfont.lfFaceName, pszFace, kRoom);
}

// A terminating zero that a file carried into the text would be drawn,
// edited and saved again, growing by one each time.
void DropTrailingZeros(CString& strText)
{
    int nLength = strText.GetLength();
    while (nLength > 0 && strText[nLength - 1] == '\0')
        --nLength;
    if (nLength != strText.GetLength())
        strText = strText.Left(nLength);
}

// The first field at or behind nFrom, scanned as if the text began there:
// a backslash toggles the escape, any other character but '@' clears it,
// and an escaped '@' leaves it in force for the sign right behind it.
BOOL FindMergeFieldFrom(const CString& strText, int nFrom, int& nStart, int& nEnd)
{
    nStart = -1;
    nEnd = -1;
    int nOpen = -1;
    BOOL bEscaped = FALSE;
    const int nLength = strText.GetLength();
    for (int i = std::max(nFrom, 0); i < nLength; ++i) {
        const char ch = strText[i];
        if (ch == '\\') {
            bEscaped = !bEscaped;
            continue;
        }
        if (ch != '@') {
            bEscaped = FALSE;
            continue;
        }
        if (bEscaped)
            continue;
        if (nOpen >= 0 && i - nOpen <= kTextBlockMaxFieldSpan) {
            nStart = nOpen;
            nEnd = i;
            return TRUE;
        }
        nOpen = i;
    }
    return FALSE;
}

} // namespace

CTextBlock::CTextBlock(CDrawObj* pOwner)
    : m_pOwner(pOwner)
{
    m_wFlags = (thePrefs.Flags & 0x0001) ? TEXTBLOCK_AUTO_SIZE : (TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
    // The preferences come from the profile: the same bounds as a file's.
    m_logfont = thePrefs.DefaultFont;
    m_logfont.lfFaceName[sizeof(m_logfont.lfFaceName) - 1] = '\0';
    m_logfont.lfHeight = ClampPoints(m_logfont.lfHeight);
    m_crText = thePrefs.DefaultTextColor;
    m_crShadow = thePrefs.DefaultTextColor2;
    m_nShadowX = static_cast<short>(thePrefs.TextFormat1);
    m_nShadowY = static_cast<short>(thePrefs.TextFormat2);
}

CTextBlock::~CTextBlock()
{
    delete m_pFont;
    delete m_pCachedBitmap;
    delete m_pCachedPicture;
}

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
    std::copy(std::begin(other.m_ptCorners), std::end(other.m_ptCorners), std::begin(m_ptCorners));
    m_nColumns = other.m_nColumns;
    m_dScaleX = other.m_dScaleX;
    m_dScaleY = other.m_dScaleY;
    m_nFixedPixelHeight = other.m_nFixedPixelHeight;
    m_strText = other.m_strText;
    // The copy is not being edited and has its own rendering to build.
    m_nCaret = 0;
    m_nAnchor = 0;
    m_nGoalX = 0;
    m_bEditing = FALSE;
    m_bDragging = FALSE;
    m_bDropNextChar = FALSE;
    FreeCache();
}

CString CTextBlock::GetText() const
{
    return StripBreaks(m_strText);
}

BOOL CTextBlock::FindMergeField(const CString& strText, int& nStart, int& nEnd)
{
    return FindMergeFieldFrom(strText, 0, nStart, nEnd);
}

CString CTextBlock::UnescapeMergeText(const CString& strText)
{
    CString result;
    const int nLength = strText.GetLength();
    for (int i = 0; i < nLength; ++i) {
        const char ch = strText[i];
        if (ch != '\\') {
            result += ch;
            continue;
        }
        if (i + 1 >= nLength)
            break; // a lone backslash at the end
        const char next = strText[++i];
        if (next != '\\' && next != '@')
            result += '\\';
        result += next;
    }
    return result;
}

CString CTextBlock::ReplaceMergeFields(const CString& strText) const
{
    CString result;
    int nFrom = 0;
    int nStart = -1;
    int nEnd = -1;
    while (FindMergeFieldFrom(strText, nFrom, nStart, nEnd)) {
        result += strText.Mid(nFrom, nStart - nFrom);
        const CString strName = UnescapeMergeText(strText.Mid(nStart + 1, nEnd - nStart - 1));
        CString strValue;
        const int nField = TextMergeFieldIndex(m_pOwner, strName);
        if (nField >= 0 && TextMergeFieldText(m_pOwner, nField, strValue))
            result += strValue;
        else
            result += strText.Mid(nStart, nEnd - nStart + 1); // as typed
        nFrom = nEnd + 1;
    }
    result += strText.Mid(nFrom);
    return result;
}

COLORREF CTextBlock::GetDrawTextColor(CDC* pDC) const
{
    const COLORREF color = m_crText == COLORREF(-1) ? ::GetSysColor(COLOR_WINDOWTEXT) : m_crText;
    if (pDC == nullptr || !pDC->IsPrinting())
        return GetNearestScreenColor(color, pDC);
    return color;
}

COLORREF CTextBlock::GetDrawShadowColor(CDC* pDC) const
{
    const COLORREF color = m_crShadow == COLORREF(-1) ? ::GetSysColor(COLOR_WINDOWTEXT) : m_crShadow;
    if (pDC == nullptr || !pDC->IsPrinting())
        return GetNearestScreenColor(color, pDC);
    return color;
}

CSize CTextBlock::GetShadowOffset(CDC* pDC) const
{
    if (!(m_wFlags & TEXTBLOCK_SHADOW) || pDC == nullptr)
        return CSize(0, 0);
    int nX = MulDiv(m_nShadowX, pDC->GetDeviceCaps(LOGPIXELSX), 72);
    int nY = MulDiv(m_nShadowY, pDC->GetDeviceCaps(LOGPIXELSY), 72);
    if (!pDC->IsPrinting()) {
        const int nZoom = TextOwnerZoom(m_pOwner);
        nX = MulDiv(nX, nZoom, 100);
        nY = MulDiv(nY, nZoom, 100);
    }
    return CSize(nX, nY);
}

void CTextBlock::SetLaidText(const CString& strText)
{
    m_strText = strText;
    int nStart = 0;
    int nEnd = 0;
    if (FindMergeField(m_strText, nStart, nEnd))
        m_wFlags |= TEXTBLOCK_MERGE_FIELDS;
    else
        m_wFlags &= ~WORD(TEXTBLOCK_MERGE_FIELDS);
    m_nCaret = std::clamp(m_nCaret, 0, m_strText.GetLength());
    m_nAnchor = std::clamp(m_nAnchor, 0, m_strText.GetLength());
}

void CTextBlock::SetText(const CString& strText)
{
    SetLaidText(StripBreaks(strText));
    FreeCache();
    m_wFlags |= TEXTBLOCK_LAYOUT_STALE;
}

void CTextBlock::InsertText(int nPosition, const CString& strText)
{
    const int nAt = std::clamp(nPosition, 0, m_strText.GetLength());
    SetLaidText(m_strText.Left(nAt) + strText + m_strText.Mid(nAt));
    FreeCache();
    m_wFlags |= TEXTBLOCK_LAYOUT_STALE;
}

void CTextBlock::SetFont(int nHeight, LPCTSTR lpszFaceName, BYTE nCharSet)
{
    m_logfont.lfHeight = ClampPoints(nHeight);
    m_logfont.lfCharSet = nCharSet;
    CopyFaceName(m_logfont, lpszFaceName);
    m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
    m_wFlags |= TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE;
}

void CTextBlock::SetSel(int nStart, int nEnd)
{
    const int nLength = m_strText.GetLength();
    if (nEnd < 0) {
        m_nCaret = 0;
        m_nAnchor = nLength;
        return;
    }
    m_nCaret = std::clamp(nStart, 0, nLength);
    m_nAnchor = std::min(nEnd, nLength);
}

void CTextBlock::SetGeometry(int nAngle, const CRect& rectShape, const CRect& rectFrame)
{
    m_nAngle = NormalizeAngle(nAngle);
    m_rectShape = rectShape;
    m_rectFrame = rectFrame;
    m_wFlags |= TEXTBLOCK_LAYOUT_STALE;
}

void CTextBlock::SetColumns(int nColumns)
{
    m_nColumns = std::clamp(nColumns, 1, kTextBlockMaxColumns);
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
    delete m_pCachedBitmap;
    m_pCachedBitmap = nullptr;
    delete m_pCachedPicture;
    m_pCachedPicture = nullptr;
    delete m_pFont;
    m_pFont = nullptr;
    if (m_wFlags & TEXTBLOCK_AUTO_SIZE)
        m_wFlags &= ~WORD(TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
    else
        m_wFlags |= TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE;
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

// The count is bounded by the bytes left before anything is allocated; a
// count of 0 is an empty text. Trailing zeros are dropped by the caller,
// whatever the header value says about the last unit.
CString LoadWideText(CArchive& ar)
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
        ar << static_cast<DWORD>(m_nFittedHeight) << static_cast<DWORD>(m_crText);
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

    // Every value goes through a local and into range before the block
    // takes it, so a record that ends early leaves no damaged value behind.
    const LONG nVersion = GetDesignArchiveInfo(ar).nVersion;
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
    LOGFONT logfont = m_logfont;
    ar >> logfont.lfHeight >> logfont.lfWidth >> logfont.lfEscapement >> logfont.lfOrientation >> logfont.lfWeight;
    ar >> logfont.lfItalic >> logfont.lfUnderline >> logfont.lfStrikeOut >> logfont.lfCharSet >> logfont.lfOutPrecision
        >> logfont.lfClipPrecision >> logfont.lfQuality >> logfont.lfPitchAndFamily;
    CString strFace;
    ar >> strFace;
    CopyFaceName(logfont, strFace);
    logfont.lfHeight = ClampPoints(logfont.lfHeight);
    m_logfont = logfont;
    ar >> dw;
    m_nFittedHeight = ClampPoints(static_cast<LONG>(dw));
    // The exact colour: the screen's nearest one serves drawing only, so a
    // save on a screen of few colours does not change the design.
    ar >> dw;
    m_crText = dw;
    double dScaleX = 1.0;
    double dScaleY = 1.0;
    ar >> dScaleX >> dScaleY;
    m_dScaleX = ValidScale(dScaleX);
    m_dScaleY = ValidScale(dScaleY);
    if (nVersion > 10) {
        LONG nAngle = 0;
        LONG nColumns = 0;
        ar >> nAngle >> nColumns;
        m_nAngle = NormalizeAngle(nAngle);
        SetColumns(nColumns);
    }
    CString strText;
    if (m_wFlags & TEXTBLOCK_UTF16)
        strText = LoadWideText(ar);
    else
        ar >> strText;
    DropTrailingZeros(strText);
    SetLaidText(strText);
    if (nVersion > 13) {
        ar >> dw;
        m_crShadow = dw;
    }
    if (nVersion > 15) {
        // Sign-extended 16-bit values; only the low half is the offset.
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
    FreeCache();
}
