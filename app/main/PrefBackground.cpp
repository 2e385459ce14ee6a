#include "app/main/PrefBackground.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/main/DocTemplates.h"
#include "surface/Surface.h"
#include "surface/SurfaceBackground.h"

void ApplyBackgroundColor(COLORREF crColor)
{
    thePrefs.BkgClr = crColor;
    thePrefs.SaveBackgroundColor();
    g_surfaceBackground.SetColor(crColor);
    g_surfaceBackground.SetBitmap(NULL);
    UpdateAllDesignViews(CSurface::HintBackground);
}

BOOL ApplyBackgroundImage(const CString& strPath)
{
    if (!g_surfaceBackground.SetImageFile(strPath))
        return FALSE;
    UpdateAllDesignViews(CSurface::HintBackground);
    return TRUE;
}

void ApplyStoredBackground()
{
    g_surfaceBackground.SetColor(thePrefs.BkgClr);
    if (thePrefs.BkgOpt == 0 && !thePrefs.BkgImg.IsEmpty() && FileExists(thePrefs.BkgImg)
        && g_surfaceBackground.SetImageFile(thePrefs.BkgImg))
        return;
    g_surfaceBackground.SetBitmap(NULL);
}
