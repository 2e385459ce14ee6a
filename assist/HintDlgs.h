#pragma once
// One-time hints: a short text, OK, and a "show this hint again" box whose
// state lives in a bit of the preferences' option words (saved when it
// changes). Running a hint dialog always shows it; the Show... functions
// show it only while its bit is set.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"


// The option word a hint's bit lives in.
enum class HintWord { Flags, AddlFlags };

class CHintDlg : public CDialog {
public:
    CHintDlg(UINT nIDTemplate, HintWord word, WORD wBit, CWnd* pParent);

    // The state of the hint's bit in the preferences.
    BOOL IsHintOn() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // OK and Cancel both keep the "show again" choice.
    void OnOK() override;
    void OnCancel() override;

private:
    void StoreChoice();
    HintWord m_word;
    WORD m_wBit;
    int m_bShowAgain = 1;
    C3DPicBtn m_btnOk;
};

// Shown before white is taken as a colour; bit 0x0010 of Flags.
class CColorHintDlg : public CHintDlg {
public:
    explicit CColorHintDlg(CWnd* pParent = NULL);
};

// Shown before text is added on the workspace; bit 0x2000 of AddlFlags.
class CAddTextHintDlg : public CHintDlg {
public:
    explicit CAddTextHintDlg(CWnd* pParent = NULL);
};

// Shown when switching between the design browser and the file dialog;
// bit 0x0800 of AddlFlags.
class CPreviewHintDlg : public CHintDlg {
public:
    explicit CPreviewHintDlg(CWnd* pParent = NULL);
};

// Run the hint modally while its bit is set; answer whether it was shown.
BOOL ShowAddTextHint(CWnd* pParent = NULL);
BOOL ShowPreviewHint(CWnd* pParent = NULL);
