// The tool pad following the selection: from a posted WM_SURFACE_SELCHANGED
// that changes the pad's state (one shape selected, then two objects, and
// back) to the presented frame of the floating pad. "x_bitblt" divides by
// one BitBlt of the tool-pad picture onto a window of its size, painted and
// presented the same way, in the same run (target at most 3).
//
// Text Effects opened again (the first opening builds what the program
// keeps), from its construction to its first presented frame. "x_enumfonts"
// divides by EnumFontFamiliesEx listing the faces the dialog offers.

#include "bench/BenchSupport.h"

#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "app/main/AppMessages.h"
#include "app/main/MainFrame.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "pictures/Image.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/framework/Afx.h"
#include "platform/gdi/Dc.h"
#include "platform/imaging/Imaging.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"
#include "surface/SurfaceGlobals.h"
#include "surface/ToolpadBar.h"
#include "surface/ToolpadWnd.h"
#include "text/dialogs/TextEffectsDlg.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// The program's own application class, so that what it keeps between
// dialogs (the font list) is kept here too; nothing of its start-up runs.
class CBenchApp : public CDesignerApp {
public:
    BOOL InitInstance() override { return TRUE; }
};

// Writes a tool-pad picture into a program folder of the bench's own when
// the program folder has none, so the pad has its picture either way.
void EnsureToolpadPicture()
{
    if (std::filesystem::exists(platform::ProgramFolder() + "/support/toolpad.jpg"))
        return;
    const std::string folder = (std::filesystem::temp_directory_path() / "toolpad-bench").string();
    std::filesystem::create_directories(folder + "/support");
    LTBITMAP bitmap;
    if (LtAllocateBitmap(&bitmap, CToolpadWnd::kPictureWidth, CToolpadWnd::kPictureHeight, 24) != LT_SUCCESS)
        return;
    bitmap.Order = LT_ORDER_BGR;
    for (int y = 0; y < CToolpadWnd::kPictureHeight; ++y) {
        BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
        for (int x = 0; x < CToolpadWnd::kPictureWidth; ++x) {
            row[x * 3] = BYTE(120 + y % 100);
            row[x * 3 + 1] = BYTE(80 + x);
            row[x * 3 + 2] = BYTE(60);
        }
    }
    const std::string path = platform::WindowsPathFor(folder + "/support/toolpad.jpg");
    LtSaveFile(path.c_str(), &bitmap, LT_FORMAT_JPEG, 24, 0);
    LtFreeBitmap(&bitmap);
    platform::SetProgramFolderForTests(folder);
}

// A window that paints the tool-pad picture with one BitBlt.
class CPictureWnd : public CWnd {
public:
    CBitmap* m_pPicture = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ERASEBKGND)
            return TRUE;
        if (message == WM_PAINT) {
            CPaintDC dc(this);
            CDC memDC;
            if (m_pPicture != nullptr && memDC.CreateCompatibleDC(&dc)) {
                CBitmap* pOld = memDC.SelectObject(m_pPicture);
                dc.BitBlt(0, 0, CToolpadWnd::kPictureWidth, CToolpadWnd::kPictureHeight, &memDC, 0, 0, SRCCOPY);
                memDC.SelectObject(pOld);
            }
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// The headless program: the real main frame with its floating tool pad
// shown, one design with a rectangle and an ellipse.
class Program {
public:
    Program()
    {
        setenv("THREADWICK_BACKEND", "headless", 1);
        platform::headless::Reset();
        platform::headless::SetScreen(1600, 1200);
        threadwick::RegisterResources();
        thePrefs.Reset();
        thePrefs.Flags = CPrefData::kDefaultFlags;
        thePrefs.AddlFlags = CPrefData::kDefaultAddlFlags & ~WORD(0x0002 | 0x0004);
        ResetSurfaceGlobals();
        EnsureToolpadPicture();

        m_pApp = new CBenchApp;
        m_pMain = new CMainFrame;
        if (!m_pMain->LoadFrame(IDR_MAINFRAME))
            return;
        m_pApp->m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        m_pApp->AddDocTemplate(pTemplate);
        m_pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(NULL));
        Pump();
        m_pBar = m_pMain->GetToolpad();
        if (m_pDoc == nullptr || m_pBar == nullptr)
            return;
        m_pView = m_pDoc->GetSurfaceView(0);
        m_pMain->OnShowToolpad();
        Pump();
        m_pRect = new CDrawRect(CRect(-200, 200, 0, 0));
        m_pEllipse = new CDrawRect(CRect(50, 200, 250, 0), SHAPE_ELLIPSE);
        m_pText = new CDrawRect(CRect(-200, -100, 200, -300));
        m_pView->Add(m_pRect);
        m_pView->Add(m_pEllipse);
        m_pView->Add(m_pText);
        m_pText->SetText("Hello", TRUE);
        m_pView->Select(m_pRect);
        // The view's own repaints of the selection handles are no part of
        // the figure; a hidden view keeps them out of the run.
        m_pView->ShowWindow(SW_HIDE);
        Refresh();
        m_ready = m_pBar->IsVisible() && m_pBar->GetPalette()->HasPicture()
            && m_pBar->GetPalette()->GetState() == kShapeState;
        MakePictureWindow();
    }

    static constexpr int kShapeState = 4;
    // Runs the queue dry, then lets the temporary wrappers go as the
    // application's idle time does; without that they pile up from run to
    // run and every lookup of one grows slower.
    static void Pump()
    {
        AfxPumpMessagesUntilIdle();
        CWnd::DeleteTempMap();
        CDC::DeleteTempMap();
        CGdiObject::DeleteTempMap();
    }
    bool Ready() const { return m_ready; }
    CToolpadBar* Bar() const { return m_pBar; }
    CMainFrame* Main() const { return m_pMain; }
    CDrawDoc* Doc() const { return m_pDoc; }
    CDrawRect* Text() const { return m_pText; }

    // Selects one object or two without telling the tool pad; the view's
    // own repaint of the handles is done before the pad is asked.
    void SelectOneOrTwo(bool bTwo)
    {
        m_pView->Select(m_pRect);
        if (bTwo)
            m_pView->Select(m_pEllipse, TRUE);
        MSG msg{};
        while (::PeekMessage(&msg, m_pMain->m_hWnd, WM_SURFACE_SELCHANGED, WM_SURFACE_SELCHANGED, PM_REMOVE)) {
        }
        Pump();
    }

    // What a view does after a mouse action: post the message and let the
    // program run until it is idle again (the pad's frame is presented).
    void Refresh()
    {
        m_pMain->PostMessage(WM_SURFACE_SELCHANGED, 0, 0);
        Pump();
    }

    // The baseline: the picture blitted into a window of its size and
    // presented.
    bool BlitPicture()
    {
        m_picture.InvalidateRect(NULL, FALSE);
        m_picture.UpdateWindow();
        return true;
    }

private:
    void MakePictureWindow()
    {
        CImage image(CToolpadWnd::GetPicturePath(), CImage::kDefaultLoadMode);
        HBITMAP hBitmap = image.CreateDDB(nullptr, FALSE);
        if (hBitmap == NULL) {
            m_ready = false;
            return;
        }
        m_bitmap.Attach(hBitmap);
        m_picture.m_pPicture = &m_bitmap;
        LPCTSTR lpszClass = AfxRegisterWndClass(0, NULL, NULL, NULL);
        m_picture.CreateEx(0, lpszClass, "Picture", WS_POPUP | WS_VISIBLE,
            CRect(700, 100, 700 + CToolpadWnd::kPictureWidth, 100 + CToolpadWnd::kPictureHeight), nullptr, 0);
        Pump();
    }

    CBenchApp* m_pApp = nullptr;
    CMainFrame* m_pMain = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    CToolpadBar* m_pBar = nullptr;
    CDrawRect* m_pRect = nullptr;
    CDrawRect* m_pEllipse = nullptr;
    CDrawRect* m_pText = nullptr;
    CBitmap m_bitmap;
    CPictureWnd m_picture;
    bool m_ready = false;
};

Program& TheProgram()
{
    static Program program;
    return program;
}

void BM_SelectionChangeToFrame(benchmark::State& state)
{
    Program& program = TheProgram();
    if (!program.Ready()) {
        state.SkipWithError("the tool pad could not be set up");
        return;
    }
    const double baseline = bench::BestSeconds([&] { return program.BlitPicture(); }, 31);
    // The pad's frame is presented when its floating frame is; the idle
    // work the program does afterwards is not the pad's.
    HWND hPadFrame = program.Bar()->m_hWnd;
    while ((::GetWindowLong(hPadFrame, GWL_STYLE) & WS_CHILD) != 0)
        hPadFrame = ::GetParent(hPadFrame);
    int nPresents = 0;
    Clock::time_point presented;
    platform::headless::SetPresentHandler([&](HWND hWnd) {
        ++nPresents;
        if (hWnd == hPadFrame)
            presented = Clock::now();
    });
    bool bTwo = false;
    double total = 0;
    int64_t nChanges = 0;
    for (auto _ : state) {
        bTwo = !bTwo;
        program.SelectOneOrTwo(bTwo);
        const auto start = Clock::now();
        presented = start;
        program.Refresh();
        const std::chrono::duration<double> elapsed = presented - start;
        total += elapsed.count();
        ++nChanges;
        state.SetIterationTime(elapsed.count());
        const int nWanted = bTwo ? 5 : Program::kShapeState;
        if (program.Bar()->GetPalette()->GetState() != nWanted) {
            state.SkipWithError("the tool pad did not follow the selection");
            break;
        }
    }
    platform::headless::SetPresentHandler(nullptr);
    const double perChange = total / double(std::max<int64_t>(nChanges, 1));
    state.counters["x_bitblt"] = perChange / baseline;
    state.counters["bitblt_us"] = baseline * 1e6;
    state.counters["presents_per_change"] = double(nPresents) / double(std::max<int64_t>(nChanges, 1));
}
BENCHMARK(BM_SelectionChangeToFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Runs Text Effects on the text object until its first frame is presented,
// then cancels it; answers the seconds from its construction to that frame
// (0 when it never presented).
double OpenTextEffects(Program& program)
{
    CObjectAttributes attrs;
    program.Text()->GetAttributes(attrs);
    const auto start = Clock::now();
    CTextEffectsDlg dlg(program.Main());
    Clock::time_point presented;
    bool bPresented = false;
    platform::headless::SetPresentHandler([&](HWND hWnd) {
        if (!bPresented && dlg.m_hWnd != NULL && hWnd == dlg.m_hWnd) {
            presented = Clock::now();
            bPresented = true;
        }
    });
    platform::headless::SetIdleHandler([&]() {
        if (!bPresented || dlg.m_hWnd == NULL)
            return false;
        dlg.EndDialog(IDCANCEL);
        return true;
    });
    dlg.SetObject(program.Text(), &attrs, FALSE, program.Doc());
    dlg.DoModal();
    platform::headless::SetIdleHandler(nullptr);
    platform::headless::SetPresentHandler(nullptr);
    Program::Pump();
    if (!bPresented)
        return 0;
    const std::chrono::duration<double> elapsed = presented - start;
    return elapsed.count();
}

int CALLBACK CountFace(const LOGFONT* pLogFont, const TEXTMETRIC*, DWORD, LPARAM lParam)
{
    benchmark::DoNotOptimize(pLogFont->lfFaceName[0]);
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

void BM_TextEffectsSecondOpening(benchmark::State& state)
{
    Program& program = TheProgram();
    if (!program.Ready()) {
        state.SkipWithError("the program could not be set up");
        return;
    }
    // The first opening is the one that builds the font list.
    const double first = OpenTextEffects(program);
    if (first <= 0) {
        state.SkipWithError("Text Effects did not present a frame");
        return;
    }
    int nFaces = 0;
    const double baseline = bench::BestSeconds(
        [&] {
            CClientDC dc(program.Main());
            LOGFONT lf{};
            lf.lfCharSet = DEFAULT_CHARSET;
            nFaces = 0;
            ::EnumFontFamiliesEx(dc.GetSafeHdc(), &lf, CountFace, reinterpret_cast<LPARAM>(&nFaces), 0);
            return nFaces;
        },
        31);
    double total = 0;
    int64_t nOpenings = 0;
    for (auto _ : state) {
        const double seconds = OpenTextEffects(program);
        if (seconds <= 0) {
            state.SkipWithError("Text Effects did not present a frame");
            break;
        }
        total += seconds;
        ++nOpenings;
        state.SetIterationTime(seconds);
    }
    const double perOpening = total / double(std::max<int64_t>(nOpenings, 1));
    state.counters["x_enumfonts"] = perOpening / baseline;
    state.counters["enumfonts_us"] = baseline * 1e6;
    state.counters["faces"] = nFaces;
    state.counters["first_opening_us"] = first * 1e6;
}
BENCHMARK(BM_TextEffectsSecondOpening)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
