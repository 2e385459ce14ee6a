#pragma once
// CFileImageDlgNested: the platform's open-file dialog with a preview pane
// beside the file list. As the user moves through the files, the picture
// (or, for designs, the design's stored preview) under the cursor is drawn
// in the pane once it has stayed selected for one double-click time, so a
// double click that opens a file never waits for its preview.
//
// The object owns the dialog's record and its preview picture; the preview
// is released when it is cleared and when the dialog closes. Only one such
// dialog is open at a time: the dialog's hook finds its object through one
// shared pointer.
//
// It ends with a switch code (GetResult): 1 a file was chosen, 2
// cancelled, 411 the user asked for the Multiple Preview (the Open dialog
// with its grid), 33013 for the Picture Gallery.

#include "platform/base/Geometry.h"
#include "platform/base/String.h"
#include "platform/base/StringArray.h"
#include "platform/base/UiRecords.h"

#include <memory>
#include <string>
#include <vector>

class C3DPicBtn;
class CImage;
class CWnd;

class CFileImageDlgNested {
public:
    // The first constructor argument. Modes 1, 3 and 4 select several files.
    enum Mode : int {
        modeOpenDesign = 0,
        modeSelectDesigns = 1,
        modeOpenPicture = 2,
        modePrintPictures = 3,
        modeSelectPictures = 4,
    };
    // The preview status: what the pane shows.
    static constexpr int kStatusShown = 0;
    static constexpr int kStatusLoading = -1;
    static constexpr int kStatusNothing = -6;
    // The picture options' value when the caller passed no array.
    static constexpr int kNoOption = -1;
    // The file-name buffer, in characters with the zeros.
    static constexpr int kNameBufferSize = 10240;
    // The dialog's current path is believed up to this length; a longer one
    // previews nothing.
    static constexpr int kMaxPreviewPath = 284;
    static constexpr UINT_PTR kPreviewTimer = 3;

    // strFilter: "name|patterns|..." as the program's filters are written
    // (the '|' become the record's zeros); nTypeIndex 0-based. strInitial
    // is a path, a file name or empty: its folder is the start folder, else
    // the preferences' design folder (modes 0 and 1) or picture folder.
    // pOptions: two values (proportional resizing, natural size), or null.
    CFileImageDlgNested(int nMode, const CString& strFilter, int nTypeIndex, const CString& strInitial,
        const DWORD* pOptions, CWnd* pParent);
    ~CFileImageDlgNested();
    CFileImageDlgNested(const CFileImageDlgNested&) = delete;
    CFileImageDlgNested& operator=(const CFileImageDlgNested&) = delete;

    // For callers that bring their own title and flags (the design Open
    // dialog): the title replaces the mode's, the flags are added to the
    // dialog's own, and with bOpen FALSE the dialog saves (no switch
    // buttons then: a save has nowhere to switch to).
    void SetCallerSettings(const CString& strTitle, DWORD dwFlags, BOOL bOpen);
    void SetDefaultExtension(const CString& strExt) { m_strDefExt = strExt; }

    // Runs the dialog; the answer is GetResult().
    int DoModal();
    int GetResult() const { return m_nResult; }
    // The chosen file (the first of several) into strPath; its folder, up to
    // and including the last backslash, as the answer. After a switch button
    // there is no file: strPath is empty and the answer is the folder the
    // dialog showed, so that the next picker starts there.
    CString GetFolder(CString& strPath);
    // Every chosen path, the buffer split on first use.
    const CStringArray& GetPaths();
    // The chosen file type: 0-based index and its name in the filter.
    int GetTypeIndex() const { return m_nTypeIndex; }
    CString GetTypeName() const;
    // Copies the two options back as 0 or 1 (nothing without an array).
    void GetOptions(DWORD* pOptions) const;

    // The dialog while it is up, else NULL.
    HWND GetDialogWindow() const { return m_hDlg; }
    HWND GetChildWindow() const { return m_hChild; }

    // What the pane holds: the status and, when shown, the picture's size.
    int GetPreviewStatus() const { return m_nPreviewStatus; }
    const CImage* GetPreviewPicture() const { return m_pPreview.get(); }
    // The pane's current message (empty when a picture is shown).
    CString GetStatusText() const;
    // How many times a file was read for the pane (tests count loads).
    int GetPreviewLoads() const { return m_nPreviewLoads; }

    // Clears the pane and reads the dialog's current file into it.
    void Preview();

private:
    friend struct FileImageDlgHook;

    void OnInitDialog();
    BOOL OnCommand(int nID, int nCode);
    void OnSelectionChange();
    // Help: the main window opens the topic when it owns the dialog; another
    // owner (a dialog that chose a picture) does not, so the topic is
    // opened here.
    void OnHelp();
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnDestroy();

    void ClearPreview();
    void UpdatePreviewNow();
    void SelectAll();
    void ClearAll();
    void EndWith(int nResult, int nEnd);
    int SelectedFileCount() const;
    BOOL IsMultiSelect() const;
    CString CurrentPath() const;
    // The pane's drawing area in the child dialog's client coordinates.
    CRect PreviewArea() const;
    void PlaceControls();
    void DressButtons();

    int m_nMode;
    std::string m_filter;      // the record's: zero separated, two zeros at the end
    std::vector<CString> m_typeNames;
    int m_nTypeIndex;
    CString m_strInitialFile;
    CString m_strStartFolder;
    CString m_strTitle;
    CString m_strDefExt;
    DWORD m_dwCallerFlags = 0;
    BOOL m_bOpen = TRUE;
    CWnd* m_pParent;
    OPENFILENAME m_ofn{};
    std::vector<char> m_buffer;
    int m_nResult = 2;
    BOOL m_bAutoPreview;
    int m_nOptions[2];
    std::unique_ptr<CImage> m_pPreview;
    SIZE m_sizePreview{};
    int m_nPreviewStatus = kStatusNothing;
    int m_nPreviewFileKind = -1;
    BOOL m_bTimerPending = FALSE;
    int m_nPreviewLoads = 0;
    HWND m_hDlg = NULL;
    HWND m_hChild = NULL;
    CStringArray m_paths;
    BOOL m_bPathsSplit = FALSE;
    // The folder shown when a switch button ended the dialog.
    CString m_strSwitchFolder;
    // The common dialog's OK, Cancel and Help dressed as the program's
    // picture buttons while the dialog is up.
    std::unique_ptr<C3DPicBtn> m_buttons[3];
};

// Splits a multiple-selection buffer (the folder, then each name, zero
// separated, ending in two zeros) into full paths: a buffer of a single
// string, or a limit of 0, is one full path; otherwise each name is joined
// to the folder until the list holds nLimit paths (-1: 10240). Reads no
// further than nBufferSize characters.
void SplitMultiSelectResult(const char* pBuffer, int nBufferSize, CStringArray& paths, int nLimit);

// TRUE when the path names an existing folder.
BOOL IsFolderPath(const CString& strPath);

// Runs the picture file dialog for the picture chooser and the print
// commands: help context 98374 with a path list (several files), else
// 98329; the picture filter. strPath in: the initial path; out: the chosen
// file (the first of several), every chosen path going into pPaths. The
// type name and index (either may be null) are read and updated. Unless
// cancelled, the chosen folder becomes the preferences' picture folder.
// The options are copied back as 0 or 1. Answers 1, 2, 411 or 33013.
int ChoosePictureFromFileDialog(CWnd* pParent, CString& strPath, int nMode, CString* pstrTypeName = nullptr,
    int* pnTypeIndex = nullptr, CStringArray* pPaths = nullptr, DWORD* pOptions = nullptr);
