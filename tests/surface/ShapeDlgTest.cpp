// The Shape dialog: which radio and side count a record shows, what OK
// gives back (a kind without a radio and a side count outside the list are
// kept), the fixed kind, and the ways in: a shape object's editor with its
// Apply button and undo step, and Insert Shape. Its look is kept as a
// golden picture, and each shape picture is checked against the outline a
// shape object of its kind draws.

#include "tests/surface/SurfaceTestSupport.h"

#include "app/PointArray.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/StockShapes.h"
#include "model/UndoList.h"
#include "resources/resource.h"
#include "surface/ShapeDlg.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/GoldenPicture.h"
#include "tests/support/MemoryCanvas.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

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

// Which pixels of a shape picture the shape covers: those not of the
// dialog's face.
struct PictureInk {
    int w = 0;
    int h = 0;
    std::vector<bool> ink;

    int Count() const { return int(std::count(ink.begin(), ink.end(), true)); }
};

PictureInk InkOfPicture(HWND hPicture)
{
    RECT rc{};
    ::GetClientRect(hPicture, &rc);
    PictureInk result{rc.right, rc.bottom, {}};
    const COLORREF crFace = ::GetSysColor(COLOR_BTNFACE);
    for (int y = 0; y < result.h; ++y) {
        for (int x = 0; x < result.w; ++x)
            result.ink.push_back(platform::headless::WindowPixel(hPicture, x, y) != crFace);
    }
    return result;
}

// What a shape object of the kind covers when its outline is laid on the
// rectangle and filled, on a canvas of w by h pixels.
PictureInk InkOfOutline(int nKind, int nSides, const CRect& rect, int w, int h)
{
    CPointArray points;
    switch (nKind) {
    case SHAPE_RECTANGLE:
        points.SetSize(4);
        points.GetData()[0] = POINT{rect.left, rect.top};
        points.GetData()[1] = POINT{rect.right, rect.top};
        points.GetData()[2] = POINT{rect.right, rect.bottom};
        points.GetData()[3] = POINT{rect.left, rect.bottom};
        break;
    case SHAPE_ELLIPSE:
        CDrawRect::ComputeRegularPolygon(rect, points, kEllipsePoints, 0);
        break;
    case SHAPE_REGULAR_POLYGON:
        CDrawRect::ComputeRegularPolygon(rect, points, nSides, 0);
        break;
    default:
        EXPECT_TRUE(GetStockOutlinePoints(GetStockOutlineId(nKind), rect, 0, FALSE, points)) << nKind;
        break;
    }
    testing_support::MemoryCanvas canvas(w, h);
    CDC* pDC = canvas.DC();
    pDC->FillSolidRect(0, 0, w, h, RGB(255, 255, 255));
    pDC->SelectStockObject(BLACK_PEN);
    pDC->SelectStockObject(BLACK_BRUSH);
    pDC->Polygon(points.GetData(), points.GetCount());
    PictureInk result{w, h, {}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            result.ink.push_back(canvas.At(x, y) != RGB(255, 255, 255));
    }
    return result;
}

// Shared pixels over pixels covered by either.
double Overlap(const PictureInk& a, const PictureInk& b)
{
    int both = 0;
    int either = 0;
    for (size_t i = 0; i < a.ink.size() && i < b.ink.size(); ++i) {
        both += a.ink[i] && b.ink[i] ? 1 : 0;
        either += a.ink[i] || b.ink[i] ? 1 : 0;
    }
    return either == 0 ? 0.0 : double(both) / either;
}

// Each picture is told from every other kind's outline: it matches its own
// kind's outline (with nSides for the polygon) and no other as well.
void ExpectPicturesShowTheirKinds(HWND hDlg, int nSides)
{
    for (int nIndex = 0; nIndex < int(std::size(kRadios)); ++nIndex) {
        const int nKind = CShapeDlg::KindOfRadioIndex(nIndex);
        SCOPED_TRACE(testing::Message() << "kind " << nKind);
        HWND hPicture = ::GetDlgItem(hDlg, CShapeDlg::PictureOfRadioIndex(nIndex));
        ASSERT_NE(hPicture, HWND(NULL));
        EXPECT_TRUE(::IsWindowVisible(hPicture));
        // Beside its radio: on its row, left of its text.
        RECT pic{};
        RECT radio{};
        ::GetWindowRect(hPicture, &pic);
        ::GetWindowRect(::GetDlgItem(hDlg, kRadios[nIndex]), &radio);
        EXPECT_LE(pic.right, radio.left);
        EXPECT_GE(radio.left - pic.right, 0);
        EXPECT_LT(radio.left - pic.right, 12);
        EXPECT_LT(std::abs((pic.top + pic.bottom) - (radio.top + radio.bottom)), 4);

        const PictureInk shown = InkOfPicture(hPicture);
        ASSERT_GT(shown.w, 10);
        ASSERT_GT(shown.h, 10);
        ASSERT_GT(shown.Count(), 20);
        const CRect area(1, 1, shown.w - 2, shown.h - 2);
        const double own = Overlap(shown, InkOfOutline(nKind, nSides, area, shown.w, shown.h));
        EXPECT_GE(own, 0.95);
        for (int nOther = 0; nOther < SHAPE_KIND_COUNT; ++nOther) {
            if (nOther == nKind || nOther == SHAPE_LINE)
                continue;
            EXPECT_LT(Overlap(shown, InkOfOutline(nOther, nSides, area, shown.w, shown.h)), own)
                << "looks like kind " << nOther;
        }
        // A polygon of other sides is another picture.
        if (nKind == SHAPE_REGULAR_POLYGON) {
            EXPECT_LT(Overlap(shown, InkOfOutline(nKind, nSides == 3 ? 8 : 3, area, shown.w, shown.h)), own);
        }
    }
}

void Repaint(HWND hDlg)
{
    ::RedrawWindow(hDlg, nullptr, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
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

TEST_F(ShapeDlgTest, LooksAsBeforeWithAPictureBesideEachShape)
{
    CObjectAttributes attrs;
    attrs.m_nShape = SHAPE_HEART;
    attrs.m_nSides = 6;
    Run(attrs, CShapeDlg::FlagWriteRecord, {OnShape([&](HWND hDlg) {
        Repaint(hDlg);
        testing_support::ExpectLooksAsBefore(hDlg, "surface", "shape_dialog.png");
        Click(hDlg, IDCANCEL);
    })});
}

TEST_F(ShapeDlgTest, EachPictureShowsTheOutlineOfItsKindAndThePolygonItsSides)
{
    CObjectAttributes attrs;
    attrs.m_nShape = SHAPE_REGULAR_POLYGON;
    attrs.m_nSides = 8;
    Run(attrs, CShapeDlg::FlagWriteRecord, {OnShape([&](HWND hDlg) {
        Repaint(hDlg);
        {
            SCOPED_TRACE("eight sides");
            ExpectPicturesShowTheirKinds(hDlg, 8);
        }
        // Another count from the list redraws the polygon with it.
        PickSides(hDlg, 3);
        ::UpdateWindow(::GetDlgItem(hDlg, IDC_SHAPE_PIC_POLYGON));
        {
            SCOPED_TRACE("three sides");
            ExpectPicturesShowTheirKinds(hDlg, 3);
        }
        Click(hDlg, IDCANCEL);
    })});
}

TEST_F(ShapeDlgTest, AClickOnAPicturePicksItsShapeUnlessTheKindIsFixed)
{
    for (const int nStart : {int(SHAPE_ELLIPSE), CShapeDlg::kFixedShapeKind}) {
        SCOPED_TRACE(nStart);
        CObjectAttributes attrs;
        attrs.m_nShape = nStart;
        attrs.m_nSides = 5;
        int nKind = -1;
        bool bSidesEnabled = false;
        bool bPictureEnabled = true;
        Run(attrs, CShapeDlg::FlagWriteRecord | CShapeDlg::FlagReportChanges, {OnShape([&](HWND hDlg) {
            HWND hPolygon = ::GetDlgItem(hDlg, IDC_SHAPE_PIC_POLYGON);
            bPictureEnabled = ::IsWindowEnabled(hPolygon) != FALSE;
            RECT rc{};
            ::GetWindowRect(hPolygon, &rc);
            platform::headless::Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            MSG msg;
            while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE))
                ::DispatchMessage(&msg);
            bSidesEnabled = Enabled(hDlg, IDC_SHAPE_SIDES);
            Click(hDlg, IDOK);
        })},
            &nKind);
        if (nStart == CShapeDlg::kFixedShapeKind) {
            EXPECT_FALSE(bPictureEnabled);
            EXPECT_FALSE(bSidesEnabled);
            EXPECT_EQ(nKind, CShapeDlg::kFixedShapeKind);
        } else {
            EXPECT_TRUE(bPictureEnabled);
            EXPECT_TRUE(bSidesEnabled);
            EXPECT_EQ(nKind, SHAPE_REGULAR_POLYGON);
            EXPECT_EQ(attrs.m_nShape, SHAPE_REGULAR_POLYGON);
        }
    }
}

} // namespace surfacetest
