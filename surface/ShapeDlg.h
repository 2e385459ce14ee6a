#pragma once
// CShapeDlg: the "Shape" dialog, where a shape object's stock kind and the
// side count of its regular polygon are chosen.
//
// The caller owns the attribute record and the object and hands them to
// SetObject before DoModal; the dialog writes into the record only on OK
// and only with FlagWriteRecord. A kind that has no radio (a line, or a
// kind a design brought from outside 0..15) shows no radio checked and is
// kept unless the user picks one; a side count outside the list (3 to 20)
// likewise shows nothing and is kept unless the user picks one.
//
// The Apply buttons open the object's colour and fill page on the dialog's
// own record and the object's picture page on the object; they are shown
// only when SetObject was given an object and asked for them.
//
// Beside each radio a picture shows its kind as a shape object draws it on
// the page: the rectangle, ellipse and polygon computed (the polygon with
// the side count the list shows), the others from the stock outlines. A
// click on a picture picks its radio.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

class CDrawObj;
class CObjectAttributes;
class CSurface;

class CShapeDlg : public CDialog {
public:
    // Bits of m_nFlags.
    enum : int {
        FlagReportChanges = 0x2, // a radio click marks the dialog changed
        FlagWriteRecord = 0x4,   // OK writes the kind and side count into the record
    };
    // The kind of the polygon radio and the side counts the list offers.
    static constexpr int kPolygonKind = 15;
    static constexpr int kMinSides = 3;
    static constexpr int kMaxSides = 20;
    // A record of this kind may not change its shape at all.
    static constexpr int kFixedShapeKind = 17;

    explicit CShapeDlg(CWnd* pParent = NULL);

    // Binds the dialog to the record (and the object the Apply buttons
    // open), and takes the record's kind and side count.
    void SetObject(CSurface* pView, CObjectAttributes* pAttrs, BOOL bShowApply, CDrawObj* pObj = nullptr);
    // Stores the kind and side count; nothing while the kind is a star.
    void SetShape(int nKind, int nSides);
    void GetShape(int& nKind, int& nSides) const;
    BOOL IsChanged() const { return m_bChanged; }

    // Radio index of a kind, -1 for a kind without a radio; and back.
    static int RadioIndexOfKind(int nKind);
    static int KindOfRadioIndex(int nIndex);
    // The picture control beside the radio of that index, 0 for none.
    static int PictureOfRadioIndex(int nIndex);

    int m_nFlags = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnShapeRadio(UINT nID);
    afx_msg void OnColorBorder();
    afx_msg void OnPictureWithin();
    afx_msg void OnSidesChosen();
    afx_msg void OnShapePicture(UINT nID);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    DECLARE_MESSAGE_MAP()

private:
    void EnableSides();
    // The side count the polygon's picture shows: the list's, else the
    // dialog's within the list's range.
    int GetPictureSides() const;
    void DrawShapePicture(CDC* pDC, const CRect& rect, int nKind, BOOL bEnabled) const;
    // After the picture page changed the object, the record takes its
    // picture as it is now, so that OK does not put back the old one.
    void TakePictureFromObject();

    CSurface* m_pView = nullptr;
    CObjectAttributes* m_pAttrs = nullptr;
    CDrawObj* m_pObj = nullptr;
    BOOL m_bShowApply = TRUE;
    BOOL m_bChanged = FALSE;
    int m_nShape = -1;
    int m_nSides = -1;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;
};
