// The colour combo box: finding items by their data, the swatch of each
// mode (solid, hollow, hatched), the selection colours and the closed
// field's text.

#include "controls/ColorComboBox.h"

#include "tests/controls/OwnerDrawTestSupport.h"

namespace {

using kittest::MemoryCanvas;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class ColorComboBoxTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        MakeApp();
        kittest::RegisterKitDialogs();
        ASSERT_TRUE(m_dlg.Create(kittest::kDialogId));
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        FrameworkTest::TearDown();
    }

    void Attach(CColorCombo& combo) { ASSERT_TRUE(combo.SubclassDlgItem(kittest::kComboId, &m_dlg)); }

    static void Draw(CColorCombo& combo, MemoryCanvas& canvas, int nItem, UINT state, DWORD_PTR data,
        const RECT& rc, UINT action = ODA_DRAWENTIRE)
    {
        DRAWITEMSTRUCT dis = kittest::MakeDrawItem(canvas.dc, combo.m_hWnd, nItem, action, state, rc, data);
        dis.CtlType = ODT_COMBOBOX;
        combo.DrawItem(&dis);
    }

    CDialog m_dlg;
};

const CRect kItem(0, 0, 100, 20);

TEST_F(ColorComboBoxTest, SwatchIsSolidInTheItemColour)
{
    CColorCombo combo(1, FALSE);
    Attach(combo);
    combo.SetItemData(combo.AddString("Red"), kRed);
    MemoryCanvas canvas(100, 20);
    Draw(combo, canvas, 0, 0, kRed, kItem);

    CRect swatch = CColorCombo::SwatchRect(kItem);
    EXPECT_EQ(CRect(1, 3, 29, 17), swatch);
    EXPECT_EQ(kBlack, canvas.At(swatch.left, swatch.top));
    EXPECT_EQ(kRed, canvas.At(swatch.CenterPoint().x, swatch.CenterPoint().y));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), canvas.At(0, 0));
    EXPECT_EQ(0, canvas.Count(kItem, MemoryCanvas::kUntouched));
    // The text starts 6 pixels right of the swatch.
    EXPECT_EQ(0, canvas.Count(CRect(swatch.right, 0, swatch.right + 6, 20), ::GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_GT(canvas.Count(CRect(swatch.right + 6, 0, 100, 20), ::GetSysColor(COLOR_WINDOWTEXT)), 0);
}

TEST_F(ColorComboBoxTest, HollowAndHatchedSwatches)
{
    CColorCombo combo(CColorCombo::kModeColorOrNone, FALSE);
    Attach(combo);
    combo.SetItemData(combo.AddString("None"), CColorCombo::kNoColor);
    MemoryCanvas canvas(100, 20);
    Draw(combo, canvas, 0, 0, CColorCombo::kNoColor, kItem);
    CRect swatch = CColorCombo::SwatchRect(kItem);
    EXPECT_EQ(kBlack, canvas.At(swatch.left, swatch.CenterPoint().y));
    EXPECT_EQ(kBlack, canvas.At(swatch.right - 1, swatch.CenterPoint().y));
    CRect inside = swatch;
    inside.DeflateRect(1, 1);
    EXPECT_EQ(inside.Width() * inside.Height(), canvas.Count(inside, ::GetSysColor(COLOR_WINDOW)));

    // Hatch mode: the data is the hatch style, drawn in black.
    CColorCombo hatches(CColorCombo::kModeHatch, FALSE);
    MemoryCanvas hatched(100, 20);
    Draw(hatches, hatched, 0, 0, HS_CROSS, kItem);
    const int black = hatched.Count(inside, kBlack);
    EXPECT_GT(black, 0);
    EXPECT_LT(black, inside.Width() * inside.Height());
}

TEST_F(ColorComboBoxTest, SelectedAndDisabledItems)
{
    CColorCombo combo;
    Attach(combo);
    combo.SetItemData(combo.AddString("Red"), kRed);
    CRect swatch = CColorCombo::SwatchRect(kItem);

    MemoryCanvas selected(100, 20);
    Draw(combo, selected, 0, ODS_SELECTED, kRed, kItem);
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), selected.At(0, 0));
    EXPECT_EQ(kRed, selected.At(swatch.CenterPoint().x, swatch.CenterPoint().y));

    MemoryCanvas disabled(100, 20);
    Draw(combo, disabled, 0, ODS_DISABLED, kRed, kItem);
    EXPECT_EQ(0, disabled.Count(kItem, kRed));
    EXPECT_EQ(0, disabled.Count(kItem, kBlack));

    // Only whole-item and selection passes draw.
    MemoryCanvas focus(100, 20);
    Draw(combo, focus, 0, 0, kRed, kItem, ODA_FOCUS);
    EXPECT_EQ(kItem.Width() * kItem.Height(), focus.Count(kItem, MemoryCanvas::kUntouched));
}

TEST_F(ColorComboBoxTest, ClosedFieldShowsTheTextOfTheItemWithItsData)
{
    CColorCombo combo;
    EXPECT_EQ(-1, combo.FindItemByData(kRed)); // no window
    Attach(combo);
    EXPECT_EQ(-1, combo.FindItemByData(kRed)); // empty
    combo.SetItemData(combo.AddString("Black"), kBlack);
    combo.SetItemData(combo.AddString("Red"), kRed);
    combo.SetItemData(combo.AddString("Also red"), kRed);
    EXPECT_EQ(1, combo.FindItemByData(kRed));
    MemoryCanvas byIndex(100, 20);
    Draw(combo, byIndex, 1, 0, kRed, kItem);
    MemoryCanvas byData(100, 20);
    Draw(combo, byData, -1, 0, kRed, kItem);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(byIndex.At(x, y), byData.At(x, y)) << x << "," << y;

    // Data that no item holds: the swatch but no text.
    MemoryCanvas unknown(100, 20);
    Draw(combo, unknown, -1, 0, RGB(0, 0, 255), kItem);
    CRect swatch = CColorCombo::SwatchRect(kItem);
    CRect text(swatch.right + 1, 0, 100, 20);
    EXPECT_EQ(text.Width() * text.Height(), unknown.Count(text, ::GetSysColor(COLOR_WINDOW)));
}

} // namespace
