#include "text/dialogs/SpellChecker.h"

#include "calendar/CalendarLayout.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "surface/Surface.h"
#include "text/dialogs/SpellCheckDlg.h"

#include <algorithm>
#include <memory>

namespace {

// The calendar kind of a grid; -1 for an object that is not one.
int CalendarKind(CDrawObj* pObj)
{
    if (pObj == nullptr || !pObj->IsKindOf(RUNTIME_CLASS(CDrawRect)) || !pObj->IsCalendar())
        return -1;
    return int(static_cast<CDrawRect*>(pObj)->m_nCalendarWords[1]);
}

} // namespace

CSpellChecker::CSpellChecker(CDrawDoc* pDoc, Mode mode)
    : m_pDoc(pDoc)
{
    CollectTexts();
    switch (mode) {
    case Mode::RunDialog:
        RunDialog();
        break;
    case Mode::CollectOnly:
        break;
    }
}

CSpellChecker::~CSpellChecker() = default;

int CSpellChecker::CalendarCellCount(CDrawObj* pObj)
{
    const int nKind = CalendarKind(pObj);
    switch (nKind) {
    case CALENDAR_DAY:
    case CALENDAR_WEEK:
    case CALENDAR_MONTH:
        return GetCalendarCellCount(nKind, DWORD(static_cast<CDrawRect*>(pObj)->m_nCalendarStart));
    default:
        return 0;
    }
}

int CSpellChecker::CollectTexts()
{
    m_objects.clear();
    if (m_pDoc == nullptr)
        return 0;
    for (int nSurface = 0; CSurface* pView = m_pDoc->GetSurfaceView(nSurface); ++nSurface) {
        const CObList& objects = pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
            auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
            if (pObj == nullptr)
                continue;
            if (pObj->IsCalendar()) {
                const int nCells = CalendarCellCount(pObj);
                const int nKind = CalendarKind(pObj);
                for (int nCell = 1; nCell <= nCells; ++nCell) {
                    if (!pObj->GetCellText(nKind, nCell).IsEmpty()) {
                        m_objects.push_back({pObj, nSurface, nCells});
                        break;
                    }
                }
            } else if (pObj->HasText() && !pObj->GetText().IsEmpty()) {
                m_objects.push_back({pObj, nSurface, 0});
            }
        }
    }
    return int(m_objects.size());
}

CDrawObj* CSpellChecker::GetObject(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetObjectCount() ? m_objects[size_t(nIndex)].pObj : nullptr;
}

int CSpellChecker::GetCellCount(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetObjectCount() ? m_objects[size_t(nIndex)].nCells : 0;
}

CString CSpellChecker::CurrentObjectText() const
{
    CDrawObj* pObj = GetObject(m_nCurrent);
    if (pObj == nullptr)
        return CString();
    if (m_nCellCount > 0)
        return pObj->GetCellText(CalendarKind(pObj), m_nCell + 1);
    return pObj->GetText();
}

BOOL CSpellChecker::FirstWord()
{
    m_nCurrent = 0;
    m_nCell = 0;
    m_nCellCount = GetCellCount(0);
    m_bTextLoaded = FALSE;
    return NextWord();
}

BOOL CSpellChecker::NextWord()
{
    while (m_nCurrent < GetObjectCount()) {
        if (!m_bTextLoaded)
            LoadText(CurrentObjectText());
        if (ParseNextWord())
            return TRUE;
        if (m_nCellCount > 0 && ++m_nCell < m_nCellCount)
            continue;
        ++m_nCurrent;
        m_nCell = 0;
        m_nCellCount = GetCellCount(m_nCurrent);
    }
    return FALSE;
}

BOOL CSpellChecker::ReplaceInCurrent(const CString& strReplacement)
{
    CDrawObj* pObj = GetObject(m_nCurrent);
    if (pObj == nullptr || m_pDoc == nullptr)
        return FALSE;
    // The object's own text, not the copy being parsed or the one the
    // dialog shows: only the word's place is taken from the parse.
    const CString strOld = CurrentObjectText();
    const int nStart = std::clamp(m_nWordStart, 0, strOld.GetLength());
    const int nEnd = std::clamp(m_nWordEnd, nStart, strOld.GetLength());
    const CString strNew = MatchCase(strReplacement, strOld.Mid(nStart, nEnd - nStart));

    // The undo step finds its object on the surface that is current when
    // it is recorded.
    const int nSurface = m_objects[size_t(m_nCurrent)].nSurface;
    if (m_pDoc->GetCurrentSurfaceNumber() != nSurface)
        m_pDoc->SetCurrentSurface(nSurface);
    RecordUndoProperties(m_pDoc, pObj);

    if (m_nCellCount == 0 && pObj->HasWrappedText()) {
        pObj->ReplaceText(nStart, nEnd, strNew);
    } else {
        SetCurrentText(strOld.Left(nStart) + strNew + strOld.Mid(nEnd));
    }
    // The text may refuse a change that would pass its limit: parsing
    // then goes on behind the word as it stands.
    const CString strResult = CurrentObjectText();
    TakeChangedText(strResult, nEnd + strResult.GetLength() - strOld.GetLength());

    pObj->Invalidate();
    m_pDoc->SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CSpellChecker::SetCurrentText(const CString& strText)
{
    CDrawObj* pObj = GetObject(m_nCurrent);
    if (pObj == nullptr)
        return FALSE;
    if (m_nCellCount > 0)
        pObj->SetCellText(CalendarKind(pObj), m_nCell + 1, strText);
    else
        pObj->SetText(strText, !pObj->HasWrappedText());
    return TRUE;
}

void CSpellChecker::RunDialog()
{
    // The main window is there whether the design shows in a frame or
    // not; with none the dialog takes the active window.
    auto pDlg = std::make_unique<CSpellCheckDlg>(this, AfxGetMainWnd());
    SetDialog(pDlg.get());
    pDlg->DoModal();
    SetDialog(nullptr);
    EndRun();
}
