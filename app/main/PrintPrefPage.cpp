#include "app/main/PrintPrefPage.h"

#include "app/PrinterHelpers.h"
#include "app/PrintPrefData.h"
#include "platform/framework/DataExchange.h"
#include "resources/prefs.h"

namespace {

void PutBit(WORD& wWord, WORD wBit, bool bSet)
{
    if (bSet)
        wWord |= wBit;
    else
        wWord &= WORD(~wBit);
}

} // namespace

BEGIN_MESSAGE_MAP(CPrintPrefPage, CPropertyPage)
    ON_BN_CLICKED(IDC_PRINT_SHAPED_AUTO, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_SHAPED_1, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_SHAPED_2, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_SHAPED_3, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_SHAPED_4, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_TEXT_AUTO, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_TEXT_DIRECT, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_TEXT_BITMAP, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_ALT_CLIPPING, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_DITHERING, OnChoiceChanged)
    ON_BN_CLICKED(IDC_PRINT_FAST_GRAPHICS, OnChoiceChanged)
END_MESSAGE_MAP()

CPrintPrefPage::CPrintPrefPage()
    : CPropertyPage(IDD_PREF_PRINTING)
{
    ReadWord(thePrintPrefs.Printing);
}

void CPrintPrefPage::ReadWord(WORD wPrinting)
{
    m_bDithering = (wPrinting & PRINT_PREF_NO_DITHER) == 0;
    if (wPrinting & PRINT_PREF_TEXT_AUTO)
        m_nRegularText = kTextAuto;
    else if (wPrinting & PRINT_PREF_TEXT_DIRECT)
        m_nRegularText = kTextDirect;
    else
        m_nRegularText = kTextBitmap;
    m_bAltClipping = (wPrinting & PRINT_PREF_ALT_CLIPPING) != 0;
    if (wPrinting & PRINT_PREF_SHAPED_AUTO)
        m_nShapedText = kShapedAuto;
    else if (wPrinting & PRINT_PREF_SHAPED_METHOD1)
        m_nShapedText = 1;
    else if (wPrinting & PRINT_PREF_SHAPED_METHOD3)
        m_nShapedText = 3;
    else if (wPrinting & PRINT_PREF_SHAPED_METHOD)
        m_nShapedText = 2;
    else
        m_nShapedText = 4;
    m_bFastGraphics = (wPrinting & PRINT_PREF_NO_FAST_GRAPHICS) == 0;
}

WORD CPrintPrefPage::MakeWord(WORD wPrinting) const
{
    PutBit(wPrinting, PRINT_PREF_TEXT_AUTO, m_nRegularText == kTextAuto);
    PutBit(wPrinting, PRINT_PREF_TEXT_DIRECT, m_nRegularText == kTextDirect);
    PutBit(wPrinting, PRINT_PREF_ALT_CLIPPING, m_bAltClipping != 0);
    // Methods 1 to 3 are told by 0x2000 and their own bit; automatic by
    // 0x0080 alone and method 4 by none of them.
    const bool bAuto = m_nShapedText == kShapedAuto;
    PutBit(wPrinting, PRINT_PREF_SHAPED_AUTO, bAuto);
    PutBit(wPrinting, PRINT_PREF_SHAPED_METHOD, !bAuto && m_nShapedText != 4);
    PutBit(wPrinting, PRINT_PREF_SHAPED_METHOD1, m_nShapedText == 1);
    PutBit(wPrinting, PRINT_PREF_SHAPED_METHOD3, m_nShapedText == 3);
    PutBit(wPrinting, PRINT_PREF_NO_DITHER, m_bDithering == 0);
    PutBit(wPrinting, PRINT_PREF_NO_FAST_GRAPHICS, m_bFastGraphics == 0);
    return wPrinting;
}

BOOL CPrintPrefPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_strPrinter.IsEmpty()) {
        CString strDescription;
        if (GetPrinterDescription(strDescription) && !strDescription.IsEmpty()) {
            m_strPrinter = strDescription;
            SetDlgItemText(IDC_PRINT_PRINTER, m_strPrinter);
        }
    }
    return TRUE;
}

void CPrintPrefPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_PRINT_SHAPED_AUTO, m_nShapedText);
    DDX_Radio(pDX, IDC_PRINT_TEXT_AUTO, m_nRegularText);
    DDX_Check(pDX, IDC_PRINT_ALT_CLIPPING, m_bAltClipping);
    DDX_Check(pDX, IDC_PRINT_DITHERING, m_bDithering);
    DDX_Check(pDX, IDC_PRINT_FAST_GRAPHICS, m_bFastGraphics);
    if (!pDX->m_bSaveAndValidate)
        SetDlgItemText(IDC_PRINT_PRINTER, m_strPrinter);
}

void CPrintPrefPage::OnChoiceChanged()
{
    SetModified(TRUE);
}

void CPrintPrefPage::OnOK()
{
    CPropertyPage::OnOK();
    thePrintPrefs.Printing = MakeWord(thePrintPrefs.Printing);
    thePrintPrefs.ApplyDisplayFlag();
}
