#pragma once
// CResourceBlob: one resource of the program in memory, packed or not, with
// the display names its string resource lists. The METAFILE pictures are
// packed (an implode stream behind its u32 length); the string of the same
// number reads "unpacked size,name,name...".
//
// Everything read from the resource is checked before use: a stream length
// past the resource's end, an unpacked size of 0 or over kMaxUnpackedSize,
// a stream that does not unpack, and a metafile shorter than its placeable
// header all give no data.

#include "platform/base/StringArray.h"

#include <memory>

class CResourceBlob : public CObject {
public:
    // Larger pictures than this are taken as damaged resources.
    static constexpr UINT kMaxUnpackedSize = 16u << 20;

    // nStringId 0: no names, and the size is the resource's own.
    explicit CResourceBlob(UINT nStringId = 0, BOOL bPacked = FALSE);
    ~CResourceBlob() override;

    // Forgets what was loaded, reads the string (size and names) and finds
    // the resource in the resource module. FALSE when it is missing.
    BOOL Load(LPCTSTR lpszName, LPCTSTR lpszType);
    void Clear();

    // The name at nIndex of the string's fields after the size; empty past
    // the last one.
    CString GetName(int nIndex) const;
    int GetNameCount() const { return int(m_names.GetSize()); }

    // The resource's bytes, or for a packed one the unpacked bytes (unpacked
    // on the first call); NULL when there are none or unpacking failed.
    const BYTE* GetData();
    UINT GetSize() const { return m_nSize; }

    // The metafile: the data without a placeable header in front; with one,
    // the picture's size from its bounds (each at least 1). FALSE when there
    // is no data.
    BOOL GetMetafileBits(UINT* pnSize, const BYTE** ppBits);
    // A metafile made from those bits (NULL when they are no metafile); the
    // unpacked buffer is freed afterwards.
    HMETAFILE CreateMetafile();

    int GetPictureWidth() const { return m_nPictureWidth; }
    int GetPictureHeight() const { return m_nPictureHeight; }

private:
    BOOL m_bPacked;
    std::unique_ptr<BYTE[]> m_pUnpacked;
    UINT m_nStringId;
    HGLOBAL m_hResource = NULL;
    const BYTE* m_pLocked = nullptr;
    UINT m_nResourceSize = 0;
    UINT m_nSize = 0;
    CStringArray m_names;
    int m_nPictureWidth = 1;
    int m_nPictureHeight = 1;
    BOOL m_bUnpackFailed = FALSE;
};
