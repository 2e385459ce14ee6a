#pragma once
// Resource ids of properties: the Properties command's texts, the picture effect commands' and the wallpaper's.

// The Properties item names what it will change.
#define IDS_PROPS_CHANGE_PICTURE 419
#define IDS_PROPS_EDIT_TEXT 420
#define IDS_PROPS_CHANGE_SHAPE 421
#define IDS_PROPS_CHANGE_CALENDAR 422
#define IDS_PROPS_DEFAULT 423
#define IDS_PROPS_CHANGE_LINE 424

#define IDS_PROPS_WALLPAPER_FAILED 33039
