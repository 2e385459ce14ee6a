#pragma once
// CSurfaceInfo: the drawing document's record of one surface (a side or page
// of the product): its number, the angle it is printed at and the view that
// shows it. The document owns the records; a record only points to its view,
// which its frame owns.

#include "platform/base/Object.h"

class CSurface;

class CSurfaceInfo : public CObject {
    DECLARE_SERIAL(CSurfaceInfo)
public:
    // Numbered -1, upright, no view.
    CSurfaceInfo();
    explicit CSurfaceInfo(int nNumber);
    ~CSurfaceInfo() override;

    // Angle 0 and no view; the number stays.
    void Reset();

    // The surface's data is its view's: the archive goes to the view. Without
    // a view there is nothing to store, which is an error.
    void Serialize(CArchive& ar) override;

    int m_nNumber = -1;
    int m_nAngle = 0;              // 0, or 180 for a surface printed turned
    CSurface* m_pView = nullptr;   // not owned
};
