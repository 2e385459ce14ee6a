#include "platform/services/Twain.h"

namespace platform {

LONG TwainInit(HWND, TwainCallback, void*)
{
    return 1;
}

int TwainSelectSource(HWND)
{
    return kTwainNoSource;
}

int TwainAcquire(HWND, HANDLE* bitmap)
{
    if (bitmap)
        *bitmap = NULL;
    return kTwainNoSource;
}

} // namespace platform
