#pragma once
// CSpellChecker: the spelling check of a design. It collects the texts of
// every surface in order (the wrapped and block texts of the objects in
// list order, and the day cells of calendar grids that have any text),
// walks their words and, unless told to collect only, runs the Check
// Spelling dialog on them at once. It lives on the stack of the command:
// when the constructor returns the dialog has closed and the run has ended.
//
// A change goes into the object's own text at the word's place (wrapped
// text keeps its runs), as one undo step of the object's properties,
// recorded with the object's surface current so that undo finds it.

#include "text/dialogs/DocTextWalker.h"

#include <vector>

class CDrawDoc;
class CDrawObj;

class CSpellChecker : public CDocTextWalker {
public:
    enum class Mode { RunDialog, CollectOnly };

    // Collects the design's texts and, with Mode::RunDialog, checks them
    // in the Check Spelling dialog before it returns.
    explicit CSpellChecker(CDrawDoc* pDoc, Mode mode = Mode::RunDialog);
    ~CSpellChecker() override;

    int CollectTexts() override;
    BOOL ReplaceInCurrent(const CString& strReplacement) override;
    BOOL SetCurrentText(const CString& strText) override;
    BOOL FirstWord() override;
    BOOL NextWord() override;

    // What was collected, in walk order.
    int GetObjectCount() const { return int(m_objects.size()); }
    CDrawObj* GetObject(int nIndex) const;
    // Cells of the object: 0 for an object's own text.
    int GetCellCount(int nIndex) const;

    // The current object and cell (0-based; cell n is the calendar's cell
    // numbered n + 1).
    int GetCurrentObject() const { return m_nCurrent; }
    int GetCurrentCell() const { return m_nCell; }

    // The cells a calendar grid has for the spelling check: those of its
    // day, week or month kind; 0 for the year kind and anything that is
    // not a calendar grid.
    static int CalendarCellCount(CDrawObj* pObj);

private:
    struct Entry {
        CDrawObj* pObj;
        int nSurface;
        int nCells;
    };

    // The current object's text now (its own, or its current cell's).
    CString CurrentObjectText() const;
    void RunDialog();

    CDrawDoc* m_pDoc;
    std::vector<Entry> m_objects;
    int m_nCurrent = 0;
    int m_nCellCount = 0;
    int m_nCell = 0;
};
