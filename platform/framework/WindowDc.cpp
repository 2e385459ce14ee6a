// The window DCs of the class library: each takes its DC from the window in
// its constructor and gives it back in its destructor, so a DC never
// outlives the scope that drew with it. A failure to get a DC throws
// CResourceException, as the class library does.

#include "platform/base/Exception.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)

// A NULL window means the screen.
CClientDC::CClientDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CPaintDC::CPaintDC(CWnd* pWnd)
{
    std::memset(&m_ps, 0, sizeof m_ps);
    m_hWnd = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (!m_hWnd || !Attach(::BeginPaint(m_hWnd, &m_ps))) {
        if (m_hWnd && m_ps.hdc)
            ::EndPaint(m_hWnd, &m_ps);
        AfxThrowResourceException();
    }
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}
