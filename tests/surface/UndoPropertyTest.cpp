// Undo and Redo as a property of every editing step: on a design holding an
// opaque photograph, a picture with transparent parts, a metafile picture,
// block text and wrapped text, seeded random edits of every kind the user
// makes with the mouse, the Arrange commands and their dialogs. After each
// edit, Undo must give back what the screen showed before it pixel for
// pixel and every object exactly as the design file stores it; Redo must
// give back the state after it. The edit is then kept, so later edits
// start from turned, mirrored, sized, cropped and grouped objects.
//
// The runs are separate tests of a few hundred edits each, so that they
// can run side by side and each stays within seconds.

#include "tests/surface/PictureEditTestSupport.h"

#include "model/DrawRect.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "pictures/PictureStudioDlg.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "resources/resource.h"
#include "text/TextBlock.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <cairo/cairo.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

constexpr int kRuns = 8;
constexpr int kEditsPerRun = 260;

// A placeable metafile: a frame over the whole picture and a filled box
// in its upper left part, so that turns and mirrors show.
std::string WriteMetafile(const std::string& hostPath)
{
    using picture_files::PutU16;
    using picture_files::PutU32;
    std::string s;
    PutU32(s, 0x9AC6CDD7);
    PutU16(s, 0);
    for (uint32_t v : {0u, 0u, 1000u, 600u})
        PutU16(s, v);
    PutU16(s, 1000);
    PutU32(s, 0);
    uint16_t sum = 0;
    for (size_t i = 0; i < s.size(); i += 2)
        sum ^= uint16_t(uint8_t(s[i]) | (uint8_t(s[i + 1]) << 8));
    PutU16(s, sum);
    std::string records;
    auto record = [&records](uint16_t function, std::initializer_list<uint16_t> params) {
        PutU32(records, uint32_t(3 + params.size()));
        PutU16(records, function);
        for (uint16_t p : params)
            PutU16(records, p);
    };
    record(0x041B, {600, 1000, 0, 0});     // Rectangle: bottom, right, top, left
    record(0x041B, {250, 400, 40, 60});    // the box
    record(0x0418, {560, 950, 380, 700}); // Ellipse
    record(0x0000, {});
    PutU16(s, 1);
    PutU16(s, 9);
    PutU16(s, 0x0300);
    PutU32(s, uint32_t(9 + records.size() / 2));
    PutU16(s, 0);
    PutU32(s, 7);
    PutU16(s, 0);
    s += records;
    testing_support::WriteFileBytes(hostPath, s);
    return platform::WindowsPathFor(hostPath);
}

enum class Edit {
    Move,
    Resize,
    ResizeSeveral,
    TurnByHandle,
    TurnByDialog,
    FlipHorizontal,
    FlipVertical,
    Crop,
    TextRemoval,
    Effect,
    Group,
    Ungroup,
    Scale,
    SameSize,
    Maximise,
    Studio,
    Count
};

const char* NameOf(Edit edit)
{
    switch (edit) {
    case Edit::Move: return "move";
    case Edit::Resize: return "resize";
    case Edit::ResizeSeveral: return "resize several";
    case Edit::TurnByHandle: return "turn by handle";
    case Edit::TurnByDialog: return "turn by dialog";
    case Edit::FlipHorizontal: return "flip horizontal";
    case Edit::FlipVertical: return "flip vertical";
    case Edit::Crop: return "crop";
    case Edit::TextRemoval: return "text removal";
    case Edit::Effect: return "picture effect";
    case Edit::Group: return "group";
    case Edit::Ungroup: return "ungroup";
    case Edit::Scale: return "scale";
    case Edit::SameSize: return "same size";
    case Edit::Maximise: return "maximise";
    case Edit::Studio: return "picture studio";
    case Edit::Count: break;
    }
    return "?";
}

// What the design is at one moment: the screen's pixels (no selection
// shown) and each object's record as the design file stores it.
struct State {
    std::string screen;
    std::vector<std::string> records;
    bool operator==(const State&) const = default;
};

std::string FirstDifference(const std::string& a, const std::string& b)
{
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    std::ostringstream out;
    out << "sizes " << a.size() << " and " << b.size() << ", first difference at byte " << n;
    // The bytes there, for a record; a screen is too large to show.
    if (a.size() < 100000) {
        for (const std::string* p : {&a, &b}) {
            out << (p == &a ? "\n  expected" : "\n  actual  ");
            for (size_t i = n - std::min<size_t>(n, 4); i < std::min(p->size(), n + 12); ++i)
                out << ' ' << std::hex << int(uint8_t((*p)[i])) << std::dec;
        }
    }
    return out.str();
}

testing::AssertionResult Same(const State& expected, const State& actual)
{
    if (expected.records.size() != actual.records.size())
        return testing::AssertionFailure() << expected.records.size() << " objects, then " << actual.records.size();
    for (size_t i = 0; i < expected.records.size(); ++i) {
        if (expected.records[i] != actual.records[i])
            return testing::AssertionFailure()
                << "object " << i << "'s record: " << FirstDifference(expected.records[i], actual.records[i]);
    }
    if (expected.screen != actual.screen) {
        // The first differing pixel, counted in 4-byte pixels.
        const std::string where = FirstDifference(expected.screen, actual.screen);
        return testing::AssertionFailure() << "the screen: " << where;
    }
    return testing::AssertionSuccess();
}

// The state with each object's saved rectangle (the third rectangle of its
// record) left out.
State WithoutSavedRects(State state)
{
    constexpr size_t kSavedRect = 32;
    constexpr size_t kRectBytes = 16;
    for (std::string& record : state.records) {
        if (record.size() >= kSavedRect + kRectBytes)
            record.replace(kSavedRect, kRectBytes, kRectBytes, '\0');
    }
    return state;
}

class UndoPropertyTest
    : public PictureEditTest
    , public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        m_pView = NewToolView();
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
        // A small view keeps the screen reads cheap: the page at a quarter
        // of its size.
        SetClientSize(m_pView, kClientWidth, kClientHeight);
        m_pView->SetZoom(kZoom);
        Pump();
        m_dir = testing_support::MakeTempDir("undoproperty");
        const std::string photo = picture_files::WriteBandedPhoto(m_dir + "/photo.jpg", 60, 40);
        const std::string clear = picture_files::WriteClearThirdsPng(m_dir + "/clear.png", 42, 36);
        const std::string drawing = WriteMetafile(m_dir + "/drawing.wmf");
        ASSERT_FALSE(photo.empty());
        ASSERT_FALSE(clear.empty());
        CDrawObj* pPhoto = AddPicture(photo, CRect(-320, 380, -60, 200));
        CDrawObj* pClear = AddPicture(clear, CRect(-100, 300, 160, 80));
        CDrawObj* pDrawing = AddPicture(drawing, CRect(60, 420, 330, 260));
        ASSERT_NE(pPhoto, nullptr);
        ASSERT_NE(pClear, nullptr);
        ASSERT_NE(pDrawing, nullptr);
        ASSERT_TRUE(pPhoto->m_pPicture->IsRaster());
        ASSERT_TRUE(pClear->m_pPicture->IsRaster());
        ASSERT_FALSE(pDrawing->m_pPicture->IsRaster());
        m_pictures = {pPhoto->m_nSerial, pClear->m_nSerial, pDrawing->m_nSerial};

        auto* pBlock = new CDrawRect(CRect(-300, -60, 200, -220));
        m_pView->Add(pBlock);
        pBlock->SetText(kBlockText, TRUE);
        auto* pWrapped = new CDrawRect(CRect(-200, 120, 300, -40));
        m_pView->Add(pWrapped);
        pWrapped->SetText("Wrapped lines of text that the frame breaks", FALSE);
        auto* pShape = new CDrawRect(CRect(100, -250, 320, -420), SHAPE_ELLIPSE);
        m_pView->Add(pShape);
        m_nBlock = pBlock->m_nSerial;
        // The block text takes the text edits only: laid out again after a
        // move, a sizing or a turn, it fits itself from the size it had
        // before, so that the same frame does not always give the same text.
        m_all = {pPhoto->m_nSerial, pClear->m_nSerial, pDrawing->m_nSerial, pWrapped->m_nSerial, pShape->m_nSerial};
        Settle();
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        ToolTest::TearDown();
    }

    // The client area as the screen shows it, drawn afresh.
    std::string Screen()
    {
        m_pView->Invalidate(FALSE);
        m_pView->UpdateWindow();
        HDC hWindow = ::GetDC(m_pView->m_hWnd);
        HDC hMemory = ::CreateCompatibleDC(hWindow);
        HBITMAP hBitmap = ::CreateCompatibleBitmap(hWindow, kClientWidth, kClientHeight);
        HGDIOBJ hOld = ::SelectObject(hMemory, hBitmap);
        ::BitBlt(hMemory, 0, 0, kClientWidth, kClientHeight, hWindow, 0, 0, SRCCOPY);
        ::SelectObject(hMemory, hOld);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kClientWidth;
        info.bmiHeader.biHeight = -kClientHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        std::string pixels(size_t(kClientWidth) * kClientHeight * 4, '\0');
        const int nLines = ::GetDIBits(hMemory, hBitmap, 0, kClientHeight, pixels.data(), &info, DIB_RGB_COLORS);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hMemory);
        ::ReleaseDC(m_pView->m_hWnd, hWindow);
        return nLines == kClientHeight ? pixels : std::string("unreadable");
    }

    static std::string BytesOf(CMemFile& file)
    {
        const DWORD nLength = file.GetLength();
        BYTE* pBytes = file.Detach();
        std::string bytes(reinterpret_cast<const char*>(pBytes), nLength);
        free(pBytes);
        return bytes;
    }

    // Block text stores the mark that says its layout waits to be redone,
    // which Undo of a removal leaves as the insertion sets it (the next
    // fitting clears it): a cache's state, not the design's. It is left out
    // of the block's record.
    void ForgetLayoutMark(std::string& record, CTextBlock* pBlock)
    {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ar.m_pDocument = m_pDoc;
            pBlock->Serialize(ar);
            ar.Close();
        }
        const std::string block = BytesOf(file);
        // The block's record begins with its shape and alignment, then its
        // flags.
        constexpr size_t kFlags = 8;
        const size_t nAt = record.find(block);
        if (nAt != std::string::npos && block.size() > kFlags)
            record[nAt + kFlags] = char(uint8_t(record[nAt + kFlags]) & ~TEXTBLOCK_LAYOUT_STALE);
    }

    State Capture()
    {
        m_pView->DeselectAllAndRedraw();
        // Whether each step brings the view's scroll range up to date is
        // another matter: the design is looked at over a range made afresh
        // from the top left.
        m_pView->CheckObjectExtent(nullptr);
        m_pView->InvalidateIfExtentChanged();
        m_pView->ScrollToPosition(CPoint(0, 0));
        Pump();
        State state;
        for (POSITION pos = m_pView->GetObjects().GetHeadPosition(); pos != nullptr;) {
            auto* pObj = static_cast<CDrawObj*>(m_pView->GetObjects().GetNext(pos));
            CMemFile file;
            {
                CArchive ar(&file, CArchive::store);
                ar.m_pDocument = m_pDoc;
                pObj->Serialize(ar);
                ar.Close();
            }
            state.records.push_back(BytesOf(file));
            if (CTextBlock* pBlock = pObj->m_bBlockText ? pObj->GetTextBlock() : nullptr)
                ForgetLayoutMark(state.records.back(), pBlock);
        }
        state.screen = Screen();
        return state;
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
    // Objects are found by serial number: Undo and Redo of a deletion bring
    // back objects of their own.
    CDrawObj* Find(DWORD nSerial) { return m_pDoc->FindObjectById(nSerial); }
    CDrawObj* PickOf(const std::vector<DWORD>& from) { return Find(from[size_t(Pick(0, int(from.size()) - 1))]); }

    CPoint HandleAt(CDrawObj* pObj, int nHandle)
    {
        return ClientAt(m_pView, pObj->GetHandleRect(nHandle, m_pView).CenterPoint());
    }

    // Two or three distinct objects, the first alone and the others added.
    std::vector<CDrawObj*> SelectSeveral()
    {
        std::vector<DWORD> serials = m_all;
        std::shuffle(serials.begin(), serials.end(), m_random);
        serials.resize(size_t(Pick(2, 3)));
        std::vector<CDrawObj*> chosen;
        for (DWORD nSerial : serials)
            chosen.push_back(Find(nSerial));
        m_pView->Select(chosen[0]);
        for (size_t i = 1; i < chosen.size(); ++i)
            m_pView->Select(chosen[i], TRUE);
        Settle();
        return chosen;
    }

    static CRect Bounds(CDrawObj* pObj) { return CDrawObj::NormalizeUp(pObj->m_position); }

    // Drags from the object's middle by an offset that keeps its middle on
    // the page's inner part: the objects stay on the page, so that no step
    // changes how far the view scrolls.
    void Move(CDrawObj* pObj)
    {
        SelectAlone(pObj);
        const CPoint centre = Bounds(pObj).CenterPoint();
        const CPoint to(std::clamp(centre.x + Pick(-120, 120), -170, 170),
            std::clamp(centre.y + Pick(-120, 120), -270, 270));
        DragClient(m_pView, ClientAt(m_pView, centre), ClientAt(m_pView, to));
    }

    // Small objects only grow, large ones only shrink, so that the objects
    // stay large enough to take hold of and small enough to see.
    CSize SizeStep(CDrawObj* pObj)
    {
        const CRect r = Bounds(pObj);
        const int lo = r.Width() < 120 || r.Height() < 120 ? 0 : -60;
        const int hi = r.Width() > 240 || r.Height() > 240 ? 0 : 60;
        return CSize(Pick(lo, hi), Pick(lo, hi));
    }

    void Resize(CDrawObj* pObj)
    {
        SelectAlone(pObj);
        const CPoint from = HandleAt(pObj, Pick(1, 8));
        const CSize step = SizeStep(pObj);
        const CPoint to(from.x + step.cx / 4, from.y + step.cy / 4);
        DragClient(m_pView, from, to);
    }

    void ResizeSeveral()
    {
        const std::vector<CDrawObj*> chosen = SelectSeveral();
        CDrawObj* pHeld = chosen[0];
        const CPoint from = HandleAt(pHeld, Pick(1, 8));
        const CSize step = SizeStep(pHeld);
        DragClient(m_pView, from, CPoint(from.x + step.cx / 4, from.y + step.cy / 4));
    }

    void TurnByHandle(CDrawObj* pObj)
    {
        SelectAlone(pObj);
        const CRect r = Bounds(pObj);
        const CPoint centre = r.CenterPoint();
        const double dRadius = r.Width() / 2 + 120;
        const double dRad = Pick(0, 359) * 3.14159265358979 / 180.0;
        const CPoint to(centre.x + int(std::lround(dRadius * std::cos(dRad))),
            centre.y + int(std::lround(dRadius * std::sin(dRad))));
        DragClient(m_pView, HandleAt(pObj, kRotateHandle), ClientAt(m_pView, to));
    }

    void TurnByDialog(CDrawObj* pObj)
    {
        SelectAlone(pObj);
        // Right angles often: they are the turns a mirror can follow.
        const int nDegrees = Pick(0, 2) == 0 ? 90 * Pick(-3, 3) : Pick(-359, 359);
        const std::string text = std::to_string(nDegrees);
        testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [text](HWND hDlg) {
            ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, text.c_str());
            ::SendMessage(hDlg, WM_COMMAND, IDOK, 0);
        })});
        Command(ID_ARRANGE_ROTATE);
    }

    void Flip(UINT nID)
    {
        if (Pick(0, 2) == 0)
            SelectSeveral();
        else
            SelectAlone(PickOf(m_all));
        Command(nID);
    }

    void Crop(CDrawObj* pObj)
    {
        SelectAlone(pObj);
        Command(ID_EDIT_CROP_TOOL);
        if (g_nCurrentShape != kShapeCrop)
            return;
        const CPoint from = HandleAt(pObj, Pick(1, 8));
        const CPoint middle = ClientAt(m_pView, Bounds(pObj).CenterPoint());
        const double dShare = Pick(10, 40) / 100.0;
        const CPoint to(from.x + int((middle.x - from.x) * dShare), from.y + int((middle.y - from.y) * dShare));
        DragClient(m_pView, from, to);
        const CPoint keep = ClientAt(m_pView, Bounds(pObj).CenterPoint());
        m_clock.Advance(kApart);
        DragClient(m_pView, keep, keep);
        m_clock.Advance(kApart);
        if (g_nCurrentShape == kShapeCrop)
            Key(VK_ESCAPE);
        Pump();
    }

    // Takes a few characters out of the block text as the keys take them
    // while it is edited, while it has some to give.
    void RemoveText()
    {
        CDrawObj* pObj = Find(m_nBlock);
        // Keys go to the text only while it is the one object selected.
        if (pObj->m_wObjectWord != 0)
            return;
        SelectAlone(pObj);
        if (pObj->GetText().GetLength() < 8)
            return;
        pObj->BeginTextEdit();
        Pump();
        if (!pObj->IsTextEditActive())
            return;
        m_pDoc->GetUndoList().Clear();
        Key(VK_HOME, Ctrl);
        for (int n = Pick(0, 6); n > 0; --n)
            Key(VK_RIGHT);
        for (int n = Pick(0, 3); n > 0; --n)
            Key(VK_RIGHT, Shift);
        // Delete is the key whose removal is a step; outside the text it
        // would delete the object.
        if (pObj->IsTextEditActive())
            Key(VK_DELETE);
        Key(VK_ESCAPE);
    }

    void Effect(CDrawObj* pObj)
    {
        static constexpr UINT kEffects[] = {ID_PICTURE_GRAYSCALE, ID_PICTURE_EMBOSS, ID_PICTURE_BLUR,
            ID_PICTURE_MOSAIC, ID_PICTURE_BRIGHTEN, ID_PICTURE_DARKEN};
        SelectAlone(pObj);
        Command(kEffects[Pick(0, int(std::size(kEffects)) - 1)]);
    }

    void Scale()
    {
        if (Pick(0, 1) == 0)
            SelectSeveral();
        else
            SelectAlone(PickOf(m_all));
        const std::string percent = std::to_string(Pick(80, 110));
        const int nDirection = Pick(0, 2);
        testing_support::DriveActiveWindow({OnDialogWith(IDC_SCALE_PERCENT, [percent, nDirection](HWND hDlg) {
            if (nDirection > 0) {
                const int nID = nDirection == 1 ? IDC_SCALE_HORZ_ONLY : IDC_SCALE_VERT_ONLY;
                ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
            }
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, percent.c_str());
            ::SendMessage(hDlg, WM_COMMAND, IDOK, 0);
        })});
        Command(ID_ARRANGE_SCALE);
    }

    void Studio(CDrawObj* pObj)
    {
        SelectAlone(pObj);
        testing_support::DriveActiveWindow({[](HWND hActive) {
            if (dynamic_cast<CPictureStudioDlg*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
                return false;
            ::SendMessage(hActive, WM_COMMAND, IDOK, 0);
            return true;
        }});
        Command(ID_EDIT_PICTURE_STUDIO);
    }

    void Do(Edit edit)
    {
        static constexpr UINT kSameSize[] = {ID_ARRANGE_SAME_WIDTH, ID_ARRANGE_SAME_HEIGHT, ID_ARRANGE_SAME_BOTH};
        switch (edit) {
        case Edit::Move: Move(PickOf(m_all)); break;
        case Edit::Resize: Resize(PickOf(m_all)); break;
        case Edit::ResizeSeveral: ResizeSeveral(); break;
        case Edit::TurnByHandle: TurnByHandle(PickOf(m_all)); break;
        case Edit::TurnByDialog: TurnByDialog(PickOf(m_all)); break;
        case Edit::FlipHorizontal: Flip(ID_ARRANGE_FLIP_HORZ); break;
        case Edit::FlipVertical: Flip(ID_ARRANGE_FLIP_VERT); break;
        case Edit::Crop: Crop(PickOf(m_pictures)); break;
        case Edit::TextRemoval: RemoveText(); break;
        case Edit::Effect: Effect(PickOf(m_pictures)); break;
        case Edit::Group: SelectSeveral(); Command(ID_ARRANGE_GROUP); break;
        case Edit::Ungroup: SelectAlone(PickOf(m_all)); Command(ID_ARRANGE_UNGROUP); break;
        case Edit::Scale: Scale(); break;
        case Edit::SameSize:
            SelectSeveral();
            Command(kSameSize[Pick(0, 2)]);
            break;
        case Edit::Maximise: SelectAlone(PickOf(m_all)); Command(ID_ARRANGE_MAXIMIZE); break;
        case Edit::Studio: Studio(PickOf(m_pictures)); break;
        case Edit::Count: break;
        }
        platform::headless::SetIdleHandler(nullptr);
        Pump();
    }

    Edit PickEdit()
    {
        // Effects and maximising change the most at once and cost the most:
        // they come less often.
        for (;;) {
            const Edit edit = static_cast<Edit>(Pick(0, int(Edit::Count) - 1));
            if ((edit == Edit::Effect || edit == Edit::Maximise || edit == Edit::Studio) && Pick(0, 2) != 0)
                continue;
            return edit;
        }
    }

    static constexpr int kClientWidth = 260;
    static constexpr int kClientHeight = 320;
    static constexpr WORD kZoom = 25;
    static constexpr const char* kBlockText = "Block text to take apart";

    CDrawDoc* m_pDoc = nullptr;
    DWORD m_nBlock = 0;
    std::vector<DWORD> m_pictures;
    std::vector<DWORD> m_all;
    std::string m_dir;
    std::mt19937 m_random;
};

TEST_P(UndoPropertyTest, EachEditIsUndoneAndRedoneExactly)
{
    // Each run starts from the same design with a seed of its own.
    m_random.seed(20261208u + unsigned(GetParam()));
    const int nFirst = GetParam() * kEditsPerRun;
    int nSteps = 0;
    State before = Capture();
    for (int n = nFirst; n < nFirst + kEditsPerRun; ++n) {
        const Edit edit = PickEdit();
        SCOPED_TRACE("edit " + std::to_string(n) + ": " + NameOf(edit));
        m_pDoc->GetUndoList().Clear();
        Do(edit);
        ASSERT_NE(g_nCurrentShape, kShapeCrop) << "a crop was left under way";
        const State after = Capture();
        CUndoList& list = m_pDoc->GetUndoList();
        if (!list.CanUndo()) {
            // A press on a handle notes the object's rectangle as its saved
            // one, whether the drag then changes anything or not; the rest
            // must be as it was.
            ASSERT_TRUE(Same(WithoutSavedRects(before), WithoutSavedRects(after)))
                << "the edit changed the design and left no step";
            before = after;
            continue;
        }
        ++nSteps;
        SCOPED_TRACE(std::string("the step: ") + static_cast<LPCTSTR>(list.GetUndoLabel()));
        Command(ID_EDIT_UNDO);
        const State undone = Capture();
        ASSERT_TRUE(Same(before, undone)) << "after Undo";
        Command(ID_EDIT_REDO);
        const State redone = Capture();
        ASSERT_TRUE(Same(after, redone)) << "after Redo";
        if (edit == Edit::Maximise) {
            // A page-sized object would cover every other: it goes back.
            Command(ID_EDIT_UNDO);
            before = Capture();
        } else {
            before = redone;
        }
    }
    // Many edits change something (a flip of a turned object, a group
    // of a group and the like change nothing).
    EXPECT_GT(nSteps, kEditsPerRun / 3);
}

INSTANTIATE_TEST_SUITE_P(SeededEdits, UndoPropertyTest, ::testing::Range(0, kRuns),
    [](const ::testing::TestParamInfo<int>& info) {
        return "Edits" + std::to_string(info.param * kEditsPerRun + 1) + "To"
            + std::to_string((info.param + 1) * kEditsPerRun);
    });

} // namespace
} // namespace surfacetest
