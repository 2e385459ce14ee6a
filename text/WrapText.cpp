#include "text/WrapText.h"

#include "platform/base/Archive.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/Exception.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "text/DesignArchive.h"
#include "text/TextEditHost.h"
#include "text/TextOwner.h"
#include "text/WrapTextRuns.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

IMPLEMENT_SERIAL(CWrapData, CObject, 1)
IMPLEMENT_SERIAL(CWrapText, CObject, 1)

namespace {

constexpr int kMaxFaceLength = 40;
constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 999;
constexpr double kMinLineSpacing = 0.1;
constexpr double kMaxLineSpacing = 10.0;
constexpr char kDefaultFace[] = "Arial";
constexpr int kDefaultPoints = 24;
constexpr BYTE kDefaultCharSet = 1;
constexpr int kStyleBits = WRAP_STYLE_BOLD | WRAP_STYLE_ITALIC | WRAP_STYLE_UNDERLINE | WRAP_STYLE_STRIKEOUT;

double ValidLineSpacing(double d)
{
    return std::isfinite(d) && d >= kMinLineSpacing && d <= kMaxLineSpacing ? d : 1.0;
}

WORD ClampPosition(long long n)
{
    return static_cast<WORD>(std::clamp<long long>(n, 0, kWrapTextEnd));
}

// Raising a position never carries it past the end mark: a run that reaches
// the end keeps covering it, and 16 bits never wrap.
WORD RaisePosition(WORD w, int n)
{
    return ClampPosition(static_cast<long long>(w) + n);
}

// The run string cannot hold a face with "," or ")" (they end the face and
// the group), and the record keeps at most 40 characters.
CString CleanFace(LPCTSTR lpszFace)
{
    CString face(lpszFace != nullptr ? lpszFace : "");
    const int nCut = face.FindOneOf(",)");
    if (nCut >= 0)
        face = face.Left(nCut);
    if (face.GetLength() > kMaxFaceLength)
        face = face.Left(kMaxFaceLength);
    return face;
}

CString Normalize(const CString& strText)
{
    std::string result;
    const std::string& in = strText.Std();
    result.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const char ch = in[i];
        if (ch == '\t') {
            result += ' ';
        } else if (ch == '\r' || ch == '\n') {
            // CR LF and LF CR are one break; a lone CR is one too.
            if (i + 1 < in.size() && (in[i + 1] == '\r' || in[i + 1] == '\n') && in[i + 1] != ch)
                ++i;
            result += '\n';
        } else {
            result += ch;
        }
    }
    return CString(std::string_view(result));
}

// ---- Font records ----------------------------------------------------------------------

void ReleaseRecord(WrapFontRecord* pRecord)
{
    if (pRecord == nullptr || --pRecord->nRefs > 0)
        return;
    if (pRecord->hFont != NULL)
        ::DeleteObject(pRecord->hFont);
    delete pRecord;
}

WrapFontRecord* AddRef(WrapFontRecord* pRecord)
{
    if (pRecord != nullptr)
        ++pRecord->nRefs;
    return pRecord;
}

// Makes the record's font for a DC of nPixelsY at nZoom percent and reads
// its metrics on hdcMeasure. A font that cannot be made leaves the record
// without one; it then draws with the fallback font, whose metrics it takes.
void MakeRecordFont(WrapFontRecord& record, int nPixelsY, int nZoom, HDC hdcMeasure)
{
    if (record.hFont != NULL) {
        ::DeleteObject(record.hFont);
        record.hFont = NULL;
    }
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(MulDiv(record.nSize, nZoom, 100), nPixelsY, 72);
    lf.lfWeight = (record.nStyle & WRAP_STYLE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (record.nStyle & WRAP_STYLE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (record.nStyle & WRAP_STYLE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (record.nStyle & WRAP_STYLE_STRIKEOUT) ? 1 : 0;
    lf.lfCharSet = record.nCharSet;
    const int nFace = std::min(record.strFace.GetLength(), LF_FACESIZE - 1);
    record.strFace.Std().copy(lf.lfFaceName, static_cast<size_t>(nFace));
    lf.lfFaceName[nFace] = '\0';
    record.hFont = ::CreateFontIndirect(&lf);

    record.nHeight = record.nAscent = record.nDescent = 0;
    if (hdcMeasure == NULL)
        return;
    HGDIOBJ hOld = ::SelectObject(hdcMeasure, WrapRecordFont(&record));
    TEXTMETRIC tm{};
    if (::GetTextMetrics(hdcMeasure, &tm)) {
        record.nHeight = tm.tmHeight;
        record.nAscent = tm.tmAscent;
        record.nDescent = tm.tmDescent;
    }
    if (hOld != NULL)
        ::SelectObject(hdcMeasure, hOld);
}

// A memory DC compatible with the screen, for fonts and metrics at the
// screen's resolution.
class ScreenMeasureDC {
public:
    ScreenMeasureDC() : m_hdc(::CreateCompatibleDC(NULL)) {}
    ~ScreenMeasureDC()
    {
        if (m_hdc != NULL)
            ::DeleteDC(m_hdc);
    }
    ScreenMeasureDC(const ScreenMeasureDC&) = delete;
    ScreenMeasureDC& operator=(const ScreenMeasureDC&) = delete;
    HDC Get() const { return m_hdc; }
    int PixelsY() const
    {
        const int n = m_hdc != NULL ? ::GetDeviceCaps(m_hdc, LOGPIXELSY) : 0;
        return n > 0 ? n : 96;
    }

private:
    HDC m_hdc;
};

// ---- Run lists ---------------------------------------------------------------------------

// What the list code needs of a run's value: colours compare by value, font
// records by identity (equal records are shared) and are counted.
struct ColorValue {
    using Run = WrapColorRun;
    static COLORREF Get(const Run& run) { return run.cr; }
    static void Set(Run& run, COLORREF cr) { run.cr = cr; }
    static void Hold(COLORREF) {}
    static void Release(COLORREF) {}
};

struct FontValue {
    using Run = WrapFontRun;
    static WrapFontRecord* Get(const Run& run) { return run.pFont; }
    static void Set(Run& run, WrapFontRecord* p) { run.pFont = p; }
    static void Hold(WrapFontRecord* p) { AddRef(p); }
    static void Release(WrapFontRecord* p) { ReleaseRecord(p); }
};

template <typename V>
void FreeList(typename V::Run*& pHead)
{
    while (pHead != nullptr) {
        typename V::Run* pNext = pHead->pNext;
        V::Release(V::Get(*pHead));
        delete pHead;
        pHead = pNext;
    }
}

// Removes every run but the default one (the last).
template <typename V>
void FreeSpecificRuns(typename V::Run*& pHead)
{
    while (pHead != nullptr && pHead->pNext != nullptr) {
        typename V::Run* pNext = pHead->pNext;
        V::Release(V::Get(*pHead));
        delete pHead;
        pHead = pNext;
    }
}

// Keeps a list in its one form for a look: a specific run with the default
// value goes (the default shows there anyway) and touching runs of the
// same value become one. Either way every character shows as before; the
// run string then reads back to the same runs, and a text looks the same
// whether or not it went through a file.
template <typename V>
void NormaliseRuns(typename V::Run*& pHead)
{
    using Run = typename V::Run;
    if (pHead == nullptr)
        return;
    const Run* pDefault = pHead;
    while (pDefault->pNext != nullptr)
        pDefault = pDefault->pNext;
    const auto defaultValue = V::Get(*pDefault);
    Run** ppLink = &pHead;
    while (*ppLink != pDefault) {
        Run* pRun = *ppLink;
        if (V::Get(*pRun) == defaultValue) {
            *ppLink = pRun->pNext;
            V::Release(V::Get(*pRun));
            delete pRun;
            continue;
        }
        Run* pNext = pRun->pNext;
        if (pNext != pDefault && V::Get(*pNext) == V::Get(*pRun) && static_cast<int>(pRun->wEnd) + 1 >= pNext->wStart) {
            pRun->wEnd = std::max(pRun->wEnd, pNext->wEnd);
            pRun->pNext = pNext->pNext;
            V::Release(V::Get(*pNext));
            delete pNext;
            continue;
        }
        ppLink = &pRun->pNext;
    }
}

// Inserts a run of value over s..e into a list that ends with its default
// run, taking over one reference of value. The runs it overlaps are cut,
// split or removed; a run that would change nothing is dropped.
template <typename V>
void InsertRun(typename V::Run*& pHead, WORD s, WORD e, decltype(V::Get(*pHead)) value)
{
    using Run = typename V::Run;
    Run* pDefault = pHead;
    while (pDefault->pNext != nullptr)
        pDefault = pDefault->pNext;

    bool bOverlaps = false;
    for (Run* pRun = pHead; pRun != pDefault; pRun = pRun->pNext) {
        if (pRun->wEnd < s || pRun->wStart > e)
            continue;
        if (pRun->wStart <= s && pRun->wEnd >= e && V::Get(*pRun) == value) {
            V::Release(value);
            return;
        }
        bOverlaps = true;
    }
    if (!bOverlaps && V::Get(*pDefault) == value) {
        V::Release(value);
        return;
    }

    // Cut what overlaps, remembering where the new run goes: after the last
    // run that starts before it.
    Run** ppLink = &pHead;
    Run* pInsertAfter = nullptr;
    while (*ppLink != pDefault) {
        Run* pRun = *ppLink;
        if (pRun->wEnd < s || pRun->wStart > e) {
            if (pRun->wStart < s)
                pInsertAfter = pRun;
            ppLink = &pRun->pNext;
            continue;
        }
        if (pRun->wStart >= s && pRun->wEnd <= e) {
            *ppLink = pRun->pNext;
            V::Release(V::Get(*pRun));
            delete pRun;
            continue;
        }
        if (pRun->wStart < s && pRun->wEnd > e) {
            // Split around the new run.
            auto* pTail = new Run;
            pTail->wStart = static_cast<WORD>(e + 1);
            pTail->wEnd = pRun->wEnd;
            V::Set(*pTail, V::Get(*pRun));
            V::Hold(V::Get(*pTail));
            pTail->pNext = pRun->pNext;
            pRun->wEnd = static_cast<WORD>(s - 1);
            pRun->pNext = pTail;
            pInsertAfter = pRun;
            ppLink = &pTail->pNext;
            continue;
        }
        if (pRun->wStart < s) {
            pRun->wEnd = static_cast<WORD>(s - 1);
            pInsertAfter = pRun;
        } else {
            pRun->wStart = static_cast<WORD>(e + 1);
        }
        ppLink = &pRun->pNext;
    }

    auto* pNew = new Run;
    pNew->wStart = s;
    pNew->wEnd = e;
    V::Set(*pNew, value);
    if (pInsertAfter == nullptr) {
        pNew->pNext = pHead;
        pHead = pNew;
    } else {
        pNew->pNext = pInsertAfter->pNext;
        pInsertAfter->pNext = pNew;
    }
    NormaliseRuns<V>(pHead);
}

// Moves the runs for n characters inserted at p: a run holding p grows, a
// run after it moves, a run ending before p stays.
template <typename V>
void ShiftRunsForInsert(typename V::Run* pHead, int p, int n)
{
    for (auto* pRun = pHead; pRun != nullptr && pRun->pNext != nullptr; pRun = pRun->pNext) {
        if (pRun->wEnd < p)
            continue;
        if (pRun->wStart > p)
            pRun->wStart = RaisePosition(pRun->wStart, n);
        pRun->wEnd = RaisePosition(pRun->wEnd, n);
    }
}

// Cuts the runs for the characters first..last removed.
template <typename V>
void CutRunsForDelete(typename V::Run*& pHead, int first, int last)
{
    using Run = typename V::Run;
    const int n = last - first + 1;
    Run** ppLink = &pHead;
    while (*ppLink != nullptr && (*ppLink)->pNext != nullptr) {
        Run* pRun = *ppLink;
        const int s = pRun->wStart;
        const int e = pRun->wEnd;
        if (e < first) {
            // Before the range: unchanged.
        } else if (s > last) {
            pRun->wStart = static_cast<WORD>(s - n);
            pRun->wEnd = static_cast<WORD>(e - n);
        } else if (s >= first && e <= last) {
            *ppLink = pRun->pNext;
            V::Release(V::Get(*pRun));
            delete pRun;
            continue;
        } else if (s < first && e <= last) {
            pRun->wEnd = static_cast<WORD>(first - 1);
        } else if (s < first) {
            pRun->wEnd = static_cast<WORD>(e - n);
        } else {
            pRun->wStart = static_cast<WORD>(first);
            pRun->wEnd = static_cast<WORD>(e - n);
        }
        ppLink = &pRun->pNext;
    }
    NormaliseRuns<V>(pHead);
}

template <typename Run>
const Run* RunAt(const Run* pHead, int nPosition)
{
    for (const Run* pRun = pHead; pRun != nullptr; pRun = pRun->pNext) {
        if (pRun->wStart <= nPosition && pRun->wEnd >= nPosition)
            return pRun;
    }
    return nullptr;
}

// ---- The run string reader ---------------------------------------------------------------

// Reads an unsigned decimal at pos (leading blanks allowed, as the stored
// form's own reader allows them). FALSE when no digit is there; values past
// nMax read as nMax + 1 so the caller can tell them from good ones.
BOOL ReadNumber(const std::string& s, size_t& pos, unsigned long long nMax, unsigned long long& nValue)
{
    while (pos < s.size() && s[pos] == ' ')
        ++pos;
    if (pos >= s.size() || s[pos] < '0' || s[pos] > '9')
        return FALSE;
    nValue = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        if (nValue <= nMax)
            nValue = nValue * 10 + static_cast<unsigned>(s[pos] - '0');
        ++pos;
    }
    nValue = std::min(nValue, nMax + 1);
    return TRUE;
}

// Reads count numbers separated by ","; what follows the last is ignored.
BOOL ReadNumbers(const std::string& s, unsigned long long* pValues, int nCount)
{
    size_t pos = 0;
    for (int i = 0; i < nCount; ++i) {
        if (i > 0) {
            if (pos >= s.size() || s[pos] != ',')
                return FALSE;
            ++pos;
        }
        if (!ReadNumber(s, pos, 0xFFFFFFFFull, pValues[i]))
            return FALSE;
    }
    return TRUE;
}

struct ColorEntry {
    COLORREF cr;
    WORD wStart;
    WORD wEnd;
};

struct FontEntry {
    CString strFace;
    int nCharSet;
    int nStyle;
    int nSize;
    WORD wStart;
    WORD wEnd;
};

// A run's range as read: positions clamped to the end mark; a range that
// runs backwards is no run.
BOOL ReadRange(unsigned long long nStart, unsigned long long nEnd, WORD& wStart, WORD& wEnd)
{
    wStart = ClampPosition(static_cast<long long>(std::min(nStart, 0xFFFFFFFFull)));
    wEnd = ClampPosition(static_cast<long long>(std::min(nEnd, 0xFFFFFFFFull)));
    return wStart <= wEnd;
}

// Splits the run string into its two groups. Each group is a list of
// "(...)" after one opening character; reading stops at the first group
// without its ")".
void ParseFormatString(const std::string& s, std::vector<ColorEntry>& colors, std::vector<FontEntry>& fonts)
{
    size_t pos = 1;
    while (pos < s.size() && s[pos] == '(') {
        const size_t close = s.find(')', pos + 1);
        if (close == std::string::npos)
            return;
        const std::string group = s.substr(pos + 1, close - pos - 1);
        unsigned long long v[3] = {};
        ColorEntry entry{};
        // (COLORREF)-1 marks selected characters: no run may hold it.
        if (ReadNumbers(group, v, 3) && v[0] < 0xFFFFFFFFull && ReadRange(v[1], v[2], entry.wStart, entry.wEnd)) {
            entry.cr = static_cast<COLORREF>(v[0]);
            colors.push_back(entry);
        }
        pos = close + 2;
    }
    ++pos; // the "[" of the font group
    while (pos < s.size() && s[pos] == '(') {
        const size_t close = s.find(')', pos + 1);
        if (close == std::string::npos)
            return;
        const std::string group = s.substr(pos + 1, close - pos - 1);
        const size_t comma = group.find(',');
        unsigned long long v[5] = {};
        FontEntry entry{};
        if (comma != std::string::npos && ReadNumbers(group.substr(comma + 1), v, 5)
            && ReadRange(v[3], v[4], entry.wStart, entry.wEnd)) {
            entry.strFace = CleanFace(CString(std::string_view(group).substr(0, comma)));
            entry.nCharSet = static_cast<int>(std::min(v[0], 255ull));
            entry.nStyle = static_cast<int>(v[1] & kStyleBits);
            entry.nSize = static_cast<int>(std::clamp<unsigned long long>(v[2], kMinPoints, kMaxPoints));
            fonts.push_back(entry);
        }
        if (s.size() - pos <= close - pos + 2)
            return;
        pos = close + 2;
    }
}

bool IsWholeRange(int nStart, int nEnd)
{
    return nStart == 0 && nEnd == kWrapTextEnd;
}

} // namespace

// ---- CWrapData ---------------------------------------------------------------------------

CWrapData::CWrapData()
{
    m_crBackground = ::GetSysColor(COLOR_WINDOW);
}

CWrapData::~CWrapData()
{
    FreeList<ColorValue>(m_pColorRuns);
    FreeList<FontValue>(m_pFontRuns);
    m_pDefaultFontRun = nullptr;
    delete m_pLines;
}

void CWrapData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_rectLayout.left) << static_cast<LONG>(m_rectLayout.top)
           << static_cast<LONG>(m_rectLayout.right) << static_cast<LONG>(m_rectLayout.bottom);
        ar << static_cast<DWORD>(m_bWordWrap) << static_cast<DWORD>(m_bHyphenate)
           << static_cast<DWORD>(m_bLayoutStale) << m_wJustification << m_dLineSpacing;
        return;
    }
    // Designs before version 25 have no layout settings: the defaults stay.
    if (GetDesignArchiveInfo(ar).nVersion < 25)
        return;
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    ar >> left >> top >> right >> bottom;
    m_rectLayout = CRect(left, top, right, bottom);
    DWORD dw = 0;
    ar >> dw;
    m_bWordWrap = dw != 0 ? TRUE : FALSE;
    ar >> dw;
    m_bHyphenate = dw != 0 ? TRUE : FALSE;
    ar >> dw;
    m_bLayoutStale = dw != 0 ? TRUE : FALSE;
    double dSpacing = 1.0;
    ar >> m_wJustification >> dSpacing;
    m_dLineSpacing = ValidLineSpacing(dSpacing);
}

// ---- CWrapText: construction -------------------------------------------------------------

namespace {

// What the text operations share: the data marked changed and its line
// table emptied.
void Invalidate(CWrapData& data)
{
    if (data.m_pLines != nullptr)
        data.m_pLines->lines.clear();
    data.m_nLineCount = 0;
    data.m_bLayoutStale = TRUE;
}

// The record of the list with this face, size and style (the character set
// is not compared), counted up; else a new record with its font made for
// the screen at the owner's zoom.
WrapFontRecord* AcquireRecord(const CWrapData& data, LPCTSTR lpszFace, int nSize, int nCharSet, int nStyle)
{
    const CString face = CleanFace(lpszFace);
    const int nPoints = std::clamp(nSize, kMinPoints, kMaxPoints);
    const int nBits = nStyle & kStyleBits;
    for (const WrapFontRun* pRun = data.m_pFontRuns; pRun != nullptr; pRun = pRun->pNext) {
        WrapFontRecord* pRecord = pRun->pFont;
        if (pRecord != nullptr && pRecord->nSize == nPoints && pRecord->nStyle == nBits
            && pRecord->strFace.Compare(face) == 0)
            return AddRef(pRecord);
    }
    auto* pRecord = new WrapFontRecord;
    pRecord->strFace = face;
    pRecord->nSize = nPoints;
    pRecord->nStyle = nBits;
    pRecord->nCharSet = static_cast<BYTE>(std::clamp(nCharSet, 0, 255));
    pRecord->nRefs = 1;
    ScreenMeasureDC screen;
    MakeRecordFont(*pRecord, screen.PixelsY(), TextOwnerZoom(data.m_pOwner), screen.Get());
    return pRecord;
}

void EnsureDefaultColorRun(CWrapData& data)
{
    if (data.m_pColorRuns != nullptr)
        return;
    data.m_pColorRuns = new WrapColorRun;
    data.m_pColorRuns->wEnd = kWrapTextEnd;
    data.m_pColorRuns->cr = ::GetSysColor(COLOR_WINDOWTEXT);
}

// Gives the default font run the record (taking over its reference), making
// the run first when there is none.
void SetDefaultRecord(CWrapData& data, WrapFontRecord* pRecord)
{
    if (data.m_pDefaultFontRun == nullptr) {
        auto* pRun = new WrapFontRun;
        pRun->wEnd = kWrapTextEnd;
        pRun->pFont = pRecord;
        WrapFontRun** ppLink = &data.m_pFontRuns;
        while (*ppLink != nullptr)
            ppLink = &(*ppLink)->pNext;
        *ppLink = pRun;
        data.m_pDefaultFontRun = pRun;
        return;
    }
    WrapFontRecord* pOld = data.m_pDefaultFontRun->pFont;
    data.m_pDefaultFontRun->pFont = pRecord;
    ReleaseRecord(pOld);
    NormaliseRuns<FontValue>(data.m_pFontRuns);
}

} // namespace

CWrapText::CWrapText(CDrawObj* pOwner)
    : m_pData(new CWrapData)
{
    m_pData->m_pOwner = pOwner;
    m_pData->m_crBackground = TextOwnerBackground(pOwner);
    EnsureDefaultColorRun(*m_pData);
    SetDefaultRecord(*m_pData, AcquireRecord(*m_pData, kDefaultFace, kDefaultPoints, kDefaultCharSet, 0));
}

CWrapText::~CWrapText()
{
    delete m_pData;
}

void CWrapText::CopyFrom(const CWrapText& other)
{
    if (&other == this)
        return;
    const CWrapData& from = *other.m_pData;
    CWrapData& to = *m_pData;
    to.m_strText = from.m_strText;
    to.m_rectLayout = from.m_rectLayout;
    to.m_bWordWrap = from.m_bWordWrap;
    to.m_bHyphenate = from.m_bHyphenate;
    to.m_wSelStart = from.m_wSelStart;
    to.m_wSelEnd = from.m_wSelEnd;
    to.m_wJustification = from.m_wJustification;
    to.m_dLineSpacing = from.m_dLineSpacing;
    to.m_crBackground = from.m_crBackground;

    FreeList<ColorValue>(to.m_pColorRuns);
    WrapColorRun** ppColor = &to.m_pColorRuns;
    for (const WrapColorRun* pRun = from.m_pColorRuns; pRun != nullptr; pRun = pRun->pNext) {
        *ppColor = new WrapColorRun{pRun->wStart, pRun->wEnd, pRun->cr, nullptr};
        ppColor = &(*ppColor)->pNext;
    }

    // Each text has records of its own: their fonts follow its owner's zoom.
    FreeList<FontValue>(to.m_pFontRuns);
    to.m_pDefaultFontRun = nullptr;
    std::vector<std::pair<const WrapFontRecord*, WrapFontRecord*>> copied;
    WrapFontRun** ppFont = &to.m_pFontRuns;
    for (const WrapFontRun* pRun = from.m_pFontRuns; pRun != nullptr; pRun = pRun->pNext) {
        WrapFontRecord* pRecord = nullptr;
        if (pRun->pFont != nullptr) {
            auto it = std::find_if(copied.begin(), copied.end(), [&](const auto& pair) { return pair.first == pRun->pFont; });
            if (it != copied.end()) {
                pRecord = AddRef(it->second);
            } else {
                const WrapFontRecord& source = *pRun->pFont;
                pRecord = new WrapFontRecord;
                pRecord->strFace = source.strFace;
                pRecord->nSize = source.nSize;
                pRecord->nStyle = source.nStyle;
                pRecord->nCharSet = source.nCharSet;
                pRecord->nRefs = 1;
                ScreenMeasureDC screen;
                MakeRecordFont(*pRecord, screen.PixelsY(), TextOwnerZoom(to.m_pOwner), screen.Get());
                copied.emplace_back(pRun->pFont, pRecord);
            }
        }
        *ppFont = new WrapFontRun{pRun->wStart, pRun->wEnd, pRecord, nullptr};
        if (pRun == from.m_pDefaultFontRun)
            to.m_pDefaultFontRun = *ppFont;
        ppFont = &(*ppFont)->pNext;
    }
    Invalidate(to);
}

// ---- Text ----------------------------------------------------------------------------------

void CWrapText::SetText(const CString& strText)
{
    CString text = Normalize(strText);
    if (text.GetLength() > kWrapMaxLength)
        text = text.Left(kWrapMaxLength);
    m_pData->m_strText = text;
    FreeSpecificRuns<ColorValue>(m_pData->m_pColorRuns);
    FreeSpecificRuns<FontValue>(m_pData->m_pFontRuns);
    Invalidate(*m_pData);
}

CString CWrapText::GetText() const
{
    return m_pData->m_strText;
}

int CWrapText::GetLength() const
{
    return m_pData->m_strText.GetLength();
}

char CWrapText::CharAt(int nPosition) const
{
    if (nPosition < 0 || nPosition >= GetLength())
        return ' ';
    return m_pData->m_strText[nPosition];
}

namespace {

// Inserts normalised text, the limit already checked.
void InsertNormalised(CWrapData& data, const CString& text, int nPosition)
{
    if (text.IsEmpty())
        return;
    CString& str = data.m_strText;
    const int nLength = str.GetLength();
    const int nAt = (nPosition < 0 || nPosition >= nLength) ? nLength : nPosition;
    str = str.Left(nAt) + text + str.Mid(nAt);
    ShiftRunsForInsert<ColorValue>(data.m_pColorRuns, nAt, text.GetLength());
    ShiftRunsForInsert<FontValue>(data.m_pFontRuns, nAt, text.GetLength());
    Invalidate(data);
}

} // namespace

BOOL CWrapText::InsertText(const CString& strText, int nPosition)
{
    const CString text = Normalize(strText);
    if (text.GetLength() > kWrapMaxLength - GetLength()) {
        ::MessageBeep(MB_OK);
        return FALSE;
    }
    InsertNormalised(*m_pData, text, nPosition);
    return TRUE;
}

BOOL CWrapText::InsertChar(char ch, int nPosition)
{
    return InsertText(CString(ch, 1), nPosition);
}

void CWrapText::DeleteRange(int nFirst, int nLast)
{
    const int nLength = GetLength();
    if (nLast < 0 || nLast >= nLength)
        nLast = nLength - 1;
    nFirst = std::max(nFirst, 0);
    if (nLast - nFirst + 1 <= 0)
        return;
    CWrapData& data = *m_pData;
    if (nFirst == 0 && nLast == nLength - 1) {
        // An emptied text keeps the look of its first character.
        const COLORREF cr = GetColorAt(0, FALSE);
        WrapFontRecord* pRecord = AddRef(GetFontRecordAt(0));
        data.m_strText.Empty();
        FreeList<ColorValue>(data.m_pColorRuns);
        FreeList<FontValue>(data.m_pFontRuns);
        data.m_pDefaultFontRun = nullptr;
        EnsureDefaultColorRun(data);
        data.m_pColorRuns->cr = cr;
        if (pRecord != nullptr)
            SetDefaultRecord(data, pRecord);
        Invalidate(data);
        return;
    }
    data.m_strText.Delete(nFirst, nLast - nFirst + 1);
    CutRunsForDelete<ColorValue>(data.m_pColorRuns, nFirst, nLast);
    CutRunsForDelete<FontValue>(data.m_pFontRuns, nFirst, nLast);
    Invalidate(data);
}

int CWrapText::ReplaceText(const CString& strText, int nFirst, int nLast)
{
    const int nLength = GetLength();
    nFirst = std::clamp(nFirst, 0, nLength);
    nLast = std::min(nLast, nLength - 1);
    const int nRemoved = std::max(nLast - nFirst + 1, 0);
    const CString text = Normalize(strText);
    // Judged on the net length, so replacing a selection of a full text
    // with as many characters is allowed.
    if (text.GetLength() > kWrapMaxLength - (nLength - nRemoved)) {
        ::MessageBeep(MB_OK);
        return -1;
    }
    InsertNormalised(*m_pData, text, nFirst);
    const int nInserted = text.GetLength();
    if (nRemoved > 0)
        DeleteRange(nFirst + nInserted, nLast + nInserted);
    return nFirst + nInserted;
}

// ---- Runs ----------------------------------------------------------------------------------

void CWrapText::SetColor(COLORREF crColor, int nStart, int nEnd)
{
    // (COLORREF)-1 marks selected characters when drawing: no run holds it.
    if (crColor == static_cast<COLORREF>(-1))
        return;
    CWrapData& data = *m_pData;
    EnsureDefaultColorRun(data);
    if (IsWholeRange(nStart, nEnd)) {
        WrapColorRun* pDefault = data.m_pColorRuns;
        while (pDefault->pNext != nullptr)
            pDefault = pDefault->pNext;
        pDefault->cr = crColor;
        NormaliseRuns<ColorValue>(data.m_pColorRuns);
    } else {
        const WORD s = ClampPosition(nStart);
        const WORD e = ClampPosition(nEnd);
        if (s > e)
            return;
        InsertRun<ColorValue>(data.m_pColorRuns, s, e, crColor);
    }
    data.m_bLayoutStale = TRUE;
}

void CWrapText::SetDefaultFont(LPCTSTR lpszFace, int nSize, int nCharSet, int nStyle)
{
    SetDefaultRecord(*m_pData, AcquireRecord(*m_pData, lpszFace, nSize, nCharSet, nStyle));
    m_pData->m_bLayoutStale = TRUE;
}

void CWrapText::AddFontRun(LPCTSTR lpszFace, int nSize, int nStart, int nEnd, int nCharSet, int nStyle)
{
    if (IsWholeRange(nStart, nEnd)) {
        SetDefaultFont(lpszFace, nSize, nCharSet, nStyle);
        return;
    }
    const WORD s = ClampPosition(nStart);
    const WORD e = ClampPosition(nEnd);
    if (s > e)
        return;
    CWrapData& data = *m_pData;
    if (data.m_pDefaultFontRun == nullptr)
        SetDefaultRecord(data, AcquireRecord(data, kDefaultFace, kDefaultPoints, kDefaultCharSet, 0));
    InsertRun<FontValue>(data.m_pFontRuns, s, e, AcquireRecord(data, lpszFace, nSize, nCharSet, nStyle));
    data.m_bLayoutStale = TRUE;
}

void CWrapText::SetFontRange(int nFirst, int nLast, LPCTSTR lpszFace, int nSize, int nStyleMask)
{
    CWrapData& data = *m_pData;
    nSize = std::abs(nSize);
    const CString face(lpszFace != nullptr ? lpszFace : "");
    const int nMask = nStyleMask & kStyleBits;
    const WrapFontRecord* pDefault = GetFontRecordAt(-1);
    if (GetLength() == 0) {
        SetDefaultFont(face.IsEmpty() && pDefault != nullptr ? LPCTSTR(pDefault->strFace) : LPCTSTR(face),
            nSize != 0 ? nSize : (pDefault != nullptr ? pDefault->nSize : kDefaultPoints), kDefaultCharSet,
            (pDefault != nullptr ? pDefault->nStyle : 0) ^ nMask);
        return;
    }
    const WORD wFirst = ClampPosition(std::max(nFirst, 0));
    const WORD wLast = ClampPosition(nLast < 0 ? kWrapTextEnd : nLast);
    if (wFirst > wLast)
        return;

    // Every piece of first..last with the font it has now, the stretches no
    // specific run covers with the default font; then each piece gets its
    // changed font. The pieces are gathered first since adding runs
    // rewrites the list.
    struct Piece {
        WORD wStart;
        WORD wEnd;
        CString strFace;
        int nSize;
        int nCharSet;
        int nStyle;
    };
    std::vector<Piece> pieces;
    auto addPiece = [&](int s, int e, const WrapFontRecord* pRecord) {
        if (s > e)
            return;
        Piece piece{static_cast<WORD>(s), static_cast<WORD>(e), kDefaultFace, kDefaultPoints, 0, 0};
        if (pRecord != nullptr) {
            piece.strFace = pRecord->strFace;
            piece.nSize = pRecord->nSize;
            piece.nCharSet = pRecord->nCharSet;
            piece.nStyle = pRecord->nStyle;
        }
        pieces.push_back(piece);
    };
    int nCovered = wFirst; // the first position not yet given a piece
    for (const WrapFontRun* pRun = data.m_pFontRuns; pRun != nullptr && pRun->pNext != nullptr; pRun = pRun->pNext) {
        if (pRun->wEnd < wFirst || pRun->wStart > wLast)
            continue;
        const int s = std::max<int>(pRun->wStart, wFirst);
        const int e = std::min<int>(pRun->wEnd, wLast);
        addPiece(nCovered, s - 1, pDefault);
        addPiece(s, e, pRun->pFont);
        nCovered = e + 1;
    }
    addPiece(nCovered, wLast, pDefault);

    for (const Piece& piece : pieces) {
        AddFontRun(face.IsEmpty() ? LPCTSTR(piece.strFace) : LPCTSTR(face), nSize != 0 ? nSize : piece.nSize,
            piece.wStart, piece.wEnd, piece.nCharSet, piece.nStyle ^ nMask);
    }
}

void CWrapText::GetFontAt(int nPosition, CString& strFace, int& nSize, int& nCharSet, int& nStyle) const
{
    const WrapFontRecord* pRecord = GetFontRecordAt(nPosition);
    if (pRecord == nullptr) {
        strFace = kDefaultFace;
        nSize = kDefaultPoints;
        nCharSet = 0;
        nStyle = 0;
        return;
    }
    strFace = pRecord->strFace;
    nSize = pRecord->nSize;
    nCharSet = pRecord->nCharSet;
    nStyle = pRecord->nStyle;
}

WrapFontRecord* CWrapText::GetFontRecordAt(int nPosition) const
{
    if (nPosition == -1)
        return m_pData->m_pDefaultFontRun != nullptr ? m_pData->m_pDefaultFontRun->pFont : nullptr;
    const WrapFontRun* pRun = RunAt(m_pData->m_pFontRuns, nPosition);
    return pRun != nullptr ? pRun->pFont : nullptr;
}

COLORREF CWrapText::GetColorAt(int nPosition, BOOL bMarkSelection) const
{
    if (bMarkSelection && HasSel() && nPosition >= m_pData->m_wSelStart && nPosition < m_pData->m_wSelEnd)
        return static_cast<COLORREF>(-1);
    const WrapColorRun* pRun = RunAt(m_pData->m_pColorRuns, nPosition);
    return pRun != nullptr ? pRun->cr : ::GetSysColor(COLOR_WINDOWTEXT);
}

CString CWrapText::DefaultFormatString()
{
    CString str;
    str.Format("[(%lu,0,65000)][(Arial,1,0,24,0,65000)]", static_cast<unsigned long>(::GetSysColor(COLOR_WINDOWTEXT)));
    return str;
}

CString CWrapText::GetFormatString() const
{
    std::string out = "[";
    CString item;
    if (m_pData->m_pColorRuns == nullptr) {
        out += "(0,0,65000)";
    } else {
        for (const WrapColorRun* pRun = m_pData->m_pColorRuns; pRun != nullptr; pRun = pRun->pNext) {
            item.Format("(%lu,%u,%u)", static_cast<unsigned long>(pRun->cr), static_cast<unsigned>(pRun->wStart),
                static_cast<unsigned>(pRun->wEnd));
            if (pRun != m_pData->m_pColorRuns)
                out += ',';
            out += item.Std();
        }
    }
    out += "][";
    for (const WrapFontRun* pRun = m_pData->m_pFontRuns; pRun != nullptr; pRun = pRun->pNext) {
        // A run without a record (none is made so) still writes a whole group.
        const WrapFontRecord fallback;
        const WrapFontRecord& record = pRun->pFont != nullptr ? *pRun->pFont : fallback;
        item.Format("(%s,%u,%u,%u,%u,%u)", record.strFace.IsEmpty() ? "" : LPCTSTR(record.strFace),
            static_cast<unsigned>(record.nCharSet), static_cast<unsigned>(record.nStyle),
            static_cast<unsigned>(record.nSize), static_cast<unsigned>(pRun->wStart), static_cast<unsigned>(pRun->wEnd));
        if (pRun != m_pData->m_pFontRuns)
            out += ',';
        out += item.Std();
    }
    out += "]";
    return CString(std::string_view(out));
}

void CWrapText::SetFormatString(const CString& strFormat)
{
    if (strFormat.IsEmpty())
        return;
    std::vector<ColorEntry> colors;
    std::vector<FontEntry> fonts;
    ParseFormatString(strFormat.Std(), colors, fonts);
    // The default runs are written last but applied first: a run is dropped
    // when it matches the default it falls into, and that must be the
    // stored default, not the one the text had before reading.
    for (int nPass = 0; nPass < 2; ++nPass) {
        const bool bDefaults = nPass == 0;
        for (const ColorEntry& entry : colors) {
            if (IsWholeRange(entry.wStart, entry.wEnd) == bDefaults)
                SetColor(entry.cr, entry.wStart, entry.wEnd);
        }
        for (const FontEntry& entry : fonts) {
            if (IsWholeRange(entry.wStart, entry.wEnd) == bDefaults)
                AddFontRun(entry.strFace, entry.nSize, entry.wStart, entry.wEnd, entry.nCharSet, entry.nStyle);
        }
    }
    Invalidate(*m_pData);
}

void CWrapText::RefreshFonts(CDC* pDC)
{
    CWrapData& data = *m_pData;
    const bool bPrinter = pDC != nullptr && pDC->GetSafeHdc() != NULL
        && (pDC->IsPrinting() || pDC->GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER);
    ScreenMeasureDC screen;
    int nPixelsY = screen.PixelsY();
    int nZoom = TextOwnerZoom(data.m_pOwner);
    HDC hdcMeasure = screen.Get();
    if (bPrinter) {
        // The printer's device rectangle is in its own pixels: fonts follow
        // its resolution and not the screen's zoom.
        const int nPrinterY = pDC->GetDeviceCaps(LOGPIXELSY);
        if (nPrinterY > 0)
            nPixelsY = nPrinterY;
        nZoom = 100;
        hdcMeasure = pDC->m_hAttribDC != NULL ? pDC->m_hAttribDC : pDC->GetSafeHdc();
    }
    std::vector<const WrapFontRecord*> done;
    for (WrapFontRun* pRun = data.m_pFontRuns; pRun != nullptr; pRun = pRun->pNext) {
        if (pRun->pFont == nullptr || std::find(done.begin(), done.end(), pRun->pFont) != done.end())
            continue;
        MakeRecordFont(*pRun->pFont, nPixelsY, nZoom, hdcMeasure);
        done.push_back(pRun->pFont);
    }
}

HFONT WrapFallbackFont()
{
    return static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
}

// ---- Settings and selection ----------------------------------------------------------------

double CWrapText::GetScale() const
{
    return m_pData->m_dLineSpacing;
}

void CWrapText::SetScale(double dScale)
{
    m_pData->m_dLineSpacing = ValidLineSpacing(dScale);
    m_pData->m_bLayoutStale = TRUE;
}

WORD CWrapText::GetJustification() const
{
    return m_pData->m_wJustification;
}

void CWrapText::SetJustification(WORD wJustification)
{
    m_pData->m_wJustification = wJustification;
    m_pData->m_bLayoutStale = TRUE;
}

BOOL CWrapText::GetWordWrap() const
{
    return m_pData->m_bWordWrap;
}

void CWrapText::SetWordWrap(BOOL bWordWrap)
{
    m_pData->m_bWordWrap = bWordWrap ? TRUE : FALSE;
    m_pData->m_bLayoutStale = TRUE;
}

BOOL CWrapText::GetHyphenate() const
{
    return m_pData->m_bHyphenate;
}

void CWrapText::SetHyphenate(BOOL bHyphenate)
{
    m_pData->m_bHyphenate = bHyphenate ? TRUE : FALSE;
    m_pData->m_bLayoutStale = TRUE;
}

void CWrapText::SetSize(int nWidth, int nHeight)
{
    m_pData->m_rectLayout = CRect(0, 0, nWidth, nHeight);
    m_pData->m_bLayoutStale = TRUE;
}

BOOL CWrapText::NeedsLayout(int nWidth, int nHeight) const
{
    const CWrapData& data = *m_pData;
    return data.m_pLines == nullptr || data.m_nLineCount == 0 || data.m_bLayoutStale
        || data.m_rectLayout.Width() != nWidth || data.m_rectLayout.Height() != nHeight;
}

void CWrapText::GetSel(WORD& wStart, WORD& wEnd) const
{
    wStart = m_pData->m_wSelStart;
    wEnd = m_pData->m_wSelEnd;
}

void CWrapText::SetSel(WORD wStart, WORD wEnd)
{
    if (wStart == wEnd || wStart == kWrapNoSelection) {
        ClearSel();
        return;
    }
    const BOOL bHad = HasSel();
    m_pData->m_wSelStart = wStart;
    m_pData->m_wSelEnd = wEnd;
    m_pData->m_bLayoutStale = TRUE;
    // The caret and a selection never show together. Caret hiding counts,
    // so only the change from none to some hides it.
    if (!bHad && m_pData->m_pOwner != nullptr) {
        if (CTextEditWnd* pEditor = FindTextEditor(m_pData->m_pOwner); pEditor != nullptr && pEditor->GetSafeHwnd() != NULL)
            ::HideCaret(pEditor->GetSafeHwnd());
    }
}

BOOL CWrapText::HasSel() const
{
    return m_pData->m_wSelStart < kWrapNoSelection;
}

void CWrapText::ClearSel()
{
    const BOOL bHad = HasSel();
    m_pData->m_wSelStart = kWrapNoSelection;
    m_pData->m_wSelEnd = 0;
    m_pData->m_bLayoutStale = TRUE;
    if (bHad && m_pData->m_pOwner != nullptr) {
        if (CTextEditWnd* pEditor = FindTextEditor(m_pData->m_pOwner); pEditor != nullptr && pEditor->GetSafeHwnd() != NULL)
            ::ShowCaret(pEditor->GetSafeHwnd());
    }
}

void CWrapText::SetBackgroundColor(COLORREF cr)
{
    m_pData->m_crBackground = cr;
    m_pData->m_bLayoutStale = TRUE;
}

// ---- Stored form -----------------------------------------------------------------------

void CWrapText::Serialize(CArchive& ar)
{
    m_pData->Serialize(ar);
    if (ar.IsStoring()) {
        ar << GetText() << GetFormatString();
        return;
    }
    CString strText;
    ar >> strText;
    // Positions are 16-bit with marks at the top: a longer text is damaged.
    if (Normalize(strText).GetLength() > kWrapMaxLength)
        AfxThrowArchiveException(CArchiveException::generic);
    SetText(strText);
    CString strFormat;
    ar >> strFormat;
    SetFormatString(strFormat);
    // A text read is laid out afresh, whatever state it was stored in.
    m_pData->m_bLayoutStale = TRUE;
}
