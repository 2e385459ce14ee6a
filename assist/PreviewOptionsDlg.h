#pragma once
// CPreviewOptionsDlg: the Preview Options dialog. The user picks the side of
// a preview cell's picture (small, medium or large); OK stores it as
// Application/MulImgPrevFixedSize, and the caller lays its grid out again.
// A stored size that is none of the three opens as medium.

#include "resources/previewgrid.h"
#include "platform/framework/Dialog.h"

class CPreviewOptionsDlg : public CDialog {
public:
    static constexpr int kSmall = 64;
    static constexpr int kMedium = 100;
    static constexpr int kLarge = 160;

    explicit CPreviewOptionsDlg(CWnd* pParent = NULL);

    int GetPreviewSize() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    int m_nChoice = 1; // 0 small, 1 medium, 2 large
};
