// Feeds arbitrary bytes to the flat record file and to the line reader. The
// first byte chooses the record layout. Whatever opens must keep whole
// records only; every line must be free of line ends and within the limit.

#include "app/FlatDatabase.h"
#include "app/LineReader.h"
#include "platform/ui/AfxMessageBox.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Versions 2 to 5 have two columns whose widths come from the input.
class FuzzTable : public CDataBaseFile {
public:
    explicit FuzzTable(int width)
        : m_width(width)
    {
    }
    void GetLayout(int version, DbLayout& layout) const override
    {
        layout.nCount = 0;
        if (version >= 2 && version <= 5) {
            layout.nCount = 2;
            layout.widths[0] = m_width;
            layout.widths[1] = 4;
        }
    }

private:
    int m_width;
};

std::string WinPath(const std::string& host)
{
    std::string path = "C:" + host;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string dir = [] {
        std::string d = std::filesystem::temp_directory_path().string() + "/tw-flatfuzz-" + std::to_string(getpid());
        std::filesystem::create_directories(d);
        platform::SetAfxMessageBoxHandler([](LPCSTR, UINT, UINT) { return 1; });
        return d;
    }();
    if (size < 1)
        return 0;
    const std::string host = dir + "/f.dat";
    std::remove((host + ".bak").c_str());
    if (FILE* f = std::fopen(host.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    const std::string path = WinPath(host);

    CLineReader reader;
    if (reader.Open(path.c_str())) {
        CString line;
        while (reader.ReadLine(line)) {
            Check(line.GetLength() <= CLineReader::kMaxLine);
            Check(line.Find('\n') < 0 && line.Find('\r') < 0);
        }
    }
    reader.Close();

    FuzzTable table(4 + data[0] % 16);
    if (!table.Open(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone))
        return 0;
    const int length = table.GetRecordLength();
    Check(length > 0);
    const int count = table.GetRecordCount();
    Check(count >= 1);
    CString record;
    for (int i = 0; i < count && i < 64; ++i) {
        Check(table.ReadRecord(i, record));
        Check(record.GetLength() <= length);
        CString rest = record;
        int number = 0;
        CString text;
        CDataBaseFile::ParseField(CDataBaseFile::fieldText, &text, rest, length - 4);
        CDataBaseFile::ParseField(CDataBaseFile::fieldNumber, &number, rest, 4);
        Check(rest.IsEmpty());
    }
    table.SetDeleteMode(data[0] & 0x80 ? CDataBaseFile::deleteShift : CDataBaseFile::deleteMoveLast);
    if (count > 1) {
        Check(table.DeleteRecord(1));
        Check(table.GetRecordCount() == count - 1);
    }
    Check(!table.DeleteRecord(0));
    return 0;
}
