#include "DriveArt.h"

#include "ButtonIcons.h"
#include "Glyphs.h"

namespace artgen {
namespace {

using namespace palette;

constexpr int kIconSize = 32;

// The body of a drive seen from the front: a flat box with a slot line.
void DriveBody(Scene& s, double y0, double y1, Rgb body)
{
    s.Rect(2, y0, 30, y1, body, kInk, kOutline);
    s.Stroke({{6, (y0 + y1) / 2}, {20, (y0 + y1) / 2}}, 1.4, kSteel);
    s.Ellipse({25, (y0 + y1) / 2}, 1.8, 1.8, kGreen, kGreen, 0);
}

void Folder(Scene& s, bool open)
{
    s.Shape({{2, 7}, {11, 7}, {14, 10}, {28, 10}, {28, 27}, {2, 27}}, kOchre, kInk, kOutline);
    if (open)
        s.Shape({{2, 27}, {8, 15}, {31, 15}, {25, 27}}, kYellow, kInk, kOutline);
    else
        s.Rect(2, 13, 28, 27, kYellow, kInk, kOutline);
}

void RedCross(Scene& s)
{
    s.Stroke({{17, 17}, {29, 29}}, 4.4, kInk);
    s.Stroke({{29, 17}, {17, 29}}, 4.4, kInk);
    s.Stroke({{17, 17}, {29, 29}}, 2.6, kRed);
    s.Stroke({{29, 17}, {17, 29}}, 2.6, kRed);
}

} // namespace

Scene DrawDriveScene(DriveArt art)
{
    Scene s;
    switch (art) {
    case DriveArt::Fixed:
        DriveBody(s, 11, 23, kSilver);
        break;
    case DriveArt::Remote:
        DriveBody(s, 5, 17, kSilver);
        s.Stroke({{16, 17}, {16, 25}}, 2.4, kInk);
        s.Stroke({{5, 27}, {27, 27}}, 2.4, kInk);
        s.Rect(12, 23, 20, 30, kSky, kInk, kOutline * 0.8);
        break;
    case DriveArt::Removable:
        s.Shape({{9, 2}, {23, 2}, {23, 10}, {26, 12}, {26, 30}, {6, 30}, {6, 12}, {9, 10}}, kBlue, kInk, kOutline);
        s.Rect(11, 4, 21, 10, kSilver, kInk, kOutline * 0.7);
        s.Rect(10, 17, 22, 26, kPaper, kInk, kOutline * 0.7);
        break;
    case DriveArt::Floppy:
        s.Shape({{3, 3}, {26, 3}, {29, 6}, {29, 29}, {3, 29}}, kSteel, kInk, kOutline);
        s.Rect(10, 3, 22, 12, kSilver, kInk, kOutline * 0.8);
        s.Rect(8, 17, 24, 29, kPaper, kInk, kOutline * 0.8);
        break;
    case DriveArt::RamDisk:
        for (int i = 0; i < 5; ++i) {
            double x = 7 + i * 4.5;
            s.Stroke({{x, 4}, {x, 28}}, 1.6, kSteel);
        }
        s.Rect(4, 8, 28, 24, kGreen, kInk, kOutline);
        s.Rect(9, 12, 23, 20, kInk, kInk, 0);
        break;
    case DriveArt::CdRom:
        DriveBody(s, 19, 29, kSilver);
        s.Ellipse({16, 11}, 10, 8, kSky, kInk, kOutline);
        s.Ellipse({16, 11}, 2.5, 2, kPaper, kInk, kOutline * 0.6);
        break;
    }
    return s;
}

Scene DrawTreeScene(TreeArt art)
{
    Scene s;
    switch (art) {
    case TreeArt::Level0:
        // A kit: a closed box.
        s.Shape({{3, 10}, {16, 4}, {29, 10}, {29, 26}, {16, 31}, {3, 26}}, kOrange, kInk, kOutline);
        s.Stroke({{3, 10}, {16, 16}, {29, 10}}, kOutline, kInk);
        s.Stroke({{16, 16}, {16, 31}}, kOutline, kInk);
        break;
    case TreeArt::Level1: {
        // One table of a kit: a page with lines.
        s.Shape({{6, 2}, {20, 2}, {26, 8}, {26, 30}, {6, 30}}, kPaper, kInk, kOutline);
        for (int i = 0; i < 4; ++i)
            s.Stroke({{10, 11.0 + i * 5}, {22, 11.0 + i * 5}}, 1.6, kBlue);
        break;
    }
    case TreeArt::Computer:
        s.Rect(3, 3, 29, 21, kSilver, kInk, kOutline);
        s.Rect(7, 7, 25, 17, kSky, kInk, kOutline * 0.7);
        s.Shape({{10, 21}, {22, 21}, {25, 29}, {7, 29}}, kSilver, kInk, kOutline);
        break;
    case TreeArt::Folder:
        Folder(s, false);
        break;
    case TreeArt::OpenFolder:
        Folder(s, true);
        break;
    case TreeArt::NoMedium:
        s.Add(DrawDriveScene(DriveArt::Fixed));
        RedCross(s);
        break;
    case TreeArt::Unreadable:
        Folder(s, false);
        RedCross(s);
        break;
    }
    return s;
}

Image DrawTreeBitmap(TreeArt art)
{
    // Edges all or nothing, so no pixel is tinted by the key colour.
    Image image = Harden(RenderFitted(DrawTreeScene(art), kGlyphBox, kTreeBitmapSize, kTreeBitmapSize));
    return Flatten(image, kTreeKey);
}

std::vector<ArtFile> MakeDriveArtFiles()
{
    const std::pair<DriveArt, const char*> drives[] = {
        {DriveArt::Remote, "drive-remote.png"},
        {DriveArt::Removable, "drive-removable.png"},
        {DriveArt::Fixed, "drive-fixed.png"},
        {DriveArt::Floppy, "drive-floppy.png"},
        {DriveArt::RamDisk, "drive-ramdisk.png"},
        {DriveArt::CdRom, "drive-cdrom.png"},
    };
    const std::pair<TreeArt, const char*> trees[] = {
        {TreeArt::Level0, "tree-level0.png"},
        {TreeArt::Level1, "tree-level1.png"},
        {TreeArt::Computer, "tree-computer.png"},
        {TreeArt::Folder, "tree-folder.png"},
        {TreeArt::OpenFolder, "tree-open-folder.png"},
        {TreeArt::NoMedium, "tree-no-medium.png"},
        {TreeArt::Unreadable, "tree-unreadable.png"},
    };
    std::vector<ArtFile> files;
    for (const auto& [art, name] : drives)
        files.push_back({name, EncodePng(RenderFitted(DrawDriveScene(art), kGlyphBox, kIconSize, kIconSize))});
    for (const auto& [art, name] : trees)
        files.push_back({name, EncodePng(DrawTreeBitmap(art))});
    return files;
}

} // namespace artgen
