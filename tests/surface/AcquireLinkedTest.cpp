// A scan taken while pictures are linked: Save Picture As comes up first,
// and the new object links the file the user saved, so the design keeps the
// path and none of the scan's data; when the user cancels, or the file
// cannot be written, the scan stays inside the design as before. The scanner is SANE's test back end.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "app/PrefData.h"
#include "model/UndoList.h"
#include "pictures/Image.h"
#include "pictures/TwainSource.h"
#include "platform/files/FileApi.h"
#include "platform/files/HostPath.h"
#include "platform/services/Twain.h"
#include "platform/ui/CommDlg.h"
#include "resources/scanner.h"
#include "tests/model/DesignFileSupport.h"
#include "tests/services/SaneTestConfig.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace surfacetest {
namespace {

using testing_support::DialogStep;

// Whether the bytes hold a picture file's image (the forms a design embeds
// a raster in).
bool HoldsRaster(const std::string& bytes)
{
    return bytes.find("\x89PNG\r\n\x1a\n") != std::string::npos || bytes.find("\xFF\xD8\xFF") != std::string::npos;
}

class AcquireLinkedTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        InitCommonControls();
        m_root = testing_support::MakeTempDir("acquire");
        m_wAddlFlags = thePrefs.AddlFlags;
        thePrefs.AddlFlags |= PREF_ADDL_SWITCH_I; // pictures linked by path
    }

    void TearDown() override
    {
        thePrefs.AddlFlags = m_wAddlFlags;
        platform::headless::SetIdleHandler(nullptr);
        ReleaseTwainSource();
        SurfaceInputTest::TearDown();
    }

    // Scans one page through Acquire on a new page, answering the scan
    // dialog and then the dialogs that follow with the given step; the
    // view, or null when no scanner is set up.
    CSurface* Acquire(DialogStep afterScan)
    {
        // The scanner's news is served by a timer: this runs on real time.
        platform::ResetClock();
        m_sane = std::make_unique<testing_support::SaneTestConfig>(
            "test\n", "number_of_devices 1\ntest-picture \"Color pattern\"\n");
        if (InitTwainSource() < 1)
            return nullptr;
        for (int i = 0; i < 5000 && !platform::TwainSearchDone(); ++i) {
            Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (GetTwainSourceCount() != 1)
            return nullptr;
        CSurface* pView = NewView();
        if (pView == nullptr)
            return nullptr;
        pView->SetPageSize(800, 1000);
        testing_support::DriveActiveWindow({[](HWND hDlg) {
            HWND hScan = ::GetDlgItem(hDlg, IDOK);
            if (testing_support::WindowTitle(hDlg) != "Scan" || !::IsWindowEnabled(hScan))
                return false;
            ::SendDlgItemMessage(hDlg, IDC_SCAN_MODE, CB_SELECTSTRING, WPARAM(-1), LPARAM("Color"));
            ::SendDlgItemMessage(hDlg, IDC_SCAN_RESOLUTION, CB_SELECTSTRING, WPARAM(-1), LPARAM("50 dpi"));
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(hScan));
            return true;
        }, afterScan});
        pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_INSERT_ACQUIRE_PICTURE);
        Pump();
        return pView;
    }

    // A step for Save Picture As: notes that it came up, then saves under
    // the name (a Windows path) or, with none, cancels.
    DialogStep SavePictureAs(const std::string& strName)
    {
        return [this, strName](HWND hDlg) {
            if (testing_support::WindowTitle(hDlg) != "Save Picture As" || ::GetDlgItem(hDlg, edt1) == NULL)
                return false;
            m_bSaveOffered = true;
            if (strName.empty()) {
                ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return true;
            }
            ::SetDlgItemText(hDlg, edt1, strName.c_str());
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        };
    }

    static bool ScannerMissing() { return std::system("scanimage --version > /dev/null 2>&1") != 0; }

    std::string m_root;
    WORD m_wAddlFlags = 0;
    bool m_bSaveOffered = false;
    std::unique_ptr<testing_support::SaneTestConfig> m_sane;
};

TEST_F(AcquireLinkedTest, TheScanIsSavedWhereTheUserSaysAndTheDesignLinksIt)
{
    if (ScannerMissing())
        GTEST_SKIP() << "scanimage (sane-utils) is not installed";
    const std::string saved = platform::WindowsPathFor(m_root + "/page.png");
    CSurface* pView = Acquire(SavePictureAs(saved));
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_bSaveOffered);
    ASSERT_EQ(pView->GetObjects().GetCount(), 1);
    CDrawObj* pObj = pView->GetSingleSelection();
    ASSERT_NE(pObj, nullptr);
    ASSERT_TRUE(pObj->HasPicture());
    EXPECT_EQ(pView->GetDocument()->GetUndoList().GetCount(), 1);
    ASSERT_TRUE(std::filesystem::exists(m_root + "/page.png"));
    EXPECT_STREQ(pObj->GetPictureFileName(), saved.c_str());
    EXPECT_FALSE(pObj->IsPictureEmbedded());
    SIZE scanned{0, 0};
    pObj->m_pPicture->GetSize(scanned, TRUE);
    ASSERT_GT(scanned.cx, 0);

    // The design holds the path and none of the scan's data.
    const std::string design = platform::WindowsPathFor(m_root + "/linked.gen");
    ASSERT_TRUE(pView->GetDocument()->OnSaveDocument(design.c_str()));
    pView->GetDocument()->OnCloseDocument();
    Pump();
    const std::string contents = modeltest::DesignStreamBytes(design, "Contents");
    ASSERT_FALSE(contents.empty());
    EXPECT_NE(contents.find(saved), std::string::npos);
    EXPECT_FALSE(HoldsRaster(contents));
    EXPECT_LT(contents.size(), std::filesystem::file_size(m_root + "/page.png"));

    // Opened again, the picture comes from the saved file.
    auto* pReopened = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(design.c_str()));
    Pump();
    ASSERT_NE(pReopened, nullptr);
    CSurface* pOther = FirstView(pReopened);
    ASSERT_EQ(pOther->GetObjects().GetCount(), 1);
    CDrawObj* pKept = AsDrawObj(pOther->GetObjects().GetHead());
    ASSERT_TRUE(pKept->HasPicture());
    EXPECT_STREQ(pKept->GetPictureFileName(), saved.c_str());
    SIZE kept{0, 0};
    pKept->m_pPicture->GetSize(kept, TRUE);
    EXPECT_EQ(kept.cx, scanned.cx);
    EXPECT_EQ(kept.cy, scanned.cy);
}

TEST_F(AcquireLinkedTest, ACancelledSaveKeepsTheScanInsideTheDesign)
{
    if (ScannerMissing())
        GTEST_SKIP() << "scanimage (sane-utils) is not installed";
    CSurface* pView = Acquire(SavePictureAs(""));
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_bSaveOffered);
    ASSERT_EQ(pView->GetObjects().GetCount(), 1);
    CDrawObj* pObj = pView->GetSingleSelection();
    ASSERT_NE(pObj, nullptr);
    ASSERT_TRUE(pObj->HasPicture());
    EXPECT_TRUE(pObj->IsPictureEmbedded());
    EXPECT_EQ(pView->GetDocument()->GetUndoList().GetCount(), 1);

    const std::string design = platform::WindowsPathFor(m_root + "/kept.gen");
    ASSERT_TRUE(pView->GetDocument()->OnSaveDocument(design.c_str()));
    pView->GetDocument()->OnCloseDocument();
    Pump();
    EXPECT_TRUE(HoldsRaster(modeltest::DesignStreamBytes(design, "Contents")));
}

TEST_F(AcquireLinkedTest, AScanThatCannotBeWrittenWhereTheUserAskedStaysInsideTheDesign)
{
    if (ScannerMissing())
        GTEST_SKIP() << "scanimage (sane-utils) is not installed";
    // The format the save filter offers that nothing here writes.
    const std::string saved = platform::WindowsPathFor(m_root + "/page.cmp");
    CSurface* pView = Acquire(SavePictureAs(saved));
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_bSaveOffered);
    CDrawObj* pObj = pView->GetSingleSelection();
    ASSERT_NE(pObj, nullptr);
    ASSERT_TRUE(pObj->HasPicture());
    EXPECT_TRUE(pObj->IsPictureEmbedded());
    EXPECT_STRNE(pObj->GetPictureFileName(), saved.c_str());
}

} // namespace
} // namespace surfacetest
