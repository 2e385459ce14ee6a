// Undo and redo of one move of 1,000 selected objects, against moving the
// same objects with MoveTo in the same run. Each step finds its objects by
// serial number in the view's list of 1,000.
//
// "x_moveto" is the time of one undo and one redo divided by the time of
// moving the objects back and forth directly (the best of a few, taken
// once): what the history adds to the moves.

#include "bench/BenchDesign.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "model/SurfaceInfo.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "surface/Surface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

constexpr int kObjects = 1000;
using Clock = std::chrono::steady_clock;

// A design with one windowless surface holding the objects.
class CBenchDesign : public bench::CWindowlessDesign {
public:
    CBenchDesign()
    {
        for (int i = 0; i < kObjects; ++i) {
            const int x = (i % 40) * 20;
            const int y = (i / 40) * 20;
            auto* pObj = new CDrawRect(CRect(x, y + 15, x + 15, y), i % SHAPE_KIND_COUNT);
            pObj->m_pDocument = this;
            m_pView->GetObjects().AddTail(pObj);
            pObj->SetSurface(m_pView);
            m_selection.AddTail(pObj);
        }
    }
    ~CBenchDesign() override { m_selection.RemoveAll(); }
    CObList m_selection;
};

void MoveAll(CBenchDesign& design, int d)
{
    for (POSITION pos = design.m_selection.GetHeadPosition(); pos != nullptr;) {
        auto* pObj = static_cast<CDrawObj*>(design.m_selection.GetNext(pos));
        CRect rect = pObj->m_position;
        rect.OffsetRect(d, d);
        pObj->MoveTo(rect, nullptr);
    }
}

double MoveSeconds()
{
    static double seconds = [] {
        CBenchDesign design;
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            const auto start = Clock::now();
            MoveAll(design, 5);
            MoveAll(design, -5);
            best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        }
        return best;
    }();
    return seconds;
}

void SetUp()
{
    platform::headless::Reset();
    threadwick::RegisterResources();
}

void BM_MoveToAlone(benchmark::State& state)
{
    SetUp();
    CBenchDesign design;
    for (auto _ : state) {
        MoveAll(design, 5);
        MoveAll(design, -5);
    }
}
BENCHMARK(BM_MoveToAlone)->Unit(benchmark::kMillisecond);

void BM_UndoRedoMove(benchmark::State& state)
{
    SetUp();
    MoveSeconds();
    CBenchDesign design;
    MoveAll(design, 5);
    RecordUndoMove(&design, &design.m_selection, 5, 5);
    CUndoList& list = design.GetUndoList();
    const auto start = Clock::now();
    for (auto _ : state) {
        list.Undo(&design);
        list.Redo(&design);
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    const double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_moveto"] = perIteration / MoveSeconds();
    list.Clear();
}
BENCHMARK(BM_UndoRedoMove)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
