#pragma once
// Picture Studio: applies image effects to the picture of one drawing
// object. The user ticks effects in a list and adjusts them through small
// parameter dialogs while the preview shows the result live; several
// effects can be active at once.
//
// The dialog never touches the object or its picture. It works on a copy,
// the working picture, which it owns; after OK the caller takes it over with
// DetachWorkingPicture (its tile and translucent flag bits say how to show
// it). The working picture comes back unrotated: the caller turns it by
// GetRotation() as it gives it to the object. Each accepted adjustment
// keeps the picture before it (one step) and moves the trial copy the
// adjustment was previewed on into the working picture; a cancelled
// parameter dialog leaves the working picture as it was.

#include "controls/CheckListBox.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

#include <memory>

class CDrawObj;
class CImage;

// The effect-table entry an item of the list stands for; EffectKindOfEntry
// gives the CImage effect kind behind it (kEffectKindNone for entries that
// have none, and for anything above the table).
constexpr int kStudioEntryCount = 29;
constexpr int kEffectKindNone = 23;
int EffectKindOfEntry(int nEntry);

// Entries of the table that callers and tests name.
enum StudioEntry : int {
    StudioAddNoise = 0,
    StudioBlur = 1,
    StudioBrightnessContrast = 2,
    StudioColorResolution = 3,
    StudioDeskew = 4,
    StudioDespeckle = 5,
    StudioEdgeEnhance = 6,
    StudioEmboss = 7,
    StudioFlipHorizontal = 8,
    StudioFlipVertical = 9,
    StudioGamma = 10,
    StudioGrayscale = 11,
    StudioHalftonePrint = 12,
    StudioHalftoneView = 13,
    StudioHueSaturation = 14,
    StudioNegative = 15,
    StudioMedian = 16,
    StudioMosaic = 17,
    StudioPosterize = 18,
    StudioResample = 19,
    StudioResize = 20,
    StudioRotate = 21,
    StudioSharpen = 22,
    StudioShear = 23,
    StudioUnderlay = 24,
    StudioTile = 25,
    StudioTint = 26,
    StudioTranslucent = 27,
    StudioTransparent = 28,
};

class CPictureStudioDlg : public CDialog {
public:
    enum { IDD = 512 };

    // Copies the object's picture into the working picture, rasterising a
    // metafile or composite at the object's size, and takes the rotation off
    // it so that effects are previewed on the upright picture. pImage is
    // only read. A picture whose force-embedding value is 1 is offered
    // neither Translucent nor Transparent.
    CPictureStudioDlg(CDrawObj* pObj, CImage* pImage, CWnd* pParent = NULL);
    ~CPictureStudioDlg() override;

    // ---- The result, after OK -------------------------------------------------------
    // The working picture (owned by the dialog until detached).
    CImage* GetWorkingPicture() const { return m_pWorking.get(); }
    // Hands the working picture to the caller; the dialog keeps none.
    CImage* DetachWorkingPicture() { return m_pWorking.release(); }
    // The object's content rotation read at construction, in degrees.
    int GetRotation() const { return m_nRotation; }
    BOOL IsMetafile() const { return m_bMetafile; }

    // ---- Adjustments ------------------------------------------------------------------
    // Asks for the parameters of entry nEntry for the picture behind nHandle
    // (the trial picture's, during Adjust): toggles answer their list state,
    // the tile entry sets the trial picture's tile bit, the others run their
    // parameter dialog. 1 when that ended with OK (or needs no dialog), 0
    // when it was cancelled, the handle has no usable size or depth, or the
    // entry has no handling.
    int GetEffectParams(int nHandle, int nEntry, int& nFirst, int& nSecond, CString& strText);
    // Records the entry's effect with the two numbers on the trial picture
    // and rebuilds it upright. TRUE when both succeeded; FALSE, too, without
    // a trial picture.
    BOOL ApplyToTrial(int nHandle, int nEntry, int nFirst, int nSecond, LPCTSTR lpszText);

    // ---- State that tests and the list read ------------------------------------------
    CImage* GetTrialPicture() const { return m_pTrial.get(); }
    CImage* GetPreviousPicture() const { return m_pPrevious.get(); }
    int GetCurrentEntry() const { return m_nCurrentEntry; }
    // The list's item index of an entry, or -1 when the list does not show it.
    int FindEntry(int nEntry) const;
    // How many entries the list may show at most for this picture (29, or
    // 27 for a force-embedded picture, 28 for a metafile).
    int GetEntryLimit() const;
    // The preview frame in client coordinates.
    const CRect& GetPreviewFrame() const { return m_rectPreview; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    // The list and its buttons (subclassed in OnInitDialog).
    CCheckLB m_list;

protected:
    afx_msg void OnAdjust();
    afx_msg void OnSelChange();
    afx_msg void OnListDoubleClick();
    afx_msg void OnHelpButton();
    afx_msg void OnPaint();
    afx_msg LRESULT OnEffectPreview(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The entry of the caret item, or -1 without one.
    int CaretEntry() const;
    BOOL IsCaretSelected() const;
    // A fresh copy of the working picture (reset first), bound to its view.
    std::unique_ptr<CImage> CopyOfWorking() const;
    // The trial moves to the working picture, the working one to previous.
    void AcceptTrial();
    // The depth warning of Transparent: TRUE when Adjust must stop.
    BOOL RefusedForDepth();
    void UpdateSample();
    void DrawPreview(CDC* pDC);
    void InvalidatePreview();

    CDrawObj* m_pObj;
    CImage* m_pImage;
    std::unique_ptr<CImage> m_pWorking;
    std::unique_ptr<CImage> m_pPrevious;
    std::unique_ptr<CImage> m_pTrial;
    std::unique_ptr<CImage> m_pSample;
    BOOL m_bFreshTrial = FALSE;
    // A parameter dialog of Adjust is running: previews are welcome.
    BOOL m_bAdjusting = FALSE;
    // The running adjustment's dialog sent a preview, and its first number.
    BOOL m_bPreviewSent = FALSE;
    int m_nPreviewFirst = 0;
    int m_nRotation = 0;
    BOOL m_bMetafile = FALSE;
    int m_nCurrentEntry = -1;
    CRect m_rectPreview;
    BOOL m_bFirstPaint = TRUE;
    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
    C3DPicBtn m_btnHelp;
    C3DPicBtn m_btnAdjust;
};
