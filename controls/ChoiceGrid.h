#pragma once
// CChoiceGrid: a child window that lays out cells in rows and columns, each
// a metafile picture from the program's METAFILE resources with an optional
// bold caption under it and an optional text band under the whole grid.
// The user picks one cell (single choice) or toggles several (multiple
// choice) with the mouse or the arrow keys; a click or double click can
// confirm the parent with WM_COMMAND IDOK.
//
// The grid's creator owns it (the window is made by the constructor and
// destroyed with the object); the grid owns its pictures, its mapping
// object and its input controller. The cell arrays always hold at least one
// slot, even for no cells. The selection is a 16-bit mask whose bit 15
// means "none", so only cells 0 to 14 can be selected; selecting a higher
// cell is ignored, as are the arrow keys when there are no cells.

#include "platform/framework/Wnd.h"

#include <memory>
#include <vector>

class CDC;
class CMappingObject;
class CMetafilePicture;

class CChoiceGrid : public CWnd {
    DECLARE_DYNAMIC(CChoiceGrid)
public:
    // Flags.
    static constexpr WORD kCaptions = 1;       // a caption under each cell
    static constexpr WORD kTextBand = 2;       // the selected cell's caption under the grid
    static constexpr WORD kDblClkConfirms = 4; // a double click on a cell posts IDOK
    static constexpr WORD kMultiple = 8;       // several cells can be checked
    static constexpr WORD kSkipButtonUp = 16;  // internal: the button-up after a double click
    static constexpr WORD kClickConfirms = 64; // a click on a cell posts IDOK
    static constexpr int kSelectableCells = 15;
    static constexpr WORD kNoneBit = 0x8000;
    static constexpr UINT kFirstControlId = 0xE800;
    static constexpr int kDefaultCaptionHeight = -14;

    // How the grid answers the user. The grid owns its controller. The
    // default one moves the current cell with the arrow keys and does
    // nothing on a click, so in single choice the host's controller makes
    // the selection.
    class Controller {
    public:
        explicit Controller(CChoiceGrid* pGrid)
            : m_pGrid(pGrid)
        {
        }
        virtual ~Controller() = default;
        // A click on a cell (-1 for none); may clear m_bAllowSelect to keep
        // the selection as it is.
        virtual void OnClick(UINT nFlags, int nCell);
        virtual void OnDoubleClick(UINT nFlags, int nCell);
        // The cell a key moves to, or -1 when the key is not the grid's.
        virtual int OnKey(UINT nChar, UINT nRepCnt, UINT nFlags);
        virtual void OnPostPaint(CDC* pDC);

        CChoiceGrid* m_pGrid;
        BOOL m_bAllowSelect = TRUE;
    };

    // Creates the window (control id kFirstControlId + nNumber, empty
    // rectangle) over pParent; throws CResourceException when it cannot.
    CChoiceGrid(CWnd* pParent, int nCells, int nNameIndex, int nNumber);
    ~CChoiceGrid() override;

    // Frees the pictures and makes room for max(n, 1) cells and n captions.
    void SetCellCount(int nCells);
    int GetCellCount() const { return int(m_captions.size()); }
    void SetCellRect(int nCell, const RECT& rect);
    // Takes the picture; its name becomes the cell's caption.
    void SetCellPicture(int nCell, CMetafilePicture* pPicture);
    CRect GetCellRect(int nCell) const;
    CMetafilePicture* GetCellPicture(int nCell) const;
    UINT GetCellId(int nCell) const;
    CString GetCellText(int nCell) const;
    CString GetSelectedText() const;

    // Single choice: the selected cell or -1. Multiple choice: the current
    // cell.
    int GetCurSel() const;
    void SetCurSel(int nCell, BOOL bRepaint);
    int GetCurrent() const { return m_nCurrent; }
    void SetCurrent(int nCell, BOOL bRepaint);
    BOOL IsCellSelected(int nCell) const;

    // Cells of METAFILE resources ids[0..nCount); each cell's id is
    // pOrder[i] (i without an order). Takes the mapping object.
    void LoadCells(const UINT* pIds, int nCount, const RECT* pRects, CMappingObject* pMapping, const UINT* pOrder);
    // Lays out nLast - nFirst + 1 cells in the client area and loads them
    // from resources nFirst..nLast.
    void ArrangeCells(UINT nFirst, UINT nLast, int nRows, CMappingObject* pMapping, const UINT* pOrder);
    // New rectangles for a size (below 0: the client's) and a repaint.
    void LayoutCells(int cx, int cy);
    // The rectangles for a grid of nRows on cx x cy; the band rectangle
    // and caption box follow.
    void ComputeCellRects(int nRows, int nCount, int cx, int cy);

    void SetMappingObject(CMappingObject* pMapping);
    // NULL installs the default controller.
    void SetController(Controller* pController);

    WORD GetFlags() const { return m_wFlags; }
    void SetFlags(WORD wFlags) { m_wFlags = wFlags; }
    int GetRows() const { return m_nRows; }
    int GetColumns() const;
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    void SetCaptionHeight(int nHeight) { m_nCaptionHeight = nHeight; }
    CSize GetCaptionBox() const { return CSize(m_nCaptionBoxWidth, m_nCaptionBoxHeight); }
    CRect GetBandRect() const { return m_rectBand; }
    // Grows the caption font from 7 pixels while every caption fits its
    // box, never past the box's height; answers the height kept.
    int FitCaptionFont();
    // The cell under a point of the client area, or -1.
    int HitTest(CPoint point) const;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    void FreePictures();
    void PrepareDC(CDC* pDC) const;
    void InvalidateCell(int nCell, BOOL bNow);
    void InvalidateBand(BOOL bNow);
    RECT PictureRect(const RECT& cell) const;
    RECT CaptionRect(int nCell) const;
    int TextHeight(int nFontHeight);
    void MakeCaptionFont(CFont& font, int nHeight) const;
    void DrawCaption(CDC& dc, const CString& text, RECT box);
    void PostConfirm();

    WORD m_wSelection = 0;
    BOOL m_bHasFocus = FALSE;
    int m_nRows = 1;
    int m_nCaptionHeight = kDefaultCaptionHeight;
    int m_nCaptionBoxWidth = 0;
    int m_nCaptionBoxHeight = 0;
    WORD m_wFlags = 0;
    int m_nNameIndex;
    int m_nPressed = -1;
    int m_nCurrent = -1;
    CRect m_rectBand;
    std::vector<CString> m_captions;
    std::vector<RECT> m_rects;
    std::vector<std::unique_ptr<CMetafilePicture>> m_pictures;
    std::vector<UINT> m_ids;
    std::unique_ptr<CMappingObject> m_pMapping;
    std::unique_ptr<Controller> m_pController;
};
