// The Picture dialog: what it shows with and without a picture, the
// proportional-resizing default, restoring the natural dimensions (asked
// only for a cropped picture), a new picture that loads and one that does
// not, and removing the picture, each through the object's editor so that
// what the object takes is checked too.

#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "platform/ui/CommCtrl.h"
#include "resources/SupportResources.h"
#include "resources/resource.h"
#include "surface/PictureInfoDlg.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PictureChooserSteps.h"
#include "tests/support/TestHome.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <filesystem>
#include <string>

namespace surfacetest {
namespace {

using testing_support::DialogStep;

const int kSizeControls[] = {IDC_PICINFO_SIZE, IDC_PICINFO_WIDTH, IDC_PICINFO_HEIGHT, IDC_PICINFO_NATURAL_WIDTH,
    IDC_PICINFO_NATURAL_HEIGHT, IDC_PICINFO_RESTORE};

DialogStep OnPictureInfo(std::function<void(HWND)> action)
{
    return OnDialogWith(IDC_PICINFO_RESTORE, std::move(action));
}

bool Visible(HWND hDlg, int nID)
{
    return ::IsWindowVisible(::GetDlgItem(hDlg, nID)) != FALSE;
}

bool Enabled(HWND hDlg, int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE;
}

// The pixel at the middle of the preview frame.
COLORREF PreviewCentrePixel(HWND hDlg)
{
    ::UpdateWindow(hDlg);
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(hDlg, IDC_PICINFO_PREVIEW), &rc);
    POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ScreenToClient(hDlg, &centre);
    return platform::headless::WindowPixel(hDlg, centre.x, centre.y);
}

bool AnySizeControlShown(HWND hDlg)
{
    for (int nID : kSizeControls) {
        if (Visible(hDlg, nID))
            return true;
    }
    return false;
}

class PictureInfoDlgTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_root = SetUpPictureDialogFolders("picinfo");
        m_wSavedAdd2 = thePrefs.Add2Flags;
        m_strSavedFolder = thePrefs.CurPictureFolder;
        thePrefs.Add2Flags = 0;
        m_strWide = picture_files::WriteBmp(picture_files::Raster(200, 100, RGB(200, 40, 40)), m_root + "/pics/wide.bmp")
                        .c_str();
        m_strTall = picture_files::WriteBmp(picture_files::Raster(50, 150, RGB(40, 40, 200)), m_root + "/pics/tall.bmp")
                        .c_str();
        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        m_pView->SetPageSize(800, 1000);
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        thePrefs.Add2Flags = m_wSavedAdd2;
        thePrefs.CurPictureFolder = m_strSavedFolder;
        platform::SetProgramFolderForTests("");
        platform::ResetDriveTable();
        SurfaceTest::TearDown();
    }

    // A picture object of the wide picture, 300 x 300 units.
    CDrawRect* PlacePicture()
    {
        auto* pObj = new CDrawRect(CRect(100, 400, 400, 100));
        m_pView->Add(pObj);
        pObj->SetPictureFile(m_strWide, TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        return pObj;
    }

    // Opens the object's Picture dialog with the steps; OnOpen's answer.
    BOOL Open(CDrawObj* pObj, std::vector<DialogStep> steps)
    {
        testing_support::DriveActiveWindow(std::move(steps));
        const BOOL bResult = pObj->OnOpen(m_pView, CDrawObj::EditPicture);
        platform::headless::SetIdleHandler(nullptr);
        return bResult;
    }

    // The picture chooser's steps that end in the file dialog choosing the
    // file. The chooser opens on the picker the user took last: the Open
    // dialog is passed on to the file dialog when it comes up.
    static std::vector<DialogStep> Choose(const CString& strPath)
    {
        DialogStep chooseFile = testing_support::ChoosePictureFile(strPath);
        DialogStep openSingle = testing_support::OpenSinglePicture();
        return {[chooseFile, openSingle](HWND hDlg) {
            if (openSingle(hDlg))
                return false;
            return chooseFile(hDlg);
        }};
    }

    static size_t Boxes() { return platform::headless::MessageBoxes().size(); }
    int Steps() const { return m_pDoc->GetUndoList().GetCount(); }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    std::string m_root;
    CString m_strWide;
    CString m_strTall;
    WORD m_wSavedAdd2 = 0;
    CString m_strSavedFolder;
};

} // namespace

TEST_F(PictureInfoDlgTest, WithoutAPictureItSaysSoHidesTheSizesAndTakesTheProportionalDefault)
{
    for (WORD wAdd2 : {WORD(0), WORD(PREF_ADD2_PROPORTIONAL_RESIZE)}) {
        SCOPED_TRACE(wAdd2);
        thePrefs.Add2Flags = wAdd2;
        auto* pShape = new CDrawRect(CRect(0, 200, 200, 0), SHAPE_ELLIPSE);
        m_pView->Add(pShape);
        std::string file;
        std::string newText;
        bool bSizes = true;
        bool bRemove = true;
        UINT nProportional = 2;
        COLORREF crPreview = 0;
        EXPECT_FALSE(Open(pShape, {OnPictureInfo([&](HWND hDlg) {
            file = ItemText(hDlg, IDC_PICINFO_FILE);
            newText = ItemText(hDlg, IDC_PICINFO_NEW);
            bSizes = AnySizeControlShown(hDlg);
            bRemove = Enabled(hDlg, IDC_PICINFO_REMOVE);
            nProportional = ::IsDlgButtonChecked(hDlg, IDC_PICINFO_PROPORTIONAL);
            crPreview = PreviewCentrePixel(hDlg);
            Click(hDlg, IDOK);
        })}));
        EXPECT_EQ(file, "<no picture>");
        EXPECT_EQ(newText, "&New...");
        EXPECT_FALSE(bSizes);
        EXPECT_FALSE(bRemove);
        EXPECT_EQ(nProportional, wAdd2 != 0 ? UINT(BST_CHECKED) : UINT(BST_UNCHECKED));
        // An empty preview is white while a picture can be chosen.
        EXPECT_EQ(crPreview, RGB(255, 255, 255));
    }
}

TEST_F(PictureInfoDlgTest, APictureShowsItsFileAndBothSizesAndHidesTheTextButton)
{
    CDrawRect* pObj = PlacePicture();
    ASSERT_TRUE(pObj->HasPicture());
    std::string file, size, width, height, naturalWidth, naturalHeight;
    bool bText = true;
    COLORREF crPreview = 0;
    EXPECT_FALSE(Open(pObj, {OnPictureInfo([&](HWND hDlg) {
        file = ItemText(hDlg, IDC_PICINFO_FILE);
        size = ItemText(hDlg, IDC_PICINFO_SIZE);
        width = ItemText(hDlg, IDC_PICINFO_WIDTH);
        height = ItemText(hDlg, IDC_PICINFO_HEIGHT);
        naturalWidth = ItemText(hDlg, IDC_PICINFO_NATURAL_WIDTH);
        naturalHeight = ItemText(hDlg, IDC_PICINFO_NATURAL_HEIGHT);
        bText = Visible(hDlg, IDC_PICINFO_TEXT);
        crPreview = PreviewCentrePixel(hDlg);
        Click(hDlg, IDCANCEL);
    })}));
    EXPECT_NE(file.find("wide.bmp"), std::string::npos) << file;
    // 200 x 100 at 24 bits is a little over 58K.
    EXPECT_EQ(size, "59K");
    EXPECT_EQ(width, "3.00");
    EXPECT_EQ(height, "3.00");
    EXPECT_EQ(naturalWidth, "2.00");
    EXPECT_EQ(naturalHeight, "1.00");
    EXPECT_FALSE(bText);
    EXPECT_EQ(crPreview, RGB(200, 40, 40));
}

TEST_F(PictureInfoDlgTest, RestoringAnUncroppedPictureAsksNothingAndSizesTheObjectWithUndo)
{
    CDrawRect* pObj = PlacePicture();
    const CRect before = pObj->m_position;
    const size_t nBoxes = Boxes();
    const int nSteps = Steps();
    std::string width;
    bool bRestoreEnabled = true;
    EXPECT_TRUE(Open(pObj, {OnPictureInfo([&](HWND hDlg) {
        Click(hDlg, IDC_PICINFO_RESTORE);
        width = ItemText(hDlg, IDC_PICINFO_WIDTH);
        bRestoreEnabled = Enabled(hDlg, IDC_PICINFO_RESTORE);
        Click(hDlg, IDOK);
    })}));
    EXPECT_EQ(Boxes(), nBoxes);
    EXPECT_EQ(width, "2.00");
    EXPECT_FALSE(bRestoreEnabled);
    // The left-top corner stays; the picture's own size from there.
    EXPECT_EQ(pObj->m_position, CRect(before.left, before.top, before.left + 200, before.top - 100));
    const int nTaken = Steps() - nSteps;
    EXPECT_GT(nTaken, 0);
    for (int i = 0; i < nTaken; ++i)
        EXPECT_TRUE(m_pDoc->GetUndoList().Undo(m_pDoc));
    EXPECT_EQ(pObj->m_position, before);
}

TEST_F(PictureInfoDlgTest, RestoringACroppedPictureAsksFirstAndNoChangesNothing)
{
    CDrawRect* pObj = PlacePicture();
    pObj->SetCrop(0.25, 0.25, 0.5, 0.5);
    ASSERT_TRUE(pObj->IsPictureCropped());
    const CRect cropped = pObj->m_position;

    size_t nBoxes = Boxes();
    platform::headless::PushMessageBoxAnswer(IDNO);
    bool bRestoreEnabled = false;
    EXPECT_FALSE(Open(pObj, {OnPictureInfo([&](HWND hDlg) {
        Click(hDlg, IDC_PICINFO_RESTORE);
        bRestoreEnabled = Enabled(hDlg, IDC_PICINFO_RESTORE);
        Click(hDlg, IDOK);
    })}));
    ASSERT_EQ(Boxes(), nBoxes + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("also remove cropping"), std::string::npos);
    EXPECT_TRUE(bRestoreEnabled);
    EXPECT_EQ(pObj->m_position, cropped);
    EXPECT_TRUE(pObj->IsPictureCropped());

    nBoxes = Boxes();
    platform::headless::PushMessageBoxAnswer(IDYES);
    EXPECT_TRUE(Open(pObj, {OnPictureInfo([](HWND hDlg) {
        Click(hDlg, IDC_PICINFO_RESTORE);
        Click(hDlg, IDOK);
    })}));
    EXPECT_EQ(Boxes(), nBoxes + 1);
    EXPECT_FALSE(pObj->IsPictureCropped());
    EXPECT_EQ(std::abs(pObj->m_position.Width()), 200);
    EXPECT_EQ(std::abs(pObj->m_position.Height()), 100);
}

TEST_F(PictureInfoDlgTest, ANewPictureReplacesTheObjectsAndAFailingOneKeepsTheOld)
{
    CDrawRect* pObj = PlacePicture();
    // Bytes no picture reader takes, under a picture's name.
    const std::string bad = m_root + "/pics/broken.bmp";
    testing_support::WriteFileBytes(bad, "BM this is not a picture at all");
    const size_t nBoxes = Boxes();
    std::string fileAfterFailure;
    bool bSizesAfterFailure = false;
    std::vector<DialogStep> steps = {OnPictureInfo([](HWND hDlg) {
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICINFO_NEW, BN_CLICKED), 0);
    })};
    for (DialogStep& step : Choose(bad.c_str()))
        steps.push_back(step);
    steps.push_back(OnPictureInfo([&](HWND hDlg) {
        fileAfterFailure = ItemText(hDlg, IDC_PICINFO_FILE);
        bSizesAfterFailure = AnySizeControlShown(hDlg);
        Click(hDlg, IDOK);
    }));
    EXPECT_FALSE(Open(pObj, steps));
    EXPECT_GT(Boxes(), nBoxes);
    EXPECT_NE(fileAfterFailure.find("wide.bmp"), std::string::npos) << fileAfterFailure;
    EXPECT_TRUE(bSizesAfterFailure);
    ASSERT_TRUE(pObj->HasPicture());
    EXPECT_NE(std::string(pObj->GetPictureFileName()).find("wide.bmp"), std::string::npos);

    const int nSteps = Steps();
    steps = {OnPictureInfo([](HWND hDlg) {
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICINFO_NEW, BN_CLICKED), 0);
    })};
    for (DialogStep& step : Choose(m_strTall))
        steps.push_back(step);
    std::string naturalHeight;
    steps.push_back(OnPictureInfo([&](HWND hDlg) {
        naturalHeight = ItemText(hDlg, IDC_PICINFO_NATURAL_HEIGHT);
        Click(hDlg, IDOK);
    }));
    EXPECT_TRUE(Open(pObj, steps));
    EXPECT_EQ(naturalHeight, "1.50");
    ASSERT_TRUE(pObj->HasPicture());
    EXPECT_NE(std::string(pObj->GetPictureFileName()).find("tall.bmp"), std::string::npos);
    SIZE natural{0, 0};
    pObj->m_pPicture->GetSize(natural, TRUE);
    EXPECT_EQ(natural.cx, 50);
    EXPECT_EQ(natural.cy, 150);
    EXPECT_GT(Steps(), nSteps);
    m_pDoc->GetUndoList().Undo(m_pDoc);
    ASSERT_NE(pObj->m_pPicture, nullptr);
    EXPECT_NE(std::string(pObj->GetPictureFileName()).find("wide.bmp"), std::string::npos);
}

TEST_F(PictureInfoDlgTest, RemovingThePictureTakesAPlainPictureObjectAwayButKeepsAFilledShape)
{
    CDrawRect* pPlain = PlacePicture();
    auto* pFilled = new CDrawRect(CRect(500, 400, 700, 200), SHAPE_HEART);
    m_pView->Add(pFilled);
    pFilled->m_bFill = TRUE;
    pFilled->SetPictureFile(m_strWide, TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_TRUE(pFilled->HasPicture());

    std::string file;
    HWND hFocus = NULL;
    HWND hNew = NULL;
    EXPECT_TRUE(Open(pFilled, {OnPictureInfo([&](HWND hDlg) {
        Click(hDlg, IDC_PICINFO_REMOVE);
        file = ItemText(hDlg, IDC_PICINFO_FILE);
        hFocus = ::GetFocus();
        hNew = ::GetDlgItem(hDlg, IDC_PICINFO_NEW);
        Click(hDlg, IDOK);
    })}));
    EXPECT_EQ(file, "<no picture>");
    EXPECT_EQ(hFocus, hNew);
    EXPECT_FALSE(pFilled->HasPicture());
    EXPECT_NE(m_pView->GetObjects().Find(pFilled), nullptr);

    const INT_PTR nObjects = m_pView->GetObjects().GetCount();
    EXPECT_TRUE(Open(pPlain, {OnPictureInfo([](HWND hDlg) {
        Click(hDlg, IDC_PICINFO_REMOVE);
        Click(hDlg, IDOK);
    })}));
    EXPECT_EQ(m_pView->GetObjects().GetCount(), nObjects - 1);
}

TEST_F(PictureInfoDlgTest, NeighbouringPagesChangeTheRecordThatOkApplies)
{
    // The shape page opened from the Picture dialog: the kind goes in with
    // the dialog's own OK.
    CDrawRect* pObj = PlacePicture();
    EXPECT_TRUE(Open(pObj, {
        OnPictureInfo([](HWND hDlg) {
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICINFO_SHAPE, BN_CLICKED), 0);
        }),
        OnDialogWith(IDC_SHAPE_SIDES, [](HWND hDlg) {
            ::SendMessage(::GetDlgItem(hDlg, IDC_SHAPE_ELLIPSE), BM_CLICK, 0, 0);
            Click(hDlg, IDOK);
        }),
        OnPictureInfo([](HWND hDlg) { Click(hDlg, IDOK); }),
    }));
    EXPECT_EQ(pObj->m_nShape, SHAPE_ELLIPSE);
    EXPECT_TRUE(pObj->HasPicture());
}

TEST_F(PictureInfoDlgTest, APictureGivenFromTheShapeDialogSurvivesTheShapesOk)
{
    auto* pShape = new CDrawRect(CRect(0, 300, 300, 0), SHAPE_STAR);
    m_pView->Add(pShape);
    std::vector<DialogStep> steps = {
        OnDialogWith(IDC_SHAPE_SIDES, [](HWND hDlg) {
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_SHAPE_PICTURE, BN_CLICKED), 0);
        }),
        OnPictureInfo([](HWND hDlg) {
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICINFO_NEW, BN_CLICKED), 0);
        }),
    };
    for (DialogStep& step : Choose(m_strWide))
        steps.push_back(step);
    steps.push_back(OnPictureInfo([](HWND hDlg) { Click(hDlg, IDOK); }));
    steps.push_back(OnDialogWith(IDC_SHAPE_SIDES, [](HWND hDlg) { Click(hDlg, IDOK); }));
    testing_support::DriveActiveWindow(std::move(steps));
    EXPECT_TRUE(pShape->OnOpen(m_pView, CDrawObj::EditShape));
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_EQ(pShape->m_nShape, SHAPE_STAR);
    ASSERT_TRUE(pShape->HasPicture());
    EXPECT_NE(std::string(pShape->GetPictureFileName()).find("wide.bmp"), std::string::npos);
}

TEST_F(PictureInfoDlgTest, PictureStudioIsOfferedForAnUprightPictureAndCancelChangesNothing)
{
    CDrawRect* pObj = PlacePicture();
    bool bOffered = false;
    bool bStudioShown = false;
    EXPECT_FALSE(Open(pObj, {
        OnPictureInfo([&](HWND hDlg) {
            bOffered = Visible(hDlg, IDC_PICINFO_STUDIO);
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICINFO_STUDIO, BN_CLICKED), 0);
        }),
        [&](HWND hDlg) {
            if (::GetDlgItem(hDlg, IDC_PICINFO_RESTORE) != NULL)
                return false;
            bStudioShown = true;
            ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
        OnPictureInfo([](HWND hDlg) { Click(hDlg, IDOK); }),
    }));
    EXPECT_TRUE(bOffered);
    EXPECT_TRUE(bStudioShown);

    pObj->RotatePicture(30);
    ASSERT_TRUE(pObj->IsRotated());
    bOffered = true;
    Open(pObj, {OnPictureInfo([&](HWND hDlg) {
        bOffered = Visible(hDlg, IDC_PICINFO_STUDIO);
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_FALSE(bOffered);
}

TEST_F(PictureInfoDlgTest, ACalendarTakesANewPictureWithoutItsRecordBeingApplied)
{
    auto* pCalendar = new CDrawRect(CRect(0, 400, 400, 0));
    pCalendar->m_nCalendarStart = 2461000;
    m_pView->Add(pCalendar);
    ASSERT_TRUE(pCalendar->IsCalendar());
    const int nSteps = Steps();
    std::vector<DialogStep> steps = {OnPictureInfo([](HWND hDlg) {
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICINFO_NEW, BN_CLICKED), 0);
    })};
    for (DialogStep& step : Choose(m_strWide))
        steps.push_back(step);
    steps.push_back(OnPictureInfo([](HWND hDlg) { Click(hDlg, IDOK); }));
    EXPECT_TRUE(Open(pCalendar, steps));
    EXPECT_TRUE(pCalendar->IsCalendar());
    EXPECT_EQ(pCalendar->m_nCalendarStart, 2461000);
    ASSERT_NE(pCalendar->m_pPicture, nullptr);
    EXPECT_GE(pCalendar->m_pPicture->m_nHandle, 1);
    EXPECT_EQ(Steps(), nSteps + 1);
}

} // namespace surfacetest
