#pragma once
// The user's program-wide settings: option words, grid spacing, start
// folders, the default text format, the custom colours of the colour dialogs
// and the surface background. One instance, thePrefs, lives from start-up to
// exit; start-up fills it with LoadPreferences once the application's
// registry key is set, and whoever changes a field saves at once.
//
// Everything lives in the application profile (sections "Preferences" and
// "Application"), reached through the application object. Without an
// application object reads give their defaults and writes do nothing. What
// the profile holds is untrusted: bad or out-of-range values fall back to
// defaults or are clamped, never trusted as lengths.

#include "platform/base/GdiRecords.h"
#include "platform/base/String.h"

#include <array>

// Bits of CPrefData::Flags.
#define PREF_FLAG_RESIZE_FROM_CENTER 0x0004
#define PREF_FLAG_GRID_LINES 0x0008
#define PREF_FLAG_DEFAULT_GRID 0x0020
#define PREF_FLAG_SMALL_BUTTONS 0x0080
#define PREF_FLAG_COLOR_BUTTONS 0x0100
#define PREF_FLAG_INCHES 0x0200
#define PREF_FLAG_INSERT_FROM_GALLERY 0x0400
#define PREF_FLAG_PLAIN_SIZING_CURSORS 0x0800
#define PREF_FLAG_RESET_TOOL 0x2000
#define PREF_FLAG_MOVE_FILLED 0x4000
#define PREF_FLAG_NO_MULTI_PREVIEW 0x8000

// Bits of CPrefData::AddlFlags.
#define PREF_ADDL_PLAY_SOUNDS 0x0001
#define PREF_ADDL_SWITCH_A 0x0002
#define PREF_ADDL_SWITCH_I 0x0004
#define PREF_ADDL_PREDESIGNED 0x0008
#define PREF_ADDL_NO_TOOLTIPS 0x0010
#define PREF_ADDL_SHOW_LAUNCHER 0x0040
#define PREF_ADDL_STANDARD_BAR_HIDDEN 0x0100
#define PREF_ADDL_FORMAT_BAR_HIDDEN 0x0200
#define PREF_ADDL_PREVIEW_HINT 0x0800
#define PREF_ADDL_TEXT_FORMAT_FLAG 0x1000
#define PREF_ADDL_RULERS 0x4000
#define PREF_ADDL_TOOL_PAD 0x8000

// Bits of CPrefData::Add2Flags.
#define PREF_ADD2_AUTO_ADJUST_MARGINS 0x0001
#define PREF_ADD2_PROPORTIONAL_RESIZE 0x0008

// The user's home folder, as the program names it, with a trailing
// backslash: where file dialogs start when no folder was chosen.
CString GetUserHomeFolder();

class CPrefData {
public:
    // Words a first run starts from.
    static constexpr WORD kDefaultFlags = 0x7381;
    static constexpr WORD kDefaultAddlFlags = 0xE8E1;
    static constexpr WORD kDefaultAdd2Flags = 0x0013;
    static constexpr COLORREF kDefaultBkgClr = 0xCCFFFF;
    static constexpr int kCustomColorCount = 16;

    CPrefData();
    // A snapshot to compare settings before and after the Preferences sheet:
    // the option words, grid spacing, the four folders, the default LOGFONT
    // and the custom colours; everything else takes the constructor's value
    // (PaletteMethod the screen's default).
    CPrefData(const CPrefData& other);
    CPrefData& operator=(const CPrefData&) = delete;
    ~CPrefData() = default;

    // Back to the constructor's values (the global store between tests).
    void Reset();

    // Reads every field; a first run (Flags missing) gets the built-in words
    // and is written back at once.
    void LoadPreferences();
    void SavePreferences();
    // Deletes "CustomColors" when every colour is white.
    void SaveCustomColors();
    // Writes BkgClr as its three components.
    void SaveBackgroundColor();

    void SetDefaultTextFormat(const LOGFONT& lf, COLORREF crText, COLORREF crText2, WORD wValue1, WORD wValue2,
        BOOL bFlag, WORD wValue3, WORD wValue4);
    void GetDefaultTextFormat(LOGFONT& lf, COLORREF& crText, COLORREF& crText2, WORD& wValue1, WORD& wValue2,
        BOOL& bFlag, WORD& wValue3, WORD& wValue4) const;
    // The "DefaultFont" text of the current default format, and its reading
    // (what LoadPreferences does with the stored value).
    CString FormatDefaultFont() const;
    void ParseDefaultFont(const CString& strText);
    // The "CustomColors" text (empty when every colour is white) and its
    // reading.
    CString FormatCustomColors() const;
    void ParseCustomColors(const CString& strText);

    // Folders, always with a trailing backslash. The design folders are the
    // user's Designs folder, else the last one used, else the user's home;
    // the picture folders the stored one, else the program's picture
    // library when it is there, else the user's home. Never the program's
    // own folder: a new user's files do not belong there.
    CString GetDocumentDir() const;
    CString GetDesignFolder() const;
    CString GetImageDir() const;
    CString GetPictureFolder() const;
    // Store the folder (emptied when it is the default one) as the current
    // and the stored folder; neither saves.
    void SetDesignFolder(const CString& strPath);
    void SetPictureFolder(const CString& strPath);

    // Stores and writes "LastUser" at once.
    void SetLastUser(const CString& strName);

    // AddlFlags bit 0: the user wants sounds.
    BOOL IsSoundOn() const { return (AddlFlags & PREF_ADDL_PLAY_SOUNDS) != 0; }

    // Read from and written to the profile on every call.
    static int GetProcessor();
    static CString GetSelImgCategory();
    static void SetSelImgCategory(const CString& strCategory);
    static int GetMulImgPrevFixedSize();
    static void SetMulImgPrevFixedSize(int nSize);
    static int GetMulImgPrevRowCol();
    static void SetMulImgPrevRowCol(int nValue);
    static int GetMulImgPrefDispFN();
    static void SetMulImgPrefDispFN(int nValue);
    static int GetDisplayFrames();
    static void SetDisplayFrames(int nValue);
    static int GetPreviewImage();
    static void SetPreviewImage(int nValue);

    // 3 when the desktop shows 8 bits per pixel or fewer, else 2.
    static int DefaultPaletteMethod();

    // While set, picture browsing starts in the support folder's borders or
    // backgrounds folder (for the length of one chooser call).
    int BorderBrowse = 0;
    int BackgroundBrowse = 0;
    WORD Flags = 0xFFFF;
    WORD AddlFlags = 0xFFFF;
    WORD Add2Flags = 0xFFFF;
    // Thousandths of an inch; 0 means no grid.
    int GridSpacing = 5000;
    CString CurDesignFolder;
    CString DocumentDir;
    CString CurPictureFolder;
    CString ImageDir;
    // COLORREFs; white (0xFFFFFF) is an unused entry.
    std::array<COLORREF, kCustomColorCount> CustomColors;
    int PaletteMethod = 3;
    CString LastUser;
    int SingleUser = 0;
    // The default text format that new text takes. The text subsystem gives
    // the four values their meaning (1 and 2 are the shadow offsets).
    LOGFONT DefaultFont{};
    COLORREF DefaultTextColor = 0;
    COLORREF DefaultTextColor2 = 0x808080;
    WORD TextFormat1 = 2;
    WORD TextFormat2 = 2;
    WORD TextFormat3 = 0;
    WORD TextFormat4 = 0;
    COLORREF BkgClr = kDefaultBkgClr;
    // 0 picture, 1 colour, -1 not chosen yet.
    int BkgOpt = -1;
    CString BkgImg;

private:
    void SaveDefaultFont();
};

extern CPrefData thePrefs;
