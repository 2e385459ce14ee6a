#include "controls/ProgressDisplays.h"

#include "app/ContentCatalog.h"
#include "app/FolderScan.h"
#include "controls/ProgressDlg.h"
#include "platform/framework/Afx.h"

#include <memory>

namespace {

// One progress dialog with Cancel over the main window, made when the
// display is made and destroyed with it.
class CProgressDialogDisplay {
public:
    CProgressDialogDisplay() : m_dialog(std::make_unique<CProgressDlg>(AfxGetMainWnd(), TRUE)) {}

    void SetMessage(UINT nStringId) { m_dialog->SetMessage(nStringId); }
    void SetText(const CString& strText) { m_dialog->SetLineCompact(1, strText); }
    void SetRange(int nFull)
    {
        m_dialog->SetRange(nFull);
        SetPos(0);
    }
    void SetPos(int nPos)
    {
        m_nPos = nPos;
        m_dialog->SetPos(nPos);
    }
    void Step() { SetPos(m_nPos + 1); }
    BOOL IsCancelled() const { return m_dialog->m_bCancelled; }
    void PumpMessages() { AfxPumpMessagesUntilIdle(); }

private:
    std::unique_ptr<CProgressDlg> m_dialog;
    int m_nPos = 0;
};

class CScanProgressDialog : public CScanProgress {
public:
    void SetMessage(UINT nStringId) override { m_display.SetMessage(nStringId); }
    void SetText(const CString& strText) override { m_display.SetText(strText); }
    void SetRange(int nFull) override { m_display.SetRange(nFull); }
    void SetPos(int nPos) override { m_display.SetPos(nPos); }
    void Step() override { m_display.Step(); }
    BOOL IsCancelled() override { return m_display.IsCancelled(); }
    void PumpMessages() override { m_display.PumpMessages(); }

private:
    CProgressDialogDisplay m_display;
};

// The index shows its dialog only while it loads.
class CIndexProgressDialog : public CIndexProgress {
public:
    void Start(UINT nMessageId, int nFull) override
    {
        m_display = std::make_unique<CProgressDialogDisplay>();
        m_display->SetMessage(nMessageId);
        m_display->SetRange(nFull);
    }
    void Step() override
    {
        if (m_display)
            m_display->Step();
    }
    BOOL IsCancelled() override { return m_display && m_display->IsCancelled(); }
    void Finish() override { m_display.reset(); }

private:
    std::unique_ptr<CProgressDialogDisplay> m_display;
};

} // namespace

void InstallProgressDisplays()
{
    SetScanProgressFactory([] { return std::unique_ptr<CScanProgress>(std::make_unique<CScanProgressDialog>()); });
    SetIndexProgressFactory([] { return std::unique_ptr<CIndexProgress>(std::make_unique<CIndexProgressDialog>()); });
}
