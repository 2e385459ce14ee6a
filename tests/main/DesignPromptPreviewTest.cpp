// The program's design file prompt is the picture file dialog in its design
// mode: the design under the cursor shows its stored preview, the caller's
// title and flags hold, and Multiple Preview hands the choice to the design
// browser with its own code.

#include "tests/main/AppTestSupport.h"

#include "app/main/DocTemplates.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Document.h"
#include "platform/ui/CommDlg.h"
#include "resources/filedlg.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <string>

namespace {

constexpr int kGeneralKind = 5;

class DesignPromptPreviewTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_dir = testing_support::MakeTempDir("designprompt");
        ASSERT_TRUE(Start());
        apptest::TakePosted(MainWindow(), WM_COMMAND);
    }

    // The dialog's child with the preview pane, NULL until it is up.
    static HWND PaneChild(HWND hDlg)
    {
        for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (::GetDlgItem(h, IDC_FILEIMG_FRAME) != NULL)
                return h;
        }
        return NULL;
    }
    static COLORREF PaneCentre(HWND hChild)
    {
        RECT rc{};
        ::GetWindowRect(::GetDlgItem(hChild, IDC_FILEIMG_FRAME), &rc);
        POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 + 4};
        ::ScreenToClient(hChild, &pt);
        return platform::headless::WindowPixel(hChild, pt.x, pt.y);
    }

    std::string m_dir;
};

TEST_F(DesignPromptPreviewTest, ShowsTheDesignsPreviewAndKeepsTheCallersTitleAndFlags)
{
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(kGeneralKind);
    ASSERT_NE(pTemplate, nullptr);
    CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(pDoc, nullptr);
    const std::string design = platform::WindowsPathFor(m_dir + "/card.gnl");
    ASSERT_TRUE(pDoc->OnSaveDocument(design.c_str()));
    pDoc->OnCloseDocument();
    AfxPumpMessagesUntilIdle();

    const COLORREF crFace = ::GetSysColor(COLOR_BTNFACE);
    std::string title;
    bool galleryEnabled = true, multipleVisible = false, optionsEnabled = true;
    COLORREF crBefore = CLR_INVALID;
    COLORREF crShown = CLR_INVALID;
    size_t nBoxes = platform::headless::MessageBoxes().size();
    bool stayedOpen = false;
    testing_support::DriveActiveWindow({
        [&](HWND hDlg) {
            HWND hChild = PaneChild(hDlg);
            if (hChild == NULL)
                return false;
            title = testing_support::WindowTitle(hDlg);
            galleryEnabled = ::IsWindowEnabled(::GetDlgItem(hChild, IDC_FILEIMG_GALLERY)) != FALSE;
            multipleVisible = ::IsWindowVisible(::GetDlgItem(hChild, IDC_FILEIMG_MULTIPLE)) != FALSE;
            optionsEnabled = ::IsWindowEnabled(::GetDlgItem(hChild, IDC_FILEIMG_NATURAL_SIZE)) != FALSE
                || ::IsWindowEnabled(::GetDlgItem(hChild, IDC_FILEIMG_PROPORTIONAL)) != FALSE;
            crBefore = PaneCentre(hChild);
            ::SetFocus(::GetDlgItem(hDlg, lst1));
            platform::headless::TypeKey(VK_HOME);
            return true;
        },
        [&](HWND hDlg) {
            // The preview waits for one double-click time.
            const COLORREF cr = PaneCentre(PaneChild(hDlg));
            if (cr == crFace)
                return false;
            crShown = cr;
            // The caller asked for existing files only.
            ::SetDlgItemText(hDlg, edt1, "missing.gnl");
            ::SendMessage(hDlg, WM_COMMAND, IDOK, 0);
            stayedOpen = ::IsWindow(hDlg) && platform::headless::MessageBoxes().size() == nBoxes + 1;
            ::SetDlgItemText(hDlg, edt1, "card.gnl");
            ::PostMessage(hDlg, WM_COMMAND, IDOK, 0);
            return true;
        },
    });
    CString strPath = CString((platform::WindowsPathFor(m_dir) + "\\").c_str());
    int nIndex = 0;
    const BOOL nResult = m_app->DoPromptFileName(strPath, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
        TRUE, nullptr, &nIndex);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_STREQ(strPath, design.c_str());
    EXPECT_EQ(nIndex, 1);
    EXPECT_EQ(title, "Open");
    EXPECT_FALSE(galleryEnabled);
    EXPECT_TRUE(multipleVisible);
    EXPECT_FALSE(optionsEnabled) << "designs have no picture options";
    EXPECT_EQ(crBefore, crFace);
    EXPECT_EQ(crShown, RGB(255, 255, 255)) << "the blank design's white page";
    EXPECT_TRUE(stayedOpen);
}

TEST_F(DesignPromptPreviewTest, MultiplePreviewEndsWithItsCodeAndLeavesThePath)
{
    testing_support::DriveActiveWindow({
        [&](HWND hDlg) {
            HWND hChild = PaneChild(hDlg);
            if (hChild == NULL)
                return false;
            ::PostMessage(::GetDlgItem(hChild, IDC_FILEIMG_MULTIPLE), BM_CLICK, 0, 0);
            return true;
        },
    });
    CString strPath = "C:\\kept.gnl";
    EXPECT_EQ(m_app->DoPromptFileName(strPath, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr,
                  nullptr),
        411);
    EXPECT_STREQ(strPath, "C:\\kept.gnl");
}

} // namespace
