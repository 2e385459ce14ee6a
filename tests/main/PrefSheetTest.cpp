// The Preferences sheet through real messages on the headless back end:
// each page shows the option bits of the store and writes them back, the
// Defaults page's grid table and units, the order in which it refuses bad
// folders and where the focus goes, the 16-colour display, Apply and
// Cancel, the four commands that open the sheet, and the profile holding
// every choice for the next start.

#include "AppTestSupport.h"

#include "app/PicDisplayMode.h"
#include "app/main/PrefBackground.h"
#include "app/main/Preferences.h"
#include "controls/GridPicker.h"
#include "platform/framework/CmdTarget.h"
#include "platform/gdi/Display.h"
#include "platform/ui/CommDlg.h"
#include "platform/profile/Registry.h"
#include "resources/assist.h"
#include "resources/pictureopen.h"
#include "resources/prefs.h"
#include "surface/SurfaceBackground.h"
#include "tests/controls/GridPickerSteps.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/GoldenPicture.h"

#include <filesystem>
#include <fstream>

namespace {

using apptest::AppTest;
using apptest::WriteProfileDword;

constexpr int kRedCell = 9;
constexpr COLORREF kRed = RGB(255, 0, 0);

std::string WindowText(HWND hWnd)
{
    char szText[256] = {};
    ::GetWindowText(hWnd, szText, sizeof szText);
    return szText;
}

class PrefSheetTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeApp();
        m_pMain = new CFrameWnd;
        ASSERT_TRUE(m_pMain->Create(nullptr, "main"));
        m_app->m_pMainWnd = m_pMain;
        UseProgramProfile();
        std::filesystem::create_directories(m_programFolder + "/Pictures");
        thePrefs.LoadPreferences();
        thePrintPrefs.LoadPrinting();
        g_surfaceBackground.Reset();
    }

    void TearDown() override
    {
        CloseSheet();
        g_surfaceBackground.Reset();
        platform::SetScreenBitsPixel(0);
        AppTest::TearDown();
    }

    // The sheet, modeless, on page nPage.
    void Open(int nPage)
    {
        CloseSheet();
        m_pSheet = std::make_unique<CPreferences>(IDS_PREFERENCES_CAPTION, m_pMain, UINT(nPage));
        m_pSheet->m_pagePrinting.m_strPrinter = "Printer: Test version 1.0";
        ASSERT_TRUE(m_pSheet->Create(m_pMain));
        ASSERT_NE(Page(), HWND(NULL));
    }

    void CloseSheet()
    {
        platform::headless::SetIdleHandler(nullptr);
        if (m_pSheet && m_pSheet->m_hWnd)
            m_pSheet->DestroyWindow();
        m_pSheet.reset();
    }

    // A start of the program on the same profile: the store and the
    // printing word read again from what the profile file holds.
    void Restart()
    {
        CloseSheet();
        platform::FlushRegistry();
        platform::ResetRegistryForTests();
        thePrefs.Reset();
        thePrintPrefs.Reset();
        thePrefs.LoadPreferences();
        thePrintPrefs.LoadPrinting();
    }

    HWND Sheet() const { return m_pSheet->m_hWnd; }
    HWND Page() const
    {
        CPropertyPage* pPage = m_pSheet->GetActivePage();
        return pPage != nullptr ? pPage->m_hWnd : NULL;
    }
    HWND Item(int nID) const { return ::GetDlgItem(Page(), nID); }
    bool Checked(int nID) const { return ::SendMessage(Item(nID), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int nID) { ::SendMessage(Item(nID), BM_CLICK, 0, 0); }
    void Type(int nID, const CString& text) { ::SendMessage(Item(nID), WM_SETTEXT, 0, LPARAM(LPCTSTR(text))); }
    void Press(int nID)
    {
        ::SendMessage(Sheet(), WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(Sheet(), nID)));
    }
    bool SheetShown() const { return Sheet() != NULL && ::IsWindowVisible(Sheet()); }
    bool ApplyEnabled() const { return ::IsWindowEnabled(::GetDlgItem(Sheet(), ID_APPLY_NOW)) != FALSE; }

    // Answers the colour popup by clicking cell nCell.
    void AnswerColorPopup(int nCell)
    {
        testing_support::DriveActiveWindow({testing_support::PickGridCell(nCell)});
    }

    CString ProgramPath(const std::string& tail) const
    {
        CString path("C:");
        path += (m_programFolder + tail).c_str();
        path.Replace('/', '\\');
        return path;
    }

    CFrameWnd* m_pMain = nullptr;
    std::unique_ptr<CPreferences> m_pSheet;
};

// ---- The Preferences page ---------------------------------------------------------------------

struct OptionBit {
    int nControl;  // the check box, or the radio button that stands for 1
    WORD CPrefData::*pWord;
    WORD wBit;
    bool bSetWhenChecked; // false: the bit is set when the control is clear
};

const OptionBit kOptionBits[] = {
    {IDC_PREF_RESIZE_CENTER, &CPrefData::Flags, PREF_FLAG_RESIZE_FROM_CENTER, true},
    {IDC_PREF_RESET_TOOL, &CPrefData::Flags, PREF_FLAG_RESET_TOOL, true},
    {IDC_PREF_MOVE_OUTLINE, &CPrefData::Flags, PREF_FLAG_MOVE_FILLED, false},
    {IDC_PREF_SIZING_CURSORS, &CPrefData::Flags, PREF_FLAG_PLAIN_SIZING_CURSORS, false},
    {IDC_PREF_SOUNDS, &CPrefData::AddlFlags, PREF_ADDL_PLAY_SOUNDS, true},
    {IDC_PREF_MULTI_PREVIEW, &CPrefData::Flags, PREF_FLAG_NO_MULTI_PREVIEW, false},
    {IDC_PREF_SHOW_LAUNCHER, &CPrefData::AddlFlags, PREF_ADDL_SHOW_LAUNCHER, true},
    {IDC_PREF_AUTO_MARGINS, &CPrefData::Add2Flags, PREF_ADD2_AUTO_ADJUST_MARGINS, true},
    {IDC_PREF_PROPORTIONAL, &CPrefData::Add2Flags, PREF_ADD2_PROPORTIONAL_RESIZE, true},
    {IDC_PREF_INSERT_OTHER, &CPrefData::Flags, PREF_FLAG_INSERT_FROM_GALLERY, false},
};

// The radio buttons' partners: clicking the partner clears the radio.
int PartnerOf(int nControl)
{
    switch (nControl) {
    case IDC_PREF_RESIZE_CENTER:
        return IDC_PREF_RESIZE_EDGES;
    case IDC_PREF_MOVE_OUTLINE:
        return IDC_PREF_MOVE_FILLED;
    case IDC_PREF_INSERT_OTHER:
        return IDC_PREF_INSERT_GALLERY;
    default:
        return 0;
    }
}

TEST_F(PrefSheetTest, PreferencesPageShowsEachBitAndWritesItBackBothWays)
{
    for (const OptionBit& option : kOptionBits) {
        for (bool bSet : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "control " << option.nControl << " bit set " << bSet);
            WORD& word = thePrefs.*option.pWord;
            const WORD wOthers = WORD(word & ~option.wBit);
            word = bSet ? WORD(wOthers | option.wBit) : wOthers;
            Open(CPreferences::pagePreferences);
            const bool bShown = bSet == option.bSetWhenChecked;
            EXPECT_EQ(Checked(option.nControl), bShown);

            // The user turns it the other way; OK writes the other bit and
            // leaves the rest of the word alone.
            const int nPartner = PartnerOf(option.nControl);
            Click(bShown && nPartner != 0 ? nPartner : option.nControl);
            EXPECT_EQ(Checked(option.nControl), !bShown);
            Press(IDOK);
            EXPECT_FALSE(SheetShown());
            EXPECT_EQ((word & option.wBit) != 0, !bSet);
            EXPECT_EQ(WORD(word & ~option.wBit), wOthers);
        }
    }
}

TEST_F(PrefSheetTest, SixteenColourDisplayClearsAndDisablesTheMultiplePreview)
{
    thePrefs.Flags &= WORD(~PREF_FLAG_NO_MULTI_PREVIEW);
    ASSERT_TRUE(platform::SetScreenBitsPixel(4));
    Open(CPreferences::pagePreferences);
    EXPECT_FALSE(Checked(IDC_PREF_MULTI_PREVIEW));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_PREF_MULTI_PREVIEW)));
    Press(IDOK);
    EXPECT_NE(thePrefs.Flags & PREF_FLAG_NO_MULTI_PREVIEW, 0);

    // 256 colours are enough; a profile that names a 386 is not.
    ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    thePrefs.Flags &= WORD(~PREF_FLAG_NO_MULTI_PREVIEW);
    Open(CPreferences::pagePreferences);
    EXPECT_TRUE(Checked(IDC_PREF_MULTI_PREVIEW));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_PREF_MULTI_PREVIEW)));
    WriteProfileDword("Application", "Processor", 386);
    Open(CPreferences::pagePreferences);
    EXPECT_FALSE(Checked(IDC_PREF_MULTI_PREVIEW));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_PREF_MULTI_PREVIEW)));
}

// ---- The Printing page ------------------------------------------------------------------------

constexpr int kShapedButtons[] = {IDC_PRINT_SHAPED_AUTO, IDC_PRINT_SHAPED_1, IDC_PRINT_SHAPED_2,
    IDC_PRINT_SHAPED_3, IDC_PRINT_SHAPED_4};
constexpr int kRegularButtons[] = {IDC_PRINT_TEXT_AUTO, IDC_PRINT_TEXT_DIRECT, IDC_PRINT_TEXT_BITMAP};

// The method bits each shaped-text choice stores.
constexpr WORD kShapedBits[] = {PRINT_PREF_SHAPED_AUTO, PRINT_PREF_SHAPED_METHOD1 | PRINT_PREF_SHAPED_METHOD,
    PRINT_PREF_SHAPED_METHOD, PRINT_PREF_SHAPED_METHOD3 | PRINT_PREF_SHAPED_METHOD, 0};
constexpr WORD kShapedMask = PRINT_PREF_SHAPED_AUTO | PRINT_PREF_SHAPED_METHOD1 | PRINT_PREF_SHAPED_METHOD
    | PRINT_PREF_SHAPED_METHOD3;
constexpr WORD kRegularBits[] = {PRINT_PREF_TEXT_AUTO, PRINT_PREF_TEXT_DIRECT, 0};
constexpr WORD kRegularMask = PRINT_PREF_TEXT_AUTO | PRINT_PREF_TEXT_DIRECT;

TEST_F(PrefSheetTest, EveryPairOfPrintingMethodsIsStoredAndShownAgainAfterARestart)
{
    for (int nShaped = 0; nShaped < 5; ++nShaped) {
        for (int nRegular = 0; nRegular < 3; ++nRegular) {
            SCOPED_TRACE(::testing::Message() << "shaped " << nShaped << " regular " << nRegular);
            Open(CPreferences::pagePrinting);
            Click(kShapedButtons[nShaped]);
            Click(kRegularButtons[nRegular]);
            Press(IDOK);
            ASSERT_FALSE(SheetShown());
            EXPECT_EQ(thePrintPrefs.Printing & kShapedMask, kShapedBits[nShaped]);
            EXPECT_EQ(thePrintPrefs.Printing & kRegularMask, kRegularBits[nRegular]);

            Restart();
            Open(CPreferences::pagePrinting);
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(Checked(kShapedButtons[i]), i == nShaped) << "shaped button " << i;
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(Checked(kRegularButtons[i]), i == nRegular) << "regular button " << i;
        }
    }
}

TEST_F(PrefSheetTest, ShapedTextMethodOneSwitchesGlyphTextOffAndEveryOtherChoiceKeepsIt)
{
    for (int nShaped = 0; nShaped < 5; ++nShaped) {
        SCOPED_TRACE(::testing::Message() << "shaped " << nShaped);
        Open(CPreferences::pagePrinting);
        Click(kShapedButtons[nShaped]);
        Press(IDOK);
        ASSERT_FALSE(SheetShown());
        EXPECT_EQ(thePrintPrefs.IsGlyphTextOff() != FALSE, nShaped == 1);
        // Still so at the next start.
        Restart();
        EXPECT_EQ(thePrintPrefs.IsGlyphTextOff() != FALSE, nShaped == 1);
    }
}

TEST_F(PrefSheetTest, PrintingChecksAreTheInvertedBitsAndDitheringSwitchesTheDisplayFlag)
{
    thePrintPrefs.Printing = CPrintPrefData::kDefaultPrinting | PRINT_PREF_DISPLAY_FLAG | PRINT_PREF_NO_FAST_GRAPHICS;
    thePrintPrefs.Printing &= WORD(~(PRINT_PREF_NO_DITHER | PRINT_PREF_ALT_CLIPPING));
    Open(CPreferences::pagePrinting);
    EXPECT_TRUE(Checked(IDC_PRINT_DITHERING));
    EXPECT_FALSE(Checked(IDC_PRINT_FAST_GRAPHICS));
    EXPECT_FALSE(Checked(IDC_PRINT_ALT_CLIPPING));
    EXPECT_EQ(WindowText(Item(IDC_PRINT_PRINTER)), "Printer: Test version 1.0");

    // Dithering off sets its "not allowed" bit and the display flag goes.
    Click(IDC_PRINT_DITHERING);
    Click(IDC_PRINT_FAST_GRAPHICS);
    Click(IDC_PRINT_ALT_CLIPPING);
    Press(IDOK);
    EXPECT_NE(thePrintPrefs.Printing & PRINT_PREF_NO_DITHER, 0);
    EXPECT_EQ(thePrintPrefs.Printing & PRINT_PREF_NO_FAST_GRAPHICS, 0);
    EXPECT_NE(thePrintPrefs.Printing & PRINT_PREF_ALT_CLIPPING, 0);
    EXPECT_EQ(GetPicDisplayMode() & PIC_DISPLAY_DITHER, 0u);

    Open(CPreferences::pagePrinting);
    Click(IDC_PRINT_DITHERING);
    Press(IDOK);
    EXPECT_EQ(thePrintPrefs.Printing & PRINT_PREF_NO_DITHER, 0);
    EXPECT_NE(GetPicDisplayMode() & PIC_DISPLAY_DITHER, 0u);
}

// ---- The Defaults page ------------------------------------------------------------------------

constexpr int kGridButtons[] = {IDC_PREF_GRID_NONE, IDC_PREF_GRID_1, IDC_PREF_GRID_2, IDC_PREF_GRID_3,
    IDC_PREF_GRID_4};

TEST_F(PrefSheetTest, GridSpacingShowsAsTheGridChoice)
{
    struct Case {
        bool bGrid;
        int nSpacing;
        int nChoice;
    };
    const Case cases[] = {
        {true, 787, 4}, {true, 393, 3}, {true, 98, 1}, {true, 125, 1}, {true, 126, 2}, {true, 250, 2},
        {true, 251, 3}, {true, 500, 3}, {true, 501, 4}, {true, 1000, 4}, {false, 787, 0}, {false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "spacing " << c.nSpacing << " grid " << c.bGrid);
        thePrefs.GridSpacing = c.nSpacing;
        if (c.bGrid)
            thePrefs.Flags |= PREF_FLAG_DEFAULT_GRID;
        else
            thePrefs.Flags &= WORD(~PREF_FLAG_DEFAULT_GRID);
        Open(CPreferences::pageDefaults);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Checked(kGridButtons[i]), i == c.nChoice) << "grid button " << i;
    }
}

TEST_F(PrefSheetTest, GridChoiceAndUnitsStoreTheTablesSpacing)
{
    const int inches[] = {0, 125, 250, 500, 1000};
    const int centimetres[] = {0, 98, 196, 393, 787};
    for (int nUnits : {0, 1}) {
        for (int nChoice = 0; nChoice < 5; ++nChoice) {
            SCOPED_TRACE(::testing::Message() << "units " << nUnits << " choice " << nChoice);
            Open(CPreferences::pageDefaults);
            Click(nUnits == 0 ? IDC_PREF_UNITS_INCHES : IDC_PREF_UNITS_CM);
            Click(kGridButtons[nChoice]);
            Press(IDOK);
            ASSERT_FALSE(SheetShown());
            EXPECT_EQ(thePrefs.GridSpacing, nUnits == 0 ? inches[nChoice] : centimetres[nChoice]);
            const WORD wGridBits = PREF_FLAG_DEFAULT_GRID | PREF_FLAG_GRID_LINES;
            EXPECT_EQ(thePrefs.Flags & wGridBits, nChoice > 0 ? wGridBits : 0);
            EXPECT_EQ((thePrefs.Flags & PREF_FLAG_INCHES) != 0, nUnits == 0);
        }
    }
}

TEST_F(PrefSheetTest, CentimetresAndTwoCentimetreGridSurviveARestart)
{
    thePrefs.Flags |= PREF_FLAG_INCHES;
    Open(CPreferences::pageDefaults);
    EXPECT_EQ(WindowText(Item(IDC_PREF_GRID_4)), "&1 inch grid");
    Click(IDC_PREF_UNITS_CM);
    // The grid labels follow the units at once.
    EXPECT_EQ(WindowText(Item(IDC_PREF_GRID_1)), "1/&4 cm grid");
    EXPECT_EQ(WindowText(Item(IDC_PREF_GRID_4)), "2 c&m grid");
    Click(IDC_PREF_GRID_4);
    Press(IDOK);
    EXPECT_EQ(thePrefs.GridSpacing, 787);

    Restart();
    EXPECT_EQ(thePrefs.GridSpacing, 787);
    EXPECT_EQ(thePrefs.Flags & PREF_FLAG_INCHES, 0);
    Open(CPreferences::pageDefaults);
    EXPECT_TRUE(Checked(IDC_PREF_UNITS_CM));
    EXPECT_TRUE(Checked(IDC_PREF_GRID_4));
    EXPECT_EQ(WindowText(Item(IDC_PREF_GRID_4)), "2 c&m grid");
}

TEST_F(PrefSheetTest, FoldersAreRefusedInOrderWithTheFocusOnTheField)
{
    const CString strGood = ProgramPath("/Pictures");
    const CString strMissing = ProgramPath("/no-such-folder");
    Open(CPreferences::pageDefaults);
    Type(IDC_PREF_DESIGN_FOLDER, strMissing);
    Type(IDC_PREF_PICTURE_FOLDER, strMissing);
    Click(IDC_PREF_BKG_CHOOSE_PICTURE);
    Type(IDC_PREF_BKG_FILE, ProgramPath("/missing.bmp"));

    struct Step {
        int nFocus;        // the field the focus lands in
        int nFix;          // then made right
        CString strFix;
    };
    const Step steps[] = {
        {IDC_PREF_DESIGN_FOLDER, IDC_PREF_DESIGN_FOLDER, strGood + "\\"},
        {IDC_PREF_PICTURE_FOLDER, IDC_PREF_PICTURE_FOLDER, strGood},
        {IDC_PREF_BKG_FILE, 0, CString()},
    };
    size_t nShown = platform::headless::MessageBoxes().size();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.nFocus);
        Press(IDOK);
        EXPECT_TRUE(SheetShown());
        ASSERT_EQ(platform::headless::MessageBoxes().size(), nShown + 1) << "one message each time";
        EXPECT_EQ(platform::headless::MessageBoxes().back().text, "The specified directory does not exist.");
        ++nShown;
        EXPECT_EQ(::GetFocus(), Item(step.nFocus));
        if (step.nFix != 0)
            Type(step.nFix, step.strFix);
    }
    // With the colour chosen the missing picture does not matter; the
    // folders are kept in full, the program's own as the default.
    Click(IDC_PREF_BKG_CHOOSE_COLOR);
    Press(IDOK);
    EXPECT_FALSE(SheetShown());
    EXPECT_EQ(platform::headless::MessageBoxes().size(), nShown);
    EXPECT_EQ(thePrefs.BkgOpt, 1);
    EXPECT_EQ(thePrefs.DocumentDir, strGood + "\\");
    EXPECT_TRUE(thePrefs.ImageDir.IsEmpty());
    EXPECT_EQ(thePrefs.GetImageDir(), strGood + "\\");
}

TEST_F(PrefSheetTest, NormalizedFoldersKeepDriveRootsAndLoseTrailingBackslashes)
{
    EXPECT_EQ(CPrefPage1::NormalizeFolder("C:\\"), "C:\\");
    EXPECT_EQ(CPrefPage1::NormalizeFolder("Q:\\nowhere\\"), "Q:\\nowhere");
    EXPECT_EQ(CPrefPage1::NormalizeFolder(""), "");
    EXPECT_EQ(CPrefPage1::NormalizeFolder(ProgramPath("/Pictures/")), ProgramPath("/Pictures"));
}

TEST_F(PrefSheetTest, BackgroundColourFromThePopupIsAppliedOnOkAndKeptForTheNextStart)
{
    thePrefs.BkgOpt = 1;
    Open(CPreferences::pageDefaults);
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_PREF_BKG_FILE)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_PREF_BKG_BROWSE)));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_PREF_BKG_COLOR)));
    EXPECT_FALSE(ApplyEnabled());

    AnswerColorPopup(kRedCell);
    Click(IDC_PREF_BKG_COLOR);
    EXPECT_EQ(thePrefs.BkgClr, kRed);
    EXPECT_TRUE(ApplyEnabled());
    // The views keep their background until OK or Apply.
    EXPECT_EQ(g_surfaceBackground.GetColor(), CSurfaceBackground::kDefaultColor);
    Press(IDOK);
    EXPECT_EQ(g_surfaceBackground.GetColor(), kRed);
    EXPECT_EQ(g_surfaceBackground.GetFlags(), CSurfaceBackground::kColorOnly);

    Restart();
    EXPECT_EQ(thePrefs.BkgClr, kRed);
    g_surfaceBackground.Reset();
    ApplyStoredBackground();
    EXPECT_EQ(g_surfaceBackground.GetColor(), kRed);
}

TEST_F(PrefSheetTest, CancelTakesBackTheColourTheButtonWrote)
{
    const COLORREF crBefore = thePrefs.BkgClr;
    thePrefs.BkgOpt = 1;
    Open(CPreferences::pageDefaults);
    AnswerColorPopup(kRedCell);
    Click(IDC_PREF_BKG_COLOR);
    ASSERT_EQ(thePrefs.BkgClr, kRed);
    Click(IDC_PREF_UNITS_CM);
    Press(IDCANCEL);
    EXPECT_FALSE(SheetShown());
    EXPECT_EQ(thePrefs.BkgClr, crBefore);
    EXPECT_NE(thePrefs.Flags & PREF_FLAG_INCHES, 0) << "nothing else was written";

    Restart();
    EXPECT_EQ(thePrefs.BkgClr, crBefore);
}

TEST_F(PrefSheetTest, ApplyWritesAndSavesKeepsTheSheetOpenAndCancelThenKeepsWhatWasApplied)
{
    Open(CPreferences::pageDefaults);
    EXPECT_FALSE(ApplyEnabled());
    Click(IDC_PREF_UNITS_CM);
    Click(IDC_PREF_GRID_3);
    EXPECT_TRUE(ApplyEnabled());
    Press(ID_APPLY_NOW);
    EXPECT_TRUE(SheetShown());
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(thePrefs.GridSpacing, 393);
    // The focus went back into the page.
    EXPECT_TRUE(::IsChild(Page(), ::GetFocus()));

    AnswerColorPopup(kRedCell);
    Click(IDC_PREF_BKG_COLOR);
    Press(ID_APPLY_NOW);
    Press(IDCANCEL);
    EXPECT_EQ(thePrefs.BkgClr, kRed) << "applied before Cancel";

    Restart();
    EXPECT_EQ(thePrefs.GridSpacing, 393);
    EXPECT_EQ(thePrefs.BkgClr, kRed);
}

TEST_F(PrefSheetTest, MissingBackgroundPictureTurnsIntoTheColourChoiceWhenThePageOpens)
{
    thePrefs.BkgOpt = 0;
    thePrefs.BkgImg = ProgramPath("/gone.bmp");
    Open(CPreferences::pageDefaults);
    EXPECT_TRUE(Checked(IDC_PREF_BKG_CHOOSE_COLOR));
    EXPECT_FALSE(Checked(IDC_PREF_BKG_CHOOSE_PICTURE));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_PREF_BKG_FILE)));
}

TEST_F(PrefSheetTest, BackgroundPictureThatDoesNotLoadFallsBackToTheColourWithAMessage)
{
    const std::string bad = m_programFolder + "/bad.bmp";
    std::ofstream(bad) << "not a picture";
    thePrefs.BkgClr = RGB(10, 20, 30);
    Open(CPreferences::pageDefaults);
    Click(IDC_PREF_BKG_CHOOSE_PICTURE);
    Type(IDC_PREF_BKG_FILE, ProgramPath("/bad.bmp"));
    const size_t nShown = platform::headless::MessageBoxes().size();
    Press(IDOK);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nShown + 1);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text, "Unable to load background image.");
    EXPECT_EQ(g_surfaceBackground.GetFlags(), CSurfaceBackground::kColorOnly);
    EXPECT_EQ(g_surfaceBackground.GetColor(), RGB(10, 20, 30));
}

TEST_F(PrefSheetTest, BackgroundBrowseTakesTheChosenPictureAndCancelKeepsTheField)
{
    std::ofstream(m_programFolder + "/Pictures/back.bmp") << "BM";
    const CString strPicture = ProgramPath("/Pictures/back.bmp");
    thePrefs.BkgOpt = 1;
    // The picture file dialog first, as on a machine too weak for previews.
    thePrefs.Flags |= PREF_FLAG_NO_MULTI_PREVIEW;
    Open(CPreferences::pageDefaults);
    Type(IDC_PREF_BKG_FILE, ProgramPath("/Pictures/none.bmp"));

    // A file typed in the file dialog and OK make it the background picture.
    platform::headless::SetIdleHandler([strPicture]() {
        HWND hDlg = ::GetActiveWindow();
        HWND hName = hDlg != NULL ? ::GetDlgItem(hDlg, edt1) : NULL;
        if (hName == NULL)
            return false;
        ::SetWindowText(hName, strPicture);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
        platform::headless::SetIdleHandler(nullptr);
        return true;
    });
    Click(IDC_PREF_BKG_BROWSE);
    EXPECT_EQ(CString(WindowText(Item(IDC_PREF_BKG_FILE)).c_str()), strPicture);
    EXPECT_TRUE(Checked(IDC_PREF_BKG_CHOOSE_PICTURE));
    EXPECT_FALSE(Checked(IDC_PREF_BKG_CHOOSE_COLOR));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_PREF_BKG_FILE)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_PREF_BKG_COLOR)));
    EXPECT_TRUE(ApplyEnabled());

    // Otherwise the picture Open dialog comes first; the page passes no
    // picture options, so both boxes are cleared and disabled. Cancelled,
    // the field keeps its picture.
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    bool bOptionsOff = false;
    platform::headless::SetIdleHandler([&bOptionsOff]() {
        HWND hDlg = ::GetActiveWindow();
        if (hDlg == NULL || ::GetDlgItem(hDlg, IDC_PICTURE_OPEN_FRAME) == NULL)
            return false;
        bOptionsOff = true;
        for (int nID : {IDC_PICTURE_OPTION_PROPORTIONAL, IDC_PICTURE_OPTION_NATURAL_SIZE})
            bOptionsOff = bOptionsOff && !::IsWindowEnabled(::GetDlgItem(hDlg, nID))
                && !::IsDlgButtonChecked(hDlg, nID);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDCANCEL)));
        platform::headless::SetIdleHandler(nullptr);
        return true;
    });
    Click(IDC_PREF_BKG_BROWSE);
    EXPECT_TRUE(bOptionsOff);
    EXPECT_EQ(CString(WindowText(Item(IDC_PREF_BKG_FILE)).c_str()), strPicture);
}

// ---- The look of the pages ------------------------------------------------------------------

TEST_F(PrefSheetTest, EachPageLooksAsBefore)
{
    // Settings that show every kind of control: a grid in centimetres, a
    // coloured background, mixed checks and methods.
    thePrefs.Flags = WORD((thePrefs.Flags | PREF_FLAG_DEFAULT_GRID | PREF_FLAG_RESIZE_FROM_CENTER) & ~PREF_FLAG_INCHES);
    thePrefs.GridSpacing = 393;
    thePrefs.BkgOpt = 1;
    thePrefs.BkgClr = RGB(0, 128, 128);
    thePrintPrefs.Printing = WORD((CPrintPrefData::kDefaultPrinting & ~kShapedMask) | PRINT_PREF_SHAPED_METHOD);
    const char* names[] = {"prefs-preferences.png", "prefs-defaults.png", "prefs-tools.png", "prefs-printing.png"};
    for (int nPage = 0; nPage < 4; ++nPage) {
        SCOPED_TRACE(names[nPage]);
        Open(nPage);
        // The Defaults page gives its fields their full paths, which name
        // the test's folder: they are emptied for the picture.
        if (nPage == CPreferences::pageDefaults) {
            Type(IDC_PREF_DESIGN_FOLDER, "C:\\Designs");
            Type(IDC_PREF_PICTURE_FOLDER, "C:\\Designs\\Pictures");
            Type(IDC_PREF_BKG_FILE, "");
        }
        ::SetFocus(NULL);
        ::RedrawWindow(Sheet(), NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        testing_support::ExpectLooksAsBefore(Sheet(), "main", names[nPage]);
    }
}

// ---- The commands -----------------------------------------------------------------------------

TEST_F(PrefSheetTest, TheFourCommandsAreEnabledAndOpenTheirPage)
{
    const struct {
        UINT nCommand;
        const char* pszPage;
    } commands[] = {
        {ID_TOOLS_PREFERENCES, "Preferences"},
        {ID_PREFERENCES_DEFAULTS, "Defaults"},
        {ID_TOOLS_FAVORITES, "Tools"},
        {ID_TOOLS_PRINT_PROBLEMS, "Printing"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.pszPage);
        struct Probe : CCmdUI {
            int enabled = -1;
            void Enable(BOOL bOn) override
            {
                enabled = bOn;
                m_bEnableChanged = TRUE;
            }
        } probe;
        probe.m_nID = command.nCommand;
        probe.DoUpdate(m_app.get(), FALSE);
        EXPECT_EQ(probe.enabled, 1);

        std::string caption;
        std::string page;
        testing_support::DriveActiveWindow({[&](HWND hActive) {
                                                caption = WindowText(hActive);
                                                HWND hPage = HWND(::SendMessage(hActive, PSM_GETCURRENTPAGEHWND, 0, 0));
                                                page = WindowText(hPage);
                                                return true;
                                            },
            testing_support::PressButton(IDCANCEL)});
        m_app->OnCmdMsg(command.nCommand, CN_COMMAND, nullptr, nullptr);
        platform::headless::SetIdleHandler(nullptr);
        EXPECT_EQ(caption, "Program Configuration");
        EXPECT_EQ(page, command.pszPage);
    }
}

TEST_F(PrefSheetTest, OkOfTheRunningSheetSavesTheStore)
{
    testing_support::DriveActiveWindow({[](HWND hActive) {
                                            HWND hPage = HWND(::SendMessage(hActive, PSM_GETCURRENTPAGEHWND, 0, 0));
                                            ::SendMessage(::GetDlgItem(hPage, IDC_PREF_SOUNDS), BM_CLICK, 0, 0);
                                            return true;
                                        },
        testing_support::PressButton(IDOK)});
    const BOOL bSounds = thePrefs.IsSoundOn();
    m_app->OnCmdMsg(ID_TOOLS_PREFERENCES, CN_COMMAND, nullptr, nullptr);
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_NE(thePrefs.IsSoundOn(), bSounds);
    Restart();
    EXPECT_NE(thePrefs.IsSoundOn(), bSounds);
}

} // namespace
