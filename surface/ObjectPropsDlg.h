#pragma once
// CObjectPropsDlg: a designer's dialog, opened from the view's diagnostic
// corner, that says which predesigned text field an object holds and
// whether it prints. The caller sets the two indexes before DoModal and
// reads them after OK; an index left at -1 means no button is chosen, and
// the object keeps that property as it was.

#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

class CDrawObj;

class CObjectPropsDlg : public CDialog {
public:
    explicit CObjectPropsDlg(CWnd* pParent = NULL);

    // 0 none, else information field n (1..12) of a predesigned project.
    int m_nTextField = -1;
    // 0 no, 1 yes.
    int m_nPrintable = -1;

    // The indexes an object's own state gives: the highest field it holds
    // (as the field's description names it) and whether it prints.
    static int TextFieldIndexOf(const CDrawObj* pObj);
    static int PrintableIndexOf(const CDrawObj* pObj);
    // Stores the dialog's indexes into the object; an index of -1 changes
    // nothing, nor does the field index the object already answers to (an
    // object holding several fields keeps them).
    void ApplyTo(CDrawObj* pObj) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
};

// Runs the dialog on the object with its parent window. TRUE when the user
// pressed OK, after the values went into the object; the caller marks the
// document modified.
BOOL EditObjectProperties(CDrawObj* pObj, CWnd* pParent);
