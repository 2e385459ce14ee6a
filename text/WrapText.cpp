#include "text/WrapText.h"

#include "platform/base/Archive.h"
#include "platform/ui/User.h"
#include "text/DesignArchive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CWrapData, CObject, 1)
IMPLEMENT_SERIAL(CWrapText, CObject, 1)

CWrapData::CWrapData()
{
    m_crBackground = ::GetSysColor(COLOR_WINDOW);
}

CWrapData::~CWrapData() = default;

void CWrapData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_rectLayout.left) << static_cast<LONG>(m_rectLayout.top)
           << static_cast<LONG>(m_rectLayout.right) << static_cast<LONG>(m_rectLayout.bottom);
        ar << static_cast<DWORD>(m_bWordWrap) << static_cast<DWORD>(m_bHyphenate)
           << static_cast<DWORD>(m_bLayoutStale) << m_wJustification << m_dLineSpacing;
        return;
    }
    // Designs before version 25 have no layout settings: the defaults stay.
    if (GetDesignArchiveInfo(ar).nVersion < 25)
        return;
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    ar >> left >> top >> right >> bottom;
    m_rectLayout = CRect(left, top, right, bottom);
    DWORD dw = 0;
    ar >> dw;
    m_bWordWrap = static_cast<BOOL>(dw);
    ar >> dw;
    m_bHyphenate = static_cast<BOOL>(dw);
    ar >> dw;
    m_bLayoutStale = static_cast<BOOL>(dw);
    ar >> m_wJustification >> m_dLineSpacing;
}

CWrapText::CWrapText(CDrawObj* pOwner)
    : m_pData(new CWrapData)
{
    m_pData->m_pOwner = pOwner;
}

CWrapText::~CWrapText()
{
    delete m_pData;
}

void CWrapText::CopyFrom(const CWrapText& other)
{
    if (&other == this)
        return;
    const CWrapData& from = *other.m_pData;
    m_pData->m_strText = from.m_strText;
    m_pData->m_rectLayout = from.m_rectLayout;
    m_pData->m_strFormat = from.m_strFormat;
    m_pData->m_bWordWrap = from.m_bWordWrap;
    m_pData->m_bHyphenate = from.m_bHyphenate;
    m_pData->m_wSelStart = from.m_wSelStart;
    m_pData->m_wSelEnd = from.m_wSelEnd;
    m_pData->m_wJustification = from.m_wJustification;
    m_pData->m_dLineSpacing = from.m_dLineSpacing;
    m_pData->m_crBackground = from.m_crBackground;
    m_pData->m_nLineCount = 0;
    m_pData->m_bLayoutStale = TRUE;
}

CString CWrapText::Normalize(const CString& strText)
{
    CString result;
    const int nLength = strText.GetLength();
    for (int i = 0; i < nLength; ++i) {
        const char ch = strText[i];
        if (ch == '\t') {
            result += ' ';
        } else if (ch == '\r' || ch == '\n') {
            // CR LF and LF CR are one break; a lone CR is one too.
            if (i + 1 < nLength && (strText[i + 1] == '\r' || strText[i + 1] == '\n') && strText[i + 1] != ch)
                ++i;
            result += '\n';
        } else {
            result += ch;
        }
    }
    return result;
}

void CWrapText::SetText(const CString& strText)
{
    m_pData->m_strText = Normalize(strText);
    m_pData->m_nLineCount = 0;
    m_pData->m_bLayoutStale = TRUE;
}

CString CWrapText::GetText() const
{
    return m_pData->m_strText;
}

int CWrapText::GetLength() const
{
    return m_pData->m_strText.GetLength();
}

void CWrapText::InsertText(const CString& strText, int nPosition)
{
    CString& text = m_pData->m_strText;
    const int nAt = (nPosition < 0 || nPosition >= text.GetLength()) ? text.GetLength() : nPosition;
    text = text.Left(nAt) + Normalize(strText) + text.Mid(nAt);
    m_pData->m_nLineCount = 0;
    m_pData->m_bLayoutStale = TRUE;
}

CString CWrapText::DefaultFormatString()
{
    CString str;
    str.Format("[(%lu,0,65000)][(Arial,1,0,24,0,65000)]", static_cast<unsigned long>(::GetSysColor(COLOR_WINDOWTEXT)));
    return str;
}

CString CWrapText::GetFormatString() const
{
    return m_pData->m_strFormat.IsEmpty() ? DefaultFormatString() : m_pData->m_strFormat;
}

void CWrapText::SetFormatString(const CString& strFormat)
{
    if (strFormat.IsEmpty())
        return;
    m_pData->m_strFormat = strFormat;
    m_pData->m_bLayoutStale = TRUE;
}

double CWrapText::GetScale() const
{
    return m_pData->m_dLineSpacing;
}

void CWrapText::SetScale(double dScale)
{
    m_pData->m_dLineSpacing = dScale;
    m_pData->m_bLayoutStale = TRUE;
}

WORD CWrapText::GetJustification() const
{
    return m_pData->m_wJustification;
}

void CWrapText::SetJustification(WORD wJustification)
{
    m_pData->m_wJustification = wJustification;
    m_pData->m_bLayoutStale = TRUE;
}

BOOL CWrapText::GetWordWrap() const
{
    return m_pData->m_bWordWrap;
}

void CWrapText::SetWordWrap(BOOL bWordWrap)
{
    m_pData->m_bWordWrap = bWordWrap ? TRUE : FALSE;
    m_pData->m_bLayoutStale = TRUE;
}

void CWrapText::GetSel(WORD& wStart, WORD& wEnd) const
{
    wStart = m_pData->m_wSelStart;
    wEnd = m_pData->m_wSelEnd;
}

void CWrapText::SetSel(WORD wStart, WORD wEnd)
{
    m_pData->m_wSelStart = wStart;
    m_pData->m_wSelEnd = wEnd;
    m_pData->m_bLayoutStale = TRUE;
}

void CWrapText::ClearSel()
{
    SetSel(kWrapNoSelection, 0);
}

void CWrapText::GetFontAt(int nPosition, CString& strFace, int& nSize, int& nCharSet, int& nStyle) const
{
    (void)nPosition;
    strFace = "Arial";
    nSize = 24;
    nCharSet = 0;
    nStyle = 0;
}

void CWrapText::SetFontRange(int nFirst, int nLast, LPCTSTR lpszFace, int nSize, int nStyleMask)
{
    // FIXME: font runs are not built yet; the range keeps its font.
    (void)nFirst;
    (void)nLast;
    (void)lpszFace;
    (void)nSize;
    (void)nStyleMask;
}

void CWrapText::SetColor(COLORREF crColor, int nStart, int nEnd)
{
    // FIXME: colour runs are not built yet; the range keeps its colour.
    (void)crColor;
    (void)nStart;
    (void)nEnd;
}

CSize CWrapText::CalcSize(CDC* pDC)
{
    (void)pDC;
    return CSize(0, 0);
}

void CWrapText::Draw(CDC* pDC, const CRect& rect)
{
    (void)pDC;
    (void)rect;
}

void CWrapText::Serialize(CArchive& ar)
{
    m_pData->Serialize(ar);
    if (ar.IsStoring()) {
        ar << GetText() << GetFormatString();
        return;
    }
    CString strText;
    ar >> strText;
    SetText(strText);
    CString strFormat;
    ar >> strFormat;
    // The stored runs replace whatever runs the text had; an empty run
    // string leaves the default ones.
    m_pData->m_strFormat.Empty();
    SetFormatString(strFormat);
}
