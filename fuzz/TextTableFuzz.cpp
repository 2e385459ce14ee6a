// Feeds arbitrary bytes to the content tables as a table file. The first byte
// picks the table kind. Every record that reads must write back and read
// again into the same values, since a column only ever holds what fits it.

#include "app/TextTable.h"
#include "fuzz/FuzzProgramFolder.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct Setup {
    FuzzProgramFolder program{"tablefuzz"};
    std::string host = program.host;
    std::string folder = program.windows;
    Setup() { std::filesystem::create_directories(host + "/support"); }
};

const Setup& TheSetup()
{
    static Setup setup;
    return setup;
}

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Reads every record, writes each back in place and reads it again.
template <class Table, class Record, class Same>
void RoundTrip(Table& table, Same same)
{
    const int count = table.GetRecordCount();
    for (int i = 0; i < count && i < 64; ++i) {
        Record first;
        Check(table.ReadRecord(i, first));
        Check(table.WriteRecord(i, first));
        Record second;
        Check(table.ReadRecord(i, second));
        Check(same(first, second));
    }
    Record beyond;
    Check(!table.ReadRecord(count, beyond));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const Setup& setup = TheSetup();
    const char* const stems[] = {"kqa", "kqb", "kqc", "kqd", "kqe"};
    const int kind = data[0] % 5;
    const std::string file = setup.host + "/QVN." + stems[kind];
    std::remove((file + ".bak").c_str());
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    switch (kind) {
    case 0: {
        CTableFile table(setup.folder.c_str());
        RoundTrip<CTableFile, DesignRecord>(table, [](const DesignRecord& a, const DesignRecord& b) {
            return a.occasions == b.occasions && a.nKind == b.nKind && a.strName == b.strName && a.strPath == b.strPath
                && a.nNumber1 == b.nNumber1 && a.nNumber2 == b.nNumber2 && a.strText == b.strText
                && a.nNumber3 == b.nNumber3 && a.strPath2 == b.strPath2;
        });
        DesignQuery query;
        query.nMask = 0xFF;
        query.dwKindMask = 0xFFFFFFFF;
        query.occasions.SetAll();
        DesignRecord found;
        for (BOOL ok = table.FindFirst(query, found); ok; ok = table.FindNext(query, found)) {
        }
        if (table.GetRecordCount() > 0)
            table.DeleteRecord(0);
        break;
    }
    case 1: {
        COccasionTable table(setup.folder.c_str());
        RoundTrip<COccasionTable, OccasionRecord>(table, [](const OccasionRecord& a, const OccasionRecord& b) {
            return a.nId == b.nId && a.nNumber == b.nNumber && a.strName == b.strName && a.strIconPath == b.strIconPath;
        });
        break;
    }
    case 2: {
        CProjectKindTable table(setup.folder.c_str());
        RoundTrip<CProjectKindTable, ProjectKindRecord>(table, [](const ProjectKindRecord& a, const ProjectKindRecord& b) {
            return a.nId == b.nId && a.nNumber1 == b.nNumber1 && a.strName == b.strName
                && a.strDescription == b.strDescription && a.nNumber2 == b.nNumber2 && a.strPath1 == b.strPath1
                && a.strPath2 == b.strPath2 && a.nNumber3 == b.nNumber3 && a.nNumber4 == b.nNumber4;
        });
        break;
    }
    case 3: {
        CCategoryTable table(setup.folder.c_str());
        RoundTrip<CCategoryTable, CategoryRecord>(table, [](const CategoryRecord& a, const CategoryRecord& b) {
            return a.nId == b.nId && a.strName == b.strName;
        });
        break;
    }
    default: {
        CUserTable table(setup.folder.c_str());
        RoundTrip<CUserTable, UserRecord>(table, [](const UserRecord& a, const UserRecord& b) {
            return a.nInUse == b.nInUse && a.strUserName == b.strUserName && a.strEnvelopeName == b.strEnvelopeName
                && a.strAddress1 == b.strAddress1 && a.strAddress2 == b.strAddress2 && a.strCity == b.strCity
                && a.strState == b.strState && a.strZip == b.strZip;
        });
        CString text;
        table.GetAddressText("a", text);
        break;
    }
    }
    return 0;
}
