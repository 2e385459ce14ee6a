// Feeds untrusted bytes to the SHAPEDATA reader and scales what it accepts
// into a rectangle taken from the first bytes, as the rectangle object does.
// Any input must end in a clean FALSE or an outline whose counts match the
// bytes it came from.

#include "app/ByteBuffer.h"
#include "app/PointArray.h"
#include "model/StockShapes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int32_t rect[4] = {0, 0, 100, 100};
    if (size >= sizeof rect) {
        std::memcpy(rect, data, sizeof rect);
        data += sizeof rect;
        size -= sizeof rect;
    }
    SIZE box{};
    CPointArray points;
    CByteBuffer types;
    if (!ParseShapeOutline(data, size, box, points, types))
        return 0;
    if (points.GetCount() != types.GetSize() || size < 12 + 9 * size_t(points.GetCount()))
        std::abort();
    ScaleOutlineToRect(rect[0], rect[1], rect[2], rect[3], box.cx, box.cy, points);
    CPointArray list;
    GetOutlineRegionPoints(points, types, list);
    if (list.GetCount() > points.GetCount())
        std::abort();
    return 0;
}
