#include "surface/ShapeDlg.h"

#include "app/PointArray.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/StockShapes.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>
#include <iterator>

namespace {

// The radios in the order of their index; the kind of index i is i for the
// first three and i + 1 after them, as a line (kind 3) has no radio.
const int kShapeRadios[] = {IDC_SHAPE_RECTANGLE, IDC_SHAPE_ROUNDED, IDC_SHAPE_ELLIPSE, IDC_SHAPE_STAR,
    IDC_SHAPE_ARROW, IDC_SHAPE_SUN, IDC_SHAPE_HEART, IDC_SHAPE_CLUB, IDC_SHAPE_SPADE, IDC_SHAPE_DIAMOND,
    IDC_SHAPE_SIGN, IDC_SHAPE_SHIELD, IDC_SHAPE_BUBBLE_RIGHT, IDC_SHAPE_BUBBLE_LEFT, IDC_SHAPE_POLYGON};
constexpr int kRadioCount = int(std::size(kShapeRadios));
// The picture beside each radio, in the same order.
const int kShapePictures[] = {IDC_SHAPE_PIC_RECTANGLE, IDC_SHAPE_PIC_ROUNDED, IDC_SHAPE_PIC_ELLIPSE,
    IDC_SHAPE_PIC_STAR, IDC_SHAPE_PIC_ARROW, IDC_SHAPE_PIC_SUN, IDC_SHAPE_PIC_HEART, IDC_SHAPE_PIC_CLUB,
    IDC_SHAPE_PIC_SPADE, IDC_SHAPE_PIC_DIAMOND, IDC_SHAPE_PIC_SIGN, IDC_SHAPE_PIC_SHIELD, IDC_SHAPE_PIC_BUBBLE_RIGHT,
    IDC_SHAPE_PIC_BUBBLE_LEFT, IDC_SHAPE_PIC_POLYGON};
static_assert(std::size(kShapePictures) == std::size(kShapeRadios));
constexpr int kLineKind = 3;
constexpr int kStarKind = 4;

// The picture bits of the object's flag word that the record carries.
constexpr WORD kPictureObjectBits = OBJ_FLAG_NATURAL_SIZE | OBJ_FLAG_MEMORY_PICTURE | OBJ_FLAG_CROPPED
    | ATTR_FLAG_PIC_TRANSPARENT | ATTR_FLAG_PIC_RASTER | ATTR_FLAG_PIC_CROPPED;

int RadioIndexOfPicture(int nID)
{
    const auto* pFound = std::find(std::begin(kShapePictures), std::end(kShapePictures), nID);
    return pFound == std::end(kShapePictures) ? -1 : int(pFound - std::begin(kShapePictures));
}

// The outline a shape object of the kind draws on the rectangle (y
// growing downwards), unturned; FALSE when it has none.
BOOL GetKindOutline(int nKind, int nSides, const CRect& rect, CPointArray& points)
{
    switch (nKind) {
    case SHAPE_RECTANGLE:
        points.SetSize(4);
        points.GetData()[0] = POINT{rect.left, rect.top};
        points.GetData()[1] = POINT{rect.right, rect.top};
        points.GetData()[2] = POINT{rect.right, rect.bottom};
        points.GetData()[3] = POINT{rect.left, rect.bottom};
        return TRUE;
    case SHAPE_ELLIPSE:
        CDrawRect::ComputeRegularPolygon(rect, points, kEllipsePoints, 0);
        return TRUE;
    case SHAPE_REGULAR_POLYGON:
        CDrawRect::ComputeRegularPolygon(rect, points, nSides, 0);
        return TRUE;
    default:
        return GetStockOutlinePoints(GetStockOutlineId(nKind), rect, 0, FALSE, points);
    }
}

} // namespace

BEGIN_MESSAGE_MAP(CShapeDlg, CDialog)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_SHAPE_RECTANGLE, IDC_SHAPE_POLYGON, OnShapeRadio)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_SHAPE_STAR, IDC_SHAPE_SUN, OnShapeRadio)
    ON_BN_CLICKED(IDC_SHAPE_COLOR_BORDER, OnColorBorder)
    ON_BN_CLICKED(IDC_SHAPE_PICTURE, OnPictureWithin)
    ON_CBN_SELCHANGE(IDC_SHAPE_SIDES, OnSidesChosen)
    ON_CONTROL_RANGE(STN_CLICKED, IDC_SHAPE_PIC_RECTANGLE, IDC_SHAPE_PIC_POLYGON, OnShapePicture)
    ON_CONTROL_RANGE(STN_CLICKED, IDC_SHAPE_PIC_STAR, IDC_SHAPE_PIC_DIAMOND, OnShapePicture)
    ON_CONTROL_RANGE(STN_CLICKED, IDC_SHAPE_PIC_BUBBLE_RIGHT, IDC_SHAPE_PIC_SUN, OnShapePicture)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CShapeDlg::CShapeDlg(CWnd* pParent)
    : CDialog(IDD_SHAPE, pParent)
{
}

int CShapeDlg::RadioIndexOfKind(int nKind)
{
    if (nKind < 0 || nKind == kLineKind || nKind > kPolygonKind)
        return -1;
    return nKind < kLineKind ? nKind : nKind - 1;
}

int CShapeDlg::KindOfRadioIndex(int nIndex)
{
    if (nIndex < 0 || nIndex >= kRadioCount)
        return -1;
    return nIndex < kLineKind ? nIndex : nIndex + 1;
}

int CShapeDlg::PictureOfRadioIndex(int nIndex)
{
    return nIndex >= 0 && nIndex < kRadioCount ? kShapePictures[nIndex] : 0;
}

void CShapeDlg::SetObject(CSurface* pView, CObjectAttributes* pAttrs, BOOL bShowApply, CDrawObj* pObj)
{
    m_pView = pView;
    m_pAttrs = pAttrs;
    m_pObj = pObj;
    m_bShowApply = bShowApply;
    if (pAttrs != nullptr)
        SetShape(pAttrs->m_nShape, pAttrs->m_nSides);
}

void CShapeDlg::SetShape(int nKind, int nSides)
{
    if (m_nShape == kStarKind)
        return;
    m_nShape = nKind;
    m_nSides = nSides;
}

void CShapeDlg::GetShape(int& nKind, int& nSides) const
{
    nKind = m_nShape;
    nSides = m_nSides;
}

BOOL CShapeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CComboBox* pSides = static_cast<CComboBox*>(GetDlgItem(IDC_SHAPE_SIDES))) {
        pSides->ResetContent();
        for (int n = kMinSides; n <= kMaxSides; ++n) {
            CString strCount;
            strCount.Format("%d", n);
            pSides->AddString(strCount);
        }
    }
    UpdateData(FALSE);
    if (m_pAttrs != nullptr && m_pAttrs->m_nShape == kFixedShapeKind) {
        // Every control of the group goes grey, the side list with them.
        for (int i = 0; i < kRadioCount; ++i) {
            for (int nID : {kShapeRadios[i], kShapePictures[i]}) {
                if (CWnd* pItem = GetDlgItem(nID))
                    pItem->EnableWindow(FALSE);
            }
        }
        for (int nID : {IDC_SHAPE_GROUP, IDC_SHAPE_SIDES, IDC_SHAPE_SIDES_LABEL}) {
            if (CWnd* pItem = GetDlgItem(nID))
                pItem->EnableWindow(FALSE);
        }
    }
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_SHAPE_HELP, this, IDI_BUTTON_HELP);
    // The Apply buttons open the object's own pages: without an object
    // there is nothing for them to open.
    if (!m_bShowApply || m_pObj == nullptr) {
        for (int nID : {IDC_SHAPE_APPLY, IDC_SHAPE_COLOR_BORDER, IDC_SHAPE_PICTURE}) {
            if (CWnd* pItem = GetDlgItem(nID))
                pItem->ShowWindow(SW_HIDE);
        }
    }
    EnableSides();
    CenterWindow();
    return TRUE;
}

void CShapeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    int nRadio = RadioIndexOfKind(m_nShape);
    // Below three the list's first item shows; above twenty nothing does.
    int nSidesIndex = m_nSides > kMaxSides ? -1 : (m_nSides - kMinSides < 0 ? 0 : m_nSides - kMinSides);
    DDX_Radio(pDX, IDC_SHAPE_RECTANGLE, nRadio);
    DDX_CBIndex(pDX, IDC_SHAPE_SIDES, nSidesIndex);
    if (!pDX->m_bSaveAndValidate)
        return;
    // Without a radio checked, or a side count picked, the values the
    // dialog was given stay: OK must not turn a line into an ellipse.
    if (nRadio >= 0)
        m_nShape = KindOfRadioIndex(nRadio);
    if (nSidesIndex >= 0)
        m_nSides = nSidesIndex + kMinSides;
}

void CShapeDlg::EnableSides()
{
    const BOOL bFixed = m_pAttrs != nullptr && m_pAttrs->m_nShape == kFixedShapeKind;
    const BOOL bPolygon = !bFixed && IsDlgButtonChecked(IDC_SHAPE_POLYGON) == BST_CHECKED;
    for (int nID : {IDC_SHAPE_SIDES, IDC_SHAPE_SIDES_LABEL}) {
        if (CWnd* pItem = GetDlgItem(nID))
            pItem->EnableWindow(bPolygon);
    }
}

void CShapeDlg::OnShapeRadio(UINT nID)
{
    (void)nID;
    EnableSides();
    if (m_nFlags & FlagReportChanges)
        m_bChanged = TRUE;
}

void CShapeDlg::OnSidesChosen()
{
    if (CWnd* pPicture = GetDlgItem(IDC_SHAPE_PIC_POLYGON))
        pPicture->Invalidate();
    if (m_nFlags & FlagReportChanges)
        m_bChanged = TRUE;
}

void CShapeDlg::OnShapePicture(UINT nID)
{
    const int nIndex = RadioIndexOfPicture(int(nID));
    CWnd* pRadio = nIndex >= 0 ? GetDlgItem(kShapeRadios[nIndex]) : nullptr;
    // The radio's own click checks it, moves the focus and reports it.
    if (pRadio != nullptr && pRadio->IsWindowEnabled())
        pRadio->SendMessage(BM_CLICK);
}

int CShapeDlg::GetPictureSides() const
{
    const auto* pSides = static_cast<const CComboBox*>(GetDlgItem(IDC_SHAPE_SIDES));
    const int nIndex = pSides != nullptr ? pSides->GetCurSel() : -1;
    if (nIndex >= 0)
        return nIndex + kMinSides;
    return std::clamp(m_nSides, kMinSides, kMaxSides);
}

void CShapeDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    const int nIndex = RadioIndexOfPicture(nIDCtl);
    if (nIndex < 0 || lpDrawItemStruct == nullptr) {
        CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    DrawShapePicture(CDC::FromHandle(lpDrawItemStruct->hDC), CRect(lpDrawItemStruct->rcItem),
        KindOfRadioIndex(nIndex), (lpDrawItemStruct->itemState & ODS_DISABLED) == 0);
}

void CShapeDlg::DrawShapePicture(CDC* pDC, const CRect& rect, int nKind, BOOL bEnabled) const
{
    if (pDC == nullptr)
        return;
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    // The pen draws on the outline's points, so the last row and column
    // the outline reaches must still lie inside the control.
    const CRect shape(rect.left + 1, rect.top + 1, rect.right - 2, rect.bottom - 2);
    CPointArray points;
    if (shape.Width() < 2 || shape.Height() < 2 || !GetKindOutline(nKind, GetPictureSides(), shape, points)
        || points.GetCount() < 3)
        return;
    CPen pen(PS_SOLID, 1, ::GetSysColor(bEnabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    CBrush brush(::GetSysColor(bEnabled ? COLOR_WINDOW : COLOR_BTNFACE));
    const int nSaved = pDC->SaveDC();
    pDC->SelectObject(&pen);
    pDC->SelectObject(&brush);
    pDC->Polygon(points.GetData(), points.GetCount());
    pDC->RestoreDC(nSaved);
}

void CShapeDlg::OnColorBorder()
{
    if (m_pObj == nullptr || m_pAttrs == nullptr)
        return;
    // The page edits this dialog's record; OK applies it with the shape.
    if (m_pObj->OnOpen(m_pView, CDrawObj::EditColorFill, this, m_pAttrs, 0))
        m_bChanged = TRUE;
}

void CShapeDlg::OnPictureWithin()
{
    if (m_pObj == nullptr)
        return;
    if (m_pObj->OnOpen(m_pView, CDrawObj::EditPicture, this, nullptr, 0)) {
        TakePictureFromObject();
        m_bChanged = TRUE;
    }
}

void CShapeDlg::TakePictureFromObject()
{
    if (m_pObj == nullptr || m_pAttrs == nullptr)
        return;
    CObjectAttributes now;
    m_pObj->GetAttributes(now);
    CObjectAttributes& attrs = *m_pAttrs;
    attrs.m_rect = now.m_rect;
    attrs.m_wFlags = WORD((attrs.m_wFlags & ~kPictureObjectBits) | (now.m_wFlags & kPictureObjectBits));
    attrs.m_wPictureFlags = now.m_wPictureFlags;
    attrs.m_strPictureFile = now.m_strPictureFile;
    for (int i = 0; i < int(std::size(attrs.m_nPictureValues)); ++i)
        attrs.m_nPictureValues[i] = now.m_nPictureValues[i];
    attrs.m_nCalendarOptions[CObjectAttributes::HasPictureWord] =
        now.m_nCalendarOptions[CObjectAttributes::HasPictureWord];
    attrs.m_dCropLeft = now.m_dCropLeft;
    attrs.m_dCropTop = now.m_dCropTop;
    attrs.m_dCropWidth = now.m_dCropWidth;
    attrs.m_dCropHeight = now.m_dCropHeight;
    attrs.m_dBaseLeft = now.m_dBaseLeft;
    attrs.m_dBaseTop = now.m_dBaseTop;
    attrs.m_dBaseWidth = now.m_dBaseWidth;
    attrs.m_dBaseHeight = now.m_dBaseHeight;
    attrs.m_sizePicture = now.m_sizePicture;
}

void CShapeDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if ((m_nFlags & FlagWriteRecord) && m_pAttrs != nullptr) {
        m_pAttrs->m_nShape = m_nShape;
        m_pAttrs->m_nSides = m_nSides;
    }
    EndDialog(IDOK);
}
