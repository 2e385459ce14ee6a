// The view's Picture Studio command: effects on the picture of the selected
// object, taken over as one undo step.

#include "surface/Surface.h"

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "pictures/Image.h"
#include "pictures/PictureStudioDlg.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"

#include <memory>

namespace {

CDrawObj* FirstSelected(CObList& selection)
{
    if (selection.IsEmpty())
        return nullptr;
    return dynamic_cast<CDrawObj*>(selection.GetHead());
}

} // namespace

void CSurface::OnPictureStudio()
{
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = dynamic_cast<CDrawObj*>(m_selection.GetNext(pos));
        if (pObj != nullptr && pObj->IsTextEditActive())
            pObj->EndTextEdit();
    }
    CDrawObj* pObj = FirstSelected(m_selection);
    if (pObj == nullptr || !pObj->HasPicture() || pObj->m_pPicture == nullptr)
        return;

    CPictureStudioDlg dlg(pObj, pObj->m_pPicture, AfxGetMainWnd());
    if (dlg.DoModal() != IDOK)
        return;
    // The dialog may have run for long; the object must still be the one.
    if (FirstSelected(m_selection) != pObj || pObj->m_pPicture == nullptr)
        return;

    CObjectAttributes attrs;
    pObj->GetAttributes(attrs, 1);
    // The object goes on with a copy of its picture; the step keeps the
    // picture itself, so that Undo gives back its very bytes.
    RecordUndoPictureChange(GetDocument(), pObj, &attrs, IDS_UNDO_PROPERTIES);
    std::unique_ptr<CImage> pResult(dlg.DetachWorkingPicture());
    if (pResult == nullptr)
        return;
    pObj->SetPictureFromImage(pResult.get(), TRUE, (attrs.m_wPictureFlags & IMAGE_FLAG_MIRROR_Y) != 0,
        (pResult->m_wFlags & IMAGE_FLAG_TILED) != 0, (pResult->m_wFlags & IMAGE_FLAG_TRANSLUCENT) != 0);
    // Studio hands the picture back upright; it takes the object's turn again.
    const int nAngle = dlg.GetRotation();
    if (nAngle != 0 && pObj->m_pPicture != nullptr) {
        CRect rectRaster = pObj->m_position;
        pObj->m_pPicture->RotateWithWaitCursor(nAngle, rectRaster, pObj->m_rectUnrotated, RGB(255, 255, 255), TRUE);
    }
    pObj->FreeRenderCache();
    pObj->Invalidate();
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
}

void CSurface::OnUpdatePictureStudio(CCmdUI* pCmdUI)
{
    const CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != nullptr && pObj->HasPicture() && !(pObj->m_wFlags & OBJ_FLAG_LOCKED));
}
