// The Picture Crop dialog on a picture of a design, driven through its
// buttons and with mouse messages on its rails window.

#include "tests/model/ModelTestSupport.h"

#include "model/DrawRect.h"
#include "pictures/CropDlg.h"
#include "platform/files/HostPath.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestData.h"

#include <functional>
#include <string>

namespace {

const char kPicture[] = THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png";

std::string ItemText(HWND hDlg, int nID)
{
    char text[64] = {};
    ::GetDlgItemText(hDlg, nID, text, sizeof(text));
    return text;
}

void Click(HWND hDlg, int nID)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
}

void Mouse(HWND hWnd, UINT message, CPoint point, UINT nFlags)
{
    ::SendMessage(hWnd, message, nFlags, MAKELPARAM(point.x, point.y));
}

// A press, a move past the end and a release on the rails window.
void Drag(HWND hRails, CPoint from, CPoint to)
{
    Mouse(hRails, WM_LBUTTONDOWN, from, MK_LBUTTON);
    Mouse(hRails, WM_MOUSEMOVE, CPoint((from.x + to.x) / 2, (from.y + to.y) / 2), MK_LBUTTON);
    Mouse(hRails, WM_MOUSEMOVE, to, MK_LBUTTON);
    Mouse(hRails, WM_LBUTTONUP, to, 0);
}

class CropDlgTest : public modeltest::DesignViewTest {
protected:
    void SetUp() override
    {
        DesignViewTest::SetUp();
        REQUIRE_TESTDATA();
        m_pObj = new CDrawRect(CRect(-100, 100, 100, -100));
        m_pView->Add(m_pObj);
        m_pObj->SetPictureFile(platform::WindowsPathFor(kPicture).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        ASSERT_TRUE(m_pObj->HasPicture());
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        DesignViewTest::TearDown();
    }

    // Runs the dialog on the object; the action gets the dialog, its window
    // and the rails window, and must end the dialog.
    int Run(CCropDlg& dlg, std::function<void(CCropDlg&, HWND, HWND)> action)
    {
        dlg.SetDrawObject(m_pObj);
        CCropDlg* pDlg = &dlg;
        testing_support::DriveActiveWindow({[pDlg, action](HWND hDlg) {
            if (hDlg != pDlg->m_hWnd)
                return false;
            action(*pDlg, hDlg, ::GetDlgItem(hDlg, IDC_CROP_RAILS));
            return true;
        }});
        return static_cast<int>(dlg.DoModal());
    }

    static CPoint Middle(const CRect& rect) { return rect.CenterPoint(); }

    CDrawRect* m_pObj = nullptr;
};

} // namespace

TEST_F(CropDlgTest, AWidthPastTheFarSideMovesTheOffsetBack)
{
    m_pObj->m_dCropLeft = 0.5;
    m_pObj->m_dCropWidth = 0.7;
    m_pObj->m_dCropTop = 0.5;
    m_pObj->m_dCropHeight = 0.7;
    // The object's fractions count from its far sides while it lies in its
    // own orientation; the dialog shows them as the picture appears.
    const BOOL bFarX = m_pObj->IsOrientedX();
    const BOOL bFarY = m_pObj->IsOrientedY();
    CCropDlg dlg(m_pMain);
    ASSERT_EQ(Run(dlg, [](CCropDlg&, HWND hDlg, HWND) { Click(hDlg, IDCANCEL); }), IDCANCEL);
    EXPECT_NEAR(dlg.m_rails.GetWidth(), 0.7, 1e-9);
    EXPECT_NEAR(dlg.m_rails.GetHeight(), 0.7, 1e-9);
    EXPECT_NEAR(dlg.m_rails.GetLeft(), bFarX ? 0.0 : 0.3, 1e-9);
    EXPECT_NEAR(dlg.m_rails.GetTop(), bFarY ? 0.0 : 0.3, 1e-9);

    CCropRails rails;
    rails.SetLeft(0.5, FALSE);
    rails.SetWidth(0.7, FALSE);
    EXPECT_NEAR(rails.GetLeft(), 0.3, 1e-9);
    rails.SetTop(0.5, FALSE);
    rails.SetHeight(0.7, FALSE);
    EXPECT_NEAR(rails.GetTop(), 0.3, 1e-9);
    rails.SetLeft(0.9, FALSE);
    EXPECT_NEAR(rails.GetWidth(), 0.1, 1e-9) << "an offset pushes the width back too";
}

TEST_F(CropDlgTest, AFlippedPictureOpensWithItsCropWhereItShows)
{
    const BOOL bWasMirrored = m_pObj->IsMirroredX();
    m_pObj->Flip(TRUE, FALSE);
    ASSERT_NE(m_pObj->IsMirroredX(), bWasMirrored);
    m_pObj->m_dCropLeft = 0.0;
    m_pObj->m_dCropWidth = 0.6;
    CCropDlg dlg(m_pMain);
    ASSERT_EQ(Run(dlg, [](CCropDlg&, HWND hDlg, HWND) { Click(hDlg, IDCANCEL); }), IDCANCEL);
    EXPECT_NEAR(dlg.m_rails.GetLeft(), m_pObj->IsOrientedX() ? 0.4 : 0.0, 1e-9);
    EXPECT_NEAR(dlg.m_rails.GetWidth(), 0.6, 1e-9);
}

TEST_F(CropDlgTest, LabelsFollowTheUnitsAndResetGivesTheWholePicture)
{
    m_pObj->m_dCropLeft = 0.25;
    m_pObj->m_dCropWidth = 0.5;
    std::string percentWidth;
    std::string inchesWidth;
    std::string centimetresWidth;
    std::string resetWidth;
    BOOL bResetEnabled = FALSE;
    BOOL bResetEnabledAfter = TRUE;
    BOOL bDemoVisible = TRUE;
    CCropDlg dlg(m_pMain);
    ASSERT_EQ(Run(dlg, [&](CCropDlg&, HWND hDlg, HWND) {
        bDemoVisible = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_CROP_DEMO));
        bResetEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_CROP_RESET));
        Click(hDlg, IDC_CROP_INCHES);
        inchesWidth = ItemText(hDlg, IDC_CROP_WIDTH);
        Click(hDlg, IDC_CROP_CENTIMETERS);
        centimetresWidth = ItemText(hDlg, IDC_CROP_WIDTH);
        Click(hDlg, IDC_CROP_PERCENT);
        percentWidth = ItemText(hDlg, IDC_CROP_WIDTH);
        Click(hDlg, IDC_CROP_RESET);
        resetWidth = ItemText(hDlg, IDC_CROP_WIDTH);
        bResetEnabledAfter = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_CROP_RESET));
        Click(hDlg, IDOK);
    }),
        IDOK);
    EXPECT_FALSE(bDemoVisible);
    EXPECT_TRUE(bResetEnabled);
    EXPECT_EQ(inchesWidth, "2.00 in") << "the object shows half of a four-inch picture";
    EXPECT_EQ(centimetresWidth, "5.08 cm");
    EXPECT_EQ(percentWidth, "50.00%");
    EXPECT_EQ(resetWidth, "100.00%");
    EXPECT_FALSE(bResetEnabledAfter);
    EXPECT_EQ(dlg.m_rails.GetLeft(), 0.0);
    EXPECT_EQ(dlg.m_rails.GetTop(), 0.0);
    EXPECT_EQ(dlg.m_rails.GetWidth(), 1.0);
    EXPECT_EQ(dlg.m_rails.GetHeight(), 1.0);
}

TEST_F(CropDlgTest, ARailDragCropsOneSideAndRefreshesTheLabels)
{
    std::string shown;
    int nAreaWidth = 0;
    CCropDlg dlg(m_pMain);
    ASSERT_EQ(Run(dlg, [&](CCropDlg& d, HWND hDlg, HWND hRails) {
        Click(hDlg, IDC_CROP_PERCENT);
        const CRect area = d.m_rails.GetPictureArea();
        nAreaWidth = area.Width();
        const CCropRail& left = d.m_rails.GetRail(CCropRails::RailLeft);
        const CPoint grip(left.rectBar.CenterPoint().x, area.CenterPoint().y - area.Height() / 3);
        Drag(hRails, grip, grip + CSize(area.Width() / 4, 0));
        shown = ItemText(hDlg, IDC_CROP_HORZ);
        Click(hDlg, IDOK);
    }),
        IDOK);
    ASSERT_GT(nAreaWidth, 0);
    EXPECT_NEAR(dlg.m_rails.GetLeft(), 0.25, 1.0 / nAreaWidth);
    EXPECT_NEAR(dlg.m_rails.GetLeft() + dlg.m_rails.GetWidth(), 1.0, 1e-9) << "the right side stays";
    EXPECT_EQ(dlg.m_rails.GetTop(), 0.0);
    EXPECT_EQ(dlg.m_rails.GetHeight(), 1.0);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%1.2f%%", dlg.m_rails.GetLeft() * 100.0);
    EXPECT_EQ(shown, expected);
}

TEST_F(CropDlgTest, ARegionDragKeepsItsSizeAndStopsAtTheEdge)
{
    m_pObj->m_dCropLeft = 0.25;
    m_pObj->m_dCropTop = 0.25;
    m_pObj->m_dCropWidth = 0.5;
    m_pObj->m_dCropHeight = 0.5;
    CRect before;
    CRect after;
    CRect area;
    CCropDlg dlg(m_pMain);
    ASSERT_EQ(Run(dlg, [&](CCropDlg& d, HWND hDlg, HWND hRails) {
        before = d.m_rails.GetCropRect();
        area = d.m_rails.GetPictureArea();
        Drag(hRails, Middle(before), Middle(before) + CSize(1000, 1000));
        after = d.m_rails.GetCropRect();
        Click(hDlg, IDOK);
    }),
        IDOK);
    EXPECT_EQ(after.Size(), before.Size());
    EXPECT_EQ(after.right, area.right);
    EXPECT_EQ(after.bottom, area.bottom);
    EXPECT_NEAR(dlg.m_rails.GetWidth(), 0.5, 1.0 / area.Width());
    EXPECT_NEAR(dlg.m_rails.GetLeft() + dlg.m_rails.GetWidth(), 1.0, 1e-9);
}

TEST_F(CropDlgTest, RailsWithoutAPictureAreaKeepTheirFractions)
{
    // A window too small for any picture: a drag must not turn the
    // fractions into quotients of nothing.
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, NULL, NULL), "", WS_POPUP, 0, 0, 200, 200, NULL, NULL));
    CCropRails rails;
    ASSERT_TRUE(rails.Create(CRect(0, 0, 10, 10), &parent, IDC_CROP_RAILS));
    rails.SetLeft(0.2, FALSE);
    rails.SetWidth(0.5, TRUE);
    Drag(rails.m_hWnd, CPoint(6, 6), CPoint(9, 9));
    EXPECT_EQ(rails.GetLeft(), 0.2);
    EXPECT_EQ(rails.GetWidth(), 0.5);
    rails.DestroyWindow();
    parent.DestroyWindow();
}

