// The picture push button on the headless back end: its cell layout, its
// pixels, its keys and mouse, and the dialog's default button as the focus
// moves between buttons.

#include "controls/PictureButton.h"

#include "controls/SharedFonts.h"
#include "platform/base/ResourceTables.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/PropertySheet.h"
#include "platform/gdi/Dc.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The test's icons have ids of their own. The tables of a module are
// searched in the order they were registered and stay registered for the
// whole process, so an id the program's own table also uses (its button
// icons are 529, 523 and 527) would show the program's picture whenever an
// earlier test had registered the program's resources.
constexpr int kOkIcon = 30521;
constexpr int kCancelIcon = 30522;
constexpr int kHelpIcon = 30523;
constexpr int kDisabledIcon = 30520;
constexpr UINT kDialogId = 30501;
constexpr UINT kPageId = 30502;
constexpr int kHelpId = 9;
constexpr int kEditId = 100;
constexpr int kExtraId = 101;

constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kHighlight = RGB(255, 255, 255);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kOkColour = RGB(255, 0, 0);
constexpr COLORREF kDisabledColour = RGB(0, 0, 255);

// A 32 x 32 icon resource of one opaque colour: the DIB with doubled
// height, then the AND mask.
std::vector<uint8_t> SolidIcon(COLORREF colour)
{
    std::vector<uint8_t> bytes(40 + 32 * 32 * 4 + 32 * 4, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = uint8_t(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, 32);
    put32(8, 64);
    bytes[12] = 1;
    bytes[14] = 32;
    for (size_t i = 0; i < 32 * 32; ++i) {
        uint8_t* px = &bytes[40 + i * 4];
        px[0] = GetBValue(colour);
        px[1] = GetGValue(colour);
        px[2] = GetRValue(colour);
        px[3] = 0xFF;
    }
    return bytes;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const platform::DialogItemTemplate kItems[] = {
    {kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 0, 10, 10, 50, 14, IDOK, "BUTTON", "OK", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 70, 10, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 130, 10, 50, 14, kHelpId, "BUTTON", "&Help", 0},
    {kChild | WS_TABSTOP | WS_GROUP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 40, 80, 12, kEditId, "EDIT", "", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 100, 40, 50, 14, kExtraId, "BUTTON", "Plain", 0},
};
const platform::DialogTemplate kTemplate = {false, WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 220,
    80, "Buttons", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kItems, WORD(sizeof kItems / sizeof kItems[0])};

const platform::DialogItemTemplate kPageItems[] = {
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, 80, 12, kEditId, "EDIT", "", 0},
};
const platform::DialogTemplate kPageTemplate = {false, WS_CHILD | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 180, 90,
    "Page", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kPageItems, 1};

// The bytes the program module hands out for an icon id, or null.
const void* IconBytes(int nID)
{
    HINSTANCE program = platform::GetResourceModuleHandle(platform::ResourceModule::Program);
    HRSRC info = ::FindResource(program, MAKEINTRESOURCE(nID), RT_ICON);
    return info ? ::LockResource(::LoadResource(program, info)) : nullptr;
}

// Registers the test's table and says whether its icons are the ones the
// program module finds.
bool RegisterTestResources()
{
    static const std::vector<uint8_t> ok = SolidIcon(kOkColour);
    static const std::vector<uint8_t> cancel = SolidIcon(RGB(0, 128, 0));
    static const std::vector<uint8_t> help = SolidIcon(RGB(255, 255, 0));
    static const std::vector<uint8_t> disabled = SolidIcon(kDisabledColour);
    static const platform::ResourceEntry entries[] = {
        {nullptr, 3, nullptr, WORD(kCancelIcon), cancel.data(), DWORD(cancel.size())},
        {nullptr, 3, nullptr, WORD(kHelpIcon), help.data(), DWORD(help.size())},
        {nullptr, 3, nullptr, WORD(kOkIcon), ok.data(), DWORD(ok.size())},
        {nullptr, 5, nullptr, WORD(kDialogId), &kTemplate, DWORD(sizeof kTemplate)},
        {nullptr, 5, nullptr, WORD(kPageId), &kPageTemplate, DWORD(sizeof kPageTemplate)},
        {nullptr, 3, nullptr, WORD(kDisabledIcon), disabled.data(), DWORD(disabled.size())},
    };
    static const platform::ResourceTable table{entries, sizeof entries / sizeof entries[0], nullptr, 0};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
    return IconBytes(kOkIcon) == ok.data() && IconBytes(kCancelIcon) == cancel.data()
        && IconBytes(kHelpIcon) == help.data() && IconBytes(kDisabledIcon) == disabled.data();
}

// A dialog with three picture buttons that records the commands it gets.
class CButtonsDialog : public CDialog {
public:
    CButtonsDialog()
        : CDialog(kDialogId)
    {
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_ok.SubclassDlgItem(IDOK, this);
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_help.SubclassDlgItem(kHelpId, this);
        m_ok.SetIcon(kOkIcon);
        m_cancel.SetIcon(kCancelIcon);
        m_help.SetIcon(kHelpIcon);
        // Exact pixel sizes, whatever the dialog units come to.
        m_ok.MoveWindow(10, 10, 100, 40);
        m_cancel.MoveWindow(120, 10, 100, 40);
        m_help.MoveWindow(230, 10, 100, 40);
        return TRUE;
    }
    void OnOK() override { m_handled.push_back(IDOK); }
    void OnCancel() override { m_handled.push_back(IDCANCEL); }
    afx_msg void OnHelpButton() { m_handled.push_back(kHelpId); }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_commands.emplace_back(wParam, lParam);
        return CDialog::OnCommand(wParam, lParam);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN)
            m_keys.push_back(UINT(wParam));
        return CDialog::WindowProc(message, wParam, lParam);
    }

    C3DPicBtn m_ok;
    C3DPicBtn m_cancel;
    C3DPicBtn m_help;
    std::vector<std::pair<WPARAM, LPARAM>> m_commands; // raw WM_COMMAND
    std::vector<int> m_handled;                        // commands that reached a handler
    std::vector<UINT> m_keys;                          // WM_KEYDOWN that reached the dialog

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonsDialog, CDialog)
    ON_COMMAND(kHelpId, OnHelpButton)
END_MESSAGE_MAP()

// A modeless dialog on the heap that OK destroys, deleting itself and its
// buttons with it.
class CSelfDeletingDialog : public CButtonsDialog {
public:
    explicit CSelfDeletingDialog(bool* pDeleted)
        : m_pDeleted(pDeleted)
    {
    }
    ~CSelfDeletingDialog() override { *m_pDeleted = true; }
    void OnOK() override { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }
    bool* m_pDeleted;
};

// A plain window (not a dialog) that records what its children send.
class CRecordingParent : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            m_commands.emplace_back(wParam, lParam);
        if (message == WM_KEYDOWN)
            m_keys.push_back(UINT(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::pair<WPARAM, LPARAM>> m_commands;
    std::vector<UINT> m_keys;
};

// A property sheet that records the commands it gets.
class CRecordingSheet : public CPropertySheet {
public:
    CRecordingSheet()
        : CPropertySheet("Sheet")
    {
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_commands.emplace_back(wParam, lParam);
        return TRUE;
    }
    std::vector<std::pair<WPARAM, LPARAM>> m_commands;
};

class PictureButtonTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        fwtest::FrameworkTest::SetUp();
        ASSERT_TRUE(RegisterTestResources()) << "another table of the program module shadows the test icons";
        MakeApp();
    }
    void TearDown() override
    {
        m_dialog.reset();
        m_parent.reset();
        fwtest::FrameworkTest::TearDown();
    }

    CButtonsDialog& OpenDialog()
    {
        m_dialog = std::make_unique<CButtonsDialog>();
        EXPECT_TRUE(m_dialog->Create(kDialogId));
        Paint();
        return *m_dialog;
    }

    // Paints everything that waits, as the loop would.
    void Paint()
    {
        Pump();
        if (m_dialog && m_dialog->m_hWnd) {
            ::RedrawWindow(m_dialog->m_hWnd, nullptr, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
            for (CWnd* p : {static_cast<CWnd*>(&m_dialog->m_ok), static_cast<CWnd*>(&m_dialog->m_cancel),
                     static_cast<CWnd*>(&m_dialog->m_help)})
                ::UpdateWindow(p->m_hWnd);
        }
    }

    // A button made by hand under a plain window.
    C3DPicTrickBtn& MakeLoneButton(C3DPicTrickBtn& button, int nID = 42)
    {
        m_parent = std::make_unique<CRecordingParent>();
        EXPECT_TRUE(m_parent->CreateEx(0, AfxDefaultWndClass(), "Parent", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
            NULL, NULL));
        RECT r{10, 10, 110, 50};
        EXPECT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, r, m_parent.get(), nID));
        return button;
    }

    static COLORREF Pixel(const CWnd& wnd, int x, int y) { return platform::headless::WindowPixel(wnd.m_hWnd, x, y); }

    std::unique_ptr<CButtonsDialog> m_dialog;
    std::unique_ptr<CRecordingParent> m_parent;
};

// ---- Layout ------------------------------------------------------------------------

TEST(PictureButtonLayout, PictureCellScalesOnlyForOtherDialogUnits)
{
    SIZE cell = C3DPicTrickBtn::PictureCell(32, 32, MAKELONG(8, 16));
    EXPECT_EQ(cell.cx, 32);
    EXPECT_EQ(cell.cy, 32);
    cell = C3DPicTrickBtn::PictureCell(32, 32, MAKELONG(10, 20));
    EXPECT_EQ(cell.cx, 40);
    EXPECT_EQ(cell.cy, 20);
    // Each step divides in integers: 18/2 * 6 / 4 = 13, 20/4 * 13 / 8 = 8.
    cell = C3DPicTrickBtn::PictureCell(18, 20, MAKELONG(6, 13));
    EXPECT_EQ(cell.cx, 13);
    EXPECT_EQ(cell.cy, 8);
}

TEST(PictureButtonLayout, IconPlacementByAlignment)
{
    struct Case {
        int alignment;
        SIZE cell;
        RECT rect;
        POINT icon;
        RECT left;
    };
    const Case cases[] = {
        {C3DPicTrickBtn::alignLeft, {32, 32}, {0, 0, 100, 40}, {3, 4}, {32, 0, 100, 40}},
        {C3DPicTrickBtn::alignTop, {32, 32}, {0, 0, 100, 40}, {34, 3}, {0, 32, 100, 40}},
        {C3DPicTrickBtn::alignRight, {32, 32}, {0, 0, 100, 40}, {65, 4}, {0, 0, 68, 40}},
        {C3DPicTrickBtn::alignCentre, {32, 32}, {0, 0, 100, 40}, {34, 4}, {32, 32, 100, 40}},
        {7, {32, 32}, {0, 0, 100, 40}, {3, 4}, {32, 0, 100, 40}}, // unknown values sit left
        // The wide button's 18 x 20 cell: the icon overhangs its cell.
        {C3DPicTrickBtn::alignLeft, {18, 20}, {0, 0, 75, 23}, {-4, -4}, {18, 0, 75, 23}},
        {C3DPicTrickBtn::alignTop, {18, 20}, {2, 2, 75, 23}, {22, -1}, {2, 22, 75, 23}},
        // Odd negative differences round toward zero: (25 - 32) / 2 = -3.
        {C3DPicTrickBtn::alignCentre, {32, 32}, {0, 0, 25, 25}, {-3, -3}, {32, 32, 25, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alignment);
        RECT r = c.rect;
        POINT at = C3DPicTrickBtn::PlaceIcon(r, c.cell, c.alignment);
        EXPECT_EQ(at.x, c.icon.x);
        EXPECT_EQ(at.y, c.icon.y);
        EXPECT_EQ(r.left, c.left.left);
        EXPECT_EQ(r.top, c.left.top);
        EXPECT_EQ(r.right, c.left.right);
        EXPECT_EQ(r.bottom, c.left.bottom);
    }
}

TEST_F(PictureButtonTest, CaptionStaysOnOneLineOrWrapsCentred)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CFont* pOld = dc.SelectObject(GetSharedFont(0));
    RECT single{};
    CSize extent = dc.GetTextExtent(CString("OK"));
    RECT area{32, 0, 100, 40};
    EXPECT_EQ(C3DPicTrickBtn::LayoutCaption(&dc, "OK", area, single), UINT(DT_SINGLELINE));
    EXPECT_EQ(single.right - single.left, extent.cx);
    EXPECT_EQ(single.left, 32 + (68 - extent.cx) / 2);
    EXPECT_EQ(single.top, (40 - extent.cy) / 2);

    // Too wide for the area less 2 pixels: wrapped, centred line by line.
    CString longText("Restore the factory settings");
    RECT wrapped{};
    RECT narrow{0, 0, 60, 60};
    EXPECT_EQ(C3DPicTrickBtn::LayoutCaption(&dc, longText, narrow, wrapped), UINT(DT_CENTER | DT_WORDBREAK));
    EXPECT_GT(wrapped.bottom - wrapped.top, extent.cy);
    EXPECT_LE(wrapped.right, 60);
    EXPECT_GE(wrapped.left, 0);

    // Exactly the area less 2 still fits on one line.
    RECT exact{0, 0, extent.cx + 2, 40};
    EXPECT_EQ(C3DPicTrickBtn::LayoutCaption(&dc, "OK", exact, single), UINT(DT_SINGLELINE));
    RECT tight{0, 0, extent.cx + 1, 40};
    EXPECT_NE(C3DPicTrickBtn::LayoutCaption(&dc, "OK", tight, single), UINT(DT_SINGLELINE));
    dc.SelectObject(pOld);
}

TEST(PictureButtonClasses, MembersEmbeddedInDialogsReportTheBaseClass)
{
    C3DPicBtn member;
    std::unique_ptr<CObject> wide(RUNTIME_CLASS(C3DWidePicBtn)->CreateObject());
    ASSERT_NE(wide, nullptr);
    EXPECT_STREQ(member.GetRuntimeClass()->m_lpszClassName, "C3DPicTrickBtn");
    EXPECT_TRUE(wide->IsKindOf(RUNTIME_CLASS(C3DPicTrickBtn)));
    EXPECT_EQ(static_cast<C3DWidePicBtn*>(wide.get())->m_nPictureWidth, 18);
}

// ---- Pixels --------------------------------------------------------------------------

TEST_F(PictureButtonTest, DefaultButtonHasBlackFrameAroundItsBevel)
{
    CButtonsDialog& dlg = OpenDialog();
    ASSERT_EQ(HIWORD(dlg.GetDefID()), DC_HASDEFID);
    ASSERT_EQ(LOWORD(dlg.GetDefID()), IDOK);
    // Outer frame, then highlight at top left, black and shadow at bottom right.
    EXPECT_EQ(Pixel(dlg.m_ok, 0, 0), kBlack);
    EXPECT_EQ(Pixel(dlg.m_ok, 99, 39), kBlack);
    EXPECT_EQ(Pixel(dlg.m_ok, 1, 1), kHighlight);
    EXPECT_EQ(Pixel(dlg.m_ok, 98, 1), kBlack);
    EXPECT_EQ(Pixel(dlg.m_ok, 50, 38), kBlack);
    EXPECT_EQ(Pixel(dlg.m_ok, 97, 2), kShadow);
    EXPECT_EQ(Pixel(dlg.m_ok, 50, 37), kShadow);
    // The icon at (3, 4), 32 x 32, left of the caption; face around it.
    EXPECT_EQ(Pixel(dlg.m_ok, 3, 4), kOkColour);
    EXPECT_EQ(Pixel(dlg.m_ok, 34, 35), kOkColour);
    EXPECT_EQ(Pixel(dlg.m_ok, 35, 20), kFace);
    EXPECT_EQ(Pixel(dlg.m_ok, 3, 36), kFace);
}

TEST_F(PictureButtonTest, OtherButtonsHaveAPlainBevel)
{
    CButtonsDialog& dlg = OpenDialog();
    EXPECT_EQ(Pixel(dlg.m_cancel, 0, 0), kHighlight);
    EXPECT_EQ(Pixel(dlg.m_cancel, 0, 38), kHighlight);
    EXPECT_EQ(Pixel(dlg.m_cancel, 99, 0), kBlack);
    EXPECT_EQ(Pixel(dlg.m_cancel, 0, 39), kBlack);
    EXPECT_EQ(Pixel(dlg.m_cancel, 98, 1), kShadow);
    EXPECT_EQ(Pixel(dlg.m_cancel, 1, 38), kShadow);
    EXPECT_EQ(Pixel(dlg.m_cancel, 1, 1), kFace);
}

TEST_F(PictureButtonTest, CaptionIsDrawnInItsColourBesideTheIcon)
{
    CButtonsDialog& dlg = OpenDialog();
    int dark = 0;
    int outside = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 36; x < 96; ++x) {
            if (Pixel(dlg.m_cancel, x, y) == kBlack && y > 2 && y < 37)
                ++dark;
        }
    }
    for (int y = 5; y < 35; ++y) {
        if (Pixel(dlg.m_cancel, 2, y) != kFace)
            ++outside;
    }
    EXPECT_GT(dark, 10);
    EXPECT_EQ(outside, 0);
}

TEST_F(PictureButtonTest, DisabledButtonIsGreyAndNeverTheDefault)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_ok.EnableWindow(FALSE);
    Paint();
    // Still the dialog's default id, but drawn without the frame.
    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDOK);
    EXPECT_EQ(Pixel(dlg.m_ok, 0, 0), kHighlight);
    // No disabled icon: the normal one shows.
    EXPECT_EQ(Pixel(dlg.m_ok, 10, 10), kOkColour);
    int grey = 0;
    int black = 0;
    for (int y = 3; y < 37; ++y) {
        for (int x = 36; x < 96; ++x) {
            COLORREF c = Pixel(dlg.m_ok, x, y);
            grey += c == kShadow;
            black += c == kBlack;
        }
    }
    EXPECT_GT(grey, 10);
    EXPECT_EQ(black, 0);

    dlg.m_ok.SetIcons(kOkIcon, kDisabledIcon);
    dlg.m_ok.Invalidate();
    Paint();
    EXPECT_EQ(Pixel(dlg.m_ok, 10, 10), kDisabledColour);
}

TEST_F(PictureButtonTest, PressedButtonSinksTwoPixels)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_cancel.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 20));
    Paint();
    EXPECT_TRUE(dlg.m_cancel.m_bPressed);
    // Pressing took the focus and with it the default: the frame, then
    // black and shadow at the top left and no highlight.
    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDCANCEL);
    EXPECT_EQ(Pixel(dlg.m_cancel, 0, 0), kBlack);
    EXPECT_EQ(Pixel(dlg.m_cancel, 1, 1), kBlack);
    EXPECT_EQ(Pixel(dlg.m_cancel, 1, 37), kBlack);
    EXPECT_EQ(Pixel(dlg.m_cancel, 2, 2), kShadow);
    EXPECT_EQ(Pixel(dlg.m_cancel, 2, 36), kShadow);
    EXPECT_EQ(Pixel(dlg.m_cancel, 98, 37), kFace);
    EXPECT_EQ(Pixel(dlg.m_cancel, 99, 39), kBlack);
    // The icon moved from (3, 4) to (5, 6).
    EXPECT_EQ(Pixel(dlg.m_cancel, 4, 5), kFace);
    EXPECT_EQ(Pixel(dlg.m_cancel, 5, 6), RGB(0, 128, 0));
    dlg.m_cancel.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 20));
    ASSERT_EQ(dlg.m_handled.size(), 1u);
    EXPECT_EQ(dlg.m_handled[0], IDCANCEL);

    // Pressed without being the default: black top left, highlight bottom right.
    dlg.m_help.m_bNoFocus = TRUE;
    dlg.m_help.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 20));
    Paint();
    EXPECT_EQ(Pixel(dlg.m_help, 0, 0), kBlack);
    EXPECT_EQ(Pixel(dlg.m_help, 1, 1), kShadow);
    EXPECT_EQ(Pixel(dlg.m_help, 99, 39), kHighlight);
    EXPECT_EQ(Pixel(dlg.m_help, 98, 0), kBlack);
    EXPECT_EQ(Pixel(dlg.m_help, 99, 0), kHighlight);
    dlg.m_help.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 20));
}

TEST_F(PictureButtonTest, ShadowStyleDrawsOnTheParent)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_cancel.m_wStyle = C3DPicTrickBtn::kStyleShadow;
    dlg.m_cancel.Invalidate();
    Paint();
    // The button sits at (120, 10)-(220, 50) in the dialog's client area;
    // a 2-pixel band right and below, meeting in a diagonal corner.
    EXPECT_EQ(Pixel(dlg, 220, 12), kShadow);
    EXPECT_EQ(Pixel(dlg, 221, 12), kShadow);
    EXPECT_EQ(Pixel(dlg, 220, 50), kShadow);
    EXPECT_EQ(Pixel(dlg, 221, 51), kShadow);
    EXPECT_EQ(Pixel(dlg, 122, 50), kShadow);
    EXPECT_EQ(Pixel(dlg, 122, 51), kShadow);
    EXPECT_NE(Pixel(dlg, 220, 11), kShadow);
    EXPECT_NE(Pixel(dlg, 121, 50), kShadow);
    EXPECT_NE(Pixel(dlg, 222, 52), kShadow);
}

TEST_F(PictureButtonTest, MissingIconLeavesTheCaptionAlone)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    button.SetIcon(31999);
    EXPECT_EQ(button.m_hIcon, HICON(NULL));
    EXPECT_EQ(button.m_nIconID, 31999);
    EXPECT_EQ(button.GetButtonStyle(), UINT(BS_OWNERDRAW));
    ::UpdateWindow(button.m_hWnd);
    EXPECT_EQ(Pixel(button, 10, 10), kFace);
}

// ---- Keys ----------------------------------------------------------------------------

TEST_F(PictureButtonTest, EnterSendsTheDialogsDefaultAnswerAsACommand)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_cancel.SetFocus();
    // The focused picture button became the default; give it back to OK.
    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDCANCEL);
    dlg.SetDefID(IDOK);
    dlg.m_commands.clear();
    platform::headless::KeyDown(VK_RETURN);
    Pump();
    platform::headless::KeyUp(VK_RETURN);
    Pump();
    ASSERT_FALSE(dlg.m_commands.empty());
    // The whole DM_GETDEFID answer with no control window ...
    EXPECT_EQ(dlg.m_commands.front().first, WPARAM(MAKELONG(IDOK, DC_HASDEFID)));
    EXPECT_EQ(dlg.m_commands.front().second, 0);
    // ... reaches the command's handler whatever its high word.
    ASSERT_EQ(dlg.m_handled.size(), 1u);
    EXPECT_EQ(dlg.m_handled[0], IDOK);
}

TEST_F(PictureButtonTest, EnterSurvivesADialogThatGoesAwayOnItsCommand)
{
    bool deleted = false;
    auto* pDialog = new CSelfDeletingDialog(&deleted);
    ASSERT_TRUE(pDialog->Create(kDialogId));
    HWND hOk = pDialog->m_ok.m_hWnd;
    pDialog->m_ok.SetFocus();
    ::SendMessage(hOk, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(hOk));
}

TEST_F(PictureButtonTest, EnterOnTheFocusedButtonRunsItsOwnCommand)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_help.SetFocus();
    platform::headless::TypeKey(VK_RETURN);
    Pump();
    ASSERT_EQ(dlg.m_handled.size(), 1u);
    EXPECT_EQ(dlg.m_handled[0], kHelpId);
}

TEST_F(PictureButtonTest, EnterInAPropertySheetSendsOk)
{
    CRecordingSheet sheet;
    CPropertyPage page(kPageId);
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.Create(nullptr, WS_POPUP | WS_CAPTION | WS_VISIBLE));
    C3DPicTrickBtn button;
    RECT r{0, 0, 80, 30};
    ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, &sheet, 77));
    sheet.m_commands.clear();
    button.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(sheet.m_commands.size(), 1u);
    EXPECT_EQ(sheet.m_commands[0].first, WPARAM(IDOK));
    EXPECT_EQ(sheet.m_commands[0].second, 0);
    sheet.DestroyWindow();
}

TEST_F(PictureButtonTest, EnterWithoutADefaultIdClicksTheButton)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_help.SetFocus();
    dlg.SetDefID(0);
    dlg.m_commands.clear();
    dlg.m_help.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(dlg.m_commands.size(), 1u);
    EXPECT_EQ(dlg.m_commands[0].first, WPARAM(MAKEWPARAM(kHelpId, BN_CLICKED)));
    EXPECT_EQ(dlg.m_commands[0].second, LPARAM(dlg.m_help.m_hWnd));
    ASSERT_EQ(dlg.m_handled.size(), 1u);
    EXPECT_EQ(dlg.m_handled[0], kHelpId);
}

TEST_F(PictureButtonTest, FocusedButtonShowsAFocusRectangleRoundItsCaption)
{
    CButtonsDialog& dlg = OpenDialog();
    auto snapshot = [&](const CWnd& wnd) {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x)
                pixels.push_back(Pixel(wnd, x, y));
        return pixels;
    };
    auto differences = [](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size(); ++i)
            n += a[i] != b[i];
        return n;
    };
    dlg.m_ok.SetFocus();
    Paint();
    const std::vector<COLORREF> plainHelp = snapshot(dlg.m_help);
    dlg.m_help.SetFocus();
    Paint();
    // The focused (and now default) button: its frame and the dotted
    // rectangle round the caption.
    const std::vector<COLORREF> focused = snapshot(dlg.m_help);
    EXPECT_GT(differences(plainHelp, focused), 2 * 100 + 2 * 40 + 20);
    int dotted = 0;
    for (int y = 4; y < 36; ++y)
        for (int x = 36; x < 96; ++x)
            dotted += focused[size_t(y) * 100 + x] != plainHelp[size_t(y) * 100 + x];
    EXPECT_GT(dotted, 20);
    dlg.m_ok.SetFocus();
    Paint();
    EXPECT_EQ(differences(plainHelp, snapshot(dlg.m_help)), 0);
}

TEST_F(PictureButtonTest, EnterOutsideADialogClicksTheButton)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    button.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(m_parent->m_commands.size(), 1u);
    EXPECT_EQ(m_parent->m_commands[0].first, WPARAM(MAKEWPARAM(42, BN_CLICKED)));
    EXPECT_EQ(m_parent->m_commands[0].second, LPARAM(button.m_hWnd));
    EXPECT_FALSE(button.m_bPressed);
    EXPECT_EQ(::GetCapture(), HWND(NULL));
}

TEST_F(PictureButtonTest, SpaceClicksAndEscGoesToTheParent)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_help.SetFocus();
    platform::headless::TypeKey(VK_SPACE);
    Pump();
    ASSERT_EQ(dlg.m_handled.size(), 1u);
    EXPECT_EQ(dlg.m_handled[0], kHelpId);
    EXPECT_EQ(dlg.m_commands.back().second, LPARAM(dlg.m_help.m_hWnd));

    // Esc is posted to the dialog, whose manager turns it into Cancel.
    dlg.m_handled.clear();
    EXPECT_EQ(dlg.m_help.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0), 1);
    EXPECT_TRUE(dlg.m_handled.empty());
    MSG msg;
    ASSERT_TRUE(::PeekMessage(&msg, dlg.m_hWnd, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(VK_ESCAPE));
    Pump();
    ASSERT_EQ(dlg.m_handled.size(), 1u);
    EXPECT_EQ(dlg.m_handled[0], IDCANCEL);
}

TEST_F(PictureButtonTest, CommandOnPressSendsOnlyTheButtonDown)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    button.m_bCommandOnPress = TRUE;
    EXPECT_EQ(button.SendMessage(WM_KEYDOWN, VK_SPACE, 0), 1);
    ASSERT_EQ(m_parent->m_commands.size(), 1u);
    EXPECT_EQ(LOWORD(m_parent->m_commands[0].first), 42);
    // No tracking, no capture; it stays drawn pressed.
    EXPECT_FALSE(button.m_bTracking);
    EXPECT_TRUE(button.m_bPressed);
    EXPECT_EQ(::GetCapture(), HWND(NULL));
    // Key ups are swallowed with the flag set.
    EXPECT_EQ(button.SendMessage(WM_KEYUP, 'A', 0), 1);
    EXPECT_TRUE(m_parent->m_keys.empty());
}

TEST_F(PictureButtonTest, TabAndArrowsMoveTheFocus)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_ok.SetFocus();
    platform::headless::TypeKey(VK_TAB);
    Pump();
    EXPECT_EQ(::GetFocus(), dlg.m_cancel.m_hWnd);
    platform::headless::KeyDown(VK_SHIFT);
    platform::headless::TypeKey(VK_TAB);
    platform::headless::KeyUp(VK_SHIFT);
    Pump();
    EXPECT_EQ(::GetFocus(), dlg.m_ok.m_hWnd);
    // The three buttons are one group.
    platform::headless::TypeKey(VK_RIGHT);
    Pump();
    EXPECT_EQ(::GetFocus(), dlg.m_cancel.m_hWnd);
    platform::headless::TypeKey(VK_DOWN);
    Pump();
    EXPECT_EQ(::GetFocus(), dlg.m_help.m_hWnd);
    platform::headless::TypeKey(VK_UP);
    Pump();
    EXPECT_EQ(::GetFocus(), dlg.m_cancel.m_hWnd);
    EXPECT_TRUE(dlg.m_handled.empty());
}

TEST_F(PictureButtonTest, OtherKeysGoToTheOwner)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    button.SendMessage(WM_KEYDOWN, 'X', 0);
    button.SendMessage(WM_KEYUP, 'X', 0);
    ASSERT_EQ(m_parent->m_keys.size(), 1u);
    EXPECT_EQ(m_parent->m_keys[0], UINT('X'));
    EXPECT_EQ(button.SendMessage(WM_GETDLGCODE, 0, 0), 0x2024);
}

// ---- Mouse ---------------------------------------------------------------------------

TEST_F(PictureButtonTest, ReleaseOutsideSendsNothingAndReturningPressesAgain)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(button.m_bTracking);
    EXPECT_EQ(::GetCapture(), button.m_hWnd);
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 10));
    EXPECT_FALSE(button.m_bPressed);
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_TRUE(button.m_bPressed);
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 20));
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(-5, 20));
    EXPECT_TRUE(m_parent->m_commands.empty());
    EXPECT_FALSE(button.m_bTracking);
    EXPECT_EQ(::GetCapture(), HWND(NULL));

    // A real click through the back end.
    POINT pt{30, 20};
    ::ClientToScreen(button.m_hWnd, &pt);
    platform::headless::Click(pt.x, pt.y);
    Pump();
    ASSERT_EQ(m_parent->m_commands.size(), 1u);
    EXPECT_EQ(m_parent->m_commands[0].first, WPARAM(MAKEWPARAM(42, BN_CLICKED)));
    EXPECT_FALSE(button.m_bPressed);
}

TEST_F(PictureButtonTest, CancelModeEndsTracking)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(button.SendMessage(WM_CANCELMODE, 0, 0), 0);
    EXPECT_FALSE(button.m_bTracking);
    EXPECT_FALSE(button.m_bPressed);
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(m_parent->m_commands.empty());
}

TEST_F(PictureButtonTest, SystemIdsSendNoCommand)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button, 0xFF10);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(m_parent->m_commands.empty());
}

TEST_F(PictureButtonTest, ClickForwardsToAnOwnerThatIsNotTheParent)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    CRecordingParent owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxDefaultWndClass(), "Owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    button.SetOwner(&owner);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    // The owner gets the notification; its reflection becomes a plain command.
    ASSERT_EQ(owner.m_commands.size(), 2u);
    EXPECT_EQ(owner.m_commands[0].second, LPARAM(button.m_hWnd));
    EXPECT_EQ(owner.m_commands[1].first, WPARAM(42));
    EXPECT_EQ(owner.m_commands[1].second, 0);
    EXPECT_TRUE(m_parent->m_commands.empty());
    owner.DestroyWindow();
}

// ---- Default button ------------------------------------------------------------------

TEST_F(PictureButtonTest, FocusOnAnEditHandsTheDefaultBack)
{
    CButtonsDialog& dlg = OpenDialog();
    EXPECT_EQ(dlg.m_ok.m_nDefaultState, 1);
    EXPECT_EQ(dlg.m_cancel.m_nDefaultState, 0);
    dlg.m_cancel.SetFocus();
    Paint();
    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDCANCEL);
    EXPECT_EQ(Pixel(dlg.m_cancel, 0, 0), kBlack);
    EXPECT_EQ(Pixel(dlg.m_ok, 0, 0), kHighlight);

    dlg.GetDlgItem(kEditId)->SetFocus();
    Paint();
    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDOK);
    EXPECT_EQ(Pixel(dlg.m_ok, 0, 0), kBlack);
    EXPECT_EQ(Pixel(dlg.m_cancel, 0, 0), kHighlight);
}

TEST_F(PictureButtonTest, FocusOnAPlainPushButtonKeepsItsOwnDefault)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_cancel.SetFocus();
    dlg.GetDlgItem(kExtraId)->SetFocus();
    // The picture buttons leave the default to the dialog manager here.
    EXPECT_NE(LOWORD(dlg.GetDefID()), IDOK);
}

TEST_F(PictureButtonTest, NoFocusButtonGivesTheFocusBack)
{
    CButtonsDialog& dlg = OpenDialog();
    dlg.m_help.m_bNoFocus = TRUE;
    dlg.m_cancel.SetFocus();
    dlg.m_help.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(::GetFocus(), dlg.m_cancel.m_hWnd);
    dlg.m_help.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    ASSERT_EQ(dlg.m_handled.size(), 1u);
    EXPECT_EQ(dlg.m_handled[0], kHelpId);
    ::SetFocus(dlg.m_help.m_hWnd);
    EXPECT_EQ(::GetFocus(), dlg.m_cancel.m_hWnd);
}

// ---- Lifetime ------------------------------------------------------------------------

TEST_F(PictureButtonTest, OwnedIconIsDestroyedWithTheWindow)
{
    C3DPicTrickBtn button;
    MakeLoneButton(button);
    ICONINFO info{};
    HICON copy = ::CopyIcon(::LoadIcon(NULL, IDI_APPLICATION));
    ASSERT_NE(copy, HICON(NULL));
    button.m_hIcon = copy;
    button.m_bOwnsIcon = TRUE;
    button.DestroyWindow();
    EXPECT_EQ(button.m_hIcon, HICON(NULL));
    EXPECT_FALSE(::GetIconInfo(copy, &info));
}

} // namespace
