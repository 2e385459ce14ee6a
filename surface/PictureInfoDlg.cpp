#include "surface/PictureInfoDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "pictures/ChoosePicture.h"
#include "pictures/Image.h"
#include "pictures/PictureStudioDlg.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/gdi/Dc.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <cstdlib>
#include <utility>

namespace {

// The record's picture values: load mode and rotation.
constexpr int kValueLoadMode = 1;
constexpr int kValueRotation = 3;

// The controls that say how large the picture is; hidden without one.
const int kSizeControls[] = {IDC_PICINFO_SIZE_LABEL, IDC_PICINFO_SIZE, IDC_PICINFO_CURRENT, IDC_PICINFO_NATURAL,
    IDC_PICINFO_WIDTH_LABEL, IDC_PICINFO_WIDTH, IDC_PICINFO_NATURAL_WIDTH, IDC_PICINFO_HEIGHT_LABEL,
    IDC_PICINFO_HEIGHT, IDC_PICINFO_NATURAL_HEIGHT, IDC_PICINFO_RESTORE};

// Logical units are hundredths of an inch; the dialog shows inches.
CString Inches(LONG nUnits)
{
    CString strText;
    strText.Format("%1.2f", std::abs(nUnits) / 100.0);
    return strText;
}

BOOL IsCropped(const CObjectAttributes& attrs)
{
    return attrs.m_dCropLeft != 0.0 || attrs.m_dCropTop != 0.0 || attrs.m_dCropWidth != 1.0
        || attrs.m_dCropHeight != 1.0;
}

void SetBit(WORD& wWord, WORD wBit, BOOL bOn)
{
    wWord = bOn ? WORD(wWord | wBit) : WORD(wWord & ~wBit);
}

} // namespace

BEGIN_MESSAGE_MAP(CPictureInfoDlg, CDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_PICINFO_NEW, OnNew)
    ON_BN_CLICKED(IDC_PICINFO_REMOVE, OnRemove)
    ON_BN_CLICKED(IDC_PICINFO_RESTORE, OnRestore)
    ON_BN_CLICKED(IDC_PICINFO_SHAPE, OnShapeToPicture)
    ON_BN_CLICKED(IDC_PICINFO_BORDER, OnBorderAroundPicture)
    ON_BN_CLICKED(IDC_PICINFO_COLOR, OnColorToPicture)
    ON_BN_CLICKED(IDC_PICINFO_STUDIO, OnPictureStudio)
END_MESSAGE_MAP()

CPictureInfoDlg::CPictureInfoDlg(CWnd* pParent)
    : CDialog(IDD_PICTURE_INFO, pParent)
{
}

CPictureInfoDlg::~CPictureInfoDlg() = default;

BOOL CPictureInfoDlg::ProportionalByDefault()
{
    return (thePrefs.Add2Flags & PREF_ADD2_PROPORTIONAL_RESIZE) != 0;
}

// ---- Binding ---------------------------------------------------------------------------------

void CPictureInfoDlg::SetPicture(CDrawObj* pObj, CObjectAttributes* pAttrs, BOOL bMayApply, CSurface* pView)
{
    m_wFlags &= ~WORD(FlagHasPicture);
    m_pObj = pObj;
    m_pAttrs = pAttrs;
    SetBit(m_wFlags, FlagMayApply, bMayApply);
    if (pObj == nullptr || pAttrs == nullptr)
        return;
    if (pObj->IsCalendar())
        m_wFlags &= ~WORD(FlagMayApply);
    m_pView = pObj->GetSurface() != nullptr ? pObj->GetSurface() : pView;
    const CObjectAttributes& attrs = *pAttrs;
    const BOOL bRecordHasPicture = attrs.HasPicture();
    m_nLoadMode = bRecordHasPicture ? int(attrs.m_nPictureValues[kValueLoadMode]) : CImage::kDefaultLoadMode;
    m_bEmbed = (attrs.m_wPictureFlags & IMAGE_FLAG_EMBED) != 0;
    m_bTransparent = (attrs.m_wPictureFlags & IMAGE_FLAG_TRANSPARENT) != 0;
    m_crTransparent = COLORREF(attrs.m_nPictureValues[CObjectAttributes::PictureTransparentColor]);
    m_strPath = attrs.m_strPictureFile;
    m_bProportional = bRecordHasPicture ? (attrs.m_wFlags & OBJ_FLAG_NATURAL_SIZE) != 0 : ProportionalByDefault();
    m_bProportionalAtStart = m_bProportional;
    m_bCropped = (attrs.m_wPictureFlags & IMAGE_FLAG_CROPPED) != 0 || (attrs.m_wFlags & ATTR_FLAG_PIC_CROPPED) != 0
        || IsCropped(attrs);
    m_bWasCropped = m_bCropped;
    m_nRotation = int(attrs.m_nPictureValues[kValueRotation]);
    m_bFlipX = (attrs.m_wPictureFlags & IMAGE_FLAG_MIRROR_X) != 0;
    m_bFlipY = (attrs.m_wPictureFlags & IMAGE_FLAG_MIRROR_Y) != 0;
    m_bRotatedObject = pObj->IsRotated();

    m_pWorking.reset();
    if (pObj->m_pPicture != nullptr && pObj->m_pPicture->m_nHandle >= 1) {
        m_pWorking = std::make_unique<CImage>();
        m_pWorking->Copy(*pObj->m_pPicture);
    }
    CString strNoPicture;
    strNoPicture.LoadString(IDS_PICINFO_NO_PICTURE);
    if (!m_strPath.IsEmpty() && m_strPath != strNoPicture && m_pWorking != nullptr)
        m_wFlags |= FlagHasPicture;
    if (m_pWorking != nullptr && m_pWorking->m_nFileBitsPerPixel == 1)
        m_wFlags |= FlagMonochrome;
}

// ---- Showing ---------------------------------------------------------------------------------

BOOL CPictureInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* pPreview = GetDlgItem(IDC_PICINFO_PREVIEW)) {
        pPreview->GetWindowRect(&m_rectPreview);
        ScreenToClient(&m_rectPreview);
    }
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_PICINFO_HELP, this, IDI_BUTTON_HELP);
    // The text button would open a page of text, which a picture's dialog
    // has nothing to do with.
    ShowItem(IDC_PICINFO_TEXT, FALSE);
    ShowPictureInfo();
    UpdateData(FALSE);
    CenterWindow();
    return TRUE;
}

void CPictureInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_PICINFO_PROPORTIONAL, m_bProportional);
    DDX_Check(pDX, IDC_PICINFO_HIDE, m_bHide);
    DDX_Check(pDX, IDC_PICINFO_LOCK, m_bLock);
    DDX_Check(pDX, IDC_PICINFO_SPARE, m_bKeepInFile);
}

void CPictureInfoDlg::ShowItem(int nID, BOOL bShow)
{
    if (CWnd* pItem = GetDlgItem(nID))
        pItem->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CPictureInfoDlg::ShowPictureInfo()
{
    const BOOL bPicture = HasPicture();
    for (int nID : kSizeControls)
        ShowItem(nID, bPicture);
    ShowItem(IDC_PICINFO_ROTATION, bPicture && m_nRotation % 360 != 0);
    ShowItem(IDC_PICINFO_STUDIO, bPicture && !m_bRotatedObject);
    if (!bPicture) {
        CString strText;
        strText.LoadString(IDS_PICINFO_NO_PICTURE);
        SetDlgItemText(IDC_PICINFO_FILE, strText);
        strText.LoadString(IDS_PICINFO_NEW);
        SetDlgItemText(IDC_PICINFO_NEW, strText);
        if (CWnd* pRemove = GetDlgItem(IDC_PICINFO_REMOVE))
            pRemove->EnableWindow(FALSE);
        return;
    }
    SetDlgItemText(IDC_PICINFO_FILE, FitPathToControl(m_strPath));
    CString strSize;
    CFile file;
    if (file.Open(m_strPath, CFile::modeRead | CFile::shareDenyNone)) {
        strSize.Format("%luK", static_cast<unsigned long>((file.GetLength() + 1023) / 1024));
        file.Close();
    } else {
        // A picture kept only in the design has no file to measure.
        strSize = "-";
    }
    SetDlgItemText(IDC_PICINFO_SIZE, strSize);
    SIZE natural{0, 0};
    m_pWorking->GetSize(natural, TRUE);
    SetDlgItemText(IDC_PICINFO_NATURAL_WIDTH, Inches(natural.cx));
    SetDlgItemText(IDC_PICINFO_NATURAL_HEIGHT, Inches(natural.cy));
    if (m_bRestored || m_pObj == nullptr) {
        SetDlgItemText(IDC_PICINFO_WIDTH, Inches(natural.cx));
        SetDlgItemText(IDC_PICINFO_HEIGHT, Inches(natural.cy));
    } else {
        SetDlgItemText(IDC_PICINFO_WIDTH, Inches(m_pObj->m_position.Width()));
        SetDlgItemText(IDC_PICINFO_HEIGHT, Inches(m_pObj->m_position.Height()));
    }
    if (m_nRotation % 360 != 0) {
        CString strRotation;
        strRotation.Format("Rotation: %d Deg", m_nRotation);
        SetDlgItemText(IDC_PICINFO_ROTATION, strRotation);
    }
    if (CWnd* pRemove = GetDlgItem(IDC_PICINFO_REMOVE))
        pRemove->EnableWindow(TRUE);
    if (CWnd* pRestore = GetDlgItem(IDC_PICINFO_RESTORE))
        pRestore->EnableWindow(!m_bRestored);
}

CString CPictureInfoDlg::FitPathToControl(const CString& strPath) const
{
    CWnd* pStatic = GetDlgItem(IDC_PICINFO_FILE);
    if (pStatic == nullptr)
        return strPath;
    CRect rect;
    pStatic->GetClientRect(&rect);
    CClientDC dc(pStatic);
    CFont* pFont = pStatic->GetFont();
    CFont* pOldFont = pFont != nullptr ? dc.SelectObject(pFont) : nullptr;
    auto fits = [&](const CString& strText) { return dc.GetTextExtent(strText).cx <= rect.Width(); };
    CString strShown = strPath;
    if (!fits(strShown)) {
        // The root stays, then as many of the last parts as fit after "...".
        const int nRoot = strPath.Find('\\');
        const CString strRoot = nRoot >= 0 ? strPath.Left(nRoot + 1) : CString();
        const int nName = strPath.ReverseFind('\\');
        CString strTail = nName >= 0 ? strPath.Mid(nName) : "\\" + strPath;
        strShown = strRoot + "..." + strTail;
        for (int nCut = nName - 1; nCut > nRoot; --nCut) {
            if (strPath[nCut] != '\\')
                continue;
            const CString strLonger = strRoot + "..." + strPath.Mid(nCut);
            if (!fits(strLonger))
                break;
            strShown = strLonger;
        }
        if (!fits(strShown) && nName >= 0)
            strShown = strPath.Mid(nName + 1);
    }
    if (pOldFont != nullptr)
        dc.SelectObject(pOldFont);
    return strShown;
}

void CPictureInfoDlg::InvalidatePreview()
{
    InvalidateRect(&m_rectPreview, FALSE);
}

void CPictureInfoDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* pNew = GetDlgItem(IDC_PICINFO_NEW);
    const BOOL bActive = pNew != nullptr && pNew->IsWindowEnabled();
    dc.FillSolidRect(&m_rectPreview, bActive ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE));
    if (!HasPicture() || m_pWorking == nullptr)
        return;
    SIZE size{0, 0};
    m_pWorking->GetSize(size, TRUE);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    CRect area = m_rectPreview;
    area.DeflateRect(kPreviewInset, kPreviewInset);
    CRect fit;
    FitAspectRect(&fit, &dc, size.cx, size.cy, area.left, area.top, area.right, area.bottom);
    // A raster carries its mirror state in its pixels; a metafile or a
    // composite is mirrored by the way its rectangle runs.
    CRect drawn = fit;
    if (!m_pWorking->IsRaster()) {
        if (m_pWorking->m_wFlags & IMAGE_FLAG_MIRROR_X)
            std::swap(drawn.left, drawn.right);
        if (m_pWorking->m_wFlags & IMAGE_FLAG_MIRROR_Y)
            std::swap(drawn.top, drawn.bottom);
    }
    m_pWorking->Draw(&dc, drawn, drawn, area);
}

// ---- The buttons -----------------------------------------------------------------------------

void CPictureInfoDlg::OnNew()
{
    CString strPath = HasPicture() ? m_strPath : CString();
    if (ChoosePictureSource(this, strPath, kPictureDialogPickOne) != kPictureChosen || strPath.IsEmpty())
        return;
    auto pNew = std::make_unique<CImage>();
    pNew->m_pView = m_pView;
    const int nLoadMode = HasPicture() ? m_nLoadMode : CImage::kDefaultLoadMode;
    try {
        pNew->LoadFile(strPath, nLoadMode);
    } catch (CUserException* e) {
        // The engine has told the user already.
        e->Delete();
        return;
    } catch (CException* e) {
        e->ReportError();
        e->Delete();
        return;
    }
    if (pNew->m_nHandle < 1)
        return;
    m_pWorking = std::move(pNew);
    m_strPath = strPath;
    m_nLoadMode = nLoadMode;
    m_bCropped = FALSE;
    m_nRotation = 0;
    m_bFlipX = m_bFlipY = FALSE;
    // The old picture's transparent colour means nothing in the new one.
    m_bTransparent = FALSE;
    if (!HasPicture())
        m_bEmbed = (thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) == 0;
    m_wFlags |= FlagHasPicture;
    SetBit(m_wFlags, FlagMonochrome, CImage::IsMonochromeFile(strPath));
    m_bReplaced = TRUE;
    m_bDeleted = FALSE;
    m_bRestored = FALSE;
    m_bChanged = TRUE;
    ShowPictureInfo();
    InvalidatePreview();
}

void CPictureInfoDlg::OnRemove()
{
    UpdateData(TRUE);
    const BOOL bWasTransparent = m_bTransparent;
    m_pWorking.reset();
    m_strPath.Empty();
    InvalidatePreview();
    if (bWasTransparent) {
        m_bProportional = ProportionalByDefault();
        UpdateData(FALSE);
    }
    m_wFlags &= ~WORD(FlagHasPicture | FlagMonochrome);
    m_bTransparent = FALSE;
    m_bReplaced = FALSE;
    m_bRestored = FALSE;
    m_bDeleted = TRUE;
    m_bChanged = TRUE;
    ShowPictureInfo();
    if (CWnd* pNew = GetDlgItem(IDC_PICINFO_NEW))
        GotoDlgCtrl(pNew);
}

void CPictureInfoDlg::OnRestore()
{
    if (!HasPicture() || m_bRestored)
        return;
    if (m_bCropped) {
        CString strQuestion;
        strQuestion.LoadString(IDS_PICINFO_RESTORE_CROPPED);
        if (AfxMessageBox(strQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    m_bRestored = TRUE;
    m_bCropped = FALSE;
    m_bChanged = TRUE;
    ShowPictureInfo();
    if (CWnd* pOK = GetDlgItem(IDOK))
        GotoDlgCtrl(pOK);
}

void CPictureInfoDlg::OnShapeToPicture()
{
    if (m_pObj != nullptr && m_pAttrs != nullptr
        && m_pObj->OnOpen(m_pView, CDrawObj::EditShape, this, m_pAttrs, 0))
        m_bChanged = TRUE;
}

void CPictureInfoDlg::OnBorderAroundPicture()
{
    if (m_pObj != nullptr && m_pAttrs != nullptr
        && m_pObj->OnOpen(m_pView, CDrawObj::EditColorFill, this, m_pAttrs, CDrawObj::OpenBorder))
        m_bChanged = TRUE;
}

void CPictureInfoDlg::OnColorToPicture()
{
    if (m_pWorking == nullptr || !m_pWorking->IsRaster())
        return;
    COLORREF crColor = m_crTransparent;
    if (!ChooseColorDlg(this, crColor, nullptr))
        return;
    m_pWorking->SetTransparency(TRUE, &crColor);
    m_bTransparent = TRUE;
    m_crTransparent = crColor;
    m_bReplaced = TRUE;
    m_bChanged = TRUE;
    InvalidatePreview();
}

void CPictureInfoDlg::OnPictureStudio()
{
    if (m_pWorking == nullptr || m_pObj == nullptr)
        return;
    CPictureStudioDlg dlg(m_pObj, m_pWorking.get(), this);
    if (dlg.DoModal() != IDOK)
        return;
    std::unique_ptr<CImage> pResult(dlg.DetachWorkingPicture());
    if (pResult == nullptr || pResult->m_nHandle < 1)
        return;
    m_pWorking = std::move(pResult);
    m_bReplaced = TRUE;
    m_bChanged = TRUE;
    InvalidatePreview();
}

// ---- Ending ----------------------------------------------------------------------------------

void CPictureInfoDlg::WriteRecord()
{
    CObjectAttributes& attrs = *m_pAttrs;
    const BOOL bPicture = HasPicture();
    attrs.m_nCalendarOptions[CObjectAttributes::HasPictureWord] = bPicture ? 1 : 0;
    attrs.m_strPictureFile = bPicture ? m_strPath : CString();
    SetBit(attrs.m_wPictureFlags, IMAGE_FLAG_EMBED, IsEmbedded());
    SetBit(attrs.m_wPictureFlags, IMAGE_FLAG_TRANSPARENT, m_bTransparent);
    SetBit(attrs.m_wFlags, ATTR_FLAG_PIC_TRANSPARENT, m_bTransparent);
    attrs.m_nPictureValues[CObjectAttributes::PictureTransparentColor] = LONG(m_crTransparent);
    attrs.m_nPictureValues[kValueLoadMode] = m_nLoadMode;
    SetBit(attrs.m_wPictureFlags, IMAGE_FLAG_MIRROR_X, m_bFlipX);
    SetBit(attrs.m_wPictureFlags, IMAGE_FLAG_MIRROR_Y, m_bFlipY);
    // The crop itself is taken off by the object (SetCrop), which needs the
    // record to still describe the cropped picture until then.
    if (!WantsCropReset()) {
        SetBit(attrs.m_wPictureFlags, IMAGE_FLAG_CROPPED, m_bCropped);
        SetBit(attrs.m_wFlags, ATTR_FLAG_PIC_CROPPED, m_bCropped);
    }
    attrs.m_nPictureValues[kValueRotation] = m_nRotation;
    SetBit(attrs.m_wFlags, OBJ_FLAG_NATURAL_SIZE, m_bProportional);
}

void CPictureInfoDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_bProportional != m_bProportionalAtStart)
        m_bChanged = TRUE;
    if ((m_wFlags & FlagMayApply) && m_pObj != nullptr && m_pAttrs != nullptr)
        WriteRecord();
    EndDialog(IDOK);
}
