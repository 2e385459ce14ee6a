#include "platform/base/String.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string S(const CString& s)
{
    return std::string(s.View());
}

TEST(String, ExtractionClampsOutOfRangeCounts)
{
    const CString s("abcdef");
    EXPECT_EQ(S(s.Mid(2)), "cdef");
    EXPECT_EQ(S(s.Mid(2, 2)), "cd");
    EXPECT_EQ(S(s.Mid(-3, 2)), "ab");
    EXPECT_EQ(S(s.Mid(4, 100)), "ef");
    EXPECT_EQ(S(s.Mid(10)), "");
    EXPECT_EQ(S(s.Mid(1, -1)), "");
    EXPECT_EQ(S(s.Mid(1, 0x7FFFFFFF)), "bcdef");
    EXPECT_EQ(S(s.Left(-1)), "");
    EXPECT_EQ(S(s.Left(3)), "abc");
    EXPECT_EQ(S(s.Left(99)), "abcdef");
    EXPECT_EQ(S(s.Right(2)), "ef");
    EXPECT_EQ(S(s.Right(99)), "abcdef");
    EXPECT_EQ(S(s.Right(-5)), "");
    EXPECT_EQ(S(s.SpanIncluding("cba")), "abc");
    EXPECT_EQ(S(s.SpanExcluding("dx")), "abc");
    EXPECT_EQ(S(s.SpanExcluding("")), "abcdef");
}

TEST(String, FindsOrAnswersMinusOne)
{
    const CString s("a,b,,c");
    EXPECT_EQ(s.Find(','), 1);
    EXPECT_EQ(s.Find(',', 2), 3);
    EXPECT_EQ(s.Find(',', 6), -1);
    EXPECT_EQ(s.Find(',', -1), -1);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find(",,"), 3);
    EXPECT_EQ(s.Find(",", 4), 4);
    EXPECT_EQ(s.Find("c,"), -1);
    EXPECT_EQ(s.Find(""), 0);
    EXPECT_EQ(s.Find(static_cast<LPCTSTR>(nullptr)), -1);
    EXPECT_EQ(s.ReverseFind(','), 4);
    EXPECT_EQ(s.ReverseFind('x'), -1);
    EXPECT_EQ(s.FindOneOf("cb"), 2);
    EXPECT_EQ(s.FindOneOf("xyz"), -1);
}

TEST(String, ReplaceRemoveInsertDeleteEditInPlace)
{
    CString s("one two one two one");
    EXPECT_EQ(s.Replace("one", "three"), 3);
    EXPECT_EQ(S(s), "three two three two three");
    EXPECT_EQ(s.Replace("three ", ""), 2);
    EXPECT_EQ(S(s), "two two three");
    EXPECT_EQ(s.Replace("xyz", "q"), 0);
    EXPECT_EQ(s.Replace("", "q"), 0);
    EXPECT_EQ(s.Replace('t', 'T'), 3);
    EXPECT_EQ(s.Replace('w', 'w'), 0);
    EXPECT_EQ(s.Remove('T'), 3);
    EXPECT_EQ(S(s), "wo wo hree");

    CString aa("aaaa");
    EXPECT_EQ(aa.Replace("aa", "a"), 2); // matches never overlap
    EXPECT_EQ(S(aa), "aa");

    CString t("abc");
    EXPECT_EQ(t.Insert(1, 'X'), 4);
    EXPECT_EQ(t.Insert(99, "!"), 5);
    EXPECT_EQ(t.Insert(-4, "<"), 6);
    EXPECT_EQ(S(t), "<aXbc!");
    EXPECT_EQ(t.Delete(1, 2), 4);
    EXPECT_EQ(S(t), "<bc!");
    EXPECT_EQ(t.Delete(2, 100), 2);
    EXPECT_EQ(t.Delete(-1), 1);
    EXPECT_EQ(t.Delete(5), 1);
    EXPECT_EQ(t.Delete(0, -2), 1);
    EXPECT_EQ(S(t), "b");
}

TEST(String, TrimsWhiteSpaceAndChosenCharacters)
{
    CString s(" \t\r\n\v\fword  \f\n");
    s.TrimRight();
    EXPECT_EQ(S(s), " \t\r\n\v\fword");
    s.TrimLeft();
    EXPECT_EQ(S(s), "word");

    CString field("0042   ");
    field.TrimRight(' ');
    field.TrimLeft('0');
    EXPECT_EQ(S(field), "42");
    CString path("..\\x\\..");
    path.TrimRight(".\\");
    path.TrimLeft(".\\");
    EXPECT_EQ(S(path), "x");
    CString all("xxx");
    all.TrimLeft('x');
    EXPECT_TRUE(all.IsEmpty());
}

TEST(String, ComparesBytesAndFoldsCaseThrough1252)
{
    const CString s("caf\xE9");
    EXPECT_EQ(s.Compare("caf\xE9"), 0);
    EXPECT_GT(s.Compare("cafz"), 0); // bytes compare unsigned
    EXPECT_LT(CString("B").Compare("a"), 0);
    EXPECT_EQ(s.CompareNoCase("CAF\xC9"), 0);
    EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
    EXPECT_EQ(CString("Arial").CollateNoCase("ARIAL"), 0);
    EXPECT_LT(CString("apple").Collate("Banana"), 0);
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE("abc" == CString("abc"));
    EXPECT_TRUE(CString("abc") != "abd");
    EXPECT_TRUE(CString("\xE9") > "z");

    CString upper("stra\xDF" "e \xE9t\xE9 \xFF");
    upper.MakeUpper();
    EXPECT_EQ(S(upper), "STRA\xDF" "E \xC9T\xC9 \x9F");
    upper.MakeLower();
    EXPECT_EQ(S(upper), "stra\xDF" "e \xE9t\xE9 \xFF");
    upper.MakeReverse();
    EXPECT_EQ(S(upper), "\xFF \xE9t\xE9 e\xDF" "arts");
}

TEST(String, KeepsEmbeddedZeroBytes)
{
    CString s("a\0b\0c", 5);
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(s.Find('c'), 4);
    EXPECT_EQ(s.Find('\0', 2), 3);
    CString copy = s + CString("d");
    EXPECT_EQ(copy.GetLength(), 6);
    EXPECT_EQ(S(copy.Right(3)), std::string("\0cd", 3));
    // Comparisons see the C string, as the class library's do.
    EXPECT_EQ(s.Compare("a"), 0);
    EXPECT_EQ(std::strlen(static_cast<LPCTSTR>(s)), 1u);
}

TEST(String, BufferAccessSetsTheLength)
{
    CString s("old");
    char* p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(S(s), "hello");

    p = s.GetBuffer(0); // never shrinks
    EXPECT_EQ(std::string(p), "hello");
    s.ReleaseBuffer(3);
    EXPECT_EQ(S(s), "hel");
    s.GetBuffer(2);
    s.ReleaseBuffer(50); // clamped to what is there
    EXPECT_EQ(S(s), "hel");

    p = s.GetBufferSetLength(4);
    std::memcpy(p, "wxyz", 4);
    EXPECT_EQ(S(s), "wxyz");
    EXPECT_EQ(s.GetBufferSetLength(-1), static_cast<LPCTSTR>(s));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(String, ConstructsAndConcatenates)
{
    EXPECT_TRUE(CString(static_cast<LPCSTR>(nullptr)).IsEmpty());
    EXPECT_EQ(S(CString('-', 3)), "---");
    EXPECT_TRUE(CString('-', -2).IsEmpty());
    EXPECT_EQ(S(CString("abcdef", 3)), "abc");
    EXPECT_EQ(S(CString(u"\u2122 \u00E9\u0100")), "\x99 \xE9?");
    // A resource id that names no string gives an empty string, not a crash.
    EXPECT_TRUE(CString(MAKEINTRESOURCE(65000)).IsEmpty());

    CString s("ab");
    s += s;
    s += static_cast<LPCTSTR>(s) + 1;
    EXPECT_EQ(S(s), "ababbab");
    s = static_cast<LPCTSTR>(s) + 5;
    EXPECT_EQ(S(s), "ab");
    EXPECT_EQ(S('<' + s + '>' + "!" + CString("?")), "<ab>!?");
    EXPECT_EQ(S("x" + s), "xab");
    s.SetAt(0, 'A');
    EXPECT_EQ(s[0], 'A');
    EXPECT_EQ(s.GetAt(1), 'b');
}

TEST(String, InsertsNumberedStrings)
{
    const LPCTSTR two[] = {"Design 1", "7"};
    CString out;
    AfxFormatStrings(out, "Save changes to %1?", two, 2);
    EXPECT_EQ(S(out), "Save changes to Design 1?");
    AfxFormatStrings(out, "%2 of %1, %1; %3 %0 100%", two, 2);
    EXPECT_EQ(S(out), "7 of Design 1, Design 1; %3 %0 100%");
    const LPCTSTR none[] = {nullptr};
    AfxFormatStrings(out, "[%1]", none, 1);
    EXPECT_EQ(S(out), "[]");
}

} // namespace
