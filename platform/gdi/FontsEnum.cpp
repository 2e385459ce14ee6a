// Font enumeration: the installed scalable TrueType faces (quadratic
// outlines only, so that every face offered has glyph outlines the text
// code can use), grouped into families by their Windows family name, with
// the records EnumFontFamilies and EnumFontFamiliesEx hand to the callback.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace platform {

namespace {

struct InstalledFace {
    std::shared_ptr<FontFile> file;
    std::string family;
    std::string style;
};

struct Family {
    std::string name;
    std::vector<InstalledFace> faces;
};

// The installed faces, read from fontconfig on each enumeration (fonts may
// be added while the program runs) and sorted by family name.
std::vector<Family> InstalledFamilies()
{
    std::vector<Family> families;
    if (!FcInit())
        return families;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FONTFORMAT, FC_VARIABLE, nullptr);
    if (!pattern || !objects) {
        if (pattern)
            FcPatternDestroy(pattern);
        if (objects)
            FcObjectSetDestroy(objects);
        return families;
    }
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::vector<std::pair<std::string, int>> files;
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* font = set->fonts[i];
            FcChar8* format = nullptr;
            FcChar8* file = nullptr;
            int index = 0;
            FcBool variable = FcFalse;
            FcPatternGetBool(font, FC_VARIABLE, 0, &variable);
            if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch
                || std::strcmp(reinterpret_cast<const char*>(format), "TrueType") != 0
                || FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || variable)
                continue;
            FcPatternGetInteger(font, FC_INDEX, 0, &index);
            if ((index >> 16) == 0)
                files.emplace_back(reinterpret_cast<const char*>(file), index);
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);

    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    for (const auto& [path, index] : files) {
        std::shared_ptr<FontFile> file = OpenFontFile(path, index);
        if (!file)
            continue;
        InstalledFace face{file, LegacyFamilyName(FaceOf(*file)), LegacyStyleName(FaceOf(*file))};
        if (face.family.empty())
            continue;
        if (face.family.size() >= LF_FACESIZE)
            face.family.resize(LF_FACESIZE - 1);
        auto it = std::find_if(families.begin(), families.end(),
            [&](const Family& f) { return strcasecmp(f.name.c_str(), face.family.c_str()) == 0; });
        if (it == families.end()) {
            families.push_back(Family{face.family, {}});
            it = families.end() - 1;
        }
        it->faces.push_back(std::move(face));
    }
    // The standard faces programs ask for by name are listed too, with
    // the faces of their installed stand-ins, so that a face a program
    // offers by default can also be found in its own font list.
    for (const auto& [name, standIn] : ListedStandIns()) {
        auto named = [&](const std::string& want) {
            return std::find_if(families.begin(), families.end(),
                [&](const Family& f) { return strcasecmp(f.name.c_str(), want.c_str()) == 0; });
        };
        auto target = named(standIn);
        if (target == families.end() || named(name) != families.end())
            continue;
        Family alias{name, target->faces};
        for (InstalledFace& face : alias.faces)
            face.family = name;
        families.push_back(std::move(alias));
    }
    std::sort(families.begin(), families.end(),
        [](const Family& a, const Family& b) { return strcasecmp(a.name.c_str(), b.name.c_str()) < 0; });
    return families;
}

DWORD StyleFlags(FT_Face face)
{
    DWORD flags = 0;
    if (face->style_flags & FT_STYLE_FLAG_ITALIC)
        flags |= NTM_ITALIC;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    bool bold = (os2 && os2->version != 0xFFFF) ? os2->usWeightClass >= FW_SEMIBOLD
                                                : (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    if (bold)
        flags |= NTM_BOLD;
    if (!flags)
        flags = NTM_REGULAR;
    return flags;
}

const char* ScriptName(BYTE charset)
{
    switch (charset) {
    case ANSI_CHARSET: return "Western";
    case EASTEUROPE_CHARSET: return "Central European";
    case RUSSIAN_CHARSET: return "Cyrillic";
    case GREEK_CHARSET: return "Greek";
    case TURKISH_CHARSET: return "Turkish";
    case HEBREW_CHARSET: return "Hebrew";
    case ARABIC_CHARSET: return "Arabic";
    case BALTIC_CHARSET: return "Baltic";
    case VIETNAMESE_CHARSET: return "Vietnamese";
    case THAI_CHARSET: return "Thai";
    case SHIFTJIS_CHARSET: return "Japanese";
    case GB2312_CHARSET: return "CHINESE_GB2312";
    case HANGUL_CHARSET: return "Hangul";
    case CHINESEBIG5_CHARSET: return "CHINESE_BIG5";
    case JOHAB_CHARSET: return "Hangul(Johab)";
    case SYMBOL_CHARSET: return "Symbol";
    default: return "";
    }
}

void CopyName(BYTE* out, size_t size, const std::string& text)
{
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

// The records of one face: the LOGFONT that selects it at the default size
// of the DC (12 points), and its metrics there.
void DescribeForEnumeration(const InstalledFace& installed, BYTE charset, int logPixelsY, ENUMLOGFONTEX& elf,
    NEWTEXTMETRICEX& ntm)
{
    FT_Face ft = FaceOf(*installed.file);
    DWORD flags = StyleFlags(ft);

    FontFace face;
    face.file = installed.file;
    face.familyName = installed.family;
    face.faceName = installed.family;
    face.styleName = installed.style;
    face.log.lfWeight = (flags & NTM_BOLD) ? FW_BOLD : FW_NORMAL;
    face.log.lfItalic = (flags & NTM_ITALIC) ? 1 : 0;
    face.log.lfCharSet = charset;
    DescribeFace(face);
    SizedFont* sized = SizeFontFace(face, 0, 0, logPixelsY);

    elf = ENUMLOGFONTEX{};
    ntm = NEWTEXTMETRICEX{};
    if (sized) {
        const TEXTMETRIC& tm = sized->tm;
        std::memcpy(&ntm.ntmTm, &tm, sizeof(TEXTMETRIC));
        elf.elfLogFont.lfHeight = tm.tmHeight;
        elf.elfLogFont.lfWidth = tm.tmAveCharWidth;
    }
    ntm.ntmTm.tmItalic = (flags & NTM_ITALIC) ? 255 : 0;
    ntm.ntmTm.tmCharSet = charset;
    ntm.ntmTm.ntmFlags = flags;
    ntm.ntmTm.ntmSizeEM = ft->units_per_EM;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        ntm.ntmTm.ntmCellHeight = UINT(os2->usWinAscent + os2->usWinDescent);
        ntm.ntmTm.ntmAvgWidth = UINT(std::max<int>(0, os2->xAvgCharWidth));
        ntm.ntmFontSig.fsUsb[0] = DWORD(os2->ulUnicodeRange1);
        ntm.ntmFontSig.fsUsb[1] = DWORD(os2->ulUnicodeRange2);
        ntm.ntmFontSig.fsUsb[2] = DWORD(os2->ulUnicodeRange3);
        ntm.ntmFontSig.fsUsb[3] = DWORD(os2->ulUnicodeRange4);
        ntm.ntmFontSig.fsCsb[0] = DWORD(os2->ulCodePageRange1);
        ntm.ntmFontSig.fsCsb[1] = DWORD(os2->ulCodePageRange2);
    } else {
        ntm.ntmTm.ntmCellHeight = UINT(ft->ascender - ft->descender);
    }

    LOGFONT& lf = elf.elfLogFont;
    lf.lfWeight = ntm.ntmTm.tmWeight;
    lf.lfItalic = (flags & NTM_ITALIC) ? 255 : 0;
    lf.lfCharSet = charset;
    lf.lfOutPrecision = OUT_STROKE_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = DRAFT_QUALITY;
    lf.lfPitchAndFamily = BYTE((face.pitchAndFamily & 0xF0) | (FT_IS_FIXED_WIDTH(ft) ? FIXED_PITCH : VARIABLE_PITCH));
    std::strncpy(lf.lfFaceName, installed.family.c_str(), LF_FACESIZE - 1);
    std::string full = installed.family;
    if (!installed.style.empty() && strcasecmp(installed.style.c_str(), "Regular") != 0)
        full += " " + installed.style;
    CopyName(elf.elfFullName, LF_FULLFACESIZE, full);
    CopyName(elf.elfStyle, LF_FACESIZE, installed.style);
    CopyName(elf.elfScript, LF_FACESIZE, ScriptName(charset));
}

// The face a family shows when it is listed once: its regular face, else
// its first.
const InstalledFace& RepresentativeFace(const Family& family)
{
    for (const InstalledFace& face : family.faces) {
        if (StyleFlags(FaceOf(*face.file)) == NTM_REGULAR)
            return face;
    }
    return family.faces.front();
}

BYTE PreferredCharset(FT_Face face)
{
    std::vector<BYTE> sets = FaceCharsets(face);
    return std::find(sets.begin(), sets.end(), BYTE(ANSI_CHARSET)) != sets.end() ? BYTE(ANSI_CHARSET) : sets.front();
}

int LogPixelsY(HDC hdc)
{
    DeviceContext* dc = hdc ? LookupDc(hdc) : nullptr;
    return dc ? dc->caps.logPixelsY : ScreenCaps().logPixelsY;
}

} // namespace

} // namespace platform

using namespace platform;

// Without a family name each family is listed once; with one, each face of
// that family. Returns what the last callback returned (1 when none ran).
int EnumFontFamilies(HDC hdc, LPCSTR lpLogfont, FONTENUMPROC lpProc, LPARAM lParam)
{
    if (!lpProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (hdc && !LookupDc(hdc))
        return 0;
    int dpi = LogPixelsY(hdc);
    int result = 1;
    for (const Family& family : InstalledFamilies()) {
        std::vector<const InstalledFace*> faces;
        if (!lpLogfont || !*lpLogfont)
            faces.push_back(&RepresentativeFace(family));
        else if (strcasecmp(family.name.c_str(), lpLogfont) == 0)
            for (const InstalledFace& face : family.faces)
                faces.push_back(&face);
        for (const InstalledFace* face : faces) {
            ENUMLOGFONTEX elf;
            NEWTEXTMETRICEX ntm;
            DescribeForEnumeration(*face, PreferredCharset(FaceOf(*face->file)), dpi, elf, ntm);
            result = lpProc(&elf.elfLogFont, reinterpret_cast<const TEXTMETRIC*>(&ntm.ntmTm), TRUETYPE_FONTTYPE, lParam);
            if (result == 0)
                return 0;
        }
    }
    return result;
}

// lfCharSet DEFAULT_CHARSET lists every charset of each face, another value
// only faces that have it; an empty face name lists each family once per
// charset, a name every face of that family.
int EnumFontFamiliesEx(HDC hdc, LPLOGFONT lpLogfont, FONTENUMPROC lpProc, LPARAM lParam, DWORD)
{
    if (!lpLogfont || !lpProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (hdc && !LookupDc(hdc))
        return 0;
    int dpi = LogPixelsY(hdc);
    char name[LF_FACESIZE + 1] = {};
    std::memcpy(name, lpLogfont->lfFaceName, LF_FACESIZE);
    int result = 1;
    for (const Family& family : InstalledFamilies()) {
        std::vector<const InstalledFace*> faces;
        if (!name[0])
            faces.push_back(&RepresentativeFace(family));
        else if (strcasecmp(family.name.c_str(), name) == 0)
            for (const InstalledFace& face : family.faces)
                faces.push_back(&face);
        for (const InstalledFace* face : faces) {
            for (BYTE charset : FaceCharsets(FaceOf(*face->file))) {
                if (lpLogfont->lfCharSet != DEFAULT_CHARSET && charset != lpLogfont->lfCharSet)
                    continue;
                ENUMLOGFONTEX elf;
                NEWTEXTMETRICEX ntm;
                DescribeForEnumeration(*face, charset, dpi, elf, ntm);
                result = lpProc(&elf.elfLogFont, reinterpret_cast<const TEXTMETRIC*>(&ntm), TRUETYPE_FONTTYPE, lParam);
                if (result == 0)
                    return 0;
            }
        }
    }
    return result;
}
