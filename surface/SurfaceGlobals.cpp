#include "surface/SurfaceGlobals.h"

#include "surface/SurfaceTool.h"

int g_nCurrentShape = kShapeSelect;
int g_nSelectMode = SelectModeNone;
int g_showOleFrames = 1;
BOOL g_bUndoObjectCreated = FALSE;
BOOL g_bUndoObjectMoved = FALSE;

void SetCurrentShape(int nShape)
{
    // The same steps as a view's tool command, without a view to end a text
    // edit in: leaving the crop tool gives the menus back.
    SetCurrentShape(NULL, nShape);
}

void ToggleOleFrames()
{
    g_showOleFrames = g_showOleFrames != 0 ? 0 : 1;
}

void ResetSurfaceGlobals()
{
    g_nCurrentShape = kShapeSelect;
    g_nSelectMode = SelectModeNone;
    g_showOleFrames = 1;
    g_bUndoObjectCreated = FALSE;
    g_bUndoObjectMoved = FALSE;
    ResetSurfaceTools();
}
