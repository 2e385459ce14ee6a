// The view's Properties command and its menu text, the one-click picture
// effects, information fields, the view as a drop target and Set as
// Wallpaper.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "app/main/DesignerApp.h"
#include "model/DrawRect.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"
#include "platform/files/HostPath.h"
#include "platform/framework/OleData.h"
#include "platform/services/Wallpaper.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/SystemParameters.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

const char kPicture[] = THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png";

// What an update handler says about a command, its text included.
using ItemState = testing_support::CommandState;

ItemState ItemStateOf(CCmdTarget* pTarget, UINT nID)
{
    return testing_support::CommandStateOf(pTarget, nID);
}

std::vector<BYTE> PictureBytes(CDrawObj* pObj)
{
    std::vector<BYTE> bytes;
    HGLOBAL hMemory = NULL;
    DWORD nSize = 0;
    if (pObj->m_pPicture == nullptr || !pObj->m_pPicture->SaveToMemory(&hMemory, &nSize, FALSE))
        return bytes;
    if (const auto* p = static_cast<const BYTE*>(::GlobalLock(hMemory))) {
        bytes.assign(p, p + nSize);
        ::GlobalUnlock(hMemory);
    }
    ::GlobalFree(hMemory);
    return bytes;
}

// Files offered as a drop offers them, with the point of the drop.
class FileDrop {
public:
    explicit FileDrop(const std::vector<std::string>& hostPaths)
    {
        std::vector<CString> files;
        for (const std::string& path : hostPaths)
            files.emplace_back(platform::WindowsPathFor(path).c_str());
        m_data.AttachOffer(platform::MakeFileDropOffer(files, POINT{0, 0}));
    }
    COleDataObject* Get() { return &m_data; }

private:
    COleDataObject m_data;
};

class SurfacePropertiesTest : public SurfaceInputTest {
protected:
    CWinApp& MakeProgramApp() override { return MakeApp<CDesignerApp>(); }

    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_pView = NewView();
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
    }
    void TearDown() override
    {
        platform::SetAfxMessageBoxHandler(nullptr);
        platform::SetDesktopWallpaperHandler(nullptr);
        SurfaceInputTest::TearDown();
    }

    CDrawRect* AddPicture(const CRect& rect = CRect(-200, 200, 200, -200))
    {
        CDrawRect* pObj = AddRect(m_pView, rect);
        pObj->SetPictureFile(platform::WindowsPathFor(kPicture).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        return pObj;
    }
    CDrawObj* AddText(const CString& strText, WORD wFields)
    {
        CDrawObj* pObj = MakeTextObject(CRect(-300, 300, 300, 100), strText, NewTextFont::Default);
        pObj->m_wExtraFlags = wFields;
        m_pView->Add(pObj);
        return pObj;
    }
    void Command(UINT nID)
    {
        m_pView->SendMessage(WM_COMMAND, nID, 0);
        Pump();
    }
    CUndoList& UndoList() { return m_pDoc->GetUndoList(); }
    static std::string Text(UINT nID)
    {
        CString str;
        str.LoadString(nID);
        return static_cast<LPCTSTR>(str);
    }
    // The client point of a logical point of the view.
    CPoint ClientAt(CPoint logical)
    {
        m_pView->LPtoDPPoint(&logical);
        return logical;
    }

    CSurface* m_pView = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    std::vector<std::string> m_boxes;
};

TEST_F(SurfacePropertiesTest, PropertiesItemNamesWhatItChangesAndIsOnlyForOneUnlockedObject)
{
    REQUIRE_TESTDATA();
    CDrawObj* pPicture = AddPicture();
    CDrawObj* pText = AddText("Hello", 0);
    CDrawRect* pShape = AddRect(m_pView, CRect(0, 50, 50, 0));
    CDrawRect* pLine = AddRect(m_pView, CRect(0, 50, 50, 0), SHAPE_LINE);
    const struct {
        CDrawObj* pObj;
        const char* text;
    } cases[] = {
        {pPicture, "C&hange Picture..."},
        {pText, "Ed&it Text"},
        {pShape, "C&hange Shape..."},
        {pLine, "C&hange Line..."},
    };
    for (const auto& c : cases) {
        m_pView->Select(c.pObj);
        const ItemState state = ItemStateOf(m_pView, ID_EDIT_PROPERTIES);
        EXPECT_TRUE(state.bEnabled) << c.text;
        EXPECT_EQ(state.text, c.text);
    }

    // Locked, two at once, or another tool: the plain item, greyed.
    m_pView->Select(pPicture);
    pPicture->m_wFlags |= OBJ_FLAG_LOCKED;
    ItemState state = ItemStateOf(m_pView, ID_EDIT_PROPERTIES);
    EXPECT_FALSE(state.bEnabled);
    EXPECT_EQ(state.text, "Properties...\tAlt+Enter");
    pPicture->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);
    m_pView->Select(pShape, TRUE);
    state = ItemStateOf(m_pView, ID_EDIT_PROPERTIES);
    EXPECT_FALSE(state.bEnabled);
    EXPECT_EQ(state.text, "Properties...\tAlt+Enter");
    m_pView->Select(pShape);
    g_nCurrentShape = kShapeText;
    EXPECT_FALSE(ItemStateOf(m_pView, ID_EDIT_PROPERTIES).bEnabled);
    g_nCurrentShape = kShapeSelect;
}

TEST_F(SurfacePropertiesTest, PropertiesAndShapeOpenTheObjectsEditorAndLeaveNoCapture)
{
    // An object that notes which editor page it is asked to open.
    class COpenRecorder : public CDrawRect {
    public:
        using CDrawRect::CDrawRect;
        BOOL OnOpen(CSurface*, int nPage, CWnd*, CObjectAttributes*, UINT) override
        {
            m_pages.push_back(nPage);
            return FALSE;
        }
        std::vector<int> m_pages;
    };
    auto* pObj = new COpenRecorder(CRect(-100, 100, 100, -100));
    m_pView->Add(pObj);
    m_pView->Select(pObj);
    Command(ID_EDIT_PROPERTIES);
    EXPECT_EQ(pObj->m_pages, std::vector<int>{CDrawObj::EditByContent});
    EXPECT_EQ(::GetCapture(), HWND(NULL));
    Command(ID_EDIT_OBJECT_SHAPE);
    EXPECT_EQ(pObj->m_pages, (std::vector<int>{CDrawObj::EditByContent, CDrawObj::EditShape}));

    // Locked, or with another tool in hand, nothing opens.
    pObj->m_pages.clear();
    pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    Command(ID_EDIT_PROPERTIES);
    pObj->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);
    g_nCurrentShape = kShapeText;
    m_pView->OnProperties();
    g_nCurrentShape = kShapeSelect;
    EXPECT_TRUE(pObj->m_pages.empty());
}

TEST_F(SurfacePropertiesTest, EachQuickEffectIsOneLabelledUndoStepBackToTheOldPicture)
{
    REQUIRE_TESTDATA();
    CDrawObj* pObj = AddPicture();
    m_pView->Select(pObj);
    const std::vector<BYTE> original = PictureBytes(pObj);
    ASSERT_FALSE(original.empty());
    const struct {
        UINT nID;
        UINT nLabel;
    } cases[] = {
        {ID_PICTURE_GRAYSCALE, IDS_UNDO_GRAYSCALE},
        {ID_PICTURE_EMBOSS, IDS_UNDO_EMBOSS},
        {ID_PICTURE_BLUR, IDS_UNDO_BLUR},
        {ID_PICTURE_MOSAIC, IDS_UNDO_MOSAIC},
        {ID_PICTURE_BRIGHTEN, IDS_UNDO_LIGHTEN},
        {ID_PICTURE_DARKEN, IDS_UNDO_DARKEN},
    };
    ASSERT_FALSE(UndoList().CanUndo());
    for (const auto& c : cases) {
        EXPECT_TRUE(IsEnabled(m_pView, c.nID)) << c.nID;
        Command(c.nID);
        EXPECT_EQ(std::string(UndoList().GetUndoLabel()), Text(c.nLabel));
        EXPECT_NE(PictureBytes(pObj), original) << c.nID;
        ASSERT_TRUE(UndoList().Undo(m_pDoc));
        // Exactly one step: nothing is left to undo.
        EXPECT_FALSE(UndoList().CanUndo()) << c.nID;
        EXPECT_EQ(PictureBytes(pObj), original) << c.nID;
    }

    // Save Picture As and Set as Wallpaper follow the effects; none of them
    // is offered for two objects or an object without a picture.
    EXPECT_TRUE(IsEnabled(m_pView, ID_EDIT_SAVE_PICTURE_AS));
    EXPECT_TRUE(IsEnabled(m_pView, ID_EDIT_SET_WALLPAPER));
    CDrawRect* pShape = AddRect(m_pView, CRect(0, 50, 50, 0));
    m_pView->Select(pShape, TRUE);
    EXPECT_FALSE(IsEnabled(m_pView, ID_PICTURE_BLUR));
    EXPECT_FALSE(IsEnabled(m_pView, ID_EDIT_SET_WALLPAPER));
    const int nSteps = UndoList().GetCount();
    Command(ID_PICTURE_BLUR);
    EXPECT_EQ(UndoList().GetCount(), nSteps);
    m_pView->Select(pShape);
    EXPECT_FALSE(IsEnabled(m_pView, ID_PICTURE_DARKEN));
    EXPECT_TRUE(IsEnabled(m_pView, ID_EDIT_OBJECT_SHAPE));
    EXPECT_FALSE(IsEnabled(m_pView, ID_EDIT_PICTURE_SHAPE));
    m_pView->Select(pObj);
    EXPECT_FALSE(IsEnabled(m_pView, ID_EDIT_OBJECT_SHAPE));
    EXPECT_TRUE(IsEnabled(m_pView, ID_EDIT_PICTURE_SHAPE));
}

TEST_F(SurfacePropertiesTest, OleIndicationTogglesAndTheLinkFlagIsSetAndCleared)
{
    const int nWas = g_showOleFrames;
    EXPECT_EQ(CheckOf(m_pView, ID_EDIT_TOGGLE_OLE_INDICATION), nWas != 0 ? 1 : 0);
    Command(ID_EDIT_TOGGLE_OLE_INDICATION);
    EXPECT_NE(g_showOleFrames != 0, nWas != 0);
    EXPECT_EQ(CheckOf(m_pView, ID_EDIT_TOGGLE_OLE_INDICATION), nWas != 0 ? 0 : 1);
    Command(ID_EDIT_TOGGLE_OLE_INDICATION);
    EXPECT_EQ(g_showOleFrames != 0, nWas != 0);

    Command(ID_EDIT_SET_LINK_FLAG);
    EXPECT_TRUE(m_pView->m_flags & CSurface::SurfaceLinkFlag);
    Command(ID_EDIT_CLEAR_LINK_FLAG);
    EXPECT_FALSE(m_pView->m_flags & CSurface::SurfaceLinkFlag);
}

TEST_F(SurfacePropertiesTest, InformationFieldsTakeTheNewTextAndNoneRemovesThemWithoutUndo)
{
    CDrawObj* pTo = AddText("Ann", 0x0001);
    CDrawObj* pCentred = AddText("Ann", 0x0001);
    pCentred->m_wTextFlags |= 0x0002;
    CDrawObj* pFrom = AddText("Bob", 0x0008);
    CDrawObj* pPlain = AddText("Plain", 0);

    m_pDoc->ForEachSurfaceView(WORD(0x0001), "Carol");
    EXPECT_EQ(std::string(pTo->GetText()), "Carol");
    EXPECT_EQ(std::string(pCentred->GetText()), "Carol");
    EXPECT_EQ(std::string(pFrom->GetText()), "Bob");
    EXPECT_TRUE(m_pDoc->IsModified());

    // The removed objects were selected, one of them being typed into:
    // nothing of them stays behind, and no step is recorded.
    m_pView->Select(pTo);
    pTo->BeginTextEdit();
    ASSERT_TRUE(pTo->IsTextEditActive());
    m_pView->Select(pFrom, TRUE);
    const int nSteps = UndoList().GetCount();
    m_pDoc->ForEachSurfaceView(WORD(0x0001 | 0x0008), "(NONE)");
    EXPECT_EQ(UndoList().GetCount(), nSteps);
    ASSERT_EQ(m_pView->GetObjects().GetCount(), 1);
    EXPECT_EQ(m_pView->GetObjects().GetHead(), pPlain);
    EXPECT_TRUE(m_pView->GetSelection().IsEmpty());
    EXPECT_EQ(m_pView->GetFirstSelected(), nullptr);
    Pump();

    // An empty text removes too; objects without the field stay.
    pTo = AddText("Ann", 0x0004);
    m_pDoc->ForEachSurfaceView(WORD(0x0004), "");
    EXPECT_EQ(m_pView->GetObjects().GetCount(), 1);
}

TEST_F(SurfacePropertiesTest, DragOverThePageOffersMoveCopyOrLinkByKeysAndNothingOffIt)
{
    FileDrop drop({kPicture});
    const CPoint onPage = ClientAt(CPoint(0, 0));
    // Before anything entered the view, nothing is accepted.
    EXPECT_EQ(m_pView->OnDragOver(drop.Get(), MK_LBUTTON, onPage), DROPEFFECT(DROPEFFECT_NONE));
    const struct {
        DWORD keys;
        DROPEFFECT effect;
    } cases[] = {
        {MK_LBUTTON, DROPEFFECT_MOVE},
        {MK_LBUTTON | MK_SHIFT, DROPEFFECT_MOVE},
        {MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY},
        {MK_LBUTTON | MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_pView->OnDragEnter(drop.Get(), c.keys, onPage), c.effect) << c.keys;
        EXPECT_EQ(m_pView->OnDragOver(drop.Get(), c.keys, onPage), c.effect) << c.keys;
    }
    EXPECT_TRUE(m_pView->m_flags & CSurface::SurfaceDragOver);
    const CRect page = CDrawObj::NormalizeUp(m_pView->GetPageRect());
    const CPoint offPage = ClientAt(CPoint(page.right + 40, 0));
    EXPECT_EQ(m_pView->OnDragOver(drop.Get(), MK_LBUTTON | MK_CONTROL, offPage), DROPEFFECT(DROPEFFECT_NONE));
    m_pView->OnDragLeave();
    EXPECT_FALSE(m_pView->m_flags & CSurface::SurfaceDragOver);
    EXPECT_EQ(m_pView->OnDragOver(drop.Get(), MK_LBUTTON, onPage), DROPEFFECT(DROPEFFECT_NONE));
}

TEST_F(SurfacePropertiesTest, ADroppedPictureComesInOnceAndADropOffThePageDoesNothing)
{
    REQUIRE_TESTDATA();
    // Small enough that the workspace beside the page shows.
    m_pDoc->SetZoom(25);
    Pump();
    const CRect page = CDrawObj::NormalizeUp(m_pView->GetPageRect());
    CPoint off(page.right + 100, 0);
    m_pView->LPtoDPPoint(&off);
    m_pView->ClientToScreen(&off);
    CRect client;
    m_pView->GetClientRect(&client);
    m_pView->ClientToScreen(&client);
    ASSERT_TRUE(client.PtInRect(off));
    platform::headless::DropFiles(m_pMain->m_hWnd, {kPicture}, off.x, off.y);
    Pump();
    EXPECT_TRUE(m_pView->GetObjects().IsEmpty());

    const CPoint on = ScreenAt(m_pView, CPoint(0, 0));
    const int nSteps = UndoList().GetCount();
    platform::headless::DropFiles(m_pMain->m_hWnd, {kPicture}, on.x, on.y);
    Pump();
    ASSERT_EQ(m_pView->GetObjects().GetCount(), 1);
    auto* pObj = AsDrawObj(m_pView->GetObjects().GetHead());
    ASSERT_NE(pObj, nullptr);
    EXPECT_TRUE(pObj->HasPicture());
    EXPECT_EQ(UndoList().GetCount(), nSteps + 1);
    EXPECT_FALSE(m_pView->m_flags & CSurface::SurfaceDragOver);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SurfacePropertiesTest, DropsTakeTheirOwnFormatsNeverTheClipboardAndRefuseWhatIsNoFile)
{
    // The clipboard holds text; a drop of a folder and a missing file
    // must not paste it.
    ASSERT_TRUE(::OpenClipboard(NULL));
    ::EmptyClipboard();
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(::GlobalLock(hText), "Clip!", 6);
    ::GlobalUnlock(hText);
    ::SetClipboardData(CF_TEXT, hText);
    ::CloseClipboard();
    CDrawRect* pKept = AddRect(m_pView, CRect(0, 50, 50, 0));
    m_pView->Select(pKept);
    const std::string folder = std::filesystem::temp_directory_path().string();
    FileDrop drop({folder, folder + "/no-such-file.png"});
    EXPECT_FALSE(m_pView->OnDrop(drop.Get(), DROPEFFECT_LINK, ClientAt(CPoint(0, 0))));
    EXPECT_EQ(m_pView->GetObjects().GetCount(), 1);
    EXPECT_EQ(m_pView->GetSingleSelection(), pKept);

    // Text the drop carries itself becomes one text object.
    COleDataSource* pSource = new COleDataSource;
    HGLOBAL hDropText = ::GlobalAlloc(GMEM_MOVEABLE, 8);
    std::memcpy(::GlobalLock(hDropText), "Dropped", 8);
    ::GlobalUnlock(hDropText);
    pSource->CacheGlobalData(CF_TEXT, hDropText);
    pSource->SetClipboard();
    COleDataObject data;
    data.AttachClipboard();
    EXPECT_TRUE(m_pView->OnDrop(&data, DROPEFFECT_COPY, ClientAt(CPoint(0, 0))));
    ASSERT_EQ(m_pView->GetObjects().GetCount(), 2);
    CDrawObj* pDropped = AsDrawObj(m_pView->GetObjects().GetTail());
    EXPECT_EQ(std::string(pDropped->GetText()), "Dropped");
    EXPECT_EQ(m_pView->GetSingleSelection(), pDropped);
    COleDataSource::FlushClipboard();
}

TEST_F(SurfacePropertiesTest, FileListsOfWideNamesAreReadAndDamagedListsRefused)
{
    REQUIRE_TESTDATA();
    // A DROPFILES header (names at offset 20, wide), then the names.
    auto dropBlock = [](DWORD nOffset, const std::u16string& names) {
        std::vector<BYTE> bytes(20, 0);
        bytes[0] = BYTE(nOffset);
        bytes[16] = 1;
        for (char16_t c : names) {
            bytes.push_back(BYTE(c & 0xFF));
            bytes.push_back(BYTE(c >> 8));
        }
        HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(::GlobalLock(hBlock), bytes.data(), bytes.size());
        ::GlobalUnlock(hBlock);
        return hBlock;
    };
    auto dropOf = [this](HGLOBAL hBlock) {
        auto* pSource = new COleDataSource;
        pSource->CacheGlobalData(CF_HDROP, hBlock);
        pSource->SetClipboard();
        COleDataObject data;
        data.AttachClipboard();
        const BOOL bTaken = m_pView->OnDrop(&data, DROPEFFECT_COPY, ClientAt(CPoint(0, 0)));
        COleDataSource::FlushClipboard();
        Pump();
        return bTaken;
    };
    const std::string windows = platform::WindowsPathFor(kPicture);
    std::u16string name(windows.begin(), windows.end());

    // Names past the block's end, an offset inside the header and a name
    // with no end are all nothing.
    EXPECT_FALSE(dropOf(dropBlock(200, name + u'\0' + u'\0')));
    EXPECT_FALSE(dropOf(dropBlock(4, name + u'\0' + u'\0')));
    EXPECT_FALSE(dropOf(dropBlock(20, name)));
    // A character Windows-1252 has no place for names no file here.
    EXPECT_FALSE(dropOf(dropBlock(20, name + u'\x4E2D' + u'\0' + u'\0')));
    EXPECT_TRUE(m_pView->GetObjects().IsEmpty());

    EXPECT_TRUE(dropOf(dropBlock(20, name + u'\0' + u'\0')));
    ASSERT_EQ(m_pView->GetObjects().GetCount(), 1);
    EXPECT_TRUE(AsDrawObj(m_pView->GetObjects().GetHead())->HasPicture());
}

TEST_F(SurfacePropertiesTest, ADroppedDesignOpensAsItsOwnDocument)
{
    const std::string path = (std::filesystem::temp_directory_path() / "props-dropped.shr").string();
    CDrawDoc* pOther = NewDesign();
    ASSERT_NE(pOther, nullptr);
    ASSERT_TRUE(pOther->OnSaveDocument(platform::WindowsPathFor(path).c_str()));
    pOther->OnCloseDocument();
    Pump();
    int nDocs = 0;
    for (POSITION pos = m_pTemplate->GetFirstDocPosition(); pos != NULL; m_pTemplate->GetNextDoc(pos))
        ++nDocs;

    FileDrop drop({path});
    m_pView->OnDragEnter(drop.Get(), MK_LBUTTON, ClientAt(CPoint(0, 0)));
    EXPECT_TRUE(m_pView->OnDrop(drop.Get(), DROPEFFECT_MOVE, ClientAt(CPoint(0, 0))));
    Pump();
    int nAfter = 0;
    for (POSITION pos = m_pTemplate->GetFirstDocPosition(); pos != NULL; m_pTemplate->GetNextDoc(pos))
        ++nAfter;
    EXPECT_EQ(nAfter, nDocs + 1);
    EXPECT_TRUE(m_pView->GetObjects().IsEmpty());
    std::remove(path.c_str());
}

// The desktop's settings in the test's own home, as glib's own tool reads
// them back.
class WallpaperTest : public SurfacePropertiesTest {
protected:
    void SetUp() override
    {
        SurfacePropertiesTest::SetUp();
        testing_support::UseKeyfileSettings();
        platform::InstallWallpaperService();
    }
    static std::string Run(const std::string& command) { return testing_support::RunCommand(command); }
    static std::string WallpaperHostPath()
    {
        char szFolder[285] = {};
        ::GetWindowsDirectory(szFolder, sizeof szFolder);
        return platform::HostPathForReading(std::string(szFolder) + "\\Threadwick Wallpaper.BMP");
    }
};

TEST_F(WallpaperTest, TheSelectedPictureBecomesTheGnomeBackground)
{
    REQUIRE_TESTDATA();
    if (Run("gsettings list-keys org.gnome.desktop.background 2>/dev/null").find("picture-uri") == std::string::npos)
        GTEST_SKIP() << "the desktop background schema is not installed";
    setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    CDrawObj* pObj = AddPicture();
    m_pView->Select(pObj);
    Command(ID_EDIT_SET_WALLPAPER);
    EXPECT_TRUE(m_boxes.empty());
    const std::string path = WallpaperHostPath();
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    const std::string uri = Run("gsettings get org.gnome.desktop.background picture-uri");
    EXPECT_EQ(uri, "'" + platform::FileUriFor(path) + "'");
    EXPECT_NE(uri.find("Threadwick%20Wallpaper.BMP"), std::string::npos);
    SIZE size{};
    pObj->m_pPicture->GetSize(size, TRUE);
    const std::string identified = Run("identify -format '%m %wx%h' '" + path + "'");
    EXPECT_EQ(identified.substr(0, 3), "BMP");
    EXPECT_EQ(identified.substr(identified.find(' ') + 1), std::to_string(size.cx) + "x" + std::to_string(size.cy));
}

TEST_F(WallpaperTest, AMetafilePictureIsWrittenAtTheObjectsSizeAndStaysAMetafile)
{
    REQUIRE_TESTDATA();
    setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    CDrawRect* pObj = AddRect(m_pView, CRect(-150, 100, 150, -100));
    pObj->SetPictureFile(platform::WindowsPathFor(THREADWICK_TESTDATA_DIR "/wmf/bin-libreoffice-dev-doc__fish.wmf").c_str(),
        TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_TRUE(pObj->HasPicture());
    ASSERT_EQ(pObj->m_pPicture->m_nHandle, kImageMetafile);
    m_pView->Select(pObj);
    std::filesystem::remove(WallpaperHostPath());
    Command(ID_EDIT_SET_WALLPAPER);
    // The object keeps its vector picture; the file is a raster of it.
    EXPECT_EQ(pObj->m_pPicture->m_nHandle, kImageMetafile);
    const std::string identified = Run("identify -format '%m %wx%h' '" + WallpaperHostPath() + "'");
    EXPECT_EQ(identified.substr(0, 3), "BMP");
    EXPECT_EQ(identified.substr(identified.find(' ') + 1), "300x200");
}

TEST_F(WallpaperTest, AnotherDesktopIsToldTheWallpaperCannotBeSet)
{
    REQUIRE_TESTDATA();
    CDrawObj* pObj = AddPicture();
    m_pView->Select(pObj);
    for (const char* desktop : {"KDE", "XFCE", ""}) {
        setenv("XDG_CURRENT_DESKTOP", desktop, 1);
        m_boxes.clear();
        Command(ID_EDIT_SET_WALLPAPER);
        ASSERT_EQ(m_boxes.size(), 1u) << desktop;
        EXPECT_EQ(m_boxes[0], "Unable to set picture as desktop wallpaper.");
    }
    // The picture was written all the same.
    EXPECT_TRUE(std::filesystem::exists(WallpaperHostPath()));
}

} // namespace
} // namespace surfacetest
