#include "tests/support/TestHome.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace {
std::string g_home;
std::atomic<int> g_counter{0};
} // namespace

void CreateTestHome()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "threadwick-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create the test home folder");
    g_home = tmpl;
    setenv("THREADWICK_HOME", g_home.c_str(), 1);
}

void RemoveTestHome()
{
    if (g_home.empty() || getenv("THREADWICK_KEEP_TEST_HOME"))
        return;
    std::error_code ec;
    std::filesystem::remove_all(g_home, ec);
}

const std::string& TestHome()
{
    return g_home;
}

std::string MakeTempDir(const std::string& stem)
{
    std::string dir = g_home + "/" + stem + "-" + std::to_string(++g_counter);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool RunOlefileScript(const std::string& script, const std::vector<std::string>& args, std::string& out)
{
    out.clear();
    if (std::system("/usr/bin/python3 -c 'import olefile' >/dev/null 2>&1") != 0)
        return false;
    const std::string path = MakeTempDir("olefile") + "/script.py";
    WriteFileBytes(path, script);
    std::string command = "/usr/bin/python3 '" + path + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return false;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    return pclose(pipe) == 0;
}

std::string RunCommand(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            out += buffer;
        ::pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

std::string UseKeyfileSettings()
{
    const std::string config = TestHome() + "/xdg-config";
    std::filesystem::create_directories(config);
    setenv("GSETTINGS_BACKEND", "keyfile", 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    return config;
}

} // namespace testing_support
