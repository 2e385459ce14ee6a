#pragma once
// What every generated METAFILE picture starts from: a 1000 x 1000 grid that
// makes one inch, colours as COLORREF values, and shapes filled and outlined
// with objects that are deleted after them.

#include "MetafileBuilder.h"

#include <cstdint>

namespace artgen {

constexpr int16_t kPictureSize = 1000;
constexpr uint16_t kPictureUnitsPerInch = 1000;

constexpr uint32_t ColorRef(uint8_t r, uint8_t g, uint8_t b)
{
    return r | (g << 8) | (uint32_t{b} << 16);
}

inline MetafileBuilder StartPicture()
{
    MetafileBuilder b(0, 0, kPictureSize, kPictureSize, kPictureUnitsPerInch);
    b.SetWindowOrg(0, 0);
    b.SetWindowExt(kPictureSize, kPictureSize);
    return b;
}

// Fills a shape with a solid brush and outlines it with a solid pen, then
// deletes both.
template <typename Draw>
void DrawFilled(MetafileBuilder& b, uint32_t penColor, int16_t penWidth, uint32_t brushColor, Draw draw)
{
    constexpr uint16_t kSolidPen = 0;   // PS_SOLID
    constexpr uint16_t kSolidBrush = 0; // BS_SOLID
    int pen = b.CreatePenIndirect(kSolidPen, penWidth, penColor);
    int brush = b.CreateBrushIndirect(kSolidBrush, brushColor, 0);
    b.SelectObject(pen);
    b.SelectObject(brush);
    draw();
    b.DeleteObject(brush);
    b.DeleteObject(pen);
}

} // namespace artgen
