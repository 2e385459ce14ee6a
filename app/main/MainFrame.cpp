#include "app/main/MainFrame.h"

#include "app/ContentCatalog.h"
#include "app/Drives.h"
#include "app/KitFinder.h"
#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/TextTable.h"
#include "app/Utilities.h"
#include "app/main/AppGlobals.h"
#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "app/main/DocTemplates.h"
#include "app/main/MainToolBars.h"
#include "app/main/ToolbarsDlg.h"
#include "assist/ExternalPrograms.h"
#include "assist/GetStartedWizard.h"
#include "assist/HintDlgs.h"
#include "assist/InsertCDDlg.h"
#include "assist/LauncherDlg.h"
#include "assist/PremadeDesigns.h"
#include "assist/ToolsPage.h"
#include "assist/UserSignInDlg.h"
#include "controls/DesignFileKind.h"
#include "model/DocKinds.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "platform/services/Help.h"
#include "platform/services/Process.h"
#include "print/PageSetup.h"
#include "resources/resource.h"
#include "surface/ToolpadBar.h"
#include "surface/ToolpadWnd.h"

#include <algorithm>
#include <iterator>
#include <memory>

CPropertySheet* g_pCurrentWizardSheet = nullptr;
CDialog* g_pUserSignInDlg = nullptr;
HANDLE g_hHeldInstanceMapping = NULL;
HWND g_hWndCurrentModeless = NULL;
BOOL g_bApplicationActive = TRUE;

namespace {

// The add-ons whose Tools entries are offered once each, in the order they
// are added when the list has room.
const char* const kAddOnKeys[] = {"Contax_Init", "Scrivane_Init", "Varnette_Init", "OlvCard_Init"};

// Bar titles as the floating frames and the saved layout show them.
const char kStandardTitle[] = "Standard";
const char kFormattingTitle[] = "Formatting";

// At most this many dropped files are taken from one drop.
constexpr UINT kMaxDroppedFiles = 256;

// Saved layouts hold at most this many bar sections.
constexpr int kSavedBarSections = 10;

struct HelpTopic {
    UINT nID;
    DWORD dwContext;
};

// The "How do I" commands and their help contexts.
const HelpTopic kHowDoITopics[] = {
    {ID_HOWTO_GALLERY, 85}, {ID_HOWTO_EDIT_PICTURE, 5}, {ID_HOWTO_RESIZE_PICTURE, 6},
    {ID_HOWTO_ROTATE_PICTURE, 7}, {ID_HOWTO_CENTER_PICTURE, 9}, {ID_HOWTO_PICTURE_1, 1},
    {ID_HOWTO_PICTURE_2, 1}, {ID_HOWTO_PICTURE_EFFECTS, 10}, {ID_HOWTO_CHANGE_TEXT, 11},
    {ID_HOWTO_TEXT_COLOR, 16}, {ID_HOWTO_TEXT_COLOR_2, 16}, {ID_HOWTO_RAINBOW, 146},
    {ID_HOWTO_ALIGN_TEXT, 13}, {ID_HOWTO_SHAPE_TEXT, 15}, {ID_HOWTO_ROTATE_TEXT, 17},
    {ID_HOWTO_ADD_PICTURE, 81}, {ID_HOWTO_ADD_TEXT, 82}, {ID_HOWTO_ADD_SHAPE, 83},
    {ID_HOWTO_ADD_CALENDAR, 84}, {ID_HOWTO_PRINT, 50}, {ID_HOWTO_SAVE, 2},
    {ID_HOWTO_START_OVER, 47}, {ID_HOWTO_RESIZE_SHAPE, 18}, {ID_HOWTO_ROTATE_SHAPE, 19},
    {ID_HOWTO_CHANGE_SHAPE, 21}, {ID_HOWTO_PICTURE_IN_SHAPE, 22}, {ID_HOWTO_MAXIMIZE_SHAPE, 112},
    {ID_HOWTO_YEARLY_CALENDAR, 23}, {ID_HOWTO_RESIZE_CALENDAR, 24}, {ID_HOWTO_DELETE_SHAPE, 20},
    {ID_HOWTO_DELETE_CALENDAR, 20}, {ID_HOWTO_BACKGROUND, 26}, {ID_HOWTO_CALENDAR_COLOR, 27},
    {ID_HOWTO_IMPORT_EVENTS, 243}, {ID_HOWTO_GROUP, 108}, {ID_HOWTO_RESIZE_MULTIPLE, 29},
    {ID_HOWTO_ALIGN_MULTIPLE, 30}, {ID_HOWTO_ROTATE_MULTIPLE, 31}, {ID_HOWTO_LOCK_MULTIPLE, 110},
    {ID_HOWTO_NEW_DESIGN, 234}, {ID_HOWTO_ALIGN_PICTURE, 107}, {ID_HOWTO_FLIP_PICTURE, 8},
    {ID_HOWTO_EDIT_TEXT, 12}, {ID_HOWTO_AUTOSIZE_TEXT, 169}, {ID_HOWTO_EDIT_CELLS, 221},
    // Help commands of the Help menu that go straight to a topic.
    {ID_HELP_TOPIC_10815, 0x1E107}, {ID_HELP_TECH_SUPPORT, 0x1805D}, {ID_HELP_CONTACT, 0x180EC},
    {ID_HELP_TOPIC_32983, 0x180D7},
};

CString LoadResString(UINT nID)
{
    CString text;
    text.LoadString(nID);
    return text;
}

LPCTSTR ProfileName()
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->m_pszProfileName != nullptr ? pApp->m_pszProfileName : "";
}

BOOL AnyDocumentOpen()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    POSITION posTemplate = pApp->GetFirstDocTemplatePosition();
    while (posTemplate != nullptr) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posTemplate);
        if (pTemplate->GetFirstDocPosition() != nullptr)
            return TRUE;
    }
    return FALSE;
}

void DestroyBar(CControlBar* pBar)
{
    if (pBar == nullptr)
        return;
    if (pBar->m_hWnd != NULL)
        pBar->DestroyWindow();
    delete pBar;
}

// The saved layout is deleted once loaded; close writes it again, so a crash
// leaves the default layout for the next start.
void DeleteSavedBarState(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    CString section;
    for (int i = 0; i < kSavedBarSections; ++i) {
        section.Format("%s-Bar%d", lpszProfileName, i);
        pApp->WriteProfileString(section, NULL, NULL);
    }
    section.Format("%s-Summary", lpszProfileName);
    pApp->WriteProfileString(section, NULL, NULL);
}

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_ENABLE()
    ON_WM_QUERYENDSESSION()
    ON_WM_DROPFILES()
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_ACTIVATEAPP()
    ON_WM_INITMENUPOPUP()
    ON_MESSAGE(WM_TW_NEW_BLANK_DESIGN, OnNewBlankDesign)
    ON_MESSAGE(WM_TW_SHOW_TOOLPAD, OnShowToolpad)
    ON_MESSAGE(WM_TW_HIDE_TOOLPAD, OnHideToolpad)
    ON_MESSAGE(WM_SURFACE_SELCHANGED, OnRefreshToolpad)
    ON_MESSAGE(WM_TW_COMPANION_START, OnCompanionStart)
    ON_MESSAGE(WM_TW_PREDESIGNED_DESIGN, OnPredesignedDesign)
    ON_REGISTERED_MESSAGE(g_nInstanceMessage, OnInstanceMessage)
    ON_REGISTERED_MESSAGE(g_nCommDlgHelpMessage, OnCommDlgHelp)
    ON_COMMAND(ID_VIEW_TOOLBARS, OnToolbars)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBARS, OnUpdateToolbars)
    ON_COMMAND(ID_VIEW_TOOLPAD, OnToolPad)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLPAD, OnUpdateToolPad)
    ON_COMMAND(ID_VIEW_TOOLPAD_FOCUS, OnToolPadFocus)
    ON_COMMAND(ID_INSERT_TEXT_INFO, OnAddTextInformation)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLPAD_FOCUS, OnUpdateToolPadFocus)
    ON_COMMAND_RANGE(ID_TOOLS_FIRST, ID_TOOLS_LAST, OnRunTool)
    ON_COMMAND(ID_REPAINT_FORMATTING_BAR, OnRepaintFormattingBar)
    ON_COMMAND(ID_HELP_USERS_MANUAL, OnUsersManual)
    ON_COMMAND(ID_HELP, OnHelp)
    ON_COMMAND(ID_TOOLS_FONT_SAMPLER, OnFontSampler)
    ON_COMMAND(ID_TOOLS_ADDRESS_BOOK, OnAddressBook)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_FONT_SAMPLER, OnUpdateFontSampler)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_ADDRESS_BOOK, OnUpdateAddressBook)
    ON_COMMAND(ID_CONTEXT_HELP, OnContextHelp)
    ON_COMMAND(ID_DEFAULT_HELP, OnHelpFinder)
    ON_COMMAND(ID_HELP_USER_SIGN_IN, OnUserSignIn)
    ON_COMMAND(ID_APP_ACTIVATED, OnAppActivated)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SURFACE, OnUpdateOutsideCenter)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_COMBO, OnUpdateZoomControl)
    ON_COMMAND_RANGE(ID_HOWTO_GALLERY, ID_HOWTO_GALLERY, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_EDIT_PICTURE, ID_HOWTO_EDIT_PICTURE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_RESIZE_PICTURE, ID_HOWTO_RESIZE_PICTURE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ROTATE_PICTURE, ID_HOWTO_ROTATE_PICTURE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_CENTER_PICTURE, ID_HOWTO_CENTER_PICTURE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_PICTURE_1, ID_HOWTO_PICTURE_1, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_PICTURE_2, ID_HOWTO_PICTURE_2, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_PICTURE_EFFECTS, ID_HOWTO_PICTURE_EFFECTS, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_CHANGE_TEXT, ID_HOWTO_CHANGE_TEXT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_TEXT_COLOR, ID_HOWTO_TEXT_COLOR, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_TEXT_COLOR_2, ID_HOWTO_TEXT_COLOR_2, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_RAINBOW, ID_HOWTO_RAINBOW, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ALIGN_TEXT, ID_HOWTO_ALIGN_TEXT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_SHAPE_TEXT, ID_HOWTO_SHAPE_TEXT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ROTATE_TEXT, ID_HOWTO_ROTATE_TEXT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ADD_PICTURE, ID_HOWTO_ADD_PICTURE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ADD_TEXT, ID_HOWTO_ADD_TEXT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ADD_SHAPE, ID_HOWTO_ADD_SHAPE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ADD_CALENDAR, ID_HOWTO_ADD_CALENDAR, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_PRINT, ID_HOWTO_PRINT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_SAVE, ID_HOWTO_SAVE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_START_OVER, ID_HOWTO_START_OVER, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_RESIZE_SHAPE, ID_HOWTO_RESIZE_SHAPE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ROTATE_SHAPE, ID_HOWTO_ROTATE_SHAPE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_CHANGE_SHAPE, ID_HOWTO_CHANGE_SHAPE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_PICTURE_IN_SHAPE, ID_HOWTO_PICTURE_IN_SHAPE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_MAXIMIZE_SHAPE, ID_HOWTO_MAXIMIZE_SHAPE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_YEARLY_CALENDAR, ID_HOWTO_YEARLY_CALENDAR, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_RESIZE_CALENDAR, ID_HOWTO_RESIZE_CALENDAR, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_DELETE_SHAPE, ID_HOWTO_DELETE_SHAPE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_DELETE_CALENDAR, ID_HOWTO_DELETE_CALENDAR, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_BACKGROUND, ID_HOWTO_BACKGROUND, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_CALENDAR_COLOR, ID_HOWTO_CALENDAR_COLOR, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_IMPORT_EVENTS, ID_HOWTO_IMPORT_EVENTS, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_GROUP, ID_HOWTO_GROUP, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_RESIZE_MULTIPLE, ID_HOWTO_RESIZE_MULTIPLE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ALIGN_MULTIPLE, ID_HOWTO_ALIGN_MULTIPLE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ROTATE_MULTIPLE, ID_HOWTO_ROTATE_MULTIPLE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_LOCK_MULTIPLE, ID_HOWTO_LOCK_MULTIPLE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_NEW_DESIGN, ID_HOWTO_NEW_DESIGN, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_ALIGN_PICTURE, ID_HOWTO_ALIGN_PICTURE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_FLIP_PICTURE, ID_HOWTO_FLIP_PICTURE, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_EDIT_TEXT, ID_HOWTO_EDIT_TEXT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_AUTOSIZE_TEXT, ID_HOWTO_AUTOSIZE_TEXT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HOWTO_EDIT_CELLS, ID_HOWTO_EDIT_CELLS, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HELP_TOPIC_10815, ID_HELP_TOPIC_10815, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HELP_TECH_SUPPORT, ID_HELP_TECH_SUPPORT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HELP_CONTACT, ID_HELP_CONTACT, OnHelpTopicCommand)
    ON_COMMAND_RANGE(ID_HELP_TOPIC_32983, ID_HELP_TOPIC_32983, OnHelpTopicCommand)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame()
{
    DestroyBar(m_pStandardBar);
    DestroyBar(m_pFormattingBar);
    DestroyBar(m_pToolpad);
    m_pStandardBar = nullptr;
    m_pFormattingBar = nullptr;
    m_pToolpad = nullptr;
    m_toolEntries.RemoveAll();
}

CMainFrame* GetMainFrame()
{
    CWnd* pWnd = AfxGetMainWnd();
    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CMainFrame)))
        return nullptr;
    return static_cast<CMainFrame*>(pWnd);
}

// ---- Creation ---------------------------------------------------------------------------------

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CMDIFrameWnd::OnCreate(lpcs) == -1)
        return -1;

    static const UINT indicators[] = {
        ID_SEPARATOR, ID_INDICATOR_SURFACE, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL,
    };
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)
        || !m_wndStatusBar.SetIndicators(indicators, static_cast<int>(std::size(indicators))))
        return -1;

    EnableDocking(CBRS_ALIGN_ANY);
    if (!CreateToolbars())
        return -1;

    SeedToolsMenu();
    return 0;
}

void CMainFrame::SeedToolsMenu()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    const CString section = LoadResString(IDS_PROFILE_TOOLS);
    const CString yes = LoadResString(IDS_PROFILE_YES);
    const CString initKey = LoadResString(IDS_PROFILE_TOOLS_INIT);

    if (pApp->GetProfileString(section, initKey) != yes) {
        pApp->WriteProfileString(section, initKey, yes);
        CToolsPage::AddDefaultTools(TRUE);
        return;
    }

    // Add-ons installed after the first start get their entry once, while
    // the menu has room.
    int nCount = static_cast<int>(CToolsPage::LoadToolEntries().size());
    for (int nAddOn = 1; nAddOn <= 4 && nCount < CToolsPage::kMaxTools; ++nAddOn) {
        if (pApp->GetProfileString(section, kAddOnKeys[nAddOn - 1]) != yes)
            nCount = CToolsPage::AddSiblingTool(nAddOn, nCount);
    }
}

BOOL CMainFrame::CreateToolbars()
{
    const BOOL bHadToolpad = m_pToolpad != nullptr;
    const BOOL bDesignActive = HasActiveDesign();
    LPCTSTR lpszProfile = ProfileName();

    if (m_pStandardBar != nullptr && m_pFormattingBar != nullptr)
        SaveBarState(lpszProfile);
    DestroyBar(m_pStandardBar);
    DestroyBar(m_pFormattingBar);
    m_pStandardBar = nullptr;
    m_pFormattingBar = nullptr;

    const BOOL bSmall = (thePrefs.Flags & PREF_FLAG_SMALL_BUTTONS) != 0;
    const BOOL bColor = (thePrefs.Flags & PREF_FLAG_COLOR_BUTTONS) != 0;
    const UINT nStandardID = bSmall ? (bColor ? IDR_STANDARD_SMALL_COLOR : IDR_STANDARD_SMALL)
                                    : (bColor ? IDR_STANDARD_LARGE_COLOR : IDR_STANDARD_LARGE);
    const UINT nFormattingID = bSmall ? (bColor ? IDR_FORMATTING_SMALL_COLOR : IDR_FORMATTING_SMALL)
                                      : (bColor ? IDR_FORMATTING_LARGE_COLOR : IDR_FORMATTING_LARGE);
    const BOOL bToolTips = (thePrefs.AddlFlags & PREF_ADDL_NO_TOOLTIPS) == 0;
    const DWORD dwBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_HIDE_INPLACE;
    const DWORD dwExtraStyle = CBRS_FLYBY | CBRS_SIZE_DYNAMIC | (bToolTips ? CBRS_TOOLTIPS : 0);

    m_pStandardBar = new CZoomToolBar;
    if (!m_pStandardBar->Create(this, dwBarStyle, AFX_IDW_TOOLBAR) || !m_pStandardBar->LoadToolBar(nStandardID))
        return FALSE;
    m_pStandardBar->SetWindowText(kStandardTitle);
    m_pStandardBar->SetBarStyle(m_pStandardBar->GetBarStyle() | dwExtraStyle);

    m_pFormattingBar = new CMainToolBar;
    if (!m_pFormattingBar->Create(this, dwBarStyle, ID_FORMATTING_BAR) || !m_pFormattingBar->LoadToolBar(nFormattingID))
        return FALSE;
    m_pFormattingBar->SetWindowText(kFormattingTitle);
    m_pFormattingBar->SetBarStyle(m_pFormattingBar->GetBarStyle() | dwExtraStyle);
    m_pFormattingBar->EnableToolTips(bToolTips);

    m_pStandardBar->EnableDocking(CBRS_ALIGN_ANY);
    m_pFormattingBar->EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(m_pStandardBar, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(m_pFormattingBar, AFX_IDW_DOCKBAR_TOP);

    DestroyBar(m_pToolpad);
    m_pToolpad = new CToolpadBar;
    if (!m_pToolpad->Create(this, WS_CHILD | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT, ID_TOOLPAD_BAR)) {
        delete m_pToolpad;
        m_pToolpad = nullptr;
        return FALSE;
    }
    m_pToolpad->EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    const CPoint ptDefaultFloat(60, 120);
    FloatControlBar(m_pToolpad, ptDefaultFloat, CBRS_ALIGN_TOP);

    LoadBarState(lpszProfile);
    DeleteSavedBarState(lpszProfile);
    // A place the user gave the tool pad is kept; the default one is only a
    // start, corrected when the pad first shows over a design.
    m_bToolpadAtDefault = FALSE;
    if (m_pToolpad->IsFloating()) {
        CRect rcFloat;
        m_pToolpad->GetParentFrame()->GetWindowRect(&rcFloat);
        m_bToolpadAtDefault = rcFloat.TopLeft() == ptDefaultFloat;
    }

    ShowControlBar(m_pStandardBar, (thePrefs.AddlFlags & PREF_ADDL_STANDARD_BAR_HIDDEN) == 0, FALSE);
    ShowControlBar(m_pFormattingBar, (thePrefs.AddlFlags & PREF_ADDL_FORMAT_BAR_HIDDEN) == 0, FALSE);

    if (bHadToolpad && bDesignActive && (thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD) != 0)
        OnShowToolpad();
    else
        OnHideToolpad();
    return TRUE;
}

// ---- Closing ----------------------------------------------------------------------------------

void CMainFrame::SyncToolpadPreference()
{
    if (HasActiveDesign() && (thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD) != 0 && m_pToolpad != nullptr
        && !m_pToolpad->IsVisible()) {
        thePrefs.AddlFlags &= static_cast<WORD>(~PREF_ADDL_TOOL_PAD);
        thePrefs.SavePreferences();
    }
}

void CMainFrame::OnClose()
{
    SyncToolpadPreference();
    SaveBarState(ProfileName());
    SaveWindowPlacement(this, IDS_PROFILE_APPLICATION, "Size");
    CMDIFrameWnd::OnClose();
}

// ---- Small services ---------------------------------------------------------------------------

void CMainFrame::SetStatusText(LPCTSTR lpszText)
{
    if (m_wndStatusBar.m_hWnd == NULL)
        return;
    // The surface sets the text at every paint: only a change is drawn.
    const CString strText = lpszText != nullptr ? lpszText : "";
    if (m_wndStatusBar.GetPaneText(0) == strText)
        return;
    m_wndStatusBar.SetPaneText(0, strText, TRUE);
    m_wndStatusBar.UpdateWindow();
}

BOOL CMainFrame::HasActiveDesign()
{
    if (m_hWnd == NULL || m_hWndMDIClient == NULL)
        return FALSE;
    CMDIChildWnd* pChild = MDIGetActive();
    if (pChild == nullptr)
        return FALSE;
    CView* pView = pChild->GetActiveView();
    return pView != nullptr && pView->GetDocument() != nullptr;
}

// ---- Tool pad ---------------------------------------------------------------------------------

LRESULT CMainFrame::OnShowToolpad(WPARAM, LPARAM)
{
    if (m_pToolpad != nullptr && m_pToolpad->m_hWnd != NULL) {
        if (m_bToolpadAtDefault && m_pToolpad->IsFloating()) {
            m_bToolpadAtDefault = FALSE;
            PlaceToolpadClearOfCaptions();
        }
        ShowControlBar(m_pToolpad, TRUE, FALSE);
    }
    RecalcLayout();
    return 0;
}

void CMainFrame::PlaceToolpadClearOfCaptions()
{
    CFrameWnd* pFloat = m_pToolpad->GetParentFrame();
    if (pFloat == nullptr || pFloat == this || m_hWndMDIClient == NULL)
        return;
    CRect rcPad;
    pFloat->GetWindowRect(&rcPad);
    CRect rcArea;
    ::GetWindowRect(m_hWndMDIClient, &rcArea);
    // A design window opens in the first place of the cascade, three
    // quarters of the area wide, its caption along its top: the pad goes to
    // the right of the area, its top below that caption.
    const int nMargin = ::GetSystemMetrics(SM_CXFRAME) + 4;
    const int nCaption = ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    const CPoint pt(std::max(rcArea.left, rcArea.right - rcPad.Width() - nMargin), rcArea.top + nCaption + nMargin);
    FloatControlBar(m_pToolpad, pt, CBRS_ALIGN_TOP);
}

LRESULT CMainFrame::OnHideToolpad(WPARAM, LPARAM)
{
    if (m_pToolpad != nullptr && m_pToolpad->m_hWnd != NULL)
        ShowControlBar(m_pToolpad, FALSE, FALSE);
    RecalcLayout();
    return 0;
}

LRESULT CMainFrame::OnRefreshToolpad(WPARAM, LPARAM)
{
    if (m_pToolpad != nullptr && m_pToolpad->m_hWnd != NULL && m_pToolpad->IsVisible())
        m_pToolpad->UpdateToolpad();
    return 0;
}

void CMainFrame::OnToolPad()
{
    if (m_pToolpad == nullptr || m_pToolpad->m_hWnd == NULL)
        return;
    if (m_pToolpad->IsVisible())
        OnHideToolpad();
    else
        OnShowToolpad();
    if (m_pToolpad->IsVisible())
        thePrefs.AddlFlags |= PREF_ADDL_TOOL_PAD;
    else
        thePrefs.AddlFlags &= static_cast<WORD>(~PREF_ADDL_TOOL_PAD);
    thePrefs.SavePreferences();
}

void CMainFrame::OnUpdateToolPad(CCmdUI* pCmdUI)
{
    const BOOL bExists = m_pToolpad != nullptr && m_pToolpad->m_hWnd != NULL;
    pCmdUI->Enable(bExists);
    if (bExists)
        pCmdUI->SetCheck(m_pToolpad->IsVisible() ? 1 : 0);
}

void CMainFrame::OnToolPadFocus()
{
    if (m_pToolpad == nullptr || m_pToolpad->m_hWnd == NULL || !m_pToolpad->IsVisible())
        return;
    CToolpadWnd* pPalette = m_pToolpad->GetPalette();
    if (CWnd* pTarget = pPalette != nullptr ? pPalette->GetFocusTarget() : nullptr)
        pTarget->SetFocus();
}

void CMainFrame::OnAddTextInformation()
{
    // Asked for by the user: shown whatever its "show again" bit says.
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    CAddTextHintDlg dlg(this);
    dlg.DoModal();
}

void CMainFrame::OnUpdateToolPadFocus(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pToolpad != nullptr && m_pToolpad->m_hWnd != NULL && m_pToolpad->IsVisible());
}

// ---- Toolbars dialog -------------------------------------------------------------------------

void CMainFrame::OnToolbars()
{
    SyncToolpadPreference();

    CToolbarsDlg dlg(this);
    dlg.m_bStandard = m_pStandardBar != nullptr && m_pStandardBar->IsVisible();
    dlg.m_bFormatting = m_pFormattingBar != nullptr && m_pFormattingBar->IsVisible();
    dlg.m_bToolPad = (thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD) != 0;
    dlg.m_bColorButtons = (thePrefs.Flags & PREF_FLAG_COLOR_BUTTONS) != 0;
    dlg.m_bLargeButtons = (thePrefs.Flags & PREF_FLAG_SMALL_BUTTONS) == 0;
    dlg.m_bToolTips = (thePrefs.AddlFlags & PREF_ADDL_NO_TOOLTIPS) == 0;
    if (dlg.DoModal() != IDOK)
        return;

    if (m_pStandardBar != nullptr)
        ShowControlBar(m_pStandardBar, dlg.m_bStandard, FALSE);
    if (m_pFormattingBar != nullptr)
        ShowControlBar(m_pFormattingBar, dlg.m_bFormatting, FALSE);
    // The tool pad only makes sense beside a design; the choice is kept for
    // the next one.
    if (!dlg.m_bToolPad)
        OnHideToolpad();
    else if (HasActiveDesign())
        OnShowToolpad();

    auto setBit = [](WORD& word, WORD bit, BOOL bSet) {
        word = static_cast<WORD>(bSet ? (word | bit) : (word & ~bit));
    };
    setBit(thePrefs.AddlFlags, PREF_ADDL_STANDARD_BAR_HIDDEN, !dlg.m_bStandard);
    setBit(thePrefs.AddlFlags, PREF_ADDL_FORMAT_BAR_HIDDEN, !dlg.m_bFormatting);
    setBit(thePrefs.Flags, PREF_FLAG_COLOR_BUTTONS, dlg.m_bColorButtons);
    setBit(thePrefs.Flags, PREF_FLAG_SMALL_BUTTONS, !dlg.m_bLargeButtons);
    setBit(thePrefs.AddlFlags, PREF_ADDL_NO_TOOLTIPS, !dlg.m_bToolTips);
    setBit(thePrefs.AddlFlags, PREF_ADDL_TOOL_PAD, dlg.m_bToolPad);

    for (CToolBar* pBar : {static_cast<CToolBar*>(m_pStandardBar), static_cast<CToolBar*>(m_pFormattingBar)}) {
        if (pBar == nullptr)
            continue;
        const DWORD dwStyle = pBar->GetBarStyle();
        pBar->SetBarStyle(dlg.m_bToolTips ? (dwStyle | CBRS_TOOLTIPS) : (dwStyle & ~CBRS_TOOLTIPS));
    }
    thePrefs.SavePreferences();
    CreateToolbars();
}

void CMainFrame::OnUpdateToolbars(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pStandardBar != nullptr && m_pFormattingBar != nullptr);
    pCmdUI->SetCheck(0);
}

// ---- New designs ------------------------------------------------------------------------------

LRESULT CMainFrame::OnNewBlankDesign(WPARAM wParam, LPARAM lParam)
{
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp == nullptr)
        return 0;
    DesignRequest& request = pApp->GetDesignRequest();
    // A sender that names the kind and value (the Design Wizard's choice)
    // means them; 0, 0 means the request as the launcher left it.
    if (wParam != 0 || lParam != 0) {
        if (wParam <= 5)
            request.nKind = static_cast<LONG>(wParam);
        request.nOption = static_cast<LONG>(lParam);
    }
    const int nResult =
        RunPageSetup(request.nKind, request.nOption, TRUE, request.nTrailing1, request.nTrailing2, this);
    if (nResult == 0) {
        PostMessage(WM_COMMAND, ID_FILE_NEW, 0);
    } else if (CFrameWnd* pChild = GetActiveFrame()) {
        // A calendar design starts with this month's calendar on it.
        if (auto* pCalendar = dynamic_cast<CCalendarDoc*>(pChild->GetActiveDocument()))
            pCalendar->AddNewCalendar();
    }
    return 0;
}

LRESULT CMainFrame::OnPredesignedDesign(WPARAM wParam, LPARAM)
{
    // Only the pre-designed selections live on the program disc: the wizard
    // alone (wParam 1) makes its design from nothing and needs no disc.
    const BOOL bSearchPremade = wParam == 0;
    if (bSearchPremade) {
        const CString relative = ":\\Document\\tovell.kqa";
        for (;;) {
            char chDrive = 0;
            if (FindCdDrive(chDrive, relative))
                break;
            CInsertCDDlg dlg(this);
            if (dlg.DoModal() != IDOK)
                return 1;
        }
        if (!OpenDesignIndex())
            return 0;
    }

    CDesignerApp* pApp = GetDesignerApp();
    std::unique_ptr<CGetStartedWizard> pWizard;
    try {
        pWizard = std::make_unique<CGetStartedWizard>(IDS_DESIGN_WIZARD_CAPTION, this);
        g_pCurrentWizardSheet = pWizard.get();
        if (bSearchPremade)
            FindPremadeDesigns(pWizard->m_premadeDesigns);
        // The wizard opens on the kind the launcher was left on.
        if (pApp != nullptr) {
            const DesignRequest& request = pApp->GetDesignRequest();
            pWizard->SetStartOptions(request.nKind, request.nOption);
            pWizard->m_nStartOption3 = request.nTrailing1;
        }
        pWizard->DoModal();
    } catch (CException* e) {
        e->Delete();
        g_pCurrentWizardSheet = nullptr;
        AfxMessageBox(IDP_OUT_OF_MEMORY);
        return 1;
    }
    g_pCurrentWizardSheet = nullptr;

    const int nKind = pWizard->m_nChosenKind;
    const int nValue = pWizard->m_nChosenValue;
    if (nKind != kLauncherNoKind) {
        // Stored here as well: a shirt chosen with value 0 posts 0, 0, which
        // the handler reads as "keep the request".
        if (pApp != nullptr && nKind >= 0 && nKind < kLauncherKindCount) {
            pApp->GetDesignRequest().nKind = nKind;
            pApp->GetDesignRequest().nOption = nValue;
        }
        PostMessage(WM_TW_NEW_BLANK_DESIGN, static_cast<WPARAM>(nKind), static_cast<LPARAM>(nValue));
    }
    return 1;
}

BOOL CMainFrame::OpenDesignIndex()
{
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp == nullptr)
        return FALSE;
    if (pApp->GetDesignIndex() == nullptr) {
        // Every category but the first; the index keeps a pointer to it.
        static CFlagSet128 s_filter;
        s_filter.SetAll();
        s_filter.Clear(0);
        pApp->SetDesignIndex(new CDesignIndex(&s_filter));
    }
    CDesignIndex* pIndex = pApp->GetDesignIndex();
    if (!pIndex->IsLoaded() && !pIndex->Load()) {
        pApp->SetDesignIndex(nullptr);
        return FALSE;
    }

    CKitFinder finder("kqb");
    if (finder.GetKitCount() > 1)
        return TRUE;
    for (;;) {
        CString strCategory;
        CString strPath;
        for (BOOL bMore = finder.GetFirstCDKit(strCategory, strPath); bMore;
             bMore = finder.GetNextCDKit(strCategory, strPath)) {
            if (FileExists(strPath))
                return TRUE;
        }
        CInsertCDDlg dlg(this);
        if (dlg.DoModal() != IDOK)
            return FALSE;
        finder.FindKits();
    }
}

void CMainFrame::OnUserSignIn()
{
    CUserSignInDlg* pDlg = nullptr;
    try {
        pDlg = new CUserSignInDlg(NULL);
        g_pUserSignInDlg = pDlg;
        pDlg->m_strUserName = thePrefs.LastUser;
        pDlg->m_bSingleUser = thePrefs.SingleUser;
        if (pDlg->DoModal() == IDOK) {
            thePrefs.SingleUser = pDlg->m_bSingleUser;
            thePrefs.SavePreferences();
        }
    } catch (CException* e) {
        e->Delete();
        AfxMessageBox(IDP_OUT_OF_MEMORY);
    }
    delete pDlg;
    g_pUserSignInDlg = nullptr;
    g_bSignedIn = TRUE;
}

// ---- Tools menu -------------------------------------------------------------------------------

void CMainFrame::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CMDIFrameWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (!bSysMenu)
        RebuildToolsMenu(pPopupMenu);
}

void CMainFrame::RebuildToolsMenu(CMenu* pPopup)
{
    if (pPopup == nullptr || pPopup->GetMenuItemCount() == 0 || pPopup->GetMenuItemID(0) != ID_TOOLS_SPELL_CHECK)
        return;

    m_toolEntries.RemoveAll();
    for (const CString& entry : CToolsPage::LoadToolEntries())
        m_toolEntries.Add(entry);

    for (UINT nID = ID_TOOLS_FIRST; nID <= ID_TOOLS_LAST; ++nID)
        pPopup->DeleteMenu(nID, MF_BYCOMMAND);
    if (!pPopup->DeleteMenu(ID_TOOLS_SEPARATOR, MF_BYCOMMAND) && pPopup->GetSafeHmenu() == m_hToolsSeparatorMenu) {
        // The window system does not find separators by their id: take away
        // the one we put last.
        const UINT nLast = pPopup->GetMenuItemCount() - 1;
        if (nLast != static_cast<UINT>(-1) && (pPopup->GetMenuState(nLast, MF_BYPOSITION) & MF_SEPARATOR) != 0)
            pPopup->DeleteMenu(nLast, MF_BYPOSITION);
    }
    if (pPopup->GetSafeHmenu() == m_hToolsSeparatorMenu)
        m_hToolsSeparatorMenu = NULL;

    const int nCount = static_cast<int>(m_toolEntries.GetSize());
    if (nCount == 0)
        return;
    pPopup->AppendMenu(MF_SEPARATOR, ID_TOOLS_SEPARATOR);
    m_hToolsSeparatorMenu = pPopup->GetSafeHmenu();
    for (int i = 0; i < nCount && i < CToolsPage::kMaxTools; ++i) {
        CString strLabel;
        CString strPath;
        CToolsPage::ParseToolEntry(m_toolEntries[i], strLabel, strPath);
        const UINT nFlags = MF_STRING | (FileExists(strPath) ? MF_ENABLED : MF_GRAYED);
        pPopup->AppendMenu(nFlags, ID_TOOLS_FIRST + static_cast<UINT>(i), strLabel);
    }
}

void CMainFrame::OnRunTool(UINT nID)
{
    const int nIndex = static_cast<int>(nID - ID_TOOLS_FIRST);
    if (nIndex < 0 || nIndex >= m_toolEntries.GetSize())
        return;
    CString strLabel;
    CString strPath;
    CToolsPage::ParseToolEntry(m_toolEntries[nIndex], strLabel, strPath);
    RunProgram(strPath);
}

// ---- Other commands ---------------------------------------------------------------------------

void CMainFrame::OnRepaintFormattingBar()
{
    if (m_pFormattingBar != nullptr && m_pFormattingBar->m_hWnd != NULL) {
        m_pFormattingBar->Invalidate();
        m_pFormattingBar->UpdateWindow();
    }
}

void CMainFrame::OnUsersManual()
{
    const CString manual = GetProgramPath("manual.hlp");
    ::WinHelp(m_hWnd, manual, HELP_CONTENTS, 0);
}

void CMainFrame::OnHelpTopicCommand(UINT nID)
{
    for (const HelpTopic& topic : kHowDoITopics) {
        if (topic.nID == nID) {
            ShowHelpTopic(topic.dwContext);
            return;
        }
    }
}

void CMainFrame::OnHelp()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(16);
    CMDIFrameWnd::OnHelp();
}

void CMainFrame::OnFontSampler()
{
    CString strPath;
    if (FindFontViewerExe(strPath))
        RunProgram(strPath);
}

void CMainFrame::OnAddressBook()
{
    CString strPath;
    if (FindContaxExe(strPath))
        RunProgram(strPath);
}

// The maker's programs are not part of this one: their entries stay greyed
// unless a copy sits in the program folder.
void CMainFrame::OnUpdateFontSampler(CCmdUI* pCmdUI)
{
    CString strPath;
    pCmdUI->Enable(FindFontViewerExe(strPath));
}

void CMainFrame::OnUpdateAddressBook(CCmdUI* pCmdUI)
{
    CString strPath;
    pCmdUI->Enable(FindContaxExe(strPath));
}

void CMainFrame::OnAppActivated()
{
    g_bApplicationActive = TRUE;
}

void CMainFrame::OnUpdateOutsideCenter(CCmdUI* pCmdUI)
{
    pCmdUI->SetText("");
    pCmdUI->Enable(FALSE);
}

void CMainFrame::OnUpdateZoomControl(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasActiveDesign());
}

// ---- Window messages --------------------------------------------------------------------------

void CMainFrame::OnEnable(BOOL bEnable)
{
    CMDIFrameWnd::OnEnable(bEnable);
    if (m_hWndMDIClient == NULL)
        return;
    if (CMDIChildWnd* pChild = MDIGetActive())
        pChild->SendMessage(WM_ENABLE, static_cast<WPARAM>(bEnable), 0);
}

BOOL CMainFrame::OnQueryEndSession()
{
    return CMDIFrameWnd::OnQueryEndSession();
}

void CMainFrame::OnDropFiles(HDROP hDropInfo)
{
    SetActiveWindow();
    const UINT nFiles = ::DragQueryFile(hDropInfo, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < nFiles && i < kMaxDroppedFiles; ++i) {
        // A longer path would be cut short and name another file.
        const UINT nLength = ::DragQueryFile(hDropInfo, i, NULL, 0);
        if (nLength == 0 || nLength > MAX_PATH)
            continue;
        char szPath[MAX_PATH + 1] = {};
        ::DragQueryFile(hDropInfo, i, szPath, sizeof szPath);
        TakeDroppedFile(szPath, HasActiveDesign() ? MDIGetActive()->GetActiveView()->GetDocument() : nullptr);
    }
    ::DragFinish(hDropInfo);
}

void CMainFrame::TakeDroppedFile(LPCTSTR lpszPath, CDocument* pDesign)
{
    int nKind = DESIGNFILE_UNKNOWN;
    if (GetDesignFileKind(lpszPath, &nKind) == 0 && nKind >= 0) {
        if (CDesignerApp* pApp = GetDesignerApp())
            pApp->OpenDocumentFile(lpszPath);
    } else if (pDesign != nullptr) {
        CDroppedFileHint hint;
        hint.m_strPath = lpszPath;
        pDesign->UpdateAllViews(NULL, 12, &hint);
    }
}

void CMainFrame::OnPaletteChanged(CWnd* pFocusWnd)
{
    CMDIFrameWnd::OnPaletteChanged(pFocusWnd);
    if (pFocusWnd == nullptr || pFocusWnd->IsKindOf(RUNTIME_CLASS(CPreviewView)))
        return;
    if (m_pToolpad != nullptr && pFocusWnd->m_hWnd == m_pToolpad->m_hWnd) {
        if (m_pToolpad->IsVisible())
            m_pToolpad->SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(pFocusWnd->m_hWnd), 0);
        return;
    }
    UpdateAllDesignViews(8, pFocusWnd);
}

BOOL CMainFrame::OnQueryNewPalette()
{
    CFrameWnd* pFrame = GetActiveFrame();
    CView* pView = pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
    if (pView == nullptr)
        return FALSE;
    if (pView->IsKindOf(RUNTIME_CLASS(CToolpadBar))) {
        if (m_pToolpad != nullptr && m_pToolpad->IsVisible())
            return m_pToolpad->SendMessage(WM_QUERYNEWPALETTE, 0, 0) > 0;
        return FALSE;
    }
    if (pView->IsKindOf(RUNTIME_CLASS(CPreviewView)))
        return FALSE;
    return static_cast<BOOL>(RealizeAppPalette(pView, TRUE));
}

void CMainFrame::OnSysColorChange()
{
    CMDIFrameWnd::OnSysColorChange();
    for (CControlBar* pBar : {static_cast<CControlBar*>(m_pStandardBar), static_cast<CControlBar*>(m_pFormattingBar),
             static_cast<CControlBar*>(&m_wndStatusBar)}) {
        if (pBar != nullptr && pBar->m_hWnd != NULL)
            pBar->Invalidate();
    }
    UpdateAllDesignViews(9, nullptr);
}

void CMainFrame::OnActivateApp(BOOL bActive, DWORD dwThreadID)
{
    CMDIFrameWnd::OnActivateApp(bActive, dwThreadID);
    m_bAppActive = bActive;
    if (!bActive) {
        if (CDesignerApp* pApp = GetDesignerApp())
            pApp->EndTextEdit(FALSE);
        g_bApplicationActive = FALSE;
        CWnd* pPopup = GetLastActivePopup();
        if (pPopup != nullptr && pPopup->m_hWnd != m_hWnd && !AnyDocumentOpen())
            pPopup->SendMessage(WM_COMMAND, ID_APP_DEACTIVATED, 0);
    } else {
        PostMessage(WM_COMMAND, ID_APP_ACTIVATED, 0);
    }
    RealizeAppPalette(this, bActive);
}

// ---- Free functions ---------------------------------------------------------------------------

BOOL PumpWaitingMessages()
{
    MSG msg;
    BOOL bGot = FALSE;
    while ((bGot = ::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) != FALSE) {
        if (msg.message == WM_QUIT) {
            // Taken from the queue by a long operation; the application's
            // own loop must still see it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (g_hWndCurrentModeless != NULL && ::IsWindow(g_hWndCurrentModeless)
            && ::IsDialogMessage(g_hWndCurrentModeless, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    return bGot;
}

LRESULT CMainFrame::OnCommDlgHelp(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    // Whoever opened the dialog set the context for its topic first.
    ShowHelpTopic(::GetHelpContext());
    return 0;
}

void ShowHelpTopic(DWORD dwContext)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(dwContext, HELP_CONTEXT);
}

BOOL RunProgram(LPCTSTR lpszPath)
{
    STARTUPINFO startup = {};
    ::GetStartupInfo(&startup);
    PROCESS_INFORMATION process = {};
    if (lpszPath == nullptr || *lpszPath == '\0'
        || !::CreateProcess(lpszPath, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        AfxMessageBox(IDP_RUN_PROGRAM_FAILED);
        return FALSE;
    }
    return TRUE;
}
