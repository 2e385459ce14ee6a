// The headless side of the wrapped-text end-to-end road: the design the
// road saved on the real display, opened here as File > Open does, and its
// page drawn headless at the size the screen showed it, so that the script
// can set the screenshot's text against this drawing.
//
// Runs only when the road sets THREADWICK_WRAPTEXT_ROAD_FILE (the design,
// a host path), THREADWICK_WRAPTEXT_ROAD_SIZE ("cx cy": the page's pixels on
// the screen) and THREADWICK_WRAPTEXT_ROAD_OUT (a folder). It writes there
// page.ppm, the page's objects on white at that size, and text.txt: the
// zoom drawn at, then per object holding wrapped text a line "object
// <angle in degrees>" followed by its text, each character as its decimal
// code, so that line breaks survive.

#include "tests/e2e/RoadDrawSupport.h"

#include <gtest/gtest.h>

namespace {

class WrapTextRoadDraw : public road_draw::RoadDrawTest {
protected:
    WrapTextRoadDraw()
        : RoadDrawTest("THREADWICK_WRAPTEXT_ROAD_FILE", "THREADWICK_WRAPTEXT_ROAD_SIZE",
              "THREADWICK_WRAPTEXT_ROAD_OUT", "wraptextroad")
    {
    }
};

TEST_F(WrapTextRoadDraw, DrawsTheSavedDesignAsTheScreenShowedIt)
{
    DrawSavedDesign([](CDrawObj* pObj, std::ostream& text) {
        if (!pObj->HasWrappedText())
            return false;
        text << "object " << pObj->GetRoundedAngle() << "\n";
        return true;
    });
}

} // namespace
