#include "pictures/ResourceBlob.h"

#include "pictures/Explode.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Metafile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr UINT kStreamLengthSize = 4;

// The string's text: the current resource module first, then the program's.
bool FindString(UINT id, const char*& text, int& length)
{
    if (platform::FindStringResource(AfxGetResourceHandle(), id, text, length))
        return true;
    return platform::FindStringResource(AfxGetInstanceHandle(), id, text, length);
}

} // namespace

CResourceBlob::CResourceBlob(UINT nStringId, BOOL bPacked)
    : m_bPacked(bPacked)
    , m_nStringId(nStringId)
{
}

CResourceBlob::~CResourceBlob() = default;

void CResourceBlob::Clear()
{
    m_pUnpacked.reset();
    m_hResource = NULL;
    m_pLocked = nullptr;
    m_nResourceSize = 0;
    m_nSize = 0;
    m_names.RemoveAll();
    m_nPictureWidth = 1;
    m_nPictureHeight = 1;
    m_bUnpackFailed = FALSE;
}

BOOL CResourceBlob::Load(LPCTSTR lpszName, LPCTSTR lpszType)
{
    Clear();
    const char* text = nullptr;
    int length = 0;
    if (m_nStringId != 0 && FindString(m_nStringId, text, length)) {
        CString all(text, length);
        int start = 0;
        for (int field = 0;; ++field) {
            int comma = all.Find(',', start);
            CString part = comma < 0 ? all.Mid(start) : all.Mid(start, comma - start);
            if (field == 0) {
                long size = std::atol(part);
                m_nSize = size > 0 ? UINT(std::min<long>(size, long(kMaxUnpackedSize) + 1)) : 0;
            } else {
                m_names.Add(part);
            }
            if (comma < 0)
                break;
            start = comma + 1;
        }
    }
    HINSTANCE module = AfxFindResourceHandle(lpszName, lpszType);
    HRSRC found = ::FindResource(module, lpszName, lpszType);
    if (!found)
        return FALSE;
    m_hResource = ::LoadResource(module, found);
    m_pLocked = static_cast<const BYTE*>(::LockResource(m_hResource));
    m_nResourceSize = ::SizeofResource(module, found);
    if (!m_pLocked)
        return FALSE;
    // Unpacked data is the resource itself, whatever the string claims.
    if (m_nSize == 0 || (!m_bPacked && m_nSize > m_nResourceSize))
        m_nSize = m_nResourceSize;
    return TRUE;
}

CString CResourceBlob::GetName(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_names.GetSize())
        return CString();
    return m_names[nIndex];
}

const BYTE* CResourceBlob::GetData()
{
    if (!m_pLocked)
        return nullptr;
    if (!m_bPacked)
        return m_pLocked;
    if (m_pUnpacked)
        return m_pUnpacked.get();
    if (m_bUnpackFailed)
        return nullptr;
    m_bUnpackFailed = TRUE;
    if (m_nResourceSize < kStreamLengthSize || m_nSize == 0 || m_nSize > kMaxUnpackedSize)
        return nullptr;
    DWORD streamLength;
    std::memcpy(&streamLength, m_pLocked, sizeof streamLength);
    if (streamLength > m_nResourceSize - kStreamLengthSize)
        return nullptr;
    // Zeroed, so that a stream shorter than the size it claims leaves no
    // stale bytes behind what it wrote.
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[m_nSize]());
    if (!buffer)
        return nullptr;
    if (!ExplodeMemory(m_pLocked + kStreamLengthSize, streamLength, buffer.get(), m_nSize))
        return nullptr;
    m_pUnpacked = std::move(buffer);
    m_bUnpackFailed = FALSE;
    return m_pUnpacked.get();
}

BOOL CResourceBlob::GetMetafileBits(UINT* pnSize, const BYTE** ppBits)
{
    const BYTE* data = GetData();
    if (!data)
        return FALSE;
    UINT size = m_nSize;
    platform::PlaceableMetaHeader header;
    if (platform::ReadPlaceableMetaHeader(data, size, &header)) {
        data += platform::kPlaceableMetaHeaderSize;
        size -= UINT(platform::kPlaceableMetaHeaderSize);
        m_nPictureWidth = std::max(1, int(std::abs(header.bounds.right - header.bounds.left)));
        m_nPictureHeight = std::max(1, int(std::abs(header.bounds.bottom - header.bounds.top)));
    }
    *pnSize = size;
    *ppBits = data;
    return TRUE;
}

HMETAFILE CResourceBlob::CreateMetafile()
{
    UINT size = 0;
    const BYTE* bits = nullptr;
    HMETAFILE hmf = GetMetafileBits(&size, &bits) ? ::SetMetaFileBitsEx(size, bits) : NULL;
    m_pUnpacked.reset();
    return hmf;
}
