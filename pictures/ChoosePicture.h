#pragma once
// The one call through which the program lets the user pick a picture file.
// Three pickers take turns until a file is chosen or the user gives up: the
// Picture Gallery, the picture Open dialog (a folder tree beside a grid of
// previews) and the picture file dialog with its preview pane. Each picker
// ends with a switch code; the chooser runs the next picker it names.
//
// The two picture options ride along in both directions: element 0 "Use
// Proportional Resizing", element 1 "Insert at Natural Size", each 0 or 1.
// A caller without an array gets both check boxes cleared and disabled in
// every picker.

#include "platform/base/String.h"

class CWnd;

// The file dialog's mode that picks one existing picture (every caller's).
constexpr int kPictureDialogPickOne = 2;

// The chooser's answers.
constexpr int kPictureChosen = 1;
constexpr int kPictureNotChosen = 2;

// How a picker ends: a file was chosen or the user cancelled, or the user
// asked for another picker (these are the command ids of the buttons that
// ask for them).
constexpr int kPickerChosen = 1;
constexpr int kPickerCancelled = 2;
constexpr int kPickerSinglePreview = 411;
constexpr int kPickerGallery = 33013;

// The two picture options.
constexpr int kPictureOptionCount = 2;
constexpr int kOptionProportional = 0;
constexpr int kOptionNaturalSize = 1;

// Lets the user choose a picture file. kPictureChosen with the file in
// strPath (never empty); kPictureNotChosen otherwise, strPath emptied when
// a picker was cancelled. bStartInGallery starts in the Picture Gallery,
// bScrapbook runs the Open dialog as the Scrapbook. The type name and index
// (either may be null) are the picker's remembered file type or category,
// read and updated; pOptions, when given, holds kPictureOptionCount values.
int ChoosePictureSource(CWnd* pParent, CString& strPath, int nFileDialogMode, BOOL bStartInGallery = FALSE,
    BOOL bScrapbook = FALSE, CString* pstrTypeName = nullptr, int* pnTypeIndex = nullptr, DWORD* pOptions = nullptr);

// The Picture Gallery run for the chooser: its switch code; for a chosen
// picture the path, or 0 (after telling the user) when the picture cannot
// be found even where moved pictures are looked for.
int ChoosePictureFromGallery(CString& strPath, CString& strTypeName, int& nTypeIndex, DWORD* pOptions);

// The picture Open dialog (the Scrapbook with bScrapbook) run for the
// chooser: its switch code. A chosen file's folder becomes the preferences'
// picture folder; a cancelled run empties the path.
int ChoosePictureFromOpenDialog(CWnd* pParent, CString& strPath, CString& strTypeName, int& nTypeIndex,
    BOOL bScrapbook, DWORD* pOptions);
