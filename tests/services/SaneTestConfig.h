#pragma once
// A SANE configuration of a test's own: the backends dll.conf names and the
// "test" backend's settings, for as long as the object lives; then the
// scanner session is ended and the configuration emptied again.
//
// The library takes the folder from SANE_CONFIG_DIR once per process and
// keeps it, while it reads the files in it at every start; so every test of
// a process writes its files into one folder: the one the test main named
// (below the test home), else one of its own.

#include "platform/services/Twain.h"
#include "tests/support/TestHome.h"

#include <cstdlib>
#include <string>

namespace testing_support {

class SaneTestConfig {
public:
    SaneTestConfig(const std::string& backends, const std::string& testConf)
    {
        platform::TwainShutdown();
        WriteFileBytes(Dir() + "/dll.conf", backends);
        WriteFileBytes(Dir() + "/test.conf", testConf);
        setenv("SANE_CONFIG_DIR", Dir().c_str(), 1);
    }
    ~SaneTestConfig()
    {
        platform::TwainShutdown();
        WriteFileBytes(Dir() + "/dll.conf", "");
    }
    SaneTestConfig(const SaneTestConfig&) = delete;
    SaneTestConfig& operator=(const SaneTestConfig&) = delete;

    static const std::string& Dir()
    {
        static const std::string dir = [] {
            const char* named = std::getenv("SANE_CONFIG_DIR");
            if (named && !TestHome().empty() && std::string(named).rfind(TestHome() + "/", 0) == 0)
                return std::string(named);
            return MakeTempDir("sane");
        }();
        return dir;
    }
};

} // namespace testing_support
