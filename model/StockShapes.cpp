#include "model/StockShapes.h"

#include "app/ByteBuffer.h"
#include "app/PointArray.h"
#include "app/RectGeometry.h"
#include "platform/base/Resources.h"
#include "platform/gdi/GdiDefs.h"
#include "resources/resource.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace {

constexpr size_t kHeaderBytes = 12;
constexpr size_t kRecordBytes = 9;

int32_t ReadInt32(const BYTE* p)
{
    return int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24));
}

// An outline as read from its resource.
struct KeptOutline {
    SIZE box{0, 0};
    CPointArray points;
    CByteBuffer types;
};

// The outlines read so far, by module and resource; only good ones are
// kept, so a resource registered later is still found.
std::map<std::pair<HINSTANCE, UINT>, KeptOutline>& KeptOutlines()
{
    static std::map<std::pair<HINSTANCE, UINT>, KeptOutline> outlines;
    return outlines;
}

const KeptOutline* FindOutline(UINT nResourceId)
{
    HINSTANCE module = AfxGetResourceHandle();
    auto key = std::make_pair(module, nResourceId);
    auto& outlines = KeptOutlines();
    auto found = outlines.find(key);
    if (found != outlines.end())
        return &found->second;
    HRSRC info = FindResource(module, MAKEINTRESOURCE(nResourceId), "SHAPEDATA");
    if (!info)
        return nullptr;
    HGLOBAL data = LoadResource(module, info);
    const BYTE* bytes = data ? static_cast<const BYTE*>(LockResource(data)) : nullptr;
    if (!bytes)
        return nullptr;
    KeptOutline outline;
    if (!ParseShapeOutline(bytes, SizeofResource(module, info), outline.box, outline.points, outline.types))
        return nullptr;
    return &outlines.emplace(key, std::move(outline)).first->second;
}

int ClampToInt(double v)
{
    return int(std::clamp(v, double(INT_MIN), double(INT_MAX)));
}

} // namespace

BOOL ParseShapeOutline(const BYTE* pData, size_t nSize, SIZE& designBox, CPointArray& points, CByteBuffer& types)
{
    if (!pData || nSize < kHeaderBytes)
        return FALSE;
    const int32_t cx = ReadInt32(pData), cy = ReadInt32(pData + 4), count = ReadInt32(pData + 8);
    if (cx <= 0 || cy <= 0 || count <= 0 || size_t(count) > (nSize - kHeaderBytes) / kRecordBytes)
        return FALSE;
    designBox = SIZE{cx, cy};
    points.SetSize(count);
    types.SetSize(count, TRUE);
    POINT* pPoints = points.GetData();
    BYTE* pTypes = types.GetData();
    for (int32_t i = 0; i < count; ++i) {
        const BYTE* record = pData + kHeaderBytes + size_t(i) * kRecordBytes;
        pTypes[i] = record[0];
        pPoints[i] = POINT{ReadInt32(record + 1), ReadInt32(record + 5)};
    }
    return TRUE;
}

BOOL LoadShapeOutline(UINT nResourceId, SIZE& designBox, CPointArray& points, CByteBuffer& types)
{
    const KeptOutline* outline = FindOutline(nResourceId);
    if (!outline)
        return FALSE;
    designBox = outline->box;
    points = outline->points;
    types = outline->types;
    return TRUE;
}

BOOL ScaleOutlineToRect(int left, int top, int right, int bottom, int cx, int cy, CPointArray& points)
{
    if (cx <= 0 || cy <= 0)
        return FALSE;
    const double sx = (double(right) - left) / cx;
    const double sy = (double(bottom) - top) / cy;
    POINT* p = points.GetData();
    for (int i = 0; i < points.GetCount(); ++i) {
        p[i].x = ClampToInt(std::trunc(p[i].x * sx) + left);
        p[i].y = ClampToInt(std::trunc(p[i].y * sy) + top);
    }
    return TRUE;
}

void GetOutlineRegionPoints(const CPointArray& points, const CByteBuffer& types, CPointArray& list)
{
    const int count = std::min(points.GetCount(), types.GetSize());
    std::vector<POINT> out;
    if (count > 0)
        out.push_back(*points.GetAt(count - 1));
    for (int i = 0; i < count / 2 - 1; ++i)
        if (*types.GetAt(i) == PT_LINETO)
            out.push_back(*points.GetAt(i));
    list.SetSize(int(out.size()));
    std::copy(out.begin(), out.end(), list.GetData());
}

UINT GetStockOutlineId(int nShape)
{
    // Indexed by shape kind; 0 where the kind is computed.
    static constexpr UINT kOutlines[16] = {0, IDR_SHAPE_ROUND_RECT, 0, 0, IDR_SHAPE_STAR, IDR_SHAPE_ARROW, IDR_SHAPE_SUN,
        IDR_SHAPE_HEART, IDR_SHAPE_CLUB, IDR_SHAPE_SPADE, IDR_SHAPE_DIAMOND, IDR_SHAPE_SIGN, IDR_SHAPE_SHIELD,
        IDR_SHAPE_BUBBLE_RIGHT, IDR_SHAPE_BUBBLE_LEFT, 0};
    return nShape >= 0 && nShape < 16 ? kOutlines[nShape] : 0;
}

BOOL GetStockOutlinePoints(UINT nResourceId, const RECT& rect, int nRotation, BOOL bRegionList, CPointArray& points)
{
    const KeptOutline* outline = FindOutline(nResourceId);
    if (!outline)
        return FALSE;
    CPointArray scaled = outline->points;
    ScaleOutlineToRect(rect.left, rect.top, rect.right, rect.bottom, outline->box.cx, outline->box.cy, scaled);
    const POINT centre{LONG((int64_t(rect.left) + rect.right) / 2), LONG((int64_t(rect.top) + rect.bottom) / 2)};
    RotatePoints(centre, scaled.GetData(), scaled.GetCount(), nRotation, FALSE);
    if (bRegionList)
        GetOutlineRegionPoints(scaled, outline->types, points);
    else
        points = scaled;
    return TRUE;
}
