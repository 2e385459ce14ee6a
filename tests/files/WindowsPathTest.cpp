#include "platform/files/WindowsPath.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

CurrentFolders Folders(std::string current)
{
    CurrentFolders folders;
    folders.current = std::move(current);
    folders.folderOfDrive = [](char drive) { return drive == 'D' ? std::string("D:\\work\\d") : std::string(); };
    return folders;
}

TEST(WindowsPath, ParsesEveryKindOfRoot)
{
    struct Case {
        const char* path;
        PathRootKind kind;
        char drive;
        const char* server;
        const char* share;
        size_t length;
    } cases[] = {
        { "a\\b", PathRootKind::Relative, 0, "", "", 0 },
        { "\\a", PathRootKind::RootRelative, 0, "", "", 1 },
        { "c:a", PathRootKind::DriveRelative, 'C', "", "", 2 },
        { "C:\\a", PathRootKind::DriveAbsolute, 'C', "", "", 3 },
        { "C:/a", PathRootKind::DriveAbsolute, 'C', "", "", 3 },
        { "\\\\srv\\pics\\a.bmp", PathRootKind::Unc, 0, "srv", "pics", 11 },
        { "//srv/pics", PathRootKind::Unc, 0, "srv", "pics", 10 },
        { "\\\\srv", PathRootKind::Unc, 0, "srv", "", 5 },
    };
    for (const Case& c : cases) {
        PathRoot root = ParsePathRoot(c.path);
        EXPECT_EQ(root.kind, c.kind) << c.path;
        EXPECT_EQ(root.drive, c.drive) << c.path;
        EXPECT_EQ(root.server, c.server) << c.path;
        EXPECT_EQ(root.share, c.share) << c.path;
        EXPECT_EQ(root.length, c.length) << c.path;
    }
}

TEST(WindowsPath, SplitsOnBothSeparatorsWithoutEmptyNames)
{
    std::vector<std::string> expected { "dir", "sub", "file.txt" };
    EXPECT_EQ(SplitPathComponents("C:\\dir//sub\\\\file.txt"), expected);
    EXPECT_EQ(SplitPathComponents("\\\\srv\\share\\dir\\sub\\file.txt"), expected);
    EXPECT_TRUE(SplitPathComponents("C:\\").empty());
}

TEST(WindowsPath, TrailingSeparatorRulesKeepRoots)
{
    EXPECT_EQ(WithoutTrailingSeparator("C:\\dir\\"), "C:\\dir");
    EXPECT_EQ(WithoutTrailingSeparator("C:\\dir\\\\"), "C:\\dir");
    EXPECT_EQ(WithoutTrailingSeparator("C:\\"), "C:\\");
    EXPECT_EQ(WithoutTrailingSeparator("\\\\srv\\share\\"), "\\\\srv\\share\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\dir"), "C:\\dir\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\dir/"), "C:\\dir/");
}

TEST(WindowsPath, MakesFullPathsAsGetFullPathNameDoes)
{
    CurrentFolders folders = Folders("C:\\home\\ann");
    struct Case {
        const char* path;
        const char* full;
    } cases[] = {
        { "x.shr", "C:\\home\\ann\\x.shr" },
        { "..\\bob\\.\\y.shr", "C:\\home\\bob\\y.shr" },
        { "..\\..\\..\\..\\z", "C:\\z" },
        { "\\etc\\", "C:\\etc\\" },
        { "C:\\a\\b\\..", "C:\\a" },
        { "C:\\a\\b\\..\\", "C:\\a\\" },
        { "c:/a//b/", "c:\\a\\b\\" },
        { "C:", "C:\\home\\ann" },
        { "D:sub", "D:\\work\\d\\sub" },
        { "E:sub", "E:\\sub" },
        { "\\\\srv\\pics\\..\\..\\a.bmp", "\\\\srv\\pics\\a.bmp" },
        { "/tmp/x", "C:\\tmp\\x" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeFullPath(c.path, folders), c.full) << c.path;
}

TEST(WindowsPath, RelativePathsFollowTheCurrentDriveOrShare)
{
    EXPECT_EQ(MakeFullPath("\\x", Folders("E:\\cd\\dir")), "E:\\x");
    EXPECT_EQ(MakeFullPath("/x", Folders("E:\\cd\\dir")), "C:\\x");
    EXPECT_EQ(MakeFullPath("a", Folders("\\\\srv\\pics\\dir")), "\\\\srv\\pics\\dir\\a");
    EXPECT_EQ(MakeFullPath("\\a", Folders("\\\\srv\\pics\\dir")), "\\\\srv\\pics\\a");
}

TEST(WindowsPath, RefusesPathsThatCannotBeMadeFull)
{
    EXPECT_EQ(MakeFullPath("", Folders("C:\\")), "");
    EXPECT_EQ(MakeFullPath("\\\\srv", Folders("C:\\")), "");
    EXPECT_EQ(MakeFullPath("x", Folders("")), "");
}

TEST(WindowsPath, FileNameIsTheLastComponent)
{
    EXPECT_EQ(PathFileName("C:\\dir\\x.shr"), "x.shr");
    EXPECT_EQ(PathFileName("C:x.shr"), "x.shr");
    EXPECT_EQ(PathFileName("C:\\dir\\"), "");
    EXPECT_EQ(PathFileName("\\\\srv\\share"), "");
}

TEST(WindowsPath, MatchesWildcardsWithoutCase)
{
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        { "A.JPG", "*.JPG", true },
        { "a.jpg", "*.JPG", true },
        { "A.GIF", "*.JPG", false },
        { "AXXB", "A*B", true },
        { "AB", "A*B", true },
        { "AXXBC", "A*B", false },
        { "abc", "a?c", true },
        { "ac", "a?c", false },
        { "README", "*.*", true },
        { "x.tar.gz", "*.*", true },
        { ".", "*.*", true },
        { "README", "*", true },
        { "README", "READ*.*", true },
        { "README", "*.", true },
        { "x.txt", "*.", false },
        { "\xC9T\xC9.TXT", "\xE9t\xE9.txt", true }, // 1252 accented letters fold too
        { "aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*c", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchFileNamePattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

} // namespace
