// The clipboard's CF_TEXT as the text editors read it back.

#include "platform/ui/ClipboardText.h"

#include "platform/base/GlobalMemory.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

HGLOBAL Block(const std::string& bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

class ClipboardTextTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::Reset(); }
    void TearDown() override { platform::headless::Reset(); }

    static void Put(UINT format, const std::string& bytes)
    {
        ASSERT_TRUE(OpenClipboard(NULL));
        EmptyClipboard();
        SetClipboardData(format, Block(bytes));
        CloseClipboard();
    }
};

TEST_F(ClipboardTextTest, TextEndsAtItsZeroOrAtTheEndOfTheBlock)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* text;
    };
    const Case cases[] = {
        {"terminated", std::string("abc\0", 4), "abc"},
        {"zero inside", std::string("ab\0cd\0", 6), "ab"},
        {"no zero at all", std::string("abcd", 4), "abcd"},
        {"only a zero", std::string("\0", 1), ""},
        {"Windows-1252", std::string("\xE9\x80\r\n", 4), "\xE9\x80\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Put(CF_TEXT, c.bytes);
        CString str("old");
        EXPECT_TRUE(ReadClipboardText(NULL, str));
        EXPECT_EQ(std::string(static_cast<LPCTSTR>(str), size_t(str.GetLength())), c.text);
        // The clipboard is closed again for the next reader.
        EXPECT_TRUE(OpenClipboard(NULL));
        CloseClipboard();
    }
    EXPECT_EQ(ClipboardBlockText(NULL), "");
}

TEST_F(ClipboardTextTest, NoTextOrABusyClipboardReadsAsNothing)
{
    Put(CF_DIB, "not text");
    CString str("old");
    EXPECT_FALSE(ReadClipboardText(NULL, str));
    EXPECT_TRUE(str.IsEmpty());

    Put(CF_TEXT, std::string("abc\0", 4));
    HWND other = CreateWindowEx(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(OpenClipboard(other));
    str = "old";
    EXPECT_FALSE(ReadClipboardText(NULL, str));
    EXPECT_TRUE(str.IsEmpty());
    CloseClipboard();
    EXPECT_TRUE(ReadClipboardText(NULL, str));
    EXPECT_EQ(str, "abc");
}

} // namespace
