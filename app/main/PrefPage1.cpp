#include "app/main/PrefPage1.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/main/DocTemplates.h"
#include "app/main/PrefBackground.h"
#include "controls/PickDirectory.h"
#include "pictures/ChoosePicture.h"
#include "platform/files/FileApi.h"
#include "platform/framework/Afx.h"
#include "platform/framework/DataExchange.h"
#include "resources/prefs.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <iterator>

namespace {

constexpr int kGridButtons[] = {IDC_PREF_GRID_1, IDC_PREF_GRID_2, IDC_PREF_GRID_3, IDC_PREF_GRID_4};
constexpr UINT kInchLabels[] = {IDS_GRID_INCH_1, IDS_GRID_INCH_2, IDS_GRID_INCH_3, IDS_GRID_INCH_4};
constexpr UINT kCentimetreLabels[] = {IDS_GRID_CM_1, IDS_GRID_CM_2, IDS_GRID_CM_3, IDS_GRID_CM_4};

// GridSpacing of each grid choice, thousandths of an inch: 1/8, 1/4, 1/2
// and 1 inch, or 1/4, 1/2, 1 and 2 centimetres.
constexpr int kInchSpacings[CPrefPage1::kGridChoiceCount] = {0, 125, 250, 500, 1000};
constexpr int kCentimetreSpacings[CPrefPage1::kGridChoiceCount] = {0, 98, 196, 393, 787};

BOOL FolderExists(const CString& strFolder)
{
    if (strFolder.IsEmpty())
        return FALSE;
    const DWORD dwAttributes = ::GetFileAttributes(strFolder);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL PictureFileExists(const CString& strPath)
{
    if (strPath.IsEmpty())
        return FALSE;
    const DWORD dwAttributes = ::GetFileAttributes(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

CString WithBackslash(CString strFolder)
{
    if (!strFolder.IsEmpty() && strFolder[strFolder.GetLength() - 1] != '\\')
        strFolder += '\\';
    return strFolder;
}

// Refuses the exchange with "The specified directory does not exist." and
// the focus in the field.
[[noreturn]] void FailOnField(CDataExchange* pDX, int nID)
{
    pDX->PrepareEditCtrl(nID);
    AfxMessageBox(IDP_FOLDER_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

} // namespace

BEGIN_MESSAGE_MAP(CPrefPage1, CPropertyPage)
    ON_BN_CLICKED(IDC_PREF_UNITS_INCHES, OnUnitsChanged)
    ON_BN_CLICKED(IDC_PREF_UNITS_CM, OnUnitsChanged)
    ON_BN_CLICKED(IDC_PREF_BKG_CHOOSE_COLOR, OnChooseColorBackground)
    ON_BN_CLICKED(IDC_PREF_BKG_CHOOSE_PICTURE, OnChoosePictureBackground)
    ON_BN_CLICKED(IDC_PREF_BKG_COLOR, OnPickColor)
    ON_BN_CLICKED(IDC_PREF_BKG_BROWSE, OnBrowseBackground)
    ON_BN_CLICKED(IDC_PREF_DESIGN_BROWSE, OnBrowseDesignFolder)
    ON_BN_CLICKED(IDC_PREF_PICTURE_BROWSE, OnBrowsePictureFolder)
    ON_BN_CLICKED(IDC_PREF_GRID_NONE, SetPropertyPageModified)
    ON_BN_CLICKED(IDC_PREF_GRID_1, SetPropertyPageModified)
    ON_BN_CLICKED(IDC_PREF_GRID_2, SetPropertyPageModified)
    ON_BN_CLICKED(IDC_PREF_GRID_3, SetPropertyPageModified)
    ON_BN_CLICKED(IDC_PREF_GRID_4, SetPropertyPageModified)
    ON_EN_CHANGE(IDC_PREF_DESIGN_FOLDER, SetPropertyPageModified)
    ON_EN_CHANGE(IDC_PREF_PICTURE_FOLDER, SetPropertyPageModified)
    ON_EN_CHANGE(IDC_PREF_BKG_FILE, SetPropertyPageModified)
END_MESSAGE_MAP()

CPrefPage1::CPrefPage1()
    : CPropertyPage(IDD_PREF_DEFAULTS)
    , m_crCommitted(thePrefs.BkgClr)
{
    m_strBackgroundFile = thePrefs.BkgImg;
    if (thePrefs.BkgOpt == -1) {
        thePrefs.BkgOpt = PictureFileExists(thePrefs.BkgImg) ? kBackgroundPicture : kBackgroundColor;
        thePrefs.SavePreferences();
    }
    m_nBackground = thePrefs.BkgOpt == kBackgroundPicture ? kBackgroundPicture : kBackgroundColor;
    m_strDesignFolder = thePrefs.GetDocumentDir();
    m_strPictureFolder = thePrefs.GetImageDir();
    m_nUnits = (thePrefs.Flags & PREF_FLAG_INCHES) != 0 ? kUnitsInches : kUnitsCentimetres;
    m_nGrid = GridChoiceFor(thePrefs.Flags, thePrefs.GridSpacing);
}

int CPrefPage1::GridChoiceFor(WORD wFlags, int nSpacing)
{
    if ((wFlags & PREF_FLAG_DEFAULT_GRID) == 0)
        return kGridNone;
    if (nSpacing < 126)
        return 1;
    if (nSpacing < 251)
        return 2;
    if (nSpacing > 500)
        return 4;
    return 3;
}

int CPrefPage1::GridSpacingFor(int nChoice, int nUnits)
{
    if (nChoice < 0 || nChoice >= kGridChoiceCount)
        return 0;
    return nUnits == kUnitsInches ? kInchSpacings[nChoice] : kCentimetreSpacings[nChoice];
}

CString CPrefPage1::NormalizeFolder(const CString& strFolder)
{
    CString strResult = strFolder;
    const bool bDriveRoot = strResult.GetLength() == 3 && strResult[1] == ':' && strResult[2] == '\\';
    if (!bDriveRoot && !strResult.IsEmpty() && strResult[strResult.GetLength() - 1] == '\\')
        strResult = strResult.Left(strResult.GetLength() - 1);
    if (FolderExists(strResult)) {
        char szFull[MAX_PATH] = {};
        const DWORD nLength = ::GetFullPathName(strResult, MAX_PATH, szFull, nullptr);
        if (nLength > 0 && nLength < MAX_PATH)
            strResult = szFull;
    }
    return strResult;
}

// ---- The controls ---------------------------------------------------------------------------

BOOL CPrefPage1::OnInitDialog()
{
    m_bLoading = TRUE;
    CPropertyPage::OnInitDialog();
    for (int nID : {IDC_PREF_DESIGN_FOLDER, IDC_PREF_PICTURE_FOLDER, IDC_PREF_BKG_FILE})
        SendDlgItemMessage(nID, EM_LIMITTEXT, kMaxPath, 0);
    m_bLoading = FALSE;
    return TRUE;
}

void CPrefPage1::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    const BOOL bWasLoading = m_bLoading;
    if (!pDX->m_bSaveAndValidate)
        m_bLoading = TRUE;
    DDX_Control(pDX, IDC_PREF_BKG_COLOR, m_btnColor);
    DDX_Text(pDX, IDC_PREF_DESIGN_FOLDER, m_strDesignFolder);
    DDV_MaxChars(pDX, m_strDesignFolder, kMaxPath);
    DDX_Text(pDX, IDC_PREF_PICTURE_FOLDER, m_strPictureFolder);
    DDV_MaxChars(pDX, m_strPictureFolder, kMaxPath);
    DDX_Text(pDX, IDC_PREF_BKG_FILE, m_strBackgroundFile);
    DDV_MaxChars(pDX, m_strBackgroundFile, kMaxPath);
    DDX_Radio(pDX, IDC_PREF_GRID_NONE, m_nGrid);
    DDX_Radio(pDX, IDC_PREF_UNITS_INCHES, m_nUnits);
    DDX_Radio(pDX, IDC_PREF_BKG_CHOOSE_PICTURE, m_nBackground);
    m_bLoading = bWasLoading;
    if (!pDX->m_bSaveAndValidate)
        return;

    // In the order of the fields a user reads: designs, pictures, then the
    // background picture when it is the choice.
    m_strDesignFolder = NormalizeFolder(m_strDesignFolder);
    if (!FolderExists(m_strDesignFolder))
        FailOnField(pDX, IDC_PREF_DESIGN_FOLDER);
    m_strPictureFolder = NormalizeFolder(m_strPictureFolder);
    if (!FolderExists(m_strPictureFolder))
        FailOnField(pDX, IDC_PREF_PICTURE_FOLDER);
    if (m_nBackground == kBackgroundPicture && !PictureFileExists(m_strBackgroundFile))
        FailOnField(pDX, IDC_PREF_BKG_FILE);
}

void CPrefPage1::SetGridLabels()
{
    const UINT* pLabels = m_nUnits == kUnitsInches ? kInchLabels : kCentimetreLabels;
    for (size_t i = 0; i < std::size(kGridButtons); ++i) {
        CString strLabel;
        strLabel.LoadString(pLabels[i]);
        SetDlgItemText(kGridButtons[i], strLabel);
    }
}

void CPrefPage1::EnableBackgroundControls()
{
    const BOOL bPicture = m_nBackground == kBackgroundPicture;
    if (CWnd* pFile = GetDlgItem(IDC_PREF_BKG_FILE))
        pFile->EnableWindow(bPicture);
    if (CWnd* pBrowse = GetDlgItem(IDC_PREF_BKG_BROWSE))
        pBrowse->EnableWindow(bPicture);
    if (m_btnColor.GetSafeHwnd() != NULL)
        m_btnColor.EnableWindow(!bPicture);
}

BOOL CPrefPage1::OnSetActive()
{
    m_bLoading = TRUE;
    const BOOL bActive = CPropertyPage::OnSetActive();
    m_bLoading = FALSE;
    const WORD wSaved = m_wChanged;
    m_wChanged &= WORD(~kMarkChanges);
    SetGridLabels();
    m_wChanged = wSaved;
    if (m_nBackground == kBackgroundPicture && !PictureFileExists(m_strBackgroundFile)) {
        m_nBackground = kBackgroundColor;
        m_bLoading = TRUE;
        UpdateData(FALSE);
        m_bLoading = FALSE;
    }
    EnableBackgroundControls();
    m_btnColor.m_crColor = thePrefs.BkgClr;
    if (m_btnColor.GetSafeHwnd() != NULL)
        m_btnColor.Invalidate();
    return bActive;
}

// ---- Commands ---------------------------------------------------------------------------------

void CPrefPage1::SetPropertyPageModified()
{
    if (!m_bLoading)
        SetModified(TRUE);
}

void CPrefPage1::OnUnitsChanged()
{
    m_nUnits = IsDlgButtonChecked(IDC_PREF_UNITS_INCHES) == BST_CHECKED ? kUnitsInches : kUnitsCentimetres;
    SetGridLabels();
    if ((m_wChanged & kMarkChanges) != 0)
        SetPropertyPageModified();
}

void CPrefPage1::OnChooseColorBackground()
{
    m_nBackground = kBackgroundColor;
    EnableBackgroundControls();
    SetPropertyPageModified();
}

void CPrefPage1::OnChoosePictureBackground()
{
    m_nBackground = kBackgroundPicture;
    EnableBackgroundControls();
    SetPropertyPageModified();
}

void CPrefPage1::OnPickColor()
{
    m_btnColor.m_crColor = thePrefs.BkgClr;
    if (m_btnColor.PickColor() == 0)
        return;
    SetPropertyPageModified();
    thePrefs.BkgClr = m_btnColor.m_crColor;
}

void CPrefPage1::OnBrowseBackground()
{
    CString strPath;
    GetDlgItemText(IDC_PREF_BKG_FILE, strPath);
    if (ChoosePictureSource(this, strPath, kPictureDialogPickOne) != kPictureChosen)
        return;
    // The field takes no more than the page keeps.
    m_strBackgroundFile = strPath.Left(kMaxPath);
    m_nBackground = kBackgroundPicture;
    m_bLoading = TRUE;
    SetDlgItemText(IDC_PREF_BKG_FILE, m_strBackgroundFile);
    CheckRadioButton(IDC_PREF_BKG_CHOOSE_COLOR, IDC_PREF_BKG_CHOOSE_PICTURE, IDC_PREF_BKG_CHOOSE_PICTURE);
    m_bLoading = FALSE;
    EnableBackgroundControls();
    SetPropertyPageModified();
}

void CPrefPage1::BrowseFolder(int nEditId)
{
    CString strFolder;
    GetDlgItemText(nEditId, strFolder);
    if (!PickDirectory(this, strFolder, FALSE))
        return;
    SetDlgItemText(nEditId, strFolder.Left(kMaxPath));
    SetPropertyPageModified();
}

void CPrefPage1::OnBrowseDesignFolder()
{
    BrowseFolder(IDC_PREF_DESIGN_FOLDER);
}

void CPrefPage1::OnBrowsePictureFolder()
{
    BrowseFolder(IDC_PREF_PICTURE_FOLDER);
}

// ---- OK and Cancel ------------------------------------------------------------------------------

void CPrefPage1::OnOK()
{
    CPropertyPage::OnOK();
    // The stored folders end with a backslash, so that the program's own
    // folders are recognised and kept as "the default".
    thePrefs.SetDesignFolder(WithBackslash(m_strDesignFolder));
    thePrefs.SetPictureFolder(WithBackslash(m_strPictureFolder));

    if (m_nGrid > kGridNone)
        thePrefs.Flags |= PREF_FLAG_DEFAULT_GRID | PREF_FLAG_GRID_LINES;
    else
        thePrefs.Flags &= WORD(~(PREF_FLAG_DEFAULT_GRID | PREF_FLAG_GRID_LINES));
    if (m_nUnits == kUnitsInches)
        thePrefs.Flags |= PREF_FLAG_INCHES;
    else
        thePrefs.Flags &= WORD(~PREF_FLAG_INCHES);

    thePrefs.BkgOpt = m_nBackground;
    thePrefs.BkgImg = m_strBackgroundFile;
    if (m_nBackground == kBackgroundPicture) {
        if (!ApplyBackgroundImage(m_strBackgroundFile)) {
            ApplyBackgroundColor(thePrefs.BkgClr);
            AfxMessageBox(IDP_BACKGROUND_LOAD_FAILED, MB_OK | MB_ICONEXCLAMATION);
            OnSetActive();
        }
    } else {
        ApplyBackgroundColor(thePrefs.BkgClr);
    }
    m_crCommitted = thePrefs.BkgClr;

    thePrefs.GridSpacing = GridSpacingFor(m_nGrid, m_nUnits);
    UpdateAllDesignViews(CSurface::HintPreferences);
}

void CPrefPage1::OnReset()
{
    // The colour button wrote the store at once; what was not applied goes.
    thePrefs.BkgClr = m_crCommitted;
    CPropertyPage::OnReset();
}
