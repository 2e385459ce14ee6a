#pragma once
// The New Design dialog: the launcher's choices (project kind, way to
// start) in a dialog of its own. On IDOK m_request holds the request record
// for the chosen kind with the chosen way as its start option, ready to be
// copied into the application (CopyDesignRequest).

#include "resources/assist.h"
#include "app/main/DesignRequest.h"
#include "assist/LauncherDlg.h"


class CNewDesignDlg : public CLauncherDlg {
public:
    explicit CNewDesignDlg(CWnd* pParent = NULL);

    const DesignRequest& GetRequest() const { return m_request; }

    DesignRequest m_request;

protected:
    void OnOK() override;
};
