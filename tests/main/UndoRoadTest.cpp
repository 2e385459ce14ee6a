// The road to Undo and Redo with the program started as it starts: a design
// of several kinds of object is opened from its file through the
// application, its objects are changed through the operations that record
// steps, and the main frame's Edit menu is opened (WM_INITMENUPOPUP) and its
// Undo and Redo commands sent to the main frame. After every command each
// object's whole stored state matches what it was at that point of the
// editing.

#include "MainFrameTestSupport.h"

#include "app/main/DocTemplates.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"
#include "tests/model/ObjectState.h"
#include "text/TextBlock.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using mainframetest::MainFrameTest;
namespace hl = platform::headless;
using mainframetest::RunAppLoop;
using mainframetest::Script;

// Serial number to the object's stored record and class.
using DesignState = std::map<DWORD, std::string>;

// Which objects differ between two states, empty when none does; readable
// where a comparison of the records themselves would print bytes.
std::string Difference(const DesignState& now, const DesignState& expected)
{
    std::string out;
    for (const auto& [nId, state] : expected) {
        auto it = now.find(nId);
        if (it == now.end())
            out += " object " + std::to_string(nId) + " is missing;";
        else if (it->second != state) {
            size_t i = 0;
            while (i < state.size() && i < it->second.size() && state[i] == it->second[i])
                ++i;
            out += " object " + std::to_string(nId) + " differs from byte " + std::to_string(i) + ";";
        }
    }
    for (const auto& entry : now) {
        if (expected.find(entry.first) == expected.end())
            out += " object " + std::to_string(entry.first) + " should not be there;";
    }
    return out;
}

// One item of the Edit menu as the user sees it.
struct MenuItem {
    std::string text;
    bool enabled = false;
};

void PressCtrl(UINT nKey)
{
    hl::KeyDown(VK_CONTROL);
    hl::TypeKey(nKey);
    hl::KeyUp(VK_CONTROL);
}

class UndoRoadTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        ResetSurfaceGlobals();
        g_bUndoRecordingOff = FALSE;
        g_bUndoGrouping = FALSE;
    }
    void TearDown() override
    {
        ResetSurfaceGlobals();
        hl::SetIdleHandler(nullptr);
        MainFrameTest::TearDown();
    }

    // A general design with a filled star, a polygon, a calendar with a
    // note in one cell, a plain object and a text, saved to a file of the
    // test's own and closed; its path as the program names it.
    std::string SaveDesign()
    {
        CDesignDocTemplate* pTemplate = FindDocTemplateByKind(DOC_KIND_GENERAL);
        EXPECT_NE(pTemplate, nullptr);
        if (pTemplate == nullptr)
            return std::string();
        auto* pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(NULL, TRUE));
        AfxPumpMessagesUntilIdle();
        EXPECT_NE(pDoc, nullptr);
        if (pDoc == nullptr)
            return std::string();
        CSurface* pView = pDoc->GetSurfaceView(0);

        auto* pStar = new CDrawRect(CRect(0, 300, 160, 200), SHAPE_STAR);
        pStar->m_bFill = TRUE;
        pStar->m_logbrush.lbColor = RGB(200, 40, 40);
        pDoc->AddObject(pStar, pView);
        auto* pPoly = new CDrawPoly(CRect(0, 0, 0, 0));
        pDoc->AddObject(pPoly, pView);
        for (int i = 0; i < 6; ++i)
            pPoly->AddPoint(CPoint(200 + i * 30, 100 + (i % 2) * 50), pView);
        auto* pCalendar = new CDrawRect(CRect(-300, 0, 300, -400));
        pCalendar->m_nCalendarStart = 2460436;
        pCalendar->m_nCalendarWords[1] = CALENDAR_MONTH;
        pCalendar->SetCellText(CALENDAR_MONTH, 12, "Picnic");
        pDoc->AddObject(pCalendar, pView);
        pDoc->AddObject(new CDrawObj(CRect(400, 300, 500, 200)), pView);
        auto* pText = new CDrawRect(CRect(-300, 300, -100, 200));
        pDoc->AddObject(pText, pView);
        pText->SetText("Summer fair", TRUE);

        const std::string path = platform::WindowsPathFor(m_folder + "/fair.gen");
        EXPECT_TRUE(pDoc->OnSaveDocument(path.c_str()));
        pDoc->OnCloseDocument();
        AfxPumpMessagesUntilIdle();
        return path;
    }

    // Opens the design as File > Open does once the file is chosen.
    CDrawDoc* OpenDesign(const std::string& path)
    {
        CDocument* pOpened = m_app->OpenDocumentFile(path.c_str());
        AfxPumpMessagesUntilIdle();
        m_pDoc = dynamic_cast<CDrawDoc*>(pOpened);
        m_pView = m_pDoc != nullptr ? m_pDoc->GetSurfaceView(0) : nullptr;
        return m_pDoc;
    }

    std::vector<CDrawObj*> Objects() const
    {
        std::vector<CDrawObj*> out;
        const CObList& objects = m_pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;)
            out.push_back(static_cast<CDrawObj*>(objects.GetNext(pos)));
        return out;
    }

    template <class T>
    T* FirstOf(bool (*fits)(T*)) const
    {
        for (CDrawObj* pObj : Objects()) {
            if (auto* p = dynamic_cast<T*>(pObj); p != nullptr && fits(p))
                return p;
        }
        return nullptr;
    }

    DesignState State() const
    {
        DesignState state;
        for (CDrawObj* pObj : Objects()) {
            // The text's layout is redone whenever it is next needed: the
            // marks that say so are no part of what the user changed.
            if (CTextBlock* pBlock = pObj->GetTextBlock())
                pBlock->m_wFlags &= ~WORD(TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
            state[pObj->m_nSerial] = modeltest::ObjectState(pObj);
        }
        return state;
    }

    // The Edit popup of the menu bar the main frame shows now, and its
    // place on the bar.
    HMENU EditMenu(int* pIndex) const
    {
        HMENU hBar = ::GetMenu(MainWindow());
        for (int i = 0; i < ::GetMenuItemCount(hBar); ++i) {
            HMENU hPopup = ::GetSubMenu(hBar, i);
            if (hPopup != NULL && ::GetMenuItemID(hPopup, 0) == ID_EDIT_UNDO) {
                *pIndex = i;
                return hPopup;
            }
        }
        return NULL;
    }

    // Opens the Edit menu as the window system does just before showing
    // it, and reads one of its items.
    MenuItem Item(UINT nID) const
    {
        int nIndex = -1;
        HMENU hEdit = EditMenu(&nIndex);
        EXPECT_NE(hEdit, HMENU(NULL));
        if (hEdit == NULL)
            return {};
        ::SendMessage(MainWindow(), WM_INITMENUPOPUP, WPARAM(hEdit), MAKELPARAM(nIndex, 0));
        char text[128] = {};
        ::GetMenuString(hEdit, nID, text, sizeof text, MF_BYCOMMAND);
        const UINT nState = ::GetMenuState(hEdit, nID, MF_BYCOMMAND);
        EXPECT_NE(nState, UINT(-1)) << nID;
        return {text, (nState & (MF_GRAYED | MF_DISABLED)) == 0};
    }

    void Send(UINT nID) const { ::SendMessage(MainWindow(), WM_COMMAND, MAKEWPARAM(nID, 0), 0); }

    static std::string UndoText(const std::string& label)
    {
        return label.empty() ? "&Undo\tCtrl+Z" : "&Undo " + label + "\tCtrl+Z";
    }
    static std::string RedoText(const std::string& label)
    {
        return label.empty() ? "&Redo\tCtrl+Y" : "&Redo " + label + "\tCtrl+Y";
    }

    // The menu offers to undo the label undoLabel and redo redoLabel (empty:
    // nothing, the item greyed).
    void ExpectMenu(const std::string& undoLabel, const std::string& redoLabel) const
    {
        const MenuItem undo = Item(ID_EDIT_UNDO);
        EXPECT_EQ(undo.text, UndoText(undoLabel));
        EXPECT_EQ(undo.enabled, !undoLabel.empty());
        const MenuItem redo = Item(ID_EDIT_REDO);
        EXPECT_EQ(redo.text, RedoText(redoLabel));
        EXPECT_EQ(redo.enabled, !redoLabel.empty());
    }

    // The design opened from its file and edited eight times, as many steps
    // as the history keeps; states[k] is the design after k edits,
    // labels[k - 1] the menu's name of edit k.
    void OpenAndEdit()
    {
        const std::string path = SaveDesign();
        ASSERT_FALSE(path.empty());
        ASSERT_NE(OpenDesign(path), nullptr);
        ASSERT_EQ(GetMainFrame()->GetActiveFrame()->GetActiveDocument(), m_pDoc);
        ASSERT_NE(m_pView, nullptr);
        ASSERT_EQ(Objects().size(), 5u);
        // Reading the file recorded nothing.
        EXPECT_FALSE(m_pDoc->GetUndoList().CanUndo());
        ExpectMenu("", "");

        CDrawRect* pStar
            = FirstOf<CDrawRect>([](CDrawRect* p) { return p->m_nShape == SHAPE_STAR && !p->IsCalendar(); });
        CDrawPoly* pPoly = FirstOf<CDrawPoly>([](CDrawPoly*) { return true; });
        CDrawRect* pCalendar = FirstOf<CDrawRect>([](CDrawRect* p) { return p->IsCalendar() != FALSE; });
        CDrawRect* pText = FirstOf<CDrawRect>([](CDrawRect* p) { return p->m_pTextHolder != nullptr; });
        ASSERT_TRUE(pStar != nullptr && pPoly != nullptr && pCalendar != nullptr && pText != nullptr);
        ASSERT_STREQ(pCalendar->GetCellText(CALENDAR_MONTH, 12), "Picnic");

        m_states = {State()};
        m_labels.clear();
        auto edited = [this](const char* label) {
            m_states.push_back(State());
            m_labels.push_back(label);
            ASSERT_NE(m_states.back(), m_states[m_states.size() - 2]) << label << " changed nothing";
            ExpectMenu(label, "");
        };

        // 1. The star and the polygon dragged together.
        {
            CObList both;
            both.AddTail(pStar);
            both.AddTail(pPoly);
            for (CDrawObj* pObj : {static_cast<CDrawObj*>(pStar), static_cast<CDrawObj*>(pPoly)}) {
                CRect rect = pObj->m_position;
                rect.OffsetRect(40, -20);
                pObj->MoveTo(rect, m_pView);
            }
            RecordUndoMove(m_pDoc, &both, 40, -20);
            edited("move");
        }
        // 2. The calendar's outline and fill set as its properties dialog
        // sets them.
        {
            CObjectAttributes attrs;
            pCalendar->GetAttributes(attrs);
            attrs.m_bOutline = TRUE;
            attrs.m_logpen.lopnColor = RGB(0, 0, 160);
            attrs.m_bFill = TRUE;
            attrs.m_logbrush.lbColor = RGB(255, 255, 200);
            RecordUndoProperties(m_pDoc, pCalendar);
            pCalendar->SetAttributes(attrs);
            edited("change properties");
        }
        // 3 and 4. The star turned, and turned further.
        pStar->RotateShape(30);
        edited("change properties");
        pStar->RotateShape(60);
        edited("change properties");
        // 5. The calendar's note cleared.
        pCalendar->m_nCalendarIndex = 12;
        pCalendar->m_nCellKind = CALENDAR_MONTH;
        pCalendar->ClearSelectedCell();
        ASSERT_STREQ(pCalendar->GetCellText(CALENDAR_MONTH, 12), "");
        edited("change properties");
        // 6. The text turned.
        pText->SetTextRotation(45, FALSE);
        edited("change properties");
        // 7. The polygon deleted.
        {
            CObList one;
            one.AddTail(pPoly);
            RecordUndoDelete(m_pDoc, &one);
            m_pView->Remove(pPoly);
            delete pPoly;
            edited("object deletion");
        }
        // 8. An ellipse drawn.
        {
            CDrawObj* pEllipse = new CDrawRect(CRect(100, -100, 220, -180), SHAPE_ELLIPSE);
            m_pDoc->AddObject(pEllipse, m_pView);
            RecordUndoCreate(m_pDoc, &pEllipse);
            edited("object creation");
        }
    }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    std::vector<DesignState> m_states;
    std::vector<std::string> m_labels;
};

TEST_F(UndoRoadTest, EditsOfAnOpenedDesignAreUndoneAndRedoneThroughTheMainFramesEditMenu)
{
    ASSERT_NE(StartFrame(), nullptr);
    ASSERT_NO_FATAL_FAILURE(OpenAndEdit());
    const size_t nEdits = m_labels.size();

    // Back to the design as it was read, one command at a time.
    for (size_t k = nEdits; k > 0; --k) {
        SCOPED_TRACE("undo of edit " + std::to_string(k));
        Send(ID_EDIT_UNDO);
        EXPECT_EQ(Difference(State(), m_states[k - 1]), "");
        ExpectMenu(k > 1 ? m_labels[k - 2] : "", m_labels[k - 1]);
    }
    // The polygon came back a polygon with its points, the calendar with
    // its note.
    auto* pPoly = FirstOf<CDrawPoly>([](CDrawPoly*) { return true; });
    ASSERT_NE(pPoly, nullptr);
    EXPECT_EQ(pPoly->GetPointCount(), 6);
    auto* pCalendar = FirstOf<CDrawRect>([](CDrawRect* p) { return p->IsCalendar() != FALSE; });
    ASSERT_NE(pCalendar, nullptr);
    EXPECT_STREQ(pCalendar->GetCellText(CALENDAR_MONTH, 12), "Picnic");

    // Nothing left to undo: the command changes nothing.
    Send(ID_EDIT_UNDO);
    EXPECT_EQ(Difference(State(), m_states[0]), "");
    ExpectMenu("", m_labels[0]);

    // And forward again to the last edit.
    for (size_t k = 1; k <= nEdits; ++k) {
        SCOPED_TRACE("redo of edit " + std::to_string(k));
        Send(ID_EDIT_REDO);
        EXPECT_EQ(Difference(State(), m_states[k]), "");
        ExpectMenu(m_labels[k - 1], k < nEdits ? m_labels[k] : "");
    }
    Send(ID_EDIT_REDO);
    EXPECT_EQ(Difference(State(), m_states[nEdits]), "");

    // Half way back, a new edit drops what could be redone.
    for (int i = 0; i < 3; ++i)
        Send(ID_EDIT_UNDO);
    EXPECT_EQ(Difference(State(), m_states[nEdits - 3]), "");
    CDrawObj* pFirst = Objects().front();
    CObList one;
    one.AddTail(pFirst);
    CRect moved = pFirst->m_position;
    moved.OffsetRect(5, 5);
    pFirst->MoveTo(moved, m_pView);
    RecordUndoMove(m_pDoc, &one, 5, 5);
    ExpectMenu("move", "");
}

TEST_F(UndoRoadTest, TheCropToolGreysBothItemsAndTheirCommandsAreRefused)
{
    ASSERT_NE(StartFrame(), nullptr);
    ASSERT_NO_FATAL_FAILURE(OpenAndEdit());
    Send(ID_EDIT_UNDO);
    const size_t nLast = m_labels.size();
    ASSERT_EQ(Difference(State(), m_states[nLast - 1]), "");
    ExpectMenu(m_labels[nLast - 2], m_labels[nLast - 1]);

    SetCurrentShape(kShapeCrop);
    ExpectMenu("", "");
    Send(ID_EDIT_UNDO);
    EXPECT_EQ(Difference(State(), m_states[nLast - 1]), "") << "the crop tool keeps its own half-made step";
    Send(ID_EDIT_REDO);
    EXPECT_EQ(Difference(State(), m_states[nLast - 1]), "");

    // Back on the selection tool both steps are there as they were.
    SetCurrentShape(kShapeSelect);
    ExpectMenu(m_labels[nLast - 2], m_labels[nLast - 1]);
    Send(ID_EDIT_REDO);
    EXPECT_EQ(Difference(State(), m_states[nLast]), "");
}

TEST_F(UndoRoadTest, CtrlZAndCtrlYUndoAndRedoExceptUnderTheCropTool)
{
    ASSERT_NE(StartFrame(), nullptr);
    ASSERT_NO_FATAL_FAILURE(OpenAndEdit());
    const size_t nLast = m_labels.size();
    std::vector<DesignState> seen;
    auto look = [&] { seen.push_back(State()); };
    Script({
        [] { PressCtrl('Z'); },
        [&] {
            look();
            PressCtrl('Z');
        },
        [&] {
            look();
            PressCtrl('Y');
        },
        [&] {
            look();
            SetCurrentShape(kShapeCrop);
            PressCtrl('Z');
        },
        [&] {
            look();
            SetCurrentShape(kShapeSelect);
            PressCtrl('Y');
        },
        look,
    });
    RunAppLoop(m_app.get());
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(Difference(seen[0], m_states[nLast - 1]), "");
    EXPECT_EQ(Difference(seen[1], m_states[nLast - 2]), "");
    EXPECT_EQ(Difference(seen[2], m_states[nLast - 1]), "");
    EXPECT_EQ(Difference(seen[3], m_states[nLast - 1]), "") << "Ctrl+Z is refused under the crop tool";
    EXPECT_EQ(Difference(seen[4], m_states[nLast]), "");
}

} // namespace
