#include "text/dialogs/SpellCheckDlg.h"

#include "platform/services/Spell32.h"
#include "resources/resource.h"
#include "text/dialogs/DocTextWalker.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CSpellCheckDlg, CDialog)
    ON_BN_CLICKED(IDC_SPELL_IGNORE, OnIgnore)
    ON_BN_CLICKED(IDC_SPELL_IGNORE_ALL, OnIgnoreAll)
    ON_BN_CLICKED(IDC_SPELL_ADD, OnAddWord)
    ON_BN_CLICKED(IDC_SPELL_CHANGE, OnChange)
    ON_BN_CLICKED(IDC_SPELL_CHANGE_ALL, OnChangeAll)
END_MESSAGE_MAP()

CSpellCheckDlg::CSpellCheckDlg(CDocTextWalker* pChecker, CWnd* pParent)
    : CDialog(IDD_SPELL_CHECK, pParent)
    , m_pChecker(pChecker)
{
}

CSpellCheckDlg::~CSpellCheckDlg() = default;

int CSpellCheckDlg::ContextStart(int nLength, int nStart, int nEnd)
{
    if (nLength <= kMaxContext)
        return 0;
    nStart = std::clamp(nStart, 0, nLength);
    nEnd = std::clamp(nEnd, nStart, nLength);
    if (nEnd - nStart >= kMaxContext)
        return nStart;
    const int nBefore = (kMaxContext - (nEnd - nStart)) / 2;
    return std::clamp(nStart - nBefore, 0, nLength - kMaxContext);
}

void CSpellCheckDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SPELL_CONTEXT, m_context);
    DDX_Control(pDX, IDC_SPELL_REPLACEMENT, m_replacement);
    DDX_Text(pDX, IDC_SPELL_CONTEXT, m_strContext);
    DDX_Text(pDX, IDC_SPELL_REPLACEMENT, m_strWord);
}

BOOL CSpellCheckDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnClose.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_replacement.LimitText(kMaxWord);
    if (m_pChecker == nullptr || !m_pChecker->FirstWord())
        Finish(IDS_SPELL_COMPLETE);
    else
        Search();
    return TRUE;
}

void CSpellCheckDlg::OnOK()
{
}

void CSpellCheckDlg::Search()
{
    for (;;) {
        switch (m_pChecker->CheckWord()) {
        case SpellVerdict::Continue:
            if (!m_pChecker->NextWord()) {
                Finish(IDS_SPELL_COMPLETE);
                return;
            }
            break;
        case SpellVerdict::Unknown:
            ShowUnknownWord();
            return;
        case SpellVerdict::Error:
            Finish(IDS_SPELL_ERROR);
            return;
        }
    }
}

void CSpellCheckDlg::NextAndSearch()
{
    if (m_pChecker->NextWord())
        Search();
    else
        Finish(IDS_SPELL_COMPLETE);
}

void CSpellCheckDlg::ShowUnknownWord()
{
    const CString& strText = m_pChecker->GetText();
    const int nLength = strText.GetLength();
    const int nFirst = ContextStart(nLength, m_pChecker->GetWordStart(), m_pChecker->GetWordEnd());
    m_strContext = strText.Mid(nFirst, std::min(kMaxContext, nLength - nFirst));
    // Line breaks and tabs show as blanks, so that every character of the
    // box stands where it stands in the text.
    for (int i = 0; i < m_strContext.GetLength(); ++i) {
        if (static_cast<unsigned char>(m_strContext[i]) < 0x20)
            m_strContext.SetAt(i, ' ');
    }

    const CString strWord = m_pChecker->GetWord().Left(kMaxWord);
    m_replacement.ResetContent();
    CString strFirst;
    CString strSuggestion;
    BOOL bSuggested = FALSE;
    while (m_pChecker->GetNextSuggestion(strSuggestion)) {
        if (!bSuggested)
            strFirst = strSuggestion;
        bSuggested = TRUE;
        m_replacement.AddString(strSuggestion);
    }
    m_strWord = bSuggested ? strFirst : strWord;
    UpdateData(FALSE);
    // The list is sorted, so the library's best guess is found by its
    // text; selecting it makes Change take it without asking.
    if (bSuggested) {
        for (int i = 0; i < m_replacement.GetCount(); ++i) {
            CString strItem;
            m_replacement.GetLBText(i, strItem);
            if (strItem == strFirst) {
                m_replacement.SetCurSel(i);
                break;
            }
        }
    }
    SetDlgItemText(IDC_SPELL_WORD, strWord);

    const int nSelStart = std::clamp(m_pChecker->GetWordStart() - nFirst, 0, m_strContext.GetLength());
    const int nSelEnd = std::clamp(m_pChecker->GetWordEnd() - nFirst, nSelStart, m_strContext.GetLength());
    m_context.SetSel(nSelStart, nSelEnd);
    m_context.SendMessage(EM_SCROLLCARET);
}

void CSpellCheckDlg::Finish(UINT nMessageId)
{
    m_bFinished = TRUE;
    AfxMessageBox(nMessageId, MB_OK | MB_ICONINFORMATION);
    EndDialog(IDOK);
}

BOOL CSpellCheckDlg::TakeReplacement(CString& rReplacement)
{
    CString strTyped;
    m_replacement.GetWindowText(strTyped);
    // A chosen suggestion counts only while the field still shows it; once
    // the user types over it, the typed text is the replacement.
    const int nSel = m_replacement.GetCurSel();
    if (nSel != CB_ERR) {
        CString strEntry;
        m_replacement.GetLBText(nSel, strEntry);
        if (strEntry == strTyped) {
            rReplacement = strEntry;
            return TRUE;
        }
    }
    CString strLower(strTyped);
    strLower.MakeLower();
    if (SpellDict(strLower, strLower.GetLength(), 0) != 1) {
        CString strPrompt;
        strPrompt.LoadString(IDS_SPELL_NOT_IN_DICTIONARY);
        if (AfxMessageBox(strTyped + strPrompt, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return FALSE;
    }
    rReplacement = strTyped;
    return TRUE;
}

void CSpellCheckDlg::Change(BOOL bAll)
{
    if (m_bFinished)
        return;
    CString strReplacement;
    if (!TakeReplacement(strReplacement))
        return;
    if (bAll)
        m_pChecker->RememberChange(strReplacement);
    m_pChecker->ReplaceInCurrent(strReplacement);
    NextAndSearch();
}

void CSpellCheckDlg::OnIgnore()
{
    if (!m_bFinished)
        NextAndSearch();
}

void CSpellCheckDlg::OnIgnoreAll()
{
    if (m_bFinished)
        return;
    m_pChecker->IgnoreAll();
    NextAndSearch();
}

void CSpellCheckDlg::OnAddWord()
{
    if (m_bFinished)
        return;
    // The word the dictionary did not know, not the replacement field,
    // which shows a suggestion.
    m_pChecker->AddToDictionary();
    NextAndSearch();
}

void CSpellCheckDlg::OnChange()
{
    Change(FALSE);
}

void CSpellCheckDlg::OnChangeAll()
{
    Change(TRUE);
}
