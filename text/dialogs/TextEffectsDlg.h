#pragma once
// CTextEffectsDlg: where the user types the text of a block-text object and
// sets how it looks: font, size, style, alignment, a colour, gradient or
// picture fill, border, shadow, warp shape and columns.
//
// The caller binds the dialog to an object and its attribute record
// (SetObject) and runs it. OK writes the record and applies it to the
// object in one undo step (none for an object not yet on a surface, whose
// maker records its creation); the record then describes the object as it
// is afterwards, so applying it again changes nothing. Cancel leaves both
// alone. Without an object the dialog only fills the record. A line object
// opens with every text control disabled. The dialog owns its texture
// picture and its pickers (the pickers delete themselves with their
// windows).
//
// The text is at most kMaxTextLength characters; inside the dialog lines
// end in CR LF, in the record in LF alone.

#include "controls/ColorButton.h"
#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

#include <memory>

class CDrawDoc;
class CDrawObj;
class CFontEntry;
class CFontList;
class CGridPicker;
class CImage;
class CObjectAttributes;

class CTextEffectsDlg : public CDialog {
public:
    enum FillKind : int { FillColor = 0, FillGradient = 1, FillPicture = 2 };
    enum TileMode : int { TileRepeat = 0, TileFit = 1 };
    static constexpr int kMaxTextLength = 10240;
    // A gradient or picture fill on a longer text draws slowly; the user is
    // told so.
    static constexpr int kFillWarningLength = 30;
    static constexpr int kMaxColumns = 5;
    static constexpr int kShapeCount = 16;
    static constexpr int kAlignmentCount = 4;
    static constexpr int kStyleToggles = 4;
    // The size when a fixed size is needed and the font gives none.
    static constexpr int kFallbackSize = 12;

    // With bApplyImmediately the dialog applies default values as soon as
    // it is up and closes with OK.
    explicit CTextEffectsDlg(CWnd* pParent = NULL, BOOL bApplyImmediately = FALSE);
    ~CTextEffectsDlg() override;

    // Loads the dialog from the record and the object (either may be NULL)
    // before DoModal. bNoColor shows the text colour as none (-1). The
    // document receives OK's undo step; NULL takes the object's. bCallerFlag
    // is kept for the caller.
    void SetObject(CDrawObj* pObject, CObjectAttributes* pAttrs, BOOL bNoColor, CDrawDoc* pDoc,
        BOOL bCallerFlag = FALSE);

    // The stored text (LF line ends) shown in the edit: form feeds and CRs
    // go, every LF becomes CR LF.
    static CString TextForEdit(const CString& strStored);
    // The edit's text stored: CR LF becomes LF; any other CR goes.
    static CString TextForRecord(const CString& strEdit);

    // The alignment new text takes; it outlives every dialog.
    static int GetSharedAlignment() { return s_nSharedAlignment; }
    static void SetSharedAlignment(int nAlignment);

    // What the dialog holds (after OK: what it wrote).
    const CString& GetText() const { return m_strText; }
    int GetSize() const { return m_nSize; }
    int GetShape() const { return m_nShape; }
    int GetColumns() const { return m_nColumns; }
    int GetFillKind() const { return m_nFillKind; }
    int GetAlignment() const { return m_nAlignment; }
    BOOL IsChanged() const { return m_bChanged; }
    BOOL GetCallerFlag() const { return m_bCallerFlag; }
    const CImage* GetTexture() const { return m_pTexture.get(); }
    // The texture becomes a copy of the picture (NULL: none). For callers
    // that already hold the picture, and for tests.
    void SetTexture(const CImage* pImage);
    // Columns that may not be changed disable "Columns...".
    BOOL m_bLockedColumns = FALSE;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnImport();
    afx_msg void OnInsertField();
    afx_msg void OnSpecialChar();
    afx_msg void OnFontChange();
    afx_msg void OnSizeChange();
    afx_msg void OnStyleToggle();
    afx_msg void OnAlignChange();
    afx_msg void OnFillKind();
    afx_msg void OnTextColor();
    afx_msg void OnGradient();
    afx_msg void OnSelectTexture();
    afx_msg void OnTile();
    afx_msg void OnColumns();
    afx_msg void OnBorder();
    afx_msg void OnShadow();
    afx_msg void OnShadowColor();
    afx_msg void OnShape();
    afx_msg void OnShapeChange();
    afx_msg void OnTextChange();
    afx_msg void OnHelp();
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void CreatePickers();
    void EnableFillControls();
    void EnableShapeControls();
    void DisableTextControls();
    void FillSizeList();
    void FillFontList();
    // The size the list's selection says: 0 for "Auto"; unchanged without
    // a selection.
    int ReadSizeList() const;
    void ReadToggles();
    int ReadFillKind() const;
    // Rebuilds the sample's and the edit's fonts from the controls.
    void UpdatePreview();
    // The font list entry of the face; NULL when the list has none.
    const CFontEntry* FindFace(const CString& strFace) const;
    LOGFONT PreviewLogFont(int nHeight) const;
    // Steps 1 to 3 of OK: the font, the texture and the fill warning.
    BOOL Validate();
    // Writes the record and the object.
    void Apply();
    // Columns changed from one to several (or back): the shape goes (or
    // comes back).
    void ColumnsChanged(int nOld, int nNew);
    // Replaces the edit's characters nStart..nEnd, leaving the caret after
    // the new text.
    void ReplaceEditSelection(int nStart, int nEnd, const CString& strText);
    void SetItemEnabled(int nID, BOOL bEnable);
    BOOL IsItemChecked(int nID) const;

    CFontList& Fonts();

    // Values.
    CString m_strText;
    LOGFONT m_lf{};
    int m_nSize = 0;
    BOOL m_bAutoSize = FALSE;
    BOOL m_bBold = FALSE;
    BOOL m_bItalic = FALSE;
    BOOL m_bUnderline = FALSE;
    BOOL m_bStrikeOut = FALSE;
    COLORREF m_crText = 0;
    BOOL m_bShadow = FALSE;
    COLORREF m_crShadow = RGB(128, 128, 128);
    short m_nShadowX = 2;
    short m_nShadowY = 2;
    int m_nAlignment = 0;
    int m_nShape = 0;
    int m_nColumns = 1;
    int m_nFillKind = FillColor;
    int m_nTile = TileRepeat;
    BOOL m_bChanged = FALSE;
    // The shape and auto size put aside while the text has several columns.
    int m_nSavedShape = 0;
    BOOL m_bSavedAutoSize = FALSE;

    // Binding.
    BOOL m_bApplyImmediately = FALSE;
    CDrawObj* m_pObject = NULL;        // not owned
    CObjectAttributes* m_pAttrs = NULL; // not owned
    CDrawDoc* m_pDoc = NULL;           // not owned
    BOOL m_bNoColor = FALSE;
    BOOL m_bCallerFlag = FALSE;
    BOOL m_bLineObject = FALSE;
    BOOL m_bObjectHasText = FALSE;
    BOOL m_bInitialising = FALSE;
    std::unique_ptr<CImage> m_pTexture;
    // Used when the application keeps no font list of its own.
    std::unique_ptr<CFontList> m_pOwnFonts;

    // Controls.
    CGridPicker* m_pShapePicker = NULL;
    CGridPicker* m_pAlignPicker = NULL;
    CGridPicker* m_pStyles[kStyleToggles] = {};
    CEdit m_editText;
    CComboBox m_comboFont;
    CListBox m_listSize;
    CColorButton m_btnTextColor;
    CColorButton m_btnShadowColor;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;
    CFont m_fontSample;
    CFont m_fontEdit;

    static int s_nSharedAlignment;
};

// Runs Text Effects on a block-text object and its record. An object
// without text first takes the preferences' default text format. TRUE on
// OK: the record is changed and the object already set from it, with its
// undo step recorded (pDoc, else the object's document).
BOOL EditTextEffects(CDrawObj& obj, CObjectAttributes& attrs, CWnd* pParent, CDrawDoc* pDoc);
