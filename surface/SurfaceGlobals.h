#pragma once
// Program-wide state of the design surface that the model and the
// application read: the current tool, the mouse tools' drag mode, the OLE
// frame switch and the two undo change flags. One set for the program;
// ResetSurfaceGlobals puts it back to its start values (for tests).

#include "platform/base/Types.h"

// Tool numbers of g_nCurrentShape.
constexpr int kShapeSelect = 15; // the selection tool
constexpr int kShapeCrop = 17;   // the crop tool

// Drag modes of GetSelectMode.
enum SelectMode : int {
    SelectModeNone = 0,
    SelectModeRubberBand = 1,
    SelectModeMove = 2,
    SelectModeSize = 3,
    SelectModeText = 4,
};

// The current tool of every surface view; the selection tool at start.
extern int g_nCurrentShape;
// The drag mode of the mouse tools (a SelectMode value).
extern int g_nSelectMode;
// 1 while embedded objects show their frames (at start), else 0.
extern int g_showOleFrames;
// Set to 1 by the undo recorders when an object was created, or moved or
// sized; the view reads and clears them after each mouse action.
extern BOOL g_bUndoObjectCreated;
extern BOOL g_bUndoObjectMoved;

inline int GetSelectMode() { return g_nSelectMode; }
inline int GetCurrentShape() { return g_nCurrentShape; }
void SetCurrentShape(int nShape);
// Flips g_showOleFrames between 0 and 1.
void ToggleOleFrames();

void ResetSurfaceGlobals();
