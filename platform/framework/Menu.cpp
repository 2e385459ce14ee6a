// CMenu and its handle maps.

#include "platform/framework/Menu.h"

#include "platform/base/Resources.h"
#include "platform/base/String.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/GdiObject.h"

#include <memory>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {

struct MenuMaps {
    std::unordered_map<HMENU, CMenu*> permanent;
    std::unordered_map<HMENU, std::unique_ptr<CMenu>> temporary;
};

MenuMaps& Maps()
{
    static MenuMaps maps;
    return maps;
}

} // namespace

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu)
{
    if (hMenu == NULL)
        return nullptr;
    if (CMenu* pMenu = FromHandlePermanent(hMenu))
        return pMenu;
    MenuMaps& maps = Maps();
    auto it = maps.temporary.find(hMenu);
    if (it != maps.temporary.end())
        return it->second.get();
    auto pMenu = std::make_unique<CMenu>();
    pMenu->m_hMenu = hMenu;
    CMenu* result = pMenu.get();
    maps.temporary.emplace(hMenu, std::move(pMenu));
    return result;
}

CMenu* PASCAL CMenu::FromHandlePermanent(HMENU hMenu)
{
    MenuMaps& maps = Maps();
    auto it = maps.permanent.find(hMenu);
    return it == maps.permanent.end() ? nullptr : it->second;
}

void PASCAL CMenu::DeleteTempMap()
{
    MenuMaps& maps = Maps();
    // A temporary wrapper never owns its menu.
    for (auto& [handle, pMenu] : maps.temporary)
        pMenu->m_hMenu = NULL;
    maps.temporary.clear();
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu == NULL || m_hMenu != NULL)
        return FALSE;
    m_hMenu = hMenu;
    Maps().permanent[hMenu] = this;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    if (hMenu != NULL) {
        MenuMaps& maps = Maps();
        auto it = maps.permanent.find(hMenu);
        if (it != maps.permanent.end() && it->second == this)
            maps.permanent.erase(it);
    }
    m_hMenu = NULL;
    return hMenu;
}

BOOL CMenu::CreateMenu()
{
    return Attach(::CreateMenu());
}

BOOL CMenu::CreatePopupMenu()
{
    return Attach(::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName)
{
    return Attach(::LoadMenu(AfxFindResourceHandle(lpszResourceName, RT_MENU), lpszResourceName));
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    return LoadMenu(MAKEINTRESOURCE(nIDResource));
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == NULL)
        return FALSE;
    // Only a wrapper that owns its menu (a permanent one) destroys it.
    bool owns = FromHandlePermanent(m_hMenu) == this;
    HMENU hMenu = Detach();
    return owns ? ::DestroyMenu(hMenu) : TRUE;
}

CMenu* CMenu::GetSubMenu(int nPos) const
{
    return FromHandle(::GetSubMenu(GetSafeHmenu(), nPos));
}

UINT CMenu::GetMenuItemCount() const
{
    return UINT(::GetMenuItemCount(GetSafeHmenu()));
}

UINT CMenu::GetMenuItemID(int nPos) const
{
    return ::GetMenuItemID(GetSafeHmenu(), nPos);
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const
{
    return ::GetMenuState(GetSafeHmenu(), nID, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const
{
    return ::GetMenuString(GetSafeHmenu(), nIDItem, lpString, nMaxCount, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int nLen = ::GetMenuString(GetSafeHmenu(), nIDItem, nullptr, 0, nFlags);
    if (nLen <= 0) {
        rString.Empty();
        return 0;
    }
    char* buffer = rString.GetBuffer(nLen + 1);
    int n = ::GetMenuString(GetSafeHmenu(), nIDItem, buffer, nLen + 1, nFlags);
    rString.ReleaseBuffer(n < 0 ? 0 : n);
    return n;
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
{
    return UINT(::EnableMenuItem(GetSafeHmenu(), nIDEnableItem, nEnable));
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
{
    return UINT(::CheckMenuItem(GetSafeHmenu(), nIDCheckItem, nCheck));
}

BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
{
    return ::CheckMenuRadioItem(GetSafeHmenu(), nIDFirst, nIDLast, nIDItem, nFlags);
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked)
{
    return ::SetMenuItemBitmaps(GetSafeHmenu(), nPosition, nFlags, HBITMAP(pBmpUnchecked != nullptr ? pBmpUnchecked->m_hObject : NULL),
        HBITMAP(pBmpChecked != nullptr ? pBmpChecked->m_hObject : NULL));
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::AppendMenu(GetSafeHmenu(), nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::InsertMenu(GetSafeHmenu(), nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::ModifyMenu(GetSafeHmenu(), nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags)
{
    return ::RemoveMenu(GetSafeHmenu(), nPosition, nFlags);
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags)
{
    return ::DeleteMenu(GetSafeHmenu(), nPosition, nFlags);
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(GetSafeHmenu(), nFlags, x, y, 0, platform::HandleOf(pWnd), lpRect);
}
