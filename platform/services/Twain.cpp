// The scanner over SANE. One thread owns the library: it starts it, lists
// the local devices, opens one, reads its settings and scans. The
// user-interface thread hands it jobs; what comes back (devices found,
// settings, scanned pages) waits in a queue that the user-interface thread
// drains with TwainServeEvents, so every callback and reply runs there.

#include "platform/services/Twain.h"

#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

namespace {

// What is read from the library is bounded: names, the number of devices,
// of options and of listed values, and the bytes of one page.
constexpr size_t kMaxDevices = 64;
constexpr size_t kMaxName = 255;
constexpr size_t kMaxListed = 64;
constexpr SANE_Int kMaxOptions = 1024;
constexpr size_t kMaxPageBytes = size_t(512) << 20;
constexpr int kMaxSide = 32767;

// Resolutions offered when a device gives a range rather than a list.
constexpr int kCommonResolutions[] = {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400};

std::string Bounded(const char* s)
{
    if (!s)
        return std::string();
    return std::string(s, strnlen(s, kMaxName));
}

struct Device {
    std::string name;  // what opens it
    std::string label; // what the user sees
};

// A scanned frame as the library delivers it.
struct Frame {
    SANE_Parameters params{};
    std::vector<uint8_t> bytes;
};

// ---- Scanner-thread side -------------------------------------------------

// The library's state; touched by the scanner thread only.
class Scanner {
public:
    // A scanner without the library finds nothing and opens nothing.
    explicit Scanner(bool usable)
        : m_usable(usable)
    {
    }

    std::vector<Device> Search()
    {
        std::vector<Device> found;
        SANE_Int version = 0;
        if (!m_usable || sane_init(&version, nullptr) != SANE_STATUS_GOOD)
            return found;
        m_started = true;
        const SANE_Device** list = nullptr;
        if (sane_get_devices(&list, SANE_TRUE) != SANE_STATUS_GOOD || !list)
            return found;
        for (size_t i = 0; list[i] && found.size() < kMaxDevices; ++i) {
            Device d;
            d.name = Bounded(list[i]->name);
            if (d.name.empty())
                continue;
            std::string vendor = Bounded(list[i]->vendor);
            std::string model = Bounded(list[i]->model);
            d.label = vendor.empty() ? model : (model.empty() ? vendor : vendor + " " + model);
            if (d.label.empty())
                d.label = d.name;
            found.push_back(std::move(d));
        }
        // Devices of one model are told apart by the names that open them.
        std::vector<bool> shared(found.size(), false);
        for (size_t i = 0; i < found.size(); ++i)
            for (size_t j = 0; j < found.size(); ++j)
                shared[i] = shared[i] || (i != j && found[i].label == found[j].label);
        for (size_t i = 0; i < found.size(); ++i)
            if (shared[i])
                found[i].label += " (" + found[i].name + ")";
        return found;
    }

    bool Open(const std::string& name)
    {
        if (!m_started)
            return false;
        if (m_handle && name == m_openName)
            return true;
        Close();
        SANE_Handle h = nullptr;
        if (sane_open(name.c_str(), &h) != SANE_STATUS_GOOD || !h)
            return false;
        m_handle = h;
        m_openName = name;
        return true;
    }

    bool ReadSettings(TwainSettings& out)
    {
        out = TwainSettings();
        SANE_Int mode = Find(SANE_NAME_SCAN_MODE);
        if (mode > 0) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(m_handle, mode);
            if (d->type == SANE_TYPE_STRING && d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
                for (size_t i = 0; d->constraint.string_list[i] && i < kMaxListed; ++i)
                    out.modes.push_back(Bounded(d->constraint.string_list[i]));
            if (d->type == SANE_TYPE_STRING && d->size > 0 && d->size < 4096) {
                std::vector<char> value(size_t(d->size) + 1, 0);
                if (sane_control_option(m_handle, mode, SANE_ACTION_GET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD)
                    out.mode = Bounded(value.data());
            }
        }
        SANE_Int res = Find(SANE_NAME_SCAN_RESOLUTION);
        if (res > 0) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(m_handle, res);
            bool fixed = d->type == SANE_TYPE_FIXED;
            auto dpi = [fixed](SANE_Word w) { return fixed ? int(std::lround(SANE_UNFIX(w))) : int(w); };
            if ((d->type == SANE_TYPE_INT || fixed) && d->size == sizeof(SANE_Word)) {
                if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
                    const SANE_Word* list = d->constraint.word_list;
                    size_t count = std::min<size_t>(size_t(std::max<SANE_Word>(list[0], 0)), kMaxListed);
                    for (size_t i = 1; i <= count; ++i)
                        out.resolutions.push_back(dpi(list[i]));
                } else if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
                    int lo = dpi(d->constraint.range->min);
                    int hi = dpi(d->constraint.range->max);
                    for (int r : kCommonResolutions)
                        if (r >= lo && r <= hi)
                            out.resolutions.push_back(r);
                }
                SANE_Word value = 0;
                if (sane_control_option(m_handle, res, SANE_ACTION_GET_VALUE, &value, nullptr) == SANE_STATUS_GOOD) {
                    out.resolution = dpi(value);
                    if (out.resolution > 0)
                        out.resolutions.push_back(out.resolution);
                }
            }
            std::sort(out.resolutions.begin(), out.resolutions.end());
            out.resolutions.erase(std::unique(out.resolutions.begin(), out.resolutions.end()), out.resolutions.end());
            out.resolutions.erase(std::remove_if(out.resolutions.begin(), out.resolutions.end(),
                                      [](int r) { return r <= 0 || r > 100000; }),
                out.resolutions.end());
        }
        return true;
    }

    // Sets what the dialog chose (an empty mode or a zero resolution keeps
    // the device's own), then scans every frame of one page. `cancelled`
    // is asked between reads. The device is left for EndScan to stop, so
    // that the page (or its failure) can be handed on first: stopping
    // waits for the backend's reader, which may take long.
    template <typename Cancelled>
    HGLOBAL Scan(const std::string& modeValue, int resolution, Cancelled cancelled)
    {
        if (!m_handle)
            return NULL;
        if (!modeValue.empty())
            SetString(SANE_NAME_SCAN_MODE, modeValue);
        if (resolution > 0)
            SetResolution(resolution);
        std::vector<Frame> frames;
        for (;;) {
            m_scanning = true;
            if (sane_start(m_handle) != SANE_STATUS_GOOD)
                return NULL;
            Frame frame;
            if (sane_get_parameters(m_handle, &frame.params) != SANE_STATUS_GOOD || !ReadFrame(frame, cancelled))
                return NULL;
            bool last = frame.params.last_frame || frames.size() >= 2;
            frames.push_back(std::move(frame));
            if (last)
                break;
        }
        return PackFrames(frames, resolution);
    }

    // Stops the device after a scan, ended or not.
    void EndScan()
    {
        if (m_handle && m_scanning)
            sane_cancel(m_handle);
        m_scanning = false;
    }

    void End()
    {
        Close();
        if (m_started)
            sane_exit();
        m_started = false;
    }

private:
    void Close()
    {
        EndScan();
        if (m_handle)
            sane_close(m_handle);
        m_handle = nullptr;
        m_openName.clear();
    }

    SANE_Int Find(const char* name)
    {
        SANE_Int count = 0;
        if (!m_handle || sane_control_option(m_handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
            return -1;
        count = std::min(count, kMaxOptions);
        for (SANE_Int i = 1; i < count; ++i) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(m_handle, i);
            if (d && d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap))
                return i;
        }
        return -1;
    }

    void SetString(const char* name, const std::string& value)
    {
        SANE_Int option = Find(name);
        const SANE_Option_Descriptor* d = option > 0 ? sane_get_option_descriptor(m_handle, option) : nullptr;
        if (!d || d->type != SANE_TYPE_STRING || !SANE_OPTION_IS_SETTABLE(d->cap) || d->size <= 0 || d->size > 4096)
            return;
        std::vector<char> buffer(size_t(d->size), 0);
        std::memcpy(buffer.data(), value.data(), std::min(value.size(), buffer.size() - 1));
        sane_control_option(m_handle, option, SANE_ACTION_SET_VALUE, buffer.data(), nullptr);
    }

    void SetResolution(int dpi)
    {
        SANE_Int option = Find(SANE_NAME_SCAN_RESOLUTION);
        const SANE_Option_Descriptor* d = option > 0 ? sane_get_option_descriptor(m_handle, option) : nullptr;
        if (!d || !SANE_OPTION_IS_SETTABLE(d->cap) || d->size != sizeof(SANE_Word))
            return;
        SANE_Word value;
        if (d->type == SANE_TYPE_FIXED)
            value = SANE_FIX(dpi);
        else if (d->type == SANE_TYPE_INT)
            value = dpi;
        else
            return;
        sane_control_option(m_handle, option, SANE_ACTION_SET_VALUE, &value, nullptr);
    }

    template <typename Cancelled>
    bool ReadFrame(Frame& frame, Cancelled cancelled)
    {
        const SANE_Parameters& p = frame.params;
        if (p.bytes_per_line <= 0 || p.pixels_per_line <= 0 || p.pixels_per_line > kMaxSide)
            return false;
        // A known page size bounds what is kept; an unknown one (a hand
        // scanner) stops at the byte limit.
        size_t expected = p.lines > 0 ? size_t(p.bytes_per_line) * size_t(p.lines) : kMaxPageBytes;
        if (expected > kMaxPageBytes)
            return false;
        std::vector<SANE_Byte> chunk(64 * 1024);
        // A device that sends more than it announced is read to its end (the
        // surplus dropped), but not for ever.
        size_t total = 0;
        for (;;) {
            if (cancelled())
                return false;
            SANE_Int got = 0;
            SANE_Status status = sane_read(m_handle, chunk.data(), SANE_Int(chunk.size()), &got);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return false;
            size_t count = std::min(size_t(std::max(got, 0)), chunk.size());
            total += count;
            size_t n = std::min(count, expected - std::min(expected, frame.bytes.size()));
            frame.bytes.insert(frame.bytes.end(), chunk.begin(), chunk.begin() + ptrdiff_t(n));
            if (total > expected + kMaxPageBytes || (p.lines <= 0 && frame.bytes.size() >= kMaxPageBytes))
                return false;
        }
        return true;
    }

    static HGLOBAL PackFrames(const std::vector<Frame>& frames, int resolution);

    SANE_Handle m_handle = nullptr;
    std::string m_openName;
    bool m_usable = false;
    bool m_started = false;
    bool m_scanning = false; // started and not yet stopped
};

// Which colour a frame of a three-pass scan carries: 0 red, 1 green, 2
// blue; -1 for a frame of all colours or of grey.
int ChannelOf(SANE_Frame format)
{
    switch (format) {
    case SANE_FRAME_RED:
        return 0;
    case SANE_FRAME_GREEN:
        return 1;
    case SANE_FRAME_BLUE:
        return 2;
    case SANE_FRAME_GRAY:
    case SANE_FRAME_RGB:
        return -1;
    }
    return -1;
}

// One sample of a frame at `depth` bits: 0..255.
uint8_t Sample(const uint8_t* row, int index, int depth)
{
    switch (depth) {
    case 1:
        // A set bit is black in the library's line art.
        return (row[index >> 3] >> (7 - (index & 7))) & 1 ? 0 : 255;
    case 16: {
        uint16_t v;
        std::memcpy(&v, row + 2 * index, 2);
        return uint8_t(v >> 8);
    }
    default:
        return row[index];
    }
}

// The frames of one page as a packed DIB: line art at 1 bit, grey at 8
// bits with a grey table, colour at 24 bits; rows bottom-up.
HGLOBAL Scanner::PackFrames(const std::vector<Frame>& frames, int resolution)
{
    if (frames.empty())
        return NULL;
    const SANE_Parameters& p0 = frames[0].params;
    int width = p0.pixels_per_line;
    int depth = p0.depth;
    if (depth != 1 && depth != 8 && depth != 16)
        return NULL;
    size_t bpl = size_t(p0.bytes_per_line);
    int lines = int(std::min<size_t>(frames[0].bytes.size() / bpl, kMaxSide));
    bool gray = p0.format == SANE_FRAME_GRAY;
    bool rgb = p0.format == SANE_FRAME_RGB;
    // Three frames of one colour each (three-pass scanners) make one page.
    const Frame* channel[3] = {nullptr, nullptr, nullptr};
    if (!gray && !rgb) {
        for (const Frame& f : frames) {
            int c = ChannelOf(f.params.format);
            if (c < 0 || f.params.pixels_per_line != width || f.params.depth != depth
                || size_t(f.params.bytes_per_line) != bpl)
                return NULL;
            channel[c] = &f;
            lines = std::min(lines, int(f.bytes.size() / bpl));
        }
        if (!channel[0] || !channel[1] || !channel[2])
            return NULL;
    }
    size_t needed = rgb ? (size_t(width) * 3 * size_t(depth) + 7) / 8 : (size_t(width) * size_t(depth) + 7) / 8;
    if (lines <= 0 || bpl < needed)
        return NULL;

    bool lineArt = gray && depth == 1;
    int bitCount = lineArt ? 1 : gray ? 8 : 24;
    size_t colors = lineArt ? 2 : gray ? 256 : 0;
    size_t stride = ((size_t(width) * size_t(bitCount) + 31) / 32) * 4;
    size_t header = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header + stride * size_t(lines));
    auto* out = block ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr;
    if (!out) {
        if (block)
            GlobalFree(block);
        return NULL;
    }
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = lines;
    h.biPlanes = 1;
    h.biBitCount = WORD(bitCount);
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(stride * size_t(lines));
    LONG perMetre = resolution > 0 ? LONG(std::lround(resolution * 10000.0 / 254.0)) : 0;
    h.biXPelsPerMeter = perMetre;
    h.biYPelsPerMeter = perMetre;
    h.biClrUsed = DWORD(colors);
    std::memcpy(out, &h, sizeof h);
    auto* table = reinterpret_cast<RGBQUAD*>(out + sizeof h);
    if (lineArt) {
        table[0] = RGBQUAD{255, 255, 255, 0};
        table[1] = RGBQUAD{0, 0, 0, 0};
    } else if (gray) {
        for (size_t i = 0; i < 256; ++i)
            table[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    }
    uint8_t* bits = out + header;
    for (int y = 0; y < lines; ++y) {
        uint8_t* row = bits + size_t(lines - 1 - y) * stride;
        size_t at = size_t(y) * bpl;
        if (lineArt) {
            // The same bits, with black as entry 1.
            std::memcpy(row, frames[0].bytes.data() + at, (size_t(width) + 7) / 8);
            if (width % 8)
                row[width / 8] &= uint8_t(0xFF << (8 - width % 8));
        } else if (gray) {
            const uint8_t* in = frames[0].bytes.data() + at;
            for (int x = 0; x < width; ++x)
                row[x] = Sample(in, x, depth);
        } else if (rgb) {
            const uint8_t* in = frames[0].bytes.data() + at;
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    row[3 * x + 2 - c] = Sample(in, 3 * x + c, depth);
        } else {
            for (int c = 0; c < 3; ++c) {
                const uint8_t* in = channel[c]->bytes.data() + at;
                for (int x = 0; x < width; ++x)
                    row[3 * x + 2 - c] = Sample(in, x, depth);
            }
        }
    }
    GlobalUnlock(block);
    return block;
}

// ---- The session -----------------------------------------------------------

// Backends stop their reader threads with pthread_cancel. The C library
// loads its unwinder the first time a thread ends that way, holding the
// loader's lock, and a reader cancelled in that moment dies with the lock
// held: every later dlopen or dlclose of the process then waits for ever.
// One thread ended here first loads the unwinder while nothing can
// interrupt it.
void PrepareThreadEnds()
{
    pthread_t thread;
    if (pthread_create(&thread, nullptr, [](void*) -> void* { pthread_exit(nullptr); }, nullptr) == 0)
        pthread_join(thread, nullptr);
}

// A scanned page on its way to the user-interface thread: freed unless
// someone takes it.
struct OwnedDib {
    HGLOBAL block = NULL;
    explicit OwnedDib(HGLOBAL h)
        : block(h)
    {
    }
    OwnedDib(const OwnedDib&) = delete;
    OwnedDib& operator=(const OwnedDib&) = delete;
    ~OwnedDib()
    {
        if (block)
            GlobalFree(block);
    }
    HGLOBAL Take() { return std::exchange(block, HGLOBAL(NULL)); }
};

// Only one thread at a time may be inside the library, while a session
// that was left behind (its thread stuck in a backend) still holds it. Never
// destroyed: a thread left behind may release it at any time.
std::timed_mutex& LibraryLock()
{
    static auto* lock = new std::timed_mutex;
    return *lock;
}

// How long ending a session waits for its thread, and how long a new
// session's thread waits for the library, before giving up on them. A scan
// stops at its next read and a search over the network takes seconds; a
// backend whose reader died holding a lock never comes back.
constexpr auto kThreadGrace = std::chrono::seconds(3);
constexpr auto kLibraryWait = std::chrono::seconds(3);

// A scan's reply, answered once: by its page, or at once by a cancel.
struct PendingScan {
    uint64_t number = 0;
    TwainScanReply reply;
    bool answered = false; // the user-interface thread only
};

// Shared between the two threads, and owned by both: the scanner thread
// keeps it alive for as long as it runs, so ending a session never frees
// what a thread left stuck inside a backend may still touch. Members say
// who touches them.
struct Session {
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Under `lock`.
    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable ended;
    std::deque<std::function<void(Scanner&)>> jobs; // run on the scanner thread
    std::deque<std::function<void()>> news;         // run on the UI thread
    bool stopping = false;
    bool exiting = false;       // the process ends: leave the library alone
    bool working = false;       // the thread is inside a job
    bool finished = false;      // the thread is past its last library call
    uint64_t cancelledUpTo = 0; // scans with this number or below stop

    // The user-interface thread only.
    HWND owner = NULL;
    TwainCallback callback = nullptr;
    void* userData = nullptr;
    std::vector<Device> devices;
    bool searchDone = false;
    int selected = -1;
    int busy = 0; // jobs whose news has not been served yet
    uint64_t lastScan = 0;
    std::vector<std::shared_ptr<PendingScan>> scans; // not yet answered

    std::thread thread;

    void Run()
    {
        // Signals are the user-interface thread's business. Blocked here,
        // they stay blocked in the threads backends start from this one: a
        // backend's reader writing into a pipe that a cancel has closed gets
        // EPIPE rather than a SIGPIPE that another library's handler would
        // act on.
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, nullptr);
        PrepareThreadEnds();
        // Without the library (an earlier session's thread is stuck in it)
        // every job runs against a scanner that finds and opens nothing.
        std::unique_lock<std::timed_mutex> library(LibraryLock(), kLibraryWait);
        Scanner scanner(library.owns_lock());
        for (;;) {
            std::function<void(Scanner&)> job;
            {
                std::unique_lock<std::mutex> guard(lock);
                working = false;
                wake.wait(guard, [this] { return stopping || !jobs.empty(); });
                if (stopping)
                    break;
                job = std::move(jobs.front());
                jobs.pop_front();
                working = true;
            }
            job(scanner);
        }
        // At the end of the process the backends' own static objects may
        // already be gone; ending the library then would run into them.
        bool leaveAlone;
        {
            std::lock_guard<std::mutex> guard(lock);
            leaveAlone = exiting;
        }
        if (!leaveAlone)
            scanner.End();
        if (library.owns_lock())
            library.unlock();
        {
            std::lock_guard<std::mutex> guard(lock);
            finished = true;
        }
        ended.notify_all();
    }

    // UI thread: queues a job whose result comes back as one piece of news.
    void Submit(std::function<void(Scanner&)> job)
    {
        ++busy;
        {
            std::lock_guard<std::mutex> guard(lock);
            jobs.push_back(std::move(job));
        }
        wake.notify_one();
    }

    // Scanner thread: hands news to the UI thread.
    void Report(std::function<void()> item)
    {
        std::lock_guard<std::mutex> guard(lock);
        news.push_back(std::move(item));
    }

    // UI thread: answers a scan unless it was answered already.
    void Answer(const std::shared_ptr<PendingScan>& scan, HGLOBAL page)
    {
        if (scan->answered) {
            if (page)
                GlobalFree(page);
            return;
        }
        scan->answered = true;
        --busy;
        scans.erase(std::remove(scans.begin(), scans.end(), scan), scans.end());
        if (scan->reply)
            scan->reply(page);
        else if (page)
            GlobalFree(page);
    }

    // UI thread: stops the thread and drops the jobs and news not yet run.
    // The job under way is given a while to finish; a thread still inside
    // the library after that is left to it, holding the session.
    void Stop(bool atExit)
    {
        std::deque<std::function<void(Scanner&)>> dropJobs;
        std::deque<std::function<void()>> dropNews;
        bool done;
        {
            std::unique_lock<std::mutex> guard(lock);
            stopping = true;
            exiting = exiting || atExit;
            cancelledUpTo = UINT64_MAX;
            dropJobs.swap(jobs);
            dropNews.swap(news);
            wake.notify_one();
            done = !thread.joinable()
                || ended.wait_for(guard, kThreadGrace, [this] { return finished; });
        }
        if (thread.joinable()) {
            if (done)
                thread.join();
            else
                thread.detach();
        }
        scans.clear();
    }
};

// The one session. When the process ends, the thread finishes the job it
// is in (a scan stops at its next read; a search over the network can
// take seconds) and the library is not called again: by then the backends
// it loaded, and the libraries they use, are tearing down their own
// state, and a thread still inside them would run into it.
struct SessionHolder {
    std::shared_ptr<Session> session;
    ~SessionHolder()
    {
        if (session)
            session->Stop(true);
    }
};

std::shared_ptr<Session>& Current()
{
    static SessionHolder holder;
    return holder.session;
}

TwainHost& Host()
{
    static TwainHost host;
    return host;
}

void ServeWhileBusy()
{
    if (Host().serveWhileBusy)
        Host().serveWhileBusy();
}

} // namespace

LONG TwainInit(HWND owner, TwainCallback callback, void* userData)
{
    if (Session* s = Current().get()) {
        // The library is started once; a new registration hears of the
        // devices already found now, and of the rest as they come.
        s->owner = owner;
        s->callback = callback;
        s->userData = userData;
        if (s->searchDone && !s->devices.empty()) {
            ++s->busy;
            size_t count = s->devices.size();
            s->Report([s, count]() {
                --s->busy;
                for (size_t i = 0; i < count; ++i) {
                    if (s->callback)
                        s->callback(s->owner, s->userData);
                    if (Current().get() != s)
                        return;
                }
            });
            ServeWhileBusy();
        }
        return 1;
    }
    auto session = std::make_shared<Session>();
    Session* s = session.get();
    s->owner = owner;
    s->callback = callback;
    s->userData = userData;
    Current() = session;
    s->Submit([s](Scanner& scanner) {
        std::vector<Device> found = scanner.Search();
        s->Report([s, found = std::move(found)]() {
            --s->busy;
            for (const Device& d : found) {
                s->devices.push_back(d);
                if (s->callback)
                    s->callback(s->owner, s->userData);
                // A callback may end the session.
                if (Current().get() != s)
                    return;
            }
            s->searchDone = true;
        });
    });
    // The thread holds the session for as long as it runs.
    s->thread = std::thread([session] { session->Run(); });
    ServeWhileBusy();
    return 1;
}

void SetTwainHost(TwainHost host)
{
    Host() = std::move(host);
}

bool TwainServeEvents()
{
    Session* s = Current().get();
    if (!s)
        return false;
    std::deque<std::function<void()>> ready;
    {
        std::lock_guard<std::mutex> guard(s->lock);
        ready.swap(s->news);
    }
    for (auto& item : ready) {
        item();
        // Served news may end the session (a callback, a reply).
        if (Current().get() != s)
            return Current() && Current()->busy > 0;
    }
    return s->busy > 0;
}

bool TwainSearchDone()
{
    Session* s = Current().get();
    return !s || s->searchDone;
}

std::vector<std::string> TwainSourceLabels()
{
    std::vector<std::string> labels;
    if (Session* s = Current().get())
        for (const Device& d : s->devices)
            labels.push_back(d.label);
    return labels;
}

int TwainSelectedSource()
{
    Session* s = Current().get();
    return s ? s->selected : -1;
}

int TwainSelectSource(HWND owner)
{
    Session* s = Current().get();
    if (!s || s->devices.empty())
        return kTwainNoSource;
    if (s->devices.size() == 1) {
        s->selected = 0;
        return 1;
    }
    if (!Host().chooseSource)
        return kTwainNoSource;
    int picked = Host().chooseSource(owner, TwainSourceLabels());
    s = Current().get();
    if (!s || picked < 0 || size_t(picked) >= s->devices.size())
        return kTwainNoSource;
    s->selected = picked;
    return 1;
}

int TwainAcquire(HWND owner, HGLOBAL* packedDib)
{
    if (!packedDib)
        return kTwainNothingAcquired;
    *packedDib = NULL;
    Session* s = Current().get();
    if (!s || s->devices.empty() || !Host().runScanDialog)
        return kTwainNothingAcquired;
    if (s->selected < 0 || size_t(s->selected) >= s->devices.size())
        s->selected = 0;
    HGLOBAL dib = NULL;
    int result = Host().runScanDialog(owner, &dib);
    if (result != 1 || !dib) {
        if (dib)
            GlobalFree(dib);
        return kTwainNothingAcquired;
    }
    *packedDib = dib;
    return 1;
}

void TwainRequestSettings(TwainSettingsReply reply)
{
    Session* s = Current().get();
    if (!s || s->devices.empty()) {
        if (reply)
            reply(false, TwainSettings());
        return;
    }
    if (s->selected < 0 || size_t(s->selected) >= s->devices.size())
        s->selected = 0;
    std::string name = s->devices[size_t(s->selected)].name;
    s->Submit([s, name, reply = std::move(reply)](Scanner& scanner) {
        TwainSettings settings;
        bool ok = scanner.Open(name) && scanner.ReadSettings(settings);
        s->Report([s, ok, settings = std::move(settings), reply]() {
            --s->busy;
            if (reply)
                reply(ok, settings);
        });
    });
    ServeWhileBusy();
}

void TwainRequestScan(const std::string& mode, int resolution, TwainScanReply reply)
{
    Session* s = Current().get();
    if (!s || s->devices.empty()) {
        if (reply)
            reply(NULL);
        return;
    }
    if (s->selected < 0 || size_t(s->selected) >= s->devices.size())
        s->selected = 0;
    std::string name = s->devices[size_t(s->selected)].name;
    auto pending = std::make_shared<PendingScan>();
    pending->number = ++s->lastScan;
    pending->reply = std::move(reply);
    s->scans.push_back(pending);
    s->Submit([s, name, mode, resolution, pending](Scanner& scanner) {
        const uint64_t number = pending->number;
        auto cancelled = [s, number] {
            std::lock_guard<std::mutex> guard(s->lock);
            return s->stopping || number <= s->cancelledUpTo;
        };
        HGLOBAL dib = NULL;
        if (!cancelled() && scanner.Open(name))
            dib = scanner.Scan(mode, resolution, cancelled);
        auto page = std::make_shared<OwnedDib>(dib);
        s->Report([s, page, pending]() { s->Answer(pending, page->Take()); });
        scanner.EndScan();
    });
    ServeWhileBusy();
}

void TwainCancelScan()
{
    Session* s = Current().get();
    if (!s)
        return;
    {
        std::lock_guard<std::mutex> guard(s->lock);
        s->cancelledUpTo = s->lastScan;
    }
    // The replies come now, without a page, whatever the backend takes to
    // stop (one whose reader dies in the wrong place never does); a page
    // that arrives after all is dropped.
    for (const std::shared_ptr<PendingScan>& pending : s->scans)
        s->Report([s, pending]() { s->Answer(pending, NULL); });
}

void TwainShutdown()
{
    // The session's end waits a while for its thread; the library is left
    // as it asks, and pages never delivered are freed with their news.
    std::shared_ptr<Session> s = std::move(Current());
    if (s)
        s->Stop(false);
}

} // namespace platform
