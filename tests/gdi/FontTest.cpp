#include "FontTestReference.h"

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/internal/FontFace.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

using gditest::MemoryCanvas;
using gditest::SelectedFont;

namespace {

std::string FamilyOf(HFONT font)
{
    return platform::RealiseFontFace(*platform::LookupFont(font)).familyName;
}

std::string TextFace(HDC dc)
{
    char name[LF_FACESIZE] = {};
    GetTextFace(dc, LF_FACESIZE, name);
    return name;
}

TEXTMETRIC Metrics(HDC dc)
{
    TEXTMETRIC tm{};
    EXPECT_TRUE(GetTextMetrics(dc, &tm));
    return tm;
}

struct Enumerated {
    std::string face;
    std::string style;
    LOGFONT lf;
    NEWTEXTMETRIC ntm;
    DWORD type;
};

int CALLBACK Collect(const LOGFONT* lf, const TEXTMETRIC* tm, DWORD type, LPARAM data)
{
    auto* out = reinterpret_cast<std::vector<Enumerated>*>(data);
    const auto* elf = reinterpret_cast<const ENUMLOGFONT*>(lf);
    out->push_back(Enumerated{lf->lfFaceName, reinterpret_cast<const char*>(elf->elfStyle), *lf,
        *reinterpret_cast<const NEWTEXTMETRIC*>(tm), type});
    return 1;
}

TEST(FontTest, ProgramFaceNamesResolveToMetricCompatibleFaces)
{
    struct Case {
        const char* requested;
        const char* installed;
        const char* face;
    };
    const Case cases[] = {
        {"Arial", "Liberation Sans", "Arial"},
        {"arial", "Liberation Sans", "Arial"},
        {"MS Sans Serif", "Liberation Sans", "MS Sans Serif"},
        {"Times New Roman", "Liberation Serif", "Times New Roman"},
        {"Courier New", "Liberation Mono", "Courier New"},
    };
    MemoryCanvas canvas(8, 8);
    for (const Case& c : cases) {
        SelectedFont font(canvas.dc, -13, c.requested);
        EXPECT_EQ(FamilyOf(font.Handle()), c.installed) << c.requested;
        // The program keeps seeing the name it knows.
        EXPECT_EQ(TextFace(canvas.dc), c.face);
    }
}

TEST(FontTest, EmptyFaceNameTakesTheFamilysUsualFace)
{
    const std::pair<BYTE, const char*> cases[] = {
        {VARIABLE_PITCH | FF_SWISS, "Liberation Sans"},
        {VARIABLE_PITCH | FF_ROMAN, "Liberation Serif"},
        {FIXED_PITCH | FF_MODERN, "Liberation Mono"},
    };
    MemoryCanvas canvas(8, 8);
    for (const auto& [pitchAndFamily, installed] : cases) {
        LOGFONT lf = SelectedFont::Make(-12, "");
        lf.lfPitchAndFamily = pitchAndFamily;
        SelectedFont font(canvas.dc, lf);
        EXPECT_EQ(FamilyOf(font.Handle()), installed);
        EXPECT_EQ(TextFace(canvas.dc), installed);
    }
}

TEST(FontTest, UnknownFacesFallBackToAnInstalledTrueTypeFaceOfTheirFamily)
{
    MemoryCanvas canvas(8, 8);
    {
        SelectedFont display(canvas.dc, -20, "GRAFFITI");
        TEXTMETRIC tm = Metrics(canvas.dc);
        EXPECT_GT(tm.tmHeight, 20);
        EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
        EXPECT_FALSE(TextFace(canvas.dc).empty());
    }
    {
        // The command-line switch's roman face is a serif face.
        SelectedFont roman(canvas.dc, -20, "KQ Clearly Roman");
        EXPECT_EQ(Metrics(canvas.dc).tmPitchAndFamily & 0xF0, FF_ROMAN);
        EXPECT_EQ(TextFace(canvas.dc), "KQ Clearly Roman");
    }
}

TEST(FontTest, FacesAddedToFontconfigAreFoundByName)
{
    REQUIRE_TESTDATA();
    const std::string path = std::string(THREADWICK_TESTDATA_DIR) + "/ttf/src-graphicsmagick__input.ttf";
    ASSERT_TRUE(FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str())));
    MemoryCanvas canvas(8, 8);
    SelectedFont font(canvas.dc, -20, "ARTBRUSH");
    EXPECT_EQ(TextFace(canvas.dc), "ArtBrush");
    std::vector<Enumerated> fonts;
    EnumFontFamilies(canvas.dc, "ArtBrush", Collect, LPARAM(&fonts));
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].type, DWORD(TRUETYPE_FONTTYPE));
}

TEST(FontTest, HeightSignChoosesCharacterOrCellHeight)
{
    MemoryCanvas canvas(8, 8);
    {
        // 8 points at 96 dpi: an 11-pixel em.
        SelectedFont em(canvas.dc, -11, "Arial");
        TEXTMETRIC tm = Metrics(canvas.dc);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
        EXPECT_GT(tm.tmInternalLeading, 0);
    }
    {
        SelectedFont cell(canvas.dc, 11, "Arial");
        TEXTMETRIC tm = Metrics(canvas.dc);
        EXPECT_EQ(tm.tmHeight, 11);
        EXPECT_LT(tm.tmHeight - tm.tmInternalLeading, 11);
    }
    {
        SelectedFont standard(canvas.dc, 0, "Arial");
        EXPECT_GT(Metrics(canvas.dc).tmHeight, 11);
    }

    CFont point;
    ASSERT_TRUE(point.CreatePointFont(80, "Arial"));
    LOGFONT lf{};
    point.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -11);
}

TEST(FontTest, HeightIsConvertedThroughTheDcMapping)
{
    // Hundredths of an inch at 200 %: 22 logical units are 42 pixels.
    MemoryCanvas mapped(8, 8);
    SetMapMode(mapped.dc, MM_ANISOTROPIC);
    SetWindowExtEx(mapped.dc, 100, -100, NULL);
    SetViewportExtEx(mapped.dc, 192, 192, NULL);
    MemoryCanvas plain(8, 8);

    SelectedFont a(mapped.dc, -22, "Arial");
    SelectedFont b(plain.dc, -42, "Arial");
    const char text[] = "Mapped text 123";
    SIZE logical{}, device{};
    GetTextExtentPoint32(mapped.dc, text, int(sizeof(text) - 1), &logical);
    GetTextExtentPoint32(plain.dc, text, int(sizeof(text) - 1), &device);
    EXPECT_NEAR(logical.cx, device.cx * 100.0 / 192.0, 1.0);
    EXPECT_NEAR(logical.cy, device.cy * 100.0 / 192.0, 1.0);
    EXPECT_NEAR(Metrics(mapped.dc).tmHeight, Metrics(plain.dc).tmHeight * 100.0 / 192.0, 1.0);
}

TEST(FontTest, StyleFlagsAndFamilyReachTheMetrics)
{
    MemoryCanvas canvas(8, 8);
    LOGFONT lf = SelectedFont::Make(-16, "Arial", FW_BOLD);
    lf.lfItalic = TRUE;
    lf.lfUnderline = TRUE;
    lf.lfStrikeOut = TRUE;
    {
        SelectedFont font(canvas.dc, lf);
        TEXTMETRIC tm = Metrics(canvas.dc);
        EXPECT_EQ(tm.tmWeight, FW_BOLD);
        EXPECT_NE(tm.tmItalic, 0);
        EXPECT_NE(tm.tmUnderlined, 0);
        EXPECT_NE(tm.tmStruckOut, 0);
        EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
        EXPECT_EQ(tm.tmBreakChar, ' ');
        // Variable pitch shows as the "fixed pitch" bit, as it always has.
        EXPECT_EQ(tm.tmPitchAndFamily, FF_SWISS | TMPF_TRUETYPE | TMPF_VECTOR | TMPF_FIXED_PITCH);
    }
    {
        SelectedFont mono(canvas.dc, -16, "Courier New");
        TEXTMETRIC tm = Metrics(canvas.dc);
        EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
        EXPECT_EQ(tm.tmAveCharWidth, tm.tmMaxCharWidth);
        EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    }
}

TEST(FontTest, MetricsAndExtentsAgreeWithFreeType)
{
#ifndef THREADWICK_HAVE_FREETYPE_REFERENCE
    GTEST_SKIP() << "FreeType headers are not on the test include path";
#else
    gditest::ReferenceFace ref(gditest::FontFileOf("Liberation Sans"));
    ASSERT_NE(ref.Face(), nullptr);
    FT_Face face = ref.Face();
    // "\x80" is the euro sign and "\xE9" e acute in 1252.
    const std::string text = "Hello, World! fjord \x80\xE9 Tiny";
    std::u32string unicode = U"Hello, World! fjord \u20AC\u00E9 Tiny";
    MemoryCanvas canvas(8, 8);
    for (int ppem : {8, 11, 13, 16, 24, 37, 72}) {
        SCOPED_TRACE(ppem);
        SelectedFont font(canvas.dc, -ppem, "Arial");
        ref.SetPpem(ppem);
        TEXTMETRIC tm = Metrics(canvas.dc);
        EXPECT_EQ(tm.tmAscent, ref.Scaled(face->ascender, ppem));
        EXPECT_EQ(tm.tmDescent, ref.Scaled(-face->descender, ppem));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        // This face's line gap is all external leading.
        EXPECT_EQ(tm.tmExternalLeading, ref.Scaled(face->height - (face->ascender - face->descender), ppem));

        int expected = 0;
        for (char32_t cp : unicode)
            expected += ref.Advance(cp);
        SIZE size{};
        ASSERT_TRUE(GetTextExtentPoint32(canvas.dc, text.data(), int(text.size()), &size));
        EXPECT_EQ(size.cx, expected);
        EXPECT_EQ(size.cy, tm.tmHeight);

        INT widths[3] = {};
        ASSERT_TRUE(GetCharWidth32(canvas.dc, 'W', 'Y', widths));
        EXPECT_EQ(widths[0], ref.Advance(U'W'));
        EXPECT_EQ(widths[2], ref.Advance(U'Y'));
    }
#endif
}

TEST(FontTest, AbcWidthsAddUpToTheAdvance)
{
    MemoryCanvas canvas(8, 8);
    SelectedFont font(canvas.dc, -24, "Times New Roman");
    ABC abc[95];
    INT widths[95];
    ASSERT_TRUE(GetCharABCWidths(canvas.dc, 32, 126, abc));
    ASSERT_TRUE(GetCharWidth(canvas.dc, 32, 126, widths));
    for (int i = 0; i < 95; ++i) {
        EXPECT_EQ(abc[i].abcA + int(abc[i].abcB) + abc[i].abcC, widths[i]) << char(32 + i);
        EXPECT_GE(abc[i].abcB, 1u);
    }
    EXPECT_FALSE(GetCharABCWidths(canvas.dc, 'b', 'a', abc));
    EXPECT_FALSE(GetCharABCWidths(canvas.dc, 0, 256, abc));
}

TEST(FontTest, OutlineMetricsGiveDecorationsAndNames)
{
    MemoryCanvas canvas(8, 8);
    SelectedFont font(canvas.dc, -2048, "Arial");
    UINT size = GetOutlineTextMetrics(canvas.dc, 0, nullptr);
    ASSERT_GT(size, sizeof(OUTLINETEXTMETRIC));
    std::vector<unsigned char> buffer(size);
    auto* otm = reinterpret_cast<OUTLINETEXTMETRIC*>(buffer.data());
    ASSERT_EQ(GetOutlineTextMetrics(canvas.dc, size, otm), size);
    EXPECT_EQ(otm->otmSize, size);
    EXPECT_EQ(otm->otmEMSquare, 2048u);
    // At one pixel per design unit the values are the font's own.
    EXPECT_LT(otm->otmsUnderscorePosition, 0);
    EXPECT_GT(otm->otmsUnderscoreSize, 0);
    EXPECT_GT(otm->otmsStrikeoutPosition, 0);
    EXPECT_GT(otm->otmsStrikeoutSize, 0u);
    EXPECT_EQ(otm->otmTextMetrics.tmHeight - otm->otmTextMetrics.tmInternalLeading, 2048);
    auto name = [&](LPSTR member) { return std::string(reinterpret_cast<const char*>(buffer.data() + uintptr_t(member))); };
    EXPECT_EQ(name(otm->otmpFamilyName), "Liberation Sans");
    EXPECT_EQ(name(otm->otmpFaceName), "Arial");
    EXPECT_EQ(name(otm->otmpStyleName), "Regular");
}

int CALLBACK StopAtFirst(const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM data)
{
    ++*reinterpret_cast<int*>(data);
    return 0;
}

// What fontconfig says the formats of a family's faces are.
std::set<std::string> FormatsOf(const std::string& family)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FONTFORMAT, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::set<std::string> formats;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* format = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) == FcResultMatch)
            formats.insert(reinterpret_cast<const char*>(format));
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return formats;
}

TEST(FontEnumTest, ListsEachScalableTrueTypeFamilyOnce)
{
    MemoryCanvas canvas(8, 8);
    std::vector<Enumerated> fonts;
    EXPECT_NE(EnumFontFamilies(canvas.dc, nullptr, Collect, LPARAM(&fonts)), 0);
    std::map<std::string, int> seen;
    // The standard faces programs name are listed by their own names too,
    // with their stand-ins' faces.
    const std::map<std::string, std::string> standIns = {
        {"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"}};
    std::map<std::string, LONG> heights;
    for (const Enumerated& f : fonts) {
        ++seen[f.face];
        heights[f.face] = f.ntm.tmHeight;
        EXPECT_EQ(f.type, DWORD(TRUETYPE_FONTTYPE)) << f.face;
        const auto standIn = standIns.find(f.face);
        EXPECT_TRUE(FormatsOf(standIn != standIns.end() ? standIn->second : f.face).count("TrueType")) << f.face;
        EXPECT_EQ(f.lf.lfHeight, f.ntm.tmHeight);
    }
    for (const char* expected : {"Liberation Sans", "Liberation Serif", "Liberation Mono", "DejaVu Sans", "Arial",
             "Times New Roman", "Courier New"})
        EXPECT_EQ(seen[expected], 1) << expected;
    for (const auto& [name, standIn] : standIns)
        EXPECT_EQ(heights[name], heights[standIn]) << name;
    for (const auto& [face, count] : seen)
        EXPECT_EQ(count, 1) << face;

    int calls = 0;
    EXPECT_EQ(EnumFontFamilies(canvas.dc, nullptr, StopAtFirst, LPARAM(&calls)), 0);
    EXPECT_EQ(calls, 1);
}

TEST(FontEnumTest, NamedFamilyListsItsFacesWithStyleFlags)
{
    MemoryCanvas canvas(8, 8);
    std::vector<Enumerated> fonts;
    EnumFontFamilies(canvas.dc, "liberation sans", Collect, LPARAM(&fonts));
    std::map<std::string, DWORD> flags;
    for (const Enumerated& f : fonts) {
        EXPECT_EQ(f.face, "Liberation Sans");
        flags[f.style] = f.ntm.ntmFlags;
        EXPECT_EQ(f.lf.lfWeight >= FW_BOLD, (f.ntm.ntmFlags & NTM_BOLD) != 0) << f.style;
        EXPECT_EQ(f.lf.lfItalic != 0, (f.ntm.ntmFlags & NTM_ITALIC) != 0) << f.style;
        EXPECT_EQ(f.ntm.ntmSizeEM, 2048u);
    }
    EXPECT_EQ(flags.size(), 4u);
    EXPECT_EQ(flags["Regular"], DWORD(NTM_REGULAR));
    EXPECT_EQ(flags["Bold"], DWORD(NTM_BOLD));
    EXPECT_EQ(flags["Italic"], DWORD(NTM_ITALIC));
    EXPECT_EQ(flags["Bold Italic"], DWORD(NTM_BOLD | NTM_ITALIC));

    std::vector<Enumerated> none;
    EnumFontFamilies(canvas.dc, "No Such Family", Collect, LPARAM(&none));
    EXPECT_TRUE(none.empty());
}

TEST(FontEnumTest, ExtendedEnumerationGivesTheCharsetsOfEachFace)
{
    MemoryCanvas canvas(8, 8);
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::string("Liberation Serif").copy(lf.lfFaceName, LF_FACESIZE - 1);
    std::vector<Enumerated> fonts;
    EnumFontFamiliesEx(canvas.dc, &lf, Collect, LPARAM(&fonts), 0);
    std::set<int> charsets;
    for (const Enumerated& f : fonts) {
        if (f.style == "Regular")
            charsets.insert(f.lf.lfCharSet);
    }
    EXPECT_TRUE(charsets.count(ANSI_CHARSET));
    EXPECT_TRUE(charsets.count(RUSSIAN_CHARSET));
    EXPECT_TRUE(charsets.count(GREEK_CHARSET));

    lf.lfCharSet = RUSSIAN_CHARSET;
    fonts.clear();
    EnumFontFamiliesEx(canvas.dc, &lf, Collect, LPARAM(&fonts), 0);
    ASSERT_EQ(fonts.size(), 4u);
    for (const Enumerated& f : fonts)
        EXPECT_EQ(f.lf.lfCharSet, RUSSIAN_CHARSET);
}

TEST(FontTest, BadHandlesAndArgumentsFailTheWin32Way)
{
    TEXTMETRIC tm;
    EXPECT_FALSE(GetTextMetrics(HDC(0x1234), &tm));
    EXPECT_EQ(GetTextFace(HDC(0x1234), 10, nullptr), 0);
    EXPECT_EQ(CreateFontIndirect(nullptr), HFONT(NULL));
    MemoryCanvas canvas(8, 8);
    EXPECT_FALSE(GetTextMetrics(canvas.dc, nullptr));
    // Without a font selected the DC measures with the system font.
    EXPECT_GT(Metrics(canvas.dc).tmHeight, 0);
    EXPECT_EQ(GetTextFace(canvas.dc, 0, nullptr), int(TextFace(canvas.dc).size() + 1));
}

} // namespace

namespace {

HFONT MakeFont(int height, int weight, const char* face)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

SIZE Extent(HDC dc, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32(dc, "Meeting at ten", 14, &size);
    SelectObject(dc, old);
    return size;
}

} // namespace

TEST(FontTest, FontsOfEqualRecordsShareAFaceThatOutlivesTheTable)
{
    MemoryCanvas canvas(8, 8);
    HFONT first = MakeFont(-13, FW_NORMAL, "Arial");
    HFONT same = MakeFont(-13, FW_NORMAL, "Arial");
    HFONT bold = MakeFont(-13, FW_BOLD, "Arial");
    const SIZE extent = Extent(canvas.dc, first);
    EXPECT_EQ(&platform::RealiseFontFace(*platform::LookupFont(first)),
        &platform::RealiseFontFace(*platform::LookupFont(same)));
    EXPECT_NE(&platform::RealiseFontFace(*platform::LookupFont(first)),
        &platform::RealiseFontFace(*platform::LookupFont(bold)));
    EXPECT_GT(Extent(canvas.dc, bold).cx, extent.cx);
    // More records than the table keeps: it starts afresh, and the fonts
    // made before still measure as they did.
    std::vector<HFONT> many;
    for (int h = 1; h <= 300; ++h) {
        many.push_back(MakeFont(-h, FW_NORMAL, "Arial"));
        Extent(canvas.dc, many.back());
    }
    const SIZE again = Extent(canvas.dc, first);
    EXPECT_EQ(again.cx, extent.cx);
    EXPECT_EQ(again.cy, extent.cy);
    HFONT later = MakeFont(-13, FW_NORMAL, "Arial");
    EXPECT_EQ(Extent(canvas.dc, later).cx, extent.cx);
    for (HFONT f : many)
        DeleteObject(f);
    for (HFONT f : {first, same, bold, later})
        DeleteObject(f);
}

TEST(FontTest, TextSetInSymbolShowsTheSymbolEncodingsLetters)
{
    // Bytes in the Symbol face are Greek letters and signs wherever the face
    // standing in for it maps only Unicode.
    MemoryCanvas canvas(8, 8);
    SelectedFont font(canvas.dc, -48, "Symbol");
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    auto metrics = [&](UINT ch) {
        GLYPHMETRICS gm{};
        EXPECT_NE(GetGlyphOutline(canvas.dc, ch, GGO_METRICS, &gm, 0, nullptr, &identity), GDI_ERROR) << ch;
        return std::vector<int>{int(gm.gmBlackBoxX), int(gm.gmBlackBoxY), gm.gmptGlyphOrigin.x, gm.gmptGlyphOrigin.y,
            gm.gmCellIncX};
    };
    if (metrics(0x394) == metrics(0x2592))
        GTEST_SKIP() << "no installed face stands in for Symbol with Greek letters";
    EXPECT_EQ(metrics('D'), metrics(0x394));  // capital delta
    EXPECT_EQ(metrics('r'), metrics(0x3C1));  // rho
    EXPECT_EQ(metrics(0xE5), metrics(0x2211)); // summation
    EXPECT_EQ(metrics('('), metrics('('));
    EXPECT_NE(metrics('D'), metrics('O'));
}
