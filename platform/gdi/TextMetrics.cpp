// Measuring text: text metrics, outline metrics, extents, character widths,
// ABC widths and justification. Fonts are measured at their device size
// (the LOGFONT height through the DC's mapping) and the answers converted
// back to the DC's logical units, as GDI does.

#include "platform/base/String.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/FontFace.h"
#include "platform/gdi/internal/GdiObjects.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// Lays out `count` positions: `metricsAt(i)` gives the glyph and measures of
// position i, `isBreak(i)` whether it is the font's break character.
template <class MetricsAt, class IsBreak>
bool LayOut(const DeviceContext& dc, int count, const INT* dx, TextRun& run, MetricsAt metricsAt, IsBreak isBreak)
{
    run = TextRun();
    if (count < 0 || count > kMaxTextLength)
        return false;
    FontObject& font = CurrentFont(dc);
    run.face = &RealiseFontFace(font);
    run.sized = SizedFontForDc(dc);
    run.advances.resize(size_t(count));
    if (run.sized) {
        run.glyphs.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            run.glyphs[size_t(i)] = metricsAt(i).glyphIndex;
    }
    if (dx) {
        // Convert the running position, not each step, so rounding does not
        // accumulate along the line.
        long long logical = 0;
        int previous = 0;
        for (int i = 0; i < count; ++i) {
            logical = std::clamp<long long>(logical + dx[i], INT_MIN / 2, INT_MAX / 2);
            int position = DeviceLengthX(dc, int(logical));
            run.advances[size_t(i)] = position - previous;
            previous = position;
        }
        run.width = previous;
        return true;
    }
    if (!run.sized)
        return true;
    int extra = dc.state.textCharExtra ? DeviceLengthX(dc, dc.state.textCharExtra) : 0;
    int breakShare = 0, breakRemainder = 0;
    if (dc.state.breakCount > 0 && dc.state.breakExtra != 0) {
        int total = DeviceLengthX(dc, dc.state.breakExtra);
        breakShare = total / dc.state.breakCount;
        breakRemainder = total % dc.state.breakCount;
    }
    for (int i = 0; i < count; ++i) {
        int advance = metricsAt(i).advance + extra;
        if ((breakShare || breakRemainder) && isBreak(i)) {
            advance += breakShare;
            // The pixels that do not divide evenly go to the first breaks.
            if (breakRemainder > 0) {
                ++advance;
                --breakRemainder;
            } else if (breakRemainder < 0) {
                --advance;
                ++breakRemainder;
            }
        }
        run.advances[size_t(i)] = advance;
        run.width += advance;
    }
    return true;
}

} // namespace

bool LayOutText(const DeviceContext& dc, const char* text, int count, const INT* dx, TextRun& run)
{
    if (count > 0 && !text)
        return false;
    return LayOut(
        dc, count, dx, run,
        [&](int i) -> const CharMetrics& {
            return CharMetricsOf(*run.face, *run.sized, static_cast<unsigned char>(text[i]));
        },
        [&](int i) { return static_cast<unsigned char>(text[i]) == run.sized->tm.tmBreakChar; });
}

bool LayOutGlyphs(const DeviceContext& dc, const WORD* glyphs, int count, const INT* dx, TextRun& run)
{
    if (count > 0 && !glyphs)
        return false;
    return LayOut(
        dc, count, dx, run,
        [&](int i) -> const CharMetrics& { return GlyphMetricsOf(*run.face, *run.sized, glyphs[i]); },
        [&](int i) {
            return glyphs[i] == CharMetricsOf(*run.face, *run.sized, run.sized->tm.tmBreakChar).glyphIndex;
        });
}

} // namespace platform

using namespace platform;

namespace {

LONG LogicalX(const DeviceContext& dc, long long device)
{
    return LogicalLengthX(dc, int(std::clamp<long long>(device, INT_MIN / 2, INT_MAX / 2)));
}

LONG LogicalY(const DeviceContext& dc, long long device)
{
    return LogicalLengthY(dc, int(std::clamp<long long>(device, INT_MIN / 2, INT_MAX / 2)));
}

TEXTMETRIC LogicalMetrics(const DeviceContext& dc, const TEXTMETRIC& device)
{
    TEXTMETRIC tm = device;
    tm.tmHeight = LogicalY(dc, device.tmHeight);
    tm.tmAscent = LogicalY(dc, device.tmAscent);
    tm.tmDescent = LogicalY(dc, device.tmDescent);
    tm.tmInternalLeading = LogicalY(dc, device.tmInternalLeading);
    tm.tmExternalLeading = LogicalY(dc, device.tmExternalLeading);
    tm.tmAveCharWidth = LogicalX(dc, device.tmAveCharWidth);
    tm.tmMaxCharWidth = LogicalX(dc, device.tmMaxCharWidth);
    tm.tmOverhang = LogicalX(dc, device.tmOverhang);
    return tm;
}

// A face without a file (nothing installed at all) measures as empty.
TEXTMETRIC EmptyMetrics(const FontFace& face)
{
    TEXTMETRIC tm{};
    tm.tmWeight = face.weight;
    tm.tmFirstChar = 0x1E;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmPitchAndFamily = face.pitchAndFamily;
    tm.tmCharSet = face.charSet;
    return tm;
}

BOOL Extent(HDC hdc, LPCSTR text, int count, LPSIZE size)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    TextRun run;
    if (!size || !LayOutText(*dc, text, count, nullptr, run)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size->cx = LogicalX(*dc, run.width);
    size->cy = run.sized ? LogicalY(*dc, run.sized->tm.tmHeight) : 0;
    return TRUE;
}

// The characters first..last of a 1252 font, or false (invalid parameter).
bool CharRange(UINT first, UINT last)
{
    if (first > last || last > 0xFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

} // namespace

BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC lptm)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    if (!lptm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace& face = RealiseFontFace(CurrentFont(*dc));
    SizedFont* sized = SizedFontForDc(*dc);
    *lptm = sized ? LogicalMetrics(*dc, sized->tm) : EmptyMetrics(face);
    return TRUE;
}

BOOL GetTextExtentPoint(HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz)
{
    return Extent(hdc, lpString, c, lpsz);
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl)
{
    return Extent(hdc, lpString, c, psizl);
}

BOOL GetTextExtentExPoint(HDC hdc, LPCSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit, LPINT lpnDx,
    LPSIZE lpSize)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    TextRun run;
    if (!lpSize || !LayOutText(*dc, lpszString, cchString, nullptr, run)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    long long position = 0;
    int fit = 0;
    bool fitting = true;
    for (int i = 0; i < cchString; ++i) {
        position += run.advances[size_t(i)];
        LONG logical = LogicalX(*dc, position);
        if (lpnDx)
            lpnDx[i] = logical;
        if (fitting && (nMaxExtent < 0 || logical <= nMaxExtent))
            ++fit;
        else
            fitting = false;
    }
    if (lpnFit)
        *lpnFit = fit;
    lpSize->cx = LogicalX(*dc, run.width);
    lpSize->cy = run.sized ? LogicalY(*dc, run.sized->tm.tmHeight) : 0;
    return TRUE;
}

BOOL GetCharWidth(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    if (!lpBuffer || !CharRange(iFirst, iLast))
        return FALSE;
    FontFace& face = RealiseFontFace(CurrentFont(*dc));
    SizedFont* sized = SizedFontForDc(*dc);
    for (UINT ch = iFirst; ch <= iLast; ++ch)
        lpBuffer[ch - iFirst] = sized ? LogicalX(*dc, CharMetricsOf(face, *sized, (unsigned char)ch).advance) : 0;
    return TRUE;
}

BOOL GetCharWidth32(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer)
{
    return GetCharWidth(hdc, iFirst, iLast, lpBuffer);
}

BOOL GetCharABCWidths(HDC hdc, UINT wFirst, UINT wLast, LPABC lpABC)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    if (!lpABC || !CharRange(wFirst, wLast))
        return FALSE;
    FontFace& face = RealiseFontFace(CurrentFont(*dc));
    SizedFont* sized = SizedFontForDc(*dc);
    if (!sized) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (UINT ch = wFirst; ch <= wLast; ++ch) {
        const ABC& abc = CharMetricsOf(face, *sized, (unsigned char)ch).abc;
        ABC& out = lpABC[ch - wFirst];
        // Convert the edges, so that A + B + C stays the advance.
        int a = LogicalX(*dc, abc.abcA);
        int ab = LogicalX(*dc, abc.abcA + int(abc.abcB));
        int abc3 = LogicalX(*dc, abc.abcA + int(abc.abcB) + abc.abcC);
        out.abcA = a;
        out.abcB = UINT(std::max(0, ab - a));
        out.abcC = abc3 - a - int(out.abcB);
    }
    return TRUE;
}

// The glyph of each 1252 character in the DC's font; a character the font
// lacks gets its missing glyph (0), or 0xFFFF when asked to mark it.
DWORD GetGlyphIndices(HDC hdc, LPCSTR lpstr, int c, LPWORD pgi, DWORD fl)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return GDI_ERROR;
    if (c < 0 || c > kMaxTextLength || (c > 0 && (!lpstr || !pgi))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return GDI_ERROR;
    }
    FontFace& face = RealiseFontFace(CurrentFont(*dc));
    SizedFont* sized = SizedFontForDc(*dc);
    for (int i = 0; i < c; ++i) {
        unsigned glyph = sized ? CharMetricsOf(face, *sized, static_cast<unsigned char>(lpstr[i])).glyphIndex : 0;
        pgi[i] = glyph == 0 && (fl & GGI_MARK_NONEXISTING_GLYPHS) ? WORD(0xFFFF) : WORD(glyph);
    }
    return DWORD(c);
}

BOOL SetTextJustification(HDC hdc, int extra, int count)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    if (count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    dc->state.breakExtra = count == 0 ? 0 : extra;
    dc->state.breakCount = count;
    return TRUE;
}

// The record is followed by the family, face, style and full names, each
// ending in a zero; the name members hold their offsets from the record.
UINT GetOutlineTextMetrics(HDC hdc, UINT cjCopy, LPOUTLINETEXTMETRIC potm)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    FontFace& face = RealiseFontFace(CurrentFont(*dc));
    SizedFont* sized = SizedFontForDc(*dc);
    FT_Face ft = sized ? ActivateSize(face, *sized) : nullptr;
    if (!ft) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string family = face.familyName;
    std::string faceName = face.faceName;
    std::string style = face.styleName;
    std::string full = family;
    if (!style.empty() && style != "Regular")
        full += " " + style;
    const size_t size = sizeof(OUTLINETEXTMETRIC) + family.size() + faceName.size() + style.size() + full.size() + 4;
    if (!potm)
        return UINT(size);

    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
    auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(ft, FT_SFNT_POST));
    auto* head = static_cast<TT_Header*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HEAD));
    bool hasOs2 = os2 && os2->version != 0xFFFF;
    const double upem = ft->units_per_EM;
    const double yScale = sized->ppem / upem;
    const double xScale = sized->xScale26_6 / 64.0 / upem;
    auto y = [&](long v) { return int(LogicalY(*dc, std::lround(v * yScale))); };
    auto x = [&](long v) { return int(LogicalX(*dc, std::lround(v * xScale))); };

    std::vector<unsigned char> buffer(size, 0);
    OUTLINETEXTMETRIC otm{};
    otm.otmSize = UINT(size);
    otm.otmTextMetrics = LogicalMetrics(*dc, sized->tm);
    if (hasOs2)
        std::memcpy(&otm.otmPanoseNumber, os2->panose, sizeof(PANOSE));
    UINT selection = 0;
    if (face.log.lfItalic || (ft->style_flags & FT_STYLE_FLAG_ITALIC))
        selection |= 0x01;
    if (face.log.lfUnderline)
        selection |= 0x02;
    if (face.log.lfStrikeOut)
        selection |= 0x10;
    if (face.weight >= FW_SEMIBOLD)
        selection |= 0x20;
    otm.otmfsSelection = selection;
    otm.otmfsType = hasOs2 ? os2->fsType : 0;
    otm.otmsCharSlopeRise = hhea ? hhea->caret_Slope_Rise : 1;
    otm.otmsCharSlopeRun = hhea ? hhea->caret_Slope_Run : 0;
    otm.otmItalicAngle = post ? int(std::lround((post->italicAngle / 65536.0) * 10.0)) : 0;
    otm.otmEMSquare = ft->units_per_EM;
    otm.otmAscent = hasOs2 ? y(os2->sTypoAscender) : y(ft->ascender);
    otm.otmDescent = hasOs2 ? y(os2->sTypoDescender) : y(ft->descender);
    if (otm.otmDescent > 0 && (hasOs2 ? os2->sTypoDescender : ft->descender) < 0)
        otm.otmDescent = -otm.otmDescent;
    otm.otmLineGap = UINT(std::max(0, hasOs2 ? y(os2->sTypoLineGap) : 0));
    otm.otmsCapEmHeight = UINT(std::max(0, hasOs2 && os2->version >= 2 ? y(os2->sCapHeight) : 0));
    otm.otmsXHeight = UINT(std::max(0, hasOs2 && os2->version >= 2 ? y(os2->sxHeight) : 0));
    otm.otmrcFontBox = RECT{x(ft->bbox.xMin), y(ft->bbox.yMax), x(ft->bbox.xMax), -y(-ft->bbox.yMin)};
    otm.otmMacAscent = hhea ? y(hhea->Ascender) : 0;
    otm.otmMacDescent = hhea ? -y(-hhea->Descender) : 0;
    otm.otmMacLineGap = UINT(std::max(0, hhea ? y(hhea->Line_Gap) : 0));
    otm.otmusMinimumPPEM = head ? head->Lowest_Rec_PPEM : 0;
    if (hasOs2) {
        otm.otmptSubscriptSize = POINT{x(os2->ySubscriptXSize), y(os2->ySubscriptYSize)};
        otm.otmptSubscriptOffset = POINT{x(os2->ySubscriptXOffset), y(os2->ySubscriptYOffset)};
        otm.otmptSuperscriptSize = POINT{x(os2->ySuperscriptXSize), y(os2->ySuperscriptYSize)};
        otm.otmptSuperscriptOffset = POINT{x(os2->ySuperscriptXOffset), y(os2->ySuperscriptYOffset)};
    }
    otm.otmsStrikeoutSize = UINT(LogicalY(*dc, sized->strikeoutThickness));
    otm.otmsStrikeoutPosition = LogicalY(*dc, sized->strikeoutPosition);
    otm.otmsUnderscoreSize = LogicalY(*dc, sized->underlineThickness);
    otm.otmsUnderscorePosition = LogicalY(*dc, sized->underlinePosition);

    size_t offset = sizeof(OUTLINETEXTMETRIC);
    auto place = [&](const std::string& text) {
        std::memcpy(buffer.data() + offset, text.data(), text.size());
        LPSTR member = reinterpret_cast<LPSTR>(static_cast<uintptr_t>(offset));
        offset += text.size() + 1;
        return member;
    };
    otm.otmpFamilyName = place(family);
    otm.otmpFaceName = place(faceName);
    otm.otmpStyleName = place(style);
    otm.otmpFullName = place(full);
    std::memcpy(buffer.data(), &otm, sizeof(otm));

    size_t n = std::min<size_t>(cjCopy, size);
    std::memcpy(potm, buffer.data(), n);
    return UINT(n);
}

// ---- The class library ------------------------------------------------------------

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& str) const
{
    return GetTextExtent(str, str.GetLength());
}

CSize CDC::GetOutputTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32(m_hDC, lpszString, nCount, &size);
    return CSize(size);
}

CSize CDC::GetOutputTextExtent(const CString& str) const
{
    return GetOutputTextExtent(str, str.GetLength());
}

int CDC::SetTextJustification(int nBreakExtra, int nBreakCount)
{
    int result = 0;
    if (m_hDC != m_hAttribDC && m_hDC)
        result = ::SetTextJustification(m_hDC, nBreakExtra, nBreakCount);
    if (m_hAttribDC)
        result = ::SetTextJustification(m_hAttribDC, nBreakExtra, nBreakCount);
    return result;
}
