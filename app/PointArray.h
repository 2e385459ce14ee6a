#pragma once
// CPointArray: a heap array of POINTs that always keeps at least one element
// allocated and clamps every index into range, so that outline and corner
// code never reads outside it. Owns its points.

#include "platform/base/Types.h"

class CPointArray {
public:
    CPointArray();
    explicit CPointArray(int nCount);
    ~CPointArray();
    CPointArray(const CPointArray& other);
    CPointArray& operator=(const CPointArray& other);

    // Frees the points and allocates max(n, 1), zero-filled.
    void SetSize(int nCount);
    // Takes over an array made with new POINT[nCount] (nCount ≥ 1).
    void Adopt(POINT* pPoints, int nCount);

    int GetCount() const { return m_nCount; }
    POINT* GetData() { return m_pPoints; }
    const POINT* GetData() const { return m_pPoints; }
    // Element i with i clamped to 0..count-1 (element 0 when empty).
    POINT* GetAt(int i);
    const POINT* GetAt(int i) const;

private:
    POINT* m_pPoints;
    int m_nCount;
};
