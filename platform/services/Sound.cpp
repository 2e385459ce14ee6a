#include "platform/services/Sound.h"

#include "platform/files/HostPath.h"
#include "platform/files/WindowsPath.h"

#include <SDL.h>

#include <fstream>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// Our sounds are well under a second; this leaves room for a longer one
// dropped in by hand without letting a huge file through.
constexpr std::streamsize kMaxWavBytes = 8 * 1024 * 1024;

struct AudioOutput {
    std::mutex lock;
    bool tried = false;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec spec {};
};

AudioOutput& Output()
{
    static AudioOutput output;
    return output;
}

// Opens the device once; after a failure every later sound is skipped
// without trying again, so a machine without audio pays the cost once.
bool OpenDevice(AudioOutput& out)
{
    if (out.tried)
        return out.device != 0;
    out.tried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec desired {};
    desired.freq = 22050;
    desired.format = AUDIO_S16SYS;
    desired.channels = 1;
    desired.samples = 1024;
    // With no changes allowed SDL converts to whatever the hardware takes,
    // so the queue always holds this one format.
    out.device = SDL_OpenAudioDevice(nullptr, 0, &desired, &out.spec, 0);
    if (out.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

bool ReadWav(const std::string& path, std::vector<Uint8>& bytes, SoundResult& failure)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        failure = SoundResult::MissingFile;
        return false;
    }
    bytes.resize(static_cast<size_t>(kMaxWavBytes) + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), kMaxWavBytes + 1);
    std::streamsize got = in.gcount();
    if (got > kMaxWavBytes || got == 0) {
        failure = got == 0 ? SoundResult::MissingFile : SoundResult::BadFile;
        return false;
    }
    bytes.resize(static_cast<size_t>(got));
    return true;
}

// The samples of a WAV file in the device's format.
bool DecodeForDevice(const std::vector<Uint8>& file, const SDL_AudioSpec& target, std::vector<Uint8>& samples)
{
    SDL_RWops* stream = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (!stream)
        return false;
    SDL_AudioSpec spec {};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(stream, 1, &spec, &data, &length))
        return false;
    SDL_AudioCVT cvt;
    int built = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, target.format, target.channels,
        target.freq);
    bool ok = built >= 0 && cvt.len_mult > 0 && cvt.len_mult <= 64;
    if (ok) {
        samples.assign(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult), 0);
        std::copy(data, data + length, samples.begin());
        if (built == 1) {
            cvt.buf = samples.data();
            cvt.len = static_cast<int>(length);
            ok = SDL_ConvertAudio(&cvt) == 0;
            samples.resize(ok ? static_cast<size_t>(cvt.len_cvt) : 0);
        } else {
            samples.resize(length);
        }
    }
    SDL_FreeWAV(data);
    return ok;
}

} // namespace

SoundResult PlaySoundFile(const std::string& hostPath)
{
    std::vector<Uint8> file;
    SoundResult failure = SoundResult::MissingFile;
    if (!ReadWav(hostPath, file, failure))
        return failure;

    AudioOutput& out = Output();
    std::lock_guard guard(out.lock);
    if (!OpenDevice(out))
        return SoundResult::NoAudio;
    std::vector<Uint8> samples;
    if (!DecodeForDevice(file, out.spec, samples))
        return SoundResult::BadFile;
    SDL_ClearQueuedAudio(out.device);
    if (!samples.empty() && SDL_QueueAudio(out.device, samples.data(), static_cast<Uint32>(samples.size())) != 0)
        return SoundResult::BadFile;
    SDL_PauseAudioDevice(out.device, 0);
    return SoundResult::Queued;
}

SoundResult PlaySupportSound(std::string_view supportFolder, int sound)
{
    if (sound < 0)
        return SoundResult::MissingFile;
    std::string windowsPath = WithTrailingSeparator(supportFolder) + "sounds\\" + std::to_string(sound) + ".wav";
    std::string host = HostPathForReading(windowsPath);
    if (host.empty())
        return SoundResult::MissingFile;
    return PlaySoundFile(host);
}

void DllPlaySound(CString supportPath, CString, int sound, int)
{
    PlaySupportSound(supportPath.View(), sound);
}

} // namespace platform
