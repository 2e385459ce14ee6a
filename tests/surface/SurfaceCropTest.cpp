// The view's Picture Crop command: what the dialog's fractions do to the
// picture, and when the crop commands are offered.

#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "model/UndoList.h"
#include "pictures/CropDlg.h"
#include "platform/files/HostPath.h"
#include "surface/CropZoomTools.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestData.h"

#include <functional>

namespace surfacetest {
namespace {

const char kPicture[] = THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png";

class SurfaceCropTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        REQUIRE_TESTDATA();
        CDrawDoc* pDoc = NewDesign();
        ASSERT_NE(pDoc, nullptr);
        pDoc->SetZoom(100);
        m_pView = FirstView(pDoc);
        ASSERT_NE(m_pView, nullptr);
        m_pObj = new CDrawRect(CRect(-100, 100, 100, -100));
        m_pView->Add(m_pObj);
        m_pObj->SetPictureFile(platform::WindowsPathFor(kPicture).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        ASSERT_TRUE(m_pObj->HasPicture());
        m_pView->Select(m_pObj);
        Pump();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SurfaceTest::TearDown();
    }

    // Runs Picture Crop with the dialog's rails set to the fractions (as
    // the dialog shows them) and OK, or with Reset and OK.
    void CropThroughDialog(std::function<void(CCropDlg&)> setRails)
    {
        testing_support::DriveActiveWindow({[setRails](HWND hDlg) {
            auto* pDlg = dynamic_cast<CCropDlg*>(CWnd::FromHandlePermanent(hDlg));
            if (pDlg == nullptr)
                return false;
            setRails(*pDlg);
            ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
            return true;
        }});
        m_pView->SendMessage(WM_COMMAND, ID_EDIT_PICTURE_CROP, 0);
        Pump();
    }

    static void SetRails(CCropDlg& dlg, double l, double t, double w, double h)
    {
        dlg.m_rails.SetLeft(l, FALSE);
        dlg.m_rails.SetTop(t, FALSE);
        dlg.m_rails.SetWidth(w, FALSE);
        dlg.m_rails.SetHeight(h, TRUE);
    }

    CSurface* m_pView = nullptr;
    CDrawRect* m_pObj = nullptr;
};

} // namespace

TEST_F(SurfaceCropTest, TinyCropsAreRaisedToOnePercentWithOneUndoStep)
{
    CUndoList& undo = m_pView->GetDocument()->GetUndoList();
    const int nSteps = undo.GetCount();
    // The object counts from the far sides while it lies in its own
    // orientation.
    const BOOL bFarX = m_pObj->IsOrientedX();
    const BOOL bFarY = m_pObj->IsOrientedY();
    CropThroughDialog([](CCropDlg& dlg) { SetRails(dlg, 0.2, 0.3, 0.001, 0.004); });
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropWidth, 0.01);
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropHeight, 0.01);
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropLeft, bFarX ? 1.0 - 0.2 - 0.01 : 0.2);
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropTop, bFarY ? 1.0 - 0.3 - 0.01 : 0.3);
    EXPECT_TRUE(m_pObj->IsPictureCropped());
    EXPECT_EQ(undo.GetCount(), nSteps + 1);
    EXPECT_EQ(undo.GetUndoLabel(), "cropping action");

    // Undo shows the whole picture again where it was; redo crops it again.
    const CRect cropped = m_pObj->m_position;
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Undo(m_pView->GetDocument()));
    EXPECT_EQ(m_pObj->m_position, CRect(-100, 100, 100, -100));
    EXPECT_FALSE(m_pObj->IsPictureCropped());
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropWidth, 1.0);
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Redo(m_pView->GetDocument()));
    EXPECT_EQ(m_pObj->m_position, cropped);
    EXPECT_TRUE(m_pObj->IsPictureCropped());
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropWidth, 0.01);
}

TEST_F(SurfaceCropTest, AFlippedPictureKeepsItsCropOnTheSidesItShows)
{
    const BOOL bBefore = m_pObj->IsMirroredX();
    m_pObj->Flip(TRUE, FALSE);
    ASSERT_NE(m_pObj->IsMirroredX(), bBefore);
    const BOOL bFarX = m_pObj->IsOrientedX();
    CropThroughDialog([](CCropDlg& dlg) { SetRails(dlg, 0.1, 0.0, 0.5, 1.0); });
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropLeft, bFarX ? 0.4 : 0.1);
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropWidth, 0.5);

    // Opened again, the dialog shows the crop where it was chosen.
    double dShownLeft = -1.0;
    CropThroughDialog([&](CCropDlg& dlg) { dShownLeft = dlg.m_rails.GetLeft(); });
    EXPECT_NEAR(dShownLeft, 0.1, 1e-9);
}

TEST_F(SurfaceCropTest, ResetThenOkLeavesThePictureUncropped)
{
    CropThroughDialog([](CCropDlg& dlg) { SetRails(dlg, 0.25, 0.25, 0.5, 0.5); });
    ASSERT_TRUE(m_pObj->IsPictureCropped());
    CropThroughDialog([](CCropDlg& dlg) {
        ::SendMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CROP_RESET, BN_CLICKED),
            LPARAM(::GetDlgItem(dlg.m_hWnd, IDC_CROP_RESET)));
    });
    EXPECT_FALSE(m_pObj->IsPictureCropped());
    EXPECT_EQ(m_pObj->m_position, CRect(-100, 100, 100, -100));
    EXPECT_EQ(m_pObj->GetFullPictureRect(), CRect(-100, 100, 100, -100));
}

TEST_F(SurfaceCropTest, TheCropCommandsAreOfferedForOnePictureAndWhileCropping)
{
    auto enabled = [this](UINT nID, int* pCheck = nullptr) {
        const CommandState state = CommandStateOf(m_pView, nID);
        if (pCheck != nullptr)
            *pCheck = state.nCheck;
        return state.bEnabled;
    };
    int nCheck = -1;
    EXPECT_TRUE(enabled(ID_EDIT_PICTURE_CROP));
    EXPECT_TRUE(enabled(ID_EDIT_CROP_TOOL, &nCheck));
    EXPECT_EQ(nCheck, 0);
    EXPECT_FALSE(enabled(ID_EDIT_COMPLETE_CROP));
    EXPECT_FALSE(enabled(ID_EDIT_UNDO_CROP));

    m_pView->SendMessage(WM_COMMAND, ID_EDIT_CROP_TOOL, 0);
    EXPECT_EQ(g_nCurrentShape, kShapeCrop);
    EXPECT_TRUE(enabled(ID_EDIT_CROP_TOOL, &nCheck));
    EXPECT_EQ(nCheck, 1);
    EXPECT_TRUE(enabled(ID_EDIT_COMPLETE_CROP));
    EXPECT_TRUE(enabled(ID_EDIT_UNDO_CROP));

    // A shape without a picture, or two objects, cannot be cropped.
    auto* pShape = new CDrawRect(CRect(200, 100, 300, 0));
    m_pView->Add(pShape);
    m_pView->Select(pShape, TRUE);
    EXPECT_FALSE(enabled(ID_EDIT_PICTURE_CROP));
    EXPECT_FALSE(enabled(ID_EDIT_CROP_TOOL));
    EXPECT_FALSE(enabled(ID_EDIT_UNDO_CROP));
    m_pView->Select(pShape);
    EXPECT_FALSE(enabled(ID_EDIT_CROP_TOOL));
    m_pView->SendMessage(WM_COMMAND, ID_EDIT_CROP_TOOL, 0);
    EXPECT_EQ(g_nCurrentShape, kShapeCrop) << "the tool stays as it was";
    SetCurrentShape(m_pView, kShapeSelect);
    m_pView->SendMessage(WM_COMMAND, ID_EDIT_CROP_TOOL, 0);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);

    m_pView->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_TOOL, 0);
    EXPECT_EQ(g_nCurrentShape, kShapeZoom);
}

TEST_F(SurfaceCropTest, TheDialogsSidesAreTheSidesTheViewShows)
{
    // Left 0.5 of width 0.5 keeps the right half as the picture shows on
    // the page; top 0.25 of height 0.75 cuts its upper quarter.
    CropThroughDialog([](CCropDlg& dlg) { SetRails(dlg, 0.5, 0.25, 0.5, 0.75); });
    EXPECT_EQ(m_pObj->m_position, CRect(0, 50, 100, -100));
    EXPECT_EQ(m_pObj->GetFullPictureRect(), CRect(-100, 100, 100, -100));

    // Opened again, the rails stand where they were put.
    double shown[4] = {};
    CropThroughDialog([&](CCropDlg& dlg) {
        shown[0] = dlg.m_rails.GetLeft();
        shown[1] = dlg.m_rails.GetTop();
    });
    EXPECT_NEAR(shown[0], 0.5, 1e-9);
    EXPECT_NEAR(shown[1], 0.25, 1e-9);

    // The crop tool's crops read the same way: its right-half crop shows
    // as a left offset of a half.
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Undo(m_pView->GetDocument()));
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Undo(m_pView->GetDocument()));
    ASSERT_EQ(m_pObj->m_position, CRect(-100, 100, 100, -100));
    SetCurrentShape(m_pView, kShapeCrop);
    g_cropTool.ApplyBandCrop(m_pView, CRect(0, 100, 100, -100));
    SetCurrentShape(m_pView, kShapeSelect);
    ASSERT_EQ(m_pObj->m_position, CRect(0, 100, 100, -100));
    CropThroughDialog([&](CCropDlg& dlg) { shown[0] = dlg.m_rails.GetLeft(); });
    EXPECT_NEAR(shown[0], 0.5, 1e-9);

    // Flipped, the right half on the page is still the dialog's right half.
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Undo(m_pView->GetDocument()));
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Undo(m_pView->GetDocument()));
    m_pObj->Flip(TRUE, FALSE);
    CropThroughDialog([](CCropDlg& dlg) { SetRails(dlg, 0.5, 0.0, 0.5, 1.0); });
    CRect shownRect = m_pObj->m_position;
    shownRect.NormalizeRect();
    EXPECT_EQ(shownRect.left, 0);
    EXPECT_EQ(shownRect.right, 100);
}

} // namespace surfacetest
