// The steps the picture editing tests take on a design at 100 %: adding a
// picture object, selecting one object alone in rotate mode, a command
// from the frame, a turn through the Rotate dialog, and painting what is
// waiting as the screen would before the user's next step.

#pragma once

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <string>

namespace surfacetest {

class PictureEditTest : public ToolTest {
protected:
    // A picture object on rect from the file at path (Windows form);
    // nullptr when the picture does not load.
    CDrawRect* AddPicture(const std::string& path, const CRect& rect)
    {
        auto* pObj = new CDrawRect(rect);
        m_pView->Add(pObj);
        pObj->SetPictureFile(path.c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        return pObj->HasPicture() ? pObj : nullptr;
    }

    // Paints what is waiting: drawing is where a picture follows its
    // frame's mirrors.
    void Settle()
    {
        m_pView->UpdateWindow();
        Pump();
    }

    void SelectAlone(CDrawObj* pObj)
    {
        m_pView->Select(pObj);
        m_pView->m_bRotateMode = TRUE;
        Settle();
    }

    void Command(UINT nID)
    {
        m_pView->GetParentFrame()->SendMessage(WM_COMMAND, nID);
        Pump();
    }

    void TurnByDialog(CDrawObj* pObj, int nDegrees)
    {
        SelectAlone(pObj);
        const std::string text = std::to_string(nDegrees);
        testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [text](HWND hDlg) {
            ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, text.c_str());
            ::SendMessage(hDlg, WM_COMMAND, IDOK, 0);
        })});
        Command(ID_ARRANGE_ROTATE);
    }

    CSurface* m_pView = nullptr;
};

} // namespace surfacetest
