// The SDL back end when the display the environment names does not answer.

#include "platform/ui/internal/Driver.h"

#include <SDL2/SDL.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_had = true;
            m_old = old;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentValue()
    {
        if (m_had)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had = false;
    std::string m_old;
};

std::string UnusedDisplay()
{
    for (int number = 4800; number < 4900; ++number) {
        struct stat st;
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (stat(socket.c_str(), &st) != 0)
            return ":" + std::to_string(number);
    }
    return ":4899";
}

// SDL would settle on a video driver that shows nothing, and the program
// would wait unseen in its first dialog.
TEST(SdlDisplayTest, DisplayThatDoesNotAnswerIsRefused)
{
    std::string display = UnusedDisplay();
    EnvironmentValue x11("DISPLAY", display.c_str());
    EnvironmentValue wayland("WAYLAND_DISPLAY", nullptr);
    EnvironmentValue driverName("SDL_VIDEODRIVER", nullptr);
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    std::string error;
    auto driver = platform::CreateSdlDriver(error);
    EXPECT_EQ(driver, nullptr);
    EXPECT_NE(error.find("cannot open display " + display), std::string::npos) << error;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

} // namespace
