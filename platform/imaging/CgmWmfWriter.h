#pragma once
// The Windows metafile the CGM filter writes: records of 16-bit words with
// the object table managed as the player manages it (each new object takes
// the lowest free slot). Coordinates are already the metafile's logical
// units. The writer stops growing at its bound and says so.

#include "platform/base/Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::cgm {

struct LogicalPoint {
    int16_t x;
    int16_t y;
};

class WmfWriter {
public:
    explicit WmfWriter(size_t maxBytes);

    void SetWindow(int width, int height);
    void SetBkModeTransparent();
    void SetPolyFillMode(int mode);
    void SetTextAlign(WORD align);
    void SetTextColor(COLORREF colour);
    void SaveDC();
    void RestoreDC();
    void IntersectClipRect(int left, int top, int right, int bottom);

    // A new object selected in place of the one of its kind before, which is
    // then deleted.
    void SelectPen(int style, int width, COLORREF colour);
    void SelectBrush(int style, COLORREF colour, int hatch);
    void SelectFont(int height, int escapement, int weight, bool italic, const std::string& face);
    // After RestoreDC the objects selected before SaveDC are back; the
    // writer's own record of what is selected is forgotten so that the next
    // drawing selects again.
    void ForgetSelection();

    void Polyline(const std::vector<LogicalPoint>& points);
    void Polygon(const std::vector<LogicalPoint>& points);
    void PolyPolygon(const std::vector<std::vector<LogicalPoint>>& polygons);
    void TextOut(int x, int y, const std::string& text);
    // A 24-bit bottom-up DIB (rows of width * 3 bytes, each padded to 4)
    // stretched onto the rectangle.
    void StretchDib(int x, int y, int width, int height, int dibWidth, int dibHeight, const std::vector<BYTE>& bits);

    bool Overflowed() const { return m_overflow; }
    // The finished metafile (header, records, end record).
    std::vector<BYTE> Finish();

private:
    enum Kind { Pen, Brush, Font, KindCount };
    struct Selected {
        int slot = -1;
        std::vector<WORD> params; // the creation record's, to skip a repeat
    };

    void Record(WORD function, const std::vector<WORD>& params);
    void SelectNew(Kind kind, WORD function, const std::vector<WORD>& params);
    int TakeSlot();

    std::vector<BYTE> m_records;
    size_t m_maxBytes;
    size_t m_maxRecordWords = 0;
    bool m_overflow = false;
    std::vector<bool> m_slots;
    Selected m_selected[KindCount];
};

} // namespace platform::cgm
