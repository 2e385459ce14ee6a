#pragma once
// Writes a Windows metafile record by record, behind a placeable header, for
// the generated METAFILE pictures. Only the records those pictures use.

#include <cstdint>
#include <span>
#include <vector>

namespace artgen {

struct Point16 {
    int16_t x;
    int16_t y;
};

class MetafileBuilder {
public:
    // The picture's bounds in its own units and how many units make an inch,
    // for the placeable header.
    MetafileBuilder(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch);

    void SetWindowOrg(int16_t x, int16_t y);
    void SetWindowExt(int16_t cx, int16_t cy);
    // Creating an object takes the lowest free slot of the object table and
    // returns it; DeleteObject frees the slot.
    int CreatePenIndirect(uint16_t style, int16_t width, uint32_t color);
    int CreateBrushIndirect(uint16_t style, uint32_t color, uint16_t hatch);
    void SelectObject(int slot);
    void DeleteObject(int slot);
    void Polygon(std::span<const Point16> points);
    void Ellipse(int16_t left, int16_t top, int16_t right, int16_t bottom);
    void Rectangle(int16_t left, int16_t top, int16_t right, int16_t bottom);

    // Adds the end record and returns the placeable header, the metafile
    // header and the records.
    std::vector<uint8_t> Finish();

private:
    void Record(uint16_t function, std::span<const uint16_t> parameters);
    int TakeSlot();

    int16_t m_bounds[4];
    uint16_t m_unitsPerInch;
    std::vector<uint8_t> m_records;
    std::vector<bool> m_slots;
    uint32_t m_maxRecordWords = 0;
};

} // namespace artgen
