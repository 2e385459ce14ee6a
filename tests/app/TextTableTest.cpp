#include "app/TextTable.h"

#include "platform/ui/Headless.h"
#include "platform/ui/Messages.h"
#include "platform/ui/User.h"
#include "tests/app/TableTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using table_test::Header;
using table_test::Pad;
using table_test::WinPath;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

class TextTableTest : public table_test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        tables = MakeTempDir("tables");
        folder = WinPath(tables) + "\\";
    }
    void TearDown() override
    {
        ProgramFolderTest::TearDown();
        EXPECT_TRUE(boxes.empty());
    }

    std::string TableBytes(const char* stem) { return ReadFileBytes(tables + "/QVN." + stem); }
    void WriteTable(const char* stem, const std::string& bytes) { WriteFileBytes(tables + "/QVN." + stem, bytes); }

    static DesignRecord SampleDesign()
    {
        DesignRecord record;
        record.occasions.Set(0);
        record.occasions.Set(33);
        record.occasions.Set(127);
        record.nKind = 2;
        record.strName = "Birthday card";
        record.strPath = "C:\\d\\b.shr";
        record.nNumber1 = 7;
        record.nNumber2 = -12;
        record.strText = "note";
        record.nNumber3 = 9999;
        record.strPath2 = "C:\\d\\b2.shr";
        return record;
    }

    static void ExpectSameDesign(const DesignRecord& a, const DesignRecord& b)
    {
        EXPECT_EQ(a.occasions, b.occasions);
        EXPECT_EQ(a.nKind, b.nKind);
        EXPECT_EQ(a.strName, b.strName);
        EXPECT_EQ(a.strPath, b.strPath);
        EXPECT_EQ(a.nNumber1, b.nNumber1);
        EXPECT_EQ(a.nNumber2, b.nNumber2);
        EXPECT_EQ(a.strText, b.strText);
        EXPECT_EQ(a.nNumber3, b.nNumber3);
        EXPECT_EQ(a.strPath2, b.strPath2);
    }

    std::string tables;
    std::string folder;
};

const std::string kSampleFlags = "00000001 00000002 00000000 80000000 ";

TEST_F(TextTableTest, NewDesignTableWritesCurrentRecordsExactly)
{
    {
        CTableFile table(folder.c_str());
        ASSERT_TRUE(table.IsOpen());
        EXPECT_EQ(table.GetRecordCount(), 0);
        ASSERT_TRUE(table.AddRecord(SampleDesign(), FALSE));
        EXPECT_EQ(table.GetRecordCount(), 1);
        DesignRecord back;
        ASSERT_TRUE(table.ReadRecord(0, back));
        ExpectSameDesign(back, SampleDesign());
        EXPECT_TRUE(back.IsValid());
    }
    EXPECT_EQ(TableBytes("kqa"), Header("5 615", 615) + kSampleFlags + " 2" + Pad("Birthday card", 25)
            + Pad("C:\\d\\b.shr", 260) + "7   " + "-12 " + Pad("note", 20) + "9999" + Pad("C:\\d\\b2.shr", 260));
}

TEST_F(TextTableTest, OlderDesignVersionsReadAndWriteTheirOwnColumns)
{
    struct Case {
        int version;
        int length;
        std::string record; // what SampleDesign() becomes in that version
        bool hasNumbers;
        bool shortPath;
    };
    const std::string numbers = std::string("7   ") + "-12 " + Pad("note", 20) + "9999";
    const std::string common = kSampleFlags + " 2" + Pad("Birthday card", 25);
    const Case cases[] = {
        {1, 323, common + Pad("C:\\d\\b.shr", 260), false, false},
        {2, 355, common + Pad("C:\\d\\b.shr", 260) + numbers, true, false},
        {3, 120, common + Pad("C:\\d\\b.shr", 25) + numbers, true, true},
        {4, 355, common + Pad("C:\\d\\b.shr", 260) + numbers, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const std::string header = Header(std::to_string(c.version) + " " + std::to_string(c.length), c.length);
        ASSERT_EQ(c.record.size(), static_cast<size_t>(c.length));
        WriteTable("kqa", header + c.record);
        {
            CTableFile table(folder.c_str());
            ASSERT_EQ(table.GetHeaderVersion(), c.version);
            ASSERT_EQ(table.GetRecordCount(), 1);
            DesignRecord read;
            ASSERT_TRUE(table.ReadRecord(0, read));
            DesignRecord expected = SampleDesign();
            expected.strPath2.Empty();
            if (!c.hasNumbers) {
                expected.nNumber1 = expected.nNumber2 = expected.nNumber3 = 0;
                expected.strText.Empty();
            }
            ExpectSameDesign(read, expected);
            // Writing the sample appends the same bytes: the second path
            // has no column before the current version.
            ASSERT_TRUE(table.WriteRecord(1, SampleDesign()));
        }
        EXPECT_EQ(TableBytes("kqa"), header + c.record + c.record);
    }
}

TEST_F(TextTableTest, OtherTablesWriteExactRecords)
{
    {
        COccasionTable occasions(folder.c_str());
        ASSERT_TRUE(occasions.AddRecord({12, 3, "Christmas", "C:\\kit\\xmas.bmp"}));
        OccasionRecord back;
        ASSERT_TRUE(occasions.ReadRecord(0, back));
        EXPECT_EQ(back.nId, 12);
        EXPECT_EQ(back.nNumber, 3);
        EXPECT_EQ(back.strName, "Christmas");
        EXPECT_EQ(back.strIconPath, "C:\\kit\\xmas.bmp");
    }
    EXPECT_EQ(TableBytes("kqb"),
        Header("5 307", 307) + "12  " + "3  " + Pad("Christmas", 40) + Pad("C:\\kit\\xmas.bmp", 260));

    {
        CCategoryTable categories(folder.c_str());
        ASSERT_TRUE(categories.AddRecord({4, "Animals"}));
    }
    EXPECT_EQ(TableBytes("kqd"), Header("5 44", 44) + "4   " + Pad("Animals", 40));

    {
        CUserTable users(folder.c_str());
        ASSERT_TRUE(users.AddRecord({1, "ann", "Ann Smith", "1 Main St", "", "Springfield", "IL", "62701"}));
    }
    EXPECT_EQ(TableBytes("kqe"), Header("5 469", 469) + "1   " + Pad("ann", 20) + Pad("Ann Smith", 40)
            + Pad("1 Main St", 40) + Pad("", 40) + Pad("Springfield", 30) + Pad("IL", 20) + Pad("62701", 15)
            + Pad("", 260));

    // Project kinds have no layout of the current version: a new table is
    // made with the newest one it has.
    {
        CProjectKindTable kinds(folder.c_str());
        EXPECT_EQ(kinds.GetHeaderVersion(), 4);
        ASSERT_TRUE(kinds.AddRecord({7, 8, "Poster", "Big", 9, "C:\\a.shr", "C:\\b.shr", 10, -1}));
        ProjectKindRecord back;
        ASSERT_TRUE(kinds.ReadRecord(0, back));
        EXPECT_EQ(back.strDescription, "Big");
        EXPECT_EQ(back.strPath2, "C:\\b.shr");
        EXPECT_EQ(back.nNumber4, -1);
    }
    EXPECT_EQ(TableBytes("kqc"), Header("4 780", 780) + "7   " + "8   " + Pad("Poster", 40) + Pad("Big", 200)
            + "9   " + Pad("C:\\a.shr", 260) + Pad("C:\\b.shr", 260) + "10  " + "-1  ");
}

TEST_F(TextTableTest, LongNamesAreCutButWideNumbersAndPathsAreRefused)
{
    CTableFile table(folder.c_str());
    DesignRecord record = SampleDesign();
    record.strName = "A name much longer than twenty-five";
    ASSERT_TRUE(table.AddRecord(record, FALSE));
    DesignRecord back;
    ASSERT_TRUE(table.ReadRecord(0, back));
    EXPECT_EQ(back.strName, "A name much longer than t");

    const std::string before = TableBytes("kqa");
    DesignRecord widePath = SampleDesign();
    widePath.strPath = CString(std::string(261, 'p'));
    DesignRecord wideKind = SampleDesign();
    wideKind.nKind = 100;
    DesignRecord wideNumber = SampleDesign();
    wideNumber.nNumber3 = 10000;
    for (const DesignRecord* bad : {&widePath, &wideKind, &wideNumber}) {
        EXPECT_FALSE(table.AddRecord(*bad, FALSE));
        EXPECT_FALSE(table.WriteRecord(0, *bad));
    }
    EXPECT_EQ(table.GetRecordCount(), 1);
    EXPECT_EQ(TableBytes("kqa"), before);

    COccasionTable occasions(folder.c_str());
    EXPECT_FALSE(occasions.AddRecord({10000, 0, "Too wide", ""}));
    EXPECT_EQ(occasions.GetRecordCount(), 0);
}

TEST_F(TextTableTest, OccasionSetNeedsAllFourGroups)
{
    WriteTable("kqa", Header("5 615", 615)
            + Pad("00000001 00000002 00000003", 36) + " 1" + Pad("Three", 25) + Pad("C:\\x.shr", 615 - 63));
    CTableFile table(folder.c_str());
    DesignRecord record;
    ASSERT_TRUE(table.ReadRecord(0, record));
    EXPECT_TRUE(record.occasions.IsEmpty());
    EXPECT_EQ(record.nKind, 1);
    EXPECT_EQ(record.strPath, "C:\\x.shr");
}

TEST_F(TextTableTest, ReadsAndWritesPastTheEndFail)
{
    CTableFile table(folder.c_str());
    ASSERT_TRUE(table.AddRecord(SampleDesign(), FALSE));
    DesignRecord record = SampleDesign();
    EXPECT_FALSE(table.ReadRecord(1, record));
    EXPECT_FALSE(record.IsValid());
    EXPECT_TRUE(record.occasions.IsEmpty());
    EXPECT_FALSE(table.ReadRecord(-1, record));
    EXPECT_FALSE(table.WriteRecord(2, SampleDesign()));
    EXPECT_TRUE(table.DeleteRecord(0));
    EXPECT_EQ(table.GetRecordCount(), 0);
    EXPECT_FALSE(table.DeleteRecord(0));
}

class DesignQueryTest : public TextTableTest {
protected:
    void SetUp() override
    {
        TextTableTest::SetUp();
        table = std::make_unique<CTableFile>(folder.c_str());
        for (int i = 0; i < 4; ++i) {
            DesignRecord record;
            record.occasions.Set(10 + i);
            record.nKind = i;
            record.strName.Format("Design %d", i);
            record.strPath.Format("C:\\designs\\d%d.shr", i);
            record.nNumber2 = i * 10;
            ASSERT_TRUE(table->AddRecord(record, FALSE));
        }
    }

    // The indexes of every record the query finds.
    std::vector<int> FindAll(DesignQuery& query)
    {
        std::vector<int> found;
        DesignRecord record;
        for (BOOL ok = table->FindFirst(query, record); ok; ok = table->FindNext(query, record))
            found.push_back(query.nFound);
        EXPECT_EQ(query.nFound, -1);
        return found;
    }

    std::unique_ptr<CTableFile> table;
};

TEST_F(DesignQueryTest, EmptyQueryFindsNothing)
{
    DesignQuery query;
    EXPECT_EQ(FindAll(query), std::vector<int>{});
}

TEST_F(DesignQueryTest, CriteriaMustAllHold)
{
    DesignQuery query;
    query.nMask = DesignQuery::byOccasion | DesignQuery::byKind;
    query.occasions.Set(11);
    query.occasions.Set(13);
    query.dwKindMask = (1 << 1) | (1 << 2);
    EXPECT_EQ(FindAll(query), std::vector<int>{1});
    EXPECT_EQ(query.nMask, DesignQuery::byOccasion | DesignQuery::byKind);

    DesignQuery byName;
    byName.nMask = DesignQuery::byName;
    byName.strName = "DESIGN 3";
    EXPECT_EQ(FindAll(byName), std::vector<int>{3});
}

TEST_F(DesignQueryTest, SecondNumberIsIgnoredWhileKindBitZeroIsSet)
{
    DesignQuery query;
    query.nMask = DesignQuery::byNumber2;
    query.nNumber2 = 20;
    EXPECT_EQ(FindAll(query), std::vector<int>{2});
    query.dwKindMask = 1;
    EXPECT_EQ(FindAll(query), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(DesignQueryTest, AddWithReplaceOverwritesTheRecordOfTheSamePath)
{
    DesignRecord record;
    record.nKind = 5;
    record.strName = "Replaced";
    record.strPath = "c:\\DESIGNS\\d2.shr";
    ASSERT_TRUE(table->AddRecord(record, TRUE));
    EXPECT_EQ(table->GetRecordCount(), 4);
    DesignRecord back;
    ASSERT_TRUE(table->ReadRecord(2, back));
    EXPECT_EQ(back.strName, "Replaced");

    record.strPath = "C:\\designs\\new.shr";
    ASSERT_TRUE(table->AddRecord(record, TRUE));
    EXPECT_EQ(table->GetRecordCount(), 5);
}

TEST_F(TextTableTest, MissingProjectKindTableIsWrittenFromTheResources)
{
    const std::string support = program + "/support/QVN.kqc";
    {
        CProjectKindTable kinds;
        ASSERT_TRUE(kinds.IsOpen());
        EXPECT_EQ(kinds.GetHeaderVersion(), 3);
        ASSERT_EQ(kinds.GetRecordCount(), 6);
        const char* const names[] = {"T-Shirt", "Apparel", "Mousepad", "Calendar", "Label", "General"};
        for (int i = 0; i < 6; ++i) {
            ProjectKindRecord record;
            ASSERT_TRUE(kinds.ReadRecord(i, record));
            EXPECT_EQ(record.nId, i);
            EXPECT_EQ(record.nNumber1, i);
            EXPECT_EQ(record.strName, names[i]);
            EXPECT_EQ(record.strDescription, "");
            EXPECT_EQ(record.strPath1, "");
        }
    }
    std::string expected = Header("3 780", 780);
    const char* const names[] = {"T-Shirt", "Apparel", "Mousepad", "Calendar", "Label", "General"};
    for (int i = 0; i < 6; ++i) {
        expected += Pad(std::to_string(i), 4) + Pad(std::to_string(i), 4) + Pad(names[i], 40) + Pad("", 200)
            + "0   " + Pad("", 520) + "0   " + "0   ";
    }
    EXPECT_EQ(ReadFileBytes(support), expected);

    // An existing table is the user's: it is not written over.
    WriteFileBytes(support, Header("3 780", 780));
    {
        CProjectKindTable kinds;
        EXPECT_EQ(kinds.GetRecordCount(), 0);
    }
    EXPECT_EQ(ReadFileBytes(support).size(), 780u);
}

TEST_F(TextTableTest, ReplaceFlagStartsAnEmptyTable)
{
    {
        COccasionTable occasions(folder.c_str());
        ASSERT_TRUE(occasions.AddRecord({1, 1, "One", ""}));
    }
    COccasionTable occasions(folder.c_str(), TRUE);
    EXPECT_EQ(occasions.GetRecordCount(), 0);
}

TEST_F(TextTableTest, UsersAreFoundByNameAndGiveTheirAddress)
{
    {
        CUserTable users(folder.c_str());
        ASSERT_TRUE(users.AddRecord({1, "Predesigned", "", "", "", "", "", ""}));
        ASSERT_TRUE(users.AddRecord({0, "gone", "Old User", "", "", "", "", ""}));
        ASSERT_TRUE(users.AddRecord({1, "ann", "Ann Smith", "1 Main St", "", "Springfield", "IL", "62701"}));
        ASSERT_TRUE(users.AddRecord({1, "bob", "Bob Jones", "Flat 2", "9 High St", "Leeds", "WY", "LS1"}));
    }
    CUserTable users(folder.c_str());
    EXPECT_TRUE(users.UserExists("ANN"));
    EXPECT_FALSE(users.UserExists("carl"));
    CString text;
    ASSERT_TRUE(users.GetAddressText("Ann", text));
    EXPECT_EQ(text, "Ann Smith\r\n1 Main St\r\nSpringfield, IL  62701");
    ASSERT_TRUE(users.GetAddressText("bob", text));
    EXPECT_EQ(text, "Bob Jones\r\nFlat 2\r\n9 High St\r\nLeeds, WY  LS1");
    EXPECT_FALSE(users.GetAddressText("carl", text));
    EXPECT_EQ(text, "");
}

// What a list or combo box was given: "name=item data" per added item.
std::vector<std::string> g_listItems;

LRESULT CALLBACK RecordingListProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == LB_ADDSTRING || msg == CB_ADDSTRING) {
        g_listItems.push_back(reinterpret_cast<LPCSTR>(lParam));
        return static_cast<LRESULT>(g_listItems.size() - 1);
    }
    if (msg == LB_SETITEMDATA || msg == CB_SETITEMDATA) {
        g_listItems.at(wParam) += "=" + std::to_string(lParam);
        return TRUE;
    }
    return DefWindowProc(hWnd, msg, wParam, lParam);
}

TEST_F(TextTableTest, UserListsLeaveFreeSlotsOutAndCloseTheTable)
{
    {
        CUserTable users(folder.c_str());
        ASSERT_TRUE(users.AddRecord({1, "Predesigned", "", "", "", "", "", ""}));
        ASSERT_TRUE(users.AddRecord({0, "gone", "", "", "", "", "", ""}));
        ASSERT_TRUE(users.AddRecord({2, "ann", "", "", "", "", "", ""}));
    }
    platform::headless::Reset();
    WNDCLASS wc = {};
    wc.lpfnWndProc = RecordingListProc;
    wc.lpszClassName = "TableTestList";
    RegisterClass(&wc);
    HWND list = CreateWindowEx(0, "TableTestList", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(list, nullptr);
    for (bool combo : {false, true}) {
        g_listItems.clear();
        CUserTable users(folder.c_str());
        if (combo)
            users.FillComboBox(list);
        else
            users.FillListBox(list);
        EXPECT_EQ(g_listItems, (std::vector<std::string>{"Predesigned=0", "ann=2"}));
        EXPECT_FALSE(users.IsOpen());
    }
    DestroyWindow(list);
    platform::headless::Reset();
}

TEST_F(TextTableTest, UserGuardCreatesTheFirstUsersOnce)
{
    int asked = 0;
    CUserGuard::SetReturnAddressPrompt([&asked](UserRecord& record) {
        ++asked;
        record.strUserName = "ann";
        record.strEnvelopeName = "Ann Smith";
        return TRUE;
    });
    { CUserGuard guard; }
    { CUserGuard guard; }
    CUserGuard::SetReturnAddressPrompt({});
    EXPECT_EQ(asked, 1);
    CUserTable users;
    ASSERT_EQ(users.GetRecordCount(), 2);
    UserRecord record;
    ASSERT_TRUE(users.ReadRecord(0, record));
    EXPECT_EQ(record.strUserName, "Predesigned");
    EXPECT_EQ(record.nInUse, 1);
    ASSERT_TRUE(users.ReadRecord(1, record));
    EXPECT_EQ(record.strEnvelopeName, "Ann Smith");
}

TEST_F(TextTableTest, TablesOfAVersionWithoutLayoutReadAsEmptyAndStayUntouched)
{
    const std::string bytes = Header("1 469", 469) + Pad("1", 469);
    WriteTable("kqe", bytes);
    {
        CUserTable users(folder.c_str());
        EXPECT_EQ(users.GetRecordCount(), 0);
        EXPECT_FALSE(users.UserExists("1"));
    }
    EXPECT_EQ(TableBytes("kqe"), bytes);
}

TEST_F(TextTableTest, KitTablesAreReadFromTheirSupportCopy)
{
    WriteFileBytes(tables + "/Holiday.kqb", Header("5 307", 307) + "3   " + "0  " + Pad("Easter", 40) + Pad("", 260));
    const std::string kit = folder + "Holiday.kqb";
    const std::string copy = WinPath(program) + "\\support\\Holiday.kqb";
    EXPECT_EQ(GetTableFilePath(kit.c_str()), copy.c_str());
    EXPECT_EQ(ReadFileBytes(program + "/support/Holiday.kqb"), ReadFileBytes(tables + "/Holiday.kqb"));

    // Once there, the copy is used, not the kit's file.
    WriteFileBytes(tables + "/Holiday.kqb", "changed");
    COccasionTable occasions(folder.c_str());
    ASSERT_TRUE(occasions.OpenTable(kit.c_str()));
    OccasionRecord record;
    ASSERT_TRUE(occasions.ReadRecord(0, record));
    EXPECT_EQ(record.strName, "Easter");

    // A file that is not there is used as given.
    const std::string missing = folder + "none.kqb";
    EXPECT_EQ(GetTableFilePath(missing.c_str()), missing.c_str());
    EXPECT_EQ(GetSupportTablePath("kqa"), (WinPath(program) + "\\support\\QVN.kqa").c_str());
}

TEST_F(TextTableTest, NewUserFoldersAreNumberedAndCreated)
{
    CString first = NextUserFolderName();
    CString second = NextUserFolderName();
    EXPECT_EQ(first, (WinPath(program) + "\\UserData\\User1\\").c_str());
    EXPECT_EQ(second, (WinPath(program) + "\\UserData\\User2\\").c_str());
    EXPECT_TRUE(std::filesystem::is_directory(program + "/UserData/User2"));
}

TEST(FlagSet128, SetsTestsAndJoinsFlags)
{
    CFlagSet128 a;
    a.Set(0);
    a.Set(127);
    a.Set(128);
    a.Set(-1);
    EXPECT_TRUE(a.Test(0));
    EXPECT_TRUE(a.Test(127));
    EXPECT_FALSE(a.Test(128));
    EXPECT_EQ(a.GetWord(3), 0x80000000u);
    CFlagSet128 b;
    b.Set(64);
    EXPECT_FALSE(a.Intersects(b));
    b.Union(a);
    EXPECT_TRUE(b.Test(64) && b.Test(0) && b.Test(127));
    EXPECT_TRUE(a.Intersects(b));
    b.Clear(64);
    EXPECT_EQ(a, b);
}

} // namespace
