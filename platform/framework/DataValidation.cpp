// DDV_*: range and length checks run after the DDX_ of the same control.
// They act only when saving; a failure shows the class library's prompt
// with the limits filled in and fails the exchange on that control.

#include "platform/base/AfxResourceIds.h"
#include "platform/base/String.h"
#include "platform/framework/DataExchange.h"
#include "platform/framework/DataExchangePrompts.h"
#include "platform/ui/User.h"

#include <cfloat>

namespace {

void FailSignedRange(CDataExchange* pDX, long long minVal, long long maxVal)
{
    CString lo;
    CString hi;
    lo.Format("%I64d", minVal);
    hi.Format("%I64d", maxVal);
    platform::DataExchangeMessage(AFX_IDP_PARSE_INT_RANGE, lo, hi);
    pDX->Fail();
}

void FailUnsignedRange(CDataExchange* pDX, unsigned long long minVal, unsigned long long maxVal)
{
    CString lo;
    CString hi;
    lo.Format("%I64u", minVal);
    hi.Format("%I64u", maxVal);
    platform::DataExchangeMessage(AFX_IDP_PARSE_INT_RANGE, lo, hi);
    pDX->Fail();
}

void FailRealRange(CDataExchange* pDX, double minVal, double maxVal, int digits)
{
    CString lo;
    CString hi;
    lo.Format("%.*g", digits, minVal);
    hi.Format("%.*g", digits, maxVal);
    platform::DataExchangeMessage(AFX_IDP_PARSE_REAL_RANGE, lo, hi);
    pDX->Fail();
}

template <typename T>
void CheckSigned(CDataExchange* pDX, T value, T minVal, T maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        FailSignedRange(pDX, (long long)minVal, (long long)maxVal);
}

template <typename T>
void CheckUnsigned(CDataExchange* pDX, T value, T minVal, T maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        FailUnsignedRange(pDX, (unsigned long long)minVal, (unsigned long long)maxVal);
}

} // namespace

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            CString count;
            count.Format("%d", nChars);
            platform::DataExchangeMessage(AFX_IDP_PARSE_STRING_SIZE, count);
            pDX->Fail();
        }
    } else if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) {
        // Loading: the edit control itself refuses longer text from now on.
        ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, WPARAM(nChars), 0);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    CheckSigned(pDX, value, minVal, maxVal);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    CheckSigned(pDX, value, minVal, maxVal);
}

void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal)
{
    CheckSigned(pDX, value, minVal, maxVal);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    CheckUnsigned(pDX, value, minVal, maxVal);
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    CheckUnsigned(pDX, value, minVal, maxVal);
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    CheckUnsigned(pDX, value, minVal, maxVal);
}

void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        FailRealRange(pDX, minVal, maxVal, FLT_DIG);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        FailRealRange(pDX, minVal, maxVal, DBL_DIG);
}
