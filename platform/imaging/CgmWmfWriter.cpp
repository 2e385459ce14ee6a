#include "platform/imaging/CgmWmfWriter.h"

#include <algorithm>

namespace platform::cgm {

namespace {

enum : WORD {
    kMetaSetBkMode = 0x0102,
    kMetaSetPolyFillMode = 0x0106,
    kMetaSaveDc = 0x001E,
    kMetaRestoreDc = 0x0127,
    kMetaSelectObject = 0x012D,
    kMetaSetTextAlign = 0x012E,
    kMetaDeleteObject = 0x01F0,
    kMetaSetTextColor = 0x0209,
    kMetaSetWindowOrg = 0x020B,
    kMetaSetWindowExt = 0x020C,
    kMetaCreatePenIndirect = 0x02FA,
    kMetaCreateFontIndirect = 0x02FB,
    kMetaCreateBrushIndirect = 0x02FC,
    kMetaPolygon = 0x0324,
    kMetaPolyline = 0x0325,
    kMetaIntersectClipRect = 0x0416,
    kMetaTextOut = 0x0521,
    kMetaPolyPolygon = 0x0538,
    kMetaStretchDib = 0x0F43,
};

constexpr size_t kHeaderBytes = 18;
constexpr WORD kSrcCopyLow = 0x0020;
constexpr WORD kSrcCopyHigh = 0x00CC;

WORD W(int value)
{
    return static_cast<WORD>(static_cast<int16_t>(std::clamp(value, -32768, 32767)));
}

void PutWord(std::vector<BYTE>& out, WORD value)
{
    out.push_back(static_cast<BYTE>(value & 0xFF));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void PutColour(std::vector<WORD>& params, COLORREF colour)
{
    params.push_back(static_cast<WORD>(colour & 0xFFFF));
    params.push_back(static_cast<WORD>((colour >> 16) & 0xFF));
}

void PutBytes(std::vector<WORD>& params, const BYTE* bytes, size_t count)
{
    for (size_t i = 0; i < count; i += 2) {
        const WORD low = bytes[i];
        const WORD high = i + 1 < count ? bytes[i + 1] : 0;
        params.push_back(static_cast<WORD>(low | (high << 8)));
    }
}

} // namespace

WmfWriter::WmfWriter(size_t maxBytes)
    : m_maxBytes(maxBytes)
{
}

void WmfWriter::Record(WORD function, const std::vector<WORD>& params)
{
    const size_t words = 3 + params.size();
    if (m_overflow || kHeaderBytes + m_records.size() + words * 2 + 6 > m_maxBytes) {
        m_overflow = true;
        return;
    }
    const DWORD size = static_cast<DWORD>(words);
    PutWord(m_records, static_cast<WORD>(size & 0xFFFF));
    PutWord(m_records, static_cast<WORD>(size >> 16));
    PutWord(m_records, function);
    for (WORD word : params)
        PutWord(m_records, word);
    m_maxRecordWords = std::max(m_maxRecordWords, words);
}

void WmfWriter::SetWindow(int width, int height)
{
    Record(kMetaSetWindowOrg, {0, 0});
    Record(kMetaSetWindowExt, {W(height), W(width)});
}

void WmfWriter::SetBkModeTransparent()
{
    Record(kMetaSetBkMode, {1});
}

void WmfWriter::SetPolyFillMode(int mode)
{
    Record(kMetaSetPolyFillMode, {W(mode)});
}

void WmfWriter::SetTextAlign(WORD align)
{
    Record(kMetaSetTextAlign, {align});
}

void WmfWriter::SetTextColor(COLORREF colour)
{
    std::vector<WORD> params;
    PutColour(params, colour);
    Record(kMetaSetTextColor, params);
}

void WmfWriter::SaveDC()
{
    Record(kMetaSaveDc, {});
}

void WmfWriter::RestoreDC()
{
    Record(kMetaRestoreDc, {W(-1)});
}

void WmfWriter::IntersectClipRect(int left, int top, int right, int bottom)
{
    Record(kMetaIntersectClipRect, {W(bottom), W(right), W(top), W(left)});
}

int WmfWriter::TakeSlot()
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

void WmfWriter::SelectNew(Kind kind, WORD function, const std::vector<WORD>& params)
{
    Selected& selected = m_selected[kind];
    if (selected.slot >= 0 && selected.params == params)
        return;
    Record(function, params);
    const int slot = TakeSlot();
    Record(kMetaSelectObject, {W(slot)});
    if (selected.slot >= 0) {
        Record(kMetaDeleteObject, {W(selected.slot)});
        m_slots[static_cast<size_t>(selected.slot)] = false;
    }
    selected.slot = slot;
    selected.params = params;
}

void WmfWriter::ForgetSelection()
{
    // The objects stay in their slots (and are deleted when replaced);
    // only the shortcut for a repeated selection is dropped.
    for (Selected& selected : m_selected)
        selected.params.clear();
}

void WmfWriter::SelectPen(int style, int width, COLORREF colour)
{
    std::vector<WORD> params = {W(style), W(width), 0};
    PutColour(params, colour);
    SelectNew(Pen, kMetaCreatePenIndirect, params);
}

void WmfWriter::SelectBrush(int style, COLORREF colour, int hatch)
{
    std::vector<WORD> params = {W(style)};
    PutColour(params, colour);
    params.push_back(W(hatch));
    SelectNew(Brush, kMetaCreateBrushIndirect, params);
}

void WmfWriter::SelectFont(int height, int escapement, int weight, bool italic, const std::string& face)
{
    // LOGFONT in its 16-bit form: five words, eight bytes, a 32-byte name.
    std::vector<WORD> params = {W(height), 0, W(escapement), W(escapement), W(weight)};
    const BYTE flags[8] = {static_cast<BYTE>(italic ? 1 : 0), 0, 0, 0 /* ANSI_CHARSET */, 0, 0, 0, 0};
    PutBytes(params, flags, sizeof flags);
    BYTE name[32] = {};
    std::copy_n(face.begin(), std::min<size_t>(face.size(), 31), name);
    PutBytes(params, name, sizeof name);
    SelectNew(Font, kMetaCreateFontIndirect, params);
}

void WmfWriter::Polyline(const std::vector<LogicalPoint>& points)
{
    if (points.size() < 2 || points.size() > 0x7FFF)
        return;
    std::vector<WORD> params = {W(static_cast<int>(points.size()))};
    for (const LogicalPoint& point : points) {
        params.push_back(static_cast<WORD>(point.x));
        params.push_back(static_cast<WORD>(point.y));
    }
    Record(kMetaPolyline, params);
}

void WmfWriter::Polygon(const std::vector<LogicalPoint>& points)
{
    if (points.size() < 2 || points.size() > 0x7FFF)
        return;
    std::vector<WORD> params = {W(static_cast<int>(points.size()))};
    for (const LogicalPoint& point : points) {
        params.push_back(static_cast<WORD>(point.x));
        params.push_back(static_cast<WORD>(point.y));
    }
    Record(kMetaPolygon, params);
}

void WmfWriter::PolyPolygon(const std::vector<std::vector<LogicalPoint>>& polygons)
{
    size_t total = 0;
    for (const auto& polygon : polygons)
        total += polygon.size();
    if (polygons.empty() || polygons.size() > 0x7FFF || total > 0x7FFF)
        return;
    std::vector<WORD> params = {W(static_cast<int>(polygons.size()))};
    for (const auto& polygon : polygons)
        params.push_back(W(static_cast<int>(polygon.size())));
    for (const auto& polygon : polygons) {
        for (const LogicalPoint& point : polygon) {
            params.push_back(static_cast<WORD>(point.x));
            params.push_back(static_cast<WORD>(point.y));
        }
    }
    Record(kMetaPolyPolygon, params);
}

void WmfWriter::TextOut(int x, int y, const std::string& text)
{
    if (text.empty() || text.size() > 0x7FFF)
        return;
    std::vector<WORD> params = {W(static_cast<int>(text.size()))};
    PutBytes(params, reinterpret_cast<const BYTE*>(text.data()), text.size());
    params.push_back(W(y));
    params.push_back(W(x));
    Record(kMetaTextOut, params);
}

void WmfWriter::StretchDib(int x, int y, int width, int height, int dibWidth, int dibHeight,
    const std::vector<BYTE>& bits)
{
    std::vector<WORD> params = {kSrcCopyLow, kSrcCopyHigh, 0 /* DIB_RGB_COLORS */, W(dibHeight), W(dibWidth), 0, 0,
        W(height), W(width), W(y), W(x)};
    BYTE header[40] = {};
    auto put32 = [&header](int offset, DWORD value) {
        for (int i = 0; i < 4; ++i)
            header[offset + i] = static_cast<BYTE>(value >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<DWORD>(dibWidth));
    put32(8, static_cast<DWORD>(dibHeight));
    header[12] = 1;  // planes
    header[14] = 24; // bits per pixel
    put32(20, static_cast<DWORD>(bits.size()));
    PutBytes(params, header, sizeof header);
    if (kHeaderBytes + m_records.size() + bits.size() + sizeof header + 64 > m_maxBytes) {
        m_overflow = true;
        return;
    }
    params.reserve(params.size() + bits.size() / 2 + 1);
    PutBytes(params, bits.data(), bits.size());
    Record(kMetaStretchDib, params);
}

std::vector<BYTE> WmfWriter::Finish()
{
    std::vector<BYTE> out;
    out.reserve(kHeaderBytes + m_records.size() + 6);
    const size_t totalWords = (kHeaderBytes + m_records.size() + 6) / 2;
    PutWord(out, 1);      // in memory
    PutWord(out, 9);      // header words
    PutWord(out, 0x0300); // version
    PutWord(out, static_cast<WORD>(totalWords & 0xFFFF));
    PutWord(out, static_cast<WORD>(totalWords >> 16));
    PutWord(out, static_cast<WORD>(m_slots.size()));
    const size_t maxRecord = std::max<size_t>(m_maxRecordWords, 3);
    PutWord(out, static_cast<WORD>(maxRecord & 0xFFFF));
    PutWord(out, static_cast<WORD>(maxRecord >> 16));
    PutWord(out, 0);
    out.insert(out.end(), m_records.begin(), m_records.end());
    PutWord(out, 3); // the end record
    PutWord(out, 0);
    PutWord(out, 0);
    return out;
}

} // namespace platform::cgm
