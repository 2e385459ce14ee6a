#pragma once
// A small stroke alphabet for the lettering of the generated pictures (the
// program's name on the splash, the marks of a few buttons). Letters are
// paths in units where capitals are 20 high, the base line at y = 20 and
// the top of small letters at y = 8.

#include "Raster.h"

#include <string_view>

namespace artgen {

// The letters that have a shape: "ABCEFINOPSTUWacdefghiklnoprstuwx?" (p and g
// reach below the base line, to y = 26).
bool HasLetter(char c);

// The paths of `text` set from (x, y) (top-left of the capitals) at `scale`
// units a unit, drawn as strokes of `width` (in the scene's units); the
// advance width goes to *advance. Letters without a shape are skipped.
void AddLettering(Scene& scene, std::string_view text, double x, double y, double scale, double width, Rgb colour,
    double* advance = nullptr);

// The width `text` takes at scale 1.
double LetteringWidth(std::string_view text);

} // namespace artgen
