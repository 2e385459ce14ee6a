#pragma once
// CDrawDoc: the document of every design. An OLE container document with
// compound files that owns one or more surfaces (the sides or pages of the
// product), each shown by its own surface view; one of them is current. It
// keeps the page geometry measured from the default printer, the zoom, the
// paper colour, the design's page-layout record (DocQuickInfo) and its
// summary information. The project kinds (model/DocKinds.h) differ only in
// the virtual operations from CreateSurfaces on.
//
// Ownership: the document owns its CSurfaceInfo records and the merge
// source; the views belong to their frames. Values that come from outside
// (the layout record, the profile's grid spacing, a zoom typed by the user)
// are normalised when they are set, so that no card size, tile count or
// spacing of zero or less ever divides or drives a loop.

#include "model/DocQuickInfo.h"
#include "model/SummaryInfo.h"
#include "model/UndoList.h"
#include "platform/base/Arrays.h"
#include "platform/base/Geometry.h"
#include "platform/base/ObList.h"
#include "platform/framework/OleDoc.h"

#include <functional>

class CDC;
class CDocTemplate;
class CDrawObj;
class CPrintInfo;
class CSurface;
class CSurfaceInfo;
class CView;
struct DEVMODEA;

// Update hints the document sends to its views.
#define HINT_PAPER_COLOR 0      // the paper colour changed
#define HINT_OBJECT 1           // an object changed; the object is the hint object
#define HINT_ZOOM_OR_SURFACE 10 // the zoom or the current surface changed

// Bits of the document flags word (CDrawDoc::m_wDocFlags).
#define DOC_FLAG_GRID_LINES 0x0001   // from the preferences' grid-lines flag
#define DOC_FLAG_0002 0x0002         // cleared at construction
#define DOC_FLAG_TWO_SIDED_KIND 0x0008
#define DOC_FLAG_TILED 0x0010        // printed as tiles of columns x rows
#define DOC_FLAG_DUPLEX 0x0020       // two printed sides
#define DOC_FLAG_PREDESIGNED 0x0040  // opened from the design library
#define DOC_FLAG_RULERS 0x0100       // the frame shows its rulers
#define DOC_FLAG_0200 0x0200         // set at construction
#define DOC_FLAG_FIXED_GRID 0x0400   // the grid spacing is taken as it is
#define DOC_FLAG_SAVING_PREDESIGNED 0x0800
#define DOC_FLAG_FOLDING 0x4000      // carries folding instructions: never modified

// Control id of the first view; further surface views take the ids after it.
#define SURFACE_VIEW_FIRST_ID 59648

// Zoom: 0 fits the page to the window, else a percentage in this range.
#define ZOOM_FIT 0
#define ZOOM_MIN 1
#define ZOOM_MAX 500

// Bounds of the layout record's sizes and counts (hundredths of an inch and
// tiles). A sheet beyond 100 inches or 50 tiles a side is no product we
// print; the bounds keep loops and allocations small whatever a file says.
#define LAYOUT_MAX_SIZE 10000
#define LAYOUT_MAX_TILES 50
#define LAYOUT_MAX_CARDS 100
#define LETTER_WIDTH 850
#define LETTER_HEIGHT 1100

// What the document works out for one printed page of one surface.
struct PagePrintInfo {
    UINT nPage = 1;          // from 1
    CPoint ptOrigin;         // the page's logical origin (half the surface less the layout origin)
    // The margins of the page (or what the cards leave of the sheet); with
    // bPageIsArea the page's own rectangle on the surface instead, measured
    // from the surface's top left corner with y growing upwards.
    CRect rectPage;
    BOOL bPageIsArea = FALSE;
    BOOL bFirstPage = FALSE; // the first page of the job
    CPoint ptFeedOffset;     // moves GetPageRectDP for the paper feed, hundredths of an inch
};

class CDrawDoc : public COleDocument {
    DECLARE_DYNCREATE(CDrawDoc)
protected:
    CDrawDoc();

public:
    ~CDrawDoc() override;

    // ---- The framework's operations
    // Writes the design file (version 29) or reads one of versions 7..29.
    // A wrong class, version or record stops the read with its message
    // or the archive's error; every way out restores the version, the
    // native-record field and the serialization globals.
    void Serialize(CArchive& ar) override;
    // Adds the file to the recent-file list only when asked and the design
    // carries no folding instructions.
    void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE) override;
    BOOL IsModified() override;
    // While the design carries folding instructions it is never modified.
    void SetModifiedFlag(BOOL bModified = TRUE) override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    BOOL OnSaveDocument(LPCTSTR lpszPathName) override;
    void OnCloseDocument() override;
    BOOL SaveModified() override;
    BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE) override;

    // ---- The kinds' operations, in this order
    virtual void CreateSurfaces();
    virtual void OnFirstHook();  // calls the operation before last
    virtual void OnSecondHook(); // calls the last operation
    virtual UINT GetKindResourceId();
    virtual int GetDocKind();
    virtual int GetSurfaceCount();
    virtual int GetPrintPageCount();
    virtual void CreatePageGuideLines();
    virtual int GetSideCount();
    // Fills pInfo for surface nSurface; rectMargins comes in as the printer
    // margins in effect and may be reduced (centring).
    virtual void PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins);
    // The printable rectangle of the page in device units of pDC.
    virtual CRect GetPageRectDP(CDC* pDC, const PagePrintInfo& info);
    virtual CSize GetSurfaceSize(CSize size);
    // Writes the orientation (1 portrait, 2 landscape; 0 = from quick-info
    // value 2) into the DEVMODE when the document has a kind and the DEVMODE
    // takes one; TRUE when it changed.
    virtual BOOL ApplyOrientation(DEVMODEA* pDevMode, short nOrientation = 0);
    virtual UINT GetSurfaceHintId();
    // The print order of the pages: GetSurfaceCount entries (at least one),
    // entry i = i.
    virtual void AllocPageArray(CDWordArray& order);
    virtual void SetDuplexFlag();
    virtual void OnBeforeLastHook(); // empty in every kind
    virtual void OnLastHook();       // empty in every kind
    // How the sheet goes back in between the passes of a design printed
    // one side at a time: 2 turned over (postcards), 1 otherwise.
    virtual int GetTwoSidedMethod();

    // ---- Undo
    CUndoList& GetUndoList() { return m_undoList; }
    // The object with that serial number among the current view's objects;
    // NULL when it is not there.
    CDrawObj* FindObjectById(DWORD nSerial) const;

    // ---- Surfaces
    CView* GetCurrentView() const;
    // n = -1 for the current surface; null past the end of the list.
    CSurface* GetSurfaceView(int n) const;
    int GetCurrentSurfaceIndex() const;
    int GetCurrentSurfaceNumber() const;
    void SetCurrentSurface(int n);
    // Moves objects that lie wholly off their own surface onto pTarget;
    // the modified state is left as it was.
    void GatherStrayObjects(CSurface* pTarget);
    // Adds a new object to the view (null: the current one); the document
    // takes it over. Without any view the object is deleted: FALSE.
    BOOL AddObject(CDrawObj* pObj, CSurface* pView = nullptr);
    // Refills, on every surface, the text objects marked with any of the
    // information fields of wMask (CSurface::UpdateObjectsByFields).
    void ForEachSurfaceView(WORD wMask, const CString& strText);
    // Hands every surface's view, in surface order, to fn.
    void ForEachSurfaceView(const std::function<void(CSurface*)>& fn);
    int GetSurfaceInfoCount() const { return static_cast<int>(m_surfaces.GetCount()); }
    // Entry n of the surface list, or null.
    CSurfaceInfo* GetSurfaceInfo(int n) const;
    // Entry 0 for the first view, then a child view per further surface.
    void CreateSurfaceViews(int nCount);

    // ---- Surface names: a string resource whose first character separates
    // the names. FALSE when the string cannot be loaded.
    BOOL SetSurfaceNames(UINT nStringId);
    // Empty past GetSurfaceCount or without names.
    CString GetSurfaceName(int n);

    // ---- Printing
    // Draws the surfaces of one printed page: every surface, or only the
    // one of the pass while the design prints one surface per pass.
    void DrawSurfaceTiles(CDC* pDC, CPrintInfo* pInfo);
    // The passes one print of the design takes: one per surface, front
    // first, when it pauses between the sides and has two or more surfaces;
    // otherwise 1 (every surface in the one pass).
    int GetPrintPassCount() const;
    // The surface the running pass prints (from m_nRemainingPasses), or -1
    // for every surface: outside printing and when the design prints in one
    // pass.
    int GetPrintPassSurface() const;
    void DrawSurfaceTile(CSurfaceInfo* pSurface, CDC* pDC, PagePrintInfo& info, CRect rectMargins,
        int nOffsetX, int nOffsetY);
    // A DC of the printer that hDevNames names, set up as hDevMode says but
    // turned to this design's orientation (ApplyOrientation). Both blocks
    // are only read, so the application's printer keeps the orientation its
    // user chose. NULL when no DC can be made; the caller deletes it.
    HDC CreateOrientedPrinterDC(HGLOBAL hDevNames, HGLOBAL hDevMode);
    // Measures the default printer (margins 25 without one) and pushes the
    // surface size to the views when it changed.
    void UpdatePrinterMetrics();
    void UpdatePrinterMetrics(CSize sizeSurface);

    // Tests: pretend that no printer can be measured (the PDF-file printer
    // is otherwise always there).
    static void SetPrinterUnavailableForTests(BOOL bUnavailable);

    // ---- Settings
    WORD GetZoom() const { return m_nZoom; }
    // 0 fits; anything else is clamped to 1..500. Only a change refreshes.
    void SetZoom(int nZoom);
    int GetGridSpacing() const { return m_nGridSpacing; }
    // Absolute value; 0 takes the default unless flag 0x0400 is set.
    void SetGridSpacing(int nSpacing);
    COLORREF GetPaperColor() const { return m_crPaper; }
    void SetPaperColor(COLORREF cr);
    const DocQuickInfo& GetQuickInfo() const { return m_quickInfo; }
    // Takes a changed layout record, normalised.
    void SetQuickInfo(const DocQuickInfo& info);
    // Tile counts, card and sheet sizes and switches into range: what every
    // record gets before the document uses it.
    static void NormalizeQuickInfo(DocQuickInfo& info);

    // Tiles across and down (values 9 and 10), at least 1.
    int GetTileColumns() const;
    int GetTileRows() const;

    // The title with the design text in parentheses after it.
    void UpdateTitle();
    BOOL IsLogo() const;

    // ---- Saving (DrawDocCommands.cpp)
    // The save behind Save, Save As and the save-changes prompt once DoSave
    // has prepared the flags: with a path it writes there; without one it
    // proposes a name from the title and asks for the file (a design saved
    // as predesigned is asked again before its own file is overwritten).
    // bReplace FALSE saves a copy and keeps the document's path.
    BOOL DoSaveBody(LPCTSTR lpszPathName, BOOL bReplace);
    // The name proposed for a design without a path: the title without
    // its design text, at most 8 characters (ShortenFileName keeps
    // trailing digits), cut before a blank, "#", "%", ";", "/", "\" or
    // ".", with the template's extension.
    CString ProposeFileName();
    // Asks for the file to save to (strPath brings the proposed name and
    // takes the answer) and records the design in the design table. FALSE
    // when the user cancels.
    BOOL PromptDesignFileName(CString& strPath, UINT nIDSTitle, DWORD dwFlags, BOOL bReplace, CDocTemplate* pTemplate);
    // Saves the logo to lpszPathName, or, without one, to the support
    // folder under a name asked for. FALSE when cancelled or refused.
    BOOL SaveLogo(LPCTSTR lpszPathName);
    // "<program folder>support\<name>.lgo"; FALSE (and a message) for a
    // name that is empty or would lead out of the folder.
    static BOOL MakeLogoPath(const CString& strName, CString& strPath);
    // Copies the whole design into storage "XSTOR<kind>" of the collection
    // file (CollectionFilePath), made with the kind's class when missing.
    // A storage failure throws COleException with the storage error.
    void WriteToCollectionFile();
    // The same, reporting a failure to the user: FALSE when it failed.
    BOOL WriteScratchStorage();
    // "coorset.cst" in the temporary folder.
    static CString CollectionFilePath();

    // Label layout: cards across and down into values 15 and 16, and the
    // origin of the first card; the margins are reduced when centring.
    CPoint ComputeLabelSheetLayout(CRect& rectMargins);

    // ---- Fields, in their order
    CRect m_rectMargins{25, 25, 25, 25};
    CRect m_rectSavedMargins{0, 0, 0, 0};
    WORD m_nZoom = ZOOM_FIT;
    LONG m_nZoomCompanion = 1;
    CUndoList m_undoList;
    CSummaryInfo m_summary;
    COLORREF m_crMarginLine = 0x000000FF;
    LONG m_nReserved1 = 0;
    LONG m_nGridSpacing = 0;
    COLORREF m_crValueB = 0x00800000;
    COLORREF m_crValueD = 0x00FF0000;
    WORD m_wDocFlags = 0;
    WORD m_wSecondFlags = 0;
    // Bits of m_wSecondFlags that printing reads.
    enum PrintFlag : WORD {
        PrintPauseBetweenSides = 0x0020, // one surface per pass, the user confirming each
        PrintNoReturnAddress = 0x0040,
    };
    // Passes still to print while a design is printed one side at a time;
    // -1 outside printing.
    int m_nRemainingPasses = -1;
    LONG m_nReservedIndex = -1;
    LONG m_nReserved2 = 0;
    LONG m_nFileVersion = 29;
    CString m_strDesignText;
    BOOL m_bSavedAsPredesigned = FALSE;
    LONG m_nLayoutChoice = 0;
    CString m_strExtraText;
    LONG m_nReserved3 = 0;
    CObject* m_pMergeSource = nullptr; // owned
    BOOL m_bNativeRecord = TRUE;
    LONG m_nCurrentSurface = 0;
    CString m_strSurfaceNames; // names separated by zero characters
    DocQuickInfo m_quickInfo;
    LONG m_nPaperFeed = 0; // 1 centred, 2 at one edge, else the other edge
    CSize m_sizePage;      // the printer's physical page, hundredths of an inch
    LONG m_nReserved4 = 0;
    CString m_strLastSaveLocation;
    LONG m_nReserved5 = 0;
    LONG m_nSurfaceCycle = 0;
    CDWordArray m_storageNumbers;
    LONG m_nSurfacePass = 0;
    LONG m_nReserved6 = 1;
    LONG m_nReserved7 = 0;
    CObList m_surfaces; // of CSurfaceInfo*, owned
    POSITION m_posCurrentView = nullptr;
    CSize m_sizeCachedSurface{0, 0};
    LONG m_nReserved8 = 8;
    COLORREF m_crPaper = 0x00FFFFFF;
    WORD m_nPrinterOrientation = 0; // 1 portrait, 2 landscape
    // How the next print comes out: 0 a transfer (mirrored), 1 a proof.
    // Until the print dialog asks, shirts print transfers and every other
    // kind proofs (-1). Not stored.
    LONG m_nProofValue = -1;

    // Which way the label offsets and gaps (values 17..20) are laid: they
    // are exchanged once for landscape and never swapped back by a second
    // set-up.
    BOOL m_bLabelValuesLandscape = FALSE;

    // The root of the file being replaced, while a save runs.
    LPSTORAGE m_pSaveSourceRoot = nullptr;

    // The text of a field of a merge record (print/MergeSource.cpp); field
    // -1 gives the field names as one string, the separator first. FALSE,
    // with the text empty, without a merge source or such a field; bOpen
    // reads the source's file afresh.
    BOOL GetMergeFieldText(int nRecord, int nField, CString& strText, BOOL bOpen = FALSE);

protected:
    // The design file, each way (DrawDocStore.cpp).
    void StoreDesign(CArchive& ar);
    void LoadDesign(CArchive& ar);
    void LoadQuickInfoRecord(CArchive& ar);
    // FALSE, after message 121, when the file is not a design of this kind.
    BOOL CheckDesignFile(LPCTSTR lpszPathName);
    // Takes ownership of the merge source, deleting the one held before.
    void SetMergeSource(CObject* pSource);
    // The items' storages, then every element of the file being replaced
    // that this save did not write itself.
    void CommitItems(LPSTORAGE lpNewRoot) override;
    // The numbers of the root's "XSTOR<n>" storages (a collection file).
    void CollectStorageNumbers();
    void WritePreviews();

    // Layout values as the arithmetic takes them: sizes within
    // 1..LAYOUT_MAX_SIZE, offsets and gaps within 0..LAYOUT_MAX_SIZE, whatever
    // was written into the record.
    int LayoutSize(int nIndex) const;
    int LayoutOffset(int nIndex) const;
    // The record's view while it is still one of this document's views.
    CSurface* LiveView(const CSurfaceInfo* pInfo) const;
    // Puts the first surface's tile guide lines in place of the old ones.
    void CreateTileGuideLines();
    // The sheet's printable width and height between the margins.
    CSize GetPrintableSize() const;

    // The suffix UpdateTitle last put after the title, taken off again first.
    CString m_strTitleSuffix;

    // Undo and Redo (UndoCommands.cpp): a grouped run as one command.
    afx_msg void OnEditUndo();
    afx_msg void OnEditRedo();
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditRedo(CCmdUI* pCmdUI);
    afx_msg void OnNextSurface();
    afx_msg void OnPrevSurface();
    afx_msg void OnUpdateSurfaceStep(CCmdUI* pCmdUI);
    afx_msg void OnUpdateSurfaceIndicator(CCmdUI* pCmdUI);

public:
    // ---- The document's commands (DrawDocCommands.cpp)
    afx_msg void OnPaperColor();
    afx_msg void OnPageSetup();
    afx_msg void OnUpdatePageSetup(CCmdUI* pCmdUI);
    afx_msg void OnRevert();
    afx_msg void OnUpdateRevert(CCmdUI* pCmdUI);
    afx_msg void OnSaveDesign();
    afx_msg void OnUpdateSaveDesign(CCmdUI* pCmdUI);
    afx_msg void OnUpdateSaveAs(CCmdUI* pCmdUI);
    afx_msg void OnSaveLogo();
    afx_msg void OnUpdateSaveLogo(CCmdUI* pCmdUI);
    afx_msg void OnTipOfTheDay();
    afx_msg void OnColorInformation();
    afx_msg void OnUploadDesign();
    afx_msg void OnSpellCheck();
    afx_msg void OnReplaceText();

protected:
    DECLARE_MESSAGE_MAP()

    // Shows the surface nStep places after (or before, for a negative
    // step) the shown one in the surface list, wrapping round.
    void StepSurface(int nStep);
};

// The application's current layout record that every new document copies.
const DocQuickInfo& GetCurrentDocQuickInfo();

// A file name of more than 8 characters cut to 8, keeping the trailing
// digits: two digits at the end stay after the first 6 characters, one
// after the first 7; shorter names are returned as they are.
CString ShortenFileName(const CString& strName);

// Device rectangle that drawing code clips to while a tile is printed;
// empty otherwise.
extern CRect g_rectDrawClip;
