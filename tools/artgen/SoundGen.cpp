#include "SoundGen.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace artgen {

namespace {

struct Note {
    int frequency; // Hz
    int startMs;
    int lengthMs;
};

enum class Timbre {
    Tone,  // a fundamental with a soft octave
    Chime, // adds an inharmonic partial and rings longer
};

struct SoundRecipe {
    int number;
    Timbre timbre;
    std::vector<Note> notes;
};

const std::vector<SoundRecipe>& Recipes()
{
    static const std::vector<SoundRecipe> recipes = {
        { 4, Timbre::Tone, { { 880, 0, 110 } } },
        { 5, Timbre::Tone, { { 660, 0, 90 }, { 880, 90, 120 } } },
        { 6, Timbre::Tone, { { 880, 0, 90 }, { 660, 90, 120 } } },
        { 8, Timbre::Chime, { { 523, 0, 100 }, { 784, 100, 200 } } },
        { 9, Timbre::Chime, { { 784, 0, 100 }, { 523, 100, 200 } } },
        { 12, Timbre::Chime, { { 523, 0, 90 }, { 659, 90, 90 }, { 784, 180, 220 } } },
        { 13, Timbre::Chime, { { 784, 0, 90 }, { 659, 90, 90 }, { 523, 180, 220 } } },
        { 14, Timbre::Tone, { { 330, 0, 200 } } },
        { 15, Timbre::Tone, { { 1047, 0, 60 }, { 1047, 110, 60 } } },
        { 17, Timbre::Chime, { { 1175, 0, 350 } } },
        { 18, Timbre::Tone, { { 440, 0, 80 }, { 440, 130, 80 } } },
        { 20, Timbre::Tone, { { 587, 0, 100 }, { 880, 100, 160 } } },
        { 22, Timbre::Chime, { { 698, 0, 260 } } },
        { 23, Timbre::Chime, { { 392, 0, 70 }, { 523, 70, 70 }, { 659, 140, 70 }, { 1047, 210, 240 } } },
    };
    return recipes;
}

// sin(2 pi x) for x in cycles, from a Taylor polynomial on the quarter wave
// around zero: only +, - and *, so every machine computes the same samples.
double Sine(double cycles)
{
    double x = cycles - static_cast<double>(static_cast<int64_t>(cycles));
    if (x < 0)
        x += 1.0;
    double a = x < 0.25 ? x : (x < 0.75 ? 0.5 - x : x - 1.0);
    const double t = a * 6.283185307179586;
    const double t2 = t * t;
    double term = t;
    double sum = t;
    for (int n = 1; n <= 6; ++n) {
        term = -term * t2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

int16_t ToSample(double value)
{
    double scaled = value * 32767.0;
    if (scaled > 32767.0)
        scaled = 32767.0;
    if (scaled < -32767.0)
        scaled = -32767.0;
    return static_cast<int16_t>(scaled >= 0 ? static_cast<int>(scaled + 0.5) : -static_cast<int>(-scaled + 0.5));
}

void AddNote(std::vector<double>& mix, const Note& note, Timbre timbre)
{
    const int start = note.startMs * kSoundRate / 1000;
    const int length = note.lengthMs * kSoundRate / 1000;
    const int attack = kSoundRate * 4 / 1000;
    const int release = kSoundRate * 12 / 1000;
    // Per-sample decay: a tone fades to about a third over its length, a
    // chime rings on with a slower fall.
    const double decay = 1.0 - (timbre == Timbre::Chime ? 2.5 : 4.0) / static_cast<double>(kSoundRate);
    double level = 1.0;
    for (int i = 0; i < length && start + i < static_cast<int>(mix.size()); ++i) {
        double envelope = level;
        if (i < attack)
            envelope *= static_cast<double>(i) / attack;
        if (length - i < release)
            envelope *= static_cast<double>(length - i) / release;
        double cycles = static_cast<double>(note.frequency) * i / kSoundRate;
        double value = Sine(cycles) + 0.25 * Sine(cycles * 2.0);
        if (timbre == Timbre::Chime)
            value += 0.18 * Sine(cycles * 2.76);
        mix[static_cast<size_t>(start + i)] += 0.3 * envelope * value;
        level *= decay;
    }
}

void PutU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

std::vector<uint8_t> MakeWav(const SoundRecipe& recipe)
{
    int endMs = 0;
    for (const Note& note : recipe.notes)
        endMs = std::max(endMs, note.startMs + note.lengthMs);
    std::vector<double> mix(static_cast<size_t>(endMs * kSoundRate / 1000), 0.0);
    for (const Note& note : recipe.notes)
        AddNote(mix, note, recipe.timbre);

    const uint32_t dataBytes = static_cast<uint32_t>(mix.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1); // PCM
    PutU16(out, 1); // mono
    PutU32(out, kSoundRate);
    PutU32(out, kSoundRate * 2);
    PutU16(out, 2);
    PutU16(out, 16);
    PutTag(out, "data");
    PutU32(out, dataBytes);
    for (double value : mix)
        PutU16(out, static_cast<uint16_t>(ToSample(value)));
    return out;
}

} // namespace

std::vector<int> SoundNumbers()
{
    std::vector<int> numbers;
    for (const SoundRecipe& recipe : Recipes())
        numbers.push_back(recipe.number);
    return numbers;
}

std::vector<ArtFile> MakeSoundFiles()
{
    std::vector<ArtFile> files;
    for (const SoundRecipe& recipe : Recipes())
        files.push_back({ std::to_string(recipe.number) + ".wav", MakeWav(recipe) });
    return files;
}

} // namespace artgen
