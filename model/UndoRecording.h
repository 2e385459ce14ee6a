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

class CDrawDoc;
class CDrawObj;
class CObList;
class CObjectAttributes;

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
    double dAngle = 0.0;
    int nAngle = 0;
    int nShapeRotation = 0;
    CRotatedRect handles[9];
};
ObjectFrame GetObjectFrame(const CDrawObj* pObj);
void SetObjectFrame(CDrawObj* pObj, const ObjectFrame& frame);
// A picture about to be turned. The step keeps the picture itself (its
// pixels, unaltered raster and stored bytes) with the object's frame, and
// the object goes on with a copy. pBefore, when given, is the frame the
// press of a drag of the rotation handle found (the drag turns the
// markers as it goes).
void RecordUndoPictureTurn(CDrawDoc* pDoc, CDrawObj* pObj, const ObjectFrame* pBefore = nullptr);
// A picture object just sized by a handle, from the frame the press found;
// nothing when its position did not change.
void RecordUndoPictureSize(CDrawDoc* pDoc, CDrawObj* pObj, const ObjectFrame& before);
void RecordUndoObjectEdit(CDrawDoc* pDoc, CDrawObj* pObj, UINT nLabelId);
// Text removed from block text at wPosition while it was edited.
void RecordUndoTextRemoval(CDrawDoc* pDoc, CDrawObj* pObj, const CString& strRemoved, WORD wPosition);
// Copies just added as duplicates of the selection: one step that removes
// them on undo and brings them back on redo.
void RecordUndoDuplicate(CDrawDoc* pDoc, const CObList* pClones);
