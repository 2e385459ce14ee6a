#pragma once
// CPrintPrefPage: the "Printing" page of the Preferences sheet. It shows
// the printing word (thePrintPrefs) as the methods for shaped and regular
// text and three checks, and writes it back on OK and Apply, switching the
// picture engine's dithered display to match; the sheet saves the word.

#include "platform/base/String.h"
#include "platform/framework/PropertySheet.h"

class CPrintPrefPage : public CPropertyPage {
public:
    // Shaped text and calendars: automatic, then methods 1 to 4.
    static constexpr int kShapedAuto = 0;
    static constexpr int kShapedMethodCount = 5;
    // Regular text.
    static constexpr int kTextAuto = 0;
    static constexpr int kTextDirect = 1;
    static constexpr int kTextBitmap = 2;

    CPrintPrefPage();

    int m_nShapedText = kShapedAuto;
    int m_nRegularText = kTextAuto;
    int m_bAltClipping = 0;
    int m_bDithering = 0;
    int m_bFastGraphics = 0;
    // Shown under the choices; filled from the default printer when empty.
    CString m_strPrinter;

    // The page's values as a printing word has them, and the word they make
    // from `wPrinting` (its other bits kept).
    void ReadWord(WORD wPrinting);
    WORD MakeWord(WORD wPrinting) const;

    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnChoiceChanged();
    DECLARE_MESSAGE_MAP()
};
