#include "controls/PaletteSelector.h"

#include "platform/gdi/Dc.h"

CPaletteSelector::CPaletteSelector(CDC* pDC, CPalette* pPalette)
    : m_pDC(pDC)
    , m_pPalette(pPalette != nullptr ? pPalette : GetAppPaletteForDrawing())
{
    if (m_pDC == nullptr || m_pPalette == nullptr)
        return;
    m_pOldPalette = m_pDC->SelectPalette(m_pPalette, FALSE);
    m_pDC->RealizePalette();
}

CPaletteSelector::~CPaletteSelector()
{
    if (m_pDC != nullptr && m_pOldPalette != nullptr)
        m_pDC->SelectPalette(m_pOldPalette, FALSE);
}
