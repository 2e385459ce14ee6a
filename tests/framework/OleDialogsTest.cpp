// The OLE dialogs: Insert Object says it is not available; Paste Special
// lists the program's formats that are on the clipboard and reports the
// user's choice.

#include "platform/base/GlobalMemory.h"
#include "platform/framework/OleData.h"
#include "platform/framework/OleDialogs.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

void PutOnClipboard(UINT cf, const std::string& bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    SetClipboardData(cf, h);
}

class OleDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        m_private = CLIPFORMAT(RegisterClipboardFormat("Threadwick Test Object"));
    }
    void TearDown() override { platform::headless::SetIdleHandler(nullptr); }

    // Runs the dialog; once it shows, `act` reads and drives it.
    INT_PTR Run(COlePasteSpecialDialog& dlg, std::function<void(HWND)> act)
    {
        bool done = false;
        platform::headless::SetIdleHandler([&]() {
            if (done)
                return false;
            HWND hDlg = GetActiveWindow();
            if (hDlg == NULL || GetDlgItem(hDlg, IDC_PS_DISPLAYLIST) == NULL)
                return false;
            done = true;
            act(hDlg);
            return true;
        });
        const INT_PTR result = dlg.DoModal();
        platform::headless::SetIdleHandler(nullptr);
        return result;
    }

    static std::vector<std::string> ListedFormats(HWND hDlg)
    {
        std::vector<std::string> names;
        HWND list = GetDlgItem(hDlg, IDC_PS_DISPLAYLIST);
        const int count = int(SendMessage(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessage(list, LB_GETTEXT, WPARAM(i), LPARAM(text));
            names.emplace_back(text);
        }
        return names;
    }

    static void Choose(HWND hDlg, int index)
    {
        HWND list = GetDlgItem(hDlg, IDC_PS_DISPLAYLIST);
        SendMessage(list, LB_SETCURSEL, WPARAM(index), 0);
        SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PS_DISPLAYLIST, LBN_SELCHANGE), LPARAM(list));
    }

    void AddProgramFormats(COlePasteSpecialDialog& dlg) const
    {
        dlg.AddStandardFormats();
        FORMATETC text{CF_TEXT, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        dlg.AddFormat(text, "Text", "text", OLEUIPASTE_PASTEONLY);
        FORMATETC own{m_private, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        dlg.AddFormat(own, "Threadwick Object", "an object", OLEUIPASTE_PASTEONLY);
    }

    CLIPFORMAT m_private = 0;
};

TEST_F(OleDialogs, InsertObjectIsNotAvailable)
{
    COleInsertDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), 1u);
    EXPECT_NE(platform::headless::MessageBoxes()[0].text.find("not available"), std::string::npos);
    EXPECT_FALSE(dlg.CreateItem(NULL));
}

TEST_F(OleDialogs, PasteSpecialListsOnlyWhatTheClipboardHolds)
{
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    PutOnClipboard(CF_DIB, std::string(48, '\0'));
    PutOnClipboard(CF_TEXT, std::string("abc\0", 4));
    PutOnClipboard(m_private, "xyz");
    CloseClipboard();

    COlePasteSpecialDialog dlg(PSF_SELECTPASTE);
    AddProgramFormats(dlg);
    std::vector<std::string> listed;
    std::string result;
    const INT_PTR answer = Run(dlg, [&](HWND hDlg) {
        listed = ListedFormats(hDlg);
        Choose(hDlg, 2);
        char text[256] = {};
        GetDlgItemText(hDlg, IDC_PS_RESULTTEXT, text, sizeof text);
        result = text;
        PostMessage(hDlg, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(answer, IDOK);
    EXPECT_EQ(listed, (std::vector<std::string>{"Device Independent Bitmap", "Text", "Threadwick Object"}));
    EXPECT_EQ(result, "Inserts the contents of the clipboard into your document as an object.");
    EXPECT_EQ(dlg.GetSelectedFormat(), m_private);
    EXPECT_EQ(dlg.m_ps.arrPasteEntries[size_t(dlg.GetPasteIndex())].strFormatName, "Threadwick Object");
    EXPECT_EQ(dlg.GetSelectionType(), UINT(COlePasteSpecialDialog::pasteOther));
    EXPECT_FALSE(dlg.CreateItem(NULL));
}

TEST_F(OleDialogs, APictureFormatIsAStaticPaste)
{
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    PutOnClipboard(CF_DIB, std::string(48, '\0'));
    PutOnClipboard(CF_TEXT, std::string("abc\0", 4));
    CloseClipboard();

    COlePasteSpecialDialog dlg;
    AddProgramFormats(dlg);
    // The first entry is chosen when the dialog opens.
    ASSERT_EQ(Run(dlg, [](HWND hDlg) { PostMessage(hDlg, WM_COMMAND, IDOK, 0); }), IDOK);
    EXPECT_EQ(dlg.GetSelectedFormat(), CF_DIB);
    EXPECT_EQ(dlg.GetSelectionType(), UINT(COlePasteSpecialDialog::pasteStatic));
}

TEST_F(OleDialogs, CancelAndAnEmptyClipboardChooseNothing)
{
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    CloseClipboard();

    COlePasteSpecialDialog dlg;
    AddProgramFormats(dlg);
    bool okEnabled = true;
    const INT_PTR answer = Run(dlg, [&](HWND hDlg) {
        EXPECT_TRUE(ListedFormats(hDlg).empty());
        okEnabled = IsWindowEnabled(GetDlgItem(hDlg, IDOK)) != FALSE;
        // OK does nothing without a choice; Cancel ends the dialog.
        SendMessage(hDlg, WM_COMMAND, IDOK, 0);
        PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(dlg.GetPasteIndex(), -1);
    EXPECT_EQ(dlg.GetSelectionType(), 0u);
    EXPECT_EQ(dlg.GetSelectedFormat(), 0);
}

} // namespace
