// Putting new content on a design: where a new picture lands and how the
// picture options size it, what a failed or cancelled insertion leaves, the
// one undo step of a placement, text imported from a file, borders and
// backgrounds, a dropped picture file, the rubber band's insert commands and
// the update handlers of the insert and edit-object commands. Dialogs are
// answered through real messages on the headless back end.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "app/main/MainFrame.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "pictures/TwainSource.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "platform/services/Twain.h"
#include "resources/calendar.h"
#include "resources/SupportResources.h"
#include "resources/scanner.h"
#include "platform/ui/CommDlg.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/services/SaneTestConfig.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PictureChooserSteps.h"
#include "tests/support/TestHome.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace surfacetest {
namespace {

using testing_support::DriveActiveWindow;

// A placeable metafile of one rectangle, 1 x 0.5 inch.
std::string WmfBytes()
{
    std::string s;
    using picture_files::PutU16;
    using picture_files::PutU32;
    PutU32(s, 0x9AC6CDD7);
    PutU16(s, 0);
    for (uint32_t v : {0u, 0u, 1000u, 500u})
        PutU16(s, v);
    PutU16(s, 1000);
    PutU32(s, 0);
    uint16_t sum = 0;
    for (size_t i = 0; i < s.size(); i += 2)
        sum ^= uint16_t(uint8_t(s[i]) | (uint8_t(s[i + 1]) << 8));
    PutU16(s, sum);
    // Header, one Rectangle record and the end record, in words.
    PutU16(s, 1);
    PutU16(s, 9);
    PutU16(s, 0x0300);
    PutU32(s, 9 + 7 + 3);
    PutU16(s, 0);
    PutU32(s, 7);
    PutU16(s, 0);
    PutU32(s, 7);
    PutU16(s, 0x041B);
    for (uint32_t v : {450u, 950u, 50u, 50u})
        PutU16(s, v);
    PutU32(s, 3);
    PutU16(s, 0);
    return s;
}

class SurfaceInsertTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        threadwick::RegisterSupportResources();
        InitCommonControls();
        platform::InitFileSystem();
        platform::SetDriveTable(platform::DriveTable::Build("", "", {}));
        m_root = testing_support::MakeTempDir("insert");
        for (const char* folder : {"/program/support/borders", "/program/support/backgrnd", "/pics", "/wmf", "/text"})
            std::filesystem::create_directories(m_root + folder);
        platform::SetProgramFolderForTests(m_root + "/program");
        m_saved.Add2Flags = thePrefs.Add2Flags;
        m_saved.CurPictureFolder = thePrefs.CurPictureFolder;
        m_saved.ImageDir = thePrefs.ImageDir;
        thePrefs.Add2Flags = 0;
        picture_files::Raster wide(200, 100, RGB(200, 40, 40));
        wide.Fill(0, 0, 100, 100, RGB(40, 40, 200));
        m_strWide = picture_files::WriteBmp(wide, m_root + "/pics/wide.bmp").c_str();
    }

    void TearDown() override
    {
        thePrefs.Add2Flags = m_saved.Add2Flags;
        thePrefs.CurPictureFolder = m_saved.CurPictureFolder;
        thePrefs.ImageDir = m_saved.ImageDir;
        platform::headless::SetIdleHandler(nullptr);
        // A scan test stopped part-way leaves no scanner thread or device
        // count to the next test.
        ReleaseTwainSource();
        platform::SetProgramFolderForTests("");
        platform::ResetDriveTable();
        SurfaceInputTest::TearDown();
    }

    // A view on a page of 800 x 1000 at a fixed zoom of 100 %.
    CSurface* NewPageView()
    {
        CSurface* pView = NewView();
        if (pView != nullptr)
            pView->SetPageSize(800, 1000);
        return pView;
    }

    static CPoint ClientOf(CSurface* pView, CPoint logical)
    {
        pView->LPtoDPPoint(&logical);
        return logical;
    }

    static CUndoList& Undo(CSurface* pView) { return pView->GetDocument()->GetUndoList(); }
    static int ObjectCount(CSurface* pView) { return int(pView->GetObjects().GetCount()); }

    // Answers the picture chooser: from the Open dialog to the file dialog
    // (whose name box takes a path), which chooses the file.
    static void ChoosePictureOnce(const CString& strPath)
    {
        DriveActiveWindow({testing_support::OpenSinglePicture(), testing_support::ChoosePictureFile(strPath)});
    }

    struct Saved {
        WORD Add2Flags = 0;
        CString CurPictureFolder;
        CString ImageDir;
    } m_saved;
    std::string m_root;
    CString m_strWide;
};

TEST_F(SurfaceInsertTest, TheDefaultRectangleIsTheMiddleHalfOfThePageWithBothAxesReversed)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    struct Case {
        CSize page;
        CRect expected;
    };
    const Case cases[] = {
        {CSize(800, 1000), CRect(200, -250, -200, 250)},
        {CSize(850, 1100), CRect(212, -275, -212, 275)},
        // Odd sizes: each half truncated towards zero.
        {CSize(801, 1001), CRect(200, -250, -200, 250)},
    };
    for (const Case& c : cases) {
        pView->SetPageSize(c.page);
        CRect rect;
        pView->GetDefaultInsertRect(&rect);
        EXPECT_EQ(rect, c.expected) << c.page.cx << " x " << c.page.cy;
    }
}

TEST_F(SurfaceInsertTest, ThePictureOptionsSizeTheNewObjectEachEdgeTheWayTheRectangleRuns)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    struct Case {
        const char* name;
        BOOL bKeep;
        BOOL bNatural;
    };
    const Case cases[] = {
        {"none", FALSE, FALSE},
        {"keep proportions", TRUE, FALSE},
        {"natural size", FALSE, TRUE},
        {"both", TRUE, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int nSteps = Undo(pView).GetCount();
        CSurface::InsertOptions options;
        options.bKeepProportions = c.bKeep;
        options.bNaturalSize = c.bNatural;
        CDrawObj* pObj = pView->InsertPictureFile(m_strWide, nullptr, &options);
        ASSERT_NE(pObj, nullptr);
        EXPECT_EQ(pView->GetSingleSelection(), pObj);
        EXPECT_EQ(Undo(pView).GetCount(), std::min(nSteps + 1, CUndoList::kMaxSteps));
        EXPECT_EQ((pObj->m_wFlags & OBJ_FLAG_NATURAL_SIZE) != 0, c.bKeep != FALSE);
        // However the default rectangle runs, the picture stands upright.
        EXPECT_TRUE(pObj->IsOrientedX());
        EXPECT_TRUE(pObj->IsOrientedY());
        const CRect& r = pObj->m_position;
        SIZE natural{0, 0};
        pObj->m_pPicture->GetSize(natural, TRUE);
        const CSize expected = c.bNatural ? CSize(natural) : c.bKeep ? CSize(400, 200) : CSize(400, 500);
        EXPECT_EQ(r.right - r.left, expected.cx);
        EXPECT_EQ(r.top - r.bottom, expected.cy);
    }
}

TEST_F(SurfaceInsertTest, APictureThatDoesNotLoadLeavesTheSurfaceAndTheUndoListAsTheyWere)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    AddRect(pView, CRect(-100, 100, 100, -100));
    testing_support::WriteFileBytes(m_root + "/pics/broken.bmp", "BM not really a picture");
    const CString strBroken = platform::WindowsPathFor(m_root + "/pics/broken.bmp").c_str();
    const CString strMissing = platform::WindowsPathFor(m_root + "/pics/missing.bmp").c_str();
    pView->GetDocument()->SetModifiedFlag(FALSE);
    for (const CString& strPath : {strBroken, strMissing}) {
        EXPECT_EQ(pView->InsertPictureFile(strPath), nullptr) << strPath;
        EXPECT_EQ(ObjectCount(pView), 1);
        EXPECT_EQ(Undo(pView).GetCount(), 0);
        EXPECT_FALSE(pView->GetDocument()->IsModified());
        EXPECT_FALSE(Undo(pView).IsSuspended());
    }
}

TEST_F(SurfaceInsertTest, APlacedPictureIsOneCreationStepThatUndoAndRedoTakeAwayAndBringBack)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    CDrawObj* pObj = pView->InsertPictureFile(m_strWide);
    ASSERT_NE(pObj, nullptr);
    ASSERT_EQ(Undo(pView).GetCount(), 1);
    CString strLabel;
    strLabel.LoadString(IDS_UNDO_CREATE);
    EXPECT_EQ(Undo(pView).GetUndoLabel(), strLabel);
    // The centring inside the placement recorded nothing of its own, and
    // recording runs again afterwards.
    EXPECT_FALSE(Undo(pView).IsSuspended());
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(ObjectCount(pView), 0);
    ASSERT_TRUE(Undo(pView).Redo(pView->GetDocument()));
    ASSERT_EQ(ObjectCount(pView), 1);
    EXPECT_TRUE(AsDrawObj(pView->GetObjects().GetHead())->HasPicture());
}

TEST_F(SurfaceInsertTest, AtAFixedZoomTheNewPictureIsCentredInTheVisibleAreaNotOnThePage)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    pView->GetDocument()->SetZoom(200);
    Pump();
    pView->OnScrollBy(CSize(300, 400));
    Pump();
    CRect client;
    pView->GetClientRect(&client);
    CPoint centre = client.CenterPoint();
    pView->DPtoLPPoint(&centre);
    ASSERT_GT(std::abs(centre.x) + std::abs(centre.y), 100) << "the view did not scroll";

    CDrawObj* pObj = pView->InsertPictureFile(m_strWide);
    ASSERT_NE(pObj, nullptr);
    const CPoint placed = CDrawObj::NormalizeUp(pObj->m_position).CenterPoint();
    EXPECT_NEAR(placed.x, centre.x, 2);
    EXPECT_NEAR(placed.y, centre.y, 2);
    EXPECT_EQ(Undo(pView).GetCount(), 1);
}

TEST_F(SurfaceInsertTest, AWmfPathDropsNaturalSizeForThatInsertionOnlyWhateverItsCase)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    thePrefs.Add2Flags = 0x0004; // natural size on, keep proportions off
    for (const char* name : {"shape.WMF", "shape.wmf"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(m_root + "/wmf");
        std::filesystem::create_directories(m_root + "/wmf");
        testing_support::WriteFileBytes(m_root + "/wmf/" + name, WmfBytes());
        thePrefs.SetPictureFolder((platform::WindowsPathFor(m_root + "/wmf") + "\\").c_str());
        const int nBefore = ObjectCount(pView);
        ChoosePictureOnce(platform::WindowsPathFor(m_root + "/wmf/" + name).c_str());
        pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_INSERT_PICTURE_OTHER);
        Pump();
        ASSERT_EQ(ObjectCount(pView), nBefore + 1);
        CDrawObj* pObj = pView->GetSingleSelection();
        ASSERT_NE(pObj, nullptr);
        EXPECT_EQ(pObj->m_position.Width(), 400);
        EXPECT_EQ(pObj->m_position.top - pObj->m_position.bottom, 500);
        EXPECT_EQ(thePrefs.Add2Flags & 0x000C, 0x0004) << "the preference keeps natural size";
    }
}

TEST_F(SurfaceInsertTest, ImportTextTakesTheFirst10240BytesOfALongerFile)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    std::string text;
    for (int i = 0; text.size() < 20000; ++i)
        text += "Line " + std::to_string(i) + " of a long letter. ";
    text.resize(20000);
    testing_support::WriteFileBytes(m_root + "/text/letter.txt", text);
    const CString strPath = platform::WindowsPathFor(m_root + "/text/letter.txt").c_str();
    auto answerFileDialog = [](const CString& strName, int nButton) {
        DriveActiveWindow({[strName, nButton](HWND hDlg) {
            HWND hButton = ::GetDlgItem(hDlg, nButton);
            if (hButton == NULL || ::GetDlgItem(hDlg, edt1) == NULL)
                return false;
            ::SetDlgItemText(hDlg, edt1, strName);
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), LPARAM(hButton));
            return true;
        }});
    };

    answerFileDialog(CString(), IDCANCEL);
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_INSERT_IMPORT_TEXT);
    Pump();
    EXPECT_EQ(ObjectCount(pView), 0);

    answerFileDialog(strPath, IDOK);
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_INSERT_IMPORT_TEXT);
    Pump();
    ASSERT_EQ(ObjectCount(pView), 1);
    CDrawObj* pObj = pView->GetSingleSelection();
    ASSERT_NE(pObj, nullptr);
    EXPECT_TRUE(pObj->m_bBlockText);
    EXPECT_EQ(pObj->GetText().GetLength(), 10240);
    EXPECT_TRUE(std::string(pObj->GetText()) == text.substr(0, 10240));
    EXPECT_EQ(Undo(pView).GetCount(), 1);
}

TEST_F(SurfaceInsertTest, BordersAndBackgroundsComeFromTheSupportFolderAndGoToTheBottomMaximised)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    const std::string support = m_root + "/program/support/";
    picture_files::WriteBmp(picture_files::Raster(34, 44, RGB(10, 120, 10)), support + "borders/frame.bmp");
    picture_files::WriteBmp(picture_files::Raster(34, 44, RGB(10, 10, 160)), support + "backgrnd/sky.bmp");
    const CString strUserFolder = (platform::WindowsPathFor(m_root + "/pics") + "\\").c_str();
    thePrefs.SetPictureFolder(strUserFolder);
    CDrawRect* pExisting = AddRect(pView, CRect(-100, 100, 100, -100));
    CRect area;
    pView->GetWorkArea(&area);
    struct Case {
        UINT nID;
        std::string folder;
        const char* file;
    };
    const Case cases[] = {{ID_INSERT_BORDER, "borders", "frame.bmp"}, {ID_INSERT_BACKGROUND, "backgrnd", "sky.bmp"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        pView->Select(pExisting);
        const int nBefore = ObjectCount(pView);
        ChoosePictureOnce(platform::WindowsPathFor(support + c.folder + "/" + c.file).c_str());
        pView->GetParentFrame()->SendMessage(WM_COMMAND, c.nID);
        Pump();
        ASSERT_EQ(ObjectCount(pView), nBefore + 1);
        CDrawObj* pNew = AsDrawObj(pView->GetObjects().GetHead());
        ASSERT_NE(pNew, pExisting);
        EXPECT_TRUE(pNew->GetPictureFileName().Right(int(strlen(c.file))).CompareNoCase(c.file) == 0)
            << pNew->GetPictureFileName();
        EXPECT_EQ(pNew->m_wFlags & OBJ_FLAG_NATURAL_SIZE, 0);
        const CRect r = CDrawObj::NormalizeUp(pNew->m_position);
        EXPECT_GE(r.Width(), area.Width() - 2);
        EXPECT_GE(r.top - r.bottom, std::abs(area.top - area.bottom) - 2);
        EXPECT_EQ(thePrefs.GetPictureFolder(), strUserFolder);
        EXPECT_EQ(thePrefs.BorderBrowse + thePrefs.BackgroundBrowse, 0);
    }
}

TEST_F(SurfaceInsertTest, ADroppedPictureFileIsInsertedByTheCurrentSurfaceOnly)
{
    CDrawDoc* pDoc = NewDesign(AddShirtTemplate());
    ASSERT_NE(pDoc, nullptr);
    CSurface* pFront = pDoc->GetSurfaceView(0);
    CSurface* pBack = pDoc->GetSurfaceView(1);
    ASSERT_NE(pFront, nullptr);
    ASSERT_NE(pBack, nullptr);
    CSurface* pCurrent = static_cast<CSurface*>(pDoc->GetCurrentView());
    ASSERT_TRUE(pCurrent == pFront || pCurrent == pBack);
    CSurface* pOther = pCurrent == pFront ? pBack : pFront;

    CDroppedFileHint hint;
    hint.m_strPath = m_strWide;
    pDoc->UpdateAllViews(NULL, CSurface::HintDroppedFile, &hint);
    ASSERT_EQ(ObjectCount(pCurrent), 1);
    EXPECT_TRUE(AsDrawObj(pCurrent->GetObjects().GetHead())->HasPicture());
    EXPECT_EQ(ObjectCount(pOther), 0);

    // Another hint object under the same number is no dropped file.
    CDrawRect stranger(CRect(0, 0, 10, -10));
    pDoc->UpdateAllViews(NULL, CSurface::HintDroppedFile, &stranger);
    EXPECT_EQ(ObjectCount(pCurrent), 1);
}

TEST_F(SurfaceInsertTest, CancelledOrFailedBandInsertionsLeaveNoObjectAndNoStep)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    AddRect(pView, CRect(-300, 300, -200, 200));
    testing_support::WriteFileBytes(m_root + "/pics/broken.bmp", "BM not really a picture");
    g_downPoint = ClientOf(pView, CPoint(0, 200));
    g_lastPoint = ClientOf(pView, CPoint(300, -100));
    CFrameWnd* pFrame = pView->GetParentFrame();

    // The calendar dialog is cancelled (the idle Escape), the chooser too.
    for (UINT nID : {UINT(ID_BAND_INSERT_CALENDAR), UINT(ID_BAND_INSERT_TEXT), UINT(ID_BAND_INSERT_PICTURE)}) {
        SCOPED_TRACE(nID);
        pFrame->SendMessage(WM_COMMAND, nID);
        Pump();
        EXPECT_EQ(ObjectCount(pView), 1);
        EXPECT_EQ(Undo(pView).GetCount(), 0);
    }
    // A chosen file that does not load.
    ChoosePictureOnce(platform::WindowsPathFor(m_root + "/pics/broken.bmp").c_str());
    pFrame->SendMessage(WM_COMMAND, ID_BAND_INSERT_PICTURE);
    Pump();
    EXPECT_EQ(ObjectCount(pView), 1);
    EXPECT_EQ(Undo(pView).GetCount(), 0);
    EXPECT_FALSE(Undo(pView).IsSuspended());
}

TEST_F(SurfaceInsertTest, ABandCalendarStaysInTheBandAsOneStep)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    g_downPoint = ClientOf(pView, CPoint(-200, 300));
    g_lastPoint = ClientOf(pView, CPoint(200, -100));
    DriveActiveWindow({surfacetest::OnDialogWith(IDC_CAL_MONTH, [](HWND hDlg) {
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    })});
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_BAND_INSERT_CALENDAR);
    Pump();
    ASSERT_EQ(ObjectCount(pView), 1);
    CDrawObj* pObj = AsDrawObj(pView->GetObjects().GetHead());
    EXPECT_TRUE(pObj->IsCalendar());
    const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
    EXPECT_NEAR(r.left, -200, 2);
    EXPECT_NEAR(r.top, 300, 2);
    EXPECT_NEAR(r.right, 200, 2);
    EXPECT_NEAR(r.bottom, -100, 2);
    EXPECT_EQ(Undo(pView).GetCount(), 1);
}

TEST_F(SurfaceInsertTest, InsertCalendarPlacesAnUprightCalendarOnOkAndNothingOnCancel)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    CFrameWnd* pFrame = pView->GetParentFrame();
    // Cancelled by the idle Escape.
    pFrame->SendMessage(WM_COMMAND, ID_INSERT_CALENDAR);
    Pump();
    EXPECT_EQ(ObjectCount(pView), 0);
    EXPECT_EQ(Undo(pView).GetCount(), 0);

    DriveActiveWindow({surfacetest::OnDialogWith(IDC_CAL_MONTH, [](HWND hDlg) {
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    })});
    pFrame->SendMessage(WM_COMMAND, ID_INSERT_CALENDAR);
    Pump();
    ASSERT_EQ(ObjectCount(pView), 1);
    CDrawObj* pObj = pView->GetSingleSelection();
    ASSERT_NE(pObj, nullptr);
    EXPECT_TRUE(pObj->IsCalendar());
    EXPECT_TRUE(pObj->IsOrientedX());
    EXPECT_TRUE(pObj->IsOrientedY());
    EXPECT_EQ(pObj->m_position.Width(), 400);
    EXPECT_EQ(Undo(pView).GetCount(), 1);
    EXPECT_FALSE(Undo(pView).IsSuspended());
}

TEST_F(SurfaceInsertTest, TheWorkspaceTextRouteEditsTheTextUnderThePressElseTakesTheTextTool)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    CFrameWnd* pFrame = pView->GetParentFrame();
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 100, 100));
    pText->SetText("Hello", FALSE);

    // Nothing selected: the text tool.
    pFrame->SendMessage(WM_COMMAND, ID_INSERT_TEXT_WORKSPACE);
    EXPECT_EQ(g_nCurrentShape, kShapeText);
    SetCurrentShape(pView, kShapeSelect);

    // The one selected text object under the last press is edited in place.
    pView->Select(pText);
    g_downPoint = ClientOf(pView, CPoint(-100, 200));
    pFrame->SendMessage(WM_COMMAND, ID_INSERT_TEXT_WORKSPACE);
    EXPECT_TRUE(pText->IsTextEditActive());
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    pText->EndTextEdit();

    // A press elsewhere: the text tool again.
    pView->Select(pText);
    g_downPoint = ClientOf(pView, CPoint(300, -300));
    pFrame->SendMessage(WM_COMMAND, ID_INSERT_TEXT_WORKSPACE);
    EXPECT_FALSE(pText->IsTextEditActive());
    EXPECT_EQ(g_nCurrentShape, kShapeText);
}

TEST_F(SurfaceInsertTest, TheEditAndInsertCommandsAreOfferedForWhatTheSelectionHolds)
{
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, -100, 200));
    pText->SetText("Hello", TRUE);
    CDrawRect* pShape = AddRect(pView, CRect(0, 300, 200, 200));
    CDrawObj* pPicture = pView->InsertPictureFile(m_strWide);
    ASSERT_NE(pPicture, nullptr);
    struct Case {
        const char* name;
        CDrawObj* pSelected;
        BOOL bLocked;
        UINT nID;
        BOOL bEnabled;
    };
    const Case cases[] = {
        {"text: Edit Text", pText, FALSE, ID_EDIT_OBJECT_TEXT, TRUE},
        {"text: second id", pText, FALSE, CSurface::kCmdEditObjectTextAlt, TRUE},
        {"locked text", pText, TRUE, ID_EDIT_OBJECT_TEXT, FALSE},
        {"shape: Edit Text", pShape, FALSE, ID_EDIT_OBJECT_TEXT, FALSE},
        {"shape: Fill", pShape, FALSE, ID_EDIT_OBJECT_FILL, TRUE},
        {"text: Fill", pText, FALSE, ID_EDIT_OBJECT_FILL, FALSE},
        {"picture: Fill", pPicture, FALSE, ID_EDIT_OBJECT_FILL, FALSE},
        {"shape: Calendar", pShape, FALSE, ID_EDIT_OBJECT_CALENDAR, FALSE},
        {"nothing: Edit Text", nullptr, FALSE, ID_EDIT_OBJECT_TEXT, FALSE},
        {"nothing: Picture", nullptr, FALSE, ID_EDIT_OBJECT_PICTURE, FALSE},
        {"shape: Picture", pShape, FALSE, ID_EDIT_OBJECT_PICTURE, FALSE},
        {"picture: Picture", pPicture, FALSE, ID_EDIT_OBJECT_PICTURE, TRUE},
        {"locked picture", pPicture, TRUE, ID_EDIT_OBJECT_PICTURE, FALSE},
        {"text: Font", pText, FALSE, ID_EDIT_OBJECT_FONT, TRUE},
        {"locked text: Font", pText, TRUE, ID_EDIT_OBJECT_FONT, FALSE},
        {"shape: Font", pShape, FALSE, ID_EDIT_OBJECT_FONT, FALSE},
        {"Text Effects", nullptr, FALSE, ID_INSERT_TEXT_EFFECTS, TRUE},
        {"Insert Shape", nullptr, FALSE, ID_INSERT_SHAPE, TRUE},
        // No scanner on a test machine.
        {"Acquire", nullptr, FALSE, ID_INSERT_ACQUIRE_PICTURE, FALSE},
        {"Calendar", nullptr, FALSE, ID_INSERT_CALENDAR, TRUE},
        {"Import Text", nullptr, FALSE, ID_INSERT_IMPORT_TEXT, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pView->Select(c.pSelected);
        if (c.pSelected != nullptr && c.bLocked)
            c.pSelected->m_wFlags |= OBJ_FLAG_LOCKED;
        EXPECT_EQ(IsEnabled(pView, c.nID), c.bEnabled);
        if (c.pSelected != nullptr)
            c.pSelected->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);
    }
}

TEST_F(SurfaceInsertTest, ALinkedScanSurvivesSavingAndReopeningWithoutItsTemporaryFile)
{
    if (std::system("scanimage --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "scanimage (sane-utils) is not installed";
    // The scanner's news is served by a timer: this test runs on real time.
    platform::ResetClock();
    testing_support::SaneTestConfig config("test\n", "number_of_devices 1\ntest-picture \"Color pattern\"\n");
    ASSERT_GE(InitTwainSource(), 1);
    for (int i = 0; i < 5000 && !platform::TwainSearchDone(); ++i) {
        SurfaceTest::Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(GetTwainSourceCount(), 1);
    CSurface* pView = NewPageView();
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(IsEnabled(pView, ID_INSERT_ACQUIRE_PICTURE));
    thePrefs.AddlFlags |= PREF_ADDL_SWITCH_I; // pictures linked by path

    DriveActiveWindow({[](HWND hDlg) {
        HWND hScan = ::GetDlgItem(hDlg, IDOK);
        if (testing_support::WindowTitle(hDlg) != "Scan" || !::IsWindowEnabled(hScan))
            return false;
        ::SendDlgItemMessage(hDlg, IDC_SCAN_MODE, CB_SELECTSTRING, WPARAM(-1), LPARAM("Color"));
        ::SendDlgItemMessage(hDlg, IDC_SCAN_RESOLUTION, CB_SELECTSTRING, WPARAM(-1), LPARAM("50 dpi"));
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(hScan));
        return true;
    }, [](HWND hDlg) {
        // Not saved as a file of its own: the scan stays in the design.
        if (testing_support::WindowTitle(hDlg) != "Save Picture As")
            return false;
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    }});
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_INSERT_ACQUIRE_PICTURE);
    Pump();
    ASSERT_EQ(ObjectCount(pView), 1);
    CDrawObj* pObj = pView->GetSingleSelection();
    ASSERT_NE(pObj, nullptr);
    ASSERT_TRUE(pObj->HasPicture());
    EXPECT_EQ(Undo(pView).GetCount(), 1);
    const CString strTemp = pObj->GetPictureFileName();
    ASSERT_FALSE(strTemp.IsEmpty());
    EXPECT_TRUE(pObj->IsPictureEmbedded());
    SIZE scanned{0, 0};
    pObj->m_pPicture->GetSize(scanned, TRUE);

    const std::string path = platform::WindowsPathFor(m_root + "/scan.gen");
    ASSERT_TRUE(pView->GetDocument()->OnSaveDocument(path.c_str()));
    pView->GetDocument()->OnCloseDocument();
    Pump();
    ::DeleteFile(strTemp);
    auto* pReopened = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(path.c_str()));
    Pump();
    ASSERT_NE(pReopened, nullptr);
    CSurface* pOther = FirstView(pReopened);
    ASSERT_EQ(ObjectCount(pOther), 1);
    CDrawObj* pKept = AsDrawObj(pOther->GetObjects().GetHead());
    ASSERT_TRUE(pKept->HasPicture());
    SIZE kept{0, 0};
    pKept->m_pPicture->GetSize(kept, TRUE);
    EXPECT_EQ(kept.cx, scanned.cx);
    EXPECT_EQ(kept.cy, scanned.cy);
    ReleaseTwainSource();
}

TEST_F(SurfaceInsertTest, TheActiveSurfaceIsTheActiveChildsViewForEveryCaller)
{
    EXPECT_EQ(GetActiveSurface(), nullptr);
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(GetActiveSurface(), FirstView(pDoc));
    EXPECT_EQ(::GetActiveSurface(), FirstView(pDoc));
    CDrawDoc* pSecond = NewDesign();
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(GetActiveSurface(), FirstView(pSecond));
}

} // namespace
} // namespace surfacetest
