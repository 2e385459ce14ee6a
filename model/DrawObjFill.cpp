#include "model/DrawObj.h"

#include "app/Paths.h"
#include "app/RectGeometry.h"
#include "model/ObjectAttributes.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

BYTE Blend(BYTE first, BYTE last, int64_t i, int64_t n)
{
    return static_cast<BYTE>(first + (static_cast<int64_t>(last) - first) * i / n);
}

} // namespace

void CDrawObj::PaintFill(CDC* pDC, const CRect& rectFill, const CFillInfo& fill)
{
    // Colours only: text that its object fills with a picture has that
    // picture drawn instead by the text's owner (OwnerPaintFill).
    if (pDC == nullptr)
        return;
    // Mode and amount come from files: a mode outside 2..4 has no colours,
    // and a segment never needs more strips than it has device pixels.
    const int nMode = std::clamp<int>(fill.m_wMode, 2, 4);
    const int nSegments = nMode - 1;
    COLORREF colors[4];
    int nColors = 0;
    colors[nColors++] = fill.m_crFirst;
    if (nMode >= 3)
        colors[nColors++] = fill.m_crSecond;
    if (nMode >= 4)
        colors[nColors++] = fill.m_crThird;
    colors[nColors++] = fill.m_crFourth;

    const BOOL bVertical = fill.m_nKind == 1;
    if (bVertical ? IsMirroredY() : IsMirroredX())
        std::reverse(colors, colors + nColors);

    const CRect rect = NormalizeUp(rectFill);
    // Along the axis from the first colour's side: left, or bottom for kind 1.
    const int nStart = bVertical ? rect.bottom : rect.left;
    const int nEnd = bVertical ? rect.top : rect.right;
    const int nExtent = nEnd - nStart;
    if (nExtent <= 0)
        return;
    const int nSegExtent = nExtent / nSegments + 1;
    const int nAsked = std::max(1, fill.m_nAmount / nSegments);

    const int nAngle = GetRoundedAngle();
    const BOOL bTurned = nAngle >= 1 && nAngle <= 359;
    const int nTurn = HasText() ? -nAngle : nAngle;
    const POINT pivot = GetRectCenter(rect.left, rect.top, rect.right, rect.bottom);

    const int nSaved = pDC->SaveDC();
    pDC->SelectStockObject(NULL_PEN);
    for (int s = 0; s < nSegments; ++s) {
        const int nSegStart = nStart + s * nSegExtent;
        const int nSegEnd = std::min(nSegStart + nSegExtent, nEnd);
        if (nSegEnd <= nSegStart)
            continue;
        POINT ends[2] = {bVertical ? POINT{rect.left, nSegStart} : POINT{nSegStart, rect.bottom},
            bVertical ? POINT{rect.left, nSegEnd} : POINT{nSegEnd, rect.bottom}};
        pDC->LPtoDP(ends, 2);
        const int nPixels
            = std::max<int>(1, bVertical ? std::abs(ends[1].y - ends[0].y) : std::abs(ends[1].x - ends[0].x));
        const COLORREF first = colors[s];
        const COLORREF last = colors[s + 1];
        // More strips than the colours a segment can show only repeat their
        // neighbours' colours: one strip per colour looks the same to within
        // a strip's width, and an amount from a file asking for millions of
        // strips across a huge object costs no more than the colours.
        const int nLevels = 1
            + std::max({std::abs(GetRValue(last) - GetRValue(first)), std::abs(GetGValue(last) - GetGValue(first)),
                std::abs(GetBValue(last) - GetBValue(first))});
        const int nStrips = std::clamp(nAsked, 1, std::min(nPixels, nLevels));
        const int64_t nLength = nSegEnd - nSegStart;
        for (int i = 0; i < nStrips; ++i) {
            const int a = nSegStart + static_cast<int>(nLength * i / nStrips);
            const int b = nSegStart + static_cast<int>(nLength * (i + 1) / nStrips);
            if (b <= a)
                continue;
            COLORREF color = first;
            if (nStrips > 1) {
                color = RGB(Blend(GetRValue(first), GetRValue(last), i, nStrips - 1),
                    Blend(GetGValue(first), GetGValue(last), i, nStrips - 1),
                    Blend(GetBValue(first), GetBValue(last), i, nStrips - 1));
            }
            CBrush brush;
            if (!brush.CreateSolidBrush(color))
                continue;
            const CRect strip = bVertical ? CRect(rect.left, b, rect.right, a) : CRect(a, rect.top, b, rect.bottom);
            if (bTurned) {
                POINT corners[4] = {{strip.left, strip.top}, {strip.right, strip.top}, {strip.right, strip.bottom},
                    {strip.left, strip.bottom}};
                RotatePoints(pivot, corners, 4, nTurn, FALSE);
                CBrush* pOld = pDC->SelectObject(&brush);
                pDC->Polygon(corners, 4);
                pDC->SelectObject(pOld);
            } else {
                pDC->FillRect(&strip, &brush);
            }
        }
    }
    pDC->RestoreDC(nSaved);
}
