#pragma once
// Small services used across the program: the list of TrueType fonts
// offered to the user, the start-up platform check, window placement kept
// in the profile, the design-file filter, profile colours, text
// replacement, dialog controls shown and enabled together, a scale-to-fit
// factor and the preview-capability test.

#include "platform/base/Arrays.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/ObArray.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/base/UiRecords.h"

class CDialog;
class CDocTemplate;
class CWnd;

// One enumerated TrueType font.
class CFontEntry : public CObject {
public:
    enum : BYTE { kItalic = 1, kBold = 2, kBoldItalic = 4 };

    CFontEntry(BYTE style, const LOGFONT& logFont) : m_style(style), m_logFont(logFont) { }

    BYTE m_style;
    BYTE m_reserved = 0;
    LOGFONT m_logFont;
};

// The fonts offered to the user, in enumeration order. Owns its entries.
class CFontList {
public:
    CFontList() = default;
    ~CFontList();
    CFontList(const CFontList&) = delete;
    CFontList& operator=(const CFontList&) = delete;

    int GetCount() const { return static_cast<int>(m_entries.GetSize()); }
    CFontEntry* GetAt(int i) const { return static_cast<CFontEntry*>(m_entries.GetAt(i)); }
    void RemoveAll();

    CObArray m_entries;
    BOOL m_bReceivedAny = FALSE; // a TrueType font came, even if filtered out
};

// EnumFontFamilies callback; lParam is the CFontList. Keeps TrueType fonts
// only and, when the preferences ask for the program's own display fonts,
// only those; never a face holding "," or ")". Always continues.
int CALLBACK EnumTrueTypeFontProc(const LOGFONT* pLogFont, const TEXTMETRIC* pMetric, DWORD dwFontType, LPARAM lParam);
// Whether the face is one of the program's own display fonts (without case).
BOOL IsOwnDisplayFont(LPCTSTR lpszFaceName);

// Platform values.
enum : int { kPlatformWin32s = 0, kPlatformCurrent = 1, kPlatformOldNT = 2, kPlatformUnknown = 3 };
// The running system is always supported: kPlatformCurrent. With bDescribe
// strDescription is "<system> version <major>.<minor> build <n> <machine>",
// else it is emptied.
int GetPlatform(CString& strDescription, BOOL bDescribe);

// The placement as profile text "flags,show,(minx,miny),(l,t,r,b)" under
// the section named by string nSectionID; removed when it cannot be read.
void SaveWindowPlacement(CWnd* pWnd, UINT nSectionID, LPCTSTR lpszValue);
// The stored placement when its text holds all eight numbers; otherwise
// the window's current placement with nShowCmd, and *pbDefaulted set. The
// maximised position always comes from the current placement.
void LoadWindowPlacement(CWnd* pWnd, UINT nSectionID, LPCTSTR lpszValue, WINDOWPLACEMENT* pPlacement, int nShowCmd,
    BOOL* pbDefaulted);
// The fields of a placement text read as the format reads them: how many
// of the eight were read before the text stopped matching.
int ParsePlacementText(LPCTSTR lpszText, WINDOWPLACEMENT& placement);
CString FormatPlacementText(const WINDOWPLACEMENT& placement);

// Open/save filter of the application's design templates, '|'-separated
// as the file dialogs take it: "All Designs|*.a;*.b|A (*.a)|*.a|B (*.b)|*.b||".
// pSelect's extension (without the dot) becomes the default and its entry's
// position (counting from 1, "All Designs" being 1) the filter index.
void BuildDesignFileFilter(CString& strFilter, CString& strDefaultExt, CDocTemplate* pSelect, int& nFilterIndex);
void AppendFilterSuffix(CString& strFilter, CDocTemplate* pTemplate, CString* pstrDefaultExt, BOOL bSelect,
    int* pnFilterIndex);

// A colour kept as three numbers under "<key>-R", "<key>-G" and "<key>-B";
// each component is clamped to 0..255 when read.
COLORREF GetProfileColor(LPCTSTR lpszSection, LPCTSTR lpszKey, COLORREF crDefault);
void WriteProfileColor(LPCTSTR lpszSection, LPCTSTR lpszKey, COLORREF crColor);

// Removes nCount characters at nStart (-1: to the end); a negative start
// or one past the end removes nothing.
void DeleteSpan(CString& str, int nStart, int nCount);
void ReplaceAllInString(CString& str, const CString& strOld, const CString& strNew);
void ReplaceAll(CString& str, LPCTSTR lpszOld, LPCTSTR lpszNew);

// Shows or hides and enables or disables a dialog's control; a control
// being hidden hands the focus to the next tab item first.
void ShowDialogControl(CDialog* pDialog, int nID, BOOL bShow, BOOL bEnable);

// The factor that shrinks rcA to fit inside rcB (1 / the larger of the
// width and height ratios), or that ratio itself with bInverse. 1.0 when
// either rectangle is empty.
double ScaleToFit(const RECT& rcA, const RECT& rcB, BOOL bInverse);

// Previews need a screen of more than 16 colours and a processor better
// than the one recorded as "386" under Application\Processor.
BOOL IsPreviewCapableMachine();
void DisablePreviewsIfWeak();

// The save dialog for a design, starting in lpszFolder (the current folder
// when null); the current drive is restored afterwards. FALSE on Cancel.
BOOL PromptSaveFileName(CString& strPath, LPCTSTR lpszDefaultName, LPCTSTR lpszFilter, LPCTSTR lpszFolder,
    CWnd* pParent);
