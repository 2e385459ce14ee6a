// Files dropped from the desktop: WM_DROPFILES with an HDROP that names the
// files in Windows form and the point of the drop.

#include "platform/base/Geometry.h"
#include "platform/files/HandleTable.h"
#include "platform/files/HostPath.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace platform {

namespace {

// What the desktop may hand over in one drop; the rest is left out.
constexpr size_t kMaxDroppedFiles = 4096;
constexpr size_t kMaxDroppedPath = 4096;

struct Drop {
    HWND target = NULL;
    std::vector<std::string> files; // Windows form, 1252
    POINT point{0, 0}; // client coordinates of the target
    bool inClient = true;
};

HandleTable<Drop>& Drops()
{
    static HandleTable<Drop> table(0x52, 1024);
    return table;
}

// Drops whose window died before it finished them.
std::vector<HDROP>& Outstanding()
{
    static std::vector<HDROP> list;
    return list;
}

Drop* FindDrop(HDROP h)
{
    return Drops().Get(uint64_t(reinterpret_cast<uintptr_t>(h)));
}

void ForgetDeadDrops()
{
    auto& list = Outstanding();
    list.erase(std::remove_if(list.begin(), list.end(),
                   [](HDROP h) {
                       Drop* d = FindDrop(h);
                       if (d && PeekWindowRecord(d->target))
                           return false;
                       Drops().Remove(uint64_t(reinterpret_cast<uintptr_t>(h)));
                       return true;
                   }),
        list.end());
}

} // namespace

void DeliverDrop(HWND topLevel, const std::vector<std::string>& paths, POINT screen)
{
    ForgetDeadDrops();
    HWND target = DeepestEnabledWindowAt(topLevel, screen, false);
    while (target) {
        Window* w = PeekWindowRecord(target);
        if (!w)
            return;
        if (w->exStyle & WS_EX_ACCEPTFILES)
            break;
        target = w->parent == Ws().desktop ? NULL : w->parent;
    }
    if (!target || paths.empty())
        return;

    auto drop = std::make_unique<Drop>();
    drop->target = target;
    for (const std::string& path : paths) {
        if (drop->files.size() == kMaxDroppedFiles)
            break;
        if (path.empty() || path.size() > kMaxDroppedPath)
            continue;
        drop->files.push_back(WindowsPathFor(path));
    }
    if (drop->files.empty())
        return;
    Window* w = PeekWindowRecord(target);
    drop->point = POINT{screen.x - w->clientRect.left, screen.y - w->clientRect.top};
    drop->inClient = ::PtInRect(&w->clientRect, screen) != FALSE;

    HDROP handle = reinterpret_cast<HDROP>(uintptr_t(Drops().Add(std::move(drop))));
    if (!handle)
        return;
    if (!PostMessage(target, WM_DROPFILES, WPARAM(handle), 0)) {
        Drops().Remove(uint64_t(reinterpret_cast<uintptr_t>(handle)));
        return;
    }
    Outstanding().push_back(handle);
}

} // namespace platform

using namespace platform;

void DragAcceptFiles(HWND hWnd, BOOL fAccept)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || hWnd == Ws().desktop)
        return;
    if (fAccept)
        w->exStyle |= WS_EX_ACCEPTFILES;
    else
        w->exStyle &= ~DWORD(WS_EX_ACCEPTFILES);
}

UINT DragQueryFile(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch)
{
    Drop* d = FindDrop(hDrop);
    if (!d) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (iFile == 0xFFFFFFFF)
        return UINT(d->files.size());
    if (iFile >= d->files.size())
        return 0;
    const std::string& name = d->files[iFile];
    if (!lpszFile)
        return UINT(name.size());
    if (cch == 0)
        return 0;
    size_t n = std::min<size_t>(name.size(), cch - 1);
    std::memcpy(lpszFile, name.data(), n);
    lpszFile[n] = '\0';
    return UINT(n);
}

BOOL DragQueryPoint(HDROP hDrop, LPPOINT lppt)
{
    Drop* d = FindDrop(hDrop);
    if (!d || !lppt)
        return FALSE;
    *lppt = d->point;
    return d->inClient ? TRUE : FALSE;
}

void DragFinish(HDROP hDrop)
{
    auto& list = Outstanding();
    list.erase(std::remove(list.begin(), list.end(), hDrop), list.end());
    Drops().Remove(uint64_t(reinterpret_cast<uintptr_t>(hDrop)));
}
