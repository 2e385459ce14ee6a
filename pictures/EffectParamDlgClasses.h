#pragma once
// The parameter dialogs of Picture Studio. RunEffectParamDialog
// (EffectParamDlgs.h) is the way in; the classes are here for it and for
// tests.
//
// Each dialog is run modally with the active window (Studio) as its owner,
// sits over the owner's preview group when the owner has one, and tells the
// owner about each usable value at once with WM_EFFECT_PREVIEW; set-up
// itself sends nothing, except Underlay's first look at its path. On OK a
// dialog keeps its answer in m_nFirst, m_nSecond and m_strText, with every
// number outside the bounds its effect accepts replaced by that effect's
// neutral value; whatever the user typed, the answer is in bounds.

#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

#include <optional>

class CEffectParamDlg : public CDialog {
public:
    CEffectParamDlg(UINT nIDTemplate, int nEntry, CWnd* pParent = NULL);

    // Up and Down on a focused spin button step it by one; Left and Right on
    // a focused slider step it by a tenth of its range (at least 1) and the
    // value goes to the owner as a slider move would send it.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    int m_nEntry;
    // The answer, valid after OK.
    int m_nFirst = 0;
    int m_nSecond = 0;
    CString m_strText;

protected:
    BOOL OnInitDialog() override;

    // Sends the notice to the owner; nothing while set-up runs.
    void SendPreview(int nFirst, int nSecond, const CString& strText = CString());
    // Gives an edit, its spin button and its slider the range and the
    // starting value (the edit shows it).
    void SetUpValue(int nEditID, int nSpinID, int nSliderID, int nMin, int nMax, int nStart);
    // The whole number in the edit; FALSE for anything else.
    BOOL ReadValue(int nEditID, int& nValue) const;
    // The edit's whole number, or nothing when it holds none.
    std::optional<int> ReadNumber(int nEditID) const;
    // The edit's number when it lies in [nMin, nMax], else nFallback.
    int ReadClamped(int nEditID, int nMin, int nMax, int nFallback) const;
    BOOL IsInRange(int nEditID, int nSliderID, int& nValue) const;

    // A value changed (typed, stepped or slid): the dialog sends its notice.
    virtual void OnValuesChanged() = 0;
    // The first (0) or second (1) edit changed; the base moves the slider.
    virtual void OnEditChanged(int nWhich);

    afx_msg void OnEditChange1();
    afx_msg void OnEditChange2();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

    BOOL m_bSettingUp = TRUE;

private:
    void PlaceOverOwner();

    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
};

// One value with an edit, a spin button and a slider: Blur, Gamma Correct,
// the halftones, Median, Mosaic, Posterize, Sharpen and Shear.
class CSingleValueEffectDlg : public CEffectParamDlg {
public:
    CSingleValueEffectDlg(int nEntry, CWnd* pParent = NULL);
    // FALSE for an entry that has no one-value dialog.
    static BOOL HandlesEntry(int nEntry);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnValuesChanged() override;
    afx_msg void OnCheck();
    DECLARE_MESSAGE_MAP()
};

// Two values: Brightness/Contrast, Hue/Saturation, Resample and Resize.
// The sizes of Resample and Resize start at the picture's size; with "Keep
// Aspect" on, changing one recomputes the other from the starting
// proportions.
class CDoubleValueEffectDlg : public CEffectParamDlg {
public:
    CDoubleValueEffectDlg(int nEntry, int nPicWidth, int nPicHeight, CWnd* pParent = NULL);
    static BOOL HandlesEntry(int nEntry);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnValuesChanged() override;
    void OnEditChanged(int nWhich) override;

private:
    int m_nPicWidth;
    int m_nPicHeight;
    double m_dAspect = 1.0; // width / height at the start
    BOOL m_bKeepingAspect = FALSE;
};

// Add Noise: a level 0..100 and the colour channel it goes into.
class CAddNoiseDlg : public CEffectParamDlg {
public:
    explicit CAddNoiseDlg(CWnd* pParent = NULL);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnValuesChanged() override;
    afx_msg void OnChannel();
    DECLARE_MESSAGE_MAP()
};

// Emboss: one of eight light directions (0 = N, clockwise) and a depth.
class CEmbossDlg : public CEffectParamDlg {
public:
    explicit CEmbossDlg(CWnd* pParent = NULL);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnValuesChanged() override;
    afx_msg void OnDirection(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    int Direction() const;
};

// Underlay: a picture file put under the picture, tiled or stretched. The
// combo box offers the five paths used last (profile section "Underlay",
// values MRU0..MRU4, newest first).
class CUnderlayDlg : public CEffectParamDlg {
public:
    explicit CUnderlayDlg(CWnd* pParent = NULL);

    static constexpr int kRecentCount = 5;
    static constexpr int kMaxPath = 255;
    // The recent paths, newest first; empty slots are empty strings.
    static void ReadRecent(CString (&paths)[kRecentCount]);
    // Puts strPath first: an equal entry further down is taken out and the
    // entries before it move down one slot; the oldest falls off the end.
    static void PushRecent(const CString& strPath);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnValuesChanged() override;
    afx_msg void OnBrowse();
    afx_msg void OnPathEdited();
    afx_msg void OnPathChosen();
    afx_msg void OnMode();
    DECLARE_MESSAGE_MAP()

private:
    CString Path() const;
    void FillList();

    CString m_strPushed; // the path pushed last by this dialog
    BOOL m_bSettingText = FALSE; // the dialog itself sets the combo's text
    int m_nLooks = 0;    // how often the path has been looked at
};

// Color Resolution: a lower colour depth, with a dither for the palette
// depths.
class CColorResolutionDlg : public CEffectParamDlg {
public:
    CColorResolutionDlg(int nPicBits, CWnd* pParent = NULL);

    // The dither flag values.
    static constexpr int kDitherOrdered = 0x70000;
    static constexpr int kDitherFloydStein = 0x10000;
    // Palette flags; the flag the high depths carry instead of a dither.
    static constexpr int kPaletteFixed = 1;
    static constexpr int kPaletteOptimized = 2;
    static constexpr int kHighDepthFlag = 4;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnValuesChanged() override;
    afx_msg void OnRadio(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    int ChosenDepth() const;
    int ChosenDither() const;
    void EnableDithers(BOOL bEnable);

    int m_nPicBits;
};
