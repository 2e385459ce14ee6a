#include "surface/ToolpadPanels.h"

#include "app/FontHelpers.h"
#include "app/PrefData.h"
#include "assist/HintDlgs.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoRecording.h"
#include "pictures/Image.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"

#include <iterator>

IMPLEMENT_DYNAMIC(CWorkspacePanel, CToolPadPanel)
IMPLEMENT_DYNAMIC(CContextPanel, CToolPadPanel)

namespace {

// Every context panel's title sits here.
const CRect kTitleRect(3, 26, 126, 44);

const ToolpadButtonDef kWorkspaceButtons[] = {
    {IDC_TP_INSERT_PICTURE, 13, 24, 40, 50, IDB_TP_INSERT_PICTURE, IDB_TP_INSERT_PICTURE_PRESSED, "Insert Picture"},
    {IDC_TP_EDIT_PICTURE, 13, 24, 40, 50, IDB_TP_EDIT_PICTURE, IDB_TP_EDIT_PICTURE_PRESSED, "Edit picture"},
    {IDC_TP_TEXT_WORKSPACE, 70, 24, 124, 44, IDB_TP_TEXT_WORKSPACE, IDB_TP_TEXT_WORKSPACE_PRESSED,
        "Insert Text on the workspace"},
    {IDC_TP_CHANGE_WRAPPED_TEXT, 70, 24, 124, 44, IDB_TP_CHANGE_TEXT_WRAP, IDB_TP_CHANGE_TEXT_WRAP_PRESSED,
        "Change text"},
    {IDC_TP_TEXT_DIALOG, 70, 44, 124, 50, IDB_TP_TEXT_DIALOG, IDB_TP_TEXT_DIALOG_PRESSED,
        "Insert Text through text dialog"},
    {IDC_TP_CHANGE_BLOCK_TEXT, 70, 44, 124, 50, IDB_TP_CHANGE_TEXT_BLOCK, IDB_TP_CHANGE_TEXT_BLOCK_PRESSED,
        "Change text"},
    {IDC_TP_PRINT, 13, 71, 40, 97, IDB_TP_PRINT, IDB_TP_PRINT_PRESSED, "Print your Design"},
    {IDC_TP_SUPPLIES, 70, 71, 97, 97, IDB_TP_SUPPLIES, IDB_TP_SUPPLIES_PRESSED, "Order Supplies"},
    {IDC_TP_NEW_DESIGN, 13, 119, 40, 145, IDB_TP_NEW_DESIGN, IDB_TP_NEW_DESIGN_PRESSED, "Start a new Design"},
    {IDC_TP_OPEN_DESIGN, 70, 119, 97, 145, IDB_TP_OPEN_DESIGN, IDB_TP_OPEN_DESIGN_PRESSED,
        "Open your saved Designs"},
};

// The buttons that wait hidden until the selection asks for them.
const UINT kWorkspaceHiddenAtFirst[] = {IDC_TP_EDIT_PICTURE, IDC_TP_CHANGE_WRAPPED_TEXT, IDC_TP_CHANGE_BLOCK_TEXT};

const ToolpadButtonDef kPictureButtons[] = {
    {IDC_TP_BUTTON1, 9, 48, 52, 78, IDB_TP_PICTURE_STUDIO, IDB_TP_PICTURE_STUDIO_PRESSED, "Open Picture Studio"},
    {IDC_TP_BUTTON2, 9, 82, 52, 112, IDB_TP_ADD_SHAPE, IDB_TP_ADD_SHAPE_PRESSED, "Add Shape (to picture)"},
};

const ToolpadButtonDef kShapeButtons[] = {
    {IDC_TP_BUTTON1, 9, 48, 52, 78, IDB_TP_CHANGE_SHAPE, IDB_TP_CHANGE_SHAPE_PRESSED, "Change shape"},
    {IDC_TP_BUTTON2, 9, 82, 52, 112, IDB_TP_COLOR_FILL, IDB_TP_COLOR_FILL_PRESSED, "Apply Color/Fill"},
    {IDC_TP_BUTTON3, 9, 116, 52, 146, IDB_TP_PICTURE_IN_SHAPE, IDB_TP_PICTURE_IN_SHAPE_PRESSED,
        "Insert a picture in shape"},
};

const ToolpadButtonDef kArrangeButtons[] = {
    {IDC_TP_BUTTON1, 9, 48, 52, 78, IDB_TP_CENTER, IDB_TP_CENTER_PRESSED, "Center"},
    {IDC_TP_BUTTON2, 9, 70, 52, 100, IDB_TP_ALIGN, IDB_TP_ALIGN_PRESSED, "Align"},
    {IDC_TP_BUTTON3, 9, 92, 52, 122, IDB_TP_FLIP, IDB_TP_FLIP_PRESSED, "Flip"},
    {IDC_TP_BUTTON4, 9, 114, 52, 144, IDB_TP_SAME_SIZE, IDB_TP_SAME_SIZE_PRESSED, "Same Size"},
};

const ToolpadButtonDef kCalendarButtons[] = {
    {IDC_TP_BUTTON1, 9, 48, 52, 78, IDB_TP_CHANGE_CALENDAR, IDB_TP_CHANGE_CALENDAR_PRESSED, "Change calendar"},
    {IDC_TP_BUTTON2, 9, 82, 52, 112, IDB_TP_COLOR_FILL, IDB_TP_COLOR_FILL_PRESSED, "Apply Color/Fill"},
    {IDC_TP_BUTTON3, 9, 116, 52, 146, IDB_TP_PICTURE_IN_CALENDAR, IDB_TP_PICTURE_IN_CALENDAR_PRESSED,
        "Insert a picture in calendar"},
};

const ToolpadButtonDef kDayCellButtons[] = {
    {IDC_TP_BUTTON1, 9, 48, 52, 78, IDB_TP_CHANGE_CALENDAR, IDB_TP_CHANGE_CALENDAR_PRESSED, "Change calendar"},
    {IDC_TP_BUTTON2, 9, 82, 52, 112, IDB_TP_EDIT_DAY, IDB_TP_EDIT_DAY_PRESSED, "Edit Day"},
};

const ToolpadButtonDef kHourCellButtons[] = {
    {IDC_TP_BUTTON1, 9, 48, 52, 78, IDB_TP_CHANGE_CALENDAR, IDB_TP_CHANGE_CALENDAR_PRESSED, "Change calendar"},
    {IDC_TP_BUTTON2, 9, 82, 52, 112, IDB_TP_EDIT_HOUR, IDB_TP_EDIT_HOUR_PRESSED, "Edit Hour"},
};

// The arrange panel's menus, by button.
struct ArrangeMenu {
    UINT nButton;
    UINT nMenu;
};
const ArrangeMenu kArrangeMenus[] = {
    {IDC_TP_BUTTON1, IDR_TP_CENTER},
    {IDC_TP_BUTTON2, IDR_TP_ALIGN},
    {IDC_TP_BUTTON3, IDR_TP_FLIP},
    {IDC_TP_BUTTON4, IDR_TP_SAME_SIZE},
};

BOOL IsButtonClick(WPARAM wParam)
{
    return HIWORD(wParam) == BN_CLICKED;
}

// Adds the buttons in their order; FALSE as soon as one cannot be made.
BOOL AddButtons(CToolPadPanel& panel, const ToolpadButtonDef* pButtons, size_t nButtons, BOOL bTransparent)
{
    for (size_t i = 0; i < nButtons; ++i) {
        const ToolpadButtonDef& button = pButtons[i];
        const CRect rect(button.left, button.top, button.right, button.bottom);
        if (panel.AddButton(button.nID, rect, button.nNormal, button.nPressed, button.pszTip, bTransparent) == nullptr)
            return FALSE;
    }
    return TRUE;
}

} // namespace

void PostToolpadCommand(UINT nCommand)
{
    if (CWnd* pMain = AfxGetMainWnd(); pMain != nullptr && pMain->m_hWnd != NULL)
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(nCommand, 0), 0);
}

// ---- CWorkspacePanel -------------------------------------------------------------------------

CWorkspacePanel::CWorkspacePanel()
    : CToolPadPanel(NULL, FALSE, 0)
{
}

BOOL CWorkspacePanel::OnCreatePanel()
{
    if (!AddButtons(*this, kWorkspaceButtons, std::size(kWorkspaceButtons), TRUE))
        return FALSE;
    for (UINT nID : kWorkspaceHiddenAtFirst)
        ShowButton(nID, FALSE);
    return TRUE;
}

void CWorkspacePanel::ShowButton(UINT nID, BOOL bShow)
{
    if (CWnd* pButton = GetDlgItem(static_cast<int>(nID)); pButton != nullptr)
        pButton->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CWorkspacePanel::SwitchTextButtons(TextButtons buttons)
{
    const BOOL bWrapped = buttons == TextButtons::ChangeWrapped;
    const BOOL bBlock = buttons == TextButtons::ChangeBlock;
    ShowButton(IDC_TP_TEXT_WORKSPACE, !bWrapped);
    ShowButton(IDC_TP_CHANGE_WRAPPED_TEXT, bWrapped);
    ShowButton(IDC_TP_TEXT_DIALOG, !bBlock);
    ShowButton(IDC_TP_CHANGE_BLOCK_TEXT, bBlock);
}

void CWorkspacePanel::SwitchPictureButtons(BOOL bEdit)
{
    ShowButton(IDC_TP_INSERT_PICTURE, !bEdit);
    ShowButton(IDC_TP_EDIT_PICTURE, bEdit);
}

void CWorkspacePanel::OnInsertTextOnWorkspace()
{
    // Shown only while its "show again" bit is set.
    ShowAddTextHint(AfxGetMainWnd());
    PostToolpadCommand(ID_DRAW_TEXT_TOOL);
}

BOOL CWorkspacePanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (!IsButtonClick(wParam))
        return CToolPadPanel::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDC_TP_INSERT_PICTURE:
        PostToolpadCommand((thePrefs.Flags & PREF_FLAG_INSERT_FROM_GALLERY) != 0 ? ID_INSERT_PICTURE_GALLERY
                                                                                  : ID_INSERT_PICTURE_OTHER);
        return TRUE;
    case IDC_TP_EDIT_PICTURE:
    case IDC_TP_CHANGE_WRAPPED_TEXT:
    case IDC_TP_CHANGE_BLOCK_TEXT:
        PostToolpadCommand(ID_EDIT_PROPERTIES);
        return TRUE;
    case IDC_TP_TEXT_WORKSPACE:
        OnInsertTextOnWorkspace();
        return TRUE;
    case IDC_TP_TEXT_DIALOG:
        PostToolpadCommand(ID_INSERT_TEXT_EFFECTS);
        return TRUE;
    case IDC_TP_PRINT:
        PostToolpadCommand(ID_FILE_PRINT);
        return TRUE;
    case IDC_TP_SUPPLIES:
        PostToolpadCommand(ID_HELP_SUPPLY_CENTER);
        return TRUE;
    case IDC_TP_NEW_DESIGN:
        PostToolpadCommand(ID_FILE_NEW);
        return TRUE;
    case IDC_TP_OPEN_DESIGN:
        PostToolpadCommand(ID_FILE_OPEN);
        return TRUE;
    default:
        return CToolPadPanel::OnCommand(wParam, lParam);
    }
}

// ---- CContextPanel ---------------------------------------------------------------------------

CContextPanel::CContextPanel(int nState, UINT nHowDoIMenu, UINT nTitle, const ToolpadButtonDef* pButtons,
    size_t nButtons)
    : CToolPadPanel(NULL, TRUE, nHowDoIMenu)
    , m_nState(nState)
    , m_nTitle(nTitle)
    , m_pButtons(pButtons)
    , m_nButtons(nButtons)
{
}

BOOL CContextPanel::OnCreatePanel()
{
    if (AddTitle(m_nTitle, kTitleRect) == nullptr)
        return FALSE;
    return AddButtons(*this, m_pButtons, m_nButtons, FALSE);
}

BOOL CContextPanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (!IsButtonClick(wParam) || nID == kHowDoIButtonId)
        return CToolPadPanel::OnCommand(wParam, lParam);
    for (size_t i = 0; i < m_nButtons; ++i) {
        if (m_pButtons[i].nID != nID)
            continue;
        if (ToolPageFitsSelection(m_nState))
            OnButton(nID);
        return TRUE;
    }
    return CToolPadPanel::OnCommand(wParam, lParam);
}

BOOL CContextPanel::OpenSelectedEditor(int nPage, BOOL bWithView)
{
    CSurface* pView = nullptr;
    CDrawObj* pObj = GetSingleSelection(&pView);
    if (pObj == nullptr)
        return FALSE;
    pObj->OnOpen(bWithView ? pView : nullptr, nPage);
    return TRUE;
}

// ---- The context panels ----------------------------------------------------------------------

CPicturePanel::CPicturePanel()
    : CContextPanel(kToolpadPicture, IDR_HOWDOI_PICTURE, IDB_TP_TITLE_PICTURE, kPictureButtons,
          std::size(kPictureButtons))
{
}

void CPicturePanel::ShowFirstButton()
{
    if (CWnd* pButton = GetDlgItem(IDC_TP_BUTTON1); pButton != nullptr)
        pButton->ShowWindow(SW_SHOW);
}

void CPicturePanel::OnButton(UINT nID)
{
    if (nID == IDC_TP_BUTTON1)
        PostToolpadCommand(ID_PICTURE_STUDIO_ITEM);
    else if (nID == IDC_TP_BUTTON2)
        OpenSelectedEditor(CDrawObj::EditShape, FALSE);
}

CHintPanel::CHintPanel()
    : CContextPanel(kToolpadHint, IDR_HOWDOI_GENERAL, IDB_TP_TITLE_HINT, nullptr, 0)
{
}

void CHintPanel::PaintHint(CDC* pDC)
{
    CString text;
    if (!text.LoadString(IDS_TP_HINT))
        return;
    CRect rect;
    GetClientRect(&rect);
    rect.top += 43;
    rect.DeflateRect(8, 4);
    CFont font;
    if (!font.CreateFont(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, g_defaultFaceName))
        return;
    CFont* pOldFont = pDC->SelectObject(&font);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(text, &rect, DT_WORDBREAK | DT_LEFT | DT_NOPREFIX);
    pDC->SetBkMode(nOldMode);
    pDC->SelectObject(pOldFont);
}

LRESULT CHintPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        CPaintDC dc(this);
        PaintHint(&dc);
        return 0;
    }
    return CContextPanel::WindowProc(message, wParam, lParam);
}

CShapePanel::CShapePanel()
    : CContextPanel(kToolpadShape, IDR_HOWDOI_SHAPE, IDB_TP_TITLE_SHAPE, kShapeButtons, std::size(kShapeButtons))
{
}

BOOL CShapePanel::ShowShapeButtons(BOOL bShow)
{
    BOOL bChanged = FALSE;
    for (int nID : {IDC_TP_BUTTON1, IDC_TP_BUTTON3}) {
        CWnd* pButton = GetDlgItem(nID);
        if (pButton == nullptr || (pButton->IsWindowVisible() != FALSE) == (bShow != FALSE))
            continue;
        pButton->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
        bChanged = TRUE;
    }
    return bChanged;
}

void CShapePanel::OnButton(UINT nID)
{
    switch (nID) {
    case IDC_TP_BUTTON1:
        // Unless the user keeps drawing tools, a half-used tool ends first.
        if ((thePrefs.Flags & PREF_FLAG_RESET_TOOL) == 0) {
            CSurface* pView = GetActiveSurface();
            if (CSurfaceTool* pTool = FindTool(g_nCurrentShape); pTool != nullptr && pView != nullptr)
                pTool->OnCancel(pView);
        }
        PostToolpadCommand(ID_EDIT_PROPERTIES);
        break;
    case IDC_TP_BUTTON2:
        OpenSelectedEditor(CDrawObj::EditColorFill, FALSE);
        break;
    case IDC_TP_BUTTON3:
        OnInsertPictureInShape();
        break;
    default:
        break;
    }
}

void CShapePanel::OnInsertPictureInShape()
{
    // The editor's own step and the turn below are one step: Undo gives
    // back the shape as it was before the button, picture and all.
    CSurface* pView = GetActiveSurface();
    CUndoCompound step(pView != nullptr ? pView->GetDocument() : nullptr);
    if (!OpenSelectedEditor(CDrawObj::EditPicture, FALSE))
        return;
    // The editor may have replaced or dropped the selection.
    CDrawObj* pObj = GetSingleSelection(nullptr);
    if (pObj == nullptr || !pObj->HasPicture() || pObj->m_pPicture == nullptr)
        return;
    // A picture put into a turned shape turns with it.
    const int nAngle = pObj->GetRoundedAngle();
    if (nAngle == 0)
        return;
    // The turn rebuilds the picture's pixels: the step keeps the picture
    // the editor gave, and the object goes on with a copy.
    RecordUndoPictureChange(pObj->m_pDocument, pObj, nullptr, IDS_UNDO_PICTURE_ROTATE);
    CRect rectRaster = pObj->m_position;
    pObj->m_pPicture->RotateWithWaitCursor(nAngle, rectRaster, pObj->m_rectUnrotated, RGB(255, 255, 255), TRUE);
    pObj->FreeRenderCache();
    pObj->Invalidate();
}

CArrangePanel::CArrangePanel()
    : CContextPanel(kToolpadArrange, IDR_HOWDOI_MULTIPLE, IDB_TP_TITLE_ARRANGE, kArrangeButtons,
          std::size(kArrangeButtons))
{
}

void CArrangePanel::OnButton(UINT nID)
{
    for (const ArrangeMenu& entry : kArrangeMenus) {
        if (entry.nButton != nID)
            continue;
        CMenu menu;
        if (!menu.LoadMenu(entry.nMenu))
            return;
        CMenu* pPopup = menu.GetSubMenu(0);
        CWnd* pMain = AfxGetMainWnd();
        if (pPopup == nullptr || pMain == nullptr)
            return;
        CPoint point;
        ::GetCursorPos(&point);
        pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, pMain);
        return;
    }
}

CCalendarPanel::CCalendarPanel()
    : CContextPanel(kToolpadCalendar, IDR_HOWDOI_CALENDAR, IDB_TP_TITLE_CALENDAR, kCalendarButtons,
          std::size(kCalendarButtons))
{
}

void CCalendarPanel::OnButton(UINT nID)
{
    switch (nID) {
    case IDC_TP_BUTTON1:
        PostToolpadCommand(ID_EDIT_PROPERTIES);
        break;
    case IDC_TP_BUTTON2:
        OpenSelectedEditor(CDrawObj::EditColorFill, FALSE);
        break;
    case IDC_TP_BUTTON3:
        OpenSelectedEditor(CDrawObj::EditPicture, FALSE);
        break;
    default:
        break;
    }
}

CCellPanel::CCellPanel(BOOL bHour)
    : CContextPanel(bHour ? kToolpadHourCell : kToolpadDayCell, IDR_HOWDOI_CALENDAR, IDB_TP_TITLE_CALENDAR,
          bHour ? kHourCellButtons : kDayCellButtons, bHour ? std::size(kHourCellButtons) : std::size(kDayCellButtons))
{
}

void CCellPanel::OnButton(UINT nID)
{
    if (nID == IDC_TP_BUTTON1)
        PostToolpadCommand(ID_EDIT_PROPERTIES);
    else if (nID == IDC_TP_BUTTON2)
        OpenSelectedEditor(CDrawObj::EditByContent, TRUE);
}
