#include "app/PrefData.h"
#include "app/FontHelpers.h"
#include "app/PrintPrefData.h"

#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/gdi/Display.h"
#include "resources/Resources.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// An empty profile, as on a machine that never ran the program.
void EmptyRegistry()
{
    std::filesystem::remove(platform::RegistryFilePath());
    platform::ResetRegistryForTests();
}

class PrefDataTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        EmptyRegistry();
        threadwick::RegisterResources();
        m_folder = testing_support::MakeTempDir("prefs");
        platform::SetProgramFolderForTests(m_folder);
        m_app = &MakeApp();
        m_app->SetRegistryKey("Threadwick Tests");
    }

    void TearDown() override
    {
        platform::SetProgramFolderForTests("");
        platform::ResetDisplayForTesting();
        FrameworkTest::TearDown();
    }

    // The program folder in the program's own form, with its backslash.
    CString ProgramFolder() const { return CString(platform::WindowsPathFor(m_folder).c_str()) + "\\"; }

    void MakeHostFile(const std::string& relative)
    {
        const std::filesystem::path path = std::filesystem::path(m_folder) / relative;
        std::filesystem::create_directories(path.parent_path());
        testing_support::WriteFileBytes(path.string(), "x");
    }

    int Int(LPCTSTR section, LPCTSTR entry) { return static_cast<int>(m_app->GetProfileInt(section, entry, -99)); }
    CString Str(LPCTSTR section, LPCTSTR entry) { return m_app->GetProfileString(section, entry, "<missing>"); }

    std::string m_folder;
    CWinApp* m_app = nullptr;
};

TEST_F(PrefDataTest, FirstRunTakesBuiltInWordsAndWritesThemBack)
{
    CPrefData prefs;
    prefs.LoadPreferences();

    EXPECT_EQ(prefs.Flags, 0x7381);
    EXPECT_EQ(prefs.AddlFlags, 0xE8E1);
    EXPECT_EQ(prefs.Add2Flags, 0x0013);
    EXPECT_EQ(prefs.GridSpacing, 500);
    EXPECT_EQ(prefs.BkgClr, 0xCCFFFFu);
    EXPECT_EQ(prefs.BkgOpt, 1); // no default background picture here
    EXPECT_TRUE(prefs.IsSoundOn());
    EXPECT_EQ(CString(prefs.DefaultFont.lfFaceName), "Arial");
    EXPECT_EQ(prefs.DefaultFont.lfHeight, -12);

    EXPECT_EQ(Int("Preferences", "Flags"), 0x7381);
    EXPECT_EQ(Int("Preferences", "AddlFlags"), 0xE8E1);
    EXPECT_EQ(Int("Preferences", "Add2Flags"), 0x0013);
    EXPECT_EQ(Int("Preferences", "GridSpacing"), 500);
    EXPECT_EQ(Int("Preferences", "BkgOpt"), 1);
    EXPECT_EQ(Int("Preferences", "BkgClr-R"), 255);
    EXPECT_EQ(Int("Preferences", "BkgClr-G"), 255);
    EXPECT_EQ(Int("Preferences", "BkgClr-B"), 204);
    EXPECT_EQ(Str("Preferences", "BkgImg"), ProgramFolder() + "SUPPORT\\BKGIMAGE.JPG");
    EXPECT_EQ(Str("Preferences", "DefaultFont"), "Arial,R,12,0,8421504,2,2,0,0,0");
    EXPECT_EQ(Str("Application", "CustomColors"), "<missing>");

    CPrintPrefData printing;
    printing.LoadPrinting();
    EXPECT_EQ(printing.Printing, 0x099F);
    EXPECT_EQ(Str("Application", "Version"), "1.0");
    EXPECT_FALSE(printing.IsOptionOff(0));
    EXPECT_TRUE(printing.IsOptionOff(3));
}

TEST_F(PrefDataTest, FirstRunWithMetricDefaultsUsesCentimetreGrid)
{
    m_app->WriteProfileInt("Preferences", "USDefaults", 0);
    CPrefData prefs;
    prefs.LoadPreferences();
    EXPECT_EQ(prefs.Flags, 0x7181);
    EXPECT_EQ(prefs.GridSpacing, 393);
    EXPECT_EQ(Int("Preferences", "GridSpacing"), 393);
}

TEST_F(PrefDataTest, BackgroundChoiceFollowsThePicture)
{
    MakeHostFile("support/bkgimage.jpg");
    {
        CPrefData prefs;
        prefs.LoadPreferences();
        EXPECT_EQ(prefs.BkgOpt, 0);
    }
    // A chosen picture that has gone away switches to the colour, saved.
    m_app->WriteProfileString("Preferences", "BkgImg", ProgramFolder() + "gone.jpg");
    CPrefData prefs;
    prefs.LoadPreferences();
    EXPECT_EQ(prefs.BkgOpt, 1);
    EXPECT_EQ(Int("Preferences", "BkgOpt"), 1);
}

TEST_F(PrefDataTest, LaterRunKeepsStoredValues)
{
    m_app->WriteProfileInt("Preferences", "Flags", 0x0001);
    m_app->WriteProfileInt("Preferences", "GridSpacing", 5000); // replaced even when stored
    m_app->WriteProfileInt("Preferences", "BkgOpt", 1);
    m_app->WriteProfileString("Preferences", "DocumentDir", "C:\\designs");
    m_app->WriteProfileInt("Preferences", "PaletteMethod", 0);
    CPrefData prefs;
    prefs.LoadPreferences();
    EXPECT_EQ(prefs.Flags, 0x0001);
    EXPECT_EQ(prefs.AddlFlags, 0xE8E1);
    EXPECT_EQ(prefs.GridSpacing, 393);
    EXPECT_EQ(prefs.PaletteMethod, 0);
    EXPECT_EQ(prefs.CurDesignFolder, "C:\\designs");
    // Nothing was marked for saving.
    EXPECT_EQ(Int("Preferences", "AddlFlags"), -99);
}

TEST_F(PrefDataTest, BackgroundColourComponentsAreClamped)
{
    m_app->WriteProfileInt("Preferences", "BkgClr-R", 999);
    m_app->WriteProfileInt("Preferences", "BkgClr-G", -4);
    m_app->WriteProfileInt("Preferences", "BkgClr-B", 17);
    CPrefData prefs;
    prefs.LoadPreferences();
    EXPECT_EQ(prefs.BkgClr, RGB(255, 0, 17));
}

TEST_F(PrefDataTest, PaletteMethodFollowsScreenDepth)
{
    platform::SetScreenBitsPixel(8);
    EXPECT_EQ(CPrefData::DefaultPaletteMethod(), 3);
    platform::SetScreenBitsPixel(24);
    EXPECT_EQ(CPrefData::DefaultPaletteMethod(), 2);
}

TEST_F(PrefDataTest, DefaultFontRoundTripsInItsTextForm)
{
    LOGFONT lf{};
    std::strcpy(lf.lfFaceName, "Times New Roman");
    lf.lfHeight = -24;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = TRUE;
    CPrefData prefs;
    prefs.AddlFlags = 0;
    prefs.SetDefaultTextFormat(lf, 0x0000FF, 0xFFFFFFFF, 3, 4, TRUE, 5, 6);
    EXPECT_EQ(Str("Preferences", "DefaultFont"), "Times New Roman,BI,24,255,4294967295,3,4,1,5,6");

    CPrefData loaded;
    loaded.LoadPreferences();
    LOGFONT got{};
    COLORREF c1 = 0, c2 = 0;
    WORD v1 = 0, v2 = 0, v3 = 0, v4 = 0;
    BOOL flag = FALSE;
    loaded.GetDefaultTextFormat(got, c1, c2, v1, v2, flag, v3, v4);
    EXPECT_EQ(CString(got.lfFaceName), "Times New Roman");
    EXPECT_EQ(got.lfHeight, -24);
    EXPECT_EQ(got.lfWeight, FW_BOLD);
    EXPECT_TRUE(got.lfItalic);
    EXPECT_FALSE(got.lfUnderline);
    EXPECT_EQ(c1, 0x0000FFu);
    EXPECT_EQ(c2, 0xFFFFFFFFu);
    EXPECT_EQ(v1, 3);
    EXPECT_EQ(v2, 4);
    EXPECT_TRUE(flag);
    EXPECT_EQ(v3, 5);
    EXPECT_EQ(v4, 6);
    EXPECT_EQ(loaded.FormatDefaultFont(), "Times New Roman,BI,24,255,4294967295,3,4,1,5,6");
}

TEST_F(PrefDataTest, DefaultFontReadsWhatIsPresentAndBoundsTheRest)
{
    CPrefData prefs;
    prefs.AddlFlags = 0xFFFF;

    prefs.ParseDefaultFont("Courier,BIU,0");
    EXPECT_EQ(CString(prefs.DefaultFont.lfFaceName), "Courier");
    EXPECT_EQ(prefs.DefaultFont.lfHeight, -12);
    EXPECT_EQ(prefs.DefaultFont.lfWeight, FW_BOLD);
    EXPECT_TRUE(prefs.DefaultFont.lfItalic);
    EXPECT_TRUE(prefs.DefaultFont.lfUnderline);
    EXPECT_EQ(prefs.DefaultTextColor2, 0x808080u); // absent fields keep their values

    prefs.ParseDefaultFont("Courier,R,-5000,1,2,3,4,0");
    EXPECT_EQ(prefs.DefaultFont.lfHeight, -999);
    EXPECT_EQ(prefs.DefaultFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(prefs.AddlFlags & PREF_ADDL_TEXT_FORMAT_FLAG, 0);

    prefs.ParseDefaultFont("Courier,R,99999999999999999999999");
    EXPECT_EQ(prefs.DefaultFont.lfHeight, -999);

    // Without a comma the whole text is ignored.
    prefs.ParseDefaultFont("Courier");
    EXPECT_EQ(CString(prefs.DefaultFont.lfFaceName), "Arial");
    EXPECT_EQ(prefs.DefaultFont.lfHeight, -12);

    const CString strLong('F', 80);
    prefs.ParseDefaultFont(strLong + ",B,10");
    EXPECT_EQ(CString(prefs.DefaultFont.lfFaceName), CString('F', 31));
    EXPECT_EQ(prefs.DefaultFont.lfHeight, -10);
}

// The face stands in for a stored text without one: the program's default
// face, which the command line may have changed from Arial.
TEST_F(PrefDataTest, DefaultFontWithoutStoredFaceTakesTheProgramsDefaultFace)
{
    struct FaceGuard {
        CString strSaved = g_defaultFaceName;
        ~FaceGuard() { g_defaultFaceName = strSaved; }
    } guard;
    g_defaultFaceName = "KQ Clearly Roman";
    CPrefData prefs;
    prefs.LoadPreferences();
    EXPECT_EQ(CString(prefs.DefaultFont.lfFaceName), "KQ Clearly Roman");
    EXPECT_EQ(Str("Preferences", "DefaultFont"), "KQ Clearly Roman,R,12,0,8421504,2,2,0,0,0");

    // A stored text without its fields keeps the default face too.
    prefs.ParseDefaultFont("Courier");
    EXPECT_EQ(CString(prefs.DefaultFont.lfFaceName), "KQ Clearly Roman");
}

TEST_F(PrefDataTest, CustomColorsRoundTripInTheirTextForm)
{
    CPrefData prefs;
    prefs.CustomColors[0] = RGB(255, 0, 0);
    prefs.CustomColors[2] = RGB(0, 0, 255);
    prefs.SaveCustomColors();
    EXPECT_EQ(Str("Application", "CustomColors"), "|255,0,0|255,255,255|0,0,255|");

    CPrefData loaded;
    loaded.LoadPreferences();
    EXPECT_EQ(loaded.CustomColors, prefs.CustomColors);

    // All white deletes the value.
    loaded.CustomColors.fill(0xFFFFFF);
    loaded.SaveCustomColors();
    EXPECT_EQ(Str("Application", "CustomColors"), "<missing>");
}

TEST_F(PrefDataTest, CustomColorsReadingStopsAtBadPieceAndClamps)
{
    struct Case {
        const char* text;
        std::vector<COLORREF> expected; // the leading entries; the rest stay white
    };
    const Case cases[] = {
        {"|10,20,30|", {0x1E140A}},
        {";1,2,3;4,5,6;", {RGB(1, 2, 3), RGB(4, 5, 6)}},
        {"|1,2,3|bad|4,5,6|", {RGB(1, 2, 3)}},
        {"|1,2|4,5,6|", {}},
        {"|1,2,3|4,5,6", {RGB(1, 2, 3)}}, // the last piece has no separator
        {"|300,-5,128|", {RGB(255, 0, 128)}},
        {"|99999999999999999999,1,1|", {RGB(255, 1, 1)}},
        {"|", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CPrefData prefs;
        prefs.ParseCustomColors(c.text);
        for (int i = 0; i < CPrefData::kCustomColorCount; ++i) {
            const COLORREF expected = i < static_cast<int>(c.expected.size()) ? c.expected[i] : 0xFFFFFF;
            EXPECT_EQ(prefs.CustomColors[i], expected) << "entry " << i;
        }
    }

    // Never more than sixteen entries.
    CString strMany = "|";
    for (int i = 0; i < 40; ++i)
        strMany += "7,8,9|";
    CPrefData prefs;
    prefs.ParseCustomColors(strMany);
    for (COLORREF color : prefs.CustomColors)
        EXPECT_EQ(color, RGB(7, 8, 9));
}

TEST_F(PrefDataTest, EarlierVersionIsUpgradedOnce)
{
    const WORD kOld = 0x2000 | 0x0010;
    for (const char* version : {"", "4.1A"}) {
        SCOPED_TRACE(version);
        EmptyRegistry();
        m_app->WriteProfileInt("Preferences", "Printing", kOld);
        if (*version)
            m_app->WriteProfileString("Application", "Version", version);

        CPrintPrefData printing;
        printing.LoadPrinting();
        EXPECT_EQ(printing.Printing, 0x0010 | 0x0080 | 0x0800 | 0x0007);
        EXPECT_EQ(Int("Preferences", "Printing"), 0x0010 | 0x0080 | 0x0800);
        EXPECT_EQ(Str("Application", "Version"), "1.0");

        // The user's own 0x2000 afterwards survives the next start.
        m_app->WriteProfileInt("Preferences", "Printing", kOld);
        printing.LoadPrinting();
        EXPECT_EQ(printing.Printing, kOld | 0x0007);
    }
}

TEST_F(PrefDataTest, OlderVersionTextIsRewrittenWithoutUpgrade)
{
    m_app->WriteProfileInt("Preferences", "Printing", 0x2000);
    m_app->WriteProfileString("Application", "Version", "0.9");
    CPrintPrefData printing;
    printing.LoadPrinting();
    EXPECT_EQ(printing.Printing, 0x2007);
    EXPECT_EQ(Str("Application", "Version"), "1.0");

    m_app->WriteProfileString("Application", "Version", "2.0");
    printing.LoadPrinting();
    EXPECT_EQ(Str("Application", "Version"), "2.0");
}

TEST_F(PrefDataTest, FoldersDefaultToTheUsersHomeNeverTheProgramFolder)
{
    // A home of the test's own, as the user's home on the drive C: root.
    const std::string home = testing_support::MakeTempDir("prefs-home");
    const char* pszSavedHome = getenv("HOME");
    const std::string savedHome = pszSavedHome != nullptr ? pszSavedHome : "";
    setenv("HOME", home.c_str(), 1);
    const CString strHome = CString(platform::WindowsPathFor(home).c_str()) + "\\";

    CPrefData prefs;
    EXPECT_EQ(prefs.GetDocumentDir(), strHome);
    EXPECT_EQ(prefs.GetDesignFolder(), strHome);
    EXPECT_EQ(prefs.GetImageDir(), strHome); // no picture library
    EXPECT_EQ(prefs.GetPictureFolder(), strHome);
    MakeHostFile("Pictures/a.jpg");
    EXPECT_EQ(prefs.GetImageDir(), ProgramFolder() + "Pictures\\");

    // The last folder used, until the user names a Designs folder.
    prefs.CurDesignFolder = "C:\\last";
    EXPECT_EQ(prefs.GetDesignFolder(), "C:\\last\\");
    EXPECT_EQ(prefs.GetDocumentDir(), strHome);
    prefs.SetDesignFolder("C:\\work");
    EXPECT_EQ(prefs.DocumentDir, "C:\\work");
    EXPECT_EQ(prefs.GetDesignFolder(), "C:\\work\\");
    prefs.CurDesignFolder = "C:\\last";
    EXPECT_EQ(prefs.GetDesignFolder(), "C:\\work\\");
    if (pszSavedHome != nullptr)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
    CString strUpper = ProgramFolder();
    strUpper.MakeUpper();
    prefs.SetDesignFolder(strUpper);
    EXPECT_TRUE(prefs.DocumentDir.IsEmpty());
    EXPECT_TRUE(prefs.CurDesignFolder.IsEmpty());

    prefs.SetPictureFolder(ProgramFolder() + "PICTURES\\");
    EXPECT_TRUE(prefs.ImageDir.IsEmpty());
    prefs.SetPictureFolder("C:\\art\\");
    EXPECT_EQ(prefs.GetPictureFolder(), "C:\\art\\");
    prefs.BackgroundBrowse = 1;
    EXPECT_EQ(prefs.GetPictureFolder(), ProgramFolder() + "support\\backgrnd\\");
    prefs.BorderBrowse = 1;
    EXPECT_EQ(prefs.GetPictureFolder(), ProgramFolder() + "support\\borders\\");
}

TEST_F(PrefDataTest, SnapshotCopiesOnlyTheComparedSettings)
{
    CPrefData prefs;
    prefs.Flags = 0x1111;
    prefs.GridSpacing = 250;
    prefs.ImageDir = "C:\\pics";
    prefs.CustomColors[3] = 0x123456;
    prefs.DefaultFont.lfHeight = -30;
    prefs.LastUser = "Ann";
    prefs.BkgClr = 0;
    prefs.DefaultTextColor = 0x00FF00;

    const CPrefData snapshot(prefs);
    EXPECT_EQ(snapshot.Flags, 0x1111);
    EXPECT_EQ(snapshot.GridSpacing, 250);
    EXPECT_EQ(snapshot.ImageDir, "C:\\pics");
    EXPECT_EQ(snapshot.CustomColors[3], 0x123456u);
    EXPECT_EQ(snapshot.DefaultFont.lfHeight, -30);
    EXPECT_TRUE(snapshot.LastUser.IsEmpty());
    EXPECT_EQ(snapshot.BkgClr, CPrefData::kDefaultBkgClr);
    EXPECT_EQ(snapshot.DefaultTextColor, 0u);
}

TEST_F(PrefDataTest, ProfileAccessorsReadAndWriteAtOnce)
{
    EXPECT_EQ(CPrefData::GetMulImgPrevFixedSize(), 100);
    EXPECT_EQ(CPrefData::GetPreviewImage(), 1);
    EXPECT_EQ(CPrefData::GetProcessor(), 0);
    CPrefData::SetMulImgPrevFixedSize(150);
    CPrefData::SetPreviewImage(0);
    CPrefData::SetSelImgCategory("Animals");
    EXPECT_EQ(Int("Application", "MulImgPrevFixedSize"), 150);
    EXPECT_EQ(Int("Preferences", "PreviewImage"), 0);
    EXPECT_EQ(CPrefData::GetSelImgCategory(), "Animals");

    CPrefData prefs;
    prefs.SetLastUser("Ann");
    EXPECT_EQ(Str("Preferences", "LastUser"), "Ann");
}

} // namespace
