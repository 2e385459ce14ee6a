#include "controls/SheetButtons.h"

#include "controls/PictureButton.h"
#include "resources/prefs.h"
#include "resources/resource.h"

void SubclassSheetButtons(CPropertySheet* pSheet, C3DPicTrickBtn& btnOK, C3DPicTrickBtn& btnCancel,
    C3DPicTrickBtn& btnApply, C3DPicTrickBtn& btnHelp)
{
    const HWND hSheet = pSheet->GetSafeHwnd();
    if (::GetDlgItem(hSheet, IDOK) != NULL)
        btnOK.SubclassWithIcon(IDOK, pSheet, IDI_BUTTON_OK);
    if (::GetDlgItem(hSheet, IDCANCEL) != NULL)
        btnCancel.SubclassWithIcon(IDCANCEL, pSheet, IDI_BUTTON_CANCEL);
    if (::GetDlgItem(hSheet, ID_APPLY_NOW) != NULL && btnApply.SubclassDlgItem(ID_APPLY_NOW, pSheet))
        btnApply.SetIcons(IDI_BUTTON_APPLY, IDI_BUTTON_APPLY_DISABLED);
    if (::GetDlgItem(hSheet, IDHELP) != NULL)
        btnHelp.SubclassWithIcon(IDHELP, pSheet, IDI_BUTTON_HELP);
}

SheetCommand ClassifySheetCommand(CPropertySheet* pSheet, WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const bool bButton = lParam == 0 || HIWORD(wParam) == BN_CLICKED;
    if (!bButton || (nID != IDOK && nID != ID_APPLY_NOW))
        return SheetCommand::Other;
    // A disabled button does nothing, however the command came.
    if (HWND hButton = ::GetDlgItem(pSheet->GetSafeHwnd(), int(nID)); hButton != NULL && !::IsWindowEnabled(hButton))
        return SheetCommand::Disabled;
    return nID == IDOK ? SheetCommand::OK : SheetCommand::Apply;
}
