#include "app/SoundPlayer.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "platform/files/ProgramFolder.h"
#include "platform/services/Modules.h"
#include "resources/Resources.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct PlayCall {
    CString supportPath;
    CString product;
    int sound;
    int flags;
};
std::vector<PlayCall> g_calls;

void RecordPlay(CString supportPath, CString product, int sound, int flags)
{
    g_calls.push_back({ supportPath, product, sound, flags });
}

class SoundPlayerTest : public testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        program = testing_support::MakeTempDir("program");
        std::filesystem::create_directories(program + "/support");
        platform::SetProgramFolderForTests(program);
        thePrefs.Reset();
        thePrefs.AddlFlags = PREF_ADDL_PLAY_SOUNDS;
        g_calls.clear();
    }
    void TearDown() override
    {
        thePrefs.Reset();
        platform::SetProgramFolderForTests("");
    }

    std::string program;
};

TEST_F(SoundPlayerTest, LoadsTheSupportLibraryAndFreesItWhenGone)
{
    int before = platform::BuiltInModuleLoadCount("sndkit32.dll");
    {
        CSoundPlayer player;
        EXPECT_FALSE(player.IsLoaded());
        ASSERT_TRUE(player.Load());
        EXPECT_TRUE(player.IsLoaded());
        EXPECT_EQ(platform::BuiltInModuleLoadCount("sndkit32.dll"), before + 1);
        // Loading again keeps the one module.
        EXPECT_TRUE(player.Load());
        EXPECT_EQ(platform::BuiltInModuleLoadCount("sndkit32.dll"), before + 1);
        player.Play(9); // the real library: no audio device is fine
    }
    EXPECT_EQ(platform::BuiltInModuleLoadCount("sndkit32.dll"), before);
}

TEST_F(SoundPlayerTest, PassesSupportFolderProductSoundAndFlagsInOrder)
{
    CSoundPlayer player;
    player.SetEntryPointForTests(&RecordPlay);
    player.Play(9, 2);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].supportPath, GetProgramPath("support\\"));
    EXPECT_EQ(g_calls[0].product, "Threadwick");
    EXPECT_EQ(g_calls[0].sound, 9);
    EXPECT_EQ(g_calls[0].flags, 2);
}

TEST_F(SoundPlayerTest, SoundsOffReachNothing)
{
    CSoundPlayer player;
    player.SetEntryPointForTests(&RecordPlay);
    thePrefs.AddlFlags = static_cast<WORD>(0xFFFF & ~PREF_ADDL_PLAY_SOUNDS);
    player.Play(8);
    player.Play(9, 1);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(SoundPlayerTest, WithoutTheLibraryPlayingDoesNothing)
{
    // The library is built into the program, so it cannot go missing here;
    // a player that never found its entry point stands for one.
    CSoundPlayer player;
    EXPECT_FALSE(player.IsLoaded());
    player.Play(9);
    player.Play(-1, -1);
    EXPECT_TRUE(g_calls.empty());
}

} // namespace
