#include "app/ContentCatalog.h"

#include "app/KitFinder.h"
#include "platform/profile/Registry.h"
#include "tests/app/TableTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using table_test::Header;
using table_test::Pad;
using table_test::WinPath;
using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

namespace {

std::string OccasionRecordBytes(int id, const std::string& name, const std::string& icon)
{
    return Pad(std::to_string(id), 4) + "0  " + Pad(name, 40) + Pad(icon, 260);
}

std::string DesignRecordBytes(int occasion, int kind, const std::string& name, const std::string& path, int number2)
{
    std::string flags;
    for (int w = 0; w < 4; ++w) {
        char group[16];
        std::snprintf(group, sizeof(group), "%08x ", occasion / 32 == w ? 1u << (occasion % 32) : 0u);
        flags += group;
    }
    return flags + " " + std::to_string(kind) + Pad(name, 25) + Pad(path, 260) + "0   " + Pad(std::to_string(number2), 4)
        + Pad("", 20) + "0   " + Pad("", 260);
}

class ContentCatalogTest : public table_test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        kitA = MakeTempDir("kitA");
        kitB = MakeTempDir("kitB");
        SetKitWalkerFactory([this](LPCTSTR extension) {
            std::vector<CString> paths{GetSupportTablePath(extension)};
            for (const std::string& kit : kits)
                paths.push_back(kit.c_str());
            return std::make_unique<CKitPathList>(extension, paths);
        });
        SetCurrentKitFolder("");
    }
    void TearDown() override
    {
        SetKitWalkerFactory({});
        SetIndexProgressFactory({});
        ProgramFolderTest::TearDown();
    }

    void WriteSupport(const char* stem, const std::string& bytes)
    {
        WriteFileBytes(program + "/support/QVN." + stem, bytes);
    }
    // Writes a kit table and lists it as the next kit.
    std::string AddKit(const std::string& dir, const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(dir + "/" + name, bytes);
        kits.push_back(WinPath(dir) + "\\" + name);
        return kits.back();
    }

    std::string kitA;
    std::string kitB;
    std::vector<std::string> kits;
};

TEST_F(ContentCatalogTest, EachOccasionIsListedOnceFromTheFirstPlaceThatHasIt)
{
    const std::string header = Header("5 307", 307);
    WriteSupport("kqb", header + OccasionRecordBytes(1, "Birthday", "support\\cake.bmp"));
    AddKit(kitA, "a.kqb",
        header + OccasionRecordBytes(12, "Christmas", "D:\\old\\xmas.bmp") + OccasionRecordBytes(200, "Bad", "")
            + OccasionRecordBytes(-1, "Bad", ""));
    AddKit(kitB, "b.kqb", header + OccasionRecordBytes(12, "Yule", "") + OccasionRecordBytes(1, "Again", "")
            + OccasionRecordBytes(127, "Last", ""));

    COccasionCatalog catalog;
    std::vector<std::string> names;
    std::vector<std::string> icons;
    OccasionRecord record;
    for (BOOL ok = catalog.GetFirst(record); ok; ok = catalog.GetNext(record)) {
        names.push_back(record.strName.Std());
        icons.push_back(record.strIconPath.Std());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Birthday", "Christmas", "Last"}));
    EXPECT_EQ(icons[0], WinPath(program) + "\\support\\cake.bmp");
    EXPECT_EQ(icons[1], WinPath(kitA) + "\\xmas.bmp");
    EXPECT_EQ(icons[2], "");
    // A second walk starts with fresh seen flags.
    EXPECT_EQ(catalog.Count(), 3);
}

TEST_F(ContentCatalogTest, WithoutAFactoryCatalogsReadTheRegisteredKits)
{
    SetKitWalkerFactory({});
    std::remove(platform::RegistryFilePath().c_str());
    platform::ResetRegistryForTests();
    const std::string header = Header("5 307", 307);
    WriteSupport("kqb", header + OccasionRecordBytes(1, "Birthday", ""));
    WriteFileBytes(kitA + "/a.kqb", header + OccasionRecordBytes(12, "Christmas", ""));
    {
        CRegKeyHelper key;
        key.Ensure(kKitsRegistryKey);
        ASSERT_TRUE(key.SetString("a", (WinPath(kitA) + "\\a.kqb").c_str()));
    }

    COccasionCatalog catalog;
    std::vector<std::string> names;
    OccasionRecord record;
    for (BOOL ok = catalog.GetFirst(record); ok; ok = catalog.GetNext(record))
        names.push_back(record.strName.Std());
    EXPECT_EQ(names, (std::vector<std::string>{"Birthday", "Christmas"}));
}

TEST_F(ContentCatalogTest, DesignCatalogWalksEveryKitInOrder)
{
    const std::string header = Header("5 615", 615);
    WriteSupport("kqa", header + DesignRecordBytes(1, 0, "Own", "C:\\own.shr", 0));
    AddKit(kitA, "a.kqa", header); // no records: passed over
    AddKit(kitB, "b.kqa", header + DesignRecordBytes(2, 3, "B0", "C:\\b0.shr", 5) + DesignRecordBytes(3, 4, "B1", "C:\\b1.shr", 6));

    CDesignCatalog catalog;
    catalog.Rescan(0);
    DesignQuery all;
    DesignRecord record;
    std::vector<std::string> seen;
    for (BOOL ok = catalog.GetFirst(all, record); ok; ok = catalog.GetNext(all, record))
        seen.push_back(record.strName.Std() + "@" + std::to_string(all.nKit) + ":" + std::to_string(all.nFound));
    EXPECT_EQ(seen, (std::vector<std::string>{"Own@0:0", "B0@2:0", "B1@2:1"}));

    DesignQuery kind4;
    kind4.nMask = DesignQuery::byKind;
    kind4.dwKindMask = 1 << 4;
    ASSERT_TRUE(catalog.GetFirst(kind4, record));
    EXPECT_EQ(record.strName, "B1");
    EXPECT_FALSE(catalog.GetNext(kind4, record));

    // A filter with kit 2's flag clear leaves its records out.
    CFlagSet128 filter;
    filter.SetAll();
    filter.Clear(2);
    CDesignCatalog filtered(&filter);
    int count = 0;
    for (BOOL ok = filtered.GetFirst(all, record); ok; ok = filtered.GetNext(all, record))
        ++count;
    EXPECT_EQ(count, 1);
}

TEST_F(ContentCatalogTest, ProjectKindsComeFromTheSeededTable)
{
    CProjectKindCatalog catalog;
    CString name;
    EXPECT_TRUE(catalog.GetKindName(3, name));
    EXPECT_EQ(name, "Calendar");
    EXPECT_FALSE(catalog.GetKindName(9, name));
    CString path = "X:\\elsewhere\\art.wmf";
    catalog.MakeFullPath(path);
    EXPECT_EQ(path, (WinPath(program) + "\\support\\art.wmf").c_str());

    CategoryRecord category;
    CCategoryCatalog categories;
    EXPECT_FALSE(categories.GetFirst(category));
}

TEST_F(ContentCatalogTest, PartialRecordAtTheEndOfAKitIsNotRead)
{
    // Only whole records count: the cut one is left out and the walk goes on.
    const std::string header = Header("5 44", 44);
    WriteSupport("kqd", header + Pad("1", 4) + Pad("Animals", 40));
    AddKit(kitA, "a.kqd", header + Pad("2", 4) + Pad("Birds", 40) + "3   Fi");
    AddKit(kitB, "b.kqd", header + Pad("4", 4) + Pad("Fish", 40));
    CCategoryCatalog catalog;
    std::vector<int> ids;
    CategoryRecord record;
    for (BOOL ok = catalog.GetFirst(record); ok; ok = catalog.GetNext(record))
        ids.push_back(record.nId);
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 4}));
}

class CancelAfter : public CIndexProgress {
public:
    CancelAfter(int steps, std::vector<std::string>* log)
        : m_left(steps)
        , m_log(log)
    {
    }
    void Start(UINT id, int full) override { m_log->push_back("start " + std::to_string(id) + " " + std::to_string(full)); }
    void Step() override { --m_left; }
    BOOL IsCancelled() override { return m_left <= 0; }
    void Finish() override { m_log->push_back("finish"); }

private:
    int m_left;
    std::vector<std::string>* m_log;
};

TEST_F(ContentCatalogTest, DesignIndexSearchesCopiesAndNotesTheKitFolder)
{
    const std::string header = Header("5 615", 615);
    WriteSupport("kqa", header + DesignRecordBytes(1, 0, "Own", "C:\\own.shr", 0));
    const std::string kit = AddKit(kitA, "a.kqa", header + DesignRecordBytes(5, 2, "Kit", "pics\\kit.shr", 7));

    CDesignIndex index;
    DesignQuery empty;
    const DesignRecord* found = nullptr;
    EXPECT_FALSE(index.FindFirst(empty, found));
    EXPECT_TRUE(index.IsLoaded());
    EXPECT_EQ(index.GetCount(), 2);

    DesignQuery query;
    query.nMask = DesignQuery::byOccasion;
    query.occasions.Set(5);
    ASSERT_TRUE(index.FindFirst(query, found));
    EXPECT_EQ(found->strName, "Kit");
    EXPECT_EQ(query.nFound, 1);
    EXPECT_EQ(GetCurrentKitFolder(), kit.c_str());
    EXPECT_FALSE(index.FindNext(query, found));
    EXPECT_EQ(query.nFound, -1);

    // A missing picture is looked for beside the kit the design came from.
    CString picture = "E:\\cd\\pics\\flower.bmp";
    RelocateToKitFolder(picture);
    EXPECT_EQ(picture, (WinPath(kitA) + "\\pics\\flower.bmp").c_str());
    CString existing = kit.c_str();
    RelocateToKitFolder(existing);
    EXPECT_EQ(existing, kit.c_str());
}

TEST_F(ContentCatalogTest, CancelledLoadLeavesTheIndexEmptyUntilTheNextSearch)
{
    const std::string header = Header("5 615", 615);
    WriteSupport("kqa", header + DesignRecordBytes(1, 0, "A", "C:\\a.shr", 0) + DesignRecordBytes(1, 0, "B", "C:\\b.shr", 0));
    std::vector<std::string> log;
    SetIndexProgressFactory([&log] { return std::make_unique<CancelAfter>(1, &log); });

    CDesignIndex index;
    DesignQuery query;
    query.nMask = DesignQuery::byOccasion;
    query.occasions.Set(1);
    const DesignRecord* found = nullptr;
    EXPECT_FALSE(index.FindFirst(query, found));
    EXPECT_FALSE(index.IsLoaded());
    EXPECT_EQ(index.GetCount(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"start 1008 1513", "finish"}));

    SetIndexProgressFactory([&log] { return std::make_unique<CancelAfter>(100, &log); });
    ASSERT_TRUE(index.FindFirst(query, found));
    EXPECT_TRUE(index.IsLoaded());
    EXPECT_EQ(index.GetCount(), 2);
}

} // namespace
