// The Text Effects dialog, driven on real windows of the headless back end:
// what it shows for a record and an object, what OK writes back, the order
// of its checks, columns against warp shapes, and a texture that lives on
// in the saved design.

#include "tests/surface/SurfaceTestSupport.h"

#include "app/Utilities.h"
#include "controls/GridPicker.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "print/MergeSource.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/CommDlg.h"
#include "resources/SupportResources.h"
#include "text/TextBlock.h"
#include "text/dialogs/TextEffectsDlg.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PictureChooserSteps.h"
#include "tests/support/MemoryCanvas.h"
#include "tests/support/TestHome.h"
#include "tests/text/BentInkSupport.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using surfacetest::Click;
using surfacetest::ItemText;
using surfacetest::OnDialogWith;
using testing_support::DialogStep;
using testing_support::DriveActiveWindow;

constexpr int kShapeCell0Value = 15; // the first value of the shape picker's map

// A step on the Text Effects dialog once it is up.
DialogStep OnEffects(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_TE_FONT_SAMPLE, std::move(action));
}

std::vector<std::string> ListItems(HWND hDlg, int nID)
{
    std::vector<std::string> items;
    const int nCount = int(::SendDlgItemMessage(hDlg, nID, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        char text[32] = {};
        ::SendDlgItemMessage(hDlg, nID, LB_GETTEXT, WPARAM(i), LPARAM(text));
        items.push_back(text);
    }
    return items;
}

std::string SelectedItem(HWND hDlg, int nID)
{
    const int nSel = int(::SendDlgItemMessage(hDlg, nID, LB_GETCURSEL, 0, 0));
    if (nSel < 0)
        return "";
    char text[32] = {};
    ::SendDlgItemMessage(hDlg, nID, LB_GETTEXT, WPARAM(nSel), LPARAM(text));
    return text;
}

// Selects the size item as the user's click would, with its notice.
void ChooseSize(HWND hDlg, const char* pszSize)
{
    const int nIndex = int(::SendDlgItemMessage(hDlg, IDC_TE_SIZE, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(pszSize)));
    ::SendDlgItemMessage(hDlg, IDC_TE_SIZE, LB_SETCURSEL, WPARAM(nIndex), 0);
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TE_SIZE, LBN_SELCHANGE), LPARAM(::GetDlgItem(hDlg, IDC_TE_SIZE)));
}

// A radio or check box clicked: its state flips as the button's own click
// would, then the dialog hears of it.
void Check(HWND hDlg, int nID, BOOL bOn)
{
    ::CheckDlgButton(hDlg, nID, bOn ? BST_CHECKED : BST_UNCHECKED);
    Click(hDlg, nID);
}

void ChooseFill(HWND hDlg, int nRadio)
{
    ::CheckRadioButton(hDlg, IDC_TE_FILL_COLOR, IDC_TE_FILL_PICTURE, nRadio);
    Click(hDlg, nRadio);
}

CGridPicker* PickerOf(HWND hDlg, int nID)
{
    return dynamic_cast<CGridPicker*>(CWnd::FromHandlePermanent(::GetDlgItem(hDlg, nID)));
}

BOOL IsEnabled(HWND hDlg, int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, nID));
}

// A 4 x 4 BMP of one colour.
std::string SmallBmp(COLORREF color)
{
    const int nRow = 4 * 3;
    const int nPixels = nRow * 4;
    std::string s;
    auto u16 = [&s](unsigned v) {
        s += char(v & 0xFF);
        s += char((v >> 8) & 0xFF);
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    s += "BM";
    u32(14 + 40 + nPixels);
    u32(0);
    u32(14 + 40);
    u32(40);
    u32(4);
    u32(4);
    u16(1);
    u16(24);
    u32(0);
    u32(nPixels);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int i = 0; i < 16; ++i) {
        s += char(GetBValue(color));
        s += char(GetGValue(color));
        s += char(GetRValue(color));
    }
    return s;
}

class TextEffectsDlgTest : public surfacetest::SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        App()->SetRegistryKey("Threadwick Tests");
        platform::InitFileSystem();
        platform::SetDriveTable(platform::DriveTable::Build("", "", {}));
        m_root = testing_support::MakeTempDir("texteffects");
        // OK changes the default text format; every test starts from the
        // same one.
        m_savedFont = thePrefs.DefaultFont;
        m_savedFlags = thePrefs.Flags;
        m_savedColor = thePrefs.DefaultTextColor;
        m_savedColor2 = thePrefs.DefaultTextColor2;
        m_savedFormat = {thePrefs.TextFormat1, thePrefs.TextFormat2, thePrefs.TextFormat3, thePrefs.TextFormat4};
        thePrefs.Flags = 0;
        thePrefs.TextFormat3 = 0;
        thePrefs.TextFormat4 = 0;
        CTextEffectsDlg::SetSharedAlignment(0);

        // The face every test types: the first the dialog will list.
        CFontList fonts;
        CClientDC dc(CWnd::GetDesktopWindow());
        ::EnumFontFamilies(dc.GetSafeHdc(), nullptr, EnumTrueTypeFontProc, reinterpret_cast<LPARAM>(&fonts));
        ASSERT_GT(fonts.GetCount(), 0) << "no TrueType face to list";
        m_strFace = fonts.GetAt(0)->m_logFont.lfFaceName;

        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
    }

    void TearDown() override
    {
        thePrefs.DefaultFont = m_savedFont;
        thePrefs.Flags = m_savedFlags;
        thePrefs.DefaultTextColor = m_savedColor;
        thePrefs.DefaultTextColor2 = m_savedColor2;
        thePrefs.TextFormat1 = m_savedFormat[0];
        thePrefs.TextFormat2 = m_savedFormat[1];
        thePrefs.TextFormat3 = m_savedFormat[2];
        thePrefs.TextFormat4 = m_savedFormat[3];
        platform::headless::SetIdleHandler(nullptr);
        platform::ResetDriveTable();
        SurfaceTest::TearDown();
    }

    // A record of block text in the test's face.
    void FillRecord(CObjectAttributes& attrs, const char* pszText, int nSize, int nColumns = 1, int nShape = 0) const
    {
        attrs.m_bHasText = TRUE;
        attrs.m_bBlockText = TRUE;
        attrs.m_strBlockText = pszText;
        attrs.m_logfont = LOGFONT{};
        std::strncpy(attrs.m_logfont.lfFaceName, m_strFace, LF_FACESIZE - 1);
        attrs.m_logfont.lfHeight = -nSize;
        attrs.m_logfont.lfWeight = FW_NORMAL;
        attrs.m_nTextFlag = nSize == 0 ? 1 : 0;
        attrs.m_nTextValues[CObjectAttributes::TextColumns] = nColumns;
        attrs.m_nTextValues[CObjectAttributes::TextWarpShape] = nShape;
    }

    // A block-text object on the view.
    CDrawRect* AddText(const char* pszText, int nSize)
    {
        auto* pObj = new CDrawRect(CRect(100, 400, 400, 200));
        m_pView->Add(pObj);
        pObj->SetText(pszText, TRUE);
        CObjectAttributes attrs;
        pObj->GetAttributes(attrs);
        FillRecord(attrs, pszText, nSize);
        pObj->SetAttributes(attrs);
        return pObj;
    }

    // Runs the dialog on the record (and object) with the steps.
    INT_PTR Run(CObjectAttributes& attrs, std::vector<DialogStep> steps, CDrawObj* pObj = nullptr,
        CTextEffectsDlg** ppDlg = nullptr)
    {
        CTextEffectsDlg dlg(m_pMain);
        dlg.SetObject(pObj, &attrs, FALSE, m_pDoc);
        if (ppDlg != nullptr)
            *ppDlg = &dlg;
        DriveActiveWindow(std::move(steps));
        return dlg.DoModal();
    }

    size_t Boxes() const { return platform::headless::MessageBoxes().size(); }

    std::string m_root;
    CString m_strFace;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    LOGFONT m_savedFont{};
    WORD m_savedFlags = 0;
    COLORREF m_savedColor = 0;
    COLORREF m_savedColor2 = 0;
    std::array<WORD, 4> m_savedFormat{};
};

} // namespace

TEST(TextEffectsTextTest, StoredLineEndsShowAsBreaksAndComeBackAsLineFeeds)
{
    EXPECT_STREQ(CTextEffectsDlg::TextForEdit("one\ftwo\rthree\nfour\n"), "onetwothree\r\nfour\r\n");
    EXPECT_STREQ(CTextEffectsDlg::TextForEdit("\n\n"), "\r\n\r\n");
    EXPECT_STREQ(CTextEffectsDlg::TextForRecord("onetwothree\r\nfour\r\n"), "onetwothree\nfour\n");
    EXPECT_STREQ(CTextEffectsDlg::TextForRecord("a\rb"), "ab");
    EXPECT_STREQ(CTextEffectsDlg::TextForRecord(CTextEffectsDlg::TextForEdit("x\ny\n\nz")), "x\ny\n\nz");
}

TEST_F(TextEffectsDlgTest, TextWithFormFeedsAndBareLineFeedsIsShownWithBreaksAndStoredWithLineFeeds)
{
    CObjectAttributes attrs;
    FillRecord(attrs, "one\ftwo\rthree\nfour", 24);
    std::string shown;
    EXPECT_EQ(Run(attrs, {OnEffects([&](HWND hDlg) {
        shown = ItemText(hDlg, IDC_TE_TEXT);
        Click(hDlg, IDOK);
    })}),
        IDOK);
    EXPECT_EQ(shown, "onetwothree\r\nfour");
    EXPECT_STREQ(attrs.m_strBlockText, "onetwothree\nfour");
    EXPECT_TRUE(attrs.m_bBlockText);
}

TEST_F(TextEffectsDlgTest, TheSizeListFollowsColumnsAndShape)
{
    struct Case {
        int nColumns;
        int nShape;
        size_t nItems;
        const char* pszFirst;
        BOOL bShapeOn;
        BOOL bShapeEnabled;
    };
    const Case cases[] = {
        {1, 0, 17, "Auto", FALSE, TRUE},
        {1, 5, 1, "Auto", TRUE, TRUE},
        {2, 0, 16, "8", FALSE, FALSE},
        // Several columns put the shape aside.
        {3, 5, 16, "8", FALSE, FALSE},
    };
    for (const Case& c : cases) {
        CObjectAttributes attrs;
        FillRecord(attrs, "Text", 24, c.nColumns, c.nShape);
        std::vector<std::string> items;
        BOOL bShapeOn = FALSE;
        BOOL bShapeEnabled = FALSE;
        Run(attrs, {OnEffects([&](HWND hDlg) {
            items = ListItems(hDlg, IDC_TE_SIZE);
            bShapeOn = ::IsDlgButtonChecked(hDlg, IDC_TE_SHAPE) == BST_CHECKED;
            bShapeEnabled = IsEnabled(hDlg, IDC_TE_SHAPE);
            Click(hDlg, IDCANCEL);
        })});
        ASSERT_EQ(items.size(), c.nItems) << c.nColumns << " columns, shape " << c.nShape;
        EXPECT_EQ(items.front(), c.pszFirst);
        EXPECT_EQ(items.back(), c.nItems > 1 ? "72" : "Auto");
        EXPECT_EQ(bShapeOn, c.bShapeOn);
        EXPECT_EQ(bShapeEnabled, c.bShapeEnabled);
    }
}

TEST_F(TextEffectsDlgTest, WithTwoColumnsEightStaysEightAndAnAutoSizeShowsTheFontsSize)
{
    CObjectAttributes attrs;
    FillRecord(attrs, "Two columns", 10, 2);
    std::string shown;
    EXPECT_EQ(Run(attrs, {OnEffects([&](HWND hDlg) {
        shown = SelectedItem(hDlg, IDC_TE_SIZE);
        // 8 is the first item of a list without "Auto".
        ChooseSize(hDlg, "8");
        Click(hDlg, IDOK);
    })}),
        IDOK);
    EXPECT_EQ(shown, "10");
    EXPECT_EQ(attrs.m_logfont.lfHeight, -8);
    EXPECT_EQ(attrs.m_nTextFlag, 0);

    // An automatic size has no item of its own in a list without "Auto".
    for (int nHeight : {-20, 0}) {
        CObjectAttributes automatic;
        FillRecord(automatic, "Auto", 0, 2);
        automatic.m_logfont.lfHeight = nHeight;
        Run(automatic, {OnEffects([&](HWND hDlg) {
            shown = SelectedItem(hDlg, IDC_TE_SIZE);
            Click(hDlg, IDCANCEL);
        })});
        EXPECT_EQ(shown, nHeight == 0 ? "12" : "20");
    }

    // One column: "Auto" is the first item and means size 0.
    CObjectAttributes one;
    FillRecord(one, "One column", 10);
    Run(one, {OnEffects([&](HWND hDlg) {
        ChooseSize(hDlg, "Auto");
        Click(hDlg, IDOK);
    })});
    EXPECT_EQ(one.m_logfont.lfHeight, 0);
    EXPECT_EQ(one.m_nTextFlag, 1);
}

TEST_F(TextEffectsDlgTest, EveryWarpShapeReopensAsItself)
{
    for (int nShape = 1; nShape <= CTextEffectsDlg::kShapeCount; ++nShape) {
        CObjectAttributes attrs;
        FillRecord(attrs, "Warp", 0, 1, nShape);
        int nValue = -2;
        Run(attrs, {OnEffects([&](HWND hDlg) {
            if (CGridPicker* pPicker = PickerOf(hDlg, IDC_TE_SHAPE_PICKER))
                nValue = pPicker->GetSelectedValue();
            Click(hDlg, IDOK);
        })});
        EXPECT_EQ(nValue, nShape - 1) << "shape " << nShape;
        EXPECT_EQ(attrs.m_nTextValues[CObjectAttributes::TextWarpShape], nShape) << "shape " << nShape;
    }

    // Checking Sha&pe picks the first cell, whose shape the value map names.
    CObjectAttributes attrs;
    FillRecord(attrs, "Warp", 24);
    std::vector<std::string> items;
    Run(attrs, {OnEffects([&](HWND hDlg) {
        Check(hDlg, IDC_TE_SHAPE, TRUE);
        items = ListItems(hDlg, IDC_TE_SIZE);
        Click(hDlg, IDOK);
    })});
    EXPECT_EQ(attrs.m_nTextValues[CObjectAttributes::TextWarpShape], kShapeCell0Value + 1);
    EXPECT_EQ(items, std::vector<std::string>{"Auto"});
    EXPECT_EQ(attrs.m_nTextFlag, 1);
}

TEST_F(TextEffectsDlgTest, OkChecksTheFontThenTheTextureThenWarnsOfALongFilledText)
{
    CObjectAttributes attrs;
    FillRecord(attrs, "This text has 31 characters!!!.", 24);
    ASSERT_EQ(attrs.m_strBlockText.GetLength(), 31);
    std::strncpy(attrs.m_logfont.lfFaceName, "No Such Face At All", LF_FACESIZE - 1);
    const size_t nBefore = Boxes();
    CTextEffectsDlg* pDlg = nullptr;
    bool bFontFocused = false;
    HWND hFocusAfterTexture = NULL;
    HWND hFontCombo = NULL;
    HWND hSelect = NULL;
    CImage texture;
    const std::string bmp = SmallBmp(RGB(0, 128, 0));
    ASSERT_TRUE(texture.CreateFromMemory(bmp.data(), DWORD(bmp.size()), CImage::kDefaultLoadMode));
    const INT_PTR nResult = Run(attrs,
        {OnEffects([&](HWND hDlg) {
             hFontCombo = ::GetDlgItem(hDlg, IDC_TE_FONT);
             hSelect = ::GetDlgItem(hDlg, IDC_TE_SELECT_TEXTURE);
             ChooseFill(hDlg, IDC_TE_FILL_PICTURE);
             Click(hDlg, IDOK);
             bFontFocused = ::GetFocus() == hFontCombo || ::IsChild(hFontCombo, ::GetFocus());
             ::SetDlgItemText(hDlg, IDC_TE_FONT, m_strFace);
             Click(hDlg, IDOK);
             hFocusAfterTexture = ::GetFocus();
             pDlg->SetTexture(&texture);
             Click(hDlg, IDOK);
         })},
        nullptr, &pDlg);
    EXPECT_EQ(nResult, IDOK);
    const auto& boxes = platform::headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), nBefore + 3);
    EXPECT_EQ(boxes[nBefore].text, "The specified font or font size could not be found.");
    EXPECT_EQ(boxes[nBefore + 1].text, "Please select a texture.");
    EXPECT_EQ(boxes[nBefore + 2].text,
        "Applying a picture to text is very resource intensive.\nIt is recommended that you either limit the length "
        "of your\ntext, or change the fill option.");
    EXPECT_TRUE(bFontFocused);
    EXPECT_EQ(hFocusAfterTexture, hSelect);
    EXPECT_STREQ(attrs.m_logfont.lfFaceName, m_strFace);

    // Thirty characters and a gradient: no warning.
    CObjectAttributes shortText;
    FillRecord(shortText, "This text has 30 characters!!.", 24);
    const size_t nShort = Boxes();
    Run(shortText, {OnEffects([&](HWND hDlg) {
        ChooseFill(hDlg, IDC_TE_FILL_GRADIENT);
        Click(hDlg, IDOK);
    })});
    EXPECT_EQ(Boxes(), nShort);
    EXPECT_NE(shortText.m_wFlags & ATTR_FLAG_TEXT_GRADIENT, 0);
}

TEST_F(TextEffectsDlgTest, OkWritesTheRecordAndTheObjectInOneStepAndTheDefaultFontIntoTheProfile)
{
    CDrawRect* pObj = AddText("Hello", 12);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    const int nSteps = m_pDoc->GetUndoList().GetCount();
    EXPECT_EQ(Run(attrs,
                  {OnEffects([&](HWND hDlg) {
                      ::SetDlgItemText(hDlg, IDC_TE_TEXT, "Hello\r\nthere");
                      ChooseSize(hDlg, "36");
                      // Bold: its one-cell toggle is clicked.
                      HWND hBold = ::GetDlgItem(hDlg, IDC_TE_BOLD);
                      ::SendMessage(hBold, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
                      ::SendMessage(hBold, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
                      Check(hDlg, IDC_TE_SHADOW, TRUE);
                      Click(hDlg, IDOK);
                  })},
                  pObj),
        IDOK);
    EXPECT_STREQ(attrs.m_strBlockText, "Hello\nthere");
    EXPECT_EQ(attrs.m_logfont.lfHeight, -36);
    EXPECT_EQ(attrs.m_logfont.lfWeight, FW_BOLD);
    EXPECT_EQ(attrs.m_nTextFlag, 0);
    EXPECT_TRUE(attrs.m_bBlockText);
    EXPECT_NE(attrs.m_wTextFlags & OBJ_TEXT_SHADOW, 0);
    // The object already shows it, after one undo step.
    ASSERT_NE(pObj->GetTextBlock(), nullptr);
    EXPECT_STREQ(pObj->GetText(), "Hello\nthere");
    EXPECT_EQ(pObj->GetTextBlock()->m_logfont.lfHeight, -36);
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps + 1);

    const CString strStored = App()->GetProfileString("Preferences", "DefaultFont", "");
    EXPECT_EQ(strStored.Find(m_strFace + ",B,36,"), 0) << static_cast<LPCTSTR>(strStored);
    EXPECT_EQ(thePrefs.DefaultFont.lfHeight, -36);
}

TEST_F(TextEffectsDlgTest, CancelLeavesRecordObjectAndUndoAlone)
{
    CDrawRect* pObj = AddText("Keep", 18);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    const int nSteps = m_pDoc->GetUndoList().GetCount();
    EXPECT_EQ(Run(attrs,
                  {OnEffects([&](HWND hDlg) {
                      ::SetDlgItemText(hDlg, IDC_TE_TEXT, "Changed");
                      ChooseSize(hDlg, "48");
                      Click(hDlg, IDCANCEL);
                  })},
                  pObj),
        IDCANCEL);
    EXPECT_STREQ(attrs.m_strBlockText, "Keep");
    EXPECT_STREQ(pObj->GetText(), "Keep");
    EXPECT_EQ(pObj->GetTextBlock()->m_logfont.lfHeight, -18);
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps);
}

TEST_F(TextEffectsDlgTest, TextEmptiedInTheDialogLeavesTheObjectWithoutText)
{
    CDrawRect* pObj = AddText("Gone soon", 18);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    EXPECT_EQ(Run(attrs,
                  {OnEffects([](HWND hDlg) {
                      ::SetDlgItemText(hDlg, IDC_TE_TEXT, "");
                      Click(hDlg, IDOK);
                  })},
                  pObj),
        IDOK);
    EXPECT_FALSE(attrs.m_bHasText);
    EXPECT_FALSE(pObj->HasText());
}

TEST_F(TextEffectsDlgTest, TwoColumnsPutTheShapeAsideAndOneColumnBringsItBack)
{
    CObjectAttributes attrs;
    FillRecord(attrs, "Columns", 0, 1, 7);
    CDrawRect* pObj = AddText("Columns", 0);
    pObj->GetAttributes(attrs);
    attrs.m_nTextValues[CObjectAttributes::TextWarpShape] = 7;
    struct Seen {
        BOOL bShapeOn = FALSE;
        BOOL bShapeEnabled = FALSE;
        std::vector<std::string> items;
    } withTwo, backToOne;
    auto look = [](HWND hDlg, Seen& seen) {
        seen.bShapeOn = ::IsDlgButtonChecked(hDlg, IDC_TE_SHAPE) == BST_CHECKED;
        seen.bShapeEnabled = IsEnabled(hDlg, IDC_TE_SHAPE);
        seen.items = ListItems(hDlg, IDC_TE_SIZE);
    };
    auto columns = [](int nRadio) {
        return OnDialogWith(IDC_TEXT_COLUMNS_1, [nRadio](HWND hDlg) {
            ::CheckRadioButton(hDlg, IDC_TEXT_COLUMNS_1, IDC_TEXT_COLUMNS_5, nRadio);
            Click(hDlg, IDOK);
        });
    };
    EXPECT_EQ(Run(attrs,
                  {
                      OnEffects([](HWND hDlg) {
                          ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TE_COLUMNS, BN_CLICKED), 0);
                      }),
                      columns(IDC_TEXT_COLUMNS_2),
                      OnEffects([&](HWND hDlg) {
                          look(hDlg, withTwo);
                          ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TE_COLUMNS, BN_CLICKED), 0);
                      }),
                      columns(IDC_TEXT_COLUMNS_1),
                      OnEffects([&](HWND hDlg) {
                          look(hDlg, backToOne);
                          Click(hDlg, IDOK);
                      }),
                  },
                  pObj),
        IDOK);
    EXPECT_FALSE(withTwo.bShapeOn);
    EXPECT_FALSE(withTwo.bShapeEnabled);
    EXPECT_EQ(withTwo.items.size(), 16u);
    EXPECT_TRUE(backToOne.bShapeOn);
    EXPECT_TRUE(backToOne.bShapeEnabled);
    EXPECT_EQ(backToOne.items, std::vector<std::string>{"Auto"});
    EXPECT_EQ(attrs.m_nTextValues[CObjectAttributes::TextWarpShape], 7);
    EXPECT_EQ(attrs.m_nTextValues[CObjectAttributes::TextColumns], 1);
}

TEST_F(TextEffectsDlgTest, ALineOpensWithItsTextControlsDisabledAndNoFieldButton)
{
    CObjectAttributes attrs;
    FillRecord(attrs, "", 12);
    attrs.m_nShape = kLineShapeKind;
    std::vector<BOOL> enabled;
    BOOL bFieldShown = TRUE;
    Run(attrs, {OnEffects([&](HWND hDlg) {
        for (int nID : {IDC_TE_TEXT, IDC_TE_FONT, IDC_TE_SIZE, IDC_TE_IMPORT, IDC_TE_FILL_COLOR, IDC_TE_SHAPE})
            enabled.push_back(IsEnabled(hDlg, nID));
        enabled.push_back(IsEnabled(hDlg, IDC_TE_ALIGN));
        bFieldShown = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_TE_INSERT_FIELD));
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_EQ(enabled, std::vector<BOOL>(7, FALSE));
    EXPECT_FALSE(bFieldShown);
}

TEST_F(TextEffectsDlgTest, APictureFillWithTileKeepsTextureAndTileThroughSaveAndReopen)
{
    CDrawRect* pObj = AddText("Textured", 36);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    CImage texture;
    const std::string bmp = SmallBmp(RGB(200, 0, 0));
    ASSERT_TRUE(texture.CreateFromMemory(bmp.data(), DWORD(bmp.size()), CImage::kDefaultLoadMode));
    CTextEffectsDlg* pDlg = nullptr;
    EXPECT_EQ(Run(attrs,
                  {OnEffects([&](HWND hDlg) {
                      pDlg->SetTexture(&texture);
                      ChooseFill(hDlg, IDC_TE_FILL_PICTURE);
                      ::CheckRadioButton(hDlg, IDC_TE_TILE, IDC_TE_FIT, IDC_TE_TILE);
                      Click(hDlg, IDOK);
                  })},
                  pObj, &pDlg),
        IDOK);
    ASSERT_NE(pObj->m_pPicture, nullptr);
    EXPECT_GE(pObj->m_pPicture->m_nHandle, 1);
    EXPECT_NE(pObj->m_pPicture->m_wFlags & IMAGE_FLAG_TILED, 0);
    EXPECT_TRUE(pObj->HasText());

    // The record written describes the object: applying it again keeps the
    // texture.
    pObj->SetAttributes(attrs);
    ASSERT_NE(pObj->m_pPicture, nullptr);

    const std::string path = platform::WindowsPathFor(m_root + "/textured.gen");
    ASSERT_TRUE(m_pDoc->OnSaveDocument(path.c_str()));
    m_pDoc->OnCloseDocument();
    Pump();
    auto* pReopened = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(path.c_str()));
    Pump();
    ASSERT_NE(pReopened, nullptr);
    CSurface* pView = FirstView(pReopened);
    ASSERT_NE(pView, nullptr);
    // The first design is gone with its window: the dialogs below work on
    // the reopened one.
    m_pDoc = pReopened;
    m_pView = pView;
    ASSERT_EQ(pView->GetObjects().GetCount(), 1);
    auto* pKept = static_cast<CDrawObj*>(pView->GetObjects().GetHead());
    ASSERT_NE(pKept->m_pPicture, nullptr);
    EXPECT_NE(pKept->m_pPicture->m_wFlags & IMAGE_FLAG_TILED, 0);
    CObjectAttributes kept;
    pKept->GetAttributes(kept);
    CTextEffectsDlg reopened(m_pMain);
    reopened.SetObject(pKept, &kept, FALSE, pReopened);
    EXPECT_EQ(reopened.GetFillKind(), CTextEffectsDlg::FillPicture);
    ASSERT_NE(reopened.GetTexture(), nullptr);

    // Colour takes the texture away again.
    std::string tileShown;
    Run(kept,
        {OnEffects([&](HWND hDlg) {
            tileShown = ::IsDlgButtonChecked(hDlg, IDC_TE_TILE) == BST_CHECKED ? "tile" : "fit";
            ChooseFill(hDlg, IDC_TE_FILL_COLOR);
            Click(hDlg, IDOK);
        })},
        pKept);
    EXPECT_EQ(tileShown, "tile");
    EXPECT_EQ(pKept->m_pPicture, nullptr);
    EXPECT_TRUE(pKept->HasText());
}

TEST_F(TextEffectsDlgTest, NewTextTakesTheDefaultFormatAndOkMakesIt)
{
    std::memset(&thePrefs.DefaultFont, 0, sizeof thePrefs.DefaultFont);
    std::strncpy(thePrefs.DefaultFont.lfFaceName, m_strFace, LF_FACESIZE - 1);
    thePrefs.DefaultFont.lfHeight = -30;
    thePrefs.DefaultTextColor = RGB(1, 2, 3);
    auto* pObj = new CDrawRect(CRect(100, 400, 400, 200));
    pObj->m_bBlockText = TRUE;
    m_pView->Add(pObj);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);

    DriveActiveWindow({OnEffects([](HWND hDlg) { Click(hDlg, IDCANCEL); })});
    EXPECT_FALSE(EditTextEffects(*pObj, attrs, m_pMain, m_pDoc));
    EXPECT_FALSE(pObj->HasText());

    std::string size;
    DriveActiveWindow({OnEffects([&](HWND hDlg) {
        size = SelectedItem(hDlg, IDC_TE_SIZE);
        ::SetDlgItemText(hDlg, IDC_TE_TEXT, "Hello");
        Click(hDlg, IDOK);
    })});
    const int nSteps = m_pDoc->GetUndoList().GetCount();
    EXPECT_TRUE(EditTextEffects(*pObj, attrs, m_pMain, m_pDoc));
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps + 1);
    // 30 points has no item: nothing is selected, and the size stays.
    EXPECT_EQ(size, "");
    ASSERT_TRUE(pObj->HasText());
    EXPECT_STREQ(pObj->GetText(), "Hello");
    EXPECT_EQ(pObj->GetTextBlock()->m_crText, RGB(1, 2, 3));
    EXPECT_EQ(pObj->GetTextBlock()->m_logfont.lfHeight, -30);
    EXPECT_STREQ(pObj->GetTextBlock()->m_logfont.lfFaceName, m_strFace);

    // An object not placed yet leaves the undo list to whoever places it.
    CDrawRect loose(CRect(0, 100, 100, 0));
    loose.m_bBlockText = TRUE;
    CObjectAttributes looseAttrs;
    loose.GetAttributes(looseAttrs);
    DriveActiveWindow({OnEffects([](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_TE_TEXT, "Loose");
        Click(hDlg, IDOK);
    })});
    EXPECT_TRUE(EditTextEffects(loose, looseAttrs, m_pMain, m_pDoc));
    EXPECT_STREQ(loose.GetText(), "Loose");
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps + 1);
}

// The object as the view draws it, on white: its ink in the view's
// device pixels.
texttest::InkMap DrawnInk(CSurface* pView, CDrawObj* pObj, const CSize& size)
{
    testing_support::MemoryCanvas canvas(size.cx, size.cy);
    canvas.DC()->FillSolidRect(0, 0, size.cx, size.cy, RGB(255, 255, 255));
    const int nSaved = canvas.DC()->SaveDC();
    pView->OnPrepareDC(canvas.DC(), nullptr);
    pObj->Draw(canvas.DC());
    canvas.DC()->RestoreDC(nSaved);
    return texttest::InkOf(canvas, size.cx, size.cy, RGB(255, 255, 255));
}

TEST_F(TextEffectsDlgTest, NewShapedTextIsDrawnAsWholeOutlines)
{
    // A word typed into a tall frame and bent by the steep wave.
    std::memset(&thePrefs.DefaultFont, 0, sizeof thePrefs.DefaultFont);
    std::strncpy(thePrefs.DefaultFont.lfFaceName, m_strFace, LF_FACESIZE - 1);
    auto* pObj = new CDrawRect(CRect(100, 500, 260, 250));
    pObj->m_bBlockText = TRUE;
    pObj->m_bOutline = FALSE;
    m_pView->Add(pObj);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    constexpr int kWaveValue = 12;
    DriveActiveWindow({OnEffects([&](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_TE_TEXT, "Wavy");
        Check(hDlg, IDC_TE_SHAPE, TRUE);
        if (CGridPicker* pPicker = PickerOf(hDlg, IDC_TE_SHAPE_PICKER))
            pPicker->SetCurSel(kWaveValue, FALSE);
        Click(hDlg, IDOK);
    })});
    ASSERT_TRUE(EditTextEffects(*pObj, attrs, m_pMain, m_pDoc));
    CTextBlock* pBlock = pObj->GetTextBlock();
    ASSERT_NE(pBlock, nullptr);
    ASSERT_EQ(pBlock->m_nShape, kWaveValue + 1);

    // New text keeps outlines on the screen: it is drawn as glyph outlines,
    // not through the cached bitmap.
    CRect client;
    m_pView->GetClientRect(&client);
    const CSize size(std::max(client.Width(), 64), std::max(client.Height(), 64));
    EXPECT_EQ(pBlock->m_wFlags & TEXTBLOCK_NO_OUTLINES, 0);
    const texttest::InkMap outlines = DrawnInk(m_pView, pObj, size);
    EXPECT_EQ(pBlock->m_pCachedBitmap, nullptr);
    EXPECT_EQ(pBlock->m_pCachedPicture, nullptr);
    ASSERT_GT(outlines.Count(), 300);

    // Whole: the same block bent as a bitmap, column by column, shows the
    // same strokes in the same place.
    pBlock->m_wFlags |= TEXTBLOCK_NO_OUTLINES;
    pBlock->FreeCache();
    const texttest::InkMap bitmap = DrawnInk(m_pView, pObj, size);
    EXPECT_NE(pBlock->m_pCachedBitmap, nullptr);
    EXPECT_GE(texttest::NearShare(outlines, bitmap, 2), 0.97);
    EXPECT_GE(texttest::NearShare(bitmap, outlines, 2), 0.97);
}

TEST_F(TextEffectsDlgTest, ApplyImmediatelyClosesAtOnceWithABlank)
{
    CObjectAttributes attrs;
    FillRecord(attrs, "", 12);
    attrs.m_bHasText = FALSE;
    thePrefs.DefaultFont.lfHeight = -14;
    CTextEffectsDlg dlg(m_pMain, TRUE);
    dlg.SetObject(nullptr, &attrs, FALSE, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(attrs.m_strBlockText, " ");
    EXPECT_EQ(attrs.m_logfont.lfHeight, -14);
    EXPECT_TRUE(dlg.IsChanged());
}

TEST_F(TextEffectsDlgTest, InsertFieldShowsWithAMergeSourceAndPutsTheFieldBetweenAtSigns)
{
    const std::string list = m_root + "/list.txt";
    std::ofstream(list, std::ios::binary) << "Name\tCity\r\nAnn\tOslo\r\n";
    auto* pSource = new CTextMergeSource(m_pDoc);
    pSource->SetFileName(platform::WindowsPathFor(list).c_str());
    delete m_pDoc->m_pMergeSource;
    m_pDoc->m_pMergeSource = pSource;

    CObjectAttributes attrs;
    FillRecord(attrs, "Dear , hello", 24);
    BOOL bShown = FALSE;
    std::string text;
    DWORD dwCaret = 0;
    EXPECT_EQ(Run(attrs,
                  {
                      OnEffects([&](HWND hDlg) {
                          bShown = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_TE_INSERT_FIELD));
                          ::SendDlgItemMessage(hDlg, IDC_TE_TEXT, EM_SETSEL, 5, 5);
                          ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TE_INSERT_FIELD, BN_CLICKED), 0);
                      }),
                      OnDialogWith(IDC_CHOOSE_FIELD_LIST,
                          [](HWND hDlg) {
                              ::SendDlgItemMessage(hDlg, IDC_CHOOSE_FIELD_LIST, LB_SETCURSEL, 1, 0);
                              Click(hDlg, IDOK);
                          }),
                      OnEffects([&](HWND hDlg) {
                          text = ItemText(hDlg, IDC_TE_TEXT);
                          dwCaret = DWORD(::SendDlgItemMessage(hDlg, IDC_TE_TEXT, EM_GETSEL, 0, 0));
                          Click(hDlg, IDOK);
                      }),
                  },
                  nullptr),
        IDOK);
    EXPECT_TRUE(bShown);
    EXPECT_EQ(text, "Dear @City@, hello");
    EXPECT_EQ(LOWORD(dwCaret), 11);
    EXPECT_EQ(HIWORD(dwCaret), 11);
    EXPECT_STREQ(attrs.m_strBlockText, "Dear @City@, hello");
}

TEST_F(TextEffectsDlgTest, ImportShowsTheFileWithLineBreaksAndAnUnreadableFileLeavesTheText)
{
    const std::string lf = m_root + "/lf.txt";
    std::ofstream(lf, std::ios::binary) << std::string("caf\xC3\xA9\nwith\0nul\n", 15);
    // A file that opens but cannot be read: the start of this process's
    // memory is not mapped.
    const std::string unreadable = m_root + "/unreadable.txt";
    std::filesystem::create_symlink("/proc/self/mem", unreadable);
    auto chooseFile = [](const std::string& hostPath) {
        return [strPath = CString(platform::WindowsPathFor(hostPath).c_str())](HWND hDlg) {
            HWND hOk = ::GetDlgItem(hDlg, IDOK);
            if (hOk == NULL || ::GetDlgItem(hDlg, edt1) == NULL)
                return false;
            ::SetDlgItemText(hDlg, edt1, strPath);
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(hOk));
            return true;
        };
    };
    auto pressImport = [](HWND hDlg) {
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TE_IMPORT, BN_CLICKED), 0);
    };
    CObjectAttributes attrs;
    FillRecord(attrs, "old", 24);
    std::string afterImport;
    std::string afterFailure;
    DWORD dwCaret = 1;
    const size_t nBoxes = Boxes();
    EXPECT_EQ(Run(attrs,
                  {
                      OnEffects(pressImport),
                      chooseFile(lf),
                      OnEffects([&](HWND hDlg) {
                          afterImport = ItemText(hDlg, IDC_TE_TEXT);
                          dwCaret = DWORD(::SendDlgItemMessage(hDlg, IDC_TE_TEXT, EM_GETSEL, 0, 0));
                          pressImport(hDlg);
                      }),
                      chooseFile(unreadable),
                      OnEffects([&](HWND hDlg) {
                          afterFailure = ItemText(hDlg, IDC_TE_TEXT);
                          Click(hDlg, IDOK);
                      }),
                  }),
        IDOK);
    EXPECT_EQ(afterImport, "caf\xE9\r\nwithnul\r\n");
    EXPECT_EQ(dwCaret, 0u);
    EXPECT_EQ(afterFailure, afterImport);
    ASSERT_EQ(Boxes(), nBoxes + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("could not be read"), std::string::npos);
    EXPECT_STREQ(attrs.m_strBlockText, "caf\xE9\nwithnul\n");
}

TEST_F(TextEffectsDlgTest, SelectLoadsTheChosenPictureAsTheTexture)
{
    threadwick::RegisterSupportResources();
    InitCommonControls();
    std::filesystem::create_directories(m_root + "/program/support");
    platform::SetProgramFolderForTests(m_root + "/program");
    const std::string bmp = m_root + "/texture.bmp";
    std::ofstream(bmp, std::ios::binary) << SmallBmp(RGB(0, 0, 250));
    const CString strPath = platform::WindowsPathFor(bmp).c_str();

    CDrawRect* pObj = AddText("Chosen", 24);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    const INT_PTR nResult = Run(attrs,
        {
            OnEffects([](HWND hDlg) {
                ChooseFill(hDlg, IDC_TE_FILL_PICTURE);
                ::CheckRadioButton(hDlg, IDC_TE_TILE, IDC_TE_FIT, IDC_TE_FIT);
                ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TE_SELECT_TEXTURE, BN_CLICKED), 0);
            }),
            testing_support::OpenSinglePicture(),
            testing_support::ChoosePictureFile(strPath),
            OnEffects([](HWND hDlg) { Click(hDlg, IDOK); }),
        },
        pObj);
    platform::SetProgramFolderForTests("");
    EXPECT_EQ(nResult, IDOK);
    ASSERT_NE(pObj->m_pPicture, nullptr);
    EXPECT_GE(pObj->m_pPicture->m_nHandle, 1);
    // "Fit to text" stretches the picture: it is not tiled.
    EXPECT_EQ(pObj->m_pPicture->m_wFlags & IMAGE_FLAG_TILED, 0);
}
