#include "Art.h"

#include "ButtonIcons.h"
#include "DriveArt.h"
#include "GridPickerArt.h"
#include "CursorArt.h"
#include "Implode.h"
#include "MenuBitmaps.h"
#include "MetafileBuilder.h"
#include "PageSetupArt.h"
#include "PictureArt.h"
#include "PictureCanvas.h"
#include "GalleryArt.h"
#include "PictureOpenArt.h"
#include "PrefsArt.h"
#include "ShapeOutlines.h"
#include "WizardArt.h"
#include "ToolbarArt.h"
#include "resources/resource.h"

#include <algorithm>
#include <array>

namespace artgen {

namespace {

constexpr uint16_t kPaletteVersion = 0x300;
constexpr int kPaletteEntries = 256;

// A five-pointed star, points up, outer radius 480 and inner 190 round the
// centre; the coordinates are fixed here rather than computed so that the
// bytes never depend on the maths library.
constexpr std::array<Point16, 10> kStar = {{{500, 20}, {612, 346}, {957, 352}, {681, 559}, {782, 888},
                                            {500, 690}, {218, 888}, {319, 559}, {43, 352}, {388, 346}}};

// A heart traced from the notch at the top clockwise round to the notch.
constexpr std::array<Point16, 36> kHeart = {{
    {500, 330}, {502, 313}, {518, 268}, {556, 211}, {619, 161}, {701, 137}, {791, 148}, {872, 195}, {928, 269},
    {948, 358}, {928, 451}, {872, 541}, {791, 624}, {701, 702}, {619, 775}, {556, 841}, {518, 896}, {502, 933},
    {500, 946}, {498, 933}, {482, 896}, {444, 841}, {381, 775}, {299, 702}, {209, 624}, {128, 541}, {72, 451},
    {52, 358},  {72, 269},  {128, 195}, {209, 148}, {299, 137}, {381, 161}, {444, 211}, {482, 268}, {498, 313},
}};

std::vector<uint8_t> MakeStar()
{
    MetafileBuilder b = StartPicture();
    DrawFilled(b, ColorRef(128, 64, 0), 12, ColorRef(255, 204, 0), [&] { b.Polygon(kStar); });
    return b.Finish();
}

std::vector<uint8_t> MakeHeart()
{
    MetafileBuilder b = StartPicture();
    DrawFilled(b, ColorRef(128, 0, 0), 12, ColorRef(220, 20, 60), [&] { b.Polygon(kHeart); });
    return b.Finish();
}

// A blue disc on a pale square.
std::vector<uint8_t> MakeCircle()
{
    MetafileBuilder b = StartPicture();
    DrawFilled(b, ColorRef(0, 0, 0), 0, ColorRef(230, 240, 255), [&] { b.Rectangle(0, 0, kPictureSize, kPictureSize); });
    DrawFilled(b, ColorRef(0, 0, 128), 16, ColorRef(30, 100, 220), [&] { b.Ellipse(100, 100, 900, 900); });
    return b.Finish();
}

} // namespace

std::vector<uint8_t> MakeAppPalette()
{
    std::vector<uint8_t> out;
    auto put16 = [&](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto entry = [&](uint8_t r, uint8_t g, uint8_t b) {
        out.insert(out.end(), {r, g, b, 0});
    };
    put16(kPaletteVersion);
    put16(kPaletteEntries);
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b)
                entry(static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g), static_cast<uint8_t>(51 * b));
        }
    }
    static constexpr uint8_t kStandard[16][3] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const auto& c : kStandard)
        entry(c[0], c[1], c[2]);
    for (int i = 0; i < 24; ++i) {
        uint8_t v = static_cast<uint8_t>(8 + 10 * i);
        entry(v, v, v);
    }
    return out;
}

std::vector<MetafileArt> MakeMetafiles()
{
    std::vector<MetafileArt> pictures{
        {IDR_METAFILE_STAR, "Star", "star.implode", MakeStar()},
        {IDR_METAFILE_HEART, "Heart", "heart.implode", MakeHeart()},
        {IDR_METAFILE_CIRCLE, "Circle", "circle.implode", MakeCircle()},
    };
    for (MetafileArt& art : MakePageSetupMetafiles())
        pictures.push_back(std::move(art));
    return pictures;
}

std::vector<uint8_t> PackMetafileResource(const std::vector<uint8_t>& picture)
{
    std::vector<uint8_t> stream = Implode(picture, LiteralCoding::Binary, kMetafileDictionaryBits);
    std::vector<uint8_t> out(4 + stream.size());
    uint32_t length = static_cast<uint32_t>(stream.size());
    for (size_t i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(length >> (8 * i));
    std::copy(stream.begin(), stream.end(), out.begin() + 4);
    return out;
}

std::string MetafileString(const MetafileArt& art)
{
    return std::to_string(art.picture.size()) + "," + art.title;
}

std::vector<ArtFile> MakeArtFiles()
{
    std::vector<ArtFile> files;
    files.push_back({"palette36.pal", MakeAppPalette()});
    for (const MetafileArt& art : MakeMetafiles())
        files.push_back({art.file, PackMetafileResource(art.picture)});
    for (ArtFile& icon : MakeButtonIconFiles())
        files.push_back(std::move(icon));
    for (ArtFile& strip : MakeToolbarFiles())
        files.push_back(std::move(strip));
    for (ArtFile& bitmap : MakeMenuBitmapFiles())
        files.push_back(std::move(bitmap));
    for (ArtFile& cursor : MakeCursorFiles())
        files.push_back(std::move(cursor));
    for (ArtFile& picture : MakePictureFiles())
        files.push_back(std::move(picture));
    for (ArtFile& shape : MakeShapeFiles())
        files.push_back(std::move(shape));
    for (ArtFile& drive : MakeDriveArtFiles())
        files.push_back(std::move(drive));
    for (ArtFile& cell : MakeGridPickerArtFiles())
        files.push_back(std::move(cell));
    for (ArtFile& button : MakeWizardArtFiles())
        files.push_back(std::move(button));
    for (ArtFile& icon : MakePrefsArtFiles())
        files.push_back(std::move(icon));
    for (ArtFile& icon : MakePictureOpenArtFiles())
        files.push_back(std::move(icon));
    for (ArtFile& art : MakeGalleryArtFiles())
        files.push_back(std::move(art));
    return files;
}

} // namespace artgen
