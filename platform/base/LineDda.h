#pragma once
// LineDDA: the points GDI lights for a line, one call per point.

#include "platform/base/Types.h"

typedef void(CALLBACK* LINEDDAPROC)(int x, int y, LPARAM lpData);

// Calls lpLineFunc for each point from (xStart, yStart) towards (xEnd, yEnd),
// the start included and the end excluded, so that joined segments light each
// shared corner once; a line of zero length gives no points. The longer axis
// steps by one each time; the other coordinate is the start's plus
// round(i * dShort / dLong), an exact half being rounded towards the start
// (as the classic Bresenham decision does), so the same segment drawn in the
// two directions can differ at such ties. FALSE only without a callback.
BOOL LineDDA(int xStart, int yStart, int xEnd, int yEnd, LINEDDAPROC lpLineFunc, LPARAM lpData);
