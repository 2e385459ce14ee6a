#pragma once
// The program's sounds: short tones and chimes, one WAV file per sound
// number, made the same way every time (plain arithmetic only, no library
// maths) so that a test can regenerate them and compare them with the files
// committed under resources/support/sounds/.

#include "Art.h"

#include <vector>

namespace artgen {

// 22050 samples a second, 16-bit, one channel.
constexpr int kSoundRate = 22050;

// The numbers that have a sound, ascending.
std::vector<int> SoundNumbers();

// One file per number, named "<number>.wav".
std::vector<ArtFile> MakeSoundFiles();

} // namespace artgen
