#include "model/DrawObj.h"

#include "app/PrefData.h"
#include "model/DrawDoc.h"
#include "platform/base/Exception.h"

IMPLEMENT_SERIAL(CDrawObj, CObject, 1)

DWORD CDrawObj::s_nNextSerial = 0;

CDrawObj::CDrawObj()
{
    Init();
}

CDrawObj::CDrawObj(const CRect& position)
{
    Init();
    m_position = position;
    m_rectUnrotated = position;
}

CDrawObj::~CDrawObj() = default;

void CDrawObj::Init()
{
    m_nSerial = s_nNextSerial++;
    m_position.SetRectEmpty();
    m_rectUnrotated.SetRectEmpty();
    m_rectUncropped.SetRectEmpty();
    m_pDocument = nullptr;
    m_pSurface = nullptr;
    m_bDetached = FALSE;
    m_bOutline = TRUE;
    m_logpen = LOGPEN{};
    m_logpen.lopnStyle = PS_INSIDEFRAME;
    m_logpen.lopnColor = RGB(0, 0, 0);
    m_bFill = FALSE;
    m_logbrush = LOGBRUSH{};
    m_logbrush.lbStyle = BS_SOLID;
    m_nContentWord = -1;
    m_wFlags = OBJ_FLAGS_DEFAULT;
    m_wTextFlags = (thePrefs.AddlFlags & PREF_ADDL_TEXT_FORMAT_FLAG) ? 1 : 0;
    m_wExtraFlags = 0;
    m_wObjectWord = 0;
    m_dAngle = 0.0;
}

DWORD CDrawObj::GetNextSerial()
{
    return s_nNextSerial;
}

void CDrawObj::Invalidate()
{
    if (m_pDocument != nullptr)
        m_pDocument->UpdateAllViews(nullptr, HINT_OBJECT_CHANGED, this);
}

CRect CDrawObj::GetNormalizedPosition() const
{
    CRect rect = m_position;
    if (rect.left > rect.right)
        std::swap(rect.left, rect.right);
    if (rect.top < rect.bottom)
        std::swap(rect.top, rect.bottom);
    return rect;
}

void CDrawObj::Serialize(CArchive& ar)
{
    (void)ar;
    AfxThrowNotSupportedException();
}

void CDrawObj::Draw(CDC* pDC)
{
    (void)pDC;
}

CSize CDrawObj::GetLinePadding() const
{
    return CSize(0, 0);
}
