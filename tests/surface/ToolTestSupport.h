#pragma once
// The mouse tools driven as a user drives them: presses, moves and releases
// sent to a focused design view at logical points of its surface, and a
// watch on the pop-up menus its frame opens.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/DrawDoc.h"
#include "model/UndoList.h"
#include "surface/SurfaceTool.h"

#include <string>
#include <vector>

namespace surfacetest {

// The items of the first pop-up menu a window opens while the watch lasts:
// their ids (0 a separator) and texts. The fixture closes menus with Escape.
class PopupWatch {
public:
    explicit PopupWatch(CWnd* pOwner)
        : m_hOwner(pOwner->m_hWnd)
    {
        s_pActive = this;
        m_pPrev = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtr(m_hOwner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PopupWatch::Spy)));
    }
    ~PopupWatch()
    {
        if (::IsWindow(m_hOwner))
            ::SetWindowLongPtr(m_hOwner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pPrev));
        s_pActive = nullptr;
    }
    PopupWatch(const PopupWatch&) = delete;
    PopupWatch& operator=(const PopupWatch&) = delete;

    int Shown() const { return m_nShown; }
    const std::vector<UINT>& Ids() const { return m_ids; }
    const std::vector<std::string>& Texts() const { return m_texts; }
    void Reset()
    {
        m_nShown = 0;
        m_ids.clear();
        m_texts.clear();
    }

private:
    static LRESULT CALLBACK Spy(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        PopupWatch* pWatch = s_pActive;
        if (message == WM_INITMENUPOPUP && pWatch != nullptr && pWatch->m_nShown++ == 0) {
            HMENU hMenu = reinterpret_cast<HMENU>(wParam);
            const int nCount = ::GetMenuItemCount(hMenu);
            for (int i = 0; i < nCount; ++i) {
                pWatch->m_ids.push_back(::GetMenuItemID(hMenu, i));
                char text[128] = {};
                ::GetMenuString(hMenu, UINT(i), text, sizeof(text), MF_BYPOSITION);
                pWatch->m_texts.push_back(text);
            }
        }
        return ::CallWindowProc(pWatch != nullptr ? pWatch->m_pPrev : ::DefWindowProc, hWnd, message, wParam, lParam);
    }

    static inline PopupWatch* s_pActive = nullptr;
    HWND m_hOwner;
    WNDPROC m_pPrev = nullptr;
    int m_nShown = 0;
    std::vector<UINT> m_ids;
    std::vector<std::string> m_texts;
};

class ToolTest : public SurfaceInputTest {
protected:
    // A focused design at 100 % without snapping.
    CSurface* NewToolView()
    {
        CSurface* pView = NewView();
        if (pView != nullptr)
            pView->GetDocument()->m_wDocFlags &= WORD(~0x0003);
        return pView;
    }

    static CPoint ClientAt(CSurface* pView, CPoint logical)
    {
        pView->LPtoDPPoint(&logical);
        return logical;
    }

    static CPoint LogicalAt(CSurface* pView, CPoint client)
    {
        pView->DPtoLPPoint(&client);
        return client;
    }

    // The mouse messages themselves, at client points, with the keys the
    // flags name held down for the tools' own key tests.
    static void Send(CSurface* pView, UINT message, CPoint client, UINT nFlags = 0)
    {
        pView->SendMessage(message, nFlags, MAKELPARAM(client.x, client.y));
        Pump();
    }
    static void Press(CSurface* pView, CPoint client, UINT nFlags = 0)
    {
        Send(pView, WM_LBUTTONDOWN, client, nFlags | MK_LBUTTON);
    }
    static void MoveTo(CSurface* pView, CPoint client, UINT nFlags = 0)
    {
        Send(pView, WM_MOUSEMOVE, client, nFlags | MK_LBUTTON);
    }
    static void Release(CSurface* pView, CPoint client, UINT nFlags = 0)
    {
        Send(pView, WM_LBUTTONUP, client, nFlags);
    }

    // A drag in client pixels through its middle.
    static void DragClient(CSurface* pView, CPoint from, CPoint to, UINT nFlags = 0)
    {
        Press(pView, from, nFlags);
        MoveTo(pView, CPoint((from.x + to.x) / 2, (from.y + to.y) / 2), nFlags);
        MoveTo(pView, to, nFlags);
        Release(pView, to, nFlags);
    }

    static CDrawObj* LastObject(CSurface* pView)
    {
        CObList& objects = pView->GetObjects();
        return objects.IsEmpty() ? nullptr : static_cast<CDrawObj*>(objects.GetTail());
    }

    static CUndoList& Undo(CSurface* pView) { return pView->GetDocument()->GetUndoList(); }

    // Gives the main window a bar of three menus, the last one Help.
    void GiveMainAMenu()
    {
        HMENU hBar = ::CreateMenu();
        for (const char* pszName : {"&File", "&Edit", "&Help"})
            ::AppendMenu(hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), pszName);
        ::SetMenu(m_pMain->m_hWnd, hBar);
        m_hBar = hBar;
    }
    BOOL Greyed(int nPos) const { return (::GetMenuState(m_hBar, UINT(nPos), MF_BYPOSITION) & MF_GRAYED) != 0; }

    HMENU m_hBar = NULL;
};

} // namespace surfacetest
