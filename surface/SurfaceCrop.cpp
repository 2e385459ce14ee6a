// The view's crop commands: the Picture Crop dialog, the crop tool's
// Complete and Undo, the choice of the crop tool and of the zoom tool.

#include "surface/Surface.h"

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoRecording.h"
#include "pictures/CropDlg.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/CropZoomTools.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"

#include <algorithm>

namespace {

// The smallest part of a picture a crop keeps, either way.
constexpr double kMinCropFraction = 0.01;

} // namespace

void CSurface::OnPictureCrop()
{
    CDrawObj* pObj = GetSingleSelection();
    if (pObj == NULL)
        return;
    CCropDlg dlg(this);
    dlg.SetDrawObject(pObj);
    if (dlg.DoModal() != IDOK)
        return;
    // The dialog may have run for long; the object must still be here.
    if (GetSingleSelection() != pObj)
        return;
    RecordUndoCrop(GetDocument(), &pObj, pObj->m_dCropLeft, pObj->m_dCropTop, pObj->m_dCropWidth, pObj->m_dCropHeight);
    const double dWidth = std::max(kMinCropFraction, dlg.m_rails.GetWidth());
    const double dHeight = std::max(kMinCropFraction, dlg.m_rails.GetHeight());
    double dLeft = dlg.m_rails.GetLeft();
    double dTop = dlg.m_rails.GetTop();
    // The dialog shows the picture as it appears on the page; the object
    // counts from the far sides while it lies in its own orientation (the
    // way its drawing and the crop tool read the fractions).
    if (pObj->IsOrientedX())
        dLeft = 1.0 - dLeft - dWidth;
    if (pObj->IsOrientedY())
        dTop = 1.0 - dTop - dHeight;
    InvalidateObjectRect(pObj);
    pObj->SetCrop(dLeft, dTop, dWidth, dHeight);
    InvalidateObjectRect(pObj);
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
}

void CSurface::OnUpdatePictureCrop(CCmdUI* pCmdUI)
{
    const CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->HasPicture());
}

void CSurface::OnCompleteCrop()
{
    if (g_nCurrentShape == kShapeCrop && m_selection.GetCount() == 1)
        g_cropTool.Complete(this);
}

void CSurface::OnUndoCrop()
{
    if (g_nCurrentShape == kShapeCrop && m_selection.GetCount() == 1)
        g_cropTool.Undo(this);
}

void CSurface::OnUpdateCropUnderWay(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(g_nCurrentShape == kShapeCrop && m_selection.GetCount() == 1);
}

void CSurface::OnCropTool()
{
    const CDrawObj* pObj = GetSingleSelection();
    if (pObj != NULL && pObj->HasPicture())
        ::SetCurrentShape(this, kShapeCrop);
}

void CSurface::OnUpdateCropTool(CCmdUI* pCmdUI)
{
    const CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->HasPicture());
    pCmdUI->SetRadio(g_nCurrentShape == kShapeCrop);
}

void CSurface::OnZoomTool()
{
    ::SetCurrentShape(this, kShapeZoom);
}
