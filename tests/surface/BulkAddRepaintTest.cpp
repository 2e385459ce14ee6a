// Adding many objects to a design view, by every road that adds them
// (the document's AddObject one by one, Paste, Duplicate, Undo of a delete,
// insertion): the view is painted once for the command, not once for every
// object that grows the scrolled area, and afterwards that area is the one
// the objects call for, with no recomputation left pending in the flags
// saved with the design.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "platform/ui/User.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

constexpr int kObjects = 10000;

// Counts the WM_PAINTs a view's window procedure receives.
class PaintCounter {
public:
    explicit PaintCounter(HWND hWnd)
        : m_hWnd(hWnd)
    {
        s_pCounter = this;
        m_previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintCounter::Proc)));
    }
    ~PaintCounter()
    {
        if (::IsWindow(m_hWnd))
            ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        s_pCounter = nullptr;
    }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;

    int Paints() const { return m_nPaints; }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        PaintCounter* pCounter = s_pCounter;
        if (message == WM_PAINT && hWnd == pCounter->m_hWnd)
            ++pCounter->m_nPaints;
        return ::CallWindowProc(pCounter->m_previous, hWnd, message, wParam, lParam);
    }

    static inline PaintCounter* s_pCounter = nullptr;
    HWND m_hWnd;
    WNDPROC m_previous = nullptr;
    int m_nPaints = 0;
};

class BulkAddRepaintTest : public SurfaceInputTest {
protected:
    void TearDown() override
    {
        if (::OpenClipboard(NULL)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        SurfaceInputTest::TearDown();
    }

    // A new design at 50 % in a client area of 500 x 400 pixels, painted.
    CSurface* NewSmallView()
    {
        CSurface* pView = NewView();
        if (pView == nullptr)
            return nullptr;
        pView->SetZoom(50);
        SetClientSize(pView, 500, 400);
        pView->UpdateWindow();
        Pump();
        return pView;
    }

    // Objects over an area of 200 x 200 inches round the page, most of them
    // far past the view, in an order that keeps growing the scrolled area
    // every way.
    static std::vector<CDrawObj*> Spread(int nCount)
    {
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> place(-10000, 10000);
        std::uniform_int_distribution<int> size(20, 300);
        std::vector<CDrawObj*> objects;
        for (int i = 0; i < nCount; ++i) {
            const CPoint corner(place(random), place(random));
            objects.push_back(new CDrawRect(
                CRect(corner.x, corner.y + size(random), corner.x + size(random), corner.y), SHAPE_RECTANGLE));
        }
        return objects;
    }

    static void AddThroughDocument(CSurface* pView, const std::vector<CDrawObj*>& objects)
    {
        for (CDrawObj* pObj : objects)
            pView->GetDocument()->AddObject(pObj, pView);
    }

    static std::vector<CDrawObj*> ObjectsOf(CSurface* pView)
    {
        std::vector<CDrawObj*> objects;
        const CObList& list = pView->GetObjects();
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
            objects.push_back(static_cast<CDrawObj*>(list.GetNext(pos)));
        return objects;
    }

    static void Command(CSurface* pView, UINT nID) { pView->GetParentFrame()->SendMessage(WM_COMMAND, nID); }

    // Empty when the scrolled area is the one the objects call for and no
    // recomputation is pending; else what is wrong.
    static std::string ExtentProblem(CSurface* pView)
    {
        if ((pView->m_flags & CSurface::SurfaceRecomputeExtent) != 0)
            return "a recomputation of the scrolled area is pending";
        CSize total;
        CRect extent;
        CPoint shift;
        pView->ComputeScrollExtent(&total, &extent, &shift);
        if (extent != pView->m_rectExtent || shift != pView->m_ptExtentShift)
            return "the scrolled area is not the one the objects call for";
        return std::string();
    }
};

// Each road adds 10,000 objects spread far past the view (insertion adds one
// object at a time, three times, to a design holding them); the paints are
// counted from the first add to the end of the messages it left.
TEST_F(BulkAddRepaintTest, EveryRoadThatAddsObjectsPaintsTheViewOncePerCommand)
{
    struct Road {
        const char* pszName;
        // Readies the view; the road then adds.
        std::function<void(CSurface*)> setUp;
        std::function<void(CSurface*)> add;
        int nCommands;
        INT_PTR nObjectsAfter;
    };
    const Road roads[] = {
        {"AddObject one by one", [](CSurface*) {},
            [](CSurface* pView) { AddThroughDocument(pView, Spread(kObjects)); }, 1, kObjects},
        {"paste",
            [this](CSurface* pView) {
                // The objects are copied from another design.
                CSurface* pSource = FirstView(NewDesign());
                ASSERT_NE(pSource, nullptr);
                AddThroughDocument(pSource, Spread(kObjects));
                pSource->SelectObjects(ObjectsOf(pSource), FALSE);
                pSource->OnEditCopy();
                pSource->GetDocument()->OnCloseDocument();
                Pump();
                pView->GetParentFrame()->ActivateFrame();
                pView->SetFocus();
                Pump();
            },
            [](CSurface* pView) { Command(pView, ID_EDIT_PASTE); }, 1, kObjects},
        {"duplicate",
            [](CSurface* pView) {
                AddThroughDocument(pView, Spread(kObjects));
                Pump();
                pView->SelectObjects(ObjectsOf(pView), FALSE);
                Pump();
            },
            [](CSurface* pView) { Command(pView, ID_EDIT_DUPLICATE); }, 1, 2 * kObjects},
        {"undo of a delete",
            [](CSurface* pView) {
                AddThroughDocument(pView, Spread(kObjects));
                Pump();
                pView->SelectObjects(ObjectsOf(pView), FALSE);
                pView->DeleteSelection(TRUE);
                Pump();
                ASSERT_TRUE(pView->GetObjects().IsEmpty());
            },
            [](CSurface* pView) { Command(pView, ID_EDIT_UNDO); }, 1, kObjects},
        {"insertion",
            [](CSurface* pView) {
                AddThroughDocument(pView, Spread(kObjects));
                Pump();
            },
            [](CSurface* pView) {
                // Each new object comes in far up and left of everything,
                // then goes to the middle of the view.
                for (int i = 0; i < 3; ++i) {
                    pView->PlaceAndRecord(new CDrawRect(CRect(-20000 - i, 20100, -19900, 20000)));
                    Pump();
                }
            },
            3, kObjects + 3},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.pszName);
        CSurface* pView = NewSmallView();
        ASSERT_NE(pView, nullptr);
        road.setUp(pView);
        const PaintCounter counter(pView->m_hWnd);
        road.add(pView);
        Pump();
        EXPECT_EQ(pView->GetObjects().GetCount(), road.nObjectsAfter);
        EXPECT_GE(counter.Paints(), 1) << "what was added was never shown";
        EXPECT_LE(counter.Paints(), road.nCommands);
        EXPECT_EQ(ExtentProblem(pView), "");
        pView->GetDocument()->OnCloseDocument();
        Pump();
    }
}

// A batch that adds objects beyond the page leaves the scrolled area as it
// was until it ends, then brings it up to date once, without moving what the
// user sees; nested batches wait for the outermost. An object added again,
// in a batch or not, or after going to another view and back, is held once.
TEST_F(BulkAddRepaintTest, ABatchBringsTheExtentUpToDateWhenItEndsWithoutMovingThePage)
{
    CSurface* pView = NewSmallView();
    ASSERT_NE(pView, nullptr);
    CSurface* pOther = FirstView(NewDesign());
    ASSERT_NE(pOther, nullptr);
    const CRect before = pView->m_rectExtent;
    const CPoint pageCorner = [&] {
        CPoint pt(-425, 550);
        pView->LPtoDPPoint(&pt);
        return pt;
    }();
    {
        CSurface::CAddBatch outer(pView);
        {
            CSurface::CAddBatch inner(pView);
            CDrawRect* pFar = AddRect(pView, CRect(-3000, 2000, -2900, 1900));
            pView->Add(pFar);
            pView->GetDocument()->AddObject(pFar, pView);
            pView->Remove(pFar);
            pOther->Add(pFar);
            pOther->Add(pFar);
            pOther->Remove(pFar);
            pView->Add(pFar);
        }
        AddRect(pView, CRect(2900, -1900, 3000, -2000));
        EXPECT_EQ(pView->m_rectExtent, before) << "the extent changed before the batch ended";
        EXPECT_EQ(pView->m_flags & CSurface::SurfaceRecomputeExtent, 0);
    }
    EXPECT_EQ(pView->GetObjects().GetCount(), 2);
    EXPECT_TRUE(pOther->GetObjects().IsEmpty());
    EXPECT_NE(pView->m_rectExtent, before);
    EXPECT_EQ(ExtentProblem(pView), "");
    CPoint pt(-425, 550);
    pView->LPtoDPPoint(&pt);
    EXPECT_EQ(pt, pageCorner) << "the page moved in the view";

    // Objects taken off inside a batch shrink the area when it ends.
    {
        CSurface::CAddBatch batch(pView);
        for (CDrawObj* pObj : ObjectsOf(pView)) {
            pView->Remove(pObj);
            delete pObj;
        }
    }
    EXPECT_EQ(pView->m_rectExtent, before);
    EXPECT_EQ(ExtentProblem(pView), "");
}

} // namespace
} // namespace surfacetest
