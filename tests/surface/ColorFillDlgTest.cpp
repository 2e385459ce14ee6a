// The Color/Fill dialog: loading a record, the enabling rules, OK's
// write-back, its two messages, and the preview's pixels.

#include "tests/surface/SurfaceTestSupport.h"

#include "app/PrintPrefData.h"
#include "model/ObjectAttributes.h"
#include "resources/resource.h"
#include "surface/ColorFillDlg.h"
#include "tests/controls/GridPickerSteps.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MemoryCanvas.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <cstdlib>
#include <string>

namespace surfacetest {
namespace {

using testing_support::DialogStep;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

DialogStep OnColorFill(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_CF_STEPS, std::move(action));
}

bool Enabled(HWND hDlg, int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE;
}

bool Checked(HWND hDlg, int nID)
{
    return ::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED;
}

// The centre of control nID in screen coordinates.
POINT ControlCentre(HWND hDlg, int nID)
{
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(hDlg, nID), &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= nTolerance
        && std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= nTolerance
        && std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= nTolerance;
}

// A rectangle with a solid red fill and a 5-unit solid blue outline, as the
// shape dialogs store it.
void MakeSolidOutlinedShape(CObjectAttributes& attrs)
{
    attrs.m_bFill = TRUE;
    attrs.m_logbrush = LOGBRUSH{BS_SOLID, kRed, 0};
    attrs.m_bOutline = TRUE;
    attrs.m_wFlags &= WORD(~ATTR_FLAG_AUTO_OUTLINE);
    attrs.m_logpen.lopnStyle = PS_INSIDEFRAME;
    attrs.m_logpen.lopnWidth = POINT{5, 0};
    attrs.m_logpen.lopnColor = kBlue;
}

class ColorFillDlgTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_wSavedPrinting = thePrintPrefs.Printing;
        thePrintPrefs.Printing = 0;
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        thePrintPrefs.Printing = m_wSavedPrinting;
        SurfaceTest::TearDown();
    }
    static size_t Boxes() { return platform::headless::MessageBoxes().size(); }
    static std::string LastBox() { return platform::headless::MessageBoxes().back().text; }

    WORD m_wSavedPrinting = 0;
};

// ---- Loading ---------------------------------------------------------------------------------

struct LoadCase {
    const char* name;
    void (*prepare)(CObjectAttributes&);
    BOOL bTextGradient;
    int nFillKind;
    int nSteps;
    int nDirectionCell;
    int nOutlineMode;
    int nOutlineWidth;
    BOOL bTransparent;
    BOOL bHasText;
};

using Attrs = CObjectAttributes;
constexpr int kNone = CColorFillDlg::FillNone, kSolid = CColorFillDlg::FillSolid;
constexpr int kHatch = CColorFillDlg::FillHatch, kGradient = CColorFillDlg::FillGradient;
constexpr int kAuto = CColorFillDlg::OutlineAutomatic, kOff = CColorFillDlg::OutlineOff;
constexpr int kOn = CColorFillDlg::OutlineOn;
constexpr WORD kNotAuto = WORD(~ATTR_FLAG_AUTO_OUTLINE);

// name, record, text-gradient mode; fill kind, steps, direction cell,
// outline mode and width, transparent, has text.
const LoadCase kLoadCases[] = {
    {"defaults", [](Attrs&) {}, FALSE, kNone, 100, 1, kAuto, 1, FALSE, FALSE},
    {"fill flag", [](Attrs& a) { a.m_bFill = TRUE; }, FALSE, kSolid, 100, 1, kAuto, 1, FALSE, FALSE},
    {"hatched brush before the flag", [](Attrs& a) { a.m_bFill = TRUE, a.m_logbrush.lbStyle = BS_HATCHED; },
        FALSE, kHatch, 100, 1, kAuto, 1, FALSE, FALSE},
    {"gradient before the brush",
        [](Attrs& a) { a.m_fill.m_nKind = 2, a.m_fill.m_nAmount = 40, a.m_logbrush.lbStyle = BS_HATCHED; }, FALSE,
        kGradient, 40, 0, kAuto, 1, FALSE, FALSE},
    {"gradient kind 1", [](Attrs& a) { a.m_fill.m_nKind = 1, a.m_fill.m_nAmount = 7; }, FALSE, kGradient, 7, 1,
        kAuto, 1, FALSE, FALSE},
    {"kind 0 shows 100 steps", [](Attrs& a) { a.m_fill.m_nAmount = 40; }, FALSE, kNone, 100, 1, kAuto, 1, FALSE,
        FALSE},
    {"transparent", [](Attrs& a) { a.m_crHatchBackground = -1; }, FALSE, kNone, 100, 1, kAuto, 1, TRUE, FALSE},
    {"solid outline inside the frame keeps its width", MakeSolidOutlinedShape, FALSE, kSolid, 100, 1, kOn, 5, FALSE,
        FALSE},
    {"outline off", [](Attrs& a) { a.m_wFlags &= kNotAuto; }, FALSE, kNone, 100, 1, kOff, 1, FALSE, FALSE},
    {"a line is always outlined", [](Attrs& a) { a.m_nShape = CColorFillDlg::kLineShape, a.m_wFlags &= kNotAuto; },
        FALSE, kNone, 100, 1, kOn, 1, FALSE, FALSE},
    {"block text", [](Attrs& a) { a.m_strBlockText = "Hi"; }, FALSE, kNone, 100, 1, kAuto, 1, FALSE, TRUE},
    {"text gradient from the second descriptor",
        [](Attrs& a) { a.m_strWrapText = "Hi", a.m_bFill = TRUE, a.m_fillText.m_nKind = 2, a.m_fillText.m_nAmount = 30; },
        TRUE, kGradient, 30, 0, kAuto, 1, FALSE, FALSE},
    {"text without a gradient opens on one",
        [](Attrs& a) { a.m_strWrapText = "Hi", a.m_logbrush.lbStyle = BS_HATCHED, a.m_fill.m_nKind = 2; }, TRUE,
        kGradient, 100, 1, kAuto, 1, FALSE, FALSE},
};

TEST_F(ColorFillDlgTest, SetObjectLoadsTheCopyByItsRules)
{
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.name);
        CObjectAttributes attrs;
        c.prepare(attrs);
        CColorFillDlg dlg(m_pMain);
        dlg.SetObject(&attrs, c.bTextGradient, FALSE);
        EXPECT_EQ(dlg.m_nFillKind, c.nFillKind);
        EXPECT_EQ(dlg.m_nSteps, c.nSteps);
        EXPECT_EQ(dlg.m_nDirectionCell, c.nDirectionCell);
        EXPECT_EQ(dlg.m_nOutlineMode, c.nOutlineMode);
        EXPECT_EQ(dlg.m_nOutlineWidth, c.nOutlineWidth);
        EXPECT_EQ(dlg.m_bTransparent, c.bTransparent);
        EXPECT_EQ(dlg.m_bHasText, c.bHasText);
        EXPECT_EQ(dlg.m_bSolidFill, c.nFillKind == CColorFillDlg::FillSolid);
        if (c.bTransparent) {
            EXPECT_EQ(dlg.m_crHatchBack, COLORREF(0));
        }
        if (c.nFillKind == CColorFillDlg::FillGradient) {
            EXPECT_EQ(dlg.m_fill.m_nKind, c.nDirectionCell == 1 ? 1 : 2);
        }
    }
}

// ---- OK and Cancel ---------------------------------------------------------------------------

TEST_F(ColorFillDlgTest, SolidOutlineSurvivesTwoOpeningsClosedWithOk)
{
    CObjectAttributes attrs;
    MakeSolidOutlinedShape(attrs);
    for (int nRound = 0; nRound < 2; ++nRound) {
        SCOPED_TRACE(nRound);
        std::string shown;
        testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
            shown = ItemText(hDlg, IDC_CF_LINE_WIDTH) + " " + ItemText(hDlg, IDC_CF_STEPS)
                + (Checked(hDlg, IDC_CF_SOLID) ? " solid" : "") + (Checked(hDlg, IDC_CF_LINE_ON) ? " on" : "")
                + (Enabled(hDlg, IDC_CF_LINE_WIDTH) ? " width" : "");
            Click(hDlg, IDOK);
        })});
        EXPECT_TRUE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
        EXPECT_EQ(shown, "5 100 solid on width");
        EXPECT_TRUE(attrs.m_bFill);
        EXPECT_EQ(attrs.m_logbrush.lbStyle, UINT(BS_SOLID));
        EXPECT_EQ(attrs.m_logbrush.lbColor, kRed);
        EXPECT_TRUE(attrs.m_bOutline);
        EXPECT_EQ(attrs.m_wFlags & ATTR_FLAG_AUTO_OUTLINE, 0);
        EXPECT_EQ(attrs.m_logpen.lopnStyle, UINT(PS_INSIDEFRAME));
        EXPECT_EQ(attrs.m_logpen.lopnWidth.x, 5);
        EXPECT_EQ(attrs.m_logpen.lopnColor, kBlue);
        EXPECT_EQ(attrs.m_fill.m_nKind, 0);
    }
}

TEST_F(ColorFillDlgTest, CancelAndHelpLeaveTheRecordAndOkClearsTheSpareFields)
{
    CObjectAttributes attrs;
    MakeSolidOutlinedShape(attrs);
    attrs.m_nSpareWords[0] = 7;
    attrs.m_nSpareWords[2] = 9;
    bool bHelpPosted = false;
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        Click(hDlg, IDC_CF_NO_FILL);
        Click(hDlg, IDC_CF_LINE_OFF);
        // Help is the main window's; the dialog stays open.
        Click(hDlg, IDC_CF_HELP);
        MSG msg{};
        bHelpPosted = ::PeekMessage(&msg, m_pMain->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) != FALSE
            && LOWORD(msg.wParam) == ID_HELP && ::IsWindowVisible(hDlg);
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_FALSE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_TRUE(bHelpPosted);
    EXPECT_TRUE(attrs.m_bFill);
    EXPECT_TRUE(attrs.m_bOutline);
    EXPECT_EQ(attrs.m_nSpareWords[0], 7);

    // No Fill and a switched-off outline; the hatch of an earlier choice
    // does not come back either.
    attrs.m_logbrush.lbStyle = BS_HATCHED;
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        Click(hDlg, IDC_CF_NO_FILL);
        Click(hDlg, IDC_CF_LINE_OFF);
        Click(hDlg, IDOK);
    })});
    EXPECT_TRUE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_FALSE(attrs.m_bFill);
    EXPECT_FALSE(attrs.m_bOutline);
    EXPECT_EQ(attrs.m_wFlags & ATTR_FLAG_AUTO_OUTLINE, 0);
    EXPECT_NE(attrs.m_logbrush.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(attrs.m_nSpareWords[0], 0);
    EXPECT_EQ(attrs.m_nSpareWords[2], 0);
    CColorFillDlg reopened(m_pMain);
    reopened.SetObject(&attrs, FALSE, FALSE);
    EXPECT_EQ(reopened.m_nFillKind, CColorFillDlg::FillNone);
    EXPECT_EQ(reopened.m_nOutlineMode, CColorFillDlg::OutlineOff);
}

TEST_F(ColorFillDlgTest, DashedStyleStoresWidthZeroAndKeepsTheOutline)
{
    CObjectAttributes attrs;
    MakeSolidOutlinedShape(attrs);
    std::string width;
    bool bWidthEnabled = true;
    testing_support::DriveActiveWindow({
        testing_support::PressButton(IDC_CF_LINE_STYLE),
        testing_support::PickGridCell(PS_DASH),
        OnColorFill([&](HWND hDlg) {
            width = ItemText(hDlg, IDC_CF_LINE_WIDTH);
            bWidthEnabled = Enabled(hDlg, IDC_CF_LINE_WIDTH);
            Click(hDlg, IDOK);
        }),
    });
    EXPECT_TRUE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_EQ(width, "1");
    EXPECT_FALSE(bWidthEnabled);
    EXPECT_EQ(attrs.m_logpen.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(attrs.m_logpen.lopnWidth.x, 0);
    EXPECT_TRUE(attrs.m_bOutline);
}

TEST_F(ColorFillDlgTest, TransparentHatchStoresMinusOneAndDisablesTheFillColor)
{
    CObjectAttributes attrs;
    attrs.m_crHatchBackground = LONG(kGreen);
    bool bFillColorBefore = false, bFillColorAfter = true;
    testing_support::DriveActiveWindow({
        OnColorFill([&](HWND hDlg) {
            Click(hDlg, IDC_CF_HATCH);
            bFillColorBefore = Enabled(hDlg, IDC_CF_HATCH_FILL_COLOR);
            ::SendMessage(::GetDlgItem(hDlg, IDC_CF_TRANSPARENT), BM_CLICK, 0, 0);
            bFillColorAfter = Enabled(hDlg, IDC_CF_HATCH_FILL_COLOR);
        }),
        testing_support::PressButton(IDC_CF_HATCH_STYLE),
        testing_support::PickGridCell(HS_CROSS),
        OnColorFill([&](HWND hDlg) { Click(hDlg, IDOK); }),
    });
    EXPECT_TRUE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_TRUE(bFillColorBefore);
    EXPECT_FALSE(bFillColorAfter);
    EXPECT_TRUE(attrs.m_bFill);
    EXPECT_EQ(attrs.m_logbrush.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(attrs.m_logbrush.lbHatch, ULONG_PTR(HS_CROSS));
    EXPECT_EQ(attrs.m_crHatchBackground, -1);
}

// ---- Messages --------------------------------------------------------------------------------

TEST_F(ColorFillDlgTest, FourColorsWithThreeStepsIsRefusedOnOkAndTheOldStepsReturn)
{
    CObjectAttributes attrs;
    attrs.m_fill.m_nKind = 2;
    attrs.m_fill.m_wMode = 4;
    attrs.m_fill.m_nAmount = 50;
    const size_t nBoxes = Boxes();
    size_t nWhileTyping = 0, nAfterMouse = 0;
    std::string restored, shownAfterOk;
    bool bStillOpen = false;
    testing_support::DriveActiveWindow({
        OnColorFill([&](HWND hDlg) {
            // Typing is quiet, even a value the steps check refuses.
            ::SetDlgItemText(hDlg, IDC_CF_STEPS, "3");
            ::SetDlgItemText(hDlg, IDC_CF_LINE_WIDTH, "x");
            ::SetDlgItemText(hDlg, IDC_CF_LINE_WIDTH, "1");
            nWhileTyping = Boxes() - nBoxes;
            Click(hDlg, IDOK);
            shownAfterOk = LastBox();
            restored = ItemText(hDlg, IDC_CF_STEPS);
            bStillOpen = ::IsWindowVisible(hDlg) != FALSE;
            // A choice made with the mouse checks the numbers as OK does.
            ::SetDlgItemText(hDlg, IDC_CF_LINE_WIDTH, "0");
            Click(hDlg, IDC_CF_GRADIENT);
            nAfterMouse = Boxes() - nBoxes;
            ::SetDlgItemText(hDlg, IDC_CF_LINE_WIDTH, "1");
            ::SetDlgItemText(hDlg, IDC_CF_STEPS, "4");
            Click(hDlg, IDOK);
        }),
    });
    EXPECT_TRUE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_EQ(nWhileTyping, 0u);
    EXPECT_EQ(nAfterMouse, 2u);
    EXPECT_EQ(Boxes(), nBoxes + 2);
    EXPECT_EQ(shownAfterOk, "Number of steps cannot be less than number of colors.");
    EXPECT_EQ(restored, "50");
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(attrs.m_fill.m_nAmount, 4);
    EXPECT_EQ(attrs.m_fill.m_wMode, 4);
    EXPECT_EQ(attrs.m_fill.m_nKind, 2);
}

TEST_F(ColorFillDlgTest, EmptyColorCountAndOutOfRangeNumbersKeepTheDialogOpen)
{
    CObjectAttributes attrs;
    attrs.m_fill.m_nKind = 1;
    const size_t nBoxes = Boxes();
    std::string first, second;
    HWND hFocusAfterCount = NULL, hCombo = NULL;
    bool bMid1 = false, bMid2 = true;
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        hCombo = ::GetDlgItem(hDlg, IDC_CF_COLOR_COUNT);
        ::SendMessage(hCombo, CB_SETCURSEL, WPARAM(-1), 0);
        Click(hDlg, IDOK);
        first = LastBox();
        hFocusAfterCount = ::GetFocus();
        // Three colours: only the first mid-colour is used.
        ::SendMessage(hCombo, CB_SETCURSEL, 1, 0);
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CF_COLOR_COUNT, CBN_SELCHANGE), LPARAM(hCombo));
        bMid1 = Enabled(hDlg, IDC_CF_MID1_COLOR);
        bMid2 = Enabled(hDlg, IDC_CF_MID2_COLOR);
        ::SetDlgItemText(hDlg, IDC_CF_STEPS, "101");
        Click(hDlg, IDOK);
        second = LastBox();
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_FALSE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_EQ(Boxes(), nBoxes + 2);
    EXPECT_EQ(first, "Invalid index for current list box.");
    EXPECT_EQ(hFocusAfterCount, hCombo);
    EXPECT_TRUE(bMid1);
    EXPECT_FALSE(bMid2);
    EXPECT_NE(second.find("2"), std::string::npos);
    EXPECT_NE(second.find("100"), std::string::npos);
    EXPECT_EQ(attrs.m_fill.m_nKind, 1);
    EXPECT_EQ(attrs.m_fill.m_nAmount, 100);
}

// ---- Enabling --------------------------------------------------------------------------------

TEST_F(ColorFillDlgTest, TextGetsNoFillUnlessThePrintingMethodKeepsSolidFills)
{
    for (WORD wPrinting : {WORD(0), WORD(PRINT_PREF_SHAPED_METHOD3)}) {
        SCOPED_TRACE(wPrinting);
        thePrintPrefs.Printing = wPrinting;
        CObjectAttributes attrs;
        attrs.m_strBlockText = "Hello";
        attrs.m_bFill = TRUE;
        attrs.m_logbrush = LOGBRUSH{BS_SOLID, kGreen, 0};
        bool bSolidOpen = false, bSolidEnabled = false, bHatchEnabled = true, bGradientEnabled = true;
        bool bSolidAfterClick = false;
        testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
            bSolidOpen = Checked(hDlg, IDC_CF_SOLID);
            bSolidEnabled = Enabled(hDlg, IDC_CF_SOLID);
            bHatchEnabled = Enabled(hDlg, IDC_CF_HATCH);
            bGradientEnabled = Enabled(hDlg, IDC_CF_GRADIENT);
            Click(hDlg, IDC_CF_SOLID);
            bSolidAfterClick = Checked(hDlg, IDC_CF_SOLID);
            Click(hDlg, IDOK);
        })});
        EXPECT_TRUE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
        const bool bKept = wPrinting != 0;
        EXPECT_EQ(bSolidOpen, bKept);
        EXPECT_EQ(bSolidEnabled, bKept);
        EXPECT_EQ(bSolidAfterClick, bKept);
        EXPECT_FALSE(bHatchEnabled);
        EXPECT_FALSE(bGradientEnabled);
        EXPECT_EQ(attrs.m_bFill != FALSE, bKept);
    }
}

TEST_F(ColorFillDlgTest, TextGradientModeWritesOnlyTheTextGradient)
{
    CObjectAttributes attrs;
    attrs.m_strWrapText = "Hello";
    attrs.m_bFill = TRUE;
    attrs.m_logbrush = LOGBRUSH{BS_SOLID, kGreen, 0};
    attrs.m_crHatchBackground = 5;
    attrs.m_bOutline = TRUE;
    attrs.m_wFlags &= WORD(~ATTR_FLAG_AUTO_OUTLINE);
    attrs.m_logpen.lopnStyle = PS_INSIDEFRAME;
    attrs.m_logpen.lopnWidth.x = 3;
    attrs.m_fillText.m_wMode = 3;
    bool bSolidEnabled = true, bOutlineEnabled = true, bGradient = false;
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        bSolidEnabled = Enabled(hDlg, IDC_CF_SOLID) || Enabled(hDlg, IDC_CF_HATCH);
        bOutlineEnabled = Enabled(hDlg, IDC_CF_LINE_AUTO) || Enabled(hDlg, IDC_CF_LINE_OFF)
            || Enabled(hDlg, IDC_CF_LINE_ON);
        bGradient = Checked(hDlg, IDC_CF_GRADIENT);
        Click(hDlg, IDOK);
    })});
    EXPECT_TRUE(EditColorFill(attrs, m_pMain, TRUE, FALSE));
    EXPECT_FALSE(bSolidEnabled);
    EXPECT_FALSE(bOutlineEnabled);
    EXPECT_TRUE(bGradient);
    EXPECT_NE(attrs.m_wFlags & ATTR_FLAG_TEXT_GRADIENT, 0);
    EXPECT_EQ(attrs.m_fillText.m_nKind, 1);
    EXPECT_EQ(attrs.m_fillText.m_wMode, 3);
    // The box fill and outline behind the text are untouched.
    EXPECT_TRUE(attrs.m_bFill);
    EXPECT_EQ(attrs.m_logbrush.lbColor, kGreen);
    EXPECT_EQ(attrs.m_crHatchBackground, 5);
    EXPECT_TRUE(attrs.m_bOutline);
    EXPECT_EQ(attrs.m_logpen.lopnWidth.x, 3);
    EXPECT_EQ(attrs.m_fill.m_nKind, 0);

    // No Fill takes the text gradient away, and still only that.
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        Click(hDlg, IDC_CF_NO_FILL);
        Click(hDlg, IDOK);
    })});
    EXPECT_TRUE(EditColorFill(attrs, m_pMain, TRUE, FALSE));
    EXPECT_EQ(attrs.m_wFlags & ATTR_FLAG_TEXT_GRADIENT, 0);
    EXPECT_EQ(attrs.m_fillText.m_nKind, 0);
    EXPECT_TRUE(attrs.m_bFill);
    EXPECT_EQ(attrs.m_logbrush.lbColor, kGreen);
}

TEST_F(ColorFillDlgTest, RestrictedLeavesOnlySolidAndALineHasNoAutomaticOrOff)
{
    CObjectAttributes attrs;
    attrs.m_bFill = TRUE;
    std::string restricted, line;
    const auto states = [](HWND hDlg, std::initializer_list<int> ids) {
        std::string s;
        for (int nID : ids)
            s += Enabled(hDlg, nID) ? '1' : '0';
        return s;
    };
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        restricted = states(hDlg, {IDC_CF_NO_FILL, IDC_CF_SOLID, IDC_CF_HATCH, IDC_CF_GRADIENT, IDC_CF_SOLID_COLOR});
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_FALSE(EditColorFill(attrs, m_pMain, FALSE, TRUE));
    EXPECT_EQ(restricted, "01000");

    CObjectAttributes lineAttrs;
    lineAttrs.m_nShape = CColorFillDlg::kLineShape;
    bool bOn = false;
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        line = states(hDlg, {IDC_CF_LINE_AUTO, IDC_CF_LINE_OFF, IDC_CF_LINE_ON, IDC_CF_GRADIENT});
        bOn = Checked(hDlg, IDC_CF_LINE_ON);
        Click(hDlg, IDOK);
    })});
    EXPECT_TRUE(EditColorFill(lineAttrs, m_pMain, FALSE, FALSE));
    EXPECT_EQ(line, "0010");
    EXPECT_TRUE(bOn);
    EXPECT_TRUE(lineAttrs.m_bOutline);
    EXPECT_EQ(lineAttrs.m_wFlags & ATTR_FLAG_AUTO_OUTLINE, 0);
}

TEST_F(ColorFillDlgTest, ClickOnNoFillThatClosesAColorPopupChangesNothing)
{
    CObjectAttributes attrs;
    attrs.m_bFill = TRUE;
    attrs.m_logbrush = LOGBRUSH{BS_SOLID, kRed, 0};
    HWND hColorFill = NULL;
    bool bSolidAfter = false, bNoFillAfter = true;
    testing_support::DriveActiveWindow({
        OnColorFill([&](HWND hDlg) {
            hColorFill = hDlg;
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CF_SOLID_COLOR, BN_CLICKED),
                LPARAM(::GetDlgItem(hDlg, IDC_CF_SOLID_COLOR)));
        }),
        [&](HWND hActive) {
            if (testing_support::ActivePicker(hActive) == nullptr)
                return false;
            // The radio's own notice while the popup runs, then the click
            // that lands on it and closes the popup.
            Click(hColorFill, IDC_CF_NO_FILL);
            const POINT pt = ControlCentre(hColorFill, IDC_CF_NO_FILL);
            platform::headless::PressMouse(0, pt.x, pt.y);
            platform::headless::ReleaseMouse(0, pt.x, pt.y);
            return true;
        },
        OnColorFill([&](HWND hDlg) {
            bSolidAfter = Checked(hDlg, IDC_CF_SOLID);
            bNoFillAfter = Checked(hDlg, IDC_CF_NO_FILL);
            Click(hDlg, IDOK);
        }),
    });
    EXPECT_TRUE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_TRUE(bSolidAfter);
    EXPECT_FALSE(bNoFillAfter);
    EXPECT_TRUE(attrs.m_bFill);
    EXPECT_EQ(attrs.m_logbrush.lbColor, kRed);
}

// ---- Preview ---------------------------------------------------------------------------------

class ColorFillPreviewTest : public ColorFillDlgTest {
protected:
    // The preview rectangle; the shaded area is 4 pixels inside it:
    // x 14..105, y 14..85.
    const CRect kRect{10, 10, 110, 90};

    static void Gradient(CObjectAttributes& attrs, int nKind, int nColors)
    {
        attrs.m_wFlags &= WORD(~ATTR_FLAG_AUTO_OUTLINE);
        attrs.m_fill.m_nKind = nKind;
        attrs.m_fill.m_wMode = WORD(nColors);
        attrs.m_fill.m_nAmount = 100;
        attrs.m_fill.m_crFirst = kRed;
        attrs.m_fill.m_crSecond = kGreen;
        attrs.m_fill.m_crThird = kBlue;
        attrs.m_fill.m_crFourth = kYellow;
    }
};

TEST_F(ColorFillPreviewTest, GradientsRunFromStartToEndThroughTheirMidColors)
{
    struct Probe {
        int nKind;
        int nColors;
        POINT start, mid1, mid2, end;
    };
    // Kind 2 runs left to right, kind 1 bottom to top.
    const Probe probes[] = {
        {2, 2, {14, 50}, {-1, -1}, {-1, -1}, {105, 50}},
        {2, 3, {14, 50}, {60, 50}, {-1, -1}, {105, 50}},
        {2, 4, {14, 50}, {45, 50}, {76, 50}, {105, 50}},
        {1, 2, {60, 85}, {-1, -1}, {-1, -1}, {60, 14}},
        {1, 3, {60, 85}, {60, 49}, {-1, -1}, {60, 14}},
        {1, 4, {60, 85}, {60, 61}, {60, 37}, {60, 14}},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << "kind " << p.nKind << ", colours " << p.nColors);
        CObjectAttributes attrs;
        Gradient(attrs, p.nKind, p.nColors);
        CColorFillDlg dlg(m_pMain);
        dlg.SetObject(&attrs, FALSE, FALSE);
        testing_support::MemoryCanvas canvas(120, 100);
        dlg.DrawPreview(canvas.DC(), kRect);
        EXPECT_TRUE(Near(canvas.At(p.start.x, p.start.y), kRed, 12)) << std::hex << canvas.At(p.start.x, p.start.y);
        if (p.mid1.x >= 0) {
            EXPECT_TRUE(Near(canvas.At(p.mid1.x, p.mid1.y), kGreen, 24)) << std::hex << canvas.At(p.mid1.x, p.mid1.y);
        }
        if (p.mid2.x >= 0) {
            EXPECT_TRUE(Near(canvas.At(p.mid2.x, p.mid2.y), kBlue, 24)) << std::hex << canvas.At(p.mid2.x, p.mid2.y);
        }
        EXPECT_TRUE(Near(canvas.At(p.end.x, p.end.y), kYellow, 24)) << std::hex << canvas.At(p.end.x, p.end.y);
        // The white margin inside the frame, and the frame's black line.
        EXPECT_EQ(canvas.At(12, 50), kWhite);
        EXPECT_EQ(canvas.At(9, 50), RGB(0, 0, 0));
        EXPECT_EQ(canvas.At(115, 50), RGB(1, 2, 3));
    }
}

TEST_F(ColorFillPreviewTest, TransparentHatchLeavesTheGroundOpaqueHatchPaintsIt)
{
    for (BOOL bTransparent : {TRUE, FALSE}) {
        SCOPED_TRACE(bTransparent);
        CObjectAttributes attrs;
        attrs.m_wFlags &= WORD(~ATTR_FLAG_AUTO_OUTLINE);
        attrs.m_bFill = TRUE;
        attrs.m_logbrush = LOGBRUSH{BS_HATCHED, kBlue, HS_CROSS};
        attrs.m_crHatchBackground = bTransparent ? -1 : LONG(kRed);
        CColorFillDlg dlg(m_pMain);
        dlg.SetObject(&attrs, FALSE, FALSE);
        testing_support::MemoryCanvas canvas(120, 100);
        dlg.DrawPreview(canvas.DC(), kRect);
        int nBlue = 0, nRed = 0, nWhite = 0;
        for (int y = 20; y < 80; ++y) {
            for (int x = 20; x < 100; ++x) {
                const COLORREF cr = canvas.At(x, y);
                nBlue += cr == kBlue;
                nRed += cr == kRed;
                nWhite += cr == kWhite;
            }
        }
        EXPECT_GT(nBlue, 100);
        if (bTransparent) {
            EXPECT_EQ(nRed, 0);
            EXPECT_GT(nWhite, 1000);
        } else {
            EXPECT_EQ(nWhite, 0);
            EXPECT_GT(nRed, 1000);
        }
    }
}

TEST_F(ColorFillPreviewTest, LineIsDrawnAsALine)
{
    CObjectAttributes line;
    line.m_nShape = CColorFillDlg::kLineShape;
    line.m_logpen = LOGPEN{PS_INSIDEFRAME, {1, 0}, kBlue};
    line.m_bFill = TRUE;
    line.m_logbrush = LOGBRUSH{BS_SOLID, kRed, 0};
    CColorFillDlg dlg(m_pMain);
    dlg.SetObject(&line, FALSE, FALSE);
    testing_support::MemoryCanvas canvas(120, 100);
    dlg.DrawPreview(canvas.DC(), kRect);
    // On the diagonal from the inner top-left corner; nothing of a frame.
    EXPECT_EQ(canvas.At(14, 14), kBlue);
    EXPECT_EQ(canvas.At(60, 50), kBlue);
    EXPECT_EQ(canvas.At(105, 14), kWhite);
    EXPECT_EQ(canvas.At(14, 85), kWhite);
    EXPECT_EQ(canvas.At(60, 30), kWhite);
}

TEST_F(ColorFillPreviewTest, TheOpenDialogPaintsItsPreview)
{
    CObjectAttributes attrs;
    Gradient(attrs, 2, 2);
    COLORREF left = 0, right = 0;
    testing_support::DriveActiveWindow({OnColorFill([&](HWND hDlg) {
        ::UpdateWindow(hDlg);
        RECT rc{};
        ::GetWindowRect(::GetDlgItem(hDlg, IDC_CF_PREVIEW), &rc);
        POINT a{rc.left + 5, (rc.top + rc.bottom) / 2};
        POINT b{rc.right - 6, (rc.top + rc.bottom) / 2};
        ::ScreenToClient(hDlg, &a);
        ::ScreenToClient(hDlg, &b);
        left = platform::headless::WindowPixel(hDlg, a.x, a.y);
        right = platform::headless::WindowPixel(hDlg, b.x, b.y);
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_FALSE(EditColorFill(attrs, m_pMain, FALSE, FALSE));
    EXPECT_TRUE(Near(left, kRed, 12)) << std::hex << left;
    EXPECT_TRUE(Near(right, kYellow, 24)) << std::hex << right;
}

} // namespace
} // namespace surfacetest
