// The text format panel on a real design view: what it shows for the
// selected text, and what each of its commands does to block and wrapped
// text, one undo step each.

#include "tests/text/TextPanelTestSupport.h"

#include "app/FontHelpers.h"
#include "controls/PicButton.h"
#include "pictures/Image.h"
#include "tests/model/ContentTestSupport.h"
#include "text/TextEditHost.h"
#include "surface/ToolpadPanel.h"

#include <memory>
#include <string>
#include <tuple>

namespace textpaneltest {
namespace {

class TextFormatPanelTest : public TextPanelTest {
protected:
    void SetUp() override
    {
        TextPanelTest::SetUp();
        CToolPadPanel* pPanel = CreateTextFormatPanel(m_pMain, CRect(0, 160, 126, 315));
        ASSERT_NE(pPanel, nullptr);
        m_pPanel.reset(static_cast<CTextFormatPanel*>(pPanel));
        ASSERT_EQ(m_pPanel->GetDlgCtrlID(), int(CTextFormatPanel::kPanelId));
    }

    void TearDown() override
    {
        if (m_pPanel != nullptr && m_pPanel->m_hWnd != NULL)
            m_pPanel->DestroyWindow();
        m_pPanel.reset();
        TextPanelTest::TearDown();
    }

    CTextFormatPanel& Panel() { return *m_pPanel; }
    void Show() { Panel().UpdateFromView(m_pView); }

    // A click on one of the panel's buttons, as the button reports it.
    void Click(UINT nID)
    {
        ::SendMessage(Panel().m_hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(Panel().GetDlgItem(nID)->m_hWnd));
    }
    // Chooses an item of a combo as the user does: selection, then notice.
    void Choose(CComboBox& combo, const char* pszText)
    {
        const int nIndex = combo.FindStringExact(-1, pszText);
        ASSERT_GE(nIndex, 0) << pszText;
        combo.SetCurSel(nIndex);
        ::SendMessage(Panel().m_hWnd, WM_COMMAND, MAKEWPARAM(combo.GetDlgCtrlID(), CBN_SELCHANGE), LPARAM(combo.m_hWnd));
    }

    static BOOL ListHolds(CComboBox& combo, const char* pszText) { return combo.FindStringExact(-1, pszText) >= 0; }

    std::unique_ptr<CTextFormatPanel> m_pPanel;
};

TEST_F(TextFormatPanelTest, TheSizeShownFollowsTheTextsSizeAutoSizeColumnsAndShape)
{
    EXPECT_FALSE(Panel().IsWindowVisible()) << "the tool pad shows it when it fits";
    CDrawRect* pText = AddBlockText("Hello", 24);
    Show();
    EXPECT_EQ(Panel().GetSizeText(), CString("24"));
    EXPECT_TRUE(ListHolds(Panel().m_sizeCombo, "Auto"));
    EXPECT_EQ(Panel().m_sizeCombo.GetCount(), 17);

    pText->GetTextBlock()->m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    Show();
    EXPECT_EQ(Panel().GetSizeText(), CString("Auto"));

    // Two columns offer no "Auto".
    pText->GetTextBlock()->m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
    pText->GetTextBlock()->m_nColumns = 2;
    Show();
    EXPECT_FALSE(Panel().IsAutoOffered());
    EXPECT_FALSE(ListHolds(Panel().m_sizeCombo, "Auto"));
    EXPECT_EQ(Panel().m_sizeCombo.GetCount(), 16);
    EXPECT_EQ(Panel().GetSizeText(), CString("24"));

    // Text fitted to a shape has only "Auto"; back to one column and no
    // shape the sizes return.
    pText->GetTextBlock()->m_nColumns = 1;
    pText->GetTextBlock()->m_nShape = 3;
    pText->GetTextBlock()->m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    Show();
    EXPECT_EQ(Panel().m_sizeCombo.GetCount(), 1);
    EXPECT_EQ(Panel().GetSizeText(), CString("Auto"));
    pText->GetTextBlock()->m_nShape = 0;
    pText->GetTextBlock()->m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
    Show();
    EXPECT_EQ(Panel().m_sizeCombo.GetCount(), 17);
    EXPECT_EQ(Panel().GetSizeText(), CString("24"));

    // A height no list holds (as a damaged file may give) leaves the size
    // shown as it was.
    pText->GetTextBlock()->m_logfont.lfHeight = LONG(0x80000000u);
    Show();
    EXPECT_EQ(Panel().GetSizeText(), CString("24"));

    // Wrapped text never sizes itself: its size shows, and no "Auto".
    AddWrappedText("Wrapped");
    Show();
    EXPECT_FALSE(ListHolds(Panel().m_sizeCombo, "Auto"));
    EXPECT_EQ(Panel().GetSizeText(), CString("24"));
}

TEST_F(TextFormatPanelTest, StylesAlignmentFaceAndColourAreShown)
{
    CDrawRect* pText = AddBlockText("Hello", 12);
    Edit(pText, [](CObjectAttributes& a) {
        a.m_logfont.lfWeight = 700;
        a.m_logfont.lfUnderline = 1;
        a.m_nTextValues[4] = 2;
        a.m_crText = RGB(200, 0, 0);
    });
    Show();
    EXPECT_TRUE(Panel().IsStyleOn(0));
    EXPECT_FALSE(Panel().IsStyleOn(1));
    EXPECT_TRUE(Panel().IsStyleOn(2));
    EXPECT_FALSE(Panel().IsStyleOn(3));
    EXPECT_EQ(Panel().GetAlignmentShown(), 2);
    EXPECT_EQ(Panel().m_colorButton.m_crColor, RGB(200, 0, 0));
    EXPECT_TRUE(Panel().m_colorButton.IsWindowEnabled());
    // An "on" button shows its pressed picture as its normal one.
    auto* pBold = static_cast<CPicButton*>(Panel().GetDlgItem(CTextFormatPanel::kBold));
    EXPECT_EQ(pBold->m_nBitmapIds[CPicButton::bmpNormal], 1139u);
    auto* pItalic = static_cast<CPicButton*>(Panel().GetDlgItem(CTextFormatPanel::kItalic));
    EXPECT_EQ(pItalic->m_nBitmapIds[CPicButton::bmpNormal], 1138u);
    EXPECT_EQ(pItalic->m_nBitmapIds[CPicButton::bmpDisabled], 1214u);

    // A face the list does not hold shows the default face; a face it
    // holds shows itself.
    ASSERT_GE(Panel().m_fontCombo.GetCount(), 2);
    CString strFirst, strLast;
    Panel().m_fontCombo.GetLBText(0, strFirst);
    Panel().m_fontCombo.GetLBText(Panel().m_fontCombo.GetCount() - 1, strLast);
    const CString strSavedDefault = g_defaultFaceName;
    g_defaultFaceName = strFirst;
    Edit(pText, [&](CObjectAttributes& a) { std::strcpy(a.m_logfont.lfFaceName, strLast); });
    Show();
    EXPECT_EQ(Panel().GetFaceText(), strLast);
    Edit(pText, [](CObjectAttributes& a) { std::strcpy(a.m_logfont.lfFaceName, "No Such Face Here"); });
    Show();
    EXPECT_EQ(Panel().GetFaceText(), strFirst);
    EXPECT_EQ(Face(pText->GetTextBlock()->m_logfont), CString("No Such Face Here")) << "in the display only";
    g_defaultFaceName = strSavedDefault;

    // Wrapped text shows its own alignment; block text's "How Do I?" menu
    // differs from wrapped text's.
    EXPECT_EQ(Panel().GetHowDoIMenu(), CTextFormatPanel::kBlockTextMenu);
    CDrawRect* pWrapped = AddWrappedText("Wrapped");
    pWrapped->m_pWrapText->SetJustification(1);
    Show();
    EXPECT_EQ(Panel().GetAlignmentShown(), 1);
    EXPECT_FALSE(Panel().IsStyleOn(0));
    EXPECT_EQ(Panel().GetHowDoIMenu(), CTextFormatPanel::kWrappedTextMenu);
}

TEST_F(TextFormatPanelTest, AGradientOrATextureDisablesTheColourButton)
{
    CDrawRect* pText = AddBlockText("Hello", 12);
    Show();
    EXPECT_TRUE(Panel().m_colorButton.IsWindowEnabled());
    Edit(pText, [](CObjectAttributes& a) { a.m_wFlags |= ATTR_FLAG_TEXT_GRADIENT; });
    Show();
    EXPECT_FALSE(Panel().m_colorButton.IsWindowEnabled());
    Edit(pText, [](CObjectAttributes& a) { a.m_wFlags &= ~WORD(ATTR_FLAG_TEXT_GRADIENT); });
    Show();
    EXPECT_TRUE(Panel().m_colorButton.IsWindowEnabled());
    pText->m_pPicture = new CImage;
    Show();
    EXPECT_FALSE(Panel().m_colorButton.IsWindowEnabled());
}

TEST_F(TextFormatPanelTest, BoldTogglesBlockTextInOneUndoStepAndKeepsItsColour)
{
    CDrawRect* pText = AddBlockText("Hello", 24);
    Edit(pText, [](CObjectAttributes& a) { a.m_logfont.lfWeight = 700; });
    pText->GetTextBlock()->m_crText = RGB(0, 0, 255);
    Show();
    const int nSteps = UndoSteps();

    Click(CTextFormatPanel::kBold);
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfWeight, 400);
    EXPECT_EQ(UndoSteps(), nSteps + 1);
    EXPECT_FALSE(Panel().IsStyleOn(0)) << "the panel shows the change";
    // The record's "unchanged" colour leaves the text blue.
    EXPECT_EQ(pText->GetTextBlock()->m_crText, RGB(0, 0, 255));
    EXPECT_EQ(pText->GetText(), CString("Hello"));

    Click(CTextFormatPanel::kBold);
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfWeight, 700);
    EXPECT_EQ(UndoSteps(), nSteps + 2);

    ASSERT_TRUE(m_pDoc->GetUndoList().Undo(m_pDoc));
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfWeight, 400);

    // A block without a colour of its own keeps having none.
    pText->GetTextBlock()->m_crText = COLORREF(-1);
    Click(CTextFormatPanel::kItalic);
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfItalic, 1);
    EXPECT_TRUE(pText->IsTextColorNone());
}

TEST_F(TextFormatPanelTest, StyleCommandsOnWrappedTextAreNeutralRecords)
{
    CDrawRect* pText = AddWrappedText("Hello world");
    CObjectAttributes bold;
    ASSERT_TRUE(Panel().MakeCommandRecord(pText, CTextFormatPanel::kBold, bold));
    EXPECT_EQ(bold.m_logfont.lfWeight, 700);
    EXPECT_EQ(Face(bold.m_logfont), CString(""));
    EXPECT_EQ(bold.m_logfont.lfHeight, 0);
    EXPECT_EQ(bold.m_logfont.lfItalic, 0);
    EXPECT_EQ(static_cast<LONG>(bold.m_crText), -1);

    // Italic on wrapped text always sets it, and leaves the weight neutral
    // even over bold text.
    pText->m_pWrapText->SetFontRange(0, 10, "", 0, WRAP_STYLE_BOLD);
    Show();
    CObjectAttributes italic;
    ASSERT_TRUE(Panel().MakeCommandRecord(pText, CTextFormatPanel::kItalic, italic));
    EXPECT_EQ(italic.m_logfont.lfItalic, 1);
    EXPECT_EQ(italic.m_logfont.lfWeight, 400);
    CObjectAttributes again;
    ASSERT_TRUE(Panel().MakeCommandRecord(pText, CTextFormatPanel::kBold, again));
    EXPECT_EQ(again.m_logfont.lfWeight, 700);

    // Justify sets both alignment fields.
    CObjectAttributes justify;
    ASSERT_TRUE(Panel().MakeCommandRecord(pText, CTextFormatPanel::kJustify, justify));
    EXPECT_EQ(justify.m_nTextValues[4], 3);
    EXPECT_EQ(justify.m_wJustification, 3);
}

TEST_F(TextFormatPanelTest, BoldOnWrappedTextChangesOnlyTheSelectionAndKeepsItsRuns)
{
    CDrawRect* pText = AddWrappedText("Hello world");
    CWrapText& text = *pText->m_pWrapText;
    text.AddFontRun("Courier New", 30, 0, 4, 0, 0);
    text.SetColor(RGB(255, 0, 0), 6, 10);
    text.SetSel(2, 8); // characters 2..7
    const int nSteps = UndoSteps();
    Click(CTextFormatPanel::kBold);
    EXPECT_EQ(UndoSteps(), nSteps + 1);

    auto look = [&](int n) {
        CString strFace;
        int nSize = 0, nCharSet = 0, nStyle = 0;
        text.GetFontAt(n, strFace, nSize, nCharSet, nStyle);
        return std::make_tuple(std::string(strFace), nSize, nStyle);
    };
    EXPECT_EQ(look(1), std::make_tuple(std::string("Courier New"), 30, 0));
    EXPECT_EQ(look(2), std::make_tuple(std::string("Courier New"), 30, int(WRAP_STYLE_BOLD)));
    EXPECT_EQ(look(4), std::make_tuple(std::string("Courier New"), 30, int(WRAP_STYLE_BOLD)));
    EXPECT_EQ(std::get<2>(look(7)), int(WRAP_STYLE_BOLD));
    EXPECT_EQ(std::get<1>(look(7)), 24);
    EXPECT_EQ(std::get<2>(look(8)), 0);
    // Colours were not asked for: red stays red, the rest keeps its own.
    EXPECT_EQ(text.GetColorAt(7, FALSE), RGB(255, 0, 0));
    EXPECT_EQ(text.GetColorAt(10, FALSE), RGB(255, 0, 0));
    EXPECT_EQ(pText->GetText(), CString("Hello world"));

    // Undone, the text is as it was.
    ASSERT_TRUE(m_pDoc->GetUndoList().Undo(m_pDoc));
    EXPECT_EQ(std::get<2>(look(3)), 0);
    EXPECT_EQ(std::get<0>(look(3)), std::string("Courier New"));
}

TEST_F(TextFormatPanelTest, WhileTextIsEditedInPlaceTheCommandGoesToItsSelectionAndTheFocusBackToTheEditor)
{
    CDrawRect* pText = AddWrappedText("Hello world");
    m_pView->SetFocus();
    pText->BeginTextEdit();
    ASSERT_TRUE(pText->IsTextEditActive());
    ASSERT_NE(pText->m_pTextEditor, nullptr);
    pText->m_pWrapText->SetSel(6, 11);
    Panel().m_fontCombo.SetFocus();
    Click(CTextFormatPanel::kUnderline);

    CString strFace;
    int nSize = 0, nCharSet = 0, nStyle = 0;
    pText->m_pWrapText->GetFontAt(7, strFace, nSize, nCharSet, nStyle);
    EXPECT_EQ(nStyle, int(WRAP_STYLE_UNDERLINE));
    pText->m_pWrapText->GetFontAt(2, strFace, nSize, nCharSet, nStyle);
    EXPECT_EQ(nStyle, 0);
    EXPECT_TRUE(pText->IsTextEditActive());
    const HWND hEditor = pText->m_pTextEditor->m_hWnd;
    const HWND hFocus = ::GetFocus();
    EXPECT_TRUE(hFocus == hEditor || ::IsChild(hEditor, hFocus));
    pText->EndTextEdit();

    // Block text edited in place keeps being edited, with the view's focus.
    CDrawRect* pBlock = AddBlockText("Block", 20);
    pBlock->BeginTextEdit();
    ASSERT_TRUE(pBlock->IsTextEditActive());
    Panel().m_fontCombo.SetFocus();
    Click(CTextFormatPanel::kBold);
    EXPECT_EQ(pBlock->GetTextBlock()->m_logfont.lfWeight, 700);
    EXPECT_EQ(pBlock->GetText(), CString("Block"));
    EXPECT_TRUE(pBlock->IsTextEditActive());
    EXPECT_EQ(::GetFocus(), m_pView->m_hWnd);
    pBlock->EndTextEdit();
    EXPECT_EQ(pBlock->GetTextBlock()->m_logfont.lfWeight, 700);
}

TEST_F(TextFormatPanelTest, JustifyAndAlignmentSetBothFields)
{
    CDrawRect* pBlock = AddBlockText("Hello", 12);
    Click(CTextFormatPanel::kJustify);
    EXPECT_EQ(pBlock->GetTextBlock()->m_nAlignment, 3);
    EXPECT_EQ(Panel().GetAlignmentShown(), 3);

    CDrawRect* pWrapped = AddWrappedText("Hello");
    Click(CTextFormatPanel::kAlignCenter);
    EXPECT_EQ(pWrapped->m_pWrapText->GetJustification(), 2);
    Click(CTextFormatPanel::kJustify);
    EXPECT_EQ(pWrapped->m_pWrapText->GetJustification(), 3);
}

TEST_F(TextFormatPanelTest, FaceSizeAndColourBecomeTheDefaultTextFormat)
{
    CDrawRect* pText = AddBlockText("Hello", 12);
    Show();
    // Any face of the list other than the one shown.
    ASSERT_GE(Panel().m_fontCombo.GetCount(), 1);
    CString strFace;
    Panel().m_fontCombo.GetLBText(Panel().m_fontCombo.GetCount() - 1, strFace);
    Choose(Panel().m_fontCombo, strFace);
    EXPECT_EQ(Face(pText->GetTextBlock()->m_logfont), strFace);
    EXPECT_EQ(Face(thePrefs.DefaultFont), strFace);

    Choose(Panel().m_sizeCombo, "36");
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfHeight, -36);
    EXPECT_EQ(thePrefs.DefaultFont.lfHeight, -36);
    Choose(Panel().m_sizeCombo, "Auto");
    EXPECT_TRUE(pText->GetTextBlock()->m_wFlags & TEXTBLOCK_AUTO_SIZE);
    EXPECT_EQ(Panel().GetSizeText(), CString("Auto"));
    EXPECT_EQ(thePrefs.DefaultFont.lfHeight, -36) << "Auto is no default height";
    Choose(Panel().m_sizeCombo, "8");
    EXPECT_FALSE(pText->GetTextBlock()->m_wFlags & TEXTBLOCK_AUTO_SIZE);
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfHeight, -8);

    Panel().m_colorButton.m_crColor = RGB(0, 128, 0);
    Panel().ApplyCommand(CTextFormatPanel::kColorButton);
    EXPECT_EQ(pText->GetTextBlock()->m_crText, RGB(0, 128, 0));
    EXPECT_EQ(thePrefs.DefaultTextColor, RGB(0, 128, 0));

    // On wrapped text the size and colour change only what they name.
    CDrawRect* pWrapped = AddWrappedText("Hello");
    pWrapped->m_pWrapText->AddFontRun("Courier New", 30, 0, 1, 0, WRAP_STYLE_ITALIC);
    Choose(Panel().m_sizeCombo, "48");
    CString strRunFace;
    int nSize = 0, nCharSet = 0, nStyle = 0;
    pWrapped->m_pWrapText->GetFontAt(0, strRunFace, nSize, nCharSet, nStyle);
    EXPECT_EQ(strRunFace, CString("Courier New"));
    EXPECT_EQ(nSize, 48);
    EXPECT_EQ(nStyle, int(WRAP_STYLE_ITALIC));
    Panel().m_colorButton.m_crColor = RGB(1, 2, 3);
    Panel().ApplyCommand(CTextFormatPanel::kColorButton);
    EXPECT_EQ(pWrapped->m_pWrapText->GetColorAt(4, FALSE), RGB(1, 2, 3));
}

TEST_F(TextFormatPanelTest, ALockedTextIsUnlockedAndTheViewGetsTheFocus)
{
    CDrawRect* pText = AddBlockText("Hello", 12);
    pText->m_wFlags |= OBJ_FLAG_LOCKED;
    Panel().m_fontCombo.SetFocus();
    Click(CTextFormatPanel::kUnderline);
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfUnderline, 1);
    EXPECT_FALSE(pText->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(::GetFocus(), m_pView->m_hWnd);
}

TEST_F(TextFormatPanelTest, CommandsDoNothingWithoutOneSelectedText)
{
    CDrawRect* pA = AddBlockText("A", 12);
    CDrawRect* pB = AddBlockText("B", 12, FALSE);
    m_pView->Select(pB, TRUE);
    const int nSteps = UndoSteps();
    Click(CTextFormatPanel::kBold);
    EXPECT_EQ(pA->GetTextBlock()->m_logfont.lfWeight, pB->GetTextBlock()->m_logfont.lfWeight);
    EXPECT_NE(pA->GetTextBlock()->m_logfont.lfWeight, 700);

    auto* pShape = new CDrawRect(CRect(0, 0, 100, -100));
    m_pView->Add(pShape);
    m_pView->Select(pShape);
    Click(CTextFormatPanel::kStrikeout);
    m_pView->Select(nullptr);
    Click(CTextFormatPanel::kItalic);
    EXPECT_EQ(UndoSteps(), nSteps);
}

TEST_F(TextFormatPanelTest, ATextTextureSurvivesACommand)
{
    CDrawRect* pText = AddBlockText("Hello", 12);
    auto* pTexture = new CImage;
    pTexture->m_strPath = "C:\\texture.bmp";
    pText->m_pPicture = pTexture;
    Click(CTextFormatPanel::kBold);
    EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfWeight, 700);
    ASSERT_NE(pText->m_pPicture, nullptr);
    EXPECT_EQ(pText->m_pPicture->m_strPath, CString("C:\\texture.bmp"));

    // A loaded texture too.
    CDrawRect* pLoaded = AddBlockText("Hello", 12);
    pLoaded->m_pPicture = contenttest::NewLoadedPicture();
    ASSERT_GE(pLoaded->m_pPicture->m_nHandle, 1);
    const CString strPath = pLoaded->m_pPicture->GetPathName();
    Click(CTextFormatPanel::kItalic);
    EXPECT_EQ(pLoaded->GetTextBlock()->m_logfont.lfItalic, 1);
    ASSERT_NE(pLoaded->m_pPicture, nullptr);
    EXPECT_GE(pLoaded->m_pPicture->m_nHandle, 1);
    EXPECT_EQ(pLoaded->m_pPicture->GetPathName(), strPath);
}

} // namespace
} // namespace textpaneltest
