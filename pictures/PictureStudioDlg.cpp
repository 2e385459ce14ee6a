#include "pictures/PictureStudioDlg.h"

#include "app/RectGeometry.h"
#include "app/ResourceBitmaps.h"
#include "app/main/AppGlobals.h"
#include "app/main/DesignerApp.h"
#include "model/DrawObj.h"
#include "pictures/EffectParamDlgs.h"
#include "pictures/Image.h"
#include "pictures/MakeTransparentDlg.h"
#include "pictures/PictureEngine.h"
#include "pictures/PictureTintDlg.h"
#include "platform/framework/Afx.h"
#include "platform/framework/Frame.h"
#include "platform/imaging/Imaging.h"
#include "resources/prefs.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

struct StudioEntryInfo {
    const char* pszName;
    int nKind;
};

// The effect table; the entry number is what a list item carries.
constexpr StudioEntryInfo kEntries[kStudioEntryCount] = {
    {"Add Noise...", 14}, {"Blur...", 0}, {"Brightness/Contrast...", 1}, {"Color Resolution...", 2},
    {"Deskew", kEffectKindNone}, {"Despeckle", kEffectKindNone}, {"Edge Enhance", 3}, {"Emboss...", 4},
    {"Flip Horizontal", 16}, {"Flip Vertical", 5}, {"Gamma Correct...", 6}, {"Grayscale", 7},
    {"Halftone > Print...", 8}, {"Halftone > View...", 9}, {"Hue/Saturation...", 10}, {"Negative", 11},
    {"Median...", 12}, {"Mosaic...", 13}, {"Posterize...", 15}, {"Resample...", kEffectKindNone},
    {"Resize...", kEffectKindNone}, {"Rotate...", kEffectKindNone}, {"Sharpen...", 18}, {"Shear...", 19},
    {"Underlay...", kEffectKindNone}, {"Tile Picture", kEffectKindNone}, {"Tint...", 20}, {"Translucent", 21},
    {"Transparent...", 22},
};

constexpr int kTranslucentKind = 21;
constexpr int kTransparentKind = 22;
constexpr int kTintKind = 20;
// The colour Reset gives a picture's tint and transparency, which switching
// either off stores again.
constexpr COLORREF kResetColor = 0xC0C0C0;
// The tint intensity offered when the picture has none.
constexpr int kDefaultTintIntensity = 50;
// Metafiles are rasterised at the object's size, but never larger than this
// either way: the size comes from a design file.
constexpr int kMaxRasterSide = 4096;
// Sample bitmaps are looked for at this number plus the entry number.
constexpr UINT kSampleBitmapBase = 900;
// The preview's picture is kept this far inside its frame.
constexpr int kPreviewInset = 4;

// Entries with nothing to ask: Adjust switches them on.
BOOL IsToggleEntry(int nEntry)
{
    switch (nEntry) {
    case StudioDeskew:
    case StudioDespeckle:
    case StudioEdgeEnhance:
    case StudioFlipHorizontal:
    case StudioFlipVertical:
    case StudioGrayscale:
    case StudioNegative:
    case StudioTranslucent:
        return TRUE;
    default:
        return FALSE;
    }
}

// Entries the table keeps but the list does not offer: the flips belong to
// the mirror commands, and the others have no effect kind a picture records.
BOOL IsNeverOffered(int nEntry)
{
    switch (nEntry) {
    case StudioDeskew:
    case StudioDespeckle:
    case StudioFlipHorizontal:
    case StudioFlipVertical:
    case StudioResample:
    case StudioResize:
    case StudioRotate:
    case StudioUnderlay:
        return TRUE;
    default:
        return FALSE;
    }
}

// Entries whose answer Adjust itself puts on the trial picture; the other
// dialogs have shown theirs on it through previews.
BOOL IsAppliedOnAccept(int nEntry)
{
    return IsToggleEntry(nEntry) || nEntry == StudioTransparent;
}

// Whether the picture carries the entry's effect (what the list ticks).
BOOL IsEntryActive(const CImage& image, int nEntry)
{
    if (nEntry == StudioTile)
        return (image.m_wFlags & IMAGE_FLAG_TILED) != 0;
    if (nEntry == StudioTranslucent)
        return (image.m_wFlags & IMAGE_FLAG_TRANSLUCENT) != 0;
    if (nEntry == StudioTransparent)
        return image.HasTransparency();
    const int nKind = EffectKindOfEntry(nEntry);
    if (nKind < 0 || nKind > kTintKind)
        return FALSE;
    int nFirst = 0;
    int nSecond = 0;
    return image.GetEffect(nKind, &nFirst, &nSecond);
}

} // namespace

int EffectKindOfEntry(int nEntry)
{
    if (nEntry < 0 || nEntry >= kStudioEntryCount)
        return kEffectKindNone;
    return kEntries[nEntry].nKind;
}

BEGIN_MESSAGE_MAP(CPictureStudioDlg, CDialog)
    ON_BN_CLICKED(IDC_STUDIO_ADJUST, OnAdjust)
    ON_BN_CLICKED(IDC_STUDIO_HELP, OnHelpButton)
    ON_LBN_SELCHANGE(IDC_STUDIO_LIST, OnSelChange)
    ON_LBN_DBLCLK(IDC_STUDIO_LIST, OnListDoubleClick)
    ON_WM_PAINT()
    ON_MESSAGE(WM_EFFECT_PREVIEW, OnEffectPreview)
END_MESSAGE_MAP()

CPictureStudioDlg::CPictureStudioDlg(CDrawObj* pObj, CImage* pImage, CWnd* pParent)
    : CDialog(IDD, pParent), m_pObj(pObj), m_pImage(pImage)
{
    m_pWorking = std::make_unique<CImage>();
    m_pWorking->Reset();
    if (m_pImage != nullptr) {
        m_pWorking->Copy(*m_pImage);
        m_bMetafile = m_pImage->m_nHandle == kImageMetafile && m_pImage->m_metafile.GetEnhMetaFile() != NULL;
    }

    CSurface* pView = m_pObj != nullptr ? m_pObj->GetSurface() : nullptr;
    if (pView == nullptr && m_pWorking->m_nHandle == kImageMetafile) {
        if (CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd())) {
            CFrameWnd* pActive = pFrame->GetActiveFrame();
            pView = dynamic_cast<CSurface*>(pActive != nullptr ? pActive->GetActiveView() : nullptr);
        }
    }
    m_pWorking->m_pView = pView;

    // Effects work on rasters: a metafile becomes one at the size the
    // object shows the whole picture.
    if (m_pWorking->m_nHandle == kImageMetafile) {
        CRect rectFull = m_pObj != nullptr ? m_pObj->GetFullPictureRect() : CRect(0, 0, 0, 0);
        const int cx = std::clamp(std::abs(rectFull.Width()), 1, kMaxRasterSide);
        const int cy = std::clamp(std::abs(rectFull.Height()), 1, kMaxRasterSide);
        m_pWorking->RasterizeMetaFile(cx, cy);
    } else if (m_pWorking->m_nHandle == kImageComposite) {
        m_pWorking->RasterizeComposite();
    }

    // Effects are previewed on the upright picture; the caller turns the
    // result again as it takes it over.
    if (m_pObj != nullptr) {
        const double dAngle = m_pObj->GetContentRotation();
        m_nRotation = std::isfinite(dAngle) ? static_cast<int>(std::fmod(std::round(dAngle), 360.0)) : 0;
    }
    if (m_nRotation % 360 != 0)
        m_pWorking->ApplyEffect(CImage::kEffectRotate, 0, 0);
}

CPictureStudioDlg::~CPictureStudioDlg() = default;

int CPictureStudioDlg::GetEntryLimit() const
{
    if (m_pWorking->m_bForceEmbed == 1)
        return StudioTranslucent;
    if (m_bMetafile)
        return StudioTransparent;
    return kStudioEntryCount;
}

int CPictureStudioDlg::FindEntry(int nEntry) const
{
    if (m_list.m_hWnd == NULL)
        return -1;
    const int nCount = m_list.GetCount();
    for (int i = 0; i < nCount; ++i) {
        if (static_cast<int>(m_list.GetItemData(i)) == nEntry)
            return i;
    }
    return -1;
}

BOOL CPictureStudioDlg::OnInitDialog()
{
    if (m_list.SubclassDlgItem(IDC_STUDIO_LIST, this)) {
        if (CFont* pFont = GetFont())
            m_list.SetItemFont(pFont);
        const BOOL bRotated = m_pObj != nullptr && m_pObj->IsRotated();
        const int nLimit = GetEntryLimit();
        for (int nEntry = 0; nEntry < nLimit; ++nEntry) {
            if (IsNeverOffered(nEntry) || (nEntry == StudioTile && bRotated))
                continue;
            const int nIndex = m_list.AddString(kEntries[nEntry].pszName);
            if (nIndex >= 0)
                m_list.SetItemData(nIndex, static_cast<DWORD_PTR>(nEntry));
        }
    }

    if (CWnd* pFrame = GetDlgItem(IDC_STUDIO_PREVIEW)) {
        pFrame->GetWindowRect(&m_rectPreview);
        ScreenToClient(&m_rectPreview);
        // The dialog paints the preview itself; the control only marks where.
        pFrame->ShowWindow(SW_HIDE);
    }
    if (CWnd* pSample = GetDlgItem(IDC_STUDIO_SAMPLE))
        pSample->ShowWindow(SW_HIDE);
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_STUDIO_HELP, this, IDI_BUTTON_HELP);
    if (m_btnAdjust.SubclassDlgItem(IDC_STUDIO_ADJUST, this))
        m_btnAdjust.SetIcons(IDI_BUTTON_APPLY, IDI_BUTTON_APPLY_DISABLED);
    CenterWindow();
    if (m_list.m_hWnd != NULL && m_list.GetCount() > 0)
        m_list.SetCaretIndex(0);

    // The base loads the list's ticks from the working picture.
    CDialog::OnInitDialog();
    if (CWnd* pAdjust = GetDlgItem(IDC_STUDIO_ADJUST))
        pAdjust->EnableWindow(CaretEntry() >= 0);
    return TRUE;
}

void CPictureStudioDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    if (m_list.m_hWnd == NULL)
        return;
    const int nCount = m_list.GetCount();
    if (!pDX->m_bSaveAndValidate) {
        for (int i = 0; i < nCount; ++i)
            m_list.SetSel(i, IsEntryActive(*m_pWorking, static_cast<int>(m_list.GetItemData(i))));
        return;
    }

    CImage& working = *m_pWorking;
    for (int i = 0; i < nCount; ++i) {
        const int nEntry = static_cast<int>(m_list.GetItemData(i));
        const BOOL bSelected = m_list.GetSel(i) > 0;
        if (nEntry == StudioTile) {
            working.SetWordFlag(IMAGE_FLAG_TILED, bSelected);
            continue;
        }
        const int nKind = EffectKindOfEntry(nEntry);
        if (nKind == kEffectKindNone)
            continue;
        // A selected dialog entry keeps what it was adjusted with; anything
        // deselected is switched off, and the toggles follow their tick.
        if (!IsToggleEntry(nEntry) && bSelected)
            continue;
        const BOOL bOnOff = nKind == 3 || nKind == 7 || nKind == 11 || nKind == kTranslucentKind;
        const int nFirst = bOnOff ? bSelected : 0;
        const int nSecond = nKind == kTintKind || nKind == kTransparentKind ? static_cast<int>(kResetColor) : 0;
        working.SetEffect(nKind, nFirst, nSecond);
    }
    working.ApplyEffect(CImage::kEffectRotate, 0, 0);
}

void CPictureStudioDlg::OnOK()
{
    // The picture goes back upright: the caller turns it as it gives it to
    // the object.
    CDialog::OnOK();
}

int CPictureStudioDlg::CaretEntry() const
{
    if (m_list.m_hWnd == NULL)
        return -1;
    const int nIndex = m_list.GetCaretIndex();
    if (nIndex < 0 || nIndex >= m_list.GetCount())
        return -1;
    return static_cast<int>(m_list.GetItemData(nIndex));
}

BOOL CPictureStudioDlg::IsCaretSelected() const
{
    if (m_list.m_hWnd == NULL)
        return FALSE;
    const int nIndex = m_list.GetCaretIndex();
    return nIndex >= 0 && nIndex < m_list.GetCount() && m_list.GetSel(nIndex) > 0;
}

std::unique_ptr<CImage> CPictureStudioDlg::CopyOfWorking() const
{
    auto pCopy = std::make_unique<CImage>();
    pCopy->Reset();
    pCopy->Copy(*m_pWorking);
    pCopy->m_pView = m_pWorking->m_pView;
    return pCopy;
}

void CPictureStudioDlg::AcceptTrial()
{
    m_pPrevious = std::move(m_pWorking);
    m_pWorking = std::move(m_pTrial);
}

int CPictureStudioDlg::GetEffectParams(int nHandle, int nEntry, int& nFirst, int& nSecond, CString& strText)
{
    nFirst = 0;
    nSecond = 0;
    strText.Empty();
    LTBITMAP* pBitmap = nullptr;
    if (GetPicBitmap(nHandle, &pBitmap) != 1 || pBitmap == nullptr)
        return 0;
    const int nWidth = pBitmap->Width;
    const int nHeight = pBitmap->Height;
    const int nBits = pBitmap->BitsPerPixel;
    if (nWidth <= 0 || nHeight <= 0 || nBits <= 0 || nEntry < 0 || nEntry >= kStudioEntryCount)
        return 0;

    if (IsToggleEntry(nEntry)) {
        nFirst = IsCaretSelected();
        return 1;
    }
    switch (nEntry) {
    case StudioRotate:
        return 0;
    case StudioTile:
        if (m_pTrial != nullptr)
            m_pTrial->SetWordFlag(IMAGE_FLAG_TILED, IsCaretSelected());
        return 1;
    case StudioTint: {
        const CImage& source = m_pTrial != nullptr ? *m_pTrial : *m_pWorking;
        int nIntensity = 0;
        int nColor = 0;
        source.GetEffect(kTintKind, &nIntensity, &nColor);
        CPictureTintDlg dlg;
        dlg.m_nIntensity = nIntensity != 0 ? nIntensity : kDefaultTintIntensity;
        dlg.m_crColor = static_cast<COLORREF>(nColor);
        // A cancelled tint leaves the picture as it was.
        if (dlg.DoModal() != IDOK)
            return 0;
        nFirst = IsCaretSelected() ? dlg.m_nIntensity : 0;
        nSecond = static_cast<int>(dlg.m_crColor);
        return 1;
    }
    case StudioTransparent: {
        CImage* pTarget = m_pTrial != nullptr ? m_pTrial.get() : m_pWorking.get();
        BOOL bOn = FALSE;
        COLORREF crColor = 0;
        pTarget->GetTransparency(bOn, crColor);
        CMakeTransparentDlg dlg(pTarget, crColor);
        const INT_PTR nResult = dlg.DoModal();
        if (dlg.IsRefused()) {
            nFirst = 0;
            nSecond = static_cast<int>(dlg.GetColor());
            return 1;
        }
        // The user's Cancel keeps the transparency the picture had.
        if (nResult != IDOK)
            return 0;
        nFirst = IsCaretSelected();
        nSecond = static_cast<int>(dlg.GetColor());
        return 1;
    }
    default:
        return RunEffectParamDialog(nEntry, nWidth, nHeight, nBits, nFirst, nSecond, strText) == 1 ? 1 : 0;
    }
}

BOOL CPictureStudioDlg::ApplyToTrial(int /*nHandle*/, int nEntry, int nFirst, int nSecond, LPCTSTR /*lpszText*/)
{
    if (m_pTrial == nullptr)
        return FALSE;
    const int nKind = EffectKindOfEntry(nEntry);
    // Entries without an effect kind have nothing a picture can record.
    if (nKind == kEffectKindNone)
        return FALSE;
    if (!m_pTrial->SetEffect(nKind, nFirst, nSecond))
        return FALSE;
    return m_pTrial->ApplyEffect(CImage::kEffectRotate, 0, 0);
}

BOOL CPictureStudioDlg::RefusedForDepth()
{
    const CString strPath = m_pTrial->GetPathName();
    if (strPath.GetLength() <= 4)
        return FALSE;
    CString strExt = strPath.Right(3);
    strExt.MakeUpper();
    int nLimit = 0;
    UINT nPrompt = 0;
    if (strExt == "BMP") {
        nLimit = 8;
        nPrompt = IDS_STUDIO_REDUCE_TO_256;
    } else if (strExt == "PCX" && GetDisplayColorCount() > 256) {
        nLimit = 4;
        nPrompt = IDS_STUDIO_REDUCE_TO_16;
    } else {
        return FALSE;
    }
    int nWidth = 0;
    int nHeight = 0;
    int nBits = 0;
    GetPicSize(m_pTrial->m_nHandle, &nWidth, &nHeight, &nBits);
    if (nBits <= nLimit)
        return FALSE;
    if (AfxMessageBox(nPrompt, MB_OKCANCEL) == IDOK) {
        const int nIndex = FindEntry(StudioColorResolution);
        if (nIndex >= 0) {
            m_list.SetSel(nIndex, TRUE);
            m_list.SetCaretIndex(nIndex);
            OnSelChange();
        }
    }
    return TRUE;
}

void CPictureStudioDlg::OnAdjust()
{
    if (m_list.m_hWnd == NULL || m_pWorking == nullptr)
        return;
    const int nIndex = m_list.GetCaretIndex();
    if (nIndex < 0 || nIndex >= m_list.GetCount())
        return;
    const int nEntry = static_cast<int>(m_list.GetItemData(nIndex));
    const BOOL bWasSelected = m_list.GetSel(nIndex) > 0;
    m_list.SetSel(nIndex, TRUE);

    m_pTrial = CopyOfWorking();
    m_bFreshTrial = TRUE;
    m_bPreviewSent = FALSE;
    BOOL bAccepted = FALSE;
    if (nEntry == StudioTransparent && RefusedForDepth()) {
        // The tick goes back as it was, unless the warning moved the caret
        // onto Color Resolution.
        m_list.SetSel(nIndex, bWasSelected);
        m_pTrial.reset();
        InvalidatePreview();
        return;
    }

    m_nCurrentEntry = nEntry;
    m_bAdjusting = TRUE;
    int nFirst = 0;
    int nSecond = 0;
    CString strText;
    const int nResult = GetEffectParams(m_pTrial->m_nHandle, nEntry, nFirst, nSecond, strText);
    m_bAdjusting = FALSE;
    if (nResult == 1 && m_pTrial != nullptr) {
        BOOL bApplied = TRUE;
        if (IsAppliedOnAccept(nEntry)) {
            bApplied = ApplyToTrial(m_pTrial->m_nHandle, nEntry, nFirst, nSecond, strText);
        } else if (nEntry != StudioTile && EffectKindOfEntry(nEntry) != kEffectKindNone
            && (!m_bPreviewSent || m_nPreviewFirst != nFirst)) {
            // The dialog's answer is what the picture must carry: a dialog
            // closed before it sent any preview, or whose last preview was
            // outside what OK accepts, has not put it there yet.
            if (!m_bFreshTrial)
                m_pTrial = CopyOfWorking();
            m_bFreshTrial = FALSE;
            bApplied = ApplyToTrial(m_pTrial->m_nHandle, nEntry, nFirst, nSecond, strText);
        }
        if (bApplied) {
            AcceptTrial();
            bAccepted = TRUE;
        }
    }
    // The tick shows what the picture now carries.
    m_list.SetSel(nIndex, bAccepted ? IsEntryActive(*m_pWorking, nEntry) : bWasSelected);
    m_pTrial.reset();
    m_bFreshTrial = FALSE;
    InvalidatePreview();
}

void CPictureStudioDlg::OnListDoubleClick()
{
    OnAdjust();
}

void CPictureStudioDlg::OnSelChange()
{
    UpdateSample();
    if (CWnd* pAdjust = GetDlgItem(IDC_STUDIO_ADJUST))
        pAdjust->EnableWindow(CaretEntry() >= 0);
    InvalidatePreview();
}

void CPictureStudioDlg::OnHelpButton()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(HID_BASE_RESOURCE + IDD, HELP_CONTEXT);
}

LRESULT CPictureStudioDlg::OnEffectPreview(WPARAM, LPARAM lParam)
{
    const auto* pNotice = reinterpret_cast<const EffectPreviewNotice*>(lParam);
    // Only the parameter dialog of a running adjustment has a trial to show.
    if (pNotice == nullptr || !m_bAdjusting || m_pWorking == nullptr)
        return 0;
    CWaitCursor wait;
    // Every preview starts again from the working picture, so that the
    // values of one dialog do not pile up.
    if (!m_bFreshTrial || m_pTrial == nullptr)
        m_pTrial = CopyOfWorking();
    m_bFreshTrial = FALSE;
    if (ApplyToTrial(m_pTrial->m_nHandle, m_nCurrentEntry, pNotice->nFirst, pNotice->nSecond, pNotice->strText)) {
        m_bPreviewSent = TRUE;
        m_nPreviewFirst = pNotice->nFirst;
        MatchPicToScreen(m_pTrial->m_nHandle);
        InvalidatePreview();
        UpdateWindow();
    }
    return 0;
}

void CPictureStudioDlg::UpdateSample()
{
    const int nEntry = CaretEntry();
    CWnd* pSample = GetDlgItem(IDC_STUDIO_SAMPLE);
    CRect rectSample;
    if (pSample != nullptr) {
        pSample->GetWindowRect(&rectSample);
        ScreenToClient(&rectSample);
    }
    if (nEntry < 0) {
        if (pSample != nullptr)
            InvalidateRect(&rectSample, FALSE);
        return;
    }
    m_pSample.reset();
    CBitmap bitmap;
    CDesignerApp* pApp = GetDesignerApp();
    if (LoadBitmapWithPalette(bitmap, kSampleBitmapBase + static_cast<UINT>(nEntry),
            pApp != nullptr ? pApp->GetAppPalette() : nullptr)) {
        auto pSamplePicture = std::make_unique<CImage>();
        if (pSamplePicture->CreateFromBitmap(&bitmap, NULL, FALSE, CImage::kDefaultLoadMode)) {
            m_pSample = std::move(pSamplePicture);
            if (!m_bFirstPaint && pSample != nullptr)
                InvalidateRect(&rectSample, FALSE);
        }
    }
    m_bFirstPaint = FALSE;
}

void CPictureStudioDlg::InvalidatePreview()
{
    if (m_hWnd == NULL)
        return;
    CRect rect = m_rectPreview;
    rect.InflateRect(2, 2);
    InvalidateRect(&rect, FALSE);
}

void CPictureStudioDlg::DrawPreview(CDC* pDC)
{
    SunkenFrame frame;
    frame.left = m_rectPreview.left;
    frame.top = m_rectPreview.top;
    frame.right = m_rectPreview.right;
    frame.bottom = m_rectPreview.bottom;
    frame.crFill = RGB(255, 255, 255);
    frame.bFill = 1;
    DrawSunkenFrame(pDC, frame);

    CImage* pShown = m_pTrial != nullptr ? m_pTrial.get() : m_pWorking.get();
    if (pShown == nullptr || pShown->m_nHandle < 0)
        return;
    SIZE size{0, 0};
    pShown->GetSize(size);
    CRect rectPicture;
    FitAspectRect(&rectPicture, pDC, size.cx, size.cy, m_rectPreview.left + kPreviewInset,
        m_rectPreview.top + kPreviewInset, m_rectPreview.right - kPreviewInset, m_rectPreview.bottom - kPreviewInset);
    // Drawn into corners that keep the mirror state the picture has.
    if (pShown->m_wFlags & IMAGE_FLAG_MIRROR_X)
        std::swap(rectPicture.left, rectPicture.right);
    if (pShown->m_wFlags & IMAGE_FLAG_MIRROR_Y)
        std::swap(rectPicture.top, rectPicture.bottom);
    // The one-shot value writes Translucent or Transparent over the picture.
    pShown->m_nOneShot2 = 1;
    pShown->Draw(pDC, rectPicture, rectPicture, m_rectPreview, FALSE, FALSE, TRUE);
}

void CPictureStudioDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    CDC memDC;
    CBitmap bitmap;
    if (!memDC.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, rectClient.Width(), rectClient.Height()))
        return;
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    DrawPreview(&memDC);
    CRect rectCopy = m_rectPreview;
    rectCopy.InflateRect(2, 2);
    dc.BitBlt(rectCopy.left, rectCopy.top, rectCopy.Width(), rectCopy.Height(), &memDC, rectCopy.left, rectCopy.top,
        SRCCOPY);

    if (m_pSample == nullptr && m_bFirstPaint)
        UpdateSample();
    if (m_pSample != nullptr) {
        if (CWnd* pSample = GetDlgItem(IDC_STUDIO_SAMPLE)) {
            CRect rectSample;
            pSample->GetWindowRect(&rectSample);
            ScreenToClient(&rectSample);
            m_pSample->Draw(&dc, rectSample, rectSample, rectSample);
        }
    }
    memDC.SelectObject(pOld);
}
