#include "controls/SupportBitmaps.h"

#include "platform/base/Resources.h"
#include "platform/gdi/GdiObject.h"

BOOL LoadSupportBitmap(CBitmap& bitmap, UINT nID)
{
    bitmap.DeleteObject();
    LPCSTR name = MAKEINTRESOURCE(nID);
    HBITMAP hBitmap = ::LoadBitmap(AfxFindResourceHandle(name, RT_BITMAP), name);
    return hBitmap != NULL && bitmap.Attach(hBitmap);
}
