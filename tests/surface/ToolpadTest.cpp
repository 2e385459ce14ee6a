// The tool pad on real windows of the headless back end: the panel the
// selection of a design view calls for, the buttons the panels switch, what
// every button does, the background picture behind the panels, and the
// bar's dragging.

#include "tests/surface/SurfaceTestSupport.h"

#include "tests/model/ContentTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include "app/TransparentBitmap.h"
#include "model/DrawOleObj.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "pictures/Image.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/imaging/Imaging.h"
#include "platform/ui/Headless.h"
#include "surface/ToolpadBar.h"
#include "surface/ToolpadPanels.h"
#include "surface/ToolpadWnd.h"
#include "text/TextBlock.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

namespace hl = platform::headless;

// A rectangle that records how its editor was asked for.
class COpenRecordingRect : public CDrawRect {
public:
    struct OpenCall {
        CSurface* pView;
        int nPage;
        CWnd* pParent;
        CObjectAttributes* pAttrs;
        UINT nFlags;
    };
    using CDrawRect::CDrawRect;
    BOOL OnOpen(CSurface* pView, int nPage, CWnd* pParent, CObjectAttributes* pAttrs, UINT nFlags) override
    {
        m_calls.push_back({pView, nPage, pParent, pAttrs, nFlags});
        return FALSE;
    }
    std::vector<OpenCall> m_calls;
};

// A shape whose picture page puts a picture into it.
class CPictureTakingRect : public CDrawRect {
public:
    using CDrawRect::CDrawRect;
    BOOL OnOpen(CSurface*, int nPage, CWnd*, CObjectAttributes*, UINT) override
    {
        if (nPage != CDrawObj::EditPicture)
            return FALSE;
        SetPictureFile(contenttest::WriteBmp("taken.bmp", 40, 20), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        return TRUE;
    }
};

// The tool-pad picture written as a JPEG into a program folder of the
// test's own: rows that differ from their neighbours, so that a picture
// drawn one pixel off shows.
void WriteToolpadJpeg(const std::string& programFolder)
{
    const int cx = CToolpadWnd::kPictureWidth;
    const int cy = CToolpadWnd::kPictureHeight;
    LTBITMAP bitmap;
    ASSERT_EQ(LtAllocateBitmap(&bitmap, cx, cy, 24), LT_SUCCESS);
    bitmap.Order = LT_ORDER_BGR;
    for (int y = 0; y < cy; ++y) {
        BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
        for (int x = 0; x < cx; ++x) {
            row[x * 3] = BYTE((y * 7) & 0xFF);
            row[x * 3 + 1] = BYTE((x * 2) & 0xFF);
            row[x * 3 + 2] = BYTE(((y / 8) % 2) * 200);
        }
    }
    std::filesystem::create_directories(programFolder + "/support");
    const std::string path = platform::WindowsPathFor(programFolder + "/support/toolpad.jpg");
    const int result = LtSaveFile(path.c_str(), &bitmap, LT_FORMAT_JPEG, 24, 0);
    LtFreeBitmap(&bitmap);
    ASSERT_EQ(result, LT_SUCCESS);
}

class ToolpadTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        // A program folder without the picture unless a test writes one.
        m_program = testing_support::MakeTempDir("toolpad-program");
        platform::SetProgramFolderForTests(m_program);
        m_savedFlags = thePrefs.Flags;
    }

    void TearDown() override
    {
        if (m_pBar != nullptr) {
            m_pBar->DestroyWindow();
            delete m_pBar;
            m_pBar = nullptr;
        }
        thePrefs.Flags = m_savedFlags;
        platform::SetProgramFolderForTests("");
        SurfaceTest::TearDown();
    }

    // The bar, floating and shown beside the main window, with a design.
    CToolpadWnd* MakeBar()
    {
        m_pMain->EnableDocking(CBRS_ALIGN_ANY);
        m_pBar = new CToolpadBar;
        if (!m_pBar->Create(m_pMain))
            return nullptr;
        m_pBar->EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
        m_pMain->FloatControlBar(m_pBar, CPoint(60, 120), CBRS_ALIGN_TOP);
        m_pMain->ShowControlBar(m_pBar, TRUE, FALSE);
        Pump();
        return m_pBar->GetPalette();
    }

    // Selects the objects in the design's view and lets the tool pad follow,
    // as the main frame does on WM_SURFACE_SELCHANGED.
    int SelectAndUpdate(std::vector<CDrawObj*> objects)
    {
        m_pView->Select(nullptr);
        m_pView->SelectObjects(objects, FALSE);
        m_pBar->UpdateToolpad();
        return m_pBar->GetPalette()->GetState();
    }

    // Two plain rectangles side by side, selected together.
    int SelectTwoRects()
    {
        auto* pOne = AddObject(new CDrawRect(CRect(0, 0, 50, -50)));
        auto* pTwo = AddObject(new CDrawRect(CRect(100, 0, 150, -50)));
        return SelectAndUpdate({pOne, pTwo});
    }

    template <typename Obj>
    Obj* AddObject(Obj* pObj)
    {
        m_pView->Add(pObj);
        return pObj;
    }

    static BOOL Shown(CWnd* pPanel, UINT nID)
    {
        CWnd* pChild = pPanel != nullptr ? pPanel->GetDlgItem(int(nID)) : nullptr;
        return pChild != nullptr && (pChild->GetStyle() & WS_VISIBLE) != 0;
    }

    static BOOL Shown(CWnd* pPanel) { return pPanel != nullptr && (pPanel->GetStyle() & WS_VISIBLE) != 0; }

    // The commands waiting in the main window's queue, taken out.
    std::vector<UINT> TakeCommands()
    {
        std::vector<UINT> commands;
        MSG msg{};
        while (::PeekMessage(&msg, m_pMain->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            commands.push_back(LOWORD(msg.wParam));
        return commands;
    }

    static void Click(CWnd* pPanel, UINT nID)
    {
        CWnd* pButton = pPanel->GetDlgItem(int(nID));
        ASSERT_NE(pButton, nullptr) << nID;
        pPanel->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(pButton->m_hWnd));
    }

    void OpenDesign()
    {
        m_pDoc = NewDesign();
        m_pView = FirstView(m_pDoc);
    }

    std::string m_program;
    WORD m_savedFlags = 0;
    CToolpadBar* m_pBar = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
};

TEST_F(ToolpadTest, EachSelectionShowsItsPanel)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();

    // Nothing selected, and a locked object: the hint.
    EXPECT_EQ(SelectAndUpdate({}), kToolpadHint);
    EXPECT_TRUE(Shown(pPad->GetStatePanel(kToolpadHint)));
    auto* pLocked = AddObject(new CDrawRect(CRect(0, 0, 100, -100)));
    pLocked->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_EQ(SelectAndUpdate({pLocked}), kToolpadHint);

    // A locked text that is being edited keeps the text panel.
    auto* pEdited = AddObject(new CDrawRect(CRect(0, 0, 200, -100)));
    pEdited->SetText("Edited", TRUE);
    pEdited->m_wFlags |= OBJ_FLAG_LOCKED;
    pEdited->GetTextBlock()->m_bEditing = TRUE;
    EXPECT_EQ(SelectAndUpdate({pEdited}), kToolpadText);
    ASSERT_NE(pPad->GetTextPanel(), nullptr);
    EXPECT_TRUE(Shown(pPad->GetTextPanel()));
    EXPECT_FALSE(Shown(pPad->GetStatePanel(kToolpadHint)));
    pEdited->GetTextBlock()->m_bEditing = FALSE;
    pEdited->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);

    // Two objects arrange, unless one of them is locked.
    auto* pOne = AddObject(new CDrawRect(CRect(0, 0, 50, -50)));
    auto* pTwo = AddObject(new CDrawRect(CRect(100, 0, 150, -50)));
    EXPECT_EQ(SelectAndUpdate({pOne, pTwo}), kToolpadArrange);
    EXPECT_TRUE(Shown(pPad->GetStatePanel(kToolpadArrange)));
    EXPECT_EQ(SelectAndUpdate({pOne, pLocked}), kToolpadHint);

    // A picture.
    auto* pPicture = AddObject(new CDrawRect(CRect(0, 0, 100, -100)));
    pPicture->SetPictureFile(contenttest::WriteBmp("pad.bmp", 20, 10), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(SelectAndUpdate({pPicture}), kToolpadPicture);

    // Calendar cells of kinds 0..3, and the calendar itself.
    const int kCellStates[] = {kToolpadHourCell, kToolpadDayCell, kToolpadDayCell, kToolpadCalendar};
    auto* pCalendar = AddObject(new CDrawRect(CRect(-300, 300, 300, -300)));
    pCalendar->m_nCalendarStart = 2460436;
    EXPECT_EQ(SelectAndUpdate({pCalendar}), kToolpadCalendar);
    pCalendar->m_bCellHit = TRUE;
    for (int nKind = 0; nKind < 4; ++nKind) {
        pCalendar->m_nCellKind = nKind;
        EXPECT_EQ(SelectAndUpdate({pCalendar}), kCellStates[nKind]) << "cell kind " << nKind;
        EXPECT_TRUE(Shown(pPad->GetStatePanel(kCellStates[nKind]))) << "cell kind " << nKind;
    }

    // An embedded object.
    auto* pOle = AddObject(new CDrawOleObj(CRect(0, 0, 100, -100)));
    EXPECT_EQ(SelectAndUpdate({pOle}), kToolpadHint);

    // Exactly one context panel shows at any time.
    int nShown = 0;
    for (int nState = kToolpadText; nState <= kToolpadHourCell; ++nState)
        nShown += Shown(pPad->GetStatePanel(nState)) ? 1 : 0;
    EXPECT_EQ(nShown, 1);
}

TEST_F(ToolpadTest, SelectionSwitchesTheButtonsOfThePanels)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();
    CWnd* pWorkspace = pPad->GetWorkspacePanel();
    CWnd* pShape = pPad->GetStatePanel(kToolpadShape);

    // A line cannot change shape or take a picture; a rectangle can.
    auto* pLine = AddObject(new CDrawRect(CRect(0, 0, 100, -100), SHAPE_LINE));
    auto* pRect = AddObject(new CDrawRect(CRect(0, 0, 100, -100)));
    EXPECT_EQ(SelectAndUpdate({pLine}), kToolpadShape);
    EXPECT_FALSE(Shown(pShape, IDC_TP_BUTTON1));
    EXPECT_TRUE(Shown(pShape, IDC_TP_BUTTON2));
    EXPECT_FALSE(Shown(pShape, IDC_TP_BUTTON3));
    EXPECT_EQ(SelectAndUpdate({pRect}), kToolpadShape);
    EXPECT_TRUE(Shown(pShape, IDC_TP_BUTTON1));
    EXPECT_TRUE(Shown(pShape, IDC_TP_BUTTON3));
    // Leaving the shape panel on a line also brings them back.
    SelectAndUpdate({pLine});
    SelectAndUpdate({});
    EXPECT_TRUE(Shown(pShape, IDC_TP_BUTTON1));

    // Wrapped text turns "Insert Text on the workspace" into "Change text"
    // (419), block text the dialog button (575); another text in the same
    // state switches them again.
    auto* pWrapped = AddObject(new CDrawRect(CRect(0, 0, 200, -100)));
    pWrapped->SetText("Wrapped", FALSE);
    auto* pBlock = AddObject(new CDrawRect(CRect(0, 0, 200, -100)));
    pBlock->SetText("Block", TRUE);
    EXPECT_EQ(SelectAndUpdate({pWrapped}), kToolpadText);
    EXPECT_FALSE(Shown(pWorkspace, IDC_TP_TEXT_WORKSPACE));
    EXPECT_TRUE(Shown(pWorkspace, IDC_TP_CHANGE_WRAPPED_TEXT));
    EXPECT_TRUE(Shown(pWorkspace, IDC_TP_TEXT_DIALOG));
    EXPECT_FALSE(Shown(pWorkspace, IDC_TP_CHANGE_BLOCK_TEXT));
    EXPECT_EQ(SelectAndUpdate({pBlock}), kToolpadText);
    EXPECT_TRUE(Shown(pWorkspace, IDC_TP_TEXT_WORKSPACE));
    EXPECT_FALSE(Shown(pWorkspace, IDC_TP_CHANGE_WRAPPED_TEXT));
    EXPECT_FALSE(Shown(pWorkspace, IDC_TP_TEXT_DIALOG));
    EXPECT_TRUE(Shown(pWorkspace, IDC_TP_CHANGE_BLOCK_TEXT));
    SelectAndUpdate({pRect});
    for (UINT nID : {IDC_TP_TEXT_WORKSPACE, IDC_TP_TEXT_DIALOG})
        EXPECT_TRUE(Shown(pWorkspace, nID)) << nID;
    for (UINT nID : {IDC_TP_CHANGE_WRAPPED_TEXT, IDC_TP_CHANGE_BLOCK_TEXT})
        EXPECT_FALSE(Shown(pWorkspace, nID)) << nID;

    // A picture shows "Edit picture" until something else is selected.
    auto* pPicture = AddObject(new CDrawRect(CRect(0, 0, 100, -100)));
    pPicture->SetPictureFile(contenttest::WriteBmp("pad.bmp", 20, 10), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(SelectAndUpdate({pPicture}), kToolpadPicture);
    EXPECT_TRUE(Shown(pWorkspace, IDC_TP_EDIT_PICTURE));
    EXPECT_FALSE(Shown(pWorkspace, IDC_TP_INSERT_PICTURE));
    SelectAndUpdate({});
    EXPECT_FALSE(Shown(pWorkspace, IDC_TP_EDIT_PICTURE));
    EXPECT_TRUE(Shown(pWorkspace, IDC_TP_INSERT_PICTURE));
}

TEST_F(ToolpadTest, WorkspaceButtonsPostTheirCommands)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();
    CWnd* pWorkspace = pPad->GetWorkspacePanel();
    TakeCommands();
    // The Add Text hint's bit is clear: the text tool comes at once.
    thePrefs.AddlFlags &= WORD(~0x2000);

    struct Case {
        UINT nButton;
        UINT nCommand;
    };
    const Case kCases[] = {
        {IDC_TP_EDIT_PICTURE, ID_EDIT_PROPERTIES},
        {IDC_TP_TEXT_WORKSPACE, ID_DRAW_TEXT_TOOL},
        {IDC_TP_CHANGE_WRAPPED_TEXT, ID_EDIT_PROPERTIES},
        {IDC_TP_TEXT_DIALOG, ID_INSERT_TEXT_EFFECTS},
        {IDC_TP_CHANGE_BLOCK_TEXT, ID_EDIT_PROPERTIES},
        {IDC_TP_PRINT, ID_FILE_PRINT},
        {IDC_TP_SUPPLIES, ID_HELP_SUPPLY_CENTER},
        {IDC_TP_NEW_DESIGN, ID_FILE_NEW},
        {IDC_TP_OPEN_DESIGN, ID_FILE_OPEN},
    };
    for (const Case& c : kCases) {
        Click(pWorkspace, c.nButton);
        EXPECT_EQ(TakeCommands(), std::vector<UINT>{c.nCommand}) << c.nButton;
    }

    // With the Add Text hint switched on it comes first, then the tool.
    thePrefs.AddlFlags |= WORD(0x2000);
    bool bHinted = false;
    testing_support::DriveActiveWindow({[&bHinted](HWND hActive) {
        if (::GetDlgItem(hActive, IDOK) == NULL)
            return false;
        bHinted = true;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    }});
    Click(pWorkspace, IDC_TP_TEXT_WORKSPACE);
    hl::SetIdleHandler(nullptr);
    EXPECT_TRUE(bHinted);
    EXPECT_EQ(TakeCommands(), std::vector<UINT>{ID_DRAW_TEXT_TOOL});
    thePrefs.AddlFlags &= WORD(~0x2000);

    // Insert Picture follows the user's choice of picker.
    thePrefs.Flags |= PREF_FLAG_INSERT_FROM_GALLERY;
    Click(pWorkspace, IDC_TP_INSERT_PICTURE);
    EXPECT_EQ(TakeCommands(), std::vector<UINT>{ID_INSERT_PICTURE_GALLERY});
    thePrefs.Flags &= WORD(~PREF_FLAG_INSERT_FROM_GALLERY);
    Click(pWorkspace, IDC_TP_INSERT_PICTURE);
    EXPECT_EQ(TakeCommands(), std::vector<UINT>{ID_INSERT_PICTURE_OTHER});

    // A real click on a shown button goes the same way. Only the mouse
    // messages are dispatched: the command stays in the queue to be read.
    CRect rect;
    pWorkspace->GetDlgItem(IDC_TP_PRINT)->GetWindowRect(&rect);
    hl::Click(rect.CenterPoint().x, rect.CenterPoint().y);
    MSG msg{};
    while (::PeekMessage(&msg, NULL, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        ::DispatchMessage(&msg);
    const std::vector<UINT> commands = TakeCommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), UINT(ID_FILE_PRINT)), commands.end());
}

TEST_F(ToolpadTest, ContextButtonsActOnlyOnASelectionOfTheirKind)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();
    TakeCommands();

    auto* pShape = AddObject(new COpenRecordingRect(CRect(0, 0, 100, -100)));
    ASSERT_EQ(SelectAndUpdate({pShape}), kToolpadShape);
    CWnd* pShapePanel = pPad->GetStatePanel(kToolpadShape);
    thePrefs.Flags |= PREF_FLAG_RESET_TOOL;
    Click(pShapePanel, IDC_TP_BUTTON1);
    EXPECT_EQ(TakeCommands(), std::vector<UINT>{ID_EDIT_PROPERTIES});
    Click(pShapePanel, IDC_TP_BUTTON2);
    Click(pShapePanel, IDC_TP_BUTTON3);
    ASSERT_EQ(pShape->m_calls.size(), 2u);
    EXPECT_EQ(pShape->m_calls[0].nPage, CDrawObj::EditColorFill);
    EXPECT_EQ(pShape->m_calls[1].nPage, CDrawObj::EditPicture);
    for (const auto& call : pShape->m_calls) {
        EXPECT_EQ(call.pView, nullptr);
        EXPECT_EQ(call.pParent, nullptr);
        EXPECT_EQ(call.pAttrs, nullptr);
        EXPECT_EQ(call.nFlags, 0u);
    }

    // The selection became two objects before the shape panel's click ran:
    // nothing happens.
    auto* pOther = AddObject(new COpenRecordingRect(CRect(200, 0, 300, -100)));
    m_pView->SelectObjects({pShape, pOther}, FALSE);
    Click(pShapePanel, IDC_TP_BUTTON1);
    Click(pShapePanel, IDC_TP_BUTTON2);
    EXPECT_TRUE(TakeCommands().empty());
    EXPECT_EQ(pShape->m_calls.size(), 2u);

    // The picture panel: Picture Studio, and the shape page.
    auto* pPicture = AddObject(new COpenRecordingRect(CRect(0, 0, 100, -100)));
    pPicture->SetPictureFile(contenttest::WriteBmp("pad.bmp", 20, 10), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_EQ(SelectAndUpdate({pPicture}), kToolpadPicture);
    CWnd* pPicturePanel = pPad->GetStatePanel(kToolpadPicture);
    Click(pPicturePanel, IDC_TP_BUTTON1);
    EXPECT_EQ(TakeCommands(), std::vector<UINT>{ID_PICTURE_STUDIO_ITEM});
    Click(pPicturePanel, IDC_TP_BUTTON2);
    ASSERT_EQ(pPicture->m_calls.size(), 1u);
    EXPECT_EQ(pPicture->m_calls[0].nPage, CDrawObj::EditShape);

    // The calendar and its cells; the cells hand the view to their editor.
    auto* pCalendar = AddObject(new COpenRecordingRect(CRect(-300, 300, 300, -300)));
    pCalendar->m_nCalendarStart = 2460436;
    ASSERT_EQ(SelectAndUpdate({pCalendar}), kToolpadCalendar);
    CWnd* pCalendarPanel = pPad->GetStatePanel(kToolpadCalendar);
    Click(pCalendarPanel, IDC_TP_BUTTON1);
    EXPECT_EQ(TakeCommands(), std::vector<UINT>{ID_EDIT_PROPERTIES});
    Click(pCalendarPanel, IDC_TP_BUTTON2);
    Click(pCalendarPanel, IDC_TP_BUTTON3);
    pCalendar->m_bCellHit = TRUE;
    pCalendar->m_nCellKind = 1;
    ASSERT_EQ(SelectAndUpdate({pCalendar}), kToolpadDayCell);
    Click(pPad->GetStatePanel(kToolpadDayCell), IDC_TP_BUTTON2);
    // The calendar panel no longer fits a day cell.
    Click(pCalendarPanel, IDC_TP_BUTTON2);
    pCalendar->m_nCellKind = 0;
    ASSERT_EQ(SelectAndUpdate({pCalendar}), kToolpadHourCell);
    Click(pPad->GetStatePanel(kToolpadHourCell), IDC_TP_BUTTON1);
    EXPECT_EQ(TakeCommands(), std::vector<UINT>{ID_EDIT_PROPERTIES});
    Click(pPad->GetStatePanel(kToolpadHourCell), IDC_TP_BUTTON2);
    ASSERT_EQ(pCalendar->m_calls.size(), 4u);
    EXPECT_EQ(pCalendar->m_calls[0].nPage, CDrawObj::EditColorFill);
    EXPECT_EQ(pCalendar->m_calls[0].pView, nullptr);
    EXPECT_EQ(pCalendar->m_calls[1].nPage, CDrawObj::EditPicture);
    for (size_t i = 2; i < 4; ++i) {
        EXPECT_EQ(pCalendar->m_calls[i].nPage, CDrawObj::EditByContent);
        EXPECT_EQ(pCalendar->m_calls[i].pView, m_pView);
    }
}

TEST_F(ToolpadTest, APictureInsertedInATurnedShapeTurnsWithIt)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();
    struct Case {
        double dAngle;
        int nRotation;
    };
    // The angle rounds half away from zero.
    for (const Case& c : {Case{0.4, 0}, Case{29.5, 30}, Case{-10.5, 349}}) {
        auto* pShape = AddObject(new CPictureTakingRect(CRect(0, 0, 200, -100)));
        pShape->m_dAngle = c.dAngle;
        ASSERT_EQ(SelectAndUpdate({pShape}), kToolpadShape);
        Click(pPad->GetStatePanel(kToolpadShape), IDC_TP_BUTTON3);
        ASSERT_TRUE(pShape->HasPicture());
        EXPECT_EQ(pShape->m_pPicture->m_nRotation, c.nRotation) << c.dAngle;
    }
}

TEST_F(ToolpadTest, ArrangeButtonsOpenTheirMenusAtThePointer)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();
    ASSERT_EQ(SelectTwoRects(), kToolpadArrange);
    CWnd* pArrange = pPad->GetStatePanel(kToolpadArrange);
    TakeCommands();

    // Down and Enter take each menu's first item.
    const UINT kFirstItems[] = {ID_ARRANGE_CENTER_PAGE, ID_ARRANGE_ALIGN_LEFT, ID_ARRANGE_FLIP_HORZ,
        ID_ARRANGE_SAME_WIDTH};
    const UINT kButtons[] = {IDC_TP_BUTTON1, IDC_TP_BUTTON2, IDC_TP_BUTTON3, IDC_TP_BUTTON4};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        int nStep = 0;
        hl::SetIdleHandler([&nStep]() {
            if (nStep == 0)
                hl::TypeKey(VK_DOWN);
            else if (nStep == 1)
                hl::TypeKey(VK_RETURN);
            else
                return false;
            ++nStep;
            return true;
        });
        Click(pArrange, kButtons[i]);
        hl::SetIdleHandler(nullptr);
        EXPECT_EQ(TakeCommands(), std::vector<UINT>{kFirstItems[i]}) << i;
    }
}

TEST_F(ToolpadTest, IdleUpdatesLeaveThePaletteAndItsButtonsAlone)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();
    ASSERT_EQ(SelectTwoRects(), kToolpadArrange);

    // Disabling every command without a handler is what an idle pass does
    // to a dialog bar; the tool pad's ids are command numbers too.
    m_pMain->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    m_pBar->OnUpdateCmdUI(m_pMain, TRUE);
    EXPECT_TRUE(pPad->IsWindowEnabled());
    CWnd* pArrange = pPad->GetStatePanel(kToolpadArrange);
    for (UINT nID : {IDC_TP_BUTTON1, IDC_TP_BUTTON2, IDC_TP_BUTTON3, IDC_TP_BUTTON4}) {
        EXPECT_TRUE(pArrange->GetDlgItem(int(nID))->IsWindowEnabled()) << nID;
        EXPECT_EQ(pArrange->GetDlgItem(int(nID))->SendMessage(BM_GETCHECK, 0, 0), BST_UNCHECKED) << nID;
    }
}

TEST_F(ToolpadTest, WithoutItsPictureThePadKeepsItsSizeAndPaintsTheButtonFace)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    EXPECT_FALSE(pPad->HasPicture());
    CRect client;
    pPad->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(CToolpadWnd::kPictureWidth, CToolpadWnd::kPictureHeight));
    EXPECT_EQ(pPad->GetSize(), CSize(CToolpadWnd::kPictureWidth + 2 * ::GetSystemMetrics(SM_CXBORDER),
                                   CToolpadWnd::kPictureHeight + 2 * ::GetSystemMetrics(SM_CYBORDER)));
    CRect nav;
    pPad->GetNavigationPanel()->GetWindowRect(&nav);
    pPad->ScreenToClient(&nav);
    EXPECT_EQ(nav, CRect(0, 312, CToolpadWnd::kPictureWidth, CToolpadWnd::kPictureHeight - 1));

    OpenDesign();
    EXPECT_EQ(SelectAndUpdate({}), kToolpadHint);
    Pump();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(hl::WindowPixel(pPad->m_hWnd, 1, 150), face);
    EXPECT_EQ(hl::WindowPixel(pPad->m_hWnd, 1, 170), face);
    EXPECT_EQ(hl::WindowPixel(pPad->m_hWnd, 1, CToolpadWnd::kPictureHeight - 1), face);
}

TEST_F(ToolpadTest, PanelsDrawThePictureWhereThePaletteShowsIt)
{
    WriteToolpadJpeg(m_program);
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    ASSERT_TRUE(pPad->HasPicture());
    OpenDesign();

    // The decoded picture, as the screen shows it.
    CImage picture(CToolpadWnd::GetPicturePath(), CImage::kDefaultLoadMode);
    CBitmap decoded;
    decoded.Attach(picture.CreateDDB(nullptr, FALSE));
    ASSERT_NE(decoded.GetSafeHandle(), HGDIOBJ(NULL));
    CDC memDC;
    ASSERT_TRUE(memDC.CreateCompatibleDC(nullptr));
    CBitmap* pOld = memDC.SelectObject(&decoded);

    // Points of the palette just inside and outside the panels' edges (the
    // workspace panel's foot, the context panel's top and foot, the text
    // panel's right edge, the navigation panel), away from their controls.
    struct Probe {
        int x, y;
    };
    const Probe kProbes[] = {{1, 158}, {1, 159}, {1, 160}, {1, 161}, {1, 162}, {1, 163}, {1, 310}, {1, 311},
        {1, 312}, {1, 313}, {1, 316}, {128, 150}, {128, 161}, {128, 163}, {126, 300}, {127, 300}, {129, 300},
        {1, CToolpadWnd::kPictureHeight - 2}, {1, CToolpadWnd::kPictureHeight - 1}};
    auto check = [&](const char* pszStage) {
        Pump();
        for (const Probe& p : kProbes) {
            EXPECT_EQ(hl::WindowPixel(pPad->m_hWnd, p.x, p.y), memDC.GetPixel(p.x, p.y))
                << pszStage << " at " << p.x << "," << p.y;
        }
    };
    EXPECT_EQ(SelectAndUpdate({}), kToolpadHint);
    check("hint");

    // The hint panel's title lies keyed over the picture where it shows.
    CBitmap title;
    ASSERT_TRUE(title.Attach(::LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDB_TP_TITLE_HINT))));
    BITMAP bm{};
    ASSERT_NE(title.GetBitmap(&bm), 0);
    const CPoint at(3, 160 + 26);
    DrawTransparentBitmap(memDC.GetSafeHdc(), at.x, at.y, bm.bmWidth, bm.bmHeight, HBITMAP(title.GetSafeHandle()),
        CRect(0, 0, bm.bmWidth, bm.bmHeight), RGB(192, 192, 192));
    int nDiffering = 0;
    for (int y = 0; y < bm.bmHeight; y += 2) {
        for (int x = 0; x < bm.bmWidth; x += 2)
            nDiffering += hl::WindowPixel(pPad->m_hWnd, at.x + x, at.y + y) != memDC.GetPixel(at.x + x, at.y + y);
    }
    EXPECT_EQ(nDiffering, 0);
    auto* pText = AddObject(new CDrawRect(CRect(0, 0, 200, -100)));
    pText->SetText("Text", TRUE);
    EXPECT_EQ(SelectAndUpdate({pText}), kToolpadText);
    check("text");
    memDC.SelectObject(pOld);
}

TEST_F(ToolpadTest, APressThatArrivesAfterTheButtonWentUpStartsNoDrag)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    ASSERT_TRUE(m_pBar->IsFloating());
    bool bDragged = false;
    hl::SetIdleHandler([&]() {
        bDragged = bDragged || ::GetCapture() == m_pBar->m_hWnd;
        if (::GetCapture() == m_pBar->m_hWnd) {
            // End a drag that did start, so the test goes on.
            ::ReleaseCapture();
            return true;
        }
        return false;
    });

    // An empty point of the workspace panel, pressed and released before
    // the forwarded presses arrive.
    CPoint point(3, 3);
    pPad->GetWorkspacePanel()->ClientToScreen(&point);
    hl::PressMouse(0, point.x, point.y);
    hl::ReleaseMouse(0, point.x, point.y);
    Pump();
    EXPECT_FALSE(bDragged);
    m_pBar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    EXPECT_FALSE(bDragged);

    // Held down, a press (far enough away not to be a double click) picks
    // the bar up.
    point = CPoint(3, 60);
    pPad->GetWorkspacePanel()->ClientToScreen(&point);
    hl::PressMouse(0, point.x, point.y);
    Pump();
    EXPECT_TRUE(bDragged);
    hl::ReleaseMouse(0, point.x, point.y);
    Pump();
    hl::SetIdleHandler(nullptr);
    EXPECT_EQ(::GetCapture(), HWND(NULL));
}

TEST_F(ToolpadTest, NavigationMessagesStepAndChooseSurfaces)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    m_pDoc = NewDesign(AddShirtTemplate());
    m_pView = FirstView(m_pDoc);
    ASSERT_NE(m_pDoc->GetSurfaceView(1), nullptr);
    TakeCommands();

    pPad->SendMessage(TPM_PREV_SURFACE, 0, 0);
    pPad->SendMessage(TPM_NEXT_SURFACE, 0, 0);
    EXPECT_EQ(TakeCommands(), (std::vector<UINT>{ID_VIEW_PREV_SURFACE, ID_VIEW_NEXT_SURFACE}));

    pPad->SendMessage(TPM_GOTO_SURFACE, 1, 0);
    EXPECT_EQ(m_pDoc->GetCurrentSurfaceIndex(), 1);
    // An index past the list takes its last entry; a negative one its first.
    pPad->SendMessage(TPM_GOTO_SURFACE, 0, 0);
    pPad->SendMessage(TPM_GOTO_SURFACE, 99, 0);
    EXPECT_EQ(m_pDoc->GetCurrentSurfaceIndex(), 1);
    pPad->SendMessage(TPM_GOTO_SURFACE, WPARAM(-5), 0);
    EXPECT_EQ(m_pDoc->GetCurrentSurfaceIndex(), 0);
}

TEST_F(ToolpadTest, FocusGoesToTheContextPanelElseTheWorkspace)
{
    CToolpadWnd* pPad = MakeBar();
    ASSERT_NE(pPad, nullptr);
    OpenDesign();
    // The hint has no control of its own.
    ASSERT_EQ(SelectAndUpdate({}), kToolpadHint);
    EXPECT_EQ(pPad->GetFocusTarget(), pPad->GetWorkspacePanel()->GetDlgItem(IDC_TP_INSERT_PICTURE));
    auto* pRect = AddObject(new CDrawRect(CRect(0, 0, 100, -100)));
    ASSERT_EQ(SelectAndUpdate({pRect}), kToolpadShape);
    EXPECT_EQ(pPad->GetFocusTarget(), pPad->GetStatePanel(kToolpadShape)->GetDlgItem(IDC_TP_BUTTON1));
}

} // namespace
} // namespace surfacetest
