// The holder's drawing of its block and the block's drawing values: the
// frame the holder hands over, the cache a repeated paint keeps, and where
// the shadow goes on screens and printers.

#include "app/PrefData.h"
#include "model/TextContentHolder.h"
#include "platform/base/Arithmetic.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "text/TextBlock.h"
#include "text/TextOwner.h"

#include <gtest/gtest.h>

namespace {

int g_nZoom = 100;

int TestZoom(const CDrawObj*)
{
    return g_nZoom;
}

class TextBlockHolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        m_saved = GetTextOwnerServices();
        TextOwnerServices services = m_saved;
        services.pfnZoom = &TestZoom;
        SetTextOwnerServices(services);
        g_nZoom = 100;
        m_savedFlags = thePrefs.Flags;
        thePrefs.Flags = 0;
        ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
        HDC hScreen = ::GetDC(NULL);
        m_bitmap.Attach(::CreateCompatibleBitmap(hScreen, 300, 200));
        ::ReleaseDC(NULL, hScreen);
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.PatBlt(0, 0, 300, 200, WHITENESS);
    }
    void TearDown() override
    {
        m_dc.m_bPrinting = FALSE;
        m_dc.SelectObject(m_pOld);
        thePrefs.Flags = m_savedFlags;
        SetTextOwnerServices(m_saved);
    }

    int CountDark(const CRect& rect)
    {
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                n += GetRValue(m_dc.GetPixel(x, y)) < 128 ? 1 : 0;
        return n;
    }

    TextOwnerServices m_saved;
    WORD m_savedFlags = 0;
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

TEST_F(TextBlockHolderTest, TheShadowMovesByPointsScaledLikeTheFont)
{
    CTextBlock block(nullptr);
    block.m_nShadowX = 3;
    block.m_nShadowY = -6;
    block.m_wFlags &= ~WORD(TEXTBLOCK_SHADOW);
    EXPECT_EQ(block.GetShadowOffset(&m_dc), CSize(0, 0));

    block.m_wFlags |= TEXTBLOCK_SHADOW;
    const int nDpi = m_dc.GetDeviceCaps(LOGPIXELSX);
    ASSERT_GT(nDpi, 0);
    EXPECT_EQ(block.GetShadowOffset(&m_dc), CSize(MulDiv(3, nDpi, 72), MulDiv(-6, nDpi, 72)));
    g_nZoom = 200;
    EXPECT_EQ(block.GetShadowOffset(&m_dc), CSize(2 * MulDiv(3, nDpi, 72), 2 * MulDiv(-6, nDpi, 72)));
    // A printer's pixels are the page's: no zoom.
    m_dc.m_bPrinting = TRUE;
    EXPECT_EQ(block.GetShadowOffset(&m_dc), CSize(MulDiv(3, nDpi, 72), MulDiv(-6, nDpi, 72)));
    EXPECT_EQ(block.GetShadowOffset(nullptr), CSize(0, 0));
}

TEST_F(TextBlockHolderTest, TheHolderHandsItsFrameOverAndDrawsTheBlock)
{
    CTextContentHolder holder(nullptr);
    CTextBlock* pBlock = holder.GetBlock();
    pBlock->SetFont(-20, "Liberation Sans", 0);
    pBlock->m_crText = RGB(0, 0, 0);
    pBlock->SetText("Hello");
    const CRect frame(20, 20, 280, 180);
    holder.Draw(nullptr, frame);
    EXPECT_NE(pBlock->m_rectFrame, frame);

    holder.Draw(&m_dc, frame);
    EXPECT_EQ(pBlock->m_rectFrame, frame);
    EXPECT_GT(CountDark(frame), 0);
    EXPECT_EQ(CountDark(CRect(0, 0, 300, 20)), 0);

    // An empty clip region leaves the DC as it was.
    m_dc.PatBlt(0, 0, 300, 200, WHITENESS);
    CRgn empty;
    empty.CreateRectRgn(0, 0, 0, 0);
    holder.Draw(&m_dc, frame, &empty);
    EXPECT_EQ(CountDark(CRect(0, 0, 300, 200)), 0);
}

} // namespace
