#pragma once
// CPictureInfoDlg: the "Picture" dialog of a drawing object: a preview of
// its picture, the file name and size, the object's current and the
// picture's natural size, and buttons to choose another picture, remove
// it, restore the natural dimensions and open the neighbouring pages.
//
// The caller owns the object and the attribute record and binds them with
// SetPicture before DoModal. The dialog works on a copy of the object's
// picture (the working picture, owned by the dialog) and never changes the
// object: on OK it writes its settings into the record and reports what
// the caller must do (IsPictureReplaced, IsPictureDeleted, WantsCropReset,
// IsNaturalSizeRestored); CDrawObj::OnOpen applies them. A picture that
// fails to load through "New" is reported by the picture engine and leaves
// the working picture as it was.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

#include <memory>

class CDrawObj;
class CImage;
class CObjectAttributes;
class CSurface;

class CPictureInfoDlg : public CDialog {
public:
    // Bits of the dialog's flag word.
    enum : WORD {
        FlagMayApply = 0x1,   // OK writes into the record
        FlagHasPicture = 0x4, // a picture is present
        FlagMonochrome = 0x8, // the picture is one bit per pixel
    };
    // The inset of the preview picture inside its frame, in pixels.
    static constexpr int kPreviewInset = 4;

    explicit CPictureInfoDlg(CWnd* pParent = NULL);
    ~CPictureInfoDlg() override;

    // Binds the dialog to the object (its view, when it has none, is
    // pView) and its record; a calendar never takes the result.
    void SetPicture(CDrawObj* pObj, CObjectAttributes* pAttrs, BOOL bMayApply, CSurface* pView = nullptr);

    // ---- The result, after OK
    BOOL IsChanged() const { return m_bChanged; }
    // The working picture is another than the object's (New, Studio, a
    // colour): the object is to take a copy of GetPicture().
    BOOL IsPictureReplaced() const { return m_bReplaced && HasPicture(); }
    BOOL IsPictureDeleted() const { return m_bDeleted && !HasPicture(); }
    BOOL IsNaturalSizeRestored() const { return m_bRestored; }
    // The object's crop is to go: the natural dimensions were restored,
    // or another picture took the place of a cropped one.
    BOOL WantsCropReset() const { return (m_bRestored || m_bReplaced) && m_bWasCropped; }
    BOOL HasPicture() const { return (m_wFlags & FlagHasPicture) != 0; }
    // Whether OK wrote into the record (never for a calendar).
    BOOL MayApply() const { return (m_wFlags & FlagMayApply) != 0; }
    BOOL IsMonochrome() const { return (m_wFlags & FlagMonochrome) != 0; }
    // The working picture; NULL once removed.
    CImage* GetPicture() const { return m_pWorking.get(); }
    CString GetPath() const { return m_strPath; }
    BOOL IsEmbedded() const { return m_bEmbed || m_bKeepInFile; }

    // The keep-in-file box: the picture is always stored in the design.
    BOOL m_bKeepInFile = FALSE;
    BOOL m_bProportional = FALSE;
    BOOL m_bHide = FALSE;
    BOOL m_bLock = FALSE;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnPaint();
    afx_msg void OnNew();
    afx_msg void OnRemove();
    afx_msg void OnRestore();
    afx_msg void OnShapeToPicture();
    afx_msg void OnBorderAroundPicture();
    afx_msg void OnColorToPicture();
    afx_msg void OnPictureStudio();
    DECLARE_MESSAGE_MAP()

private:
    // Shows the file, sizes and rotation for the picture there is, or
    // "<no picture>" with the size controls hidden.
    void ShowPictureInfo();
    // The path shortened with "..." for the file name's static.
    CString FitPathToControl(const CString& strPath) const;
    void InvalidatePreview();
    void ShowItem(int nID, BOOL bShow);
    // The proportional-resizing default of the preferences.
    static BOOL ProportionalByDefault();
    // Writes the dialog's settings into the record.
    void WriteRecord();

    WORD m_wFlags = 0;
    CSurface* m_pView = nullptr;
    CDrawObj* m_pObj = nullptr;
    CObjectAttributes* m_pAttrs = nullptr;
    std::unique_ptr<CImage> m_pWorking;
    CRect m_rectPreview;
    CString m_strPath;
    BOOL m_bProportionalAtStart = FALSE;
    BOOL m_bEmbed = FALSE;
    BOOL m_bCropped = FALSE;
    BOOL m_bWasCropped = FALSE;
    BOOL m_bTransparent = FALSE;
    COLORREF m_crTransparent = 0;
    int m_nLoadMode = 0;
    int m_nRotation = 0;
    BOOL m_bFlipX = FALSE;
    BOOL m_bFlipY = FALSE;
    BOOL m_bRotatedObject = FALSE;
    BOOL m_bChanged = FALSE;
    BOOL m_bRestored = FALSE;
    BOOL m_bReplaced = FALSE;
    BOOL m_bDeleted = FALSE;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;
};
