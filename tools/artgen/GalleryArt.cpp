#include "GalleryArt.h"

#include "ButtonIcons.h"
#include "Glyphs.h"

namespace artgen {
namespace {

using namespace palette;

constexpr int kIconSize = 32;
constexpr int kLabelSize = 24;
constexpr Rgb kButtonFace{192, 192, 192};

// A framed landscape: the gallery's picture, in the box (x0, y0)-(x1, y1).
void AddPicture(Scene& s, double x0, double y0, double x1, double y1)
{
    s.Rect(x0, y0, x1, y1, kPaper, kInk, 1.4);
    s.Rect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, kSky, kSky, 0.1);
    const double w = x1 - x0 - 4;
    const double h = y1 - y0 - 4;
    s.Fill({{x0 + 2, y1 - 2}, {x0 + 2 + w * 0.35, y0 + 2 + h * 0.45}, {x0 + 2 + w * 0.6, y0 + 2 + h * 0.75},
               {x0 + 2 + w * 0.8, y0 + 2 + h * 0.55}, {x1 - 2, y0 + 2 + h * 0.7}, {x1 - 2, y1 - 2}},
        kGreen);
    s.Ellipse({x0 + 2 + w * 0.75, y0 + 2 + h * 0.25}, w * 0.09, w * 0.09, kYellow, kYellow, 0.1);
}

void AddPlus(Scene& s, double cx, double cy, double r, Rgb colour)
{
    s.Ellipse({cx, cy}, r, r, colour, kInk, 1.2);
    s.Stroke({{cx - r * 0.55, cy}, {cx + r * 0.55, cy}}, 2.0, kPaper);
    s.Stroke({{cx, cy - r * 0.55}, {cx, cy + r * 0.55}}, 2.0, kPaper);
}

Scene IconScene(GalleryIcon icon)
{
    Scene s;
    switch (icon) {
    case GalleryIcon::AddPicture:
        AddPicture(s, 2, 4, 24, 22);
        AddPlus(s, 23, 23, 7, kGreen);
        break;
    case GalleryIcon::RemovePicture:
        AddPicture(s, 2, 4, 24, 22);
        s.Ellipse({23, 23}, 7, 7, kRed, kInk, 1.2);
        s.Stroke({{19, 23}, {27, 23}}, 2.4, kPaper);
        break;
    case GalleryIcon::Browse:
        // An open folder with a magnifying glass.
        s.Shape({{2, 8}, {11, 8}, {14, 11}, {26, 11}, {26, 27}, {2, 27}}, kYellow, kInk, 1.4);
        s.Shape({{2, 27}, {7, 15}, {30, 15}, {26, 27}}, kOchre, kInk, 1.2);
        s.Ellipse({21, 9}, 5, 5, kSky, kInk, 1.6);
        s.Stroke({{24.5, 12.5}, {29, 17}}, 2.6, kInk);
        break;
    case GalleryIcon::Options:
        // A grid of three by two small pictures and a pointer.
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 3; ++col)
                s.Rect(2 + col * 10, 6 + row * 11, 10 + col * 10, 14 + row * 11, kSky, kInk, 1.1);
        }
        s.Stroke({{3, 29}, {29, 29}}, 1.6, kSteel);
        s.Fill({{20, 25}, {26, 29}, {20, 32}}, kSteel);
        break;
    case GalleryIcon::EditCategory:
        // A label with a pencil across it.
        s.Shape({{2, 10}, {20, 10}, {26, 16}, {20, 22}, {2, 22}}, kPaper, kInk, 1.4);
        s.Ellipse({7, 16}, 1.6, 1.6, kPaperShade, kInk, 0.8);
        s.Shape({{14, 28}, {28, 8}, {31, 10}, {17, 30}}, kOrange, kInk, 1.2);
        s.Fill({{14, 28}, {17, 30}, {13, 31}}, kInk);
        break;
    case GalleryIcon::Hint:
        // A light bulb.
        s.Ellipse({16, 12}, 9, 9, kYellow, kInk, 1.4);
        s.Rect(12, 20, 20, 27, kSilver, kInk, 1.2);
        s.Stroke({{12, 23.5}, {20, 23.5}}, 1.0, kInk);
        s.Stroke({{14, 29}, {18, 29}}, 1.6, kInk);
        s.Stroke({{13, 10}, {16, 14}, {19, 10}}, 1.0, kOchre);
        break;
    }
    return s;
}

} // namespace

Image DrawGalleryIcon(GalleryIcon icon, bool disabled)
{
    const Image image = Render(IconScene(icon), kIconSize, kIconSize, 1, 0, 0);
    return disabled ? ToGrey(image) : image;
}

Image DrawCategoriesBitmap()
{
    // Three stacked folder tabs: the category list.
    Scene s;
    for (int i = 0; i < 3; ++i) {
        const double y = 4 + i * 8;
        s.Shape({{2, y}, {10, y}, {12, y + 2}, {30, y + 2}, {30, y + 10}, {2, y + 10}},
            i == 1 ? kYellow : kOchre, kInk, 1.2);
    }
    return Flatten(RenderFitted(s, 32, kLabelSize, kLabelSize), kButtonFace);
}

Image DrawPicturesBitmap()
{
    // Two overlapping pictures: the category's thumbnails.
    Scene s;
    AddPicture(s, 2, 2, 22, 18);
    AddPicture(s, 10, 12, 30, 28);
    return Flatten(RenderFitted(s, 32, kLabelSize, kLabelSize), kButtonFace);
}

std::vector<ArtFile> MakeGalleryArtFiles()
{
    std::vector<ArtFile> files;
    auto add = [&files](const char* name, const Image& image) { files.push_back({name, EncodePng(image)}); };
    add("gallery-add.png", DrawGalleryIcon(GalleryIcon::AddPicture, false));
    add("gallery-add-disabled.png", DrawGalleryIcon(GalleryIcon::AddPicture, true));
    add("gallery-remove.png", DrawGalleryIcon(GalleryIcon::RemovePicture, false));
    add("gallery-remove-disabled.png", DrawGalleryIcon(GalleryIcon::RemovePicture, true));
    // Insert shows the OK mark, so its disabled look is that mark in greys.
    add("gallery-insert-disabled.png", ToGrey(DrawOkIcon()));
    add("gallery-browse.png", DrawGalleryIcon(GalleryIcon::Browse, false));
    add("gallery-options.png", DrawGalleryIcon(GalleryIcon::Options, false));
    add("gallery-edit.png", DrawGalleryIcon(GalleryIcon::EditCategory, false));
    add("gallery-edit-disabled.png", DrawGalleryIcon(GalleryIcon::EditCategory, true));
    add("gallery-hint.png", DrawGalleryIcon(GalleryIcon::Hint, false));
    add("gallery-categories.png", DrawCategoriesBitmap());
    add("gallery-pictures.png", DrawPicturesBitmap());
    return files;
}

} // namespace artgen
