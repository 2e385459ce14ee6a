#include "text/dialogs/ReplaceTextDlg.h"

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>

namespace {

constexpr LPCTSTR kFindSection = "FindWhatMRU";
constexpr LPCTSTR kReplaceSection = "ReplaceWithMRU";
constexpr LPCTSTR kMruListEntry = "MRU List";
// What a missing list reads as.
constexpr LPCTSTR kNoMruList = "FALSE";

// The three settings keep one entry name in three sections.
constexpr LPCTSTR kSettingEntry = "MatchCase";
constexpr LPCTSTR kMatchCaseSection = "Replace Text";
constexpr LPCTSTR kScopeSection = "Active Document";
constexpr LPCTSTR kWholeWordsSection = "Match Whole Words";

constexpr LPCTSTR kNoTextLine = "*Currently there is no text in the document*";
constexpr LPCTSTR kNotFoundFormat = "Cannot find string:\n''%s''";
constexpr LPCTSTR kReplaceFailed = "Error occurred during replace!";
constexpr LPCTSTR kReplaceComplete = "Text Replace complete!";

constexpr int kSearchButtons[] = {IDC_REPLACE_FIND_NEXT, IDC_REPLACE_REPLACE, IDC_REPLACE_ALL, IDC_REPLACE_NEXT};

bool IsAsciiLetter(unsigned char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

// The typewriter apostrophe and the typographic one of Windows-1252.
bool IsApostrophe(unsigned char ch) { return ch == '\'' || ch == 0x92; }

} // namespace

BEGIN_MESSAGE_MAP(CReplaceTextDlg, CDialog)
    ON_BN_CLICKED(IDC_REPLACE_FIND_NEXT, OnFind)
    ON_BN_CLICKED(IDC_REPLACE_REPLACE, OnReplace)
    ON_BN_CLICKED(IDC_REPLACE_NEXT, OnReplaceNext)
    ON_BN_CLICKED(IDC_REPLACE_ALL, OnReplaceAll)
    ON_BN_CLICKED(IDC_REPLACE_HELP, OnHelp)
    ON_CBN_EDITCHANGE(IDC_REPLACE_FIND, OnFindEditChange)
    ON_CBN_DROPDOWN(IDC_REPLACE_FIND, OnFindDropDown)
    ON_CBN_DROPDOWN(IDC_REPLACE_WITH, OnReplaceDropDown)
    ON_CBN_SELCHANGE(IDC_REPLACE_FIND, OnFindSelChange)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CReplaceTextDlg::CReplaceTextDlg(CDrawDoc* pDoc, CWnd* pParent)
    : CDialog(IDD_REPLACE_TEXT, pParent)
    , m_pDoc(pDoc)
{
}

CReplaceTextDlg::~CReplaceTextDlg() = default;

// ---- Matching and the recently-used lists --------------------------------------------------

int CReplaceTextDlg::FindInText(const CString& strText, const CString& strFind, int nFrom, BOOL bWholeWords,
    BOOL bMatchCase)
{
    const int nLength = strText.GetLength();
    const int nFind = strFind.GetLength();
    if (nFind == 0 || nFrom < 0 || nFrom > nLength - nFind)
        return -1;
    CString strIn = strText;
    CString strWhat = strFind;
    if (!bMatchCase) {
        strIn.MakeLower();
        strWhat.MakeLower();
    }
    const LPCTSTR pszIn = strIn;
    const LPCTSTR pszWhat = strWhat;
    for (int nPos = nFrom; nPos <= nLength - nFind; ++nPos) {
        if (!std::equal(pszWhat, pszWhat + nFind, pszIn + nPos))
            continue;
        if (!bWholeWords)
            return nPos;
        const unsigned char chBefore = nPos > 0 ? static_cast<unsigned char>(pszIn[nPos - 1]) : ' ';
        const unsigned char chAfter = nPos + nFind < nLength ? static_cast<unsigned char>(pszIn[nPos + nFind]) : ' ';
        if (!IsAsciiLetter(chBefore) && !IsAsciiLetter(chAfter) && !IsApostrophe(chAfter))
            return nPos;
    }
    return -1;
}

void CReplaceTextDlg::ReadMruList(LPCTSTR lpszSection, CStringArray& names, CStringArray& strings)
{
    names.RemoveAll();
    strings.RemoveAll();
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || lpszSection == nullptr)
        return;
    const CString strList = pApp->GetProfileString(lpszSection, kMruListEntry, kNoMruList);
    if (strList == kNoMruList)
        return;
    // The list is outside data: anything but a digit, a name seen before
    // or a name whose entry is gone is passed over.
    bool bSeen[10] = {};
    for (int i = 0; i < strList.GetLength() && names.GetSize() < kMaxMruEntries; ++i) {
        const char ch = strList[i];
        if (ch < '0' || ch > '9' || bSeen[ch - '0'])
            continue;
        bSeen[ch - '0'] = true;
        const CString strName(ch);
        // An entry is there when two different defaults give the same text.
        const CString strValue = pApp->GetProfileString(lpszSection, strName, "");
        if (pApp->GetProfileString(lpszSection, strName, "-") != strValue)
            continue;
        names.Add(strName);
        strings.Add(strValue.Left(kMaxMruText));
    }
}

void CReplaceTextDlg::AddToMru(LPCTSTR lpszSection, const CString& strValue)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || lpszSection == nullptr)
        return;
    CStringArray names;
    CStringArray strings;
    ReadMruList(lpszSection, names, strings);
    CString strName;
    INT_PTR nKept = names.GetSize();
    if (nKept < kMaxMruEntries) {
        // A list written by us names its entries 0, 1, 2 ... so the first
        // free digit is its count; a damaged one may have gaps.
        for (char ch = '0'; ch <= '9' && strName.IsEmpty(); ++ch) {
            bool bUsed = false;
            for (INT_PTR i = 0; i < names.GetSize() && !bUsed; ++i)
                bUsed = names[i] == CString(ch);
            if (!bUsed)
                strName = CString(ch);
        }
    } else {
        strName = names[nKept - 1];
        --nKept;
    }
    CString strList = strName;
    for (INT_PTR i = 0; i < nKept; ++i)
        strList += names[i];
    pApp->WriteProfileString(lpszSection, strName, strValue.Left(kMaxMruText));
    pApp->WriteProfileString(lpszSection, kMruListEntry, strList);
}

void CReplaceTextDlg::StoreMruEntries()
{
    struct Field {
        CComboBox* pCombo;
        LPCTSTR lpszSection;
    };
    for (const Field& field : {Field {&m_comboFind, kFindSection}, Field {&m_comboReplace, kReplaceSection}}) {
        if (field.pCombo->GetSafeHwnd() == NULL)
            continue;
        CString strText;
        field.pCombo->GetWindowText(strText);
        strText = strText.Left(kMaxMruText);
        // An empty entry would only push a useful one out of the list.
        if (strText.IsEmpty())
            continue;
        CStringArray names;
        CStringArray strings;
        ReadMruList(field.lpszSection, names, strings);
        if (strings.GetSize() == 0 || strings[0] != strText)
            AddToMru(field.lpszSection, strText);
    }
}

void CReplaceTextDlg::FillFromMru(CComboBox& combo, LPCTSTR lpszSection)
{
    if (combo.GetSafeHwnd() == NULL)
        return;
    // Emptying the list empties the edit too; what was typed stays.
    CString strTyped;
    combo.GetWindowText(strTyped);
    combo.ResetContent();
    CStringArray names;
    CStringArray strings;
    ReadMruList(lpszSection, names, strings);
    for (INT_PTR i = 0; i < strings.GetSize(); ++i)
        combo.InsertString(-1, strings[i]);
    combo.SetWindowText(strTyped);
}

// ---- Opening and closing ---------------------------------------------------------------------

BOOL CReplaceTextDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_comboFind.SubclassDlgItem(IDC_REPLACE_FIND, this);
    m_comboReplace.SubclassDlgItem(IDC_REPLACE_WITH, this);
    // A design's text may be longer than an edit takes by default.
    SendDlgItemMessage(IDC_REPLACE_PREVIEW, EM_LIMITTEXT, 0, 0);

    CStringArray names;
    CStringArray strings;
    ReadMruList(kFindSection, names, strings);
    if (strings.GetSize() > 0 && m_comboFind.GetSafeHwnd() != NULL)
        m_comboFind.SetWindowText(strings[0]);
    ReadMruList(kReplaceSection, names, strings);
    if (strings.GetSize() > 0 && m_comboReplace.GetSafeHwnd() != NULL)
        m_comboReplace.SetWindowText(strings[0]);

    BOOL bMatchCase = FALSE;
    BOOL bAllDesigns = FALSE;
    BOOL bWholeWords = FALSE;
    if (CWinApp* pApp = AfxGetApp()) {
        bMatchCase = pApp->GetProfileInt(kMatchCaseSection, kSettingEntry, 0) != 0;
        bAllDesigns = pApp->GetProfileInt(kScopeSection, kSettingEntry, 0) != 0;
        bWholeWords = pApp->GetProfileInt(kWholeWordsSection, kSettingEntry, 0) != 0;
    }
    CheckDlgButton(IDC_REPLACE_MATCH_CASE, bMatchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_REPLACE_WHOLE_WORDS, bWholeWords ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(IDC_REPLACE_ACTIVE_DESIGN, IDC_REPLACE_ALL_DESIGNS,
        bAllDesigns ? IDC_REPLACE_ALL_DESIGNS : IDC_REPLACE_ACTIVE_DESIGN);

    m_nCurrent = 0;
    m_bNothingReplaced = TRUE;
    m_match = MatchRecord {};
    CollectTextObjects();
    ReadFields();
    ShowCurrentText();
    UpdateButtons();
    return TRUE;
}

void CReplaceTextDlg::OnDestroy()
{
    if (CWinApp* pApp = AfxGetApp()) {
        pApp->WriteProfileInt(kMatchCaseSection, kSettingEntry, IsDlgButtonChecked(IDC_REPLACE_MATCH_CASE) ? 1 : 0);
        pApp->WriteProfileInt(kScopeSection, kSettingEntry, IsDlgButtonChecked(IDC_REPLACE_ALL_DESIGNS) ? 1 : 0);
        pApp->WriteProfileInt(kWholeWordsSection, kSettingEntry, IsDlgButtonChecked(IDC_REPLACE_WHOLE_WORDS) ? 1 : 0);
    }
    CDialog::OnDestroy();
}

// ---- The design's texts and the preview ----------------------------------------------------------

void CReplaceTextDlg::CollectTextObjects()
{
    m_objects.clear();
    m_match = MatchRecord {};
    if (m_pDoc != nullptr) {
        for (int n = 0; n < m_pDoc->GetSurfaceInfoCount(); ++n) {
            CSurface* pView = m_pDoc->GetSurfaceView(n);
            if (pView == nullptr)
                continue;
            const CObList& objects = pView->GetObjects();
            for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
                auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
                if (pObj != nullptr && pObj->HasText() && !pObj->GetText().IsEmpty())
                    m_objects.push_back(TextObject {pObj, n});
            }
        }
    }
    if (m_nCurrent < 0 || m_nCurrent >= static_cast<int>(m_objects.size()))
        m_nCurrent = 0;
}

CString CReplaceTextDlg::ObjectText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_objects.size()))
        return CString();
    return m_objects[static_cast<size_t>(nIndex)].pObj->GetText();
}

void CReplaceTextDlg::ReadFields()
{
    if (m_comboFind.GetSafeHwnd() != NULL)
        m_comboFind.GetWindowText(m_strFind);
    if (m_comboReplace.GetSafeHwnd() != NULL)
        m_comboReplace.GetWindowText(m_strReplace);
    m_bWholeWords = IsDlgButtonChecked(IDC_REPLACE_WHOLE_WORDS) ? TRUE : FALSE;
    m_bMatchCase = IsDlgButtonChecked(IDC_REPLACE_MATCH_CASE) ? TRUE : FALSE;
}

void CReplaceTextDlg::UpdateButtons()
{
    const BOOL bEnable = !m_strFind.IsEmpty() && !m_objects.empty();
    for (int nID : kSearchButtons) {
        if (CWnd* pButton = GetDlgItem(nID))
            pButton->EnableWindow(bEnable);
    }
}

void CReplaceTextDlg::ShowCurrentText()
{
    if (m_objects.empty()) {
        SetDlgItemText(IDC_REPLACE_PREVIEW, kNoTextLine);
        return;
    }
    // Line breaks show as blanks, one for one, so that a position in the
    // preview is the same position in the object's text.
    CString strShown = ObjectText(m_nCurrent);
    for (int i = 0; i < strShown.GetLength(); ++i) {
        const char ch = strShown[i];
        if (ch == '\n' || ch == '\r' || ch == '\0')
            strShown.SetAt(i, ' ');
    }
    SetDlgItemText(IDC_REPLACE_PREVIEW, strShown);
}

void CReplaceTextDlg::ShowMatch(int nStart, int nEnd)
{
    ShowCurrentText();
    SetPreviewSel(nStart, nEnd);
}

void CReplaceTextDlg::GetPreviewSel(int& nStart, int& nEnd) const
{
    DWORD dwStart = 0;
    DWORD dwEnd = 0;
    ::SendMessage(::GetDlgItem(m_hWnd, IDC_REPLACE_PREVIEW), EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart),
        reinterpret_cast<LPARAM>(&dwEnd));
    nStart = static_cast<int>(dwStart);
    nEnd = static_cast<int>(dwEnd);
}

void CReplaceTextDlg::SetPreviewSel(int nStart, int nEnd)
{
    SendDlgItemMessage(IDC_REPLACE_PREVIEW, EM_SETSEL, static_cast<WPARAM>(nStart), static_cast<LPARAM>(nEnd));
    SendDlgItemMessage(IDC_REPLACE_PREVIEW, EM_SCROLLCARET, 0, 0);
}

void CReplaceTextDlg::NotFoundMessage()
{
    CString strMessage;
    strMessage.Format(kNotFoundFormat, static_cast<LPCTSTR>(m_strFind));
    AfxMessageBox(strMessage, MB_OK | MB_ICONINFORMATION);
}

// ---- Finding and replacing ---------------------------------------------------------------------------

int CReplaceTextDlg::ResumePosition() const
{
    int nSelStart = 0;
    int nSelEnd = 0;
    GetPreviewSel(nSelStart, nSelEnd);
    switch (m_match.state) {
    case MatchRecord::State::Found:
        if (nSelStart == m_match.nStart && nSelEnd == m_match.nEnd)
            return m_match.nResume;
        break;
    case MatchRecord::State::Replaced:
        if (nSelStart == m_match.nResume && nSelEnd == m_match.nResume)
            return m_match.nResume;
        break;
    case MatchRecord::State::None:
        break;
    }
    if (nSelStart == nSelEnd)
        return 0;
    return std::min(nSelStart, nSelEnd) + m_strFind.GetLength();
}

BOOL CReplaceTextDlg::PreviewShowsRecordedMatch() const
{
    if (m_match.state != MatchRecord::State::Found || m_match.nEnd - m_match.nStart != m_strFind.GetLength())
        return FALSE;
    int nSelStart = 0;
    int nSelEnd = 0;
    GetPreviewSel(nSelStart, nSelEnd);
    if (nSelStart != m_match.nStart || nSelEnd != m_match.nEnd)
        return FALSE;
    // The settings may have changed since it was found.
    return FindInText(ObjectText(m_nCurrent), m_strFind, m_match.nStart, m_bWholeWords, m_bMatchCase) == m_match.nStart;
}

BOOL CReplaceTextDlg::FindNext()
{
    StoreMruEntries();
    if (m_objects.empty())
        CollectTextObjects();
    ReadFields();
    const int nCount = static_cast<int>(m_objects.size());
    if (m_strFind.IsEmpty() || nCount == 0)
        return FALSE;
    if (m_nCurrent < 0 || m_nCurrent >= nCount)
        m_nCurrent = 0;

    int nFrom = ResumePosition();
    const int nFind = m_strFind.GetLength();
    while (m_nCurrent < nCount) {
        const int nPos = FindInText(ObjectText(m_nCurrent), m_strFind, nFrom, m_bWholeWords, m_bMatchCase);
        if (nPos >= 0) {
            m_match = MatchRecord {MatchRecord::State::Found, nPos, nPos + nFind, nPos + nFind};
            ShowMatch(nPos, nPos + nFind);
            if (m_pDoc != nullptr)
                m_pDoc->SetCurrentSurface(m_objects[static_cast<size_t>(m_nCurrent)].nSurface);
            return TRUE;
        }
        m_match = MatchRecord {};
        nFrom = 0;
        if (++m_nCurrent < nCount) {
            ShowCurrentText();
            SetPreviewSel(0, 0);
        }
    }
    m_nCurrent = 0;
    ShowCurrentText();
    SetPreviewSel(0, 0);
    return FALSE;
}

BOOL CReplaceTextDlg::ReplaceRecordedMatch(BOOL bUpdatePreview)
{
    if (m_match.state != MatchRecord::State::Found || m_nCurrent < 0
        || m_nCurrent >= static_cast<int>(m_objects.size()))
        return FALSE;
    CDrawObj* pObj = m_objects[static_cast<size_t>(m_nCurrent)].pObj;
    const CString strOld = pObj->GetText();
    const int nStart = std::clamp(m_match.nStart, 0, strOld.GetLength());
    const int nEnd = std::clamp(m_match.nEnd, nStart, strOld.GetLength());
    const CString strNew = strOld.Left(nStart) + m_strReplace + strOld.Mid(nEnd);

    CObjectAttributes before;
    pObj->GetAttributes(before);
    if (pObj->m_bBlockText)
        pObj->SetText(strNew, TRUE);
    else
        pObj->ReplaceText(nStart, nEnd, m_strReplace);
    const CString strNow = pObj->GetText();
    const BOOL bDone = strNow == strNew;
    // A change that went only part of the way can still be undone.
    if (bDone || strNow != strOld) {
        RecordUndoProperties(m_pDoc, pObj, &before);
        if (m_pDoc != nullptr)
            m_pDoc->SetModifiedFlag(TRUE);
    }
    if (!bDone) {
        m_match = MatchRecord {};
        if (bUpdatePreview)
            ShowCurrentText();
        return FALSE;
    }

    const int nResume = nStart + m_strReplace.GetLength();
    if (bUpdatePreview) {
        SetPreviewSel(nStart, nEnd);
        SendDlgItemMessage(IDC_REPLACE_PREVIEW, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(LPCTSTR(m_strReplace)));
        SetPreviewSel(nResume, nResume);
    }
    m_match = MatchRecord {MatchRecord::State::Replaced, nStart, nResume, nResume};
    m_bNothingReplaced = FALSE;
    return TRUE;
}

BOOL CReplaceTextDlg::CanSearch()
{
    // The command may be sent while its button is disabled: it does nothing
    // then.
    ReadFields();
    return !m_strFind.IsEmpty() && !m_objects.empty();
}

void CReplaceTextDlg::OnFind()
{
    if (!CanSearch())
        return;
    if (!FindNext())
        NotFoundMessage();
}

void CReplaceTextDlg::OnReplace()
{
    if (!CanSearch())
        return;
    if (!PreviewShowsRecordedMatch() && !FindNext()) {
        NotFoundMessage();
        return;
    }
    ReplaceRecordedMatch(TRUE);
}

void CReplaceTextDlg::OnReplaceNext()
{
    if (!CanSearch())
        return;
    if (!FindNext()) {
        NotFoundMessage();
        return;
    }
    ReplaceRecordedMatch(TRUE);
}

void CReplaceTextDlg::OnReplaceAll()
{
    if (!CanSearch())
        return;
    StoreMruEntries();
    CollectTextObjects();
    ReadFields();
    BOOL bFailed = FALSE;
    const int nCount = static_cast<int>(m_objects.size());
    const int nFind = m_strFind.GetLength();
    for (int n = 0; n < nCount && !bFailed && nFind > 0; ++n) {
        m_nCurrent = n;
        BOOL bAny = FALSE;
        // Each search starts behind the text just put in, so a replacement
        // that holds the find string is not found again and every match of
        // the original text is replaced once.
        int nFrom = 0;
        for (;;) {
            const int nPos = FindInText(ObjectText(n), m_strFind, nFrom, m_bWholeWords, m_bMatchCase);
            if (nPos < 0)
                break;
            m_match = MatchRecord {MatchRecord::State::Found, nPos, nPos + nFind, nPos + nFind};
            if (!ReplaceRecordedMatch(FALSE)) {
                bFailed = TRUE;
                break;
            }
            bAny = TRUE;
            nFrom = m_match.nResume;
        }
        // The preview shows the object once its matches are done: drawing
        // each step of a long text would cost its length every time.
        if (bAny) {
            if (m_pDoc != nullptr)
                m_pDoc->SetCurrentSurface(m_objects[static_cast<size_t>(n)].nSurface);
            ShowCurrentText();
            if (m_match.state == MatchRecord::State::Replaced)
                SetPreviewSel(m_match.nResume, m_match.nResume);
        }
    }
    EndDialog(IDOK);
    if (bFailed)
        AfxMessageBox(kReplaceFailed, MB_OK | MB_ICONEXCLAMATION);
    else if (!m_bNothingReplaced)
        AfxMessageBox(kReplaceComplete, MB_OK | MB_ICONINFORMATION);
    else
        NotFoundMessage();
}

void CReplaceTextDlg::OnHelp()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, ID_HELP, 0);
}

// ---- The fields -------------------------------------------------------------------------------------

void CReplaceTextDlg::OnFindEditChange()
{
    m_match = MatchRecord {};
    SetPreviewSel(0, 0);
    ReadFields();
    UpdateButtons();
}

void CReplaceTextDlg::OnFindDropDown() { FillFromMru(m_comboFind, kFindSection); }

void CReplaceTextDlg::OnReplaceDropDown() { FillFromMru(m_comboReplace, kReplaceSection); }

void CReplaceTextDlg::OnFindSelChange()
{
    // While the choice changes the edit still holds the old text.
    const int nSel = m_comboFind.GetSafeHwnd() != NULL ? m_comboFind.GetCurSel() : CB_ERR;
    m_strFind.Empty();
    if (nSel != CB_ERR)
        m_comboFind.GetLBText(nSel, m_strFind);
    m_match = MatchRecord {};
    UpdateButtons();
}
