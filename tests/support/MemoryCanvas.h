#pragma once
// A screen-compatible memory bitmap for painters to fill in tests, cleared
// to an odd colour (1, 2, 3) so that what a painter left alone shows.

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

namespace testing_support {

class MemoryCanvas {
public:
    MemoryCanvas(int w, int h)
    {
        CClientDC screen(nullptr);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, w, h);
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, w, h, RGB(1, 2, 3));
    }
    ~MemoryCanvas() { m_dc.SelectObject(m_pOld); }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    COLORREF At(int x, int y) { return m_dc.GetPixel(x, y) & 0xFFFFFF; }
    CDC* DC() { return &m_dc; }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

} // namespace testing_support
