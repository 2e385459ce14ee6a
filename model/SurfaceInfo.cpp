#include "model/SurfaceInfo.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "surface/Surface.h"

IMPLEMENT_SERIAL(CSurfaceInfo, CObject, 1)

CSurfaceInfo::CSurfaceInfo() = default;

CSurfaceInfo::CSurfaceInfo(int nNumber) : m_nNumber(nNumber)
{
}

CSurfaceInfo::~CSurfaceInfo() = default;

void CSurfaceInfo::Reset()
{
    m_nAngle = 0;
    m_pView = nullptr;
}

void CSurfaceInfo::Serialize(CArchive& ar)
{
    if (m_pView == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException);
    m_pView->Serialize(ar);
}
