#pragma once
// What a command's update handler says of its menu item, asked through a
// command target as a menu asks.

#include "platform/framework/CmdTarget.h"

#include <string>

namespace testing_support {

struct CommandState {
    BOOL bEnabled = TRUE;
    int nCheck = -1;  // -1 when the handler does not say
    std::string text; // empty when the handler does not set one
};

inline CommandState CommandStateOf(CCmdTarget* pTarget, UINT nID, BOOL bDisableIfNoHandler = TRUE)
{
    class Probe : public CCmdUI {
    public:
        void Enable(BOOL bOn) override
        {
            m_state.bEnabled = bOn;
            m_bEnableChanged = TRUE;
        }
        void SetCheck(int nCheck) override { m_state.nCheck = nCheck; }
        void SetRadio(BOOL bOn) override { m_state.nCheck = bOn ? 1 : 0; }
        void SetText(LPCTSTR lpszText) override { m_state.text = lpszText != nullptr ? lpszText : ""; }
        CommandState m_state;
    } probe;
    probe.m_nID = nID;
    probe.DoUpdate(pTarget, bDisableIfNoHandler);
    return probe.m_state;
}

} // namespace testing_support
