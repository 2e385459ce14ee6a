#pragma once
// CDCStateSaver: saves a DC's state where drawing code begins and puts it
// back when the code leaves, by any way out (an exception included).
//
// The saver restores with RestoreDC and then sets the viewport extent it saw
// at construction again. While printing, a restore that fails is a lost
// page: callers that print set the error mark, and such a failure then sets
// g_bPrintError for the print loop instead.

#include "platform/base/Types.h"

class CDC;

// Set when restoring a printing DC failed under a marked saver; the print
// loop reads and clears it.
extern BOOL g_bPrintError;

class CDCStateSaver {
public:
    // Throws CResourceException when the state cannot be saved.
    explicit CDCStateSaver(CDC* pDC);
    ~CDCStateSaver();

    CDCStateSaver(const CDCStateSaver&) = delete;
    CDCStateSaver& operator=(const CDCStateSaver&) = delete;

    void SetErrorMark(BOOL bMark) { m_bErrorMark = bMark; }
    BOOL GetErrorMark() const { return m_bErrorMark; }
    int GetSavedId() const { return m_nSavedDC; }

private:
    int m_nSavedDC = 0;
    CDC* m_pDC;
    SIZE m_sizeViewportExt{1, 1};
    BOOL m_bErrorMark = FALSE;
};
