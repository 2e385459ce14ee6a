#include "platform/framework/OleDrop.h"

#include "platform/framework/OleData.h"
#include "platform/framework/View.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/DragTarget.h"
#include "platform/ui/User.h"

#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(COleDropTarget, CObject)

namespace {

// A registered window's procedure is wrapped so that its drops reach the
// target before the window's own procedure.
struct Registration {
    COleDropTarget* target;
    WNDPROC oldProc;
};

std::unordered_map<HWND, Registration>& Registrations()
{
    static std::unordered_map<HWND, Registration> map;
    return map;
}

COleDropTarget* TargetOf(HWND hWnd)
{
    auto it = Registrations().find(hWnd);
    return it == Registrations().end() ? NULL : it->second.target;
}

constexpr DWORD kEveryEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

DWORD KeysHeld()
{
    DWORD keys = 0;
    if (::GetKeyState(VK_SHIFT) < 0)
        keys |= MK_SHIFT;
    if (::GetKeyState(VK_CONTROL) < 0)
        keys |= MK_CONTROL;
    if (::GetKeyState(VK_MENU) < 0)
        keys |= MK_ALT;
    return keys;
}

LRESULT CALLBACK DropTargetWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = Registrations().find(hWnd);
    if (it == Registrations().end())
        return ::DefWindowProc(hWnd, message, wParam, lParam);
    const Registration reg = it->second;
    if (reg.target == NULL) {
        // Revoked while another procedure sat over this one: pass through.
        if (message == WM_NCDESTROY)
            Registrations().erase(hWnd);
        return ::CallWindowProc(reg.oldProc, hWnd, message, wParam, lParam);
    }
    if (message == WM_DROPFILES) {
        reg.target->HandleDrop(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (message == WM_NCDESTROY)
        reg.target->Revoke();
    return ::CallWindowProc(reg.oldProc, hWnd, message, wParam, lParam);
}

// What a drag in progress offers before the drop: files, not yet named.
class PendingFilesOffer final : public platform::DataOffer {
public:
    bool IsAvailable(CLIPFORMAT cf) override { return cf == CF_HDROP; }
    HGLOBAL CopyGlobal(CLIPFORMAT) override { return NULL; }
    std::vector<CLIPFORMAT> Formats() override { return {CLIPFORMAT(CF_HDROP)}; }
};

// A target as the window system asks it during a drag in progress.
class LiveDrag final : public platform::DragTarget {
public:
    explicit LiveDrag(COleDropTarget& target)
        : m_target(target)
    {
        m_data.AttachOffer(std::make_shared<PendingFilesOffer>());
    }

    DWORD DragEnter(DWORD keys, POINT screen) override
    {
        HWND hWnd = m_target.GetRegisteredWindow();
        const CPoint point = ClientPoint(hWnd, screen);
        DROPEFFECT effect = m_target.OnDragEnter(CWnd::FromHandle(hWnd), &m_data, keys, point);
        if (!Alive(hWnd))
            return DROPEFFECT_NONE;
        const DROPEFFECT scroll = m_target.OnDragScroll(CWnd::FromHandle(hWnd), keys, point);
        if (scroll & DROPEFFECT_SCROLL)
            effect = scroll & ~DROPEFFECT_SCROLL;
        return effect & kEveryEffect;
    }

    DWORD DragOver(DWORD keys, POINT screen) override
    {
        HWND hWnd = m_target.GetRegisteredWindow();
        const CPoint point = ClientPoint(hWnd, screen);
        const DROPEFFECT scroll = m_target.OnDragScroll(CWnd::FromHandle(hWnd), keys, point);
        if (scroll & DROPEFFECT_SCROLL)
            return scroll & ~DROPEFFECT_SCROLL & kEveryEffect;
        if (!Alive(hWnd))
            return DROPEFFECT_NONE;
        return m_target.OnDragOver(CWnd::FromHandle(hWnd), &m_data, keys, point) & kEveryEffect;
    }

    void DragLeave() override { m_target.OnDragLeave(CWnd::FromHandle(m_target.GetRegisteredWindow())); }

    DWORD Drop(const std::vector<std::string>& files, DWORD keys, POINT screen, DWORD effect) override
    {
        (void)keys;
        HWND hWnd = m_target.GetRegisteredWindow();
        const CPoint point = ClientPoint(hWnd, screen);
        std::vector<CString> names;
        names.reserve(files.size());
        for (const std::string& file : files)
            names.emplace_back(file.c_str());
        COleDataObject dataObject;
        dataObject.AttachOffer(platform::MakeFileDropOffer(names, point));
        const DROPEFFECT result = m_target.OnDropEx(CWnd::FromHandle(hWnd), &dataObject, effect, kEveryEffect, point);
        if (result != (DROPEFFECT)-1)
            return result;
        if (!Alive(hWnd))
            return DROPEFFECT_NONE;
        return m_target.OnDrop(CWnd::FromHandle(hWnd), &dataObject, effect, point) ? effect : DROPEFFECT_NONE;
    }

private:
    static CPoint ClientPoint(HWND hWnd, POINT screen)
    {
        POINT point = screen;
        ::ScreenToClient(hWnd, &point);
        return CPoint(point);
    }
    // A callback may destroy the window, and with it the target.
    bool Alive(HWND hWnd) const { return ::IsWindow(hWnd) && TargetOf(hWnd) == &m_target; }

    COleDropTarget& m_target;
    COleDataObject m_data;
};

} // namespace

COleDropTarget::COleDropTarget() = default;

COleDropTarget::~COleDropTarget()
{
    Revoke();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    HWND hWnd = pWnd != NULL ? pWnd->GetSafeHwnd() : NULL;
    if (hWnd == NULL || !::IsWindow(hWnd) || m_hWnd != NULL || TargetOf(hWnd) != NULL)
        return FALSE;
    auto it = Registrations().find(hWnd);
    if (it != Registrations().end()) {
        // Our wrapper is still in the window's chain from an earlier target.
        it->second.target = this;
    } else {
        const auto oldProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DropTargetWndProc)));
        if (oldProc == NULL)
            return FALSE;
        Registrations()[hWnd] = Registration{this, oldProc};
    }
    m_hWnd = hWnd;
    ::DragAcceptFiles(hWnd, TRUE);
    if (!m_live)
        m_live = std::make_unique<LiveDrag>(*this);
    platform::RegisterDragTarget(hWnd, m_live.get());
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (m_hWnd == NULL)
        return;
    HWND hWnd = m_hWnd;
    m_hWnd = NULL;
    if (platform::RegisteredDragTarget(hWnd) == m_live.get())
        platform::RevokeDragTarget(hWnd);
    auto it = Registrations().find(hWnd);
    if (it == Registrations().end() || it->second.target != this)
        return;
    const WNDPROC oldProc = it->second.oldProc;
    Registrations().erase(it);
    if (::IsWindow(hWnd)) {
        ::DragAcceptFiles(hWnd, FALSE);
        // Only our own wrapper is taken out: a procedure installed over it
        // later keeps calling it, and it passes everything on from now on.
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC)) == &DropTargetWndProc)
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
        else
            Registrations()[hWnd] = Registration{NULL, oldProc};
    }
}

void COleDropTarget::HandleDrop(HDROP hDrop)
{
    HWND hWnd = m_hWnd;
    std::vector<CString> files;
    const UINT count = ::DragQueryFile(hDrop, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFile(hDrop, i, NULL, 0);
        std::vector<char> name(size_t(length) + 1);
        ::DragQueryFile(hDrop, i, name.data(), length + 1);
        files.emplace_back(name.data());
    }
    POINT pt{0, 0};
    ::DragQueryPoint(hDrop, &pt);
    ::DragFinish(hDrop);
    if (hWnd == NULL || files.empty())
        return;

    COleDataObject dataObject;
    dataObject.AttachOffer(platform::MakeFileDropOffer(files, pt));
    const CPoint point(pt);
    const DWORD keys = KeysHeld();

    // A callback may destroy the window, and with it this target: after
    // each one, go on only while the window still has this target.
    auto alive = [hWnd, this]() { return ::IsWindow(hWnd) && TargetOf(hWnd) == this; };

    DROPEFFECT effect = OnDragEnter(CWnd::FromHandle(hWnd), &dataObject, keys | MK_LBUTTON, point);
    if (!alive())
        return;
    const DROPEFFECT scroll = OnDragScroll(CWnd::FromHandle(hWnd), keys | MK_LBUTTON, point);
    if (!alive())
        return;
    if (scroll & DROPEFFECT_SCROLL) {
        effect = scroll & ~DROPEFFECT_SCROLL;
    } else {
        effect = OnDragOver(CWnd::FromHandle(hWnd), &dataObject, keys | MK_LBUTTON, point);
        if (!alive())
            return;
    }
    effect &= kEveryEffect;
    if (effect == DROPEFFECT_NONE) {
        OnDragLeave(CWnd::FromHandle(hWnd));
        return;
    }
    const DROPEFFECT result = OnDropEx(CWnd::FromHandle(hWnd), &dataObject, effect, kEveryEffect, point);
    if (result != (DROPEFFECT)-1 || !alive())
        return;
    OnDrop(CWnd::FromHandle(hWnd), &dataObject, effect, point);
}

// The defaults hand the drag to the view the target is registered on.

DROPEFFECT COleDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (auto* pView = dynamic_cast<CView*>(pWnd))
        return pView->OnDragEnter(pDataObject, dwKeyState, point);
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (auto* pView = dynamic_cast<CView*>(pWnd))
        return pView->OnDragOver(pDataObject, dwKeyState, point);
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    if (auto* pView = dynamic_cast<CView*>(pWnd))
        return pView->OnDrop(pDataObject, dropEffect, point);
    return FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
    DROPEFFECT dropList, CPoint point)
{
    if (auto* pView = dynamic_cast<CView*>(pWnd))
        return pView->OnDropEx(pDataObject, dropDefault, dropList, point);
    return (DROPEFFECT)-1;
}

void COleDropTarget::OnDragLeave(CWnd* pWnd)
{
    if (auto* pView = dynamic_cast<CView*>(pWnd))
        pView->OnDragLeave();
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point)
{
    if (auto* pView = dynamic_cast<CView*>(pWnd))
        return pView->OnDragScroll(dwKeyState, point);
    return DROPEFFECT_NONE;
}
