// Search & Replace Text: matching, the recently-used lists in the profile,
// and the dialog driven with real messages over a two-sided design whose
// texts it finds, replaces and records for undo.

#include "tests/text/ShirtTextTestSupport.h"

#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "tests/support/DialogDriver.h"
#include "text/WrapText.h"
#include "text/dialogs/ReplaceTextDlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::Click;
using testing_support::ItemText;

// ---- Matching ---------------------------------------------------------------------------

TEST(ReplaceTextMatching, WholeWordsCaseAndTheTextsEnds)
{
    struct Case {
        const char* pszText;
        const char* pszFind;
        int nFrom;
        BOOL bWholeWords;
        BOOL bMatchCase;
        int nExpected;
    };
    const Case cases[] = {
        // The letter after the first and the apostrophe after the second
        // stop them; only the last counts as a word.
        {"cats, cat's cat.", "cat", 0, TRUE, FALSE, 12},
        {"cats, cat's cat.", "cat", 0, FALSE, FALSE, 0},
        {"cats, cat\x92s cat.", "cat", 0, TRUE, FALSE, 12},
        {"bobcat cat", "cat", 0, TRUE, FALSE, 7},
        {"cat3 cat", "cat", 0, TRUE, FALSE, 0},
        // The ends of the text are no letters.
        {"cat", "cat", 0, TRUE, FALSE, 0},
        {"a cat", "cat", 0, TRUE, FALSE, 2},
        {"cat a", "cat", 0, TRUE, FALSE, 0},
        {"cats", "cat", 0, TRUE, FALSE, -1},
        // Case.
        {"the cat", "CAT", 0, FALSE, FALSE, 4},
        {"the cat", "CAT", 0, FALSE, TRUE, -1},
        {"the CAT", "CAT", 0, FALSE, TRUE, 4},
        {"The \xC9t\xC9", "\xE9t\xE9", 0, FALSE, FALSE, 4},
        // From a position on; a match must lie wholly inside the text.
        {"cat cat", "cat", 1, FALSE, FALSE, 4},
        {"cat cat", "cat", 5, FALSE, FALSE, -1},
        {"cat", "cat", -1, FALSE, FALSE, -1},
        {"ca", "cat", 0, FALSE, FALSE, -1},
        {"", "cat", 0, FALSE, FALSE, -1},
        {"cat", "", 0, FALSE, FALSE, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CReplaceTextDlg::FindInText(c.pszText, c.pszFind, c.nFrom, c.bWholeWords, c.bMatchCase), c.nExpected)
            << c.pszText << " / " << c.pszFind << " from " << c.nFrom;
    }
}

// ---- The dialog over a design ---------------------------------------------------------------

class ReplaceTextDlgTest : public texttest::ShirtTextTest {
protected:
    void SetUp() override
    {
        ShirtTextTest::SetUp();
        // The registry file lasts the whole run: a key of its own per test.
        m_key = std::string("Threadwick Tests\\Replace\\")
            + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        App()->SetRegistryKey(m_key.c_str());
        m_bSavedUndoOff = g_bUndoRecordingOff;
        g_bUndoRecordingOff = FALSE;
    }
    void TearDown() override
    {
        g_bUndoRecordingOff = m_bSavedUndoOff;
        ShirtTextTest::TearDown();
    }

    // Runs the dialog; the action runs once on its window, then Close
    // ends it unless the action ended it (bEnds).
    INT_PTR Run(const std::function<void(HWND)>& action, bool bEnds = false)
    {
        CReplaceTextDlg dlg(m_pDoc, m_pMain);
        CDialog* pDlg = &dlg;
        testing_support::DriveActiveWindow({[pDlg, action, bEnds](HWND hActive) {
            if (pDlg->m_hWnd == NULL || hActive != pDlg->m_hWnd)
                return false;
            action(hActive);
            if (!bEnds)
                Click(hActive, IDCANCEL);
            return true;
        }});
        return dlg.DoModal();
    }

    static void SetFields(HWND hDlg, const char* pszFind, const char* pszReplace)
    {
        ::SetDlgItemText(hDlg, IDC_REPLACE_FIND, pszFind);
        if (pszReplace != nullptr)
            ::SetDlgItemText(hDlg, IDC_REPLACE_WITH, pszReplace);
    }
    static std::pair<int, int> PreviewSel(HWND hDlg)
    {
        DWORD dwStart = 0;
        DWORD dwEnd = 0;
        ::SendDlgItemMessage(hDlg, IDC_REPLACE_PREVIEW, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart),
            reinterpret_cast<LPARAM>(&dwEnd));
        return {int(dwStart), int(dwEnd)};
    }
    static std::string Preview(HWND hDlg)
    {
        char text[512] = {};
        ::GetDlgItemText(hDlg, IDC_REPLACE_PREVIEW, text, sizeof text);
        return text;
    }
    CString Profile(LPCTSTR lpszSection, LPCTSTR lpszEntry) { return App()->GetProfileString(lpszSection, lpszEntry, "<none>"); }
    CUndoList& Undo() { return m_pDoc->GetUndoList(); }
    std::string LastBox() const { return m_boxes.empty() ? std::string() : m_boxes.back(); }

    BOOL m_bSavedUndoOff = FALSE;
    std::string m_key;
};

TEST_F(ReplaceTextDlgTest, FindWalksEverySurfaceSelectingAtTheTextsOwnPositions)
{
    AddText(0, "no match here", FALSE);
    AddText(1, "The\ncat sat.\nCAT", TRUE);
    std::vector<std::pair<int, int>> sels;
    std::string shown;
    bool bBackCurrent = false;
    Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "dog");
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        sels.push_back(PreviewSel(hDlg));
        shown = Preview(hDlg);
        bBackCurrent = m_pDoc->GetSurfaceView(-1) == m_pDoc->GetSurfaceView(1);
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        sels.push_back(PreviewSel(hDlg));
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        // With match case the capitals are passed over.
        ::CheckDlgButton(hDlg, IDC_REPLACE_MATCH_CASE, BST_CHECKED);
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        sels.push_back(PreviewSel(hDlg));
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
    });
    // The line breaks show as blanks, so the positions are the text's.
    EXPECT_EQ(shown, "The cat sat. CAT");
    EXPECT_TRUE(bBackCurrent) << "the surface of the match becomes current";
    ASSERT_EQ(sels.size(), 3u);
    EXPECT_EQ(sels[0], std::make_pair(4, 7));
    EXPECT_EQ(sels[1], std::make_pair(13, 16));
    EXPECT_EQ(sels[2], std::make_pair(4, 7)) << "the search starts over after the last object";
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0], "Cannot find string:\n''cat''");
    EXPECT_EQ(m_boxTypes[0] & MB_ICONMASK, UINT(MB_ICONINFORMATION));
}

TEST_F(ReplaceTextDlgTest, ReplaceAllReplacesEachOriginalMatchOnce)
{
    CDrawRect* pFront = AddText(0, "cat and cat", FALSE);
    CDrawRect* pBack = AddText(1, "catcat", TRUE);
    INT_PTR nResult = Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "concatenate");
        Click(hDlg, IDC_REPLACE_ALL);
    }, true);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(pFront->GetText(), CString("concatenate and concatenate"));
    EXPECT_EQ(pBack->GetText(), CString("concatenateconcatenate"));
    EXPECT_EQ(LastBox(), "Text Replace complete!");

    nResult = Run([&](HWND hDlg) {
        SetFields(hDlg, "concatenate", "dog");
        Click(hDlg, IDC_REPLACE_ALL);
    }, true);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(pFront->GetText(), CString("dog and dog"));
    EXPECT_EQ(pBack->GetText(), CString("dogdog"));

    m_boxes.clear();
    Run([&](HWND hDlg) {
        SetFields(hDlg, "bird", "dog");
        Click(hDlg, IDC_REPLACE_ALL);
    }, true);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], "Cannot find string:\n''bird''");
}

TEST_F(ReplaceTextDlgTest, ReplacingKeepsLineBreaksAndRunsAndEachStepUndoesAlone)
{
    CDrawRect* pWrap = AddText(0, "red cat\nblue", FALSE);
    pWrap->m_pWrapText->SetColor(RGB(255, 0, 0), 0, 2);
    pWrap->m_pWrapText->SetColor(RGB(0, 0, 255), 8, 11);
    CDrawRect* pBlock = AddText(1, "a cat\nsat\n\non a cat", TRUE);
    const int nStepsBefore = Undo().GetCount();
    m_pDoc->SetModifiedFlag(FALSE);
    std::vector<std::string> afterEach;
    Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "lion");
        for (int i = 0; i < 3; ++i) {
            Click(hDlg, IDC_REPLACE_REPLACE);
            afterEach.push_back(Preview(hDlg));
        }
    });
    EXPECT_EQ(pWrap->GetText(), CString("red lion\nblue"));
    EXPECT_EQ(pBlock->GetText(), CString("a lion\nsat\n\non a lion"));
    EXPECT_EQ(afterEach, (std::vector<std::string> {"red lion blue", "a lion sat  on a cat", "a lion sat  on a lion"}));
    EXPECT_TRUE(m_pDoc->IsModified());
    const CWrapText& wrap = *pWrap->m_pWrapText;
    EXPECT_EQ(wrap.GetColorAt(0, FALSE), RGB(255, 0, 0));
    EXPECT_EQ(wrap.GetColorAt(2, FALSE), RGB(255, 0, 0));
    EXPECT_EQ(wrap.GetColorAt(9, FALSE), RGB(0, 0, 255));
    EXPECT_EQ(wrap.GetColorAt(12, FALSE), RGB(0, 0, 255));

    ASSERT_EQ(Undo().GetCount(), nStepsBefore + 3);
    EXPECT_EQ(Undo().GetUndoLabel(), CString("change properties"));
    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(pBlock->GetText(), CString("a lion\nsat\n\non a cat"));
    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(pBlock->GetText(), CString("a cat\nsat\n\non a cat"));
    EXPECT_EQ(pWrap->GetText(), CString("red lion\nblue"));
    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(pWrap->GetText(), CString("red cat\nblue"));
    EXPECT_EQ(pWrap->m_pWrapText->GetColorAt(8, FALSE), RGB(0, 0, 255)) << "the runs come back with the text";
}

TEST_F(ReplaceTextDlgTest, AReplacementTheTextRefusesIsReportedAndLeavesNoStep)
{
    const std::string full = "cat " + std::string(kWrapMaxLength - 6, 'x');
    CDrawRect* pObj = AddText(0, full.c_str(), FALSE);
    ASSERT_EQ(pObj->GetText().GetLength(), kWrapMaxLength - 2);
    const int nSteps = Undo().GetCount();
    INT_PTR nResult = Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "elephant");
        Click(hDlg, IDC_REPLACE_ALL);
    }, true);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(LastBox(), "Error occurred during replace!");
    EXPECT_EQ(pObj->GetText(), CString(full.c_str()));
    EXPECT_EQ(Undo().GetCount(), nSteps);
}

TEST_F(ReplaceTextDlgTest, WholeWordsPassOverWordsThatHoldTheString)
{
    CDrawRect* pObj = AddText(1, "cats, cat's cat.", FALSE);
    std::pair<int, int> sel;
    INT_PTR nResult = Run([&](HWND hDlg) {
        SetFields(hDlg, "CAT", "dog");
        ::CheckDlgButton(hDlg, IDC_REPLACE_WHOLE_WORDS, BST_CHECKED);
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        sel = PreviewSel(hDlg);
        Click(hDlg, IDC_REPLACE_ALL);
    }, true);
    EXPECT_EQ(sel, std::make_pair(12, 15));
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(pObj->GetText(), CString("cats, cat's dog."));
}

TEST_F(ReplaceTextDlgTest, AMovedPreviewSelectionNeverReplacesOtherText)
{
    CDrawRect* pObj = AddText(0, "cat dog cat", TRUE);
    Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "emu");
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        // A drag over "dog" in the read-only preview.
        ::SendDlgItemMessage(hDlg, IDC_REPLACE_PREVIEW, EM_SETSEL, 4, 7);
        Click(hDlg, IDC_REPLACE_REPLACE);
    });
    EXPECT_EQ(pObj->GetText(), CString("cat dog emu"));

    // A click leaves no selection: the search starts over in the object.
    pObj->SetText("cat dog cat", TRUE);
    Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "emu");
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        ::SendDlgItemMessage(hDlg, IDC_REPLACE_PREVIEW, EM_SETSEL, 5, 5);
        Click(hDlg, IDC_REPLACE_REPLACE);
    });
    EXPECT_EQ(pObj->GetText(), CString("emu dog cat"));
}

TEST_F(ReplaceTextDlgTest, ReplaceNextFindsThenReplacesAndGoesOnBehindTheNewText)
{
    CDrawRect* pObj = AddText(0, "catcat", FALSE);
    Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "a cat");
        Click(hDlg, IDC_REPLACE_NEXT);
        Click(hDlg, IDC_REPLACE_NEXT);
        Click(hDlg, IDC_REPLACE_NEXT);
    });
    EXPECT_EQ(pObj->GetText(), CString("a cata cat"));
    EXPECT_EQ(LastBox(), "Cannot find string:\n''cat''");
}

TEST_F(ReplaceTextDlgTest, ADesignWithoutTextSaysSoWithTheSearchButtonsOff)
{
    AddText(0, "", TRUE);
    std::string shown;
    std::vector<BOOL> enabled;
    Run([&](HWND hDlg) {
        SetFields(hDlg, "cat", "dog");
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_FIND, CBN_EDITCHANGE),
            LPARAM(::GetDlgItem(hDlg, IDC_REPLACE_FIND)));
        shown = Preview(hDlg);
        for (int nID : {IDC_REPLACE_FIND_NEXT, IDC_REPLACE_REPLACE, IDC_REPLACE_ALL, IDC_REPLACE_NEXT})
            enabled.push_back(::IsWindowEnabled(::GetDlgItem(hDlg, nID)));
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
    });
    EXPECT_EQ(shown, "*Currently there is no text in the document*");
    EXPECT_TRUE(m_boxes.empty()) << "Find sent while disabled does nothing";
    EXPECT_EQ(enabled, (std::vector<BOOL> {FALSE, FALSE, FALSE, FALSE}));
}

TEST_F(ReplaceTextDlgTest, AnEmptyFindFieldTurnsTheButtonsOffAndAChosenEntryOn)
{
    AddText(0, "cat", FALSE);
    CReplaceTextDlg::AddToMru("FindWhatMRU", "cat");
    std::vector<BOOL> enabled;
    std::vector<bool> hidden;
    Run([&](HWND hDlg) {
        HWND hFind = ::GetDlgItem(hDlg, IDC_REPLACE_FIND);
        enabled.push_back(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_REPLACE_FIND_NEXT)));
        ::SetWindowText(hFind, "");
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_FIND, CBN_EDITCHANGE), LPARAM(hFind));
        enabled.push_back(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_REPLACE_FIND_NEXT)));
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_FIND, CBN_DROPDOWN), LPARAM(hFind));
        ::SendMessage(hFind, CB_SETCURSEL, 0, 0);
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_FIND, CBN_SELCHANGE), LPARAM(hFind));
        enabled.push_back(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_REPLACE_FIND_NEXT)));
        for (int nID : {IDC_REPLACE_ACTIVE_DESIGN, IDC_REPLACE_ALL_DESIGNS, IDC_REPLACE_NEXT})
            hidden.push_back(!::IsWindowVisible(::GetDlgItem(hDlg, nID)));
    });
    EXPECT_EQ(enabled, (std::vector<BOOL> {TRUE, FALSE, TRUE}));
    EXPECT_EQ(hidden, (std::vector<bool> {true, true, true}));
}

// ---- The profile ---------------------------------------------------------------------------------

TEST_F(ReplaceTextDlgTest, SettingsAreReadAtOpeningAndWrittenWhenTheWindowGoes)
{
    AddText(0, "cat", FALSE);
    App()->WriteProfileInt("Match Whole Words", "MatchCase", 1);
    std::vector<UINT> checks;
    Run([&](HWND hDlg) {
        for (int nID : {IDC_REPLACE_WHOLE_WORDS, IDC_REPLACE_MATCH_CASE, IDC_REPLACE_ACTIVE_DESIGN})
            checks.push_back(::IsDlgButtonChecked(hDlg, nID));
        ::CheckDlgButton(hDlg, IDC_REPLACE_WHOLE_WORDS, BST_UNCHECKED);
        ::CheckDlgButton(hDlg, IDC_REPLACE_MATCH_CASE, BST_CHECKED);
    });
    EXPECT_EQ(checks, (std::vector<UINT> {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}));
    EXPECT_EQ(App()->GetProfileInt("Replace Text", "MatchCase", -1), 1u);
    EXPECT_EQ(App()->GetProfileInt("Match Whole Words", "MatchCase", -1), 0u);
    EXPECT_EQ(App()->GetProfileInt("Active Document", "MatchCase", -1), 0u);
}

TEST_F(ReplaceTextDlgTest, TheListsKeepTenStringsMostRecentFirst)
{
    AddText(0, "cat", FALSE);
    std::vector<std::string> dropped;
    std::string firstReplace;
    Run([&](HWND hDlg) {
        for (int i = 1; i <= 11; ++i) {
            const std::string find = "find" + std::to_string(i);
            SetFields(hDlg, find.c_str(), i <= 2 ? "with" : nullptr);
            Click(hDlg, IDC_REPLACE_FIND_NEXT);
        }
        // The same string again is not stored twice.
        Click(hDlg, IDC_REPLACE_FIND_NEXT);
        HWND hFind = ::GetDlgItem(hDlg, IDC_REPLACE_FIND);
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_FIND, CBN_DROPDOWN), LPARAM(hFind));
        const int nCount = int(::SendMessage(hFind, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < nCount; ++i) {
            char text[64] = {};
            ::SendMessage(hFind, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            dropped.push_back(text);
        }
    });
    EXPECT_EQ(Profile("FindWhatMRU", "MRU List"), CString("0987654321"));
    EXPECT_EQ(Profile("FindWhatMRU", "0"), CString("find11"));
    EXPECT_EQ(Profile("FindWhatMRU", "1"), CString("find2"));
    EXPECT_EQ(Profile("FindWhatMRU", "9"), CString("find10"));
    ASSERT_EQ(dropped.size(), 10u);
    EXPECT_EQ(dropped.front(), "find11");
    EXPECT_EQ(dropped.back(), "find2");
    EXPECT_EQ(Profile("ReplaceWithMRU", "MRU List"), CString("0"));
    EXPECT_EQ(Profile("ReplaceWithMRU", "0"), CString("with"));

    // The next opening starts with the most recent strings.
    std::string find;
    std::string with;
    Run([&](HWND hDlg) {
        find = ItemText(hDlg, IDC_REPLACE_FIND);
        with = ItemText(hDlg, IDC_REPLACE_WITH);
    });
    EXPECT_EQ(find, "find11");
    EXPECT_EQ(with, "with");
}

TEST_F(ReplaceTextDlgTest, DamagedListsReadAsTheirValidPart)
{
    auto names = [](LPCTSTR lpszSection) {
        CStringArray names;
        CStringArray strings;
        CReplaceTextDlg::ReadMruList(lpszSection, names, strings);
        std::string joined;
        for (INT_PTR i = 0; i < names.GetSize(); ++i)
            joined += std::string(names[i]) + "=" + std::string(strings[i]) + ";";
        return joined;
    };
    for (const char* pszName : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})
        App()->WriteProfileString("T", pszName, CString("s") + pszName);
    struct Case {
        const char* pszList;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"99x0", "9=s9;0=s0;"},
        {"00", "0=s0;"},
        {"", ""},
        {"FALSE", ""},
        {"abc-!", ""},
        {"01234567890123456789", "0=s0;1=s1;2=s2;3=s3;4=s4;5=s5;6=s6;7=s7;8=s8;9=s9;"},
    };
    for (const Case& c : cases) {
        App()->WriteProfileString("T", "MRU List", c.pszList);
        EXPECT_EQ(names("T"), c.pszExpected) << c.pszList;
    }
    // Names whose entries are gone (or are no strings) are passed over; an
    // empty string is an entry.
    App()->WriteProfileString("U", "MRU List", "3210");
    App()->WriteProfileString("U", "2", "");
    App()->WriteProfileInt("U", "1", 7);
    App()->WriteProfileString("U", "0", std::string(5000, 'x').c_str());
    EXPECT_EQ(names("U"), "2=;0=" + std::string(CReplaceTextDlg::kMaxMruText, 'x') + ";");
    EXPECT_EQ(names("missing"), "");

    // A new entry takes a free name and heals the list.
    CReplaceTextDlg::AddToMru("U", "new");
    EXPECT_EQ(Profile("U", "MRU List"), CString("120"));
    EXPECT_EQ(Profile("U", "1"), CString("new"));
}

} // namespace
