#pragma once
// CColorButton: an owner-drawn push button showing a colour (solid or as a
// hatch), or a small picture set with SetBitmap, in its own 3-D frame.
// PickColor opens the colour popup over the button; choosing white first
// shows the one-time colour hint while the preferences ask for it. Hosts set
// the public members before showing the button. The button owns its face
// bitmap.

#include "platform/base/GdiRecords.h"
#include "platform/framework/Controls.h"

#include <memory>

class CBitmap;

class CColorButton : public CButton {
    DECLARE_DYNAMIC(CColorButton)
public:
    static constexpr COLORREF kWhite = RGB(255, 255, 255);
    static constexpr WORD kColorHintFlag = 0x0010; // of the preferences' Flags

    CColorButton();
    ~CColorButton() override;

    // The face becomes bitmap resource nID (a black-and-white mask drawn in
    // the window text colour when bMonochrome); the hatch is cleared.
    BOOL SetBitmap(UINT nID, int nValue, BOOL bMonochrome);
    // 1 when a colour was chosen, 0 when the popup was cancelled.
    int PickColor();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    BOOL m_bGradient = FALSE;
    BOOL m_bNoWhiteHint = FALSE;
    int m_nStyle = 1;
    int m_nHatchStyle = HS_BDIAGONAL;
    BOOL m_bHatched = FALSE;
    COLORREF m_crColor = RGB(0, 0, 0);
    std::unique_ptr<CBitmap> m_pBitmap;
    int m_nBitmapValue = 0;
    BOOL m_bMonochrome = FALSE;
    BOOL m_bNewShell = TRUE;
};
