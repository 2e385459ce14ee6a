#pragma once
// The print-preview DC: it measures on the printer and draws on the screen.
//
// The attribute DC is the printer (or a printer information context): the
// mapping, the device metrics and text measurement all come from it, so a
// page lays out exactly as it will print. The output DC is the preview
// window's DC (or a memory DC), whose mapping is kept as the printer's
// scaled by the preview ratio and moved to where the page's top-left lies
// on the screen. IsPrinting() is TRUE, as while printing.
//
// The preview owns neither DC: whoever set them deletes or releases them
// after the preview DC lets go of them.

#include "platform/gdi/Dc.h"

#include <vector>

class CPreviewDC : public CDC {
    DECLARE_DYNAMIC(CPreviewDC)
public:
    CPreviewDC();
    ~CPreviewDC() override;

    void SetAttribDC(HDC hDC) override;
    void SetOutputDC(HDC hDC) override;
    void ReleaseAttribDC() override;
    void ReleaseOutputDC() override;

    // Output device units per printer device unit: nNumerator/nDenominator
    // (both positive). 1/1 until set.
    void SetScaleRatio(int nNumerator, int nDenominator);
    // Where printer device (0, 0) lies on the output device.
    void SetTopLeftOffset(SIZE sizeTop);

    // The preview mapping: a point in printer device units (what LPtoDP of
    // this DC gives) to the output device, rounded to nearest.
    void PrinterDPtoScreenDP(LPPOINT lpPoint) const;

    int SaveDC() override;
    BOOL RestoreDC(int nSavedDC) override;

    int SetMapMode(int nMapMode) override;
    CPoint SetViewportOrg(int x, int y) override;
    CPoint OffsetViewportOrg(int nWidth, int nHeight) override;
    CSize SetViewportExt(int cx, int cy) override;
    CSize ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom) override;
    CSize SetWindowExt(int cx, int cy) override;
    CSize ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom) override;

protected:
    // Sets the output DC's mapping from the attribute DC's, scaled and moved.
    void MirrorMappingMode();

    int m_nScaleNum = 1;
    int m_nScaleDen = 1;
    CSize m_sizeTopLeft{0, 0};

private:
    struct SavedPair {
        int attribId;
        int outputId;
    };
    std::vector<SavedPair> m_saved;
};

// Whether a DC is a print-preview DC (drawing code that maps points to the
// output device itself needs PrinterDPtoScreenDP then).
BOOL IsPreviewDC(const CDC* pDC);
