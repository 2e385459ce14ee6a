// The document's Undo and Redo commands.

#include "app/SoundPlayer.h"
#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "platform/framework/CmdTarget.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"

namespace {

// The sounds of the two commands.
constexpr int kUndoSound = 9;
constexpr int kRedoSound = 8;

void PlaySound(int nSound)
{
    if (auto* pApp = dynamic_cast<CDesignerApp*>(AfxGetApp())) {
        if (CSoundPlayer* pPlayer = pApp->GetSoundPlayer())
            pPlayer->Play(nSound);
    }
}

// "&Undo move\tCtrl+Z", or "&Undo\tCtrl+Z" when there is nothing.
void UpdateItem(CCmdUI* pCmdUI, UINT nFormat, BOOL bAvailable, const CString& strLabel)
{
    CString strFormat;
    strFormat.LoadString(nFormat);
    CString strText;
    strText.Format(strFormat, bAvailable ? static_cast<LPCTSTR>(" " + strLabel) : "");
    pCmdUI->SetText(strText);
    pCmdUI->Enable(bAvailable);
}

} // namespace

CDrawObj* CDrawDoc::FindObjectById(DWORD nSerial) const
{
    const CSurface* pView = GetSurfaceView(-1);
    if (pView == nullptr)
        return nullptr;
    const CObList& objects = pView->GetObjects();
    for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
        // A view's list holds drawing objects only.
        auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
        if (pObj->m_nSerial == nSerial)
            return pObj;
    }
    return nullptr;
}

void CDrawDoc::OnEditUndo()
{
    PlaySound(kUndoSound);
    do {
        m_undoList.Undo(this);
    } while (m_undoList.IsInGroup());
}

void CDrawDoc::OnEditRedo()
{
    PlaySound(kRedoSound);
    do {
        m_undoList.Redo(this);
    } while (m_undoList.IsInGroup());
}

void CDrawDoc::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    // The crop tool keeps its own half-made step.
    const BOOL bAvailable = m_undoList.CanUndo() && GetCurrentShape() != kShapeCrop;
    UpdateItem(pCmdUI, IDS_UNDO_MENU, bAvailable, m_undoList.GetUndoLabel());
}

void CDrawDoc::OnUpdateEditRedo(CCmdUI* pCmdUI)
{
    const BOOL bAvailable = m_undoList.CanRedo() && GetCurrentShape() != kShapeCrop;
    UpdateItem(pCmdUI, IDS_REDO_MENU, bAvailable, m_undoList.GetRedoLabel());
}
