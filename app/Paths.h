#pragma once
// Paths inside the program's folder, file tests that never show a system
// error box, copying, reading and deleting files, temporary file names,
// paths shortened for display, the picture file filter, and a few window
// helpers every subsystem uses. All run on the user-interface thread.

#include "platform/base/Geometry.h"
#include "platform/base/String.h"

#include <memory>
#include <vector>

class CDC;
class CStringArray;
class CFileDialog;
class CWnd;

// The program file's full path (Windows form).
CString GetModulePath();
// The program's folder with its trailing backslash, followed by each
// non-null part as given (no separators are added between parts).
CString GetProgramPath(LPCTSTR lpszPart1 = nullptr, LPCTSTR lpszPart2 = nullptr, LPCTSTR lpszPart3 = nullptr,
    LPCTSTR lpszPart4 = nullptr);
// "X:\" of the drive the program lives on.
CString GetProgramDriveRoot();
// The current folder; empty when it cannot be read.
CString GetCurrentFolder();

// A path whose attributes cannot be read is not a directory.
BOOL IsDirectory(LPCTSTR lpszPath);
BOOL MakeDirectory(LPCTSTR lpszPath);
// Makes sure "<program folder>UserData" and then "<program folder>UserData"
// followed by lpszSubfolder exist; FALSE when one cannot be created.
BOOL CreateUserDataFolder(LPCTSTR lpszSubfolder);
// FALSE for an empty string; otherwise whether it ends with ch. With
// bAppend a missing ch is appended and the answer is TRUE.
BOOL EnsureTrailingChar(CString& str, char ch, BOOL bAppend);
// The folder with a backslash at its end; an empty string stays empty.
CString WithTrailingBackslash(CString strFolder);
// Whether "olvw.dat" is in the program's folder.
BOOL HasCompanionMarker();

// _access (mode 0 existence, 2 write, 4 read, 6 both) with the system's
// error boxes suppressed for the call.
BOOL FileExists(LPCTSTR lpszPath, int nMode = 0);
BOOL PathExists(CString strPath, int nMode = 0);

// FALSE when the file could not be deleted.
BOOL RemoveFile(LPCTSTR lpszPath);
// Copies the source's bytes into a new or truncated destination through a
// buffer of nBufferSize bytes. Refused (FALSE, nothing touched) when both
// names are the same file, however spelled. When the copy fails part way,
// the partial destination is removed, so no half file is left to pass for
// a good one.
BOOL CopyFileBuffered(LPCTSTR lpszSource, LPCTSTR lpszDestination, UINT nBufferSize);
// A new empty temporary file named "<temp folder><prefix>XXXX.tmp" (prefix
// "ov4" when null). Throws CFileException when no name can be made.
void GetTempFilePath(CString& strPath, LPCTSTR lpszPrefix = nullptr);
// At most the first 10240 bytes of the file. FALSE when it cannot be read.
BOOL ReadTextFile(LPCTSTR lpszPath, CString& strText);
constexpr UINT kMaxTextFileBytes = 10240;
// The text-file open dialog starting at the program's drive root; TRUE and
// the chosen path on OK, else FALSE and an empty path.
BOOL BrowseForTextFile(CString& strPath);

// The file dialog the program shows to open text files and to save: its own
// dialog with picture buttons lives in the control kit, which builds on this
// library, so the kit installs a maker here at start-up. Without one the
// class library's plain file dialog is used.
typedef std::unique_ptr<CFileDialog> (*ProgramFileDialogMaker)(BOOL bOpenFileDialog, LPCTSTR lpszDefExt,
    LPCTSTR lpszFileName, DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd);
void SetProgramFileDialogMaker(ProgramFileDialogMaker maker);
std::unique_ptr<CFileDialog> MakeProgramFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
    DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd);

// The path as it fits nMaxWidth pixels on the DC: whole when it fits, else
// with folders after the drive ("C:\") or server ("\\server\") replaced by
// "..." one at a time from the left until it fits, the last try when
// nothing fits.
CString AbbreviatePath(CDC* pDC, const CString& strPath, int nMaxWidth);
// Sets the window's text to the path abbreviated to its client width.
void SetWindowTextPath(CWnd* pWnd, const CString& strPath);

// The file-dialog filter of every picture kind the program reads.
CString BuildPictureFilter();
// The same for choosing a picture to read: the JPEG and TIFF types list
// *.jpeg and *.tiff beside *.jpg and *.tif. (Saving keeps the three-letter
// names, by which the picture engine chooses the format it writes.)
CString BuildPictureOpenFilter();
// Splits a '|'-separated filter (name, patterns, name, patterns...) into
// its pairs; an empty name ends it, as the filter's closing "||" does.
void SplitFileFilter(const CString& strFilter, CStringArray& names, CStringArray& patterns);
// The patterns of "All Picture files" followed by ';' ("*.bmp;...;*.wpg;").
CString GetPictureFilePatterns();

// Sizes the window to the main frame's MDI client area (z-order kept).
// SW_MAXIMIZE when the active child is maximised or the screen is narrower
// than 700 pixels, else SW_SHOWNORMAL.
int FitToMDIClient(CWnd* pWnd);
// The help context the Help command passes on.
void SetHelpContext(DWORD dwContext);
DWORD GetHelpContext();
CPoint GetRectCenter(int left, int top, int right, int bottom);
// The colour dialog fully open at crColor with these 16 custom colours (the
// preferences' when null). On OK crColor becomes the nearest colour the
// parent's screen shows and the custom colours are saved; FALSE on Cancel.
BOOL ChooseColorDlg(CWnd* pParent, COLORREF& crColor, COLORREF* pCustomColors);

// A text loaded from a string resource, split at a separator character.
// "a,b,c" gives a, b, c; an empty resource gives one empty token.
class CStringTokenizer {
public:
    CStringTokenizer(UINT nStringID, char chSeparator = ',');

    BOOL GetFirst(CString& strToken);
    BOOL GetNext(CString& strToken);

private:
    CString m_strText;
    std::vector<int> m_separators;
    int m_nNext = 0;
    char m_chSeparator = ',';
};
