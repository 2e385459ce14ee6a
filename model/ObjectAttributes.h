#pragma once
// CObjectAttributes: the one in-memory record through which property
// dialogs, undo and the calendars read and change a drawing object as a
// whole. A caller builds one (usually on the stack), has the object fill it
// (CDrawObj::GetAttributes), edits fields and hands it back
// (CDrawObj::SetAttributes). It is never stored in a file; the field order
// is the contract between the object classes and their users.
//
// The record owns its strings, its two fill descriptors and the day cells
// in its three cell lists, and each cell owns its drawing item: clearing a
// list or destroying the record frees both. The cells GetAttributes puts in
// the lists are clones; the object keeps its own.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/ObList.h"
#include "platform/base/String.h"

class CJulianDate;

// CFillInfo: a fill descriptor, the banded colour fill of a shape (kind not
// 0) or of text. Mode is the number of colours (2..4), amount the number of
// strips; the colours run first, second, third, fourth. Copied member-wise.
class CFillInfo {
public:
    CFillInfo() = default;
    CFillInfo(const CFillInfo&) = default;
    CFillInfo& operator=(const CFillInfo&) = default;
    virtual ~CFillInfo() = default;

    bool operator==(const CFillInfo& other) const;

    int m_nKind = 0;      // 0 plain fill; 1 bands along the vertical axis; else along the horizontal
    WORD m_wMode = 2;     // colour count
    int m_nAmount = 100;  // strips over the whole extent
    COLORREF m_crFirst = 0x800080;
    COLORREF m_crSecond = 0x808000;
    COLORREF m_crThird = 0x00FFFF;
    COLORREF m_crFourth = 0x0000FF;
};

// Bits of CObjectAttributes::m_wFlags besides those of CDrawObj::m_wFlags.
#define ATTR_FLAG_AUTO_OUTLINE 0x0200      // the outline follows the content
#define ATTR_FLAG_PIC_TRANSPARENT 0x0800   // the picture's transparent colour is on
#define ATTR_FLAG_PIC_RASTER 0x1000        // the picture is a raster picture
#define ATTR_FLAG_TEXT_GRADIENT 0x2000     // the text is filled with m_fillText
#define ATTR_FLAG_PIC_CROPPED 0x4000       // the picture is cropped

// What CopyAttributes does with the target's old day cells.
enum CellCopyMode : int {
    // Forget them: the caller still owns them.
    CellCopyLeaveTarget = 0,
    // Free them. A cell owns its drawing item, so the item goes with it:
    // forgetting it would leak it.
    CellCopyFreeTarget = 1,
    // Free them with their drawing items (the same as 1 now that every
    // cell owns its item).
    CellCopyFreeTargetItems = 2,
};

class CObjectAttributes {
public:
    // Indexes of m_nCalendarWords.
    enum { CalendarKindWord = 1, FirstWeekdayWord = 3 };
    // Indexes of m_nCalendarOptions.
    enum { CalendarOptionWord = 1, CalendarValueA = 4, CalendarValueB = 5, HasPictureWord = 6 };
    // Indexes of m_nTextValues.
    enum { TextWarpShape = 3, TextColumns = 5, TextRotation = 6 };
    // Index of the transparent colour in m_nPictureValues.
    enum { PictureTransparentColor = 2 };

    CObjectAttributes();
    ~CObjectAttributes();
    CObjectAttributes(const CObjectAttributes&) = delete;
    CObjectAttributes& operator=(const CObjectAttributes&) = delete;

    // Free the cells of one list with their items and empty it.
    void ClearMonthCells();
    void ClearWeekCells();
    void ClearDayCells();

    BOOL HasPicture() const { return m_nCalendarOptions[HasPictureWord] != 0; }

    // The first day a new calendar shows, for a given today: the first of
    // today's month plus 7 minus today's weekday (1 Monday .. 7 Sunday).
    static LONG DefaultCalendarStart(const CJulianDate& today);

    CRect m_rect;                   // 1 the object's uncropped rectangle
    BOOL m_bOutline = FALSE;        // 2
    LOGPEN m_logpen{};              // 3
    BOOL m_bFill = FALSE;           // 4
    LOGBRUSH m_logbrush{};          // 5
    LONG m_crHatchBackground = 0;   // 6 behind hatched brushes; -1 transparent
    WORD m_wFlags = ATTR_FLAG_AUTO_OUTLINE; // 7
    WORD m_wTextFlags = 0;          // 8
    WORD m_wInfoFields = 0;         // 9 information-field bits
    WORD m_wPictureFlags = 0;       // 10 the picture's own flag word
    WORD m_wGroup = 0;              // 11 group number, 0 none
    LONG m_nReservedOne = 1;        // 12
    int m_nShape = 0;               // 13 shape kind 0..15
    int m_nSides = 4;               // 14 sides of the regular polygon
    int m_nRotation = 0;            // 15 whole degrees
    CSize m_sizeCorner{5, 5};       // 16 the rectangle object's size pair
    CFillInfo m_fill;               // 17 the fill gradient
    CFillInfo m_fillText;           // 18 the text gradient
    LONG m_nCalendarStart = 0;      // 19 Julian day number
    LONG m_nCalendarExtra = 0;      // 20
    LONG m_nCalendarWords[5] = {0, 3, 0, 6, 0}; // 21 kind (0 day .. 3 year), first weekday (1 Monday .. 7 Sunday)
    LONG m_nSpareWords[3] = {0, 0, 0}; // 22
    CString m_strCalendarFace;      // 23
    LONG m_nCalendarOptions[7] = {0, 1, 1, 0, 0, 8, 0}; // 24 the seventh: has picture
    CString m_strPictureFile;       // 25
    LONG m_nPictureValues[6] = {0, 0, 0, 0, 0, 0}; // 26 the third: transparent colour
    BOOL m_bHasText = FALSE;        // 27
    LONG m_nTextFlag = 0;           // 28 bit 0 of the text block's flags
    CString m_strBlockText;         // 29
    LOGFONT m_logfont{};            // 30
    COLORREF m_crText = 0;          // 31
    LONG m_nTextValues[7] = {0, 0, 0, 0, 0, 1, 0}; // 32 layout words, warp shape, value, columns, rotation
    COLORREF m_crText2 = 0x808080;  // 33
    WORD m_wTextWords[2] = {2, 2};  // 34
    CString m_strWrapText;          // 35
    CString m_strWrapFormat;        // 36 the run string
    double m_dWrapScale = 1.0;      // 37
    WORD m_wJustification = 0;      // 38 0 left, 1 right, 2 centre, 3 full
    BOOL m_bBlockText = FALSE;      // 39 text mode: 1 block, 0 wrapped
    BOOL m_bWordWrap = TRUE;        // 40
    BOOL m_bIsCalendar = FALSE;     // 41
    CObList m_monthCells;           // 42 CDayCellObj cells of calendar kind 2
    CObList m_weekCells;            // 43 of kind 1
    CObList m_dayCells;             // 44 of kind 0
    double m_dCropLeft = 0.0;       // 45 crop and scale
    double m_dCropTop = 0.0;
    double m_dCropWidth = 1.0;
    double m_dCropHeight = 1.0;
    double m_dBaseLeft = 0.0;
    double m_dBaseTop = 0.0;
    double m_dBaseWidth = 0.0;
    double m_dBaseHeight = 0.0;
    CSize m_sizePicture;            // 46 the picture's display size
    // The character of the wrapped text whose look the font fields (30, 31)
    // were read from; -1 when they were not read from a wrapped text.
    // Applying the record gives the whole text a new look only when the
    // fields differ from that character's: a record handed back as it was
    // read leaves rich text rich.
    int m_nWrapLookPosition = -1;
};

// Copies every field of from into to (strings by value). Each of the three
// cell lists, month, week, day, then gets clones of the source's cells; what
// happens to the cells to held before is the mode's choice.
void CopyAttributes(const CObjectAttributes& from, CObjectAttributes& to, CellCopyMode mode);
