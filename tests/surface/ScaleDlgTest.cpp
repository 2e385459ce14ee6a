// The Scale dialog: the sizes it shows for a percentage, a direction and a
// unit, how its edit, spin control and slider follow each other, its
// preview, and the view's Scale Selection command that runs it.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/UndoList.h"
#include "pictures/Image.h"
#include "resources/resource.h"
#include "surface/ScaleDlg.h"
#include "tests/model/ContentTestSupport.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"

#include <string>
#include <vector>

namespace hl = platform::headless;

namespace surfacetest {
namespace {

using testing_support::DialogStep;

DialogStep OnScale(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_SCALE_PERCENT, std::move(action));
}

// A click as the user makes it: the radio button checks itself and tells
// the dialog.
void Choose(HWND hDlg, int nID)
{
    ::SendMessage(::GetDlgItem(hDlg, nID), BM_CLICK, 0, 0);
}

std::string Sizes(HWND hDlg)
{
    return ItemText(hDlg, IDC_SCALE_WIDTH) + " x " + ItemText(hDlg, IDC_SCALE_HEIGHT);
}

int SliderPos(HWND hDlg)
{
    return int(::SendDlgItemMessage(hDlg, IDC_SCALE_SLIDER, TBM_GETPOS, 0, 0));
}

class ScaleDlgTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        m_pView = NewView();
        ASSERT_NE(m_pView, nullptr);
    }

    void ScaleCommand()
    {
        m_pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_ARRANGE_SCALE);
        Pump();
    }

    CUndoList& Undo() { return m_pView->GetDocument()->GetUndoList(); }

    CSurface* m_pView = nullptr;
};

} // namespace

TEST_F(ScaleDlgTest, SizesFollowThePercentageTheDirectionAndTheUnit)
{
    thePrefs.Flags |= PREF_FLAG_INCHES;
    CDrawRect* pObj = AddRect(m_pView, CRect(0, 200, 300, 0)); // 3 x 2 inches
    CScaleDlg dlg(10, 400, m_pMain);
    dlg.SetObject(pObj);
    std::vector<std::string> seen;
    testing_support::DriveActiveWindow({OnScale([&](HWND hDlg) {
        seen.push_back(ItemText(hDlg, IDC_SCALE_PERCENT) + ": " + Sizes(hDlg));
        ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "250");
        seen.push_back(Sizes(hDlg));
        Choose(hDlg, IDC_SCALE_HORZ_ONLY);
        seen.push_back(Sizes(hDlg));
        Choose(hDlg, IDC_SCALE_VERT_ONLY);
        seen.push_back(Sizes(hDlg));
        Choose(hDlg, IDC_SCALE_CENTIMETERS);
        seen.push_back(Sizes(hDlg));
        Choose(hDlg, IDC_SCALE_HORZ_ONLY);
        Choose(hDlg, IDC_SCALE_INCHES);
        seen.push_back(Sizes(hDlg));
        Click(hDlg, IDOK);
    })});
    ASSERT_EQ(dlg.DoModal(), IDOK);
    const std::vector<std::string> expected = {
        "100: 3.00 in x 2.00 in",
        "7.50 in x 5.00 in",
        "7.50 in x 2.00 in",
        "3.00 in x 5.00 in",
        "7.62 cm x 12.70 cm",
        "7.50 in x 2.00 in",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(dlg.GetPercent(TRUE), 250);
    EXPECT_EQ(dlg.GetDirection(TRUE), CScaleDlg::DirectionHorizontal);
    EXPECT_EQ(dlg.m_nUnit, CScaleDlg::UnitInches);

    // Without the inches option the dialog starts in centimetres.
    thePrefs.Flags &= WORD(~PREF_FLAG_INCHES);
    CScaleDlg metric(10, 400, m_pMain);
    metric.SetObject(pObj);
    std::string shown;
    testing_support::DriveActiveWindow({OnScale([&](HWND hDlg) {
        shown = Sizes(hDlg);
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_EQ(metric.DoModal(), IDCANCEL);
    EXPECT_EQ(shown, "7.62 cm x 5.08 cm");
}

TEST_F(ScaleDlgTest, EditSpinAndSliderFollowEachOtherAndOkTakesOnlyWholeNumbersInRange)
{
    CDrawRect* pObj = AddRect(m_pView, CRect(0, 100, 100, 0));
    CScaleDlg dlg(10, 400, m_pMain);
    dlg.SetObject(pObj);
    const size_t nBoxes = hl::MessageBoxes().size();
    std::vector<std::string> seen;
    auto state = [&seen](HWND hDlg) {
        seen.push_back(ItemText(hDlg, IDC_SCALE_PERCENT) + " / " + std::to_string(SliderPos(hDlg)));
    };
    testing_support::DriveActiveWindow({
        OnScale([&](HWND hDlg) {
            state(hDlg);
            // Typing moves the slider, within its range.
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "175");
            state(hDlg);
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "5");
            state(hDlg);
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "");
            state(hDlg);
            // The slider writes the edit through the spin control.
            HWND hSlider = ::GetDlgItem(hDlg, IDC_SCALE_SLIDER);
            ::SendMessage(hSlider, TBM_SETPOS, TRUE, 320);
            ::SendMessage(hDlg, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 320), LPARAM(hSlider));
            state(hDlg);
            // The up arrow in the edit steps it through the spin control.
            ::SendMessage(::GetDlgItem(hDlg, IDC_SCALE_PERCENT), WM_KEYDOWN, VK_UP, 0);
            state(hDlg);
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "401");
            Click(hDlg, IDOK);
        }),
        OnScale([](HWND hDlg) {
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "9");
            Click(hDlg, IDOK);
        }),
        OnScale([](HWND hDlg) {
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "10");
            Click(hDlg, IDOK);
        }),
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    const std::vector<std::string> expected = {
        "100 / 100", "175 / 175", "5 / 10", " / 10", "320 / 320", "321 / 321",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(dlg.GetPercent(TRUE), 10);
    // One range message each for 401 and 9.
    EXPECT_EQ(hl::MessageBoxes().size(), nBoxes + 2);
}

TEST_F(ScaleDlgTest, TabFromThePercentageAndShiftTabFromADirectionGoToTheSlider)
{
    CDrawRect* pObj = AddRect(m_pView, CRect(0, 100, 100, 0));
    CScaleDlg dlg(10, 400, m_pMain);
    dlg.SetObject(pObj);
    std::vector<int> focused;
    auto focusedID = [](HWND) { return ::GetDlgCtrlID(::GetFocus()); };
    testing_support::DriveActiveWindow({
        OnScale([](HWND hDlg) {
            ::SetFocus(::GetDlgItem(hDlg, IDC_SCALE_PERCENT));
            hl::TypeKey(VK_TAB);
        }),
        OnScale([&](HWND hDlg) {
            focused.push_back(focusedID(hDlg));
            ::SetFocus(::GetDlgItem(hDlg, IDC_SCALE_VERT_ONLY));
            hl::KeyDown(VK_SHIFT);
            hl::TypeKey(VK_TAB);
            hl::KeyUp(VK_SHIFT);
        }),
        OnScale([&](HWND hDlg) {
            focused.push_back(focusedID(hDlg));
            Click(hDlg, IDCANCEL);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(focused, std::vector<int>({IDC_SCALE_SLIDER, IDC_SCALE_SLIDER}));
}

TEST_F(ScaleDlgTest, PreviewFitsThePictureScalesItPerAxisAndCentresIt)
{
    struct Case {
        const char* pszName;
        CRect client;
        CSize picture;
        int nPercent;
        int nDirection;
        CRect expected;
    };
    const Case cases[] = {
        {"wide picture, by width", {0, 0, 100, 80}, {200, 100}, 100, 0, {0, 15, 100, 65}},
        {"tall picture, by height", {0, 0, 100, 80}, {50, 100}, 100, 0, {30, 0, 70, 80}},
        {"nearly the window's shape fits whole", {0, 0, 100, 80}, {110, 100}, 100, 0, {6, 0, 94, 80}},
        {"half", {0, 0, 100, 80}, {200, 100}, 50, 0, {25, 27, 75, 52}},
        {"250 % across only", {0, 0, 100, 80}, {200, 100}, 250, 1, {-75, 15, 175, 65}},
        {"200 % down only", {0, 0, 100, 80}, {200, 100}, 200, 2, {0, -10, 100, 90}},
        {"no picture", {0, 0, 100, 80}, {0, 100}, 100, 0, {}},
        {"no room", {0, 0, 0, 80}, {200, 100}, 100, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(CScalePreviewWnd::PictureRect(c.client, c.picture, c.nPercent, c.nDirection), c.expected);
    }
}

TEST_F(ScaleDlgTest, ThePreviewShowsTheObjectsPictureOrTheStandInAndStaysInsideItsPlace)
{
    // A solid picture of (200, 40, 10).
    CDrawRect* pPictured = AddRect(m_pView, CRect(0, 300, 400, 0));
    pPictured->m_pPicture = contenttest::NewLoadedPicture(40, 30);
    ASSERT_TRUE(pPictured->HasPicture());
    CDrawRect* pPlain = AddRect(m_pView, CRect(0, -100, 400, -400));

    struct Seen {
        COLORREF crCentre = CLR_INVALID;
        COLORREF crCorner = CLR_INVALID;
        COLORREF crBeside = CLR_INVALID; // the dialog just outside the preview
    };
    auto look = [](HWND hDlg, Seen& seen) {
        HWND hPreview = ::GetDlgItem(hDlg, IDC_SCALE_PREVIEW);
        CRect client;
        ::GetClientRect(hPreview, &client);
        seen.crCentre = hl::WindowPixel(hPreview, client.CenterPoint().x, client.CenterPoint().y);
        seen.crCorner = hl::WindowPixel(hPreview, 1, 1);
        CRect place;
        ::GetWindowRect(hPreview, &place);
        ::ScreenToClient(hDlg, reinterpret_cast<POINT*>(&place.left));
        ::ScreenToClient(hDlg, reinterpret_cast<POINT*>(&place.right));
        seen.crBeside = hl::WindowPixel(hDlg, place.right + 3, place.CenterPoint().y);
    };

    Seen atHundred;
    Seen atFourHundred;
    CScaleDlg dlg(10, 400, m_pMain);
    dlg.SetObject(pPictured);
    testing_support::DriveActiveWindow({
        OnScale([&](HWND hDlg) {
            look(hDlg, atHundred);
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "400");
        }),
        OnScale([&](HWND hDlg) {
            look(hDlg, atFourHundred);
            Click(hDlg, IDCANCEL);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    const COLORREF crPicture = RGB(200, 40, 10);
    const COLORREF crGround = ::GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(atHundred.crCentre, crPicture);
    EXPECT_EQ(atHundred.crCorner, crGround); // letterboxed: 4 : 3 in a wider place
    // Grown past its place, the picture is cut there.
    EXPECT_EQ(atFourHundred.crCorner, crPicture);
    EXPECT_EQ(atFourHundred.crBeside, atHundred.crBeside);
    EXPECT_NE(atFourHundred.crBeside, crPicture);

    // An object without a picture shows the stand-in logo, not an empty
    // place.
    CScaleDlg plain(10, 400, m_pMain);
    plain.SetObject(pPlain);
    Seen standIn;
    testing_support::DriveActiveWindow({OnScale([&](HWND hDlg) {
        look(hDlg, standIn);
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_EQ(plain.DoModal(), IDCANCEL);
    EXPECT_NE(standIn.crCentre, crGround);
}

TEST_F(ScaleDlgTest, ScaleSelectionScalesTheUnlockedUnturnedObjectsWithOneUndoStep)
{
    CDrawRect* pFirst = AddRect(m_pView, CRect(-300, 200, 0, 0));
    CDrawRect* pReversed = AddRect(m_pView, CRect(400, -100, 200, 0)); // right to left, upside down
    CDrawRect* pLocked = AddRect(m_pView, CRect(100, 300, 200, 250));
    pLocked->m_wFlags |= OBJ_FLAG_LOCKED;
    m_pView->SelectObjects({pFirst, pReversed}, FALSE);
    ASSERT_TRUE(IsEnabled(m_pView, ID_ARRANGE_SCALE));
    const int nSteps = Undo().GetCount();
    m_pView->GetDocument()->SetModifiedFlag(FALSE);

    testing_support::DriveActiveWindow({OnScale([](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "250");
        Choose(hDlg, IDC_SCALE_HORZ_ONLY);
        Click(hDlg, IDOK);
    })});
    ScaleCommand();
    // Widths 2.5 times, from the fixed left edge, in each object's own
    // direction; heights unchanged.
    EXPECT_EQ(pFirst->m_position, CRect(-300, 200, 450, 0));
    EXPECT_EQ(pReversed->m_position, CRect(400, -100, -100, 0));
    EXPECT_EQ(Undo().GetCount(), nSteps + 1);
    EXPECT_TRUE(m_pView->GetDocument()->IsModified());

    // Half, in both directions.
    testing_support::DriveActiveWindow({OnScale([](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "50");
        Click(hDlg, IDOK);
    })});
    ScaleCommand();
    EXPECT_EQ(pFirst->m_position, CRect(-300, 200, 75, 100));

    // Cancel changes nothing and records nothing.
    const int nAfterHalf = Undo().GetCount();
    testing_support::DriveActiveWindow({OnScale([](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "400");
        Click(hDlg, IDCANCEL);
    })});
    ScaleCommand();
    EXPECT_EQ(pFirst->m_position, CRect(-300, 200, 75, 100));
    EXPECT_EQ(Undo().GetCount(), nAfterHalf);

    // Undo gives the sizes back.
    m_pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    Pump();
    EXPECT_EQ(pFirst->m_position, CRect(-300, 200, 450, 0));

    // OK at 100 % keeps the sizes (a shrink by the percentage would have
    // left nothing).
    testing_support::DriveActiveWindow({OnScale([](HWND hDlg) { Click(hDlg, IDOK); })});
    ScaleCommand();
    EXPECT_EQ(pFirst->m_position, CRect(-300, 200, 450, 0));

    // Locked objects keep their size even when the command comes while
    // one is selected.
    m_pView->SelectObjects({pLocked, pFirst}, FALSE);
    EXPECT_FALSE(IsEnabled(m_pView, ID_ARRANGE_SCALE));
    testing_support::DriveActiveWindow({OnScale([](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "200");
        Choose(hDlg, IDC_SCALE_VERT_ONLY);
        Click(hDlg, IDOK);
    })});
    m_pView->OnScaleSelection();
    EXPECT_EQ(pLocked->m_position, CRect(100, 300, 200, 250));
    EXPECT_EQ(pFirst->m_position, CRect(-300, 200, 450, -200));
}

TEST_F(ScaleDlgTest, AnObjectWithoutHeightCannotBeScaled)
{
    CDrawRect* pLine = AddRect(m_pView, CRect(-200, 100, 200, 100), SHAPE_LINE);
    m_pView->SelectObjects({pLine}, FALSE);
    ASSERT_TRUE(IsEnabled(m_pView, ID_ARRANGE_SCALE));
    const int nSteps = Undo().GetCount();
    const size_t nBoxes = hl::MessageBoxes().size();
    bool bDialogShown = false;
    testing_support::DriveActiveWindow({OnScale([&](HWND hDlg) {
        bDialogShown = true;
        Click(hDlg, IDOK);
    })});
    ScaleCommand();
    EXPECT_FALSE(bDialogShown);
    ASSERT_EQ(hl::MessageBoxes().size(), nBoxes + 1);
    EXPECT_EQ(hl::MessageBoxes().back().text, "Object cannot be scaled.");
    EXPECT_EQ(pLine->m_position, CRect(-200, 100, 200, 100));
    EXPECT_EQ(Undo().GetCount(), nSteps);

    // A dialog with no object at all says the same.
    CScaleDlg dlg(10, 400, m_pMain);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(hl::MessageBoxes().size(), nBoxes + 2);
}

} // namespace surfacetest
