#pragma once
// A design of the general kind with one surface view and no window, for
// benchmarks that drive the program's commands without a display. It owns
// its view; emptying the view's objects is left to the benchmark, which
// knows whose they are.

#include "model/DocKinds.h"
#include "model/SurfaceInfo.h"
#include "surface/Surface.h"

namespace bench {

class CWindowlessDesign : public CGeneralDoc {
public:
    CWindowlessDesign()
    {
        m_bAutoDelete = FALSE;
        m_pView = new CSurface;
        AddView(m_pView);
        auto* pInfo = new CSurfaceInfo(0);
        pInfo->m_pView = m_pView;
        m_surfaces.AddTail(pInfo);
        m_posCurrentView = GetFirstViewPosition();
    }
    ~CWindowlessDesign() override
    {
        RemoveView(m_pView);
        delete m_pView;
    }
    CWindowlessDesign(const CWindowlessDesign&) = delete;
    CWindowlessDesign& operator=(const CWindowlessDesign&) = delete;

    CSurface* m_pView;
};

} // namespace bench
