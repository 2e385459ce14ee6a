#include "app/PrefData.h"
#include "app/PrintPrefData.h"

#include "app/FontHelpers.h"
#include "app/Paths.h"
#include "app/PicDisplayMode.h"

#include "platform/files/HostPath.h"
#include "platform/files/UserFolders.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

CPrefData thePrefs;

namespace {

constexpr const char* kPreferences = "Preferences";
constexpr const char* kApplication = "Application";
constexpr const char* kBkgClr = "BkgClr";

// The profile through the application object; without one, defaults.
int ReadInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    CWinApp* pApp = AfxGetApp();
    return pApp ? static_cast<int>(pApp->GetProfileInt(lpszSection, lpszEntry, nDefault)) : nDefault;
}

CString ReadString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = "")
{
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->GetProfileString(lpszSection, lpszEntry, lpszDefault) : CString(lpszDefault);
}

void WriteInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileInt(lpszSection, lpszEntry, nValue);
}

// A NULL value deletes the entry.
void WriteString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

CString ProgramFolder()
{
    return GetProgramPath();
}

bool ExistsAt(const CString& strPath)
{
    return !strPath.IsEmpty() && FileExists(strPath);
}

CString WithBackslash(CString strPath)
{
    if (strPath.IsEmpty() || strPath[strPath.GetLength() - 1] != '\\')
        strPath += '\\';
    return strPath;
}

CString LoadText(UINT nID, LPCTSTR lpszFallback)
{
    CString strText;
    if (!strText.LoadString(nID))
        strText = lpszFallback;
    return strText;
}

// sscanf's "%d" without its overflow: optional white space and sign, then
// digits, saturating far outside any value the callers keep. False when no
// digit follows.
bool ScanNumber(const char*& p, long long& nValue)
{
    const char* q = p;
    while (*q == ' ' || *q == '\t' || *q == '\r' || *q == '\n')
        ++q;
    bool bNegative = false;
    if (*q == '+' || *q == '-')
        bNegative = *q++ == '-';
    if (*q < '0' || *q > '9')
        return false;
    long long n = 0;
    for (; *q >= '0' && *q <= '9'; ++q)
        n = std::min<long long>(n * 10 + (*q - '0'), 1LL << 40);
    nValue = bNegative ? -n : n;
    p = q;
    return true;
}

// A number field of "DefaultFont" (0 when it holds none, as atol).
long long FieldNumber(const CString& strField)
{
    const char* p = strField;
    long long n = 0;
    return ScanNumber(p, n) ? n : 0;
}

// A colour field: an unsigned 32-bit value, as strtoul reads one.
COLORREF FieldColor(const CString& strField)
{
    const long long n = FieldNumber(strField);
    return static_cast<COLORREF>(static_cast<unsigned long long>(n) & 0xFFFFFFFFu);
}

BYTE ClampComponent(long long n)
{
    return static_cast<BYTE>(std::clamp<long long>(n, 0, 255));
}

std::size_t FaceNameLength(const LOGFONT& lf)
{
    return strnlen(lf.lfFaceName, LF_FACESIZE - 1);
}

} // namespace

CPrefData::CPrefData()
{
    Reset();
}

CPrefData::CPrefData(const CPrefData& other)
{
    Reset();
    Flags = other.Flags;
    AddlFlags = other.AddlFlags;
    Add2Flags = other.Add2Flags;
    GridSpacing = other.GridSpacing;
    CurDesignFolder = other.CurDesignFolder;
    DocumentDir = other.DocumentDir;
    CurPictureFolder = other.CurPictureFolder;
    ImageDir = other.ImageDir;
    DefaultFont = other.DefaultFont;
    CustomColors = other.CustomColors;
    PaletteMethod = DefaultPaletteMethod();
}

void CPrefData::Reset()
{
    BorderBrowse = 0;
    BackgroundBrowse = 0;
    Flags = 0xFFFF;
    AddlFlags = 0xFFFF;
    Add2Flags = 0xFFFF;
    GridSpacing = 5000;
    CurDesignFolder.Empty();
    DocumentDir.Empty();
    CurPictureFolder.Empty();
    ImageDir.Empty();
    CustomColors.fill(0xFFFFFF);
    PaletteMethod = 3;
    LastUser.Empty();
    SingleUser = 0;
    DefaultFont = LOGFONT{};
    DefaultFont.lfHeight = -12;
    DefaultFont.lfWeight = FW_NORMAL;
    DefaultTextColor = 0;
    DefaultTextColor2 = 0x808080;
    TextFormat1 = 2;
    TextFormat2 = 2;
    TextFormat3 = 0;
    TextFormat4 = 0;
    BkgClr = kDefaultBkgClr;
    BkgOpt = -1;
    BkgImg.Empty();
}

int CPrefData::DefaultPaletteMethod()
{
    int nBits = 32;
    if (HDC hdc = GetDC(NULL)) {
        nBits = GetDeviceCaps(hdc, BITSPIXEL) * GetDeviceCaps(hdc, PLANES);
        ReleaseDC(NULL, hdc);
    }
    return nBits < 9 ? 3 : 2;
}

void CPrefData::LoadPreferences()
{
    bool bSave = false;

    DocumentDir = ReadString(kPreferences, "DocumentDir");
    ImageDir = ReadString(kPreferences, "ImageDir");
    LastUser = ReadString(kPreferences, "LastUser");
    SingleUser = ReadInt(kPreferences, "SingleUser", 0);
    GridSpacing = ReadInt(kPreferences, "GridSpacing", 5000);
    PaletteMethod = ReadInt(kPreferences, "PaletteMethod", DefaultPaletteMethod());
    Flags = static_cast<WORD>(ReadInt(kPreferences, "Flags", -1));
    AddlFlags = static_cast<WORD>(ReadInt(kPreferences, "AddlFlags", -1));
    Add2Flags = static_cast<WORD>(ReadInt(kPreferences, "Add2Flags", -1));

    // A background picture that has gone away switches the background to
    // the colour, so that the surface never waits for a missing file.
    BkgImg = ReadString(kPreferences, "BkgImg", ProgramFolder() + "SUPPORT\\BKGIMAGE.JPG");
    BkgOpt = ReadInt(kPreferences, "BkgOpt", -1);
    if (BkgOpt == 0 && !BkgImg.IsEmpty() && !ExistsAt(BkgImg)) {
        BkgOpt = 1;
        bSave = true;
    }
    if (BkgOpt == -1) {
        BkgOpt = ExistsAt(BkgImg) ? 0 : 1;
        bSave = true;
    }

    // Each component is clamped: a value past 255 would spill into the
    // neighbouring component of the COLORREF.
    BkgClr = RGB(ClampComponent(ReadInt(kPreferences, "BkgClr-R", GetRValue(kDefaultBkgClr))),
        ClampComponent(ReadInt(kPreferences, "BkgClr-G", GetGValue(kDefaultBkgClr))),
        ClampComponent(ReadInt(kPreferences, "BkgClr-B", GetBValue(kDefaultBkgClr))));

    if (Flags == 0xFFFF) {
        Flags = kDefaultFlags;
        if (ReadInt(kPreferences, "USDefaults", 1) == 0)
            Flags &= ~PREF_FLAG_INCHES;
        bSave = true;
    }
    if (AddlFlags == 0xFFFF)
        AddlFlags = kDefaultAddlFlags;
    if (Add2Flags == 0xFFFF)
        Add2Flags = kDefaultAdd2Flags;

    // Half an inch, or one centimetre with metric units.
    if (GridSpacing == 5000)
        GridSpacing = (Flags & PREF_FLAG_INCHES) ? 500 : 393;

    CurDesignFolder = DocumentDir;
    CurPictureFolder = ImageDir;

    ParseDefaultFont(ReadString(kPreferences, "DefaultFont"));
    ParseCustomColors(ReadString(kApplication, "CustomColors"));

    if (bSave)
        SavePreferences();
}

void CPrefData::SavePreferences()
{
    WriteString(kPreferences, "DocumentDir", DocumentDir);
    WriteString(kPreferences, "ImageDir", ImageDir);
    WriteString(kPreferences, "LastUser", LastUser);
    WriteInt(kPreferences, "SingleUser", SingleUser);
    WriteInt(kPreferences, "GridSpacing", GridSpacing);
    WriteInt(kPreferences, "PaletteMethod", PaletteMethod);
    WriteInt(kPreferences, "Flags", Flags);
    WriteInt(kPreferences, "AddlFlags", AddlFlags);
    WriteInt(kPreferences, "Add2Flags", Add2Flags);
    WriteInt(kPreferences, "BkgOpt", BkgOpt);
    WriteString(kPreferences, "BkgImg", BkgImg);
    SaveBackgroundColor();
    SaveDefaultFont();
    SaveCustomColors();
}

void CPrefData::SaveBackgroundColor()
{
    CString strEntry = kBkgClr;
    WriteInt(kPreferences, strEntry + "-R", GetRValue(BkgClr));
    WriteInt(kPreferences, strEntry + "-G", GetGValue(BkgClr));
    WriteInt(kPreferences, strEntry + "-B", GetBValue(BkgClr));
}

void CPrefData::SaveDefaultFont()
{
    WriteString(kPreferences, "DefaultFont", FormatDefaultFont());
}

void CPrefData::SaveCustomColors()
{
    const CString strText = FormatCustomColors();
    WriteString(kApplication, "CustomColors", strText.IsEmpty() ? nullptr : static_cast<LPCTSTR>(strText));
}

CString CPrefData::FormatDefaultFont() const
{
    CString strStyle = DefaultFont.lfWeight > FW_NORMAL ? "B" : "R";
    if (DefaultFont.lfItalic)
        strStyle += 'I';
    if (DefaultFont.lfUnderline)
        strStyle += 'U';
    const long long nHeight = std::llabs(static_cast<long long>(DefaultFont.lfHeight));
    char szNumbers[160];
    std::snprintf(szNumbers, sizeof szNumbers, ",%lld,%lu,%lu,%d,%d,%d,%d,%d", nHeight,
        static_cast<unsigned long>(DefaultTextColor), static_cast<unsigned long>(DefaultTextColor2),
        static_cast<int>(TextFormat1), static_cast<int>(TextFormat2),
        (AddlFlags & PREF_ADDL_TEXT_FORMAT_FLAG) ? 1 : 0, static_cast<int>(TextFormat3),
        static_cast<int>(TextFormat4));
    return CString(DefaultFont.lfFaceName, static_cast<int>(FaceNameLength(DefaultFont))) + "," + strStyle
        + szNumbers;
}

void CPrefData::ParseDefaultFont(const CString& strText)
{
    DefaultFont = LOGFONT{};
    DefaultFont.lfHeight = -12;
    DefaultFont.lfWeight = FW_NORMAL;
    // The program's default face, which the command line may have changed.
    std::strncpy(DefaultFont.lfFaceName, g_defaultFaceName, LF_FACESIZE - 1);

    if (strText.Find(',') < 0)
        return;

    // Fields are taken only as far as they are present.
    std::vector<CString> fields;
    int nStart = 0;
    for (;;) {
        const int nComma = strText.Find(',', nStart);
        if (nComma < 0) {
            fields.push_back(strText.Mid(nStart));
            break;
        }
        fields.push_back(strText.Mid(nStart, nComma - nStart));
        nStart = nComma + 1;
    }

    const CString strFace = fields[0].Left(LF_FACESIZE - 1);
    std::memset(DefaultFont.lfFaceName, 0, sizeof DefaultFont.lfFaceName);
    std::memcpy(DefaultFont.lfFaceName, static_cast<LPCTSTR>(strFace), strFace.GetLength());

    const std::size_t n = fields.size();
    if (n > 1) {
        if (fields[1].Find('B') >= 0)
            DefaultFont.lfWeight = FW_BOLD;
        if (fields[1].Find('I') >= 0)
            DefaultFont.lfItalic = TRUE;
        if (fields[1].Find('U') >= 0)
            DefaultFont.lfUnderline = TRUE;
    }
    if (n > 2) {
        const long long nHeight = std::min<long long>(std::llabs(FieldNumber(fields[2])), 999);
        DefaultFont.lfHeight = nHeight == 0 ? -12 : -static_cast<LONG>(nHeight);
    }
    if (n > 3)
        DefaultTextColor = FieldColor(fields[3]);
    if (n > 4)
        DefaultTextColor2 = FieldColor(fields[4]);
    if (n > 5)
        TextFormat1 = static_cast<WORD>(FieldNumber(fields[5]));
    if (n > 6)
        TextFormat2 = static_cast<WORD>(FieldNumber(fields[6]));
    if (n > 7) {
        if (FieldNumber(fields[7]) != 0)
            AddlFlags |= PREF_ADDL_TEXT_FORMAT_FLAG;
        else
            AddlFlags &= ~PREF_ADDL_TEXT_FORMAT_FLAG;
    }
    if (n > 8)
        TextFormat3 = static_cast<WORD>(FieldNumber(fields[8]));
    if (n > 9)
        TextFormat4 = static_cast<WORD>(FieldNumber(fields[9]));
}

CString CPrefData::FormatCustomColors() const
{
    int nLast = kCustomColorCount - 1;
    while (nLast >= 0 && CustomColors[nLast] == 0xFFFFFF)
        --nLast;
    if (nLast < 0)
        return CString();
    CString strText = "|";
    for (int i = 0; i <= nLast; ++i) {
        char szPiece[48];
        std::snprintf(szPiece, sizeof szPiece, "%d,%d,%d|", GetRValue(CustomColors[i]),
            GetGValue(CustomColors[i]), GetBValue(CustomColors[i]));
        strText += szPiece;
    }
    return strText;
}

void CPrefData::ParseCustomColors(const CString& strText)
{
    if (strText.IsEmpty())
        return;
    const char chSeparator = strText[0];
    CString strRest = strText.Mid(1);
    for (int i = 0; i < kCustomColorCount && !strRest.IsEmpty(); ++i) {
        const int nEnd = strRest.Find(chSeparator);
        if (nEnd < 0)
            break;
        const CString strPiece = strRest.Left(nEnd);
        strRest = strRest.Mid(nEnd + 1);

        // "%d,%d,%d": numbers separated by exactly one comma each; what
        // follows the third is ignored.
        const char* p = strPiece;
        long long rgb[3] = {};
        bool bGood = ScanNumber(p, rgb[0]) && *p++ == ',' && ScanNumber(p, rgb[1]) && *p++ == ','
            && ScanNumber(p, rgb[2]);
        if (!bGood)
            break;
        CustomColors[i] = RGB(ClampComponent(rgb[0]), ClampComponent(rgb[1]), ClampComponent(rgb[2]));
    }
}

void CPrefData::SetDefaultTextFormat(const LOGFONT& lf, COLORREF crText, COLORREF crText2, WORD wValue1,
    WORD wValue2, BOOL bFlag, WORD wValue3, WORD wValue4)
{
    DefaultFont = lf;
    DefaultFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    DefaultTextColor = crText;
    DefaultTextColor2 = crText2;
    TextFormat1 = wValue1;
    TextFormat2 = wValue2;
    TextFormat3 = wValue3;
    TextFormat4 = wValue4;
    if (bFlag)
        AddlFlags |= PREF_ADDL_TEXT_FORMAT_FLAG;
    else
        AddlFlags &= ~PREF_ADDL_TEXT_FORMAT_FLAG;
    SaveDefaultFont();
}

void CPrefData::GetDefaultTextFormat(LOGFONT& lf, COLORREF& crText, COLORREF& crText2, WORD& wValue1,
    WORD& wValue2, BOOL& bFlag, WORD& wValue3, WORD& wValue4) const
{
    lf = DefaultFont;
    crText = DefaultTextColor;
    crText2 = DefaultTextColor2;
    wValue1 = TextFormat1;
    wValue2 = TextFormat2;
    bFlag = (AddlFlags & PREF_ADDL_TEXT_FORMAT_FLAG) ? TRUE : FALSE;
    wValue3 = TextFormat3;
    wValue4 = TextFormat4;
}

CString GetUserHomeFolder()
{
    return WithBackslash(CString(platform::WindowsPathFor(platform::UserHomeDir()).c_str()));
}

namespace {

// A stored picture folder, or the program's picture library, or the user's
// home when the library is missing.
CString PictureFolderOf(const CString& strFolder)
{
    if (!strFolder.IsEmpty())
        return WithBackslash(strFolder);
    const CString strPictures = ProgramFolder() + LoadText(IDS_PICTURES_FOLDER, "Pictures\\");
    return ExistsAt(strPictures) ? WithBackslash(strPictures) : GetUserHomeFolder();
}

} // namespace

CString CPrefData::GetDocumentDir() const
{
    return DocumentDir.IsEmpty() ? GetUserHomeFolder() : WithBackslash(DocumentDir);
}

CString CPrefData::GetDesignFolder() const
{
    if (!DocumentDir.IsEmpty())
        return WithBackslash(DocumentDir);
    return CurDesignFolder.IsEmpty() ? GetUserHomeFolder() : WithBackslash(CurDesignFolder);
}

CString CPrefData::GetImageDir() const
{
    return PictureFolderOf(ImageDir);
}

CString CPrefData::GetPictureFolder() const
{
    if (BorderBrowse)
        return ProgramFolder() + "support\\borders\\";
    if (BackgroundBrowse)
        return ProgramFolder() + "support\\backgrnd\\";
    return PictureFolderOf(CurPictureFolder);
}

void CPrefData::SetDesignFolder(const CString& strPath)
{
    DocumentDir = strPath.CompareNoCase(ProgramFolder()) == 0 ? CString() : strPath;
    CurDesignFolder = DocumentDir;
}

void CPrefData::SetPictureFolder(const CString& strPath)
{
    const CString strDefault = ProgramFolder() + "Pictures\\";
    ImageDir = strPath.CompareNoCase(strDefault) == 0 ? CString() : strPath;
    CurPictureFolder = ImageDir;
}

void CPrefData::SetLastUser(const CString& strName)
{
    LastUser = strName;
    WriteString(kPreferences, "LastUser", LastUser);
}

int CPrefData::GetProcessor()
{
    return ReadInt(kApplication, "Processor", 0);
}

CString CPrefData::GetSelImgCategory()
{
    return ReadString(kApplication, "SelImgCategory");
}

void CPrefData::SetSelImgCategory(const CString& strCategory)
{
    WriteString(kApplication, "SelImgCategory", strCategory);
}

int CPrefData::GetMulImgPrevFixedSize()
{
    return ReadInt(kApplication, "MulImgPrevFixedSize", 100);
}

void CPrefData::SetMulImgPrevFixedSize(int nSize)
{
    WriteInt(kApplication, "MulImgPrevFixedSize", nSize);
}

int CPrefData::GetMulImgPrevRowCol()
{
    return ReadInt(kApplication, "MulImgPrevRowCol", 1);
}

void CPrefData::SetMulImgPrevRowCol(int nValue)
{
    WriteInt(kApplication, "MulImgPrevRowCol", nValue);
}

int CPrefData::GetMulImgPrefDispFN()
{
    return ReadInt(kApplication, "MulImgPrefDispFN", 1);
}

void CPrefData::SetMulImgPrefDispFN(int nValue)
{
    WriteInt(kApplication, "MulImgPrefDispFN", nValue);
}

int CPrefData::GetDisplayFrames()
{
    return ReadInt(kApplication, "DisplayFrames", 1);
}

void CPrefData::SetDisplayFrames(int nValue)
{
    WriteInt(kApplication, "DisplayFrames", nValue);
}

int CPrefData::GetPreviewImage()
{
    return ReadInt(kPreferences, "PreviewImage", 1);
}

void CPrefData::SetPreviewImage(int nValue)
{
    WriteInt(kPreferences, "PreviewImage", nValue);
}

// ---- Printing word --------------------------------------------------------

CPrintPrefData thePrintPrefs;

void CPrintPrefData::LoadPrinting()
{
    Printing = static_cast<WORD>(ReadInt(kPreferences, "Printing", -1));
    bool bWriteVersion = false;
    const CString strThisVersion = LoadText(IDS_PROGRAM_VERSION, "1.0");
    if (Printing == 0xFFFF) {
        Printing = kDefaultPrinting;
        bWriteVersion = true;
    } else {
        // The earlier program version printed shaped text and graphics its
        // own way; its word is brought over once, and writing this version
        // marks the profile as done.
        const CString strVersion = ReadString(kApplication, "Version");
        if (strVersion.IsEmpty() || strVersion.CompareNoCase("4.1a") == 0) {
            Printing |= PRINT_PREF_SHAPED_AUTO | PRINT_PREF_NO_DITHER;
            Printing &= ~PRINT_PREF_SHAPED_METHOD;
            SetPicDisplayFlag(FALSE);
            SavePrinting();
            bWriteVersion = true;
        } else if (!strThisVersion.IsEmpty()
            && static_cast<unsigned char>(strVersion[0]) < static_cast<unsigned char>(strThisVersion[0])) {
            bWriteVersion = true;
        }
    }
    if (bWriteVersion)
        WriteString(kApplication, "Version", strThisVersion);
    Printing |= PRINT_PREF_ALWAYS_1 | PRINT_PREF_ALWAYS_2 | PRINT_PREF_OPTION;
    ApplyDisplayFlag();
}

void CPrintPrefData::SavePrinting()
{
    WriteInt(kPreferences, "Printing", Printing);
}

BOOL CPrintPrefData::IsOptionOff(int nKind) const
{
    if (nKind != 0)
        return TRUE;
    return (Printing & PRINT_PREF_OPTION) ? FALSE : TRUE;
}

BOOL CPrintPrefData::IsGlyphTextOff() const
{
    return (Printing & PRINT_PREF_SHAPED_AUTO) == 0 && (Printing & PRINT_PREF_SHAPED_METHOD1) != 0;
}

void CPrintPrefData::ApplyDisplayFlag() const
{
    SetPicDisplayFlag(!(Printing & PRINT_PREF_NO_DITHER) && (Printing & PRINT_PREF_DISPLAY_FLAG) ? TRUE : FALSE);
}
