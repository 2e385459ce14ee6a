#pragma once
// The headless side of an end-to-end road: the design the road saved on the
// real display, opened here as File > Open does, and its page drawn headless
// at the size the screen showed it, so that the road's script can set the
// screenshot against this drawing.
//
// With the road's file variable (a design, a host path), its size variable
// ("cx cy": the page's pixels on the screen) and its folder variable set, it
// writes
// there page.ppm, the page's objects on white at that size, and text.txt:
// the zoom drawn at, then per object the road asks about its description
// line followed by its text, each character as its decimal code, so that
// line breaks and Windows-1252 signs survive.

#include "tests/pictures/RoadDesignSupport.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace road_draw {

// The zoom at which the page's width on the screen is nearest to cx.
inline int ZoomForWidth(CSurface* pView, CDrawDoc* pDoc, int cx)
{
    int nBest = 100;
    int nBestMiss = 1 << 30;
    for (int nZoom = 10; nZoom <= 500; ++nZoom) {
        pDoc->SetZoom(nZoom);
        CRect page = pView->GetPageRect();
        pView->LPtoDPRect(&page);
        const int nMiss = std::abs(page.Width() - cx);
        if (nMiss < nBestMiss) {
            nBestMiss = nMiss;
            nBest = nZoom;
        }
    }
    return nBest;
}

inline bool WritePpm(const std::string& path, CBitmap& bitmap, int cx, int cy)
{
    std::vector<uint32_t> pixels(size_t(cx) * size_t(cy));
    BITMAPINFO info{};
    info.bmiHeader = platform::TopDownDibHeader(cx, cy, 32);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    if (::GetDIBits(dc.GetSafeHdc(), HBITMAP(bitmap.GetSafeHandle()), 0, UINT(cy), pixels.data(), &info,
            DIB_RGB_COLORS)
        != cy)
        return false;
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << cx << " " << cy << "\n255\n";
    for (uint32_t p : pixels) {
        const char rgb[3] = {char((p >> 16) & 0xFF), char((p >> 8) & 0xFF), char(p & 0xFF)};
        out.write(rgb, 3);
    }
    return bool(out);
}

// Writes the object's description line and returns true, or returns false
// for an object the road does not ask about.
using DescribeObject = std::function<bool(CDrawObj* pObj, std::ostream& out)>;

class RoadDrawTest : public road_design::RoadDesignTest {
protected:
    // The road's variables: pszOutVariable names the folder written to, a
    // temporary folder named pszTempName when unset.
    RoadDrawTest(const char* pszFileVariable, const char* pszSizeVariable, const char* pszOutVariable,
        const char* pszTempName)
        : RoadDesignTest(pszOutVariable, pszTempName)
        , m_pszFileVariable(pszFileVariable)
        , m_pszSizeVariable(pszSizeVariable)
        , m_pszOutVariable(pszOutVariable)
    {
    }

    void DrawSavedDesign(const DescribeObject& describe)
    {
        const char* pszFile = std::getenv(m_pszFileVariable);
        const char* pszSize = std::getenv(m_pszSizeVariable);
        if (pszFile == nullptr || pszSize == nullptr || std::getenv(m_pszOutVariable) == nullptr)
            GTEST_SKIP() << "drawn only for the end-to-end road";
        int cx = 0;
        int cy = 0;
        std::istringstream(pszSize) >> cx >> cy;
        ASSERT_GT(cx, 0);
        ASSERT_GT(cy, 0);
        ASSERT_LE(cx, 4000);
        ASSERT_LE(cy, 4000);

        CDrawDoc* pDoc = Reopen(pszFile);
        ASSERT_NE(pDoc, nullptr);
        CSurface* pView = ViewOf(pDoc, 0);
        ASSERT_NE(pView, nullptr);
        const int nZoom = ZoomForWidth(pView, pDoc, cx);
        pDoc->SetZoom(nZoom);
        Pump();

        std::ofstream text(m_dir + "/text.txt");
        text << "zoom " << nZoom << "\n";
        const CObList& objects = pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
            auto* pObj = dynamic_cast<CDrawObj*>(objects.GetNext(pos));
            if (pObj == nullptr || !describe(pObj, text))
                continue;
            const CString strText = pObj->GetText();
            for (int i = 0; i < strText.GetLength(); ++i)
                text << int(static_cast<unsigned char>(strText[i])) << (i + 1 < strText.GetLength() ? " " : "");
            text << "\n";
        }
        text.close();

        CBitmap bitmap;
        // The page at the view's zoom, which was chosen to give it cx pixels.
        ASSERT_TRUE(pView->RenderObjectsPicture(&bitmap));
        BITMAP info{};
        ASSERT_NE(bitmap.GetBitmap(&info), 0);
        EXPECT_TRUE(WritePpm(m_dir + "/page.ppm", bitmap, info.bmWidth, info.bmHeight));
    }

private:
    const char* m_pszFileVariable;
    const char* m_pszSizeVariable;
    const char* m_pszOutVariable;
};

} // namespace road_draw
