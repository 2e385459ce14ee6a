#include "pictures/EffectParamDlgs.h"

#include "app/Paths.h"
#include "pictures/ChoosePicture.h"
#include "pictures/EffectParamDlgClasses.h"
#include "pictures/PictureEngine.h"
#include "platform/framework/Afx.h"
#include "platform/ui/CommCtrl.h"
#include "resources/resource.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Studio's effect-table entries that have a parameter dialog here.
enum : int {
    kEntryAddNoise = 0,
    kEntryBlur = 1,
    kEntryBrightnessContrast = 2,
    kEntryColorResolution = 3,
    kEntryEmboss = 7,
    kEntryGamma = 10,
    kEntryHalftonePrint = 12,
    kEntryHalftoneView = 13,
    kEntryHueSaturation = 14,
    kEntryMedian = 16,
    kEntryMosaic = 17,
    kEntryPosterize = 18,
    kEntryResample = 19,
    kEntryResize = 20,
    kEntrySharpen = 22,
    kEntryShear = 23,
    kEntryUnderlay = 24,
};

// A one-value dialog: its caption and label, the range its controls offer
// and the value it starts at, then the bounds the effect accepts and the
// neutral value that replaces anything outside them. The two ranges differ
// on purpose for some effects (the controls reach a little past what the
// effect takes, or stop short of it).
struct OneValueRow {
    int nEntry;
    const char* pszCaption;
    const char* pszLabel;
    int nMin, nMax, nStart;
    int nKeepMin, nKeepMax, nFallback;
};

constexpr OneValueRow kOneValue[] = {
    {kEntryBlur, "Blur", "&Sample Size", 3, 13, 3, 3, 13, 3},
    {kEntryGamma, "Gamma Correct", "&Value (x 10)", 1, 501, 100, 1, 499, 100},
    {kEntryHalftonePrint, "Halftone Print", "&Angle (degrees)", -400, 400, 0, -359, 359, 0},
    {kEntryHalftoneView, "Halftone View", "&Angle (degrees)", -400, 400, 0, -359, 359, 0},
    {kEntryMedian, "Median", "&Sample Size", 3, 13, 3, 3, 13, 3},
    {kEntryMosaic, "Mosaic", "&Tile Size", 2, 62, 2, 2, 64, 2},
    {kEntryPosterize, "Posterize", "&Levels per color", 2, 62, 62, 2, 64, 2},
    {kEntrySharpen, "Sharpen", "&Percentage", -100, 100, 0, -100, 100, 0},
    {kEntryShear, "Shear", "&Clockwise Angle (degrees)", -45, 45, 0, -45, 45, 0},
};

const OneValueRow* FindOneValue(int nEntry)
{
    for (const OneValueRow& row : kOneValue)
        if (row.nEntry == nEntry)
            return &row;
    return nullptr;
}

// A two-value dialog; sizes (Resample, Resize) take their start and bounds
// from the picture instead.
struct TwoValueRow {
    int nEntry;
    const char* pszCaption;
    const char* pszLabel1;
    const char* pszLabel2;
    int nMin1, nMax1, nKeepMin1, nKeepMax1;
    int nMin2, nMax2, nKeepMin2, nKeepMax2;
    bool bSizes;
};

constexpr int kMaxSize = 2048;

constexpr TwoValueRow kTwoValues[] = {
    {kEntryBrightnessContrast, "Brightness/Contrast", "&Brightness percentage", "&Contrast percentage", -100, 100,
        -100, 100, -100, 100, -100, 100, false},
    {kEntryHueSaturation, "Hue/Saturation", "&Hue angle (degrees)", "&Saturation percentage", -400, 400, -359, 359,
        -100, 100, -100, 100, false},
    {kEntryResample, "Resample", "&Width", "&Height", 1, kMaxSize, 0, 0, 1, kMaxSize, 0, 0, true},
    {kEntryResize, "Resize", "&Width", "&Height", 1, kMaxSize, 0, 0, 1, kMaxSize, 0, 0, true},
};

const TwoValueRow* FindTwoValues(int nEntry)
{
    for (const TwoValueRow& row : kTwoValues)
        if (row.nEntry == nEntry)
            return &row;
    return nullptr;
}

int KeepOr(int nValue, int nMin, int nMax, int nFallback)
{
    return nValue >= nMin && nValue <= nMax ? nValue : nFallback;
}

// A picture size is kept from 1 to twice the picture's, else the
// picture's own.
int KeepSize(int nValue, int nPicture)
{
    const long long nLimit = 2LL * std::max(nPicture, 0);
    return nValue >= 1 && nValue <= nLimit ? nValue : nPicture;
}

BOOL IsClass(HWND hWnd, const char* pszClass)
{
    char name[64] = {};
    ::GetClassName(hWnd, name, sizeof(name));
    return CString(name).CompareNoCase(pszClass) == 0;
}

} // namespace

// ---- The shared base ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CEffectParamDlg, CDialog)
    ON_EN_CHANGE(IDC_EFX_EDIT, OnEditChange1)
    ON_EN_CHANGE(IDC_EFX_EDIT2, OnEditChange2)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

CEffectParamDlg::CEffectParamDlg(UINT nIDTemplate, int nEntry, CWnd* pParent)
    : CDialog(nIDTemplate, pParent)
    , m_nEntry(nEntry)
{
}

BOOL CEffectParamDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    PlaceOverOwner();
    return TRUE;
}

void CEffectParamDlg::PlaceOverOwner()
{
    // Over Studio's preview group, so that the picture beside it stays in
    // view while the user tries values.
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    HWND hFrame = hOwner != NULL ? ::GetDlgItem(hOwner, IDC_EFX_STUDIO_FRAME) : NULL;
    if (hFrame == NULL) {
        CenterWindow();
        return;
    }
    CRect frame;
    ::GetWindowRect(hFrame, &frame);
    SetWindowPos(NULL, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEffectParamDlg::SendPreview(int nFirst, int nSecond, const CString& strText)
{
    if (m_bSettingUp)
        return;
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hOwner == NULL)
        return;
    EffectPreviewNotice notice;
    notice.nFirst = nFirst;
    notice.nSecond = nSecond;
    notice.strText = strText;
    ::SendMessage(hOwner, WM_EFFECT_PREVIEW, 0, reinterpret_cast<LPARAM>(&notice));
}

void CEffectParamDlg::SetUpValue(int nEditID, int nSpinID, int nSliderID, int nMin, int nMax, int nStart)
{
    HWND hEdit = ::GetDlgItem(m_hWnd, nEditID);
    HWND hSpin = ::GetDlgItem(m_hWnd, nSpinID);
    HWND hSlider = ::GetDlgItem(m_hWnd, nSliderID);
    if (hEdit != NULL)
        ::SendMessage(hEdit, EM_LIMITTEXT, 11, 0);
    if (hSpin != NULL) {
        ::SendMessage(hSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hEdit), 0);
        ::SendMessage(hSpin, UDM_SETRANGE32, static_cast<WPARAM>(nMin), static_cast<LPARAM>(nMax));
    }
    if (hSlider != NULL) {
        ::SendMessage(hSlider, TBM_SETRANGEMIN, FALSE, nMin);
        ::SendMessage(hSlider, TBM_SETRANGEMAX, FALSE, nMax);
        ::SendMessage(hSlider, TBM_SETTICFREQ, std::max(1, (nMax - nMin) / 10), 0);
        ::SendMessage(hSlider, TBM_SETPAGESIZE, 0, std::max(1, (nMax - nMin) / 10));
        ::SendMessage(hSlider, TBM_SETPOS, TRUE, nStart);
    }
    if (hSpin != NULL)
        ::SendMessage(hSpin, UDM_SETPOS, 0, MAKELPARAM(static_cast<short>(nStart), 0));
    CString text;
    text.Format("%d", nStart);
    ::SetWindowText(hEdit, text);
}

std::optional<int> CEffectParamDlg::ReadNumber(int nEditID) const
{
    char text[32] = {};
    if (::GetDlgItemText(m_hWnd, nEditID, text, sizeof(text)) <= 0)
        return std::nullopt;
    const char* p = text;
    while (*p == ' ')
        ++p;
    if (*p == '\0')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(p, &end, 10);
    while (end != nullptr && *end == ' ')
        ++end;
    if (end == p || end == nullptr || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

BOOL CEffectParamDlg::ReadValue(int nEditID, int& nValue) const
{
    const std::optional<int> number = ReadNumber(nEditID);
    if (!number)
        return FALSE;
    nValue = *number;
    return TRUE;
}

int CEffectParamDlg::ReadClamped(int nEditID, int nMin, int nMax, int nFallback) const
{
    int nValue = 0;
    if (!ReadValue(nEditID, nValue))
        return nFallback;
    return KeepOr(nValue, nMin, nMax, nFallback);
}

BOOL CEffectParamDlg::IsInRange(int nEditID, int nSliderID, int& nValue) const
{
    if (!ReadValue(nEditID, nValue))
        return FALSE;
    HWND hSlider = ::GetDlgItem(m_hWnd, nSliderID);
    if (hSlider == NULL)
        return FALSE;
    const int nMin = static_cast<int>(::SendMessage(hSlider, TBM_GETRANGEMIN, 0, 0));
    const int nMax = static_cast<int>(::SendMessage(hSlider, TBM_GETRANGEMAX, 0, 0));
    return nValue >= nMin && nValue <= nMax;
}

void CEffectParamDlg::OnEditChanged(int nWhich)
{
    // Read by value: the slider's message must not see the address of a
    // local the reader wrote through.
    const std::optional<int> number = ReadNumber(nWhich == 0 ? IDC_EFX_EDIT : IDC_EFX_EDIT2);
    if (!number)
        return;
    const int nValue = *number;
    // The slider clamps the position itself; it says nothing back.
    if (HWND hSlider = ::GetDlgItem(m_hWnd, nWhich == 0 ? IDC_EFX_SLIDER : IDC_EFX_SLIDER2))
        ::SendMessage(hSlider, TBM_SETPOS, TRUE, nValue);
    OnValuesChanged();
}

void CEffectParamDlg::OnEditChange1()
{
    OnEditChanged(0);
}

void CEffectParamDlg::OnEditChange2()
{
    OnEditChanged(1);
}

void CEffectParamDlg::OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    // The end of a drag repeats the last position, which was sent already.
    if (nSBCode == TB_ENDTRACK || pScrollBar == nullptr)
        return;
    const int nSliderID = pScrollBar->GetDlgCtrlID();
    if (nSliderID != IDC_EFX_SLIDER && nSliderID != IDC_EFX_SLIDER2)
        return;
    const int nPos = static_cast<int>(::SendMessage(pScrollBar->m_hWnd, TBM_GETPOS, 0, 0));
    CString text;
    text.Format("%d", nPos);
    // The edit's change notice moves the value on to the owner.
    SetDlgItemText(nSliderID == IDC_EFX_SLIDER ? IDC_EFX_EDIT : IDC_EFX_EDIT2, text);
}

BOOL CEffectParamDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || m_hWnd == NULL)
        return CDialog::PreTranslateMessage(pMsg);
    HWND hFocus = ::GetFocus();
    if (hFocus == NULL || ::GetParent(hFocus) != m_hWnd)
        return CDialog::PreTranslateMessage(pMsg);
    const int nID = ::GetDlgCtrlID(hFocus);
    const UINT nKey = static_cast<UINT>(pMsg->wParam);
    // Add Noise and Underlay give the second spin's id to a combo box, whose
    // arrow keys stay its own.
    if ((nID == IDC_EFX_SPIN || nID == IDC_EFX_SPIN2) && (nKey == VK_UP || nKey == VK_DOWN)
        && IsClass(hFocus, UPDOWN_CLASS)) {
        int nLower = 0;
        int nUpper = 0;
        ::SendMessage(hFocus, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&nLower), reinterpret_cast<LPARAM>(&nUpper));
        const int nPos = LOWORD(::SendMessage(hFocus, UDM_GETPOS, 0, 0));
        const int nNow = static_cast<short>(nPos);
        const int nNext = std::clamp(nNow + (nKey == VK_UP ? 1 : -1), std::min(nLower, nUpper),
            std::max(nLower, nUpper));
        // The buddy edit shows the new position and its change notice
        // carries it on.
        ::SendMessage(hFocus, UDM_SETPOS, 0, MAKELPARAM(static_cast<short>(nNext), 0));
        ::InvalidateRect(hFocus, NULL, TRUE);
        return TRUE;
    }
    if ((nID == IDC_EFX_SLIDER || nID == IDC_EFX_SLIDER2) && (nKey == VK_LEFT || nKey == VK_RIGHT)
        && IsClass(hFocus, TRACKBAR_CLASS)) {
        const int nMin = static_cast<int>(::SendMessage(hFocus, TBM_GETRANGEMIN, 0, 0));
        const int nMax = static_cast<int>(::SendMessage(hFocus, TBM_GETRANGEMAX, 0, 0));
        const int nStep = std::max(1, (nMax - nMin) / 10);
        const int nNow = static_cast<int>(::SendMessage(hFocus, TBM_GETPOS, 0, 0));
        const int nNext = std::clamp(nKey == VK_RIGHT ? nNow + nStep : nNow - nStep, nMin, nMax);
        ::SendMessage(hFocus, TBM_SETPOS, TRUE, nNext);
        ::InvalidateRect(hFocus, NULL, TRUE);
        ::SendMessage(m_hWnd, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, nNext), reinterpret_cast<LPARAM>(hFocus));
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// ---- One value ---------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CSingleValueEffectDlg, CEffectParamDlg)
    ON_BN_CLICKED(IDC_EFX_CHECK, OnCheck)
END_MESSAGE_MAP()

CSingleValueEffectDlg::CSingleValueEffectDlg(int nEntry, CWnd* pParent)
    : CEffectParamDlg(IDD_EFX_ONE_VALUE, nEntry, pParent)
{
}

BOOL CSingleValueEffectDlg::HandlesEntry(int nEntry)
{
    return FindOneValue(nEntry) != nullptr;
}

BOOL CSingleValueEffectDlg::OnInitDialog()
{
    CEffectParamDlg::OnInitDialog();
    const OneValueRow* pRow = FindOneValue(m_nEntry);
    if (pRow == nullptr) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWindowText(pRow->pszCaption);
    SetDlgItemText(IDC_EFX_GROUP, pRow->pszLabel);
    SetUpValue(IDC_EFX_EDIT, IDC_EFX_SPIN, IDC_EFX_SLIDER, pRow->nMin, pRow->nMax, pRow->nStart);
    // Only Shear shows its check box; Mosaic keeps it ticked out of sight.
    if (m_nEntry == kEntryShear) {
        if (CWnd* pCheck = GetDlgItem(IDC_EFX_CHECK))
            pCheck->ShowWindow(SW_SHOW);
    }
    CheckDlgButton(IDC_EFX_CHECK, m_nEntry == kEntryMosaic ? BST_CHECKED : BST_UNCHECKED);
    m_bSettingUp = FALSE;
    return TRUE;
}

void CSingleValueEffectDlg::OnValuesChanged()
{
    int nValue = 0;
    if (IsInRange(IDC_EFX_EDIT, IDC_EFX_SLIDER, nValue))
        SendPreview(nValue, IsDlgButtonChecked(IDC_EFX_CHECK) == BST_CHECKED ? 1 : 0);
}

void CSingleValueEffectDlg::OnCheck()
{
    OnValuesChanged();
}

void CSingleValueEffectDlg::OnOK()
{
    const OneValueRow* pRow = FindOneValue(m_nEntry);
    if (pRow == nullptr) {
        EndDialog(IDCANCEL);
        return;
    }
    m_nFirst = ReadClamped(IDC_EFX_EDIT, pRow->nKeepMin, pRow->nKeepMax, pRow->nFallback);
    m_nSecond = m_nEntry == kEntryShear && IsDlgButtonChecked(IDC_EFX_CHECK) == BST_CHECKED ? 1 : 0;
    EndDialog(IDOK);
}

// ---- Two values --------------------------------------------------------------------------------

CDoubleValueEffectDlg::CDoubleValueEffectDlg(int nEntry, int nPicWidth, int nPicHeight, CWnd* pParent)
    : CEffectParamDlg(IDD_EFX_TWO_VALUES, nEntry, pParent)
    , m_nPicWidth(nPicWidth)
    , m_nPicHeight(nPicHeight)
{
}

BOOL CDoubleValueEffectDlg::HandlesEntry(int nEntry)
{
    return FindTwoValues(nEntry) != nullptr;
}

BOOL CDoubleValueEffectDlg::OnInitDialog()
{
    CEffectParamDlg::OnInitDialog();
    const TwoValueRow* pRow = FindTwoValues(m_nEntry);
    if (pRow == nullptr) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWindowText(pRow->pszCaption);
    SetDlgItemText(IDC_EFX_GROUP1, pRow->pszLabel1);
    SetDlgItemText(IDC_EFX_GROUP2, pRow->pszLabel2);
    int nStart1 = 0;
    int nStart2 = 0;
    if (pRow->bSizes) {
        nStart1 = m_nPicWidth;
        nStart2 = m_nPicHeight;
        m_dAspect = m_nPicWidth > 0 && m_nPicHeight > 0 ? double(m_nPicWidth) / double(m_nPicHeight) : 1.0;
        if (CWnd* pCheck = GetDlgItem(IDC_EFX_CHECK))
            pCheck->ShowWindow(SW_SHOW);
        CheckDlgButton(IDC_EFX_CHECK, BST_CHECKED);
    }
    SetUpValue(IDC_EFX_EDIT, IDC_EFX_SPIN, IDC_EFX_SLIDER, pRow->nMin1, pRow->nMax1, nStart1);
    SetUpValue(IDC_EFX_EDIT2, IDC_EFX_SPIN2, IDC_EFX_SLIDER2, pRow->nMin2, pRow->nMax2, nStart2);
    m_bSettingUp = FALSE;
    return TRUE;
}

void CDoubleValueEffectDlg::OnEditChanged(int nWhich)
{
    const TwoValueRow* pRow = FindTwoValues(m_nEntry);
    if (pRow != nullptr && pRow->bSizes && !m_bSettingUp && !m_bKeepingAspect
        && IsDlgButtonChecked(IDC_EFX_CHECK) == BST_CHECKED) {
        if (const std::optional<int> number = ReadNumber(nWhich == 0 ? IDC_EFX_EDIT : IDC_EFX_EDIT2)) {
            const int nValue = *number;
            const double dOther = nWhich == 0 ? nValue / m_dAspect : nValue * m_dAspect;
            const int nOther = static_cast<int>(std::lround(std::clamp(dOther, -1e9, 1e9)));
            CString text;
            text.Format("%d", nOther);
            // The other edit follows without a notice of its own: the one
            // below carries both values.
            m_bKeepingAspect = TRUE;
            const int nOtherEdit = nWhich == 0 ? IDC_EFX_EDIT2 : IDC_EFX_EDIT;
            SetDlgItemText(nOtherEdit, text);
            if (HWND hSlider = ::GetDlgItem(m_hWnd, nWhich == 0 ? IDC_EFX_SLIDER2 : IDC_EFX_SLIDER))
                ::SendMessage(hSlider, TBM_SETPOS, TRUE, nOther);
            m_bKeepingAspect = FALSE;
        }
    }
    if (m_bKeepingAspect)
        return;
    CEffectParamDlg::OnEditChanged(nWhich);
}

void CDoubleValueEffectDlg::OnValuesChanged()
{
    // Values outside the controls' ranges are not tried on the picture.
    int nFirst = 0;
    int nSecond = 0;
    if (IsInRange(IDC_EFX_EDIT, IDC_EFX_SLIDER, nFirst) && IsInRange(IDC_EFX_EDIT2, IDC_EFX_SLIDER2, nSecond))
        SendPreview(nFirst, nSecond);
}

void CDoubleValueEffectDlg::OnOK()
{
    const TwoValueRow* pRow = FindTwoValues(m_nEntry);
    if (pRow == nullptr) {
        EndDialog(IDCANCEL);
        return;
    }
    if (pRow->bSizes) {
        int nWidth = 0;
        int nHeight = 0;
        m_nFirst = ReadValue(IDC_EFX_EDIT, nWidth) ? KeepSize(nWidth, m_nPicWidth) : m_nPicWidth;
        m_nSecond = ReadValue(IDC_EFX_EDIT2, nHeight) ? KeepSize(nHeight, m_nPicHeight) : m_nPicHeight;
    } else {
        m_nFirst = ReadClamped(IDC_EFX_EDIT, pRow->nKeepMin1, pRow->nKeepMax1, 0);
        m_nSecond = ReadClamped(IDC_EFX_EDIT2, pRow->nKeepMin2, pRow->nKeepMax2, 0);
    }
    EndDialog(IDOK);
}

// ---- Add Noise ---------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CAddNoiseDlg, CEffectParamDlg)
    ON_CBN_SELCHANGE(IDC_EFX_COMBO, OnChannel)
END_MESSAGE_MAP()

CAddNoiseDlg::CAddNoiseDlg(CWnd* pParent)
    : CEffectParamDlg(IDD_EFX_ADD_NOISE, kEntryAddNoise, pParent)
{
}

BOOL CAddNoiseDlg::OnInitDialog()
{
    CEffectParamDlg::OnInitDialog();
    SetUpValue(IDC_EFX_EDIT, IDC_EFX_SPIN, IDC_EFX_SLIDER, 0, 100, 0);
    if (HWND hCombo = ::GetDlgItem(m_hWnd, IDC_EFX_COMBO)) {
        for (const char* pszChannel : {"Master", "Red", "Green", "Blue"})
            ::SendMessage(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszChannel));
        ::SendMessage(hCombo, CB_SETCURSEL, 0, 0);
    }
    m_bSettingUp = FALSE;
    return TRUE;
}

void CAddNoiseDlg::OnValuesChanged()
{
    int nLevel = 0;
    if (!IsInRange(IDC_EFX_EDIT, IDC_EFX_SLIDER, nLevel))
        return;
    const int nChannel = static_cast<int>(SendDlgItemMessage(IDC_EFX_COMBO, CB_GETCURSEL, 0, 0));
    SendPreview(nLevel, std::clamp(nChannel, 0, 3));
}

void CAddNoiseDlg::OnChannel()
{
    OnValuesChanged();
}

void CAddNoiseDlg::OnOK()
{
    m_nFirst = ReadClamped(IDC_EFX_EDIT, 0, 100, 0);
    m_nSecond = KeepOr(static_cast<int>(SendDlgItemMessage(IDC_EFX_COMBO, CB_GETCURSEL, 0, 0)), 0, 3, 0);
    EndDialog(IDOK);
}

// ---- Emboss ------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CEmbossDlg, CEffectParamDlg)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_EFX_RADIO1, IDC_EFX_RADIO8, OnDirection)
END_MESSAGE_MAP()

CEmbossDlg::CEmbossDlg(CWnd* pParent)
    : CEffectParamDlg(IDD_EFX_EMBOSS, kEntryEmboss, pParent)
{
}

BOOL CEmbossDlg::OnInitDialog()
{
    CEffectParamDlg::OnInitDialog();
    CheckRadioButton(IDC_EFX_RADIO1, IDC_EFX_RADIO8, IDC_EFX_RADIO1);
    SetUpValue(IDC_EFX_EDIT, IDC_EFX_SPIN, IDC_EFX_SLIDER, 0, 100, 1);
    m_bSettingUp = FALSE;
    return TRUE;
}

int CEmbossDlg::Direction() const
{
    for (int n = 0; n < 8; ++n)
        if (IsDlgButtonChecked(IDC_EFX_RADIO1 + n) == BST_CHECKED)
            return n;
    return 0;
}

void CEmbossDlg::OnValuesChanged()
{
    int nDepth = 0;
    if (IsInRange(IDC_EFX_EDIT, IDC_EFX_SLIDER, nDepth))
        SendPreview(Direction(), nDepth);
}

void CEmbossDlg::OnDirection(UINT)
{
    OnValuesChanged();
}

void CEmbossDlg::OnOK()
{
    m_nFirst = Direction();
    m_nSecond = ReadClamped(IDC_EFX_EDIT, 0, 100, 0);
    EndDialog(IDOK);
}

// ---- Underlay ----------------------------------------------------------------------------------

namespace {

constexpr char kUnderlaySection[] = "Underlay";

CString RecentValueName(int n)
{
    CString name;
    name.Format("MRU%d", n);
    return name;
}

BOOL SamePath(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) == 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CUnderlayDlg, CEffectParamDlg)
    ON_BN_CLICKED(IDC_EFX_BROWSE, OnBrowse)
    ON_CBN_EDITCHANGE(IDC_EFX_COMBO, OnPathEdited)
    ON_CBN_SELCHANGE(IDC_EFX_COMBO, OnPathChosen)
    ON_BN_CLICKED(IDC_EFX_RADIO1, OnMode)
    ON_BN_CLICKED(IDC_EFX_RADIO2, OnMode)
END_MESSAGE_MAP()

CUnderlayDlg::CUnderlayDlg(CWnd* pParent)
    : CEffectParamDlg(IDD_EFX_UNDERLAY, kEntryUnderlay, pParent)
{
}

void CUnderlayDlg::ReadRecent(CString (&paths)[kRecentCount])
{
    CWinApp* pApp = AfxGetApp();
    for (int n = 0; n < kRecentCount; ++n) {
        paths[n].Empty();
        if (pApp == nullptr)
            continue;
        // The profile may hold anything: no longer than a path can be.
        paths[n] = pApp->GetProfileString(kUnderlaySection, RecentValueName(n), "");
        if (paths[n].GetLength() > kMaxPath)
            paths[n] = paths[n].Left(kMaxPath);
    }
}

void CUnderlayDlg::PushRecent(const CString& strPath)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || strPath.IsEmpty())
        return;
    CString old[kRecentCount];
    ReadRecent(old);
    // Every slot moves, empty ones too, so no older path lingers below a
    // gap; the path itself appears once.
    CString now[kRecentCount];
    int nNow = 0;
    now[nNow++] = strPath.Left(kMaxPath);
    for (int n = 0; n < kRecentCount && nNow < kRecentCount; ++n) {
        if (old[n].IsEmpty() || SamePath(old[n], now[0]))
            continue;
        now[nNow++] = old[n];
    }
    for (int n = 0; n < kRecentCount; ++n)
        pApp->WriteProfileString(kUnderlaySection, RecentValueName(n), now[n]);
}

void CUnderlayDlg::FillList()
{
    HWND hCombo = ::GetDlgItem(m_hWnd, IDC_EFX_COMBO);
    if (hCombo == NULL)
        return;
    const CString strText = Path();
    ::SendMessage(hCombo, CB_RESETCONTENT, 0, 0);
    CString paths[kRecentCount];
    ReadRecent(paths);
    for (const CString& path : paths)
        if (!path.IsEmpty())
            ::SendMessage(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(path)));
    // Emptying the list empties the edit too: the user's text comes back,
    // with the caret after it, and is no change of the user's.
    m_bSettingText = TRUE;
    ::SetWindowText(hCombo, strText);
    m_bSettingText = FALSE;
    ::SendMessage(hCombo, CB_SETEDITSEL, 0, MAKELPARAM(strText.GetLength(), strText.GetLength()));
}

BOOL CUnderlayDlg::OnInitDialog()
{
    CEffectParamDlg::OnInitDialog();
    SendDlgItemMessage(IDC_EFX_COMBO, CB_LIMITTEXT, kMaxPath, 0);
    FillList();
    CheckRadioButton(IDC_EFX_RADIO1, IDC_EFX_RADIO2, IDC_EFX_RADIO1);
    m_bSettingUp = FALSE;
    OnValuesChanged();
    return TRUE;
}

CString CUnderlayDlg::Path() const
{
    char text[kMaxPath + 1] = {};
    ::GetDlgItemText(m_hWnd, IDC_EFX_COMBO, text, sizeof(text));
    return text;
}

void CUnderlayDlg::OnValuesChanged()
{
    const CString strPath = Path();
    const BOOL bFirstLook = m_nLooks++ == 0;
    if (strPath.IsEmpty() || !::FileExists(strPath)) {
        SendPreview(0, 0);
        return;
    }
    // The path the dialog opened with is not news; a path is remembered
    // once, however often the mode changes after it.
    if (!bFirstLook && !SamePath(strPath, m_strPushed)) {
        PushRecent(strPath);
        m_strPushed = strPath;
        FillList();
    }
    SendPreview(IsDlgButtonChecked(IDC_EFX_RADIO2) == BST_CHECKED ? 1 : 0, 0, strPath);
}

void CUnderlayDlg::OnPathEdited()
{
    if (!m_bSettingText)
        OnValuesChanged();
}

void CUnderlayDlg::OnPathChosen()
{
    OnValuesChanged();
}

void CUnderlayDlg::OnMode()
{
    OnValuesChanged();
}

void CUnderlayDlg::OnBrowse()
{
    CString strPath = Path();
    if (ChoosePictureSource(this, strPath, kPictureDialogPickOne) != kPictureChosen)
        return;
    m_bSettingText = TRUE;
    SetDlgItemText(IDC_EFX_COMBO, strPath.Left(kMaxPath));
    m_bSettingText = FALSE;
    OnValuesChanged();
}

void CUnderlayDlg::OnOK()
{
    m_nFirst = IsDlgButtonChecked(IDC_EFX_RADIO2) == BST_CHECKED ? 1 : 0;
    m_nSecond = 0;
    m_strText = Path();
    EndDialog(IDOK);
}

// ---- Color Resolution --------------------------------------------------------------------------

namespace {

constexpr int kDepths[] = {1, 4, 8, 16, 24};
constexpr int kDepthCount = 5;

} // namespace

BEGIN_MESSAGE_MAP(CColorResolutionDlg, CEffectParamDlg)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_EFX_RADIO1, IDC_EFX_RADIO10, OnRadio)
END_MESSAGE_MAP()

CColorResolutionDlg::CColorResolutionDlg(int nPicBits, CWnd* pParent)
    : CEffectParamDlg(IDD_EFX_COLOR_RES, kEntryColorResolution, pParent)
    , m_nPicBits(nPicBits)
{
}

BOOL CColorResolutionDlg::OnInitDialog()
{
    CEffectParamDlg::OnInitDialog();
    // The picture's own depth, or the next one below it for depths the
    // list does not name (2 bits shows as monochrome, 32 as true colour).
    int nStart = 0;
    for (int n = 0; n < kDepthCount; ++n)
        if (m_nPicBits >= kDepths[n])
            nStart = n;
    CheckRadioButton(IDC_EFX_RADIO1, IDC_EFX_RADIO5, IDC_EFX_RADIO1 + nStart);
    CheckRadioButton(IDC_EFX_RADIO6, IDC_EFX_RADIO7, IDC_EFX_RADIO7);
    CheckRadioButton(IDC_EFX_RADIO8, IDC_EFX_RADIO10, IDC_EFX_RADIO8);

    // Only reductions are offered, and only depths the screen can show.
    // The screen's depth: below 8 it shows fewer than 256 colours.
    const int nScreen = GetScreenColorDepth();
    for (int n = 0; n < kDepthCount; ++n) {
        BOOL bOffer = kDepths[n] <= m_nPicBits;
        if (kDepths[n] == 8 && nScreen < 8)
            bOffer = FALSE;
        if (kDepths[n] >= 16 && nScreen <= 8)
            bOffer = FALSE;
        if (CWnd* pRadio = GetDlgItem(IDC_EFX_RADIO1 + n))
            pRadio->EnableWindow(bOffer);
    }
    EnableDithers(m_nPicBits < 16);
    m_bSettingUp = FALSE;
    return TRUE;
}

void CColorResolutionDlg::EnableDithers(BOOL bEnable)
{
    for (int nID = IDC_EFX_RADIO8; nID <= IDC_EFX_RADIO10; ++nID)
        if (CWnd* pRadio = GetDlgItem(nID))
            pRadio->EnableWindow(bEnable);
}

int CColorResolutionDlg::ChosenDepth() const
{
    for (int n = 0; n < kDepthCount; ++n)
        if (IsDlgButtonChecked(IDC_EFX_RADIO1 + n) == BST_CHECKED)
            return kDepths[n];
    return 24;
}

int CColorResolutionDlg::ChosenDither() const
{
    if (IsDlgButtonChecked(IDC_EFX_RADIO9) == BST_CHECKED)
        return kDitherOrdered;
    if (IsDlgButtonChecked(IDC_EFX_RADIO10) == BST_CHECKED)
        return kDitherFloydStein;
    return 0;
}

void CColorResolutionDlg::OnValuesChanged()
{
    const int nDepth = ChosenDepth();
    const int nPalette = IsDlgButtonChecked(IDC_EFX_RADIO6) == BST_CHECKED ? kPaletteFixed : kPaletteOptimized;
    SendPreview(nDepth, nPalette + (nDepth < 16 ? ChosenDither() : kHighDepthFlag));
}

void CColorResolutionDlg::OnRadio(UINT)
{
    EnableDithers(ChosenDepth() < 16);
    OnValuesChanged();
}

void CColorResolutionDlg::OnOK()
{
    m_nFirst = ChosenDepth();
    m_nSecond = m_nFirst < 16 ? ChosenDither() : 0;
    EndDialog(IDOK);
}

// ---- The way in --------------------------------------------------------------------------------

int RunEffectParamDialog(int nEntry, int nPicWidth, int nPicHeight, int nPicBits, int& nFirst, int& nSecond,
    CString& strText)
{
    nFirst = 0;
    nSecond = 0;
    strText.Empty();
    // The active window is Picture Studio, which hears the previews.
    CWnd* pParent = CWnd::FromHandle(::GetActiveWindow());
    std::unique_ptr<CEffectParamDlg> pDlg;
    if (CSingleValueEffectDlg::HandlesEntry(nEntry))
        pDlg = std::make_unique<CSingleValueEffectDlg>(nEntry, pParent);
    else if (CDoubleValueEffectDlg::HandlesEntry(nEntry))
        pDlg = std::make_unique<CDoubleValueEffectDlg>(nEntry, nPicWidth, nPicHeight, pParent);
    else if (nEntry == kEntryAddNoise)
        pDlg = std::make_unique<CAddNoiseDlg>(pParent);
    else if (nEntry == kEntryEmboss)
        pDlg = std::make_unique<CEmbossDlg>(pParent);
    else if (nEntry == kEntryUnderlay)
        pDlg = std::make_unique<CUnderlayDlg>(pParent);
    else if (nEntry == kEntryColorResolution)
        pDlg = std::make_unique<CColorResolutionDlg>(nPicBits, pParent);
    if (pDlg == nullptr || pDlg->DoModal() != IDOK)
        return 0;
    nFirst = pDlg->m_nFirst;
    nSecond = pDlg->m_nSecond;
    strText = pDlg->m_strText;
    return 1;
}
