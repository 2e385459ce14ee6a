// Resource ids of the program's own resources (threadwick.rc). The class
// library's ids are in platform/base/AfxResourceIds.h.
#pragma once

// Document templates: 3 is the shared template resource (menu, icon,
// accelerators and its document string), 4-9 each kind's document string.
#define IDR_DESIGNTYPE 3
#define IDR_SHIRTTYPE 4
#define IDR_APPARELTYPE 5
#define IDR_MOUSEPADTYPE 6
#define IDR_CALENDARTYPE 7
#define IDR_LABELTYPE 8
#define IDR_GENERALTYPE 9

// Messages and texts.
#define IDS_OLE_INIT_FAILED 102
#define IDS_PICTURES_FOLDER 105
#define IDP_TOO_MANY_DESIGNS_OPEN 108
#define IDP_TOO_MANY_DESIGNS_NEW 109
#define IDP_FOLDER_NOT_FOUND 110
#define IDP_OPEN_DESIGN_FAILED 112
#define IDS_PREFERENCES_CAPTION 113
#define IDP_FILE_NOT_DESIGN 121
#define IDP_DESIGN_TOO_OLD 122
#define IDS_UNDO_MENU 123
#define IDS_REDO_MENU 124
#define IDS_TEXT_FILE_FILTER 145
#define IDP_DESIGN_TOO_NEW 153
#define IDS_PRINTER_DESCRIPTION 154
#define IDS_PROGRAM_VERSION 155
#define IDS_PICTURE_FILTER1 194
#define IDS_PICTURE_FILTER2 195
#define IDS_PICTURE_FILTER3 196
#define IDS_PLATFORM_DESCRIPTION 198
#define IDP_UNSUPPORTED_PLATFORM 199
#define IDS_ALL_DESIGNS 200
#define IDS_PREVIEW_CANNOT_DISPLAY 209
#define IDS_PREVIEW_NOT_DESIGN 210
#define IDS_PREVIEW_NO_PICTURE 211
#define IDS_PREVIEW_BAD_EXTENSION 212
#define IDS_PREVIEW_FILE_OPEN 213
#define IDS_DESIGN_WIZARD_CAPTION 992
#define IDS_LOADING_DESIGN_WIZARD 1008
#define IDS_PROFILE_APPLICATION 2117
#define IDP_DESIGN_NAME_EXISTS 5045
#define IDS_SURFACE_NAMES 7010
#define IDS_INSTANCE_NAME 16000
#define IDS_PROFILE_TOOLS 33019
#define IDS_PROFILE_TOOLS_INIT 33021
#define IDS_PROFILE_YES 33022
#define IDP_RUN_PROGRAM_FAILED 33035
#define IDS_PRODUCT_NAME 57340
#define IDS_REGISTRY_KEY 57346
#define IDS_UNDO_SAME_SIZE 61447

// Undo step labels.
#define IDS_UNDO_CREATE 7040
#define IDS_UNDO_DELETE 7041
#define IDS_UNDO_MOVE 7042
#define IDS_UNDO_GROUP 7044
#define IDS_UNDO_UNGROUP 7045
#define IDS_UNDO_PROPERTIES 7046
#define IDS_UNDO_ALIGN 7047
#define IDS_UNDO_LOCK 7048
#define IDS_UNDO_SIZE 7049
#define IDS_UNDO_FLIP 7050
#define IDS_UNDO_GRAYSCALE 7051
#define IDS_UNDO_EMBOSS 7052
#define IDS_UNDO_BLUR 7053
#define IDS_UNDO_MOSAIC 7054
#define IDS_UNDO_PICTURE_INSERT 7055
#define IDS_UNDO_PICTURE_REMOVE 7056
#define IDS_UNDO_PICTURE_ROTATE 7057
#define IDS_UNDO_LIGHTEN 7058
#define IDS_UNDO_DARKEN 7059
#define IDS_UNDO_LINE_COLOR 7060
#define IDS_UNDO_TRANSPARENT 7061
#define IDS_UNDO_PASTE 7062
#define IDS_UNDO_CROP 7063
#define IDS_UNDO_TEXT_REMOVAL 7064
#define IDS_UNDO_PICTURE_EFFECTS 7073
#define IDS_UNDO_EDIT_CELL 7074
#define IDS_UNDO_SCALE 7076

// Commands whose prompt strings are in the table.
#define ID_VIEW_ZOOM_COMBO 173
#define ID_VIEW_ZOOM_FIT 32798
#define ID_PREFERENCES_DEFAULTS 32807
#define ID_VIEW_TOOLPAD 33060
#define ID_VIEW_ZOOM_CUSTOM 33202
#define ID_FILE_NEW_DESIGN_MENU 33225

// Generated art (tools/artgen, files in art/): the application palette and
// the packed metafile pictures. Each picture's string of the same number is
// "unpacked size,display name".
#define IDR_APP_PALETTE 36
#define IDR_METAFILE_STAR 9801
#define IDR_METAFILE_HEART 9802
#define IDR_METAFILE_CIRCLE 9803

// Each subsystem's own resources.
#include "resources/appmain.h"
#include "resources/cmdline.h"
#include "resources/mainframe.h"
#include "resources/art.h"
#include "resources/model.h"
#include "resources/surface.h"
#include "resources/surfacetools.h"
#include "resources/clipboard.h"
#include "resources/assist.h"
#include "resources/print.h"
#include "resources/controls.h"
#include "resources/pictures.h"
#include "resources/cropdlg.h"
#include "resources/rulers.h"
#include "resources/rulersetup.h"
#include "resources/previewgrid.h"
#include "resources/gallery.h"
#include "resources/filedlg.h"
#include "resources/pictureopen.h"
#include "resources/toolpadart.h"
#include "resources/toolpad.h"
#include "resources/toolnav.h"
#include "resources/colorfill.h"
#include "resources/texteffects.h"
#include "resources/textdlgs.h"
#include "resources/textformat.h"
#include "resources/studio.h"
#include "resources/effectdlgs.h"
#include "resources/printdlgs.h"
#include "resources/export.h"
#include "resources/properties.h"
#include "resources/userextras.h"
#include "resources/picdlgs.h"
#include "resources/scalealign.h"
#include "resources/spelling.h"
#include "resources/replacetext.h"
#include "resources/findclipart.h"
