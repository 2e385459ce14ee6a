// The progress dialog standing in for the shared services' progress
// displays: shown while the work runs, Cancel reaching the work, gone after.

#include "app/ContentCatalog.h"
#include "app/FolderScan.h"
#include "controls/ProgressDisplays.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

namespace {

class ProgressDisplaysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        InstallProgressDisplays();
    }
    void TearDown() override
    {
        SetScanProgressFactory(nullptr);
        SetIndexProgressFactory(nullptr);
    }

    static HWND ProgressWindow() { return ::FindWindow("#32770", nullptr); }
};

TEST_F(ProgressDisplaysTest, ScanShowsTheDialogAndCancelReachesTheWork)
{
    std::unique_ptr<CScanProgress> progress = MakeScanProgress();
    progress->SetRange(4);
    progress->Step();
    HWND hDlg = ProgressWindow();
    ASSERT_NE(HWND(NULL), hDlg);
    EXPECT_TRUE(::IsWindowVisible(hDlg));
    EXPECT_FALSE(progress->IsCancelled());

    // Cancel leaves the window up: the work decides when to stop.
    ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    progress->PumpMessages();
    EXPECT_TRUE(progress->IsCancelled());
    EXPECT_TRUE(::IsWindow(hDlg));

    progress.reset();
    EXPECT_FALSE(::IsWindow(hDlg));
}

TEST_F(ProgressDisplaysTest, WithoutTheKitTheScanIsSilentAndNeverCancelled)
{
    SetScanProgressFactory(nullptr);
    std::unique_ptr<CScanProgress> progress = MakeScanProgress();
    progress->SetRange(4);
    progress->Step();
    EXPECT_EQ(HWND(NULL), ProgressWindow());
    EXPECT_FALSE(progress->IsCancelled());
}

} // namespace
