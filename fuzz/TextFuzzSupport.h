#pragma once
// What the text fuzzers share: reading the input in pieces, loading a stored
// record under the design version the input picks, a 200 x 200 memory DC to
// draw into, and CF_TEXT left on the clipboard as another program might.

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/MemFile.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "text/DesignArchive.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace textfuzz {

// The design version and header value records are read under; set from the
// input before each run.
inline LONG g_nVersion = kDesignFileVersion;
inline LONG g_nHeaderValue = 0;

inline BOOL FuzzDesign(const CArchive&, DesignArchiveInfo& info)
{
    info.nVersion = g_nVersion;
    info.nHeaderValue = g_nHeaderValue;
    return TRUE;
}

[[noreturn]] inline void FailIn(const char* pszFuzzer, const char* problem)
{
    std::fprintf(stderr, "%s: %s\n", pszFuzzer, problem);
    abort();
}

// Takes the next n bytes (fewer when the input ends).
inline std::string Take(const uint8_t*& p, const uint8_t* pEnd, size_t n)
{
    n = std::min(n, static_cast<size_t>(pEnd - p));
    std::string out(reinterpret_cast<const char*>(p), n);
    p += n;
    return out;
}

// A little-endian length of two bytes (fewer when the input ends).
inline size_t TakeLength(const uint8_t*& p, const uint8_t* pEnd)
{
    const std::string bytes = Take(p, pEnd, 2);
    size_t n = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        n |= static_cast<size_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    return n;
}

// Serializes the text from the bytes; a broken record ends in a caught
// archive or file exception.
template <typename Text>
void LoadRecord(Text& text, const std::string& bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    try {
        CArchive ar(&file, CArchive::load);
        text.Serialize(ar);
    } catch (CArchiveException* e) {
        e->Delete();
    } catch (CFileException* e) {
        e->Delete();
    }
}

// A memory DC holding a 200 x 200 bitmap like the screen's while it lives.
class MemoryDC200 {
public:
    explicit MemoryDC200(const char* pszFuzzer)
    {
        if (!dc.CreateCompatibleDC(nullptr))
            FailIn(pszFuzzer, "no memory DC");
        HDC hScreen = ::GetDC(NULL);
        m_bitmap.Attach(::CreateCompatibleBitmap(hScreen, 200, 200));
        ::ReleaseDC(NULL, hScreen);
        m_pOld = dc.SelectObject(&m_bitmap);
    }
    ~MemoryDC200()
    {
        dc.SelectObject(m_pOld);
    }
    MemoryDC200(const MemoryDC200&) = delete;
    MemoryDC200& operator=(const MemoryDC200&) = delete;

    CDC dc;

private:
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

// Leaves the bytes on the clipboard as CF_TEXT, as another program might
// leave them: not always ended.
inline void PutTextOnClipboard(const std::string& paste)
{
    if (!::OpenClipboard(NULL))
        return;
    ::EmptyClipboard();
    HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(paste.size(), 1));
    if (hMem != NULL) {
        if (void* p = ::GlobalLock(hMem)) {
            std::memcpy(p, paste.data(), paste.size());
            ::GlobalUnlock(hMem);
        }
        ::SetClipboardData(CF_TEXT, hMem);
    }
    ::CloseClipboard();
}

} // namespace textfuzz
