// The undo history: eight steps, the redo part dropped by a new step,
// suspension, labels, grouped runs undone and redone as one command, and
// every kind of step undone and redone on real objects of a real design,
// each object's state compared with its state before.

#include "tests/model/ModelTestSupport.h"

#include "calendar/DayCellObj.h"
#include "model/DrawPoly.h"
#include "model/ObjectAttributes.h"
#include "model/TextContentHolder.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "text/TextBlock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class CTextCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_nEnabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    void SetText(LPCTSTR lpszText) override { m_strText = lpszText; }
    int m_nEnabled = -1;
    CString m_strText;
};

class UndoTest : public modeltest::DesignViewTest {
protected:
    void SetUp() override
    {
        DesignViewTest::SetUp();
        g_bUndoRecordingOff = FALSE;
        g_bUndoGrouping = FALSE;
        SetCurrentShape(kShapeSelect);
    }
    void TearDown() override
    {
        g_bUndoGrouping = FALSE;
        SetCurrentShape(kShapeSelect);
        DesignViewTest::TearDown();
    }
    CUndoList& List() { return m_pDoc->GetUndoList(); }
    CDrawRect* AddRect(const CRect& rect, int nShape = SHAPE_RECTANGLE)
    {
        auto* pObj = new CDrawRect(rect, nShape);
        m_pDoc->AddObject(pObj, m_pView);
        return pObj;
    }
    static std::unique_ptr<CObList> ListOf(std::initializer_list<CDrawObj*> objects)
    {
        auto pList = std::make_unique<CObList>();
        for (CDrawObj* pObj : objects)
            pList->AddTail(pObj);
        return pList;
    }
    CString MenuText(UINT nID)
    {
        CTextCmdUI ui;
        ui.m_nID = nID;
        ui.DoUpdate(m_pDoc, FALSE);
        m_nLastEnabled = ui.m_nEnabled;
        return ui.m_strText;
    }
    // Undo and Redo as the Edit menu sends them.
    void Command(UINT nID) { m_pDoc->OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr); }
    int m_nLastEnabled = -1;
};

TEST_F(UndoTest, EightStepsAreKeptAndANewStepDropsTheRedoPart)
{
    CDrawRect* pObj = AddRect(CRect(0, 100, 100, 0));
    auto list = ListOf({pObj});
    for (int i = 1; i <= 9; ++i) {
        pObj->MoveTo(CRect(i, 100, 100 + i, 0), m_pView);
        RecordUndoMove(m_pDoc, list.get(), 1, 0);
    }
    EXPECT_EQ(List().GetCount(), 8);
    int nUndone = 0;
    while (List().Undo(m_pDoc))
        ++nUndone;
    EXPECT_EQ(nUndone, 8);
    EXPECT_EQ(pObj->m_position.left, 1) << "the first move is no longer in the history";

    EXPECT_TRUE(List().Redo(m_pDoc));
    EXPECT_TRUE(List().Redo(m_pDoc));
    EXPECT_TRUE(List().Undo(m_pDoc));
    RecordUndoMove(m_pDoc, list.get(), 0, 5);
    EXPECT_FALSE(List().CanRedo());
    EXPECT_EQ(List().GetUndoLabel(), "move");
}

TEST_F(UndoTest, SuspensionNestsAndNeverGoesBelowNone)
{
    CDrawRect* pObj = AddRect(CRect(0, 100, 100, 0));
    auto list = ListOf({pObj});
    List().Enable(TRUE);
    EXPECT_FALSE(List().IsSuspended());
    List().Enable(FALSE);
    List().Enable(FALSE);
    RecordUndoMove(m_pDoc, list.get(), 3, 3);
    EXPECT_FALSE(List().CanUndo()) << "dropped while suspended";
    List().Enable(TRUE);
    EXPECT_TRUE(List().IsSuspended());
    List().Enable(TRUE);
    RecordUndoMove(m_pDoc, list.get(), 3, 3);
    EXPECT_TRUE(List().CanUndo());
    CUndoRecord* pNone = nullptr;
    EXPECT_FALSE(List().Add(&pNone));

    g_bUndoRecordingOff = TRUE;
    RecordUndoMove(m_pDoc, list.get(), 1, 1);
    g_bUndoRecordingOff = FALSE;
    EXPECT_EQ(List().GetCount(), 1);
}

TEST_F(UndoTest, TheMenuSaysWhatWillBeUndoneAndTheCropToolDisablesIt)
{
    EXPECT_EQ(MenuText(ID_EDIT_UNDO), "&Undo\tCtrl+Z");
    EXPECT_EQ(m_nLastEnabled, 0);
    CDrawRect* pObj = AddRect(CRect(0, 100, 100, 0));
    auto list = ListOf({pObj});
    RecordUndoMove(m_pDoc, list.get(), 10, 0);
    EXPECT_EQ(MenuText(ID_EDIT_UNDO), "&Undo move\tCtrl+Z");
    EXPECT_EQ(m_nLastEnabled, 1);
    EXPECT_EQ(MenuText(ID_EDIT_REDO), "&Redo\tCtrl+Y");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(MenuText(ID_EDIT_REDO), "&Redo move\tCtrl+Y");
    SetCurrentShape(kShapeCrop);
    EXPECT_EQ(MenuText(ID_EDIT_REDO), "&Redo\tCtrl+Y");
    EXPECT_EQ(m_nLastEnabled, 0);
}

TEST_F(UndoTest, APasteIntoIsUndoneAndRedoneAsOneCommand)
{
    CDrawRect* pTarget = AddRect(CRect(0, 100, 100, 0));
    CDrawRect* pOther = AddRect(CRect(300, 100, 400, 0));
    const std::string targetState = modeltest::ObjectState(pTarget);
    const DWORD nTarget = pTarget->m_nSerial;
    {
        auto list = ListOf({pOther});
        RecordUndoMove(m_pDoc, list.get(), 7, 0); // an ordinary step before
    }
    g_bUndoGrouping = TRUE;
    {
        auto list = ListOf({pTarget});
        RecordUndoDelete(m_pDoc, list.get());
    }
    m_pView->Remove(pTarget);
    delete pTarget;
    CDrawObj* pFirst = AddRect(CRect(10, 90, 50, 10), SHAPE_ELLIPSE);
    RecordUndoCreate(m_pDoc, &pFirst);
    CDrawObj* pSecond = AddRect(CRect(50, 90, 90, 10), SHAPE_STAR);
    RecordUndoCreate(m_pDoc, &pSecond);
    g_bUndoGrouping = FALSE;
    const DWORD nFirst = pFirst->m_nSerial;
    const DWORD nSecond = pSecond->m_nSerial;
    EXPECT_EQ(MenuText(ID_EDIT_UNDO), "&Undo paste into\tCtrl+Z");

    Command(ID_EDIT_UNDO);
    EXPECT_EQ(modeltest::ObjectState(m_pDoc->FindObjectById(nTarget)), targetState);
    EXPECT_EQ(m_pDoc->FindObjectById(nFirst), nullptr);
    EXPECT_EQ(m_pDoc->FindObjectById(nSecond), nullptr);
    EXPECT_EQ(MenuText(ID_EDIT_UNDO), "&Undo move\tCtrl+Z") << "the step before the group is left alone";

    Command(ID_EDIT_REDO);
    EXPECT_EQ(m_pDoc->FindObjectById(nTarget), nullptr);
    EXPECT_NE(m_pDoc->FindObjectById(nFirst), nullptr);
    EXPECT_NE(m_pDoc->FindObjectById(nSecond), nullptr);
    EXPECT_FALSE(List().CanRedo());
}

TEST_F(UndoTest, RedoOfAGroupStopsBeforeTheStepAfterIt)
{
    CDrawRect* pA = AddRect(CRect(0, 100, 100, 0));
    g_bUndoGrouping = TRUE;
    {
        auto list = ListOf({pA});
        RecordUndoDelete(m_pDoc, list.get());
    }
    m_pView->Remove(pA);
    delete pA;
    CDrawObj* pNew = AddRect(CRect(0, 50, 50, 0));
    RecordUndoCreate(m_pDoc, &pNew);
    g_bUndoGrouping = FALSE;
    const DWORD nNew = pNew->m_nSerial;
    auto list = ListOf({pNew});
    pNew->MoveTo(CRect(20, 50, 70, 0), m_pView);
    RecordUndoMove(m_pDoc, list.get(), 20, 0);

    Command(ID_EDIT_UNDO); // the move
    Command(ID_EDIT_UNDO); // the group
    EXPECT_FALSE(List().CanUndo());
    Command(ID_EDIT_REDO);
    EXPECT_NE(m_pDoc->FindObjectById(nNew), nullptr);
    EXPECT_EQ(m_pDoc->FindObjectById(nNew)->m_position.left, 0) << "the move waits for the next Redo";
    EXPECT_TRUE(List().CanRedo());
    Command(ID_EDIT_REDO);
    EXPECT_EQ(m_pDoc->FindObjectById(nNew)->m_position.left, 20);
}

TEST_F(UndoTest, CreationsAndDeletionsBringBackEveryClassWhole)
{
    auto* pPoly = new CDrawPoly(CRect(0, 0, 0, 0));
    m_pDoc->AddObject(pPoly, m_pView);
    for (int i = 0; i < 7; ++i)
        pPoly->AddPoint(CPoint(i * 20, (i % 2) * 60), m_pView);
    auto* pPlain = new CDrawObj(CRect(200, 300, 300, 200));
    m_pDoc->AddObject(pPlain, m_pView);
    CDrawRect* pCalendar = AddRect(CRect(-400, 0, 0, -300));
    pCalendar->m_nCalendarStart = 2460436;
    pCalendar->m_nCalendarWords[1] = CALENDAR_MONTH;
    pCalendar->SetCellText(CALENDAR_MONTH, 9, "Party");
    CDrawRect* pText = AddRect(CRect(0, -100, 200, -200));
    pText->m_bBlockText = TRUE;
    pText->m_pTextHolder = new CTextContentHolder(pText);
    pText->m_pTextHolder->GetBlock()->SetText("Hello");
    // The layout caches' marks are not part of what a step keeps.
    pText->m_pTextHolder->GetBlock()->m_wFlags &= ~WORD(TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
    // The steps below delete and remake the calendar; its id stays.
    const DWORD nCalendarId = pCalendar->m_nSerial;

    for (CDrawObj* pObj : {static_cast<CDrawObj*>(pPoly), pPlain, static_cast<CDrawObj*>(pCalendar), static_cast<CDrawObj*>(pText)}) {
        const DWORD nId = pObj->m_nSerial;
        const std::string before = modeltest::ObjectState(pObj);
        // A creation: undone the object goes, redone it is back whole.
        CDrawObj* pCreated = pObj;
        RecordUndoCreate(m_pDoc, &pCreated);
        ASSERT_TRUE(List().Undo(m_pDoc));
        EXPECT_EQ(m_pDoc->FindObjectById(nId), nullptr);
        ASSERT_TRUE(List().Redo(m_pDoc));
        EXPECT_EQ(modeltest::ObjectState(m_pDoc->FindObjectById(nId)), before);
        // A deletion: redone it goes again, undone it is back whole.
        CDrawObj* pNow = m_pDoc->FindObjectById(nId);
        auto list = ListOf({pNow});
        RecordUndoDelete(m_pDoc, list.get());
        m_pView->Remove(pNow);
        delete pNow;
        ASSERT_TRUE(List().Undo(m_pDoc));
        EXPECT_EQ(modeltest::ObjectState(m_pDoc->FindObjectById(nId)), before);
        ASSERT_TRUE(List().Redo(m_pDoc));
        EXPECT_EQ(m_pDoc->FindObjectById(nId), nullptr);
        ASSERT_TRUE(List().Undo(m_pDoc));
        EXPECT_EQ(modeltest::ObjectState(m_pDoc->FindObjectById(nId)), before);
    }
    // The calendar came back with its cells.
    EXPECT_STREQ(static_cast<CDrawRect*>(m_pDoc->FindObjectById(nCalendarId))->GetCellText(CALENDAR_MONTH, 9),
        "Party");
}

TEST_F(UndoTest, MovesSizesAndScalesSwapBackAndForth)
{
    CDrawRect* pA = AddRect(CRect(0, 100, 100, 0));
    CDrawRect* pB = AddRect(CRect(200, 100, 300, 0));
    const std::string a0 = modeltest::ObjectState(pA);
    const std::string b0 = modeltest::ObjectState(pB);
    auto both = ListOf({pA, pB});

    // Nothing to record.
    RecordUndoMove(m_pDoc, both.get(), 0, 0);
    CDrawObj* pObj = pA;
    RecordUndoResize(m_pDoc, &pObj, pA->m_position);
    EXPECT_FALSE(List().CanUndo());

    pA->MoveTo(CRect(10, 90, 110, -10), m_pView);
    pB->MoveTo(CRect(210, 90, 310, -10), m_pView);
    RecordUndoMove(m_pDoc, both.get(), 10, -10);
    const std::string a1 = modeltest::ObjectState(pA);
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(modeltest::ObjectState(pA), a0);
    EXPECT_EQ(modeltest::ObjectState(pB), b0);
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_EQ(modeltest::ObjectState(pA), a1);

    // A resize to the same rectangle turned over is a flip.
    const CRect before = pA->m_position;
    const CRect flipped(before.right, before.top, before.left, before.bottom);
    pA->m_position = flipped;
    RecordUndoResize(m_pDoc, &pObj, before);
    EXPECT_EQ(List().GetUndoLabel(), "flip");
    pA->m_position = CRect(before.left, before.top, before.right + 50, before.bottom);
    RecordUndoResize(m_pDoc, &pObj, flipped);
    EXPECT_EQ(List().GetUndoLabel(), "size");
    ASSERT_TRUE(List().Undo(m_pDoc));
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(pA->m_position, before);

    // Scaling keeps locked objects where they are.
    RecordUndoScale(m_pDoc, both.get());
    const CRect bBefore = pB->m_position;
    pB->m_wFlags |= OBJ_FLAG_LOCKED;
    pA->MoveTo(CRect(0, 0, 10, -10), m_pView);
    pB->m_position = CRect(0, 0, 5, -5);
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(pA->m_position, before);
    EXPECT_EQ(pB->m_position, CRect(0, 0, 5, -5));
    pB->m_position = bBefore;
    EXPECT_EQ(List().GetUndoLabel(), "move");
}

TEST_F(UndoTest, SelectionSizesUndoneAndRedoneTwiceEndWhereTheyWere)
{
    CDrawRect* pA = AddRect(CRect(0, 100, 100, 0));
    CDrawRect* pB = AddRect(CRect(200, 100, 300, 0));
    auto both = ListOf({pA, pB});
    // Two handle drags, each saving the positions at its press as the tools do.
    auto sizeBoth = [&](int nGrow) {
        const CRect first = pA->m_position;
        for (CDrawRect* pObj : {pA, pB}) {
            pObj->m_rectUncropped = pObj->m_position;
            CRect rect = pObj->m_position;
            rect.right += nGrow;
            pObj->MoveTo(rect, m_pView);
        }
        RecordUndoResizeSelection(m_pDoc, both.get(), first);
    };
    sizeBoth(30);
    sizeBoth(40);

    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(pA->m_position, CRect(0, 100, 130, 0));
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(pA->m_position, CRect(0, 100, 100, 0));
    EXPECT_EQ(pB->m_position, CRect(200, 100, 300, 0));
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_EQ(pA->m_position, CRect(0, 100, 130, 0));
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_EQ(pA->m_position, CRect(0, 100, 170, 0));
    EXPECT_EQ(pB->m_position, CRect(200, 100, 370, 0));
}

TEST_F(UndoTest, GroupsLocksAlignmentsCropsAndPropertiesSwap)
{
    CDrawRect* pA = AddRect(CRect(0, 100, 100, 0));
    CDrawRect* pB = AddRect(CRect(200, 150, 260, 50));
    auto both = ListOf({pA, pB});

    RecordUndoGroup(m_pDoc, both.get(), 4);
    pA->m_wObjectWord = pB->m_wObjectWord = 4;
    EXPECT_EQ(List().GetUndoLabel(), "group");
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(pA->m_wObjectWord, 0);
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_EQ(pB->m_wObjectWord, 4);

    RecordUndoLock(m_pDoc, both.get());
    pA->m_wFlags |= OBJ_FLAG_LOCKED;
    pB->m_wFlags |= OBJ_FLAG_LOCKED;
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_FALSE(pA->m_wFlags & OBJ_FLAG_LOCKED);
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_TRUE(pB->m_wFlags & OBJ_FLAG_LOCKED);
    pA->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    pB->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);

    // Align the right edges to 300, as the command would after recording.
    RecordUndoAlign(m_pDoc, both.get(), 2, 300, 0);
    pA->MoveTo(CRect(200, 100, 300, 0), m_pView);
    pB->MoveTo(CRect(240, 150, 300, 50), m_pView);
    EXPECT_EQ(List().GetUndoLabel(), "alignment");
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(pA->m_position, CRect(0, 100, 100, 0));
    EXPECT_EQ(pB->m_position, CRect(200, 150, 260, 50));
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_EQ(pB->m_position.right, 300);

    CDrawObj* pObj = pA;
    RecordUndoCrop(m_pDoc, &pObj, pA->m_dCropLeft, pA->m_dCropTop, pA->m_dCropWidth, pA->m_dCropHeight);
    pA->m_dCropLeft = 0.25;
    pA->m_dCropWidth = 0.5;
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_DOUBLE_EQ(pA->m_dCropLeft, 0.0);
    EXPECT_DOUBLE_EQ(pA->m_dCropWidth, 1.0);
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_DOUBLE_EQ(pA->m_dCropWidth, 0.5);

    const std::string before = modeltest::ObjectState(pB);
    RecordUndoProperties(m_pDoc, pB);
    pB->m_logpen.lopnColor = RGB(1, 2, 3);
    pB->m_nShape = SHAPE_HEART;
    pB->SetAngle(30);
    const std::string after = modeltest::ObjectState(pB);
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(modeltest::ObjectState(pB), before);
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_EQ(pB->m_nShape, SHAPE_HEART);
    EXPECT_EQ(pB->m_logpen.lopnColor, RGB(1, 2, 3));
    (void)after;
}

TEST_F(UndoTest, TextRemovalAndDuplicates)
{
    CDrawRect* pText = AddRect(CRect(0, 100, 200, 0));
    pText->m_bBlockText = TRUE;
    pText->m_pTextHolder = new CTextContentHolder(pText);
    CTextBlock* pBlock = pText->m_pTextHolder->GetBlock();
    pBlock->SetText("Hello world");
    RecordUndoTextRemoval(m_pDoc, pText, " world", 5);
    pBlock->SetText("Hello");
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_STREQ(pBlock->GetText(), "Hello world");
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_STREQ(pBlock->GetText(), "Hello");

    CDrawRect* pCopy1 = AddRect(CRect(10, 110, 60, 60), SHAPE_SUN);
    CDrawRect* pCopy2 = AddRect(CRect(70, 110, 120, 60), SHAPE_CLUB);
    const DWORD n1 = pCopy1->m_nSerial;
    const DWORD n2 = pCopy2->m_nSerial;
    const std::string s2 = modeltest::ObjectState(pCopy2);
    auto clones = ListOf({pCopy1, pCopy2});
    RecordUndoDuplicate(m_pDoc, clones.get());
    EXPECT_EQ(List().GetUndoLabel(), "object creation");
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(m_pDoc->FindObjectById(n1), nullptr);
    EXPECT_EQ(m_pDoc->FindObjectById(n2), nullptr);
    ASSERT_TRUE(List().Redo(m_pDoc));
    EXPECT_EQ(modeltest::ObjectState(m_pDoc->FindObjectById(n2)), s2);
    EXPECT_NE(m_pDoc->FindObjectById(n1), nullptr);
}

} // namespace

namespace {

TEST_F(UndoTest, ClearingACalendarCellIsOneStepBack)
{
    CDrawRect* pCalendar = AddRect(CRect(-400, 0, 0, -300));
    pCalendar->m_nCalendarStart = 2460436;
    pCalendar->m_nCalendarWords[1] = CALENDAR_MONTH;
    pCalendar->SetCellText(CALENDAR_MONTH, 9, "Party");
    pCalendar->m_nCalendarIndex = 9;
    pCalendar->m_nCellKind = CALENDAR_MONTH;
    pCalendar->ClearSelectedCell();
    EXPECT_STREQ(pCalendar->GetCellText(CALENDAR_MONTH, 9), "");
    EXPECT_EQ(List().GetUndoLabel(), "change properties");
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_STREQ(pCalendar->GetCellText(CALENDAR_MONTH, 9), "Party");
}

} // namespace

namespace {

TEST_F(UndoTest, PictureEffectsEditsAndSameSizeCarryTheirLabels)
{
    CDrawRect* pObj = AddRect(CRect(0, 100, 100, 0));
    struct Case {
        int nKind;
        const char* pszLabel;
    };
    for (const Case c : {Case{UndoPictureGrayscale, "grayscale picture"}, Case{UndoPictureEmboss, "emboss picture"},
             Case{UndoPictureBlur, "blur picture"}, Case{UndoPictureMosaic, "mosaic picture"},
             Case{UndoPictureLighten, "lighten picture"}, Case{UndoPictureDarken, "darken picture"},
             Case{UndoPictureInsert, "picture insertion"}, Case{UndoPictureRemove, "picure removal"},
             Case{UndoPictureRotate, "picture rotation"}, Case{UndoPictureLineColor, "make transparent"}}) {
        RecordUndoPictureEffect(m_pDoc, pObj, c.nKind);
        EXPECT_EQ(List().GetUndoLabel(), c.pszLabel) << c.nKind;
    }
    // Kinds 9, 10 and above 11 are no steps.
    const int nSteps = List().GetCount();
    for (int nKind : {9, 10, 12, -1})
        RecordUndoPictureEffect(m_pDoc, pObj, nKind);
    EXPECT_EQ(List().GetCount(), nSteps);

    // An edit in a dialog swaps the whole record back.
    const std::string before = modeltest::ObjectState(pObj);
    RecordUndoObjectEdit(m_pDoc, pObj, IDS_UNDO_EDIT_CELL);
    pObj->m_logbrush.lbColor = RGB(9, 9, 9);
    pObj->m_bFill = TRUE;
    EXPECT_EQ(List().GetUndoLabel(), "Edit the cell content");
    ASSERT_TRUE(List().Undo(m_pDoc));
    EXPECT_EQ(modeltest::ObjectState(pObj), before);

    auto list = ListOf({pObj});
    RecordUndoSameSize(m_pDoc, list.get());
    EXPECT_EQ(List().GetUndoLabel(), "Same Size");
}

} // namespace
