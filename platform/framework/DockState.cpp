// The saved bar layout in the application's profile. A layout named N is
// kept in the sections "N-Summary" (value "Bars": how many bars) and
// "N-Bar0", "N-Bar1", ...; each bar section holds the bar's values under
// the class library's names. Every number read back is bounded, and a
// missing summary means there is no saved layout.

#include "platform/framework/ControlBar.h"

#include "platform/framework/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockState, CObject)

namespace {

CString SummarySection(LPCTSTR lpszProfileName)
{
    CString s(lpszProfileName);
    s += "-Summary";
    return s;
}

CString BarSection(LPCTSTR lpszProfileName, int nIndex)
{
    CString s;
    s.Format("%s-Bar%d", lpszProfileName, nIndex);
    return s;
}

int GetInt(CWinApp* pApp, const CString& section, LPCTSTR entry, int nDefault)
{
    return static_cast<int>(pApp->GetProfileInt(section, entry, nDefault));
}

// Screen positions beyond any display are damage, not layout.
int Coordinate(int v)
{
    return std::clamp(v, -32768, 32767);
}

} // namespace

BOOL CControlBarInfo::SaveState(LPCTSTR lpszProfileName, int nIndex) const
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    CString section = BarSection(lpszProfileName, nIndex);
    // Start clean so values of an older layout do not linger.
    if (pApp->GetProfileInt(section, "BarID", 0) != 0)
        pApp->WriteProfileString(section, nullptr, nullptr);
    // Only what differs from the defaults LoadState assumes is written: every
    // write rewrites the profile file.
    pApp->WriteProfileInt(section, "BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        pApp->WriteProfileInt(section, "Visible", 0);
    if (m_bDockBar) {
        pApp->WriteProfileInt(section, "Bars", static_cast<int>(m_arrBarID.size()));
        for (size_t i = 0; i < m_arrBarID.size(); ++i) {
            if (m_arrBarID[i] == 0)
                continue;
            CString entry;
            entry.Format("Bar#%d", static_cast<int>(i));
            pApp->WriteProfileInt(section, entry, static_cast<int>(m_arrBarID[i]));
        }
        return TRUE;
    }
    if (!m_bHorz)
        pApp->WriteProfileInt(section, "Horz", 0);
    if (m_bFloating) {
        pApp->WriteProfileInt(section, "Floating", 1);
        pApp->WriteProfileInt(section, "XPos", m_pointPos.x);
        pApp->WriteProfileInt(section, "YPos", m_pointPos.y);
    } else if (m_pointPos.x > 0) {
        pApp->WriteProfileInt(section, "XPos", m_pointPos.x);
    }
    if (m_nMRUWidth != 32767)
        pApp->WriteProfileInt(section, "MRUWidth", static_cast<int>(m_nMRUWidth));
    if (!m_bDocking)
        return TRUE;
    // The other place the bar can toggle to: where it was docked while it
    // floats, where it floated while it is docked.
    if (m_bFloating && m_uMRUDockID != 0) {
        pApp->WriteProfileInt(section, "Docking", 1);
        pApp->WriteProfileInt(section, "MRUDockID", static_cast<int>(m_uMRUDockID));
        pApp->WriteProfileInt(section, "MRUDockLeftPos", m_rectMRUDockPos.left);
        pApp->WriteProfileInt(section, "MRUDockTopPos", m_rectMRUDockPos.top);
        pApp->WriteProfileInt(section, "MRUDockRightPos", m_rectMRUDockPos.right);
        pApp->WriteProfileInt(section, "MRUDockBottomPos", m_rectMRUDockPos.bottom);
    }
    if (!m_bFloating && m_dwMRUFloatStyle != 0) {
        pApp->WriteProfileInt(section, "Docking", 1);
        pApp->WriteProfileInt(section, "MRUFloatStyle", static_cast<int>(m_dwMRUFloatStyle));
        pApp->WriteProfileInt(section, "MRUFloatXPos", m_ptMRUFloatPos.x);
        pApp->WriteProfileInt(section, "MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    return TRUE;
}

BOOL CControlBarInfo::LoadState(LPCTSTR lpszProfileName, int nIndex)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    CString section = BarSection(lpszProfileName, nIndex);
    m_nBarID = static_cast<UINT>(GetInt(pApp, section, "BarID", 0));
    if (m_nBarID == 0 || m_nBarID > 0xFFFF)
        return FALSE;
    m_bVisible = GetInt(pApp, section, "Visible", 1) != 0;
    int nBars = GetInt(pApp, section, "Bars", -1);
    m_bDockBar = nBars >= 0;
    m_arrBarID.clear();
    if (m_bDockBar) {
        nBars = std::min(nBars, AfxMaxSavedBarsPerDock);
        m_arrBarID.reserve(static_cast<size_t>(nBars));
        for (int i = 0; i < nBars; ++i) {
            CString entry;
            entry.Format("Bar#%d", i);
            int nID = GetInt(pApp, section, entry, 0);
            m_arrBarID.push_back((nID > 0 && nID <= 0xFFFF) ? static_cast<UINT>(nID) : 0);
        }
        return TRUE;
    }
    m_bHorz = GetInt(pApp, section, "Horz", 1) != 0;
    m_bFloating = GetInt(pApp, section, "Floating", 0) != 0;
    m_pointPos.x = Coordinate(GetInt(pApp, section, "XPos", -1));
    m_pointPos.y = Coordinate(GetInt(pApp, section, "YPos", -1));
    m_nMRUWidth = static_cast<UINT>(std::clamp(GetInt(pApp, section, "MRUWidth", 32767), 0, 32767));
    m_bDocking = GetInt(pApp, section, "Docking", 0) != 0;
    {
        int nDockID = GetInt(pApp, section, "MRUDockID", 0);
        m_uMRUDockID = (nDockID > 0 && nDockID <= 0xFFFF) ? static_cast<UINT>(nDockID) : 0;
        m_rectMRUDockPos.left = Coordinate(GetInt(pApp, section, "MRUDockLeftPos", 0));
        m_rectMRUDockPos.top = Coordinate(GetInt(pApp, section, "MRUDockTopPos", 0));
        m_rectMRUDockPos.right = Coordinate(GetInt(pApp, section, "MRUDockRightPos", 0));
        m_rectMRUDockPos.bottom = Coordinate(GetInt(pApp, section, "MRUDockBottomPos", 0));
        m_rectMRUDockPos.NormalizeRect();
        m_dwMRUFloatStyle = static_cast<DWORD>(GetInt(pApp, section, "MRUFloatStyle", 0)) & CBRS_ALIGN_ANY;
        m_ptMRUFloatPos.x = Coordinate(GetInt(pApp, section, "MRUFloatXPos", -1));
        m_ptMRUFloatPos.y = Coordinate(GetInt(pApp, section, "MRUFloatYPos", -1));
    }
    return TRUE;
}

void CDockState::SaveState(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || lpszProfileName == nullptr)
        return;
    int nIndex = 0;
    for (const CControlBarInfo& info : m_arrBarInfo) {
        if (nIndex >= AfxMaxSavedBars)
            break;
        if (info.SaveState(lpszProfileName, nIndex))
            ++nIndex;
    }
    CString summary = SummarySection(lpszProfileName);
    pApp->WriteProfileInt(summary, "Bars", nIndex);
}

void CDockState::LoadState(LPCTSTR lpszProfileName)
{
    Clear();
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || lpszProfileName == nullptr)
        return;
    int nBars = GetInt(pApp, SummarySection(lpszProfileName), "Bars", 0);
    nBars = std::clamp(nBars, 0, AfxMaxSavedBars);
    for (int i = 0; i < nBars; ++i) {
        CControlBarInfo info;
        if (info.LoadState(lpszProfileName, i))
            m_arrBarInfo.push_back(std::move(info));
    }
}
