#pragma once
// CByteBuffer: a heap array of bytes that always keeps at least one byte
// allocated and clamps every index into range, the byte companion of
// CPointArray (the point types of an outline). Owns its bytes.

#include "platform/base/Types.h"

class CByteBuffer {
public:
    CByteBuffer();
    ~CByteBuffer();
    CByteBuffer(const CByteBuffer& other);
    CByteBuffer& operator=(const CByteBuffer& other);

    // Frees the buffer and allocates max(n, 1) bytes, zero-filled when
    // bZero is set (otherwise their values are unspecified).
    void SetSize(int nSize, BOOL bZero);

    int GetSize() const { return m_nSize; }
    BYTE* GetData() { return m_pBytes; }
    const BYTE* GetData() const { return m_pBytes; }
    // Byte i with i clamped to 0..size-1 (byte 0 when empty).
    BYTE* GetAt(int i);
    const BYTE* GetAt(int i) const;

private:
    BYTE* m_pBytes;
    int m_nSize;
};
