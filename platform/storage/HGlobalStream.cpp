#include "platform/base/GlobalMemory.h"
#include "platform/storage/StorageObjects.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// A stream over a global memory block. The stream's size is kept apart from
// the block's: the block grows ahead of the writes (so that a series of
// small writes does not copy the whole block each time) and may therefore
// be larger than the stream; Stat gives the stream's size.
class HGlobalStream final : public RefCounted<IStream> {
public:
    struct Block {
        HGLOBAL handle = nullptr;
        ULONGLONG size = 0;
        bool deleteOnRelease = false;
        ~Block()
        {
            if (deleteOnRelease && handle)
                GlobalFree(handle);
        }
    };

    explicit HGlobalStream(std::shared_ptr<Block> block)
        : m_block(std::move(block))
    {
    }
    HGLOBAL Handle() const { return m_block->handle; }

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override
    {
        if (pcbRead)
            *pcbRead = 0;
        if (!pv)
            return STG_E_INVALIDPOINTER;
        ULONG n = 0;
        if (m_position < m_block->size)
            n = ULONG(std::min<ULONGLONG>(cb, m_block->size - m_position));
        if (n > 0) {
            auto* memory = static_cast<BYTE*>(GlobalLock(m_block->handle));
            if (!memory)
                return E_OUTOFMEMORY;
            std::memcpy(pv, memory + m_position, n);
            GlobalUnlock(m_block->handle);
        }
        m_position += n;
        if (pcbRead)
            *pcbRead = n;
        return S_OK;
    }

    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override
    {
        if (pcbWritten)
            *pcbWritten = 0;
        if (!pv)
            return STG_E_INVALIDPOINTER;
        if (cb == 0)
            return S_OK;
        if (m_position > kMaxStreamSize || cb > kMaxStreamSize - m_position)
            return STG_E_MEDIUMFULL;
        const ULONGLONG end = m_position + cb;
        if (end > m_block->size) {
            if (HRESULT hr = Grow(end, Growth::Ahead); FAILED(hr))
                return hr;
            m_block->size = end;
        }
        auto* memory = static_cast<BYTE*>(GlobalLock(m_block->handle));
        if (!memory)
            return E_OUTOFMEMORY;
        std::memcpy(memory + m_position, pv, cb);
        GlobalUnlock(m_block->handle);
        m_position = end;
        if (pcbWritten)
            *pcbWritten = cb;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override
    {
        ULONGLONG position = 0;
        if (HRESULT hr = SeekPosition(m_position, m_block->size, dlibMove, dwOrigin, position); FAILED(hr))
            return hr;
        m_position = position;
        if (plibNewPosition)
            plibNewPosition->QuadPart = position;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER libNewSize) override
    {
        if (libNewSize.QuadPart > kMaxStreamSize)
            return STG_E_MEDIUMFULL;
        const ULONGLONG size = libNewSize.QuadPart;
        if (size > m_block->size) {
            if (HRESULT hr = Grow(size, Growth::Exact); FAILED(hr))
                return hr;
            // Bytes past the old end read as zero, however they were used
            // before the stream was shortened.
            auto* memory = static_cast<BYTE*>(GlobalLock(m_block->handle));
            if (!memory)
                return E_OUTOFMEMORY;
            std::memset(memory + m_block->size, 0, size_t(size - m_block->size));
            GlobalUnlock(m_block->handle);
        }
        m_block->size = size;
        return S_OK;
    }

    HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override
    {
        return CopyStreamBytes(this, pstm, cb, pcbRead, pcbWritten);
    }
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }

    HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) override
    {
        if (!pstatstg)
            return STG_E_INVALIDPOINTER;
        if (grfStatFlag != STATFLAG_DEFAULT && grfStatFlag != STATFLAG_NONAME)
            return STG_E_INVALIDFLAG;
        std::memset(pstatstg, 0, sizeof *pstatstg);
        pstatstg->type = STGTY_STREAM;
        pstatstg->cbSize.QuadPart = m_block->size;
        pstatstg->grfMode = STGM_READWRITE;
        return S_OK;
    }

    HRESULT Clone(IStream** ppstm) override
    {
        if (!ppstm)
            return STG_E_INVALIDPOINTER;
        auto* clone = new HGlobalStream(m_block);
        clone->m_position = m_position;
        *ppstm = clone;
        return S_OK;
    }

private:
    enum class Growth { Exact, Ahead };

    ~HGlobalStream() override = default;

    HRESULT Grow(ULONGLONG needed, Growth growth)
    {
        const SIZE_T have = m_block->handle ? GlobalSize(m_block->handle) : 0;
        if (needed <= have)
            return S_OK;
        ULONGLONG want = needed;
        if (growth == Growth::Ahead)
            want = std::min<ULONGLONG>(kMaxStreamSize, std::max<ULONGLONG>(needed, ULONGLONG(have) * 2));
        HGLOBAL handle = m_block->handle ? GlobalReAlloc(m_block->handle, SIZE_T(want), GMEM_MOVEABLE)
                                         : GlobalAlloc(GMEM_MOVEABLE, SIZE_T(want));
        if (!handle)
            return E_OUTOFMEMORY;
        m_block->handle = handle;
        return S_OK;
    }

    std::shared_ptr<Block> m_block; // shared with clones
    ULONGLONG m_position = 0;
};

} // namespace

} // namespace platform

using platform::HGlobalStream;

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, IStream** ppstm)
{
    if (!ppstm)
        return E_INVALIDARG;
    *ppstm = nullptr;
    auto block = std::make_shared<HGlobalStream::Block>();
    if (hGlobal) {
        if (GlobalFlags(hGlobal) & GMEM_INVALID_HANDLE)
            return E_INVALIDARG;
        block->handle = hGlobal;
        block->size = GlobalSize(hGlobal);
    } else {
        // A growing block of its own; it starts empty but real, so that
        // GetHGlobalFromStream has a handle to give.
        block->handle = GlobalAlloc(GMEM_MOVEABLE, 256);
        if (!block->handle)
            return E_OUTOFMEMORY;
    }
    block->deleteOnRelease = fDeleteOnRelease != FALSE;
    *ppstm = new HGlobalStream(std::move(block));
    return S_OK;
}

HRESULT GetHGlobalFromStream(IStream* pstm, HGLOBAL* phglobal)
{
    if (!phglobal)
        return E_INVALIDARG;
    *phglobal = nullptr;
    auto* stream = dynamic_cast<HGlobalStream*>(pstm);
    if (!stream)
        return E_INVALIDARG;
    *phglobal = stream->Handle();
    return S_OK;
}
