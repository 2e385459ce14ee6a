#pragma once
// The preview grids of the picture pickers: a child window laid over the
// caller's scroll bar, showing cells of the preview size (a thumbnail above
// the file's name) in as many columns as the width holds; the scroll bar
// scrolls rows. A click or an arrow key selects a cell; a double click
// chooses it: the grid's own result becomes 1 and the dialog ends with OK.
// Until then the result is 2.
//
// Thumbnails are made only for cells that are visible, after the grid has
// painted its frames and names, one at a time from the message queue, and
// kept in a bounded cache; so a folder of hundreds of photos shows at once
// and scrolls without waiting. With pictures switched off only names show.
// A file that cannot be previewed keeps an empty frame, without a message,
// and is tried once: whatever runs the queue while a thumbnail is being
// made (a message box, a wait) never starts the next one or the same again.
//
// The dialog that constructs a grid owns it; the grid does not own the
// dialog, the scroll bar or (for the gallery) the database. A grid whose
// window cannot be created answers FALSE from Create and the caller gives
// up its dialog.

#include "platform/framework/Wnd.h"
#include "platform/base/StringArray.h"

#include <list>
#include <memory>
#include <unordered_map>

class CDC;
class CDialog;
class CGalleryDB;
class CImage;
class CScrollBar;

// What the cells of a grid are.
enum GridLeafKind : int {
    kGridLeafPictures = 242,  // picture files, thumbnails made from the file
    kGridLeafDesigns = 243,   // design files, the design's stored preview
    kGridLeafScrapbook = 244, // scrapbook pictures, as picture files
};

class CPreviewGrid : public CWnd {
    DECLARE_DYNAMIC(CPreviewGrid)
public:
    static constexpr int kResultChosen = 1;
    static constexpr int kResultNone = 2;
    static constexpr UINT kGridId = 0x7F10;
    // WM_COMMAND code the grid sends its dialog when the selection moves.
    static constexpr UINT kNotifySelChange = 1;
    // Cells around the visible ones that the cache keeps beyond them.
    static constexpr int kCacheSlack = 48;

    CPreviewGrid(CDialog* pDialog, CScrollBar* pScrollBar, int nLeafKind);
    ~CPreviewGrid() override;

    // Makes the child window over the scroll bar's parent, covering rect
    // (the dialog's client coordinates). FALSE when the window could not be
    // made.
    BOOL Create(const CRect& rect);
    // Moves the grid into rect (client coordinates of the dialog) and lays
    // the cells out again.
    void Place(const CRect& rect);

    int GetLeafKind() const { return m_nLeafKind; }

    // Number of items; setting it drops the cache, the selection and the
    // result and scrolls to the top. Reset is SetItemCount (0).
    void SetItemCount(int nCount);
    int GetItemCount() const { return m_nItems; }
    void ResetItems() { SetItemCount(0); }

    // The current item (-1 for none) and its file's path (empty for none).
    int GetCurSel() const { return m_nCurSel; }
    void SetCurSel(int nItem);
    virtual CString GetCurrentFile() const;

    // 1 after a double click chose an item, else 2.
    int GetResult() const { return m_nResult; }
    void SetResult(int nResult) { m_nResult = nResult; }

    // Pictures on or off; also stores Preferences/PreviewImage.
    void SetShowImages(BOOL bShow);
    BOOL GetShowImages() const { return m_bShowImages; }
    // Makes the visible cells' thumbnails once, even with pictures off
    // (Preview Now).
    void RedrawImages();
    // Takes the preview size again from Application/MulImgPrevFixedSize,
    // drops the cache and lays out again.
    void UpdatePreviewSize();
    int GetPreviewSize() const { return m_nPreviewSize; }

    // Layout, for callers and tests, in client pixels.
    int GetColumns() const { return m_nColumns; }
    int GetVisibleRows() const;
    int GetTopRow() const { return m_nTopRow; }
    void ScrollToRow(int nRow);
    CSize GetCellSize() const;
    CRect GetCellRect(int nItem) const;
    int HitTest(CPoint point) const;
    // Whether item n has a thumbnail made now.
    BOOL HasThumbnail(int nItem) const;
    // Thumbnails made since the grid was created.
    int GetThumbnailsMade() const { return m_nThumbnailsMade; }

    // The dialog passes on its WM_VSCROLL for the grid's scroll bar.
    void OnScrollBar(UINT nSBCode, UINT nPos);

protected:
    // The name under item n's cell.
    virtual CString GetItemName(int nItem) const;
    // Item n's thumbnail fitted to nSize; null when it cannot be made. It
    // may throw: the cell is then left empty.
    virtual std::unique_ptr<CImage> MakeThumbnail(int nItem, int nSize);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point);
    afx_msg LRESULT OnMakeThumbnails(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CDialog* m_pDialog;
    CScrollBar* m_pScrollBar;

private:
    void Layout();
    void UpdateScrollBar();
    void EnsureVisible(int nItem);
    void InvalidateItem(int nItem);
    void DrawCell(CDC& dc, int nItem, const CRect& rect);
    void NotifySelChange();
    BOOL PicturesWanted() const { return m_bShowImages || m_bImagesOnce; }
    void RequestThumbnails();
    int NextMissingThumbnail() const;
    void TrimCache();

    struct Thumb;
    int m_nLeafKind;
    int m_nItems = 0;
    int m_nCurSel = -1;
    int m_nResult = kResultNone;
    BOOL m_bShowImages = TRUE;
    BOOL m_bImagesOnce = FALSE;
    BOOL m_bHasFocus = FALSE;
    BOOL m_bRequestPending = FALSE;
    // A thumbnail is being made now.
    BOOL m_bMaking = FALSE;
    // Counts the times the cache was dropped, so that a thumbnail finished
    // after its items were replaced is not taken for a new item's.
    unsigned m_nCacheGeneration = 0;
    int m_nPreviewSize = 100;
    int m_nColumns = 1;
    int m_nTopRow = 0;
    int m_nThumbnailsMade = 0;
    // Cache of thumbnails by item, most recently used at the front.
    std::list<int> m_lru;
    std::unordered_map<int, std::unique_ptr<Thumb>> m_cache;
};

// The grid of the Open dialog and the Scrapbook: the files of one folder
// that match a list of patterns, sorted by name without regard to case.
class CSavedDesignGrid : public CPreviewGrid {
    DECLARE_DYNAMIC(CSavedDesignGrid)
public:
    // Files of one folder beyond this are not listed.
    static constexpr int kMaxFiles = 20000;

    CSavedDesignGrid(CDialog* pDialog, CScrollBar* pScrollBar, int nLeafKind);

    // Lists the files of the folder matching any of the ';'-separated
    // patterns ("*.bmp;*.jpg"); answers the count.
    int FillFromFolder(LPCTSTR lpszFolder, LPCTSTR lpszPatterns);
    // Selects the file whose name (without folder) matches, ignoring case,
    // and scrolls to it; FALSE when none matches.
    BOOL SelectByName(LPCTSTR lpszName);
    // Prints every listed file as a catalog; FALSE when nothing printed.
    BOOL PrintCatalog();

    // Whether the cells are pictures (modes 1 and 2 of the Open dialog)
    // rather than designs.
    void SetPictures(BOOL bPictures) { m_bPictures = bPictures; }
    BOOL GetPictures() const { return m_bPictures; }

    const CString& GetFolder() const { return m_strFolder; }
    CString GetFilePath(int nItem) const;
    CString GetCurrentFile() const override;

protected:
    CString GetItemName(int nItem) const override;
    std::unique_ptr<CImage> MakeThumbnail(int nItem, int nSize) override;

private:
    static BOOL IsMetafileName(const CString& strPath);
    static BOOL LoadMetafileThumbnail(CImage& image, const CString& strPath, int nSize);

    CString m_strFolder; // with its trailing backslash
    CStringArray m_names;
    BOOL m_bPictures;
};

// The Picture Gallery's grid: the live pictures of the database's current
// category, thumbnails from the database and names from the stored paths.
class CCdDesignGrid : public CPreviewGrid {
    DECLARE_DYNAMIC(CCdDesignGrid)
public:
    CCdDesignGrid(CDialog* pDialog, CScrollBar* pScrollBar, CGalleryDB* pDatabase);

    CString GetCurrentFile() const override;

protected:
    CString GetItemName(int nItem) const override;
    std::unique_ptr<CImage> MakeThumbnail(int nItem, int nSize) override;

private:
    CGalleryDB* m_pDatabase;
};
