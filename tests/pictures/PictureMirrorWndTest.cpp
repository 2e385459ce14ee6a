// The mirror picture window, checked by its pixels: the picture fills the
// client area with left and right exchanged, as a transfer prints it; an
// empty window shows only its background.

#include "pictures/PictureMirrorWnd.h"

#include "pictures/Image.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestHome.h"

namespace {

constexpr COLORREF kLeft = RGB(220, 20, 20);
constexpr COLORREF kRight = RGB(20, 20, 220);
constexpr COLORREF kTopRight = RGB(20, 200, 20);

class PictureMirrorWndTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        MakeApp();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, NULL,
            NULL));
        ASSERT_TRUE(m_wnd.Create(CRect(10, 10, 90, 50), &m_parent, 77));
    }
    void TearDown() override
    {
        m_wnd.DestroyWindow();
        m_parent.DestroyWindow();
        FrameworkTest::TearDown();
    }

    CWnd m_parent;
    CPictureMirrorWnd m_wnd;
};

TEST_F(PictureMirrorWndTest, DrawsThePictureWithLeftAndRightExchanged)
{
    // Left half red, right half blue, a green corner at the top right.
    picture_files::Raster raster(40, 20, kLeft);
    raster.Fill(20, 0, 40, 20, kRight);
    raster.Fill(36, 0, 40, 4, kTopRight);
    const std::string path =
        picture_files::WriteBmp(raster, testing_support::MakeTempDir("mirrorwnd") + "/halves.bmp");
    m_wnd.GetPicture().LoadFile(path.c_str(), CImage::kDefaultLoadMode);
    ASSERT_GE(m_wnd.GetPicture().m_nHandle, 1);
    m_wnd.Invalidate();
    Pump();

    // The window is 80 x 40: twice the picture.
    EXPECT_EQ(platform::headless::WindowPixel(m_wnd.m_hWnd, 10, 20), kRight);
    EXPECT_EQ(platform::headless::WindowPixel(m_wnd.m_hWnd, 70, 20), kLeft);
    EXPECT_EQ(platform::headless::WindowPixel(m_wnd.m_hWnd, 2, 2), kTopRight) << "the top stays at the top";
    EXPECT_EQ(platform::headless::WindowPixel(m_wnd.m_hWnd, 2, 37), kRight);
}

TEST_F(PictureMirrorWndTest, WithoutAPictureShowsItsBackground)
{
    Pump();
    const COLORREF crWindow = ::GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(platform::headless::WindowPixel(m_wnd.m_hWnd, 5, 5), crWindow);
    EXPECT_EQ(platform::headless::WindowPixel(m_wnd.m_hWnd, 75, 35), crWindow);
}

} // namespace
