#pragma once
// The one call through which the program lets the user pick a picture file.
// Its least form is the program's file dialog with the picture filter; the
// Picture Gallery and the picture Open dialog join it with the picture
// pickers.

#include "platform/base/String.h"

class CWnd;

// The file dialog's mode that picks one existing picture (every caller's).
constexpr int kPictureDialogPickOne = 2;

// The chooser's answers.
constexpr int kPictureChosen = 1;
constexpr int kPictureNotChosen = 2;

// Lets the user choose a picture file, starting in the folder of strPath
// (else the preferences' picture folder). kPictureChosen with the file in
// strPath; kPictureNotChosen, with strPath emptied, when the user gave up.
int ChoosePictureSource(CWnd* pParent, CString& strPath, int nFileDialogMode);
