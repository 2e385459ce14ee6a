#pragma once
// Resource ids of toolnav.

// The flyout chooser of surfaces: no caption and no controls; it sizes
// itself to its pictures when it opens.
#define IDD_TOOL_FLYOUT 431
