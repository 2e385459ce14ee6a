// Playing the program's sounds on SDL's dummy audio driver, and what
// happens when a sound file is missing or damaged.

#include "platform/services/Sound.h"

#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/services/Modules.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace {

std::string SourceSupport()
{
    return platform::WindowsPathFor(std::string(THREADWICK_SOURCE_DIR) + "/resources/support") + "\\";
}

void PutLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A WAV file of 8-bit stereo samples at 44100 Hz: not the device's format.
std::string EightBitStereoWav()
{
    std::string samples;
    for (int i = 0; i < 2000; ++i)
        samples += static_cast<char>(128 + ((i / 20) % 2 ? 40 : -40));
    std::string wav = "RIFF";
    PutLe(wav, 36 + static_cast<uint32_t>(samples.size()), 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);
    PutLe(wav, 2, 2);
    PutLe(wav, 44100, 4);
    PutLe(wav, 88200, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 8, 2);
    wav += "data";
    PutLe(wav, static_cast<uint32_t>(samples.size()), 4);
    return wav + samples;
}

class SoundTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Never the machine's speakers, and the same answers on every
        // machine.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
};

TEST_F(SoundTest, PlaysEverySoundOfTheProgram)
{
    for (int sound : { 4, 5, 6, 8, 9, 12, 13, 14, 15, 17, 18, 20, 22, 23 }) {
        SCOPED_TRACE(sound);
        EXPECT_EQ(platform::PlaySupportSound(SourceSupport(), sound), platform::SoundResult::Queued);
    }
}

TEST_F(SoundTest, SkipsMissingAndDamagedFiles)
{
    std::string dir = testing_support::MakeTempDir("sounds");
    std::string sounds = dir + "/sounds";
    ASSERT_EQ(mkdir(sounds.c_str(), 0755), 0);
    testing_support::WriteFileBytes(sounds + "/1.wav", std::string("RIFF\x10\0\0\0WAVEjunkjunk", 20));
    testing_support::WriteFileBytes(sounds + "/2.wav", "");
    testing_support::WriteFileBytes(sounds + "/3.wav", EightBitStereoWav());
    // The folder as a caller might give it, without its trailing separator.
    std::string support = platform::WindowsPathFor(dir);

    EXPECT_EQ(platform::PlaySupportSound(support, 99), platform::SoundResult::MissingFile);
    EXPECT_EQ(platform::PlaySupportSound(support, -1), platform::SoundResult::MissingFile);
    EXPECT_EQ(platform::PlaySupportSound(support, 2), platform::SoundResult::MissingFile);
    EXPECT_EQ(platform::PlaySupportSound(support, 1), platform::SoundResult::BadFile);
    // A format other than the device's is converted.
    EXPECT_EQ(platform::PlaySupportSound(support, 3), platform::SoundResult::Queued);
}

TEST_F(SoundTest, TheModuleExportTakesTheSoundPlayersArguments)
{
    // As the program's sound player does it: the export of the module in
    // the program's support folder, called with the support folder, the
    // product name, the number and the flags.
    platform::SetProgramFolderForTests(std::string(THREADWICK_SOURCE_DIR) + "/resources");
    HMODULE module = LoadLibrary(SourceSupport().append("sndkit32.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto play = reinterpret_cast<platform::DllPlaySoundProc>(GetProcAddress(module, "dllPlaySound"));
    ASSERT_NE(play, nullptr);
    play(CString(SourceSupport().c_str()), CString("Threadwick"), 9, 0);
    play(CString(SourceSupport().c_str()), CString("Threadwick"), 1000, 1);
    play(CString(""), CString(""), 8, 0);
    EXPECT_TRUE(FreeLibrary(module));
    platform::SetProgramFolderForTests(std::string());
}

} // namespace
