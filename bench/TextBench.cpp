// Word-wrapped rich text: 10,000 characters whose size (10 to 24 points),
// bold, italic and colour change every 50 characters, in Arial (Liberation
// Sans here), laid out 600 pixels wide at 96 pixels an inch, against Pango
// laying out the same text with the same attributes, the same font files
// and the same width in the same run (a new PangoLayout each time, on one
// font map, as a program keeps it).
//
// Counters:
// - "x_pango" on BM_Layout: CWrapText::Layout over pango_layout_new and its
//   line breaking (target 2.0);
// - "x_pango" on BM_Draw: laying out and drawing the text into a memory DC
//   over Pango laying it out and showing it on a Cairo image of the same
//   size (reported);
// - "x_pango" on BM_TurnedOutlines: 1,000 characters drawn as filled glyph
//   outlines turned by 30 degrees over Pango turning the same layout by 30
//   degrees and filling its glyph paths (target 2.0);
// - "lines" and "pango_lines": how many lines each made of the text, and
//   "ink_pango" on the drawings the pixels ours inked over Pango's, to show
//   that both did comparable work.

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "text/WrapText.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kLongText = 10000;
constexpr int kShortText = 1000;
constexpr int kRunLength = 50;
constexpr int kWidth = 600;
constexpr int kDpi = 96;
constexpr int kTurn = 30;
// A turned drawing needs room round the text for its corners.
constexpr int kTurnedMargin = 400;

using Clock = std::chrono::steady_clock;

// The look of run n: sizes walk through 10..24 points, bold and italic
// take all four combinations, the colours cycle.
struct RunLook {
    int nPoints;
    bool bBold;
    bool bItalic;
    COLORREF cr;
};

RunLook LookOf(int nRun)
{
    static const COLORREF colours[] = {RGB(0, 0, 0), RGB(200, 0, 0), RGB(0, 120, 0), RGB(0, 0, 200),
        RGB(150, 80, 0), RGB(120, 0, 150)};
    return RunLook {10 + (nRun * 7) % 15, (nRun & 1) != 0, (nRun & 2) != 0, colours[nRun % 6]};
}

// Deterministic prose: words of one to twelve letters, now and then a
// comma or a full stop, a paragraph break about every 700 characters.
std::string MakeText(int nLength)
{
    static const char* const words[] = {"a", "of", "the", "wrap", "text", "lines", "breaking", "measured",
        "paragraph", "rich", "colour", "font", "characters", "width", "justified", "in", "to", "layout", "glyph",
        "baseline", "sizes", "italic", "bold", "and", "run", "between", "everything", "on", "it", "typesetting"};
    constexpr int kWords = int(sizeof(words) / sizeof(words[0]));
    std::string text;
    unsigned seed = 20261207u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int nSinceBreak = 0;
    while (int(text.size()) < nLength) {
        const std::string word = words[next() % kWords];
        text += word;
        nSinceBreak += int(word.size());
        const unsigned mark = next() % 16;
        if (nSinceBreak > 700) {
            text += ".\n";
            nSinceBreak = 0;
        } else if (mark == 0) {
            text += ", ";
        } else if (mark == 1) {
            text += ". ";
        } else {
            text += ' ';
        }
    }
    text.resize(size_t(nLength));
    return text;
}

// ---- The program's road ----------------------------------------------------------------

void SetUpPlatform()
{
    static const bool done = [] {
        platform::headless::Reset();
        return true;
    }();
    (void)done;
}

// A wrapped text of the given length with its runs, laid out kWidth wide.
class BenchText {
public:
    explicit BenchText(int nLength)
        : m_text(nullptr)
    {
        SetUpPlatform();
        const std::string text = MakeText(nLength);
        m_text.SetText(CString(text.c_str()));
        for (int nStart = 0, nRun = 0; nStart < nLength; nStart += kRunLength, ++nRun) {
            const RunLook look = LookOf(nRun);
            const int nEnd = std::min(nStart + kRunLength, nLength) - 1;
            const int nStyle = (look.bBold ? WRAP_STYLE_BOLD : 0) | (look.bItalic ? WRAP_STYLE_ITALIC : 0);
            m_text.AddFontRun("Arial", look.nPoints, nStart, nEnd, ANSI_CHARSET, nStyle);
            m_text.SetColor(look.cr, nStart, nEnd);
        }
        m_text.SetSize(kWidth, 1000000);
        m_dc.CreateCompatibleDC(nullptr);
    }

    CWrapText& Text() { return m_text; }
    CDC* DC() { return &m_dc; }

private:
    CWrapText m_text;
    CDC m_dc;
};

// A white memory DC of the given size.
class Canvas {
public:
    Canvas(int cx, int cy)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateBitmap(cx, cy, 1, 32, nullptr);
        m_old = m_dc.SelectObject(HGDIOBJ(m_bitmap));
        m_dc.PatBlt(0, 0, cx, cy, WHITENESS);
    }
    ~Canvas()
    {
        m_dc.SelectObject(m_old);
        ::DeleteObject(m_bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    CDC* DC() { return &m_dc; }

    // How many pixels are not white.
    double InkPixels()
    {
        BITMAP info{};
        ::GetObject(m_bitmap, sizeof(info), &info);
        std::vector<uint32_t> pixels(size_t(info.bmWidth) * size_t(info.bmHeight));
        BITMAPINFO header{};
        header.bmiHeader = platform::TopDownDibHeader(info.bmWidth, info.bmHeight, 32);
        m_dc.SelectObject(m_old);
        ::GetDIBits(m_dc.GetSafeHdc(), m_bitmap, 0, UINT(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS);
        m_old = m_dc.SelectObject(HGDIOBJ(m_bitmap));
        return double(std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return (p & 0xFFFFFF) != 0xFFFFFF; }));
    }

private:
    CDC m_dc;
    HBITMAP m_bitmap = NULL;
    HGDIOBJ m_old = NULL;
};

BenchText& LongText()
{
    static BenchText text(kLongText);
    return text;
}

BenchText& ShortText()
{
    static BenchText text(kShortText);
    return text;
}

// ---- The baseline: Pango on the same font files ----------------------------------------

// The Liberation Sans files fontconfig gives for Arial's four styles: the
// only fonts Pango is shown, so that it cannot pick another face.
FcConfig* SameFontFiles()
{
    FcConfig* config = FcConfigCreate();
    for (const char* style : {"Regular", "Bold", "Italic", "Bold Italic"}) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Liberation Sans"));
        FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcChar8* file = nullptr;
        if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            FcConfigAppFontAddFile(config, file);
        if (match != nullptr)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FcFontSet* added = FcConfigGetFonts(config, FcSetApplication);
    if (added == nullptr || added->nfont != 4)
        throw std::runtime_error("the four Liberation Sans files are not installed");
    return config;
}

class PangoText {
public:
    explicit PangoText(int nLength)
        : m_text(MakeText(nLength))
    {
        m_fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        FcConfig* config = SameFontFiles();
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(m_fontMap), config);
        FcConfigDestroy(config);
        m_context = pango_font_map_create_context(m_fontMap);
        pango_cairo_context_set_resolution(m_context, kDpi);
        PangoFontDescription* base = pango_font_description_from_string("Liberation Sans 12");
        pango_context_set_font_description(m_context, base);
        pango_font_description_free(base);

        m_attrs = pango_attr_list_new();
        for (int nStart = 0, nRun = 0; nStart < nLength; nStart += kRunLength, ++nRun) {
            const RunLook look = LookOf(nRun);
            const guint start = guint(nStart);
            const guint end = guint(std::min(nStart + kRunLength, nLength)); // the text is ASCII: bytes
            auto add = [&](PangoAttribute* attr) {
                attr->start_index = start;
                attr->end_index = end;
                pango_attr_list_insert(m_attrs, attr);
            };
            add(pango_attr_size_new(look.nPoints * PANGO_SCALE));
            add(pango_attr_weight_new(look.bBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL));
            add(pango_attr_style_new(look.bItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL));
            add(pango_attr_foreground_new(guint16(GetRValue(look.cr) * 257), guint16(GetGValue(look.cr) * 257),
                guint16(GetBValue(look.cr) * 257)));
        }
    }
    ~PangoText()
    {
        pango_attr_list_unref(m_attrs);
        g_object_unref(m_context);
        g_object_unref(m_fontMap);
    }
    PangoText(const PangoText&) = delete;
    PangoText& operator=(const PangoText&) = delete;

    // A new layout of the whole text, broken into lines; the caller unrefs it.
    PangoLayout* Layout()
    {
        PangoLayout* layout = pango_layout_new(m_context);
        pango_layout_set_text(layout, m_text.data(), int(m_text.size()));
        pango_layout_set_attributes(layout, m_attrs);
        pango_layout_set_width(layout, kWidth * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
        // Asking for the line count makes Pango break the whole text.
        benchmark::DoNotOptimize(pango_layout_get_line_count(layout));
        return layout;
    }

    int LineCount()
    {
        PangoLayout* layout = Layout();
        const int n = pango_layout_get_line_count(layout);
        g_object_unref(layout);
        return n;
    }

private:
    std::string m_text;
    PangoFontMap* m_fontMap = nullptr;
    PangoContext* m_context = nullptr;
    PangoAttrList* m_attrs = nullptr;
};

PangoText& PangoLongText()
{
    static PangoText text(kLongText);
    return text;
}

PangoText& PangoShortText()
{
    static PangoText text(kShortText);
    return text;
}

double PangoLayoutSeconds()
{
    static const double seconds = bench::BestSeconds([] {
        PangoLayout* layout = PangoLongText().Layout();
        g_object_unref(layout);
        return 0;
    });
    return seconds;
}

// The laid-out height of the long text, the same for both canvases.
int LongTextHeight()
{
    static const int height = [] {
        BenchText& text = LongText();
        const CSize size = text.Text().CalcSize(text.DC());
        return std::clamp(int(size.cy) + 20, 100, 30000);
    }();
    return height;
}

int ShortTextHeight()
{
    static const int height = [] {
        BenchText& text = ShortText();
        const CSize size = text.Text().CalcSize(text.DC());
        return std::clamp(int(size.cy) + 20, 100, 30000);
    }();
    return height;
}

// A drawing baseline: the best time and how many pixels it inked.
struct Drawn {
    double seconds = 0;
    double ink = 0;
};

double CairoInk(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    double ink = 0;
    for (int y = 0; y < cairo_image_surface_get_height(surface); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < cairo_image_surface_get_width(surface); ++x)
            ink += (row[x] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    }
    return ink;
}

const Drawn& PangoDraw()
{
    static const Drawn drawn = [] {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, LongTextHeight());
        cairo_t* cr = cairo_create(surface);
        Drawn d;
        d.seconds = bench::BestSeconds([&] {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            PangoLayout* layout = PangoLongText().Layout();
            pango_cairo_show_layout(cr, layout);
            g_object_unref(layout);
            cairo_surface_flush(surface);
            return 0;
        });
        d.ink = CairoInk(surface);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        return d;
    }();
    return drawn;
}

// The short text turned about the middle of its box and its glyph paths
// filled without smoothing, as the outlined drawing fills polygons.
const Drawn& PangoTurned()
{
    static const Drawn drawn = [] {
        const int cx = kWidth + 2 * kTurnedMargin;
        const int cy = ShortTextHeight() + 2 * kTurnedMargin;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx, cy);
        cairo_t* cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        Drawn d;
        d.seconds = bench::BestSeconds([&] {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_save(cr);
            cairo_translate(cr, cx / 2.0, cy / 2.0);
            cairo_rotate(cr, -kTurn * M_PI / 180.0);
            cairo_translate(cr, -kWidth / 2.0, -ShortTextHeight() / 2.0);
            PangoLayout* layout = PangoShortText().Layout();
            cairo_set_source_rgb(cr, 0, 0, 0);
            pango_cairo_layout_path(cr, layout);
            cairo_fill(cr);
            g_object_unref(layout);
            cairo_restore(cr);
            cairo_surface_flush(surface);
            return 0;
        });
        d.ink = CairoInk(surface);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        return d;
    }();
    return drawn;
}

double PerIteration(benchmark::State& state, Clock::time_point start)
{
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

// ---- The benchmarks ----------------------------------------------------------------------

void BM_Layout(benchmark::State& state)
{
    BenchText& text = LongText();
    const double baseline = PangoLayoutSeconds();
    const auto start = Clock::now();
    for (auto _ : state) {
        text.Text().Layout(text.DC());
        benchmark::DoNotOptimize(text.Text().GetLineCount());
    }
    state.counters["x_pango"] = PerIteration(state, start) / baseline;
    state.counters["lines"] = text.Text().GetLineCount();
    state.counters["pango_lines"] = PangoLongText().LineCount();
    state.SetItemsProcessed(int64_t(state.iterations()) * kLongText);
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond);

void BM_LayoutWithPango(benchmark::State& state)
{
    PangoText& text = PangoLongText();
    for (auto _ : state) {
        PangoLayout* layout = text.Layout();
        g_object_unref(layout);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kLongText);
}
BENCHMARK(BM_LayoutWithPango)->Unit(benchmark::kMillisecond);

void BM_Draw(benchmark::State& state)
{
    BenchText& text = LongText();
    const int cy = LongTextHeight();
    const Drawn& baseline = PangoDraw();
    Canvas canvas(kWidth, cy);
    const auto start = Clock::now();
    for (auto _ : state) {
        canvas.DC()->PatBlt(0, 0, kWidth, cy, WHITENESS);
        text.Text().Draw(canvas.DC(), CRect(0, 0, kWidth, cy), 0, FALSE, FALSE);
    }
    state.counters["x_pango"] = PerIteration(state, start) / baseline.seconds;
    state.counters["ink_pango"] = canvas.InkPixels() / std::max(baseline.ink, 1.0);
    state.SetItemsProcessed(int64_t(state.iterations()) * kLongText);
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond);

void BM_TurnedOutlines(benchmark::State& state)
{
    BenchText& text = ShortText();
    const int cx = kWidth + 2 * kTurnedMargin;
    const int cy = ShortTextHeight() + 2 * kTurnedMargin;
    const Drawn& baseline = PangoTurned();
    Canvas canvas(cx, cy);
    const CRect box(kTurnedMargin, kTurnedMargin, kTurnedMargin + kWidth, kTurnedMargin + ShortTextHeight());
    const auto start = Clock::now();
    for (auto _ : state) {
        canvas.DC()->PatBlt(0, 0, cx, cy, WHITENESS);
        text.Text().Draw(canvas.DC(), box, kTurn, FALSE, FALSE);
    }
    state.counters["x_pango"] = PerIteration(state, start) / baseline.seconds;
    state.counters["ink_pango"] = canvas.InkPixels() / std::max(baseline.ink, 1.0);
    state.SetItemsProcessed(int64_t(state.iterations()) * kShortText);
}
BENCHMARK(BM_TurnedOutlines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
