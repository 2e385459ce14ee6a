// Which installed face a requested face name is drawn in: the face fontconfig
// itself gives for the name, checked against `fc-match`, with the family of
// the LOGFONT deciding only for names fontconfig knows nothing about.

#include "FontTestReference.h"

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/internal/FontFace.h"
#include "platform/gdi/internal/GdiObjects.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using gditest::MemoryCanvas;
using gditest::SelectedFont;

namespace {

const char* const kNamedFaces[] = {"Helvetica", "Times", "Courier", "Georgia", "Garamond", "Palatino Linotype"};
const char* const kStandardFaces[] = {"Arial", "Times New Roman", "Courier New"};
const BYTE kPitchAndFamilies[] = {0, FF_ROMAN, FF_SWISS, FF_MODERN, FIXED_PITCH};

// The family of the first TrueType face in fontconfig's own sorted list for
// each name, from one run of fc-match over all of them; empty when fc-match
// cannot be run.
const std::map<std::string, std::string>& FirstTrueTypeFamilies()
{
    static const std::map<std::string, std::string> families = [] {
        std::vector<std::string> names(std::begin(kNamedFaces), std::end(kNamedFaces));
        names.insert(names.end(), std::begin(kStandardFaces), std::end(kStandardFaces));
        names.insert(names.end(), {"serif", "monospace"});
        std::string command = "for n in";
        for (const std::string& name : names)
            command += " '" + name + "'";
        command += "; do printf '=%s\\n' \"$n\"; fc-match -s -f '%{family[0]}\\t%{fontformat}\\n' \"$n\"; done"
                   " 2> /dev/null";
        std::map<std::string, std::string> result;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return result;
        std::string current;
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) {
            std::string text(line);
            if (!text.empty() && text.back() == '\n')
                text.pop_back();
            if (text.size() > 1 && text[0] == '=') {
                current = text.substr(1);
                continue;
            }
            const size_t tab = text.find('\t');
            if (!current.empty() && tab != std::string::npos && text.substr(tab + 1) == "TrueType"
                && !result.count(current))
                result[current] = text.substr(0, tab);
        }
        pclose(pipe);
        return result;
    }();
    return families;
}

std::string TextFace(HDC dc)
{
    char name[LF_FACESIZE] = {};
    GetTextFace(dc, LF_FACESIZE, name);
    return name;
}

LOGFONT Request(const char* face, BYTE pitchAndFamily, int weight = FW_NORMAL, BOOL italic = FALSE)
{
    LOGFONT lf = SelectedFont::Make(-28, face, weight);
    lf.lfPitchAndFamily = pitchAndFamily;
    lf.lfItalic = BYTE(italic);
    return lf;
}

TEXTMETRIC Metrics(HDC dc)
{
    TEXTMETRIC tm{};
    EXPECT_TRUE(GetTextMetrics(dc, &tm));
    return tm;
}

// A word drawn in a font: its extent and its ink. Faces made to the same
// metrics have equal extents, so the ink is what tells them apart.
struct Drawing {
    SIZE extent{};
    std::string ink;
};

Drawing DrawnWord(const LOGFONT& lf)
{
    MemoryCanvas canvas(480, 48);
    SelectedFont font(canvas.dc, lf);
    const char word[] = "Hamburgefonts Wily 1940";
    Drawing drawing;
    GetTextExtentPoint32(canvas.dc, word, int(sizeof(word) - 1), &drawing.extent);
    TextOut(canvas.dc, 2, 4, word, int(sizeof(word) - 1));
    drawing.ink = canvas.Picture(RECT{0, 0, canvas.Width(), canvas.Height()});
    return drawing;
}

::testing::AssertionResult SameDrawing(const Drawing& actual, const Drawing& expected)
{
    if (actual.extent.cx == expected.extent.cx && actual.extent.cy == expected.extent.cy
        && actual.ink == expected.ink)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "drawn " << actual.extent.cx << "x" << actual.extent.cy
                                         << (actual.ink == expected.ink ? " with the same ink" : " with other ink")
                                         << ", expected " << expected.extent.cx << "x" << expected.extent.cy;
}

bool FixedPitch(HDC dc)
{
    INT narrow = 0, wide = 0;
    GetCharWidth32(dc, 'i', 'i', &narrow);
    GetCharWidth32(dc, 'W', 'W', &wide);
    return narrow == wide && (Metrics(dc).tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

} // namespace

TEST(FontMatchTest, NamesAreDrawnInFontconfigsFirstTrueTypeMatchWhateverTheFamily)
{
    const auto& expected = FirstTrueTypeFamilies();
    if (expected.empty())
        GTEST_SKIP() << "fc-match cannot be run";
    MemoryCanvas canvas(8, 8);
    auto check = [&](const char* name, bool standard) {
        ASSERT_TRUE(expected.count(name)) << name;
        const std::string family = expected.at(name);
        const Drawing glyphs = DrawnWord(Request(family.c_str(), 0));
        for (BYTE pitchAndFamily : kPitchAndFamilies) {
            SCOPED_TRACE(std::string(name) + ", pitch and family " + std::to_string(pitchAndFamily));
            const LOGFONT lf = Request(name, pitchAndFamily);
            SelectedFont font(canvas.dc, lf);
            // The program's own names keep answering as asked; others answer
            // the family drawn.
            EXPECT_EQ(TextFace(canvas.dc), standard ? std::string(name) : family);
            EXPECT_TRUE(SameDrawing(DrawnWord(lf), glyphs));
        }
    };
    for (const char* name : kNamedFaces)
        check(name, false);
    for (const char* name : kStandardFaces)
        check(name, true);
}

TEST(FontMatchTest, UnknownNamesTakeTheGenericFaceOfTheirFamily)
{
    const auto& expected = FirstTrueTypeFamilies();
    if (!expected.count("serif") || !expected.count("monospace"))
        GTEST_SKIP() << "fc-match cannot be run";
    MemoryCanvas canvas(8, 8);
    {
        const LOGFONT lf = Request("No Such Face Qx", FF_ROMAN);
        SelectedFont font(canvas.dc, lf);
        EXPECT_EQ(TextFace(canvas.dc), expected.at("serif"));
        EXPECT_FALSE(FixedPitch(canvas.dc));
        EXPECT_TRUE(SameDrawing(DrawnWord(lf), DrawnWord(Request(expected.at("serif").c_str(), 0))));
    }
    for (BYTE pitchAndFamily : {BYTE(FF_MODERN), BYTE(FIXED_PITCH)}) {
        const LOGFONT lf = Request("No Such Face Qx", pitchAndFamily);
        SelectedFont font(canvas.dc, lf);
        EXPECT_EQ(TextFace(canvas.dc), expected.at("monospace")) << int(pitchAndFamily);
        EXPECT_TRUE(FixedPitch(canvas.dc)) << int(pitchAndFamily);
    }
}

TEST(FontMatchTest, NamedFacesKeepTheRequestedWeightAndSlant)
{
    const auto& expected = FirstTrueTypeFamilies();
    if (!expected.count("Times"))
        GTEST_SKIP() << "fc-match cannot be run";
    // The family fontconfig gives for the name has its own bold italic, which
    // is drawn rather than one made up from the regular face.
    MemoryCanvas canvas(8, 8);
    for (BYTE pitchAndFamily : {BYTE(0), BYTE(FF_SWISS)}) {
        SelectedFont font(canvas.dc, Request("Times", pitchAndFamily, FW_BOLD, TRUE));
        const platform::FontFace& face = platform::RealiseFontFace(*platform::LookupFont(font.Handle()));
        EXPECT_EQ(face.familyName, expected.at("Times"));
        EXPECT_EQ(face.styleName, "Bold Italic");
        EXPECT_FALSE(face.syntheticBold);
        EXPECT_FALSE(face.syntheticItalic);
        const TEXTMETRIC tm = Metrics(canvas.dc);
        EXPECT_EQ(tm.tmWeight, FW_BOLD);
        EXPECT_NE(tm.tmItalic, 0);
    }
}
