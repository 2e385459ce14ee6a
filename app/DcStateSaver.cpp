#include "app/DcStateSaver.h"

#include "platform/base/Exception.h"
#include "platform/gdi/Dc.h"

BOOL g_bPrintError = FALSE;

CDCStateSaver::CDCStateSaver(CDC* pDC)
    : m_pDC(pDC)
{
    ::GetViewportExtEx(pDC->m_hAttribDC, &m_sizeViewportExt);
    m_nSavedDC = pDC->SaveDC();
    if (m_nSavedDC == 0)
        AfxThrowResourceException();
}

CDCStateSaver::~CDCStateSaver()
{
    BOOL restored = m_pDC->RestoreDC(m_nSavedDC);
    if (!restored && m_pDC->IsPrinting() && m_bErrorMark)
        g_bPrintError = TRUE;
    else
        m_pDC->SetViewportExt(m_sizeViewportExt);
    m_bErrorMark = FALSE;
}
