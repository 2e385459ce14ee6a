// Playing Windows-metafile records into a DC. Each record becomes the GDI
// call it was recorded from, in the DC's own logical units, so a caller's
// mapping (a viewport over a cache bitmap, a printer page) scales the whole
// picture. Every record is checked against its own size before a field is
// read; a record that does not fit ends playback, one that is too short for
// its function is skipped.

#include "platform/gdi/internal/WmfPlayer.h"

#include "platform/gdi/internal/MetafileCommon.h"

#include <algorithm>
#include <map>
#include <vector>

namespace platform {

namespace {

enum MetaFunction : uint16_t {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_REALIZEPALETTE = 0x0035,
    META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETRELABS = 0x0105,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_RESIZEPALETTE = 0x0139,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_SETLAYOUT = 0x0149,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETTEXTJUSTIFICATION = 0x020A,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220,
    META_FILLREGION = 0x0228,
    META_SETMAPPERFLAGS = 0x0231,
    META_SELECTPALETTE = 0x0234,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_FLOODFILL = 0x0419,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_FRAMEREGION = 0x0429,
    META_ANIMATEPALETTE = 0x0436,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_EXTFLOODFILL = 0x0548,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_ESCAPE = 0x0626,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_BITBLT = 0x0922,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHBLT = 0x0B23,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

constexpr size_t kRecordHeaderBytes = 6;
// The object table can never be larger: SELECTOBJECT's index is a word.
constexpr size_t kMaxObjectSlots = 65536;

// One record: its function and its parameter words.
struct Record {
    uint16_t function = 0;
    ByteReader params;

    size_t Count() const { return params.Size() / 2; }
    bool Need(size_t words) const { return Count() >= words; }
    int P(size_t i) const { return params.S16(2 * i); }
    UINT W(size_t i) const { return params.U16(2 * i); }
    DWORD D(size_t i) const { return params.U32(2 * i); }
};

class WmfPlayer {
public:
    WmfPlayer(HDC hdc, const MetaFileObject& metafile)
        : m_dc(hdc)
        , m_table(std::clamp<size_t>(metafile.objectCount, 1, kMaxObjectSlots), nullptr)
    {
        m_baseClip = CreateRectRgn(0, 0, 0, 0);
        if (m_baseClip && GetClipRgn(hdc, m_baseClip) != 1) {
            DeleteObject(m_baseClip);
            m_baseClip = NULL;
        }
        m_firstSave = SaveDC(hdc);
    }

    // False when the DC's state could not be saved: nothing is played then,
    // since restoring afterwards would reach the caller's own states.
    bool Ready() const { return m_firstSave != 0; }

    ~WmfPlayer()
    {
        // Objects go only once the DC no longer has them selected.
        if (m_firstSave)
            RestoreDC(m_dc, m_firstSave);
        for (HGDIOBJ h : m_table)
            if (h)
                DeleteObject(h);
        for (HGDIOBJ h : m_deferred)
            DeleteObject(h);
        if (m_baseClip)
            DeleteObject(m_baseClip);
    }

    void Play(const std::vector<BYTE>& bits)
    {
        ByteReader all(bits.data(), bits.size());
        size_t at = size_t(all.U16(2)) * 2;
        while (all.Has(at, kRecordHeaderBytes)) {
            uint64_t bytes = uint64_t(all.U32(at)) * 2;
            if (bytes < kRecordHeaderBytes || !all.Has(at, bytes))
                return; // a damaged size: nothing after it can be trusted
            Record record{all.U16(at + 4), all.Sub(at + kRecordHeaderBytes, size_t(bytes) - kRecordHeaderBytes)};
            if (record.function == META_EOF)
                return;
            Dispatch(record);
            at += size_t(bytes);
        }
    }

private:
    void Dispatch(const Record& r);

    // ---- The object table -------------------------------------------------

    // Creating takes the lowest free slot, whether or not the object could be
    // made, so that later indexes still name the objects they were recorded
    // with. A full table drops the object.
    void AddObject(HGDIOBJ h)
    {
        for (HGDIOBJ& slot : m_table) {
            if (!slot) {
                slot = h ? h : kFailedObject();
                return;
            }
        }
        if (h)
            DeleteObject(h);
    }

    static HGDIOBJ kFailedObject() { return reinterpret_cast<HGDIOBJ>(uintptr_t(1)); }
    static bool IsReal(HGDIOBJ h) { return h && h != kFailedObject(); }

    HGDIOBJ ObjectAt(UINT index) const
    {
        if (index >= m_table.size() || !IsReal(m_table[index]))
            return NULL;
        return m_table[index];
    }

    void SelectIndex(UINT index)
    {
        HGDIOBJ h = ObjectAt(index);
        if (!h)
            return;
        switch (GetObjectType(h)) {
        case OBJ_REGION:
            SelectClip(static_cast<HRGN>(h));
            break;
        case OBJ_PAL:
            SelectPalette(m_dc, static_cast<HPALETTE>(h), FALSE);
            m_palette = static_cast<HPALETTE>(h);
            break;
        default:
            SelectObject(m_dc, h);
            break;
        }
    }

    void DeleteIndex(UINT index)
    {
        if (index >= m_table.size() || !m_table[index])
            return;
        HGDIOBJ h = m_table[index];
        m_table[index] = NULL;
        if (!IsReal(h))
            return;
        if (h == m_palette)
            m_palette = NULL;
        m_regionRects.erase(h);
        // An object still selected cannot go yet; it goes at the end.
        if (!DeleteObject(h))
            m_deferred.push_back(h);
    }

    // ---- Clipping --------------------------------------------------------------

    // Regions in a metafile are in its logical units; the clip is kept in
    // device units and never reaches outside the clip the caller gave.
    void SelectClip(HRGN logical)
    {
        HRGN device = logical ? ToDevice(logical) : NULL;
        if (logical && !device)
            return;
        if (!device) {
            SelectClipRgn(m_dc, m_baseClip);
            return;
        }
        if (m_baseClip)
            CombineRgn(device, device, m_baseClip, RGN_AND);
        SelectClipRgn(m_dc, device);
        DeleteObject(device);
    }

    // The region rebuilt in device units from the rectangles it was made of
    // (the DC's mapping only scales and offsets, so each stays a rectangle).
    HRGN ToDevice(HRGN logical)
    {
        auto it = m_regionRects.find(logical);
        if (it == m_regionRects.end())
            return NULL;
        std::vector<POINT> points;
        std::vector<INT> counts;
        for (const RECT& r : it->second) {
            POINT c[2] = {{r.left, r.top}, {r.right, r.bottom}};
            LPtoDP(m_dc, c, 2);
            points.insert(points.end(), {c[0], POINT{c[1].x, c[0].y}, c[1], POINT{c[0].x, c[1].y}});
            counts.push_back(4);
        }
        if (counts.empty())
            return CreateRectRgn(0, 0, 0, 0);
        return CreatePolyPolygonRgn(points.data(), counts.data(), int(counts.size()), WINDING);
    }

    HRGN CreateRegion(const Record& r);

    // ---- Bitmaps ------------------------------------------------------------------

    void StretchDib(int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc, int hSrc,
        const MetaDib& dib, UINT usage, DWORD rop, bool topDownSource)
    {
        // BitBlt-style records count source rows from the top; StretchDIBits
        // counts them from the bottom for bottom-up bitmaps.
        if (topDownSource && dib.height > 0)
            ySrc = dib.height - ySrc - hSrc;
        StretchDIBits(m_dc, xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc, dib.Bits(), dib.Info(), usage, rop);
    }

    HBRUSH BrushFromDib(const MetaDib& dib, UINT usage)
    {
        HBITMAP bitmap = CreateDIBitmap(m_dc, &dib.Header(), CBM_INIT, dib.Bits(), dib.Info(), usage);
        if (!bitmap)
            return NULL;
        HBRUSH brush = CreatePatternBrush(bitmap);
        DeleteObject(bitmap);
        return brush;
    }

    HDC m_dc;
    std::vector<HGDIOBJ> m_table;
    std::vector<HGDIOBJ> m_deferred;
    std::map<HGDIOBJ, std::vector<RECT>> m_regionRects;
    HRGN m_baseClip = NULL;
    HPALETTE m_palette = NULL;
    int m_firstSave = 0;
    int m_depth = 0; // SaveDC records played and not yet restored
};

HRGN WmfPlayer::CreateRegion(const Record& r)
{
    // nextInChain, objectType, objectCount, regionSize, scanCount, maxScan,
    // bounding box (4 words), then the scans: a count of x values, top,
    // bottom, the x pairs and the count again.
    if (!r.Need(10))
        return NULL;
    size_t scans = r.W(4);
    size_t word = 10;
    std::vector<RECT> rects;
    for (size_t s = 0; s < scans; ++s) {
        if (!r.Need(word + 3))
            break;
        size_t xs = r.W(word);
        int top = r.P(word + 1);
        int bottom = r.P(word + 2);
        if (!r.Need(word + 3 + xs + 1))
            break;
        for (size_t i = 0; i + 1 < xs; i += 2)
            rects.push_back(RECT{r.P(word + 3 + i), top, r.P(word + 4 + i), bottom});
        word += 3 + xs + 1;
    }
    std::vector<POINT> points;
    std::vector<INT> counts;
    for (const RECT& rc : rects) {
        points.insert(points.end(), {POINT{rc.left, rc.top}, POINT{rc.right, rc.top}, POINT{rc.right, rc.bottom}, POINT{rc.left, rc.bottom}});
        counts.push_back(4);
    }
    HRGN region = counts.empty() ? CreateRectRgn(0, 0, 0, 0)
                                 : CreatePolyPolygonRgn(points.data(), counts.data(), int(counts.size()), WINDING);
    if (region)
        m_regionRects[region] = std::move(rects);
    return region;
}

// Rectangles are stored bottom, right, top, left, and point pairs y first:
// the parameters are the call's arguments in reverse.
void WmfPlayer::Dispatch(const Record& r)
{
    switch (r.function) {
    // ---- Attributes ----------------------------------------------------------
    case META_SETBKCOLOR:
        if (r.Need(2))
            SetBkColor(m_dc, r.D(0));
        break;
    case META_SETTEXTCOLOR:
        if (r.Need(2))
            SetTextColor(m_dc, r.D(0));
        break;
    case META_SETBKMODE:
        if (r.Need(1))
            SetBkMode(m_dc, r.P(0));
        break;
    case META_SETROP2:
        if (r.Need(1))
            SetROP2(m_dc, r.P(0));
        break;
    case META_SETPOLYFILLMODE:
        if (r.Need(1))
            SetPolyFillMode(m_dc, r.P(0));
        break;
    case META_SETSTRETCHBLTMODE:
        if (r.Need(1))
            SetStretchBltMode(m_dc, r.P(0));
        break;
    case META_SETTEXTCHAREXTRA:
        if (r.Need(1))
            SetTextCharacterExtra(m_dc, r.P(0));
        break;
    case META_SETTEXTALIGN:
        if (r.Need(1))
            SetTextAlign(m_dc, r.W(0));
        break;
    case META_SETTEXTJUSTIFICATION:
        if (r.Need(2))
            SetTextJustification(m_dc, r.P(1), r.P(0));
        break;

    // ---- Mapping ----------------------------------------------------------------
    case META_SETMAPMODE:
        if (r.Need(1))
            SetMapMode(m_dc, r.P(0));
        break;
    case META_SETWINDOWORG:
        if (r.Need(2))
            SetWindowOrgEx(m_dc, r.P(1), r.P(0), NULL);
        break;
    case META_SETWINDOWEXT:
        if (r.Need(2) && r.P(0) && r.P(1))
            SetWindowExtEx(m_dc, r.P(1), r.P(0), NULL);
        break;
    case META_SETVIEWPORTORG:
        if (r.Need(2))
            SetViewportOrgEx(m_dc, r.P(1), r.P(0), NULL);
        break;
    case META_SETVIEWPORTEXT:
        if (r.Need(2) && r.P(0) && r.P(1))
            SetViewportExtEx(m_dc, r.P(1), r.P(0), NULL);
        break;
    case META_OFFSETWINDOWORG:
        if (r.Need(2))
            OffsetWindowOrgEx(m_dc, r.P(1), r.P(0), NULL);
        break;
    case META_OFFSETVIEWPORTORG:
        if (r.Need(2))
            OffsetViewportOrgEx(m_dc, r.P(1), r.P(0), NULL);
        break;
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT:
        // yDenom, yNum, xDenom, xNum; a zero anywhere would collapse the
        // extent, which the DC refuses, so the record is passed over.
        if (r.Need(4) && r.P(0) && r.P(1) && r.P(2) && r.P(3)) {
            if (r.function == META_SCALEWINDOWEXT)
                ScaleWindowExtEx(m_dc, r.P(3), r.P(2), r.P(1), r.P(0), NULL);
            else
                ScaleViewportExtEx(m_dc, r.P(3), r.P(2), r.P(1), r.P(0), NULL);
        }
        break;
    case META_SAVEDC:
        if (SaveDC(m_dc))
            ++m_depth;
        break;
    case META_RESTOREDC:
        // Only states saved by this metafile can be restored: the caller's
        // own are out of its reach.
        if (r.Need(1)) {
            int n = r.P(0);
            if (n < 0 && -n <= m_depth) {
                if (RestoreDC(m_dc, n))
                    m_depth += n;
            } else if (n > 0 && n <= m_depth) {
                if (RestoreDC(m_dc, m_firstSave + n))
                    m_depth = n - 1;
            }
        }
        break;

    // ---- Objects -------------------------------------------------------------------
    case META_CREATEPENINDIRECT:
        if (r.Need(5)) {
            LOGPEN pen{r.W(0), POINT{r.P(1), r.P(2)}, r.D(3)};
            if (pen.lopnStyle > PS_INSIDEFRAME)
                pen.lopnStyle = PS_SOLID;
            AddObject(CreatePenIndirect(&pen));
        } else {
            AddObject(NULL);
        }
        break;
    case META_CREATEBRUSHINDIRECT:
        if (r.Need(4)) {
            LOGBRUSH brush{r.W(0), r.D(1), r.W(3)};
            // A pattern cannot travel in this record; such a brush is solid.
            if (brush.lbStyle != BS_NULL && brush.lbStyle != BS_HATCHED)
                brush.lbStyle = BS_SOLID;
            AddObject(CreateBrushIndirect(&brush));
        } else {
            AddObject(NULL);
        }
        break;
    case META_CREATEFONTINDIRECT:
        if (r.Need(9)) {
            LOGFONT font{};
            font.lfHeight = r.P(0);
            font.lfWidth = r.P(1);
            font.lfEscapement = r.P(2);
            font.lfOrientation = r.P(3);
            font.lfWeight = r.P(4);
            font.lfItalic = r.params.U8(10);
            font.lfUnderline = r.params.U8(11);
            font.lfStrikeOut = r.params.U8(12);
            font.lfCharSet = r.params.U8(13);
            font.lfOutPrecision = r.params.U8(14);
            font.lfClipPrecision = r.params.U8(15);
            font.lfQuality = r.params.U8(16);
            font.lfPitchAndFamily = r.params.U8(17);
            for (size_t i = 0; i + 1 < LF_FACESIZE && r.params.Has(18 + i, 1); ++i) {
                char c = char(r.params.U8(18 + i));
                if (!c)
                    break;
                font.lfFaceName[i] = c;
            }
            AddObject(CreateFontIndirect(&font));
        } else {
            AddObject(NULL);
        }
        break;
    case META_CREATEPALETTE:
        if (r.Need(2)) {
            size_t count = std::min<size_t>({r.W(1), (r.params.Size() - 4) / 4, 256});
            std::vector<uint32_t> storage(1 + count + 1, 0);
            LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
            palette->palVersion = PALVERSION;
            palette->palNumEntries = WORD(count);
            std::memcpy(palette->palPalEntry, r.params.Data() + 4, count * 4);
            AddObject(count ? CreatePalette(palette) : NULL);
        } else {
            AddObject(NULL);
        }
        break;
    case META_CREATEREGION:
        AddObject(CreateRegion(r));
        break;
    case META_DIBCREATEPATTERNBRUSH: {
        HBRUSH brush = NULL;
        // A BS_PATTERN style here carries a device-dependent bitmap that no
        // writer we know of produces; it is left out like the old
        // CREATEPATTERNBRUSH.
        if (r.Need(2) && r.W(0) != BS_PATTERN) {
            UINT usage = r.W(1);
            if (auto dib = ReadPackedMetaDib(r.params.Sub(4, r.params.Size() - 4), usage))
                brush = BrushFromDib(*dib, usage);
        }
        AddObject(brush);
        break;
    }
    case META_CREATEPATTERNBRUSH:
        AddObject(NULL);
        break;
    case META_SELECTOBJECT:
        if (r.Need(1))
            SelectIndex(r.W(0));
        break;
    case META_DELETEOBJECT:
        if (r.Need(1))
            DeleteIndex(r.W(0));
        break;
    case META_SELECTPALETTE:
        if (r.Need(1)) {
            if (HGDIOBJ h = ObjectAt(r.W(0)); h && GetObjectType(h) == OBJ_PAL) {
                SelectPalette(m_dc, static_cast<HPALETTE>(h), FALSE);
                m_palette = static_cast<HPALETTE>(h);
            }
        }
        break;
    case META_REALIZEPALETTE:
        RealizePalette(m_dc);
        break;
    case META_SETPALENTRIES:
    case META_ANIMATEPALETTE:
        if (r.Need(2) && m_palette) {
            size_t count = std::min<size_t>(r.W(1), (r.params.Size() - 4) / 4);
            std::vector<PALETTEENTRY> entries(count);
            std::memcpy(entries.data(), r.params.Data() + 4, count * 4);
            if (count)
                SetPaletteEntries(m_palette, r.W(0), UINT(count), entries.data());
        }
        break;

    // ---- Lines and shapes ---------------------------------------------------------
    case META_MOVETO:
        if (r.Need(2))
            MoveToEx(m_dc, r.P(1), r.P(0), NULL);
        break;
    case META_LINETO:
        if (r.Need(2))
            LineTo(m_dc, r.P(1), r.P(0));
        break;
    case META_POLYLINE:
    case META_POLYGON:
        if (r.Need(1)) {
            size_t n = r.W(0);
            if (!r.Need(1 + 2 * n) || n == 0)
                break;
            std::vector<POINT> points(n);
            for (size_t i = 0; i < n; ++i)
                points[i] = POINT{r.P(1 + 2 * i), r.P(2 + 2 * i)};
            if (r.function == META_POLYLINE)
                Polyline(m_dc, points.data(), int(n));
            else
                Polygon(m_dc, points.data(), int(n));
        }
        break;
    case META_POLYPOLYGON:
        if (r.Need(1)) {
            size_t polys = r.W(0);
            if (polys == 0 || !r.Need(1 + polys))
                break;
            std::vector<INT> counts(polys);
            size_t total = 0;
            for (size_t i = 0; i < polys; ++i) {
                counts[i] = INT(r.W(1 + i));
                total += size_t(counts[i]);
            }
            if (!r.Need(1 + polys + 2 * total))
                break;
            std::vector<POINT> points(total);
            size_t base = 1 + polys;
            for (size_t i = 0; i < total; ++i)
                points[i] = POINT{r.P(base + 2 * i), r.P(base + 2 * i + 1)};
            PolyPolygon(m_dc, points.data(), counts.data(), int(polys));
        }
        break;
    case META_RECTANGLE:
        if (r.Need(4))
            Rectangle(m_dc, r.P(3), r.P(2), r.P(1), r.P(0));
        break;
    case META_ELLIPSE:
        if (r.Need(4))
            Ellipse(m_dc, r.P(3), r.P(2), r.P(1), r.P(0));
        break;
    case META_ROUNDRECT:
        if (r.Need(6))
            RoundRect(m_dc, r.P(5), r.P(4), r.P(3), r.P(2), r.P(1), r.P(0));
        break;
    case META_ARC:
    case META_PIE:
    case META_CHORD:
        if (r.Need(8)) {
            int x1 = r.P(7), y1 = r.P(6), x2 = r.P(5), y2 = r.P(4);
            int xs = r.P(3), ys = r.P(2), xe = r.P(1), ye = r.P(0);
            if (r.function == META_ARC)
                Arc(m_dc, x1, y1, x2, y2, xs, ys, xe, ye);
            else if (r.function == META_PIE)
                Pie(m_dc, x1, y1, x2, y2, xs, ys, xe, ye);
            else
                Chord(m_dc, x1, y1, x2, y2, xs, ys, xe, ye);
        }
        break;
    case META_SETPIXEL:
        if (r.Need(4))
            SetPixel(m_dc, r.P(3), r.P(2), r.D(0));
        break;

    // ---- Regions -------------------------------------------------------------------
    case META_SELECTCLIPREGION:
        if (r.Need(1)) {
            HGDIOBJ h = ObjectAt(r.W(0));
            SelectClip(h && GetObjectType(h) == OBJ_REGION ? static_cast<HRGN>(h) : NULL);
        }
        break;
    case META_INTERSECTCLIPRECT:
        if (r.Need(4))
            IntersectClipRect(m_dc, r.P(3), r.P(2), r.P(1), r.P(0));
        break;
    case META_EXCLUDECLIPRECT:
        if (r.Need(4))
            ExcludeClipRect(m_dc, r.P(3), r.P(2), r.P(1), r.P(0));
        break;
    case META_FILLREGION:
        if (r.Need(2)) {
            HGDIOBJ region = ObjectAt(r.W(0));
            HGDIOBJ brush = ObjectAt(r.W(1));
            if (region && brush && GetObjectType(region) == OBJ_REGION && GetObjectType(brush) == OBJ_BRUSH)
                FillRgn(m_dc, static_cast<HRGN>(region), static_cast<HBRUSH>(brush));
        }
        break;
    case META_FRAMEREGION:
        if (r.Need(4)) {
            HGDIOBJ region = ObjectAt(r.W(0));
            HGDIOBJ brush = ObjectAt(r.W(1));
            if (region && brush && GetObjectType(region) == OBJ_REGION && GetObjectType(brush) == OBJ_BRUSH)
                FrameRgn(m_dc, static_cast<HRGN>(region), static_cast<HBRUSH>(brush), r.P(3), r.P(2));
        }
        break;
    case META_PAINTREGION:
    case META_INVERTREGION:
        if (r.Need(1)) {
            HGDIOBJ region = ObjectAt(r.W(0));
            if (region && GetObjectType(region) == OBJ_REGION) {
                if (r.function == META_PAINTREGION)
                    PaintRgn(m_dc, static_cast<HRGN>(region));
                else
                    InvertRgn(m_dc, static_cast<HRGN>(region));
            }
        }
        break;

    // ---- Text ------------------------------------------------------------------------
    case META_TEXTOUT:
        if (r.Need(1)) {
            size_t length = r.W(0);
            size_t stringWords = (length + 1) / 2;
            if (!r.Need(1 + stringWords + 2))
                break;
            const char* text = reinterpret_cast<const char*>(r.params.Data() + 2);
            TextOut(m_dc, r.P(2 + stringWords), r.P(1 + stringWords), text, int(length));
        }
        break;
    case META_EXTTEXTOUT:
        if (r.Need(4)) {
            int y = r.P(0), x = r.P(1);
            size_t length = r.W(2);
            // Only these flags mean anything here; glyph indices are never
            // recorded in this metafile's byte strings.
            UINT options = r.W(3) & (ETO_OPAQUE | ETO_CLIPPED);
            size_t at = 8;
            RECT rect{};
            bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) && r.params.Has(at, 8 + length);
            if (hasRect) {
                rect = RECT{r.params.S16(at), r.params.S16(at + 2), r.params.S16(at + 4), r.params.S16(at + 6)};
                at += 8;
            } else {
                options &= ~UINT(ETO_OPAQUE | ETO_CLIPPED);
            }
            if (!r.params.Has(at, length))
                break;
            const char* text = reinterpret_cast<const char*>(r.params.Data() + at);
            at += (length + 1) & ~size_t(1);
            std::vector<INT> dx;
            if (length && r.params.Has(at, 2 * length)) {
                dx.resize(length);
                for (size_t i = 0; i < length; ++i)
                    dx[i] = r.params.S16(at + 2 * i);
            }
            ExtTextOut(m_dc, x, y, options, hasRect ? &rect : NULL, text, UINT(length), dx.empty() ? NULL : dx.data());
        }
        break;

    // ---- Bitmaps -----------------------------------------------------------------------
    case META_PATBLT:
        if (r.Need(6))
            PatBlt(m_dc, r.P(5), r.P(4), r.P(3), r.P(2), r.D(0));
        break;
    case META_DIBBITBLT:
        // Without a bitmap the record is one word longer and is a pattern
        // operation on the destination alone.
        if (r.Count() == 9) {
            PatBlt(m_dc, r.P(8), r.P(7), r.P(6), r.P(5), r.D(0));
        } else if (r.Need(8)) {
            if (auto dib = ReadPackedMetaDib(r.params.Sub(16, r.params.Size() - 16), DIB_RGB_COLORS))
                StretchDib(r.P(7), r.P(6), r.P(5), r.P(4), r.P(3), r.P(2), r.P(5), r.P(4), *dib, DIB_RGB_COLORS, r.D(0), true);
        }
        break;
    case META_DIBSTRETCHBLT:
        if (r.Count() == 11) {
            PatBlt(m_dc, r.P(10), r.P(9), r.P(8), r.P(7), r.D(0));
        } else if (r.Need(10)) {
            if (auto dib = ReadPackedMetaDib(r.params.Sub(20, r.params.Size() - 20), DIB_RGB_COLORS))
                StretchDib(r.P(9), r.P(8), r.P(7), r.P(6), r.P(5), r.P(4), r.P(3), r.P(2), *dib, DIB_RGB_COLORS, r.D(0), true);
        }
        break;
    case META_STRETCHDIB:
        if (r.Need(11)) {
            UINT usage = r.W(2);
            if (auto dib = ReadPackedMetaDib(r.params.Sub(22, r.params.Size() - 22), usage))
                StretchDib(r.P(10), r.P(9), r.P(8), r.P(7), r.P(6), r.P(5), r.P(4), r.P(3), *dib, usage, r.D(0), false);
        }
        break;
    case META_SETDIBTODEV:
        if (r.Need(9)) {
            UINT usage = r.W(0);
            UINT scans = r.W(1);
            UINT startScan = r.W(2);
            auto dib = ReadPackedMetaDib(r.params.Sub(18, r.params.Size() - 18), usage);
            // The pixels hold `scans` rows; more would be read past them.
            if (dib && scans <= UINT(dib->AbsHeight()))
                SetDIBitsToDevice(m_dc, r.P(8), r.P(7), DWORD(uint16_t(r.P(6))), DWORD(uint16_t(r.P(5))),
                    r.P(4), r.P(3), startScan, scans, dib->Bits(), dib->Info(), usage);
        }
        break;

    // ---- Passed over ---------------------------------------------------------------------
    case META_ESCAPE:         // printer escapes and comments
    case META_SETRELABS:      // has no effect in Win32
    case META_SETMAPPERFLAGS: // font matching hint
    case META_SETLAYOUT:      // right-to-left layout, never used by our pictures
    case META_RESIZEPALETTE:
    case META_OFFSETCLIPRGN:
    case META_FLOODFILL:
    case META_EXTFLOODFILL:
    case META_BITBLT:         // device-dependent bitmaps of 16-bit Windows
    case META_STRETCHBLT:
        break;
    default:
        break;
    }
}

} // namespace

bool PlayMetaFileRecords(HDC hdc, const MetaFileObject& metafile)
{
    WmfPlayer player(hdc, metafile);
    if (!player.Ready())
        return false;
    player.Play(metafile.bits);
    return true;
}

} // namespace platform
