// Pictures drawn into the view's memory bitmap and onto printed pages
// (rendered by pdftoppm): the mirror state that follows the object, rotated
// and placeholder pictures on screen and on paper, tiles, transparency,
// alpha, icons, the translucent look, captions and empty pictures.

#include "tests/model/ModelTestSupport.h"

#include "app/main/DocTemplates.h"
#include "model/DocKinds.h"
#include "pictures/Image.h"
#include "platform/gdi/GdiObject.h"
#include "tests/pictures/PictureFiles.h"

#include <gtest/gtest.h>
#include <cairo/cairo.h>

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

using picture_files::Raster;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kUnder = RGB(0, 128, 255); // what lies below the pictures

bool Near(COLORREF a, COLORREF b, int nTolerance = 40)
{
    auto close = [&](int x, int y) { return std::abs(x - y) <= nTolerance; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

std::string Hex(COLORREF c)
{
    char text[16];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// A PNG with alpha: a clear left half and an opaque green right half.
std::string WriteHalfClearPng(const std::string& hostPath, int cx, int cy)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cx, cy);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < cy; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < cx; ++x)
            row[x] = x < cx / 2 ? 0u : 0xFF00FF00u;
    }
    cairo_surface_mark_dirty(surface);
    const bool written = cairo_surface_write_to_png(surface, hostPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written ? platform::WindowsPathFor(hostPath) : std::string();
}

// Four coloured quadrants, so that every mirror shows: red top left, green
// top right, blue bottom left, yellow bottom right.
Raster Quadrants()
{
    Raster r(40, 40);
    r.Fill(0, 0, 20, 20, kRed);
    r.Fill(20, 0, 40, 20, kGreen);
    r.Fill(0, 20, 20, 40, kBlue);
    r.Fill(20, 20, 40, 40, kYellow);
    return r;
}

// The object's rectangle in logical units (y grows upwards on the surface)
// and probe points in the middle of each quadrant.
const CRect kObject(-200, 200, 200, -200);
const CPoint kTopLeft(-100, 100);
const CPoint kTopRight(100, 100);
const CPoint kBottomLeft(-100, -100);
const CPoint kBottomRight(100, -100);

class ImageDrawTest : public modeltest::DesignViewTest {
protected:
    void SetUp() override
    {
        DesignViewTest::SetUp();
        m_dir = testing_support::MakeTempDir("imagedraw");
    }

    std::string Bmp(const Raster& r, const char* name, int nBits = 24)
    {
        return picture_files::WriteBmp(r, m_dir + "/" + name, nBits);
    }

    // A picture object as the insertion commands make one: a rectangle the
    // right way round, the file given to it.
    CDrawRect* InsertPicture(const std::string& path, BOOL bEmbed, const CRect& rect = kObject)
    {
        auto* pObj = new CDrawRect(rect);
        pObj->SetPictureFile(path.c_str(), bEmbed, FALSE, FALSE, FALSE, FALSE, 0);
        EXPECT_TRUE(pObj->HasPicture()) << path;
        m_pDoc->AddObject(pObj, m_pView);
        return pObj;
    }

    static void FillLogical(CDC* pDC, const CRect& rect, COLORREF color)
    {
        CBrush brush;
        brush.CreateSolidBrush(color);
        const int nSaved = pDC->SaveDC();
        pDC->SelectObject(&brush);
        pDC->SelectStockObject(NULL_PEN);
        pDC->Rectangle(&rect);
        pDC->RestoreDC(nSaved);
    }

    std::string m_dir;
};

// The four quadrant colours at the probe points, in the order top left, top
// right, bottom left, bottom right.
template <class At>
std::string QuadrantsSeen(At at)
{
    const std::pair<COLORREF, char> names[] = {{kRed, 'R'}, {kGreen, 'G'}, {kBlue, 'B'}, {kYellow, 'Y'}};
    std::string seen;
    for (const CPoint& p : {kTopLeft, kTopRight, kBottomLeft, kBottomRight}) {
        const COLORREF c = at(p);
        char name = '?';
        for (const auto& [color, letter] : names)
            name = Near(c, color) ? letter : name;
        seen += name;
    }
    return seen;
}

std::string OnScreen(CSurface* pView, CDrawObj* pObj)
{
    modeltest::ViewBitmap bitmap(pView);
    pObj->Draw(bitmap.Dc());
    return QuadrantsSeen([&](CPoint p) { return bitmap.AtLogical(p); });
}

// The quadrants on paper; empty when pdftoppm is not there.
std::string OnPaper(CSurface* pView, CDrawObj* pObj)
{
    modeltest::PrintedPage page;
    const bool bPrinted = page.Print(pView, [&](CDC* pDC) { pObj->Draw(pDC); }, 50);
    if (page.m_bNoRenderer)
        return std::string();
    EXPECT_TRUE(bPrinted) << page.m_strError;
    return QuadrantsSeen([&](CPoint p) { return page.At(p.x, p.y); });
}

TEST_F(ImageDrawTest, AnInsertedPictureShowsItsFileUnmirroredAndFlippingMirrorsIt)
{
    const std::string path = Bmp(Quadrants(), "quadrants.bmp");
    const bool bPaper = std::system("pdftoppm -v > /dev/null 2>&1") == 0;
    for (BOOL bEmbed : {FALSE, TRUE}) {
        SCOPED_TRACE(bEmbed ? "embedded" : "linked");
        CDrawRect* pObj = InsertPicture(path, bEmbed);
        EXPECT_EQ(OnScreen(m_pView, pObj), "RGBY");
        if (bPaper) {
            EXPECT_EQ(OnPaper(m_pView, pObj), "RGBY");
        }
        // Bits 3 and 4 say the raster in memory is as the file has it.
        EXPECT_EQ(pObj->m_pPicture->m_wFlags & (IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y), 0);

        pObj->Flip(TRUE, FALSE);
        EXPECT_EQ(OnScreen(m_pView, pObj), "GRYB");
        EXPECT_TRUE(pObj->m_pPicture->m_wFlags & IMAGE_FLAG_MIRROR_X);
        if (bPaper) {
            EXPECT_EQ(OnPaper(m_pView, pObj), "GRYB");
        }
        pObj->Flip(FALSE, TRUE);
        EXPECT_EQ(OnScreen(m_pView, pObj), "YBGR");
        // Flipped back both ways: as the file again.
        pObj->Flip(TRUE, TRUE);
        EXPECT_EQ(OnScreen(m_pView, pObj), "RGBY");
        EXPECT_EQ(pObj->m_pPicture->m_wFlags & (IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y), 0);
        m_pView->Remove(pObj, TRUE);
        delete pObj;
    }
}

TEST_F(ImageDrawTest, PrintingFirstStillShowsTheObjectsOrientation)
{
    // A flipped object printed before it was ever shown on screen.
    if (std::system("pdftoppm -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    CDrawRect* pObj = InsertPicture(Bmp(Quadrants(), "quadrants.bmp"), TRUE);
    pObj->Flip(FALSE, TRUE);
    EXPECT_EQ(OnPaper(m_pView, pObj), "BYRG");
    EXPECT_EQ(OnScreen(m_pView, pObj), "BYRG");
}

class ImageDrawFileTest : public ImageDrawTest {
protected:
    CDrawDoc* SaveAndReopen()
    {
        const std::string path = platform::WindowsPathFor(m_dir + "/pictures.gen");
        EXPECT_TRUE(m_pDoc->OnSaveDocument(path.c_str()));
        m_pDoc->OnCloseDocument();
        Pump();
        m_pDoc = nullptr;
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        App()->AddDocTemplate(pTemplate);
        auto* pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(path.c_str()));
        Pump();
        return pDoc;
    }
};

TEST_F(ImageDrawFileTest, MirrorsSurviveSavingAndReopening)
{
    const std::string path = Bmp(Quadrants(), "quadrants.bmp");
    // Linked and embedded, as inserted and flipped, each shown once before
    // the save so that the embedded raster is stored mirrored in memory.
    const CRect places[4] = {CRect(-220, 220, -20, 20), CRect(20, 220, 220, 20), CRect(-220, -20, -20, -220),
        CRect(20, -20, 220, -220)};
    for (int i = 0; i < 4; ++i) {
        CDrawRect* pObj = InsertPicture(path, i % 2, places[i]);
        if (i >= 2)
            pObj->Flip(TRUE, FALSE);
        modeltest::ViewBitmap bitmap(m_pView);
        pObj->Draw(bitmap.Dc());
    }
    CDrawDoc* pDoc = SaveAndReopen();
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_EQ(pView->GetObjects().GetCount(), 4);
    int i = 0;
    for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != nullptr; ++i) {
        auto* pObj = static_cast<CDrawRect*>(pView->GetObjects().GetNext(pos));
        ASSERT_TRUE(pObj->HasPicture()) << i;
        modeltest::ViewBitmap bitmap(pView);
        pObj->Draw(bitmap.Dc());
        const CRect r = CDrawObj::NormalizeUp(places[i]);
        const CPoint c = r.CenterPoint();
        const int dx = r.Width() / 4;
        const int dy = std::abs(r.Height()) / 4;
        const std::string seen = QuadrantsSeen([&](CPoint p) {
            return bitmap.AtLogical(CPoint(c.x + (p.x > 0 ? dx : -dx), c.y + (p.y > 0 ? dy : -dy)));
        });
        EXPECT_EQ(seen, i >= 2 ? "GRYB" : "RGBY") << "object " << i;
    }
    pDoc->OnCloseDocument();
    Pump();
}

// A picture in a memory bitmap of its own, in MM_TEXT (y down).
class MemoryCanvas {
public:
    MemoryCanvas(int cx, int cy, COLORREF fill)
    {
        CDC screen;
        screen.Attach(::GetDC(NULL));
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        ::ReleaseDC(NULL, screen.Detach());
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, cx, cy, fill);
    }
    ~MemoryCanvas() { m_dc.SelectObject(m_pOld); }
    CDC* Dc() { return &m_dc; }
    COLORREF At(int x, int y) { return m_dc.GetPixel(x, y) & 0xFFFFFF; }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

TEST_F(ImageDrawTest, ARotatedPictureIsClippedToItsCornersOnScreenButNotOnPaper)
{
    CDrawRect* pObj = InsertPicture(Bmp(Raster(40, 40, kRed), "red.bmp"), TRUE);
    CImage& picture = *pObj->m_pPicture;
    picture.m_nRotation = 45;
    // A diamond through the middles of the sides.
    const POINT corners[4] = {{0, 200}, {200, 0}, {0, -200}, {-200, 0}};
    picture.SetCorners(corners);
    const CPoint corner(-180, 180);
    const CPoint middle(0, 0);
    {
        modeltest::ViewBitmap bitmap(m_pView);
        ASSERT_TRUE(picture.Draw(bitmap.Dc(), kObject, kObject, CRect()));
        EXPECT_EQ(bitmap.AtLogical(corner), kWhite);
        EXPECT_TRUE(Near(bitmap.AtLogical(middle), kRed)) << Hex(bitmap.AtLogical(middle));
        // Told that a shape's region clips it, the picture adds no polygon.
        bitmap.Clear();
        ASSERT_TRUE(picture.Draw(bitmap.Dc(), kObject, kObject, CRect(), FALSE, FALSE, TRUE));
        EXPECT_TRUE(Near(bitmap.AtLogical(corner), kRed));
    }
    {
        // Corners never set (as read from a design) clip nothing away.
        picture.SetCorners(std::array<POINT, 4>{}.data());
        modeltest::ViewBitmap bitmap(m_pView);
        ASSERT_TRUE(picture.Draw(bitmap.Dc(), kObject, kObject, CRect()));
        EXPECT_TRUE(Near(bitmap.AtLogical(corner), kRed));
        picture.SetCorners(corners);
    }
    modeltest::PrintedPage page;
    const bool bPrinted = page.Print(m_pView, [&](CDC* pDC) { picture.Draw(pDC, kObject, kObject, CRect()); }, 50);
    if (page.m_bNoRenderer)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_TRUE(bPrinted) << page.m_strError;
    EXPECT_TRUE(Near(page.At(corner.x, corner.y), kRed)) << Hex(page.At(corner.x, corner.y));
}

TEST_F(ImageDrawTest, APlaceholderShowsDiagonalsOnScreenAndThePictureOnPaper)
{
    CDrawRect* pObj = InsertPicture(Bmp(Raster(40, 40, kGreen), "green.bmp"), TRUE);
    CImage& picture = *pObj->m_pPicture;
    picture.SetWordFlag(IMAGE_FLAG_PLACEHOLDER, TRUE);
    {
        modeltest::ViewBitmap bitmap(m_pView);
        ASSERT_TRUE(picture.Draw(bitmap.Dc(), kObject, kObject, CRect()));
        // No picture, and dark dashes along both diagonals.
        EXPECT_EQ(bitmap.AtLogical(CPoint(-100, 50)), kWhite);
        int nOnFirst = 0;
        int nOnSecond = 0;
        for (int t = -190; t <= 190; t += 4) {
            nOnFirst += bitmap.ColorsAround(CPoint(t, -t), 1).count(kBlack) ? 1 : 0;
            nOnSecond += bitmap.ColorsAround(CPoint(t, t), 1).count(kBlack) ? 1 : 0;
        }
        EXPECT_GT(nOnFirst, 20);
        EXPECT_GT(nOnSecond, 20);
        // Dashed, not solid.
        EXPECT_LT(nOnFirst, 95);
    }
    modeltest::PrintedPage page;
    const bool bPrinted = page.Print(m_pView, [&](CDC* pDC) { picture.Draw(pDC, kObject, kObject, CRect()); }, 50);
    if (page.m_bNoRenderer)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_TRUE(bPrinted) << page.m_strError;
    EXPECT_TRUE(Near(page.At(-100, 50), kGreen)) << Hex(page.At(-100, 50));
}

TEST(ImageTileTest, TileCountsCoverTheDestination)
{
    struct Case {
        CRect dest;
        CSize tile;
        int nAcross, nDown, nStepX, nStepY;
    };
    const Case cases[] = {
        {CRect(0, 0, 100, 50), CSize(30, 50), 4, 1, 3, 1},   // 3 x 30 falls short of 100
        {CRect(0, 0, 90, 100), CSize(30, 25), 3, 4, 3, 4},   // exact fits need no extra tile
        {CRect(0, 0, 20, 20), CSize(40, 40), 1, 1, 1, 1},    // a picture larger than the place
        {CRect(100, 0, 0, -60), CSize(30, 20), 4, 3, 3, 3},  // inverted rectangles count their size
        {CRect(0, 0, 0, 0), CSize(30, 20), 1, 1, 1, 1},      // nothing to cover: still one
        {CRect(0, 0, 100, 100), CSize(0, -5), 1, 1, 1, 1},   // no tile size: one
    };
    CImage image;
    for (const Case& c : cases) {
        int nAcross = 0;
        int nDown = 0;
        int nStepX = 0;
        int nStepY = 0;
        image.GetTileCounts(c.dest, c.tile, nAcross, nDown, nStepX, nStepY);
        EXPECT_EQ(nAcross, c.nAcross) << c.dest.left << "," << c.dest.right << " / " << c.tile.cx;
        EXPECT_EQ(nDown, c.nDown) << c.dest.top << "," << c.dest.bottom << " / " << c.tile.cy;
        EXPECT_EQ(nStepX, c.nStepX);
        EXPECT_EQ(nStepY, c.nStepY);
    }
}

TEST_F(ImageDrawTest, ATiledPictureRepeatsOverItsPlace)
{
    // 20 x 20: red left half, blue right half; drawn tiled into 50 x 20.
    Raster r(20, 20, kRed);
    r.Fill(10, 0, 20, 20, kBlue);
    CImage picture(Bmp(r, "tile.bmp").c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    picture.SetWordFlag(IMAGE_FLAG_TILED, TRUE);
    picture.m_nOneShot1 = 1;
    MemoryCanvas canvas(60, 30, kWhite);
    ASSERT_TRUE(picture.Draw(canvas.Dc(), CRect(0, 0, 50, 20), CRect(0, 0, 50, 20), CRect()));
    EXPECT_EQ(picture.m_nOneShot1, 0);
    for (int x : {4, 24, 44})
        EXPECT_TRUE(Near(canvas.At(x, 10), kRed)) << x << " " << Hex(canvas.At(x, 10));
    for (int x : {15, 35})
        EXPECT_TRUE(Near(canvas.At(x, 10), kBlue)) << x << " " << Hex(canvas.At(x, 10));
    // The last tile is cut at the place's edge.
    EXPECT_EQ(canvas.At(55, 10), kWhite);
    // A one-pixel picture tiled over a large place still covers it, in a
    // bounded number of paints.
    CImage dot(Bmp(Raster(1, 1, kRed), "dot.bmp").c_str(), CImage::kDefaultLoadMode);
    dot.SetWordFlag(IMAGE_FLAG_TILED, TRUE);
    dot.m_nOneShot1 = 1;
    MemoryCanvas large(3000, 2000, kWhite);
    ASSERT_TRUE(dot.Draw(large.Dc(), CRect(0, 0, 3000, 2000), CRect(0, 0, 3000, 2000), CRect()));
    EXPECT_TRUE(Near(large.At(2999, 1999), kRed));
    EXPECT_TRUE(Near(large.At(1500, 1000), kRed));
    // Without the one-shot value the picture is drawn once, stretched.
    MemoryCanvas once(60, 30, kWhite);
    ASSERT_TRUE(picture.Draw(once.Dc(), CRect(0, 0, 50, 20), CRect(0, 0, 50, 20), CRect()));
    EXPECT_TRUE(Near(once.At(20, 10), kRed));
    EXPECT_TRUE(Near(once.At(30, 10), kBlue));
}

TEST_F(ImageDrawTest, DrawRasterMirrorsByANegativePrinterViewport)
{
    if (std::system("pdftoppm -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    CImage picture(Bmp(Quadrants(), "quadrants.bmp").c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    constexpr int kDpi = 50;
    CRect device;
    int nPrinterDpi = 0;
    modeltest::PrintedPage page;
    const bool bPrinted = page.Print(m_pView, [&](CDC* pDC) {
        // The page seen in a mirror: x runs the other way.
        const CSize ext = pDC->GetViewportExt();
        pDC->SetViewportExt(-ext.cx, ext.cy);
        const CPoint origin = pDC->GetViewportOrg();
        nPrinterDpi = pDC->GetDeviceCaps(LOGPIXELSX);
        pDC->SetViewportOrg(origin.x + nPrinterDpi * m_pView->GetPageSize().cx / 100, origin.y);
        ASSERT_TRUE(picture.DrawRaster(pDC, kObject));
        device = kObject;
        pDC->LPtoDP(&device);
    }, kDpi);
    ASSERT_TRUE(bPrinted) << page.m_strError;
    ASSERT_GT(nPrinterDpi, 0);
    EXPECT_TRUE(picture.m_wFlags & IMAGE_FLAG_MIRROR_X);
    device.NormalizeRect();
    // Printer device units to the rendered page, whose printable area
    // starts a quarter inch in.
    auto at = [&](double fx, double fy) {
        const int x = int((device.left + fx * device.Width()) * kDpi / nPrinterDpi) + kDpi / 4;
        const int y = int((device.top + fy * device.Height()) * kDpi / nPrinterDpi) + kDpi / 4;
        return page.Pixel(x, y);
    };
    EXPECT_TRUE(Near(at(0.25, 0.25), kGreen)) << Hex(at(0.25, 0.25));
    EXPECT_TRUE(Near(at(0.75, 0.25), kRed)) << Hex(at(0.75, 0.25));
    EXPECT_TRUE(Near(at(0.25, 0.75), kYellow)) << Hex(at(0.25, 0.75));
}

// What shows where the picture is clear and where it is not, over a
// coloured rectangle, on screen and on paper.
struct SeenOver {
    COLORREF clear;
    COLORREF solid;
};

class ImageOverColourTest : public ImageDrawTest {
protected:
    // The picture's clear part is its left half, its solid part the right.
    SeenOver OnScreenOver(CImage& picture)
    {
        modeltest::ViewBitmap bitmap(m_pView);
        FillLogical(bitmap.Dc(), CRect(-300, 300, 300, -300), kUnder);
        EXPECT_TRUE(picture.Draw(bitmap.Dc(), kObject, kObject, CRect()));
        return {bitmap.AtLogical(CPoint(-150, 0)), bitmap.AtLogical(CPoint(150, 0))};
    }
    // Empty colours (all bits set) when pdftoppm is missing.
    SeenOver OnPaperOver(CImage& picture)
    {
        modeltest::PrintedPage page;
        const bool bPrinted = page.Print(m_pView, [&](CDC* pDC) {
            FillLogical(pDC, CRect(-300, 300, 300, -300), kUnder);
            picture.Draw(pDC, kObject, kObject, CRect());
        }, 50);
        if (page.m_bNoRenderer)
            return {CLR_INVALID, CLR_INVALID};
        EXPECT_TRUE(bPrinted) << page.m_strError;
        return {page.At(-150, 0), page.At(150, 0)};
    }
    void ExpectOver(CImage& picture, COLORREF crSolid)
    {
        const SeenOver screen = OnScreenOver(picture);
        EXPECT_TRUE(Near(screen.clear, kUnder)) << "screen, clear part: " << Hex(screen.clear);
        EXPECT_TRUE(Near(screen.solid, crSolid)) << "screen, solid part: " << Hex(screen.solid);
        const SeenOver paper = OnPaperOver(picture);
        if (paper.clear == CLR_INVALID)
            return;
        EXPECT_TRUE(Near(paper.clear, kUnder)) << "paper, clear part: " << Hex(paper.clear);
        EXPECT_TRUE(Near(paper.solid, crSolid)) << "paper, solid part: " << Hex(paper.solid);
    }
};

TEST_F(ImageOverColourTest, ATransparentColourShowsWhatIsBelow)
{
    Raster r(40, 40, kRed);
    r.Fill(20, 0, 40, 40, kGreen);
    CImage picture(Bmp(r, "keyed.bmp").c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    const COLORREF crKey = kRed;
    picture.SetTransparency(TRUE, &crKey);
    ExpectOver(picture, kGreen);
    // Painted plainly, the colour is the picture's own again.
    picture.m_nPlainPaint = 1;
    EXPECT_TRUE(Near(OnScreenOver(picture).clear, kRed));

    // A picture of nothing but its transparent colour leaves its place as
    // it was, translucent or not.
    CImage clear(Bmp(Raster(16, 16, kRed), "all-key.bmp").c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(clear.IsRaster());
    clear.SetTransparency(TRUE, &crKey);
    for (BOOL bTranslucent : {FALSE, TRUE}) {
        clear.SetWordFlag(IMAGE_FLAG_TRANSLUCENT, bTranslucent);
        const SeenOver seen = OnScreenOver(clear);
        EXPECT_EQ(seen.clear, kUnder) << Hex(seen.clear);
        EXPECT_EQ(seen.solid, kUnder) << Hex(seen.solid);
    }
}

TEST_F(ImageOverColourTest, AnAlphaPngShowsWhatIsBelowWhereItIsClear)
{
    const std::string path = WriteHalfClearPng(m_dir + "/half.png", 40, 40);
    ASSERT_FALSE(path.empty());
    CImage picture(path.c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    ExpectOver(picture, kGreen);
}

TEST_F(ImageOverColourTest, AnIconCompositeShowsWhatIsBelowThroughItsMask)
{
    // The image is black where the mask is white (clear), as in icons.
    Raster image(32, 32, kBlack);
    image.Fill(16, 0, 32, 32, kGreen);
    Raster mask(32, 32, kWhite);
    mask.Fill(16, 0, 32, 32, kBlack);
    CImage picture;
    picture.m_children.m_pImage = new CImage(Bmp(image, "icon-image.bmp").c_str(), CImage::kDefaultLoadMode);
    picture.m_children.m_pMask = new CImage(Bmp(mask, "icon-mask.bmp").c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.m_children.m_pImage->IsRaster());
    ASSERT_TRUE(picture.m_children.m_pMask->IsRaster());
    picture.m_nHandle = kImageComposite;
    ExpectOver(picture, kGreen);
}

TEST_F(ImageOverColourTest, ATiledIconShowsFourTimesThroughItsMask)
{
    Raster image(32, 32, kBlack);
    image.Fill(16, 0, 32, 32, kGreen);
    Raster mask(32, 32, kWhite);
    mask.Fill(16, 0, 32, 32, kBlack);
    CImage picture;
    picture.m_children.m_pImage = new CImage(Bmp(image, "icon-image.bmp").c_str(), CImage::kDefaultLoadMode);
    picture.m_children.m_pMask = new CImage(Bmp(mask, "icon-mask.bmp").c_str(), CImage::kDefaultLoadMode);
    picture.m_nHandle = kImageComposite;
    picture.SetWordFlag(IMAGE_FLAG_TILED, TRUE);
    picture.m_nOneShot1 = 1;
    MemoryCanvas canvas(80, 80, kUnder);
    ASSERT_TRUE(picture.Draw(canvas.Dc(), CRect(0, 0, 80, 80), CRect(0, 0, 80, 80), CRect()));
    EXPECT_EQ(picture.m_children.m_nTranslucent, 0);
    for (int y : {20, 60}) {
        for (int x : {10, 50})
            EXPECT_TRUE(Near(canvas.At(x, y), kUnder)) << x << "," << y << " " << Hex(canvas.At(x, y));
        for (int x : {30, 70})
            EXPECT_TRUE(Near(canvas.At(x, y), kGreen)) << x << "," << y << " " << Hex(canvas.At(x, y));
    }
}

TEST_F(ImageOverColourTest, ATranslucentPictureShowsAtHalfStrength)
{
    CImage picture(Bmp(Raster(40, 40, kRed), "red.bmp").c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    picture.SetWordFlag(IMAGE_FLAG_TRANSLUCENT, TRUE);
    const COLORREF half = RGB(255 / 2, 128 / 2, 255 / 2);
    const SeenOver screen = OnScreenOver(picture);
    EXPECT_TRUE(Near(screen.solid, half, 12)) << Hex(screen.solid);
    const SeenOver paper = OnPaperOver(picture);
    if (paper.solid != CLR_INVALID) {
        EXPECT_TRUE(Near(paper.solid, half, 16)) << Hex(paper.solid);
    }
}

// The bounding box of the dark pixels of a canvas area.
CRect InkBox(MemoryCanvas& canvas, int cx, int cy)
{
    CRect box(cx, cy, -1, -1);
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            if (GetRValue(canvas.At(x, y)) < 128) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    return box;
}

TEST_F(ImageDrawTest, ACaptionFitsItsPlace)
{
    int nPreviousHeight = 0;
    for (const CSize size : {CSize(60, 40), CSize(120, 40), CSize(240, 80)}) {
        MemoryCanvas canvas(300, 100, kWhite);
        CImage::DrawCaption(canvas.Dc(), size.cx, size.cy, "Transparent");
        const CRect ink = InkBox(canvas, 300, 100);
        ASSERT_FALSE(ink.IsRectEmpty()) << size.cx;
        EXPECT_GE(ink.left, 0);
        EXPECT_LE(ink.right, size.cx);
        EXPECT_LE(ink.bottom, size.cy);
        // Centred across, and larger where there is room.
        EXPECT_LE(std::abs(ink.left - (size.cx - ink.right)), 3) << size.cx;
        EXPECT_GT(ink.Height(), nPreviousHeight);
        nPreviousHeight = ink.Height();
    }
    // No room at all: nothing, and no endless search.
    MemoryCanvas tiny(20, 20, kWhite);
    CImage::DrawCaption(tiny.Dc(), 2, 1, "Transparent");
    EXPECT_TRUE(InkBox(tiny, 20, 20).IsRectEmpty());
}

TEST_F(ImageDrawTest, AnEmptyOrFailedPictureDrawsNothingAndAnswersTrue)
{
    MemoryCanvas canvas(40, 40, kUnder);
    CImage empty;
    EXPECT_TRUE(empty.Draw(canvas.Dc(), CRect(0, 0, 40, 40), CRect(0, 0, 40, 40), CRect()));
    EXPECT_TRUE(empty.DrawRaster(canvas.Dc(), CRect(0, 0, 40, 40)));
    EXPECT_TRUE(empty.DrawTranslucent(canvas.Dc(), CRect(0, 0, 40, 40), CRect(), FALSE, TRUE, SRCINVERT, SRCAND,
        SRCINVERT));
    // An engine code left by a load that failed.
    CImage failed;
    failed.m_nHandle = -11;
    EXPECT_TRUE(failed.Draw(canvas.Dc(), CRect(0, 0, 40, 40), CRect(0, 0, 40, 40), CRect()));
    // A handle the engine does not know.
    CImage stale;
    stale.m_nHandle = 30000;
    EXPECT_TRUE(stale.Draw(canvas.Dc(), CRect(0, 0, 40, 40), CRect(0, 0, 40, 40), CRect()));
    EXPECT_EQ(canvas.At(20, 20), kUnder);
    // A raster into an empty place.
    CImage picture(Bmp(Raster(8, 8, kRed), "red.bmp").c_str(), CImage::kDefaultLoadMode);
    EXPECT_TRUE(picture.Draw(canvas.Dc(), CRect(10, 10, 10, 30), CRect(), CRect()));
    EXPECT_EQ(canvas.At(10, 20), kUnder);
}

TEST_F(ImageDrawTest, ARenderedPictureShowsTheFileTheRightWayRound)
{
    CImage picture(Bmp(Quadrants(), "quadrants.bmp").c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    HBITMAP hBitmap = picture.RenderMetaFile(80, 40);
    ASSERT_NE(hBitmap, nullptr);
    CBitmap bitmap;
    bitmap.Attach(hBitmap);
    CDC screen;
    screen.Attach(::GetDC(NULL));
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    ::ReleaseDC(NULL, screen.Detach());
    CBitmap* pOld = dc.SelectObject(&bitmap);
    // MM_TEXT runs the right way round: the file as it is.
    EXPECT_TRUE(Near(dc.GetPixel(10, 10), kRed));
    EXPECT_TRUE(Near(dc.GetPixel(70, 30), kYellow));
    dc.SelectObject(pOld);
}

} // namespace
