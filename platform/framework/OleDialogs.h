#pragma once
// The class library's OLE dialogs as far as a program without OLE servers
// can have them.
//
// COleInsertDialog: there are no object servers to list, so DoModal tells
// the user that inserting objects is not available and answers IDCANCEL;
// CreateItem always fails.
//
// COlePasteSpecialDialog: a real dialog. The program names the formats it
// can paste (AddFormat, AddStandardFormats); the dialog lists those that are
// on the clipboard when it opens, in the order added, and the user picks
// one. After IDOK, GetPasteIndex names the chosen entry of m_ps and
// GetSelectionType says what kind of paste it is. Nothing can be linked or
// embedded here, so link entries are never offered and CreateItem fails.

#include "platform/base/Object.h"
#include "platform/base/String.h"
#include "platform/framework/OleTypes.h"

#include <vector>

class CWnd;
class COleClientItem;
class COleDataObject;

// Insert Object flags.
#define IOF_SHOWHELP 0x00000001L
#define IOF_SELECTCREATENEW 0x00000002L
#define IOF_SELECTCREATEFROMFILE 0x00000004L
#define IOF_CHECKLINK 0x00000008L
#define IOF_CHECKDISPLAYASICON 0x00000010L
#define IOF_CREATENEWOBJECT 0x00000020L
#define IOF_CREATEFILEOBJECT 0x00000040L
#define IOF_CREATELINKOBJECT 0x00000080L
#define IOF_DISABLELINK 0x00000100L
#define IOF_VERIFYSERVERSEXIST 0x00000200L
#define IOF_DISABLEDISPLAYASICON 0x00000400L
#define IOF_HIDECHANGEICON 0x00000800L
#define IOF_SHOWINSERTCONTROL 0x00001000L
#define IOF_SELECTCREATECONTROL 0x00002000L

// Paste Special flags.
#define PSF_SHOWHELP 0x00000001L
#define PSF_SELECTPASTE 0x00000002L
#define PSF_SELECTPASTELINK 0x00000004L
#define PSF_CHECKDISPLAYASICON 0x00000008L
#define PSF_DISABLEDISPLAYASICON 0x00000010L
#define PSF_HIDECHANGEICON 0x00000020L
#define PSF_STAYONCLIPBOARDCHANGE 0x00000040L
#define PSF_NOREFRESHDATAOBJECT 0x00000080L

// Paste entry flags.
#define OLEUIPASTE_PASTEONLY 0x00000000L
#define OLEUIPASTE_LINKTYPE1 0x00000001L
#define OLEUIPASTE_LINKTYPE2 0x00000002L
#define OLEUIPASTE_LINKTYPE3 0x00000004L
#define OLEUIPASTE_LINKTYPE4 0x00000008L
#define OLEUIPASTE_LINKTYPE5 0x00000010L
#define OLEUIPASTE_LINKTYPE6 0x00000020L
#define OLEUIPASTE_LINKTYPE7 0x00000040L
#define OLEUIPASTE_LINKTYPE8 0x00000080L
#define OLEUIPASTE_PASTE 0x00000200L
#define OLEUIPASTE_LINKANYTYPE 0x00000400L
#define OLEUIPASTE_ENABLEICON 0x00000800L

// The dialog items of the Paste Special dialog (tests drive them).
#define IDC_PS_PASTE 501
#define IDC_PS_PASTELINK 502
#define IDC_PS_DISPLAYLIST 503
#define IDC_PS_RESULTTEXT 504
#define IDC_PS_SOURCETEXT 505

class COleDialog : public CObject {
    DECLARE_DYNAMIC(COleDialog)
public:
    explicit COleDialog(CWnd* pParentWnd = NULL) : m_pParentWnd(pParentWnd) {}
    virtual INT_PTR DoModal() = 0;
    // The result of the last DoModal in the OLE dialogs' terms: 1 OK, 2 cancel.
    UINT GetLastError() const { return m_nLastError; }

protected:
    HWND ParentWindow() const;

    CWnd* m_pParentWnd;
    UINT m_nLastError = 0;
};

class COleInsertDialog : public COleDialog {
    DECLARE_DYNAMIC(COleInsertDialog)
public:
    enum Selection { createNewItem = 0, insertFromFile = 1, linkToFile = 2 };

    explicit COleInsertDialog(DWORD dwFlags = IOF_SELECTCREATENEW, CWnd* pParentWnd = NULL);

    // Shows "Inserting objects is not available." and answers IDCANCEL.
    INT_PTR DoModal() override;
    BOOL CreateItem(COleClientItem* pItem);
    UINT GetSelectionType() const { return createNewItem; }
    CString GetPathName() const { return CString(); }
    DVASPECT GetDrawAspect() const { return DVASPECT_CONTENT; }

    DWORD m_dwFlags;
};

// One format the program can paste, as OLE describes it.
struct OLEUIPASTEENTRY {
    FORMATETC fmtetc;
    CString strFormatName; // shown in the list
    CString strResultText; // shown below the list for the chosen entry
    DWORD dwFlags;         // OLEUIPASTE_*
    DWORD dwScratchSpace;
};

struct OLEUIPASTESPECIAL {
    DWORD dwFlags; // PSF_*
    std::vector<OLEUIPASTEENTRY> arrPasteEntries;
    int nSelectedIndex = -1; // entry of arrPasteEntries chosen by OK
    BOOL fLink = FALSE;
};

class COlePasteSpecialDialog : public COleDialog {
    DECLARE_DYNAMIC(COlePasteSpecialDialog)
public:
    enum Selection { pasteLink = 1, pasteNormal = 2, pasteStatic = 3, pasteOther = 4 };

    explicit COlePasteSpecialDialog(DWORD dwFlags = PSF_SELECTPASTE, COleDataObject* pDataObject = NULL,
        CWnd* pParentWnd = NULL);

    // lpszFormat: the list text; lpszResult: the text that says what the
    // paste will make ("%s" stands for the source's name).
    void AddFormat(const FORMATETC& formatEtc, LPCTSTR lpszFormat, LPCTSTR lpszResult, DWORD flags);
    // nFormatID: a string "list text\nresult text" of the program's resources.
    void AddFormat(UINT cf, DWORD tymed, UINT nFormatID, BOOL bEnableIcon, BOOL bLink);
    // The embedding and link formats (never on our clipboard) and the
    // picture formats: metafile, device-independent bitmap, bitmap.
    void AddStandardFormats(BOOL bEnableLink = TRUE);

    INT_PTR DoModal() override;
    // What was chosen; 0 before a successful DoModal.
    UINT GetSelectionType() const;
    int GetPasteIndex() const { return m_ps.nSelectedIndex; }
    // The clipboard format chosen, 0 without a choice.
    CLIPFORMAT GetSelectedFormat() const;
    DVASPECT GetDrawAspect() const { return DVASPECT_CONTENT; }
    BOOL CreateItem(COleClientItem* pNewItem);

    OLEUIPASTESPECIAL m_ps;

    // The dialog procedure's part (internal).
    struct Running;

private:
    COleDataObject* m_pDataObject;
};
