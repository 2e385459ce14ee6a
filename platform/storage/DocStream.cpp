#include "platform/storage/StorageObjects.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace platform {

LPOLESTR CopyNameForStat(const std::u16string& name)
{
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(OLECHAR)));
    if (!out)
        return nullptr;
    std::copy(name.begin(), name.end(), out);
    out[name.size()] = 0;
    return out;
}

HRESULT StartStat(STATSTG* pstatstg, DWORD grfStatFlag, bool reverted, const std::u16string& name)
{
    if (!pstatstg)
        return STG_E_INVALIDPOINTER;
    if (grfStatFlag != STATFLAG_DEFAULT && grfStatFlag != STATFLAG_NONAME)
        return STG_E_INVALIDFLAG;
    if (reverted)
        return STG_E_REVERTED;
    std::memset(pstatstg, 0, sizeof *pstatstg);
    if (grfStatFlag == STATFLAG_DEFAULT) {
        pstatstg->pwcsName = CopyNameForStat(name);
        if (!pstatstg->pwcsName)
            return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT SeekPosition(ULONGLONG current, ULONGLONG size, LARGE_INTEGER move, DWORD origin, ULONGLONG& out)
{
    ULONGLONG base = 0;
    switch (origin) {
    case STREAM_SEEK_SET:
        base = 0;
        break;
    case STREAM_SEEK_CUR:
        base = current;
        break;
    case STREAM_SEEK_END:
        base = size;
        break;
    default:
        return STG_E_INVALIDFUNCTION;
    }
    if (base > ULONGLONG(LLONG_MAX))
        return STG_E_INVALIDFUNCTION;
    long long result = 0;
    if (__builtin_add_overflow(static_cast<long long>(base), move.QuadPart, &result) || result < 0)
        return STG_E_INVALIDFUNCTION;
    out = ULONGLONG(result);
    return S_OK;
}

HRESULT CopyStreamBytes(IStream* from, IStream* to, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
    ULARGE_INTEGER* pcbWritten)
{
    if (!to)
        return STG_E_INVALIDPOINTER;
    ULONGLONG totalRead = 0;
    ULONGLONG totalWritten = 0;
    HRESULT hr = S_OK;
    BYTE buffer[16 * 1024];
    while (totalRead < cb.QuadPart) {
        const ULONG want = ULONG(std::min<ULONGLONG>(sizeof buffer, cb.QuadPart - totalRead));
        ULONG got = 0;
        hr = from->Read(buffer, want, &got);
        if (FAILED(hr) || got == 0)
            break;
        totalRead += got;
        ULONG written = 0;
        hr = to->Write(buffer, got, &written);
        totalWritten += written;
        if (FAILED(hr))
            break;
    }
    if (pcbRead)
        pcbRead->QuadPart = totalRead;
    if (pcbWritten)
        pcbWritten->QuadPart = totalWritten;
    return FAILED(hr) ? hr : S_OK;
}

DocStream::DocStream(DocStorage* parent, std::shared_ptr<StorageNode> node, DWORD grfMode)
    : m_parent(parent)
    , m_node(std::move(node))
    , m_mode(grfMode & ~DWORD(STGM_CREATE))
{
    m_parent->AddRef();
    ++m_node->openCount;
}

DocStream::~DocStream()
{
    --m_node->openCount;
    m_parent->Release();
}

bool DocStream::IsReverted() const
{
    return m_node->detached || m_parent->IsReverted();
}

HRESULT DocStream::Read(void* pv, ULONG cb, ULONG* pcbRead)
{
    if (pcbRead)
        *pcbRead = 0;
    if (!pv)
        return STG_E_INVALIDPOINTER;
    if (IsReverted())
        return STG_E_REVERTED;
    if ((m_mode & 0x3) == STGM_WRITE)
        return STG_E_ACCESSDENIED;
    const auto& data = m_node->data;
    ULONG n = 0;
    if (m_position < data.size())
        n = ULONG(std::min<ULONGLONG>(cb, data.size() - m_position));
    if (n > 0)
        std::memcpy(pv, data.data() + m_position, n);
    m_position += n;
    if (pcbRead)
        *pcbRead = n;
    return S_OK;
}

HRESULT DocStream::Write(const void* pv, ULONG cb, ULONG* pcbWritten)
{
    if (pcbWritten)
        *pcbWritten = 0;
    if (!pv)
        return STG_E_INVALIDPOINTER;
    if (IsReverted())
        return STG_E_REVERTED;
    if ((m_mode & 0x3) == STGM_READ)
        return STG_E_ACCESSDENIED;
    if (cb == 0)
        return S_OK;
    if (m_position > kMaxStreamSize || cb > kMaxStreamSize - m_position)
        return STG_E_MEDIUMFULL;
    auto& data = m_node->data;
    const size_t end = size_t(m_position) + cb;
    if (end > data.size())
        data.resize(end);
    std::memcpy(data.data() + m_position, pv, cb);
    m_position = end;
    m_parent->MarkChanged();
    if (pcbWritten)
        *pcbWritten = cb;
    return S_OK;
}

HRESULT DocStream::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition)
{
    if (IsReverted())
        return STG_E_REVERTED;
    ULONGLONG position = 0;
    if (HRESULT hr = SeekPosition(m_position, m_node->data.size(), dlibMove, dwOrigin, position); FAILED(hr))
        return hr;
    m_position = position;
    if (plibNewPosition)
        plibNewPosition->QuadPart = position;
    return S_OK;
}

HRESULT DocStream::SetSize(ULARGE_INTEGER libNewSize)
{
    if (IsReverted())
        return STG_E_REVERTED;
    if ((m_mode & 0x3) == STGM_READ)
        return STG_E_ACCESSDENIED;
    if (libNewSize.QuadPart > kMaxStreamSize)
        return STG_E_MEDIUMFULL;
    if (libNewSize.QuadPart != m_node->data.size()) {
        m_node->data.resize(size_t(libNewSize.QuadPart));
        m_parent->MarkChanged();
    }
    return S_OK;
}

HRESULT DocStream::CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten)
{
    if (IsReverted())
        return STG_E_REVERTED;
    return CopyStreamBytes(this, pstm, cb, pcbRead, pcbWritten);
}

HRESULT DocStream::Commit(DWORD grfCommitFlags)
{
    if (grfCommitFlags & ~DWORD(STGC_OVERWRITE | STGC_ONLYIFCURRENT | STGC_DANGEROUSLYCOMMITMERELYTODISK))
        return STG_E_INVALIDFLAG;
    return IsReverted() ? STG_E_REVERTED : S_OK;
}

HRESULT DocStream::Revert()
{
    return IsReverted() ? STG_E_REVERTED : S_OK;
}

HRESULT DocStream::Stat(STATSTG* pstatstg, DWORD grfStatFlag)
{
    if (HRESULT hr = StartStat(pstatstg, grfStatFlag, IsReverted(), m_node->name); FAILED(hr))
        return hr;
    pstatstg->type = STGTY_STREAM;
    pstatstg->cbSize.QuadPart = m_node->data.size();
    pstatstg->grfMode = m_mode;
    pstatstg->ctime = m_node->ctime;
    pstatstg->mtime = m_node->mtime;
    return S_OK;
}

HRESULT DocStream::Clone(IStream** ppstm)
{
    if (!ppstm)
        return STG_E_INVALIDPOINTER;
    *ppstm = nullptr;
    if (IsReverted())
        return STG_E_REVERTED;
    auto* clone = new DocStream(m_parent, m_node, m_mode);
    clone->m_position = m_position;
    *ppstm = clone;
    return S_OK;
}

} // namespace platform
