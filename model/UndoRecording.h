#pragma once
// Recording editing steps into a design's undo history. Each function
// builds the step's record from the objects as they are before (or, for a
// creation, right after) the change and adds it to the document's list; none
// records anything while recording is off. Object lists hold CDrawObj
// pointers and are not changed.

#include "model/RotatedRect.h"
#include "platform/base/Geometry.h"
#include "platform/base/String.h"
#include "platform/base/Types.h"

#include <memory>
#include <vector>

class CDrawDoc;
class CDrawObj;
class CObList;
class CObjectAttributes;
class CTextBlock;
struct ObjectFrame;

class CUndoRecord;

// While one lives, the steps recorded into its design become one step
// (with the label of the first): a command that changes several objects one
// by one is undone and redone whole by one Undo and one Redo. One made while
// another lives leaves the steps to that one.
class CUndoCompound {
public:
    explicit CUndoCompound(CDrawDoc* pDoc);
    ~CUndoCompound();
    CUndoCompound(const CUndoCompound&) = delete;
    CUndoCompound& operator=(const CUndoCompound&) = delete;

    // Takes the record when a compound collects pDoc's steps; FALSE leaves
    // it to the caller.
    // bFirst puts it before those taken so far: Undo runs it last.
    static BOOL Take(CDrawDoc* pDoc, CUndoRecord* pRecord, BOOL bFirst = FALSE);

private:
    CDrawDoc* m_pDoc;
    BOOL m_bCollecting = FALSE;
    std::vector<CUndoRecord*> m_records; // owned until handed to the list
};

// While TRUE nothing is recorded: a design being read, one step of the
// view's mouse handling.
extern BOOL g_bUndoRecordingOff;
// While TRUE, creations and moves are numbered into a group (a paste into
// an object); the deletion that opens such a paste starts the numbering.
extern BOOL g_bUndoGrouping;
extern int g_nUndoGroupCounter;

// Kinds of RecordUndoPictureEffect.
enum UndoPictureKind : int {
    UndoPictureGrayscale = 0,
    UndoPictureEmboss = 1,
    UndoPictureBlur = 2,
    UndoPictureMosaic = 3,
    UndoPictureLighten = 4,
    UndoPictureDarken = 5,
    UndoPictureInsert = 6,
    UndoPictureRemove = 7,
    UndoPictureRotate = 8,
    UndoPictureLineColor = 11,
};

// A new object, recorded after it was placed; nLabelId 0 means "object
// creation". Nothing for an embedded (OLE) object.
void RecordUndoCreate(CDrawDoc* pDoc, CDrawObj** ppObj, UINT nLabelId = 0);
// The objects about to be deleted.
void RecordUndoDelete(CDrawDoc* pDoc, const CObList* pObjects);
// Objects moved by (dx, dy); nothing for (0, 0).
void RecordUndoMove(CDrawDoc* pDoc, const CObList* pObjects, int dx, int dy);
// One object about to be sized from rectOld (its position); nothing when
// the position is rectOld. The new rectangle, when given, is the object's
// position and is not needed.
void RecordUndoResize(CDrawDoc* pDoc, CDrawObj** ppObj, const CRect& rectOld, const CRect* pNew = nullptr);
void RecordUndoResizeSelection(CDrawDoc* pDoc, const CObList* pObjects, const CRect& rectOldFirst);
// Objects just sized together by a handle of one of them; each comes back
// whole as pFrameAtPress says the press found it (its present frame when
// that kept none).
void RecordUndoSizeSelection(CDrawDoc* pDoc, const CObList* pObjects, const CRect& rectOldFirst,
    const ObjectFrame* (*pFrameAtPress)(const CDrawObj*));
// Objects about to be scaled (sized together); each comes back whole.
void RecordUndoScale(CDrawDoc* pDoc, const CObList* pObjects);
void RecordUndoSameSize(CDrawDoc* pDoc, const CObList* pObjects);
// What a crop changes on a picture object: its rectangles, whether its
// picture is cropped and the crop fractions.
struct PictureCropState {
    CRect position;
    CRect unrotated;
    CRect uncropped;
    BOOL bCropped = FALSE;
    double crop[4] = {0.0, 0.0, 1.0, 1.0};
    // The same rectangles and fractions: the picture shows the same part
    // at the same place, whatever the cropped mark says.
    bool ShowsSame(const PictureCropState& other) const;
};
PictureCropState GetPictureCropState(const CDrawObj* pObj);
// The object about to be cropped, with its crop factors before the crop;
// undo puts back its rectangles and cropped state as well.
void RecordUndoCrop(CDrawDoc* pDoc, CDrawObj** ppObj, double dLeft, double dTop, double dWidth, double dHeight);
// A crop already made (by the crop tool) from the state before it; nothing
// when the object shows what it showed before.
void RecordUndoCropState(CDrawDoc* pDoc, CDrawObj* pObj, const PictureCropState& before);
// Objects about to take group number wNewGroup (0 ungroups).
void RecordUndoGroup(CDrawDoc* pDoc, const CObList* pObjects, WORD wNewGroup);
// Objects about to be aligned: kinds 0-3 left, top, right and bottom edges
// to nReference, 4 and 5 centred across (down) the span from nReference
// over nExtent.
void RecordUndoAlign(CDrawDoc* pDoc, const CObList* pObjects, int nKind, int nReference, int nExtent);
void RecordUndoLock(CDrawDoc* pDoc, const CObList* pObjects);
// Objects just mirrored left-right and/or top-bottom.
void RecordUndoFlip(CDrawDoc* pDoc, const CObList* pObjects, BOOL bHorizontal, BOOL bVertical);
// Objects just mirrored, each from its frame before, in the list's order:
// undo puts each frame back whole.
void RecordUndoFlipFrames(CDrawDoc* pDoc, const CObList* pObjects, const std::vector<ObjectFrame>& before);
// The object's properties before a change; pBefore, when given, is the
// record taken before the change (else the object's present one).
void RecordUndoProperties(CDrawDoc* pDoc, CDrawObj* pObj, const CObjectAttributes* pBefore = nullptr);
void RecordUndoPictureEffect(CDrawDoc* pDoc, CDrawObj* pObj, int nKind);
// What turning, mirroring, sizing and cropping change on an object beside
// its content: its rectangles, angle and handle markers, mirrors, crop and
// the cropped mark its picture carries.
struct ObjectFrame {
    CRect position;
    CRect unrotated;
    CRect uncropped;
    CRect rotateRef;
    int nRotateHandleOffset = 0;
    WORD wFlags = 0;
    WORD wPictureFlags = 0;
    BOOL bFlipX = FALSE;
    BOOL bFlipY = FALSE;
    double crop[4]{};
    double base[4]{};
    CSize pictureDisplay{0, 0}; // the picture's display size
    // Block text's settings and text: the size it fitted to the frame and
    // its scales come back with the frame, not fitted again from another.
    std::shared_ptr<const CTextBlock> text;
    double dAngle = 0.0;
    int nAngle = 0;
    int nShapeRotation = 0;
    std::vector<POINT> outline; // a shape's working outline
    CRotatedRect handles[9];
};
ObjectFrame GetObjectFrame(const CDrawObj* pObj);
// Whether the object's rectangles, angle or marks differ from the frame's.
BOOL FrameChanged(const CDrawObj* pObj, const ObjectFrame& frame);
void SetObjectFrame(CDrawObj* pObj, const ObjectFrame& frame);
// A picture about to be turned. The step keeps the picture itself (its
// pixels, unaltered raster and stored bytes) with the object's frame, and
// the object goes on with a copy. pBefore, when given, is the frame the
// press of a drag of the rotation handle found (the drag turns the
// markers as it goes).
void RecordUndoPictureTurn(CDrawDoc* pDoc, CDrawObj* pObj, const ObjectFrame* pBefore = nullptr);
// An object just sized (by a handle, Maximise), from its frame before;
// nothing when its position did not change.
void RecordUndoPictureSize(CDrawDoc* pDoc, CDrawObj* pObj, const ObjectFrame& before);
// An object just turned by its rotation handle (not a picture), from the
// properties and the frame the press found.
void RecordUndoTurn(CDrawDoc* pDoc, CDrawObj* pObj, const CObjectAttributes& before, const ObjectFrame& frame);
// Objects a drag of the rotation handle has just turned: each whose frame
// differs from the one the press found (pFrameAtPress) gets it back whole
// on undo, after the turns' own steps (inside a CUndoCompound, it goes
// first). Nothing when no frame changed.
void RecordUndoTurnFrames(CDrawDoc* pDoc, const CObList* pObjects, const ObjectFrame* (*pFrameAtPress)(const CDrawObj*));
// A picture about to be changed in place or replaced (Picture Studio): the
// step keeps the properties, the frame and the picture itself, and the
// object goes on with a copy.
void RecordUndoPictureChange(CDrawDoc* pDoc, CDrawObj* pObj, const CObjectAttributes* pBefore, UINT nLabelId);
void RecordUndoObjectEdit(CDrawDoc* pDoc, CDrawObj* pObj, UINT nLabelId);
// Text removed from block text at wPosition while it was edited.
void RecordUndoTextRemoval(CDrawDoc* pDoc, CDrawObj* pObj, const CString& strRemoved, WORD wPosition);
// Copies just added as duplicates of the selection: one step that removes
// them on undo and brings them back on redo.
void RecordUndoDuplicate(CDrawDoc* pDoc, const CObList* pClones);
