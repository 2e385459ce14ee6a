#pragma once
// Per-window state for the dialog controls that keep it beside the window
// record rather than in a window-extra slot: one owning map per state type.

#include "platform/base/Types.h"

#include <map>
#include <memory>

namespace platform {

template <class T>
std::map<HWND, std::unique_ptr<T>>& WindowStates()
{
    static std::map<HWND, std::unique_ptr<T>> states;
    return states;
}

// hwnd's state, or null when it has none (not created yet, or destroyed).
template <class T>
T* FindWindowState(HWND hwnd)
{
    auto& states = WindowStates<T>();
    auto it = states.find(hwnd);
    return it == states.end() ? nullptr : it->second.get();
}

} // namespace platform
