#include "model/SummaryInfo.h"
#include "tests/app/StorageTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <cstring>
#include <string>

namespace {

using storage_test::Wide;

constexpr OLECHAR kSummaryName[] = u"\x0005SummaryInformation";

class SummaryInfoTest : public storage_test::StorageTest {
protected:
    void TearDown() override
    {
        if (m_pStorage)
            m_pStorage->Release();
        StorageTest::TearDown();
    }

    // A fresh transacted design file; the fixture holds (and releases) the
    // last one made.
    IStorage* CreateStorage()
    {
        if (m_pStorage)
            m_pStorage->Release();
        m_pStorage = nullptr;
        m_path = NewPath("design.shr");
        EXPECT_EQ(StgCreateDocfile(Wide(m_path).c_str(), STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE,
                      0, &m_pStorage),
            S_OK);
        return m_pStorage;
    }

    // Saves the summary into a fresh file, commits it, and returns the
    // revision written.
    CString SaveWithRevision(const char* revision)
    {
        CSummaryInfo info;
        info.SetRevisionNumber(revision);
        IStorage* pStorage = CreateStorage();
        EXPECT_TRUE(info.WriteSummary(pStorage, TRUE));
        CSummaryInfo reread;
        EXPECT_TRUE(reread.ReadSummary(pStorage));
        EXPECT_EQ(reread.GetRevisionNumber(), info.GetRevisionNumber());
        return info.GetRevisionNumber();
    }

    // Puts raw bytes (or a property set) into the summary stream.
    void WriteSummaryStream(IStorage* pStorage, const std::string& bytes, const CPropSet* pSet = nullptr)
    {
        IStream* pStream = nullptr;
        ASSERT_EQ(pStorage->CreateStream(kSummaryName, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0, &pStream),
            S_OK);
        ULONG cb = 0;
        pStream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &cb);
        if (pSet)
            pSet->WriteToStream(pStream);
        pStream->Release();
    }

    std::string m_path;
    IStorage* m_pStorage = nullptr;
};

// Our five strings in the independent reader's form: hex bytes, tab-separated.
std::string Line(const CSummaryInfo& info)
{
    std::string out;
    for (const CString* value : {&info.GetTitle(), &info.GetAuthor(), &info.GetComments(), &info.GetLastAuthor(),
             &info.GetRevisionNumber()}) {
        char hex[3];
        out += '\t';
        for (unsigned char ch : value->Std())
            out.append(hex, std::snprintf(hex, sizeof(hex), "%02x", ch));
    }
    return out;
}

// Runs the independent reader over the files: its exit status (3 when
// olefile is missing) and, per file, its line of hex strings.
int ReadWithOlefile(const std::vector<std::string>& hostPaths, std::map<std::string, std::string>& out)
{
    std::string command = "/usr/bin/python3 " THREADWICK_SOURCE_DIR "/tests/model/read_summary.py";
    for (const std::string& path : hostPaths)
        command += " '" + path + "'";
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return -1;
    char line[64 * 1024];
    while (std::fgets(line, sizeof(line), pipe)) {
        std::string text(line, std::strcspn(line, "\n"));
        const size_t tab = text.find('\t');
        if (tab != std::string::npos)
            out[text.substr(0, tab)] = text.substr(tab);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SummaryInfoTest, RevisionRisesByOnePerSave)
{
    EXPECT_EQ(SaveWithRevision(""), "1");
    EXPECT_EQ(SaveWithRevision("7"), "8");
    EXPECT_EQ(SaveWithRevision("41 drafts"), "42");
    EXPECT_EQ(SaveWithRevision("A1"), "A1") << "text that is not a number stays";
    EXPECT_EQ(SaveWithRevision("0"), "0");
    EXPECT_EQ(SaveWithRevision("2147483647"), "2147483647") << "no wrap to a negative number";

    CSummaryInfo info;
    info.SetRevisionNumber("3");
    ASSERT_TRUE(info.WriteSummary(CreateStorage(), FALSE));
    EXPECT_EQ(info.GetRevisionNumber(), "3");
}

TEST_F(SummaryInfoTest, IndependentReaderSeesWhatWeWrite)
{
    CSummaryInfo info;
    info.SetTitle("Beach shirt");
    info.SetAuthor("Ann \xC5kesson"); // 1252 letters beyond ASCII
    info.SetComments("Two\r\nlines");
    info.SetLastAuthor("Bob");
    info.SetRevisionNumber("4");
    IStorage* pStorage = CreateStorage();
    ASSERT_TRUE(info.WriteSummary(pStorage, TRUE));
    ASSERT_EQ(pStorage->Commit(STGC_DEFAULT), S_OK);
    pStorage->Release();
    m_pStorage = nullptr;

    const std::string host = platform::HostPathForReading(m_path);
    std::map<std::string, std::string> seen;
    const int status = ReadWithOlefile({host}, seen);
    if (status == 3)
        GTEST_SKIP() << "python3-olefile is not installed";
    ASSERT_EQ(status, 0);
    EXPECT_EQ(info.GetRevisionNumber(), "5");
    EXPECT_EQ(seen[host], Line(info));
}

TEST_F(SummaryInfoTest, MissingOrDamagedStreamsGiveNoStrings)
{
    CSummaryInfo info;
    info.SetTitle("kept");
    IStorage* pStorage = CreateStorage();
    EXPECT_FALSE(info.ReadSummary(pStorage)) << "no stream";
    EXPECT_EQ(info.GetTitle(), "kept");

    WriteSummaryStream(pStorage, std::string("\xFE\xFF\0\0garbage", 11));
    EXPECT_TRUE(info.ReadSummary(pStorage));
    EXPECT_EQ(info.GetTitle(), "");
    EXPECT_EQ(info.GetRevisionNumber(), "");
}

TEST_F(SummaryInfoTest, TakesOnlyStringProperties)
{
    CPropSet set(FMTID_SummaryInformation);
    const LONG number = 5;
    set.SetValue(FMTID_SummaryInformation, PIDSI_TITLE, &number, VT_I4);
    set.SetValue(FMTID_SummaryInformation, PIDSI_AUTHOR, u"Wide \u00E9", VT_LPWSTR);
    set.SetValue(FMTID_SummaryInformation, PIDSI_COMMENTS, "Narrow", VT_LPSTR);
    IStorage* pStorage = CreateStorage();
    WriteSummaryStream(pStorage, "", &set);

    CSummaryInfo info;
    ASSERT_TRUE(info.ReadSummary(pStorage));
    EXPECT_EQ(info.GetTitle(), "");
    EXPECT_EQ(info.GetAuthor(), "Wide \xE9");
    EXPECT_EQ(info.GetComments(), "Narrow");
}

TEST_F(SummaryInfoTest, WriteFailsWithoutTouchingTheRevisionWhenTheStreamCannotBeMade)
{
    const std::string path = NewPath("readonly.shr");
    storage_test::WriteCompoundFile(path, CLSID_NULL, {});
    IStorage* pStorage = nullptr;
    ASSERT_EQ(StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &pStorage), S_OK);
    CSummaryInfo info;
    info.SetRevisionNumber("7");
    EXPECT_FALSE(info.WriteSummary(pStorage, TRUE));
    EXPECT_EQ(info.GetRevisionNumber(), "7");
    pStorage->Release();
}

// The summary streams of real files that no one here wrote: every one reads
// without error, with the strings an independent reader sees.
TEST_F(SummaryInfoTest, ReadsSummariesOfForeignFiles)
{
    REQUIRE_TESTDATA();
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(THREADWICK_TESTDATA_DIR "/cfb")) {
        const std::string path = entry.path().string();
        if (testing_support::ReadFileBytes(path).rfind("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 0) == 0)
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 20u);

    std::map<std::string, std::string> seen;
    const bool haveOlefile = ReadWithOlefile(files, seen) == 0;
    int withSummary = 0;
    for (const std::string& host : files) {
        SCOPED_TRACE(host);
        IStorage* pStorage = nullptr;
        ASSERT_EQ(StgOpenStorage(Wide(platform::WindowsPathFor(host)).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE,
                      nullptr, 0, &pStorage),
            S_OK);
        IStream* pStream = nullptr;
        if (SUCCEEDED(pStorage->OpenStream(kSummaryName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &pStream))) {
            ++withSummary;
            CPropSet set;
            EXPECT_TRUE(set.ReadFromStream(pStream));
            EXPECT_NE(set.GetSection(FMTID_SummaryInformation), nullptr);
            pStream->Release();

            CSummaryInfo info;
            EXPECT_TRUE(info.ReadSummary(pStorage));
            if (haveOlefile) {
                EXPECT_EQ(seen[host], Line(info));
            }
        }
        pStorage->Release();
    }
    EXPECT_GT(withSummary, 20);
}

TEST_F(SummaryInfoTest, MatchesThePublishedPropertiesOfASpreadsheet)
{
    REQUIRE_TESTDATA();
    const std::string expected
        = testing_support::ReadFileBytes(THREADWICK_TESTDATA_DIR "/cfb/github-GNOME_libgsf__metadata-msole.expected-content");
    ASSERT_FALSE(expected.empty());
    // "\tTitle:\t\t\tOne" and so on; comments continue on lines indented
    // with four tabs.
    auto field = [&](const std::string& label) {
        const size_t at = expected.find("\t" + label + ":");
        const size_t start = expected.find_first_not_of('\t', at + label.size() + 2);
        return expected.substr(start, expected.find('\n', start) - start);
    };
    std::string comments = field("Comments") + "\r\n";
    for (size_t at = expected.find("\n\t\t\t\t"); at != std::string::npos; at = expected.find("\n\t\t\t\t", at + 1)) {
        const size_t start = at + 5;
        comments += expected.substr(start, expected.find('\n', start) - start) + "\r\n";
    }

    IStorage* pStorage = nullptr;
    ASSERT_EQ(StgOpenStorage(Wide(platform::WindowsPathFor(THREADWICK_TESTDATA_DIR "/cfb/github-GNOME_libgsf__metadata-msole.xls"))
                                 .c_str(),
                  nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pStorage),
        S_OK);
    CSummaryInfo info;
    EXPECT_TRUE(info.ReadSummary(pStorage));
    pStorage->Release();
    EXPECT_EQ(info.GetTitle().Std(), field("Title"));
    EXPECT_EQ(info.GetAuthor().Std(), field("Author"));
    EXPECT_EQ(info.GetComments().Std(), comments);
}

} // namespace
