// The picture controls on the headless back end: which bitmap a picture
// button draws, the hover timer and its tip, choice rings, the cursor, and
// a picture static control loading its picture.

#include "controls/PicButton.h"
#include "controls/PicStatic.h"

#include "app/PrefData.h"
#include "platform/base/Clock.h"
#include "platform/base/Resources.h"
#include "platform/framework/WinApp.h"
#include "platform/files/FileSystem.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"
#include "resources/art.h"
#include "resources/resource.h"
#include "resources/controls.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <memory>

namespace {

using platform::headless::MoveMouse;

constexpr int kParentX = 100;
constexpr int kParentY = 100;
constexpr int kButtonX = 10;
constexpr int kButtonY = 10;

class PicButtonTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        threadwick::RegisterSupportResources();
        platform::SetClockSource(&m_clock);
        thePrefs.Reset();
        thePrefs.AddlFlags = 0;
        CPicButton::ResetLastHover();
        MakeApp();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxDefaultWndClass(), "", WS_POPUP | WS_VISIBLE, kParentX, kParentY, 400,
            200, NULL, NULL));
        App()->m_pMainWnd = &m_parent;
        m_parent.SetActiveWindow();
        MoveMouse(5, 5);
        Pump();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        m_buttons.clear();
        App()->m_pMainWnd = nullptr;
        FrameworkTest::TearDown();
        thePrefs.Reset();
    }

    // A picture button with the wizard's Next pictures at (x, y) of the parent.
    CPicButton* MakeButton(UINT nID, int x = kButtonX, int y = kButtonY)
    {
        auto button = std::make_unique<CPicButton>();
        EXPECT_TRUE(button->Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, CRect(x, y, x + 10, y + 10),
            &m_parent, nID));
        HMODULE hModule = AfxFindResourceHandle(MAKEINTRESOURCE(IDB_WIZARD_NEXT), RT_BITMAP);
        button->SetBitmaps(hModule, IDB_WIZARD_NEXT, IDB_WIZARD_NEXT_PRESSED, IDB_WIZARD_NEXT_CHECKED,
            IDB_WIZARD_NEXT_DISABLED, IDB_WIZARD_NEXT_HOT, TRUE, 0, RGB(192, 192, 192));
        m_buttons.push_back(std::move(button));
        return m_buttons.back().get();
    }
    // Screen point (dx, dy) inside the button made at the default place.
    static void PointAt(int dx, int dy)
    {
        MoveMouse(kParentX + kButtonX + dx, kParentY + kButtonY + dy);
        Pump();
    }
    // One tick of the hover timer; TRUE when a tip came up during it (the
    // tip's loop waited, and the pointer is moved away to end it).
    bool Tick(CPicButton* pButton)
    {
        bool tipShown = false;
        platform::headless::SetIdleHandler([&]() {
            if (tipShown)
                return false;
            tipShown = true;
            MoveMouse(390, 390);
            return true;
        });
        pButton->SendMessage(WM_TIMER, CPicButton::kHoverTimerId, 0);
        platform::headless::SetIdleHandler(nullptr);
        return tipShown;
    }

    platform::FakeClock m_clock;
    CWnd m_parent;
    std::vector<std::unique_ptr<CPicButton>> m_buttons;
};

TEST_F(PicButtonTest, ChoosesItsBitmapByState)
{
    const BOOL all[5] = {TRUE, TRUE, TRUE, TRUE, TRUE};
    const BOOL noHot[5] = {TRUE, TRUE, TRUE, TRUE, FALSE};
    const BOOL onlyNormal[5] = {TRUE, FALSE, FALSE, FALSE, FALSE};
    struct Case {
        UINT state;
        UINT action;
        BOOL enabled;
        BOOL hover;
        BOOL checkedInGroup;
        const BOOL* have;
        int expected;
        BOOL clearsHover;
    } cases[] = {
        {0, ODA_DRAWENTIRE, TRUE, FALSE, FALSE, all, CPicButton::bmpNormal, FALSE},
        {ODS_DISABLED, ODA_DRAWENTIRE, TRUE, TRUE, FALSE, all, CPicButton::bmpDisabled, TRUE},
        {0, ODA_DRAWENTIRE, FALSE, TRUE, FALSE, all, CPicButton::bmpDisabled, TRUE},
        {ODS_SELECTED, ODA_SELECT, TRUE, TRUE, FALSE, all, CPicButton::bmpPressed, FALSE},
        {ODS_SELECTED | ODS_FOCUS, ODA_SELECT, TRUE, FALSE, FALSE, all, CPicButton::bmpPressed, FALSE},
        {ODS_FOCUS, ODA_FOCUS, TRUE, TRUE, FALSE, all, CPicButton::bmpChecked, TRUE},
        {0, ODA_DRAWENTIRE, TRUE, TRUE, FALSE, all, CPicButton::bmpHot, FALSE},
        {0, ODA_FOCUS, TRUE, TRUE, TRUE, all, CPicButton::bmpChecked, FALSE},
        {0, ODA_DRAWENTIRE, TRUE, TRUE, TRUE, noHot, CPicButton::bmpChecked, FALSE},
        {0, ODA_DRAWENTIRE, TRUE, FALSE, TRUE, all, CPicButton::bmpChecked, FALSE},
        {ODS_DISABLED, ODA_DRAWENTIRE, TRUE, FALSE, FALSE, onlyNormal, CPicButton::bmpNormal, TRUE},
        {ODS_SELECTED, ODA_SELECT, TRUE, FALSE, FALSE, onlyNormal, CPicButton::bmpNormal, FALSE},
        {0, ODA_DRAWENTIRE, TRUE, TRUE, FALSE, onlyNormal, CPicButton::bmpNormal, FALSE},
    };
    int row = 0;
    for (const Case& c : cases) {
        BOOL clears = -1;
        EXPECT_EQ(c.expected, CPicButton::ChooseBitmap(c.state, c.action, c.enabled, c.hover, c.checkedInGroup, c.have,
                                  &clears))
            << "row " << row;
        EXPECT_EQ(c.clearsHover, clears) << "row " << row;
        ++row;
    }
}

TEST_F(PicButtonTest, TakesItsBitmapsSizeAndDrawsThem)
{
    CPicButton* pButton = MakeButton(50);
    EXPECT_EQ(CSize(52, 24), pButton->GetBitmapSize());
    CRect rc;
    pButton->GetWindowRect(&rc);
    EXPECT_EQ(CRect(kParentX + kButtonX, kParentY + kButtonY, kParentX + kButtonX + 52, kParentY + kButtonY + 24), rc);
    EXPECT_EQ(DWORD(BS_OWNERDRAW), pButton->GetStyle() & BS_TYPEMASK);
    pButton->Invalidate();
    pButton->UpdateWindow();
    EXPECT_EQ(CPicButton::bmpNormal, pButton->m_nLastDrawn);
    pButton->EnableWindow(FALSE);
    pButton->UpdateWindow();
    EXPECT_EQ(CPicButton::bmpDisabled, pButton->m_nLastDrawn);
    // The tile's rim is drawn; the face colour round it lets the parent show.
    EXPECT_NE(RGB(192, 192, 192), platform::headless::WindowPixel(pButton->m_hWnd, 1, 12));
}

TEST_F(PicButtonTest, HoverLightsTheButtonAndTheTipWaitsSixTenthsOfASecond)
{
    CPicButton* pButton = MakeButton(50);
    pButton->SetTipText("Next page");
    PointAt(20, 10);
    Pump();
    EXPECT_TRUE(pButton->m_bHover);
    EXPECT_EQ(pButton->m_hWnd, ::GetCapture());
    ASSERT_EQ(CPicButton::kHoverTimerId, pButton->m_nHoverTimer);
    EXPECT_EQ(POINT({-1, -1}).x, CPicButton::s_ptLastHover.x);

    // The timer's first tick comes after 600 ms and notes where the pointer is.
    m_clock.Advance(599);
    Pump();
    EXPECT_EQ(-1, CPicButton::s_ptLastHover.x);
    m_clock.Advance(1);
    Pump();
    EXPECT_EQ(kParentX + kButtonX + 20, CPicButton::s_ptLastHover.x);

    // Leaving the button ends hover, capture and the timer.
    MoveMouse(390, 190);
    Pump();
    EXPECT_FALSE(pButton->m_bHover);
    EXPECT_EQ(HWND(NULL), ::GetCapture());
    EXPECT_EQ(UINT_PTR(0), pButton->m_nHoverTimer);
}

TEST_F(PicButtonTest, TipShowsOnlyWhenThePointerMovedLessThanFourPixels)
{
    CPicButton* pButton = MakeButton(50);
    pButton->SetTipText("Next page");
    PointAt(20, 10);
    Pump();
    ASSERT_NE(UINT_PTR(0), pButton->m_nHoverTimer);

    EXPECT_FALSE(Tick(pButton)); // first tick: nothing to compare with
    PointAt(24, 10);             // 4 pixels: the wait starts again
    EXPECT_FALSE(Tick(pButton));
    EXPECT_NE(UINT_PTR(0), pButton->m_nHoverTimer);
    PointAt(25, 13); // 1 and 3 pixels: resting
    EXPECT_TRUE(Tick(pButton));
    EXPECT_EQ(UINT_PTR(0), pButton->m_nHoverTimer);
    EXPECT_EQ(-1, CPicButton::s_ptLastHover.x);
    EXPECT_EQ(-1, CPicButton::s_ptLastHover.y);
}

TEST_F(PicButtonTest, NoTimerWithoutTipTextOrWithTipsTurnedOff)
{
    CPicButton* pPlain = MakeButton(50);
    PointAt(5, 5);
    Pump();
    EXPECT_TRUE(pPlain->m_bHover);
    EXPECT_EQ(UINT_PTR(0), pPlain->m_nHoverTimer);
    MoveMouse(390, 190);
    Pump();

    thePrefs.AddlFlags |= PREF_ADDL_NO_TOOLTIPS;
    pPlain->SetTipText("Next page");
    PointAt(5, 5);
    Pump();
    EXPECT_TRUE(pPlain->m_bHover);
    EXPECT_EQ(UINT_PTR(0), pPlain->m_nHoverTimer);
}

TEST_F(PicButtonTest, FocusChecksOneButtonOfARingOfThree)
{
    CPicButton* a = MakeButton(51, 10, 10);
    CPicButton* b = MakeButton(52, 100, 10);
    CPicButton* c = MakeButton(53, 190, 10);
    a->SetGroup(b, 0);
    b->SetGroup(c, 1);
    c->SetGroup(a, 2);
    EXPECT_TRUE(a->m_bChecked);
    EXPECT_FALSE(b->m_bChecked);
    a->UpdateWindow();
    EXPECT_EQ(CPicButton::bmpChecked, a->m_nLastDrawn);

    CPicButton::s_ptLastHover = POINT{7, 7};
    c->SetFocus();
    EXPECT_TRUE(c->m_bChecked);
    EXPECT_FALSE(a->m_bChecked);
    EXPECT_FALSE(b->m_bChecked);
    EXPECT_EQ(CPicButton::bmpNormal, a->m_nLastDrawn); // repainted at once
    EXPECT_EQ(-1, CPicButton::s_ptLastHover.x);

    b->SetFocus();
    EXPECT_TRUE(b->m_bChecked);
    EXPECT_FALSE(c->m_bChecked);
}

TEST_F(PicButtonTest, RingWalkEndsWhenTheRingDoesNotComeBack)
{
    CPicButton* a = MakeButton(51, 10, 10);
    CPicButton* b = MakeButton(52, 100, 10);
    CPicButton* c = MakeButton(53, 190, 10);
    // a leads into a ring of b and c that never returns to a.
    a->SetGroup(b, 1);
    b->SetGroup(c, 0);
    c->SetGroup(b, 2);
    a->CheckInGroup();
    EXPECT_TRUE(a->m_bChecked);
    EXPECT_FALSE(b->m_bChecked);

    // A chain that ends in null stops there.
    c->SetGroup(nullptr, 2);
    c->m_bChecked = TRUE;
    a->CheckInGroup();
    EXPECT_FALSE(c->m_bChecked);
}

TEST_F(PicButtonTest, SetsItsOwnCursorAndLeavesOtherButtonsTheirs)
{
    CButton plain;
    ASSERT_TRUE(plain.Create("Plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 100, 90, 130), &m_parent, 60));
    // The button class with a cursor of its own, as a program may give it.
    HCURSOR hArrow = ::LoadCursor(NULL, IDC_ARROW);
    DWORD oldCursor = ::SetClassLong(plain.m_hWnd, GCL_HCURSOR, LONG(UINT_PTR(hArrow)));
    DWORD classCursor = ::GetClassLong(plain.m_hWnd, GCL_HCURSOR);
    ASSERT_NE(DWORD(0), classCursor);

    CPicButton* pButton = MakeButton(50);
    EXPECT_TRUE(pButton->m_bInitialised);
    EXPECT_EQ(classCursor, ::GetClassLong(plain.m_hWnd, GCL_HCURSOR));
    EXPECT_EQ(classCursor, ::GetClassLong(pButton->m_hWnd, GCL_HCURSOR));

    LPCTSTR hand = MAKEINTRESOURCE(IDC_OBJECT_HAND);
    HCURSOR hHand = ::LoadCursor(AfxFindResourceHandle(hand, RT_GROUP_CURSOR), hand);
    ASSERT_NE(HCURSOR(NULL), hHand);
    EXPECT_EQ(hHand, pButton->m_hHandCursor);
    EXPECT_TRUE(pButton->SendMessage(WM_SETCURSOR, WPARAM(pButton->m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hHand, ::GetCursor());

    // The plain button still gets the class's arrow.
    plain.SendMessage(WM_SETCURSOR, WPARAM(plain.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(hArrow, ::GetCursor());
    ::SetClassLong(plain.m_hWnd, GCL_HCURSOR, LONG(oldCursor));
}

TEST_F(PicButtonTest, DoubleClickTellsTheParent)
{
    CPicButton* pButton = MakeButton(50);
    CPicButton::s_ptLastHover = POINT{3, 3};
    pButton->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    MSG msg{};
    EXPECT_TRUE(::PeekMessage(&msg, m_parent.m_hWnd, WM_PICBUTTON_DBLCLK, WM_PICBUTTON_DBLCLK, PM_REMOVE));
    EXPECT_EQ(WPARAM(50), msg.wParam);
    EXPECT_EQ(-1, CPicButton::s_ptLastHover.x);
    EXPECT_EQ(LRESULT(7), (pButton->m_nIdleAnswer = 7, pButton->SendMessage(WM_IDLEUPDATECMDUI, 0, 0)));
}

TEST_F(PicButtonTest, StaticLoadsTheBitmapNamedByItsTextAndTakesItsSize)
{
    CPicStatic picture;
    CBitmap expected;
    ASSERT_TRUE(expected.LoadBitmap(IDR_STANDARD_SMALL));
    BITMAP bm{};
    expected.GetBitmap(&bm);
    CString name;
    name.Format("#%d", IDR_STANDARD_SMALL);
    ASSERT_TRUE(picture.Create(name, WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &m_parent, 70));
    picture.UpdateWindow();
    ASSERT_NE(HGDIOBJ(NULL), picture.m_bitmap.GetSafeHandle());
    CRect rc;
    picture.GetClientRect(&rc);
    EXPECT_EQ(CSize(bm.bmWidth, bm.bmHeight), rc.Size());
}

TEST_F(PicButtonTest, StaticShowsAPictureFile)
{
    platform::InitFileSystem();
    std::string path = std::string("C:") + THREADWICK_SOURCE_DIR + "/resources/art/wizard-finish-normal.png";
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    CPicStatic picture;
    ASSERT_TRUE(picture.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &m_parent, 72));
    picture.SetPictureFile(path.c_str());
    ASSERT_NE(HGDIOBJ(NULL), picture.m_bitmap.GetSafeHandle());
    CRect rc;
    picture.GetClientRect(&rc);
    EXPECT_EQ(CSize(52, 24), rc.Size());
    picture.UpdateWindow();
    // The face round the tile, then its dark rim.
    EXPECT_EQ(RGB(192, 192, 192), platform::headless::WindowPixel(picture.m_hWnd, 0, 0));
    EXPECT_NE(RGB(192, 192, 192), platform::headless::WindowPixel(picture.m_hWnd, 1, 12));

    // A file that cannot be read leaves the control empty.
    picture.SetPictureFile("C:\\no\\such\\picture.png");
    EXPECT_EQ(HGDIOBJ(NULL), picture.m_bitmap.GetSafeHandle());
}

TEST_F(PicButtonTest, StaticDrawsByStyleAndSize)
{
    EXPECT_EQ(CPicStatic::wayCopy, CPicStatic::ChooseDrawWay(CPicStatic::styleNone, FALSE, FALSE));
    EXPECT_EQ(CPicStatic::wayFit, CPicStatic::ChooseDrawWay(CPicStatic::styleNone, TRUE, FALSE));
    EXPECT_EQ(CPicStatic::wayTile, CPicStatic::ChooseDrawWay(CPicStatic::styleTile, TRUE, TRUE));
    EXPECT_EQ(CPicStatic::wayTransparent, CPicStatic::ChooseDrawWay(CPicStatic::styleTransparent, FALSE, FALSE));
    EXPECT_EQ(CPicStatic::wayFit, CPicStatic::ChooseDrawWay(CPicStatic::styleFit, FALSE, FALSE));

    // A control that keeps its size shows the picture fitted into it.
    CPicStatic picture;
    picture.m_bNoAutoWidth = TRUE;
    picture.m_bNoAutoHeight = TRUE;
    ASSERT_TRUE(picture.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 104, 100), &m_parent, 71));
    picture.SetPicture(AfxFindResourceHandle(MAKEINTRESOURCE(IDB_WIZARD_CANCEL), RT_BITMAP), IDB_WIZARD_CANCEL,
        CPicStatic::styleNone);
    picture.UpdateWindow();
    CRect rc;
    picture.GetClientRect(&rc);
    EXPECT_EQ(CSize(104, 100), rc.Size());
    // Twice the size, centred: rows 26 to 73, the tile's dark rim at their top.
    COLORREF above = platform::headless::WindowPixel(picture.m_hWnd, 52, 10);
    EXPECT_NE(above, platform::headless::WindowPixel(picture.m_hWnd, 52, 28));
    EXPECT_NE(above, platform::headless::WindowPixel(picture.m_hWnd, 52, 50));
    EXPECT_EQ(above, platform::headless::WindowPixel(picture.m_hWnd, 52, 90));
}

} // namespace

namespace {

TEST_F(PicButtonTest, AnOpaqueFaceIsCopiedAsItIsAndLetGoAfterEachPaint)
{
    auto button = std::make_unique<CPicButton>();
    ASSERT_TRUE(button->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(kButtonX, kButtonY, kButtonX + 10,
        kButtonY + 10), &m_parent, 60));
    HMODULE hModule = AfxFindResourceHandle(MAKEINTRESOURCE(IDB_WIZARD_NEXT), RT_BITMAP);
    button->SetBitmaps(hModule, IDB_WIZARD_NEXT, IDB_WIZARD_NEXT_PRESSED, 0, IDB_WIZARD_NEXT, 0, FALSE, 0,
        RGB(192, 192, 192));
    CPicButton* pButton = button.get();
    m_buttons.push_back(std::move(button));

    for (int round = 0; round < 2; ++round) {
        pButton->Invalidate();
        pButton->UpdateWindow();
        ASSERT_EQ(CPicButton::bmpNormal, pButton->m_nLastDrawn);
        // Every pixel of the face, read back from the bitmap itself.
        HDC hdcRead = ::CreateCompatibleDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hdcRead, pButton->m_bitmaps[CPicButton::bmpNormal].GetSafeHandle());
        ASSERT_NE(hOld, nullptr) << "the face is still held by the DC it was drawn from";
        const CSize size = pButton->GetBitmapSize();
        int nDifferent = 0;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                nDifferent += ::GetPixel(hdcRead, x, y) != platform::headless::WindowPixel(pButton->m_hWnd, x, y);
        ::SelectObject(hdcRead, hOld);
        ::DeleteDC(hdcRead);
        EXPECT_EQ(nDifferent, 0);
    }

    // The faces can go: none stays selected anywhere.
    HGDIOBJ hFace = pButton->m_bitmaps[CPicButton::bmpNormal].GetSafeHandle();
    pButton->SetBitmaps(hModule, IDB_WIZARD_NEXT_PRESSED, 0, 0, 0, 0, FALSE, 0, RGB(192, 192, 192));
    EXPECT_EQ(::GetObjectType(hFace), 0u);
}

} // namespace
