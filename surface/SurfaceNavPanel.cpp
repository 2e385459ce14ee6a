#include "surface/SurfaceNavPanel.h"

#include "controls/PicButton.h"
#include "controls/ToolFlyoutDlg.h"
#include "model/DrawDoc.h"
#include "resources/toolpadart.h"
#include "surface/Surface.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSurfaceNavPanel, CToolPadPanel)

static_assert(CHoverPicButton::kRestCommand == ID_SURFACE_HOVER, "the hover button's command is the tool pad's");

BOOL CSurfaceNavPanel::s_bChooserOpen = FALSE;

namespace {

// Places with the title picture; without it everything moves up.
const CRect kTitleRect(3, 0, 126, 22);
const CRect kPreviousRect(3, 14, 28, 51);
const CRect kNextRect(94, 14, 120, 51);
const CRect kSurfaceRect(36, 16, 99, 44);

CRect Placed(const CRect& rect, BOOL bTitle)
{
    CRect placed = rect;
    if (!bTitle)
        placed.OffsetRect(0, -CSurfaceNavPanel::kUntitledShift);
    return placed;
}

} // namespace

CToolPadPanel* CreateSurfaceNavPanel(CWnd* pParent, const CRect& rect, UINT nID, BOOL bTitle)
{
    auto* pPanel = new CSurfaceNavPanel(bTitle);
    if (!pPanel->CreatePanel(pParent, rect, nID, FALSE)) {
        DestroyToolPadPanel(pPanel);
        return nullptr;
    }
    return pPanel;
}

CSurfaceNavPanel::CSurfaceNavPanel(BOOL bTitle)
    : CToolPadPanel(NULL, FALSE, 0)
    , m_bTitle(bTitle)
{
}

CSurfaceNavPanel::~CSurfaceNavPanel() = default;

BOOL CSurfaceNavPanel::OnCreatePanel()
{
    if (m_bTitle && AddTitle(IDB_TP_TITLE_SURFACES, kTitleRect) == nullptr)
        return FALSE;
    if (AddButton(kPreviousId, Placed(kPreviousRect, m_bTitle), IDB_TP_PREV_SURFACE, IDB_TP_PREV_SURFACE_PRESSED,
            "Previous surface", TRUE)
        == nullptr)
        return FALSE;
    if (AddButton(kNextId, Placed(kNextRect, m_bTitle), IDB_TP_NEXT_SURFACE, IDB_TP_NEXT_SURFACE_PRESSED,
            "Next surface", TRUE)
        == nullptr)
        return FALSE;
    return m_surface.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, Placed(kSurfaceRect, m_bTitle), this,
        kSurfacePictureId);
}

void CSurfaceNavPanel::UpdateFromView(CSurface* pView)
{
    CDrawDoc* pDoc = pView != nullptr ? pView->GetDocument() : nullptr;
    if (pDoc == nullptr || m_hWnd == NULL)
        return;
    const int nCount = pDoc->GetSurfaceCount();
    // Whoever else showed or hid the panel, its window says what is on show.
    m_bShown = (GetStyle() & WS_VISIBLE) != 0;
    if (nCount == 1 && m_bShown) {
        ShowWindow(SW_HIDE);
        m_bShown = FALSE;
    } else if (nCount > 1 && !m_bShown) {
        ShowWindow(SW_SHOW);
        m_bShown = TRUE;
    }
    if (!m_bShown)
        return;

    m_surface.SetPicture(pDoc->GetKindResourceId());
    const int nCurrent = pDoc->GetCurrentSurfaceNumber();
    if (nCurrent != int(m_nLastSurface))
        m_bChanged = TRUE;
    // A strip loaded just now starts with one frame: it needs its count too,
    // or the frames past the first could not be shown.
    if (m_surface.IsNewStrip())
        m_bChanged = TRUE;
    CDWordArray order;
    pDoc->AllocPageArray(order);
    if (m_bChanged) {
        m_surface.SetFrameCount(nCount);
        m_nLastSurface = WORD(nCurrent);
        m_bChanged = FALSE;
    }
    if (order.GetSize() == 0)
        return;
    const INT_PTR nEntry = std::clamp<INT_PTR>(nCurrent, 0, order.GetSize() - 1);
    m_surface.SetIndex(WORD(std::min<DWORD>(order[nEntry], CHoverPicButton::kNoFrame)));
}

void CSurfaceNavPanel::RunChooser()
{
    if (s_bChooserOpen || m_hWnd == NULL)
        return;
    // Cleared on every way out, an exception from the dialog included.
    struct OpenFlag {
        OpenFlag() { s_bChooserOpen = TRUE; }
        ~OpenFlag() { s_bChooserOpen = FALSE; }
    };
    // The panel or its palette may go while the chooser runs: both are
    // looked up again by handle afterwards.
    const HWND hSelf = m_hWnd;
    const HWND hPalette = ::GetParent(m_hWnd);
    CToolFlyoutDlg chooser(m_surface.GetStrip(), m_surface.GetFrameCount(), this);
    INT_PTR nResult;
    {
        OpenFlag open;
        nResult = chooser.DoModal();
    }
    if (nResult != IDOK || !::IsWindow(hSelf) || hPalette == NULL || !::IsWindow(hPalette))
        return;
    ::PostMessage(hPalette, TPM_GOTO_SURFACE, WPARAM(chooser.GetSelectedIndex()), 0);
    ::RedrawWindow(hPalette, nullptr, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL CSurfaceNavPanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    CWnd* pPalette = GetParent();
    if (nID == kPreviousId && nCode == BN_CLICKED) {
        if (pPalette != nullptr)
            pPalette->PostMessage(TPM_PREV_SURFACE, 0, 0);
        return TRUE;
    }
    if (nID == kNextId && nCode == BN_CLICKED) {
        if (pPalette != nullptr)
            pPalette->PostMessage(TPM_NEXT_SURFACE, 0, 0);
        return TRUE;
    }
    if ((nID == kSurfacePictureId && nCode == BN_CLICKED) || (nID == ID_SURFACE_HOVER && lParam == 0)) {
        RunChooser();
        return TRUE;
    }
    return CToolPadPanel::OnCommand(wParam, lParam);
}
