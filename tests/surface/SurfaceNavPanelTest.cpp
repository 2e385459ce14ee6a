// The surface navigation panel with real designs: hiding for one surface,
// the current surface's frame for a shirt, Previous and Next as requests to
// the palette, and the flyout chooser opened by resting on or clicking the
// surface picture.

#include "tests/surface/SurfaceTestSupport.h"

#include "controls/ToolFlyoutDlg.h"
#include "platform/gdi/Dc.h"
#include "resources/art.h"
#include "resources/mainframe.h"
#include "surface/SurfaceNavPanel.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace surfacetest {
namespace {

using platform::headless::MoveMouse;

constexpr int kPaletteX = 700;
constexpr int kPaletteY = 100;
const CRect kPanelRect(0, 312, 130, 369);

// A palette that keeps the tool pad's requests it gets.
class CRecordingPalette : public CWnd {
public:
    std::vector<std::pair<UINT, WPARAM>> m_requests;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= TPM_PREV_SURFACE && message <= TPM_GOTO_SURFACE)
            m_requests.emplace_back(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class SurfaceNavPanelTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        platform::SetClockSource(&m_clock);
        CHoverPicButton::ResetLastHover();
        // Owned by the main window, as the tool pad is, so it stays in front.
        ASSERT_TRUE(m_palette.CreateEx(0, AfxDefaultWndClass(), "", WS_POPUP | WS_VISIBLE, kPaletteX, kPaletteY, 130,
            370, m_pMain->m_hWnd, NULL));
        m_pPanel.reset(MakePanel(TRUE));
        ASSERT_NE(m_pPanel, nullptr);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        if (m_pPanel != nullptr && m_pPanel->m_hWnd != NULL)
            m_pPanel->DestroyWindow();
        m_pPanel.reset();
        CHoverPicButton::ResetLastHover();
        SurfaceTest::TearDown();
    }

    CSurfaceNavPanel* MakePanel(BOOL bTitle)
    {
        return static_cast<CSurfaceNavPanel*>(
            CreateSurfaceNavPanel(&m_palette, kPanelRect, CSurfaceNavPanel::kPanelId, bTitle));
    }

    // A shirt design shown in the panel.
    CDrawDoc* ShowShirt()
    {
        CDrawDoc* pShirt = NewDesign(AddShirtTemplate());
        EXPECT_NE(pShirt, nullptr);
        if (pShirt != nullptr)
            m_pPanel->UpdateFromView(FirstView(pShirt));
        return pShirt;
    }

    // The screen point (dx, dy) inside the panel's control nID.
    CPoint InControl(UINT nID, int dx, int dy) const
    {
        CRect rect;
        m_pPanel->GetDlgItem(nID)->GetWindowRect(&rect);
        return CPoint(rect.left + dx, rect.top + dy);
    }

    // Runs pAction once on the chooser when it is up; answers whether one
    // came up.
    static std::shared_ptr<bool> OnChooser(std::function<void(CToolFlyoutDlg&)> action)
    {
        auto pSeen = std::make_shared<bool>(false);
        platform::headless::SetIdleHandler([pSeen, action]() {
            auto* pChooser = dynamic_cast<CToolFlyoutDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
            if (*pSeen || pChooser == nullptr || !pChooser->IsWindowVisible())
                return false;
            *pSeen = true;
            action(*pChooser);
            return true;
        });
        return pSeen;
    }

    // Rests the cursor on the surface picture for two hover periods.
    void RestOnSurfacePicture()
    {
        const CPoint point = InControl(CSurfaceNavPanel::kSurfacePictureId, 10, 10);
        MoveMouse(point.x, point.y);
        Pump();
        for (int i = 0; i < 2; ++i) {
            m_clock.Advance(CHoverPicButton::kHoverDelay);
            Pump();
        }
    }

    std::vector<std::pair<UINT, WPARAM>> Requests(UINT message) const
    {
        std::vector<std::pair<UINT, WPARAM>> found;
        for (const auto& request : m_palette.m_requests)
            if (request.first == message)
                found.push_back(request);
        return found;
    }

    platform::FakeClock m_clock;
    CRecordingPalette m_palette;
    std::unique_ptr<CSurfaceNavPanel> m_pPanel;
};

} // namespace

TEST_F(SurfaceNavPanelTest, OneSurfaceHidesThePanelAndAShirtShowsTheFrameOfTheSurfaceOnShow)
{
    EXPECT_FALSE(m_pPanel->IsWindowVisible());
    EXPECT_EQ(UINT(CSurfaceNavPanel::kPanelId), UINT(m_pPanel->GetDlgCtrlID()));

    CDrawDoc* pShirt = ShowShirt();
    ASSERT_NE(pShirt, nullptr);
    EXPECT_TRUE(m_pPanel->IsWindowVisible());
    CHoverPicButton& picture = m_pPanel->GetSurfacePicture();
    EXPECT_EQ(UINT(IDB_SURFACES_TWO_SIDED), picture.GetPictureId());
    EXPECT_EQ(WORD(2), picture.GetFrameCount());
    EXPECT_EQ(WORD(0), picture.GetIndex());

    // Next, as the main frame carries it out, then the refresh that follows.
    CSurface* pFront = FirstView(pShirt);
    pFront->GetParentFrame()->SendMessage(WM_COMMAND, ID_VIEW_NEXT_SURFACE, 0);
    ASSERT_EQ(1, pShirt->GetCurrentSurfaceNumber());
    m_pPanel->UpdateFromView(static_cast<CSurface*>(pShirt->GetCurrentView()));
    EXPECT_EQ(WORD(1), picture.GetIndex());
    EXPECT_EQ(WORD(1), m_pPanel->GetLastSurface());

    // The picture shows the back's band of the strip.
    picture.UpdateWindow();
    CClientDC screen(nullptr);
    CDC memDC;
    ASSERT_TRUE(memDC.CreateCompatibleDC(&screen));
    HGDIOBJ hOld = ::SelectObject(memDC.m_hDC, picture.GetStrip());
    int nCompared = 0;
    for (int y = 2; y < 48; y += 5)
        for (int x = 2; x < 48; x += 5) {
            if (memDC.GetPixel(x, y) == memDC.GetPixel(x, y + 48))
                continue;
            EXPECT_EQ(memDC.GetPixel(x, y + 48), platform::headless::WindowPixel(picture.m_hWnd, x, y));
            ++nCompared;
        }
    ::SelectObject(memDC.m_hDC, hOld);
    EXPECT_GT(nCompared, 0);

    // A design of one surface hides it.
    CDrawDoc* pGeneral = NewDesign();
    ASSERT_NE(pGeneral, nullptr);
    m_pPanel->UpdateFromView(FirstView(pGeneral));
    EXPECT_FALSE(m_pPanel->IsWindowVisible());
    EXPECT_FALSE(m_pPanel->IsShown());

    // Back to the shirt: shown again on the surface it is on.
    m_pPanel->UpdateFromView(static_cast<CSurface*>(pShirt->GetCurrentView()));
    EXPECT_TRUE(m_pPanel->IsWindowVisible());
    EXPECT_EQ(WORD(1), picture.GetIndex());
}

TEST_F(SurfaceNavPanelTest, WithoutTheTitleEverythingSitsTwelvePixelsHigher)
{
    std::unique_ptr<CSurfaceNavPanel> pUntitled(MakePanel(FALSE));
    ASSERT_NE(pUntitled, nullptr);
    for (CSurfaceNavPanel* pPanel : {m_pPanel.get(), pUntitled.get()}) {
        const int nShift = pPanel == m_pPanel.get() ? 0 : 12;
        CRect rect;
        pPanel->GetDlgItem(CSurfaceNavPanel::kSurfacePictureId)->GetWindowRect(&rect);
        pPanel->ScreenToClient(&rect);
        EXPECT_EQ(CPoint(36, 16 - nShift), rect.TopLeft());
        pPanel->GetDlgItem(CSurfaceNavPanel::kNextId)->GetWindowRect(&rect);
        pPanel->ScreenToClient(&rect);
        EXPECT_EQ(CPoint(94, 14 - nShift), rect.TopLeft());
    }
    EXPECT_NE(nullptr, m_pPanel->GetDlgItem(0xFFFF)); // the title picture
    EXPECT_EQ(nullptr, pUntitled->GetDlgItem(0xFFFF));
    pUntitled->DestroyWindow();
}

TEST_F(SurfaceNavPanelTest, PreviousAndNextAskThePalette)
{
    ASSERT_NE(ShowShirt(), nullptr);
    const CPoint next = InControl(CSurfaceNavPanel::kNextId, 5, 5);
    platform::headless::Click(next.x, next.y);
    Pump();
    const CPoint previous = InControl(CSurfaceNavPanel::kPreviousId, 5, 5);
    platform::headless::Click(previous.x, previous.y);
    Pump();
    ASSERT_EQ(2u, m_palette.m_requests.size());
    EXPECT_EQ(TPM_NEXT_SURFACE, m_palette.m_requests[0].first);
    EXPECT_EQ(TPM_PREV_SURFACE, m_palette.m_requests[1].first);
}

TEST_F(SurfaceNavPanelTest, RestingOnThePictureOpensTheChooserAndAChoiceGoesToThePalette)
{
    ASSERT_NE(ShowShirt(), nullptr);
    int nFrames = 0;
    BOOL bOpenWhileUp = FALSE;
    auto pSeen = OnChooser([&](CToolFlyoutDlg& chooser) {
        nFrames = chooser.GetFrameCount();
        bOpenWhileUp = CSurfaceNavPanel::IsChooserOpen();
        // A second request while one is up opens no second chooser.
        m_pPanel->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SURFACE_HOVER, 0), 0);
        platform::headless::TypeKey(VK_RIGHT);
        platform::headless::TypeKey(VK_RETURN);
    });
    RestOnSurfacePicture();
    Pump();
    EXPECT_TRUE(*pSeen);
    EXPECT_EQ(2, nFrames);
    EXPECT_TRUE(bOpenWhileUp);
    EXPECT_FALSE(CSurfaceNavPanel::IsChooserOpen());
    const auto gotos = Requests(TPM_GOTO_SURFACE);
    ASSERT_EQ(1u, gotos.size());
    EXPECT_EQ(WPARAM(1), gotos[0].second);
}

TEST_F(SurfaceNavPanelTest, EscapeOrALetterInTheChooserAsksForNoSurface)
{
    ASSERT_NE(ShowShirt(), nullptr);
    for (UINT nKey : {UINT(VK_ESCAPE), UINT('B')}) {
        auto pSeen = OnChooser([nKey](CToolFlyoutDlg&) { platform::headless::TypeKey(nKey); });
        // A click on the picture opens it as resting does (apart in time, so
        // the second is no double click).
        m_clock.Advance(1000);
        const CPoint point = InControl(CSurfaceNavPanel::kSurfacePictureId, 10, 10);
        platform::headless::Click(point.x, point.y);
        Pump();
        EXPECT_TRUE(*pSeen) << nKey;
        EXPECT_TRUE(Requests(TPM_GOTO_SURFACE).empty()) << nKey;
        EXPECT_FALSE(CSurfaceNavPanel::IsChooserOpen());
    }
}

} // namespace surfacetest
