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

} // namespace testing_support
