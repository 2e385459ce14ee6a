#include "platform/base/LineDda.h"

BOOL LineDDA(int xStart, int yStart, int xEnd, int yEnd, LINEDDAPROC lpLineFunc, LPARAM lpData)
{
    if (!lpLineFunc)
        return FALSE;
    int64_t dx = int64_t(xEnd) - xStart;
    int64_t dy = int64_t(yEnd) - yStart;
    int64_t adx = dx < 0 ? -dx : dx;
    int64_t ady = dy < 0 ? -dy : dy;
    int sx = dx < 0 ? -1 : 1;
    int sy = dy < 0 ? -1 : 1;
    bool xMajor = adx >= ady;
    int64_t steps = xMajor ? adx : ady;
    int64_t minor = xMajor ? ady : adx;

    // The minor offset of step i is floor((2 i minor + steps - 1) / (2 steps)),
    // which rounds i * minor / steps to nearest with halves going down. It is
    // kept as a quotient and a remainder so nothing overflows on long lines.
    int64_t offset = 0;
    int64_t remainder = steps - 1;
    for (int64_t i = 0; i < steps; ++i) {
        int64_t x = xMajor ? xStart + sx * i : xStart + sx * offset;
        int64_t y = xMajor ? yStart + sy * offset : yStart + sy * i;
        lpLineFunc(int(x), int(y), lpData);
        remainder += 2 * minor;
        if (remainder >= 2 * steps) {
            remainder -= 2 * steps;
            ++offset;
        }
    }
    return TRUE;
}
