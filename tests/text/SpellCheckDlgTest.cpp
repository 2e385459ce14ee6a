// The spelling check of a design, run as the document's command runs it: a
// checker on a two-sided design, the Check Spelling dialog driven with real
// messages on the headless back end, and a scripted dictionary in place of
// the real one.

#include "tests/text/ShirtTextTestSupport.h"

#include "model/UndoList.h"
#include "platform/services/Spell32.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PictureButtonFit.h"
#include "text/WrapText.h"
#include "text/dialogs/SpellCheckDlg.h"
#include "text/dialogs/SpellChecker.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using testing_support::Click;
using testing_support::ItemText;

constexpr const char* kComplete = "Spelling check complete!";
constexpr const char* kError = "Error occurred during spelling check!";

// A dictionary that knows every word but those it is told, and records
// what it is asked.
class ScriptedSpeller : public platform::SpellEngine {
public:
    std::set<std::string> m_unknown;                         // lower-case
    std::map<std::string, int> m_answers;                    // answers other than 0 and 1
    std::map<std::string, std::vector<std::string>> m_suggestions;
    std::vector<std::string> m_checked;                      // words checked (flag 1), in order
    std::vector<std::string> m_confirmed;                    // words confirmed (flag 0)
    std::vector<std::string> m_added;
    int m_nRunsEnded = 0;

    int Check(std::string_view word, bool bChecking) override
    {
        const std::string w(word);
        (bChecking ? m_checked : m_confirmed).push_back(w);
        if (auto it = m_answers.find(w); it != m_answers.end())
            return it->second;
        if (m_unknown.count(w) == 0)
            return 1;
        if (bChecking)
            m_last = w;
        return 0;
    }
    std::vector<std::string> Suggestions() override
    {
        auto it = m_suggestions.find(m_last);
        return it != m_suggestions.end() ? it->second : std::vector<std::string>{};
    }
    bool AddToUserDictionary(std::string_view word) override
    {
        m_added.emplace_back(word);
        m_unknown.erase(std::string(word));
        return true;
    }
    void EndRun() override { ++m_nRunsEnded; }

private:
    std::string m_last;
};

class SpellCheckDlgTest : public texttest::ShirtTextTest {
protected:
    void SetUp() override
    {
        ShirtTextTest::SetUp();
        platform::SetSpellEngine(&m_speller);
    }
    void TearDown() override
    {
        platform::SetSpellEngine(nullptr);
        ShirtTextTest::TearDown();
    }

    CDrawRect* AddCalendar(int nSurface, int nKind, const std::vector<std::pair<int, const char*>>& cells)
    {
        auto* pObj = new CDrawRect(CRect(-400, 0, 0, -300));
        m_pDoc->AddObject(pObj, m_pDoc->GetSurfaceView(nSurface));
        pObj->m_nCalendarStart = 2460436; // in May 2024: 31 day cells
        pObj->m_nCalendarWords[1] = nKind;
        for (const auto& [nCell, pszText] : cells)
            pObj->SetCellText(nKind, nCell, pszText);
        return pObj;
    }

    // What the dialog showed at one stop.
    struct Stop {
        std::string word;        // the "Not recognized" label
        std::string replacement; // the replacement field
        std::vector<std::string> list;
        std::string clashes; // picture buttons whose caption does not fit
        bool bCloseHasIcon = false;
    };
    using Action = std::function<void(HWND)>;

    // Runs the check as the command does; each action runs at one stop of
    // the dialog, in order. A check that stops more often than there are
    // actions is closed.
    void Check(std::vector<Action> actions)
    {
        std::vector<testing_support::DialogStep> steps;
        for (Action& action : actions) {
            steps.push_back([this, action](HWND hActive) {
                if (testing_support::WindowTitle(hActive) != "Check Spelling")
                    return false;
                m_stops.push_back(ReadStop(hActive));
                action(hActive);
                return true;
            });
        }
        steps.push_back([this](HWND hActive) {
            if (testing_support::WindowTitle(hActive) != "Check Spelling")
                return false;
            m_stops.push_back(ReadStop(hActive));
            Click(hActive, IDCANCEL);
            return true;
        });
        testing_support::DriveActiveWindow(std::move(steps));
        CSpellChecker checker(m_pDoc);
        platform::headless::SetIdleHandler(nullptr);
    }

    static Stop ReadStop(HWND hDlg)
    {
        Stop stop;
        stop.word = ItemText(hDlg, IDC_SPELL_WORD);
        stop.replacement = ItemText(hDlg, IDC_SPELL_REPLACEMENT);
        HWND hCombo = ::GetDlgItem(hDlg, IDC_SPELL_REPLACEMENT);
        const int nCount = int(::SendMessage(hCombo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < nCount; ++i) {
            char text[64] = {};
            ::SendMessage(hCombo, CB_GETLBTEXT, i, LPARAM(text));
            stop.list.push_back(text);
        }
        stop.clashes = testing_support::PictureButtonClashes(hDlg);
        auto* pClose = dynamic_cast<C3DPicTrickBtn*>(CWnd::FromHandlePermanent(::GetDlgItem(hDlg, IDCANCEL)));
        stop.bCloseHasIcon = pClose != nullptr && pClose->m_hIcon != NULL;
        return stop;
    }

    static Action Press(int nID)
    {
        return [nID](HWND hDlg) { Click(hDlg, nID); };
    }

    ScriptedSpeller m_speller;
    std::vector<Stop> m_stops;
};

TEST_F(SpellCheckDlgTest, WalksSurfacesObjectsAndCellsInOrder)
{
    AddText(0, "alpha beta", FALSE);
    AddText(0, "", TRUE);
    // Cells are visited by their number, whatever order they were made in.
    AddCalendar(0, CALENDAR_MONTH, {{9, "delta"}, {3, "gamma"}});
    AddCalendar(0, CALENDAR_WEEK, {});                   // no text in any cell
    AddCalendar(0, CALENDAR_YEAR, {{3, "never"}});       // a year grid keeps no cells
    AddCalendar(0, CALENDAR_DAY, {{24, "zeta"}});
    m_pDoc->AddObject(new CDrawRect(CRect(0, 50, 50, 0)), m_pDoc->GetSurfaceView(0));
    AddText(1, "epsilon", TRUE);

    Check({});
    EXPECT_EQ(m_speller.m_checked, (std::vector<std::string>{"alpha", "beta", "gamma", "delta", "zeta", "epsilon"}));
    EXPECT_EQ(m_boxes, (std::vector<std::string>{kComplete}));
    EXPECT_TRUE(m_stops.empty()) << "a design without unknown words never waits";
    EXPECT_EQ(m_speller.m_nRunsEnded, 1);
}

TEST_F(SpellCheckDlgTest, DesignWithoutTextIsCompleteAtOnce)
{
    m_pDoc->AddObject(new CDrawRect(CRect(0, 50, 50, 0)), m_pDoc->GetSurfaceView(0));
    AddCalendar(1, CALENDAR_MONTH, {});
    Check({});
    EXPECT_EQ(m_boxes, (std::vector<std::string>{kComplete}));
    EXPECT_TRUE(m_speller.m_checked.empty());
    EXPECT_EQ(m_speller.m_nRunsEnded, 1);
}

TEST_F(SpellCheckDlgTest, ChangeAllFixesLaterWordsInTheirOwnCase)
{
    CDrawRect* pFront = AddText(0, "teh cat. Teh dog,", FALSE);
    CDrawRect* pBack = AddText(1, "TEH end teh", TRUE);
    m_speller.m_unknown = {"teh"};
    m_speller.m_suggestions["teh"] = {"the", "tea", "ten"};

    Check({Press(IDC_SPELL_CHANGE_ALL)});
    ASSERT_EQ(m_stops.size(), 1u) << "later words change without stopping";
    EXPECT_EQ(m_stops[0].word, "teh");
    // The list is sorted; the field shows the library's best guess.
    EXPECT_EQ(m_stops[0].list, (std::vector<std::string>{"tea", "ten", "the"}));
    EXPECT_EQ(m_stops[0].replacement, "the");
    EXPECT_TRUE(m_stops[0].bCloseHasIcon);
    EXPECT_EQ(m_stops[0].clashes, "");
    EXPECT_EQ(m_boxes, (std::vector<std::string>{kComplete}));
    EXPECT_EQ(pFront->GetText(), CString("the cat. The dog,"));
    EXPECT_EQ(pBack->GetText(), CString("THE end the"));
    EXPECT_TRUE(m_speller.m_confirmed.empty()) << "a chosen suggestion needs no confirming";
    EXPECT_TRUE(m_pDoc->IsModified());
}

TEST_F(SpellCheckDlgTest, IgnoreAllAndAddSkipTheWordInAnyCase)
{
    CDrawRect* pText = AddText(0, "Zorg met zorg\nand ZORG", TRUE);
    AddCalendar(1, CALENDAR_MONTH, {{2, "zOrG Grok"}, {5, "grok"}});
    m_speller.m_unknown = {"zorg", "grok"};
    m_speller.m_suggestions["grok"] = {"grow"};
    m_pDoc->SetModifiedFlag(FALSE);
    const int nSteps = m_pDoc->GetUndoList().GetCount();

    Check({Press(IDC_SPELL_IGNORE_ALL), Press(IDC_SPELL_ADD)});
    ASSERT_EQ(m_stops.size(), 2u);
    EXPECT_EQ(m_stops[0].word, "Zorg");
    EXPECT_EQ(m_stops[0].replacement, "Zorg") << "without suggestions the field shows the word";
    EXPECT_EQ(m_stops[1].word, "Grok");
    // Add keeps the unknown word, not the suggestion the field shows.
    EXPECT_EQ(m_speller.m_added, (std::vector<std::string>{"grok"}));
    EXPECT_EQ(m_boxes, (std::vector<std::string>{kComplete}));
    EXPECT_EQ(pText->GetText(), CString("Zorg met zorg\nand ZORG"));
    EXPECT_FALSE(m_pDoc->IsModified());
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nSteps);
}

TEST_F(SpellCheckDlgTest, TypedReplacementTheDictionaryRefusesIsAsked)
{
    CDrawRect* pText = AddText(0, "a wrod here", FALSE);
    m_speller.m_unknown = {"wrod", "wurd"};
    m_speller.m_suggestions["wrod"] = {"word"};
    // No keeps the dialog at the word; Yes uses the typed text.
    m_answers = {IDNO, IDYES};
    std::string strAfterNo;
    Check({[&](HWND hDlg) {
               ::SetDlgItemText(hDlg, IDC_SPELL_REPLACEMENT, "Wurd");
               Click(hDlg, IDC_SPELL_CHANGE);
               strAfterNo = ItemText(hDlg, IDC_SPELL_WORD);
               Click(hDlg, IDC_SPELL_CHANGE);
           }});
    ASSERT_GE(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0], "Wurd is not in the dictionary.  Use it anyway?");
    EXPECT_EQ(m_boxes[1], "Wurd is not in the dictionary.  Use it anyway?");
    EXPECT_EQ(strAfterNo, "wrod");
    EXPECT_EQ(m_speller.m_confirmed, (std::vector<std::string>{"wurd", "wurd"}));
    EXPECT_EQ(pText->GetText(), CString("a wurd here"));
    EXPECT_EQ(m_boxes.back(), kComplete);
}

TEST_F(SpellCheckDlgTest, LongBlockChangesOnlyTheWord)
{
    // 2,000 characters in lines, the misspelling in the middle.
    std::string text;
    while (text.size() < 990)
        text += text.size() % 50 == 45 ? "good\n" : "good ";
    const size_t nAt = text.size();
    text += "badd";
    while (text.size() < 2000)
        text += " fine";
    text.resize(2000);
    CDrawRect* pText = AddText(1, text.c_str(), TRUE);
    m_speller.m_unknown = {"badd"};
    m_speller.m_suggestions["badd"] = {"bad"};

    std::string strSelected;
    int nShown = 0;
    Check({[&](HWND hDlg) {
        // The box shows a window of the text with the word selected in it.
        HWND hContext = ::GetDlgItem(hDlg, IDC_SPELL_CONTEXT);
        std::string shown(size_t(::GetWindowTextLength(hContext)) + 1, '\0');
        ::GetWindowText(hContext, shown.data(), int(shown.size()));
        shown.resize(shown.size() - 1);
        nShown = int(shown.size());
        DWORD nStart = 0;
        DWORD nEnd = 0;
        ::SendMessage(hContext, EM_GETSEL, WPARAM(&nStart), LPARAM(&nEnd));
        if (nEnd >= nStart && nEnd <= shown.size())
            strSelected = shown.substr(nStart, nEnd - nStart);
        // A click in the box moves its selection; the change must not care.
        ::SendMessage(hContext, EM_SETSEL, 0, 3);
        Click(hDlg, IDC_SPELL_CHANGE);
    }});
    EXPECT_EQ(strSelected, "badd");
    EXPECT_EQ(nShown, CSpellCheckDlg::kMaxContext);
    std::string expected = text;
    expected.replace(nAt, 4, "bad");
    EXPECT_EQ(std::string(pText->GetText()), expected);
    EXPECT_EQ(m_boxes, (std::vector<std::string>{kComplete}));
}

TEST_F(SpellCheckDlgTest, WrappedTextKeepsItsColourRunsAfterChange)
{
    CDrawRect* pText = AddText(0, "Teh red cat", FALSE);
    pText->m_pWrapText->SetColor(RGB(255, 0, 0), 4, 6);
    const COLORREF crDefault = pText->m_pWrapText->GetColorAt(0, FALSE);
    m_speller.m_unknown = {"teh", "cat"};
    m_speller.m_suggestions["teh"] = {"the"};
    m_speller.m_suggestions["cat"] = {"cart"};

    Check({Press(IDC_SPELL_CHANGE), Press(IDC_SPELL_CHANGE)});
    EXPECT_EQ(pText->GetText(), CString("The red cart"));
    const CWrapText& wrap = *pText->m_pWrapText;
    EXPECT_EQ(wrap.GetColorAt(0, FALSE), crDefault);
    EXPECT_EQ(wrap.GetColorAt(3, FALSE), crDefault);
    for (int n = 4; n <= 6; ++n)
        EXPECT_EQ(wrap.GetColorAt(n, FALSE), RGB(255, 0, 0)) << n;
    EXPECT_EQ(wrap.GetColorAt(8, FALSE), crDefault);
    EXPECT_EQ(m_stops.size(), 2u) << "parsing goes on behind the replacement";
}

TEST_F(SpellCheckDlgTest, LibraryFailureEndsWithTheErrorMessage)
{
    AddText(0, "fine oops fine", TRUE);
    // -1 is the library's error; any other answer than 0 and 1 is one too.
    for (int nAnswer : {-1, 2, -7}) {
        SCOPED_TRACE(nAnswer);
        m_boxes.clear();
        m_stops.clear();
        m_speller.m_answers = {{"oops", nAnswer}};
        Check({});
        EXPECT_EQ(m_boxes, (std::vector<std::string>{kError}));
        EXPECT_TRUE(m_stops.empty());
    }
}

TEST_F(SpellCheckDlgTest, EachChangeIsOneUndoStepUndoneInOrder)
{
    CDrawRect* pFront = AddText(0, "wun too", FALSE);
    CDrawRect* pCalendar = AddCalendar(0, CALENDAR_WEEK, {{4, "Meet Bobb"}});
    CDrawRect* pBack = AddText(1, "thre", TRUE);
    m_speller.m_unknown = {"wun", "bobb", "thre"};
    m_speller.m_suggestions = {{"wun", {"one"}}, {"bobb", {"bob"}}, {"thre", {"three"}}};
    m_pDoc->SetModifiedFlag(FALSE);
    CUndoList& undo = m_pDoc->GetUndoList();
    const int nSteps = undo.GetCount();

    Check({Press(IDC_SPELL_CHANGE), Press(IDC_SPELL_CHANGE), Press(IDC_SPELL_CHANGE)});
    EXPECT_EQ(pFront->GetText(), CString("one too"));
    EXPECT_EQ(pCalendar->GetCellText(CALENDAR_WEEK, 4), CString("Meet Bob"));
    EXPECT_EQ(pBack->GetText(), CString("three"));
    EXPECT_EQ(undo.GetCount(), nSteps + 3);
    EXPECT_TRUE(m_pDoc->IsModified());

    ASSERT_TRUE(undo.Undo(m_pDoc));
    EXPECT_EQ(pBack->GetText(), CString("thre"));
    EXPECT_EQ(pCalendar->GetCellText(CALENDAR_WEEK, 4), CString("Meet Bob"));
    ASSERT_TRUE(undo.Undo(m_pDoc));
    EXPECT_EQ(pCalendar->GetCellText(CALENDAR_WEEK, 4), CString("Meet Bobb"));
    EXPECT_EQ(pFront->GetText(), CString("one too"));
    ASSERT_TRUE(undo.Undo(m_pDoc));
    EXPECT_EQ(pFront->GetText(), CString("wun too"));
}

} // namespace
