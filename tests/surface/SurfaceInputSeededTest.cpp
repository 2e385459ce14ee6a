#include "tests/surface/SurfaceInputDriver.h"
#include "tests/surface/SurfaceInputTestSupport.h"

#include <random>
#include <string>
#include <vector>

namespace surfacetest {

// The fuzz target's road with fixed input: ten thousand events of mouse and
// keys from one seeded stream, cut into ten runs of a thousand, each on a
// new design of fifty objects. The selection stays inside the objects after
// every event, and at the end of each run undoing every step and redoing
// them all gives back each object as it was. The runs are separate tests
// so that they can run side by side: almost all of their time is the
// view's own painting, which a busy machine slows down many times over.
constexpr int kSeededRuns = 10;
constexpr int kEventsPerRun = 1000;
constexpr size_t kBytesPerEvent = 3;

class SurfaceInputSeededTest
    : public SurfaceInputTest
    , public ::testing::WithParamInterface<int> {
protected:
    // The whole stream, the same for every run: run n takes its n-th
    // thousand events.
    static std::vector<uint8_t> SeededBytes()
    {
        std::mt19937 random(20261207);
        std::vector<uint8_t> bytes(kBytesPerEvent * kEventsPerRun * kSeededRuns);
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random());
        return bytes;
    }
};

TEST_P(SurfaceInputSeededTest, AThousandEventsKeepTheSelectionInsideAndUndoRedoExact)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    surfaceinput::PopulateDesign(pView);
    ASSERT_EQ(pView->GetObjects().GetCount(), 50);
    const std::vector<std::string> start = surfaceinput::SurfaceState(pView);

    const std::vector<uint8_t> bytes = SeededBytes();
    const size_t nRunBytes = kBytesPerEvent * kEventsPerRun;
    surfaceinput::ByteReader in(bytes.data() + GetParam() * nRunBytes, nRunBytes);
    const HWND hView = pView->m_hWnd;
    // Events are numbered along the whole stream, so that a failure names
    // the same event whichever run meets it.
    const int nFirst = GetParam() * kEventsPerRun;
    int nEvent = nFirst;
    while (!in.AtEnd()) {
        surfaceinput::RunEvent(pView, in);
        s_nIdleEscapes = kIdleEscapes;
        ++nEvent;
        ASSERT_TRUE(::IsWindow(hView)) << "the design closed at event " << nEvent;
        const std::string problem = surfaceinput::CheckSelection(pView);
        ASSERT_TRUE(problem.empty()) << problem << " after event " << nEvent;
    }
    EXPECT_EQ(nEvent - nFirst, kEventsPerRun);
    // The events reached the objects.
    EXPECT_NE(surfaceinput::SurfaceState(pView), start);
    const std::string undo = surfaceinput::CheckUndoRedo(pView);
    EXPECT_TRUE(undo.empty()) << undo << " after event " << nEvent;
}

INSTANTIATE_TEST_SUITE_P(TenThousandEvents, SurfaceInputSeededTest, ::testing::Range(0, kSeededRuns),
    [](const ::testing::TestParamInfo<int>& info) {
        return "Events" + std::to_string(info.param * kEventsPerRun + 1) + "To"
            + std::to_string((info.param + 1) * kEventsPerRun);
    });

} // namespace surfacetest
