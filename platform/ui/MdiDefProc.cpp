// The default procedures of MDI frames and children, and the MDI keyboard
// interface.

#include "platform/ui/Mdi.h"
#include "platform/ui/internal/MdiClient.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>

using namespace platform;

namespace {

HWND ClientOf(HWND child)
{
    MdiClientState* st = MdiClientOfChild(child);
    return st ? st->client : NULL;
}

} // namespace

LRESULT DefFrameProc(HWND hWnd, HWND hWndMDIClient, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    MdiClientState* st = hWndMDIClient ? FindMdiClient(hWndMDIClient) : nullptr;
    if (!st)
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    switch (uMsg) {
    case WM_COMMAND: {
        UINT id = LOWORD(wParam);
        if (lParam == 0 && id >= st->idFirstChild && id < st->idFirstChild + st->children.size()) {
            HWND child = st->children[id - st->idFirstChild];
            if (IsIconic(child))
                SendMessage(hWndMDIClient, WM_MDIRESTORE, WPARAM(child), 0);
            SendMessage(hWndMDIClient, WM_MDIACTIVATE, WPARAM(child), 0);
            return 0;
        }
        // The maximised child's system menu and buttons in the menu bar
        // come here as commands; they are the child's system commands.
        if (lParam == 0 && id >= 0xF000 && st->maximized) {
            SendMessage(st->maximized, WM_SYSCOMMAND, wParam & 0xFFF0, 0);
            return 0;
        }
        break;
    }
    case WM_SYSCOMMAND:
        // Alt+minus with the keys in the frame itself: the active document
        // window's system menu.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == '-' && st->active && IsWindow(st->active)) {
            SendMessage(st->active, WM_SYSCOMMAND, wParam, lParam);
            return 0;
        }
        break;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            MoveWindow(hWndMDIClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;
    case WM_SETFOCUS:
        if (IsWindowVisible(hWndMDIClient)) {
            SetFocus(hWndMDIClient);
            return 0;
        }
        break;
    case WM_NCACTIVATE:
        // The active child's caption follows the frame's.
        if (st->active && IsWindow(st->active))
            SendMessage(st->active, WM_NCACTIVATE, wParam, 0);
        break;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        if (!text) {
            // No text: the caption is composed again from the frame's own
            // title and the maximised child, if any (programs send this
            // after a child goes away).
            if (!st->frameTitleKnown) {
                char current[512] = {};
                GetWindowText(hWnd, current, int(sizeof current));
                st->frameTitle = current;
                st->frameTitleKnown = true;
            }
            MdiUpdateFrameTitle(hWndMDIClient);
            return TRUE;
        }
        st->frameTitle = text;
        st->frameTitleKnown = true;
        if (st->maximized) {
            MdiUpdateFrameTitle(hWndMDIClient);
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProc(hWnd, uMsg, wParam, lParam);
}

LRESULT DefMDIChildProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    HWND client = ClientOf(hWnd);
    if (!client)
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    switch (uMsg) {
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(hWnd, uMsg, wParam, lParam);
        MdiRefreshWindowList(client);
        if (MdiClientState* st = FindMdiClient(client); st && st->maximized == hWnd)
            MdiUpdateFrameTitle(client);
        return r;
    }
    case WM_CLOSE:
        SendMessage(client, WM_MDIDESTROY, WPARAM(hWnd), 0);
        return 0;
    case WM_CHILDACTIVATE:
        MdiActivate(client, hWnd);
        return 0;
    case WM_MOUSEACTIVATE: {
        // A click anywhere in a child makes it the active one.
        LRESULT r = DefWindowProc(hWnd, uMsg, wParam, lParam);
        if (IsWindow(hWnd))
            MdiActivate(client, hWnd);
        return r;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: {
        // A press on an inactive child's caption, frame or own client area
        // while the frame is already active activates the child too.
        MdiClientState* st = FindMdiClient(client);
        if (st && st->active != hWnd)
            MdiActivate(client, hWnd);
        if (!IsWindow(hWnd))
            return 0;
        break;
    }
    case WM_SETFOCUS: {
        MdiClientState* st = FindMdiClient(client);
        if (st && st->active != hWnd)
            MdiActivate(client, hWnd);
        break;
    }
    case WM_GETMINMAXINFO: {
        LRESULT r = DefWindowProc(hWnd, uMsg, wParam, lParam);
        if (auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam)) {
            RECT m = MdiMaximizedRect(client, hWnd);
            mmi->ptMaxPosition = POINT{m.left, m.top};
            mmi->ptMaxSize = POINT{m.right - m.left, m.bottom - m.top};
            mmi->ptMaxTrackSize.x = std::max(mmi->ptMaxTrackSize.x, mmi->ptMaxSize.x);
            mmi->ptMaxTrackSize.y = std::max(mmi->ptMaxTrackSize.y, mmi->ptMaxSize.y);
        }
        return r;
    }
    case WM_SIZE: {
        LRESULT r = DefWindowProc(hWnd, uMsg, wParam, lParam);
        if (wParam == SIZE_MINIMIZED) {
            // Minimised without a place among the icons (ShowWindow called
            // directly): it joins the row at the bottom of the client.
            if (Window* w = PeekWindowRecord(hWnd); w && w->minPosition.x == -1 && w->minPosition.y == -1) {
                POINT slot = MdiIconSlot(client, hWnd);
                w->minPosition = slot;
                SetWindowPos(hWnd, NULL, slot.x, slot.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        if (wParam == SIZE_MAXIMIZED)
            MdiChildSizeStateChanged(client, hWnd, true);
        else if (wParam == SIZE_RESTORED || wParam == SIZE_MINIMIZED)
            MdiChildSizeStateChanged(client, hWnd, false);
        return r;
    }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_NEXTWINDOW:
            SendMessage(client, WM_MDINEXT, WPARAM(hWnd), 0);
            return 0;
        case SC_PREVWINDOW:
            SendMessage(client, WM_MDINEXT, WPARAM(hWnd), 1);
            return 0;
        case SC_MAXIMIZE: {
            MdiClientState* st = FindMdiClient(client);
            if (st && st->active != hWnd)
                MdiActivate(client, hWnd);
            break;
        }
        case SC_MINIMIZE:
            if (Window* w = PeekWindowRecord(hWnd); w && !(w->style & WS_MINIMIZE))
                w->minPosition = MdiIconSlot(client, hWnd);
            break;
        case SC_CLOSE:
            SendMessage(hWnd, WM_CLOSE, 0, 0);
            return 0;
        default:
            break;
        }
        break;
    case WM_DESTROY:
        // Destroyed behind the client's back: forget it the proper way.
        if (MdiClientState* st = FindMdiClient(client); st && !st->closing)
            MdiDestroyChild(client, hWnd);
        break;
    default:
        break;
    }
    return DefWindowProc(hWnd, uMsg, wParam, lParam);
}

BOOL TranslateMDISysAccel(HWND hWndClient, LPMSG lpMsg)
{
    MdiClientState* st = FindMdiClient(hWndClient);
    if (!st || !lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN))
        return FALSE;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0)
        return FALSE;
    HWND active = st->active;
    if (!active || !IsWindow(active) || !IsWindowEnabled(active))
        return FALSE;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    UINT command;
    switch (lpMsg->wParam) {
    case VK_F4:
        command = SC_CLOSE;
        break;
    case VK_F6:
    case VK_TAB:
        command = shift ? SC_PREVWINDOW : SC_NEXTWINDOW;
        break;
    default:
        return FALSE;
    }
    SendMessage(active, WM_SYSCOMMAND, command, MAKELPARAM(lpMsg->wParam, 0x10));
    return TRUE;
}
