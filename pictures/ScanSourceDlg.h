#pragma once
// The list of scanners, offered when more than one is found. IDOK leaves
// the picked one's index (in the order given) in m_nPicked; IDCANCEL picks
// none. An empty list leaves OK disabled.

#include "resources/scanner.h"
#include "platform/framework/Dialog.h"

#include <string>
#include <vector>

class CScanSourceDlg : public CDialog {
public:
    explicit CScanSourceDlg(std::vector<std::string> labels, CWnd* pParent = NULL);

    int m_nPicked = -1;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<std::string> m_labels;
};
