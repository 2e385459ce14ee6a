#include "pictures/EffectParamDlgs.h"

int RunEffectParamDialog(int, int, int, int, int& nFirst, int& nSecond, CString& strText)
{
    // FIXME: the parameter dialogs are being built; until then every
    // dialog entry answers as cancelled.
    nFirst = 0;
    nSecond = 0;
    strText.Empty();
    return 0;
}
