#pragma once
// Picture-effect filters that do nothing but note each call with its
// values, for the tests that check which effects a picture applies and
// with what. Each call answers g_nLibraryResult (LT_SUCCESS unless a test
// makes the library fail).

#include "pictures/ImageEffects.h"
#include "platform/imaging/Imaging.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace recording_effects {

inline std::vector<std::string> g_steps;
inline int g_nLibraryResult = LT_SUCCESS;

// A call as it is noted: the effect's name and its values.
inline std::string Step(const char* name, std::initializer_list<long long> values)
{
    std::string s = name;
    for (long long v : values)
        s += " " + std::to_string(v);
    return s;
}

inline int Record(const char* name, std::initializer_list<long long> values)
{
    g_steps.push_back(Step(name, values));
    return g_nLibraryResult;
}

inline const ImageEffectFilters kRecording = {
    [](LTBITMAP*, int v) { return Record("gamma", {v}); },
    [](LTBITMAP*, int type, int angle) { return Record("halftone", {type, angle}); },
    [](LTBITMAP*, int v) { return Record("posterize", {v}); },
    [](LTBITMAP*, int v) { return Record("median", {v}); },
    [](LTBITMAP*) { return Record("invert", {}); },
    [](LTBITMAP*, int amount, int channel) { return Record("noise", {amount, channel}); },
    [](LTBITMAP*, int direction, int depth) { return Record("emboss", {direction, depth}); },
    [](LTBITMAP*, int v) { return Record("blur", {v}); },
    [](LTBITMAP*, int v) { return Record("sharpen", {v}); },
    [](LTBITMAP*, int v) { return Record("hue", {v}); },
    [](LTBITMAP*, int v) { return Record("saturation", {v}); },
    [](LTBITMAP*, int v) { return Record("brightness", {v}); },
    [](LTBITMAP*, int v) { return Record("contrast", {v}); },
    [](LTBITMAP*, int v) { return Record("mosaic", {v}); },
    [](LTBITMAP*, int angle, int direction, COLORREF fill) { return Record("shear", {angle, direction, fill}); },
    [](LTBITMAP*, int bits, UINT flags) { Record("colorres", {bits, flags}); },
    [](int, int bits) { return Record("gray", {bits}) != 0 ? TRUE : FALSE; },
    [](int) { return Record("edge", {}) != 0 ? TRUE : FALSE; },
    [](int, COLORREF color, int amount) { return Record("tint", {color, amount}); },
    [](int, BOOL on, const COLORREF* color) { return Record("transparent", {on, color ? *color : 0}); },
    [](int, int degrees, COLORREF fill) { return Record("rotate", {degrees, fill}); },
};

} // namespace recording_effects
