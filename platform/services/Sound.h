#pragma once
// The sound module: plays the program's short sounds, WAV files numbered by
// sound in "<support folder>sounds\<number>.wav", through the audio device.
// Playing never waits; a new sound cuts off the one still playing. Without
// an audio device, or when a file is missing or damaged, nothing is played
// and nothing is reported: sounds are a courtesy.

#include "platform/base/String.h"

#include <string>
#include <string_view>

namespace platform {

enum class SoundResult {
    Queued,      // handed to the audio device
    NoAudio,     // no audio device could be opened
    MissingFile, // no readable file for the number
    BadFile,     // not a WAV file the device can play, or too big
};

// The export "dllPlaySound" of the built-in sound module (Modules.h), with
// the argument order its callers use: the support folder (Windows form,
// ending in a separator), the product's name, the sound number and flags.
// The name and the flags do not change what is played.
void DllPlaySound(CString supportPath, CString productName, int sound, int flags);
using DllPlaySoundProc = void (*)(CString, CString, int, int);

// The same with the outcome, for callers that care.
SoundResult PlaySupportSound(std::string_view supportFolder, int sound);

// Plays one WAV file (Linux path).
SoundResult PlaySoundFile(const std::string& hostPath);

} // namespace platform
