#include "assist/DialogButtons.h"

#include "controls/PictureButton.h"

void DressOkCancel(C3DPicTrickBtn* pOk, C3DPicTrickBtn* pCancel)
{
    if (pOk != nullptr && pOk->m_hWnd != NULL)
        pOk->SetIcon(IDI_BUTTON_OK);
    if (pCancel != nullptr && pCancel->m_hWnd != NULL)
        pCancel->SetIcon(IDI_BUTTON_CANCEL);
}
