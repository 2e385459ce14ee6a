// CCmdTarget: finding entries in message maps and dispatching commands.

#include "platform/framework/CmdTarget.h"

#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"

#include <unordered_map>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

namespace {

bool IsCommandKind(UINT nSig)
{
    return nSig == AfxSig_cmd || nSig == AfxSig_cmdEx || nSig == AfxSig_cmdUI || nSig == AfxSig_notify
        || nSig == AfxSig_notifyEx;
}

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP_ENTRY* entry, UINT nMsg, UINT nCode, UINT nID)
{
    for (; entry->nSig != AfxSig_end; ++entry) {
        if (entry->nMessage == nMsg && entry->nCode == nCode && nID >= entry->nID && nID <= entry->nLastID
            && IsCommandKind(entry->nSig))
            return entry;
    }
    return nullptr;
}

// Window-message lookups are cached per map: the maps are constant, so a
// (map, message) pair always finds the same entry (or none).
struct MapKeyHash {
    size_t operator()(const std::pair<const AFX_MSGMAP*, UINT>& k) const
    {
        return std::hash<const void*>()(k.first) ^ (size_t(k.second) * 0x9E3779B97F4A7C15ull);
    }
};

std::unordered_map<std::pair<const AFX_MSGMAP*, UINT>, const AFX_MSGMAP_ENTRY*, MapKeyHash>& MessageCache()
{
    static std::unordered_map<std::pair<const AFX_MSGMAP*, UINT>, const AFX_MSGMAP_ENTRY*, MapKeyHash> cache;
    return cache;
}

const AFX_MSGMAP_ENTRY* FindWindowMessage(const AFX_MSGMAP* pMap, UINT message)
{
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nSig != AfxSig_msg)
                continue;
            if (e->nMessage == AFX_REGISTERED_MESSAGE_MARKER) {
                if (message >= 0xC000 && e->pnRegistered != nullptr && *e->pnRegistered == message)
                    return e;
            } else if (e->nMessage == message) {
                return e;
            }
        }
    }
    return nullptr;
}

} // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const
{
    const AFX_MSGMAP* pMap = GetMessageMap();
    // Registered numbers are only known at run time (and may be registered
    // late), so they are not cached.
    if (message >= 0xC000)
        return FindWindowMessage(pMap, message);
    auto& cache = MessageCache();
    auto key = std::make_pair(pMap, message);
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    const AFX_MSGMAP_ENTRY* entry = FindWindowMessage(pMap, message);
    cache.emplace(key, entry);
    return entry;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // nCode: CN_COMMAND, CN_UPDATE_COMMAND_UI, a control's notification
    // code, or MAKELONG(code, message) for WM_NOTIFY and reflected forms.
    UINT nMsg = WM_COMMAND;
    UINT code = UINT(nCode);
    if (code != CN_UPDATE_COMMAND_UI && code != CN_EVENT) {
        nMsg = HIWORD(code);
        code = LOWORD(code);
        if (nMsg == 0)
            nMsg = WM_COMMAND;
    }
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        const AFX_MSGMAP_ENTRY* entry = FindEntry(pMap->lpEntries, nMsg, code, nID);
        if (entry == nullptr)
            continue;
        if (pHandlerInfo != nullptr) {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pEntry = entry;
            return TRUE;
        }
        AFX_MSGCALL call;
        call.message = nMsg;
        call.nID = nID;
        call.nCode = code;
        call.pExtra = pExtra;
        if (entry->nSig == AfxSig_cmdUI) {
            CCmdUI* pCmdUI = static_cast<CCmdUI*>(pExtra);
            if (pCmdUI == nullptr)
                return FALSE;
            // ContinueRouting inside the handler lets later targets answer.
            pCmdUI->m_bContinueRouting = FALSE;
            entry->pfn(this, call);
            BOOL bHandled = !pCmdUI->m_bContinueRouting;
            pCmdUI->m_bContinueRouting = FALSE;
            return bHandled;
        }
        if ((entry->nSig == AfxSig_notify || entry->nSig == AfxSig_notifyEx) && pExtra == nullptr)
            return FALSE;
        return entry->pfn(this, call) != 0;
    }
    return FALSE;
}

void CCmdTarget::BeginWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(0);
}

namespace platform {

UINT CtlColorType(UINT message)
{
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return message - WM_CTLCOLORMSGBOX;
    return CTLCOLOR_MSGBOX;
}

BOOL MdiActivating(CCmdTarget* self, const AFX_MSGCALL& call)
{
    CWnd* pWnd = dynamic_cast<CWnd*>(self);
    return pWnd != nullptr && pWnd->m_hWnd != NULL && HWND(call.lParam) == pWnd->m_hWnd;
}

} // namespace platform
