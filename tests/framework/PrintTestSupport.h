#pragma once
// A frame with a two-page document and a view that prints each page as one
// coloured square, for the print loop and print preview tests. Page p's
// square is 600 x 600 printer dots (an inch at the PDF printer's 600 dpi)
// whose top-left corner is (p - 1) * 1200 dots from the printable area's
// corner: red on page 1, blue on page 2.

#include "platform/base/GlobalMemory.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/Document.h"
#include "platform/framework/Frame.h"
#include "platform/framework/PrintInfo.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PreviewDc.h"
#include "platform/profile/Registry.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/Headless.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace printtest {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr int kSquare = 600;   // printer dots
constexpr int kPageStep = 1200; // page p's square starts (p - 1) * kPageStep

class CPageDoc : public CDocument {
    DECLARE_DYNCREATE(CPageDoc)
public:
    CPageDoc() = default;
};

// Records the print calls it gets. The screen shows plain green.
class CPageView : public CView {
    DECLARE_DYNCREATE(CPageView)
public:
    CPageView() = default;

    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnDraw(CDC* pDC) override;

    static inline UINT s_pageCount = 2;    // 0: the length is left unknown
    static inline UINT s_cancelOnPage = 0; // press Cancel while printing this page
    static inline std::vector<BOOL> s_cancelSeen; // IsPrintJobCancelled before and after
    static inline int s_begin = 0;
    static inline int s_end = 0;
    static inline std::vector<UINT> s_pages;  // pages OnPrint was given
    static inline std::vector<BOOL> s_isPrinting; // pDC->IsPrinting() there
    static inline std::vector<CRect> s_rectDraw;  // m_rectDraw there
    static inline std::vector<BOOL> s_isPreview;  // a print-preview DC there
    static void Reset()
    {
        s_pageCount = 2;
        s_cancelOnPage = 0;
        s_cancelSeen.clear();
        s_begin = s_end = 0;
        s_pages.clear();
        s_isPrinting.clear();
        s_rectDraw.clear();
        s_isPreview.clear();
    }

protected:
    DECLARE_MESSAGE_MAP()
};

class CPrintTestApp : public CWinApp {
public:
    CPrintTestApp() : CWinApp("PrintTests") {}
};

class PrintFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The next file dialog that shows is answered with this path (OK).
    void AnswerFileDialogWith(const CString& path);
    // The next dialog that shows is answered with this button.
    void AnswerDialogWith(int nID);
    // Sends a command to the frame as a menu would.
    void Command(UINT nID) { m_frame->SendMessage(WM_COMMAND, nID, 0); }

    CString PathOf(const std::string& name) const
    {
        return CString((platform::WindowsPathFor(m_dir) + "\\" + name).c_str());
    }
    std::string HostPathOf(const std::string& name) const { return m_dir + "/" + name; }

    std::unique_ptr<CPrintTestApp> m_app;
    CPageDoc* m_doc = nullptr;
    CFrameWnd* m_frame = nullptr;
    CPageView* m_view = nullptr;
    std::string m_dir;
    int m_dialogsAnswered = 0;
};

} // namespace printtest
