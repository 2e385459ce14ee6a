// The design file: a general design of 1,000 mixed objects (every shape kind
// with solid and hatched fills, some banded, a third of them turned; free
// polygons; a few calendars with day cells) saved through CDrawDoc::OnSaveDocument and
// opened through its document template into a surface frame, each against
// writing and reading the same streams (the names and bytes the save
// wrote) as a compound file with libgsf alone in the same run.
//
// "x_gsf" is the time of one save or open divided by the time libgsf alone
// takes for the same streams (the best of a few, taken once): what the
// design's records, the archive, the storage layer and the frame add, and
// for a save the preview picture it draws. An open's first paint is
// dispatched after it is timed and given alone.
//
// A save's preview is also measured on its own, so that the save can be
// read in its two parts: the preview's drawing against Cairo filling and
// stroking the same outlines at the same scale ("preview_x_cairo"), its
// JPEG encoding alone ("jpeg_ms"), and the rest of the save, without the
// preview, against libgsf writing the same streams ("x_gsf_rest") and
// against libgsf writing them into a new file renamed over the old one
// ("x_gsf_rename"), as a safe save must.
//
// "peak_MiB" is how far the resident memory rises above where it stood
// while one operation runs: each case runs once more in a child forked for
// it, which gives its free heap back (malloc_trim), resets the peak
// (writing 5 to /proc/self/clear_refs) and reports VmHWM minus the VmRSS
// it started from. "rss_MiB" is that child's whole peak.
//
// The files live in /dev/shm when there is one, so that the disk's flush
// does not drown what is measured.

#include "calendar/DayCellObj.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"

#include "bench/BenchSupport.h"
#include "bench/CairoFigures.h"
#include "pictures/Image.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <gsf/gsf.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kObjects = 1000;
constexpr int kPreviewSide = 250; // the preview a save writes fits this square

using Clock = std::chrono::steady_clock;

// One element of a compound file as the save left it: a stream with its
// bytes or a storage with its elements.
struct Element {
    std::string name;
    bool storage = false;
    std::vector<guint8> bytes;
    std::vector<Element> children;
};

class CBenchApp : public CWinApp {
public:
    CBenchApp()
        : CWinApp("DesignFileBench")
    {
    }
    BOOL InitInstance() override { return TRUE; }
};

// The headless program, its main frame, the design template, the design
// being saved and the streams its save wrote. Made once; the platform
// stays up for the whole run.
class Bench {
public:
    Bench()
    {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/twdesignbench-XXXXXX" : "/tmp/twdesignbench-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        m_folder = made != nullptr ? made : "/tmp/twdesignbench";
        std::filesystem::create_directories(m_folder + "/home");
        setenv("THREADWICK_HOME", (m_folder + "/home").c_str(), 1);
        setenv("THREADWICK_BACKEND", "headless", 1);
        m_savePath = platform::WindowsPathFor(m_folder + "/saved.gen");
        m_openHostPath = m_folder + "/open.gen";
        m_openPath = platform::WindowsPathFor(m_openHostPath);
        m_gsfPath = m_folder + "/gsf.cfb";

        platform::InitFileSystem();
        platform::headless::Reset();
        threadwick::RegisterResources();
        gsf_init();

        m_pApp = new CBenchApp;
        m_pMain = new CMDIFrameWnd;
        m_pMain->Create(NULL, "Threadwick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1200, 1000));
        if (m_pMain->m_hWndMDIClient == NULL)
            m_pMain->CreateClient(nullptr, nullptr);
        m_pApp->m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        m_pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc), RUNTIME_CLASS(CSurfaceFrame),
            RUNTIME_CLASS(CSurface));
        m_pApp->AddDocTemplate(m_pTemplate);

        m_pDoc = dynamic_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(NULL));
        Pump();
        if (m_pDoc == nullptr || m_pDoc->GetSurfaceView(0) == nullptr)
            return;
        MakeObjects(m_pDoc->GetSurfaceView(0));
        if (!m_pDoc->OnSaveDocument(m_savePath.c_str()))
            return;
        Pump();
        std::error_code ec;
        std::filesystem::copy_file(m_folder + "/saved.gen", m_openHostPath,
            std::filesystem::copy_options::overwrite_existing, ec);
        m_ready = !ec && ReadElements(m_openHostPath, m_elements) && !m_elements.empty();
        for (const Element& e : m_elements)
            m_streamBytes += TotalBytes(e);
    }
    ~Bench()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    bool Ready() const { return m_ready; }
    static void Pump() { AfxPumpMessagesUntilIdle(); }

    BOOL Save() { return m_pDoc->OnSaveDocument(m_savePath.c_str()); }

    // The preview picture a save draws of the first surface, drawn alone.
    BOOL RenderPreview()
    {
        CBitmap bitmap;
        CSurface* pView = m_pDoc->GetSurfaceView(0);
        return pView != nullptr && pView->RenderPreview(&bitmap, kPreviewSide, kPreviewSide);
    }

    // The preview as a save writes it: drawn, made a picture and encoded;
    // the bytes encoded.
    size_t EncodePreview()
    {
        CBitmap bitmap;
        CSurface* pView = m_pDoc->GetSurfaceView(0);
        if (pView == nullptr || !pView->RenderPreview(&bitmap, kPreviewSide, kPreviewSide))
            return 0;
        CImage image;
        if (!image.CreateFromBitmap(&bitmap))
            return 0;
        CMemFile memory;
        CArchive ar(&memory, CArchive::store);
        image.WriteRasterData(ar, FALSE, FALSE);
        ar.Close();
        return size_t(memory.GetLength());
    }

    // The outlines of the first surface's objects at the preview's scale,
    // in the preview's pixels, for Cairo: shapes by their drawn outline,
    // free polygons by their points; hatches are filled solid and a
    // calendar is its frame only, so Cairo's share is, if anything, less.
    const std::vector<bench::CairoFigure>& PreviewFigures(SIZE& size)
    {
        size = m_previewSize;
        if (!m_previewFigures.empty())
            return m_previewFigures;
        CSurface* pView = m_pDoc->GetSurfaceView(0);
        CBitmap bitmap;
        BITMAP info{};
        if (pView == nullptr || !pView->RenderPreview(&bitmap, kPreviewSide, kPreviewSide)
            || bitmap.GetBitmap(&info) == 0)
            return m_previewFigures;
        m_previewSize = SIZE{info.bmWidth, info.bmHeight};
        size = m_previewSize;
        const CRect page = CDrawObj::NormalizeUp(pView->GetPageRect());
        const double sx = double(info.bmWidth) / std::max(1L, long(page.right - page.left));
        const double sy = double(info.bmHeight) / std::max(1L, long(page.top - page.bottom));
        auto toPreview = [&](POINT p) {
            return POINT{LONG(std::lround((p.x - page.left) * sx)), LONG(std::lround((page.top - p.y) * sy))};
        };
        for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != NULL;) {
            auto* pObj = dynamic_cast<CDrawObj*>(pView->GetObjects().GetNext(pos));
            if (pObj == nullptr)
                continue;
            bench::CairoFigure figure;
            figure.fill = pObj->m_logbrush.lbColor;
            figure.pen = pObj->m_logpen.lopnColor;
            figure.width = std::max(1, int(std::lround(pObj->m_logpen.lopnWidth.x * sx)));
            if (auto* pShape = dynamic_cast<CDrawRect*>(pObj))
                figure = bench::ShapeFigure(pShape, figure);
            else if (auto* pPoly = dynamic_cast<CDrawPoly*>(pObj))
                figure.points.assign(pPoly->GetPoints(), pPoly->GetPoints() + pPoly->GetPointCount());
            for (POINT& p : figure.points)
                p = toPreview(p);
            m_previewFigures.push_back(std::move(figure));
        }
        return m_previewFigures;
    }

    // Opens the saved design in a new frame, without dispatching the
    // paint that follows; the number of objects it got.
    int Open()
    {
        m_pOpened = dynamic_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(m_openPath.c_str()));
        CSurface* pView = m_pOpened != nullptr ? m_pOpened->GetSurfaceView(0) : nullptr;
        return pView != nullptr ? int(pView->GetObjects().GetCount()) : 0;
    }
    void CloseOpened()
    {
        if (m_pOpened != nullptr)
            m_pOpened->OnCloseDocument();
        m_pOpened = nullptr;
        Pump();
    }

    // The streams written into a new file that then replaces the old one.
    bool WriteWithGsfAndRename() const
    {
        const std::string fresh = m_gsfPath + ".new";
        return WriteWithGsf(fresh) && std::rename(fresh.c_str(), m_gsfPath.c_str()) == 0;
    }

    bool WriteWithGsf() const { return WriteWithGsf(m_gsfPath); }
    bool WriteWithGsf(const std::string& path) const
    {
        GsfOutput* sink = gsf_output_stdio_new(path.c_str(), nullptr);
        if (!sink)
            return false;
        GsfOutfile* outfile = gsf_outfile_msole_new_full(sink, 512, 64);
        g_object_unref(sink);
        if (!outfile)
            return false;
        bool ok = gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(outfile), m_classId);
        for (const Element& e : m_elements)
            ok = WriteElement(outfile, e) && ok;
        ok = gsf_output_close(GSF_OUTPUT(outfile)) && ok;
        g_object_unref(outfile);
        return ok;
    }

    // Every stream of the saved design read whole; the bytes read.
    size_t ReadWithGsf() const
    {
        std::vector<Element> elements;
        if (!ReadElements(m_openHostPath, elements))
            return 0;
        size_t total = 0;
        for (const Element& e : elements)
            total += TotalBytes(e);
        return total;
    }

    size_t StreamBytes() const { return m_streamBytes; }
    size_t Streams() const { return m_elements.size(); }

private:
    void MakeObjects(CSurface* pView)
    {
        std::mt19937 random(20261207);
        std::uniform_int_distribution<int> x(-350, 350), y(-500, 500), size(30, 250), angle(1, 359),
            channel(0, 255), corners(3, 12), spread(-120, 120), hatch(HS_HORIZONTAL, HS_DIAGCROSS);
        auto colour = [&] { return RGB(channel(random), channel(random), channel(random)); };
        int nKind = 0;
        for (int i = 0; i < kObjects; ++i) {
            CDrawObj* pObj = nullptr;
            const CPoint centre(x(random), y(random));
            if (i % 250 == 100) {
                // A month calendar with a few of its days filled in.
                auto* pCalendar = new CDrawRect(CRect(centre.x - 300, centre.y + 200, centre.x + 300, centre.y - 200));
                pCalendar->m_nCalendarStart = 2461407 + i;
                pCalendar->m_nCalendarWords[1] = CALENDAR_MONTH;
                for (int nDay = 1; nDay <= 28; nDay += 3)
                    pCalendar->SetCellText(CALENDAR_MONTH, nDay, "Meeting at ten");
                pCalendar->SetCellText(CALENDAR_WEEK, 2, "Swim");
                pObj = pCalendar;
            } else if (i % 5 == 4) {
                std::vector<POINT> points(size_t(corners(random)));
                for (POINT& p : points)
                    p = POINT{centre.x + spread(random), centre.y + spread(random)};
                auto* pPoly = new CDrawPoly(CRect(centre, centre));
                pPoly->SetPoints(points.data(), int(points.size()), int(points.size()));
                pObj = pPoly;
            } else {
                const int cx = size(random) / 2;
                const int cy = size(random) / 2;
                auto* pShape = new CDrawRect(CRect(centre.x - cx, centre.y + cy, centre.x + cx, centre.y - cy), nKind);
                pShape->m_nSides = 3 + i % 6;
                if (i % 7 == 0) {
                    pShape->m_fill.m_nKind = 1 + i % 2;
                    pShape->m_fill.m_crFirst = colour();
                }
                nKind = (nKind + 1) % SHAPE_KIND_COUNT;
                pObj = pShape;
            }
            pObj->m_logpen.lopnStyle = PS_INSIDEFRAME;
            pObj->m_logpen.lopnWidth.x = 1 + i % 3;
            pObj->m_logpen.lopnColor = colour();
            pObj->m_bOutline = TRUE;
            pObj->m_bFill = TRUE;
            pObj->m_logbrush.lbStyle = i % 4 == 1 ? BS_HATCHED : BS_SOLID;
            pObj->m_logbrush.lbHatch = i % 4 == 1 ? ULONG_PTR(hatch(random)) : 0;
            pObj->m_logbrush.lbColor = colour();
            m_pDoc->AddObject(pObj, pView);
            if (auto* pShape = dynamic_cast<CDrawRect*>(pObj); pShape != nullptr && !pShape->IsCalendar() && i % 3 == 0)
                pShape->SetAngle(angle(random));
        }
    }

    static size_t TotalBytes(const Element& e)
    {
        size_t n = e.bytes.size();
        for (const Element& child : e.children)
            n += TotalBytes(child);
        return n;
    }

    static bool WriteElement(GsfOutfile* parent, const Element& e)
    {
        GsfOutput* out = gsf_outfile_new_child(parent, e.name.c_str(), e.storage ? TRUE : FALSE);
        if (!out)
            return false;
        bool ok = true;
        if (e.storage) {
            for (const Element& child : e.children)
                ok = WriteElement(GSF_OUTFILE(out), child) && ok;
        } else {
            ok = e.bytes.empty() || gsf_output_write(out, e.bytes.size(), e.bytes.data());
        }
        ok = gsf_output_close(out) && ok;
        g_object_unref(out);
        return ok;
    }

    static bool ReadChildren(GsfInfile* infile, std::vector<Element>& out)
    {
        const int count = gsf_infile_num_children(infile);
        for (int i = 0; i < count; ++i) {
            GsfInput* input = gsf_infile_child_by_index(infile, i);
            if (!input)
                return false;
            Element e;
            const char* name = gsf_infile_name_by_index(infile, i);
            e.name = name != nullptr ? name : "";
            bool ok = true;
            if (GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0) {
                e.storage = true;
                ok = ReadChildren(GSF_INFILE(input), e.children);
            } else {
                e.bytes.resize(size_t(gsf_input_size(input)));
                ok = e.bytes.empty() || gsf_input_read(input, e.bytes.size(), e.bytes.data()) != nullptr;
            }
            g_object_unref(input);
            if (!ok)
                return false;
            out.push_back(std::move(e));
        }
        return true;
    }

    bool ReadElements(const std::string& path, std::vector<Element>& out) const
    {
        GsfInput* input = gsf_input_stdio_new(path.c_str(), nullptr);
        if (!input)
            return false;
        GsfInfile* infile = gsf_infile_msole_new(input, nullptr);
        g_object_unref(input);
        if (!infile)
            return false;
        gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(infile), m_classId);
        const bool ok = ReadChildren(infile, out);
        g_object_unref(infile);
        return ok;
    }

    std::string m_folder;
    std::string m_savePath;     // Windows form
    std::string m_openHostPath; // a copy of the saved design, for opening
    std::string m_openPath;
    std::string m_gsfPath;
    CBenchApp* m_pApp = nullptr;
    CMDIFrameWnd* m_pMain = nullptr;
    CMultiDocTemplate* m_pTemplate = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    CDrawDoc* m_pOpened = nullptr;
    std::vector<Element> m_elements;
    std::vector<bench::CairoFigure> m_previewFigures;
    SIZE m_previewSize{0, 0};
    mutable guint8 m_classId[16] = {};
    size_t m_streamBytes = 0;
    bool m_ready = false;
};

Bench& TheBench()
{
    static Bench bench;
    return bench;
}

double GsfWriteSeconds()
{
    static const double seconds = bench::BestSeconds([] { return TheBench().WriteWithGsf(); });
    return seconds;
}

double GsfWriteAndRenameSeconds()
{
    static const double seconds = bench::BestSeconds([] { return TheBench().WriteWithGsfAndRename(); });
    return seconds;
}

// The preview's outlines drawn with Cairo alone on a white picture of the
// preview's size, as GDI draws them: no antialiasing, the alternate rule.
double CairoPreviewSeconds()
{
    static const double seconds = [] {
        SIZE size{0, 0};
        const std::vector<bench::CairoFigure>& figures = TheBench().PreviewFigures(size);
        if (figures.empty() || size.cx <= 0 || size.cy <= 0)
            return 0.0;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.cx, size.cy);
        cairo_t* cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        const double best = bench::BestSeconds([&] {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            bench::DrawFigures(cr, figures);
            cairo_surface_flush(surface);
            return true;
        });
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        return best;
    }();
    return seconds;
}

double GsfReadSeconds()
{
    static const double seconds = bench::BestSeconds([] { return TheBench().ReadWithGsf(); });
    return seconds;
}

// A value of /proc/self/status in KiB; -1 when missing.
long StatusKiB(const char* pszField)
{
    std::ifstream status("/proc/self/status");
    const size_t length = std::strlen(pszField);
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, length, pszField) == 0 && line.size() > length && line[length] == ':')
            return std::strtol(line.c_str() + length + 1, nullptr, 10);
    }
    return -1;
}

struct PeakMemory {
    double addedMiB = -1; // the rise above the resident memory at the start
    double wholeMiB = -1; // the child's whole peak
};

// Runs work once in a forked child and answers how far its resident memory
// rose; negative figures when the work failed or the child could not
// measure.
template <class Work>
PeakMemory MeasurePeak(Work work)
{
    PeakMemory result;
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return result;
    }
    if (pid == 0) {
        close(fds[0]);
        alarm(120); // a child that hangs must not stop the run
        malloc_trim(0);
        long figures[2] = {-1, -1};
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5" << std::flush;
        if (clear.good()) {
            const long nBefore = StatusKiB("VmRSS");
            const bool bDone = static_cast<bool>(work());
            const long nPeak = StatusKiB("VmHWM");
            if (bDone && nBefore >= 0 && nPeak >= nBefore) {
                figures[0] = nPeak - nBefore;
                figures[1] = nPeak;
            }
        }
        const ssize_t written = write(fds[1], figures, sizeof figures);
        (void)written;
        _exit(0); // nothing of the program is torn down in the child
    }
    close(fds[1]);
    long figures[2] = {-1, -1};
    const ssize_t got = read(fds[0], figures, sizeof figures);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got == ssize_t(sizeof figures) && figures[0] >= 0) {
        result.addedMiB = double(figures[0]) / 1024.0;
        result.wholeMiB = double(figures[1]) / 1024.0;
    }
    return result;
}

void Report(benchmark::State& state, double seconds, double baseline, const PeakMemory& peak)
{
    const double perIteration = seconds / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    if (baseline > 0)
        state.counters["x_gsf"] = perIteration / baseline;
    state.counters["peak_MiB"] = peak.addedMiB;
    state.counters["rss_MiB"] = peak.wholeMiB;
    state.counters["streams"] = double(TheBench().Streams());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(TheBench().StreamBytes()));
}

bool Prepared(benchmark::State& state)
{
    if (TheBench().Ready())
        return true;
    state.SkipWithError("the design could not be made and saved");
    return false;
}

void BM_GsfSave(benchmark::State& state)
{
    if (!Prepared(state))
        return;
    Bench& bench = TheBench();
    auto start = Clock::now();
    for (auto _ : state) {
        if (!bench.WriteWithGsf())
            state.SkipWithError("libgsf could not write the streams");
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    Report(state, elapsed.count(), 0, MeasurePeak([&] { return bench.WriteWithGsf(); }));
}
BENCHMARK(BM_GsfSave)->Unit(benchmark::kMillisecond);

// The time of each save alone, the picture of the first surface that it
// draws for the file's preview included; the time drawing that picture
// takes alone is reported as "preview_ms", and "x_gsf_rest" estimates the
// ratio of what is left. Dispatching the paint that follows is left out.
void BM_DesignSave(benchmark::State& state)
{
    if (!Prepared(state))
        return;
    Bench& bench = TheBench();
    const double baseline = GsfWriteSeconds();
    double seconds = 0;
    double fastest = 1e9;
    for (auto _ : state) {
        auto start = Clock::now();
        const BOOL bSaved = bench.Save();
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        seconds += elapsed.count();
        fastest = std::min(fastest, elapsed.count());
        state.SetIterationTime(elapsed.count());
        Bench::Pump();
        if (!bSaved)
            state.SkipWithError("the design could not be saved");
    }
    Report(state, seconds, baseline, MeasurePeak([&] { return bench.Save(); }));
    // What the preview takes of that, and the ratios of the rest: the
    // fastest save less the fastest preview, as the baselines are the
    // fastest of their runs.
    const double drawing = bench::BestSeconds([&] { return bench.RenderPreview(); });
    const double preview = bench::BestSeconds([&] { return bench.EncodePreview(); });
    const double rest = std::max(fastest - preview, 0.0);
    state.counters["preview_ms"] = preview * 1e3;
    state.counters["jpeg_ms"] = std::max(preview - drawing, 0.0) * 1e3;
    state.counters["x_gsf_rest"] = rest / baseline;
    state.counters["x_gsf_rename"] = rest / GsfWriteAndRenameSeconds();
    if (const double cairo = CairoPreviewSeconds(); cairo > 0)
        state.counters["preview_x_cairo"] = drawing / cairo;
}
BENCHMARK(BM_DesignSave)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_GsfOpen(benchmark::State& state)
{
    if (!Prepared(state))
        return;
    Bench& bench = TheBench();
    auto start = Clock::now();
    for (auto _ : state) {
        if (bench.ReadWithGsf() != bench.StreamBytes())
            state.SkipWithError("libgsf could not read the streams");
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    Report(state, elapsed.count(), 0, MeasurePeak([&] { return bench.ReadWithGsf(); }));
}
BENCHMARK(BM_GsfOpen)->Unit(benchmark::kMillisecond);

// The time of each open alone: the first paint of the new frame (the
// objects' drawing, which the drawing benches measure) is dispatched after
// it and reported as "paint_ms"; closing the design is left out.
void BM_DesignOpen(benchmark::State& state)
{
    if (!Prepared(state))
        return;
    Bench& bench = TheBench();
    const double baseline = GsfReadSeconds();
    double seconds = 0;
    std::chrono::duration<double> paint{0};
    for (auto _ : state) {
        auto start = Clock::now();
        const int nObjects = bench.Open();
        const auto opened = Clock::now();
        Bench::Pump();
        const std::chrono::duration<double> elapsed = opened - start;
        paint += Clock::now() - opened;
        seconds += elapsed.count();
        state.SetIterationTime(elapsed.count());
        bench.CloseOpened();
        if (nObjects != kObjects)
            state.SkipWithError("the design did not open with its objects");
    }
    Report(state, seconds, baseline, MeasurePeak([&] { return bench.Open(); }));
    state.counters["paint_ms"] = paint.count() * 1e3 / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_DesignOpen)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
