#include "surface/SurfaceGlobals.h"

int g_nCurrentShape = kShapeSelect;
int g_nSelectMode = SelectModeNone;
int g_showOleFrames = 1;
BOOL g_bUndoObjectCreated = FALSE;
BOOL g_bUndoObjectMoved = FALSE;

void SetCurrentShape(int nShape)
{
    g_nCurrentShape = nShape;
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
}
