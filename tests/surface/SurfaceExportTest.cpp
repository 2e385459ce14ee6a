// Pictures of a surface and of a selected picture written to files: the save
// filter, the export of the surface in every format the engine writes (read
// back by ImageMagick), how a name without an extension is completed, the
// formats that cannot be written, Save Picture As of rasters and metafiles,
// and the zoom a preview is rendered at.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "app/main/DesignerApp.h"
#include "pictures/Image.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/Exception.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/User.h"
#include "resources/mainframe.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

using testing_support::DialogStep;
using testing_support::DriveActiveWindow;

// What ImageMagick says of a picture file.
struct Identified {
    std::string format;
    int cx = 0;
    int cy = 0;
};

Identified Identify(const std::string& hostPath)
{
    Identified id;
    const std::string command = "identify -format '%m %w %h\\n' '" + hostPath + "' 2> /dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return id;
    char format[32] = {};
    if (std::fscanf(pipe, "%31s %d %d", format, &id.cx, &id.cy) == 3)
        id.format = format;
    pclose(pipe);
    return id;
}

// The picture's pixels as ImageMagick reads them: 8-bit RGB, rows top down.
std::vector<unsigned char> MagickPixels(const std::string& hostPath, const Identified& id)
{
    std::vector<unsigned char> rgb;
    const std::string command = "convert '" + hostPath + "[0]' -depth 8 rgb:- 2> /dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return rgb;
    rgb.resize(size_t(id.cx) * size_t(id.cy) * 3);
    const size_t nRead = std::fread(rgb.data(), 1, rgb.size(), pipe);
    pclose(pipe);
    rgb.resize(nRead);
    return rgb;
}

COLORREF MagickPixel(const std::vector<unsigned char>& rgb, const Identified& id, CPoint pt)
{
    const size_t at = (size_t(pt.y) * size_t(id.cx) + size_t(pt.x)) * 3;
    if (pt.x < 0 || pt.y < 0 || pt.x >= id.cx || pt.y >= id.cy || at + 2 >= rgb.size())
        return CLR_INVALID;
    return RGB(rgb[at], rgb[at + 1], rgb[at + 2]);
}

COLORREF BitmapPixel(CBitmap& bitmap, CPoint pt)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    const COLORREF cr = dc.GetPixel(pt.x, pt.y) & 0xFFFFFF;
    dc.SelectObject(pOld);
    return cr;
}

CSize BitmapSize(CBitmap& bitmap)
{
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    return CSize(bm.bmWidth, bm.bmHeight);
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance
        && std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

bool FileExists(const std::string& hostPath)
{
    return std::filesystem::exists(hostPath);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The exact save filter: the open filter without icons, metafiles, DIBs and
// Photo CD, the write-only formats where the enhanced metafile stood.
constexpr const char kSaveFilter[] =
    "All Picture files|*.bmp;*.gif;*.jpg;*.pcx;*.png;*.psd;*.ras;*.tga;*.tif;*.wpg;*.cal;*.cmp;*.img;*.mac;*.msp;"
    "*.pct;*.ras|BMP - OS/2 or Windows Bitmap|*.bmp|CAL - CALS Raster|*.cal|CMP - LEAD Proprietary|*.cmp|"
    "IMG - GEM Paint|*.img|MAC - MacPaint|*.mac|MSP - Microsoft Paint|*.msp|GIF - Graphics Interchange Format|*.gif|"
    "JPG - JPEG|*.jpg|PCT - Microsoft Pict|*.pct|PCX - ZSoft Paintbrush|*.pcx|"
    "PNG - Portable Network Graphics file|*.png|PSD - PhotoShop 3.0|*.psd|RAS - Sun Raster Image|*.ras|"
    "TGA - Truevision Targa|*.tga|TIF - Tagged Image File Format |*.tif|WPG - Wordperfect Bitmap|*.wpg||";

// The type names of the filter, in order.
std::vector<std::string> TypeNames(const std::string& filter)
{
    std::vector<std::string> names;
    size_t at = 0;
    for (bool bName = true; at < filter.size(); bName = !bName) {
        const size_t bar = filter.find('|', at);
        if (bar == std::string::npos || bar == at)
            break;
        if (bName)
            names.push_back(filter.substr(at, bar - at));
        at = bar + 1;
    }
    return names;
}

class SurfaceExportTest : public SurfaceInputTest {
protected:
    CWinApp& MakeProgramApp() override { return MakeApp<CDesignerApp>(); }

    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT nType, UINT) {
            m_boxes.push_back(text);
            return (nType & MB_TYPEMASK) == MB_YESNO ? m_nQuestionAnswer : IDOK;
        });
        m_dir = testing_support::MakeTempDir("surfaceexport");
        m_pView = NewView();
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetAfxMessageBoxHandler(nullptr);
        SurfaceInputTest::TearDown();
    }

    std::string Host(const std::string& name) const { return m_dir + "/" + name; }
    std::string Windows(const std::string& name) const { return platform::WindowsPathFor(Host(name)); }

    CDrawRect* Block(const CRect& rect, COLORREF cr)
    {
        CDrawRect* pObj = AddRect(m_pView, rect);
        pObj->m_bFill = TRUE;
        pObj->m_bOutline = FALSE;
        pObj->m_logbrush.lbStyle = BS_SOLID;
        pObj->m_logbrush.lbColor = cr;
        return pObj;
    }

    // Answers the save dialog titled pszTitle: notes its type names, picks
    // type nType (0-based; -1 keeps the first) and saves under strName.
    DialogStep SaveAs(const char* pszTitle, const std::string& strName, int nType = -1)
    {
        return [this, pszTitle, strName, nType](HWND hDlg) {
            HWND hTypes = testing_support::FindDescendant(hDlg, cmb1);
            if (testing_support::WindowTitle(hDlg) != pszTitle || hTypes == NULL || ::GetDlgItem(hDlg, edt1) == NULL)
                return false;
            m_types.clear();
            const int nCount = int(::SendMessage(hTypes, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < nCount; ++i) {
                char text[128] = {};
                if (::SendMessage(hTypes, CB_GETLBTEXTLEN, WPARAM(i), 0) < LRESULT(sizeof text))
                    ::SendMessage(hTypes, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
                m_types.push_back(text);
            }
            if (nType >= 0) {
                ::SendMessage(hTypes, CB_SETCURSEL, WPARAM(nType), 0);
                ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), LPARAM(hTypes));
            }
            ::SetDlgItemText(hDlg, edt1, strName.c_str());
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        };
    }
    // Answers a Yes/No question box with Yes.
    static DialogStep AnswerYes()
    {
        return [](HWND hBox) {
            if (::GetDlgItem(hBox, IDYES) == NULL)
                return false;
            ::PostMessage(hBox, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
            return true;
        };
    }

    void Command(UINT nID, std::vector<DialogStep> steps)
    {
        DriveActiveWindow(std::move(steps));
        m_pView->SendMessage(WM_COMMAND, nID, 0);
        Pump();
    }
    // Exports the surface under a name typed into the dialog.
    void Export(const std::string& strName, int nType = -1)
    {
        Command(ID_FILE_EXPORT_SURFACE, {SaveAs("Save As", Windows(strName), nType)});
    }

    // The index of a type in the dialog's list.
    static int TypeIndex(const char* pszPrefix)
    {
        const std::vector<std::string> names = TypeNames(kSaveFilter);
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i].rfind(pszPrefix, 0) == 0)
                return int(i);
        }
        return -1;
    }

    // The surface as the export draws it: the export area at the view's zoom.
    void RenderExportArea(CBitmap& bitmap)
    {
        const CRect area = m_pView->GetExportArea();
        ASSERT_TRUE(m_pView->RenderObjectsPicture(&bitmap, &area));
    }

    CSurface* m_pView = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    std::string m_dir;
    std::vector<std::string> m_boxes;
    std::vector<std::string> m_types;
    int m_nQuestionAnswer = IDNO;
};

TEST_F(SurfaceExportTest, BothCommandsOfferExactlyTheFormatsTheEngineWrites)
{
    // Export is offered only for a surface with something on it.
    Block(CRect(-50, 50, 50, -50), RGB(0, 0, 0));
    EXPECT_EQ(std::string(CSurface::BuildPictureSaveFilter()), kSaveFilter);

    Export("first.png");
    EXPECT_EQ(m_types, TypeNames(kSaveFilter));

    CDrawRect* pObj = Block(CRect(-100, 100, 100, -100), RGB(255, 0, 0));
    pObj->SetPictureFile(
        platform::WindowsPathFor(THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png").c_str(), TRUE,
        FALSE, FALSE, FALSE, FALSE, 0);
    m_pView->Select(pObj);
    m_types.clear();
    Command(ID_EDIT_SAVE_PICTURE_AS, {SaveAs("Save Picture As", Windows("second.png"))});
    EXPECT_EQ(m_types, TypeNames(kSaveFilter));
    EXPECT_TRUE(FileExists(Host("first.png")));
    EXPECT_TRUE(FileExists(Host("second.png")));
}

TEST_F(SurfaceExportTest, EveryWritableFormatReadsBackWithTheSurfacesSizeAndPixels)
{
    if (std::system("identify -version > /dev/null 2>&1") != 0 || std::system("convert -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's identify and convert are not installed";
    // A quarter of the screen size keeps the files small.
    m_pDoc->SetZoom(25);
    Pump();
    const CRect page = m_pView->GetPageRect();
    Block(CRect(page.left + 50, page.top - 50, page.left + 350, page.top - 350), RGB(0, 0, 0));
    Block(CRect(-150, 150, 150, -150), RGB(255, 0, 0));
    Block(CRect(page.right - 350, page.bottom + 350, page.right - 50, page.bottom + 50), RGB(0, 0, 255));
    CBitmap ours;
    RenderExportArea(ours);
    const CSize size = BitmapSize(ours);
    // Where the probes lie in the picture, from the logical points.
    const CRect area = m_pView->GetExportArea();
    auto at = [&](int x, int y) {
        return CPoint(::MulDiv(x - area.left, size.cx, area.Width()),
            ::MulDiv(area.top - y, size.cy, area.top - area.bottom));
    };
    const CPoint black = at(page.left + 200, page.top - 200);
    const CPoint red = at(0, 0);
    const CPoint blue = at(page.right - 200, page.bottom + 200);
    const CPoint paper = at(page.left + 200, 0);
    ASSERT_EQ(BitmapPixel(ours, black), RGB(0, 0, 0));
    ASSERT_EQ(BitmapPixel(ours, red), RGB(255, 0, 0));
    ASSERT_EQ(BitmapPixel(ours, blue), RGB(0, 0, 255));
    ASSERT_EQ(BitmapPixel(ours, paper), RGB(255, 255, 255));

    struct Format {
        const char* ext;
        const char* magick; // ImageMagick's name of the format
        int nTolerance;     // 0: lossless
        bool bTwoTone;      // only black and white survive
    };
    const Format formats[] = {
        {"bmp", "BMP3", 0, false}, {"cal", "CALS", 0, true}, {"gif", "GIF", 0, false}, {"jpg", "JPEG", 48, false},
        {"pct", "PICT", 0, false}, {"pcx", "PCX", 0, false}, {"png", "PNG", 0, false}, {"psd", "PSD", 0, false},
        {"ras", "SUN", 0, false}, {"tga", "TGA", 0, false}, {"tif", "TIFF", 0, false},
    };
    for (const Format& format : formats) {
        SCOPED_TRACE(format.ext);
        const std::string name = std::string("surface.") + format.ext;
        Export(name);
        ASSERT_TRUE(FileExists(Host(name)));
        const Identified id = Identify(Host(name));
        EXPECT_EQ(id.format, format.magick);
        EXPECT_EQ(id.cx, size.cx);
        EXPECT_EQ(id.cy, size.cy);
        const std::vector<unsigned char> rgb = MagickPixels(Host(name), id);
        for (CPoint probe : {black, red, blue, paper}) {
            const COLORREF expected = BitmapPixel(ours, probe);
            if (format.bTwoTone && expected != RGB(0, 0, 0) && expected != RGB(255, 255, 255))
                continue;
            EXPECT_TRUE(Near(MagickPixel(rgb, id, probe), expected, format.nTolerance))
                << "at " << probe.x << ", " << probe.y << ": " << std::hex << MagickPixel(rgb, id, probe) << " for "
                << expected;
        }
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SurfaceExportTest, ObjectsBeyondThePageWidenTheExportButNotThePreview)
{
    if (std::system("identify -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    m_pDoc->SetZoom(25);
    Pump();
    const CRect page = m_pView->GetPageRect();
    // Half of it to the right of the page, and below it.
    Block(CRect(page.right - 200, page.bottom + 100, page.right + 400, page.bottom - 300), RGB(0, 128, 0));
    const CRect area = m_pView->GetExportArea();
    EXPECT_EQ(area, CRect(page.left, page.top, page.right + 400, page.bottom - 300));

    Export("wide.png");
    const Identified id = Identify(Host("wide.png"));
    CBitmap pageOnly;
    ASSERT_TRUE(m_pView->RenderObjectsPicture(&pageOnly));
    const CSize pageSize = BitmapSize(pageOnly);
    EXPECT_NEAR(id.cx, pageSize.cx * double(page.Width() + 400) / page.Width(), 2.0);
    EXPECT_NEAR(id.cy, pageSize.cy * double(page.top - page.bottom + 300) / (page.top - page.bottom), 2.0);
    // The object's corner beyond the page is in the picture.
    const std::vector<unsigned char> rgb = MagickPixels(Host("wide.png"), id);
    EXPECT_EQ(MagickPixel(rgb, id, CPoint(id.cx - 3, id.cy - 3)), RGB(0, 128, 0));

    // A preview shows the page alone, in its proportions.
    CBitmap preview;
    ASSERT_TRUE(m_pView->RenderPreview(&preview, 250, 250));
    const CSize previewSize = BitmapSize(preview);
    EXPECT_NEAR(double(previewSize.cx) / previewSize.cy, double(page.Width()) / (page.top - page.bottom), 0.02);
}

TEST_F(SurfaceExportTest, ANameWithoutAWritableExtensionTakesTheChosenTypes)
{
    // Export is offered only for a surface with something on it.
    Block(CRect(-50, 50, 50, -50), RGB(0, 0, 0));
    Export("shirt", TypeIndex("PNG"));
    EXPECT_TRUE(FileExists(Host("shirt.png")));
    EXPECT_FALSE(FileExists(Host("shirt")));
    if (std::system("identify -version > /dev/null 2>&1") == 0) {
        EXPECT_EQ(Identify(Host("shirt.png")).format, "PNG");
    }

    // "All Picture files" writes a bitmap.
    Export("plain");
    EXPECT_TRUE(FileExists(Host("plain.bmp")));
    Export("dotted.", TypeIndex("GIF"));
    EXPECT_TRUE(FileExists(Host("dotted.gif")));

    // The engine writes no Photo CD: a name ending so gets the type's
    // extension rather than a bitmap under a Photo CD name.
    Export("notes.pcd", TypeIndex("JPG"));
    EXPECT_TRUE(FileExists(Host("notes.pcd.jpg")));
    EXPECT_FALSE(FileExists(Host("notes.pcd")));

    // An extension typed in another case is the format's all the same.
    Export("upper.GIF", TypeIndex("PNG"));
    EXPECT_TRUE(FileExists(Host("upper.GIF")));

    EXPECT_TRUE(m_boxes.empty());

    // Completing the name asks before replacing a file of the full name;
    // No brings the dialog back with that name.
    testing_support::WriteFileBytes(Host("kept.png"), "old");
    std::string strOffered;
    Command(ID_FILE_EXPORT_SURFACE, {SaveAs("Save As", Windows("kept"), TypeIndex("PNG")), [&](HWND hDlg) {
                                         if (::GetDlgItem(hDlg, edt1) == NULL)
                                             return false;
                                         strOffered = testing_support::ItemText(hDlg, edt1);
                                         ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                                         return true;
                                     }});
    EXPECT_EQ(testing_support::ReadFileBytes(Host("kept.png")), "old");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], Windows("kept.png") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(strOffered, "kept.png");
    m_nQuestionAnswer = IDYES;
    Command(ID_FILE_EXPORT_SURFACE, {SaveAs("Save As", Windows("kept"), TypeIndex("PNG"))});
    EXPECT_NE(testing_support::ReadFileBytes(Host("kept.png")), "old");
}

TEST_F(SurfaceExportTest, FormatsTheEngineCannotWriteLeaveNoFileAndKeepAnExistingOne)
{
    // Export is offered only for a surface with something on it.
    Block(CRect(-50, 50, 50, -50), RGB(0, 0, 0));
    CString strFailed;
    strFailed.LoadString(277);
    testing_support::WriteFileBytes(Host("kept.cmp"), "old bytes");
    Command(ID_FILE_EXPORT_SURFACE, {SaveAs("Save As", Windows("kept.cmp")), AnswerYes()});
    EXPECT_EQ(testing_support::ReadFileBytes(Host("kept.cmp")), "old bytes");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], static_cast<LPCTSTR>(strFailed));

    m_boxes.clear();
    Export("none.cmp");
    EXPECT_FALSE(FileExists(Host("none.cmp")));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], static_cast<LPCTSTR>(strFailed));

    // The other formats of the list beside it are written, without a word.
    for (const char* ext : {"img", "mac", "msp", "wpg"}) {
        SCOPED_TRACE(ext);
        m_boxes.clear();
        const std::string name = std::string("some.") + ext;
        Export(name);
        EXPECT_TRUE(FileExists(Host(name)));
        EXPECT_TRUE(m_boxes.empty());
    }
}

TEST_F(SurfaceExportTest, ASurfaceTooLargeForABitmapSaysSoAndAsksNothing)
{
    Block(CRect(100000, 100, 100100, 0), RGB(0, 0, 255));
    bool bDialog = false;
    DriveActiveWindow({[&bDialog](HWND hActive) {
        bDialog = ::GetDlgItem(hActive, edt1) != NULL;
        return false;
    }});
    m_pView->SendMessage(WM_COMMAND, ID_FILE_EXPORT_SURFACE, 0);
    Pump();
    EXPECT_FALSE(bDialog);
    EXPECT_EQ(m_boxes, std::vector<std::string>{"Not enough memory available"});
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));
}

TEST_F(SurfaceExportTest, OnAPaletteScreenThePictureOfTheSurfaceIsWrittenAllTheSame)
{
    CDrawRect* pObj = AddRect(m_pView, CRect(-200, 150, 200, -150));
    pObj->SetPictureFile(
        platform::WindowsPathFor(THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png").c_str(), TRUE,
        FALSE, FALSE, FALSE, FALSE, 0);
    m_pDoc->SetZoom(25);
    Pump();
    ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    const BOOL bWritten = m_pView->RenderToImage(Windows("palette.bmp").c_str());
    platform::SetScreenBitsPixel(0);
    EXPECT_TRUE(bWritten);
    EXPECT_TRUE(FileExists(Host("palette.bmp")));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SurfaceExportTest, RenderToImageWritesTheExportAreaInTheFormatOfItsExtension)
{
    if (std::system("identify -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    m_pDoc->SetZoom(50);
    Pump();
    const CRect page = m_pView->GetPageRect();
    Block(CRect(page.left - 300, 100, page.left + 100, -100), RGB(255, 0, 0));
    CBitmap ours;
    RenderExportArea(ours);
    const CSize size = BitmapSize(ours);
    ASSERT_TRUE(m_pView->RenderToImage(Windows("logo.jpg").c_str()));
    const Identified id = Identify(Host("logo.jpg"));
    EXPECT_EQ(id.format, "JPEG");
    EXPECT_EQ(CSize(id.cx, id.cy), size);
    // The picture starts with the object left of the page.
    const std::vector<unsigned char> rgb = MagickPixels(Host("logo.jpg"), id);
    EXPECT_TRUE(Near(MagickPixel(rgb, id, CPoint(4, id.cy / 2)), RGB(255, 0, 0), 48));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SurfaceExportTest, SavePictureAsWritesARasterAsItsFileHasIt)
{
    if (std::system("convert -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    // Red in the top-left corner, blue in the bottom-right one.
    const std::string source = Host("source.png");
    const std::string make = "convert -size 40x30 xc:white -fill red -draw 'rectangle 0,0 9,9' -fill blue "
                             "-draw 'rectangle 30,20 39,29' '" + source + "' 2> /dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);
    CDrawRect* pObj = AddRect(m_pView, CRect(-200, 150, 200, -150));
    pObj->SetPictureFile(platform::WindowsPathFor(source).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_TRUE(pObj->m_pPicture != nullptr && pObj->m_pPicture->IsRaster());
    m_pView->Select(pObj);
    // Drawn on the screen first, as a user sees it before saving.
    m_pView->UpdateWindow();
    m_pView->RedrawWindow();
    Pump();

    for (const char* name : {"copy.png", "copy.bmp", "copy.tif"}) {
        SCOPED_TRACE(name);
        Command(ID_EDIT_SAVE_PICTURE_AS, {SaveAs("Save Picture As", Windows(name))});
        const Identified id = Identify(Host(name));
        ASSERT_EQ(CSize(id.cx, id.cy), CSize(40, 30));
        const std::vector<unsigned char> rgb = MagickPixels(Host(name), id);
        EXPECT_EQ(MagickPixel(rgb, id, CPoint(2, 2)), RGB(255, 0, 0));
        EXPECT_EQ(MagickPixel(rgb, id, CPoint(37, 27)), RGB(0, 0, 255));
        EXPECT_EQ(MagickPixel(rgb, id, CPoint(37, 2)), RGB(255, 255, 255));
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SurfaceExportTest, SavePictureAsWritesAMetafileUprightAndKeepsTheDesignsMetafile)
{
    if (!testing_support::TestDataPresent())
        GTEST_SKIP() << testing_support::TestDataMissingNote();
    if (std::system("convert -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    int nCompared = 0;
    for (const char* file : {"github-caolanm_libwmf__ant.wmf", "github-caolanm_libwmf__2doorvan.wmf",
             "bin-libreoffice-dev-doc__burger.wmf"}) {
        SCOPED_TRACE(file);
        const std::string source = std::string(THREADWICK_TESTDATA_DIR) + "/wmf/" + file;
        CDrawRect* pObj = AddRect(m_pView, CRect(-200, 150, 200, -150));
        pObj->SetPictureFile(platform::WindowsPathFor(source).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        if (pObj->m_pPicture == nullptr || pObj->m_pPicture->m_nHandle != kImageMetafile)
            continue;
        m_pView->Select(pObj);
        m_pView->RedrawWindow();
        Pump();
        const std::string name = Lower(std::string(file)) + ".bmp";
        Command(ID_EDIT_SAVE_PICTURE_AS, {SaveAs("Save Picture As", Windows(name))});
        // The design's picture stays a metafile.
        EXPECT_EQ(pObj->m_pPicture->m_nHandle, kImageMetafile);
        const Identified id = Identify(Host(name));
        ASSERT_EQ(CSize(id.cx, id.cy), CSize(400, 300));
        const std::vector<unsigned char> rgb = MagickPixels(Host(name), id);

        // The metafile drawn upright by a fresh picture of the file.
        CImage upright(platform::WindowsPathFor(source).c_str(), CImage::kDefaultLoadMode);
        CBitmap reference;
        reference.Attach(upright.RenderMetaFile(400, 300));
        int nSame = 0;
        int nSameFlipped = 0;
        for (int y = 0; y < 300; y += 3) {
            for (int x = 0; x < 400; x += 3) {
                const COLORREF written = MagickPixel(rgb, id, CPoint(x, y));
                nSame += Near(written, BitmapPixel(reference, CPoint(x, y)), 24) ? 1 : 0;
                nSameFlipped += Near(written, BitmapPixel(reference, CPoint(x, 299 - y)), 24) ? 1 : 0;
            }
        }
        const int nProbes = 100 * 134;
        EXPECT_GT(nSame, nProbes * 95 / 100);
        if (nSameFlipped < nProbes * 95 / 100)
            ++nCompared;
        m_pView->SendMessage(WM_COMMAND, ID_EDIT_CLEAR);
        Pump();
    }
    // At least one of the pictures tells upright from upside down.
    EXPECT_GT(nCompared, 0);
    EXPECT_TRUE(m_boxes.empty());
}

class SurfacePreviewZoomTest : public SurfaceExportTest {
protected:
    // The zoom a preview of cx x cy is drawn at, from the client area as the
    // view measures it at 100 %.
    int ExpectedZoom(int cx, int cy)
    {
        CRect client;
        m_pView->GetClientRect(&client);
        m_pView->DPtoLPRect(&client);
        client.NormalizeRect();
        const CSize page = m_pView->GetPageSize();
        const double dFit = std::min(double(client.Width()) / page.cx, double(client.Height()) / page.cy);
        const double dWanted = std::max(double(cx) / client.Width(), double(cy) / client.Height());
        return std::clamp(int(dFit * dWanted * 100 + 0.5), 1, 500);
    }
    // The page's picture at a zoom, as the view draws it.
    CSize PageAtZoom(int nZoom)
    {
        const int nOld = m_pDoc->GetZoom();
        const CSize page = m_pView->GetPageSize();
        // A new zoom measures the document's page again.
        m_pDoc->SetZoom(nZoom);
        m_pView->SetPageSize(page);
        Pump();
        CBitmap bitmap;
        EXPECT_TRUE(m_pView->RenderObjectsPicture(&bitmap));
        m_pDoc->SetZoom(nOld);
        m_pView->SetPageSize(page);
        Pump();
        return BitmapSize(bitmap);
    }
    // nZoom, or the largest zoom below it that draws the page within cx x cy.
    int LargestZoomThatFits(int nZoom, int cx, int cy)
    {
        while (nZoom > 1 && (PageAtZoom(nZoom).cx > cx || PageAtZoom(nZoom).cy > cy))
            --nZoom;
        return nZoom;
    }
    // Sizes in pixels of the same zoom: where the page's corners fall
    // depends on the scroll position by a pixel.
    static void ExpectSameZoom(CSize a, CSize b)
    {
        EXPECT_NEAR(a.cx, b.cx, 1);
        EXPECT_NEAR(a.cy, b.cy, 1);
    }
};

TEST_F(SurfacePreviewZoomTest, APreviewFitsThePageToTheWindowScaledByTheLargerWantedRatio)
{
    // A page taller than wide.
    m_pView->SetPageSize(850, 1100);
    Pump();
    const CPoint ptScroll = m_pView->GetScrollPosition();
    const int nZoom = ExpectedZoom(100, 130);
    EXPECT_GT(nZoom, 1);
    EXPECT_LT(nZoom, 100);
    CBitmap preview;
    ASSERT_TRUE(m_pView->RenderPreview(&preview, 100, 130));
    // That zoom draws this page 102 x 132 here: the preview takes the
    // largest zoom below it that fits.
    ASSERT_GT(PageAtZoom(nZoom).cx, 100);
    ExpectSameZoom(BitmapSize(preview), PageAtZoom(LargestZoomThatFits(nZoom, 100, 130)));
    EXPECT_EQ(m_pView->GetZoom(), 100);
    EXPECT_EQ(m_pView->GetScrollPosition(), ptScroll);

    // A zoom that fits is kept.
    const int nFitting = ExpectedZoom(110, 140);
    ASSERT_EQ(LargestZoomThatFits(nFitting, 110, 140), nFitting);
    CBitmap roomier;
    ASSERT_TRUE(m_pView->RenderPreview(&roomier, 110, 140));
    ExpectSameZoom(BitmapSize(roomier), PageAtZoom(nFitting));

    // Far too small for a whole percent: the smallest zoom, never the
    // view's "fit in window".
    ASSERT_EQ(ExpectedZoom(2, 2), 1);
    CBitmap tiny;
    ASSERT_TRUE(m_pView->RenderPreview(&tiny, 2, 2));
    ExpectSameZoom(BitmapSize(tiny), PageAtZoom(1));
    EXPECT_EQ(m_pView->GetZoom(), 100);

    // The fixed zoom.
    CBitmap fixed;
    ASSERT_TRUE(m_pView->RenderPreview(&fixed, 0, 0, TRUE));
    ExpectSameZoom(BitmapSize(fixed), PageAtZoom(75));

    // Nothing to fit into.
    CBitmap none;
    EXPECT_FALSE(m_pView->RenderPreview(&none, 0, 130));
    EXPECT_EQ(none.GetSafeHandle(), nullptr);
    EXPECT_EQ(GetDesignerApp()->GetLockCount(), 0);
}

TEST_F(SurfacePreviewZoomTest, APreviewNeverPassesTheWantedSize)
{
    // A landscape page in a window a little wider than tall: fitting the
    // page to the window and scaling by the larger wanted ratio overshoots
    // by a quarter.
    m_pView->SetPageSize(1100, 850);
    SetClientSize(m_pView, 1000, 850);
    Pump();
    const int nPartZoom = ExpectedZoom(250, 250);
    ASSERT_GT(PageAtZoom(nPartZoom).cx, 280);
    CBitmap preview;
    ASSERT_TRUE(m_pView->RenderPreview(&preview, 250, 250));
    const CSize size = BitmapSize(preview);
    EXPECT_LE(size.cx, 250);
    EXPECT_LE(size.cy, 250);
    ExpectSameZoom(size, PageAtZoom(LargestZoomThatFits(nPartZoom, 250, 250)));
    EXPECT_GE(size.cx, 240);
    EXPECT_NEAR(double(size.cx) / size.cy, 1100.0 / 850.0, 0.03);
    EXPECT_EQ(m_pView->GetZoom(), 100);

    // A tall wanted size against the same page: its width decides.
    CBitmap tall;
    ASSERT_TRUE(m_pView->RenderPreview(&tall, 120, 400));
    EXPECT_LE(BitmapSize(tall).cx, 120);
    EXPECT_GE(BitmapSize(tall).cx, 110);
}

// An object whose drawing fails with an exception.
class CThrowingObj : public CDrawObj {
public:
    explicit CThrowingObj(const CRect& position)
        : CDrawObj(position)
    {
    }
    void Draw(CDC*) override { AfxThrowMemoryException(); }
};

TEST_F(SurfacePreviewZoomTest, TheViewGetsItsZoomAndTheWindowItsDrawingBackWhenRenderingFails)
{
    auto* pObj = new CThrowingObj(CRect(-100, 100, 100, -100));
    m_pView->Add(pObj);
    bool bThrown = false;
    try {
        CBitmap preview;
        m_pView->RenderPreview(&preview, 100, 130);
    } catch (CException* e) {
        e->Delete();
        bThrown = true;
    }
    EXPECT_TRUE(bThrown);
    EXPECT_EQ(m_pView->GetZoom(), 100);
    EXPECT_EQ(GetDesignerApp()->GetLockCount(), 0);
    EXPECT_FALSE(m_pView->IsRenderingPicture());
    m_pView->Remove(pObj);
    delete pObj;
}

TEST_F(SurfacePreviewZoomTest, AViewWithoutAClientAreaFitsThePageToTheWantedSize)
{
    SetClientSize(m_pView, 0, 0);
    CBitmap preview;
    ASSERT_TRUE(m_pView->RenderPreview(&preview, 250, 250));
    const CSize size = BitmapSize(preview);
    EXPECT_LE(std::max(size.cx, size.cy), 250);
    EXPECT_GE(std::max(size.cx, size.cy), 200);
}

} // namespace
} // namespace surfacetest
