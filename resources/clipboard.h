#pragma once
// Resource ids of clipboard.rc: the texts of the design view's clipboard
// commands.

// A paste that made nothing.
#define IDP_PASTE_FAILED 103
// Paste Special's entries: "list text\nresult text".
#define IDS_PASTE_OBJECT_FORMAT 157
#define IDS_PASTE_TEXT_FORMAT 158
