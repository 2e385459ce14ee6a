// The small picture of a surface that a design file keeps (and that other
// windows show): the page with its objects at a zoom that fits a wanted size.

#include "surface/Surface.h"

#include "app/Utilities.h"
#include "app/main/DesignerApp.h"
#include "controls/ProgressBar.h"
#include "controls/ProgressDlg.h"
#include "platform/gdi/Dc.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr WORD kFixedPreviewZoom = 75;
// The zoom the client area is measured at.
constexpr WORD kMeasureZoom = 100;

void StepProgress(CProgressDlg* pProgress)
{
    if (pProgress != NULL && pProgress->m_bBarExists && pProgress->m_pBar != nullptr)
        pProgress->SetPos(pProgress->m_pBar->m_nPos + 1);
}

} // namespace

WORD CSurface::FitPreviewZoom(WORD nZoom, int cx, int cy)
{
    // The page fitted to the client area and scaled by the larger of the
    // wanted/client ratios overshoots the wanted size when the client's
    // shape lies between a square's and the page's: a landscape page in a
    // wide window came out 297 x 229 for 250 x 250. A preview is at most
    // the size asked for, so the zoom comes down until the picture the
    // render will make fits; a zoom that fits is kept.
    const CRect* pOldArea = m_pRenderArea;
    m_pRenderArea = NULL; // as RenderObjectsPicture draws the preview
    const CRect area = GetPictureArea(&m_objects, TRUE);
    m_pRenderArea = pOldArea;
    for (;;) {
        m_nZoom = nZoom;
        const CSize size = GetPictureSize(area);
        if (nZoom <= 1 || (size.cx <= cx && size.cy <= cy))
            return nZoom;
        // Straight to about the fitting zoom, then a step at a time for the
        // pixel that rounding may add.
        const double dRatio = std::min(double(cx) / size.cx, double(cy) / size.cy);
        const double dNext = std::floor(double(nZoom) * dRatio);
        nZoom = static_cast<WORD>(std::clamp(std::min(dNext, double(nZoom) - 1), 1.0, double(kMaxZoom)));
    }
}

BOOL CSurface::RenderPreview(CBitmap* pBitmap, int cx, int cy, BOOL bFixedZoom, CProgressDlg* pProgress)
{
    if (pBitmap == NULL || (!bFixedZoom && (cx <= 0 || cy <= 0)))
        return FALSE;

    // Whatever way the rendering ends (a failure, an exception from an
    // object's drawing), the view shows what it showed before.
    struct ViewKeeper {
        CSurface& view;
        CProgressDlg* pProgress;
        const WORD nZoom;
        const CPoint ptScroll;
        explicit ViewKeeper(CSurface& v, CProgressDlg* p)
            : view(v)
            , pProgress(p)
            , nZoom(v.m_nZoom)
            , ptScroll(v.m_hWnd != NULL ? v.GetScrollPosition() : CPoint(0, 0))
        {
            if (CDesignerApp* pApp = GetDesignerApp())
                pApp->LockMainWindowUpdate();
        }
        ~ViewKeeper()
        {
            view.m_nZoom = nZoom;
            if (view.m_hWnd != NULL && view.GetScrollPosition() != ptScroll)
                view.ScrollToPosition(ptScroll);
            StepProgress(pProgress);
            if (CDesignerApp* pApp = GetDesignerApp())
                pApp->UnlockMainWindowUpdate();
        }
        ViewKeeper(const ViewKeeper&) = delete;
        ViewKeeper& operator=(const ViewKeeper&) = delete;
    } keeper(*this, pProgress);
    StepProgress(pProgress);

    WORD nZoom = kFixedPreviewZoom;
    if (!bFixedZoom) {
        m_nZoom = kMeasureZoom;
        CRect client(0, 0, 0, 0);
        if (m_hWnd != NULL) {
            GetClientRect(&client);
            CClientDC dc(this);
            OnPrepareDC(&dc, NULL);
            dc.DPtoLP(&client);
            client.NormalizeRect();
        }
        const CRect wanted(0, 0, cx, cy);
        // A view without a client area (minimised, or never shown) fits the
        // page into the wanted size itself rather than drawing it whole.
        if (client.IsRectEmpty())
            client = wanted;
        const CRect page(0, 0, m_sizePage.cx, m_sizePage.cy);
        const double dFit = ScaleToFit(page, client, FALSE);
        const double dWanted = ScaleToFit(wanted, client, TRUE);
        const double dZoom = std::trunc(dFit * dWanted * 100.0 + 0.5);
        // Rounding can give 0 for a small wanted size, which the view would
        // read as "fit in window".
        nZoom = static_cast<WORD>(std::clamp(std::isfinite(dZoom) ? dZoom : double(kMeasureZoom), 1.0,
            double(kMaxZoom)));
        nZoom = FitPreviewZoom(nZoom, cx, cy);
        m_nZoom = keeper.nZoom;
    }
    // The step lets waiting messages through: a paint then must still find
    // the view's own zoom.
    StepProgress(pProgress);
    m_nZoom = nZoom;
    return RenderObjectsPicture(pBitmap);
}
