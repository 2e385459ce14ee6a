// The view's commands that put the signed-in user's own material on the
// surface: the logo, the return address and the credit line on a card's
// back. Each is placed at fixed fractions of the work area; none asks
// anything.
#include "surface/Surface.h"

#include "app/PrefData.h"
#include "app/TextTable.h"
#include "assist/LogoDlg.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "platform/files/FileApi.h"
#include "platform/framework/Afx.h"
#include "platform/framework/FrameworkStrings.h"
#include "resources/resource.h"

#include <algorithm>
#include <memory>

namespace {

// Preferences' Flags bit 0: a new text block fits its font to its frame.
constexpr WORD kPrefFitNewText = 0x0001;
// The block text's alignment word in the attribute record, and its value
// for centred lines.
constexpr int kBlockTextAlignment = 4;
constexpr LONG kAlignCentre = 2;
// A logo is a rendered design on white paper: its white is made
// transparent so that only the logo itself shows on the design.
constexpr COLORREF kLogoLineColor = 0xFFFFFF;
// A picture wider than this many units relative to its height is taken as
// damaged rather than stretched across the design.
constexpr long long kMaxLogoWidth = 1000000;

// The work area's sides as the placements use them: L and R the left and
// right edges, T the upper and B the lower edge (y grows upwards).
struct WorkArea {
    int L = 0;
    int R = 0;
    int T = 0;
    int B = 0;
    int w() const { return R - L; }
    int h() const { return T - B; }
};

WorkArea GetUserItemsArea(CSurface* pView)
{
    CRect rect;
    pView->GetWorkArea(&rect, 0);
    return {rect.left, rect.right, rect.top, rect.bottom};
}

// percent % of value, truncated towards zero as the layout's fractions are.
int Percent(int value, int percent)
{
    return static_cast<int>(static_cast<long long>(value) * percent / 100);
}

BOOL IsExistingFile(const CString& strPath)
{
    const DWORD dwAttributes = ::GetFileAttributes(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Gives the preferences' Flags bit 0 back as it was on every way out of the
// return-address command, an exception included.
class CFitNewTextScope {
public:
    explicit CFitNewTextScope(BOOL bSet)
        : m_bWasSet((thePrefs.Flags & kPrefFitNewText) != 0)
    {
        if (bSet)
            thePrefs.Flags |= kPrefFitNewText;
    }
    ~CFitNewTextScope()
    {
        if (m_bWasSet)
            thePrefs.Flags |= kPrefFitNewText;
        else
            thePrefs.Flags &= ~kPrefFitNewText;
    }
    CFitNewTextScope(const CFitNewTextScope&) = delete;
    CFitNewTextScope& operator=(const CFitNewTextScope&) = delete;

private:
    BOOL m_bWasSet;
};

// A return address of empty lines still reads as "\r\n,   ": only a
// character besides blanks, line breaks and the comma makes it worth a text
// object.
BOOL HasAddressText(const CString& strText)
{
    for (int i = 0; i < strText.GetLength(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(strText[i]);
        if (ch > ' ' && ch != ',')
            return TRUE;
    }
    return FALSE;
}

// Suspends the view's own undo recording (its flips record nothing) for
// the life of the object.
class CSurfaceUndoMute {
public:
    explicit CSurfaceUndoMute(BOOL& bSuspended)
        : m_bSuspended(bSuspended)
        , m_bWas(bSuspended)
    {
        m_bSuspended = TRUE;
    }
    ~CSurfaceUndoMute() { m_bSuspended = m_bWas; }
    CSurfaceUndoMute(const CSurfaceUndoMute&) = delete;
    CSurfaceUndoMute& operator=(const CSurfaceUndoMute&) = delete;

private:
    BOOL& m_bSuspended;
    BOOL m_bWas;
};

} // namespace

// ---- Logo -----------------------------------------------------------------------------------------

void CSurface::OnInsertUserLogo()
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    const CLogoDlg dlg;
    CString strName;
    CString strPicture;
    if (!dlg.GetSelectedLogo(CUserRecord().GetName(), strName, strPicture)) {
        AfxMessageBox(IDS_USERITEMS_LOGO_NOT_LOADED);
        return;
    }
    const BOOL bEmbed = (thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) == 0;

    const WorkArea area = GetUserItemsArea(this);
    const int nLeft = area.L + Percent(area.w(), 20);
    const int nTop = area.T - Percent(area.h(), 70);
    const CRect first(nLeft, nTop, nLeft + Percent(area.w(), 50), nTop - Percent(area.h(), 20));

    // The picture is loaded into a new object before anything on the
    // surface changes, so that a logo that does not load leaves the old one
    // (or no object at all).
    auto pNew = std::make_unique<CDrawRect>(first);
    // Not loaded until the picture is in: nothing the load does may move
    // the frame.
    pNew->m_wFlags &= ~WORD(OBJ_FLAG_LOADED);
    pNew->SetPictureFile(strPicture, bEmbed, TRUE, FALSE, FALSE, TRUE, kLogoLineColor);
    pNew->m_wFlags |= OBJ_FLAG_LOADED;
    if (!pNew->HasPicture()) {
        // A picture that exists but cannot be read has been reported by the
        // picture engine; one gone since it was chosen has not.
        if (!IsExistingFile(strPicture))
            AfxMessageBox(IDS_USERITEMS_LOGO_NOT_LOADED);
        return;
    }

    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pLogo = AsDrawObj(m_objects.GetNext(pos));
        if (pLogo == NULL || (pLogo->m_wTextFlags & OBJ_TEXT_USER_LOGO) == 0)
            continue;
        // The surface's one logo takes the new picture and keeps its place,
        // size and mirroring.
        RecordUndoPictureEffect(pDoc, pLogo, UndoPictureInsert);
        pLogo->RemovePicture();
        pLogo->m_pPicture = pNew->m_pPicture;
        pNew->m_pPicture = nullptr;
        // Same path as the picture now held: only the settings are applied.
        pLogo->SetPictureFile(strPicture, bEmbed, TRUE, FALSE, FALSE, TRUE, kLogoLineColor);
        pDoc->SetModifiedFlag(TRUE);
        return;
    }

    CDrawObj* pObj = pNew.get();
    pObj->m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
    // The logo keeps its own proportions at the height of the first frame,
    // centred across the work area. A picture without a size (or an absurd
    // one) keeps the first frame.
    const CSize natural = pObj->GetNaturalSize();
    const int nHeight = Percent(area.h(), 20);
    if (natural.cx > 0 && natural.cy > 0) {
        long long width = static_cast<long long>(natural.cx) * nHeight / natural.cy;
        width = std::min(width, kMaxLogoWidth);
        if (first.Width() < 0)
            width = -width;
        const int nWidth = static_cast<int>(width);
        const int nMiddle = (area.L + area.R) / 2;
        const int nFinalTop = area.T - Percent(area.h(), 40);
        pObj->SetBounds(CDrawObj::NormalizeUp(
            CRect(nMiddle - nWidth / 2, nFinalTop, nMiddle + nWidth / 2, nFinalTop - nHeight)));
    }

    Add(pNew.release());
    Select(pObj);
    {
        const CSurfaceUndoMute mute(m_bUndoSuspended);
        FlipSelection(TRUE, FALSE);
    }
    pObj->m_wTextFlags |= OBJ_TEXT_USER_LOGO;
    RecordUndoCreate(pDoc, &pObj, 0);
}

// ---- Return address -------------------------------------------------------------------------------

void CSurface::OnInsertReturnAddress()
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL || (pDoc->m_wSecondFlags & CDrawDoc::PrintNoReturnAddress) != 0)
        return;
    const BOOL bWasModified = pDoc->IsModified();
    CString strText;
    {
        const CString strUser = CUserRecord().GetName();
        if (strUser.IsEmpty())
            return;
        CUserTable users;
        users.GetAddressText(strUser, strText);
    }
    if (!HasAddressText(strText))
        return;

    // The new block fits its font to the frame unless the view still has
    // its scroll extent to work out.
    const CFitNewTextScope fit((m_flags & SurfaceRecomputeExtent) == 0);

    const WorkArea area = GetUserItemsArea(this);
    int nLeft = area.L;
    int nTop = area.T;
    int nWidth = Percent(area.w(), 20);
    int nHeight = Percent(area.h(), 20);
    // Value 1 of the layout record picks the envelope-like placement: a
    // wider, lower line set in from the corner.
    if (pDoc->GetQuickInfo()[DocQuickInfo::Unset] == 1) {
        nWidth = Percent(area.w(), 30);
        nHeight = Percent(area.h(), 10);
        nLeft = area.L + 100;
        nTop = area.T - 330 + nHeight;
    }
    // Upright: a frame running right to left would show the address
    // mirrored.
    const CRect rect(nLeft, nTop, nLeft + nWidth, nTop - nHeight);

    auto* pObj = new CDrawRect(rect);
    pObj->SetText(strText, TRUE);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    attrs.m_logfont = thePrefs.DefaultFont;
    attrs.m_logfont.lfWeight = FW_NORMAL;
    attrs.m_crText = thePrefs.DefaultTextColor;
    attrs.m_crText2 = thePrefs.DefaultTextColor2;
    attrs.m_wTextWords[0] = thePrefs.TextFormat1;
    attrs.m_wTextWords[1] = thePrefs.TextFormat2;
    if (thePrefs.AddlFlags & PREF_ADDL_TEXT_FORMAT_FLAG)
        attrs.m_wTextFlags |= OBJ_TEXT_SHADOW;
    else
        attrs.m_wTextFlags &= ~WORD(OBJ_TEXT_SHADOW);
    attrs.m_nTextFlag = (thePrefs.Flags & kPrefFitNewText) != 0 ? 1 : 0;
    attrs.m_bHasText = TRUE;
    attrs.m_bBlockText = TRUE;
    pObj->SetAttributes(attrs, TRUE, FALSE, TRUE, FALSE, FALSE);

    Add(pObj);
    Select(pObj);
    OnRedrawAll();
    if (!bWasModified)
        pDoc->SetModifiedFlag(FALSE);
}

// ---- Credit line ----------------------------------------------------------------------------------

void CSurface::OnInsertCreditLine()
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    const BOOL bWasModified = pDoc->IsModified();
    const CString strTitle = AfxFrameworkString(AFX_IDS_APP_TITLE);
    const CString strUser = CUserRecord().GetName();

    // The name the program gives a user it made itself carries the
    // program's title: such a user gets the generic sentence.
    CString strText;
    if (strUser.IsEmpty() || strUser.Find(strTitle) >= 0)
        strText.LoadString(IDS_USERITEMS_CREDIT_GENERIC);
    else
        AfxFormatString1(strText, IDS_USERITEMS_CREDIT_NAMED, strUser);

    // The lowest 15 % of the work area, nearly its whole width.
    const WorkArea area = GetUserItemsArea(this);
    const int nTop = area.T - Percent(area.h(), 85);
    const CRect rect(area.L, nTop, area.L + Percent(area.w(), 98), nTop - Percent(area.h(), 15));

    // The line keeps the band's size: its font is fitted to the band rather
    // than the band to the text.
    auto* pObj = new CDrawRect(rect);
    Add(pObj);
    pObj->SetText(strText, TRUE);
    pObj->SetTextModeFlag(1);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    attrs.m_wTextFlags &= ~WORD(OBJ_TEXT_SHADOW);
    attrs.m_bHasText = TRUE;
    attrs.m_bBlockText = TRUE;
    attrs.m_nTextValues[kBlockTextAlignment] = kAlignCentre;
    pObj->SetAttributes(attrs, TRUE, FALSE, TRUE, FALSE, FALSE);
    pObj->FreeTextCache();

    // A folded card's back is printed upside down relative to its front.
    Select(pObj);
    {
        const CSurfaceUndoMute mute(m_bUndoSuspended);
        FlipSelection(TRUE, TRUE);
    }
    Select(NULL);
    if (!bWasModified)
        pDoc->SetModifiedFlag(FALSE);
}
