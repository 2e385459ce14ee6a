#pragma once
// Fonts as the text code realises them: the face a LOGFONT resolves to (a
// scalable TrueType face found through fontconfig, opened with FreeType) and
// that face at one device size, with the metrics and per-character widths
// every text call measures with.
//
// A FontObject gets its FontFace on first use and keeps it; the face keeps
// one SizedFont per device size it was asked for, since the same HFONT is
// realised at different sizes on DCs with different mappings (screen,
// printer, zoomed preview). Nothing here is thread-safe: drawing runs on the
// thread of the user interface.

#include "platform/gdi/GdiDefs.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct FT_FaceRec_;
struct FT_SizeRec_;
struct FT_GlyphSlotRec_;

namespace platform {

struct DeviceContext;
struct FontObject;
class FontFile;

// One glyph's horizontal measures at a size, in device pixels.
struct CharMetrics {
    bool loaded = false;
    unsigned glyphIndex = 0;
    int advance = 0; // the pen advance (A + B + C)
    ABC abc{0, 0, 0};
};

// A face at one device size. All values are device pixels; positions of the
// decoration lines are measured upwards from the baseline.
struct SizedFont {
    SizedFont() = default;
    SizedFont(const SizedFont&) = delete;
    SizedFont& operator=(const SizedFont&) = delete;
    ~SizedFont();

    FT_SizeRec_* size = nullptr;
    int ppem = 0;            // the em height in pixels
    long xScale26_6 = 0;     // the horizontal em in 1/64 pixels (lfWidth)
    TEXTMETRIC tm{};
    int underlinePosition = 0; // below the baseline: negative
    int underlineThickness = 1;
    int strikeoutPosition = 0;
    int strikeoutThickness = 1;
    // By 1252 byte; filled on first use.
    std::array<CharMetrics, 256> chars{};
    // By glyph index, for text given as glyphs; filled on first use and
    // bounded by the 16-bit indices.
    std::map<unsigned, CharMetrics> glyphs;
    // Upright glyphs rendered one byte a pixel with the pen at (0, 0), by
    // glyph index: text drawn at whole pixels reuses them moved. Emptied
    // when it reaches kMaxRenderedGlyphs.
    struct RenderedGlyph {
        long left = 0, top = 0, right = 0, bottom = 0; // about the pen
        std::vector<uint8_t> bits;
    };
    std::map<unsigned, RenderedGlyph> rendered;
    // Upright outlines as GetGlyphOutline hands them out (GGO_NATIVE
    // records and the glyph's metrics), by glyph index and hinting: text
    // drawn as outlines asks for the same few glyphs over and over, and
    // hinting one costs more than filling it. Emptied when it reaches
    // kMaxRenderedGlyphs.
    struct NativeOutline {
        GLYPHMETRICS metrics{};
        std::vector<unsigned char> records;
    };
    std::map<std::pair<unsigned, bool>, NativeOutline> outlines;
};
constexpr size_t kMaxRenderedGlyphs = 1024;

struct FontFace {
    FontFace() = default;
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;
    ~FontFace();

    LOGFONT log{};              // as created
    std::shared_ptr<FontFile> file;
    std::string faceName;       // what GetTextFace answers
    std::string familyName;     // the installed family it resolved to
    std::string styleName;
    bool syntheticBold = false;  // the face is lighter than asked for
    bool syntheticItalic = false; // the face is upright but italic was asked
    bool symbolCmap = false;     // characters map through the symbol cmap
    bool symbolEncoding = false; // "Symbol" on a Unicode face: bytes are the Symbol encoding
    BYTE charSet = ANSI_CHARSET;
    BYTE pitchAndFamily = 0;     // tmPitchAndFamily
    int weight = FW_NORMAL;      // tmWeight
    // The cell above and below the baseline in 1/2048 em when the face
    // stands in for one whose cell differs; 0: the file's own.
    int cellAscent = 0;
    int cellDescent = 0;

    // Keyed by (ppem, horizontal em in 1/64 pixels).
    std::map<std::pair<int, long>, std::unique_ptr<SizedFont>> sizes;

    // The OS/2, hhea and post tables of the file's face, looked up once:
    // every text call sizes its face, and a lookup searches by module name.
    const FT_FaceRec_* tablesOf = nullptr;
    const void* os2Table = nullptr;
    const void* hheaTable = nullptr;
    const void* postTable = nullptr;
};

// Opens a face of a font file once for the program's life; null when it is
// not a scalable TrueType face FreeType can read.
std::shared_ptr<FontFile> OpenFontFile(const std::string& path, int index);
FT_FaceRec_* FaceOf(const FontFile& file);
// The face's family and style as Windows names them (name records 1 and 2),
// in 1252.
std::string LegacyFamilyName(FT_FaceRec_* face);
std::string LegacyStyleName(FT_FaceRec_* face);
// Fills the derived members of a face (weight, synthesis, charset, pitch and
// family) from its LOGFONT and file.
void DescribeFace(FontFace& face);

// The face of a font object, resolved on first use; never null (a name that
// matches nothing still gives fontconfig's best face, and without any usable
// face at all a face without a file that measures everything as empty).
FontFace& RealiseFontFace(FontObject& font);

// The font selected in the DC at the size its LOGFONT height comes to through
// the DC's mapping (negative: em height, positive: cell height, 0: 12 points
// on the DC's resolution). Null only when the face has no file.
SizedFont* SizedFontForDc(const DeviceContext& dc);
SizedFont* SizeFontFace(FontFace& face, int deviceHeight, int deviceWidth, int logPixelsY);

// The glyph index and measures of a 1252 character.
const CharMetrics& CharMetricsOf(FontFace& face, SizedFont& sized, unsigned char ch);
// The measures of a glyph given by its index (all 0 for an index the face
// does not have).
const CharMetrics& GlyphMetricsOf(FontFace& face, SizedFont& sized, unsigned glyphIndex);
// The glyph for a Unicode code point, 0 (the missing glyph) when none.
unsigned GlyphIndexOf(const FontFace& face, char32_t codePoint);

// The FreeType face behind a FontFace, with the sized font made current
// (FT_Activate_Size); null when the face has no file.
FT_FaceRec_* ActivateSize(FontFace& face, SizedFont& sized);

// A linear transform of glyph outlines in device pixels with y up: x' = xx
// x + xy y, y' = yx x + yy y.
struct GlyphTransform {
    double xx = 1, xy = 0, yx = 0, yy = 1;
    bool IsIdentity() const { return xx == 1 && xy == 0 && yx == 0 && yy == 1; }
};
// Loads a glyph into the face's glyph slot as an outline in 26.6 device
// pixels, y up, origin on the pen position: hinted or not, emboldened and
// slanted where the face is synthesised, then transformed. Null when the
// glyph cannot be loaded. The slot stays valid until the next load.
FT_GlyphSlotRec_* LoadGlyphOutline(FontFace& face, SizedFont& sized, unsigned glyphIndex, bool hinted,
    const GlyphTransform* transform);
// The pixels by which synthesised bold widens a glyph (0 when real).
int EmboldenPixels(const FontFace& face, const SizedFont& sized);

// The charsets a face covers (from its code-page ranges), ANSI first when it has Latin-1.
std::vector<BYTE> FaceCharsets(FT_FaceRec_* face);

// The faces font lists show by their own names, each with the installed
// family that stands in for it: (name, stand-in family).
std::vector<std::pair<std::string, std::string>> ListedStandIns();

// 1252 text laid out in the DC's current font: the glyph and the device
// advance of each character (from lpDx when given, else the glyph advance
// plus the character extra and the justification share of break
// characters).
struct TextRun {
    FontFace* face = nullptr;
    SizedFont* sized = nullptr; // null when there is no usable face
    std::vector<unsigned> glyphs; // empty when sized is null
    std::vector<int> advances;
    long long width = 0; // device pixels
};
// False when the count is negative or over kMaxTextLength; dx (logical
// units, may be null) holds count entries.
bool LayOutText(const DeviceContext& dc, const char* text, int count, const INT* dx, TextRun& run);
// The same for glyph indices of the DC's current font (ETO_GLYPH_INDEX);
// the glyph of the break character takes the justification share.
bool LayOutGlyphs(const DeviceContext& dc, const WORD* glyphs, int count, const INT* dx, TextRun& run);
constexpr int kMaxTextLength = 1 << 24;

// Logical <-> device lengths along each axis through the DC's mapping.
int DeviceLengthX(const DeviceContext& dc, int logical);
int DeviceLengthY(const DeviceContext& dc, int logical);
int LogicalLengthX(const DeviceContext& dc, int device);
int LogicalLengthY(const DeviceContext& dc, int device);

} // namespace platform
