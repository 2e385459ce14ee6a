#include "assist/HintDlgs.h"

#include "app/PrefData.h"
#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

namespace {

// The hint bits of the option words.
constexpr WORD kColorHintBit = 0x0010;   // Flags
constexpr WORD kAddTextHintBit = 0x2000; // AddlFlags
constexpr WORD kPreviewHintBit = 0x0800; // AddlFlags

WORD& OptionWord(HintWord word)
{
    switch (word) {
    case HintWord::Flags:
        return thePrefs.Flags;
    case HintWord::AddlFlags:
        return thePrefs.AddlFlags;
    }
    return thePrefs.AddlFlags;
}

} // namespace

CHintDlg::CHintDlg(UINT nIDTemplate, HintWord word, WORD wBit, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_word(word), m_wBit(wBit)
{
}

BOOL CHintDlg::IsHintOn() const
{
    return (OptionWord(m_word) & m_wBit) != 0;
}

void CHintDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Check(pDX, IDC_HINT_SHOW_AGAIN, m_bShowAgain);
}

BOOL CHintDlg::OnInitDialog()
{
    m_bShowAgain = IsHintOn() ? 1 : 0;
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, nullptr);
    CenterWindow();
    return TRUE;
}

void CHintDlg::OnOK()
{
    StoreChoice();
    EndDialog(IDOK);
}

void CHintDlg::OnCancel()
{
    StoreChoice();
    EndDialog(IDCANCEL);
}

void CHintDlg::StoreChoice()
{
    if (!UpdateData(TRUE))
        return;
    WORD& word = OptionWord(m_word);
    const WORD before = word;
    if (m_bShowAgain)
        word |= m_wBit;
    else
        word &= static_cast<WORD>(~m_wBit);
    if (word != before)
        thePrefs.SavePreferences();
}

CColorHintDlg::CColorHintDlg(CWnd* pParent) : CHintDlg(IDD_COLOR_HINT, HintWord::Flags, kColorHintBit, pParent) {}

CAddTextHintDlg::CAddTextHintDlg(CWnd* pParent)
    : CHintDlg(IDD_ADD_TEXT_HINT, HintWord::AddlFlags, kAddTextHintBit, pParent)
{
}

CPreviewHintDlg::CPreviewHintDlg(CWnd* pParent)
    : CHintDlg(IDD_PREVIEW_HINT, HintWord::AddlFlags, kPreviewHintBit, pParent)
{
}

BOOL ShowAddTextHint(CWnd* pParent)
{
    CAddTextHintDlg dlg(pParent);
    if (!dlg.IsHintOn())
        return FALSE;
    dlg.DoModal();
    return TRUE;
}

BOOL ShowPreviewHint(CWnd* pParent)
{
    CPreviewHintDlg dlg(pParent);
    if (!dlg.IsHintOn())
        return FALSE;
    dlg.DoModal();
    return TRUE;
}
