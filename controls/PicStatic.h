#pragma once
// CPicStatic: a static control that shows one picture, taken from a picture
// file, a given bitmap handle or a bitmap resource (by id from a module, by
// name, or named by the window's own text), drawn with its palette.
//
// The control owns the bitmap and palette it shows (adopted handles too);
// they are freed when a new picture is set and with the window. A picture
// that cannot be loaded leaves the control empty. Unless told otherwise the
// control takes the bitmap's size; with the fill-parent flag it takes its
// parent's client size.

#include "platform/framework/Controls.h"
#include "platform/gdi/GdiObject.h"

class CDC;

class CPicStatic : public CStatic {
    DECLARE_DYNAMIC(CPicStatic)
public:
    // Drawing styles; with none the picture is copied unscaled, or fitted
    // when the control keeps a size of its own (a no-auto-size flag set).
    enum DrawStyle : int { styleNone = 0, styleTile = 1, styleTransparent = 2, styleFit = 3 };
    // How a paint draws the bitmap; shared with tests.
    enum DrawWay : int { wayCopy, wayTile, wayTransparent, wayFit };

    CPicStatic();
    ~CPicStatic() override;

    // Frees the pictures, keeps the path, loads and draws.
    void SetPictureFile(LPCTSTR lpszPath);
    // Adopts the bitmap and palette (owned from now on) and the style.
    void SetDib(HBITMAP hBitmap, HPALETTE hPalette, int nStyle);
    // Bitmap resource nID of hModule (the program's when NULL).
    void SetPicture(HMODULE hModule, UINT nID, int nStyle);

    // Loads what is set when no bitmap is loaded yet; TRUE when there is a
    // bitmap afterwards.
    BOOL LoadPicture(CDC* pDC);
    void FreePictures();

    static DrawWay ChooseDrawWay(int nStyle, BOOL bNoAutoWidth, BOOL bNoAutoHeight);

    CBitmap m_bitmap;
    CPalette m_palette;
    HMODULE m_hModule = NULL;
    BOOL m_bFillParent = FALSE;
    int m_nStyle = styleNone;
    COLORREF m_crFace = RGB(192, 192, 192);
    BOOL m_bNoAutoWidth = FALSE;
    BOOL m_bNoAutoHeight = FALSE;
    BOOL m_bFrame = FALSE;
    CString m_strPath;
    UINT m_nResourceId = 0;
    CString m_strResourceName;
    HBITMAP m_hGivenBitmap = NULL;
    HPALETTE m_hGivenPalette = NULL;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LoadAndDraw();
    void SizeToPicture();
    void Paint(CDC* pDC);
};
