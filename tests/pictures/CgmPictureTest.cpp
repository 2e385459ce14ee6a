// CGM pictures through the program's own road: the import filter module
// loaded from the program folder, a picture object given a CGM file, the
// design saved and opened again, and the filter's path limit met exactly.

#include "tests/pictures/RoadDesignSupport.h"

#include "pictures/CgmFilter.h"
#include "pictures/Image.h"
#include "pictures/MetaFileInfo.h"
#include "platform/ui/Headless.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string PlotutilsCgm(const char* name)
{
    return std::string(THREADWICK_SOURCE_DIR) + "/tests/data/cgm/" + name;
}

class CgmPictureTest : public road_design::RoadDesignTest {
protected:
    CgmPictureTest()
        : RoadDesignTest("THREADWICK_CGM_ROAD_DIR", "cgmroad")
    {
    }

    // A copy of a plotutils CGM at a path whose Windows form has exactly
    // `length` characters.
    std::string CopyWithWindowsLength(const char* name, size_t length)
    {
        std::string folder = m_dir + "/";
        const std::string fixed = platform::WindowsPathFor(m_dir) + "\\" + "\\x.cgm";
        if (fixed.size() >= length)
            return std::string();
        folder += std::string(length - fixed.size(), 'd');
        fs::create_directories(folder);
        const std::string host = folder + "/x.cgm";
        fs::copy_file(PlotutilsCgm(name), host, fs::copy_options::overwrite_existing);
        return platform::WindowsPathFor(host);
    }
};

// What a picture object shows at five points, drawn at 100 % with its
// frame's corner at the bitmap's.
std::vector<COLORREF> Looks(CDrawObj* pObj, const CRect& frame)
{
    CDC screen;
    screen.Attach(::GetDC(NULL));
    CDC dc;
    CBitmap bitmap;
    dc.CreateCompatibleDC(&screen);
    bitmap.CreateCompatibleBitmap(&screen, 400, 400);
    ::ReleaseDC(NULL, screen.Detach());
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 400, 400, RGB(255, 255, 255));
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, -100);
    dc.SetViewportExt(96, 96);
    dc.SetWindowOrg(frame.left - 10, frame.top + 10);
    pObj->Draw(&dc);
    const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
    const int dx = r.Width() / 5;
    const int dy = (r.top - r.bottom) / 5;
    const CPoint c((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    std::vector<COLORREF> seen;
    for (int i = -2; i <= 2; ++i)
        for (int j = -2; j <= 2; ++j)
            seen.push_back(dc.GetPixel(c.x + i * dx / 2, c.y + j * dy / 2) & 0xFFFFFF);
    dc.SelectObject(pOld);
    return seen;
}

TEST_F(CgmPictureTest, ACgmPictureInADesignIsSavedWithItAndOpensAsItShowed)
{
    const CRect frame(-300, 300, 300, -300);
    CSurface* pView = nullptr;
    CDrawDoc* pDoc = NewFramedDesign(frame, &pView);
    ASSERT_NE(pDoc, nullptr);
    fs::copy_file(PlotutilsCgm("graph-fill.cgm"), m_dir + "/fill.cgm", fs::copy_options::overwrite_existing);

    auto* pObj = new CDrawRect(CRect(-250, 250, 250, -250));
    pObj->SetPictureFile(platform::WindowsPathFor(m_dir + "/fill.cgm").c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_TRUE(pObj->HasPicture());
    EXPECT_EQ(pObj->m_pPicture->m_nHandle, kImageMetafile);
    SIZE natural{};
    pObj->m_pPicture->GetSize(natural, TRUE);
    EXPECT_EQ(natural.cx, 768);
    EXPECT_EQ(natural.cy, 768);
    pDoc->AddObject(pObj, pView);
    const std::vector<COLORREF> before = Looks(pObj, frame);
    EXPECT_NE(std::count(before.begin(), before.end(), RGB(255, 255, 255)), ptrdiff_t(before.size()));

    const std::string path = m_dir + "/cgm.gen";
    ASSERT_TRUE(pDoc->OnSaveDocument(platform::WindowsPathFor(path).c_str()));
    pDoc->OnCloseDocument();
    Pump();
    // The picture is kept in the design: it opens without its file.
    fs::remove(m_dir + "/fill.cgm");

    CDrawDoc* pCopy = Reopen(path);
    ASSERT_NE(pCopy, nullptr);
    CSurface* pCopyView = ViewOf(pCopy, 0);
    ASSERT_EQ(pCopyView->GetObjects().GetCount(), INT_PTR(2));
    POSITION pos = pCopyView->GetObjects().GetHeadPosition();
    pCopyView->GetObjects().GetNext(pos); // the frame
    auto* pBack = static_cast<CDrawRect*>(pCopyView->GetObjects().GetNext(pos));
    ASSERT_TRUE(pBack->HasPicture());
    EXPECT_EQ(pBack->m_pPicture->m_nHandle, kImageMetafile);
    pBack->m_pPicture->GetSize(natural, TRUE);
    EXPECT_EQ(natural.cx, 768);
    EXPECT_EQ(natural.cy, 768);
    EXPECT_EQ(Looks(pBack, frame), before);
    pCopy->OnCloseDocument();
    Pump();
}

TEST_F(CgmPictureTest, PathsOf123CharactersImportAnd124AreRefusedWithTheMessage)
{
    const std::string exact = CopyWithWindowsLength("pic-shapes.txt.cgm", 123);
    ASSERT_EQ(exact.size(), 123u);
    CMetaFileInfo holder;
    ASSERT_TRUE(holder.ImportCgm(exact.c_str()));
    EXPECT_TRUE(holder.HasMetaFile());
    EXPECT_EQ(holder.m_cxFrame, 768);
    EXPECT_EQ(holder.m_cyFrame, 768);
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
    EXPECT_TRUE(TheCgmFilter().IsUsable());

    const std::string longer = CopyWithWindowsLength("pic-shapes.txt.cgm", 124);
    ASSERT_EQ(longer.size(), 124u);
    CMetaFileInfo refused;
    EXPECT_FALSE(refused.ImportCgm(longer.c_str()));
    EXPECT_FALSE(refused.HasMetaFile());
    ASSERT_EQ(platform::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(platform::headless::MessageBoxes()[0].text,
        "The complete path name of a CGM file must be no longer than 123 characters.");
}

TEST_F(CgmPictureTest, AFileTheFilterCannotReadLeavesThePictureToTheEngine)
{
    // A CGM that stops inside its picture: the filter refuses it, and the
    // engine, which reads no CGM, reports the format.
    std::string bytes = testing_support::ReadFileBytes(PlotutilsCgm("graph-line.cgm"));
    bytes.resize(bytes.size() / 2);
    testing_support::WriteFileBytes(m_dir + "/cut.cgm", bytes);
    CMetaFileInfo holder;
    EXPECT_FALSE(holder.ImportCgm(platform::WindowsPathFor(m_dir + "/cut.cgm").c_str()));
    EXPECT_FALSE(holder.HasMetaFile());
    EXPECT_FALSE(holder.ImportCgm(platform::WindowsPathFor(m_dir + "/missing.cgm").c_str()));
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
    // Refused by the filter itself, which stays usable for the next file.
    EXPECT_TRUE(TheCgmFilter().IsUsable());
    fs::copy_file(PlotutilsCgm("graph-line.txt.cgm"), m_dir + "/whole.cgm", fs::copy_options::overwrite_existing);
    EXPECT_TRUE(holder.ImportCgm(platform::WindowsPathFor(m_dir + "/whole.cgm").c_str()));
}

} // namespace
