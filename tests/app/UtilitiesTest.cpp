#include "app/Utilities.h"

#include "app/PrefData.h"
#include "platform/base/ResourceTables.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/DocTemplate.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/services/SystemInfo.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <regex>
#include <string>

namespace {

class UtilitiesTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        std::filesystem::remove(platform::RegistryFilePath());
        platform::ResetRegistryForTests();
        threadwick::RegisterResources();
        app = &MakeApp();
        app->SetRegistryKey("Threadwick Tests");
        thePrefs.Reset();
    }
    void TearDown() override
    {
        thePrefs.Reset();
        FrameworkTest::TearDown();
    }

    CWinApp* app = nullptr;
};

LOGFONT Face(const char* name)
{
    LOGFONT lf = {};
    strncpy(lf.lfFaceName, name, LF_FACESIZE - 1);
    return lf;
}

NEWTEXTMETRIC Metric(DWORD ntmFlags)
{
    NEWTEXTMETRIC tm = {};
    tm.ntmFlags = ntmFlags;
    return tm;
}

int Offer(CFontList& list, const char* face, DWORD ntmFlags, DWORD type = TRUETYPE_FONTTYPE)
{
    LOGFONT lf = Face(face);
    NEWTEXTMETRIC tm = Metric(ntmFlags);
    return EnumTrueTypeFontProc(&lf, reinterpret_cast<const TEXTMETRIC*>(&tm), type, reinterpret_cast<LPARAM>(&list));
}

TEST_F(UtilitiesTest, FontListKeepsTrueTypeFontsWithTheirStyle)
{
    thePrefs.AddlFlags = 0;
    CFontList list;
    EXPECT_EQ(Offer(list, "Bitmap Face", NTM_REGULAR, RASTER_FONTTYPE), TRUE);
    EXPECT_FALSE(list.m_bReceivedAny);
    EXPECT_EQ(list.GetCount(), 0);

    Offer(list, "Plain", NTM_REGULAR);
    Offer(list, "Slanted", NTM_ITALIC);
    Offer(list, "Heavy", NTM_BOLD);
    Offer(list, "Both", NTM_BOLD | NTM_ITALIC);
    EXPECT_TRUE(list.m_bReceivedAny);
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetAt(0)->m_style, 0);
    EXPECT_EQ(list.GetAt(1)->m_style, CFontEntry::kItalic);
    EXPECT_EQ(list.GetAt(2)->m_style, CFontEntry::kBold);
    EXPECT_EQ(list.GetAt(3)->m_style, CFontEntry::kBoldItalic);
    EXPECT_STREQ(list.GetAt(3)->m_logFont.lfFaceName, "Both");
}

TEST_F(UtilitiesTest, FontListLeavesOutFacesTheRunStringCannotHold)
{
    thePrefs.AddlFlags = 0;
    CFontList list;
    Offer(list, "Serif, Narrow", NTM_REGULAR);
    Offer(list, "Sans (Condensed)", NTM_REGULAR);
    Offer(list, "Sans (Wide", NTM_REGULAR);
    EXPECT_TRUE(list.m_bReceivedAny);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_STREQ(list.GetAt(0)->m_logFont.lfFaceName, "Sans (Wide");
}

TEST_F(UtilitiesTest, FontListNarrowsToOwnDisplayFontsWhenAsked)
{
    thePrefs.AddlFlags = PREF_ADDL_SWITCH_I;
    CFontList list;
    EXPECT_EQ(Offer(list, "Arial", NTM_REGULAR), TRUE);
    EXPECT_TRUE(list.m_bReceivedAny);
    EXPECT_EQ(list.GetCount(), 0);
    Offer(list, "graffiti", NTM_REGULAR);
    Offer(list, "Brushstroke 35", NTM_REGULAR);
    Offer(list, "Brushstroke", NTM_REGULAR);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_STREQ(list.GetAt(1)->m_logFont.lfFaceName, "Brushstroke 35");
}

TEST_F(UtilitiesTest, FontListFromTheSystemHasTrueTypeFonts)
{
    thePrefs.AddlFlags = 0;
    CFontList list;
    HDC screen = GetDC(NULL);
    ASSERT_NE(screen, nullptr);
    EnumFontFamilies(screen, nullptr, EnumTrueTypeFontProc, reinterpret_cast<LPARAM>(&list));
    ReleaseDC(NULL, screen);
    EXPECT_TRUE(list.m_bReceivedAny);
    EXPECT_GT(list.GetCount(), 0);
}

TEST_F(UtilitiesTest, PlatformIsCurrentAndDescribedInTheStartUpForm)
{
    CString text("stale");
    EXPECT_EQ(GetPlatform(text, FALSE), 1);
    EXPECT_TRUE(text.IsEmpty());

    EXPECT_EQ(GetPlatform(text, TRUE), 1);
    platform::OperatingSystem os = platform::DescribeOperatingSystem();
    CString expected;
    expected.Format("%s version %d.%d build %d %s", os.name.c_str(), os.major, os.minor, os.build & 0xFFFF,
        os.machine.c_str());
    EXPECT_EQ(text, expected);
    EXPECT_TRUE(std::regex_match(std::string(text), std::regex(R"(\S+ version \d+\.\d+ build \d+ \S*)")))
        << text;
}

TEST(PlacementText, ReadsAllEightFieldsOrCountsWhereItStopped)
{
    WINDOWPLACEMENT wp = {};
    EXPECT_EQ(ParsePlacementText("0,1,(-1,-1),(10,20,310,220)", wp), 8);
    EXPECT_EQ(wp.showCmd, 1u);
    EXPECT_EQ(wp.ptMinPosition.x, -1);
    EXPECT_EQ(wp.rcNormalPosition.right, 310);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 220);
    EXPECT_EQ(FormatPlacementText(wp), "0,1,(-1,-1),(10,20,310,220)");

    WINDOWPLACEMENT untouched = {};
    EXPECT_EQ(ParsePlacementText("0,1,(-1,-1),(10,20,310)", untouched), 7);
    EXPECT_EQ(untouched.rcNormalPosition.left, 0);
    EXPECT_EQ(ParsePlacementText("0,1,(-1,-1),(10,20,99999999999,220)", untouched), 6);
    EXPECT_EQ(ParsePlacementText("", untouched), 0);
    EXPECT_EQ(ParsePlacementText("x", untouched), 0);
    EXPECT_EQ(ParsePlacementText(nullptr, untouched), 0);
}

TEST_F(UtilitiesTest, WindowPlacementRoundTripsAndFallsBackOnShortText)
{
    HWND hWnd = CreateWindowEx(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 30, 40, 300, 200, NULL, NULL, NULL, nullptr);
    ASSERT_NE(hWnd, nullptr);
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    WINDOWPLACEMENT current = {};
    current.length = sizeof current;
    ASSERT_TRUE(::GetWindowPlacement(hWnd, &current));

    SaveWindowPlacement(pWnd, IDS_PROFILE_APPLICATION, "MainWnd");
    EXPECT_EQ(app->GetProfileString("Application", "MainWnd"), FormatPlacementText(current));

    app->WriteProfileString("Application", "MainWnd", "2,3,(5,6),(1,2,400,500)");
    WINDOWPLACEMENT loaded = {};
    BOOL defaulted = TRUE;
    LoadWindowPlacement(pWnd, IDS_PROFILE_APPLICATION, "MainWnd", &loaded, SW_SHOWNORMAL, &defaulted);
    EXPECT_FALSE(defaulted);
    EXPECT_EQ(loaded.flags, 2u);
    EXPECT_EQ(loaded.showCmd, 3u);
    EXPECT_EQ(loaded.ptMinPosition.y, 6);
    EXPECT_EQ(loaded.rcNormalPosition.bottom, 500);
    EXPECT_EQ(loaded.ptMaxPosition.x, current.ptMaxPosition.x);

    app->WriteProfileString("Application", "MainWnd", "2,3,(5,6),(1,2,400)");
    LoadWindowPlacement(pWnd, IDS_PROFILE_APPLICATION, "MainWnd", &loaded, SW_SHOWMAXIMIZED, &defaulted);
    EXPECT_TRUE(defaulted);
    EXPECT_EQ(loaded.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(loaded.rcNormalPosition.left, current.rcNormalPosition.left);
    EXPECT_EQ(loaded.rcNormalPosition.bottom, current.rcNormalPosition.bottom);
    DestroyWindow(hWnd);
}

TEST_F(UtilitiesTest, ProfileColorUsesThreeClampedNumbers)
{
    WriteProfileColor("Preferences", "Ink", RGB(1, 2, 3));
    EXPECT_EQ(app->GetProfileInt("Preferences", "Ink-R", -1), 1u);
    EXPECT_EQ(app->GetProfileInt("Preferences", "Ink-B", -1), 3u);
    EXPECT_EQ(GetProfileColor("Preferences", "Ink", RGB(9, 9, 9)), RGB(1, 2, 3));

    app->WriteProfileInt("Preferences", "Ink-R", 300);
    app->WriteProfileInt("Preferences", "Ink-G", -5);
    EXPECT_EQ(GetProfileColor("Preferences", "Ink", RGB(9, 9, 9)), RGB(255, 0, 3));
    // Missing components take the default's.
    EXPECT_EQ(GetProfileColor("Preferences", "None", RGB(7, 8, 9)), RGB(7, 8, 9));
}

TEST_F(UtilitiesTest, DesignFilterLeadsWithAllDesignsAndSelectsTheTemplate)
{
    auto add = [&](const char* strings) {
        auto* pTemplate = new CMultiDocTemplate(9990, nullptr, nullptr, nullptr);
        app->AddDocTemplate(pTemplate);
        pTemplate->m_strDocStrings = strings;
        return pTemplate;
    };
    add("\nShirt\nShirt\nShirts (*.shr)\n.shr\n");
    add("\nNoFilter\nNoFilter\n\n\n");
    CDocTemplate* pCards = add("\nCard\nCard\nCards (*.crd)\n.crd\n");

    CString filter;
    CString ext;
    int index = 0;
    BuildDesignFileFilter(filter, ext, pCards, index);
    EXPECT_EQ(filter, "All Designs|*.shr;*.crd|Shirts (*.shr)|*.shr|Cards (*.crd)|*.crd||");
    EXPECT_EQ(ext, "crd");
    EXPECT_EQ(index, 3);
}

TEST(StringEdits, DeleteSpanAndReplaceAll)
{
    CString text("abcdef");
    DeleteSpan(text, 3, -1);
    EXPECT_EQ(text, "abc");
    DeleteSpan(text, -1, 2);
    EXPECT_EQ(text, "abc");
    DeleteSpan(text, 1, 100);
    EXPECT_EQ(text, "a");
    DeleteSpan(text, 5, 1);
    EXPECT_EQ(text, "a");
    text = "abcdef";
    DeleteSpan(text, 1, 2);
    EXPECT_EQ(text, "adef");

    CString grow("a-a-a");
    ReplaceAll(grow, "a", "aa"); // replacements are not searched again
    EXPECT_EQ(grow, "aa-aa-aa");
    ReplaceAll(grow, "", "x");
    EXPECT_EQ(grow, "aa-aa-aa");
    ReplaceAllInString(grow, "-", "");
    EXPECT_EQ(grow, "aaaaaa");
}

TEST(ScaleToFitTest, ShrinkFactorOrItsInverseAndOneForEmptyRectangles)
{
    RECT wide = { 0, 0, 200, 100 };
    RECT square = { 10, 10, 110, 110 };
    EXPECT_DOUBLE_EQ(ScaleToFit(wide, square, FALSE), 0.5);
    EXPECT_DOUBLE_EQ(ScaleToFit(wide, square, TRUE), 2.0);
    RECT tall = { 0, 0, 50, 400 };
    EXPECT_DOUBLE_EQ(ScaleToFit(tall, square, FALSE), 0.25);

    RECT empty = { 5, 5, 5, 5 };
    RECT flat = { 0, 0, 100, 0 };
    EXPECT_DOUBLE_EQ(ScaleToFit(wide, empty, FALSE), 1.0);
    EXPECT_DOUBLE_EQ(ScaleToFit(empty, square, FALSE), 1.0);
    EXPECT_DOUBLE_EQ(ScaleToFit(flat, square, TRUE), 1.0);
}

TEST_F(UtilitiesTest, WeakMachineSwitchesPreviewsOff)
{
    thePrefs.Flags = 0;
    DisablePreviewsIfWeak();
    EXPECT_EQ(thePrefs.Flags & PREF_FLAG_NO_MULTI_PREVIEW, 0);

    app->WriteProfileInt("Application", "Processor", 386);
    EXPECT_FALSE(IsPreviewCapableMachine());
    DisablePreviewsIfWeak();
    EXPECT_NE(thePrefs.Flags & PREF_FLAG_NO_MULTI_PREVIEW, 0);
}

} // namespace

namespace {

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
const platform::DialogItemTemplate kTwoEdits[] = {
    { kVisibleChild | WS_BORDER, 0, 0, 10, 10, 80, 12, 101, "EDIT", "", 0 },
    { kVisibleChild | WS_BORDER, 0, 0, 10, 30, 80, 12, 102, "EDIT", "", 0 },
};
const platform::DialogTemplate kTwoEditsTemplate = { false, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 120, 60,
    "Two", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kTwoEdits, 2 };

TEST_F(UtilitiesTest, HidingTheFocusedControlHandsFocusOn)
{
    CDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(&kTwoEditsTemplate)));
    HWND first = ::GetDlgItem(dialog.m_hWnd, 101);
    HWND second = ::GetDlgItem(dialog.m_hWnd, 102);
    // The dialog itself is not shown, so look at the control's own style.
    auto shown = [](HWND hWnd) { return (::GetWindowLong(hWnd, GWL_STYLE) & WS_VISIBLE) != 0; };
    ::SetFocus(first);
    ASSERT_EQ(::GetFocus(), first);

    ShowDialogControl(&dialog, 101, FALSE, FALSE);
    EXPECT_EQ(::GetFocus(), second);
    EXPECT_FALSE(shown(first));
    EXPECT_FALSE(::IsWindowEnabled(first));

    ShowDialogControl(&dialog, 101, TRUE, TRUE);
    EXPECT_TRUE(shown(first));
    EXPECT_TRUE(::IsWindowEnabled(first));
    EXPECT_EQ(::GetFocus(), second);
    ShowDialogControl(&dialog, 999, FALSE, FALSE); // no such control: nothing
    dialog.DestroyWindow();
}

} // namespace
