#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace uitest;

namespace {

// Registered while statics are made, as the program's own formats are.
const UINT g_listBoxText = RegisterClipboardFormat("KQ Olvc 6 LstBox Text");

HGLOBAL TextBlock(const std::string& text)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    auto* p = static_cast<char*>(GlobalLock(h));
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    return h;
}

// The whole block, NUL and all, so that its termination shows.
std::string BlockBytes(HANDLE h)
{
    auto* p = static_cast<const char*>(GlobalLock(h));
    std::string bytes(p, GlobalSize(h));
    GlobalUnlock(h);
    return bytes;
}

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::ResetClipboard();
        Rec() = Recorder();
        top = MakeTopLevel();
        other = MakeTopLevel();
    }
    void TearDown() override
    {
        platform::ResetClipboard();
        platform::headless::Reset();
    }

    HWND top = NULL;
    HWND other = NULL;
};

TEST_F(ClipboardTest, RegisteredFormatsKeepTheirNumberAndExactName)
{
    ASSERT_GE(g_listBoxText, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("KQ Olvc 6 LstBox Text"), g_listBoxText);
    // Names are compared without case, as atoms are; the first spelling stays.
    EXPECT_EQ(RegisterClipboardFormat("kq olvc 6 lstbox text"), g_listBoxText);
    UINT object = RegisterClipboardFormat("KQ Olvc 6 Object");
    EXPECT_GE(object, 0xC000u);
    EXPECT_NE(object, g_listBoxText);

    char name[64];
    EXPECT_EQ(GetClipboardFormatName(g_listBoxText, name, sizeof name), 21);
    EXPECT_STREQ(name, "KQ Olvc 6 LstBox Text");
    EXPECT_EQ(GetClipboardFormatName(object, name, 6), 5);
    EXPECT_STREQ(name, "KQ Ol");
    // Predefined formats have no registered name.
    EXPECT_EQ(GetClipboardFormatName(CF_TEXT, name, sizeof name), 0);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(RegisterClipboardFormat(std::string(256, 'x').c_str()), 0u);
}

TEST_F(ClipboardTest, OnlyTheWindowThatOpenedItMayUseIt)
{
    EXPECT_EQ(SetClipboardData(CF_TEXT, TextBlock("x")), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLIPBOARD_NOT_OPEN));
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(top));
    EXPECT_TRUE(OpenClipboard(top));
    EXPECT_FALSE(OpenClipboard(other));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), top);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(OpenClipboard(other));
    EXPECT_TRUE(CloseClipboard());

    // A window destroyed while it holds the clipboard open lets go of it.
    ASSERT_TRUE(OpenClipboard(other));
    DestroyWindow(other);
    EXPECT_TRUE(OpenClipboard(top));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(OpenClipboard((HWND)0x1234));
}

TEST_F(ClipboardTest, HandlesBelongToTheClipboardUntilItIsEmptied)
{
    size_t before = platform::GlobalBlockCount();
    ASSERT_TRUE(OpenClipboard(top));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL first = TextBlock("one");
    EXPECT_EQ(SetClipboardData(CF_TEXT, first), first);
    // Setting a format again frees the handle it held.
    HGLOBAL second = TextBlock("two");
    SetClipboardData(CF_TEXT, second);
    EXPECT_EQ(GlobalSize(first), 0u);
    EXPECT_EQ(GetClipboardData(CF_TEXT), second);
    SetClipboardData(g_listBoxText, TextBlock("items"));
    EXPECT_EQ(platform::GlobalBlockCount(), before + 2);
    ASSERT_TRUE(CloseClipboard());

    // Another window emptying it: the owner hears, the blocks are freed.
    Rec().Clear();
    ASSERT_TRUE(OpenClipboard(other));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(Rec().MessagesOf(top), std::vector<UINT>{WM_DESTROYCLIPBOARD});
    EXPECT_EQ(platform::GlobalBlockCount(), before);
    EXPECT_EQ(GetClipboardOwner(), other);
    EXPECT_EQ(CountClipboardFormats(), 0);
    CloseClipboard();
}

TEST_F(ClipboardTest, FormatsAreOnlyWhatWasPutThere)
{
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, NULL);
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(OpenClipboard(top));
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(CF_DIB, GlobalAlloc(GMEM_MOVEABLE, 40));
    SetClipboardData(g_listBoxText, TextBlock("a"));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);

    EXPECT_EQ(EnumClipboardFormats(0), UINT(CF_DIB));
    EXPECT_EQ(EnumClipboardFormats(CF_DIB), g_listBoxText);
    EXPECT_EQ(EnumClipboardFormats(g_listBoxText), 0u);
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(EnumClipboardFormats(0), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLIPBOARD_NOT_OPEN));

    // And a bitmap gives no DIB. Emptying deletes the bitmap.
    ASSERT_TRUE(OpenClipboard(top));
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(CF_BITMAP, bitmap);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(GetClipboardData(CF_DIB), nullptr);
    EXPECT_EQ(CountClipboardFormats(), 1);
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    CloseClipboard();
}

TEST_F(ClipboardTest, TextGoesToTheDesktopAsUtf8WhenClosed)
{
    ASSERT_TRUE(OpenClipboard(top));
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(CF_TEXT, TextBlock("caf\xE9 \x80" "5\r\nnext"));
    EXPECT_EQ(platform::headless::ClipboardText(), "");
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(platform::headless::ClipboardText(), "caf\xC3\xA9 \xE2\x82\xAC" "5\nnext");

    // Copying something that is not text leaves no stale text for others.
    ASSERT_TRUE(OpenClipboard(top));
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(g_listBoxText, TextBlock("items"));
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(platform::headless::ClipboardText(), "");
    EXPECT_TRUE(IsClipboardFormatAvailable(g_listBoxText));
}

TEST_F(ClipboardTest, TextAnotherProgramCopiedReplacesOurs)
{
    ASSERT_TRUE(OpenClipboard(top));
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(g_listBoxText, TextBlock("items"));
    ASSERT_TRUE(CloseClipboard());

    Rec().Clear();
    platform::headless::SetClipboardText("na\xC3\xAFve \xE2\x82\xAC" "5\nend \xE4\xB8\x80");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(g_listBoxText));
    EXPECT_EQ(Rec().MessagesOf(top), std::vector<UINT>{WM_DESTROYCLIPBOARD});
    EXPECT_EQ(GetClipboardOwner(), nullptr);

    ASSERT_TRUE(OpenClipboard(top));
    HANDLE text = GetClipboardData(CF_TEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(BlockBytes(text), std::string("na\xEFve \x80" "5\r\nend ?") + '\0');
    ASSERT_TRUE(CloseClipboard());

    // Looking again changes nothing while the desktop holds the same text.
    EXPECT_TRUE(OpenClipboard(top));
    EXPECT_EQ(GetClipboardData(CF_TEXT), text);
    CloseClipboard();

    platform::headless::SetClipboardText("");
    EXPECT_EQ(CountClipboardFormats(), 0);
}

TEST_F(ClipboardTest, DesktopTextConversionKeepsLineEndsRight)
{
    EXPECT_EQ(platform::ClipboardTextFromDesktopText("a\nb\r\nc"), "a\r\nb\r\nc");
    EXPECT_EQ(platform::ClipboardTextFromDesktopText(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(platform::DesktopTextFromClipboardText("a\r\nb\rc\n"), "a\nb\rc\n");
    EXPECT_EQ(platform::DesktopTextFromClipboardText(std::string("x\xA0y\0z", 5)), "x\xC2\xA0y");
}

} // namespace
