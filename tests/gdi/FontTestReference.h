#pragma once
// FreeType's own view of an installed face, for checking our metrics,
// extents and outlines against it. The face file is found through
// fontconfig, independently of the text code. Where FreeType's headers are
// not on the include path the reference is missing and the tests that need
// it skip.

#include "DrawTestSupport.h"

#include <fontconfig/fontconfig.h>

#include <string>

#if __has_include(<ft2build.h>)
#include <ft2build.h>
#include FT_FREETYPE_H
#define THREADWICK_HAVE_FREETYPE_REFERENCE 1
#endif

namespace gditest {

// The file of the regular face of a family, as fontconfig has it.
inline std::string FontFileOf(const char* family)
{
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return path;
}

#ifdef THREADWICK_HAVE_FREETYPE_REFERENCE

// A face opened straight from its file, sized in whole pixels per em.
class ReferenceFace {
public:
    explicit ReferenceFace(const std::string& path)
    {
        if (FT_Init_FreeType(&m_library) == 0 && FT_New_Face(m_library, path.c_str(), 0, &m_face) != 0)
            m_face = nullptr;
    }
    ~ReferenceFace()
    {
        if (m_face)
            FT_Done_Face(m_face);
        if (m_library)
            FT_Done_FreeType(m_library);
    }
    ReferenceFace(const ReferenceFace&) = delete;
    ReferenceFace& operator=(const ReferenceFace&) = delete;

    FT_Face Face() const { return m_face; }
    void SetPpem(int ppem) { FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(ppem)); }

    // A design-unit value at the current size, rounded to whole pixels.
    int Scaled(long units, int ppem) const { return int((units * ppem * 2 + (units < 0 ? -1 : 1) * m_face->units_per_EM) / (2 * m_face->units_per_EM)); }

    // The hinted, non-antialiased outline of a character (loaded into the
    // glyph slot); false when it cannot be loaded.
    bool Load(char32_t codePoint)
    {
        return FT_Load_Char(m_face, codePoint, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) == 0;
    }
    int Advance(char32_t codePoint)
    {
        return Load(codePoint) ? int((m_face->glyph->advance.x + 32) >> 6) : -1;
    }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

#endif

// A font selected into a DC for the life of the object.
class SelectedFont {
public:
    SelectedFont(HDC dc, const LOGFONT& lf)
        : m_dc(dc)
        , m_font(CreateFontIndirect(&lf))
        , m_old(SelectObject(dc, m_font))
    {
    }
    SelectedFont(HDC dc, int height, const char* face, int weight = FW_NORMAL)
        : SelectedFont(dc, Make(height, face, weight))
    {
    }
    ~SelectedFont()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_font);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

    HFONT Handle() const { return m_font; }

    static LOGFONT Make(int height, const char* face, int weight = FW_NORMAL)
    {
        LOGFONT lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        lf.lfCharSet = ANSI_CHARSET;
        lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        std::string name(face);
        name.copy(lf.lfFaceName, LF_FACESIZE - 1);
        return lf;
    }

private:
    HDC m_dc;
    HFONT m_font;
    HGDIOBJ m_old;
};

} // namespace gditest
