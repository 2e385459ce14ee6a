#include "text/dialogs/DocTextWalker.h"

#include "platform/base/CharClass.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

CString Lowered(const CString& str)
{
    CString lower(str);
    lower.MakeLower();
    return lower;
}

BOOL IsAllUpper(const CString& str)
{
    CString upper(str);
    upper.MakeUpper();
    return upper == str;
}

BOOL IsAllLower(const CString& str)
{
    return Lowered(str) == str;
}

int FindString(const CStringArray& list, const CString& str)
{
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        if (list[i] == str)
            return int(i);
    }
    return -1;
}

} // namespace

CDocTextWalker::CDocTextWalker() = default;

CDocTextWalker::~CDocTextWalker()
{
    EndRun();
}

int CDocTextWalker::CollectTexts()
{
    return 0;
}

BOOL CDocTextWalker::ReplaceInCurrent(const CString& strReplacement)
{
    (void)strReplacement;
    return FALSE;
}

BOOL CDocTextWalker::SetCurrentText(const CString& strText)
{
    (void)strText;
    return FALSE;
}

BOOL CDocTextWalker::FirstWord()
{
    return FALSE;
}

BOOL CDocTextWalker::NextWord()
{
    return FALSE;
}

void CDocTextWalker::LoadText(const CString& strText)
{
    m_strText = strText;
    m_strLower = Lowered(strText);
    m_nWordStart = 0;
    m_nWordEnd = 0;
    m_bTextLoaded = TRUE;
}

void CDocTextWalker::TakeChangedText(const CString& strText, int nResume)
{
    m_strText = strText;
    m_strLower = Lowered(strText);
    m_nWordEnd = std::clamp(nResume, 0, m_strText.GetLength());
    m_nWordStart = std::min(m_nWordStart, m_nWordEnd);
}

BOOL CDocTextWalker::ParseNextWord()
{
    const int nLength = m_strLower.GetLength();
    if (m_nWordEnd >= nLength) {
        m_bTextLoaded = FALSE;
        return FALSE;
    }
    if (m_wordBuffer.size() < size_t(nLength) + 1)
        m_wordBuffer.resize(size_t(nLength) + 1);
    m_wordBuffer[0] = '\0';
    int nStart = m_nWordEnd;
    int nEnd = m_nWordEnd;
    const int nFound = StParseLine(m_strLower, m_wordBuffer.data(), &nStart, &nEnd, nLength);
    // A word must lie in the text behind the previous one, or the walk
    // could stand still.
    if (nFound <= 0 || nStart < m_nWordEnd || nStart >= nEnd || nEnd > nLength) {
        m_bTextLoaded = FALSE;
        return FALSE;
    }
    m_nWordStart = nStart;
    m_nWordEnd = nEnd;
    m_strWord = m_strText.Mid(nStart, nEnd - nStart);
    return TRUE;
}

SpellVerdict CDocTextWalker::CheckWord()
{
    const CString strLower = Lowered(m_strWord);
    if (FindString(m_ignore, strLower) >= 0)
        return SpellVerdict::Continue;
    const int nChange = FindString(m_changeFrom, strLower);
    if (nChange >= 0) {
        ReplaceInCurrent(m_changeTo[nChange]);
        return SpellVerdict::Continue;
    }
    switch (SpellDict(strLower, strLower.GetLength(), 1)) {
    case 1:
        return SpellVerdict::Continue;
    case 0:
        std::memset(m_result, 0, sizeof m_result);
        StLoadResult(m_result);
        m_nNextSuggestion = 0;
        return SpellVerdict::Unknown;
    default:
        // -1, and any answer the library should never give: the check
        // cannot go on, and the user must not read that it is complete.
        return SpellVerdict::Error;
    }
}

void CDocTextWalker::IgnoreAll()
{
    const CString strLower = Lowered(m_strWord);
    if (FindString(m_ignore, strLower) < 0)
        m_ignore.Add(strLower);
}

void CDocTextWalker::RememberChange(const CString& strReplacement)
{
    const CString strLower = Lowered(m_strWord);
    if (FindString(m_changeFrom, strLower) >= 0)
        return;
    m_changeFrom.Add(strLower);
    m_changeTo.Add(Lowered(strReplacement));
}

void CDocTextWalker::AddToDictionary()
{
    if (m_strWord.IsEmpty())
        return;
    ToUserDict(Lowered(m_strWord));
}

void CDocTextWalker::EndRun()
{
    if (m_bRunEnded)
        return;
    m_bRunEnded = TRUE;
    StResetUserDict(0, 0);
    m_changeFrom.RemoveAll();
    m_changeTo.RemoveAll();
    m_ignore.RemoveAll();
}

int CDocTextWalker::GetSuggestionCount() const
{
    const unsigned char* p = m_result + kSpellResultCountOffset;
    const int32_t nCount = int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    return std::clamp<int32_t>(nCount, 0, kSpellResultMaxSlots);
}

CString CDocTextWalker::GetSuggestion(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetSuggestionCount())
        return CString();
    const char* pSlot = reinterpret_cast<const char*>(m_result + kSpellResultFirstSlot + nIndex * kSpellResultSlotSize);
    const void* pNul = std::memchr(pSlot, '\0', kSpellResultSlotSize);
    const int nLength = pNul != nullptr ? int(static_cast<const char*>(pNul) - pSlot) : kSpellResultSlotSize;
    return CString(pSlot, nLength);
}

BOOL CDocTextWalker::GetNextSuggestion(CString& rSuggestion)
{
    while (m_nNextSuggestion < GetSuggestionCount()) {
        rSuggestion = GetSuggestion(m_nNextSuggestion++);
        if (!rSuggestion.IsEmpty())
            return TRUE;
    }
    return FALSE;
}

CString CDocTextWalker::MatchCase(const CString& strReplacement, const CString& strReplaced)
{
    CString strResult(strReplacement);
    if (IsAllUpper(strReplacement))
        return strResult;
    if (IsAllUpper(strReplaced)) {
        strResult.MakeUpper();
        return strResult;
    }
    if (IsAllLower(strReplaced)) {
        strResult.MakeLower();
        return strResult;
    }
    if (strResult.IsEmpty() || strReplaced.IsEmpty())
        return strResult;
    const char chFirst = strReplaced[0];
    if (IsCharUpper(chFirst))
        strResult.SetAt(0, char(platform::ToUpper1252(static_cast<unsigned char>(strResult[0]))));
    else if (IsCharLower(chFirst))
        strResult.SetAt(0, char(platform::ToLower1252(static_cast<unsigned char>(strResult[0]))));
    return strResult;
}
