#pragma once
// Resource ids of the class library's own strings and standard commands.
// The framework loads these strings; the program's resource script supplies
// their text. Plain #defines so that the resource compiler can read this
// file. Values follow the class library's documented ranges: 0xE000-0xEFFF
// application strings and standard commands, 0xF000-0xF1FF framework
// strings and prompts.

// Application strings.
#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDS_IDLEMESSAGE 0xE001
// 0xE002 is the help-mode prompt in the class library; this program's own
// string 57346 (its registry key) takes that id, and the program has no
// help mode, so the framework must not expect text there.
#define AFX_IDS_HELPMODEMESSAGE 0xE002

// File dialogs and document names.
#define AFX_IDS_OPENFILE 0xF000
#define AFX_IDS_SAVEFILE 0xF001
#define AFX_IDS_ALLFILTER 0xF002
#define AFX_IDS_UNTITLED 0xF003
#define AFX_IDS_SAVEFILECOPY 0xF004

// Prompts of the document framework.
#define AFX_IDP_INVALID_FILENAME 0xF100
#define AFX_IDP_FAILED_TO_OPEN_DOC 0xF101
#define AFX_IDP_FAILED_TO_SAVE_DOC 0xF102
#define AFX_IDP_ASK_TO_SAVE 0xF103
#define AFX_IDP_FAILED_TO_CREATE_DOC 0xF104
#define AFX_IDP_FILE_TOO_LARGE 0xF105
#define AFX_IDP_FAILED_TO_START_PRINT 0xF106
#define AFX_IDP_FAILED_TO_LAUNCH_HELP 0xF107
#define AFX_IDP_INTERNAL_FAILURE 0xF108
#define AFX_IDP_COMMAND_FAILURE 0xF109
#define AFX_IDP_FAILED_MEMORY_ALLOC 0xF10A

// Dialog data exchange and validation.
#define AFX_IDP_PARSE_INT 0xF110
#define AFX_IDP_PARSE_REAL 0xF111
#define AFX_IDP_PARSE_INT_RANGE 0xF112
#define AFX_IDP_PARSE_REAL_RANGE 0xF113
#define AFX_IDP_PARSE_STRING_SIZE 0xF114
#define AFX_IDP_PARSE_RADIO_BUTTON 0xF115
#define AFX_IDP_PARSE_BYTE 0xF116
#define AFX_IDP_PARSE_UINT 0xF117

// File exception messages: AFX_IDP_FILE_NONE + CFileException::m_cause.
#define AFX_IDP_FILE_NONE 0xF120
#define AFX_IDP_FILE_GENERIC 0xF121
#define AFX_IDP_FILE_NOT_FOUND 0xF122
#define AFX_IDP_FILE_BAD_PATH 0xF123
#define AFX_IDP_FILE_TOO_MANY_OPEN 0xF124
#define AFX_IDP_FILE_ACCESS_DENIED 0xF125
#define AFX_IDP_FILE_INVALID_FILE 0xF126
#define AFX_IDP_FILE_REMOVE_CURRENT 0xF127
#define AFX_IDP_FILE_DIR_FULL 0xF128
#define AFX_IDP_FILE_BAD_SEEK 0xF129
#define AFX_IDP_FILE_HARD_IO 0xF12A
#define AFX_IDP_FILE_SHARING 0xF12B
#define AFX_IDP_FILE_LOCKING 0xF12C
#define AFX_IDP_FILE_DISKFULL 0xF12D
#define AFX_IDP_FILE_EOF 0xF12E

// Archive exception messages: AFX_IDP_ARCH_NONE + CArchiveException::m_cause.
#define AFX_IDP_ARCH_NONE 0xF130
#define AFX_IDP_ARCH_GENERIC 0xF131
#define AFX_IDP_ARCH_READONLY 0xF132
#define AFX_IDP_ARCH_ENDOFFILE 0xF133
#define AFX_IDP_ARCH_WRITEONLY 0xF134
#define AFX_IDP_ARCH_BADINDEX 0xF135
#define AFX_IDP_ARCH_BADCLASS 0xF136
#define AFX_IDP_ARCH_BADSCHEMA 0xF137

// Standard commands; their strings are the status-bar prompt, then '\n'
// and the tool tip.
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_PAGE_SETUP 0xE105
#define ID_FILE_PRINT_SETUP 0xE106
#define ID_FILE_PRINT 0xE107
#define ID_FILE_PRINT_DIRECT 0xE108
#define ID_FILE_PRINT_PREVIEW 0xE109
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE2 0xE111
#define ID_FILE_MRU_FILE3 0xE112
#define ID_FILE_MRU_FILE4 0xE113
#define ID_FILE_MRU_FIRST ID_FILE_MRU_FILE1
#define ID_FILE_MRU_LAST 0xE11F
#define ID_EDIT_CLEAR 0xE120
#define ID_EDIT_CLEAR_ALL 0xE121
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_FIND 0xE124
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_PASTE_LINK 0xE126
#define ID_EDIT_PASTE_SPECIAL 0xE127
#define ID_EDIT_REPEAT 0xE128
#define ID_EDIT_REPLACE 0xE129
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_EDIT_UNDO 0xE12B
#define ID_EDIT_REDO 0xE12C
#define ID_WINDOW_NEW 0xE130
#define ID_WINDOW_ARRANGE 0xE131
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_WINDOW_TILE_VERT 0xE134
#define ID_WINDOW_SPLIT 0xE135
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_HELP_INDEX 0xE142
#define ID_HELP_FINDER 0xE143
#define ID_HELP_USING 0xE144
#define ID_CONTEXT_HELP 0xE145
#define ID_HELP 0xE146
#define ID_DEFAULT_HELP 0xE147
#define ID_NEXT_PANE 0xE150
#define ID_PREV_PANE 0xE151

// Status-bar indicators; their strings are the texts shown when the key
// is on.
#define ID_INDICATOR_EXT 0xE700
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define ID_INDICATOR_OVR 0xE704
#define ID_INDICATOR_REC 0xE705

#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
