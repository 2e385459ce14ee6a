#pragma once
// The surface navigation panel at the foot of the tool pad: Previous and
// Next step through the surfaces of a design with more than one, and the
// picture of the current surface opens a flyout chooser of them all.

#include "platform/base/Types.h"

class CRect;
class CToolPadPanel;
class CWnd;

// Makes the navigation panel (created hidden) as child nID of the palette;
// bTitle gives it its title picture. NULL when its window cannot be made.
CToolPadPanel* CreateSurfaceNavPanel(CWnd* pParent, const CRect& rect, UINT nID, BOOL bTitle);
