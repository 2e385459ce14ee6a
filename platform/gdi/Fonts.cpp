// Logical fonts: CreateFont and its relatives, the resolution of a face name
// to an installed TrueType face (the substitution table, then fontconfig's
// matching), the realisation of a face at a device size with the metrics
// GDI reports, and GetTextFace.

#include "platform/base/Arithmetic.h"
#include "platform/base/CodePage.h"
#include "platform/base/String.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/FontFace.h"
#include "platform/gdi/internal/GdiObjects.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_OUTLINE_H
#include FT_SFNT_NAMES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <strings.h>

namespace platform {

// An opened font file; faces are few and opening one parses its tables, so
// every face opened stays open for the life of the program.
class FontFile {
public:
    FontFile(FT_Face face, std::string path, int index)
        : m_face(face)
        , m_path(std::move(path))
        , m_index(index)
    {
    }
    ~FontFile() { FT_Done_Face(m_face); }
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    FT_Face Face() const { return m_face; }
    const std::string& Path() const { return m_path; }
    int Index() const { return m_index; }

private:
    FT_Face m_face;
    std::string m_path;
    int m_index;
};

namespace {

// The largest em the text code realises, in device pixels; larger requests
// are drawn at this size rather than letting one glyph bitmap grow without
// bound.
constexpr int kMaxPpem = 16384;

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
            l = nullptr;
        return l;
    }();
    return library;
}

} // namespace

std::shared_ptr<FontFile> OpenFontFile(const std::string& path, int index)
{
    static std::map<std::pair<std::string, int>, std::shared_ptr<FontFile>> files;
    auto key = std::make_pair(path, index);
    auto it = files.find(key);
    if (it != files.end())
        return it->second;
    FT_Face face = nullptr;
    if (!Library() || FT_New_Face(Library(), path.c_str(), index, &face) != 0)
        return nullptr;
    // Only TrueType outlines (a 'glyf' table): quadratic curves are all the
    // glyph-outline records carry.
    FT_ULong glyfLength = 0;
    if (!FT_IS_SCALABLE(face) || !FT_IS_SFNT(face) || face->units_per_EM == 0
        || FT_Load_Sfnt_Table(face, TTAG_glyf, 0, nullptr, &glyfLength) != 0 || glyfLength == 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    auto file = std::make_shared<FontFile>(face, path, index);
    files.emplace(key, file);
    return file;
}

FT_Face FaceOf(const FontFile& file)
{
    return file.Face();
}

std::string FaceNameRecord(FT_Face face, int nameId)
{
    // Windows' own records in US English first, then any Windows record,
    // then a Macintosh Roman one.
    int best = -1, bestRank = 0;
    FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    FT_SfntName name;
    for (FT_UInt i = 0; i < count; ++i) {
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != nameId)
            continue;
        int rank = 0;
        if (name.platform_id == 3 && (name.encoding_id == 1 || name.encoding_id == 0))
            rank = name.language_id == 0x409 ? 3 : 2;
        else if (name.platform_id == 1 && name.encoding_id == 0)
            rank = 1;
        if (rank > bestRank) {
            best = int(i);
            bestRank = rank;
        }
    }
    if (best < 0 || FT_Get_Sfnt_Name(face, FT_UInt(best), &name) != 0)
        return std::string();
    std::string text;
    if (bestRank >= 2) {
        std::u16string utf16;
        for (FT_UInt i = 0; i + 1 < name.string_len; i += 2)
            utf16 += char16_t((name.string[i] << 8) | name.string[i + 1]);
        text = Utf16To1252(utf16);
    } else {
        // Mac Roman agrees with 1252 on ASCII; the rest is rare in names.
        for (FT_UInt i = 0; i < name.string_len; ++i)
            text += name.string[i] < 0x80 ? char(name.string[i]) : '?';
    }
    return text;
}

std::string LegacyFamilyName(FT_Face face)
{
    std::string name = FaceNameRecord(face, 1);
    if (name.empty() && face->family_name)
        name = face->family_name;
    return name;
}

std::string LegacyStyleName(FT_Face face)
{
    std::string name = FaceNameRecord(face, 2);
    if (name.empty() && face->style_name)
        name = face->style_name;
    return name;
}

namespace {

bool SameName(const char* a, const char* b)
{
    return strcasecmp(a, b) == 0;
}

// Faces the program names that are not installed here, and what stands in
// for them. The metric-compatible faces keep line breaks where the program
// expects them; GetTextFace keeps answering the name the program asked for.
//
// A substitute for a bitmap face keeps the cell of the face it replaces, in
// 1/2048 em: dialogs lay themselves out in units of that cell's height, and
// the raster face's 11-pixel em sat in a 13-pixel cell (11 above the
// baseline, 2 below) where the stand-in's own metrics give only 12.
struct Substitute {
    const char* name;
    const char* family; // null: only the generic family
    const char* generic;
    int cellAscent = 0; // 0: the stand-in's own cell
    int cellDescent = 0;
    // The face is an outline face where programs come from, so font lists
    // show it by its own name (beside its stand-in's).
    bool listed = false;
};

constexpr Substitute kSubstitutes[] = {
    {"Arial", "Liberation Sans", "sans-serif", 0, 0, true},
    {"MS Sans Serif", "Liberation Sans", "sans-serif", 2048, 373},
    {"System", "Liberation Sans", "sans-serif"},
    {"Times New Roman", "Liberation Serif", "serif", 0, 0, true},
    {"Courier New", "Liberation Mono", "monospace", 0, 0, true},
    {"KQ Clearly Roman", nullptr, "serif"},
};

const Substitute* FindSubstitute(const char* name)
{
    for (const Substitute& s : kSubstitutes) {
        if (SameName(s.name, name))
            return &s;
    }
    return nullptr;
}

const char* GenericFor(BYTE pitchAndFamily)
{
    if ((pitchAndFamily & 0x03) == FIXED_PITCH)
        return "monospace";
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN:
        return "serif";
    case FF_MODERN:
        return "monospace";
    case FF_SCRIPT:
        return "cursive";
    case FF_DECORATIVE:
        return "fantasy";
    default:
        return "sans-serif";
    }
}

// An empty face name picks the usual face of the family.
const char* DefaultFamilyFor(BYTE pitchAndFamily)
{
    if ((pitchAndFamily & 0x03) == FIXED_PITCH)
        return "Liberation Mono";
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN:
        return "Liberation Serif";
    case FF_MODERN:
        return "Liberation Mono";
    case FF_SCRIPT:
    case FF_DECORATIVE:
        return nullptr;
    default:
        return "Liberation Sans";
    }
}

std::string PatternString(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value)
        return std::string();
    return reinterpret_cast<const char*>(value);
}

// A pattern of the families (in order of preference) and the style asked
// for, with fontconfig's configuration applied; the caller destroys it.
FcPattern* ConfiguredPattern(const std::vector<std::string>& families, int weight, bool italic, bool fixedPitch)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return nullptr;
    for (const std::string& family : families)
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    if (fixedPitch)
        FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    return pattern;
}

// The family list of a configured pattern with its bindings, the name that
// was asked for blanked out where it stands as asked (bound strongly), so
// that the lists of two names compare equal when the configuration treated
// them alike.
std::vector<std::pair<std::string, FcValueBinding>> ConfiguredFamilies(FcPattern* pattern, const std::string& asked)
{
    std::vector<std::pair<std::string, FcValueBinding>> list;
    FcValue value;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
        std::string family = value.type == FcTypeString ? reinterpret_cast<const char*>(value.u.s) : "";
        if (binding == FcValueBindingStrong && SameName(family.c_str(), asked.c_str()))
            family.clear();
        list.emplace_back(std::move(family), binding);
    }
    return list;
}

bool IsInstalledFamily(const std::string& family)
{
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = nullptr;
    if (pattern && objects) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        set = FcFontList(nullptr, pattern, objects);
    }
    const bool installed = set && set->nfont > 0;
    if (set)
        FcFontSetDestroy(set);
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    return installed;
}

// The configured pattern of a name alone when the name gives a face of its
// own: an installed family, or one that fontconfig's configuration maps
// somewhere (metric-compatible faces, or a class such as serif or
// monospace) beyond what it does with any unknown name. Null otherwise.
//
// A fixed pitch asked for is left out: the configuration answers it by
// putting every monospace face ahead of the name, and a name that gives a
// face is drawn in that face whatever pitch the font asks for.
FcPattern* PatternOfKnownName(const std::string& name, int weight, bool italic)
{
    FcPattern* pattern = ConfiguredPattern({name}, weight, italic, false);
    if (!pattern || IsInstalledFamily(name))
        return pattern;
    static const std::string kUnknown = "Threadwick Unmatched Family";
    FcPattern* unknown = ConfiguredPattern({kUnknown}, weight, italic, false);
    const bool known = !unknown || ConfiguredFamilies(pattern, name) != ConfiguredFamilies(unknown, kUnknown);
    if (unknown)
        FcPatternDestroy(unknown);
    if (known)
        return pattern;
    FcPatternDestroy(pattern);
    return nullptr;
}

// The face for the first family, and its weight and slant: the first
// TrueType face we can open in fontconfig's sorted list for that name. The
// families after it (a generic family from the font's pitch and family)
// count only when the first gives nothing; put beside it in one pattern
// they would outrank the faces the configuration binds weakly to the name,
// its metric-compatible faces among them.
std::shared_ptr<FontFile> MatchFace(const std::vector<std::string>& families, int weight, bool italic, bool fixedPitch)
{
    std::shared_ptr<FontFile> result;
    if (families.empty() || !FcInit())
        return result;
    FcPattern* pattern = families.size() > 1 ? PatternOfKnownName(families.front(), weight, italic) : nullptr;
    if (!pattern)
        pattern = ConfiguredPattern(families, weight, italic, fixedPitch);
    if (!pattern)
        return result;
    FcDefaultSubstitute(pattern);
    FcResult fcResult = FcResultNoMatch;
    FcFontSet* set = FcFontSort(nullptr, pattern, FcFalse, nullptr, &fcResult);
    if (set) {
        // Formats other than TrueType (CFF, Type 1) are passed over, so a
        // name the configuration sends to such a face first reaches the
        // next one it names.
        for (int i = 0; i < set->nfont && !result; ++i) {
            FcPattern* font = set->fonts[i];
            if (PatternString(font, FC_FONTFORMAT) != "TrueType")
                continue;
            std::string path = PatternString(font, FC_FILE);
            int index = 0;
            FcPatternGetInteger(font, FC_INDEX, 0, &index);
            if (path.empty() || (index >> 16) != 0)
                continue;
            result = OpenFontFile(path, index);
        }
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(pattern);
    return result;
}

std::map<std::string, std::shared_ptr<FontFile>>& ResolvedFiles()
{
    static std::map<std::string, std::shared_ptr<FontFile>> cache;
    return cache;
}

// Matching is slow next to creating a font, and the program makes fonts
// all the time (every zoom, every drawing): answers are kept.
const std::shared_ptr<FontFile>& ResolveCached(const std::vector<std::string>& families, int weight, bool italic,
    bool fixedPitch)
{
    std::map<std::string, std::shared_ptr<FontFile>>& cache = ResolvedFiles();
    std::string key;
    for (const std::string& f : families) {
        for (char c : f)
            key += char(std::tolower(static_cast<unsigned char>(c)));
        key += '\n';
    }
    key += std::to_string(weight) + (italic ? "i" : "r") + (fixedPitch ? "m" : "p");
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, MatchFace(families, weight, italic, fixedPitch)).first;
    return it->second;
}

int FaceWeight(FT_Face face)
{
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWeightClass >= 1 && os2->usWeightClass <= 1000)
        return os2->usWeightClass;
    return (face->style_flags & FT_STYLE_FLAG_BOLD) ? FW_BOLD : FW_NORMAL;
}

// The GDI family of a face, from its PANOSE classification.
BYTE FaceFamily(FT_Face face, BYTE requested)
{
    if (FT_IS_FIXED_WIDTH(face))
        return FF_MODERN;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        const FT_Byte* panose = os2->panose;
        switch (panose[0]) {
        case 2: // Latin text
            if (panose[3] == 9)
                return FF_MODERN;
            if (panose[1] >= 11 && panose[1] <= 13)
                return FF_SWISS;
            if (panose[1] >= 2 && panose[1] <= 10)
                return FF_ROMAN;
            break;
        case 3:
            return FF_SCRIPT;
        case 4:
        case 5:
            return FF_DECORATIVE;
        default:
            break;
        }
    }
    return BYTE(requested & 0xF0);
}

bool HasUnicodeCmap(FT_Face face)
{
    for (int i = 0; i < face->num_charmaps; ++i) {
        if (face->charmaps[i]->encoding == FT_ENCODING_UNICODE)
            return true;
    }
    return false;
}

bool SelectSymbolCmap(FT_Face face)
{
    return FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0;
}

long Round26_6(double v)
{
    return std::lround(v * 64.0);
}

int ScaleRounded(long designUnits, int ppem, int upem)
{
    return int(std::lround(double(designUnits) * ppem / upem));
}

} // namespace

std::vector<std::pair<std::string, std::string>> ListedStandIns()
{
    std::vector<std::pair<std::string, std::string>> standIns;
    for (const Substitute& s : kSubstitutes) {
        if (s.listed && s.family != nullptr)
            standIns.emplace_back(s.name, s.family);
    }
    return standIns;
}

SizedFont::~SizedFont()
{
    if (size)
        FT_Done_Size(size);
}

FontFace::~FontFace() = default;

std::vector<BYTE> FaceCharsets(FT_Face face)
{
    // Code-page range bits and the charset each stands for.
    static constexpr std::pair<int, BYTE> kRanges[] = {
        {0, ANSI_CHARSET}, {1, EASTEUROPE_CHARSET}, {2, RUSSIAN_CHARSET}, {3, GREEK_CHARSET},
        {4, TURKISH_CHARSET}, {5, HEBREW_CHARSET}, {6, ARABIC_CHARSET}, {7, BALTIC_CHARSET},
        {8, VIETNAMESE_CHARSET}, {16, THAI_CHARSET}, {17, SHIFTJIS_CHARSET}, {18, GB2312_CHARSET},
        {19, HANGUL_CHARSET}, {20, CHINESEBIG5_CHARSET}, {21, JOHAB_CHARSET}, {31, SYMBOL_CHARSET},
    };
    std::vector<BYTE> sets;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->version >= 1) {
        for (const auto& [bit, charset] : kRanges) {
            if (os2->ulCodePageRange1 & (1ul << bit))
                sets.push_back(charset);
        }
    }
    if (sets.empty())
        sets.push_back(!HasUnicodeCmap(face) && face->num_charmaps > 0 ? BYTE(SYMBOL_CHARSET) : BYTE(ANSI_CHARSET));
    return sets;
}

void DescribeFace(FontFace& face)
{
    const LOGFONT& lf = face.log;
    int weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp<LONG>(lf.lfWeight, 1, 1000);
    bool italic = lf.lfItalic != 0;
    if (!face.file) {
        face.weight = weight;
        face.pitchAndFamily = BYTE((lf.lfPitchAndFamily & 0xF0) | TMPF_FIXED_PITCH);
        return;
    }
    FT_Face ft = face.file->Face();
    int faceWeight = FaceWeight(ft);
    face.syntheticBold = weight >= FW_SEMIBOLD && faceWeight < FW_SEMIBOLD;
    face.weight = face.syntheticBold ? FW_BOLD : faceWeight;
    face.syntheticItalic = italic && !(ft->style_flags & FT_STYLE_FLAG_ITALIC);
    face.symbolCmap = !HasUnicodeCmap(ft) && SelectSymbolCmap(ft);
    if (!face.symbolCmap)
        FT_Select_Charmap(ft, FT_ENCODING_UNICODE);
    // The face that stands in for "Symbol" here has only a Unicode map, while
    // text set in Symbol (formulas in metafiles, mostly) holds the bytes of
    // the Symbol encoding: 'D' is a capital delta.
    char requested[LF_FACESIZE + 1] = {};
    std::memcpy(requested, lf.lfFaceName, LF_FACESIZE);
    face.symbolEncoding = !face.symbolCmap && SameName(requested, "Symbol");
    std::vector<BYTE> sets = FaceCharsets(ft);
    if (face.symbolCmap)
        face.charSet = SYMBOL_CHARSET;
    else if (std::find(sets.begin(), sets.end(), lf.lfCharSet) != sets.end())
        face.charSet = lf.lfCharSet;
    else
        face.charSet = sets.front() == SYMBOL_CHARSET ? BYTE(ANSI_CHARSET) : sets.front();
    // The low bits say "variable pitch" (sic), vector and TrueType.
    BYTE pitch = FT_IS_FIXED_WIDTH(ft) ? 0 : TMPF_FIXED_PITCH;
    face.pitchAndFamily = BYTE(FaceFamily(ft, lf.lfPitchAndFamily) | pitch | TMPF_VECTOR | TMPF_TRUETYPE);
}

namespace {

// Fonts made from equal records share one face: a face keeps the glyph
// metrics it measured at each size, and the program makes a new font for
// nearly every drawing (each calendar cell, each zoom), which would load
// and measure every glyph again. The key is the record with the bytes
// after the face name's end cleared, as nothing reads them. Past the
// bound the table starts afresh; fonts keep the faces they hold.
constexpr size_t kMaxSharedFaces = 256;

std::string FaceKey(const LOGFONT& lf)
{
    LOGFONT key = lf;
    const size_t nameLength = strnlen(key.lfFaceName, LF_FACESIZE);
    std::memset(key.lfFaceName + nameLength, 0, LF_FACESIZE - nameLength);
    return std::string(reinterpret_cast<const char*>(&key), sizeof key);
}

std::map<std::string, std::shared_ptr<FontFace>>& SharedFaces()
{
    static std::map<std::string, std::shared_ptr<FontFace>> faces;
    return faces;
}

} // namespace

FontFace& RealiseFontFace(FontObject& font)
{
    if (font.face)
        return *font.face;
    std::map<std::string, std::shared_ptr<FontFace>>& shared = SharedFaces();
    std::string key = FaceKey(font.log);
    if (auto it = shared.find(key); it != shared.end()) {
        font.face = it->second;
        return *font.face;
    }
    auto face = std::make_shared<FontFace>();
    face->log = font.log;
    const LOGFONT& lf = font.log;
    char requested[LF_FACESIZE + 1] = {};
    std::memcpy(requested, lf.lfFaceName, LF_FACESIZE);

    int weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp<LONG>(lf.lfWeight, 1, 1000);
    bool italic = lf.lfItalic != 0;
    bool fixedPitch = (lf.lfPitchAndFamily & 0x03) == FIXED_PITCH;

    std::vector<std::string> families;
    const Substitute* substitute = requested[0] ? FindSubstitute(requested) : nullptr;
    if (substitute) {
        if (substitute->family)
            families.push_back(substitute->family);
        families.push_back(substitute->generic);
    } else if (requested[0]) {
        families.push_back(requested);
        families.push_back(GenericFor(lf.lfPitchAndFamily));
    } else {
        if (const char* family = DefaultFamilyFor(lf.lfPitchAndFamily))
            families.push_back(family);
        families.push_back(GenericFor(lf.lfPitchAndFamily));
    }
    face->file = ResolveCached(families, weight, italic, fixedPitch);
    if (face->file) {
        face->familyName = LegacyFamilyName(face->file->Face());
        face->styleName = LegacyStyleName(face->file->Face());
    }
    face->faceName = substitute ? substitute->name : face->familyName;
    if (substitute && substitute->cellAscent > 0) {
        face->cellAscent = substitute->cellAscent;
        face->cellDescent = substitute->cellDescent;
    }
    if (face->faceName.size() >= LF_FACESIZE)
        face->faceName.resize(LF_FACESIZE - 1);

    DescribeFace(*face);
    font.face = face;
    if (shared.size() >= kMaxSharedFaces)
        shared.clear();
    shared.emplace(std::move(key), std::move(face));
    return *font.face;
}

FT_Face ActivateSize(FontFace& face, SizedFont& sized)
{
    if (!face.file || !sized.size)
        return nullptr;
    FT_Activate_Size(sized.size);
    return face.file->Face();
}

unsigned GlyphIndexOf(const FontFace& face, char32_t codePoint)
{
    if (!face.file)
        return 0;
    FT_Face ft = face.file->Face();
    if (face.symbolCmap) {
        // Symbol fonts map their characters at U+F0xx; some at the byte itself.
        unsigned index = codePoint <= 0xFF ? FT_Get_Char_Index(ft, 0xF000 + codePoint) : 0;
        return index ? index : FT_Get_Char_Index(ft, codePoint);
    }
    return FT_Get_Char_Index(ft, codePoint);
}

SizedFont* SizeFontFace(FontFace& face, int deviceHeight, int deviceWidth, int logPixelsY)
{
    if (!face.file)
        return nullptr;
    FT_Face ft = face.file->Face();
    const int upem = ft->units_per_EM;
    // The tables live as long as the face they were read from.
    if (face.tablesOf != ft) {
        face.os2Table = FT_Get_Sfnt_Table(ft, FT_SFNT_OS2);
        face.hheaTable = FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA);
        face.postTable = FT_Get_Sfnt_Table(ft, FT_SFNT_POST);
        face.tablesOf = ft;
    }
    auto* os2 = static_cast<const TT_OS2*>(face.os2Table);
    auto* hhea = static_cast<const TT_HoriHeader*>(face.hheaTable);
    auto* post = static_cast<const TT_Postscript*>(face.postTable);
    bool hasOs2 = os2 && os2->version != 0xFFFF;

    // GDI's cell is the Windows ascent plus descent; fonts without them fall
    // back to the horizontal header.
    long winAscent = hasOs2 ? os2->usWinAscent : (hhea ? hhea->Ascender : ft->ascender);
    long winDescent = hasOs2 ? os2->usWinDescent : (hhea ? -hhea->Descender : -ft->descender);
    if (winAscent + winDescent <= 0) {
        winAscent = ft->ascender;
        winDescent = -ft->descender;
    }
    if (face.cellAscent > 0) {
        winAscent = long(face.cellAscent) * upem / 2048;
        winDescent = long(face.cellDescent) * upem / 2048;
    }
    long cell = std::max<long>(1, winAscent + winDescent);

    int ppem;
    if (deviceHeight == 0)
        ppem = MulDiv(12, logPixelsY > 0 ? logPixelsY : 96, 72);
    else if (deviceHeight < 0)
        ppem = deviceHeight == INT_MIN ? kMaxPpem : -deviceHeight;
    else
        ppem = int(std::lround(double(deviceHeight) * upem / cell));
    ppem = std::clamp(ppem, 1, kMaxPpem);

    long avgWidth = hasOs2 ? os2->xAvgCharWidth : 0;
    long xScale = long(ppem) * 64;
    if (deviceWidth != 0 && avgWidth > 0) {
        double w = std::abs(double(deviceWidth));
        xScale = std::clamp<long>(Round26_6(w * upem / double(avgWidth)), 64, long(kMaxPpem) * 64);
    }

    auto key = std::make_pair(ppem, xScale);
    auto it = face.sizes.find(key);
    if (it != face.sizes.end())
        return it->second.get();

    auto sized = std::make_unique<SizedFont>();
    if (FT_New_Size(ft, &sized->size) != 0) {
        sized->size = nullptr;
        return nullptr;
    }
    FT_Activate_Size(sized->size);
    if (FT_Set_Char_Size(ft, xScale, FT_F26Dot6(ppem) * 64, 72, 72) != 0)
        return nullptr;
    sized->ppem = ppem;
    sized->xScale26_6 = xScale;

    double xPpem = xScale / 64.0;
    TEXTMETRIC& tm = sized->tm;
    tm.tmAscent = ScaleRounded(winAscent, ppem, upem);
    tm.tmDescent = ScaleRounded(winDescent, ppem, upem);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - ppem);
    if (hhea) {
        // The line gap that the Windows metrics do not already hold.
        long hheaHeight = hhea->Ascender - hhea->Descender;
        long gap = std::max<long>(0, hhea->Line_Gap - (cell - hheaHeight));
        tm.tmExternalLeading = ScaleRounded(gap, ppem, upem);
    }
    tm.tmAveCharWidth = avgWidth > 0 ? LONG(std::lround(avgWidth * xPpem / upem)) : 0;
    tm.tmMaxCharWidth = LONG(std::lround(ft->max_advance_width * xPpem / upem));
    tm.tmWeight = face.weight;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = logPixelsY > 0 ? logPixelsY : 96;
    tm.tmDigitizedAspectY = tm.tmDigitizedAspectX;
    if (face.symbolCmap) {
        tm.tmFirstChar = 0x20;
        tm.tmLastChar = 0xFF;
        tm.tmDefaultChar = 0x1F;
        tm.tmBreakChar = 0x20;
    } else {
        tm.tmFirstChar = 0x1E;
        tm.tmLastChar = 0xFF;
        tm.tmDefaultChar = 0x1F;
        tm.tmBreakChar = 0x20;
    }
    tm.tmItalic = face.log.lfItalic ? 255 : 0;
    tm.tmUnderlined = face.log.lfUnderline ? 255 : 0;
    tm.tmStruckOut = face.log.lfStrikeOut ? 255 : 0;
    tm.tmPitchAndFamily = face.pitchAndFamily;
    tm.tmCharSet = face.charSet;

    if (post && post->underlineThickness > 0) {
        sized->underlinePosition = ScaleRounded(post->underlinePosition, ppem, upem);
        sized->underlineThickness = std::max(1, ScaleRounded(post->underlineThickness, ppem, upem));
    } else {
        sized->underlinePosition = -std::max(1, tm.tmDescent / 2);
        sized->underlineThickness = std::max(1, ppem / 14);
    }
    if (hasOs2 && os2->yStrikeoutSize > 0) {
        sized->strikeoutPosition = ScaleRounded(os2->yStrikeoutPosition, ppem, upem);
        sized->strikeoutThickness = std::max(1, ScaleRounded(os2->yStrikeoutSize, ppem, upem));
    } else {
        sized->strikeoutPosition = tm.tmAscent / 3;
        sized->strikeoutThickness = sized->underlineThickness;
    }
    SizedFont* result = sized.get();
    face.sizes.emplace(key, std::move(sized));
    return result;
}

namespace {

// A length scaled by to / from, keeping its sign whatever the signs of the
// extents; unscaled when `from` is zero.
int ScaleLength(int length, LONG to, LONG from)
{
    if (from == 0)
        return length;
    double v = std::abs(double(length) * to / from);
    long r = std::lround(std::min(v, 1e9));
    return int(length < 0 ? -r : r);
}

} // namespace

int DeviceLengthX(const DeviceContext& dc, int logical)
{
    return ScaleLength(logical, dc.state.viewportExt.cx, dc.state.windowExt.cx);
}

int DeviceLengthY(const DeviceContext& dc, int logical)
{
    return ScaleLength(logical, dc.state.viewportExt.cy, dc.state.windowExt.cy);
}

int LogicalLengthX(const DeviceContext& dc, int device)
{
    return ScaleLength(device, dc.state.windowExt.cx, dc.state.viewportExt.cx);
}

int LogicalLengthY(const DeviceContext& dc, int device)
{
    return ScaleLength(device, dc.state.windowExt.cy, dc.state.viewportExt.cy);
}

SizedFont* SizedFontForDc(const DeviceContext& dc)
{
    FontObject& font = CurrentFont(dc);
    FontFace& face = RealiseFontFace(font);
    int height = font.log.lfHeight == 0 ? 0 : DeviceLengthY(dc, font.log.lfHeight);
    // A height that maps to less than a pixel keeps its sign and becomes one.
    if (height == 0 && font.log.lfHeight != 0)
        height = font.log.lfHeight < 0 ? -1 : 1;
    int width = font.log.lfWidth == 0 ? 0 : std::max(1, std::abs(DeviceLengthX(dc, font.log.lfWidth)));
    return SizeFontFace(face, height, width, dc.caps.logPixelsY);
}

int EmboldenPixels(const FontFace& face, const SizedFont& sized)
{
    return face.syntheticBold ? std::max(1, sized.ppem / 24) : 0;
}

FT_GlyphSlot LoadGlyphOutline(FontFace& face, SizedFont& sized, unsigned glyphIndex, bool hinted,
    const GlyphTransform* transform)
{
    FT_Face ft = ActivateSize(face, sized);
    FT_Int32 flags = FT_LOAD_NO_BITMAP | (hinted ? FT_LOAD_TARGET_MONO : FT_LOAD_NO_HINTING);
    if (!ft || FT_Load_Glyph(ft, glyphIndex, flags) != 0)
        return nullptr;
    FT_GlyphSlot slot = ft->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return nullptr;
    if (slot->outline.n_points == 0)
        return slot;
    if (int embolden = EmboldenPixels(face, sized))
        FT_Outline_EmboldenXY(&slot->outline, embolden * 64, 0);
    if (face.syntheticItalic) {
        // About 12 degrees, the slant of most italics.
        FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
    if (transform && !transform->IsIdentity()) {
        auto fixed = [](double v) { return FT_Fixed(std::lround(std::clamp(v, -32767.0, 32767.0) * 65536.0)); };
        FT_Matrix m{fixed(transform->xx), fixed(transform->xy), fixed(transform->yx), fixed(transform->yy)};
        FT_Outline_Transform(&slot->outline, &m);
    }
    return slot;
}

namespace {

void MeasureGlyph(FontFace& face, SizedFont& sized, CharMetrics& m)
{
    m.loaded = true;
    FT_GlyphSlot slot = LoadGlyphOutline(face, sized, m.glyphIndex, true, nullptr);
    if (!slot) {
        m.abc = ABC{0, 0, 0};
        return;
    }
    m.advance = int((slot->advance.x + 32) >> 6) + EmboldenPixels(face, sized);
    if (slot->outline.n_points == 0) {
        // A blank: GDI still reports a black box one pixel wide.
        m.abc = ABC{0, 1, m.advance - 1};
        return;
    }
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    int left = int(box.xMin >> 6);
    int right = int((box.xMax + 63) >> 6);
    m.abc.abcA = left;
    m.abc.abcB = UINT(std::max(1, right - left));
    m.abc.abcC = m.advance - left - int(m.abc.abcB);
}

// The Symbol encoding's characters as Unicode code points; 0 where the
// encoding has none (the byte is then looked up as it stands).
constexpr char16_t kSymbolHigh[0x5F] = {
    // 0xA0..0xBF
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191,
    0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248,
    0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0..0xDF
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286,
    0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4,
    0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0..0xFE
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8,
    0x23A9, 0x23AA, 0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6,
    0x23AB, 0x23AC, 0x23AD};
// 0x40..0x7F: the Greek letters and the signs among them.
constexpr char16_t kSymbolLetters[0x40] = {
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C,
    0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B,
    0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9,
    0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0x007F};

char32_t CodePointFromSymbol(unsigned char ch)
{
    switch (ch) {
    case 0x22: return 0x2200;
    case 0x24: return 0x2203;
    case 0x27: return 0x220B;
    case 0x2A: return 0x2217;
    case 0x2D: return 0x2212;
    default: break;
    }
    if (ch >= 0x40 && ch < 0x80)
        return kSymbolLetters[ch - 0x40];
    if (ch >= 0xA0 && ch < 0xFF && kSymbolHigh[ch - 0xA0] != 0)
        return kSymbolHigh[ch - 0xA0];
    return ch;
}

} // namespace

const CharMetrics& CharMetricsOf(FontFace& face, SizedFont& sized, unsigned char ch)
{
    CharMetrics& m = sized.chars[ch];
    if (!m.loaded) {
        m.glyphIndex = GlyphIndexOf(face, face.symbolCmap ? char32_t(ch)
                : face.symbolEncoding                     ? CodePointFromSymbol(ch)
                                                          : CodePointFrom1252(ch));
        MeasureGlyph(face, sized, m);
    }
    return m;
}

const CharMetrics& GlyphMetricsOf(FontFace& face, SizedFont& sized, unsigned glyphIndex)
{
    CharMetrics& m = sized.glyphs[glyphIndex];
    if (!m.loaded) {
        m.glyphIndex = glyphIndex;
        MeasureGlyph(face, sized, m);
    }
    return m;
}

} // namespace platform

using namespace platform;

// ---- Creating fonts ---------------------------------------------------------------

HFONT CreateFontIndirect(const LOGFONT* lplf)
{
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    auto font = std::make_unique<FontObject>();
    font->log = *lplf;
    // The face name need not be terminated in the caller's record.
    font->log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return (HFONT)AddGdiObject(std::move(font));
}

HFONT CreateFont(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
    DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
    DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    LOGFONT lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = BYTE(bItalic);
    lf.lfUnderline = BYTE(bUnderline);
    lf.lfStrikeOut = BYTE(bStrikeOut);
    lf.lfCharSet = BYTE(iCharSet);
    lf.lfOutPrecision = BYTE(iOutPrecision);
    lf.lfClipPrecision = BYTE(iClipPrecision);
    lf.lfQuality = BYTE(iQuality);
    lf.lfPitchAndFamily = BYTE(iPitchAndFamily);
    if (pszFaceName)
        std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

int AddFontResourceEx(LPCSTR name, DWORD fl, void* res)
{
    if (!name || res || (fl & ~DWORD(FR_PRIVATE | FR_NOT_ENUM)) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path = HostPathForReading(name);
    if (path.empty() || !OpenFontFile(path, 0) || !FcInit()
        || !FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str()))) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    // Names that fell back to another face before may now find this one.
    ResolvedFiles().clear();
    SharedFaces().clear();
    return 1;
}

int GetTextFace(HDC hdc, int c, LPSTR lpName)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    const std::string& name = RealiseFontFace(CurrentFont(*dc)).faceName;
    int length = int(name.size());
    if (!lpName)
        return length + 1;
    if (c <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int n = std::min(length, c - 1);
    std::memcpy(lpName, name.data(), size_t(n));
    lpName[n] = '\0';
    return n + 1;
}

// ---- The class library --------------------------------------------------------------

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont)
{
    return Attach(::CreateFontIndirect(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
    BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return Attach(::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
        nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    if (lpszFaceName)
        std::strncpy(lf.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    if (!lpLogFont)
        return FALSE;
    HDC hdc = pDC ? pDC->m_hAttribDC : ::GetDC(NULL);
    if (!hdc)
        return FALSE;
    LOGFONT lf = *lpLogFont;
    // Tenths of a point to device pixels, then to the DC's logical units,
    // measured from the logical origin so that only the scale counts.
    POINT pt{0, MulDiv(::GetDeviceCaps(hdc, LOGPIXELSY), lf.lfHeight, 720)};
    ::DPtoLP(hdc, &pt, 1);
    POINT origin{0, 0};
    ::DPtoLP(hdc, &origin, 1);
    lf.lfHeight = -std::abs(pt.y - origin.y);
    if (!pDC)
        ::ReleaseDC(NULL, hdc);
    return CreateFontIndirect(&lf);
}

int CDC::GetTextFace(CString& rString) const
{
    int needed = ::GetTextFace(m_hAttribDC, 0, NULL);
    if (needed <= 0) {
        rString.Empty();
        return 0;
    }
    int n = ::GetTextFace(m_hAttribDC, needed, rString.GetBuffer(needed));
    rString.ReleaseBuffer();
    return n;
}
