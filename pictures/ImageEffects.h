#pragma once
// The filters the picture effects run, behind a table of function pointers
// so that a test can put recording ones in their place and see which steps
// a rebuild takes, in which order and with which values.

#include "platform/base/Types.h"

struct LTBITMAP;

struct ImageEffectFilters {
    // Imaging-library filters on the working bitmap (LT_SUCCESS or a code).
    int (*gammaCorrect)(LTBITMAP* bitmap, int gamma);
    int (*halftone)(LTBITMAP* bitmap, int type, int angle);
    int (*posterize)(LTBITMAP* bitmap, int levels);
    int (*median)(LTBITMAP* bitmap, int size);
    int (*invert)(LTBITMAP* bitmap);
    int (*addNoise)(LTBITMAP* bitmap, int amount, int channel);
    int (*emboss)(LTBITMAP* bitmap, int direction, int depth);
    int (*average)(LTBITMAP* bitmap, int size);
    int (*sharpen)(LTBITMAP* bitmap, int amount);
    int (*changeHue)(LTBITMAP* bitmap, int angle);
    int (*changeSaturation)(LTBITMAP* bitmap, int change);
    int (*changeBrightness)(LTBITMAP* bitmap, int change);
    int (*changeContrast)(LTBITMAP* bitmap, int change);
    int (*mosaic)(LTBITMAP* bitmap, int size);
    int (*shear)(LTBITMAP* bitmap, int angle, int direction, COLORREF fill);
    // Engine operations (their results do not decide the rebuild's).
    void (*colorRes)(LTBITMAP* bitmap, int bits, UINT flags);
    BOOL (*grayScale)(int handle, int bits);
    BOOL (*edgeEnhance)(int handle);
    int (*tint)(int handle, COLORREF color, int amount);
    int (*setTransparency)(int handle, BOOL on, const COLORREF* color);
    int (*rotate)(int handle, int degrees, COLORREF fill);
};

// The table in use: the real filters unless a test replaced them.
const ImageEffectFilters& GetImageEffectFilters();
// The real filters.
const ImageEffectFilters& DefaultImageEffectFilters();
// Replaces the table (copied); null puts the real filters back.
void SetEffectFiltersForTests(const ImageEffectFilters* pFilters);
