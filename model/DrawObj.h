#pragma once
// CDrawObj: the base of every item that lies on a design surface, and
// itself the picture and text item. It holds what all objects share: the
// position rectangles, the outline pen and fill brush, the owned picture and
// text, rotation, crop and flip state, the nine handle markers, the calendar
// cell lists, and the link to the owning document and view.
//
// Coordinates are logical units of hundredths of an inch with y growing
// upwards, so a normalised rectangle has top >= bottom and a point lies
// inside when left <= x < right and bottom < y <= top. An object lies in one
// view's object list and never owns its document or view; whoever takes it
// off the last list deletes it. It owns its picture, its text (block text
// through a CTextContentHolder, or a CWrapText), the in-place editor, the
// render cache, and the day cells of its lists (each with its item).

#include "model/RotatedRect.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/ObList.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/gdi/GdiObject.h"

class CArchive;
class CDC;
class CDayCellObj;
class CDrawDoc;
class CFillInfo;
class CImage;
class CObjectAttributes;
class CStringArray;
class CSurface;
class CTextBlock;
struct ObjectFrame;
class CTextContentHolder;
class CTextEditHost;
class CWnd;
class CWrapText;

// Bits of CDrawObj::m_wFlags.
#define OBJ_FLAG_LOADED 0x0001        // set at construction and after every load
#define OBJ_FLAG_SIZING 0x0002        // guards a resize against re-entry
#define OBJ_FLAG_DRAGGING 0x0004      // drawn as a plain frame while dragged
#define OBJ_FLAG_LOCKED 0x0008        // being edited in place: not hit, not moved
#define OBJ_FLAG_NATURAL_SIZE 0x0010  // sized to its picture's own size
#define OBJ_FLAG_UNSELECTABLE 0x0020  // never hit or selected
#define OBJ_FLAG_BACK_LAYER 0x0040    // lies on the background layer
#define OBJ_FLAG_GUIDE 0x0080         // a guide the document draws for itself
#define OBJ_FLAG_TILE_HIDDEN 0x0100   // left out of the tile being printed
#define OBJ_FLAG_AUTO_OUTLINE 0x0200  // the outline follows the content
#define OBJ_FLAG_MEMORY_PICTURE 0x0400
#define OBJ_FLAG_FREE_PROPORTIONS 0x2000
#define OBJ_FLAG_CROPPED 0x4000
#define OBJ_FLAG_CROP_MOVE 0x8000

// The flags a fresh object carries.
#define OBJ_FLAGS_DEFAULT (OBJ_FLAG_LOADED | OBJ_FLAG_AUTO_OUTLINE)

// Bits of CDrawObj::m_wTextFlags.
#define OBJ_TEXT_SHADOW 0x0001        // block text: drawn with its shadow (block flag 0x100)
#define OBJ_TEXT_USER_LOGO 0x0040     // the user's logo object

// Document update hint an object sends when its look changed; the views
// invalidate the object's area.
#define HINT_OBJECT_CHANGED 1

// The states of DrawTracker.
enum TrackerState : int {
    TrackerNone = 0,
    TrackerSelected = 1,
    TrackerActive = 2,
    TrackerNoRotation = 3,
};

// The rotation handle.
constexpr int kRotateHandle = 9;
// The attribute record's shape kind of a straight line.
constexpr int kLineShapeKind = 3;

class CDrawObj : public CObject {
    DECLARE_SERIAL(CDrawObj)
public:
    CDrawObj();
    explicit CDrawObj(const CRect& position);
    ~CDrawObj() override;
    CDrawObj(const CDrawObj&) = delete;
    CDrawObj& operator=(const CDrawObj&) = delete;

    // Every field back to its construction default, with the next serial
    // number; m_position is emptied. Owned content is not freed here: Init
    // runs on a fresh object.
    void Init();

    // Asks the owning document to update its views with hint 1 and this
    // object as the hint object; nothing without a document.
    void Invalidate();

    // The position rectangle normalised (top >= bottom).
    CRect GetNormalizedPosition() const;
    BOOL HasArea() const { return m_position.Width() != 0 && m_position.Height() != 0; }

    // The object's record in the design file (DrawObjStore.cpp); a loaded
    // object takes the archive's document as its own first.
    void Serialize(CArchive& ar) override;

    // ---- The virtual interface, in its order
    // With flag 0x0200 the outline follows the content (on only without text
    // and picture); a fill stays only without a picture and either without
    // text or with the printing word's bit 0x0020.
    virtual void RefreshContentFlags();
    // 9 (eight sizing handles and the rotation handle) or 8.
    virtual int GetHandleCount();
    virtual BOOL IsRotateHandle(int nHandle);
    // The place of handle n: unrotated from the table of places, else turned
    // with the object.
    virtual CPoint GetHandle(int nHandle, BOOL bUnrotated = TRUE);
    // The logical area the rotation handle stands in, whichever side of the
    // object shows on the right, found without the view's mapping (what
    // invalidation needs); exact for an unturned object.
    CRect GetRotateHandleReach() const;
    virtual HCURSOR GetHandleCursor(int nHandle);
    virtual HCURSOR GetRotateCursor(int nAngle);
    // Each sets the colour, invalidates and marks the document modified.
    virtual void SetLineColor(COLORREF crColor);
    virtual void SetFillColor(COLORREF crColor);
    // Value slots that only shapes fill: 0 and nothing here.
    virtual void SetValueC(int nValue);
    virtual int GetValueA();
    virtual void SetValueA(int nValue);
    virtual int GetValueB();
    virtual void SetValueB(int nValue);
    virtual int GetReservedValue();
    // TRUE when the object holds neither text nor a picture.
    virtual BOOL IsShape();
    virtual BOOL IsFillable();
    virtual BOOL IsOleObject();
    virtual BOOL IsCalendar();
    // Fills the record's base fields (rectangle, outline, fill, the four
    // words, text mode, word wrap, crop, the picture's size; calendar start
    // 0); the caller's values stay in the others.
    virtual void GetAttributes(CObjectAttributes& attrs, int nFlag = 0);
    // Applies the base fields, then refreshes, re-fits or invalidates, marks
    // the document modified and frees the render cache. The options choose
    // what shapes take from the record: picture source, mirror kept, font
    // to the whole text, a fourth, and the value passed to cell clones.
    virtual void SetAttributes(const CObjectAttributes& attrs, BOOL bPictureSource = TRUE, BOOL bKeepMirror = FALSE,
        BOOL bApplyFont = TRUE, BOOL bOption4 = FALSE, BOOL bCellOption = FALSE);
    // Draws nothing: the view draws picture and text objects itself.
    virtual void Draw(CDC* pDC);
    // The handle markers: nothing while the text is edited in place; states
    // 1 and 2 with the rotation handle, 3 without.
    virtual void DrawTracker(CDC* pDC, TrackerState state);
    // Moves the object to the rectangle (and the unrotated rectangle when
    // given, else the unrotated rectangle moves along).
    virtual void MoveTo(const CRect& position, CSurface* pView, int nHandle = -1, const CRect* pUnrotated = nullptr);
    // 0 for none, else 1 (not selected) or the handle hit (selected).
    virtual int HitTest(CPoint point, CSurface* pView, BOOL bSelected);
    // The 1-based calendar cell under the point, 0 for none; calendars
    // answer it, other objects empty the selected cell and answer 0.
    virtual int HitTestCalendarCell(CPoint point, CSurface* pView, BOOL bSelected, BOOL bSelectCell);
    virtual BOOL Intersects(const CRect& rect);
    virtual BOOL IsInsideRect(const CRect& rect);
    // Drags a sizing handle to the point.
    virtual void MoveHandleTo(int nHandle, CPoint point, CSurface* pView);
    // The editor pages OnOpen opens (its nPage); EditByContent picks the
    // page from what the object holds.
    enum EditKind : int {
        EditPicture = 0,
        EditText = 1,
        EditShape = 2,
        EditCalendar = 3,
        EditColorFill = 4,
        EditByContent = 5,
    };
    // Bits of OnOpen's nFlags. A dialog that hands its own record (pAttrs)
    // to the colour and fill page asks for the text-gradient or the border
    // mode; the record is then edited, not applied: the dialog applies it.
    enum OpenFlags : UINT {
        OpenTextGradient = 0x100,
        OpenBorder = 0x200,
    };
    // Opens the object's editor page; TRUE when something was changed.
    virtual BOOL OnOpen(CSurface* pView, int nPage = 0, CWnd* pParent = nullptr, CObjectAttributes* pAttrs = nullptr,
        UINT nFlags = 0);
    // Empties the selected day cell of a calendar; nothing for others.
    virtual void ClearSelectedCell();

    // ---- Calendar day cells (calendar/). Kinds 0 day, 1 week and 2 month
    // each have a list of CDayCellObj cells, numbered from 1: the hour of a
    // day calendar (1..24), the day of the week column (1..7) and the day of
    // the month (1..31).
    // The list of a kind; NULL for any other kind.
    CObList* GetCellList(int nKind);
    // The cell numbered nCell in the kind's list; NULL when there is none.
    CDayCellObj* FindDayCell(int nKind, int nCell);
    // The text of that cell; empty when there is no such cell.
    CString GetCellText(int nKind, int nCell);
    // Sets the text of that cell, adding the cell when the list has none of
    // that number; nothing for a kind or number out of range.
    void SetCellText(int nKind, int nCell, const CString& strText);
    // Writes nCount cells of the kind's list (CalendarCellStore.cpp
    // documents the record); reading empties the list first.
    void StoreDayCells(CArchive& ar, int nKind, int nCount);
    void LoadDayCells(CArchive& ar, int nKind, int nCount);
    // Delete the cells of the month, week and day lists and empty them.
    // A cell owns its drawing item, so the item always goes with it; the
    // flag is kept for callers that pass it.
    void DeleteMonthCells(BOOL bItems = TRUE);
    void DeleteWeekCells(BOOL bItems = TRUE);
    void DeleteDayCells(BOOL bItems = TRUE);
    // Sets the position rectangle and its saved copy.
    void SetBounds(const CRect& rect);
    // Sets (1) or clears (0) the fixed-size mode of the block text.
    void SetTextModeFlag(int nOn);
    // A new object with this one's attributes, picture and text, unlocked,
    // added to the document for the view when a document is given (the
    // document then owns it; NULL when it could not take it). Without a
    // document the caller owns the copy.
    virtual CDrawObj* Clone(CDrawDoc* pDoc, CSurface* pView);
    // How far the drawing reaches beyond m_position, both ways.
    virtual CSize GetLinePadding() const;
    // The padding a pen of that width (from a file: any value) needs,
    // within what any page could show.
    static CSize PaddingForPen(LONG nWidth);
    // The shape kind the attribute record would carry (0 here), without
    // building a record.
    virtual int GetShapeKind() const;

    // ---- Geometry, handles and hit tests
    // The handle square (6 x 6 pixels about the handle) in logical units,
    // normalised.
    CRect GetHandleRect(int nHandle, CSurface* pView);
    BOOL IsQuarterTurn();
    // Only for objects with 9 handles: stores the angle and turns every
    // marker.
    void SetAngle(double dAngle);
    BOOL UpdateRotateCenter();
    static int MapHandleForMirror(BOOL bMirrorX, BOOL bMirrorY, int nHandle);
    int MapHandleForQuarterTurn(int nHandle) const;
    // Whether the object shows in its normal left-right (top-bottom) order
    // in its view; FALSE without a view.
    BOOL IsOrientedX();
    BOOL IsOrientedY();
    BOOL IsMirroredX() { return !IsOrientedX(); }
    BOOL IsMirroredY() { return !IsOrientedY(); }
    // The cursor resource of a handle or rotation angle: a cursor of the
    // cursor set, or a system cursor (IDC_ number 32512 and up) when the
    // preferences ask for plain sizing cursors.
    UINT GetHandleCursorId(int nHandle);
    static UINT GetRotateCursorId(int nAngle);
    // Degrees counter-clockwise from the positive x axis (y up) of the line
    // from the first point to the second; 0 for coinciding points.
    static double AngleBetween(int x0, int y0, int x1, int y1);
    static double Distance(int x0, int y0, int x1, int y1);
    static CPoint PointToDeviceWithOrigin(CDC* pDC, CPoint point);
    void FitUnrotatedToPosition();
    void Flip(BOOL bHorizontal, BOOL bVertical);
    // Reshapes to the proportions cx : cy, the sides opposite handle n
    // staying; on m_position (invalidated) when pRect is NULL.
    void FitToProportions(int cx, int cy, int nHandle, CRect* pRect);
    CSurface* GetSurface();
    void SetSurface(CSurface* pView);
    // 1 when a guideline of the object's view runs through its position
    // (not merely along an edge); 0 otherwise or without a view.
    int CrossesGuideLine();
    void SizeToText(CSurface* pView);
    void AutoSizeToText();
    void SetBlockTextColor(COLORREF crColor);
    void InsertBlockText(int nPosition, const CString& strText);
    BOOL IsBlockTextFixed() const;
    void UpdatePictureCorners();
    CRect GetMarkerRect(int x, int y) const;

    // ---- Content
    BOOL HasText() const;
    BOOL HasPicture() const;
    BOOL IsTextEditActive() const;
    CString GetText() const;
    // Replaces the whole text in a text mode (1 block, 0 wrapped), creating
    // its holder when needed.
    void SetText(const CString& strText, BOOL bBlockText);
    CTextBlock* GetTextBlock() const;
    // The picture's size; for block text its size (GetBlockTextSize);
    // otherwise 100 x 100.
    CSize GetNaturalSize() const;
    void FreeRenderCache();
    BOOL IsRotated() const;
    double GetContentRotation() const;
    // The object's angle rounded half away from zero into 0..359.
    int GetRoundedAngle() const;

    // The banded colour fill of a shape inside rect (logical units),
    // clipped to whatever the DC clips to: strips of colours moving from
    // the fill's first to its last colour, turned with the object.
    void PaintFill(CDC* pDC, const CRect& rect, const CFillInfo& fill);

    // The serial counter that supplies m_nSerial (0 at program start).
    static DWORD GetNextSerial();

    // The rectangle with left <= right and top >= bottom.
    static CRect NormalizeUp(const CRect& rect);
    // An angle in whole degrees brought into 0..359.
    static int NormalizeDegrees(int nAngle);

    // ==== Content operations (DrawObjContent.cpp; pictures DrawObjPicture.cpp)
    // Views, tools, dialogs and undo reach an object's picture and text only
    // through these. "A picture" means one with a valid handle: operations
    // that need a picture or text do nothing without it and answer 0, FALSE
    // or an empty string. One that changes what is drawn invalidates, then
    // marks the document modified.

    // -- Text
    BOOL HasWrappedText() const;
    // Block text whose colour is -1.
    BOOL IsTextColorNone() const;
    // Drops the block text's cached rendering.
    void FreeTextCache();
    // Wrapped text only: the characters from nStart to nEnd (clamped, either
    // order) become strText, which takes the look of the first replaced
    // character; the rest keep theirs. A text that would pass its limit is
    // left as it was.
    void ReplaceText(int nStart, int nEnd, const CString& strText);
    BOOL HasMergeFields() const;
    // The block text's editor; 0 without block text.
    BOOL TextKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL TextChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL TextLButtonDown(UINT nFlags, CPoint point);
    BOOL TextMouseMove(UINT nFlags, CPoint point);
    BOOL TextLButtonDblClk(UINT nFlags, CPoint point);
    BOOL TextSetSel(int nStart, int nEnd);
    // In-place editing: the object is locked (OBJ_FLAG_LOCKED) from begin to
    // end, after a properties undo step; the end writes the text back
    // through the attribute record. Wrapped text is edited in a window over
    // the object (its device rectangle and 6 pixels more each way), a child
    // of the view that shows it, which takes the focus; without a view
    // nothing begins. While that window is open the clipboard operations
    // below go to it. A calendar edits its selected cell that way, headed
    // by the cell's date (calendar/CalendarCellEdit.h).
    void BeginTextEdit();
    void EndTextEdit();
    BOOL HasTextSelection() const;
    // The selected text to the clipboard (removed with bCut); the
    // clipboard's text replaces the selection.
    void CopyText(BOOL bCut);
    void PasteText();
    int GetTextRotation() const;
    // The turn wrapped text is drawn with: the object's own while the
    // object is turned as a whole (a transfer print negates that one), else
    // the text's rotation.
    int GetTextDrawAngle() const;
    // Clears OBJ_FLAG_DRAGGING; with text records a properties step unless
    // bNoUndo, turns the text and marks the document modified.
    void SetTextRotation(int nAngle, BOOL bNoUndo);
    void RotateText(int nAngle);
    int GetTextColumns() const;

    // -- Information fields: bit n-1 of m_wExtraFlags marks field n (1..12)
    // of a predesigned project.
    // The label of the highest field set, or "none".
    CString GetInfoFieldDescription() const;
    // 4 for fields 4..12, else 3, 2 or 1 for fields 3, 2, 1; 0 for none.
    int GetInfoFieldGroup() const;
    // Makes the object hold field n alone; any n outside 1..12 clears them.
    void SetInfoField(int nField);

    // -- Mail merge, through the document's merge source
    // The field names; their count, -1 without a document.
    int GetMergeFieldNames(CStringArray& names) const;
    // Field n of the source's current record; empty when there is none.
    CString GetMergeFieldText(int nField) const;
    // Where the name stands among the field names, without regard to case;
    // -1 when absent or without a source.
    int GetMergeFieldIndex(LPCTSTR lpszName) const;

    // -- Picture settings (IMAGE_FLAG_* of the picture)
    // Never for a composite picture, which stores its parts itself.
    void SetEmbedPicture(BOOL bEmbed);
    BOOL IsPictureEmbedded() const;
    BOOL GetPictureOption2() const;
    void SetPictureOption2(BOOL bOn);
    BOOL GetPictureOption3() const;
    BOOL IsPictureTranslucent() const;
    BOOL IsPictureCropped() const;
    // Sets or clears the picture's crop bit and OBJ_FLAG_CROPPED; the first
    // time on, with bSaveRect, m_position becomes m_rectUncropped.
    void SetPictureCropped(BOOL bOn, BOOL bSaveRect);
    int GetPictureRotation() const;
    // A raster picture (not a metafile or composite) takes a line colour,
    // its transparent colour.
    BOOL CanSetPictureLineColor() const;
    BOOL HasPictureLineColor() const;
    COLORREF GetPictureLineColor() const;
    void SetPictureLineColor(BOOL bOn, COLORREF crColor);
    void ApplyPictureEffect(int nEffect);
    CString GetPictureFileName() const;
    void SetPictureFileName(LPCTSTR lpszPath);
    // The path of a temporary file holding the picture; empty without one.
    CString SavePictureToTempFile();
    void SetPictureDisplaySize(int cx, int cy);
    void RemovePicture();

    // -- Geometry of the content
    // Sets m_position; with bResize the picture's display size becomes the
    // rectangle's (unsigned) size.
    void SetRect(const CRect& rect, BOOL bResize);
    // Width and/or height times (1 - percent / 100), figured in single
    // precision and truncated, each keeping its sign.
    void ShrinkByPercent(int nPercent, BOOL bHorizontal, BOOL bVertical);
    // Crops the picture to the part given in fractions of the whole picture
    // (left, top, width, height); non-finite fractions change nothing.
    void SetCrop(double dLeft, double dTop, double dWidth, double dHeight);
    // The rectangle the whole picture covers, oriented like m_position;
    // m_position itself when uncropped or when the crop values cannot
    // describe a picture (sums of 0, negative or not finite).
    CRect GetFullPictureRect();
    // 0 takes the angle from the rotation handle. A picture's turn is one
    // undo step, with new handles and a fresh cache; pBefore is the frame
    // the press of a drag of the rotation handle found.
    void RotatePicture(int nAngle, const ObjectFrame* pBefore = nullptr);
    void RotateShape(int nAngle);
    // The angle the rotation handle's marker points at.
    int GetRotateHandleAngle() const;

    // -- Giving the object a picture (DrawObjPicture.cpp). Each replaces the
    // picture the object held and ends with RefreshContentFlags and
    // Invalidate. A picture that cannot be made leaves none, except that a
    // file that cannot be loaded keeps the picture the object had.
    // A path equal to the picture's own loads nothing; the flags are set
    // either way on the picture that remains.
    void SetPictureFile(LPCTSTR lpszPath, BOOL bEmbed, BOOL bSizeFlag, BOOL bOption3, BOOL bTranslucent,
        BOOL bLineColorOn, COLORREF crLineColor);
    // The callers' eight-argument form: the last value is not used.
    void SetPictureFile(LPCTSTR lpszPath, BOOL bEmbed, BOOL bSizeFlag, BOOL bOption3, BOOL bTranslucent,
        BOOL bLineColorOn, COLORREF crLineColor, int nUnused);
    // Loads from lpszName itself when it names an existing ".wmf" file, else
    // from the path; the picture then carries lpszName as its path.
    void SetPictureFileAs(LPCTSTR lpszPath, LPCTSTR lpszName);
    void SetPictureFromBitmap(HBITMAP hBitmap, HPALETTE hPalette, BOOL bEmbed, BOOL bSizeToPicture);
    void SetPictureFromDib(HGLOBAL hDib, BOOL bEmbed, BOOL bSizeToPicture);
    void SetPictureFromEnhMetaFile(HENHMETAFILE hEmf, BOOL bEmbed, BOOL bSizeToPicture);
    void SetPictureFromMetaFilePict(HGLOBAL hMetaFilePict, BOOL bEmbed, BOOL bSizeToPicture);
    // A copy of the picture (none for NULL; the object's own picture may be
    // given); the second form then sets the copy's flipped, option-3 and
    // translucent bits as asked.
    void SetPictureFromImage(const CImage* pImage, BOOL bEmbed);
    void SetPictureFromImage(const CImage* pImage, BOOL bEmbed, BOOL bFlipped, BOOL bOption3, BOOL bTranslucent);
    // From the scanner or camera, keeping the picture object the object
    // holds; TRUE when a picture was obtained.
    BOOL AcquirePicture(BOOL bEmbed, BOOL bSizeToPicture);
    // Marks the picture as living in memory only (OBJ_FLAG_MEMORY_PICTURE).
    void MarkPictureMemoryOnly();
    // ==== End of the content operations

    WORD m_wFlags = OBJ_FLAGS_DEFAULT;
    WORD m_wTextFlags = 0;
    WORD m_wExtraFlags = 0;  // information-field bits
    WORD m_wObjectWord = 0;  // group number, 0 none
    DWORD m_nSerial = 0;
    DWORD m_nConstructed = 1;
    DWORD m_nAlive = 1;      // 0 once the destructor ran
    CRect m_position;
    CRect m_rectUnrotated;
    CRect m_rectUncropped;
    int m_nCalendarIndex = -1;
    int m_nRotateHandleOffset = 0;
    BOOL m_bCellHit = FALSE;     // the tools' calendar-cell hit flag
    CDrawDoc* m_pDocument = nullptr; // not owned
    CSurface* m_pSurface = nullptr;  // cached view that holds the object; not owned
    BOOL m_bPressed = FALSE;     // the tools' pressed mark
    BOOL m_bRotateDrag = FALSE;  // a rotation drag is running
    CObList m_calendarShapes{10};
    CObList m_dayCells{10};      // CDayCellObj cells of calendar kind 0
    CObList m_weekCells{10};     // of kind 1
    CObList m_monthCells{10};    // of kind 2
    CRect m_rectCell;            // the selected calendar cell
    int m_nCellKind = 0;         // the list of the selected cell
    CString m_strCalendarA;
    CString m_strCalendarB;
    CString m_strCalendarNames[5];
    CString m_strCalendarC;
    BOOL m_bDetached = FALSE;
    BOOL m_bAlwaysEmbed = FALSE;
    BOOL m_bAutoOutline = FALSE;
    BOOL m_bOutline = TRUE;
    LOGPEN m_logpen{};
    BOOL m_bFill = FALSE;
    LOGBRUSH m_logbrush{};
    LONG m_nContentWord = -1; // background colour behind the fill, -1 none
    CImage* m_pPicture = nullptr; // owned
    int m_nTextRotation = 0;
    BOOL m_bCropMode = FALSE;    // the crop tool's mark
    BOOL m_bBlockText = FALSE;   // 1 block text, 0 wrapped text
    BOOL m_bWrapFlag = TRUE;
    CObject* m_pCache = nullptr; // owned
    CBitmap m_bmpCache;
    CSize m_sizeMarker;
    BOOL m_bFlipX = FALSE;
    BOOL m_bFlipY = FALSE;
    double m_dCropLeft = 0.0;
    double m_dCropTop = 0.0;
    double m_dCropWidth = 1.0;
    double m_dCropHeight = 1.0;
    double m_dBaseLeft = 0.0;
    double m_dBaseTop = 0.0;
    double m_dBaseWidth = 0.0;
    double m_dBaseHeight = 0.0;
    double m_dAngle = 0.0;
    int m_nAngle = 0;            // the angle in whole degrees
    CPoint m_ptRotateCenter;
    CTextContentHolder* m_pTextHolder = nullptr; // owned
    CWrapText* m_pWrapText = nullptr;            // owned
    CTextEditHost* m_pTextEditor = nullptr;      // owned
    int m_nHitHandle = 0;        // the tools' hit-handle number
    CRect m_rectRotateRef;
    CRotatedRect m_handles[9];

protected:
    // Gives pClone (a fresh object of this one's class on the same
    // position) this object's attributes, rectangles, picture and text,
    // unlocks it and hands it to the document as Clone says.
    CDrawObj* CloneInto(CDrawObj* pClone, CDrawDoc* pDoc, CSurface* pView);

private:
    // Turns the picture inside its frame; the position becomes the turned
    // bounds. No undo step.
    void TurnPicture(int nAngle);
    // Handle n's place turned about the centre of m_rectUnrotated by the
    // angle, as marker n's centre.
    CPoint TurnedHandle(int nHandle);
    // The base record of the design file, each way (DrawObjStore.cpp).
    void StoreBaseRecord(CArchive& ar);
    void LoadBaseRecord(CArchive& ar, LONG nVersion);
    void LoadBlockText(CArchive& ar);
    void ConvertOldPictureRotation();
    // Handle n of the frame (m_rectUnrotated) turned the same way, whatever
    // handles the object's class shows: orientation and the rotation
    // handle's offset are questions about the frame, also for polygons,
    // whose handles are their vertices.
    CPoint TurnedFrameHandle(int nHandle);
    // Sets marker n to the handle's place, pivot and angle.
    void UpdateMarker(int nHandle);
    // Client (y down) place of a turned handle; FALSE without a view.
    BOOL ClientHandle(CSurface* pView, int nHandle, CPoint& point);
    // The angle the attribute record carries, in 0..359 (0 for a line).
    int GetRecordAngle() const;
    void DrawHandles(CDC* pDC, BOOL bWithRotation);
    // The block text's natural size: the frame's for several columns, else
    // its extent measured as the object's view shows it; FALSE without
    // block text, or without a view to measure on.
    BOOL GetBlockTextSize(CSize& size) const;
    void DeleteContent();
    // Destroys the wrapped text's editor window, if any, handing the focus
    // back to the view when the editor had it.
    void CloseTextEditor();

    static DWORD s_nNextSerial;
};
