// Deleting the temporary picture files of undo steps: a composite's two
// parts go first, and entries of a bad length stop the walk so that only
// the file itself is deleted.

#include "model/UndoTempFiles.h"

#include "platform/files/HostPath.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string Entry(const std::string& path)
{
    const uint32_t n = static_cast<uint32_t>(path.size());
    return std::string(reinterpret_cast<const char*>(&n), 4) + path;
}

TEST(UndoTempFiles, ACompositesPartsGoWithIt)
{
    const std::string dir = testing_support::MakeTempDir("undotemp");
    testing_support::WriteFileBytes(dir + "/part1.tmp", "1");
    testing_support::WriteFileBytes(dir + "/part2.tmp", "2");
    testing_support::WriteFileBytes(dir + "/o4i123.tmp",
        Entry(platform::WindowsPathFor(dir + "/part1.tmp")) + Entry(platform::WindowsPathFor(dir + "/part2.tmp")) + "rest");
    DeleteTemporaryPicture(platform::WindowsPathFor(dir + "/o4i123.tmp").c_str());
    EXPECT_FALSE(std::filesystem::exists(dir + "/o4i123.tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/part1.tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/part2.tmp"));

    // Another temporary picture is only itself.
    testing_support::WriteFileBytes(dir + "/part1.tmp", "1");
    testing_support::WriteFileBytes(dir + "/o4m9.tmp", Entry(platform::WindowsPathFor(dir + "/part1.tmp")));
    DeleteTemporaryPicture(platform::WindowsPathFor(dir + "/o4m9.tmp").c_str());
    EXPECT_FALSE(std::filesystem::exists(dir + "/o4m9.tmp"));
    EXPECT_TRUE(std::filesystem::exists(dir + "/part1.tmp"));
}

TEST(UndoTempFiles, LengthsOutsideOneTo284StopTheWalk)
{
    EXPECT_TRUE(ReadCompositeParts(std::string(4, '\0')).empty());
    EXPECT_TRUE(ReadCompositeParts(Entry(std::string(285, 'a'))).empty());
    EXPECT_EQ(ReadCompositeParts(Entry(std::string(284, 'a'))).size(), 1u);
    // A length past the end, a cut length word, a path with a zero in it.
    EXPECT_TRUE(ReadCompositeParts(std::string("\x10\x00\x00\x00" "abc", 7)).empty());
    EXPECT_TRUE(ReadCompositeParts(std::string("\x01\x00", 2)).empty());
    const auto parts = ReadCompositeParts(Entry(std::string("C:\\a\0junk", 9)) + Entry("C:\\b") + Entry("C:\\c"));
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_STREQ(parts[0], "C:\\a");
    EXPECT_STREQ(parts[1], "C:\\b");
}

} // namespace
