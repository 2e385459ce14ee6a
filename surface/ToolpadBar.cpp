#include "surface/ToolpadBar.h"

#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"

IMPLEMENT_DYNCREATE(CToolpadBar, CDialogBar)

BEGIN_MESSAGE_MAP(CToolpadBar, CDialogBar)
    ON_LBN_SELCHANGE(IDC_TOOLPAD_TOOLS, OnToolListSelChange)
    ON_LBN_SELCHANGE(IDC_TOOLPAD_SELECTION, OnSelectionListSelChange)
    ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
    ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
END_MESSAGE_MAP()

namespace {

struct ListEntry {
    UINT nText;
    DWORD dwData; // a tool number, or a command id
};

// The tools in the order the user meets them; the numbers are the values
// of the current tool.
const ListEntry kTools[] = {
    {IDS_TOOL_SELECT, kShapeSelect},
    {IDS_TOOL_RECTANGLE, 0},
    {IDS_TOOL_ROUND_RECTANGLE, 1},
    {IDS_TOOL_ELLIPSE, 2},
    {IDS_TOOL_LINE, 3},
    {IDS_TOOL_POLYGON, 16},
    {IDS_TOOL_TEXT, 18},
    {IDS_TOOL_ZOOM, 19},
};

// What can be done with a selection: menu commands, run by the main
// window like any menu choice.
const ListEntry kSelectionActions[] = {
    {IDS_SELECTION_CUT, ID_EDIT_CUT},
    {IDS_SELECTION_COPY, ID_EDIT_COPY},
    {IDS_SELECTION_DELETE, ID_EDIT_CLEAR},
    {IDS_SELECTION_PROPERTIES, ID_EDIT_PROPERTIES},
};

void FillList(CListBox& list, const ListEntry* pEntries, size_t nCount)
{
    list.ResetContent();
    for (size_t i = 0; i < nCount; ++i) {
        CString text;
        if (!text.LoadString(pEntries[i].nText))
            continue;
        const int nIndex = list.AddString(text);
        if (nIndex >= 0)
            list.SetItemData(nIndex, pEntries[i].dwData);
    }
}

} // namespace

CToolpadBar::CToolpadBar() = default;

CToolpadBar::~CToolpadBar() = default;

BOOL CToolpadBar::Create(CWnd* pParentWnd, UINT nStyle, UINT nID)
{
    if (!CDialogBar::Create(pParentWnd, IDD_TOOLPAD, nStyle, nID))
        return FALSE;
    SetWindowText("Tool Pad");
    if (!m_toolList.SubclassDlgItem(IDC_TOOLPAD_TOOLS, this)
        || !m_selectionList.SubclassDlgItem(IDC_TOOLPAD_SELECTION, this)) {
        DestroyWindow();
        return FALSE;
    }
    FillList(m_toolList, kTools, std::size(kTools));
    FillList(m_selectionList, kSelectionActions, std::size(kSelectionActions));
    ShowList(FALSE);
    return TRUE;
}

CSurface* CToolpadBar::GetActiveSurface()
{
    return ::GetActiveSurface();
}

void CToolpadBar::UpdateToolpad()
{
    if (m_hWnd == NULL)
        return;
    CSurface* pSurface = GetActiveSurface();
    const BOOL bSelection = pSurface != NULL && !pSurface->GetSelection().IsEmpty();
    ShowList(bSelection);
    if (!bSelection) {
        // Keep the list's highlight on the tool in use.
        for (int i = 0; i < m_toolList.GetCount(); ++i) {
            if (static_cast<int>(m_toolList.GetItemData(i)) == g_nCurrentShape) {
                m_toolList.SetCurSel(i);
                return;
            }
        }
        m_toolList.SetCurSel(-1);
    }
}

CListBox* CToolpadBar::GetVisibleList()
{
    if (m_toolList.m_hWnd == NULL)
        return NULL;
    return m_bShowingSelection ? &m_selectionList : &m_toolList;
}

void CToolpadBar::ShowList(BOOL bSelection)
{
    m_bShowingSelection = bSelection ? TRUE : FALSE;
    if (m_toolList.m_hWnd != NULL)
        m_toolList.ShowWindow(bSelection ? SW_HIDE : SW_SHOW);
    if (m_selectionList.m_hWnd != NULL)
        m_selectionList.ShowWindow(bSelection ? SW_SHOW : SW_HIDE);
}

void CToolpadBar::OnToolListSelChange()
{
    const int nIndex = m_toolList.GetCurSel();
    if (nIndex < 0)
        return;
    SetCurrentShape(GetActiveSurface(), static_cast<int>(m_toolList.GetItemData(nIndex)));
}

void CToolpadBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL /*bDisableIfNoHndler*/)
{
    // A dialog bar disables the controls no command handler updates; the
    // tool pad's lists are its own and always in use.
    CDialogBar::OnUpdateCmdUI(pTarget, FALSE);
}

void CToolpadBar::OnSelectionListSelChange()
{
    const int nIndex = m_selectionList.GetCurSel();
    if (nIndex < 0)
        return;
    const UINT nCommand = static_cast<UINT>(m_selectionList.GetItemData(nIndex));
    m_selectionList.SetCurSel(-1);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(nCommand, 0), 0);
}

LRESULT CToolpadBar::OnQueryNewPalette(WPARAM wParam, LPARAM lParam)
{
    // The bar draws with system colours only: it has no palette to realise.
    (void)wParam;
    (void)lParam;
    return 0;
}

LRESULT CToolpadBar::OnPaletteChanged(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}
