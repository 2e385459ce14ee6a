#pragma once
// CDocTextWalker: the base of a spelling check run. It parses the current
// text word by word with the spelling library, checks each word against the
// run's Ignore All and Change All lists and the dictionary, and reads the
// suggestions for an unknown word from the library's result record. Which
// texts there are, and how a change reaches them, is the business of a
// derived class (CSpellChecker walks the texts of a design).
//
// The run's lists hold lower-cased words, so Ignore All and Change All hold
// whatever the case of a later word. The result record comes from outside
// the program: its count is clamped to the record's slots and every slot
// is read within its own bytes. A library that answers a parse outside the
// text, or one that does not move on, ends the text rather than looping.

#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/base/StringArray.h"
#include "platform/services/Spell32.h"

#include <vector>

class CSpellCheckDlg;

// What checking the current word found.
enum class SpellVerdict {
    Continue, // known, ignored or changed from the Change All list: go on
    Unknown,  // not in the dictionary: the suggestions are loaded
    Error,    // the library failed, or answered what it never should
};

class CDocTextWalker : public CObject {
public:
    CDocTextWalker();
    ~CDocTextWalker() override;

    // ---- The operations of a run; the base versions do nothing and answer 0.
    // Gathers the texts to check; their number.
    virtual int CollectTexts();
    // Replaces the current word of the current text by the replacement,
    // its case matched to the word's (MatchCase), in the text's owner;
    // parsing goes on behind the replacement.
    virtual BOOL ReplaceInCurrent(const CString& strReplacement);
    // Makes strText the whole text of the current text's owner.
    virtual BOOL SetCurrentText(const CString& strText);
    // The first word of the first text; FALSE when there is none.
    virtual BOOL FirstWord();
    // The next word, from the current text on; FALSE when the texts run out.
    virtual BOOL NextWord();

    // ---- Checking
    // Checks the current word: the Ignore All list, then the Change All
    // list (whose replacement is made at once), then the dictionary.
    SpellVerdict CheckWord();
    // Adds the current word to the Ignore All list.
    void IgnoreAll();
    // Keeps the current word and its replacement for Change All, unless
    // the word is kept already.
    void RememberChange(const CString& strReplacement);
    // Adds the current word to the user's dictionary (nothing for none).
    void AddToDictionary();
    // Ends the run: the library forgets it, the lists are emptied. Only
    // the first call does anything.
    void EndRun();

    // ---- The suggestions for the word last reported unknown
    // The count the record gives, within 0..kSpellResultMaxSlots.
    int GetSuggestionCount() const;
    // Suggestion nIndex, read up to its NUL and never past its slot.
    CString GetSuggestion(int nIndex) const;
    // The next suggestion to hand out, skipping empty slots; FALSE when
    // none is left.
    BOOL GetNextSuggestion(CString& rSuggestion);

    // ---- The current word
    const CString& GetWord() const { return m_strWord; }
    const CString& GetText() const { return m_strText; }
    int GetWordStart() const { return m_nWordStart; }
    int GetWordEnd() const { return m_nWordEnd; }

    void SetDialog(CSpellCheckDlg* pDlg) { m_pDlg = pDlg; }
    CSpellCheckDlg* GetDialog() const { return m_pDlg; }

    // The replacement in the case of the word it replaces: a replacement
    // all in capitals stays; a word all in capitals makes it all capitals,
    // one all in small letters all small; otherwise its first character
    // takes the case of the word's first character. A string without
    // letters counts as all capitals and as all small.
    static CString MatchCase(const CString& strReplacement, const CString& strReplaced);

protected:
    // Makes strText the text being parsed, from its start.
    void LoadText(const CString& strText);
    // A changed text: parsing goes on at nResume, the position after the
    // replacement.
    void TakeChangedText(const CString& strText, int nResume);
    // Parses on in the current text; FALSE (and the text unloaded) when it
    // holds no more words.
    BOOL ParseNextWord();

    CStringArray m_changeFrom; // lower-cased words chosen for Change All
    CStringArray m_changeTo;   // their lower-cased replacements
    CStringArray m_ignore;     // lower-cased words chosen for Ignore All
    CSpellCheckDlg* m_pDlg = nullptr; // not owned
    BOOL m_bTextLoaded = FALSE;
    unsigned char m_result[kSpellResultSize] = {};
    int m_nNextSuggestion = 0;
    int m_nWordStart = 0;
    int m_nWordEnd = 0;
    CString m_strText;  // the text being parsed, as its owner holds it
    CString m_strLower; // the same, lower-cased for the library
    CString m_strWord;  // the current word, as the text holds it
    BOOL m_bRunEnded = FALSE;

private:
    std::vector<char> m_wordBuffer; // the library's copy of the word
};
