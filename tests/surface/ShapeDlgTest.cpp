// The Shape dialog: which radio and side count a record shows, what OK
// gives back (a kind without a radio and a side count outside the list are
// kept), the fixed kind, and the ways in: a shape object's editor with its
// Apply button and undo step, and Insert Shape.

#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "resources/resource.h"
#include "surface/ShapeDlg.h"
#include "tests/support/DialogDriver.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <string>

namespace surfacetest {
namespace {

using testing_support::DialogStep;

const int kRadios[] = {IDC_SHAPE_RECTANGLE, IDC_SHAPE_ROUNDED, IDC_SHAPE_ELLIPSE, IDC_SHAPE_STAR, IDC_SHAPE_ARROW,
    IDC_SHAPE_SUN, IDC_SHAPE_HEART, IDC_SHAPE_CLUB, IDC_SHAPE_SPADE, IDC_SHAPE_DIAMOND, IDC_SHAPE_SIGN,
    IDC_SHAPE_SHIELD, IDC_SHAPE_BUBBLE_RIGHT, IDC_SHAPE_BUBBLE_LEFT, IDC_SHAPE_POLYGON};

DialogStep OnShape(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_SHAPE_SIDES, std::move(action));
}

// The control ids of the checked radios.
std::vector<int> CheckedRadios(HWND hDlg)
{
    std::vector<int> checked;
    for (int nID : kRadios) {
        if (::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED)
            checked.push_back(nID);
    }
    return checked;
}

int SidesIndex(HWND hDlg)
{
    return int(::SendDlgItemMessage(hDlg, IDC_SHAPE_SIDES, CB_GETCURSEL, 0, 0));
}

bool Enabled(HWND hDlg, int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE;
}

bool Visible(HWND hDlg, int nID)
{
    return ::IsWindowVisible(::GetDlgItem(hDlg, nID)) != FALSE;
}

void ClickRadio(HWND hDlg, int nID)
{
    ::SendMessage(::GetDlgItem(hDlg, nID), BM_CLICK, 0, 0);
}

void PickSides(HWND hDlg, int nSides)
{
    HWND hCombo = ::GetDlgItem(hDlg, IDC_SHAPE_SIDES);
    ::SendMessage(hCombo, CB_SETCURSEL, WPARAM(nSides - 3), 0);
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_SHAPE_SIDES, CBN_SELCHANGE), LPARAM(hCombo));
}

class ShapeDlgTest : public SurfaceTest {
protected:
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SurfaceTest::TearDown();
    }

    // Runs the dialog on a record of that kind and side count with the
    // steps; the dialog's answer.
    INT_PTR Run(CObjectAttributes& attrs, int nFlags, std::vector<DialogStep> steps, int* pKind = nullptr,
        int* pSides = nullptr)
    {
        testing_support::DriveActiveWindow(std::move(steps));
        CShapeDlg dlg(m_pMain);
        dlg.m_nFlags = nFlags;
        dlg.SetObject(nullptr, &attrs, FALSE);
        const INT_PTR nResult = dlg.DoModal();
        platform::headless::SetIdleHandler(nullptr);
        int nKind = 0;
        int nSides = 0;
        dlg.GetShape(nKind, nSides);
        if (pKind != nullptr)
            *pKind = nKind;
        if (pSides != nullptr)
            *pSides = nSides;
        return nResult;
    }
};

} // namespace

TEST_F(ShapeDlgTest, EachKindShowsItsRadioAndOkGivesItBack)
{
    struct Case {
        int nKind;
        int nSides;
        int nRadio;      // 0 for none checked
        int nSidesIndex; // the list's selection
        bool bSidesEnabled;
    };
    const Case cases[] = {
        {0, 4, IDC_SHAPE_RECTANGLE, 1, false},
        {2, 4, IDC_SHAPE_ELLIPSE, 1, false},
        // A line has no radio: none is checked.
        {3, 4, 0, 1, false},
        {4, 4, IDC_SHAPE_STAR, 1, false},
        {14, 4, IDC_SHAPE_BUBBLE_LEFT, 1, false},
        {15, 6, IDC_SHAPE_POLYGON, 3, true},
        {15, 20, IDC_SHAPE_POLYGON, 17, true},
        // Below three the first item shows; above twenty none.
        {15, 2, IDC_SHAPE_POLYGON, 0, true},
        {15, 50, IDC_SHAPE_POLYGON, -1, true},
        // A kind a design brought from outside the list.
        {16, 4, 0, 1, false},
        {-1, 4, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.nKind << ", " << c.nSides << " sides");
        CObjectAttributes attrs;
        attrs.m_nShape = c.nKind;
        attrs.m_nSides = c.nSides;
        std::vector<int> checked;
        int nIndex = -2;
        bool bSidesEnabled = false;
        int nKind = 0;
        int nSides = 0;
        const INT_PTR nResult = Run(attrs, CShapeDlg::FlagWriteRecord,
            {OnShape([&](HWND hDlg) {
                checked = CheckedRadios(hDlg);
                nIndex = SidesIndex(hDlg);
                bSidesEnabled = Enabled(hDlg, IDC_SHAPE_SIDES) && Enabled(hDlg, IDC_SHAPE_SIDES_LABEL);
                Click(hDlg, IDOK);
            })},
            &nKind, &nSides);
        EXPECT_EQ(nResult, IDOK);
        EXPECT_EQ(checked, c.nRadio == 0 ? std::vector<int>{} : std::vector<int>{c.nRadio});
        EXPECT_EQ(nIndex, c.nSidesIndex);
        EXPECT_EQ(bSidesEnabled, c.bSidesEnabled);
        // OK without a choice keeps the kind, and a side count the list
        // cannot show.
        EXPECT_EQ(nKind, c.nKind);
        EXPECT_EQ(attrs.m_nShape, c.nKind);
        const int nExpectedSides = c.nSides < 3 ? 3 : c.nSides;
        EXPECT_EQ(nSides, nExpectedSides);
        EXPECT_EQ(attrs.m_nSides, nExpectedSides);
    }
}

TEST_F(ShapeDlgTest, RadiosGiveTheirKindsSkippingTheLine)
{
    // Each radio index from 3 on stands for the kind one above it.
    for (int nIndex = 0; nIndex < int(std::size(kRadios)); ++nIndex) {
        SCOPED_TRACE(nIndex);
        CObjectAttributes attrs;
        attrs.m_nShape = SHAPE_LINE;
        int nKind = -5;
        Run(attrs, CShapeDlg::FlagWriteRecord, {OnShape([&](HWND hDlg) {
            ClickRadio(hDlg, kRadios[nIndex]);
            Click(hDlg, IDOK);
        })},
            &nKind);
        const int nExpected = nIndex < 3 ? nIndex : nIndex + 1;
        EXPECT_EQ(nKind, nExpected);
        EXPECT_EQ(attrs.m_nShape, nExpected);
    }
    EXPECT_EQ(CShapeDlg::KindOfRadioIndex(3), SHAPE_STAR);
    EXPECT_EQ(CShapeDlg::RadioIndexOfKind(SHAPE_LINE), -1);
}

TEST_F(ShapeDlgTest, ThePolygonEnablesTheSideListAndAPickedCountReplacesOneOutsideIt)
{
    CObjectAttributes attrs;
    attrs.m_nShape = SHAPE_ELLIPSE;
    attrs.m_nSides = 50;
    bool bBefore = true;
    bool bAfter = false;
    int nKind = 0;
    int nSides = 0;
    Run(attrs, CShapeDlg::FlagWriteRecord | CShapeDlg::FlagReportChanges, {OnShape([&](HWND hDlg) {
        bBefore = Enabled(hDlg, IDC_SHAPE_SIDES);
        ClickRadio(hDlg, IDC_SHAPE_POLYGON);
        bAfter = Enabled(hDlg, IDC_SHAPE_SIDES);
        PickSides(hDlg, 7);
        Click(hDlg, IDOK);
    })},
        &nKind, &nSides);
    EXPECT_FALSE(bBefore);
    EXPECT_TRUE(bAfter);
    EXPECT_EQ(nKind, SHAPE_REGULAR_POLYGON);
    EXPECT_EQ(nSides, 7);
    EXPECT_EQ(attrs.m_nSides, 7);
}

TEST_F(ShapeDlgTest, CancelAndAMissingWriteFlagLeaveTheRecordAlone)
{
    CObjectAttributes attrs;
    attrs.m_nShape = SHAPE_HEART;
    attrs.m_nSides = 9;
    int nKind = 0;
    EXPECT_EQ(Run(attrs, CShapeDlg::FlagWriteRecord, {OnShape([](HWND hDlg) {
        ClickRadio(hDlg, IDC_SHAPE_STAR);
        Click(hDlg, IDCANCEL);
    })}),
        IDCANCEL);
    EXPECT_EQ(attrs.m_nShape, SHAPE_HEART);

    // Without the flag OK answers the choice and leaves the record.
    EXPECT_EQ(Run(attrs, 0, {OnShape([](HWND hDlg) {
        ClickRadio(hDlg, IDC_SHAPE_STAR);
        Click(hDlg, IDOK);
    })},
        &nKind),
        IDOK);
    EXPECT_EQ(nKind, SHAPE_STAR);
    EXPECT_EQ(attrs.m_nShape, SHAPE_HEART);
    EXPECT_EQ(attrs.m_nSides, 9);
}

TEST_F(ShapeDlgTest, TheFixedKindGreysTheGroupAndWithoutAnObjectApplyIsHidden)
{
    CObjectAttributes attrs;
    attrs.m_nShape = CShapeDlg::kFixedShapeKind;
    bool bAnyEnabled = true;
    bool bApplyShown = true;
    int nKind = 0;
    Run(attrs, CShapeDlg::FlagWriteRecord, {OnShape([&](HWND hDlg) {
        bAnyEnabled = Enabled(hDlg, IDC_SHAPE_SIDES);
        for (int nID : kRadios)
            bAnyEnabled = bAnyEnabled || Enabled(hDlg, nID);
        bApplyShown = Visible(hDlg, IDC_SHAPE_APPLY) || Visible(hDlg, IDC_SHAPE_COLOR_BORDER)
            || Visible(hDlg, IDC_SHAPE_PICTURE);
        Click(hDlg, IDOK);
    })},
        &nKind);
    EXPECT_FALSE(bAnyEnabled);
    EXPECT_FALSE(bApplyShown);
    EXPECT_EQ(nKind, CShapeDlg::kFixedShapeKind);
}

TEST_F(ShapeDlgTest, SetShapeIsRefusedWhileTheKindIsAStar)
{
    CShapeDlg dlg(m_pMain);
    dlg.SetShape(SHAPE_STAR, 5);
    dlg.SetShape(SHAPE_HEART, 8);
    int nKind = 0;
    int nSides = 0;
    dlg.GetShape(nKind, nSides);
    EXPECT_EQ(nKind, SHAPE_STAR);
    EXPECT_EQ(nSides, 5);
}

TEST_F(ShapeDlgTest, AShapeObjectTakesTheChosenShapeAndColourInOneUndoStep)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = FirstView(pDoc);
    auto* pShape = new CDrawRect(CRect(0, 300, 300, 0), SHAPE_ELLIPSE);
    pView->Add(pShape);
    ASSERT_FALSE(pShape->m_bFill);
    const int nSteps = pDoc->GetUndoList().GetCount();
    bool bApplyShown = false;
    testing_support::DriveActiveWindow({
        OnShape([&](HWND hDlg) {
            bApplyShown = Visible(hDlg, IDC_SHAPE_COLOR_BORDER) && Visible(hDlg, IDC_SHAPE_PICTURE);
            ClickRadio(hDlg, IDC_SHAPE_POLYGON);
            PickSides(hDlg, 8);
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_SHAPE_COLOR_BORDER, BN_CLICKED), 0);
        }),
        // The colour page edits the dialog's record: a solid fill.
        OnDialogWith(IDC_CF_SOLID, [](HWND hDlg) {
            ClickRadio(hDlg, IDC_CF_SOLID);
            Click(hDlg, IDOK);
        }),
        OnShape([](HWND hDlg) { Click(hDlg, IDOK); }),
    });
    EXPECT_TRUE(pShape->OnOpen(pView, CDrawObj::EditShape));
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_TRUE(bApplyShown);
    EXPECT_EQ(pShape->m_nShape, SHAPE_REGULAR_POLYGON);
    EXPECT_EQ(pShape->m_nSides, 8);
    EXPECT_TRUE(pShape->m_bFill);
    EXPECT_TRUE(pDoc->IsModified());
    ASSERT_EQ(pDoc->GetUndoList().GetCount(), nSteps + 1);
    EXPECT_TRUE(pDoc->GetUndoList().Undo(pDoc));
    EXPECT_EQ(pShape->m_nShape, SHAPE_ELLIPSE);
    EXPECT_FALSE(pShape->m_bFill);
}

TEST_F(ShapeDlgTest, InsertShapeAddsTheChosenShapeAndCancelAddsNothing)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = FirstView(pDoc);
    const INT_PTR nBefore = pView->GetObjects().GetCount();
    testing_support::DriveActiveWindow({OnShape([](HWND hDlg) { Click(hDlg, IDCANCEL); })});
    pView->SendMessage(WM_COMMAND, ID_INSERT_SHAPE);
    EXPECT_EQ(pView->GetObjects().GetCount(), nBefore);

    testing_support::DriveActiveWindow({OnShape([](HWND hDlg) {
        ClickRadio(hDlg, IDC_SHAPE_POLYGON);
        PickSides(hDlg, 5);
        Click(hDlg, IDOK);
    })});
    pView->SendMessage(WM_COMMAND, ID_INSERT_SHAPE);
    platform::headless::SetIdleHandler(nullptr);
    ASSERT_EQ(pView->GetObjects().GetCount(), nBefore + 1);
    auto* pNew = dynamic_cast<CDrawRect*>(pView->GetSingleSelection());
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(pNew->m_nShape, SHAPE_REGULAR_POLYGON);
    EXPECT_EQ(pNew->m_nSides, 5);
}

} // namespace surfacetest
