// Undo and Redo of what the mouse and the Arrange commands do to a
// picture's frame (turning it by its handle or by the Rotate dialog,
// mirroring it, sizing it by a handle, cropping it) give back the very
// picture: every object's record as the design file stores it, the pixels
// behind each picture, and the design's saved contents.

#include "tests/surface/PictureEditTestSupport.h"

#include "model/DrawRect.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "platform/imaging/Imaging.h"
#include "resources/resource.h"
#include "tests/model/DesignFileSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <cairo/cairo.h>

#include <chrono>
#include <functional>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

// The raster behind an engine handle: its form and every byte of it.
std::string RasterBytes(int nHandle)
{
    if (!CImage::IsEngineHandle(nHandle))
        return "no raster";
    LTBITMAP* pBitmap = nullptr;
    if (GetPicBitmap(nHandle, &pBitmap) != 1 || pBitmap == nullptr)
        return "unreadable";
    std::ostringstream form;
    form << pBitmap->Width << "x" << pBitmap->Height << "x" << pBitmap->BitsPerPixel << " order "
         << pBitmap->Order << ":";
    std::string bytes = form.str();
    bytes.append(reinterpret_cast<const char*>(pBitmap->Pixels.data()), pBitmap->Pixels.size());
    for (const RGBQUAD& q : pBitmap->Palette)
        bytes.append(reinterpret_cast<const char*>(&q), sizeof(q));
    return bytes;
}

// One object as the design keeps it: its stored record and the rasters of
// its picture.
struct ObjectState {
    std::string record;
    std::string working;
    std::string base;
};
using DesignState = std::vector<ObjectState>;

// Where two byte strings first differ, for a failure message that does
// not print pictures.
std::string FirstDifference(const std::string& a, const std::string& b)
{
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    std::ostringstream out;
    out << "sizes " << a.size() << " and " << b.size() << ", first difference at byte " << n;
    return out.str();
}

testing::AssertionResult Same(const DesignState& expected, const DesignState& actual)
{
    if (expected.size() != actual.size())
        return testing::AssertionFailure() << expected.size() << " objects, then " << actual.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        const ObjectState& e = expected[i];
        const ObjectState& a = actual[i];
        if (e.record != a.record)
            return testing::AssertionFailure() << "object " << i << "'s record: " << FirstDifference(e.record, a.record);
        if (e.working != a.working)
            return testing::AssertionFailure() << "object " << i << "'s pixels: " << FirstDifference(e.working, a.working);
        if (e.base != a.base)
            return testing::AssertionFailure() << "object " << i << "'s unaltered pixels: "
                                               << FirstDifference(e.base, a.base);
    }
    return testing::AssertionSuccess();
}

enum class Edit { TurnByHandle, TurnByDialog, FlipHorizontal, FlipVertical, Resize, Crop };

const char* NameOf(Edit edit)
{
    switch (edit) {
    case Edit::TurnByHandle: return "turn by handle";
    case Edit::TurnByDialog: return "turn by dialog";
    case Edit::FlipHorizontal: return "flip horizontal";
    case Edit::FlipVertical: return "flip vertical";
    case Edit::Resize: return "resize";
    case Edit::Crop: return "crop";
    }
    return "?";
}

class PictureFrameUndoTest : public PictureEditTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        m_pView = NewToolView();
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
        m_dir = testing_support::MakeTempDir("pictureframeundo");
        const std::string photo = picture_files::WriteBandedPhoto(m_dir + "/photo.jpg", 64, 48);
        const std::string clear = picture_files::WriteClearThirdsPng(m_dir + "/clear.png", 48, 40);
        ASSERT_FALSE(photo.empty());
        ASSERT_FALSE(clear.empty());
        m_pPhoto = AddPicture(photo, CRect(-300, 200, -100, 50));
        m_pClear = AddPicture(clear, CRect(100, 200, 280, 50));
        ASSERT_NE(m_pPhoto, nullptr);
        ASSERT_NE(m_pClear, nullptr);
        ASSERT_TRUE(m_pPhoto->m_pPicture->IsRaster());
        ASSERT_TRUE(m_pClear->m_pPicture->IsRaster());
        Settle();
    }

    DesignState State()
    {
        DesignState state;
        for (POSITION pos = m_pView->GetObjects().GetHeadPosition(); pos != nullptr;) {
            auto* pObj = static_cast<CDrawObj*>(m_pView->GetObjects().GetNext(pos));
            ObjectState object;
            CMemFile file;
            {
                CArchive ar(&file, CArchive::store);
                ar.m_pDocument = m_pDoc;
                pObj->Serialize(ar);
                ar.Close();
            }
            const DWORD nLength = file.GetLength();
            BYTE* pBytes = file.Detach();
            object.record.assign(reinterpret_cast<const char*>(pBytes), nLength);
            free(pBytes);
            if (pObj->m_pPicture != nullptr) {
                object.working = RasterBytes(pObj->m_pPicture->m_nHandle);
                object.base = RasterBytes(pObj->m_pPicture->m_nBaseHandle);
            }
            state.push_back(std::move(object));
        }
        return state;
    }

    // The design's Contents stream as File > Save writes it. The open
    // design holds the file it saved, so a copy of the file is read.
    std::string SavedContents(const std::string& name)
    {
        const std::string host = m_dir + "/" + name;
        if (!m_pDoc->OnSaveDocument(platform::WindowsPathFor(host).c_str()))
            return "not saved";
        Settle();
        testing_support::WriteFileBytes(host + ".copy", testing_support::ReadFileBytes(host));
        return modeltest::DesignStreamBytes(platform::WindowsPathFor(host + ".copy"), "Contents");
    }

    CPoint HandleAt(CDrawObj* pObj, int nHandle)
    {
        return ClientAt(m_pView, pObj->GetHandleRect(nHandle, m_pView).CenterPoint());
    }

    void TurnByHandle(CDrawObj* pObj, double dDegrees)
    {
        SelectAlone(pObj);
        const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
        const CPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        const double dRadius = r.Width() / 2 + 80;
        const double dRad = dDegrees * 3.14159265358979 / 180.0;
        const CPoint to(centre.x + int(std::lround(dRadius * std::cos(dRad))),
            centre.y + int(std::lround(dRadius * std::sin(dRad))));
        DragClient(m_pView, HandleAt(pObj, kRotateHandle), ClientAt(m_pView, to));
    }

    // Drags a sizing handle by (dx, dy) client pixels.
    void Resize(CDrawObj* pObj, int nHandle, int dx, int dy)
    {
        SelectAlone(pObj);
        const CPoint from = HandleAt(pObj, nHandle);
        DragClient(m_pView, from, CPoint(from.x + dx, from.y + dy));
    }

    // Drags a handle of the crop tool towards the picture's middle by a
    // share of the way, then clicks on the picture to keep the crop.
    void Crop(CDrawObj* pObj, int nHandle, double dShare)
    {
        SelectAlone(pObj);
        Command(ID_EDIT_CROP_TOOL);
        if (g_nCurrentShape != kShapeCrop)
            return;
        const CPoint from = HandleAt(pObj, nHandle);
        const CPoint middle = ClientAt(m_pView, CDrawObj::NormalizeUp(pObj->m_position).CenterPoint());
        const CPoint to(from.x + int((middle.x - from.x) * dShare), from.y + int((middle.y - from.y) * dShare));
        DragClient(m_pView, from, to);
        const CPoint keep = ClientAt(m_pView, CDrawObj::NormalizeUp(pObj->m_position).CenterPoint());
        m_clock.Advance(kApart);
        DragClient(m_pView, keep, keep);
        m_clock.Advance(kApart);
        // A picture too small to click beside its handles keeps the crop
        // under way: Escape gives back what it changed.
        if (g_nCurrentShape == kShapeCrop)
            Key(VK_ESCAPE);
        Pump();
    }

    void Do(Edit edit, CDrawObj* pObj, std::mt19937* pRandom = nullptr)
    {
        auto pick = [&](int lo, int hi) {
            return pRandom != nullptr ? std::uniform_int_distribution<int>(lo, hi)(*pRandom) : (lo + hi) / 2;
        };
        switch (edit) {
        case Edit::TurnByHandle: TurnByHandle(pObj, pRandom != nullptr ? pick(0, 359) : 35.0); break;
        case Edit::TurnByDialog: TurnByDialog(pObj, pRandom != nullptr ? pick(-359, 359) : 60); break;
        case Edit::FlipHorizontal: SelectAlone(pObj); Command(ID_ARRANGE_FLIP_HORZ); break;
        case Edit::FlipVertical: SelectAlone(pObj); Command(ID_ARRANGE_FLIP_VERT); break;
        case Edit::Resize:
            if (pRandom != nullptr)
                // Growing a little more often than shrinking, so that the
                // pictures stay large enough to crop.
                Resize(pObj, pick(1, 8), pick(-40, 60), pick(-40, 60));
            else
                Resize(pObj, 3, 40, 25);
            break;
        case Edit::Crop:
            if (pRandom != nullptr)
                Crop(pObj, pick(1, 8), pick(10, 60) / 100.0);
            else
                Crop(pObj, 4, 0.4);
            break;
        }
        Settle();
    }

    void Undo()
    {
        Command(ID_EDIT_UNDO);
        Settle();
    }

    void Redo()
    {
        Command(ID_EDIT_REDO);
        Settle();
    }

    CDrawDoc* m_pDoc = nullptr;
    CDrawRect* m_pPhoto = nullptr;
    CDrawRect* m_pClear = nullptr;
    std::string m_dir;
};

constexpr Edit kEdits[] = {Edit::TurnByHandle, Edit::TurnByDialog, Edit::FlipHorizontal, Edit::FlipVertical,
    Edit::Resize, Edit::Crop};

} // namespace

TEST_F(PictureFrameUndoTest, UndoAndRedoOfEachFrameEditGiveBackThePictureExactly)
{
    for (CDrawRect* pObj : {m_pPhoto, m_pClear}) {
        for (Edit edit : kEdits) {
            SCOPED_TRACE(std::string(NameOf(edit)) + (pObj == m_pPhoto ? " of the JPEG" : " of the PNG"));
            const DesignState before = State();
            Do(edit, pObj);
            const DesignState after = State();
            ASSERT_FALSE(Same(before, after)) << "the edit changed nothing";
            Undo();
            EXPECT_TRUE(Same(before, State())) << "after Undo";
            Redo();
            EXPECT_TRUE(Same(after, State())) << "after Redo";
            Undo();
            EXPECT_TRUE(Same(before, State())) << "after a second Undo";
        }
    }
}

TEST_F(PictureFrameUndoTest, ASaveAfterUndoWritesTheDesignTheSaveBeforeTheEditWrote)
{
    for (Edit edit : kEdits) {
        SCOPED_TRACE(NameOf(edit));
        const std::string before = SavedContents("before.gnl");
        ASSERT_NE(before, "not saved");
        ASSERT_FALSE(before.empty());
        Do(edit, m_pPhoto);
        Do(edit == Edit::TurnByHandle ? Edit::TurnByDialog : edit, m_pClear);
        const std::string after = SavedContents("after.gnl");
        ASSERT_NE(before, after);
        Undo();
        Undo();
        const std::string undone = SavedContents("undone.gnl");
        EXPECT_TRUE(before == undone) << FirstDifference(before, undone);
        Redo();
        Redo();
        const std::string redone = SavedContents("redone.gnl");
        EXPECT_TRUE(after == redone) << FirstDifference(after, redone);
        Undo();
        Undo();
    }
}

// The commands that size, turn or change pictures beside the mouse on a
// single picture: several pictures sized together (Scale, Same Size, a
// handle of one of them), Maximise, the Rotate dialog on a selection, a
// quick effect and Picture Studio. Each is one step that gives back every
// picture exactly, and a save after Undo writes what the save before wrote.
TEST_F(PictureFrameUndoTest, EveryRoadThatSizesTurnsOrChangesPicturesIsUndoneExactly)
{
    auto selectBoth = [&] {
        m_pView->Select(m_pPhoto);
        m_pView->Select(m_pClear, TRUE);
        Settle();
    };
    auto scale = [&] {
        selectBoth();
        testing_support::DriveActiveWindow({OnDialogWith(IDC_SCALE_PERCENT, [](HWND hDlg) {
            ::SetDlgItemText(hDlg, IDC_SCALE_PERCENT, "80");
            ::SendMessage(hDlg, WM_COMMAND, IDOK, 0);
        })});
        Command(ID_ARRANGE_SCALE);
    };
    auto sameSize = [&] {
        selectBoth();
        Command(ID_ARRANGE_SAME_BOTH);
    };
    auto resizeBoth = [&] {
        selectBoth();
        const CPoint from = HandleAt(m_pPhoto, 3);
        DragClient(m_pView, from, CPoint(from.x + 30, from.y + 20));
    };
    auto maximise = [&] {
        SelectAlone(m_pPhoto);
        Command(ID_ARRANGE_MAXIMIZE);
    };
    auto turnBoth = [&] {
        selectBoth();
        testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [](HWND hDlg) {
            ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, "90");
            ::SendMessage(hDlg, WM_COMMAND, IDOK, 0);
        })});
        Command(ID_ARRANGE_ROTATE);
    };
    auto effect = [&] {
        SelectAlone(m_pClear);
        Command(ID_PICTURE_EMBOSS);
    };
    auto studio = [&] {
        SelectAlone(m_pPhoto);
        testing_support::DriveActiveWindow({[](HWND hActive) {
            if (::GetDlgItem(hActive, IDC_STUDIO_LIST) == NULL)
                return false;
            ::SendMessage(hActive, WM_COMMAND, IDOK, 0);
            return true;
        }});
        Command(ID_EDIT_PICTURE_STUDIO);
    };
    auto turnEach = [&] {
        TurnByDialog(m_pPhoto, 30);
        TurnByDialog(m_pClear, 200);
        platform::headless::SetIdleHandler(nullptr);
        Settle();
    };
    struct Road {
        const char* pszName;
        std::function<void()> run;
        bool bChecked = true; // false: it readies the pictures for the next ones
    };
    // Sizing several objects at once is for upright ones; the other roads
    // meet turned pictures too.
    const Road roads[] = {{"scale", scale}, {"same size", sameSize}, {"a handle of one of two", resizeBoth},
        {"maximise", maximise}, {"the Rotate dialog on two", turnBoth}, {"a quick effect", effect},
        {"Picture Studio", studio}, {"turning both", turnEach, false}, {"the Rotate dialog on two turned", turnBoth},
        {"a quick effect on a turned picture", effect}, {"Picture Studio on a turned picture", studio}};
    for (const Road& road : roads) {
        if (!road.bChecked) {
            road.run();
            continue;
        }
        SCOPED_TRACE(road.pszName);
        const std::string saved = SavedContents("before.gnl");
        const DesignState before = State();
        road.run();
        platform::headless::SetIdleHandler(nullptr);
        Settle();
        const DesignState after = State();
        ASSERT_FALSE(Same(before, after)) << "the command changed nothing";
        Undo();
        EXPECT_TRUE(Same(before, State())) << "after Undo";
        const std::string undone = SavedContents("undone.gnl");
        EXPECT_TRUE(saved == undone) << FirstDifference(saved, undone);
        Redo();
        EXPECT_TRUE(Same(after, State())) << "after Redo";
        Undo();
        EXPECT_TRUE(Same(before, State())) << "after a second Undo";
    }
}

// Random edits of every kind on both pictures, each undone and redone and
// then kept, so that later edits start from turned, mirrored, sized and
// cropped pictures.
TEST_F(PictureFrameUndoTest, ASeededRunOfFrameEditsUndoesAndRedoesEachExactly)
{
    std::mt19937 random(20240611);
    const auto start = std::chrono::steady_clock::now();
    int nChecked = 0;
    for (int n = 0; n < 400; ++n) {
        const Edit edit = kEdits[std::uniform_int_distribution<int>(0, 5)(random)];
        CDrawRect* pObj = std::uniform_int_distribution<int>(0, 1)(random) == 0 ? m_pPhoto : m_pClear;
        SCOPED_TRACE("edit " + std::to_string(n) + ": " + NameOf(edit) + (pObj == m_pPhoto ? " of the JPEG" : " of the PNG"));
        const DesignState before = State();
        Do(edit, pObj, &random);
        ASSERT_NE(g_nCurrentShape, kShapeCrop) << "a crop was left under way";
        const DesignState after = State();
        if (Same(before, after))
            continue;
        ++nChecked;
        Undo();
        Redo();
        ASSERT_TRUE(Same(after, State())) << "after Redo";
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(9))
            break;
    }
    EXPECT_GT(nChecked, 40);
}

} // namespace surfacetest
