#pragma once
// The text format panel: font, size, colour, style and alignment of the
// selected text object at one click, shown by the tool pad for a selected
// text and by the Font Properties dialog.
//
// Every control acts at once through ApplyCommand: one undo step, the
// object's attribute record changed in the one field the control stands
// for, the record applied. Block text takes the whole record; wrapped text
// takes only the one change, on the characters selected in its editor (the
// whole text when none are), so that its other formatting stays as it was.

#include "controls/ColorButton.h"
#include "platform/framework/Controls.h"
#include "platform/gdi/GdiObject.h"
#include "surface/ToolpadPanel.h"

class CDrawObj;
class CObjectAttributes;
class CPicButton;
class CSurface;
class CWrapText;

class CTextFormatPanel : public CToolPadPanel {
    DECLARE_DYNAMIC(CTextFormatPanel)
public:
    static constexpr UINT kPanelId = 31002;
    // The "How Do I?" menus: block text, and the short one of wrapped text.
    static constexpr UINT kBlockTextMenu = 694;
    static constexpr UINT kWrappedTextMenu = 722;

    // Control ids (the picture buttons carry their normal picture's id).
    enum : UINT {
        kFontCombo = 1102,
        kSizeCombo = 1103,
        kColorButton = 1120,
        kTitle = 1144,
        kBold = 1140,
        kItalic = 1138,
        kUnderline = 1136,
        kStrikeout = 1135,
        kAlignLeft = 1132,
        kAlignRight = 1128,
        kAlignCenter = 1130,
        kJustify = 1125,
    };
    // The style and alignment buttons in the order of their fields: Bold,
    // Italic, Underline, Strikeout; then alignments 0..3.
    static const UINT kStyleButtons[4];
    static const UINT kAlignButtons[4];
    // No alignment shown.
    static constexpr int kNoAlignment = 4;
    static constexpr LPCTSTR kAutoText = "Auto";

    CTextFormatPanel();
    ~CTextFormatPanel() override;

    // Creates the panel window hidden as child kPanelId of pParent, fills
    // both lists and shows the active view's one selected object.
    BOOL Create(CWnd* pParent, const CRect& rect);

    // The one selected object of the view, when there is one.
    void UpdateFromView(CSurface* pView) override;
    // Shows the text format of an object that holds text; others change
    // nothing.
    void UpdateFromObject(CDrawObj* pObj);
    // Acts for control nID on the active view's one selected text object;
    // nothing when the selection is no longer that.
    void ApplyCommand(UINT nID);
    // The record ApplyCommand applies for control nID, read from pObj and
    // changed as the control says (the preferences' default text format
    // follows a face, size or colour). The colour is -1 (unchanged) unless
    // the colour button asks; for wrapped text every font field the
    // control does not change is neutral (weight 400, no italic, underline
    // or strikeout, empty face, height 0). FALSE when the control asks for
    // nothing (no face or size chosen) or pObj holds no text.
    BOOL MakeCommandRecord(CDrawObj* pObj, UINT nID, CObjectAttributes& attrs);

    void FillSizeList();
    void FillFontList();

    UINT GetHowDoIMenu() const override;

    // In a dialog the focus stays on the panel's control after a command
    // instead of going back to the view, which the dialog has disabled.
    void SetFocusStaysInPanel(BOOL bStays) { m_bFocusStays = bStays; }

    // What the panel shows now.
    BOOL IsStyleOn(int nIndex) const { return nIndex >= 0 && nIndex < 4 && m_bStyleOn[nIndex]; }
    int GetAlignmentShown() const { return m_nAlignment; }
    BOOL IsAutoOffered() const { return m_bAutoOffered; }
    CString GetSizeText() const;
    CString GetFaceText() const;

    CComboBox m_fontCombo;
    CComboBox m_sizeCombo;
    CColorButton m_colorButton;

protected:
    BOOL OnCreatePanel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Shows button nIndex of the eight (styles 0..3, alignments 4..7) on or
    // off, repainting it when that changes.
    void ShowButtonOn(int nIndex, BOOL bOn);
    CPicButton* ButtonAt(int nIndex) const;
    // The pressed states and the alignment shown for the record.
    void ShowStyles(const CObjectAttributes& attrs);
    void ShowSize(const CObjectAttributes& attrs, BOOL bFitted);
    // Writes the change of control nID into the record (see ApplyCommand).
    BOOL EditRecord(UINT nID, CObjectAttributes& attrs, BOOL bBlockText);
    void ApplyRecord(CDrawObj* pObj, CObjectAttributes& attrs, UINT nID, COLORREF crOwnBlockColor);

    CFont m_font;
    CPicButton* m_pButtons[8] = {};
    BOOL m_bStyleOn[4] = {};
    int m_nAlignment = kNoAlignment;
    CString m_strFaceShown;
    CString m_strSizeShown;
    BOOL m_bAutoOffered = TRUE;
    BOOL m_bFitted = FALSE;   // the size list holds "Auto" alone
    BOOL m_bBlockShown = TRUE;
    BOOL m_bFocusStays = FALSE;
    BOOL m_bUpdating = FALSE;
};

// Gives characters nFirst..nLast of a wrapped text what a record of neutral
// fields asks for: its face when not empty, its size when not 0, the style
// bits it sets (weight 700, italic, underline, strikeout) added to each
// character's own, and its colour unless -1. Everything else of every
// character stays. A range covering the whole text (or an empty text) also
// changes the text's defaults, which new characters take.
void ApplyRecordToWrapRange(CWrapText& text, const CObjectAttributes& attrs, int nFirst, int nLast);

// Makes the text format panel (created hidden) as a child of pParent at
// rect; NULL when its window cannot be made.
CToolPadPanel* CreateTextFormatPanel(CWnd* pParent, const CRect& rect);
