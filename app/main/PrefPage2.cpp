#include "app/main/PrefPage2.h"

#include "app/PrefData.h"
#include "platform/framework/DataExchange.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "resources/prefs.h"

namespace {

// The profile's processor type that cannot keep up with the preview.
constexpr int kSlowProcessor = 386;
// The deepest display that still counts as 16 colours.
constexpr int kSixteenColourBits = 4;

int Bit(WORD wWord, WORD wBit)
{
    return (wWord & wBit) != 0 ? 1 : 0;
}

void PutBit(WORD& wWord, WORD wBit, BOOL bSet)
{
    if (bSet)
        wWord |= wBit;
    else
        wWord &= WORD(~wBit);
}

} // namespace

BEGIN_MESSAGE_MAP(CPrefPage2, CPropertyPage)
    ON_BN_CLICKED(IDC_PREF_RESIZE_EDGES, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_RESIZE_CENTER, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_RESET_TOOL, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_MOVE_FILLED, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_MOVE_OUTLINE, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_SIZING_CURSORS, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_SOUNDS, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_MULTI_PREVIEW, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_SHOW_LAUNCHER, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_AUTO_MARGINS, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_PROPORTIONAL, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_INSERT_GALLERY, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PREF_INSERT_OTHER, OnChoiceChanged)
END_MESSAGE_MAP()

CPrefPage2::CPrefPage2()
    : CPropertyPage(IDD_PREF_OPTIONS)
{
    const WORD wFlags = thePrefs.Flags;
    m_nResize = Bit(wFlags, PREF_FLAG_RESIZE_FROM_CENTER);
    m_bResetTool = Bit(wFlags, PREF_FLAG_RESET_TOOL);
    m_nMove = 1 - Bit(wFlags, PREF_FLAG_MOVE_FILLED);
    m_bSizingCursors = 1 - Bit(wFlags, PREF_FLAG_PLAIN_SIZING_CURSORS);
    m_bSounds = Bit(thePrefs.AddlFlags, PREF_ADDL_PLAY_SOUNDS);
    m_bMultiPreview = 1 - Bit(wFlags, PREF_FLAG_NO_MULTI_PREVIEW);
    m_bShowLauncher = Bit(thePrefs.AddlFlags, PREF_ADDL_SHOW_LAUNCHER);
    m_bAutoAdjustMargins = Bit(thePrefs.Add2Flags, PREF_ADD2_AUTO_ADJUST_MARGINS);
    m_bProportional = Bit(thePrefs.Add2Flags, PREF_ADD2_PROPORTIONAL_RESIZE);
    m_nInsert = 1 - Bit(wFlags, PREF_FLAG_INSERT_FROM_GALLERY);
}

BOOL CPrefPage2::CanShowMultiplePreview()
{
    int nBits = 0;
    if (HDC hdc = ::GetDC(NULL)) {
        nBits = ::GetDeviceCaps(hdc, BITSPIXEL) * ::GetDeviceCaps(hdc, PLANES);
        ::ReleaseDC(NULL, hdc);
    }
    return nBits > kSixteenColourBits && CPrefData::GetProcessor() != kSlowProcessor;
}

BOOL CPrefPage2::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (!CanShowMultiplePreview()) {
        CheckDlgButton(IDC_PREF_MULTI_PREVIEW, BST_UNCHECKED);
        if (CWnd* pCheck = GetDlgItem(IDC_PREF_MULTI_PREVIEW))
            pCheck->EnableWindow(FALSE);
    }
    return TRUE;
}

void CPrefPage2::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_PREF_RESIZE_EDGES, m_nResize);
    DDX_Check(pDX, IDC_PREF_RESET_TOOL, m_bResetTool);
    DDX_Radio(pDX, IDC_PREF_MOVE_FILLED, m_nMove);
    DDX_Check(pDX, IDC_PREF_SIZING_CURSORS, m_bSizingCursors);
    DDX_Check(pDX, IDC_PREF_SOUNDS, m_bSounds);
    DDX_Check(pDX, IDC_PREF_MULTI_PREVIEW, m_bMultiPreview);
    DDX_Check(pDX, IDC_PREF_SHOW_LAUNCHER, m_bShowLauncher);
    DDX_Check(pDX, IDC_PREF_AUTO_MARGINS, m_bAutoAdjustMargins);
    DDX_Check(pDX, IDC_PREF_PROPORTIONAL, m_bProportional);
    DDX_Radio(pDX, IDC_PREF_INSERT_GALLERY, m_nInsert);
}

void CPrefPage2::OnChoiceChanged()
{
    SetModified(TRUE);
}

void CPrefPage2::OnOK()
{
    CPropertyPage::OnOK();
    WORD& wFlags = thePrefs.Flags;
    PutBit(wFlags, PREF_FLAG_RESIZE_FROM_CENTER, m_nResize == 1);
    PutBit(wFlags, PREF_FLAG_RESET_TOOL, m_bResetTool != 0);
    PutBit(wFlags, PREF_FLAG_MOVE_FILLED, m_nMove == 0);
    PutBit(wFlags, PREF_FLAG_PLAIN_SIZING_CURSORS, m_bSizingCursors == 0);
    PutBit(thePrefs.AddlFlags, PREF_ADDL_PLAY_SOUNDS, m_bSounds != 0);
    PutBit(wFlags, PREF_FLAG_NO_MULTI_PREVIEW, m_bMultiPreview == 0);
    PutBit(thePrefs.AddlFlags, PREF_ADDL_SHOW_LAUNCHER, m_bShowLauncher != 0);
    PutBit(thePrefs.Add2Flags, PREF_ADD2_AUTO_ADJUST_MARGINS, m_bAutoAdjustMargins != 0);
    PutBit(thePrefs.Add2Flags, PREF_ADD2_PROPORTIONAL_RESIZE, m_bProportional != 0);
    PutBit(wFlags, PREF_FLAG_INSERT_FROM_GALLERY, m_nInsert == 0);
}
