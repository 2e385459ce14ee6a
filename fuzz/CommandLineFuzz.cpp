// Feeds arbitrary bytes to what the program reads from outside at start-up
// and from later copies: the first byte picks the command line, the
// companion request file, or a packet of the instance channel with the shell
// command it may carry. A request that reads must have been deleted and hold
// only what fitted its file; one that does not read must leave the file as it
// was. A packet that decodes must encode back to the same bytes.

#include "app/main/CommandLine.h"
#include "platform/framework/ShellOpen.h"
#include "platform/services/InstanceProtocol.h"
#include "fuzz/FuzzProgramFolder.h"
#include "platform/base/WindowStyles.h"
#include "platform/ui/AfxMessageBox.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Message boxes the parser showed for the current input.
int g_nBoxes = 0;

struct Setup {
    Setup()
    {
        platform::SetAfxMessageBoxHandler([](LPCSTR, UINT, UINT) {
            ++g_nBoxes;
            return IDOK;
        });
    }
    FuzzProgramFolder program{"cmdfuzz"};
    std::string host = program.host;
    std::string request = program.windows + "olvw.dat"; // Windows form
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const Setup& setup = TheSetup();
    if (data[0] % 3 == 2) {
        const std::optional<platform::InstanceRequest> request = platform::DecodeInstanceRequest(data + 1, size - 1);
        if (request)
            Check(platform::EncodeInstanceRequest(*request) == std::string(reinterpret_cast<const char*>(data + 1), size - 1));
        std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
        if (text.find('\0') != std::string::npos)
            text.resize(text.find('\0'));
        CString strPath;
        if (AfxParseShellOpenCommand(text.c_str(), strPath))
            Check(strPath.GetLength() > 0 && size_t(strPath.GetLength()) < text.size());
        return 0;
    }
    if (data[0] & 1) {
        std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
        if (line.find('\0') != std::string::npos)
            line.resize(line.find('\0'));
        g_nBoxes = 0;
        CString file = ParseAppCommandLine(line.c_str());
        Check(file.GetLength() <= 8192 + MAX_PATH); // the line is cut long before this
        // At most sixteen unknown letters and one missing file are reported.
        Check(g_nBoxes <= 17);
        return 0;
    }

    const std::string path = setup.host + "/olvw.dat";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
    }
    DWORD nMode = 0;
    CString item, preset, page2;
    BOOL ok = ReadCompanionRequest(nMode, setup.request.c_str(), item, preset, page2);
    if (ok) {
        Check(!std::filesystem::exists(path));
        Check(size_t(item.GetLength() + preset.GetLength() + page2.GetLength()) <= size);
    } else {
        std::ifstream in(path, std::ios::binary);
        std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Check(kept == std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    }
    return 0;
}
