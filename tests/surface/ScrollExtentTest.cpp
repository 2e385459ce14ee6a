// The scrolled area of a design view follows its objects: whatever command
// moves or sizes an object past the page (and Undo and Redo of it) lets the
// user scroll to it, the scroll bars come and go only when that area really
// changes, and a view fitted to its window keeps its scale through edits.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "platform/files/HostPath.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "print/PrintState.h"
#include "resources/replacetext.h"
#include "resources/scalealign.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

// Counts the view's changes of client size. The frame keeps its size in
// these tests, so each one is a scroll bar coming or going.
class ClientSizeWatch {
public:
    explicit ClientSizeWatch(HWND hWnd)
        : m_hWnd(hWnd)
    {
        s_pWatch = this;
        RECT rect;
        ::GetClientRect(hWnd, &rect);
        m_size = CSize(rect.right - rect.left, rect.bottom - rect.top);
        m_previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ClientSizeWatch::Proc)));
    }
    ~ClientSizeWatch()
    {
        if (::IsWindow(m_hWnd))
            ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        s_pWatch = nullptr;
    }
    ClientSizeWatch(const ClientSizeWatch&) = delete;
    ClientSizeWatch& operator=(const ClientSizeWatch&) = delete;

    int Changes() const { return m_nChanges; }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        ClientSizeWatch* pWatch = s_pWatch;
        if (message == WM_SIZE && pWatch != nullptr && hWnd == pWatch->m_hWnd) {
            const CSize size(LOWORD(lParam), HIWORD(lParam));
            if (size != pWatch->m_size)
                ++pWatch->m_nChanges;
            pWatch->m_size = size;
        }
        return ::CallWindowProc(pWatch->m_previous, hWnd, message, wParam, lParam);
    }

    static inline ClientSizeWatch* s_pWatch = nullptr;
    HWND m_hWnd;
    WNDPROC m_previous = nullptr;
    CSize m_size;
    int m_nChanges = 0;
};

class ScrollExtentTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        m_dir = testing_support::MakeTempDir("scrollextent");
        platform::SetPrinterListProvider(nullptr);
        NewHalfSizeView();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetAfxMessageBoxHandler(nullptr);
        CPrintState::Reset();
        SurfaceInputTest::TearDown();
    }

    // A new design at 50 % in a client area of 500 x 400 pixels, a little
    // smaller than the page both ways, shown from its upper left corner.
    void NewHalfSizeView()
    {
        m_pView = NewView();
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
        m_pView->SetZoom(50);
        SetClientSize(m_pView, 500, 400);
        m_pView->UpdateWindow();
        Pump();
    }

    void Command(UINT nID)
    {
        m_pView->GetParentFrame()->SendMessage(WM_COMMAND, nID);
        Pump();
    }

    // The Scale dialog answered with a percentage for all directions.
    void Scale(int nPercent)
    {
        testing_support::DriveActiveWindow({[nPercent](HWND hDlg) {
            if (::GetDlgItem(hDlg, IDC_SCALE_PERCENT) == NULL)
                return false;
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, std::to_string(nPercent).c_str());
            testing_support::Click(hDlg, IDOK);
            return true;
        }});
        Command(ID_ARRANGE_SCALE);
        RestoreIdleEscapes();
    }

    // Search and Replace over the active design: every "from" becomes "to".
    void ReplaceAll(const char* pszFrom, const char* pszTo)
    {
        std::string from = pszFrom;
        std::string to = pszTo;
        testing_support::DriveActiveWindow({[from, to](HWND hDlg) {
            if (::GetDlgItem(hDlg, IDC_REPLACE_ALL) == NULL)
                return false;
            ::SetDlgItemText(hDlg, IDC_REPLACE_FIND, from.c_str());
            ::SetDlgItemText(hDlg, IDC_REPLACE_WITH, to.c_str());
            testing_support::Click(hDlg, IDC_REPLACE_ALL);
            if (::IsWindow(hDlg))
                testing_support::Click(hDlg, IDCANCEL);
            return true;
        }});
        platform::SetAfxMessageBoxHandler([](LPCSTR, UINT, UINT) { return IDOK; });
        Command(ID_EDIT_REPLACE_TEXT);
        platform::SetAfxMessageBoxHandler(nullptr);
        RestoreIdleEscapes();
    }

    // Prints the design to the PDF-file printer, answering its dialogs.
    void Print()
    {
        platform::SetAfxMessageBoxHandler([](LPCSTR, UINT, UINT) { return IDOK; });
        PrintViewToPdf(m_pView, CString(platform::WindowsPathFor(m_dir + "/print.pdf").c_str()));
        platform::SetAfxMessageBoxHandler(nullptr);
        RestoreIdleEscapes();
        Pump();
    }

    // Menus and dialogs that wait for the user get Escape again.
    static void RestoreIdleEscapes()
    {
        s_nIdleEscapes = kIdleEscapes;
        platform::headless::SetIdleHandler([] {
            if (s_nIdleEscapes <= 0)
                return false;
            --s_nIdleEscapes;
            platform::headless::TypeKey(VK_ESCAPE);
            return true;
        });
    }

    // Empty when the view's scrolled area is the one its objects call for
    // and every object lies inside it; else what is wrong.
    static std::string ExtentProblem(CSurface* pView)
    {
        std::ostringstream out;
        CSize total;
        CRect extent;
        CPoint shift;
        pView->ComputeScrollExtent(&total, &extent, &shift);
        if (extent != pView->m_rectExtent) {
            out << "the scrolled area is (" << pView->m_rectExtent.left << ", " << pView->m_rectExtent.top << ", "
                << pView->m_rectExtent.right << ", " << pView->m_rectExtent.bottom << ") where the objects call for ("
                << extent.left << ", " << extent.top << ", " << extent.right << ", " << extent.bottom << ")";
            return out.str();
        }
        // In pixels of the scrolled area: the client's pixel plus the scroll
        // position; the area is the scroll range, at least the client.
        int nMapMode = 0;
        SIZE totalDev;
        SIZE pageDev;
        SIZE lineDev;
        pView->GetDeviceScrollSizes(nMapMode, totalDev, pageDev, lineDev);
        CRect client;
        pView->GetClientRect(&client);
        const CSize range(std::max<LONG>(totalDev.cx, client.Width()), std::max<LONG>(totalDev.cy, client.Height()));
        const CPoint scroll = pView->GetDeviceScrollPosition();
        const CObList& objects = pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != NULL;) {
            auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
            CRect rect = pObj->m_position;
            pView->LPtoDPRect(&rect);
            rect.OffsetRect(scroll);
            constexpr int kRounding = 2;
            if (rect.left < -kRounding || rect.top < -kRounding || rect.right > range.cx + kRounding
                || rect.bottom > range.cy + kRounding) {
                out << "an object at pixels (" << rect.left << ", " << rect.top << ", " << rect.right << ", "
                    << rect.bottom << ") of the scrolled area lies beyond its " << range.cx << " x " << range.cy;
                return out.str();
            }
        }
        return std::string();
    }

    CSurface* m_pView = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    std::string m_dir;
};

// Each command in turn moves or sizes an object past the page; then Undo and
// Redo. After each the scrolled area is the one the objects call for.
TEST_F(ScrollExtentTest, EveryMoveAndSizeCommandAndItsUndoAndRedoBringTheScrolledAreaUpToDate)
{
    struct Case {
        const char* pszName;
        // Lays out and selects the objects; the command then moves them.
        std::function<void()> setUp;
        std::function<void()> command;
    };
    // A General design's page is 11 x 8.5 inches. The client shows 1041 x
    // 833 units at 50 %, less than the page with its rim: the area reaches
    // 554 units left and right of the page's centre and 429 up and down
    // until an object goes further. The view starts at its left edge.
    CDrawRect* pA = nullptr;
    CDrawRect* pB = nullptr;
    auto lay = [&](const CRect& a, const CRect* pOther = nullptr) {
        pA = AddRect(m_pView, a);
        pB = pOther != nullptr ? AddRect(m_pView, *pOther) : nullptr;
        if (pB != nullptr)
            m_pView->SelectObjects({pA, pB}, FALSE);
        else
            m_pView->Select(pA, FALSE);
        Pump();
    };
    const CRect kLow(0, -100, 200, -200);
    const CRect kRight(400, 100, 500, 0);
    const CRect kSmall(-300, 0, -250, -50);
    const Case cases[] = {
        {"drag", [&] { lay(CRect(-530, 100, -430, 0)); },
            [&] {
                DragBetween(m_pView, CPoint(-480, 50), CPoint(-540, 50));
                EXPECT_LT(pA->m_position.left, -580);
            }},
        {"nudge", [&] { lay(CRect(-550, 100, -450, 0)); },
            [&] {
                Command(ID_NUDGE_LEFT_BIG);
                EXPECT_EQ(pA->m_position.left, -560);
            }},
        {"align", [&] { lay(CRect(-660, 100, -560, 0), &kLow); },
            [&] {
                Command(ID_ARRANGE_ALIGN_RIGHT);
                EXPECT_EQ(pB->m_position.left, -760);
            }},
        {"centre", [&] { lay(CRect(-800, 100, -700, 0), &kRight); },
            [&] {
                Command(ID_ARRANGE_CENTER_HORZ);
                EXPECT_EQ(pB->m_position.right, 650);
            }},
        {"maximise", [&] { lay(CRect(-700, 100, -600, 0)); },
            [&] {
                Command(ID_ARRANGE_MAXIMIZE);
                EXPECT_GT(pA->m_position.left, -554);
            }},
        {"same size", [&] { lay(CRect(-600, 300, 500, 200), &kSmall); },
            [&] {
                Command(ID_ARRANGE_SAME_WIDTH);
                EXPECT_EQ(pB->m_position.left, -825);
            }},
        {"scale", [&] { lay(CRect(200, 0, 400, -100)); },
            [&] {
                Scale(250);
                EXPECT_EQ(pA->m_position.right, 700);
            }},
        {"handle resize", [&] { lay(CRect(-500, 100, -300, 0)); },
            [&] {
                // The mouse leaves the window with the handle: the view has
                // it until the release.
                DragBetween(m_pView, CPoint(-500, 50), CPoint(-640, 50));
                EXPECT_LT(pA->m_position.left, -600);
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        NewHalfSizeView();
        c.setUp();
        ASSERT_EQ(ExtentProblem(m_pView), "");
        const CRect before = m_pView->m_rectExtent;
        c.command();
        EXPECT_NE(m_pView->m_rectExtent, before) << "the command should change the scrolled area";
        EXPECT_EQ(ExtentProblem(m_pView), "");
        const CRect after = m_pView->m_rectExtent;
        Command(ID_EDIT_UNDO);
        EXPECT_EQ(ExtentProblem(m_pView), "") << "after Undo";
        Command(ID_EDIT_REDO);
        EXPECT_EQ(ExtentProblem(m_pView), "") << "after Redo";
        EXPECT_EQ(m_pView->m_rectExtent, after);
        m_pDoc->OnCloseDocument();
        Pump();
    }
}

// Edits that leave the scrolled area as it was, on a view fitted to its
// window with an object beyond the page (so with scroll bars) and without
// one: the bars stay as they are, the page keeps its scale and the view
// does not scroll.
TEST_F(ScrollExtentTest, EditsThatKeepTheAreaKeepTheBarsTheFitScaleAndTheScrollPosition)
{
    for (BOOL bBeyond : {FALSE, TRUE}) {
        SCOPED_TRACE(bBeyond ? "with an object beyond the page" : "with every object on the page");
        NewHalfSizeView();
        m_pView->SetZoom(ZOOM_FIT);
        Pump();
        const WORD nFitZoom = m_pView->GetZoom();
        CDrawRect* pMoved = AddRect(m_pView, CRect(-200, 200, -100, 100));
        CDrawRect* pText = AddRect(m_pView, CRect(0, 200, 300, 100));
        pText->SetText("Cat", TRUE);
        if (bBeyond)
            AddRect(m_pView, CRect(-900, 600, -800, 500));
        m_pView->Select(pMoved, FALSE);
        m_pView->UpdateWindow();
        Pump();
        // A step to undo: the object moved within the page.
        Command(ID_NUDGE_RIGHT_BIG);

        // Bars that an object beyond the page brings leave the scale alone.
        const WORD nZoom = m_pView->GetZoom();
        EXPECT_EQ(nZoom, nFitZoom);
        const DWORD bars = m_pView->GetStyle() & (WS_HSCROLL | WS_VSCROLL);
        EXPECT_EQ(bars != 0, bool(bBeyond));
        const CRect extent = m_pView->m_rectExtent;
        const CPoint scroll = m_pView->GetDeviceScrollPosition();
        ClientSizeWatch watch(m_pView->m_hWnd);
        auto expectKept = [&](const char* pszEdit) {
            SCOPED_TRACE(pszEdit);
            EXPECT_EQ(m_pView->GetZoom(), nZoom);
            EXPECT_EQ(watch.Changes(), 0) << "scroll bars came or went";
            EXPECT_EQ(m_pView->GetStyle() & (WS_HSCROLL | WS_VSCROLL), bars);
            EXPECT_EQ(m_pView->m_rectExtent, extent);
            EXPECT_EQ(m_pView->GetDeviceScrollPosition(), scroll);
            EXPECT_EQ(ExtentProblem(m_pView), "");
        };
        Command(ID_EDIT_UNDO);
        expectKept("undo");
        Command(ID_EDIT_REDO);
        expectKept("redo");
        const INT_PTR nObjects = m_pView->GetObjects().GetCount();
        Command(ID_DRAW_POLYGON);
        DragBetween(m_pView, CPoint(-300, -100), CPoint(-200, -200));
        Command(ID_ARRANGE_SELECT_TOOL);
        EXPECT_EQ(m_pView->GetObjects().GetCount(), nObjects + 1);
        expectKept("polygon tool");
        Print();
        EXPECT_TRUE(std::filesystem::exists(m_dir + "/print.pdf"));
        expectKept("print");
        ReplaceAll("Cat", "Dog");
        EXPECT_EQ(pText->GetText(), "Dog");
        expectKept("replace");
        m_pView->Select(pMoved, FALSE);
        Command(ID_NUDGE_UP_BIG);
        expectKept("nudge");
        m_pDoc->OnCloseDocument();
        Pump();
    }
}

// Five hundred edits of one seeded stream on a view fitted to its window:
// moves, sizes and the arrange commands (some pushing objects past the
// page), Undo and Redo, the polygon tool, printing and Replace. The scale
// never changes; the scroll bars come or go only with a new scrolled area,
// and with the area unchanged the view does not scroll.
TEST_F(ScrollExtentTest, FiveHundredEditsAtFitInWindowKeepTheScale)
{
    m_pView->SetZoom(ZOOM_FIT);
    SetClientSize(m_pView, 500, 400);
    Pump();
    const WORD nZoom = m_pView->GetZoom();
    for (int i = 0; i < 8; ++i) {
        const int x = -500 + (i % 4) * 250;
        const int y = 350 - (i / 4) * 400;
        CDrawRect* pObj = AddRect(m_pView, CRect(x, y, x + 150, y - 120), i % 3);
        if (i == 5)
            pObj->SetText("Cat", TRUE);
    }
    m_pView->UpdateWindow();
    Pump();
    ASSERT_EQ(m_pView->GetZoom(), nZoom);
    platform::SetAfxMessageBoxHandler([](LPCSTR, UINT, UINT) { return IDOK; });

    std::mt19937 random(20261208);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // A point of the client area, in logical units.
    auto anywhere = [&]() {
        CRect client;
        m_pView->GetClientRect(&client);
        CPoint pt(pick(std::max<LONG>(1, client.Width())), pick(std::max<LONG>(1, client.Height())));
        m_pView->DPtoLPPoint(&pt);
        return pt;
    };
    // A press off the client area would land on a scroll bar: such a
    // point is taken from inside instead.
    auto inside = [&](CPoint pt) {
        CPoint device = pt;
        m_pView->LPtoDPPoint(&device);
        CRect client;
        m_pView->GetClientRect(&client);
        client.DeflateRect(2, 2);
        return client.PtInRect(device) ? pt : anywhere();
    };
    auto objectAt = [&](int n) { return static_cast<CDrawObj*>(m_pView->GetObjects().GetAt(m_pView->GetObjects().FindIndex(n))); };
    auto selectSome = [&]() {
        const int nCount = static_cast<int>(m_pView->GetObjects().GetCount());
        std::vector<CDrawObj*> chosen;
        for (int n = 1 + pick(3); n > 0; --n)
            chosen.push_back(objectAt(pick(nCount)));
        m_pView->SelectObjects(chosen, FALSE);
    };
    const UINT kArrange[] = {ID_NUDGE_LEFT, ID_NUDGE_RIGHT_BIG, ID_NUDGE_UP_BIG, ID_NUDGE_DOWN_BIG,
        ID_NUDGE_LEFT_BIG, ID_ARRANGE_ALIGN_LEFT, ID_ARRANGE_ALIGN_RIGHT, ID_ARRANGE_ALIGN_TOP,
        ID_ARRANGE_ALIGN_BOTTOM, ID_ARRANGE_ALIGN_HCENTER, ID_ARRANGE_ALIGN_VCENTER, ID_ARRANGE_CENTER_PAGE,
        ID_ARRANGE_CENTER_HORZ, ID_ARRANGE_CENTER_VERT, ID_ARRANGE_MAXIMIZE, ID_ARRANGE_SAME_WIDTH,
        ID_ARRANGE_SAME_HEIGHT, ID_ARRANGE_SAME_BOTH};

    std::map<std::string, int> counts;
    for (int nEdit = 0; nEdit < 500; ++nEdit) {
        const CRect extent = m_pView->m_rectExtent;
        const CPoint scroll = m_pView->GetDeviceScrollPosition();
        std::string edit;
        ClientSizeWatch watch(m_pView->m_hWnd);
        const int nKind = pick(100);
        if (nKind < 40) {
            selectSome();
            const UINT nID = kArrange[pick(static_cast<int>(sizeof kArrange / sizeof kArrange[0]))];
            edit = "command " + std::to_string(nID);
            Command(nID);
        } else if (nKind < 50) {
            edit = "undo";
            Command(ID_EDIT_UNDO);
        } else if (nKind < 58) {
            edit = "redo";
            Command(ID_EDIT_REDO);
        } else if (nKind < 68) {
            edit = "drag";
            CDrawObj* pObj = objectAt(pick(static_cast<int>(m_pView->GetObjects().GetCount())));
            const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
            const CPoint from((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            m_pView->Select(NULL, FALSE);
            DragBetween(m_pView, inside(from), anywhere());
        } else if (nKind < 76) {
            edit = "handle resize";
            CDrawObj* pObj = objectAt(pick(static_cast<int>(m_pView->GetObjects().GetCount())));
            m_pView->Select(pObj, FALSE);
            const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
            DragBetween(m_pView, inside(CPoint(r.left, (r.top + r.bottom) / 2)), anywhere());
        } else if (nKind < 84) {
            edit = "scale";
            selectSome();
            Scale(50 + pick(151));
        } else if (nKind < 92) {
            edit = "polygon";
            Command(ID_DRAW_POLYGON);
            DragBetween(m_pView, anywhere(), anywhere());
            Command(ID_ARRANGE_SELECT_TOOL);
        } else if (nKind < 96) {
            edit = "replace";
            if (nKind % 2 == 0)
                ReplaceAll("Cat", "Dog");
            else
                ReplaceAll("Dog", "Cat");
        } else {
            edit = "print";
            Print();
        }
        ++counts[edit.substr(0, edit.find(' '))];
        SCOPED_TRACE("edit " + std::to_string(nEdit) + ": " + edit);
        ASSERT_EQ(m_pView->GetZoom(), nZoom);
        ASSERT_EQ(ExtentProblem(m_pView), "");
        if (m_pView->m_rectExtent == extent) {
            ASSERT_EQ(watch.Changes(), 0) << "scroll bars came or went with the scrolled area unchanged";
            ASSERT_EQ(m_pView->GetDeviceScrollPosition(), scroll) << "the view scrolled by itself";
        }
    }
    platform::SetAfxMessageBoxHandler(nullptr);
    // Every kind of edit ran, and some of them took objects past the page.
    EXPECT_EQ(counts.size(), 9u);
    EXPECT_GT(m_pView->m_ptExtentShift.x + m_pView->m_ptExtentShift.y, 0);
}

} // namespace
} // namespace surfacetest
