#include "tests/surface/SurfaceInputDriver.h"
#include "tests/surface/SurfaceInputTestSupport.h"

#include <random>
#include <vector>

namespace surfacetest {

// The fuzz target's road with a fixed seed: ten thousand events of mouse
// and keys on a design of fifty objects. The selection stays inside the
// objects after every event, and undoing every step and redoing them all
// gives back each object as it was.
TEST_F(SurfaceInputTest, TenThousandSeededEventsKeepTheSelectionInsideAndUndoRedoExact)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    surfaceinput::PopulateDesign(pView);
    ASSERT_EQ(pView->GetObjects().GetCount(), 50);
    const std::vector<std::string> start = surfaceinput::SurfaceState(pView);

    std::mt19937 random(20261207);
    std::vector<uint8_t> bytes(3 * 10000);
    for (uint8_t& byte : bytes)
        byte = static_cast<uint8_t>(random());
    surfaceinput::ByteReader in(bytes.data(), bytes.size());
    const HWND hView = pView->m_hWnd;
    int nEvent = 0;
    while (!in.AtEnd()) {
        surfaceinput::RunEvent(pView, in);
        s_nIdleEscapes = kIdleEscapes;
        ++nEvent;
        ASSERT_TRUE(::IsWindow(hView)) << "the design closed at event " << nEvent;
        const std::string problem = surfaceinput::CheckSelection(pView);
        ASSERT_TRUE(problem.empty()) << problem << " after event " << nEvent;
        if (nEvent % 1000 == 0) {
            const std::string undo = surfaceinput::CheckUndoRedo(pView);
            ASSERT_TRUE(undo.empty()) << undo << " after event " << nEvent;
        }
    }
    EXPECT_EQ(nEvent, 10000);
    // The events reached the objects.
    EXPECT_NE(surfaceinput::SurfaceState(pView), start);
    const std::string undo = surfaceinput::CheckUndoRedo(pView);
    EXPECT_TRUE(undo.empty()) << undo;
}

} // namespace surfacetest
