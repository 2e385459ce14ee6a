// The print-preview DC: printer mapping mirrored onto the output device.

#include "platform/gdi/PreviewDc.h"

#include "platform/base/Arithmetic.h"
#include "platform/gdi/internal/DeviceContext.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <numeric>

IMPLEMENT_DYNAMIC(CPreviewDC, CDC)

namespace {

// Reduces a window-to-viewport ratio a:b so that both fit an extent (int,
// never 0), keeping their signs; precision goes only when nothing else fits.
void FitRatio(int64_t& a, int64_t& b)
{
    int64_t g = std::gcd(a, b);
    if (g > 1) {
        a /= g;
        b /= g;
    }
    constexpr int64_t kMax = std::numeric_limits<int>::max();
    while (std::llabs(a) > kMax || std::llabs(b) > kMax) {
        a /= 2;
        b /= 2;
    }
    if (a == 0)
        a = 1;
    if (b == 0)
        b = 1;
}

// A hatch on paper spans the printer dots of eight screen pixels; on the
// preview it is shown at the page's scale, so that its lines lie as close
// together as they will print. Zero puts back the output's own hatches.
void ShowHatchesAtPageScale(HDC output, HDC printer, int64_t num, int64_t den)
{
    platform::DeviceContext* out = output ? platform::LookupDc(output) : nullptr;
    if (!out)
        return;
    out->hatchCellX = 0;
    out->hatchCellY = 0;
    const platform::DeviceContext* page = printer ? platform::LookupDc(printer) : nullptr;
    const platform::DeviceCaps screen = platform::ScreenCaps();
    if (!page || num <= 0 || den <= 0 || screen.logPixelsX <= 0 || screen.logPixelsY <= 0
        || page->caps.logPixelsX <= 0 || page->caps.logPixelsY <= 0)
        return;
    const double scale = double(num) / double(den);
    // A preview smaller than the page keeps the screen's own cells, whose
    // lines a finer cell would drop here and there.
    out->hatchCellX = std::max(8.0, 8.0 * page->caps.logPixelsX / screen.logPixelsX * scale);
    out->hatchCellY = std::max(8.0, 8.0 * page->caps.logPixelsY / screen.logPixelsY * scale);
}

} // namespace

CPreviewDC::CPreviewDC()
{
    m_bPrinting = TRUE;
}

CPreviewDC::~CPreviewDC() = default;

void CPreviewDC::SetAttribDC(HDC hDC)
{
    CDC::SetAttribDC(hDC);
    m_saved.clear();
    MirrorMappingMode();
}

void CPreviewDC::SetOutputDC(HDC hDC)
{
    if (m_hDC != hDC)
        ShowHatchesAtPageScale(m_hDC, NULL, 0, 0);
    CDC::SetOutputDC(hDC);
    m_saved.clear();
    MirrorMappingMode();
}

void CPreviewDC::ReleaseAttribDC()
{
    CDC::ReleaseAttribDC();
    m_saved.clear();
}

void CPreviewDC::ReleaseOutputDC()
{
    ShowHatchesAtPageScale(m_hDC, NULL, 0, 0);
    CDC::ReleaseOutputDC();
    m_saved.clear();
}

void CPreviewDC::SetScaleRatio(int nNumerator, int nDenominator)
{
    if (nNumerator <= 0 || nDenominator <= 0)
        return;
    int64_t num = nNumerator;
    int64_t den = nDenominator;
    FitRatio(num, den);
    m_nScaleNum = int(num);
    m_nScaleDen = int(den);
    MirrorMappingMode();
}

void CPreviewDC::SetTopLeftOffset(SIZE sizeTop)
{
    m_sizeTopLeft = CSize(sizeTop.cx, sizeTop.cy);
    MirrorMappingMode();
}

void CPreviewDC::PrinterDPtoScreenDP(LPPOINT lpPoint) const
{
    lpPoint->x = MulDiv(lpPoint->x, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cx;
    lpPoint->y = MulDiv(lpPoint->y, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cy;
}

void CPreviewDC::MirrorMappingMode()
{
    if (!m_hDC || !m_hAttribDC || m_hDC == m_hAttribDC)
        return;
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    SIZE windowExt{1, 1};
    SIZE viewportExt{1, 1};
    ::GetWindowOrgEx(m_hAttribDC, &windowOrg);
    ::GetViewportOrgEx(m_hAttribDC, &viewportOrg);
    if (::GetMapMode(m_hAttribDC) != MM_TEXT) {
        ::GetWindowExtEx(m_hAttribDC, &windowExt);
        ::GetViewportExtEx(m_hAttribDC, &viewportExt);
    }
    // printer device = (L - windowOrg) * viewportExt / windowExt + viewportOrg
    // output device  = printer device * num / den + topLeft
    int64_t wx = int64_t(windowExt.cx) * m_nScaleDen;
    int64_t vx = int64_t(viewportExt.cx) * m_nScaleNum;
    int64_t wy = int64_t(windowExt.cy) * m_nScaleDen;
    int64_t vy = int64_t(viewportExt.cy) * m_nScaleNum;
    FitRatio(wx, vx);
    FitRatio(wy, vy);
    POINT origin = viewportOrg;
    PrinterDPtoScreenDP(&origin);

    ShowHatchesAtPageScale(m_hDC, m_hAttribDC, m_nScaleNum, m_nScaleDen);
    ::SetMapMode(m_hDC, MM_ANISOTROPIC);
    ::SetWindowOrgEx(m_hDC, windowOrg.x, windowOrg.y, NULL);
    ::SetWindowExtEx(m_hDC, int(wx), int(wy), NULL);
    ::SetViewportExtEx(m_hDC, int(vx), int(vy), NULL);
    ::SetViewportOrgEx(m_hDC, origin.x, origin.y, NULL);
}

int CPreviewDC::SaveDC()
{
    if (!m_hAttribDC)
        return m_hDC ? ::SaveDC(m_hDC) : 0;
    int id = ::SaveDC(m_hAttribDC);
    if (id == 0)
        return 0;
    int outputId = m_hDC && m_hDC != m_hAttribDC ? ::SaveDC(m_hDC) : 0;
    m_saved.push_back(SavedPair{id, outputId});
    return id;
}

BOOL CPreviewDC::RestoreDC(int nSavedDC)
{
    if (!m_hAttribDC)
        return m_hDC ? ::RestoreDC(m_hDC, nSavedDC) : FALSE;
    if (!::RestoreDC(m_hAttribDC, nSavedDC))
        return FALSE;
    // The output DC goes back to the state saved together with that one.
    int count = int(m_saved.size());
    int index = -1;
    if (nSavedDC < 0 && -nSavedDC <= count) {
        index = count + nSavedDC;
    } else {
        for (int i = 0; i < count; ++i) {
            if (m_saved[size_t(i)].attribId == nSavedDC) {
                index = i;
                break;
            }
        }
    }
    if (index >= 0) {
        int outputId = m_saved[size_t(index)].outputId;
        if (outputId > 0 && m_hDC)
            ::RestoreDC(m_hDC, outputId);
        m_saved.resize(size_t(index));
    }
    MirrorMappingMode();
    return TRUE;
}

int CPreviewDC::SetMapMode(int nMapMode)
{
    if (!m_hAttribDC)
        return CDC::SetMapMode(nMapMode);
    int previous = ::SetMapMode(m_hAttribDC, nMapMode);
    MirrorMappingMode();
    return previous;
}

CPoint CPreviewDC::SetViewportOrg(int x, int y)
{
    if (!m_hAttribDC)
        return CDC::SetViewportOrg(x, y);
    POINT previous{0, 0};
    ::SetViewportOrgEx(m_hAttribDC, x, y, &previous);
    MirrorMappingMode();
    return CPoint(previous);
}

CPoint CPreviewDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    if (!m_hAttribDC)
        return CDC::OffsetViewportOrg(nWidth, nHeight);
    POINT previous{0, 0};
    ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &previous);
    MirrorMappingMode();
    return CPoint(previous);
}

CSize CPreviewDC::SetViewportExt(int cx, int cy)
{
    if (!m_hAttribDC)
        return CDC::SetViewportExt(cx, cy);
    SIZE previous{0, 0};
    ::SetViewportExtEx(m_hAttribDC, cx, cy, &previous);
    MirrorMappingMode();
    return CSize(previous);
}

CSize CPreviewDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (!m_hAttribDC)
        return CDC::ScaleViewportExt(xNum, xDenom, yNum, yDenom);
    SIZE previous{0, 0};
    ::ScaleViewportExtEx(m_hAttribDC, xNum, xDenom, yNum, yDenom, &previous);
    MirrorMappingMode();
    return CSize(previous);
}

CSize CPreviewDC::SetWindowExt(int cx, int cy)
{
    if (!m_hAttribDC)
        return CDC::SetWindowExt(cx, cy);
    SIZE previous{0, 0};
    ::SetWindowExtEx(m_hAttribDC, cx, cy, &previous);
    MirrorMappingMode();
    return CSize(previous);
}

CSize CPreviewDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (!m_hAttribDC)
        return CDC::ScaleWindowExt(xNum, xDenom, yNum, yDenom);
    SIZE previous{0, 0};
    ::ScaleWindowExtEx(m_hAttribDC, xNum, xDenom, yNum, yDenom, &previous);
    MirrorMappingMode();
    return CSize(previous);
}

BOOL IsPreviewDC(const CDC* pDC)
{
    return pDC && pDC->IsKindOf(RUNTIME_CLASS(CPreviewDC));
}
