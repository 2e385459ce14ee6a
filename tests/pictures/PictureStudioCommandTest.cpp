// The view's Picture Studio command: the menu's and the tool pad's routes to
// it, when it is offered, and what the object keeps after OK and Cancel.

#include "tests/model/ModelTestSupport.h"

#include "model/DrawRect.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "pictures/PictureStudioDlg.h"
#include "platform/files/HostPath.h"
#include "platform/imaging/Imaging.h"
#include "tests/support/CommandProbe.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestData.h"

#include <functional>
#include <vector>

namespace {

const char kPng[] = THREADWICK_TESTDATA_DIR "/png/bin-libsixel-examples__basn2c08.png";

std::vector<BYTE> RasterBytes(int nHandle)
{
    LTBITMAP* pBitmap = nullptr;
    if (GetPicBitmap(nHandle, &pBitmap) != 1 || pBitmap == nullptr)
        return {};
    return pBitmap->Pixels;
}

class PictureStudioCommandTest : public modeltest::DesignViewTest {
protected:
    void SetUp() override
    {
        DesignViewTest::SetUp();
        REQUIRE_TESTDATA();
        m_pObj = new CDrawRect(CRect(-100, 100, 100, -100));
        m_pView->Add(m_pObj);
        m_pObj->SetPictureFile(platform::WindowsPathFor(kPng).c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        ASSERT_TRUE(m_pObj->HasPicture());
        m_pView->Select(m_pObj);
        m_pDoc->SetModifiedFlag(FALSE);
        Pump();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        DesignViewTest::TearDown();
    }

    // Sends the command to the main window, with Studio answered by the
    // action (which ends it); TRUE when Studio opened.
    BOOL RunCommand(UINT nID, std::function<void(CPictureStudioDlg&, HWND)> action)
    {
        BOOL bOpened = FALSE;
        testing_support::DriveActiveWindow({[&bOpened, action](HWND hActive) {
            auto* pDlg = dynamic_cast<CPictureStudioDlg*>(CWnd::FromHandlePermanent(hActive));
            if (pDlg == nullptr)
                return false;
            bOpened = TRUE;
            action(*pDlg, hActive);
            return true;
        }});
        m_pMain->SendMessage(WM_COMMAND, nID, 0);
        Pump();
        platform::headless::SetIdleHandler(nullptr);
        return bOpened;
    }

    static void AdjustAndEnd(CPictureStudioDlg& dlg, HWND hDlg, int nEntry, int nEndWith)
    {
        dlg.m_list.SetCaretIndex(dlg.FindEntry(nEntry));
        testing_support::Click(hDlg, IDC_STUDIO_ADJUST);
        testing_support::Click(hDlg, nEndWith);
    }

    BOOL IsOffered()
    {
        return testing_support::CommandStateOf(m_pView, ID_EDIT_PICTURE_STUDIO).bEnabled
            && testing_support::CommandStateOf(m_pView, ID_PICTURE_STUDIO_ITEM).bEnabled;
    }

    CDrawRect* m_pObj = nullptr;
};

TEST_F(PictureStudioCommandTest, TheMenuAndTheToolPadBothOpenStudio)
{
    for (UINT nID : {UINT(ID_EDIT_PICTURE_STUDIO), UINT(ID_PICTURE_STUDIO_ITEM)}) {
        SCOPED_TRACE(nID);
        std::string caption;
        EXPECT_TRUE(RunCommand(nID, [&](CPictureStudioDlg&, HWND hDlg) {
            caption = testing_support::WindowTitle(hDlg);
            testing_support::Click(hDlg, IDCANCEL);
        }));
        EXPECT_EQ(caption, "Picture Studio");
    }
}

TEST_F(PictureStudioCommandTest, IsOfferedForOneUnlockedPicture)
{
    EXPECT_TRUE(IsOffered());
    m_pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_FALSE(IsOffered());
    m_pObj->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);

    auto* pShape = new CDrawRect(CRect(200, 100, 300, 0));
    m_pView->Add(pShape);
    m_pView->Select(pShape, TRUE);
    EXPECT_FALSE(IsOffered()) << "two objects";
    m_pView->Select(pShape);
    EXPECT_FALSE(IsOffered()) << "no picture";
    EXPECT_FALSE(RunCommand(ID_EDIT_PICTURE_STUDIO, [](CPictureStudioDlg&, HWND hDlg) {
        testing_support::Click(hDlg, IDCANCEL);
    }));
}

TEST_F(PictureStudioCommandTest, CancelLeavesTheObjectsPictureByteForByte)
{
    const std::vector<BYTE> before = RasterBytes(m_pObj->m_pPicture->m_nHandle);
    const CImage* pBefore = m_pObj->m_pPicture;
    ASSERT_TRUE(RunCommand(ID_EDIT_PICTURE_STUDIO, [](CPictureStudioDlg& dlg, HWND hDlg) {
        AdjustAndEnd(dlg, hDlg, StudioNegative, IDCANCEL);
    }));
    EXPECT_EQ(m_pObj->m_pPicture, pBefore);
    EXPECT_EQ(RasterBytes(m_pObj->m_pPicture->m_nHandle), before);
    EXPECT_FALSE(m_pDoc->IsModified());
    EXPECT_FALSE(m_pDoc->GetUndoList().CanUndo());
}

TEST_F(PictureStudioCommandTest, OkGivesTheObjectTheStudiosPictureAsOneUndoStep)
{
    CImage expected;
    expected.Copy(*m_pObj->m_pPicture);
    ASSERT_TRUE(expected.ApplyEffect(11, 1, 0));
    ASSERT_TRUE(RunCommand(ID_PICTURE_STUDIO_ITEM, [](CPictureStudioDlg& dlg, HWND hDlg) {
        AdjustAndEnd(dlg, hDlg, StudioNegative, IDOK);
    }));
    int nFirst = 0;
    int nSecond = 0;
    EXPECT_TRUE(m_pObj->m_pPicture->GetEffect(11, &nFirst, &nSecond));
    EXPECT_EQ(RasterBytes(m_pObj->m_pPicture->m_nHandle), RasterBytes(expected.m_nHandle));
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_TRUE(m_pDoc->GetUndoList().CanUndo());
}

TEST_F(PictureStudioCommandTest, ATurnedPictureIsEditedUprightAndComesBackTurned)
{
    int cxUpright = 0;
    int cyUpright = 0;
    int nBits = 0;
    GetPicSize(m_pObj->m_pPicture->m_nHandle, &cxUpright, &cyUpright, &nBits);
    m_pObj->RotatePicture(30);
    ASSERT_EQ(m_pObj->m_pPicture->m_nRotation, 30);
    int cxTurned = 0;
    int cyTurned = 0;
    GetPicSize(m_pObj->m_pPicture->m_nHandle, &cxTurned, &cyTurned, &nBits);
    ASSERT_NE(cxTurned, cxUpright);

    int cxInside = 0;
    int cyInside = 0;
    int nRotation = 0;
    ASSERT_TRUE(RunCommand(ID_EDIT_PICTURE_STUDIO, [&](CPictureStudioDlg& dlg, HWND hDlg) {
        nRotation = dlg.GetRotation();
        int nDepth = 0;
        GetPicSize(dlg.GetWorkingPicture()->m_nHandle, &cxInside, &cyInside, &nDepth);
        AdjustAndEnd(dlg, hDlg, StudioGrayscale, IDOK);
    }));
    EXPECT_EQ(nRotation, 30);
    EXPECT_LT(cxInside, cxTurned) << "the preview shows the upright picture";
    EXPECT_EQ(m_pObj->m_pPicture->m_nRotation, 30);
    int cxAfter = 0;
    int cyAfter = 0;
    GetPicSize(m_pObj->m_pPicture->m_nHandle, &cxAfter, &cyAfter, &nBits);
    EXPECT_EQ(cxAfter, cxTurned);
    EXPECT_EQ(cyAfter, cyTurned);
    int nFirst = 0;
    int nSecond = 0;
    EXPECT_TRUE(m_pObj->m_pPicture->GetEffect(7, &nFirst, &nSecond));
}

} // namespace
