#include "MetafileBuilder.h"

#include <algorithm>
#include <stdexcept>

namespace artgen {

namespace {

constexpr uint16_t META_EOF = 0x0000;
constexpr uint16_t META_SELECTOBJECT = 0x012D;
constexpr uint16_t META_DELETEOBJECT = 0x01F0;
constexpr uint16_t META_SETWINDOWORG = 0x020B;
constexpr uint16_t META_SETWINDOWEXT = 0x020C;
constexpr uint16_t META_CREATEPENINDIRECT = 0x02FA;
constexpr uint16_t META_CREATEBRUSHINDIRECT = 0x02FC;
constexpr uint16_t META_POLYGON = 0x0324;
constexpr uint16_t META_ELLIPSE = 0x0418;
constexpr uint16_t META_RECTANGLE = 0x041B;

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint16_t kMemoryMetafile = 1;
constexpr uint16_t kHeaderWords = 9;
constexpr uint16_t kMetafileVersion = 0x0300;
// A record's own words before its parameters: a 32-bit size and the function.
constexpr uint32_t kRecordHeaderWords = 3;

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

uint16_t Word(int16_t v)
{
    return static_cast<uint16_t>(v);
}

} // namespace

MetafileBuilder::MetafileBuilder(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch)
    : m_bounds{left, top, right, bottom}
    , m_unitsPerInch(unitsPerInch)
{
}

void MetafileBuilder::Record(uint16_t function, std::span<const uint16_t> parameters)
{
    uint32_t words = kRecordHeaderWords + static_cast<uint32_t>(parameters.size());
    m_maxRecordWords = std::max(m_maxRecordWords, words);
    Put32(m_records, words);
    Put16(m_records, function);
    for (uint16_t p : parameters)
        Put16(m_records, p);
}

int MetafileBuilder::TakeSlot()
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i]) {
            m_slots[i] = true;
            return static_cast<int>(i);
        }
    }
    m_slots.push_back(true);
    return static_cast<int>(m_slots.size() - 1);
}

// Coordinate pairs of these records are stored y first.
void MetafileBuilder::SetWindowOrg(int16_t x, int16_t y)
{
    const uint16_t p[] = {Word(y), Word(x)};
    Record(META_SETWINDOWORG, p);
}

void MetafileBuilder::SetWindowExt(int16_t cx, int16_t cy)
{
    const uint16_t p[] = {Word(cy), Word(cx)};
    Record(META_SETWINDOWEXT, p);
}

int MetafileBuilder::CreatePenIndirect(uint16_t style, int16_t width, uint32_t color)
{
    // LOGPEN: style, width as a point (its y unused), colour.
    const uint16_t p[] = {style, Word(width), 0, static_cast<uint16_t>(color), static_cast<uint16_t>(color >> 16)};
    Record(META_CREATEPENINDIRECT, p);
    return TakeSlot();
}

int MetafileBuilder::CreateBrushIndirect(uint16_t style, uint32_t color, uint16_t hatch)
{
    const uint16_t p[] = {style, static_cast<uint16_t>(color), static_cast<uint16_t>(color >> 16), hatch};
    Record(META_CREATEBRUSHINDIRECT, p);
    return TakeSlot();
}

void MetafileBuilder::SelectObject(int slot)
{
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size() || !m_slots[slot])
        throw std::logic_error("selecting an object that does not exist");
    const uint16_t p[] = {static_cast<uint16_t>(slot)};
    Record(META_SELECTOBJECT, p);
}

void MetafileBuilder::DeleteObject(int slot)
{
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size() || !m_slots[slot])
        throw std::logic_error("deleting an object that does not exist");
    const uint16_t p[] = {static_cast<uint16_t>(slot)};
    Record(META_DELETEOBJECT, p);
    m_slots[slot] = false;
}

void MetafileBuilder::Polygon(std::span<const Point16> points)
{
    std::vector<uint16_t> p;
    p.push_back(static_cast<uint16_t>(points.size()));
    for (const Point16& pt : points) {
        p.push_back(Word(pt.x));
        p.push_back(Word(pt.y));
    }
    Record(META_POLYGON, p);
}

// Rectangles are stored bottom, right, top, left.
void MetafileBuilder::Ellipse(int16_t left, int16_t top, int16_t right, int16_t bottom)
{
    const uint16_t p[] = {Word(bottom), Word(right), Word(top), Word(left)};
    Record(META_ELLIPSE, p);
}

void MetafileBuilder::Rectangle(int16_t left, int16_t top, int16_t right, int16_t bottom)
{
    const uint16_t p[] = {Word(bottom), Word(right), Word(top), Word(left)};
    Record(META_RECTANGLE, p);
}

std::vector<uint8_t> MetafileBuilder::Finish()
{
    Record(META_EOF, {});

    std::vector<uint8_t> out;
    Put32(out, kPlaceableKey);
    Put16(out, 0); // handle, filled in by whoever loads the file
    for (int16_t v : m_bounds)
        Put16(out, Word(v));
    Put16(out, m_unitsPerInch);
    Put32(out, 0);
    // The checksum is the exclusive or of the ten words before it.
    uint16_t checksum = 0;
    for (size_t i = 0; i < out.size(); i += 2)
        checksum ^= static_cast<uint16_t>(out[i] | (out[i + 1] << 8));
    Put16(out, checksum);

    uint32_t totalWords = kHeaderWords + static_cast<uint32_t>(m_records.size() / 2);
    Put16(out, kMemoryMetafile);
    Put16(out, kHeaderWords);
    Put16(out, kMetafileVersion);
    Put32(out, totalWords);
    Put16(out, static_cast<uint16_t>(m_slots.size()));
    Put32(out, m_maxRecordWords);
    Put16(out, 0); // no parameters
    out.insert(out.end(), m_records.begin(), m_records.end());
    return out;
}

} // namespace artgen
