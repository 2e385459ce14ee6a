// The focus-frame buttons: one dotted frame inside control 733 while a
// button of the group 701..708 has the focus, kept while the focus moves
// inside the group, removed when it leaves; without 733 the dialog repaints.

#include "controls/FocusFrameButton.h"

#include "tests/controls/OwnerDrawTestSupport.h"

#include <vector>

namespace {

std::vector<COLORREF> FramePixels(CWnd& dlg)
{
    CRect rc;
    dlg.GetDlgItem(kittest::kFrameId)->GetWindowRect(&rc);
    dlg.ScreenToClient(&rc);
    CRect frame = FocusFrameRect(rc);
    CClientDC dc(&dlg);
    std::vector<COLORREF> pixels;
    for (int x = frame.left; x < frame.right; ++x) {
        pixels.push_back(dc.GetPixel(x, frame.top));
        pixels.push_back(dc.GetPixel(x, frame.bottom - 1));
    }
    return pixels;
}

class FocusFrameButtonTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        ResetFocusFrame();
        MakeApp();
        kittest::RegisterKitDialogs();
    }
    void TearDown() override
    {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
        ResetFocusFrame();
        FrameworkTest::TearDown();
    }

    void Open(UINT nTemplate)
    {
        ASSERT_TRUE(m_dlg.Create(nTemplate));
        ASSERT_TRUE(m_one.SubclassDlgItem(701, &m_dlg));
        ASSERT_TRUE(m_five.SubclassDlgItem(705, &m_dlg));
        m_dlg.GetDlgItem(kittest::kEditId)->SetFocus();
        m_dlg.UpdateWindow();
    }

    CDialog m_dlg;
    CFocusFrameButton m_one;
    CFocusFrameButton m_five;
};

TEST_F(FocusFrameButtonTest, FrameFollowsTheFocusInAndOutOfTheGroup)
{
    Open(kittest::kDialogId);
    const std::vector<COLORREF> without = FramePixels(m_dlg);
    EXPECT_FALSE(IsFocusFrameShown());

    m_one.SetFocus();
    EXPECT_TRUE(IsFocusFrameShown());
    const std::vector<COLORREF> with = FramePixels(m_dlg);
    EXPECT_NE(without, with);

    // Within the group nothing is drawn again.
    m_five.SetFocus();
    EXPECT_TRUE(IsFocusFrameShown());
    EXPECT_EQ(with, FramePixels(m_dlg));

    m_dlg.GetDlgItem(kittest::kEditId)->SetFocus();
    EXPECT_FALSE(IsFocusFrameShown());
    EXPECT_EQ(without, FramePixels(m_dlg));
}

TEST_F(FocusFrameButtonTest, WithoutTheFrameControlTheDialogRepaints)
{
    Open(kittest::kNoFrameDialogId);
    CRect update;
    EXPECT_FALSE(m_dlg.GetUpdateRect(&update));
    m_one.SetFocus();
    EXPECT_TRUE(IsFocusFrameShown());
    EXPECT_TRUE(m_dlg.GetUpdateRect(&update));
}

} // namespace
