#include "app/FlatDatabase.h"

#include "platform/base/Exception.h"
#include "platform/files/DriveTable.h"
#include "platform/ui/AfxMessageBox.h"
#include "tests/app/TableTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using table_test::WinPath;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

std::string Nuls(size_t n)
{
    return std::string(n, '\0');
}

// Two columns of 4 in every version from 2 on (record length 8); none for
// version 1, which stands for an older table kind.
class SmallTable : public CDataBaseFile {
public:
    void GetLayout(int version, DbLayout& layout) const override
    {
        layout.nCount = 0;
        if (version >= 2 && version <= 5) {
            layout.nCount = 2;
            layout.widths[0] = 4;
            layout.widths[1] = 4;
        }
    }

    // Reads fail from the given call on, as a failing disk would make them.
    UINT Read(void* buffer, UINT count) override
    {
        if (failReadsFrom >= 0 && reads++ >= failReadsFrom)
            throw new CFileException(CFileException::hardIO, 5, GetFilePath());
        return CDataBaseFile::Read(buffer, count);
    }

    int failReadsFrom = -1;
    int reads = 0;
};

class FlatDatabaseTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = MakeTempDir("flatdb");
        host = dir + "/t.dat";
        path = WinPath(host);
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
            boxes.push_back(text);
            return 1;
        });
    }
    void TearDown() override
    {
        platform::SetAfxMessageBoxHandler({});
        platform::ResetDriveTable();
    }

    BOOL OpenSmall(SmallTable& table)
    {
        return table.Open(path.c_str(), CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate | CFile::shareDenyNone);
    }

    static std::string Header58() { return "5 8" + Nuls(5); }

    std::string dir;
    std::string host;
    std::string path;
    std::vector<std::string> boxes;
};

TEST_F(FlatDatabaseTest, EmptyFileGetsCurrentHeaderAndNoRecords)
{
    SmallTable table;
    ASSERT_TRUE(OpenSmall(table));
    EXPECT_TRUE(table.IsOpen());
    EXPECT_EQ(table.GetHeaderVersion(), 5);
    EXPECT_EQ(table.GetRecordCount(), 1);
    table.Close();
    EXPECT_EQ(ReadFileBytes(host), Header58());
}

TEST_F(FlatDatabaseTest, BadHeadersAreKeptAsBackupAndRecreated)
{
    const std::string records = "AAAABBBBCCCCDDDD";
    for (const std::string& header : {"6 8" + Nuls(5), "5 9" + Nuls(5), "junk" + Nuls(4), "-1 8" + Nuls(4)}) {
        SCOPED_TRACE(header.substr(0, 4));
        WriteFileBytes(host, header + records);
        std::remove((host + ".bak").c_str());
        SmallTable table;
        ASSERT_TRUE(OpenSmall(table));
        EXPECT_EQ(table.GetRecordCount(), 1);
        EXPECT_EQ(table.GetHeaderVersion(), 5);
        table.Close();
        EXPECT_EQ(ReadFileBytes(host), Header58());
        EXPECT_EQ(ReadFileBytes(host + ".bak"), header + records);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FlatDatabaseTest, HeaderShorterThanARecordIsRecreated)
{
    WriteFileBytes(host, "5 8");
    SmallTable table;
    ASSERT_TRUE(OpenSmall(table));
    table.Close();
    EXPECT_EQ(ReadFileBytes(host), Header58());
}

TEST_F(FlatDatabaseTest, BadHeaderOnCdRomFailsAndTouchesNothing)
{
    std::string cd = MakeTempDir("flatdb-cd");
    platform::SetDriveTable(platform::DriveTable::Build("", "R=" + cd + ":cdrom:DISC", {}));
    const std::string bytes = "6 8" + Nuls(5) + "AAAABBBB";
    WriteFileBytes(cd + "/t.dat", bytes);
    SmallTable table;
    EXPECT_FALSE(table.Open("R:\\t.dat", CFile::modeRead | CFile::shareDenyNone));
    EXPECT_FALSE(table.IsOpen());
    EXPECT_EQ(ReadFileBytes(cd + "/t.dat"), bytes);
    EXPECT_EQ(ReadFileBytes(cd + "/t.dat.bak"), "");
    EXPECT_TRUE(IsPathOnCDROM("r:\\t.dat"));
    EXPECT_FALSE(IsPathOnCDROM(path.c_str()));
    EXPECT_FALSE(IsPathOnCDROM(""));
}

TEST_F(FlatDatabaseTest, VersionWithoutLayoutIsLeftAlone)
{
    const std::string bytes = "1 8" + Nuls(5) + "AAAABBBB";
    WriteFileBytes(host, bytes);
    SmallTable table;
    EXPECT_FALSE(OpenSmall(table));
    EXPECT_EQ(ReadFileBytes(host), bytes);
    EXPECT_EQ(table.GetRecordCount(), 0);
}

TEST_F(FlatDatabaseTest, FailedOpenIsReportedWithTheCause)
{
    SmallTable table;
    EXPECT_FALSE(table.Open((path + "-missing").c_str(), CFile::modeRead));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "A data base file error has occurred\n The file could not be located.");
    EXPECT_STREQ(DataBaseErrorText(13), "The disk is full.");
    EXPECT_STREQ(DataBaseErrorText(15), "An unknown error occurred.");
    EXPECT_STREQ(DataBaseErrorText(-1), "An unknown error occurred.");
}

TEST_F(FlatDatabaseTest, RecordsAreCutPaddedAndReadToTheirFirstNul)
{
    SmallTable table;
    ASSERT_TRUE(OpenSmall(table));
    EXPECT_TRUE(table.WriteRecord(1, "abc"));
    EXPECT_TRUE(table.WriteRecord(2, "0123456789"));
    EXPECT_FALSE(table.WriteRecord(4, "past"));
    EXPECT_FALSE(table.WriteRecord(-1, "x"));
    EXPECT_EQ(table.GetRecordCount(), 3);

    CString text;
    EXPECT_TRUE(table.ReadRecord(1, text));
    EXPECT_EQ(text, "abc");
    EXPECT_TRUE(table.ReadRecord(2, text));
    EXPECT_EQ(text, "01234567");
    EXPECT_FALSE(table.ReadRecord(3, text));
    EXPECT_EQ(text, "");
    table.Close();
    EXPECT_EQ(ReadFileBytes(host), Header58() + "abc" + Nuls(5) + "01234567");
}

TEST_F(FlatDatabaseTest, CountsOnlyWholeRecords)
{
    WriteFileBytes(host, Header58() + "AAAABBBB" + "CCC");
    SmallTable table;
    ASSERT_TRUE(OpenSmall(table));
    EXPECT_EQ(table.GetRecordCount(), 2);
    EXPECT_TRUE(table.SetRecordCount(4));
    EXPECT_EQ(table.GetRecordCount(), 4);
}

class FlatDatabaseDeleteTest : public FlatDatabaseTest {
protected:
    void SetUp() override
    {
        FlatDatabaseTest::SetUp();
        WriteFileBytes(host, Header58() + "R1" + Nuls(6) + "R2" + Nuls(6) + "R3" + Nuls(6));
    }
    std::string Record(const char* text) { return text + Nuls(6); }
};

TEST_F(FlatDatabaseDeleteTest, MoveLastModeMovesTheLastRecordIntoTheGap)
{
    SmallTable table;
    ASSERT_TRUE(OpenSmall(table));
    EXPECT_TRUE(table.DeleteRecord(1));
    table.Close();
    EXPECT_EQ(ReadFileBytes(host), Header58() + Record("R3") + Record("R2"));
}

TEST_F(FlatDatabaseDeleteTest, ShiftModeKeepsTheOrder)
{
    SmallTable table;
    ASSERT_TRUE(OpenSmall(table));
    table.SetDeleteMode(CDataBaseFile::deleteShift);
    EXPECT_TRUE(table.DeleteRecord(1));
    EXPECT_TRUE(table.DeleteRecord(2));
    table.Close();
    EXPECT_EQ(ReadFileBytes(host), Header58() + Record("R2"));
}

TEST_F(FlatDatabaseDeleteTest, RefusesTheHeaderAndRecordsPastTheEnd)
{
    const std::string before = ReadFileBytes(host);
    SmallTable table;
    ASSERT_TRUE(OpenSmall(table));
    EXPECT_FALSE(table.DeleteRecord(0));
    EXPECT_FALSE(table.DeleteRecord(-3));
    EXPECT_FALSE(table.DeleteRecord(4));
    table.Close();
    EXPECT_EQ(ReadFileBytes(host), before);
}

TEST_F(FlatDatabaseDeleteTest, FailedMoveNeverShortensTheFile)
{
    const std::string before = ReadFileBytes(host);
    for (int mode : {CDataBaseFile::deleteMoveLast, CDataBaseFile::deleteShift}) {
        SmallTable table;
        ASSERT_TRUE(OpenSmall(table));
        table.SetDeleteMode(mode);
        table.failReadsFrom = table.reads + (mode == CDataBaseFile::deleteShift ? 1 : 0);
        EXPECT_FALSE(table.DeleteRecord(1));
        table.failReadsFrom = -1;
        EXPECT_EQ(table.GetRecordCount(), 4);
    }
    EXPECT_EQ(ReadFileBytes(host).size(), before.size());
}

TEST(FlatDatabaseFields, FormatsNumbersAndTextsToTheirWidth)
{
    CString record;
    int number = -12;
    CString name = "abcdef";
    CString path = "C:\\x";
    EXPECT_TRUE(CDataBaseFile::FormatField(&number, record, CDataBaseFile::fieldNumber, 4));
    EXPECT_TRUE(CDataBaseFile::FormatField(&name, record, CDataBaseFile::fieldText, 4));
    EXPECT_TRUE(CDataBaseFile::FormatField(&path, record, CDataBaseFile::fieldPath, 6));
    EXPECT_EQ(record, "-12 abcdC:\\x  ");

    // A number or path that does not fit is refused rather than turned into
    // another value.
    int wide = 12345;
    CString longPath = "C:\\abc";
    EXPECT_FALSE(CDataBaseFile::FormatField(&wide, record, CDataBaseFile::fieldNumber, 4));
    EXPECT_FALSE(CDataBaseFile::FormatField(&longPath, record, CDataBaseFile::fieldPath, 5));
    EXPECT_TRUE(CDataBaseFile::FormatField(&wide, record, 1, 4));
    EXPECT_EQ(record, "-12 abcdC:\\x  ");
}

TEST(FlatDatabaseFields, ParsesFieldsFromTheFront)
{
    CString record = "42  name  x";
    int number = -1;
    CString text;
    CDataBaseFile::ParseField(CDataBaseFile::fieldNumber, &number, record, 4);
    EXPECT_EQ(number, 42);
    CDataBaseFile::ParseField(CDataBaseFile::fieldText, &text, record, 6);
    EXPECT_EQ(text, "name");
    // The record ends early: what is left is the field, then nothing.
    CDataBaseFile::ParseField(CDataBaseFile::fieldText, &text, record, 10);
    EXPECT_EQ(text, "x");
    CDataBaseFile::ParseField(CDataBaseFile::fieldNumber, &number, record, 4);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(record, "");
}

} // namespace
