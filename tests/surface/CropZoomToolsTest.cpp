// The crop tool on a real picture and the zoom tool, driven by mouse
// messages and keys on a focused design view.

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"
#include "model/UndoList.h"
#include "platform/files/HostPath.h"
#include "surface/CropZoomTools.h"
#include "tests/support/TestData.h"

#include <string>

namespace surfacetest {
namespace {

const char kPicture[] = THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png";
const CRect kPictureRect(-100, 100, 100, -100);

class CropToolTest : public ToolTest {
public:
    void SetUp() override
    {
        ToolTest::SetUp();
        REQUIRE_TESTDATA();
        m_pView = NewToolView();
        ASSERT_NE(m_pView, nullptr);
        m_pObj = AddPicture(m_pView, kPictureRect);
        ASSERT_NE(m_pObj, nullptr);
        m_pView->Select(m_pObj);
        GiveMainAMenu();
    }

    static CDrawRect* AddPicture(CSurface* pView, const CRect& rect)
    {
        auto* pObj = new CDrawRect(rect);
        pView->Add(pObj);
        pObj->SetPictureFile(platform::WindowsPathFor(kPicture).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        return pObj->HasPicture() ? pObj : nullptr;
    }

    // The middle of a handle of the picture, in client pixels.
    CPoint HandleAt(int nHandle)
    {
        CRect square = m_pObj->GetHandleRect(nHandle, m_pView);
        return ClientAt(m_pView, square.CenterPoint());
    }

    void ChooseCropTool()
    {
        m_pView->SendMessage(WM_COMMAND, ID_EDIT_CROP_TOOL, 0);
        Pump();
        ASSERT_EQ(g_nCurrentShape, kShapeCrop);
    }

    // Drags the right-hand handle to x = 50.
    void DragRightEdgeIn()
    {
        DragClient(m_pView, HandleAt(4), ClientAt(m_pView, CPoint(50, 0)));
    }

    CSurface* m_pView = nullptr;
    CDrawRect* m_pObj = nullptr;
};

} // namespace

TEST_F(CropToolTest, AClickOffThePictureAfterAHandleDragPutsItBack)
{
    ChooseCropTool();
    DragRightEdgeIn();
    EXPECT_EQ(m_pObj->m_position, CRect(-100, 100, 50, -100));
    EXPECT_EQ(m_pObj->m_rectUncropped, kPictureRect) << "the whole picture stays where it was";
    EXPECT_TRUE(m_pObj->IsPictureCropped());
    EXPECT_EQ(g_nCurrentShape, kShapeCrop) << "a handle drag leaves the crop under way";
    EXPECT_TRUE(Greyed(0));

    DragClient(m_pView, ClientAt(m_pView, CPoint(300, 300)), ClientAt(m_pView, CPoint(300, 300)));
    EXPECT_EQ(m_pObj->m_position, kPictureRect);
    EXPECT_FALSE(m_pObj->IsPictureCropped());
    EXPECT_FALSE(m_pObj->m_wFlags & OBJ_FLAG_CROPPED);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_FALSE(Greyed(0));
}

TEST_F(CropToolTest, AClickOnThePictureAfterAHandleDragKeepsTheCrop)
{
    ChooseCropTool();
    DragRightEdgeIn();
    DragClient(m_pView, ClientAt(m_pView, CPoint(-20, 0)), ClientAt(m_pView, CPoint(-20, 0)));
    EXPECT_EQ(m_pObj->m_position, CRect(-100, 100, 50, -100));
    EXPECT_TRUE(m_pObj->IsPictureCropped());
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropWidth, 0.75) << "the dialog sees the crop the mouse made";

    // The kept crop is one undo step.
    CUndoList& undo = m_pView->GetDocument()->GetUndoList();
    EXPECT_EQ(undo.GetUndoLabel(), "cropping action");
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Undo(m_pView->GetDocument()));
    EXPECT_EQ(m_pObj->m_position, kPictureRect);
    EXPECT_FALSE(m_pObj->IsPictureCropped());
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropWidth, 1.0);
    ASSERT_TRUE(m_pView->GetDocument()->GetUndoList().Redo(m_pView->GetDocument()));
    EXPECT_EQ(m_pObj->m_position, CRect(-100, 100, 50, -100));
}

TEST_F(CropToolTest, ABandMissingThePictureChangesNothing)
{
    ChooseCropTool();
    DragClient(m_pView, ClientAt(m_pView, CPoint(200, 300)), ClientAt(m_pView, CPoint(300, 200)));
    EXPECT_EQ(m_pObj->m_position, kPictureRect);
    EXPECT_FALSE(m_pObj->IsPictureCropped());
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_FALSE(Greyed(1));
}

TEST_F(CropToolTest, ABandCropSetsBothRectanglesAndTheFractions)
{
    ChooseCropTool();
    DragClient(m_pView, ClientAt(m_pView, CPoint(-50, 50)), ClientAt(m_pView, CPoint(150, -150)));
    EXPECT_EQ(m_pObj->m_position, CRect(-50, 50, 100, -100)) << "the band met with the picture";
    EXPECT_EQ(m_pObj->m_rectUncropped, kPictureRect);
    EXPECT_TRUE(m_pObj->IsPictureCropped());
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropWidth, 0.75);
    EXPECT_DOUBLE_EQ(m_pObj->m_dCropHeight, 0.75);
    EXPECT_EQ(m_pObj->GetFullPictureRect(), kPictureRect) << "the fractions describe the same whole picture";

    // Undo Picture Crop after a second crop gives back the first.
    ChooseCropTool();
    DragRightEdgeIn();
    ASSERT_EQ(m_pObj->m_position.right, 50);
    m_pView->SendMessage(WM_COMMAND, ID_EDIT_UNDO_CROP, 0);
    Pump();
    EXPECT_EQ(m_pObj->m_position, CRect(-50, 50, 100, -100));
    EXPECT_EQ(m_pObj->m_rectUncropped, kPictureRect);
    EXPECT_TRUE(m_pObj->IsPictureCropped());
}

TEST_F(CropToolTest, EveryWayOutOfCropModeGivesTheMenusBack)
{
    struct Way {
        const char* pszName;
        std::function<void(CropToolTest*)> leave;
    };
    const Way ways[] = {
        {"Enter", [](CropToolTest*) { Key(VK_RETURN); }},
        {"Escape", [](CropToolTest*) { Key(VK_ESCAPE); }},
        {"a click",
            [](CropToolTest* t) {
                t->DragClient(t->m_pView, ClientAt(t->m_pView, CPoint(0, 0)), ClientAt(t->m_pView, CPoint(0, 0)));
            }},
        {"Complete",
            [](CropToolTest* t) {
                t->DragRightEdgeIn();
                t->m_pView->SendMessage(WM_COMMAND, ID_EDIT_COMPLETE_CROP, 0);
                Pump();
            }},
        {"Undo",
            [](CropToolTest* t) {
                t->DragRightEdgeIn();
                t->m_pView->SendMessage(WM_COMMAND, ID_EDIT_UNDO_CROP, 0);
                Pump();
            }},
        {"another tool",
            [](CropToolTest* t) {
                t->m_pView->SendMessage(WM_COMMAND, ID_DRAW_RECT, 0);
                Pump();
            }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.pszName);
        if (m_pView->GetSingleSelection() != m_pObj)
            m_pView->Select(m_pObj);
        ChooseCropTool();
        EXPECT_TRUE(Greyed(0));
        EXPECT_TRUE(Greyed(1));
        EXPECT_FALSE(Greyed(2)) << "the last menu stays";
        way.leave(this);
        EXPECT_NE(g_nCurrentShape, kShapeCrop);
        EXPECT_FALSE(Greyed(0));
        EXPECT_FALSE(Greyed(1));
    }
}

TEST_F(CropToolTest, EscapeGivesBackWhatTheCropChanged)
{
    ChooseCropTool();
    Key(VK_LEFT);
    ASSERT_EQ(m_pObj->m_position.left, -98);
    Key(VK_ESCAPE);
    EXPECT_EQ(m_pObj->m_position, kPictureRect);
    EXPECT_FALSE(m_pObj->IsPictureCropped());
}

TEST_F(CropToolTest, ArrowKeysMoveOneEdgeInByTwo)
{
    ChooseCropTool();
    Key(VK_LEFT);
    EXPECT_EQ(m_pObj->m_position, CRect(-98, 100, 100, -100));
    Key(VK_RIGHT);
    EXPECT_EQ(m_pObj->m_position, CRect(-98, 100, 98, -100));
    Key(VK_UP);
    EXPECT_EQ(m_pObj->m_position, CRect(-98, 98, 98, -100));
    Key(VK_DOWN);
    EXPECT_EQ(m_pObj->m_position, CRect(-98, 98, 98, -98));
    EXPECT_EQ(m_pObj->m_rectUncropped, kPictureRect);
    EXPECT_EQ(g_nCurrentShape, kShapeCrop) << "the crop goes on";

    // A rectangle lying the other way round loses the same edges.
    m_pView->SendMessage(WM_COMMAND, ID_EDIT_UNDO_CROP, 0);
    Pump();
    ASSERT_EQ(m_pObj->m_position, kPictureRect);
    m_pObj->m_position = CRect(100, -100, -100, 100);
    m_pObj->m_rectUnrotated = m_pObj->m_position;
    ChooseCropTool();
    Key(VK_LEFT);
    Key(VK_UP);
    EXPECT_EQ(m_pObj->m_position, CRect(98, -98, -100, 100));
}

TEST_F(CropToolTest, TheRightButtonLeavesTheCropForItsMenu)
{
    ChooseCropTool();
    DragRightEdgeIn();
    const CPoint on = ClientAt(m_pView, CPoint(-20, 0));
    m_pView->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(on.x, on.y));
    Pump();
    EXPECT_EQ(g_nCurrentShape, kShapeCrop) << "the crop is still under way for Complete or Undo";
    EXPECT_EQ(g_cropTool.GetCropObject(m_pView), m_pObj);
    m_pView->SendMessage(WM_COMMAND, ID_EDIT_UNDO_CROP, 0);
    Pump();
    EXPECT_EQ(m_pObj->m_position, kPictureRect);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
}

TEST_F(CropToolTest, AnObjectDeletedMidCropIsForgotten)
{
    ChooseCropTool();
    DragRightEdgeIn();
    ASSERT_EQ(g_cropTool.GetCropObject(m_pView), m_pObj);
    m_pView->DeleteSelection(TRUE);
    m_pObj = nullptr;
    EXPECT_EQ(g_cropTool.GetCropObject(m_pView), nullptr);

    // The abandon that every deactivation posts meets another picture.
    CDrawRect* pOther = AddPicture(m_pView, CRect(200, 100, 300, 0));
    ASSERT_NE(pOther, nullptr);
    m_pView->Select(pOther);
    m_pView->SendMessage(WM_COMMAND, ID_EDIT_UNDO_CROP, 0);
    Pump();
    EXPECT_EQ(pOther->m_position, CRect(200, 100, 300, 0));

    // A view closed mid-crop: its crop is forgotten too.
    DragClient(m_pView, ClientAt(m_pView, CPoint(300, 50)), ClientAt(m_pView, CPoint(250, 50)));
    ASSERT_EQ(g_cropTool.GetCropObject(m_pView), pOther);
    m_pView->GetDocument()->OnCloseDocument();
    m_pView = nullptr;
    Pump();
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pThird = AddPicture(pView, kPictureRect);
    ASSERT_NE(pThird, nullptr);
    pView->Select(pThird);
    EXPECT_EQ(g_cropTool.GetCropObject(pView), nullptr);
    pView->SendMessage(WM_COMMAND, ID_EDIT_UNDO_CROP, 0);
    pView->SendMessage(WM_COMMAND, ID_EDIT_COMPLETE_CROP, 0);
    Pump();
    EXPECT_EQ(pThird->m_position, kPictureRect);
}

// ---- The zoom tool -----------------------------------------------------------------------------

TEST(ZoomStepTest, ClicksStepThroughTheFixedZooms)
{
    struct Row {
        int nZoom;
        WORD nIn;
        WORD nOut;
    };
    const Row rows[] = {{0, 50, 25}, {1, 25, 25}, {24, 25, 25}, {25, 50, 25}, {26, 75, 25}, {50, 75, 25},
        {51, 100, 50}, {75, 100, 50}, {76, 150, 75}, {100, 150, 75}, {101, 200, 100}, {150, 200, 100},
        {151, 500, 150}, {200, 500, 150}, {201, 500, 200}, {500, 500, 200}};
    for (const Row& row : rows) {
        EXPECT_EQ(NextZoomStep(row.nZoom, TRUE), row.nIn) << row.nZoom;
        EXPECT_EQ(NextZoomStep(row.nZoom, FALSE), row.nOut) << row.nZoom;
    }
}

TEST(ZoomStepTest, ABandZoomIsBoundedWhateverItsSize)
{
    // 96 pixels per inch: 15 twips a pixel.
    EXPECT_EQ(ZoomForBand(0, 0, 900, 1200, 15, 15), 500) << "a band without extent";
    EXPECT_EQ(ZoomForBand(0, 300, 900, 1200, 15, 15), 500);
    EXPECT_EQ(ZoomForBand(5, 5, 900, 1200, 15, 15), 500);
    EXPECT_EQ(ZoomForBand(1e12, 1e12, 900, 1200, 15, 15), 1);
    EXPECT_EQ(ZoomForBand(100, 100, 0, 1200, 15, 15), 500) << "no client area";
    // A band as wide as a 900-pixel client at 100 % shows at 95 %.
    EXPECT_EQ(ZoomForBand(937.5, 937.5, 900, 1200, 15, 15), 95);
}

class ZoomToolTest : public ToolTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        m_pView = NewToolView();
        ASSERT_NE(m_pView, nullptr);
    }
    void ChooseZoomTool()
    {
        m_pView->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_TOOL, 0);
        Pump();
        ASSERT_EQ(g_nCurrentShape, kShapeZoom);
    }
    CSurface* m_pView = nullptr;
};

TEST_F(ZoomToolTest, AClickStepsInOrWithShiftOutAndAnyOtherKeyOnlyLeaves)
{
    const CPoint at(300, 300);
    ChooseZoomTool();
    Press(m_pView, at);
    Release(m_pView, at);
    EXPECT_EQ(m_pView->GetZoom(), 150);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect) << "a click returns to the selection tool";

    ChooseZoomTool();
    Press(m_pView, at, MK_SHIFT);
    Release(m_pView, at, MK_SHIFT);
    EXPECT_EQ(m_pView->GetZoom(), 100);

    ChooseZoomTool();
    Press(m_pView, at, MK_CONTROL);
    Release(m_pView, at, MK_CONTROL);
    EXPECT_EQ(m_pView->GetZoom(), 100);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
}

TEST_F(ZoomToolTest, BandsZoomToFillTheViewWithinBounds)
{
    ChooseZoomTool();
    DragClient(m_pView, CPoint(400, 400), CPoint(404, 403));
    EXPECT_EQ(m_pView->GetZoom(), 500) << "a tiny band";
    EXPECT_EQ(m_pView->GetDocument()->m_nZoomCompanion, 0);

    m_pView->SetZoom(100);
    ChooseZoomTool();
    CRect client;
    m_pView->GetClientRect(&client);
    DragClient(m_pView, CPoint(0, 0), CPoint(client.right - 1, client.bottom - 1));
    EXPECT_LT(m_pView->GetZoom(), 100) << "a band larger than what fits";
    EXPECT_GE(m_pView->GetZoom(), 1);
}

TEST_F(ZoomToolTest, TheZoomToolHasItsOwnCursor)
{
    EXPECT_NE(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kCursorZoom)), nullptr);
}

} // namespace surfacetest
